// Rebuilding a mesh with other points or polygons while its layers, pivot,
// shapes and skin follow. Maps go from each new item to the old item it
// comes from: new control point to old control point, new polygon vertex
// to old polygon vertex, new polygon to old polygon.
#ifndef FBXFILESDK_GEOMETRY_KFBXMESHREBUILD_H
#define FBXFILESDK_GEOMETRY_KFBXMESHREBUILD_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxVector4.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxCluster;
class KFbxGeometry;
class KFbxLayerContainer;
class KFbxMesh;

namespace KFbxMeshRebuild {

// Null: that kind of item is unchanged.
struct Maps {
    const std::vector<int>* mControlPoints = nullptr;
    const std::vector<int>* mPolygonVertices = nullptr;
    const std::vector<int>* mPolygons = nullptr;
};

// Every element of every layer follows the map of what it is mapped by:
// its direct arrays when its values are direct, else its index array (an
// item without source gets zero, an index -1). Elements by edge are
// emptied, since edges are not kept; elements for the whole geometry stay.
// False when memory runs out, the elements then partly remapped.
bool RemapLayers(KFbxLayerContainer& container, const Maps& maps);

struct Plan {
    std::vector<KFbxVector4> mPoints;
    std::vector<int> mPolygonSizes;
    std::vector<int> mPolygonGroups;
    // Control points of every polygon, polygon after polygon.
    std::vector<int> mPolygonVertices;
    // Empty where items keep their numbers.
    std::vector<int> mPointMap;
    std::vector<int> mPolygonVertexMap;
    std::vector<int> mPolygonMap;
};

// A new mesh of the source's name through its manager: the plan's points
// and polygons, the source's layers through the plan's maps, its pivot and
// U/V grid. No shapes, deformers or edges. Null when the plan does not add
// up or memory runs out.
KFbxMesh* Rebuild(const KFbxMesh& source, const Plan& plan);

// Gives the target the source's shapes, with their weights.
void CopyShapes(const KFbxGeometry& source, KFbxGeometry& target);

// The object's sources of class T (skins, materials ...), in connection
// order; none while T is not registered.
template <class T>
std::vector<T*> SourcesOf(const KFbxObject& object) {
    std::vector<T*> sources;
    if (T::ClassId == KFbxClassId()) {
        return sources;
    }
    for (int index = 0; index < object.GetSrcObjectCount(T::ClassId); ++index) {
        sources.push_back(static_cast<T*>(object.GetSrcObject(T::ClassId, index)));
    }
    return sources;
}

// For each old item, the new items that come from it.
std::vector<std::vector<int>> Invert(const std::vector<int>& newToOld, int oldCount);

// A new cluster like the source (name, link, link mode, associate model,
// matrices, user data) whose every (old point, weight) pair goes to each
// new point of that old one; old points without new ones drop out. Null
// when the cluster cannot be made.
KFbxCluster* CopyClusterThrough(const KFbxCluster& source, const std::vector<std::vector<int>>& newOfOld);

}  // namespace KFbxMeshRebuild

}  // namespace fbxsdk_2006_11_1

#endif
