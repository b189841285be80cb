// The scene-wide lighting: ambient colour, fog and shadows. A new scene is
// lit by black ambient light, without fog and without shadows.
#ifndef FBXFILESDK_SCENE_KFBXGLOBALLIGHTSETTINGS_H
#define FBXFILESDK_SCENE_KFBXGLOBALLIGHTSETTINGS_H

#include <fbxfilesdk/core/KFbxColor.h>

namespace fbxsdk_2006_11_1 {

class KFbxGlobalLightSettings {
public:
    enum EFogMode { eLINEAR = 0, eEXPONENTIAL = 1, eSQUAREROOT_EXPONENTIAL = 2 };

    KFbxGlobalLightSettings() { RestoreDefaultSettings(); }

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
};

}  // namespace fbxsdk_2006_11_1

#endif
