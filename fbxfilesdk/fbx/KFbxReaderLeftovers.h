// What a read makes that does not end up in the scene: templates, stand-ins,
// library objects, copies replaced by others. Taken note of before the read
// (the objects the manager holds), destroyed after it, on success and on
// failure alike, so that a program that reads many files does not grow
// without limit.
#ifndef FBXFILESDK_FBX_KFBXREADERLEFTOVERS_H
#define FBXFILESDK_FBX_KFBXREADERLEFTOVERS_H

#include <fbxfilesdk/core/KRecycledContainers.h>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KFbxScene;
class KFbxSdkManager;

class KFbxReaderLeftovers {
public:
    // Notes the objects the manager holds now.
    explicit KFbxReaderLeftovers(KFbxSdkManager& manager);

    // Destroys every object made since that the scene does not use: not
    // reached from the scene through its nodes, their attributes, deformers,
    // materials, textures and shapes, or its poses and scene information.
    // With a null scene everything made since goes.
    void DestroyUnused(const KFbxScene* scene);

private:
    KFbxSdkManager& mManager;
    // Made and dropped with every file read: its blocks are recycled.
    KRecycledHashSet<const KFbxObject*> mBefore;
};

}  // namespace fbxsdk_2006_11_1

#endif
