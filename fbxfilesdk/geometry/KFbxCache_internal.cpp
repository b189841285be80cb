#include <fbxfilesdk/geometry/KFbxCache_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/geometry/KFbxCache.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>

namespace fbxsdk_2006_11_1 {

KFbxCache_internal::KFbxCache_internal(KFbxCache* publicObject) : KFbxObject_internal(publicObject) {}

const KPlugClassInfo* KFbxCache_internal::GetClassInfo() const { return &gKFbxCache_internalClassInfo; }

KFbxGeometryWeightedMap_internal::KFbxGeometryWeightedMap_internal(KFbxGeometryWeightedMap* publicObject)
    : KFbxObject_internal(publicObject) {}

const KPlugClassInfo* KFbxGeometryWeightedMap_internal::GetClassInfo() const {
    return &gKFbxGeometryWeightedMap_internalClassInfo;
}

}  // namespace fbxsdk_2006_11_1
