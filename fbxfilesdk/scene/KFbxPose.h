// A set of nodes with one matrix each: the bind pose of a skinned model (the
// skeleton and geometry at the moment of binding) or a rest pose. A matrix is
// global, or local (relative to the node's parent). A node may stand in
// several bind poses of one manager only with equal matrices. The pose does
// not own its nodes; a destroyed node leaves every pose it was in.
#ifndef FBXFILESDK_SCENE_KFBXPOSE_H
#define FBXFILESDK_SCENE_KFBXPOSE_H

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxObjectNameRecord.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxNode;
class KFbxScene;

// One node of a pose with its matrix.
struct KFbxPoseInfo {
    KgeMatrix mMatrix;
    // Relative to the node's parent when true, global otherwise.
    bool mMatrixIsLocal = false;
    KFbxNode* mNode = nullptr;
};

class KFbxPose : public KFbxObject {
public:
    enum EError : int {
        eERROR = 0,
        eNOT_A_BIND_POSE,
        eNULL_ROOT,
        eMISSING_PARENTS,
        eMISSING_DEFORMERS,
        eMISSING_DEFORMER_PARENTS,
        eRELATIVE_MATRICES_DIFFER,
        eERROR_COUNT
    };
    // Which poses GetPosesContaining looks at.
    enum EPoseKind : int { eANY_POSE = 0, eBIND_POSES = 1, eREST_POSES = 2 };

    // The class id of KFbxPose; null until the class is registered.
    static KFbxClassId ClassId;

    // An empty rest pose.
    KFbxPose(KFbxSdkManager* manager, const char* name);
    ~KFbxPose() override;

    static KFbxPose* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // A KFbxPose_internal.
    KFbxObject_internal* NewInternalObject() override;
    // 11: files name poses "Pose::".
    int GetObjectTypeCode() const override { return 11; }
    // "BindPose" or "RestPose".
    const char* GetTypeName() const override;
    void DestroyContents(bool recursive, bool dependents) override;
    // Mode 2: a new pose of the same manager, name and kind, without entries;
    // null for other modes.
    KFbxPose* Clone(int mode) const;

    void SetIsBindPose(bool bindPose) { mKind = bindPose ? 'b' : 'r'; }
    bool IsBindPose() const { return mKind == 'b'; }

    // ---- entries ----
    int GetCount() const { return static_cast<int>(mEntries.size()); }
    // The index of the new entry, or of the node's entry when it holds an
    // equal matrix already (its local flag is kept); -1 for a null node and
    // for a matrix that conflicts with this pose or, in a bind pose, with
    // another bind pose of the manager's scenes.
    int Add(KFbxNode* node, const KgeMatrix& matrix, bool localMatrix = false);
    // The first entry of the node; -1 when none.
    int Find(const KFbxNode* node) const;
    // Later entries move down; an index out of range is ignored.
    void Remove(int index);
    // Null out of range.
    KFbxNode* GetNode(int index) const;
    // The identity out of range.
    const KgeMatrix& GetMatrix(int index) const;
    // False out of range.
    bool IsLocalMatrix(int index) const;
    // The node's initial and current names and its name space; empty out of range.
    KFbxObjectNameRecord GetNodeName(int index) const;

    // ---- validation ----
    // False exactly when the node is here with another matrix (beyond 1e-6 in
    // any element); index is then its entry, else the node's entry or -1.
    bool IsValidEntry(const KFbxNode* node, const KgeMatrix& matrix, int& index) const;
    // For a bind pose, first false when another bind pose of a scene of the
    // manager holds the node with another matrix; then IsValidEntry.
    bool IsValidBindPoseEntry(const KFbxNode* node, const KgeMatrix& matrix, int& index) const;

    // The poses of the scene (in its order) of the kind that hold the node,
    // appended with the node's entry index; true when any was appended. False
    // at once for a null scene or node.
    static bool GetPosesContaining(int kind, const KFbxScene* scene, const KFbxNode* node,
                                   std::vector<KFbxPose*>& poses, std::vector<int>& indices);
    // The same, of any kind, over every scene of the manager.
    static bool GetPosesContaining(const KFbxSdkManager* manager, const KFbxNode* node, std::vector<KFbxPose*>& poses,
                                   std::vector<int>& indices);
    // Takes the node out of every pose the manager holds, whether or not a
    // scene lists the pose.
    static void RemoveNodeFromPoses(const KFbxSdkManager* manager, const KFbxNode* node);

    ErrorHolder& GetError() { return mError; }

private:
    std::vector<std::unique_ptr<KFbxPoseInfo>> mEntries;
    char mKind = 'r';
    ErrorHolder mError;
};

}  // namespace fbxsdk_2006_11_1

#endif
