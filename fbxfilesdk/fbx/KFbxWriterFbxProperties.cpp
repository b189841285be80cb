// What a "Model" record of an FBX 5 file says of the node's channels and
// properties: which channels carry animation, the user properties, the
// default take's channels and the property block.
#include <fbxfilesdk/fbx/KFbxWriterFbx.h>

#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/fbx/FieldAsciiSyntax.h>
#include <fbxfilesdk/fbx/FieldFormat.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

// One row of the animated-property lists: the internal name and the channel.
using AnimatedRow = std::pair<KString, KString>;

bool IsAnimatedXyz(KFbxNode& node, const char* channel) {
    return node.IsChannelAnimated(nullptr, channel, "X") || node.IsChannelAnimated(nullptr, channel, "Y") ||
           node.IsChannelAnimated(nullptr, channel, "Z");
}

// The rows of the node's attribute channels that keys move in a take.
void AddAttributeRows(KFbxNode& node, std::vector<AnimatedRow>& rows) {
    const KFbxNodeAttribute* attribute = node.GetNodeAttribute();
    if (attribute == nullptr) {
        return;
    }
    auto addIf = [&rows](bool animated, const char* property, const char* channel) {
        if (animated) rows.emplace_back(property, channel);
    };
    auto animated = [&node](const char* channel) { return node.IsChannelAnimated(nullptr, nullptr, channel); };
    switch (attribute->GetAttributeType()) {
        case KFbxNodeAttribute::eLIGHT:
            addIf(IsAnimatedXyz(node, "Color"), "mLightColor", "Color");
            addIf(animated("Intensity"), "mIntensity", "Intensity");
            addIf(animated("Cone angle"), "mConeAngle", "Cone angle");
            addIf(animated("Fog"), "mFog", "Fog");
            break;
        case KFbxNodeAttribute::eCAMERA_SWITCHER:
            addIf(animated("Camera Index"), "mCameraIndexProperty", "Camera Index");
            break;
        case KFbxNodeAttribute::eCAMERA:
            addIf(animated("Roll"), "mRollProperty", "Roll");
            addIf(animated("FieldOfView"), "mApertureProperty", "FieldOfView");
            addIf(animated("FieldOfViewX"), "mFieldOfViewXProperty", "FieldOfViewX");
            addIf(animated("FieldOfViewY"), "mFieldOfViewYProperty", "FieldOfViewY");
            addIf(animated("OpticalCenterX"), "mOpticalCenterXProperty", "OpticalCenterX");
            addIf(animated("OpticalCenterY"), "mOpticalCenterYProperty", "OpticalCenterY");
            addIf(animated("TurnTable"), "mTurnTableProperty", "TurnTable");
            addIf(IsAnimatedXyz(node, "BackgroundColor"), "mBackColorProperty", "BackgroundColor");
            break;
        case KFbxNodeAttribute::eMARKER: {
            const auto* marker = dynamic_cast<const KFbxMarker*>(attribute);
            const int type = marker != nullptr ? marker->GetType() : -1;
            if (type == KFbxMarker::eOPTICAL) {
                addIf(node.IsChannelAnimatedByIndex(nullptr, nullptr, gKDataTypeOcclusion), "Occlusion", "Occlusion");
            } else if (type == KFbxMarker::eIK_EFFECTOR) {
                addIf(node.IsChannelAnimatedByIndex(nullptr, nullptr, gKDataTypeIKReachTranslation),
                      "IK Reach Translation", "IK Reach Translation");
                addIf(node.IsChannelAnimatedByIndex(nullptr, nullptr, gKDataTypeIKReachRotation),
                      "IK Reach Rotation", "IK Reach Rotation");
            }
            break;
        }
        default:
            break;
    }
}

std::vector<KFbxProperty> UserProperties(const KFbxNode& node) {
    std::vector<KFbxProperty> properties;
    for (int i = 0; i < node.GetPropertyCount(); ++i) {
        const KFbxProperty property = node.GetPropertyAt(i);
        if (property.IsValid() && property.GetFlag(KFbxProperty::kUser)) {
            properties.push_back(property);
        }
    }
    return properties;
}

bool IsFieldName(const char* name) {
    const std::size_t length = name != nullptr ? std::strlen(name) : 0;
    if (length == 0 || length > static_cast<std::size_t>(kMaxNameLength)) {
        return false;
    }
    return std::all_of(name, name + length, IsAsciiWordChar);
}

void WriteDoubleField(KFbx& file, const char* name, double value) { WriteDoublesRecord(file, name, &value, 1); }

}  // namespace

void KFbxWriterFbx::WriteAnimatedProperties(KFbxNode& node) {
    std::vector<AnimatedRow> rows = {{"mTranslationProperty", "Lcl Translation"},
                                     {"mRotationProperty", "Lcl Rotation"},
                                     {"mScalingProperty", "Lcl Scaling"}};
    if (node.IsChannelAnimatedByIndex(nullptr, nullptr, gKDataTypeVisibility)) {
        rows.emplace_back("mVisibilityProperty", "Visibility");
    }
    AddAttributeRows(node, rows);
    const std::vector<KFbxProperty> userProperties = UserProperties(node);
    for (const KFbxProperty& property : userProperties) {
        const KString name = StripPropertyTypeSuffix(property.GetName());
        rows.emplace_back(name, name);
    }

    KFbx& file = *mFbx;
    file.FieldWriteBegin("AnimatedProperty");
    for (const AnimatedRow& row : rows) {
        file.FieldWriteS(row.first);
    }
    file.FieldWriteEnd();
    file.FieldWriteBegin("Animated");
    for (const AnimatedRow& row : rows) {
        file.FieldWriteS(row.second);
    }
    file.FieldWriteEnd();

    for (const KFbxProperty& property : userProperties) {
        file.FieldWriteBegin("UserProperty");
        file.FieldWriteBlockBegin();
        file.WriteStringField("Name", StripPropertyTypeSuffix(property.GetName()).Buffer());
        const char* typeName = property.GetPropertyDataType().GetName();
        file.WriteStringField("Type", typeName != nullptr ? typeName : "");
        file.WriteStringField("Label", property.GetLabel());
        const double min = property.GetMinLimit();
        const double max = property.GetMaxLimit();
        if (!(std::isinf(min) && min < 0.0)) {
            WriteDoubleField(file, "Min", min);
        }
        if (!(std::isinf(max) && max > 0.0)) {
            WriteDoubleField(file, "Max", max);
        }
        CloseFieldBlock(file);
    }
}

void KFbxWriterFbx::WriteDefaultChannels(KFbxNode& node) {
    // A node without a default take has no default values to give.
    const KFbxTakeNode* defaultTake = node.GetDefaultTakeNode();
    const KFCurveNode* root = defaultTake != nullptr ? defaultTake->GetKFCurveNode() : nullptr;
    if (root == nullptr) {
        return;
    }
    const bool fbx5 = mFbx->IsFbx5Compatible();
    for (int i = 0; i < root->GetCount(); ++i) {
        if (const KFCurveNode* channel = root->Get(i)) {
            channel->FbxStore(mFbx, true, true, true, "Channel", true, fbx5);
        }
    }
}

void KFbxWriterFbx::WriteNodeProperties(KFbxNode& node) {
    if (mFbx->IsFbx5Compatible()) {
        return;
    }
    node.UpdatePropertiesFromPivotsAndLimits();
    WriteObjectProperties(node);
}

void KFbxWriterFbx::WriteObjectProperties(KFbxNode& node) {
    KFbx& file = *mFbx;
    file.FieldWriteBegin("Properties");
    file.FieldWriteBlockBegin();
    WriteIntRecord(file, "Version", 100);
    const KFbxObject* attribute = node.GetSrcObject(KFbxNodeAttribute::ClassId, 0);
    for (const KFbxObject* object : {static_cast<const KFbxObject*>(&node), attribute}) {
        for (int i = 0; object != nullptr && i < object->GetPropertyCount(); ++i) {
            const KFbxProperty property = object->GetPropertyAt(i);
            // Animated values travel with the channels; a name that cannot
            // name a field would end the file's writing, so it is left out.
            if (!property.IsValid() || property.GetFlag(KFbxProperty::kAnimatable) ||
                !IsFieldName(property.GetName())) {
                continue;
            }
            file.FieldWriteBegin(property.GetName());
            WritePropertyValue(file, property);
            file.FieldWriteEnd();
        }
    }
    CloseFieldBlock(file);
}

}  // namespace fbxsdk_2006_11_1
