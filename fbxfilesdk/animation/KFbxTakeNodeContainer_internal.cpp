#include <fbxfilesdk/animation/KFbxTakeNodeContainer_internal.h>

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

namespace fbxsdk_2006_11_1 {

KFbxTakeNodeContainer_internal::KFbxTakeNodeContainer_internal(KFbxTakeNodeContainer* publicObject)
    : KFbxObject_internal(publicObject) {}

const KPlugClassInfo* KFbxTakeNodeContainer_internal::GetClassInfo() const {
    return &gKFbxTakeNodeContainer_internalClassInfo;
}

}  // namespace fbxsdk_2006_11_1
