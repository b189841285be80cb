// Curve-node evaluation: time warp, cache, layer chains, Euler-rotation
// channels with their quaternion interpolation, and span transfer.
#include <fbxfilesdk/animation/KFCurveNode.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveDetail.h>
#include <fbxfilesdk/animation/KFCurveNodeMath.h>
#include <fbxfilesdk/animation/KFCurveUtilities.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFbxRotationOrder.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace fbxsdk_2006_11_1 {

using kfcurve_detail::AddTicks;
using kfcurve_detail::SecondsBetween;

namespace {

// Room for the values of one node: inline for the usual few, on the heap for
// wide nodes such as matrices.
class ScratchValues {
public:
    explicit ScratchValues(int count) {
        if (count > kInline) {
            try {
                mHeap.resize(static_cast<std::size_t>(count));
            } catch (const std::bad_alloc&) {
                SdkNoteAllocationFailure();
                mFailed = true;
            }
        }
    }
    bool Ok() const { return !mFailed; }
    double* Data() { return mHeap.empty() ? mInline : mHeap.data(); }

private:
    static constexpr int kInline = 16;
    double mInline[kInline] = {};
    std::vector<double> mHeap;
    bool mFailed = false;
};

double NeutralValue(int layerType, int component) {
    if (layerType == KFCL_SCALING) return 1.0;
    if (layerType == KFCL_QUATERNION) return component == 3 ? 1.0 : 0.0;
    return 0.0;
}

KTime SecondsToTime(double seconds) {
    KTime time;
    time.SetSecondDouble(seconds);
    return time;
}

// The time warp's time, stored as seconds.
KTime WarpedTime(KFCurveNode& timeWarp, KTime time, int* index, bool useCache) {
    const int count = timeWarp.GetValueCount();
    if (count < 1) return time;
    ScratchValues values(count);
    if (!values.Ok()) return time;
    timeWarp.Evaluate(values.Data(), time, index, useCache);
    return SecondsToTime(values.Data()[0]);
}

// The segment of an Euler-rotation channel between keys lo and hi of its X
// curve, as quaternions of the four key frames around it (the one before,
// the two around the time, the one after), all relative to the first frame.
struct RotationSegment {
    const KFCurve* curves[3];
    KFbxRotationOrder order;
    KTime time;
    int lo;
    int hi;

    KTime times[4];
    KgeMatrix frames[4];
    double q[4][4] = {};
    double s01 = 0.0, s12 = 0.0, s23 = 0.0;
    // Difference quotients of consecutive quaternions, per second.
    double d01[4] = {}, d12[4] = {}, d23[4] = {};

    RotationSegment(const KFCurve* x, const KFCurve* y, const KFCurve* z, int rotationOrder, KTime at, int left,
                    int right)
        : curves{x, y, z}, order(rotationOrder), time(at), lo(left), hi(right) {
        const KTime t1 = x->KeyGetTime(lo);
        const KTime t2 = x->KeyGetTime(hi);
        // Missing outer keys mirror the segment's length.
        const std::int64_t span = t2.Get() - t1.Get();
        times[0] = lo >= 1 ? x->KeyGetTime(lo - 1) : AddTicks(t1, -span);
        times[1] = t1;
        times[2] = t2;
        times[3] = hi + 1 < x->KeyGetCount() ? x->KeyGetTime(hi + 1) : AddTicks(t2, span);
        for (int k = 0; k < 4; ++k) {
            double angles[3];
            for (int axis = 0; axis < 3; ++axis) angles[axis] = curves[axis]->Evaluate(times[k]);
            order.EulerToMatrix(frames[k], angles);
            Relative(q[k], frames[k]);
        }
        for (int k = 1; k < 4; ++k) {
            if (Double4Dot(q[k], q[k - 1]) < 0.0) Double4Scale(q[k], q[k], -1.0);
        }
        s01 = SecondsBetween(times[0], t1);
        s12 = SecondsBetween(t1, t2);
        s23 = SecondsBetween(t2, times[3]);
        for (int c = 0; c < 4; ++c) {
            d01[c] = q[1][c] - q[0][c];
            d12[c] = q[2][c] - q[1][c];
            d23[c] = q[3][c] - q[2][c];
            if (s01 > 0.0) d01[c] /= s01;
            if (s12 > 0.0) d12[c] /= s12;
            if (s23 > 0.0) d23[c] /= s23;
        }
    }

    void Relative(double* out, const KgeMatrix& m) const {
        KgeMatrix relative;
        AffineMatrixMultiply(relative, frames[0], m);
        KgeQuaternionFromMatrix(out, relative);
    }

    // The key of curve a on time t at the curve's lower (upper) index around
    // the segment's time, or -1.
    int KeyOn(int axis, KTime t, bool upper) const {
        const KFCurve* curve = curves[axis];
        const int index = static_cast<int>(std::floor(curve->KeyFind(time))) + (upper ? 1 : 0);
        return index >= 0 && index < curve->KeyGetCount() && curve->KeyGetTime(index) == t ? index : -1;
    }

    // The Bezier handles of the keys at a segment end, as a quaternion; a
    // curve without a key there gives its value a third of the way in.
    void HandleControl(double* out, bool outgoing) const {
        const KTime end = outgoing ? times[1] : times[2];
        const KTime third = SecondsToTime(end.GetSecondDouble() + (outgoing ? s12 : -s12) / 3.0);
        double handles[3];
        for (int axis = 0; axis < 3; ++axis) {
            const KFCurve* curve = curves[axis];
            const int key = axis == 0 ? (outgoing ? lo : hi) : KeyOn(axis, end, !outgoing);
            if (key < 0) {
                handles[axis] = curve->Evaluate(third);
            } else {
                handles[axis] = outgoing ? curve->KeyGetRightBezierTangent(key) : curve->KeyGetLeftBezierTangent(key);
            }
        }
        // The handles are angles like the keys, so they turn by the same
        // order as the key frames they are compared with.
        KgeMatrix handle;
        order.EulerToMatrix(handle, handles);
        Relative(out, handle);
    }

    void Tcb(int key, double& tension, double& continuity, double& bias) const {
        tension = curves[0]->KeyGetDataFloat(key, KFCurveKey::kTension);
        continuity = curves[0]->KeyGetDataFloat(key, KFCurveKey::kContinuity);
        bias = curves[0]->KeyGetDataFloat(key, KFCurveKey::kBias);
    }

    // C1 = Q1 + TL s12 / 3, TL the outgoing tangent of key lo.
    void OutgoingControl(double* c1) const {
        const KFCurve* x = curves[0];
        const unsigned int mode = x->KeyGetTangentMode(lo);
        double tangent[4];
        if (mode == KFCURVE_TANGENT_TCB) {
            double tension, continuity, bias;
            Tcb(lo, tension, continuity, bias);
            for (int c = 0; c < 4; ++c) {
                const double next = (1.0 - bias) * (1.0 - continuity) * d12[c];
                const double previous = s01 > 0.0 ? (1.0 + bias) * (1.0 + continuity) * d01[c] : next;
                tangent[c] = (1.0 - tension) / 2.0 * (previous + next);
            }
        } else if (mode & KFCURVE_TANGENT_AUTO) {
            double autos[4];
            autos[0] = x->KeyGetRightAuto(lo, true);
            for (int axis = 1; axis < 3; ++axis) {
                const int key = KeyOn(axis, times[1], false);
                autos[axis] = key > 0 ? curves[axis]->KeyGetRightAuto(key, true) : 0.0;
            }
            autos[3] = (autos[0] + autos[1] + autos[2]) / 3.0;
            for (int c = 0; c < 4; ++c) KFCurveAutoToRightDerivative(&tangent[c], autos[c], d01[c], d12[c]);
        } else {
            HandleControl(c1, true);
            return;
        }
        for (int c = 0; c < 4; ++c) c1[c] = q[1][c] + tangent[c] * s12 / 3.0;
    }

    // C2 = Q2 - TR s12 / 3, TR the incoming tangent of key hi.
    void IncomingControl(double* c2) const {
        const KFCurve* x = curves[0];
        const unsigned int mode = x->KeyGetTangentMode(hi);
        double tangent[4];
        if (mode == KFCURVE_TANGENT_TCB) {
            double tension, continuity, bias;
            Tcb(hi, tension, continuity, bias);
            for (int c = 0; c < 4; ++c) {
                const double previous = (1.0 + bias) * (1.0 - continuity) * d12[c];
                const double next = s23 > 0.0 ? (1.0 - bias) * (1.0 + continuity) * d23[c] : previous;
                tangent[c] = (1.0 - tension) / 2.0 * (previous + next);
            }
        } else if (mode & KFCURVE_TANGENT_AUTO) {
            double autos[4];
            autos[0] = x->KeyGetLeftAuto(hi, true);
            for (int axis = 1; axis < 3; ++axis) {
                const int key = KeyOn(axis, times[2], true);
                autos[axis] = key >= 0 && key < curves[axis]->KeyGetCount() - 1
                                  ? curves[axis]->KeyGetLeftAuto(key, true)
                                  : autos[0];
            }
            autos[3] = (autos[0] + autos[1] + autos[2]) / 3.0;
            for (int c = 0; c < 4; ++c) KFCurveAutoToLeftDerivative(&tangent[c], autos[c], d12[c], d23[c]);
        } else {
            HandleControl(c2, false);
            return;
        }
        for (int c = 0; c < 4; ++c) c2[c] = q[2][c] - tangent[c] * s12 / 3.0;
    }
};

}  // namespace

// --- Values ---------------------------------------------------------------------

int KFCurveNode::GetValueCount() const {
    int count = mCurve ? 1 : 0;
    if (mLayerType == KFCL_QUATERNION && mLayerId == 0) return count + 3;
    for (const KFCurveNode* child : mChildren) count += child->GetValueCount();
    return count;
}

double* KFCurveNode::Evaluate(double* out, KTime time, int* index, bool useCache) {
    if (mTimeWarp) time = WarpedTime(*mTimeWarp, time, index, useCache);

    if (useCache && mCacheState == kCacheValid && mLayerId == 0 &&
        (mCachedTime == time || (mFlags & KFCN_CACHE_ALWAYS_VALID))) {
        // At most four values: a call to a general copy would cost more.
        for (int i = 0; i < kCachedValueCapacity && i < mCachedCount; ++i) out[i] = mCachedValues[i];
        return out + mCachedCount;
    }

    double* p = out;
    if (mCurve) *p++ = useCache ? mCurve->EvaluateCached(time, index) : mCurve->Evaluate(time, index);
    double* components = p;

    const bool quaternionBase = mLayerType == KFCL_QUATERNION && mLayerId == 0;
    double quaternion[4] = {0.0, 0.0, 0.0, 1.0};
    if (quaternionBase) {
        for (int i = 0; i < 4 && i < GetCount(); ++i) {
            if (Get(i)->GetValueCount() == 1) Get(i)->Evaluate(&quaternion[i], time, index, useCache);
        }
    } else if (mLayerType == KFCL_EULER_ROTATION) {
        p = EvaluateEulerRotation(p, time, index, useCache);
    } else {
        for (KFCurveNode* child : mChildren) p = child->Evaluate(p, time, index, useCache);
    }

    if (mNextLayer) {
        const int count = mNextLayer->GetValueCount();
        ScratchValues layer(count);
        if (layer.Ok()) {
            mNextLayer->Evaluate(layer.Data(), time, index, useCache);
            if (mCurve && count >= 1) {
                CombineLayerValues(out, out, layer.Data(), 1);
            } else if (quaternionBase) {
                if (count >= 4) KgeQuaternionMult(quaternion, quaternion, layer.Data());
            } else {
                CombineLayerValues(components, components, layer.Data(), std::min(static_cast<int>(p - components), count));
            }
        }
    }

    if (quaternionBase) {
        KgeMatrix rotation;
        RotationMatrixFromQuaternion(rotation, quaternion);
        KgeMatrixRotationToEulerXYZ(p, rotation);
        p += 3;
    }

    if (useCache && mLayerId == 0) StoreCache(time, out, static_cast<int>(p - out));
    return p;
}

void KFCurveNode::CombineLayerValues(double* out, const double* a, const double* b, int count) const {
    switch (mLayerType) {
        case KFCL_PLAIN:
        case KFCL_TRANSLATION: DoubleArrayAdd(out, a, b, count); break;
        case KFCL_SCALING:
            for (int i = 0; i < count; ++i) out[i] = a[i] * b[i];
            break;
        case KFCL_EULER_ROTATION:
            if (count >= 3) {
                const KFbxRotationOrder order(mRotationOrder);
                KgeMatrix first;
                KgeMatrix second;
                order.EulerToMatrix(first, a);
                order.EulerToMatrix(second, b);
                KgeMatrix product;
                KgeMatrixMultAffine(product, second, first);
                order.MatrixToEuler(out, product);
            }
            break;
        case KFCL_QUATERNION:
            if (count >= 4) KgeQuaternionMult(out, a, b);
            break;
        default:
            if (out != a) std::copy(a, a + count, out);
            break;
    }
}

void KFCurveNode::StoreCache(KTime time, const double* values, int count) {
    if (count > kCachedValueCapacity) return;
    for (int i = 0; i < kCachedValueCapacity && i < count; ++i) mCachedValues[i] = values[i];
    mCachedCount = count;
    mCachedTime = time;
    mCacheState = kCacheValid;
}

double* KFCurveNode::EvaluateCurves(double* out, KTime time, int* index) const {
    if (mCurve) *out++ = mCurve->Evaluate(time, index);
    for (int i = 0; i < GetCount(); ++i) out = Get(i)->EvaluateCurves(out, time, index);
    return out;
}

bool KFCurveNode::EvaluateComponentCurves(double* out, KTime time, int count) const {
    bool all = true;
    for (int i = 0; i < count; ++i) {
        const KFCurveNode* child = Get(i);
        if (child && child->mCurve) {
            out[i] = child->mCurve->Evaluate(time);
        } else {
            all = false;
        }
    }
    return all;
}

double* KFCurveNode::EvaluateLayerOnly(double* out, KTime time, int layerId, int* index) {
    KFCurveNode* node = FindLayer(GetLayerIdIfLayered(layerId));
    if (!node) return out;
    if (node->mCurve) *out++ = node->mCurve->Evaluate(time, index);
    if (node->mLayerType == KFCL_EULER_ROTATION) return node->EvaluateEulerRotation(out, time, index, false);
    for (int i = 0; i < node->GetCount(); ++i) out = node->Get(i)->EvaluateLayerOnly(out, time, layerId, index);
    return out;
}

void KFCurveNode::ClearOwnCache() {
    if (mCurve) mCurve->ClearEvaluationCache();
    mCachedTime = KTimeInfinite;
    mChanged = 1;
    mCacheState = kCacheInvalid;
    for (int i = 0; i < GetCount(); ++i) Get(i)->ClearOwnCache();
}

void KFCurveNode::ClearEvaluationCache(int layerId, bool alsoLaterLayers) {
    KFCurveNode* node = FindLayer(layerId);
    if (!node) return;
    node->ClearOwnCache();
    if (alsoLaterLayers) {
        for (KFCurveNode* later = node->mNextLayer; later; later = later->mNextLayer) later->ClearOwnCache();
    }
}

// --- Euler rotation -------------------------------------------------------------

double* KFCurveNode::EvaluateEulerRotation(double* out, KTime time, int* index, bool useCache) {
    const auto plain = [&]() {
        double* p = out;
        for (KFCurveNode* child : mChildren) p = child->Evaluate(p, time, index, useCache);
        return p;
    };
    if (GetCount() != 3 || !mQuaternionInterpolation) return plain();
    KFCurve* curves[3] = {Get(0)->mCurve, Get(1)->mCurve, Get(2)->mCurve};
    if (!curves[0] || curves[0]->KeyGetCount() <= 1) return plain();
    for (KFCurve* curve : curves) {
        // Strictly between two keys of every curve; on a key or outside the
        // keys the curves are read as they are.
        if (!curve) return plain();
        const double found = curve->KeyFind(time);
        if (!(found >= 0.0 && found <= curve->KeyGetCount() - 1) || std::floor(found) == found) return plain();
    }
    const int lo = static_cast<int>(std::floor(curves[0]->KeyFind(time)));
    if (!InterpolateThroughQuaternions(out, time, lo, lo + 1)) return plain();
    if (useCache) {
        for (int i = 0; i < 3; ++i) {
            KFCurveNode* child = Get(i);
            child->mCurve->ClearEvaluationCache();
            if (mLayerId == 0) child->StoreCache(time, &out[i], 1);
        }
    }
    return out + 3;
}

bool KFCurveNode::InterpolateThroughQuaternions(double* out, KTime time, int lo, int hi) {
    const KFCurve* x = Get(0)->mCurve;
    const unsigned int interpolation = x->KeyGetInterpolation(lo);
    if (interpolation != KFCURVE_INTERPOLATION_LINEAR && interpolation != KFCURVE_INTERPOLATION_CUBIC) return false;

    const RotationSegment segment(x, Get(1)->mCurve, Get(2)->mCurve, mRotationOrder, time, lo, hi);
    const double u = SecondsBetween(segment.times[1], time) / segment.s12;
    double result[4];
    if (interpolation == KFCURVE_INTERPOLATION_LINEAR) {
        DoubleArrayLerp(result, segment.q[1], segment.q[2], u, 4);
    } else {
        double c1[4];
        double c2[4];
        segment.OutgoingControl(c1);
        segment.IncomingControl(c2);
        double q2[4] = {segment.q[2][0], segment.q[2][1], segment.q[2][2], segment.q[2][3]};
        if (Double4Dot(c1, segment.q[1]) < 0.0) Double4Scale(c1, c1, -1.0);
        if (Double4Dot(c2, c1) < 0.0) Double4Scale(c2, c2, -1.0);
        if (Double4Dot(q2, c2) < 0.0) Double4Scale(q2, q2, -1.0);
        DoubleArrayBezier(result, segment.q[1], c1, c2, q2, u, 4);
    }

    KgeMatrix relative;
    RotationMatrixFromQuaternion(relative, result);
    // Back from the first frame: the relative rotation, then the first frame's.
    KgeMatrix absolute;
    KgeMatrixMultAffine(absolute, relative, segment.frames[0]);
    segment.order.MatrixToEuler(out, absolute);
    return true;
}

void KFCurveNode::EulerMatchPreviousKey(double* out, const double* angles, KTime time) const {
    if (mCurve || GetCount() != 3) return;
    KTime previous;
    KeyFindPrevious(previous, time);
    double reference[3] = {0.0, 0.0, 0.0};
    EvaluateComponentCurves(reference, previous, 3);
    EulerNearestTripleByOrder(out, angles, reference, mRotationOrder);
}

bool KFCurveNode::GetEulerTurnOffsets(double* out, const double* angles, const double* reference) const {
    double base[3] = {angles[0], angles[1], angles[2]};
    bool flip = false;
    if (mRotationOrder != KFbxRotationOrder::kSpheric) {
        double nearest[3];
        flip = EulerNearestTripleByOrder(nearest, angles, reference, mRotationOrder);
        if (flip) {
            const int* axes = KgeRotationOrderAxes(mRotationOrder);
            base[axes[0]] = angles[axes[0]] + 180.0;
            base[axes[1]] = 180.0 - angles[axes[1]];
            base[axes[2]] = angles[axes[2]] + 180.0;
        }
    }
    constexpr double kHalf = 0.5000000000000002;
    for (int axis = 0; axis < 3; ++axis) {
        const double turns = (reference[axis] - base[axis]) / 360.0;
        double whole = std::trunc(turns);
        const double fraction = turns - whole;
        if (fraction > kHalf) {
            whole += 1.0;
        } else if (fraction < -kHalf) {
            whole -= 1.0;
        }
        out[axis] = 360.0 * whole + (flip ? 180.0 : 0.0);
    }
    return flip;
}

// --- Layers and time warp -------------------------------------------------------

KFCurveNode* KFCurveNode::FindLayer(int layerId) {
    for (KFCurveNode* node = this; node; node = node->mNextLayer) {
        if (node->mLayerId == layerId) return node;
        if (node->mLayerId > layerId) return nullptr;
    }
    return nullptr;
}

void KFCurveNode::SetLayerType(int type, KFCurveNode* layerRoot) {
    if (type == mLayerType) return;
    const int wanted = type == KFCL_EULER_ROTATION ? 3 : type == KFCL_QUATERNION ? 4 : GetCount();
    if (GetCount() == 3 && wanted == 4) {
        KFCurveNode* w = Create("W", gKDataTypeNumber, KFCL_PLAIN, mLayerId);
        if (w && Add(w) >= 0) {
            w->mCurve = KFCurve::Create();
            if (layerRoot) w->mLayerRoot = layerRoot;
        } else {
            delete w;
        }
    } else if (GetCount() == 4 && wanted == 3 && mLayerType == KFCL_QUATERNION) {
        Delete(3);
    }
    mLayerType = type;
}

void KFCurveNode::SetLayerTypeOfKind() {
    const char* name = GetName();
    const KDataType* type = GetDataType();
    if (type == gKDataTypeLclRotation || std::strcmp(name, "R") == 0) {
        if (GetCount() == 3) {
            SetLayerType(KFCL_EULER_ROTATION);
        } else if (mLayerType == KFCL_EULER_ROTATION) {
            mLayerType = KFCL_PLAIN;
        }
    }
    if (type == gKDataTypeLclTranslation || std::strcmp(name, "T") == 0 || std::strstr(name, "Translation") != nullptr) {
        SetLayerType(KFCL_TRANSLATION);
    }
    if (type == gKDataTypeLclScaling || std::strcmp(name, "S") == 0 || std::strstr(name, "Scaling") != nullptr) {
        SetLayerType(KFCL_SCALING);
    }
}

KFCurveNode* KFCurveNode::AddLayer(int layerId) {
    // The chain keeps its layers by rising id: nothing goes before this node.
    if (!IsLayered() || layerId <= mLayerId) return nullptr;
    KFCurveNode* node = this;
    while (node->mNextLayer && node->mNextLayer->mLayerId < layerId) node = node->mNextLayer;
    if (node->mNextLayer && node->mNextLayer->mLayerId == layerId) return node->mNextLayer;
    return InsertLayerAfter(node, layerId);
}

KFCurveNode* KFCurveNode::InsertLayerAfter(KFCurveNode* previous, int layerId) {
    // The rest of the chain moves behind the new layer with its use count:
    // one holder replaces the other.
    KFCurveNode* rest = previous->mNextLayer;
    previous->mNextLayer = nullptr;
    KFCurveNode* layer = previous->CreateLayer(layerId, false);
    if (!layer) {
        previous->mNextLayer = rest;
        return nullptr;
    }
    layer->mNextLayer = rest;
    return layer;
}

KFCurveNode* KFCurveNode::CreateLayer(int layerId, bool destroyOld) {
    if (!IsLayered()) return nullptr;
    KFCurveNode* layer = Clone(*this, false, false, true, layerId);
    if (!layer) return nullptr;
    float color[3];
    if (layer->mCurve && mCurve) {
        layer->mCurve->SetValue(static_cast<float>(NeutralValue(layer->mLayerType, 0)));
        mCurve->GetColor(color);
        layer->mCurve->SetColor(color);
    }
    for (int i = 0; i < layer->GetCount() && i < GetCount(); ++i) {
        KFCurve* curve = layer->Get(i)->mCurve;
        KFCurve* model = Get(i)->mCurve;
        if (!curve || !model) continue;
        curve->SetValue(static_cast<float>(NeutralValue(layer->mLayerType, i)));
        model->GetColor(color);
        curve->SetColor(color);
    }
    SetNextLayer(layer, destroyOld);
    return layer;
}

double* KFCurveNode::GetLayerNeutralValues(double* out) const {
    const int count = GetCount() > 0 ? GetCount() : (mCurve ? 1 : 0);
    for (int i = 0; i < count; ++i) *out++ = NeutralValue(mLayerType, i);
    return out;
}

void KFCurveNode::SetNextLayer(KFCurveNode* layer, bool destroyOld) {
    if (layer == mNextLayer) return;
    KFCurveNode* old = mNextLayer;
    mNextLayer = nullptr;
    if (old) {
        if (destroyOld) {
            Release(old);
        } else {
            --old->mUseCount;
        }
    }
    if (layer) {
        ++layer->mUseCount;
        mNextLayer = layer;
    }
    if (mLayerRoot) mLayerRoot->PostEvent(KFCURVENODEEVENT_LAYERS);
}

void KFCurveNode::CopyLayersFrom(KFCurveNode& other, bool takeOver) {
    KFCurveNode* previous = this;
    KFCurveNode* wanted = other.mNextLayer;
    while (wanted || previous->mNextLayer) {
        KFCurveNode* mine = previous->mNextLayer;
        if (mine && (!wanted || mine->mLayerId < wanted->mLayerId)) {
            // A layer that the other chain lacks.
            previous->mNextLayer = mine->mNextLayer;
            mine->mNextLayer = nullptr;
            Release(mine);
            if (mLayerRoot) mLayerRoot->PostEvent(KFCURVENODEEVENT_LAYERS);
            continue;
        }
        if (!mine || mine->mLayerId > wanted->mLayerId) {
            mine = InsertLayerAfter(previous, wanted->mLayerId);
            if (!mine) return;
        }
        mine->CopyCurvesFrom(*wanted, takeOver);
        previous = mine;
        wanted = wanted->mNextLayer;
    }
}

void KFCurveNode::SetTimeWarp(KFCurveNode* timeWarp) {
    if (timeWarp == mTimeWarp) return;
    KFCurveNode* old = mTimeWarp;
    if (timeWarp) ++timeWarp->mUseCount;
    mTimeWarp = timeWarp;
    Release(old);
    PostEvent(KFCURVENODEEVENT_TIMEWARP);
}

void KFCurveNode::SetRotationOrder(int order) {
    for (KFCurveNode* node = this; node; node = node->mNextLayer) node->mRotationOrder = order;
}

void KFCurveNode::SetQuaternionInterpolation(bool on) {
    for (KFCurveNode* node = this; node; node = node->mNextLayer) node->mQuaternionInterpolation = on;
    if (mLayerRoot) {
        mLayerRoot->ClearEvaluationCache(0, true);
        mLayerRoot->PostEvent(KFCURVENODEEVENT_LAYERS);
    }
}

// --- Span transfer --------------------------------------------------------------

void KFCurveNode::ReplaceSpan(KFCurveNode& source, KTime start, KTime stop, bool keepSpan, bool flattenEmpty,
                              KTime timeOffset) {
    const KTime shiftedStart = AddTicks(start, timeOffset.Get());
    const KTime shiftedStop = AddTicks(stop, timeOffset.Get());
    if (mLayerType == KFCL_QUATERNION) {
        // The added keys are scaled from the quaternion length at the span's
        // start to that at its stop.
        double a[4] = {0.0, 0.0, 0.0, 1.0};
        double b[4] = {0.0, 0.0, 0.0, 1.0};
        EvaluateComponentCurves(a, shiftedStart, std::min(4, GetCount()));
        EvaluateComponentCurves(b, shiftedStop, std::min(4, GetCount()));
        const float factorStart = static_cast<float>(Double4Length(a));
        const float factorStop = static_cast<float>(Double4Length(b));
        if (source.GetCount() != GetCount()) return;
        for (int i = 0; i < 4 && i < GetCount(); ++i) {
            KFCurve* mine = Get(i)->mCurve;
            const KFCurve* theirs = source.Get(i)->mCurve;
            if (mine && theirs) {
                mine->ReplaceKeysInSpanScaled(*theirs, start, stop, factorStart, factorStop, keepSpan, flattenEmpty,
                                              timeOffset);
            }
        }
        return;
    }
    if (mLayerType == KFCL_EULER_ROTATION) {
        if (GetCount() < 3 || source.GetCount() < 3) return;
        double ownStart[3] = {0.0, 0.0, 0.0}, ownStop[3] = {0.0, 0.0, 0.0};
        double sourceStart[3] = {0.0, 0.0, 0.0}, sourceStop[3] = {0.0, 0.0, 0.0};
        EvaluateComponentCurves(ownStart, shiftedStart, 3);
        EvaluateComponentCurves(ownStop, shiftedStop, 3);
        source.EvaluateComponentCurves(sourceStart, start, 3);
        source.EvaluateComponentCurves(sourceStop, stop, 3);

        double largestIndex = -1.0;
        for (int i = 0; i < 3; ++i) {
            if (const KFCurve* curve = Get(i)->mCurve) largestIndex = std::max(largestIndex, curve->KeyFind(shiftedStart));
        }
        double startOffsets[3] = {0.0, 0.0, 0.0};
        bool flipped = false;
        if (largestIndex > 0.0) flipped = GetEulerTurnOffsets(startOffsets, sourceStart, ownStart);
        double shifted[3];
        for (int i = 0; i < 3; ++i) shifted[i] = sourceStop[i] + startOffsets[i];
        if (flipped) {
            // The flipped triple negates its middle angle.
            const int middle = KgeRotationOrderAxes(mRotationOrder)[1];
            shifted[middle] = startOffsets[middle] - sourceStop[middle];
        }
        double stopOffsets[3];
        GetEulerTurnOffsets(stopOffsets, ownStop, shifted);
        for (int i = 0; i < 3; ++i) {
            KFCurve* mine = Get(i)->mCurve;
            const KFCurve* theirs = source.Get(i)->mCurve;
            if (mine && theirs) {
                mine->ReplaceKeysInSpanOffset(*theirs, start, stop, static_cast<float>(startOffsets[i]),
                                              static_cast<float>(stopOffsets[i]), keepSpan, flattenEmpty, timeOffset);
            }
        }
        return;
    }
    if (mCurve && source.mCurve) mCurve->ReplaceKeysInSpan(*source.mCurve, start, stop, keepSpan, flattenEmpty, timeOffset);
    if (source.GetCount() == GetCount()) {
        for (int i = 0; i < GetCount(); ++i) {
            Get(i)->ReplaceSpan(*source.Get(i), start, stop, keepSpan, flattenEmpty, timeOffset);
        }
    }
}

}  // namespace fbxsdk_2006_11_1
