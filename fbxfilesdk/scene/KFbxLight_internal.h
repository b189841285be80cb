// The internal twin of a light: its plug class tells a light's twin from
// other attributes'. It holds nothing of its own.
#ifndef FBXFILESDK_SCENE_KFBXLIGHT_INTERNAL_H
#define FBXFILESDK_SCENE_KFBXLIGHT_INTERNAL_H

#include <fbxfilesdk/scene/KFbxNodeAttribute_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxLight;
class KPlugClassInfo;

class KFbxLight_internal : public KFbxNodeAttribute_internal {
public:
    explicit KFbxLight_internal(KFbxLight* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
