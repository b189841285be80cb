#include <fbxfilesdk/geometry/KFbxParametricGeometry_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/geometry/KFbxBoundary.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxNurbsCurve.h>
#include <fbxfilesdk/geometry/KFbxNurbsSurface.h>
#include <fbxfilesdk/geometry/KFbxOpticalReference.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxTrimNurbsSurface.h>

namespace fbxsdk_2006_11_1 {

KFbxPatch_internal::KFbxPatch_internal(KFbxPatch* publicObject) : KFbxGeometry_internal(publicObject) {}

const KPlugClassInfo* KFbxPatch_internal::GetClassInfo() const { return &gKFbxPatch_internalClassInfo; }

KFbxNurb_internal::KFbxNurb_internal(KFbxNurb* publicObject) : KFbxGeometry_internal(publicObject) {}

const KPlugClassInfo* KFbxNurb_internal::GetClassInfo() const { return &gKFbxNurb_internalClassInfo; }

KFbxNurbsSurface_internal::KFbxNurbsSurface_internal(KFbxNurbsSurface* publicObject)
    : KFbxGeometry_internal(publicObject) {}

const KPlugClassInfo* KFbxNurbsSurface_internal::GetClassInfo() const { return &gKFbxNurbsSurface_internalClassInfo; }

KFbxNurbsCurve_internal::KFbxNurbsCurve_internal(KFbxNurbsCurve* publicObject) : KFbxGeometry_internal(publicObject) {}

const KPlugClassInfo* KFbxNurbsCurve_internal::GetClassInfo() const { return &gKFbxNurbsCurve_internalClassInfo; }

KFbxBoundary_internal::KFbxBoundary_internal(KFbxBoundary* publicObject) : KFbxGeometry_internal(publicObject) {}

const KPlugClassInfo* KFbxBoundary_internal::GetClassInfo() const { return &gKFbxBoundary_internalClassInfo; }

KFbxTrimNurbsSurface_internal::KFbxTrimNurbsSurface_internal(KFbxTrimNurbsSurface* publicObject)
    : KFbxGeometry_internal(publicObject) {}

const KPlugClassInfo* KFbxTrimNurbsSurface_internal::GetClassInfo() const {
    return &gKFbxTrimNurbsSurface_internalClassInfo;
}

KFbxOpticalReference_internal::KFbxOpticalReference_internal(KFbxOpticalReference* publicObject)
    : KFbxNodeAttribute_internal(publicObject) {}

const KPlugClassInfo* KFbxOpticalReference_internal::GetClassInfo() const {
    return &gKFbxOpticalReference_internalClassInfo;
}

KFbxNodeAttribute* KFbxCloneWithContents(const KFbxNodeAttribute& source, int mode) {
    KFbxNodeAttribute* copy = source.KFbxNodeAttribute::Clone(mode);
    if (copy != nullptr) {
        copy->Copy(source);
    }
    return copy;
}

}  // namespace fbxsdk_2006_11_1
