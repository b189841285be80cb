// The 3DS reader's meshes, smoothing groups, materials and textures.
#include "formats/Reader3dsTestSupport.h"

#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/formats/KFbxReader3DSMesh.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <cmath>
#include <set>

namespace fbxsdk_2006_11_1::reader3dstest {
namespace {

class Reader3dsMeshTest : public Reader3dsTest {
protected:
    // Imports the mesh alone (no scaling) and gives its node's mesh.
    KFbxMesh* ImportMesh(File& file, const char* name, KFbxStreamOptions3dsReader* options = nullptr) {
        if (options == nullptr) {
            options = Options();
        }
        options->SetOption("RESCALING", false);
        EXPECT_TRUE(WriteAndImport(file, options)) << mLastError;
        return MeshOf(Node(name));
    }

    KFbxSurfacePhong* Phong(const char* name) const {
        return dynamic_cast<KFbxSurfacePhong*>(mScene->FindMaterialByName(name));
    }
};

double NumberOf(const KFbxProperty& property) { return KFbxTypedProperty<double>(property).Get(); }
fbxDouble3 ColorOf(const KFbxProperty& property) { return KFbxTypedProperty<fbxDouble3>(property).Get(); }

std::vector<int> PolygonIndices(const KFbxLayerElement* element) {
    std::vector<int> indices;
    for (int index = 0; element != nullptr && index < element->GetIndexArray().GetCount(); ++index) {
        indices.push_back(element->GetIndexArray().GetAt(index));
    }
    return indices;
}

// ---- smoothing groups --------------------------------------------------------

TEST_F(Reader3dsMeshTest, SmoothingGroupsSplitVerticesWhereFacesShareNoGroup) {
    const struct {
        std::vector<std::uint32_t> mGroups;
        bool mSplit;
        int mControlPoints;
    } cases[] = {
        {{1, 2, 4, 8, 16, 32}, true, 24}, {{1, 1, 1, 1, 1, 1}, true, 8},  {{0, 0, 0, 0, 0, 0}, true, 8},
        {{1, 2, 4, 8, 16, 32}, false, 8}, {{1, 2, 1, 2, 1, 2}, true, 14}, {{3, 1, 2, 1, 2, 3}, true, 11},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(::testing::PrintToString(test.mGroups) + (test.mSplit ? " split" : ""));
        mScene->Clear();
        File file;
        file.Add(Box("Box", test.mGroups));
        KFbxStreamOptions3dsReader* options = Options();
        options->SetOption("SMOOTHGROUP", test.mSplit);
        KFbxMesh* mesh = ImportMesh(file, "Box", options);
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(mesh->GetControlPointsCount(), test.mControlPoints);
        EXPECT_EQ(mesh->GetPolygonCount(), 12);
    }
}

TEST_F(Reader3dsMeshTest, FlatCubeHasAxisNormalsAndSmoothCubeDiagonalOnes) {
    File flat;
    flat.Add(Box("Box", {1, 2, 4, 8, 16, 32}));
    const KFbxMesh* mesh = ImportMesh(flat, "Box");
    ASSERT_NE(mesh, nullptr);
    const KFbxVector4* normals = mesh->GetNormals();
    ASSERT_NE(normals, nullptr);
    for (int point = 0; point < mesh->GetControlPointsCount(); ++point) {
        const KFbxVector4& normal = normals[point];
        // Each normal is a unit axis pointing away from the centre.
        EXPECT_NEAR(std::abs(normal[0]) + std::abs(normal[1]) + std::abs(normal[2]), 1.0, 1e-9);
        EXPECT_GT(normal.DotProduct(mesh->GetControlPoints()[point]), 0.0);
    }

    mScene->Clear();
    File smooth;
    smooth.Add(Box("Box", {1, 1, 1, 1, 1, 1}));
    mesh = ImportMesh(smooth, "Box");
    ASSERT_NE(mesh, nullptr);
    for (int point = 0; point < mesh->GetControlPointsCount(); ++point) {
        const KFbxVector4 position = mesh->GetControlPoints()[point];
        // A corner has one or two triangles on each of its three sides: its
        // normal leans towards the sides with two.
        EXPECT_NEAR(mesh->GetNormals()[point].Length(), 1.0, 1e-9);
        EXPECT_GT(mesh->GetNormals()[point].DotProduct(position), 0.9 * std::sqrt(3.0));
    }
}

// ---- positions ---------------------------------------------------------------

TEST_F(Reader3dsMeshTest, VerticesTurnIntoTheSceneAxesAndTheObjectSpace) {
    Mesh triangle;
    triangle.mName = "Tri";
    triangle.mVertices = {{1, 2, 3}, {11, 2, 3}, {1, 12, 3}};
    triangle.mFaces = {{0, 1, 2}};
    File file;
    file.Add(triangle);
    KFbxMesh* mesh = ImportMesh(file, "Tri");
    ASSERT_NE(mesh, nullptr);
    EXPECT_TRUE(Near(mesh->GetControlPoints()[0], 1, 3, -2));

    // The object sits at (10, 0, 0) turned a quarter about z: its space
    // takes the vertices back.
    mScene->Clear();
    triangle.mLocal = {0, 1, 0, -1, 0, 0, 0, 0, 1, 10, 0, 0};
    File placed;
    placed.Add(triangle);
    mesh = ImportMesh(placed, "Tri");
    ASSERT_NE(mesh, nullptr);
    // (1, 2, 3) - (10, 0, 0) = (-9, 2, 3), along the axes (0, 1, 0) and (-1, 0, 0): (2, 9, 3).
    EXPECT_TRUE(Near(mesh->GetControlPoints()[0], 2, 3, -9));
}

TEST_F(Reader3dsMeshTest, FlatLocalMatrixLeavesTheVerticesAsTheyAre) {
    Mesh box = Box("Box");
    box.mLocal = {1, 0, 0, 0, 1, 0, 0, 0, 0, 5, 5, 5};
    File file;
    file.Add(box);
    KFbxMesh* mesh = ImportMesh(file, "Box");
    ASSERT_NE(mesh, nullptr);
    EXPECT_TRUE(Near(mesh->GetControlPoints()[7], 1, 1, -1));
}

TEST_F(Reader3dsMeshTest, MirroredLocalMatrixIsUndoneAndTheFacesStayOutward) {
    // An object mirrored across its X axis at (5, 5, 5): the file holds its
    // points where the mirror puts them, faces turned outward there. Its own
    // points are those points mirrored back by the matrix and mirrored
    // across X again, which the node then carries.
    Mesh box = Box("Box", {1, 1, 1, 1, 1, 1});
    box.mLocal = {-1, 0, 0, 0, 1, 0, 0, 0, 1, 5, 5, 5};
    File file;
    file.Add(box);
    KFbxMesh* mesh = ImportMesh(file, "Box");
    ASSERT_NE(mesh, nullptr);
    // The mirror and its turning round cancel: (1, 1, 1) - (5, 5, 5), as
    // (x, z, -y).
    EXPECT_TRUE(Near(mesh->GetControlPoints()[7], -4, -4, 4));
    const KFbxVector4 centre(-5, -5, 5, 0);
    for (int polygon = 0; polygon < mesh->GetPolygonCount(); ++polygon) {
        const KFbxVector4 p0 = mesh->GetControlPoints()[mesh->GetPolygonVertex(polygon, 0)];
        const KFbxVector4 p1 = mesh->GetControlPoints()[mesh->GetPolygonVertex(polygon, 1)];
        const KFbxVector4 p2 = mesh->GetControlPoints()[mesh->GetPolygonVertex(polygon, 2)];
        EXPECT_GT((p1 - p0).CrossProduct(p2 - p0).DotProduct(p0 - centre), 0.0) << polygon;
    }
    for (int point = 0; point < mesh->GetControlPointsCount(); ++point) {
        EXPECT_GT(mesh->GetNormals()[point].DotProduct(mesh->GetControlPoints()[point] - centre), 0.0) << point;
    }
}

TEST_F(Reader3dsMeshTest, MeshWithoutFacesStaysEmpty) {
    Mesh points;
    points.mName = "Points";
    points.mVertices = {{1, 2, 3}, {4, 5, 6}};
    File file;
    file.Add(points);
    KFbxMesh* mesh = ImportMesh(file, "Points");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetControlPointsCount(), 0);
    EXPECT_EQ(mesh->GetPolygonCount(), 0);
}

TEST_F(Reader3dsMeshTest, MeshOptionOffGivesPlainNodes) {
    File file;
    file.Add(Box("Box"));
    KFbxStreamOptions3dsReader* options = Options();
    options->SetOption("MESH", false);
    EXPECT_EQ(ImportMesh(file, "Box", options), nullptr);
    ASSERT_NE(Node("Box"), nullptr);
    EXPECT_EQ(mScene->GetGeometryCount(), 0);
}

TEST_F(Reader3dsMeshTest, TextureVerticesFollowTheVertexOfEachCorner) {
    Mesh box = Box("Box");
    for (int vertex = 0; vertex < 6; ++vertex) {
        box.mUVs.push_back({0.1f * static_cast<float>(vertex), 1.0f});
    }
    File file;
    file.Add(box);
    KFbxMesh* mesh = ImportMesh(file, "Box");
    ASSERT_NE(mesh, nullptr);
    // One UV per vertex; the two vertices the file gives none get (0, 0).
    ASSERT_EQ(mesh->GetTextureUVCount(), 8);
    EXPECT_NEAR(mesh->GetTextureUVArray()[5][0], 0.5, 1e-6);
    EXPECT_EQ(mesh->GetTextureUVArray()[7][1], 0.0);
    for (int polygon = 0; polygon < mesh->GetPolygonCount(); ++polygon) {
        for (int corner = 0; corner < 3; ++corner) {
            EXPECT_EQ(mesh->GetTextureUVIndex(polygon, corner),
                      box.mFaces[static_cast<std::size_t>(polygon)][static_cast<std::size_t>(corner)]);
        }
    }
}

TEST_F(Reader3dsMeshTest, MeshWithoutTextureVerticesHasNoUVs) {
    File file;
    file.Add(Box("Box"));
    KFbxMesh* mesh = ImportMesh(file, "Box");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetLayer(0)->GetUVs(), nullptr);
    EXPECT_EQ(mesh->GetLayer(0)->GetMaterials(), nullptr);
    EXPECT_EQ(mesh->GetLayer(0)->GetTextures(), nullptr);
}

// ---- materials -----------------------------------------------------------------

TEST_F(Reader3dsMeshTest, MaterialsArePhongWithTheFilesColoursAndShininess) {
    const struct {
        float mShininess;
        double mExponent;
    } cases[] = {{0.3f, 64.0}, {0.5f, 1024.0}, {0.9f, 1024.0}, {0.0f, 1.0}};
    File file;
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        file.Material("M" + std::to_string(index), [&](material3ds& material) {
            material.ambient = {0.1f, 0.2f, 0.3f};
            material.diffuse = {0.4f, 0.5f, 0.6f};
            material.specular = {0.7f, 0.8f, 0.9f};
            material.shininess = cases[index].mShininess;
            material.shinstrength = 0.375f;
            material.transparency = 0.25f;
            material.selfillum = index == 0 ? 0.5f : 0.0f;
        });
    }
    file.Add(Box("Box"));
    ASSERT_TRUE(WriteAndImport(file)) << mLastError;
    ASSERT_EQ(mScene->GetMaterialCount(), 4);
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        SCOPED_TRACE(index);
        const KFbxSurfacePhong* phong = Phong(("M" + std::to_string(index)).c_str());
        ASSERT_NE(phong, nullptr);
        // Shininess is a float fraction in the file.
        EXPECT_NEAR(NumberOf(phong->GetShininess()), cases[index].mExponent, 1e-3);
        EXPECT_NEAR(ColorOf(phong->GetAmbientColor())[2], 0.3, 0.01);
        EXPECT_NEAR(ColorOf(phong->GetDiffuseColor())[0], 0.4, 0.01);
        EXPECT_NEAR(ColorOf(phong->GetSpecularColor())[1], 0.8, 0.01);
        EXPECT_NEAR(NumberOf(phong->GetSpecularFactor()), 0.5, 0.02);
        EXPECT_NEAR(NumberOf(phong->GetTransparencyFactor()), 0.25, 0.01);
        EXPECT_EQ(ColorOf(phong->GetTransparentColor())[0], 1.0);
    }
    const KFbxSurfacePhong* glowing = Phong("M0");
    EXPECT_NEAR(NumberOf(glowing->GetEmissiveFactor()), 0.5, 0.01);
    EXPECT_NEAR(ColorOf(glowing->GetEmissiveColor())[2], 0.6, 0.01);
    EXPECT_EQ(ColorOf(Phong("M1")->GetEmissiveColor())[0], 0.0);
}

TEST_F(Reader3dsMeshTest, MaterialGroupsGiveEachPolygonItsMaterial) {
    Mesh box = Box("Box");
    box.mGroups.push_back({"Blue", {2, 3}});
    box.mGroups.push_back({"Missing", {4, 5}});
    box.mGroups.push_back({"Red", {0, 1, 11}});
    File file;
    file.Add(box).Material("Red").Material("Blue");
    KFbxMesh* mesh = ImportMesh(file, "Box");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetMaterialCount(), 2);
    EXPECT_STREQ(mesh->GetMaterial(0)->GetName(), "Blue");
    EXPECT_STREQ(mesh->GetMaterial(1)->GetName(), "Red");
    // Faces of no group, or of a material the file lacks, take the first.
    EXPECT_EQ(PolygonIndices(mesh->GetLayer(0)->GetMaterials()),
              (std::vector<int>{1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));

    mScene->Clear();
    KFbxStreamOptions3dsReader* options = Options();
    options->SetOption("MATERIAL", false);
    mesh = ImportMesh(file, "Box", options);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetMaterialCount(), 0);
    EXPECT_EQ(mScene->GetMaterialCount(), 0);
}

// ---- textures ------------------------------------------------------------------

TEST_F(Reader3dsMeshTest, TwoMaterialsOnOneBitmapGiveTwoNamedTextures) {
    File file;
    const auto wood = [](material3ds& material) { SetName(material.texture.name, "wood.tga"); };
    file.Material("Oak", wood).Material("Pine", wood).Add(Box("Box"));
    ASSERT_TRUE(WriteAndImport(file)) << mLastError;
    ASSERT_EQ(mScene->GetTextureCount(), 2);
    ASSERT_NE(mScene->FindTextureByName("wood.tga"), nullptr);
    // The toolkit lists materials in file order: Pine is material 1.
    const KFbxTexture* second = mScene->FindTextureByName("wood.tga-1");
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->GetFileName(), "wood.tga");
}

TEST_F(Reader3dsMeshTest, TexturePlacementFollowsTheMap) {
    File file;
    file.Material("Plain", [](material3ds& material) {
        SetName(material.texture.name, "a.tga");
        material.texture.percent = 1.0f;
        material.texture.uscale = 2.0f;
        material.texture.vscale = 4.0f;
        material.texture.uoffset = 0.25f;
        material.texture.voffset = 0.5f;
        material.texture.tiling = MapTile3ds;
    });
    file.Material("Turned", [](material3ds& material) {
        SetName(material.texture.name, "b.tga");
        material.texture.percent = 0.5f;
        material.texture.uscale = 1.0f;
        material.texture.vscale = 1.0f;
        material.texture.rotation = 90.0f;
        material.texture.tiling = MapDecal3ds;
    });
    file.Add(Box("Box"));
    ASSERT_TRUE(WriteAndImport(file)) << mLastError;
    const KFbxTexture* plain = mScene->FindTextureByName("a.tga");
    ASSERT_NE(plain, nullptr);
    // u = (0.5 (1 - 1/2) + 0.25) (-2) = -1, v = ((1 - 1/4) 0.5 - 0.5) (-4) = 0.5.
    EXPECT_NEAR(plain->GetTranslationU(), -1.0, 1e-6);
    EXPECT_NEAR(plain->GetTranslationV(), 0.5, 1e-6);
    EXPECT_EQ(plain->GetScaleU(), 2.0);
    EXPECT_EQ(plain->GetScaleV(), 4.0);
    EXPECT_EQ(plain->GetWrapModeU(), KFbxTexture::eREPEAT);
    EXPECT_EQ(plain->GetDefaultAlpha(), 1.0);
    EXPECT_EQ(plain->GetMaterialUse(), KFbxTexture::eDEFAULT_MATERIAL);

    const KFbxTexture* turned = mScene->FindTextureByName("b.tga");
    ASSERT_NE(turned, nullptr);
    // (-0.5, -0.5) turned by -90 degrees is (-0.5, 0.5), then moved by 0.5.
    EXPECT_NEAR(turned->GetTranslationU(), 0.0, 1e-6);
    EXPECT_NEAR(turned->GetTranslationV(), 1.0, 1e-6);
    EXPECT_NEAR(turned->GetRotationW(), -90.0, 1e-6);
    EXPECT_EQ(turned->GetWrapModeV(), KFbxTexture::eCLAMP);
    EXPECT_EQ(turned->GetMaterialUse(), KFbxTexture::eMODEL_MATERIAL);
}

TEST_F(Reader3dsMeshTest, TexturedFacesShowTheirMaterialsTexture) {
    Mesh box = Box("Box");
    box.mUVs.assign(8, {0.5f, 0.5f});
    box.mGroups.push_back({"Plain", {0, 1}});
    box.mGroups.push_back({"Wood", {2, 3}});
    File file;
    file.Material("Plain").Material("Wood", [](material3ds& material) { SetName(material.texture.name, "w.tga"); });
    file.Add(box);
    KFbxMesh* mesh = ImportMesh(file, "Box");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetTextureCount(), 1);
    EXPECT_EQ(Node("Box")->GetShading(), 4);
    EXPECT_EQ(PolygonIndices(mesh->GetLayer(0)->GetTextures()), std::vector<int>(12, 0));
    EXPECT_EQ(mesh->GetLayerCount(), 1);

    mScene->Clear();
    KFbxStreamOptions3dsReader* options = Options();
    options->SetOption("TEXTURE", false);
    mesh = ImportMesh(file, "Box", options);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetTextureCount(), 0);
    EXPECT_EQ(mScene->GetTextureCount(), 0);
    EXPECT_NE(Node("Box")->GetShading(), 4);
}

TEST_F(Reader3dsMeshTest, SecondTextureGoesOnTopAndTheFirstOneLayerBelow) {
    Mesh box = Box("Box");
    box.mUVs.assign(8, {0.5f, 0.25f});
    box.mGroups.push_back({"Single", {0, 1}});
    box.mGroups.push_back({"Double", {2, 3}});
    File file;
    file.Material("Single", [](material3ds& material) { SetName(material.texture.name, "one.tga"); });
    file.Material("Double", [](material3ds& material) {
        SetName(material.texture.name, "base.tga");
        SetName(material.texture2.name, "decal.tga");
    });
    file.Add(box);
    KFbxMesh* mesh = ImportMesh(file, "Box");
    ASSERT_NE(mesh, nullptr);
    // Layer 0 holds all three textures: one, base, decal.
    ASSERT_EQ(mesh->GetTextureCount(), 3);
    EXPECT_STREQ(mesh->GetTexture(2)->GetName(), "decal.tga");
    ASSERT_EQ(mesh->GetLayerCount(), 2);
    const KFbxLayer* second = mesh->GetLayer(1);
    EXPECT_EQ(PolygonIndices(mesh->GetLayer(0)->GetTextures()),
              (std::vector<int>{0, 0, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(PolygonIndices(second->GetTextures()), (std::vector<int>{0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(PolygonIndices(second->GetMaterials()), PolygonIndices(mesh->GetLayer(0)->GetMaterials()));
    // The second layer's indices name textures and materials it holds.
    EXPECT_EQ(second->GetTextures()->GetDirectArray().GetCount(), 3);
    EXPECT_EQ(second->GetMaterials()->GetDirectArray().GetCount(), 2);
    ASSERT_NE(second->GetUVs(), nullptr);
    EXPECT_EQ(second->GetUVs()->GetDirectArray().GetCount(), 8);
    EXPECT_EQ(PolygonIndices(second->GetUVs()), PolygonIndices(mesh->GetLayer(0)->GetUVs()));
}

// ---- records that name what they do not hold ----------------------------------

class Convert3dsMeshTest : public Reader3dsTest {
protected:
    void SetUp() override {
        Reader3dsTest::SetUp();
        InitMeshObj3ds(&mRecord, 3, 1, 0);
        mRecord->faces[0] = {0, 1, 2, 7};
        mRecord->localmatrix[0] = mRecord->localmatrix[4] = mRecord->localmatrix[8] = 1.0f;
        mMesh = KFbxMesh::Create(mManager, "");
    }
    void TearDown() override {
        ReleaseMeshObj3ds(&mRecord);
        Reader3dsTest::TearDown();
    }

    bool Convert() {
        reader3ds::MeshConversion conversion;
        conversion.mManager = mManager;
        mProblem.clear();
        return reader3ds::ConvertMesh3ds(*mRecord, *mMesh, conversion, mProblem);
    }

    mesh3ds* mRecord = nullptr;
    KFbxMesh* mMesh = nullptr;
    std::string mProblem;
};

TEST_F(Convert3dsMeshTest, FaceNamingAMissingVertexIsRefusedWithTheMeshUntouched) {
    ASSERT_TRUE(Convert());
    mMesh = KFbxMesh::Create(mManager, "");
    mRecord->faces[0].c = 3;
    EXPECT_FALSE(Convert());
    EXPECT_NE(mProblem.find("vertex"), std::string::npos);
    EXPECT_EQ(mMesh->GetControlPointsCount(), 0);
    EXPECT_EQ(mMesh->GetPolygonCount(), 0);
}

TEST_F(Convert3dsMeshTest, CountsBeyondTheirArraysAreRefusedOrLeftOut) {
    mRecord->texvertcount = 3;
    ASSERT_TRUE(Convert()) << mProblem;
    EXPECT_EQ(mMesh->GetTextureUVCount(), 0);
    mMesh = KFbxMesh::Create(mManager, "");
    mRecord->facecount = 2;
    EXPECT_FALSE(Convert());
    mRecord->facecount = 1;
    mRecord->vertexcount = 4;
    EXPECT_FALSE(Convert());
    mRecord->vertexcount = 3;
}

TEST_F(Convert3dsMeshTest, VertexNoFaceUsesKeepsItsPlace) {
    ReleaseMeshObj3ds(&mRecord);
    InitMeshObj3ds(&mRecord, 4, 1, 0);
    mRecord->faces[0] = {0, 1, 2, 7};
    mRecord->vertices[3] = {4.0f, 5.0f, 6.0f};
    mRecord->localmatrix[0] = mRecord->localmatrix[4] = mRecord->localmatrix[8] = 1.0f;
    ASSERT_TRUE(Convert()) << mProblem;
    ASSERT_EQ(mMesh->GetControlPointsCount(), 4);
    EXPECT_TRUE(Near(mMesh->GetControlPoints()[3], 4, 6, -5));
}

TEST_F(Convert3dsMeshTest, MaterialGroupNamingAMissingFaceIsRefused) {
    mRecord->matgroupcount = 1;
    InitMeshObjField3ds(mRecord, MeshFieldMatGroups3ds);
    mRecord->matgroups[0].facecount = 1;
    InitMatArrayIndex3ds(mRecord, 0, 1);
    mRecord->matgroups[0].faces[0] = 1;
    EXPECT_FALSE(Convert());
    EXPECT_NE(mProblem.find("face"), std::string::npos);
    EXPECT_EQ(mMesh->GetPolygonCount(), 0);
}

TEST_F(Convert3dsMeshTest, SplitKeepsEachFaceOnTheControlPointItWasGiven) {
    // Vertex 0 is used by faces of groups 1, then 2, then 3: the third face
    // joins the first copy, and the second face keeps its own.
    ReleaseMeshObj3ds(&mRecord);
    InitMeshObj3ds(&mRecord, 3, 3, MeshFieldSmoothGroups3ds);
    for (int face = 0; face < 3; ++face) {
        mRecord->faces[face] = {0, 1, 2, 7};
    }
    mRecord->smoothgroups[0] = 1;
    mRecord->smoothgroups[1] = 2;
    mRecord->smoothgroups[2] = 3;
    const reader3ds::ControlPointSplit split = reader3ds::SplitBySmoothingGroups(*mRecord, true);
    EXPECT_EQ(split.mSources, (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(split.mCornerPoints, (std::vector<int>{0, 1, 2, 3, 4, 5, 0, 1, 2}));
    const std::set<int> used(split.mCornerPoints.begin(), split.mCornerPoints.end());
    EXPECT_EQ(used.size(), split.mSources.size());
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::reader3dstest
