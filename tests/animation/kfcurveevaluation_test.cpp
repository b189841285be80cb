// Values and derivatives of the function curve.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveUtilities.h>

#include "CurveTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace fbxsdk_2006_11_1;
using curvetest::Sec;

namespace {

// The tangent mode of a constant key is its constant mode (next or standard).
void AddKey(KFCurve& curve, double seconds, float value, unsigned int interpolation,
            unsigned int tangentMode = KFCURVE_TANGENT_AUTO, double rightSlope = 0.0, double nextLeftSlope = 0.0) {
    curve.KeySet(curve.KeyGetCount(), Sec(seconds), value, interpolation, tangentMode, rightSlope, nextLeftSlope);
}

void AddTcb(KFCurve& curve, double seconds, float value, float tension, float continuity, float bias) {
    curve.KeySetTCB(curve.KeyGetCount(), Sec(seconds), value, tension, continuity, bias);
}

// (0 s, 0) and (1 s, 10), linear.
void MakeRamp(KFCurve& curve) {
    AddKey(curve, 0.0, 0.0f, KFCURVE_INTERPOLATION_LINEAR);
    AddKey(curve, 1.0, 10.0f, KFCURVE_INTERPOLATION_LINEAR);
}

// Independent reference for a weighted segment: the time Bezier solved by
// bisection in double precision.
double WeightedReference(double v0, double v1, double slopeOut, double slopeIn, double dt, double wR, double wL,
                         double u) {
    const auto bezier = [](double a, double b, double c, double d, double s) {
        const double t = 1.0 - s;
        return t * t * t * a + 3 * t * t * s * b + 3 * t * s * s * c + s * s * s * d;
    };
    double lo = 0.0;
    double hi = 1.0;
    for (int i = 0; i < 100; ++i) {
        const double mid = (lo + hi) / 2;
        (bezier(0, wR, 1 - wL, 1, mid) < u ? lo : hi) = mid;
    }
    return bezier(v0, v0 + slopeOut * dt * wR, v1 - slopeIn * dt * wL, v1, lo);
}

}  // namespace

TEST(KFCurveEvaluation, ExtrapolationModes) {
    KFCurve curve;
    MakeRamp(curve);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(0.25)), 2.5f);
    EXPECT_EQ(curve.Evaluate(Sec(5)), 10.0f);
    EXPECT_EQ(curve.Evaluate(Sec(-5)), 0.0f);

    curve.SetPostExtrapolation(KFCURVE_EXTRAPOLATION_REPETITION);
    curve.SetPostExtrapolationCount(-1);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(1.25)), 2.5f);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(7.25)), 2.5f);
    curve.SetPostExtrapolation(KFCURVE_EXTRAPOLATION_MIRROR_REPETITION);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(1.25)), 7.5f);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(2.25)), 2.5f);
    curve.SetPostExtrapolationCount(2);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(2.75)), 7.5f);
    EXPECT_EQ(curve.Evaluate(Sec(3.25)), 10.0f);  // past the two repetitions

    curve.SetPreExtrapolation(KFCURVE_EXTRAPOLATION_REPETITION);
    EXPECT_EQ(curve.Evaluate(Sec(-0.5)), 0.0f);  // count 0 holds the first value
    curve.SetPreExtrapolationCount(-1);
    EXPECT_EQ(curve.Evaluate(Sec(-1)), 10.0f);  // exactly one span before reads the last key
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(-0.25)), 7.5f);
    curve.SetPreExtrapolation(KFCURVE_EXTRAPOLATION_MIRROR_REPETITION);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(-0.25)), 2.5f);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(-1.25)), 7.5f);
}

TEST(KFCurveEvaluation, KeepSlopeLimits) {
    KFCurve curve;
    MakeRamp(curve);
    curve.SetPostExtrapolation(KFCURVE_EXTRAPOLATION_KEEP_SLOPE);
    curve.SetPostExtrapolationCount(2);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(2)), 20.0f);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(3)), 30.0f);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(10)), 30.0f);
    curve.SetPostExtrapolationCount(-1);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(10)), 100.0f);

    curve.SetPreExtrapolation(KFCURVE_EXTRAPOLATION_KEEP_SLOPE);
    curve.SetPreExtrapolationCount(1);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(-0.5)), -5.0f);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(-4)), -10.0f);
    curve.SetPreExtrapolationCount(0);
    EXPECT_EQ(curve.Evaluate(Sec(-4)), 0.0f);
}

TEST(KFCurveEvaluation, InvalidExtrapolationModesHoldTheEndValues) {
    KFCurve curve;
    MakeRamp(curve);
    for (int mode : {0, 5, -3, 1000}) {
        curve.SetPreExtrapolation(static_cast<KFCurveExtrapolationMode>(mode));
        curve.SetPostExtrapolation(static_cast<KFCurveExtrapolationMode>(mode));
        curve.SetPreExtrapolationCount(-1);
        curve.SetPostExtrapolationCount(-1);
        EXPECT_EQ(curve.Evaluate(Sec(-3)), 0.0f) << mode;
        EXPECT_EQ(curve.Evaluate(Sec(4)), 10.0f) << mode;
        int hint = 7;
        EXPECT_EQ(curve.KeyFindWithExtrapolation(Sec(4), &hint), 1.0);
        EXPECT_EQ(hint, 1);
        EXPECT_EQ(curve.KeyFindWithExtrapolation(Sec(-3), &hint), 0.0);
    }
    // Index arguments outside the keys read the end keys.
    EXPECT_EQ(curve.EvaluateIndex(-0.5), 0.0f);
    EXPECT_EQ(curve.EvaluateIndex(1.5), 10.0f);
}

TEST(KFCurveEvaluation, EmptyAndSingleKeyCurves) {
    KFCurve curve;
    curve.SetValue(4.0f);
    EXPECT_EQ(curve.Evaluate(Sec(3)), 4.0f);
    EXPECT_EQ(curve.EvaluateDerivative(Sec(3)), 0.0f);
    AddKey(curve, 1.0, 7.0f, KFCURVE_INTERPOLATION_CUBIC);
    for (int mode = 1; mode <= 4; ++mode) {
        curve.SetPreExtrapolation(static_cast<KFCurveExtrapolationMode>(mode));
        curve.SetPostExtrapolation(static_cast<KFCurveExtrapolationMode>(mode));
        curve.SetPreExtrapolationCount(-1);
        curve.SetPostExtrapolationCount(-1);
        EXPECT_EQ(curve.Evaluate(Sec(-9)), 7.0f);
        EXPECT_EQ(curve.Evaluate(Sec(1)), 7.0f);
        EXPECT_EQ(curve.Evaluate(Sec(9)), 7.0f);
    }

    // Read inside a segment, then emptied: the curve's own value again.
    AddKey(curve, 2.0, 9.0f, KFCURVE_INTERPOLATION_LINEAR);
    const float between = curve.Evaluate(Sec(1.5));
    EXPECT_GT(between, 7.0f);
    EXPECT_LT(between, 9.0f);
    curve.KeyClear();
    EXPECT_EQ(curve.Evaluate(Sec(1.5)), 4.0f);
}

TEST(KFCurveEvaluation, ConstantAndZeroSlopeSegments) {
    KFCurve curve;
    AddKey(curve, 0.0, 1.0f, KFCURVE_INTERPOLATION_CONSTANT, KFCURVE_CONSTANT_STANDARD);
    AddKey(curve, 1.0, 3.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 0.0, 0.0);
    AddKey(curve, 2.0, 5.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 0.0, 0.0);
    EXPECT_EQ(curve.Evaluate(Sec(0.75)), 1.0f);
    curve.KeySetConstantMode(0, KFCURVE_CONSTANT_NEXT);
    EXPECT_EQ(curve.Evaluate(Sec(0.25)), 3.0f);
    for (double u : {0.1, 0.25, 0.5, 0.8}) {
        EXPECT_NEAR(curve.Evaluate(Sec(1 + u)), 3 + 2 * (3 * u * u - 2 * u * u * u), 1e-6) << u;
    }
}

namespace {

// A curve of every key kind, with equal neighbours now and then (for the
// clamp test) and random extrapolation, including invalid modes.
void MakeRandomCurve(KFCurve& curve, std::mt19937& random, int count) {
    std::uniform_real_distribution<float> value(-50.0f, 50.0f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_int_distribution<long long> gap(1, 300000000000LL);
    const unsigned int modes[] = {KFCURVE_TANGENT_AUTO, KFCURVE_TANGENT_AUTO_BREAK, KFCURVE_TANGENT_USER,
                                  KFCURVE_TANGENT_USER_BREAK, KFCURVE_TANGENT_TCB,
                                  KFCURVE_TANGENT_AUTO | KFCURVE_TANGENT_CLAMP};
    long long time = gap(random) - 150000000000LL;
    for (int i = 0; i < count; ++i) {
        time += gap(random);
        const int kind = static_cast<int>(random() % 8);
        const float v = (kind == 7 && i > 0) ? curve.KeyGetValue(i - 1) : value(random);
        if (kind == 0) {
            curve.KeySet(i, KTime(time), v, KFCURVE_INTERPOLATION_CONSTANT, (random() % 2) * KFCURVE_CONSTANT_NEXT);
        } else if (kind == 1) {
            curve.KeySet(i, KTime(time), v, KFCURVE_INTERPOLATION_LINEAR, 0);
        } else if (modes[kind % 6] == KFCURVE_TANGENT_TCB) {
            curve.KeySetTCB(i, KTime(time), v, unit(random) * 2 - 1, unit(random) * 2 - 1, unit(random) * 2 - 1);
        } else {
            curve.KeySet(i, KTime(time), v, KFCURVE_INTERPOLATION_CUBIC, modes[kind % 6], value(random),
                         value(random), static_cast<unsigned>(random() % 4) << 24, unit(random), unit(random));
        }
    }
    curve.SetPreExtrapolation(static_cast<KFCurveExtrapolationMode>(random() % 6));
    curve.SetPostExtrapolation(static_cast<KFCurveExtrapolationMode>(random() % 6));
    curve.SetPreExtrapolationCount(static_cast<int>(random() % 4) - 1);
    curve.SetPostExtrapolationCount(static_cast<int>(random() % 4) - 1);
}

}  // namespace

TEST(KFCurveEvaluation, KeyTimesGiveKeyValuesOnRandomCurves) {
    std::mt19937 random(1234);
    for (int trial = 0; trial < 200; ++trial) {
        KFCurve curve;
        const int count = 2 + trial % 60;
        MakeRandomCurve(curve, random, count);
        int hint = 0;
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(curve.Evaluate(curve.KeyGetTime(i), &hint), curve.KeyGetValue(i)) << trial << " key " << i;
            ASSERT_EQ(curve.EvaluateCached(curve.KeyGetTime(i)), curve.KeyGetValue(i));
        }
        const long long first = curve.KeyGetTime(0).Get();
        const long long last = curve.KeyGetTime(count - 1).Get();
        for (int i = 0; i < 50; ++i) {
            const KTime t(first + (last - first) / 30 * (i - 10));
            ASSERT_TRUE(std::isfinite(curve.Evaluate(t))) << trial << " at " << t.Get();
            ASSERT_TRUE(std::isfinite(curve.EvaluateDerivative(t)));
        }
    }
}

TEST(KFCurveEvaluation, TheKeptSegmentGivesWhatAFreshSearchGives) {
    std::mt19937 random(99);
    for (int trial = 0; trial < 50; ++trial) {
        KFCurve kept;
        MakeRandomCurve(kept, random, 2 + trial);
        KFCurve fresh;
        fresh.CopyFrom(kept);
        const long long first = kept.KeyGetTime(0).Get();
        const long long last = kept.KeyGetTime(kept.KeyGetCount() - 1).Get();
        std::uniform_int_distribution<long long> jump(first - (last - first) / 4, last + (last - first) / 4);
        int keptHint = 0;
        int freshHint = 0;
        for (int i = 0; i < 400; ++i) {
            // Runs of increasing times, with jumps between them.
            const KTime t = (i % 40 == 0) ? KTime(jump(random)) : KTime(first + (last - first) / 400 * i);
            fresh.ClearEvaluationCache();
            const float expected = fresh.Evaluate(t, &freshHint);
            ASSERT_EQ(kept.Evaluate(t, &keptHint), expected) << trial << " " << i;
            ASSERT_EQ(keptHint, freshHint);
        }
    }
    // A key written through its pointer after an evaluation is seen.
    KFCurve curve;
    MakeRamp(curve);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(0.5)), 5.0f);
    curve.KeyGetPtr(1)->SetValue(20.0f);
    EXPECT_FLOAT_EQ(curve.Evaluate(Sec(0.5)), 10.0f);
}

TEST(KFCurveEvaluation, WeightedSegmentWithDefaultWeightsEqualsUnweighted) {
    KFCurve plain;
    AddKey(plain, 0.0, 0.5f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 2.0, -1.0);
    AddKey(plain, 0.75, -0.25f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO);
    AddKey(plain, 2.0, 1.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 0.5, 0.5);
    AddKey(plain, 2.5, 0.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 0.0, 0.0);
    KFCurve weighted;
    weighted.CopyFrom(plain);
    for (int i = 0; i < 3; ++i) {
        weighted.KeySetRightTangentWeight(i, KFCURVE_DEFAULT_WEIGHT);
        weighted.KeySetLeftTangentWeight(i + 1, KFCURVE_DEFAULT_WEIGHT);
        ASSERT_TRUE(weighted.KeyIsRightTangentWeighted(i));
    }
    for (int step = 0; step <= 250; ++step) {
        const KTime t = Sec(step / 100.0);
        EXPECT_NEAR(weighted.Evaluate(t), plain.Evaluate(t), 1e-6) << step;
        EXPECT_NEAR(weighted.EvaluateDerivative(t), plain.EvaluateDerivative(t), 1e-4) << step;
    }
}

TEST(KFCurveEvaluation, WeightedSegmentFollowsItsTimeBezier) {
    KFCurve curve;
    AddKey(curve, 0.0, 1.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 3.0, -2.0);
    AddKey(curve, 2.0, 2.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 0.0, 0.0);
    curve.KeySetRightTangentWeight(0, 0.1f);
    curve.KeySetLeftTangentWeight(1, 0.7f);
    const double wR = curve.KeyGetRightTangentWeight(0);
    const double wL = curve.KeyGetLeftTangentWeight(1);
    EXPECT_NEAR(wR, 0.1, 1e-4);
    EXPECT_NEAR(wL, 0.7, 1e-4);
    for (int step = 1; step < 20; ++step) {
        const double u = step / 20.0;
        EXPECT_NEAR(curve.Evaluate(Sec(2 * u)), WeightedReference(1, 2, 3, -2, 2, wR, wL, u), 2e-5) << u;
    }
    // Derivative: the ratio of the value and time Bezier derivatives.
    const double h = 1e-4;
    const double u = 0.4;
    const double numeric = (WeightedReference(1, 2, 3, -2, 2, wR, wL, u + h) -
                            WeightedReference(1, 2, 3, -2, 2, wR, wL, u - h)) / (2 * h) / 2.0;
    EXPECT_NEAR(curve.EvaluateDerivative(Sec(0.8)), numeric, 1e-3);
}

TEST(KFCurveEvaluation, SecantSolverFindsTheReversedParameter) {
    const auto timeAt = [](double s, double wR, double wL) {
        const double t = 1 - s;
        return 3 * t * t * s * wR + 3 * t * s * s * (1 - wL) + s * s * s;
    };
    EXPECT_EQ(KFCurveSolveSecant(0.0f, 0.2f, 0.6f), 1.0f);
    EXPECT_EQ(KFCurveSolveSecant(1.0f, 0.2f, 0.6f), 0.0f);
    for (float wR : {0.05f, 1.0f / 3.0f, 0.5f, 0.9f}) {
        for (float wL : {0.05f, 1.0f / 3.0f, 0.7f}) {
            for (int step = 1; step < 10; ++step) {
                const float u = step / 10.0f;
                const float r = KFCurveSolveSecant(u, wR, wL);
                ASSERT_GE(r, 0.0f);
                ASSERT_LE(r, 1.0f);
                EXPECT_NEAR(timeAt(1.0 - r, wR, wL), u, 1e-4) << wR << " " << wL << " " << u;
            }
        }
    }
    // With the default weights the time axis is linear.
    EXPECT_NEAR(KFCurveSolveSecant(0.3f, KFCURVE_DEFAULT_WEIGHT, KFCURVE_DEFAULT_WEIGHT), 0.7f, 1e-6);
}

TEST(KFCurveEvaluation, TcbDerivativeRules) {
    KFCurve curve;
    AddTcb(curve, 0.0, 0.0f, 0.0f, 0.0f, 0.0f);
    AddTcb(curve, 1.0, 2.0f, 0.0f, 0.5f, 0.0f);
    AddTcb(curve, 3.0, 8.0f, 0.5f, 0.0f, 0.0f);
    AddTcb(curve, 4.0, 4.0f, 0.0f, 0.0f, 0.0f);
    // Chord slopes: 2, 3, -4.
    EXPECT_FLOAT_EQ(curve.KeyGetRightDerivative(0), 2.0f);
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(0), 2.0f);
    // Continuity 0.5 weighs the incoming chord 1.5 on the right side and 0.5 on the left.
    EXPECT_FLOAT_EQ(curve.KeyGetRightDerivative(1), 0.5f * (1.5f * 2 + 0.5f * 3));
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(1), 0.5f * (0.5f * 2 + 1.5f * 3));
    // Tension 0.5 halves the Catmull-Rom tangent.
    EXPECT_FLOAT_EQ(curve.KeyGetRightDerivative(2), 0.25f * (3 - 4));
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(2), 0.25f * (3 - 4));
    // The last key takes the incoming chord alone.
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(3), -4.0f);
    EXPECT_FLOAT_EQ(curve.KeyGetRightDerivative(3), -4.0f);
}

TEST(KFCurveEvaluation, AutoAndUserDerivativeRulesAcrossModes) {
    KFCurve curve;
    AddKey(curve, 0.0, 0.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO, 0.0, 100.0);
    AddKey(curve, 1.0, 2.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO, 100.0, 1.5);
    AddKey(curve, 2.0, 6.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, -1.0, 0.0);
    AddTcb(curve, 3.0, 6.0f, 0.0f, 0.0f, 0.0f);
    AddKey(curve, 4.0, 10.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO, 0.0, 0.0);
    AddKey(curve, 5.0, 8.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    AddKey(curve, 6.0, 5.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    // Chord slopes: 2, 4, 0, 4, -2, -3.
    // Auto value 100 on the left is the left chord, on the right the right chord.
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(1), 2.0f);
    EXPECT_FLOAT_EQ(curve.KeyGetRightDerivative(1), 4.0f);
    // Auto value 0 is the mean of the chords; key 0 takes its right chord for both.
    EXPECT_FLOAT_EQ(curve.KeyGetRightDerivative(0), 2.0f);
    // A user key reads its left slope on the previous key, its right slope on itself.
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(2), 1.5f);
    EXPECT_FLOAT_EQ(curve.KeyGetRightDerivative(2), -1.0f);
    // An auto key after a TCB key reads -(its own right auto value): 0 gives the mean.
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(4), 1.0f);
    curve.KeySetTangentMode(4, KFCURVE_TANGENT_AUTO_BREAK);
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(4), 4.0f);  // broken: the left chord
    // A linear key after a cubic auto key: the previous key's left slot as an auto value.
    curve.KeySetDataDouble(4, KFCurveKey::kSlotNextLeftSlope, 100.0);
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(5), -2.0f);
    curve.KeySetTangentMode(4, KFCURVE_TANGENT_USER);
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(5), 100.0f);
    // A user key after a TCB key takes its own right slope on the left.
    curve.KeySetTangentMode(4, KFCURVE_TANGENT_USER);
    curve.KeySetDataDouble(4, KFCurveKey::kSlotRightSlope, 7.0);
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(4), 7.0f);
    // With break it takes the TCB key's outgoing tangent instead.
    curve.KeySetTangentMode(4, KFCURVE_TANGENT_USER_BREAK);
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(4), 0.5f * (4 - 2));
    // A linear key after a TCB key: its own right derivative.
    curve.KeySetTangentMode(4, KFCURVE_TANGENT_TCB);
    curve.KeySetInterpolation(5, KFCURVE_INTERPOLATION_CUBIC);
    curve.KeySetInterpolation(5, KFCURVE_INTERPOLATION_LINEAR);
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(5), -3.0f);
    // Linear keys: chords.
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(6), -3.0f);
    EXPECT_FLOAT_EQ(curve.KeyGetRightDerivative(6), -3.0f);
}

TEST(KFCurveEvaluation, AutoClampFlattensNextToEqualNeighbours) {
    const unsigned int clamped = KFCURVE_TANGENT_AUTO | KFCURVE_TANGENT_CLAMP;
    KFCurve curve;
    AddKey(curve, 0.0, 0.0f, KFCURVE_INTERPOLATION_CUBIC);
    AddKey(curve, 1.0, 0.00005f, KFCURVE_INTERPOLATION_CUBIC, clamped);
    AddKey(curve, 2.0, 5.0f, KFCURVE_INTERPOLATION_CUBIC, clamped);
    AddKey(curve, 3.0, 5.0f, KFCURVE_INTERPOLATION_CUBIC, clamped | KFCURVE_TANGENT_BREAK);
    AddKey(curve, 4.0, 9.0f, KFCURVE_INTERPOLATION_CUBIC);
    // Key 1: previous near flattens both sides.
    EXPECT_EQ(curve.KeyGetLeftDerivative(1), 0.0f);
    EXPECT_EQ(curve.KeyGetRightDerivative(1), 0.0f);
    // Key 2: next near flattens the right side, and the left (cubic previous).
    EXPECT_EQ(curve.KeyGetRightDerivative(2), 0.0f);
    EXPECT_EQ(curve.KeyGetLeftDerivative(2), 0.0f);
    // Key 3 is broken: previous near flattens only its left side.
    EXPECT_EQ(curve.KeyGetLeftDerivative(3), 0.0f);
    EXPECT_FLOAT_EQ(curve.KeyGetRightDerivative(3), 2.0f);
    // The clamped auto value is the one that gives derivative 0; unclamped, the stored one.
    EXPECT_EQ(curve.KeyGetRightAuto(2, false), 0.0f);
    double derivative;
    KFCurveKeyAutoToRightDerivative(&derivative, curve.KeyGetRightAuto(2, true), &curve, 2);
    EXPECT_NEAR(derivative, 0.0, 1e-5);
    // Without the clamp bit the mean of the chords comes back.
    curve.KeySetTangentMode(2, KFCURVE_TANGENT_AUTO);
    EXPECT_NEAR(curve.KeyGetRightDerivative(2), 2.5f, 1e-4);
}

TEST(KFCurveEvaluation, DerivativesMatchTheValueCurve) {
    KFCurve curve;
    AddKey(curve, 0.0, 0.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 1.0, -2.0);
    AddKey(curve, 1.0, 1.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER_BREAK, 3.0, 0.5);
    AddKey(curve, 2.0, -1.0f, KFCURVE_INTERPOLATION_LINEAR);
    AddKey(curve, 3.0, 2.0f, KFCURVE_INTERPOLATION_CUBIC);
    const double h = 1e-3;
    for (double t : {0.2, 0.5, 0.9, 1.3, 1.7, 2.5}) {
        const double numeric = (curve.Evaluate(Sec(t + h)) - curve.Evaluate(Sec(t - h))) / (2 * h);
        EXPECT_NEAR(curve.EvaluateDerivative(Sec(t)), numeric, 2e-3) << t;
    }
    // On a key: left derivative, or right derivative when asked.
    EXPECT_FLOAT_EQ(curve.EvaluateDerivative(Sec(1)), -2.0f);
    EXPECT_FLOAT_EQ(curve.EvaluateRightDerivative(Sec(1)), 3.0f);
    EXPECT_EQ(curve.EvaluateDerivative(Sec(-1)), 0.0f);
    EXPECT_EQ(curve.EvaluateDerivative(Sec(4)), 0.0f);
    // Bezier control points.
    EXPECT_FLOAT_EQ(curve.KeyGetRightBezierTangent(0), 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(curve.KeyGetLeftBezierTangent(1), 1.0f + 2.0f / 3.0f);
    EXPECT_EQ(curve.KeyGetRightBezierTangent(3), 2.0f);
}

TEST(KFCurveEvaluation, CacheAnswersRepeatsUntilAnEdit) {
    KFCurve curve;
    MakeRamp(curve);
    EXPECT_FALSE(curve.HasEvaluationCache());
    EXPECT_FLOAT_EQ(curve.EvaluateCached(Sec(0.5)), 5.0f);
    EXPECT_TRUE(curve.HasEvaluationCache());
    curve.SetEvaluationCache(Sec(0.5), 42.0f);
    EXPECT_EQ(curve.EvaluateCached(Sec(0.5)), 42.0f);
    curve.KeySetValue(1, 20.0f);
    EXPECT_FALSE(curve.HasEvaluationCache());
    EXPECT_FLOAT_EQ(curve.EvaluateCached(Sec(0.5)), 10.0f);
    // The empty cache is the largest time: evaluating there is not a cache hit.
    KFCurve empty;
    empty.SetValue(3.0f);
    EXPECT_EQ(empty.EvaluateCached(KTimeInfinite), 3.0f);
}
