// The FBX 5 writer: its creation by the registry, the file it makes, the
// write pass with its statuses and phases, the summary, the password and
// nested scenes; and that an export leaves the scene as it was.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include "Fbx5WriterSupport.h"
#include "RichScene.h"
#include "support/CommandOutput.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1::fbx5test {
namespace {

using KFbxWriterFbxTest = Fbx5WriterTest;

// ---- creation and the file ----

TEST_F(KFbxWriterFbxTest, TheRegistryMakesItForBothSubFormatsWithVersion5800) {
    KFbxFileFormatRegistry& registry = KFbxFileFormatRegistry::Get();
    for (const auto& [id, binary] : {std::pair{KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, true},
                                     std::pair{KFbxFileFormatRegistry::eFBX5_ASCII_WRITER, false}}) {
        SCOPED_TRACE(id);
        std::unique_ptr<KFbxWriter> writer(registry.CreateWriter(id, *mManager, nullptr));
        auto* fbx5 = dynamic_cast<KFbxWriterFbx*>(writer.get());
        ASSERT_NE(fbx5, nullptr);
        EXPECT_EQ(fbx5->GetFileMode(), binary ? KFbxWriterFbxCommon::eBINARY : KFbxWriterFbxCommon::eASCII);
        writer.reset();

        const std::string path = mFolder / "registry.fbx";
        ASSERT_TRUE(Export(path, id)) << mLastError;
        KFbx file;
        ASSERT_TRUE(file.FileOpen(path.c_str())) << file.GetLastErrorText();
        EXPECT_EQ(file.IsBinary(), binary);
        EXPECT_EQ(file.GetFileHeaderInfo().mFileVersion, 5800);
        // The main section and the summary.
        EXPECT_EQ(file.GetSectionCount(), 2);
    }
}

TEST_F(KFbxWriterFbxTest, ItsFileIsMarkedForFbx5Readers) {
    KFbxWriterFbx writer(*mManager, nullptr);
    ASSERT_TRUE(writer.FileCreate(Path().c_str()));
    EXPECT_TRUE(writer.GetFieldFile()->IsFbx5Compatible());
    EXPECT_TRUE(writer.FileClose());
}

TEST_F(KFbxWriterFbxTest, AnAsciiFileNamesItsVersionOnItsFirstLine) {
    mScene = richscene::Build(mManager, mFolder.Path().string());
    ASSERT_TRUE(WriteFile(Path())) << mLastError;
    const std::string text = ReadText(Path());
    EXPECT_EQ(text.substr(0, text.find('\n')), "; FBX 5.8.0 project file");
    // Our reader reads it back, and reads it as well without that line.
    KFbx file;
    ASSERT_TRUE(file.FileOpen(Path().c_str())) << file.GetLastErrorText();
    EXPECT_EQ(file.GetFileHeaderInfo().mFileVersion, 5800);
    file.FileClose();
    const std::string bare = (mFolder.Path() / "bare.fbx").string();
    {
        std::ofstream out(bare, std::ios::binary);
        out << text.substr(text.find('\n') + 1);
    }
    KFbx withoutLine;
    ASSERT_TRUE(withoutLine.FileOpen(bare.c_str())) << withoutLine.GetLastErrorText();
    EXPECT_EQ(withoutLine.GetFileHeaderInfo().mFileVersion, 5800);
    withoutLine.FileClose();
    // An independent reader, where one is installed, gets through the
    // file's syntax to its version, which it then refuses as older than it
    // reads; a fault of the syntax would stop it before.
    if (std::system("command -v assimp >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "assimp is not installed; the first line was checked";
    }
    const std::string output = CommandOutput("assimp info '" + Path() + "'");
    EXPECT_EQ(output.find("FBX-Tokenize"), std::string::npos) << output;
    EXPECT_EQ(output.find("FBX-Parser"), std::string::npos) << output;
    EXPECT_NE(output.find("version"), std::string::npos) << output;
}

TEST_F(KFbxWriterFbxTest, ASceneOfOnlyTheRootHasNoModelAndCountsNone) {
    const std::string records = Records();
    ExpectGolden(records, "fbx5_root_only");
    EXPECT_EQ(records.find("Model: \""), std::string::npos);
    EXPECT_NE(RecordText(records, "ContentCount:").find("\tModel: 0\n"), std::string::npos);
}

TEST_F(KFbxWriterFbxTest, WithoutModelsMeshesAreNullsOfSize100) {
    KFbxNode* body = AddNode("Body");
    body->SetNodeAttribute(richscene::MakeMesh(mManager));
    AddNode("Empty", body);
    mOptions->SetOption("MODEL", false);
    ExpectGolden(RecordText(Records(), "Model: \"Model::Body\""), "fbx5_model_off");
}

// ---- the write pass ----

TEST_F(KFbxWriterFbxTest, AFailureInTheFirstPhaseSkipsTheSecondButNotTheSummary) {
    KFbxWriterFbx writer(*mManager, nullptr);
    writer.SetFileMode(KFbxWriterFbxCommon::eASCII);
    AddNode("Node");
    ASSERT_TRUE(writer.FileCreate(Path().c_str()));
    // A field without a field to end is the field file's error: the check
    // after the media section finds it.
    writer.GetFieldFile()->FieldWriteEnd();
    EXPECT_FALSE(writer.Write(mScene, mOptions));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eOUT_OF_DISK_SPACE);
    EXPECT_STREQ(writer.GetLastErrorString(), "Out of disk space");
    // The writer gives up a file its write failed; the field file, closed
    // by itself, keeps what the write put in it.
    writer.GetFieldFile()->FileClose();
    const std::string text = ReadText(Path());
    EXPECT_NE(text.find("\nMedia:  {"), std::string::npos) << text;
    for (const char* skipped : {"Model: \"", "GoboManager:", "Settings:", "FogOptions:"}) {
        EXPECT_EQ(text.find(skipped), std::string::npos) << skipped;
    }
    EXPECT_NE(text.find("Summary:  {"), std::string::npos);
}

TEST_F(KFbxWriterFbxTest, MotionOptionsWriteTheDefaultsAndOptionsOfAnotherKindNothing) {
    mOptions->SetOption("GOBO", false);
    AddNode("Node");
    const std::string withOwn = Records();

    KFbxStreamOptions* motion = KFbxStreamOptionsMotionWriter::Create(mManager, "");
    KFbxWriterFbx writer(*mManager, nullptr);
    writer.SetFileMode(KFbxWriterFbxCommon::eASCII);
    ASSERT_TRUE(writer.FileCreate(Path().c_str()));
    EXPECT_TRUE(writer.Write(mScene, motion));
    EXPECT_TRUE(writer.FileClose());
    const std::string withMotion = RecordsOf(ReadText(Path()));
    EXPECT_NE(withMotion, withOwn);
    EXPECT_NE(withMotion.find("GoboManager:"), std::string::npos);

    KFbxStreamOptions* reader = KFbxStreamOptionsFbxReader::Create(mManager, "");
    for (KFbxStreamOptions* options : {static_cast<KFbxStreamOptions*>(nullptr), reader}) {
        KFbxWriterFbx refusing(*mManager, nullptr);
        refusing.SetFileMode(KFbxWriterFbxCommon::eASCII);
        ASSERT_TRUE(refusing.FileCreate(Path().c_str()));
        EXPECT_FALSE(refusing.Write(mScene, options));
        EXPECT_STREQ(refusing.GetLastErrorString(), "Stream options not set");
        EXPECT_TRUE(refusing.FileClose());
        // The file written before is left as it was.
        EXPECT_EQ(RecordsOf(ReadText(Path())), withMotion);
    }
    motion->Destroy();
    reader->Destroy();
}

TEST_F(KFbxWriterFbxTest, FailuresOfTheFileHaveTheirStatus) {
    KFbxWriterFbx writer(*mManager, nullptr);
    EXPECT_FALSE(writer.Write(mScene, mOptions));
    EXPECT_STREQ(writer.GetLastErrorString(), "File not created");

    EXPECT_FALSE(writer.FileCreate((mFolder.Path() / "no-such-folder" / "scene.fbx").c_str()));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eFILE_NOT_CREATED);

    if (std::filesystem::exists("/dev/full")) {
        for (int format : {KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, KFbxFileFormatRegistry::eFBX5_ASCII_WRITER}) {
            EXPECT_FALSE(Export("/dev/full", format));
            EXPECT_EQ(mLastErrorId, KFbxIO::eOUT_OF_DISK_SPACE);
        }
    }
}

TEST_F(KFbxWriterFbxTest, AGivenFieldFileGetsTheScenesRecordsWithoutSummary) {
    AddNode("Inner");
    IFbxObject* fbx = IFbxObject::Create();
    ASSERT_NE(fbx, nullptr);
    ASSERT_TRUE(fbx->FileCreate(Path().c_str(), false, false, nullptr));
    KFbxWriterFbx writer(*mManager, nullptr);
    EXPECT_TRUE(writer.Write(mScene, mOptions, fbx));
    EXPECT_FALSE(writer.IsFileOpen());
    EXPECT_TRUE(fbx->FileClose());
    fbx->Destroy();
    const std::string text = ReadText(Path());
    EXPECT_NE(text.find("Model: \"Model::Inner\""), std::string::npos);
    EXPECT_EQ(text.find("Summary:"), std::string::npos);
}

// ---- summary and password ----

TEST_F(KFbxWriterFbxTest, TheSummaryListsSelectedTakesAndCountsCharactersAsConstraints) {
    KFbxNode* node = AddNode("Walker");
    for (const char* take : {"Walk", "Hidden", "Run"}) {
        mScene->GetRootNode()->CreateTakeNode(take);
        node->CreateTakeNode(take);
    }
    KFbxTakeInfo walk;
    walk.mName = "Walk";
    walk.mDescription = "slow";
    walk.mLocalTimeSpan.Set(richscene::Seconds(1.0), richscene::Seconds(2.0));
    walk.mReferenceTimeSpan.Set(richscene::Seconds(0.0), richscene::Seconds(3.0));
    ASSERT_TRUE(mScene->SetTakeInfo(walk));
    KFbxTakeInfo hidden;
    hidden.mName = "Hidden";
    hidden.mSelect = false;
    ASSERT_TRUE(mScene->SetTakeInfo(hidden));
    mScene->SetCurrentTake("Walk");
    mScene->CreateCharacter("Hero");
    AddNode("~fbxexport~", node);
    KFbxSceneInfo* info = KFbxSceneInfo::Create(mManager, "info");
    info->mTitle = "Summary";
    mScene->SetSceneInfo(info);

    const std::string records = Records();
    ExpectGolden(records.substr(records.find("Summary:")), "fbx5_summary");
    EXPECT_TRUE(mOptions->GetBoolOption("TEMPLATE", false));
}

TEST_F(KFbxWriterFbxTest, APasswordProtectsOnlyWhenItHasText) {
    mOptions->SetOption("PASSWORD ENABLE", true);
    for (const char* password : {"", "sesame"}) {
        SCOPED_TRACE(password);
        mOptions->SetOption("PASSWORD", password);
        ASSERT_TRUE(WriteFile(Path(), true));
        KFbx file;
        const bool protectedFile = password[0] != '\0';
        EXPECT_EQ(file.FileOpen(Path().c_str()), !protectedFile);
        KFbx unlocked;
        ASSERT_TRUE(unlocked.FileOpen(Path().c_str(), password)) << unlocked.GetLastErrorText();
        ASSERT_TRUE(unlocked.SelectSection(1));
        ASSERT_TRUE(unlocked.FieldReadBegin("Summary"));
        ASSERT_TRUE(unlocked.FieldReadBlockBegin());
        EXPECT_EQ(unlocked.FieldReadIDefault("PasswordProtection", -1), protectedFile ? 1 : 0);
    }
}

// ---- nested scenes ----

TEST_F(KFbxWriterFbxTest, ANestedSceneLandsInTheOpenRecordWithoutTakesOrSummary) {
    const int index = mScene->CreateCharacterPose("Stance");
    KFbxCharacterPose* pose = mScene->GetCharacterPose(index);
    ASSERT_NE(pose, nullptr);
    KFbxScene* poseScene = pose->GetPoseScene();
    ASSERT_NE(poseScene, nullptr);
    KFbxNode* arm = KFbxNode::Create(mManager, "Arm");
    poseScene->GetRootNode()->AddChild(arm);
    poseScene->GetRootNode()->CreateTakeNode("Wave");
    arm->CreateTakeNode("Wave");

    bool nested = false;
    const std::string records = WriteWith([&](KFbxWriterFbx& writer) {
        KFbx& file = *writer.GetFieldFile();
        file.FieldWriteBegin("PoseScene");
        file.FieldWriteBlockBegin();
        nested = writer.WriteNestedScene(*pose);
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
    });
    EXPECT_TRUE(nested);
    const std::string poseRecord = RecordText(records, "PoseScene:");
    EXPECT_NE(poseRecord.find("\tModel: \"Model::Arm\" {"), std::string::npos) << poseRecord;
    for (const char* absent : {"Takes:", "Summary:", "Media:", "GoboManager:", "Settings:"}) {
        EXPECT_EQ(records.find(absent), std::string::npos) << absent;
    }
}

TEST_F(KFbxWriterFbxTest, WritingWithAnFbx5WriterNeedsOptionsAndAFieldFile) {
    KFbxExporter* exporter = KFbxExporter::Create(mManager, "");
    ASSERT_NE(exporter, nullptr);
    EXPECT_FALSE(exporter->WriteWithFbxWriter(mScene, nullptr, nullptr));
    EXPECT_EQ(exporter->GetLastErrorID(), KFbxIO::eSTREAM_OPTIONS_NOT_SET);
    EXPECT_STREQ(exporter->GetLastErrorString(), "Stream options not set");
    EXPECT_FALSE(exporter->WriteWithFbxWriter(mScene, mOptions, nullptr));
    EXPECT_EQ(exporter->GetLastErrorID(), KFbxIO::eFILE_NOT_CREATED);
    exporter->Destroy();
}

// ---- the scene as it was ----

TEST_F(KFbxWriterFbxTest, TwoExportsGiveOneFileAndTheSceneStaysAsItWas) {
    KFbxScene* rich = richscene::Build(mManager, mFolder.Path().string());
    mScene = rich;
    auto* body = mScene->FindNodeByName(KString("Body"));
    ASSERT_NE(body, nullptr);
    auto* texture = mScene->FindTextureByName(KString("Bricks"));
    ASSERT_NE(texture, nullptr);
    const KString mediaName(texture->GetMediaName());
    KFbxNode* perspective =
        mScene->GetGlobalCameraSettings().GetProducerCameraNode(KFbxGlobalCameraSettings::ePRODUCER_PERSPECTIVE);
    ASSERT_NE(perspective, nullptr);
    perspective->SetShading(4);
    perspective->SetVisibility(true);
    auto* phong = static_cast<KFbxSurfacePhong*>(mScene->FindMaterialByName(KString("Metal")));
    ASSERT_NE(phong, nullptr);
    KFbxTakeNode* shineTake = phong->CreateTakeNode("Walk");
    ASSERT_NE(shineTake, nullptr);
    KFCurveNode* channel = KFCurveNode::Create("Shininess", nullptr);
    channel->FCurveSet(KFCurve::Create());
    shineTake->GetKFCurveNode()->Add(channel);
    KFCurve* shine = shineTake->GetMaterialShininess();
    ASSERT_NE(shine, nullptr);
    shine->KeySet(0, richscene::Seconds(0.5), 0.3f, KFCURVE_INTERPOLATION_LINEAR);

    const std::string first = Records();
    const std::string second = Records();
    EXPECT_EQ(first, second);
    EXPECT_TRUE(WriteFile(Path(), true)) << mLastError;
    EXPECT_STREQ(texture->GetMediaName(), mediaName.Buffer());
    EXPECT_EQ(perspective->GetShading(), 4);
    EXPECT_TRUE(perspective->GetVisibility());
    EXPECT_EQ(shine->KeyGetValue(0), 0.3f);
    // Written a hundred times larger.
    EXPECT_NE(RecordText(first, "Material: \"Material::Metal\"").find("Shininess"), std::string::npos);
    EXPECT_STREQ(mScene->GetCurrentTakeName(), "Walk");
}

TEST_F(KFbxWriterFbxTest, IncompleteMembersStillGiveFilesThatOpen) {
    KFbxNode* node = AddNode("Holder");
    // A texture without file, in a layer too, next to an empty slot; a
    // material of no known kind; a take without span; a light without gobo.
    KFbxTexture* texture = KFbxTexture::Create(mManager, "Blank");
    node->ConnectSrc(texture);
    node->ConnectSrc(KFbxSurfaceMaterial::Create(mManager, "Bare"));
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    node->SetNodeAttribute(mesh);
    auto* textures = new KFbxLayerElementTexture("textures");
    textures->SetMappingMode(KFbxLayerElement::eALL_SAME);
    textures->GetDirectArray().Add(texture);
    textures->GetDirectArray().Add(nullptr);
    textures->GetIndexArray().Add(1);
    mesh->CreateLayer();
    mesh->GetLayer(0)->SetTextures(textures);
    mScene->GetRootNode()->CreateTakeNode("Empty");
    node->CreateTakeNode("Empty");
    AddNode("Lamp")->SetNodeAttribute(KFbxLight::Create(mManager, ""));
    AddNode("Camera")->SetNodeAttribute(KFbxCamera::Create(mManager, ""));
    mOptions->SetOption("EMBEDDED", true);
    for (bool binary : {true, false}) {
        SCOPED_TRACE(binary);
        EXPECT_TRUE(WriteFile(Path(), binary)) << mLastError;
        KFbx file;
        EXPECT_TRUE(file.FileOpen(Path().c_str())) << file.GetLastErrorText();
    }
}

TEST_F(KFbxWriterFbxTest, TwoObjectsOfOneNameGetNamesOfTheirOwnInTheFileOnly) {
    KFbxNode* first = AddNode("Twin");
    KFbxNode* second = AddNode("Twin", first);
    KFbxNode* third = AddNode("Twin1");
    // Each clash takes the first number free when it is met: past a name
    // taken meanwhile, never one given before.
    const std::vector<std::pair<const char*, const char*>> more = {
        {"Twin3", "Twin3"}, {"Twin", "Twin2"}, {"Twin", "Twin4"}, {"Twin11", "Twin111"}};
    for (const auto& [name, written] : more) {
        AddNode(name);
    }
    const std::string path = mFolder / "twins.fbx";
    ASSERT_TRUE(Export(path, KFbxFileFormatRegistry::eFBX5_ASCII_WRITER)) << mLastError;
    const std::string records = RecordsOf(ReadText(path));
    // The second "Twin" takes the first free number, which moves the "Twin1"
    // met after it on.
    EXPECT_NE(RecordText(records, "Model: \"Model::Twin\"").find("\tChildren: \"Model::Twin1\"\n"), std::string::npos)
        << records;
    EXPECT_NE(records.find("Model: \"Model::Twin11\" {"), std::string::npos);
    EXPECT_STREQ(first->GetName(), "Twin");
    EXPECT_STREQ(second->GetName(), "Twin");
    EXPECT_STREQ(third->GetName(), "Twin1");
    for (const auto& [name, written] : more) {
        EXPECT_NE(records.find(std::string("Model: \"Model::") + written + "\" {"), std::string::npos) << written;
    }
}

TEST_F(KFbxWriterFbxTest, OnlyTheFbx53VersionPreparesTheScene) {
    KFbxWriterFbx writer(*mManager, nullptr);
    KFbxNode* node = AddNode("Lamp post");
    EXPECT_FALSE(writer.PreprocessScene(*mScene));
    EXPECT_FALSE(writer.PostprocessScene(*mScene));
    EXPECT_STREQ(node->GetName(), "Lamp post");
    writer.SetExportVersion("FBX53_MB55");
    writer.SetExportMode(6);
    EXPECT_FALSE(writer.PreprocessScene(*mScene));
    EXPECT_EQ(writer.GetExportMode(), 1);
    EXPECT_TRUE(writer.PostprocessScene(*mScene));
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::fbx5test
