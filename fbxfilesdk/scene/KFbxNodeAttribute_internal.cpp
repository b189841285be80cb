#include <fbxfilesdk/scene/KFbxNodeAttribute_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

namespace fbxsdk_2006_11_1 {

KFbxNodeAttribute_internal::KFbxNodeAttribute_internal(KFbxNodeAttribute* publicObject)
    : KFbxObject_internal(publicObject) {}

const KPlugClassInfo* KFbxNodeAttribute_internal::GetClassInfo() const {
    return &gKFbxNodeAttribute_internalClassInfo;
}

}  // namespace fbxsdk_2006_11_1
