// FBX 6.1 ascii files in the forms other exporters write import with the
// content they state: the fixture has a comment banner, CR LF line ends,
// values on the line after their colon, comma-led continuation lines, bare
// words, "&quot;" in names and Windows paths with backslashes and '&'.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include "ReaderTestSupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::readertest {
namespace {

std::string Fixture(const char* name) {
    return (std::filesystem::path(__FILE__).parent_path() / "fixtures" / name).string();
}

class ForeignFileTest : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        mScene = KFbxScene::Create(mManager, "foreign");
        ASSERT_TRUE(Import(Fixture("foreign_exporter_ascii61.fbx"), mScene)) << mLastError;
        // Its definitions count the settings in their total: nothing is missing.
        EXPECT_EQ(mLastMessage, "");
        mDune = mScene->FindNodeByName(KString("Sand\"Dune"));
        ASSERT_NE(mDune, nullptr);
        mMesh = dynamic_cast<KFbxMesh*>(mDune->GetNodeAttribute());
        ASSERT_NE(mMesh, nullptr);
    }

    KFbxScene* mScene = nullptr;
    KFbxNode* mDune = nullptr;
    KFbxMesh* mMesh = nullptr;
};

TEST_F(ForeignFileTest, ModelAndMeshAreThoseTheFileStates) {
    EXPECT_EQ(mDune->GetParent(), mScene->GetRootNode());
    KFbxVector4 value;
    mDune->GetLclTranslation(value);
    EXPECT_TRUE(value == KFbxVector4(1.5, 0.0, -2.0, 0.0));
    mDune->GetLclRotation(value);
    EXPECT_TRUE(value == KFbxVector4(0.0, 90.0, 0.0, 0.0));
    EXPECT_EQ(mDune->GetShading(), 3);  // the bare letter Y

    // Values after the colon's line and on comma-led lines.
    const double points[5][3] = {{-1, 0, -1}, {1, 0, -1}, {1, 0, 1}, {-1, 0, 1}, {0, 2, 0}};
    ASSERT_EQ(mMesh->GetControlPointsCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(mMesh->GetControlPoints()[i] == KFbxVector4(points[i][0], points[i][1], points[i][2], 0.0)) << i;
    }
    const std::vector<std::vector<int>> polygons = {{0, 1, 2}, {0, 2, 3}, {4, 1, 0}};
    ASSERT_EQ(mMesh->GetPolygonCount(), 3);
    for (int p = 0; p < 3; ++p) {
        ASSERT_EQ(mMesh->GetPolygonSize(p), 3) << p;
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(mMesh->GetPolygonVertex(p, k), polygons[static_cast<std::size_t>(p)][static_cast<std::size_t>(k)]);
        }
    }

    const KFbxLayer* layer = mMesh->GetLayer(0);
    ASSERT_NE(layer, nullptr);
    const KFbxLayerElementNormal* normals = layer->GetNormals();
    ASSERT_NE(normals, nullptr);
    EXPECT_EQ(normals->GetMappingMode(), KFbxLayerElement::eBY_POLYGON_VERTEX);
    ASSERT_EQ(normals->GetDirectArray().GetCount(), 9);
    EXPECT_TRUE(normals->GetDirectArray().GetAt(8) == KFbxVector4(0.0, 0.7, -0.7, 0.0));
    const KFbxLayerElementUV* uvs = layer->GetUVs();
    ASSERT_NE(uvs, nullptr);
    EXPECT_STREQ(uvs->GetName(), "UVChannel_1");
    ASSERT_EQ(uvs->GetDirectArray().GetCount(), 5);
    EXPECT_EQ(uvs->GetDirectArray().GetAt(4)[0], 0.5);
    EXPECT_EQ(uvs->GetDirectArray().GetAt(4)[1], 0.5);
    const std::vector<int> uvIndices = {0, 1, 2, 0, 2, 3, 4, 1, 0};
    ASSERT_EQ(uvs->GetIndexArray().GetCount(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(uvs->GetIndexArray().GetAt(i), uvIndices[static_cast<std::size_t>(i)]) << i;
    }
}

TEST_F(ForeignFileTest, MaterialTextureAndMediaKeepTheirNamesAndPaths) {
    ASSERT_EQ(mDune->GetSrcObjectCount(KFbxSurfaceMaterial::ClassId), 1);
    auto* material = dynamic_cast<KFbxSurfaceLambert*>(mDune->GetSrcObject(KFbxSurfaceMaterial::ClassId, 0));
    ASSERT_NE(material, nullptr);
    EXPECT_STREQ(material->GetName(), "Sand\"Stone");
    double diffuse[3] = {0.0, 0.0, 0.0};
    material->GetDiffuseColor().Get(diffuse, eFbxValueDouble3);
    EXPECT_EQ(diffuse[0], 0.75);
    EXPECT_EQ(diffuse[2], 0.25);

    ASSERT_EQ(mDune->GetSrcObjectCount(KFbxTexture::ClassId), 1);
    auto* texture = static_cast<KFbxTexture*>(mDune->GetSrcObject(KFbxTexture::ClassId, 0));
    EXPECT_STREQ(texture->GetName(), "Sandy");
    // Backslashes are path separators, not escapes; '&' is itself.
    EXPECT_STREQ(texture->GetFileName(), "C:\\Art\\new\\tex&co.tga");
    EXPECT_STREQ(texture->GetRelativeFileName(), "..\\new\\tex&co.tga");
    const KFbxLayerElementTexture* textures = mMesh->GetLayer(0)->GetTextures();
    ASSERT_NE(textures, nullptr);
    ASSERT_EQ(textures->GetDirectArray().GetCount(), 1);
    EXPECT_EQ(textures->GetDirectArray().GetAt(0), texture);
}

TEST_F(ForeignFileTest, TakeKeysOnCommaLedLinesAnimateTheModel) {
    EXPECT_STREQ(mScene->GetCurrentTakeName(), "Take 001");
    KFbxTakeNode* take = mDune->GetCurrentTakeNode();
    ASSERT_NE(take, nullptr);
    EXPECT_STREQ(take->GetName(), "Take 001");
    KFCurve* x = take->GetTranslationX();
    ASSERT_NE(x, nullptr);
    ASSERT_EQ(x->KeyGetCount(), 2);
    EXPECT_EQ(x->KeyGetInterpolation(1), KFCURVE_INTERPOLATION_LINEAR);
    EXPECT_FLOAT_EQ(x->Evaluate(KTime(KTime::kTicksPerSecond / 2)), 2.5f);
    EXPECT_DOUBLE_EQ(mDune->EvaluateGlobalTransform(KTime(KTime::kTicksPerSecond))[3][0], 3.5);
    // Bare key flags: constant holding the next key's value ("C,n") and cubic
    // with automatic tangents ("U,a,n").
    KFCurve* y = take->GetTranslationY();
    ASSERT_NE(y, nullptr);
    ASSERT_EQ(y->KeyGetCount(), 2);
    EXPECT_EQ(y->KeyGetInterpolation(0), KFCURVE_INTERPOLATION_CONSTANT);
    EXPECT_EQ(y->Evaluate(KTime(KTime::kTicksPerSecond / 2)), 1.0f);
    KFCurve* turn = take->GetEulerRotationY();
    ASSERT_NE(turn, nullptr);
    ASSERT_EQ(turn->KeyGetCount(), 2);
    EXPECT_EQ(turn->KeyGetInterpolation(0), KFCURVE_INTERPOLATION_CUBIC);
    EXPECT_FLOAT_EQ(turn->KeyGetValue(1), 120.0f);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
