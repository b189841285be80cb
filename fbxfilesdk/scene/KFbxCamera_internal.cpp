#include <fbxfilesdk/scene/KFbxCamera_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/scene/KFbxCamera.h>

namespace fbxsdk_2006_11_1 {

KFbxCamera_internal::KFbxCamera_internal(KFbxCamera* publicObject) : KFbxNodeAttribute_internal(publicObject) {}

const KPlugClassInfo* KFbxCamera_internal::GetClassInfo() const { return &gKFbxCamera_internalClassInfo; }

}  // namespace fbxsdk_2006_11_1
