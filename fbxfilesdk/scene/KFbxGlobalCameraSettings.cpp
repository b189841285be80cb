#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>

#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <algorithm>
#include <iterator>

namespace fbxsdk_2006_11_1 {

namespace {

// Where each producer camera stands and how it looks at the origin. The
// perspective camera looks down on the origin from a front-right diagonal;
// the orthographic ones stand on their axis, 4000 units out, with a far plane
// that reaches as far past the origin.
struct ProducerCamera {
    const char* mName;
    double mPosition[3];
    double mUp[3];
    bool mOrthographic;
};

constexpr double kAxisDistance = 4000.0;
constexpr double kOrthographicFarPlane = 2.0 * kAxisDistance;

const ProducerCamera kProducerCameras[KFbxGlobalCameraSettings::ePRODUCER_CAMERA_COUNT] = {
    {"Producer Perspective", {400.0, 300.0, 400.0}, {0.0, 1.0, 0.0}, false},
    {"Producer Top", {0.0, kAxisDistance, 0.0}, {0.0, 0.0, -1.0}, true},
    {"Producer Bottom", {0.0, -kAxisDistance, 0.0}, {0.0, 0.0, 1.0}, true},
    {"Producer Front", {0.0, 0.0, kAxisDistance}, {0.0, 1.0, 0.0}, true},
    {"Producer Back", {0.0, 0.0, -kAxisDistance}, {0.0, 1.0, 0.0}, true},
    {"Producer Right", {kAxisDistance, 0.0, 0.0}, {0.0, 1.0, 0.0}, true},
    {"Producer Left", {-kAxisDistance, 0.0, 0.0}, {0.0, 1.0, 0.0}, true},
};

void PlaceProducerCamera(KFbxCamera& camera, const ProducerCamera& spec) {
    camera.Reset();
    camera.SetPosition(KFbxVector4(spec.mPosition[0], spec.mPosition[1], spec.mPosition[2], 1.0));
    camera.SetUpVector(KFbxVector4(spec.mUp[0], spec.mUp[1], spec.mUp[2], 1.0));
    camera.SetLookAt(KFbxVector4(0.0, 0.0, 0.0, 1.0));
    if (spec.mOrthographic) {
        camera.SetProjectionType(KFbxCamera::eORTHOGONAL);
        camera.SetFarPlane(kOrthographicFarPlane);
    }
}

bool ProducerCameraClassesReady(const KFbxSdkManager* manager) {
    return manager != nullptr && KFbxNode::ClassId != KFbxClassId() && KFbxCamera::ClassId != KFbxClassId();
}

}  // namespace

KFbxGlobalCameraSettings::KFbxGlobalCameraSettings(KFbxSdkManager* manager, KFbxScene* scene)
    : mManager(manager), mScene(scene) {
    RestoreDefaultSettings();
}

KFbxGlobalCameraSettings::~KFbxGlobalCameraSettings() { DestroyProducerCameras(); }

void KFbxGlobalCameraSettings::RestoreDefaultSettings() {
    mDefaultCamera = kProducerCameras[ePRODUCER_PERSPECTIVE].mName;
    mDefaultViewingMode = eSTANDARD;
    // Cameras still to be made come with their defaults. A background colour
    // set meanwhile stays, as it does on cameras already made.
    if (!mProducerCamerasPending) {
        PlaceProducerCameras();
    }
}

void KFbxGlobalCameraSettings::MakeProducerCameras() const {
    if (!mProducerCamerasPending || !ProducerCameraClassesReady(mManager)) {
        return;
    }
    mProducerCamerasPending = false;
    auto* settings = const_cast<KFbxGlobalCameraSettings*>(this);
    settings->PlaceProducerCameras();
    if (mHasPendingBackground) {
        settings->mHasPendingBackground = false;
        settings->SetProducerCamerasBackgroundColor(mPendingBackground);
    }
}

void KFbxGlobalCameraSettings::SetProducerCamerasBackgroundColor(const double rgb[3]) {
    if (mProducerCamerasPending) {
        std::copy(rgb, rgb + 3, mPendingBackground);
        mHasPendingBackground = true;
        return;
    }
    for (int which = 0; which < ePRODUCER_CAMERA_COUNT; ++which) {
        if (KFbxCamera* camera = GetProducerCamera(which)) {
            camera->SetDefaultBackgroundColor(rgb);
        }
    }
}

void KFbxGlobalCameraSettings::PlaceProducerCameras() {
    CreateProducerCameras();
    for (int which = 0; which < ePRODUCER_CAMERA_COUNT; ++which) {
        KFbxNode* node = mProducerNodes[which];
        if (node == nullptr) {
            continue;
        }
        node->SetName(kProducerCameras[which].mName);
        node->SetLclRotation(KFbxVector4(0.0, 0.0, 0.0, 1.0));
        node->SetLclScaling(KFbxVector4(1.0, 1.0, 1.0, 1.0));
        if (KFbxCamera* camera = GetProducerCamera(which)) {
            PlaceProducerCamera(*camera, kProducerCameras[which]);
        }
    }
}

void KFbxGlobalCameraSettings::CreateProducerCameras() {
    // Made by the classes' own create functions, not through the manager:
    // the settings own them, and the manager must not destroy them first.
    if (!ProducerCameraClassesReady(mManager)) {
        return;
    }
    for (int which = 0; which < ePRODUCER_CAMERA_COUNT; ++which) {
        if (mProducerNodes[which] != nullptr && GetProducerCamera(which) != nullptr) {
            continue;
        }
        const char* name = kProducerCameras[which].mName;
        if (mProducerNodes[which] == nullptr) {
            mProducerNodes[which] = static_cast<KFbxNode*>(KFbxNode::CreateFn(mManager, name));
            // Every node link and deformer refuses it from now on, and only
            // the settings destroy it.
            if (mProducerNodes[which] != nullptr) {
                mProducerNodes[which]->SetSceneRoles(KFbxNode::eSceneProducerCamera);
            }
        }
        KFbxNode* node = mProducerNodes[which];
        if (node == nullptr) {
            continue;
        }
        auto* camera = static_cast<KFbxCamera*>(KFbxCamera::CreateFn(mManager, name));
        if (camera == nullptr) {
            continue;
        }
        node->SetNodeAttribute(camera);
        if (node->GetNodeAttribute() != camera) {
            camera->Destroy();
        }
    }
}

void KFbxGlobalCameraSettings::DestroyProducerCameras() {
    for (KFbxNode*& node : mProducerNodes) {
        if (node != nullptr) {
            // The node takes its camera with it.
            node->SetSceneRoles(0);
            node->Destroy();
            node = nullptr;
        }
    }
}

KFbxNode* KFbxGlobalCameraSettings::GetProducerCameraNode(int which) const {
    if (which < 0 || which >= ePRODUCER_CAMERA_COUNT) {
        return nullptr;
    }
    MakeProducerCameras();
    return mProducerNodes[which];
}

KFbxCamera* KFbxGlobalCameraSettings::GetProducerCamera(int which) const {
    const KFbxNode* node = GetProducerCameraNode(which);
    KFbxNodeAttribute* attribute = node != nullptr ? node->GetNodeAttribute() : nullptr;
    return attribute != nullptr && attribute->Is(KFbxCamera::ClassId) ? static_cast<KFbxCamera*>(attribute) : nullptr;
}

bool KFbxGlobalCameraSettings::HoldsProducerCamera(const KFbxNode* node) const {
    return node != nullptr && std::find(std::begin(mProducerNodes), std::end(mProducerNodes), node) !=
                                  std::end(mProducerNodes);
}

const char* KFbxGlobalCameraSettings::GetProducerCameraName(int which) {
    return which >= 0 && which < ePRODUCER_CAMERA_COUNT ? kProducerCameras[which].mName : nullptr;
}

}  // namespace fbxsdk_2006_11_1
