#include "GeometryTestSupport.h"

#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {
namespace {

// Material and texture pointers are only stored and compared here.
KFbxSurfaceMaterial* FakeMaterial(int n) { return reinterpret_cast<KFbxSurfaceMaterial*>(std::uintptr_t(0x1000 + 16 * n)); }
KFbxTexture* FakeTexture(int n) { return reinterpret_cast<KFbxTexture*>(std::uintptr_t(0x2000 + 16 * n)); }

using KFbxLayerContainerTest = geometrytest::GeometryTest;

TEST_F(KFbxLayerContainerTest, LayersByIndexAndByType) {
    KFbxMesh* mesh = MakeMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetLayerCount(), 0);
    EXPECT_EQ(mesh->GetLayer(0), nullptr);
    EXPECT_EQ(mesh->CreateLayer(), 0);
    EXPECT_EQ(mesh->CreateLayer(), 1);
    EXPECT_EQ(mesh->CreateLayer(), 2);
    EXPECT_NE(mesh->GetLayer(2), nullptr);
    EXPECT_EQ(mesh->GetLayer(3), nullptr);
    EXPECT_EQ(mesh->GetLayer(-1), nullptr);

    mesh->GetLayer(0)->SetNormals(new KFbxLayerElementNormal());
    mesh->GetLayer(2)->SetNormals(new KFbxLayerElementNormal());
    mesh->GetLayer(1)->SetUVs(new KFbxLayerElementUV(), KFbxLayerElement::eSPECULAR_TEXTURES);
    EXPECT_EQ(mesh->GetLayerCountOfType(KFbxLayerElement::eNORMAL), 2);
    EXPECT_EQ(mesh->GetLayerOfType(1, KFbxLayerElement::eNORMAL), mesh->GetLayer(2));
    EXPECT_EQ(mesh->GetLayerIndexOfType(1, KFbxLayerElement::eNORMAL), 2);
    EXPECT_EQ(mesh->GetLayerOfType(2, KFbxLayerElement::eNORMAL), nullptr);
    EXPECT_EQ(mesh->GetLayerOfType(-1, KFbxLayerElement::eNORMAL), nullptr);
    EXPECT_EQ(mesh->GetLayerCountOfType(KFbxLayerElement::eSPECULAR_TEXTURES), 0);
    EXPECT_EQ(mesh->GetLayerCountOfType(KFbxLayerElement::eSPECULAR_TEXTURES, true), 1);
    EXPECT_EQ(mesh->GetLayerIndexOfType(0, KFbxLayerElement::eSPECULAR_TEXTURES, true), 1);
}

TEST_F(KFbxLayerContainerTest, AddMaterialRefusesARepeatAndAddTextureGivesItsIndex) {
    KFbxMesh* mesh = MakeMesh();
    EXPECT_EQ(mesh->AddMaterial(nullptr), -1);
    EXPECT_EQ(mesh->AddMaterial(FakeMaterial(0)), 0);
    EXPECT_EQ(mesh->AddMaterial(FakeMaterial(1)), 1);
    EXPECT_EQ(mesh->AddMaterial(FakeMaterial(0)), -1);
    EXPECT_EQ(mesh->GetMaterialCount(), 2);
    EXPECT_EQ(mesh->GetMaterial(1), FakeMaterial(1));
    EXPECT_EQ(mesh->GetMaterial(2), nullptr);
    EXPECT_EQ(mesh->GetMaterialCount(5), 0);
    EXPECT_EQ(mesh->GetLayer(0)->GetMaterials()->GetReferenceMode(), KFbxLayerElement::eINDEX_TO_DIRECT);

    EXPECT_EQ(mesh->AddTexture(FakeTexture(0)), 0);
    EXPECT_EQ(mesh->AddTexture(FakeTexture(1)), 1);
    EXPECT_EQ(mesh->AddTexture(FakeTexture(0)), 0);
    EXPECT_EQ(mesh->GetTextureCount(), 2);
    EXPECT_EQ(mesh->GetTexture(1), FakeTexture(1));
    EXPECT_EQ(mesh->AddTexture(FakeTexture(0), 0, KFbxLayerElement::eBUMP_TEXTURES), 0);
    EXPECT_EQ(mesh->GetTextureCount(0, KFbxLayerElement::eBUMP_TEXTURES), 1);
    EXPECT_EQ(mesh->AddTexture(FakeTexture(0), 0, KFbxLayerElement::eNORMAL), -1);

    // The next layer is made on demand, one further is not.
    EXPECT_EQ(mesh->AddMaterial(FakeMaterial(0), 1), 0);
    EXPECT_EQ(mesh->GetLayerCount(), 2);
    EXPECT_EQ(mesh->AddMaterial(FakeMaterial(0), 5), -1);
    EXPECT_EQ(mesh->AddMaterial(FakeMaterial(0), -1), -1);
    EXPECT_EQ(mesh->GetLayerCount(), 2);
}

TEST_F(KFbxLayerContainerTest, EveryClassIsMadeByItsClassId) {
    const KFbxClassId classes[] = {KFbxLayerContainer::ClassId, KFbxGeometryBase::ClassId, KFbxGeometry::ClassId,
                                   KFbxShape::ClassId, KFbxMesh::ClassId};
    for (const KFbxClassId& classId : classes) {
        KFbxPlug* plug = CreateObjectOfClass(mManager, classId, "made");
        ASSERT_NE(plug, nullptr) << classId.GetName();
        EXPECT_EQ(plug->GetClassId(), classId) << classId.GetName();
        EXPECT_TRUE(plug->Is(KFbxLayerContainer::ClassId));
        EXPECT_TRUE(plug->Is(KFbxNodeAttribute::ClassId));
    }
    EXPECT_EQ(mManager->GetObjectCount(KFbxGeometryBase::ClassId), 4);
}

TEST_F(KFbxLayerContainerTest, LayerZeroElementsFromTheInitOperations) {
    KFbxMesh* mesh = MakeMesh({{0, 0, 0, 0}});
    EXPECT_EQ(mesh->GetTextureUVArray(), nullptr);
    EXPECT_EQ(mesh->GetTextureUVCount(), 0);
    EXPECT_FALSE(mesh->SetTextureUVCount(2));
    EXPECT_EQ(mesh->AddTextureUV(KFbxVector2(1, 1)), -1);

    mesh->InitMaterialIndices(KFbxLayerElement::eBY_POLYGON_VERTEX);
    EXPECT_EQ(mesh->GetMaterialMappingMode(), KFbxLayerElement::eALL_SAME);
    mesh->InitMaterialIndices(KFbxLayerElement::eBY_POLYGON);
    EXPECT_EQ(mesh->GetMaterialMappingMode(), KFbxLayerElement::eBY_POLYGON);
    EXPECT_NE(mesh->GetMaterialIndices(), nullptr);

    mesh->InitTextureIndices(KFbxLayerElement::eBY_CONTROL_POINT);
    EXPECT_EQ(mesh->GetTextureMappingMode(), KFbxLayerElement::eALL_SAME);
    mesh->GetLayer(0)->GetTextures()->SetMappingMode(KFbxLayerElement::eBY_EDGE);
    EXPECT_EQ(mesh->GetTextureMappingMode(), KFbxLayerElement::eNONE);

    mesh->InitTextureUVMapping(KFbxLayerElement::eBY_POLYGON, KFbxLayerElement::eAMBIENT_TEXTURES);
    EXPECT_EQ(mesh->GetTextureUVMappingMode(KFbxLayerElement::eAMBIENT_TEXTURES), KFbxLayerElement::eNONE);
    EXPECT_TRUE(mesh->SetTextureUVCount(3, KFbxLayerElement::eAMBIENT_TEXTURES));
    EXPECT_FALSE(mesh->SetTextureUVCount(-1, KFbxLayerElement::eAMBIENT_TEXTURES));
    EXPECT_EQ(mesh->GetTextureUVCount(KFbxLayerElement::eAMBIENT_TEXTURES), 3);
    EXPECT_EQ(mesh->GetTextureUVCount(), 0);
    mesh->InitTextureUVMapping(KFbxLayerElement::eBY_POLYGON_VERTEX, KFbxLayerElement::eNORMAL);
    EXPECT_EQ(mesh->GetLayerCountOfType(KFbxLayerElement::eNORMAL, true), 0);
    EXPECT_EQ(mesh->GetLayerCount(), 1);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
