#include <tools/ModelDesigns.h>
#include <tools/ModelFiles.h>
#include <tools/ModelScenes.h>
#include <tools/ResourceGenerator.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include "fbx/StableRoundTrip.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

const std::vector<ModelKind> allKinds = {
    ModelKind::cactusHigh, ModelKind::cactusMid,  ModelKind::cactusLow,  ModelKind::bird,
    ModelKind::aggroBird,  ModelKind::teapot,     ModelKind::palmCrown0, ModelKind::palmCrown1,
    ModelKind::palmCrown2, ModelKind::palmTrunk,  ModelKind::demon,      ModelKind::demonLow,
    ModelKind::sandstone,  ModelKind::wizard,     ModelKind::carpet,     ModelKind::wall,
};

struct Extent {
    Point3 low{1e30, 1e30, 1e30};
    Point3 high{-1e30, -1e30, -1e30};
    double size(int axis) const { return high[static_cast<std::size_t>(axis)] - low[static_cast<std::size_t>(axis)]; }
};

Extent extentOf(const ShapeMesh& mesh) {
    Extent extent;
    for (const Point3& point : mesh.points) {
        for (std::size_t k = 0; k < 3; ++k) {
            extent.low[k] = std::min(extent.low[k], point[k]);
            extent.high[k] = std::max(extent.high[k], point[k]);
        }
    }
    return extent;
}

TEST(ModelShapes, ClosedSolidsFaceOutwards) {
    EXPECT_GT(signedVolume6(lathe({{0.0, 0.0}, {1.0, 0.0}, {1.0, 2.0}, {0.0, 2.0}}, 12)), 0.0);
    EXPECT_GT(signedVolume6(ellipsoid({1.0, 2.0, 3.0}, 8, 12)), 0.0);
    EXPECT_GT(signedVolume6(tube({{0, 0, 0}, {1, 1, 0}, {1, 3, 1}}, {0.5, 0.4, 0.3}, 8)), 0.0);
    EXPECT_GT(signedVolume6(box({-1, -2, -3}, {1, 2, 3})), 0.0);
    // A unit cube: six times its volume.
    EXPECT_NEAR(signedVolume6(box({0, 0, 0}, {1, 1, 1})), 6.0, 1e-9);
    ShapeMesh reversed = box({0, 0, 0}, {1, 1, 1});
    reversed.reverseWinding();
    EXPECT_NEAR(signedVolume6(reversed), -6.0, 1e-9);
}

TEST(ModelShapes, TransformsKeepTheVolumeAndMoveThePoints) {
    ShapeMesh cube = box({0, 0, 0}, {1, 1, 1});
    rotated(cube, 1, 90.0);
    translated(cube, {5, 0, 0});
    EXPECT_NEAR(signedVolume6(cube), 6.0, 1e-9);
    const Extent extent = extentOf(cube);
    // A turn of 90 degrees about y takes +x to -z.
    EXPECT_NEAR(extent.low[2], -1.0, 1e-9);
    EXPECT_NEAR(extent.high[2], 0.0, 1e-9);
    EXPECT_NEAR(extent.low[0], 5.0, 1e-9);
    scaled(cube, {2, 3, 4});
    EXPECT_NEAR(signedVolume6(cube), 6.0 * 24.0, 1e-9);
}

TEST(ModelShapes, SheetFacesUpOnTopAndDownBelow) {
    const ShapeMesh rug = sheet(2.0, 3.0, 2, 3, 0.2);
    ASSERT_EQ(rug.triangles.size(), 2u * 2u * 2u * 3u);
    for (const auto& triangle : rug.triangles) {
        const Point3& a = rug.points[static_cast<std::size_t>(triangle[0])];
        const Point3& b = rug.points[static_cast<std::size_t>(triangle[1])];
        const Point3& c = rug.points[static_cast<std::size_t>(triangle[2])];
        const double up = (b[2] - a[2]) * (c[0] - a[0]) - (b[0] - a[0]) * (c[2] - a[2]);
        EXPECT_EQ(up > 0.0, a[1] > 0.0);
    }
}

TEST(ModelDesigns, ShapesAreSizedForTheirScaleAndModest) {
    struct Expectation {
        ModelKind kind;
        int axis;
        double low;
        double high;
    };
    const Expectation sizes[] = {
        {ModelKind::cactusHigh, 1, 4.0, 6.0}, {ModelKind::cactusLow, 1, 4.0, 6.0},
        {ModelKind::bird, 0, 10.0, 20.5},     {ModelKind::bird, 2, 8.0, 20.0},
        {ModelKind::teapot, 1, 1.0, 2.0},     {ModelKind::palmTrunk, 1, 10.0, 13.0},
        {ModelKind::demon, 1, 1.0, 1.5},      {ModelKind::sandstone, 0, 4.0, 8.0},
        {ModelKind::wizard, 1, 40.0, 50.0},   {ModelKind::wall, 0, 3.8, 4.3},
    };
    for (const Expectation& expected : sizes) {
        const double size = extentOf(designModel(expected.kind).mesh).size(expected.axis);
        EXPECT_GE(size, expected.low) << designModel(expected.kind).name;
        EXPECT_LE(size, expected.high) << designModel(expected.kind).name;
    }
    for (ModelKind kind : allKinds) {
        const ModelDesign design = designModel(kind);
        EXPECT_GE(design.mesh.triangles.size(), 12u) << design.name;
        EXPECT_LE(design.mesh.triangles.size(), 4000u) << design.name;
    }
}

TEST(ModelDesigns, DemonAndWizardAreWoundClockwiseTheRestCounterClockwise) {
    for (ModelKind kind : {ModelKind::cactusHigh, ModelKind::bird, ModelKind::teapot, ModelKind::palmTrunk,
                           ModelKind::sandstone, ModelKind::wall}) {
        EXPECT_GT(signedVolume6(designModel(kind).mesh), 0.0) << designModel(kind).name;
    }
    for (ModelKind kind : {ModelKind::demon, ModelKind::demonLow, ModelKind::wizard}) {
        const ModelDesign design = designModel(kind);
        EXPECT_TRUE(design.clockwise);
        EXPECT_LT(signedVolume6(design.mesh), 0.0) << design.name;
    }
}

TEST(ModelDesigns, AnimatedModelsWeightEveryPointFully) {
    for (ModelKind kind : allKinds) {
        const ModelDesign design = designModel(kind);
        const bool animated = !design.bones.empty();
        ASSERT_EQ(design.mesh.weights.size(), design.mesh.points.size());
        for (const auto& list : design.mesh.weights) {
            if (!animated) {
                EXPECT_TRUE(list.empty());
                continue;
            }
            double sum = 0.0;
            for (const BoneWeight& weight : list) {
                EXPECT_GE(weight.bone, 0);
                EXPECT_LT(weight.bone, static_cast<int>(design.bones.size()));
                sum += weight.weight;
            }
            EXPECT_NEAR(sum, 1.0, 1e-12) << design.name;
        }
        if (animated) {
            EXPECT_FALSE(design.takeName.empty());
            EXPECT_GT(design.takeSeconds, 0.0);
            for (std::size_t b = 0; b < design.bones.size(); ++b) {
                EXPECT_LT(design.bones[b].parent, static_cast<int>(b)) << "parents come first";
            }
        }
    }
}

TEST(ModelDesigns, MotionLoopsOverTheTake) {
    for (ModelKind kind : {ModelKind::bird, ModelKind::demon, ModelKind::wizard, ModelKind::carpet}) {
        const ModelDesign design = designModel(kind);
        for (int b = 0; b < static_cast<int>(design.bones.size()); ++b) {
            const Point3 first = boneRotationAt(design, b, 0.0);
            const Point3 last = boneRotationAt(design, b, design.takeSeconds);
            for (std::size_t k = 0; k < 3; ++k) {
                EXPECT_NEAR(first[k], last[k], 1e-9);
            }
        }
    }
    // The wings beat: a quarter cycle in, the left wing is raised.
    const ModelDesign bird = designModel(ModelKind::bird);
    EXPECT_NEAR(boneRotationAt(bird, 1, bird.takeSeconds / (4.0 * bird.cycles))[2], 35.0, 1e-9);
    EXPECT_NEAR(boneRestPosition(bird, 1)[0], 1.8 * 0.5, 1e-12);
    const ModelDesign carpet = designModel(ModelKind::carpet);
    EXPECT_NEAR(boneRestPosition(carpet, 5)[2], 15.0, 1e-12);
}

class ModelSceneTest : public ::testing::Test {
protected:
    std::unique_ptr<KFbxSdkManager> manager{CreateSdkManager()};
};

// The mesh node among the root's children, and its mesh.
KFbxMesh* meshOf(KFbxScene& scene, KFbxNode** meshNode = nullptr) {
    KFbxNode* root = scene.GetRootNode();
    for (int i = 0; i < root->GetChildCount(); ++i) {
        KFbxNode* child = root->GetChild(i);
        EXPECT_NE(child->GetNodeAttribute(), nullptr) << "every child of the root carries an attribute";
        if (child->GetNodeAttribute() && child->GetNodeAttribute()->GetAttributeType() == KFbxNodeAttribute::eMESH) {
            if (meshNode) {
                *meshNode = child;
            }
            return dynamic_cast<KFbxMesh*>(child->GetNodeAttribute());
        }
    }
    return nullptr;
}

TEST_F(ModelSceneTest, StaticModelHoldsWhatTheGameReads) {
    const ModelDesign design = designModel(ModelKind::cactusLow);
    KFbxScene* scene = buildModelScene(manager.get(), design, "cactus_texture.tga");
    ASSERT_NE(scene, nullptr);
    KFbxMesh* mesh = meshOf(*scene);
    ASSERT_NE(mesh, nullptr);
    const int points = mesh->GetControlPointsCount();
    EXPECT_EQ(points, static_cast<int>(design.mesh.points.size()));
    EXPECT_EQ(mesh->GetPolygonCount(), static_cast<int>(design.mesh.triangles.size()));
    for (int p = 0; p < mesh->GetPolygonCount(); ++p) {
        ASSERT_EQ(mesh->GetPolygonSize(p), 3);
        for (int v = 0; v < 3; ++v) {
            const int uv = mesh->GetTextureUVIndex(p, v, KFbxLayerElement::eDIFFUSE_TEXTURES);
            ASSERT_GE(uv, 0);
            ASSERT_LT(uv, mesh->GetTextureUVCount(KFbxLayerElement::eDIFFUSE_TEXTURES));
        }
    }
    const KFbxLayer* layer = mesh->GetLayer(0);
    ASSERT_NE(layer, nullptr);
    ASSERT_NE(layer->GetNormals(), nullptr);
    EXPECT_EQ(layer->GetNormals()->GetMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    EXPECT_EQ(layer->GetNormals()->GetDirectArray().GetCount(), points);
    // The normals of the points polygons use are unit length.
    for (int p = 0; p < mesh->GetPolygonCount(); ++p) {
        for (int v = 0; v < 3; ++v) {
            const KFbxVector4 n = mesh->GetNormals()[mesh->GetPolygonVertex(p, v)];
            EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0, 1e-6);
        }
    }
    ASSERT_NE(layer->GetUVs(), nullptr);
    EXPECT_EQ(layer->GetUVs()->GetReferenceMode(), KFbxLayerElement::eINDEX_TO_DIRECT);
    ASSERT_NE(layer->GetTextures(), nullptr);
    ASSERT_EQ(layer->GetTextures()->GetDirectArray().GetCount(), 1);
    EXPECT_STREQ(layer->GetTextures()->GetDirectArray().GetAt(0)->GetFileName(), "cactus_texture.tga");
    ASSERT_NE(layer->GetMaterials(), nullptr);
    ASSERT_EQ(layer->GetMaterials()->GetDirectArray().GetCount(), 1);
    EXPECT_NE(dynamic_cast<KFbxSurfacePhong*>(layer->GetMaterials()->GetDirectArray().GetAt(0)), nullptr);
    EXPECT_EQ(mesh->GetDeformerCount(KFbxDeformer::eSKIN), 0);
    std::vector<KString*> takes;
    scene->FillTakeNameArray(takes);
    EXPECT_EQ(takes.size(), 1u);
    for (KString* take : takes) {
        delete take;
    }
}

TEST_F(ModelSceneTest, AnimatedModelHasSkinSkeletonAndASecondTakeFromZero) {
    const ModelDesign design = designModel(ModelKind::bird);
    KFbxScene* scene = buildModelScene(manager.get(), design, "birdUVTex.tga");
    ASSERT_NE(scene, nullptr);
    KFbxNode* meshNode = nullptr;
    KFbxMesh* mesh = meshOf(*scene, &meshNode);
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetDeformerCount(KFbxDeformer::eSKIN), 1);
    auto* skin = dynamic_cast<KFbxSkin*>(mesh->GetDeformer(0, KFbxDeformer::eSKIN));
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->GetClusterCount(), 3);
    std::set<int> weighted;
    for (int c = 0; c < skin->GetClusterCount(); ++c) {
        KFbxCluster* cluster = skin->GetCluster(c);
        ASSERT_NE(cluster->GetLink(), nullptr);
        EXPECT_EQ(cluster->GetLinkMode(), KFbxCluster::eNORMALIZE);
        ASSERT_NE(cluster->GetLink()->GetNodeAttribute(), nullptr);
        EXPECT_EQ(cluster->GetLink()->GetNodeAttribute()->GetAttributeType(), KFbxNodeAttribute::eSKELETON);
        for (int k = 0; k < cluster->GetControlPointIndicesCount(); ++k) {
            const int index = cluster->GetControlPointIndices()[k];
            ASSERT_GE(index, 0);
            ASSERT_LT(index, mesh->GetControlPointsCount());
            weighted.insert(index);
        }
    }
    EXPECT_EQ(static_cast<int>(weighted.size()), mesh->GetControlPointsCount());

    std::vector<KString*> takes;
    scene->FillTakeNameArray(takes);
    ASSERT_EQ(takes.size(), 2u);
    EXPECT_STREQ(takes[0]->Buffer(), "Default");
    EXPECT_STREQ(takes[1]->Buffer(), "Flap");
    const KFbxTakeInfo* info = scene->GetTakeInfo(*takes[1]);
    for (KString* take : takes) {
        delete take;
    }
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->mLocalTimeSpan.GetStart().Get(), 0);
    EXPECT_EQ(info->mLocalTimeSpan.GetStop().Get(), KTime::kTicksPerSecond);

    // The wing moves in the take: its global transform differs between two times.
    ASSERT_TRUE(scene->SetCurrentTake("Flap"));
    KFbxNode* wing = skin->GetCluster(1)->GetLink();
    const KgeMatrix atStart = wing->EvaluateGlobalTransform(KTime(0));
    const KgeMatrix quarter = wing->EvaluateGlobalTransform(KTime(KTime::kTicksPerSecond / 8));
    EXPECT_TRUE(atStart != quarter);
    EXPECT_NEAR(atStart[3][0], 1.8 * 0.5, 1e-6) << "the wing's shoulder at rest";
}

TEST(ModelFiles, SixteenFilesInTheGeneratorsList) {
    EXPECT_EQ(modelFiles().size(), 16u);
    std::set<std::string> paths;
    bool someBinary = false;
    bool someText = false;
    for (const ModelFile& file : modelFiles()) {
        paths.insert(file.path);
        (file.binary ? someBinary : someText) = true;
    }
    EXPECT_EQ(paths.size(), 16u);
    EXPECT_TRUE(someBinary);
    EXPECT_TRUE(someText);
    std::set<std::string> listed;
    for (const ResourceFile& file : resourceFiles()) {
        listed.insert(file.path);
    }
    for (const std::string& path : paths) {
        EXPECT_TRUE(listed.count(path)) << path;
    }
}

TEST(ModelFiles, BinaryAndTextFilesAreWritten) {
    for (const ModelFile& file : modelFiles()) {
        if (file.kind != ModelKind::wall && file.kind != ModelKind::carpet) {
            continue;
        }
        const std::vector<std::uint8_t> bytes = modelFileBytes(file);
        ASSERT_GT(bytes.size(), 1000u) << file.path;
        const std::string whole(bytes.begin(), bytes.end());
        const bool hasZeroByte = whole.find('\0') != std::string::npos;
        EXPECT_EQ(hasZeroByte, file.binary) << file.path;
        if (!file.binary) {
            EXPECT_NE(whole.find("FBXVersion: 6100"), std::string::npos);
        }
    }
}

TEST(ModelFiles, EveryWriteGivesTheSameBytesWithNoTemporaryPath) {
    const std::string temporary = std::filesystem::temp_directory_path().string();
    for (const ModelFile& file : modelFiles()) {
        const std::vector<std::uint8_t> first = modelFileBytes(file);
        ASSERT_FALSE(first.empty()) << file.path;
        EXPECT_TRUE(first == modelFileBytes(file)) << file.path;
        const std::string text(first.begin(), first.end());
        EXPECT_EQ(text.find(temporary), std::string::npos) << file.path;
        EXPECT_EQ(text.find(".fbm"), std::string::npos) << file.path;
    }
}

TEST(ModelFiles, EveryModelIsWrittenAgainByteForByteAfterARead) {
    for (const ModelFile& file : modelFiles()) {
        const std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
        ASSERT_TRUE(manager);
        KFbxScene* scene = buildModelScene(manager.get(), designModel(file.kind), file.textureName);
        ASSERT_NE(scene, nullptr) << file.path;
        ScratchFolder folder;
        const stableroundtrip::Texts texts = stableroundtrip::WriteReadWrite(*manager, *scene, folder.Path());
        ASSERT_FALSE(texts.first.empty()) << file.path;
        EXPECT_EQ(stableroundtrip::FirstDifference(texts.first, texts.second), "") << file.path;
    }
}

}  // namespace
