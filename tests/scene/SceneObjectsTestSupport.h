// The scene, its settings object, the null, marker and camera switcher
// attributes, scene information and thumbnail come from the manager's class
// table; the helpers only enter them again, which is harmless once an id is
// set.
#ifndef QALIMOR_TESTS_SCENE_SCENEOBJECTSTESTSUPPORT_H
#define QALIMOR_TESTS_SCENE_SCENEOBJECTSTESTSUPPORT_H

#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxThumbnail.h>

#include "scene/SceneTestSupport.h"

namespace fbxsdk_2006_11_1::scenetest {

inline void RegisterSceneObjectClasses(KFbxSdkManager* manager) {
    RegisterSceneClasses(manager);
    // Every id is set by the manager already, so these only add it again.
    Enter(manager, KFbxScene::ClassId, "KFbxScene", KFbxObject::ClassId, &KFbxScene::CreateFn);
    Enter(manager, KFbxGlobalSettings::ClassId, "KFbxGlobalSettings", KFbxObject::ClassId, &KFbxGlobalSettings::CreateFn);
    Enter(manager, KFbxCameraSwitcher::ClassId, "KFbxCameraSwitcher", KFbxNodeAttribute::ClassId,
          &KFbxCameraSwitcher::CreateFn);
    Enter(manager, KFbxSceneInfo::ClassId, "KFbxSceneInfo", KFbxObject::ClassId, &KFbxSceneInfo::CreateFn);
    Enter(manager, KFbxThumbnail::ClassId, "KFbxThumbnail", KFbxObject::ClassId, &KFbxThumbnail::CreateFn);
    Enter(manager, KFbxNull::ClassId, "KFbxNull", KFbxNodeAttribute::ClassId, &KFbxNull::CreateFn);
    Enter(manager, KFbxMarker::ClassId, "KFbxMarker", KFbxNodeAttribute::ClassId, &KFbxMarker::CreateFn);
    EXPECT_NE(KFbxScene::ClassId, KFbxClassId());
    EXPECT_EQ(KFbxGetSceneClassIds().mScene, KFbxScene::ClassId);
}

class SceneObjectTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        RegisterSceneObjectClasses(mManager);
    }
};

}  // namespace fbxsdk_2006_11_1::scenetest

#endif
