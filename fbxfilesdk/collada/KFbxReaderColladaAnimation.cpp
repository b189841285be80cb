// Animations into keyed curves of the take "Take 001" of the animated
// nodes. A channel's target names a node's transform element (by the node's
// id and the element's sid), a camera or light parameter (by the id of the
// camera or light, found through the nodes that instance it), or a weight
// of a morph (by the id of the morph's weights source); its sampler's
// sources give the key times, values, tangents and interpolations. Values
// are interleaved by key when one channel drives several curves.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterUnroll.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/collada/ColladaSamplerData.h>
#include <fbxfilesdk/collada/ColladaTransformMath.h>
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/ColladaXmlSource.h>
#include <fbxfilesdk/collada/KFbxReaderCollada.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

constexpr const char* kTakeName = "Take 001";
// COLLADA gives morph weights and light intensities from 0 to 1, the SDK from 0 to 100.
constexpr double kPercent = 100.0;

}  // namespace

// A channel's target taken apart: the id of the element it names (empty for
// a morph weight), the address of the animated value, and the member of it
// (an axis, "ANGLE", a colour component or a weight's index).
struct ColladaTargetParts {
    KString mElementId;
    KString mAddress;
    KString mMember;
};


namespace {

ColladaTargetParts SplitTarget(const KString& target) {
    const int slash = target.Find('/');
    int open = -1;
    int close = -1;
    if (slash < 0) {
        open = target.Find('(');
        close = open >= 0 ? target.Find(')', open) : -1;
    }
    const int dot = target.Find('.', slash >= 0 ? slash : 0);
    const int member = dot >= 0 ? dot : (slash < 0 && open >= 0 ? open : -1);
    ColladaTargetParts parts{KString(""), target, KString("")};
    if (slash >= 0) {
        parts.mElementId = target.Left(slash);
    }
    if (member >= 0) {
        parts.mAddress = target.Left(member);
        parts.mMember = close >= 0 ? target.Mid(member + 1, close - open - 1) : target.Mid(member + 1);
    }
    return parts;
}

// A double as the single-precision value keys keep; out of that range, the
// infinity of its sign.
float Single(double value) {
    if (value > static_cast<double>(FLT_MAX)) {
        return std::numeric_limits<float>::infinity();
    }
    if (value < -static_cast<double>(FLT_MAX)) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

// The slope that a tangent of offset gives over a segment of the length
// (seconds) at the tangent weight; false when the segment or weight is empty.
bool Slope(double offset, double length, double weight, float& slope) {
    const double run = length * weight;
    if (!(std::fabs(run) > 0.0) || !std::isfinite(run)) {
        return false;
    }
    slope = Single(offset / run);
    return true;
}

// Whether every key time is a number and falls, as a curve's time, after
// the one before it.
bool TimesAscend(const std::vector<double>& times) {
    KTime last;
    for (std::size_t key = 0; key < times.size(); ++key) {
        if (!std::isfinite(times[key])) {
            return false;
        }
        KTime time;
        time.SetSecondDouble(times[key]);
        if (key > 0 && !(time > last)) {
            return false;
        }
        last = time;
    }
    return true;
}

bool SizeFits(std::size_t size, std::size_t expected) { return size == 0 || size == expected; }

constexpr std::size_t kMatrixValues = 16;
// Translation, rotation and scaling, X, Y and Z each.
constexpr std::size_t kMatrixParts = 9;

// A matrix channel's keys as the node's translation, rotation and scaling
// keys: each whole matrix of the outputs is taken apart as a node's matrix
// element is, and each key's interpolation serves all nine curves. Matrix
// tangents say nothing of the parts' slopes and are dropped.
void DecomposeMatrixKeys(ColladaSamplerData& data) {
    const std::size_t keys = data.mOutputs.size() / kMatrixValues;
    std::vector<double> parts;
    parts.reserve(std::max(keys, data.mTimes.size()) * kMatrixParts);
    for (std::size_t key = 0; key < keys; ++key) {
        KgeMatrix matrix;
        for (std::size_t value = 0; value < kMatrixValues; ++value) {
            matrix[value % 4][value / 4] = data.mOutputs[key * kMatrixValues + value];
        }
        for (const KFbxVector4& part : {matrix.GetT(), matrix.GetR(), matrix.GetS()}) {
            parts.insert(parts.end(), {part[0], part[1], part[2]});
        }
    }
    // Key times past the last whole matrix keep that matrix.
    for (std::size_t key = keys; keys > 0 && key < data.mTimes.size(); ++key) {
        for (std::size_t part = 0; part < kMatrixParts; ++part) {
            parts.push_back(parts[(keys - 1) * kMatrixParts + part]);
        }
    }
    data.mOutputs = std::move(parts);
    // Each key's name serves its nine parts.
    if (data.mInterpolations.size() == data.mTimes.size()) {
        data.mInterpolationRepeat = kMatrixParts;
    } else {
        data.mInterpolations.clear();
    }
    data.mInTangents.clear();
    data.mOutTangents.clear();
}

}  // namespace

bool KFbxReaderColladaPass::ImportAnimations() {
    for (xmlNode* animation : mAnimations) {
        if (!(mStatus = ImportAnimation(animation))) {
            return false;
        }
        // Nested animations after their parent's channels, each before its
        // own nested ones; one that fails leaves out only what it holds.
        std::vector<xmlNode*> nested;
        FindChildren(animation, "animation", nested);
        std::reverse(nested.begin(), nested.end());
        while (!nested.empty()) {
            xmlNode* inner = nested.back();
            nested.pop_back();
            if (ImportAnimation(inner)) {
                std::vector<xmlNode*> children;
                FindChildren(inner, "animation", children);
                nested.insert(nested.end(), children.rbegin(), children.rend());
            }
        }
    }
    mStatus = true;
    return true;
}

bool KFbxReaderColladaPass::ImportAnimation(xmlNode* animation) {
    if (!IsNamed(animation, "animation")) {
        return Error(KString("Node is not an animation node: ") + GetAttribute(animation, "id"));
    }
    for (xmlNode* channel : ChildElements(animation)) {
        if (IsNamed(channel, "channel") && !ImportChannel(animation, channel)) {
            return false;
        }
    }
    return true;
}

bool KFbxReaderColladaPass::ImportChannel(xmlNode* animation, xmlNode* channel) {
    const KString target = GetAttribute(channel, "target");
    const ColladaTargetParts parts = SplitTarget(target);
    const KString quoted = target.GetLen() > 0 ? KString(": ") + target : KString("");
    KFbxNode* root = mRoot;
    KFbxNode* node = nullptr;
    bool shape = false;
    if (parts.mElementId.GetLen() == 0) {
        const std::vector<ColladaMorphShapeRecord>* shapes = mMorphShapes.Find(parts.mAddress);
        if (shapes == nullptr || shapes->empty()) {
            return Error(KString("shape not found for animation") + quoted);
        }
        node = root->FindChild(shapes->front().mNodeName.Buffer(), true);
        shape = true;
    } else {
        node = root->FindChild(parts.mElementId.Buffer(), true);
        if (node == nullptr && mVisualSceneElement != nullptr) {
            const std::vector<KFbxNode*> instancing = FindInstancingNodes(mVisualSceneElement, *root, parts.mElementId);
            node = instancing.empty() ? nullptr : instancing.front();
        }
    }
    if (node == nullptr) {
        Warning(KString("node channel not found for animation") + quoted);
        return true;
    }
    if (node->CreateTakeNode(kTakeName) != nullptr) {
        node->SetCurrentTakeNodeByName(kTakeName);
    }
    bool scaled = false;
    bool matrix = false;
    const std::optional<std::vector<KFCurve*>> curves = ChannelCurves(*node, parts, shape, scaled, matrix);
    if (!curves) {
        return true;
    }
    if (curves->empty()) {
        Warning(KString("could not find curve for target ") + target);
        return true;
    }
    xmlNode* sampler = FindChildById(animation, GetReferenceId(channel, "source").Buffer());
    if (sampler == nullptr) {
        return true;
    }
    ColladaSamplerData data;
    for (xmlNode* input : ChildElements(sampler)) {
        if (!IsNamed(input, "input")) {
            continue;
        }
        const KString semantic = GetAttribute(input, "semantic");
        xmlNode* source = FindChildById(animation, GetReferenceId(input, "source").Buffer());
        bool read = true;
        if (semantic == "INPUT") {
            read = ReadSourceDoubles(source, data.mTimes);
        } else if (semantic == "OUTPUT") {
            read = ReadSourceDoubles(source, data.mOutputs);
        } else if (semantic == "IN_TANGENT") {
            read = ReadSourceDoubles(source, data.mInTangents);
        } else if (semantic == "OUT_TANGENT") {
            read = ReadSourceDoubles(source, data.mOutTangents);
        } else if (semantic == "INTERPOLATION") {
            read = ReadSourceNames(source, data.mInterpolations);
        } else {
            Warning(KString("unknown animation source: ") + semantic);
        }
        if (!read) {
            return Error(KString("reading array in <source>: ") + GetAttribute(input, "source"));
        }
    }
    if (scaled) {
        for (std::vector<double>* values : {&data.mOutputs, &data.mInTangents, &data.mOutTangents}) {
            for (double& value : *values) {
                value *= kPercent;
            }
        }
    }
    if (matrix) {
        if (data.mOutputs.size() != data.mTimes.size() * kMatrixValues) {
            const auto count = [](std::size_t size) { return static_cast<int>(std::min<std::size_t>(size, INT_MAX)); };
            Warning(KString("Number of matrix outputs (") + count(data.mOutputs.size()) + ") not 16 per key time (" +
                    count(data.mTimes.size()) + ").");
        }
        DecomposeMatrixKeys(data);
    }
    TurnTranslationKeys(parts, matrix, curves->size(), data);
    const std::size_t expected = data.mTimes.size() * curves->size();
    const std::size_t interpolations = data.mInterpolations.size() * data.mInterpolationRepeat;
    if (data.mOutputs.size() != expected || !SizeFits(data.mInTangents.size(), expected) ||
        !SizeFits(data.mOutTangents.size(), expected) || !SizeFits(interpolations, expected)) {
        Warning(KString("Number of outputs (") + static_cast<int>(data.mOutputs.size()) + ")," + " in tangents (" +
                static_cast<int>(data.mInTangents.size()) + ")," + " out tangents (" +
                static_cast<int>(data.mOutTangents.size()) + ") " + " or interpolation (" +
                static_cast<int>(interpolations) + ")" + " not the number expected (" +
                static_cast<int>(std::min<std::size_t>(expected, INT_MAX)) + ").");
    }
    const bool ascending = TimesAscend(data.mTimes);
    for (std::size_t index = 0; index < curves->size(); ++index) {
        MakeKeys(*(*curves)[index], data, index, curves->size(), ascending);
    }
    if (matrix) {
        // Each matrix gives its angles within +-180 degrees: unrolled, no key
        // turns the long way round to the next.
        KFCurveFilterUnroll unroll;
        KFCurve* rotation[3] = {(*curves)[3], (*curves)[4], (*curves)[5]};
        unroll.Apply(rotation, 3);
    }
    return true;
}

void KFbxReaderColladaPass::TurnTranslationKeys(const ColladaTargetParts& parts, bool matrix, std::size_t curves,
                                                ColladaSamplerData& data) {
    const ColladaTargetRecord* record = parts.mElementId.GetLen() > 0 ? mSidTargets.Find(parts.mAddress) : nullptr;
    if (record == nullptr || record->mTurn < 0 || (!matrix && record->mKind != "translate")) {
        return;
    }
    // The node took the turn after its transform (TurnNode): its
    // translation keys turn with its translation.
    const KgeMatrix& turn = mTurns[static_cast<std::size_t>(record->mTurn)];
    if (matrix) {
        for (std::size_t key = 0; key + 3 <= data.mOutputs.size(); key += kMatrixParts) {
            const KFbxVector4 turned =
                turn.MultT(KFbxVector4(data.mOutputs[key], data.mOutputs[key + 1], data.mOutputs[key + 2], 0.0));
            for (std::size_t axis = 0; axis < 3; ++axis) {
                data.mOutputs[key + axis] = turned[static_cast<int>(axis)];
            }
        }
        return;
    }
    // One member's curve, or the three of X, Y and Z in turn.
    const KString& member = parts.mMember;
    const int only = member == "X" ? 0 : member == "Y" ? 1 : member == "Z" ? 2 : -1;
    for (std::size_t curve = 0; curve < curves; ++curve) {
        double sign = 1.0;
        const int axis = only >= 0 ? only : static_cast<int>(curve);
        if (ColladaTurnedAxis(turn, axis, sign) < 0 || sign > 0.0) {
            continue;
        }
        for (std::vector<double>* values : {&data.mOutputs, &data.mInTangents, &data.mOutTangents}) {
            for (std::size_t at = curve; at < values->size(); at += curves) {
                (*values)[at] = -(*values)[at];
            }
        }
    }
}

void KFbxReaderColladaPass::MakeKeys(KFCurve& curve, const ColladaSamplerData& data, std::size_t component,
                                     std::size_t components, bool ascending) {
    if (data.mOutputs.empty()) {
        return;
    }
    const bool named = !data.mInterpolations.empty();
    const bool tangents = !data.mInTangents.empty() || !data.mOutTangents.empty();
    const unsigned interpolation = named ? KFCURVE_INTERPOLATION_CUBIC : KFCURVE_INTERPOLATION_LINEAR;
    const unsigned tangentMode = named && tangents ? KFCURVE_TANGENT_USER : KFCURVE_TANGENT_AUTO;
    curve.KeyModifyBegin();
    // Times that ascend make an empty curve's keys one after the other, key
    // n from sample n: each takes its interpolation as it is added, into room
    // made once. Otherwise keys land where their times put them, and the
    // interpolations follow the keys' places.
    const bool inPlace = ascending && curve.KeyGetCount() == 0 && data.mTimes.size() <= INT_MAX &&
                         curve.KeyResize(static_cast<int>(data.mTimes.size()));
    // Every key starts as this one, with the default tangents, weights and
    // velocities.
    KFCurveKey blank;
    blank.Set(KTime(), 0.0f, interpolation, tangentMode, 0.0, 0.0, KFCURVE_WEIGHTED_NONE, KFCURVE_DEFAULT_WEIGHT,
              KFCURVE_DEFAULT_WEIGHT, 0.0, 0.0);
    for (std::size_t key = 0; key < data.mTimes.size(); ++key) {
        const double seconds = data.mTimes[key];
        if (!std::isfinite(seconds)) {
            WarningOnce("animation key time", KString("animation key times that are not numbers are left out"));
            continue;
        }
        // Outputs past their end stand for the last one there is.
        const std::size_t output = std::min(key * components + component, data.mOutputs.size() - 1);
        const std::size_t name = (key * components + component) / data.mInterpolationRepeat;
        const unsigned kind = inPlace && name < data.mInterpolations.size()
                                  ? KeyInterpolation(data.mInterpolations[name], interpolation)
                                  : interpolation;
        KTime time;
        time.SetSecondDouble(seconds);
        KFCurveKey sample = blank;
        sample.SetTime(time);
        sample.SetValue(Single(data.mOutputs[output]));
        if (kind != interpolation) {
            sample.SetInterpolation(kind);
        }
        if (curve.KeyAdd(time, sample) < 0) {
            continue;
        }
        KFbxReaderCollada::TimeInfo& info = mReader.GetTimeInfo();
        if (!mKeyRead) {
            info.mStart = time;
            info.mStop = time;
            mKeyRead = true;
        } else {
            info.mStart = std::min(info.mStart, time);
            info.mStop = std::max(info.mStop, time);
        }
    }
    const int keys = curve.KeyGetCount();
    for (int key = 0; named && !inPlace && key < keys; ++key) {
        const std::size_t name = (static_cast<std::size_t>(key) * components + component) / data.mInterpolationRepeat;
        if (name >= data.mInterpolations.size()) {
            break;
        }
        const unsigned kind = KeyInterpolation(data.mInterpolations[name], interpolation);
        if (kind != interpolation) {
            curve.KeySetInterpolation(key, kind);
        }
    }
    for (int key = 0; tangents && key < keys; ++key) {
        const std::size_t at = static_cast<std::size_t>(key) * components + component;
        const double time = curve.KeyGetTime(key).GetSecondDouble();
        float slope = 0.0f;
        if (key > 0 && at < data.mInTangents.size() &&
            Slope(data.mInTangents[at], time - curve.KeyGetTime(key - 1).GetSecondDouble(),
                  curve.KeyGetLeftTangentWeight(key), slope)) {
            curve.KeySetLeftDerivative(key, slope);
        }
        if (key + 1 < keys && at < data.mOutTangents.size() &&
            Slope(data.mOutTangents[at], curve.KeyGetTime(key + 1).GetSecondDouble() - time,
                  curve.KeyGetRightTangentWeight(key), slope)) {
            curve.KeySetRightDerivative(key, slope);
            if (key > 0 && curve.KeyGetLeftDerivative(key) != slope) {
                curve.KeySetTangentBreak(key, true);
            }
        }
    }
    curve.KeyModifyEnd();
}

unsigned KFbxReaderColladaPass::KeyInterpolation(const KString& name, unsigned named) {
    if (name == "LINEAR") {
        return KFCURVE_INTERPOLATION_LINEAR;
    }
    if (name == "STEP") {
        return KFCURVE_INTERPOLATION_CONSTANT;
    }
    if (name != "BEZIER") {
        Warning(KString("this interpolation type is not supported: ") + name + " It will be interpreted as BEZIER.");
    }
    return named;
}

std::optional<std::vector<KFCurve*>> KFbxReaderColladaPass::ChannelCurves(KFbxNode& node, const ColladaTargetParts& parts,
                                                                          bool shape, bool& scaled, bool& matrix) {
    KFbxTakeNode* take = node.GetCurrentTakeNode();
    if (take == nullptr) {
        return std::vector<KFCurve*>();
    }
    const KString& member = parts.mMember;
    if (shape) {
        const char* cursor = member.Buffer();
        const int index = ParseInt(cursor);
        scaled = true;
        KFCurveNode* root = take->GetKFCurveNode();
        for (const ColladaMorphShapeRecord& record : *mMorphShapes.Find(parts.mAddress)) {
            if (record.mWeightIndex != index || record.mNodeName != node.GetName() || root == nullptr) {
                continue;
            }
            // The shape's channel, named after the shape, starts at its weight.
            const bool fresh = root->Find(record.mShapeName.Buffer()) == nullptr;
            KFCurveNode* channel = root->FindOrCreate(record.mShapeName.Buffer(), true);
            KFCurve* curve = channel != nullptr ? channel->FCurveGet() : nullptr;
            if (curve != nullptr) {
                const KFbxNodeAttribute* mesh = node.GetMesh();
                if (fresh && mesh != nullptr) {
                    curve->SetValue(Single(mesh->FindProperty(record.mShapeName.Buffer()).GetDouble() * kPercent));
                }
                return std::vector<KFCurve*>{curve};
            }
        }
        Warning(KString("Could not get shape channel for shape ") + index + ", node: " + node.GetName());
        return std::vector<KFCurve*>();
    }
    const ColladaTargetRecord* record = mSidTargets.Find(parts.mAddress);
    if (record == nullptr) {
        Warning(KString("unknown animation channel: ") + parts.mAddress);
        return std::nullopt;
    }
    const KString& kind = record->mKind;
    const auto axes = [&](KFCurve* x, KFCurve* y, KFCurve* z) -> std::vector<KFCurve*> {
        if (member == "X" || member == "R") {
            return {x};
        }
        if (member == "Y" || member == "G") {
            return {y};
        }
        if (member == "Z" || member == "B") {
            return {z};
        }
        if (member.GetLen() == 0) {
            return {x, y, z};
        }
        Warning(KString("unknown target in animation channel: ") + member);
        return {};
    };
    std::vector<KFCurve*> curves;
    if (kind == "translate" && member != "R" && member != "G" && member != "B") {
        KFCurve* translation[3] = {take->GetTranslationX(), take->GetTranslationY(), take->GetTranslationZ()};
        KFCurve* turned[3] = {translation[0], translation[1], translation[2]};
        for (int axis = 0; record->mTurn >= 0 && axis < 3; ++axis) {
            // Each axis of the document's onto the axis the node's turn
            // takes it to (ImportChannel gives the values its sign).
            double sign = 1.0;
            const int onto = ColladaTurnedAxis(mTurns[static_cast<std::size_t>(record->mTurn)], axis, sign);
            if (onto >= 0) {
                turned[axis] = translation[onto];
            } else {
                WarningOnce("turned translation", KString("the translation keys of node ") + node.GetName() +
                                                      " are kept in the axes of its element, which its parent turns"
                                                      " between the scene's axes");
            }
        }
        curves = axes(turned[0], turned[1], turned[2]);
    } else if (kind == "scale" && member != "R" && member != "G" && member != "B") {
        curves = axes(take->GetScaleX(), take->GetScaleY(), take->GetScaleZ());
    } else if (kind == "rotate") {
        if (member != "ANGLE") {
            Warning(KString("unknown target in animation channel: ") + member);
        } else if (record->mComponent <= 2) {
            KFCurve* rotation[3] = {take->GetEulerRotationX(), take->GetEulerRotationY(), take->GetEulerRotationZ()};
            curves = {rotation[record->mComponent]};
        }
    } else if (kind == "color" && member != "X" && member != "Y" && member != "Z") {
        curves = axes(take->GetColorR(), take->GetColorG(), take->GetColorB());
    } else if (kind == "intensity") {
        curves = {take->GetLightIntensity()};
        scaled = true;
    } else if (kind == "falloff_angle") {
        curves = {take->GetLightConeAngle()};
    } else if (kind == "xfov" || kind == "yfov") {
        // A camera with both angles animates each on its own curve.
        const auto* camera = dynamic_cast<const KFbxCamera*>(node.GetCamera());
        if (camera != nullptr && camera->GetApertureMode() == KFbxCamera::eHORIZONTAL_AND_VERTICAL) {
            curves = {kind == "xfov" ? take->GetCameraFieldOfViewX() : take->GetCameraFieldOfViewY()};
        } else {
            curves = {take->GetCameraFieldOfView()};
        }
    } else if (kind == "roll") {
        if (member.GetLen() != 0 && member != "ANGLE") {
            Warning(KString("unknown target in animation channel: ") + member);
        } else if (dynamic_cast<const KFbxCamera*>(node.GetNodeAttribute()) != nullptr) {
            curves = {take->GetCameraRoll()};
        } else {
            curves = {take->GetEulerRotationX()};
        }
    } else if (kind == "matrix") {
        if (member.GetLen() != 0) {
            Warning(KString("unknown target in animation channel: ") + member);
            return std::nullopt;
        }
        curves = {take->GetTranslationX(), take->GetTranslationY(), take->GetTranslationZ(),
                  take->GetEulerRotationX(), take->GetEulerRotationY(), take->GetEulerRotationZ(),
                  take->GetScaleX(), take->GetScaleY(), take->GetScaleZ()};
        if (std::find(curves.begin(), curves.end(), nullptr) != curves.end()) {
            return std::vector<KFCurve*>();
        }
        matrix = true;
        return curves;
    } else if (kind == "translate" || kind == "scale" || kind == "color") {
        Warning(KString("unknown target in animation channel: ") + member);
    } else {
        Warning(KString("unknown animation channel: ") + kind + ". This animation will be lost.");
        return std::nullopt;
    }
    curves.erase(std::remove(curves.begin(), curves.end(), nullptr), curves.end());
    return curves;
}

}  // namespace fbxsdk_2006_11_1
