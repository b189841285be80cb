#include <fbxfilesdk/animation/KFCurveFilter.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

#include <algorithm>
#include <memory>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// Every element is visited whatever the earlier answers; the result tells
// whether any answered true.
template <typename Visit>
bool AnyCurve(KFCurve** curves, int count, Visit visit) {
    bool any = false;
    for (int i = 0; i < count; ++i) {
        if (curves[i] && visit(*curves[i])) any = true;
    }
    return any;
}

// The children first (a filter may change the tree: the count is asked
// again each time), then the node's own curve.
template <typename VisitNode, typename VisitCurve>
bool AnyInTree(KFCurveNode& node, bool recursive, VisitNode visitNode, VisitCurve visitCurve) {
    bool any = false;
    if (recursive) {
        for (int i = 0; i < node.GetCount(); ++i) {
            if (visitNode(*node.Get(i))) any = true;
        }
    }
    if (KFCurve* curve = node.FCurveGet()) {
        if (visitCurve(curve)) any = true;
    }
    return any;
}

}  // namespace

KFCurveFilter::KFCurveFilter(const char* name, const char* const* messages, int messageCount)
    : mName(name), mError(messages, messageCount) {}

KFCurveFilter::~KFCurveFilter() {
    if ((GetFlags() & kBeingDestroyed) == 0) {
        Finalize();
        KObject::Destroy();
    }
}

const KPlugClassInfo* KFCurveFilter::GetClassInfo() const { return &gKFCurveFilterClassInfo; }

const char* KFCurveFilter::GetName() const { return mName; }

bool KFCurveFilter::NeedApply(KFCurve&) { return true; }

bool KFCurveFilter::NeedApply(KFCurve** curves, int count) {
    return AnyCurve(curves, count, [this](KFCurve& curve) { return NeedApply(curve); });
}

bool KFCurveFilter::NeedApply(KFCurveNode& node, bool recursive) {
    return AnyInTree(
        node, recursive, [this, recursive](KFCurveNode& child) { return NeedApply(child, recursive); },
        [this](KFCurve* curve) { return NeedApply(&curve, 1); });
}

bool KFCurveFilter::Apply(KFCurve** curves, int count) {
    return AnyCurve(curves, count, [this](KFCurve& curve) { return Apply(curve); });
}

bool KFCurveFilter::Apply(KFCurveNode& node, bool recursive) {
    return AnyInTree(
        node, recursive, [this, recursive](KFCurveNode& child) { return Apply(child, recursive); },
        [this](KFCurve* curve) { return Apply(*curve); });
}

void KFCurveFilter::Reset() {
    mStart = KTimeMinusInfinite;
    mStop = KTimeInfinite;
}

void KFCurveFilter::OnRangeDone(std::int64_t, std::int64_t) {}

int KFCurveFilter::GetStartKeyIndex(const KFCurve& curve) const {
    const int count = curve.KeyGetCount();
    if (count == 0) return -1;
    const KTime at = std::max(mStart, curve.KeyGetTime(0));
    return std::max(static_cast<int>(curve.KeyFind(at)), 0);
}

int KFCurveFilter::GetStopKeyIndex(const KFCurve& curve) const {
    const int count = curve.KeyGetCount();
    if (count == 0) return -1;
    const KTime at = std::min(mStop, curve.KeyGetTime(count - 1));
    return std::min(static_cast<int>(curve.KeyFind(at)), count - 1);
}

int KFCurveFilter::KeyIndexAt(const KFCurve& curve, KTime time) {
    const double found = curve.KeyFind(time);
    const int index = static_cast<int>(found);
    return index >= 0 && found == index ? index : -1;
}

double KFCurveFilter::ValueAt(const KFCurve& curve, KTime time) {
    const int index = KeyIndexAt(curve, time);
    return index >= 0 ? curve.KeyGetValue(index) : curve.Evaluate(time);
}

bool KFCurveFilter::ApplyToRotationCurves(KFCurve** curves) {
    struct NodeDeleter {
        void operator()(KFCurveNode* node) const { delete node; }
    };
    std::unique_ptr<KFCurveNode, NodeDeleter> rotation(new (std::nothrow) KFCurveNode("R", "R", nullptr));
    if (!rotation) {
        mError.SetError(1);
        return false;
    }
    rotation->SetLayerType(KFCL_EULER_ROTATION);
    static const char* const kAxes[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        KFCurveNode* axis = KFCurveNode::Create(kAxes[i], gKDataTypeNumber);
        if (!axis || rotation->Add(axis) < 0) {
            delete axis;
            mError.SetError(1);
            return false;
        }
    }
    // The children may not destroy curves they only borrow.
    for (int i = 0; i < 3; ++i) rotation->Get(i)->FCurveSet(curves[i], false);
    const bool result = Apply(*rotation, true);
    for (int i = 0; i < 3; ++i) rotation->Get(i)->FCurveSet(nullptr, false);
    return result;
}

}  // namespace fbxsdk_2006_11_1
