#include <fbxfilesdk/fbx/FieldFileImage.h>

#include <fbxfilesdk/core/KCrcFile.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <platform/os/LargeBlocks.h>
#include <platform/os/System.h>

#include <cstring>
#include <new>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

// Only arrays this large are worth the system calls that give their pages
// back and read them again; a file smaller than that is read once and closed.
constexpr std::uint64_t kSmallestRelease = std::uint64_t(1) << 20;
// A large file is read, given back, read again and checked by whole blocks
// of this size (many pages): each block's CRC is taken as it is loaded,
// while it is fresh in the cache.
constexpr std::uint64_t kBlock = std::uint64_t(1) << 18;
// Bytes at the start of a range never given back: enough for a value's type
// and count.
constexpr std::uint64_t kHeldLead = 16;

std::uint32_t CrcOf(const unsigned char* bytes, std::uint64_t size) {
    KCrcFile crc;
    crc.OpenMemory(const_cast<unsigned char*>(bytes), static_cast<std::int64_t>(size), false);
    return crc.ComputeCrc();
}

}  // namespace

void FieldFileImage::Clear() {
    mOwned.reset();
    mPages.Free();
    mFile.Close();
    mLoaded = 0;
    mBlockCrcs.clear();
    mRanges.clear();
    mGivenBack = 0;
    mData = nullptr;
    mSize = 0;
    mWritten = false;
    mPartial = false;
}

bool FieldFileImage::Assign(const void* bytes, std::size_t size) {
    Clear();
    if (size == 0) return true;
    mOwned.reset(new (std::nothrow) unsigned char[size]);
    if (mOwned == nullptr) {
        SdkNoteAllocationFailure();
        return false;
    }
    std::memcpy(mOwned.get(), bytes, size);
    mData = mOwned.get();
    mSize = size;
    return true;
}

bool FieldFileImage::Load(const char* path) {
    qalimor::os::Folder folder;
    std::string name;
    return folder.OpenHolderOf(path, name) && Open(folder, name.c_str()) == ELoad::eLoaded &&
           ReadRest() == ELoad::eLoaded;
}

FieldFileImage::ELoad FieldFileImage::Open(const qalimor::os::Folder& folder, const char* name) {
    Clear();
    mFileSize = 0;
    mOpened = qalimor::os::FileIdentity();
    if (!mFile.Open(folder, name)) return ELoad::eUnreadable;
    mOpened = mFile.Identity();
    // Sizes are 64-bit: files past 2 GiB are as valid as any other.
    const std::uint64_t size = mFile.Size();
    mFileSize = size;
    if (size > static_cast<std::uint64_t>(PTRDIFF_MAX)) {
        Clear();
        return ELoad::eNoMemory;
    }
    const std::uint64_t first = size < kSmallestRelease ? size : kBlock;
    if (first > 0) {
        // Left uninitialised: every byte is read into it.
        mOwned.reset(new (std::nothrow) unsigned char[first]);
        if (mOwned == nullptr) {
            SdkNoteAllocationFailure();
            Clear();
            return ELoad::eNoMemory;
        }
        mData = mOwned.get();
    }
    const std::int64_t read = first > 0 ? mFile.ReadAt(0, mData, first) : 0;
    if (read < 0) {
        Clear();
        return ELoad::eUnreadable;
    }
    mSize = static_cast<std::size_t>(read);
    mLoaded = mSize;
    // Nothing of a small file is ever read again, nor of one already cut
    // short since it was opened: what it holds is all there is.
    mPartial = size >= kSmallestRelease && mSize == first;
    if (!mPartial) mFile.Close();
    return ELoad::eLoaded;
}

FieldFileImage::ELoad FieldFileImage::ReadRest() {
    if (!mPartial) return ELoad::eLoaded;
    const std::uint64_t size = mFile.Size();
    const std::uint64_t available = qalimor::os::AvailableMemory();
    if (size > available - available / 4 || !mPages.Allocate(size)) {
        SdkNoteAllocationFailure();
        Clear();
        return ELoad::eNoMemory;
    }
    qalimor::os::AdviseLargePages(mPages.Data(), size);
    std::memcpy(mPages.Data(), mData, mSize);
    mData = mPages.Data();
    mOwned.reset();
    mPartial = false;
    // Each block's CRC is taken as it is loaded, while it is fresh in the cache.
    mBlockCrcs.push_back(CrcOf(mData, mSize));
    for (std::uint64_t offset = mSize; offset < size; offset += kBlock) {
        const std::uint64_t wanted = size - offset < kBlock ? size - offset : kBlock;
        const std::int64_t read = mFile.ReadAt(offset, mData + offset, wanted);
        if (read < 0) {
            Clear();
            return ELoad::eUnreadable;
        }
        mLoaded = offset + static_cast<std::uint64_t>(read);
        mBlockCrcs.push_back(CrcOf(mData + offset, static_cast<std::uint64_t>(read)));
        // A file cut since it was opened is what it holds now: a parse finds it cut short.
        if (static_cast<std::uint64_t>(read) < wanted) break;
    }
    mSize = static_cast<std::size_t>(mLoaded);
    return ELoad::eLoaded;
}

void FieldFileImage::Release(std::uint64_t begin, std::uint64_t end) {
    if (!mFile.IsOpen() || mWritten || end > mSize || end <= begin || end - begin < kSmallestRelease) return;
    auto found = mRanges.find(begin);
    if (found == mRanges.end()) {
        const std::uint64_t first = (begin + kHeldLead + kBlock - 1) / kBlock * kBlock;
        const std::uint64_t last = end / kBlock * kBlock;
        if (last <= first) return;
        found = mRanges.emplace(begin, GivenBack{first, last, false}).first;
    }
    GivenBack& range = found->second;
    if (range.out) return;
    mPages.Discard(range.first, range.last - range.first);
    range.out = true;
    ++mGivenBack;
}

bool FieldFileImage::HoldsGivenBack(std::uint64_t begin) const {
    const auto found = mRanges.find(begin);
    return found == mRanges.end() || !found->second.out;
}

FieldFileImage::EFetch FieldFileImage::FetchGivenBack(std::uint64_t begin) {
    const auto found = mRanges.find(begin);
    if (found == mRanges.end() || !found->second.out) return EFetch::eHeld;
    GivenBack& range = found->second;
    const EFetch fetched = ReadBlocksAgain(range.first, range.last, mData + range.first);
    if (fetched == EFetch::eReadAgain) {
        range.out = false;
        --mGivenBack;
    }
    return fetched;
}

FieldFileImage::EFetch FieldFileImage::CopyOut(std::uint64_t begin, std::uint64_t offset, std::uint64_t size,
                                               unsigned char* out) {
    const auto found = mRanges.find(begin);
    const bool whole = found != mRanges.end() && found->second.out && offset <= found->second.first &&
                       found->second.last <= offset + size;
    if (!whole) {
        const EFetch fetched = Fetch(begin);
        if (fetched == EFetch::eHeld || fetched == EFetch::eReadAgain) std::memcpy(out, mData + offset, size);
        return fetched;
    }
    const GivenBack& range = found->second;
    const std::uint64_t lead = range.first - offset;
    const EFetch fetched = ReadBlocksAgain(range.first, range.last, out + lead);
    if (fetched != EFetch::eReadAgain) return fetched;
    std::memcpy(out, mData + offset, lead);
    std::memcpy(out + (range.last - offset), mData + range.last, offset + size - range.last);
    return fetched;
}

FieldFileImage::EFetch FieldFileImage::ReadBlocksAgain(std::uint64_t first, std::uint64_t last,
                                                       unsigned char* bytes) const {
    const std::int64_t read = mFile.ReadAt(first, bytes, last - first);
    if (read < 0) return EFetch::eUnreadable;
    if (static_cast<std::uint64_t>(read) < last - first) return EFetch::eCutShort;
    for (std::uint64_t begin = first; begin < last; begin += kBlock) {
        const std::size_t block = static_cast<std::size_t>(begin / kBlock);
        if (block >= mBlockCrcs.size() || CrcOf(bytes + (begin - first), kBlock) != mBlockCrcs[block]) {
            return EFetch::eChanged;
        }
    }
    return EFetch::eReadAgain;
}

}  // namespace fbxsdk_2006_11_1
