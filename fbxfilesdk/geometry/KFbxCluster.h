// A cluster: the part of a skin that one link node moves. It weights control
// points of the skinned geometry and keeps the bind-time placements of the
// geometry, the link, the associate model and the parent.
#ifndef FBXFILESDK_GEOMETRY_KFBXCLUSTER_H
#define FBXFILESDK_GEOMETRY_KFBXCLUSTER_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxSubDeformer.h>

#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxNode;
class KFbxPlug;
class KFbxSdkManager;

class KFbxCluster : public KFbxSubDeformer {
public:
    // How the weights of the clusters of a point combine.
    enum ELinkMode { eNORMALIZE = 0, eADDITIVE = 1, eTOTAL1 = 2 };

    // The class id of KFbxCluster; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxCluster(KFbxSdkManager* manager, const char* name);
    ~KFbxCluster() override;

    // Through the manager's class table; null on failure.
    static KFbxCluster* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // The twin of the class, KFbxCluster_internal.
    KFbxObject_internal* NewInternalObject() override;
    const char* GetTypeName() const override;
    ESubDeformerType GetSubDeformerType() const override;

    // ---- link and associate model ----
    void SetLinkMode(ELinkMode mode) { mLinkMode = mode; }
    ELinkMode GetLinkMode() const { return mLinkMode; }
    // The link becomes the cluster's only node source; null removes it. A
    // scene's switcher or producer camera is refused, the link kept.
    void SetLink(KFbxNode* node);
    // The first node source; null when none.
    KFbxNode* GetLink() const;
    // The node becomes the only source of the "SrcModelReference" property;
    // null removes it.
    void SetAssociateModel(KFbxNode* node);
    KFbxNode* GetAssociateModel() const;

    // ---- weights ----
    // Appends the pair; a negative index is ignored.
    void AddControlPointIndex(int index, double weight);
    int GetControlPointIndicesCount() const { return static_cast<int>(mIndices.size()); }
    // Cluster-owned arrays of that count; null when it is 0.
    int* GetControlPointIndices();
    const int* GetControlPointIndices() const;
    double* GetControlPointWeights();
    const double* GetControlPointWeights() const;

    // ---- bind-time placements (identity unless set) ----
    // The geometry's placement.
    void SetTransformMatrix(const KgeMatrix& matrix) { mTransform = matrix; }
    KgeMatrix& GetTransformMatrix(KgeMatrix& out) const;
    // The link's placement.
    void SetTransformLinkMatrix(const KgeMatrix& matrix) { mTransformLink = matrix; }
    KgeMatrix& GetTransformLinkMatrix(KgeMatrix& out) const;
    // The associate model's placement.
    void SetTransformAssociateModelMatrix(const KgeMatrix& matrix) { mTransformAssociateModel = matrix; }
    KgeMatrix& GetTransformAssociateModelMatrix(KgeMatrix& out) const;
    // The parent's placement; setting it sets the flag.
    void SetTransformParentMatrix(const KgeMatrix& matrix);
    KgeMatrix& GetTransformParentMatrix(KgeMatrix& out) const;
    bool IsTransformParentSet() const { return mTransformParentSet; }

    // ---- placements as a file stored them ----
    // A file keeps the placements cleaned of round-off, the geometry's and
    // the associate model's relative to the link, so reading them back
    // rounds anew. A reader notes the value it read for each placement once
    // it has set it; while the placement (and the link it is relative to)
    // stays as it was then, a writer writes the noted value again, so that a
    // cluster read and written unchanged keeps its file's values to the bit.
    enum EStoredPlacement { eSTORED_TRANSFORM, eSTORED_LINK, eSTORED_ASSOCIATE_MODEL, eSTORED_PARENT, eSTORED_COUNT };
    void NoteStoredPlacement(EStoredPlacement which, const KgeMatrix& stored);
    // False, stored untouched, when nothing was noted for the placement or
    // it changed since.
    bool GetStoredPlacement(EStoredPlacement which, KgeMatrix& stored) const;

    // ---- user data ----
    // Two texts that files carry along; null counts as "". The object's
    // own user word keeps its name, so these go by other names.
    void SetUserData(const char* id, const char* data);
    using KFbxSubDeformer::SetUserData;
    const char* GetUserDataID() const { return mUserDataId.Buffer(); }
    const char* GetUserDataText() const { return mUserData.Buffer(); }

private:
    ELinkMode mLinkMode = eNORMALIZE;
    KFbxProperty mAssociateModel;
    std::vector<int> mIndices;
    std::vector<double> mWeights;
    KgeMatrix mTransform;
    KgeMatrix mTransformLink;
    KgeMatrix mTransformAssociateModel;
    KgeMatrix mTransformParent;
    bool mTransformParentSet = false;
    struct StoredPlacement {
        bool mNoted = false;
        KgeMatrix mPlacement;
        KgeMatrix mLink;
        KgeMatrix mStored;
    };
    struct StoredPlacements {
        StoredPlacement mEntries[eSTORED_COUNT];
    };
    // The placement of a kind, by EStoredPlacement.
    const KgeMatrix& Placement(EStoredPlacement which) const;
    std::unique_ptr<StoredPlacements> mStoredPlacements;
    KString mUserDataId;
    KString mUserData;
};

}  // namespace fbxsdk_2006_11_1

#endif
