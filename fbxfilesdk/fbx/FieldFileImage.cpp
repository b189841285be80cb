#include <fbxfilesdk/fbx/FieldFileImage.h>

#include <fbxfilesdk/core/KChainedFile.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kReadBlock = 1 << 24;

// Only arrays this large are worth the system call that gives their pages back.
constexpr std::uint64_t kSmallestRelease = std::uint64_t(1) << 20;

std::uint64_t PageSize() {
    static const std::uint64_t size = [] {
        const long page = sysconf(_SC_PAGESIZE);
        return page > 0 ? static_cast<std::uint64_t>(page) : std::uint64_t(4096);
    }();
    return size;
}

}  // namespace

void FieldFileImage::Clear() {
    if (mMappedSize > 0) munmap(mData, mMappedSize);
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
    const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0) {
        // Private and writable: a file deciphered in place changes only our copy of its pages.
        void* mapped = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_PRIVATE, descriptor, 0);
        close(descriptor);
        if (mapped != MAP_FAILED) {
            mData = static_cast<unsigned char*>(mapped);
            mSize = mMappedSize = static_cast<std::size_t>(size);
            return true;
        }
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
    const std::uint64_t page = PageSize();
    const std::uint64_t first = (begin + page - 1) / page * page;
    const std::uint64_t last = end / page * page;
    if (last > first) madvise(mData + first, static_cast<std::size_t>(last - first), MADV_DONTNEED);
}

}  // namespace fbxsdk_2006_11_1
