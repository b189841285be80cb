// An aim constraint: the constrained object turns so that its aim vector
// points at the weighted targets, with an up direction taken from the scene,
// an up object, that object's rotation, a vector, or nothing.
#ifndef FBXFILESDK_SCENE_KFBXCONSTRAINTAIM_H
#define FBXFILESDK_SCENE_KFBXCONSTRAINTAIM_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>

namespace fbxsdk_2006_11_1 {

class KFbxConstraintAim : public KFbxConstraint {
public:
    // The class id of KFbxConstraintAim; null until the class is registered.
    static KFbxClassId ClassId;

    // Active, weight 100, scene up, up vectors (0, 1, 0), aim vector (1, 0, 0).
    KFbxConstraintAim(KFbxSdkManager* manager, const char* name);

    static KFbxConstraintAim* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    const char* GetTypeName() const override { return "Aim"; }
    KFbxObject_internal* NewInternalObject() override;
    EConstraintType GetConstraintType() const override { return eAIM; }
    // Writes x, y and z into "RotationOffset".
    void SetOffset(const KFbxVector4& offset) override;

    bool GetActive() const { return Active.Get(); }
    bool GetLock() const { return Lock.Get(); }
    double GetWeight() const { return Weight.Get(); }
    KFbxVector4 GetRotationOffset() const { return ReadVector(RotationOffset); }
    // KFbxConstraintAim_internal::EAimConstraintWoldUpType; a value without a
    // name is kept as given.
    int GetWorldUpType() const { return ReadEnum(WorldUpType); }
    void SetWorldUpType(int type) { WriteEnum(WorldUpType, type); }
    KFbxObject* GetWorldUpObject() const;
    KFbxVector4 GetWorldUpVector() const { return ReadVector(WorldUpVector); }
    KFbxVector4 GetUpVector() const { return ReadVector(UpVector); }
    KFbxVector4 GetAimVector() const { return ReadVector(AimVector); }
    bool GetAffectX() const { return AffectX.Get(); }
    bool GetAffectY() const { return AffectY.Get(); }
    bool GetAffectZ() const { return AffectZ.Get(); }

    KFbxTypedProperty<bool> Active;
    KFbxTypedProperty<bool> Lock;
    KFbxTypedProperty<double> Weight;
    KFbxTypedProperty<fbxDouble3> RotationOffset;
    // "Aim At Object": the targets, any number, connected as sources.
    KFbxProperty AimAtObjects;
    // "Constrained Object": at most one object, connected as a destination.
    KFbxProperty ConstrainedObject;
    KFbxProperty WorldUpType;
    // "World Up Object": at most one object, connected as a source.
    KFbxProperty WorldUpObject;
    KFbxTypedProperty<fbxDouble3> WorldUpVector;
    KFbxTypedProperty<fbxDouble3> UpVector;
    KFbxTypedProperty<fbxDouble3> AimVector;
    KFbxTypedProperty<bool> AffectX;
    KFbxTypedProperty<bool> AffectY;
    KFbxTypedProperty<bool> AffectZ;
};

}  // namespace fbxsdk_2006_11_1

#endif
