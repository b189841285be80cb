#include <fbxfilesdk/formats/KFbxReader3DSMesh.h>

#include <fbxfilesdk/core/KFbxDouble3.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KFbxVector2.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/formats/KFbxReader3DSRecords.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1::reader3ds {

namespace {

// A local matrix whose axes span less volume than this, mirrored or not,
// cannot be inverted usefully: the vertices stay as they are.
constexpr double kMinimumDeterminant = 1e-6;

// The material and texture indices a face draws with; -1 where it has none.
struct FaceLook {
    int mMaterial = -1;
    int mTexture = -1;
    int mSecondTexture = -1;
};

// What the material groups made of the mesh's layers.
struct MeshLooks {
    std::vector<FaceLook> mFaces;
    bool mHasMaterials = false;
    bool mHasTextures = false;
    bool mHasSecondTextures = false;
};

bool FacesNameVertices(const mesh3ds& record, std::string& problem) {
    if (record.facecount > 0 && (record.faces == nullptr || record.allocated.faces < record.facecount)) {
        problem = "faces missing";
        return false;
    }
    if (record.vertexcount > 0 && (record.vertices == nullptr || record.allocated.vertices < record.vertexcount)) {
        problem = "vertices missing";
        return false;
    }
    for (std::uint16_t face = 0; face < record.facecount; ++face) {
        const face3ds& corners = record.faces[face];
        if (corners.a >= record.vertexcount || corners.b >= record.vertexcount || corners.c >= record.vertexcount) {
            problem = "a face names a missing vertex";
            return false;
        }
    }
    return true;
}

bool GroupsNameFaces(const mesh3ds& record, std::string& problem) {
    if (record.matgroupcount > 0 && (record.matgroups == nullptr || record.allocated.matgroups < record.matgroupcount)) {
        problem = "material groups missing";
        return false;
    }
    for (std::uint16_t group = 0; group < record.matgroupcount; ++group) {
        const meshmatgroup3ds& faces = record.matgroups[group];
        if (faces.facecount > 0 && faces.faces == nullptr) {
            problem = "material group faces missing";
            return false;
        }
        for (std::uint16_t index = 0; index < faces.facecount; ++index) {
            if (faces.faces[index] >= record.facecount) {
                problem = "a material group names a missing face";
                return false;
            }
        }
    }
    return true;
}

// The record's mesh matrix in the file's axes, the object's X axis turned
// round when the matrix mirrors: the object's own points are then the
// mirror image of the file's points taken back by the matrix, the node
// carries the mirror, and the faces keep the file's winding (as other
// programs read such files). False (and the identity) when the axes span
// too little volume to be inverted.
bool FileMatrixOf(const float* local, KgeMatrix& matrix) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            matrix[row][column] = local[row * 3 + column];
        }
    }
    const double determinant = matrix[0][0] * (matrix[1][1] * matrix[2][2] - matrix[1][2] * matrix[2][1]) -
                               matrix[0][1] * (matrix[1][0] * matrix[2][2] - matrix[1][2] * matrix[2][0]) +
                               matrix[0][2] * (matrix[1][0] * matrix[2][1] - matrix[1][1] * matrix[2][0]);
    if (!(std::fabs(determinant) >= kMinimumDeterminant)) {
        matrix.SetIdentity();
        return false;
    }
    if (determinant < 0.0) {
        for (int column = 0; column < 3; ++column) {
            matrix[0][column] = -matrix[0][column];
        }
    }
    return true;
}

// The transform that brings the file's vertices into the object's own space.
KgeMatrix ObjectSpaceOf(const float* local) {
    KgeMatrix matrix;
    if (!FileMatrixOf(local, matrix)) {
        return KgeMatrix();
    }
    // The frame of an object under a parent scaled unevenly has axes that
    // are not at right angles: the whole inverse, by cofactors (the
    // determinant is known to be well above 0).
    const auto m = [&matrix](int row, int column) { return matrix[row][column]; };
    double inverse[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const int r1 = (column + 1) % 3;
            const int r2 = (column + 2) % 3;
            const int c1 = (row + 1) % 3;
            const int c2 = (row + 2) % 3;
            inverse[row][column] = m(r1, c1) * m(r2, c2) - m(r1, c2) * m(r2, c1);
        }
    }
    const double determinant = m(0, 0) * inverse[0][0] + m(0, 1) * inverse[1][0] + m(0, 2) * inverse[2][0];
    KgeMatrix result;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            result[row][column] = inverse[row][column] / determinant;
        }
    }
    for (int column = 0; column < 3; ++column) {
        result[3][column] = -(m(3, 0) * result[0][column] + m(3, 1) * result[1][column] + m(3, 2) * result[2][column]);
    }
    return result;
}

// The transform of file points into scene points: the object-space matrix,
// taken apart once for all the points of a mesh, applied to each point
// without the vectors of a matrix call.
class ScenePoints {
public:
    ScenePoints(const KgeMatrix& objectSpace, double scale) : mMatrix(objectSpace), mScale(scale) {}
    KFbxVector4 operator()(const point3ds& point) const {
        const double in[3] = {point.x, point.y, point.z};
        double local[3];
        KgeMatrixMultPoint(local, mMatrix, in);
        return KFbxVector4(local[0] * mScale, local[2] * mScale, -local[1] * mScale, 1.0);
    }

private:
    KgeMatrix mMatrix;
    double mScale;
};

// The index of the item in the element's direct array; -1 when absent.
template <class Element, class Item>
int IndexIn(Element* element, Item* item) {
    auto& items = element->GetDirectArray();
    for (int index = 0; index < items.GetCount(); ++index) {
        if (items.GetAt(index) == item) {
            return index;
        }
    }
    return -1;
}

// The material's index on layer 0, whether this group or an earlier one
// brought it.
int AddMaterialOnce(KFbxMesh& mesh, KFbxSurfaceMaterial* material) {
    const int added = mesh.AddMaterial(material, 0);
    if (added >= 0) {
        return added;
    }
    const KFbxLayer* layer = mesh.GetLayer(0);
    return layer != nullptr && layer->GetMaterials() != nullptr ? IndexIn(layer->GetMaterials(), material) : -1;
}

MeshLooks ApplyMaterialGroups(const mesh3ds& record, KFbxMesh& mesh, const MeshConversion& conversion) {
    MeshLooks looks;
    looks.mFaces.resize(record.facecount);
    if (!conversion.mUseMaterials || conversion.mMaterials == nullptr) {
        return looks;
    }
    for (std::uint16_t group = 0; group < record.matgroupcount; ++group) {
        const meshmatgroup3ds& faces = record.matgroups[group];
        const auto found = conversion.mMaterials->find(NameOf(faces.name));
        if (found == conversion.mMaterials->end() || found->second.mMaterial == nullptr) {
            continue;
        }
        FaceLook look;
        look.mMaterial = AddMaterialOnce(mesh, found->second.mMaterial);
        looks.mHasMaterials = looks.mHasMaterials || look.mMaterial >= 0;
        if (conversion.mUseTextures) {
            if (found->second.mTexture != nullptr) {
                look.mTexture = mesh.AddTexture(found->second.mTexture, 0);
            }
            if (found->second.mSecondTexture != nullptr) {
                look.mSecondTexture = mesh.AddTexture(found->second.mSecondTexture, 0);
                looks.mHasSecondTextures = looks.mHasSecondTextures || look.mSecondTexture >= 0;
            }
            looks.mHasTextures = looks.mHasTextures || look.mTexture >= 0 || look.mSecondTexture >= 0;
        }
        for (std::uint16_t index = 0; index < faces.facecount; ++index) {
            looks.mFaces[faces.faces[index]] = look;
        }
    }
    return looks;
}

// Layer 1 carries the first textures of faces whose second texture is on
// layer 0. Its elements name the same materials and textures as layer 0's.
KFbxLayer* PrepareSecondLayer(KFbxMesh& mesh, KFbxSdkManager& manager) {
    while (mesh.GetLayerCount() < 2) {
        if (mesh.CreateLayer() < 0) {
            return nullptr;
        }
    }
    KFbxLayer* layer = mesh.GetLayer(1);
    if (layer->GetMaterials() == nullptr) {
        if (KFbxLayerElementMaterial* element = manager.CreateLayerElementMaterial("")) {
            element->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
            element->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
            layer->SetMaterials(element);
        }
    }
    if (layer->GetUVs() == nullptr) {
        if (KFbxLayerElementUV* element = manager.CreateLayerElementUV("")) {
            layer->SetUVs(element);
        }
    }
    if (layer->GetTextures() == nullptr) {
        if (KFbxLayerElementTexture* element = manager.CreateLayerElementTexture("")) {
            element->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
            element->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
            layer->SetTextures(element);
        }
    }
    return layer;
}

template <class Element>
void CopyDirectArray(const Element* from, Element* to) {
    if (from == nullptr || to == nullptr) {
        return;
    }
    auto& items = to->GetDirectArray();
    items.Clear();
    for (int index = 0; index < from->GetDirectArray().GetCount(); ++index) {
        items.Add(from->GetDirectArray().GetAt(index));
    }
}

void MirrorFirstLayer(KFbxMesh& mesh, KFbxLayer& second) {
    const KFbxLayer* first = mesh.GetLayer(0);
    if (first == nullptr) {
        return;
    }
    if (first->GetUVs() != nullptr && second.GetUVs() != nullptr) {
        second.GetUVs()->CopyFrom(*first->GetUVs());
    }
    CopyDirectArray(first->GetMaterials(), second.GetMaterials());
    CopyDirectArray(first->GetTextures(), second.GetTextures());
}

void FillTextureVertices(const mesh3ds& record, KFbxMesh& mesh) {
    const std::uint16_t given = record.texvertcount < record.allocated.texverts ? record.texvertcount
                                                                                : record.allocated.texverts;
    if (given == 0 || record.texverts == nullptr) {
        return;
    }
    mesh.InitTextureUVMapping(KFbxLayerElement::eBY_POLYGON_VERTEX);
    // UVs are found by vertex index, so there is one per vertex; vertices the
    // file gives none get (0, 0).
    if (!mesh.SetTextureUVCount(record.vertexcount)) {
        return;
    }
    KFbxVector2* uvs = mesh.GetTextureUVArray();
    const std::uint16_t count = given < record.vertexcount ? given : record.vertexcount;
    for (std::uint16_t vertex = 0; uvs != nullptr && vertex < record.vertexcount; ++vertex) {
        uvs[vertex] = vertex < count ? KFbxVector2(record.texverts[vertex].u, record.texverts[vertex].v)
                                     : KFbxVector2(0.0, 0.0);
    }
}

// Triangles, one per face, before any layer element exists: the elements'
// index arrays are then filled whole instead of growing item by item. The
// mesh takes them in one list, each triangle's last corner complemented as
// files store polygons.
void AddPolygons(KFbxMesh& mesh, std::vector<int> corners) {
    for (std::size_t last = 2; last < corners.size(); last += 3) {
        corners[last] = -corners[last] - 1;
    }
    mesh.AddPolygons(corners.data(), static_cast<int>(corners.size()));
}

// The index array sized to count, or null when memory runs out.
int* SizedIndices(KFbxLayerElement* element, int count) {
    if (element == nullptr || !element->GetIndexArray().SetCount(count)) {
        return nullptr;
    }
    return element->GetIndexArray().GetArray();
}

// Each polygon corner's UV is the one of its vertex.
bool IndexTextureVertices(const mesh3ds& record, KFbxMesh& mesh) {
    const KFbxLayer* layer = mesh.GetLayer(0);
    if (layer == nullptr || layer->GetUVs() == nullptr) {
        return true;
    }
    int* indices = SizedIndices(layer->GetUVs(), static_cast<int>(record.facecount) * 3);
    if (indices == nullptr) {
        return false;
    }
    for (std::uint16_t face = 0; face < record.facecount; ++face) {
        const face3ds& corners = record.faces[face];
        indices[face * 3] = corners.a;
        indices[face * 3 + 1] = corners.b;
        indices[face * 3 + 2] = corners.c;
    }
    return true;
}

// The material and texture index of each polygon on layer 0 and, when it
// exists, layer 1. A face whose second texture is on layer 0 has its first
// texture on layer 1.
bool IndexLooks(const mesh3ds& record, KFbxMesh& mesh, const MeshLooks& looks, const MeshConversion& conversion,
                KFbxLayer* second) {
    const KFbxLayer* first = mesh.GetLayer(0);
    const int count = record.facecount;
    int* materials = looks.mHasMaterials ? SizedIndices(first->GetMaterials(), count) : nullptr;
    int* textures = looks.mHasTextures ? SizedIndices(first->GetTextures(), count) : nullptr;
    int* secondMaterials = second != nullptr ? SizedIndices(second->GetMaterials(), count) : nullptr;
    int* secondTextures = second != nullptr ? SizedIndices(second->GetTextures(), count) : nullptr;
    if ((looks.mHasMaterials && materials == nullptr) || (looks.mHasTextures && textures == nullptr) ||
        (second != nullptr && (secondMaterials == nullptr || secondTextures == nullptr))) {
        return false;
    }
    const int noMaterial = looks.mHasMaterials ? 0 : -1;
    const int noTexture = looks.mHasTextures ? 0 : -1;
    for (int face = 0; face < count; ++face) {
        const FaceLook& look = looks.mFaces[static_cast<std::size_t>(face)];
        const int material = look.mMaterial >= 0 ? look.mMaterial : noMaterial;
        int texture = -1;
        int secondTexture = -1;
        if (conversion.mUseTextures) {
            const int firstTexture = look.mTexture >= 0 ? look.mTexture : noTexture;
            texture = look.mSecondTexture >= 1 ? look.mSecondTexture : firstTexture;
            secondTexture = look.mSecondTexture >= 1 ? firstTexture : noTexture;
        }
        if (materials != nullptr) {
            materials[face] = material;
        }
        if (textures != nullptr) {
            textures[face] = texture;
        }
        if (second != nullptr) {
            secondMaterials[face] = material;
            secondTextures[face] = secondTexture;
        }
    }
    return true;
}

void ComputeNormals(KFbxMesh& mesh) {
    mesh.InitNormals();
    KFbxVector4* normals = mesh.GetNormals();
    const KFbxVector4* points = mesh.GetControlPoints();
    const int* corners = mesh.GetPolygonVertices();
    if (normals == nullptr || points == nullptr || corners == nullptr) {
        return;
    }
    const int count = mesh.GetControlPointsCount();
    std::vector<double> sums(static_cast<std::size_t>(count) * 3, 0.0);
    // Every polygon is a triangle; the cross product (p2 - p1) x (p0 - p1) is
    // twice its area long, so each point's normal comes out weighted by area.
    for (int polygon = 0; polygon < mesh.GetPolygonCount(); ++polygon) {
        const int* triangle = corners + static_cast<std::ptrdiff_t>(polygon) * 3;
        const double* p0 = points[triangle[0]];
        const double* p1 = points[triangle[1]];
        const double* p2 = points[triangle[2]];
        const double a[3] = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
        const double b[3] = {p0[0] - p1[0], p0[1] - p1[1], p0[2] - p1[2]};
        const double normal[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
        for (int corner = 0; corner < 3; ++corner) {
            double* sum = &sums[static_cast<std::size_t>(triangle[corner]) * 3];
            sum[0] += normal[0];
            sum[1] += normal[1];
            sum[2] += normal[2];
        }
    }
    // Each sum is made unit length in place, without a vector per point.
    for (int point = 0; point < count; ++point) {
        double* sum = &sums[static_cast<std::size_t>(point) * 3];
        KFbxNormalizeDouble3(sum, sum);
        normals[point] = KFbxVector4(sum[0], sum[1], sum[2], 1.0);
    }
}

}  // namespace

ControlPointSplit SplitBySmoothingGroups(const mesh3ds& record, bool split) {
    ControlPointSplit result;
    const std::size_t vertexCount = record.vertexcount;
    result.mSources.resize(vertexCount, -1);
    result.mCornerPoints.resize(static_cast<std::size_t>(record.facecount) * 3);
    split = split && record.smoothgroups != nullptr && record.allocated.smoothgroups >= record.facecount;
    // The masks of the control points, and for each one the next control
    // point of the same vertex (-1 at the end of the chain).
    std::vector<std::uint32_t> masks(split ? vertexCount : 0, 0);
    std::vector<int> next(split ? vertexCount : 0, -1);
    for (std::uint16_t face = 0; face < record.facecount; ++face) {
        const face3ds& corners = record.faces[face];
        const std::uint16_t vertices[3] = {corners.a, corners.b, corners.c};
        const std::uint32_t group = split ? record.smoothgroups[face] : 0;
        for (int corner = 0; corner < 3; ++corner) {
            const int vertex = vertices[corner];
            int point = vertex;
            if (split && result.mSources[static_cast<std::size_t>(vertex)] != -1) {
                int last = vertex;
                for (point = vertex; point != -1; point = next[static_cast<std::size_t>(point)]) {
                    const std::uint32_t mask = masks[static_cast<std::size_t>(point)];
                    if ((mask & group) != 0 || (mask == 0 && group == 0)) {
                        break;
                    }
                    last = point;
                }
                if (point == -1) {
                    point = static_cast<int>(result.mSources.size());
                    result.mSources.push_back(vertex);
                    masks.push_back(0);
                    next.push_back(-1);
                    next[static_cast<std::size_t>(last)] = point;
                }
            }
            result.mSources[static_cast<std::size_t>(point)] = vertex;
            if (split) {
                masks[static_cast<std::size_t>(point)] |= group;
            }
            result.mCornerPoints[static_cast<std::size_t>(face) * 3 + static_cast<std::size_t>(corner)] = point;
        }
    }
    // Vertices no face uses keep their own control point.
    for (std::size_t vertex = 0; vertex < vertexCount; ++vertex) {
        if (result.mSources[vertex] == -1) {
            result.mSources[vertex] = static_cast<int>(vertex);
        }
    }
    return result;
}

bool ScenePlacementOf(const float* local, double scale, KgeMatrix& placement) {
    KgeMatrix file;
    if (!FileMatrixOf(local, file) || !(file != KgeMatrix())) {
        return false;
    }
    // A file vector (x, y, z) is the scene vector (x, z, -y): the scene's X,
    // Y and Z axes are the file's X, Z and -Y, each converted the same way.
    const auto sceneVector = [&file](int row, double sign, double length) {
        return KFbxVector4(sign * file[row][0] * length, sign * file[row][2] * length,
                           -sign * file[row][1] * length, 0.0);
    };
    const KFbxVector4 rows[4] = {sceneVector(0, 1.0, 1.0), sceneVector(2, 1.0, 1.0), sceneVector(1, -1.0, 1.0),
                                 sceneVector(3, 1.0, scale)};
    placement = KgeMatrix();
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            placement[row][column] = rows[row][column];
        }
    }
    return true;
}

bool ConvertMesh3ds(const mesh3ds& record, KFbxMesh& mesh, const MeshConversion& conversion, std::string& problem) {
    if (!FacesNameVertices(record, problem) || !GroupsNameFaces(record, problem)) {
        return false;
    }
    ControlPointSplit split = SplitBySmoothingGroups(record, conversion.mSmoothingGroups);
    const int pointCount = static_cast<int>(split.mSources.size());
    mesh.InitControlPoints(pointCount);
    KFbxVector4* points = mesh.GetControlPoints();
    const ScenePoints scenePoint(ObjectSpaceOf(record.localmatrix), conversion.mScale);
    for (int point = 0; points != nullptr && point < pointCount; ++point) {
        points[point] = scenePoint(record.vertices[split.mSources[static_cast<std::size_t>(point)]]);
    }
    AddPolygons(mesh, std::move(split.mCornerPoints));
    FillTextureVertices(record, mesh);
    const MeshLooks looks = ApplyMaterialGroups(record, mesh, conversion);
    KFbxLayer* second = nullptr;
    if (looks.mHasSecondTextures && conversion.mManager != nullptr) {
        second = PrepareSecondLayer(mesh, *conversion.mManager);
    }
    if (!IndexTextureVertices(record, mesh) || !IndexLooks(record, mesh, looks, conversion, second)) {
        problem = kMeshOutOfMemory;
        return false;
    }
    if (second != nullptr) {
        MirrorFirstLayer(mesh, *second);
    }
    ComputeNormals(mesh);
    return true;
}

}  // namespace fbxsdk_2006_11_1::reader3ds
