#include <fbxfilesdk/geometry/KFbxMesh.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KLargeArrayGrowth.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxGeometry_internal.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>

#include <algorithm>
#include <climits>
#include <new>
#include <set>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

// Room for more items; a shortfall grows the storage by half again at least,
// so that polygons added in many runs are not copied once per run.
template <class Vector>
void ReserveForMore(Vector& items, std::size_t more) {
    const std::size_t needed = items.size() + more;
    if (needed > items.capacity()) {
        KReserveLarge(items, std::max(needed, items.capacity() + items.capacity() / 2));
    }
}

// Sets item index of an index array that follows polygons or polygon
// vertices, growing it with -1 (nothing recorded) up to there.
void RecordIndex(DynamicArrayOf<int>& indices, int index, int value) {
    while (indices.GetCount() < index) {
        if (indices.Add(-1) < 0) {
            return;
        }
    }
    if (indices.GetCount() == index) {
        indices.Add(value);
    } else {
        indices.SetAt(index, value);
    }
}

// The control point of an entry of a stored polygon vertex list, where the
// last of each polygon is kept as its complement.
int ControlPointOf(int stored) { return stored < 0 ? ~stored : stored; }

// The element keeps one index per polygon when it maps by polygon through indices.
bool FollowsPolygons(const KFbxLayerElement* element) {
    return element != nullptr && element->GetMappingMode() == KFbxLayerElement::eBY_POLYGON &&
           element->GetReferenceMode() != KFbxLayerElement::eDIRECT;
}

}  // namespace


KFbxMesh::KFbxMesh(KFbxSdkManager* manager, const char* name) : KFbxGeometry(manager, name) {}

KFbxMesh::~KFbxMesh() = default;

KFbxMesh* KFbxMesh::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxMesh*>(plug) : nullptr;
}

KFbxPlug* KFbxMesh::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* mesh = new (std::nothrow) KFbxMesh(manager, name);
    if (mesh != nullptr) {
        mesh->CreateInternal();
    }
    return mesh;
}

KFbxClassId KFbxMesh::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxMesh::NewInternalObject() { return new (std::nothrow) KFbxMesh_internal(this); }

KFbxNodeAttribute::EAttributeType KFbxMesh::GetAttributeType() const { return eMESH; }

const char* KFbxMesh::GetTypeName() const { return "Mesh"; }

void KFbxMesh::Copy(const KFbxObject& other) {
    const auto* mesh = dynamic_cast<const KFbxMesh*>(&other);
    if (mesh == nullptr || mesh == this) {
        return;
    }
    try {
        std::vector<Polygon> polygons(mesh->mPolygons);
        std::vector<int> polygonVertices(mesh->mPolygonVertices);
        std::vector<int> edges(mesh->mEdges);
        if (!CopyGeometry(*mesh)) {
            return;
        }
        mPolygons.swap(polygons);
        mPolygonVertices.swap(polygonVertices);
        mEdges.swap(edges);
        mUVGrid = mesh->mUVGrid;
    } catch (const std::bad_alloc&) {
    SdkNoteAllocationFailure();
    }
}

KFbxNodeAttribute* KFbxMesh::Clone(int mode) const {
    KFbxNodeAttribute* copy = KFbxGeometry::Clone(mode);
    if (copy != nullptr) {
        copy->Copy(*this);
    }
    return copy;
}

// ---- building polygons ------------------------------------------------------

void KFbxMesh::BeginPolygon(int material, int texture, int group, bool legacy) {
    material = std::max(material, -1);
    texture = std::max(texture, -1);
    try {
        mPolygons.push_back(Polygon{GetPolygonVertexCount(), 0, group});
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return;
    }
    const int polygon = GetPolygonCount() - 1;
    const bool first = polygon == 0;

    const KFbxLayer* layer = GetLayer(0);
    if ((layer == nullptr || layer->GetMaterials() == nullptr) && first && material != -1) {
        InitMaterialIndices(KFbxLayerElement::eBY_POLYGON);
        layer = GetLayer(0);
    }
    KFbxLayerElementMaterial* materials = layer != nullptr ? layer->GetMaterials() : nullptr;
    if (FollowsPolygons(materials)) {
        RecordIndex(materials->GetIndexArray(), polygon, material);
    }
    if (!legacy) {
        return;
    }
    if ((layer == nullptr || layer->GetTextures() == nullptr) && first && texture != -1) {
        InitTextureIndices(KFbxLayerElement::eBY_POLYGON);
        layer = GetLayer(0);
    }
    KFbxLayerElementTexture* textures = layer != nullptr ? layer->GetTextures() : nullptr;
    if (FollowsPolygons(textures)) {
        RecordIndex(textures->GetIndexArray(), polygon, texture);
    }
}

bool KFbxMesh::AddPolygonVertex(int index, int uvIndex) {
    if (mPolygons.empty() || index < 0 || index >= GetControlPointsCount()) {
        return false;
    }
    try {
        mPolygonVertices.push_back(index);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    ++mPolygons.back().mSize;
    // Most vertices come without a UV index: they need no layer look-up.
    if (uvIndex < 0) {
        return true;
    }
    const KFbxLayer* layer = GetLayer(0);
    KFbxLayerElementUV* uvs = layer != nullptr ? layer->GetUVs() : nullptr;
    if (uvs != nullptr && uvs->GetMappingMode() == KFbxLayerElement::eBY_POLYGON_VERTEX &&
        uvs->GetReferenceMode() != KFbxLayerElement::eDIRECT && uvIndex < uvs->GetDirectArray().GetCount()) {
        RecordIndex(uvs->GetIndexArray(), GetPolygonVertexCount() - 1, uvIndex);
    }
    return true;
}

void KFbxMesh::ReservePolygons(int polygons, int polygonVertices) {
    try {
        KReserveLarge(mPolygons, mPolygons.size() + static_cast<std::size_t>(std::max(polygons, 0)));
        KReserveLarge(mPolygonVertices, mPolygonVertices.size() + static_cast<std::size_t>(std::max(polygonVertices, 0)));
    } catch (const std::exception&) {
        // Building grows the arrays as it goes instead.
    }
}

void KFbxMesh::AddPolygons(const int* stored, int count, const int* groups, int groupCount) {
    if (stored == nullptr || count <= 0) {
        return;
    }
    auto groupOf = [&](std::size_t polygon) {
        return groups != nullptr && polygon < static_cast<std::size_t>(std::max(groupCount, 0)) ? groups[polygon] : -1;
    };
    std::size_t polygons = 0;
    for (int i = 0; i < count; ++i) {
        polygons += stored[i] < 0;
    }
    polygons += stored[count - 1] >= 0;
    bool bulk = true;
    try {
        ReserveForMore(mPolygons, polygons);
        ReserveForMore(mPolygonVertices, static_cast<std::size_t>(count));
    } catch (const std::exception&) {
        bulk = false;
    }
    const KFbxLayer* layer = GetLayer(0);
    KFbxLayerElementMaterial* materials = layer != nullptr ? layer->GetMaterials() : nullptr;
    if (bulk && FollowsPolygons(materials)) {
        // Each new polygon gets no material, as BeginPolygon records it.
        DynamicArrayOf<int>& indices = materials->GetIndexArray();
        const int had = indices.GetCount();
        const std::size_t end = mPolygons.size() + polygons;
        bulk = end <= static_cast<std::size_t>(INT_MAX) &&
               (static_cast<std::size_t>(had) >= end || indices.SetCount(static_cast<int>(end)));
        if (bulk) {
            std::fill(indices.GetArray() + std::min<std::size_t>(static_cast<std::size_t>(had), mPolygons.size()),
                      indices.GetArray() + end, -1);
        }
    }
    if (!bulk) {
        // Too little memory: the general path.
        bool open = false;
        std::size_t polygon = 0;
        for (int i = 0; i < count; ++i) {
            if (!open) {
                BeginPolygon(-1, -1, groupOf(polygon++), false);
                open = true;
            }
            AddPolygonVertex(ControlPointOf(stored[i]));
            open = stored[i] >= 0;
        }
        return;
    }
    // Both arrays have their room: nothing below allocates. The vertices are
    // written in one tight run per polygon and the arrays cut to what was kept.
    const int points = GetControlPointsCount();
    const std::size_t firstPolygon = mPolygons.size();
    const std::size_t firstVertex = mPolygonVertices.size();
    mPolygons.resize(firstPolygon + polygons);
    mPolygonVertices.resize(firstVertex + static_cast<std::size_t>(count));
    Polygon* polygon = mPolygons.data() + firstPolygon;
    int* const vertices = mPolygonVertices.data();
    int kept = static_cast<int>(firstVertex);
    int i = 0;
    for (std::size_t p = 0; p < polygons; ++p) {
        const int start = kept;
        int value = 0;
        do {
            value = stored[i++];
            const int index = ControlPointOf(value);
            // A control point outside the points is refused, as AddPolygonVertex
            // refuses it: written, then overwritten by the next one kept.
            vertices[kept] = index;
            kept += index < points;
        } while (value >= 0 && i < count);
        polygon[p] = Polygon{start, kept - start, groupOf(p)};
    }
    mPolygonVertices.resize(static_cast<std::size_t>(kept));
}

// ---- reading polygons -------------------------------------------------------

int KFbxMesh::GetPolygonSize(int polygon) const {
    return polygon < 0 || polygon >= GetPolygonCount() ? -1 : mPolygons[static_cast<std::size_t>(polygon)].mSize;
}

int KFbxMesh::GetPolygonGroup(int polygon) const {
    return polygon < 0 || polygon >= GetPolygonCount() ? -1 : mPolygons[static_cast<std::size_t>(polygon)].mGroup;
}

int KFbxMesh::GetPolygonVertexIndex(int polygon) const {
    return polygon < 0 || polygon >= GetPolygonCount() ? -1 : mPolygons[static_cast<std::size_t>(polygon)].mStart;
}

int KFbxMesh::PolygonVertexAt(int polygon, int position) const {
    if (position < 0 || position >= GetPolygonSize(polygon)) {
        return -1;
    }
    return mPolygons[static_cast<std::size_t>(polygon)].mStart + position;
}

int KFbxMesh::GetPolygonVertex(int polygon, int position) const {
    const int vertex = PolygonVertexAt(polygon, position);
    return vertex == -1 ? -1 : mPolygonVertices[static_cast<std::size_t>(vertex)];
}

int KFbxMesh::GetTextureUVIndex(int polygon, int position, int channel) const {
    const int vertex = PolygonVertexAt(polygon, position);
    const KFbxLayer* layer = GetLayer(0);
    const KFbxLayerElementUV* uvs = layer != nullptr ? layer->GetUVs(channel) : nullptr;
    if (vertex == -1 || uvs == nullptr) {
        return -1;
    }
    int item = -1;
    switch (uvs->GetMappingMode()) {
        case KFbxLayerElement::eBY_POLYGON_VERTEX:
            item = vertex;
            break;
        case KFbxLayerElement::eBY_CONTROL_POINT:
            item = mPolygonVertices[static_cast<std::size_t>(vertex)];
            break;
        default:
            return -1;
    }
    const int directCount = uvs->GetDirectArray().GetCount();
    if (uvs->GetReferenceMode() != KFbxLayerElement::eDIRECT) {
        const DynamicArrayOf<int>& indices = uvs->GetIndexArray();
        item = item < indices.GetCount() ? indices.GetAt(item) : -1;
    }
    return item >= 0 && item < directCount ? item : -1;
}

// ---- normals ----------------------------------------------------------------

void KFbxMesh::ComputeVertexNormals(bool clockwise) {
    const int pointCount = GetControlPointsCount();
    const KFbxVector4* points = GetControlPoints();
    // The sum of the corner normals of each control point, x y z, and how
    // many corners it has. The arithmetic is that of KFbxVector4's
    // difference, cross product and sum, operation for operation, spelled
    // out on the points' components so that the compiler keeps a corner in
    // registers; the results are the same to the bit.
    std::vector<double> sums;
    std::vector<int> corners;
    try {
        sums.resize(static_cast<std::size_t>(pointCount) * 3);
        corners.resize(static_cast<std::size_t>(pointCount));
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return;
    }
    // Polygon vertices were checked when added, but the control points may
    // have been re-initialised since: those out of range are passed over.
    auto componentsOf = [pointCount, points](int index) {
        return index >= 0 && index < pointCount ? points[index].ComponentAt(0) : nullptr;
    };
    for (const Polygon& polygon : mPolygons) {
        const int size = polygon.mSize;
        if (size < 3) {
            continue;
        }
        const int* ring = mPolygonVertices.data() + polygon.mStart;
        const double* from = componentsOf(ring[size - 1]);
        int current = ring[0];
        const double* at = componentsOf(current);
        for (int k = 0; k < size; ++k) {
            const int next = ring[k + 1 < size ? k + 1 : 0];
            const double* to = componentsOf(next);
            if (from != nullptr && at != nullptr && to != nullptr) {
                const double a0 = to[0] - at[0], a1 = to[1] - at[1], a2 = to[2] - at[2];
                const double b0 = from[0] - at[0], b1 = from[1] - at[1], b2 = from[2] - at[2];
                double x = a1 * b2 - a2 * b1;
                double y = a2 * b0 - a0 * b2;
                double z = a0 * b1 - a1 * b0;
                if (clockwise) {
                    x = -x;
                    y = -y;
                    z = -z;
                }
                double* sum = sums.data() + static_cast<std::size_t>(current) * 3;
                sum[0] += x;
                sum[1] += y;
                sum[2] += z;
                ++corners[static_cast<std::size_t>(current)];
            }
            from = at;
            at = to;
            current = next;
        }
    }
    InitNormals(0);
    KFbxVector4* normals = GetNormals();
    if (normals == nullptr || GetNormalsMappingMode() != KFbxLayerElement::eBY_CONTROL_POINT) {
        return;
    }
    // InitNormals may have failed to grow an element kept from before, which
    // then holds fewer items than there are control points.
    const KFbxLayer* layer = GetLayer(0);
    if (layer == nullptr || layer->GetNormals() == nullptr ||
        layer->GetNormals()->GetDirectArray().GetCount() < pointCount) {
        return;
    }
    for (int point = 0; point < pointCount; ++point) {
        const auto slot = static_cast<std::size_t>(point);
        KFbxVector4 normal(0.0, 0.0, 0.0, 1.0);
        if (corners[slot] > 0) {
            const double count = static_cast<double>(corners[slot]);
            const double* sum = sums.data() + slot * 3;
            normal = KFbxVector4(sum[0] / count, sum[1] / count, sum[2] / count, 1.0);
            normal.Normalize();
        }
        normals[point] = normal;
    }
}

// ---- edges ------------------------------------------------------------------

void KFbxMesh::BuildMeshEdgeArray() {
    std::vector<int> edges;
    try {
        std::set<std::pair<int, int>> seen;
        for (const Polygon& polygon : mPolygons) {
            for (int k = 0; k < polygon.mSize && polygon.mSize >= 2; ++k) {
                const int from = mPolygonVertices[static_cast<std::size_t>(polygon.mStart + k)];
                const int to = mPolygonVertices[static_cast<std::size_t>(polygon.mStart + (k + 1) % polygon.mSize)];
                if (seen.insert({std::min(from, to), std::max(from, to)}).second) {
                    edges.push_back(polygon.mStart + k);
                }
            }
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return;
    }
    mEdges.swap(edges);
}

int KFbxMesh::GetMeshEdge(int edge) const {
    return edge < 0 || edge >= GetMeshEdgeCount() ? -1 : mEdges[static_cast<std::size_t>(edge)];
}

bool KFbxMesh::SetMeshEdges(const int* polygonVertices, int count) {
    if (count < 0 || (polygonVertices == nullptr && count > 0)) {
        return false;
    }
    const int vertexCount = GetPolygonVertexCount();
    if (!std::all_of(polygonVertices, polygonVertices + count,
                     [vertexCount](int vertex) { return vertex >= 0 && vertex < vertexCount; })) {
        return false;
    }
    try {
        std::vector<int> edges(polygonVertices, polygonVertices + count);
        mEdges.swap(edges);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
