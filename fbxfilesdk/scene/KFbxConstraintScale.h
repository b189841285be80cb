// A scale constraint: the constrained object's scaling follows the weighted
// sources' scalings. Its offset property is "Scaling", which starts at
// (0, 0, 0) like the other kinds' offsets.
#ifndef FBXFILESDK_SCENE_KFBXCONSTRAINTSCALE_H
#define FBXFILESDK_SCENE_KFBXCONSTRAINTSCALE_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/scene/KFbxConstraintAxis.h>

namespace fbxsdk_2006_11_1 {

class KFbxConstraintScale : public KFbxConstraintAxis {
public:
    // The class id of KFbxConstraintScale; null until the class is registered.
    static KFbxClassId ClassId;

    // Active, all three axes affected, weight 100, offset (0, 0, 0).
    KFbxConstraintScale(KFbxSdkManager* manager, const char* name);

    static KFbxConstraintScale* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    const char* GetTypeName() const override { return "Scale From Scales"; }
    KFbxObject_internal* NewInternalObject() override;
    EConstraintType GetConstraintType() const override { return eSCALE; }
};

}  // namespace fbxsdk_2006_11_1

#endif
