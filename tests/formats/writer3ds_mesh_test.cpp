// The 3DS writer's meshes and materials: triangles and their flags,
// smoothing groups, material groups, generated material names, texture maps
// and copied texture files, and meshes too large for the format.
#include "formats/Writer3dsTestSupport.h"
#include "support/BoundedRun.h"
#include "support/FolderSwap.h"

#include <fbxfilesdk/formats/KFbxWriter3DS.h>
#include <fbxfilesdk/formats/KFbxWriter3DSMeshData.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace fbxsdk_2006_11_1::writer3dstest {
namespace {

using Writer3dsMeshTest = Writer3dsTest;

// Every polygon shows the mesh's first texture.
void ShowFirstTexture(KFbxMesh& mesh) {
    KFbxLayerElementTexture* textures = mesh.GetLayer(0)->GetTextures();
    textures->SetMappingMode(KFbxLayerElement::eALL_SAME);
    textures->GetIndexArray().Clear();
    textures->GetIndexArray().Add(0);
}

// A cube with one point per face corner; flat: each corner's normal is its
// face's normal, else all corners of a point share the averaged normal.
KFbxMesh* Cube(KFbxSdkManager* manager, bool flat) {
    KFbxMesh* mesh = KFbxMesh::Create(manager, "");
    const int faces[6][4] = {{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 4, 5, 1}, {1, 5, 6, 2}, {2, 6, 7, 3}, {3, 7, 4, 0}};
    const double corners[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    mesh->InitControlPoints(24);
    mesh->InitNormals(24);
    for (int face = 0; face < 6; ++face) {
        mesh->BeginPolygon();
        for (int corner = 0; corner < 4; ++corner) {
            const int point = face * 4 + corner;
            const double* at = corners[faces[face][corner]];
            const KFbxVector4 position(at[0], at[1], at[2], 0);
            // The face's own normal, by its winding.
            const double* a = corners[faces[face][0]];
            const double* b = corners[faces[face][1]];
            const double* c = corners[faces[face][2]];
            const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            KFbxVector4 normal(u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0], 0);
            if (!flat) {
                normal = KFbxVector4(at[0] - 0.5, at[1] - 0.5, at[2] - 0.5, 0);
                normal.Normalize();
            }
            mesh->SetControlPointAt(position, normal, point);
            mesh->AddPolygonVertex(point);
        }
        mesh->EndPolygon();
    }
    return mesh;
}

TEST_F(Writer3dsMeshTest, QuadGivesTwoVisibleTrianglesInOneMaterialGroup) {
    KFbxMesh* quad = Quad();
    quad->AddMaterial(Phong("A material name that is long", 1, 0, 0));
    AddNode("Quad", quad);
    ASSERT_TRUE(Export("quad.3ds")) << mLastError;
    WrittenFile file(Path("quad.3ds"));
    const auto mesh = file.Mesh(0);
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->facecount, 2);
    EXPECT_EQ(mesh->faces[0].a, 0);
    EXPECT_EQ(mesh->faces[0].b, 1);
    EXPECT_EQ(mesh->faces[0].c, 2);
    EXPECT_EQ(mesh->faces[1].a, 2);
    EXPECT_EQ(mesh->faces[1].b, 3);
    EXPECT_EQ(mesh->faces[1].c, 0);
    EXPECT_EQ(mesh->faces[0].flags, 7);
    EXPECT_EQ(mesh->faces[1].flags, 7);
    // The scene's (1, 1, 0) is the file's (1, 0, 1).
    EXPECT_TRUE(Near(mesh->vertices[2], 1, 0, 1));
    ASSERT_EQ(mesh->matgroupcount, 1);
    EXPECT_EQ(Text(mesh->matgroups[0].name), "A material n");
    ASSERT_EQ(mesh->matgroups[0].facecount, 2);
    EXPECT_EQ(mesh->matgroups[0].faces[0], 0);
    EXPECT_EQ(mesh->matgroups[0].faces[1], 1);
    const auto material = file.Material(0);
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(Text(material->name), "A material n");
    EXPECT_NEAR(material->diffuse.red, 1.0, 1e-6);
    EXPECT_EQ(material->twosided, 1);
    EXPECT_EQ(material->texture.name[0], '\0');
}

TEST_F(Writer3dsMeshTest, MaterialsPerPolygonMakeOneGroupEach) {
    KFbxMesh* mesh = MakeMesh({KFbxVector4(0, 0, 0, 0), KFbxVector4(1, 0, 0, 0), KFbxVector4(1, 1, 0, 0),
                               KFbxVector4(0, 1, 0, 0), KFbxVector4(2, 0, 0, 0)},
                              {});
    mesh->AddMaterial(Phong("Red", 1, 0, 0));
    mesh->AddMaterial(Phong("Blue", 0, 0, 1));
    const int polygons[][3] = {{0, 1, 2}, {1, 4, 2}, {0, 2, 3}};
    const int materials[] = {1, 0, 1};
    for (int polygon = 0; polygon < 3; ++polygon) {
        mesh->BeginPolygon(materials[polygon]);
        for (int corner : polygons[polygon]) {
            mesh->AddPolygonVertex(corner);
        }
    }
    AddNode("Pair", mesh);
    ASSERT_TRUE(Export("pair.3ds")) << mLastError;
    WrittenFile file(Path("pair.3ds"));
    const auto written = file.Mesh(0);
    ASSERT_EQ(written->matgroupcount, 2);
    EXPECT_EQ(Text(written->matgroups[0].name), "Red");
    ASSERT_EQ(written->matgroups[0].facecount, 1);
    EXPECT_EQ(written->matgroups[0].faces[0], 1);
    EXPECT_EQ(Text(written->matgroups[1].name), "Blue");
    ASSERT_EQ(written->matgroups[1].facecount, 2);
    EXPECT_EQ(written->matgroups[1].faces[0], 0);
    EXPECT_EQ(written->matgroups[1].faces[1], 2);
    EXPECT_EQ(GetMaterialCount3ds(file.Database()), 2u);
}

TEST_F(Writer3dsMeshTest, TextureWithoutMaterialShowsTheGreyDefault) {
    mFolder.Write("wood.tga", "pixels");
    KFbxMesh* quad = Quad();
    quad->AddTexture(Texture("Wood", Path("wood.tga")));
    ShowFirstTexture(*quad);
    quad->InitTextureUVMapping(KFbxLayerElement::eBY_CONTROL_POINT);
    quad->GetLayer(0)->GetUVs()->SetReferenceMode(KFbxLayerElement::eDIRECT);
    for (int point = 0; point < 4; ++point) {
        quad->AddTextureUV(KFbxVector2(point * 0.25, 1.0 - point * 0.25));
    }
    AddNode("Board", quad);
    std::filesystem::create_directory(mFolder.Path() / "out");
    ASSERT_TRUE(Export("out/board.3ds")) << mLastError;
    WrittenFile file(Path("out/board.3ds"));
    const auto material = file.Material(0);
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(Text(material->name), "1.Mat0Tex0");
    // Colours are stored in 8 bits each.
    EXPECT_NEAR(material->diffuse.red, 0.588, 1.0 / 255);
    EXPECT_NEAR(material->ambient.green, 0.588, 1.0 / 255);
    EXPECT_EQ(Text(material->texture.name), "wood.tga");
    EXPECT_EQ(material->texture.tiling, MapTile3ds);
    EXPECT_NEAR(material->texture.uscale, 1.0, 1e-6);
    EXPECT_NEAR(material->texture.uoffset, 0.0, 1e-6);
    const auto mesh = file.Mesh(0);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(Text(mesh->matgroups[0].name), "1.Mat0Tex0");
    EXPECT_NEAR(mesh->texverts[1].u, 0.25, 1e-6);
    EXPECT_NEAR(mesh->texverts[1].v, 0.75, 1e-6);
    // The texture went beside the file; the scene got no material.
    EXPECT_EQ(mFolder.Read("out/wood.tga"), "pixels") << mMessage.Buffer();
    EXPECT_EQ(quad->GetMaterialCount(), 0);
}

TEST_F(Writer3dsMeshTest, GreyDefaultNeverTakesTheNameOfASceneMaterial) {
    KFbxMesh* painted = Quad();
    painted->AddMaterial(Phong("Default", 0, 1, 0));
    AddNode("Painted", painted);
    // A texture no material record can show: the grey material alone.
    KFbxMesh* bare = Quad();
    KFbxTexture* sphere = Texture("Sphere", Path("env.tga"));
    sphere->SetMappingType(KFbxTexture::eSPHERICAL);
    bare->AddTexture(sphere);
    ShowFirstTexture(*bare);
    AddNode("Bare", bare);
    ASSERT_TRUE(Export("defaults.3ds")) << mLastError;
    WrittenFile file(Path("defaults.3ds"));
    ASSERT_EQ(GetMaterialCount3ds(file.Database()), 2u);
    EXPECT_EQ(Text(file.Mesh(0)->matgroups[0].name), "Default");
    EXPECT_EQ(Text(file.Mesh(1)->matgroups[0].name), "Default1");
    EXPECT_NEAR(file.Material(0)->diffuse.green, 1.0, 1.0 / 255);
    EXPECT_NEAR(file.Material(1)->diffuse.green, 0.588, 1.0 / 255);
}

TEST_F(Writer3dsMeshTest, LongTextureFileNamesAreRenamedWithAMessage) {
    KFbxMesh* quad = Quad();
    quad->AddMaterial(Phong("Skin", 1, 1, 1));
    quad->AddTexture(Texture("Long", Path("thirteen1.tga")));
    ShowFirstTexture(*quad);
    AddNode("Face", quad);
    ASSERT_TRUE(Export("face.3ds")) << mLastError;
    WrittenFile file(Path("face.3ds"));
    const auto material = file.Material(0);
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(Text(material->name), "1.Mat0Tex0");
    EXPECT_EQ(Text(material->texture.name), "Tex0");
    const std::string message = mMessage.Buffer();
    EXPECT_NE(message.find("Texture name file: \"thirteen1.tga\" is too long.\nChange manually texture name: \"Tex0\" "
                           "in material \"1.Mat0Tex0\" by \"" +
                           Path("thirteen1.tga") + "\" for proper work\n\n"),
              std::string::npos)
        << message;
    // The file is missing too.
    EXPECT_NE(message.find("Unable to locate texture file \"" + Path("thirteen1.tga") + "\".\n"), std::string::npos);
}

TEST_F(Writer3dsMeshTest, TexturesThatAreNotRegularFilesAreNamedNotCopied) {
    const std::string fifo = Path("pipe.tga");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directories(Path("out"));
    std::filesystem::create_directories(Path("dir"));
    std::filesystem::create_directories(Path("swap"));
    std::filesystem::create_directories(Path("elsewhere"));
    std::filesystem::create_directories(Path("kill"));
    const std::string big = mFolder.Write("big.tga", std::string(1 << 16, 'x'));
    mFolder.Write("elsewhere/big.tga", "unrelated");
    const std::string full = std::filesystem::exists("/dev/full") ? "/dev/full" : "out/full.3ds";
    const auto notCopied = [](const std::string& texture, const std::string& why) {
        return "The texture file \"" + texture + "\" is not copied: " + why + ".\n";
    };
    // Where the copy's name is taken while the copy is made: the copy takes
    // the next one.
    const std::string raced = Path("race/big.tga");
    struct Row {
        std::string mTexture;
        std::string mOutput;
        std::string mMessage;
        // The output's folder is swapped for a link as the copy is made in
        // it, and files are limited to fewer bytes than the texture holds.
        bool mSwapAndLimit = false;
        // What takes the copy's name once it is looked at, as the copy is made.
        std::function<void()> mTaker = nullptr;
        // Files are so limited, SIGXFSZ left to end the process, that the
        // copy fails; it ends nothing.
        bool mKilledAtLimit = false;
        // The map name, which names the copy of the texture's bytes.
        std::string mCopy{};
    };
    const Row rows[] = {
        {"/dev/zero", "out/zero.3ds", notCopied("/dev/zero", "not a regular file")},
        {fifo, "out/pipe.3ds", notCopied(fifo, "not a regular file")},
        {Path("dir"), "out/dir.3ds", notCopied(Path("dir"), std::strerror(EISDIR))},
        {fifo, full, notCopied(fifo, "not a regular file") + "The file " + full + " was not written: " +
                         std::strerror(ENOSPC) + ".\n"},
        {big, "swap/big.3ds", "Error writing texture file \"" + Path("swap/big.tga") + "\".\n", true},
        {big, "race/big.3ds", "", false,
         [&] { [[maybe_unused]] const int linked = symlink(Path("elsewhere/big.tga").c_str(), raced.c_str()); },
         false, "big1.tga"},
        {big, "race/big.3ds", "", false, [&] { mkfifo(raced.c_str(), 0600); }, false, "big1.tga"},
        {big, "race/big.3ds", "", false, [&] { mFolder.Write("race/big.tga", "other bytes"); }, false, "big1.tga"},
        {big, "race/big.3ds", "", false, [&] { mFolder.Write("race/big.tga", std::string(1 << 16, 'x')); }, false,
         "big.tga"},
        {big, "kill/big.3ds", "Error writing texture file \"" + Path("kill/big.tga") + "\".\n", false, nullptr, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mTexture + " into " + row.mOutput);
        mScene->Clear();
        KFbxMesh* quad = Quad();
        quad->AddTexture(Texture("Odd", row.mTexture));
        ShowFirstTexture(*quad);
        AddNode("Face", quad);
        // At the copy's making, which follows the texture's open (the 3DS
        // file itself was made before).
        if (row.mSwapAndLimit) {
            folderswap::AtOpenOf(row.mTexture,
                                 [&] { folderswap::SwapAtNextCreate(Path("swap"), Path("moved"), Path("elsewhere")); });
        }
        if (row.mTaker) {
            std::filesystem::remove_all(Path("race"));
            std::filesystem::create_directories(Path("race"));
            folderswap::AtOpenOf(row.mTexture, [&] { folderswap::AtNextCreate(row.mTaker); });
        }
        // Apart, so that a copy that never ends ends the row only.
        const boundedrun::Outcome outcome = boundedrun::Run(
            [&] {
                bool exported = false;
                {
                    const folderswap::FileSizeLimit limit(row.mSwapAndLimit || row.mKilledAtLimit ? 4096 : 0,
                                                          row.mKilledAtLimit);
                    exported = Export(row.mOutput);
                }
                std::ofstream(Path("message.txt")) << mMessage.Buffer();
                return exported == (row.mOutput != "/dev/full") ? 0 : 1;
            },
            boundedrun::SecondsFor(0));
        folderswap::Disarm();
        ASSERT_TRUE(outcome.mReturned) << "signal " << outcome.mSignal;
        EXPECT_EQ(outcome.mValue, 0);
        EXPECT_EQ(mFolder.Read("message.txt"), row.mMessage);
        if (!row.mCopy.empty()) {
            WrittenFile file(Path(row.mOutput));
            const auto material = file.Material(0);
            ASSERT_NE(material, nullptr);
            EXPECT_EQ(Text(material->texture.name), row.mCopy);
            EXPECT_EQ(mFolder.Read("race/" + row.mCopy), mFolder.Read("big.tga"));
            // Nor is a temporary copy left.
            const auto names = std::distance(std::filesystem::directory_iterator(Path("race")), {});
            EXPECT_EQ(names, row.mCopy == "big.tga" ? 2 : 3);
        }
    }
    // No copy where none was made, nor a cut one past the size limit.
    for (const char* copy : {"out/zero", "out/pipe.tga", "out/dir", "/dev/pipe.tga", "moved/big.tga", "kill/big.tga"}) {
        EXPECT_FALSE(std::filesystem::exists(Path(copy))) << copy;
    }
    // The cut copy was removed from the folder it was made in, not by its
    // name, which now leads to an unrelated file.
    EXPECT_TRUE(std::filesystem::is_directory(Path("moved")));
    EXPECT_EQ(mFolder.Read("elsewhere/big.tga"), "unrelated");
}

TEST_F(Writer3dsMeshTest, FlatFacesGetGroupsOfTheirOwnAndRoundFacesShareOne) {
    AddNode("Flat", Cube(mManager, true));
    AddNode("Round", Cube(mManager, false));
    ASSERT_TRUE(Export("cubes.3ds")) << mLastError;
    WrittenFile file(Path("cubes.3ds"));
    const auto flat = file.Mesh(0);
    ASSERT_NE(flat, nullptr);
    ASSERT_EQ(flat->facecount, 12);
    std::uint32_t expected = 4;
    for (int face = 0; face < 12; ++face) {
        EXPECT_EQ(flat->smoothgroups[face], expected) << face;
        expected *= 4;
        if (face == 14) {
            expected = 0;
        }
    }
    const auto round = file.Mesh(1);
    ASSERT_NE(round, nullptr);
    for (int face = 0; face < 12; ++face) {
        EXPECT_EQ(round->smoothgroups[face], 1u) << face;
    }
}

TEST_F(Writer3dsMeshTest, SmoothingGroupsStopAfterTheFifteenthFlatFace) {
    writer3ds::SmoothingGroups groups;
    std::uint32_t expected = 4;
    for (int face = 0; face < 15; ++face) {
        EXPECT_EQ(groups.Next(true), expected);
        expected *= 4;
    }
    EXPECT_EQ(groups.Next(true), 0u);
    EXPECT_EQ(groups.Next(false), 1u);
}

TEST_F(Writer3dsMeshTest, MaterialOffWritesNoMaterialOrGroup) {
    KFbxMesh* quad = Quad();
    quad->AddMaterial(Phong("Red", 1, 0, 0));
    AddNode("Quad", quad);
    ASSERT_TRUE(Export("plain.3ds", OptionsWith("MATERIAL", false))) << mLastError;
    WrittenFile file(Path("plain.3ds"));
    EXPECT_EQ(GetMaterialCount3ds(file.Database()), 0u);
    const auto mesh = file.Mesh(0);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->matgroupcount, 0);
}

TEST_F(Writer3dsMeshTest, CornerUVsSpreadToPointsOfTheirOwn) {
    KFbxMesh* quad = Quad();
    quad->AddMaterial(Phong("Paint", 1, 1, 1));
    mFolder.Write("a.tga", "a");
    quad->AddTexture(Texture("A", Path("a.tga")));
    ShowFirstTexture(*quad);
    quad->InitTextureUVMapping(KFbxLayerElement::eBY_POLYGON_VERTEX);
    KFbxLayerElementUV* uvs = quad->GetLayer(0)->GetUVs();
    uvs->SetReferenceMode(KFbxLayerElement::eDIRECT);
    for (int corner = 0; corner < 4; ++corner) {
        uvs->GetDirectArray().Add(KFbxVector2(0.1 * corner, 0.2 * corner));
    }
    AddNode("Sheet", quad);
    ASSERT_TRUE(Export("spread.3ds")) << mLastError;
    {
        WrittenFile file(Path("spread.3ds"));
        const auto mesh = file.Mesh(0);
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(mesh->vertexcount, 4);
        EXPECT_NEAR(mesh->texverts[3].u, 0.3, 1e-6);
        EXPECT_NEAR(mesh->texverts[3].v, 0.6, 1e-6);
    }
    ASSERT_TRUE(Export("kept.3ds", OptionsWith("TEXUVBYPOLY", false))) << mLastError;
    WrittenFile file(Path("kept.3ds"));
    EXPECT_NEAR(file.Mesh(0)->texverts[3].u, 0.3, 1e-6);
    EXPECT_EQ(quad->GetControlPointsCount(), 4);
}

TEST_F(Writer3dsMeshTest, MeshTooLargeForOneObjectIsSplitIntoObjectsThatFit) {
    // A strip of 69998 triangles on 70000 points.
    std::vector<KFbxVector4> points(70000);
    for (std::size_t point = 0; point < points.size(); ++point) {
        points[point] = KFbxVector4(static_cast<double>(point / 2), static_cast<double>(point % 2), 0, 0);
    }
    std::vector<std::vector<int>> strip;
    for (int first = 0; first + 2 < 70000; ++first) {
        strip.push_back({first, first + 1, first + 2});
    }
    KFbxNode* huge = AddNode("Huge", MakeMesh(points, strip));
    AddNode("Child", Quad(), huge);
    ASSERT_TRUE(Export("huge.3ds")) << mLastError;
    WrittenFile file(Path("huge.3ds"));
    ASSERT_EQ(GetMeshCount3ds(file.Database()), 3u);
    const auto first = file.Mesh(0);
    const auto second = file.Mesh(1);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Text(first->name), "Huge");
    EXPECT_EQ(Text(second->name), "Huge1");
    EXPECT_EQ(static_cast<int>(first->facecount) + second->facecount, 69998);
    EXPECT_LE(first->vertexcount, 65535);
    EXPECT_LE(second->vertexcount, 65535);
    // The first part ends where the next triangle would need a 65536th
    // point: the second starts with the triangle on the points 65533 to 65535.
    EXPECT_EQ(first->facecount, 65533);
    EXPECT_EQ(first->vertexcount, 65535);
    EXPECT_TRUE(Near(second->vertices[second->faces[0].a], 32766, 0, 1));
    // Both parts move with the node; its child still names the node and
    // comes before the further part, so that no reader hangs it there.
    ASSERT_EQ(GetObjectNodeCount3ds(file.Database()), 3u);
    EXPECT_EQ(Text(file.Object(1)->name), "Child");
    EXPECT_EQ(Text(file.Object(1)->parent), "Huge");
    EXPECT_EQ(Text(file.Object(2)->name), "Huge1");
    EXPECT_EQ(Text(file.Object(2)->parent), "");
}

TEST_F(Writer3dsMeshTest, SurfaceIsWrittenAsTrianglesWithoutItsTextures) {
    KFbxPatch* patch = KFbxPatch::Create(mManager, "");
    ASSERT_TRUE(patch->InitControlPoints(4, KFbxPatch::eBEZIER, 4, KFbxPatch::eBEZIER));
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            patch->GetControlPoints()[j * 4 + i] = KFbxVector4(i, (i + j) % 2, j, 0);
        }
    }
    patch->SetStep(3, 3);
    patch->AddMaterial(Phong("Cloth", 0, 0, 1));
    mFolder.Write("cloth.tga", "pixels");
    patch->AddTexture(Texture("ClothMap", Path("cloth.tga")));
    KFbxNode* node = AddNode("Sail", patch);
    ASSERT_TRUE(Export("sail.3ds")) << mLastError;
    WrittenFile file(Path("sail.3ds"));
    const auto mesh = file.Mesh(0);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(Text(mesh->name), "Sail");
    EXPECT_EQ(mesh->vertexcount, 16);
    EXPECT_EQ(mesh->facecount, 18);
    ASSERT_EQ(mesh->matgroupcount, 1);
    EXPECT_EQ(Text(mesh->matgroups[0].name), "Cloth");
    EXPECT_EQ(file.Material(0)->texture.name[0], '\0');
    // The scene keeps its surface.
    EXPECT_EQ(node->GetNodeAttribute(), patch);
}

TEST_F(Writer3dsMeshTest, PhongValuesReadBackThroughTheReadersScale) {
    KFbxSurfacePhong* phong = Phong("Shiny", 0.5, 0.25, 1.0);
    double exponent = 64.0;
    phong->GetShininess().Set(&exponent, eFbxValueDouble);
    double factor = 0.5;
    phong->GetSpecularFactor().Set(&factor, eFbxValueDouble);
    const fbxDouble3 white(1.0, 1.0, 1.0);
    phong->GetTransparentColor().Set(&white, eFbxValueDouble3);
    double transparency = 0.4;
    phong->GetTransparencyFactor().Set(&transparency, eFbxValueDouble);
    KFbxMesh* quad = Quad();
    quad->AddMaterial(phong);
    AddNode("Quad", quad);
    ASSERT_TRUE(Export("shiny.3ds")) << mLastError;
    WrittenFile file(Path("shiny.3ds"));
    const auto material = file.Material(0);
    ASSERT_NE(material, nullptr);
    EXPECT_NEAR(material->shininess, 0.3, 1e-6);
    // Percentages are stored whole.
    EXPECT_NEAR(material->shinstrength, 0.375, 0.01);
    EXPECT_NEAR(material->transparency, 0.4, 1e-2);
    EXPECT_NEAR(material->diffuse.green, 0.25, 1.0 / 255);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::writer3dstest
