// The takes section, take blocks and relation entries of the FBX 6 writer.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxConstraintParent.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include "Fbx6WriterSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::fbx6test {
namespace {

KTime Seconds(int seconds) {
    KTime time;
    time.SetTime(0, 0, seconds, 0);
    return time;
}

class Fbx6TakesTest : public Fbx6WriterTest {
protected:
    // Keys at 1 s and 3 s on the node's x translation in the take, which the
    // root gets too.
    void Animate(KFbxNode* node, const char* take) {
        for (KFbxTakeNodeContainer* container : {static_cast<KFbxTakeNodeContainer*>(mScene->GetRootNode()),
                                                 static_cast<KFbxTakeNodeContainer*>(node)}) {
            if (!HasTake(*container, take)) container->CreateTakeNode(take);
        }
        KFbxTakeNode* takeNode = node->GetTakeNode(node->GetTakeNodeCount() - 1);
        KFCurve* curve = takeNode->GetTranslationX();
        ASSERT_NE(curve, nullptr);
        curve->KeySet(0, Seconds(1), 0.0f, KFCURVE_INTERPOLATION_LINEAR);
        curve->KeySet(1, Seconds(3), 2.0f, KFCURVE_INTERPOLATION_LINEAR);
    }

    static bool HasTake(KFbxTakeNodeContainer& container, const char* take) {
        for (int i = 0; i < container.GetTakeNodeCount(); ++i) {
            if (std::string(container.GetTakeNodeName(i)) == take) return true;
        }
        return false;
    }

    std::string TakesText() {
        return WriteRecords([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteTakes(*mScene)); });
    }
};

TEST_F(Fbx6TakesTest, OnlyTheDefaultTakeWritesNoTake) {
    EXPECT_EQ(TakesText(),
              "; Takes and animation section\n; ----------------------------------------------------\n; \n"
              "Takes:  {\n\tCurrent: \"\"\n}\n");
}

TEST_F(Fbx6TakesTest, TakesSectionGolden) {
    KFbxNode* walker = AddNode("Walker");
    Animate(walker, "Walk Cycle");
    KFbxTakeInfo info;
    info.mName = "Walk Cycle";
    info.mDescription = "a slow walk";
    info.mLocalTimeSpan.Set(Seconds(0), Seconds(4));
    ASSERT_TRUE(mScene->SetTakeInfo(info));
    ExpectGolden(TakesText(), "fbx6_takes");

    // The unset reference span was filled from the keys.
    const KFbxTakeInfo* stored = mScene->GetTakeInfo("Walk Cycle");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->mReferenceTimeSpan.GetStart(), Seconds(1));
    EXPECT_EQ(stored->mReferenceTimeSpan.GetStop(), Seconds(3));
    EXPECT_EQ(stored->mLocalTimeSpan.GetStop(), Seconds(4));
}

TEST_F(Fbx6TakesTest, UnanimatedTakeSpansOneSecondAndKeepsIt) {
    KFbxNode* still = AddNode("Still");
    mScene->GetRootNode()->CreateTakeNode("Idle");
    still->CreateTakeNode("Idle");
    const std::string text = TakesText();
    EXPECT_NE(text.find("Take: \"Idle\" {\n\t\tFileName: \"Idle.tak\"\n\t\tLocalTime: 0,46186158000\n"
                        "\t\tReferenceTime: 0,46186158000\n"),
              std::string::npos)
        << text;
    const KFbxTakeInfo* info = mScene->GetTakeInfo("Idle");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->mLocalTimeSpan.GetStop(), Seconds(1));
    EXPECT_EQ(info->mReferenceTimeSpan.GetStop(), Seconds(1));
}

TEST_F(Fbx6TakesTest, UnselectedTakeIsSkippedAndBlanksBecomeUnderscoresInFileNames) {
    KFbxNode* node = AddNode("Runner");
    Animate(node, "Run\tFast");
    Animate(node, "Hidden");
    KFbxTakeInfo hidden;
    hidden.mName = "Hidden";
    hidden.mSelect = false;
    ASSERT_TRUE(mScene->SetTakeInfo(hidden));
    const std::string text = TakesText();
    EXPECT_EQ(text.find("\"Hidden\""), std::string::npos);
    EXPECT_NE(text.find("FileName: \"Run_Fast.tak\""), std::string::npos) << text;
}

TEST_F(Fbx6TakesTest, CurrentTakesAreWhatTheyWereBefore) {
    KFbxNode* walker = AddNode("Walker");
    Animate(walker, "Walk");
    Animate(walker, "Run");
    // Objects without that take fall back to the default one.
    mScene->SetCurrentTake("Walk");
    ASSERT_STREQ(walker->GetCurrentTakeNode()->GetName(), "Walk");
    const int before = walker->GetCurrentTakeNodeIndex();
    const std::string text = TakesText();
    EXPECT_NE(text.find("Current: \"Walk\""), std::string::npos);
    EXPECT_STREQ(mScene->GetCurrentTakeName(), "Walk");
    EXPECT_EQ(walker->GetCurrentTakeNodeIndex(), before);
    EXPECT_STREQ(walker->GetCurrentTakeNode()->GetName(), "Walk");
}

TEST_F(Fbx6TakesTest, EveryAnimatedKindGetsItsBlockInItsGroup) {
    KFbxNode* node = AddNode("Node");
    Animate(node, "Take");
    KFbxTexture* texture = KFbxTexture::Create(mManager, "Wood");
    KFbxSurfacePhong* material = KFbxSurfacePhong::Create(mManager, "Shiny");
    KFbxGenericNode* generic = KFbxGenericNode::Create(mManager, "Extra");
    KFbxConstraintParent* constraint = KFbxConstraintParent::Create(mManager, "Follow");
    const std::vector<KFbxTakeNodeContainer*> objects = {texture, material, generic, constraint};
    for (KFbxTakeNodeContainer* object : objects) {
        mScene->ConnectObject(object);
        object->CreateTakeNode("Take");
    }
    const std::string text = TakesText();
    std::size_t at = 0;
    const std::vector<std::pair<const char*, KFbxObject*>> blocks = {
        {"Model", node},       {"GenericNode", generic},      {"Texture", texture},
        {"Material", material}, {"Constraint", constraint}};
    for (const auto& [kind, object] : blocks) {
        const std::string block = std::string(kind) + ": \"" + object->GetNameWithTypePrefix().Buffer() + "\" {";
        const std::size_t found = text.find(block, at);
        EXPECT_NE(found, std::string::npos) << block << "\n" << text;
        if (found != std::string::npos) at = found;
    }
}

TEST_F(Fbx6TakesTest, ObjectTakeBlocks) {
    KFbxNode* node = AddNode("Node");
    Animate(node, "Take");
    // Unknown take: nothing, and the object keeps its current take.
    node->SetCurrentTakeNode(1);
    std::string text = WriteRecords([&](KFbxWriterFbx6& writer) {
        EXPECT_FALSE(writer.WriteObjectTake(*node, "Other", "Model", false));
    });
    EXPECT_EQ(text, "");
    EXPECT_EQ(node->GetCurrentTakeNodeIndex(), 1);
    // The default take: the version only.
    text = WriteRecords([&](KFbxWriterFbx6& writer) {
        EXPECT_TRUE(writer.WriteObjectTake(*node, "Default", "Model", false));
    });
    EXPECT_EQ(text, "Model: \"Model::Node\" {\n\tVersion: 1.1\n}\n");
}

TEST_F(Fbx6TakesTest, MaterialShininessIsStoredAHundredTimesLargerAndComesBackUnchanged) {
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "Shiny");
    KFbxTakeNode* take = phong->CreateTakeNode("Take");
    ASSERT_NE(take, nullptr);
    KFCurveNode* channel = KFCurveNode::Create("Shininess", nullptr);
    channel->FCurveSet(KFCurve::Create());
    take->GetKFCurveNode()->Add(channel);
    KFCurve* curve = take->GetMaterialShininess();
    ASSERT_NE(curve, nullptr);
    curve->KeySet(0, Seconds(0), 0.2f, KFCURVE_INTERPOLATION_LINEAR);
    curve->KeySet(1, Seconds(1), 0.3f, KFCURVE_INTERPOLATION_LINEAR);
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) {
        EXPECT_TRUE(writer.WriteObjectTake(*phong, "Take", "Material", true));
    });
    const std::size_t shininess = text.find("Channel: \"Shininess\"");
    ASSERT_NE(shininess, std::string::npos) << text;
    EXPECT_NE(text.find("20", shininess), std::string::npos) << text;
    EXPECT_EQ(curve->KeyGetValue(0), 0.2f);
    EXPECT_EQ(curve->KeyGetValue(1), 0.3f);
}

// The relation entries, through a whole write with the options that choose them.
class Fbx6RelationsTest : public Fbx6TakesTest {
protected:
    std::string RelationsOf(bool character, bool constraint) {
        KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
        options->SetOption("CHARACTER", character);
        options->SetOption("CONSTRAINT", constraint);
        const std::string text =
            Write([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.Write(mScene, options, nullptr)); });
        options->Destroy();
        const std::size_t begin = text.find("Relations:  {");
        const std::size_t end = text.find("\n}\n", begin);
        return begin == std::string::npos ? "" : text.substr(begin, end + 3 - begin);
    }
};

TEST_F(Fbx6RelationsTest, EntriesGolden) {
    KFbxNode* arm = AddNode("Arm");
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "Shiny");
    KFbxTexture* texture = KFbxTexture::Create(mManager, "Wood");
    KFbxSkin* skin = KFbxSkin::Create(mManager, "Skin Arm");
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "Cluster Arm");
    KFbxConstraintParent* parent = KFbxConstraintParent::Create(mManager, "Follow");
    for (KFbxObject* object : std::vector<KFbxObject*>{phong, texture, skin, cluster, parent}) {
        mScene->ConnectObject(object);
    }
    (void)arm;
    mScene->SetSceneInfo(KFbxSceneInfo::Create(mManager, "info"));
    ExpectGolden(RelationsOf(false, true), "fbx6_relations");
}

TEST_F(Fbx6RelationsTest, CharactersNeedTheCharacterOption) {
    KFbxConstraintParent* parent = KFbxConstraintParent::Create(mManager, "Follow");
    mScene->ConnectObject(parent);
    ASSERT_GE(mScene->CreateCharacter("Hero"), 0);
    std::string text = RelationsOf(false, true);
    EXPECT_NE(text.find("Constraint: \"Constraint::Follow\""), std::string::npos) << text;
    EXPECT_EQ(text.find("Hero"), std::string::npos) << text;
    text = RelationsOf(true, false);
    EXPECT_EQ(text.find("Follow"), std::string::npos) << text;
    EXPECT_NE(text.find("Hero"), std::string::npos) << text;
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::fbx6test
