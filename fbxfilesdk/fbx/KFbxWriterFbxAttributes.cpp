// What a node is, written as fields of its own "Model" record: the attribute
// of every kind but the geometries, and the look-at and up-vector targets.
#include <fbxfilesdk/fbx/KFbxWriterFbx.h>

#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/fbx/RotationVectors.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>

#include <initializer_list>

namespace fbxsdk_2006_11_1 {

namespace {

void WriteDoubles(KFbx& file, const char* name, std::initializer_list<double> values) {
    file.FieldWriteBegin(name);
    for (double value : values) {
        file.FieldWriteD(value);
    }
    file.FieldWriteEnd();
}

void WriteXyz(KFbx& file, const char* name, const KFbxVector4& vector) {
    WriteDoubles(file, name, {vector[0], vector[1], vector[2]});
}

void WriteRgb(KFbx& file, const char* name, const KFbxColor& color) {
    WriteDoubles(file, name, {color.mRed, color.mGreen, color.mBlue});
}

void WriteFlag(KFbx& file, const char* name, bool flag) { WriteIntRecord(file, name, flag ? 1 : 0); }

void WriteStrings(KFbx& file, const char* name, std::initializer_list<const char*> values) {
    file.FieldWriteBegin(name);
    for (const char* value : values) {
        file.FieldWriteS(value);
    }
    file.FieldWriteEnd();
}

// The "Properties" block of nulls, markers and skeletons, from its version
// on; body writes the fields after "Version".
template <class Body>
void WritePropertiesBlock(KFbx& file, Body body) {
    file.FieldWriteBegin("Properties");
    file.FieldWriteBlockBegin();
    WriteIntRecord(file, "Version", 100);
    body();
    CloseFieldBlock(file);
}

// A camera's format and aperture format as their words; "Custom" for a
// format without one.
const char* WordOr(const char* word, const char* fallback) {
    return word != nullptr && word[0] != '\0' ? word : fallback;
}

}  // namespace

void KFbxWriterFbx::WriteNodeAttribute(KFbxNode& node) {
    KFbxNodeAttribute* attribute = node.GetNodeAttribute();
    if (attribute == nullptr) {
        WriteNullAttribute(nullptr);
        return;
    }
    const bool modelOn = IsOptionOn("MODEL");
    // The classes are asked for, not assumed from the type code: an
    // attribute of another class that claims the type writes nothing.
    switch (attribute->GetAttributeType()) {
        case KFbxNodeAttribute::eNULL:
            WriteNullAttribute(dynamic_cast<KFbxNull*>(attribute));
            break;
        case KFbxNodeAttribute::eMARKER:
            WriteMarkerAttribute(node);
            break;
        case KFbxNodeAttribute::eSKELETON:
            if (const auto* skeleton = dynamic_cast<KFbxSkeleton*>(attribute)) WriteSkeletonAttribute(*skeleton);
            break;
        case KFbxNodeAttribute::eMESH:
        case KFbxNodeAttribute::eNURB:
        case KFbxNodeAttribute::ePATCH:
            if (!modelOn) {
                WriteNullAttribute(nullptr);
            } else if (auto* mesh = dynamic_cast<KFbxMesh*>(attribute)) {
                WriteMesh(*mesh);
            } else if (auto* nurb = dynamic_cast<KFbxNurb*>(attribute)) {
                WriteNurb(*nurb);
            } else if (auto* patch = dynamic_cast<KFbxPatch*>(attribute)) {
                WritePatch(*patch);
            }
            break;
        case KFbxNodeAttribute::eCAMERA:
            if (const auto* camera = dynamic_cast<KFbxCamera*>(attribute)) WriteCameraAttribute(*camera, false);
            break;
        case KFbxNodeAttribute::eCAMERA_SWITCHER:
            if (const auto* switcher = dynamic_cast<KFbxCameraSwitcher*>(attribute)) {
                WriteCameraSwitcherAttribute(*switcher);
            }
            break;
        case KFbxNodeAttribute::eLIGHT:
            if (const auto* light = dynamic_cast<KFbxLight*>(attribute)) WriteLightAttribute(*light);
            break;
        case KFbxNodeAttribute::eOPTICAL_REFERENCE:
            WriteOpticalReferenceAttribute();
            break;
        default:
            // Kinds an FBX 5 file has no fields for: with "MODEL" off the
            // node still says what a reader makes of it.
            if (!modelOn) {
                WriteNullAttribute(nullptr);
            }
            break;
    }
}

bool KFbxWriterFbx::WriteNullAttribute(const KFbxNull* null) {
    mFbx->WriteStringField("Type", "Null");
    mFbx->WriteStringField("TypeFlags", "Null");
    WritePropertiesBlock(*mFbx, [&] { WriteDoubles(*mFbx, "Size", {null != nullptr ? null->GetSize() : 100.0}); });
    return true;
}

bool KFbxWriterFbx::WriteMarkerAttribute(KFbxNode& node) {
    const auto* marker = dynamic_cast<const KFbxMarker*>(node.GetMarker());
    if (marker == nullptr) {
        return false;
    }
    KFbx& file = *mFbx;
    static const char* const kTypeWords[] = {"Marker", "OpticalMarker", "IKEffector", "FKEffector"};
    const int type = marker->GetType();
    if (type >= 0 && type < 4) {
        file.WriteStringField("Type", kTypeWords[type]);
    }
    file.WriteStringField("TypeFlags", "Marker");
    const KFbxColor color = marker->GetColor();
    WritePropertiesBlock(file, [&] {
        WriteIntRecord(file, "Look", marker->GetLook());
        WriteDoubles(file, "Size", {marker->GetSize()});
        WriteRgb(file, "Color", color);
        WriteFlag(file, "ShowLabel", marker->GetShowLabel());
    });
    if (type == KFbxMarker::eIK_EFFECTOR) {
        // An animated reach travels with the takes; only a still one here.
        if (!node.IsChannelAnimatedByIndex(nullptr, nullptr, gKDataTypeIKReachTranslation)) {
            WriteDoubles(file, "IKReachTranslation", {marker->GetDefaultIKReachTranslation()});
        }
        if (!node.IsChannelAnimatedByIndex(nullptr, nullptr, gKDataTypeIKReachRotation)) {
            WriteDoubles(file, "IKReachRotation", {marker->GetDefaultIKReachRotation()});
        }
    }
    file.FieldWriteBegin("Channel");
    file.FieldWriteS("Color");
    file.FieldWriteBlockBegin();
    const double components[3] = {color.mRed, color.mGreen, color.mBlue};
    const char* const axes[3] = {"X", "Y", "Z"};
    for (int axis = 0; axis < 3; ++axis) {
        file.FieldWriteBegin("Channel");
        file.FieldWriteS(axes[axis]);
        file.FieldWriteBlockBegin();
        WriteDoubles(file, "Default", {components[axis]});
        CloseFieldBlock(file);
    }
    CloseFieldBlock(file);
    return true;
}

bool KFbxWriterFbx::WriteOpticalReferenceAttribute() {
    mFbx->WriteStringField("Type", "Optical");
    mFbx->WriteStringField("TypeFlags", "Marker");
    return true;
}

bool KFbxWriterFbx::WriteSkeletonAttribute(const KFbxSkeleton& skeleton) {
    switch (skeleton.GetSkeletonType()) {
        case KFbxSkeleton::eROOT:
        case KFbxSkeleton::eEFFECTOR:
            return WriteSkeletonRoot(skeleton);
        case KFbxSkeleton::eLIMB:
            return WriteSkeletonLimb(skeleton);
        case KFbxSkeleton::eLIMB_NODE:
            return WriteSkeletonLimbNode(skeleton);
        default:
            return false;
    }
}

bool KFbxWriterFbx::WriteSkeletonRoot(const KFbxSkeleton& skeleton) {
    mFbx->WriteStringField("Type", "Root");
    WriteStrings(*mFbx, "TypeFlags", {"Null", "Skeleton", "Root"});
    WritePropertiesBlock(*mFbx, [&] { WriteDoubles(*mFbx, "Size", {skeleton.GetSize()}); });
    return true;
}

bool KFbxWriterFbx::WriteSkeletonLimb(const KFbxSkeleton& skeleton) {
    mFbx->WriteStringField("Type", "Limb");
    mFbx->WriteStringField("TypeFlags", "Skeleton");
    WriteDoubles(*mFbx, "LimbLength", {skeleton.GetLimbLength()});
    WritePropertiesBlock(*mFbx, [&] {
        WriteDoubles(*mFbx, "Size", {skeleton.GetSize()});
        WriteRgb(*mFbx, "Color", skeleton.GetLimbNodeColor());
    });
    return true;
}

bool KFbxWriterFbx::WriteSkeletonLimbNode(const KFbxSkeleton& skeleton) {
    mFbx->WriteStringField("Type", "LimbNode");
    mFbx->WriteStringField("TypeFlags", "Skeleton");
    WritePropertiesBlock(*mFbx, [&] {
        WriteDoubles(*mFbx, "Size", {skeleton.GetSize()});
        WriteRgb(*mFbx, "Color", skeleton.GetLimbNodeColor());
    });
    return true;
}

bool KFbxWriterFbx::WriteLightAttribute(const KFbxLight& light) {
    KFbx& file = *mFbx;
    file.WriteStringField("Type", "Light");
    file.WriteStringField("TypeFlags", "Light");
    WriteIntRecord(file, "GeometryVersion", 123);
    WriteIntRecord(file, "LightTypeVersion", 202);
    WriteIntRecord(file, "LightType", light.GetLightType());
    WriteFlag(file, "CastLight", light.GetCastLightOnObject());
    double color[3];
    light.GetDefaultColor(color);
    WriteDoubles(file, "Color", {color[0], color[1], color[2]});
    WriteDoubles(file, "Intensity", {light.GetDefaultIntensity()});
    WriteDoubles(file, "ConeAngle", {light.GetDefaultConeAngle()});
    WriteDoubles(file, "Fog", {light.GetDefaultFog()});
    return true;
}

bool KFbxWriterFbx::WriteCameraSwitcherAttribute(const KFbxCameraSwitcher& switcher) {
    KFbx& file = *mFbx;
    file.WriteStringField("AnimationMode", "Global");
    WriteIntRecord(file, "Version", 100);
    file.WriteStringField("Name", "Camera Switcher");
    WriteIntRecord(file, "CameraId", switcher.GetDefaultCameraIndex());
    // A number, not a name: readers expect the constant.
    WriteIntRecord(file, "CameraName", 100);
    return true;
}

bool KFbxWriterFbx::WriteCameraAttribute(const KFbxCamera& camera, bool producer) {
    const KFbxNode* node = camera.GetNode();
    if (node == nullptr) {
        return false;
    }
    KFbx& file = *mFbx;
    if (!producer) {
        file.WriteStringField("Type", "Camera");
    }
    file.WriteStringField("TypeFlags", "Camera");
    WriteIntRecord(file, "Version", 220);
    file.WriteStringField("Name", node->GetNameWithTypePrefix().Buffer());
    WriteXyz(file, "Position", camera.GetPosition());
    WriteXyz(file, "Up", camera.GetUpVector());
    WriteXyz(file, "LookAt", camera.GetLookAt());
    WriteDoubles(file, "Roll", {camera.GetDefaultRoll()});
    WriteDoubles(file, "TurnTable", {camera.GetDefaultTurnTable()});
    // The second "Type" of the record: the projection, a number.
    WriteIntRecord(file, "Type", camera.GetProjectionType());
    file.WriteStringField("FormatName", WordOr(KFbxCamera::GetFormatName(camera.GetFormat()), "Custom"));
    WriteIntRecord(file, "AspectType", camera.GetAspectRatioMode());
    WriteDoubles(file, "AspectW", {camera.GetAspectWidth()});
    WriteDoubles(file, "AspectH", {camera.GetAspectHeight()});
    WriteDoubles(file, "PixelRatio", {camera.GetPixelRatio()});
    WriteDoubles(file, "NearPlane", {camera.GetNearPlane()});
    WriteDoubles(file, "FarPlane", {camera.GetFarPlane()});
    WriteFlag(file, "CameraLock", camera.GetLockMode());
    file.WriteStringField("ApertureFormat",
                          WordOr(KFbxCamera::GetApertureFormatName(camera.GetApertureFormat()), "Custom"));
    WriteIntRecord(file, "ApertureMode", camera.GetApertureMode());
    WriteDoubles(file, "CameraAperture", {camera.GetApertureWidth(), camera.GetApertureHeight()});
    WriteDoubles(file, "SqueezeRatio", {camera.GetSqueezeRatio()});
    WriteDoubles(file, "FocalLength", {camera.GetDefaultFocalLength()});
    WriteDoubles(file, "Aperture", {camera.GetDefaultFieldOfView()});
    WriteDoubles(file, "FieldOfViewXProperty", {camera.GetDefaultFieldOfViewX()});
    WriteDoubles(file, "FieldOfViewYProperty", {camera.GetDefaultFieldOfViewY()});
    WriteDoubles(file, "OpticalCenterXProperty", {camera.GetDefaultOpticalCenterX()});
    WriteDoubles(file, "OpticalCenterYProperty", {camera.GetDefaultOpticalCenterY()});
    const char* media = GetBackgroundMediaName(camera);
    if (media != nullptr && media[0] != '\0') {
        file.WriteStringField("Media", media);
    }
    WriteIntRecord(file, "ViewFrustumPlane", camera.GetViewFrustumBackPlaneMode());
    WriteIntRecord(file, "BackgroundMode", camera.GetBackgroundMode());
    WriteFlag(file, "ForegroundTransparent", camera.GetForegroundTransparent());
    WriteDoubles(file, "BackgroundTreshold", {camera.GetBackgroundAlphaTreshold()});
    WriteIntRecord(file, "DisplayMode", camera.GetBackgroundPlacementOptions());
    WriteDoubles(file, "ViewFrustumPlaneDistance", {camera.GetBackPlaneDistance()});
    WriteIntRecord(file, "ViewFrustumPlaneDistanceMode", camera.GetBackPlaneDistanceMode());
    WriteFlag(file, "ViewLookAt", camera.GetViewCameraToLookAt());
    WriteFlag(file, "ViewFrustum", camera.GetViewFrustumNearFarPlane());
    WriteFlag(file, "ShowGrid", camera.GetShowGrid());
    WriteFlag(file, "ShowAzimut", camera.GetShowAzimut());
    WriteFlag(file, "ShowName", camera.GetShowName());
    WriteFlag(file, "ShowInfoOnMoving", camera.GetShowInfoOnMoving());
    WriteFlag(file, "ShowTimeCode", camera.GetShowTimeCode());
    WriteFlag(file, "DisplaySafeArea", camera.GetDisplaySafeArea());
    WriteIntRecord(file, "SafeAreaStyle", camera.GetSafeAreaStyle());
    WriteFlag(file, "DisplaySafeAreaOnRender", camera.GetDisplaySafeAreaOnRender());
    WriteFlag(file, "ShowAudio", camera.GetShowAudio());
    WriteRgb(file, "BackGroundColor", camera.GetDefaultBackgroundColor());
    WriteRgb(file, "AudioColor", camera.GetAudioColor());
    WriteFlag(file, "UseFrameColor", camera.GetUseFrameColor());
    WriteRgb(file, "FrameColor", camera.GetFrameColor());

    file.FieldWriteBegin("CameraAndLens");
    file.FieldWriteBlockBegin();
    file.FieldWriteBegin("DepthOfField");
    file.FieldWriteI(camera.GetUseDepthOfField() ? 1 : 0);
    file.FieldWriteI(camera.GetFocusDistanceSource());
    file.FieldWriteD(camera.GetFocusAngle());
    file.FieldWriteD(camera.GetFocusDistance());
    file.FieldWriteEnd();
    file.FieldWriteBegin("Antialiasing");
    file.FieldWriteI(camera.GetUseAntialiasing() ? 1 : 0);
    file.FieldWriteI(camera.GetAntialiasingMethod());
    file.FieldWriteD(camera.GetAntialiasingIntensity());
    file.FieldWriteEnd();
    file.FieldWriteBegin("OverSampling");
    file.FieldWriteI(camera.GetFrameSamplingCount());
    file.FieldWriteI(camera.GetFrameSamplingType());
    file.FieldWriteI(camera.GetUseAccumulationBuffer() ? 1 : 0);
    file.FieldWriteEnd();
    WriteIntRecord(file, "UseOverSamplingTime", camera.GetRenderOptionsUsageTime());
    CloseFieldBlock(file);
    return true;
}

void KFbxWriterFbx::WriteLookAtAndUpVector(KFbxNode& node) {
    static const double kZero[3] = {0.0, 0.0, 0.0};
    if (const KFbxNode* target = node.GetTarget()) {
        mFbx->WriteStringField("LookAtModel", target->GetNameWithTypePrefix().Buffer());
        const KFbxVector4 post = node.GetPostTargetRotation();
        const KFbxVector4 up = node.GetUpTargetRotation();
        const double postAngles[3] = {post[0], post[1], post[2]};
        const double upAngles[3] = {up[0], up[1], up[2]};
        if (RotationVectorsDiffer(postAngles, kZero, 1e-6)) {
            WriteXyz(*mFbx, "PostTargetRotation", post);
        }
        if (RotationVectorsDiffer(upAngles, kZero, 1e-6)) {
            WriteXyz(*mFbx, "UpTargetRotation", up);
        }
    }
    if (const KFbxNode* up = node.GetTargetUp()) {
        mFbx->WriteStringField("UpVectorModel", up->GetNameWithTypePrefix().Buffer());
    }
}

}  // namespace fbxsdk_2006_11_1
