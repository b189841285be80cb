#include <fbxfilesdk/geometry/KFbxNurb.h>

#include <fbxfilesdk/geometry/KFbxParametricGeometry_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxNurb::KFbxNurb(KFbxSdkManager* manager, const char* name) : KFbxNurbsGridGeometry(manager, name) {}

KFbxNurb::~KFbxNurb() = default;

KFbxNurb* KFbxNurb::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxNurb>(manager, ClassId, name);
}

KFbxPlug* KFbxNurb::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxNurb>(manager, name);
}

KFbxClassId KFbxNurb::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxNurb::NewInternalObject() { return new (std::nothrow) KFbxNurb_internal(this); }

const char* KFbxNurb::GetTypeName() const { return "Nurb"; }

void KFbxNurb::Copy(const KFbxObject& other) {
    if (const auto* nurb = dynamic_cast<const KFbxNurb*>(&other)) {
        CopyGridGeometry(*nurb);
    }
}

KFbxNodeAttribute* KFbxNurb::Clone(int mode) const { return KFbxCloneWithContents(*this, mode); }

}  // namespace fbxsdk_2006_11_1
