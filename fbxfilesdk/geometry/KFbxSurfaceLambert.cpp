#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxSurfaceLambert::KFbxSurfaceLambert(KFbxSdkManager* manager, const char* name)
    : KFbxSurfaceLambert(manager, name, "Lambert") {}

KFbxSurfaceLambert::KFbxSurfaceLambert(KFbxSdkManager* manager, const char* name, const char* shadingModel)
    : KFbxSurfaceMaterial(manager, name, shadingModel) {
    MakeLambertProperties();
}

KFbxSurfaceLambert::~KFbxSurfaceLambert() = default;

void KFbxSurfaceLambert::MakeLambertProperties() {
    mEmissiveColor = MakeColor("EmissiveColor", 0.0, 0.0, 0.0);
    mEmissiveFactor = MakeFactor("EmissiveFactor", 1.0);
    mAmbientColor = MakeColor("AmbientColor", 0.2, 0.2, 0.2);
    mAmbientFactor = MakeFactor("AmbientFactor", 1.0);
    mDiffuseColor = MakeColor("DiffuseColor", kDefaultDiffuse, kDefaultDiffuse, kDefaultDiffuse);
    mDiffuseFactor = MakeFactor("DiffuseFactor", 1.0);
    mTransparentColor = MakeColor("TransparentColor", 0.0, 0.0, 0.0);
    mTransparencyFactor = MakeFactor("TransparencyFactor", 0.0);
}

KFbxSurfaceLambert* KFbxSurfaceLambert::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxSurfaceLambert*>(plug) : nullptr;
}

KFbxPlug* KFbxSurfaceLambert::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* material = new (std::nothrow) KFbxSurfaceLambert(manager, name);
    if (material != nullptr) {
        material->CreateInternal();
    }
    return material;
}

KFbxClassId KFbxSurfaceLambert::GetClassId() const { return ClassId; }

KFbxSurfaceMaterial* KFbxSurfaceLambert::Clone(int mode) const { return CloneAs(ClassId, mode); }

}  // namespace fbxsdk_2006_11_1
