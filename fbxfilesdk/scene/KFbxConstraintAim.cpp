#include <fbxfilesdk/scene/KFbxConstraintAim.h>

#include <fbxfilesdk/scene/KFbxConstraint_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {


KFbxConstraintAim::KFbxConstraintAim(KFbxSdkManager* manager, const char* name) : KFbxConstraint(manager, name) {
    ConstructTwin();
    // Only the lists and the up type live on the twin; the other handles
    // make their properties here.
    InitBoolHandle(Active, "Active", true);
    InitBoolHandle(Lock, "Lock", false);
    InitNumberHandle(Weight, "Weight", gKFbxDataTypeWeight, 100.0);
    InitVectorHandle(RotationOffset, "RotationOffset", fbxDouble3(0.0, 0.0, 0.0));
    InitObjectHandle(AimAtObjects, "Aim At Object");
    InitObjectHandle(ConstrainedObject, "Constrained Object");
    InitEnumHandle(WorldUpType, "WorldUpType");
    InitObjectHandle(WorldUpObject, "World Up Object");
    InitVectorHandle(WorldUpVector, "WorldUpVector", fbxDouble3(0.0, 1.0, 0.0));
    InitVectorHandle(UpVector, "UpVector", fbxDouble3(0.0, 1.0, 0.0));
    InitVectorHandle(AimVector, "AimVector", fbxDouble3(1.0, 0.0, 0.0));
    InitBoolHandle(AffectX, "AffectX", true);
    InitBoolHandle(AffectY, "AffectY", true);
    InitBoolHandle(AffectZ, "AffectZ", true);
    SetListHandles(&ConstrainedObject, &AimAtObjects);
}

KFbxConstraintAim* KFbxConstraintAim::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxConstraintAim>(manager, ClassId, name);
}

KFbxPlug* KFbxConstraintAim::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxConstraintAim>(manager, name);
}

KFbxClassId KFbxConstraintAim::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxConstraintAim::NewInternalObject() {
    return new (std::nothrow) KFbxConstraintAim_internal(this);
}

void KFbxConstraintAim::SetOffset(const KFbxVector4& offset) { WriteVector(RotationOffset, offset); }

KFbxObject* KFbxConstraintAim::GetWorldUpObject() const {
    return KFbxCastToObject(WorldUpObject.GetSrc(0, KFbxObject::ClassId));
}

}  // namespace fbxsdk_2006_11_1
