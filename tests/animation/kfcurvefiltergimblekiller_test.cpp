// The gimbal killer: in-between keys on the rotation path, and its refusals.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterGimbleKiller.h>
#include <fbxfilesdk/animation/KFCurveNode.h>

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

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

TEST(KFCurveFilterGimbleKiller, LargeStepGetsInBetweenKeysOnTheRotationPath) {
    NodePtr node = MakeRotationNode();
    AddRotationKey(*node, 0.0, 0.0f, 0.0f, 0.0f);
    AddRotationKey(*node, 1.0, 170.0f, 0.0f, 0.0f);
    KFCurveFilterGimbleKiller killer;
    ASSERT_TRUE(killer.Apply(*node, true));
    const KFCurve& x = Axis(*node, 0);
    ASSERT_GT(x.KeyGetCount(), 2);
    for (int i = 0; i < x.KeyGetCount(); ++i) {
        if (i > 0) {
            EXPECT_GT(x.KeyGetValue(i), x.KeyGetValue(i - 1));
            EXPECT_GT(x.KeyGetTime(i), x.KeyGetTime(i - 1));
            // Each step stays below the in-between threshold.
            const float step = x.KeyGetValue(i) - x.KeyGetValue(i - 1);
            EXPECT_LT(step * step, 75.0f);
            // The span's first key is copied as it was; the keys written after it are cubic auto.
            EXPECT_EQ(x.KeyGetInterpolation(i), KFCURVE_INTERPOLATION_CUBIC);
            EXPECT_EQ(x.KeyGetTangentMode(i), static_cast<unsigned int>(KFCURVE_TANGENT_AUTO));
        }
        EXPECT_NEAR(Axis(*node, 1).KeyGetValue(i), 0.0f, 1e-4);
        EXPECT_NEAR(Axis(*node, 2).KeyGetValue(i), 0.0f, 1e-4);
    }
    EXPECT_FLOAT_EQ(x.KeyGetValue(x.KeyGetCount() - 1), 170.0f);
    EXPECT_EQ(x.KeyGetTime(x.KeyGetCount() - 1), Sec(1.0));
}

TEST(KFCurveFilterGimbleKiller, SmallStepsAndCloseKeysGetNoInBetweenKeys) {
    NodePtr node = MakeRotationNode();
    AddRotationKey(*node, 0.0, 0.0f, 0.0f, 0.0f);
    AddRotationKey(*node, 1.0, 8.0f, 0.0f, 0.0f);
    // Far apart in angle but less than 1/1200 second after the key before.
    AddRotationKey(*node, 1.0 + 1.0 / 2400.0, 90.0f, 0.0f, 0.0f);
    const std::vector<double> times = KeyTimes(Axis(*node, 0));
    KFCurveFilterGimbleKiller killer;
    ASSERT_TRUE(killer.Apply(*node, true));
    EXPECT_EQ(KeyTimes(Axis(*node, 0)), times);
    EXPECT_EQ(KeyValues(Axis(*node, 0)), (std::vector<float>{0.0f, 8.0f, 90.0f}));
}

TEST(KFCurveFilterGimbleKiller, SpanStartingAfterTheFirstKey) {
    NodePtr node = MakeRotationNode();
    AddRotationKey(*node, 0.0, 0.0f, 0.0f, 0.0f);
    AddRotationKey(*node, 1.0, 5.0f, 0.0f, 0.0f);
    AddRotationKey(*node, 2.0, 175.0f, 0.0f, 0.0f);
    // Y has an extra key before the span: indices no longer match X's.
    AddKey(Axis(*node, 1), 3.0, 0.0f);
    KFCurveFilterGimbleKiller killer;
    killer.SetStartTime(Sec(1.0));
    killer.SetStopTime(Sec(2.0));
    ASSERT_TRUE(killer.Apply(*node, true));
    const KFCurve& x = Axis(*node, 0);
    EXPECT_FLOAT_EQ(x.KeyGetValue(0), 0.0f);
    EXPECT_FLOAT_EQ(x.KeyGetValue(1), 5.0f);
    EXPECT_GT(x.KeyGetCount(), 4);
    for (int i = 2; i < x.KeyGetCount(); ++i) EXPECT_GT(x.KeyGetValue(i), x.KeyGetValue(i - 1));
    EXPECT_FLOAT_EQ(x.KeyGetValue(x.KeyGetCount() - 1), 175.0f);
}

TEST(KFCurveFilterGimbleKiller, RefusesWhatIsNotAThreeCurveRotation) {
    KFCurveFilterGimbleKiller killer;
    KFCurve a, b;
    EXPECT_FALSE(killer.Apply(a));
    EXPECT_EQ(killer.GetLastErrorID(), 2);
    EXPECT_STREQ(killer.GetLastErrorString(), "Not 3 curve");
    KFCurve* two[2] = {&a, &b};
    EXPECT_FALSE(killer.Apply(two, 2));
    EXPECT_STREQ(killer.GetLastErrorString(), "Need 3 KFCurve to apply a gimble killer filter.");

    NodePtr twoChildren(KFCurveNode::Create("R", nullptr, KFCL_EULER_ROTATION));
    twoChildren->FindOrCreate("X", true);
    twoChildren->FindOrCreate("Y", true);
    EXPECT_FALSE(killer.Apply(*twoChildren, true));
    EXPECT_EQ(killer.GetLastErrorID(), 2);
    EXPECT_STREQ(killer.GetLastErrorString(), "Gimble Killer. ioCurveNode does not have 3 childs.");

    NodePtr translation(KFCurveNode::Create("T", nullptr, KFCL_TRANSLATION));
    for (const char* axis : {"X", "Y", "Z"}) translation->FindOrCreate(axis, true);
    EXPECT_FALSE(killer.Apply(*translation, true));
    EXPECT_EQ(killer.GetLastErrorID(), 3);
    EXPECT_STREQ(killer.GetLastErrorString(), "Gimble Killer. Not a Rotation node!");

    NodePtr empty = MakeRotationNode();
    EXPECT_FALSE(killer.Apply(*empty, true));
    EXPECT_EQ(killer.GetLastErrorID(), 0);
}

TEST(KFCurveFilterGimbleKiller, CurveArrayFormFiltersTheThreeCurves) {
    KFCurve x, y, z;
    for (KFCurve* curve : {&x, &y, &z}) AddKey(*curve, 0.0, 0.0f);
    AddKey(x, 1.0, 90.0f);
    AddKey(y, 1.0, 0.0f);
    AddKey(z, 1.0, 0.0f);
    KFCurveFilterGimbleKiller killer;
    KFCurve* curves[3] = {&x, &y, &z};
    ASSERT_TRUE(killer.Apply(curves, 3));
    EXPECT_GT(x.KeyGetCount(), 2);
    EXPECT_EQ(x.KeyGetCount(), y.KeyGetCount());
}

}  // namespace
