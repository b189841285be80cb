#include <fbxfilesdk/geometry/KFbxNurbsSurface.h>

#include <fbxfilesdk/geometry/KFbxParametricGeometry_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxNurbsSurface::KFbxNurbsSurface(KFbxSdkManager* manager, const char* name) : KFbxNurbsGridGeometry(manager, name) {}

KFbxNurbsSurface::~KFbxNurbsSurface() = default;

KFbxNurbsSurface* KFbxNurbsSurface::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxNurbsSurface>(manager, ClassId, name);
}

KFbxPlug* KFbxNurbsSurface::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxNurbsSurface>(manager, name);
}

KFbxClassId KFbxNurbsSurface::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxNurbsSurface::NewInternalObject() {
    return new (std::nothrow) KFbxNurbsSurface_internal(this);
}

const char* KFbxNurbsSurface::GetTypeName() const { return "NurbsSurface"; }

void KFbxNurbsSurface::Copy(const KFbxObject& other) {
    const auto* surface = dynamic_cast<const KFbxNurbsSurface*>(&other);
    if (surface != nullptr && CopyGridGeometry(*surface)) {
        mFlag2 = surface->mFlag2;
    }
}

KFbxNodeAttribute* KFbxNurbsSurface::Clone(int mode) const { return KFbxCloneWithContents(*this, mode); }

}  // namespace fbxsdk_2006_11_1
