// Cameras: defaults and their reset order, clamped planes and fields of view,
// the channels a camera brings to every take of its node, the film back and
// resolution formats, the field-of-view and focal-length conversions, and
// copies.
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxCamera.h>

#include "scene/AttributeTestSupport.h"

#include <cmath>
#include <limits>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

constexpr double kPi = 3.14159265358979323846;

using KFbxCameraTest = AttributeTest<KFbxCamera>;

const char* const kChannels[] = {"FieldOfView",    "FieldOfViewX",   "FieldOfViewY", "FocalLength", "OpticalCenterX",
                                 "OpticalCenterY", "Roll",           "TurnTable",    "BackgroundColor"};

TEST_F(KFbxCameraTest, NewCameraHasTheResetValuesAndNoFocalLength) {
    KFbxCamera* camera = Make();
    EXPECT_EQ(camera->GetAttributeType(), KFbxNodeAttribute::eCAMERA);
    EXPECT_EQ(camera->GetObjectTypeCode(), 14);
    EXPECT_STREQ(camera->GetTypeName(), "Camera");
    // Made by class id, it has its own kind of twin.
    ASSERT_NE(camera->GetInternalObject(), nullptr);
    EXPECT_EQ(camera->GetInternalObject()->GetClassInfo(), &gKFbxCamera_internalClassInfo);
    KStringList flags;
    camera->GetTypeFlags(flags);
    ASSERT_EQ(flags.GetCount(), 1);
    EXPECT_STREQ(flags.GetStringAt(0), "Camera");

    // The film back was still zero when the focal length was computed.
    EXPECT_DOUBLE_EQ(camera->GetDefaultFocalLength(), 0.0);
    EXPECT_DOUBLE_EQ(camera->GetDefaultFieldOfView(), 40.0);
    EXPECT_DOUBLE_EQ(camera->GetDefaultFieldOfViewX(), 1.0);
    EXPECT_EQ(camera->GetApertureFormat(), KFbxCamera::e35MM_TV_PROJECTION);
    EXPECT_DOUBLE_EQ(camera->GetApertureWidth(), 0.816);
    EXPECT_DOUBLE_EQ(camera->GetApertureHeight(), 0.612);
    EXPECT_DOUBLE_EQ(camera->GetFilmAspectRatio(), 0.816 / 0.612);
    EXPECT_EQ(camera->GetApertureMode(), KFbxCamera::eVERTICAL);
    EXPECT_DOUBLE_EQ(camera->GetAspectWidth(), 320.0);
    EXPECT_DOUBLE_EQ(camera->GetAspectHeight(), 200.0);
    EXPECT_DOUBLE_EQ(camera->GetNearPlane(), 10.0);
    EXPECT_DOUBLE_EQ(camera->GetFarPlane(), 4000.0);
    EXPECT_EQ(camera->GetBackgroundFileName(), nullptr);
    EXPECT_EQ(camera->GetBackgroundMediaName(), nullptr);
    EXPECT_EQ(camera->GetSafeAreaStyle(), KFbxCamera::eSQUARE);
    EXPECT_DOUBLE_EQ(camera->GetSafeAreaAspectRatio(), 1.33333333333333);
    EXPECT_DOUBLE_EQ(camera->GetAntialiasingIntensity(), 0.77777);
    EXPECT_EQ(camera->GetFrameSamplingCount(), 7);
    EXPECT_EQ(camera->GetFrameSamplingType(), KFbxCamera::eSTOCHASTIC);
    const KFbxColor background = camera->GetDefaultBackgroundColor();
    EXPECT_DOUBLE_EQ(background.mRed, 0.63);
    EXPECT_DOUBLE_EQ(background.mAlpha, 1.0);
    const KFbxColor frame = camera->GetFrameColor();
    EXPECT_DOUBLE_EQ(frame.mGreen, 0.3);
    EXPECT_DOUBLE_EQ(frame.mAlpha, 1.0);
    EXPECT_DOUBLE_EQ(camera->Get2DMagnifierZoom(), 100.0);

    // A second reset knows the film back: 40 degrees over 0.612 inches.
    camera->Reset();
    const double expected = 0.612 * 25.4 / std::tan(20.0 * kPi / 180.0) * 0.5;
    EXPECT_NEAR(camera->GetDefaultFocalLength(), expected, 1e-9);
}

TEST_F(KFbxCameraTest, PropertiesAreRegisteredInFileOrderWithTheAnimatedOnesFlagged) {
    KFbxCamera* camera = Make();
    // The attribute's colour comes first, then the camera's own list.
    EXPECT_STREQ(camera->GetPropertyAt(1).GetName(), "Roll");
    EXPECT_STREQ(camera->GetPropertyAt(9).GetName(), "DisplayTurnTableIcon");
    EXPECT_STREQ(camera->GetPropertyAt(10).GetName(), "Motion Blur Intensity");
    EXPECT_STREQ(camera->GetPropertyAt(16).GetName(), "FocalLength");
    EXPECT_STREQ(camera->GetPropertyAt(camera->GetPropertyCount() - 1).GetName(), "FrameSamplingCount");
    EXPECT_TRUE(camera->FindProperty("FieldOfView").GetFlag(KFbxProperty::kAnimatable));
    EXPECT_TRUE(camera->FindProperty("2D Magnifier Y").GetFlag(KFbxProperty::kAnimatable));
    EXPECT_FALSE(camera->FindProperty("NearPlane").GetFlag(KFbxProperty::kAnimatable));
    EXPECT_STREQ(camera->FindProperty("CameraFormat").GetEnumValue(10), "Full Screen");
    EXPECT_EQ(camera->FindProperty("CameraFormat").GetEnumCount(), 11);
    EXPECT_STREQ(camera->FindProperty("FieldOfView").GetPropertyDataType().GetName(), "FieldOfView");
    EXPECT_STREQ(camera->FindProperty("FocalLength").GetPropertyDataType().GetName(), "Real");
    EXPECT_EQ(camera->FindProperty("FrameColor").GetPropertyDataType().GetType(), eFbxValueDouble4);

    // The twin holds the same properties in the same order, each found by its name.
    const KObject* twin = camera->GetInternalObject();
    ASSERT_EQ(twin->GetPropertyCount(), camera->GetPropertyCount());
    for (int index = 0; index < camera->GetPropertyCount(); ++index) {
        const KFbxProperty property = camera->GetPropertyAt(index);
        EXPECT_STREQ(twin->GetPropertyAt(index)->GetName(), property.GetName());
        EXPECT_EQ(twin->FindProperty(property.GetName()), twin->GetPropertyAt(index));
        const KFbxProperty* handle = camera->FindPropertyByInternal(twin->GetPropertyAt(index));
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(*handle, property);
    }
    EXPECT_EQ(camera->GetCameraProperty(KFbxCamera::eRoll), camera->GetPropertyAt(1));
}

TEST_F(KFbxCameraTest, ClippingPlanesAreClampedAndKeptInOrder) {
    KFbxCamera* camera = Make();
    camera->SetNearPlane(0.0);
    EXPECT_DOUBLE_EQ(camera->GetNearPlane(), 0.001);
    camera->SetNearPlane(5000.0);
    EXPECT_DOUBLE_EQ(camera->GetFarPlane(), 5000.0);
    camera->SetNearPlane(10.0);
    camera->SetFarPlane(5.0);
    EXPECT_DOUBLE_EQ(camera->GetFarPlane(), 5.0);
    EXPECT_DOUBLE_EQ(camera->GetNearPlane(), 5.0);
    camera->SetFarPlane(1e9);
    EXPECT_DOUBLE_EQ(camera->GetFarPlane(), 600000.0);
}

TEST_F(KFbxCameraTest, FieldOfViewIsClampedAndGoesToTheDefaultTakeWhenAttached) {
    KFbxCamera* camera = Make();
    camera->SetDefaultFieldOfView(0.5);
    EXPECT_DOUBLE_EQ(camera->GetDefaultFieldOfView(), 1.0);
    camera->SetDefaultFieldOfView(200.0);
    EXPECT_DOUBLE_EQ(camera->GetDefaultFieldOfView(), 179.0);
    camera->SetDefaultFieldOfViewY(-3.0);
    EXPECT_DOUBLE_EQ(camera->GetDefaultFieldOfViewY(), 1.0);

    KFbxNode* node = Attach(camera);
    // The value given before attaching stays, and the focal length of the
    // takes follows from it.
    EXPECT_DOUBLE_EQ(camera->GetDefaultFieldOfView(), 179.0);
    EXPECT_NEAR(node->GetTakeNode(1)->GetCameraFocalLength()->GetValue(), camera->ComputeFocalLength(179.0), 1e-4);
    camera->SetDefaultFieldOfView(60.25);
    EXPECT_FLOAT_EQ(node->GetDefaultTakeNode()->GetCameraFieldOfView()->GetValue(), 60.25f);
    EXPECT_DOUBLE_EQ(camera->GetDefaultFieldOfView(), 60.25);
    EXPECT_DOUBLE_EQ(camera->FindProperty("FieldOfView").GetDouble(), 60.25);
}

TEST_F(KFbxCameraTest, RollAndTurnTableReadThePropertyEvenWhenTheCurveDiffers) {
    KFbxCamera* camera = Make();
    KFbxNode* node = Attach(camera);
    camera->SetRoll(12.0);
    EXPECT_FLOAT_EQ(node->GetDefaultTakeNode()->GetCameraRoll()->GetValue(), 12.0f);
    // The property alone changes: roll is read from it, a field of view
    // from the curve.
    const double five = 5.0;
    camera->FindProperty("Roll").Set(&five, eFbxValueDouble);
    camera->FindProperty("FieldOfView").Set(&five, eFbxValueDouble);
    EXPECT_DOUBLE_EQ(camera->GetDefaultRoll(), 5.0);
    EXPECT_DOUBLE_EQ(camera->GetDefaultFieldOfView(), static_cast<double>(25.115f));
    camera->SetTurnTable(3.0);
    EXPECT_DOUBLE_EQ(camera->GetDefaultTurnTable(), 3.0);
}

TEST_F(KFbxCameraTest, ChannelsComeWithAttachmentInEveryTakeAndLeaveWithDetachment) {
    KFbxCamera* camera = Make();
    KFbxNode* node = Attach(camera);
    ASSERT_EQ(node->GetTakeNodeCount(), 2);
    for (int take = 0; take < 2; ++take) {
        KFCurveNode* root = node->GetTakeNode(take)->GetKFCurveNode();
        for (const char* channel : kChannels) {
            EXPECT_GE(root->FindChildByName(channel), 0) << channel << " in take " << take;
        }
        EXPECT_NE(ChannelCurve(node->GetTakeNode(take), "BackgroundColor", "Z"), nullptr);
    }
    // A camera given nothing starts its takes at 25.115 degrees, and the
    // focal length follows from that.
    const KFCurve* fieldOfView = node->GetTakeNode(1)->GetCameraFieldOfView();
    ASSERT_NE(fieldOfView, nullptr);
    EXPECT_FLOAT_EQ(fieldOfView->GetValue(), 25.115f);
    EXPECT_NEAR(node->GetTakeNode(1)->GetCameraFocalLength()->GetValue(), camera->ComputeFocalLength(25.115), 1e-4);
    EXPECT_FLOAT_EQ(node->GetTakeNode(1)->GetCameraFieldOfViewX()->GetValue(), 40.0f);

    // A changed default-take curve reaches the property through its link.
    node->GetDefaultTakeNode()->GetCameraOpticalCenterX()->SetValue(0.25f);
    EXPECT_DOUBLE_EQ(camera->FindProperty("OpticalCenterX").GetDouble(), 0.25);

    node->SetNodeAttribute(nullptr);
    EXPECT_EQ(camera->GetNode(), nullptr);
    for (int take = 0; take < 2; ++take) {
        KFCurveNode* root = node->GetTakeNode(take)->GetKFCurveNode();
        for (const char* channel : kChannels) {
            EXPECT_LT(root->FindChildByName(channel), 0) << channel << " in take " << take;
        }
    }
    // The links went with the curves: the property no longer follows anything.
    EXPECT_DOUBLE_EQ(camera->GetDefaultOpticalCenterX(), 0.25);
    camera->Destroy();
}

TEST_F(KFbxCameraTest, ALaterTakeAndADestroyedCamera) {
    KFbxCamera* camera = Make();
    KFbxNode* node = Attach(camera);
    KFbxTakeNode* later = node->CreateTakeNode("Later");
    ASSERT_NE(later, nullptr);
    EXPECT_NE(later->GetCameraFieldOfView(), nullptr);
    const int linksBefore = node->GetPropertyLinkCount();
    ASSERT_GT(linksBefore, 0);
    // The camera goes while attached: its channels and links go with it, so
    // no curve is left writing into a property that is gone.
    camera->Destroy();
    EXPECT_EQ(node->GetNodeAttribute(), nullptr);
    EXPECT_EQ(node->GetDefaultTakeNode()->GetCameraFieldOfView(), nullptr);
    EXPECT_LT(node->GetPropertyLinkCount(), linksBefore);
    EXPECT_EQ(later->GetCameraFieldOfView(), nullptr);
}

TEST_F(KFbxCameraTest, AttachingKeepsTheValuesTheCameraHad) {
    KFbxCamera* camera = Make();
    const double blue[3] = {0.1, 0.2, 0.9};
    camera->SetDefaultBackgroundColor(blue);
    camera->SetDefaultRoll(20.0);
    camera->SetDefaultFieldOfView(55.0);
    KFbxNode* node = Attach(camera);
    EXPECT_DOUBLE_EQ(camera->GetDefaultRoll(), 20.0);
    EXPECT_DOUBLE_EQ(camera->GetDefaultFieldOfView(), 55.0);
    EXPECT_FLOAT_EQ(node->GetTakeNode(1)->GetCameraRoll()->GetValue(), 20.0f);
    // A reset forgets what was given: the next node's takes start afresh.
    KFbxCamera* reset = Make();
    reset->SetDefaultRoll(20.0);
    reset->Reset();
    Attach(reset);
    EXPECT_DOUBLE_EQ(reset->GetDefaultRoll(), 0.0);
    EXPECT_DOUBLE_EQ(reset->GetDefaultFieldOfView(), static_cast<double>(25.115f));
    EXPECT_FLOAT_EQ(ChannelCurve(node->GetTakeNode(1), "BackgroundColor", "Z")->GetValue(), 0.9f);
    const KFbxColor colour = camera->GetDefaultBackgroundColor();
    EXPECT_NEAR(colour.mRed, 0.1, 1e-6);
    EXPECT_NEAR(colour.mBlue, 0.9, 1e-6);
    EXPECT_DOUBLE_EQ(colour.mAlpha, 1.0);
}

TEST_F(KFbxCameraTest, PositionIsTheNodeTranslation) {
    KFbxCamera* camera = Make();
    camera->SetPosition(KFbxVector4(1.0, 2.0, 3.0, 1.0));
    EXPECT_DOUBLE_EQ(camera->GetPosition()[2], 0.0);
    KFbxNode* node = Attach(camera);
    camera->SetPosition(KFbxVector4(1.0, 2.0, 3.0, 1.0));
    KFbxVector4 translation;
    node->GetLclTranslation(translation);
    EXPECT_DOUBLE_EQ(translation[1], 2.0);
    EXPECT_DOUBLE_EQ(camera->GetPosition()[2], 3.0);
}

TEST_F(KFbxCameraTest, PlacementBitsAndRenderUsage) {
    KFbxCamera* camera = Make();
    camera->SetBackgroundPlacementOptions(5);
    bool fit = false;
    bool center = true;
    camera->FindProperty("FitImage").Get(&fit, eFbxValueBool);
    camera->FindProperty("Center").Get(&center, eFbxValueBool);
    EXPECT_TRUE(fit);
    EXPECT_FALSE(center);
    EXPECT_EQ(camera->GetBackgroundPlacementOptions(), 5);

    EXPECT_EQ(camera->GetRenderOptionsUsageTime(), KFbxCamera::eAT_RENDER);
    camera->SetRenderOptionsUsageTime(0);
    EXPECT_EQ(camera->GetRenderOptionsUsageTime(), KFbxCamera::eINTERACTIVE);
    camera->SetRenderOptionsUsageTime(2);
    EXPECT_EQ(camera->GetRenderOptionsUsageTime(), KFbxCamera::eINTERACTIVE);
}

TEST_F(KFbxCameraTest, ApertureFormatsFillTheFilmBack) {
    KFbxCamera* camera = Make();
    camera->SetApertureFormat(KFbxCamera::e35MM_ANAMORPHIC);
    EXPECT_DOUBLE_EQ(camera->GetApertureWidth(), 0.864);
    EXPECT_DOUBLE_EQ(camera->GetApertureHeight(), 0.732);
    EXPECT_DOUBLE_EQ(camera->GetSqueezeRatio(), 2.0);
    EXPECT_DOUBLE_EQ(camera->GetFilmAspectRatio(), 0.864 / 0.732);

    camera->SetApertureWidth(0.864);
    EXPECT_EQ(camera->GetApertureFormat(), KFbxCamera::e35MM_ANAMORPHIC);
    camera->SetApertureWidth(0.00001);
    EXPECT_DOUBLE_EQ(camera->GetApertureWidth(), 0.0001);
    EXPECT_EQ(camera->GetApertureFormat(), KFbxCamera::eCUSTOM_APERTURE_FORMAT);
    EXPECT_DOUBLE_EQ(camera->GetFilmAspectRatio(), 0.0001 / 0.732);

    // Unknown formats keep the film values.
    camera->SetApertureFormat(static_cast<KFbxCamera::ECameraApertureFormat>(12));
    EXPECT_EQ(camera->GetApertureFormat(), KFbxCamera::eCUSTOM_APERTURE_FORMAT);
    EXPECT_DOUBLE_EQ(camera->GetApertureHeight(), 0.732);
    EXPECT_STREQ(KFbxCamera::GetApertureFormatName(11), "Imax");
    EXPECT_EQ(KFbxCamera::GetApertureFormatName(12), nullptr);
}

TEST_F(KFbxCameraTest, ResolutionFormatsRestoreTheResolutionMode) {
    KFbxCamera* camera = Make();
    camera->SetFormat(KFbxCamera::eD1_NTSC);
    EXPECT_EQ(camera->GetAspectRatioMode(), KFbxCamera::eFIXED_RESOLUTION);
    EXPECT_DOUBLE_EQ(camera->GetAspectWidth(), 720.0);
    EXPECT_DOUBLE_EQ(camera->GetAspectHeight(), 486.0);
    EXPECT_NEAR(camera->GetPixelRatio(), 0.8999999999775, 1e-13);
    EXPECT_EQ(camera->GetFormat(), KFbxCamera::eD1_NTSC);

    camera->SetAspect(KFbxCamera::eFIXED_RATIO, 1.5, 0.0);
    camera->SetFormat(KFbxCamera::eHD);
    EXPECT_EQ(camera->GetAspectRatioMode(), KFbxCamera::eFIXED_RATIO);
    EXPECT_NEAR(camera->GetAspectWidth(), 1.7777777777, 1e-12);
    EXPECT_DOUBLE_EQ(camera->GetAspectHeight(), 1.0);
    EXPECT_EQ(camera->GetFormat(), KFbxCamera::eHD);

    camera->SetAspect(KFbxCamera::eFIXED_WIDTH, 640.0, 480.0);
    camera->SetFormat(KFbxCamera::eNTSC);
    EXPECT_EQ(camera->GetAspectRatioMode(), KFbxCamera::eFIXED_WIDTH);
    EXPECT_DOUBLE_EQ(camera->GetAspectHeight(), 480.0 / 640.0);

    const double width = camera->GetAspectWidth();
    camera->SetFormat(static_cast<KFbxCamera::ECameraFormat>(9));
    EXPECT_EQ(camera->GetFormat(), KFbxCamera::eCUSTOM_FORMAT);
    EXPECT_DOUBLE_EQ(camera->GetAspectWidth(), width);
    EXPECT_EQ(KFbxCamera::GetFormatName(9), nullptr);
    EXPECT_STREQ(KFbxCamera::GetFormatName(10), "Full Screen");
}

TEST_F(KFbxCameraTest, PixelRatioAndAspectLimits) {
    KFbxCamera* camera = Make();
    camera->SetFormat(KFbxCamera::ePAL);
    camera->SetPixelRatio(camera->GetPixelRatio());
    EXPECT_EQ(camera->GetFormat(), KFbxCamera::ePAL);
    camera->SetPixelRatio(0.01);
    EXPECT_DOUBLE_EQ(camera->GetPixelRatio(), 0.05);
    EXPECT_EQ(camera->GetFormat(), KFbxCamera::eCUSTOM_FORMAT);
    camera->SetPixelRatio(100.0);
    EXPECT_DOUBLE_EQ(camera->GetPixelRatio(), 20.0);

    camera->SetFormat(KFbxCamera::e640x480);
    camera->SetAspect(static_cast<KFbxCamera::ECameraAspectRatioMode>(7), 10.0, 10.0);
    EXPECT_DOUBLE_EQ(camera->GetAspectWidth(), 640.0);
    EXPECT_DOUBLE_EQ(camera->GetAspectHeight(), 480.0);
    EXPECT_EQ(camera->GetFormat(), KFbxCamera::eCUSTOM_FORMAT);
    EXPECT_EQ(camera->GetAspectRatioMode(), 7);

    camera->SetAspect(KFbxCamera::eFIXED_RESOLUTION, 0.5, -2.0);
    EXPECT_DOUBLE_EQ(camera->GetAspectWidth(), 1.0);
    EXPECT_DOUBLE_EQ(camera->GetAspectHeight(), 1.0);
    EXPECT_DOUBLE_EQ(KFbxCamera::ComputePixelRatio(0, 0, 2.0), 2.0);
}

TEST_F(KFbxCameraTest, FieldOfViewAndFocalLengthConvertBothWays) {
    KFbxCamera* camera = Make();
    ASSERT_EQ(camera->GetApertureMode(), KFbxCamera::eVERTICAL);
    const double focal = camera->ComputeFocalLength(25.115);
    EXPECT_NEAR(camera->ComputeFieldOfView(focal), 25.115, 1e-12);
    EXPECT_DOUBLE_EQ(camera->ComputeFieldOfView(0.0), 0.0);
    EXPECT_DOUBLE_EQ(camera->ComputeFocalLength(0.0), 0.0);

    // Horizontally the squeezed width counts.
    camera->SetApertureMode(KFbxCamera::eHORIZONTAL);
    camera->SetApertureFormat(KFbxCamera::e35MM_ANAMORPHIC);
    const double aperture = 0.864 * 25.4 * 2.0;
    EXPECT_NEAR(camera->ComputeFieldOfView(50.0), 2.0 * std::atan(aperture / 100.0) * 180.0 / kPi, 1e-9);
}

TEST_F(KFbxCameraTest, NaNPassesTheClamps) {
    KFbxCamera* camera = Make();
    camera->SetNearPlane(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(camera->GetNearPlane()));
    camera->SetDefaultFieldOfView(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(camera->GetDefaultFieldOfView()));
}

TEST_F(KFbxCameraTest, CloneFramesTheSceneAsTheOriginal) {
    KFbxCamera* camera = Make("original");
    camera->SetApertureFormat(KFbxCamera::eIMAX);
    camera->SetFormat(KFbxCamera::eHD);
    camera->SetNearPlane(2.0);
    camera->SetDefaultFieldOfView(33.0);
    camera->SetDefaultOpticalCenterY(0.5);
    camera->SetDefaultFocalLength(70.0);
    camera->SetFrameColor(KFbxColor(0.1, 0.2, 0.3, 0.4));
    camera->SetBackgroundFileName("sky.tga");
    camera->SetOrthoZoom(3.0);
    camera->SetUpVector(KFbxVector4(0.0, 0.0, 1.0, 1.0));
    EXPECT_EQ(camera->Clone(0), nullptr);
    auto* copy = static_cast<KFbxCamera*>(camera->Clone(2));
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->GetName(), "");
    EXPECT_EQ(copy->GetApertureFormat(), KFbxCamera::eIMAX);
    EXPECT_EQ(copy->GetFormat(), KFbxCamera::eHD);
    EXPECT_DOUBLE_EQ(copy->GetNearPlane(), 2.0);
    EXPECT_DOUBLE_EQ(copy->GetDefaultFieldOfView(), 33.0);
    EXPECT_DOUBLE_EQ(copy->GetDefaultOpticalCenterY(), 0.5);
    EXPECT_DOUBLE_EQ(copy->GetDefaultFocalLength(), 70.0);
    EXPECT_DOUBLE_EQ(copy->GetFrameColor().mAlpha, 0.4);
    EXPECT_STREQ(copy->GetBackgroundFileName(), "sky.tga");
    EXPECT_DOUBLE_EQ(copy->GetOrthoZoom(), 3.0);
    EXPECT_DOUBLE_EQ(copy->GetUpVector()[2], 1.0);
}

TEST_F(KFbxCameraTest, EnumerationTexts) {
    EXPECT_STREQ(KFbxCamera::GetGateFitName(0), "Horizontal Fit");
    EXPECT_STREQ(KFbxCamera::GetGateFitName(2), "Horizontal Fit");
    EXPECT_EQ(KFbxCamera::GetGateFitName(6), nullptr);
    EXPECT_STREQ(KFbxCamera::GetAspectRatioModeName(4), "Fixed Height Resolution");
    EXPECT_STREQ(KFbxCamera::GetBackgroundDrawingModeName(2), "Background & Forground");
    EXPECT_STREQ(KFbxCamera::GetProjectionTypeName(1), "Orthographic");
    EXPECT_EQ(KFbxCamera::GetFocusDistanceSourceName(-1), nullptr);
}

}  // namespace
