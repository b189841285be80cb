// The attribute of a node that is only a place in the hierarchy: drawn as a
// cross (or not at all) of a given size.
#ifndef FBXFILESDK_SCENE_KFBXNULL_H
#define FBXFILESDK_SCENE_KFBXNULL_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

namespace fbxsdk_2006_11_1 {

class KFbxNull : public KFbxNodeAttribute {
public:
    enum ELook { eNONE = 0, eCROSS = 1 };

    // The class id of KFbxNull; null until the class is registered.
    static KFbxClassId ClassId;

    // Size 100, a cross, size not set.
    KFbxNull(KFbxSdkManager* manager, const char* name);

    static KFbxNull* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    EAttributeType GetAttributeType() const override { return eNULL; }
    const char* GetTypeName() const override { return "Null"; }
    bool HasTakeNodeTemplate() const override { return false; }
    void GetTypeFlags(KStringList& flags) const override;
    // Mode 2: a new null of the same name with this one's values.
    KFbxNodeAttribute* Clone(int mode) const override;

    // Marks the size as set, even when it is unchanged.
    void SetSize(double size);
    double GetSize() const;
    bool IsSizeSet() const { return mSizeSet; }
    static double GetDefaultSize() { return 100.0; }
    // Values without a name are kept as given.
    void SetLook(int look);
    int GetLook() const;
    // "None", "Cross"; null for any other value.
    static const char* GetLookName(int look);

    void Reset();
    void CopyFrom(const KFbxNull& other);

    KFbxTypedProperty<double> Size;
    KFbxProperty Look;

private:
    bool mSizeSet = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
