// A Lambert material: emissive, ambient, diffuse and transparent colours
// (three doubles each) with their factors (one double each).
#ifndef FBXFILESDK_GEOMETRY_KFBXSURFACELAMBERT_H
#define FBXFILESDK_GEOMETRY_KFBXSURFACELAMBERT_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>

namespace fbxsdk_2006_11_1 {

class KFbxPlug;
class KFbxSdkManager;

class KFbxSurfaceLambert : public KFbxSurfaceMaterial {
public:
    // The class id of KFbxSurfaceLambert; null until the class is registered.
    static KFbxClassId ClassId;
    // Each component of a new material's diffuse colour, a light grey; its
    // factor is 1.
    static constexpr double kDefaultDiffuse = 0.8;

    // Shading model "Lambert".
    KFbxSurfaceLambert(KFbxSdkManager* manager, const char* name);
    ~KFbxSurfaceLambert() override;

    static KFbxSurfaceLambert* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    KFbxSurfaceMaterial* Clone(int mode) const override;

    KFbxProperty GetEmissiveColor() const { return mEmissiveColor; }
    KFbxProperty GetEmissiveFactor() const { return mEmissiveFactor; }
    KFbxProperty GetAmbientColor() const { return mAmbientColor; }
    KFbxProperty GetAmbientFactor() const { return mAmbientFactor; }
    KFbxProperty GetDiffuseColor() const { return mDiffuseColor; }
    KFbxProperty GetDiffuseFactor() const { return mDiffuseFactor; }
    KFbxProperty GetTransparentColor() const { return mTransparentColor; }
    KFbxProperty GetTransparencyFactor() const { return mTransparencyFactor; }

protected:
    // For the Phong material, which shares these properties but is a class
    // of its own in the registry.
    KFbxSurfaceLambert(KFbxSdkManager* manager, const char* name, const char* shadingModel);

private:
    void MakeLambertProperties();

    KFbxProperty mEmissiveColor;
    KFbxProperty mEmissiveFactor;
    KFbxProperty mAmbientColor;
    KFbxProperty mAmbientFactor;
    KFbxProperty mDiffuseColor;
    KFbxProperty mDiffuseFactor;
    KFbxProperty mTransparentColor;
    KFbxProperty mTransparencyFactor;
};

}  // namespace fbxsdk_2006_11_1

#endif
