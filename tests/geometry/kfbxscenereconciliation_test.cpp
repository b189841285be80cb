// The scene's reconciliation of layers with connections, and the
// preparations writers run on its geometry.
#include "geometry/GeometryTestSupport.h"
#include "geometry/RegisterTestClasses.h"

#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxNurbsCurve.h>
#include <fbxfilesdk/geometry/KFbxNurbsSurface.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

class KFbxSceneReconciliationTest : public geometrytest::GeometryTest {
protected:
    void SetUp() override {
        GeometryTest::SetUp();
        geometrytest::RegisterMaterialClasses(mManager);
        mScene = KFbxScene::Create(mManager, "");
        ASSERT_NE(mScene, nullptr);
    }

    // A node under the root carrying the attribute.
    KFbxNode* Carry(KFbxNodeAttribute* attribute, const char* name = "node") {
        KFbxNode* node = MakeNode(name, mScene->GetRootNode());
        EXPECT_NE(node, nullptr);
        node->SetNodeAttribute(attribute);
        return node;
    }

    KFbxSurfaceMaterial* Material(KFbxNode* node, const char* name) {
        KFbxSurfaceMaterial* material = KFbxSurfaceMaterial::Create(mManager, name);
        EXPECT_NE(material, nullptr);
        EXPECT_TRUE(node->ConnectSrc(material));
        return material;
    }

    static KFbxLayerElementMaterial* MaterialElement(KFbxMesh* mesh, KFbxLayerElement::EReferenceMode mode) {
        auto* element = new KFbxLayerElementMaterial();
        element->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
        element->SetReferenceMode(mode);
        mesh->GetLayer(mesh->CreateLayer())->SetMaterials(element);
        return element;
    }

    KFbxScene* mScene = nullptr;
};

std::vector<int> Indices(const KFbxLayerElement* element) {
    std::vector<int> indices;
    for (int index = 0; index < element->GetIndexArray().GetCount(); ++index) {
        indices.push_back(element->GetIndexArray().GetAt(index));
    }
    return indices;
}

TEST_F(KFbxSceneReconciliationTest, NurbsSurfaceNodesCarryNurbsAfterwards) {
    KFbxNurbsSurface* surface = KFbxNurbsSurface::Create(mManager, "surface");
    ASSERT_TRUE(surface->InitControlPoints(4, KFbxNurbsSurface::eOPEN, 4, KFbxNurbsSurface::eOPEN));
    KFbxNode* node = Carry(surface);
    KFbxNode* meshNode = Carry(MakeMesh(), "other");
    KFbxNodeAttribute* mesh = meshNode->GetNodeAttribute();
    mScene->ConvertNurbsSurfaceNodes();
    auto* nurb = dynamic_cast<KFbxNurb*>(node->GetNodeAttribute());
    ASSERT_NE(nurb, nullptr);
    EXPECT_EQ(nurb->GetControlPointsCount(), 16);
    EXPECT_EQ(meshNode->GetNodeAttribute(), mesh);
    std::vector<KFbxNode*> left;
    mScene->FillNodeArrayByAttributeType(left, KFbxNodeAttribute::eNURBS_SURFACE, false);
    EXPECT_TRUE(left.empty());
    // The surface is gone from the scene's geometries, the NURB is in.
    bool nurbListed = false;
    for (int index = 0; index < mScene->GetGeometryCount(); ++index) {
        EXPECT_NE(mScene->GetGeometry(index)->GetAttributeType(), KFbxNodeAttribute::eNURBS_SURFACE);
        nurbListed = nurbListed || mScene->GetGeometry(index) == nurb;
    }
    EXPECT_TRUE(nurbListed);
}

TEST_F(KFbxSceneReconciliationTest, OnlyPolygonVertexNormalsAreRecomputed) {
    KFbxMesh* flat = MakeMesh({{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}});
    flat->BeginPolygon();
    for (int point : {0, 1, 2}) flat->AddPolygonVertex(point);
    flat->InitNormals(3 + 1);  // not the point count: by polygon vertex
    ASSERT_EQ(flat->GetNormalsMappingMode(), KFbxLayerElement::eBY_POLYGON_VERTEX);
    KFbxMesh* kept = MakeMesh({{0, 0, 0, 1}});
    kept->InitNormals(0);
    kept->GetNormals()[0] = KFbxVector4(7, 7, 7, 0);
    Carry(flat, "flat");
    Carry(kept, "kept");

    mScene->ComputeMeshNormals();
    EXPECT_EQ(flat->GetNormalsMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    EXPECT_NEAR(flat->GetNormals()[1][2], 1.0, 1e-9);
    EXPECT_EQ(kept->GetNormals()[0][0], 7.0);
}

TEST_F(KFbxSceneReconciliationTest, NurbsCurveNodesLoseTheirAttributes) {
    KFbxNode* curveNode = Carry(KFbxNurbsCurve::Create(mManager, "curve"), "curve");
    KFbxMesh* mesh = MakeMesh();
    KFbxNode* meshNode = Carry(mesh, "mesh");
    mScene->RemoveNurbsCurveAttributes();
    EXPECT_EQ(curveNode->GetNodeAttribute(), nullptr);
    EXPECT_EQ(curveNode->GetNodeAttributeCount(), 0);
    EXPECT_EQ(meshNode->GetNodeAttribute(), mesh);
}

TEST_F(KFbxSceneReconciliationTest, MaterialLayersAreFilledFromTheNodesMaterials) {
    KFbxMesh* mesh = MakeMesh();
    KFbxNode* node = Carry(mesh);
    KFbxSurfaceMaterial* first = Material(node, "first");
    KFbxSurfaceMaterial* second = Material(node, "second");
    KFbxLayerElementMaterial* indexed = MaterialElement(mesh, KFbxLayerElement::eINDEX);
    for (int index : {1, 0, 5, 1}) indexed->GetIndexArray().Add(index);
    KFbxLayerElementMaterial* direct = MaterialElement(mesh, KFbxLayerElement::eDIRECT);
    direct->GetDirectArray().Add(second);

    mScene->FillMaterialLayersFromConnections();
    EXPECT_EQ(indexed->GetReferenceMode(), KFbxLayerElement::eINDEX_TO_DIRECT);
    ASSERT_EQ(indexed->GetDirectArray().GetCount(), 2);
    EXPECT_EQ(indexed->GetDirectArray().GetAt(0), second);
    EXPECT_EQ(indexed->GetDirectArray().GetAt(1), first);
    // A node without a sixth material gives -1.
    EXPECT_EQ(Indices(indexed), (std::vector<int>{0, 1, -1, 0}));
    // A direct element gains what it lacks, up to the node's count.
    ASSERT_EQ(direct->GetDirectArray().GetCount(), 2);
    EXPECT_EQ(direct->GetDirectArray().GetAt(1), second);
}

TEST_F(KFbxSceneReconciliationTest, DirectTexturesAreFilledOnTheDiffuseChannelOnly) {
    KFbxMesh* mesh = MakeMesh();
    KFbxNode* node = Carry(mesh);
    KFbxTexture* texture = KFbxTexture::Create(mManager, "texture");
    ASSERT_TRUE(node->ConnectSrc(texture));
    KFbxLayer* layer = mesh->GetLayer(mesh->CreateLayer());
    for (int channel : {KFbxLayerElement::eDIFFUSE_TEXTURES, KFbxLayerElement::eBUMP_TEXTURES}) {
        auto* element = new KFbxLayerElementTexture();
        element->SetReferenceMode(KFbxLayerElement::eDIRECT);
        ASSERT_TRUE(layer->SetTexturesOfChannel(element, channel));
    }
    mScene->FillTextureLayersFromConnections();
    EXPECT_EQ(layer->GetTexturesOfChannel(KFbxLayerElement::eDIFFUSE_TEXTURES)->GetDirectArray().GetCount(), 1);
    EXPECT_EQ(layer->GetTexturesOfChannel(KFbxLayerElement::eBUMP_TEXTURES)->GetDirectArray().GetCount(), 0);
}

TEST_F(KFbxSceneReconciliationTest, LayersConnectTheirMaterialsToTheNode) {
    KFbxMesh* mesh = MakeMesh();
    KFbxNode* node = Carry(mesh);
    KFbxSurfaceMaterial* first = KFbxSurfaceMaterial::Create(mManager, "first");
    KFbxSurfaceMaterial* second = KFbxSurfaceMaterial::Create(mManager, "second");
    KFbxLayerElementMaterial* direct = MaterialElement(mesh, KFbxLayerElement::eDIRECT);
    direct->GetDirectArray().Add(first);
    direct->GetDirectArray().Add(second);
    direct->GetIndexArray().Add(9);
    KFbxLayerElementMaterial* indexed = MaterialElement(mesh, KFbxLayerElement::eINDEX_TO_DIRECT);
    indexed->GetDirectArray().Add(second);
    for (int index : {0, 1, 2}) indexed->GetIndexArray().Add(index);

    mScene->ConnectMaterialsFromLayers();
    EXPECT_EQ(direct->GetReferenceMode(), KFbxLayerElement::eINDEX_TO_DIRECT);
    EXPECT_EQ(Indices(direct), (std::vector<int>{0, 1}));
    EXPECT_EQ(Indices(indexed), (std::vector<int>{0, -1, -1}));
    EXPECT_TRUE(node->IsConnectedSrc(first));
    EXPECT_TRUE(node->IsConnectedSrc(second));
    EXPECT_EQ(node->GetSrcObjectCount(KFbxSurfaceMaterial::ClassId), 2);
    // And back: the node's materials fill the layers as they were.
    mScene->FillMaterialLayersFromConnections();
    EXPECT_EQ(Indices(direct), (std::vector<int>{0, 1}));
}

TEST_F(KFbxSceneReconciliationTest, GeometryWithoutNodeIsLeftAlone) {
    KFbxMesh* mesh = MakeMesh();
    ASSERT_TRUE(mScene->ConnectObject(mesh));
    KFbxLayerElementMaterial* indexed = MaterialElement(mesh, KFbxLayerElement::eINDEX);
    indexed->GetIndexArray().Add(0);
    mScene->FillMaterialLayersFromConnections();
    mScene->ConnectMaterialsFromLayers();
    mScene->FillTextureLayerOfChannelFromConnections(nullptr, 3);
    mScene->ConnectTexturesOfChannelFromLayers(mesh, 3);
    EXPECT_EQ(indexed->GetReferenceMode(), KFbxLayerElement::eINDEX);
    EXPECT_EQ(Indices(indexed), (std::vector<int>{0}));
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
