// The attribute of a bone: a root, a limb or a limb node, with a size, a
// limb length that only limbs use and a colour that only limbs and limb nodes
// use. It remembers which values were set explicitly, so that writers store
// only those. Bones have no animated channels of their own.
#ifndef FBXFILESDK_SCENE_KFBXSKELETON_H
#define FBXFILESDK_SCENE_KFBXSKELETON_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

namespace fbxsdk_2006_11_1 {

class KFbxSkeleton : public KFbxNodeAttribute {
public:
    // eEFFECTOR is accepted and named like a root.
    enum ESkeletonType : int { eROOT = 0, eLIMB = 1, eLIMB_NODE = 2, eEFFECTOR = 3 };

    // The class id of KFbxSkeleton; null until the class is registered.
    static KFbxClassId ClassId;

    // A grey root of size 100, nothing marked as set.
    KFbxSkeleton(KFbxSdkManager* manager, const char* name);

    static KFbxSkeleton* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // A KFbxSkeleton_internal.
    KFbxObject_internal* NewInternalObject() override;
    // The twin, whose bound properties then carry the skeleton's flags.
    KPlug* CreateInternal() override;
    EAttributeType GetAttributeType() const override { return eSKELETON; }
    // "Root" (types 0 and 3), "Limb", "LimbNode"; "" for other types.
    const char* GetTypeName() const override;
    bool HasTakeNodeTemplate() const override { return false; }
    // "Null", "Skeleton", "Root" for a root; "Skeleton" for limbs and limb
    // nodes; empty for other types.
    void GetTypeFlags(KStringList& flags) const override;
    // Mode 2: a new skeleton with an empty name and this one's values and flags.
    KFbxNodeAttribute* Clone(int mode) const override;

    void Reset();
    // Values through the setters, then the other's "set" flags as they are.
    void CopyFrom(const KFbxSkeleton& other);

    // Marks the type as set; a root's colour is left out of files.
    void SetSkeletonType(ESkeletonType type);
    ESkeletonType GetSkeletonType() const { return mType; }
    bool IsSkeletonTypeSet() const { return mTypeSet; }

    // Limbs only: false, with nothing changed, for other types.
    bool SetLimbLength(double length);
    double GetLimbLength() const { return LimbLength.Get(); }
    bool IsLimbLengthSet() const { return mLimbLengthSet; }
    static double GetDefaultLimbLength() { return 1.0; }

    void SetSize(double size);
    double GetSize() const { return Size.Get(); }
    bool IsSizeSet() const { return mSizeSet; }
    static double GetDefaultSize() { return 100.0; }

    // Limbs and limb nodes only: false, with nothing changed, for other
    // types. Alpha is not kept.
    bool SetLimbNodeColor(const KFbxColor& color);
    // Alpha reads 1.
    KFbxColor GetLimbNodeColor() const;
    bool IsLimbNodeColorSet() const { return mLimbNodeColorSet; }
    static KFbxColor GetDefaultLimbNodeColor() { return KFbxColor(0.8, 0.8, 0.8, 1.0); }

    KFbxTypedProperty<double> Size;
    KFbxTypedProperty<double> LimbLength;

private:
    void InitProperties();
    // The flags of the bound properties, which exist once the twin does.
    void ApplyPropertyFlags();
    void StoreColor(const KFbxColor& color);
    // Whether writers leave the colour out (a root's colour means nothing).
    void SetColorSkipped(bool skipped);

    ESkeletonType mType = eROOT;
    bool mLimbLengthSet = false;
    bool mSizeSet = false;
    bool mLimbNodeColorSet = false;
    bool mTypeSet = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
