#include <fbxfilesdk/scene/KFbxVideo_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

namespace fbxsdk_2006_11_1 {

KFbxVideo_internal::KFbxVideo_internal(KFbxVideo* publicObject) : KFbxTakeNodeContainer_internal(publicObject) {}

const KPlugClassInfo* KFbxVideo_internal::GetClassInfo() const { return &gKFbxVideo_internalClassInfo; }

}  // namespace fbxsdk_2006_11_1
