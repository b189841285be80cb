// Node transforms as the COLLADA writer writes them: the translate / rotate
// / scale sequence of the pivot model with its sids, rotation orders, the
// zero threshold, and the single matrix in COLLADA's column order.
#include "collada/ColladaWriterScenes.h"
#include "collada/ColladaWriterSupport.h"

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <algorithm>
#include <array>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::colladatest {
namespace {

KFbxVector4 V(double x, double y, double z) { return KFbxVector4(x, y, z, 0.0); }

class ColladaWriterTransformsTest : public ColladaWriteTest {
protected:
    KFbxNode* Node(const char* name) {
        KFbxNode* node = KFbxNode::Create(mManager, name);
        mScene->GetRootNode()->AddChild(node);
        return node;
    }

    // "sid=text" per transform element of the node, in document order.
    std::vector<std::string> Transforms(const char* id) const {
        std::vector<std::string> items;
        for (xmlNode* child : ColladaXml::ChildElements(FindById(id))) {
            if (ColladaXml::IsNamed(child, "node")) {
                continue;
            }
            items.push_back(std::string(ColladaXml::GetAttribute(child, "sid").Buffer()) + "=" +
                            ColladaXml::GetContent(child).Buffer());
        }
        return items;
    }
};

TEST_F(ColladaWriterTransformsTest, ThresholdIsOneMillionth) {
    EXPECT_FALSE(KFbxWriterCollada::IsNotZero(0.0000009));
    EXPECT_FALSE(KFbxWriterCollada::IsNotZero(-0.0000009));
    EXPECT_TRUE(KFbxWriterCollada::IsNotZero(0.000001));
    EXPECT_TRUE(KFbxWriterCollada::IsNotZero(std::nan("")));
    EXPECT_FALSE(KFbxWriterCollada::IsVectorNotEqual(V(1, 1, 1.0000005), 1.0));
    EXPECT_TRUE(KFbxWriterCollada::IsVectorNotZero(V(0, 0, 0.00001)));
}

TEST_F(ColladaWriterTransformsTest, FullPivotSequenceInOrderWithSids) {
    KFbxNode* node = Node("Full");
    node->SetLclTranslation(V(1, 2, 3));
    node->SetLclRotation(V(10, 20, 30));
    node->SetLclScaling(V(2, 3, 4));
    node->SetRotationOffset(KFbxNode::eSOURCE_SET, V(0, 1, 0));
    node->SetRotationPivot(KFbxNode::eSOURCE_SET, V(5, 0, 0));
    node->SetPreRotation(KFbxNode::eSOURCE_SET, V(0, 90, 0));
    node->SetPostRotation(KFbxNode::eSOURCE_SET, V(0, 0, 45));
    node->SetScalingOffset(KFbxNode::eSOURCE_SET, V(0, 0, 1));
    node->SetScalingPivot(KFbxNode::eSOURCE_SET, V(1, 1, 1));
    node->SetRotationOrder(KFbxNode::eSOURCE_SET, KFbxNode::eEULER_ZYX);
    node->SetRotationActive(true);
    WriteValid();
    EXPECT_EQ(Transforms("Full"), (std::vector<std::string>{
                                      "translate=1.000000 2.000000 3.000000",
                                      "rotatePivotTranslation=0.000000 1.000000 0.000000",
                                      "rotatePivot=5.000000 0.000000 0.000000",
                                      "jointOrientY=0 1 0 90.000000",
                                      "rotateX=1 0 0 10.000000",
                                      "rotateY=0 1 0 20.000000",
                                      "rotateZ=0 0 1 30.000000",
                                      "post-rotationZ=0 0 1 -45.000000",
                                      "rotatePivotInverse=-5.000000 -0.000000 -0.000000",
                                      "scalePivotTranslation=0.000000 0.000000 1.000000",
                                      "scalePivot=1.000000 1.000000 1.000000",
                                      "scale=2.000000 3.000000 4.000000",
                                      "scalePivotInverse=-1.000000 -1.000000 -1.000000",
                                  }));
}

TEST_F(ColladaWriterTransformsTest, LimitOnlyRotationSpaceWritesNoJointOrientation) {
    KFbxNode* node = Node("Limited");
    node->SetPreRotation(KFbxNode::eSOURCE_SET, V(0, 90, 0));
    node->SetRotationSpaceForLimitOnly(KFbxNode::eSOURCE_SET, true);
    node->SetRotationActive(true);
    node->SetRotationOrder(KFbxNode::eSOURCE_SET, KFbxNode::eEULER_ZYX);
    node->SetLclRotation(V(10, 20, 30));
    WriteValid();
    EXPECT_EQ(Transforms("Limited"), (std::vector<std::string>{"rotateZ=0 0 1 30.000000", "rotateY=0 1 0 20.000000",
                                                               "rotateX=1 0 0 10.000000"}));
}

TEST_F(ColladaWriterTransformsTest, DecomposedTransformReadsBackToTheSamePlacement) {
    KFbxNode* node = Node("Placed");
    node->SetLclTranslation(V(1, -2, 3));
    node->SetLclRotation(V(15, -40, 70));
    node->SetLclScaling(V(1, 2, 0.5));
    node->SetRotationOrder(KFbxNode::eSOURCE_SET, KFbxNode::eEULER_YZX);
    node->SetRotationActive(true);
    node->SetPreRotation(KFbxNode::eSOURCE_SET, V(0, 0, 30));
    node->SetRotationPivot(KFbxNode::eSOURCE_SET, V(0.5, 0, 0));
    // The same order without an active rotation turns the node by XYZ angles.
    KFbxNode* inactive = Node("Inactive");
    inactive->SetLclRotation(V(15, -40, 70));
    inactive->SetRotationOrder(KFbxNode::eSOURCE_SET, KFbxNode::eEULER_YZX);
    inactive->SetPreRotation(KFbxNode::eSOURCE_SET, V(0, 0, 30));
    KFbxNode* child = KFbxNode::Create(mManager, "Child");
    child->SetLclTranslation(V(0, 1, 0));
    node->AddChild(child);
    const std::string path = WriteValid();
    KFbxScene* read = ReadBack(path);
    for (const char* name : {"Placed", "Child", "Inactive"}) {
        KFbxNode* original = mScene->GetRootNode()->FindChild(name);
        KFbxNode* again = read->GetRootNode()->FindChild(name);
        ASSERT_NE(again, nullptr) << name;
        const KgeMatrix want = original->EvaluateDefaultGlobalTransform();
        const KgeMatrix got = again->EvaluateDefaultGlobalTransform();
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 3; ++column) {
                EXPECT_NEAR(got[row][column], want[row][column], 1e-5) << name << " " << row << "," << column;
            }
        }
    }
}

TEST_F(ColladaWriterTransformsTest, AnimatedComponentsAreWrittenEvenAtTheirNeutralValue) {
    KFbxNode* node = Node("Moving");
    KFbxTakeNode* take = node->CreateTakeNode("Walk");
    ASSERT_TRUE(node->SetCurrentTakeNodeByName("Walk"));
    KTime second;
    second.SetSecondDouble(1.0);
    take->GetEulerRotationY()->KeySet(0, KTime(), 0.0f);
    take->GetEulerRotationY()->KeySet(1, second, 90.0f);
    take->GetTranslationZ()->KeySet(0, KTime(), 0.0f);
    take->GetScaleX()->KeySet(0, KTime(), 1.0f);
    KFbxNode* still = Node("Still");
    still->CreateTakeNode("Walk");
    ASSERT_TRUE(still->SetCurrentTakeNodeByName("Walk"));
    WriteValid();
    EXPECT_EQ(Transforms("Moving"), (std::vector<std::string>{"translate=0.000000 0.000000 0.000000",
                                                              "rotateY=0 1 0 0.000000",
                                                              "scale=1.000000 1.000000 1.000000"}));
    EXPECT_TRUE(Transforms("Still").empty());
}

TEST_F(ColladaWriterTransformsTest, SingleMatrixHasTheTranslationInItsFourthColumn) {
    Node("Moved")->SetLclTranslation(V(1, 2, 3));
    WriteValid(false, true);
    EXPECT_EQ(Transforms("Moved"), (std::vector<std::string>{
                                       "matrix=1.000000 0.000000 0.000000 1.000000 0.000000 1.000000 0.000000 "
                                       "2.000000 0.000000 0.000000 1.000000 3.000000 0.000000 0.000000 0.000000 "
                                       "1.000000\n"}));
}

// A parent's scaling is not carried through its child's rotation in the
// scene, and a camera's or light's element turns by more than its node
// does; every reader must still find the children's points where the scene
// has them (the scaled child's corner (1, 0, 0) at (0.707, 3.707, 0)).
TEST_F(ColladaWriterTransformsTest, ChildrenAreWhereTheSceneHasThem) {
    KFbxNode* parent = Node("Stretched");
    parent->SetLclScaling(V(1, 3, 1));
    KFbxMesh* child = AddMeshNode(mManager, parent, "Turned", {V(0, 0, 0), V(1, 0, 0), V(0, 1, 0)}, {{0, 1, 2}});
    child->GetNode()->SetLclTranslation(V(0, 1, 0));
    child->GetNode()->SetLclRotation(V(0, 0, 45));
    // A grandchild under the turned child: placed through the child's matrix.
    AddMeshNode(mManager, child->GetNode(), "Below", {V(0, 0, 0), V(0, 0, 1), V(1, 1, 0)}, {{0, 1, 2}})
        ->GetNode()
        ->SetLclTranslation(V(1, 0, 0));
    // Under a rolled camera, a spot light and a camera that looks at a target.
    KFbxNode* camera = Node("Cam");
    KFbxCamera* rolled = KFbxCamera::Create(mManager, "");
    camera->SetNodeAttribute(rolled);
    rolled->SetDefaultRoll(20.0);
    camera->SetLclTranslation(V(0, 2, 5));
    camera->SetLclRotation(V(0, 30, 0));
    AddMeshNode(mManager, camera, "UnderCam", {V(0, 0, 0), V(1, 0, 0), V(0, 1, 0)}, {{0, 1, 2}})
        ->GetNode()
        ->SetLclTranslation(V(1, 0, -2));
    KFbxNode* spot = Node("Spot");
    KFbxLight* light = KFbxLight::Create(mManager, "");
    light->SetLightType(KFbxLight::eSPOT);
    spot->SetNodeAttribute(light);
    spot->SetLclTranslation(V(-3, 1, 0));
    AddMeshNode(mManager, spot, "UnderSpot", {V(0, 0, 0), V(0, 0, 1), V(1, 0, 0)}, {{0, 1, 2}})
        ->GetNode()
        ->SetLclTranslation(V(0, -1, 2));
    KFbxNode* aimed = Node("Aimed");
    aimed->SetNodeAttribute(KFbxCamera::Create(mManager, ""));
    aimed->SetLclTranslation(V(4, 0, 0));
    aimed->SetTarget(Node("Goal"));
    mScene->GetRootNode()->FindChild("Goal")->SetLclTranslation(V(4, 3, -6));
    AddMeshNode(mManager, aimed, "UnderAimed", {V(0, 0, 0), V(0, 2, 0), V(0, 0, 2)}, {{0, 1, 2}})
        ->GetNode()
        ->SetLclTranslation(V(2, 1, 0));
    const WorldPoints want = Rounded(ScenePoints(*mScene->GetRootNode()));
    ASSERT_NE(std::find(want.begin(), want.end(), std::array<double, 3>{0.7071, 3.7071, 0.0}), want.end());
    const std::string path = WriteValid();
    EXPECT_EQ(Transforms("Stretched"), std::vector<std::string>{"scale=1.000000 3.000000 1.000000"});
    ASSERT_FALSE(Transforms("Turned").empty());
    EXPECT_EQ(Transforms("Turned")[0].rfind("matrix=", 0), 0u);

    KFbxScene* read = ReadBack(path);
    EXPECT_EQ(Rounded(ScenePoints(*read->GetRootNode())), want);
    if (PycolladaInstalled()) {
        const std::string report = RunPycollada(kPycolladaWorldPoints, path);
        EXPECT_EQ(Rounded(PointsOfLines(report, "v ")), want) << report;
    }
    if (CommandExists("assimp")) {
        // Pre-transformed vertices are world points, in metres and welded.
        const std::string obj = mFolder / "world.obj";
        CommandOutput("assimp export '" + path + "' '" + obj + "' -ptv >/dev/null 2>&1");
        const double metres = std::atof(ColladaXml::GetAttribute(ColladaXml::FindChild(ColladaXml::FindChild(mDocument.GetRoot(), "asset"), "unit"),
                                                                 "meter")
                                            .Buffer());
        WorldPoints theirs = PointsOfLines(ReadText(obj), "v ");
        for (auto& point : theirs) {
            for (double& value : point) {
                value /= metres;
            }
        }
        WorldPoints welded = want;
        welded.erase(std::unique(welded.begin(), welded.end()), welded.end());
        theirs = Rounded(theirs);
        theirs.erase(std::unique(theirs.begin(), theirs.end()), theirs.end());
        EXPECT_EQ(theirs, welded);
    }
    // Written again from what was read, the children's elements are the same.
    const std::vector<std::string> underCam = Transforms("UnderCam");
    const std::vector<std::string> underSpot = Transforms("UnderSpot");
    ASSERT_EQ(underCam.size(), 3u);
    mScene = read;
    WriteValid(false, false, "again.dae");
    EXPECT_EQ(Transforms("UnderCam"), underCam);
    EXPECT_EQ(Transforms("UnderSpot"), underSpot);
}

// An independent reader composes the elements as they stand. Its matrices of
// the full sequence must be the single matrices the writer works out from
// the scene's own evaluation: pre- and post-rotations, a rotation order and
// a camera's turn included.
TEST_F(ColladaWriterTransformsTest, AnIndependentReaderComposesTheSequenceIntoTheSingleMatrix) {
    const char* python = kPycollada;
    if (!PycolladaInstalled()) {
        GTEST_SKIP() << "pycollada is not installed";
    }
    KFbxNode* turned = Node("Turned");
    turned->SetLclTranslation(V(1, 2, 3));
    turned->SetLclRotation(V(10, 20, 30));
    turned->SetPreRotation(KFbxNode::eSOURCE_SET, V(0, 30, 0));
    turned->SetPostRotation(KFbxNode::eSOURCE_SET, V(15, -40, 25));
    turned->SetRotationOrder(KFbxNode::eSOURCE_SET, KFbxNode::eEULER_ZXY);
    turned->SetRotationActive(true);
    KFbxNode* camera = Node("Cam");
    camera->SetNodeAttribute(KFbxCamera::Create(mManager, "Cam"));
    camera->SetLclTranslation(V(0, 0, 5));
    camera->SetLclRotation(V(0, 45, 0));
    const std::string full = WriteValid(false, false, "full.dae");
    const std::string single = WriteValid(false, true, "single.dae");
    const std::string script =
        "import collada, sys\n"
        "for path in sys.argv[1:]:\n"
        "    for node in collada.Collada(path).scene.nodes:\n"
        "        print(node.id, ' '.join('%.9f' % v for v in node.matrix.flatten()))\n";
    const std::string output =
        CommandOutput(std::string(python) + " -c \"" + script + "\" '" + full + "' '" + single + "'");
    std::map<std::string, std::vector<std::vector<double>>> matrices;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string id;
        fields >> id;
        std::vector<double> values;
        for (double value; fields >> value;) values.push_back(value);
        if (values.size() == 16) matrices[id].push_back(values);
    }
    for (const char* id : {"Turned", "Cam"}) {
        ASSERT_EQ(matrices[id].size(), 2u) << id << "\n" << output;
        for (std::size_t value = 0; value < 16; ++value) {
            EXPECT_NEAR(matrices[id][0][value], matrices[id][1][value], 1e-5) << id << " value " << value;
        }
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::colladatest
