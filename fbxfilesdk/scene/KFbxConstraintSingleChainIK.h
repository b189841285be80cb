// A single chain IK constraint: an inverse-kinematics chain from a first
// joint to an end joint, driven by an effector, with a pole vector (given as
// a vector or by pole objects), a twist and a choice of solver. It has no
// offset of its own.
#ifndef FBXFILESDK_SCENE_KFBXCONSTRAINTSINGLECHAINIK_H
#define FBXFILESDK_SCENE_KFBXCONSTRAINTSINGLECHAINIK_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>

namespace fbxsdk_2006_11_1 {

class KFbxConstraintSingleChainIK : public KFbxConstraint {
public:
    // The class id of KFbxConstraintSingleChainIK; null until the class is registered.
    static KFbxClassId ClassId;

    // Active, SC solver, pole vector (0, 1, 0) by vector, twist 0, weight 100.
    KFbxConstraintSingleChainIK(KFbxSdkManager* manager, const char* name);

    static KFbxConstraintSingleChainIK* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    const char* GetTypeName() const override { return "Single Chain IK"; }
    KFbxObject_internal* NewInternalObject() override;
    EConstraintType GetConstraintType() const override { return eSINGLECHAIN_IK; }

    bool GetActive() const { return Active.Get(); }
    bool GetLock() const { return Lock.Get(); }
    double GetWeight() const { return Weight.Get(); }
    // The KFbxConstraintSingleChainIK_internal enumerations; a value without
    // a name is kept as given.
    int GetSolverType() const { return ReadEnum(SolverType); }
    void SetSolverType(int type) { WriteEnum(SolverType, type); }
    int GetPoleVectorType() const { return ReadEnum(PoleVectorType); }
    void SetPoleVectorType(int type) { WriteEnum(PoleVectorType, type); }
    int GetEvaluateTSAnim() const { return ReadEnum(EvaluateTSAnim); }
    void SetEvaluateTSAnim(int mode) { WriteEnum(EvaluateTSAnim, mode); }
    KFbxVector4 GetPoleVector() const { return ReadVector(PoleVector); }
    double GetTwist() const { return Twist.Get(); }
    KFbxObject* GetFirstJoint() const;
    KFbxObject* GetEndJoint() const;
    // The effector is the constraint's driving source.
    KFbxObject* GetEffector() const { return GetConstraintSource(0); }
    int GetPoleVectorObjectCount() const;
    KFbxObject* GetPoleVectorObject(int index) const;

    KFbxTypedProperty<bool> Lock;
    KFbxTypedProperty<bool> Active;
    KFbxProperty PoleVectorType;
    KFbxProperty SolverType;
    KFbxProperty EvaluateTSAnim;
    KFbxTypedProperty<double> Weight;
    // "Pole Vector Object": any number of objects, connected as sources.
    KFbxProperty PoleVectorObjects;
    KFbxTypedProperty<fbxDouble3> PoleVector;
    KFbxTypedProperty<double> Twist;
    // "First Joint" and "End Joint": at most one object each, connected as destinations.
    KFbxProperty FirstJointObject;
    KFbxProperty EndJointObject;
    // "Effector": at most one object, connected as a source.
    KFbxProperty EffectorObject;
};

}  // namespace fbxsdk_2006_11_1

#endif
