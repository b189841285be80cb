#include <fbxfilesdk/core/SdkAlloc.h>

#include <platform/os/LargeBlocks.h>

#include <cstdlib>

namespace fbxsdk_2006_11_1 {

namespace {
SdkMallocFn gMalloc = &std::malloc;
SdkCallocFn gCalloc = &std::calloc;
SdkReallocFn gRealloc = &std::realloc;
SdkFreeFn gFree = &std::free;

thread_local std::uint64_t tFailures = 0;

// Blocks this large are the arrays of big meshes and curves, filled right
// after they are taken.
constexpr std::size_t kLargeBlock = std::size_t(4) << 20;

void* Noted(void* block, bool wanted) {
    if (block == nullptr && wanted) ++tFailures;
    return block;
}

void* Advised(void* block, std::size_t size) {
    if (gMalloc == &std::malloc) SdkAdviseLargeBlock(block, size);
    return block;
}
}  // namespace

void* SdkMalloc(std::size_t size) { return Advised(Noted(gMalloc(size), size != 0), size); }
void* SdkCalloc(std::size_t count, std::size_t size) {
    void* block = Noted(gCalloc(count, size), count != 0 && size != 0);
    return count != 0 && size <= SIZE_MAX / count ? Advised(block, count * size) : block;
}
void* SdkRealloc(void* block, std::size_t size) { return Advised(Noted(gRealloc(block, size), size != 0), size); }

void SdkAdviseLargeBlock(void* block, std::size_t size) {
    if (block != nullptr && size >= kLargeBlock) qalimor::os::AdviseLargePages(block, size);
}

std::uint64_t SdkAllocationFailureCount() { return tFailures; }
void SdkNoteAllocationFailure() { ++tFailures; }

void SdkFree(void* block) {
    if (block) gFree(block);
}

bool SdkSetAllocators(SdkMallocFn mallocFn, SdkCallocFn callocFn, SdkReallocFn reallocFn, SdkFreeFn freeFn) {
    const bool all = mallocFn && callocFn && reallocFn && freeFn;
    const bool none = !mallocFn && !callocFn && !reallocFn && !freeFn;
    if (!all && !none) return false;
    if (all) {
        gMalloc = mallocFn;
        gCalloc = callocFn;
        gRealloc = reallocFn;
        gFree = freeFn;
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
