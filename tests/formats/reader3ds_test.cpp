// The 3DS reader's frame: registration, options, scale, the reference node,
// ambient light and background, the take, and its toolkit files.
#include "formats/Reader3dsTestSupport.h"
#include "support/RunCommand.h"

#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/formats/KFbxReader3DS.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <cstdio>
#include <memory>
#include <charconv>

namespace fbxsdk_2006_11_1::reader3dstest {
namespace {

using Reader3dsFrameTest = Reader3dsTest;

// The first vertex of the box is (-1, -1, -1) in the file.
KFbxVector4 FirstPoint(const KFbxNode* node) {
    const KFbxMesh* mesh = MeshOf(node);
    return mesh != nullptr && mesh->GetControlPointsCount() > 0 ? mesh->GetControlPoints()[0] : KFbxVector4();
}

TEST_F(Reader3dsFrameTest, IsReaderTwoOfTheRegistry) {
    const KFbxFileFormatRegistry& registry = KFbxFileFormatRegistry::Get();
    EXPECT_EQ(registry.FindReaderByExtension("scene.3DS"), KFbxFileFormatRegistry::e3DS_READER);
    EXPECT_STREQ(registry.GetReaderDescription(KFbxFileFormatRegistry::e3DS_READER).Buffer(),
                 "3D Studio 3DS (*.3ds)");
    std::unique_ptr<KFbxReader> reader(registry.CreateReader(KFbxFileFormatRegistry::e3DS_READER, *mManager, nullptr));
    EXPECT_NE(dynamic_cast<KFbxReader3DS*>(reader.get()), nullptr);
}

TEST_F(Reader3dsFrameTest, FileWithoutKeyframerDataGivesANodePerMeshAndATakeOfOneHundredFiftyFrames) {
    File file;
    file.Add(Box("First")).Add(Box("Second"));
    ASSERT_TRUE(WriteAndImport(file)) << mLastError;
    EXPECT_EQ(ChildNames(mScene->GetRootNode()), (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(MeshOf(Node("First"))->GetControlPointsCount(), 8);
    EXPECT_EQ(MeshOf(Node("Second"))->GetPolygonCount(), 12);
    EXPECT_STREQ(mScene->GetCurrentTakeName(), "default take");
    const KFbxTakeInfo* take = mScene->GetTakeInfo("default take");
    ASSERT_NE(take, nullptr);
    EXPECT_EQ(FrameOf(take->mLocalTimeSpan.GetStart()), 0);
    EXPECT_EQ(FrameOf(take->mLocalTimeSpan.GetStop()), 150);
    EXPECT_EQ(FrameOf(take->mReferenceTimeSpan.GetStop()), 150);
}

TEST_F(Reader3dsFrameTest, TakeSpansTheKeys) {
    File file;
    file.Add(Box("Box")).Add(ObjectNode{"Box", "", "", {}, {{5, {0, 0, 0}}, {40, {1, 0, 0}}}});
    ASSERT_TRUE(WriteAndImport(file)) << mLastError;
    const KFbxTakeInfo* take = mScene->GetTakeInfo("default take");
    ASSERT_NE(take, nullptr);
    EXPECT_EQ(FrameOf(take->mLocalTimeSpan.GetStart()), 5);
    EXPECT_EQ(FrameOf(take->mLocalTimeSpan.GetStop()), 40);
}

TEST_F(Reader3dsFrameTest, LengthsAreInchesTimesTheMasterScale) {
    const struct {
        float mMasterScale;
        bool mRescaling;
        double mScale;
    } cases[] = {{1.0f, true, kInch}, {2.0f, true, 2 * kInch}, {0.0f, true, kInch},
                 {-3.0f, true, kInch}, {-3.0f, false, 1.0},    {0.5f, false, 0.5}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.mMasterScale);
        mScene->Clear();
        File file;
        file.Settings(test.mMasterScale).Add(Box("Box"));
        KFbxStreamOptions3dsReader* options = Options();
        options->SetOption("RESCALING", test.mRescaling);
        ASSERT_TRUE(WriteAndImport(file, options)) << mLastError;
        // (-1, -1, -1) in the file's axes is (-1, -1, 1) in the scene's.
        EXPECT_TRUE(Near(FirstPoint(Node("Box")), -test.mScale, -test.mScale, test.mScale));
    }
}

TEST_F(Reader3dsFrameTest, ReferenceNodeCarriesTheScaleAndTheVerticesStayInFileUnits) {
    File file;
    file.Settings(2.0f).Add(Box("Box")).Add(ObjectNode{"Box", "", "", {}, {{0, {1, 2, 3}}}});
    KFbxStreamOptions3dsReader* options = Options();
    options->SetOption("REFERENCENODE", true);
    ASSERT_TRUE(WriteAndImport(file, options)) << mLastError;
    KFbxNode* reference = Node("Fbx_Root");
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(reference->GetParent(), mScene->GetRootNode());
    KFbxVector4 scaling;
    reference->GetLclScaling(scaling);
    EXPECT_TRUE(Near(scaling, 2 * kInch, 2 * kInch, 2 * kInch));
    KFbxNode* box = Node("Box");
    EXPECT_EQ(box->GetParent(), reference);
    EXPECT_TRUE(Near(FirstPoint(box), -1, -1, 1));
    KFbxVector4 translation;
    box->GetLclTranslation(translation);
    EXPECT_TRUE(Near(translation, 1, 3, -2));
}

TEST_F(Reader3dsFrameTest, ReadingWithoutOptionsSaysSoAndUsesTheDefaults) {
    File file;
    file.Add(Box("Box", {1, 2, 4, 8, 16, 32}));
    ASSERT_TRUE(file.Write(Path("in.3ds")));
    KFbxReader3DS reader(*mManager, nullptr);
    EXPECT_FALSE(reader.IsFileOpen());
    ASSERT_TRUE(reader.FileOpen(Path("in.3ds").c_str()));
    EXPECT_TRUE(reader.IsFileOpen());
    EXPECT_TRUE(reader.Read(mScene, nullptr));
    EXPECT_EQ(reader.GetError().GetLastErrorID(), KFbxReader::eSTREAM_OPTIONS_NOT_SET);
    // The read closed the file.
    EXPECT_FALSE(reader.IsFileOpen());
    EXPECT_TRUE(reader.FileClose());
    // Smoothing groups on, rescaling on, no reference node.
    EXPECT_EQ(MeshOf(Node("Box"))->GetControlPointsCount(), 24);
    EXPECT_TRUE(Near(FirstPoint(Node("Box")), -kInch, -kInch, kInch));
    EXPECT_EQ(Node("Fbx_Root"), nullptr);
}

TEST_F(Reader3dsFrameTest, ReadOptionsAreTheDefaultsAndNameTheTake) {
    KFbxReader3DS reader(*mManager, nullptr);
    KFbxStreamOptions* options = reader.GetReadOptions();
    ASSERT_NE(dynamic_cast<KFbxStreamOptions3dsReader*>(options), nullptr);
    EXPECT_FALSE(options->GetBoolOption("FILTER", true));
    EXPECT_FALSE(options->GetBoolOption("REFERENCENODE", true));
    EXPECT_TRUE(options->GetBoolOption("SMOOTHGROUP", false));
    File file;
    file.Add(Box("Box"));
    ASSERT_TRUE(WriteAndImport(file, options)) << mLastError;
    EXPECT_STREQ(options->GetStringOption("TAKE NAME", "").Buffer(), "default take");
    options->Destroy();
}

TEST_F(Reader3dsFrameTest, AmbientLightAndBackgroundColourComeFromTheFile) {
    File file;
    file.Settings(1.0f, {0.25f, 0.5f, 0.75f}).SolidBackground({0.5f, 0.25f, 0.125f}).Add(Box("Box"));
    ASSERT_TRUE(WriteAndImport(file)) << mLastError;
    const KFbxColor ambient = mScene->GetGlobalLightSettings().GetAmbientColor();
    EXPECT_NEAR(ambient.mRed, 0.25, 1e-6);
    EXPECT_NEAR(ambient.mBlue, 0.75, 1e-6);
    EXPECT_EQ(ambient.mAlpha, 1.0);
    for (int which = 0; which < KFbxGlobalCameraSettings::ePRODUCER_CAMERA_COUNT; ++which) {
        const KFbxCamera* camera = mScene->GetGlobalCameraSettings().GetProducerCamera(which);
        ASSERT_NE(camera, nullptr);
        const KFbxColor background = camera->GetDefaultBackgroundColor();
        EXPECT_NEAR(background.mRed, 0.5, 1e-6);
        EXPECT_NEAR(background.mGreen, 0.25, 1e-6);
        EXPECT_NEAR(background.mBlue, 0.125, 1e-6);
    }

    mScene->Clear();
    KFbxStreamOptions3dsReader* options = Options();
    options->SetOption("AMBIENT LIGHT", false);
    ASSERT_TRUE(Import(Path("in.3ds"), options)) << mLastError;
    const KFbxColor dark = mScene->GetGlobalLightSettings().GetAmbientColor();
    EXPECT_EQ(dark.mRed, 0.0);
    EXPECT_EQ(dark.mGreen, 0.0);
    EXPECT_EQ(dark.mAlpha, 1.0);
}

TEST_F(Reader3dsFrameTest, AnErrorOfAnEarlierFileNeverFailsTheNextRead) {
    File file;
    file.Add(Box("Box"));
    ASSERT_TRUE(file.Write(Path("in.3ds")));
    KFbxReader3DS reader(*mManager, nullptr);
    ASSERT_TRUE(reader.FileOpen(Path("in.3ds").c_str()));
    PushError3ds(ERR_INVALID_DATA);
    EXPECT_TRUE(reader.Read(mScene, Options())) << reader.GetError().GetLastErrorString();
    EXPECT_NE(Node("Box"), nullptr);
}

TEST_F(Reader3dsFrameTest, ReadClosesOnlyItsOwnToolkitFile) {
    File file;
    file.Add(Box("Box"));
    ASSERT_TRUE(file.Write(Path("in.3ds")));
    file3ds* other = OpenFile3ds(Path("other.3ds").c_str(), "wb");
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(Import(Path("in.3ds"))) << mLastError;
    EXPECT_EQ(FindFileByName3ds(Path("other.3ds").c_str()), other);
    EXPECT_EQ(FindFileByName3ds(Path("in.3ds").c_str()), nullptr);
    CloseFile3ds(other);
}

TEST_F(Reader3dsFrameTest, TwoReadersOfOneFileEachReadIt) {
    File file;
    file.Add(Box("Box"));
    ASSERT_TRUE(file.Write(Path("in.3ds")));
    KFbxReader3DS first(*mManager, nullptr);
    KFbxReader3DS second(*mManager, nullptr);
    ASSERT_TRUE(first.FileOpen(Path("in.3ds").c_str()));
    ASSERT_TRUE(second.FileOpen(Path("in.3ds").c_str()));
    KFbxScene* other = KFbxScene::Create(mManager, "other");
    EXPECT_TRUE(first.Read(mScene, Options()));
    EXPECT_TRUE(second.Read(other, Options())) << second.GetError().GetLastErrorString();
    EXPECT_NE(Node("Box"), nullptr);
    EXPECT_NE(other->GetRootNode()->FindChild("Box"), nullptr);
}

TEST_F(Reader3dsFrameTest, AFileThatIsNoneFailsToOpenAndAGarbledOneToRead) {
    EXPECT_FALSE(Import(Path("missing.3ds")));
    EXPECT_EQ(mLastErrorId, KFbxIO::eFILE_NOT_OPENED);
    // A mesh file whose only chunk claims more than the file holds.
    mFolder.Write("garbled.3ds", std::string("\x4d\x4d\x20\x00\x00\x00\x3d\x3d\x40\x00\x00\x00", 12));
    EXPECT_FALSE(Import(Path("garbled.3ds")));
    EXPECT_EQ(mLastErrorId, KFbxIO::eFILE_CORRUPTED);
    EXPECT_EQ(mScene->GetRootNode()->GetChildCount(), 0);
}

TEST_F(Reader3dsFrameTest, RichSceneReadsWhole) {
    ASSERT_TRUE(WriteRichScene(Path("rich.3ds")));
    ASSERT_TRUE(Import(Path("rich.3ds"))) << mLastError;
    EXPECT_EQ(ChildNames(mScene->GetRootNode()),
              (std::vector<std::string>{"Box", "Lamp", "Spot", "Spot.Target", "Cam", "Cam.Target"}));
    EXPECT_EQ(mScene->GetMaterialCount(), 1);
    EXPECT_EQ(mScene->GetTextureCount(), 1);
    EXPECT_EQ(MeshOf(Node("Box"))->GetControlPointsCount(), 24);
    EXPECT_EQ(Node("Cam")->GetTarget(), Node("Cam.Target"));
}

// ---- another reader of the same file ----------------------------------------

int CountNodes(const KFbxNode* node) {
    int count = 1;
    for (int index = 0; index < node->GetChildCount(); ++index) {
        count += CountNodes(node->GetChild(index));
    }
    return count;
}

TEST_F(Reader3dsFrameTest, CountsAgreeWithAnIndependentReader) {
    if (!ProgramInstalled("assimp")) {
        GTEST_SKIP() << "assimp is not installed (assimp-utils)";
    }
    File file;
    Mesh left = Box("Left");
    left.mGroups.push_back({"Red", {0, 1, 2, 3, 4, 5}});
    left.mGroups.push_back({"Blue", {6, 7, 8, 9, 10, 11}});
    file.Add(left).Add(Box("Right")).Material("Red").Material("Blue");
    file.Add(ObjectNode{"Left"}).Add(ObjectNode{"Right", "", "Left"});
    ASSERT_TRUE(file.Write(Path("pair.3ds")));
    std::string info;
    ASSERT_TRUE(RunCommand("assimp info '" + Path("pair.3ds") + "' 2>&1", info)) << info;
    ASSERT_TRUE(Import(Path("pair.3ds"))) << mLastError;

    int meshes = 0;
    int vertices = 0;
    int faces = 0;
    for (int index = 0; index < mScene->GetNodeCount(); ++index) {
        if (const KFbxMesh* mesh = MeshOf(mScene->GetNode(index))) {
            ++meshes;
            vertices += mesh->GetControlPointsCount();
            faces += mesh->GetPolygonCount();
        }
    }
    EXPECT_EQ(meshes, 2);
    EXPECT_EQ(CountAfter(info, "Meshes"), meshes) << info;
    EXPECT_EQ(CountAfter(info, "Materials"), mScene->GetMaterialCount()) << info;
    EXPECT_EQ(CountAfter(info, "Vertices"), vertices) << info;
    EXPECT_EQ(CountAfter(info, "Faces"), faces) << info;
    // Both readers put one root above the file's nodes.
    EXPECT_EQ(CountAfter(info, "Nodes"), CountNodes(mScene->GetRootNode())) << info;
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::reader3dstest
