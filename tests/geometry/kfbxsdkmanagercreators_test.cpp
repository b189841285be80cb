#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxLayerElementUserData.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>

#include <gtest/gtest.h>

#include <memory>

using namespace fbxsdk_2006_11_1;

namespace {

struct ManagerDeleter {
    void operator()(KFbxSdkManager* manager) const { delete manager; }
};
using ManagerPtr = std::unique_ptr<KFbxSdkManager, ManagerDeleter>;

// Every element is named, and the texture kind starts index-to-direct. The
// ownership cases only show as double frees or leaks under the sanitizers.
TEST(KFbxSdkManagerCreators, LayerElementsAreNamedAndOwnedByExactlyOneHolder) {
    ManagerPtr manager(CreateSdkManager());
    ASSERT_NE(manager, nullptr);

    KFbxLayerElementNormal* taken = manager->CreateLayerElementNormal("normals");
    ASSERT_NE(taken, nullptr);
    EXPECT_STREQ(taken->GetName(), "normals");
    EXPECT_EQ(taken->GetMappingMode(), KFbxLayerElement::eNONE);
    EXPECT_EQ(taken->GetReferenceMode(), KFbxLayerElement::eDIRECT);

    KFbxLayerElementTexture* texture = manager->CreateLayerElementTexture("diffuse");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetReferenceMode(), KFbxLayerElement::eINDEX_TO_DIRECT);
    EXPECT_DOUBLE_EQ(texture->GetAlpha(), 1.0);

    // Taken by a mesh's layer: the mesh frees it, the manager only lets go.
    KFbxMesh* mesh = KFbxMesh::Create(manager.get(), "mesh");
    ASSERT_NE(mesh, nullptr);
    KFbxLayer* layer = mesh->GetLayer(mesh->CreateLayer());
    ASSERT_NE(layer, nullptr);
    layer->SetNormals(taken);
    EXPECT_TRUE(taken->IsHeldByLayer());

    // Deleted by its maker before the manager ends: the pool forgets it.
    delete manager->CreateLayerElementUV("gone");
    // Never taken: the manager frees these.
    EXPECT_NE(manager->CreateLayerElementMaterial("m"), nullptr);
    EXPECT_NE(manager->CreateLayerElementPolygonGroup("g"), nullptr);
    EXPECT_NE(manager->CreateLayerElementColor("c"), nullptr);
    EXPECT_NE(manager->CreateLayerElementSmoothing("s"), nullptr);
    EXPECT_NE(manager->CreateLayerElementVisibility("v"), nullptr);
    EXPECT_NE(texture, nullptr);
    manager->DestroyAllLayerElements();
    // The pools are empty now: a second pass frees nothing twice.
    manager->DestroyAllLayerElements();
    EXPECT_STREQ(layer->GetNormals()->GetName(), "normals");
}

TEST(KFbxSdkManagerCreators, ElementTakenByAStandaloneLayerOutlivesTheManager) {
    auto layer = std::make_unique<KFbxLayer>();
    {
        ManagerPtr manager(CreateSdkManager());
        ASSERT_NE(manager, nullptr);
        KFbxLayerElementSmoothing* smoothing = manager->CreateLayerElementSmoothing("edges");
        ASSERT_NE(smoothing, nullptr);
        layer->SetSmoothing(smoothing);
    }
    // The element no longer points into the dead manager's pool.
    ASSERT_NE(layer->GetSmoothing(), nullptr);
    EXPECT_STREQ(layer->GetSmoothing()->GetName(), "edges");
    layer.reset();
}

TEST(KFbxSdkManagerCreators, UserDataElementsAndTheirCopies) {
    ManagerPtr manager(CreateSdkManager());
    ASSERT_NE(manager, nullptr);
    const KFbxDataType types[] = {gKFbxDataTypeInteger, gKFbxDataTypeNumber};
    const char* const names[] = {"id", "weight"};
    KFbxLayerElementUserData* data = manager->CreateLayerElementUserData("user", 7, types, names, 2);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->GetId(), 7);
    EXPECT_EQ(data->GetDirectArrayCount(), 2);
    KFbxLayerElementUserData* copy = manager->CreateLayerElementUserDataCopy(*data);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetId(), 7);
    EXPECT_STREQ(copy->GetDataName(1), "weight");
}

TEST(KFbxSdkManagerCreators, ConstraintsByKindAndTheCameraSwitcher) {
    ManagerPtr manager(CreateSdkManager());
    ASSERT_NE(manager, nullptr);
    for (int kind = KFbxConstraint::ePOSITION; kind <= KFbxConstraint::eAIM; ++kind) {
        KFbxConstraint* constraint = manager->CreateConstraint("c", kind);
        ASSERT_NE(constraint, nullptr) << kind;
        EXPECT_EQ(constraint->GetConstraintType(), kind);
    }
    EXPECT_EQ(manager->CreateConstraint("none", KFbxConstraint::eUNIDENTIFIED), nullptr);
    EXPECT_EQ(manager->CreateConstraint("character", KFbxConstraint::eCHARACTER_CONSTRAINT), nullptr);
    EXPECT_EQ(manager->CreateConstraint("bad", -1), nullptr);

    KFbxCameraSwitcher* switcher = manager->CreateCameraSwitcher();
    ASSERT_NE(switcher, nullptr);
    EXPECT_STREQ(switcher->GetName(), "");
}

}  // namespace
