// The scene-wide lighting: ambient colour, fog and shadows, with the planes
// shadows are cast onto. A new scene is lit by black ambient light, without
// fog, without shadows and without shadow planes.
#ifndef FBXFILESDK_SCENE_KFBXGLOBALLIGHTSETTINGS_H
#define FBXFILESDK_SCENE_KFBXGLOBALLIGHTSETTINGS_H

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxVector4.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

// A plane that receives shadows: a point on it and its normal.
class KFbxShadowPlane {
public:
    bool mEnable = false;
    KFbxVector4 mOrigin;
    KFbxVector4 mNormal;
};

class KFbxGlobalLightSettings {
public:
    enum EFogMode { eLINEAR = 0, eEXPONENTIAL = 1, eSQUAREROOT_EXPONENTIAL = 2 };
    enum EError { eINDEX_OUT_OF_RANGE = 0 };

    KFbxGlobalLightSettings();
    KFbxGlobalLightSettings(const KFbxGlobalLightSettings&) = delete;
    KFbxGlobalLightSettings& operator=(const KFbxGlobalLightSettings&) = delete;

    // Also removes every shadow plane.
    void RestoreDefaultSettings();

    void SetAmbientColor(const KFbxColor& color) { mAmbientColor = color; }
    KFbxColor GetAmbientColor() const { return mAmbientColor; }

    void SetFogEnable(bool enable) { mFogEnable = enable; }
    bool GetFogEnable() const { return mFogEnable; }
    void SetFogMode(EFogMode mode) { mFogMode = mode; }
    EFogMode GetFogMode() const { return mFogMode; }
    void SetFogDensity(double density) { mFogDensity = density; }
    double GetFogDensity() const { return mFogDensity; }
    void SetFogStart(double start) { mFogStart = start; }
    double GetFogStart() const { return mFogStart; }
    void SetFogEnd(double end) { mFogEnd = end; }
    double GetFogEnd() const { return mFogEnd; }
    void SetFogColor(const KFbxColor& color) { mFogColor = color; }
    KFbxColor GetFogColor() const { return mFogColor; }

    void SetShadowEnable(bool enable) { mShadowEnable = enable; }
    bool GetShadowEnable() const { return mShadowEnable; }
    void SetShadowIntensity(double intensity) { mShadowIntensity = intensity; }
    double GetShadowIntensity() const { return mShadowIntensity; }

    // Stores a copy.
    void AddShadowPlane(const KFbxShadowPlane& plane) { mShadowPlanes.push_back(plane); }
    int GetShadowPlaneCount() const { return static_cast<int>(mShadowPlanes.size()); }
    // Null, with error eINDEX_OUT_OF_RANGE, outside the list. The plane stays
    // put until the next plane is added or the planes are removed.
    KFbxShadowPlane* GetShadowPlane(int index);
    void RemoveAllShadowPlanes() { mShadowPlanes.clear(); }

    ErrorHolder& GetError() { return mError; }

private:
    KFbxColor mAmbientColor;
    bool mFogEnable = false;
    EFogMode mFogMode = eLINEAR;
    double mFogDensity = 0.0;
    double mFogStart = 0.0;
    double mFogEnd = 0.0;
    KFbxColor mFogColor;
    bool mShadowEnable = false;
    double mShadowIntensity = 0.0;
    std::vector<KFbxShadowPlane> mShadowPlanes;
    ErrorHolder mError;
};

}  // namespace fbxsdk_2006_11_1

#endif
