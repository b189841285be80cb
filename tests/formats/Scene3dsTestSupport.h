// What the 3DS reader's and writer's test fixtures share: a fresh manager
// and scene with the 3DS formats registered, a scratch folder, the last
// error and message of an import or export, and the toolkit's open files
// and errors cleared after each test.
#ifndef TESTS_FORMATS_SCENE3DSTESTSUPPORT_H
#define TESTS_FORMATS_SCENE3DSTESTSUPPORT_H

#include <fbxfilesdk/3dsftk/Toolkit3ds.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/formats/KFbxFormats3ds.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace fbxsdk_2006_11_1::scene3dstest {

class Scene3dsTest : public ::testing::Test {
protected:
    void SetUp() override {
        KFbxRegister3dsFormats();
        mManager = CreateSdkManager();
        ASSERT_NE(mManager, nullptr);
        mScene = KFbxScene::Create(mManager, "");
        ASSERT_NE(mScene, nullptr);
    }
    void TearDown() override {
        delete mManager;
        CloseAllFiles3ds();
        ClearErrorList3ds();
    }

    std::string Path(const std::string& name) const { return mFolder / name; }

    KFbxSdkManager* mManager = nullptr;
    KFbxScene* mScene = nullptr;
    ScratchFolder mFolder;
    std::string mLastError;
    KString mMessage;
};

}  // namespace fbxsdk_2006_11_1::scene3dstest

#endif
