#include <fbxfilesdk/core/SdkAlloc.h>

#include <cstdlib>

namespace fbxsdk_2006_11_1 {

namespace {
SdkMallocFn gMalloc = &std::malloc;
SdkCallocFn gCalloc = &std::calloc;
SdkReallocFn gRealloc = &std::realloc;
SdkFreeFn gFree = &std::free;
}  // namespace

void* SdkMalloc(std::size_t size) { return gMalloc(size); }
void* SdkCalloc(std::size_t count, std::size_t size) { return gCalloc(count, size); }
void* SdkRealloc(void* block, std::size_t size) { return gRealloc(block, size); }

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
