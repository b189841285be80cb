// Lights: defaults, the gobo file name, the decay, attenuation and shadow
// properties, the channels they bring to every take of their node, and copies.
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxLight.h>

#include "scene/AttributeTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

using KFbxLightTest = AttributeTest<KFbxLight>;

const char* const kChannels[] = {"Color", "Intensity", "Cone angle", "Fog"};

TEST_F(KFbxLightTest, NewLightIsAWhitePointLight) {
    KFbxLight* light = Make();
    EXPECT_EQ(light->GetAttributeType(), KFbxNodeAttribute::eLIGHT);
    EXPECT_STREQ(light->GetTypeName(), "Light");
    // Made by class id, it has its own kind of twin.
    ASSERT_NE(light->GetInternalObject(), nullptr);
    EXPECT_EQ(light->GetInternalObject()->GetClassInfo(), &gKFbxLight_internalClassInfo);
    KStringList flags;
    light->GetTypeFlags(flags);
    ASSERT_EQ(flags.GetCount(), 1);
    EXPECT_STREQ(flags.GetStringAt(0), "Light");
    EXPECT_EQ(light->GetLightType(), KFbxLight::ePOINT);
    EXPECT_STREQ(KFbxLight::GetLightTypeName(light->GetLightType()), "Point Light");
    double colour[3] = {};
    light->GetDefaultColor(colour);
    EXPECT_DOUBLE_EQ(colour[0], 1.0);
    EXPECT_DOUBLE_EQ(colour[2], 1.0);
    EXPECT_DOUBLE_EQ(light->GetDefaultIntensity(), 100.0);
    EXPECT_DOUBLE_EQ(light->GetDefaultConeAngle(), 45.0);
    EXPECT_DOUBLE_EQ(light->GetDefaultFog(), 50.0);
    EXPECT_TRUE(light->GetCastLightOnObject());
    EXPECT_TRUE(light->GetDrawGroundProjection());
    EXPECT_TRUE(light->GetDrawVolumetricLight());
    EXPECT_FALSE(light->GetDrawFrontFacingVolumetricLight());
    EXPECT_EQ(light->GetDecayType(), KFbxLight::eNONE);
    EXPECT_DOUBLE_EQ(light->GetDecayStart(), 1.0);
    EXPECT_FALSE(light->GetCastShadows());
    const KFbxColor shadow = light->GetShadowColor();
    EXPECT_DOUBLE_EQ(shadow.mRed, 0.0);
    EXPECT_DOUBLE_EQ(shadow.mAlpha, 1.0);
    EXPECT_TRUE(light->FindProperty("Intensity").GetFlag(KFbxProperty::kAnimatable));
    EXPECT_TRUE(light->FindProperty("GoboProperty").IsValid());
    EXPECT_EQ(KFbxLight::GetLightTypeName(3), nullptr);
}

TEST_F(KFbxLightTest, FileNameIsNullWhileEmpty) {
    KFbxLight* light = Make();
    EXPECT_EQ(light->GetFileName(), nullptr);
    EXPECT_TRUE(light->SetFileName("gobo.tga"));
    EXPECT_STREQ(light->GetFileName(), "gobo.tga");
    EXPECT_TRUE(light->SetFileName(nullptr));
    EXPECT_EQ(light->GetFileName(), nullptr);
}

TEST_F(KFbxLightTest, PublicPropertySettersFailOnceThePropertyIsGone) {
    KFbxLight* light = Make();
    EXPECT_TRUE(light->SetDecayType(KFbxLight::eQUADRATIC));
    EXPECT_EQ(light->GetDecayType(), KFbxLight::eQUADRATIC);
    EXPECT_TRUE(light->SetShadowColor(KFbxColor(0.5, 0.25, 0.0, 0.75)));
    EXPECT_DOUBLE_EQ(light->GetShadowColor().mAlpha, 0.75);
    EXPECT_TRUE(light->SetFarAttenuationEnd(300.0));
    EXPECT_DOUBLE_EQ(light->GetFarAttenuationEnd(), 300.0);

    light->ResetProperties();
    EXPECT_EQ(light->GetDecayType(), KFbxLight::eNONE);
    EXPECT_DOUBLE_EQ(light->GetFarAttenuationEnd(), 0.0);

    KFbxProperty decayStart = light->FindProperty("DecayStart");
    ASSERT_TRUE(decayStart.IsValid());
    decayStart.Destroy();
    EXPECT_FALSE(light->FindProperty("DecayStart").IsValid());
    EXPECT_FALSE(light->SetDecayStart(2.0));
    light->ResetProperties();
    EXPECT_TRUE(light->SetCastShadows(true));
}

TEST_F(KFbxLightTest, AttachedDefaultsLiveInTheDefaultTake) {
    KFbxLight* light = Make();
    KFbxNode* node = Attach(light);
    light->SetDefaultIntensity(250.0);
    KFbxTakeNode* defaultTake = node->GetDefaultTakeNode();
    EXPECT_FLOAT_EQ(defaultTake->GetLightIntensity()->GetValue(), 250.0f);
    EXPECT_DOUBLE_EQ(light->FindProperty("Intensity").GetDouble(), 250.0);
    defaultTake->GetLightIntensity()->SetValue(125.0f);
    EXPECT_DOUBLE_EQ(light->GetDefaultIntensity(), 125.0);

    const double red[3] = {1.0, 0.0, 0.0};
    light->SetDefaultColor(red);
    EXPECT_FLOAT_EQ(defaultTake->GetColorG()->GetValue(), 0.0f);
    double colour[3] = {};
    light->GetDefaultColor(colour);
    EXPECT_DOUBLE_EQ(colour[1], 0.0);
    // Other takes keep their own defaults.
    EXPECT_FLOAT_EQ(node->GetTakeNode(1)->GetColorG()->GetValue(), 1.0f);
    EXPECT_FLOAT_EQ(node->GetTakeNode(1)->GetLightFog()->GetValue(), 50.0f);
}

TEST_F(KFbxLightTest, ALightFilledBeforeAttachingKeepsItsValues) {
    KFbxLight* light = Make();
    light->SetDefaultIntensity(250.0);
    light->SetDefaultConeAngle(30.0);
    const double amber[3] = {1.0, 0.5, 0.0};
    light->SetDefaultColor(amber);
    KFbxNode* node = Attach(light);
    EXPECT_DOUBLE_EQ(light->GetDefaultIntensity(), 250.0);
    EXPECT_DOUBLE_EQ(light->GetDefaultConeAngle(), 30.0);
    EXPECT_FLOAT_EQ(node->GetTakeNode(1)->GetColorG()->GetValue(), 0.5f);
}

TEST_F(KFbxLightTest, DetachingRemovesTheChannelsFromEveryTake) {
    KFbxLight* light = Make();
    KFbxNode* node = Attach(light);
    for (int take = 0; take < node->GetTakeNodeCount(); ++take) {
        for (const char* channel : kChannels) {
            EXPECT_GE(node->GetTakeNode(take)->GetKFCurveNode()->FindChildByName(channel), 0) << channel;
        }
    }
    const int linksWhileAttached = node->GetPropertyLinkCount();
    node->SetNodeAttribute(nullptr);
    for (int take = 0; take < node->GetTakeNodeCount(); ++take) {
        for (const char* channel : kChannels) {
            EXPECT_LT(node->GetTakeNode(take)->GetKFCurveNode()->FindChildByName(channel), 0) << channel;
        }
    }
    EXPECT_EQ(node->GetPropertyLinkCount(), linksWhileAttached - 6);
    // Attaching twice does not double the links.
    node->SetNodeAttribute(light);
    const int links = node->GetPropertyLinkCount();
    light->AttachToNode(node);
    EXPECT_EQ(node->GetPropertyLinkCount(), links);
}

TEST_F(KFbxLightTest, ADestroyedLightTakesItsChannelsAlong) {
    KFbxLight* light = Make();
    KFbxNode* node = Attach(light);
    light->Destroy();
    EXPECT_EQ(node->GetLight(), nullptr);
    EXPECT_EQ(node->GetDefaultTakeNode()->GetLightIntensity(), nullptr);
    EXPECT_EQ(node->GetTakeNode(1)->GetColorR(), nullptr);
    for (int index = 0; index < node->GetPropertyLinkCount(); ++index) {
        EXPECT_NE(node->GetPropertyLink(index)->mProperty.GetObject(), nullptr);
    }
}

TEST_F(KFbxLightTest, CloneShinesAsTheOriginal) {
    KFbxLight* light = Make("spot");
    light->SetLightType(KFbxLight::eSPOT);
    light->SetCastLightOnObject(false);
    light->SetDrawFrontFacingVolumetricLight(true);
    light->SetFileName("gobo.tga");
    light->SetDefaultIntensity(20.0);
    light->SetDefaultFog(5.0);
    const double green[3] = {0.0, 1.0, 0.0};
    light->SetDefaultColor(green);
    light->SetCastShadows(true);
    light->SetDecayStart(7.0);
    EXPECT_EQ(light->Clone(1), nullptr);
    auto* copy = static_cast<KFbxLight*>(light->Clone(2));
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->GetName(), "");
    EXPECT_EQ(copy->GetLightType(), KFbxLight::eSPOT);
    EXPECT_FALSE(copy->GetCastLightOnObject());
    EXPECT_TRUE(copy->GetDrawFrontFacingVolumetricLight());
    EXPECT_STREQ(copy->GetFileName(), "gobo.tga");
    EXPECT_DOUBLE_EQ(copy->GetDefaultIntensity(), 20.0);
    EXPECT_DOUBLE_EQ(copy->GetDefaultFog(), 5.0);
    double colour[3] = {};
    copy->GetDefaultColor(colour);
    EXPECT_DOUBLE_EQ(colour[0], 0.0);
    EXPECT_DOUBLE_EQ(colour[1], 1.0);
    EXPECT_TRUE(copy->GetCastShadows());
    EXPECT_DOUBLE_EQ(copy->GetDecayStart(), 7.0);
}

TEST_F(KFbxLightTest, ANodeCopyCarriesTheLightWithItsValues) {
    KFbxLight* light = Make();
    KFbxNode* node = Attach(light);
    light->SetDefaultIntensity(40.0);
    KFbxNode* copy = node->Clone(2);
    ASSERT_NE(copy, nullptr);
    auto* copied = static_cast<KFbxLight*>(copy->GetLight());
    ASSERT_NE(copied, nullptr);
    ASSERT_NE(copied, light);
    EXPECT_DOUBLE_EQ(copied->GetDefaultIntensity(), 40.0);
}

}  // namespace
