#include <platform/os/LargeBlocks.h>

#include <cstdint>

#include <sys/mman.h>

namespace qalimor::os {

namespace {

// The large page size of x86-64; other sizes only make the advice cover
// less than it could.
constexpr std::uintptr_t kLargePage = std::uintptr_t(2) << 20;

}  // namespace

void AdviseLargePages(void* begin, std::size_t size) {
#ifdef MADV_HUGEPAGE
    const auto start = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (start + size) & ~(kLargePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)begin;
    (void)size;
#endif
}

}  // namespace qalimor::os
