// Skins, clusters, shapes, caches and weighted maps as the FBX 6 writer stores them.
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxCache.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>
#include <fbxfilesdk/geometry/KFbxWeightedMapping.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include "Fbx6WriterSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::fbx6test {
namespace {

KFbxVector4 V(double x, double y, double z) { return KFbxVector4(x, y, z, 0.0); }

KgeMatrix Trs(KFbxVector4 t, KFbxVector4 r, KFbxVector4 s) {
    KgeMatrix matrix;
    matrix.SetTRS(t, r, s);
    return matrix;
}

class Fbx6DeformersTest : public Fbx6WriterTest {
protected:
    // The doubles of a field, at the top level or in the named block.
    std::vector<double> ReadDoubles(const char* name, const char* block = nullptr) {
        KFbx file;
        std::vector<double> values;
        if (!Open(file)) return values;
        if (block != nullptr && (!file.FieldReadBegin(block) || !file.FieldReadBlockBegin())) return values;
        if (!file.FieldReadBegin(name)) return values;
        while (file.FieldGetRemainingValueCount() > 0) values.push_back(file.FieldReadD());
        return values;
    }

    static void ExpectMatrix(const std::vector<double>& actual, const double (&expected)[16]) {
        ASSERT_EQ(actual.size(), 16u);
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[static_cast<std::size_t>(i)], expected[i], 1e-9) << i;
    }

    KFbxMesh* MakeQuad() {
        KFbxMesh* mesh = KFbxMesh::Create(mManager, "quad");
        mesh->InitControlPoints(4);
        const KFbxVector4 points[4] = {V(0, 0, 0), V(1, 0, 0), V(1, 1, 0), V(0, 1, 0)};
        for (int i = 0; i < 4; ++i) mesh->GetControlPoints()[i] = points[i];
        mesh->InitNormals(0);
        for (int i = 0; i < 4; ++i) mesh->GetNormals()[i] = V(0, 0, 1);
        return mesh;
    }

    KFbxShape* MakeShape(int count) {
        KFbxShape* shape = KFbxShape::Create(mManager, "shape");
        shape->InitControlPoints(count);
        return shape;
    }
};

// The link is turned a quarter about z, stretched twice along its x axis and
// moved to (1, 2, 3); the geometry sits at (5, 0, 0). Worked by hand: the
// geometry's axes seen from the link are x -> (0, -1, 0), y -> (0.5, 0, 0),
// z -> (0, 0, 1), and its origin is the link point (-1, -4, -3), since
// -1 * (0, 2, 0) + -4 * (-1, 0, 0) + -3 * (0, 0, 1) + (1, 2, 3) = (5, 0, 0).
TEST_F(Fbx6DeformersTest, ClusterTransformIsTheGeometryPlacementSeenFromTheLink) {
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "cluster");
    cluster->SetTransformLinkMatrix(Trs(V(1, 2, 3), V(0, 0, 90), V(2, 1, 1)));
    cluster->SetTransformMatrix(Trs(V(5, 0, 0), V(0, 0, 0), V(1, 1, 1)));
    Write([&](KFbxWriterFbx6& writer) { writer.WriteCluster(*cluster); });
    const double expected[16] = {0, -1, 0, 0, 0.5, 0, 0, 0, 0, 0, 1, 0, -1, -4, -3, 1};
    ExpectMatrix(ReadDoubles("Transform"), expected);
    const double link[16] = {0, 2, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
    ExpectMatrix(ReadDoubles("TransformLink"), link);
}

TEST_F(Fbx6DeformersTest, TransformEqualToItsStretchedLinkIsTheIdentity) {
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "cluster");
    const KgeMatrix link = Trs(V(4, -2, 7), V(30, 45, 60), V(3, 0.5, 2));
    cluster->SetTransformLinkMatrix(link);
    cluster->SetTransformMatrix(link);
    Write([&](KFbxWriterFbx6& writer) { writer.WriteCluster(*cluster); });
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ExpectMatrix(ReadDoubles("Transform"), identity);
}

TEST_F(Fbx6DeformersTest, ShearIsDroppedFromStoredMatrices) {
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "cluster");
    KgeMatrix sheared;
    sheared[1][0] = 0.5;  // y axis leaning along x
    cluster->SetTransformLinkMatrix(sheared);
    Write([&](KFbxWriterFbx6& writer) { writer.WriteCluster(*cluster); });
    const std::vector<double> link = ReadDoubles("TransformLink");
    ASSERT_EQ(link.size(), 16u);
    // The axes come back orthogonal, each keeping its length.
    const double dot = link[0] * link[4] + link[1] * link[5] + link[2] * link[6];
    EXPECT_NEAR(dot, 0.0, 1e-9);
    EXPECT_NEAR(link[4] * link[4] + link[5] * link[5] + link[6] * link[6], 1.25, 1e-9);
}

TEST_F(Fbx6DeformersTest, ClusterRecordGolden) {
    KFbxNode* bone = KFbxNode::Create(mManager, "Bone");
    KFbxNode* hips = KFbxNode::Create(mManager, "Hips");
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "Cluster Bone");
    cluster->SetLink(bone);
    cluster->SetAssociateModel(hips);
    cluster->SetLinkMode(KFbxCluster::eTOTAL1);
    cluster->SetUserData("id", "data");
    cluster->AddControlPointIndex(0, 1.0);
    cluster->AddControlPointIndex(3, 0.25);
    cluster->SetTransformMatrix(Trs(V(0, 1, 0), V(0, 0, 0), V(1, 1, 1)));
    cluster->SetTransformLinkMatrix(Trs(V(0, 2, 0), V(0, 0, 0), V(2, 2, 2)));
    cluster->SetTransformAssociateModelMatrix(Trs(V(0, 0, 4), V(0, 0, 0), V(1, 1, 1)));
    cluster->SetTransformParentMatrix(Trs(V(1, 0, 0), V(0, 0, 0), V(1, 1, 1)));
    ExpectGolden(WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteCluster(*cluster); }), "fbx6_cluster");
}

TEST_F(Fbx6DeformersTest, ClusterModesAndOptionalBlocks) {
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "cluster");
    std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteCluster(*cluster); });
    EXPECT_EQ(text.find("Mode:"), std::string::npos);
    EXPECT_EQ(text.find("AssociateModel"), std::string::npos);
    EXPECT_EQ(text.find("TransformParent"), std::string::npos);
    EXPECT_NE(text.find("Indexes:\nWeights:\nTransform:"), std::string::npos) << text;
    cluster->SetLinkMode(KFbxCluster::eADDITIVE);
    text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteCluster(*cluster); });
    EXPECT_NE(text.find("Mode: \"Additive\""), std::string::npos);
}

TEST_F(Fbx6DeformersTest, SkinVertexCacheAndCacheGolden) {
    KFbxSkin* skin = KFbxSkin::Create(mManager, "Skin Arm");
    skin->SetDeformAccuracy(25.0);
    skin->SetMultiLayer(true);
    KFbxVertexCacheDeformer* deformer = KFbxVertexCacheDeformer::Create(mManager, "VertexCache Arm");
    deformer->SetCacheChannel("points");
    deformer->SetActive(true);
    KFbxCache* cache = KFbxCache::Create(mManager, "Recording");
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) {
        writer.WriteSkin(*skin);
        writer.WriteVertexCacheDeformer(*deformer);
        writer.WriteCache(*cache);
    });
    ExpectGolden(text, "fbx6_skin_cache");
}

TEST_F(Fbx6DeformersTest, ShapeKeepsOnlyMovedPointsThroughThePivot) {
    KFbxMesh* mesh = MakeQuad();
    mesh->SetPivot(Trs(V(9, 9, 9), V(0, 0, 0), V(2, 2, 2)));
    KFbxShape* shape = MakeShape(4);
    for (int i = 0; i < 4; ++i) shape->GetControlPoints()[i] = mesh->GetControlPoints()[i];
    shape->GetControlPoints()[1] = V(1, 0, 0.5);
    shape->GetControlPoints()[3] = V(0, 1.5, 0);
    shape->InitNormals(0);
    for (int i = 0; i < 4; ++i) shape->GetNormals()[i] = V(0, 0, 1);
    shape->GetNormals()[3] = V(0, 1, 0);
    ASSERT_EQ(mesh->AddShape(shape, "Smile"), 0);
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteGeometry(*mesh); });
    ExpectGolden(text.substr(text.find("Shape:")), "fbx6_shape");
}

TEST_F(Fbx6DeformersTest, UnmovedOrMismatchedShapeStoresPointZeroUnmoved) {
    KFbxMesh* mesh = MakeQuad();
    KFbxShape* same = MakeShape(4);
    for (int i = 0; i < 4; ++i) same->GetControlPoints()[i] = mesh->GetControlPoints()[i];
    same->InitNormals(0);
    for (int i = 0; i < 4; ++i) same->GetNormals()[i] = V(0, 1, 1);
    std::string text = WriteRecords([&](KFbxWriterFbx6&) { KFbxWriterFbx6::WriteShape(File(), *same, "Same", *mesh); });
    // The normals qualify, so their difference at point 0 is kept.
    EXPECT_EQ(text, "Shape: \"Same\" {\n\tIndexes: 0\n\tVertices: 0,0,0\n\tNormals: 0,1,0\n}\n");

    KFbxShape* bigger = MakeShape(6);
    bigger->GetControlPoints()[0] = V(7, 7, 7);
    text = WriteRecords([&](KFbxWriterFbx6&) { KFbxWriterFbx6::WriteShape(File(), *bigger, "Bigger", *mesh); });
    EXPECT_EQ(text, "Shape: \"Bigger\" {\n\tIndexes: 0\n\tVertices: 0,0,0\n\tNormals: 0,0,0\n}\n");

    // A geometry without points names point 0 all the same, without reading it.
    KFbxMesh* empty = KFbxMesh::Create(mManager, "empty");
    text = WriteRecords([&](KFbxWriterFbx6&) { KFbxWriterFbx6::WriteShape(File(), *MakeShape(0), "None", *empty); });
    EXPECT_EQ(text, "Shape: \"None\" {\n\tIndexes: 0\n\tVertices: 0,0,0\n\tNormals: 0,0,0\n}\n");
}

TEST_F(Fbx6DeformersTest, ChangedPointsCompareXYZExactly) {
    const auto shapeOf = [&](std::vector<KFbxVector4> points) {
        KFbxShape* shape = KFbxShape::Create(mManager, "");
        shape->InitControlPoints(static_cast<int>(points.size()));
        std::copy(points.begin(), points.end(), shape->GetControlPoints());
        return shape;
    };
    const KFbxShape* a = shapeOf({KFbxVector4(0, 0, 0, 1), KFbxVector4(1, 1, 1, 0), KFbxVector4(2, 2, 2, 0)});
    const KFbxShape* b = shapeOf({KFbxVector4(0, 0, 0, 5), KFbxVector4(1, 1, 1 + 1e-12, 0), KFbxVector4(2, 2, 2, 0)});
    const KFbxShape* shorter = shapeOf({KFbxVector4(0, 0, 0, 1), KFbxVector4(1, 1, 1, 0)});
    std::vector<int> indices;
    FindChangedShapePoints(*a, *a, indices);
    EXPECT_TRUE(indices.empty());
    FindChangedShapePoints(*a, *b, indices);
    EXPECT_EQ(indices, std::vector<int>{1});
    indices.clear();
    FindChangedShapePoints(*b, *shorter, indices);
    EXPECT_EQ(indices, std::vector<int>{1});
}

TEST_F(Fbx6DeformersTest, WeightedMapsGolden) {
    auto* map = KFbxGeometryWeightedMap::Create(mManager, "Blend");
    auto mapping = std::make_unique<KFbxWeightedMapping>(3, 2);
    mapping->Add(0, 1, 0.5);
    mapping->Add(0, 0, 0.25);
    mapping->Add(1, 1, 1.0);
    map->SetValues(std::move(mapping));
    mScene->ConnectObject(map);
    mScene->ConnectObject(KFbxGeometryWeightedMap::Create(mManager, "Empty"));
    // Source 2 has no relation and gets no "IndexMapping".
    ExpectGolden(WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteWeightedMaps(*mScene); }),
                 "fbx6_weighted_maps");
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::fbx6test
