// A polygon mesh. Polygons are records {first polygon vertex, size, group}
// over one array of control-point indices, the polygon vertices; the edge
// array names each edge by the polygon vertex it starts from.
#ifndef FBXFILESDK_GEOMETRY_KFBXMESH_H
#define FBXFILESDK_GEOMETRY_KFBXMESH_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KFbxObject_internal;
class KFbxPlug;
class KFbxSdkManager;

class KFbxMesh : public KFbxGeometry {
public:
    // The U/V grid of a mesh tessellated from a surface, as files carry it;
    // the mesh itself does not use it. All zero for other meshes.
    struct UVGrid {
        int mUCount = 0;
        int mVCount = 0;
        int mUExtendedCount = 0;
        int mVExtendedCount = 0;
        int mUStep = 0;
        int mVStep = 0;
        bool mUClosed = false;
        bool mVClosed = false;
        bool mUTopCap = false;
        bool mVTopCap = false;
    };

    // The class id of KFbxMesh; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxMesh(KFbxSdkManager* manager, const char* name);
    ~KFbxMesh() override;

    // Through the manager; null when the class is not registered or memory runs out.
    static KFbxMesh* Create(KFbxSdkManager* manager, const char* name);
    // Constructs a mesh with its twin; null when memory runs out.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    KFbxObject_internal* NewInternalObject() override;
    EAttributeType GetAttributeType() const override;
    // "Mesh".
    const char* GetTypeName() const override;
    // From another mesh: points, layers, pivot, shapes, polygons, edges and grid.
    // Nothing from any other object.
    void Copy(const KFbxObject& other) override;
    // Mode 2: a new mesh of the same class and name through the manager,
    // with this one's property values and contents; null for other modes.
    KFbxNodeAttribute* Clone(int mode) const override;

    // ---- building polygons ----
    // Starts a polygon. When layer 0's material element is by polygon with an
    // index reference, its index array follows the polygons and gets the
    // material index; the element is made (by polygon, index to direct) for
    // the mesh's first polygon when a material index is given. With legacy,
    // layer 0's diffuse texture element does the same with the texture
    // index. -1 means none; an index below -1 is recorded as -1.
    void BeginPolygon(int material = -1, int texture = -1, int group = -1, bool legacy = true);
    // Appends a control point to the polygon begun last. The UV index, when
    // not -1, goes into layer 0's diffuse UV element when that is by polygon
    // vertex with an index reference. A control point outside the points,
    // or no polygon begun, is refused (false); a UV index outside the UV
    // element's values is not recorded.
    bool AddPolygonVertex(int index, int uvIndex = -1);
    // The polygon is complete as it stands.
    void EndPolygon() {}
    // Room for this many more polygons and polygon vertices, so that building
    // them moves none; room the memory cannot give is left ungiven.
    void ReservePolygons(int polygons, int polygonVertices);
    // Appends the polygons of a list in the form files store them: control
    // points in order, the last of each polygon as its complement (-index-1);
    // when the list does not end so, its last polygon ends with it. Polygon i
    // of the list gets groups[i], or -1 past groupCount. The result is that of
    // BeginPolygon(-1, -1, group, false), AddPolygonVertex and EndPolygon
    // for each, in one go.
    void AddPolygons(const int* stored, int count, const int* groups = nullptr, int groupCount = 0);

    // ---- reading polygons ----
    int GetPolygonCount() const { return static_cast<int>(mPolygons.size()); }
    // -1 out of range.
    int GetPolygonSize(int polygon) const;
    int GetPolygonGroup(int polygon) const;
    // Its first polygon vertex; -1 out of range.
    int GetPolygonVertexIndex(int polygon) const;
    // The control point at a position of a polygon; -1 out of range.
    int GetPolygonVertex(int polygon, int position) const;
    // All polygon vertices, polygon after polygon; null when none.
    const int* GetPolygonVertices() const { return mPolygonVertices.empty() ? nullptr : mPolygonVertices.data(); }
    int GetPolygonVertexCount() const { return static_cast<int>(mPolygonVertices.size()); }
    // The UV index of that polygon vertex in layer 0's UV element of the
    // channel, as its mapping and reference say; -1 without the element, out
    // of range, or when the element holds no valid index for it.
    int GetTextureUVIndex(int polygon, int position, int channel = KFbxLayerElement::eDIFFUSE_TEXTURES) const;

    // ---- normals ----
    // Normals by control point: at each polygon corner the cross product of
    // its two edges (reversed for clockwise polygons), averaged per control
    // point and normalised; (0, 0, 0, 1) for points no polygon uses. Written
    // to layer 0 through InitNormals(0).
    void ComputeVertexNormals(bool clockwise = false);

    // ---- edges ----
    // One entry per distinct undirected edge, in the order polygons first use them.
    void BuildMeshEdgeArray();
    int GetMeshEdgeCount() const { return static_cast<int>(mEdges.size()); }
    // The polygon vertex the edge starts from; -1 out of range.
    int GetMeshEdge(int edge) const;
    // Replaces the edges; false, unchanged, when an entry is not a polygon
    // vertex, the count is negative or the items are null with a count.
    bool SetMeshEdges(const int* polygonVertices, int count);

    // ---- U/V grid ----
    const UVGrid& GetUVGrid() const { return mUVGrid; }
    void SetUVGrid(const UVGrid& grid) { mUVGrid = grid; }

private:
    struct Polygon {
        int mStart;
        int mSize;
        int mGroup;
    };

    // The polygon vertex at the position; -1 out of range.
    int PolygonVertexAt(int polygon, int position) const;

    std::vector<Polygon> mPolygons;
    std::vector<int> mPolygonVertices;
    std::vector<int> mEdges;
    UVGrid mUVGrid;
};

}  // namespace fbxsdk_2006_11_1

#endif
