// The internal twin of a camera: its plug class tells a camera's twin from
// other attributes'. It holds nothing of its own.
#ifndef FBXFILESDK_SCENE_KFBXCAMERA_INTERNAL_H
#define FBXFILESDK_SCENE_KFBXCAMERA_INTERNAL_H

#include <fbxfilesdk/scene/KFbxNodeAttribute_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxCamera;
class KPlugClassInfo;

class KFbxCamera_internal : public KFbxNodeAttribute_internal {
public:
    explicit KFbxCamera_internal(KFbxCamera* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
