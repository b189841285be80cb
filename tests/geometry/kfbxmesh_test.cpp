#include "GeometryTestSupport.h"

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxGeometry_internal.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

using KFbxMeshTest = geometrytest::GeometryTest;

// A triangle 0 1 2 and a quad 1 3 4 2 over five points.
KFbxMesh* TriangleAndQuad(KFbxMeshTest& test, KFbxMesh* mesh) {
    static_cast<void>(test);
    mesh->BeginPolygon();
    for (int point : {0, 1, 2}) EXPECT_TRUE(mesh->AddPolygonVertex(point));
    mesh->EndPolygon();
    mesh->BeginPolygon(-1, -1, 7);
    for (int point : {1, 3, 4, 2}) EXPECT_TRUE(mesh->AddPolygonVertex(point));
    mesh->EndPolygon();
    return mesh;
}

TEST_F(KFbxMeshTest, IsAMeshAttribute) {
    KFbxMesh* mesh = MakeMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetAttributeType(), KFbxNodeAttribute::eMESH);
    EXPECT_STREQ(mesh->GetTypeName(), "Mesh");
    EXPECT_TRUE(mesh->Is(KFbxGeometry::ClassId));
    EXPECT_TRUE(mesh->Is(KFbxLayerContainer::ClassId));
    EXPECT_FALSE(mesh->Is(KFbxShape::ClassId));
}

TEST_F(KFbxMeshTest, TwinsHaveTheirKindsPlugClass) {
    KFbxMesh* mesh = MakeMesh();
    KFbxShape* shape = KFbxShape::Create(mManager, "s");
    KFbxObject_internal* meshTwin = mesh->NewInternalObject();
    KFbxObject_internal* shapeTwin = shape->NewInternalObject();
    ASSERT_NE(meshTwin, nullptr);
    ASSERT_NE(shapeTwin, nullptr);
    EXPECT_EQ(meshTwin->GetClassInfo(), &gKFbxMesh_internalClassInfo);
    EXPECT_EQ(shapeTwin->GetClassInfo(), &gKFbxShape_internalClassInfo);
    delete meshTwin;
    delete shapeTwin;
}

TEST_F(KFbxMeshTest, TriangleAndQuadFromBeginPolygon) {
    KFbxMesh* mesh = TriangleAndQuad(*this, MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {2, 0, 0, 0}, {2, 1, 0, 0}}));
    ASSERT_EQ(mesh->GetPolygonCount(), 2);
    EXPECT_EQ(mesh->GetPolygonSize(0), 3);
    EXPECT_EQ(mesh->GetPolygonSize(1), 4);
    EXPECT_EQ(mesh->GetPolygonVertex(1, 0), 1);
    EXPECT_EQ(mesh->GetPolygonVertex(1, 3), 2);
    EXPECT_EQ(mesh->GetPolygonVertex(0, 2), 2);
    EXPECT_EQ(mesh->GetPolygonVertexIndex(1), 3);
    EXPECT_EQ(mesh->GetPolygonGroup(1), 7);
    EXPECT_EQ(mesh->GetPolygonVertexCount(), 7);
    const int expected[] = {0, 1, 2, 1, 3, 4, 2};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(mesh->GetPolygonVertices()[k], expected[k]);

    EXPECT_EQ(mesh->GetPolygonSize(2), -1);
    EXPECT_EQ(mesh->GetPolygonSize(-1), -1);
    EXPECT_EQ(mesh->GetPolygonVertex(0, 3), -1);
    EXPECT_EQ(mesh->GetPolygonVertex(0, -1), -1);
    EXPECT_EQ(mesh->GetPolygonVertex(2, 0), -1);
    EXPECT_EQ(mesh->GetPolygonVertex(-1, 0), -1);
}

TEST_F(KFbxMeshTest, OutOfRangeControlPointsAreRefused) {
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}});
    EXPECT_FALSE(mesh->AddPolygonVertex(0));  // no polygon begun
    mesh->BeginPolygon();
    EXPECT_FALSE(mesh->AddPolygonVertex(-1));
    EXPECT_FALSE(mesh->AddPolygonVertex(2));
    EXPECT_TRUE(mesh->AddPolygonVertex(1));
    EXPECT_EQ(mesh->GetPolygonSize(0), 1);
    EXPECT_EQ(mesh->GetPolygonVertexCount(), 1);

    mesh->InitControlPoints(-3);
    EXPECT_EQ(mesh->GetControlPointsCount(), 2);
    EXPECT_FALSE(mesh->SetControlPointAt(KFbxVector4(), KFbxVector4(), -1));
    EXPECT_EQ(mesh->GetControlPointsCount(), 2);
    EXPECT_FALSE(mesh->SetMeshEdges(nullptr, 2));
    const int badEdges[] = {0, 1};
    EXPECT_FALSE(mesh->SetMeshEdges(badEdges, 2));
    EXPECT_TRUE(mesh->SetMeshEdges(badEdges, 1));
    EXPECT_EQ(mesh->GetMeshEdgeCount(), 1);
}

TEST_F(KFbxMeshTest, MaterialAndTextureIndicesFollowThePolygons) {
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}});
    mesh->BeginPolygon(1, 2);
    mesh->BeginPolygon(-5, 0, -1, false);
    mesh->BeginPolygon(0, 1);
    KFbxLayerElementMaterial* materials = mesh->GetLayer(0)->GetMaterials();
    ASSERT_NE(materials, nullptr);
    EXPECT_EQ(materials->GetMappingMode(), KFbxLayerElement::eBY_POLYGON);
    ASSERT_EQ(materials->GetIndexArray().GetCount(), 3);
    EXPECT_EQ(materials->GetIndexArray().GetAt(0), 1);
    EXPECT_EQ(materials->GetIndexArray().GetAt(1), -1);
    EXPECT_EQ(materials->GetIndexArray().GetAt(2), 0);
    // Without the legacy flag the second polygon records no texture index.
    DynamicArrayOf<int>* textures = mesh->GetTextureIndices();
    ASSERT_NE(textures, nullptr);
    ASSERT_EQ(textures->GetCount(), 3);
    EXPECT_EQ(textures->GetAt(0), 2);
    EXPECT_EQ(textures->GetAt(1), -1);
    EXPECT_EQ(textures->GetAt(2), 1);
    EXPECT_EQ(mesh->GetTextureMappingMode(), KFbxLayerElement::eBY_POLYGON);
}

// The polygons of a mesh as text: "group:v v v" each.
std::string PolygonsOf(const KFbxMesh& mesh) {
    std::string text;
    for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
        text += std::to_string(mesh.GetPolygonGroup(p)) + ":";
        for (int v = 0; v < mesh.GetPolygonSize(p); ++v) text += " " + std::to_string(mesh.GetPolygonVertex(p, v));
        text += "\n";
    }
    return text;
}

TEST_F(KFbxMeshTest, PolygonsAddedAtOnceAreThoseBuiltOneByOne) {
    const std::vector<std::vector<int>> lists = {
        {0, 1, ~2, 1, 2, ~0},
        // Points outside the mesh, a last polygon left open, a polygon of one.
        {0, 9, ~1, ~7, ~2, 3, -100, 1, 2},
        {~1},
        {2},
    };
    const int groups[] = {5, -1, 8};
    for (const bool materialsFollow : {false, true}) {
        for (const auto& list : lists) {
            KFbxMesh* one = MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {1, 1, 0, 0}});
            KFbxMesh* bulk = MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {1, 1, 0, 0}});
            if (materialsFollow) {
                for (KFbxMesh* mesh : {one, bulk}) {
                    mesh->BeginPolygon(0, -1, 4, false);
                    mesh->AddPolygonVertex(3);
                }
            }
            bool open = false;
            std::size_t polygon = 0;
            for (int value : list) {
                if (!open) one->BeginPolygon(-1, -1, polygon < 3 ? groups[polygon] : -1, false);
                polygon += !open;
                one->AddPolygonVertex(value < 0 ? ~value : value);
                open = value >= 0;
            }
            bulk->AddPolygons(list.data(), static_cast<int>(list.size()), groups, 3);
            EXPECT_EQ(PolygonsOf(*bulk), PolygonsOf(*one));
            EXPECT_EQ(bulk->GetPolygonVertexCount(), one->GetPolygonVertexCount());
            if (materialsFollow) {
                const auto& indices = bulk->GetLayer(0)->GetMaterials()->GetIndexArray();
                const auto& expected = one->GetLayer(0)->GetMaterials()->GetIndexArray();
                ASSERT_EQ(indices.GetCount(), bulk->GetPolygonCount());
                ASSERT_EQ(expected.GetCount(), indices.GetCount());
                EXPECT_TRUE(std::equal(indices.GetArray(), indices.GetArray() + indices.GetCount(), expected.GetArray()));
                EXPECT_EQ(indices.GetAt(0), 0);
            }
        }
    }
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 0}});
    mesh->AddPolygons(nullptr, 3);
    const int none[] = {0};
    mesh->AddPolygons(none, 0);
    EXPECT_EQ(mesh->GetPolygonCount(), 0);
}

TEST_F(KFbxMeshTest, NoMaterialElementWithoutAMaterialIndex) {
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 0}});
    mesh->BeginPolygon();
    EXPECT_EQ(mesh->GetLayer(0), nullptr);
    EXPECT_EQ(mesh->GetMaterialMappingMode(), KFbxLayerElement::eNONE);
    EXPECT_EQ(mesh->GetMaterialIndices(), nullptr);
}

TEST_F(KFbxMeshTest, TextureUVIndexFollowsTheIndexArray) {
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}});
    mesh->BeginPolygon();
    mesh->AddPolygonVertex(0, 0);
    EXPECT_EQ(mesh->GetTextureUVIndex(0, 0), -1);  // no UV element

    mesh->InitTextureUVMapping(KFbxLayerElement::eBY_POLYGON_VERTEX);
    EXPECT_EQ(mesh->GetTextureUVMappingMode(), KFbxLayerElement::eBY_POLYGON_VERTEX);
    EXPECT_EQ(mesh->AddTextureUV(KFbxVector2(0, 0)), 0);
    EXPECT_EQ(mesh->AddTextureUV(KFbxVector2(1, 0)), 1);
    EXPECT_EQ(mesh->AddTextureUV(KFbxVector2(0, 1)), 2);
    EXPECT_EQ(mesh->GetTextureUVCount(), 3);
    EXPECT_EQ(mesh->GetTextureUVArray()[1][0], 1.0);

    mesh->BeginPolygon();
    mesh->AddPolygonVertex(0, 2);
    mesh->AddPolygonVertex(1, 7);   // past the UVs: not recorded
    mesh->AddPolygonVertex(2, -4);  // negative: not recorded
    mesh->AddPolygonVertex(1, 1);
    EXPECT_EQ(mesh->GetTextureUVIndex(1, 0), 2);
    EXPECT_EQ(mesh->GetTextureUVIndex(1, 1), -1);
    EXPECT_EQ(mesh->GetTextureUVIndex(1, 2), -1);
    EXPECT_EQ(mesh->GetTextureUVIndex(1, 3), 1);
    EXPECT_EQ(mesh->GetTextureUVIndex(1, 4), -1);
    EXPECT_EQ(mesh->GetTextureUVIndex(0, 0), -1);  // recorded before the element existed
    EXPECT_EQ(mesh->GetTextureUVIndex(1, 0, KFbxLayerElement::eBUMP_TEXTURES), -1);

    // An index array edited past the values is not read through.
    mesh->GetLayer(0)->GetUVs()->GetIndexArray().SetAt(1, 99);
    EXPECT_EQ(mesh->GetTextureUVIndex(1, 0), -1);

    // By control point and direct: the control point is the UV index.
    KFbxLayerElementUV* uvs = mesh->GetLayer(0)->GetUVs();
    uvs->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    uvs->SetReferenceMode(KFbxLayerElement::eDIRECT);
    EXPECT_EQ(mesh->GetTextureUVIndex(1, 2), 2);
}

TEST_F(KFbxMeshTest, NormalsByControlPointAndByPolygonVertex) {
    KFbxMesh* mesh = TriangleAndQuad(*this, MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {2, 0, 0, 0}, {2, 1, 0, 0}}));
    EXPECT_EQ(mesh->GetNormals(), nullptr);
    mesh->InitNormals();
    EXPECT_EQ(mesh->GetNormalsMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    EXPECT_EQ(mesh->GetLayer(0)->GetNormals()->GetDirectArray().GetCount(), 5);
    mesh->InitNormals(7);
    EXPECT_EQ(mesh->GetNormalsMappingMode(), KFbxLayerElement::eBY_POLYGON_VERTEX);
    EXPECT_EQ(mesh->GetLayer(0)->GetNormals()->GetDirectArray().GetCount(), 7);
    mesh->InitNormals(5);
    EXPECT_EQ(mesh->GetNormalsMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    mesh->InitNormals(-1);
    EXPECT_EQ(mesh->GetLayer(0)->GetNormals()->GetDirectArray().GetCount(), 5);

    // Setting a point past the end grows the points and the normals together.
    EXPECT_TRUE(mesh->SetControlPointAt(KFbxVector4(5, 5, 5, 0), KFbxVector4(0, 0, 1, 0), 6));
    EXPECT_EQ(mesh->GetControlPointsCount(), 7);
    EXPECT_EQ(mesh->GetLayer(0)->GetNormals()->GetDirectArray().GetCount(), 7);
    EXPECT_EQ(mesh->GetNormals()[6][2], 1.0);
    EXPECT_EQ(mesh->GetControlPoints()[6][0], 5.0);
}

TEST_F(KFbxMeshTest, ComputeVertexNormalsOnACube) {
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}, {0, 1, 0, 0},
                               {0, 0, 1, 0}, {1, 0, 1, 0}, {1, 1, 1, 0}, {0, 1, 1, 0}});
    // Counter-clockwise seen from outside.
    const int faces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 4, 7, 3}};
    for (const auto& face : faces) {
        mesh->BeginPolygon();
        for (int point : face) mesh->AddPolygonVertex(point);
    }
    mesh->ComputeVertexNormals();
    ASSERT_EQ(mesh->GetNormalsMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    const KFbxVector4* normals = mesh->GetNormals();
    ASSERT_NE(normals, nullptr);
    const double c = 1.0 / std::sqrt(3.0);
    for (int point = 0; point < 8; ++point) {
        const KFbxVector4& p = mesh->GetControlPoints()[point];
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(normals[point][axis], p[axis] == 0.0 ? -c : c, 1e-12) << point << "," << axis;
        }
        EXPECT_NEAR(normals[point].Length(), 1.0, 1e-12);
    }

    mesh->ComputeVertexNormals(true);
    EXPECT_NEAR(mesh->GetNormals()[6][0], -c, 1e-12);
}

TEST_F(KFbxMeshTest, UnusedPointsAndShrunkPointsGetTheDefaultNormal) {
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {9, 9, 9, 0}});
    mesh->BeginPolygon();
    for (int point : {0, 1, 2}) mesh->AddPolygonVertex(point);
    mesh->ComputeVertexNormals();
    EXPECT_EQ(mesh->GetNormals()[0][2], 1.0);
    EXPECT_EQ(mesh->GetNormals()[3][3], 1.0);
    EXPECT_EQ(mesh->GetNormals()[3].Length(), 0.0);

    // The polygon now names points that are gone; they are passed over.
    mesh->InitControlPoints(2);
    mesh->ComputeVertexNormals();
    EXPECT_EQ(mesh->GetLayer(0)->GetNormals()->GetDirectArray().GetCount(), 2);
    EXPECT_EQ(mesh->GetNormals()[0].Length(), 0.0);
}

// The vertex normals as KFbxVector4's own arithmetic gives them: the mean of
// each point's corner normals (next - point) x (previous - point), in
// polygon order, made unit; w 1, and (0, 0, 0, 1) for a point without corners.
std::vector<KFbxVector4> ReferenceNormals(const KFbxMesh& mesh, bool clockwise) {
    const int pointCount = mesh.GetControlPointsCount();
    const KFbxVector4* points = mesh.GetControlPoints();
    std::vector<KFbxVector4> sums(static_cast<std::size_t>(pointCount));
    std::vector<int> corners(static_cast<std::size_t>(pointCount));
    const auto valid = [&](int index) { return index >= 0 && index < pointCount; };
    for (int polygon = 0; polygon < mesh.GetPolygonCount(); ++polygon) {
        const int size = mesh.GetPolygonSize(polygon);
        for (int k = 0; k < size && size >= 3; ++k) {
            const int current = mesh.GetPolygonVertex(polygon, k);
            const int next = mesh.GetPolygonVertex(polygon, (k + 1) % size);
            const int previous = mesh.GetPolygonVertex(polygon, (k + size - 1) % size);
            if (!valid(current) || !valid(next) || !valid(previous)) continue;
            KFbxVector4 normal = (points[next] - points[current]).CrossProduct(points[previous] - points[current]);
            if (clockwise) normal = -normal;
            normal[3] = 0.0;
            sums[static_cast<std::size_t>(current)] += normal;
            ++corners[static_cast<std::size_t>(current)];
        }
    }
    std::vector<KFbxVector4> normals;
    for (int point = 0; point < pointCount; ++point) {
        const auto slot = static_cast<std::size_t>(point);
        KFbxVector4 normal(0.0, 0.0, 0.0, 1.0);
        if (corners[slot] > 0) {
            normal = sums[slot] / static_cast<double>(corners[slot]);
            normal.Normalize();
            normal[3] = 1.0;
        }
        normals.push_back(normal);
    }
    return normals;
}

void ExpectBitIdenticalNormals(KFbxMesh& mesh) {
    for (const bool clockwise : {false, true}) {
        const std::vector<KFbxVector4> expected = ReferenceNormals(mesh, clockwise);
        mesh.ComputeVertexNormals(clockwise);
        ASSERT_EQ(mesh.GetLayer(0)->GetNormals()->GetDirectArray().GetCount(), static_cast<int>(expected.size()));
        const KFbxVector4* normals = mesh.GetNormals();
        for (std::size_t point = 0; point < expected.size(); ++point) {
            for (int n = 0; n < 4; ++n) {
                ASSERT_EQ(std::bit_cast<std::uint64_t>(normals[point][n]),
                          std::bit_cast<std::uint64_t>(expected[point][n]))
                    << "point " << point << " component " << n << (clockwise ? " clockwise" : "");
            }
        }
    }
}

TEST_F(KFbxMeshTest, ComputedNormalsAreBitForBitThoseOfVectorArithmetic) {
    // Points spread over many magnitudes and polygons of one to seven
    // corners, some folded or repeating a point, so that rounding shows.
    std::mt19937 random(55);
    std::uniform_real_distribution<double> coordinate(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-20, 20);
    std::vector<KFbxVector4> points;
    for (int i = 0; i < 400; ++i) {
        const double scale = std::ldexp(1.0, exponent(random));
        points.emplace_back(coordinate(random) * scale, coordinate(random) * scale, coordinate(random), 0.0);
    }
    KFbxMesh* mesh = MakeMesh();
    mesh->InitControlPoints(400);
    std::copy(points.begin(), points.end(), mesh->GetControlPoints());
    std::uniform_int_distribution<int> corners(1, 7);
    std::uniform_int_distribution<int> point(0, 399);
    for (int polygon = 0; polygon < 1500; ++polygon) {
        mesh->BeginPolygon();
        for (int corner = corners(random); corner > 0; --corner) mesh->AddPolygonVertex(point(random));
    }
    ExpectBitIdenticalNormals(*mesh);
    // Polygons naming points that are gone are passed over.
    mesh->InitControlPoints(300);
    std::copy(points.begin(), points.begin() + 300, mesh->GetControlPoints());
    ExpectBitIdenticalNormals(*mesh);
}

TEST_F(KFbxMeshTest, EdgesAreDistinctAndNamedByTheirFirstPolygonVertex) {
    KFbxMesh* mesh = TriangleAndQuad(*this, MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {2, 0, 0, 0}, {2, 1, 0, 0}}));
    mesh->BuildMeshEdgeArray();
    // 3 triangle edges and 4 quad edges share 1-2.
    ASSERT_EQ(mesh->GetMeshEdgeCount(), 6);
    EXPECT_EQ(mesh->GetMeshEdge(0), 0);
    EXPECT_EQ(mesh->GetMeshEdge(3), 3);
    EXPECT_EQ(mesh->GetMeshEdge(5), 5);
    EXPECT_EQ(mesh->GetMeshEdge(6), -1);
}

TEST_F(KFbxMeshTest, GetDeformerWithoutSkinIsOutOfRange) {
    KFbxMesh* mesh = MakeMesh();
    EXPECT_EQ(mesh->GetDeformerCount(1), 0);
    EXPECT_EQ(mesh->GetSrcDeformerCount(), 0);
    EXPECT_EQ(mesh->GetDeformer(0, 1), nullptr);
    EXPECT_EQ(mesh->GetLastErrorID(), KFbxGeometry::eINDEX_OUT_OF_RANGE);
    EXPECT_STREQ(mesh->GetLastErrorString(), "Parameter out of range.");
}

TEST_F(KFbxMeshTest, ShapesAndTheirWeightProperties) {
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}});
    KFbxShape* smile = KFbxShape::Create(mManager, "smile");
    ASSERT_NE(smile, nullptr);
    EXPECT_STREQ(smile->GetTypeName(), "Shape");
    EXPECT_EQ(mesh->AddShape(smile, "Smile"), -1);
    EXPECT_EQ(mesh->GetLastErrorID(), KFbxGeometry::eSHAPE_CONTROL_POINT_COUNT);
    smile->InitControlPoints(2);
    EXPECT_EQ(mesh->AddShape(nullptr, "Smile"), -1);
    EXPECT_EQ(mesh->AddShape(smile, ""), -1);
    EXPECT_EQ(mesh->GetLastErrorID(), KFbxGeometry::eSHAPE_INVALID_NAME);
    EXPECT_EQ(mesh->AddShape(smile, "Color"), -1);  // the attribute's own property
    EXPECT_EQ(mesh->GetLastErrorID(), KFbxGeometry::eSHAPE_NAME_CLASH);
    EXPECT_EQ(mesh->AddShape(smile, "Smile"), 0);
    EXPECT_EQ(mesh->AddShape(smile, "Again"), -1);
    EXPECT_EQ(mesh->GetLastErrorID(), KFbxGeometry::eSHAPE_ALREADY_ADDED);
    EXPECT_TRUE(mesh->FindProperty("Smile").IsValid());
    EXPECT_EQ(mesh->GetShapeCount(), 1);
    EXPECT_EQ(mesh->GetShape(0), smile);
    EXPECT_STREQ(mesh->GetShapeName(0), "Smile");
    EXPECT_EQ(mesh->GetShape(1), nullptr);
    EXPECT_EQ(mesh->GetShapeName(-1), nullptr);
}

TEST_F(KFbxMeshTest, ShapeChannelValueComesFromTheNodesCurrentTake) {
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 0}});
    KFbxShape* shape = KFbxShape::Create(mManager, "s");
    shape->InitControlPoints(1);
    ASSERT_EQ(mesh->AddShape(shape, "Smile"), 0);
    EXPECT_EQ(mesh->GetShapeChannelValue(0), 0.0);  // no node

    KFbxNode* node = KFbxNode::Create(mManager, "node");
    ASSERT_NE(node, nullptr);
    node->SetNodeAttribute(mesh);
    KFbxTakeNode* take = node->GetCurrentTakeNode();
    ASSERT_NE(take, nullptr);
    EXPECT_EQ(mesh->GetShapeChannelValue(0), 0.0);  // no channel
    KFCurveNode* channel = KFCurveNode::Create("Smile", nullptr);
    take->GetKFCurveNode()->Add(channel);
    EXPECT_EQ(mesh->GetShapeChannelValue(0), 0.0);  // no curve
    KFCurve* curve = KFCurve::Create();
    curve->SetValue(0.75f);
    channel->FCurveSet(curve);
    EXPECT_EQ(mesh->GetShapeChannelValue(0), 0.75);
    EXPECT_EQ(mesh->GetShapeChannelValue(1), 0.0);

    // The channel a write makes for a shape leaves the take with the shape.
    KFbxShape* frown = KFbxShape::Create(mManager, "f");
    frown->InitControlPoints(1);
    ASSERT_EQ(mesh->AddShape(frown, "Frown"), 1);
    ASSERT_TRUE(mesh->ProcessShapeChannels(*take));
    ASSERT_NE(take->GetKFCurveNode()->Find("Frown"), nullptr);
    frown->Destroy();
    EXPECT_EQ(take->GetKFCurveNode()->Find("Frown"), nullptr);
    mesh->RenameShapeChannels(*take);
    EXPECT_EQ(take->GetKFCurveNode()->Find("Smile"), channel);
}

// Shapes going in any order, while others come, leave the rest in their
// order, each reached by its index with its name, and a copy holds the same.
TEST_F(KFbxMeshTest, ShapesGoingInAnyOrderLeaveTheOthersInTheirs) {
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 0}});
    std::vector<std::pair<KFbxShape*, std::string>> held;
    const auto add = [&](const std::string& name) {
        KFbxShape* shape = KFbxShape::Create(mManager, name.c_str());
        shape->InitControlPoints(1);
        ASSERT_EQ(mesh->AddShape(shape, name.c_str()), static_cast<int>(held.size()));
        held.emplace_back(shape, name);
    };
    for (int i = 0; i < 64; ++i) add("s" + std::to_string(i));
    std::mt19937 random(7);
    for (int step = 0; !held.empty(); ++step) {
        const std::size_t going = random() % held.size();
        const std::string name = held[going].second;
        const std::uint64_t destroyed = gKFbxShapeDestructions.load();
        held[going].first->Destroy();
        EXPECT_EQ(gKFbxShapeDestructions.load(), destroyed + 1);
        held.erase(held.begin() + static_cast<std::ptrdiff_t>(going));
        if (step % 5 == 0 && step < 100) add("n" + std::to_string(step));
        EXPECT_FALSE(mesh->FindProperty(name.c_str()).IsValid()) << name;
        KFbxMesh* copy = step % 16 == 0 ? MakeMesh({{0, 0, 0, 0}}) : nullptr;
        if (copy != nullptr) copy->Copy(*mesh);
        for (KFbxMesh* each : {mesh, copy}) {
            if (each == nullptr) continue;
            ASSERT_EQ(each->GetShapeCount(), static_cast<int>(held.size())) << step;
            for (std::size_t i = 0; i < held.size(); ++i) {
                EXPECT_EQ(each->GetShape(static_cast<int>(i)), held[i].first) << step << " " << i;
                EXPECT_EQ(each->GetShapeName(static_cast<int>(i)), held[i].second) << step << " " << i;
            }
            EXPECT_EQ(each->GetShape(static_cast<int>(held.size())), nullptr);
        }
    }
}

void HearBits(KFCurveNode*, KFCurveNodeEvent* event, void* heard) {
    static_cast<std::vector<unsigned int>*>(heard)->push_back(event->mEventType);
}

// The channels a write notes for the shapes may go first, with their take,
// their node, or by the user's hand (callbacks on, off or gone), without the
// notes outliving them: a shape destroyed afterwards touches neither what
// went nor a channel of the same name the user made since, likely at the same
// address. The user's callbacks hear nothing of the notes.
TEST_F(KFbxMeshTest, NotedShapeChannelsDoNotOutliveWhatHoldsThem) {
    const std::pair<const char*, std::function<void(KFbxNode&, KFCurveNode&)>> routes[] = {
        {"take removed", [](KFbxNode& node, KFCurveNode&) { EXPECT_TRUE(node.RemoveTakeNode(1)); }},
        {"node destroyed", [](KFbxNode& node, KFCurveNode&) { node.Destroy(); }},
        {"channel deleted", [](KFbxNode&, KFCurveNode& root) { root.DeleteChild(root.Find("Frown")); }},
        {"channel deleted unheard",
         [](KFbxNode&, KFCurveNode& root) {
             root.Find("Frown")->CallbackEnable(false);
             root.DeleteChild(root.Find("Frown"));
         }},
        {"channel deleted, its user's callback off and its data freed",
         [](KFbxNode&, KFCurveNode& root) {
             KFCurveNode* channel = root.Find("Frown");
             auto* heard = new std::vector<unsigned int>;
             channel->CallbackRegister(&HearBits, heard);
             channel->CallbackEnable(false);
             delete heard;
             delete channel;
         }},
        {"channel deleted, its user's callback gone",
         [](KFbxNode&, KFCurveNode& root) {
             KFCurveNode* channel = root.Find("Frown");
             std::vector<unsigned int> heard;
             channel->CallbackRegister(&HearBits, &heard);
             channel->CallbackUnregister(&HearBits, &heard);
             root.DeleteChild(channel);
             EXPECT_TRUE(heard.empty());
         }},
        {"channel deleted, heard by its user",
         [](KFbxNode&, KFCurveNode& root) {
             KFCurveNode* channel = root.Find("Frown");
             channel->FCurveSet(KFCurve::Create(), true);
             EXPECT_EQ(channel->GetUpdateCounter(), 0);
             std::vector<unsigned int> heard;
             channel->CallbackRegister(&HearBits, &heard);
             root.DeleteChild(channel);
             EXPECT_EQ(heard, std::vector<unsigned int>{KFCURVENODEEVENT_DESTROYED});
         }},
    };
    for (const auto& [route, goFirst] : routes) {
        SCOPED_TRACE(route);
        KFbxMesh* mesh = MakeMesh({{0, 0, 0, 0}});
        KFbxNode* node = KFbxNode::Create(mManager, "node");
        node->SetNodeAttribute(mesh);
        KFbxTakeNode* take = node->CreateTakeNode("Take");
        ASSERT_NE(take, nullptr);
        KFbxShape* frown = KFbxShape::Create(mManager, "f");
        frown->InitControlPoints(1);
        ASSERT_EQ(mesh->AddShape(frown, "Frown"), 0);
        ASSERT_TRUE(mesh->ProcessShapeChannels(*take));
        const bool takeStays = std::string(route).find("channel") == 0;
        KFCurveNode* root = takeStays ? take->GetKFCurveNode() : nullptr;
        goFirst(*node, *take->GetKFCurveNode());
        KFCurveNode* mine = nullptr;
        if (takeStays) {
            mine = KFCurveNode::Create("Frown", nullptr);
            root->Add(mine);
        }
        frown->Destroy();
        if (takeStays) {
            EXPECT_EQ(root->Find("Frown"), mine);
            mesh->RenameShapeChannels(*take);
            EXPECT_EQ(root->Find("Frown"), mine);
        }
    }
}

TEST_F(KFbxMeshTest, ApplyPivotMovesPointsShapesAndNormals) {
    KFbxMesh* mesh = MakeMesh({{1, 0, 0, 1}, {0, 1, 0, 1}});
    KgeMatrix pivot;
    EXPECT_EQ(mesh->GetPivot(pivot)[3][0], 0.0);
    mesh->InitNormals();
    mesh->GetNormals()[0] = KFbxVector4(1, 0, 0, 1);
    KFbxShape* shape = KFbxShape::Create(mManager, "s");
    shape->InitControlPoints(2);
    shape->GetControlPoints()[0] = KFbxVector4(1, 1, 1, 1);
    ASSERT_EQ(mesh->AddShape(shape, "S"), 0);

    pivot.SetT(KFbxVector4(10, 0, 0, 0));
    pivot.SetS(KFbxVector4(2, 2, 2, 0));
    mesh->SetPivot(pivot);
    mesh->ApplyPivot();
    EXPECT_NEAR(mesh->GetControlPoints()[0][0], 12.0, 1e-12);
    EXPECT_NEAR(mesh->GetControlPoints()[1][1], 2.0, 1e-12);
    EXPECT_EQ(mesh->GetControlPoints()[1][3], 1.0);
    EXPECT_NEAR(shape->GetControlPoints()[0][0], 12.0, 1e-12);
    EXPECT_NEAR(mesh->GetNormals()[0][0], 1.0, 1e-12);  // no translation, renormalised
    KgeMatrix after;
    mesh->GetPivot(after);
    EXPECT_EQ(after[3][0], 0.0);
    EXPECT_EQ(after[0][0], 1.0);
}

TEST_F(KFbxMeshTest, CopyTakesEverythingOfAnotherMesh) {
    KFbxMesh* source = TriangleAndQuad(*this, MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {2, 0, 0, 0}, {2, 1, 0, 0}}));
    source->ComputeVertexNormals();
    source->BuildMeshEdgeArray();
    KFbxMesh::UVGrid grid;
    grid.mUCount = 4;
    grid.mVTopCap = true;
    source->SetUVGrid(grid);
    KFbxMesh* copy = MakeMesh();
    EXPECT_EQ(copy->GetUVGrid().mUCount, 0);
    copy->Copy(*source);
    EXPECT_EQ(copy->GetUVGrid().mUCount, 4);
    EXPECT_TRUE(copy->GetUVGrid().mVTopCap);
    EXPECT_EQ(copy->GetControlPointsCount(), 5);
    EXPECT_EQ(copy->GetPolygonCount(), 2);
    EXPECT_EQ(copy->GetPolygonVertex(1, 2), 4);
    EXPECT_EQ(copy->GetMeshEdgeCount(), 6);
    ASSERT_NE(copy->GetNormals(), nullptr);
    EXPECT_NE(copy->GetNormals(), source->GetNormals());
    EXPECT_EQ(copy->GetNormals()[0][2], source->GetNormals()[0][2]);
}

TEST_F(KFbxMeshTest, CloneInModeTwoIsAFullCopy) {
    KFbxMesh* source = TriangleAndQuad(*this, MakeMesh({{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {2, 0, 0, 0}, {2, 1, 0, 0}}));
    EXPECT_EQ(source->Clone(1), nullptr);
    KFbxShape* shape = KFbxShape::Create(mManager, "s");
    shape->InitControlPoints(5);
    ASSERT_EQ(source->AddShape(shape, "Blink"), 0);
    const double weight = 0.5;
    ASSERT_TRUE(source->FindProperty("Blink").Set(&weight, eFbxValueDouble));
    KFbxNodeAttribute* clone = source->Clone(2);
    ASSERT_NE(clone, nullptr);
    ASSERT_TRUE(clone->Is(KFbxMesh::ClassId));
    auto* mesh = static_cast<KFbxMesh*>(clone);
    EXPECT_NE(mesh, source);
    EXPECT_STREQ(mesh->GetName(), source->GetName());
    EXPECT_EQ(mesh->GetPolygonCount(), 2);
    EXPECT_EQ(mesh->GetControlPointsCount(), 5);
    EXPECT_EQ(mesh->GetShape(0), shape);
    double copied = 0.0;
    ASSERT_TRUE(mesh->FindProperty("Blink").Get(&copied, eFbxValueDouble));
    EXPECT_EQ(copied, 0.5);

    // The shape destroyed, neither mesh holds it or its weight, at once; the
    // shape after it moves down and the name is free again.
    KFbxShape* wink = KFbxShape::Create(mManager, "w");
    wink->InitControlPoints(5);
    ASSERT_EQ(source->AddShape(wink, "Wink"), 1);
    shape->Destroy();
    EXPECT_FALSE(source->FindProperty("Blink").IsValid());
    EXPECT_FALSE(mesh->FindProperty("Blink").IsValid());
    EXPECT_EQ(mesh->GetShapeCount(), 0);
    EXPECT_EQ(source->GetShapeCount(), 1);
    EXPECT_EQ(source->GetShape(0), wink);
    EXPECT_STREQ(source->GetShapeName(0), "Wink");
    KFbxShape* blink = KFbxShape::Create(mManager, "b");
    blink->InitControlPoints(5);
    EXPECT_EQ(source->AddShape(blink, "Blink"), 1);
}

TEST_F(KFbxMeshTest, DestroyingTheNodeDestroysItsMesh) {
    KFbxNode* node = KFbxNode::Create(mManager, "node");
    ASSERT_NE(node, nullptr);
    KFbxMesh* mesh = MakeMesh();
    node->SetNodeAttribute(mesh);
    EXPECT_EQ(mesh->GetNode(), node);
    const int before = mManager->GetObjectCount(KFbxMesh::ClassId);
    EXPECT_EQ(before, 1);
    node->Destroy();
    EXPECT_EQ(mManager->GetObjectCount(KFbxMesh::ClassId), 0);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
