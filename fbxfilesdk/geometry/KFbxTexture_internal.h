// The internal twin of a texture: its plug class tells a texture's twin from
// other take-node containers'.
#ifndef FBXFILESDK_GEOMETRY_KFBXTEXTURE_INTERNAL_H
#define FBXFILESDK_GEOMETRY_KFBXTEXTURE_INTERNAL_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxTexture;
class KPlugClassInfo;

class KFbxTexture_internal : public KFbxTakeNodeContainer_internal {
public:
    explicit KFbxTexture_internal(KFbxTexture* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
