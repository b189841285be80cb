// The OBJ writer: what it writes for meshes, UVs, normals, materials and
// textures, that the files read back into the same geometry and materials,
// that the caller's scene is left as it was, and that an independent reader
// opens them.
#include "formats/ObjTestSupport.h"
#include "support/BoundedRun.h"

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/formats/KFbxFormats3ds.h>
#include <fbxfilesdk/formats/KFbxReaderObj.h>
#include <fbxfilesdk/formats/KFbxWriterObj.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include <sys/stat.h>
#include <unistd.h>

namespace fbxsdk_2006_11_1::objtest {
namespace {

// The corners of a unit cube: 8 points, 6 quads turned outwards.
const int kCubeFaces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};

void SetColor(KFbxProperty property, double r, double g, double b) {
    const fbxDouble3 value(r, g, b);
    property.Set(&value, eFbxValueDouble3);
}

void SetNumber(KFbxProperty property, double number) { property.Set(&number, eFbxValueDouble); }

fbxDouble3 Color(KFbxProperty property) { return property.GetDouble3(); }

// What the written and read-back meshes must share: every polygon's corner
// positions, normals and UVs in order.
struct Corner {
    KFbxVector4 mPoint;
    KFbxVector4 mNormal;
    KFbxVector2 mUV;
    bool mHasUV = false;
};

std::vector<std::vector<Corner>> Corners(const KFbxMesh& mesh, const KFbxVector4& offset) {
    std::vector<std::vector<Corner>> polygons;
    const KFbxVector4* normals = mesh.GetNormals();
    for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
        std::vector<Corner> corners;
        for (int k = 0; k < mesh.GetPolygonSize(p); ++k) {
            const int point = mesh.GetPolygonVertex(p, k);
            Corner corner;
            const KFbxVector4& local = mesh.GetControlPoints()[point];
            corner.mPoint = KFbxVector4(local[0] + offset[0], local[1] + offset[1], local[2] + offset[2], 1.0);
            if (normals != nullptr) corner.mNormal = normals[point];
            const int uv = mesh.GetTextureUVIndex(p, k);
            if (uv >= 0) {
                corner.mUV = mesh.GetTextureUVArray()[uv];
                corner.mHasUV = true;
            }
            corners.push_back(corner);
        }
        polygons.push_back(corners);
    }
    return polygons;
}

class ObjWriterTest : public ObjTest {
protected:
    // A cube of two materials (a Phong "red brick" with a texture on five
    // faces, a Lambert "sand" on the last), with normals and UVs.
    KFbxMesh* AddCube(const char* name, const KFbxVector4& translation) {
        KFbxNode* node = KFbxNode::Create(mManager, name);
        mScene->GetRootNode()->AddChild(node);
        node->SetLclTranslation(translation);
        KFbxMesh* mesh = KFbxMesh::Create(mManager, "");
        mesh->InitControlPoints(8);
        for (int i = 0; i < 8; ++i) {
            const double x = (i == 1 || i == 2 || i == 5 || i == 6) ? 1.0 : 0.0;
            const double y = i >= 4 ? 1.0 : 0.0;
            const double z = (i == 2 || i == 3 || i == 6 || i == 7) ? 1.0 : 0.0;
            // Values that a short decimal text cannot hold exactly.
            mesh->GetControlPoints()[i] = KFbxVector4(x / 3.0, y * 0.1, z * 2.0 / 7.0, 1.0);
        }
        mesh->InitNormals(0);
        for (int i = 0; i < 8; ++i) {
            const KFbxVector4& p = mesh->GetControlPoints()[i];
            const double length = std::sqrt(p[0] * p[0] + p[1] * p[1] + 1.0);
            mesh->GetNormals()[i] = KFbxVector4(p[0] / length, p[1] / length, 1.0 / length, 0.0);
        }
        mesh->InitTextureUVMapping(KFbxLayerElement::eBY_POLYGON_VERTEX);
        for (int i = 0; i < 4; ++i) mesh->AddTextureUV(KFbxVector2(i / 3.0, 1.0 - i / 7.0));
        mesh->InitMaterialIndices(KFbxLayerElement::eBY_POLYGON);
        mesh->AddMaterial(mBrick);
        mesh->AddMaterial(mSand);
        mesh->InitTextureIndices(KFbxLayerElement::eALL_SAME);
        mesh->AddTexture(mTexture);
        mesh->InitTextureUVMapping(KFbxLayerElement::eBY_POLYGON_VERTEX);
        for (int face = 0; face < 6; ++face) {
            mesh->BeginPolygon(face == 5 ? 1 : 0);
            for (int k = 0; k < 4; ++k) mesh->AddPolygonVertex(kCubeFaces[face][k], k);
            mesh->EndPolygon();
        }
        node->SetNodeAttribute(mesh);
        return mesh;
    }

    KFbxMesh* AddPlainTriangle(const char* name) {
        KFbxNode* node = KFbxNode::Create(mManager, name);
        mScene->GetRootNode()->AddChild(node);
        KFbxMesh* mesh = formatstest::MakePlainTriangle(*mManager);
        node->SetNodeAttribute(mesh);
        return mesh;
    }

    void SetUp() override {
        ObjTest::SetUp();
        mBrick = KFbxSurfacePhong::Create(mManager, "red brick");
        SetColor(mBrick->GetAmbientColor(), 0.1, 0.2, 0.3);
        SetNumber(mBrick->GetAmbientFactor(), 0.5);
        SetColor(mBrick->GetDiffuseColor(), 0.8, 0.25, 0.125);
        SetNumber(mBrick->GetDiffuseFactor(), 1.0);
        SetColor(mBrick->GetSpecularColor(), 0.5, 0.5, 0.5);
        SetNumber(mBrick->GetSpecularFactor(), 1.0);
        SetNumber(mBrick->GetShininess(), 24.0);
        SetColor(mBrick->GetTransparentColor(), 1.0, 1.0, 1.0);
        SetNumber(mBrick->GetTransparencyFactor(), 0.25);
        mSand = KFbxSurfaceLambert::Create(mManager, "sand");
        SetColor(mSand->GetDiffuseColor(), 0.9, 0.8, 0.5);
        SetNumber(mSand->GetDiffuseFactor(), 1.0);
        mTexture = KFbxTexture::Create(mManager, "bricks");
        std::filesystem::create_directories(mFolder.Path() / "textures");
        mTexture->SetFileName(Write("textures/bricks.tga", "not really an image").c_str());
    }

    std::string Text(const std::string& path) const { return ReadFile(path); }

    // Options that keep polygons as they are.
    KFbxStreamOptionsObjWriter* KeepPolygons() {
        KFbxStreamOptionsObjWriter* options = KFbxStreamOptionsObjWriter::Create(mManager, "");
        EXPECT_TRUE(options->SetOption("TRIANGULATE", false));
        return options;
    }

    static int CountLines(const std::string& text, const std::string& start) {
        int count = 0;
        for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
            if (text.compare(at, start.size(), start) == 0) ++count;
            if (text.find('\n', at) == std::string::npos) break;
        }
        return count;
    }

    KFbxSurfacePhong* mBrick = nullptr;
    KFbxSurfaceLambert* mSand = nullptr;
    KFbxTexture* mTexture = nullptr;
};

TEST_F(ObjWriterTest, MeshesWithUvsNormalsMaterialsAndATextureReadBackTheSame) {
    const KFbxVector4 offset(10.0, -2.5, 0.75, 0.0);
    KFbxMesh* cube = AddCube("box", offset);
    KFbxMesh* triangle = AddPlainTriangle("plain");
    const auto cubeCorners = Corners(*cube, offset);
    const auto triangleCorners = Corners(*triangle, KFbxVector4(0, 0, 0, 0));
    const std::string path = Path("out/scene.obj");
    ASSERT_TRUE(Export(path, KeepPolygons())) << Message();
    EXPECT_EQ(Message(), "");
    EXPECT_EQ(Text(Path("out/bricks.tga")), "not really an image");

    KFbxScene* written = mScene;
    mScene = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(path)) << Message();
    EXPECT_EQ(Message(), "");
    KFbxMesh* box = Mesh("box");
    ASSERT_NE(box, nullptr);
    const auto readCorners = Corners(*box, KFbxVector4(0, 0, 0, 0));
    ASSERT_EQ(readCorners.size(), cubeCorners.size());
    for (std::size_t p = 0; p < readCorners.size(); ++p) {
        ASSERT_EQ(readCorners[p].size(), cubeCorners[p].size());
        for (std::size_t k = 0; k < readCorners[p].size(); ++k) {
            const Corner& was = cubeCorners[p][k];
            const Corner& is = readCorners[p][k];
            // Positions exactly: the shortest text of a double reads back as that double.
            EXPECT_EQ(is.mPoint[0], was.mPoint[0]);
            EXPECT_EQ(is.mPoint[1], was.mPoint[1]);
            EXPECT_EQ(is.mPoint[2], was.mPoint[2]);
            EXPECT_TRUE(Near(is.mNormal, was.mNormal[0], was.mNormal[1], was.mNormal[2], 1e-6));
            ASSERT_TRUE(is.mHasUV);
            EXPECT_NEAR(is.mUV[0], was.mUV[0], 1e-6);
            EXPECT_NEAR(is.mUV[1], was.mUV[1], 1e-6);
        }
    }
    ASSERT_EQ(box->GetMaterialCount(), 2);
    auto* brick = dynamic_cast<KFbxSurfacePhong*>(box->GetMaterial(0));
    ASSERT_NE(brick, nullptr);
    EXPECT_STREQ(brick->GetName(), "red_brick");
    EXPECT_DOUBLE_EQ(Color(brick->GetAmbientColor())[2], 0.15);
    EXPECT_DOUBLE_EQ(Color(brick->GetDiffuseColor())[1], 0.25);
    EXPECT_DOUBLE_EQ(Color(brick->GetSpecularColor())[0], 0.5);
    EXPECT_DOUBLE_EQ(brick->GetShininess().GetDouble(), 24.0);
    EXPECT_DOUBLE_EQ(brick->GetTransparencyFactor().GetDouble(), 0.25);
    KFbxSurfaceMaterial* sand = box->GetMaterial(1);
    ASSERT_NE(sand, nullptr);
    EXPECT_TRUE(sand->Is(KFbxSurfaceLambert::ClassId));
    EXPECT_FALSE(sand->Is(KFbxSurfacePhong::ClassId));
    EXPECT_DOUBLE_EQ(Color(static_cast<KFbxSurfaceLambert*>(sand)->GetDiffuseColor())[2], 0.5);
    for (int p = 0; p < 6; ++p) EXPECT_EQ(box->GetMaterialIndices()->GetAt(p), p == 5 ? 1 : 0);
    // The texture covers every face, so it rides with both materials, and
    // each material of the library has a texture of its own.
    ASSERT_EQ(box->GetTextureCount(), 2);
    EXPECT_EQ(box->GetTexture(0)->GetFileName(), Path("out/bricks.tga"));
    EXPECT_EQ(box->GetTexture(1)->GetFileName(), Path("out/bricks.tga"));
    EXPECT_EQ(Node("box")->GetShading(), 5);

    KFbxMesh* plain = Mesh("plain");
    ASSERT_NE(plain, nullptr);
    ASSERT_EQ(plain->GetPolygonCount(), 1);
    EXPECT_TRUE(Near(Corners(*plain, KFbxVector4(0, 0, 0, 0))[0][2].mPoint, 0, 1, 0));
    EXPECT_EQ(triangleCorners.size(), 1u);
    written->Destroy(true);
}

TEST_F(ObjWriterTest, AnExportLeavesTheScenesNamesGeometryAndMaterialsAsTheyWereAndRepeatsItself) {
    KFbxMesh* cube = AddCube("my box", KFbxVector4(1, 2, 3, 0));
    AddPlainTriangle("my box");
    const std::vector<KFbxVector4> points(cube->GetControlPoints(), cube->GetControlPoints() + 8);
    const int objects = mManager->GetObjectCount();
    const int materials = mScene->GetMaterialCount();
    const int polygons = cube->GetPolygonCount();
    KFbxStreamOptionsObjWriter* options = KFbxStreamOptionsObjWriter::Create(mManager, "");
    ASSERT_TRUE(options->SetOption("TRIANGULATE", true));
    const int withOptions = mManager->GetObjectCount();

    ASSERT_TRUE(Export(Path("a.obj"), options)) << Message();
    ASSERT_TRUE(Export(Path("b.obj"), options)) << Message();
    EXPECT_EQ(ChildNames(mScene->GetRootNode()), (std::vector<std::string>{"my box", "my box"}));
    EXPECT_EQ(mManager->GetObjectCount(), withOptions);
    EXPECT_EQ(withOptions, objects + 1);
    EXPECT_EQ(mScene->GetMaterialCount(), materials);
    EXPECT_EQ(mScene->GetRootNode()->GetChild(0)->GetNodeAttribute(), cube);
    EXPECT_EQ(cube->GetPolygonCount(), polygons);
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(Near(cube->GetControlPoints()[i], points[i][0], points[i][1], points[i][2]));
    EXPECT_TRUE(options->GetBoolOption("TRIANGULATE", false));

    std::string a = Text(Path("a.obj"));
    std::string b = Text(Path("b.obj"));
    EXPECT_NE(a.find("mtllib a.mtl\n"), std::string::npos);
    b.replace(b.find("mtllib b.mtl"), 12, "mtllib a.mtl");
    EXPECT_EQ(a, b);
    EXPECT_EQ(Text(Path("a.mtl")), Text(Path("b.mtl")));
    // Triangulated, the cube's quads are two triangles each.
    EXPECT_EQ(CountLines(a, "f "), 12 + 1);
}

TEST_F(ObjWriterTest, LaterMeshesNumberOnAndAMeshWithoutMaterialUsesTheDefault) {
    AddCube("first", KFbxVector4(0, 0, 0, 0));
    AddCube("second", KFbxVector4(5, 0, 0, 0));
    AddPlainTriangle("bare");
    ASSERT_TRUE(Export(Path("scene.obj"), KeepPolygons()));
    const std::string obj = Text(Path("scene.obj"));
    EXPECT_EQ(CountLines(obj, "f "), 6 + 6 + 1);
    EXPECT_EQ(obj.rfind("# \n# Wavefront OBJ file\n# Created with Rezaziv FBX\n# \nmtllib scene.mtl\n\n", 0), 0u);
    // The second cube's first face names its first point 9, UV 5 and normal 9.
    EXPECT_NE(obj.find("g second\n"), std::string::npos);
    EXPECT_NE(obj.find("f 9/5/9 12/6/12 11/7/11 10/8/10\n"), std::string::npos) << obj;
    EXPECT_NE(obj.find("g bare\n"), std::string::npos);
    EXPECT_NE(obj.find("usemtl default\nf 17 18 19\n"), std::string::npos) << obj;
    const std::string mtl = Text(Path("scene.mtl"));
    EXPECT_NE(mtl.find("\nnewmtl default\nKd 0.8 0.8 0.8\nillum 2\n"), std::string::npos) << mtl;
    EXPECT_NE(mtl.find("\nnewmtl red_brick\nmap_Kd bricks.tga\nKa 0.05 0.1 0.15\n"), std::string::npos) << mtl;
    EXPECT_NE(mtl.find("\nnewmtl sand\nmap_Kd bricks.tga\nKa "), std::string::npos) << mtl;
    EXPECT_NE(mtl.find("illum 1\nd 1\n"), std::string::npos) << mtl;
}

TEST_F(ObjWriterTest, OneMaterialWithTwoTexturesGivesTwoNamesAndSwappedUvsAreWrittenSwapped) {
    KFbxMesh* cube = AddCube("box", KFbxVector4(0, 0, 0, 0));
    KFbxTexture* second = KFbxTexture::Create(mManager, "second");
    // Two leading separators: this machine's file, as the system reads them
    // as one where it has the folder; else a share's, which no file of this
    // machine stands in for.
    std::filesystem::create_directories(Path("elsewhere"));
    Write("elsewhere/local.tga", "local");
    second->SetFileName(("/" + Path("elsewhere/local.tga")).c_str());
    second->SetSwapUV(true);
    cube->AddTexture(second);
    KFbxTexture* shared = KFbxTexture::Create(mManager, "shared");
    shared->SetFileName("//qalimor-no-such-host/share/missing.tga");
    cube->AddTexture(shared);
    cube->InitTextureIndices(KFbxLayerElement::eBY_POLYGON);
    for (int p = 0; p < 6; ++p) cube->GetTextureIndices()->Add(p % 3);
    ASSERT_TRUE(Export(Path("scene.obj"), KeepPolygons()));
    EXPECT_EQ(Message(), "Unable to locate texture file \"//qalimor-no-such-host/share/missing.tga\".\n");
    EXPECT_EQ(Text(Path("local.tga")), "local");
    const std::string obj = Text(Path("scene.obj"));
    EXPECT_NE(obj.find("usemtl red_brick\n"), std::string::npos);
    EXPECT_NE(obj.find("usemtl red_brick1\n"), std::string::npos);
    EXPECT_NE(obj.find("usemtl red_brick2\n"), std::string::npos);
    EXPECT_NE(Text(Path("scene.mtl")).find("newmtl red_brick1\nmap_Kd local.tga\n"), std::string::npos);
    EXPECT_NE(Text(Path("scene.mtl")).find("newmtl red_brick2\nmap_Kd missing.tga\n"), std::string::npos);
    // One UV per corner; the second face's are swapped: (0, 1) is written "1 0".
    EXPECT_NE(obj.find("vt 0 1\nvt 0.3333333333333333 0.8571428571428572\n"), std::string::npos) << obj;
    EXPECT_NE(obj.find("vt 1 0\nvt 0.8571428571428572 0.3333333333333333\n"), std::string::npos) << obj;
}

TEST_F(ObjWriterTest, EveryFileNameHasItsLibraryWhichTheReaderFindsBack) {
    AddCube("box", KFbxVector4(0, 0, 0, 0));
    // The last extension of the file's own name gives way, whatever its case.
    for (const auto& [file, library] : std::map<std::string, std::string>{
             {"SCENE.OBJ", "SCENE.mtl"},
             {"scene", "scene.mtl"},
             {"dir.obj/scene", "dir.obj/scene.mtl"},
             {"my.objects/scene.obj", "my.objects/scene.mtl"},
             {"scene.obj.txt", "scene.obj.mtl"},
             {".scene", ".scene.mtl"}}) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(Export(Path(file))) << Message();
        const std::string mtllib = "mtllib " + std::filesystem::path(library).filename().string() + "\n";
        EXPECT_NE(Text(Path(file)).find(mtllib), std::string::npos);
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        KFbxReaderObj reader(*mManager, nullptr);
        KFbxStreamOptions* options = reader.GetReadOptions();
        EXPECT_TRUE(reader.FileOpen(Path(file).c_str()) && reader.Read(read, options));
        options->Destroy();
        const KFbxMesh* box = formatstest::MeshOf(read->GetRootNode()->FindChild("box", true));
        EXPECT_TRUE(box != nullptr && box->GetMaterialCount() == 2 && box->GetTextureCount() == 2);
        read->Destroy();
    }
}

TEST_F(ObjWriterTest, ATextureAlreadyBesideTheFileIsNotCopiedAgain) {
    AddCube("box", KFbxVector4(0, 0, 0, 0));
    // A copy lets in no one its texture keeps out.
    std::filesystem::permissions(Path("textures/bricks.tga"), std::filesystem::perms(0600));
    ASSERT_TRUE(Export(Path("scene.obj")));
    EXPECT_EQ(std::filesystem::status(Path("bricks.tga")).permissions(), std::filesystem::perms(0600));
    // Nor a group other than the texture's, in a folder that gives its own
    // (only the system's administrator gives files away).
    if (geteuid() == 0) {
        constexpr gid_t kTextureGroup = 4321;
        std::filesystem::create_directory(Path("shared"));
        ASSERT_EQ(chown(Path("shared").c_str(), getuid(), kTextureGroup + 1), 0);
        std::filesystem::permissions(Path("shared"), std::filesystem::perms(02755));
        std::filesystem::permissions(Path("textures/bricks.tga"), std::filesystem::perms(0640));
        ASSERT_EQ(chown(Path("textures/bricks.tga").c_str(), getuid(), kTextureGroup), 0);
        ASSERT_TRUE(Export(Path("shared/scene.obj")));
        struct stat copy {};
        ASSERT_EQ(stat(Path("shared/bricks.tga").c_str(), &copy), 0);
        EXPECT_EQ(copy.st_gid, kTextureGroup);
        EXPECT_EQ(copy.st_mode & 07777, 0640u);
    }
    // Another file of the texture's name is kept, and the texture copied
    // beside it under a name of its own.
    Write("bricks.tga", "already here");
    ASSERT_TRUE(Export(Path("scene.obj")));
    EXPECT_EQ(Text(Path("bricks.tga")), "already here");
    EXPECT_EQ(Text(Path("bricks1.tga")), "not really an image");
    EXPECT_EQ(Message(), "");
    // A copy made before is the texture's.
    Write("bricks.tga", "not really an image");
    ASSERT_TRUE(Export(Path("scene.obj")));
    EXPECT_EQ(Message(), "");
    EXPECT_NE(Text(Path("scene.mtl")).find("map_Kd bricks.tga\n"), std::string::npos);
}

// A binary or encrypted FBX file that carries its texture, read where the
// texture's own file is not, goes on into OBJ with it: the medium extracted
// beside the FBX file is copied beside the OBJ file.
TEST_F(ObjWriterTest, ATextureAnFbxFileCarriesGoesOnWithTheModel) {
    KFbxStreamOptionsFbxWriter* embed = KFbxStreamOptionsFbxWriter::Create(mManager, "");
    embed->SetOption("EMBEDDED", true);
    std::filesystem::create_directories(mFolder.Path() / "fbx");
    for (const int format : {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER}) {
        SCOPED_TRACE(format);
        mScene = KFbxScene::Create(mManager, "");
        KFbxMesh* mesh = AddPlainTriangle("wall");
        mesh->InitMaterialIndices(KFbxLayerElement::eALL_SAME);
        mesh->AddMaterial(KFbxSurfaceLambert::Create(mManager, "brick"));
        mesh->InitTextureIndices(KFbxLayerElement::eALL_SAME);
        mesh->AddTexture(KFbxTexture::Create(mManager, "bricks"));
        mesh->GetTexture(0)->SetFileName(Write("textures/bricks.tga", "not really an image").c_str());
        // The file keeps the layer's texture by its index.
        mesh->GetLayer(0)->GetTextures()->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
        mesh->GetLayer(0)->GetTextures()->GetIndexArray().Add(0);
        ASSERT_TRUE(Export(Path("fbx/model.fbx"), embed, format)) << Message();
        std::filesystem::remove(Path("textures/bricks.tga"));
        std::filesystem::remove_all(Path("fbx/model.fbm"));
        std::filesystem::remove_all(Path("out"));
        std::filesystem::create_directory(Path("out"));
        mScene = KFbxScene::Create(mManager, "read");
        ASSERT_TRUE(Import(Path("fbx/model.fbx"))) << mErrorText;
        ASSERT_EQ(mScene->GetTextureCount(), 1);
        EXPECT_EQ(std::string(mScene->GetTexture(0)->GetFileName()), Path("fbx/model.fbm/bricks.tga"));
        ASSERT_TRUE(Export(Path("out/model.obj"))) << Message();
        EXPECT_NE(Text(Path("out/model.mtl")).find("map_Kd bricks.tga\n"), std::string::npos);
        EXPECT_EQ(Text(Path("out/bricks.tga")), "not really an image");
    }
}

TEST_F(ObjWriterTest, AFullDiskIsReportedAndForeignOptionsRefused) {
    AddCube("box", KFbxVector4(0, 0, 0, 0));
    KFbxWriterObj writer(*mManager, nullptr);
    ASSERT_TRUE(writer.FileCreate(Path("scene.obj").c_str()));
    EXPECT_FALSE(writer.Write(mScene, KFbxStreamOptionsObjReader::Create(mManager, "")));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eSTREAM_OPTIONS_NOT_SET);
    writer.FileClose();
    if (std::FILE* full = std::fopen("/dev/full", "w")) {
        std::fclose(full);
        // Through a link, so that the library and the texture go beside it.
        std::filesystem::create_symlink("/dev/full", Path("full.obj"));
        ASSERT_TRUE(writer.FileCreate(Path("full.obj").c_str()));
        EXPECT_FALSE(writer.Write(mScene, writer.GetWriteOptions()));
        const std::string noSpace = std::string(": ") + std::strerror(ENOSPC) + ")";
        EXPECT_EQ(writer.GetLastErrorString(), "Out of disk space (" + Path("full.obj") + noSpace);
        writer.FileClose();
        // Only the library's bytes are lost: the message names it, by its
        // whole path, not the OBJ file.
        std::filesystem::create_symlink("/dev/full", Path("scene.mtl"));
        ASSERT_TRUE(writer.FileCreate(Path("scene.obj").c_str()));
        EXPECT_TRUE(writer.Write(mScene, writer.GetWriteOptions()));
        EXPECT_FALSE(writer.FileClose());
        EXPECT_EQ(writer.GetLastErrorString(), "Out of disk space (" + Path("scene.mtl") + noSpace);
        // Nor does the OBJ file take a name without its library.
        EXPECT_FALSE(std::filesystem::exists(Path("scene.obj")));
        KString message;
        writer.GetMessageText(message);
        const std::string text = message.Buffer();
        EXPECT_NE(text.find("The file " + Path("scene.mtl") + " was not written: "), std::string::npos) << text;
        EXPECT_EQ(text.find("The file " + Path("scene.obj")), std::string::npos) << text;
        // A file already reported is not reported again when it is closed.
        EXPECT_EQ(text.find("Input/output error"), std::string::npos) << text;
    }
}

TEST_F(ObjWriterTest, ShapesMoveTheWrittenPointsButNotTheScenes) {
    KFbxMesh* triangle = AddPlainTriangle("bent");
    KFbxNode* node = Node("bent");
    KFbxShape* shape = KFbxShape::Create(mManager, "lifted");
    shape->InitControlPoints(3);
    for (int i = 0; i < 3; ++i) {
        shape->GetControlPoints()[i] = triangle->GetControlPoints()[i];
        shape->GetControlPoints()[i][2] = 4.0;
    }
    ASSERT_GE(triangle->AddShape(shape, "lifted"), 0);
    KFCurveNode* channel = KFCurveNode::Create("lifted", nullptr);
    node->GetCurrentTakeNode()->GetKFCurveNode()->Add(channel);
    KFCurve* weight = KFCurve::Create();
    weight->SetValue(0.5f);
    channel->FCurveSet(weight);

    ASSERT_TRUE(Export(Path("shape.obj")));
    EXPECT_NE(Text(Path("shape.obj")).find("v 0 0 2\nv 1 0 2\nv 0 1 2\n"), std::string::npos)
        << Text(Path("shape.obj"));
    EXPECT_TRUE(Near(triangle->GetControlPoints()[1], 1, 0, 0));

    KFbxStreamOptionsObjWriter* options = KFbxStreamOptionsObjWriter::Create(mManager, "");
    ASSERT_TRUE(options->SetOption("DEFORMATION", false));
    ASSERT_TRUE(Export(Path("plain.obj"), options));
    EXPECT_NE(Text(Path("plain.obj")).find("v 0 0 0\nv 1 0 0\nv 0 1 0\n"), std::string::npos);
}

TEST_F(ObjWriterTest, NormalsKeptPerCornerAreWrittenPerCornerAndReadBack) {
    KFbxMesh* mesh = AddPlainTriangle("folded");
    mesh->InitNormals(3 * 2);
    ASSERT_EQ(mesh->GetNormalsMappingMode(), KFbxLayerElement::eBY_POLYGON_VERTEX);
    mesh->BeginPolygon();
    for (int k : {0, 2, 1}) mesh->AddPolygonVertex(k);
    mesh->EndPolygon();
    for (int corner = 0; corner < 6; ++corner) {
        mesh->GetNormals()[corner] = corner < 3 ? KFbxVector4(0, 0, 1, 0) : KFbxVector4(0, 0, -1, 0);
    }
    ASSERT_TRUE(Export(Path("folded.obj")));
    const std::string obj = Text(Path("folded.obj"));
    EXPECT_EQ(CountLines(obj, "vn "), 6);
    EXPECT_NE(obj.find("f 1//1 2//2 3//3\nf 1//4 3//5 2//6\n"), std::string::npos) << obj;

    mScene = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(Path("folded.obj")));
    KFbxMesh* read = Mesh("folded");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetControlPointsCount(), 6);
    EXPECT_TRUE(Near(read->GetNormals()[read->GetPolygonVertex(1, 0)], 0, 0, -1));
}

TEST_F(ObjWriterTest, ASurfaceIsWrittenAsTrianglesWhateverTheOptionSays) {
    // A bilinear rational patch read from a file of our own.
    ASSERT_TRUE(ImportText("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 1\ncstype rat bspline\ndeg 1 1\ng patch\n"
                           "surf 0 1 0 1 1 2 3 4\nparm u 0 0 1 1\nparm v 0 0 1 1\nend\n"));
    ASSERT_NE(Node("patch"), nullptr);
    ASSERT_TRUE(Export(Path("surface.obj"), KeepPolygons())) << Message();
    const std::string obj = Text(Path("surface.obj"));
    EXPECT_NE(obj.find("g patch\n"), std::string::npos);
    EXPECT_GT(CountLines(obj, "f "), 0);
    for (std::size_t at = obj.find("\nf "); at != std::string::npos; at = obj.find("\nf ", at + 1)) {
        const std::string line = obj.substr(at + 1, obj.find('\n', at + 1) - at - 1);
        EXPECT_EQ(std::count(line.begin(), line.end(), ' '), 3) << line;
    }
    EXPECT_NE(dynamic_cast<KFbxNurb*>(Node("patch")->GetNodeAttribute()), nullptr);
}

// The output of a command, its error stream included.
std::string CommandOutput(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

TEST_F(ObjWriterTest, AnIndependentReaderOpensTheWrittenFilesWithTheirCounts) {
    if (std::system("command -v assimp >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "assimp is not installed (assimp-utils)";
    }
    AddCube("box", KFbxVector4(0, 0, 0, 0));
    AddPlainTriangle("bare");
    ASSERT_TRUE(Export(Path("scene.obj")));
    const std::string output = CommandOutput("assimp info '" + Path("scene.obj") + "'");
    EXPECT_EQ(output.find("ERROR"), std::string::npos) << output;
    // Triangulated by default: twelve triangles for the cube, one more; two
    // materials and the default one.
    EXPECT_NE(output.find("Faces:              13\n"), std::string::npos) << output;
    EXPECT_NE(output.find("Materials:          3\n"), std::string::npos) << output;
    // The places of the points: the cube and the triangle span (0 0 0) to (1 1 2/7).
    EXPECT_NE(output.find("Minimum point      (0.000000 0.000000 0.000000)"), std::string::npos) << output;
    EXPECT_NE(output.find("Maximum point      (1.000000 1.000000 0.285714)"), std::string::npos) << output;
    // What assimp makes of the materials shows in what it writes again: the
    // brick 75 % opaque, the sand and the default opaque, each on its faces.
    const std::string again = Path("again.obj");
    CommandOutput("assimp export '" + Path("scene.obj") + "' '" + again + "'");
    const std::string mtl = Text(Path("again.mtl"));
    for (const char* block : {"newmtl red_brick\n", "newmtl sand\n", "newmtl default\n"}) {
        const std::size_t at = mtl.find(block);
        ASSERT_NE(at, std::string::npos) << block << mtl;
        const std::size_t opacity = mtl.find("\nd ", at);
        ASSERT_NE(opacity, std::string::npos) << mtl;
        EXPECT_EQ(mtl.substr(opacity, 7), std::string(block) == "newmtl red_brick\n" ? "\nd 0.75" : "\nd 1\nNi")
            << block << mtl;
    }
    const std::string obj = Text(again);
    for (const char* use : {"usemtl red_brick\nf ", "usemtl sand\nf ", "usemtl default\nf "}) {
        EXPECT_NE(obj.find(use), std::string::npos) << use << obj;
    }
}

// What tinyobjloader reads from an OBJ file: per material "material name
// dissolve diffuse texture", per face "face material corners" where a corner is
// "x,y,z/uv-index".
const char* const kTinyObjDump = R"(import sys, tinyobjloader
r = tinyobjloader.ObjReader()
if not r.ParseFromFile(sys.argv[1]):
    print("error", r.Error()); sys.exit(1)
a = r.GetAttrib(); ms = r.GetMaterials(); v = a.vertices
for m in ms: print("material", m.name, "%g" % m.dissolve, "%g,%g,%g" % tuple(m.diffuse), m.diffuse_texname or "-")
for s in r.GetShapes():
    at = 0
    for f, n in enumerate(s.mesh.num_face_vertices):
        ids = s.mesh.material_ids
        name = ms[ids[f]].name if f < len(ids) and 0 <= ids[f] < len(ms) else "-"
        cs = s.mesh.indices[at:at + n]; at += n
        print("face", name, " ".join("%g,%g,%g/%d" % (v[3*c.vertex_index], v[3*c.vertex_index+1],
              v[3*c.vertex_index+2], c.texcoord_index) for c in cs))
)";

TEST_F(ObjWriterTest, TinyObjLoaderReadsTheOpacityMaterialPerFaceTexcoordsAndPlaces) {
    if (std::system("/usr/bin/python3 -c 'import tinyobjloader' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "tinyobjloader is not installed (python3-tinyobjloader)";
    }
    mBrick->SetName("red brick wall");
    mSand->SetName("sand\nv 9 9 9");
    AddCube("box", KFbxVector4(3, 0, 0, 0));
    AddPlainTriangle("bare");
    // A material of neither class, with an emission as well as a transparency.
    KFbxSurfaceMaterial* glass = KFbxSurfaceMaterial::Create(mManager, "glass");
    SetNumber(KFbxProperty::Create(glass, "TransparencyFactor", gKFbxDataTypeNumber, ""), 0.25);
    SetColor(KFbxProperty::Create(glass, "EmissiveColor", gKFbxDataTypeColor, ""), 0.8, 0.8, 0.8);
    KFbxMesh* pane = AddPlainTriangle("glass");
    pane->InitMaterialIndices(KFbxLayerElement::eALL_SAME);
    pane->AddMaterial(glass);
    // Under a name in capitals, whose library is found all the same.
    ASSERT_TRUE(Export(Path("SCENE.OBJ"), KeepPolygons())) << Message();
    const std::string script = Write("dump.py", kTinyObjDump);
    const std::string dump = CommandOutput("/usr/bin/python3 '" + script + "' '" + Path("SCENE.OBJ") + "'");
    // Opacity 1 - 0.25 for the brick and the glass, opaque sand; both names
    // whole; faces without a material in the grey a material without a
    // colour reads as.
    EXPECT_NE(dump.find("material red_brick_wall 0.75 0.8,0.25,0.125 bricks.tga\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("material sand_v_9_9_9 1 0.9,0.8,0.5 bricks.tga\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("material glass 0.75 0,0,0 -\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("material default 1 0.8,0.8,0.8 -\n"), std::string::npos) << dump;
    // Each corner at its world place with its texture coordinate.
    std::map<std::string, int> faces;
    for (std::size_t at = dump.find("face "); at != std::string::npos; at = dump.find("face ", at + 1)) {
        const std::string line = dump.substr(at, dump.find('\n', at) - at);
        const std::string material = line.substr(5, line.find(' ', 5) - 5);
        faces[material] += 1;
        // Only the box has texture coordinates.
        EXPECT_EQ(line.find("/-1") == std::string::npos, material != "default" && material != "glass") << line;
    }
    // Five brick quads and one of sand, in triangles, and the two triangles.
    const std::map<std::string, int> expected = {
        {"red_brick_wall", 10}, {"sand_v_9_9_9", 2}, {"default", 1}, {"glass", 1}};
    EXPECT_EQ(faces, expected) << dump;
    EXPECT_NE(dump.find("face sand_v_9_9_9 3,0,0.285714/0 3,0,0/1 3,0.1,0.285714/3\n"), std::string::npos) << dump;
}

// Textures of one file name in several folders, and files of that name
// beside the written file: each material's map, as tinyobjloader reads it,
// names a file of its texture's bytes, and an export again adds no file.
TEST_F(ObjWriterTest, TexturesOfOneNameEachKeepTheirOwnBytes) {
    if (std::system("/usr/bin/python3 -c 'import tinyobjloader' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "tinyobjloader is not installed (python3-tinyobjloader)";
    }
    using Files = std::map<std::string, std::string>;
    // Files there before (beside the written file: "out/"); per material its
    // texture's file and the name its map gives; the written folder's files;
    // the file there before that another user owns (the last row's only,
    // as it is skipped where files cannot be given away); the files there
    // before that everyone may write (all others only their owner).
    struct Row {
        Files files;
        std::vector<std::array<std::string, 3>> materials;
        int written;
        std::string foreign;
        std::set<std::string> everyone{};
    };
    const Row rows[] = {
        {{{"a/wood.tga", "oak"}, {"b/wood.tga", "pine"}},
         {{"oak", "a/wood.tga", "wood.tga"}, {"pine", "b/wood.tga", "wood1.tga"}}, 4, ""},
        {{{"a/wood.tga", "oak"}, {"b/wood.tga", "oak"}},
         {{"oak", "a/wood.tga", "wood.tga"}, {"pine", "b/wood.tga", "wood.tga"}}, 3, ""},
        {{{"a/wood.tga", "oak"}}, {{"oak", "a/wood.tga", "wood.tga"}, {"pine", "a/wood.tga", "wood.tga"}}, 3, ""},
        {{{"a/wood.tga", "oak"}, {"out/wood.tga", "mine"}}, {{"oak", "a/wood.tga", "wood1.tga"}}, 4, ""},
        {{{"a/wood.tga", "oak"}, {"b/wood.tga", "pine"}, {"out/wood.tga", "mine"}, {"out/wood1.tga", "elm"},
          {"out/wood2.tga", "pine"}}, {{"oak", "a/wood.tga", "wood3.tga"}, {"pine", "b/wood.tga", "wood2.tga"}}, 6, ""},
        {{{"out/wood.tga", "oak"}}, {{"oak", "out/wood.tga", "wood.tga"}}, 3, ""},
        // The second texture's bytes are in a file passed by the first, and
        // in the next one.
        {{{"a/wood.tga", "oak"}, {"b/wood.tga", "mine"}, {"out/wood.tga", "mine"}, {"out/wood1.tga", "oak"},
          {"out/wood2.tga", "mine"}}, {{"oak", "a/wood.tga", "wood1.tga"}, {"pine", "b/wood.tga", "wood.tga"}}, 5, ""},
        // An own file of the bytes that everyone may write is no copy, and a
        // texture everyone may write gives its copy no such leave.
        {{{"a/wood.tga", "oak"}, {"out/wood.tga", "oak"}}, {{"oak", "a/wood.tga", "wood1.tga"}}, 4, "",
         {"a/wood.tga", "out/wood.tga"}},
        {{{"a/wood.tga", "oak"}, {"out/wood.tga", "oak"}}, {{"oak", "a/wood.tga", "wood1.tga"}}, 4, "out/wood.tga"}};
    const std::string script = Write("dump.py", kTinyObjDump);
    for (const auto& [files, materials, written, foreign, everyone] : rows) {
        SCOPED_TRACE(materials.front()[2] + " " + materials.back()[2] + " " + files.rbegin()->first + " " + foreign);
        TearDown();
        for (const char* folder : {"a", "b", "out"}) std::filesystem::remove_all(Path(folder));
        SetUp();
        for (const auto& [name, bytes] : files) {
            std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
            Write(name, bytes);
            ASSERT_EQ(chmod(Path(name).c_str(), everyone.count(name) != 0 ? 0666 : 0644), 0);
        }
        if (!foreign.empty() && chown(Path(foreign).c_str(), 65534, 65534) != 0) {
            GTEST_SKIP() << "files cannot be given to another user here";
        }
        for (const auto& [material, source, map] : materials) {
            KFbxMesh* mesh = AddPlainTriangle(material.c_str());
            mesh->InitMaterialIndices(KFbxLayerElement::eALL_SAME);
            mesh->AddMaterial(KFbxSurfaceLambert::Create(mManager, material.c_str()));
            mesh->InitTextureIndices(KFbxLayerElement::eALL_SAME);
            mesh->AddTexture(KFbxTexture::Create(mManager, material.c_str()));
            mesh->GetTexture(0)->SetFileName(Path(source).c_str());
        }
        for (int exported = 0; exported < 2; ++exported) {
            // Without a umask, a copy has the bits of its texture but others'
            // leave to write.
            const mode_t umaskBefore = umask(0);
            const bool exportedOk = Export(Path("out/scene.obj"));
            umask(umaskBefore);
            ASSERT_TRUE(exportedOk) << Message();
            EXPECT_EQ(Message(), "");
            const std::string dump = CommandOutput("/usr/bin/python3 '" + script + "' '" + Path("out/scene.obj") + "'");
            for (const auto& [material, source, map] : materials) {
                const std::size_t line = dump.find("material " + material + " ");
                ASSERT_NE(line, std::string::npos) << dump;
                const std::string named = dump.substr(line, dump.find('\n', line) - line);
                EXPECT_EQ(named.substr(named.rfind(' ') + 1), map) << dump;
                EXPECT_EQ(Text(Path("out/" + map)), files.at(source)) << material;
                struct stat copied {};
                ASSERT_EQ(stat(Path("out/" + map).c_str(), &copied), 0);
                if (files.count("out/" + map) == 0) {
                    EXPECT_EQ(copied.st_mode & 0777, everyone.count(source) != 0 ? 0664u : 0644u) << map;
                }
            }
            for (const auto& [name, bytes] : files) EXPECT_EQ(Text(Path(name)), bytes) << name;
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("out")), {}), written);
        }
    }
}

// Read from one working folder and written from another, a texture named
// relative to its library is copied by both writers beside what they write,
// and named there.
TEST_F(ObjWriterTest, ATextureNamedBesideItsLibraryGoesWithTheModelFromAnyWorkingFolder) {
    KFbxRegister3dsFormats();
    std::filesystem::create_directories(mFolder.Path() / "src/tex");
    std::filesystem::create_directories(mFolder.Path() / "out");
    Write("src/tex/wood.tga", "wood grain");
    Write("src/model.mtl", "newmtl wood\nmap_Kd tex/wood.tga\n");
    Write("src/model.obj", "mtllib model.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nusemtl wood\nf 1/1 2/1 3/1\n");
    std::filesystem::current_path(mFolder.Path());
    ASSERT_TRUE(Import("src/model.obj"));
    EXPECT_EQ(ReadFile(mScene->GetTexture(0)->GetFileName()), "wood grain");
    EXPECT_STREQ(mScene->GetTexture(0)->GetRelativeFileName(), "tex/wood.tga");
    std::filesystem::current_path(mFolder.Path() / "out");
    for (const std::string written : {"model.obj", "model.3ds"}) {
        std::filesystem::remove("wood.tga");
        ASSERT_TRUE(Export(written, nullptr, -1)) << Message();
        EXPECT_EQ(ReadFile("wood.tga"), "wood grain") << written;
        // The name of the copy, as an independent reader reads it.
        if (std::system("command -v assimp >/dev/null") != 0) continue;
        std::filesystem::remove("again.mtl");
        CommandOutput("assimp export " + written + " again.obj");
        EXPECT_NE(ReadFile("again.mtl").find("\nmap_Kd wood.tga\n"), std::string::npos) << written;
    }
}

// What tinyobjloader reads of each shape of an OBJ file, in the triangles it
// makes: the volume they enclose, positive where they turn outwards, and how
// many of their corners have a normal along their turn.
const char* const kTinyObjTurns = R"(import sys, tinyobjloader
r = tinyobjloader.ObjReader()
if not r.ParseFromFile(sys.argv[1]):
    print("error", r.Error()); sys.exit(1)
v = r.GetAttrib().vertices; n = r.GetAttrib().normals
cross = lambda a, b: [a[1]*b[2]-a[2]*b[1], a[2]*b[0]-a[0]*b[2], a[0]*b[1]-a[1]*b[0]]
dot = lambda a, b: sum(x*y for x, y in zip(a, b))
for s in r.GetShapes():
    cs = s.mesh.indices; volume = 0; facing = 0
    for t in range(0, len(cs), 3):
        p = [v[3*c.vertex_index:3*c.vertex_index+3] for c in cs[t:t+3]]
        w = cross([x-y for x, y in zip(p[1], p[0])], [x-y for x, y in zip(p[2], p[0])])
        volume += dot(p[0], cross(p[1], p[2])) / 6
        facing += sum(c.normal_index >= 0 and dot(n[3*c.normal_index:3*c.normal_index+3], w) > 0.999 * dot(w, w) ** 0.5
                      for c in cs[t:t+3])
    print("shape %s volume %g facing %d/%d" % (s.name, volume, facing, len(cs)))
)";

TEST_F(ObjWriterTest, AMirroredBoxIsWrittenOutwardsWithItsNormalsByPolygonAtEveryCorner) {
    if (std::system("/usr/bin/python3 -c 'import tinyobjloader' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "tinyobjloader is not installed (python3-tinyobjloader)";
    }
    // A box of side 2 turned outwards, a normal for each face, under a mirror.
    const int faces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    const KFbxVector4 normals[6] = {{0, 0, -1, 0}, {0, 0, 1, 0}, {0, -1, 0, 0},
                                    {1, 0, 0, 0},  {0, 1, 0, 0}, {-1, 0, 0, 0}};
    KFbxNode* node = KFbxNode::Create(mManager, "mirrored");
    mScene->GetRootNode()->AddChild(node);
    node->SetLclScaling(KFbxVector4(-1, 1, 1, 0));
    KFbxMesh* box = KFbxMesh::Create(mManager, "");
    box->InitControlPoints(8);
    for (int i = 0; i < 8; ++i) {
        const auto side = [i](std::initializer_list<int> far) { return std::count(far.begin(), far.end(), i) * 2.0; };
        box->GetControlPoints()[i] = KFbxVector4(side({1, 2, 5, 6}), side({2, 3, 6, 7}), i >= 4 ? 2.0 : 0.0, 1.0);
    }
    box->InitNormals(6);
    box->GetLayer(0)->GetNormals()->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    for (int face = 0; face < 6; ++face) {
        box->GetNormals()[face] = normals[face];
        box->BeginPolygon();
        for (int corner : faces[face]) box->AddPolygonVertex(corner);
        box->EndPolygon();
    }
    node->SetNodeAttribute(box);
    for (bool triangulate : {false, true}) {
        KFbxStreamOptionsObjWriter* options = KFbxStreamOptionsObjWriter::Create(mManager, "");
        ASSERT_TRUE(options->SetOption("TRIANGULATE", triangulate));
        ASSERT_TRUE(Export(Path("mirrored.obj"), options)) << Message();
        const std::string script = Write("turns.py", kTinyObjTurns);
        EXPECT_EQ(CommandOutput("/usr/bin/python3 '" + script + "' '" + Path("mirrored.obj") + "'"),
                  "shape mirrored volume 8 facing 36/36\n");
    }
}

// Scenes that no writer should take at their word: each writes, with the
// OBJ file's vertex lines and the fragments given of the OBJ and MTL files,
// and the message naming
// every value that was changed.
struct HostileObjScene {
    const char* mName;
    std::function<void()> mBuild;
    int mVertexLines;
    std::vector<std::string> mFragments;
    std::vector<std::string> mMessageFragments;
};

TEST_F(ObjWriterTest, HostileScenesWriteWithoutAnExtraStatementAndSayWhatChanged) {
    const std::string fifo = Path("pipe.tga");
    const std::vector<HostileObjScene> cases = {
        {"names with blanks, line ends, markup, quotes and UTF-8",
         [this] {
             mBrick->SetName("red brick wall\r\nv 9 9 9");
             mSand->SetName("<b class=\"x\">&sand\xC3\xBC\t'");
             mTexture->SetFileName(Write("my\nbricks.tga", "x").c_str());
             AddCube("box", KFbxVector4(0, 0, 0, 0));
         },
         8,
         {"usemtl red_brick_wall__v_9_9_9\n", "usemtl <b_class=\"x\">&sand\xC3\xBC_'\n"},
         {"material name \"red_brick_wall__v_9_9_9\"", "material name \"<b_class=\"x\">&sand\xC3\xBC_'\"",
          "texture file name \"my_bricks.tga\""}},
        {"numbers that are not finite",
         [this] {
             KFbxMesh* mesh = AddCube("box", KFbxVector4(0, 0, 0, 0));
             mesh->GetControlPoints()[0] = KFbxVector4(std::nan(""), 0, 0, 1);
             mesh->GetNormals()[1] = KFbxVector4(0, HUGE_VAL, 0, 0);
             mesh->GetTextureUVArray()[2] = KFbxVector2(-HUGE_VAL, 0);
             SetNumber(mSand->GetDiffuseFactor(), std::nan(""));
         },
         8,
         {"v 0 0 0\n", "Kd 0 0 0\n"},
         {"mesh \"box\" has 7 values that are not finite numbers; they are written as 0.\n",
          "material \"sand\" has 3 values that are not finite numbers; they are written as 0.\n"}},
        {"an empty mesh and polygons of no, one and two corners",
         [this] {
             KFbxNode* node = KFbxNode::Create(mManager, "empty");
             mScene->GetRootNode()->AddChild(node);
             node->SetNodeAttribute(KFbxMesh::Create(mManager, ""));
             KFbxMesh* mesh = AddPlainTriangle("short");
             for (int size : {0, 1, 2}) {
                 mesh->BeginPolygon();
                 for (int k = 0; k < size; ++k) mesh->AddPolygonVertex(k);
                 mesh->EndPolygon();
             }
         },
         3,
         {"g short\n", "f 1 2 3\n"},
         {}},
        {"texture coordinates by control point through an index array",
         [this] {
             KFbxMesh* mesh = AddPlainTriangle("mapped");
             mesh->InitTextureUVMapping(KFbxLayerElement::eBY_CONTROL_POINT);
             mesh->AddTextureUV(KFbxVector2(0.25, 0.5));
             mesh->AddTextureUV(KFbxVector2(0.75, 1));
             for (int i : {1, 0, 1}) mesh->GetLayer(0)->GetUVs()->GetIndexArray().Add(i);
         },
         3,
         {"vt 0.25 0.5\nvt 0.75 1\n", "f 1/2 2/1 3/2\n"},
         {}},
        {"a texture that is a device",
         [this] {
             AddCube("box", KFbxVector4(0, 0, 0, 0));
             mTexture->SetFileName("/dev/zero");
         },
         8,
         {"map_Kd zero\n"},
         {"texture file \"/dev/zero\" is not copied: not a regular file"}},
        {"a texture that is a FIFO",
         [this, &fifo] {
             AddCube("box", KFbxVector4(0, 0, 0, 0));
             mTexture->SetFileName(fifo.c_str());
         },
         8,
         {"map_Kd pipe.tga\n"},
         {"texture file \"" + fifo + "\" is not copied: not a regular file"}},
        {"a link where the copy would go, to a file outside",
         [this] {
             AddCube("box", KFbxVector4(0, 0, 0, 0));
             std::filesystem::create_directories(Path("out"));
             std::filesystem::create_symlink(Path("victim.tga"), Path("out/bricks.tga"));
         },
         8,
         {"map_Kd bricks1.tga\n"},
         {}},
        {"a FIFO where the copy would go",
         [this] {
             AddCube("box", KFbxVector4(0, 0, 0, 0));
             std::filesystem::create_directories(Path("out"));
             mkfifo(Path("out/bricks.tga").c_str(), 0600);
         },
         8,
         {"map_Kd bricks1.tga\n"},
         {}},

    };
    for (const HostileObjScene& hostile : cases) {
        SCOPED_TRACE(hostile.mName);
        TearDown();
        std::filesystem::remove_all(Path("out"));
        std::filesystem::remove(fifo);
        SetUp();
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        hostile.mBuild();
        // Apart, so that a copy that never ends ends the row only.
        const boundedrun::Outcome outcome = boundedrun::Run(
            [&] {
                const bool exported = Export(Path("out/scene.obj"));
                std::ofstream(Path("message.txt")) << Message();
                return exported ? 0 : 1;
            },
            boundedrun::SecondsFor(0));
        ASSERT_TRUE(outcome.mReturned) << "signal " << outcome.mSignal;
        const std::string message = Text(Path("message.txt"));
        ASSERT_EQ(outcome.mValue, 0) << message;
        const std::string obj = Text(Path("out/scene.obj"));
        const std::string mtl = std::filesystem::exists(Path("out/scene.mtl")) ? Text(Path("out/scene.mtl")) : "";
        EXPECT_EQ(CountLines(obj, "v "), hostile.mVertexLines) << obj;
        for (const std::string& fragment : hostile.mFragments) {
            EXPECT_NE((obj + mtl).find(fragment), std::string::npos) << obj << mtl;
        }
        for (const std::string& fragment : hostile.mMessageFragments) {
            EXPECT_NE(message.find(fragment), std::string::npos) << message;
        }
        // Every line of both files is a statement the writer meant.
        for (const std::string* text : {&obj, &mtl}) {
            for (std::size_t at = 0; at < text->size(); at = text->find('\n', at) + 1) {
                const std::string line = text->substr(at, text->find('\n', at) - at);
                const std::string keyword = line.substr(0, line.find(' '));
                static const std::set<std::string> kMeant = {"", "#", "mtllib", "g", "v", "vt", "vn", "usemtl", "f",
                                                             "newmtl", "map_Kd", "Ka", "Kd", "Ks", "illum", "Ns", "d"};
                EXPECT_EQ(kMeant.count(keyword), 1u) << line;
                EXPECT_EQ(line.find_first_of("\r\t\v\f"), std::string::npos) << line;
            }
        }
        EXPECT_FALSE(std::filesystem::exists(Path("out/zero")));
        EXPECT_FALSE(std::filesystem::exists(Path("out/pipe.tga")));
        EXPECT_FALSE(std::filesystem::exists(Path("victim.tga")));
        // And reads back.
        mScene = KFbxScene::Create(mManager, "read");
        EXPECT_TRUE(Import(Path("out/scene.obj"))) << Message();
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::objtest
