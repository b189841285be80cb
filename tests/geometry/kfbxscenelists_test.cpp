// The scene lists the materials, textures and geometries connected to it,
// directly or through its nodes, and takes them with it when destroyed.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;

namespace {

class KFbxSceneListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        mManager = CreateSdkManager();
        ASSERT_NE(mManager, nullptr);
        mScene = KFbxScene::Create(mManager, "scene");
        ASSERT_NE(mScene, nullptr);
    }
    void TearDown() override { delete mManager; }

    KFbxSdkManager* mManager = nullptr;
    KFbxScene* mScene = nullptr;
};

TEST_F(KFbxSceneListsTest, AnEmptySceneListsNothing) {
    EXPECT_EQ(mScene->GetMaterialCount(), 0);
    EXPECT_EQ(mScene->GetTextureCount(), 0);
    EXPECT_EQ(mScene->GetGeometryCount(), 0);
    EXPECT_EQ(mScene->GetMaterial(0), nullptr);
    EXPECT_EQ(mScene->GetTexture(-1), nullptr);
    EXPECT_EQ(mScene->GetGeometry(0), nullptr);
    EXPECT_EQ(mScene->FindMaterialByName("none"), nullptr);
    EXPECT_EQ(mScene->FindTextureByName(""), nullptr);
}

TEST_F(KFbxSceneListsTest, MaterialsOfEveryKindAndTexturesAreListedInConnectionOrder) {
    KFbxSurfaceMaterial* plain = KFbxSurfaceMaterial::Create(mManager, "plain");
    KFbxSurfaceLambert* lambert = KFbxSurfaceLambert::Create(mManager, "shared");
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "shared");
    KFbxTexture* texture = KFbxTexture::Create(mManager, "wood");
    KFbxSurfaceMaterial* elsewhere = KFbxSurfaceMaterial::Create(mManager, "elsewhere");
    ASSERT_TRUE(mScene->ConnectObject(plain));
    ASSERT_TRUE(mScene->ConnectObject(lambert));
    ASSERT_TRUE(mScene->ConnectObject(phong));
    ASSERT_TRUE(mScene->ConnectObject(texture));
    ASSERT_NE(elsewhere, nullptr);

    ASSERT_EQ(mScene->GetMaterialCount(), 3);
    EXPECT_EQ(mScene->GetMaterial(0), plain);
    EXPECT_EQ(mScene->GetMaterial(1), lambert);
    EXPECT_EQ(mScene->GetMaterial(2), phong);
    EXPECT_EQ(mScene->GetMaterial(3), nullptr);
    // Of equal names the first connected wins; a texture is no material.
    EXPECT_EQ(mScene->FindMaterialByName("shared"), lambert);
    EXPECT_EQ(mScene->FindMaterialByName("wood"), nullptr);
    EXPECT_EQ(mScene->FindMaterialByName("elsewhere"), nullptr);
    ASSERT_EQ(mScene->GetTextureCount(), 1);
    EXPECT_EQ(mScene->GetTexture(0), texture);
    EXPECT_EQ(mScene->FindTextureByName("wood"), texture);
    EXPECT_EQ(mScene->GetGeometryCount(), 0);
}

TEST_F(KFbxSceneListsTest, GeometriesJoinThroughTheirNodesAndShapesAreNotGeometries) {
    KFbxNode* node = KFbxNode::Create(mManager, "node");
    KFbxMesh* mesh = KFbxMesh::Create(mManager, "mesh");
    KFbxShape* shape = KFbxShape::Create(mManager, "shape");
    ASSERT_NE(node, nullptr);
    ASSERT_NE(mesh, nullptr);
    ASSERT_NE(shape, nullptr);
    ASSERT_TRUE(mScene->GetRootNode()->AddChild(node));
    ASSERT_TRUE(node->AddNodeAttribute(mesh));
    ASSERT_TRUE(mScene->ConnectObject(shape));

    ASSERT_EQ(mScene->GetGeometryCount(), 1);
    EXPECT_EQ(mScene->GetGeometry(0), mesh);
    EXPECT_EQ(mScene->GetGeometry(1), nullptr);
}

TEST_F(KFbxSceneListsTest, SourceMaterialsAndTexturesOfAnyObject) {
    KFbxNode* node = KFbxNode::Create(mManager, "node");
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "phong");
    KFbxTexture* texture = KFbxTexture::Create(mManager, "texture");
    ASSERT_NE(node, nullptr);
    ASSERT_TRUE(node->ConnectSrc(texture));
    ASSERT_TRUE(node->ConnectSrc(phong));

    EXPECT_EQ(GetSrcMaterial(node, 0), phong);
    EXPECT_EQ(GetSrcMaterial(node, 1), nullptr);
    EXPECT_EQ(GetSrcMaterial(node, -1), nullptr);
    EXPECT_EQ(GetSrcTexture(node, 0), texture);
    EXPECT_EQ(GetSrcMaterial(nullptr, 0), nullptr);
    EXPECT_EQ(GetSrcTexture(nullptr, 0), nullptr);
    // The node joined no scene, so the scene lists none of them.
    EXPECT_EQ(mScene->GetMaterialCount(), 0);
}

TEST_F(KFbxSceneListsTest, DestroyingTheSceneTakesItsMaterialsTexturesAndGeometries) {
    KFbxNode* node = KFbxNode::Create(mManager, "node");
    KFbxMesh* mesh = KFbxMesh::Create(mManager, "mesh");
    ASSERT_TRUE(mScene->GetRootNode()->AddChild(node));
    ASSERT_TRUE(node->AddNodeAttribute(mesh));
    ASSERT_TRUE(mScene->ConnectObject(KFbxSurfacePhong::Create(mManager, "phong")));
    ASSERT_TRUE(mScene->ConnectObject(KFbxTexture::Create(mManager, "texture")));
    KFbxTexture* loose = KFbxTexture::Create(mManager, "loose");
    ASSERT_NE(loose, nullptr);

    mScene->Destroy();
    EXPECT_EQ(mManager->GetObjectCount(KFbxSurfaceMaterial::ClassId), 0);
    EXPECT_EQ(mManager->GetObjectCount(KFbxGeometry::ClassId), 0);
    EXPECT_EQ(mManager->GetObjectCount(KFbxNode::ClassId), 0);
    // What never joined the scene stays with the manager.
    EXPECT_EQ(mManager->GetObjectCount(KFbxTexture::ClassId), 1);
    EXPECT_EQ(mManager->FindObjectByName(KFbxTexture::ClassId, "loose"), loose);
}

}  // namespace
