// The internal twin of a node attribute. It holds nothing of its own; it
// gives the attribute's twin its class, from which the twins of the kinds
// that have one (camera, light, geometry, mesh, shape ...) derive. Kinds
// without a twin class of their own keep this one.
#ifndef FBXFILESDK_SCENE_KFBXNODEATTRIBUTE_INTERNAL_H
#define FBXFILESDK_SCENE_KFBXNODEATTRIBUTE_INTERNAL_H

#include <fbxfilesdk/core/KFbxObject_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxNodeAttribute;
class KPlugClassInfo;

class KFbxNodeAttribute_internal : public KFbxObject_internal {
public:
    explicit KFbxNodeAttribute_internal(KFbxNodeAttribute* publicObject);

    const KPlugClassInfo* GetClassInfo() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
