#include <fbxfilesdk/animation/KFCurveAllocator.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {
// A plain counter: curves are used from one thread at a time.
long long gAllocatedBytes = 0;
}  // namespace

void* KFCurveAllocate(std::size_t size) {
    // Taken plain and cleared: the heap's calloc passes by its per-thread
    // cache of freed blocks, which the key blocks of the last scene's curves fill.
    void* block = SdkMalloc(size);
    if (block) {
        std::memset(block, 0, size);
        gAllocatedBytes += static_cast<long long>(size);
    }
    return block;
}

void KFCurveFree(void* block, std::size_t size) {
    if (!block) return;
    SdkFree(block);
    gAllocatedBytes -= static_cast<long long>(size);
}

long long KFCurveAllocatedBytes() { return gAllocatedBytes; }

}  // namespace fbxsdk_2006_11_1
