#include <fbxfilesdk/animation/KFCurveAllocator.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include <atomic>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {
// Curves of several threads' scenes come and go at once; the count needs no
// order with anything else.
constinit std::atomic<long long> gAllocatedBytes{0};
}  // namespace

void* KFCurveAllocate(std::size_t size) {
    // Taken plain and cleared: the heap's calloc passes by its per-thread
    // cache of freed blocks, which the key blocks of the last scene's curves fill.
    void* block = SdkMalloc(size);
    if (block) {
        std::memset(block, 0, size);
        gAllocatedBytes.fetch_add(static_cast<long long>(size), std::memory_order_relaxed);
    }
    return block;
}

void KFCurveFree(void* block, std::size_t size) {
    if (!block) return;
    SdkFree(block);
    gAllocatedBytes.fetch_sub(static_cast<long long>(size), std::memory_order_relaxed);
}

long long KFCurveAllocatedBytes() { return gAllocatedBytes.load(std::memory_order_relaxed); }

}  // namespace fbxsdk_2006_11_1
