// The key synchronizer: common key times, its checks and its group limit.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterKeySync.h>
#include <fbxfilesdk/animation/KFCurveNode.h>

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;
using curvetest::AddKey;
using curvetest::KeyTimes;
using curvetest::KeyValues;
using curvetest::NodePtr;
using curvetest::Sec;

TEST(KFCurveFilterKeySync, CurvesShareEveryKeyTimeWithTheirOldValues) {
    KFCurve a, b;
    AddKey(a, 0.0, 0.0f);
    AddKey(a, 2.0, 4.0f);
    AddKey(b, 1.0, 10.0f);
    AddKey(b, 2.0, 20.0f);
    KFCurveFilterKeySync sync;
    KFCurve* curves[2] = {&a, &b};
    EXPECT_TRUE(sync.NeedApply(curves, 2));
    ASSERT_TRUE(sync.Apply(curves, 2));
    EXPECT_EQ(KeyTimes(a), (std::vector<double>{0.0, 1.0, 2.0}));
    EXPECT_EQ(KeyTimes(b), (std::vector<double>{0.0, 1.0, 2.0}));
    EXPECT_EQ(KeyValues(a), (std::vector<float>{0.0f, 2.0f, 4.0f}));
    // Before its first key b held its first value.
    EXPECT_EQ(KeyValues(b), (std::vector<float>{10.0f, 10.0f, 20.0f}));
    EXPECT_FALSE(sync.NeedApply(curves, 2));
}

TEST(KFCurveFilterKeySync, OnlyKeysInsideTheSpanAreShared) {
    KFCurve a, b;
    for (double t : {0.0, 1.0, 2.0}) AddKey(a, t, static_cast<float>(t));
    AddKey(b, 0.25, 5.0f);
    KFCurveFilterKeySync sync;
    sync.SetStartTime(Sec(0.5));
    sync.SetStopTime(Sec(1.5));
    KFCurve* curves[2] = {&a, &b};
    ASSERT_TRUE(sync.Apply(curves, 2));
    EXPECT_EQ(KeyTimes(a), (std::vector<double>{0.0, 1.0, 2.0}));
    EXPECT_EQ(KeyTimes(b), (std::vector<double>{0.25, 1.0}));
}

TEST(KFCurveFilterKeySync, NeedApplyTellsWhyCurvesAreNotSynchronized) {
    KFCurve a, b;
    for (double t : {0.0, 1.0, 2.0}) AddKey(a, t, 0.0f);
    for (double t : {0.0, 1.0, 2.0, 3.0}) AddKey(b, t, 0.0f);
    KFCurveFilterKeySync sync;
    KFCurve* curves[2] = {&a, &b};
    EXPECT_TRUE(sync.NeedApply(curves, 2));
    EXPECT_EQ(sync.GetLastErrorID(), 2);
    AddKey(a, 4.0, 0.0f);
    EXPECT_TRUE(sync.NeedApply(curves, 2));
    EXPECT_EQ(sync.GetLastErrorID(), 3);
    EXPECT_STREQ(sync.GetLastErrorString(), "KeySyncFilter, keys are not synchronized.");
}

TEST(KFCurveFilterKeySync, ASingleCurveIsRefused) {
    KFCurve a;
    AddKey(a, 0.0, 0.0f);
    KFCurveFilterKeySync sync;
    EXPECT_FALSE(sync.Apply(a));
    EXPECT_EQ(sync.GetLastErrorID(), 1);
    EXPECT_STREQ(sync.GetLastErrorString(), "KeySyncFilter, No key were changed by filter.");
    KFCurve* one[1] = {&a};
    EXPECT_FALSE(sync.Apply(one, 1));
}

TEST(KFCurveFilterKeySync, GroupsLargerThanTheFixedArraysAreRefused) {
    NodePtr node(KFCurveNode::Create("Many", nullptr));
    std::vector<KFCurve*> curves;
    for (int i = 0; i < 21; ++i) {
        KFCurveNode* child = node->FindOrCreate(std::to_string(i).c_str(), true);
        AddKey(*child->FCurveGet(), i, 1.0f);
        curves.push_back(child->FCurveGet());
    }
    KFCurveFilterKeySync sync;
    EXPECT_FALSE(sync.NeedApply(*node, false));
    EXPECT_EQ(sync.GetLastErrorID(), 4);
    EXPECT_FALSE(sync.Apply(*node, false));
    EXPECT_FALSE(sync.Apply(curves.data(), 21));
    EXPECT_EQ(sync.GetLastErrorID(), 4);
    EXPECT_EQ(curves[0]->KeyGetCount(), 1);

    // Twenty is examined and synchronized.
    node->Delete(20);
    EXPECT_TRUE(sync.NeedApply(*node, false));
    EXPECT_TRUE(sync.Apply(*node, false));
    EXPECT_EQ(curves[0]->KeyGetCount(), 20);
}

}  // namespace
