// Node transforms onto the node's slots, checked through the global
// transforms the SDK evaluates against COLLADA's own composition; and the
// transform arithmetic the reader and the writer share.
#include <fbxfilesdk/collada/ColladaTransformMath.h>
#include <fbxfilesdk/core/KgeMath.h>

#include "ColladaSceneSupport.h"
#include "ColladaTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::colladatest;

namespace {

class ColladaTransforms : public ColladaReadTest {
protected:
    // Reads nodes of a valid document and gives the scene's node of the name.
    KFbxNode* ReadNode(const std::string& nodes, const char* name) {
        ReadValid(SceneDocument("", nodes));
        return Node(mScene, name);
    }
    double GlobalDifference(const char* name, const Matrix& expected) {
        KFbxNode* node = Node(mScene, name);
        return node != nullptr ? Difference(node->EvaluateDefaultGlobalTransform(), expected) : 1e9;
    }
    KFbxNode::ERotationOrder OrderOf(const char* name) {
        KFbxNode::ERotationOrder order = KFbxNode::eSPHERIC_XYZ;
        Node(mScene, name)->GetRotationOrder(KFbxNode::eSOURCE_SET, order);
        return order;
    }
};

}  // namespace

TEST(ColladaTransformMath, EulerAnglesComposeXThenYThenZ) {
    // Ninety degrees about each axis in turn is ninety degrees about Y.
    KFbxVector4 axis;
    double degrees = 0.0;
    ColladaQuaternionToAxisAngle(ColladaEulerToQuaternion(KFbxVector4(90, 90, 90, 0)), axis, degrees);
    EXPECT_NEAR(degrees, 90.0, 1e-9);
    EXPECT_NEAR(axis[1], 1.0, 1e-9);
    // Against the matrices of the three rotations, for angles of every sign.
    const double angles[3] = {-35.0, 70.0, 125.0};
    const KFbxQuaternion q = ColladaEulerToQuaternion(KFbxVector4(angles[0], angles[1], angles[2], 0));
    KgeMatrix fromQuaternion;
    KgeMatrixFromQuaternion(fromQuaternion, q[0], q[1], q[2], q[3]);
    const Matrix expected = Rotate(0, 0, 1, angles[2]) * Rotate(0, 1, 0, angles[1]) * Rotate(1, 0, 0, angles[0]);
    EXPECT_LT(Difference(fromQuaternion, expected), 1e-12);
    KgeMatrix fromEuler;
    fromEuler.SetROnly(KFbxVector4(angles[0], angles[1], angles[2], 0));
    EXPECT_LT(Difference(fromEuler, expected), 1e-12);
}

TEST(ColladaTransformMath, AxisAnglesOfAnyQuaternion) {
    KFbxVector4 axis;
    double degrees = -1.0;
    ColladaQuaternionToAxisAngle(KFbxQuaternion(0, 0, 0, 1.0 + 1e-15), axis, degrees);
    EXPECT_EQ(degrees, 0.0);
    EXPECT_EQ(axis[0], 1.0);
    ColladaQuaternionToAxisAngle(KFbxQuaternion(0, 0, 2, 0), axis, degrees);
    EXPECT_NEAR(degrees, 180.0, 1e-9);
    EXPECT_NEAR(axis[2], 1.0, 1e-12);
    const KFbxVector4 euler = ColladaAxisAngleToEuler(KFbxVector4(1, 1, 0, 0), 45.0);
    KgeMatrix back;
    back.SetROnly(euler);
    EXPECT_LT(Difference(back, Rotate(1, 1, 0, 45.0)), 1e-12);
    EXPECT_LT(Difference(ColladaAxisAngleMatrix(KFbxVector4(0, 0, 0, 0), 30.0), Identity()), 1e-15);
}

TEST(ColladaTransformMath, RotationOrdersAndTheAxesThatWriteThem) {
    for (int order = 0; order < 6; ++order) {
        int axes[3];
        ColladaAxesOfRotationOrder(order, axes);
        int positions[3] = {-1, -1, -1};
        for (int position = 0; position < 3; ++position) {
            positions[axes[position]] = position;
        }
        EXPECT_EQ(ColladaRotationOrderFromAxes(positions, 3), order);
    }
    const int zThenX[3] = {1, -1, 0};
    EXPECT_EQ(ColladaRotationOrderFromAxes(zThenX, 2), KFbxNode::eEULER_XYZ);
    const int yThenZ[3] = {-1, 0, 1};
    EXPECT_EQ(ColladaRotationOrderFromAxes(yThenZ, 2), KFbxNode::eEULER_XZY);
    const int one[3] = {-1, 0, -1};
    EXPECT_EQ(ColladaRotationOrderFromAxes(one, 1), KFbxNode::eEULER_XYZ);
}

TEST(ColladaTransformMath, InversesOfShearedTransformsAndLookAtFrames) {
    KgeMatrix sheared;
    sheared[1][0] = 1.0;
    sheared[0][0] = 2.0;
    sheared[3][2] = -4.0;
    EXPECT_LT(Difference(ColladaAffineInverse(sheared).GetProduct(sheared), Identity()), 1e-12);
    // An up that leans towards the view is made perpendicular to it.
    const KgeMatrix frame = ColladaLookAtMatrix(KFbxVector4(0, 0, 5, 0), KFbxVector4(0, 0, 0, 0), KFbxVector4(0, 1, 1, 0));
    EXPECT_NEAR(frame[1][1], 1.0, 1e-12);
    EXPECT_NEAR(frame[1][2], 0.0, 1e-12);
    const KgeMatrix degenerate = ColladaLookAtMatrix(KFbxVector4(1, 1, 1, 0), KFbxVector4(1, 1, 1, 0), KFbxVector4(0, 1, 0, 0));
    EXPECT_EQ(degenerate[0][0], 1.0);
}

TEST_F(ColladaTransforms, AxisRotationsGiveTheRotationOrder) {
    ReadValid(SceneDocument(
        "",
        "<node id=\"zyx\"><rotate sid=\"rotateZ\">0 0 1 30</rotate><rotate sid=\"rotateY\">0 1 0 20</rotate>"
        "<rotate sid=\"rotateX\">1 0 0 10</rotate></node>"
        "<node id=\"xyz\"><rotate>1 0 0 10</rotate><rotate>0 1 0 20</rotate><rotate>0 0 1 30</rotate></node>"
        "<node id=\"yz\"><rotate>0 1 0 20</rotate><rotate>0 0 1 30</rotate></node>"
        "<node id=\"xx\"><rotate>1 0 0 10</rotate><rotate>1 0 0 20</rotate></node>"));
    KFbxVector4 rotation;
    Node(mScene, "zyx")->GetLclRotation(rotation);
    EXPECT_EQ(rotation[0], 10.0);
    EXPECT_EQ(rotation[2], 30.0);
    EXPECT_EQ(OrderOf("zyx"), KFbxNode::eEULER_XYZ);
    EXPECT_EQ(OrderOf("xyz"), KFbxNode::eEULER_ZYX);
    EXPECT_EQ(OrderOf("yz"), KFbxNode::eEULER_XZY);
    Node(mScene, "xx")->GetLclRotation(rotation);
    EXPECT_EQ(rotation[0], 30.0);
    EXPECT_LT(GlobalDifference("zyx", Rotate(0, 0, 1, 30) * Rotate(0, 1, 0, 20) * Rotate(1, 0, 0, 10)), 1e-6);
    EXPECT_LT(GlobalDifference("xyz", Rotate(1, 0, 0, 10) * Rotate(0, 1, 0, 20) * Rotate(0, 0, 1, 30)), 1e-6);
    EXPECT_LT(GlobalDifference("yz", Rotate(0, 1, 0, 20) * Rotate(0, 0, 1, 30)), 1e-6);
}

TEST_F(ColladaTransforms, RotationsAboutAxesOfAnyLength) {
    ReadValid(SceneDocument("", "<node id=\"near\"><rotate>0 0 1.0000005 30</rotate></node>"
                                "<node id=\"long\"><rotate>0 0 2 30</rotate><rotate>1 0 0 15</rotate></node>"
                                "<node id=\"slant\"><translate>1 2 3</translate><rotate>1 1 0 45</rotate>"
                                "<scale>2 1 0.5</scale></node>"));
    KFbxVector4 rotation;
    Node(mScene, "near")->GetLclRotation(rotation);
    EXPECT_EQ(rotation[2], 30.0);
    // An axis of length 2 turns by the angle about its direction: Z, then X.
    EXPECT_LT(GlobalDifference("long", Rotate(0, 0, 1, 30) * Rotate(1, 0, 0, 15)), 1e-6);
    EXPECT_EQ(OrderOf("long"), KFbxNode::eEULER_XYZ);
    EXPECT_LT(GlobalDifference("slant", Translate(1, 2, 3) * Rotate(1, 1, 0, 45) * Scale(2, 1, 0.5)), 1e-6);
}

TEST_F(ColladaTransforms, MatricesPlaceTheirNodes) {
    // A turn of 90 degrees about X, a scaling of 2 and a translation.
    const std::array<double, 16> rows = {2, 0, 0, 4, 0, 0, -2, 5, 0, 2, 0, 6, 0, 0, 0, 1};
    std::string text;
    for (double value : rows) {
        text += std::to_string(value) + " ";
    }
    ReadValid(SceneDocument("", "<node id=\"m\"><matrix sid=\"transform\">" + text +
                                    "</matrix><node id=\"child\"><translate>0 1 0</translate></node></node>"));
    KFbxVector4 translation;
    Node(mScene, "m")->GetLclTranslation(translation);
    EXPECT_EQ(translation[1], 5.0);
    EXPECT_LT(GlobalDifference("m", FromRows(rows)), 1e-6);
    EXPECT_LT(GlobalDifference("child", FromRows(rows) * Translate(0, 1, 0)), 1e-6);
}

TEST_F(ColladaTransforms, MayaSidsFillPivotsAndOrients) {
    KFbxNode* node = ReadNode(
        "<node id=\"j\"><translate sid=\"translate\">1 0 0</translate><translate>2 0 0</translate>"
        "<translate sid=\"rotatePivot\">0 1 0</translate><translate sid=\"rotatePivotInverse\">0 -1 0</translate>"
        "<translate sid=\"scalePivotTranslation\">0 0 3</translate>"
        "<rotate sid=\"jointOrientY\">0 1 0 45</rotate><rotate sid=\"post-rotationX\">1 0 0 -90</rotate>"
        "<scale>1 2 1</scale></node>",
        "j");
    ASSERT_NE(node, nullptr);
    KFbxVector4 translation;
    node->GetLclTranslation(translation);
    EXPECT_EQ(translation[0], 2.0);
    EXPECT_EQ(node->GetRotationPivot(KFbxNode::eSOURCE_SET)[1], 1.0);
    EXPECT_EQ(node->GetScalingOffset(KFbxNode::eSOURCE_SET)[2], 3.0);
    EXPECT_EQ(node->GetPreRotation(KFbxNode::eSOURCE_SET)[1], 45.0);
    EXPECT_EQ(node->GetPreRotation(KFbxNode::eSOURCE_SET)[0], 0.0);
    EXPECT_EQ(node->GetPostRotation(KFbxNode::eSOURCE_SET)[0], 90.0);
    EXPECT_TRUE(node->GetRotationActive());
}

TEST_F(ColladaTransforms, UnsupportedTransformsWarnAndUnknownOnesFail) {
    ASSERT_TRUE(Read(SceneDocument("", "<node id=\"a\"><skew>45 0 1 0 1 0 0</skew><skew>1 0 1 0 1 0 0</skew>"
                                       "<perspective>90</perspective><extra/><extra/></node>")));
    const std::string message = mMessage.Buffer();
    EXPECT_EQ(message.find("transform is not supported by FBX: skew"), message.rfind("transform is not supported"));
    EXPECT_NE(message.find("Warning: <perspective> is not supported."), std::string::npos);
    EXPECT_EQ(message.find("Extra node is not supported in node"), message.rfind("Extra node is not supported"));
    ExpectReadFails(SceneDocument("", "<node id=\"a\"><spin>1</spin></node>"), "ERROR: structure spin unknown\n");
}

TEST_F(ColladaTransforms, CamerasLookAtTheirInterest) {
    const std::string camera =
        "<library_cameras><camera id=\"cam\"><optics><technique_common><perspective><yfov>45</yfov>"
        "<znear>1</znear><zfar>100</zfar></perspective></technique_common></optics></camera></library_cameras>";
    ReadValid(SceneDocument(camera, "<node id=\"eye\"><translate>9 9 9</translate><lookat>0 -5 3 1 2 3 0 1 0.5</lookat>"
                                    "<instance_camera url=\"#cam\"/></node>"));
    KFbxNode* node = Node(mScene, "eye");
    ASSERT_NE(node, nullptr);
    KFbxVector4 translation;
    node->GetLclTranslation(translation);
    EXPECT_EQ(translation[1], -5.0);
    // The camera turns from the SDK's view along X to COLLADA's down Z.
    EXPECT_EQ(node->GetPostRotation(KFbxNode::eSOURCE_SET)[1], -90.0);
    const Matrix frame = LookAt({0, -5, 3}, {1, 2, 3}, {0, 1, 0.5});
    EXPECT_LT(GlobalDifference("eye", frame * Rotate(0, 1, 0, 90)), 1e-6);
}

// The turn a camera or spot light takes in the scene is not its children's:
// they stand where the document puts them, moving as its keys say.
TEST_F(ColladaTransforms, ChildrenOfCamerasAndLightsStayWhereTheDocumentPutsThem) {
    const std::string libraries =
        "<library_animations><animation id=\"a\">" + FloatSource("a-in", "0 1", 2, {"TIME"}) +
        FloatSource("a-out", "1 4", 2, {"X"}) +
        "<sampler id=\"a-s\"><input semantic=\"INPUT\" source=\"#a-in\"/><input semantic=\"OUTPUT\" "
        "source=\"#a-out\"/></sampler><channel source=\"#a-s\" target=\"held/t.X\"/></animation>"
        "</library_animations><library_cameras><camera id=\"cam\"><optics><technique_common><perspective><yfov>45"
        "</yfov><znear>1</znear><zfar>100</zfar></perspective></technique_common></optics></camera></library_cameras>"
        "<library_lights><light id=\"spot\"><technique_common><spot><color>1 1 1</color></spot></technique_common>"
        "</light></library_lights>";
    ReadValid(SceneDocument(
        libraries,
        "<node id=\"eye\"><translate>0 1 5</translate><rotate>0 1 0 30</rotate><instance_camera url=\"#cam\"/>"
        "<node id=\"held\"><translate sid=\"t\">1 2 3</translate><rotate>1 0 0 45</rotate></node></node>"
        "<node id=\"lamp\"><translate>-2 0 0</translate><instance_light url=\"#spot\"/>"
        "<node id=\"lit\"><translate>0 0 -4</translate></node></node>"));
    const Matrix eye = Translate(0, 1, 5) * Rotate(0, 1, 0, 30);
    EXPECT_LT(GlobalDifference("held", eye * Translate(1, 2, 3) * Rotate(1, 0, 0, 45)), 1e-6);
    EXPECT_LT(GlobalDifference("lit", Translate(-2, 0, -4)), 1e-6);
    KFbxNode* held = Node(mScene, "held");
    KTime second;
    second.SetSecondDouble(1.0);
    EXPECT_LT(Difference(held->EvaluateGlobalTransform(second), eye * Translate(4, 2, 3) * Rotate(1, 0, 0, 45)), 1e-5);
}
