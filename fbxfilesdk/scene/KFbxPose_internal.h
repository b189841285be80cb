// The internal twin of a pose: its plug class tells a pose's twin from
// other objects'. It holds nothing of its own.
#ifndef FBXFILESDK_SCENE_KFBXPOSE_INTERNAL_H
#define FBXFILESDK_SCENE_KFBXPOSE_INTERNAL_H

#include <fbxfilesdk/core/KFbxObject_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxPose;
class KPlugClassInfo;

class KFbxPose_internal : public KFbxObject_internal {
public:
    explicit KFbxPose_internal(KFbxPose* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
