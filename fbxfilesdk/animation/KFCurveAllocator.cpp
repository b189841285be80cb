#include <fbxfilesdk/animation/KFCurveAllocator.h>

#include <fbxfilesdk/core/SdkAlloc.h>

namespace fbxsdk_2006_11_1 {

namespace {
// A plain counter: curves are used from one thread at a time.
long long gAllocatedBytes = 0;
}  // namespace

void* KFCurveAllocate(std::size_t size) {
    void* block = SdkCalloc(1, size);
    if (block) gAllocatedBytes += static_cast<long long>(size);
    return block;
}

void KFCurveFree(void* block, std::size_t size) {
    if (!block) return;
    SdkFree(block);
    gAllocatedBytes -= static_cast<long long>(size);
}

long long KFCurveAllocatedBytes() { return gAllocatedBytes; }

}  // namespace fbxsdk_2006_11_1
