// Key storage of function curves comes from the SDK heap through these two
// functions, which keep one process-wide count of the bytes in use, so that a
// leak of key blocks shows as a count that does not return to its start.
#ifndef FBXFILESDK_ANIMATION_KFCURVEALLOCATOR_H
#define FBXFILESDK_ANIMATION_KFCURVEALLOCATOR_H

#include <cstddef>

namespace fbxsdk_2006_11_1 {

// size zero-filled bytes, or null.
void* KFCurveAllocate(std::size_t size);
// Gives back a block of size bytes taken with KFCurveAllocate; null is ignored.
void KFCurveFree(void* block, std::size_t size);
// Bytes of key storage currently held by all curves of the process.
long long KFCurveAllocatedBytes();

}  // namespace fbxsdk_2006_11_1

#endif
