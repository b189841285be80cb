// Option sets, the format registry and the IO base.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxIO.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/fbx/KFbxReader.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <gtest/gtest.h>

#include <memory>

namespace fbxsdk_2006_11_1 {
namespace {

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override { mManager = CreateSdkManager(); }
    void TearDown() override { delete mManager; }
    KFbxSdkManager* mManager = nullptr;
};

TEST_F(OptionsTest, OptionsAreTypedAndResetToTheirDefaults) {
    KFbxStreamOptionsFbxReader* options = KFbxStreamOptionsFbxReader::Create(mManager, "");
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(options->GetOption("NO SUCH OPTION").IsValid());
    EXPECT_FALSE(options->SetOption("NO SUCH OPTION", true));
    // An option keeps its type: a string option takes no bool and the reverse.
    EXPECT_FALSE(options->SetOption("PASSWORD", true));
    EXPECT_FALSE(options->SetOption("MODEL", "yes"));
    EXPECT_EQ(options->GetBoolOption("PASSWORD", true), true);

    EXPECT_TRUE(options->SetOption("MODEL", false));
    EXPECT_TRUE(options->SetOption("PASSWORD", "secret"));
    EXPECT_TRUE(options->SetOption("CURRENT TAKE NAME", "Run"));
    KFbxTakeInfo take;
    take.mName = "Run";
    options->GetTakeList().AddTakeInfo(take);
    bool model = true;
    EXPECT_TRUE(options->GetOption("MODEL").Get(&model, eFbxValueBool));
    EXPECT_FALSE(model);

    options->Reset();
    for (const char* section : {"MODEL", "MATERIAL", "TEXTURE", "MEDIA", "LINK", "SHAPE", "ANIMATION", "GLOBAL SETTINGS"}) {
        EXPECT_TRUE(options->GetBoolOption(section, false)) << section;
    }
    EXPECT_EQ(options->GetStringOption("PASSWORD", "x"), KString(""));
    EXPECT_EQ(options->GetStringOption("CURRENT TAKE NAME", "x"), KString(""));
    EXPECT_EQ(options->GetTakeList().GetTakeInfoCount(), 0);
    options->Destroy();
}

TEST_F(OptionsTest, FbxWriterDefaultsWriteEverythingUnprotectedAndUnembedded) {
    KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
    ASSERT_NE(options, nullptr);
    for (const char* section : {"MODEL", "MATERIAL", "TEXTURE", "MEDIA", "LINK", "CHARACTER", "CONSTRAINT",
                                "GLOBAL SETTINGS", "ANIMATION", "SHAPE", "GOBO", "PIVOT"}) {
        EXPECT_TRUE(options->GetBoolOption(section, false)) << section;
    }
    EXPECT_FALSE(options->GetBoolOption("EMBEDDED", true));
    EXPECT_FALSE(options->GetBoolOption("PASSWORD ENABLE", true));
    EXPECT_FALSE(options->GetBoolOption("TEMPLATE", true));
    EXPECT_EQ(options->GetStringOption("PASSWORD", "x"), KString(""));

    KFbxTakeInfo take;
    take.mName = "A";
    options->GetTakeList().AddTakeInfo(take);
    take.mName = "B";
    take.mSelect = false;
    options->GetTakeList().AddTakeInfo(take);
    EXPECT_EQ(options->GetSelectedTakeCount(), 1);
    EXPECT_EQ(options->GetTakeList().GetTakeInfo(2), nullptr);
    EXPECT_EQ(options->GetTakeList().GetTakeInfo(-1), nullptr);
    options->Destroy();
}

TEST_F(OptionsTest, ThreeDsWriterResetGivesTheListedDefaults) {
    KFbxStreamOptions3dsWriter* options = KFbxStreamOptions3dsWriter::Create(mManager, "");
    ASSERT_NE(options, nullptr);
    options->SetOption("MESH", false);
    options->SetOption("FILTER", true);
    options->SetOption("MESH COUNT", 12);
    options->SetOption("TAKE NAME", "Take 001");
    options->Reset();
    for (const char* on : {"MATERIAL", "TEXTURE", "ANIMATION", "MESH", "LIGHT", "CAMERA", "AMBIENT LIGHT", "RESCALING",
                           "TEXUVBYPOLY"}) {
        EXPECT_TRUE(options->GetBoolOption(on, false)) << on;
    }
    EXPECT_FALSE(options->GetBoolOption("REFERENCENODE", true));
    EXPECT_FALSE(options->GetBoolOption("FILTER", true));
    EXPECT_EQ(options->GetIntOption("MESH COUNT", -1), 0);
    EXPECT_EQ(options->GetStringOption("TAKE NAME", "x"), KString(""));
    options->Destroy();
}

TEST_F(OptionsTest, ForeignSetsHoldTheirOptions) {
    KFbxStreamOptionsDxfReader* dxf = KFbxStreamOptionsDxfReader::Create(mManager, "");
    ASSERT_NE(dxf, nullptr);
    EXPECT_TRUE(dxf->SetOption("OBJECT DERIVATION", 2));
    EXPECT_EQ(dxf->GetObjectDerivation(), 2);
    EXPECT_TRUE(dxf->GetOption("WELD VERTICES").IsValid());
    KFbxStreamOptionsObjWriter* obj = KFbxStreamOptionsObjWriter::Create(mManager, "");
    ASSERT_NE(obj, nullptr);
    EXPECT_TRUE(obj->GetBoolOption("TRIANGULATE", false));
    EXPECT_TRUE(obj->GetBoolOption("DEFORMATION", false));
    KFbxStreamOptionsObjReader* objReader = KFbxStreamOptionsObjReader::Create(mManager, "");
    ASSERT_NE(objReader, nullptr);
    EXPECT_TRUE(objReader->GetOption("REFERENCENODE").IsValid());
    dxf->Destroy();
    obj->Destroy();
    objReader->Destroy();
}

TEST_F(OptionsTest, ColladaFrameRates) {
    KFbxStreamOptionsColladaReader* reader = KFbxStreamOptionsColladaReader::Create(mManager, "");
    ASSERT_NE(reader, nullptr);
    for (const char* name : {"TAKE NAME", "START", "FRAME COUNT", "FRAME RATE"}) {
        EXPECT_TRUE(reader->GetOption(name).IsValid()) << name;
    }
    reader->SetFrameRate(KTime::ePal, 30.0);
    EXPECT_EQ(reader->GetTimeMode(), KTime::ePal);
    reader->SetFrameRate(KTime::eDefaultMode, 0.0);
    EXPECT_EQ(reader->GetTimeMode(), KTime::eDefaultMode);
    reader->SetFrameRate(KTime::eDefaultMode, 24.0005);
    EXPECT_EQ(reader->GetTimeMode(), KTime::eFrames24);
    reader->SetFrameRate(KTime::eDefaultMode, 17.0);
    EXPECT_EQ(reader->GetTimeMode(), KTime::eDefaultMode);

    KFbxStreamOptionsColladaWriter* writer = KFbxStreamOptionsColladaWriter::Create(mManager, "");
    ASSERT_NE(writer, nullptr);
    EXPECT_TRUE(writer->SetOption("FRAME RATE", 25.0));
    EXPECT_NEAR(writer->GetFramePeriod().GetSecondDouble(), 0.04, 1e-9);
    writer->SetTimeMode(KTime::eFrames60);
    EXPECT_NEAR(writer->GetFramePeriod().GetSecondDouble(), 1.0 / 60.0, 1e-9);
    reader->Destroy();
    writer->Destroy();
}

TEST_F(OptionsTest, EveryOptionSetIsARegisteredClass) {
    const KFbxClassId ids[] = {KFbxStreamOptions::ClassId, KFbxStreamOptionsFbxReader::ClassId,
                               KFbxStreamOptionsFbxWriter::ClassId, KFbxStreamOptionsMotionReader::ClassId,
                               KFbxStreamOptionsMotionWriter::ClassId, KFbxStreamOptions3dsReader::ClassId,
                               KFbxStreamOptions3dsWriter::ClassId, KFbxStreamOptionsDxfReader::ClassId,
                               KFbxStreamOptionsDxfWriter::ClassId, KFbxStreamOptionsObjReader::ClassId,
                               KFbxStreamOptionsObjWriter::ClassId, KFbxStreamOptionsColladaReader::ClassId,
                               KFbxStreamOptionsColladaWriter::ClassId, KFbxIO::ClassId, KFbxImporter::ClassId};
    for (const KFbxClassId& id : ids) {
        ASSERT_NE(id, KFbxClassId());
        KFbxPlug* plug = CreateObjectOfClass(mManager, id, "");
        ASSERT_NE(plug, nullptr) << id.GetName();
        EXPECT_TRUE(plug->Is(id));
        EXPECT_TRUE(plug->Is(KFbxObject::ClassId));
        plug->Destroy();
    }
    EXPECT_TRUE(KFbxStreamOptionsColladaWriter::ClassId.Is(KFbxStreamOptions::ClassId));
    EXPECT_TRUE(KFbxImporter::ClassId.Is(KFbxIO::ClassId));
}

TEST(FileFormatRegistryTest, FormatsAreFoundByIdAndExtension) {
    KFbxFileFormatRegistry& registry = KFbxFileFormatRegistry::Get();
    EXPECT_EQ(registry.FindReaderByExtension("fbx"), KFbxFileFormatRegistry::eFBX_READER);
    EXPECT_EQ(registry.FindReaderByExtension("/models/Hero.FBX"), KFbxFileFormatRegistry::eFBX_READER);
    EXPECT_EQ(registry.FindReaderByExtension(".dae"), KFbxFileFormatRegistry::eCOLLADA_READER);
    EXPECT_EQ(registry.FindReaderByExtension("scene.3ds"), KFbxFileFormatRegistry::e3DS_READER);
    // A dot in a folder name is no extension.
    EXPECT_EQ(registry.FindReaderByExtension("models.obj/readme"), -1);
    EXPECT_EQ(registry.FindReaderByExtension(nullptr), -1);
    // Among the writers of one extension the first id wins.
    EXPECT_EQ(registry.FindWriterByExtension("out.fbx"), KFbxFileFormatRegistry::eFBX_BINARY_WRITER);
    EXPECT_EQ(registry.FindWriterByExtension("out.obj"), KFbxFileFormatRegistry::eOBJ_WRITER);

    EXPECT_EQ(registry.GetReaderIds(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(registry.GetWriterIds(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(registry.GetReaderDescription(KFbxFileFormatRegistry::eDXF_READER),
              KString("Drawing Exchange DXF (*.dxf)"));
    EXPECT_EQ(registry.GetWriterDescription(KFbxFileFormatRegistry::e3DS_WRITER), KString("3D Studio 3DS (*.3ds)"));
    EXPECT_EQ(registry.GetWriterDescription(KFbxFileFormatRegistry::eOBJ_WRITER), KString("Wavefront OBJ (*.obj)"));
    EXPECT_EQ(registry.GetReaderExtension(KFbxFileFormatRegistry::eCOLLADA_READER), KString("dae"));
    EXPECT_EQ(registry.GetReaderDescription(42), KString(""));
    EXPECT_FALSE(registry.IsReader(-1));
    EXPECT_FALSE(registry.RegisterReader(-1, "x", "x", nullptr));
}

TEST(FileFormatRegistryTest, CreateFunctionsMakeReaders) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    KFbxFileFormatRegistry& registry = KFbxFileFormatRegistry::Get();
    std::unique_ptr<KFbxReader> reader(registry.CreateReader(KFbxFileFormatRegistry::eFBX_READER, *manager, nullptr));
    EXPECT_NE(dynamic_cast<KFbxReaderFbx6*>(reader.get()), nullptr);
    EXPECT_EQ(registry.CreateReader(99, *manager, nullptr), nullptr);

    // A format without its create function makes nothing; installing one
    // fills the entry.
    const int id = 40;
    ASSERT_TRUE(registry.RegisterReader(id, "tst", "Test (*.tst)", nullptr));
    EXPECT_EQ(registry.CreateReader(id, *manager, nullptr), nullptr);
    ASSERT_TRUE(registry.SetReaderCreateFn(id, [](KFbxSdkManager& m, KFbxIO*, int) -> KFbxReader* {
        return new KFbxReaderFbx6(m, nullptr);
    }));
    reader.reset(registry.CreateReader(id, *manager, nullptr));
    EXPECT_NE(reader, nullptr);
    EXPECT_FALSE(registry.SetWriterCreateFn(id, nullptr));
}

TEST_F(OptionsTest, StatusTextComposesTheDetail) {
    KFbxImporter* importer = KFbxImporter::Create(mManager, "");
    ASSERT_NE(importer, nullptr);
    importer->AppendStatusText(0, "Reading", nullptr, 0.0f);
    EXPECT_STREQ(importer->GetStatusText(), "Reading");
    importer->AppendStatusText(0, "Reading", "models", 50.0f);
    EXPECT_STREQ(importer->GetStatusText(), "Reading - models");
    EXPECT_STREQ(KFbxIO::GetErrorText(KFbxIO::eFILE_NOT_CREATED), "File not created");
    EXPECT_STREQ(KFbxIO::GetErrorText(KFbxIO::eOUT_OF_DISK_SPACE), "Out of disk space");
    EXPECT_STREQ(KFbxIO::GetErrorText(KFbxIO::eSTREAM_OPTIONS_NOT_SET), "Stream options not set");
    EXPECT_STREQ(KFbxIO::GetErrorText(12), "");
    EXPECT_STREQ(KFbxReader::GetErrorText(KFbxReader::eFILE_CORRUPTED), "File is corrupted");
    EXPECT_STREQ(KFbxReader::GetErrorText(KFbxReader::eFILE_NOT_OPENED), "File not opened");
    importer->Destroy();
}

TEST_F(OptionsTest, DuplicateNodeNamesAreListedOnce) {
    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    KFbxNode* root = scene->GetRootNode();
    for (const char* name : {"Arm", "Leg", "Arm"}) {
        root->AddChild(KFbxNode::Create(mManager, name));
    }
    root->GetChild(1)->AddChild(KFbxNode::Create(mManager, "Arm"));
    KFbxReaderFbx6 reader(*mManager, nullptr);
    KString message;
    EXPECT_FALSE(reader.CheckDuplicateNodeNames(root, message));
    EXPECT_EQ(message, KString("\n    Arm"));
    KString none;
    EXPECT_TRUE(reader.CheckDuplicateNodeNames(root->GetChild(1), none));
    EXPECT_TRUE(reader.CheckDuplicateNodeNames(nullptr, none));
    EXPECT_EQ(none, KString(""));
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
