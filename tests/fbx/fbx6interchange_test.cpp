// What other programs need of our FBX 6 files and we of theirs: indexed
// normals that keep their index, media paths that name the file's own
// neighbourhood, and exports that leave the caller's names alone.
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include "ReaderTestSupport.h"
#include "RichScene.h"

#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::readertest {
namespace {

using richscene::AddNode;

// The normal each polygon vertex of the element's layer has, by the
// element's mapping and reference.
std::vector<KFbxVector4> PolygonVertexNormals(const KFbxMesh& mesh, const KFbxLayerElementNormal& element) {
    std::vector<KFbxVector4> normals;
    int polygonVertex = 0;
    for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
        for (int k = 0; k < mesh.GetPolygonSize(p); ++k, ++polygonVertex) {
            int item = element.GetMappingMode() == KFbxLayerElement::eBY_CONTROL_POINT ? mesh.GetPolygonVertex(p, k)
                                                                                       : polygonVertex;
            if (element.GetReferenceMode() != KFbxLayerElement::eDIRECT) {
                item = item < element.GetIndexArray().GetCount() ? element.GetIndexArray().GetAt(item) : -1;
            }
            normals.push_back(item >= 0 && item < element.GetDirectArray().GetCount()
                                  ? element.GetDirectArray().GetAt(item)
                                  : KFbxVector4(-9.0, -9.0, -9.0, 0.0));
        }
    }
    return normals;
}

class InterchangeTest : public ReaderTest, public ::testing::WithParamInterface<int> {};

TEST_P(InterchangeTest, IndexedNormalsKeepTheNormalOfEveryPolygonVertex) {
    KFbxScene* source = KFbxScene::Create(mManager, "source");
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    AddNode(mManager, source->GetRootNode(), "Cube", mesh);
    const int polygonVertices = mesh->GetPolygonVertexCount();
    auto* indexed = richscene::Fill(new KFbxLayerElementNormal(), "faceted", KFbxLayerElement::eBY_POLYGON_VERTEX,
                                    KFbxLayerElement::eINDEX_TO_DIRECT);
    for (const KFbxVector4& normal : {KFbxVector4(1, 0, 0, 0), KFbxVector4(0, 1, 0, 0), KFbxVector4(0, 0, -1, 0)}) {
        indexed->GetDirectArray().Add(normal);
    }
    for (int i = 0; i < polygonVertices; ++i) {
        indexed->GetIndexArray().Add((i * 7) % 3);
    }
    while (mesh->GetLayerCount() < 2) {
        mesh->CreateLayer();
    }
    mesh->GetLayer(0)->SetNormals(indexed);
    auto* direct = richscene::Fill(new KFbxLayerElementNormal(), "smooth", KFbxLayerElement::eBY_POLYGON_VERTEX,
                                   KFbxLayerElement::eDIRECT);
    for (int i = 0; i < polygonVertices; ++i) {
        direct->GetDirectArray().Add(KFbxVector4(0.5, -0.25 * i, 0.125, 0.0));
    }
    mesh->GetLayer(1)->SetNormals(direct);

    const std::string path = Path("normals.fbx");
    ASSERT_TRUE(Export(source, path, GetParam()));
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(path, read)) << mLastError;
    KFbxNode* cube = read->FindNodeByName(KString("Cube"));
    ASSERT_NE(cube, nullptr);
    auto* readMesh = dynamic_cast<KFbxMesh*>(cube->GetNodeAttribute());
    ASSERT_NE(readMesh, nullptr);
    ASSERT_EQ(readMesh->GetLayerCount(), 2);
    for (int layer = 0; layer < 2; ++layer) {
        const KFbxLayerElementNormal* written = mesh->GetLayer(layer)->GetNormals();
        const KFbxLayerElementNormal* back = readMesh->GetLayer(layer)->GetNormals();
        ASSERT_NE(back, nullptr) << layer;
        EXPECT_EQ(back->GetReferenceMode(), written->GetReferenceMode()) << layer;
        const std::vector<KFbxVector4> expected = PolygonVertexNormals(*mesh, *written);
        const std::vector<KFbxVector4> actual = PolygonVertexNormals(*readMesh, *back);
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_TRUE(actual[i] == expected[i]) << "layer " << layer << ", polygon vertex " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, InterchangeTest, ::testing::ValuesIn(kFbx6WriterFormats), WriterFormatName);

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
