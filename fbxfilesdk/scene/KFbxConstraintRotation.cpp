#include <fbxfilesdk/scene/KFbxConstraintRotation.h>

#include <fbxfilesdk/scene/KFbxConstraint_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {


KFbxConstraintRotation::KFbxConstraintRotation(KFbxSdkManager* manager, const char* name) : KFbxConstraintAxis(manager, name) {
    ConstructAxisConstraint("Rotation");
}

KFbxConstraintRotation* KFbxConstraintRotation::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxConstraintRotation>(manager, ClassId, name);
}

KFbxPlug* KFbxConstraintRotation::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxConstraintRotation>(manager, name);
}

KFbxClassId KFbxConstraintRotation::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxConstraintRotation::NewInternalObject() { return new (std::nothrow) KFbxConstraintRotation_internal(this); }

}  // namespace fbxsdk_2006_11_1
