#include <fbxfilesdk/core/SdkAlloc.h>

#include <cstdlib>

namespace fbxsdk_2006_11_1 {

namespace {
SdkMallocFn gMalloc = &std::malloc;
SdkCallocFn gCalloc = &std::calloc;
SdkReallocFn gRealloc = &std::realloc;
SdkFreeFn gFree = &std::free;

thread_local std::uint64_t tFailures = 0;

void* Noted(void* block, bool wanted) {
    if (block == nullptr && wanted) ++tFailures;
    return block;
}
}  // namespace

void* SdkMalloc(std::size_t size) { return Noted(gMalloc(size), size != 0); }
void* SdkCalloc(std::size_t count, std::size_t size) { return Noted(gCalloc(count, size), count != 0 && size != 0); }
void* SdkRealloc(void* block, std::size_t size) { return Noted(gRealloc(block, size), size != 0); }

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
