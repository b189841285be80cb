#include <fbxfilesdk/scene/KFbxConstraintSingleChainIK.h>

#include <fbxfilesdk/scene/KFbxConstraint_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {


KFbxConstraintSingleChainIK::KFbxConstraintSingleChainIK(KFbxSdkManager* manager, const char* name)
    : KFbxConstraint(manager, name) {
    ConstructTwin();
    InitBoolHandle(Lock, "Lock", false);
    InitBoolHandle(Active, "Active", true);
    InitEnumHandle(PoleVectorType, "PoleVectorType");
    InitEnumHandle(SolverType, "SolverType");
    InitEnumHandle(EvaluateTSAnim, "EvaluateTSAnim");
    InitNumberHandle(Weight, "Weight", gKFbxDataTypeWeight, 100.0);
    InitObjectHandle(PoleVectorObjects, "Pole Vector Object");
    InitVectorHandle(PoleVector, "PoleVector", fbxDouble3(0.0, 1.0, 0.0));
    InitNumberHandle(Twist, "Twist", gKFbxDataTypeNumber, 0.0);
    InitObjectHandle(FirstJointObject, "First Joint");
    InitObjectHandle(EndJointObject, "End Joint");
    InitObjectHandle(EffectorObject, "Effector");
    SetListHandles(&FirstJointObject, &EffectorObject);
}

KFbxConstraintSingleChainIK* KFbxConstraintSingleChainIK::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxConstraintSingleChainIK>(manager, ClassId, name);
}

KFbxPlug* KFbxConstraintSingleChainIK::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxConstraintSingleChainIK>(manager, name);
}

KFbxClassId KFbxConstraintSingleChainIK::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxConstraintSingleChainIK::NewInternalObject() {
    return new (std::nothrow) KFbxConstraintSingleChainIK_internal(this);
}

KFbxObject* KFbxConstraintSingleChainIK::GetFirstJoint() const { return GetConstrainedObject(); }

KFbxObject* KFbxConstraintSingleChainIK::GetEndJoint() const {
    return KFbxCastToObject(EndJointObject.GetDst(0, KFbxObject::ClassId));
}

int KFbxConstraintSingleChainIK::GetPoleVectorObjectCount() const {
    return PoleVectorObjects.GetSrcCount(KFbxObject::ClassId);
}

KFbxObject* KFbxConstraintSingleChainIK::GetPoleVectorObject(int index) const {
    return KFbxCastToObject(PoleVectorObjects.GetSrc(index, KFbxObject::ClassId));
}

}  // namespace fbxsdk_2006_11_1
