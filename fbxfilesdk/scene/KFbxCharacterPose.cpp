#include <fbxfilesdk/scene/KFbxCharacterPose.h>

#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {


KFbxCharacterPose::KFbxCharacterPose(KFbxSdkManager* manager, const char* name) : KFbxObject(manager, name) {
    CreateInternal();
    if (KFbxScene* scene = KFbxScene::Create(manager, "")) {
        mPoseScene = HdlKObject(scene->GetInternalPlug());
    }
}

KFbxCharacterPose::~KFbxCharacterPose() { DestroyPoseScene(); }

KFbxCharacterPose* KFbxCharacterPose::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxCharacterPose>(manager, ClassId, name);
}

KFbxPlug* KFbxCharacterPose::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxCharacterPose>(manager, name);
}

KFbxClassId KFbxCharacterPose::GetClassId() const { return ClassId; }

void KFbxCharacterPose::DestroyContents(bool recursive, bool dependents) {
    DestroyPoseScene();
    KFbxObject::DestroyContents(recursive, dependents);
}

KFbxScene* KFbxCharacterPose::GetPoseScene() const {
    return dynamic_cast<KFbxScene*>(KFbxGetPublicPlug(mPoseScene.Resolve()));
}

void KFbxCharacterPose::DestroyPoseScene() {
    KFbxScene* scene = GetPoseScene();
    mPoseScene = HdlKObject();
    if (scene != nullptr) {
        scene->Destroy(true, true);
    }
}

}  // namespace fbxsdk_2006_11_1
