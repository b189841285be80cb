#include "GeometryTestSupport.h"

#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxLayerElementObjectArray.h>
#include <fbxfilesdk/geometry/KFbxLayerReconciliation.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <functional>
#include <memory>
#include <string>

namespace fbxsdk_2006_11_1 {
namespace {

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
    // A layer holds only live objects, which it names by handle.
    KFbxSurfaceMaterial* const material[] = {KFbxSurfaceMaterial::Create(mManager, "m0"),
                                             KFbxSurfaceMaterial::Create(mManager, "m1")};
    KFbxTexture* const texture[] = {KFbxTexture::Create(mManager, "t0"), KFbxTexture::Create(mManager, "t1")};
    EXPECT_EQ(mesh->AddMaterial(nullptr), -1);
    EXPECT_EQ(mesh->AddMaterial(material[0]), 0);
    EXPECT_EQ(mesh->AddMaterial(material[1]), 1);
    EXPECT_EQ(mesh->AddMaterial(material[0]), -1);
    EXPECT_EQ(mesh->GetMaterialCount(), 2);
    EXPECT_EQ(mesh->GetMaterial(1), material[1]);
    EXPECT_EQ(mesh->GetMaterial(2), nullptr);
    EXPECT_EQ(mesh->GetMaterialCount(5), 0);
    EXPECT_EQ(mesh->GetLayer(0)->GetMaterials()->GetReferenceMode(), KFbxLayerElement::eINDEX_TO_DIRECT);

    EXPECT_EQ(mesh->AddTexture(texture[0]), 0);
    EXPECT_EQ(mesh->AddTexture(texture[1]), 1);
    EXPECT_EQ(mesh->AddTexture(texture[0]), 0);
    EXPECT_EQ(mesh->GetTextureCount(), 2);
    EXPECT_EQ(mesh->GetTexture(1), texture[1]);
    EXPECT_EQ(mesh->AddTexture(texture[0], 0, KFbxLayerElement::eBUMP_TEXTURES), 0);
    EXPECT_EQ(mesh->GetTextureCount(0, KFbxLayerElement::eBUMP_TEXTURES), 1);
    EXPECT_EQ(mesh->AddTexture(texture[0], 0, KFbxLayerElement::eNORMAL), -1);

    // The next layer is made on demand, one further is not.
    EXPECT_EQ(mesh->AddMaterial(material[0], 1), 0);
    EXPECT_EQ(mesh->GetLayerCount(), 2);
    EXPECT_EQ(mesh->AddMaterial(material[0], 5), -1);
    EXPECT_EQ(mesh->AddMaterial(material[0], -1), -1);
    EXPECT_EQ(mesh->GetLayerCount(), 2);
}

// A material or texture destroyed while layers hold it, by any route, reads
// as none there from then on: the entry keeps its place, so the indices
// stay as they were and in range, and the others stay.
TEST_F(KFbxLayerContainerTest, ADestroyedMaterialOrTextureReadsAsNoneWhereItWasHeld) {
    using Route = std::function<void(KFbxSdkManager*&, KFbxObject& material, KFbxObject& texture)>;
    const std::pair<const char*, Route> routes[] = {
        {"destroyed", [](KFbxSdkManager*&, KFbxObject& m, KFbxObject& t) { m.Destroy(), t.Destroy(); }},
        {"its scene destroyed",
         [](KFbxSdkManager*& manager, KFbxObject& m, KFbxObject& t) {
             KFbxScene* scene = KFbxScene::Create(manager, "holder");
             scene->ConnectObject(&m), scene->ConnectObject(&t);
             scene->Destroy();
         }},
        {"the manager's end", [](KFbxSdkManager*& manager, KFbxObject&, KFbxObject&) { delete manager, manager = nullptr; }},
    };
    for (const auto& [route, destroy] : routes) {
        for (const bool meshFirst : {true, false}) {
            SCOPED_TRACE(std::string(route) + (meshFirst ? ", mesh made first" : ", materials made first"));
            KFbxSdkManager* manager = CreateSdkManager();
            KFbxMesh* mesh = meshFirst ? KFbxMesh::Create(manager, "mesh") : nullptr;
            KFbxSurfaceMaterial* material[3];
            KFbxTexture* texture[2];
            for (int i = 0; i < 3; ++i) material[i] = KFbxSurfaceMaterial::Create(manager, ("m" + std::to_string(i)).c_str());
            for (int i = 0; i < 2; ++i) texture[i] = KFbxTexture::Create(manager, ("t" + std::to_string(i)).c_str());
            mesh = mesh != nullptr ? mesh : KFbxMesh::Create(manager, "mesh");
            KFbxNode* node = KFbxNode::Create(manager, "node");
            node->SetNodeAttribute(mesh);
            for (KFbxSurfaceMaterial* m : material) ASSERT_GE(mesh->AddMaterial(m), 0);
            mesh->GetLayer(0)->GetMaterials()->GetIndexArray().Add(1);
            ASSERT_EQ(mesh->AddTexture(texture[0]), 0);
            // An element filled by hand, and one no layer holds.
            auto* bumps = new KFbxLayerElementTexture();
            mesh->GetLayer(0)->SetTexturesOfChannel(bumps, KFbxLayerElement::eBUMP_TEXTURES);
            bumps->GetDirectArray().Add(texture[1]);
            bumps->GetDirectArray().Add(texture[0]);
            auto loose = std::make_unique<KFbxLayerElementMaterial>();
            loose->GetDirectArray().Add(material[1]);
            // Entries written through the raw array, as for every other kind.
            ASSERT_TRUE(loose->GetDirectArray().SetCount(4));
            KFbxSurfaceMaterial** written = loose->GetDirectArray().GetArray();
            written[1] = material[1];
            written[2] = material[2];
            written[3] = material[1];
            KFbxSurfaceMaterial** held = mesh->GetLayer(0)->GetMaterials()->GetDirectArray().GetArray();
            EXPECT_EQ(held[1], material[1]);
            auto unread = std::make_unique<KFbxLayerElementMaterial>();
            unread->GetDirectArray().Add(material[1]);

            destroy(manager, *material[1], *texture[0]);
            for (int i : {0, 1, 3}) EXPECT_EQ(loose->GetDirectArray().GetAt(i), nullptr) << i;
            EXPECT_EQ(loose->GetDirectArray().GetArray()[1], nullptr);
            // A material made where the gone one was is not taken for it.
            KFbxSurfaceMaterial* next = manager != nullptr ? KFbxSurfaceMaterial::Create(manager, "m3") : nullptr;
            EXPECT_EQ(unread->GetDirectArray().GetAt(0), nullptr);
            if (manager == nullptr) continue;
            EXPECT_EQ(loose->GetDirectArray().GetAt(2), material[2]);
            held = mesh->GetLayer(0)->GetMaterials()->GetDirectArray().GetArray();
            EXPECT_EQ(held[0], material[0]);
            EXPECT_EQ(held[1], nullptr);
            EXPECT_EQ(*static_cast<KFbxTexture* const*>(bumps->GetDirectArray().GetItemAt(1)), nullptr);
            EXPECT_EQ(static_cast<KFbxTexture**>(bumps->GetDirectArray().GetData())[0], texture[1]);
            EXPECT_EQ(mesh->GetMaterialCount(), 3);
            EXPECT_EQ(mesh->GetMaterial(0), material[0]);
            EXPECT_EQ(mesh->GetMaterial(1), nullptr);
            EXPECT_EQ(mesh->GetMaterial(2), material[2]);
            EXPECT_EQ(mesh->GetMaterialIndex("m1"), -1);
            EXPECT_EQ(mesh->GetMaterialIndex("m2"), 2);
            EXPECT_EQ(mesh->GetLayer(0)->GetMaterials()->GetIndexArray().GetAt(0), 1);
            EXPECT_EQ(mesh->GetTextureCount(), 1);
            EXPECT_EQ(mesh->GetTexture(0), nullptr);
            EXPECT_EQ(mesh->GetTextureIndex("t0"), -1);
            EXPECT_EQ(bumps->GetDirectArray().GetCount(), 2);
            EXPECT_EQ(bumps->GetDirectArray().GetAt(0), texture[1]);
            EXPECT_EQ(bumps->GetDirectArray().GetAt(1), nullptr);
            std::unique_ptr<KFbxLayerElement> copy(bumps->Clone());
            EXPECT_EQ(static_cast<KFbxLayerElementTexture&>(*copy).GetDirectArray().GetAt(1), nullptr);
            // The node is given what the layers still hold, and a new material comes after the gone one.
            KFbxLayerReconciliation::ConnectFromLayers(*mesh, KFbxLayerElement::eMATERIAL);
            KFbxLayerReconciliation::ConnectFromLayers(*mesh, KFbxLayerElement::eBUMP_TEXTURES);
            EXPECT_EQ(node->GetSrcObjectCount(KFbxSurfaceMaterial::ClassId), 2);
            EXPECT_EQ(node->GetSrcObjectCount(KFbxTexture::ClassId), 1);
            EXPECT_EQ(mesh->AddMaterial(next), 3);
            EXPECT_EQ(mesh->AddTexture(texture[1]), 1);
            delete manager;
        }
    }
}

// An entry that a call brings in past the count names no object, whatever
// the storage held there, and a pointer written through the raw storage is
// checked before a read gives it out.
TEST_F(KFbxLayerContainerTest, EntriesBroughtInOrWrittenRawNameOnlyLiveObjects) {
    using Array = KFbxLayerElementObjectArray<KFbxSurfaceMaterial>;
    const std::pair<const char*, std::function<void(Array&)>> leaves[] = {
        {"RemoveAll", [](Array& a) { a.RemoveAll(); }},
        {"Pop", [](Array& a) { a.Pop(); }},
        {"RemoveAt", [](Array& a) { a.RemoveAt(0); }},
        {"Resize", [](Array& a) { a.Resize(0); }},
    };
    const std::pair<const char*, std::function<void(Array&)>> grows[] = {
        {"SetCount", [](Array& a) { a.SetCount(1); }},
        {"SetCountForOverwrite", [](Array& a) { a.SetCountForOverwrite(1); }},
        {"Resize", [](Array& a) { a.Resize(1); }},
        {"Grow", [](Array& a) { a.Grow(1); }},
        {"TakeRoomAtEnd", [](Array& a) { a.TakeRoomAtEnd(); }},
        {"base SetCount", [](Array& a) { a.GetPointerArray().SetCount(1); }},
    };
    for (const bool destroyed : {false, true}) {
        for (const auto& [leave, doLeave] : leaves) {
            for (const auto& [grow, doGrow] : grows) {
                SCOPED_TRACE(std::string(leave) + ", " + grow + (destroyed ? ", destroyed" : ""));
                KFbxSurfaceMaterial* material = KFbxSurfaceMaterial::Create(mManager, "m");
                Array array;
                ASSERT_EQ(array.Add(material), 0);
                doLeave(array);
                if (destroyed) material->Destroy();
                doGrow(array);
                ASSERT_EQ(array.GetCount(), 1);
                EXPECT_EQ(array.GetAt(0), nullptr);
                EXPECT_EQ(array.GetArray()[0], nullptr);
                if (!destroyed) material->Destroy();
            }
        }
    }
    // Written raw after the destruction, and through the base array.
    KFbxSurfaceMaterial* gone = KFbxSurfaceMaterial::Create(mManager, "gone");
    KFbxSurfaceMaterial* kept = KFbxSurfaceMaterial::Create(mManager, "kept");
    gone->Destroy();
    Array array;
    ASSERT_EQ(array.Add(kept), 0);
    ASSERT_EQ(array.Add(kept), 1);
    array.GetArray()[0] = gone;
    EXPECT_EQ(array.GetAt(0), nullptr);
    static_cast<DynamicArrayOf<KFbxSurfaceMaterial*>&>(array).SetAt(1, gone);
    EXPECT_EQ(array.GetArray()[1], nullptr);
    array.GetArray()[1] = kept;
    EXPECT_EQ(*static_cast<KFbxSurfaceMaterial* const*>(array.GetItemAt(1)), kept);
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
