#include <fbxfilesdk/geometry/KFbxSurfaceMaterial_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>

namespace fbxsdk_2006_11_1 {

KFbxSurfaceMaterial_internal::KFbxSurfaceMaterial_internal(KFbxSurfaceMaterial* publicObject)
    : KFbxTakeNodeContainer_internal(publicObject) {}

const KPlugClassInfo* KFbxSurfaceMaterial_internal::GetClassInfo() const {
    return &gKFbxSurfaceMaterial_internalClassInfo;
}

}  // namespace fbxsdk_2006_11_1
