#include <fbxfilesdk/animation/KFCurveUtilities.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveDetail.h>

#include <algorithm>
#include <cmath>

namespace fbxsdk_2006_11_1 {

namespace {

// The import settings block; nothing changes it.
constexpr std::int64_t kDefaultResamplePeriod = 1539538600;  // one frame at 30 frames a second
constexpr int kImportRotationFilter = 2;
constexpr double kUnrollPrecision = 0.25;
constexpr bool kUnrollOption = false;
constexpr bool kImportFilterOption = true;
constexpr bool kAutoTangentOption = false;

constexpr double kSmall = 1e-5;
constexpr double kLinearLimit = 500.0;

// The linear blend of the two chord slopes: p = 100 gives near, p = -100 far.
double Blend(double p, double near, double far) { return ((100.0 - p) / 100.0 * far + (p + 100.0) / 100.0 * near) * 0.5; }

double Excess(double p, double centre) {
    const double x = (p - centre) / 500.0;
    return 1000.0 * x * x;
}

// Both sides in one form: near is the slope that p = 100 selects (left slope
// for the left side, right slope for the right side). growing tells whether
// the side grows with p, which is also the direction of the quadratic term.
double AutoToDerivative(double p, double near, double far, bool growing) {
    if (std::fabs(p - 100.0) < kSmall) return near;
    if (std::fabs(p + 100.0) < kSmall) return far;
    const double blend = Blend(p, near, far);
    if (p > kLinearLimit) return growing ? blend + Excess(p, kLinearLimit) : blend - Excess(p, kLinearLimit);
    if (p < -kLinearLimit) return growing ? blend - Excess(p, -kLinearLimit) : blend + Excess(p, -kLinearLimit);
    return blend;
}

double DerivativeToAuto(double* derivative, double near, double far, bool growing) {
    double d = *derivative;
    if (std::fabs(d) < kSmall) {
        d = 0.0;
        *derivative = 0.0;
    }
    double upperEnd = AutoToDerivative(kLinearLimit, near, far, growing);
    double lowerEnd = AutoToDerivative(-kLinearLimit, near, far, growing);
    if (std::fabs(upperEnd) < kSmall) upperEnd = 0.0;
    if (std::fabs(lowerEnd) < kSmall) lowerEnd = 0.0;
    const bool upper = growing ? d > upperEnd : d < upperEnd;
    const bool lower = growing ? d < lowerEnd : d > lowerEnd;
    if (!upper && !lower) {
        if (std::fabs(near - far) < kSmall) return 0.0;
        return (200.0 * d - 100.0 * (near + far)) / (near - far);
    }
    // Solve blend(p) +- excess(p) = d, a quadratic in p.
    const double k = (upper == growing) ? 1000.0 : -1000.0;
    const double a = k / 250000.0;
    const double b = (near - far) / 200.0 + (upper ? -2.0 : 2.0) * k / 500.0;
    const double q = k + (near + far) / 2.0;
    // Rounding can push a root that touches the range end just out of reach.
    const double root = std::sqrt(std::max(0.0, b * b - 4.0 * a * (q - d)));
    const double r1 = (-b + root) / (2.0 * a);
    const double r2 = (-b - root) / (2.0 * a);
    return upper ? std::max(r1, r2) : std::min(r1, r2);
}

bool LeftGrows(double left, double right) { return left > right; }
bool RightGrows(double left, double right) { return right >= left; }

// The chord slopes of key i; false (the per-key forms then give 0) for a
// curve without keys.
bool KeySlopes(const KFCurve* curve, int i, double& left, double& right) {
    if (!curve || curve->KeyGetCount() == 0) return false;
    KFCurveGetKeySlopes(&left, &right, curve, i);
    return true;
}

float SegmentTime(float r, float u, float rightWeight, float leftWeight) {
    const float s = 1.0f - r;
    return s * s * s + 3.0f * s * s * r * (1.0f - leftWeight) + 3.0f * s * r * r * rightWeight - u;
}

}  // namespace

KTime KFCurveGetDefaultResamplePeriod() { return KTime(kDefaultResamplePeriod); }
int KFCurveGetImportRotationFilter() { return kImportRotationFilter; }
double KFCurveGetUnrollPrecision() { return kUnrollPrecision; }
bool KFCurveGetUnrollOption() { return kUnrollOption; }
bool KFCurveGetImportFilterOption() { return kImportFilterOption; }
bool KFCurveGetAutoTangentOption() { return kAutoTangentOption; }

void KFCurveGetKeySlopes(double* left, double* right, const KFCurve* curve, int i) {
    double l = 0.0;
    double r = 0.0;
    const int n = curve ? curve->KeyGetCount() : 0;
    if (n >= 2 && i >= 0 && i < n) {
        using kfcurve_detail::SecondsBetween;
        if (i < n - 1) {
            r = (double(curve->KeyGetValue(i + 1)) - double(curve->KeyGetValue(i))) /
                SecondsBetween(curve->KeyGetTime(i), curve->KeyGetTime(i + 1));
        }
        if (i >= 1) {
            l = (double(curve->KeyGetValue(i)) - double(curve->KeyGetValue(i - 1))) /
                SecondsBetween(curve->KeyGetTime(i - 1), curve->KeyGetTime(i));
        }
        if (i == 0) l = r;
        if (i == n - 1) r = l;
    }
    if (left) *left = l;
    if (right) *right = r;
}

void KFCurveAutoToLeftDerivative(double* derivative, double autoValue, double left, double right) {
    *derivative = AutoToDerivative(autoValue, left, right, LeftGrows(left, right));
}

void KFCurveAutoToRightDerivative(double* derivative, double autoValue, double left, double right) {
    *derivative = AutoToDerivative(autoValue, right, left, RightGrows(left, right));
}

void KFCurveKeyAutoToLeftDerivative(double* derivative, double autoValue, const KFCurve* curve, int i) {
    double left;
    double right;
    *derivative = KeySlopes(curve, i, left, right) ? AutoToDerivative(autoValue, left, right, LeftGrows(left, right))
                                                   : 0.0;
}

void KFCurveKeyAutoToRightDerivative(double* derivative, double autoValue, const KFCurve* curve, int i) {
    double left;
    double right;
    *derivative = KeySlopes(curve, i, left, right) ? AutoToDerivative(autoValue, right, left, RightGrows(left, right))
                                                   : 0.0;
}

void KFCurveLeftDerivativeToAuto(double* autoValue, double* derivative, double left, double right) {
    *autoValue = DerivativeToAuto(derivative, left, right, LeftGrows(left, right));
}

void KFCurveRightDerivativeToAuto(double* autoValue, double* derivative, double left, double right) {
    *autoValue = DerivativeToAuto(derivative, right, left, RightGrows(left, right));
}

void KFCurveKeyLeftDerivativeToAuto(double* autoValue, double derivative, const KFCurve* curve, int i) {
    double left;
    double right;
    *autoValue = KeySlopes(curve, i, left, right) ? DerivativeToAuto(&derivative, left, right, LeftGrows(left, right))
                                                  : 0.0;
}

void KFCurveKeyRightDerivativeToAuto(double* autoValue, double derivative, const KFCurve* curve, int i) {
    double left;
    double right;
    *autoValue = KeySlopes(curve, i, left, right) ? DerivativeToAuto(&derivative, right, left, RightGrows(left, right))
                                                  : 0.0;
}

void KFCurveDerivativesToAuto(double* leftAuto, double* rightAuto, double leftDerivative, double rightDerivative,
                              double left, double right) {
    KFCurveLeftDerivativeToAuto(leftAuto, &leftDerivative, left, right);
    KFCurveRightDerivativeToAuto(rightAuto, &rightDerivative, left, right);
}

void KFCurveKeyDerivativesToAuto(double* leftAuto, double* rightAuto, double leftDerivative,
                                 double rightDerivative, const KFCurve* curve, int i) {
    KFCurveKeyLeftDerivativeToAuto(leftAuto, leftDerivative, curve, i);
    KFCurveKeyRightDerivativeToAuto(rightAuto, rightDerivative, curve, i);
}

void KFCurveComputeTCBFromDerivatives(double* tension, double* continuity, double* bias, double leftDerivative,
                                      double rightDerivative, const KFCurve* curve, int i) {
    const int n = curve ? curve->KeyGetCount() : 0;
    double x = leftDerivative;
    double y = rightDerivative;
    double t = *tension;
    double c = 0.0;
    double b = 0.0;
    double chordLeft;
    double chordRight;
    KFCurveGetKeySlopes(&chordLeft, &chordRight, curve, i);
    double sL = chordLeft;
    double sR = chordRight;
    if (i < 1) {
        sL = 0.0;
        x = 0.0;
        y /= 2.0;
    }
    if (i >= n - 1) {
        sR = 0.0;
        y = 0.0;
        x /= 2.0;
    }
    if (std::fabs(sR - sL) >= 1e-10) {
        if (std::fabs(1.0 - t) < 0.01) t = 0.0;
        const double d = sL - sR;
        b = ((x + y) / (1.0 - t) - (sR + sL)) / d;
        c = (2.0 * y / (1.0 - t) - sR - sL) - d * b;
        const double divisor = b * (sR + sL) + d;
        if (std::fabs(divisor) > 1e-10) c /= divisor;
    } else if (std::fabs(y - x) >= 1e-10) {
        c = (x + y) / (y - x);
        b = 1.0;
        // A flat neighbourhood leaves no tension that gives the derivatives.
        const double scale = (1.0 - c) * (sR + sL);
        t = std::fabs(scale) > 1e-10 ? (scale - x) / scale : 0.0;
    } else {
        t = 0.0;
    }
    *tension = t;
    *continuity = c;
    *bias = b;
}

float KFCurveSolveSecant(float u, float rightWeight, float leftWeight) {
    const float g0 = SegmentTime(0.0f, u, rightWeight, leftWeight);
    const float g1 = SegmentTime(1.0f, u, rightWeight, leftWeight);
    float current = 1.0f;
    float gCurrent = g1;
    float previous = 0.0f;
    float gPrevious = g0;
    if (std::fabs(g0) < std::fabs(g1)) {
        current = 0.0f;
        gCurrent = g0;
        previous = 1.0f;
        gPrevious = g1;
    }
    for (int iteration = 0; iteration < 15 && gCurrent != 0.0f; ++iteration) {
        const float slope = gCurrent - gPrevious;
        if (slope == 0.0f) break;
        const float step = (previous - current) * gCurrent / slope;
        previous = current;
        gPrevious = gCurrent;
        current += step;
        gCurrent = SegmentTime(current, u, rightWeight, leftWeight);
        if (std::fabs(step) < 1e-6f) break;
    }
    if (!(current >= 0.0f)) return 0.0f;  // NaN too
    return std::min(current, 1.0f);
}

}  // namespace fbxsdk_2006_11_1
