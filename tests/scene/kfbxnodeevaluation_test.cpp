// Global transforms against hand-computed matrices: inherit types 0, 1 and 2
// through a three-level animated hierarchy, rotation orders, pre- and
// post-rotation only while rotation is active, pivots and offsets, limits
// (also in pre/post-rotation space), pivot set 1 and the caches.
#include <fbxfilesdk/animation/KFCurveKey.h>

#include <cmath>
#include <initializer_list>
#include <utility>

#include "scene/SceneTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

const KTime kOneSecond(46186158000LL);

// A linear key appended to a component curve of the node's current take.
void Key(KFbxNode* node, const char* channel, const char* component, KTime time, float value) {
    KFCurve* curve = ChannelCurve(node->GetCurrentTakeNode(), channel, component);
    ASSERT_NE(curve, nullptr) << channel << "/" << component;
    curve->KeySet(curve->KeyGetCount(), time, value, KFCURVE_INTERPOLATION_LINEAR);
}

KFbxVector4 V(double x, double y, double z) { return KFbxVector4(x, y, z, 1.0); }

class KFbxNodeEvaluationTest : public SceneTest {
protected:
    // Makes the take and makes it current in every node given.
    static void UseTake(std::initializer_list<KFbxNode*> nodes) {
        for (KFbxNode* node : nodes) {
            node->CreateTakeNode("Take 001");
            node->SetCurrentTakeNodeByName("Take 001");
        }
    }
};

TEST_F(KFbxNodeEvaluationTest, RootWithoutPivotsIsRotationRowsScaledThenTranslation) {
    KFbxNode* node = MakeNode("root");
    node->SetLclTranslation(V(1, 2, 3));
    node->SetLclRotation(V(0, 0, 90));
    node->SetLclScaling(V(2, 3, 4));
    const double expected[4][4] = {{0, 2, 0, 0}, {-3, 0, 0, 0}, {0, 0, 4, 0}, {1, 2, 3, 1}};
    ExpectMatrixNear(node->EvaluateDefaultGlobalTransform(), expected);
    ExpectMatrixNear(node->EvaluateGlobalTransform(kOneSecond), expected);
}

// A (S 2,1,1; R.Z animated 0 -> 90) / B (T 1,0,0; S 1,3,1; inherit 0) / three
// children of B with T (0,1,0) and R.Z 90, one per inherit type.
TEST_F(KFbxNodeEvaluationTest, InheritTypesZeroOneAndTwoComposeScalingDifferently) {
    KFbxNode* a = MakeNode("a");
    KFbxNode* b = MakeNode("b", a);
    KFbxNode* c0 = MakeNode("c0", b);
    KFbxNode* c1 = MakeNode("c1", b);
    KFbxNode* c2 = MakeNode("c2", b);
    a->SetLclScaling(V(2, 1, 1));
    b->SetLclTranslation(V(1, 0, 0));
    b->SetLclScaling(V(1, 3, 1));
    for (KFbxNode* child : {c0, c1, c2}) {
        child->SetLclTranslation(V(0, 1, 0));
        child->SetLclRotation(V(0, 0, 90));
    }
    c1->SetTransformInheritType(KFbxNode::eINHERIT_RSrs);
    c2->SetTransformInheritType(KFbxNode::eINHERIT_Rrs);
    UseTake({a, b, c0, c1, c2});
    Key(a, "R", "Z", KTime(), 0.0f);
    Key(a, "R", "Z", kOneSecond, 90.0f);

    const double b1[4][4] = {{0, 2, 0, 0}, {-3, 0, 0, 0}, {0, 0, 1, 0}, {0, 2, 0, 1}};
    const double rrss[4][4] = {{-2, 0, 0, 0}, {0, -3, 0, 0}, {0, 0, 1, 0}, {-3, 2, 0, 1}};
    const double rsrs[4][4] = {{-3, 0, 0, 0}, {0, -2, 0, 0}, {0, 0, 1, 0}, {-3, 2, 0, 1}};
    const double rrs[4][4] = {{-1, 0, 0, 0}, {0, -2, 0, 0}, {0, 0, 1, 0}, {-3, 2, 0, 1}};
    ExpectMatrixNear(c0->EvaluateGlobalTransform(kOneSecond), rrss);
    ExpectMatrixNear(c1->EvaluateGlobalTransform(kOneSecond), rsrs);
    ExpectMatrixNear(c2->EvaluateGlobalTransform(kOneSecond), rrs);
    ExpectMatrixNear(b->EvaluateGlobalTransform(kOneSecond), b1);

    // At time 0 the root is unrotated; the ancestors are evaluated again.
    const double b0[4][4] = {{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 1, 0}, {2, 0, 0, 1}};
    const double c00[4][4] = {{0, 2, 0, 0}, {-3, 0, 0, 0}, {0, 0, 1, 0}, {2, 3, 0, 1}};
    ExpectMatrixNear(c0->EvaluateGlobalTransform(KTime()), c00);
    ExpectMatrixNear(b->EvaluateGlobalTransform(KTime()), b0);

    // From the parts of the ancestors at one second kept by the caller,
    // while their own caches answer for time 0.
    KFbxNodeGlobalParts aParts;
    KFbxNodeGlobalParts bParts;
    a->EvaluateGlobalTransformUnder(kOneSecond, nullptr, aParts);
    b->EvaluateGlobalTransformUnder(kOneSecond, &aParts, bParts);
    ExpectMatrixNear(b->EvaluateGlobalTransform(KTime()), b0);
    ExpectMatrixNear(bParts.mGlobal, b1);
    for (auto [child, expected] : {std::pair{c0, &rrss}, std::pair{c1, &rsrs}, std::pair{c2, &rrs}}) {
        KFbxNodeGlobalParts parts;
        child->ResetEvaluationCache();
        child->EvaluateGlobalTransformUnder(kOneSecond, &bParts, parts);
        ExpectMatrixNear(parts.mGlobal, *expected);
    }
}

TEST_F(KFbxNodeEvaluationTest, RotationOrderAndPrePostRotationApplyOnlyWhileRotationIsActive) {
    KFbxNode* node = MakeNode("node");
    node->SetLclRotation(V(90, 0, 90));
    node->SetRotationOrder(KFbxNode::eSOURCE_SET, KFbxNode::eEULER_ZYX);
    const double xyz[4][4] = {{0, 1, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 0}, {0, 0, 0, 1}};
    ExpectMatrixNear(node->EvaluateDefaultGlobalTransform(), xyz);

    // Z is applied first in "Euler ZYX".
    node->SetRotationActive(true);
    node->ResetEvaluationCache();
    const double zyx[4][4] = {{0, 0, 1, 0}, {-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, 0, 1}};
    ExpectMatrixNear(node->EvaluateDefaultGlobalTransform(), zyx);

    // Pre-rotation applies after the local rotation, post-rotation is undone before it.
    KFbxNode* pre = MakeNode("pre");
    pre->SetLclRotation(V(90, 0, 0));
    pre->SetPreRotation(KFbxNode::eSOURCE_SET, V(0, 0, 90));
    const double xOnly[4][4] = {{1, 0, 0, 0}, {0, 0, 1, 0}, {0, -1, 0, 0}, {0, 0, 0, 1}};
    ExpectMatrixNear(pre->EvaluateDefaultGlobalTransform(), xOnly);
    pre->SetRotationActive(true);
    pre->ResetEvaluationCache();
    ExpectMatrixNear(pre->EvaluateDefaultGlobalTransform(), xyz);

    KFbxNode* post = MakeNode("post");
    post->SetLclRotation(V(0, 0, 90));
    post->SetPostRotation(KFbxNode::eSOURCE_SET, V(90, 0, 0));
    post->SetRotationActive(true);
    const double postExpected[4][4] = {{0, 1, 0, 0}, {0, 0, -1, 0}, {-1, 0, 0, 0}, {0, 0, 0, 1}};
    ExpectMatrixNear(post->EvaluateDefaultGlobalTransform(), postExpected);

    KFbxNode* tenDegrees = MakeNode("ten");
    tenDegrees->SetPreRotation(KFbxNode::eSOURCE_SET, V(10, 0, 0));
    tenDegrees->SetRotationActive(true);
    const double c = std::cos(10.0 * 0.017453292519943295);
    const double s = std::sin(10.0 * 0.017453292519943295);
    const double rotX10[4][4] = {{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}};
    ExpectMatrixNear(tenDegrees->EvaluateDefaultGlobalTransform(), rotX10);
}

TEST_F(KFbxNodeEvaluationTest, RotationAndScalingPivotsAndOffsetsMoveTheTranslation) {
    KFbxNode* node = MakeNode("node");
    node->SetLclTranslation(V(5, 0, 0));
    node->SetLclRotation(V(0, 0, 90));
    node->SetRotationPivot(KFbxNode::eSOURCE_SET, V(1, 0, 0));
    // T + Rp - Rp·R.
    const double pivoted[4][4] = {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {6, -1, 0, 1}};
    ExpectMatrixNear(node->EvaluateDefaultGlobalTransform(), pivoted);

    KFbxNode* all = MakeNode("all");
    all->SetLclRotation(V(0, 0, 90));
    all->SetLclScaling(V(3, 1, 1));
    all->SetScalingPivot(KFbxNode::eSOURCE_SET, V(1, 1, 0));
    all->SetScalingOffset(KFbxNode::eSOURCE_SET, V(0, 1, 0));
    all->SetRotationPivot(KFbxNode::eSOURCE_SET, V(1, 0, 0));
    all->SetRotationOffset(KFbxNode::eSOURCE_SET, V(0, 0, 2));
    // ((((1 - 3)·1, 0, 0) + So - Rp)·R + Rp + Ro.
    const double expected[4][4] = {{0, 3, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {0, -3, 2, 1}};
    ExpectMatrixNear(all->EvaluateDefaultGlobalTransform(), expected);
}

TEST_F(KFbxNodeEvaluationTest, LimitsClampTheAnimatedChannelsAndMaximumWinsOverAHigherMinimum) {
    KFbxNode* node = MakeNode("node");
    KFbxLimits& limits = node->GetLimits();
    limits.SetLimitMinActive(true, true, false, KFbxLimits::eTranslation);
    limits.SetLimitMaxActive(true, true, false, KFbxLimits::eTranslation);
    limits.SetLimitMin(V(0, 3, 0), KFbxLimits::eTranslation);
    limits.SetLimitMax(V(2, 1, 0), KFbxLimits::eTranslation);
    limits.SetLimitMaxActive(false, false, true, KFbxLimits::eRotation);
    limits.SetLimitMax(V(0, 0, 45), KFbxLimits::eRotation);
    limits.SetLimitMinActive(true, false, false, KFbxLimits::eScaling);
    limits.SetLimitMin(V(0.5, 0, 0), KFbxLimits::eScaling);
    UseTake({node});
    Key(node, "T", "X", kOneSecond, 5.0f);
    Key(node, "R", "Z", kOneSecond, 90.0f);
    Key(node, "S", "X", kOneSecond, 0.25f);

    const KFbxVector4& t = node->EvaluateLocalT(kOneSecond, true);
    EXPECT_DOUBLE_EQ(t[0], 2.0);
    EXPECT_DOUBLE_EQ(t[1], 1.0);
    const double r = 0.7071067811865476;
    const double expected[4][4] = {{0.5 * r, 0.5 * r, 0, 0}, {-r, r, 0, 0}, {0, 0, 1, 0}, {2, 1, 0, 1}};
    ExpectMatrixNear(node->EvaluateGlobalTransform(kOneSecond), expected);
    // Unclamped channels when asked so.
    node->ResetEvaluationCache();
    EXPECT_DOUBLE_EQ(node->EvaluateLocalT(kOneSecond, false)[0], 5.0);
}

TEST_F(KFbxNodeEvaluationTest, ClampedAndUnclampedAnswersDoNotDependOnTheOrderOfQueries) {
    KFbxNode* parent = MakeNode("parent");
    KFbxNode* child = MakeNode("child", parent);
    child->SetTransformInheritType(KFbxNode::eINHERIT_Rrs);
    parent->SetLclTranslation(V(5, 0, 0));
    parent->SetLclScaling(V(4, 1, 1));
    KFbxLimits& limits = parent->GetLimits();
    limits.SetLimitMaxActive(true, false, false, KFbxLimits::eTranslation);
    limits.SetLimitMax(V(1, 0, 0), KFbxLimits::eTranslation);
    limits.SetLimitMaxActive(true, false, false, KFbxLimits::eScaling);
    limits.SetLimitMax(V(2, 0, 0), KFbxLimits::eScaling);
    child->SetLclTranslation(V(1, 0, 0));
    UseTake({parent, child});

    // Unclamped first, then the global transform at the same time or from
    // the defaults; then the other way round.
    EXPECT_DOUBLE_EQ(parent->EvaluateDefaultLocalT(false)[0], 5.0);
    EXPECT_DOUBLE_EQ(parent->EvaluateDefaultGlobalTransform()[3][0], 1.0);
    EXPECT_DOUBLE_EQ(parent->EvaluateDefaultLocalT(false)[0], 5.0);
    EXPECT_DOUBLE_EQ(parent->EvaluateDefaultLocalT(true)[0], 1.0);
    EXPECT_DOUBLE_EQ(parent->EvaluateLocalT(kOneSecond, false)[0], 5.0);
    EXPECT_DOUBLE_EQ(parent->EvaluateGlobalTransform(kOneSecond)[3][0], 1.0);
    EXPECT_DOUBLE_EQ(parent->EvaluateLocalT(kOneSecond, false)[0], 5.0);
    EXPECT_DOUBLE_EQ(parent->EvaluateLocalT(kOneSecond, true)[0], 1.0);

    // A child that divides by its parent's local scaling sees the clamped
    // one, whatever was asked of the parent in between.
    const KgeMatrix fresh = child->EvaluateGlobalTransform(kOneSecond);
    child->ResetEvaluationCache();
    EXPECT_DOUBLE_EQ(parent->EvaluateLocalS(kOneSecond, false)[0], 4.0);
    EXPECT_EQ(KgeMatrix::CompareWithTolerance(child->EvaluateGlobalTransform(kOneSecond), fresh, 1e-12), 0);
    EXPECT_DOUBLE_EQ(fresh[3][0], 1.0 + 2.0);
}

TEST_F(KFbxNodeEvaluationTest, RotationLimitsApplyInPrePostRotationSpaceWhenAskedTo) {
    KFbxNode* node = MakeNode("node");
    node->SetLclRotation(V(0, 0, 30));
    node->SetPreRotation(KFbxNode::eSOURCE_SET, V(0, 0, 90));
    node->SetRotationActive(true);
    node->GetLimits().SetLimitMinActive(false, false, true);
    node->GetLimits().SetLimitMin(V(0, 0, -45));

    // Directly, 30 is above the minimum and R·Pre is a 120 degree turn.
    const double c120 = -0.5;
    const double s120 = 0.8660254037844387;
    const double direct[4][4] = {{c120, s120, 0, 0}, {-s120, c120, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    ExpectMatrixNear(node->EvaluateDefaultGlobalTransform(), direct);

    // In limit space the 30 degrees are -60 once the pre-rotation is taken
    // out; clamped to -45 they come back as a 45 degree turn, used as XYZ angles.
    node->SetRotationSpaceForLimitOnly(KFbxNode::eSOURCE_SET, true);
    node->ResetEvaluationCache();
    EXPECT_NEAR(node->EvaluateDefaultLocalR(true)[2], 45.0, 1e-9);
    const double r = 0.7071067811865476;
    const double limited[4][4] = {{r, r, 0, 0}, {-r, r, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    ExpectMatrixNear(node->EvaluateDefaultGlobalTransform(), limited);
}

TEST_F(KFbxNodeEvaluationTest, PivotSetOneIsEvaluatedOnRequestAndCachedApartFromSetZero) {
    KFbxNode* parent = MakeNode("parent");
    KFbxNode* node = MakeNode("node", parent);
    node->SetLclRotation(V(0, 0, 90));
    node->SetRotationPivot(KFbxNode::eDESTINATION_SET, V(1, 0, 0));
    parent->SetRotationOffset(KFbxNode::eDESTINATION_SET, V(0, 0, 7));

    const double set0[4][4] = {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const double set1[4][4] = {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {1, -1, 7, 1}};
    ExpectMatrixNear(node->EvaluateGlobalTransform(kOneSecond), set0);
    ExpectMatrixNear(node->EvaluateGlobalTransform(kOneSecond, KFbxNode::eDESTINATION_SET), set1);
    ExpectMatrixNear(node->EvaluateGlobalTransform(kOneSecond), set0);
    // Set 0 is back in the evaluation state.
    EXPECT_EQ(node->GetEvaluationState().mPivots.mFlags, 0u);
    EXPECT_EQ(parent->GetEvaluationState().mPivots.mFlags, 0u);
}

TEST_F(KFbxNodeEvaluationTest, CacheAnswersTheSameTimeUntilTheCurrentTakeIsSetAgain) {
    KFbxNode* node = MakeNode("node");
    UseTake({node});
    Key(node, "T", "X", kOneSecond, 4.0f);
    EXPECT_DOUBLE_EQ(node->EvaluateGlobalTransform(kOneSecond)[3][0], 4.0);

    // Settings edited since do not reach a cached time.
    node->SetRotationOffset(KFbxNode::eSOURCE_SET, V(1, 0, 0));
    EXPECT_DOUBLE_EQ(node->EvaluateGlobalTransform(kOneSecond)[3][0], 4.0);
    node->SetCurrentTakeNode(1);
    EXPECT_DOUBLE_EQ(node->EvaluateGlobalTransform(kOneSecond)[3][0], 5.0);

    // Another take is another animation.
    node->SetCurrentTakeNode(0);
    EXPECT_DOUBLE_EQ(node->EvaluateGlobalTransform(kOneSecond)[3][0], 1.0);
}

// Where the channels were found is remembered between evaluations; every
// change of the take's tree or of the takes is seen at the next time asked,
// and nothing is read through a channel that went away.
TEST_F(KFbxNodeEvaluationTest, RememberedChannelsFollowEveryChangeOfTheTakes) {
    KFbxNode* node = MakeNode("node");
    node->SetLclTranslation(V(1, 0, 0));
    UseTake({node});
    Key(node, "T", "X", KTime(), 4.0f);
    Key(node, "R", "Z", KTime(), 90.0f);
    Key(node, "S", "Y", KTime(), 3.0f);
    const auto at = [node](int seconds) -> const KgeMatrix& {
        return node->EvaluateGlobalTransform(KTime(seconds * kOneSecond.Get()));
    };
    EXPECT_DOUBLE_EQ(at(1)[3][0], 4.0);
    EXPECT_DOUBLE_EQ(at(1)[1][0], -3.0);

    // The rotation moves up to the root of the tree: found there; the
    // translation and scaling stay where they were.
    KFCurveNode* root = node->GetCurrentTakeNode()->GetKFCurveNode();
    KFCurveNode* rotation = root->Find("R");
    ASSERT_NE(rotation, nullptr);
    KFCurveNode* transform = rotation->GetParent();
    ASSERT_NE(transform, nullptr);
    transform->Remove(transform->FindChild(rotation));
    root->Add(rotation);
    EXPECT_DOUBLE_EQ(at(2)[3][0], 4.0);
    EXPECT_DOUBLE_EQ(at(2)[1][0], -3.0);

    // Keys added since count at the next time asked.
    Key(node, "T", "X", kOneSecond * 3, 10.0f);
    EXPECT_DOUBLE_EQ(at(3)[3][0], 10.0);

    // A deleted channel is neutral.
    transform->Delete(transform->FindChild(root->Find("T")));
    EXPECT_DOUBLE_EQ(at(4)[3][0], 0.0);
    EXPECT_DOUBLE_EQ(at(4)[1][0], -3.0);

    // The whole take goes: its tree with it, and the default take, which
    // becomes current, is evaluated.
    ASSERT_TRUE(node->RemoveTakeNode(1));
    EXPECT_DOUBLE_EQ(at(5)[3][0], 1.0);
    EXPECT_DOUBLE_EQ(at(5)[1][1], 1.0);

    // A new take with other keys, made current.
    node->CreateTakeNode("Take 002");
    ASSERT_TRUE(node->SetCurrentTakeNodeByName("Take 002"));
    Key(node, "T", "X", KTime(), -2.0f);
    EXPECT_DOUBLE_EQ(at(6)[3][0], -2.0);
    EXPECT_DOUBLE_EQ(node->EvaluateLocalT(KTime(7 * kOneSecond.Get()), false)[0], -2.0);
}

TEST_F(KFbxNodeEvaluationTest, DefaultGlobalTransformFollowsTheParentsDefaults) {
    KFbxNode* parent = MakeNode("parent");
    KFbxNode* child = MakeNode("child", parent);
    parent->SetLclRotation(V(0, 0, 90));
    parent->SetLclTranslation(V(0, 0, 1));
    child->SetLclTranslation(V(1, 0, 0));
    const double expected[4][4] = {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 1, 1}};
    ExpectMatrixNear(child->EvaluateDefaultGlobalTransform(), expected);
}

TEST_F(KFbxNodeEvaluationTest, ZeroParentScalingUnderInheritTypeTwoGivesFiniteResults) {
    KFbxNode* parent = MakeNode("parent");
    KFbxNode* child = MakeNode("child", parent);
    parent->SetLclScaling(V(0, 1, 1));
    child->SetTransformInheritType(KFbxNode::eINHERIT_Rrs);
    const KgeMatrix& global = child->EvaluateDefaultGlobalTransform();
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_TRUE(std::isfinite(global[row][column]));
        }
    }
    EXPECT_DOUBLE_EQ(global[0][0], 0.0);
    EXPECT_DOUBLE_EQ(global[1][1], 1.0);
}

TEST_F(KFbxNodeEvaluationTest, CachedTransformFromMatrixKeepsItsParts) {
    KFbxNode* node = MakeNode("node");
    KgeMatrix m;
    m[0][0] = 0;
    m[0][1] = 2;
    m[1][0] = -3;
    m[1][1] = 0;
    m[3][0] = 4;
    node->SetCachedTransformFromMatrix(m);
    const KFbxNodeMatrixRecord& record = node->GetMatrixRecord(1);
    EXPECT_DOUBLE_EQ(record.mTranslation[0], 4.0);
    EXPECT_DOUBLE_EQ(record.mScaling[0][0], 2.0);
    EXPECT_DOUBLE_EQ(record.mScaling[1][1], 3.0);
    EXPECT_DOUBLE_EQ(record.mRotation[0][1], 1.0);
    EXPECT_DOUBLE_EQ(record.mRotation[1][0], -1.0);
}

}  // namespace
