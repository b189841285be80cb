// The 3DS writer's lights, cameras and keyframer nodes: axis changes, key
// tracks sampled once per frame from the take's curves, relative rotation
// keys, keyframer names and parents, and look-at targets.
#include <fbxfilesdk/formats/KFbxWriter3DS.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxDouble3.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/formats/KFbxWriter3DSFinite.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <charconv>
#include <cmath>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kTiny = 1e-5;
// Spline parameters present in every key: tension, continuity and bias, all 0.
constexpr std::uint16_t kKeySplineFlags = 7;
// Light multipliers are fractions; intensities are percentages.
constexpr double kIntensityPerMultiplier = 100.0;
// How far along its own axis a light or camera without target looks.
const KFbxVector4 kSpotLookAt(0.0, -10.0, 0.0, 0.0);
const KFbxVector4 kCameraLookAt(10.0, 0.0, 0.0, 0.0);
const char* const kDummyParentPrefix = "$$$DUMMY.";

using FrameTimes = KFbxWriter3DS::FrameTimes;

template <std::size_t N>
void SetText(char (&field)[N], const std::string& text) {
    const std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

point3ds Point(const KFbxVector4& value) {
    return {static_cast<float>(value[0]), static_cast<float>(value[1]), static_cast<float>(value[2])};
}

void SetKeyHeaders(keyheader3ds* keys, std::uint32_t count) {
    for (std::uint32_t key = 0; keys != nullptr && key < count; ++key) {
        keys[key] = {};
        keys[key].frame = key;
        keys[key].splineflags = kKeySplineFlags;
    }
}

KFbxVector4 Rotated(const KFbxVector4& vector, const KFbxVector4& euler) {
    double rotation[16] = {};
    KgeMatrixSetRotationXYZ(rotation, euler[0], euler[1], euler[2]);
    rotation[12] = rotation[13] = rotation[14] = 0.0;
    double out[3];
    KgeMatrixMultPoint(out, rotation, vector);
    return KFbxVector4(out[0], out[1], out[2], 0.0);
}

double Dot(const KFbxVector4& a, const KFbxVector4& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The twist of a camera about its view axis that its rotation gives: the
// angle from the world's up direction to the camera's own up direction.
double RollOf(const KFbxVector4& euler) {
    const KFbxVector4 worldUp(0.0, 1.0, 0.0, 0.0);
    const KFbxVector4 up = Rotated(KFbxVector4(0.0, 1.0, 0.0, 0.0), euler);
    const KFbxVector4 side = Rotated(KFbxVector4(0.0, 0.0, 1.0, 0.0), euler);
    const double upward = Dot(up, worldUp);
    const double sideways = -Dot(side, worldUp);
    if (std::fabs(upward) < kTiny && std::fabs(sideways) < kTiny) {
        return 0.0;
    }
    return std::atan2(sideways, upward) * kDegreesPerRadian;
}

}  // namespace

// ---- axes and time -----------------------------------------------------------

KFbxVector4 KFbxWriter3DS::ConvertPosition(const KFbxVector4& position) {
    return KFbxVector4(position[0], -position[2], position[1], 0.0);
}

KFbxVector4 KFbxWriter3DS::ConvertScaling(const KFbxVector4& scaling) {
    return KFbxVector4(scaling[0], scaling[2], scaling[1], 0.0);
}

KFbxVector4 KFbxWriter3DS::ConvertRotation(const KFbxVector4& rotation) {
    double matrix[16] = {};
    KgeMatrixSetRotationXYZ(matrix, rotation[0], rotation[1], rotation[2]);
    double q[4];
    KgeQuaternionFromMatrix(q, matrix);
    // The same turn about the axis that the position change maps it to.
    double turned[16] = {};
    KgeMatrixFromQuaternion(turned, q[0], -q[2], q[1], q[3]);
    double euler[3];
    KgeMatrixRotationToEulerXYZ(euler, turned);
    return KFbxVector4(euler[0], euler[1], euler[2], 0.0);
}

std::string KFbxWriter3DS::FrameTimeText(std::uint32_t frame) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, frame).ptr;
    return std::string(digits, end);
}

const KFbxWriter3DS::FrameTimes& KFbxWriter3DS::TimesOfFrames(std::uint32_t count) {
    // Each frame's time is read from its text once per writer.
    while (mFrameTimes.size() < count) {
        mFrameTimes.push_back(FrameTime(static_cast<std::uint32_t>(mFrameTimes.size())));
    }
    return mFrameTimes;
}

KTime KFbxWriter3DS::FrameTime(std::uint32_t frame) {
    KTime time;
    time.ParseTimeString(FrameTimeText(frame).c_str(), kFrameTimeMode, KTime::eFrameCountForm);
    return time;
}

rotkey3ds KFbxWriter3DS::RelativeRotationKey(const KFbxVector4* previous, const KFbxVector4& current) {
    const auto quaternion = [](const KFbxVector4& euler, double (&q)[4]) {
        double matrix[16] = {};
        KgeMatrixSetRotationXYZ(matrix, euler[0], euler[1], euler[2]);
        KgeQuaternionFromMatrix(q, matrix);
    };
    double q[4];
    quaternion(current, q);
    if (previous != nullptr) {
        double before[4];
        quaternion(*previous, before);
        // Readers compose each key as this key times the rotation so far, so
        // the key is the rotation so far undone, on the side they apply it.
        const double inverse[4] = {-before[0], -before[1], -before[2], before[3]};
        KgeQuaternionMult(q, q, inverse);
        KgeQuaternionNormalize(q, q);
    }
    // The shorter way round.
    if (q[3] < 0.0) {
        for (double& part : q) {
            part = -part;
        }
    }
    const double w = q[3] > 1.0 ? 1.0 : q[3];
    double axis[3] = {q[0], q[1], q[2]};
    KFbxNormalizeDouble3(axis, axis);
    rotkey3ds key;
    key.angle = static_cast<float>(-2.0 * std::acos(w));
    key.x = static_cast<float>(axis[0]);
    key.y = static_cast<float>(-axis[2]);
    key.z = static_cast<float>(axis[1]);
    if (std::fabs(key.x) < kTiny && std::fabs(key.y) < kTiny && std::fabs(key.z) < kTiny &&
        std::fabs(key.angle) < kTiny) {
        key.angle = 0.0f;
        key.x = -1.0f;
    }
    return key;
}

// ---- sources and key counts ------------------------------------------------------

double KFbxWriter3DS::Source::At(KTime time) const {
    return mCurve != nullptr ? static_cast<double>(mCurve->Evaluate(time)) : mValue;
}

KFbxWriter3DS::Source KFbxWriter3DS::DefaultSource(KFCurve* curve, double value) const {
    Source source;
    source.mValue = value;
    // A curve without keys, or any curve when animation is not written,
    // stands for its property's value.
    if (mAnimate && curve != nullptr && curve->KeyGetCount() > 0) {
        source.mCurve = curve;
    }
    return source;
}

std::array<KFbxWriter3DS::Source, 3> KFbxWriter3DS::Sources(KFCurve* x, KFCurve* y, KFCurve* z,
                                                           const KFbxVector4& values) const {
    return {DefaultSource(x, values[0]), DefaultSource(y, values[1]), DefaultSource(z, values[2])};
}

// Without a take node every channel stands for its value at the start.
std::array<KFbxWriter3DS::Source, 3> KFbxWriter3DS::TranslationSources(KFbxTakeNode* take,
                                                                      const KFbxVector4& values) const {
    return take != nullptr ? Sources(take->GetTranslationX(), take->GetTranslationY(), take->GetTranslationZ(), values)
                           : Sources(nullptr, nullptr, nullptr, values);
}

std::array<KFbxWriter3DS::Source, 3> KFbxWriter3DS::RotationSources(KFbxTakeNode* take,
                                                                   const KFbxVector4& values) const {
    return take != nullptr ? Sources(take->GetEulerRotationX(), take->GetEulerRotationY(), take->GetEulerRotationZ(),
                                     values)
                           : Sources(nullptr, nullptr, nullptr, values);
}

std::uint32_t KFbxWriter3DS::KeyCount(KFbxNode* node) const {
    KFbxTakeNode* take = node != nullptr ? node->GetCurrentTakeNode() : nullptr;
    KTime start;
    KTime stop;
    if (!mAnimate || take == nullptr || !take->GetAnimationInterval(start, stop)) {
        return 1;
    }
    const std::int64_t last = stop.GetFrame(true, kFrameTimeMode);
    if (last < 0) {
        return 1;
    }
    return last >= static_cast<std::int64_t>(kMaxKeys) ? kMaxKeys : static_cast<std::uint32_t>(last + 1);
}

std::uint32_t KFbxWriter3DS::TargetKeyCount(KFbxNode* node, std::uint32_t keys) const {
    // Without a target the look-at point moves with the node itself.
    return node->GetTarget() != nullptr ? KeyCount(node->GetTarget()) : keys;
}

// ---- names ----------------------------------------------------------------------

std::string KFbxWriter3DS::ParentName(const KFbxNode* node) const {
    // The nearest ancestor that has a keyframer node of its own: a parent
    // that is not written would leave the name pointing at nothing.
    const KFbxNode* parent = node != nullptr ? node->GetParent() : nullptr;
    while (parent != nullptr && !IsWritten(parent)) {
        parent = parent->GetParent();
    }
    if (parent == nullptr) {
        return std::string();
    }
    const KFbxNodeAttribute* attribute = parent->GetNodeAttribute();
    switch (attribute != nullptr ? attribute->GetAttributeType() : KFbxNodeAttribute::eUNIDENTIFIED) {
        case KFbxNodeAttribute::eMESH:
        case KFbxNodeAttribute::eNURB:
        case KFbxNodeAttribute::ePATCH:
        case KFbxNodeAttribute::eLIGHT:
        case KFbxNodeAttribute::eCAMERA: return FileNameOf(parent);
        default: return kDummyParentPrefix + FileNameOf(parent);
    }
}

void KFbxWriter3DS::SetMotionNames(const KFbxNode* node, char (&name)[kNameField3ds], char (&parent)[kFullNameField3ds]) const {
    SetText(name, FileNameOf(node));
    SetText(parent, ParentName(node));
}

// ---- tracks ---------------------------------------------------------------------

namespace {

template <class Convert>
void SamplePoints(const FrameTimes& times, kftrack3ds<point3ds>& track,
                  const std::array<KFbxWriter3DS::Source, 3>& sources, Convert convert) {
    SetKeyHeaders(track.keys, track.keycount);
    for (std::uint32_t key = 0; track.values != nullptr && key < track.keycount; ++key) {
        const KTime time = times[key];
        track.values[key] =
            Point(convert(KFbxVector4(sources[0].At(time), sources[1].At(time), sources[2].At(time), 0.0)));
    }
}

void SampleValues(const FrameTimes& times, kftrack3ds<float>& track, const KFbxWriter3DS::Source& source) {
    SetKeyHeaders(track.keys, track.keycount);
    for (std::uint32_t key = 0; track.values != nullptr && key < track.keycount; ++key) {
        track.values[key] = static_cast<float>(source.At(times[key]));
    }
}

KFbxVector4 SamePoint(const KFbxVector4& value) { return value; }

// A position in the space of a parent that carries a mirror across its X
// axis: the mirror taken back first.
KFbxVector4 ConvertPositionUnderMirror(const KFbxVector4& position) {
    return KFbxWriter3DS::ConvertPosition(KFbxVector4(-position[0], position[1], position[2], 0.0));
}

using PositionConversion = KFbxVector4 (*)(const KFbxVector4&);
PositionConversion PositionConversionFor(bool underMirror) {
    return underMirror ? &ConvertPositionUnderMirror : &KFbxWriter3DS::ConvertPosition;
}

// Mirrored is whether the keys' frame mirrors across X against the scene's:
// once for a mirror the node carries, once for one its parent carries.
void SampleScaleKeys(const FrameTimes& times, kftrack3ds<point3ds>& track,
                     const std::array<KFbxWriter3DS::Source, 3>& sources, bool mirrored) {
    SamplePoints(times, track, sources, [mirrored](const KFbxVector4& value) {
        if (std::fabs(value[0]) < kTiny && std::fabs(value[1]) < kTiny && std::fabs(value[2]) < kTiny) {
            return KFbxVector4(1.0, 1.0, 1.0, 0.0);
        }
        return KFbxWriter3DS::ConvertScaling(KFbxVector4(mirrored ? -value[0] : value[0], value[1], value[2], 0.0));
    });
}

void SampleRotationKeys(const FrameTimes& times, kftrack3ds<rotkey3ds>& track,
                        const std::array<KFbxWriter3DS::Source, 3>& sources) {
    SetKeyHeaders(track.keys, track.keycount);
    KFbxVector4 previous;
    for (std::uint32_t key = 0; track.values != nullptr && key < track.keycount; ++key) {
        const KTime time = times[key];
        const KFbxVector4 euler(sources[0].At(time), sources[1].At(time), sources[2].At(time), 0.0);
        track.values[key] = KFbxWriter3DS::RelativeRotationKey(key == 0 ? nullptr : &previous, euler);
        previous = euler;
    }
}

}  // namespace

void KFbxWriter3DS::SampleTargetKeys(KFbxNode* node, kftrack3ds<point3ds>& track, const KFbxVector4& offset) {
    const FrameTimes& times = TimesOfFrames(track.keycount);
    if (KFbxNode* target = node->GetTarget()) {
        const Local local = LocalAtStart(target);
        KFbxTakeNode* take = target->GetCurrentTakeNode();
        SamplePoints(times, track, TranslationSources(take, local.mTranslation),
                     PositionConversionFor(UnderMirror(target)));
        return;
    }
    // No target: a point ahead of the node along its own look-at axis.
    const Local local = LocalAtStart(node);
    KFbxTakeNode* take = node->GetCurrentTakeNode();
    const auto position = TranslationSources(take, local.mTranslation);
    const auto rotation = RotationSources(take, local.mRotation);
    const PositionConversion convert = PositionConversionFor(UnderMirror(node));
    SetKeyHeaders(track.keys, track.keycount);
    for (std::uint32_t key = 0; track.values != nullptr && key < track.keycount; ++key) {
        const KTime time = times[key];
        const KFbxVector4 at(position[0].At(time), position[1].At(time), position[2].At(time), 0.0);
        const KFbxVector4 euler(rotation[0].At(time), rotation[1].At(time), rotation[2].At(time), 0.0);
        track.values[key] = Point(convert(at + Rotated(offset, euler)));
    }
}

// ---- keyframer nodes ------------------------------------------------------------

reader3ds::ObjectMotionRecord KFbxWriter3DS::MakeObjectMotion(KFbxNode* node) {
    if (node == nullptr) {
        return {};
    }
    const std::uint32_t keys = KeyCount(node);
    auto record = reader3ds::MakeRecord<reader3ds::ObjectMotionRecord>(&InitObjectMotion3ds, keys, keys, keys, 0, 0);
    if (record == nullptr || FtkErrorStops()) {
        return record;
    }
    SetMotionNames(node, record->name, record->parent);
    const FrameTimes& times = TimesOfFrames(keys);
    const Local local = LocalAtStart(node);
    KFbxTakeNode* take = node->GetCurrentTakeNode();
    // Readers mirror the points of a mirrored mesh across its own X axis:
    // its keys mirror them back, and its children's keys undo that mirror.
    const bool underMirror = UnderMirror(node);
    SamplePoints(times, record->position, TranslationSources(take, local.mTranslation),
                 PositionConversionFor(underMirror));
    SampleRotationKeys(times, record->rotation, RotationSources(take, local.mRotation));
    SampleScaleKeys(times, record->scale,
                    take != nullptr ? Sources(take->GetScaleX(), take->GetScaleY(), take->GetScaleZ(), local.mScaling)
                                    : Sources(nullptr, nullptr, nullptr, local.mScaling),
                    underMirror != CarriesMirror(node));
    return record;
}

reader3ds::LightRecord KFbxWriter3DS::MakeOmniLight(const KFbxLight& light, const Local& local,
                                                     const std::string& name) {
    auto record = reader3ds::MakeRecord<reader3ds::LightRecord>(&InitLight3ds);
    if (record == nullptr || FtkErrorStops()) {
        return record;
    }
    SetText(record->name, name);
    record->position = Point(ConvertPosition(local.mTranslation));
    double colour[3];
    light.GetDefaultColor(colour);
    record->color = {static_cast<float>(colour[0]), static_cast<float>(colour[1]), static_cast<float>(colour[2])};
    record->multiplier = static_cast<float>(light.GetDefaultIntensity() / kIntensityPerMultiplier);
    return record;
}

reader3ds::LightRecord KFbxWriter3DS::MakeSpotLight(const KFbxLight& light, const Local& local,
                                                     const std::string& name) {
    auto spot = reader3ds::MakeRecord<reader3ds::LightRecord>(&InitSpotlight3ds);
    if (spot == nullptr || FtkErrorStops()) {
        return spot;
    }
    reader3ds::LightRecord omni = MakeOmniLight(light, local, name);
    if (omni == nullptr || FtkErrorStops()) {
        return {};
    }
    SetText(spot->name, name);
    spot->position = omni->position;
    spot->color = omni->color;
    spot->multiplier = omni->multiplier;
    if (spot->spot != nullptr) {
        const float cone = static_cast<float>(light.GetDefaultConeAngle());
        spot->spot->hotspot = cone;
        // The keyframer gives hotspot and falloff the same cone too.
        spot->spot->falloff = cone;
    }
    return spot;
}

void KFbxWriter3DS::SampleLightKeys(KFbxNode* node, const KFbxLight& light, const FrameTimes& times,
                                    kftrack3ds<point3ds>& position, kftrack3ds<point3ds>& color) {
    const Local local = LocalAtStart(node);
    double colour[3];
    light.GetDefaultColor(colour);
    const KFbxVector4 colours(colour[0], colour[1], colour[2], 0.0);
    KFbxTakeNode* take = node->GetCurrentTakeNode();
    SamplePoints(times, position, TranslationSources(take, local.mTranslation),
                 PositionConversionFor(UnderMirror(node)));
    SamplePoints(times, color,
                 take != nullptr ? Sources(take->GetColorR(), take->GetColorG(), take->GetColorB(), colours)
                                 : Sources(nullptr, nullptr, nullptr, colours),
                 &SamePoint);
}

reader3ds::OmniMotionRecord KFbxWriter3DS::MakeOmniLightMotion(KFbxNode* node) {
    auto* light = node != nullptr ? dynamic_cast<KFbxLight*>(node->GetLight()) : nullptr;
    if (light == nullptr) {
        return {};
    }
    const std::uint32_t keys = KeyCount(node);
    auto record = reader3ds::MakeRecord<reader3ds::OmniMotionRecord>(&InitOmnilightMotion3ds, keys, keys);
    if (record == nullptr || FtkErrorStops()) {
        return record;
    }
    SetMotionNames(node, record->name, record->parent);
    SampleLightKeys(node, *light, TimesOfFrames(keys), record->position, record->color);
    return record;
}

reader3ds::SpotMotionRecord KFbxWriter3DS::MakeSpotLightMotion(KFbxNode* node) {
    auto* light = node != nullptr ? dynamic_cast<KFbxLight*>(node->GetLight()) : nullptr;
    if (light == nullptr) {
        return {};
    }
    const std::uint32_t keys = KeyCount(node);
    const std::uint32_t targetKeys = TargetKeyCount(node, keys);
    auto record = reader3ds::MakeRecord<reader3ds::SpotMotionRecord>(&InitSpotlightMotion3ds, keys, keys, keys, keys, 1,
                                                                     targetKeys);
    if (record == nullptr || FtkErrorStops()) {
        return record;
    }
    SetMotionNames(node, record->name, record->parent);
    const FrameTimes& times = TimesOfFrames(keys);
    KFbxTakeNode* take = node->GetCurrentTakeNode();
    SampleLightKeys(node, *light, times, record->position, record->color);
    const Source cone = DefaultSource(take != nullptr ? take->GetLightConeAngle() : nullptr,
                                      light->GetDefaultConeAngle());
    SampleValues(times, record->hotspot, cone);
    SampleValues(times, record->falloff, cone);
    SampleValues(times, record->roll, Source{});
    SampleTargetKeys(node, record->targetposition, kSpotLookAt);
    return record;
}

double KFbxWriter3DS::CameraFieldOfView(const KFbxCamera& camera) {
    switch (static_cast<int>(camera.GetApertureMode())) {
        case KFbxCamera::eHORIZONTAL: return camera.GetDefaultFieldOfView();
        case KFbxCamera::eHORIZONTAL_AND_VERTICAL: return camera.GetDefaultFieldOfViewX();
        case 3: return camera.ComputeFieldOfView(camera.GetDefaultFocalLength());
        default: {
            // A vertical angle: the horizontal one through the film's shape.
            const double height = camera.GetApertureHeight();
            const double aspect = height != 0.0 ? camera.GetApertureWidth() / height : 1.0;
            const double half = std::tan(camera.GetDefaultFieldOfView() * kRadiansPerDegree * 0.5);
            return 2.0 * std::atan(half * aspect * camera.GetSqueezeRatio()) * kDegreesPerRadian;
        }
    }
}

reader3ds::CameraRecord KFbxWriter3DS::MakeCamera(const KFbxCamera& /*camera*/, const Local& local,
                                                   const std::string& name) {
    auto record = reader3ds::MakeRecord<reader3ds::CameraRecord>(&InitCamera3ds);
    if (record == nullptr || FtkErrorStops()) {
        return record;
    }
    SetText(record->name, name);
    record->position = Point(ConvertPosition(local.mTranslation));
    return record;
}

reader3ds::CameraMotionRecord KFbxWriter3DS::MakeCameraMotion(KFbxNode* node) {
    auto* camera = node != nullptr ? dynamic_cast<KFbxCamera*>(node->GetCamera()) : nullptr;
    if (camera == nullptr) {
        return {};
    }
    const std::uint32_t keys = KeyCount(node);
    const std::uint32_t targetKeys = TargetKeyCount(node, keys);
    auto record =
        reader3ds::MakeRecord<reader3ds::CameraMotionRecord>(&InitCameraMotion3ds, keys, keys, keys, targetKeys);
    if (record == nullptr || FtkErrorStops()) {
        return record;
    }
    SetMotionNames(node, record->name, record->parent);
    const FrameTimes& times = TimesOfFrames(keys);
    const Local local = LocalAtStart(node);
    KFbxTakeNode* take = node->GetCurrentTakeNode();
    SamplePoints(times, record->position, TranslationSources(take, local.mTranslation),
                 PositionConversionFor(UnderMirror(node)));
    SampleValues(times, record->fov,
                 DefaultSource(take != nullptr ? take->GetCameraFieldOfView() : nullptr, CameraFieldOfView(*camera)));
    const Source roll = DefaultSource(take != nullptr ? take->GetCameraRoll() : nullptr, camera->GetDefaultRoll());
    const auto rotation = RotationSources(take, local.mRotation);
    SetKeyHeaders(record->roll.keys, record->roll.keycount);
    for (std::uint32_t key = 0; record->roll.values != nullptr && key < record->roll.keycount; ++key) {
        const KTime time = times[key];
        const KFbxVector4 euler(rotation[0].At(time), rotation[1].At(time), rotation[2].At(time), 0.0);
        record->roll.values[key] = static_cast<float>(roll.At(time) + RollOf(euler));
    }
    SampleTargetKeys(node, record->targetposition, kCameraLookAt);
    return record;
}

bool KFbxWriter3DS::PutBackground(const KFbxCamera& camera) {
    auto record = reader3ds::MakeRecord<reader3ds::Owned<background3ds, &ReleaseBackground3ds>>(&InitBackground3ds);
    if (record == nullptr || ToolkitFailed()) {
        return false;
    }
    const KFbxColor colour = camera.GetDefaultBackgroundColor();
    record->solid = {static_cast<float>(colour.mRed), static_cast<float>(colour.mGreen),
                     static_cast<float>(colour.mBlue)};
    ReportNonFinite(writer3ds::ZeroNonFinite(*record), "background");
    PutBackground3ds(mDatabase, record.get());
    return !ToolkitFailed();
}

}  // namespace fbxsdk_2006_11_1
