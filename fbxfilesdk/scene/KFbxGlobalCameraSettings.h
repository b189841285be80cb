// The scene-wide camera choice: which camera views the scene by default, in
// which viewing mode, and the seven producer cameras every scene has (a
// perspective one and six orthographic ones along the axes). Made and
// deleted by its scene.
//
// The producer cameras are nodes with camera attributes that the settings own
// and destroy with themselves: they are not sources of the scene and not
// listed by the manager, so scene walks and object counts do not meet them,
// and they are held as producer cameras (KFbxNode::eSceneProducerCamera), so
// that no node link or deformer takes them and no one else destroys them.
// They are made, with their defaults, when first asked for: most scenes that
// are read and let go never look at them. Without a manager (or before the
// camera class is registered) there are none.
#ifndef FBXFILESDK_SCENE_KFBXGLOBALCAMERASETTINGS_H
#define FBXFILESDK_SCENE_KFBXGLOBALCAMERASETTINGS_H

#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

class KFbxCamera;
class KFbxNode;
class KFbxScene;
class KFbxSdkManager;

class KFbxGlobalCameraSettings {
public:
    enum EViewingMode : int { eSTANDARD = 0, eXRAY = 1, eMODELS_ONLY = 2 };
    enum EProducerCamera : int {
        ePRODUCER_PERSPECTIVE = 0,
        ePRODUCER_TOP = 1,
        ePRODUCER_BOTTOM = 2,
        ePRODUCER_FRONT = 3,
        ePRODUCER_BACK = 4,
        ePRODUCER_RIGHT = 5,
        ePRODUCER_LEFT = 6,
        ePRODUCER_CAMERA_COUNT = 7
    };

    KFbxGlobalCameraSettings(KFbxSdkManager* manager, KFbxScene* scene);
    ~KFbxGlobalCameraSettings();
    KFbxGlobalCameraSettings(const KFbxGlobalCameraSettings&) = delete;
    KFbxGlobalCameraSettings& operator=(const KFbxGlobalCameraSettings&) = delete;

    // The perspective camera in the standard mode, and every producer camera
    // back at its place with the camera defaults (made when missing).
    void RestoreDefaultSettings();

    void SetDefaultCamera(const char* name) { mDefaultCamera = name != nullptr ? name : ""; }
    const char* GetDefaultCamera() const { return mDefaultCamera.Buffer(); }
    void SetDefaultViewingMode(EViewingMode mode) { mDefaultViewingMode = mode; }
    EViewingMode GetDefaultViewingMode() const { return mDefaultViewingMode; }

    // The node of a producer camera; null out of range or when it could not be made.
    KFbxNode* GetProducerCameraNode(int which) const;
    // Its camera attribute.
    KFbxCamera* GetProducerCamera(int which) const;
    // Whether the node is one of these settings' producer cameras; makes none.
    bool HoldsProducerCamera(const KFbxNode* node) const;
    // "Producer Perspective", "Producer Top", ... "Producer Left"; null out of range.
    static const char* GetProducerCameraName(int which);
    // Every producer camera's default background colour; cameras not made yet
    // take it when they are made, so setting it makes none of them.
    void SetProducerCamerasBackgroundColor(const double rgb[3]);
    KFbxNode* GetCameraProducerPerspective() const { return GetProducerCameraNode(ePRODUCER_PERSPECTIVE); }
    KFbxNode* GetCameraProducerTop() const { return GetProducerCameraNode(ePRODUCER_TOP); }
    KFbxNode* GetCameraProducerBottom() const { return GetProducerCameraNode(ePRODUCER_BOTTOM); }
    KFbxNode* GetCameraProducerFront() const { return GetProducerCameraNode(ePRODUCER_FRONT); }
    KFbxNode* GetCameraProducerBack() const { return GetProducerCameraNode(ePRODUCER_BACK); }
    KFbxNode* GetCameraProducerRight() const { return GetProducerCameraNode(ePRODUCER_RIGHT); }
    KFbxNode* GetCameraProducerLeft() const { return GetProducerCameraNode(ePRODUCER_LEFT); }

    KFbxSdkManager* GetSdkManager() const { return mManager; }
    KFbxScene* GetScene() const { return mScene; }

private:
    // The cameras with their defaults, the first time they are asked for.
    void MakeProducerCameras() const;
    // Makes the missing cameras and puts every one back at its place.
    void PlaceProducerCameras();
    void CreateProducerCameras();
    void DestroyProducerCameras();

    KFbxSdkManager* mManager;
    KFbxScene* mScene;
    KString mDefaultCamera;
    EViewingMode mDefaultViewingMode = eSTANDARD;
    // Made on first need, by const getters too.
    mutable KFbxNode* mProducerNodes[ePRODUCER_CAMERA_COUNT] = {};
    mutable bool mProducerCamerasPending = true;
    // The background colour the cameras take when made; set when one was asked for.
    double mPendingBackground[3] = {};
    bool mHasPendingBackground = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
