// Skin and morph controllers written by the COLLADA writer, read back
// through the COLLADA reader.
#include "collada/ColladaWriterScenes.h"
#include "collada/ColladaWriterSupport.h"

#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>

#include <map>

namespace fbxsdk_2006_11_1::colladatest {
namespace {

using ColladaXml::FindChild;
using ColladaXml::GetAttribute;

KgeMatrix Placement(const KFbxVector4& t, const KFbxVector4& r, const KFbxVector4& s) {
    KgeMatrix matrix;
    matrix.SetTRS(t, r, s);
    return matrix;
}

void ExpectNearMatrix(const KgeMatrix& want, const KgeMatrix& got) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            EXPECT_NEAR(got[row][column], want[row][column], 1e-6) << row << "," << column;
        }
    }
}

class ColladaWriterControllersTest : public ColladaWriteTest {
protected:
    // Body: a triangle skinned to Hip and Knee (point 0 Hip 1.0, point 1
    // Hip 0.5 and Knee 0.5, point 2 none).
    KFbxMesh* BuildBody() {
        KFbxNode* hip = KFbxNode::Create(mManager, "Hip");
        hip->SetNodeAttribute(KFbxSkeleton::Create(mManager, "Hip"));
        hip->SetLclTranslation(Point(0, 1, 0));
        mScene->GetRootNode()->AddChild(hip);
        KFbxNode* knee = KFbxNode::Create(mManager, "Knee");
        knee->SetNodeAttribute(KFbxSkeleton::Create(mManager, "Knee"));
        knee->SetLclTranslation(Point(0, -0.5, 0));
        hip->AddChild(knee);
        KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), "Body",
                                     {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0)}, {{0, 1, 2}});
        KFbxSkin* skin = KFbxSkin::Create(mManager, "");
        mesh->AddDeformer(skin);
        const KgeMatrix bindShape = Placement(Point(0.5, 0, 0), Point(0, 0, 0), Point(1, 1, 1));
        KFbxCluster* hipCluster = KFbxCluster::Create(mManager, "");
        hipCluster->SetLink(hip);
        hipCluster->SetLinkMode(KFbxCluster::eTOTAL1);
        hipCluster->AddControlPointIndex(0, 1.0);
        hipCluster->AddControlPointIndex(1, 0.5);
        hipCluster->SetTransformMatrix(bindShape);
        // A scaled bone: the inverse bind matrix must undo the scaling too.
        hipCluster->SetTransformLinkMatrix(Placement(Point(0, 1, 0), Point(0, 0, 30), Point(2, 2, 2)));
        skin->AddCluster(hipCluster);
        KFbxCluster* kneeCluster = KFbxCluster::Create(mManager, "");
        kneeCluster->SetLink(knee);
        kneeCluster->SetLinkMode(KFbxCluster::eTOTAL1);
        kneeCluster->AddControlPointIndex(1, 0.5);
        kneeCluster->SetTransformMatrix(bindShape);
        kneeCluster->SetTransformLinkMatrix(Placement(Point(0, 0.5, 0), Point(10, 0, 0), Point(1, 1, 1)));
        skin->AddCluster(kneeCluster);
        return mesh;
    }

    KFbxShape* AddShape(KFbxMesh* mesh, const char* name, double lift) {
        KFbxShape* shape = KFbxShape::Create(mManager, name);
        shape->InitControlPoints(mesh->GetControlPointsCount());
        for (int point = 0; point < mesh->GetControlPointsCount(); ++point) {
            KFbxVector4 position = mesh->GetControlPoints()[point];
            position[2] += lift * (point + 1);
            shape->GetControlPoints()[point] = position;
        }
        mesh->AddShape(shape, name);
        return shape;
    }

    // Per link name, the weights by control point of the clusters of the mesh.
    static std::map<std::string, std::map<int, double>> WeightsOf(KFbxMesh& mesh) {
        std::map<std::string, std::map<int, double>> weights;
        for (int index = 0; index < mesh.GetSrcDeformerCount(); ++index) {
            auto* skin = dynamic_cast<KFbxSkin*>(mesh.GetDeformer(index, KFbxDeformer::eSKIN));
            for (int c = 0; skin != nullptr && c < skin->GetClusterCount(); ++c) {
                KFbxCluster* cluster = skin->GetCluster(c);
                auto& link = weights[cluster->GetLink() != nullptr ? cluster->GetLink()->GetName() : ""];
                for (int k = 0; k < cluster->GetControlPointIndicesCount(); ++k) {
                    link[cluster->GetControlPointIndices()[k]] = cluster->GetControlPointWeights()[k];
                }
            }
        }
        return weights;
    }

    static KFbxCluster* ClusterOf(KFbxMesh& mesh, const char* link) {
        for (int index = 0; index < mesh.GetSrcDeformerCount(); ++index) {
            auto* skin = dynamic_cast<KFbxSkin*>(mesh.GetDeformer(index, KFbxDeformer::eSKIN));
            for (int c = 0; skin != nullptr && c < skin->GetClusterCount(); ++c) {
                KFbxCluster* cluster = skin->GetCluster(c);
                if (cluster->GetLink() != nullptr && std::string(cluster->GetLink()->GetName()) == link) {
                    return cluster;
                }
            }
        }
        return nullptr;
    }
};

TEST_F(ColladaWriterControllersTest, SkinWritesJointsMatricesAndWeightPairs) {
    BuildBody();
    WriteValid();
    xmlNode* controller = FindById("BodyController");
    ASSERT_NE(controller, nullptr);
    xmlNode* skin = FindChild(controller, "skin");
    EXPECT_EQ(GetAttribute(skin, "source"), KString("#Body-lib"));
    xmlNode* weights = FindChild(skin, "vertex_weights");
    EXPECT_EQ(GetAttribute(weights, "count"), KString("3"));
    EXPECT_EQ(ChildText(weights, "vcount"), "1 2 0");
    EXPECT_EQ(ChildText(weights, "v"), "0 1 0 2 1 3");
    EXPECT_EQ(ChildText(FindById("BodyController-Joints"), "Name_array"), "\n Hip Knee\n");
    // The skinned node keeps its place in the hierarchy and instances the skin.
    EXPECT_NE(mText.find("<instance_controller url=\"#BodyController\"/>"), std::string::npos);
    EXPECT_EQ(GetAttribute(FindById("Hip"), "type"), KString("JOINT"));
}

TEST_F(ColladaWriterControllersTest, SkinReadsBackWithWeightsAndBindMatrices) {
    KFbxMesh* body = BuildBody();
    const std::string path = WriteValid();
    KFbxScene* read = ReadBack(path);
    KFbxMesh* readBody = MeshOf(read, "Body");
    ASSERT_NE(readBody, nullptr);
    EXPECT_EQ(WeightsOf(*readBody), WeightsOf(*body));
    // The skin's placements come back as a bind pose over the joints and the mesh.
    bool bindPose = false;
    for (int index = 0; index < read->GetPoseCount(); ++index) {
        bindPose = bindPose || read->GetPose(index)->IsBindPose();
    }
    EXPECT_TRUE(bindPose);
    for (const char* link : {"Hip", "Knee"}) {
        KFbxCluster* want = ClusterOf(*body, link);
        KFbxCluster* got = ClusterOf(*readBody, link);
        ASSERT_NE(got, nullptr) << link;
        KgeMatrix wantMatrix;
        KgeMatrix gotMatrix;
        ExpectNearMatrix(want->GetTransformLinkMatrix(wantMatrix), got->GetTransformLinkMatrix(gotMatrix));
        ExpectNearMatrix(want->GetTransformMatrix(wantMatrix), got->GetTransformMatrix(gotMatrix));
    }
}

TEST_F(ColladaWriterControllersTest, LinklessClustersWarnOnceAndCountOnlyWrittenJoints) {
    KFbxMesh* body = BuildBody();
    auto* skin = dynamic_cast<KFbxSkin*>(body->GetDeformer(0, KFbxDeformer::eSKIN));
    for (int count = 0; count < 2; ++count) {
        KFbxCluster* loose = KFbxCluster::Create(mManager, "");
        loose->AddControlPointIndex(2, 1.0);
        skin->AddCluster(loose);
    }
    ClusterOf(*body, "Knee")->SetLinkMode(KFbxCluster::eADDITIVE);
    WriteValid();
    EXPECT_EQ(CountOf(mWriteMessage.Buffer(), "Not able to export all links for mesh Body"), 1);
    EXPECT_TRUE(WriteMessageHas("Warning: link Knee's mode is not supported. It will be treated as mode eTOTAL1."));
    EXPECT_EQ(ChildText(FindChild(FindChild(FindById("BodyController"), "skin"), "vertex_weights"), "vcount"),
              "1 2 0");
}

TEST_F(ColladaWriterControllersTest, ClustersWithoutLinksGivePlainGeometry) {
    KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), "Loose",
                                 {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0)}, {{0, 1, 2}});
    KFbxSkin* skin = KFbxSkin::Create(mManager, "");
    mesh->AddDeformer(skin);
    skin->AddCluster(KFbxCluster::Create(mManager, ""));
    const std::string path = WriteValid();
    EXPECT_EQ(FindById("LooseController"), nullptr);
    EXPECT_NE(mText.find("<instance_geometry url=\"#Loose-lib\"/>"), std::string::npos);
    ReadBack(path);
}

TEST_F(ColladaWriterControllersTest, MorphTargetsAreGeometriesOnlyAndReadBack) {
    KFbxMesh* face = AddMeshNode(mManager, mScene->GetRootNode(), "Face",
                                 {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0), Point(0, 1, 0)}, {{0, 1, 2, 3}});
    AddShape(face, "Smile", 0.25);
    AddShape(face, "Blink", -0.5);
    // A second mesh with a shape of the same name keeps its own target.
    KFbxMesh* other = AddMeshNode(mManager, mScene->GetRootNode(), "Other",
                                  {Point(0, 0, 0), Point(2, 0, 0), Point(2, 2, 0)}, {{0, 1, 2}});
    AddShape(other, "Smile", 1.0);
    // Weights are the scene's percentages: no take channel holds them here.
    const double smile = 50.0;
    const double blink = 12.5;
    face->FindProperty("Smile").Set(&smile, eFbxValueDouble);
    face->FindProperty("Blink").Set(&blink, eFbxValueDouble);
    const std::string path = WriteValid();
    EXPECT_NE(ChildText(FindById("Face-lib-morph-weights"), "float_array").find("0.500000 0.125000"),
              std::string::npos);
    EXPECT_NE(ChildText(FindById("Face-lib-morph-targets"), "IDREF_array").find("Smile-lib Blink-lib"),
              std::string::npos);
    xmlNode* morph = FindChild(FindById("Face-lib-morph"), "morph");
    ASSERT_NE(morph, nullptr);
    EXPECT_EQ(GetAttribute(morph, "source"), KString("#Face-lib"));
    EXPECT_EQ(GetAttribute(morph, "method"), KString("RELATIVE"));
    EXPECT_NE(FindById("Smile-lib"), nullptr);
    EXPECT_NE(FindById("Blink-lib"), nullptr);
    EXPECT_NE(FindById("Smile-lib_1"), nullptr);
    EXPECT_NE(FindById("Face-lib-morph-weights"), nullptr);
    // Targets are not nodes of the visual scene.
    EXPECT_EQ(CountOf(mText, "<node "), 2);
    EXPECT_NE(mText.find("<instance_controller url=\"#Face-lib-morph\"/>"), std::string::npos);

    KFbxScene* read = ReadBack(path);
    KFbxMesh* readFace = MeshOf(read, "Face");
    ASSERT_NE(readFace, nullptr);
    ASSERT_EQ(readFace->GetShapeCount(), 2);
    EXPECT_DOUBLE_EQ(readFace->FindProperty(readFace->GetShapeName(0)).GetDouble(), 50.0);
    EXPECT_DOUBLE_EQ(readFace->FindProperty(readFace->GetShapeName(1)).GetDouble(), 12.5);
    if (PycolladaInstalled()) {
        // An independent reader finds both morphs, their targets and weights.
        const std::string report = RunPycollada(
            "import collada, sys\n"
            "for c in collada.Collada(sys.argv[1]).controllers:\n"
            "    print(c.id, ' '.join('%s %g' % (t[0].id, t[1]) for t in c.target_list))\n",
            path);
        EXPECT_NE(report.find("Face-lib-morph Smile-lib 0.5 Blink-lib 0.125\n"), std::string::npos) << report;
        EXPECT_NE(report.find("Other-lib-morph Smile-lib_1 0\n"), std::string::npos) << report;
    }
    for (int index = 0; index < 2; ++index) {
        const KFbxShape* want = face->GetShape(index);
        const KFbxShape* got = readFace->GetShape(index);
        // The reader gives every polygon vertex its own point: compare corner by corner.
        for (int corner = 0; corner < readFace->GetPolygonSize(0); ++corner) {
            const int readPoint = readFace->GetPolygonVertex(0, corner);
            const KFbxVector4 readBase = readFace->GetControlPoints()[readPoint];
            int original = -1;
            for (int point = 0; point < face->GetControlPointsCount(); ++point) {
                const KFbxVector4 base = face->GetControlPoints()[point];
                if (std::fabs(base[0] - readBase[0]) + std::fabs(base[1] - readBase[1]) < 1e-9) {
                    original = point;
                }
            }
            ASSERT_GE(original, 0);
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_NEAR(got->GetControlPoints()[readPoint][axis], want->GetControlPoints()[original][axis], 1e-6);
            }
        }
    }
}

TEST_F(ColladaWriterControllersTest, SkinOverMorphIsChained) {
    KFbxMesh* body = BuildBody();
    AddShape(body, "Flex", 0.1);
    // The skeleton before the mesh, then after it.
    for (const char* name : {"skeleton-first.dae", "mesh-first.dae"}) {
        const std::string path = WriteValid(false, false, name);
        EXPECT_EQ(GetAttribute(FindChild(FindById("BodyController"), "skin"), "source"), KString("#Body-lib-morph"));
        EXPECT_NE(mText.find("<instance_controller url=\"#BodyController\"/>"), std::string::npos);
        KFbxScene* read = ReadBack(path);
        KFbxMesh* readBody = MeshOf(read, "Body");
        ASSERT_NE(readBody, nullptr);
        EXPECT_EQ(readBody->GetShapeCount(), 1);
        for (const char* joint : {"Hip", "Knee"}) {
            ASSERT_NE(ClusterOf(*readBody, joint), nullptr) << name << " " << joint;
            EXPECT_EQ(ClusterOf(*readBody, joint)->GetLink(), read->GetRootNode()->FindChild(joint, true)) << name;
        }
        KFbxNode* hip = mScene->GetRootNode()->FindChild("Hip", false);
        mScene->GetRootNode()->RemoveChild(hip);
        mScene->GetRootNode()->AddChild(hip);
    }
}

TEST_F(ColladaWriterControllersTest, ShapeWithOtherPointCountIsLeftOut) {
    KFbxMesh* face = AddMeshNode(mManager, mScene->GetRootNode(), "Face",
                                 {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0)}, {{0, 1, 2}});
    KFbxShape* shape = AddShape(face, "Short", 1.0);
    ASSERT_EQ(face->GetShapeCount(), 1);
    shape->InitControlPoints(2);
    WriteValid();
    EXPECT_TRUE(WriteMessageHas("Shape Short of mesh Face does not have the mesh's points"));
    EXPECT_EQ(FindById("Face-lib-morph"), nullptr);
    EXPECT_NE(mText.find("<instance_geometry url=\"#Face-lib\"/>"), std::string::npos);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::colladatest
