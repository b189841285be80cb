#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>

#include "geometry/GeometryTestSupport.h"
#include "geometry/RegisterTestClasses.h"

#include <gtest/gtest.h>


namespace fbxsdk_2006_11_1::geometrytest {
namespace {

class SurfaceMaterialTest : public GeometryTest {
protected:
    void SetUp() override {
        GeometryTest::SetUp();
        RegisterMaterialClasses(mManager);
    }
};

void ExpectColor(const KFbxProperty& property, double r, double g, double b) {
    ASSERT_TRUE(property.IsValid());
    EXPECT_EQ(property.GetPropertyDataType(), gKFbxDataTypeColor);
    const fbxDouble3 value = property.GetDouble3();
    EXPECT_DOUBLE_EQ(value[0], r);
    EXPECT_DOUBLE_EQ(value[1], g);
    EXPECT_DOUBLE_EQ(value[2], b);
}

TEST_F(SurfaceMaterialTest, PhongPassesThePhongTestButNotTheLambertOne) {
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "shiny");
    KFbxSurfaceLambert* lambert = KFbxSurfaceLambert::Create(mManager, "matte");
    ASSERT_NE(phong, nullptr);
    ASSERT_NE(lambert, nullptr);
    EXPECT_TRUE(phong->Is(KFbxSurfacePhong::ClassId));
    EXPECT_TRUE(phong->Is(KFbxSurfaceMaterial::ClassId));
    EXPECT_FALSE(phong->Is(KFbxSurfaceLambert::ClassId));
    EXPECT_FALSE(lambert->Is(KFbxSurfacePhong::ClassId));
    EXPECT_TRUE(lambert->Is(KFbxSurfaceMaterial::ClassId));
    EXPECT_STREQ(phong->GetShadingModel().GetString().Buffer(), "Phong");
    EXPECT_STREQ(lambert->GetShadingModel().GetString().Buffer(), "Lambert");
    EXPECT_EQ(phong->GetObjectTypeCode(), 3);
    phong->Destroy();
    lambert->Destroy();
}

TEST_F(SurfaceMaterialTest, PropertiesAreFoundByNameWithTheirTypesAndDefaults) {
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "shiny");
    ASSERT_NE(phong, nullptr);
    for (const char* name : {"EmissiveColor", "AmbientColor", "DiffuseColor", "TransparentColor", "SpecularColor",
                             "ReflectionColor"}) {
        EXPECT_EQ(phong->FindProperty(name).GetPropertyDataType(), gKFbxDataTypeColor) << name;
    }
    for (const char* name : {"EmissiveFactor", "AmbientFactor", "DiffuseFactor", "TransparencyFactor",
                             "SpecularFactor", "ShininessExponent", "ReflectionFactor"}) {
        EXPECT_EQ(phong->FindProperty(name).GetPropertyDataType(), gKFbxDataTypeNumber) << name;
    }
    EXPECT_EQ(phong->GetShininess(), phong->FindProperty("ShininessExponent"));
    EXPECT_EQ(phong->GetDiffuseColor(), phong->FindProperty("DiffuseColor"));
    EXPECT_TRUE(phong->FindProperty("MultiLayer").IsValid());
    ExpectColor(phong->GetDiffuseColor(), 0.8, 0.8, 0.8);
    EXPECT_DOUBLE_EQ(phong->GetShininess().GetDouble(), 20.0);

    KFbxSurfaceLambert* lambert = KFbxSurfaceLambert::Create(mManager, "matte");
    ASSERT_NE(lambert, nullptr);
    EXPECT_FALSE(lambert->FindProperty("SpecularColor").IsValid());
    phong->Destroy();
    lambert->Destroy();
}

// A material's one take, "Default" and current, holds no channel of its
// own; an animatable property added later, before or after the take is
// first reached, gets its channel there with its value and its link.
TEST_F(SurfaceMaterialTest, TheDefaultTakeHoldsTheChannelsOfAnimatablePropertiesAddedLater) {
    for (const bool reachFirst : {false, true}) {
        SCOPED_TRACE(reachFirst ? "take reached first" : "property added first");
        KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "shiny");
        ASSERT_NE(phong, nullptr);
        EXPECT_EQ(phong->GetTakeNodeCount(), 1);
        EXPECT_STREQ(phong->GetTakeNodeName(0), "Default");
        EXPECT_EQ(phong->GetCurrentTakeNodeIndex(), 0);
        if (reachFirst) {
            ASSERT_NE(phong->GetCurrentTakeNode(), nullptr);
            EXPECT_EQ(phong->GetCurrentTakeNode()->GetKFCurveNode()->GetCount(), 0);
        }
        KFbxProperty glow = KFbxProperty::Create(phong, "Glow", gKFbxDataTypeNumber, "");
        ASSERT_TRUE(glow.IsValid());
        glow.ModifyFlag(KFbxProperty::kAnimatable, true);
        phong->PropertyAddToTakeNodes(glow);
        const double value = 0.75;
        glow.Set(&value, eFbxValueDouble);

        KFbxTakeNode* take = phong->GetDefaultTakeNode();
        ASSERT_NE(take, nullptr);
        const KFCurveNode* root = take->GetKFCurveNode();
        ASSERT_NE(root, nullptr);
        ASSERT_EQ(root->GetCount(), 1);
        EXPECT_STREQ(root->Get(0)->GetName(), "Glow");
        ASSERT_NE(root->Get(0)->FCurveGet(), nullptr);
        EXPECT_FLOAT_EQ(root->Get(0)->FCurveGet()->GetValue(), 0.75f);
        ASSERT_EQ(phong->GetPropertyLinkCount(), 1);
        EXPECT_EQ(phong->GetPropertyLink(0)->mCurve, root->Get(0)->FCurveGet());
        phong->Destroy();
    }
}

// Every value a new material starts with, read by name and through its
// handle; zeros, false and empty texts included.
TEST_F(SurfaceMaterialTest, EveryPropertyStartsWithItsDefault) {
    struct Expected {
        const char* name;
        double values[3];
    };
    const Expected phongValues[] = {
        {"EmissiveColor", {0.0, 0.0, 0.0}},     {"EmissiveFactor", {1.0}},     {"AmbientColor", {0.2, 0.2, 0.2}},
        {"AmbientFactor", {1.0}},               {"DiffuseColor", {0.8, 0.8, 0.8}}, {"DiffuseFactor", {1.0}},
        {"TransparentColor", {0.0, 0.0, 0.0}},  {"TransparencyFactor", {0.0}}, {"SpecularColor", {0.2, 0.2, 0.2}},
        {"SpecularFactor", {1.0}},              {"ShininessExponent", {20.0}}, {"ReflectionColor", {0.0, 0.0, 0.0}},
        {"ReflectionFactor", {1.0}},
    };
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "shiny");
    ASSERT_NE(phong, nullptr);
    for (const Expected& expected : phongValues) {
        SCOPED_TRACE(expected.name);
        const KFbxProperty property = phong->FindProperty(expected.name);
        ASSERT_TRUE(property.IsValid());
        if (property.GetPropertyDataType() == gKFbxDataTypeColor) {
            ExpectColor(property, expected.values[0], expected.values[1], expected.values[2]);
        } else {
            EXPECT_DOUBLE_EQ(property.GetDouble(), expected.values[0]);
        }
    }
    ExpectColor(phong->GetTransparentColor(), 0.0, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(phong->GetReflectionFactor().GetDouble(), 1.0);
    bool multiLayer = true;
    ASSERT_TRUE(phong->GetMultiLayer().Get(&multiLayer, eFbxValueBool));
    EXPECT_FALSE(multiLayer);
    EXPECT_STREQ(phong->GetShadingModel().GetString().Buffer(), "Phong");

    KFbxSurfaceMaterial* plain = KFbxSurfaceMaterial::Create(mManager, "plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_STREQ(plain->GetShadingModel().GetString().Buffer(), "");
    EXPECT_EQ(plain->FindProperty("ShadingModel").GetPropertyDataType(), gKFbxDataTypeKString);
    multiLayer = true;
    ASSERT_TRUE(plain->GetMultiLayer().Get(&multiLayer, eFbxValueBool));
    EXPECT_FALSE(multiLayer);
    EXPECT_EQ(plain->GetPropertyCount(), phong->GetPropertyCount() - 13);
    phong->Destroy();
    plain->Destroy();
}

TEST_F(SurfaceMaterialTest, ValuesSetThroughAHandleAreReadBack) {
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "shiny");
    ASSERT_NE(phong, nullptr);
    KFbxTypedProperty<fbxDouble3> specular = phong->GetSpecularColor();
    EXPECT_TRUE(specular.Set(fbxDouble3(0.1, 0.2, 0.3)));
    ExpectColor(phong->GetSpecularColor(), 0.1, 0.2, 0.3);
    KFbxTypedProperty<double> shininess = phong->GetShininess();
    EXPECT_TRUE(shininess.Set(64.0));
    EXPECT_DOUBLE_EQ(phong->FindProperty("ShininessExponent").GetDouble(), 64.0);
    phong->Destroy();
}

TEST_F(SurfaceMaterialTest, CloneCopiesClassNameAndEveryProperty) {
    KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "shiny");
    ASSERT_NE(phong, nullptr);
    KFbxTypedProperty<fbxDouble3>(phong->GetAmbientColor()).Set(fbxDouble3(0.5, 0.25, 0.125));
    KFbxTypedProperty<double>(phong->GetReflectionFactor()).Set(0.75);
    KFbxProperty extra = KFbxProperty::Create(phong, "UserGlow", gKFbxDataTypeNumber, "");
    KFbxTypedProperty<double>(extra).Set(3.5);

    EXPECT_EQ(phong->Clone(0), nullptr);
    KFbxSurfaceMaterial* copy = phong->Clone(2);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, phong);
    EXPECT_TRUE(copy->Is(KFbxSurfacePhong::ClassId));
    EXPECT_STREQ(copy->GetName(), phong->GetName());
    auto* phongCopy = static_cast<KFbxSurfacePhong*>(copy);
    ExpectColor(phongCopy->GetAmbientColor(), 0.5, 0.25, 0.125);
    EXPECT_DOUBLE_EQ(phongCopy->GetReflectionFactor().GetDouble(), 0.75);
    EXPECT_DOUBLE_EQ(copy->FindProperty("UserGlow").GetDouble(), 3.5);
    EXPECT_STREQ(copy->GetShadingModel().GetString().Buffer(), "Phong");

    // The copy stands alone.
    KFbxTypedProperty<double>(phong->GetReflectionFactor()).Set(0.0);
    EXPECT_DOUBLE_EQ(phongCopy->GetReflectionFactor().GetDouble(), 0.75);
    copy->Destroy();
    phong->Destroy();
}

TEST_F(SurfaceMaterialTest, PlainMaterialCloneCreatesMissingProperties) {
    KFbxSurfaceMaterial* material = KFbxSurfaceMaterial::Create(mManager, "plain");
    ASSERT_NE(material, nullptr);
    EXPECT_FALSE(material->Is(KFbxSurfaceLambert::ClassId));
    KString model("Custom");
    material->GetShadingModel().Set(&model, eFbxValueString);
    KFbxProperty tint = KFbxProperty::Create(material, "Tint", gKFbxDataTypeColor, "");
    KFbxTypedProperty<fbxDouble3>(tint).Set(fbxDouble3(1.0, 0.5, 0.0));
    KFbxSurfaceMaterial* copy = material->Clone(2);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->Is(KFbxSurfaceMaterial::ClassId));
    EXPECT_STREQ(copy->GetShadingModel().GetString().Buffer(), "Custom");
    ExpectColor(copy->FindProperty("Tint"), 1.0, 0.5, 0.0);
    copy->Destroy();
    material->Destroy();
}

TEST_F(SurfaceMaterialTest, LayerContainerFindsMaterialsByName) {
    KFbxMesh* mesh = MakeMesh();
    KFbxSurfaceLambert* red = KFbxSurfaceLambert::Create(mManager, "red");
    KFbxSurfacePhong* blue = KFbxSurfacePhong::Create(mManager, "blue");
    ASSERT_NE(mesh, nullptr);
    ASSERT_NE(red, nullptr);
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(mesh->AddMaterial(red, 0), 0);
    EXPECT_EQ(mesh->AddMaterial(blue, 0), 1);
    EXPECT_EQ(mesh->GetMaterialIndex("blue", 0), 1);
    EXPECT_EQ(mesh->GetMaterialIndex("green", 0), -1);
    mesh->Destroy();
    red->Destroy();
    blue->Destroy();
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::geometrytest
