// An FBX 6 file read and written again is the same file: nothing the reader
// makes of a record drifts on the next write (names, layer types,
// properties), so ascii export, import and export give the same bytes.
#include "ReaderTestSupport.h"
#include "RichScene.h"
#include "StableRoundTrip.h"

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

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
