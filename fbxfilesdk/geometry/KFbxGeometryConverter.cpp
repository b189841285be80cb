#include <fbxfilesdk/geometry/KFbxGeometryConverter.h>

#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxMeshRebuild.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxNurbsSurface.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfaceTessellation.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <algorithm>
#include <new>
#include <numeric>
#include <type_traits>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

// The node carries the replacement where it carried the old attribute
// (still its default when it was); the old one is destroyed unless another
// node carries it. False, the node unchanged, when the node refuses it.
bool ReplaceAttribute(KFbxNode& node, KFbxNodeAttribute* old, KFbxNodeAttribute* replacement) {
    const bool wasDefault = node.GetNodeAttribute() == old;
    if (wasDefault && node.GetNodeAttributeCount() == 1) {
        node.SetNodeAttribute(replacement);
        if (node.GetNodeAttribute() != replacement) {
            node.SetNodeAttribute(old);
            return false;
        }
    } else {
        if (!node.AddNodeAttribute(replacement)) {
            return false;
        }
        node.DisconnectSrc(old);
        if (wasDefault) {
            node.SetDefaultNodeAttributeIndex(node.GetNodeAttributeIndex(replacement));
        }
    }
    // The scene still lists the old attribute among its objects; only
    // other nodes keep it alive.
    if (KFbxNode::ClassId != KFbxClassId() && old->GetDstObjectCount(KFbxNode::ClassId) == 0) {
        old->Destroy();
    }
    return true;
}

// The deformers leave the source for the target, which owns them from then
// on; not when another node still carries the source, which keeps them.
void MoveDeformers(KFbxGeometry& source, KFbxGeometry& target) {
    if (KFbxNode::ClassId != KFbxClassId() && source.GetDstObjectCount(KFbxNode::ClassId) > 1) {
        return;
    }
    for (int left = source.GetDeformerCount(); left > 0; --left) {
        KFbxDeformer* deformer = source.GetDeformer(0);
        if (deformer == nullptr || !source.DisconnectSrc(deformer)) {
            return;
        }
        target.AddDeformer(deformer);
    }
}

// The first layer that holds normals; -1 when none does.
int FirstNormalLayer(const KFbxLayerContainer& container) {
    for (int index = 0; index < container.GetLayerCount(); ++index) {
        if (container.GetLayer(index)->GetNormals() != nullptr) {
            return index;
        }
    }
    return -1;
}

// Normals an element gives: its indices, or its values when they are direct.
int NormalCount(const KFbxLayerElementNormal& normals) {
    return normals.GetReferenceMode() == KFbxLayerElement::eDIRECT ? normals.GetDirectArray().GetCount()
                                                                   : normals.GetIndexArray().GetCount();
}

// The first normal layer of the geometry holds one normal per polygon vertex.
bool HasPolygonVertexNormals(const KFbxLayerContainer& geometry, int polygonVertexCount) {
    const int layer = FirstNormalLayer(geometry);
    return layer >= 0 && NormalCount(*geometry.GetLayer(layer)->GetNormals()) == polygonVertexCount;
}

void MapNormalsByControlPoint(KFbxLayerContainer& geometry) {
    const int layer = FirstNormalLayer(geometry);
    if (layer >= 0) {
        geometry.GetLayer(layer)->GetNormals()->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    }
}

std::vector<KFbxSkin*> SkinsOf(const KFbxGeometry& geometry) { return KFbxMeshRebuild::SourcesOf<KFbxSkin>(geometry); }

// The (u, v) point of the source goes to (v, u) of the copy: copy point
// u * vCount + v comes from source point v * uCount + u.
std::vector<int> TransposeMap(int uCount, int vCount) {
    std::vector<int> map(static_cast<std::size_t>(uCount) * static_cast<std::size_t>(vCount));
    for (int u = 0; u < uCount; ++u) {
        for (int v = 0; v < vCount; ++v) {
            map[static_cast<std::size_t>(u) * vCount + v] = v * uCount + u;
        }
    }
    return map;
}

// Gives the copy the source's skins, their clusters weighing the copy's
// points through the map (copy point to source point). False when a skin
// or cluster cannot be made.
bool CopySkinsThrough(const KFbxGeometry& source, KFbxGeometry& copy, const std::vector<int>& map) {
    const std::vector<std::vector<int>> newOfOld = KFbxMeshRebuild::Invert(map, source.GetControlPointsCount());
    for (const KFbxSkin* skin : SkinsOf(source)) {
        KFbxSkin* newSkin = KFbxSkin::Create(copy.GetSdkManager(), skin->GetName());
        if (newSkin == nullptr) {
            return false;
        }
        if (copy.AddDeformer(newSkin) == -1) {
            newSkin->Destroy();
            return false;
        }
        newSkin->SetDeformAccuracy(skin->GetDeformAccuracy());
        for (int index = 0; index < skin->GetClusterCount(); ++index) {
            KFbxCluster* cluster = KFbxMeshRebuild::CopyClusterThrough(*skin->GetCluster(index), newOfOld);
            if (cluster == nullptr) {
                return false;
            }
            newSkin->AddCluster(cluster);
        }
    }
    return true;
}

// Fills a fresh copy with the source's contents, U and V exchanged when asked.
template <class Surface>
bool FillSwappedCopy(const Surface& source, Surface& copy, bool swapUV, bool remapClusters) {
    const KFbxNurbsGrid& sourceGrid = source.GetGrid();
    if (sourceGrid.GetPointCount() != source.GetControlPointsCount()) {
        return false;
    }
    KFbxNurbsGrid grid(sourceGrid);
    std::vector<int> map(static_cast<std::size_t>(sourceGrid.GetPointCount()));
    if (swapUV) {
        grid.SwapUV();
        map = TransposeMap(sourceGrid.mU.mCount, sourceGrid.mV.mCount);
    } else {
        std::iota(map.begin(), map.end(), 0);
    }
    using Type = typename Surface::ENurbType;
    if (!copy.InitControlPoints(grid.mU.mCount, static_cast<Type>(grid.mU.mType), grid.mV.mCount,
                                static_cast<Type>(grid.mV.mType)) ||
        !copy.SetGrid(grid)) {
        return false;
    }
    const KFbxVector4* from = source.GetControlPoints();
    KFbxVector4* to = copy.GetControlPoints();
    for (std::size_t index = 0; index < map.size(); ++index) {
        to[index] = from[map[index]];
    }
    for (int index = 0; index < source.GetLayerCount(); ++index) {
        KFbxLayer* layer = copy.GetLayer(copy.CreateLayer());
        if (layer == nullptr || !layer->Copy(*source.GetLayer(index), source.GetSdkManager())) {
            return false;
        }
    }
    KFbxMeshRebuild::Maps maps;
    maps.mControlPoints = &map;
    if (!KFbxMeshRebuild::RemapLayers(copy, maps)) {
        return false;
    }
    KgeMatrix pivot;
    copy.SetPivot(source.GetPivot(pivot));
    copy.SetSurfaceMode(source.GetSurfaceMode());
    copy.SetFlag0(false);
    copy.SetFlag1(false);
    if constexpr (std::is_same_v<Surface, KFbxNurbsSurface>) {
        copy.SetFlag2(source.GetFlag2());
    }
    // Shapes are shared objects with the source's point order.
    if (!swapUV) {
        KFbxMeshRebuild::CopyShapes(source, copy);
    }
    return !remapClusters || CopySkinsThrough(source, copy, map);
}

template <class Surface>
Surface* CopySwapUV(const Surface* source, bool swapUV, bool remapClusters) {
    if (source == nullptr) {
        return nullptr;
    }
    // The attribute base's clone: the class and the property values only.
    auto* copy = dynamic_cast<Surface*>(source->KFbxNodeAttribute::Clone(2));
    if (copy == nullptr) {
        return nullptr;
    }
    bool filled = false;
    try {
        filled = FillSwappedCopy(*source, *copy, swapUV, remapClusters);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        filled = false;
    }
    if (!filled) {
        copy->Destroy();
        return nullptr;
    }
    return copy;
}

// Point (u, v) and point (uCount - 1 - u, v) trade places: running U the
// other way flips a surface's normals. The map is its own inverse.
std::vector<int> ReverseUMap(int uCount, int vCount) {
    std::vector<int> map(static_cast<std::size_t>(uCount) * static_cast<std::size_t>(vCount));
    for (int v = 0; v < vCount; ++v) {
        for (int u = 0; u < uCount; ++u) {
            map[static_cast<std::size_t>(v) * uCount + u] = v * uCount + (uCount - 1 - u);
        }
    }
    return map;
}

// The surface's own grid, points and layers run U the other way: the U
// knots reflected within their range, the U multiplicities reversed.
bool ReverseU(KFbxNurb& nurb, const std::vector<int>& map) {
    KFbxNurbsGrid grid(nurb.GetGrid());
    std::vector<double>& knots = grid.mU.mKnots;
    if (!knots.empty()) {
        const double sum = knots.front() + knots.back();
        std::reverse(knots.begin(), knots.end());
        for (double& knot : knots) {
            knot = sum - knot;
        }
    }
    std::reverse(grid.mU.mMultiplicities.begin(), grid.mU.mMultiplicities.end());
    const std::vector<KFbxVector4> points(nurb.GetControlPoints(), nurb.GetControlPoints() + map.size());
    for (std::size_t index = 0; index < map.size(); ++index) {
        nurb.GetControlPoints()[index] = points[static_cast<std::size_t>(map[index])];
    }
    KFbxMeshRebuild::Maps maps;
    maps.mControlPoints = &map;
    return nurb.SetGrid(grid) && KFbxMeshRebuild::RemapLayers(nurb, maps);
}

// What the surface shares with others follows the map too: the points of
// its shapes and the point indices of its clusters. Applied twice, undone.
void ReverseUShared(KFbxNurb& nurb, const std::vector<int>& map) {
    KFbxMeshRebuild::Maps maps;
    maps.mControlPoints = &map;
    for (int index = 0; index < nurb.GetShapeCount(); ++index) {
        KFbxShape* shape = nurb.GetShape(index);
        if (shape == nullptr || shape->GetControlPointsCount() != static_cast<int>(map.size())) {
            continue;
        }
        const std::vector<KFbxVector4> points(shape->GetControlPoints(), shape->GetControlPoints() + map.size());
        for (std::size_t point = 0; point < map.size(); ++point) {
            shape->GetControlPoints()[point] = points[static_cast<std::size_t>(map[point])];
        }
        KFbxMeshRebuild::RemapLayers(*shape, maps);
    }
    for (KFbxSkin* skin : SkinsOf(nurb)) {
        for (int index = 0; index < skin->GetClusterCount(); ++index) {
            KFbxCluster* cluster = skin->GetCluster(index);
            int* indices = cluster->GetControlPointIndices();
            for (int pair = 0; indices != nullptr && pair < cluster->GetControlPointIndicesCount(); ++pair) {
                if (indices[pair] >= 0 && static_cast<std::size_t>(indices[pair]) < map.size()) {
                    indices[pair] = map[static_cast<std::size_t>(indices[pair])];
                }
            }
        }
    }
}

}  // namespace


KFbxGeometryConverter::KFbxGeometryConverter(KFbxSdkManager* manager, const char* name) : KFbxObject(manager, name) {}

KFbxGeometryConverter::~KFbxGeometryConverter() = default;

KFbxGeometryConverter* KFbxGeometryConverter::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxGeometryConverter>(manager, ClassId, name);
}

KFbxPlug* KFbxGeometryConverter::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxGeometryConverter>(manager, name);
}

KFbxClassId KFbxGeometryConverter::GetClassId() const { return ClassId; }

// ---- triangulation ----------------------------------------------------------

KFbxMesh* KFbxGeometryConverter::TriangulateMesh(const KFbxMesh& mesh) {
    KFbxMesh* triangles = nullptr;
    try {
        KFbxMeshRebuild::Plan plan;
        plan.mPoints.assign(mesh.GetControlPoints(), mesh.GetControlPoints() + mesh.GetControlPointsCount());
        const int* polygonVertices = mesh.GetPolygonVertices();
        for (int polygon = 0; polygon < mesh.GetPolygonCount(); ++polygon) {
            const int start = mesh.GetPolygonVertexIndex(polygon);
            const int size = mesh.GetPolygonSize(polygon);
            for (int corner = 1; corner + 1 < size; ++corner) {
                plan.mPolygonSizes.push_back(3);
                plan.mPolygonGroups.push_back(mesh.GetPolygonGroup(polygon));
                plan.mPolygonMap.push_back(polygon);
                for (int vertex : {start, start + corner, start + corner + 1}) {
                    plan.mPolygonVertices.push_back(polygonVertices[vertex]);
                    plan.mPolygonVertexMap.push_back(vertex);
                }
            }
        }
        triangles = KFbxMeshRebuild::Rebuild(mesh, plan);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return nullptr;
    }
    if (triangles != nullptr && mesh.GetMeshEdgeCount() > 0) {
        triangles->BuildMeshEdgeArray();
    }
    return triangles;
}

bool KFbxGeometryConverter::TriangulateInPlace(KFbxNode* node) {
    KFbxNodeAttribute* attribute = node != nullptr ? node->GetNodeAttribute() : nullptr;
    KFbxMesh* triangles = nullptr;
    if (auto* mesh = dynamic_cast<KFbxMesh*>(attribute)) {
        triangles = TriangulateMesh(*mesh);
        if (triangles != nullptr) {
            KFbxMeshRebuild::CopyShapes(*mesh, *triangles);
            MoveDeformers(*mesh, *triangles);
        }
    } else if (auto* nurb = dynamic_cast<KFbxNurb*>(attribute)) {
        triangles = KFbxSurfaceTessellation::TessellateNurbs(*nurb);
    } else if (auto* patch = dynamic_cast<KFbxPatch*>(attribute)) {
        triangles = KFbxSurfaceTessellation::TessellatePatch(*patch);
    }
    if (triangles == nullptr) {
        return false;
    }
    if (!ReplaceAttribute(*node, attribute, triangles)) {
        if (auto* mesh = dynamic_cast<KFbxMesh*>(attribute)) {
            MoveDeformers(*triangles, *mesh);
        }
        triangles->Destroy();
        return false;
    }
    return true;
}

// ---- NURBS copies and conversion --------------------------------------------

KFbxNurb* KFbxGeometryConverter::CopyNurbSwapUV(const KFbxNurb* nurb, bool swapUV, bool remapClusters) {
    return CopySwapUV(nurb, swapUV, remapClusters);
}

KFbxNurbsSurface* KFbxGeometryConverter::CopyNurbsSurfaceSwapUV(const KFbxNurbsSurface* surface, bool swapUV,
                                                                bool remapClusters) {
    return CopySwapUV(surface, swapUV, remapClusters);
}

bool KFbxGeometryConverter::ConvertNodeNurbsSurfaceToNurb(KFbxNode* node) {
    auto* surface = node != nullptr ? dynamic_cast<KFbxNurbsSurface*>(node->GetNurbsSurface()) : nullptr;
    if (surface == nullptr) {
        return false;
    }
    KFbxNurb* nurb = KFbxNurb::Create(surface->GetSdkManager(), surface->GetName());
    if (nurb == nullptr) {
        return false;
    }
    // Shapes and deformers go over only when no other node keeps the surface.
    const bool sole = KFbxNode::ClassId == KFbxClassId() || surface->GetDstObjectCount(KFbxNode::ClassId) <= 1;
    const bool flip = surface->GetFlag2();
    std::vector<int> flipMap;
    bool copied = nurb->CopyGridGeometry(*surface);
    try {
        // A grid set whole may come without multiplicities; a NURB has one
        // per row and column.
        KFbxNurbsGrid grid(nurb->GetGrid());
        grid.mU.mMultiplicities.resize(static_cast<std::size_t>(grid.mU.mCount), 1);
        grid.mV.mMultiplicities.resize(static_cast<std::size_t>(grid.mV.mCount), 1);
        copied = copied && nurb->SetGrid(grid);
        // A NURB has no flip-normals flag: it runs U the other way instead.
        if (copied && flip) {
            flipMap = ReverseUMap(grid.mU.mCount, grid.mV.mCount);
            copied = ReverseU(*nurb, flipMap);
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        copied = false;
    }
    if (!copied) {
        nurb->Destroy();
        return false;
    }
    MoveDeformers(*surface, *nurb);
    if (flip && sole) {
        ReverseUShared(*nurb, flipMap);
    }
    if (!ReplaceAttribute(*node, surface, nurb)) {
        if (flip && sole) {
            ReverseUShared(*nurb, flipMap);
        }
        MoveDeformers(*nurb, *surface);
        nurb->Destroy();
        return false;
    }
    return true;
}

// ---- skin through the polygon-vertex mapping ---------------------------------

bool KFbxGeometryConverter::ConvertSkinThroughMapping(KFbxMesh* mesh) {
    if (mesh == nullptr) {
        return false;
    }
    const int polygonVertexCount = mesh->GetPolygonVertexCount();
    if (!HasPolygonVertexNormals(*mesh, polygonVertexCount)) {
        return false;
    }
    for (int index = 0; index < mesh->GetShapeCount(); ++index) {
        const KFbxShape* shape = mesh->GetShape(index);
        if (shape == nullptr || shape->GetControlPointsCount() != mesh->GetControlPointsCount() ||
            !HasPolygonVertexNormals(*shape, polygonVertexCount)) {
            return false;
        }
    }

    KFbxMesh* rebuilt = nullptr;
    std::vector<std::vector<KFbxCluster*>> clusters;
    const auto discard = [&]() {
        for (const std::vector<KFbxCluster*>& skinClusters : clusters) {
            for (KFbxCluster* cluster : skinClusters) {
                cluster->Destroy();
            }
        }
        if (rebuilt != nullptr) {
            rebuilt->Destroy();
        }
    };
    std::vector<int> pointMap;
    std::vector<KFbxSkin*> skins;
    std::vector<std::vector<KFbxVector4>> shapePoints;
    try {
        // Polygon vertex k becomes control point k, at its old point.
        const int* polygonVertices = mesh->GetPolygonVertices();
        pointMap.assign(polygonVertices, polygonVertices + polygonVertexCount);
        KFbxMeshRebuild::Plan plan;
        const KFbxVector4* points = mesh->GetControlPoints();
        for (int old : pointMap) {
            plan.mPoints.push_back(points[old]);
        }
        for (int polygon = 0; polygon < mesh->GetPolygonCount(); ++polygon) {
            plan.mPolygonSizes.push_back(mesh->GetPolygonSize(polygon));
            plan.mPolygonGroups.push_back(mesh->GetPolygonGroup(polygon));
        }
        plan.mPolygonVertices.resize(static_cast<std::size_t>(polygonVertexCount));
        std::iota(plan.mPolygonVertices.begin(), plan.mPolygonVertices.end(), 0);
        plan.mPointMap = pointMap;
        rebuilt = KFbxMeshRebuild::Rebuild(*mesh, plan);
        if (rebuilt == nullptr) {
            return false;
        }
        MapNormalsByControlPoint(*rebuilt);
        std::vector<int> edges;
        for (int edge = 0; edge < mesh->GetMeshEdgeCount(); ++edge) {
            edges.push_back(mesh->GetMeshEdge(edge));
        }
        rebuilt->SetMeshEdges(edges.data(), static_cast<int>(edges.size()));

        const std::vector<std::vector<int>> newOfOld = KFbxMeshRebuild::Invert(pointMap, mesh->GetControlPointsCount());
        for (int index = 0; index < mesh->GetShapeCount(); ++index) {
            const KFbxShape* shape = mesh->GetShape(index);
            shapePoints.emplace_back(shape->GetControlPoints(),
                                     shape->GetControlPoints() + shape->GetControlPointsCount());
        }
        skins = SkinsOf(*mesh);
        for (KFbxSkin* skin : skins) {
            clusters.emplace_back();
            for (int index = 0; index < skin->GetClusterCount(); ++index) {
                KFbxCluster* cluster = KFbxMeshRebuild::CopyClusterThrough(*skin->GetCluster(index), newOfOld);
                if (cluster == nullptr) {
                    discard();
                    return false;
                }
                clusters.back().push_back(cluster);
            }
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        discard();
        return false;
    }

    // Nothing can fail from here on but the shapes' own allocations.
    KFbxMeshRebuild::Maps maps;
    maps.mControlPoints = &pointMap;
    for (int index = 0; index < mesh->GetShapeCount(); ++index) {
        KFbxShape* shape = mesh->GetShape(index);
        const std::vector<KFbxVector4>& old = shapePoints[static_cast<std::size_t>(index)];
        shape->InitControlPoints(polygonVertexCount);
        KFbxVector4* points = shape->GetControlPoints();
        for (int point = 0; points != nullptr && point < polygonVertexCount; ++point) {
            points[point] = old[static_cast<std::size_t>(pointMap[static_cast<std::size_t>(point)])];
        }
        KFbxMeshRebuild::RemapLayers(*shape, maps);
        MapNormalsByControlPoint(*shape);
    }
    KFbxMeshRebuild::CopyShapes(*mesh, *rebuilt);
    mesh->Copy(*rebuilt);
    rebuilt->Destroy();

    for (std::size_t skin = 0; skin < skins.size() && skin < clusters.size(); ++skin) {
        while (skins[skin]->GetClusterCount() > 0) {
            skins[skin]->GetCluster(0)->Destroy();
        }
        for (KFbxCluster* cluster : clusters[skin]) {
            skins[skin]->AddCluster(cluster);
        }
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
