// The constant key reducer: the +-2 window, the auto-flat test, the keep
// flags, the span and the channel tolerances.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterConstantKeyReducer.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/core/KDataType.h>

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;
using curvetest::AddKey;
using curvetest::KeyTimes;
using curvetest::KeyValues;
using curvetest::NodePtr;
using curvetest::Sec;

void FillCurve(KFCurve& curve, std::initializer_list<float> values) {
    double t = 0.0;
    for (float value : values) AddKey(curve, t++, value);
}

TEST(KFCurveFilterConstantKeyReducer, TwoFlatKeysStayOnEachSideOfAChange) {
    KFCurve curve;
    FillCurve(curve, {1, 0, 0, 0, 0, 0, 0, 1});
    KFCurveFilterConstantKeyReducer reducer;
    ASSERT_TRUE(reducer.Apply(curve));
    EXPECT_EQ(KeyValues(curve), (std::vector<float>{1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(KeyTimes(curve), (std::vector<double>{0, 1, 2, 5, 6, 7}));
}

TEST(KFCurveFilterConstantKeyReducer, AFlatCurveKeepsItsValueAsDefault) {
    KFCurve curve;
    FillCurve(curve, {2.0f, 2.005f, 1.995f, 2.0f});
    KFCurveFilterConstantKeyReducer reducer;
    ASSERT_TRUE(reducer.Apply(curve));
    EXPECT_EQ(curve.KeyGetCount(), 0);
    EXPECT_FLOAT_EQ(curve.GetValue(), 2.0f);

    KFCurve kept;
    FillCurve(kept, {3.0f, 3.0f, 3.0f});
    reducer.SetKeepOneKey(true);
    ASSERT_TRUE(reducer.Apply(kept));
    EXPECT_EQ(KeyTimes(kept), (std::vector<double>{0.0}));

    KFCurve empty;
    EXPECT_FALSE(reducer.Apply(empty));
    EXPECT_EQ(reducer.GetLastErrorID(), 0);
    EXPECT_STREQ(reducer.GetLastErrorString(), "ConstantKeyReducer, No key to be filtered.");
}

TEST(KFCurveFilterConstantKeyReducer, KeepFirstAndLastKeys) {
    KFCurve curve;
    FillCurve(curve, {5, 5, 5, 5, 5, 5});
    KFCurveFilterConstantKeyReducer reducer;
    reducer.SetKeepFirstAndLastKeys(true);
    ASSERT_TRUE(reducer.Apply(curve));
    EXPECT_EQ(KeyTimes(curve), (std::vector<double>{0, 5}));

    KFCurve single;
    FillCurve(single, {7});
    ASSERT_TRUE(reducer.Apply(single));
    EXPECT_EQ(single.KeyGetCount(), 1);
}

TEST(KFCurveFilterConstantKeyReducer, OnlyShapedCubicKeysBlockRemoval) {
    KFCurve curve;
    FillCurve(curve, {0, 0, 0, 0, 0, 0, 0, 0, 0});
    // A cubic key with a user slope within two places of keys 2 to 6.
    curve.KeySet(4, Sec(4), 0.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 1.0, 1.0);
    KFCurve flat;
    FillCurve(flat, {0, 0, 0, 0, 0, 0, 0, 0, 0});
    // A cubic auto-flat key does not block.
    flat.KeySet(4, Sec(4), 0.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO);
    ASSERT_TRUE(flat.KeyIsAutoFlat(4));

    KFCurveFilterConstantKeyReducer reducer;
    ASSERT_TRUE(reducer.Apply(curve));
    EXPECT_EQ(KeyTimes(curve), (std::vector<double>{2, 3, 4, 5, 6}));
    ASSERT_TRUE(reducer.Apply(flat));
    EXPECT_EQ(flat.KeyGetCount(), 0);
}

TEST(KFCurveFilterConstantKeyReducer, TheWindowStaysInsideTheSpan) {
    KFCurve curve;
    FillCurve(curve, {9, 0, 0, 0, 0, 0, 9});
    KFCurveFilterConstantKeyReducer reducer;
    reducer.SetStartTime(Sec(1));
    reducer.SetStopTime(Sec(5));
    ASSERT_TRUE(reducer.Apply(curve));
    // Keys 0 and 6 are outside: the flat run 1 to 5 goes whole.
    EXPECT_EQ(KeyTimes(curve), (std::vector<double>{0, 6}));
}

TEST(KFCurveFilterConstantKeyReducer, NodeFormUsesTheToleranceOfTheChannel) {
    NodePtr root(KFCurveNode::Create("Take", nullptr));
    KFCurveNode* translation = curvetest::AddVector(*root, "T", gKDataTypeLclTranslation);
    KFCurveNode* rotation = curvetest::AddVector(*root, "R", gKDataTypeLclRotation);
    for (KFCurveNode* channel : {translation, rotation}) {
        for (int axis = 0; axis < 3; ++axis) FillCurve(*channel->Get(axis)->FCurveGet(), {1.0f, 1.0001f, 1.0f});
    }
    KFCurveFilterConstantKeyReducer reducer;
    EXPECT_TRUE(reducer.Apply(*root, true));
    EXPECT_EQ(translation->Get(0)->FCurveGet()->KeyGetCount(), 3);
    EXPECT_EQ(rotation->Get(0)->FCurveGet()->KeyGetCount(), 0);
}

TEST(KFCurveFilterConstantKeyReducer, NodesItMustNotTouchAreLeftAlone) {
    KFCurveFilterConstantKeyReducer reducer;
    NodePtr quaternion(KFCurveNode::Create("R", nullptr));
    FillCurve(*quaternion->FindOrCreate("X", true)->FCurveGet(), {1, 1, 1});
    quaternion->SetQuaternionInterpolation(true);
    EXPECT_FALSE(reducer.Apply(*quaternion, true));
    EXPECT_EQ(quaternion->KeyGetCount(), 3);

    NodePtr stepped(KFCurveNode::Create("Visibility", nullptr));
    KFCurve* curve = stepped->FindOrCreate("X", true)->FCurveGet();
    for (int i = 0; i < 3; ++i) curve->KeySet(i, Sec(i), 1.0f, KFCURVE_INTERPOLATION_CONSTANT);
    EXPECT_FALSE(reducer.Apply(*stepped, true));
    EXPECT_EQ(curve->KeyGetCount(), 3);
    EXPECT_EQ(reducer.GetLastErrorID(), -1);
}

}  // namespace
