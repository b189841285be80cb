// The scene's camera settings: the seven producer cameras, where they stand,
// their restoration, and their ownership apart from the scene's objects.
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>

#include <vector>

#include "scene/SceneObjectsTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

using KFbxGlobalCameraSettingsTest = SceneObjectTest;
using Settings = KFbxGlobalCameraSettings;

KFbxVector4 Translation(const KFbxNode* node) {
    KFbxVector4 translation;
    node->GetLclTranslation(translation);
    return translation;
}

TEST_F(KFbxGlobalCameraSettingsTest, EverySceneHasTheSevenProducerCameras) {
    KFbxScene* scene = KFbxScene::Create(mManager, "scene");
    ASSERT_NE(scene, nullptr);
    Settings& settings = scene->GetGlobalCameraSettings();
    EXPECT_STREQ(settings.GetDefaultCamera(), "Producer Perspective");
    const char* const names[] = {"Producer Perspective", "Producer Top",   "Producer Bottom", "Producer Front",
                                 "Producer Back",        "Producer Right", "Producer Left"};
    for (int which = 0; which < Settings::ePRODUCER_CAMERA_COUNT; ++which) {
        EXPECT_STREQ(Settings::GetProducerCameraName(which), names[which]);
        KFbxNode* node = settings.GetProducerCameraNode(which);
        ASSERT_NE(node, nullptr) << names[which];
        EXPECT_STREQ(node->GetName(), names[which]);
        KFbxCamera* camera = settings.GetProducerCamera(which);
        ASSERT_NE(camera, nullptr) << names[which];
        EXPECT_EQ(node->GetCamera(), camera);
        EXPECT_EQ(camera->GetProjectionType(),
                  which == Settings::ePRODUCER_PERSPECTIVE ? KFbxCamera::ePERSPECTIVE : KFbxCamera::eORTHOGONAL);
        // Every camera looks at the origin from its own place.
        const KFbxVector4 position = camera->GetPosition();
        EXPECT_GT(position[0] * position[0] + position[1] * position[1] + position[2] * position[2], 0.0);
        EXPECT_DOUBLE_EQ(camera->GetLookAt()[0], 0.0);
    }
    EXPECT_EQ(settings.GetProducerCameraNode(7), nullptr);
    EXPECT_EQ(settings.GetProducerCameraNode(-1), nullptr);
    EXPECT_EQ(Settings::GetProducerCameraName(7), nullptr);
    EXPECT_DOUBLE_EQ(Translation(settings.GetCameraProducerTop())[1], 4000.0);
    EXPECT_DOUBLE_EQ(Translation(settings.GetCameraProducerBottom())[1], -4000.0);
    EXPECT_DOUBLE_EQ(Translation(settings.GetCameraProducerFront())[2], 4000.0);
    EXPECT_DOUBLE_EQ(Translation(settings.GetCameraProducerBack())[2], -4000.0);
    EXPECT_DOUBLE_EQ(Translation(settings.GetCameraProducerRight())[0], 4000.0);
    EXPECT_DOUBLE_EQ(Translation(settings.GetCameraProducerLeft())[0], -4000.0);
    EXPECT_DOUBLE_EQ(Translation(settings.GetCameraProducerPerspective())[1], 300.0);
    // The orthographic cameras see as far past the origin as they stand before it.
    EXPECT_DOUBLE_EQ(settings.GetProducerCamera(Settings::ePRODUCER_TOP)->GetFarPlane(), 8000.0);
}

TEST_F(KFbxGlobalCameraSettingsTest, ProducerCamerasAreNotSceneObjects) {
    KFbxScene* scene = KFbxScene::Create(mManager, "scene");
    const Settings& settings = scene->GetGlobalCameraSettings();
    // Root and switcher only.
    EXPECT_EQ(scene->GetNodeCount(), 2);
    EXPECT_EQ(mManager->GetObjectCount(KFbxCamera::ClassId), 0);
    EXPECT_EQ(settings.GetCameraProducerTop()->GetScene(), nullptr);
    std::vector<KFbxNode*> cameras;
    scene->FillNodeArrayByAttributeType(cameras, KFbxNodeAttribute::eCAMERA, true);
    EXPECT_TRUE(cameras.empty());
}

TEST_F(KFbxGlobalCameraSettingsTest, RestoringPutsTheCamerasBack) {
    KFbxScene* scene = KFbxScene::Create(mManager, "scene");
    Settings& settings = scene->GetGlobalCameraSettings();
    KFbxNode* top = settings.GetCameraProducerTop();
    KFbxCamera* camera = settings.GetProducerCamera(Settings::ePRODUCER_TOP);
    camera->SetPosition(KFbxVector4(1.0, 2.0, 3.0, 1.0));
    camera->SetProjectionType(KFbxCamera::ePERSPECTIVE);
    top->SetName("renamed");
    settings.SetDefaultCamera("Producer Top");
    settings.SetDefaultViewingMode(Settings::eXRAY);

    scene->Clear();
    EXPECT_EQ(settings.GetCameraProducerTop(), top);
    EXPECT_STREQ(top->GetName(), "Producer Top");
    EXPECT_DOUBLE_EQ(Translation(top)[1], 4000.0);
    EXPECT_EQ(camera->GetProjectionType(), KFbxCamera::eORTHOGONAL);
    EXPECT_STREQ(settings.GetDefaultCamera(), "Producer Perspective");
    EXPECT_EQ(settings.GetDefaultViewingMode(), Settings::eSTANDARD);

    // A scene cleared before anything looked at its cameras has them all the same.
    KFbxScene* fresh = KFbxScene::Create(mManager, "fresh");
    fresh->GetGlobalCameraSettings().SetDefaultCamera("Producer Left");
    fresh->Clear();
    const Settings& freshSettings = fresh->GetGlobalCameraSettings();
    EXPECT_STREQ(freshSettings.GetDefaultCamera(), "Producer Perspective");
    ASSERT_NE(freshSettings.GetProducerCamera(Settings::ePRODUCER_LEFT), nullptr);
    EXPECT_DOUBLE_EQ(Translation(freshSettings.GetCameraProducerLeft())[0], -4000.0);
    EXPECT_EQ(freshSettings.GetProducerCamera(Settings::ePRODUCER_TOP)->GetProjectionType(), KFbxCamera::eORTHOGONAL);
}

TEST_F(KFbxGlobalCameraSettingsTest, TheBackgroundColourReachesEveryCameraWhenEverItIsMade) {
    const double blue[3] = {0.1, 0.2, 0.9};
    const double red[3] = {0.8, 0.0, 0.1};
    struct Case {
        const char* mName;
        bool mSetTwice;
        bool mRestore;
        // Null: whatever cameras made before the colour was set show.
        const double* mExpected;
    };
    const Case cases[] = {
        {"set", false, false, blue},
        {"set twice", true, false, red},
        {"set, then restored", false, true, nullptr},
    };
    // The colours of the seven cameras after the steps, made before or after them.
    const auto colours = [&](const Case& c, bool makeFirst) {
        KFbxScene* scene = KFbxScene::Create(mManager, c.mName);
        Settings& settings = scene->GetGlobalCameraSettings();
        if (makeFirst) {
            EXPECT_NE(settings.GetProducerCamera(Settings::ePRODUCER_TOP), nullptr);
        }
        settings.SetProducerCamerasBackgroundColor(blue);
        if (c.mSetTwice) {
            settings.SetProducerCamerasBackgroundColor(red);
        }
        if (c.mRestore) {
            scene->Clear();
        }
        std::vector<double> rgb;
        for (int which = 0; which < Settings::ePRODUCER_CAMERA_COUNT; ++which) {
            const KFbxCamera* camera = settings.GetProducerCamera(which);
            EXPECT_NE(camera, nullptr);
            if (camera == nullptr) {
                continue;
            }
            const KFbxColor colour = camera->GetDefaultBackgroundColor();
            rgb.insert(rgb.end(), {colour.mRed, colour.mGreen, colour.mBlue});
            // The cameras keep their other defaults.
            EXPECT_DOUBLE_EQ(camera->GetLookAt()[0], 0.0);
        }
        return rgb;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mName);
        const std::vector<double> late = colours(c, false);
        const std::vector<double> early = colours(c, true);
        ASSERT_EQ(late.size(), 3u * Settings::ePRODUCER_CAMERA_COUNT);
        ASSERT_EQ(early.size(), late.size());
        for (std::size_t index = 0; index < late.size(); ++index) {
            EXPECT_NEAR(late[index], early[index], 1e-9) << index;
            if (c.mExpected != nullptr) {
                EXPECT_NEAR(late[index], c.mExpected[index % 3], 1e-6) << index;
            }
        }
    }
    // Without a manager there is nothing to colour, and nothing breaks.
    Settings alone(nullptr, nullptr);
    alone.SetProducerCamerasBackgroundColor(blue);
    EXPECT_EQ(alone.GetProducerCamera(Settings::ePRODUCER_PERSPECTIVE), nullptr);
}

TEST_F(KFbxGlobalCameraSettingsTest, ProducerCamerasGoWithTheirScene) {
    KFbxScene* scene = KFbxScene::Create(mManager, "scene");
    KFbxNode* top = scene->GetGlobalCameraSettings().GetCameraProducerTop();
    ASSERT_NE(top->GetCamera(), nullptr);
    // Under the address sanitizer a leak or a double destruction shows here.
    scene->Destroy(true, false);
    EXPECT_EQ(mManager->GetObjectCount(KFbxScene::ClassId), 0);
}

TEST(KFbxGlobalCameraSettingsWithoutManagerTest, HasNoProducerCameras) {
    Settings settings(nullptr, nullptr);
    for (int which = 0; which < Settings::ePRODUCER_CAMERA_COUNT; ++which) {
        EXPECT_EQ(settings.GetProducerCameraNode(which), nullptr);
        EXPECT_EQ(settings.GetProducerCamera(which), nullptr);
    }
    settings.RestoreDefaultSettings();
    EXPECT_STREQ(settings.GetDefaultCamera(), "Producer Perspective");
}

}  // namespace
