// Mesh arrays, layer elements and "Layer" blocks as the FBX 6 writer stores them.
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxLayerElementUserData.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include "Fbx6WriterSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::fbx6test {
namespace {

class Fbx6GeometryTest : public Fbx6WriterTest {
protected:
    // A triangle and a quad over five points: 0 1 2 and 2 1 3 4.
    KFbxMesh* MakeMesh() {
        KFbxMesh* mesh = KFbxMesh::Create(mManager, "Shape");
        mesh->InitControlPoints(5);
        const double points[5][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}};
        for (int i = 0; i < 5; ++i) {
            mesh->GetControlPoints()[i] = KFbxVector4(points[i][0], points[i][1], points[i][2], 0);
        }
        mesh->BeginPolygon();
        for (int v : {0, 1, 2}) mesh->AddPolygonVertex(v);
        mesh->EndPolygon();
        mesh->BeginPolygon();
        for (int v : {2, 1, 3, 4}) mesh->AddPolygonVertex(v);
        mesh->EndPolygon();
        return mesh;
    }

    // The ints of a top-level field of the file last written.
    std::vector<int> ReadInts(const char* name) {
        KFbx file;
        std::vector<int> values;
        if (!Open(file) || !file.FieldReadBegin(name)) return values;
        while (file.FieldGetRemainingValueCount() > 0) values.push_back(file.FieldReadI());
        file.FieldReadEnd();
        return values;
    }
};

TEST_F(Fbx6GeometryTest, WordTablesNameEveryModeAndFallBackOutsideThem) {
    EXPECT_STREQ(KFbxWriterFbx6::GetMappingName(0), "NoMappingInformation");
    EXPECT_STREQ(KFbxWriterFbx6::GetMappingName(1), "ByVertice");
    EXPECT_STREQ(KFbxWriterFbx6::GetMappingName(2), "ByPolygonVertex");
    EXPECT_STREQ(KFbxWriterFbx6::GetMappingName(3), "ByPolygon");
    EXPECT_STREQ(KFbxWriterFbx6::GetMappingName(4), "ByEdge");
    EXPECT_STREQ(KFbxWriterFbx6::GetMappingName(5), "AllSame");
    EXPECT_STREQ(KFbxWriterFbx6::GetMappingName(9), "NoMappingInformation");
    EXPECT_STREQ(KFbxWriterFbx6::GetReferenceName(2), "IndexToDirect");
    EXPECT_STREQ(KFbxWriterFbx6::GetReferenceName(7), "Direct");
    EXPECT_STREQ(KFbxWriterFbx6::GetBlendModeName(1), "Add");
    EXPECT_STREQ(KFbxWriterFbx6::GetBlendModeName(4), "MaxBlend");
    EXPECT_STREQ(KFbxWriterFbx6::GetBlendModeName(-1), "Translucent");
}

TEST_F(Fbx6GeometryTest, LastIndexOfEachPolygonIsComplemented) {
    KFbxMesh* mesh = MakeMesh();
    Write([&](KFbxWriterFbx6&) { KFbxWriterFbx6::WritePolygonVertexIndex(File(), *mesh); });
    EXPECT_EQ(ReadInts("PolygonVertexIndex"), (std::vector<int>{0, 1, -3, 2, 1, 3, -5}));
}

TEST_F(Fbx6GeometryTest, EmptyPolygonsMarkNoVertex) {
    KFbxMesh* mesh = KFbxMesh::Create(mManager, "mesh");
    mesh->InitControlPoints(3);
    mesh->BeginPolygon();
    mesh->BeginPolygon();
    for (int v : {0, 1, 2}) mesh->AddPolygonVertex(v);
    mesh->BeginPolygon();
    Write([&](KFbxWriterFbx6&) { KFbxWriterFbx6::WritePolygonVertexIndex(File(), *mesh); });
    EXPECT_EQ(ReadInts("PolygonVertexIndex"), (std::vector<int>{0, 1, -3}));
}

TEST_F(Fbx6GeometryTest, MeshWithoutPointsWritesNothingAndMissingArraysHaveNoField) {
    KFbxMesh* empty = KFbxMesh::Create(mManager, "empty");
    EXPECT_EQ(WriteRecords([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteMesh(*empty)); }), "");

    KFbxMesh* points = KFbxMesh::Create(mManager, "points");
    points->InitControlPoints(1);
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteMesh(*points); });
    EXPECT_NE(text.find("Vertices:"), std::string::npos);
    EXPECT_NE(text.find("GeometryVersion: 124"), std::string::npos);
    EXPECT_EQ(text.find("PolygonVertexIndex"), std::string::npos);
    EXPECT_EQ(text.find("Edges"), std::string::npos);
}

TEST_F(Fbx6GeometryTest, VerticesGoThroughThePivot) {
    KFbxMesh* mesh = MakeMesh();
    KgeMatrix pivot;
    pivot.SetTRS(KFbxVector4(10, 20, 30, 0), KFbxVector4(0, 0, 90, 0), KFbxVector4(2, 2, 2, 0));
    mesh->SetPivot(pivot);
    Write([&](KFbxWriterFbx6&) { KFbxWriterFbx6::WriteVertices(File(), *mesh); });
    KFbx file;
    ASSERT_TRUE(Open(file));
    ASSERT_TRUE(file.FieldReadBegin("Vertices"));
    ASSERT_EQ(file.FieldGetRemainingValueCount(), 15);
    // Point 1 (1, 0, 0): scaled by 2, a quarter turn about z, then moved.
    for (int i = 0; i < 3; ++i) file.FieldReadD();
    EXPECT_NEAR(file.FieldReadD(), 10.0, 1e-9);
    EXPECT_NEAR(file.FieldReadD(), 22.0, 1e-9);
    EXPECT_NEAR(file.FieldReadD(), 30.0, 1e-9);
}

// Every element kind over three layers, of which the middle one is empty:
// the golden record shows the typed indices, the skipped elements and the
// "Layer" numbering.
TEST_F(Fbx6GeometryTest, MeshRecordGolden) {
    KFbxMesh* mesh = MakeMesh();
    mesh->BuildMeshEdgeArray();
    KFbxNode* node = KFbxNode::Create(mManager, "Box");
    node->SetNodeAttribute(mesh);
    KFbxSurfaceLambert* red = KFbxSurfaceLambert::Create(mManager, "Red");
    KFbxSurfaceLambert* blue = KFbxSurfaceLambert::Create(mManager, "Blue");
    KFbxTexture* wood = KFbxTexture::Create(mManager, "Wood");
    // The node lists blue first, so the element's index 1 (blue) is written as 0.
    node->ConnectSrc(blue);
    node->ConnectSrc(red);
    node->ConnectSrc(wood);

    // Layer 0: normals, materials, diffuse textures and UVs, and colours by
    // index, which are not stored.
    mesh->InitNormals(0);
    for (int i = 0; i < 5; ++i) mesh->GetNormals()[i] = KFbxVector4(0, 0, 1, 0);
    KFbxLayer* layer0 = mesh->GetLayer(0);
    auto* materials = new KFbxLayerElementMaterial("materials");
    materials->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    materials->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    materials->GetDirectArray().Add(red);
    materials->GetDirectArray().Add(blue);
    materials->GetIndexArray().Add(1);
    materials->GetIndexArray().Add(-1);
    layer0->SetMaterials(materials);
    auto* textures = new KFbxLayerElementTexture("diffuse");
    textures->SetMappingMode(KFbxLayerElement::eALL_SAME);
    textures->SetBlendMode(KFbxLayerElementTexture::eADDITIVE);
    textures->SetAlpha(0.5);
    textures->GetDirectArray().Add(wood);
    textures->GetIndexArray().Add(0);
    layer0->SetTextures(textures);
    auto* uvs = new KFbxLayerElementUV("map1");
    uvs->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
    uvs->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    uvs->GetDirectArray().Add(KFbxVector2(0, 0));
    uvs->GetDirectArray().Add(KFbxVector2(1, 0.5));
    for (int i : {0, 1, 0, 1, 1, 0, 0}) uvs->GetIndexArray().Add(i);
    layer0->SetUVs(uvs);
    auto* colors = new KFbxLayerElementVertexColor("colors");
    colors->SetReferenceMode(KFbxLayerElement::eINDEX);
    layer0->SetVertexColors(colors);

    // Layer 1 holds nothing; layer 2 holds user data, emissive UVs by index
    // (not stored), polygon groups, colours, smoothing by edge and visibility.
    mesh->CreateLayer();
    mesh->CreateLayer();
    KFbxLayer* layer2 = mesh->GetLayer(2);
    const KFbxDataType types[2] = {gKFbxDataTypeFloat, gKFbxDataTypeBool};
    const char* names[2] = {"weight", "flag"};
    auto* userData = new KFbxLayerElementUserData("extra", 7, types, names, 2);
    userData->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    userData->GetDirectArrayVoid(0)->Grow(2);
    userData->GetDirectArrayVoid(1)->Grow(2);
    static_cast<float*>(userData->GetDirectArrayVoid(0)->GetData())[1] = 0.25f;
    static_cast<bool*>(userData->GetDirectArrayVoid(1)->GetData())[0] = true;
    layer2->SetUserData(userData);
    auto* emissiveUVs = new KFbxLayerElementUV("glow");
    emissiveUVs->SetReferenceMode(KFbxLayerElement::eINDEX);
    layer2->SetUVs(emissiveUVs, KFbxLayerElement::eEMISSIVE_TEXTURES);
    auto* groups = new KFbxLayerElementPolygonGroup("groups");
    groups->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    groups->SetReferenceMode(KFbxLayerElement::eINDEX);
    groups->GetIndexArray().Add(0);
    groups->GetIndexArray().Add(1);
    layer2->SetPolygonGroups(groups);
    auto* colors2 = new KFbxLayerElementVertexColor("tint");
    colors2->SetMappingMode(KFbxLayerElement::eALL_SAME);
    colors2->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    KFbxColor tint;
    tint.mRed = 0.5;
    tint.mGreen = 0.25;
    tint.mBlue = 1;
    tint.mAlpha = 1;
    colors2->GetDirectArray().Add(tint);
    colors2->GetIndexArray().Add(0);
    layer2->SetVertexColors(colors2);
    auto* smoothing = new KFbxLayerElementSmoothing("smooth");
    smoothing->SetMappingMode(KFbxLayerElement::eBY_EDGE);
    for (int i = 0; i < mesh->GetMeshEdgeCount(); ++i) smoothing->GetDirectArray().Add(i % 2 == 0);
    layer2->SetSmoothing(smoothing);
    auto* visibility = new KFbxLayerElementVisibility("shown");
    visibility->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    visibility->GetDirectArray().Add(true);
    visibility->GetDirectArray().Add(false);
    layer2->SetVisibility(visibility);

    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteMesh(*mesh); });
    ExpectGolden(text, "fbx6_mesh");
}

TEST_F(Fbx6GeometryTest, TypedIndicesCountPerChannelForUVsAndKeepGapsElsewhere) {
    KFbxMesh* mesh = MakeMesh();
    mesh->CreateLayer();
    mesh->CreateLayer();
    // Two channel-10 UV elements, the first by index: the second is the
    // channel's first record.
    auto* skipped = new KFbxLayerElementUV("skipped");
    skipped->SetReferenceMode(KFbxLayerElement::eINDEX);
    mesh->GetLayer(0)->SetUVs(skipped, KFbxLayerElement::eEMISSIVE_TEXTURES);
    mesh->GetLayer(1)->SetUVs(new KFbxLayerElementUV("kept"), KFbxLayerElement::eEMISSIVE_TEXTURES);
    // Two colour elements, the first by index: the second keeps typed index 1.
    auto* unstored = new KFbxLayerElementVertexColor("unstored");
    unstored->SetReferenceMode(KFbxLayerElement::eINDEX);
    mesh->GetLayer(0)->SetVertexColors(unstored);
    mesh->GetLayer(1)->SetVertexColors(new KFbxLayerElementVertexColor("stored"));

    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteMesh(*mesh); });
    EXPECT_NE(text.find("LayerElementEmissiveUV: 0 {\n\tVersion: 101\n\tName: \"kept\""), std::string::npos) << text;
    EXPECT_NE(text.find("LayerElementColor: 1 {\n\tVersion: 101\n\tName: \"stored\""), std::string::npos) << text;
    EXPECT_EQ(text.find("\"skipped\""), std::string::npos);
    EXPECT_EQ(text.find("\"unstored\""), std::string::npos);
    // Layer 0 names no element, as none of its elements was stored.
    EXPECT_NE(text.find("Layer: 0 {\n\tVersion: 100\n}"), std::string::npos) << text;
}

TEST_F(Fbx6GeometryTest, MaterialIndicesByMapping) {
    KFbxMesh* mesh = MakeMesh();
    KFbxNode* node = KFbxNode::Create(mManager, "node");
    node->SetNodeAttribute(mesh);
    KFbxSurfaceLambert* red = KFbxSurfaceLambert::Create(mManager, "Red");
    node->ConnectSrc(red);
    mesh->CreateLayer();
    mesh->CreateLayer();
    auto* allSame = new KFbxLayerElementMaterial("allSame");
    allSame->SetMappingMode(KFbxLayerElement::eALL_SAME);
    allSame->SetReferenceMode(KFbxLayerElement::eINDEX);
    allSame->GetIndexArray().Add(3);
    allSame->GetIndexArray().Add(4);
    mesh->GetLayer(0)->SetMaterials(allSame);
    // An all-same element without any index means the first material, and
    // says so: readers refuse a record without a value.
    auto* none = new KFbxLayerElementMaterial("none");
    none->SetMappingMode(KFbxLayerElement::eALL_SAME);
    none->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    mesh->GetLayer(1)->SetMaterials(none);

    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteMesh(*mesh); });
    EXPECT_NE(text.find("\"allSame\"\n\tMappingInformationType: \"AllSame\"\n\tReferenceInformationType: "
                        "\"Index\"\n\tMaterials: 3\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"IndexToDirect\"\n\tMaterials: 0\n"), std::string::npos) << text;

    // A material outside the node's materials, or an index outside the
    // element, is not found.
    auto* direct = new KFbxLayerElementMaterial("direct");
    direct->GetDirectArray().Add(red);
    direct->GetDirectArray().Add(KFbxSurfaceLambert::Create(mManager, "Loose"));
    direct->GetIndexArray().Add(1);
    direct->GetIndexArray().Add(0);
    direct->GetIndexArray().Add(5);
    mesh->GetLayer(0)->SetMaterials(direct);
    EXPECT_EQ(KFbxWriterFbx6::FindNodeMaterialIndex(node, *direct, 0), -1);
    EXPECT_EQ(KFbxWriterFbx6::FindNodeMaterialIndex(node, *direct, 1), 0);
    EXPECT_EQ(KFbxWriterFbx6::FindNodeMaterialIndex(node, *direct, 2), -1);
    EXPECT_EQ(KFbxWriterFbx6::FindNodeMaterialIndex(node, *direct, 3), -1);
    EXPECT_EQ(KFbxWriterFbx6::FindNodeMaterialIndex(nullptr, *direct, 1), -1);

    // Written, every index gives its material's first place on the node,
    // whichever entry of the element names it.
    KFbxSurfaceLambert* green = KFbxSurfaceLambert::Create(mManager, "Green");
    node->ConnectSrc(green);
    direct->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    direct->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    direct->GetDirectArray().Add(green);
    direct->GetDirectArray().Add(red);
    for (int item : {-1, 2, 3}) direct->GetIndexArray().Add(item);
    const std::string written = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteMesh(*mesh); });
    EXPECT_NE(written.find("\tMaterials: -1,0,-1,-1,1,0\n"), std::string::npos) << written;
}

TEST_F(Fbx6GeometryTest, UserDataArraysOfOtherTypesHoldNoValues) {
    const KFbxDataType types[2] = {gKFbxDataTypeVector, gKFbxDataTypeInteger};
    KFbxLayerElementUserData element("data", 1, types, nullptr, 2);
    element.GetDirectArrayVoid(1)->Grow(3);
    EXPECT_EQ(KFbxWriterFbx6::GetUserDataArrayCount(element, 0), -1);
    EXPECT_EQ(KFbxWriterFbx6::GetUserDataArrayCount(element, 1), 3);
    EXPECT_EQ(KFbxWriterFbx6::GetUserDataArrayCount(element, 2), -1);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::fbx6test
