// Number renaming of repeated names, and the scene renamer's rules per
// target kind.
#include <fbxfilesdk/scene/KFbxSceneRenamer.h>
#include <fbxfilesdk/scene/KRenamingStrategy.h>

#include <memory>

#include "scene/SceneObjectsTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

TEST(KNumberRenamingStrategyTest, RepeatsGetTheirCountAppended) {
    KNumberRenamingStrategy strategy;
    KFbxObjectNameRecord first("box");
    KFbxObjectNameRecord second("box");
    KFbxObjectNameRecord third("box");
    EXPECT_FALSE(strategy.Rename(first));
    EXPECT_TRUE(strategy.Rename(second));
    EXPECT_TRUE(strategy.Rename(third));
    EXPECT_STREQ(first.GetCurrentName(), "box");
    EXPECT_STREQ(second.GetCurrentName(), "box1");
    EXPECT_STREQ(third.GetCurrentName(), "box2");
    // The initial names stay.
    EXPECT_STREQ(third.GetInitialName(), "box");
}

TEST(KNumberRenamingStrategyTest, NumberedNamesStayUniqueAgainstNamesMet) {
    KNumberRenamingStrategy strategy;
    KString names[] = {KString("box"), KString("box1"), KString("box"), KString("box1")};
    for (KString& name : names) {
        strategy.Rename(name);
    }
    EXPECT_STREQ(names[2].Buffer(), "box2");
    EXPECT_STREQ(names[3].Buffer(), "box11");
}

TEST(KNumberRenamingStrategyTest, ClearAndCloneStartAfresh) {
    KNumberRenamingStrategy strategy;
    KString name("a");
    strategy.Rename(name);
    std::unique_ptr<KRenamingStrategy> clone(strategy.Clone());
    ASSERT_NE(clone, nullptr);
    KFbxObjectNameRecord record("a");
    EXPECT_FALSE(clone->Rename(record));
    strategy.Clear();
    EXPECT_FALSE(strategy.Rename(name));
    EXPECT_STREQ(name.Buffer(), "a");
}

using KFbxSceneRenamerTest = SceneObjectTest;

TEST_F(KFbxSceneRenamerTest, PlainKindsGetLegalUniqueNodeNames) {
    KFbxScene* scene = KFbxScene::Create(mManager, "");
    KFbxNode* a = MakeNode("my box", scene->GetRootNode());
    KFbxNode* b = MakeNode("my:box", scene->GetRootNode());
    KFbxNode* c = MakeNode("v1.2", scene->GetRootNode());
    KFbxSceneRenamer(scene).RenameFor(KFbxSceneRenamer::eDXF_3DS_OBJ);
    EXPECT_STREQ(a->GetName(), "my_box");
    EXPECT_STREQ(b->GetName(), "my_box1");
    EXPECT_STREQ(c->GetName(), "v1_2");
    EXPECT_STREQ(scene->GetRootNode()->GetName(), "RootNode");
    EXPECT_STREQ(scene->GetCameraSwitcherNode()->GetName(), "Camera Switcher");
}

TEST_F(KFbxSceneRenamerTest, ColladaKeepsDotsAndReadingOnlyUniquifies) {
    KFbxScene* scene = KFbxScene::Create(mManager, "");
    KFbxNode* a = MakeNode("v1.2 a", scene->GetRootNode());
    KFbxNode* b = MakeNode("v1.2 a", scene->GetRootNode());
    KFbxSceneRenamer(scene).RenameFor(KFbxSceneRenamer::eFROM_COLLADA);
    EXPECT_STREQ(a->GetName(), "v1.2 a");
    EXPECT_STREQ(b->GetName(), "v1.2 a1");
    KFbxSceneRenamer(scene).RenameFor(KFbxSceneRenamer::eTO_COLLADA);
    EXPECT_STREQ(a->GetName(), "v1.2_a");
    EXPECT_STREQ(b->GetName(), "v1.2_a1");
    KFbxSceneRenamer(nullptr).RenameFor(KFbxSceneRenamer::eTO_COLLADA);
}

}  // namespace
