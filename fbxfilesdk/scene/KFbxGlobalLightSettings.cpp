#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>

namespace fbxsdk_2006_11_1 {

void KFbxGlobalLightSettings::RestoreDefaultSettings() {
    mAmbientColor = KFbxColor(0.0, 0.0, 0.0, 1.0);
    mFogEnable = false;
    mFogMode = eLINEAR;
    // A fog switched on without further settings fades from the eye out to
    // a far distance, rather than hiding everything at once.
    mFogDensity = 0.1;
    mFogStart = 0.0;
    mFogEnd = 1000.0;
    mFogColor = KFbxColor(1.0, 1.0, 1.0, 1.0);
    mShadowEnable = false;
    mShadowIntensity = 100.0;
}

}  // namespace fbxsdk_2006_11_1
