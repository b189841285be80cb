#include <fbxfilesdk/geometry/KFbxDeformer_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSubDeformer.h>
#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>

namespace fbxsdk_2006_11_1 {

KFbxDeformer_internal::KFbxDeformer_internal(KFbxDeformer* publicObject)
    : KFbxTakeNodeContainer_internal(publicObject) {}

const KPlugClassInfo* KFbxDeformer_internal::GetClassInfo() const { return &gKFbxDeformer_internalClassInfo; }

KFbxSkin_internal::KFbxSkin_internal(KFbxSkin* publicObject) : KFbxDeformer_internal(publicObject) {}

const KPlugClassInfo* KFbxSkin_internal::GetClassInfo() const { return &gKFbxSkin_internalClassInfo; }

KFbxVertexCacheDeformer_internal::KFbxVertexCacheDeformer_internal(KFbxVertexCacheDeformer* publicObject)
    : KFbxDeformer_internal(publicObject) {}

const KPlugClassInfo* KFbxVertexCacheDeformer_internal::GetClassInfo() const {
    return &gKFbxVertexCacheDeformer_internalClassInfo;
}

KFbxSubDeformer_internal::KFbxSubDeformer_internal(KFbxSubDeformer* publicObject)
    : KFbxTakeNodeContainer_internal(publicObject) {}

const KPlugClassInfo* KFbxSubDeformer_internal::GetClassInfo() const { return &gKFbxSubDeformer_internalClassInfo; }

KFbxCluster_internal::KFbxCluster_internal(KFbxCluster* publicObject) : KFbxSubDeformer_internal(publicObject) {}

const KPlugClassInfo* KFbxCluster_internal::GetClassInfo() const { return &gKFbxCluster_internalClassInfo; }

}  // namespace fbxsdk_2006_11_1
