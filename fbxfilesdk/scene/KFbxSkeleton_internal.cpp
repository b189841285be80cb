#include <fbxfilesdk/scene/KFbxSkeleton_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>

namespace fbxsdk_2006_11_1 {

KFbxSkeleton_internal::KFbxSkeleton_internal(KFbxSkeleton* publicObject) : KFbxNodeAttribute_internal(publicObject) {}

const KPlugClassInfo* KFbxSkeleton_internal::GetClassInfo() const { return &gKFbxSkeleton_internalClassInfo; }

}  // namespace fbxsdk_2006_11_1
