#include <fbxfilesdk/formats/KFbxWriterMesh.h>

#include <fbxfilesdk/core/KgeMath.h>

#include <fbxfilesdk/formats/KFbxWriterDeformation.h>
#include <fbxfilesdk/geometry/KFbxGeometryConverter.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxNurbsGridGeometry.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxSurfaceTessellation.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <cmath>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// A triangulated copy of the mesh. The converter works on a node's
// attribute in place, so it is given a copy on a node of its own; the
// copy has no deformers, so nothing leaves the caller's mesh.
KFbxMesh* TriangulatedCopy(const KFbxMesh& mesh) {
    KFbxSdkManager* manager = mesh.GetSdkManager();
    auto* copy = dynamic_cast<KFbxMesh*>(mesh.Clone(2));
    KFbxNode* holder = manager != nullptr ? KFbxNode::Create(manager, "") : nullptr;
    KFbxGeometryConverter* converter = manager != nullptr ? KFbxGeometryConverter::Create(manager, "") : nullptr;
    KFbxMesh* triangles = nullptr;
    if (copy != nullptr && holder != nullptr && converter != nullptr) {
        holder->SetNodeAttribute(copy);
        if (holder->GetNodeAttribute() == copy && converter->TriangulateInPlace(holder)) {
            triangles = dynamic_cast<KFbxMesh*>(holder->GetNodeAttribute());
            copy = nullptr;  // destroyed by the conversion
        }
        // The holder lets go of whatever it carries before it dies.
        holder->SetNodeAttribute(nullptr);
    }
    if (copy != nullptr) {
        copy->Destroy();
    }
    if (converter != nullptr) {
        converter->Destroy();
    }
    if (holder != nullptr) {
        holder->Destroy();
    }
    return triangles;
}

KFbxVector4 Normalised(const KFbxVector4& vector) {
    const double length = std::sqrt(vector[0] * vector[0] + vector[1] * vector[1] + vector[2] * vector[2]);
    if (length == 0.0 || !std::isfinite(length)) {
        return vector;
    }
    return KFbxVector4(vector[0] / length, vector[1] / length, vector[2] / length, vector[3]);
}

}  // namespace

const KFbxLayerContainer* KFbxWriterMesh::WrittenGeometry(const KFbxNode& node) {
    const KFbxNodeAttribute* attribute = node.GetNodeAttribute();
    if (dynamic_cast<const KFbxMesh*>(attribute) != nullptr ||
        dynamic_cast<const KFbxNurbsGridGeometry*>(attribute) != nullptr ||
        dynamic_cast<const KFbxPatch*>(attribute) != nullptr) {
        return dynamic_cast<const KFbxLayerContainer*>(attribute);
    }
    return nullptr;
}

bool KFbxWriterMesh::TurnsInsideOut(const double* matrix) { return !KgeMatrixIsRightHanded(matrix); }

KFbxWriterMesh::~KFbxWriterMesh() { Release(); }

void KFbxWriterMesh::Release() {
    if (mTemporary != nullptr) {
        mTemporary->Destroy();
    }
    mTemporary = nullptr;
    mMesh = nullptr;
    mPoints.clear();
    mNormals.clear();
}

bool KFbxWriterMesh::Prepare(KFbxNode& node, bool triangulate, bool deform) {
    Release();
    KFbxNodeAttribute* attribute = node.GetNodeAttribute();
    auto* sourceMesh = dynamic_cast<KFbxMesh*>(attribute);
    if (sourceMesh != nullptr) {
        if (triangulate) {
            mTemporary = TriangulatedCopy(*sourceMesh);
            if (mTemporary == nullptr) {
                return false;
            }
        }
        mMesh = mTemporary != nullptr ? mTemporary : sourceMesh;
    } else if (const auto* surface = dynamic_cast<const KFbxNurbsGridGeometry*>(attribute)) {
        mTemporary = KFbxSurfaceTessellation::TessellateNurbs(*surface);
        mMesh = mTemporary;
    } else if (const auto* patch = dynamic_cast<const KFbxPatch*>(attribute)) {
        mTemporary = KFbxSurfaceTessellation::TessellatePatch(*patch);
        mMesh = mTemporary;
    }
    if (mMesh == nullptr) {
        return false;
    }
    const int count = mMesh->GetControlPointsCount();
    const KFbxVector4* points = mMesh->GetControlPoints();
    const KFbxLayer* layer = mMesh->GetLayer(0);
    const KFbxLayerElementNormal* normals = layer != nullptr ? layer->GetNormals() : nullptr;
    const bool normalPerPoint =
        normals != nullptr && normals->GetMappingMode() == KFbxLayerElement::eBY_CONTROL_POINT &&
        normals->GetReferenceMode() == KFbxLayerElement::eDIRECT && normals->GetDirectArray().GetCount() == count;
    try {
        if (points != nullptr) {
            mPoints.assign(points, points + count);
        }
        if (normalPerPoint) {
            const KFbxVector4* first = normals->GetDirectArray().GetArray();
            mNormals.assign(first, first + count);
        }
    } catch (const std::bad_alloc&) {
        Release();
        return false;
    }
    // Shapes and skin belong to the caller's mesh; a triangulated copy keeps
    // its points, so they apply to it all the same.
    if (deform && sourceMesh != nullptr && static_cast<int>(mPoints.size()) == count &&
        (sourceMesh->GetShapeCount() > 0 || sourceMesh->GetDeformerCount(1) > 0)) {
        // A normal is deformed as the tip of an arrow from its point.
        std::vector<KFbxVector4> tips;
        try {
            tips = mNormals;
        } catch (const std::bad_alloc&) {
            Release();
            return false;
        }
        for (std::size_t i = 0; i < tips.size(); ++i) {
            for (int axis = 0; axis < 3; ++axis) {
                tips[i][axis] += mPoints[i][axis];
            }
        }
        const KgeMatrix global(node.EvaluateDefaultGlobalTransform());
        if (sourceMesh->GetShapeCount() > 0) {
            // A shape moves a tip by its point's offset, which leaves the
            // normal as it was: measured against the tip itself, a full
            // weight would pull every tip onto its shape point and the
            // normal to nothing.
            const std::vector<KFbxVector4> before(mPoints);
            ApplyShapeDeformation(*sourceMesh, mPoints.data(), count);
            for (std::size_t i = 0; i < tips.size(); ++i) {
                for (int axis = 0; axis < 3; ++axis) {
                    tips[i][axis] += mPoints[i][axis] - before[i][axis];
                }
            }
        }
        if (sourceMesh->GetDeformerCount(1) > 0) {
            ApplySkinDeformation(global, *sourceMesh, mPoints.data(), count);
            if (!tips.empty()) {
                ApplySkinDeformation(global, *sourceMesh, tips.data(), count);
            }
        }
        for (std::size_t i = 0; i < tips.size(); ++i) {
            KFbxVector4 normal = mNormals[i];
            for (int axis = 0; axis < 3; ++axis) {
                normal[axis] = tips[i][axis] - mPoints[i][axis];
            }
            mNormals[i] = Normalised(normal);
        }
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
