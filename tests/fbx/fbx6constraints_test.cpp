// Poses, control set plugs, constraints and characters as the FBX 6 writer
// stores them.
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterLink.h>
#include <fbxfilesdk/scene/KFbxConstraintAim.h>
#include <fbxfilesdk/scene/KFbxConstraintParent.h>
#include <fbxfilesdk/scene/KFbxControlSetPlug.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "Fbx6RecordText.h"
#include "Fbx6WriterSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace fbxsdk_2006_11_1::fbx6test {
namespace {

class Fbx6ConstraintsTest : public Fbx6WriterTest {
protected:
    KgeMatrix Translation(double x, double y, double z) {
        KgeMatrix matrix;
        matrix[3][0] = x;
        matrix[3][1] = y;
        matrix[3][2] = z;
        return matrix;
    }

    KFbxCharacter* MakeCharacter() {
        const int index = mScene->CreateCharacter("Hero");
        EXPECT_GE(index, 0);
        return mScene->GetCharacter(index);
    }

    static size_t Count(const std::string& text, const std::string& what) {
        size_t count = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
        return count;
    }
};

TEST_F(Fbx6ConstraintsTest, BindPoseHasNoLocalFlagsRestPoseHasThemAll) {
    KFbxNode* arm = AddNode("Arm");
    KFbxNode* hand = AddNode("Hand", arm);
    KFbxPose* bind = KFbxPose::Create(mManager, "Bind");
    bind->SetIsBindPose(true);
    bind->Add(arm, Translation(1, 2, 3));
    bind->Add(hand, Translation(4, 5, 6));
    KFbxPose* rest = KFbxPose::Create(mManager, "Rest");
    rest->SetIsBindPose(false);
    rest->Add(arm, Translation(7, 8, 9), true);
    rest->Add(hand, Translation(0, 0, 1), false);
    KFbxPose* empty = KFbxPose::Create(mManager, "Nothing");
    for (KFbxPose* pose : {bind, rest, empty}) mScene->ConnectObject(pose);
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WritePoses(*mScene); });
    ExpectGolden(WithoutPropertyBlocks(text), "fbx6_poses");
}

TEST_F(Fbx6ConstraintsTest, ControlSetPlugRecord) {
    ASSERT_GE(mScene->CreateControlSetPlug("Rig"), 0);
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteControlSetPlugs(*mScene); });
    EXPECT_EQ(WithoutPropertyBlocks(text),
              "ControlSetPlug: \"ControlSetPlug::Rig\",\"ControlSetPlug\" {\n"
              "\tType: \"ControlSetPlug\"\n"
              "\tMultiLayer: 0\n"
              "\tProperties60:  {\n"
              "\t}\n"
              "}\n");
}

TEST_F(Fbx6ConstraintsTest, ParentConstraintWritesTheOffsetsOfItsFirstSource) {
    KFbxNode* parent = AddNode("Parent");
    KFbxNode* other = AddNode("Other");
    KFbxConstraintParent* constraint = KFbxConstraintParent::Create(mManager, "Follow");
    mScene->ConnectObject(constraint);
    ASSERT_TRUE(constraint->AddConstraintSource(parent));
    ASSERT_TRUE(constraint->AddConstraintSource(other));
    constraint->SetRotationOffset(parent, KFbxVector4(10, 20, 30, 1));
    constraint->SetTranslationOffset(parent, KFbxVector4(1, 2, 3, 1));
    constraint->SetTranslationOffset(other, KFbxVector4(7, 7, 7, 1));
    const std::string text =
        WriteRecords([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteConstraint(*constraint, *mScene)); });
    ExpectGolden(WithoutPropertyBlocks(text), "fbx6_parent_constraint");
}

TEST_F(Fbx6ConstraintsTest, ParentWithoutSourceAndAimWriteOnlyTheCommonFields) {
    KFbxConstraintParent* parent = KFbxConstraintParent::Create(mManager, "Alone");
    KFbxConstraintAim* aim = KFbxConstraintAim::Create(mManager, "Look");
    const std::string text = WithoutPropertyBlocks(WriteRecords([&](KFbxWriterFbx6& writer) {
        writer.WriteConstraint(*parent, *mScene);
        writer.WriteConstraint(*aim, *mScene);
    }));
    EXPECT_EQ(text,
              "Constraint: \"Constraint::Alone\",\"Parent-Child\" {\n"
              "\tType: \"Parent-Child\"\n\tMultiLayer: 0\n\tProperties60:  {\n\t}\n}\n"
              "Constraint: \"Constraint::Look\",\"Aim\" {\n"
              "\tType: \"Aim\"\n\tMultiLayer: 0\n\tProperties60:  {\n\t}\n}\n");
}

TEST_F(Fbx6ConstraintsTest, CharacterWritesEverySixteenBlocksAndOnlyUsableLinks) {
    KFbxCharacter* character = MakeCharacter();
    KFbxNode* hips = AddNode("HipsNode");
    KFbxCharacterLink link;
    link.mNode = hips;
    link.mTOffset = KFbxVector4(1, 2, 3, 1);
    link.mSOffset = KFbxVector4(1, 1, 2, 1);
    link.mHasRotSpace = true;
    link.mPreRotation = KFbxVector4(0, 90, 0, 1);
    link.mRotOrder = 2;
    link.mRLimits.SetLimitMinActive(true, false, true);
    link.mRLimits.SetLimitMin(KFbxVector4(-10, 0, -30, 1));
    link.mRLimits.SetLimitMax(KFbxVector4(10, 0, 30, 1));
    ASSERT_TRUE(character->SetCharacterLink(0, link, true));

    // Nodes of another scene: unusable without a name of their own.
    KFbxScene* otherScene = KFbxScene::Create(mManager, "other");
    KFbxNode* stranger = KFbxNode::Create(mManager, "Stranger");
    otherScene->GetRootNode()->AddChild(stranger);
    KFbxCharacterLink foreign;
    foreign.mNode = stranger;
    ASSERT_TRUE(character->SetCharacterLink(1, foreign));
    foreign.mName = "LeftThigh";
    foreign.mROffset = KFbxVector4(0, 0, 45, 1);
    ASSERT_TRUE(character->SetCharacterLink(2, foreign));

    const std::string text =
        WriteRecords([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteConstraint(*character, *mScene)); });
    EXPECT_EQ(Count(text, "LINK: "), 2u) << text;
    EXPECT_EQ(text.find("LINK: \"LeftUpLeg\""), std::string::npos);
    // Empty blocks are still written, the reference first.
    EXPECT_NE(text.find("\tREFERENCE:  {\n\t}\n\tLEFT_FLOOR:  {\n\t}\n"), std::string::npos) << text;
    ExpectGolden(WithoutPropertyBlocks(text), "fbx6_character");
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::fbx6test
