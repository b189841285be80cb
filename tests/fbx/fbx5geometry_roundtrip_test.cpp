// What the FBX 5 reader makes of geometry the full scene does not show: a
// NURB and a patch, texture layers above the first with their UVs, vertex
// colours, materials and textures shared by two models.
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include "ReaderTestSupport.h"
#include "RichScene.h"

namespace fbxsdk_2006_11_1::readertest {
namespace {

template <class T>
T* AttributeOf(KFbxScene& scene, const char* nodeName) {
    KFbxNode* node = scene.FindNodeByName(KString(nodeName));
    return node != nullptr ? dynamic_cast<T*>(node->GetNodeAttribute()) : nullptr;
}

void ExpectSamePoints(const KFbxGeometryBase& a, const KFbxGeometryBase& b) {
    ASSERT_EQ(a.GetControlPointsCount(), b.GetControlPointsCount());
    for (int i = 0; i < a.GetControlPointsCount(); ++i) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_DOUBLE_EQ(a.GetControlPoints()[i][c], b.GetControlPoints()[i][c]) << i;
        }
    }
}

template <class Element>
Element* Made(KFbxLayerElement::EMappingMode mapping, KFbxLayerElement::EReferenceMode reference) {
    auto* element = new Element();
    element->SetMappingMode(mapping);
    element->SetReferenceMode(reference);
    return element;
}

class Fbx5GeometryRoundTrip : public ReaderTest, public ::testing::WithParamInterface<int> {
protected:
    KFbxScene* BuildScene() {
        KFbxScene* scene = KFbxScene::Create(mManager, "geometry");
        KFbxNode* root = scene->GetRootNode();

        KFbxNurb* nurb = KFbxNurb::Create(mManager, "");
        nurb->InitControlPoints(3, KFbxNurb::eOPEN, 4, KFbxNurb::eOPEN);
        nurb->SetOrder(3, 4);
        for (int i = 0; i < nurb->GetControlPointsCount(); ++i) {
            nurb->GetControlPoints()[i] = KFbxVector4(i, 0.5 * i, -i, 1.0);
        }
        for (int k = 0; k < nurb->GetUKnotCount(); ++k) nurb->GetUKnotVector()[k] = k;
        for (int k = 0; k < nurb->GetVKnotCount(); ++k) nurb->GetVKnotVector()[k] = 2.0 * k;
        richscene::AddNode(mManager, root, "Sail", nurb);

        KFbxPatch* patch = KFbxPatch::Create(mManager, "");
        patch->InitControlPoints(3, KFbxPatch::eBSPLINE, 2, KFbxPatch::eLINEAR);
        patch->SetStep(2, 9);
        for (int i = 0; i < 6; ++i) {
            patch->GetControlPoints()[i] = KFbxVector4(i, 1.0, -i, 0.0);
        }
        richscene::AddNode(mManager, root, "Lid", patch);

        // Two models share one material and one texture; the second has a
        // texture layer of its own above the first.
        KFbxSurfaceLambert* clay = KFbxSurfaceLambert::Create(mManager, "Clay");
        KFbxTexture* sand = KFbxTexture::Create(mManager, "Sand");
        sand->SetFileName("sand.tga");
        KFbxTexture* rock = KFbxTexture::Create(mManager, "Rock");
        rock->SetFileName("rock.tga");
        for (const char* name : {"First", "Second"}) {
            KFbxMesh* mesh = richscene::MakeMesh(mManager);
            KFbxNode* node = richscene::AddNode(mManager, root, name, mesh);
            node->ConnectSrc(clay);
            node->ConnectSrc(sand);
            KFbxLayer* layer = mesh->GetLayer(mesh->GetLayerCount() > 0 ? 0 : mesh->CreateLayer());
            auto* materials = Made<KFbxLayerElementMaterial>(KFbxLayerElement::eALL_SAME,
                                                             KFbxLayerElement::eINDEX_TO_DIRECT);
            materials->GetDirectArray().Add(clay);
            materials->GetIndexArray().Add(0);
            layer->SetMaterials(materials);
            auto* textures =
                Made<KFbxLayerElementTexture>(KFbxLayerElement::eALL_SAME, KFbxLayerElement::eINDEX_TO_DIRECT);
            textures->GetDirectArray().Add(sand);
            textures->GetIndexArray().Add(0);
            layer->SetTextures(textures);
            auto* colors = Made<KFbxLayerElementVertexColor>(KFbxLayerElement::eBY_CONTROL_POINT,
                                                             KFbxLayerElement::eDIRECT);
            for (int i = 0; i < mesh->GetControlPointsCount(); ++i) {
                colors->GetDirectArray().Add(KFbxColor(0.125 * i, 0.5, 1.0 - 0.125 * i, 0.75));
            }
            layer->SetVertexColors(colors);
            if (std::string(name) == "Second") {
                node->ConnectSrc(rock);
                KFbxLayer* upper = mesh->GetLayer(mesh->CreateLayer());
                auto* more =
                    Made<KFbxLayerElementTexture>(KFbxLayerElement::eBY_POLYGON, KFbxLayerElement::eINDEX_TO_DIRECT);
                more->GetDirectArray().Add(rock);
                more->GetDirectArray().Add(sand);
                for (int p = 0; p < mesh->GetPolygonCount(); ++p) {
                    more->GetIndexArray().Add(p % 2);
                }
                more->SetBlendMode(KFbxLayerElementTexture::eADDITIVE);
                upper->SetTextures(more);
                auto* uvs = Made<KFbxLayerElementUV>(KFbxLayerElement::eBY_CONTROL_POINT, KFbxLayerElement::eDIRECT);
                for (int i = 0; i < mesh->GetControlPointsCount(); ++i) {
                    uvs->GetDirectArray().Add(KFbxVector2(0.25 * i, 1.0 - 0.25 * i));
                }
                upper->SetUVs(uvs);
            }
        }
        return scene;
    }
};

TEST_P(Fbx5GeometryRoundTrip, SurfacesComeBack) {
    KFbxScene* source = BuildScene();
    ASSERT_TRUE(Export(source, Path("geometry.fbx"), GetParam()));
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(Path("geometry.fbx"), read)) << mLastError;

    KFbxNurb* nurb = AttributeOf<KFbxNurb>(*source, "Sail");
    KFbxNurb* readNurb = AttributeOf<KFbxNurb>(*read, "Sail");
    ASSERT_NE(readNurb, nullptr);
    EXPECT_EQ(readNurb->GetUCount(), nurb->GetUCount());
    EXPECT_EQ(readNurb->GetVCount(), nurb->GetVCount());
    EXPECT_EQ(readNurb->GetUOrder(), nurb->GetUOrder());
    EXPECT_EQ(readNurb->GetVOrder(), nurb->GetVOrder());
    ExpectSamePoints(*nurb, *readNurb);
    KFbxPatch* readPatch = AttributeOf<KFbxPatch>(*read, "Lid");
    ASSERT_NE(readPatch, nullptr);
    EXPECT_EQ(readPatch->GetUCount(), 3);
    EXPECT_EQ(readPatch->GetVCount(), 2);
    EXPECT_EQ(readPatch->GetPatchUType(), KFbxPatch::eBSPLINE);
    ExpectSamePoints(*AttributeOf<KFbxPatch>(*source, "Lid"), *readPatch);
}

TEST_P(Fbx5GeometryRoundTrip, LayersMaterialsAndTexturesComeBack) {
    KFbxScene* source = BuildScene();
    ASSERT_TRUE(Export(source, Path("geometry.fbx"), GetParam()));
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(Path("geometry.fbx"), read)) << mLastError;

    // Shared by name: one material and one sand texture for both models.
    EXPECT_EQ(read->GetMaterialCount(), 1);
    EXPECT_EQ(read->GetTextureCount(), 2);
    KFbxMesh* first = AttributeOf<KFbxMesh>(*read, "First");
    KFbxMesh* second = AttributeOf<KFbxMesh>(*read, "Second");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->GetMaterial(0, 0), second->GetMaterial(0, 0));
    EXPECT_STREQ(second->GetNode()->GetSrcObject(KFbxTexture::ClassId, 1)->GetName(), "Rock");

    // The colours of the first layer.
    const KFbxLayerElementVertexColor* colors = first->GetLayer(0)->GetVertexColors();
    ASSERT_NE(colors, nullptr);
    EXPECT_EQ(colors->GetMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    ASSERT_EQ(colors->GetDirectArray().GetCount(), 8);
    EXPECT_EQ(colors->GetDirectArray().GetAt(3).mRed, 0.375);
    EXPECT_EQ(colors->GetDirectArray().GetAt(3).mAlpha, 0.75);

    // The second texture layer: its textures by polygon, its blend mode and
    // its UVs by control point.
    ASSERT_EQ(second->GetLayerCount(), 2);
    const KFbxLayerElementTexture* upper = second->GetLayer(1)->GetTextures();
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(upper->GetMappingMode(), KFbxLayerElement::eBY_POLYGON);
    EXPECT_EQ(upper->GetBlendMode(), KFbxLayerElementTexture::eADDITIVE);
    ASSERT_EQ(upper->GetIndexArray().GetCount(), second->GetPolygonCount());
    for (int p = 0; p < second->GetPolygonCount(); ++p) {
        const KFbxTexture* texture = upper->GetDirectArray().GetAt(upper->GetIndexArray().GetAt(p));
        ASSERT_NE(texture, nullptr);
        EXPECT_STREQ(texture->GetName(), p % 2 == 0 ? "Rock" : "Sand") << p;
    }
    const KFbxLayerElementUV* uvs = second->GetLayer(1)->GetUVs();
    ASSERT_NE(uvs, nullptr);
    EXPECT_EQ(uvs->GetMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    ASSERT_EQ(uvs->GetDirectArray().GetCount(), 8);
    EXPECT_EQ(uvs->GetDirectArray().GetAt(2)[0], 0.5);
    const KFbxLayerElementTexture* lower = second->GetLayer(0)->GetTextures();
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(lower->GetMappingMode(), KFbxLayerElement::eALL_SAME);
    EXPECT_STREQ(lower->GetDirectArray().GetAt(lower->GetIndexArray().GetAt(0))->GetName(), "Sand");
}

INSTANTIATE_TEST_SUITE_P(Modes, Fbx5GeometryRoundTrip, ::testing::ValuesIn(kFbx5WriterFormats), Fbx5FormatName);

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
