#include <fbxfilesdk/geometry/KFbxColorArray.h>

#include <fbxfilesdk/geometry/KFbxArrayCopy.h>

namespace fbxsdk_2006_11_1 {

KFbxColorArray::KFbxColorArray(const KFbxColorArray& other) : DynamicArrayOf<KFbxColor>() { Copy(other); }

KFbxColorArray& KFbxColorArray::operator=(const KFbxColorArray& other) {
    Copy(other);
    return *this;
}

bool KFbxColorArray::Copy(const KFbxColorArray& other) { return KFbxCopyDynamicArray(*this, other); }

}  // namespace fbxsdk_2006_11_1
