// A layer of a stream chain. Every operation goes to the layer below (another
// KChainedFile) or, for the bottom layer, to a file that the layer opened
// itself: a KFile for a named file, a KMemoryFile for a buffer. Subclasses
// transform the bytes on their way. Destroying a layer does not close it.
// Counts, sizes and positions are 64-bit, as in KFile.
#ifndef FBXFILESDK_CORE_KCHAINEDFILE_H
#define FBXFILESDK_CORE_KCHAINEDFILE_H

#include <cstdint>
#include <memory>

namespace fbxsdk_2006_11_1 {

class KFile;

class KChainedFile {
public:
    // Modes of a layer.
    enum { eCLOSED = 0, eREAD = 1, eWRITE = 2 };

    // A layer laid over an open chain takes the chain's mode and needs no open
    // call. With ownsInner the inner layer is destroyed with this one.
    KChainedFile(std::uint64_t baseOffset = 0, KChainedFile* inner = nullptr, int mode = eCLOSED,
                 bool ownsInner = false);
    virtual ~KChainedFile();
    KChainedFile(const KChainedFile&) = delete;
    KChainedFile& operator=(const KChainedFile&) = delete;

    // Without an inner layer each open replaces the layer's own file. A
    // failure leaves the layer closed. Memory opens for reading; a mode string
    // holding 'r', or Open mode 0, for reading; anything else for writing.
    virtual bool OpenMemory(void* buffer, std::int64_t size, bool growable);
    virtual bool OpenWithModeString(const char* name, const char* mode);
    virtual bool Open(const char* name, int mode, bool text);
    // Opens for writing the new content of a named file, which takes the
    // file's place only when the close finds it whole (KFile::OpenReplacing).
    bool OpenReplacing(const char* name, bool readBack);
    // The content being written is given up at the close: the file it was
    // to replace stays as it was.
    void Discard();
    // Closes what lies below; false when there was nothing to close or when
    // written data could not be flushed.
    virtual bool Close();

    virtual std::int64_t Read(void* buffer, std::int64_t count);
    virtual char* ReadString(char* buffer, int size);
    virtual std::int64_t Write(const void* buffer, std::int64_t count);
    virtual void Seek(int origin, std::int64_t offset);
    virtual std::int64_t Tell();
    virtual void SetPosition(std::int64_t offset);
    virtual bool IsOpen();
    virtual int Error();
    // The errno of the last failed open, write, flush or size change of the
    // file at the bottom of the chain (see KFile::GetSystemError); a layer
    // that fails on its own account may answer for itself.
    virtual int GetSystemError();
    virtual void Flush();
    virtual bool Eof();
    // The text (at most 16383 characters, no terminator) goes through the
    // Write of the layer below, and so through its transformation.
    virtual void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    virtual int SetSize(std::int64_t size);

    // The buffer of the layer's own memory file; never asks the inner layer.
    void* GetMemoryBuffer(std::int64_t* size);
    int GetMode() const { return mMode; }

protected:
    std::uint64_t mBaseOffset;
    KChainedFile* mInner;
    int mMode;
    bool mOwnsInner;
    std::unique_ptr<KFile> mOwnFile;
};

}  // namespace fbxsdk_2006_11_1

#endif
