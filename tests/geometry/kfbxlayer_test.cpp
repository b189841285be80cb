#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/geometry/KFbxColorArray.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxLayerElementUserData.h>

#include <gtest/gtest.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {
namespace {

TEST(KFbxLayerElementTest, StartsEmptyWithTheKindsDefaults) {
    KFbxLayerElementNormal normals("n");
    EXPECT_STREQ(normals.GetName(), "n");
    EXPECT_EQ(normals.GetMappingMode(), KFbxLayerElement::eNONE);
    EXPECT_EQ(normals.GetReferenceMode(), KFbxLayerElement::eDIRECT);
    EXPECT_EQ(normals.GetDirectArray().GetCount(), 0);
    EXPECT_EQ(normals.GetDirectArray().GetArray(), nullptr);
    EXPECT_EQ(normals.GetIndexArray().GetItemSize(), 4);

    KFbxLayerElementTexture textures;
    EXPECT_EQ(textures.GetReferenceMode(), KFbxLayerElement::eINDEX_TO_DIRECT);
    EXPECT_EQ(textures.GetBlendMode(), KFbxLayerElementTexture::eTRANSLUCENT);
    EXPECT_EQ(textures.GetAlpha(), 1.0);
    // Pointer items take a whole pointer on this platform.
    EXPECT_EQ(textures.GetDirectArray().GetItemSize(), static_cast<int>(sizeof(void*)));
    KFbxLayerElementMaterial materials;
    EXPECT_EQ(materials.GetDirectArray().GetItemSize(), static_cast<int>(sizeof(void*)));

    normals.SetName(nullptr);
    EXPECT_STREQ(normals.GetName(), "");
}

TEST(KFbxLayerElementTest, CloneCopiesModesNameAndBothArrays) {
    KFbxLayerElementTexture source("tex");
    source.SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    source.SetBlendMode(KFbxLayerElementTexture::eMODULATE);
    source.SetAlpha(0.25);
    source.GetIndexArray().Add(7);
    source.GetDirectArray().Add(nullptr);

    KFbxLayerElement* clone = source.Clone();
    ASSERT_NE(clone, nullptr);
    auto* copy = static_cast<KFbxLayerElementTexture*>(clone);
    EXPECT_STREQ(copy->GetName(), "tex");
    EXPECT_EQ(copy->GetMappingMode(), KFbxLayerElement::eBY_POLYGON);
    EXPECT_EQ(copy->GetReferenceMode(), KFbxLayerElement::eINDEX_TO_DIRECT);
    EXPECT_EQ(copy->GetBlendMode(), KFbxLayerElementTexture::eMODULATE);
    EXPECT_EQ(copy->GetAlpha(), 0.25);
    EXPECT_EQ(copy->GetIndexArray().GetAt(0), 7);
    EXPECT_EQ(copy->GetDirectArray().GetCount(), 1);
    // The copy's arrays are its own.
    source.GetIndexArray().SetAt(0, 9);
    EXPECT_EQ(copy->GetIndexArray().GetAt(0), 7);
    delete clone;
}

TEST(KFbxColorArrayTest, AddCopyAndCopyConstruction) {
    KFbxColorArray colors;
    colors.Add(KFbxColor(0.1, 0.2, 0.3, 0.4));
    colors.Add(KFbxColor(2.0, -1.0, 0.5, 1.0));
    EXPECT_EQ(colors.GetCount(), 2);
    EXPECT_EQ(colors.GetAt(1).mRed, 1.0);  // clamped when built

    KFbxColorArray copy(colors);
    ASSERT_EQ(copy.GetCount(), 2);
    EXPECT_EQ(copy.GetAt(0).mAlpha, 0.4);

    KFbxColorArray other;
    other.Add(KFbxColor());
    ASSERT_TRUE(other.Copy(colors));
    EXPECT_EQ(other.GetCount(), 2);
    EXPECT_EQ(other.GetAt(0).mGreen, 0.2);
    EXPECT_TRUE(other.Copy(other));
    EXPECT_EQ(other.GetCount(), 2);
}

class KFbxLayerElementUserDataTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(KFbxBuildDataTypes()); }
};

TEST_F(KFbxLayerElementUserDataTest, ChannelsByDataType) {
    const KFbxDataType types[] = {gKFbxDataTypeBool, gKFbxDataTypeInteger, gKFbxDataTypeFloat, gKFbxDataTypeNumber,
                                  gKFbxDataTypeKString};
    const char* names[] = {"b", "i", nullptr, "d", "s"};
    KFbxLayerElementUserData data("ud", 42, types, names, 5);
    EXPECT_EQ(data.GetId(), 42);
    ASSERT_EQ(data.GetDirectArrayCount(), 5);
    EXPECT_EQ(data.GetDataType(1), gKFbxDataTypeInteger);
    EXPECT_EQ(data.GetDataType(5), KFbxDataType());
    EXPECT_STREQ(data.GetDataName(0), "b");
    EXPECT_STREQ(data.GetDataName(2), "");
    EXPECT_EQ(data.GetDataName(-1), nullptr);
    EXPECT_EQ(data.GetDirectArrayVoid(0)->GetItemSize(), 1);
    EXPECT_EQ(data.GetDirectArrayVoid(1)->GetItemSize(), 4);
    EXPECT_EQ(data.GetDirectArrayVoid(2)->GetItemSize(), 4);
    EXPECT_EQ(data.GetDirectArrayVoid(3)->GetItemSize(), 8);
    EXPECT_EQ(data.GetDirectArrayVoid(4), nullptr);
    EXPECT_EQ(data.GetDirectArrayVoid(5), nullptr);

    KFbxLayerElementUserData none("none", 1, nullptr, nullptr, 3);
    EXPECT_EQ(none.GetDirectArrayCount(), 0);
}

TEST_F(KFbxLayerElementUserDataTest, AssignAndCopyCarryValuesIdAndIndices) {
    const KFbxDataType types[] = {gKFbxDataTypeNumber};
    const char* names[] = {"weight"};
    KFbxLayerElementUserData source("ud", 3, types, names, 1);
    const double value = 2.5;
    source.GetDirectArrayVoid(0)->InsertAt(0, &value);
    source.GetIndexArray().Add(0);

    KFbxLayerElementUserData target("other", 9, nullptr, nullptr, 0);
    ASSERT_TRUE(target.Assign(source));
    EXPECT_EQ(target.GetId(), 3);
    ASSERT_EQ(target.GetDirectArrayCount(), 1);
    EXPECT_STREQ(target.GetDataName(0), "weight");
    double read = 0.0;
    std::memcpy(&read, target.GetDirectArrayVoid(0)->GetItemAt(0), sizeof read);
    EXPECT_EQ(read, 2.5);
    EXPECT_EQ(target.GetIndexArray().GetCount(), 1);
    EXPECT_NE(target.GetDirectArrayVoid(0), source.GetDirectArrayVoid(0));

    KFbxLayerElementUserData copy(source);
    EXPECT_EQ(copy.GetId(), 3);
    EXPECT_EQ(copy.GetDirectArrayVoid(0)->GetCount(), 1);
}

TEST(KFbxLayerTest, GettersAreNullUntilSetAndChannelsAreChecked) {
    KFbxLayer layer;
    EXPECT_EQ(layer.GetNormals(), nullptr);
    EXPECT_EQ(layer.GetMaterials(), nullptr);
    EXPECT_EQ(layer.GetTextures(), nullptr);
    EXPECT_EQ(layer.GetUVs(), nullptr);
    EXPECT_EQ(layer.GetUserData(), nullptr);

    auto* uvs = new KFbxLayerElementUV("uv");
    EXPECT_TRUE(layer.SetUVs(uvs, KFbxLayerElement::eDIFFUSE_TEXTURES));
    EXPECT_EQ(layer.GetUVs(), uvs);
    EXPECT_EQ(layer.GetLayerElementOfType(KFbxLayerElement::eUV), uvs);
    EXPECT_EQ(layer.GetLayerElementOfType(KFbxLayerElement::eDIFFUSE_TEXTURES, true), uvs);
    EXPECT_EQ(layer.GetUVs(KFbxLayerElement::eEMISSIVE_TEXTURES), nullptr);

    auto* emissive = new KFbxLayerElementTexture();
    EXPECT_TRUE(layer.SetTexturesOfChannel(emissive, KFbxLayerElement::eEMISSIVE_TEXTURES));
    EXPECT_EQ(layer.GetTexturesOfChannel(KFbxLayerElement::eEMISSIVE_TEXTURES), emissive);
    EXPECT_EQ(layer.GetTextures(), nullptr);

    // Not texture channels: refused, and the element stays the caller's.
    KFbxLayerElementTexture stray;
    EXPECT_FALSE(layer.SetTexturesOfChannel(&stray, KFbxLayerElement::eNORMAL));
    EXPECT_FALSE(layer.SetTexturesOfChannel(&stray, 24));
    EXPECT_FALSE(layer.SetTexturesOfChannel(&stray, -1));
    EXPECT_EQ(layer.GetTexturesOfChannel(-1), nullptr);
    EXPECT_EQ(layer.GetTexturesOfChannel(100), nullptr);

    // Setting the held element again keeps it; null clears.
    layer.SetUVs(uvs);
    EXPECT_EQ(layer.GetUVs(), uvs);
    layer.SetUVs(nullptr);
    EXPECT_EQ(layer.GetUVs(), nullptr);
}

TEST(KFbxLayerTest, CopyMakesOwnCopiesOfEveryElement) {
    KFbxLayer source;
    auto* normals = new KFbxLayerElementNormal("n");
    normals->GetDirectArray().Add(KFbxVector4(0, 0, 1, 1));
    source.SetNormals(normals);
    source.SetTexturesOfChannel(new KFbxLayerElementTexture("bump"), KFbxLayerElement::eBUMP_TEXTURES);
    source.SetVisibility(new KFbxLayerElementVisibility());

    KFbxLayer target;
    target.SetMaterials(new KFbxLayerElementMaterial());
    ASSERT_TRUE(target.Copy(source, nullptr));
    ASSERT_NE(target.GetNormals(), nullptr);
    EXPECT_NE(target.GetNormals(), normals);
    EXPECT_EQ(target.GetNormals()->GetDirectArray().GetAt(0)[2], 1.0);
    EXPECT_STREQ(target.GetTexturesOfChannel(KFbxLayerElement::eBUMP_TEXTURES)->GetName(), "bump");
    EXPECT_NE(target.GetVisibility(), nullptr);
    EXPECT_EQ(target.GetMaterials(), nullptr);
    // The copies belong to the target: another layer cannot take them.
    EXPECT_TRUE(target.GetNormals()->IsHeldByLayer());
    KFbxLayer third;
    third.SetNormals(target.GetNormals());
    EXPECT_EQ(third.GetNormals(), nullptr);
}

// The layer is the one owner of its elements; the sanitized build checks
// that nothing here is destroyed twice or lost.
TEST(KFbxLayerTest, AnElementHeldByOneSlotIsRefusedByEveryOther) {
    KFbxLayer first;
    KFbxLayer second;
    auto* normals = new KFbxLayerElementNormal("n");
    EXPECT_FALSE(normals->IsHeldByLayer());
    first.SetNormals(normals);
    EXPECT_TRUE(normals->IsHeldByLayer());
    second.SetNormals(normals);
    EXPECT_EQ(second.GetNormals(), nullptr);
    EXPECT_EQ(first.GetNormals(), normals);

    // Within one layer too: one texture element cannot serve two channels,
    // nor one UV element two channels; the slot keeps what it had.
    auto* diffuse = new KFbxLayerElementTexture("diffuse");
    auto* bump = new KFbxLayerElementTexture("bump");
    ASSERT_TRUE(first.SetTexturesOfChannel(diffuse, KFbxLayerElement::eDIFFUSE_TEXTURES));
    ASSERT_TRUE(first.SetTexturesOfChannel(bump, KFbxLayerElement::eBUMP_TEXTURES));
    EXPECT_FALSE(first.SetTexturesOfChannel(diffuse, KFbxLayerElement::eBUMP_TEXTURES));
    EXPECT_EQ(first.GetTexturesOfChannel(KFbxLayerElement::eBUMP_TEXTURES), bump);
    auto* uvs = new KFbxLayerElementUV("uv");
    ASSERT_TRUE(first.SetUVs(uvs, KFbxLayerElement::eDIFFUSE_TEXTURES));
    EXPECT_FALSE(second.SetUVs(uvs, KFbxLayerElement::eEMISSIVE_TEXTURES));
    EXPECT_EQ(second.GetUVs(KFbxLayerElement::eEMISSIVE_TEXTURES), nullptr);

    // Replacing destroys the element held before; its successor is held.
    auto* replacement = new KFbxLayerElementNormal("m");
    first.SetNormals(replacement);
    EXPECT_EQ(first.GetNormals(), replacement);
    EXPECT_TRUE(replacement->IsHeldByLayer());
}

TEST(KFbxLayerTest, CopyingALayerOntoItselfKeepsItsElements) {
    KFbxLayer layer;
    auto* normals = new KFbxLayerElementNormal("n");
    layer.SetNormals(normals);
    ASSERT_TRUE(layer.Copy(layer, nullptr));
    EXPECT_EQ(layer.GetNormals(), normals);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
