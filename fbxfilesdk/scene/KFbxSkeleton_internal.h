// The internal twin of a skeleton: its plug class tells a skeleton's twin from
// other attributes'. It holds nothing of its own.
#ifndef FBXFILESDK_SCENE_KFBXSKELETON_INTERNAL_H
#define FBXFILESDK_SCENE_KFBXSKELETON_INTERNAL_H

#include <fbxfilesdk/scene/KFbxNodeAttribute_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxSkeleton;
class KPlugClassInfo;

class KFbxSkeleton_internal : public KFbxNodeAttribute_internal {
public:
    explicit KFbxSkeleton_internal(KFbxSkeleton* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
