#include <platform/os/MappedFile.h>

#include <platform/os/File.h>

#include <cstddef>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace qalimor::os {

namespace {

std::uintptr_t PageSize() {
    static const std::uintptr_t size = [] {
        const long page = sysconf(_SC_PAGESIZE);
        return page > 0 ? static_cast<std::uintptr_t>(page) : std::uintptr_t(4096);
    }();
    return size;
}

}  // namespace

unsigned char* MapFileCopyOnWrite(const char* path, std::uint64_t size) {
    if (path == nullptr || size == 0) return nullptr;
    const int descriptor = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    void* mapped = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_PRIVATE, descriptor, 0);
    close(descriptor);
    return mapped == MAP_FAILED ? nullptr : static_cast<unsigned char*>(mapped);
}

void UnmapFile(unsigned char* data, std::uint64_t size) {
    if (data != nullptr && size > 0) munmap(data, static_cast<std::size_t>(size));
}

void ReleaseMappedPages(unsigned char* begin, std::uint64_t size) {
    const std::uintptr_t page = PageSize();
    const auto start = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (start + page - 1) / page * page;
    const std::uintptr_t last = (start + static_cast<std::uintptr_t>(size)) / page * page;
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

}  // namespace qalimor::os
