// The current take's curves into library_animations: per animated node one
// "animation" holding one nested "animation" per curve, each with its
// sources, sampler and channel. In single-matrix mode a node's transform is
// sampled instead, as the local matrices its "matrix" element would hold.
//
// A channel is written only when its target exists in the document: a node
// element's transform sid, a camera's or light's parameter sid, or an item of
// a morph controller's weights. What COLLADA cannot address (visibility, the
// cone of a light that is no spot) is left out with a warning, so that no
// reader meets a dangling target, and no animation element is left empty.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/collada/ColladaSamplerData.h>
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlSource.h>
#include <fbxfilesdk/collada/ColladaXmlWrite.h>
#include <fbxfilesdk/collada/KFbxWriterCollada.h>
#include <fbxfilesdk/collada/KgeMatrixArray.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

// COLLADA gives morph weights and light intensities from 0 to 1, the SDK from 0 to 100.
constexpr double kFromPercent = 0.01;
constexpr int kFocalLengthApertureMode = 3;
// Sampled transforms: more samples than this in one take is a frame period
// that cannot be meant (a tick-sized step over minutes of animation).
constexpr std::int64_t kMaxSamples = 1000000;

bool HasKeys(const KFCurve* curve) { return curve != nullptr && curve->KeyGetCount() >= 2; }

const char* InterpolationName(unsigned interpolation) {
    switch (interpolation) {
    case KFCURVE_INTERPOLATION_CONSTANT:
        return "STEP";
    case KFCURVE_INTERPOLATION_CUBIC:
        return "BEZIER";
    default:
        return "LINEAR";
    }
}

// The sampler data of a curve's keys. Tangents are the value offsets of the
// keys' Bezier handles over their weight's share of the segment.
ColladaSamplerData SamplerDataOf(const KFCurve& curve, double scale, bool& notFinite) {
    ColladaSamplerData arrays;
    const int count = curve.KeyGetCount();
    for (int key = 0; key < count; ++key) {
        arrays.mTimes.push_back(curve.KeyGetTime(key).GetSecondDouble());
    }
    for (int key = 0; key < count; ++key) {
        const double time = arrays.mTimes[key];
        double in = 0.0;
        double out = 0.0;
        if (key > 0) {
            in = curve.KeyGetLeftDerivative(key) * curve.KeyGetLeftTangentWeight(key) * (time - arrays.mTimes[key - 1]);
        }
        if (key + 1 < count) {
            out = curve.KeyGetRightDerivative(key) * curve.KeyGetRightTangentWeight(key) *
                  (arrays.mTimes[key + 1] - time);
        }
        arrays.mOutputs.push_back(FiniteOrZero(curve.KeyGetValue(key) * scale, notFinite));
        arrays.mInTangents.push_back(FiniteOrZero(in * scale, notFinite));
        arrays.mOutTangents.push_back(FiniteOrZero(out * scale, notFinite));
        arrays.mInterpolations.emplace_back(InterpolationName(curve.KeyGetInterpolation(key)));
    }
    return arrays;
}

// The shape's curve in the take: the channel named after the shape.
KFCurve* ShapeCurve(KFbxTakeNode& take, const KFbxGeometry& geometry, int shape) {
    const char* name = geometry.GetShapeName(shape);
    KFCurveNode* root = take.GetKFCurveNode();
    KFCurveNode* channel = root != nullptr && name != nullptr ? root->Find(name) : nullptr;
    return channel != nullptr ? channel->FCurveGet() : nullptr;
}

// Whether the element or one of its descendants has the sid: the scope in
// which a target's sid is looked for. The nodes nested in a node have
// scopes of their own.
bool HasSid(const xmlNode* element, const char* sid) {
    for (const xmlNode* child : ChildElements(element)) {
        if (GetAttribute(child, "sid") == sid || (!IsNamed(child, "node") && HasSid(child, sid))) {
            return true;
        }
    }
    return false;
}

// What a written morph controller weighs: the id of its weight source and,
// weight by weight, the shape each weight is for (shapes the controller left
// out have no weight, so a shape's weight index need not be its own index).
struct MorphWeights {
    KString mSourceId;
    std::vector<const KFbxShape*> mShapes;
};

MorphWeights MorphWeightsOf(const xmlNode* controller, const std::vector<KFbxWriterCollada::ShapeTarget>& targets) {
    MorphWeights weights;
    const xmlNode* morph = FindChild(controller, "morph");
    std::vector<KString> targetIds;
    for (const xmlNode* input : ChildElements(FindChild(morph, "targets"))) {
        const KString semantic = GetAttribute(input, "semantic");
        if (semantic == "MORPH_WEIGHT") {
            weights.mSourceId = GetReferenceId(input, "source");
        } else if (semantic == "MORPH_TARGET") {
            ReadSourceNames(FindChildById(morph, GetReferenceId(input, "source").Buffer()), targetIds);
        }
    }
    for (const KString& targetId : targetIds) {
        const KFbxShape* shape = nullptr;
        for (const KFbxWriterCollada::ShapeTarget& target : targets) {
            if (target.mId == targetId) {
                shape = target.mShape;
            }
        }
        weights.mShapes.push_back(shape);
    }
    return weights;
}

void CollectIds(xmlNode* element, std::unordered_map<std::string, xmlNode*>& ids) {
    const KString id = GetAttribute(element, "id");
    if (id.GetLen() > 0) {
        ids.emplace(id.Buffer(), element);
    }
    for (xmlNode* child : ChildElements(element)) {
        CollectIds(child, ids);
    }
}

}  // namespace

bool KFbxWriterCollada::ExportLibraryAnimations(KFbxNode& node) {
    mTargetElements.clear();
    for (xmlNode* library : mLibraries) {
        if (library != nullptr) {
            CollectIds(library, mTargetElements);
        }
    }
    ExportAnimationsRecursive(node);
    mTargetElements.clear();
    return !HasFailed();
}

void KFbxWriterCollada::ExportAnimationsRecursive(KFbxNode& node) {
    KFbxTakeNode* take = node.GetCurrentTakeNode();
    // The scene's root node has no element of its own to animate.
    const bool isRoot = GetScene() != nullptr && &node == GetScene()->GetRootNode();
    const bool ownTake = take != nullptr && take != node.GetDefaultTakeNode();
    // A node without a take of its own may still move in the document, by
    // its aim or by its parent's turn.
    const bool sampled = IsWrittenAsMatrix(node) && IsSampled(node);
    if (!isRoot && (ownTake || sampled)) {
        xmlNode* animation = xmlNewNode(nullptr, reinterpret_cast<const xmlChar*>("animation"));
        if (animation == nullptr) {
            SetFailed();
            return;
        }
        const KString& nodeId = GetNodeId(node);
        SetAttribute(animation, "id", GetIds().Reserve(nodeId + "-anim").Buffer());
        SetAttribute(animation, "name", nodeId.Buffer());
        if (ownTake) {
            ExportNodeAnimation(node, animation, *take);
        } else {
            ExportSampledTransform(node, animation);
        }
        if (animation->children != nullptr) {
            AddToLibrary(eLIBRARY_ANIMATIONS, animation);
        } else {
            xmlFreeNode(animation);
        }
    }
    for (int index = 0; index < node.GetChildCount(); ++index) {
        if (KFbxNode* child = node.GetChild(index)) {
            ExportAnimationsRecursive(*child);
        }
    }
}

bool KFbxWriterCollada::ExportNodeAnimation(KFbxNode& node, xmlNode* animation, KFbxTakeNode& take) {
    const KString& nodeId = GetNodeId(node);
    const auto transform = [&](KFCurve* curve, const char* sid, const char* member) {
        ExportChannel(animation, curve, nodeId, sid, member, nodeId + "/" + sid + (*member != 0 ? "." : "") + member,
                      1.0);
    };
    if (!IsWrittenAsMatrix(node)) {
        transform(take.GetTranslationX(), "translate", "X");
        transform(take.GetTranslationY(), "translate", "Y");
        transform(take.GetTranslationZ(), "translate", "Z");
        transform(take.GetEulerRotationX(), "rotateX", "ANGLE");
        transform(take.GetEulerRotationY(), "rotateY", "ANGLE");
        transform(take.GetEulerRotationZ(), "rotateZ", "ANGLE");
        transform(take.GetScaleX(), "scale", "X");
        transform(take.GetScaleY(), "scale", "Y");
        transform(take.GetScaleZ(), "scale", "Z");
        transform(GetRollCurve(node), "roll", "ANGLE");
    } else if (IsSampled(node)) {
        ExportSampledTransform(node, animation);
    }
    if (HasKeys(take.GetVisibility())) {
        AddNotificationWarning(KString("visibility animation of node ") + node.GetName() +
                               " is not written: COLLADA has no element to carry it");
    }
    KFbxNodeAttribute* attribute = node.GetNodeAttribute();
    if (attribute == nullptr) {
        return true;
    }
    switch (attribute->GetAttributeType()) {
    case KFbxNodeAttribute::eLIGHT: {
        const KString base = GetCameraLightId(node);
        const auto parameter = [&](KFCurve* curve, const char* sid, const char* member, double scale) {
            ExportChannel(animation, curve, base, sid, member,
                          base + "/" + sid + (*member != 0 ? "." : "") + member, scale);
        };
        parameter(take.GetColorR(), "color", "R", 1.0);
        parameter(take.GetColorG(), "color", "G", 1.0);
        parameter(take.GetColorB(), "color", "B", 1.0);
        parameter(take.GetLightIntensity(), "intensity", "", kFromPercent);
        parameter(take.GetLightConeAngle(), "angle", "", 1.0);
        break;
    }
    case KFbxNodeAttribute::eCAMERA: {
        const KFbxCamera* camera = dynamic_cast<const KFbxCamera*>(attribute);
        if (camera != nullptr && camera->GetProjectionType() == KFbxCamera::ePERSPECTIVE) {
            ExportCameraAnimation(node, *camera, animation, take);
        }
        break;
    }
    case KFbxNodeAttribute::eMESH: {
        const KFbxGeometry* geometry = dynamic_cast<const KFbxGeometry*>(attribute);
        const KString* morphId = geometry != nullptr ? GetIds().Find(&node, "-lib-morph") : nullptr;
        const auto controller = morphId != nullptr ? mTargetElements.find(morphId->Buffer()) : mTargetElements.end();
        if (controller == mTargetElements.end()) {
            break;
        }
        const MorphWeights weights = MorphWeightsOf(controller->second, GetShapeTargets());
        for (int shape = 0; shape < geometry->GetShapeCount(); ++shape) {
            // The weight is addressed by its index in the weights source.
            const auto at = std::find(weights.mShapes.begin(), weights.mShapes.end(), geometry->GetShape(shape));
            if (at == weights.mShapes.end()) {
                continue;
            }
            const KString member = KString("Weight") + shape;
            ExportChannel(animation, ShapeCurve(take, *geometry, shape), *morphId, "weights", member.Buffer(),
                          weights.mSourceId + "(" + static_cast<int>(at - weights.mShapes.begin()) + ")",
                          kFromPercent);
        }
        break;
    }
    default:
        break;
    }
    return true;
}

void KFbxWriterCollada::ExportCameraAnimation(KFbxNode& node, const KFbxCamera& camera, xmlNode* animation,
                                              KFbxTakeNode& take) {
    const KString base = GetCameraLightId(node);
    const auto fieldOfView = [&](KFCurve* curve, const char* sid) {
        ExportChannel(animation, curve, base, sid, "", base + "/" + sid, 1.0);
    };
    switch (static_cast<int>(camera.GetApertureMode())) {
    case KFbxCamera::eVERTICAL:
        fieldOfView(take.GetCameraFieldOfView(), "yfov");
        break;
    case KFbxCamera::eHORIZONTAL:
        fieldOfView(take.GetCameraFieldOfView(), "xfov");
        break;
    case KFbxCamera::eHORIZONTAL_AND_VERTICAL:
        fieldOfView(take.GetCameraFieldOfViewX(), "xfov");
        fieldOfView(take.GetCameraFieldOfViewY(), "yfov");
        break;
    case kFocalLengthApertureMode: {
        const KFCurve* focalLength = take.GetCameraFocalLength();
        if (!HasKeys(focalLength)) {
            break;
        }
        AddNotificationWarning("Camera Focal Length converted to Field Of View");
        KFCurve converted;
        ConvertFocalLengthCurve(converted, *focalLength, camera);
        // The camera element carries the angle across the film's width.
        fieldOfView(&converted, "xfov");
        break;
    }
    default:
        break;
    }
}

void KFbxWriterCollada::ExportChannel(xmlNode* animation, const KFCurve* curve, const KString& base, const char* sid,
                                      const char* member, const KString& target, double scale) {
    if (!HasKeys(curve)) {
        return;
    }
    if (!TargetExists(target)) {
        AddNotificationWarning(KString("animation of ") + target + " is not written: the document has no such target");
        return;
    }
    ExportCurve(animation, *curve, base + "-" + sid, member, target, scale);
}

bool KFbxWriterCollada::TargetExists(const KString& target) const {
    const int slash = target.Find('/');
    if (slash < 0) {
        const int open = target.Find('(');
        return open > 0 && mTargetElements.count(target.Left(open).Buffer()) != 0;
    }
    const auto found = mTargetElements.find(target.Left(slash).Buffer());
    if (found == mTargetElements.end()) {
        return false;
    }
    KString sid = target.Mid(slash + 1);
    const int dot = sid.Find('.');
    if (dot >= 0) {
        sid = sid.Left(dot);
    }
    return HasSid(found->second, sid.Buffer());
}

bool KFbxWriterCollada::ExportCurve(xmlNode* animation, const KFCurve& curve, const KString& prefix,
                                    const char* member, const KString& target, double scale) {
    xmlNode* nested = AddElement(animation, "animation");
    bool notFinite = false;
    const ColladaSamplerData arrays = SamplerDataOf(curve, scale, notFinite);
    if (notFinite) {
        WarnNotFiniteAnimation(target);
    }
    const auto sourceId = [&](const char* suffix) { return ReserveSourceId(prefix + suffix + member); };
    const KString inputId = sourceId("-animation-input");
    const KString outputId = sourceId("-animation-output");
    const KString inTangentId = sourceId("-animation-intan");
    const KString outTangentId = sourceId("-animation-outtan");
    const KString interpolationId = sourceId("-animation-interpolation");
    const KString samplerId = GetIds().Reserve(prefix + "-animation" + member);

    const KString time[] = {KString("TIME")};
    const KString value[] = {KString(member)};
    const std::span<const KString> valueParam = *member != 0 ? std::span<const KString>(value) : std::span<const KString>();
    AddFloatSource(nested, inputId.Buffer(), time, arrays.mTimes, true);
    AddFloatSource(nested, outputId.Buffer(), valueParam, arrays.mOutputs, true);
    AddFloatSource(nested, inTangentId.Buffer(), valueParam, arrays.mInTangents, true);
    AddFloatSource(nested, outTangentId.Buffer(), valueParam, arrays.mOutTangents, true);
    AddNameSource(nested, interpolationId.Buffer(), arrays.mInterpolations, "name", true);

    xmlNode* sampler = AddElement(nested, "sampler");
    SetAttribute(sampler, "id", samplerId.Buffer());
    AddInput(sampler, "INPUT", inputId.Buffer(), -1, -1);
    AddInput(sampler, "OUTPUT", outputId.Buffer(), -1, -1);
    AddInput(sampler, "IN_TANGENT", inTangentId.Buffer(), -1, -1);
    AddInput(sampler, "OUT_TANGENT", outTangentId.Buffer(), -1, -1);
    AddInput(sampler, "INTERPOLATION", interpolationId.Buffer(), -1, -1);
    xmlNode* channel = AddElement(nested, "channel");
    SetAttribute(channel, "source", (KString("#") + samplerId).Buffer());
    SetAttribute(channel, "target", target.Buffer());
    return true;
}

bool KFbxWriterCollada::IsSampled(KFbxNode& node) {
    KFbxNode* parent = node.GetParent();
    return IsTranslationAnimated(node) || IsRotationAnimated(node) || IsScalingAnimated(node) ||
           IsTurnAnimated(node) || (parent != nullptr && IsTurnAnimated(*parent));
}

bool KFbxWriterCollada::GetSampledInterval(KFbxNode& node, KTime& start, KTime& stop) {
    bool found = false;
    // The takes of the node given and, with chain, of its ancestors.
    const auto widen = [&](KFbxNode* from, bool chain) {
        for (KFbxNode* at = from; at != nullptr; at = chain ? at->GetParent() : nullptr) {
            KFbxTakeNode* take = at->GetCurrentTakeNode();
            KTime first;
            KTime last;
            if (take == nullptr || take == at->GetDefaultTakeNode() || !take->GetAnimationInterval(first, last)) {
                continue;
            }
            start = !found || first < start ? first : start;
            stop = !found || last > stop ? last : stop;
            found = true;
        }
    };
    // The node's own curves, its parent's roll, and wherever the ends of
    // its aim or its parent's are.
    widen(&node, false);
    if (KFbxNode* parent = node.GetParent(); parent != nullptr && IsTurnAnimated(*parent)) {
        widen(parent, false);
    }
    for (KFbxNode* aimed : {&node, node.GetParent()}) {
        if (aimed != nullptr && IsAimed(*aimed)) {
            widen(aimed, true);
            widen(aimed->GetTarget(), true);
            widen(aimed->GetTargetUp(), true);
        }
    }
    return found;
}

void KFbxWriterCollada::ExportSampledTransform(KFbxNode& node, xmlNode* animation) {
    const KString& nodeId = GetNodeId(node);
    const KString target = nodeId + "/matrix";
    if (!TargetExists(target)) {
        AddNotificationWarning(KString("animation of ") + target + " is not written: the document has no such target");
        return;
    }
    KTime start;
    KTime stop;
    if (!GetSampledInterval(node, start, stop)) {
        return;
    }
    const std::int64_t period = GetFramePeriod().Get();
    if (stop.Get() < start.Get()) {
        stop = start;
    }
    // Whole frame periods from the start, and the stop time itself.
    const std::int64_t span = stop.Get() - start.Get();
    const std::int64_t steps = period > 0 ? span / period : 0;
    if (period <= 0 || steps >= kMaxSamples) {
        AddNotificationError(KString("the frame period gives too many samples for the animation of node ") +
                             node.GetName());
        SetFailed();
        return;
    }
    std::vector<double> times;
    KgeMatrixArray matrices;
    bool notFinite = false;
    const auto sample = [&](KTime time) {
        times.push_back(time.GetSecondDouble());
        KgeMatrix local = GetLocalMatrix(node, &time);
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 3; ++column) {
                local[row][column] = FiniteOrZero(local[row][column], notFinite);
            }
        }
        matrices.Add(local);
    };
    for (std::int64_t step = 0; step <= steps; ++step) {
        sample(KTime(start.Get() + step * period));
    }
    if (start.Get() + steps * period < stop.Get()) {
        sample(stop);
    }
    if (notFinite) {
        WarnNotFiniteAnimation(target);
    }

    xmlNode* nested = AddElement(animation, "animation");
    const KString inputId = ReserveSourceId(nodeId + "-Matrix-animation-input");
    const KString outputId = ReserveSourceId(nodeId + "-Matrix-animation-output-transform");
    const KString samplerId = GetIds().Reserve(nodeId + "-Matrix-animation-transform");
    const KString time[] = {KString("TIME")};
    AddFloatSource(nested, inputId.Buffer(), time, times, true);
    AddMatrixSource(nested, outputId.Buffer(), matrices);
    xmlNode* sampler = AddElement(nested, "sampler");
    SetAttribute(sampler, "id", samplerId.Buffer());
    AddInput(sampler, "INPUT", inputId.Buffer(), -1, -1);
    AddInput(sampler, "OUTPUT", outputId.Buffer(), -1, -1);
    xmlNode* channel = AddElement(nested, "channel");
    SetAttribute(channel, "source", (KString("#") + samplerId).Buffer());
    SetAttribute(channel, "target", target.Buffer());
}

void KFbxWriterCollada::ConvertFocalLengthCurve(KFCurve& destination, const KFCurve& focalLength,
                                                const KFbxCamera& camera) {
    const auto fieldOfView = [&camera](double millimetres) { return camera.ComputeFieldOfView(millimetres); };
    destination.SetValue(static_cast<float>(fieldOfView(focalLength.GetValue())));
    const int count = focalLength.KeyGetCount();
    destination.KeyModifyBegin();
    // Every key first: a key's handles reach into the segments beside it.
    for (int key = 0; key < count; ++key) {
        const int index = destination.KeyAddAtTime(focalLength.KeyGetTime(key));
        if (index >= 0) {
            destination.KeySetValue(index, static_cast<float>(fieldOfView(focalLength.KeyGetValue(key))));
        }
    }
    for (int key = 0; count == destination.KeyGetCount() && key < count; ++key) {
        const unsigned tangentMode = focalLength.KeyGetTangentMode(key);
        if (focalLength.KeyGetInterpolation(key) != KFCURVE_INTERPOLATION_CUBIC ||
            (tangentMode & KFCURVE_TANGENT_USER) == 0) {
            continue;
        }
        // A user handle keeps its end point: the angle of the focal length
        // the handle reaches, over the same share of the segment.
        destination.KeySetTangentMode(key, tangentMode);
        const double value = focalLength.KeyGetValue(key);
        const double seconds = focalLength.KeyGetTime(key).GetSecondDouble();
        if (key + 1 < count) {
            const double run = focalLength.KeyGetRightTangentWeight(key) *
                               (focalLength.KeyGetTime(key + 1).GetSecondDouble() - seconds);
            if (run != 0.0 && std::isfinite(run)) {
                const double reach = value + focalLength.KeyGetRightDerivative(key) * run;
                destination.KeySetRightDerivative(key, static_cast<float>((fieldOfView(reach) - fieldOfView(value)) / run));
            }
        }
        if (key > 0) {
            const double run = focalLength.KeyGetLeftTangentWeight(key) *
                               (seconds - focalLength.KeyGetTime(key - 1).GetSecondDouble());
            if (run != 0.0 && std::isfinite(run)) {
                const double reach = value - focalLength.KeyGetLeftDerivative(key) * run;
                destination.KeySetLeftDerivative(key, static_cast<float>((fieldOfView(value) - fieldOfView(reach)) / run));
            }
        }
    }
    destination.KeyModifyEnd();
}

void KFbxWriterCollada::WarnNotFiniteAnimation(const KString& target) {
    AddNotificationWarning(KString("animation of ") + target +
                           " has values that are not finite numbers; they are written as 0.");
}

}  // namespace fbxsdk_2006_11_1
