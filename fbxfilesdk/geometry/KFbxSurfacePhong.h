// A Phong material: the Lambert properties plus specular colour and factor,
// shininess exponent, reflection colour and factor. In the class registry it
// is a sibling of the Lambert material, not a kind of it, so a class-id test
// against the Lambert class is false for a Phong material; in C++ it shares
// the Lambert getters.
#ifndef FBXFILESDK_GEOMETRY_KFBXSURFACEPHONG_H
#define FBXFILESDK_GEOMETRY_KFBXSURFACEPHONG_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>

namespace fbxsdk_2006_11_1 {

class KFbxPlug;
class KFbxSdkManager;

class KFbxSurfacePhong : public KFbxSurfaceLambert {
public:
    // The class id of KFbxSurfacePhong; null until the class is registered.
    static KFbxClassId ClassId;

    // Shading model "Phong".
    KFbxSurfacePhong(KFbxSdkManager* manager, const char* name);
    ~KFbxSurfacePhong() override;

    static KFbxSurfacePhong* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    KFbxSurfaceMaterial* Clone(int mode) const override;

    KFbxProperty GetSpecularColor() const { return mSpecularColor; }
    KFbxProperty GetSpecularFactor() const { return mSpecularFactor; }
    // The "ShininessExponent" property.
    KFbxProperty GetShininess() const { return mShininess; }
    KFbxProperty GetReflectionColor() const { return mReflectionColor; }
    KFbxProperty GetReflectionFactor() const { return mReflectionFactor; }

private:
    KFbxProperty mSpecularColor;
    KFbxProperty mSpecularFactor;
    KFbxProperty mShininess;
    KFbxProperty mReflectionColor;
    KFbxProperty mReflectionFactor;
};

}  // namespace fbxsdk_2006_11_1

#endif
