// Every geometry, material, texture and deformer class is made through the
// manager by class id, comes out of the class it was asked for, and works
// with an internal twin of its own class (or of the nearest ancestor that
// has one), whatever its base constructors did first.
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/geometry/KFbxCache.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometryBase.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>
#include <fbxfilesdk/geometry/KFbxLayerContainer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSubDeformer.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;

namespace {

class KFbxClassIdentityTest : public ::testing::Test {
protected:
    void SetUp() override {
        mManager = CreateSdkManager();
        ASSERT_NE(mManager, nullptr);
    }
    void TearDown() override { delete mManager; }

    KFbxSdkManager* mManager = nullptr;
};

struct Expected {
    const char* mName;
    const KFbxClassId& mClassId;
    const KPlugClassInfo* mTwinClass;
};

TEST_F(KFbxClassIdentityTest, EachClassMadeByIdIsOfItsClassWithItsOwnTwin) {
    // Layer containers, geometry bases, Lambert and Phong have no twin class
    // of their own: they keep their nearest ancestor's.
    const Expected kClasses[] = {
        {"KFbxLayerContainer", KFbxLayerContainer::ClassId, &gKFbxNodeAttribute_internalClassInfo},
        {"KFbxGeometryBase", KFbxGeometryBase::ClassId, &gKFbxNodeAttribute_internalClassInfo},
        {"KFbxGeometry", KFbxGeometry::ClassId, &gKFbxGeometry_internalClassInfo},
        {"KFbxMesh", KFbxMesh::ClassId, &gKFbxMesh_internalClassInfo},
        {"KFbxShape", KFbxShape::ClassId, &gKFbxShape_internalClassInfo},
        {"KFbxSurfaceMaterial", KFbxSurfaceMaterial::ClassId, &gKFbxSurfaceMaterial_internalClassInfo},
        {"KFbxSurfaceLambert", KFbxSurfaceLambert::ClassId, &gKFbxSurfaceMaterial_internalClassInfo},
        {"KFbxSurfacePhong", KFbxSurfacePhong::ClassId, &gKFbxSurfaceMaterial_internalClassInfo},
        {"KFbxTexture", KFbxTexture::ClassId, &gKFbxTexture_internalClassInfo},
        {"KFbxDeformer", KFbxDeformer::ClassId, &gKFbxDeformer_internalClassInfo},
        {"KFbxSubDeformer", KFbxSubDeformer::ClassId, &gKFbxSubDeformer_internalClassInfo},
        {"KFbxSkin", KFbxSkin::ClassId, &gKFbxSkin_internalClassInfo},
        {"KFbxCluster", KFbxCluster::ClassId, &gKFbxCluster_internalClassInfo},
        {"KFbxVertexCacheDeformer", KFbxVertexCacheDeformer::ClassId, &gKFbxVertexCacheDeformer_internalClassInfo},
        {"KFbxCache", KFbxCache::ClassId, &gKFbxCache_internalClassInfo},
        {"KFbxGeometryWeightedMap", KFbxGeometryWeightedMap::ClassId, &gKFbxGeometryWeightedMap_internalClassInfo},
    };
    for (const Expected& expected : kClasses) {
        SCOPED_TRACE(expected.mName);
        ASSERT_NE(expected.mClassId, KFbxClassId());
        KFbxPlug* plug = CreateObjectOfClass(mManager, expected.mClassId, "made");
        ASSERT_NE(plug, nullptr);
        auto* object = dynamic_cast<KFbxObject*>(plug);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->GetClassId(), expected.mClassId);
        EXPECT_EQ(object->GetRuntimeClassId(), expected.mClassId);
        EXPECT_STREQ(object->GetClassId().GetName(), expected.mName);
        ASSERT_NE(object->GetInternalObject(), nullptr);
        EXPECT_EQ(object->GetInternalObject()->GetClassInfo(), expected.mTwinClass);
        EXPECT_EQ(object->GetInternalObject()->GetPublicObject(), object);
        object->Destroy();
    }
    EXPECT_EQ(mManager->GetObjectCount(), 0);
}

TEST_F(KFbxClassIdentityTest, AMeshMadeByIdWorksWithTheMeshTwinThatCarriesTheColour) {
    KFbxMesh* mesh = KFbxMesh::Create(mManager, "mesh");
    ASSERT_NE(mesh, nullptr);
    KFbxObject_internal* twin = mesh->GetInternalObject();
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->GetClassInfo(), &gKFbxMesh_internalClassInfo);
    // The mesh twin derives from the geometry and attribute twins.
    EXPECT_TRUE(twin->IsType(gKFbxGeometry_internalClassInfo.GetId()));
    EXPECT_TRUE(twin->IsType(gKFbxNodeAttribute_internalClassInfo.GetId()));
    EXPECT_FALSE(twin->IsType(gKFbxShape_internalClassInfo.GetId()));

    // The colour registered by the attribute base before the twin existed is
    // bound to it with its default, and follows later changes.
    ASSERT_NE(twin->FindProperty("Color"), nullptr);
    fbxDouble3 colour;
    ASSERT_TRUE(mesh->Color.Get(&colour, eFbxValueDouble3));
    EXPECT_DOUBLE_EQ(colour[0], 0.8);
    const fbxDouble3 red(1.0, 0.0, 0.0);
    ASSERT_TRUE(mesh->Color.Set(&red, eFbxValueDouble3));
    ASSERT_TRUE(mesh->Color.Get(&colour, eFbxValueDouble3));
    EXPECT_DOUBLE_EQ(colour[0], 1.0);
    EXPECT_DOUBLE_EQ(colour[1], 0.0);

    // Creating the twin again keeps the one there is.
    EXPECT_EQ(mesh->CreateInternal(), mesh->GetInternalPlug());
    EXPECT_EQ(mesh->GetInternalObject(), twin);
}

TEST_F(KFbxClassIdentityTest, ClonedAttributesGetTheirClassTwinToo) {
    KFbxMesh* mesh = KFbxMesh::Create(mManager, "mesh");
    ASSERT_NE(mesh, nullptr);
    KFbxNodeAttribute* copy = mesh->Clone(2);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetClassId(), KFbxMesh::ClassId);
    ASSERT_NE(copy->GetInternalObject(), nullptr);
    EXPECT_EQ(copy->GetInternalObject()->GetClassInfo(), &gKFbxMesh_internalClassInfo);
}

TEST_F(KFbxClassIdentityTest, TheAttributeBaseIsNotMadeByItsClassId) {
    ASSERT_NE(KFbxNodeAttribute::ClassId, KFbxClassId());
    EXPECT_EQ(CreateObjectOfClass(mManager, KFbxNodeAttribute::ClassId, "attribute"), nullptr);
    EXPECT_EQ(mManager->GetObjectCount(), 0);
    // Neither is a class registered under it without create function of its own.
    const KFbxClassId bare = RegisterClass(mManager, "TestBareAttribute", KFbxNodeAttribute::ClassId, nullptr,
                                           nullptr, nullptr);
    ASSERT_NE(bare, KFbxClassId());
    EXPECT_EQ(CreateObjectOfClass(mManager, bare, "bare"), nullptr);
    EXPECT_EQ(mManager->GetObjectCount(), 0);
    // Its kinds still are.
    EXPECT_NE(CreateObjectOfClass(mManager, KFbxMesh::ClassId, "mesh"), nullptr);
    EXPECT_EQ(mManager->GetObjectCount(KFbxNodeAttribute::ClassId), 1);
}

TEST_F(KFbxClassIdentityTest, PropertiesOfDeformerKindsBindToTheirTwin) {
    auto* cluster = static_cast<KFbxCluster*>(CreateObjectOfClass(mManager, KFbxCluster::ClassId, "cluster"));
    auto* cache = static_cast<KFbxVertexCacheDeformer*>(
        CreateObjectOfClass(mManager, KFbxVertexCacheDeformer::ClassId, "cache"));
    ASSERT_NE(cluster, nullptr);
    ASSERT_NE(cache, nullptr);
    EXPECT_NE(cluster->GetInternalObject()->FindProperty("SrcModelReference"), nullptr);
    EXPECT_NE(cache->GetInternalObject()->FindProperty("Channel"), nullptr);
    EXPECT_NE(cache->GetInternalObject()->FindProperty("Active"), nullptr);
}

TEST_F(KFbxClassIdentityTest, ObjectsOfEveryClassDieWithTheirNodeAndManager) {
    KFbxNode* node = KFbxNode::Create(mManager, "node");
    KFbxMesh* mesh = KFbxMesh::Create(mManager, "mesh");
    KFbxSkin* skin = KFbxSkin::Create(mManager, "skin");
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "cluster");
    ASSERT_NE(node, nullptr);
    ASSERT_NE(mesh, nullptr);
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(cluster, nullptr);
    ASSERT_TRUE(node->AddNodeAttribute(mesh));
    ASSERT_GE(mesh->AddDeformer(skin), 0);
    ASSERT_EQ(skin->AddCluster(cluster), 0);
    ASSERT_NE(KFbxTexture::Create(mManager, "loose texture"), nullptr);
    ASSERT_NE(KFbxSurfacePhong::Create(mManager, "loose phong"), nullptr);
    // The node takes its mesh, the mesh its skin, the skin its cluster.
    node->Destroy();
    EXPECT_EQ(mManager->GetObjectCount(KFbxNodeAttribute::ClassId), 0);
    EXPECT_EQ(mManager->GetObjectCount(KFbxDeformer::ClassId), 0);
    EXPECT_EQ(mManager->GetObjectCount(KFbxSubDeformer::ClassId), 0);
    // The rest goes with the manager, which the sanitized build checks.
    EXPECT_EQ(mManager->GetObjectCount(), 2);
}

}  // namespace
