#include <game/FbxModel.h>
#include <game/LevelSetup.h>

#include <tools/ModelDesigns.h>
#include <tools/ModelScenes.h>
#include <tools/ResourceGenerator.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveKey.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include "SuiteGl.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

using testfiles::TgaHeader;
using testfiles::tgaFile;

namespace {

// A textured quad over four control points, as one polygon of four vertices.
void fillQuad(FbxModel& model) {
    model.controlPoints = {{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}, {0, 1, 0, 1}};
    model.controlNormals = {{0, 0, 1, 0}, {0, 0, 2, 0}, {0, 0, 3, 0}, {0, 0, 4, 0}};
    model.controlPointCount = 4;
    model.uvs = {{0.0, 0.0}, {0.25, 0.5}, {0.5, 0.75}, {1.0, 1.0}};
    model.polygonCount = 1;
    model.polygonSizes = {4};
    model.maxPolygonSize = 4;
    model.vertexIndices = {{0, 1, 2, 3}};
    model.uvIndices = {{3, 2, 1, 0}};
    model.vertexCount = 4;
    model.hasTexture = true;
}

TEST(BuildDrawArrays, TexturedQuadGivesFourEntriesInEachArray) {
    FbxModel model;
    fillQuad(model);
    buildDrawArrays(model);
    EXPECT_EQ(model.positions, (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}));
    EXPECT_EQ(model.normals, (std::vector<float>{0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4}));
    EXPECT_EQ(model.texCoords, (std::vector<float>{1, 1, 0.5f, 0.75f, 0.25f, 0.5f, 0, 0}));
}

TEST(BuildDrawArrays, UntexturedModelLeavesTextureCoordinatesZero) {
    FbxModel model;
    fillQuad(model);
    model.hasTexture = false;
    buildDrawArrays(model);
    EXPECT_EQ(model.texCoords, std::vector<float>(8, 0.0f));
    EXPECT_EQ(model.positions.size(), 12u);
}

TEST(BuildDrawArrays, IndexesOutsideTheMeshReadAsZero) {
    FbxModel model;
    fillQuad(model);
    model.vertexIndices = {{0, -1, 4, 2}};
    model.uvIndices = {{-1, 1, 99}};  // one entry short too
    model.controlNormals.clear();     // a mesh without normals
    buildDrawArrays(model);
    EXPECT_EQ(model.positions, (std::vector<float>{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0}));
    EXPECT_EQ(model.normals, std::vector<float>(12, 0.0f));
    EXPECT_EQ(model.texCoords, (std::vector<float>{0, 0, 0.25f, 0.5f, 0, 0, 0, 0}));
}

TEST(BuildDrawArrays, TablesLongerThanTheVertexCountAreCutOff) {
    FbxModel model;
    fillQuad(model);
    model.vertexCount = 3;
    model.polygonCount = 5;  // more than the sizes table holds
    buildDrawArrays(model);
    EXPECT_EQ(model.positions, (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0}));
    model.vertexCount = -2;
    buildDrawArrays(model);
    EXPECT_TRUE(model.positions.empty());
}

TEST(SetModelFrame, WrapsAndRemembersThePreviousFrame) {
    FbxModel model;
    model.frameCount = 31;
    model.frames.assign(31, std::vector<float>(3, 0.0f));
    for (int i = 0; i < 31; ++i) {
        model.frames[static_cast<std::size_t>(i)][0] = float(i);
    }
    setModelFrame(model, 31);
    EXPECT_EQ(model.frame, 0);
    setModelFrame(model, 45);
    EXPECT_EQ(model.frame, 14);
    EXPECT_EQ(model.previousFrame, 0);
    EXPECT_EQ(currentPositions(model)[0], 14.0f);
    setModelFrame(model, -1);
    EXPECT_EQ(model.frame, 30);
}

TEST(SetModelFrame, ModelWithoutFramesStaysAtFrameZero) {
    FbxModel model;
    model.positions = {1, 2, 3};
    setModelFrame(model, 7);
    EXPECT_EQ(model.frame, 0);
    EXPECT_EQ(currentPositions(model), model.positions);
}

TEST(LoadFbxModel, ReportsTheImportFailureAndLeavesTheModelEmpty) {
    FbxModel model;
    testing::internal::CaptureStdout();
    loadFbxModel("Ressources/bird.fbx", model);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "loading model 'Ressources/bird.fbx'...\nModel 'Ressources/bird.fbx' could not be imported");
    EXPECT_EQ(model.vertexCount, 0);
    EXPECT_EQ(model.polygonCount, 0);
    EXPECT_TRUE(model.positions.empty());
    EXPECT_EQ(model.textureId, 0u);
    EXPECT_EQ(model.scale, 1.0f);
    EXPECT_EQ(model.takeIndex, 2);
}

class ModelImageTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const auto path = folder.path() / name;
        testfiles::writeBytes(path, bytes);
        return path.string();
    }
    std::string loadQuietly(FbxModel& model, const std::string& path, bool& loaded) {
        testing::internal::CaptureStdout();
        loaded = loadModelImage(model, path, nullptr);
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }
    testfiles::TempDir folder;
};

TEST_F(ModelImageTest, TopFirstImageIsTurnedBottomFirstAndKept) {
    TgaHeader header;
    header.width = 1;
    header.height = 2;
    header.descriptor = 0x20;
    const std::string path = write("top.tga", tgaFile(header, {1, 2, 3, 4, 5, 6}));
    FbxModel model;
    bool loaded = false;
    EXPECT_EQ(loadQuietly(model, path, loaded), "");
    ASSERT_TRUE(loaded);
    ASSERT_NE(model.image, nullptr);
    EXPECT_EQ(model.image->width, 1);
    EXPECT_EQ(model.image->height, 2);
    EXPECT_EQ(model.image->pixels, (std::vector<std::uint8_t>{4, 5, 6, 1, 2, 3}));
    EXPECT_EQ(model.images.size(), 1u);
}

TEST_F(ModelImageTest, GreyImageBecomesTwentyFourBits) {
    TgaHeader header;
    header.imageType = 3;
    header.pixelDepth = 8;
    header.width = 2;
    const std::string path = write("grey.tga", tgaFile(header, {7, 9}));
    FbxModel model;
    bool loaded = false;
    loadQuietly(model, path, loaded);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(model.image->pixels, (std::vector<std::uint8_t>{7, 7, 7, 9, 9, 9}));
}

TEST_F(ModelImageTest, MissingFileKeepsTheEarlierImage) {
    TgaHeader header;
    const std::string good = write("good.tga", tgaFile(header, {1, 2, 3}));
    FbxModel model;
    bool loaded = false;
    loadQuietly(model, good, loaded);
    ModelImage* first = model.image;
    const std::string missing = (folder.path() / "missing.tga").string();
    EXPECT_EQ(loadQuietly(model, missing, loaded), "Unable to load the Texture '" + missing + "'");
    EXPECT_FALSE(loaded);
    EXPECT_EQ(model.image, first);
    EXPECT_EQ(model.images.size(), 1u);
}

// ---- loading model files through the SDK ----

namespace fs = std::filesystem;
namespace sdk = fbxsdk_2006_11_1;

// A scene of its own, built in the test and written to a file.
class TestScene {
public:
    TestScene() : owned(sdk::CreateSdkManager()), manager(owned.get()), scene(sdk::KFbxScene::Create(manager, "test")) {}
    // Built straight into the model's scene, as an import would leave it.
    explicit TestScene(FbxModel& model)
        : manager(model.manager.get()), scene(sdk::KFbxScene::Create(manager, "test")) {
        model.scene = scene;
    }

    // A mesh node under the root. With layers: normals by control point,
    // indexed UVs (one per point), one diffuse texture and the material.
    sdk::KFbxMesh* addMesh(const char* name, const std::vector<sdk::KFbxVector4>& points,
                           const std::vector<std::vector<int>>& polygons, bool layers,
                           sdk::KFbxSurfaceMaterial* material = nullptr) {
        sdk::KFbxMesh* mesh = sdk::KFbxMesh::Create(manager, name);
        mesh->InitControlPoints(static_cast<int>(points.size()));
        for (std::size_t i = 0; i < points.size(); ++i) {
            mesh->GetControlPoints()[i] = points[i];
        }
        sdk::KFbxNode* node = sdk::KFbxNode::Create(manager, name);
        node->SetNodeAttribute(mesh);
        scene->GetRootNode()->AddChild(node);
        if (layers) {
            mesh->CreateLayer();
            auto* uvs = new sdk::KFbxLayerElementUV();
            uvs->SetMappingMode(sdk::KFbxLayerElement::eBY_POLYGON_VERTEX);
            uvs->SetReferenceMode(sdk::KFbxLayerElement::eINDEX_TO_DIRECT);
            for (std::size_t i = 0; i < points.size(); ++i) {
                uvs->GetDirectArray().Add(sdk::KFbxVector2(0.25 * static_cast<double>(i), 0.5));
            }
            mesh->GetLayer(0)->SetUVs(uvs);
        }
        for (const auto& polygon : polygons) {
            mesh->BeginPolygon(-1, -1, -1, false);
            for (int v : polygon) {
                mesh->AddPolygonVertex(v, layers ? v : -1);
            }
            mesh->EndPolygon();
        }
        if (layers) {
            mesh->InitNormals(0);
            for (std::size_t i = 0; i < points.size(); ++i) {
                mesh->GetNormals()[i] = sdk::KFbxVector4(0.0, 0.0, 1.0, 0.0);
            }
            sdk::KFbxTexture* texture = sdk::KFbxTexture::Create(manager, "Picture");
            texture->SetFileName("original.tga");
            node->ConnectSrc(texture);
            auto* textures = new sdk::KFbxLayerElementTexture();
            textures->SetMappingMode(sdk::KFbxLayerElement::eALL_SAME);
            textures->GetDirectArray().Add(texture);
            textures->GetIndexArray().Add(0);
            mesh->GetLayer(0)->SetTextures(textures);
            if (material != nullptr) {
                node->ConnectSrc(material);
                auto* materials = new sdk::KFbxLayerElementMaterial();
                materials->SetMappingMode(sdk::KFbxLayerElement::eALL_SAME);
                materials->SetReferenceMode(sdk::KFbxLayerElement::eINDEX_TO_DIRECT);
                materials->GetDirectArray().Add(material);
                materials->GetIndexArray().Add(0);
                mesh->GetLayer(0)->SetMaterials(materials);
            }
        }
        meshNode = node;
        return mesh;
    }

    sdk::KFbxNode* addBone(const char* name, const sdk::KFbxVector4& at) {
        sdk::KFbxSkeleton* limb = sdk::KFbxSkeleton::Create(manager, name);
        limb->SetSkeletonType(sdk::KFbxSkeleton::eLIMB_NODE);
        sdk::KFbxNode* node = sdk::KFbxNode::Create(manager, name);
        node->SetNodeAttribute(limb);
        node->SetLclTranslation(at);
        scene->GetRootNode()->AddChild(node);
        return node;
    }

    // One cluster on the mesh, linked to the bone at rest at its position.
    void addCluster(sdk::KFbxMesh* mesh, sdk::KFbxNode* bone, sdk::KFbxCluster::ELinkMode mode,
                    const std::vector<std::pair<int, double>>& weights) {
        sdk::KFbxSkin* skin = sdk::KFbxSkin::Create(manager, "Skin");
        sdk::KFbxCluster* cluster = sdk::KFbxCluster::Create(manager, "Cluster");
        cluster->SetLink(bone);
        cluster->SetLinkMode(mode);
        for (const auto& [index, weight] : weights) {
            cluster->AddControlPointIndex(index, weight);
        }
        sdk::KFbxVector4 at;
        bone->GetLclTranslation(at);
        sdk::KgeMatrix link;
        link.SetT(at);
        cluster->SetTransformMatrix(sdk::KgeMatrix());
        cluster->SetTransformLinkMatrix(link);
        skin->AddCluster(cluster);
        mesh->AddDeformer(skin);
    }

    // A take over [start, stop] seconds whose keys turn the bone about y.
    void addTurn(sdk::KFbxNode* bone, const char* take, double start, double stop,
                 const std::vector<std::pair<double, float>>& keys) {
        for (int c = 0; c < scene->GetTakeNodeContainerCount(); ++c) {
            scene->GetTakeNodeContainer(c)->CreateTakeNode(take);
        }
        bone->SetCurrentTakeNodeByName(take);
        sdk::KFCurve* curve = bone->GetCurrentTakeNode()->GetEulerRotationY();
        for (const auto& [seconds, degrees] : keys) {
            curve->KeySet(curve->KeyGetCount(), seconds_(seconds), degrees, sdk::KFCURVE_INTERPOLATION_LINEAR);
        }
        sdk::KFbxTakeInfo info;
        info.mName = take;
        info.mLocalTimeSpan.Set(seconds_(start), seconds_(stop));
        info.mReferenceTimeSpan = info.mLocalTimeSpan;
        scene->SetTakeInfo(info);
    }

    bool write(const fs::path& path, bool binary = false) {
        sdk::KFbxExporter* exporter = sdk::KFbxExporter::Create(manager, "");
        exporter->SetFileFormat(binary ? sdk::KFbxFileFormatRegistry::eFBX_BINARY_WRITER
                                       : sdk::KFbxFileFormatRegistry::eFBX_ASCII_WRITER);
        return exporter->Initialize(path.string().c_str()) && exporter->Export(scene);
    }

    static sdk::KTime seconds_(double seconds) {
        return sdk::KTime(static_cast<std::int64_t>(std::llround(seconds * double(sdk::KTime::kTicksPerSecond))));
    }

    std::unique_ptr<sdk::KFbxSdkManager> owned;
    sdk::KFbxSdkManager* manager;
    sdk::KFbxScene* scene;
    sdk::KFbxNode* meshNode = nullptr;
};

const std::vector<sdk::KFbxVector4> trianglePoints = {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}};
const std::vector<sdk::KFbxVector4> quadPoints = {{0, 0, 0, 0}, {2, 0, 0, 0}, {2, 2, 0, 0}, {0, 2, 0, 0}};

class ModelLoadTest : public ::testing::Test {
protected:
    fs::path path(const char* name) const { return folder.path() / name; }

    // Loads without texture (no GL needed) and returns what was printed.
    static std::string load(FbxModel& model, const fs::path& file, bool textured = false) {
        model.hasTexture = textured;
        testing::internal::CaptureStdout();
        loadFbxModel(file.string(), model);
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }

    testfiles::TempDir folder;
};

TEST_F(ModelLoadTest, TheLastMeshChildOfTheRootWinsAndAQuadAddsFourEntries) {
    TestScene built;
    // A plain group first: not a mesh, and skipped whatever the file makes of it.
    built.scene->GetRootNode()->AddChild(sdk::KFbxNode::Create(built.manager, "Group"));
    built.addMesh("First", trianglePoints, {{0, 1, 2}}, true);
    built.addMesh("Second", quadPoints, {{0, 1, 2, 3}}, true);
    ASSERT_TRUE(built.write(path("two.fbx")));

    FbxModel model;
    EXPECT_EQ(load(model, path("two.fbx")), "loading model '" + path("two.fbx").string() + "'...\n");
    EXPECT_EQ(model.controlPointCount, 4);
    EXPECT_EQ(model.polygonCount, 1);
    EXPECT_EQ(model.vertexCount, 4);
    EXPECT_EQ(model.maxPolygonSize, 4);
    EXPECT_EQ(model.positions, (std::vector<float>{0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0}));
    EXPECT_EQ(model.normals.size(), 12u);
    EXPECT_EQ(model.texCoords.size(), 8u);
    EXPECT_EQ(model.normals[2], 1.0f);
    ASSERT_NE(model.meshNode, nullptr);
    EXPECT_STREQ(model.meshNode->GetName(), "Second");
    EXPECT_EQ(model.takeNames, (std::vector<std::string>{"Default"}));
}

TEST_F(ModelLoadTest, LambertMaterialLeavesTheColoursAtZero) {
    TestScene built;
    sdk::KFbxSurfaceLambert* lambert = sdk::KFbxSurfaceLambert::Create(built.manager, "Matte");
    sdk::KFbxTypedProperty<sdk::fbxDouble3>(lambert->GetAmbientColor()).Set(sdk::fbxDouble3(1, 1, 1));
    sdk::KFbxTypedProperty<sdk::fbxDouble3>(lambert->GetDiffuseColor()).Set(sdk::fbxDouble3(1, 1, 1));
    built.addMesh("Mesh", trianglePoints, {{0, 1, 2}}, true, lambert);
    ASSERT_TRUE(built.write(path("lambert.fbx"), true));

    FbxModel model;
    load(model, path("lambert.fbx"));
    EXPECT_EQ(model.vertexCount, 3);
    EXPECT_EQ(model.ambient, (std::array<float, 4>{0, 0, 0, 1}));
    EXPECT_EQ(model.diffuse, (std::array<float, 4>{0, 0, 0, 1}));
    EXPECT_FALSE(model.hasAmbient || model.hasDiffuse || model.hasSpecular || model.hasShininess);
}

TEST_F(ModelLoadTest, PhongColoursAreReadAndAZeroRedMeansNoColour) {
    TestScene built;
    sdk::KFbxSurfacePhong* phong = sdk::KFbxSurfacePhong::Create(built.manager, "Shiny");
    sdk::KFbxTypedProperty<sdk::fbxDouble3>(phong->GetAmbientColor()).Set(sdk::fbxDouble3(0, 1, 0));
    sdk::KFbxTypedProperty<sdk::fbxDouble3>(phong->GetDiffuseColor()).Set(sdk::fbxDouble3(0.5, 0.25, 1));
    sdk::KFbxTypedProperty<sdk::fbxDouble3>(phong->GetSpecularColor()).Set(sdk::fbxDouble3(0.75, 0, 0));
    sdk::KFbxTypedProperty<double>(phong->GetShininess()).Set(8.0);
    built.addMesh("Mesh", trianglePoints, {{0, 1, 2}}, true, phong);
    ASSERT_TRUE(built.write(path("phong.fbx")));

    FbxModel model;
    load(model, path("phong.fbx"));
    EXPECT_FALSE(model.hasAmbient);
    EXPECT_EQ(model.ambient, (std::array<float, 4>{0, 1, 0, 1}));
    EXPECT_TRUE(model.hasDiffuse);
    EXPECT_EQ(model.diffuse, (std::array<float, 4>{0.5f, 0.25f, 1, 1}));
    EXPECT_TRUE(model.hasSpecular);
    EXPECT_TRUE(model.hasShininess);
    EXPECT_EQ(model.shininess, 8.0f);
}

TEST_F(ModelLoadTest, MeshWithoutLayersGetsNormalsAndIsUntextured) {
    TestScene built;
    built.addMesh("Bare", trianglePoints, {{0, 1, 2}}, false);
    ASSERT_TRUE(built.write(path("bare.fbx")));

    FbxModel model;
    model.textureFileName = (folder.path() / "never-read.tga").string();
    const std::string printed = load(model, path("bare.fbx"), true);
    EXPECT_EQ(printed.find("Unable to load"), std::string::npos) << "no texture element, no image to read";
    EXPECT_FALSE(model.hasTexture);
    EXPECT_EQ(model.vertexCount, 3);
    ASSERT_EQ(model.normals.size(), 9u);
    // The triangle lies in z = 0, counter-clockwise seen from +z.
    for (int v = 0; v < 3; ++v) {
        EXPECT_NEAR(model.normals[static_cast<std::size_t>(3 * v + 2)], 1.0f, 1e-6);
    }
    EXPECT_EQ(model.texCoords, std::vector<float>(6, 0.0f));
}

TEST_F(ModelLoadTest, MalformedFilesLoadWithoutCrashing) {
    TestScene built;
    built.addMesh("Mesh", quadPoints, {{0, 1, 2}, {0, 2, 3}}, true);
    ASSERT_TRUE(built.write(path("whole.fbx"), true));
    ASSERT_TRUE(built.write(path("whole-text.fbx"), false));
    const auto binary = testfiles::readBytes(path("whole.fbx"));
    const auto text = testfiles::readBytes(path("whole-text.fbx"));
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
    for (const std::size_t cut : std::vector<std::size_t>{0, 7, binary.size() / 3, binary.size() / 2, binary.size() - 9}) {
        files.push_back({"binary-" + std::to_string(cut) + ".fbx", {binary.begin(), binary.begin() + long(cut)}});
    }
    for (const std::size_t cut : std::vector<std::size_t>{text.size() / 4, text.size() / 2, text.size() - 3}) {
        files.push_back({"text-" + std::to_string(cut) + ".fbx", {text.begin(), text.begin() + long(cut)}});
    }
    std::vector<std::uint8_t> scrambled = binary;
    for (std::size_t i = 40; i < scrambled.size(); i += 23) {
        scrambled[i] = static_cast<std::uint8_t>(scrambled[i] ^ 0xA5);
    }
    files.push_back({"scrambled.fbx", scrambled});
    for (const auto& [name, bytes] : files) {
        testfiles::writeBytes(path(name.c_str()), bytes);
        FbxModel model;
        model.animated = true;
        load(model, path(name.c_str()));
        bakeModelFrames(model);
        // Whatever was read, the arrays agree with the counts.
        EXPECT_EQ(model.positions.size(), 3 * static_cast<std::size_t>(model.vertexCount)) << name;
        EXPECT_EQ(model.frameCount, 0) << name;
        setModelFrame(model, 5);
        EXPECT_EQ(model.frame, 0);
    }
}

// ---- baking ----

struct SkinCase {
    sdk::KFbxCluster::ELinkMode mode;
    double share;  // how far a half-weighted point follows the bone
    bool throughFile;
};

// Whether every cluster of the model's skin still knows its bone.
bool clustersLinked(const FbxModel& model) {
    auto* skin = model.mesh ? dynamic_cast<sdk::KFbxSkin*>(model.mesh->GetDeformer(0, sdk::KFbxDeformer::eSKIN))
                            : nullptr;
    for (int c = 0; skin && c < skin->GetClusterCount(); ++c) {
        if (skin->GetCluster(c)->GetLink() == nullptr) {
            return false;
        }
    }
    return skin != nullptr;
}

class SkinnedModelTest : public ModelLoadTest, public ::testing::WithParamInterface<SkinCase> {};

// Points 0 and 1 follow a bone at (1, 0, 0) that turns 90 degrees about y
// over one second, point 0 with weight 0.5, point 1 fully; point 2 is not
// weighted.
TEST_P(SkinnedModelTest, OneBoneGivesTheAnalyticPositionsAtTheFirstAndLastFrame) {
    FbxModel model;
    {
        auto built = GetParam().throughFile ? std::make_unique<TestScene>() : std::make_unique<TestScene>(model);
        sdk::KFbxMesh* mesh = built->addMesh("Mesh", {{2, 0, 0, 0}, {1, 0, 1, 0}, {0, 3, 0, 0}}, {{0, 1, 2}}, true);
        sdk::KFbxNode* bone = built->addBone("Bone", {1, 0, 0, 0});
        built->addCluster(mesh, bone, GetParam().mode, {{0, 0.5}, {1, 1.0}});
        built->addTurn(bone, "Turn", 0.0, 1.0, {{0.0, 0.0f}, {1.0, 90.0f}});
        if (GetParam().throughFile) {
            ASSERT_TRUE(built->write(path("skinned.fbx")));
            load(model, path("skinned.fbx"));
        } else {
            readModelScene(model);
            buildDrawArrays(model);
        }
    }
    ASSERT_EQ(model.vertexCount, 3);
    ASSERT_TRUE(clustersLinked(model)) << "the cluster keeps its bone";
    model.animated = true;
    bakeModelFrames(model);
    ASSERT_EQ(model.frameCount, 31);
    ASSERT_EQ(model.frames.size(), 31u);
    EXPECT_EQ(model.takeIndex, 1);
    EXPECT_EQ(model.takeStop - model.takeStart, sdk::KTime::kTicksPerSecond);
    const std::vector<float> rest{2, 0, 0, 1, 0, 1, 0, 3, 0};
    for (std::size_t k = 0; k < rest.size(); ++k) {
        EXPECT_NEAR(model.frames[0][k], rest[k], 1e-5) << k;
    }
    // A quarter turn about y at (1, 0, 0): (2, 0, 0) goes to (1, 0, -1) and
    // (1, 0, 1) to (2, 0, 0).
    const double s = GetParam().share;
    const std::vector<float> turned{static_cast<float>(2 - s), 0, static_cast<float>(-s), 2, 0, 0, 0, 3, 0};
    for (std::size_t k = 0; k < turned.size(); ++k) {
        EXPECT_NEAR(model.frames[30][k], turned[k], 1e-5) << k;
    }
}

std::string skinCaseName(const ::testing::TestParamInfo<SkinCase>& info) {
    static const char* const modes[] = {"Normalize", "Additive", "TotalOne"};
    return std::string(modes[info.param.mode]) + (info.param.throughFile ? "ThroughFile" : "InMemory");
}

INSTANTIATE_TEST_SUITE_P(LinkModes, SkinnedModelTest,
                         ::testing::Values(SkinCase{sdk::KFbxCluster::eNORMALIZE, 1.0, false},
                                           SkinCase{sdk::KFbxCluster::eADDITIVE, 0.5, false},
                                           SkinCase{sdk::KFbxCluster::eTOTAL1, 0.5, false},
                                           SkinCase{sdk::KFbxCluster::eNORMALIZE, 1.0, true},
                                           SkinCase{sdk::KFbxCluster::eADDITIVE, 0.5, true},
                                           SkinCase{sdk::KFbxCluster::eTOTAL1, 0.5, true}),
                         skinCaseName);

// A bone at the origin turning point (1, 0, 0) about y by the keys.
class TurnTest : public ModelLoadTest {
protected:
    void bake(double start, double stop, const std::vector<std::pair<double, float>>& keys,
              const std::vector<std::pair<int, double>>& weights = {{0, 1.0}}) {
        TestScene built(model);
        sdk::KFbxMesh* mesh = built.addMesh("Mesh", {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}, {{0, 1, 2}}, true);
        sdk::KFbxNode* bone = built.addBone("Bone", {0, 0, 0, 0});
        built.addCluster(mesh, bone, sdk::KFbxCluster::eNORMALIZE, weights);
        built.addTurn(bone, "Turn", start, stop, keys);
        readModelScene(model);
        buildDrawArrays(model);
        model.animated = true;
        bakeModelFrames(model);
        ASSERT_EQ(model.frameCount, 31);
    }
    // The angle about y of point 0 in a frame, in degrees.
    double angle(int frame) const {
        const auto& f = model.frames[static_cast<std::size_t>(frame)];
        return std::atan2(-f[2], f[0]) * 180.0 / 3.14159265358979323846;
    }
    FbxModel model;
};

TEST_F(TurnTest, TakeFromTwoToFiveSecondsIsBakedFromZeroToThreeSeconds) {
    bake(2.0, 5.0, {{0.0, 0.0f}, {3.0, 90.0f}, {5.0, 90.0f}});
    EXPECT_EQ(model.takeStart, 2 * sdk::KTime::kTicksPerSecond);
    EXPECT_EQ(model.takeStop, 5 * sdk::KTime::kTicksPerSecond);
    EXPECT_NEAR(angle(0), 0.0, 1e-4);
    EXPECT_NEAR(angle(10), 30.0, 1e-3);  // 1 s
    EXPECT_NEAR(angle(30), 90.0, 1e-3);  // 3 s
}

TEST_F(TurnTest, TakeOfSpanZeroGivesThirtyOneFramesAtTimeZero) {
    bake(1.0, 1.0, {{0.0, 45.0f}, {1.0, 90.0f}});
    for (int f = 0; f < 31; ++f) {
        EXPECT_EQ(model.frames[static_cast<std::size_t>(f)], model.frames[0]);
    }
    EXPECT_NEAR(angle(0), 45.0, 1e-3);
}

TEST_F(TurnTest, PointsNoClusterWeightsKeepTheirRestPosition) {
    // Index 7 is outside the mesh's points and must not be written.
    bake(0.0, 1.0, {{0.0, 0.0f}, {1.0, 90.0f}}, {{0, 1.0}, {7, 1.0}, {-1, 1.0}});
    for (int f = 0; f < 31; ++f) {
        const auto& frame = model.frames[static_cast<std::size_t>(f)];
        EXPECT_EQ(std::vector<float>(frame.begin() + 3, frame.end()), (std::vector<float>{0, 1, 0, 0, 0, 1}));
    }
    EXPECT_NEAR(angle(30), 90.0, 1e-3);
    setModelFrame(model, 30);
    EXPECT_EQ(currentPositions(model), model.frames[30]);
}

TEST_F(ModelLoadTest, SceneWithoutSecondTakeOrSkinStaysStatic) {
    TestScene withoutTake;
    sdk::KFbxMesh* mesh = withoutTake.addMesh("Mesh", trianglePoints, {{0, 1, 2}}, true);
    withoutTake.addCluster(mesh, withoutTake.addBone("Bone", {0, 0, 0, 0}), sdk::KFbxCluster::eNORMALIZE, {{0, 1.0}});
    ASSERT_TRUE(withoutTake.write(path("no-take.fbx")));
    TestScene withoutSkin;
    withoutSkin.addMesh("Mesh", trianglePoints, {{0, 1, 2}}, true);
    withoutSkin.addTurn(withoutSkin.addBone("Bone", {0, 0, 0, 0}), "Turn", 0.0, 1.0, {{0.0, 0.0f}, {1.0, 9.0f}});
    ASSERT_TRUE(withoutSkin.write(path("no-skin.fbx")));

    for (const char* name : {"no-take.fbx", "no-skin.fbx"}) {
        FbxModel model;
        load(model, path(name));
        ASSERT_EQ(model.vertexCount, 3);
        model.animated = true;
        bakeModelFrames(model);
        EXPECT_EQ(model.frameCount, 0) << name;
        EXPECT_TRUE(model.frames.empty());
        setModelFrame(model, 12);
        EXPECT_EQ(currentPositions(model), model.positions);
    }
    FbxModel notAnimated;
    load(notAnimated, path("no-take.fbx"));
    bakeModelFrames(notAnimated);
    EXPECT_EQ(notAnimated.frameCount, 0);
}

// The generated creatures baked straight from their scenes: every animated
// design moves, and its last frame comes back to its first.
TEST(GeneratedModels, AnimatedDesignsChangeTheirPoseOverTheTake) {
    for (ModelKind kind : {ModelKind::bird, ModelKind::aggroBird, ModelKind::teapot, ModelKind::demon,
                           ModelKind::demonLow, ModelKind::wizard, ModelKind::carpet}) {
        const ModelDesign design = designModel(kind);
        FbxModel model;
        model.scene = buildModelScene(model.manager.get(), design, "unused.tga");
        ASSERT_NE(model.scene, nullptr);
        readModelScene(model);
        buildDrawArrays(model);
        model.animated = true;
        bakeModelFrames(model);
        ASSERT_EQ(model.frameCount, 31) << design.name;
        EXPECT_EQ(model.takeNames, (std::vector<std::string>{"Default", design.takeName}));
        double largestMove = 0.0;
        for (std::size_t k = 0; k < model.positions.size(); ++k) {
            EXPECT_NEAR(model.frames[0][k], model.frames[30][k], 1e-3) << design.name << " " << k;
            largestMove = std::max(largestMove, double(std::abs(model.frames[7][k] - model.frames[0][k])));
        }
        // At least a twentieth of the model's height.
        double low = 1e30;
        double high = -1e30;
        for (const Point3& point : design.mesh.points) {
            low = std::min(low, point[1]);
            high = std::max(high, point[1]);
        }
        EXPECT_GT(largestMove, 0.05 * (high - low)) << design.name;
    }
}

// ---- textures, with a GL context ----

class TexturedModelTest : public ModelLoadTest {
protected:
    static void SetUpTestSuite() { gl = testfiles::startSuiteGl(8, 8); }
    static void TearDownTestSuite() { testfiles::endSuiteGl(gl); }
    void SetUp() override {
        if (!gl) {
            GTEST_SKIP() << "no X display for GL";
        }
    }
    static OffscreenGl* gl;
};

OffscreenGl* TexturedModelTest::gl = nullptr;

TEST_F(TexturedModelTest, OneFileLoadedForThreeTexturesGivesThreeTextures) {
    TestScene built;
    built.addMesh("Pot", quadPoints, {{0, 1, 2}, {0, 2, 3}}, true);
    ASSERT_TRUE(built.write(path("pot.fbx")));
    std::array<FbxModel, 3> models;
    std::set<GLuint> names;
    for (std::size_t k = 0; k < models.size(); ++k) {
        const auto colour = static_cast<std::uint8_t>(40 * (k + 1));
        const fs::path image = path(("kind" + std::to_string(k) + ".tga").c_str());
        testfiles::writeBytes(image, tgaFile(TgaHeader{}, {colour, 1, 2}));
        models[k].textureFileName = image.string();
        EXPECT_EQ(load(models[k], path("pot.fbx"), true), "loading model '" + path("pot.fbx").string() + "'...\n");
        ASSERT_TRUE(models[k].hasTexture);
        ASSERT_NE(models[k].image, nullptr);
        EXPECT_EQ(models[k].image->pixels, (std::vector<std::uint8_t>{colour, 1, 2}));
        ASSERT_NE(models[k].texture, nullptr);
        EXPECT_EQ(models[k].texture->GetFileName(), image.string());
        EXPECT_EQ(models[k].image->texture, models[k].texture);
        EXPECT_NE(models[k].textureId, 0u);
        names.insert(models[k].textureId);
        EXPECT_EQ(models[k].texCoords.size(), 12u);
        EXPECT_EQ(models[k].texCoords[2], 0.25f);  // the second point's u
    }
    EXPECT_EQ(names.size(), 3u);
}

TEST_F(TexturedModelTest, MissingTextureImageMakesTheModelUntextured) {
    TestScene built;
    built.addMesh("Pot", quadPoints, {{0, 1, 2}, {0, 2, 3}}, true);
    ASSERT_TRUE(built.write(path("pot.fbx")));
    FbxModel model;
    model.textureFileName = path("missing.tga").string();
    const std::string printed = load(model, path("pot.fbx"), true);
    EXPECT_NE(printed.find("Unable to load the Texture '" + model.textureFileName + "'"), std::string::npos);
    EXPECT_FALSE(model.hasTexture);
    EXPECT_EQ(model.textureId, 0u);
    EXPECT_EQ(model.vertexCount, 6);
}

// Every model slot of the level, from the files the resource generator writes.
TEST_F(TexturedModelTest, EveryGeneratedModelSlotLoadsAndAnimatedOnesMove) {
    std::vector<ResourceFile> files;
    for (const ResourceFile& file : resourceFiles()) {
        if (file.path.ends_with(".fbx") || (file.path.ends_with(".tga") && file.path.find("newlevel") == std::string::npos)) {
            files.push_back(file);
        }
    }
    ASSERT_TRUE(generateFiles(folder.path() / "Ressources", files));
    testfiles::WorkingDirectory here(folder.path());
    for (const ModelEntry& entry : modelTable) {
        FbxModel model;
        testing::internal::CaptureStdout();
        loadModelEntry(entry, model);
        std::fflush(stdout);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "loading model '" + std::string(entry.modelFile) + "'...\n");
        EXPECT_EQ(model.scale, entry.scale);
        EXPECT_GT(model.vertexCount, 30) << entry.modelFile;
        EXPECT_EQ(model.vertexCount, 3 * model.polygonCount) << "triangles only";
        EXPECT_TRUE(model.hasTexture) << entry.modelFile;
        EXPECT_NE(model.textureId, 0u);
        EXPECT_TRUE(model.hasDiffuse);
        EXPECT_EQ(model.animated, entry.animated);
        if (!entry.animated) {
            EXPECT_EQ(model.frameCount, 0);
            continue;
        }
        ASSERT_EQ(model.frameCount, 31) << entry.modelFile;
        EXPECT_TRUE(clustersLinked(model)) << entry.modelFile;
        double largestMove = 0.0;
        for (std::size_t k = 0; k < model.frames[0].size(); ++k) {
            largestMove = std::max(largestMove, double(std::abs(model.frames[7][k] - model.frames[0][k])));
            // The first frame is the rest pose: the animation starts there.
        }
        EXPECT_GT(largestMove, 0.01) << entry.modelFile << ": the pose changes";
    }
}

}  // namespace
