// The unroll filter: continuous Euler curves, its refusals and its span.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterUnroll.h>
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
using curvetest::KeyValues;
using curvetest::MakeRotationNode;
using curvetest::NodePtr;
using curvetest::Sec;

TEST(KFCurveFilterUnroll, WrappedAnglesBecomeContinuous) {
    NodePtr node = MakeRotationNode();
    const float wrapped[] = {0.0f, 170.0f, -170.0f, -10.0f, 100.0f, -100.0f};
    for (int i = 0; i < 6; ++i) AddRotationKey(*node, i, wrapped[i], 0.0f, 0.0f);
    KFCurveFilterUnroll unroll;
    ASSERT_TRUE(unroll.Apply(*node, true));
    EXPECT_EQ(KeyValues(Axis(*node, 0)), (std::vector<float>{0.0f, 170.0f, 190.0f, 350.0f, 460.0f, 620.0f}));
    EXPECT_EQ(KeyValues(Axis(*node, 1)), (std::vector<float>(6, 0.0f)));
    EXPECT_EQ(KeyValues(Axis(*node, 2)), (std::vector<float>(6, 0.0f)));
    for (int i = 1; i < 6; ++i) {
        EXPECT_LE(std::fabs(Axis(*node, 0).KeyGetValue(i) - Axis(*node, 0).KeyGetValue(i - 1)), 180.0f);
    }
}

TEST(KFCurveFilterUnroll, CurvesWithDifferentKeyTimesAreSynchronizedFirst) {
    NodePtr node = MakeRotationNode();
    AddKey(Axis(*node, 0), 0.0, 0.0f);
    AddKey(Axis(*node, 0), 2.0, 20.0f);
    AddKey(Axis(*node, 1), 1.0, 0.0f);
    AddKey(Axis(*node, 2), 2.0, 350.0f);
    KFCurve* curves[3] = {&Axis(*node, 0), &Axis(*node, 1), &Axis(*node, 2)};
    KFCurveFilterUnroll unroll;
    ASSERT_TRUE(unroll.Apply(curves, 3));
    for (int c = 0; c < 3; ++c) EXPECT_EQ(KeyTimes(Axis(*node, c)), (std::vector<double>{0.0, 1.0, 2.0}));
    EXPECT_EQ(KeyValues(Axis(*node, 0)), (std::vector<float>{0.0f, 10.0f, 20.0f}));
    // Z held 350 before its key: it continues from 0 as -10.
    EXPECT_EQ(KeyValues(Axis(*node, 2)), (std::vector<float>{-10.0f, -10.0f, -10.0f}));
}

TEST(KFCurveFilterUnroll, RefusesWhatIsNotARotationNode) {
    KFCurveFilterUnroll unroll;
    KFCurve a, b;
    AddKey(a, 0.0, 1.0f);
    EXPECT_FALSE(unroll.Apply(a));
    EXPECT_EQ(unroll.GetLastErrorID(), 2);
    EXPECT_STREQ(unroll.GetLastErrorString(), "Unroll Filter, Works only on rotation CurveNodes.");
    KFCurve* two[2] = {&a, &b};
    EXPECT_FALSE(unroll.Apply(two, 2));
    EXPECT_EQ(unroll.GetLastErrorID(), 2);

    NodePtr translation(KFCurveNode::Create("T", nullptr, KFCL_TRANSLATION));
    for (const char* axis : {"X", "Y", "Z"}) translation->FindOrCreate(axis, true);
    EXPECT_FALSE(unroll.Apply(*translation, true));
    EXPECT_EQ(unroll.GetLastErrorID(), 2);

    NodePtr empty = MakeRotationNode();
    EXPECT_FALSE(unroll.Apply(*empty, true));
    EXPECT_EQ(unroll.GetLastErrorID(), 0);
    EXPECT_STREQ(unroll.GetLastErrorString(), "Unroll Filter, No key to be filtered.");
}

TEST(KFCurveFilterUnroll, OnlyKeysInsideTheSpanChange) {
    const float wrapped[] = {350.0f, -170.0f, 170.0f, -170.0f};
    KFCurveFilterUnroll unroll;
    {
        // A span holding a single key changes nothing.
        NodePtr node = MakeRotationNode();
        for (int i = 0; i < 4; ++i) AddRotationKey(*node, i, wrapped[i], 0.0f, 0.0f);
        unroll.SetStartTime(Sec(-1.0));
        unroll.SetStopTime(Sec(0.5));
        ASSERT_TRUE(unroll.Apply(*node, true));
        EXPECT_EQ(KeyValues(Axis(*node, 0)), (std::vector<float>(wrapped, wrapped + 4)));
    }
    NodePtr node = MakeRotationNode();
    for (int i = 0; i < 4; ++i) AddRotationKey(*node, i, wrapped[i], 0.0f, 0.0f);
    unroll.SetStartTime(Sec(1.0));
    unroll.SetStopTime(Sec(2.0));
    ASSERT_TRUE(unroll.Apply(*node, true));
    EXPECT_FLOAT_EQ(Axis(*node, 0).KeyGetValue(0), 350.0f);
    EXPECT_FLOAT_EQ(Axis(*node, 0).KeyGetValue(1), -170.0f);
    EXPECT_FLOAT_EQ(Axis(*node, 0).KeyGetValue(2), -190.0f);
    // The key after the span keeps its rotation (whole turns may shift it).
    EXPECT_FLOAT_EQ(std::fmod(Axis(*node, 0).KeyGetValue(3) + 170.0f, 360.0f), 0.0f);
}

TEST(KFCurveFilterUnroll, SphericOrderKeepsTheValues) {
    NodePtr node = MakeRotationNode();
    node->SetRotationOrder(12);
    AddRotationKey(*node, 0.0, 170.0f, 0.0f, 0.0f);
    AddRotationKey(*node, 1.0, -170.0f, 0.0f, 0.0f);
    KFCurveFilterUnroll unroll;
    ASSERT_TRUE(unroll.Apply(*node, true));
    EXPECT_EQ(KeyValues(Axis(*node, 0)), (std::vector<float>{170.0f, -170.0f}));
}

TEST(KFCurveFilterUnroll, StepRatioComparesTheRotationWithTheEulerStep) {
    const double a[3] = {0.0, 0.0, 0.0};
    const double b[3] = {30.0, 0.0, 0.0};
    EXPECT_NEAR(KFCurveFilterUnroll::EulerStepRatio(a, b), 1.0, 1e-9);
    EXPECT_DOUBLE_EQ(KFCurveFilterUnroll::EulerStepRatio(a, a), 100.0);
    // A full turn moves the angles but not the rotation.
    const double c[3] = {360.0, 0.0, 0.0};
    EXPECT_LT(KFCurveFilterUnroll::EulerStepRatio(a, c), 1e-6);
    // Beyond half a turn the rotation is the short way round, never NaN.
    const double d[3] = {190.0, 0.0, 0.0};
    const double ratio = KFCurveFilterUnroll::EulerStepRatio(a, d);
    EXPECT_FALSE(std::isnan(ratio));
    EXPECT_NEAR(ratio, 170.0 * 170.0 / (190.0 * 190.0), 1e-6);
}

}  // namespace
