// The channels every take of a node starts with, and the copy of one node's
// settings into another.
#include <fbxfilesdk/scene/KFbxNode.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kComponentNames[3] = {"X", "Y", "Z"};
const float kComponentColors[3][3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
const float kVisibilityColor[3] = {0.75f, 0.0f, 0.0f};

bool IsTransformProperty(const char* name) {
    return std::strcmp(name, "Lcl Translation") == 0 || std::strcmp(name, "Lcl Rotation") == 0 ||
           std::strcmp(name, "Lcl Scaling") == 0 || std::strcmp(name, "Visibility") == 0;
}

}  // namespace

void KFbxNode::FillTakeNodeTemplate(KFbxTakeNode& takeNode) {
    KFCurveNode* root = takeNode.GetKFCurveNode();
    if (root == nullptr) {
        return;
    }
    const bool linked = std::strcmp(takeNode.GetName(), "Default") == 0;
    KFCurveNode* transform = KFCurveNode::Create("Transform", nullptr, KFCL_PLAIN, 0);
    if (transform == nullptr) {
        return;
    }
    // Each channel has the layer type of its kind, the one a reader gives a
    // stored channel back: a channel made here is written and read alike.
    const struct {
        ENodeProperty mProperty;
        const char* mChannel;
        KDataType* mDataType;
        int mLayerType;
    } kChannels[] = {{eLclTranslation, "T", gKDataTypeLclTranslation, KFCL_TRANSLATION},
                     {eLclRotation, "R", gKDataTypeLclRotation, KFCL_EULER_ROTATION},
                     {eLclScaling, "S", gKDataTypeLclScaling, KFCL_SCALING}};
    // Only the default take links its curves: the others are filled from
    // the values alone, which properties not made yet hold too.
    for (const auto& entry : kChannels) {
        KFbxProperty* const property = linked ? &GetNodeProperty(entry.mProperty) : nullptr;
        KFbxVector4 value;
        GetDouble3(entry.mProperty, value);
        KFCurveNode* channel = KFCurveNode::Create(entry.mChannel, entry.mDataType, entry.mLayerType, 0);
        if (channel == nullptr) {
            continue;
        }
        for (int component = 0; component < 3; ++component) {
            KFCurveNode* child = channel->FindOrCreate(kComponentNames[component], true);
            KFCurve* curve = child != nullptr ? child->FCurveGet() : nullptr;
            if (curve == nullptr) {
                continue;
            }
            curve->SetValue(static_cast<float>(value[component]));
            curve->SetColor(kComponentColors[component]);
            if (property != nullptr && property->IsValid()) {
                AddPropertyLink(*property, component, curve);
            }
        }
        transform->Add(channel);
    }

    KFbxProperty* const visibilityProperty = linked ? &GetNodeProperty(eVisibility) : nullptr;
    double visibility = 1.0;
    if (!HasHandles()) {
        visibility = UnmadeOf(eVisibility)[0];
    } else if (mProperties[eVisibility].IsValid()) {
        mProperties[eVisibility].Get(&visibility, eFbxValueDouble);
    }
    KFCurveNode* visibilityChannel = KFCurveNode::Create("Visibility", gKDataTypeVisibility, KFCL_TRANSLATION, 0);
    if (visibilityChannel != nullptr) {
        KFCurve* curve = KFCurve::Create();
        if (curve != nullptr) {
            curve->SetValue(static_cast<float>(visibility));
            curve->SetColor(kVisibilityColor);
            visibilityChannel->FCurveSet(curve);
            if (visibilityProperty != nullptr && visibilityProperty->IsValid()) {
                AddPropertyLink(*visibilityProperty, 0, curve);
            }
        }
    }

    root->Add(transform);
    if (visibilityChannel != nullptr) {
        root->Add(visibilityChannel);
    }

    const int count = TemplatePropertyCount();
    for (int index = 0; index < count; ++index) {
        KFbxProperty property = GetPropertyAt(index);
        if (TemplatePropertyAnimatable(index) && !IsTransformProperty(property.GetName())) {
            CreateChannelForProperty(property, takeNode);
        }
    }
    // A deferred default take was asked for by the constructor, before any
    // attribute; an attribute attached since fills it when it is made.
    KFbxNodeAttribute* attribute = GetNodeAttribute();
    if (attribute != nullptr && !IsMakingDeferredDefaultTake()) {
        attribute->FillTakeNodeTemplate(takeNode);
    }
}

KFbxNode* KFbxNode::Clone(int mode) const {
    if (mode != 2) {
        return nullptr;
    }
    KFbxNode* copy = Create(GetSdkManager(), GetName());
    if (copy != nullptr) {
        copy->CopyFrom(*this);
    }
    return copy;
}

KFbxNode& KFbxNode::CopyFrom(const KFbxNode& other) {
    if (&other == this) {
        return *this;
    }
    SetTarget(other.GetTarget());
    mPostTargetRotation = other.mPostTargetRotation;
    mUpTargetRotation = other.mUpTargetRotation;

    KFbxNodeAttribute* oldDefault = SetNodeAttribute(nullptr);
    if (oldDefault != nullptr && oldDefault->GetDstObjectCount() == 0) {
        oldDefault->Destroy();
    }
    for (int index = 0; index < other.GetNodeAttributeCount(); ++index) {
        KFbxNodeAttribute* clone = other.GetNodeAttributeByIndex(index)->Clone(2);
        if (clone != nullptr && !AddNodeAttribute(clone)) {
            clone->Destroy();
        }
    }

    SetVisibility(other.GetVisibility());
    SetShading(other.GetShading());
    SetMultiLayer(other.GetMultiLayer());
    SetMultiTake(other.GetMultiTake());
    SetCulling(other.GetCulling());

    for (EPivotSet set : {eSOURCE_SET, eDESTINATION_SET}) {
        SetRotationOffset(set, other.GetRotationOffset(set));
        SetRotationPivot(set, other.GetRotationPivot(set));
        SetPreRotation(set, other.GetPreRotation(set));
        SetPostRotation(set, other.GetPostRotation(set));
        SetScalingPivot(set, other.GetScalingPivot(set));
        SetQuaternionInterpolate(set, other.GetQuaternionInterpolate(set));
    }

    ResetEvaluationCache();
    ForgetMatrixRecords();
    GetLimits() = other.GetLimits();
    KFbxTakeNodeContainer::CopyFrom(other);
    return *this;
}

}  // namespace fbxsdk_2006_11_1
