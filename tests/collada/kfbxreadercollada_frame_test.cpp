// The reader frame: document checks, the asset, the order in which
// libraries are read, reporting, the take, and the registry.
#include <fbxfilesdk/collada/KFbxColladaFormats.h>
#include <fbxfilesdk/formats/KFbxFormats3ds.h>
#include <fbxfilesdk/formats/KFbxFormatsDxf.h>
#include <fbxfilesdk/formats/KFbxFormatsObj.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "ColladaTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::colladatest;

namespace {

const std::string kTriangle =
    "<library_geometries><geometry id=\"tri\"><mesh>" +
    FloatSource("tri-p", "0 0 0 1 0 0 0 1 0", 3, {"X", "Y", "Z"}) +
    "<vertices id=\"tri-v\"><input semantic=\"POSITION\" source=\"#tri-p\"/></vertices>"
    "<triangles count=\"1\" material=\"m\"><input semantic=\"VERTEX\" source=\"#tri-v\" offset=\"0\"/><p>0 1 2</p>"
    "</triangles></mesh></geometry></library_geometries>\n";

const std::string kImages =
    "<library_images><image id=\"img\"><init_from>./maps/wood.tga</init_from></image></library_images>\n";
const std::string kEffects =
    "<library_effects><effect id=\"fx\"><profile_COMMON><technique sid=\"t\"><lambert><diffuse>"
    "<texture texture=\"img\" texcoord=\"uv\"/></diffuse></lambert></technique></profile_COMMON></effect>"
    "</library_effects>\n";
const std::string kMaterials =
    "<library_materials><material id=\"m\"><instance_effect url=\"#fx\"/></material></library_materials>\n";

// What a document that reads and brings no node into the scene says.
constexpr const char* kNoSceneContent =
    "Warning: The document holds no scene content: no <instance_visual_scene> brings in a node\n";

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

class ColladaFrame : public ColladaReadTest {
protected:
    std::string Message() const { return mMessage.Buffer(); }
};

}  // namespace

TEST_F(ColladaFrame, AnEmptyDocumentGivesTheTakeAndABlackAmbient) {
    mScene->GetGlobalLightSettings().SetAmbientColor(KFbxColor(1, 0, 0, 1));
    ASSERT_TRUE(Read("<COLLADA version=\"1.4.1\"><!-- nothing --></COLLADA>")) << Message();
    const KFbxColor ambient = mScene->GetGlobalLightSettings().GetAmbientColor();
    EXPECT_EQ(ambient.mRed, 0.0);
    EXPECT_EQ(ambient.mAlpha, 1.0);
    const KFbxTakeInfo* take = mScene->GetTakeInfo("Take 001");
    ASSERT_NE(take, nullptr);
    EXPECT_EQ(take->mLocalTimeSpan.GetStart().Get(), 0);
    EXPECT_EQ(take->mLocalTimeSpan.GetStop().Get(), 0);
    EXPECT_STREQ(mScene->GetCurrentTakeName(), "Take 001");
    EXPECT_EQ(Message(), kNoSceneContent);
}

TEST_F(ColladaFrame, VersionsOutside14WarnAndReadOn) {
    ASSERT_TRUE(Read(Document("", "", "1.4")));
    EXPECT_EQ(Message(), kNoSceneContent);
    ASSERT_TRUE(Read(Document("", "", "1.3.1")));
    EXPECT_EQ(Message(),
              "Warning: Old Collada format (1.3.1). This format is weakly supported and could cause read errors. "
              "There is strong support for Collada format 1.4.*.\n" + std::string(kNoSceneContent));
    ASSERT_TRUE(Read(Document("", "", "1.5.0")));
    EXPECT_EQ(Message(),
              "Warning: Collada format 1.5.0 newer than supported format 1.4.*. Might be weakly supported.\n" +
                  std::string(kNoSceneContent));
    ASSERT_TRUE(Read(Document("", "", "2.0")));
    EXPECT_TRUE(MessageHas("newer than supported"));
}

TEST_F(ColladaFrame, AVersionWithoutPointFails) {
    EXPECT_FALSE(Read(Document("", "", "14")));
    EXPECT_EQ(Message(), "ERROR: Bad syntax for version number (14)\nUnable to parse xml/dae file\n");
    EXPECT_EQ(mErrorText, "Unable to parse xml/dae file\n");
    EXPECT_FALSE(Read("<COLLADA><asset/></COLLADA>"));
    EXPECT_TRUE(MessageHas("Bad syntax for version number ()"));
}

TEST_F(ColladaFrame, TheAssetGivesAxesUnitAndSceneInformation) {
    ReadValid(DocumentWithAsset(
        "<contributor><author>Ann</author><comments>first</comments></contributor>"
        "<contributor><author>Bob</author></contributor><created>2024-05-01T10:00:00Z</created>"
        "<keywords>k w</keywords><modified>2024-05-01T10:00:00Z</modified><revision>7</revision>"
        "<subject>s</subject><title> Dune </title><unit meter=\"0.01\"/><up_axis>Z_UP</up_axis>",
        ""));
    int sign = 0;
    EXPECT_EQ(mScene->GetGlobalSettings()->GetAxisSystem().GetUpVector(sign), 3);
    EXPECT_EQ(mScene->GetGlobalSettings()->GetSystemUnit().GetScaleFactor(), 1.0);
    const KFbxSceneInfo* info = mScene->GetSceneInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->mAuthor, "Bob");
    EXPECT_EQ(info->mComment, "first");
    EXPECT_EQ(info->mTitle, " Dune ");
    EXPECT_EQ(info->mKeywords, "k w");
    EXPECT_EQ(info->mRevision, "7");
    EXPECT_EQ(info->mSubject, "s");
}

TEST_F(ColladaFrame, UnitsAndAxesOutOfTheKnownFormsWarn) {
    ASSERT_TRUE(Read(Document("", "<unit meter=\"0.00001\"/><up_axis> Y_UP</up_axis>")));
    EXPECT_TRUE(MessageHas("Meter conversion factor is too small or invalid: 0.00001. Using 1 instead."));
    EXPECT_TRUE(MessageHas("Unrecognized up_axis value:  Y_UP"));
    EXPECT_EQ(mScene->GetGlobalSettings()->GetSystemUnit().GetScaleFactor(), 100.0);
    int sign = 0;
    EXPECT_EQ(mScene->GetGlobalSettings()->GetAxisSystem().GetUpVector(sign), 2);
    ASSERT_TRUE(Read(Document("", "<unit meter=\"0.5\"/>")));
    EXPECT_EQ(mScene->GetGlobalSettings()->GetSystemUnit().GetScaleFactor(), 50.0);
    ReadValid(Document("", "<unit name=\"meter\" meter=\"1\"/><up_axis>Z_UP</up_axis>"));
    EXPECT_EQ(mScene->GetGlobalSettings()->GetSystemUnit().GetScaleFactor(), 100.0);
    EXPECT_EQ(mScene->GetGlobalSettings()->GetAxisSystem().GetUpVector(sign), 3);
    ASSERT_TRUE(Read(Document("", "<unit meter=\"nan\"/>")));
    EXPECT_EQ(mScene->GetGlobalSettings()->GetSystemUnit().GetScaleFactor(), 100.0);
}

TEST_F(ColladaFrame, OnlyTheAssetMayComeFirst) {
    EXPECT_FALSE(Read("<COLLADA version=\"1.4.1\"><library_images/><asset/></COLLADA>"));
    EXPECT_TRUE(MessageHas("ERROR: <asset> node not found, at node: <library_images>"));
    EXPECT_FALSE(Read("<other version=\"1.4.1\"/>"));
    EXPECT_TRUE(MessageHas("Unable to parse xml/dae file"));
}

TEST_F(ColladaFrame, OnlyExtrasMayFollowTheScene) {
    EXPECT_TRUE(Read(Document("<scene/><extra><technique profile=\"X\"/></extra>")));
    EXPECT_FALSE(Read(Document("<scene/><library_images/>")));
    EXPECT_TRUE(MessageHas("ERROR: extra structure at the end of the main structure: <library_images>"));
}

TEST_F(ColladaFrame, UnsupportedLibrariesWarnOncePerReader) {
    KFbxReaderCollada reader(*mManager);
    const std::string path = Write(Document("<library_physics_models/><library_physics_models/><library_physics_scenes/><unknown/>"));
    ASSERT_TRUE(reader.FileOpen(path.c_str()));
    KFbxStreamOptions* options = reader.GetReadOptions();
    ASSERT_TRUE(reader.Read(mScene, options));
    reader.GetMessageText(mMessage);
    EXPECT_EQ(CountOf(Message(), "library type not supported: library_physics_models"), 1);
    EXPECT_EQ(CountOf(Message(), "library type not supported: library_physics_scenes"), 1);
    EXPECT_TRUE(MessageHas("Warning: unknown structure in the main structure: <unknown>"));
    ASSERT_TRUE(reader.Read(mScene, options));
    reader.GetMessageText(mMessage);
    EXPECT_EQ(CountOf(Message(), "library type not supported"), 0);
    options->Destroy();
}

TEST_F(ColladaFrame, ImagesAndEffectsAreReadOnceJustBeforeTheMaterials) {
    ReadValidWithPass(Document(kTriangle + kMaterials + kEffects + kImages));
    EXPECT_EQ(Message(), "");
    EXPECT_EQ(Objects<KFbxMesh>().size(), 1u);
    // The material, made from its effect, and the triangle's stand-in: an
    // effect makes no material of its own.
    EXPECT_EQ(Objects<KFbxSurfaceMaterial>().size(), 2u);
    // The effect channel's texture: an image makes none of its own.
    ASSERT_EQ(Objects<KFbxTexture>().size(), 1u);
    EXPECT_STREQ(Objects<KFbxTexture>()[0]->GetFileName(), "maps/wood.tga");
}

TEST_F(ColladaFrame, EffectsOrImagesWithoutTheirUsersWarn) {
    ASSERT_TRUE(Read(Document(kImages + kEffects)));
    EXPECT_TRUE(MessageHas("Warning: library_effects exists but there is no library_materials using it. "
                           "This library will not be read."));
    ASSERT_TRUE(Read(Document(kImages)));
    EXPECT_TRUE(MessageHas("Warning: library_images exists but there is no library_effects using it."));
    EXPECT_TRUE(Objects<KFbxTexture>().empty());
}

TEST_F(ColladaFrame, MaterialsWithoutEffectsFailWithAMessage) {
    EXPECT_FALSE(Read(Document(kImages + kMaterials)));
    EXPECT_TRUE(MessageHas("ERROR: library_materials exists but there is no library_effects"));
}

TEST_F(ColladaFrame, TheOldLibraryFormIsReadWithAWarning) {
    const std::string old = kTriangle;
    std::string library = old;
    library.replace(library.find("<library_geometries>"), 20, "<library type=\"GEOMETRY\">");
    library.replace(library.find("</library_geometries>"), 21, "</library>");
    ASSERT_TRUE(ReadWithPass(Document(library + library)));
    EXPECT_EQ(CountOf(Message(), "Warning: structure library is deprecated in Collada 1.4."), 1);
    // Both libraries are read; the second geometry shares the first's id and
    // is not kept.
    EXPECT_TRUE(MessageHas("Duplicate id "));
    EXPECT_EQ(Objects<KFbxMesh>().size(), 1u);
    EXPECT_FALSE(Read(Document("<library type=\"TEXTURE\"/>")));
    EXPECT_TRUE(MessageHas("ERROR: Unrecognized library element: library"));
}

TEST_F(ColladaFrame, ABrokenDocumentLeavesTheScene) {
    const KFbxColor red(1, 0, 0, 1);
    mScene->GetGlobalLightSettings().SetAmbientColor(red);
    mScene->GetGlobalSettings()->SetSystemUnit(KFbxSystemUnit(2.54));
    KFbxSceneInfo* info = KFbxSceneInfo::Create(mManager, "");
    info->mTitle = "kept";
    mScene->SetSceneInfo(info);
    std::string badIndex = kTriangle;
    badIndex.replace(badIndex.find("0 1 2</p>"), 5, "0 1 3");
    for (const std::string& document :
         {std::string("<COLLADA version=\"1.4.1\"><asset>"), Document("<library_geometries>"),
          Document(badIndex, "<unit meter=\"1\"/><up_axis>X_UP</up_axis>")}) {
        EXPECT_FALSE(Read(document));
        EXPECT_TRUE(MessageHas("Unable to parse xml/dae file\n")) << Message();
        EXPECT_EQ(mScene->GetGlobalLightSettings().GetAmbientColor().mGreen, 0.0);
        EXPECT_EQ(mScene->GetGlobalLightSettings().GetAmbientColor().mRed, 1.0);
        EXPECT_EQ(mScene->GetGlobalSettings()->GetSystemUnit().GetScaleFactor(), 2.54);
        EXPECT_EQ(mScene->GetSceneInfo(), info);
        EXPECT_EQ(mScene->GetTakeInfo("Take 001"), nullptr);
    }
    EXPECT_TRUE(MessageHas("ERROR: vertex index 3 out of range in <p> of mesh tri"));
}

TEST_F(ColladaFrame, EntityDeclarationsAreRefused) {
    EXPECT_FALSE(Read("<?xml version=\"1.0\"?><!DOCTYPE COLLADA [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;\">]>"
                      "<COLLADA version=\"1.4.1\"><asset><title>&b;</title></asset></COLLADA>"));
    EXPECT_TRUE(MessageHas("declares entities"));
}

TEST_F(ColladaFrame, OptionsFilesAndStatus) {
    KFbxReaderCollada reader(*mManager);
    EXPECT_EQ(reader.GetReadOptions(), nullptr);
    EXPECT_EQ(reader.GetError().GetLastErrorID(), KFbxReader::eFILE_NOT_OPENED);
    EXPECT_FALSE(reader.FileClose());
    EXPECT_FALSE(reader.FileOpen((mFolder / "absent.dae").c_str()));
    const std::string path = Write(Document(""));
    ASSERT_TRUE(reader.FileOpen(path.c_str()));
    EXPECT_TRUE(reader.IsFileOpen());
    KFbxStreamOptions* options = reader.GetReadOptions();
    ASSERT_NE(options, nullptr);
    EXPECT_NE(dynamic_cast<KFbxStreamOptionsColladaReader*>(options), nullptr);
    EXPECT_EQ(options->GetIntOption("FRAME COUNT", -1), 0);
    EXPECT_EQ(options->GetTimeOption("START", KTime(5)).Get(), 0);
    EXPECT_FALSE(reader.Read(mScene, nullptr));
    EXPECT_EQ(reader.GetError().GetLastErrorID(), KFbxReader::eSTREAM_OPTIONS_NOT_SET);
    EXPECT_TRUE(reader.Read(mScene, options));
    // Reading again reads the same file again.
    EXPECT_TRUE(reader.Read(mScene, options));
    options->Destroy();
    EXPECT_TRUE(reader.FileClose());
    EXPECT_FALSE(reader.IsFileOpen());
}

// The readers that refuse all but regular files themselves are not given a
// file looked at first: what they cannot open is explained as the FBX
// reader's is, and nothing is waited on.
TEST_F(ColladaFrame, FilesNoReaderCanOpenSayWhichAndWhyWhateverTheFormat) {
    KFbxRegisterColladaFormats();
    KFbxRegisterDxfFormats();
    KFbxRegister3dsFormats();
    KFbxRegisterObjFormats();
    KFbxImporter* importer = KFbxImporter::Create(mManager, "");
    for (const char* extension : {".dae", ".dxf", ".3ds", ".obj", ".fbx"}) {
        const std::string fifo = mFolder / (std::string("pipe") + extension);
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        const std::string folder = mFolder / (std::string("folder") + extension);
        ASSERT_TRUE(std::filesystem::create_directory(folder));
        const std::string absent = mFolder / (std::string("absent") + extension);
        const std::pair<std::string, std::string> cases[] = {
            {absent, std::strerror(ENOENT)}, {fifo, "not a regular file"}, {folder, std::strerror(EISDIR)}};
        for (const auto& [path, reason] : cases) {
            SCOPED_TRACE(path);
            EXPECT_FALSE(importer->Initialize(path.c_str()));
            EXPECT_EQ(importer->GetLastErrorID(), KFbxIO::eFILE_NOT_OPENED);
            EXPECT_EQ(std::string(importer->GetLastErrorString()), "File not opened (" + path + ": " + reason + ")");
        }
    }
    importer->Destroy();
}

// A converter imports for days with one manager: what an import makes and its
// scene's end destroys leaves nothing the manager keeps.
TEST_F(ColladaFrame, ImportsInARowKeepNoMoreLayerElementsThanTheFirst) {
    const std::string path = Write(SceneDocument(
        kImages + kEffects + kMaterials + kTriangle,
        "<node id=\"n\"><instance_geometry url=\"#tri\"><bind_material><technique_common>"
        "<instance_material symbol=\"m\" target=\"#m\"/></technique_common></bind_material></instance_geometry></node>"));
    for (int import = 0; import < 200; ++import) {
        KFbxScene* scene = KFbxScene::Create(mManager, "");
        ASSERT_TRUE(ReadFile(path, scene)) << mMessage.Buffer();
        ASSERT_EQ(mManager->GetLayerElementCount(), 2u) << "the mesh's two layer elements, import " << import;
        scene->Destroy(true);
    }
    EXPECT_EQ(mManager->GetLayerElementCount(), 0u);
}

TEST_F(ColladaFrame, TheRegistryOpensDocumentsThroughTheImporter) {
    KFbxRegisterColladaFormats();
    KFbxFileFormatRegistry& registry = KFbxFileFormatRegistry::Get();
    EXPECT_EQ(registry.FindReaderByExtension("scene.DAE"), KFbxFileFormatRegistry::eCOLLADA_READER);
    EXPECT_STREQ(GetColladaReaderFormatInfo(0)[0], "dae");
    EXPECT_STREQ(GetColladaFormatInfo(1)[0], "Collada DAE (*.dae)");
    EXPECT_EQ(GetColladaFormatInfo(1)[1], nullptr);
    EXPECT_EQ(GetColladaReaderFormatInfo(2), nullptr);
    EXPECT_STREQ(registry.GetReaderDescription(KFbxFileFormatRegistry::eCOLLADA_READER).Buffer(),
                 GetColladaFormatInfo(1)[0]);
    const std::string path = Write(Document(kTriangle, "<up_axis>Z_UP</up_axis>"), "triangle.dae");
    KFbxImporter* importer = KFbxImporter::Create(mManager, "");
    ASSERT_TRUE(importer->Initialize(path.c_str()));
    EXPECT_TRUE(importer->Import(mScene));
    int sign = 0;
    EXPECT_EQ(mScene->GetGlobalSettings()->GetAxisSystem().GetUpVector(sign), 3);
    const std::string broken = Write("<COLLADA", "broken.dae");
    ASSERT_TRUE(importer->Initialize(broken.c_str()));
    EXPECT_FALSE(importer->Import(mScene));
    EXPECT_STREQ(importer->GetLastErrorString(), "Unable to parse xml/dae file\n");
    importer->Destroy();
}
