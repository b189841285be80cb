// Poses: bind and rest poses with their node entries, the 1e-6 matrix
// equality, conflicting bind matrices across the manager's scenes, lookups
// of the poses that hold a node, and nodes leaving every pose on destruction.
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/scene/KFbxPose.h>

#include "scene/SceneObjectsTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

class KFbxPoseTest : public SceneObjectTest {
protected:
    void SetUp() override {
        SceneObjectTest::SetUp();
        mScene = KFbxScene::Create(mManager, "scene");
        ASSERT_NE(mScene, nullptr);
    }
    KFbxPose* MakePose(KFbxScene* scene, const char* name, bool bindPose) {
        KFbxPose* pose = KFbxPose::Create(mManager, name);
        EXPECT_NE(pose, nullptr);
        pose->SetIsBindPose(bindPose);
        if (scene != nullptr) {
            scene->ConnectObject(pose);
        }
        return pose;
    }
    static KgeMatrix Translation(double x) {
        KgeMatrix matrix;
        matrix[3][0] = x;
        return matrix;
    }

    KFbxScene* mScene = nullptr;
};

TEST_F(KFbxPoseTest, NewPoseIsAnEmptyRestPose) {
    KFbxPose* pose = KFbxPose::Create(mManager, "pose");
    ASSERT_NE(pose, nullptr);
    EXPECT_EQ(pose->GetObjectTypeCode(), 11);
    // Made by class id, it has its own kind of twin.
    ASSERT_NE(pose->GetInternalObject(), nullptr);
    EXPECT_EQ(pose->GetInternalObject()->GetClassInfo(), &gKFbxPose_internalClassInfo);
    EXPECT_STREQ(pose->GetTypeName(), "RestPose");
    EXPECT_EQ(pose->GetCount(), 0);
    EXPECT_EQ(pose->Find(MakeNode("n")), -1);
    pose->SetIsBindPose(true);
    EXPECT_STREQ(pose->GetTypeName(), "BindPose");
    EXPECT_EQ(pose->GetError().GetLastErrorID(), -1);
    pose->GetError().SetError(KFbxPose::eRELATIVE_MATRICES_DIFFER);
    EXPECT_STREQ(pose->GetError().GetLastErrorString(), "The relative matrices do not match.");
}

TEST_F(KFbxPoseTest, EntriesKeepNodeMatrixAndLocalFlag) {
    KFbxPose* pose = MakePose(mScene, "bind", true);
    KFbxNode* hip = MakeNode("hip");
    KFbxNode* knee = MakeNode("knee");
    knee->SetNameSpace("rig");
    EXPECT_EQ(pose->Add(nullptr, Translation(1.0)), -1);
    EXPECT_EQ(pose->Add(hip, Translation(1.0), true), 0);
    EXPECT_EQ(pose->Add(knee, Translation(2.0)), 1);
    EXPECT_EQ(pose->GetCount(), 2);
    EXPECT_EQ(pose->GetNode(1), knee);
    EXPECT_DOUBLE_EQ(pose->GetMatrix(1)[3][0], 2.0);
    EXPECT_TRUE(pose->IsLocalMatrix(0));
    EXPECT_FALSE(pose->IsLocalMatrix(1));
    const KFbxObjectNameRecord name = pose->GetNodeName(1);
    EXPECT_STREQ(name.GetCurrentName(), "knee");
    EXPECT_STREQ(name.GetNameSpace(), "rig");
    EXPECT_STREQ(pose->GetNodeName(5).GetCurrentName(), "");

    // Out of range: null, identity, false, no effect.
    for (int index : {-1, 2}) {
        EXPECT_EQ(pose->GetNode(index), nullptr);
        EXPECT_TRUE(pose->GetMatrix(index).IsEqual(KgeMatrix()));
        EXPECT_FALSE(pose->IsLocalMatrix(index));
    }
    pose->Remove(2);
    pose->Remove(-1);
    EXPECT_EQ(pose->GetCount(), 2);
    pose->Remove(0);
    EXPECT_EQ(pose->GetCount(), 1);
    EXPECT_EQ(pose->Find(knee), 0);
}

TEST_F(KFbxPoseTest, TheSameNodeTwiceNeedsTheSameMatrix) {
    KFbxPose* pose = MakePose(mScene, "rest", false);
    KFbxNode* node = MakeNode("n");
    EXPECT_EQ(pose->Add(node, Translation(0.0), true), 0);
    // Within 1e-6: the first entry, flag unchanged.
    EXPECT_EQ(pose->Add(node, Translation(9e-7), false), 0);
    EXPECT_EQ(pose->GetCount(), 1);
    EXPECT_TRUE(pose->IsLocalMatrix(0));
    EXPECT_EQ(pose->Add(node, Translation(1e-6)), -1);
    EXPECT_EQ(pose->Add(node, Translation(-1e-6)), -1);
    int index = -1;
    EXPECT_FALSE(pose->IsValidEntry(node, Translation(3.0), index));
    EXPECT_EQ(index, 0);
    EXPECT_TRUE(pose->IsValidEntry(MakeNode("other"), Translation(3.0), index));
    EXPECT_EQ(index, -1);
}

TEST_F(KFbxPoseTest, BindMatricesMustAgreeAcrossTheManagersScenes) {
    KFbxScene* otherScene = KFbxScene::Create(mManager, "other scene");
    KFbxPose* first = MakePose(otherScene, "first", true);
    KFbxNode* node = MakeNode("shared");
    ASSERT_EQ(first->Add(node, Translation(1.0)), 0);

    KFbxPose* second = MakePose(mScene, "second", true);
    EXPECT_EQ(second->Add(node, Translation(2.0)), -1);
    EXPECT_EQ(second->GetCount(), 0);
    EXPECT_EQ(second->Add(node, Translation(1.0)), 0);

    KFbxPose* rest = MakePose(mScene, "rest", false);
    EXPECT_EQ(rest->Add(node, Translation(2.0)), 0);
}

TEST_F(KFbxPoseTest, PosesContainingANodeByKind) {
    KFbxNode* node = MakeNode("n");
    KFbxPose* bind = MakePose(mScene, "bind", true);
    KFbxPose* rest = MakePose(mScene, "rest", false);
    MakePose(mScene, "empty", false);
    bind->Add(MakeNode("other"), KgeMatrix());
    bind->Add(node, KgeMatrix());
    rest->Add(node, KgeMatrix());
    ASSERT_EQ(mScene->GetPoseCount(), 3);

    std::vector<KFbxPose*> poses;
    std::vector<int> indices;
    EXPECT_TRUE(KFbxPose::GetPosesContaining(KFbxPose::eANY_POSE, mScene, node, poses, indices));
    ASSERT_EQ(poses.size(), 2u);
    EXPECT_EQ(poses[0], bind);
    EXPECT_EQ(indices[0], 1);
    EXPECT_EQ(poses[1], rest);
    poses.clear();
    indices.clear();
    EXPECT_TRUE(KFbxPose::GetPosesContaining(KFbxPose::eREST_POSES, mScene, node, poses, indices));
    ASSERT_EQ(poses.size(), 1u);
    EXPECT_EQ(poses[0], rest);
    EXPECT_FALSE(KFbxPose::GetPosesContaining(7, mScene, node, poses, indices));
    EXPECT_FALSE(KFbxPose::GetPosesContaining(KFbxPose::eANY_POSE, nullptr, node, poses, indices));
    EXPECT_FALSE(KFbxPose::GetPosesContaining(KFbxPose::eANY_POSE, mScene, nullptr, poses, indices));

    poses.clear();
    indices.clear();
    EXPECT_TRUE(KFbxPose::GetPosesContaining(mManager, node, poses, indices));
    EXPECT_EQ(poses.size(), 2u);
}

TEST_F(KFbxPoseTest, ADestroyedNodeLeavesEveryPose) {
    KFbxScene* otherScene = KFbxScene::Create(mManager, "other scene");
    KFbxNode* node = MakeNode("dying");
    KFbxNode* survivor = MakeNode("survivor");
    KFbxPose* here = MakePose(mScene, "here", true);
    KFbxPose* there = MakePose(otherScene, "there", false);
    // Not listed by any scene: the node must leave it all the same.
    KFbxPose* loose = MakePose(nullptr, "loose", false);
    for (KFbxPose* pose : {here, there, loose}) {
        pose->Add(survivor, KgeMatrix());
        pose->Add(node, KgeMatrix());
    }
    node->Destroy();
    for (KFbxPose* pose : {here, there, loose}) {
        EXPECT_EQ(pose->GetCount(), 1) << pose->GetName();
        EXPECT_EQ(pose->GetNode(0), survivor);
    }
}

TEST_F(KFbxPoseTest, CloneKeepsTheKindWithoutEntries) {
    KFbxPose* pose = MakePose(mScene, "bind", true);
    pose->Add(MakeNode("n"), KgeMatrix());
    EXPECT_EQ(pose->Clone(0), nullptr);
    KFbxPose* copy = pose->Clone(2);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->GetName(), "bind");
    EXPECT_STREQ(copy->GetTypeName(), "BindPose");
    EXPECT_EQ(copy->GetCount(), 0);
}

TEST_F(KFbxPoseTest, SceneDestructionWithPosesIsClean) {
    KFbxPose* pose = MakePose(mScene, "bind", true);
    KFbxNode* node = MakeNode("n", mScene->GetRootNode());
    pose->Add(node, KgeMatrix());
    mScene->Destroy(true, false);
    mScene = nullptr;
    EXPECT_EQ(mManager->GetObjectCount(KFbxPose::ClassId), 0);
}

}  // namespace
