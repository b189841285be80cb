// The internal twin of a surface material, which Lambert and Phong materials
// share: their plug class tells a material's twin from other take-node
// containers'.
#ifndef FBXFILESDK_GEOMETRY_KFBXSURFACEMATERIAL_INTERNAL_H
#define FBXFILESDK_GEOMETRY_KFBXSURFACEMATERIAL_INTERNAL_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxSurfaceMaterial;
class KPlugClassInfo;

class KFbxSurfaceMaterial_internal : public KFbxTakeNodeContainer_internal {
public:
    explicit KFbxSurfaceMaterial_internal(KFbxSurfaceMaterial* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
