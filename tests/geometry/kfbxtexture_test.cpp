#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include "geometry/GeometryTestSupport.h"
#include "geometry/RegisterTestClasses.h"

#include <gtest/gtest.h>

namespace fbxsdk_2006_11_1::geometrytest {
namespace {

class TextureTest : public GeometryTest {
protected:
    void SetUp() override {
        GeometryTest::SetUp();
        RegisterMaterialClasses(mManager);
        mTexture = KFbxTexture::Create(mManager, "wood");
        ASSERT_NE(mTexture, nullptr);
    }
    void TearDown() override {
        if (mTexture != nullptr) {
            mTexture->Destroy();
        }
        GeometryTest::TearDown();
    }

    KFbxTexture* mTexture = nullptr;
};

TEST_F(TextureTest, FileNamesRefuseNullAndEmptyText) {
    EXPECT_STREQ(mTexture->GetFileName(), "");
    EXPECT_TRUE(mTexture->SetFileName("textures/wood.tga"));
    EXPECT_FALSE(mTexture->SetFileName(nullptr));
    EXPECT_FALSE(mTexture->SetFileName(""));
    EXPECT_STREQ(mTexture->GetFileName(), "textures/wood.tga");
    EXPECT_TRUE(mTexture->SetRelativeFileName("wood.tga"));
    EXPECT_FALSE(mTexture->SetRelativeFileName(""));
    EXPECT_FALSE(mTexture->SetRelativeFileName(nullptr));
    EXPECT_STREQ(mTexture->GetRelativeFileName(), "wood.tga");
    mTexture->SetMediaName(nullptr);
    EXPECT_STREQ(mTexture->GetMediaName(), "");
    mTexture->SetMediaName("Video::wood");
    EXPECT_STREQ(mTexture->GetMediaName(), "Video::wood");
    EXPECT_STREQ(mTexture->GetTextureType(), "TextureVideoClip");
}

TEST_F(TextureTest, DefaultsAndEnumerationsMatchTheFileCodes) {
    EXPECT_EQ(mTexture->GetObjectTypeCode(), 2);
    EXPECT_EQ(mTexture->GetWrapModeU(), KFbxTexture::eREPEAT);
    EXPECT_EQ(mTexture->GetBlendMode(), KFbxTexture::eTRANSLUCENT);
    EXPECT_EQ(mTexture->GetTextureUse(), 0);
    EXPECT_EQ(mTexture->GetMaterialUse(), 0);
    EXPECT_DOUBLE_EQ(mTexture->GetDefaultAlpha(), 1.0);
    EXPECT_DOUBLE_EQ(mTexture->GetScaleU(), 1.0);
    EXPECT_DOUBLE_EQ(mTexture->GetUVScaling()[1], 1.0);
    EXPECT_EQ(KFbxTexture::eCLAMP, 1);
    EXPECT_EQ(KFbxTexture::eMAX_BLEND, 4);
    EXPECT_EQ(KFbxTexture::eBLACK, 2);
    EXPECT_EQ(KFbxTexture::eENVIRONMENT, 7);
    EXPECT_EQ(KFbxTexture::eBUMP_NORMAL_MAP, 5);
    EXPECT_EQ(KFbxTexture::ePLANAR_NORMAL_Z, 2);

    mTexture->SetWrapMode(KFbxTexture::eCLAMP, KFbxTexture::eREPEAT);
    mTexture->SetBlendMode(KFbxTexture::eADDITIVE);
    mTexture->SetMaterialUse(KFbxTexture::eDEFAULT_MATERIAL);
    mTexture->SetSwapUV(true);
    mTexture->SetCropping(1, 2, 3, 4);
    EXPECT_EQ(mTexture->GetWrapModeU(), KFbxTexture::eCLAMP);
    EXPECT_EQ(mTexture->GetWrapModeV(), KFbxTexture::eREPEAT);
    EXPECT_EQ(mTexture->GetBlendMode(), KFbxTexture::eADDITIVE);
    EXPECT_EQ(mTexture->GetMaterialUse(), KFbxTexture::eDEFAULT_MATERIAL);
    EXPECT_TRUE(mTexture->GetSwapUV());
    EXPECT_EQ(mTexture->GetCropping0() + mTexture->GetCropping3(), 5);

    mTexture->Reset();
    EXPECT_EQ(mTexture->GetWrapModeU(), KFbxTexture::eREPEAT);
    EXPECT_FALSE(mTexture->GetSwapUV());
}

TEST_F(TextureTest, PlacementLivesInAnimatableProperties) {
    mTexture->SetTranslationUV(0.25, 0.5);
    mTexture->SetRotationUVW(0.0, 0.0, 45.0);
    mTexture->SetScaleUV(2.0, 3.0);
    EXPECT_DOUBLE_EQ(mTexture->GetTranslationU(), 0.25);
    EXPECT_DOUBLE_EQ(mTexture->GetTranslationV(), 0.5);
    EXPECT_DOUBLE_EQ(mTexture->GetRotationW(), 45.0);
    EXPECT_DOUBLE_EQ(mTexture->GetScaleV(), 3.0);
    EXPECT_DOUBLE_EQ(mTexture->GetScale()[2], 1.0);
    EXPECT_DOUBLE_EQ(mTexture->GetTranslation()[3], 0.0);
    const fbxDouble3 scaling = mTexture->FindProperty("Scaling").GetDouble3();
    EXPECT_DOUBLE_EQ(scaling[0], 2.0);

    // Each placement has its channel, and the default take follows the values.
    KFbxTakeNode* take = mTexture->GetDefaultTakeNode();
    ASSERT_NE(take, nullptr);
    ASSERT_NE(take->GetTextureTranslationU(), nullptr);
    ASSERT_NE(take->GetTextureRotationW(), nullptr);
    ASSERT_NE(take->GetTextureScaleV(), nullptr);
    EXPECT_DOUBLE_EQ(take->GetTextureTranslationV()->GetValue(), 0.5);
    EXPECT_DOUBLE_EQ(take->GetTextureScaleU()->GetValue(), 2.0);
}

TEST_F(TextureTest, LayerContainerFindsTexturesByName) {
    KFbxMesh* mesh = MakeMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->AddTexture(mTexture), 0);
    EXPECT_EQ(mesh->GetTextureIndex("wood"), 0);
    EXPECT_EQ(mesh->GetTextureIndex("stone"), -1);
    EXPECT_EQ(mesh->GetTextureIndex(nullptr), -1);
    EXPECT_EQ(mesh->GetTextureIndex("wood", 3), -1);
    mesh->Destroy();
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::geometrytest
