#include <fbxfilesdk/animation/KFCurveFilterKeyReducer.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterKeySync.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveSampling.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

#include <algorithm>
#include <cmath>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[] = {"No key", "Left unchanged"};
constexpr int kMessageCount = static_cast<int>(sizeof(kMessages) / sizeof(kMessages[0]));

// Below this depth a finished range is reported; deeper ones are too many to
// be worth telling.
constexpr int kReportDepth = 10;

void SetCubicKey(KFCurve& curve, int i, KTime time, float value, unsigned int tangentMode, double rightSlope,
                 double nextLeftSlope) {
    curve.KeySet(i, time, value, KFCURVE_INTERPOLATION_CUBIC, tangentMode, rightSlope, nextLeftSlope,
                 KFCURVE_WEIGHTED_NONE, KFCURVE_DEFAULT_WEIGHT, KFCURVE_DEFAULT_WEIGHT, 0.0, 0.0);
}

}  // namespace

KFCurveFilterKeyReducer::KFCurveFilterKeyReducer()
    : KFCurveFilter("Bezier Fit/Key Reducer", kMessages, kMessageCount) {
    KFCurveFilterKeyReducer::Reset();
}

const KPlugClassInfo* KFCurveFilterKeyReducer::GetClassInfo() const { return &gKFCurveFilterKeyReducerClassInfo; }

void KFCurveFilterKeyReducer::Reset() {
    mPrecision = 1.0;
    mKeySync = false;
    KFCurveFilter::Reset();
}

bool KFCurveFilterKeyReducer::Apply(KFCurve& curve) {
    const int count = curve.KeyGetCount();
    if (count < 2) {
        GetError().SetErrorWithText(1, "KeyReducer, No key were changed by filter.");
        return false;
    }
    const KTime start = std::max(GetStartTime(), curve.KeyGetTime(0));
    const KTime stop = std::min(GetStopTime(), curve.KeyGetTime(count - 1));
    if (!(stop.GetSecondDouble() - start.GetSecondDouble() > 0.0)) {
        GetError().SetErrorWithText(1, "KeyReducer, Invalid Time Span. No key were changed by filter.");
        return false;
    }
    KFCurve* fit = KFCurve::Create();
    KFCurve* original = KFCurve::Create();
    if (!fit || !original) {
        delete fit;
        delete original;
        GetError().SetError(1);
        return false;
    }
    fit->CopyFrom(curve, false);
    Fit(curve, *fit, start, stop);
    original->CopyFrom(curve, true);
    KFCurveMergeKeys(*original, *fit, curve);
    delete original;
    delete fit;
    return true;
}

bool KFCurveFilterKeyReducer::Apply(KFCurve** curves, int count) {
    const bool result = KFCurveFilter::Apply(curves, count);
    if (mKeySync && count >= 2) {
        KFCurveFilterKeySync sync;
        sync.SetStartTime(GetStartTime());
        sync.SetStopTime(GetStopTime());
        sync.Apply(curves, count);
    }
    return result;
}

bool KFCurveFilterKeyReducer::Apply(KFCurveNode& node, bool recursive) {
    const bool result = KFCurveFilter::Apply(node, recursive);
    if (mKeySync && node.GetCount() > 1) {
        KFCurveFilterKeySync sync;
        sync.SetStartTime(GetStartTime());
        sync.SetStopTime(GetStopTime());
        sync.Apply(node, recursive);
    }
    return result;
}

void KFCurveFilterKeyReducer::Fit(const KFCurve& source, KFCurve& fit, KTime start, KTime stop) {
    mDepth = 0;
    const int i0 = static_cast<int>(std::floor(source.KeyFind(start)));
    const int i1 = static_cast<int>(std::ceil(source.KeyFind(stop)));
    const KTime t0 = source.KeyGetTime(i0);
    const KTime t1 = source.KeyGetTime(i1);
    int n = fit.KeyAddAtTime(t0);
    if (n >= 0) {
        SetCubicKey(fit, n, t0, source.KeyGetValue(i0), KFCURVE_TANGENT_USER, source.KeyGetRightDerivative(i0),
                    source.KeyGetLeftDerivative(i1));
    }
    n = fit.KeyAddAtTime(t1);
    if (n >= 0) SetCubicKey(fit, n, t1, source.KeyGetValue(i1), KFCURVE_TANGENT_AUTO, 0.0, 0.0);
    Refine(source, fit, i0, i1);
}

double KFCurveFilterKeyReducer::MaxSquaredError(const KFCurve& source, const KFCurve& fit, int from, int to,
                                                int& worst) {
    double largest = 0.0;
    worst = -1;
    int hint = 0;
    for (int j = from; j < to; ++j) {
        const double error = double(fit.Evaluate(source.KeyGetTime(j), &hint)) - double(source.KeyGetValue(j));
        const double squared = error * error;
        // A NaN never wins, so the worst key always lies off the fit.
        if (squared > largest) {
            largest = squared;
            worst = j;
        }
    }
    return largest;
}

bool KFCurveFilterKeyReducer::Refine(const KFCurve& source, KFCurve& fit, int from, int to) {
    int m;
    const double error = MaxSquaredError(source, fit, from, to, m);
    if (m < 0 || !(error > mPrecision * mPrecision)) return false;
    ++mDepth;
    const KTime t = source.KeyGetTime(m);
    const int n = fit.KeyAddAtTime(t);
    if (n < 1) {
        // Out of memory (or a key before the fit's first, which the span
        // rules out): this range stays as it is.
        --mDepth;
        return false;
    }
    const float right = source.KeyGetRightDerivative(m);
    const float left = source.KeyGetLeftDerivative(m);
    const unsigned int tangent = left == right ? KFCURVE_TANGENT_USER : KFCURVE_TANGENT_USER_BREAK;
    // The new key takes over the left slope its right neighbour had; its own
    // left slope lives on the key before it.
    SetCubicKey(fit, n, t, source.KeyGetValue(m), tangent, right,
                fit.KeyGetDataDouble(n - 1, KFCurveKey::kSlotNextLeftSlope));
    fit.KeySetDataDouble(n - 1, KFCurveKey::kSlotNextLeftSlope, left);
    if (m - from > 1) {
        Refine(source, fit, from, m);
        if (mDepth < kReportDepth) OnRangeDone(from, m);
    }
    if (to - m > 1) {
        Refine(source, fit, m, to);
        if (mDepth < kReportDepth) OnRangeDone(m, to);
    }
    --mDepth;
    return true;
}

}  // namespace fbxsdk_2006_11_1
