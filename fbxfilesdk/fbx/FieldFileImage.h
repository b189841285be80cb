// The bytes of a field file being read, in memory of our own: another program
// may save over the file or cut it while we read it, and what we read must
// neither change under us nor fault. A large file keeps its file open, so
// that the pages of large arrays can be given back once parsed or read and
// read from the file again when asked for; the bytes read again must be
// those given back, or the image says the file was cut short or changed.
// A large file is read in two steps, its first block and then the rest, so
// that one that is no field file costs no more than that block. Bytes
// handed in by the caller are copied.
#ifndef FBXFILESDK_FBX_FIELDFILEIMAGE_H
#define FBXFILESDK_FBX_FIELDFILEIMAGE_H

#include <platform/os/AnonymousPages.h>
#include <platform/os/File.h>
#include <platform/os/Folder.h>
#include <platform/os/ReadOnlyFile.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

class FieldFileImage {
public:
    FieldFileImage() = default;
    ~FieldFileImage() { Clear(); }
    FieldFileImage(const FieldFileImage&) = delete;
    FieldFileImage& operator=(const FieldFileImage&) = delete;

    enum class ELoad {
        eLoaded,
        // The file cannot be opened or read (errno set).
        eUnreadable,
        // The memory for its bytes cannot be had.
        eNoMemory,
    };
    // Opens the file of the name in the folder and reads its first bytes:
    // all of a small file, the first block of a large one, so that what the
    // file is can be told from them before the memory for all of it is
    // taken. Data and Size give the bytes read; on failure the image is
    // empty. A file that ends before the size it had when opened is taken as
    // far as it goes, here and below.
    ELoad Open(const qalimor::os::Folder& folder, const char* name);
    // Whether the whole file is read (a large one once ReadRest has run).
    bool IsWhole() const { return !mPartial; }
    // The size the file had when it was last opened, kept after a failed
    // load for its message.
    std::uint64_t FileSize() const { return mFileSize; }
    // Which file was last opened, kept as FileSize is.
    const qalimor::os::FileIdentity& OpenedFile() const { return mOpened; }
    // Reads the rest of a large file opened. Its memory is taken only while
    // the file fits in three quarters of what the system reports available
    // (the rest is left for what is built from it and for other programs),
    // so that a file near the machine's memory fails here rather than bring
    // the system to end a program when its pages are filled. On failure the
    // image is empty.
    ELoad ReadRest();
    // Open, in the folder of the path, and ReadRest.
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

    // Lets the system take back the whole blocks of [begin, end) of a large
    // file; Fetch reads them again. Ranges are given back and fetched whole,
    // by the same bounds, and never overlap. The first bytes of a range stay
    // held, so that what it begins with can be looked at without a fetch.
    void Release(std::uint64_t begin, std::uint64_t end);
    // Whether the range released from begin (if any) is in memory.
    bool Holds(std::uint64_t begin) const { return mGivenBack == 0 || HoldsGivenBack(begin); }

    enum class EFetch {
        // The bytes were in memory all along.
        eHeld,
        // They were read from the file again, and are those given back.
        eReadAgain,
        // The file now ends before them.
        eCutShort,
        // The file holds other bytes there now.
        eChanged,
        // The system failed to read them (errno set).
        eUnreadable,
    };
    // Makes the range released from begin readable again (any other range
    // is held); on failure it stays given back and must not be read.
    EFetch Fetch(std::uint64_t begin) {
        return mGivenBack == 0 ? EFetch::eHeld : FetchGivenBack(begin);
    }
    // Copies [offset, offset + size), inside the range released from begin,
    // to out as it was loaded. What was given back goes from the file
    // straight to out when the copy covers all of it, and stays given back.
    EFetch CopyOut(std::uint64_t begin, std::uint64_t offset, std::uint64_t size, unsigned char* out);

private:
    // Whole blocks [first, last) of a range given back.
    struct GivenBack {
        std::uint64_t first = 0;
        std::uint64_t last = 0;
        bool out = false;
    };

    bool HoldsGivenBack(std::uint64_t begin) const;
    EFetch FetchGivenBack(std::uint64_t begin);
    // Reads the whole blocks [first, last) of the file to bytes, and tells
    // whether they are as they were loaded.
    EFetch ReadBlocksAgain(std::uint64_t first, std::uint64_t last, unsigned char* bytes) const;

    unsigned char* mData = nullptr;
    std::size_t mSize = 0;
    // A small file's bytes, a large one's first block, or the caller's copy.
    std::unique_ptr<unsigned char[]> mOwned;
    // A large file's bytes, and the file they are read again from.
    qalimor::os::AnonymousPages mPages;
    qalimor::os::ReadOnlyFile mFile;
    std::uint64_t mFileSize = 0;
    qalimor::os::FileIdentity mOpened;
    // The bytes loaded, and the CRC of each block of them as loaded.
    std::uint64_t mLoaded = 0;
    std::vector<std::uint32_t> mBlockCrcs;
    // By the begin of the range given back.
    std::map<std::uint64_t, GivenBack> mRanges;
    std::size_t mGivenBack = 0;
    bool mWritten = false;
    // Only the first block of a large file is read yet.
    bool mPartial = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
