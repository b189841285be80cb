// The 3DS reader's keyframe animation: each keyframer track becomes TCB keys
// of the curves of the take "default take", or, when it has fewer than two
// keys or animation is off, the default value of its property.
#include <fbxfilesdk/formats/KFbxReader3DS.h>
#include <fbxfilesdk/formats/KFbxReader3DSMesh.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveFilterKeyReducer.h>
#include <fbxfilesdk/animation/KFCurveFilterUnroll.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxDouble3.h>
#include <fbxfilesdk/core/KFbxQuaternion.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kTakeName = "default take";
// Keyframer frames are 30 to the second.
constexpr std::int64_t kTicksPerFrame = KTime::kTicksPerSecond / 30;
static_assert(KTime::kTicksPerSecond % 30 == 0);
// Light multipliers are fractions; intensities are percentages.
constexpr double kIntensityPerMultiplier = 100.0;
constexpr double kDefaultConeAngle = 45.0;
constexpr double kDefaultFieldOfView = 45.0;
constexpr double kKeyReducerPrecision = 1.0;
constexpr double kUnrollPrecision = 0.25;
// Spline parameters present in a key header.
constexpr std::uint16_t kTension = 0x01;
constexpr std::uint16_t kContinuity = 0x02;
constexpr std::uint16_t kBias = 0x04;

// Curve values are floats; a length scaled past their range saturates
// instead of becoming undefined.
float CurveValue(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax) {
        return std::numeric_limits<float>::infinity();
    }
    if (value < -kMax) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

KTime FrameTime(std::uint32_t frame) { return KTime(static_cast<std::int64_t>(frame) * kTicksPerFrame); }

float Parameter(const keyheader3ds& key, std::uint16_t bit, float value) {
    return (key.splineflags & bit) != 0 ? value : 0.0f;
}

using reader3ds::Channel;

// The X, Y and Z curves of the first count transform channels of the take,
// in the order T, R, S: what the take node finds for each (below "Transform",
// the channel, then the axis), with every level searched once for all the
// names it is asked. A curve not found so is asked of the take node, which
// records that it is missing.
std::array<Channel, 3> TransformCurves(KFbxTakeNode& take, int count) {
    static const char* const kChannels[3] = {"T", "R", "S"};
    static const char* const kAxes[3] = {"X", "Y", "Z"};
    const KFCurveNode* root = take.GetKFCurveNode();
    const KFCurveNode* transform = root != nullptr ? root->Find("Transform") : nullptr;
    KFCurveNode* channels[3] = {nullptr, nullptr, nullptr};
    if (transform != nullptr) {
        transform->FindEach(kChannels, channels, count);
    }
    std::array<Channel, 3> result{Channel{}, Channel{}, Channel{}};
    for (int channel = 0; channel < count; ++channel) {
        KFCurveNode* axes[3] = {nullptr, nullptr, nullptr};
        if (channels[channel] != nullptr) {
            channels[channel]->FindEach(kAxes, axes, 3);
        }
        KFCurve* curves[3] = {nullptr, nullptr, nullptr};
        for (int axis = 0; axis < 3; ++axis) {
            curves[axis] = axes[axis] != nullptr ? axes[axis]->FCurveGet() : nullptr;
            if (curves[axis] == nullptr) {
                curves[axis] = take.GetKFCurve("Transform", kChannels[channel], kAxes[axis]);
            }
        }
        result[static_cast<std::size_t>(channel)] = Channel{curves[0], curves[1], curves[2]};
    }
    return result;
}

void SetDefaults(const Channel& curves, const double* values) {
    for (int index = 0; index < curves.mCount; ++index) {
        curves.mItems[index]->SetValue(CurveValue(values[index]));
    }
}

// The one key a property that does not move keeps at time 0.
void KeyAtStart(const Channel& curves, const double* values) {
    for (int index = 0; index < curves.mCount; ++index) {
        KFCurve* curve = curves.mItems[index];
        if (curve->KeyGetCount() == 0) {
            curve->KeySetTCB(0, KTime(0), CurveValue(values[index]));
        }
    }
}

// A 3DS position (x, y, z) in the scene's axes.
KFbxVector4 ScenePosition(const point3ds& point, double scale) {
    return KFbxVector4(point.x * scale, point.z * scale, -point.y * scale, 0.0);
}

// The rotation of a key, (angle about an axis) in the file's axes, as a
// quaternion in the scene's axes.
KFbxQuaternion KeyRotation(const rotkey3ds& key) {
    double axis[3] = {key.x, key.z, -key.y};
    KFbxNormalizeDouble3(axis, axis);
    const double half = -static_cast<double>(key.angle) * 0.5;
    const double sine = std::sin(half);
    return KFbxQuaternion(axis[0] * sine, axis[1] * sine, axis[2] * sine, std::cos(half));
}

KFbxVector4 EulerOf(const KFbxQuaternion& rotation) {
    KgeMatrix matrix;
    matrix.SetQ(rotation);
    return matrix.GetR();
}

// Each key's rotation is relative to the one before: the absolute rotations
// as Euler angles, three per key.
std::vector<double> AbsoluteRotations(const reader3ds::Track<rotkey3ds>& track) {
    std::vector<double> angles(static_cast<std::size_t>(track.mCount) * 3);
    KFbxQuaternion absolute;
    for (std::uint32_t key = 0; key < track.mCount; ++key) {
        const KFbxQuaternion relative = KeyRotation(track.mValues[key]);
        if (key == 0) {
            absolute = relative;
        } else {
            KgeQuaternionMult(absolute, relative, absolute);
            KgeQuaternionNormalize(absolute, absolute);
        }
        const KFbxVector4 euler = EulerOf(absolute);
        for (int axis = 0; axis < 3; ++axis) {
            angles[static_cast<std::size_t>(key) * 3 + static_cast<std::size_t>(axis)] = euler[axis];
        }
    }
    return angles;
}

}  // namespace

double KFbxReader3DS::LengthScale() const { return mFlags.mReferenceNode ? 1.0 : mScale; }

KFbxTakeNode* KFbxReader3DS::BeginTake(KFbxNode& node) {
    node.CreateTakeNode(kTakeName);
    if (!node.SetCurrentTakeNodeByName(kTakeName)) {
        return nullptr;
    }
    return node.GetCurrentTakeNode();
}

bool KFbxReader3DS::SetChannelKeys(const Channel& curves, const keyheader3ds* keys, std::uint32_t count,
                                   const double* values) {
    if (curves.mCount == 0) {
        return true;
    }
    const int stride = curves.mCount;
    for (int index = 0; index < curves.mCount; ++index) {
        KFCurve* curve = curves.mItems[index];
        curve->KeyModifyBegin();
        if (count > static_cast<std::uint32_t>(std::numeric_limits<int>::max()) ||
            !curve->KeyResize(static_cast<int>(count))) {
            curve->KeyModifyEnd();
            mError.SetErrorWithText(eOUT_OF_MEMORY, "Keys could not be stored");
            return false;
        }
        bool taken = false;
        std::uint32_t lastFrame = 0;
        for (std::uint32_t key = 0; key < count; ++key) {
            const keyheader3ds& header = keys[key];
            // Keys must move forward in time; one that does not leaves no key.
            if (taken && header.frame <= lastFrame) {
                continue;
            }
            taken = true;
            lastFrame = header.frame;
            curve->KeySetTCB(curve->KeyGetCount(), FrameTime(header.frame),
                             CurveValue(values[static_cast<std::size_t>(key) * stride + index]),
                             Parameter(header, kTension, header.tension),
                             Parameter(header, kContinuity, header.continuity), Parameter(header, kBias, header.bias));
        }
        curve->KeyModifyEnd();
    }
    ReduceKeys(curves);
    return true;
}

void KFbxReader3DS::ReduceKeys(const Channel& curves) {
    if (!mFlags.mFilter || curves.mCount == 0) {
        return;
    }
    KFCurveFilterKeyReducer reducer;
    reducer.SetPrecision(kKeyReducerPrecision);
    KFCurve* items[3] = {curves.mItems[0], curves.mItems[1], curves.mItems[2]};
    reducer.Apply(items, curves.mCount);
}

bool KFbxReader3DS::StaticTrack(std::uint32_t count) const { return count < 2 || !mFlags.mAnimation; }

bool KFbxReader3DS::ReadPositionKeys(KFbxNode* node, const reader3ds::Track<point3ds>& track,
                                     const point3ds& fallback, const Channel* found) {
    KFbxTakeNode* take = node != nullptr ? node->GetCurrentTakeNode() : nullptr;
    if (take == nullptr) {
        return true;
    }
    const Channel curves = found != nullptr ? *found : TransformCurves(*take, 1)[0];
    const double scale = LengthScale();
    if (StaticTrack(track.mCount)) {
        const KFbxVector4 position = ScenePosition(track.mCount > 0 ? track.mValues[0] : fallback, scale);
        SetDefaults(curves, position);
        node->SetLclTranslation(position);
        return true;
    }
    std::vector<double> values(static_cast<std::size_t>(track.mCount) * 3);
    for (std::uint32_t key = 0; key < track.mCount; ++key) {
        const KFbxVector4 position = ScenePosition(track.mValues[key], scale);
        for (int axis = 0; axis < 3; ++axis) {
            values[static_cast<std::size_t>(key) * 3 + static_cast<std::size_t>(axis)] = position[axis];
        }
    }
    return curves.Complete(3) ? SetChannelKeys(curves, track.mKeys, track.mCount, values.data()) : true;
}

bool KFbxReader3DS::ReadRotationKeys(KFbxNode* node, const reader3ds::Track<rotkey3ds>& track,
                                     const Channel& curves) {
    if (node == nullptr || node->GetCurrentTakeNode() == nullptr) {
        return true;
    }
    if (StaticTrack(track.mCount)) {
        const KFbxVector4 rotation =
            track.mCount > 0 ? EulerOf(KeyRotation(track.mValues[0])) : KFbxVector4(0.0, 0.0, 0.0, 0.0);
        SetDefaults(curves, rotation);
        node->SetLclRotation(rotation);
        return true;
    }
    if (!curves.Complete(3)) {
        return true;
    }
    const std::vector<double> values = AbsoluteRotations(track);
    if (!SetChannelKeys(curves, track.mKeys, track.mCount, values.data())) {
        return false;
    }
    KFCurveFilterUnroll unroll;
    unroll.SetUsePrecision(true);
    unroll.SetPrecision(kUnrollPrecision);
    KFCurve* items[3] = {curves.mItems[0], curves.mItems[1], curves.mItems[2]};
    unroll.Apply(items, 3);
    // The unrolled keys are reduced again.
    ReduceKeys(curves);
    return true;
}

bool KFbxReader3DS::ReadScaleKeys(KFbxNode* node, const reader3ds::Track<point3ds>& track, const Channel& curves) {
    if (node == nullptr || node->GetCurrentTakeNode() == nullptr) {
        return true;
    }
    // Scaling is a ratio along each axis: the axes swap, no sign changes.
    const auto scaling = [](const point3ds& value) { return KFbxVector4(value.x, value.z, value.y, 0.0); };
    if (StaticTrack(track.mCount)) {
        const KFbxVector4 value = track.mCount > 0 ? scaling(track.mValues[0]) : KFbxVector4(1.0, 1.0, 1.0, 0.0);
        SetDefaults(curves, value);
        node->SetLclScaling(value);
        return true;
    }
    std::vector<double> values(static_cast<std::size_t>(track.mCount) * 3);
    for (std::uint32_t key = 0; key < track.mCount; ++key) {
        const KFbxVector4 value = scaling(track.mValues[key]);
        for (int axis = 0; axis < 3; ++axis) {
            values[static_cast<std::size_t>(key) * 3 + static_cast<std::size_t>(axis)] = value[axis];
        }
    }
    return curves.Complete(3) ? SetChannelKeys(curves, track.mKeys, track.mCount, values.data()) : true;
}

bool KFbxReader3DS::ReadColorKeys(KFbxNode* node, const reader3ds::Track<point3ds>& track, const color3ds& fallback) {
    KFbxTakeNode* take = node != nullptr ? node->GetCurrentTakeNode() : nullptr;
    if (take == nullptr) {
        return true;
    }
    const Channel curves{take->GetColorR(), take->GetColorG(), take->GetColorB()};
    if (StaticTrack(track.mCount)) {
        const double rgb[3] = {track.mCount > 0 ? track.mValues[0].x : fallback.red,
                               track.mCount > 0 ? track.mValues[0].y : fallback.green,
                               track.mCount > 0 ? track.mValues[0].z : fallback.blue};
        if (auto* light = dynamic_cast<KFbxLight*>(node->GetLight())) {
            light->SetDefaultColor(rgb);
        } else if (auto* marker = dynamic_cast<KFbxMarker*>(node->GetMarker())) {
            marker->SetColor(KFbxColor(rgb[0], rgb[1], rgb[2], 1.0));
        } else {
            return true;
        }
        SetDefaults(curves, rgb);
        KeyAtStart(curves, rgb);
        return true;
    }
    std::vector<double> values(static_cast<std::size_t>(track.mCount) * 3);
    for (std::uint32_t key = 0; key < track.mCount; ++key) {
        const point3ds& color = track.mValues[key];
        values[static_cast<std::size_t>(key) * 3] = color.x;
        values[static_cast<std::size_t>(key) * 3 + 1] = color.y;
        values[static_cast<std::size_t>(key) * 3 + 2] = color.z;
    }
    return curves.Complete(3) ? SetChannelKeys(curves, track.mKeys, track.mCount, values.data()) : true;
}

bool KFbxReader3DS::ReadScalarKeys(KFbxNode* node, KFCurve* curve, const reader3ds::Track<float>& track,
                                   double fallback, void (*setDefault)(KFbxNodeAttribute&, double)) {
    KFbxNodeAttribute* attribute = node != nullptr ? node->GetNodeAttribute() : nullptr;
    const Channel curves{curve};
    if (attribute == nullptr) {
        return true;
    }
    if (StaticTrack(track.mCount)) {
        const double value = track.mCount > 0 ? track.mValues[0] : fallback;
        setDefault(*attribute, value);
        SetDefaults(curves, &value);
        KeyAtStart(curves, &value);
        return true;
    }
    std::vector<double> values(track.mValues, track.mValues + track.mCount);
    return SetChannelKeys(curves, track.mKeys, track.mCount, values.data());
}

bool KFbxReader3DS::ReadHotspotKeys(KFbxNode* node, const reader3ds::Track<float>& track, float fallback) {
    KFbxTakeNode* take = node != nullptr && node->GetLight() != nullptr ? node->GetCurrentTakeNode() : nullptr;
    if (take == nullptr) {
        return true;
    }
    return ReadScalarKeys(node, take->GetLightConeAngle(), track, fallback, [](KFbxNodeAttribute& light, double value) {
        static_cast<KFbxLight&>(light).SetDefaultConeAngle(CurveValue(value));
    });
}

bool KFbxReader3DS::ReadFovKeys(KFbxNode* node, const reader3ds::Track<float>& track, float fallback) {
    KFbxTakeNode* take = node != nullptr && node->GetCamera() != nullptr ? node->GetCurrentTakeNode() : nullptr;
    if (take == nullptr) {
        return true;
    }
    return ReadScalarKeys(node, take->GetCameraFieldOfView(), track, fallback,
                          [](KFbxNodeAttribute& camera, double value) {
                              static_cast<KFbxCamera&>(camera).SetDefaultFieldOfView(value);
                          });
}

bool KFbxReader3DS::ReadRollKeys(KFbxNode* node, const reader3ds::Track<float>& track, float fallback) {
    KFbxTakeNode* take = node != nullptr && node->GetCamera() != nullptr ? node->GetCurrentTakeNode() : nullptr;
    if (take == nullptr) {
        return true;
    }
    return ReadScalarKeys(node, take->GetCameraRoll(), track, fallback, [](KFbxNodeAttribute& camera, double value) {
        static_cast<KFbxCamera&>(camera).SetDefaultRoll(value);
    });
}

void KFbxReader3DS::SetIntensity(KFbxNode* node, const light3ds* source) {
    auto* light = node != nullptr ? dynamic_cast<KFbxLight*>(node->GetLight()) : nullptr;
    if (light != nullptr && source != nullptr) {
        light->SetDefaultIntensity(CurveValue(source->multiplier * kIntensityPerMultiplier));
    }
}

bool KFbxReader3DS::AnimateObjects() {
    for (ObjectMotionSlot& motion : mObjectMotions) {
        if (motion.mNode == nullptr) {
            continue;
        }
        const kfmesh3ds& record = *motion.mRecord;
        KFbxTakeNode* take = BeginTake(*motion.mNode);
        if (take == nullptr) {
            return false;
        }
        // Without keyframer data the tracks are empty: their defaults would
        // only be replaced by the mesh's own placement.
        if (motion.mWithoutKeyframer && motion.mMesh != nullptr && PlaceByMeshMatrix(*motion.mNode, *motion.mMesh)) {
            continue;
        }
        const std::array<Channel, 3> curves = TransformCurves(*take, 3);
        if (!ReadPositionKeys(motion.mNode, reader3ds::TrackOf(record.position), {}, &curves[0]) ||
            !ReadRotationKeys(motion.mNode, reader3ds::TrackOf(record.rotation), curves[1]) ||
            !ReadScaleKeys(motion.mNode, reader3ds::TrackOf(record.scale), curves[2])) {
            return false;
        }
    }
    return true;
}

bool KFbxReader3DS::PlaceByMeshMatrix(KFbxNode& node, const mesh3ds& mesh) {
    // The vertices were taken into the object's own space; without keys the
    // node must carry the matrix back, or the object moves.
    KgeMatrix placement;
    if (!reader3ds::ScenePlacementOf(mesh.localmatrix, LengthScale(), placement)) {
        return false;
    }
    const KFbxVector4 parts[3] = {placement.GetT(), placement.GetR(), placement.GetS()};
    node.SetLclTranslation(parts[0]);
    node.SetLclRotation(parts[1]);
    node.SetLclScaling(parts[2]);
    KFbxTakeNode* take = node.GetCurrentTakeNode();
    if (take != nullptr) {
        const std::array<Channel, 3> curves = TransformCurves(*take, 3);
        for (std::size_t channel = 0; channel < curves.size(); ++channel) {
            SetDefaults(curves[channel], parts[channel]);
        }
    }
    return true;
}

bool KFbxReader3DS::AnimateOmniLights() {
    for (OmniMotionSlot& motion : mOmniMotions) {
        if (motion.mNode == nullptr) {
            continue;
        }
        const kfomni3ds& record = *motion.mRecord;
        // A light without keys stays where and as the light record has it.
        const point3ds position = motion.mSource != nullptr ? motion.mSource->position : point3ds{};
        const color3ds color = motion.mSource != nullptr ? motion.mSource->color : color3ds{1.0f, 1.0f, 1.0f};
        if (BeginTake(*motion.mNode) == nullptr ||
            !ReadPositionKeys(motion.mNode, reader3ds::TrackOf(record.position), position) ||
            !ReadColorKeys(motion.mNode, reader3ds::TrackOf(record.color), color)) {
            return false;
        }
        SetIntensity(motion.mNode, motion.mSource);
    }
    return true;
}

bool KFbxReader3DS::AnimateSpotLights() {
    for (SpotMotionSlot& motion : mSpotMotions) {
        const kfspot3ds& record = *motion.mRecord;
        const light3ds* source = motion.mSource;
        const spotlight3ds* spot = source != nullptr ? source->spot : nullptr;
        if (motion.mNode != nullptr) {
            const point3ds position = source != nullptr ? source->position : point3ds{};
            const color3ds color = source != nullptr ? source->color : color3ds{1.0f, 1.0f, 1.0f};
            const float hotspot = spot != nullptr ? spot->hotspot : static_cast<float>(kDefaultConeAngle);
            if (BeginTake(*motion.mNode) == nullptr ||
                !ReadPositionKeys(motion.mNode, reader3ds::TrackOf(record.position), position) ||
                !ReadColorKeys(motion.mNode, reader3ds::TrackOf(record.color), color) ||
                !ReadHotspotKeys(motion.mNode, reader3ds::TrackOf(record.hotspot), hotspot)) {
                return false;
            }
            SetIntensity(motion.mNode, source);
        }
        if (motion.mTargetNode != nullptr) {
            const point3ds target = spot != nullptr ? spot->target : point3ds{};
            if (BeginTake(*motion.mTargetNode) == nullptr ||
                !ReadPositionKeys(motion.mTargetNode, reader3ds::TrackOf(record.targetposition), target)) {
                return false;
            }
        }
    }
    return true;
}

bool KFbxReader3DS::AnimateCameras() {
    for (CameraMotionSlot& motion : mCameraMotions) {
        const kfcamera3ds& record = *motion.mRecord;
        const camera3ds* source = motion.mSource;
        if (motion.mNode != nullptr) {
            const point3ds position = source != nullptr ? source->position : point3ds{};
            const float fov = source != nullptr ? source->fov : static_cast<float>(kDefaultFieldOfView);
            const float roll = source != nullptr ? source->roll : 0.0f;
            if (BeginTake(*motion.mNode) == nullptr ||
                !ReadPositionKeys(motion.mNode, reader3ds::TrackOf(record.position), position) ||
                !ReadFovKeys(motion.mNode, reader3ds::TrackOf(record.fov), fov) ||
                !ReadRollKeys(motion.mNode, reader3ds::TrackOf(record.roll), roll)) {
                return false;
            }
        }
        if (motion.mTargetNode != nullptr) {
            const point3ds target = source != nullptr ? source->target : point3ds{};
            if (BeginTake(*motion.mTargetNode) == nullptr ||
                !ReadPositionKeys(motion.mTargetNode, reader3ds::TrackOf(record.targetposition), target)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
