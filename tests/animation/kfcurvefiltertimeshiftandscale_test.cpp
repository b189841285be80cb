// The time shift and scale filter.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterTimeShiftAndScale.h>
#include <fbxfilesdk/animation/KFCurveNode.h>

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;
using curvetest::AddKey;
using curvetest::KeyTimes;
using curvetest::NodePtr;
using curvetest::Sec;

TEST(KFCurveFilterTimeShiftAndScale, ShiftsThenScales) {
    KFCurve curve;
    AddKey(curve, 1.0, 1.0f);
    AddKey(curve, 2.0, 2.0f);
    KFCurveFilterTimeShiftAndScale filter;
    EXPECT_EQ(filter.GetStartTime().Get(), 0);
    filter.SetShift(Sec(0.5));
    filter.SetScale(2.0);
    ASSERT_TRUE(filter.Apply(curve));
    EXPECT_EQ(KeyTimes(curve), (std::vector<double>{3.0, 5.0}));
    EXPECT_EQ(curve.KeyGetValue(1), 2.0f);
}

TEST(KFCurveFilterTimeShiftAndScale, ANonPositiveScaleOnlyShifts) {
    KFCurve curve;
    AddKey(curve, 1.0, 1.0f);
    KFCurveFilterTimeShiftAndScale filter;
    filter.SetScale(-2.0);
    filter.SetShift(Sec(1.0));
    ASSERT_TRUE(filter.Apply(curve));
    EXPECT_EQ(curve.KeyGetTime(0), Sec(2.0));
}

TEST(KFCurveFilterTimeShiftAndScale, NothingToMoveIsFailure) {
    KFCurve curve;
    AddKey(curve, 1.0, 1.0f);
    KFCurveFilterTimeShiftAndScale filter;
    EXPECT_FALSE(filter.Apply(curve));
    EXPECT_EQ(filter.GetLastErrorID(), 1);
    EXPECT_STREQ(filter.GetLastErrorString(), "TimeShiftAndScaleFilter, No key were changed by filter.");
    filter.SetScale(-2.0);
    EXPECT_FALSE(filter.Apply(curve));
    EXPECT_EQ(curve.KeyGetTime(0), Sec(1.0));

    KFCurve empty;
    filter.SetShift(Sec(1.0));
    EXPECT_FALSE(filter.Apply(empty));
    EXPECT_EQ(filter.GetLastErrorID(), 0);
    EXPECT_STREQ(filter.GetLastErrorString(), "TimeShiftAndScaleFilter, No key to be filtered.");
}

TEST(KFCurveFilterTimeShiftAndScale, MovesATakeTreeWhateverTheSpan) {
    NodePtr take(KFCurveNode::Create("Take", nullptr));
    KFCurveNode* channel = curvetest::AddVector(*take, "T", nullptr);
    for (int axis = 0; axis < 3; ++axis) AddKey(*channel->Get(axis)->FCurveGet(), 1.0, 0.0f);
    KFCurveFilterTimeShiftAndScale filter;
    filter.SetShift(Sec(-0.5));
    EXPECT_TRUE(filter.Apply(*take, true));
    for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(channel->Get(axis)->FCurveGet()->KeyGetTime(0), Sec(0.5));
}

}  // namespace
