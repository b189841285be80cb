// A rotation constraint: the constrained object's rotation follows the
// weighted sources' rotations. Its offset property is "Rotation".
#ifndef FBXFILESDK_SCENE_KFBXCONSTRAINTROTATION_H
#define FBXFILESDK_SCENE_KFBXCONSTRAINTROTATION_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/scene/KFbxConstraintAxis.h>

namespace fbxsdk_2006_11_1 {

class KFbxConstraintRotation : public KFbxConstraintAxis {
public:
    // The class id of KFbxConstraintRotation; null until the class is registered.
    static KFbxClassId ClassId;

    // Active, all three axes affected, weight 100, offset (0, 0, 0).
    KFbxConstraintRotation(KFbxSdkManager* manager, const char* name);

    static KFbxConstraintRotation* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    const char* GetTypeName() const override { return "Rotation From Rotations"; }
    KFbxObject_internal* NewInternalObject() override;
    EConstraintType GetConstraintType() const override { return eROTATION; }
};

}  // namespace fbxsdk_2006_11_1

#endif
