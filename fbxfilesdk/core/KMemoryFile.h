// A KFile whose bytes live in a buffer that the caller attaches and keeps
// owning: closing or destroying the memory file never frees it. A growable
// buffer must come from SdkMalloc, because writing past its end reallocates it;
// take the (possibly moved) buffer back with GetMemoryBuffer before closing.
#ifndef FBXFILESDK_CORE_KMEMORYFILE_H
#define FBXFILESDK_CORE_KMEMORYFILE_H

#include <fbxfilesdk/core/KFile.h>
#include <fbxfilesdk/core/KString.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

class KMemoryFile : public KFile {
public:
    KMemoryFile();
    ~KMemoryFile() override;

    // Forgets the buffer (never frees it); the growable flag stays.
    void Close() override;
    std::int64_t Read(void* buffer, std::int64_t count) override;
    // One line, its line feed kept, at most size - 1 bytes and a terminator.
    // At the end of the content the text is empty (the result is not null).
    // Null when closed, for a null buffer, or for a size below 1.
    char* ReadString(char* buffer, int size) override;
    // All or nothing: when the bytes are not all there the variable is left
    // alone and 0 is returned. Little-endian, big-endian with swap, as KFile.
    std::int32_t ReadInt32(std::int32_t* value, bool swap) override;
    std::uint32_t ReadInt32(std::uint32_t* value, bool swap) override;
    std::int16_t ReadInt16(std::int16_t* value, bool swap) override;
    std::uint16_t ReadInt16(std::uint16_t* value, bool swap) override;
    char ReadByte(char* value) override;
    unsigned char ReadByte(unsigned char* value) override;
    // A fixed buffer takes what fits; a growable one grows to at least twice
    // its size, and the size then counts the whole grown buffer, its new
    // bytes zero (keep Tell() for the length written). 0 when growth fails
    // (GetSystemError then gives ENOMEM); a fixed buffer that is full is a
    // full disk (ENOSPC).
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    // Origin 0: offset; 1: position + offset; 2: size - offset (the offset
    // counts back from the end); other origins 0. Clamped to 0..size.
    void Seek(int origin, std::int64_t offset) override;
    std::int64_t Tell() override;
    // Ignored unless 0 <= offset <= size.
    void SetPosition(std::int64_t offset) override;
    bool IsOpen() override;
    int Error() override;
    int GetSystemError() override;
    void Flush() override;
    bool Eof() override;
    __attribute__((format(printf, 2, 3))) void Printf(const char* format, ...) override;
    // The buffer (null when closed); the size, when asked, in *size.
    void* GetMemoryBuffer(std::int64_t* size) override;

    // A memory file has no name to open: both always fail.
    virtual bool OpenWithModeString(KString name, KString mode);
    virtual bool OpenFile(KString name, int mode, bool text);
    // False for a null buffer or a negative size.
    virtual bool Attach(void* buffer, std::int64_t size, bool growable);

private:
    // With allOrNothing a count beyond the content reads nothing.
    std::int64_t ReadBytes(void* destination, std::int64_t count, bool allOrNothing);
    // All or nothing; bytes little-endian, or big-endian with swap.
    bool ReadInteger(int byteCount, bool swap, std::uint32_t& value);
    bool Grow(std::uint64_t needed);

    unsigned char* mBuffer;
    std::uint64_t mSize;
    std::uint64_t mPosition;
    bool mGrowable;
    int mSystemError;
};

}  // namespace fbxsdk_2006_11_1

#endif
