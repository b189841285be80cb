// The preparation shared by the writers of plain mesh files: the renaming
// and its undoing, the default-pose deformations, and the mesh a writer
// writes, all without changing the caller's scene.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/formats/KFbxWriterDeformation.h>
#include <fbxfilesdk/formats/KFbxMeshFilePreparation.h>
#include <fbxfilesdk/formats/KFbxWriterMesh.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "fbx/FbxWriterTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

class WriterPreprocessTest : public writertest::WriterTest {
protected:
    // A quad and a pentagon over five points on the x axis.
    KFbxMesh* AddMesh(KFbxNode* node) {
        KFbxMesh* mesh = KFbxMesh::Create(mManager, "mesh");
        mesh->InitControlPoints(5);
        for (int i = 0; i < 5; ++i) {
            mesh->GetControlPoints()[i] = KFbxVector4(i, 0, 0, 1);
        }
        mesh->BeginPolygon();
        for (int i : {0, 1, 2, 3}) {
            mesh->AddPolygonVertex(i);
        }
        mesh->EndPolygon();
        mesh->BeginPolygon();
        for (int i : {0, 1, 2, 3, 4}) {
            mesh->AddPolygonVertex(i);
        }
        mesh->EndPolygon();
        node->SetNodeAttribute(mesh);
        return mesh;
    }

    KFbxShape* AddShape(KFbxNode* node, KFbxMesh* mesh, const char* name, double dy, float weight) {
        KFbxShape* shape = KFbxShape::Create(mManager, name);
        shape->InitControlPoints(mesh->GetControlPointsCount());
        for (int i = 0; i < mesh->GetControlPointsCount(); ++i) {
            KFbxVector4 point = mesh->GetControlPoints()[i];
            point[1] += dy;
            shape->GetControlPoints()[i] = point;
        }
        EXPECT_GE(mesh->AddShape(shape, name), 0);
        KFCurveNode* channel = KFCurveNode::Create(name, nullptr);
        node->GetCurrentTakeNode()->GetKFCurveNode()->Add(channel);
        KFCurve* curve = KFCurve::Create();
        curve->SetValue(weight);
        channel->FCurveSet(curve);
        return shape;
    }

    static std::vector<std::string> Names(KFbxScene& scene) {
        std::vector<std::string> names;
        for (int i = 0; i < scene.GetNodeCount(); ++i) {
            names.emplace_back(scene.GetNode(i)->GetName());
        }
        return names;
    }
};

TEST_F(WriterPreprocessTest, RenamingMakesNamesPlainAndUniqueAndIsUndone) {
    AddNode("my box");
    AddNode("my_box");
    AddNode("ok");
    const std::vector<std::string> before = Names(*mScene);
    {
        KFbxMeshFilePreparation::RenamedScene renamed(*mScene);
        std::vector<std::string> during = Names(*mScene);
        EXPECT_EQ(std::count(during.begin(), during.end(), "my_box"), 1);
        EXPECT_EQ(std::count(during.begin(), during.end(), "my box"), 0);
        EXPECT_EQ(std::count(during.begin(), during.end(), "ok"), 1);
        std::sort(during.begin(), during.end());
        EXPECT_EQ(std::adjacent_find(during.begin(), during.end()), during.end());
    }
    EXPECT_EQ(Names(*mScene), before);

    KFbxSceneNameSnapshot names;
    EXPECT_TRUE(KFbxMeshFilePreparation::PreprocessScene(*mScene, names));
    EXPECT_NE(Names(*mScene), before);
    KFbxMeshFilePreparation::RestoreScene(*mScene, names);
    EXPECT_EQ(Names(*mScene), before);
}

TEST_F(WriterPreprocessTest, ShapesAddTheirWeightedOffsetsMeasuredAgainstTheUndeformedPoints) {
    KFbxNode* node = AddNode("node");
    KFbxMesh* mesh = AddMesh(node);
    AddShape(node, mesh, "Up", 2.0, 0.5f);
    AddShape(node, mesh, "Down", -1.0, 0.25f);
    std::vector<KFbxVector4> points(mesh->GetControlPoints(), mesh->GetControlPoints() + 5);
    ASSERT_TRUE(ApplyShapeDeformation(*mesh, points.data(), 5));
    EXPECT_DOUBLE_EQ(points[3][0], 3.0);
    EXPECT_DOUBLE_EQ(points[3][1], 2.0 * 0.5 - 1.0 * 0.25);
    EXPECT_DOUBLE_EQ(mesh->GetControlPoints()[3][1], 0.0);
    EXPECT_FALSE(ApplyShapeDeformation(*mesh, points.data(), 4));
}

TEST_F(WriterPreprocessTest, SkinMovesPointsWithTheirLinkInEveryLinkMode) {
    KFbxNode* node = AddNode("node");
    KFbxMesh* mesh = AddMesh(node);
    KFbxNode* bone = AddNode("bone");
    bone->SetLclTranslation(KFbxVector4(0, 10, 0, 0));
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "cluster");
    cluster->SetLink(bone);
    cluster->AddControlPointIndex(1, 1.0);
    cluster->AddControlPointIndex(2, 0.5);
    cluster->AddControlPointIndex(99, 1.0);  // no such point: passed over
    ASSERT_GE(mesh->AddCluster(cluster), 0);
    const KgeMatrix identity;

    struct Case {
        KFbxCluster::ELinkMode mMode;
        double mHalfWeighted;
    };
    // Half a weight: normalize divides it out, total-one keeps the rest in
    // place, additive blends towards the identity.
    for (const Case& c :
         {Case{KFbxCluster::eNORMALIZE, 10.0}, Case{KFbxCluster::eTOTAL1, 5.0}, Case{KFbxCluster::eADDITIVE, 5.0}}) {
        cluster->SetLinkMode(c.mMode);
        std::vector<KFbxVector4> points(mesh->GetControlPoints(), mesh->GetControlPoints() + 5);
        ASSERT_TRUE(ApplySkinDeformation(identity, *mesh, points.data(), 5));
        EXPECT_DOUBLE_EQ(points[0][1], 0.0) << c.mMode;
        EXPECT_DOUBLE_EQ(points[1][1], 10.0) << c.mMode;
        EXPECT_DOUBLE_EQ(points[1][0], 1.0) << c.mMode;
        EXPECT_NEAR(points[2][1], c.mHalfWeighted, 1e-12) << c.mMode;
    }
    EXPECT_DOUBLE_EQ(mesh->GetControlPoints()[1][1], 0.0);
}

TEST_F(WriterPreprocessTest, SkinBoundAtAnotherPlacementMovesOnlyByTheLinksMotion) {
    KFbxNode* node = AddNode("node");
    KFbxMesh* mesh = AddMesh(node);
    KFbxNode* bone = AddNode("bone");
    bone->SetLclTranslation(KFbxVector4(3, 0, 0, 0));
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "cluster");
    cluster->SetLink(bone);
    KgeMatrix bind;
    bind.SetT(KFbxVector4(3, 0, 0, 0));
    cluster->SetTransformLinkMatrix(bind);
    cluster->AddControlPointIndex(4, 1.0);
    ASSERT_GE(mesh->AddCluster(cluster), 0);
    std::vector<KFbxVector4> points(mesh->GetControlPoints(), mesh->GetControlPoints() + 5);
    ASSERT_TRUE(ApplySkinDeformation(KgeMatrix(), *mesh, points.data(), 5));
    EXPECT_NEAR(points[4][0], 4.0, 1e-12);
    EXPECT_NEAR(points[4][1], 0.0, 1e-12);
}

TEST_F(WriterPreprocessTest, NodeMatricesComposeFromTheTopOfTheTree) {
    KFbxNode* parent = AddNode("parent");
    parent->SetLclScaling(KFbxVector4(2, 2, 2, 0));
    KFbxNode* child = AddNode("child", parent);
    child->SetLclTranslation(KFbxVector4(1, 0, 0, 0));
    const KFbxVector4 moved = GetNodeGlobalMatrix(*child).MultT(KFbxVector4(1, 0, 0, 1));
    EXPECT_NEAR(moved[0], 4.0, 1e-12);
}

TEST_F(WriterPreprocessTest, WrittenMeshTriangulatesAndDeformsCopiesOnly) {
    KFbxNode* node = AddNode("node");
    KFbxMesh* mesh = AddMesh(node);
    AddShape(node, mesh, "Up", 2.0, 1.0f);
    mesh->InitNormals();
    for (int i = 0; i < 5; ++i) {
        mesh->GetNormals()[i] = KFbxVector4(0, 0, 1, 0);
    }
    {
        KFbxWriterMesh written;
        ASSERT_TRUE(written.Prepare(*node, true, true));
        ASSERT_NE(written.GetMesh(), nullptr);
        EXPECT_NE(written.GetMesh(), mesh);
        EXPECT_EQ(written.GetMesh()->GetPolygonCount(), 2 + 3);
        for (int p = 0; p < written.GetMesh()->GetPolygonCount(); ++p) {
            EXPECT_EQ(written.GetMesh()->GetPolygonSize(p), 3);
        }
        ASSERT_EQ(written.GetControlPoints().size(), 5u);
        EXPECT_DOUBLE_EQ(written.GetControlPoints()[2][1], 2.0);
        ASSERT_EQ(written.GetNormals().size(), 5u);
        EXPECT_NEAR(written.GetNormals()[2][2], 1.0, 1e-12);
        EXPECT_EQ(node->GetNodeAttribute(), mesh);
    }
    EXPECT_EQ(node->GetNodeAttribute(), mesh);
    EXPECT_EQ(mesh->GetPolygonCount(), 2);
    EXPECT_EQ(mesh->GetShapeCount(), 1);
    EXPECT_DOUBLE_EQ(mesh->GetControlPoints()[2][1], 0.0);
    // The shape outlived the copy that shared it.
    std::vector<KFbxVector4> again(mesh->GetControlPoints(), mesh->GetControlPoints() + 5);
    ASSERT_TRUE(ApplyShapeDeformation(*mesh, again.data(), 5));
    EXPECT_DOUBLE_EQ(again[2][1], 2.0);

    KFbxWriterMesh plain;
    ASSERT_TRUE(plain.Prepare(*node, false, false));
    EXPECT_EQ(plain.GetMesh(), mesh);
    EXPECT_DOUBLE_EQ(plain.GetControlPoints()[2][1], 0.0);
    KFbxNode* empty = AddNode("empty");
    EXPECT_FALSE(plain.Prepare(*empty, false, false));
    EXPECT_EQ(plain.GetMesh(), nullptr);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
