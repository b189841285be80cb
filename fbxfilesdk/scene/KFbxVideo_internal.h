// The internal twin of a video: its plug class tells a video's twin from
// other take-node containers'. It holds nothing of its own.
#ifndef FBXFILESDK_SCENE_KFBXVIDEO_INTERNAL_H
#define FBXFILESDK_SCENE_KFBXVIDEO_INTERNAL_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxVideo;
class KPlugClassInfo;

class KFbxVideo_internal : public KFbxTakeNodeContainer_internal {
public:
    explicit KFbxVideo_internal(KFbxVideo* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
