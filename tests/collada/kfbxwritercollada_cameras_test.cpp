// Cameras and lights written into their libraries, the scene's ambient
// colour as one extra light, and what the reader makes of them again.
#include "collada/ColladaWriteQueries.h"
#include "collada/ColladaWriterScenes.h"

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/collada/ColladaXmlWrite.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/formats/KFbxFormats3ds.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>

#include <cmath>
#include <filesystem>
#include <limits>

namespace fbxsdk_2006_11_1::colladatest {
namespace {

using ::testing::ElementsAre;

class ColladaWriteCamerasTest : public ColladaWriteQueryTest {
protected:
    KFbxCamera* AddCamera(const char* name) {
        KFbxCamera* camera = KFbxCamera::Create(mManager, "");
        AddNode(mManager, mScene->GetRootNode(), name, camera);
        return camera;
    }
    KFbxLight* AddLight(const char* name, int type) {
        KFbxLight* light = KFbxLight::Create(mManager, "");
        light->SetLightType(type);
        AddNode(mManager, mScene->GetRootNode(), name, light);
        return light;
    }
    std::string Projection(const char* cameraId) const {
        return std::string("//c:camera[@id='") + cameraId + "']/c:optics/c:technique_common/*";
    }
};

TEST_F(ColladaWriteCamerasTest, PerspectiveCameraCarriesTheAngleOfItsApertureMode) {
    KFbxCamera* cam = AddCamera("Cam");
    cam->SetApertureMode(KFbxCamera::eVERTICAL);
    cam->SetDefaultFieldOfView(40.0);
    KFbxCamera* wide = AddCamera("Wide");
    wide->SetApertureMode(KFbxCamera::eHORIZONTAL);
    wide->SetDefaultFieldOfView(70.0);
    KFbxCamera* both = AddCamera("Both");
    both->SetApertureMode(KFbxCamera::eHORIZONTAL_AND_VERTICAL);
    both->SetDefaultFieldOfViewX(50.0);
    both->SetDefaultFieldOfViewY(30.0);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();

    ASSERT_EQ(Select("//c:library_cameras/c:camera[@id='Cam-lib'][@name='CamMesh']").size(), 1u);
    EXPECT_THAT(NamesUnder(Projection("Cam-lib")), ElementsAre("yfov", "aspect_ratio", "znear", "zfar"));
    EXPECT_EQ(Text("//c:camera[@id='Cam-lib']//c:yfov[@sid='yfov']"), "40.000000");
    EXPECT_THAT(NamesUnder(Projection("Wide-lib")), ElementsAre("xfov", "aspect_ratio", "znear", "zfar"));
    EXPECT_EQ(Text("//c:camera[@id='Wide-lib']//c:xfov[@sid='xfov']"), "70.000000");
    // Both angles leave no room for an aspect ratio.
    EXPECT_THAT(NamesUnder(Projection("Both-lib")), ElementsAre("xfov", "yfov", "znear", "zfar"));
    EXPECT_EQ(Text("//c:camera[@id='Both-lib']//c:xfov"), "50.000000");
    EXPECT_EQ(Text("//c:camera[@id='Both-lib']//c:yfov"), "30.000000");
    EXPECT_EQ(Select("//c:node[@id='Cam']//c:instance_camera[@url='#Cam-lib']").size(), 1u);
}

TEST_F(ColladaWriteCamerasTest, FocalLengthCameraWritesTheAngleAcrossItsFilm) {
    KFbxCamera* camera = AddCamera("Lens");
    camera->SetApertureMode(static_cast<KFbxCamera::ECameraApertureMode>(3));
    camera->SetDefaultFocalLength(50.0);
    const double expected = camera->ComputeFieldOfView(50.0);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_THAT(NamesUnder(Projection("Lens-lib")), ElementsAre("xfov", "aspect_ratio", "znear", "zfar"));
    EXPECT_EQ(Text("//c:camera[@id='Lens-lib']//c:xfov"), ColladaXml::FormatNumber(expected).Buffer());
}

TEST_F(ColladaWriteCamerasTest, UnknownApertureModeWarnsAndStillGivesAValidPerspective) {
    KFbxCamera* camera = AddCamera("Odd");
    camera->SetApertureMode(static_cast<KFbxCamera::ECameraApertureMode>(9));
    camera->SetDefaultFieldOfView(33.0);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_TRUE(WriteMessageHas("Warning: unknown camera aperture mode for camera: Odd")) << mWriteMessage.Buffer();
    EXPECT_FALSE(WriteMessageHas("Warning: Warning:"));
    EXPECT_EQ(Text("//c:camera[@id='Odd-lib']//c:yfov"), "33.000000");
}

TEST_F(ColladaWriteCamerasTest, OrthographicCameraAndFilmBackInCentimetres) {
    KFbxCamera* camera = AddCamera("Top");
    camera->SetProjectionType(KFbxCamera::eORTHOGONAL);
    camera->SetOrthoZoom(2.5);
    camera->SetApertureHeight(1.0);
    camera->SetApertureWidth(2.0);
    camera->SetSqueezeRatio(1.5);
    camera->SetNearPlane(0.5);
    camera->SetFarPlane(900.0);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_THAT(NamesUnder(Projection("Top-lib")), ElementsAre("xmag", "aspect_ratio", "znear", "zfar"));
    const std::string orthographic = "//c:camera[@id='Top-lib']//c:orthographic/";
    EXPECT_EQ(Text(orthographic + "c:xmag[@sid='xmag']"), "2.500000");
    EXPECT_EQ(Text(orthographic + "c:aspect_ratio"), "2.000000");
    EXPECT_EQ(Text(orthographic + "c:znear[@sid='znear']"), "0.500000");
    EXPECT_EQ(Text(orthographic + "c:zfar[@sid='zfar']"), "900.000000");
    const std::string maya = "//c:camera[@id='Top-lib']/c:optics/c:technique[@profile='MAYA']";
    EXPECT_THAT(NamesUnder(maya), ElementsAre("vertical_aperture", "horizontal_aperture", "lens_squeeze"));
    // 2.54 as a single-precision number lies just below 2.54, and the result is cut.
    EXPECT_EQ(Text(maya + "/c:vertical_aperture"), "2.539990");
    EXPECT_EQ(Text(maya + "/c:horizontal_aperture[@sid='haperture']"), "5.079990");
    EXPECT_EQ(Text(maya + "/c:lens_squeeze[@sid='lenssqueeze']"), "1.500000");
}

TEST_F(ColladaWriteCamerasTest, FilmWithoutUsableAspectLeavesTheRatioOut) {
    KFbxCamera* camera = AddCamera("Flat");
    camera->SetApertureMode(KFbxCamera::eVERTICAL);
    camera->SetApertureHeight(std::numeric_limits<double>::infinity());
    KFbxCamera* orthographic = AddCamera("FlatTop");
    orthographic->SetProjectionType(KFbxCamera::eORTHOGONAL);
    orthographic->SetApertureHeight(std::numeric_limits<double>::infinity());
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_THAT(NamesUnder(Projection("Flat-lib")), ElementsAre("yfov", "znear", "zfar"));
    EXPECT_THAT(NamesUnder(Projection("FlatTop-lib")), ElementsAre("xmag", "znear", "zfar"));
}

TEST_F(ColladaWriteCamerasTest, LightsOfEachKind) {
    KFbxLight* point = AddLight("Bulb", KFbxLight::ePOINT);
    const double warm[3] = {1.0, 0.5, 0.25};
    point->SetDefaultColor(warm);
    point->SetDefaultIntensity(100.0);
    KFbxLight* spot = AddLight("Spot", KFbxLight::eSPOT);
    spot->SetDefaultConeAngle(35.0);
    spot->SetDefaultIntensity(-50.0);
    AddLight("Sun", KFbxLight::eDIRECTIONAL);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();

    EXPECT_THAT(NamesUnder("//c:light[@id='Bulb-lib'][@name='BulbMesh']"), ElementsAre("technique_common", "technique"));
    EXPECT_THAT(NamesUnder("//c:light[@id='Bulb-lib']/c:technique_common/c:point"), ElementsAre("color"));
    EXPECT_EQ(Text("//c:light[@id='Bulb-lib']//c:point/c:color[@sid='color']"), "1.000000 0.500000 0.250000");
    EXPECT_EQ(Text("//c:light[@id='Bulb-lib']/c:technique[@profile='MAYA']/c:intensity[@sid='intensity']"),
              "1.000000");
    EXPECT_THAT(NamesUnder("//c:light[@id='Spot-lib']/c:technique_common/c:spot"), ElementsAre("color", "falloff_angle"));
    EXPECT_EQ(Text("//c:light[@id='Spot-lib']//c:falloff_angle[@sid='angle']"), "35.000000");
    // A negative intensity is a number like any other.
    EXPECT_EQ(Text("//c:light[@id='Spot-lib']//c:intensity"), "-0.500000");
    EXPECT_EQ(Select("//c:light[@id='Sun-lib']/c:technique_common/c:directional/c:color").size(), 1u);
    EXPECT_EQ(Select("//c:node[@id='Sun']//c:instance_light[@url='#Sun-lib']").size(), 1u);
}

TEST_F(ColladaWriteCamerasTest, ValuesThatAreNoNumbersAreWrittenAsZeroWithAWarning) {
    KFbxLight* light = AddLight("Odd", KFbxLight::eSPOT);
    const double color[3] = {std::nan(""), 0.5, std::numeric_limits<double>::infinity()};
    light->SetDefaultColor(color);
    light->SetDefaultIntensity(std::nan(""));
    AddCamera("Wide")->SetOrthoZoom(std::numeric_limits<double>::infinity());
    dynamic_cast<KFbxCamera*>(mScene->GetRootNode()->FindChild("Wide")->GetCamera())
        ->SetProjectionType(KFbxCamera::eORTHOGONAL);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_EQ(Text("//c:light[@id='Odd-lib']//c:spot/c:color"), "0.000000 0.500000 0.000000");
    EXPECT_EQ(Text("//c:light[@id='Odd-lib']//c:intensity"), "0.000000");
    EXPECT_EQ(Text("//c:camera[@id='Wide-lib']//c:xmag"), "0.000000");
    EXPECT_TRUE(WriteMessageHas("Warning: Light Odd has values that are not finite numbers")) << mWriteMessage.Buffer();
    EXPECT_TRUE(WriteMessageHas("Warning: Camera Wide has values that are not finite numbers")) << mWriteMessage.Buffer();
}

TEST_F(ColladaWriteCamerasTest, LightOfUnknownTypeIsLeftOutWithAWarning) {
    KFbxLight* light = AddLight("Strange", KFbxLight::ePOINT);
    light->SetLightType(7);
    if (light->GetLightType() != 7) {
        GTEST_SKIP() << "lights keep only the types they know";
    }
    AddLight("Known", KFbxLight::eSPOT);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_TRUE(WriteMessageHas("Warning: Light Strange is of unknown type 7; it is left out.")) << mWriteMessage.Buffer();
    EXPECT_EQ(Select("//c:node[@id='Strange']").size(), 1u);
    EXPECT_TRUE(Select("//c:node[@id='Strange']/c:instance_light").empty());
    EXPECT_EQ(Texts("//c:instance_light/@url"), std::vector<std::string>{"#Known-lib"});
}

TEST_F(ColladaWriteCamerasTest, AmbientColourBecomesOneAmbientLight) {
    mScene->GetGlobalLightSettings().SetAmbientColor(KFbxColor(0.0, 0.0, 0.1, 1.0));
    AddNode(mManager, mScene->GetRootNode(), "Box", nullptr);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_THAT(NamesUnder("//c:light[@id='SceneAmbient-lib'][@name='SceneAmbientMesh']"),
                ElementsAre("technique_common"));
    EXPECT_EQ(Text("//c:light[@id='SceneAmbient-lib']/c:technique_common/c:ambient/c:color"),
              "0.000000 0.000000 0.100000");
}

TEST_F(ColladaWriteCamerasTest, BlackAmbientWritesNoLight) {
    mScene->GetGlobalLightSettings().SetAmbientColor(KFbxColor(0.0, 0.0, 0.0, 1.0));
    AddNode(mManager, mScene->GetRootNode(), "Box", nullptr);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_TRUE(Select("//c:library_lights").empty());
}

TEST_F(ColladaWriteCamerasTest, AmbientLightBesideANodeOfItsNameKeepsIdsUnique) {
    AddLight("SceneAmbient", KFbxLight::ePOINT);
    mScene->GetGlobalLightSettings().SetAmbientColor(KFbxColor(0.2, 0.2, 0.2, 1.0));
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_EQ(Select("//c:light").size(), 2u);
    EXPECT_EQ(Select("//c:light[c:technique_common/c:ambient]").size(), 1u);
}

TEST_F(ColladaWriteCamerasTest, CamerasAndLightsReadBackWithTheirValues) {
    KFbxCamera* camera = AddCamera("Cam");
    camera->SetApertureMode(KFbxCamera::eVERTICAL);
    camera->SetDefaultFieldOfView(40.0);
    camera->SetNearPlane(2.0);
    camera->SetFarPlane(5000.0);
    KFbxLight* spot = AddLight("Spot", KFbxLight::eSPOT);
    const double red[3] = {0.75, 0.125, 0.0};
    spot->SetDefaultColor(red);
    spot->SetDefaultConeAngle(42.0);
    spot->SetDefaultIntensity(80.0);
    mScene->GetGlobalLightSettings().SetAmbientColor(KFbxColor(0.25, 0.5, 0.125, 1.0));
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();

    KFbxScene* scene = ReadBack(mWrittenPath);
    ASSERT_NE(scene, nullptr) << mMessage.Buffer();
    KFbxNode* camNode = scene->GetRootNode()->FindChild("Cam", true);
    ASSERT_NE(camNode, nullptr);
    const auto* readCamera = dynamic_cast<const KFbxCamera*>(camNode->GetCamera());
    ASSERT_NE(readCamera, nullptr);
    EXPECT_EQ(readCamera->GetApertureMode(), KFbxCamera::eVERTICAL);
    EXPECT_NEAR(readCamera->GetDefaultFieldOfView(), 40.0, 1e-6);
    EXPECT_NEAR(readCamera->GetNearPlane(), 2.0, 1e-6);
    EXPECT_NEAR(readCamera->GetFarPlane(), 5000.0, 1e-6);
    KFbxNode* spotNode = scene->GetRootNode()->FindChild("Spot", true);
    ASSERT_NE(spotNode, nullptr);
    const auto* readSpot = dynamic_cast<const KFbxLight*>(spotNode->GetLight());
    ASSERT_NE(readSpot, nullptr);
    EXPECT_EQ(readSpot->GetLightType(), KFbxLight::eSPOT);
    double color[3] = {};
    readSpot->GetDefaultColor(color);
    EXPECT_NEAR(color[0], 0.75, 1e-6);
    EXPECT_NEAR(color[1], 0.125, 1e-6);
    EXPECT_NEAR(readSpot->GetDefaultConeAngle(), 42.0, 1e-6);
    EXPECT_NEAR(readSpot->GetDefaultIntensity(), 80.0, 1e-4);
    const KFbxColor ambient = scene->GetGlobalLightSettings().GetAmbientColor();
    EXPECT_NEAR(ambient.mRed, 0.25, 1e-6);
    EXPECT_NEAR(ambient.mGreen, 0.5, 1e-6);
    EXPECT_NEAR(ambient.mBlue, 0.125, 1e-6);
}

// COLLADA's cameras have no roll: it turns the camera's node about the line
// of sight, keys and all, and comes back as the camera's roll.
TEST_F(ColladaWriteCamerasTest, RollAndItsAnimationTurnTheNodeAndReadBack) {
    KFbxCamera* camera = AddCamera("Rolling");
    camera->SetDefaultRoll(30.0);
    KFbxNode* node = mScene->GetRootNode()->FindChild("Rolling");
    node->SetLclTranslation(Point(0, 0, 5));
    AddCamera("Steady");
    // A camera and a spot light that look at targets, whatever their own
    // rotations say: along the direction to the target, up as near the
    // scene's up as that allows, the camera rolled about its view.
    AddCamera("Aimed")->SetDefaultRoll(90.0);
    KFbxNode* aimed = mScene->GetRootNode()->FindChild("Aimed");
    aimed->SetLclTranslation(Point(1, 2, 3));
    aimed->SetLclRotation(Point(10, 20, 30));
    aimed->SetTarget(AddNode(mManager, mScene->GetRootNode(), "Goal", nullptr));
    mScene->GetRootNode()->FindChild("Goal")->SetLclTranslation(Point(2, 0, -7));
    AddLight("Beam", KFbxLight::eSPOT);
    KFbxNode* beam = mScene->GetRootNode()->FindChild("Beam");
    beam->SetLclTranslation(Point(0, 4, 0));
    beam->SetPostTargetRotation(Point(0, 0, 90));
    beam->SetTarget(AddNode(mManager, mScene->GetRootNode(), "Lit", nullptr));
    mScene->GetRootNode()->FindChild("Lit")->SetLclTranslation(Point(3, 0, 4));
    for (const bool singleMatrix : {false, true}) {
        SCOPED_TRACE(singleMatrix);
        ASSERT_TRUE(singleMatrix ? WriteSingleMatrix("still-matrix.dae") : Write("still.dae")) << mWriteMessage.Buffer();
        ExpectSoundDocument();
        if (!singleMatrix) {
            EXPECT_EQ(Text("//c:node[@id='Rolling']/c:rotate[@sid='roll']"), "1 0 0 30.000000");
            EXPECT_TRUE(Select("//c:node[@id='Steady']/c:rotate[@sid='roll']").empty());
        }
        if (PycolladaInstalled()) {
            // The camera's up direction turned by the roll about its view.
            const std::string report = RunPycollada(
                "import collada, sys\n"
                "scene = collada.Collada(sys.argv[1]).scene\n"
                "for camera in scene.objects('camera'):\n"
                "    print(camera.original.id, ' '.join('%.4f' % v for v in camera.up),\n"
                "          'looks', ' '.join('%.4f' % v for v in camera.direction))\n"
                "for light in scene.objects('light'):\n"
                "    print(light.original.id, 'looks', ' '.join('%.4f' % v for v in light.direction))\n",
                mWrittenPath);
            EXPECT_NE(report.find("Rolling-lib 0.0000 0.8660 0.5000"), std::string::npos) << report;
            EXPECT_NE(report.find("Steady-lib 0.0000 1.0000 0.0000"), std::string::npos) << report;
            // To (2, 0, -7) from (1, 2, 3); up, the scene's made square to
            // the view, rolled a quarter turn about it to the level side.
            EXPECT_NE(report.find("Aimed-lib 0.9950 0.0000 0.0995 looks 0.0976 -0.1952 -0.9759"), std::string::npos)
                << report;
            // To (3, 0, 4) from (0, 4, 0).
            EXPECT_NE(report.find("Beam-lib looks 0.4685 -0.6247 0.6247"), std::string::npos) << report;
        }
        KFbxScene* read = ReadBack(mWrittenPath);
        const auto* readCamera = dynamic_cast<const KFbxCamera*>(read->GetRootNode()->FindChild("Rolling")->GetCamera());
        ASSERT_NE(readCamera, nullptr);
        if (!singleMatrix) {
            EXPECT_NEAR(readCamera->GetDefaultRoll(), 30.0, 1e-6);
        }
    }

    node->CreateTakeNode("Spin");
    node->SetCurrentTakeNodeByName("Spin");
    KFCurve* roll = node->GetCurrentTakeNode()->GetCameraRoll();
    ASSERT_NE(roll, nullptr);
    roll->KeySet(0, Seconds(0.0), 0.0f);
    roll->KeySet(1, Seconds(1.0), 90.0f);
    ASSERT_TRUE(Write("spin.dae")) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_THAT(Texts("//c:channel/@target"), ElementsAre("Rolling/roll.ANGLE"));
    KFbxScene* read = ReadBack(mWrittenPath);
    KFbxNode* readNode = read->GetRootNode()->FindChild("Rolling");
    ASSERT_NE(readNode, nullptr);
    KFbxTakeNode* take = nullptr;
    for (int index = 0; index < readNode->GetTakeNodeCount(); ++index) {
        if (readNode->GetTakeNode(index) != readNode->GetDefaultTakeNode()) {
            take = readNode->GetTakeNode(index);
        }
    }
    ASSERT_NE(take, nullptr);
    const KFCurve* readRoll = take->GetCameraRoll();
    ASSERT_NE(readRoll, nullptr);
    ASSERT_EQ(readRoll->KeyGetCount(), 2);
    EXPECT_NEAR(readRoll->KeyGetValue(1), 90.0, 1e-4);

    // Another program's camera that rolls, through a 3DS file.
    const std::string source = "/usr/share/assimp/models/3DS/CameraRollAnimWithChildObject.3ds";
    if (!std::filesystem::exists(source)) {
        return;
    }
    KFbxRegister3dsFormats();
    KFbxScene* loaded = KFbxScene::Create(mManager, "");
    KFbxImporter* importer = KFbxImporter::Create(mManager, "");
    ASSERT_TRUE(importer->Initialize(source.c_str()) && importer->Import(loaded));
    importer->Destroy();
    const std::string path = mFolder / "roll.dae";
    ASSERT_TRUE(WriteScene(loaded, path)) << mWriteMessage.Buffer();
    if (PycolladaInstalled()) {
        // The camera's child stays where the scene has it.
        const std::string points = RunPycollada(kPycolladaWorldPoints, path);
        const WorldPoints want = ScenePoints(*loaded->GetRootNode());
        ASSERT_FALSE(want.empty());
        EXPECT_TRUE(SamePoints(want, PointsOfLines(points, "v "), 1e-3)) << points;
    }
    // The camera follows its target, which COLLADA cannot say: it turns,
    // roll included, by sampled matrices that come back as turning keys.
    KFbxNode* rolled = ReadBack(path)->GetRootNode()->FindChild("Camera01", true);
    ASSERT_NE(rolled, nullptr);
    int keyed = 0;
    for (int takeIndex = 0; takeIndex < rolled->GetTakeNodeCount(); ++takeIndex) {
        KFbxTakeNode* rolledTake = rolled->GetTakeNode(takeIndex);
        if (rolledTake == rolled->GetDefaultTakeNode()) {
            continue;
        }
        for (const KFCurve* curve : {rolledTake->GetEulerRotationX(), rolledTake->GetEulerRotationY(),
                                     rolledTake->GetEulerRotationZ(), rolledTake->GetCameraRoll()}) {
            keyed += curve != nullptr && curve->KeyGetCount() >= 2 ? 1 : 0;
        }
    }
    EXPECT_GT(keyed, 0) << mWriteMessage.Buffer();
}

TEST_F(ColladaWriteCamerasTest, AnIndependentReaderSeesTheCamerasLightsAndAnimation) {
    if (!CommandExists("assimp")) {
        GTEST_SKIP() << "assimp is not installed";
    }
    AddMeshNode(mManager, mScene->GetRootNode(), "Tri", {Point(0, 0, 0), Point(1, 0, 0), Point(0, 1, 0)}, {{0, 1, 2}});
    AddCamera("Eye")->SetDefaultFieldOfView(50.0);
    AddCamera("Top")->SetProjectionType(KFbxCamera::eORTHOGONAL);
    AddLight("Bulb", KFbxLight::ePOINT);
    AddLight("Sun", KFbxLight::eDIRECTIONAL);
    AddLight("Spot", KFbxLight::eSPOT);
    KFbxNode* spot = mScene->GetRootNode()->FindChild("Spot");
    spot->CreateTakeNode("Walk");
    spot->SetCurrentTakeNodeByName("Walk");
    KFCurve* turn = spot->GetCurrentTakeNode()->GetEulerRotationY();
    turn->KeySet(0, Seconds(0.0), 0.0f);
    turn->KeySet(1, Seconds(1.0), 90.0f);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    const std::string report = CommandOutput("assimp info '" + mWrittenPath + "' 2>&1");
    EXPECT_EQ(ReportedCount(report, "Cameras"), 2) << report;
    EXPECT_EQ(ReportedCount(report, "Lights"), 3) << report;
    EXPECT_EQ(ReportedCount(report, "Animations"), 1) << report;
    EXPECT_EQ(ReportedCount(report, "Animation Channels"), 1) << report;
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::colladatest
