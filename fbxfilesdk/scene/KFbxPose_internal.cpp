#include <fbxfilesdk/scene/KFbxPose_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/scene/KFbxPose.h>

namespace fbxsdk_2006_11_1 {

KFbxPose_internal::KFbxPose_internal(KFbxPose* publicObject) : KFbxObject_internal(publicObject) {}

const KPlugClassInfo* KFbxPose_internal::GetClassInfo() const { return &gKFbxPose_internalClassInfo; }

}  // namespace fbxsdk_2006_11_1
