// What other programs need of our FBX 6 files and we of theirs: indexed
// normals that keep their index, media paths that name the file's own
// neighbourhood, and exports that leave the caller's names alone.
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include "ReaderTestSupport.h"
#include "RichScene.h"
#include "support/CommandOutput.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::readertest {
namespace {

using richscene::AddNode;

// The normal each polygon vertex of the element's layer has, by the
// element's mapping and reference.
std::vector<KFbxVector4> PolygonVertexNormals(const KFbxMesh& mesh, const KFbxLayerElementNormal& element) {
    std::vector<KFbxVector4> normals;
    int polygonVertex = 0;
    for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
        for (int k = 0; k < mesh.GetPolygonSize(p); ++k, ++polygonVertex) {
            int item = element.GetMappingMode() == KFbxLayerElement::eBY_CONTROL_POINT ? mesh.GetPolygonVertex(p, k)
                                                                                       : polygonVertex;
            if (element.GetReferenceMode() != KFbxLayerElement::eDIRECT) {
                item = item < element.GetIndexArray().GetCount() ? element.GetIndexArray().GetAt(item) : -1;
            }
            normals.push_back(item >= 0 && item < element.GetDirectArray().GetCount()
                                  ? element.GetDirectArray().GetAt(item)
                                  : KFbxVector4(-9.0, -9.0, -9.0, 0.0));
        }
    }
    return normals;
}

class InterchangeTest : public ReaderTest, public ::testing::WithParamInterface<int> {};

TEST_P(InterchangeTest, IndexedNormalsKeepTheNormalOfEveryPolygonVertex) {
    KFbxScene* source = KFbxScene::Create(mManager, "source");
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    AddNode(mManager, source->GetRootNode(), "Cube", mesh);
    const int polygonVertices = mesh->GetPolygonVertexCount();
    auto* indexed = richscene::Fill(new KFbxLayerElementNormal(), "faceted", KFbxLayerElement::eBY_POLYGON_VERTEX,
                                    KFbxLayerElement::eINDEX_TO_DIRECT);
    for (const KFbxVector4& normal : {KFbxVector4(1, 0, 0, 0), KFbxVector4(0, 1, 0, 0), KFbxVector4(0, 0, -1, 0)}) {
        indexed->GetDirectArray().Add(normal);
    }
    for (int i = 0; i < polygonVertices; ++i) {
        indexed->GetIndexArray().Add((i * 7) % 3);
    }
    while (mesh->GetLayerCount() < 2) {
        mesh->CreateLayer();
    }
    mesh->GetLayer(0)->SetNormals(indexed);
    auto* direct = richscene::Fill(new KFbxLayerElementNormal(), "smooth", KFbxLayerElement::eBY_POLYGON_VERTEX,
                                   KFbxLayerElement::eDIRECT);
    for (int i = 0; i < polygonVertices; ++i) {
        direct->GetDirectArray().Add(KFbxVector4(0.5, -0.25 * i, 0.125, 0.0));
    }
    mesh->GetLayer(1)->SetNormals(direct);

    const std::string path = Path("normals.fbx");
    ASSERT_TRUE(Export(source, path, GetParam()));
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(path, read)) << mLastError;
    KFbxNode* cube = read->FindNodeByName(KString("Cube"));
    ASSERT_NE(cube, nullptr);
    auto* readMesh = dynamic_cast<KFbxMesh*>(cube->GetNodeAttribute());
    ASSERT_NE(readMesh, nullptr);
    ASSERT_EQ(readMesh->GetLayerCount(), 2);
    for (int layer = 0; layer < 2; ++layer) {
        const KFbxLayerElementNormal* written = mesh->GetLayer(layer)->GetNormals();
        const KFbxLayerElementNormal* back = readMesh->GetLayer(layer)->GetNormals();
        ASSERT_NE(back, nullptr) << layer;
        EXPECT_EQ(back->GetReferenceMode(), written->GetReferenceMode()) << layer;
        const std::vector<KFbxVector4> expected = PolygonVertexNormals(*mesh, *written);
        const std::vector<KFbxVector4> actual = PolygonVertexNormals(*readMesh, *back);
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_TRUE(actual[i] == expected[i]) << "layer " << layer << ", polygon vertex " << i;
        }
    }
}

// Every name an export could touch: of each object, and the file names of
// textures and videos.
std::map<const void*, std::vector<std::string>> NamesOf(KFbxScene& scene) {
    std::map<const void*, std::vector<std::string>> names;
    for (int i = 0; i < scene.GetSrcObjectCount(KFbxObject::ClassId); ++i) {
        KFbxObject* object = scene.GetSrcObject(KFbxObject::ClassId, i);
        std::vector<std::string>& entry = names[object];
        entry.push_back(object->GetName());
        if (auto* texture = dynamic_cast<KFbxTexture*>(object)) {
            entry.insert(entry.end(), {texture->GetFileName(), texture->GetRelativeFileName(), texture->GetMediaName()});
        }
        if (auto* video = dynamic_cast<KFbxVideo*>(object)) {
            const char* file = video->GetFileName();
            entry.insert(entry.end(), {file != nullptr ? file : "(none)", video->GetRelativeFileName()});
        }
    }
    return names;
}

class MediaPathTest : public ReaderTest {
protected:
    // A mesh with two textures: "Sand" in a folder of maps, named relatively
    // and shown by a video of the scene's own that has no relative name of
    // its own; "Rock" above the output folder, with no relative name at all.
    KFbxScene* TexturedScene() {
        std::filesystem::create_directories(mFolder.Path() / "maps");
        std::filesystem::create_directories(mFolder.Path() / "out");
        std::ofstream(mFolder / "maps/sand.tga") << "sand";
        std::ofstream(mFolder / "rock.tga") << "rock";
        KFbxScene* scene = KFbxScene::Create(mManager, "textured");
        KFbxMesh* mesh = richscene::MakeMesh(mManager);
        KFbxNode* node = AddNode(mManager, scene->GetRootNode(), "Ground", mesh);
        KFbxTexture* sand = KFbxTexture::Create(mManager, "Sand");
        sand->SetFileName((mFolder / "maps/sand.tga").c_str());
        sand->SetRelativeFileName("maps/sand.tga");
        sand->SetMediaName("SandClip");
        KFbxVideo* clip = KFbxVideo::Create(mManager, "SandClip");
        clip->SetFileName((mFolder / "maps/sand.tga").c_str());
        scene->ConnectObject(clip);
        sand->ConnectSrc(clip);
        KFbxTexture* rock = KFbxTexture::Create(mManager, "Rock");
        rock->SetFileName((mFolder / "rock.tga").c_str());
        for (KFbxTexture* texture : {sand, rock}) {
            node->ConnectSrc(texture);
        }
        return scene;
    }

    // The "RelativeFilename" of each record of the kind in the block the
    // path of blocks leads to, by the record's name.
    static std::map<std::string, std::string> RelativeNames(const std::string& path, const char* kind = "Video",
                                                            const std::vector<const char*>& blocks = {"Objects"}) {
        std::map<std::string, std::string> names;
        KFbx file;
        if (!file.FileOpen(path.c_str())) return names;
        for (const char* block : blocks) {
            if (!file.FieldReadBegin(block) || !file.FieldReadBlockBegin()) return names;
        }
        while (file.FieldReadBegin(kind)) {
            const std::string name = file.FieldReadS().Buffer();
            if (file.FieldReadBlockBegin()) {
                names[name] = file.FieldReadSDefault("RelativeFilename", "(none)").Buffer();
                file.FieldReadBlockEnd();
            }
            file.FieldReadEnd();
        }
        return names;
    }
};

TEST_F(MediaPathTest, RelativeNamesLeadFromTheWrittenFileAndTheScenesNamesStay) {
    KFbxScene* scene = TexturedScene();
    const auto before = NamesOf(*scene);

    const std::string ascii = mFolder / "out/ground.fbx";
    ASSERT_TRUE(Export(scene, ascii, KFbxFileFormatRegistry::eFBX_ASCII_WRITER));
    EXPECT_TRUE(NamesOf(*scene) == before);
    const auto written = RelativeNames(ascii);
    ASSERT_EQ(written.size(), 2u);
    // The scene's relative name is relative to where the scene came from.
    EXPECT_EQ(written.at("Video::SandClip"), "../maps/sand.tga");
    EXPECT_EQ(written.at("Video::Rock"), "../rock.tga");
    EXPECT_EQ(mFolder.Read("out/ground.fbx").find(".fbm"), std::string::npos);

    // Embedded media go to the folder named after the file, beside it.
    KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
    options->SetOption("EMBEDDED", true);
    const std::string binary = mFolder / "out/packed.fbx";
    ASSERT_TRUE(Export(scene, binary, KFbxFileFormatRegistry::eFBX_BINARY_WRITER, options));
    EXPECT_TRUE(NamesOf(*scene) == before);
    const auto embedded = RelativeNames(binary);
    ASSERT_EQ(embedded.size(), 2u);
    EXPECT_EQ(embedded.at("Video::SandClip"), "packed.fbm/sand.tga");
    EXPECT_EQ(embedded.at("Video::Rock"), "packed.fbm/rock.tga");
    options->Destroy();

    // A texture gets the relative name the file gives it on import.
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(ascii, read)) << mLastError;
    bool found = false;
    for (int i = 0; i < read->GetTextureCount(); ++i) {
        if (std::string(read->GetTexture(i)->GetName()) == "Sand") {
            found = true;
            EXPECT_STREQ(read->GetTexture(i)->GetRelativeFileName(), "../maps/sand.tga");
        }
    }
    EXPECT_TRUE(found);
}

// A texture the scene names by an absolute path is named from the written
// file's folder in its texture and video records and its medium, whatever
// relative name the scene gives it (an OBJ library's gives one relative to
// the library); a name of another system (a drive's, a share's) or a
// relative one stays the scene's.
TEST_F(MediaPathTest, AnAbsoluteFileIsNamedFromTheWrittenFilesFolderInEveryRecord) {
    std::filesystem::create_directories(mFolder.Path() / "models/tex");
    std::filesystem::create_directories(mFolder.Path() / "out");
    const std::string wood = mFolder.Write("models/tex/wood.tga", "wood");
    const struct {
        std::string file, written, expected;
    } rows[] = {
        {wood, "out/car.fbx", "../models/tex/wood.tga"},
        {wood, "models/car.fbx", "tex/wood.tga"},
        {"tex/wood.tga", "out/car.fbx", "tex/wood.tga"},
        {"C:\\models\\tex\\wood.tga", "out/car.fbx", "tex/wood.tga"},
        {"\\\\server\\share\\wood.tga", "out/car.fbx", "tex/wood.tga"},
        {"//server/share/wood.tga", "out/car.fbx", "tex/wood.tga"},
        // This machine's file, as the system reads two leading separators.
        {"/" + wood, "out/car.fbx", "../models/tex/wood.tga"},
    };
    const int formats[] = {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, KFbxFileFormatRegistry::eFBX_ASCII_WRITER,
                           KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, KFbxFileFormatRegistry::eFBX5_ASCII_WRITER};
    for (const auto& row : rows) {
        for (const int format : formats) {
            SCOPED_TRACE(row.file + " into " + row.written + ", format " + std::to_string(format));
            KFbxScene* scene = KFbxScene::Create(mManager, "");
            KFbxNode* node = AddNode(mManager, scene->GetRootNode(), "Car", richscene::MakeMesh(mManager));
            KFbxTexture* texture = KFbxTexture::Create(mManager, "Wood");
            texture->SetFileName(row.file.c_str());
            texture->SetRelativeFileName("tex/wood.tga");
            node->ConnectSrc(texture);
            const auto before = NamesOf(*scene);
            const std::string path = mFolder / row.written;
            ASSERT_TRUE(Export(scene, path, format));
            EXPECT_TRUE(NamesOf(*scene) == before);
            // FBX 5 files name media only, in a section of their own.
            const bool fbx5 = format >= KFbxFileFormatRegistry::eFBX5_BINARY_WRITER;
            const auto records = fbx5 ? std::vector{RelativeNames(path, "Video", {"Media", "Video"})}
                                      : std::vector{RelativeNames(path, "Texture"), RelativeNames(path)};
            std::vector<std::string> names;
            for (const auto& record : records) {
                for (const auto& [name, value] : record) names.push_back(value);
            }
            EXPECT_EQ(names, std::vector<std::string>(records.size(), row.expected));
        }
    }
}

// Two names that read alike once cleaned as text, "t/l1/../x.png" and
// "t/l2/../x.png", name two files where l1 and l2 lead to folders beside
// x.png files of their own: every writer keeps both media, each measured to
// its own file, whether the scene names them absolutely or from the working
// folder, and a file read back has a video of each.
TEST_F(MediaPathTest, NamesThroughTwoLinksAreTwoMedia) {
    for (const char* folder : {"a/sub", "b/sub", "t", "out"}) std::filesystem::create_directories(mFolder.Path() / folder);
    mFolder.Write("a/x.png", "first");
    mFolder.Write("b/x.png", "second");
    std::filesystem::create_directory_symlink(mFolder.Path() / "a/sub", mFolder.Path() / "t/l1");
    std::filesystem::create_directory_symlink(mFolder.Path() / "b/sub", mFolder.Path() / "t/l2");
    const std::filesystem::path working = std::filesystem::current_path();
    std::filesystem::current_path(mFolder.Path());
    const int formats[] = {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, KFbxFileFormatRegistry::eFBX_ASCII_WRITER,
                           KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, KFbxFileFormatRegistry::eFBX5_ASCII_WRITER};
    for (const std::string from : {mFolder.Path().string() + "/", std::string()}) {
        for (const int format : formats) {
            SCOPED_TRACE((from.empty() ? "relative, format " : "absolute, format ") + std::to_string(format));
            KFbxScene* scene = KFbxScene::Create(mManager, "");
            for (const char* link : {"l1", "l2"}) {
                KFbxNode* node = AddNode(mManager, scene->GetRootNode(), link, richscene::MakeMesh(mManager));
                KFbxTexture* texture = KFbxTexture::Create(mManager, link);
                texture->SetFileName((from + "t/" + link + "/../x.png").c_str());
                node->ConnectSrc(texture);
            }
            const std::string path = mFolder / "out/two.fbx";
            ASSERT_TRUE(Export(scene, path, format));
            const bool fbx5 = format >= KFbxFileFormatRegistry::eFBX5_BINARY_WRITER;
            std::vector<std::string> names;
            for (const auto& [name, value] : fbx5 ? RelativeNames(path, "Video", {"Media", "Video"}) : RelativeNames(path)) {
                names.push_back(value);
            }
            EXPECT_EQ(names, (std::vector<std::string>{"../a/x.png", "../b/x.png"}));
            KFbxScene* read = KFbxScene::Create(mManager, "");
            ASSERT_TRUE(Import(path, read)) << mLastError;
            std::vector<std::string> shown;
            for (int i = 0; i < read->GetSrcObjectCount(KFbxVideo::ClassId); ++i) {
                std::ifstream file(static_cast<KFbxVideo*>(read->GetSrcObject(KFbxVideo::ClassId, i))->GetFileName());
                std::getline(file, shown.emplace_back());
            }
            std::sort(shown.begin(), shown.end());
            EXPECT_EQ(shown, (std::vector<std::string>{"first", "second"}));
        }
    }
    std::filesystem::current_path(working);
}

TEST_F(ReaderTest, AnIndependentReaderTokenizesOurAsciiFiles) {
    if (std::system("command -v assimp >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "assimp is not installed";
    }
    KFbxScene* scene = richscene::Build(mManager, mFolder.Path().string());
    scene->FindNodeByName(KString("Body"))->SetName("Body \"the \\ one\"");
    const std::string path = Path("quoted.fbx");
    ASSERT_TRUE(Export(scene, path, KFbxFileFormatRegistry::eFBX_ASCII_WRITER));
    // It reads FBX 6 files no further than their syntax: past that, it
    // refuses the version. A fault of the syntax stops it before.
    const std::string output = CommandOutput("assimp info '" + path + "'");
    EXPECT_EQ(output.find("FBX-Tokenize"), std::string::npos) << output;
    EXPECT_EQ(output.find("FBX-Parser"), std::string::npos) << output;
    EXPECT_NE(output.find("version"), std::string::npos) << output;
}

INSTANTIATE_TEST_SUITE_P(Modes, InterchangeTest, ::testing::ValuesIn(kFbx6WriterFormats), WriterFormatName);

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
