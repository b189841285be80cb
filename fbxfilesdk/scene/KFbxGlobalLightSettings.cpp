#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>

#include <cstddef>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[] = {"Index out of range."};

}  // namespace

KFbxGlobalLightSettings::KFbxGlobalLightSettings() : mError(kMessages, 1) { RestoreDefaultSettings(); }

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
    RemoveAllShadowPlanes();
}

KFbxShadowPlane* KFbxGlobalLightSettings::GetShadowPlane(int index) {
    if (index < 0 || index >= GetShadowPlaneCount()) {
        mError.SetError(eINDEX_OUT_OF_RANGE);
        return nullptr;
    }
    return &mShadowPlanes[static_cast<std::size_t>(index)];
}

}  // namespace fbxsdk_2006_11_1
