#include <fbxfilesdk/core/KFbxVector2.h>

namespace fbxsdk_2006_11_1 {

static_assert(sizeof(KFbxVector2) == 16, "vector arrays store 16-byte items");

double& KFbxVector2::operator[](int index) { return mData[index]; }
const double& KFbxVector2::operator[](int index) const { return mData[index]; }

void KFbxVector2::Set(double u, double v) {
    mData[0] = u;
    mData[1] = v;
}

bool KFbxVector2::operator!=(const KFbxVector2& other) const {
    return mData[0] != other.mData[0] || mData[1] != other.mData[1];
}

}  // namespace fbxsdk_2006_11_1
