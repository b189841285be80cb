#include "GeometryTestSupport.h"
#include "RegisterTestClasses.h"

#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxGeometryConverter.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxNurbsSurface.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>

#include <algorithm>
#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

class KFbxGeometryConverterTest : public geometrytest::GeometryTest {
protected:
    void SetUp() override {
        GeometryTest::SetUp();
        geometrytest::RegisterDeformerClasses(mManager);
        geometrytest::RegisterMaterialClasses(mManager);
        mConverter = KFbxGeometryConverter::Create(mManager, "");
        ASSERT_NE(mConverter, nullptr);
    }
    void TearDown() override {
        if (mConverter != nullptr) mConverter->Destroy();
        GeometryTest::TearDown();
    }

    KFbxNode* NodeWith(KFbxNodeAttribute* attribute) {
        KFbxNode* node = MakeNode("node");
        EXPECT_NE(node, nullptr);
        node->SetNodeAttribute(attribute);
        return node;
    }

    // A cluster of the geometry's first skin (made when missing).
    KFbxCluster* AddCluster(KFbxGeometry* geometry, std::initializer_list<std::pair<int, double>> weights) {
        KFbxCluster* cluster = KFbxCluster::Create(mManager, "cluster");
        EXPECT_NE(cluster, nullptr);
        for (const auto& [index, weight] : weights) cluster->AddControlPointIndex(index, weight);
        EXPECT_NE(geometry->AddCluster(cluster), -1);
        return cluster;
    }

    static KFbxCluster* FirstCluster(KFbxGeometry* geometry) {
        auto* skin = static_cast<KFbxSkin*>(geometry->GetDeformer(0, 1));
        return skin != nullptr ? skin->GetCluster(0) : nullptr;
    }

    KFbxGeometryConverter* mConverter = nullptr;
};

std::vector<int> CornersOf(const KFbxMesh* mesh) {
    return std::vector<int>(mesh->GetPolygonVertices(), mesh->GetPolygonVertices() + mesh->GetPolygonVertexCount());
}

void ExpectPointNear(const KFbxVector4& actual, double x, double y, double z) {
    EXPECT_NEAR(actual[0], x, 1e-9);
    EXPECT_NEAR(actual[1], y, 1e-9);
    EXPECT_NEAR(actual[2], z, 1e-9);
}

// ---- meshes -------------------------------------------------------------------

TEST_F(KFbxGeometryConverterTest, QuadBecomesTwoTrianglesOnTheSamePoints) {
    KFbxMesh* quad = MakeMesh({{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}, {0, 1, 0, 1}});
    quad->BeginPolygon(-1, -1, 4);
    for (int point : {0, 1, 2, 3}) quad->AddPolygonVertex(point);
    quad->EndPolygon();
    // One UV per polygon vertex, directly; one material for the polygon.
    quad->InitTextureUVMapping(KFbxLayerElement::eBY_POLYGON_VERTEX);
    KFbxLayerElementUV* uvs = quad->GetLayer(0)->GetUVs();
    uvs->SetReferenceMode(KFbxLayerElement::eDIRECT);
    for (int corner = 0; corner < 4; ++corner) uvs->GetDirectArray().Add(KFbxVector2(corner, 10 + corner));
    quad->InitMaterialIndices(KFbxLayerElement::eBY_POLYGON);
    quad->GetMaterialIndices()->Add(5);
    KFbxCluster* cluster = AddCluster(quad, {{3, 0.5}});
    KFbxNode* node = NodeWith(quad);

    ASSERT_TRUE(mConverter->TriangulateInPlace(node));
    auto* triangles = dynamic_cast<KFbxMesh*>(node->GetNodeAttribute());
    ASSERT_NE(triangles, nullptr);
    EXPECT_NE(static_cast<KFbxNodeAttribute*>(triangles), static_cast<KFbxNodeAttribute*>(quad));
    EXPECT_EQ(node->GetNodeAttributeCount(), 1);
    EXPECT_STREQ(triangles->GetName(), "mesh");
    ASSERT_EQ(triangles->GetPolygonCount(), 2);
    EXPECT_EQ(triangles->GetPolygonSize(0), 3);
    EXPECT_EQ(triangles->GetPolygonSize(1), 3);
    EXPECT_EQ(triangles->GetPolygonGroup(1), 4);
    EXPECT_EQ(CornersOf(triangles), (std::vector<int>{0, 1, 2, 0, 2, 3}));
    ASSERT_EQ(triangles->GetControlPointsCount(), 4);
    ExpectPointNear(triangles->GetControlPoints()[2], 1, 1, 0);
    // Per polygon vertex values follow their corners, per polygon values
    // their polygon.
    const KFbxLayerElementUV* newUVs = triangles->GetLayer(0)->GetUVs();
    ASSERT_NE(newUVs, nullptr);
    ASSERT_EQ(newUVs->GetDirectArray().GetCount(), 6);
    EXPECT_EQ(newUVs->GetDirectArray().GetAt(4)[0], 2.0);
    EXPECT_EQ(newUVs->GetDirectArray().GetAt(5)[1], 13.0);
    ASSERT_EQ(triangles->GetMaterialIndices()->GetCount(), 2);
    EXPECT_EQ(triangles->GetMaterialIndices()->GetAt(1), 5);
    // The skin came along unchanged: the points are the same.
    EXPECT_EQ(triangles->GetDeformerCount(1), 1);
    EXPECT_EQ(FirstCluster(triangles), cluster);
}

TEST_F(KFbxGeometryConverterTest, AnInstancedMeshStaysWholeForItsOtherNode) {
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}, {0, 1, 0, 1}});
    mesh->BeginPolygon();
    for (int point : {0, 1, 2, 3}) mesh->AddPolygonVertex(point);
    KFbxCluster* cluster = AddCluster(mesh, {{0, 1.0}});
    KFbxNode* first = NodeWith(mesh);
    KFbxNode* second = MakeNode("second");
    ASSERT_TRUE(second->AddNodeAttribute(mesh));

    ASSERT_TRUE(mConverter->TriangulateInPlace(first));
    EXPECT_NE(first->GetNodeAttribute(), static_cast<KFbxNodeAttribute*>(mesh));
    EXPECT_EQ(second->GetNodeAttribute(), static_cast<KFbxNodeAttribute*>(mesh));
    EXPECT_EQ(mesh->GetPolygonSize(0), 4);
    EXPECT_EQ(FirstCluster(mesh), cluster);
}

TEST_F(KFbxGeometryConverterTest, PolygonsAreFannedAndDegenerateOnesDropped) {
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 1}, {1, 0, 0, 1}, {2, 1, 0, 1}, {1, 2, 0, 1}, {0, 1, 0, 1}});
    mesh->BeginPolygon();
    for (int point : {4, 0, 1, 2, 3}) mesh->AddPolygonVertex(point);
    mesh->BeginPolygon();
    for (int point : {0, 1}) mesh->AddPolygonVertex(point);
    KFbxNode* node = NodeWith(mesh);
    ASSERT_TRUE(mConverter->TriangulateInPlace(node));
    auto* triangles = dynamic_cast<KFbxMesh*>(node->GetNodeAttribute());
    ASSERT_NE(triangles, nullptr);
    EXPECT_EQ(CornersOf(triangles), (std::vector<int>{4, 0, 1, 4, 1, 2, 4, 2, 3}));
}

TEST_F(KFbxGeometryConverterTest, OnlyMeshesNurbsAndPatchesAreTriangulated) {
    EXPECT_FALSE(mConverter->TriangulateInPlace(nullptr));
    KFbxNode* empty = MakeNode("empty");
    EXPECT_FALSE(mConverter->TriangulateInPlace(empty));
    auto* null = scenetest::Null::Make(mManager);
    KFbxNode* node = NodeWith(null);
    EXPECT_FALSE(mConverter->TriangulateInPlace(node));
    EXPECT_EQ(node->GetNodeAttribute(), null);
    // A NURB whose knots run backwards describes no surface.
    KFbxNurb* nurb = KFbxNurb::Create(mManager, "nurb");
    ASSERT_TRUE(nurb->InitControlPoints(4, KFbxNurb::eOPEN, 4, KFbxNurb::eOPEN));
    nurb->GetUKnotVector()[7] = -1.0;
    KFbxNode* nurbNode = NodeWith(nurb);
    EXPECT_FALSE(mConverter->TriangulateInPlace(nurbNode));
    EXPECT_EQ(nurbNode->GetNodeAttribute(), nurb);
}

// ---- surfaces -----------------------------------------------------------------

// Control point (i, j) of a 4 x 4 grid, U fastest.
KFbxVector4 GridPoint(int i, int j) { return KFbxVector4(i, j, (i * j) % 3 + 0.5 * i, 1.0); }

double Bernstein(int i, double t) {
    const double s = 1.0 - t;
    const double terms[4] = {s * s * s, 3 * t * s * s, 3 * t * t * s, t * t * t};
    return terms[i];
}

// The bicubic Bezier surface of the grid points at (u, v).
KFbxVector4 BezierAt(double u, double v) {
    double p[3] = {0, 0, 0};
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            const KFbxVector4 point = GridPoint(i, j);
            for (int axis = 0; axis < 3; ++axis) p[axis] += Bernstein(i, u) * Bernstein(j, v) * point[axis];
        }
    }
    return KFbxVector4(p[0], p[1], p[2], 1.0);
}

template <class Surface>
void FillGrid(Surface* surface) {
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) surface->GetControlPoints()[j * 4 + i] = GridPoint(i, j);
    }
}

void ExpectBezierGrid(const KFbxMesh* mesh, int step) {
    const int samples = step + 1;
    ASSERT_EQ(mesh->GetControlPointsCount(), samples * samples);
    EXPECT_EQ(mesh->GetPolygonCount(), 2 * step * step);
    for (int j = 0; j < samples; ++j) {
        for (int i = 0; i < samples; ++i) {
            SCOPED_TRACE(testing::Message() << "sample " << i << ", " << j);
            const KFbxVector4 expected = BezierAt(static_cast<double>(i) / step, static_cast<double>(j) / step);
            ExpectPointNear(mesh->GetControlPoints()[j * samples + i], expected[0], expected[1], expected[2]);
        }
    }
}

TEST_F(KFbxGeometryConverterTest, BicubicPatchBecomesItsClosedFormGrid) {
    KFbxPatch* patch = KFbxPatch::Create(mManager, "patch");
    ASSERT_TRUE(patch->InitControlPoints(4, KFbxPatch::eBEZIER, 4, KFbxPatch::eBEZIER));
    FillGrid(patch);
    patch->SetStep(3, 3);
    KFbxSurfaceMaterial* material = KFbxSurfaceMaterial::Create(mManager, "material");
    ASSERT_NE(patch->AddMaterial(material), -1);
    KFbxNode* node = NodeWith(patch);
    ASSERT_TRUE(mConverter->TriangulateInPlace(node));
    auto* mesh = dynamic_cast<KFbxMesh*>(node->GetNodeAttribute());
    ASSERT_NE(mesh, nullptr);
    ExpectBezierGrid(mesh, 3);
    EXPECT_STREQ(mesh->GetName(), "patch");
    // The first cell's two triangles.
    EXPECT_EQ(mesh->GetPolygonVertex(0, 2), 5);
    EXPECT_EQ(mesh->GetPolygonVertex(1, 2), 4);
    // The surface's material covers the mesh.
    EXPECT_EQ(mesh->GetMaterialMappingMode(), KFbxLayerElement::eALL_SAME);
    EXPECT_EQ(mesh->GetMaterial(0), material);
}

TEST_F(KFbxGeometryConverterTest, ClampedCubicNurbMatchesTheBezierPatch) {
    KFbxNurb* nurb = KFbxNurb::Create(mManager, "nurb");
    ASSERT_TRUE(nurb->InitControlPoints(4, KFbxNurb::eOPEN, 4, KFbxNurb::eOPEN));
    FillGrid(nurb);
    nurb->SetStep(4, 4);
    KFbxNode* node = NodeWith(nurb);
    ASSERT_TRUE(mConverter->TriangulateInPlace(node));
    auto* mesh = dynamic_cast<KFbxMesh*>(node->GetNodeAttribute());
    ASSERT_NE(mesh, nullptr);
    ExpectBezierGrid(mesh, 4);
}

TEST_F(KFbxGeometryConverterTest, NurbWeightsPullTheSurface) {
    // Order 2 (bilinear) over 2 x 2 points: the middle is the weighted mean.
    KFbxNurb* nurb = KFbxNurb::Create(mManager, "nurb");
    ASSERT_TRUE(nurb->SetOrder(2, 2));
    ASSERT_TRUE(nurb->InitControlPoints(2, KFbxNurb::eOPEN, 2, KFbxNurb::eOPEN));
    const KFbxVector4 points[4] = {{0, 0, 0, 3}, {4, 0, 0, 1}, {0, 4, 0, 1}, {4, 4, 0, 3}};
    for (int index = 0; index < 4; ++index) nurb->GetControlPoints()[index] = points[index];
    nurb->SetStep(2, 2);
    KFbxNode* node = NodeWith(nurb);
    ASSERT_TRUE(mConverter->TriangulateInPlace(node));
    auto* mesh = dynamic_cast<KFbxMesh*>(node->GetNodeAttribute());
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetControlPointsCount(), 9);
    // (0.5, 0) lies between a point of weight 3 and one of weight 1.
    ExpectPointNear(mesh->GetControlPoints()[1], 1, 0, 0);
    ExpectPointNear(mesh->GetControlPoints()[4], 2, 2, 0);
}

TEST_F(KFbxGeometryConverterTest, PeriodicNurbClosesOnItself) {
    KFbxNurb* nurb = KFbxNurb::Create(mManager, "ring");
    ASSERT_TRUE(nurb->SetOrder(3, 2));
    ASSERT_TRUE(nurb->InitControlPoints(4, KFbxNurb::ePERIODIC, 2, KFbxNurb::eOPEN));
    const double ring[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (int v = 0; v < 2; ++v) {
        for (int u = 0; u < 4; ++u) nurb->GetControlPoints()[v * 4 + u] = KFbxVector4(ring[u][0], ring[u][1], v, 1);
    }
    KFbxNode* node = NodeWith(nurb);
    ASSERT_TRUE(mConverter->TriangulateInPlace(node));
    auto* mesh = dynamic_cast<KFbxMesh*>(node->GetNodeAttribute());
    ASSERT_NE(mesh, nullptr);
    // 4 spans of 4 steps: 17 samples round, the last one back at the first.
    ASSERT_EQ(mesh->GetControlPointsCount(), 17 * 5);
    const KFbxVector4 first = mesh->GetControlPoints()[0];
    ExpectPointNear(mesh->GetControlPoints()[16], first[0], first[1], first[2]);
}

TEST_F(KFbxGeometryConverterTest, OversizedGridsAndUnknownBasesAreRefused) {
    // 5000 x 257 samples would pass the grid limit; nothing is made.
    KFbxNurb* nurb = KFbxNurb::Create(mManager, "long");
    ASSERT_TRUE(nurb->SetOrder(2, 2));
    ASSERT_TRUE(nurb->InitControlPoints(5000, KFbxNurb::eOPEN, 2, KFbxNurb::eOPEN));
    nurb->SetStep(1, 100000);  // clamped, still too many
    KFbxNode* node = NodeWith(nurb);
    EXPECT_FALSE(mConverter->TriangulateInPlace(node));
    EXPECT_EQ(node->GetNodeAttribute(), nurb);

    KFbxPatch* patch = KFbxPatch::Create(mManager, "patch");
    ASSERT_TRUE(patch->InitControlPoints(4, static_cast<KFbxPatch::EPatchType>(7), 4, KFbxPatch::eBEZIER));
    KFbxNode* patchNode = NodeWith(patch);
    EXPECT_FALSE(mConverter->TriangulateInPlace(patchNode));
    // Too few points for one cubic span.
    ASSERT_TRUE(patch->InitControlPoints(3, KFbxPatch::eBSPLINE, 4, KFbxPatch::eBEZIER));
    EXPECT_FALSE(mConverter->TriangulateInPlace(patchNode));
    EXPECT_EQ(patchNode->GetNodeAttribute(), patch);
    // A closed linear direction wraps round: 3 spans of 1 step, 4 samples.
    ASSERT_TRUE(patch->InitControlPoints(3, KFbxPatch::eLINEAR, 2, KFbxPatch::eLINEAR));
    patch->SetClosed(true, false);
    patch->SetStep(1, 1);
    ASSERT_TRUE(mConverter->TriangulateInPlace(patchNode));
    auto* mesh = dynamic_cast<KFbxMesh*>(patchNode->GetNodeAttribute());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetControlPointsCount(), 8);
    EXPECT_EQ(mesh->GetPolygonCount(), 6);
}

TEST_F(KFbxGeometryConverterTest, SwappedCopyExchangesOrdersCountsAndKnots) {
    KFbxNurb* nurb = KFbxNurb::Create(mManager, "nurb");
    ASSERT_TRUE(nurb->SetOrder(3, 4));
    ASSERT_TRUE(nurb->InitControlPoints(4, KFbxNurb::eOPEN, 5, KFbxNurb::ePERIODIC));
    for (int index = 0; index < 20; ++index) nurb->GetControlPoints()[index] = KFbxVector4(index, 0, 0, 1);
    nurb->GetUMultiplicityVector()[0] = 2;
    nurb->SetStep(2, 7);
    nurb->SetFlag0(true);
    nurb->SetFlag1(true);
    AddCluster(nurb, {{6, 0.25}});  // (u 2, v 1)

    KFbxNurb* copy = mConverter->CopyNurbSwapUV(nurb, nurb->GetFlag0(), nurb->GetFlag1());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetUOrder(), 4);
    EXPECT_EQ(copy->GetVOrder(), 3);
    EXPECT_EQ(copy->GetUCount(), 5);
    EXPECT_EQ(copy->GetVCount(), 4);
    EXPECT_EQ(copy->GetNurbUType(), KFbxNurb::ePERIODIC);
    EXPECT_EQ(copy->GetUKnotCount(), nurb->GetVKnotCount());
    EXPECT_EQ(copy->GetVKnotCount(), nurb->GetUKnotCount());
    EXPECT_EQ(copy->GetVMultiplicityVector()[0], 2);
    EXPECT_EQ(copy->GetUStep(), 7);
    EXPECT_FALSE(copy->GetFlag0());
    EXPECT_FALSE(copy->GetFlag1());
    // (u, v) went to (v, u): copy point u' + 5 v' is source point v' + 4 u'.
    EXPECT_EQ(copy->GetControlPoints()[1 + 5 * 2][0], 6.0);
    EXPECT_EQ(copy->GetControlPoints()[3][0], 12.0);
    KFbxCluster* cluster = FirstCluster(copy);
    ASSERT_NE(cluster, nullptr);
    ASSERT_EQ(cluster->GetControlPointIndicesCount(), 1);
    EXPECT_EQ(cluster->GetControlPointIndices()[0], 11);
    EXPECT_EQ(cluster->GetControlPointWeights()[0], 0.25);
    // The source is untouched.
    EXPECT_EQ(FirstCluster(nurb)->GetControlPointIndices()[0], 6);
    EXPECT_EQ(nurb->GetUOrder(), 3);
    copy->Destroy();

    KFbxNurb* plain = mConverter->CopyNurbSwapUV(nurb, false, false);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetUOrder(), 3);
    EXPECT_EQ(plain->GetControlPoints()[6][0], 6.0);
    EXPECT_EQ(plain->GetDeformerCount(), 0);
    plain->Destroy();
    EXPECT_EQ(mConverter->CopyNurbSwapUV(nullptr), nullptr);
}

TEST_F(KFbxGeometryConverterTest, SwappedSurfaceCopyKeepsItsWeightsAndFlip) {
    KFbxNurbsSurface* surface = KFbxNurbsSurface::Create(mManager, "surface");
    ASSERT_TRUE(surface->SetOrder(2, 3));
    ASSERT_TRUE(surface->InitControlPoints(2, KFbxNurbsSurface::eOPEN, 3, KFbxNurbsSurface::eOPEN));
    surface->GetControlPoints()[1][3] = 0.5;  // (u 1, v 0)
    surface->SetFlag2(true);
    KFbxNurbsSurface* copy = mConverter->CopyNurbsSurfaceSwapUV(surface, true, false);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetUOrder(), 3);
    EXPECT_EQ(copy->GetUCount(), 3);
    EXPECT_EQ(copy->GetControlPoints()[3][3], 0.5);  // (u 0, v 1)
    EXPECT_TRUE(copy->GetFlag2());
    copy->Destroy();
}

TEST_F(KFbxGeometryConverterTest, NurbsSurfaceNodeBecomesANurbNode) {
    KFbxNode* meshNode = NodeWith(MakeMesh({{0, 0, 0, 1}}));
    EXPECT_FALSE(mConverter->ConvertNodeNurbsSurfaceToNurb(meshNode));
    EXPECT_FALSE(mConverter->ConvertNodeNurbsSurfaceToNurb(nullptr));

    KFbxNurbsSurface* surface = KFbxNurbsSurface::Create(mManager, "surface");
    ASSERT_TRUE(surface->SetOrder(3, 2));
    ASSERT_TRUE(surface->InitControlPoints(3, KFbxNurbsSurface::eCLOSED, 2, KFbxNurbsSurface::eOPEN));
    surface->GetControlPoints()[5] = KFbxVector4(1, 2, 3, 0.5);
    surface->GetUKnotVector()[2] = 0.75;
    surface->SetFlag0(true);
    AddCluster(surface, {{5, 1.0}});
    KFbxNode* node = NodeWith(surface);
    ASSERT_TRUE(mConverter->ConvertNodeNurbsSurfaceToNurb(node));
    auto* nurb = dynamic_cast<KFbxNurb*>(node->GetNodeAttribute());
    ASSERT_NE(nurb, nullptr);
    EXPECT_EQ(node->GetNodeAttributeCount(), 1);
    EXPECT_STREQ(nurb->GetName(), "surface");
    EXPECT_EQ(nurb->GetUOrder(), 3);
    EXPECT_EQ(nurb->GetNurbUType(), KFbxNurb::eCLOSED);
    EXPECT_EQ(nurb->GetUKnotVector()[2], 0.75);
    EXPECT_EQ(nurb->GetControlPoints()[5][3], 0.5);
    EXPECT_TRUE(nurb->GetFlag0());
    EXPECT_EQ(nurb->GetUMultiplicityVector()[2], 1);
    ASSERT_NE(FirstCluster(nurb), nullptr);
    EXPECT_EQ(FirstCluster(nurb)->GetControlPointIndices()[0], 5);
    // Nothing left to convert.
    EXPECT_FALSE(mConverter->ConvertNodeNurbsSurfaceToNurb(node));
}

TEST_F(KFbxGeometryConverterTest, FlippedSurfaceBecomesANurbRunningUTheOtherWay) {
    KFbxNurbsSurface* surface = KFbxNurbsSurface::Create(mManager, "surface");
    ASSERT_TRUE(surface->SetOrder(2, 2));
    ASSERT_TRUE(surface->InitControlPoints(3, KFbxNurbsSurface::eOPEN, 2, KFbxNurbsSurface::eOPEN));
    for (int index = 0; index < 6; ++index) surface->GetControlPoints()[index] = KFbxVector4(index, 0, 0, 1);
    const double knots[5] = {0, 0, 0.25, 1, 1};
    std::copy(knots, knots + 5, surface->GetUKnotVector());
    surface->SetFlag2(true);
    AddCluster(surface, {{0, 0.5}, {4, 1.0}});
    KFbxNode* node = NodeWith(surface);
    ASSERT_TRUE(mConverter->ConvertNodeNurbsSurfaceToNurb(node));
    auto* nurb = dynamic_cast<KFbxNurb*>(node->GetNodeAttribute());
    ASSERT_NE(nurb, nullptr);
    // Row v: points v * 3 + (2 - u).
    const double expected[6] = {2, 1, 0, 5, 4, 3};
    for (int index = 0; index < 6; ++index) EXPECT_EQ(nurb->GetControlPoints()[index][0], expected[index]);
    const std::vector<double> reflected(nurb->GetUKnotVector(), nurb->GetUKnotVector() + nurb->GetUKnotCount());
    EXPECT_EQ(reflected, (std::vector<double>{0, 0, 0.75, 1, 1}));
    KFbxCluster* cluster = FirstCluster(nurb);
    ASSERT_NE(cluster, nullptr);
    EXPECT_EQ(cluster->GetControlPointIndices()[0], 2);
    EXPECT_EQ(cluster->GetControlPointIndices()[1], 4);
}

// ---- skins through the polygon-vertex mapping --------------------------------

// Two triangles sharing the edge 1-2 of four points, with one normal per
// polygon vertex.
KFbxMesh* SharedEdgeMesh(geometrytest::GeometryTest& test, KFbxMesh* mesh) {
    static_cast<void>(test);
    for (int polygon = 0; polygon < 2; ++polygon) {
        mesh->BeginPolygon();
        for (int point : polygon == 0 ? std::vector<int>{0, 1, 2} : std::vector<int>{2, 1, 3}) {
            mesh->AddPolygonVertex(point);
        }
    }
    mesh->InitNormals(6);
    for (int corner = 0; corner < 6; ++corner) mesh->GetNormals()[corner] = KFbxVector4(0, 0, corner, 0);
    return mesh;
}

TEST_F(KFbxGeometryConverterTest, SkinMappingRefusesMeshesWithoutPolygonVertexNormals) {
    EXPECT_FALSE(mConverter->ConvertSkinThroughMapping(nullptr));
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}});
    mesh->BeginPolygon();
    for (int point : {0, 1, 2}) mesh->AddPolygonVertex(point);
    EXPECT_FALSE(mConverter->ConvertSkinThroughMapping(mesh));  // no normals
    mesh->InitNormals(0);                                       // one per point: 4, not 3
    EXPECT_FALSE(mConverter->ConvertSkinThroughMapping(mesh));
    EXPECT_EQ(mesh->GetControlPointsCount(), 4);
}

TEST_F(KFbxGeometryConverterTest, SkinMappingRefusesUnfitShapes) {
    KFbxMesh* mesh = SharedEdgeMesh(*this, MakeMesh({{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}}));
    KFbxShape* shape = KFbxShape::Create(mManager, "shape");
    shape->InitControlPoints(4);
    ASSERT_NE(mesh->AddShape(shape, "smile"), -1);
    EXPECT_FALSE(mConverter->ConvertSkinThroughMapping(mesh));  // the shape has no normals
    shape->InitNormals(5);
    EXPECT_FALSE(mConverter->ConvertSkinThroughMapping(mesh));  // 5 normals for 6 polygon vertices
    EXPECT_EQ(mesh->GetControlPointsCount(), 4);
    EXPECT_EQ(shape->GetControlPointsCount(), 4);
}

TEST_F(KFbxGeometryConverterTest, SkinMappingGivesOnePointPerPolygonVertex) {
    KFbxMesh* mesh = SharedEdgeMesh(*this, MakeMesh({{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}}));
    KFbxShape* shape = KFbxShape::Create(mManager, "shape");
    shape->InitControlPoints(4);
    for (int point = 0; point < 4; ++point) shape->GetControlPoints()[point] = KFbxVector4(point, point, 9, 1);
    shape->InitNormals(6);
    ASSERT_NE(mesh->AddShape(shape, "smile"), -1);
    const double weight = 0.75;
    mesh->FindProperty("smile").Set(&weight, eFbxValueDouble);
    KFbxCluster* cluster = AddCluster(mesh, {{1, 0.5}, {3, 0.25}});
    cluster->SetLinkMode(KFbxCluster::eADDITIVE);

    ASSERT_TRUE(mConverter->ConvertSkinThroughMapping(mesh));
    ASSERT_EQ(mesh->GetControlPointsCount(), 6);
    EXPECT_EQ(CornersOf(mesh), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    ExpectPointNear(mesh->GetControlPoints()[3], 0, 1, 0);  // corner 3 was point 2
    ExpectPointNear(mesh->GetControlPoints()[5], 1, 1, 0);
    EXPECT_EQ(mesh->GetNormalsMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    EXPECT_EQ(mesh->GetNormals()[4][2], 4.0);
    // The shape follows, with its weight.
    ASSERT_EQ(mesh->GetShapeCount(), 1);
    EXPECT_EQ(mesh->GetShape(0), shape);
    ASSERT_EQ(shape->GetControlPointsCount(), 6);
    ExpectPointNear(shape->GetControlPoints()[4], 1, 1, 9);
    EXPECT_EQ(shape->GetNormalsMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    double kept = 0.0;
    EXPECT_TRUE(mesh->FindProperty("smile").Get(&kept, eFbxValueDouble));
    EXPECT_EQ(kept, 0.75);
    // Point 1 became corners 1 and 4, point 3 corner 5, each with its weight.
    KFbxCluster* rebuilt = FirstCluster(mesh);
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(rebuilt->GetLinkMode(), KFbxCluster::eADDITIVE);
    ASSERT_EQ(rebuilt->GetControlPointIndicesCount(), 3);
    const std::vector<int> indices(rebuilt->GetControlPointIndices(), rebuilt->GetControlPointIndices() + 3);
    const std::vector<double> weights(rebuilt->GetControlPointWeights(), rebuilt->GetControlPointWeights() + 3);
    EXPECT_EQ(indices, (std::vector<int>{1, 4, 5}));
    EXPECT_EQ(weights, (std::vector<double>{0.5, 0.5, 0.25}));
    EXPECT_EQ(static_cast<KFbxSkin*>(mesh->GetDeformer(0, 1))->GetClusterCount(), 1);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
