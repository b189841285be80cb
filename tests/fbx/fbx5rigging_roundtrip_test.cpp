// What the FBX 5 reader brings back of a rig: a skin cluster's matrices as
// the cluster holds them (a shear included), a rotation limit's type, clamp
// type, axis and axis length, and the weights of shapes that no take
// animates. The export leaves the caller's scene as it was.
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/scene/KFbxLimits.h>
#include <fbxfilesdk/scene/KFbxNodeProperties.h>

#include "ReaderTestSupport.h"
#include "RichScene.h"

namespace fbxsdk_2006_11_1::readertest {
namespace {

// A transform whose Y axis leans towards X: no translation, rotation and
// scaling give it.
KgeMatrix Sheared(double tx, double ry, double lean) {
    KgeMatrix matrix = richscene::Transform(tx, 2.0, -1.0, 10.0, ry, 5.0, 1.25);
    matrix[1][0] += lean;
    matrix[2][1] -= 0.5 * lean;
    return matrix;
}

void ExpectMatrixNear(const KgeMatrix& actual, const KgeMatrix& expected, const char* what) {
    for (int k = 0; k < 16; ++k) {
        EXPECT_NEAR(actual[k / 4][k % 4], expected[k / 4][k % 4], 1e-9) << what << " element " << k;
    }
}

double AxisLength(KFbxNode& node) { return node.GetNodeProperty(eAxisLen).GetDouble(); }

class Fbx5RiggingRoundTrip : public ReaderTest, public ::testing::WithParamInterface<int> {
protected:
    KFbxScene* Read(KFbxScene* source) {
        const std::string path = Path("rig.fbx");
        EXPECT_TRUE(Export(source, path, GetParam()));
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        EXPECT_TRUE(Import(path, read)) << mLastError;
        return read;
    }

    KFbxMesh* MeshOf(KFbxScene& scene, const char* name) {
        KFbxNode* node = scene.FindNodeByName(KString(name));
        return node != nullptr ? dynamic_cast<KFbxMesh*>(node->GetNodeAttribute()) : nullptr;
    }
};

TEST_P(Fbx5RiggingRoundTrip, ALinkKeepsTheMatricesItsClusterHolds) {
    KFbxScene* source = KFbxScene::Create(mManager, "rig");
    KFbxNode* root = source->GetRootNode();
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    KFbxNode* body = richscene::AddNode(mManager, root, "Body", mesh);
    KFbxNode* bone = richscene::AddNode(mManager, root, "Bone", nullptr);
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "");
    cluster->SetLink(bone);
    cluster->AddControlPointIndex(2, 0.5);
    const KgeMatrix transform = Sheared(1.0, 30.0, 0.4);
    const KgeMatrix link = Sheared(-3.0, -20.0, 0.25);
    const KgeMatrix associate = Sheared(0.5, 45.0, -0.3);
    const KgeMatrix parent = Sheared(4.0, 60.0, 0.6);
    cluster->SetTransformMatrix(transform);
    cluster->SetTransformLinkMatrix(link);
    cluster->SetAssociateModel(body);
    cluster->SetTransformAssociateModelMatrix(associate);
    cluster->SetTransformParentMatrix(parent);
    KFbxSkin* skin = KFbxSkin::Create(mManager, "");
    skin->AddCluster(cluster);
    mesh->AddDeformer(skin);

    KFbxScene* read = Read(source);
    KFbxMesh* readMesh = MeshOf(*read, "Body");
    ASSERT_NE(readMesh, nullptr);
    ASSERT_EQ(readMesh->GetDeformerCount(1), 1);
    auto* readSkin = dynamic_cast<KFbxSkin*>(readMesh->GetDeformer(0, 1));
    ASSERT_NE(readSkin, nullptr);
    KFbxCluster* readCluster = readSkin->GetCluster(0);
    ASSERT_NE(readCluster, nullptr);
    KgeMatrix matrix;
    ExpectMatrixNear(readCluster->GetTransformMatrix(matrix), transform, "transform");
    ExpectMatrixNear(readCluster->GetTransformLinkMatrix(matrix), link, "link");
    ExpectMatrixNear(readCluster->GetTransformAssociateModelMatrix(matrix), associate, "associate model");
    ExpectMatrixNear(readCluster->GetTransformParentMatrix(matrix), parent, "parent");
    // The caller's cluster is as it was.
    ExpectMatrixNear(cluster->GetTransformMatrix(matrix), transform, "source transform");
    ExpectMatrixNear(cluster->GetTransformLinkMatrix(matrix), link, "source link");
}

TEST_P(Fbx5RiggingRoundTrip, ARotationLimitKeepsItsTypeClampAxisAndLength) {
    KFbxScene* source = KFbxScene::Create(mManager, "limits");
    KFbxNode* root = source->GetRootNode();
    KFbxNode* turned = richscene::AddNode(mManager, root, "Turned", nullptr);
    KFbxLimits& limits = turned->GetLimits();
    limits.SetRotationActive(true);
    limits.SetLimitMaxActive(true, false, false);
    limits.SetLimitMax(KFbxVector4(45.0, 0.0, 0.0, 0.0));
    limits.SetRotationType(3);
    limits.SetRotationClampType(2);
    limits.SetRotationAxis(KFbxVector4(0.5, 0.0, -1.0, 0.0));
    const double length = 2.5;
    turned->GetNodeProperty(eAxisLen).Set(&length, eFbxValueDouble);
    // An axis length of 1 is what the file leaves unsaid.
    KFbxNode* unit = richscene::AddNode(mManager, root, "Unit", nullptr);
    unit->GetLimits().SetRotationActive(true);
    const double one = 1.0;
    unit->GetNodeProperty(eAxisLen).Set(&one, eFbxValueDouble);

    KFbxScene* read = Read(source);
    KFbxNode* readTurned = read->FindNodeByName(KString("Turned"));
    ASSERT_NE(readTurned, nullptr);
    const KFbxLimits& readLimits = readTurned->GetLimits();
    EXPECT_TRUE(readLimits.GetRotationActive());
    EXPECT_EQ(readLimits.GetRotationType(), 3);
    EXPECT_EQ(readLimits.GetRotationClampType(), 2);
    const KFbxVector4 axis = readLimits.GetRotationAxis();
    EXPECT_EQ(axis[0], 0.5);
    EXPECT_EQ(axis[1], 0.0);
    EXPECT_EQ(axis[2], -1.0);
    EXPECT_EQ(readLimits.GetLimitMax()[0], 45.0);
    EXPECT_EQ(AxisLength(*readTurned), 2.5);
    KFbxNode* readUnit = read->FindNodeByName(KString("Unit"));
    ASSERT_NE(readUnit, nullptr);
    EXPECT_EQ(readUnit->GetLimits().GetRotationType(), 1);
    EXPECT_EQ(readUnit->GetLimits().GetRotationClampType(), 0);
    EXPECT_EQ(AxisLength(*readUnit), 1.0);
}

TEST_P(Fbx5RiggingRoundTrip, AShapeWeightComesBackAndTheTakesStayAsTheyWere) {
    KFbxScene* source = KFbxScene::Create(mManager, "shapes");
    KFbxNode* root = source->GetRootNode();
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    KFbxNode* face = richscene::AddNode(mManager, root, "Face", mesh);
    ASSERT_EQ(mesh->AddShape(richscene::MakeShape(mManager, *mesh, 1, 0.5), "Smile"), 0);
    ASSERT_EQ(mesh->AddShape(richscene::MakeShape(mManager, *mesh, 3, -0.25), "Frown"), 1);
    const double smile = 0.75;
    ASSERT_TRUE(mesh->FindProperty("Smile").Set(&smile, eFbxValueDouble));
    // "Frown" is animated in a take of its own: its channel stays the
    // caller's and is written as it is.
    KFbxTakeNode* talk = face->CreateTakeNode("Talk");
    ASSERT_NE(talk, nullptr);
    KFCurveNode* frown = talk->GetKFCurveNode()->FindOrCreate("Frown");
    ASSERT_NE(frown, nullptr);
    frown->FCurveGet()->SetValue(0.25f);
    const int defaultChannels = face->GetDefaultTakeNode()->GetKFCurveNode()->GetCount();
    const int talkChannels = talk->GetKFCurveNode()->GetCount();

    KFbxScene* read = Read(source);
    EXPECT_EQ(face->GetDefaultTakeNode()->GetKFCurveNode()->GetCount(), defaultChannels);
    EXPECT_EQ(talk->GetKFCurveNode()->GetCount(), talkChannels);
    EXPECT_EQ(talk->GetKFCurveNode()->Find("Frown"), frown);
    EXPECT_EQ(face->GetDefaultTakeNode()->GetKFCurveNode()->Find("Smile"), nullptr);

    KFbxMesh* readMesh = MeshOf(*read, "Face");
    ASSERT_NE(readMesh, nullptr);
    ASSERT_EQ(readMesh->GetShapeCount(), 2);
    EXPECT_STREQ(readMesh->GetShapeName(0), "Smile");
    KFbxNode* readFace = readMesh->GetNode();
    ASSERT_TRUE(readFace->SetCurrentTakeNode(0));
    EXPECT_DOUBLE_EQ(readMesh->GetShapeChannelValue(0), 0.75);
    EXPECT_DOUBLE_EQ(readMesh->GetShapeChannelValue(1), 0.0);
    ASSERT_TRUE(readFace->SetCurrentTakeNodeByName("Talk"));
    EXPECT_DOUBLE_EQ(readMesh->GetShapeChannelValue(0), 0.75);
    EXPECT_DOUBLE_EQ(readMesh->GetShapeChannelValue(1), 0.25);
}

INSTANTIATE_TEST_SUITE_P(Modes, Fbx5RiggingRoundTrip, ::testing::ValuesIn(kFbx5WriterFormats), Fbx5FormatName);

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
