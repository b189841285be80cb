// The scene of the OBJ reader: one node and mesh per polygon group, corners
// welded into control points, missing normals computed by smoothing group.
#include <fbxfilesdk/formats/KFbxReaderObj.h>

#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace fbxsdk_2006_11_1 {

namespace {

// Shading of nodes whose meshes show textures.
constexpr int kTexturedShading = 5;

// Corners that name the same vertex, normal and texture coordinate share a
// control point: an open-addressing table from the three indices to it.
class CornerTable {
public:
    // The key's control point; a new key gets next and sets inserted.
    int FindOrInsert(const ObjCornerKey& key, int next, bool& inserted) {
        if ((mCount + 1) * 2 > mSlots.size()) Grow();
        std::size_t at = Hash(key) & mMask;
        for (;;) {
            ObjCornerKey& slot = mSlots[at];
            if (slot.mControlPoint < 0) {
                slot = key;
                slot.mControlPoint = next;
                ++mCount;
                inserted = true;
                return next;
            }
            if (slot.mVertex == key.mVertex && slot.mNormal == key.mNormal && slot.mUV == key.mUV) {
                inserted = false;
                return slot.mControlPoint;
            }
            at = (at + 1) & mMask;
        }
    }

private:
    static std::size_t Hash(const ObjCornerKey& key) {
        std::uint64_t h = static_cast<std::uint32_t>(key.mVertex);
        h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::uint32_t>(key.mNormal);
        h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::uint32_t>(key.mUV);
        h ^= h >> 29;
        h *= 0xBF58476D1CE4E5B9ULL;
        h ^= h >> 32;
        return static_cast<std::size_t>(h);
    }

    void Grow() {
        std::vector<ObjCornerKey> old(mSlots.empty() ? 1024 : mSlots.size() * 2);
        old.swap(mSlots);
        mMask = mSlots.size() - 1;
        mCount = 0;
        bool inserted = false;
        for (const ObjCornerKey& key : old) {
            if (key.mControlPoint >= 0) FindOrInsert(key, key.mControlPoint, inserted);
        }
    }

    std::vector<ObjCornerKey> mSlots;
    std::size_t mMask = 0;
    std::size_t mCount = 0;
};

KFbxVector4 Normalized(const KFbxVector4& v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    // A degenerate face keeps a zero normal rather than one of nan.
    if (length == 0.0 || !std::isfinite(length)) return KFbxVector4(0.0, 0.0, 0.0, 1.0);
    return KFbxVector4(v[0] / length, v[1] / length, v[2] / length, 1.0);
}

// Room for count more items, so that appending them one by one does not
// move the array each time.
void Reserve(DynamicArrayOf<int>* indices, int count) {
    if (indices == nullptr) return;
    const int used = indices->GetCount();
    if (indices->Grow(count)) indices->Resize(used);
}

}  // namespace

KString KFbxReaderObj::UniqueNodeName(const std::string& name) {
    KString unique(name.data(), static_cast<int>(name.size()));
    mRenaming.Rename(unique);
    return unique;
}

KFbxVector4 KFbxReaderObj::FaceNormal(const ObjCorner* corners) const {
    const KFbxVector4& p0 = mVertices[static_cast<std::size_t>(corners[0].mVertex)];
    const KFbxVector4& p1 = mVertices[static_cast<std::size_t>(corners[1].mVertex)];
    const KFbxVector4& p2 = mVertices[static_cast<std::size_t>(corners[2].mVertex)];
    const double a[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const double b[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    return Normalized(
        KFbxVector4(a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0], 1.0));
}

bool KFbxReaderObj::ComputeMissingNormals(ObjGroup& group) {
    if (group.mFacesBySmoothingGroup.empty()) return false;
    for (auto& [smoothingGroup, list] : group.mFacesBySmoothingGroup) {
        if (smoothingGroup == 0) {
            // Unsmoothed: a face lacking a normal anywhere is flat all over.
            ObjCorner* corners = list.mCorners.data();
            for (ObjFace& face : list.mFaces) {
                if (!face.mHasNormals) {
                    const int normal = static_cast<int>(mNormals.size());
                    mNormals.push_back(FaceNormal(corners));
                    for (std::uint32_t k = 0; k < face.mCornerCount; ++k) corners[k].mNormal = normal;
                    face.mHasNormals = true;
                }
                corners += face.mCornerCount;
            }
            continue;
        }
        // Smoothed: each vertex gets the sum of its corners' normals, a face
        // normal standing in where a corner has none.
        struct Sum {
            KFbxVector4 mNormal{0.0, 0.0, 0.0, 0.0};
            int mIndex = -1;
        };
        std::unordered_map<int, Sum> sums;
        const ObjCorner* corners = list.mCorners.data();
        for (const ObjFace& face : list.mFaces) {
            const KFbxVector4 faceNormal = face.mHasNormals ? KFbxVector4() : FaceNormal(corners);
            for (std::uint32_t k = 0; k < face.mCornerCount; ++k) {
                const ObjCorner& corner = corners[k];
                Sum& sum = sums[corner.mVertex];
                const KFbxVector4& add =
                    corner.mNormal >= 0 ? mNormals[static_cast<std::size_t>(corner.mNormal)] : faceNormal;
                sum.mNormal[0] += add[0];
                sum.mNormal[1] += add[1];
                sum.mNormal[2] += add[2];
            }
            corners += face.mCornerCount;
        }
        for (ObjCorner& corner : list.mCorners) {
            if (corner.mNormal >= 0) continue;
            Sum& sum = sums[corner.mVertex];
            if (sum.mIndex < 0) {
                sum.mIndex = static_cast<int>(mNormals.size());
                mNormals.push_back(Normalized(sum.mNormal));
            }
            corner.mNormal = sum.mIndex;
        }
        for (ObjFace& face : list.mFaces) face.mHasNormals = true;
    }
    group.mAllHaveNormals = true;
    return true;
}

KFbxMesh* KFbxReaderObj::CreateMesh(ObjGroup& group) {
    if (!group.mAllHaveNormals && !ComputeMissingNormals(group)) return nullptr;

    // Welding, smoothing group by smoothing group, face by face. The corners
    // of each list go as soon as they are welded: the file's lists and the
    // mesh are what memory must hold at once.
    std::size_t cornerCount = 0;
    for (const auto& [smoothingGroup, list] : group.mFacesBySmoothingGroup) cornerCount += list.mCorners.size();
    std::vector<int> cornerPoints;
    std::vector<int> cornerUVs;
    cornerPoints.reserve(cornerCount);
    if (group.mSomeHasUVs) cornerUVs.reserve(cornerCount);
    std::vector<KFbxVector4> points;
    std::vector<KFbxVector4> normals;
    std::vector<KFbxVector2> uvs;
    std::vector<int> uvOfPoint;
    bool anyUV = false;
    {
        CornerTable table;
        for (auto& [smoothingGroup, list] : group.mFacesBySmoothingGroup) {
            for (const ObjCorner& corner : list.mCorners) {
                const ObjCornerKey key{corner.mVertex, corner.mUV, corner.mNormal, -1};
                bool inserted = false;
                const int point = table.FindOrInsert(key, static_cast<int>(points.size()), inserted);
                if (inserted) {
                    points.push_back(mVertices[static_cast<std::size_t>(corner.mVertex)]);
                    normals.push_back(corner.mNormal >= 0 ? mNormals[static_cast<std::size_t>(corner.mNormal)]
                                                          : KFbxVector4(0.0, 0.0, 0.0, 0.0));
                    int uv = -1;
                    if (corner.mUV >= 0) {
                        uv = static_cast<int>(uvs.size());
                        uvs.push_back(mTextureCoordinates[static_cast<std::size_t>(corner.mUV)]);
                    }
                    uvOfPoint.push_back(uv);
                }
                cornerPoints.push_back(point);
                // A corner without a texture coordinate has none in the mesh either.
                if (group.mSomeHasUVs) cornerUVs.push_back(uvOfPoint[static_cast<std::size_t>(point)]);
                anyUV = anyUV || corner.mUV >= 0;
            }
            std::vector<ObjCorner>().swap(list.mCorners);
        }
    }
    std::vector<int>().swap(uvOfPoint);

    KFbxMesh* mesh = KFbxMesh::Create(&mManager, "");
    if (mesh == nullptr) return nullptr;
    const int pointCount = static_cast<int>(points.size());
    mesh->InitControlPoints(pointCount);
    if (mesh->GetControlPointsCount() != pointCount) {
        mesh->Destroy();
        return nullptr;
    }
    std::copy(points.begin(), points.end(), mesh->GetControlPoints());
    std::vector<KFbxVector4>().swap(points);
    mesh->InitNormals(0);
    if (KFbxVector4* meshNormals = mesh->GetNormals()) std::copy(normals.begin(), normals.end(), meshNormals);
    std::vector<KFbxVector4>().swap(normals);

    const bool withMaterials = mMaterialLibraryFlag;
    mesh->InitMaterialIndices(withMaterials ? KFbxLayerElement::eBY_POLYGON : KFbxLayerElement::eALL_SAME);
    if (anyUV) {
        mesh->InitTextureUVMapping(KFbxLayerElement::eBY_POLYGON_VERTEX, KFbxLayerElement::eDIFFUSE_TEXTURES);
        if (mesh->SetTextureUVCount(static_cast<int>(uvs.size())) && !uvs.empty()) {
            std::copy(uvs.begin(), uvs.end(), mesh->GetTextureUVArray());
        }
    }
    std::vector<KFbxVector2>().swap(uvs);
    const bool withTextures = withMaterials && group.mSomeHasTexture;
    if (withTextures) {
        mesh->InitTextureIndices(KFbxLayerElement::eBY_POLYGON);
        if (!group.mAllHaveTextures) {
            // Faces without a texture point at this one.
            KFbxTexture* empty = KFbxTexture::Create(&mManager, "_empty_");
            if (empty != nullptr) {
                mScene->ConnectObject(empty);
                empty->SetDefaultAlpha(0.0);
                mesh->AddTexture(empty, 0, KFbxLayerElement::eDIFFUSE_TEXTURES);
            }
        }
    }

    Reserve(mesh->GetMaterialIndices(), group.mFaceCount);
    Reserve(mesh->GetTextureIndices(), group.mFaceCount);
    // The layer index of each look's material and texture, found once per
    // mesh; the table lives across meshes and only the looks a mesh used are
    // cleared, so that many groups of many looks cost no more than their faces.
    mLookMaterialIndex.resize(mLooks.size(), -1);
    mLookTextureIndex.resize(mLooks.size(), -1);
    std::size_t corner = 0;
    for (const auto& [smoothingGroup, list] : group.mFacesBySmoothingGroup) {
        for (const ObjFace& face : list.mFaces) {
            const ObjLook& look = mLooks[face.mLook];
            // Without a library every face has material 0 of none; with one,
            // a face whose name no library defines, or that comes before any
            // "usemtl", has none.
            int material = withMaterials ? -1 : 0;
            int texture = -1;
            if (withMaterials && look.mMaterial != nullptr) {
                int& index = mLookMaterialIndex[face.mLook];
                if (index < 0) {
                    index = mesh->AddMaterial(look.mMaterial);
                    mLooksUsed.push_back(face.mLook);
                }
                material = std::max(index, 0);
            }
            if (withTextures) {
                texture = 0;
                if (look.mTexture != nullptr) {
                    int& index = mLookTextureIndex[face.mLook];
                    if (index < 0) {
                        index = mesh->AddTexture(look.mTexture, 0, KFbxLayerElement::eDIFFUSE_TEXTURES);
                        mLooksUsed.push_back(face.mLook);
                    }
                    texture = std::max(index, 0);
                }
            }
            mesh->BeginPolygon(material, texture, -1, true);
            for (std::uint32_t k = 0; k < face.mCornerCount; ++k) mesh->AddPolygonVertex(cornerPoints[corner++]);
        }
    }
    for (const std::uint32_t used : mLooksUsed) {
        mLookMaterialIndex[used] = -1;
        mLookTextureIndex[used] = -1;
    }
    mLooksUsed.clear();
    if (anyUV) {
        KFbxLayer* layer = mesh->GetLayer(0);
        KFbxLayerElementUV* element = layer != nullptr ? layer->GetUVs() : nullptr;
        if (element != nullptr && element->GetIndexArray().SetCount(static_cast<int>(cornerUVs.size()))) {
            std::copy(cornerUVs.begin(), cornerUVs.end(), element->GetIndexArray().GetArray());
        }
    }
    return mesh;
}

bool KFbxReaderObj::BuildGroupNode(const std::string& name, ObjGroup& group, KFbxNode& parent) {
    KFbxNode* node = KFbxNode::Create(&mManager, UniqueNodeName(name).Buffer());
    if (node == nullptr) return false;
    KFbxMesh* mesh = CreateMesh(group);
    if (mesh == nullptr) {
        node->Destroy();
        return false;
    }
    node->SetNodeAttribute(mesh);
    if (mTextureFlag) node->SetShading(kTexturedShading);
    parent.AddChild(node);
    return true;
}

bool KFbxReaderObj::BuildScene(KFbxScene& scene) {
    KFbxNode* parent = scene.GetRootNode();
    if (parent == nullptr) return false;
    if (mReferenceNodeFlag) {
        const KString name = KFbxExtractFileName(mFileName, false) + "_root";
        KFbxNode* reference = KFbxNode::Create(&mManager, name.Buffer());
        if (reference == nullptr) return false;
        parent->AddChild(reference);
        parent = reference;
    }
    bool built = true;
    // A group goes as soon as its mesh stands, so that a file of many small
    // groups holds its lists or its nodes, not both.
    while (built && !mGroups.empty()) {
        const auto first = mGroups.begin();
        ObjGroup& group = first->second;
        if (group.mFaceCount > 0) built = BuildGroupNode(first->first, group, *parent);
        mGroups.erase(first);
    }
    mGroups.clear();
    return built;
}

}  // namespace fbxsdk_2006_11_1
