#include <fbxfilesdk/fbx/FieldFileImage.h>

#include <fbxfilesdk/core/KChainedFile.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <platform/os/MappedFile.h>

#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kReadBlock = 1 << 24;

// Only arrays this large are worth the system call that gives their pages back.
constexpr std::uint64_t kSmallestRelease = std::uint64_t(1) << 20;

}  // namespace

void FieldFileImage::Clear() {
    if (mMappedSize > 0) qalimor::os::UnmapFile(mData, mMappedSize);
    mOwned.reset();
    mData = nullptr;
    mSize = 0;
    mMappedSize = 0;
    mWritten = false;
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
    Clear();
    // The size is asked of the file system in 64 bits: files past 2 GiB are
    // as valid as any other.
    std::error_code sizeError;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(path), sizeError);
    if (sizeError || size > static_cast<std::uintmax_t>(PTRDIFF_MAX)) return false;
    if (size == 0) return true;
    // Private and writable: a file deciphered in place changes only our copy of its pages.
    if (unsigned char* mapped = qalimor::os::MapFileCopyOnWrite(path, size)) {
        mData = mapped;
        mSize = mMappedSize = static_cast<std::size_t>(size);
        return true;
    }
    // Pipes and other files that cannot be mapped.
    return ReadInBlocks(path, static_cast<std::size_t>(size));
}

bool FieldFileImage::ReadInBlocks(const char* path, std::size_t size) {
    KChainedFile file;
    if (!file.OpenWithModeString(path, "rb")) return false;
    // Left uninitialised: every byte is read into it.
    mOwned.reset(new (std::nothrow) unsigned char[size]);
    if (mOwned == nullptr) {
        SdkNoteAllocationFailure();
        return false;
    }
    for (std::size_t done = 0; done < size;) {
        const int block = size - done > static_cast<std::size_t>(kReadBlock) ? kReadBlock : static_cast<int>(size - done);
        if (file.Read(mOwned.get() + done, block) != block) {
            mOwned.reset();
            return false;
        }
        done += static_cast<std::size_t>(block);
    }
    mData = mOwned.get();
    mSize = size;
    return true;
}

void FieldFileImage::Release(std::uint64_t begin, std::uint64_t end) const {
    if (mMappedSize == 0 || mWritten || end > mMappedSize || end <= begin || end - begin < kSmallestRelease) return;
    qalimor::os::ReleaseMappedPages(mData + begin, end - begin);
}

}  // namespace fbxsdk_2006_11_1
