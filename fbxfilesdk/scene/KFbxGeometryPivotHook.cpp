#include <fbxfilesdk/scene/KFbxGeometryPivotHook.h>

namespace fbxsdk_2006_11_1 {

namespace {

KFbxGeometryPivotTransformFn gTransform = nullptr;

}  // namespace

void KFbxSetGeometryPivotTransform(KFbxGeometryPivotTransformFn transform) { gTransform = transform; }

KFbxGeometryPivotTransformFn KFbxGetGeometryPivotTransform() { return gTransform; }

}  // namespace fbxsdk_2006_11_1
