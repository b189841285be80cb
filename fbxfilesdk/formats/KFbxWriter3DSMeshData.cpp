// The 3DS writer's view of a mesh: what it reads of it, and the parts that
// each fit one 3DS object.
#include <fbxfilesdk/formats/KFbxWriter3DSMeshData.h>

#include <fbxfilesdk/core/KFbxDouble3.h>
#include <fbxfilesdk/formats/KFbxWriter3DS.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

namespace fbxsdk_2006_11_1 {

namespace writer3ds {

namespace {

using Element = KFbxLayerElement;

// The item of an element a corner maps to, before the item's own range is
// checked; -1 for a mapping the writer does not read.
template <class Layered>
int MappedIndex(const Layered& element, int polygon, int corner, int point) {
    int index = -1;
    switch (element.GetMappingMode()) {
        case Element::eBY_CONTROL_POINT: index = point; break;
        case Element::eBY_POLYGON_VERTEX: index = corner; break;
        case Element::eBY_POLYGON: index = polygon; break;
        case Element::eALL_SAME: index = 0; break;
        default: return -1;
    }
    if (element.GetReferenceMode() != Element::eDIRECT) {
        const auto& indices = element.GetIndexArray();
        index = index >= 0 && index < indices.GetCount() ? indices.GetAt(index) : -1;
    }
    return index;
}

template <class Layered>
int DirectIndex(const Layered& element, int polygon, int corner, int point) {
    const int index = MappedIndex(element, polygon, corner, point);
    return index >= 0 && index < element.GetDirectArray().GetCount() ? index : -1;
}

void ReadPolygons(const KFbxMesh& mesh, MeshData& data) {
    const int points = static_cast<int>(data.mPoints.size());
    for (int polygon = 0; polygon < mesh.GetPolygonCount(); ++polygon) {
        MeshPolygon entry;
        entry.mFirst = static_cast<int>(data.mCorners.size());
        const int size = mesh.GetPolygonSize(polygon);
        for (int position = 0; position < size; ++position) {
            const int point = mesh.GetPolygonVertex(polygon, position);
            // A corner naming no point would make a face the format refuses.
            if (point < 0 || point >= points) {
                data.mCorners.resize(static_cast<std::size_t>(entry.mFirst));
                entry.mSize = 0;
                break;
            }
            data.mCorners.push_back(point);
            ++entry.mSize;
        }
        data.mPolygons.push_back(entry);
    }
}

void ReadNormals(const KFbxLayer& layer, MeshData& data) {
    const KFbxLayerElementNormal* normals = layer.GetNormals();
    if (normals == nullptr) {
        return;
    }
    data.mCornerNormals.resize(data.mCorners.size());
    for (std::size_t polygon = 0; polygon < data.mPolygons.size(); ++polygon) {
        const MeshPolygon& entry = data.mPolygons[polygon];
        for (int corner = entry.mFirst; corner < entry.mFirst + entry.mSize; ++corner) {
            const int index = DirectIndex(*normals, static_cast<int>(polygon), corner, data.mCorners[corner]);
            data.mCornerNormals[corner] = index >= 0 ? normals->GetDirectArray().GetAt(index) : KFbxVector4();
        }
    }
}

// The number of the polygon's material or texture in an element: by its
// mapping, the first corner standing for the polygon.
template <class Layered>
int NumberOf(const Layered* element, const MeshData& data, int polygon, int count) {
    if (element == nullptr) {
        return -1;
    }
    const MeshPolygon& entry = data.mPolygons[static_cast<std::size_t>(polygon)];
    const int point = entry.mSize > 0 ? data.mCorners[static_cast<std::size_t>(entry.mFirst)] : 0;
    const int index = MappedIndex(*element, polygon, entry.mFirst, point);
    return index >= 0 && index < count ? index : -1;
}

void ReadMaterialsAndTextures(const KFbxMesh& mesh, const MeshOptions& options, MeshData& data) {
    const KFbxLayer* layer = mesh.GetLayer(0);
    const KFbxLayerElementTexture* textures = layer != nullptr ? layer->GetTextures() : nullptr;
    if (options.mTextures && textures != nullptr) {
        for (int index = 0; index < textures->GetDirectArray().GetCount(); ++index) {
            data.mTextures.push_back(textures->GetDirectArray().GetAt(index));
        }
    }
    data.mTextured = !data.mTextures.empty();
    if (!data.mTextured) {
        textures = nullptr;
    }
    // Only a mesh with several texture layers shows a second texture.
    const KFbxLayer* second =
        data.mTextures.size() > 1 ? mesh.GetLayerOfType(1, KFbxLayerElement::eDIFFUSE_TEXTURES) : nullptr;
    const KFbxLayerElementTexture* secondTextures = second != nullptr ? second->GetTextures() : nullptr;

    const KFbxLayerElementMaterial* materials = layer != nullptr ? layer->GetMaterials() : nullptr;
    if (materials != nullptr) {
        for (int index = 0; index < materials->GetDirectArray().GetCount(); ++index) {
            data.mMaterials.push_back(materials->GetDirectArray().GetAt(index));
        }
    }
    if (data.mMaterials.empty() && data.mTextured) {
        data.mMaterials.push_back(nullptr);
        materials = nullptr;
    }
    if (!options.mMaterials) {
        data.mMaterials.clear();
    }
    const int materialCount = static_cast<int>(data.mMaterials.size());
    for (int polygon = 0; polygon < static_cast<int>(data.mPolygons.size()); ++polygon) {
        MeshPolygon& entry = data.mPolygons[static_cast<std::size_t>(polygon)];
        const int material = NumberOf(materials, data, polygon, materialCount);
        entry.mMaterial = material >= 0 ? material : 0;
        const int texture = NumberOf(textures, data, polygon, data.NoTexture());
        entry.mTexture = texture >= 0 && data.mTextures[texture] != nullptr ? texture : data.NoTexture();
        const int other = NumberOf(secondTextures, data, polygon, data.NoTexture());
        entry.mSecondTexture = other >= 0 && data.mTextures[other] != nullptr ? other : data.NoTexture();
    }
}

void ReadUVs(const KFbxMesh& mesh, const MeshOptions& options, MeshData& data) {
    const KFbxLayer* layer = mesh.GetLayer(0);
    const KFbxLayerElementUV* uvs = layer != nullptr ? layer->GetUVs() : nullptr;
    if (!data.mTextured) {
        return;
    }
    data.mUVs.assign(data.mPoints.size(), KFbxVector2(0.0, 0.0));
    if (uvs == nullptr) {
        return;
    }
    const bool byCorner = uvs->GetMappingMode() == Element::eBY_POLYGON_VERTEX;
    const KFbxLayerElementTexture* textures = layer->GetTextures();
    const bool texturePerPolygon = textures != nullptr && textures->GetMappingMode() == Element::eBY_POLYGON;
    if (byCorner && options.mSpreadCornerUVs) {
        // Every corner its own point, so that no corner's UV is lost.
        std::vector<KFbxVector4> points;
        points.reserve(data.mCorners.size());
        data.mUVs.assign(data.mCorners.size(), KFbxVector2(0.0, 0.0));
        for (std::size_t polygon = 0; polygon < data.mPolygons.size(); ++polygon) {
            const MeshPolygon& entry = data.mPolygons[polygon];
            const KFbxTexture* texture = texturePerPolygon && entry.mTexture < data.NoTexture()
                                             ? data.mTextures[static_cast<std::size_t>(entry.mTexture)]
                                             : nullptr;
            for (int corner = entry.mFirst; corner < entry.mFirst + entry.mSize; ++corner) {
                const int index = DirectIndex(*uvs, static_cast<int>(polygon), corner, data.mCorners[corner]);
                KFbxVector2 uv = index >= 0 ? uvs->GetDirectArray().GetAt(index) : KFbxVector2(0.0, 0.0);
                if (texture != nullptr && texture->GetSwapUV()) {
                    uv = KFbxVector2(uv[1], uv[0]);
                }
                data.mUVs[static_cast<std::size_t>(corner)] = uv;
                points.push_back(data.mPoints[static_cast<std::size_t>(data.mCorners[corner])]);
                data.mCorners[corner] = corner;
            }
        }
        data.mPoints = std::move(points);
        return;
    }
    if (!byCorner && uvs->GetMappingMode() != Element::eBY_CONTROL_POINT) {
        return;
    }
    // One UV per point: of the last corner on the point when given per corner.
    for (std::size_t polygon = 0; polygon < data.mPolygons.size(); ++polygon) {
        const MeshPolygon& entry = data.mPolygons[polygon];
        for (int corner = entry.mFirst; corner < entry.mFirst + entry.mSize; ++corner) {
            const int point = data.mCorners[corner];
            const int index = DirectIndex(*uvs, static_cast<int>(polygon), corner, point);
            if (index >= 0) {
                data.mUVs[static_cast<std::size_t>(point)] = uvs->GetDirectArray().GetAt(index);
            }
        }
    }
}

}  // namespace

MeshData ReadMeshData(const KFbxMesh& mesh, const MeshOptions& options) {
    MeshData data;
    const KFbxVector4* points = mesh.GetControlPoints();
    const int count = mesh.GetControlPointsCount();
    if (points == nullptr || count <= 0) {
        return data;
    }
    data.mPoints.assign(points, points + count);
    ReadPolygons(mesh, data);
    if (const KFbxLayer* layer = mesh.GetLayer(0)) {
        ReadNormals(*layer, data);
    }
    ReadMaterialsAndTextures(mesh, options, data);
    ReadUVs(mesh, options, data);
    return data;
}

KFbxVector4 FaceNormal(const KFbxVector4& p0, const KFbxVector4& p1, const KFbxVector4& p2) {
    const KFbxVector4 a = p1 - p0;
    const KFbxVector4 b = p2 - p0;
    KFbxVector4 normal(a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0], 0.0);
    KFbxNormalizeDouble3(normal, normal);
    return normal;
}

std::vector<MeshPart> SplitIntoParts(const MeshData& data, std::size_t limit) {
    std::vector<MeshPart> parts;
    std::size_t triangles = 0;
    for (const MeshPolygon& polygon : data.mPolygons) {
        triangles += polygon.mSize > 2 ? static_cast<std::size_t>(polygon.mSize) - 2 : 0;
    }
    if (data.mPoints.empty() || triangles == 0) {
        return parts;
    }
    const bool whole = data.mPoints.size() <= limit && triangles <= limit;
    // The number of each point in the part being filled; -1 while not in it.
    std::vector<int> local(data.mPoints.size(), -1);
    parts.emplace_back();
    if (whole) {
        for (std::size_t point = 0; point < data.mPoints.size(); ++point) {
            local[point] = static_cast<int>(point);
            parts.back().mPoints.push_back(static_cast<int>(point));
        }
        parts.back().mTriangles.reserve(triangles);
    }
    for (std::size_t polygon = 0; polygon < data.mPolygons.size(); ++polygon) {
        const MeshPolygon& entry = data.mPolygons[polygon];
        for (const std::array<int, 3>& corners : KFbxWriter3DS::TriangulatePolygon(entry.mSize)) {
            PartTriangle triangle;
            triangle.mPolygon = static_cast<int>(polygon);
            std::size_t added = 0;
            for (int index = 0; index < 3; ++index) {
                triangle.mCorners[index] = entry.mFirst + corners[static_cast<std::size_t>(index)];
                const int point = data.mCorners[static_cast<std::size_t>(triangle.mCorners[index])];
                added += local[static_cast<std::size_t>(point)] < 0 ? 1 : 0;
            }
            MeshPart* part = &parts.back();
            if (part->mTriangles.size() + 1 > limit || part->mPoints.size() + added > limit) {
                for (int point : part->mPoints) {
                    local[static_cast<std::size_t>(point)] = -1;
                }
                parts.emplace_back();
                part = &parts.back();
            }
            for (int index = 0; index < 3; ++index) {
                const int point = data.mCorners[static_cast<std::size_t>(triangle.mCorners[index])];
                int& number = local[static_cast<std::size_t>(point)];
                if (number < 0) {
                    number = static_cast<int>(part->mPoints.size());
                    part->mPoints.push_back(point);
                }
                triangle.mPoints[index] = static_cast<std::uint16_t>(number);
            }
            part->mTriangles.push_back(triangle);
        }
    }
    return parts;
}

std::uint32_t SmoothingGroups::Next(bool flat) {
    if (!flat) {
        return 1;
    }
    const std::uint32_t group = mNextFlat;
    // 4 to the power 15 leaves the 32 bits.
    mNextFlat = mNextFlat >= (1u << 30) ? 0 : mNextFlat * 4;
    return group;
}

}  // namespace writer3ds

}  // namespace fbxsdk_2006_11_1
