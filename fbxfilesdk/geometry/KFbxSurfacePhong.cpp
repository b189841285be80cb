#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxSurfacePhong::KFbxSurfacePhong(KFbxSdkManager* manager, const char* name)
    : KFbxSurfaceLambert(manager, name, "Phong") {
    mSpecularColor = MakeColor("SpecularColor", 0.2, 0.2, 0.2);
    mSpecularFactor = MakeFactor("SpecularFactor", 1.0);
    mShininess = MakeFactor("ShininessExponent", 20.0);
    mReflectionColor = MakeColor("ReflectionColor", 0.0, 0.0, 0.0);
    mReflectionFactor = MakeFactor("ReflectionFactor", 1.0);
}

KFbxSurfacePhong::~KFbxSurfacePhong() = default;

KFbxSurfacePhong* KFbxSurfacePhong::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxSurfacePhong*>(plug) : nullptr;
}

KFbxPlug* KFbxSurfacePhong::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* material = new (std::nothrow) KFbxSurfacePhong(manager, name);
    if (material != nullptr) {
        material->CreateInternal();
    }
    return material;
}

KFbxClassId KFbxSurfacePhong::GetClassId() const { return ClassId; }

KFbxSurfaceMaterial* KFbxSurfacePhong::Clone(int mode) const { return CloneAs(ClassId, mode); }

}  // namespace fbxsdk_2006_11_1
