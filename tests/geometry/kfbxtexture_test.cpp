#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include "geometry/GeometryTestSupport.h"
#include "geometry/RegisterTestClasses.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

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

// The channels of a take as text: name(child=default ...) in order.
std::string DescribeChannels(const KFCurveNode& node) {
    std::string text = node.GetName();
    if (const KFCurve* curve = node.FCurveGet()) {
        text += "=" + std::to_string(curve->GetValue());
    }
    if (node.GetCount() > 0) {
        text += "(";
        for (int i = 0; i < node.GetCount(); ++i) {
            text += (i > 0 ? " " : "") + DescribeChannels(*node.Get(i));
        }
        text += ")";
    }
    return text;
}

// The texture's default take and its links to the placement values.
std::string DescribeDefaultTake(KFbxTexture& texture) {
    KFbxTakeNode* take = texture.GetDefaultTakeNode();
    if (take == nullptr || take->GetKFCurveNode() == nullptr) {
        return "no take";
    }
    std::string text = std::string(take->GetName()) + ": " + DescribeChannels(*take->GetKFCurveNode()) + " links:";
    const KFCurveNode& root = *take->GetKFCurveNode();
    for (int i = 0; i < texture.GetPropertyLinkCount(); ++i) {
        const KFbxPropertyLink* link = texture.GetPropertyLink(i);
        const KFCurveNode* channel = root.Find(link->mProperty.GetName());
        const KFCurveNode* component = channel != nullptr ? channel->Get(link->mComponent) : nullptr;
        const bool ownCurve = component != nullptr && component->FCurveGet() == link->mCurve;
        text += " " + std::string(link->mProperty.GetName()) + "." + std::to_string(link->mComponent) +
                (ownCurve ? "" : "(foreign curve)");
    }
    return text;
}

// However a caller first reaches a new texture's take, it finds the one
// "Default" take, current, with the placement channels in the order of the
// properties, their defaults the values set so far, and each curve linked.
TEST_F(TextureTest, TheDefaultTakeIsTheSameWhicheverWayItIsFirstReached) {
    mTexture->SetTranslationUV(0.25, 0.5);
    mTexture->SetScaleUV(2.0, 3.0);
    const std::string expected = DescribeDefaultTake(*mTexture);
    EXPECT_EQ(expected,
              "Default: Defaults(Translation(X=0.250000 Y=0.500000 Z=0.000000) Rotation(X=0.000000 Y=0.000000 Z=0.000000) "
              "Scaling(X=2.000000 Y=3.000000 Z=1.000000)) links: Translation.0 Translation.1 Translation.2 "
              "Rotation.0 Rotation.1 Rotation.2 Scaling.0 Scaling.1 Scaling.2");

    struct Way {
        const char* what;
        std::function<bool(KFbxTexture&)> reach;
    };
    const Way ways[] = {
        {"the default take", [](KFbxTexture& t) { return t.GetDefaultTakeNode() != nullptr; }},
        {"the current take", [](KFbxTexture& t) { return t.GetCurrentTakeNode() != nullptr; }},
        {"the take at 0", [](KFbxTexture& t) { return t.GetTakeNode(0) != nullptr; }},
        {"the links", [](KFbxTexture& t) { return t.GetPropertyLinkCount() == 9; }},
        {"a new take", [](KFbxTexture& t) { return t.CreateTakeNode("Take 001") != nullptr; }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        KFbxTexture* texture = KFbxTexture::Create(mManager, "stone");
        ASSERT_NE(texture, nullptr);
        // Counted and named without being built.
        EXPECT_EQ(texture->GetTakeNodeCount(), 1);
        EXPECT_STREQ(texture->GetTakeNodeName(0), "Default");
        EXPECT_EQ(texture->GetCurrentTakeNodeIndex(), 0);
        texture->SetTranslationUV(0.25, 0.5);
        texture->SetScaleUV(2.0, 3.0);
        ASSERT_TRUE(way.reach(*texture));
        EXPECT_EQ(DescribeDefaultTake(*texture), expected);
        // Once built, a new value reaches the channel at once.
        texture->SetRotationUVW(0.0, 0.0, 45.0);
        ASSERT_NE(texture->GetDefaultTakeNode()->GetTextureRotationW(), nullptr);
        EXPECT_DOUBLE_EQ(texture->GetDefaultTakeNode()->GetTextureRotationW()->GetValue(), 45.0);
        texture->Destroy();
    }
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
