// The bytes of a field file being read. A file on disk is mapped rather than
// copied, so that nothing is zero-filled or copied before it is parsed and
// the pages of large arrays already read can be given back while the rest of
// the file is read; where a mapping cannot be made the file is read in blocks
// into memory of its own. Bytes handed in by the caller are copied.
#ifndef FBXFILESDK_FBX_FIELDFILEIMAGE_H
#define FBXFILESDK_FBX_FIELDFILEIMAGE_H

#include <cstddef>
#include <cstdint>
#include <memory>

namespace fbxsdk_2006_11_1 {

class FieldFileImage {
public:
    FieldFileImage() = default;
    ~FieldFileImage() { Clear(); }
    FieldFileImage(const FieldFileImage&) = delete;
    FieldFileImage& operator=(const FieldFileImage&) = delete;

    // False, and empty, when the file cannot be opened, sized or read.
    bool Load(const char* path);
    // False, and empty, when the memory cannot be had.
    bool Assign(const void* bytes, std::size_t size);
    void Clear();

    const unsigned char* Data() const { return mData; }
    // For changes in place (deciphering); pages once written are never given back.
    unsigned char* MutableData() {
        mWritten = true;
        return mData;
    }
    std::size_t Size() const { return mSize; }
    // Forgets the bytes past size (a trailer already checked).
    void Truncate(std::size_t size) {
        if (size < mSize) mSize = size;
    }
    // Lets the system take back the whole pages of [begin, end) of a mapped
    // file: they are read again from the file should they be needed again.
    void Release(std::uint64_t begin, std::uint64_t end) const;

private:
    bool ReadInBlocks(const char* path, std::size_t size);

    unsigned char* mData = nullptr;
    std::size_t mSize = 0;
    // The mapping's own length (the file's size), or 0 for memory of our own.
    std::size_t mMappedSize = 0;
    std::unique_ptr<unsigned char[]> mOwned;
    bool mWritten = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
