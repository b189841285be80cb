#include <fbxfilesdk/geometry/KFbxGeometry.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxGeometry_internal.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

constinit const char* const kErrorMessages[KFbxGeometry::eERROR_COUNT] = {
    "Parameter out of range.",
    "Null parameter.",
    "Shape already added.",
    "Invalid shape name.",
    "Shape name already in use.",
    "Shape control-point count differs from the geometry's.",
    "Out of memory.",
};

// The class of the deformer sources of a type; the null class id for a type
// whose class is not registered, which matches nothing.
KFbxClassId DeformerClassOf(int type) {
    switch (type) {
        case KFbxDeformer::eUNIDENTIFIED:
            return KFbxDeformer::ClassId;
        case KFbxDeformer::eSKIN:
            return KFbxSkin::ClassId;
        case KFbxDeformer::eVERTEX_CACHE:
            return KFbxVertexCacheDeformer::ClassId;
        default:
            return KFbxClassId();
    }
}

// Direction d through the matrix's upper 3x3 (rows are the axes), renormalised.
KFbxVector4 TransformDirection(const KgeMatrix& m, const KFbxVector4& d) {
    KFbxVector4 result(d[0] * m[0][0] + d[1] * m[1][0] + d[2] * m[2][0],
                       d[0] * m[0][1] + d[1] * m[1][1] + d[2] * m[2][1],
                       d[0] * m[0][2] + d[1] * m[1][2] + d[2] * m[2][2], d[3]);
    result.Normalize();
    return result;
}

void TransformPoints(const KgeMatrix& m, KFbxVector4* points, int count) {
    for (int index = 0; index < count; ++index) {
        const double w = points[index][3];
        points[index] = m.MultT(points[index]);
        points[index][3] = w;
    }
}

// Every normal element of every layer of the geometry base.
void TransformNormals(const KgeMatrix& normalMatrix, KFbxGeometryBase& geometry) {
    for (int index = 0; index < geometry.GetLayerCount(); ++index) {
        KFbxLayerElementNormal* normals = geometry.GetLayer(index)->GetNormals();
        if (normals == nullptr) {
            continue;
        }
        DynamicArrayOf<KFbxVector4>& direct = normals->GetDirectArray();
        for (int item = 0; item < direct.GetCount(); ++item) {
            direct.SetAt(item, TransformDirection(normalMatrix, direct.GetAt(item)));
        }
    }
}

void TransformGeometryBase(const KgeMatrix& pivot, const KgeMatrix& normalMatrix, KFbxGeometryBase& geometry) {
    TransformPoints(pivot, geometry.GetControlPoints(), geometry.GetControlPointsCount());
    TransformNormals(normalMatrix, geometry);
}

}  // namespace


KFbxGeometry::KFbxGeometry(KFbxSdkManager* manager, const char* name)
    : KFbxGeometryBase(manager, name), mError(kErrorMessages, eERROR_COUNT) {}

KFbxGeometry::~KFbxGeometry() = default;

KFbxPlug* KFbxGeometry::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* geometry = new (std::nothrow) KFbxGeometry(manager, name);
    if (geometry != nullptr) {
        geometry->CreateInternal();
    }
    return geometry;
}

KFbxClassId KFbxGeometry::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxGeometry::NewInternalObject() { return new (std::nothrow) KFbxGeometry_internal(this); }

// ---- pivot ------------------------------------------------------------------

KgeMatrix& KFbxGeometry::GetPivot(KgeMatrix& out) const {
    out = mPivot;
    return out;
}

void KFbxGeometry::SetPivot(const KgeMatrix& pivot) { mPivot = pivot; }

void KFbxGeometry::ApplyPivot() {
    // Normals go through the inverse transpose, which keeps them
    // perpendicular to surfaces scaled unevenly along the pivot's axes.
    const KgeMatrix normalMatrix = mPivot.GetInverseOrthogonal().GetTranspose();
    TransformGeometryBase(mPivot, normalMatrix, *this);
    ForgetDestroyedShapes();
    for (const ShapeEntry& entry : mShapes) {
        TransformGeometryBase(mPivot, normalMatrix, *ShapeOf(entry.mShape));
    }
    mPivot.SetIdentity();
}

// ---- deformers --------------------------------------------------------------

int KFbxGeometry::GetDeformerCount(int type) const {
    const KFbxClassId classId = DeformerClassOf(type);
    return classId == KFbxClassId() ? 0 : GetSrcObjectCount(classId);
}

KFbxDeformer* KFbxGeometry::GetDeformer(int index, int type) {
    const KFbxClassId classId = DeformerClassOf(type);
    KFbxPlug* deformer = classId == KFbxClassId() ? nullptr : GetSrc(index, classId);
    if (deformer == nullptr) {
        mError.SetError(eINDEX_OUT_OF_RANGE);
    }
    return static_cast<KFbxDeformer*>(deformer);
}

int KFbxGeometry::AddDeformer(KFbxDeformer* deformer) {
    if (deformer == nullptr) {
        mError.SetError(eNULL_PARAMETER);
        return -1;
    }
    if (!IsConnectedSrc(deformer) && !ConnectSrc(deformer)) {
        return -1;
    }
    for (int index = 0; index < GetDeformerCount(); ++index) {
        if (GetSrc(index, KFbxDeformer::ClassId) == deformer) {
            return index;
        }
    }
    return -1;
}

int KFbxGeometry::AddCluster(KFbxCluster* cluster) {
    if (cluster == nullptr) {
        mError.SetError(eNULL_PARAMETER);
        return -1;
    }
    auto* skin = static_cast<KFbxSkin*>(GetSrc(0, KFbxSkin::ClassId));
    if (skin == nullptr) {
        skin = KFbxSkin::Create(GetSdkManager(), "");
        if (skin == nullptr) {
            mError.SetError(eOUT_OF_MEMORY);
            return -1;
        }
        if (AddDeformer(skin) == -1) {
            skin->Destroy();
            return -1;
        }
    }
    return skin->AddCluster(cluster);
}

// ---- shapes -----------------------------------------------------------------

KFbxShape* KFbxGeometry::ShapeOf(const HdlKObject& handle) {
    // The twin lets go of its public object before either is freed.
    return static_cast<KFbxShape*>(KFbxGetPublicPlug(handle.Resolve()));
}

void KFbxGeometry::ForgetDestroyedShapes() const {
    const std::uint64_t destructions = gKFbxShapeDestructions.load(std::memory_order_acquire);
    if (destructions == mShapesCheckedAt) {
        return;
    }
    mShapesCheckedAt = destructions;
    std::erase_if(mAddedShapeChannels, [](const AddedShapeChannel& added) {
        if (ShapeOf(added.mShape) != nullptr) {
            return false;
        }
        if (KFCurveNode* root = added.mTakeNode->GetKFCurveNode()) {
            root->DeleteChild(added.mChannel);
        }
        return true;
    });
    std::erase_if(mShapes, [this](const ShapeEntry& entry) {
        if (ShapeOf(entry.mShape) != nullptr) {
            return false;
        }
        // The weight would otherwise outlive its shape in the files written
        // and keep the name from a shape added later.
        KFbxProperty weight = FindProperty(entry.mName.Buffer());
        if (weight.IsValid()) {
            weight.Destroy();
        }
        return true;
    });
}

int KFbxGeometry::AddShape(KFbxShape* shape, const char* name) {
    ForgetDestroyedShapes();
    const HdlKObject handle(shape != nullptr ? shape->GetInternalPlug() : nullptr);
    int error = -1;
    if (shape == nullptr) {
        error = eNULL_PARAMETER;
    } else if (name == nullptr || name[0] == '\0') {
        error = eSHAPE_INVALID_NAME;
    } else if (shape->GetControlPointsCount() != GetControlPointsCount()) {
        error = eSHAPE_CONTROL_POINT_COUNT;
    } else if (FindProperty(name).IsValid()) {
        error = eSHAPE_NAME_CLASH;
    } else if (handle.IsEmpty()) {
        error = eOUT_OF_MEMORY;
    }
    for (const ShapeEntry& entry : mShapes) {
        if (error == -1 && entry.mShape == handle) {
            error = eSHAPE_ALREADY_ADDED;
        }
    }
    if (error != -1) {
        mError.SetError(error);
        return -1;
    }
    try {
        mShapes.push_back(ShapeEntry{handle, KString(name)});
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        mError.SetError(eOUT_OF_MEMORY);
        return -1;
    }
    if (!shape->NoteHolder(*this) || !KFbxProperty::Create(this, name, gKFbxDataTypeNumber, "").IsValid()) {
        mShapes.pop_back();
        mError.SetError(eOUT_OF_MEMORY);
        return -1;
    }
    return GetShapeCount() - 1;
}

int KFbxGeometry::GetShapeCount() const {
    ForgetDestroyedShapes();
    return static_cast<int>(mShapes.size());
}

KFbxShape* KFbxGeometry::GetShape(int index) const {
    if (index < 0 || index >= GetShapeCount()) {
        return nullptr;
    }
    return ShapeOf(mShapes[static_cast<std::size_t>(index)].mShape);
}

const char* KFbxGeometry::GetShapeName(int index) const {
    if (index < 0 || index >= GetShapeCount()) {
        return nullptr;
    }
    return mShapes[static_cast<std::size_t>(index)].mName.Buffer();
}

double KFbxGeometry::GetShapeChannelValue(int index) const {
    const char* name = GetShapeName(index);
    KFbxNode* node = GetNode();
    KFbxTakeNode* take = node != nullptr && name != nullptr ? node->GetCurrentTakeNode() : nullptr;
    KFCurveNode* root = take != nullptr ? take->GetKFCurveNode() : nullptr;
    KFCurveNode* channel = root != nullptr ? root->Find(name) : nullptr;
    const KFCurve* curve = channel != nullptr ? channel->FCurveGet() : nullptr;
    return curve != nullptr ? curve->GetValue() : 0.0;
}

bool KFbxGeometry::ProcessShapeChannels(KFbxTakeNode& takeNode) {
    ForgetDestroyedShapes();
    KFCurveNode* root = takeNode.GetKFCurveNode();
    if (root == nullptr) {
        return true;
    }
    bool complete = true;
    for (const ShapeEntry& entry : mShapes) {
        const char* name = entry.mName.Buffer();
        // The channel GetShapeChannelValue reads.
        if (root->Find(name) != nullptr) {
            continue;
        }
        KFCurveNode* channel = KFCurveNode::Create(name, nullptr);
        KFCurve* curve = channel != nullptr ? KFCurve::Create() : nullptr;
        bool added = false;
        if (curve != nullptr) {
            curve->SetValue(static_cast<float>(FindProperty(name).GetDouble()));
            channel->FCurveSet(curve, true);
            try {
                mAddedShapeChannels.reserve(mAddedShapeChannels.size() + 1);
                added = root->Add(channel) >= 0;
            } catch (const std::bad_alloc&) {
                SdkNoteAllocationFailure();
            }
        }
        if (!added) {
            if (channel != nullptr) {
                DeleteObjectVirtual(channel);
            }
            complete = false;
            continue;
        }
        mAddedShapeChannels.push_back(AddedShapeChannel{&takeNode, channel, entry.mShape});
    }
    return complete;
}

void KFbxGeometry::RenameShapeChannels(KFbxTakeNode& takeNode) {
    KFCurveNode* root = takeNode.GetKFCurveNode();
    for (const AddedShapeChannel& added : mAddedShapeChannels) {
        if (added.mTakeNode == &takeNode && root != nullptr) {
            root->DeleteChild(added.mChannel);
        }
    }
    std::erase_if(mAddedShapeChannels,
                  [&takeNode](const AddedShapeChannel& added) { return added.mTakeNode == &takeNode; });
}

void KFbxGeometry::ClearShapeArrays() { mAddedShapeChannels.clear(); }

bool KFbxGeometry::CopyGeometry(const KFbxGeometry& other) {
    if (&other == this) {
        return true;
    }
    if (!CopyGeometryBase(other)) {
        return false;
    }
    other.ForgetDestroyedShapes();
    try {
        std::vector<ShapeEntry> shapes(other.mShapes);
        mShapes.swap(shapes);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    mPivot = other.mPivot;
    // Each shape's weight property (made unless this geometry has one) takes
    // the other's weight.
    bool complete = true;
    for (const ShapeEntry& entry : mShapes) {
        complete = ShapeOf(entry.mShape)->NoteHolder(*this) && complete;
        KFbxProperty weight = KFbxProperty::Create(this, entry.mName.Buffer(), gKFbxDataTypeNumber, "");
        complete = weight.IsValid() && weight.CopyValue(other.FindProperty(entry.mName.Buffer())) && complete;
    }
    return complete;
}

}  // namespace fbxsdk_2006_11_1
