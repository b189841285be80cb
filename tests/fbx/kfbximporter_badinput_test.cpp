// Damaged files: every truncation and every single-byte change of a small
// file is either refused with a status and the scene left as it was, or read
// into a scene without any access out of bounds (run under the sanitizers).
#include "DamagedFileTest.h"
#include "Fbx5SmallScene.h"
#include "ReaderTestSupport.h"

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/fbx/FieldFormat.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxFileHeaderInfo.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/scene/KFbxPose.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace fbxsdk_2006_11_1::readertest {
namespace {

class DamagedFiles : public DamagedFileTest {
protected:
    // A file a writer would make for a triangle with normals, a material and
    // one animated take, but without the records every writer adds (producer
    // cameras, settings), so that it stays small.
    std::string SmallFile() override {
        const std::string path = Path("small.fbx");
        const bool binary = GetParam() != KFbxFileFormatRegistry::eFBX_ASCII_WRITER;
        KFbxFileHeaderInfo header;
        KFbx file;
        EXPECT_TRUE(file.FileCreate(path.c_str(), binary,
                                    GetParam() == KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER, &header));
        file.FieldWriteBegin("Objects");
        file.FieldWriteBlockBegin();
        file.FieldWriteBegin("Model");
        file.FieldWriteS("Model::Tri");
        file.FieldWriteS("Mesh");
        file.FieldWriteBlockBegin();
        file.FieldWriteBegin("Version");
        file.FieldWriteI(232);
        file.FieldWriteEnd();
        file.FieldWriteBegin("Properties60");
        file.FieldWriteBlockBegin();
        file.FieldWriteBegin("Property");
        file.FieldWriteS("Lcl Translation");
        file.FieldWriteS("Lcl Translation");
        file.FieldWriteS("A+");
        const double translation[] = {1.0, 2.0, 3.0};
        file.FieldWriteVector3(translation);
        file.FieldWriteEnd();
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
        file.FieldWriteBegin("Vertices");
        const double points[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
        file.FieldWriteArrayD(points, 9);
        file.FieldWriteEnd();
        file.FieldWriteBegin("PolygonVertexIndex");
        const int polygon[] = {0, 1, -3};
        file.FieldWriteArrayI(polygon, 3);
        file.FieldWriteEnd();
        file.FieldWriteBegin("LayerElementNormal");
        file.FieldWriteI(0);
        file.FieldWriteBlockBegin();
        file.WriteStringField("MappingInformationType", "ByVertice");
        file.WriteStringField("ReferenceInformationType", "Direct");
        file.FieldWriteBegin("Normals");
        const double normals[] = {0, 0, 1, 0, 0, 1, 0, 0, 1};
        file.FieldWriteArrayD(normals, 9);
        file.FieldWriteEnd();
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
        file.FieldWriteBegin("Layer");
        file.FieldWriteI(0);
        file.FieldWriteBlockBegin();
        file.FieldWriteBegin("LayerElement");
        file.FieldWriteBlockBegin();
        file.WriteStringField("Type", "LayerElementNormal");
        file.FieldWriteBegin("TypedIndex");
        file.FieldWriteI(0);
        file.FieldWriteEnd();
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
        file.FieldWriteBegin("Material");
        file.FieldWriteS("Material::Paint");
        file.FieldWriteS("");
        file.FieldWriteBlockBegin();
        file.WriteStringField("ShadingModel", "phong");
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();

        file.FieldWriteBegin("Connections");
        file.FieldWriteBlockBegin();
        for (const auto& connection : {std::pair<const char*, const char*>{"Model::Tri", "Model::Scene"},
                                       std::pair<const char*, const char*>{"Material::Paint", "Model::Tri"}}) {
            file.FieldWriteBegin("Connect");
            file.FieldWriteS("OO");
            file.FieldWriteS(connection.first);
            file.FieldWriteS(connection.second);
            file.FieldWriteEnd();
        }
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();

        // The take's curves in their stored form.
        KFbxNode* node = KFbxNode::Create(mManager, "Tri");
        KFbxTakeNode* take = node->CreateTakeNode("Move");
        KTime second;
        second.SetSecondDouble(1.0);
        take->GetTranslationX()->KeySet(0, KTime(), 0.0f);
        take->GetTranslationX()->KeySet(1, second, 2.0f);
        // "Takes" with the one take, its curves only in the main section.
        auto writeTakes = [&](bool withCurves) {
            file.FieldWriteBegin("Takes");
            file.FieldWriteBlockBegin();
            file.WriteStringField("Current", "Move");
            file.FieldWriteBegin("Take");
            file.FieldWriteS("Move");
            file.FieldWriteBlockBegin();
            file.FieldWriteBegin("LocalTime");
            file.FieldWriteTimeSpan(KTime(), second);
            file.FieldWriteEnd();
            if (withCurves) {
                file.FieldWriteBegin("Model");
                file.FieldWriteS("Model::Tri");
                file.FieldWriteBlockBegin();
                KFCurveNode* root = take->GetKFCurveNode();
                for (int i = 0; i < root->GetCount(); ++i) {
                    root->Get(i)->FbxStore(&file, false, true, true, "Channel", true, false);
                }
                file.FieldWriteBlockEnd();
                file.FieldWriteEnd();
            }
            file.FieldWriteBlockEnd();
            file.FieldWriteEnd();
            file.FieldWriteBlockEnd();
            file.FieldWriteEnd();
        };
        writeTakes(true);
        EXPECT_TRUE(file.CloseFileIdentity());
        EXPECT_TRUE(file.ProjectSectionAppend());
        file.FieldWriteBegin("Summary");
        file.FieldWriteBlockBegin();
        writeTakes(false);
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
        node->Destroy();
        EXPECT_TRUE(file.FileClose());

        // The file is whole and reads as the triangle it describes.
        KFbxScene* scene = KFbxScene::Create(mManager, "check");
        EXPECT_TRUE(Import(path, scene)) << mLastError;
        KFbxNode* read = scene->FindNodeByName(KString("Tri"));
        EXPECT_NE(read, nullptr);
        if (read != nullptr) {
            auto* mesh = dynamic_cast<KFbxMesh*>(read->GetNodeAttribute());
            EXPECT_TRUE(mesh != nullptr && mesh->GetPolygonCount() == 1);
            EXPECT_EQ(read->GetSrcObjectCount(KFbxSurfaceMaterial::ClassId), 1);
        }
        EXPECT_NE(scene->GetTakeInfo(KString("Move")), nullptr);
        scene->Destroy(true);
        return mFolder.Read("small.fbx");
    }

};

TEST_P(DamagedFiles, EveryTruncationIsHandled) {
    ImportEveryTruncation();
}

TEST_P(DamagedFiles, EverySingleByteChangeIsHandled) {
    ImportEverySingleByteChange();
}

TEST_P(DamagedFiles, ImportsLeaveNothingBehind) {
    ExpectImportsLeaveNothingBehind();
}

TEST_P(DamagedFiles, AFileSavedAnewBetweenInitializeAndImportIsReadAsSeenOrRefused) {
    ImportSavedAnewAfterInitialize();
}

INSTANTIATE_TEST_SUITE_P(Modes, DamagedFiles, ::testing::ValuesIn(kFbx6WriterFormats), WriterFormatName);

// A file our writer made, cut where one section ends and the next begins
// (an ascii file cut anywhere else does not parse), or with records missing
// at the end of its objects. A file that announces its objects and holds
// them but not the connections that place them is refused; objects fewer
// than announced are named. Nothing before the takes tells that they were
// to follow, so a file cut there reads without them. A binary file cut
// anywhere fails its trailer check.
TEST_F(ReaderTest, FilesCutBetweenSectionsAreRefusedOrSayWhatIsMissing) {
    KFbxScene* source = fbx5small::SmallScene(*mManager);
    ASSERT_TRUE(Export(source, Path("ascii.fbx"), KFbxFileFormatRegistry::eFBX_ASCII_WRITER));
    ASSERT_TRUE(Export(source, Path("binary.fbx"), KFbxFileFormatRegistry::eFBX_BINARY_WRITER));
    const std::string ascii = mFolder.Read("ascii.fbx");
    const std::string binary = mFolder.Read("binary.fbx");
    const auto before = [](const std::string& bytes, const std::string& line) {
        const std::size_t at = bytes.find("\n" + line);
        EXPECT_NE(at, std::string::npos) << line;
        return bytes.substr(0, at + 1);
    };
    const auto beforeRecord = [](const std::string& bytes, const std::string& name) {
        const std::size_t at = bytes.find(static_cast<char>(name.size()) + name);
        EXPECT_NE(at, std::string::npos) << name;
        return bytes.substr(0, at + 1 - kRecordHeaderSize);
    };
    std::string withoutLastObjects = ascii;
    const std::size_t materials = ascii.find("\n\tMaterial: ") + 1;
    withoutLastObjects.erase(materials, ascii.find("\tGlobalSettings: ") - materials);
    // Without definitions the file is not a writer's whole file.
    std::string unannounced = before(ascii, "Connections:");
    const std::size_t definitions = unannounced.find("Definitions:");
    unannounced.erase(definitions, unannounced.find("\n}\n", definitions) + 3 - definitions);
    const std::string connectionsMissing = "File is corrupted (the file announces and holds objects but has no "
                                           "\"Connections\" section: it is cut short or damaged)";
    const std::string modelsPlaced = "The file holds objects and no \"Connections\" section: nothing connects them, "
                                     "and its models are placed under the root\n";
    // A scene whose one model is a mesh, which then takes a producer
    // camera's name: it is still the scene's model.
    KFbxScene* lone = KFbxScene::Create(mManager, "lone");
    KFbxNode* loneMesh = KFbxNode::Create(mManager, "Tri");
    loneMesh->SetNodeAttribute(KFbxMesh::Create(mManager, ""));
    lone->GetRootNode()->AddChild(loneMesh);
    ASSERT_TRUE(Export(lone, Path("lone.fbx"), KFbxFileFormatRegistry::eFBX_ASCII_WRITER));
    const auto producerNamed = [](std::string bytes) {
        for (std::size_t at = 0; (at = bytes.find("Model::Tri", at)) != std::string::npos;) {
            bytes.replace(at, std::strlen("Model::Tri"), "Model::Producer Top");
        }
        return bytes;
    };
    // Files whose objects need no connection: the producer cameras and
    // settings every scene has, and materials, textures and scene
    // information of their own.
    ASSERT_TRUE(Export(KFbxScene::Create(mManager, "empty"), Path("empty.fbx"), KFbxFileFormatRegistry::eFBX_ASCII_WRITER));
    KFbxScene* loose = KFbxScene::Create(mManager, "loose");
    KFbxSurfacePhong* paint = KFbxSurfacePhong::Create(mManager, "Paint");
    KFbxTexture* sand = KFbxTexture::Create(mManager, "Sand");
    sand->SetFileName("sand.tga");
    loose->ConnectObject(paint);
    loose->ConnectObject(sand);
    loose->SetSceneInfo(KFbxSceneInfo::Create(mManager, "Info"));
    ASSERT_TRUE(Export(loose, Path("loose.fbx"), KFbxFileFormatRegistry::eFBX_ASCII_WRITER));
    const std::string empty = mFolder.Read("empty.fbx");
    const std::string looseObjects = mFolder.Read("loose.fbx");
    for (const char* record : {"\tMaterial: ", "\tTexture: ", "\tSceneInfo: "}) {
        ASSERT_NE(looseObjects.find(record), std::string::npos) << record;
    }
    const struct {
        const char* what;
        std::string bytes;
        // The error of a file refused, the message of a file read.
        std::string says;
        bool reads;
        // The scene's node that must be read back under the root, if any.
        const char* node = "Tri";
    } rows[] = {
        {"whole ascii", ascii, "", true},
        {"whole binary", binary, "", true},
        {"ascii cut before Connections", before(ascii, "Connections:"), connectionsMissing, false},
        {"ascii cut before Relations", before(ascii, "Relations:"), connectionsMissing, false},
        {"ascii without definitions cut before Connections", unannounced, modelsPlaced, true},
        {"ascii of one mesh named Producer Top cut before Connections",
         producerNamed(before(mFolder.Read("lone.fbx"), "Connections:")), connectionsMissing, false},
        {"ascii without definitions cut before Connections, the mesh named Producer Top", producerNamed(unannounced),
         modelsPlaced, true, "Producer Top"},
        {"ascii cut inside Objects", before(ascii, "\tMaterial: "), "block is never closed", false},
        {"ascii objects missing at the end of Objects", withoutLastObjects,
         "The file announces 1 \"Material\" objects in its definitions and holds 0\n"
         "The file announces 1 \"Texture\" objects in its definitions and holds 0\n"
         "The file announces 1 \"Video\" objects in its definitions and holds 0\n"
         "The file announces 2 \"Deformer\" objects in its definitions and holds 0\n",
         true},
        {"ascii cut before Takes", before(ascii, "Takes:"), "", true},
        {"empty scene without Connections", before(empty, "Connections:"), "", true, nullptr},
        {"materials, textures and scene information without Connections", before(looseObjects, "Connections:"), "",
         true, nullptr},
        {"binary cut before Connections", beforeRecord(binary, "Connections"), "cut short", false},
        {"binary cut before Takes", beforeRecord(binary, "Takes"), "cut short", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        const bool imported = Import(mFolder.Write("cut.fbx", row.bytes), read);
        EXPECT_EQ(imported, row.reads) << mLastError;
        if (!imported) {
            EXPECT_EQ(mLastErrorId, KFbxIO::eFILE_CORRUPTED);
            EXPECT_NE(mLastError.find(row.says), std::string::npos) << mLastError;
            EXPECT_EQ(read->GetRootNode()->GetChildCount(), 0);
            continue;
        }
        EXPECT_EQ(mLastMessage, row.reads ? row.says : "");
        if (row.node == nullptr) {
            EXPECT_EQ(read->GetRootNode()->GetChildCount(), 0);
            continue;
        }
        KFbxNode* tri = read->FindNodeByName(KString(row.node));
        ASSERT_NE(tri, nullptr);
        EXPECT_EQ(tri->GetParent(), read->GetRootNode());
        EXPECT_NE(tri->GetMesh(), nullptr);
    }
}

// What cannot be opened is named with the system's reason, as the caller
// named it, and nothing that is not a regular file is ever waited on.
TEST_F(ReaderTest, FilesThatCannotBeOpenedSayWhichAndWhy) {
    const std::string fifo = Path("pipe.fbx");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    mFolder.Write("plain.txt", "hello\n");
    struct Case {
        std::string path;
        int code;
        std::string text;
    };
    const Case cases[] = {
        {Path("absent.fbx"), KFbxIO::eFILE_NOT_OPENED,
         "File not opened (" + Path("absent.fbx") + ": " + std::strerror(ENOENT) + ")"},
        {fifo, KFbxIO::eFILE_NOT_OPENED, "File not opened (" + fifo + ": not a regular file)"},
        {mFolder.Path().string(), KFbxIO::eFILE_NOT_OPENED,
         "File not opened (" + mFolder.Path().string() + ": " + std::strerror(EISDIR) + ")"},
        {"/dev/zero", KFbxIO::eFILE_NOT_OPENED, "File not opened (/dev/zero: not a regular file)"},
        {Path("plain.txt"), KFbxIO::eFILE_CORRUPTED,
         "No reader knows the format of " + Path("plain.txt") + " (as an FBX file: File is corrupted (line 1: "},
        {mFolder.Write("empty.fbx", ""), KFbxIO::eFILE_CORRUPTED, "File is corrupted"},
        {"", KFbxIO::eUNINITIALIZED_FILENAME, "Uninitialized filename"},
    };
    KFbxImporter* importer = KFbxImporter::Create(mManager, "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_FALSE(importer->Initialize(c.path.c_str()));
        EXPECT_EQ(importer->GetLastErrorID(), c.code);
        const std::string text = importer->GetLastErrorString();
        EXPECT_EQ(text.rfind(c.text, 0), 0u) << text;
        EXPECT_EQ(text.find("File is corrupted (File is corrupted"), std::string::npos) << text;
    }
    EXPECT_FALSE(importer->Import(KFbxScene::Create(mManager, "s")));
    EXPECT_EQ(importer->GetLastErrorID(), KFbxIO::eFILE_NOT_OPENED);
    importer->Destroy();
}

// A large file (sparse: nothing of it is on disk) whose first block already
// shows that it is no FBX file, whatever its name, is refused with the error
// reading it whole gives, at the cost of that block; and one near or past
// the machine's memory fails for want of it instead of filling it. Each
// import runs in a child process whose peak memory is measured.
TEST_F(ReaderTest, AFileThatIsNoModelCostsItsFirstBlock) {
    constexpr std::uint64_t kSize = std::uint64_t(4) << 30;
    std::uint64_t machine = 0;
    std::ifstream info("/proc/meminfo");
    for (std::string key; info >> key >> machine && key != "MemTotal:";) info.ignore(64, '\n');
    KFbxScene* small = KFbxScene::Create(mManager, "small");
    ASSERT_TRUE(Export(small, Path("binary.fbx"), KFbxFileFormatRegistry::eFBX_BINARY_WRITER));
    struct Case {
        const char* name;
        std::string first;
        std::uint64_t size;
        std::string text;
    };
    const std::string unknown = Path("zeros.dat");
    const Case cases[] = {
        {"zeros.fbx", "", kSize, "File is corrupted (line 1: unexpected character)"},
        {"zeros.dat", "", kSize,
         "No reader knows the format of " + unknown + " (as an FBX file: File is corrupted (line 1: unexpected character))"},
        {"records.fbx", "Name: 1\nOther: \"x\" {\n}\n", kSize, "File is corrupted (line 4: unexpected character)"},
        // The zeros lie in a comment, and the records parse: the header is missing.
        {"noheader.fbx", "Name: 1\n;", kSize, "File is corrupted (the file does not begin with FBXHeaderExtension)"},
        // Past the memory: nothing of it is read past its first block.
        {"huge.fbx", mFolder.Read("binary.fbx"), machine * 1024 * 2, "Out of memory (" + Path("huge.fbx") + ": the file's "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A failure of the refusal must not fill the machine: the child may
        // map no more than a little past what it holds (sanitizers reserve
        // more than any such limit, so the row is left to the plain build).
        const bool huge = c.size > kSize;
        if (huge && boundedrun::kSanitized) continue;
        const std::string path = mFolder.Write(c.name, c.first);
        ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(c.size)), 0) << std::strerror(errno);
        const boundedrun::Outcome outcome = boundedrun::Run(
            [&] {
                if (huge && !boundedrun::LimitAddressSpace(std::int64_t(1) << 30)) return 8;
                KFbxImporter* importer = KFbxImporter::Create(mManager, "");
                if (importer->Initialize(path.c_str())) return 2;
                return std::string(importer->GetLastErrorString()).rfind(c.text, 0) == 0 ? 0 : 3;
            },
            boundedrun::SecondsFor(std::int64_t(64) << 20));
        EXPECT_TRUE(outcome.mReturned && outcome.mValue == 0)
            << "signal " << outcome.mSignal << ", ending " << outcome.mValue;
        EXPECT_LT(outcome.mAddedBytes, std::int64_t(64) << 20);
        std::remove(path.c_str());
    }
}

// Records that name things that are not there, or hold values of the wrong
// kind, give a partial scene rather than a failure or a crash.
TEST_F(ReaderTest, StrangeRecordsAreSkipped) {
    const std::string text =
        "; FBX 6.1.0 project file\n"
        "FBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 6100\n}\n"
        "Objects:  {\n"
        "\tModel: \"Model::A\", \"Mesh\" {\n"
        "\t\tVertices: 1,2\n"
        "\t\tPolygonVertexIndex: 0,5,-2147483648,-1\n"
        "\t\tLayerElementNormal: 0 {\n\t\t\tNormals: \"x\",1\n\t\t}\n"
        "\t\tLayer: 99 {\n\t\t\tLayerElement:  {\n\t\t\t\tType: \"LayerElementNormal\"\n\t\t\t}\n\t\t}\n"
        "\t\tLayer: 0 {\n\t\t\tLayerElement:  {\n\t\t\t\tType: \"LayerElementNormal\"\n\t\t\t\tTypedIndex: 0\n"
        "\t\t\t}\n\t\t\tLayerElement:  {\n\t\t\t\tType: \"LayerElementNormal\"\n\t\t\t\tTypedIndex: 0\n\t\t\t}\n\t\t}\n"
        "\t\tShape: \"S\" {\n\t\t\tIndexes: 7,-3\n\t\t\tVertices: 1\n\t\t}\n"
        "\t}\n"
        "\tDeformer: \"SubDeformer::C\", \"Cluster\" {\n\t\tIndexes: 1,2,3\n\t\tTransform: 1,2\n\t}\n"
        "\tPose: \"Pose::P\", \"BindPose\" {\n\t\tPoseNode:  {\n\t\t\tNode: \"Model::Nobody\"\n\t\t}\n\t}\n"
        "\tGeometryWeightedMap: \"GeometryWeightedMap::W\", \"\" {\n\t\tSourceCount: 2000000000\n"
        "\t\tDestinationCount: 3\n\t\tIndexMapping: 1,1,2,0.5\n\t}\n"
        "}\n"
        "Connections:  {\n\tConnect: \"OO\", \"Model::A\", \"Model::A\"\n\tConnect: \"OO\", \"Model::Z\"\n"
        "\tConnect: \"OP\", \"Model::A\", \"Model::Scene\", \"NoSuchProperty\"\n\tConnect: \"XX\"\n}\n"
        "Takes:  {\n\tTake: \"T\" {\n\t\tModel: \"Model::Nobody\" {\n\t\t}\n\t}\n}\n";
    const std::string path = mFolder.Write("strange.fbx", text);
    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    ASSERT_TRUE(Import(path, scene)) << mLastError;
    // The model no connection places is put under the root.
    ASSERT_EQ(scene->GetRootNode()->GetChildCount(), 1);
    KFbxNode* node = scene->FindNodeByName(KString("A"));
    ASSERT_NE(node, nullptr);
    auto* mesh = dynamic_cast<KFbxMesh*>(node->GetNodeAttribute());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetControlPointsCount(), 0);
    EXPECT_EQ(mesh->GetPolygonVertexCount(), 0);
    ASSERT_EQ(mesh->GetLayerCount(), 1);
    EXPECT_NE(mesh->GetLayer(0)->GetNormals(), nullptr);
    EXPECT_NE(scene->GetTakeInfo(KString("T")), nullptr);
}

// The root never takes a parent: a connection that puts it under one of its
// own models, before that model's own, is refused with a message, and every
// model keeps the place the file gives it.
TEST_F(ReaderTest, TheRootIsPutUnderNoModel) {
    const std::string text =
        "FBXHeaderExtension:  {\n\tFBXVersion: 6100\n}\n"
        "Objects:  {\n\tModel: \"Model::A\", \"Null\" {\n\t}\n\tModel: \"Model::B\", \"Null\" {\n\t}\n}\n"
        "Connections:  {\n\tConnect: \"OO\", \"Model::Scene\", \"Model::A\"\n"
        "\tConnect: \"OO\", \"Model::A\", \"Model::Scene\"\n\tConnect: \"OO\", \"Model::B\", \"Model::A\"\n}\n";
    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    ASSERT_TRUE(Import(mFolder.Write("root_under_model.fbx", text), scene)) << mLastError;
    EXPECT_EQ(mLastMessage,
              "The connection of \"Model::Scene\" under \"Model::A\" is refused: the scene's root has no parent\n");
    KFbxNode* root = scene->GetRootNode();
    KFbxNode* a = scene->FindNodeByName(KString("A"));
    KFbxNode* b = scene->FindNodeByName(KString("B"));
    ASSERT_TRUE(a != nullptr && b != nullptr);
    EXPECT_EQ(root->GetParent(), nullptr);
    EXPECT_EQ(a->GetParent(), root);
    EXPECT_EQ(b->GetParent(), a);

    // Nor do the producer cameras, which the scene keeps out of its tree,
    // take a parent or children: a model put under one of them is put where
    // the rest of the file says, under the root when it says nothing, and
    // destroying a subtree leaves them whole. A switcher model the file puts
    // in the tree is a node of it, whatever its name: the scene's own
    // switcher stays beside the tree.
    const std::string outside =
        "FBXHeaderExtension:  {\n\tFBXVersion: 6100\n}\n"
        "Objects:  {\n\tModel: \"Model::A\", \"Null\" {\n\t}\n\tModel: \"Model::B\", \"Null\" {\n\t}\n"
        "\tModel: \"Model::C\", \"Null\" {\n\t}\n\tModel: \"Model::D\", \"Null\" {\n\t}\n"
        "\tModel: \"Model::Producer Top\", \"Camera\" {\n\t}\n"
        "\tModel: \"Model::Camera Switcher\", \"CameraSwitcher\" {\n\t}\n}\n"
        "Connections:  {\n\tConnect: \"OO\", \"Model::A\", \"Model::Scene\"\n"
        "\tConnect: \"OO\", \"Model::Producer Top\", \"Model::A\"\n"
        "\tConnect: \"OO\", \"Model::Camera Switcher\", \"Model::A\"\n"
        "\tConnect: \"OO\", \"Model::B\", \"Model::Producer Top\"\n"
        "\tConnect: \"OO\", \"Model::C\", \"Model::Camera Switcher\"\n"
        "\tConnect: \"OO\", \"Model::D\", \"Model::B\"\n}\n";
    scene = KFbxScene::Create(mManager, "outside");
    ASSERT_TRUE(Import(mFolder.Write("outside_the_tree.fbx", outside), scene)) << mLastError;
    EXPECT_EQ(mLastMessage,
              "The connection of \"Model::Producer Top\" under \"Model::A\" is refused: a producer camera stays "
              "out of the scene's tree\n"
              "The connection of \"Model::B\" under \"Model::Producer Top\" is refused: a producer camera has no "
              "children\n");
    KFbxNode* producer = scene->GetGlobalCameraSettings().GetCameraProducerTop();
    KFbxNode* switcher = scene->GetCameraSwitcherNode();
    EXPECT_EQ(producer->GetParent(), nullptr);
    EXPECT_EQ(producer->GetChildCount(), 0);
    EXPECT_EQ(switcher->GetParent(), nullptr);
    EXPECT_EQ(switcher->GetChildCount(), 0);
    EXPECT_EQ(scene->GetRootNode()->GetChildCount(true), 5);
    for (const char* name : {"A", "B"}) {
        EXPECT_EQ(scene->FindNodeByName(KString(name))->GetParent(), scene->GetRootNode()) << name;
    }
    KFbxNode* top = scene->FindNodeByName(KString("A"));
    ASSERT_EQ(top->GetChildCount(), 1);
    EXPECT_NE(top->GetChild(0), switcher);
    EXPECT_EQ(scene->FindNodeByName(KString("C"))->GetParent(), top->GetChild(0));
    EXPECT_EQ(scene->FindNodeByName(KString("D"))->GetParent(), scene->FindNodeByName(KString("B")));
    top->Destroy(true);
    ASSERT_TRUE(Export(scene, Path("outside_the_tree_written.fbx"), KFbxFileFormatRegistry::eFBX_ASCII_WRITER));
    ASSERT_TRUE(Import(Path("outside_the_tree_written.fbx"), scene)) << mLastError;
    EXPECT_EQ(scene->GetRootNode()->GetChildCount(true), 2);

    // Nor are they a cluster's bone or a skin's object, either way round, and
    // a camera linked to a material stays in the settings alone: round trips
    // in both formats keep the scene's nodes.
    const std::string deformers =
        "FBXHeaderExtension:  {\n\tFBXVersion: 6100\n}\nObjects:  {\n\tModel: \"Model::Body\", \"Mesh\" {\n"
        "\t\tVertices: 0,0,0,1,0,0,0,1,0\n\t\tPolygonVertexIndex: 0,1,-3\n\t}\n"
        "\tModel: \"Model::Producer Top\", \"Camera\" {\n\t}\n"
        "\tModel: \"Model::Camera Switcher\", \"CameraSwitcher\" {\n\t}\n\tDeformer: \"Deformer::Skin\", \"Skin\" {\n"
        "\t}\n\tDeformer: \"SubDeformer::C\", \"Cluster\" {\n\t}\n\tMaterial: \"Material::M\", \"\" {\n\t}\n}\n"
        "Connections:  {\n\tConnect: \"OO\", \"Model::Body\", \"Model::Scene\"\n"
        "\tConnect: \"OO\", \"Deformer::Skin\", \"Model::Body\"\n"
        "\tConnect: \"OO\", \"SubDeformer::C\", \"Deformer::Skin\"\n"
        "\tConnect: \"OO\", \"Model::Producer Top\", \"SubDeformer::C\"\n"
        "\tConnect: \"OO\", \"Model::Camera Switcher\", \"Deformer::Skin\"\n"
        "\tConnect: \"OO\", \"SubDeformer::C\", \"Model::Producer Top\"\n"
        "\tConnect: \"OO\", \"Model::Producer Top\", \"Material::M\"\n}\n";
    scene = KFbxScene::Create(mManager, "deformers");
    ASSERT_TRUE(Import(mFolder.Write("held_in_deformers.fbx", deformers), scene)) << mLastError;
    const std::string deformer = "\" is refused: a producer camera takes no part in deformers\n";
    EXPECT_EQ(mLastMessage, "The connection of \"Model::Producer Top\" to \"SubDeformer::C" + deformer +
                                "The connection of \"Model::Camera Switcher\" to \"Deformer::Skin\" is refused: the "
                                "camera switcher takes no part in deformers\n"
                                "The connection of \"SubDeformer::C\" to \"Model::Producer Top" + deformer);
    EXPECT_EQ(static_cast<KFbxCluster*>(scene->GetSrcObject(KFbxCluster::ClassId, 0))->GetLink(), nullptr);
    EXPECT_EQ(scene->GetNodeCount(), 3);
    for (const int format : {KFbxFileFormatRegistry::eFBX_ASCII_WRITER, KFbxFileFormatRegistry::eFBX5_ASCII_WRITER}) {
        for (int trip = 0; trip < 2; ++trip) {
            KFbxScene* read = KFbxScene::Create(mManager, "read");
            ASSERT_TRUE(Export(scene, Path("trip.fbx"), format) && Import(Path("trip.fbx"), read)) << mLastError;
            EXPECT_EQ(read->GetNodeCount(), 3) << format;
            scene = read;
        }
    }

    // An FBX 5 model that lists the switcher among its children, or a link
    // of its mesh that names it, leaves it where it is.
    const std::string fbx5 =
        "; FBX 5.8.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 5800\n}\n"
        "Model: \"Model::A\" {\n\tVertices: 0,0,0,1,0,0,0,1,0\n\tPolygonVertexIndex: 0,1,-3\n"
        "\tLink: \"Model::Camera Switcher\" {\n\t\tIndexes: 0\n\t\tWeights: 1\n\t}\n"
        "\tChildren: \"Model::Camera Switcher\"\n}\nSwitcher:  {\n}\nSection: 5800\nSummary:  {\n\tVersion: 101\n}\n";
    scene = KFbxScene::Create(mManager, "fbx5");
    ASSERT_TRUE(Import(mFolder.Write("children_name_switcher.fbx", fbx5), scene)) << mLastError;
    EXPECT_EQ(scene->GetCameraSwitcherNode()->GetParent(), nullptr);
    EXPECT_EQ(scene->GetNodeCount(), 3);
    EXPECT_EQ(mLastMessage,
              "The connection of \"Model::Camera Switcher\" under \"Model::A\" is refused: the camera switcher "
              "stays out of the scene's tree\nThe connection of \"Model::Camera Switcher\" to \"SubDeformer::\" is "
              "refused: the camera switcher takes no part in deformers\n");
}

// A model linked again moves with its subtree to the last place of its new
// parent, under the same parent too; a link that would put a model under
// itself, at the moment the file makes it, is refused and not tried again
// once a later link would allow it.
TEST_F(ReaderTest, ModelsLinkedAgainMoveAndLoopsAreRefused) {
    std::string text = "FBXHeaderExtension:  {\n\tFBXVersion: 6100\n}\nObjects:  {\n";
    for (const char* name : {"A", "B", "C", "D", "E"}) {
        text += std::string("\tModel: \"Model::") + name + "\", \"Null\" {\n\t}\n";
    }
    text += "}\nConnections:  {\n";
    for (const char* link : {"A Scene", "B Scene", "C A", "D C", "E B", "C E", "D B", "C A", "A C", "B E", "E A",
                             "C B", "D B"}) {
        const std::string names(link);
        const std::size_t space = names.find(' ');
        text += "\tConnect: \"OO\", \"Model::" + names.substr(0, space) + "\", \"Model::" +
                names.substr(space + 1) + "\"\n";
    }
    text += "}\n";
    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    ASSERT_TRUE(Import(mFolder.Write("relinked.fbx", text), scene)) << mLastError;
    EXPECT_EQ(mLastMessage, "");
    const auto childrenOf = [scene](const char* name) {
        KFbxNode* node = std::strcmp(name, "Scene") == 0 ? scene->GetRootNode() : scene->FindNodeByName(KString(name));
        std::string names;
        for (int i = 0; node != nullptr && i < node->GetChildCount(); ++i) {
            names += node->GetChild(i)->GetName();
        }
        return names;
    };
    EXPECT_EQ(childrenOf("Scene"), "AB");
    EXPECT_EQ(childrenOf("A"), "E");
    EXPECT_EQ(childrenOf("B"), "CD");
    EXPECT_EQ(childrenOf("C") + childrenOf("D") + childrenOf("E"), "");
    // The parent asked to take its ancestor says why it did not.
    EXPECT_EQ(scene->FindNodeByName(KString("C"))->GetErrorCode(), KFbxNode::eCyclicGraph);
    EXPECT_EQ(scene->FindNodeByName(KString("E"))->GetErrorCode(), KFbxNode::eCyclicGraph);
}

// Records the writer of this build leaves out (links of clusters, poses) are
// read when a file has them. The stored cluster transform is relative to the
// link: the absolute one is the stored one followed by the link's.
TEST_F(ReaderTest, ClusterLinksAssociateModelsAndPosesAreRead) {
    const std::string text =
        "FBXHeaderExtension:  {\n\tFBXVersion: 6100\n}\n"
        "Objects:  {\n"
        "\tModel: \"Model::Bone\", \"LimbNode\" {\n\t\tTypeFlags: \"Skeleton\"\n\t}\n"
        "\tModel: \"Model::Body\", \"Mesh\" {\n\t\tVertices: 0,0,0,1,0,0,0,1,0\n"
        "\t\tPolygonVertexIndex: 0,1,-3\n\t}\n"
        "\tDeformer: \"Deformer::Skin\", \"Skin\" {\n\t\tLink_DeformAcuracy: 20\n\t}\n"
        "\tDeformer: \"SubDeformer::C\", \"Cluster\" {\n\t\tMode: \"Additive\"\n"
        "\t\tIndexes: 0,2\n\t\tWeights: 0.25,0.75\n"
        "\t\tTransform: 1,0,0,0,0,1,0,0,0,0,1,0,1,0,0,1\n"
        "\t\tTransformLink: 2,0,0,0,0,2,0,0,0,0,2,0,0,10,0,1\n"
        "\t\tAssociateModel:  {\n\t\t\tTransform: 1,0,0,0,0,1,0,0,0,0,1,0,0,0,3,1\n\t\t}\n\t}\n"
        "\tPose: \"Pose::Bind\", \"BindPose\" {\n\t\tType: \"BindPose\"\n\t\tNbPoseNodes: 2\n"
        "\t\tPoseNode:  {\n\t\t\tNode: \"Model::Bone\"\n\t\t\tMatrix: 1,0,0,0,0,1,0,0,0,0,1,0,4,5,6,1\n\t\t}\n"
        "\t\tPoseNode:  {\n\t\t\tNode: \"Model::Missing\"\n\t\t\tMatrix: 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1\n"
        "\t\t}\n\t}\n"
        "}\n"
        "Connections:  {\n"
        "\tConnect: \"OO\", \"Model::Bone\", \"Model::Scene\"\n"
        "\tConnect: \"OO\", \"Model::Body\", \"Model::Scene\"\n"
        "\tConnect: \"OO\", \"Deformer::Skin\", \"Model::Body\"\n"
        "\tConnect: \"OO\", \"SubDeformer::C\", \"Deformer::Skin\"\n"
        "\tConnect: \"OO\", \"Model::Bone\", \"SubDeformer::C\"\n"
        "\tConnect: \"OP\", \"Model::Body\", \"SubDeformer::C\", \"SrcModelReference\"\n"
        "}\n";
    const std::string path = mFolder.Write("links.fbx", text);
    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    ASSERT_TRUE(Import(path, scene)) << mLastError;
    KFbxNode* bone = scene->FindNodeByName(KString("Bone"));
    KFbxNode* body = scene->FindNodeByName(KString("Body"));
    ASSERT_NE(bone, nullptr);
    ASSERT_NE(body, nullptr);
    auto* mesh = dynamic_cast<KFbxMesh*>(body->GetNodeAttribute());
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetDeformerCount(KFbxDeformer::eSKIN), 1);
    auto* skin = static_cast<KFbxSkin*>(mesh->GetDeformer(0, KFbxDeformer::eSKIN));
    EXPECT_EQ(skin->GetDeformAccuracy(), 20.0);
    ASSERT_EQ(skin->GetClusterCount(), 1);
    KFbxCluster* cluster = skin->GetCluster(0);
    EXPECT_EQ(cluster->GetLink(), bone);
    EXPECT_EQ(cluster->GetAssociateModel(), body);
    EXPECT_EQ(cluster->GetLinkMode(), KFbxCluster::eADDITIVE);
    ASSERT_EQ(cluster->GetControlPointIndicesCount(), 2);
    EXPECT_EQ(cluster->GetControlPointWeights()[1], 0.75);
    KgeMatrix matrix;
    cluster->GetTransformMatrix(matrix);
    EXPECT_EQ(matrix[0][0], 2.0);
    EXPECT_EQ(matrix[3][0], 2.0);
    EXPECT_EQ(matrix[3][1], 10.0);
    cluster->GetTransformAssociateModelMatrix(matrix);
    EXPECT_EQ(matrix[3][2], 6.0);
    ASSERT_EQ(scene->GetPoseCount(), 1);
    KFbxPose* pose = scene->GetPose(0);
    EXPECT_TRUE(pose->IsBindPose());
    // The entry of a node the file does not have is left out.
    ASSERT_EQ(pose->GetCount(), 1);
    EXPECT_EQ(pose->GetNode(0), bone);
    EXPECT_EQ(pose->GetMatrix(0)[3][1], 5.0);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
