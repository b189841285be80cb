// The scene-wide camera choice: which camera views the scene by default and
// in which viewing mode. Made and deleted by its scene.
#ifndef FBXFILESDK_SCENE_KFBXGLOBALCAMERASETTINGS_H
#define FBXFILESDK_SCENE_KFBXGLOBALCAMERASETTINGS_H

#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

class KFbxScene;
class KFbxSdkManager;

class KFbxGlobalCameraSettings {
public:
    enum EViewingMode { eSTANDARD = 0, eXRAY = 1, eMODELS_ONLY = 2 };

    KFbxGlobalCameraSettings(KFbxSdkManager* manager, KFbxScene* scene);

    // The perspective camera in the standard mode.
    void RestoreDefaultSettings();

    void SetDefaultCamera(const char* name) { mDefaultCamera = name != nullptr ? name : ""; }
    const char* GetDefaultCamera() const { return mDefaultCamera.Buffer(); }
    void SetDefaultViewingMode(EViewingMode mode) { mDefaultViewingMode = mode; }
    EViewingMode GetDefaultViewingMode() const { return mDefaultViewingMode; }

    KFbxSdkManager* GetSdkManager() const { return mManager; }
    KFbxScene* GetScene() const { return mScene; }

private:
    KFbxSdkManager* mManager;
    KFbxScene* mScene;
    KString mDefaultCamera;
    EViewingMode mDefaultViewingMode = eSTANDARD;
};

}  // namespace fbxsdk_2006_11_1

#endif
