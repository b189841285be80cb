// Sampling a curve into another and merging the keys of two curves.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveSampling.h>

#include "CurveTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace fbxsdk_2006_11_1;
using curvetest::Sec;

namespace {

// Keys at the given seconds with values 10 x their index.
void MakeKeys(KFCurve& curve, std::initializer_list<double> seconds, unsigned int interpolation,
              unsigned int tangentMode) {
    int i = 0;
    for (double s : seconds) {
        curve.KeySet(i, Sec(s), 10.0f * static_cast<float>(i), interpolation, tangentMode);
        ++i;
    }
}

}  // namespace

TEST(KFCurveSampling, SamplesFallOnTheGridAndOptionallyAtStop) {
    KFCurve source;
    MakeKeys(source, {0.0, 1.0}, KFCURVE_INTERPOLATION_LINEAR, 0);
    KFCurve destination;
    KFCurveResampleKeys(source, destination, Sec(0), Sec(1), Sec(0.3), KFCURVE_INTERPOLATION_LINEAR, 0, false);
    ASSERT_EQ(destination.KeyGetCount(), 4);
    EXPECT_EQ(destination.KeyGetTime(3), Sec(0.9));
    EXPECT_FLOAT_EQ(destination.KeyGetValue(2), 6.0f);
    KFCurveResampleKeys(source, destination, Sec(0), Sec(1), Sec(0.3), KFCURVE_INTERPOLATION_CUBIC,
                        KFCURVE_TANGENT_USER, true);
    ASSERT_EQ(destination.KeyGetCount(), 5);
    EXPECT_EQ(destination.KeyGetTime(4), Sec(1));
    EXPECT_EQ(destination.KeyGetValue(4), 10.0f);
    EXPECT_EQ(destination.KeyGetTangentMode(4), static_cast<unsigned>(KFCURVE_TANGENT_USER));
    for (bool addLast : {false, true}) {
        KFCurveResampleKeys(source, destination, Sec(0), Sec(1), Sec(0.25), KFCURVE_INTERPOLATION_LINEAR, 0, addLast);
        EXPECT_EQ(destination.KeyGetCount(), 5);
    }
    // No grid: the destination keeps its keys.
    KFCurveResampleKeys(source, destination, Sec(0), Sec(1), KTime(0), KFCURVE_INTERPOLATION_LINEAR, 0, true);
    KFCurveResampleKeys(source, destination, Sec(1), Sec(1), Sec(0.1), KFCURVE_INTERPOLATION_LINEAR, 0, true);
    KFCurveResampleKeysKeepInterpolation(source, destination, Sec(2), Sec(1), Sec(0.1), true);
    EXPECT_EQ(destination.KeyGetCount(), 5);
}

TEST(KFCurveSampling, KeepInterpolationResamplerTakesTheSourceKeyTypes) {
    KFCurve source;
    MakeKeys(source, {1.0, 2.0, 3.0}, KFCURVE_INTERPOLATION_LINEAR, 0);
    source.KeySetTCB(3, Sec(4), 5.0f);
    source.KeySet(4, Sec(5), 1.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO);
    KFCurve destination;
    KFCurveResampleKeysKeepInterpolation(source, destination, Sec(0), Sec(6), Sec(0.5), false);
    ASSERT_EQ(destination.KeyGetCount(), 13);
    for (int i = 0; i < 13; ++i) {
        const double t = i * 0.5;
        const unsigned int expected = (t >= 1 && t < 4) ? KFCURVE_INTERPOLATION_LINEAR : KFCURVE_INTERPOLATION_CUBIC;
        EXPECT_EQ(destination.KeyGetInterpolation(i), expected) << t;
        if (expected == KFCURVE_INTERPOLATION_CUBIC) {
            EXPECT_EQ(destination.KeyGetTangentMode(i), static_cast<unsigned>(KFCURVE_TANGENT_AUTO)) << t;
        }
        EXPECT_EQ(destination.KeyGetValue(i), source.Evaluate(Sec(t))) << t;
    }
}

TEST(KFCurveSampling, KeepInterpolationResamplerReproducesUserTangentSegments) {
    KFCurve source;
    source.KeySet(0, Sec(0), 0.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 4.0, 3.0);
    source.KeySet(1, Sec(1), 1.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER_BREAK, -3.0, 1.0);
    source.KeySet(2, Sec(2), 0.5f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 1.0, 1.0);
    KFCurve destination;
    KFCurveResampleKeysKeepInterpolation(source, destination, Sec(0), Sec(2), Sec(0.25), false);
    ASSERT_EQ(destination.KeyGetCount(), 9);
    // Each cubic segment is reproduced by its samples' values and slopes,
    // between the samples as well as on them.
    for (int step = 0; step < 80; ++step) {
        const KTime t = Sec(step * 0.025 + 0.0125);
        EXPECT_NEAR(destination.Evaluate(t), source.Evaluate(t), 1e-4) << step;
    }
}

TEST(KFCurveMerge, ReplacementKeysSpliceIntoTheBase) {
    KFCurve base;
    MakeKeys(base, {0, 1, 2, 3, 4, 5}, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER);
    KFCurve cover;
    MakeKeys(cover, {-1, 2.5, 7}, KFCURVE_INTERPOLATION_LINEAR, 0);
    KFCurve destination;
    KFCurveMergeKeys(base, cover, destination);
    ASSERT_EQ(destination.KeyGetCount(), 3);
    EXPECT_EQ(destination.KeyGetTime(1), Sec(2.5));

    KFCurve onKey;
    MakeKeys(onKey, {1, 1.5, 3}, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER);
    KFCurveMergeKeys(base, onKey, destination);
    // Base 0, replacement 1, 1.5, 3, base 4, 5.
    ASSERT_EQ(destination.KeyGetCount(), 6);
    EXPECT_EQ(destination.KeyGetValue(1), 0.0f);
    EXPECT_EQ(destination.KeyGetTime(3), Sec(3));
    EXPECT_EQ(destination.KeyGetValue(4), 40.0f);
    // The seams take the base's slopes; the last replacement key becomes broken.
    EXPECT_FLOAT_EQ(destination.KeyGetDataDouble(0, KFCurveKey::kSlotNextLeftSlope),
                    base.EvaluateRightDerivative(Sec(1)));
    EXPECT_EQ(destination.KeyGetTangentMode(3), static_cast<unsigned>(KFCURVE_TANGENT_USER_BREAK));
    EXPECT_FLOAT_EQ(destination.KeyGetDataDouble(3, KFCurveKey::kSlotRightSlope), base.EvaluateDerivative(Sec(3)));

    KFCurve between;
    MakeKeys(between, {2.5, 2.75}, KFCURVE_INTERPOLATION_LINEAR, 0);
    KFCurveMergeKeys(base, between, destination);
    ASSERT_EQ(destination.KeyGetCount(), 8);
    EXPECT_EQ(destination.KeyGetTime(2), Sec(2));
    EXPECT_EQ(destination.KeyGetTime(3), Sec(2.5));
    EXPECT_EQ(destination.KeyGetTime(5), Sec(3));

    // Empty curves: the other one is copied.
    KFCurve empty;
    KFCurveMergeKeys(empty, between, destination);
    EXPECT_EQ(destination.KeyGetCount(), 2);
    KFCurveMergeKeys(base, empty, destination);
    EXPECT_EQ(destination.KeyGetCount(), 6);
    // The destination may not be one of the inputs.
    KFCurveMergeKeys(base, between, base);
    EXPECT_EQ(base.KeyGetCount(), 6);
}
