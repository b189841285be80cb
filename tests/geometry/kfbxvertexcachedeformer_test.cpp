#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/geometry/KFbxCache.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>
#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>
#include <fbxfilesdk/geometry/KFbxWeightedMapping.h>

#include "geometry/GeometryTestSupport.h"
#include "geometry/RegisterTestClasses.h"

#include <gtest/gtest.h>

#include <memory>

namespace fbxsdk_2006_11_1::geometrytest {
namespace {

class CacheTest : public GeometryTest {
protected:
    void SetUp() override {
        GeometryTest::SetUp();
        RegisterDeformerClasses(mManager);
    }
};

TEST_F(CacheTest, VertexCacheDeformerKeepsChannelAndActiveFlagAsProperties) {
    KFbxMesh* mesh = MakeMesh({KFbxVector4(0, 0, 0, 0)});
    KFbxVertexCacheDeformer* deformer = KFbxVertexCacheDeformer::Create(mManager, "cached");
    ASSERT_TRUE(mesh != nullptr && deformer != nullptr);
    EXPECT_EQ(deformer->GetDeformerType(), KFbxDeformer::eVERTEX_CACHE);
    EXPECT_STREQ(deformer->GetTypeName(), "VertexCache");
    EXPECT_FALSE(deformer->IsActive());
    deformer->SetCacheChannel("points");
    deformer->SetActive(true);
    EXPECT_STREQ(deformer->GetCacheChannel().Buffer(), "points");
    EXPECT_TRUE(deformer->IsActive());
    EXPECT_STREQ(deformer->FindProperty("Channel").GetString().Buffer(), "points");
    EXPECT_TRUE(deformer->FindProperty("Active").IsValid());

    // Deformers are told apart by type.
    EXPECT_EQ(mesh->AddDeformer(deformer), 0);
    EXPECT_EQ(mesh->GetDeformerCount(KFbxDeformer::eVERTEX_CACHE), 1);
    EXPECT_EQ(mesh->GetDeformerCount(KFbxDeformer::eSKIN), 0);
    EXPECT_EQ(mesh->GetDeformer(0, KFbxDeformer::eVERTEX_CACHE), deformer);
    EXPECT_EQ(mesh->GetDeformer(0, KFbxDeformer::eSKIN), nullptr);
    EXPECT_EQ(mesh->GetDeformer(0, 7), nullptr);
    mesh->Destroy();
    EXPECT_EQ(mManager->GetObjectCount(KFbxVertexCacheDeformer::ClassId), 0);
}

TEST_F(CacheTest, CacheCarriesItsProperties) {
    KFbxCache* cache = KFbxCache::Create(mManager, "recording");
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->GetObjectTypeCode(), 21);
    EXPECT_STREQ(cache->GetTypeName(), "Cache");
    KFbxProperty file = KFbxProperty::Create(cache, "CacheFile", gKFbxDataTypeKString, "");
    const KString name("run.pc2");
    ASSERT_TRUE(file.Set(&name, eFbxValueString));
    EXPECT_STREQ(cache->FindProperty("CacheFile").GetString().Buffer(), "run.pc2");
    cache->Destroy();
}

TEST_F(CacheTest, WeightedMappingIsSeenFromBothEnds) {
    KFbxWeightedMapping mapping(2, 3);
    EXPECT_TRUE(mapping.Add(0, 2, 0.25));
    EXPECT_TRUE(mapping.Add(0, 1, 0.75));
    EXPECT_TRUE(mapping.Add(1, 2, 1.0));
    EXPECT_FALSE(mapping.Add(2, 0, 1.0));
    EXPECT_FALSE(mapping.Add(0, -1, 1.0));
    EXPECT_EQ(mapping.GetElementCount(KFbxWeightedMapping::eSOURCE), 2);
    EXPECT_EQ(mapping.GetElementCount(KFbxWeightedMapping::eDESTINATION), 3);
    EXPECT_EQ(mapping.GetElementCount(2), 0);
    EXPECT_EQ(mapping.GetRelations(0, 0), 2);
    EXPECT_EQ(mapping.GetRelation(0, 0, 1).mIndex, 1);
    EXPECT_DOUBLE_EQ(mapping.GetRelation(0, 0, 1).mWeight, 0.75);
    EXPECT_EQ(mapping.GetRelations(1, 2), 2);
    EXPECT_EQ(mapping.GetRelation(1, 2, 1).mIndex, 1);
    EXPECT_EQ(mapping.GetRelations(1, 0), 0);
    EXPECT_EQ(mapping.GetRelations(1, 5), 0);
    EXPECT_EQ(mapping.GetRelation(0, 0, 2).mIndex, -1);
    EXPECT_TRUE(mapping.Reset(1, 1));
    EXPECT_EQ(mapping.GetRelations(0, 0), 0);
}

TEST_F(CacheTest, WeightedMapHoldsItsMappingAndIsOwnedByItsGeometry) {
    KFbxMesh* mesh = MakeMesh();
    KFbxGeometryWeightedMap* map = KFbxGeometryWeightedMap::Create(mManager, "map");
    ASSERT_TRUE(mesh != nullptr && map != nullptr);
    EXPECT_EQ(map->GetValues(), nullptr);
    auto mapping = std::make_unique<KFbxWeightedMapping>(1, 1);
    mapping->Add(0, 0, 0.5);
    map->SetValues(std::move(mapping));
    ASSERT_NE(map->GetValues(), nullptr);
    EXPECT_DOUBLE_EQ(map->GetValues()->GetRelation(1, 0, 0).mWeight, 0.5);
    EXPECT_EQ(map->GetObjectTypeCode(), 16);
    ASSERT_TRUE(mesh->ConnectSrc(map));
    mesh->Destroy();
    EXPECT_EQ(mManager->GetObjectCount(KFbxGeometryWeightedMap::ClassId), 0);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::geometrytest
