#include <fbxfilesdk/scene/KFbxMarker.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kLookNames[] = {"Cube", "Hard Cross", "Light Cross", "Sphere"};
constexpr int kLookCount = 4;

constexpr const char* kOcclusion = "Occlusion";
constexpr const char* kIKReachTranslation = "IK Reach Translation";
constexpr const char* kIKReachRotation = "IK Reach Rotation";
constexpr double kDefaultSize = 100.0;

struct ChannelSpec {
    const char* mName;
    int mLayerType;
};

constexpr ChannelSpec kOpticalChannels[] = {{kOcclusion, 0}};
constexpr ChannelSpec kIKChannels[] = {{kIKReachTranslation, 1}, {kIKReachRotation, 1}};

// The channels a type brings to its node's takes.
std::pair<const ChannelSpec*, int> ChannelsOf(KFbxMarker::EType type) {
    switch (type) {
    case KFbxMarker::eOPTICAL:
        return {kOpticalChannels, 1};
    case KFbxMarker::eIK_EFFECTOR:
        return {kIKChannels, 2};
    default:
        return {nullptr, 0};
    }
}

void AddChannel(KFCurveNode& root, const ChannelSpec& spec) {
    KFCurveNode* channel = KFCurveNode::Create(spec.mName, KDataType::Find(spec.mName), spec.mLayerType, 0);
    if (channel == nullptr) {
        return;
    }
    if (KFCurve* curve = KFCurve::Create()) {
        static constexpr float kChannelColour[3] = {0.75f, 0.0f, 0.0f};
        curve->SetValue(0.0f);
        curve->SetColor(kChannelColour);
        channel->FCurveSet(curve, true);
    }
    root.Add(channel);
}

}  // namespace


KFbxMarker::KFbxMarker(KFbxSdkManager* manager, const char* name) : KFbxNodeAttribute(manager, name) {
    InitEnumProperty(Look, "Look", KInternedText::InternedForever<kLookNames>(), kLookCount, eCUBE);
    Size.InitOnObject(this, "Size", gKFbxDataTypeNumber, "");
    ShowLabel.InitOnObject(this, "ShowLabel", gKFbxDataTypeBool, "");
    IKPivot.InitOnObject(this, "IKPivot", gKFbxDataTypeVector, "");
    Reset();
}

KFbxMarker* KFbxMarker::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxMarker>(manager, ClassId, name);
}

KFbxPlug* KFbxMarker::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxMarker>(manager, name);
}

KFbxClassId KFbxMarker::GetClassId() const { return ClassId; }

const char* KFbxMarker::GetTypeName() const {
    switch (mType) {
    case eOPTICAL:
        return "OpticalMarker";
    case eIK_EFFECTOR:
        return "IKEffector";
    case eFK_EFFECTOR:
        return "FKEffector";
    default:
        return "Marker";
    }
}

void KFbxMarker::GetTypeFlags(KStringList& flags) const {
    flags.Clear();
    flags.Add(KString("Marker"));
}

KFbxNodeAttribute* KFbxMarker::Clone(int mode) const {
    return KFbxCloneByCopy(*this, mode, "");
}

void KFbxMarker::FillTakeNodeTemplate(KFbxTakeNode& takeNode) {
    KFbxNodeAttribute::FillTakeNodeTemplate(takeNode);
    KFCurveNode* root = takeNode.GetKFCurveNode();
    if (root == nullptr) {
        return;
    }
    const auto [channels, count] = ChannelsOf(mType);
    for (int index = 0; index < count; ++index) {
        // A channel the take already has (from an earlier attachment) stays.
        if (root->FindChildByDataType(KDataType::Find(channels[index].mName)) == nullptr) {
            AddChannel(*root, channels[index]);
        }
    }
}

void KFbxMarker::ClearTakeNodeTemplate(KFbxTakeNode& takeNode) {
    if (KFCurveNode* root = takeNode.GetKFCurveNode()) {
        const auto [channels, count] = ChannelsOf(mType);
        for (int index = 0; index < count; ++index) {
            if (KFCurveNode* channel = root->FindChildByDataType(KDataType::Find(channels[index].mName))) {
                root->DeleteChild(channel);
            }
        }
    }
    KFbxNodeAttribute::ClearTakeNodeTemplate(takeNode);
}

void KFbxMarker::SetType(EType type) {
    if (type == mType) {
        return;
    }
    // Every node that carries the marker trades the old type's channels for
    // the new type's.
    const int carriers = GetDstObjectCount(KFbxNode::ClassId);
    for (int index = 0; index < carriers; ++index) {
        ClearChannelsOf(*static_cast<KFbxNode*>(GetDstObject(KFbxNode::ClassId, index)));
    }
    mType = type;
    for (int index = 0; index < carriers; ++index) {
        FillChannelsOf(*static_cast<KFbxNode*>(GetDstObject(KFbxNode::ClassId, index)));
    }
}

void KFbxMarker::SetLook(int look) { SetEnumValue(Look, look); }

int KFbxMarker::GetLook() const { return GetEnumValue(Look); }

const char* KFbxMarker::GetLookName(int look) { return EnumText(kLookNames, kLookCount, look); }

void KFbxMarker::SetIKPivot(const KFbxVector4& pivot) {
    const fbxDouble3 value(pivot[0], pivot[1], pivot[2]);
    IKPivot.Set(&value, eFbxValueDouble3);
}

KFbxVector4 KFbxMarker::GetIKPivot() const {
    const fbxDouble3 value = IKPivot.GetDouble3();
    return KFbxVector4(value[0], value[1], value[2], 1.0);
}

void KFbxMarker::SetColor(const KFbxColor& color) {
    const fbxDouble3 value(color.mRed, color.mGreen, color.mBlue);
    Color.Set(&value, eFbxValueDouble3);
}

KFbxColor KFbxMarker::GetColor() const {
    const fbxDouble3 value = Color.GetDouble3();
    return KFbxColor(value[0], value[1], value[2], 1.0);
}

double KFbxMarker::GetIKReach(const char* channel) const {
    const KFCurve* curve = mType == eIK_EFFECTOR ? GetDefaultTakeCurve(channel) : nullptr;
    return curve != nullptr ? curve->GetValue() : 0.0;
}

void KFbxMarker::SetIKReach(const char* channel, double reach) {
    KFCurve* curve = mType == eIK_EFFECTOR ? GetDefaultTakeCurve(channel) : nullptr;
    if (curve != nullptr) {
        curve->SetValue(static_cast<float>(reach));
    }
}

double KFbxMarker::GetDefaultIKReachTranslation() const { return GetIKReach(kIKReachTranslation); }

double KFbxMarker::GetDefaultIKReachRotation() const { return GetIKReach(kIKReachRotation); }

void KFbxMarker::SetDefaultIKReachTranslation(double reach) { SetIKReach(kIKReachTranslation, reach); }

void KFbxMarker::SetDefaultIKReachRotation(double reach) { SetIKReach(kIKReachRotation, reach); }

void KFbxMarker::Reset() {
    mType = eSTANDARD;
    SetLook(eCUBE);
    SetSize(kDefaultSize);
    SetColor(KFbxColor(1.0, 0.0, 0.0, 1.0));
    SetShowLabel(false);
    SetIKPivot(KFbxVector4(0.0, 0.0, 0.0, 1.0));
}

void KFbxMarker::CopyFrom(const KFbxMarker& other) {
    mType = other.mType;
    SetLook(other.GetLook());
    SetSize(other.GetSize());
    SetColor(other.GetColor());
    SetShowLabel(other.GetShowLabel());
}

}  // namespace fbxsdk_2006_11_1
