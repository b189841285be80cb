// Animations: keys of the take "Take 001" on node transforms, light
// parameters and morph weights; global transforms through the take checked
// against COLLADA's own composition; the take's span.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include "ColladaSceneSupport.h"
#include "ColladaTestSupport.h"

#include <bit>
#include <cstdint>
#include <cstdio>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::colladatest;

namespace {

std::string NameSource(const std::string& id, const std::string& names, int count) {
    return "<source id=\"" + id + "\"><Name_array id=\"" + id + "-a\" count=\"" + std::to_string(count) + "\">" +
           names + "</Name_array><technique_common><accessor source=\"#" + id + "-a\" count=\"" +
           std::to_string(count) + "\"><param name=\"INTERPOLATION\" type=\"name\"/></accessor></technique_common>"
           "</source>";
}

// One channel's animation: times, values of stride values each, and the
// optional interpolations and tangents.
std::string Animation(const std::string& id, const std::string& target, const std::string& times, int keys,
                      const std::string& values, int stride, const std::string& interpolations = "",
                      const std::string& inTangents = "", const std::string& outTangents = "",
                      const std::string& nested = "") {
    static const std::vector<std::string> kParams[] = {{"X"}, {"X"}, {"X", "Y"}, {"X", "Y", "Z"}};
    std::string sources = FloatSource(id + "-in", times, keys, {"TIME"}) +
                          FloatSource(id + "-out", values, keys, kParams[stride]);
    std::string inputs = "<input semantic=\"INPUT\" source=\"#" + id + "-in\"/><input semantic=\"OUTPUT\" source=\"#" +
                         id + "-out\"/>";
    if (!interpolations.empty()) {
        sources += NameSource(id + "-interp", interpolations, keys);
        inputs += "<input semantic=\"INTERPOLATION\" source=\"#" + id + "-interp\"/>";
    }
    if (!inTangents.empty()) {
        sources += FloatSource(id + "-intan", inTangents, keys, kParams[stride]) +
                   FloatSource(id + "-outtan", outTangents, keys, kParams[stride]);
        inputs += "<input semantic=\"IN_TANGENT\" source=\"#" + id + "-intan\"/><input semantic=\"OUT_TANGENT\" "
                  "source=\"#" + id + "-outtan\"/>";
    }
    return "<animation id=\"" + id + "\">" + sources + "<sampler id=\"" + id + "-s\">" + inputs +
           "</sampler><channel source=\"#" + id + "-s\" target=\"" + target + "\"/>" + nested + "</animation>";
}

const std::string kGeometries =
    "<library_geometries><geometry id=\"base-geo\"><mesh>" +
    FloatSource("bg-p", "0 0 0 1 0 0 0 1 0", 3, {"X", "Y", "Z"}) +
    "<vertices id=\"bg-v\"><input semantic=\"POSITION\" source=\"#bg-p\"/></vertices><triangles count=\"1\"><input "
    "semantic=\"VERTEX\" source=\"#bg-v\" offset=\"0\"/><p>0 1 2</p></triangles></mesh></geometry>"
    "<geometry id=\"bent\"><mesh>" +
    FloatSource("bt-p", "0 0 1 1 0 1 0 1 1", 3, {"X", "Y", "Z"}) +
    "<vertices id=\"bt-v\"><input semantic=\"POSITION\" source=\"#bt-p\"/></vertices><triangles count=\"1\"><input "
    "semantic=\"VERTEX\" source=\"#bt-v\" offset=\"0\"/><p>0 1 2</p></triangles></mesh></geometry>"
    "</library_geometries>";

const std::string kLibraries =
    kGeometries +
    "<library_controllers><controller id=\"morph\"><morph source=\"#base-geo\" method=\"RELATIVE\"><source "
    "id=\"m-t\"><IDREF_array id=\"m-t-a\" count=\"1\">bent</IDREF_array><technique_common><accessor "
    "source=\"#m-t-a\" count=\"1\"><param name=\"MORPH_TARGET\" type=\"IDREF\"/></accessor></technique_common>"
    "</source>" +
    FloatSource("face-weights", "0", 1, {"MORPH_WEIGHT"}) +
    "<targets><input semantic=\"MORPH_TARGET\" source=\"#m-t\"/><input semantic=\"MORPH_WEIGHT\" "
    "source=\"#face-weights\"/></targets></morph></controller></library_controllers>"
    "<library_lights><light id=\"lamp\"><technique_common><point><color sid=\"color\">1 1 1</color></point>"
    "</technique_common><technique profile=\"MAYA\"><intensity sid=\"intensity\">1</intensity></technique>"
    "</light></library_lights>";

// Tip's matrix: a quarter turn about X and a step along it.
const std::array<double, 16> kTipRows = {1, 0, 0, 0.5, 0, 0, -1, 0, 0, 1, 0, 0.25, 0, 0, 0, 1};

std::string Nodes() {
    std::string matrix;
    for (double value : kTipRows) {
        matrix += std::to_string(value) + " ";
    }
    return "<node id=\"base\"><translate sid=\"t\">1 2 3</translate><rotate sid=\"spin\">0 0 2 0</rotate>"
           "<scale sid=\"s\">2 2 2</scale><node id=\"arm\"><translate sid=\"t\">0 1 0</translate>"
           "<rotate sid=\"rx\">1 0 0 0</rotate><node id=\"tip\"><matrix>" +
           matrix +
           "</matrix></node></node></node><node id=\"lamp-node\"><instance_light url=\"#lamp\"/></node>"
           "<node id=\"face\"><instance_controller url=\"#morph\"/></node>";
}

std::string Animations() {
    return "<library_animations>" +
           Animation("move", "base/t", "0 1 2", 3, "1 2 3 3 2 3 3 4 5", 3) +
           Animation("turn", "base/spin.ANGLE", "0 2", 2, "0 180", 1, "BEZIER BEZIER", "0 30", "90 0",
                     Animation("bend", "arm/rx.ANGLE", "1 3", 2, "0 90", 1, "LINEAR LINEAR")) +
           Animation("glow", "lamp/color.G", "0 1", 2, "0 1", 1, "STEP STEP") +
           Animation("dim", "lamp/intensity", "0", 1, "0.5", 1) +
           Animation("blend", "face-weights(0)", "0 2", 2, "0 1", 1) + "</library_animations>";
}

KTime Seconds(double seconds) {
    KTime time;
    time.SetSecondDouble(seconds);
    return time;
}

// The angle of the spin at a time: the Bezier curve through 0 and 180 whose
// control points are 90 after the first key and 30 before the second.
double Spin(double seconds) {
    const double s = seconds / 2.0;
    const double r = 1.0 - s;
    return 3.0 * r * r * s * 90.0 + 3.0 * r * s * s * 150.0 + s * s * s * 180.0;
}

std::array<double, 3> Move(double seconds) {
    return seconds <= 1.0 ? std::array<double, 3>{1 + 2 * seconds, 2, 3}
                          : std::array<double, 3>{3, 2 + 2 * (seconds - 1), 3 + 2 * (seconds - 1)};
}

double Bend(double seconds) { return seconds <= 1.0 ? 0.0 : 45.0 * (seconds - 1.0); }

// Key i of the curve holds what a key added at its time, written whole and
// then given its interpolation holds: no flag or data word differs.
void ExpectKeyAsWrittenWhole(const KFCurve& curve, int i, unsigned tangentMode) {
    KFCurve reference;
    const KTime time = curve.KeyGetTime(i);
    const int at = reference.KeyAddAtTime(time);
    reference.KeySet(at, time, curve.KeyGetValue(i), KFCURVE_INTERPOLATION_CUBIC, tangentMode, 0.0, 0.0,
                     KFCURVE_WEIGHTED_NONE, KFCURVE_DEFAULT_WEIGHT, KFCURVE_DEFAULT_WEIGHT, 0.0, 0.0);
    reference.KeySetInterpolation(at, curve.KeyGetInterpolation(i));
    const KFCurveKey read = curve.KeyGet(i);
    const KFCurveKey written = reference.KeyGet(at);
    EXPECT_EQ(read.GetFlags(), written.GetFlags()) << i;
    for (int word = 0; word < 4; ++word) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(read.GetDataFloat(word)),
                  std::bit_cast<std::uint32_t>(written.GetDataFloat(word)))
            << i << " " << word;
    }
}

class ColladaAnimation : public ColladaReadTest {
protected:
    KFbxTakeNode* TakeOf(const char* name) {
        KFbxNode* node = Node(mScene, name);
        return node != nullptr ? node->GetCurrentTakeNode() : nullptr;
    }
};

}  // namespace

TEST_F(ColladaAnimation, GlobalTransformsAtFiveTimes) {
    ReadValid(Replaced(SceneDocument(kLibraries, Nodes()), "<library_visual_scenes>", Animations() + "<library_visual_scenes>"));
    EXPECT_STREQ(mScene->GetCurrentTakeName(), "Take 001");
    for (const double seconds : {0.0, 0.5, 1.0, 1.5, 2.0}) {
        const auto move = Move(seconds);
        const Matrix base = Translate(move[0], move[1], move[2]) * Rotate(0, 0, 1, Spin(seconds)) * Scale(2, 2, 2);
        const Matrix arm = base * Translate(0, 1, 0) * Rotate(1, 0, 0, Bend(seconds));
        const Matrix tip = arm * FromRows(kTipRows);
        const KTime time = Seconds(seconds);
        EXPECT_LT(Difference(Node(mScene, "base")->EvaluateGlobalTransform(time), base), 1e-6) << seconds;
        EXPECT_LT(Difference(Node(mScene, "arm")->EvaluateGlobalTransform(time), arm), 1e-6) << seconds;
        EXPECT_LT(Difference(Node(mScene, "tip")->EvaluateGlobalTransform(time), tip), 1e-6) << seconds;
        EXPECT_LT(Difference(Node(mScene, "lamp-node")->EvaluateGlobalTransform(time), Identity()), 1e-6);
        EXPECT_LT(Difference(Node(mScene, "face")->EvaluateGlobalTransform(time), Identity()), 1e-6);
    }
    // The take covers every animation, the nested one's last key included.
    const KFbxTakeInfo* take = mScene->GetTakeInfo("Take 001");
    ASSERT_NE(take, nullptr);
    EXPECT_EQ(take->mLocalTimeSpan.GetStart().Get(), 0);
    EXPECT_EQ(take->mLocalTimeSpan.GetStop().Get(), Seconds(3.0).Get());
}

TEST_F(ColladaAnimation, KeysOfTransformsLightsAndMorphs) {
    ReadValid(Replaced(SceneDocument(kLibraries, Nodes()), "<library_visual_scenes>", Animations() + "<library_visual_scenes>"));
    KFCurve* x = TakeOf("base")->GetTranslationX();
    ASSERT_EQ(x->KeyGetCount(), 3);
    EXPECT_EQ(x->KeyGetValue(1), 3.0f);
    EXPECT_EQ(x->KeyGetInterpolation(0), KFCURVE_INTERPOLATION_LINEAR);
    EXPECT_EQ(TakeOf("base")->GetTranslationZ()->KeyGetValue(2), 5.0f);
    KFCurve* spin = TakeOf("base")->GetEulerRotationZ();
    ASSERT_EQ(spin->KeyGetCount(), 2);
    EXPECT_EQ(spin->KeyGetInterpolation(0), KFCURVE_INTERPOLATION_CUBIC);
    EXPECT_EQ(spin->KeyGetTangentMode(0) & KFCURVE_TANGENT_USER, KFCURVE_TANGENT_USER);
    // The tangent offsets over a segment of 2 seconds at weight 1/3.
    EXPECT_FLOAT_EQ(spin->KeyGetRightDerivative(0), 135.0f);
    EXPECT_FLOAT_EQ(spin->KeyGetLeftDerivative(1), 45.0f);
    KFCurve* green = TakeOf("lamp-node")->GetColorG();
    ASSERT_EQ(green->KeyGetCount(), 2);
    EXPECT_EQ(green->KeyGetInterpolation(0), KFCURVE_INTERPOLATION_CONSTANT);
    EXPECT_EQ(TakeOf("lamp-node")->GetColorR()->KeyGetCount(), 0);
    for (int key = 0; key < 3; ++key) {
        ExpectKeyAsWrittenWhole(*x, key, KFCURVE_TANGENT_AUTO);
    }
    ExpectKeyAsWrittenWhole(*green, 1, KFCURVE_TANGENT_AUTO);
    EXPECT_EQ(TakeOf("lamp-node")->GetLightIntensity()->KeyGetValue(0), 50.0f);
    const KFCurveNode* weight = TakeOf("face")->GetKFCurveNode()->Find("bent");
    ASSERT_NE(weight, nullptr);
    ASSERT_EQ(weight->FCurveGet()->KeyGetCount(), 2);
    EXPECT_EQ(weight->FCurveGet()->KeyGetValue(1), 100.0f);
}

TEST_F(ColladaAnimation, AMorphTargetListedTwiceIsASecondShapeWithTheWeightAnimatedByItsIndex) {
    std::string twice = Replaced(kLibraries, ">bent<", ">bent bent<");
    twice = Replaced(twice, "#m-t-a\" count=\"1\"", "#m-t-a\" count=\"2\"");
    twice = Replaced(twice, FloatSource("face-weights", "0", 1, {"MORPH_WEIGHT"}),
                     FloatSource("face-weights", "0 0.5", 2, {"MORPH_WEIGHT"}));
    ReadValid(Replaced(SceneDocument(twice, Nodes()), "<library_visual_scenes>",
                       "<library_animations>" + Animation("blend", "face-weights(1)", "0 2", 2, "0 1", 1) +
                           "</library_animations><library_visual_scenes>"));
    EXPECT_TRUE(MessageHas("Warning: morph target bent of mesh face is read as shape bent1: an earlier shape of the "
                           "geometry has that name"));
    const KFCurveNode* second = TakeOf("face")->GetKFCurveNode()->Find("bent1");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->FCurveGet()->KeyGetCount(), 2);
    const KFCurveNode* first = TakeOf("face")->GetKFCurveNode()->Find("bent");
    EXPECT_TRUE(first == nullptr || first->FCurveGet()->KeyGetCount() == 0);
}

TEST_F(ColladaAnimation, ChannelsThatMissTheirTarget) {
    const std::string animations =
        "<library_animations>" + Animation("a", "nobody/t", "0", 1, "1 2 3", 3) +
        Animation("b", "base/nothing", "0", 1, "1", 1) + Animation("c", "base/t.W", "0", 1, "1", 1) +
        Animation("d", "base/spin.AXIS", "0", 1, "1", 1) + Animation("e", "lamp/color.A", "0", 1, "1", 1) +
        "</library_animations>";
    ASSERT_TRUE(Read(Replaced(SceneDocument(kLibraries, Nodes()), "<library_visual_scenes>",
                              animations + "<library_visual_scenes>")));
    EXPECT_TRUE(MessageHas("Warning: node channel not found for animation: nobody/t"));
    EXPECT_TRUE(MessageHas("Warning: unknown animation channel: base/nothing"));
    EXPECT_TRUE(MessageHas("Warning: unknown target in animation channel: W"));
    EXPECT_TRUE(MessageHas("Warning: unknown target in animation channel: AXIS"));
    EXPECT_TRUE(MessageHas("Warning: unknown target in animation channel: A"));
    EXPECT_TRUE(MessageHas("Warning: could not find curve for target base/t.W"));
    ExpectReadFails(Replaced(SceneDocument(kLibraries, Nodes()), "<library_visual_scenes>",
                             "<library_animations>" + Animation("f", "nobody(0)", "0", 1, "1", 1) +
                                 "</library_animations><library_visual_scenes>"),
                    "ERROR: shape not found for animation: nobody(0)");
}

TEST_F(ColladaAnimation, ShortOutputsAndEqualTimes) {
    // Four outputs for three keys of three curves: the missing ones stand
    // for the last there is.
    const std::string shortOutputs = Replaced(Animation("s", "base/t", "0 1 2", 3, "1 2 3 3 2 3 3 4 5", 3),
                                              FloatSource("s-out", "1 2 3 3 2 3 3 4 5", 3, {"X", "Y", "Z"}),
                                              FloatSource("s-out", "1 2 3 4", 4, {"X"}));
    const std::string equalTimes =
        Animation("q", "base/spin.ANGLE", "1 1", 2, "0 180", 1, "BEZIER BEZIER", "10 10", "10 10");
    ASSERT_TRUE(Read(Replaced(SceneDocument(kLibraries, Nodes()), "<library_visual_scenes>",
                              "<library_animations>" + shortOutputs + equalTimes +
                                  "</library_animations><library_visual_scenes>")));
    KFCurve* z = TakeOf("base")->GetTranslationZ();
    ASSERT_EQ(z->KeyGetCount(), 3);
    EXPECT_EQ(z->KeyGetValue(2), 4.0f);
    EXPECT_TRUE(MessageHas("Warning: Number of outputs (4), in tangents (0), out tangents (0)  or interpolation (0) "
                           "not the number expected (9)."));
    KFCurve* spin = TakeOf("base")->GetEulerRotationZ();
    EXPECT_EQ(spin->KeyGetCount(), 1);
    EXPECT_TRUE(std::isfinite(spin->KeyGetLeftDerivative(0)));
    ExpectKeyAsWrittenWhole(*spin, 0, KFCURVE_TANGENT_USER);
}

namespace {

// COLLADA's row-by-row text of a matrix.
std::string RowsText(const Matrix& m) {
    std::string text;
    for (const auto& row : m) {
        for (double value : row) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.9g ", value);
            text += buffer;
        }
    }
    return text;
}

// A node placed by a matrix element whose keys are whole matrices, as
// exporters that bake transforms write it.
std::string MatrixAnimatedDocument(const std::vector<Matrix>& keys, const std::string& times,
                                   const std::string& interpolations, int timeCount = 0) {
    std::string outputs;
    for (const Matrix& key : keys) {
        outputs += RowsText(key);
    }
    const int count = static_cast<int>(keys.size());
    timeCount = timeCount > 0 ? timeCount : count;
    const std::string animation =
        "<library_animations><animation id=\"cube-anim\">" + FloatSource("cube-in", times, timeCount, {"TIME"}) +
        "<source id=\"cube-out\"><float_array id=\"cube-out-array\" count=\"" + std::to_string(16 * count) + "\">" +
        outputs +
        "</float_array><technique_common><accessor source=\"#cube-out-array\" count=\"" + std::to_string(count) +
        "\" stride=\"16\"><param name=\"TRANSFORM\" type=\"float4x4\"/></accessor></technique_common></source>" +
        NameSource("cube-interp", interpolations, timeCount) +
        "<sampler id=\"cube-s\"><input semantic=\"INPUT\" source=\"#cube-in\"/><input semantic=\"OUTPUT\" "
        "source=\"#cube-out\"/><input semantic=\"INTERPOLATION\" source=\"#cube-interp\"/></sampler>"
        "<channel source=\"#cube-s\" target=\"Cube/transform\"/></animation></library_animations>";
    const std::string nodes = "<node id=\"Parent\"><translate sid=\"t\">0 0 1</translate><node id=\"Cube\">"
                              "<matrix sid=\"transform\">" + RowsText(keys.front()) + "</matrix></node></node>";
    return Replaced(SceneDocument("", nodes), "<library_visual_scenes>", animation + "<library_visual_scenes>");
}

}  // namespace

TEST_F(ColladaAnimation, MatrixKeysBecomeTranslationRotationAndScalingKeys) {
    const std::vector<Matrix> keys = {
        Translate(1, 2, 3) * Rotate(0, 0, 1, 30) * Scale(1, 2, 3),
        Translate(-4, 0.5, 2) * Rotate(1, 1, 0, 120) * Scale(2, 2, 0.5),
        Translate(0, 0, 0) * Rotate(0, 1, 0, -75) * Rotate(1, 0, 0, 40) * Scale(0.25, 1, 4)};
    ReadValid(MatrixAnimatedDocument(keys, "0 0.5 1.25", "LINEAR LINEAR LINEAR"));
    EXPECT_FALSE(MessageHas("unknown animation channel")) << mMessage.Buffer();
    const double times[3] = {0.0, 0.5, 1.25};
    for (int key = 0; key < 3; ++key) {
        const KTime time = Seconds(times[key]);
        EXPECT_LT(Difference(Node(mScene, "Cube")->EvaluateGlobalTransform(time), Translate(0, 0, 1) * keys[key]),
                  1e-5)
            << key;
    }
    KFbxTakeNode* take = TakeOf("Cube");
    for (KFCurve* curve : {take->GetTranslationX(), take->GetEulerRotationY(), take->GetScaleZ()}) {
        ASSERT_EQ(curve->KeyGetCount(), 3);
        EXPECT_EQ(curve->KeyGetInterpolation(1), KFCURVE_INTERPOLATION_LINEAR);
    }
    EXPECT_FLOAT_EQ(take->GetScaleZ()->KeyGetValue(2), 4.0f);
    const KFbxTakeInfo* info = mScene->GetTakeInfo("Take 001");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->mLocalTimeSpan.GetStop().Get(), Seconds(1.25).Get());
}

TEST_F(ColladaAnimation, EachMatrixKeysInterpolationServesAllNineCurves) {
    ReadValid(MatrixAnimatedDocument({Translate(1, 0, 0), Translate(2, 0, 0), Translate(3, 0, 0)}, "0 1 2",
                                     "STEP LINEAR STEP"));
    KFbxTakeNode* take = TakeOf("Cube");
    for (KFCurve* curve : {take->GetTranslationX(), take->GetEulerRotationY(), take->GetScaleZ()}) {
        ASSERT_EQ(curve->KeyGetCount(), 3);
        EXPECT_EQ(curve->KeyGetInterpolation(1), KFCURVE_INTERPOLATION_LINEAR);
        EXPECT_EQ(curve->KeyGetInterpolation(2), KFCURVE_INTERPOLATION_CONSTANT);
    }
}

TEST_F(ColladaAnimation, MatrixKeysTurnTheShortWayBetweenKeys) {
    // 170 then 190 degrees about Z: the second matrix gives -170, which
    // unrolled stays 20 degrees from the first.
    const std::vector<Matrix> keys = {Rotate(0, 0, 1, 170), Rotate(0, 0, 1, 190), Rotate(0, 0, 1, 215)};
    ReadValid(MatrixAnimatedDocument(keys, "0 1 2", "LINEAR LINEAR LINEAR"));
    KFCurve* z = TakeOf("Cube")->GetEulerRotationZ();
    ASSERT_EQ(z->KeyGetCount(), 3);
    EXPECT_NEAR(z->KeyGetValue(0), 170.0, 1e-3);
    EXPECT_NEAR(z->KeyGetValue(1), 190.0, 1e-3);
    EXPECT_NEAR(z->KeyGetValue(2), 215.0, 1e-3);
    // Half-way the node has turned 180 degrees, not back through 0.
    EXPECT_LT(Difference(Node(mScene, "Cube")->EvaluateGlobalTransform(Seconds(0.5)),
                         Translate(0, 0, 1) * Rotate(0, 0, 1, 180)),
              1e-4);
}

TEST_F(ColladaAnimation, MatrixOutputsShortOfSixteenPerKeyWarnAndKeepTheWholeOnes) {
    // Three key times, two matrices.
    const std::string document =
        MatrixAnimatedDocument({Translate(1, 0, 0), Translate(2, 0, 0)}, "0 1 2", "STEP STEP STEP", 3);
    ASSERT_TRUE(Read(document)) << mMessage.Buffer();
    EXPECT_TRUE(MessageHas("Number of matrix outputs (32) not 16 per key time (3).")) << mMessage.Buffer();
    KFCurve* x = TakeOf("Cube")->GetTranslationX();
    ASSERT_EQ(x->KeyGetCount(), 3);
    EXPECT_EQ(x->KeyGetValue(0), 1.0f);
    EXPECT_EQ(x->KeyGetValue(2), 2.0f);
    EXPECT_EQ(x->KeyGetInterpolation(0), KFCURVE_INTERPOLATION_CONSTANT);
    ExpectKeyAsWrittenWhole(*x, 2, KFCURVE_TANGENT_AUTO);
}
