// Meshes, NURBS and patches as fields of their models in FBX 5 files, with
// the materials, textures, links and shapes that hang on them.
//
// Materials and textures are written as records in the order of their
// layers' arrays, empty slots left out; every index a field gives into such
// an array is written as the position of its object among those records (-1
// for an empty slot or none), so that a reader finds each object by
// counting records. The texture records of all layers follow one another;
// with more than one texture layer, "TextureCounts" tells how many belong to
// each, in layer order.
#include <fbxfilesdk/fbx/KFbxWriterFbx.h>

#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxClusterFields.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/fbx/KFbxWriterFbxSurfaces.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

using Element = KFbxLayerElement;

// For each item of an object array, its position among the array's
// non-null items; -1 for a null item.
template <class Array>
std::vector<int> RecordPositions(const Array& objects) {
    std::vector<int> positions(static_cast<std::size_t>(objects.GetCount()), -1);
    int written = 0;
    for (int i = 0; i < objects.GetCount(); ++i) {
        if (objects.GetAt(i) != nullptr) {
            positions[static_cast<std::size_t>(i)] = written++;
        }
    }
    return positions;
}

// The record an index array's k-th entry names: -1 for none (-1 or an empty
// slot); an entry past the array's end or outside the objects counts as 0.
int RecordOf(const std::vector<int>& positions, const DynamicArrayOf<int>& indices, int k) {
    if (k < 0 || k >= indices.GetCount()) {
        return 0;
    }
    const int index = indices.GetAt(k);
    if (index == -1) {
        return -1;
    }
    if (index < 0 || index >= static_cast<int>(positions.size())) {
        return 0;
    }
    return positions[static_cast<std::size_t>(index)];
}

// An index entry for a UV or colour array: itself when it names an item,
// else 0.
int BoundedIndex(const DynamicArrayOf<int>& indices, int k, int count) {
    const int index = indices.GetAt(k);
    return index >= 0 && index < count ? index : 0;
}

// u and v of every UV of the array.
std::vector<double> UVValues(const DynamicArrayOf<KFbxVector2>& uvs) {
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(uvs.GetCount()) * 2);
    for (int i = 0; i < uvs.GetCount(); ++i) {
        const KFbxVector2 uv = uvs.GetAt(i);
        values.insert(values.end(), {uv[0], uv[1]});
    }
    return values;
}

void WriteBoundedIndices(KFbx& file, const char* name, const DynamicArrayOf<int>& indices, int count) {
    std::vector<int> bounded(static_cast<std::size_t>(indices.GetCount()));
    for (int k = 0; k < indices.GetCount(); ++k) {
        bounded[static_cast<std::size_t>(k)] = BoundedIndex(indices, k, count);
    }
    WriteIntsRecord(file, name, bounded.data(), static_cast<int>(bounded.size()));
}

// The diffuse texture element of the n-th layer holding one, and that
// layer's index; null when there is none.
const KFbxLayerElementTexture* NthDiffuseTextures(const KFbxGeometry& geometry, int n, int& layerIndex) {
    int holding = 0;
    for (int l = 0; l < geometry.GetLayerCount(); ++l) {
        const KFbxLayer* layer = geometry.GetLayer(l);
        const KFbxLayerElementTexture* textures =
            layer != nullptr ? layer->GetTexturesOfChannel(Element::eDIFFUSE_TEXTURES) : nullptr;
        if (textures != nullptr && holding++ == n) {
            layerIndex = l;
            return textures;
        }
    }
    return nullptr;
}

int DiffuseTextureLayerCount(const KFbxGeometry& geometry) {
    int count = 0;
    for (int l = 0; l < geometry.GetLayerCount(); ++l) {
        const KFbxLayer* layer = geometry.GetLayer(l);
        count += layer != nullptr && layer->GetTexturesOfChannel(Element::eDIFFUSE_TEXTURES) != nullptr ? 1 : 0;
    }
    return count;
}

// The mapping a UV element can be described by in an FBX 5 file: a mapping
// the file has no mode for, or one whose array does not match what it maps,
// stands as no mapping.
int DescribableUVMapping(const KFbxLayerElementUV& uvs, const KFbxGeometry& geometry) {
    const int mapping = uvs.GetMappingMode();
    const int reference = uvs.GetReferenceMode();
    if (reference != Element::eDIRECT && reference != Element::eINDEX_TO_DIRECT) {
        return Element::eNONE;
    }
    const int count =
        reference == Element::eDIRECT ? uvs.GetDirectArray().GetCount() : uvs.GetIndexArray().GetCount();
    if (mapping == Element::eBY_CONTROL_POINT) {
        return count == geometry.GetControlPointsCount() ? mapping : Element::eNONE;
    }
    if (mapping == Element::eBY_POLYGON_VERTEX) {
        const auto* mesh = dynamic_cast<const KFbxMesh*>(&geometry);
        return mesh != nullptr && mesh->GetPolygonVertexCount() == count ? mapping : Element::eNONE;
    }
    return Element::eNONE;
}

}  // namespace

bool KFbxWriterFbx::WriteMesh(KFbxMesh& mesh) {
    KFbx& file = *mFbx;
    if (mesh.GetControlPointsCount() > 0) {
        WriteGeometryCommon(mesh);
        WriteIntRecord(file, "GeometryVersion", 123);
        KFbxWriterFbx6::WriteVertices(file, mesh);
        WriteNormals(mesh);
        WriteMaterialAssignation(mesh);
        WriteTextureIds(mesh);
        KFbxWriterFbx6::WritePolygonVertexIndex(file, mesh);
        WritePolygonGroups(mesh);
        WriteGeometryUVInfo(mesh);
        WriteVertexColors(mesh);
    }
    const KFbxMesh::UVGrid& grid = mesh.GetUVGrid();
    if (grid.mUCount != 0 && grid.mVCount != 0) {
        WriteIntRecord(file, "UExtendedCount", grid.mUExtendedCount);
        WriteIntRecord(file, "UClosed", grid.mUClosed ? 1 : 0);
        WriteIntRecord(file, "UTopCap", grid.mUTopCap ? 1 : 0);
        WriteIntRecord(file, "UStep", grid.mUStep);
        WriteIntRecord(file, "UCount", grid.mUCount);
        WriteIntRecord(file, "VExtendedCount", grid.mVExtendedCount);
        WriteIntRecord(file, "VClosed", grid.mVClosed ? 1 : 0);
        WriteIntRecord(file, "VTopCap", grid.mVTopCap ? 1 : 0);
        WriteIntRecord(file, "VStep", grid.mVStep);
        WriteIntRecord(file, "VCount", grid.mVCount);
    }
    return true;
}

void KFbxWriterFbx::WriteGeometryCommon(KFbxGeometry& geometry) {
    for (int i = 0; i < geometry.GetMaterialCount(0); ++i) {
        if (KFbxSurfaceMaterial* material = geometry.GetMaterial(i, 0)) {
            WriteMaterial(*material);
        }
    }
    // A reader gives each texture layer its share of the records by these
    // counts; a geometry of one texture layer needs none.
    std::vector<int> textureCounts;
    for (int l = 0; l < geometry.GetLayerCount(); ++l) {
        const KFbxLayer* layer = geometry.GetLayer(l);
        const KFbxLayerElementTexture* textures =
            layer != nullptr ? layer->GetTexturesOfChannel(Element::eDIFFUSE_TEXTURES) : nullptr;
        if (textures == nullptr) {
            continue;
        }
        int written = 0;
        for (int t = 0; t < textures->GetDirectArray().GetCount(); ++t) {
            if (KFbxTexture* texture = textures->GetDirectArray().GetAt(t)) {
                WriteTexture(*texture);
                ++written;
            }
        }
        textureCounts.push_back(written);
    }
    if (textureCounts.size() > 1) {
        WriteIntsRecord(*mFbx, "TextureCounts", textureCounts.data(), static_cast<int>(textureCounts.size()));
    }
    if (geometry.GetDeformerCount(KFbxDeformer::eSKIN) > 0) {
        if (const auto* skin = dynamic_cast<const KFbxSkin*>(geometry.GetDeformer(0, KFbxDeformer::eSKIN))) {
            // A link names a model of the file: a bone outside the tree that
            // holds the mesh is written nowhere.
            const KFbxNode* tree = mTreeTops.Of(geometry.GetNode());
            for (int c = 0; c < skin->GetClusterCount(); ++c) {
                const KFbxCluster* cluster = skin->GetCluster(c);
                if (cluster != nullptr && mTreeTops.Of(cluster->GetLink()) == tree) {
                    WriteLink(*cluster);
                }
            }
        }
    }
    for (int s = 0; s < geometry.GetShapeCount(); ++s) {
        if (const KFbxShape* shape = geometry.GetShape(s)) {
            KFbxWriterFbx6::WriteShape(*mFbx, *shape, geometry.GetShapeName(s), geometry);
        }
    }
    WriteGeometryLayers(geometry);
}

void KFbxWriterFbx::WriteNormals(const KFbxMesh& mesh) {
    const KFbxLayer* layer = mesh.GetLayer(0);
    const KFbxLayerElementNormal* normals = layer != nullptr ? layer->GetNormals() : nullptr;
    if (normals == nullptr) {
        return;
    }
    // The pivot's rotation alone: its scale does not reach directions.
    KgeMatrix pivot;
    mesh.GetPivot(pivot);
    double angles[3];
    KgeMatrixGetEulerXYZ(angles, pivot);
    KgeMatrix rotation;
    KgeMatrixSetRotationXYZ(rotation, angles[0], angles[1], angles[2]);
    const auto& direct = normals->GetDirectArray();
    std::vector<double> values(static_cast<std::size_t>(direct.GetCount()) * 3);
    for (int i = 0; i < direct.GetCount(); ++i) {
        const KFbxVector4 normal = direct.GetAt(i);
        const double vector[3] = {normal[0], normal[1], normal[2]};
        KgeMatrixMultPoint(&values[static_cast<std::size_t>(i) * 3], rotation, vector);
    }
    WriteDoublesRecord(*mFbx, "Normals", values.data(), static_cast<int>(values.size()));
}

void KFbxWriterFbx::WriteMaterialAssignation(const KFbxMesh& mesh) {
    const KFbxLayer* layer = mesh.GetLayer(0);
    const KFbxLayerElementMaterial* materials = layer != nullptr ? layer->GetMaterials() : nullptr;
    const int mapping = materials != nullptr ? materials->GetMappingMode() : Element::eNONE;
    const char* word = "AllSame";
    int count = 1;
    if (mapping == Element::eBY_CONTROL_POINT) {
        word = "ByVertice";
        count = mesh.GetControlPointsCount();
    } else if (mapping == Element::eBY_POLYGON) {
        word = "ByPolygon";
        count = mesh.GetPolygonCount();
    }
    mFbx->WriteStringField("MaterialAssignation", word);
    std::vector<int> values(static_cast<std::size_t>(count), 0);
    if (materials != nullptr && materials->GetDirectArray().GetCount() > 0) {
        const std::vector<int> positions = RecordPositions(materials->GetDirectArray());
        const DynamicArrayOf<int>& indices = materials->GetIndexArray();
        const bool indexed = materials->GetReferenceMode() != Element::eDIRECT && indices.GetCount() > 0;
        for (int k = 0; k < count; ++k) {
            values[static_cast<std::size_t>(k)] = indexed ? RecordOf(positions, indices, k) : positions.back();
        }
    }
    WriteIntsRecord(*mFbx, "Materials", values.data(), count);
}

void KFbxWriterFbx::WriteTextureIds(const KFbxMesh& mesh) {
    int layerIndex = -1;
    const KFbxLayerElementTexture* textures = NthDiffuseTextures(mesh, 0, layerIndex);
    if (textures == nullptr) {
        return;
    }
    if (textures->GetMappingMode() == Element::eALL_SAME) {
        mFbx->WriteStringField("TextureMode", "ByModel");
        return;
    }
    if (textures->GetMappingMode() != Element::eBY_POLYGON) {
        return;
    }
    mFbx->WriteStringField("TextureMode", "ByPolygon");
    const std::vector<int> positions = RecordPositions(textures->GetDirectArray());
    std::vector<int> values(static_cast<std::size_t>(mesh.GetPolygonCount()));
    for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
        values[static_cast<std::size_t>(p)] = RecordOf(positions, textures->GetIndexArray(), p);
    }
    WriteIntsRecord(*mFbx, "TextureId", values.data(), static_cast<int>(values.size()));
}

void KFbxWriterFbx::WritePolygonGroups(const KFbxMesh& mesh) {
    const int count = mesh.GetPolygonCount();
    bool differ = false;
    for (int p = 1; p < count && !differ; ++p) {
        differ = mesh.GetPolygonGroup(p) != mesh.GetPolygonGroup(0);
    }
    if (!differ) {
        return;
    }
    std::vector<int> groups(static_cast<std::size_t>(count));
    for (int p = 0; p < count; ++p) {
        groups[static_cast<std::size_t>(p)] = mesh.GetPolygonGroup(p);
    }
    WriteIntsRecord(*mFbx, "PolygonGroup", groups.data(), count);
}

void KFbxWriterFbx::WriteGeometryUVInfo(const KFbxMesh& mesh) {
    KFbx& file = *mFbx;
    file.FieldWriteBegin("GeometryUVInfo");
    file.FieldWriteBlockBegin();
    WriteIntRecord(file, "Version", 240);
    const KFbxLayer* layer = mesh.GetLayer(0);
    const KFbxLayerElementUV* uvs = layer != nullptr ? layer->GetUVs(Element::eDIFFUSE_TEXTURES) : nullptr;
    const int mapping = uvs != nullptr ? uvs->GetMappingMode() : Element::eNONE;
    if (mapping != Element::eBY_CONTROL_POINT && mapping != Element::eBY_POLYGON_VERTEX) {
        file.WriteStringField("MappingInformationType", "NoMappingInformation");
        CloseFieldBlock(file);
        return;
    }
    // By polygon vertex is called "ByPolygon" here.
    file.WriteStringField("MappingInformationType", mapping == Element::eBY_CONTROL_POINT ? "ByVertice" : "ByPolygon");
    const auto& direct = uvs->GetDirectArray();
    const DynamicArrayOf<int>& indices = uvs->GetIndexArray();
    const bool indexed = uvs->GetReferenceMode() != Element::eDIRECT && indices.GetCount() > 0;
    std::vector<double> values;
    if (mapping == Element::eBY_CONTROL_POINT && indexed) {
        // Per control point the file holds UVs, not indices: an indexed
        // element is written through its indices.
        values.reserve(static_cast<std::size_t>(indices.GetCount()) * 2);
        for (int k = 0; k < indices.GetCount(); ++k) {
            const KFbxVector2 uv = direct.GetAt(BoundedIndex(indices, k, direct.GetCount()));
            values.insert(values.end(), {uv[0], uv[1]});
        }
    } else {
        values = UVValues(direct);
    }
    WriteDoublesRecord(file, "TextureUV", values.data(), static_cast<int>(values.size()));
    if (mapping == Element::eBY_POLYGON_VERTEX && indexed) {
        WriteBoundedIndices(file, "TextureUVVerticeIndex", indices, direct.GetCount());
    }
    CloseFieldBlock(file);
}

bool KFbxWriterFbx::WriteVertexColors(const KFbxMesh& mesh) {
    const KFbxLayerElementVertexColor* colors = nullptr;
    for (int l = 0; l < mesh.GetLayerCount() && colors == nullptr; ++l) {
        const KFbxLayer* layer = mesh.GetLayer(l);
        colors = layer != nullptr ? layer->GetVertexColors() : nullptr;
    }
    if (colors == nullptr) {
        return true;
    }
    const int mapping = colors->GetMappingMode();
    const int expected = mapping == Element::eBY_CONTROL_POINT    ? mesh.GetControlPointsCount()
                         : mapping == Element::eBY_POLYGON_VERTEX ? mesh.GetPolygonVertexCount()
                                                                   : -1;
    if (expected < 0) {
        return true;
    }
    const int reference = colors->GetReferenceMode();
    const auto& direct = colors->GetDirectArray();
    const DynamicArrayOf<int>& indices = colors->GetIndexArray();
    const bool accepted = (reference == Element::eDIRECT && direct.GetCount() == expected) ||
                          (reference == Element::eINDEX_TO_DIRECT && indices.GetCount() == expected);
    if (!accepted) {
        return false;
    }
    KFbx& file = *mFbx;
    file.FieldWriteBegin("VertexColorInfo");
    file.FieldWriteBlockBegin();
    WriteIntRecord(file, "Version", 100);
    file.WriteStringField("MappingInformationType",
                          mapping == Element::eBY_CONTROL_POINT ? "ByVertice" : "ByPolygonVertex");
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(direct.GetCount()) * 4);
    for (int i = 0; i < direct.GetCount(); ++i) {
        const KFbxColor color = direct.GetAt(i);
        values.insert(values.end(), {color.mRed, color.mGreen, color.mBlue, color.mAlpha});
    }
    WriteDoublesRecord(file, "Colors", values.data(), static_cast<int>(values.size()));
    if (reference == Element::eINDEX_TO_DIRECT) {
        WriteBoundedIndices(file, "ColorIndex", indices, direct.GetCount());
    }
    CloseFieldBlock(file);
    return true;
}

bool KFbxWriterFbx::WriteGeometryLayers(KFbxGeometry& geometry) {
    const int count = DiffuseTextureLayerCount(geometry);
    // A mesh's first texture layer is carried by its own texture fields.
    const int first = geometry.GetAttributeType() == KFbxNodeAttribute::eMESH ? 1 : 0;
    bool written = true;
    for (int n = first; n < count; ++n) {
        mFbx->FieldWriteBegin("GeometryLayer");
        mFbx->FieldWriteBlockBegin();
        WriteIntRecord(*mFbx, "LayerIndex", n - first);
        written = WriteLayerTextureInfo(geometry, n) && written;
        CloseFieldBlock(*mFbx);
    }
    return written;
}

bool KFbxWriterFbx::WriteLayerTextureInfo(KFbxGeometry& geometry, int textureLayer) {
    int layerIndex = -1;
    const KFbxLayerElementTexture* textures = NthDiffuseTextures(geometry, textureLayer, layerIndex);
    if (textures == nullptr) {
        return false;
    }
    const auto* mesh = dynamic_cast<const KFbxMesh*>(&geometry);
    const int mapping = textures->GetMappingMode();
    const DynamicArrayOf<int>& indices = textures->GetIndexArray();
    const bool describable =
        textures->GetReferenceMode() == Element::eINDEX_TO_DIRECT &&
        (mapping == Element::eNONE || (mapping == Element::eALL_SAME && indices.GetCount() <= 1) ||
         (mapping == Element::eBY_POLYGON && mesh != nullptr && indices.GetCount() == mesh->GetPolygonCount()));
    if (!describable) {
        return false;
    }
    KFbx& file = *mFbx;
    file.FieldWriteBegin("LayerTextureInfo");
    file.FieldWriteBlockBegin();
    WriteIntRecord(file, "TextureBlendMode", textures->GetBlendMode());
    WriteIntRecord(file, "TextureMode", mapping == Element::eBY_POLYGON ? 6 : mapping == Element::eALL_SAME ? 2 : 0);
    WriteIntRecord(file, "TextureIdCount", indices.GetCount());
    const std::vector<int> positions = RecordPositions(textures->GetDirectArray());
    file.FieldWriteBegin("TextureId");
    for (int k = 0; k < indices.GetCount(); ++k) {
        file.FieldWriteI(RecordOf(positions, indices, k));
    }
    file.FieldWriteEnd();

    const KFbxLayer* layer = geometry.GetLayer(layerIndex);
    const KFbxLayerElementUV* uvs = layer != nullptr ? layer->GetUVs(Element::eDIFFUSE_TEXTURES) : nullptr;
    if (uvs != nullptr) {
        // The scene's element keeps its own mapping: only the file's copy is
        // brought to what it can describe.
        const int uvMapping = DescribableUVMapping(*uvs, geometry);
        const bool indexed = uvs->GetReferenceMode() == Element::eINDEX_TO_DIRECT;
        const int mode = uvMapping == Element::eBY_CONTROL_POINT     ? (indexed ? 4 : 3)
                         : uvMapping == Element::eBY_POLYGON_VERTEX ? (indexed ? 8 : 7)
                                                                     : 0;
        WriteIntRecord(file, "UVMode", mode);
        if (mode != 0) {
            const auto& direct = uvs->GetDirectArray();
            WriteIntRecord(file, "UVCount", direct.GetCount());
            const std::vector<double> values = UVValues(direct);
            WriteDoublesRecord(file, "UV", values.data(), static_cast<int>(values.size()));
            if (indexed) {
                WriteIntRecord(file, "UVIdCount", uvs->GetIndexArray().GetCount());
                WriteBoundedIndices(file, "UVId", uvs->GetIndexArray(), direct.GetCount());
            }
        }
    }
    CloseFieldBlock(file);
    return true;
}

bool KFbxWriterFbx::WriteNurb(KFbxNurb& nurb) {
    const WrittenSurface<KFbxNurb, decltype(&KFbxGeometryConverter::CopyNurbSwapUV)> written(
        nurb, &KFbxGeometryConverter::CopyNurbSwapUV);
    KFbxNurb& surface = written.Get();
    if (surface.GetControlPointsCount() <= 0) {
        return true;
    }
    mFbx->WriteStringField("Type", "Nurb");
    WriteGeometryCommon(surface);
    WriteNurbFields(*mFbx, surface, 100);
    WriteIntRecord(*mFbx, "Materials", surface.GetMaterialCount(0));
    return true;
}

bool KFbxWriterFbx::WritePatch(KFbxPatch& patch) {
    if (patch.GetControlPointsCount() <= 0) {
        return true;
    }
    mFbx->WriteStringField("Type", "Patch");
    WriteGeometryCommon(patch);
    WritePatchFields(*mFbx, patch);
    WriteIntRecord(*mFbx, "Materials", patch.GetMaterialCount(0));
    return true;
}

bool KFbxWriterFbx::WriteLink(const KFbxCluster& cluster) {
    const KFbxNode* link = cluster.GetLink();
    if (link == nullptr) {
        return false;
    }
    KFbx& file = *mFbx;
    file.FieldWriteBegin("Link");
    file.FieldWriteS(link->GetNameWithTypePrefix());
    file.FieldWriteBlockBegin();
    KFbxWriteClusterWeights(file, cluster);
    // Stored as the cluster holds them, a shear included, and relative to
    // the link as an FBX 6 cluster's, so that both readers rebuild them
    // alike: Transform = T * inverse(L) and the associate model's
    // A * inverse(L), for row vectors, with L the stored "TransformLink".
    const KFbxClusterFileMatrices matrices = KFbxGetClusterFileMatrices(cluster, eCLUSTER_MATRICES_AS_HELD);
    WriteDoublesRecord(file, "Transform", matrices.mTransform, 16);
    WriteDoublesRecord(file, "TransformLink", matrices.mTransformLink, 16);
    if (const KFbxNode* associate = cluster.GetAssociateModel()) {
        file.FieldWriteBegin("AssociateModel");
        file.FieldWriteS(associate->GetNameWithTypePrefix());
        file.FieldWriteBlockBegin();
        WriteDoublesRecord(file, "Transform", matrices.mAssociateModel, 16);
        CloseFieldBlock(file);
    }
    if (cluster.IsTransformParentSet()) {
        WriteDoublesRecord(file, "TransformParent", matrices.mTransformParent, 16);
    }
    CloseFieldBlock(file);
    return true;
}

}  // namespace fbxsdk_2006_11_1
