#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "geometry/GeometryTestSupport.h"
#include "geometry/RegisterTestClasses.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace fbxsdk_2006_11_1::geometrytest {
namespace {

class SkinTest : public GeometryTest {
protected:
    void SetUp() override {
        GeometryTest::SetUp();
        RegisterDeformerClasses(mManager);
    }
};

// "b, then a" in the column notation the formula is written in.
KgeMatrix Then(const KgeMatrix& a, const KgeMatrix& b) { return a.GetProduct(b); }

KgeMatrix Translation(double x, double y, double z) {
    KgeMatrix matrix;
    matrix.SetT(KFbxVector4(x, y, z, 0.0));
    return matrix;
}

// A quarter turn about z, then the translation.
KgeMatrix QuarterTurnAt(double x, double y, double z) {
    KgeMatrix matrix;
    matrix.SetTRS(KFbxVector4(x, y, z, 0.0), KFbxVector4(0.0, 0.0, 90.0, 0.0), KFbxVector4(1.0, 1.0, 1.0, 0.0));
    return matrix;
}

// The loader's baking of one frame, with the nodes' global placements at
// that frame given and the mesh at rest at the origin: every matrix of each
// cluster folded into one vertex transform, the weighted transforms combined
// per point as the link mode says.
std::vector<KFbxVector4> Deform(KFbxGeometry& geometry, const std::map<const KFbxNode*, KgeMatrix>& globals) {
    const int count = geometry.GetControlPointsCount();
    std::vector<KFbxVector4> points(geometry.GetControlPoints(), geometry.GetControlPoints() + count);
    auto* firstSkin = static_cast<KFbxSkin*>(geometry.GetDeformer(0, KFbxDeformer::eSKIN));
    const KFbxCluster::ELinkMode mode = firstSkin->GetCluster(0)->GetLinkMode();
    std::vector<KgeMatrix> deformation(static_cast<std::size_t>(count));
    std::vector<double> weight(static_cast<std::size_t>(count), 0.0);
    for (KgeMatrix& matrix : deformation) {
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                matrix[row][column] = mode == KFbxCluster::eADDITIVE && row == column ? 1.0 : 0.0;
            }
        }
    }
    for (int s = 0; s < geometry.GetDeformerCount(KFbxDeformer::eSKIN); ++s) {
        auto* skin = static_cast<KFbxSkin*>(geometry.GetDeformer(s, KFbxDeformer::eSKIN));
        for (int c = 0; c < skin->GetClusterCount(); ++c) {
            KFbxCluster* cluster = skin->GetCluster(c);
            if (cluster->GetLink() == nullptr) {
                continue;
            }
            KgeMatrix refInit;
            KgeMatrix linkInit;
            cluster->GetTransformMatrix(refInit);
            cluster->GetTransformLinkMatrix(linkInit);
            const KgeMatrix refCurrent;
            const KgeMatrix& linkCurrent = globals.at(cluster->GetLink());
            const KgeMatrix relInit = Then(linkInit.GetInverseOrthogonal(), refInit);
            const KgeMatrix relCurrent = Then(linkCurrent.GetInverseOrthogonal(), refCurrent);
            const KgeMatrix vertexTransform = Then(relCurrent.GetInverseOrthogonal(), relInit);
            for (int k = 0; k < cluster->GetControlPointIndicesCount(); ++k) {
                const int index = cluster->GetControlPointIndices()[k];
                const double w = cluster->GetControlPointWeights()[k];
                if (w == 0.0) {
                    continue;
                }
                KgeMatrix influence;
                for (int row = 0; row < 4; ++row) {
                    for (int column = 0; column < 4; ++column) {
                        influence[row][column] = vertexTransform[row][column] * w;
                    }
                }
                KgeMatrix& target = deformation[static_cast<std::size_t>(index)];
                if (mode == KFbxCluster::eADDITIVE) {
                    for (int d = 0; d < 4; ++d) {
                        influence[d][d] += 1.0 - w;
                    }
                    target = Then(influence, target);
                    weight[static_cast<std::size_t>(index)] = 1.0;
                } else {
                    for (int row = 0; row < 4; ++row) {
                        for (int column = 0; column < 4; ++column) {
                            target[row][column] += influence[row][column];
                        }
                    }
                    weight[static_cast<std::size_t>(index)] += w;
                }
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        const double w = weight[static_cast<std::size_t>(i)];
        if (w == 0.0) {
            continue;
        }
        const KFbxVector4 rest = points[static_cast<std::size_t>(i)];
        KFbxVector4 moved = deformation[static_cast<std::size_t>(i)].MultT(rest);
        for (int component = 0; component < 4; ++component) {
            if (mode == KFbxCluster::eNORMALIZE) {
                moved[component] /= w;
            } else if (mode == KFbxCluster::eTOTAL1) {
                moved[component] += rest[component] * (1.0 - w);
            }
        }
        points[static_cast<std::size_t>(i)] = moved;
    }
    return points;
}

void ExpectPoint(const KFbxVector4& actual, double x, double y, double z) {
    EXPECT_NEAR(actual[0], x, 1e-9);
    EXPECT_NEAR(actual[1], y, 1e-9);
    EXPECT_NEAR(actual[2], z, 1e-9);
}

// A strip of four points along x. Bone A sits at the origin and rises by 1;
// bone B sits at x = 1 and turns a quarter about z. Point 0 follows A, point
// 1 is shared, point 2 follows B, point 3 is weighted by no one.
class SkinnedStripTest : public SkinTest {
protected:
    void Build(KFbxCluster::ELinkMode mode, double sharedWeight) {
        mMesh = MakeMesh({KFbxVector4(0, 0, 0, 0), KFbxVector4(1, 0, 0, 0), KFbxVector4(2, 0, 0, 0),
                          KFbxVector4(3, 0, 0, 0)});
        mBoneA = MakeNode("boneA");
        mBoneB = MakeNode("boneB");
        KFbxCluster* a = KFbxCluster::Create(mManager, "a");
        KFbxCluster* b = KFbxCluster::Create(mManager, "b");
        ASSERT_TRUE(mMesh != nullptr && mBoneA != nullptr && mBoneB != nullptr && a != nullptr && b != nullptr);
        a->SetLink(mBoneA);
        b->SetLink(mBoneB);
        a->SetLinkMode(mode);
        b->SetLinkMode(mode);
        b->SetTransformLinkMatrix(Translation(1, 0, 0));
        a->AddControlPointIndex(0, 1.0);
        a->AddControlPointIndex(1, sharedWeight);
        b->AddControlPointIndex(1, sharedWeight);
        b->AddControlPointIndex(2, 1.0);
        ASSERT_EQ(mMesh->AddCluster(a), 0);
        ASSERT_EQ(mMesh->AddCluster(b), 1);
        mGlobals[mBoneA] = Translation(0, 1, 0);
        mGlobals[mBoneB] = QuarterTurnAt(1, 0, 0);
    }
    void TearDown() override {
        if (mMesh != nullptr) {
            mMesh->Destroy();
        }
        SkinTest::TearDown();
    }

    KFbxMesh* mMesh = nullptr;
    KFbxNode* mBoneA = nullptr;
    KFbxNode* mBoneB = nullptr;
    std::map<const KFbxNode*, KgeMatrix> mGlobals;
};

// Points 0 and 2 follow their bone whatever the mode, and point 3 stays put;
// the shared point tells the modes apart.
TEST_F(SkinnedStripTest, EachLinkModeBlendsTheSharedPointItsWay) {
    const struct {
        KFbxCluster::ELinkMode mMode;
        double mSharedWeight;
        double mX, mY;
    } kCases[] = {
        // Divided by the weight sum.
        {KFbxCluster::eNORMALIZE, 0.25, 1.0, 0.5},
        // The missing weight stays at rest.
        {KFbxCluster::eTOTAL1, 0.25, 1.0, 0.25},
        // Half of A's rise, then half of B's turn about (1, 0, 0).
        {KFbxCluster::eADDITIVE, 0.5, 0.75, 0.25},
    };
    for (const auto& mode : kCases) {
        SCOPED_TRACE(mode.mMode);
        Build(mode.mMode, mode.mSharedWeight);
        const std::vector<KFbxVector4> points = Deform(*mMesh, mGlobals);
        ExpectPoint(points[0], 0, 1, 0);
        ExpectPoint(points[1], mode.mX, mode.mY, 0);
        ExpectPoint(points[2], 1, 1, 0);
        ExpectPoint(points[3], 3, 0, 0);
        mMesh->Destroy();
        mMesh = nullptr;
    }
}

TEST_F(SkinTest, ClusterKeepsWeightsAndIgnoresNegativeIndices) {
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "cluster");
    ASSERT_NE(cluster, nullptr);
    EXPECT_EQ(cluster->GetControlPointIndices(), nullptr);
    EXPECT_EQ(cluster->GetControlPointWeights(), nullptr);
    cluster->AddControlPointIndex(4, 0.5);
    cluster->AddControlPointIndex(-1, 0.7);
    cluster->AddControlPointIndex(0, 1.0);
    ASSERT_EQ(cluster->GetControlPointIndicesCount(), 2);
    EXPECT_EQ(cluster->GetControlPointIndices()[0], 4);
    EXPECT_EQ(cluster->GetControlPointIndices()[1], 0);
    EXPECT_DOUBLE_EQ(cluster->GetControlPointWeights()[1], 1.0);
    EXPECT_EQ(cluster->GetLinkMode(), KFbxCluster::eNORMALIZE);
    EXPECT_STREQ(cluster->GetTypeName(), "Cluster");
    EXPECT_EQ(cluster->GetObjectTypeCode(), 19);
    cluster->Destroy();
}

TEST_F(SkinTest, ClusterLinksAssociateModelAndMatrices) {
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "cluster");
    KFbxNode* first = MakeNode("first");
    KFbxNode* second = MakeNode("second");
    ASSERT_TRUE(cluster != nullptr && first != nullptr && second != nullptr);
    EXPECT_EQ(cluster->GetLink(), nullptr);
    EXPECT_EQ(cluster->GetAssociateModel(), nullptr);
    cluster->SetLink(first);
    cluster->SetLink(second);
    EXPECT_EQ(cluster->GetLink(), second);
    EXPECT_EQ(cluster->GetSrcCount(KFbxNode::ClassId), 1);
    cluster->SetAssociateModel(first);
    EXPECT_EQ(cluster->GetAssociateModel(), first);
    EXPECT_EQ(cluster->GetLink(), second);
    cluster->SetAssociateModel(nullptr);
    EXPECT_EQ(cluster->GetAssociateModel(), nullptr);
    // A scene's switcher and producer cameras move no deformer, by any route.
    KFbxScene* scene = KFbxScene::Create(mManager, "scene");
    KFbxSkin* skin = KFbxSkin::Create(mManager, "skin");
    for (KFbxNode* held : {scene->GetCameraSwitcherNode(), scene->GetGlobalCameraSettings().GetCameraProducerTop()}) {
        cluster->SetLink(held);
        EXPECT_EQ(cluster->GetLink(), second);
        EXPECT_FALSE(held->ConnectDst(cluster));
        EXPECT_FALSE(skin->ConnectSrc(held));
        EXPECT_EQ(held->GetDstObjectCount(KFbxSubDeformer::ClassId) + held->GetDstObjectCount(KFbxDeformer::ClassId), 0);
    }
    skin->Destroy();
    scene->Destroy(true);

    KgeMatrix out = Translation(9, 9, 9);
    EXPECT_FALSE(cluster->GetTransformMatrix(out) != KgeMatrix());
    EXPECT_FALSE(cluster->IsTransformParentSet());
    cluster->SetTransformParentMatrix(Translation(0, 0, 2));
    cluster->SetTransformAssociateModelMatrix(Translation(0, 3, 0));
    EXPECT_TRUE(cluster->IsTransformParentSet());
    EXPECT_DOUBLE_EQ(cluster->GetTransformParentMatrix(out).GetT()[2], 2.0);
    EXPECT_DOUBLE_EQ(cluster->GetTransformAssociateModelMatrix(out).GetT()[1], 3.0);

    cluster->SetUserData("id", nullptr);
    EXPECT_STREQ(cluster->GetUserDataID(), "id");
    EXPECT_STREQ(cluster->GetUserDataText(), "");
    cluster->Destroy();
}

TEST_F(SkinTest, ClusterOnASkinlessGeometryMakesItsSkin) {
    KFbxMesh* mesh = MakeMesh({KFbxVector4(0, 0, 0, 0)});
    KFbxCluster* first = KFbxCluster::Create(mManager, "first");
    KFbxCluster* second = KFbxCluster::Create(mManager, "second");
    ASSERT_TRUE(mesh != nullptr && first != nullptr && second != nullptr);
    EXPECT_EQ(mesh->GetDeformerCount(KFbxDeformer::eSKIN), 0);
    EXPECT_EQ(mesh->GetDeformer(0, KFbxDeformer::eSKIN), nullptr);
    EXPECT_EQ(mesh->GetLastErrorID(), KFbxGeometry::eINDEX_OUT_OF_RANGE);
    EXPECT_EQ(mesh->AddCluster(nullptr), -1);

    EXPECT_EQ(mesh->AddCluster(first), 0);
    EXPECT_EQ(mesh->AddCluster(second), 1);
    EXPECT_EQ(mesh->AddCluster(first), 0);
    ASSERT_EQ(mesh->GetDeformerCount(), 1);
    ASSERT_EQ(mesh->GetDeformerCount(KFbxDeformer::eSKIN), 1);
    auto* skin = static_cast<KFbxSkin*>(mesh->GetDeformer(0, KFbxDeformer::eSKIN));
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->GetDeformerType(), KFbxDeformer::eSKIN);
    EXPECT_DOUBLE_EQ(skin->GetDeformAccuracy(), 50.0);
    EXPECT_EQ(skin->GetClusterCount(), 2);
    EXPECT_EQ(skin->GetCluster(1), second);
    EXPECT_EQ(skin->GetCluster(2), nullptr);
    EXPECT_EQ(skin->GetCluster(-1), nullptr);

    KFbxSkin* other = KFbxSkin::Create(mManager, "other");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(mesh->AddDeformer(other), 1);
    EXPECT_EQ(mesh->AddDeformer(other), 1);
    EXPECT_EQ(mesh->AddDeformer(nullptr), -1);
    EXPECT_EQ(mesh->GetDeformer(1, KFbxDeformer::eSKIN), other);
    // The geometry owns its skins, which own their clusters.
    mesh->Destroy();
    EXPECT_EQ(mManager->GetObjectCount(KFbxCluster::ClassId), 0);
    EXPECT_EQ(mManager->GetObjectCount(KFbxSkin::ClassId), 0);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::geometrytest
