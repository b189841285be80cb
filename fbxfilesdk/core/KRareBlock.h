// The block of seldom-set fields that a record makes on first use, so that
// the many records that never set them pay only for the pointer.
#ifndef FBXFILESDK_CORE_KRAREBLOCK_H
#define FBXFILESDK_CORE_KRAREBLOCK_H

#include <fbxfilesdk/core/SdkAlloc.h>

#include <memory>
#include <new>

namespace fbxsdk_2006_11_1 {

// The block, made (with its defaults) when there is none yet; null, noted as
// an allocation failure, when memory runs out.
template <class T>
T* KMakeRareBlock(std::unique_ptr<T>& block) {
    if (block == nullptr) {
        block.reset(new (std::nothrow) T());
        if (block == nullptr) {
            SdkNoteAllocationFailure();
        }
    }
    return block.get();
}

}  // namespace fbxsdk_2006_11_1

#endif
