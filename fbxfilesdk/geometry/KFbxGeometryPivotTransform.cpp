#include <fbxfilesdk/geometry/KFbxGeometryPivotTransform.h>

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/scene/KFbxGeometryPivotHook.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

namespace fbxsdk_2006_11_1 {

bool KFbxGeometryTransformPivot(KFbxNodeAttribute& attribute, const KgeMatrix& transform) {
    // An unregistered geometry class would make every attribute pass the test.
    if (KFbxGeometry::ClassId == KFbxClassId() || !attribute.Is(KFbxGeometry::ClassId)) {
        return false;
    }
    auto& geometry = static_cast<KFbxGeometry&>(attribute);
    KgeMatrix pivot;
    geometry.GetPivot(pivot);
    KgeMatrixMultAffine(pivot, transform, pivot);
    geometry.SetPivot(pivot);
    geometry.ApplyPivot();
    return true;
}

void KFbxInstallGeometryPivotTransform() { KFbxSetGeometryPivotTransform(&KFbxGeometryTransformPivot); }

}  // namespace fbxsdk_2006_11_1
