// Meshes: control points, polygons of the three primitive forms, and the
// layers their inputs fill; indices that point nowhere.
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include "ColladaTestSupport.h"

#include <algorithm>

#include <functional>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::colladatest;

namespace {

// A cube: corner x + 2y + 4z at (+-1, +-1, +-1); six quads facing out.
constexpr int kQuads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
constexpr double kNormals[6][3] = {{0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};

// One polygon vertex of the cube: its control point and the index of each input.
struct Corner {
    int mPoint;
    int mNormal;
    int mUV;
    int mSecondUV;
    int mColor;
};

// The corners of face f, in order, by triangles (two per quad) or whole quads.
std::vector<std::vector<Corner>> CubePolygons(bool triangles) {
    std::vector<std::vector<Corner>> polygons;
    for (int face = 0; face < 6; ++face) {
        std::vector<Corner> quad;
        for (int corner = 0; corner < 4; ++corner) {
            quad.push_back(Corner{kQuads[face][corner], face, corner, face, face % 2});
        }
        if (triangles) {
            polygons.push_back({quad[0], quad[1], quad[2]});
            polygons.push_back({quad[0], quad[2], quad[3]});
        } else {
            polygons.push_back(quad);
        }
    }
    return polygons;
}

std::string CubeSources() {
    std::string positions;
    for (int corner = 0; corner < 8; ++corner) {
        for (int axis = 0; axis < 3; ++axis) {
            positions += ((corner >> axis) & 1) != 0 ? "1 " : "-1 ";
        }
    }
    std::string normals;
    for (const auto& normal : kNormals) {
        normals += std::to_string(int(normal[0])) + " " + std::to_string(int(normal[1])) + " " +
                   std::to_string(int(normal[2])) + " ";
    }
    return FloatSource("cube-p", positions, 8, {"X", "Y", "Z"}) +
           FloatSource("cube-n", normals, 6, {"X", "Y", "Z"}) +
           FloatSource("cube-uv", "0 0 1 0 1 1 0 1", 4, {"S", "T"}) +
           FloatSource("cube-uv2", "0 0.5 0.1 0.5 0.2 0.5 0.3 0.5 0.4 0.5 0.5 0.5", 6, {"S", "T"}) +
           FloatSource("cube-c", "1 0 0 0 0 1", 2, {"R", "G", "B"}) +
           "<vertices id=\"cube-v\"><input semantic=\"POSITION\" source=\"#cube-p\"/></vertices>\n";
}

const char* const kCubeInputs =
    "<input semantic=\"VERTEX\" source=\"#cube-v\" offset=\"0\"/>"
    "<input semantic=\"NORMAL\" source=\"#cube-n\" offset=\"1\"/>"
    "<input semantic=\"TEXCOORD\" source=\"#cube-uv\" offset=\"2\" set=\"0\"/>"
    "<input semantic=\"TEXCOORD\" source=\"#cube-uv2\" offset=\"3\" set=\"1\"/>"
    "<input semantic=\"COLOR\" source=\"#cube-c\" offset=\"4\" set=\"0\"/>";

std::string CornerIndices(const std::vector<Corner>& polygon) {
    std::string text;
    for (const Corner& corner : polygon) {
        text += std::to_string(corner.mPoint) + " " + std::to_string(corner.mNormal) + " " +
                std::to_string(corner.mUV) + " " + std::to_string(corner.mSecondUV) + " " +
                std::to_string(corner.mColor) + " ";
    }
    return text;
}

enum class Form { kTriangles, kPolygons, kPolylist };

std::string CubePrimitive(Form form) {
    const auto polygons = CubePolygons(form == Form::kTriangles);
    std::string p;
    std::string vcount;
    std::string polygonsP;
    for (const auto& polygon : polygons) {
        p += CornerIndices(polygon);
        vcount += "4 ";
        polygonsP += "<p>" + CornerIndices(polygon) + "</p>";
    }
    const std::string count = std::to_string(polygons.size());
    switch (form) {
        case Form::kTriangles:
            return "<triangles count=\"" + count + "\" material=\"red\">" + kCubeInputs + "<p>" + p + "</p></triangles>";
        case Form::kPolygons:
            return "<polygons count=\"" + count + "\" material=\"red\">" + kCubeInputs + polygonsP + "</polygons>";
        case Form::kPolylist:
            return "<polylist count=\"" + count + "\" material=\"red\">" + kCubeInputs + "<vcount>" + vcount +
                   "</vcount><p>" + p + "</p></polylist>";
    }
    return "";
}

std::string Geometry(const std::string& id, const std::string& meshContent) {
    return "<library_geometries><geometry id=\"" + id + "\"><mesh>" + meshContent +
           "</mesh></geometry></library_geometries>\n";
}

// The document of the libraries with a scene that instances each of their
// geometries once: a read keeps only what its scene uses.
std::string InstancedDocument(const std::string& libraries) {
    std::string nodes;
    std::vector<std::string> ids;
    const std::string marker = "<geometry id=\"";
    for (std::size_t at = libraries.find(marker); at != std::string::npos; at = libraries.find(marker, at + 1)) {
        const std::size_t begin = at + marker.size();
        const std::string id = libraries.substr(begin, libraries.find('"', begin) - begin);
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) {
            ids.push_back(id);
            nodes += "<node id=\"n-" + id + "\"><instance_geometry url=\"#" + id + "\"/></node>";
        }
    }
    return colladatest::SceneDocument(libraries, nodes);
}

// A small mesh of four points and the primitives given.
std::string Square(const std::string& primitives, const std::string& extraSources = "") {
    return Geometry("sq", FloatSource("sq-p", "0 0 0 1 0 0 1 1 0 0 1 0", 4, {"X", "Y", "Z"}) +
                              FloatSource("sq-uv", "0 0 1 0 1 1 0 1", 4, {"S", "T"}) +
                              FloatSource("sq-uvb", "5 5 6 6", 2, {"S", "T"}) + extraSources +
                              "<vertices id=\"sq-v\"><input semantic=\"POSITION\" source=\"#sq-p\"/></vertices>" +
                              primitives);
}

const std::string kVertex = "<input semantic=\"VERTEX\" source=\"#sq-v\" offset=\"0\"/>";

class ColladaGeometry : public ColladaReadTest {
protected:
    KFbxMesh* TheMesh() {
        const std::vector<KFbxMesh*> meshes = Objects<KFbxMesh>();
        return meshes.size() == 1 ? meshes[0] : nullptr;
    }

    // Layer element entries per polygon vertex, through the index array when indexed.
    static std::vector<int> Indices(const KFbxLayerElement* element) {
        std::vector<int> indices;
        for (int index = 0; element != nullptr && index < element->GetIndexArray().GetCount(); ++index) {
            indices.push_back(element->GetIndexArray().GetAt(index));
        }
        return indices;
    }

    void ExpectCube(Form form) {
        ReadValid(InstancedDocument(Geometry("cube", CubeSources() + CubePrimitive(form))));
        KFbxMesh* mesh = TheMesh();
        ASSERT_NE(mesh, nullptr);
        const auto polygons = CubePolygons(form == Form::kTriangles);
        ASSERT_EQ(mesh->GetControlPointsCount(), 8);
        EXPECT_EQ(mesh->GetControlPoints()[7][0], 1.0);
        EXPECT_EQ(mesh->GetControlPoints()[6][0], -1.0);
        ASSERT_EQ(mesh->GetPolygonCount(), static_cast<int>(polygons.size()));
        const KFbxLayer* layer0 = mesh->GetLayer(0);
        const KFbxLayer* layer1 = mesh->GetLayer(1);
        ASSERT_NE(layer1, nullptr);
        EXPECT_EQ(mesh->GetLayerCount(), 2);
        const KFbxLayerElementNormal* normals = layer0->GetNormals();
        ASSERT_NE(normals, nullptr);
        EXPECT_EQ(normals->GetMappingMode(), KFbxLayerElement::eBY_POLYGON_VERTEX);
        const KFbxLayerElementUV* uvs = layer0->GetUVs();
        const KFbxLayerElementUV* secondUVs = layer1->GetUVs();
        const KFbxLayerElementVertexColor* colors = layer0->GetVertexColors();
        ASSERT_TRUE(uvs != nullptr && secondUVs != nullptr && colors != nullptr);
        EXPECT_EQ(uvs->GetReferenceMode(), KFbxLayerElement::eINDEX_TO_DIRECT);
        EXPECT_EQ(uvs->GetDirectArray().GetCount(), 4);
        EXPECT_EQ(secondUVs->GetDirectArray().GetCount(), 6);
        EXPECT_EQ(colors->GetDirectArray().GetCount(), 2);
        int vertex = 0;
        for (int polygon = 0; polygon < mesh->GetPolygonCount(); ++polygon) {
            const auto& corners = polygons[static_cast<std::size_t>(polygon)];
            ASSERT_EQ(mesh->GetPolygonSize(polygon), static_cast<int>(corners.size()));
            for (int position = 0; position < mesh->GetPolygonSize(polygon); ++position, ++vertex) {
                const Corner& corner = corners[static_cast<std::size_t>(position)];
                EXPECT_EQ(mesh->GetPolygonVertex(polygon, position), corner.mPoint);
                const KFbxVector4 normal = normals->GetDirectArray().GetAt(vertex);
                EXPECT_EQ(normal[0], kNormals[corner.mNormal][0]);
                EXPECT_EQ(normal[2], kNormals[corner.mNormal][2]);
                EXPECT_EQ(uvs->GetIndexArray().GetAt(vertex), corner.mUV);
                EXPECT_EQ(secondUVs->GetIndexArray().GetAt(vertex), corner.mSecondUV);
                EXPECT_EQ(colors->GetIndexArray().GetAt(vertex), corner.mColor);
            }
        }
        EXPECT_EQ(normals->GetDirectArray().GetCount(), vertex);
        EXPECT_EQ(colors->GetDirectArray().GetAt(1).mBlue, 1.0);
        const KFbxLayerElementMaterial* materials = layer0->GetMaterials();
        ASSERT_NE(materials, nullptr);
        EXPECT_EQ(materials->GetMappingMode(), KFbxLayerElement::eALL_SAME);
        EXPECT_EQ(Indices(materials), std::vector<int>{0});
        EXPECT_STREQ(materials->GetDirectArray().GetAt(0)->GetName(), "red");
    }
};

}  // namespace

TEST_F(ColladaGeometry, ACubeOfTriangles) { ExpectCube(Form::kTriangles); }
TEST_F(ColladaGeometry, ACubeOfPolygons) { ExpectCube(Form::kPolygons); }
TEST_F(ColladaGeometry, ACubeOfPolylists) { ExpectCube(Form::kPolylist); }

TEST_F(ColladaGeometry, TrianglesGroupInThreesAndKeepALeftover) {
    ReadValid(InstancedDocument(Square("<triangles count=\"2\">" + kVertex + "<p>0 1 2 0 2 3 1</p></triangles>")));
    KFbxMesh* mesh = TheMesh();
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetPolygonCount(), 3);
    EXPECT_EQ(mesh->GetPolygonSize(1), 3);
    EXPECT_EQ(mesh->GetPolygonSize(2), 1);
}

TEST_F(ColladaGeometry, PolygonsComeBeforeTrianglesAndMaterialsGoByPolygon) {
    ReadValid(InstancedDocument(Square("<triangles count=\"1\" material=\"a\">" + kVertex + "<p>0 1 2</p></triangles>" +
                              "<polygons count=\"1\" material=\"a\">" + kVertex + "<p>0 1 2 3</p></polygons>" +
                              "<polylist count=\"1\">" + kVertex + "<vcount>3</vcount><p>0 2 3</p></polylist>")));
    KFbxMesh* mesh = TheMesh();
    ASSERT_EQ(mesh->GetPolygonCount(), 3);
    EXPECT_EQ(mesh->GetPolygonSize(0), 4);
    EXPECT_EQ(mesh->GetPolygonSize(1), 3);
    const KFbxLayerElementMaterial* materials = mesh->GetLayer(0)->GetMaterials();
    EXPECT_EQ(materials->GetMappingMode(), KFbxLayerElement::eBY_POLYGON);
    // One stand-in per primitive element that names one, even of one name.
    ASSERT_EQ(materials->GetDirectArray().GetCount(), 2);
    EXPECT_STREQ(materials->GetDirectArray().GetAt(1)->GetName(), "a");
    EXPECT_EQ(Indices(materials), (std::vector<int>{0, 1, -1}));
}

TEST_F(ColladaGeometry, PolygonsWithoutCornersKeepTheirPlaceAndMaterial) {
    ReadValid(InstancedDocument(Square(
        "<polylist count=\"4\" material=\"a\">" + kVertex + "<vcount>3 0 4 0</vcount><p>0 1 2 3 2 1 0</p></polylist>" +
        "<polygons count=\"3\" material=\"b\">" + kVertex + "<p></p><p>1 2 3</p><p/></polygons>" +
        "<polylist count=\"2\">" + kVertex + "<vcount>0 3</vcount><p>0 2 3</p></polylist>")));
    KFbxMesh* mesh = TheMesh();
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetPolygonCount(), 9);
    std::vector<int> sizes;
    for (int polygon = 0; polygon < mesh->GetPolygonCount(); ++polygon) {
        sizes.push_back(mesh->GetPolygonSize(polygon));
    }
    EXPECT_EQ(sizes, (std::vector<int>{0, 3, 0, 3, 0, 4, 0, 0, 3}));
    EXPECT_EQ(mesh->GetPolygonVertex(5, 0), 3);
    EXPECT_EQ(mesh->GetPolygonVertex(5, 3), 0);
    EXPECT_EQ(mesh->GetPolygonVertex(8, 2), 3);
    EXPECT_EQ(Indices(mesh->GetLayer(0)->GetMaterials()), (std::vector<int>{0, 0, 0, 1, 1, 1, 1, -1, -1}));
}

TEST_F(ColladaGeometry, AnInputMayShareTheVertexOffset) {
    ReadValid(InstancedDocument(Square("<triangles count=\"1\">" + kVertex +
                              "<input semantic=\"TEXCOORD\" source=\"#sq-uv\" offset=\"0\" set=\"0\"/>"
                              "<p>3 1 2</p></triangles>")));
    EXPECT_EQ(Indices(TheMesh()->GetLayer(0)->GetUVs()), (std::vector<int>{3, 1, 2}));
}

TEST_F(ColladaGeometry, SourcesSharedOrNotAcrossPrimitiveElements) {
    const std::string uv = "<input semantic=\"TEXCOORD\" source=\"#sq-uv\" offset=\"1\" set=\"0\"/>";
    const std::string otherUV = "<input semantic=\"TEXCOORD\" source=\"#sq-uvb\" offset=\"1\" set=\"0\"/>";
    ReadValid(InstancedDocument(Square("<triangles count=\"1\">" + kVertex + uv + "<p>0 0 1 1 2 2</p></triangles>" +
                              "<triangles count=\"1\">" + kVertex + uv + "<p>0 3 2 2 3 1</p></triangles>" +
                              "<triangles count=\"1\">" + kVertex + otherUV + "<p>0 0 1 1 2 1</p></triangles>")));
    const KFbxLayerElementUV* uvs = TheMesh()->GetLayer(0)->GetUVs();
    // The shared source enters once; the other's indices move past its values.
    ASSERT_EQ(uvs->GetDirectArray().GetCount(), 6);
    EXPECT_EQ(uvs->GetDirectArray().GetAt(5)[0], 6.0);
    EXPECT_EQ(Indices(uvs), (std::vector<int>{0, 1, 2, 3, 2, 1, 4, 5, 5}));
}

TEST_F(ColladaGeometry, PrimitiveElementsWithoutAnInputLeaveEmptyEntries) {
    const std::string normals = FloatSource("sq-n", "0 0 1", 1, {"X", "Y", "Z"});
    ReadValid(InstancedDocument(Square("<triangles count=\"1\">" + kVertex + "<p>0 1 2</p></triangles>" +
                                  "<triangles count=\"1\">" + kVertex +
                                  "<input semantic=\"NORMAL\" source=\"#sq-n\" offset=\"1\"/>"
                                  "<input semantic=\"TEXCOORD\" source=\"#sq-uv\" offset=\"1\" set=\"0\"/>"
                                  "<p>0 0 2 0 3 0</p></triangles>" +
                                  "<triangles count=\"1\">" + kVertex + "<p>0 1 2</p></triangles>",
                              normals)));
    const KFbxLayer* layer = TheMesh()->GetLayer(0);
    EXPECT_EQ(Indices(layer->GetUVs()), (std::vector<int>{-1, -1, -1, 0, 0, 0, -1, -1, -1}));
    ASSERT_EQ(layer->GetNormals()->GetDirectArray().GetCount(), 9);
    EXPECT_EQ(layer->GetNormals()->GetDirectArray().GetAt(0)[2], 0.0);
    EXPECT_EQ(layer->GetNormals()->GetDirectArray().GetAt(4)[2], 1.0);
}

TEST_F(ColladaGeometry, NormalsOfASetGoToItsLayer) {
    const std::string normals = FloatSource("sq-n", "0 0 1", 1, {"X", "Y", "Z"});
    ReadValid(InstancedDocument(Square("<triangles count=\"1\">" + kVertex +
                                  "<input semantic=\"NORMAL\" source=\"#sq-n\" offset=\"1\" set=\"1\"/>"
                                  "<p>0 0 1 0 2 0</p></triangles>",
                              normals)));
    KFbxMesh* mesh = TheMesh();
    ASSERT_EQ(mesh->GetLayerCount(), 2);
    EXPECT_EQ(mesh->GetLayer(1)->GetNormals()->GetDirectArray().GetCount(), 3);
    EXPECT_EQ(mesh->GetLayer(0)->GetNormals()->GetDirectArray().GetCount(), 0);
    EXPECT_EQ(mesh->GetLayer(0)->GetNormals()->GetMappingMode(), KFbxLayerElement::eBY_POLYGON_VERTEX);
}

TEST_F(ColladaGeometry, WithoutNormalInputsTheVerticesNormalsOrComputedOnesServe) {
    ReadValid(InstancedDocument(Square("<triangles count=\"1\">" + kVertex + "<p>0 1 2</p></triangles>")));
    const KFbxLayerElementNormal* computed = TheMesh()->GetLayer(0)->GetNormals();
    EXPECT_EQ(computed->GetMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    EXPECT_NEAR(computed->GetDirectArray().GetAt(0)[2], 1.0, 1e-9);

    ReadValid(InstancedDocument(Geometry(
        "given", FloatSource("g-p", "0 0 0 1 0 0 0 1 0", 3, {"X", "Y", "Z"}) +
                     FloatSource("g-n", "0 1 0 0 1 0 1 0 0", 3, {"X", "Y", "Z"}) +
                     "<vertices id=\"g-v\"><input semantic=\"POSITION\" source=\"#g-p\"/>"
                     "<input semantic=\"NORMAL\" source=\"#g-n\"/></vertices>"
                     "<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/><p>0 1 2</p>"
                     "</triangles>")));
    const KFbxLayerElementNormal* given = Objects<KFbxMesh>().back()->GetLayer(0)->GetNormals();
    EXPECT_EQ(given->GetMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    EXPECT_EQ(given->GetDirectArray().GetAt(2)[0], 1.0);
}

TEST_F(ColladaGeometry, VertexColoursGoByControlPoint) {
    ReadValid(InstancedDocument(Geometry(
        "c", FloatSource("c-p", "0 0 0 1 0 0 0 1 0", 3, {"X", "Y", "Z"}) +
                 FloatSource("c-c", "1 0 0 1 0 1 0 1 0 0 1 0.5", 3, {"R", "G", "B", "A"}) +
                 "<vertices id=\"c-v\"><input semantic=\"POSITION\" source=\"#c-p\"/>"
                 "<input semantic=\"COLOR\" source=\"#c-c\"/></vertices>"
                 "<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#c-v\" offset=\"0\"/><p>0 1 2</p>"
                 "</triangles>")));
    const KFbxLayerElementVertexColor* colors = TheMesh()->GetLayer(0)->GetVertexColors();
    ASSERT_NE(colors, nullptr);
    EXPECT_EQ(colors->GetMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    EXPECT_EQ(colors->GetDirectArray().GetCount(), 3);
    EXPECT_EQ(colors->GetDirectArray().GetAt(2).mAlpha, 0.5);
}

TEST_F(ColladaGeometry, MinorFeaturesWarnAndTheMeshKeepsWhatItCan) {
    const std::string tris = "<triangles count=\"1\">" + kVertex + "<p>0 1 2</p></triangles>";
    const std::string lines = "<lines count=\"1\">" + kVertex + "<p>0 1</p></lines>";
    std::string document = InstancedDocument(Square(lines + tris));
    document.replace(document.find("<mesh>"), 6, "<asset><created>2024-05-01T10:00:00Z</created>"
                                                  "<modified>2024-05-01T10:00:00Z</modified></asset><mesh>");
    ReadValid(document);
    EXPECT_TRUE(MessageHas("Warning: <lines> is not supported: its primitives are not read in mesh sq"));
    EXPECT_TRUE(MessageHas("Warning: Unrecognized geometry element: asset"));
    EXPECT_EQ(TheMesh()->GetPolygonCount(), 1);
}

TEST_F(ColladaGeometry, StripsAndFansAreTheTrianglesTheyDescribe) {
    // Inputs as triangles have them: UVs at their own offset, kept with the
    // corner they belong to when a strip turns every other triangle round.
    const std::string uv = "<input semantic=\"TEXCOORD\" source=\"#sq-uv\" offset=\"1\" set=\"0\"/>";
    const std::string strip =
        "<tristrips count=\"3\">" + kVertex + uv + "<p>0 0 1 1 3 3 2 2 0 0</p><p>1 1 2 2</p></tristrips>";
    const std::string fan = "<trifans count=\"2\" material=\"m\">" + kVertex + uv + "<p>0 3 1 2 2 1 3 0</p></trifans>";
    ReadValid(InstancedDocument(Square(strip + fan)));
    EXPECT_FALSE(MessageHas("is not supported")) << mMessage.Buffer();
    KFbxMesh* mesh = TheMesh();
    ASSERT_NE(mesh, nullptr);
    const std::vector<std::vector<int>> expected = {{0, 1, 3}, {3, 1, 2}, {3, 2, 0}, {0, 1, 2}, {0, 2, 3}};
    ASSERT_EQ(mesh->GetPolygonCount(), static_cast<int>(expected.size()));
    std::vector<int> corners;
    for (int polygon = 0; polygon < mesh->GetPolygonCount(); ++polygon) {
        ASSERT_EQ(mesh->GetPolygonSize(polygon), 3);
        for (int corner = 0; corner < 3; ++corner) {
            EXPECT_EQ(mesh->GetPolygonVertex(polygon, corner), expected[polygon][corner]) << polygon;
            corners.push_back(mesh->GetPolygonVertex(polygon, corner));
        }
    }
    // The strip's UVs follow its points; the fan's run the other way.
    const std::vector<int> uvs = Indices(mesh->GetLayer(0)->GetUVs());
    ASSERT_EQ(uvs.size(), 15u);
    for (std::size_t vertex = 0; vertex < 9; ++vertex) {
        EXPECT_EQ(uvs[vertex], corners[vertex]) << vertex;
    }
    EXPECT_EQ(uvs[9], 3);
    EXPECT_EQ(uvs[10], 2);
    EXPECT_EQ(uvs[14], 0);
    EXPECT_EQ(Indices(mesh->GetLayer(0)->GetMaterials()), (std::vector<int>{-1, -1, -1, 0, 0}));
}

TEST_F(ColladaGeometry, AGeometryOfADuplicateIdGivesWayOnlyToOneWithContent) {
    const std::string triangle = "<triangles count=\"1\">" + kVertex + "<p>0 1 2</p></triangles>";
    std::string document = InstancedDocument(Square(triangle));
    const std::string second = Square(triangle.substr(0, triangle.find("<p>")) + "<p>0 2 3</p></triangles>");
    document = Replaced(document, "</library_geometries>",
                        second.substr(second.find("<geometry "), second.find("</library_geometries>") -
                                                                     second.find("<geometry ")) +
                            "</library_geometries>");
    ASSERT_TRUE(Read(document)) << mMessage.Buffer();
    EXPECT_TRUE(MessageHas("Warning: Duplicate id sq: the <geometry> with content is used, the other is left out"));
    // The later one is destroyed; the first stays.
    KFbxMesh* mesh = TheMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetPolygonVertex(0, 1), 1);
}

TEST_F(ColladaGeometry, VertexInputsOtherThanPositionsNormalsAndColours) {
    const std::string second = Square("<triangles count=\"1\">" + kVertex + "<p>0 1 2</p></triangles>");
    std::string geometry = second.substr(std::string("<library_geometries>").size());
    geometry = geometry.substr(0, geometry.find("</library_geometries>"));
    std::string both = "<library_geometries>" + geometry + geometry + "</library_geometries>";
    std::size_t at = 0;
    for (int copy = 0; copy < 2; ++copy) {
        at = both.find("</vertices>", at);
        both.insert(at, "<input semantic=\"TEXCOORD\" source=\"#sq-uv\"/>");
        at += 20;
    }
    both.replace(both.rfind("id=\"sq\""), 7, "id=\"sq2\"");
    ASSERT_TRUE(Read(InstancedDocument(both)));
    const std::string message = mMessage.Buffer();
    EXPECT_EQ(message.find("TEXCOORD not supported in vertices input"),
              message.rfind("TEXCOORD not supported in vertices input"));
    EXPECT_NE(message.find("TEXCOORD not supported in vertices input"), std::string::npos);
    std::string binormal = second;
    binormal.insert(binormal.find("</vertices>"), "<input semantic=\"BINORMAL\" source=\"#sq-uv\"/>");
    EXPECT_FALSE(Read(InstancedDocument(binormal)));
    EXPECT_TRUE(MessageHas("ERROR: BINORMAL not supported in vertices input"));
}

// Each document is broken in one way; each read fails with its message and
// the mesh goes with it.
TEST_F(ColladaGeometry, BadIndicesCountsAndReferencesFailTheGeometry) {
    const std::string uv = "<input semantic=\"TEXCOORD\" source=\"#sq-uv\" offset=\"1\" set=\"0\"/>";
    const std::pair<std::string, std::string> cases[] = {
        {Square("<triangles count=\"1\">" + kVertex + "<p>0 1 4</p></triangles>"), "vertex index 4 out of range"},
        {Square("<triangles count=\"1\">" + kVertex + "<p>0 1 -1</p></triangles>"), "vertex index -1 out of range"},
        {Square("<triangles count=\"1\">" + kVertex + uv + "<p>0 0 1 1 2 4</p></triangles>"),
         "TEXCOORD index 4 out of range"},
        {Square("<triangles count=\"1\">" + kVertex + uv + "<p>0 0 1 1 2</p></triangles>"),
         "incomplete group of indices"},
        {Square("<polylist count=\"1\">" + kVertex + "<vcount>4</vcount><p>0 1 2</p></polylist>"),
         "<vcount> and <p> do not agree"},
        {Square("<polylist count=\"1\">" + kVertex + "<vcount>-1 4</vcount><p>0 1 2</p></polylist>"),
         "negative polygon size"},
        {Square("<triangles count=\"1\"><p>0 1 2</p></triangles>"), "No vertices defined in mesh "},
        {Square("<triangles count=\"1\">" + kVertex +
                "<input semantic=\"NORMAL\" source=\"#nowhere\" offset=\"1\"/><p>0 0 1 1 2 2</p></triangles>"),
         "source \"#nowhere\" not found as <source> for <input>"},
        {Square("<triangles count=\"1\">" + kVertex +
                "<input semantic=\"TEXCOORD\" source=\"#sq-uv\" offset=\"2147483647\" set=\"0\"/><p>0 1 2</p>"
                "</triangles>"),
         "incomplete group"},
        {Square("<triangles count=\"1\">" + kVertex + "<input semantic=\"TEXCOORD\" source=\"#sq-uv\" offset=\"-1\"/>"
                "<p>0 1 2</p></triangles>"),
         "negative input offset"},
        {Square("<triangles count=\"1\">" + kVertex +
                "<input semantic=\"TEXCOORD\" source=\"#sq-uv\" offset=\"1\" set=\"2147483647\"/><p>0 0 1 1 2 2</p>"
                "</triangles>"),
         "input set 2147483647 out of range"},
        {"<library_geometries><geometry id=\"g\"><extra/></geometry></library_geometries>",
         "ERROR: no mesh found for library g"},
        {Geometry("g", ""), "ERROR: <vertex> node not found"},
        {"<library_geometries><geometry id=\"g\"><convex_mesh/></geometry></library_geometries>",
         "ERROR: Unrecognized geometry element: convex_mesh"},
    };
    for (const auto& [library, message] : cases) {
        ExpectReadFails(InstancedDocument(library), message);
        EXPECT_TRUE(Objects<KFbxMesh>().empty()) << message;
    }
}

TEST_F(ColladaGeometry, SourcesThatDoNotReadFailTheGeometry) {
    const std::string shortPositions =
        Geometry("g", "<source id=\"p\"><float_array id=\"pa\" count=\"3\">0 0 0</float_array><technique_common>"
                      "<accessor source=\"#pa\" count=\"2\" stride=\"3\"/></technique_common></source>"
                      "<vertices id=\"v\"><input semantic=\"POSITION\" source=\"#p\"/></vertices>");
    EXPECT_FALSE(Read(InstancedDocument(shortPositions)));
    EXPECT_TRUE(MessageHas("ERROR: reading array in <source>: #p"));
    const std::string dangling =
        Geometry("g", "<vertices id=\"v\"><input semantic=\"POSITION\" source=\"#p\"/></vertices>");
    EXPECT_FALSE(Read(InstancedDocument(dangling)));
    EXPECT_TRUE(MessageHas("ERROR: source #p not source in vertices input"));
    const std::string twoMeshes = Geometry("g", "<vertices id=\"v\"/></mesh><mesh><vertices id=\"w\"/>");
    EXPECT_FALSE(Read(InstancedDocument(twoMeshes)));
    EXPECT_TRUE(MessageHas("ERROR: more than one mesh defined for library g"));
}

// A geometry that one node alone instances reads into the scene as the
// library's own mesh rather than a copy of it: the node gets what a copy
// (made when another node instances the geometry differently) would hold.
TEST_F(ColladaGeometry, ASoleInstanceHoldsWhatACopyWould) {
    const std::string libraries =
        "<library_images><image id=\"img\"><init_from>wood.tga</init_from></image></library_images>\n"
        "<library_effects><effect id=\"fx\"><profile_COMMON><technique sid=\"t\"><lambert><diffuse>"
        "<texture texture=\"img\" texcoord=\"uv\"/></diffuse></lambert></technique></profile_COMMON></effect>"
        "</library_effects>\n<library_materials><material id=\"m\"><instance_effect url=\"#fx\"/></material>"
        "<material id=\"m2\"><instance_effect url=\"#fx\"/></material></library_materials>\n" +
        Geometry("cube", CubeSources() + CubePrimitive(Form::kPolylist));
    const auto node = [](const char* id, const char* material) {
        return std::string("<node id=\"") + id + "\"><instance_geometry url=\"#cube\"><bind_material><technique_common>"
               "<instance_material symbol=\"red\" target=\"#" + material + "\"><bind_vertex_input semantic=\"uv\" "
               "input_semantic=\"TEXCOORD\" input_set=\"0\"/></instance_material></technique_common>"
               "</bind_material></instance_geometry></node>";
    };
    // Bound alike, the first node's mesh either way; a second node bound
    // otherwise makes the first a copy.
    KFbxScene* copied = KFbxScene::Create(mManager, "copied");
    const std::string path = Write(colladatest::SceneDocument(libraries, node("n1", "m") + node("n2", "m2")), "copied.dae");
    COLLADA_EXPECT_SCHEMA_VALID(path);
    ASSERT_TRUE(ReadFile(path, copied)) << mMessage.Buffer();
    ReadValid(colladatest::SceneDocument(libraries, node("n1", "m")));
    const auto meshOf = [](KFbxScene* scene) -> const KFbxMesh* {
        KFbxNode* found = scene->GetRootNode()->FindChild("n1");
        return found != nullptr ? dynamic_cast<const KFbxMesh*>(found->GetNodeAttribute()) : nullptr;
    };
    ASSERT_NE(meshOf(copied), nullptr);
    ASSERT_NE(meshOf(mScene), nullptr);
    EXPECT_EQ(colladatest::MeshFingerprint(*meshOf(mScene)), colladatest::MeshFingerprint(*meshOf(copied)));
    EXPECT_EQ(meshOf(mScene)->GetPolygonCount(), 6);
    ASSERT_NE(meshOf(mScene)->GetLayer(0)->GetTextures(), nullptr);
}
