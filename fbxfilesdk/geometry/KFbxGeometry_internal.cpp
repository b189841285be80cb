#include <fbxfilesdk/geometry/KFbxGeometry_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>

namespace fbxsdk_2006_11_1 {

KFbxGeometry_internal::KFbxGeometry_internal(KFbxGeometry* publicObject) : KFbxNodeAttribute_internal(publicObject) {}

const KPlugClassInfo* KFbxGeometry_internal::GetClassInfo() const { return &gKFbxGeometry_internalClassInfo; }

KFbxMesh_internal::KFbxMesh_internal(KFbxMesh* publicObject) : KFbxGeometry_internal(publicObject) {}

const KPlugClassInfo* KFbxMesh_internal::GetClassInfo() const { return &gKFbxMesh_internalClassInfo; }

KFbxShape_internal::KFbxShape_internal(KFbxShape* publicObject) : KFbxNodeAttribute_internal(publicObject) {}

const KPlugClassInfo* KFbxShape_internal::GetClassInfo() const { return &gKFbxShape_internalClassInfo; }

}  // namespace fbxsdk_2006_11_1
