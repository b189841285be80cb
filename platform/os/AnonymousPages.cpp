#include <platform/os/AnonymousPages.h>

#include <cstddef>

#include <sys/mman.h>
#include <unistd.h>

namespace qalimor::os {

namespace {

std::uint64_t PageSize() {
    static const std::uint64_t size = [] {
        const long page = sysconf(_SC_PAGESIZE);
        return page > 0 ? static_cast<std::uint64_t>(page) : std::uint64_t(4096);
    }();
    return size;
}

}  // namespace

bool AnonymousPages::Allocate(std::uint64_t size) {
    Free();
    if (size == 0) return true;
    void* pages = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                       -1, 0);
    if (pages == MAP_FAILED) return false;
    mData = static_cast<unsigned char*>(pages);
    mSize = size;
    return true;
}

void AnonymousPages::Free() {
    if (mData != nullptr) munmap(mData, static_cast<std::size_t>(mSize));
    mData = nullptr;
    mSize = 0;
}

void AnonymousPages::Discard(std::uint64_t offset, std::uint64_t size) {
    // The block begins on a page, so offsets in it fall on pages where addresses do.
    const std::uint64_t page = PageSize();
    if (offset > mSize || size > mSize - offset) return;
    const std::uint64_t first = (offset + page - 1) / page * page;
    const std::uint64_t last = (offset + size) / page * page;
    if (last > first) madvise(mData + first, static_cast<std::size_t>(last - first), MADV_DONTNEED);
}

}  // namespace qalimor::os
