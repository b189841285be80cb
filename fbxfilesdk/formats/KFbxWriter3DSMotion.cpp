// The 3DS writer's lights, cameras and keyframer nodes: axis changes, key
// tracks sampled once per frame (placements from where the scene puts each
// node, taken against what readers make of its parent's keys; colours,
// cones and lenses from the take's curves), relative rotation keys,
// keyframer names and parents, and look-at targets.
#include <fbxfilesdk/formats/KFbxWriter3DS.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxDouble3.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/formats/KFbxWriter3DSFinite.h>
#include <fbxfilesdk/formats/KFbxWriter3DSPlacement.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kTiny = 1e-5;
// A direction this much shorter than the vector it was taken from is none.
constexpr double kSquareLength = 1e-9;
// The most that rounding to a float moves a value, for its size (2^-24).
constexpr double kFloatRounding = 5.9604644775390625e-8;
// A line of sight next to straight up or down is made to lean across the
// ground by this many times what readers' rounding may move its ends, for
// all of them to find the way it leans to within 0.03 degrees (about twice
// the inverse, in radians), but by no more than this part of its length
// (0.112 degrees). Only a line that leans by less is changed: the change
// turns it by less than twice that, 0.224 degrees.
constexpr double kLeanPerRounding = 4096.0;
constexpr double kMostLean = 1.0 / 512.0;
// A roll of less than this many degrees is what the rounding of the
// vectors it is taken from leaves of none.
constexpr double kNoRoll = 1e-9;
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

// The part of the vector square to the unit line, made of length 1; false
// when it has (next to) none.
bool SquareTo(const KFbxVector4& line, const KFbxVector4& vector, KFbxVector4& out) {
    out = vector - line * vector.DotProduct(line);
    const double length = out.Length();
    if (!(length > kSquareLength * vector.Length()) || !std::isfinite(length)) {
        return false;
    }
    out /= length;
    return true;
}

// The roll that 3DS readers turn a camera by, looking along the view with
// the up direction: the turn about the line of sight from the up that a roll
// of 0 means (the world's up square to the line; looking straight up or
// down, the world's -X) to the camera's up, positive where it turns the up
// anticlockwise as seen along the line. The view is the line as written,
// made straight or leaning where readers' floats need it: they take it as
// straight up or down only when it has no part at all across the ground
// (the scene's X and Z), which a leaning one keeps. The camera's up is the up
// direction made square to the scene's own line (the sight), which the view
// may have been turned from: next to straight up or down, an up along the
// world's up is square to the sight only as the way it leans, which the
// view may lean otherwise or not at all.
double RollOf(const KFbxVector4& view, const KFbxVector4& sight, const KFbxVector4& up) {
    const double length = view.Length();
    if (!(length > 0.0) || !std::isfinite(length)) {
        return 0.0;
    }
    const KFbxVector4 line = view / length;
    static const KFbxVector4 kWorldUp(0.0, 1.0, 0.0, 0.0);
    static const KFbxVector4 kWorldLeft(-1.0, 0.0, 0.0, 0.0);
    // An up along the sight is taken as it is: the scene gives no up then.
    KFbxVector4 scene = up;
    KFbxVector4 square;
    const double sightLength = sight.Length();
    if (sightLength > 0.0 && std::isfinite(sightLength) && SquareTo(sight / sightLength, up, square)) {
        scene = square;
    }
    KFbxVector4 rest;
    KFbxVector4 own;
    if (!SquareTo(line, line[0] != 0.0 || line[2] != 0.0 ? kWorldUp : kWorldLeft, rest) ||
        !SquareTo(line, scene, own)) {
        return 0.0;
    }
    const double roll = std::atan2(line.DotProduct(own.CrossProduct(rest)), rest.DotProduct(own)) * kDegreesPerRadian;
    return std::fabs(roll) < kNoRoll ? 0.0 : roll;
}

// How far the floats of readers may move a point that they compose through
// the frame from its place in it: a rounding at each size the sum goes
// through, of the frame's origin, of its axes times the point and of the
// point composed.
double ReaderRounding(const writer3ds::Frame& frame, const point3ds& local, const double (&world)[3]) {
    double axes = 0.0;
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            axes = std::fmax(axes, std::fabs(frame[row * 4 + column]));
        }
    }
    const double origin = std::fmax(std::fabs(frame[12]), std::fmax(std::fabs(frame[13]), std::fabs(frame[14])));
    const double point = std::fmax(std::fabs(local.x), std::fmax(std::fabs(local.y), std::fabs(local.z)));
    const double placed = std::fmax(std::fabs(world[0]), std::fmax(std::fabs(world[1]), std::fabs(world[2])));
    return kFloatRounding * (origin + 3.0 * axes * point + placed);
}

// Whether readers turn by the keys of the turn without mixing the world's
// up and the ground in their floats: a turn about the up alone that keeps
// it pointing up, whose axes across the ground have no part up and whose up
// axis none across. Any other, a half turn about an axis across the ground
// too, reaches readers as an angle whose sine and cosine their floats round.
bool TurnsAboutUp(const writer3ds::Frame& turn) {
    return turn[1] == 0.0 && turn[9] == 0.0 && turn[4] == 0.0 && turn[6] == 0.0 && turn[5] > 0.0;
}

// A camera's line of sight that leans across the ground by less than
// readers resolve, given how far their floats may move its ends, leans
// whichever way their rounding takes it, and the up that a roll of 0 means
// with it: readers take a line that has no part at all across the ground
// for straight up or down, with the world's -X for that up, and otherwise
// the world's up square to the line, which for a line next to straight
// down is the way it leans. Through a frame whose up readers keep apart the
// line is made straight, which every reader then finds. Through another,
// it is made to lean along the world's X by as much as their rounding
// cannot turn, though no more than a fraction of a degree: away from -X
// looking up and towards it looking down, so that the up of roll 0 is the
// same whether a reader takes it as leaning or, its floats rounding the
// lean away, as straight.
void KeepOffNearlyStraight(const double (&from)[3], double (&to)[3], double rounding, bool upApart) {
    const double across = std::hypot(to[0] - from[0], to[2] - from[2]);
    const double rise = to[1] - from[1];
    const double lean = std::fmin(kLeanPerRounding * rounding, kMostLean * std::hypot(across, rise));
    if (!(across < lean) || !std::isfinite(lean)) {
        return;
    }
    to[0] = upApart ? from[0] : from[0] + (rise < 0.0 ? -lean : lean);
    to[2] = from[2];
}

// The time from which the curve stands still: its last key, or where the
// repetitions or the slope it goes on with past that key end; the infinite
// time when they do not. Evaluation reads a count of repetitions unsigned
// and takes a negative count of slopes as none: both go on without end.
KTime StillFrom(const KFCurve& curve) {
    const int keys = curve.KeyGetCount();
    if (keys == 0) {
        return KTimeMinusInfinite;
    }
    const KTime last = curve.KeyGetTime(keys - 1);
    switch (keys > 1 ? curve.GetPostExtrapolation() : KFCURVE_EXTRAPOLATION_CONSTANT) {
        case KFCURVE_EXTRAPOLATION_REPETITION:
        case KFCURVE_EXTRAPOLATION_MIRROR_REPETITION:
        case KFCURVE_EXTRAPOLATION_KEEP_SLOPE: {
            const int spans = curve.GetPostExtrapolationCount();
            return spans < 0 ? KTimeInfinite : last + (last - curve.KeyGetTime(0)) * spans;
        }
        default: return last;
    }
}

// The time from which every curve of the channels, in every layer, stands
// still.
KTime StillFrom(const KFCurveNode& channels) {
    KTime still = KTimeMinusInfinite;
    std::vector<const KFCurveNode*> pending{&channels};
    while (!pending.empty()) {
        const KFCurveNode* at = pending.back();
        pending.pop_back();
        if (const KFCurve* curve = at->FCurveGet()) {
            still = std::max(still, StillFrom(*curve));
        }
        for (int child = 0; child < at->GetCount(); ++child) {
            pending.push_back(at->Get(child));
        }
        if (at->GetNextLayer() != nullptr) {
            pending.push_back(at->GetNextLayer());
        }
    }
    return still;
}

// The first keyframer frame at or after the time: what stands still from
// that time on is held by every key from that frame on.
std::int64_t FirstFrameFrom(KTime time) {
    std::int64_t frame = time.GetFrame(true, KFbxWriter3DS::kFrameTimeMode);
    if (frame >= 0 && frame < static_cast<std::int64_t>(KFbxWriter3DS::kMaxKeys) &&
        KFbxWriter3DS::FrameTime(static_cast<std::uint32_t>(frame)) < time) {
        ++frame;
    }
    return frame;
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
    const auto turn = [](const KFbxVector4& euler) {
        Frame frame = writer3ds::IdentityFrame();
        KgeMatrixSetRotationXYZ(frame.data(), euler[0], euler[1], euler[2]);
        return frame;
    };
    const Frame before = previous != nullptr ? turn(*previous) : Frame{};
    return RelativeRotationKey(previous != nullptr ? &before : nullptr, turn(current));
}

rotkey3ds KFbxWriter3DS::RelativeRotationKey(const Frame* previous, const Frame& current) {
    double q[4];
    KgeQuaternionFromMatrix(q, current.data());
    if (previous != nullptr) {
        double before[4];
        KgeQuaternionFromMatrix(before, previous->data());
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

std::uint32_t KFbxWriter3DS::KeyCount(KFbxNode* node) {
    if (!mAnimate || node == nullptr) {
        return 1;
    }
    // No key lies past the file's end: a node still moving there, or held
    // only from the frame after a last key between frames, ends with the
    // end frame's key.
    const std::int64_t last = std::min<std::int64_t>(LastMovingFrame(node), mLastFrame);
    return last >= static_cast<std::int64_t>(kMaxKeys) ? kMaxKeys : static_cast<std::uint32_t>(last + 1);
}

std::int64_t KFbxWriter3DS::LastMovingFrame(KFbxNode* node) {
    // Where the node stands moves with its ancestors too: the ancestors not
    // counted yet, nearest first, are counted from the top down, without
    // recursion, as a tree may be deeper than the stack.
    std::vector<KFbxNode*> uncounted;
    std::int64_t last = 0;
    for (KFbxNode* at = node; at != nullptr; at = at->GetParent()) {
        const auto found = mLastMovingFrames.find(at);
        if (found != mLastMovingFrames.end()) {
            last = found->second;
            break;
        }
        uncounted.push_back(at);
    }
    for (auto at = uncounted.rbegin(); at != uncounted.rend(); ++at) {
        KFbxTakeNode* take = (*at)->GetCurrentTakeNodeIfMade();
        const KFCurveNode* channels = take != nullptr ? take->GetKFCurveNode() : nullptr;
        if (channels != nullptr) {
            // Held from the first frame at or after the time its curves
            // stand still from; one that goes on moving past the scene's
            // last key moves to the end of the keys.
            last = std::max(last, FirstFrameFrom(std::min(StillFrom(*channels), mStop)));
        }
        mLastMovingFrames.emplace(*at, last);
    }
    return last;
}

std::uint32_t KFbxWriter3DS::TargetKeyCount(KFbxNode* node, std::uint32_t keys) {
    // The look-at point is kept in the node's parent's frame: it moves with
    // the target and with that frame.
    return node->GetTarget() != nullptr ? std::max(keys, KeyCount(node->GetTarget())) : keys;
}

std::uint32_t KFbxWriter3DS::RollKeyCount(KFbxNode* node, std::uint32_t keys) {
    // An aimed camera's up turns with its target and its up node as well.
    return node->GetTarget() != nullptr ? std::max(TargetKeyCount(node, keys), KeyCount(node->GetTargetUp())) : keys;
}

// ---- names ----------------------------------------------------------------------

std::string KFbxWriter3DS::ParentName(const KFbxNode* node) {
    // The nearest ancestor that has a keyframer node of its own: a parent
    // that is not written would leave the name pointing at nothing.
    const KFbxNode* parent = WrittenParent(node);
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

void KFbxWriter3DS::SetMotionNames(const KFbxNode* node, char (&name)[kNameField3ds], char (&parent)[kFullNameField3ds]) {
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

KFbxVector4 Vector(const double (&value)[3]) { return KFbxVector4(value[0], value[1], value[2], 0.0); }

}  // namespace

void KFbxWriter3DS::LookAt(KFbxNode* node, std::uint32_t frame, double (&out)[3]) {
    const bool camera = dynamic_cast<const KFbxCamera*>(node->GetNodeAttribute()) != nullptr;
    if (KFbxNode* target = node->GetTarget()) {
        const Frame at = SceneFrame(target, frame);
        std::copy(at.begin() + 12, at.begin() + 15, out);
    } else {
        // The point ten units along the node's own look-at axis, placed as
        // the scene places the node's points.
        KgeMatrixMultPoint(out, SceneFrame(node, frame).data(), camera ? kCameraLookAt : kSpotLookAt);
    }
    if (camera) {
        // Both ends are composed by readers through the frame of the
        // camera's parent, where the look-at point hangs too.
        const Frame place = SceneFrame(node, frame);
        const double from[3] = {place[12], place[13], place[14]};
        const KeyedFrame parent = FrameAt(ParentFrames(node), frame);
        KeepOffNearlyStraight(from, out,
                              ReaderRounding(parent.mFrame, InFrame(parent.mFrame, from), from) +
                                  ReaderRounding(parent.mFrame, InFrame(parent.mFrame, out), out),
                              parent.mUpApart);
    }
}

void KFbxWriter3DS::SampleTargetKeys(KFbxNode* node, kftrack3ds<point3ds>& track) {
    SetKeyHeaders(track.keys, track.keycount);
    const Frames* parent = ParentFrames(node);
    for (std::uint32_t key = 0; track.values != nullptr && key < track.keycount; ++key) {
        double at[3];
        LookAt(node, key, at);
        track.values[key] = InFrame(FrameAt(parent, key).mFrame, at);
    }
}

void KFbxWriter3DS::SamplePositionKeys(KFbxNode* node, kftrack3ds<point3ds>& track, Frames& frames) {
    SetKeyHeaders(track.keys, track.keycount);
    frames.assign(track.values != nullptr ? track.keycount : 0, KeyedFrame{});
    const Frames* parents = ParentFrames(node);
    for (std::uint32_t key = 0; key < frames.size(); ++key) {
        const Frame world = SceneFrame(node, key);
        const KeyedFrame parent = FrameAt(parents, key);
        const double origin[3] = {world[12], world[13], world[14]};
        track.values[key] = InFrame(parent.mFrame, origin);
        frames[key] = {writer3ds::MovedTo(parent.mFrame, origin), parent.mUpApart};
    }
}

// ---- keyframer nodes ------------------------------------------------------------

reader3ds::ObjectMotionRecord KFbxWriter3DS::MakeObjectMotion(KFbxNode* node, Frames& frames) {
    if (node == nullptr) {
        return {};
    }
    const std::uint32_t keys = KeyCount(node);
    auto record = reader3ds::MakeRecord<reader3ds::ObjectMotionRecord>(&InitObjectMotion3ds, keys, keys, keys, 0, 0);
    if (record == nullptr || FtkErrorStops() || record->position.values == nullptr ||
        record->rotation.values == nullptr || record->scale.values == nullptr) {
        return record;
    }
    SetMotionNames(node, record->name, record->parent);
    SetKeyHeaders(record->position.keys, keys);
    SetKeyHeaders(record->rotation.keys, keys);
    SetKeyHeaders(record->scale.keys, keys);
    // Readers turn round the X axis of a mesh matrix that mirrors: a mesh
    // whose points mirror is placed by keys of its mirror image.
    const bool mirrored = MirroredMesh(node);
    frames.assign(keys, KeyedFrame{});
    const Frames* parents = ParentFrames(node);
    Frame previous = writer3ds::IdentityFrame();
    // Readers take each turn on from the one before, in floats: a turn that
    // mixes the up and the ground leaves its rounding in every later key.
    bool upApart = true;
    for (std::uint32_t key = 0; key < keys; ++key) {
        Frame world = SceneFrame(node, key);
        if (mirrored) {
            world = writer3ds::MirroredAcrossX(world);
        }
        const KeyedFrame parent = FrameAt(parents, key);
        // Keys compose with the parent's as plain products: what the scene
        // composes otherwise (the parent's scaling along the node's own
        // axes) is taken against the parent's frame, as near as keys hold
        // it. Under a parent squashed flat, the node's own transform.
        Frame inverse;
        const Frame local =
            writer3ds::Invert(parent.mFrame, inverse) ? writer3ds::Then(world, inverse) : LocalFrame(node, key);
        const writer3ds::Placement placed = writer3ds::Fit(local);
        record->position.values[key] = Point(ConvertPosition(Vector(placed.mTranslation)));
        record->scale.values[key] = Point(ConvertScaling(Vector(placed.mScaling)));
        record->rotation.values[key] = RelativeRotationKey(key == 0 ? nullptr : &previous, placed.mTurn);
        previous = placed.mTurn;
        upApart = upApart && TurnsAboutUp(placed.mTurn);
        frames[key] = {writer3ds::Then(writer3ds::ToFrame(placed), parent.mFrame), upApart && parent.mUpApart};
    }
    return record;
}

reader3ds::LightRecord KFbxWriter3DS::MakeOmniLight(const KFbxLight& light, const point3ds& position,
                                                     const std::string& name) {
    auto record = reader3ds::MakeRecord<reader3ds::LightRecord>(&InitLight3ds);
    if (record == nullptr || FtkErrorStops()) {
        return record;
    }
    SetText(record->name, name);
    record->position = position;
    double colour[3];
    light.GetDefaultColor(colour);
    record->color = {static_cast<float>(colour[0]), static_cast<float>(colour[1]), static_cast<float>(colour[2])};
    record->multiplier = static_cast<float>(light.GetDefaultIntensity() / kIntensityPerMultiplier);
    return record;
}

reader3ds::LightRecord KFbxWriter3DS::MakeSpotLight(const KFbxLight& light, const point3ds& position,
                                                     const std::string& name) {
    auto spot = reader3ds::MakeRecord<reader3ds::LightRecord>(&InitSpotlight3ds);
    if (spot == nullptr || FtkErrorStops()) {
        return spot;
    }
    reader3ds::LightRecord omni = MakeOmniLight(light, position, name);
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
                                    kftrack3ds<point3ds>& position, kftrack3ds<point3ds>& color, Frames& frames) {
    double colour[3];
    light.GetDefaultColor(colour);
    const KFbxVector4 colours(colour[0], colour[1], colour[2], 0.0);
    KFbxTakeNode* take = node->GetCurrentTakeNode();
    SamplePositionKeys(node, position, frames);
    SamplePoints(times, color,
                 take != nullptr ? Sources(take->GetColorR(), take->GetColorG(), take->GetColorB(), colours)
                                 : Sources(nullptr, nullptr, nullptr, colours),
                 &SamePoint);
}

reader3ds::OmniMotionRecord KFbxWriter3DS::MakeOmniLightMotion(KFbxNode* node, Frames& frames) {
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
    SampleLightKeys(node, *light, TimesOfFrames(keys), record->position, record->color, frames);
    return record;
}

reader3ds::SpotMotionRecord KFbxWriter3DS::MakeSpotLightMotion(KFbxNode* node, Frames& frames) {
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
    // The target hangs where the light does, so that every reader finds its
    // keys in the same frame.
    SetText(record->targetparent, record->parent);
    const FrameTimes& times = TimesOfFrames(keys);
    KFbxTakeNode* take = node->GetCurrentTakeNode();
    SampleLightKeys(node, *light, times, record->position, record->color, frames);
    const Source cone = DefaultSource(take != nullptr ? take->GetLightConeAngle() : nullptr,
                                      light->GetDefaultConeAngle());
    SampleValues(times, record->hotspot, cone);
    SampleValues(times, record->falloff, cone);
    SampleValues(times, record->roll, Source{});
    SampleTargetKeys(node, record->targetposition);
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

reader3ds::CameraRecord KFbxWriter3DS::MakeCamera(const KFbxCamera& /*camera*/, const point3ds& position,
                                                   const std::string& name) {
    auto record = reader3ds::MakeRecord<reader3ds::CameraRecord>(&InitCamera3ds);
    if (record == nullptr || FtkErrorStops()) {
        return record;
    }
    SetText(record->name, name);
    record->position = position;
    return record;
}

reader3ds::CameraMotionRecord KFbxWriter3DS::MakeCameraMotion(KFbxNode* node, Frames& frames) {
    auto* camera = node != nullptr ? dynamic_cast<KFbxCamera*>(node->GetCamera()) : nullptr;
    if (camera == nullptr) {
        return {};
    }
    const std::uint32_t keys = KeyCount(node);
    const std::uint32_t targetKeys = TargetKeyCount(node, keys);
    const std::uint32_t rollKeys = RollKeyCount(node, keys);
    auto record =
        reader3ds::MakeRecord<reader3ds::CameraMotionRecord>(&InitCameraMotion3ds, keys, keys, rollKeys, targetKeys);
    if (record == nullptr || FtkErrorStops()) {
        return record;
    }
    SetMotionNames(node, record->name, record->parent);
    SetText(record->targetparent, record->parent);
    const FrameTimes& times = TimesOfFrames(rollKeys);
    KFbxTakeNode* take = node->GetCurrentTakeNode();
    SamplePositionKeys(node, record->position, frames);
    SampleValues(times, record->fov,
                 DefaultSource(take != nullptr ? take->GetCameraFieldOfView() : nullptr, CameraFieldOfView(*camera)));
    const Source roll = DefaultSource(take != nullptr ? take->GetCameraRoll() : nullptr, camera->GetDefaultRoll());
    kftrack3ds<point3ds>& target = record->targetposition;
    SetKeyHeaders(target.keys, target.keycount);
    SetKeyHeaders(record->roll.keys, record->roll.keycount);
    if (record->roll.values == nullptr || target.values == nullptr) {
        return record;
    }
    // The line of sight written, straight or leaning as readers' floats
    // need, and the roll about it come from one place of the camera, taken
    // once per key.
    const Frames* parents = ParentFrames(node);
    for (std::uint32_t key = 0; key < std::max(target.keycount, record->roll.keycount); ++key) {
        double at[3];
        LookAt(node, key, at);
        if (key < target.keycount) {
            target.values[key] = InFrame(FrameAt(parents, key).mFrame, at);
        }
        if (key < record->roll.keycount) {
            record->roll.values[key] = static_cast<float>(roll.At(times[key]) + CameraRoll(node, *camera, key, at));
        }
    }
    return record;
}

double KFbxWriter3DS::CameraRoll(KFbxNode* node, const KFbxCamera& camera, std::uint32_t frame,
                                 const double (&lookAt)[3]) {
    const Frame world = SceneFrame(node, frame);
    const auto row = [](const Frame& frame, std::size_t first) {
        return KFbxVector4(frame[first], frame[first + 1], frame[first + 2], 0.0);
    };
    const KFbxVector4 view = Vector(lookAt) - row(world, 12);
    KFbxNode* target = node->GetTarget();
    if (target == nullptr) {
        // Along its own X axis, its own Y axis up.
        return RollOf(view, row(world, 0), row(world, 4));
    }
    // An aimed camera looks up towards its up node or along its up vector,
    // whatever its node's own turn.
    KFbxNode* upNode = node->GetTargetUp();
    const KFbxVector4 eye = row(world, 12);
    return RollOf(view, row(SceneFrame(target, frame), 12) - eye,
                  upNode != nullptr ? row(SceneFrame(upNode, frame), 12) - eye : camera.GetUpVector());
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
