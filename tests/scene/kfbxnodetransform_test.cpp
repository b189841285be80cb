// Node transform properties, the two pivot sets and the evaluation state they
// feed, limits, and the 1e-6 rules of moving values between properties,
// pivot sets and limits.
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KProperty.h>

#include <cmath>

#include "scene/SceneTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

KFbxVector4 V(double x, double y, double z) { return KFbxVector4(x, y, z, 1.0); }

void SetVector(KFbxNode* node, ENodeProperty which, double x, double y, double z) {
    const fbxDouble3 value(x, y, z);
    node->GetNodeProperty(which).Set(&value, eFbxValueDouble3);
}

void SetBool(KFbxNode* node, ENodeProperty which, bool value) {
    node->GetNodeProperty(which).Set(&value, eFbxValueBool);
}

class KFbxNodeTransformTest : public SceneTest {};

TEST_F(KFbxNodeTransformTest, NewNodeHasTheTableDefaults) {
    KFbxNode* node = MakeNode("node");
    EXPECT_DOUBLE_EQ(node->FindProperty("AxisLen").GetDouble(), 10.0);
    const fbxDouble3 scaling = node->FindProperty("GeometricScaling").GetDouble3();
    EXPECT_DOUBLE_EQ(scaling[0], 1.0);
    EXPECT_DOUBLE_EQ(scaling[2], 1.0);
    bool show = false;
    EXPECT_TRUE(node->FindProperty("Show").Get(&show, eFbxValueBool));
    EXPECT_TRUE(show);
    int index = 0;
    node->FindProperty("DefaultAttributeIndex").Get(&index, eFbxValueInteger);
    EXPECT_EQ(index, -1);
    KFbxNode::ETransformInheritType inherit = KFbxNode::eINHERIT_Rrs;
    node->GetTransformInheritType(inherit);
    EXPECT_EQ(inherit, KFbxNode::eINHERIT_RrSs);
    EXPECT_DOUBLE_EQ(node->FindProperty("Visibility").GetDouble(), 1.0);
    EXPECT_DOUBLE_EQ(node->GetPropertyDouble3("Lcl Scaling")[1], 1.0);
    EXPECT_EQ(node->GetPivotState(KFbxNode::eSOURCE_SET), 1);
    EXPECT_TRUE(node->FindProperty("Lcl Translation").GetFlag(KFbxProperty::kAnimatable));
    EXPECT_FALSE(node->FindProperty("RotationPivot").GetFlag(KFbxProperty::kAnimatable));
}

TEST_F(KFbxNodeTransformTest, NodesSharePropertyNamesAndTheTwinsKeepTheNameAsTheirLabel) {
    KFbxNode* first = MakeNode("first");
    KFbxNode* second = MakeNode("second");
    const KFbxProperty a = first->FindProperty("Lcl Translation");
    const KFbxProperty b = second->FindProperty("Lcl Translation");
    ASSERT_TRUE(a.IsValid());
    ASSERT_TRUE(b.IsValid());
    EXPECT_NE(a, b);
    EXPECT_EQ(a.GetName(), b.GetName());
    ASSERT_NE(a.GetKProperty(), nullptr);
    EXPECT_STREQ(a.GetKProperty()->GetName(), "Lcl Translation");
    EXPECT_STREQ(a.GetKProperty()->GetLabel(), "Lcl Translation");
    // Renaming one twin leaves the other's name alone.
    ASSERT_TRUE(a.GetKProperty()->SetName("Moved", false));
    EXPECT_STREQ(a.GetKProperty()->GetName(), "Moved");
    EXPECT_STREQ(a.GetKProperty()->GetLabel(), "Lcl Translation");
    EXPECT_STREQ(b.GetKProperty()->GetName(), "Lcl Translation");
}

TEST_F(KFbxNodeTransformTest, APropertyDestroyedThroughACopyLeavesTheNodesHandleInvalid) {
    KFbxNode* node = MakeNode("node");
    KFbxProperty visibility = node->FindProperty("Visibility");
    ASSERT_TRUE(visibility.IsValid());
    visibility.Destroy();
    EXPECT_FALSE(node->FindProperty("Visibility").IsValid());
    EXPECT_FALSE(node->GetNodeProperty(eVisibility).IsValid());
    EXPECT_FALSE(node->GetVisibility());
    node->SetVisibility(true);
    EXPECT_FALSE(node->GetVisibility());
}

TEST_F(KFbxNodeTransformTest, EnumNamesOfRotationOrderAndInheritType) {
    EXPECT_STREQ(KFbxNode::GetRotationOrderName(5), "Euler ZYX");
    EXPECT_STREQ(KFbxNode::GetRotationOrderName(6), "Spheric XYZ");
    EXPECT_EQ(KFbxNode::GetRotationOrderName(7), nullptr);
    EXPECT_STREQ(KFbxNode::GetTransformInheritTypeName(1), "RrSs");
    EXPECT_STREQ(KFbxNode::GetTransformInheritTypeName(2), "Rrs");
    EXPECT_EQ(KFbxNode::GetTransformInheritTypeName(3), nullptr);
    KFbxNode* node = MakeNode("node");
    EXPECT_STREQ(node->FindProperty("InheritType").GetEnumValue(1), "RrSs");
    EXPECT_STREQ(node->FindProperty("RotationOrder").GetEnumValue(0), "Euler XYZ");
}

TEST_F(KFbxNodeTransformTest, SetZeroSettersFeedTheEvaluationStateAndSetOneDoesNot) {
    KFbxNode* node = MakeNode("node");
    const KFbxNodeEvaluationState& state = node->GetEvaluationState();
    node->SetRotationOffset(KFbxNode::eSOURCE_SET, V(0, 0, 1e-300));
    EXPECT_EQ(state.mPivots.mFlags, KFbxNodePivots::kRotationOffset);
    node->SetRotationOffset(KFbxNode::eSOURCE_SET, V(0, 0, 0));
    EXPECT_EQ(state.mPivots.mFlags, 0u);

    node->SetPreRotation(KFbxNode::eDESTINATION_SET, V(10, 0, 0));
    EXPECT_EQ(state.mPrePostRotation.mFlags, 0u);
    EXPECT_DOUBLE_EQ(state.mPrePostRotation.mPre[1][1], 1.0);
    EXPECT_DOUBLE_EQ(node->GetPreRotation(KFbxNode::eDESTINATION_SET)[0], 10.0);
    node->SetPreRotation(KFbxNode::eSOURCE_SET, V(0, 0, 90));
    EXPECT_EQ(state.mPrePostRotation.mFlags, KFbxNodePrePostRotation::kPre);
    EXPECT_NEAR(state.mPrePostRotation.mPre[0][1], 1.0, 1e-15);

    node->SetRotationOrder(KFbxNode::eSOURCE_SET, KFbxNode::eEULER_ZYX);
    EXPECT_EQ(state.mPrePostRotation.mOrder, 10);
    node->SetRotationOrder(KFbxNode::eDESTINATION_SET, KFbxNode::eEULER_YZX);
    EXPECT_EQ(state.mPrePostRotation.mOrder, 10);
    node->SelectPivotSet(KFbxNode::eDESTINATION_SET);
    EXPECT_EQ(state.mPrePostRotation.mOrder, 4);
    EXPECT_EQ(state.mPrePostRotation.mFlags, KFbxNodePrePostRotation::kPre);
    EXPECT_NEAR(state.mPrePostRotation.mPre[1][2], std::sin(10.0 * 0.017453292519943295), 1e-15);

    node->SetRotationActive(true);
    EXPECT_TRUE(node->GetRotationActive());
    EXPECT_TRUE(node->GetLimits().GetRotationActive());
    EXPECT_TRUE(state.IsRotationActive());
}

TEST_F(KFbxNodeTransformTest, ResetPivotSetNeutralisesTheSubtreeButKeepsThePivotState) {
    KFbxNode* root = MakeNode("root");
    KFbxNode* child = MakeNode("child", root);
    for (KFbxNode* node : {root, child}) {
        node->SetRotationPivot(KFbxNode::eSOURCE_SET, V(1, 2, 3));
        node->SetPostRotation(KFbxNode::eSOURCE_SET, V(0, 45, 0));
        node->SetGeometricScaling(KFbxNode::eSOURCE_SET, V(2, 2, 2));
        node->SetPivotState(KFbxNode::eSOURCE_SET, 0);
    }
    root->ResetPivotSet(KFbxNode::eSOURCE_SET);
    EXPECT_EQ(child->GetEvaluationState().mPivots.mFlags, 0u);
    EXPECT_EQ(child->GetEvaluationState().mPrePostRotation.mFlags, 0u);
    KFbxVector4 scaling;
    child->GetGeometricScaling(KFbxNode::eSOURCE_SET, scaling);
    EXPECT_DOUBLE_EQ(scaling[0], 1.0);
    EXPECT_EQ(child->GetPivotState(KFbxNode::eSOURCE_SET), 0);
}

TEST_F(KFbxNodeTransformTest, LclSettersAndGettersGoThroughTheProperties) {
    KFbxNode* node = MakeNode("node");
    EXPECT_TRUE(node->SetLclTranslation(V(1, 2, 3)));
    KFbxVector4 out;
    node->GetLclTranslation(out);
    EXPECT_DOUBLE_EQ(out[2], 3.0);
    EXPECT_DOUBLE_EQ(out[3], 1.0);
    EXPECT_DOUBLE_EQ(node->GetPropertyDouble3("Lcl Translation")[1], 2.0);
    EXPECT_DOUBLE_EQ(node->GetPropertyDouble3("NoSuchProperty")[0], 0.0);
    // The default take follows the property.
    EXPECT_FLOAT_EQ(ChannelCurve(node->GetDefaultTakeNode(), "T", "Z")->GetValue(), 3.0f);
}

TEST_F(KFbxNodeTransformTest, NeutralPropertiesWithinOneMillionthLeaveThePivotSetsAlone) {
    KFbxNode* node = MakeNode("node");
    node->SetRotationPivot(KFbxNode::eDESTINATION_SET, V(4, 4, 4));
    SetVector(node, eRotationPivot, 0, 5e-7, 0);
    SetVector(node, eGeometricScaling, 1, 1, 1 + 9e-7);
    node->UpdatePivotsAndLimitsFromProperties();
    EXPECT_EQ(node->GetPivotState(KFbxNode::eSOURCE_SET), 1);
    EXPECT_EQ(node->GetEvaluationState().mPivots.mFlags, 0u);
    EXPECT_DOUBLE_EQ(node->GetRotationPivot(KFbxNode::eDESTINATION_SET)[0], 4.0);
}

TEST_F(KFbxNodeTransformTest, OnePropertyBeyondOneMillionthLoadsAllOfThemIntoSetZeroAndResetsSetOne) {
    KFbxNode* node = MakeNode("node");
    node->SetRotationPivot(KFbxNode::eDESTINATION_SET, V(4, 4, 4));
    SetVector(node, eRotationPivot, 0, 5e-7, 0);
    SetVector(node, eScalingOffset, 0, 0, 2e-6);
    SetVector(node, ePostRotation, 0, 30, 0);
    node->UpdatePivotsAndLimitsFromProperties();
    EXPECT_EQ(node->GetPivotState(KFbxNode::eSOURCE_SET), 0);
    EXPECT_DOUBLE_EQ(node->GetRotationPivot(KFbxNode::eSOURCE_SET)[1], 5e-7);
    EXPECT_EQ(node->GetEvaluationState().mPivots.mFlags,
              KFbxNodePivots::kRotationPivot | KFbxNodePivots::kScalingOffset);
    EXPECT_EQ(node->GetEvaluationState().mPrePostRotation.mFlags, KFbxNodePrePostRotation::kPost);
    EXPECT_DOUBLE_EQ(node->GetRotationPivot(KFbxNode::eDESTINATION_SET)[0], 0.0);

    // A rotation order alone is enough too, and quaternion interpolation reaches "R".
    KFbxNode* ordered = MakeNode("ordered");
    int order = KFbxNode::eEULER_ZXY;
    ordered->GetNodeProperty(eRotationOrder).Set(&order, eFbxValueEnum);
    SetBool(ordered, eQuaternionInterpolate, true);
    ordered->UpdatePivotsAndLimitsFromProperties();
    EXPECT_EQ(ordered->GetEvaluationState().mPrePostRotation.mOrder, 8);
    EXPECT_TRUE(ordered->GetQuaternionInterpolate(KFbxNode::eSOURCE_SET));
    EXPECT_TRUE(ordered->GetDefaultTakeNode()->GetKFCurveNode()->Find("R")->GetQuaternionInterpolation());
}

TEST_F(KFbxNodeTransformTest, RotationOrdersOutsideTheSevenEvaluateAsEulerXyz) {
    KFbxNode* reference = MakeNode("reference");
    reference->SetLclRotation(V(30, 40, 50));
    reference->SetPreRotation(KFbxNode::eSOURCE_SET, V(0, 0, 10));
    const KgeMatrix expected = reference->EvaluateDefaultGlobalTransform();
    for (int order : {7, -1, 2147483647, -2147483647 - 1}) {
        KFbxNode* node = MakeNode("node");
        node->SetLclRotation(V(30, 40, 50));
        node->GetNodeProperty(eRotationOrder).Set(&order, eFbxValueEnum);
        SetVector(node, ePreRotation, 0, 0, 10);
        node->UpdatePivotsAndLimitsFromProperties();
        KFbxNode::ERotationOrder read = KFbxNode::eSPHERIC_XYZ;
        node->GetRotationOrder(KFbxNode::eSOURCE_SET, read);
        EXPECT_EQ(read, KFbxNode::eEULER_XYZ) << order;
        EXPECT_EQ(node->GetEvaluationState().mPrePostRotation.mOrder, 0) << order;
        const KgeMatrix global = node->EvaluateDefaultGlobalTransform();
        for (int cell = 0; cell < 16; ++cell) {
            EXPECT_NEAR(global[cell / 4][cell % 4], expected[cell / 4][cell % 4], 1e-9) << order;
        }
    }
    // The largest value the enumeration's range holds, set directly.
    KFbxNode* node = MakeNode("direct");
    node->SetRotationOrder(KFbxNode::eDESTINATION_SET, static_cast<KFbxNode::ERotationOrder>(7));
    KFbxNode::ERotationOrder read = KFbxNode::eSPHERIC_XYZ;
    node->GetRotationOrder(KFbxNode::eDESTINATION_SET, read);
    EXPECT_EQ(read, KFbxNode::eEULER_XYZ);
}

TEST_F(KFbxNodeTransformTest, LimitsFollowThePropertiesOnlyWhenOneDiffers) {
    KFbxNode* node = MakeNode("node");
    // The scaling records start at (1, 1, 1), their properties at zero.
    node->GetLimits().SetLimitMin(V(0, 0, 0), KFbxLimits::eScaling);
    node->GetLimits().SetLimitMax(V(0, 0, 0), KFbxLimits::eScaling);
    SetVector(node, eTranslationMax, 5e-7, 0, 0);
    SetBool(node, eRotationMaxZ, false);
    node->UpdatePivotsAndLimitsFromProperties();
    EXPECT_DOUBLE_EQ(node->GetLimits().GetLimitMax(KFbxLimits::eTranslation)[0], 0.0);

    SetBool(node, eScalingActive, true);
    SetBool(node, eRotationMaxZ, true);
    SetVector(node, eRotationMax, 0, 0, 45);
    node->UpdatePivotsAndLimitsFromProperties();
    const KFbxLimits& limits = node->GetLimits();
    EXPECT_TRUE(limits.GetScalingActive());
    bool x = true, y = true, z = false;
    limits.GetLimitMaxActive(x, y, z);
    EXPECT_FALSE(x);
    EXPECT_TRUE(z);
    EXPECT_DOUBLE_EQ(limits.GetLimitMax()[2], 45.0);
    EXPECT_DOUBLE_EQ(limits.GetLimitMax(KFbxLimits::eTranslation)[0], 5e-7);
}

TEST_F(KFbxNodeTransformTest, PivotsAndLimitsGoBackIntoTheProperties) {
    KFbxNode* node = MakeNode("node");
    node->SetScalingPivot(KFbxNode::eSOURCE_SET, V(1, 2, 3));
    node->SetRotationOrder(KFbxNode::eSOURCE_SET, KFbxNode::eEULER_YXZ);
    node->GetLimits().SetTranslationActive(true);
    node->GetLimits().SetLimitMinActive(false, true, false, KFbxLimits::eTranslation);
    node->GetLimits().SetLimitMin(V(0, -1, 0), KFbxLimits::eTranslation);
    node->UpdatePropertiesFromPivotsAndLimits();
    EXPECT_DOUBLE_EQ(node->GetPropertyDouble3("ScalingPivot")[2], 3.0);
    int order = 0;
    node->FindProperty("RotationOrder").Get(&order, eFbxValueInteger);
    EXPECT_EQ(order, KFbxNode::eEULER_YXZ);
    bool value = false;
    node->FindProperty("TranslationActive").Get(&value, eFbxValueBool);
    EXPECT_TRUE(value);
    node->FindProperty("TranslationMinY").Get(&value, eFbxValueBool);
    EXPECT_TRUE(value);
    node->FindProperty("TranslationMinX").Get(&value, eFbxValueBool);
    EXPECT_FALSE(value);
    EXPECT_DOUBLE_EQ(node->GetPropertyDouble3("TranslationMin")[1], -1.0);
}

TEST_F(KFbxNodeTransformTest, UntouchedNodesReadNeutralSettingsThatNoOtherNodesWritesReach) {
    KFbxNode* written = MakeNode("written");
    KFbxNode* untouched = MakeNode("untouched");
    written->SetRotationPivot(KFbxNode::eDESTINATION_SET, V(1, 2, 3));
    written->SetGeometricScaling(KFbxNode::eSOURCE_SET, V(2, 2, 2));
    written->SetPivotState(KFbxNode::eDESTINATION_SET, 0);
    written->SetRotationOrder(KFbxNode::eDESTINATION_SET, KFbxNode::eEULER_ZYX);
    written->GetLimits().SetLimitMax(V(5, 5, 5), KFbxLimits::eTranslation);
    written->SetCachedTransformFromMatrix(KgeMatrix());

    const KFbxNode& view = *untouched;
    for (KFbxNode::EPivotSet set : {KFbxNode::eSOURCE_SET, KFbxNode::eDESTINATION_SET}) {
        EXPECT_DOUBLE_EQ(view.GetRotationPivot(set)[0], 0.0);
        KFbxVector4 scaling;
        view.GetGeometricScaling(set, scaling);
        EXPECT_DOUBLE_EQ(scaling[1], 1.0);
        EXPECT_EQ(view.GetPivotState(set), 1);
        KFbxNode::ERotationOrder order = KFbxNode::eSPHERIC_XYZ;
        view.GetRotationOrder(set, order);
        EXPECT_EQ(order, KFbxNode::eEULER_XYZ);
    }
    EXPECT_DOUBLE_EQ(view.GetLimits().GetLimitMax(KFbxLimits::eTranslation)[0], 0.0);
    EXPECT_DOUBLE_EQ(view.GetLimits().GetLimitMax(KFbxLimits::eScaling)[0], 1.0);
    EXPECT_FALSE(view.GetLimits().GetRotationActive());
    EXPECT_EQ(view.GetMatrixRecord(0).mTag, -1);
    EXPECT_EQ(view.GetMatrixRecord(1).mTag, -1);
    EXPECT_DOUBLE_EQ(written->GetRotationPivot(KFbxNode::eDESTINATION_SET)[2], 3.0);
    EXPECT_DOUBLE_EQ(written->GetLimits().GetLimitMax(KFbxLimits::eTranslation)[0], 5.0);
}

TEST_F(KFbxNodeTransformTest, AnUntouchedNodeEvaluatesAlikeWithEitherPivotSetAndKeepsItsDefaults) {
    KFbxNode* parent = MakeNode("parent");
    KFbxNode* child = MakeNode("child", parent);
    child->SetLclTranslation(V(1, 2, 3));
    const KgeMatrix source = child->EvaluateDefaultGlobalTransform(KFbxNode::eSOURCE_SET);
    const KgeMatrix destination = child->EvaluateDefaultGlobalTransform(KFbxNode::eDESTINATION_SET);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(source[row][column], destination[row][column]);
        }
    }
    EXPECT_DOUBLE_EQ(source[3][1], 2.0);
    EXPECT_EQ(child->GetEvaluationState().mPivots.mFlags, 0u);
    EXPECT_EQ(child->GetEvaluationState().mPrePostRotation.mOrder, 0);
    child->ResetPivotSet(KFbxNode::eDESTINATION_SET);
    EXPECT_EQ(child->GetPivotState(KFbxNode::eDESTINATION_SET), 1);
}

TEST_F(KFbxNodeTransformTest, LimitsMadeOnFirstWriteClampEvaluationAndInheritTypeChangesReachIt) {
    KFbxNode* node = MakeNode("node");
    node->SetLclTranslation(V(10, -10, 0));
    EXPECT_DOUBLE_EQ(node->EvaluateDefaultLocalT(true)[0], 10.0);
    node->SetRotationActive(false);
    EXPECT_FALSE(node->GetEvaluationState().IsRotationActive());
    KFbxLimits& limits = node->GetLimits();
    limits.SetLimitMaxActive(true, false, false, KFbxLimits::eTranslation);
    limits.SetLimitMax(V(4, 0, 0), KFbxLimits::eTranslation);
    node->ResetEvaluationCache();
    EXPECT_DOUBLE_EQ(node->EvaluateDefaultLocalT(true)[0], 4.0);
    EXPECT_DOUBLE_EQ(node->EvaluateDefaultLocalT(false)[0], 10.0);
    node->SetRotationActive(true);
    EXPECT_TRUE(node->GetEvaluationState().IsRotationActive());

    int type = KFbxNode::eINHERIT_Rrs;
    node->GetNodeProperty(eInheritType).Set(&type, eFbxValueInteger);
    EXPECT_EQ(node->GetEvaluationState().mPivots.mInheritType, KFbxNode::eINHERIT_Rrs);
}

TEST_F(KFbxNodeTransformTest, InitTransformDefaultsNeutralisesMadePivotSetsInPlace) {
    KFbxNode* node = MakeNode("node");
    node->SetRotationOffset(KFbxNode::eSOURCE_SET, V(1, 0, 0));
    node->SetPreRotation(KFbxNode::eSOURCE_SET, V(0, 0, 30));
    node->SetTransformInheritType(KFbxNode::eINHERIT_RSrs);
    const KFbxVector4& offset = node->GetRotationOffset(KFbxNode::eSOURCE_SET);
    EXPECT_DOUBLE_EQ(offset[0], 1.0);
    node->InitTransformDefaults();
    EXPECT_DOUBLE_EQ(offset[0], 0.0);
    EXPECT_EQ(node->GetEvaluationState().mPivots.mFlags, 0u);
    EXPECT_EQ(node->GetEvaluationState().mPrePostRotation.mFlags, 0u);
    EXPECT_EQ(node->GetEvaluationState().mPivots.mInheritType, KFbxNode::eINHERIT_RrSs);
    EXPECT_DOUBLE_EQ(node->GetPropertyDouble3("GeometricScaling")[0], 1.0);
}

}  // namespace
