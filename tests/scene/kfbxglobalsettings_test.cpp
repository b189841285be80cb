// Time settings with their fall-backs to the process-wide modes and their
// markers; take records; the light, camera and axis settings and how each
// returns to its defaults.
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalTimeSettings.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include "scene/SceneObjectsTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

constexpr std::int64_t kOneSecond = 46186158000LL;

TEST(KFbxGlobalTimeSettingsTest, ModeAndFormatFallBackToTheProcessWideOnes) {
    KFbxGlobalTimeSettings settings;
    EXPECT_EQ(settings.GetTimeMode(), 6);
    EXPECT_EQ(settings.GetTimeFormat(), 1);
    settings.SetTimeMode(0);
    const int globalMode = KTime::GetGlobalTimeMode();
    EXPECT_EQ(settings.GetTimeMode(), globalMode != 0 ? globalMode : 6);
    settings.SetTimeFormat(2);
    const int globalForm = KTime::GetGlobalStringForm();
    EXPECT_EQ(settings.GetTimeFormat(), globalForm != 2 ? globalForm : 1);
    settings.SetTimeMode(11);
    settings.SetSnapOnFrames(1);
    settings.RestoreDefaultSettings();
    EXPECT_EQ(settings.GetTimeMode(), 6);
    EXPECT_EQ(settings.GetSnapOnFrames(), 0);
}

TEST(KFbxGlobalTimeSettingsTest, TimelineSpanStartsAtOneSecondAndSurvivesRestore) {
    KFbxGlobalTimeSettings settings;
    KTimeSpan span;
    settings.GetTimelineDefaultTimeSpan(span);
    EXPECT_EQ(span.GetStart().Get(), 0);
    EXPECT_EQ(span.GetStop().Get(), kOneSecond);
    settings.SetTimelineDefaultTimeSpan(KTimeSpan(KTime(5), KTime(2)));
    settings.RestoreDefaultSettings();
    settings.GetTimelineDefaultTimeSpan(span);
    EXPECT_EQ(span.GetStart().Get(), 5);
    EXPECT_EQ(span.GetStop().Get(), 2);
}

TEST(KFbxGlobalTimeSettingsTest, MarkersAreCopiesWithACheckedCurrentIndex) {
    KFbxGlobalTimeSettings settings;
    EXPECT_FALSE(settings.SetCurrentTimeMarker(0));
    EXPECT_EQ(settings.GetError().GetLastErrorID(), KFbxGlobalTimeSettings::eINDEX_OUT_OF_RANGE);
    EXPECT_STREQ(settings.GetError().GetLastErrorString(), "Index out of range.");
    KFbxTimeMarker marker;
    marker.mName = "start";
    marker.mTime = KTime(7);
    settings.AddTimeMarker(marker);
    marker.mName = "changed";
    EXPECT_EQ(settings.GetCurrentTimeMarker(), -1);
    EXPECT_TRUE(settings.SetCurrentTimeMarker(0));
    EXPECT_EQ(settings.GetCurrentTimeMarker(), 0);
    ASSERT_NE(settings.GetTimeMarker(0), nullptr);
    EXPECT_STREQ(settings.GetTimeMarker(0)->mName.Buffer(), "start");
    EXPECT_EQ(settings.GetTimeMarker(0)->mTime.Get(), 7);
    EXPECT_EQ(settings.GetTimeMarker(1), nullptr);
    EXPECT_EQ(settings.GetTimeMarker(-1), nullptr);
    EXPECT_FALSE(settings.SetCurrentTimeMarker(1));
    EXPECT_EQ(settings.GetCurrentTimeMarker(), 0);
    settings.RemoveAllTimeMarkers();
    EXPECT_EQ(settings.GetTimeMarkerCount(), 0);
    EXPECT_EQ(settings.GetCurrentTimeMarker(), -1);
}

TEST(KFbxTakeInfoTest, NewRecordIsSelectedAndCopiesEveryField) {
    KFbxTakeInfo info;
    EXPECT_TRUE(info.mSelect);
    EXPECT_EQ(info.mImportOffsetType, KFbxTakeInfo::eRELATIVE);
    EXPECT_EQ(info.mLocalTimeSpan.GetStop().Get(), 0);
    info.mName = "Take 001";
    info.mDescription = "walk";
    info.mLocalTimeSpan.Set(KTime(1), KTime(9));
    info.mImportOffset = KTime(3);
    info.SetImportOffsetType(KFbxTakeInfo::eABSOLUTE);
    KFbxTakeInfo copy;
    copy = info;
    info.mName = "other";
    EXPECT_STREQ(copy.mName.Buffer(), "Take 001");
    EXPECT_STREQ(copy.mDescription.Buffer(), "walk");
    EXPECT_EQ(copy.mLocalTimeSpan.GetDuration().Get(), 8);
    EXPECT_EQ(copy.mImportOffset.Get(), 3);
    EXPECT_EQ(copy.mImportOffsetType, KFbxTakeInfo::eABSOLUTE);
}

TEST(KFbxGlobalLightSettingsTest, RestoreBringsBackBlackAmbientWithoutFogOrShadows) {
    KFbxGlobalLightSettings settings;
    EXPECT_DOUBLE_EQ(settings.GetAmbientColor().mRed, 0.0);
    EXPECT_FALSE(settings.GetFogEnable());
    EXPECT_FALSE(settings.GetShadowEnable());
    settings.SetAmbientColor(KFbxColor(0.5, 0.5, 0.5, 1.0));
    settings.SetFogEnable(true);
    settings.SetFogEnd(5.0);
    settings.RestoreDefaultSettings();
    EXPECT_DOUBLE_EQ(settings.GetAmbientColor().mGreen, 0.0);
    EXPECT_FALSE(settings.GetFogEnable());
    EXPECT_DOUBLE_EQ(settings.GetFogEnd(), 1000.0);
}

TEST(KFbxGlobalLightSettingsTest, ShadowPlanesAreKeptInOrderAndRestoreRemovesThem) {
    KFbxGlobalLightSettings settings;
    EXPECT_EQ(settings.GetShadowPlaneCount(), 0);
    KFbxShadowPlane plane;
    plane.mEnable = true;
    plane.mOrigin = KFbxVector4(0.0, -1.0, 0.0, 1.0);
    settings.AddShadowPlane(plane);
    plane.mEnable = false;
    settings.AddShadowPlane(plane);
    ASSERT_EQ(settings.GetShadowPlaneCount(), 2);
    EXPECT_TRUE(settings.GetShadowPlane(0)->mEnable);
    EXPECT_FALSE(settings.GetShadowPlane(1)->mEnable);
    EXPECT_EQ(settings.GetShadowPlane(1)->mOrigin[1], -1.0);

    EXPECT_EQ(settings.GetShadowPlane(2), nullptr);
    EXPECT_EQ(settings.GetShadowPlane(-1), nullptr);
    EXPECT_EQ(settings.GetError().GetLastErrorID(), KFbxGlobalLightSettings::eINDEX_OUT_OF_RANGE);
    EXPECT_STREQ(settings.GetError().GetLastErrorString(), "Index out of range.");

    settings.RestoreDefaultSettings();
    EXPECT_EQ(settings.GetShadowPlaneCount(), 0);
}

TEST(KFbxGlobalCameraSettingsTest, RestoreBringsBackThePerspectiveView) {
    KFbxGlobalCameraSettings settings(nullptr, nullptr);
    settings.SetDefaultCamera("Producer Top");
    settings.SetDefaultViewingMode(KFbxGlobalCameraSettings::eXRAY);
    settings.RestoreDefaultSettings();
    EXPECT_STREQ(settings.GetDefaultCamera(), "Producer Perspective");
    EXPECT_EQ(settings.GetDefaultViewingMode(), KFbxGlobalCameraSettings::eSTANDARD);
}

using KFbxGlobalSettingsTest = SceneObjectTest;

TEST_F(KFbxGlobalSettingsTest, AxisSystemAndUnitDefaultToYUpCentimetres) {
    KFbxGlobalSettings* settings = KFbxGlobalSettings::Create(mManager, "GlobalSettings");
    ASSERT_NE(settings, nullptr);
    int sign = 0;
    EXPECT_EQ(settings->GetAxisSystem().GetUpVector(sign), 2);
    EXPECT_EQ(sign, 1);
    EXPECT_EQ(settings->GetAxisSystem().GetCoordSystem(), 0);
    EXPECT_DOUBLE_EQ(settings->GetSystemUnit().GetScaleFactor(), 1.0);
    settings->SetAxisSystem(KFbxAxisSystem::ZUpRightHandedA);
    settings->SetSystemUnit(KFbxSystemUnit::m);
    EXPECT_EQ(settings->GetAxisSystem().GetUpVector(sign), 3);
    EXPECT_DOUBLE_EQ(settings->GetSystemUnit().GetScaleFactor(), 100.0);
    settings->RestoreDefaultSettings();
    EXPECT_EQ(settings->GetAxisSystem().GetUpVector(sign), 2);
}

}  // namespace
