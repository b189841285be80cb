// Scenes for the COLLADA writer tests, built through the SDK, and what a
// test compares of them: each polygon's corners with the values the layers
// give them, independent of polygon order and of how the values are stored.
#ifndef TESTS_COLLADA_COLLADAWRITERSCENES_H
#define TESTS_COLLADA_COLLADAWRITERSCENES_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::colladatest {

inline KFbxVector4 Point(double x, double y, double z) { return KFbxVector4(x, y, z, 0.0); }

// A node with a mesh over the points and polygons given, under the parent.
inline KFbxMesh* AddMeshNode(KFbxSdkManager* manager, KFbxNode* parent, const char* name,
                             const std::vector<KFbxVector4>& points, const std::vector<std::vector<int>>& polygons) {
    KFbxNode* node = KFbxNode::Create(manager, name);
    KFbxMesh* mesh = KFbxMesh::Create(manager, name);
    mesh->InitControlPoints(static_cast<int>(points.size()));
    for (std::size_t index = 0; index < points.size(); ++index) {
        mesh->GetControlPoints()[index] = points[index];
    }
    for (const std::vector<int>& polygon : polygons) {
        mesh->BeginPolygon();
        for (const int vertex : polygon) {
            mesh->AddPolygonVertex(vertex);
        }
        mesh->EndPolygon();
    }
    node->SetNodeAttribute(mesh);
    parent->AddChild(node);
    return mesh;
}

// Layer index of the mesh, made (with those below it) when missing.
inline KFbxLayer* LayerOf(KFbxMesh* mesh, int index) {
    while (mesh->GetLayerCount() <= index) {
        mesh->CreateLayer();
    }
    return mesh->GetLayer(index);
}

// The value an element gives polygon vertex pv (of control point cp).
template <class Element>
int ValueIndex(const Element& element, int pv, int cp, int polygon) {
    const int mode = element.GetMappingMode();
    const int entry = mode == KFbxLayerElement::eBY_CONTROL_POINT ? cp
                      : mode == KFbxLayerElement::eBY_POLYGON     ? polygon
                      : mode == KFbxLayerElement::eALL_SAME       ? 0
                                                                  : pv;
    return element.GetReferenceMode() == KFbxLayerElement::eDIRECT ? entry : element.GetIndexArray().GetAt(entry);
}

// One polygon as a test sees it: its material's name and, corner by corner,
// the position, the UVs of layers 0 and 1 and the colour of layer 0 (NaN
// where the layer has none). Corners start at the lowest one, so a polygon
// compares equal whatever corner a writer starts it with.
struct PolygonView {
    std::string mMaterial;
    std::vector<std::vector<double>> mCorners;
    bool operator<(const PolygonView& other) const {
        return std::tie(mMaterial, mCorners) < std::tie(other.mMaterial, other.mCorners);
    }
};

inline std::vector<PolygonView> ViewPolygons(const KFbxMesh& mesh) {
    std::vector<PolygonView> views;
    const double none = std::nan("");
    int pv = 0;
    for (int polygon = 0; polygon < mesh.GetPolygonCount(); ++polygon) {
        PolygonView view;
        const KFbxLayer* layer0 = mesh.GetLayer(0);
        if (const KFbxLayerElementMaterial* materials = layer0 != nullptr ? layer0->GetMaterials() : nullptr) {
            const KFbxSurfaceMaterial* material = materials->GetDirectArray().GetAt(ValueIndex(*materials, 0, 0, polygon));
            view.mMaterial = material != nullptr ? material->GetName() : "";
        }
        for (int corner = 0; corner < mesh.GetPolygonSize(polygon); ++corner, ++pv) {
            const int cp = mesh.GetPolygonVertex(polygon, corner);
            const KFbxVector4 position = mesh.GetControlPoints()[cp];
            std::vector<double> values{position[0], position[1], position[2]};
            for (int layerIndex = 0; layerIndex < 2; ++layerIndex) {
                const KFbxLayer* layer = mesh.GetLayer(layerIndex);
                const KFbxLayerElementUV* uvs = layer != nullptr ? layer->GetUVs() : nullptr;
                if (uvs != nullptr) {
                    const KFbxVector2 uv = uvs->GetDirectArray().GetAt(ValueIndex(*uvs, pv, cp, polygon));
                    values.push_back(uv[0]);
                    values.push_back(uv[1]);
                } else {
                    values.insert(values.end(), {none, none});
                }
            }
            const KFbxLayerElementVertexColor* colors = layer0 != nullptr ? layer0->GetVertexColors() : nullptr;
            if (colors != nullptr) {
                const KFbxColor color = colors->GetDirectArray().GetAt(ValueIndex(*colors, pv, cp, polygon));
                values.insert(values.end(), {color.mRed, color.mGreen, color.mBlue, color.mAlpha});
            }
            view.mCorners.push_back(values);
        }
        std::rotate(view.mCorners.begin(), std::min_element(view.mCorners.begin(), view.mCorners.end()),
                    view.mCorners.end());
        views.push_back(view);
    }
    std::sort(views.begin(), views.end());
    return views;
}

inline void ExpectSamePolygons(const KFbxMesh& expected, const KFbxMesh& actual) {
    const std::vector<PolygonView> want = ViewPolygons(expected);
    const std::vector<PolygonView> got = ViewPolygons(actual);
    ASSERT_EQ(want.size(), got.size());
    for (std::size_t polygon = 0; polygon < want.size(); ++polygon) {
        EXPECT_EQ(want[polygon].mMaterial, got[polygon].mMaterial) << "polygon " << polygon;
        ASSERT_EQ(want[polygon].mCorners.size(), got[polygon].mCorners.size()) << "polygon " << polygon;
        for (std::size_t corner = 0; corner < want[polygon].mCorners.size(); ++corner) {
            const std::vector<double>& a = want[polygon].mCorners[corner];
            const std::vector<double>& b = got[polygon].mCorners[corner];
            ASSERT_EQ(a.size(), b.size()) << "polygon " << polygon << " corner " << corner;
            for (std::size_t k = 0; k < a.size(); ++k) {
                if (std::isnan(a[k])) {
                    EXPECT_TRUE(std::isnan(b[k])) << "polygon " << polygon << " corner " << corner << " value " << k;
                } else {
                    EXPECT_NEAR(a[k], b[k], 1e-6) << "polygon " << polygon << " corner " << corner << " value " << k;
                }
            }
        }
    }
}

// The mesh of the named node below the scene's root.
inline KFbxMesh* MeshOf(KFbxScene* scene, const char* nodeName) {
    KFbxNode* node = scene->GetRootNode()->FindChild(nodeName);
    return node != nullptr ? dynamic_cast<KFbxMesh*>(node->GetMesh()) : nullptr;
}

// The world points of every mesh, rounded to 1e-4 and sorted.
using WorldPoints = std::vector<std::array<double, 3>>;

inline WorldPoints Rounded(WorldPoints points) {
    for (auto& point : points) {
        for (double& value : point) {
            value = std::round(value * 1e4) / 1e4 + 0.0;
        }
    }
    std::sort(points.begin(), points.end());
    return points;
}

inline WorldPoints ScenePoints(KFbxNode& node) {
    WorldPoints points;
    if (auto* mesh = dynamic_cast<KFbxMesh*>(node.GetNodeAttribute())) {
        const KgeMatrix global = node.EvaluateDefaultGlobalTransform();
        for (int point = 0; point < mesh->GetControlPointsCount(); ++point) {
            const KFbxVector4 world = global.MultT(mesh->GetControlPoints()[point]);
            points.push_back({world[0], world[1], world[2]});
        }
    }
    for (int child = 0; child < node.GetChildCount(); ++child) {
        const WorldPoints more = ScenePoints(*node.GetChild(child));
        points.insert(points.end(), more.begin(), more.end());
    }
    return points;
}

// Whether each point of one has its own point of the other within the tolerance.
inline bool SamePoints(const WorldPoints& want, WorldPoints got, double tolerance) {
    for (const auto& point : want) {
        const auto match = std::find_if(got.begin(), got.end(), [&](const std::array<double, 3>& other) {
            return std::fabs(point[0] - other[0]) <= tolerance && std::fabs(point[1] - other[1]) <= tolerance &&
                   std::fabs(point[2] - other[2]) <= tolerance;
        });
        if (match == got.end()) {
            return false;
        }
        got.erase(match);
    }
    return got.empty();
}

// "x y z" triples from the lines of text that start with the prefix.
inline WorldPoints PointsOfLines(const std::string& text, const std::string& prefix) {
    WorldPoints points;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::array<double, 3> point{};
        std::istringstream fields(line.substr(std::min(line.size(), prefix.size())));
        if (line.rfind(prefix, 0) == 0 && fields >> point[0] >> point[1] >> point[2]) {
            points.push_back(point);
        }
    }
    return points;
}

}  // namespace fbxsdk_2006_11_1::colladatest

#endif
