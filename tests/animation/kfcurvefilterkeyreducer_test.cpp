// The Bezier-fit key reducer: few keys within the precision, the span, its
// refusals and the optional key synchronisation.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterKeyReducer.h>
#include <fbxfilesdk/animation/KFCurveNode.h>

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;
using curvetest::AddKey;
using curvetest::AddRotationKey;
using curvetest::Axis;
using curvetest::KeyTimes;
using curvetest::MakeRotationNode;
using curvetest::NodePtr;
using curvetest::Sec;

// Keys every 0.25 s of a smooth wave, cubic auto.
void AddWave(KFCurve& curve, int count, double amplitude = 10.0) {
    for (int i = 0; i < count; ++i) {
        AddKey(curve, 0.25 * i, static_cast<float>(amplitude * std::sin(0.4 * i)), KFCURVE_INTERPOLATION_CUBIC);
    }
}

TEST(KFCurveFilterKeyReducer, StraightLineKeepsOnlyItsEnds) {
    KFCurve curve;
    for (int i = 0; i <= 8; ++i) AddKey(curve, 0.25 * i, 2.0f * i, KFCURVE_INTERPOLATION_LINEAR);
    KFCurveFilterKeyReducer reducer;
    EXPECT_STREQ(reducer.GetName(), "Bezier Fit/Key Reducer");
    reducer.SetPrecision(0.01);
    ASSERT_TRUE(reducer.Apply(curve));
    ASSERT_EQ(curve.KeyGetCount(), 2);
    EXPECT_EQ(curve.KeyGetTangentMode(0), KFCURVE_TANGENT_USER);
    EXPECT_EQ(curve.KeyGetTangentMode(1), KFCURVE_TANGENT_AUTO);
    EXPECT_EQ(curve.KeyGetInterpolation(0), KFCURVE_INTERPOLATION_CUBIC);
    EXPECT_FLOAT_EQ(curve.KeyGetValue(1), 16.0f);
    EXPECT_NEAR(curve.Evaluate(Sec(0.75)), 6.0f, 0.01f);
}

TEST(KFCurveFilterKeyReducer, EveryOldKeyStaysWithinThePrecision) {
    KFCurve original;
    AddWave(original, 40);
    for (double precision : {0.5, 0.05, 0.005}) {
        KFCurve curve;
        curve.CopyFrom(original, true);
        KFCurveFilterKeyReducer reducer;
        reducer.SetPrecision(precision);
        ASSERT_TRUE(reducer.Apply(curve));
        EXPECT_LT(curve.KeyGetCount(), 40);
        EXPECT_GE(curve.KeyGetCount(), 2);
        for (int i = 0; i < original.KeyGetCount(); ++i) {
            EXPECT_NEAR(curve.Evaluate(original.KeyGetTime(i)), original.KeyGetValue(i), precision + 1e-5)
                << "key " << i << " at precision " << precision;
        }
    }
}

TEST(KFCurveFilterKeyReducer, PrecisionZeroKeepsTheKeysTheFitMisses) {
    KFCurve curve;
    AddWave(curve, 12);
    KFCurveFilterKeyReducer reducer;
    reducer.SetPrecision(0.0);
    ASSERT_TRUE(reducer.Apply(curve));
    KFCurve original;
    AddWave(original, 12);
    for (int i = 0; i < 12; ++i) EXPECT_FLOAT_EQ(curve.Evaluate(original.KeyGetTime(i)), original.KeyGetValue(i));
}

TEST(KFCurveFilterKeyReducer, KeysOutsideTheSpanAreUntouched) {
    KFCurve curve;
    AddWave(curve, 40);
    KFCurve original;
    original.CopyFrom(curve, true);
    KFCurveFilterKeyReducer reducer;
    reducer.SetStartTime(original.KeyGetTime(10));
    reducer.SetStopTime(original.KeyGetTime(20));
    ASSERT_TRUE(reducer.Apply(curve));
    const int count = curve.KeyGetCount();
    ASSERT_LT(count, 40);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(curve.KeyGetTime(i), original.KeyGetTime(i));
        EXPECT_EQ(curve.KeyGetValue(i), original.KeyGetValue(i));
    }
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(curve.KeyGetTime(count - 1 - i), original.KeyGetTime(39 - i));
        EXPECT_EQ(curve.KeyGetValue(count - 1 - i), original.KeyGetValue(39 - i));
    }
    EXPECT_EQ(curve.KeyGetTime(10), original.KeyGetTime(10));
    EXPECT_EQ(curve.KeyGetTime(count - 20), original.KeyGetTime(20));
}

TEST(KFCurveFilterKeyReducer, RefusesTooFewKeysAndAnEmptySpan) {
    KFCurveFilterKeyReducer reducer;
    KFCurve single;
    AddKey(single, 0.0, 1.0f);
    EXPECT_FALSE(reducer.Apply(single));
    EXPECT_EQ(reducer.GetLastErrorID(), 1);
    EXPECT_STREQ(reducer.GetLastErrorString(), "KeyReducer, No key were changed by filter.");

    KFCurve curve;
    AddWave(curve, 8);
    reducer.SetStartTime(Sec(-2.0));
    reducer.SetStopTime(Sec(-1.0));
    EXPECT_FALSE(reducer.Apply(curve));
    EXPECT_EQ(reducer.GetLastErrorID(), 1);
    EXPECT_STREQ(reducer.GetLastErrorString(), "KeyReducer, Invalid Time Span. No key were changed by filter.");
    EXPECT_EQ(curve.KeyGetCount(), 8);
}

// Counts the ranges a reduction reports as done.
class CountingReducer : public KFCurveFilterKeyReducer {
public:
    void OnRangeDone(std::int64_t from, std::int64_t to) override {
        EXPECT_LT(from, to);
        ++mRanges;
    }
    int mRanges = 0;
};

TEST(KFCurveFilterKeyReducer, ReportsFinishedRanges) {
    KFCurve curve;
    AddWave(curve, 40);
    CountingReducer reducer;
    reducer.SetPrecision(0.01);
    ASSERT_TRUE(reducer.Apply(curve));
    EXPECT_GT(reducer.mRanges, 0);
}

TEST(KFCurveFilterKeyReducer, KeySyncGivesTheCurvesCommonKeyTimes) {
    NodePtr node = MakeRotationNode();
    for (int i = 0; i < 20; ++i) {
        AddRotationKey(*node, 0.25 * i, static_cast<float>(10.0 * std::sin(0.4 * i)), static_cast<float>(i * 3),
                       static_cast<float>(20.0 * std::cos(0.7 * i)));
    }
    KFCurveFilterKeyReducer reducer;
    reducer.SetPrecision(0.5);
    reducer.SetKeySync(true);
    ASSERT_TRUE(reducer.Apply(*node, true));
    EXPECT_TRUE(reducer.GetKeySync());
    const std::vector<double> x = KeyTimes(Axis(*node, 0));
    EXPECT_LT(x.size(), 20u);
    EXPECT_EQ(KeyTimes(Axis(*node, 1)), x);
    EXPECT_EQ(KeyTimes(Axis(*node, 2)), x);

    KFCurve a, b;
    AddWave(a, 20);
    for (int i = 0; i < 20; ++i) AddKey(b, 0.25 * i, static_cast<float>(i));
    KFCurve* curves[2] = {&a, &b};
    ASSERT_TRUE(reducer.Apply(curves, 2));
    EXPECT_EQ(KeyTimes(a), KeyTimes(b));
}

}  // namespace
