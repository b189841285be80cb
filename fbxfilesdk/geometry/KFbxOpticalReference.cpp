#include <fbxfilesdk/geometry/KFbxOpticalReference.h>

#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/geometry/KFbxParametricGeometry_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxOpticalReference::KFbxOpticalReference(KFbxSdkManager* manager, const char* name)
    : KFbxNodeAttribute(manager, name) {}

KFbxOpticalReference::~KFbxOpticalReference() = default;

KFbxOpticalReference* KFbxOpticalReference::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxOpticalReference>(manager, ClassId, name);
}

KFbxPlug* KFbxOpticalReference::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxOpticalReference>(manager, name);
}

KFbxClassId KFbxOpticalReference::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxOpticalReference::NewInternalObject() {
    return new (std::nothrow) KFbxOpticalReference_internal(this);
}

const char* KFbxOpticalReference::GetTypeName() const { return "Optical"; }

void KFbxOpticalReference::GetTypeFlags(KStringList& flags) const {
    flags.Clear();
    flags.Add(KString("Marker"));
}

}  // namespace fbxsdk_2006_11_1
