// Take nodes: the "Defaults" tree, typed curve getters, copies and reference
// trees.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KDataType.h>

#include "CurveNodeTestSupport.h"
#include "CurveTestSupport.h"

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;
using curvetest::AddVector;
using curvetest::Sec;

namespace {

KFCurveNode* AddScalar(KFCurveNode& parent, const char* name, KDataType* type) {
    KFCurveNode* channel = KFCurveNode::Create(name, type);
    parent.Add(channel);
    channel->FCurveSet(KFCurve::Create());
    return channel;
}

}  // namespace

TEST(KFbxTakeNode, NewTakeHasAnEmptyDefaultsTree) {
    KFbxTakeNode take("Take 001");
    EXPECT_STREQ(take.GetName(), "Take 001");
    ASSERT_NE(take.GetKFCurveNode(), nullptr);
    EXPECT_STREQ(take.GetKFCurveNode()->GetName(), "Defaults");
    EXPECT_EQ(take.GetKFCurveNode()->GetCount(), 0);
    EXPECT_EQ(take.GetError().GetLastErrorID(), -1);
    EXPECT_EQ(take.GetTranslationX(), nullptr);
    EXPECT_EQ(take.GetError().GetLastErrorID(), KFbxTakeNode::eCurveNotFound);
    EXPECT_STREQ(take.GetError().GetLastErrorString(), "Curve not found");
    EXPECT_EQ(take.GetVisibility(), nullptr);
    EXPECT_EQ(take.GetCameraRoll(), nullptr);
    EXPECT_FALSE(take.IsAnimated(nullptr, nullptr, "Intensity"));
    KTime start = Sec(1);
    KTime stop = Sec(2);
    EXPECT_FALSE(take.GetAnimationInterval(start, stop));
    take.SetName("Renamed");
    EXPECT_STREQ(take.GetName(), "Renamed");
}

TEST(KFbxTakeNode, TransformChannelsByNameOrLclDataType) {
    KFbxTakeNode take("Default");
    KFCurveNode* transform = KFCurveNode::Create("Transform", nullptr);
    take.GetKFCurveNode()->Add(transform);
    KFCurveNode* t = AddVector(*transform, "T", gKDataTypeLclTranslation);
    KFCurveNode* r = AddVector(*transform, "Lcl Rotation", gKDataTypeLclRotation);
    KFCurveNode* s = AddVector(*transform, "S", nullptr);
    EXPECT_EQ(take.GetTranslationX(), t->Get(0)->FCurveGet());
    EXPECT_EQ(take.GetTranslationZ(), t->Get(2)->FCurveGet());
    EXPECT_EQ(take.GetEulerRotationY(), r->Get(1)->FCurveGet());
    EXPECT_EQ(take.GetScaleZ(), s->Get(2)->FCurveGet());

    // A channel that has children but no curve of its own is no curve.
    EXPECT_EQ(take.GetKFCurve("Transform", nullptr, "T"), nullptr);
    EXPECT_EQ(take.GetError().GetLastErrorID(), KFbxTakeNode::eCurveNotFound);
    // Without "Transform" the transform getters find nothing.
    KFbxTakeNode flat("Flat");
    AddVector(*flat.GetKFCurveNode(), "T", gKDataTypeLclTranslation);
    EXPECT_EQ(flat.GetTranslationX(), nullptr);
    EXPECT_NE(flat.GetKFCurve(nullptr, "T", "X"), nullptr);
}

TEST(KFbxTakeNode, TypedGettersReachColourCameraLightAndMaterialChannels) {
    KFbxTakeNode take("Default");
    KFCurveNode* root = take.GetKFCurveNode();
    KFCurveNode* color = AddVector(*root, "Color", gKDataTypeColor);
    KFCurveNode* background = AddVector(*root, "BackgroundColor", gKDataTypeColor);
    KFCurveNode* fov = AddScalar(*root, "FieldOfView", gKDataTypeFieldOfView);
    KFCurveNode* roll = AddScalar(*root, "Roll", gKDataTypeRoll);
    KFCurveNode* optical = AddScalar(*root, "OpticalCenterY", gKDataTypeOpticalCenterY);
    KFCurveNode* index = AddScalar(*root, "Camera Index", gKDataTypeCameraIndex);
    KFCurveNode* intensity = AddScalar(*root, "Intensity", gKDataTypeIntensity);
    KFCurveNode* cone = AddScalar(*root, "Cone angle", gKDataTypeConeAngle);
    KFCurveNode* shown = AddScalar(*root, "Show", gKDataTypeVisibility);
    KFCurveNode* reach = AddScalar(*root, "IK Reach Translation", gKDataTypeIKReachTranslation);
    KFCurveNode* alpha = AddScalar(*root, "Alpha", gKDataTypeNumber);
    KFCurveNode* scaling = AddVector(*root, "Scaling", gKDataTypeScalingUV);

    EXPECT_EQ(take.GetColorG(), color->Get(1)->FCurveGet());
    EXPECT_EQ(take.GetBackgroundColorB(), background->Get(2)->FCurveGet());
    EXPECT_EQ(take.GetCameraFieldOfView(), fov->FCurveGet());
    EXPECT_EQ(take.GetCameraRoll(), roll->FCurveGet());
    EXPECT_EQ(take.GetCameraOpticalCenterY(), optical->FCurveGet());
    EXPECT_EQ(take.GetCameraOpticalCenterX(), nullptr);
    EXPECT_EQ(take.GetCameraSwitcherIndex(), index->FCurveGet());
    EXPECT_EQ(take.GetLightIntensity(), intensity->FCurveGet());
    EXPECT_EQ(take.GetLightConeAngle(), cone->FCurveGet());
    EXPECT_EQ(take.GetVisibility(), shown->FCurveGet());  // by data type, whatever its name
    EXPECT_EQ(take.GetIKReachTranslation(), reach->FCurveGet());
    EXPECT_EQ(take.GetIKReachRotation(), nullptr);
    EXPECT_EQ(take.GetMaterialAlpha(), alpha->FCurveGet());
    EXPECT_EQ(take.GetTextureScaleV(), scaling->Get(1)->FCurveGet());
    EXPECT_EQ(take.FindTextureScaleV(), scaling->Get(1)->FCurveGet());
    EXPECT_EQ(take.GetTextureRotationU(), nullptr);

    EXPECT_FALSE(take.IsAnimated(nullptr, nullptr, "Roll"));  // a curve without keys
    roll->FCurveGet()->KeyAppendFast(Sec(2), 5.0f);
    EXPECT_TRUE(take.IsAnimated(nullptr, nullptr, "Roll"));
    EXPECT_FALSE(take.IsAnimatedByIndex(nullptr, nullptr, gKDataTypeVisibility));
    shown->FCurveGet()->KeyAppendFast(Sec(3), 1.0f);
    EXPECT_TRUE(take.IsAnimatedByIndex(nullptr, nullptr, gKDataTypeVisibility));
    KTime start = KTimeInfinite;
    KTime stop = KTimeMinusInfinite;
    EXPECT_TRUE(take.GetAnimationInterval(start, stop));
    EXPECT_EQ(start, Sec(2));
    EXPECT_EQ(stop, Sec(3));
}

TEST(KFbxTakeNode, CopyHasItsOwnTree) {
    KFbxTakeNode take("Take 001");
    KFCurveNode* t = AddVector(*take.GetKFCurveNode(), "T", gKDataTypeLclTranslation);
    t->Get(0)->FCurveGet()->KeyAppendFast(Sec(1), 2.0f);
    KFbxTakeNode copy(take);
    EXPECT_STREQ(copy.GetName(), "Take 001");
    KFCurve* copied = copy.GetKFCurve(nullptr, "T", "X");
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, t->Get(0)->FCurveGet());
    copied->KeySetValue(0, 9.0f);
    EXPECT_EQ(t->Get(0)->FCurveGet()->KeyGetValue(0), 2.0f);
}

TEST(KFbxTakeNode, ReferenceTreesLeaveSharedChannelsAlive) {
    KFbxTakeNode owner("Default");
    KFCurveNode* shared = AddVector(*owner.GetKFCurveNode(), "T", gKDataTypeLclTranslation);
    {
        KFbxTakeNode view("View");
        KFCurveNode* root = view.GetKFCurveNode();
        root->SetFlag(KFCN_REFERENCE, true);
        // A reference group that lists the shared channel.
        KFCurveNode* group = KFCurveNode::Create("Group", nullptr);
        group->SetFlag(KFCN_REFERENCE, true);
        root->Add(group);
        group->Add(shared);
        root->Add(shared);
        EXPECT_EQ(view.GetKFCurve(nullptr, "Group", "X"), shared->Get(0)->FCurveGet());
    }
    // The view is gone, its own group with it; the shared channel lives on.
    ASSERT_EQ(owner.GetKFCurveNode()->GetCount(), 1);
    EXPECT_EQ(owner.GetKFCurve(nullptr, "T", "Y"), shared->Get(1)->FCurveGet());
    shared->Get(1)->FCurveGet()->KeyAppendFast(Sec(1), 1.0f);
}
