// The SDK's byte stream over a file on disk. Names are UTF-8 text; a closed
// file answers every operation harmlessly (0, false, -1 or null) and nothing
// here prints or throws. KMemoryFile replaces the disk stream by a buffer.
// Counts, sizes and positions are 64-bit: files past 2 and 4 GiB are files
// like any other.
#ifndef FBXFILESDK_CORE_KFILE_H
#define FBXFILESDK_CORE_KFILE_H

#include <fbxfilesdk/core/KString.h>

#include <cstdint>
#include <cstdio>
#include <memory>

namespace qalimor::os {
class ReplacementFile;
}

namespace fbxsdk_2006_11_1 {

class KFile {
public:
    // Modes of Open.
    enum { eREAD = 0, eWRITE = 1, eREAD_WRITE = 2, eAPPEND = 3 };

    KFile();
    virtual ~KFile();
    KFile(const KFile&) = delete;
    KFile& operator=(const KFile&) = delete;

    // Opens with an fopen-style mode; a stream already open is closed first.
    // The name is recorded whether or not the open succeeds. A name or mode
    // longer than 1023 UTF-16 units does not open.
    virtual bool OpenWithModeString(const char* name, const char* mode);
    // Mode 0 "r", 1 "w", 2 "w+", 3 "a", then "t" or "b"; other modes fail.
    virtual bool Open(const char* name, int mode, bool text);
    // Opens for writing ("wb", or "w+b" with readBack) the new content of
    // the file the name gives, which takes that file's place only at a close
    // that finds it whole: nothing failed to reach the disk and Discard was
    // not called. Until then, and for good when it is not whole, the file
    // the name gives stays as it was (qalimor::os::ReplacementFile).
    bool OpenReplacing(const char* name, bool readBack);
    // The content being written is given up at the close.
    void Discard();
    virtual void Close();
    // Closes and tells whether everything written reached the file (and,
    // for content OpenReplacing opened, took the file's place or was given
    // up as asked); GetSystemError says why not. True when nothing is open.
    bool Finish();

    virtual std::int64_t Read(void* buffer, std::int64_t count);
    // One line, its line end kept (see KFbxReadLine); null at the end.
    virtual char* ReadString(char* buffer, int size);
    // The integer reads store into *value only when all its bytes were read,
    // and return *value. Bytes are taken little-endian, or big-endian with swap.
    virtual std::int32_t ReadInt32(std::int32_t* value, bool swap);
    virtual std::uint32_t ReadInt32(std::uint32_t* value, bool swap);
    virtual std::int16_t ReadInt16(std::int16_t* value, bool swap);
    virtual std::uint16_t ReadInt16(std::uint16_t* value, bool swap);
    virtual char ReadByte(char* value);
    virtual unsigned char ReadByte(unsigned char* value);
    // Fewer bytes than asked when the stream failed: GetSystemError says why.
    virtual std::int64_t Write(const void* buffer, std::int64_t count);
    // Origin 1: from the current position; 2: from the end; any other: from the start.
    virtual void Seek(int origin, std::int64_t offset);
    // -1 when the position cannot be told.
    virtual std::int64_t Tell();
    virtual void SetPosition(std::int64_t offset);
    virtual bool IsOpen();
    // The name given to the last open call, tried or not.
    virtual const KString& GetFileName();
    virtual int Error();
    // The system's error number (errno) of the last open, write, flush or
    // size change that failed; 0 when none failed or a failure came without
    // one. ENOSPC is a full disk; anything else is not.
    virtual int GetSystemError();
    virtual void Flush();
    virtual bool Eof();
    // At most 16383 characters of output.
    virtual void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Truncates or extends with zero bytes: 0, or -1 on failure or when closed.
    virtual int SetSize(std::int64_t size);
    // A disk file has none: null, size untouched.
    virtual void* GetMemoryBuffer(std::int64_t* size);

    // 0, or -1 with errno set.
    static int RemoveFile(KString name);

private:
    void NoteSystemError();

    std::FILE* mStream;
    bool mOpen;
    int mSystemError;
    KString mFileName;
    // What OpenReplacing opened, and whether it is to be given up.
    std::unique_ptr<qalimor::os::ReplacementFile> mReplacement;
    bool mDiscarded = false;
    bool mCloseFailed = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
