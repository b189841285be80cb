// The "Model" records of FBX 5 files: the node, its attribute told by its
// fields, the body every model has and the default take's channels.
#include <fbxfilesdk/fbx/KFbxReaderFbxPass.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxOpticalReference.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

using namespace fbx6read;

namespace {

// Three doubles of the field; false (the vector kept) when it is missing or short.
bool ReadXyz(KFbx& file, const char* name, KFbxVector4& out) {
    std::vector<double> values;
    if (!ReadDoubles(file, name, values) || values.size() < 3) {
        return false;
    }
    out = KFbxVector4(values[0], values[1], values[2], out[3]);
    return true;
}

bool ReadRgb(KFbx& file, const char* name, KFbxColor& out) {
    std::vector<double> values;
    if (!ReadDoubles(file, name, values) || values.size() < 3) {
        return false;
    }
    out = KFbxColor(values[0], values[1], values[2], out.mAlpha);
    return true;
}

bool ReadFlag(KFbx& file, const char* name, bool fallback) { return file.FieldReadIDefault(name, fallback ? 1 : 0) != 0; }

// The text of the first "Type" field when it holds one; a camera's second
// "Type" (and a producer camera's only one) is a number.
KString ReadTypeWord(KFbx& file) {
    KString word;
    if (file.FieldReadBegin("Type")) {
        if (file.FieldGetRemainingValueCount() > 0 && file.FieldGetValueType() == 'S') {
            word = file.FieldReadS();
        }
        file.FieldReadEnd();
    }
    return word;
}

// The camera's format of the word; "Custom" for a word of none.
template <class Enum>
Enum FormatOfName(const KString& word, const char* (*nameOf)(int), int count) {
    for (int format = 0; format < count; ++format) {
        const char* name = nameOf(format);
        if (name != nullptr && word == name) {
            return static_cast<Enum>(format);
        }
    }
    return static_cast<Enum>(0);
}

}  // namespace

void KFbxReaderFbxPass::ReadModelRecord(const KString& prefixedName) {
    const KString name = WithoutPrefix(prefixedName);
    KFbxNode* node = KFbxNode::Create(&mManager, name.Buffer());
    if (node == nullptr) {
        return;
    }
    KFbxObject* attribute = CreateModelAttribute();
    if (auto* nodeAttribute = dynamic_cast<KFbxNodeAttribute*>(attribute)) {
        node->SetNodeAttribute(nodeAttribute);
    }
    mCreatedNodes.push_back(node);
    mNodes.push_back(node);
    Remember(prefixedName, node);
    mScene.ConnectObject(node);
    node->SetOldFile(mFile.FieldReadIDefault("Version", 232) < 232);
    ReadModelFlags(*node);
    ReadModelBody(*node);
    ReadAttributeContents(attribute);
    if (auto* geometry = dynamic_cast<KFbxGeometry*>(attribute); geometry != nullptr && Option("MODEL")) {
        ReadGeometryRecords(*node, *geometry);
    }
    ReadDefaultChannels(*node);
    if (mFile.FieldReadBegin("Children")) {
        mChildren.push_back({node, RestS(mFile)});
        mFile.FieldReadEnd();
    }
}

KFbxObject* KFbxReaderFbxPass::CreateModelAttribute() {
    std::vector<KString> typeFlags;
    if (mFile.FieldReadBegin("TypeFlags")) {
        typeFlags = RestS(mFile);
        mFile.FieldReadEnd();
    }
    KString type = ReadTypeWord(mFile);
    if (type.GetLen() == 0) {
        // Meshes and switchers have no type word: their fields tell them.
        if (mFile.FieldReadExists("AnimationMode")) {
            type = "CameraSwitcher";
        } else if (mFile.FieldReadExists("GeometryVersion") || mFile.FieldReadExists("Vertices")) {
            type = "Mesh";
        } else {
            return nullptr;
        }
    }
    if (type == "Optical") {
        return KFbxOpticalReference::Create(&mManager, "");
    }
    return CreateAttribute(type, typeFlags, "");
}

void KFbxReaderFbxPass::ReadModelBody(KFbxNode& node) {
    if (mFile.FieldReadBegin("Limits")) {
        if (mFile.FieldReadBlockBegin()) {
            ReadLimits(node);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
    ReadTargets(node);
    ReadUserProperties(node);
}

void KFbxReaderFbxPass::ReadLimits(KFbxNode& node) {
    KFbxLimits& limits = node.GetLimits();
    struct Kind {
        const char* mName;
        KFbxLimits::ELimitKind mKind;
    };
    static const Kind kKinds[3] = {
        {"T", KFbxLimits::eTranslation}, {"R", KFbxLimits::eRotation}, {"S", KFbxLimits::eScaling}};
    static const char* const kAxes[3] = {"X", "Y", "Z"};
    bool limited = false;
    for (const Kind& kind : kKinds) {
        const std::string prefix(kind.mName);
        if (mFile.FieldReadIDefault((prefix + "Auto").c_str(), 1) != 0) {
            continue;
        }
        limited = true;
        // The file says only whether any axis is limited: all are, then.
        const bool enabled = mFile.FieldReadIDefault((prefix + "Enable").c_str(), 0) != 0;
        switch (kind.mKind) {
            case KFbxLimits::eTranslation: limits.SetTranslationActive(true); break;
            case KFbxLimits::eRotation: limits.SetRotationActive(true); break;
            default: limits.SetScalingActive(true); break;
        }
        limits.SetLimitMinActive(enabled, enabled, enabled, kind.mKind);
        limits.SetLimitMaxActive(enabled, enabled, enabled, kind.mKind);
        // An absent component is 0.
        KFbxVector4 min(0.0, 0.0, 0.0, 0.0);
        KFbxVector4 max(0.0, 0.0, 0.0, 0.0);
        for (int axis = 0; axis < 3; ++axis) {
            min[axis] = ReadD(mFile, (prefix + kAxes[axis] + "Min").c_str(), 0.0);
            max[axis] = ReadD(mFile, (prefix + kAxes[axis] + "Max").c_str(), 0.0);
        }
        limits.SetLimitMin(min, kind.mKind);
        limits.SetLimitMax(max, kind.mKind);
    }
    limits.SetRotationType(mFile.FieldReadIDefault("RType", 1));
    limits.SetRotationClampType(mFile.FieldReadIDefault("RClampType", 0));
    KFbxVector4 axis(0.0, 0.0, 0.0, 0.0);
    for (int a = 0; a < 3; ++a) {
        axis[a] = ReadD(mFile, (std::string("R") + kAxes[a] + "Axis").c_str(), 0.0);
    }
    limits.SetRotationAxis(axis);
    // The axis length is the node's. A writer leaves out a length of 1 where
    // the rotation is limited; where it is not, a file says nothing of it.
    std::vector<double> axisLength;
    double length = 1.0;
    const bool given = ReadDoubles(mFile, "AxisLen", axisLength) && !axisLength.empty();
    if (given) {
        length = axisLength[0];
    }
    // Asked for only when written: the handle makes all of a node's properties.
    if (given || limits.GetRotationActive()) {
        KFbxProperty& property = node.GetNodeProperty(eAxisLen);
        if (property.IsValid()) {
            property.Set(&length, eFbxValueDouble);
        }
    }
    // The properties follow, so that the read's last step, which takes the
    // limits from the properties, keeps these.
    if (limited) {
        node.UpdatePropertiesFromPivotsAndLimits();
    }
}

void KFbxReaderFbxPass::ReadTargets(KFbxNode& node) {
    PendingTargets pending;
    pending.mNode = &node;
    pending.mLookAt = mFile.FieldReadSDefault("LookAtModel", "");
    pending.mUp = mFile.FieldReadSDefault("UpVectorModel", "");
    KFbxVector4 rotation(0.0, 0.0, 0.0, 0.0);
    if (ReadXyz(mFile, "PostTargetRotation", rotation)) {
        node.SetPostTargetRotation(rotation);
    }
    rotation = KFbxVector4(0.0, 0.0, 0.0, 0.0);
    if (ReadXyz(mFile, "UpTargetRotation", rotation)) {
        node.SetUpTargetRotation(rotation);
    }
    if (pending.mLookAt.GetLen() > 0 || pending.mUp.GetLen() > 0) {
        mTargets.push_back(pending);
    }
}

void KFbxReaderFbxPass::ReadUserProperties(KFbxNode& node) {
    while (mFile.FieldReadBegin("UserProperty")) {
        if (mFile.FieldReadBlockBegin()) {
            const KString name = mFile.FieldReadSDefault("Name", "");
            const KString typeName = mFile.FieldReadSDefault("Type", "");
            const KString label = mFile.FieldReadSDefault("Label", "");
            const KFbxDataType dataType = KFbxGetDataTypeByName(typeName.Buffer());
            if (name.GetLen() > 0 && dataType != KFbxDataType() && !node.FindProperty(name.Buffer()).IsValid()) {
                KFbxProperty property = KFbxProperty::Create(&node, name.Buffer(), dataType, label.Buffer());
                if (property.IsValid()) {
                    property.ModifyFlag(KFbxProperty::kUser, true);
                    // The value comes with the default take's channel.
                    property.ModifyFlag(KFbxProperty::kAnimatable, true);
                    std::vector<double> bound;
                    if (ReadDoubles(mFile, "Min", bound) && !bound.empty()) {
                        property.SetMinLimit(bound[0]);
                    }
                    if (ReadDoubles(mFile, "Max", bound) && !bound.empty()) {
                        property.SetMaxLimit(bound[0]);
                    }
                    node.PropertyAddToTakeNodes(property);
                }
            }
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

void KFbxReaderFbxPass::ReadAttributeContents(KFbxObject* attribute) {
    std::vector<double> values;
    if (auto* null = dynamic_cast<KFbxNull*>(attribute)) {
        if (mFile.FieldReadBegin("Properties") && mFile.FieldReadBlockBegin()) {
            null->SetSize(ReadD(mFile, "Size", null->GetSize()));
            mFile.FieldReadBlockEnd();
            mFile.FieldReadEnd();
        }
    } else if (auto* marker = dynamic_cast<KFbxMarker*>(attribute)) {
        if (mFile.FieldReadBegin("Properties") && mFile.FieldReadBlockBegin()) {
            marker->SetLook(mFile.FieldReadIDefault("Look", marker->GetLook()));
            marker->SetSize(ReadD(mFile, "Size", marker->GetSize()));
            KFbxColor color = marker->GetColor();
            if (ReadRgb(mFile, "Color", color)) {
                marker->SetColor(color);
            }
            marker->SetShowLabel(ReadFlag(mFile, "ShowLabel", marker->GetShowLabel()));
            mFile.FieldReadBlockEnd();
            mFile.FieldReadEnd();
        }
        marker->SetDefaultIKReachTranslation(
            ReadD(mFile, "IKReachTranslation", marker->GetDefaultIKReachTranslation()));
        marker->SetDefaultIKReachRotation(ReadD(mFile, "IKReachRotation", marker->GetDefaultIKReachRotation()));
    } else if (auto* skeleton = dynamic_cast<KFbxSkeleton*>(attribute)) {
        skeleton->SetLimbLength(ReadD(mFile, "LimbLength", skeleton->GetLimbLength()));
        if (mFile.FieldReadBegin("Properties") && mFile.FieldReadBlockBegin()) {
            skeleton->SetSize(ReadD(mFile, "Size", skeleton->GetSize()));
            KFbxColor color = skeleton->GetLimbNodeColor();
            if (ReadRgb(mFile, "Color", color)) {
                skeleton->SetLimbNodeColor(color);
            }
            mFile.FieldReadBlockEnd();
            mFile.FieldReadEnd();
        }
    } else if (auto* light = dynamic_cast<KFbxLight*>(attribute)) {
        light->SetLightType(mFile.FieldReadIDefault("LightType", light->GetLightType()));
        light->SetCastLightOnObject(ReadFlag(mFile, "CastLight", light->GetCastLightOnObject()));
        if (ReadDoubles(mFile, "Color", values) && values.size() >= 3) {
            light->SetDefaultColor(values.data());
        }
        light->SetDefaultIntensity(ReadD(mFile, "Intensity", light->GetDefaultIntensity()));
        light->SetDefaultConeAngle(ReadD(mFile, "ConeAngle", light->GetDefaultConeAngle()));
        light->SetDefaultFog(ReadD(mFile, "Fog", light->GetDefaultFog()));
    } else if (auto* camera = dynamic_cast<KFbxCamera*>(attribute)) {
        ReadCameraFields(*camera);
    } else if (auto* switcher = dynamic_cast<KFbxCameraSwitcher*>(attribute)) {
        if (mFile.FieldReadBegin("CameraIndexName")) {
            for (const KString& cameraName : RestS(mFile)) {
                switcher->AddCameraName(cameraName.Buffer());
            }
            mFile.FieldReadEnd();
        }
        switcher->SetDefaultCameraIndex(mFile.FieldReadIDefault("CameraId", switcher->GetDefaultCameraIndex()));
    } else if (auto* mesh = dynamic_cast<KFbxMesh*>(attribute)) {
        if (Option("MODEL")) {
            ReadMeshFields(*mesh);
        }
    } else if (attribute != nullptr && Option("MODEL")) {
        ReadParametricAttribute(*attribute);
    }
}

void KFbxReaderFbxPass::ReadCameraFields(KFbxCamera& camera) {
    KFbx& file = mFile;
    KFbxVector4 vector = camera.GetPosition();
    if (ReadXyz(file, "Position", vector)) {
        camera.SetPosition(vector);
    }
    vector = camera.GetUpVector();
    if (ReadXyz(file, "Up", vector)) {
        camera.SetUpVector(vector);
    }
    vector = camera.GetLookAt();
    if (ReadXyz(file, "LookAt", vector)) {
        camera.SetLookAt(vector);
    }
    camera.SetDefaultRoll(ReadD(file, "Roll", camera.GetDefaultRoll()));
    camera.SetDefaultTurnTable(ReadD(file, "TurnTable", camera.GetDefaultTurnTable()));
    // The projection is the numeric "Type"; a model's word came first.
    while (file.FieldReadBegin("Type")) {
        if (file.FieldGetRemainingValueCount() > 0 && file.FieldGetValueType() != 'S') {
            camera.SetProjectionType(static_cast<KFbxCamera::ECameraProjectionType>(file.FieldReadI() != 0 ? 1 : 0));
        }
        file.FieldReadEnd();
    }
    if (file.FieldReadBegin("FormatName")) {
        camera.SetFormat(FormatOfName<KFbxCamera::ECameraFormat>(NextS(file), &KFbxCamera::GetFormatName, 64));
        file.FieldReadEnd();
    }
    const int aspectType = file.FieldReadIDefault("AspectType", camera.GetAspectRatioMode());
    const double aspectWidth = ReadD(file, "AspectW", camera.GetAspectWidth());
    const double aspectHeight = ReadD(file, "AspectH", camera.GetAspectHeight());
    const KFbxCamera::ECameraFormat format = camera.GetFormat();
    camera.SetAspect(EnumOf(aspectType, KFbxCamera::eFIXED_HEIGHT, camera.GetAspectRatioMode()), aspectWidth,
                     aspectHeight);
    // Setting the aspect makes the format custom: a named one is set again.
    if (format != KFbxCamera::eCUSTOM_FORMAT) {
        camera.SetFormat(format);
    }
    camera.SetPixelRatio(ReadD(file, "PixelRatio", camera.GetPixelRatio()));
    camera.SetNearPlane(ReadD(file, "NearPlane", camera.GetNearPlane()));
    camera.SetFarPlane(ReadD(file, "FarPlane", camera.GetFarPlane()));
    camera.SetLockMode(ReadFlag(file, "CameraLock", camera.GetLockMode()));
    if (file.FieldReadBegin("ApertureFormat")) {
        camera.SetApertureFormat(FormatOfName<KFbxCamera::ECameraApertureFormat>(
            NextS(file), &KFbxCamera::GetApertureFormatName, 64));
        file.FieldReadEnd();
    }
    camera.SetApertureMode(
        EnumOf(file.FieldReadIDefault("ApertureMode", -1), KFbxCamera::eVERTICAL, camera.GetApertureMode()));
    std::vector<double> values;
    if (ReadDoubles(file, "CameraAperture", values) && values.size() >= 2) {
        camera.SetApertureWidth(values[0]);
        camera.SetApertureHeight(values[1]);
    }
    camera.SetSqueezeRatio(ReadD(file, "SqueezeRatio", camera.GetSqueezeRatio()));
    camera.SetDefaultFocalLength(ReadD(file, "FocalLength", camera.GetDefaultFocalLength()));
    camera.SetDefaultFieldOfView(ReadD(file, "Aperture", camera.GetDefaultFieldOfView()));
    camera.SetDefaultFieldOfViewX(ReadD(file, "FieldOfViewXProperty", camera.GetDefaultFieldOfViewX()));
    camera.SetDefaultFieldOfViewY(ReadD(file, "FieldOfViewYProperty", camera.GetDefaultFieldOfViewY()));
    camera.SetDefaultOpticalCenterX(ReadD(file, "OpticalCenterXProperty", camera.GetDefaultOpticalCenterX()));
    camera.SetDefaultOpticalCenterY(ReadD(file, "OpticalCenterYProperty", camera.GetDefaultOpticalCenterY()));
    const KString media = file.FieldReadSDefault("Media", "");
    if (media.GetLen() > 0) {
        camera.SetBackgroundMediaName(media.Buffer());
        const auto found = mMedia.find(std::string(media.Buffer()));
        if (found != mMedia.end()) {
            camera.SetBackgroundFileName(found->second.mFileName.Buffer());
        }
    }
    camera.SetViewFrustumBackPlaneMode(EnumOf(file.FieldReadIDefault("ViewFrustumPlane", -1), KFbxCamera::eWHEN_MEDIA,
                                              camera.GetViewFrustumBackPlaneMode()));
    camera.SetBackgroundMode(EnumOf(file.FieldReadIDefault("BackgroundMode", -1),
                                    KFbxCamera::eBACKGROUND_AND_FOREGROUND, camera.GetBackgroundMode()));
    camera.SetForegroundTransparent(ReadFlag(file, "ForegroundTransparent", camera.GetForegroundTransparent()));
    camera.SetBackgroundAlphaTreshold(ReadD(file, "BackgroundTreshold", camera.GetBackgroundAlphaTreshold()));
    camera.SetBackgroundPlacementOptions(file.FieldReadIDefault("DisplayMode", camera.GetBackgroundPlacementOptions()));
    camera.SetBackPlaneDistance(ReadD(file, "ViewFrustumPlaneDistance", camera.GetBackPlaneDistance()));
    camera.SetBackPlaneDistanceMode(EnumOf(file.FieldReadIDefault("ViewFrustumPlaneDistanceMode", -1),
                                           KFbxCamera::eRELATIVE_TO_CAMERA, camera.GetBackPlaneDistanceMode()));
    camera.SetViewCameraToLookAt(ReadFlag(file, "ViewLookAt", camera.GetViewCameraToLookAt()));
    camera.SetViewFrustumNearFarPlane(ReadFlag(file, "ViewFrustum", camera.GetViewFrustumNearFarPlane()));
    camera.SetShowGrid(ReadFlag(file, "ShowGrid", camera.GetShowGrid()));
    camera.SetShowAzimut(ReadFlag(file, "ShowAzimut", camera.GetShowAzimut()));
    camera.SetShowName(ReadFlag(file, "ShowName", camera.GetShowName()));
    camera.SetShowInfoOnMoving(ReadFlag(file, "ShowInfoOnMoving", camera.GetShowInfoOnMoving()));
    camera.SetShowTimeCode(ReadFlag(file, "ShowTimeCode", camera.GetShowTimeCode()));
    camera.SetDisplaySafeArea(ReadFlag(file, "DisplaySafeArea", camera.GetDisplaySafeArea()));
    camera.SetSafeAreaStyle(
        EnumOf(file.FieldReadIDefault("SafeAreaStyle", -1), KFbxCamera::eSQUARE, camera.GetSafeAreaStyle()));
    camera.SetDisplaySafeAreaOnRender(ReadFlag(file, "DisplaySafeAreaOnRender", camera.GetDisplaySafeAreaOnRender()));
    camera.SetShowAudio(ReadFlag(file, "ShowAudio", camera.GetShowAudio()));
    if (ReadDoubles(file, "BackGroundColor", values) && values.size() >= 3) {
        camera.SetDefaultBackgroundColor(values.data());
    }
    KFbxColor color = camera.GetAudioColor();
    if (ReadRgb(file, "AudioColor", color)) {
        camera.SetAudioColor(color);
    }
    camera.SetUseFrameColor(ReadFlag(file, "UseFrameColor", camera.GetUseFrameColor()));
    color = camera.GetFrameColor();
    if (ReadRgb(file, "FrameColor", color)) {
        camera.SetFrameColor(color);
    }
    if (file.FieldReadBegin("CameraAndLens")) {
        if (file.FieldReadBlockBegin()) {
            if (file.FieldReadBegin("DepthOfField")) {
                camera.SetUseDepthOfField(NextI(file, camera.GetUseDepthOfField() ? 1 : 0) != 0);
                camera.SetFocusDistanceSource(
                    EnumOf(NextI(file, -1), KFbxCamera::eSPECIFIC_DISTANCE, camera.GetFocusDistanceSource()));
                camera.SetFocusAngle(NextD(file, camera.GetFocusAngle()));
                camera.SetFocusDistance(NextD(file, camera.GetFocusDistance()));
                file.FieldReadEnd();
            }
            if (file.FieldReadBegin("Antialiasing")) {
                camera.SetUseAntialiasing(NextI(file, camera.GetUseAntialiasing() ? 1 : 0) != 0);
                camera.SetAntialiasingMethod(NextI(file, camera.GetAntialiasingMethod()));
                camera.SetAntialiasingIntensity(NextD(file, camera.GetAntialiasingIntensity()));
                file.FieldReadEnd();
            }
            if (file.FieldReadBegin("OverSampling")) {
                camera.SetFrameSamplingCount(NextI(file, camera.GetFrameSamplingCount()));
                camera.SetFrameSamplingType(NextI(file, camera.GetFrameSamplingType()));
                camera.SetUseAccumulationBuffer(NextI(file, camera.GetUseAccumulationBuffer() ? 1 : 0) != 0);
                file.FieldReadEnd();
            }
            camera.SetRenderOptionsUsageTime(file.FieldReadIDefault("UseOverSamplingTime", camera.GetRenderOptionsUsageTime()));
            file.FieldReadBlockEnd();
        }
        file.FieldReadEnd();
    }
}

void KFbxReaderFbxPass::ReadDefaultChannels(KFbxNode& node) {
    // A model without channels leaves its default take, and the properties
    // it is made from, to be made when first reached, as a model of the
    // newer files does.
    if (!mFile.FieldReadExists("Channel")) {
        return;
    }
    KFbxTakeNode* takeNode = node.GetDefaultTakeNode();
    KFCurveNode* root = takeNode != nullptr ? takeNode->GetKFCurveNode() : nullptr;
    if (root == nullptr) {
        return;
    }
    while (KFCurveNode::FbxRetrieve(&mFile, root, true, true, false) != nullptr) {
    }
    // The default take's curves are tied to the node's properties, which
    // take the values read. Setting one component writes the whole value
    // back into the curves, so every value is taken before any is set.
    std::vector<std::pair<KFbxPropertyLink*, double>> values;
    for (int i = 0; i < node.GetPropertyLinkCount(); ++i) {
        KFbxPropertyLink* link = node.GetPropertyLink(i);
        if (link != nullptr && link->mCurve != nullptr) {
            values.emplace_back(link, link->mCurve->GetValue());
        }
    }
    for (const auto& [link, value] : values) {
        SetPropertyComponent(link->mProperty, link->mComponent, value);
    }
}

}  // namespace fbxsdk_2006_11_1
