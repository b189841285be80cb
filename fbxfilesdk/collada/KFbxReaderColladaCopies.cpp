// Copies of library meshes for the nodes that instance them, and the shapes
// of morph controllers.
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/ShapeNames.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxGeometryConverter.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>

#include <algorithm>

namespace fbxsdk_2006_11_1 {

namespace {

// Layer 0's normals, one per polygon vertex of the mesh, whatever their
// mapping; empty when the mesh has none that cover it.
std::vector<KFbxVector4> NormalsByPolygonVertex(const KFbxMesh& mesh) {
    std::vector<KFbxVector4> normals;
    const KFbxLayer* layer = mesh.GetLayer(0);
    const KFbxLayerElementNormal* element = layer != nullptr ? layer->GetNormals() : nullptr;
    if (element == nullptr) {
        return normals;
    }
    const DynamicArrayOf<KFbxVector4>& direct = element->GetDirectArray();
    const DynamicArrayOf<int>& indices = element->GetIndexArray();
    const bool indexed = element->GetReferenceMode() != KFbxLayerElement::eDIRECT;
    const int count = mesh.GetPolygonVertexCount();
    const int* vertices = mesh.GetPolygonVertices();
    const auto mapping = element->GetMappingMode();
    if (mapping != KFbxLayerElement::eBY_POLYGON_VERTEX && mapping != KFbxLayerElement::eBY_CONTROL_POINT) {
        return normals;
    }
    normals.reserve(static_cast<std::size_t>(count));
    for (int vertex = 0; vertex < count; ++vertex) {
        int entry = mapping == KFbxLayerElement::eBY_POLYGON_VERTEX ? vertex : vertices[vertex];
        entry = indexed ? indices.GetAt(entry) : entry;
        if (entry < 0 || entry >= direct.GetCount()) {
            return {};
        }
        normals.push_back(direct.GetAt(entry));
    }
    return normals;
}

// The normals of layer 0 become the ones given, one per polygon vertex.
void SetPolygonVertexNormals(KFbxGeometryBase& geometry, const std::vector<KFbxVector4>& normals) {
    geometry.InitNormals(static_cast<int>(normals.size()));
    KFbxLayerElementNormal* element = geometry.GetLayer(0)->GetNormals();
    if (element != nullptr && element->GetDirectArray().GetCount() == static_cast<int>(normals.size())) {
        element->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
        std::copy(normals.begin(), normals.end(), element->GetDirectArray().GetArray());
    }
}

}  // namespace

bool KFbxReaderColladaPass::ImportMorphShapes(KFbxMesh& mesh, const KString& nodeName,
                                              const std::vector<KString>& targets, const KString& weightSource,
                                              const std::vector<double>& weights) {
    if (targets.empty()) {
        return true;
    }
    // The shapes are unwelded with the mesh below, which takes one normal
    // per polygon vertex from the mesh and from every shape.
    SetPolygonVertexNormals(mesh, NormalsByPolygonVertex(mesh));
    ShapeNames names(mesh);
    for (const KString& target : targets) {
        names.Reserve(target.Buffer());
    }
    for (std::size_t index = 0; index < targets.size(); ++index) {
        const KString& targetId = targets[index];
        const ColladaLibraryObject* found = mObjects.Find(targetId);
        auto* target = found != nullptr ? dynamic_cast<KFbxMesh*>(found->mObject) : nullptr;
        if (target == nullptr) {
            Warning(KString("Library not found: ") + targetId + "; the morph target is left out");
            continue;
        }
        KFbxShape* shape = KFbxShape::Create(&mManager, "");
        if (shape == nullptr) {
            return Error(KString("could not create the shape ") + targetId);
        }
        CopyPointsAndNormals(*shape, *target);
        const std::vector<KFbxVector4> targetNormals = NormalsByPolygonVertex(*target);
        if (static_cast<int>(targetNormals.size()) == mesh.GetPolygonVertexCount()) {
            SetPolygonVertexNormals(*shape, targetNormals);
        }
        // A target listed twice, or named like a property of the mesh, is
        // a shape of its own under a name of its own.
        KString name;
        const char* why = nullptr;
        const int shapeIndex = names.Add(*shape, targetId.Buffer(), name, why);
        if (shapeIndex < 0) {
            shape->Destroy();
            return Error(KString("could not add shape ") + targetId + " to mesh " + nodeName + ";\n" +
                         "Error code is " + mesh.GetLastErrorID());
        }
        if (why != nullptr) {
            Warning(KString("morph target ") + targetId + " of mesh " + nodeName + " is read as shape " + name + ": " +
                    why);
        }
        KFbxProperty weight = mesh.FindProperty(name.Buffer(), true);
        if (weight.IsValid() && index < weights.size()) {
            // COLLADA weighs from 0 to 1, the scene from 0 to 100 (as the
            // animated weights read).
            const double percent = weights[index] * 100.0;
            weight.Set(&percent, eFbxValueDouble);
        }
        mMorphShapes.FindOrAdd(weightSource)
            .push_back(ColladaMorphShapeRecord{weightSource, nodeName, name, shapeIndex, static_cast<int>(index)});
    }
    KFbxGeometryConverter* converter = KFbxGeometryConverter::Create(&mManager, "");
    const bool converted = converter != nullptr && converter->ConvertSkinThroughMapping(&mesh);
    if (converter != nullptr) {
        converter->Destroy(false, false);
    }
    mStatus = converted;
    if (!converted) {
        return Error(KString("Badly formed mesh or shape; Could not convert shape normals to polygon vertex."));
    }
    return true;
}

void KFbxReaderColladaPass::CopyPointsAndNormals(KFbxGeometryBase& destination, const KFbxGeometryBase& source) {
    const int count = source.GetControlPointsCount();
    const KFbxVector4* points = source.GetControlPoints();
    const KFbxLayer* layer = source.GetLayer(0);
    const KFbxLayerElementNormal* normals = layer != nullptr ? layer->GetNormals() : nullptr;
    destination.InitControlPoints(count);
    destination.InitNormals(count);
    KFbxVector4* pointsOut = destination.GetControlPoints();
    KFbxVector4* normalsOut = destination.GetNormals();
    if (count == 0 || points == nullptr || pointsOut == nullptr || destination.GetControlPointsCount() != count) {
        return;
    }
    std::copy(points, points + count, pointsOut);
    if (normalsOut == nullptr) {
        return;
    }
    // A source with fewer normals than points leaves the rest zero.
    for (int index = 0; index < count; ++index) {
        normalsOut[index] = normals != nullptr ? normals->GetDirectArray().GetAt(index) : KFbxVector4();
    }
}

void KFbxReaderColladaPass::CopyCluster(KFbxCluster& destination, const KFbxCluster& source) {
    const int* indices = source.GetControlPointIndices();
    const double* weights = source.GetControlPointWeights();
    for (int index = 0; indices != nullptr && weights != nullptr && index < source.GetControlPointIndicesCount();
         ++index) {
        destination.AddControlPointIndex(indices[index], weights[index]);
    }
    if (destination.GetLink() == nullptr && source.GetLink() != nullptr) {
        destination.SetLink(source.GetLink());
    }
    KgeMatrix matrix;
    destination.SetTransformMatrix(source.GetTransformMatrix(matrix));
    destination.SetTransformLinkMatrix(source.GetTransformLinkMatrix(matrix));
    destination.SetLinkMode(source.GetLinkMode());
}

void KFbxReaderColladaPass::CopyMesh(KFbxMesh& destination, KFbxMesh& source) {
    CopyPointsAndNormals(destination, source);
    for (int polygon = 0; polygon < source.GetPolygonCount(); ++polygon) {
        destination.BeginPolygon(-1, -1, -1, true);
        for (int corner = 0; corner < source.GetPolygonSize(polygon); ++corner) {
            destination.AddPolygonVertex(source.GetPolygonVertex(polygon, corner), -1);
        }
    }
    for (int index = 0; index < source.GetLayerCount(); ++index) {
        while (destination.GetLayerCount() <= index) {
            if (destination.CreateLayer() < 0) {
                return;
            }
        }
        destination.GetLayer(index)->Copy(*source.GetLayer(index), &mManager);
    }
    for (int index = 0; index < source.GetShapeCount(); ++index) {
        const char* name = source.GetShapeName(index);
        KFbxShape* shape = KFbxShape::Create(&mManager, "");
        if (shape == nullptr || source.GetShape(index) == nullptr) {
            continue;
        }
        CopyPointsAndNormals(*shape, *source.GetShape(index));
        if (destination.AddShape(shape, name) == -1) {
            shape->Destroy();
            Warning(KString("Could not add shape ") + name + " to mesh.");
            continue;
        }
        double weight = 0.0;
        const KFbxProperty sourceWeight = source.FindProperty(name, true);
        if (sourceWeight.IsValid() && !sourceWeight.Get(&weight, eFbxValueDouble)) {
            weight = 0.0;
        }
        KFbxProperty destinationWeight = destination.FindProperty(name, true);
        if (sourceWeight.IsValid() && destinationWeight.IsValid()) {
            destinationWeight.Set(&weight, eFbxValueDouble);
        }
    }
    for (int index = 0; index < source.GetDeformerCount(KFbxDeformer::eSKIN); ++index) {
        auto* sourceSkin = dynamic_cast<KFbxSkin*>(source.GetDeformer(index, KFbxDeformer::eSKIN));
        KFbxSkin* skin = sourceSkin != nullptr ? KFbxSkin::Create(&mManager, "") : nullptr;
        if (skin == nullptr) {
            continue;
        }
        destination.AddDeformer(skin);
        for (int cluster = 0; cluster < sourceSkin->GetClusterCount(); ++cluster) {
            KFbxCluster* copy = KFbxCluster::Create(&mManager, "");
            if (copy != nullptr && sourceSkin->GetCluster(cluster) != nullptr) {
                CopyCluster(*copy, *sourceSkin->GetCluster(cluster));
                skin->AddCluster(copy);
            }
        }
    }
}

}  // namespace fbxsdk_2006_11_1
