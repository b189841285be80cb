// The current take's curves written as animations: ids, targets and sources
// per curve, the scaled light and morph values, the sampled matrices of
// single-matrix mode, what COLLADA cannot address, and the round trip of the
// animated transforms through the reader.
#include "collada/ColladaWriteQueries.h"
#include "collada/ColladaWriterScenes.h"

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/ColladaXmlWrite.h>
#include <fbxfilesdk/collada/KFbxWriterCollada.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <cmath>
#include <limits>
#include <sstream>

namespace fbxsdk_2006_11_1::colladatest {
namespace {

using ::testing::ElementsAre;

constexpr const char* kTake = "Walk";

std::string Words(const std::string& text) {
    std::istringstream stream(text);
    std::string words;
    for (std::string word; stream >> word;) {
        words += (words.empty() ? "" : " ") + word;
    }
    return words;
}

std::vector<double> Numbers(const std::string& text) {
    std::vector<double> values;
    std::istringstream stream(text);
    for (double value = 0.0; stream >> value;) {
        values.push_back(value);
    }
    return values;
}

class ColladaWriteAnimationTest : public ColladaWriteQueryTest {
protected:
    void SetUp() override {
        ColladaWriteQueryTest::SetUp();
        KFbxTakeInfo info;
        info.mName = kTake;
        info.mLocalTimeSpan.Set(Seconds(0.0), Seconds(1.0));
        info.mReferenceTimeSpan.Set(Seconds(0.0), Seconds(1.0));
        mScene->SetTakeInfo(info);
    }
    // The take node of the take on the node, made current.
    KFbxTakeNode& Take(KFbxNode& node) {
        node.CreateTakeNode(kTake);
        node.SetCurrentTakeNodeByName(kTake);
        return *node.GetCurrentTakeNode();
    }
    static void Keys(KFCurve* curve, std::initializer_list<std::pair<double, double>> keys,
                     unsigned interpolation = KFCURVE_INTERPOLATION_CUBIC) {
        int index = 0;
        for (const auto& [seconds, value] : keys) {
            // Constant keys hold their own value (not the next key's).
            curve->KeySet(index++, Seconds(seconds), static_cast<float>(value), interpolation,
                          interpolation == KFCURVE_INTERPOLATION_CONSTANT ? KFCURVE_CONSTANT_STANDARD
                                                                          : KFCURVE_TANGENT_AUTO);
        }
    }
    KFbxNode* AddBox(const char* name = "Box") { return AddNode(mManager, mScene->GetRootNode(), name, nullptr); }
    // A node of a light of the type, made current in the take.
    KFbxTakeNode& LightTake(const char* name, int type) {
        KFbxLight* light = KFbxLight::Create(mManager, "");
        light->SetLightType(type);
        return Take(*AddNode(mManager, mScene->GetRootNode(), name, light));
    }
    // The values of the array of the source with the id.
    std::vector<double> SourceValues(const std::string& id) const {
        return Numbers(Text("//c:source[@id='" + id + "']/c:float_array"));
    }
};

TEST_F(ColladaWriteAnimationTest, TranslationCurveGivesSourcesSamplerAndChannel) {
    KFbxNode* box = AddBox();
    Keys(Take(*box).GetTranslationX(), {{0.0, 1.0}, {0.5, 4.0}, {1.0, -2.0}});
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();

    ASSERT_EQ(Select("//c:library_animations/c:animation[@id='Box-anim'][@name='Box']").size(), 1u);
    const std::string nested = "//c:animation[@id='Box-anim']/c:animation";
    ASSERT_EQ(Select(nested).size(), 1u);
    EXPECT_THAT(Texts(nested + "/c:source/@id"),
                ElementsAre("Box-translate-animation-inputX", "Box-translate-animation-outputX",
                            "Box-translate-animation-intanX", "Box-translate-animation-outtanX",
                            "Box-translate-animation-interpolationX"));
    EXPECT_THAT(Texts(nested + "/c:sampler[@id='Box-translate-animationX']/c:input/@semantic"),
                ElementsAre("INPUT", "OUTPUT", "IN_TANGENT", "OUT_TANGENT", "INTERPOLATION"));
    EXPECT_EQ(Text(nested + "/c:channel/@source"), "#Box-translate-animationX");
    EXPECT_EQ(Text(nested + "/c:channel/@target"), "Box/translate.X");
    EXPECT_EQ(Select("//c:node[@id='Box']/c:translate[@sid='translate']").size(), 1u);

    EXPECT_THAT(SourceValues("Box-translate-animation-inputX"), ElementsAre(0.0, 0.5, 1.0));
    EXPECT_THAT(SourceValues("Box-translate-animation-outputX"), ElementsAre(1.0, 4.0, -2.0));
    const std::vector<double> in = SourceValues("Box-translate-animation-intanX");
    const std::vector<double> out = SourceValues("Box-translate-animation-outtanX");
    ASSERT_EQ(in.size(), 3u);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(in.front(), 0.0);
    EXPECT_EQ(out.back(), 0.0);
    EXPECT_EQ(Text("//c:source[@id='Box-translate-animation-outputX']//c:param/@name"), "X");
    EXPECT_EQ(Words(Text("//c:source[@id='Box-translate-animation-interpolationX']/c:Name_array")), "BEZIER BEZIER BEZIER");
}

TEST_F(ColladaWriteAnimationTest, IdsStayUniqueBesideNodesNamedLikeThem) {
    KFbxNode* box = AddBox();
    Keys(Take(*box).GetTranslationX(), {{0.0, 1.0}, {1.0, 2.0}});
    AddBox("Box-anim");
    AddBox("Box-translate-animation-inputX-array");
    AddBox("Box-translate-animationX");
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_EQ(Select("//c:animation/c:animation/c:channel").size(), 1u);
    EXPECT_EQ(Text("//c:channel/@target"), "Box/translate.X");
}

TEST_F(ColladaWriteAnimationTest, TangentsAreHandleOffsetsOverTheirShareOfTheSegment) {
    KFbxNode* box = AddBox();
    KFCurve* curve = Take(*box).GetScaleY();
    Keys(curve, {{0.0, 1.0}, {2.0, 3.0}});
    curve->KeySetTangentMode(0, KFCURVE_TANGENT_USER);
    curve->KeySetTangentMode(1, KFCURVE_TANGENT_USER);
    curve->KeySetRightDerivative(0, 0.5f);
    curve->KeySetLeftDerivative(1, -1.5f);
    const double outWeight = curve->KeyGetRightTangentWeight(0);
    const double inWeight = curve->KeyGetLeftTangentWeight(1);
    Keys(Take(*box).GetTranslationZ(), {{0.0, 0.0}, {0.5, 1.0}, {1.0, 0.0}}, KFCURVE_INTERPOLATION_CONSTANT);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_THAT(SourceValues("Box-scale-animation-outtanY"), ElementsAre(::testing::DoubleNear(0.5 * outWeight * 2.0, 1e-6), 0.0));
    EXPECT_THAT(SourceValues("Box-scale-animation-intanY"), ElementsAre(0.0, ::testing::DoubleNear(-1.5 * inWeight * 2.0, 1e-6)));
    EXPECT_EQ(Words(Text("//c:source[@id='Box-translate-animation-interpolationZ']/c:Name_array")), "STEP STEP STEP");
}

TEST_F(ColladaWriteAnimationTest, ValuesThatAreNoNumbersAreWrittenAsZeroWithAWarning) {
    KFbxNode* box = AddBox();
    Keys(Take(*box).GetTranslationY(), {{0.0, std::nan("")}, {1.0, 2.0}});
    KFbxNode* spun = AddBox("Spun");
    Keys(Take(*spun).GetEulerRotationX(), {{0.0, 0.0}, {1.0, std::numeric_limits<double>::infinity()}});
    ASSERT_TRUE(WriteSingleMatrix()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_TRUE(WriteMessageHas("animation of Spun/matrix has values that are not finite numbers")) << mWriteMessage.Buffer();
    for (const double value : SourceValues("Spun-Matrix-animation-output-transform")) {
        EXPECT_TRUE(std::isfinite(value));
    }
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_TRUE(WriteMessageHas("animation of Box/translate.Y has values that are not finite numbers"));
    EXPECT_THAT(SourceValues("Box-translate-animation-outputY"), ElementsAre(0.0, 2.0));
}

TEST_F(ColladaWriteAnimationTest, RotationCurvesTargetTheirAxisAngles) {
    KFbxNode* box = AddBox();
    box->SetRotationOrder(KFbxNode::eSOURCE_SET, KFbxNode::eEULER_ZYX);
    KFbxTakeNode& take = Take(*box);
    Keys(take.GetEulerRotationY(), {{0.0, 0.0}, {1.0, 90.0}});
    Keys(take.GetEulerRotationZ(), {{0.0, 10.0}, {1.0, 20.0}}, KFCURVE_INTERPOLATION_LINEAR);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_THAT(Texts("//c:channel/@target"), ElementsAre("Box/rotateY.ANGLE", "Box/rotateZ.ANGLE"));
    EXPECT_EQ(Text("//c:source[@id='Box-rotateY-animation-outputANGLE']//c:param/@name"), "ANGLE");
    EXPECT_EQ(Words(Text("//c:source[@id='Box-rotateZ-animation-interpolationANGLE']/c:Name_array")), "LINEAR LINEAR");
}

TEST_F(ColladaWriteAnimationTest, CurvesOfFewerThanTwoKeysAndDefaultTakesWriteNothing) {
    KFbxNode* still = AddBox("Still");
    KFbxTakeNode& take = Take(*still);
    Keys(take.GetTranslationX(), {{0.5, 3.0}});
    take.GetTranslationY();  // made, without keys
    AddBox("Idle");          // stays in its default take
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_TRUE(Select("//c:library_animations").empty());
    EXPECT_TRUE(Select("//c:animation").empty());
}

TEST_F(ColladaWriteAnimationTest, LightParametersAreScaledAndTargetTheLight) {
    KFbxTakeNode& take = LightTake("Lamp", KFbxLight::eSPOT);
    Keys(take.GetLightIntensity(), {{0.0, 50.0}, {1.0, 200.0}});
    Keys(take.GetColorG(), {{0.0, 0.25}, {1.0, 1.0}});
    Keys(take.GetLightConeAngle(), {{0.0, 30.0}, {1.0, 60.0}});
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_THAT(Texts("//c:channel/@target"), ElementsAre("Lamp-lib/color.G", "Lamp-lib/intensity", "Lamp-lib/angle"));
    EXPECT_THAT(SourceValues("Lamp-lib-intensity-animation-output"), ElementsAre(0.5, 2.0));
    EXPECT_THAT(SourceValues("Lamp-lib-color-animation-outputG"), ElementsAre(0.25, 1.0));
    EXPECT_THAT(SourceValues("Lamp-lib-angle-animation-output"), ElementsAre(30.0, 60.0));
    // An empty member gives an unnamed param.
    EXPECT_TRUE(Select("//c:source[@id='Lamp-lib-intensity-animation-output']//c:param/@name").empty());
}

TEST_F(ColladaWriteAnimationTest, WhatNoElementCarriesIsLeftOutWithAWarning) {
    KFbxTakeNode& take = LightTake("Bulb", KFbxLight::ePOINT);
    // A point light has no cone, and COLLADA no visibility.
    Keys(take.GetLightConeAngle(), {{0.0, 30.0}, {1.0, 60.0}});
    Keys(take.GetVisibility(), {{0.0, 1.0}, {1.0, 0.0}}, KFCURVE_INTERPOLATION_CONSTANT);
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_TRUE(Select("//c:animation").empty());
    EXPECT_TRUE(WriteMessageHas("Warning: animation of Bulb-lib/angle is not written")) << mWriteMessage.Buffer();
    EXPECT_TRUE(WriteMessageHas("Warning: visibility animation of node Bulb is not written")) << mWriteMessage.Buffer();
}

TEST_F(ColladaWriteAnimationTest, CameraAnglesFollowTheApertureMode) {
    KFbxCamera* both = KFbxCamera::Create(mManager, "");
    both->SetApertureMode(KFbxCamera::eHORIZONTAL_AND_VERTICAL);
    KFbxNode* bothNode = AddNode(mManager, mScene->GetRootNode(), "Both", both);
    KFbxTakeNode& bothTake = Take(*bothNode);
    Keys(bothTake.GetCameraFieldOfViewX(), {{0.0, 40.0}, {1.0, 50.0}});
    Keys(bothTake.GetCameraFieldOfViewY(), {{0.0, 30.0}, {1.0, 35.0}});
    KFbxCamera* vertical = KFbxCamera::Create(mManager, "");
    vertical->SetApertureMode(KFbxCamera::eVERTICAL);
    KFbxNode* verticalNode = AddNode(mManager, mScene->GetRootNode(), "Tall", vertical);
    Keys(Take(*verticalNode).GetCameraFieldOfView(), {{0.0, 20.0}, {1.0, 25.0}});
    KFbxCamera* flat = KFbxCamera::Create(mManager, "");
    flat->SetProjectionType(KFbxCamera::eORTHOGONAL);
    KFbxNode* flatNode = AddNode(mManager, mScene->GetRootNode(), "Flat", flat);
    Keys(Take(*flatNode).GetCameraFieldOfView(), {{0.0, 20.0}, {1.0, 25.0}});
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_THAT(Texts("//c:channel/@target"), ElementsAre("Both-lib/xfov", "Both-lib/yfov", "Tall-lib/yfov"));
}

TEST_F(ColladaWriteAnimationTest, FocalLengthIsConvertedToTheAngleTheCameraCarries) {
    KFbxCamera* lens = KFbxCamera::Create(mManager, "");
    lens->SetApertureMode(static_cast<KFbxCamera::ECameraApertureMode>(3));
    KFbxNode* node = AddNode(mManager, mScene->GetRootNode(), "Lens", lens);
    KFCurve* focal = Take(*node).GetCameraFocalLength();
    Keys(focal, {{0.0, 35.0}, {1.0, 85.0}});
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_TRUE(WriteMessageHas("Warning: Camera Focal Length converted to Field Of View"));
    EXPECT_THAT(Texts("//c:channel/@target"), ElementsAre("Lens-lib/xfov"));
    EXPECT_THAT(SourceValues("Lens-lib-xfov-animation-output"),
                ElementsAre(::testing::DoubleNear(lens->ComputeFieldOfView(35.0), 1e-5),
                            ::testing::DoubleNear(lens->ComputeFieldOfView(85.0), 1e-5)));
}

TEST(ColladaFocalLengthConversion, UserHandlesKeepTheAngleTheyReach) {
    KFbxSdkManager* manager = CreateSdkManager();
    KFbxCamera* camera = KFbxCamera::Create(manager, "");
    KFCurve focal;
    focal.SetValue(50.0f);
    focal.KeySet(0, Seconds(0.0), 35.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER);
    focal.KeySet(1, Seconds(2.0), 85.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER);
    focal.KeySet(2, Seconds(2.0 + 1e-9), 90.0f, KFCURVE_INTERPOLATION_LINEAR);
    focal.KeySetRightDerivative(0, 10.0f);
    focal.KeySetLeftDerivative(1, -4.0f);
    KFCurve angle;
    KFbxWriterCollada::ConvertFocalLengthCurve(angle, focal, *camera);
    const auto fov = [camera](double millimetres) { return camera->ComputeFieldOfView(millimetres); };
    EXPECT_NEAR(angle.GetValue(), fov(50.0), 1e-4);
    ASSERT_EQ(angle.KeyGetCount(), focal.KeyGetCount());
    EXPECT_NEAR(angle.KeyGetValue(1), fov(85.0), 1e-4);
    const double run = focal.KeyGetRightTangentWeight(0) * 2.0;
    EXPECT_NEAR(angle.KeyGetRightDerivative(0), (fov(35.0 + 10.0 * run) - fov(35.0)) / run, 1e-3);
    const double back = focal.KeyGetLeftTangentWeight(1) * 2.0;
    EXPECT_NEAR(angle.KeyGetLeftDerivative(1), (fov(85.0) - fov(85.0 + 4.0 * back)) / back, 1e-3);
    for (int key = 0; key < angle.KeyGetCount(); ++key) {
        EXPECT_TRUE(std::isfinite(angle.KeyGetLeftDerivative(key)));
        EXPECT_TRUE(std::isfinite(angle.KeyGetRightDerivative(key)));
    }
    delete manager;
}

class ColladaWriteShapeAnimationTest : public ColladaWriteAnimationTest {
protected:
    // A triangle on the node Body with the shapes Smile and Blink; Blink's
    // weight animated.
    KFbxMesh* MakeBody() {
        const std::vector<KFbxVector4> points = {Point(0, 0, 0), Point(1, 0, 0), Point(0, 1, 0)};
        KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), "Body", points, {{0, 1, 2}});
        for (const char* name : {"Smile", "Blink"}) {
            KFbxShape* shape = KFbxShape::Create(mManager, "");
            shape->InitControlPoints(3);
            for (int point = 0; point < 3; ++point) {
                shape->GetControlPoints()[point] = points[static_cast<std::size_t>(point)] + Point(0, 0, 1);
            }
            EXPECT_GE(mesh->AddShape(shape, name), 0);
        }
        KFbxNode* body = mScene->GetRootNode()->FindChild("Body");
        KFCurveNode* blink = Take(*body).GetKFCurveNode()->FindOrCreate("Blink", true);
        Keys(blink->FCurveGet(), {{0.0, 0.0}, {1.0, 100.0}});
        return mesh;
    }
};

TEST_F(ColladaWriteShapeAnimationTest, ShapeWeightsTargetTheMorphWeightsByIndex) {
    MakeBody();
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_THAT(Texts("//c:channel/@target"), ElementsAre("Body-lib-morph-weights(1)"));
    EXPECT_THAT(SourceValues("Body-lib-morph-weights-animation-outputWeight1"), ElementsAre(0.0, 1.0));
}

TEST_F(ColladaWriteShapeAnimationTest, WeightIndexAndSourceAreTheOnesTheControllerWrote) {
    KFbxMesh* mesh = MakeBody();
    // The controller leaves out a shape that lost its points, and takes
    // another weight source id beside a node of that name.
    mesh->GetShape(0)->InitControlPoints(2);
    AddBox("Body-lib-morph-weights");
    ASSERT_TRUE(Write()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    const std::vector<std::string> weightSources =
        Texts("//c:controller[@id='Body-lib-morph']//c:input[@semantic='MORPH_WEIGHT']/@source");
    ASSERT_EQ(weightSources.size(), 1u);
    EXPECT_NE(weightSources[0], "#Body-lib-morph-weights");
    EXPECT_THAT(Texts("//c:channel/@target"), ElementsAre(weightSources[0].substr(1) + "(0)"));
}

class ColladaWriteSampledTest : public ColladaWriteAnimationTest {
protected:
    // A parent turned, and an animated child below it.
    KFbxNode* MakeAnimatedPair() {
        KFbxNode* parent = AddBox("Arm");
        parent->SetLclRotation(KFbxVector4(0.0, 0.0, 30.0, 0.0));
        KFbxNode* child = AddNode(mManager, parent, "Hand", nullptr);
        KFbxTakeNode& take = Take(*child);
        Keys(take.GetTranslationX(), {{0.0, 0.0}, {1.0, 3.0}}, KFCURVE_INTERPOLATION_LINEAR);
        Keys(take.GetEulerRotationY(), {{0.0, 0.0}, {1.0, 90.0}}, KFCURVE_INTERPOLATION_LINEAR);
        return child;
    }
};

TEST_F(ColladaWriteSampledTest, SamplesRunThroughTheStopTimeInColumnOrder) {
    KFbxNode* hand = MakeAnimatedPair();
    ASSERT_TRUE(WriteSingleMatrix()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_EQ(Text("//c:animation[@id='Hand-anim']//c:channel/@target"), "Hand/matrix");
    EXPECT_EQ(Select("//c:node[@id='Hand']/c:matrix[@sid='matrix']").size(), 1u);
    EXPECT_TRUE(Select("//c:animation[@id='Hand-anim']//c:sampler/c:input[@semantic='INTERPOLATION']").empty());

    // One second at 30 frames a second: 31 samples, the last one at the stop.
    const std::vector<double> times = SourceValues("Hand-Matrix-animation-input");
    ASSERT_EQ(times.size(), 31u);
    EXPECT_NEAR(times.front(), 0.0, 1e-9);
    EXPECT_NEAR(times.back(), 1.0, 1e-6);
    EXPECT_EQ(Text("//c:source[@id='Hand-Matrix-animation-output-transform']//c:param/@type"), "float4x4");
    const std::vector<double> values = SourceValues("Hand-Matrix-animation-output-transform");
    ASSERT_EQ(values.size(), 31u * 16u);
    // At the stop, the hand sits 3 along X of its parent, turned 90 degrees about Y.
    const double* last = &values[30 * 16];
    EXPECT_NEAR(last[3], 3.0, 1e-5);  // translation in the fourth column
    EXPECT_NEAR(last[7], 0.0, 1e-5);
    EXPECT_NEAR(last[12], 0.0, 1e-9);
    EXPECT_NEAR(last[15], 1.0, 1e-9);
    EXPECT_NEAR(last[2], 1.0, 1e-5);  // the turned X axis points down -Z: column 0 is (0, 0, -1)
    EXPECT_NEAR(last[8], -1.0, 1e-5);
    static_cast<void>(hand);
}

TEST_F(ColladaWriteSampledTest, SpanOfWholePeriodsEndsOnTheStop) {
    KFbxNode* box = AddBox();
    Keys(Take(*box).GetTranslationY(), {{0.0, 0.0}, {0.1, 1.0}}, KFCURVE_INTERPOLATION_LINEAR);
    ASSERT_TRUE(Write("written.dae", [](KFbxStreamOptions& options) {
        options.SetOption("SINGLE MATRIX", true);
        options.SetOption("FRAME RATE", 40.0);
    })) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    const std::vector<double> times = SourceValues("Box-Matrix-animation-input");
    ASSERT_EQ(times.size(), 5u);
    EXPECT_NEAR(times[3], 0.075, 1e-9);
    EXPECT_NEAR(times[4], 0.1, 1e-9);
}

TEST_F(ColladaWriteSampledTest, StillTransformWritesOnlyItsOtherCurves) {
    Keys(LightTake("Lamp", KFbxLight::ePOINT).GetLightIntensity(), {{0.0, 10.0}, {1.0, 20.0}});
    ASSERT_TRUE(WriteSingleMatrix()) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_THAT(Texts("//c:channel/@target"), ElementsAre("Lamp-lib/intensity"));
}

TEST_F(ColladaWriteSampledTest, FramePeriodThatGivesEndlessSamplesIsTheWritersError) {
    MakeAnimatedPair();
    EXPECT_FALSE(Write("written.dae", [](KFbxStreamOptions& options) {
        options.SetOption("SINGLE MATRIX", true);
        options.SetOption("FRAME RATE", 1e13);
    }));
    EXPECT_TRUE(WriteMessageHas("ERROR: ")) << mWriteMessage.Buffer();
}

// Global transforms and animated parameters of the source and of the
// document read back, at 31 times over the take, in both transform forms.
class ColladaAnimationRoundTripTest : public ColladaWriteAnimationTest,
                                      public ::testing::WithParamInterface<bool> {
protected:
    void BuildScene() {
        KFbxNode* arm = AddBox("Arm");
        arm->SetLclTranslation(KFbxVector4(1.0, 2.0, 3.0, 0.0));
        arm->SetLclRotation(KFbxVector4(10.0, 0.0, 30.0, 0.0));
        arm->SetLclScaling(KFbxVector4(1.5, 1.5, 1.5, 0.0));
        arm->SetRotationPivot(KFbxNode::eSOURCE_SET, KFbxVector4(0.5, 0.0, -1.0, 0.0));
        KFbxTakeNode& armTake = Take(*arm);
        Keys(armTake.GetEulerRotationZ(), {{0.0, 30.0}, {0.4, 80.0}, {1.0, -20.0}});
        KFbxNode* hand = AddNode(mManager, arm, "Hand", nullptr);
        hand->SetLclTranslation(KFbxVector4(0.0, 4.0, 0.0, 0.0));
        KFbxTakeNode& handTake = Take(*hand);
        Keys(handTake.GetTranslationX(), {{0.0, 0.0}, {0.5, 2.0}, {1.0, -1.0}});
        Keys(handTake.GetEulerRotationX(), {{0.0, 0.0}, {1.0, 120.0}});
        // Key times that single precision holds exactly, and a step on a frame.
        Keys(handTake.GetScaleZ(), {{0.25, 1.0}, {0.5, 3.0}}, KFCURVE_INTERPOLATION_CONSTANT);
        Keys(handTake.GetScaleY(), {{0.0, 1.5}, {1.0, 0.5}}, KFCURVE_INTERPOLATION_LINEAR);

        KFbxCamera* eye = KFbxCamera::Create(mManager, "");
        eye->SetApertureMode(KFbxCamera::eVERTICAL);
        eye->SetDefaultFieldOfView(45.0);
        // Below a uniformly scaled parent: the scene does not pass the shear of a
        // non-uniform scale to children, which COLLADA's matrices would.
        KFbxNode* eyeNode = AddNode(mManager, arm, "Eye", eye);
        eyeNode->SetLclRotation(KFbxVector4(0.0, 30.0, 0.0, 0.0));
        KFbxTakeNode& eyeTake = Take(*eyeNode);
        Keys(eyeTake.GetCameraFieldOfView(), {{0.0, 45.0}, {1.0, 60.0}});
        Keys(eyeTake.GetTranslationZ(), {{0.0, 0.0}, {1.0, -5.0}});
        KFbxCamera* both = KFbxCamera::Create(mManager, "");
        both->SetApertureMode(KFbxCamera::eHORIZONTAL_AND_VERTICAL);
        KFbxTakeNode& bothTake = Take(*AddNode(mManager, mScene->GetRootNode(), "Both", both));
        Keys(bothTake.GetCameraFieldOfViewX(), {{0.0, 50.0}, {1.0, 70.0}});
        Keys(bothTake.GetCameraFieldOfViewY(), {{0.0, 30.0}, {0.5, 40.0}, {1.0, 35.0}});
        KFbxCamera* top = KFbxCamera::Create(mManager, "");
        top->SetProjectionType(KFbxCamera::eORTHOGONAL);
        AddNode(mManager, mScene->GetRootNode(), "Top", top)->SetLclTranslation(KFbxVector4(0.0, 50.0, 0.0, 0.0));
        int type = 0;
        for (const char* name : {"Bulb", "Sun", "Spot"}) {
            KFbxTakeNode& take = LightTake(name, type++);
            Keys(take.GetColorR(), {{0.0, 1.0}, {1.0, 0.25}});
            Keys(take.GetEulerRotationX(), {{0.0, -30.0}, {1.0, 40.0}});
        }
        mScene->GetGlobalLightSettings().SetAmbientColor(KFbxColor(0.1, 0.2, 0.3, 1.0));

        // A mesh skinned to the arm and the hand, with two shapes, one of
        // them animated, and a mesh placed through a geometric pivot.
        const std::vector<KFbxVector4> points = {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0), Point(0, 1, 0),
                                                 Point(0, 0, 1), Point(1, 0, 1)};
        KFbxMesh* body = AddMeshNode(mManager, mScene->GetRootNode(), "Body", points, {{0, 1, 2, 3}, {0, 4, 5, 1}});
        KFbxNode* bodyNode = mScene->GetRootNode()->FindChild("Body");
        bodyNode->SetLclTranslation(KFbxVector4(0.0, -1.0, 0.0, 0.0));
        KFbxSkin* skin = KFbxSkin::Create(mManager, "");
        int bone = 0;
        for (KFbxNode* link : {arm, hand}) {
            KFbxCluster* cluster = KFbxCluster::Create(mManager, "");
            cluster->SetLink(link);
            cluster->SetLinkMode(KFbxCluster::eTOTAL1);
            for (int point = bone; point < 6; point += 2) {
                cluster->AddControlPointIndex(point, 1.0);
            }
            cluster->SetTransformMatrix(bodyNode->EvaluateDefaultGlobalTransform());
            cluster->SetTransformLinkMatrix(link->EvaluateDefaultGlobalTransform());
            skin->AddCluster(cluster);
            ++bone;
        }
        body->AddDeformer(skin);
        for (const char* shapeName : {"Smile", "Blink"}) {
            KFbxShape* shape = KFbxShape::Create(mManager, shapeName);
            shape->InitControlPoints(6);
            for (int point = 0; point < 6; ++point) {
                shape->GetControlPoints()[point] = points[static_cast<std::size_t>(point)] + Point(0, 0, 0.5);
            }
            body->AddShape(shape, shapeName);
        }
        KFbxTakeNode& bodyTake = Take(*bodyNode);
        Keys(bodyTake.GetKFCurveNode()->FindOrCreate("Blink", true)->FCurveGet(), {{0.0, 0.0}, {0.5, 100.0}, {1.0, 25.0}});
        AddMeshNode(mManager, arm, "Rock", points, {{0, 1, 2, 3}});
        KFbxNode* rock = arm->FindChild("Rock");
        rock->SetGeometricTranslation(KFbxNode::eSOURCE_SET, KFbxVector4(0.0, 0.0, 2.0, 0.0));
        rock->SetGeometricRotation(KFbxNode::eSOURCE_SET, KFbxVector4(0.0, 45.0, 0.0, 0.0));
        rock->SetLclTranslation(KFbxVector4(-2.0, 0.0, 0.0, 0.0));
    }
    static void ExpectCurvesAgree(KFCurve* expected, KFCurve* actual, double tolerance, const char* what) {
        ASSERT_NE(actual, nullptr) << what;
        for (int step = 0; step <= 30; ++step) {
            const KTime time = Seconds(step / 30.0);
            EXPECT_NEAR(actual->Evaluate(time), expected->Evaluate(time), tolerance) << what << " at frame " << step;
        }
    }
};

TEST_P(ColladaAnimationRoundTripTest, GlobalTransformsMatchAtEveryBakedFrame) {
    BuildScene();
    const bool singleMatrix = GetParam();
    ASSERT_TRUE(Write("written.dae", [singleMatrix](KFbxStreamOptions& options) {
        options.SetOption("SINGLE MATRIX", singleMatrix);
    })) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    KFbxScene* read = ReadBack(mWrittenPath);
    for (const char* name : {"Arm", "Hand", "Eye", "Both", "Top", "Bulb", "Sun", "Spot", "Body", "Rock"}) {
        KFbxNode* source = mScene->GetRootNode()->FindChild(name, true);
        KFbxNode* copy = read->GetRootNode()->FindChild(name, true);
        ASSERT_NE(copy, nullptr) << name;
        for (int step = 0; step <= 30; ++step) {
            const KTime time = Seconds(step / 30.0);
            const KgeMatrix expected = source->EvaluateGlobalTransform(time);
            const KgeMatrix actual = copy->EvaluateGlobalTransform(time);
            for (int row = 0; row < 4; ++row) {
                for (int column = 0; column < 4; ++column) {
                    EXPECT_NEAR(actual[row][column], expected[row][column], 1e-5)
                        << name << " at frame " << step << ", element " << row << "," << column;
                }
            }
        }
    }
    KFbxNode* eye = read->GetRootNode()->FindChild("Eye", true);
    ExpectCurvesAgree(mScene->GetRootNode()->FindChild("Eye", true)->GetCurrentTakeNode()->GetCameraFieldOfView(),
                      eye->GetCurrentTakeNode()->GetCameraFieldOfView(), 1e-4, "field of view");
    KFbxTakeNode* both = read->GetRootNode()->FindChild("Both", true)->GetCurrentTakeNode();
    KFbxTakeNode* bothSource = mScene->GetRootNode()->FindChild("Both", true)->GetCurrentTakeNode();
    ExpectCurvesAgree(bothSource->GetCameraFieldOfViewX(), both->GetCameraFieldOfViewX(), 1e-4, "horizontal angle");
    ExpectCurvesAgree(bothSource->GetCameraFieldOfViewY(), both->GetCameraFieldOfViewY(), 1e-4, "vertical angle");
    KFbxNode* spot = read->GetRootNode()->FindChild("Spot", true);
    ExpectCurvesAgree(mScene->GetRootNode()->FindChild("Spot", true)->GetCurrentTakeNode()->GetColorR(),
                      spot->GetCurrentTakeNode()->GetColorR(), 1e-5, "light colour");
    KFbxNode* body = read->GetRootNode()->FindChild("Body", true);
    const KFbxGeometry* mesh = dynamic_cast<const KFbxGeometry*>(body->GetMesh());
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetShapeCount(), 2);
    KFCurveNode* blink = body->GetCurrentTakeNode()->GetKFCurveNode()->Find(mesh->GetShapeName(1));
    ASSERT_NE(blink, nullptr) << mesh->GetShapeName(1);
    ExpectCurvesAgree(mScene->GetRootNode()->FindChild("Body")->GetCurrentTakeNode()->GetKFCurveNode()->Find("Blink")->FCurveGet(),
                      blink->FCurveGet(), 1e-4, "shape weight");
    const KFbxColor ambient = read->GetGlobalLightSettings().GetAmbientColor();
    EXPECT_NEAR(ambient.mBlue, 0.3, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(BothTransformForms, ColladaAnimationRoundTripTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "SingleMatrix" : "FullSequence";
                         });

TEST_F(ColladaWriteAnimationTest, ExportLeavesTheCallersTakesAlone) {
    KFbxNode* box = AddBox();
    KFbxTakeNode& take = Take(*box);
    Keys(take.GetTranslationX(), {{0.0, 1.0}, {1.0, 2.0}});
    KFbxTakeNode& lampTake = LightTake("Lamp", KFbxLight::ePOINT);
    Keys(lampTake.GetLightIntensity(), {{0.0, 10.0}, {1.0, 20.0}});
    ASSERT_TRUE(Write("first.dae")) << mWriteMessage.Buffer();
    ASSERT_TRUE(WriteSingleMatrix("second.dae")) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    ASSERT_TRUE(Write("third.dae")) << mWriteMessage.Buffer();
    ExpectSoundDocument();
    EXPECT_EQ(box->GetTakeNodeCount(), 2);
    EXPECT_STREQ(box->GetCurrentTakeNode()->GetName(), kTake);
    EXPECT_EQ(take.GetTranslationX()->KeyGetCount(), 2);
    EXPECT_FLOAT_EQ(take.GetTranslationX()->KeyGetValue(1), 2.0f);
    EXPECT_FLOAT_EQ(lampTake.GetLightIntensity()->KeyGetValue(0), 10.0f);
    // Apart from the dates, the same scene gives the same document.
    const auto withoutDates = [this](const char* name) {
        std::string text = ReadText(mFolder / name);
        for (const char* tag : {"created>", "modified>"}) {
            for (std::size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + 1)) {
                const std::size_t end = text.find('<', at);
                text.erase(at + std::strlen(tag), end - at - std::strlen(tag));
            }
        }
        return text;
    };
    EXPECT_EQ(withoutDates("first.dae"), withoutDates("third.dae"));
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::colladatest

namespace fbxsdk_2006_11_1::colladatest {
namespace {

// Sampled matrices as the reader takes them: whole matrices become keys of
// the local translation, rotation and scaling; a short or broken output
// leaves out what it lacks and never reads past its values.
class ColladaMatrixAnimationReadTest : public ColladaReadTest {
protected:
    std::string Document(const std::string& outputs, int outputCount) const {
        const std::string animation =
            "<library_animations><animation id=\"a\">" + FloatSource("t", "0 1", 2, {"TIME"}) +
            "<source id=\"m\"><float_array id=\"m-array\" count=\"" + std::to_string(outputCount) + "\">" + outputs +
            "</float_array><technique_common><accessor source=\"#m-array\" count=\"" +
            std::to_string(outputCount / 16) + "\" stride=\"16\">"
            "<param type=\"float4x4\"/></accessor></technique_common></source>"
            "<sampler id=\"s\"><input semantic=\"INPUT\" source=\"#t\"/><input semantic=\"OUTPUT\" source=\"#m\"/>"
            "</sampler><channel source=\"#s\" target=\"box/matrix\"/></animation></library_animations>";
        return SceneDocument(animation, "<node id=\"box\"><matrix sid=\"matrix\">1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1</matrix></node>");
    }
    KFbxTakeNode* BoxTake() {
        KFbxNode* box = mScene->GetRootNode()->FindChild("box", true);
        return box != nullptr ? box->GetCurrentTakeNode() : nullptr;
    }
};

TEST_F(ColladaMatrixAnimationReadTest, WholeMatricesBecomeLocalKeys) {
    // A turn of 90 degrees about Z, then 180 (written as -180): the angle
    // keeps going the short way, and the translation follows.
    ReadValid(Document("0 -1 0 1  1 0 0 2  0 0 1 3  0 0 0 1  -1 0 0 4  0 -1 0 5  0 0 2 6  0 0 0 1", 32));
    KFbxTakeNode* take = BoxTake();
    ASSERT_NE(take, nullptr);
    ASSERT_EQ(take->GetTranslationX()->KeyGetCount(), 2);
    EXPECT_NEAR(take->GetTranslationX()->KeyGetValue(0), 1.0, 1e-6);
    EXPECT_NEAR(take->GetTranslationY()->KeyGetValue(1), 5.0, 1e-6);
    EXPECT_NEAR(take->GetEulerRotationZ()->KeyGetValue(0), 90.0, 1e-4);
    EXPECT_NEAR(std::fabs(take->GetEulerRotationZ()->KeyGetValue(1)), 180.0, 1e-4);
    EXPECT_NEAR(take->GetScaleZ()->KeyGetValue(1), 2.0, 1e-6);
}

TEST_F(ColladaMatrixAnimationReadTest, ShortOrBrokenOutputsReadNoFurtherThanTheirValues) {
    // One matrix for two times: the key it gives, and a warning.
    ASSERT_TRUE(Read(Document("1 0 0 7  0 1 0 0  0 0 1 0  0 0 0 1", 16))) << mMessage.Buffer();
    EXPECT_TRUE(MessageHas("not 16 per key time")) << mMessage.Buffer();
    KFbxTakeNode* take = BoxTake();
    ASSERT_NE(take, nullptr);
    EXPECT_NEAR(take->GetTranslationX()->Evaluate(Seconds(0.0)), 7.0, 1e-6);
    // Values that are no numbers, and no values at all, read without harm.
    mMessage = "";
    EXPECT_TRUE(Read(Document("NaN 0 0 0  0 INF 0 0  0 0 1 0  0 0 0 1  -INF 0 0 0  0 1 0 0  0 0 1 0  0 0 0 1", 32)));
    EXPECT_TRUE(Read(Document("", 0)));
    // A source that claims more matrices than it holds is refused.
    ExpectReadFails(Replaced(Document("1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1", 16), "count=\"1\" stride", "count=\"9\" stride"),
                    "reading array in <source>");
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::colladatest
