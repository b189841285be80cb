// The internal twins of the parametric geometries and of the optical
// reference. Like the other geometry twins they hold nothing of their own:
// they give each kind's twin its plug class. Also the clone step these
// kinds share.
#ifndef FBXFILESDK_GEOMETRY_KFBXPARAMETRICGEOMETRY_INTERNAL_H
#define FBXFILESDK_GEOMETRY_KFBXPARAMETRICGEOMETRY_INTERNAL_H

#include <fbxfilesdk/geometry/KFbxGeometry_internal.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxBoundary;
class KFbxNodeAttribute;
class KFbxNurb;
class KFbxNurbsCurve;
class KFbxNurbsSurface;
class KFbxOpticalReference;
class KFbxPatch;
class KFbxTrimNurbsSurface;
class KPlugClassInfo;

class KFbxPatch_internal : public KFbxGeometry_internal {
public:
    explicit KFbxPatch_internal(KFbxPatch* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxNurb_internal : public KFbxGeometry_internal {
public:
    explicit KFbxNurb_internal(KFbxNurb* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxNurbsSurface_internal : public KFbxGeometry_internal {
public:
    explicit KFbxNurbsSurface_internal(KFbxNurbsSurface* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxNurbsCurve_internal : public KFbxGeometry_internal {
public:
    explicit KFbxNurbsCurve_internal(KFbxNurbsCurve* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxBoundary_internal : public KFbxGeometry_internal {
public:
    explicit KFbxBoundary_internal(KFbxBoundary* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxTrimNurbsSurface_internal : public KFbxGeometry_internal {
public:
    explicit KFbxTrimNurbsSurface_internal(KFbxTrimNurbsSurface* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxOpticalReference_internal : public KFbxNodeAttribute_internal {
public:
    explicit KFbxOpticalReference_internal(KFbxOpticalReference* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

// Mode 2: a new attribute of the source's class and name, with its property
// values (the attribute base's clone) and then its contents (its Copy).
KFbxNodeAttribute* KFbxCloneWithContents(const KFbxNodeAttribute& source, int mode);

}  // namespace fbxsdk_2006_11_1

#endif
