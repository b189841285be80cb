#include <fbxfilesdk/scene/KFbxConstraintPosition.h>

#include <fbxfilesdk/scene/KFbxConstraint_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {


KFbxConstraintPosition::KFbxConstraintPosition(KFbxSdkManager* manager, const char* name) : KFbxConstraintAxis(manager, name) {
    ConstructAxisConstraint("Translation");
}

KFbxConstraintPosition* KFbxConstraintPosition::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxConstraintPosition>(manager, ClassId, name);
}

KFbxPlug* KFbxConstraintPosition::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxConstraintPosition>(manager, name);
}

KFbxClassId KFbxConstraintPosition::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxConstraintPosition::NewInternalObject() { return new (std::nothrow) KFbxConstraintPosition_internal(this); }

}  // namespace fbxsdk_2006_11_1
