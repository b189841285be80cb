#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr const char* kCameraIndexChannel = "Camera Index";
constexpr int kCameraIndexAtCreation = 100;
constexpr float kCameraIndexInTemplate = 1.0f;
// Animatable, with channels.
constexpr std::uint32_t kCameraIndexFlags = 1u | 8u;

}  // namespace


KFbxCameraSwitcher::KFbxCameraSwitcher(KFbxSdkManager* manager, const char* name) : KFbxNodeAttribute(manager, name) {
    CameraIndex.InitOnObject(this, kCameraIndexChannel, gKFbxDataTypeInteger, "");
    CameraIndex.Set(kCameraIndexAtCreation);
    CameraIndex.ModifyFlag(kCameraIndexFlags, true);
}

KFbxCameraSwitcher::~KFbxCameraSwitcher() = default;

KFbxCameraSwitcher* KFbxCameraSwitcher::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxCameraSwitcher>(manager, ClassId, name);
}

KFbxPlug* KFbxCameraSwitcher::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxCameraSwitcher>(manager, name);
}

KFbxClassId KFbxCameraSwitcher::GetClassId() const { return ClassId; }

KFbxNodeAttribute* KFbxCameraSwitcher::Clone(int mode) const {
    if (mode != 2) {
        return nullptr;
    }
    KFbxCameraSwitcher* copy = Create(GetSdkManager(), "");
    if (copy != nullptr) {
        copy->mCameraNames = mCameraNames;
    }
    return copy;
}

void KFbxCameraSwitcher::FillTakeNodeTemplate(KFbxTakeNode& takeNode) {
    KFbxNodeAttribute::FillTakeNodeTemplate(takeNode);
    FillCameraIndex(takeNode);
}

void KFbxCameraSwitcher::FillCameraIndex(KFbxTakeNode& takeNode) {
    KFCurveNode* root = takeNode.GetKFCurveNode();
    KFCurveNode* channel = root != nullptr ? root->FindOrCreate(kCameraIndexChannel, true) : nullptr;
    if (channel != nullptr && channel->FCurveGet() != nullptr) {
        channel->FCurveGet()->SetValue(kCameraIndexInTemplate);
    }
}

void KFbxCameraSwitcher::ClearTakeNodeTemplate(KFbxTakeNode& takeNode) {
    ClearCameraIndex(takeNode);
    KFbxNodeAttribute::ClearTakeNodeTemplate(takeNode);
}

void KFbxCameraSwitcher::ClearCameraIndex(KFbxTakeNode& takeNode) {
    if (KFCurveNode* root = takeNode.GetKFCurveNode()) {
        if (KFCurveNode* channel = root->FindChildForChannel(kCameraIndexChannel)) {
            root->DeleteChild(channel);
        }
    }
}

int KFbxCameraSwitcher::GetDefaultCameraIndex() const {
    const KFCurve* curve = GetDefaultTakeCurve(kCameraIndexChannel);
    return curve != nullptr ? static_cast<int>(curve->GetValue()) : 0;
}

void KFbxCameraSwitcher::SetDefaultCameraIndex(int index) {
    if (KFCurve* curve = GetDefaultTakeCurve(kCameraIndexChannel)) {
        curve->SetValue(static_cast<float>(index));
    }
}

void KFbxCameraSwitcher::AddCameraName(const char* name) { mCameraNames.emplace_back(name != nullptr ? name : ""); }

const char* KFbxCameraSwitcher::GetCameraName(int index) const {
    if (index < 0 || index >= GetCameraNameCount()) {
        return nullptr;
    }
    return mCameraNames[static_cast<std::size_t>(index)].Buffer();
}

}  // namespace fbxsdk_2006_11_1
