#include <fbxfilesdk/geometry/KFbxGeometry.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveNodeWatchers.h>
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

KFbxGeometry::~KFbxGeometry() {
    // The noted channels and the shapes outlive the geometry: they stop
    // telling it.
    ClearShapeArrays();
    mShapes.ForEach([this](KFbxGeometryShapes::Entry& entry) { entry.mShape->ForgetHolder(*this); });
}

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
    mShapes.ForEach(
        [&](KFbxGeometryShapes::Entry& entry) { TransformGeometryBase(mPivot, normalMatrix, *entry.mShape); });
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

void KFbxGeometry::ShapeGone(KFbxShape& shape) {
    KFbxGeometryShapes::Entry gone;
    if (!mShapes.Remove(&shape, gone)) {
        return;
    }
    for (KFCurveNode* channel : gone.mChannels) {
        ForgetChannel(channel, true);
    }
    // The weight would otherwise outlive its shape in the files written and
    // keep the name from a shape added later. A geometry that is going takes
    // its properties with it.
    if (!IsBeingDestroyed()) {
        if (KFbxProperty weight = FindProperty(gone.mName.c_str()); weight.IsValid()) {
            weight.Destroy();
        }
    }
}

void KFbxGeometry::NotedChannelGone(KFCurveNode& channel, void* geometry) {
    static_cast<KFbxGeometry*>(geometry)->Unnote(&channel);
}

void KFbxGeometry::Unnote(KFCurveNode* channel) {
    if (const auto noted = mNotedChannels.find(channel); noted != mNotedChannels.end()) {
        if (KFbxGeometryShapes::Entry* entry = mShapes.Find(noted->second)) {
            std::erase(entry->mChannels, channel);
        }
    }
    ForgetChannel(channel, false);
}

void KFbxGeometry::ForgetChannel(KFCurveNode* channel, bool remove) {
    KFCurveNodeWatchers::Remove(*channel, &NotedChannelGone, this);
    mNotedChannels.erase(channel);
    if (KFCurveNode* parent = channel->GetParent(); remove && parent != nullptr) {
        parent->DeleteChild(channel);
    }
}

int KFbxGeometry::AddShape(KFbxShape* shape, const char* name) {
    int error = -1;
    if (shape == nullptr) {
        error = eNULL_PARAMETER;
    } else if (name == nullptr || name[0] == '\0') {
        error = eSHAPE_INVALID_NAME;
    } else if (shape->GetControlPointsCount() != GetControlPointsCount()) {
        error = eSHAPE_CONTROL_POINT_COUNT;
    } else if (FindProperty(name).IsValid()) {
        error = eSHAPE_NAME_CLASH;
    } else if (mShapes.Find(shape) != nullptr) {
        error = eSHAPE_ALREADY_ADDED;
    }
    if (error != -1) {
        mError.SetError(error);
        return -1;
    }
    if (!mShapes.Add(shape, name)) {
        mError.SetError(eOUT_OF_MEMORY);
        return -1;
    }
    if (!shape->NoteHolder(*this) || !KFbxProperty::Create(this, name, gKFbxDataTypeNumber, "").IsValid()) {
        KFbxGeometryShapes::Entry added;
        mShapes.Remove(shape, added);
        shape->ForgetHolder(*this);
        mError.SetError(eOUT_OF_MEMORY);
        return -1;
    }
    return GetShapeCount() - 1;
}

int KFbxGeometry::GetShapeCount() const { return mShapes.GetCount(); }

KFbxShape* KFbxGeometry::GetShape(int index) const {
    const KFbxGeometryShapes::Entry* entry = mShapes.Get(index);
    return entry != nullptr ? entry->mShape : nullptr;
}

const char* KFbxGeometry::GetShapeName(int index) const {
    const KFbxGeometryShapes::Entry* entry = mShapes.Get(index);
    return entry != nullptr ? entry->mName.c_str() : nullptr;
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
    KFCurveNode* root = takeNode.GetKFCurveNode();
    // A reference node only lists channels that live elsewhere: one made
    // there would be nobody's.
    if (root == nullptr || root->IsReference()) {
        return true;
    }
    bool complete = true;
    mShapes.ForEach([&](KFbxGeometryShapes::Entry& entry) {
        const char* name = entry.mName.c_str();
        // The channel GetShapeChannelValue reads.
        if (root->Find(name) != nullptr) {
            return;
        }
        KFCurveNode* channel = KFCurveNode::Create(name, nullptr);
        KFCurve* curve = channel != nullptr ? KFCurve::Create() : nullptr;
        bool noted = false;
        if (curve != nullptr) {
            curve->SetValue(static_cast<float>(FindProperty(name).GetDouble()));
            channel->FCurveSet(curve, true);
            try {
                entry.mChannels.reserve(entry.mChannels.size() + 1);
                mNotedChannels.emplace(channel, entry.mShape);
                noted = true;
                if (KFCurveNodeWatchers::Add(*channel, &NotedChannelGone, this) && root->Add(channel) >= 0) {
                    entry.mChannels.push_back(channel);
                    return;
                }
            } catch (const std::bad_alloc&) {
                SdkNoteAllocationFailure();
            }
        }
        complete = false;
        if (noted) {
            Unnote(channel);
        }
        if (channel != nullptr) {
            DeleteObjectVirtual(channel);
        }
    });
    return complete;
}

void KFbxGeometry::RenameShapeChannels(KFbxTakeNode& takeNode) {
    KFCurveNode* root = takeNode.GetKFCurveNode();
    if (root == nullptr) {
        return;
    }
    mShapes.ForEach([&](KFbxGeometryShapes::Entry& entry) {
        std::erase_if(entry.mChannels, [&](KFCurveNode* channel) {
            if (channel->GetParent() != root) {
                return false;
            }
            ForgetChannel(channel, true);
            return true;
        });
    });
}

void KFbxGeometry::ClearShapeArrays() {
    mShapes.ForEach([this](KFbxGeometryShapes::Entry& entry) {
        for (KFCurveNode* channel : entry.mChannels) {
            ForgetChannel(channel, false);
        }
        entry.mChannels.clear();
    });
}

bool KFbxGeometry::CopyGeometry(const KFbxGeometry& other) {
    if (&other == this) {
        return true;
    }
    if (!CopyGeometryBase(other)) {
        return false;
    }
    mPivot = other.mPivot;
    KFbxGeometryShapes previous;
    std::swap(previous, mShapes);
    // Each of the other's shapes, which learns first that this geometry holds
    // it, so that none is held unknown to it; its weight property (made
    // unless this geometry has one) takes the other's weight.
    bool complete = true;
    other.mShapes.ForEach([&](const KFbxGeometryShapes::Entry& entry) {
        KFbxShape* shape = entry.mShape;
        if (!shape->NoteHolder(*this)) {
            complete = false;
            return;
        }
        if (!mShapes.Add(shape, entry.mName.c_str())) {
            if (previous.Find(shape) == nullptr) {
                shape->ForgetHolder(*this);
            }
            complete = false;
            return;
        }
        KFbxProperty weight = KFbxProperty::Create(this, entry.mName.c_str(), gKFbxDataTypeNumber, "");
        complete = weight.IsValid() && weight.CopyValue(other.FindProperty(entry.mName.c_str())) && complete;
    });
    // A shape kept keeps the channels noted for it; one left behind takes
    // its channels out of their takes and stops telling this geometry.
    previous.ForEach([this](KFbxGeometryShapes::Entry& entry) {
        if (KFbxGeometryShapes::Entry* kept = mShapes.Find(entry.mShape)) {
            kept->mChannels.swap(entry.mChannels);
            return;
        }
        for (KFCurveNode* channel : entry.mChannels) {
            ForgetChannel(channel, true);
        }
        entry.mShape->ForgetHolder(*this);
    });
    return complete;
}

}  // namespace fbxsdk_2006_11_1
