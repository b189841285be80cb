// A skin: a deformer made of clusters, each moving the control points it
// weights with its link node. The skin owns its clusters.
#ifndef FBXFILESDK_GEOMETRY_KFBXSKIN_H
#define FBXFILESDK_GEOMETRY_KFBXSKIN_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>

namespace fbxsdk_2006_11_1 {

class KFbxCluster;
class KFbxPlug;
class KFbxSdkManager;

class KFbxSkin : public KFbxDeformer {
public:
    // The class id of KFbxSkin; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxSkin(KFbxSdkManager* manager, const char* name);
    ~KFbxSkin() override;

    // Through the manager's class table; null on failure.
    static KFbxSkin* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // The twin of the class, KFbxSkin_internal.
    KFbxObject_internal* NewInternalObject() override;
    const char* GetTypeName() const override;
    EDeformerType GetDeformerType() const override;

    // 50.0 unless set.
    void SetDeformAccuracy(double accuracy) { mDeformAccuracy = accuracy; }
    double GetDeformAccuracy() const { return mDeformAccuracy; }

    // Connects the cluster as a source of the skin; its index among the
    // skin's clusters (the existing one when it is already there), -1 for a
    // null cluster or a refused connection.
    int AddCluster(KFbxCluster* cluster);
    int GetClusterCount() const;
    // Null out of range.
    KFbxCluster* GetCluster(int index) const;

private:
    double mDeformAccuracy = 50.0;
};

}  // namespace fbxsdk_2006_11_1

#endif
