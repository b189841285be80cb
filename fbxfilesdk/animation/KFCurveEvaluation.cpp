// Values and derivatives of a curve: extrapolation, segment interpolation and
// the derivatives of each key side.
#include <fbxfilesdk/animation/KFCurve.h>

#include <fbxfilesdk/animation/KFCurveDetail.h>
#include <fbxfilesdk/animation/KFCurveUtilities.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace fbxsdk_2006_11_1 {

using kfcurve_detail::SecondsBetween;

namespace {

constexpr float kClampTolerance = 0.0001f;
constexpr float kBrokenTcbAuto = 100.0f;

bool IsCubic(const KFCurveKey* key) { return key->GetInterpolation() == KFCURVE_INTERPOLATION_CUBIC; }
bool IsAutoMode(unsigned int mode) { return mode == KFCURVE_TANGENT_AUTO || mode == KFCURVE_TANGENT_AUTO_BREAK; }
bool IsUserMode(unsigned int mode) { return mode == KFCURVE_TANGENT_USER || mode == KFCURVE_TANGENT_USER_BREAK; }
bool IsCubicAuto(const KFCurveKey* key) { return IsCubic(key) && IsAutoMode(key->GetTangentMode()); }

float Slope(float from, float to, double seconds) { return static_cast<float>((to - from) / seconds); }

float Lerp(float a, float b, float u) { return a + (b - a) * u; }

// The last de Casteljau level of a cubic at u: its two points.
void CubicLastLevel(const float p[4], float u, float& r0, float& r1) {
    const float q0 = Lerp(p[0], p[1], u);
    const float q1 = Lerp(p[1], p[2], u);
    const float q2 = Lerp(p[2], p[3], u);
    r0 = Lerp(q0, q1, u);
    r1 = Lerp(q1, q2, u);
}

float Cubic(const float p[4], float u) {
    float r0;
    float r1;
    CubicLastLevel(p, u, r0, r1);
    return Lerp(r0, r1, u);
}

float Float(double value) { return static_cast<float>(value); }

}  // namespace

// --- Extrapolation and search ---------------------------------------------

double KFCurve::KeyFindWithExtrapolation(KTime time, int* hint) const {
    const int n = mKeyCount;
    if (n == 0) return -1.0;
    const std::int64_t t = time.Get();
    const std::int64_t first = KeyGetPtr(0)->GetTime().Get();
    const std::int64_t last = KeyGetPtr(n - 1)->GetTime().Get();
    const __int128 span = static_cast<__int128>(last) - first;
    constexpr __int128 kSmallest = std::numeric_limits<std::int64_t>::min();
    constexpr __int128 kLargest = std::numeric_limits<std::int64_t>::max();

    if (t < first) {
        const KFCurveExtrapolationMode mode = mPreExtrapolation;
        // Constant, keep slope (evaluated apart) and invalid modes read the
        // first key: nothing before it may be read.
        if (mode != KFCURVE_EXTRAPOLATION_REPETITION && mode != KFCURVE_EXTRAPOLATION_MIRROR_REPETITION) {
            if (hint) *hint = 0;
            return 0.0;
        }
        // The count is read unsigned: -1 repeats without a practical end.
        const __int128 count = static_cast<std::uint32_t>(mPreExtrapolationCount);
        __int128 limit = first - count * span;
        if (limit < kSmallest) limit = first + ((kSmallest - first) / span + 1) * span;
        if (t <= limit) {
            if (hint) *hint = 0;
            return 0.0;
        }
        const __int128 distance = static_cast<__int128>(first) - t;
        const __int128 spans = distance / span;
        const __int128 rest = distance % span;
        __int128 read = first + span - rest;
        if (mode == KFCURVE_EXTRAPOLATION_MIRROR_REPETITION && spans % 2 == 0) read = first + rest;
        return KeyFind(KTime(static_cast<std::int64_t>(read)), hint);
    }

    if (t > last) {
        const KFCurveExtrapolationMode mode = mPostExtrapolation;
        if (mode != KFCURVE_EXTRAPOLATION_REPETITION && mode != KFCURVE_EXTRAPOLATION_MIRROR_REPETITION) {
            if (hint) *hint = n - 1;
            return n - 1;
        }
        const __int128 count = static_cast<std::uint32_t>(mPostExtrapolationCount);
        __int128 limit = last + count * span;
        if (limit > kLargest) limit = kLargest;
        if (limit <= t) {
            if (hint) *hint = n - 1;
            return n - 1;
        }
        const __int128 distance = static_cast<__int128>(t) - last;
        const __int128 spans = distance / span;
        const __int128 rest = distance % span;
        __int128 read = first + rest;
        if (mode == KFCURVE_EXTRAPOLATION_MIRROR_REPETITION && spans % 2 == 0) read = last - rest;
        return KeyFind(KTime(static_cast<std::int64_t>(read)), hint);
    }

    return KeyFind(time, hint);
}

float KFCurve::KeepSlopeValue(KTime time) const {
    const int n = mKeyCount;
    const KTime first = KeyGetTime(0);
    const KTime last = KeyGetTime(n - 1);
    const __int128 span = static_cast<__int128>(last.Get()) - first.Get();
    const bool before = time < first;
    const int count = before ? mPreExtrapolationCount : mPostExtrapolationCount;
    // Any negative count continues without end, as -1 does.
    double seconds;
    if (count >= 0) {
        const __int128 reach = span * count;
        const __int128 limit = before ? first.Get() - reach : last.Get() + reach;
        const bool beyond = before ? time.Get() < limit : time.Get() > limit;
        if (beyond) {
            const double reachSeconds = double(reach) / double(KTime::kTicksPerSecond);
            seconds = before ? -reachSeconds : reachSeconds;
        } else {
            seconds = SecondsBetween(before ? first : last, time);
        }
    } else {
        seconds = SecondsBetween(before ? first : last, time);
    }
    if (before) return Float(double(KeyGetValue(0)) + double(KeyGetRightDerivative(0)) * seconds);
    return Float(double(KeyGetValue(n - 1)) + double(KeyGetLeftDerivative(n - 1)) * seconds);
}

// --- Values -----------------------------------------------------------------

float KFCurve::Evaluate(KTime time, int* hint) const {
    // Inside the segment read last, with the hint on one of its two keys, the
    // search would land on that segment again: take it as it is kept, and
    // move the hint as the search would have moved it.
    const SegmentShape& kept = mSegment;
    const std::int64_t t = time.Get();
    if (kept.mLeft >= 0 && t > kept.mStart && t < kept.mStop) {
        int& position = hint ? *hint : mKeyFindHint;
        if (position == kept.mLeft || position == kept.mLeft + 1) {
            position = position == kept.mLeft ? kept.mLeft + 1 : kept.mLeft;
            const double index = kept.mLeft + kfcurve_detail::TicksBetween(KTime(kept.mStart), time) /
                                                  kfcurve_detail::TicksBetween(KTime(kept.mStart), KTime(kept.mStop));
            if (index > kept.mLeft && index < kept.mLeft + 1) return SegmentValue(kept, Float(index - kept.mLeft));
            return EvaluateIndex(index);
        }
    }
    const int n = mKeyCount;
    // Most curves of a take are not animated: their value is the curve's own,
    // which the search and the index would come to.
    if (n == 0) return mValue;
    if (n >= 2) {
        if (mPreExtrapolation == KFCURVE_EXTRAPOLATION_KEEP_SLOPE && time < KeyGetTime(0)) return KeepSlopeValue(time);
        if (mPostExtrapolation == KFCURVE_EXTRAPOLATION_KEEP_SLOPE && time > KeyGetTime(n - 1)) {
            return KeepSlopeValue(time);
        }
    }
    return EvaluateIndex(KeyFindWithExtrapolation(time, hint));
}

float KFCurve::EvaluateCached(KTime time, int* hint) {
    if (HasEvaluationCache() && time == mCacheTime) return mCacheValue;
    const float value = Evaluate(time, hint);
    SetEvaluationCache(time, value);
    return value;
}

float KFCurve::EvaluateIndex(double index) const {
    const int n = mKeyCount;
    if (n == 0) return mValue;
    if (n == 1) return KeyGetValue(0);
    // Indices outside the keys (-0.5, count - 0.5, or any other) read the end keys.
    if (!(index > 0.0)) return KeyGetValue(0);
    if (index >= n - 1) return KeyGetValue(n - 1);
    const int left = static_cast<int>(index);  // the floor: index is positive
    if (left == index) return KeyGetValue(left);
    return SegmentValue(Segment(left), Float(index - left));
}

const KFCurve::SegmentShape& KFCurve::Segment(int left) const {
    SegmentShape& shape = mSegment;
    if (shape.mLeft == left) return shape;
    const KFCurveKey* l = KeyGetPtr(left);
    const KFCurveKey* r = KeyGetPtr(left + 1);
    shape.mInterpolation = l->GetInterpolation();
    shape.mConstantNext = l->GetConstantMode() == KFCURVE_CONSTANT_NEXT;
    shape.mStart = l->GetTime().Get();
    shape.mStop = r->GetTime().Get();
    const float dt = Float(SecondsBetween(l->GetTime(), r->GetTime()));
    shape.mSeconds = dt;
    shape.mP[0] = l->GetValue();
    shape.mP[3] = r->GetValue();
    shape.mWeighted = false;
    shape.mRightWeight = KFCURVE_DEFAULT_WEIGHT;
    shape.mLeftWeight = KFCURVE_DEFAULT_WEIGHT;
    if (shape.mInterpolation == KFCURVE_INTERPOLATION_CUBIC) {
        const float rightDerivative = KeyGetRightDerivative(left);
        const float leftDerivative = KeyGetLeftDerivative(left + 1);
        float b;
        float a;
        shape.mWeighted = (l->GetTangentWeightMode() & KFCURVE_WEIGHTED_ALL) != 0;
        if (shape.mWeighted) {
            shape.mRightWeight = KeyGetRightTangentWeight(left);
            shape.mLeftWeight = KeyGetLeftTangentWeight(left + 1);
            b = rightDerivative * dt * shape.mRightWeight;
            a = leftDerivative * dt * shape.mLeftWeight;
        } else {
            b = rightDerivative * dt / 3.0f;
            a = leftDerivative * dt / 3.0f;
        }
        shape.mP[1] = l->GetValue() + b;
        shape.mP[2] = r->GetValue() - a;
    }
    shape.mLeft = left;
    return shape;
}

float KFCurve::SegmentValue(const SegmentShape& shape, float u) {
    switch (shape.mInterpolation) {
        case KFCURVE_INTERPOLATION_CONSTANT: return shape.mConstantNext ? shape.mP[3] : shape.mP[0];
        case KFCURVE_INTERPOLATION_LINEAR: return Lerp(shape.mP[0], shape.mP[3], u);
        case KFCURVE_INTERPOLATION_CUBIC:
            if (!shape.mWeighted) return Cubic(shape.mP, u);
            return Cubic(shape.mP, 1.0f - KFCurveSolveSecant(u, shape.mRightWeight, shape.mLeftWeight));
        default: return 0.0f;
    }
}

float KFCurve::SegmentDerivative(int left, float u) const {
    const SegmentShape& shape = Segment(left);
    if (!shape.mWeighted) {
        const float d0 = shape.mP[1] - shape.mP[0];
        const float d1 = shape.mP[2] - shape.mP[1];
        const float d2 = shape.mP[3] - shape.mP[2];
        const float difference = Lerp(Lerp(d0, d1, u), Lerp(d1, d2, u), u);
        return 3.0f * difference / shape.mSeconds;
    }
    const float s = 1.0f - KFCurveSolveSecant(u, shape.mRightWeight, shape.mLeftWeight);
    const float timeControls[4] = {0.0f, shape.mRightWeight, 1.0f - shape.mLeftWeight, 1.0f};
    float v0;
    float v1;
    float t0;
    float t1;
    CubicLastLevel(shape.mP, s, v0, v1);
    CubicLastLevel(timeControls, s, t0, t1);
    // A time axis that stands still has no finite slope to give.
    if (t1 == t0) return 0.0f;
    return (v1 - v0) / (t1 - t0) / shape.mSeconds;
}

float KFCurve::EvaluateDerivative(KTime time, int* hint) const {
    const int n = mKeyCount;
    if (n < 2) return 0.0f;
    const double index = KeyFind(time, hint);
    if (!(index >= 0.0) || index > n - 1) return 0.0f;
    const int left = static_cast<int>(index);  // the floor: index is not negative
    if (left == index) return KeyGetLeftDerivative(left);
    const KFCurveKey* l = KeyGetPtr(left);
    const KFCurveKey* r = KeyGetPtr(left + 1);
    switch (l->GetInterpolation()) {
        case KFCURVE_INTERPOLATION_LINEAR:
            return Slope(l->GetValue(), r->GetValue(), SecondsBetween(l->GetTime(), r->GetTime()));
        case KFCURVE_INTERPOLATION_CUBIC: return SegmentDerivative(left, Float(index - left));
        default: return 0.0f;
    }
}

float KFCurve::EvaluateRightDerivative(KTime time, int* hint) const {
    const int n = mKeyCount;
    if (n < 2) return 0.0f;
    const double index = KeyFind(time, hint);
    if (index >= 0.0 && index <= n - 1 && std::floor(index) == index) {
        return KeyGetRightDerivative(static_cast<int>(index));
    }
    return EvaluateDerivative(time, hint);
}

// --- Key derivatives ----------------------------------------------------------

void KFCurve::ClampTest(int i, bool& flattenLeft, bool& flattenRight) const {
    flattenLeft = false;
    flattenRight = false;
    const KFCurveKey* key = KeyGetPtr(i);
    const unsigned int flags = key->GetFlags();
    if (!(flags & KFCURVE_TANGENT_AUTO) || !(flags & KFCURVE_TANGENT_CLAMP)) return;
    const float value = key->GetValue();
    const bool previousCubic = i >= 1 && IsCubic(KeyGetPtr(i - 1));
    const bool previousNear = previousCubic && std::fabs(value - KeyGetValue(i - 1)) <= kClampTolerance;
    const bool nextNear = i + 1 < mKeyCount && std::fabs(value - KeyGetValue(i + 1)) <= kClampTolerance;
    if (flags & KFCURVE_TANGENT_BREAK) {
        flattenLeft = previousNear;
        flattenRight = nextNear;
    } else if (previousNear) {
        flattenLeft = true;
        flattenRight = true;
    } else if (nextNear) {
        flattenRight = true;
        flattenLeft = previousCubic;
    }
}

float KFCurve::IncomingTCBDerivative(int i, float tension, float continuity, float bias) const {
    const float incoming = (1.0f - continuity) * (1.0f + bias) * (KeyGetValue(i) - KeyGetValue(i - 1));
    const float fromPrevious = Float(incoming / SecondsBetween(KeyGetTime(i - 1), KeyGetTime(i)));
    if (i >= mKeyCount - 1) return (1.0f - tension) * fromPrevious;
    const float outgoing = (1.0f + continuity) * (1.0f - bias) * (KeyGetValue(i + 1) - KeyGetValue(i));
    const float toNext = Float(outgoing / SecondsBetween(KeyGetTime(i), KeyGetTime(i + 1)));
    return (1.0f - tension) / 2.0f * (fromPrevious + toNext);
}

float KFCurve::KeyGetRightDerivative(int i) const {
    const int n = mKeyCount;
    if (n < 2) return 0.0f;
    if (i >= n - 1) return KeyGetLeftDerivative(n - 1);
    if (i < 0) i = 0;
    const KFCurveKey* key = KeyGetPtr(i);
    const KFCurveKey* next = KeyGetPtr(i + 1);
    switch (key->GetInterpolation()) {
        case KFCURVE_INTERPOLATION_LINEAR:
            return Slope(key->GetValue(), next->GetValue(), SecondsBetween(key->GetTime(), next->GetTime()));
        case KFCURVE_INTERPOLATION_CUBIC: break;
        default: return 0.0f;
    }
    const unsigned int mode = key->GetTangentMode();
    if (IsUserMode(mode)) return key->GetDataFloat(KFCurveKey::kSlotRightSlope);
    if (IsAutoMode(mode)) {
        bool flattenLeft;
        bool flattenRight;
        ClampTest(i, flattenLeft, flattenRight);
        if (flattenRight) return 0.0f;
        double derivative;
        KFCurveKeyAutoToRightDerivative(&derivative, key->GetDataFloat(KFCurveKey::kSlotRightSlope), this, i);
        return Float(derivative);
    }
    if (mode != KFCURVE_TANGENT_TCB) return 0.0f;
    const float tension = key->GetDataFloat(KFCurveKey::kTension);
    const float continuity = key->GetDataFloat(KFCurveKey::kContinuity);
    const float bias = key->GetDataFloat(KFCurveKey::kBias);
    const double toNextSeconds = SecondsBetween(key->GetTime(), next->GetTime());
    if (i == 0) {
        const float product = (1.0f - tension) * (1.0f - continuity) * (1.0f - bias) * (next->GetValue() - key->GetValue());
        return Float(product / toNextSeconds);
    }
    const float incoming = (1.0f + continuity) * (1.0f + bias) * (key->GetValue() - KeyGetValue(i - 1));
    const float outgoing = (1.0f - continuity) * (1.0f - bias) * (next->GetValue() - key->GetValue());
    const float fromPrevious = Float(incoming / SecondsBetween(KeyGetTime(i - 1), key->GetTime()));
    const float toNext = Float(outgoing / toNextSeconds);
    return (1.0f - tension) / 2.0f * (fromPrevious + toNext);
}

float KFCurve::KeyGetLeftDerivative(int i) const {
    const int n = mKeyCount;
    if (n < 2) return 0.0f;
    if (i > n - 1) i = n - 1;
    if (i < 1) return KeyGetRightDerivative(0);
    const KFCurveKey* previous = KeyGetPtr(i - 1);
    const KFCurveKey* key = KeyGetPtr(i);
    switch (previous->GetInterpolation()) {
        case KFCURVE_INTERPOLATION_LINEAR:
            return Slope(previous->GetValue(), key->GetValue(), SecondsBetween(previous->GetTime(), key->GetTime()));
        case KFCURVE_INTERPOLATION_CUBIC: break;
        default: return 0.0f;
    }
    const unsigned int previousMode = previous->GetTangentMode();
    const bool previousTcb = previousMode == KFCURVE_TANGENT_TCB;
    const float previousSlot = previous->GetDataFloat(KFCurveKey::kSlotNextLeftSlope);
    const auto autoToDerivative = [this, i](double autoValue) {
        double derivative;
        KFCurveKeyAutoToLeftDerivative(&derivative, autoValue, this, i);
        return Float(derivative);
    };

    switch (key->GetInterpolation()) {
        case KFCURVE_INTERPOLATION_CUBIC: break;
        case KFCURVE_INTERPOLATION_LINEAR:
            if (IsUserMode(previousMode)) return previousSlot;
            if (IsAutoMode(previousMode)) return autoToDerivative(previousSlot);
            if (previousTcb) return i < n - 1 ? KeyGetRightDerivative(i) : 0.0f;
            return 0.0f;
        case KFCURVE_INTERPOLATION_CONSTANT:
            if (IsUserMode(previousMode)) return previousSlot;
            if (IsAutoMode(previousMode)) return autoToDerivative(previousSlot);
            return 0.0f;
        default: return 0.0f;
    }

    const unsigned int mode = key->GetTangentMode();
    if (mode == KFCURVE_TANGENT_USER) {
        if (previousTcb) return i < n - 1 ? key->GetDataFloat(KFCurveKey::kSlotRightSlope) : 0.0f;
        return previousSlot;
    }
    if (mode == KFCURVE_TANGENT_USER_BREAK) {
        if (previousTcb) {
            return IncomingTCBDerivative(i, previous->GetDataFloat(KFCurveKey::kTension),
                                         previous->GetDataFloat(KFCurveKey::kContinuity),
                                         previous->GetDataFloat(KFCurveKey::kBias));
        }
        return previousSlot;
    }
    if (IsAutoMode(mode)) {
        bool flattenLeft;
        bool flattenRight;
        ClampTest(i, flattenLeft, flattenRight);
        if (flattenLeft) return 0.0f;
        float autoValue = previousSlot;
        if (previousTcb) {
            if (mode & KFCURVE_TANGENT_BREAK) {
                autoValue = kBrokenTcbAuto;
            } else {
                autoValue = i < n - 1 ? -key->GetDataFloat(KFCurveKey::kSlotRightSlope) : 0.0f;
            }
        }
        return autoToDerivative(autoValue);
    }
    if (mode == KFCURVE_TANGENT_TCB) {
        if (KFCurveGetAutoTangentOption()) return KeyGetRightDerivative(i);
        return IncomingTCBDerivative(i, key->GetDataFloat(KFCurveKey::kTension),
                                     key->GetDataFloat(KFCurveKey::kContinuity), key->GetDataFloat(KFCurveKey::kBias));
    }
    return 0.0f;
}

// --- Auto values, Bezier tangents, weights and velocities --------------------

float KFCurve::KeyGetRightAuto(int i, bool applyClamp) const {
    if (i < 0 || i >= mKeyCount) return 0.0f;
    return SideAuto(i, true, applyClamp);
}

float KFCurve::KeyGetLeftAuto(int i, bool applyClamp) const {
    // Key 0 has no left side of its own.
    if (i < 1 || i >= mKeyCount) return 0.0f;
    return SideAuto(i, false, applyClamp);
}

float KFCurve::SideAuto(int i, bool rightSide, bool applyClamp) const {
    const auto derivativeToAuto = [this, i, rightSide](double derivative) {
        double autoValue;
        if (rightSide) {
            KFCurveKeyRightDerivativeToAuto(&autoValue, derivative, this, i);
        } else {
            KFCurveKeyLeftDerivativeToAuto(&autoValue, derivative, this, i);
        }
        return Float(autoValue);
    };
    const KFCurveKey* key = KeyGetPtr(i);
    if (IsCubicAuto(key)) {
        if (applyClamp) {
            bool flattenLeft;
            bool flattenRight;
            ClampTest(i, flattenLeft, flattenRight);
            if (rightSide ? flattenRight : flattenLeft) return derivativeToAuto(0.0);
        }
        return rightSide ? key->GetDataFloat(KFCurveKey::kSlotRightSlope)
                         : KeyGetPtr(i - 1)->GetDataFloat(KFCurveKey::kSlotNextLeftSlope);
    }
    if (rightSide && i >= mKeyCount - 1) return 0.0f;
    return derivativeToAuto(rightSide ? KeyGetRightDerivative(i) : KeyGetLeftDerivative(i));
}

float KFCurve::KeyGetRightBezierTangent(int i) const {
    const int n = mKeyCount;
    if (n == 0) return 0.0f;
    if (n == 1) return KeyGetValue(0);
    if (i >= n - 1) return KeyGetValue(n - 1);
    if (i < 0) i = 0;
    const KFCurveKey* key = KeyGetPtr(i);
    switch (key->GetInterpolation()) {
        case KFCURVE_INTERPOLATION_CONSTANT: return key->GetValue();
        case KFCURVE_INTERPOLATION_LINEAR:
        case KFCURVE_INTERPOLATION_CUBIC: break;
        default: return 0.0f;
    }
    const float dt = Float(SecondsBetween(key->GetTime(), KeyGetTime(i + 1)));
    return key->GetValue() + KeyGetRightDerivative(i) * dt / 3.0f;
}

float KFCurve::KeyGetLeftBezierTangent(int i) const {
    const int n = mKeyCount;
    if (n == 0) return 0.0f;
    if (n == 1 || i <= 0) return KeyGetValue(0);
    if (i > n - 1) i = n - 1;
    const KFCurveKey* previous = KeyGetPtr(i - 1);
    switch (previous->GetInterpolation()) {
        case KFCURVE_INTERPOLATION_CONSTANT: return KeyGetValue(i);
        case KFCURVE_INTERPOLATION_LINEAR:
        case KFCURVE_INTERPOLATION_CUBIC: break;
        default: return 0.0f;
    }
    const float dt = Float(SecondsBetween(previous->GetTime(), KeyGetTime(i)));
    return KeyGetValue(i) - KeyGetLeftDerivative(i) * dt / 3.0f;
}

bool KFCurve::KeyIsRightTangentWeighted(int i) const {
    if (i < 0 || i >= mKeyCount - 1) return false;
    const KFCurveKey* key = KeyGetPtr(i);
    return IsCubic(key) && (key->GetTangentMode() & (KFCURVE_TANGENT_AUTO | KFCURVE_TANGENT_USER | KFCURVE_TANGENT_BREAK)) &&
           (key->GetFlags() & KFCURVE_WEIGHTED_RIGHT);
}

bool KFCurve::KeyIsLeftTangentWeighted(int i) const {
    if (i < 1 || i >= mKeyCount) return false;
    return (KeyGetPtr(i - 1)->GetFlags() & KFCURVE_WEIGHTED_NEXT_LEFT) != 0;
}

float KFCurve::KeyGetRightTangentWeight(int i) const {
    if (!KeyIsRightTangentWeighted(i)) return KFCURVE_DEFAULT_WEIGHT;
    return Float(KeyGetDataDouble(i, KFCurveKey::kSlotRightWeight));
}

float KFCurve::KeyGetLeftTangentWeight(int i) const {
    if (!KeyIsLeftTangentWeighted(i)) return KFCURVE_DEFAULT_WEIGHT;
    return Float(KeyGetDataDouble(i - 1, KFCurveKey::kSlotNextLeftWeight));
}

bool KFCurve::KeyIsRightTangentVelocity(int i) const {
    if (i < 0 || i >= mKeyCount - 1) return false;
    const KFCurveKey* key = KeyGetPtr(i);
    return IsCubic(key) && (key->GetTangentMode() & (KFCURVE_TANGENT_AUTO | KFCURVE_TANGENT_USER | KFCURVE_TANGENT_BREAK)) &&
           (key->GetFlags() & KFCURVE_VELOCITY_RIGHT);
}

bool KFCurve::KeyIsLeftTangentVelocity(int i) const {
    if (i < 1 || i >= mKeyCount) return false;
    return (KeyGetPtr(i - 1)->GetFlags() & KFCURVE_VELOCITY_NEXT_LEFT) != 0;
}

float KFCurve::KeyGetRightTangentVelocity(int i) const {
    if (!KeyIsRightTangentVelocity(i)) return 0.0f;
    return Float(KeyGetDataDouble(i, KFCurveKey::kSlotRightVelocity));
}

float KFCurve::KeyGetLeftTangentVelocity(int i) const {
    if (!KeyIsLeftTangentVelocity(i)) return 0.0f;
    return Float(KeyGetDataDouble(i - 1, KFCurveKey::kSlotNextLeftVelocity));
}

KFCurveTangentInfo KFCurve::KeyGetRightTangentInfo(int i) const {
    KFCurveTangentInfo info;
    info.mDerivative = KeyGetRightDerivative(i);
    info.mWeight = KeyGetRightTangentWeight(i);
    info.mWeighted = KeyIsRightTangentWeighted(i);
    info.mVelocity = KeyGetRightTangentVelocity(i);
    info.mHasVelocity = KeyIsRightTangentVelocity(i);
    info.mAuto = KeyGetRightAuto(i, false);
    return info;
}

KFCurveTangentInfo KFCurve::KeyGetLeftTangentInfo(int i) const {
    KFCurveTangentInfo info;
    info.mDerivative = KeyGetLeftDerivative(i);
    info.mWeight = KeyGetLeftTangentWeight(i);
    info.mWeighted = KeyIsLeftTangentWeighted(i);
    info.mVelocity = KeyGetLeftTangentVelocity(i);
    info.mHasVelocity = KeyIsLeftTangentVelocity(i);
    info.mAuto = KeyGetLeftAuto(i, false);
    return info;
}

bool KFCurve::KeyIsAutoFlat(int i) const {
    if (i < 0 || i >= mKeyCount) return false;
    const KFCurveKey* key = KeyGetPtr(i);
    if (!IsCubic(key) || !(key->GetFlags() & KFCURVE_TANGENT_AUTO)) return false;
    return KeyGetLeftAuto(i, false) == 0.0f && KeyGetRightAuto(i, false) == 0.0f && !KeyIsLeftTangentWeighted(i) &&
           !KeyIsRightTangentWeighted(i);
}

}  // namespace fbxsdk_2006_11_1
