// An FBX 6 file read and written again is the same file: nothing the reader
// makes of a record drifts on the next write (names, layer types,
// properties), so ascii export, import and export give the same bytes.
#include "ReaderTestSupport.h"
#include "RichScene.h"
#include "StableRoundTrip.h"

#include <fbxfilesdk/scene/KFbxConstraintParent.h>

namespace fbxsdk_2006_11_1::readertest {
namespace {

TEST_F(ReaderTest, RichSceneIsWrittenAgainByteForByte) {
    KFbxScene* source = richscene::Build(mManager, mFolder.Path().string());
    // The import filters unroll rotation keys that turn by more than half a
    // turn: the scene is written as an import leaves it.
    importfilters::ApplyToTree(*source->GetRootNode());
    const stableroundtrip::Texts texts = stableroundtrip::WriteReadWrite(*mManager, *source, mFolder.Path());
    ASSERT_FALSE(texts.first.empty());
    EXPECT_EQ(stableroundtrip::FirstDifference(texts.first, texts.second), "");
}

TEST_F(ReaderTest, ModelsGainNoPropertiesOnARead) {
    // A model without attribute is stored as a null; a mesh lists its
    // shapes' weights among its model's properties.
    KFbxScene* source = KFbxScene::Create(mManager, "plain");
    richscene::AddNode(mManager, source->GetRootNode(), "Bare", nullptr);
    richscene::AddNode(mManager, source->GetRootNode(), "Null", KFbxNull::Create(mManager, ""));
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    richscene::AddNode(mManager, source->GetRootNode(), "Face", mesh);
    mesh->AddShape(richscene::MakeShape(mManager, *mesh, 1, 0.5), "Smile");
    const double weight = 0.25;
    mesh->FindProperty("Smile").Set(&weight, eFbxValueDouble);

    const stableroundtrip::Texts texts = stableroundtrip::WriteReadWrite(*mManager, *source, mFolder.Path());
    ASSERT_FALSE(texts.first.empty());
    EXPECT_EQ(stableroundtrip::FirstDifference(texts.first, texts.second), "");
    EXPECT_NE(texts.first.find("Property: \"Smile\",\"double\",\"\",0.25"), std::string::npos);
}

// A constraint among the scene's objects and under a model as well has each
// source link written once, and one that it holds twice twice: the files of
// the second and third writes are the same.
TEST_F(ReaderTest, ConstraintUnderAModelKeepsItsSourceLinks) {
    const std::string link = "\"OP\",\"Model::A\",\"Constraint::ParCon\",\"Source (Parent)\"";
    for (const int format : {KFbxFileFormatRegistry::eFBX_ASCII_WRITER, KFbxFileFormatRegistry::eFBX_BINARY_WRITER}) {
        for (const std::size_t links : {1u, 2u}) {
            KFbxScene* scene = KFbxScene::Create(mManager, "constrained");
            KFbxNode* body = richscene::AddNode(mManager, scene->GetRootNode(), "Body", nullptr);
            KFbxNode* source = richscene::AddNode(mManager, scene->GetRootNode(), "A", nullptr);
            KFbxConstraintParent* constraint = KFbxConstraintParent::Create(mManager, "ParCon");
            scene->ConnectObject(constraint);
            ASSERT_TRUE(body->ConnectSrc(constraint) && constraint->AddConstraintSource(source));
            if (links == 2) constraint->FindProperty("Source (Parent)").ConnectSrc(source);
            const std::vector<std::string> files =
                stableroundtrip::WriteReadTimes(*mManager, *scene, mFolder.Path(), format, 3);
            ASSERT_EQ(files.size(), 3u);
            EXPECT_TRUE(files[1] == files[2]) << files[1].size() << " then " << files[2].size() << " bytes";
            for (const std::string& file : files) {
                std::size_t count = 0;
                for (std::size_t at = file.find(link); at != std::string::npos; at = file.find(link, at + 1)) ++count;
                EXPECT_EQ(count, format == KFbxFileFormatRegistry::eFBX_ASCII_WRITER ? links : 0u);
            }
        }
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
