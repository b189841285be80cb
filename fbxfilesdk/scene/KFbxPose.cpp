#include <fbxfilesdk/scene/KFbxPose.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxPose_internal.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <cmath>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[KFbxPose::eERROR_COUNT] = {
    "Error",
    "This object is not a BindPose.",
    "The pRoot pointer is NULL.",
    "Not all the parents are stored in this BindPose.",
    "Not all the deformers are stored in this BindPose.",
    "Not all the deformers parents are stored in this BindPose.",
    "The relative matrices do not match.",
};

// What out-of-range matrix requests get; never written through.
const KgeMatrix kIdentity;

bool MatchesKind(const KFbxPose& pose, int kind) {
    switch (kind) {
    case KFbxPose::eANY_POSE:
        return true;
    case KFbxPose::eBIND_POSES:
        return pose.IsBindPose();
    case KFbxPose::eREST_POSES:
        return !pose.IsBindPose();
    default:
        return false;
    }
}

}  // namespace


KFbxPose::KFbxPose(KFbxSdkManager* manager, const char* name)
    : KFbxObject(manager, name), mError(kMessages, eERROR_COUNT) {}

KFbxPose::~KFbxPose() = default;

KFbxPose* KFbxPose::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxPose>(manager, ClassId, name);
}

KFbxPlug* KFbxPose::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxPose>(manager, name);
}

KFbxClassId KFbxPose::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxPose::NewInternalObject() { return new (std::nothrow) KFbxPose_internal(this); }

const char* KFbxPose::GetTypeName() const { return IsBindPose() ? "BindPose" : "RestPose"; }

void KFbxPose::DestroyContents(bool recursive, bool dependents) {
    mEntries.clear();
    KFbxObject::DestroyContents(recursive, dependents);
}

KFbxPose* KFbxPose::Clone(int mode) const {
    if (mode != 2) {
        return nullptr;
    }
    KFbxPose* copy = Create(GetSdkManager(), GetName());
    if (copy != nullptr) {
        copy->mKind = mKind;
    }
    return copy;
}

// ---- entries ----------------------------------------------------------------

int KFbxPose::Add(KFbxNode* node, const KgeMatrix& matrix, bool localMatrix) {
    if (node == nullptr) {
        return -1;
    }
    int index = -1;
    if (!IsValidBindPoseEntry(node, matrix, index)) {
        return -1;
    }
    if (index != -1) {
        return index;
    }
    auto entry = std::unique_ptr<KFbxPoseInfo>(new (std::nothrow) KFbxPoseInfo);
    if (entry == nullptr) {
        return -1;
    }
    entry->mMatrix = matrix;
    entry->mMatrixIsLocal = localMatrix;
    entry->mNode = node;
    try {
        mEntries.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return -1;
    }
    return GetCount() - 1;
}

int KFbxPose::Find(const KFbxNode* node) const {
    for (int index = 0; index < GetCount(); ++index) {
        if (mEntries[static_cast<std::size_t>(index)]->mNode == node) {
            return index;
        }
    }
    return -1;
}

void KFbxPose::Remove(int index) {
    if (index >= 0 && index < GetCount()) {
        mEntries.erase(mEntries.begin() + index);
    }
}

KFbxNode* KFbxPose::GetNode(int index) const {
    return index >= 0 && index < GetCount() ? mEntries[static_cast<std::size_t>(index)]->mNode : nullptr;
}

const KgeMatrix& KFbxPose::GetMatrix(int index) const {
    return index >= 0 && index < GetCount() ? mEntries[static_cast<std::size_t>(index)]->mMatrix : kIdentity;
}

bool KFbxPose::IsLocalMatrix(int index) const {
    return index >= 0 && index < GetCount() && mEntries[static_cast<std::size_t>(index)]->mMatrixIsLocal;
}

KFbxObjectNameRecord KFbxPose::GetNodeName(int index) const {
    KFbxObjectNameRecord record;
    const KFbxNode* node = GetNode(index);
    if (node != nullptr) {
        record.SetInitialName(node->GetInitialName());
        record.SetCurrentName(node->GetName());
        record.SetNameSpace(node->GetNameSpace());
    }
    return record;
}

// ---- validation -------------------------------------------------------------

namespace {

bool MatricesEqual(const KgeMatrix& a, const KgeMatrix& b) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            // A NaN element never equals anything, as a difference test says.
            if (!(std::fabs(a[row][column] - b[row][column]) < 1e-6)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool KFbxPose::IsValidEntry(const KFbxNode* node, const KgeMatrix& matrix, int& index) const {
    index = -1;
    if (node == nullptr) {
        return true;
    }
    const int found = Find(node);
    if (found == -1) {
        return true;
    }
    index = found;
    return MatricesEqual(mEntries[static_cast<std::size_t>(found)]->mMatrix, matrix);
}

bool KFbxPose::IsValidBindPoseEntry(const KFbxNode* node, const KgeMatrix& matrix, int& index) const {
    const KFbxSdkManager* manager = GetSdkManager();
    if (IsBindPose() && manager != nullptr && KFbxScene::ClassId != KFbxClassId()) {
        for (int sceneIndex = 0; sceneIndex < manager->GetObjectCount(KFbxScene::ClassId); ++sceneIndex) {
            const auto* scene = static_cast<const KFbxScene*>(manager->GetObject(KFbxScene::ClassId, sceneIndex));
            if (scene == nullptr) {
                continue;
            }
            for (int poseIndex = 0; poseIndex < scene->GetPoseCount(); ++poseIndex) {
                const KFbxPose* other = scene->GetPose(poseIndex);
                int scratch = -1;
                if (other != nullptr && other != this && other->IsBindPose() &&
                    !other->IsValidEntry(node, matrix, scratch)) {
                    return false;
                }
            }
        }
    }
    return IsValidEntry(node, matrix, index);
}

bool KFbxPose::GetPosesContaining(int kind, const KFbxScene* scene, const KFbxNode* node,
                                  std::vector<KFbxPose*>& poses, std::vector<int>& indices) {
    if (scene == nullptr || node == nullptr) {
        return false;
    }
    bool found = false;
    for (int poseIndex = 0; poseIndex < scene->GetPoseCount(); ++poseIndex) {
        KFbxPose* pose = scene->GetPose(poseIndex);
        if (pose == nullptr || !MatchesKind(*pose, kind)) {
            continue;
        }
        const int entry = pose->Find(node);
        if (entry != -1) {
            poses.push_back(pose);
            indices.push_back(entry);
            found = true;
        }
    }
    return found;
}

bool KFbxPose::GetPosesContaining(const KFbxSdkManager* manager, const KFbxNode* node, std::vector<KFbxPose*>& poses,
                                  std::vector<int>& indices) {
    if (manager == nullptr || KFbxScene::ClassId == KFbxClassId()) {
        return false;
    }
    bool found = false;
    for (int sceneIndex = 0; sceneIndex < manager->GetObjectCount(KFbxScene::ClassId); ++sceneIndex) {
        const auto* scene = static_cast<const KFbxScene*>(manager->GetObject(KFbxScene::ClassId, sceneIndex));
        if (GetPosesContaining(eANY_POSE, scene, node, poses, indices)) {
            found = true;
        }
    }
    return found;
}

void KFbxPose::RemoveNodeFromPoses(const KFbxSdkManager* manager, const KFbxNode* node) {
    // Every pose of the manager, not only those a scene lists: a pose outside
    // any scene would otherwise keep a pointer to the dead node.
    if (manager == nullptr || node == nullptr || ClassId == KFbxClassId()) {
        return;
    }
    for (int poseIndex = 0; poseIndex < manager->GetObjectCount(ClassId); ++poseIndex) {
        auto* pose = static_cast<KFbxPose*>(manager->GetObject(ClassId, poseIndex));
        if (pose == nullptr) {
            continue;
        }
        for (int entry = pose->Find(node); entry != -1; entry = pose->Find(node)) {
            pose->Remove(entry);
        }
    }
}

}  // namespace fbxsdk_2006_11_1
