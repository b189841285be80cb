// A pose of a character kept as a scene of its own: the pose owns that scene,
// made with it and destroyed with it, and files store it nested in the scene
// that holds the pose.
#ifndef FBXFILESDK_SCENE_KFBXCHARACTERPOSE_H
#define FBXFILESDK_SCENE_KFBXCHARACTERPOSE_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KPlugHandlePool.h>

namespace fbxsdk_2006_11_1 {

class KFbxScene;

class KFbxCharacterPose : public KFbxObject {
public:
    // The class id of KFbxCharacterPose; null until the class is registered.
    static KFbxClassId ClassId;

    // With its own empty scene, made through the manager (none when the
    // manager cannot make scenes).
    KFbxCharacterPose(KFbxSdkManager* manager, const char* name);
    ~KFbxCharacterPose() override;

    // Through the manager's factory by the class id; null without one.
    static KFbxCharacterPose* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // 11: names carry "Pose::".
    int GetObjectTypeCode() const override { return 11; }
    const char* GetTypeName() const override { return "CharacterPose"; }
    // The own scene goes with everything in it, then the object's contents.
    void DestroyContents(bool recursive, bool dependents) override;

    // Null once the scene is gone (the manager may end it first).
    KFbxScene* GetPoseScene() const;

private:
    void DestroyPoseScene();

    // Weak: the scene is reached through its twin's handle, which resolves
    // to nothing once the scene was destroyed by anyone.
    HdlKObject mPoseScene;
};

}  // namespace fbxsdk_2006_11_1

#endif
