// The COLLADA writer's document: registration, options, asset, the visual
// scene and its nodes, library order, ids, and failures that save nothing.
#include "collada/ColladaWriterSupport.h"

#include <fbxfilesdk/collada/KFbxColladaFormats.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/scene/KFbxAxisSystem.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxSystemUnit.h>

#include <filesystem>

namespace fbxsdk_2006_11_1::colladatest {
namespace {

using ColladaXml::FindChild;
using ColladaXml::GetAttribute;

class ColladaWriterFrameTest : public ColladaWriteTest {
protected:
    KFbxNode* AddNode(KFbxNode* parent, const char* name) {
        KFbxNode* node = KFbxNode::Create(mManager, name);
        parent->AddChild(node);
        return node;
    }
};

TEST_F(ColladaWriterFrameTest, RegisteredAsWriterEightForDae) {
    KFbxRegisterColladaFormats();
    KFbxFileFormatRegistry& registry = KFbxFileFormatRegistry::Get();
    EXPECT_EQ(registry.FindWriterByExtension("scene.dae"), KFbxFileFormatRegistry::eCOLLADA_WRITER);
    EXPECT_STREQ(registry.GetWriterDescription(KFbxFileFormatRegistry::eCOLLADA_WRITER).Buffer(),
                 "Collada DAE (*.dae)");
    std::unique_ptr<KFbxWriter> writer(registry.CreateWriter(KFbxFileFormatRegistry::eCOLLADA_WRITER, *mManager, nullptr));
    ASSERT_NE(dynamic_cast<KFbxWriterCollada*>(writer.get()), nullptr);
    KFbxStreamOptions* options = writer->GetWriteOptions();
    ASSERT_NE(dynamic_cast<KFbxStreamOptionsColladaWriter*>(options), nullptr);
    options->Destroy();
}

TEST_F(ColladaWriterFrameTest, OptionsOfAnotherKindWriteNothing) {
    const std::string path = mFolder / "none.dae";
    KFbxWriterCollada writer(*mManager);
    ASSERT_TRUE(writer.FileCreate(path.c_str()));
    EXPECT_FALSE(writer.Write(mScene, nullptr));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eSTREAM_OPTIONS_NOT_SET);
    KFbxStreamOptionsColladaReader* other = KFbxStreamOptionsColladaReader::Create(mManager, "");
    EXPECT_FALSE(writer.Write(mScene, other));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eSTREAM_OPTIONS_NOT_SET);
    other->Destroy();
    writer.FileClose();
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ColladaWriterFrameTest, FileThatCannotBeCreatedIsErrorOne) {
    KFbxWriterCollada writer(*mManager);
    std::ofstream(mFolder / "file") << "x";
    EXPECT_FALSE(writer.FileCreate((mFolder / "file/under/a/file.dae").c_str()));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eFILE_NOT_OPENED);
    EXPECT_FALSE(writer.IsFileOpen());
    EXPECT_TRUE(writer.FileClose());
}

TEST_F(ColladaWriterFrameTest, EmptySceneIsAnAssetOnlyDocument) {
    WriteValid();
    xmlNode* root = mDocument.GetRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(ChildNames(root), std::vector<std::string>{"asset"});
    EXPECT_EQ(GetAttribute(root, "version"), KString("1.4.1"));
    ASSERT_NE(root->ns, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(root->ns->href), "http://www.collada.org/2005/11/COLLADASchema");
}

TEST_F(ColladaWriterFrameTest, AssetInSchemaOrderWithUnitAndUpAxis) {
    KFbxSceneInfo* info = KFbxSceneInfo::Create(mManager, "");
    info->mAuthor = "Ann & <Bob>";
    info->mTitle = "Dunes";
    info->mComment = "caf\xe9";  // Latin-1, not UTF-8
    mScene->SetSceneInfo(info);
    mScene->GetGlobalSettings()->SetSystemUnit(KFbxSystemUnit::cm);
    mScene->GetGlobalSettings()->SetAxisSystem(KFbxAxisSystem::ZUpRightHandedA);
    AddNode(mScene->GetRootNode(), "Box");
    WriteValid();
    xmlNode* asset = FindChild(mDocument.GetRoot(), "asset");
    EXPECT_EQ(ChildNames(asset), (std::vector<std::string>{"contributor", "created", "keywords", "modified", "revision",
                                                           "subject", "title", "unit", "up_axis"}));
    xmlNode* contributor = FindChild(asset, "contributor");
    EXPECT_EQ(ChildNames(contributor), (std::vector<std::string>{"author", "authoring_tool", "comments"}));
    EXPECT_EQ(ChildText(contributor, "author"), "Ann & <Bob>");
    EXPECT_EQ(ChildText(contributor, "comments"), "caf\xc3\xa9");
    EXPECT_EQ(ChildText(asset, "created"), ChildText(asset, "modified"));
    EXPECT_EQ(GetAttribute(FindChild(asset, "unit"), "meter"), KString("0.010000"));
    EXPECT_EQ(ChildText(asset, "up_axis"), "Z_UP");
}

TEST_F(ColladaWriterFrameTest, NegativeUpAndLeftHandedWarnButWrite) {
    mScene->GetGlobalSettings()->SetAxisSystem(KFbxAxisSystem(-2, 1, 1));
    mScene->GetGlobalSettings()->SetSystemUnit(KFbxSystemUnit::m);
    AddNode(mScene->GetRootNode(), "Box");
    WriteValid();
    EXPECT_TRUE(WriteMessageHas("Warning: Invalid direction for up-axis: exporter should convert scene."));
    EXPECT_TRUE(WriteMessageHas("Warning: Axis system is Left Handed: exporter should convert scene."));
    xmlNode* asset = FindChild(mDocument.GetRoot(), "asset");
    EXPECT_EQ(ChildText(asset, "up_axis"), "Y_UP");
    EXPECT_EQ(GetAttribute(FindChild(asset, "unit"), "meter"), KString("1.000000"));
    EXPECT_EQ(ChildNames(FindChild(asset, "contributor")), std::vector<std::string>{"authoring_tool"});
}

TEST_F(ColladaWriterFrameTest, NodeTreeMirroredUnderTheVisualScene) {
    KFbxNode* body = AddNode(mScene->GetRootNode(), "Body");
    AddNode(body, "Arm");
    AddNode(mScene->GetRootNode(), "Lamp");
    WriteValid();
    xmlNode* root = mDocument.GetRoot();
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"asset", "library_visual_scenes", "scene"}));
    xmlNode* visualScene = FindChild(FindChild(root, "library_visual_scenes"), "visual_scene");
    const KString rootId = GetAttribute(visualScene, "id");
    EXPECT_EQ(GetAttribute(FindChild(FindChild(root, "scene"), "instance_visual_scene"), "url"),
              KString("#") + rootId);
    EXPECT_EQ(ChildNames(visualScene), (std::vector<std::string>{"node", "node"}));
    xmlNode* bodyElement = FindChild(visualScene, "node");
    EXPECT_EQ(GetAttribute(bodyElement, "id"), KString("Body"));
    EXPECT_EQ(GetAttribute(FindChild(bodyElement, "node"), "name"), KString("Arm"));
}

TEST_F(ColladaWriterFrameTest, IdsAreUniqueNamesAndTheSceneKeepsItsNames) {
    KFbxNode* first = AddNode(mScene->GetRootNode(), "a&b <c>");
    KFbxNode* second = AddNode(mScene->GetRootNode(), "a&b <c>");
    KFbxNode* third = AddNode(mScene->GetRootNode(), "7\xc3\xa9t\xe9");
    KFbxNode* empty = AddNode(mScene->GetRootNode(), "");
    WriteValid();
    EXPECT_NE(FindById("a_b__c_"), nullptr);
    EXPECT_NE(FindById("a_b__c__1"), nullptr);
    EXPECT_NE(FindById("_7__t_"), nullptr);
    EXPECT_NE(FindById("_"), nullptr);
    EXPECT_STREQ(first->GetName(), "a&b <c>");
    EXPECT_STREQ(second->GetName(), "a&b <c>");
    EXPECT_STREQ(third->GetName(), "7\xc3\xa9t\xe9");
    EXPECT_STREQ(empty->GetName(), "");
}

TEST_F(ColladaWriterFrameTest, TwoWritesOfOneSceneAgreeAndReadBack) {
    KFbxNode* body = AddNode(mScene->GetRootNode(), "Body");
    body->SetLclTranslation(KFbxVector4(1.0, 2.0, 3.0, 0.0));
    AddNode(body, "Arm");
    const std::string first = WriteValid(false, false, "first.dae");
    const std::string firstText = mText;
    WriteValid(false, false, "second.dae");
    auto withoutDates = [](std::string text) {
        for (const char* tag : {"<created>", "<modified>"}) {
            const std::size_t at = text.find(tag);
            if (at != std::string::npos) {
                text.erase(at, text.find('<', at + 1) - at);
            }
        }
        return text;
    };
    EXPECT_EQ(withoutDates(firstText), withoutDates(mText));
    KFbxScene* scene = ReadBack(first);
    KFbxNode* read = scene->GetRootNode()->FindChild("Body");
    ASSERT_NE(read, nullptr);
    KFbxVector4 translation;
    read->GetLclTranslation(translation);
    EXPECT_NEAR(translation[2], 3.0, 1e-6);
    EXPECT_NE(read->FindChild("Arm"), nullptr);
}

TEST_F(ColladaWriterFrameTest, SecondWriteThroughOneWriterReplacesTheFirst) {
    KFbxNode* node = AddNode(mScene->GetRootNode(), "A-very-long-node-name-that-makes-the-first-document-longer");
    const std::string path = mFolder / "twice.dae";
    KFbxWriterCollada writer(*mManager);
    ASSERT_TRUE(writer.FileCreate(path.c_str()));
    KFbxStreamOptions* options = writer.GetWriteOptions();
    ASSERT_TRUE(writer.Write(mScene, options));
    node->SetName("Short");
    ASSERT_TRUE(writer.Write(mScene, options));
    options->Destroy();
    writer.FileClose();
    COLLADA_EXPECT_WRITTEN_VALID(path);
    EXPECT_EQ(CountOf(ReadText(path), "A-very-long"), 0);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::colladatest
