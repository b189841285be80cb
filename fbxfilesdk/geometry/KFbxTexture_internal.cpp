#include <fbxfilesdk/geometry/KFbxTexture_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

namespace fbxsdk_2006_11_1 {

KFbxTexture_internal::KFbxTexture_internal(KFbxTexture* publicObject) : KFbxTakeNodeContainer_internal(publicObject) {}

const KPlugClassInfo* KFbxTexture_internal::GetClassInfo() const { return &gKFbxTexture_internalClassInfo; }

}  // namespace fbxsdk_2006_11_1
