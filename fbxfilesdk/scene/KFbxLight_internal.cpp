#include <fbxfilesdk/scene/KFbxLight_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/scene/KFbxLight.h>

namespace fbxsdk_2006_11_1 {

KFbxLight_internal::KFbxLight_internal(KFbxLight* publicObject) : KFbxNodeAttribute_internal(publicObject) {}

const KPlugClassInfo* KFbxLight_internal::GetClassInfo() const { return &gKFbxLight_internalClassInfo; }

}  // namespace fbxsdk_2006_11_1
