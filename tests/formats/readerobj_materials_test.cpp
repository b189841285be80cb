// The OBJ reader's materials: libraries found as given or beside the file,
// Lambert or Phong by illumination model, textures, "_empty_", and what a
// missing library or material does.
#include "formats/ObjTestSupport.h"

#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include "support/CommandOutput.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

namespace fbxsdk_2006_11_1::objtest {
namespace {

fbxDouble3 Color(KFbxProperty property) {
    fbxDouble3 value;
    EXPECT_TRUE(property.Get(&value, eFbxValueDouble3));
    return value;
}

double Number(KFbxProperty property) {
    double value = -1.0;
    EXPECT_TRUE(property.Get(&value, eFbxValueDouble));
    return value;
}

const char* const kLibrary =
    "newmtl red\n"
    "Ka 0.1 0.2 0.3\n"
    "Kd 1 0 0\n"
    "Ks 0.5 0.5 0.5\n"
    "Ns 32\n"
    "d 0.25\n"
    "map_Kd  bricks.tga \n"
    "\n"
    "newmtl flat\n"
    "illum 1\n"
    "Kd 0 1\n"
    "Ks 1 1 1\n"
    "Tr 0.5\n"
    "newmtl red\n"
    "Kd 0 0 1\n"
    "newmtl Plain";

const char* const kTwoQuads =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";

class ObjMaterialTest : public ObjTest {
protected:
    // The file sits in its own folder with its library; the working folder is elsewhere.
    bool ImportWithLibrary(const std::string& body) {
        std::filesystem::create_directories(mFolder.Path() / "models");
        Write("models/lib.mtl", kLibrary);
        return Import(Write("models/scene.obj", "mtllib lib.mtl\n" + std::string(kTwoQuads) + body));
    }
};

TEST_F(ObjMaterialTest, LibraryBesideTheFileGivesPhongAndLambertMaterialsWithTheirValues) {
    ASSERT_TRUE(ImportWithLibrary("usemtl red\nf 1/1 2/2 3/3 4/4\nusemtl flat\nf 1/1 3/3 4/4\n"));
    EXPECT_EQ(Message(), "");
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetMaterialCount(), 2);
    EXPECT_EQ(mesh->GetMaterialMappingMode(), KFbxLayerElement::eBY_POLYGON);
    EXPECT_EQ(mesh->GetMaterialIndices()->GetAt(0), 0);
    EXPECT_EQ(mesh->GetMaterialIndices()->GetAt(1), 1);

    auto* red = dynamic_cast<KFbxSurfacePhong*>(mesh->GetMaterial(0));
    ASSERT_NE(red, nullptr);
    EXPECT_STREQ(red->GetName(), "red");
    EXPECT_DOUBLE_EQ(Color(red->GetAmbientColor())[2], 0.3);
    EXPECT_DOUBLE_EQ(Color(red->GetDiffuseColor())[0], 1.0);
    EXPECT_DOUBLE_EQ(Color(red->GetSpecularColor())[1], 0.5);
    EXPECT_DOUBLE_EQ(Number(red->GetShininess()), 32.0);
    EXPECT_DOUBLE_EQ(Number(red->GetTransparencyFactor()), 0.75);
    EXPECT_DOUBLE_EQ(Color(red->GetTransparentColor())[1], 1.0);

    // The materials and the textures (red's and the one of faces without) belong to the scene.
    EXPECT_EQ(mScene->GetMaterialCount(), 2);
    EXPECT_EQ(mScene->GetTextureCount(), 2);

    KFbxSurfaceMaterial* flat = mesh->GetMaterial(1);
    ASSERT_NE(flat, nullptr);
    EXPECT_TRUE(flat->Is(KFbxSurfaceLambert::ClassId));
    EXPECT_FALSE(flat->Is(KFbxSurfacePhong::ClassId));
    // Two numbers are not a colour: the default stays.
    EXPECT_DOUBLE_EQ(Color(static_cast<KFbxSurfaceLambert*>(flat)->GetDiffuseColor())[0],
                     Color(KFbxSurfaceLambert::Create(mManager, "fresh")->GetDiffuseColor())[0]);
    EXPECT_DOUBLE_EQ(Number(static_cast<KFbxSurfaceLambert*>(flat)->GetTransparencyFactor()), 0.5);
}

TEST_F(ObjMaterialTest, TexturedFacesBesideUntexturedOnesGetTheEmptyTextureFirst) {
    ASSERT_TRUE(ImportWithLibrary("usemtl flat\nf 1/1 2/2 3/3\nusemtl red\nf 1/1 3/3 4/4\n"));
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetTextureCount(), 2);
    EXPECT_STREQ(mesh->GetTexture(0)->GetName(), "_empty_");
    EXPECT_DOUBLE_EQ(mesh->GetTexture(0)->GetDefaultAlpha(), 0.0);
    // Named where the library says, as the file wrote it too.
    EXPECT_EQ(mesh->GetTexture(1)->GetFileName(), Path("models/bricks.tga"));
    EXPECT_STREQ(mesh->GetTexture(1)->GetRelativeFileName(), "bricks.tga");
    EXPECT_EQ(mesh->GetTextureMappingMode(), KFbxLayerElement::eBY_POLYGON);
    EXPECT_EQ(mesh->GetTextureIndices()->GetAt(0), 0);
    EXPECT_EQ(mesh->GetTextureIndices()->GetAt(1), 1);
    EXPECT_EQ(Node("default")->GetShading(), 5);
}

TEST_F(ObjMaterialTest, TheFirstBlockOfANameWins) {
    ASSERT_TRUE(ImportWithLibrary("usemtl red\nf 1 2 3\n"));
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetMaterialCount(), 1);
    EXPECT_DOUBLE_EQ(Color(static_cast<KFbxSurfaceLambert*>(mesh->GetMaterial(0))->GetDiffuseColor())[0], 1.0);
}

TEST_F(ObjMaterialTest, NamesMatchWithCaseAndAMissingMaterialLeavesOnlyItsOwnFacesWithout) {
    ASSERT_TRUE(ImportWithLibrary("f 1 2 4\nusemtl red\nf 1 2 3\nusemtl plain\nf 1 3 4\nusemtl plain\nf 2 3 4\n"
                                  "usemtl flat\nf 1 2 3\nusemtl red\nf 1 3 4\n"));
    // Told once, however often the name is used.
    EXPECT_EQ(Message(), "Unable to read material \"plain\" in .mtl file\n");
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetPolygonCount(), 6);
    ASSERT_EQ(mesh->GetMaterialCount(), 2);
    EXPECT_STREQ(mesh->GetMaterial(0)->GetName(), "red");
    EXPECT_STREQ(mesh->GetMaterial(1)->GetName(), "flat");
    EXPECT_EQ(mesh->GetMaterialMappingMode(), KFbxLayerElement::eBY_POLYGON);
    // Before the first "usemtl" and under the unknown name: no material.
    const int expected[6] = {-1, 0, -1, -1, 1, 0};
    for (int polygon = 0; polygon < 6; ++polygon) {
        EXPECT_EQ(mesh->GetMaterialIndices()->GetAt(polygon), expected[polygon]) << polygon;
    }
}

TEST_F(ObjMaterialTest, AMissingLibraryIsAWarningAndTheMeshesAreStillRead) {
    ASSERT_TRUE(ImportText(std::string("mtllib nowhere.mtl\n") + kTwoQuads +
                           "usemtl red\nf 1 2 3 4\nusemtl red\nf 1 2 3\n"));
    EXPECT_EQ(Message(),
              "Unable to load material library \"nowhere.mtl\" (No such file or directory)\n"
              "Unable to read material \"red\" in .mtl file\n");
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetPolygonCount(), 2);
    EXPECT_EQ(mesh->GetMaterialCount(), 0);
}

TEST_F(ObjMaterialTest, ALibraryNamedLastWithoutLineEndIsStillRead) {
    Write("lib.mtl", "newmtl a\nKd 0.5 0.5 0.5");
    ASSERT_TRUE(Import(Write("in.obj", std::string(kTwoQuads) + "mtllib lib.mtl\nusemtl a\nf 1 2 3")));
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetMaterialCount(), 1);
    EXPECT_DOUBLE_EQ(Color(static_cast<KFbxSurfaceLambert*>(mesh->GetMaterial(0))->GetDiffuseColor())[2], 0.5);
}

TEST_F(ObjMaterialTest, BlocksOfEveryLibraryAreFoundWhateverTheirLineEnds) {
    Write("first.mtl", "newmtl a\r\nKd 0.25 0.25 0.25\r\nnewmtl b\r\nKd 0.5 0.5 0.5\r\n");
    Write("second.mtl", "newmtl c\rKd 0.75 0.75 0.75\rnewmtl b\rKd 1 1 1\r");
    ASSERT_TRUE(Import(Write("in.obj", std::string("mtllib first.mtl second.mtl\n") + kTwoQuads +
                                           "usemtl c\nf 1 2 3\nusemtl b\nf 1 3 4\nusemtl a\nf 2 3 4\n")));
    EXPECT_EQ(Message(), "");
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetMaterialCount(), 3);
    const double expected[3] = {0.75, 0.5, 0.25};
    for (int m = 0; m < 3; ++m) {
        EXPECT_DOUBLE_EQ(Color(static_cast<KFbxSurfaceLambert*>(mesh->GetMaterial(m))->GetDiffuseColor())[0],
                         expected[m]);
    }
}

// "d" is the opacity and "Tr" the transparency; where a block holds "d", it
// decides, whichever comes first (exporters write "d 1" with "Tr 0" for an
// opaque material).
TEST_F(ObjMaterialTest, OpacityDecidesWhereItIsGivenAndTransparencyOtherwise) {
    const struct {
        const char* mLines;
        double mFactor;
    } cases[] = {
        {"d 1.0\nTr 0.0\n", 0.0}, {"Tr 0.0\nd 1.0\n", 0.0}, {"d 0.25\nTr 0.25\n", 0.75},
        {"Tr 0.25\n", 0.25},       {"d 0.4\n", 0.6},         {"Tr 1\nd 0\n", 1.0},
    };
    for (const auto& block : cases) {
        Write("lib.mtl", std::string("newmtl m\nKd 1 0 0\n") + block.mLines);
        ASSERT_TRUE(Import(Write("in.obj", "mtllib lib.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl m\nf 1 2 3\n")));
        KFbxMesh* mesh = Mesh("default");
        ASSERT_NE(mesh, nullptr);
        ASSERT_EQ(mesh->GetMaterialCount(), 1);
        auto* material = static_cast<KFbxSurfaceLambert*>(mesh->GetMaterial(0));
        EXPECT_DOUBLE_EQ(Number(material->GetTransparencyFactor()), block.mFactor) << block.mLines;
        mScene->Clear();
    }
}

// A map is looked for as a library is, from the working folder, then beside
// its library, where it is named when in neither; an absolute name stays.
TEST_F(ObjMaterialTest, MapFilesAreFoundAsLibrariesAreAndNamedFromTheRoot) {
    std::filesystem::create_directories(mFolder.Path() / "models");
    std::filesystem::create_directories(mFolder.Path() / "work");
    Write("work/shared.tga", "");
    Write("models/shared.tga", "");
    Write("models/scene.obj", "mtllib lib.mtl\n" + std::string(kTwoQuads) + "usemtl m\nf 1 2 3\n");
    std::filesystem::current_path(mFolder.Path() / "work");
    // map_Kd's name; the file name after the working folder's, or null for the name; the relative name.
    const char* const rows[][3] = {{"shared.tga", "/shared.tga", "shared.tga"},
                                   {"tex\\none.tga", "/../models/tex\\none.tga", "tex\\none.tga"},
                                   {"-s 1 1 1 a.tga", "/../models/-s 1 1 1 a.tga", "-s 1 1 1 a.tga"},
                                   {"/nowhere/a.tga", nullptr, ""},
                                   {"C:\\maps\\a.tga", nullptr, ""}};
    for (const auto& row : rows) {
        Write("models/lib.mtl", std::string("newmtl m\nmap_Kd ") + row[0] + "\n");
        mScene->Clear();
        ASSERT_TRUE(Import("../models/scene.obj"));
        const KFbxTexture* texture = Mesh("default")->GetTexture(0);
        EXPECT_EQ(texture->GetFileName(), row[1] ? std::filesystem::current_path().string() + row[1] : row[0]);
        EXPECT_STREQ(texture->GetRelativeFileName(), row[2]) << row[0];
    }
}

// What tinyobjloader reads from an OBJ file: per material "material name
// opacity", then per material name (or "-" for none) "faces name count".
// What tinyobjloader reads from an OBJ file: "material name opacity" for
// each material a face shows, then "faces name count" per material name ("-"
// for none), both sorted by name.
const char* const kTinyObjFaces = R"(import sys, tinyobjloader
r = tinyobjloader.ObjReader()
c = tinyobjloader.ObjReaderConfig()
c.triangulate = False
if not r.ParseFromFile(sys.argv[1], c):
    print("error", r.Error()); sys.exit(1)
ms = r.GetMaterials()
counts = {}
for s in r.GetShapes():
    for f, n in enumerate(s.mesh.num_face_vertices):
        ids = s.mesh.material_ids
        k = ids[f] if 0 <= ids[f] < len(ms) else -1
        counts[k] = counts.get(k, 0) + 1
for m in sorted((ms[k].name, "%g" % ms[k].dissolve) for k in counts if k >= 0): print("material", *m)
for k in sorted((ms[k].name if k >= 0 else "-", n) for k, n in counts.items()): print("faces", *k)
)";

// The same from our scene: every mesh's faces counted by the name of their
// material, and the opacity of each material they show.
std::string OurFaces(KFbxNode& root) {
    std::map<std::string, int> faces;
    std::map<std::string, double> opacity;
    for (int child = 0; child < root.GetChildCount(); ++child) {
        KFbxMesh* mesh = MeshOf(root.GetChild(child));
        if (mesh == nullptr) continue;
        for (int polygon = 0; polygon < mesh->GetPolygonCount(); ++polygon) {
            const DynamicArrayOf<int>* indices = mesh->GetMaterialIndices();
            const int index = indices != nullptr && polygon < indices->GetCount() ? indices->GetAt(polygon) : -1;
            auto* material = index >= 0 ? dynamic_cast<KFbxSurfaceLambert*>(mesh->GetMaterial(index)) : nullptr;
            const std::string name = material != nullptr ? material->GetName() : "-";
            ++faces[name];
            if (material != nullptr) opacity[name] = 1.0 - Number(material->GetTransparencyFactor());
        }
    }
    std::ostringstream text;
    for (const auto& [name, value] : opacity) text << "material " << name << " " << value << "\n";
    for (const auto& [name, count] : faces) text << "faces " << name << " " << count << "\n";
    return text.str();
}

// The distribution's models with materials read as tinyobjloader reads them:
// the material of every face and the opacity of every material.
TEST_F(ObjMaterialTest, FacesShowTheMaterialsTinyObjLoaderGivesThem) {
    const std::filesystem::path models = "/usr/share/assimp/models/OBJ";
    if (!std::filesystem::exists(models / "cube_usemtl.obj") ||
        std::system("/usr/bin/python3 -c 'import tinyobjloader' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "needs the distribution's OBJ models and tinyobjloader";
    }
    const std::string script = Write("faces.py", kTinyObjFaces);
    for (const char* name : {"cube_usemtl", "spider", "regr_3429812", "concave_polygon", "box"}) {
        const std::string path = (models / (std::string(name) + ".obj")).string();
        const std::string theirs = CommandOutput("/usr/bin/python3 '" + script + "' '" + path + "'");
        mScene->Clear();
        ASSERT_TRUE(Import(path)) << name;
        EXPECT_EQ(OurFaces(*mScene->GetRootNode()), theirs) << name;
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::objtest
