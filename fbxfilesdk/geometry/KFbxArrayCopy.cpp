#include <fbxfilesdk/geometry/KFbxArrayCopy.h>

#include <fbxfilesdk/core/DynamicArray.h>

#include <cstddef>
#include <cstring>

namespace fbxsdk_2006_11_1 {

bool KFbxCopyDynamicArray(DynamicArray& target, const DynamicArray& source) {
    if (&target == &source) {
        return true;
    }
    if (target.GetItemSize() != source.GetItemSize() || !target.SetCount(source.GetCount())) {
        return false;
    }
    if (source.GetCount() > 0) {
        std::memcpy(target.GetData(), source.GetData(),
                    static_cast<std::size_t>(source.GetCount()) * static_cast<std::size_t>(source.GetItemSize()));
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
