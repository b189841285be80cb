// The internal twins of geometries, meshes and shapes. They hold nothing of
// their own; they give the twins their plug classes, so that internal
// filters can tell the kinds apart.
#ifndef FBXFILESDK_GEOMETRY_KFBXGEOMETRY_INTERNAL_H
#define FBXFILESDK_GEOMETRY_KFBXGEOMETRY_INTERNAL_H

#include <fbxfilesdk/scene/KFbxNodeAttribute_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxGeometry;
class KFbxMesh;
class KFbxShape;
class KPlugClassInfo;

class KFbxGeometry_internal : public KFbxNodeAttribute_internal {
public:
    explicit KFbxGeometry_internal(KFbxGeometry* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxMesh_internal : public KFbxGeometry_internal {
public:
    explicit KFbxMesh_internal(KFbxMesh* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxShape_internal : public KFbxNodeAttribute_internal {
public:
    explicit KFbxShape_internal(KFbxShape* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
