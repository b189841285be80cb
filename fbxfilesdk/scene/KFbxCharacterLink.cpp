#include <fbxfilesdk/scene/KFbxCharacterLink.h>

namespace fbxsdk_2006_11_1 {

KFbxCharacterLink::KFbxCharacterLink() { Reset(); }

KFbxCharacterLink::KFbxCharacterLink(const KFbxCharacterLink& other) : KFbxCharacterLink() { *this = other; }

KFbxCharacterLink& KFbxCharacterLink::operator=(const KFbxCharacterLink& other) {
    if (this == &other) {
        return *this;
    }
    mNode = other.mNode;
    mName = other.mName;
    mTOffset = other.mTOffset;
    mROffset = other.mROffset;
    mSOffset = other.mSOffset;
    mParentROffset = other.mParentROffset;
    mHasRotSpace = other.mHasRotSpace;
    mRLimits = other.mRLimits;
    mPreRotation = other.mPreRotation;
    mPostRotation = other.mPostRotation;
    mRotOrder = other.mRotOrder;
    mAxisLen = other.mAxisLen;
    mPropertyLink = other.mPropertyLink;
    return *this;
}

void KFbxCharacterLink::Reset() {
    mNode = nullptr;
    mName = KString();
    mTOffset = KFbxVector4(0.0, 0.0, 0.0, 1.0);
    mROffset = KFbxVector4(0.0, 0.0, 0.0, 1.0);
    mSOffset = KFbxVector4(1.0, 1.0, 1.0, 1.0);
    mParentROffset = KFbxVector4(0.0, 0.0, 0.0, 1.0);
    mHasRotSpace = false;
    mRLimits.SetLimitMinActive(false, false, false);
    mRLimits.SetLimitMaxActive(false, false, false);
    const KFbxVector4 zero(mParentROffset[0], mParentROffset[1], mParentROffset[2], 0.0);
    mRLimits.SetLimitMin(zero);
    mRLimits.SetLimitMax(zero);
    mPreRotation = KFbxVector4(0.0, 0.0, 0.0, 1.0);
    mPostRotation = KFbxVector4(0.0, 0.0, 0.0, 1.0);
    mRotOrder = 0;
    mAxisLen = 1.0;
    mPropertyLink = KFbxProperty();
}

}  // namespace fbxsdk_2006_11_1
