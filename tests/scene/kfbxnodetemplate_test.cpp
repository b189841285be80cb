// The channels every take of a node starts with, and cloning and copying nodes.
#include <fbxfilesdk/core/KDataType.h>

#include "scene/SceneTestSupport.h"

#include <cstring>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

KFbxVector4 V(double x, double y, double z) { return KFbxVector4(x, y, z, 1.0); }

const char* ChildName(KFbxTakeNode& take, int index) { return take.GetKFCurveNode()->Get(index)->GetName(); }

class KFbxNodeTemplateTest : public SceneTest {};

TEST_F(KFbxNodeTemplateTest, TemplateHoldsTransformAndVisibilityWithDefaultsAndColours) {
    KFbxNode* node = MakeNode("node");
    node->SetLclScaling(V(2, 3, 4));
    KFbxTakeNode take("Walk");
    node->FillTakeNodeTemplate(take);
    ASSERT_EQ(take.GetKFCurveNode()->GetCount(), 2);
    EXPECT_STREQ(ChildName(take, 0), "Transform");
    EXPECT_STREQ(ChildName(take, 1), "Visibility");
    KFCurveNode* transform = take.GetKFCurveNode()->Get(0);
    ASSERT_EQ(transform->GetCount(), 3);
    EXPECT_STREQ(transform->Get(0)->GetName(), "T");
    EXPECT_STREQ(transform->Get(2)->GetName(), "S");
    EXPECT_EQ(transform->Get(1)->GetDataType(), gKDataTypeLclRotation);
    // Each channel has the layer type of its kind, as it is read back from a file.
    EXPECT_EQ(transform->Get(0)->GetLayerType(), KFCL_TRANSLATION);
    EXPECT_EQ(transform->Get(1)->GetLayerType(), KFCL_EULER_ROTATION);
    EXPECT_EQ(transform->Get(2)->GetLayerType(), KFCL_SCALING);
    EXPECT_FLOAT_EQ(ChannelCurve(&take, "S", "X")->GetValue(), 2.0f);
    EXPECT_FLOAT_EQ(ChannelCurve(&take, "S", "Y")->GetValue(), 3.0f);
    EXPECT_FLOAT_EQ(ChannelCurve(&take, "S", "Z")->GetValue(), 4.0f);
    float rgb[3];
    ChannelCurve(&take, "T", "Y")->GetColor(rgb);
    EXPECT_FLOAT_EQ(rgb[0], 0.0f);
    EXPECT_FLOAT_EQ(rgb[1], 1.0f);
    KFCurve* visibility = take.GetKFCurveNode()->Find("Visibility")->FCurveGet();
    ASSERT_NE(visibility, nullptr);
    EXPECT_FLOAT_EQ(visibility->GetValue(), 1.0f);
    visibility->GetColor(rgb);
    EXPECT_FLOAT_EQ(rgb[0], 0.75f);
}

TEST_F(KFbxNodeTemplateTest, OnlyTheDefaultTakeLinksItsCurvesToTheProperties) {
    KFbxNode* node = MakeNode("node");
    // Nine transform components and the visibility.
    EXPECT_EQ(node->GetPropertyLinkCount(), 10);
    KFbxTakeNode take("Walk");
    node->FillTakeNodeTemplate(take);
    EXPECT_EQ(node->GetPropertyLinkCount(), 10);

    // A linked curve's default reaches the property.
    ChannelCurve(node->GetDefaultTakeNode(), "R", "Y")->SetValue(30.0f);
    KFbxVector4 rotation;
    node->GetLclRotation(rotation);
    EXPECT_DOUBLE_EQ(rotation[1], 30.0);
}

TEST_F(KFbxNodeTemplateTest, AttributeChannelsComeAfterTheNodesOwn) {
    KFbxNode* node = MakeNode("node");
    node->CreateTakeNode("Take 001");
    Mesh* mesh = Mesh::Make(mManager, "mesh");
    node->SetNodeAttribute(mesh);
    for (int index = 0; index < node->GetTakeNodeCount(); ++index) {
        KFbxTakeNode& take = *node->GetTakeNode(index);
        ASSERT_EQ(take.GetKFCurveNode()->GetCount(), 3);
        EXPECT_STREQ(ChildName(take, 2), "MeshChannel");
    }
    KFbxTakeNode fresh("Fresh");
    node->FillTakeNodeTemplate(fresh);
    ASSERT_EQ(fresh.GetKFCurveNode()->GetCount(), 3);
    EXPECT_STREQ(ChildName(fresh, 2), "MeshChannel");
}

TEST_F(KFbxNodeTemplateTest, CloneCopiesAttributesWithTheFirstAsDefault) {
    KFbxNode* node = MakeNode("original");
    Camera* camera = Camera::Make(mManager, "camera");
    Mesh* mesh = Mesh::Make(mManager, "mesh");
    node->AddNodeAttribute(camera);
    node->AddNodeAttribute(mesh);
    node->SetDefaultNodeAttributeIndex(1);
    EXPECT_EQ(node->Clone(1), nullptr);
    KFbxNode* clone = node->Clone(2);
    ASSERT_NE(clone, nullptr);
    EXPECT_STREQ(clone->GetName(), "original");
    ASSERT_EQ(clone->GetNodeAttributeCount(), 2);
    EXPECT_EQ(clone->GetDefaultNodeAttributeIndex(), 0);
    EXPECT_NE(clone->GetNodeAttributeByIndex(0), camera);
    EXPECT_EQ(clone->GetNodeAttributeByIndex(0)->GetAttributeType(), KFbxNodeAttribute::eCAMERA);
    EXPECT_EQ(clone->GetNodeAttributeByIndex(1)->GetAttributeType(), KFbxNodeAttribute::eMESH);
    EXPECT_EQ(node->GetNodeAttributeCount(), 2);
}

TEST_F(KFbxNodeTemplateTest, CopyCarriesLimitsBothPivotSetsTakesAndTargetButNotOrderOrScalingOffset) {
    KFbxNode* source = MakeNode("source");
    KFbxNode* target = MakeNode("target");
    source->SetTarget(target);
    source->SetPostTargetRotation(V(1, 2, 3));
    source->SetShading(5);
    source->SetVisibility(false);
    source->SetRotationPivot(KFbxNode::eSOURCE_SET, V(1, 0, 0));
    source->SetPreRotation(KFbxNode::eDESTINATION_SET, V(0, 20, 0));
    source->SetScalingOffset(KFbxNode::eSOURCE_SET, V(9, 9, 9));
    source->SetRotationOrder(KFbxNode::eSOURCE_SET, KFbxNode::eEULER_ZYX);
    source->GetLimits().SetRotationActive(true);
    source->GetLimits().SetLimitMax(V(0, 0, 45));
    source->CreateTakeNode("Take 001");
    source->SetCurrentTakeNode(1);

    KFbxNode* copy = MakeNode("copy");
    copy->SetScalingOffset(KFbxNode::eSOURCE_SET, V(0, 1, 0));
    copy->EvaluateGlobalTransform(KTime());
    EXPECT_EQ(&copy->CopyFrom(*source), copy);

    EXPECT_EQ(copy->GetTarget(), target);
    EXPECT_DOUBLE_EQ(copy->GetPostTargetRotation()[2], 3.0);
    EXPECT_EQ(copy->GetShading(), 5);
    EXPECT_FALSE(copy->GetVisibility());
    EXPECT_DOUBLE_EQ(copy->GetRotationPivot(KFbxNode::eSOURCE_SET)[0], 1.0);
    EXPECT_DOUBLE_EQ(copy->GetPreRotation(KFbxNode::eDESTINATION_SET)[1], 20.0);
    EXPECT_EQ(copy->GetEvaluationState().mPivots.mFlags,
              KFbxNodePivots::kRotationPivot | KFbxNodePivots::kScalingOffset);
    EXPECT_DOUBLE_EQ(copy->GetScalingOffset(KFbxNode::eSOURCE_SET)[1], 1.0);
    KFbxNode::ERotationOrder order = KFbxNode::eEULER_XZY;
    copy->GetRotationOrder(KFbxNode::eSOURCE_SET, order);
    EXPECT_EQ(order, KFbxNode::eEULER_XYZ);
    EXPECT_TRUE(copy->GetLimits().GetRotationActive());
    EXPECT_TRUE(copy->GetEvaluationState().IsRotationActive());
    EXPECT_DOUBLE_EQ(copy->GetLimits().GetLimitMax()[2], 45.0);
    EXPECT_EQ(copy->GetTakeNodeCount(), 2);
    EXPECT_EQ(copy->GetCurrentTakeNodeIndex(), 1);

    // The cache was emptied: the rotation pivot now counts (scaling offset (0, 1, 0)).
    EXPECT_DOUBLE_EQ(copy->EvaluateGlobalTransform(KTime())[3][1], 1.0);
}

}  // namespace
