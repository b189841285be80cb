#include <fbxfilesdk/animation/KFCurveFilterUnroll.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterKeySync.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveNodeMath.h>
#include <fbxfilesdk/animation/KFCurveUtilities.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[] = {"No key", "Left unchanged", "Need rotation curvenode", "Unexepected"};
constexpr int kMessageCount = static_cast<int>(sizeof(kMessages) / sizeof(kMessages[0]));

const char* const kNoKeyText = "Unroll Filter, No key to be filtered.";
constexpr double kDegreesPerRadian = 57.29577951308232;

}  // namespace

KFCurveFilterUnroll::KFCurveFilterUnroll() : KFCurveFilter("Unroll Filter", kMessages, kMessageCount) {
    KFCurveFilterUnroll::Reset();
}

const KPlugClassInfo* KFCurveFilterUnroll::GetClassInfo() const { return &gKFCurveFilterUnrollClassInfo; }

void KFCurveFilterUnroll::Reset() {
    mPrecision = KFCurveGetUnrollPrecision();
    mUsePrecision = KFCurveGetUnrollOption();
    KFCurveFilter::Reset();
}

bool KFCurveFilterUnroll::NotRotation() {
    GetError().SetErrorWithText(2, "Unroll Filter, Works only on rotation CurveNodes.");
    return false;
}

bool KFCurveFilterUnroll::Apply(KFCurve&) { return NotRotation(); }

bool KFCurveFilterUnroll::Apply(KFCurve** curves, int count) {
    if (count != 3 || !curves[0] || !curves[1] || !curves[2]) return NotRotation();
    return ApplyToRotationCurves(curves);
}

bool KFCurveFilterUnroll::Apply(KFCurveNode& node, bool) {
    if (node.GetLayerType() != KFCL_EULER_ROTATION) return NotRotation();
    for (const char* axis : {"X", "Y", "Z"}) {
        const KFCurveNode* child = node.Find(axis);
        if (child && !child->FCurveGet()) return NotRotation();
    }
    return UnrollNode(node);
}

bool KFCurveFilterUnroll::UnrollNode(KFCurveNode& node) {
    if (node.GetCount() != 3 || node.GetLayerType() != KFCL_EULER_ROTATION) return NotRotation();
    for (int i = 0; i < 3; ++i) {
        if (!node.Get(i)->FCurveGet()) return NotRotation();
    }
    if (node.KeyGetCount() == 0) {
        GetError().SetErrorWithText(0, kNoKeyText);
        return false;
    }
    KTime first = KTimeInfinite;
    KTime last = KTimeMinusInfinite;
    for (int i = 0; i < 3; ++i) {
        const KFCurve& curve = *node.Get(i)->FCurveGet();
        if (curve.KeyGetCount() == 0) continue;
        first = std::min(first, curve.KeyGetTime(0));
        last = std::max(last, curve.KeyGetTime(curve.KeyGetCount() - 1));
    }
    const KTime start = std::max(GetStartTime(), first);
    const KTime stop = std::min(GetStopTime(), last);
    const int order = node.GetRotationOrder();

    // Curves that share their key times are their own synchronised copy:
    // whether the copy and the replacement are needed at all can be told on
    // them. With one key in the span the node never changes; and a span over
    // all keys whose values stay, replaced, gives back the very keys, whose
    // replacement only listeners would hear of.
    KFCurve* own[3] = {node.Get(0)->FCurveGet(), node.Get(1)->FCurveGet(), node.Get(2)->FCurveGet()};
    KFCurveFilterKeySync sync;
    sync.SetStartTime(GetStartTime());
    sync.SetStopTime(GetStopTime());
    if (!sync.NeedApply(own, 3)) {
        int hint = 0;
        const double startIndex = own[0]->KeyFind(start, &hint);
        if (startIndex == -1.0) {
            GetError().SetErrorWithText(0, kNoKeyText);
            return false;
        }
        const int i0 = static_cast<int>(startIndex);
        const int i1 = static_cast<int>(own[0]->KeyFind(stop, &hint));
        const bool wholeCurves = GetStartTime() <= first && GetStopTime() >= last;
        const bool heard = own[0]->HasCallbacks() || own[1]->HasCallbacks() || own[2]->HasCallbacks();
        if (i0 == i1 || (wholeCurves && !heard && !UnrollKeys(own, i0, i1, order, false))) return true;
    }

    KFCurveNode* work = KFCurveNode::CloneTree(node);
    if (!work) {
        GetError().SetError(3);
        return false;
    }
    KFCurve* curves[3] = {work->Get(0)->FCurveGet(), work->Get(1)->FCurveGet(), work->Get(2)->FCurveGet()};
    if (sync.NeedApply(curves, 3)) sync.Apply(curves, 3);

    KFCurve& x = *curves[0];
    int hint = 0;
    const double startIndex = x.KeyFind(start, &hint);
    const int i0 = static_cast<int>(startIndex);
    const int i1 = static_cast<int>(x.KeyFind(stop, &hint));
    if (startIndex == -1.0) {
        delete work;
        GetError().SetErrorWithText(0, kNoKeyText);
        return false;
    }
    UnrollKeys(curves, i0, i1, order, true);
    if (i0 != i1) node.ReplaceSpan(*work, GetStartTime(), GetStopTime(), false, true, KTime());
    delete work;
    return true;
}

bool KFCurveFilterUnroll::UnrollKeys(KFCurve* const* curves, int i0, int i1, int order, bool write) const {
    // X leads: outside the span Y and Z need not have keys at X's times, so
    // they are read and written by time, not by index.
    const auto valuesAt = [curves](double* values, KTime time) {
        for (int c = 0; c < 3; ++c) values[c] = ValueAt(*curves[c], time);
    };
    const KFCurve& x = *curves[0];
    double previous[3] = {0.0, 0.0, 0.0};
    if (i0 > 0) valuesAt(previous, x.KeyGetTime(i0));
    for (int i = i0; i <= i1; ++i) {
        const KTime time = x.KeyGetTime(i);
        double current[3];
        valuesAt(current, time);
        double out[3];
        EulerNearestTripleByOrder(out, current, previous, order);
        for (int c = 0; c < 3; ++c) {
            const int k = c == 0 ? i : KeyIndexAt(*curves[c], time);
            if (k < 0) continue;
            const auto value = static_cast<float>(out[c]);
            if (write) {
                curves[c]->KeySetValue(k, value);
            } else if (std::bit_cast<std::uint32_t>(value) != std::bit_cast<std::uint32_t>(curves[c]->KeyGetValue(k))) {
                // Bit for bit: a zero that changes its sign is a change too.
                return true;
            }
        }
        if (!(mUsePrecision && EulerStepRatio(previous, out) < mPrecision)) std::copy(out, out + 3, previous);
    }
    return false;
}

double KFCurveFilterUnroll::EulerStepRatio(const double* a, const double* b) {
    double distance = 0.0;
    for (int c = 0; c < 3; ++c) distance += (a[c] - b[c]) * (a[c] - b[c]);
    KgeMatrix ma;
    KgeMatrix mb;
    KgeMatrixSetRotationXYZ(ma, a[0], a[1], a[2]);
    KgeMatrixSetRotationXYZ(mb, b[0], b[1], b[2]);
    // The relative rotation b a^T; the helper's product applies its second
    // argument first.
    KgeMatrix transposed;
    KgeMatrixTranspose(transposed, ma);
    KgeMatrix relative;
    KgeMatrixMultAffine(relative, transposed, mb);
    double q[4];
    KgeQuaternionFromMatrix(q, relative);
    // Rounding may push w just past 1; a negative w is the same rotation
    // the short way round.
    const double w = std::min(std::fabs(q[3]), 1.0);
    const double angle = 2.0 * std::acos(w) * kDegreesPerRadian;
    if (distance <= DBL_EPSILON) return 100.0;
    return angle * angle / distance;
}

}  // namespace fbxsdk_2006_11_1
