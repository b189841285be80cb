#include <fbxfilesdk/scene/KFbxConstraintScale.h>

#include <fbxfilesdk/scene/KFbxConstraint_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {


KFbxConstraintScale::KFbxConstraintScale(KFbxSdkManager* manager, const char* name) : KFbxConstraintAxis(manager, name) {
    ConstructAxisConstraint("Scaling");
}

KFbxConstraintScale* KFbxConstraintScale::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxConstraintScale>(manager, ClassId, name);
}

KFbxPlug* KFbxConstraintScale::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxConstraintScale>(manager, name);
}

KFbxClassId KFbxConstraintScale::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxConstraintScale::NewInternalObject() { return new (std::nothrow) KFbxConstraintScale_internal(this); }

}  // namespace fbxsdk_2006_11_1
