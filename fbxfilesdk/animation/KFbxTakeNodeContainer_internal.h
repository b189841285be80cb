// The internal twin of a take-node container. It holds nothing of its own; it
// gives the container's twins their own class, from which those of nodes,
// textures, materials and the other animatable objects derive.
#ifndef FBXFILESDK_ANIMATION_KFBXTAKENODECONTAINER_INTERNAL_H
#define FBXFILESDK_ANIMATION_KFBXTAKENODECONTAINER_INTERNAL_H

#include <fbxfilesdk/core/KFbxObject_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxTakeNodeContainer;

class KFbxTakeNodeContainer_internal : public KFbxObject_internal {
public:
    explicit KFbxTakeNodeContainer_internal(KFbxTakeNodeContainer* publicObject);

    const KPlugClassInfo* GetClassInfo() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
