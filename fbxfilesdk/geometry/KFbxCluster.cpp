#include <fbxfilesdk/geometry/KFbxCluster.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxDeformer_internal.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <algorithm>
#include <new>

namespace fbxsdk_2006_11_1 {


KFbxCluster::KFbxCluster(KFbxSdkManager* manager, const char* name) : KFbxSubDeformer(manager, name) {
    // Its own twin first, so that the property binds to it.
    CreateInternal();
    // The object destroys the handle with itself.
    auto* handle = new (std::nothrow) KFbxProperty(this, "SrcModelReference", gKFbxDataTypeReference, "");
    if (handle != nullptr) {
        mAssociateModel = *handle;
    }
}

KFbxCluster::~KFbxCluster() = default;

KFbxCluster* KFbxCluster::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxCluster*>(plug) : nullptr;
}

KFbxPlug* KFbxCluster::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* cluster = new (std::nothrow) KFbxCluster(manager, name);
    if (cluster != nullptr) {
        cluster->CreateInternal();
    }
    return cluster;
}

KFbxClassId KFbxCluster::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxCluster::NewInternalObject() { return new (std::nothrow) KFbxCluster_internal(this); }

const char* KFbxCluster::GetTypeName() const { return "Cluster"; }

KFbxSubDeformer::ESubDeformerType KFbxCluster::GetSubDeformerType() const { return eCLUSTER; }

void KFbxCluster::SetLink(KFbxNode* node) {
    // Refused as a source below, it must not cost the cluster its link.
    if (node != nullptr && node->IsKeptOutOfTree()) {
        return;
    }
    for (int index = GetSrcCount(KFbxNode::ClassId) - 1; index >= 0; --index) {
        DisconnectSrc(GetSrc(index, KFbxNode::ClassId));
    }
    if (node != nullptr) {
        ConnectSrc(node);
    }
}

KFbxNode* KFbxCluster::GetLink() const { return static_cast<KFbxNode*>(GetSrc(0, KFbxNode::ClassId)); }

void KFbxCluster::SetAssociateModel(KFbxNode* node) {
    if (!mAssociateModel.IsValid()) {
        return;
    }
    for (int index = mAssociateModel.GetSrcCount(KFbxNode::ClassId) - 1; index >= 0; --index) {
        mAssociateModel.DisconnectSrc(mAssociateModel.GetSrc(index, KFbxNode::ClassId));
    }
    if (node != nullptr) {
        mAssociateModel.ConnectSrc(node);
    }
}

KFbxNode* KFbxCluster::GetAssociateModel() const {
    return mAssociateModel.IsValid() ? static_cast<KFbxNode*>(mAssociateModel.GetSrc(0, KFbxNode::ClassId))
                                     : nullptr;
}

void KFbxCluster::AddControlPointIndex(int index, double weight) {
    if (index < 0) {
        return;
    }
    try {
        mIndices.reserve(mIndices.size() + 1);
        mWeights.reserve(mWeights.size() + 1);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return;
    }
    mIndices.push_back(index);
    mWeights.push_back(weight);
}

int* KFbxCluster::GetControlPointIndices() { return mIndices.empty() ? nullptr : mIndices.data(); }
const int* KFbxCluster::GetControlPointIndices() const { return mIndices.empty() ? nullptr : mIndices.data(); }
double* KFbxCluster::GetControlPointWeights() { return mWeights.empty() ? nullptr : mWeights.data(); }
const double* KFbxCluster::GetControlPointWeights() const { return mWeights.empty() ? nullptr : mWeights.data(); }

KgeMatrix& KFbxCluster::GetTransformMatrix(KgeMatrix& out) const {
    out = mTransform;
    return out;
}

KgeMatrix& KFbxCluster::GetTransformLinkMatrix(KgeMatrix& out) const {
    out = mTransformLink;
    return out;
}

KgeMatrix& KFbxCluster::GetTransformAssociateModelMatrix(KgeMatrix& out) const {
    out = mTransformAssociateModel;
    return out;
}

void KFbxCluster::SetTransformParentMatrix(const KgeMatrix& matrix) {
    mTransformParent = matrix;
    mTransformParentSet = true;
}

KgeMatrix& KFbxCluster::GetTransformParentMatrix(KgeMatrix& out) const {
    out = mTransformParent;
    return out;
}

namespace {

bool SameElements(const KgeMatrix& a, const KgeMatrix& b) {
    const double* x = a;
    const double* y = b;
    return std::equal(x, x + 16, y);
}

}  // namespace

const KgeMatrix& KFbxCluster::Placement(EStoredPlacement which) const {
    switch (which) {
        case eSTORED_TRANSFORM: return mTransform;
        case eSTORED_LINK: return mTransformLink;
        case eSTORED_ASSOCIATE_MODEL: return mTransformAssociateModel;
        default: return mTransformParent;
    }
}

void KFbxCluster::NoteStoredPlacement(EStoredPlacement which, const KgeMatrix& stored) {
    if (which < 0 || which >= eSTORED_COUNT) {
        return;
    }
    if (mStoredPlacements == nullptr) {
        mStoredPlacements.reset(new (std::nothrow) StoredPlacements);
        if (mStoredPlacements == nullptr) {
            return;
        }
    }
    StoredPlacement& entry = mStoredPlacements->mEntries[which];
    entry.mNoted = true;
    entry.mPlacement = Placement(which);
    entry.mLink = mTransformLink;
    entry.mStored = stored;
}

bool KFbxCluster::GetStoredPlacement(EStoredPlacement which, KgeMatrix& stored) const {
    if (mStoredPlacements == nullptr || which < 0 || which >= eSTORED_COUNT) {
        return false;
    }
    const StoredPlacement& entry = mStoredPlacements->mEntries[which];
    // Only the transform and the associate model are kept relative to the link.
    const bool relative = which == eSTORED_TRANSFORM || which == eSTORED_ASSOCIATE_MODEL;
    if (!entry.mNoted || !SameElements(entry.mPlacement, Placement(which)) ||
        (relative && !SameElements(entry.mLink, mTransformLink))) {
        return false;
    }
    stored = entry.mStored;
    return true;
}

void KFbxCluster::SetUserData(const char* id, const char* data) {
    mUserDataId = id != nullptr ? id : "";
    mUserData = data != nullptr ? data : "";
}

}  // namespace fbxsdk_2006_11_1
