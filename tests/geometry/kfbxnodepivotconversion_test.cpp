// A node's animation, "Lcl Translation" and geometry converted from one pivot
// set to the other: evaluated with the target set, the node and its children
// keep their global matrices at every frame, and its geometry keeps its drawn
// points.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxGeometryPivotTransform.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxGeometryPivotHook.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include "scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

using scenetest::ChannelCurve;

constexpr KFbxNode::EPivotSet kSet0 = KFbxNode::eSOURCE_SET;
constexpr KFbxNode::EPivotSet kSet1 = KFbxNode::eDESTINATION_SET;

KTime Frame(int frame) {
    KTime time;
    time.SetTime(0, 0, 0, frame, 0, KTime::eDefaultMode);
    return time;
}

double FrameRate() { return 1.0 / Frame(1).GetSecondDouble(); }

KFbxVector4 V(double x, double y, double z) { return KFbxVector4(x, y, z, 1.0); }

class KFbxNodePivotConversionTest : public scenetest::SceneTest {
protected:
    void SetUp() override {
        scenetest::SceneTest::SetUp();
        KFbxInstallGeometryPivotTransform();
    }

    // A node with a second take, current, keyed on frames 0 to 10 with a
    // moving, turning and growing motion (phase shifts it per node).
    KFbxNode* AnimatedNode(const char* name, KFbxNode* parent = nullptr, double phase = 0.0) {
        KFbxNode* node = MakeNode(name, parent);
        EXPECT_NE(node->CreateTakeNode("Take 001"), nullptr);
        EXPECT_TRUE(node->SetCurrentTakeNode(1));
        KFbxTakeNode* take = node->GetCurrentTakeNode();
        const char* channels[3] = {"T", "R", "S"};
        const char* axes[3] = {"X", "Y", "Z"};
        for (int f = 0; f <= 10; ++f) {
            const double values[9] = {1.0 + f + phase, 2.0 - 0.5 * f, 0.25 * f,
                                      5.0 * f + phase, 30.0 - 4.0 * f, 2.0 * f,
                                      1.0 + 0.05 * f, 1.5, 2.0 - 0.1 * f};
            for (int c = 0; c < 9; ++c) {
                KFCurve* curve = ChannelCurve(take, channels[c / 3], axes[c % 3]);
                curve->KeySet(curve->KeyGetCount(), Frame(f), static_cast<float>(values[c]),
                              KFCURVE_INTERPOLATION_LINEAR);
            }
        }
        return node;
    }

    static std::vector<KgeMatrix> Globals(KFbxNode* node, KFbxNode::EPivotSet set) {
        std::vector<KgeMatrix> result;
        for (int f = 0; f <= 10; ++f) {
            result.push_back(node->EvaluateGlobalTransform(Frame(f), set));
        }
        return result;
    }

    static void ExpectSameGlobals(KFbxNode* node, KFbxNode::EPivotSet set, const std::vector<KgeMatrix>& before) {
        node->ResetEvaluationCache();
        for (KFbxNode* parent = node->GetParent(); parent != nullptr; parent = parent->GetParent()) {
            parent->ResetEvaluationCache();
        }
        for (int f = 0; f <= 10; ++f) {
            const KgeMatrix& after = node->EvaluateGlobalTransform(Frame(f), set);
            for (int row = 0; row < 4; ++row) {
                for (int c = 0; c < 3; ++c) {
                    EXPECT_NEAR(after[row][c], before[f][row][c], 1e-4)
                        << node->KFbxObject::GetName() << " frame " << f << " [" << row << "][" << c << "]";
                }
            }
        }
    }

    // Both sets counted; set 1 stays neutral unless the test fills it.
    static void CountBothSets(KFbxNode* node) {
        node->SetPivotState(kSet0, 0);
        node->SetPivotState(kSet1, 0);
    }

    // Converts from set 0 to set 1 and expects the motion kept.
    void ExpectConversionKeepsMotion(KFbxNode* node) {
        const std::vector<KgeMatrix> before = Globals(node, kSet0);
        node->ConvertPivotAnimation(kSet1, FrameRate(), false);
        ExpectSameGlobals(node, kSet1, before);
    }
};

TEST_F(KFbxNodePivotConversionTest, RotationPivotKeepsTheGlobalMatrixAtEveryFrame) {
    KFbxNode* node = AnimatedNode("node");
    CountBothSets(node);
    node->SetRotationPivot(kSet0, V(2.0, -1.0, 0.5));
    node->SetRotationPivot(kSet1, V(0.0, 0.0, 1.0));
    ExpectConversionKeepsMotion(node);
}

TEST_F(KFbxNodePivotConversionTest, ScalingPivotAndScalingOffsetKeepTheGlobalMatrix) {
    KFbxNode* node = AnimatedNode("node");
    CountBothSets(node);
    node->SetScalingPivot(kSet0, V(1.0, 0.0, -3.0));
    node->SetScalingOffset(kSet0, V(0.0, 4.0, 1.0));
    node->SetRotationPivot(kSet0, V(0.5, 0.5, 0.0));
    ExpectConversionKeepsMotion(node);
}

TEST_F(KFbxNodePivotConversionTest, PreAndPostRotationKeepTheGlobalMatrix) {
    KFbxNode* node = AnimatedNode("node");
    CountBothSets(node);
    node->SetRotationActive(true);
    node->SetPreRotation(kSet0, V(30.0, 0.0, -20.0));
    node->SetPostRotation(kSet0, V(0.0, 45.0, 0.0));
    node->SetPreRotation(kSet1, V(0.0, 10.0, 0.0));
    ExpectConversionKeepsMotion(node);
}

TEST_F(KFbxNodePivotConversionTest, CommonPreAndPostRotationWithOffsetAndPivotKeepTheGlobalMatrix) {
    KFbxNode* node = AnimatedNode("node");
    CountBothSets(node);
    node->SetRotationActive(true);
    node->SetPreRotation(kSet0, V(25.0, 0.0, 0.0));
    node->SetPreRotation(kSet1, V(25.0, 0.0, 0.0));
    node->SetPostRotation(kSet0, V(0.0, 0.0, 15.0));
    node->SetPostRotation(kSet1, V(0.0, 0.0, 15.0));
    node->SetScalingOffset(kSet0, V(3.0, 0.0, 0.0));
    node->SetRotationPivot(kSet0, V(0.0, 2.0, 0.0));
    ExpectConversionKeepsMotion(node);
}

TEST_F(KFbxNodePivotConversionTest, RotationOrderChangeKeepsTheGlobalMatrix) {
    KFbxNode* node = AnimatedNode("node");
    CountBothSets(node);
    node->SetRotationActive(true);
    node->SetRotationOrder(kSet0, KFbxNode::eEULER_ZYX);
    node->SetRotationOrder(kSet1, KFbxNode::eEULER_YZX);
    ExpectConversionKeepsMotion(node);
}

TEST_F(KFbxNodePivotConversionTest, RotationOrderOfAnInactiveRotationChangesNothing) {
    // Without active rotation evaluation reads every set in XYZ order.
    KFbxNode* node = AnimatedNode("node");
    CountBothSets(node);
    node->SetRotationOrder(kSet0, KFbxNode::eEULER_ZYX);
    KFCurve* rx = ChannelCurve(node->GetCurrentTakeNode(), "R", "X");
    rx->KeySet(rx->KeyGetCount(), Frame(10) + KTime(1000), 50.0f, KFCURVE_INTERPOLATION_LINEAR);
    ExpectConversionKeepsMotion(node);
    EXPECT_EQ(rx->KeyGetCount(), 12);
}

TEST_F(KFbxNodePivotConversionTest, ChildrenAreConvertedAndKeepTheirGlobalMatrices) {
    KFbxNode* parent = AnimatedNode("parent");
    KFbxNode* child = AnimatedNode("child", parent, 0.5);
    for (KFbxNode* node : {parent, child}) {
        CountBothSets(node);
        node->SetRotationActive(true);
    }
    parent->SetRotationPivot(kSet0, V(1.0, 2.0, 0.0));
    parent->SetPreRotation(kSet0, V(0.0, 0.0, 40.0));
    child->SetScalingPivot(kSet1, V(0.0, 1.0, 0.0));
    child->SetRotationOrder(kSet0, KFbxNode::eEULER_XZY);
    child->SetRotationOffset(kSet0, V(0.5, 0.0, -0.5));
    const std::vector<KgeMatrix> parentBefore = Globals(parent, kSet0);
    const std::vector<KgeMatrix> childBefore = Globals(child, kSet0);
    parent->ConvertPivotAnimation(kSet1, FrameRate(), false);
    ExpectSameGlobals(parent, kSet1, parentBefore);
    ExpectSameGlobals(child, kSet1, childBefore);
}

TEST_F(KFbxNodePivotConversionTest, RotationOffsetMovesEveryTakeOnceWithoutResampling) {
    KFbxNode* node = AnimatedNode("node");
    CountBothSets(node);
    KFbxTakeNode* defaultTake = node->GetDefaultTakeNode();
    KFbxTakeNode* take = node->GetTakeNode(1);
    // The "Default" take's value reaches the current take through the
    // property, so it goes first.
    ChannelCurve(defaultTake, "T", "X")->SetValue(3.0f);
    ChannelCurve(take, "T", "X")->SetValue(7.0f);
    node->SetRotationOffset(kSet0, V(1.0, 2.0, 3.0));
    KFCurve* tx = ChannelCurve(take, "T", "X");
    // A key off the frames would move to a frame if the converter ran.
    tx->KeySet(tx->KeyGetCount(), Frame(10) + KTime(1000), 20.0f, KFCURVE_INTERPOLATION_LINEAR);
    std::vector<float> before[3];
    const char* axes[3] = {"X", "Y", "Z"};
    for (int axis = 0; axis < 3; ++axis) {
        KFCurve* curve = ChannelCurve(take, "T", axes[axis]);
        for (int key = 0; key < curve->KeyGetCount(); ++key) before[axis].push_back(curve->KeyGetValue(key));
    }
    KFbxVector4 lcl;
    node->GetLclTranslation(lcl);
    const double defaultY = ChannelCurve(defaultTake, "T", "Y")->GetValue();

    node->ConvertPivotAnimation(kSet1, FrameRate(), false);

    const double u[3] = {1.0, 2.0, 3.0};
    for (int axis = 0; axis < 3; ++axis) {
        KFCurve* curve = ChannelCurve(take, "T", axes[axis]);
        ASSERT_EQ(curve->KeyGetCount(), static_cast<int>(before[axis].size()));
        for (int key = 0; key < curve->KeyGetCount(); ++key) {
            EXPECT_FLOAT_EQ(curve->KeyGetValue(key), before[axis][key] + static_cast<float>(u[axis]));
        }
    }
    EXPECT_EQ(tx->KeyGetTime(11), Frame(10) + KTime(1000));
    // Each take's own default moves once, the current take's included.
    EXPECT_FLOAT_EQ(ChannelCurve(take, "T", "X")->GetValue(), 8.0f);
    EXPECT_FLOAT_EQ(ChannelCurve(defaultTake, "T", "X")->GetValue(), 4.0f);
    EXPECT_FLOAT_EQ(ChannelCurve(defaultTake, "T", "Y")->GetValue(), static_cast<float>(defaultY + 2.0));
    // "Lcl Translation" follows the "Default" take: the offset once.
    KFbxVector4 after;
    node->GetLclTranslation(after);
    EXPECT_DOUBLE_EQ(after[0], 4.0);
    EXPECT_DOUBLE_EQ(after[1], lcl[1] + 2.0);
    EXPECT_DOUBLE_EQ(after[2], lcl[2] + 3.0);
    EXPECT_EQ(node->GetCurrentTakeNodeIndex(), 1);
}

TEST_F(KFbxNodePivotConversionTest, RotationOffsetKeepsTheDefaultGlobalMatrix) {
    KFbxNode* node = MakeNode("node");
    CountBothSets(node);
    node->SetLclTranslation(V(1.0, 1.0, 1.0));
    node->SetLclRotation(V(0.0, 0.0, 90.0));
    node->SetRotationOffset(kSet0, V(-2.0, 0.5, 4.0));
    node->SetRotationOffset(kSet1, V(1.0, 0.0, 0.0));
    const KgeMatrix before = node->EvaluateDefaultGlobalTransform(kSet0);
    node->ConvertPivotAnimation(kSet1, 30.0, true);
    node->ResetEvaluationCache();
    const KgeMatrix& after = node->EvaluateDefaultGlobalTransform(kSet1);
    for (int row = 0; row < 4; ++row)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(after[row][c], before[row][c], 1e-9);
    KFbxVector4 lcl;
    node->GetLclTranslation(lcl);
    EXPECT_DOUBLE_EQ(lcl[0], -2.0);
    EXPECT_DOUBLE_EQ(lcl[1], 1.5);
    EXPECT_DOUBLE_EQ(lcl[2], 5.0);
}

TEST_F(KFbxNodePivotConversionTest, EqualSetsOrACommonPreRotationLeaveTheKeysAlone) {
    KFbxNode* node = AnimatedNode("node");
    CountBothSets(node);
    node->SetRotationActive(true);
    for (KFbxNode::EPivotSet set : {kSet0, kSet1}) {
        node->SetRotationPivot(set, V(1.0, 2.0, 3.0));
        node->SetPreRotation(set, V(10.0, 20.0, 30.0));
        node->SetRotationOrder(set, KFbxNode::eEULER_YXZ);
    }
    KFCurve* rz = ChannelCurve(node->GetCurrentTakeNode(), "R", "Z");
    rz->KeySet(rz->KeyGetCount(), Frame(10) + KTime(1000), 50.0f, KFCURVE_INTERPOLATION_LINEAR);
    node->ConvertPivotAnimation(kSet1, FrameRate(), true);
    ASSERT_EQ(rz->KeyGetCount(), 12);
    EXPECT_EQ(rz->KeyGetTime(11), Frame(10) + KTime(1000));
    EXPECT_FLOAT_EQ(rz->KeyGetValue(11), 50.0f);
}

TEST_F(KFbxNodePivotConversionTest, RotationPivotIsComparedExactlyAndScalingPivotWithinTolerance) {
    // "S/Y" is flat: only a converter run, with its constant key reducer,
    // strips its keys.
    KFbxNode* exact = AnimatedNode("exact");
    CountBothSets(exact);
    exact->SetRotationPivot(kSet0, V(0.0, 0.0, 1e-9));
    exact->ConvertPivotAnimation(kSet1, FrameRate(), true);
    EXPECT_EQ(ChannelCurve(exact->GetCurrentTakeNode(), "S", "Y")->KeyGetCount(), 0);

    KFbxNode* tolerant = AnimatedNode("tolerant");
    CountBothSets(tolerant);
    tolerant->SetScalingPivot(kSet0, V(0.0, 0.0, 1e-9));
    tolerant->ConvertPivotAnimation(kSet1, FrameRate(), true);
    EXPECT_EQ(ChannelCurve(tolerant->GetCurrentTakeNode(), "S", "Y")->KeyGetCount(), 11);
}

TEST_F(KFbxNodePivotConversionTest, ThirtyFramesPerSecondResampleOnWholeFrames) {
    KFbxNode* node = AnimatedNode("node");
    CountBothSets(node);
    node->SetRotationActive(true);
    node->SetRotationOrder(kSet0, KFbxNode::eEULER_ZXY);
    node->ConvertPivotAnimation(kSet1, 30.0, false);
    KFCurve* rx = ChannelCurve(node->GetCurrentTakeNode(), "R", "X");
    ASSERT_GT(rx->KeyGetCount(), 2);
    EXPECT_EQ(rx->KeyGetTime(1).Get(), 1539538600);
}

TEST_F(KFbxNodePivotConversionTest, ARateWithoutFramesLeavesTheConverterOutButMovesTheOffset) {
    for (double rate : {0.0, -24.0, 1e12}) {
        KFbxNode* node = AnimatedNode("node");
        CountBothSets(node);
        node->SetRotationActive(true);
        node->SetRotationOrder(kSet0, KFbxNode::eEULER_ZXY);
        node->SetRotationOffset(kSet0, V(0.0, 0.0, 2.0));
        KFCurve* rx = ChannelCurve(node->GetCurrentTakeNode(), "R", "X");
        KFCurve* tz = ChannelCurve(node->GetCurrentTakeNode(), "T", "Z");
        const float before = rx->KeyGetValue(5);
        const float tzBefore = tz->KeyGetValue(5);
        node->ConvertPivotAnimation(kSet1, rate, true);
        EXPECT_EQ(rx->KeyGetCount(), 11) << rate;
        EXPECT_FLOAT_EQ(rx->KeyGetValue(5), before) << rate;
        EXPECT_FLOAT_EQ(tz->KeyGetValue(5), tzBefore + 2.0f) << rate;
        node->Destroy();
    }
}

TEST_F(KFbxNodePivotConversionTest, ASetThatDoesNotCountIsTakenAsZero) {
    KFbxNode* node = AnimatedNode("node");
    node->SetPivotState(kSet0, 1);
    node->SetPivotState(kSet1, 0);
    node->SetRotationOffset(kSet0, V(5.0, 5.0, 5.0));
    node->SetRotationOffset(kSet1, V(1.0, 2.0, 3.0));
    KFCurve* tz = ChannelCurve(node->GetCurrentTakeNode(), "T", "Z");
    const float before = tz->KeyGetValue(4);
    node->ConvertPivotAnimation(kSet1, FrameRate(), false);
    EXPECT_FLOAT_EQ(tz->KeyGetValue(4), before - 3.0f);
}

TEST_F(KFbxNodePivotConversionTest, GeometryAndAnimationKeepTheDrawnPoints) {
    KFbxNode* node = AnimatedNode("node");
    auto* mesh = static_cast<KFbxMesh*>(CreateObjectOfClass(mManager, KFbxMesh::ClassId, "mesh"));
    ASSERT_NE(mesh, nullptr);
    mesh->InitControlPoints(3);
    const KFbxVector4 points[3] = {V(1.0, 0.0, 0.0), V(0.0, 2.0, -1.0), V(0.5, -0.5, 3.0)};
    for (int i = 0; i < 3; ++i) mesh->GetControlPoints()[i] = points[i];
    KgeMatrix pivot;
    pivot.SetROnly(V(0.0, 0.0, 30.0));
    pivot[3][0] = 0.25;
    mesh->SetPivot(pivot);
    node->SetNodeAttribute(mesh);
    ASSERT_EQ(node->GetGeometry(), mesh);

    CountBothSets(node);
    node->SetRotationActive(true);
    node->SetRotationPivot(kSet0, V(1.0, 0.0, 0.0));
    node->SetRotationOffset(kSet0, V(0.0, 1.0, 0.0));
    node->SetPreRotation(kSet0, V(0.0, 20.0, 0.0));
    node->SetGeometricTranslation(kSet0, V(1.0, 2.0, 3.0));
    node->SetGeometricRotation(kSet0, V(0.0, 0.0, 90.0));
    node->SetGeometricScaling(kSet0, V(2.0, 1.0, 1.0));
    node->SetGeometricTranslation(kSet1, V(-1.0, 0.0, 0.0));
    node->SetGeometricRotation(kSet1, V(45.0, 0.0, 0.0));
    node->SetGeometricScaling(kSet1, V(1.0, 3.0, 1.0));

    const auto geometric = [&](KFbxNode::EPivotSet set) {
        KFbxVector4 t, r, s;
        node->GetGeometricTranslation(set, t);
        node->GetGeometricRotation(set, r);
        node->GetGeometricScaling(set, s);
        KgeMatrix g;
        g.SetTRS(t, r, s);
        return g;
    };
    // A control point is drawn at p.pivot.G.global.
    const auto drawn = [&](KFbxNode::EPivotSet set, int frame, const KgeMatrix& pivotNow) {
        std::vector<KFbxVector4> result;
        const KgeMatrix g = geometric(set);
        const KgeMatrix global = node->EvaluateGlobalTransform(Frame(frame), set);
        for (int i = 0; i < 3; ++i) {
            double p[3];
            KgeMatrixMultPoint(p, pivotNow, mesh->GetControlPoints()[i]);
            KgeMatrixMultPoint(p, g, p);
            KgeMatrixMultPoint(p, global, p);
            result.push_back(V(p[0], p[1], p[2]));
        }
        return result;
    };
    std::vector<std::vector<KFbxVector4>> before;
    for (int f = 0; f <= 10; ++f) before.push_back(drawn(kSet0, f, pivot));

    node->ConvertPivotAnimation(kSet1, FrameRate(), false);
    node->ResetEvaluationCache();

    KgeMatrix pivotAfter;
    mesh->GetPivot(pivotAfter);
    EXPECT_FALSE(pivotAfter != KgeMatrix());
    for (int f = 0; f <= 10; ++f) {
        const std::vector<KFbxVector4> after = drawn(kSet1, f, pivotAfter);
        for (int i = 0; i < 3; ++i)
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(after[i][c], before[f][i][c], 1e-4) << "frame " << f;
    }
}

TEST_F(KFbxNodePivotConversionTest, WithoutTheGeometryHookTheGeometryIsLeftAlone) {
    KFbxSetGeometryPivotTransform(nullptr);
    KFbxNode* node = MakeNode("node");
    auto* mesh = static_cast<KFbxMesh*>(CreateObjectOfClass(mManager, KFbxMesh::ClassId, "mesh"));
    mesh->InitControlPoints(1);
    mesh->GetControlPoints()[0] = V(1.0, 2.0, 3.0);
    node->SetNodeAttribute(mesh);
    CountBothSets(node);
    node->SetGeometricTranslation(kSet0, V(5.0, 0.0, 0.0));
    node->ConvertPivotAnimation(kSet1, 30.0, false);
    EXPECT_DOUBLE_EQ(mesh->GetControlPoints()[0][0], 1.0);
    KFbxInstallGeometryPivotTransform();
    node->ConvertPivotAnimation(kSet1, 30.0, false);
    EXPECT_DOUBLE_EQ(mesh->GetControlPoints()[0][0], 6.0);
}

TEST_F(KFbxNodePivotConversionTest, RecursiveConversionKeepsTheMotionAndLeavesBothSetsNeutral) {
    KFbxNode* parent = AnimatedNode("parent");
    KFbxNode* child = AnimatedNode("child", parent, 1.0);
    for (KFbxNode* node : {parent, child}) {
        CountBothSets(node);
        node->SetRotationActive(true);
        node->SetRotationPivot(kSet1, V(9.0, 9.0, 9.0));
    }
    parent->SetPivotState(kSet1, 1);
    parent->SetRotationPivot(kSet0, V(0.0, 1.0, 0.0));
    parent->SetPostRotation(kSet0, V(15.0, 0.0, 0.0));
    child->SetScalingOffset(kSet0, V(1.0, 0.0, 2.0));
    child->SetRotationOrder(kSet0, KFbxNode::eEULER_YXZ);
    const std::vector<KgeMatrix> parentBefore = Globals(parent, kSet0);
    const std::vector<KgeMatrix> childBefore = Globals(child, kSet0);

    parent->ConvertPivotAnimationRecursive(FrameRate(), false);

    ExpectSameGlobals(parent, kSet0, parentBefore);
    ExpectSameGlobals(child, kSet0, childBefore);
    for (KFbxNode* node : {parent, child}) {
        for (KFbxNode::EPivotSet set : {kSet0, kSet1}) {
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_EQ(node->GetRotationPivot(set)[axis], 0.0);
                EXPECT_EQ(node->GetScalingOffset(set)[axis], 0.0);
                EXPECT_EQ(node->GetPostRotation(set)[axis], 0.0);
            }
            KFbxNode::ERotationOrder order;
            node->GetRotationOrder(set, order);
            EXPECT_EQ(order, KFbxNode::eEULER_XYZ);
        }
    }
    EXPECT_EQ(parent->GetPivotState(kSet1), 1);
    EXPECT_EQ(child->GetPivotState(kSet1), 0);
    EXPECT_EQ(parent->GetPivotState(kSet0), 0);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
