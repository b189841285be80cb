// A vertex-cache deformer: a deformer that plays one channel of a cache on
// the geometry's points. The channel name ("Channel") and whether it plays
// ("Active") are properties, so files carry them in the property block.
#ifndef FBXFILESDK_GEOMETRY_KFBXVERTEXCACHEDEFORMER_H
#define FBXFILESDK_GEOMETRY_KFBXVERTEXCACHEDEFORMER_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>

namespace fbxsdk_2006_11_1 {

class KFbxPlug;
class KFbxSdkManager;

class KFbxVertexCacheDeformer : public KFbxDeformer {
public:
    // The class id of KFbxVertexCacheDeformer; null until the class is registered.
    static KFbxClassId ClassId;

    // Channel "", inactive.
    KFbxVertexCacheDeformer(KFbxSdkManager* manager, const char* name);
    ~KFbxVertexCacheDeformer() override;

    // Through the manager's class table; null on failure.
    static KFbxVertexCacheDeformer* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // The twin of the class, KFbxVertexCacheDeformer_internal.
    KFbxObject_internal* NewInternalObject() override;
    const char* GetTypeName() const override;
    EDeformerType GetDeformerType() const override;

    // A null name counts as "".
    void SetCacheChannel(const char* name);
    KString GetCacheChannel() const;
    void SetActive(bool active);
    bool IsActive() const;

private:
    KFbxProperty mChannel;
    KFbxProperty mActive;
};

}  // namespace fbxsdk_2006_11_1

#endif
