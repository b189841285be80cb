// What fills one body slot of a character: the scene node (never owned), a
// slot name from the file that filled it, the offsets, the rotation space with
// its limits, and the character's link property of the slot.
#ifndef FBXFILESDK_SCENE_KFBXCHARACTERLINK_H
#define FBXFILESDK_SCENE_KFBXCHARACTERLINK_H

#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/scene/KFbxLimits.h>

namespace fbxsdk_2006_11_1 {

class KFbxNode;

class KFbxCharacterLink {
public:
    // An empty slot (Reset).
    KFbxCharacterLink();
    KFbxCharacterLink(const KFbxCharacterLink& other);
    // Every field; the property handle is shared, not duplicated.
    KFbxCharacterLink& operator=(const KFbxCharacterLink& other);
    ~KFbxCharacterLink() = default;

    // No node, no name, neutral offsets, no rotation space, cleared limits,
    // order 0, axis length 1 and no property.
    void Reset();

    KFbxNode* mNode;
    KString mName;
    KFbxVector4 mTOffset;
    KFbxVector4 mROffset;
    KFbxVector4 mSOffset;
    KFbxVector4 mParentROffset;
    bool mHasRotSpace;
    KFbxLimits mRLimits;
    KFbxVector4 mPreRotation;
    KFbxVector4 mPostRotation;
    int mRotOrder;
    double mAxisLen;
    KFbxProperty mPropertyLink;
};

}  // namespace fbxsdk_2006_11_1

#endif
