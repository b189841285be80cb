#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>

namespace fbxsdk_2006_11_1 {

KFbxGlobalCameraSettings::KFbxGlobalCameraSettings(KFbxSdkManager* manager, KFbxScene* scene)
    : mManager(manager), mScene(scene) {
    RestoreDefaultSettings();
}

void KFbxGlobalCameraSettings::RestoreDefaultSettings() {
    mDefaultCamera = "Producer Perspective";
    mDefaultViewingMode = eSTANDARD;
}

}  // namespace fbxsdk_2006_11_1
