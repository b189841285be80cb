// Skins, clusters, vertex caches, shapes, caches and weighted maps in FBX 6 files.
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxClusterFields.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxCache.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>
#include <fbxfilesdk/geometry/KFbxWeightedMapping.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <algorithm>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

void WriteMatrixField(KFbx& file, const char* name, const double* matrix) {
    WriteDoublesRecord(file, name, matrix, 16);
}

// The first layer's normals when they map one to one onto the control points.
const KFbxLayerElementNormal* PointNormals(const KFbxGeometryBase& geometry) {
    const KFbxLayer* layer = geometry.GetLayerOfType(0, KFbxLayerElement::eNORMAL);
    const KFbxLayerElementNormal* normals = layer != nullptr ? layer->GetNormals() : nullptr;
    if (normals == nullptr || normals->GetMappingMode() != KFbxLayerElement::eBY_CONTROL_POINT ||
        normals->GetReferenceMode() != KFbxLayerElement::eDIRECT ||
        normals->GetDirectArray().GetCount() != geometry.GetControlPointsCount()) {
        return nullptr;
    }
    return normals;
}

// (shape - base) of the two points, both carried through the pivot.
void AppendDifference(std::vector<double>& out, const KgeMatrix& pivot, const KFbxVector4& shape,
                      const KFbxVector4& base) {
    const double shapePoint[3] = {shape[0], shape[1], shape[2]};
    const double basePoint[3] = {base[0], base[1], base[2]};
    double a[3];
    double b[3];
    KgeMatrixMultPoint(a, pivot, shapePoint);
    KgeMatrixMultPoint(b, pivot, basePoint);
    out.insert(out.end(), {a[0] - b[0], a[1] - b[1], a[2] - b[2]});
}

// "Version", "MultiLayer", "Type" and the property block every deformer starts with.
template <class Deformer>
void WriteDeformerHead(KFbxWriterFbx6& writer, KFbx& file, Deformer& deformer) {
    WriteIntRecord(file, "Version", 100);
    WriteIntRecord(file, "MultiLayer", deformer.GetMultiLayer() ? 1 : 0);
    file.WriteStringField("Type", deformer.GetTypeName());
    writer.WriteProperties(deformer);
}

}  // namespace

void FindChangedShapePoints(const KFbxGeometryBase& first, const KFbxGeometryBase& second, std::vector<int>& indices) {
    const int count = std::min(first.GetControlPointsCount(), second.GetControlPointsCount());
    for (int i = 0; i < count; ++i) {
        const KFbxVector4 a = first.GetControlPointAt(i);
        const KFbxVector4 b = second.GetControlPointAt(i);
        if (a[0] != b[0] || a[1] != b[1] || a[2] != b[2]) {
            indices.push_back(i);
        }
    }
}

bool KFbxWriterFbx6::WriteSkin(KFbxSkin& skin) {
    WriteDeformerHead(*this, *mFbx, skin);
    mFbx->FieldWriteBegin("Link_DeformAcuracy");
    mFbx->FieldWriteD(skin.GetDeformAccuracy());
    mFbx->FieldWriteEnd();
    return true;
}

bool KFbxWriterFbx6::WriteVertexCacheDeformer(KFbxVertexCacheDeformer& deformer) {
    WriteDeformerHead(*this, *mFbx, deformer);
    return true;
}

bool KFbxWriterFbx6::WriteCluster(KFbxCluster& cluster) {
    KFbx& file = *mFbx;
    WriteDeformerHead(*this, file, cluster);
    KFbxWriteClusterWeights(file, cluster);

    const KFbxClusterFileMatrices matrices = KFbxGetClusterFileMatrices(cluster, eCLUSTER_MATRICES_CLEANED);
    WriteMatrixField(file, "Transform", matrices.mTransform);
    WriteMatrixField(file, "TransformLink", matrices.mTransformLink);
    if (cluster.GetAssociateModel() != nullptr) {
        file.FieldWriteBegin("AssociateModel");
        file.FieldWriteBlockBegin();
        WriteMatrixField(file, "Transform", matrices.mAssociateModel);
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
    }
    if (cluster.IsTransformParentSet()) {
        WriteMatrixField(file, "TransformParent", matrices.mTransformParent);
    }
    return true;
}

void KFbxWriterFbx6::WriteShape(KFbx& file, const KFbxShape& shape, const char* shapeName,
                                const KFbxGeometry& geometry) {
    // A shape whose points are still deferred (as the reader leaves them)
    // is written without being made whole.
    std::vector<int> indices;
    if (shape.GetControlPointsCount() == geometry.GetControlPointsCount()) {
        FindChangedShapePoints(shape, geometry, indices);
    }
    // A shape that moves nothing, or does not match the geometry, still
    // stores one point, unmoved.
    const bool difference = !indices.empty();
    if (!difference) indices.assign(1, 0);

    KgeMatrix pivot;
    geometry.GetPivot(pivot);
    std::vector<double> vertices;
    vertices.reserve(indices.size() * 3);
    for (int index : indices) {
        if (difference) {
            AppendDifference(vertices, pivot, shape.GetControlPointAt(index), geometry.GetControlPointAt(index));
        } else {
            vertices.insert(vertices.end(), {0.0, 0.0, 0.0});
        }
    }

    file.FieldWriteBegin("Shape");
    file.FieldWriteS(shapeName != nullptr ? shapeName : "");
    file.FieldWriteBlockBegin();
    WriteIntsRecord(file, "Indexes", indices.data(), static_cast<int>(indices.size()));
    WriteDoublesRecord(file, "Vertices", vertices.data(), static_cast<int>(vertices.size()));
    if (geometry.GetAttributeType() == KFbxNodeAttribute::eMESH) {
        const KFbxLayerElementNormal* baseNormals = PointNormals(geometry);
        const KFbxLayerElementNormal* shapeNormals = PointNormals(shape);
        std::vector<double> normals;
        normals.reserve(indices.size() * 3);
        for (int index : indices) {
            // Each array holds one normal per control point of its owner,
            // which may be fewer than the index names.
            if (baseNormals != nullptr && shapeNormals != nullptr &&
                index < baseNormals->GetDirectArray().GetCount() &&
                index < shapeNormals->GetDirectArray().GetCount()) {
                AppendDifference(normals, pivot, shapeNormals->GetDirectArray().GetAt(index),
                                 baseNormals->GetDirectArray().GetAt(index));
            } else {
                normals.insert(normals.end(), {0.0, 0.0, 0.0});
            }
        }
        WriteDoublesRecord(file, "Normals", normals.data(), static_cast<int>(normals.size()));
    }
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
}

bool KFbxWriterFbx6::WriteCache(KFbxCache& cache) {
    KFbx& file = *mFbx;
    file.FieldWriteBegin("Cache");
    file.FieldWriteS(cache.GetNameWithTypePrefix());
    file.FieldWriteS(cache.GetTypeName());
    file.FieldWriteBlockBegin();
    WriteIntRecord(file, "Version", 100);
    WriteProperties(cache);
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
    return true;
}

void KFbxWriterFbx6::WriteWeightedMaps(KFbxScene& scene) {
    const KFbxClassId classId = KFbxGeometryWeightedMap::ClassId;
    const int count = classId == KFbxClassId() ? 0 : scene.GetSrcObjectCount(classId);
    for (int i = 0; i < count; ++i) {
        auto* map = static_cast<KFbxGeometryWeightedMap*>(scene.GetSrcObject(classId, i));
        if (map != nullptr) {
            mFbx->FieldWriteBegin("GeometryWeightedMap");
            mFbx->FieldWriteS(map->GetNameWithTypePrefix());
            mFbx->FieldWriteS(map->GetTypeName());
            mFbx->FieldWriteBlockBegin();
            WriteWeightedMapContents(*map);
            mFbx->FieldWriteBlockEnd();
            mFbx->FieldWriteEnd();
        }
        StepProgress("");
    }
}

void KFbxWriterFbx6::WriteWeightedMapContents(KFbxGeometryWeightedMap& map) {
    KFbx& file = *mFbx;
    const KFbxWeightedMapping* mapping = map.GetValues();
    const int sources = mapping != nullptr ? mapping->GetElementCount(KFbxWeightedMapping::eSOURCE) : 0;
    const int destinations = mapping != nullptr ? mapping->GetElementCount(KFbxWeightedMapping::eDESTINATION) : 0;
    WriteIntRecord(file, "Version", 100);
    WriteIntRecord(file, "SourceCount", sources);
    WriteIntRecord(file, "DestinationCount", destinations);
    if (mapping == nullptr) return;
    // Only the related elements: the declared counts may be far larger.
    for (const int s : mapping->GetRelatedElements(KFbxWeightedMapping::eSOURCE)) {
        const int relations = mapping->GetRelations(KFbxWeightedMapping::eSOURCE, s);
        file.FieldWriteBegin("IndexMapping");
        file.FieldWriteI(s);
        file.FieldWriteI(relations);
        for (int r = 0; r < relations; ++r) {
            const KFbxWeightedMapping::KElement relation = mapping->GetRelation(KFbxWeightedMapping::eSOURCE, s, r);
            file.FieldWriteI(relation.mIndex);
            file.FieldWriteD(relation.mWeight);
        }
        file.FieldWriteEnd();
    }
}

}  // namespace fbxsdk_2006_11_1
