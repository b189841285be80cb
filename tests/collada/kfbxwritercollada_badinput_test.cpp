// Scenes the COLLADA writer must survive: empty or broken meshes, materials
// without channels, textures without files, odd names, numbers that are not
// finite. Each gives a valid document with warnings or the writer's error,
// and the caller's scene is never changed. Written documents also open in an
// independent reader.
#include "collada/ColladaWriterScenes.h"
#include "collada/ColladaWriterSupport.h"

#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>
#include <fbxfilesdk/scene/KFbxSystemUnit.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>

namespace fbxsdk_2006_11_1::colladatest {
namespace {

using ColladaXml::FindChild;
using ColladaXml::GetAttribute;

// What an export could change in a scene: every node's name, attribute,
// transform values and pivots, every mesh's points, polygons and layers,
// and how many objects the manager holds.
std::string Fingerprint(KFbxSdkManager& manager, KFbxNode& node) {
    std::ostringstream out;
    out.precision(17);
    KFbxVector4 t;
    KFbxVector4 r;
    KFbxVector4 s;
    node.GetLclTranslation(t);
    node.GetLclRotation(r);
    node.GetLclScaling(s);
    out << node.GetName() << '|' << node.GetNodeAttribute() << '|' << t[0] << t[1] << t[2] << r[0] << r[1] << r[2]
        << s[0] << s[1] << s[2];
    const KFbxVector4& post = node.GetPostRotation(KFbxNode::eSOURCE_SET);
    out << '|' << post[0] << post[1] << post[2];
    if (auto* mesh = dynamic_cast<KFbxMesh*>(node.GetMesh())) {
        out << '|' << mesh->GetName() << mesh->GetControlPointsCount() << '/' << mesh->GetPolygonCount() << '/'
            << mesh->GetPolygonVertexCount() << '/' << mesh->GetLayerCount() << '/' << mesh->GetShapeCount() << '/'
            << mesh->GetSrcDeformerCount();
        for (int point = 0; point < mesh->GetControlPointsCount(); ++point) {
            out << ',' << mesh->GetControlPoints()[point][0];
        }
    }
    out << '\n';
    for (int index = 0; index < node.GetChildCount(); ++index) {
        out << Fingerprint(manager, *node.GetChild(index));
    }
    if (node.GetParent() == nullptr) {
        out << "objects " << manager.GetObjectCount() << '\n';
    }
    return out.str();
}

class ColladaWriterBadInputTest : public ColladaWriteTest {
protected:
    KFbxMesh* Triangle(const char* name) {
        return AddMeshNode(mManager, mScene->GetRootNode(), name, {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0)},
                           {{0, 1, 2}});
    }
};

TEST_F(ColladaWriterBadInputTest, EmptyMeshAndChannelLessMaterialGiveAValidDocument) {
    AddMeshNode(mManager, mScene->GetRootNode(), "Empty", {}, {});
    KFbxMesh* plain = Triangle("Plain");
    KFbxLayerElementMaterial* materials = mManager->CreateLayerElementMaterial("");
    materials->SetMappingMode(KFbxLayerElement::eALL_SAME);
    materials->SetReferenceMode(KFbxLayerElement::eDIRECT);
    materials->GetDirectArray().Add(KFbxSurfaceMaterial::Create(mManager, "Bare"));
    LayerOf(plain, 0)->SetMaterials(materials);
    const std::string path = WriteValid();
    xmlNode* technique = FindChild(FindChild(FindById("Bare-fx"), "profile_COMMON"), "technique");
    EXPECT_EQ(ChildNames(FindChild(technique, "phong")),
              (std::vector<std::string>{"emission", "ambient", "diffuse", "specular"}));
    ReadBack(path);
}

TEST_F(ColladaWriterBadInputTest, TexturesWithoutFilesOrObjectsAreLeftOutWithWarnings) {
    KFbxMesh* mesh = Triangle("Tile");
    KFbxLayerElementTexture* textures = mManager->CreateLayerElementTexture("");
    textures->SetMappingMode(KFbxLayerElement::eALL_SAME);
    textures->GetDirectArray().Add(KFbxTexture::Create(mManager, "nofile"));
    textures->GetDirectArray().Add(nullptr);
    textures->GetIndexArray().Add(0);
    LayerOf(mesh, 0)->SetTextures(textures);
    WriteValid();
    EXPECT_TRUE(WriteMessageHas("Texture nofile of mesh Tile names no file"));
    EXPECT_TRUE(WriteMessageHas("Could not find texture 1 of layer 0 in mesh for node Tile."));
    EXPECT_EQ(mText.find("<library_images"), std::string::npos);
}

TEST_F(ColladaWriterBadInputTest, MarkupAndForeignBytesInNamesAndPaths) {
    KFbxMesh* mesh = Triangle("a&b <c> d");
    KFbxLayerElementMaterial* materials = mManager->CreateLayerElementMaterial("");
    materials->SetMappingMode(KFbxLayerElement::eALL_SAME);
    materials->SetReferenceMode(KFbxLayerElement::eDIRECT);
    materials->GetDirectArray().Add(KFbxSurfacePhong::Create(mManager, "r&d \xff"));
    LayerOf(mesh, 0)->SetMaterials(materials);
    KFbxLayerElementTexture* textures = mManager->CreateLayerElementTexture("");
    textures->SetMappingMode(KFbxLayerElement::eALL_SAME);
    KFbxTexture* texture = KFbxTexture::Create(mManager, "t<1>");
    texture->SetFileName("maps/a&b #1 \xe9.tga");
    textures->GetDirectArray().Add(texture);
    textures->GetIndexArray().Add(0);
    LayerOf(mesh, 0)->SetTextures(textures);
    const std::string path = WriteValid();
    EXPECT_NE(FindById("a_b__c__d-lib"), nullptr);
    EXPECT_NE(FindById("r_d__"), nullptr);
    EXPECT_EQ(ChildText(FindById("t_1_-image"), "init_from"), "./maps/a%26b%20%231%20%E9.tga");
    KFbxScene* read = ReadBack(path);
    static_cast<void>(read);
    bool found = false;
    for (KFbxTexture* readTexture : Objects<KFbxTexture>()) {
        found = found || std::string(readTexture->GetFileName()) == "maps/a&b #1 \xe9.tga";
    }
    EXPECT_TRUE(found);
}

TEST_F(ColladaWriterBadInputTest, NonFiniteNumbersAreWrittenAsZeroWithAWarning) {
    KFbxMesh* mesh = Triangle("Nan");
    mesh->GetControlPoints()[1][0] = std::numeric_limits<double>::quiet_NaN();
    mesh->GetControlPoints()[2][1] = std::numeric_limits<double>::infinity();
    KFbxNode* node = mScene->GetRootNode()->FindChild("Nan");
    node->SetLclTranslation(Point(std::numeric_limits<double>::quiet_NaN(), 0, 0));
    KFbxSurfacePhong* material = KFbxSurfacePhong::Create(mManager, "Glow");
    const fbxDouble3 color{std::numeric_limits<double>::infinity(), 0.0, 0.0};
    material->GetEmissiveColor().Set(&color, eFbxValueDouble3);
    KFbxLayerElementMaterial* materials = mManager->CreateLayerElementMaterial("");
    materials->SetMappingMode(KFbxLayerElement::eALL_SAME);
    materials->SetReferenceMode(KFbxLayerElement::eDIRECT);
    materials->GetDirectArray().Add(material);
    LayerOf(mesh, 0)->SetMaterials(materials);
    KFbxSkin* skin = KFbxSkin::Create(mManager, "");
    mesh->AddDeformer(skin);
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "");
    cluster->SetLink(node);
    cluster->AddControlPointIndex(0, std::numeric_limits<double>::quiet_NaN());
    cluster->AddControlPointIndex(1, 1.0);
    KgeMatrix link;
    link[3][1] = std::numeric_limits<double>::quiet_NaN();
    cluster->SetTransformLinkMatrix(link);
    skin->AddCluster(cluster);
    WriteValid();
    EXPECT_TRUE(WriteMessageHas("Skin of mesh Nan has values that are not finite numbers"));
    EXPECT_TRUE(WriteMessageHas("Mesh Nan has values that are not finite numbers"));
    EXPECT_TRUE(WriteMessageHas("Node Nan has transform values that are not finite numbers"));
    EXPECT_TRUE(WriteMessageHas("Material Glow has values that are not finite numbers"));
    EXPECT_EQ(mText.find("NaN"), std::string::npos);
    EXPECT_EQ(mText.find("INF"), std::string::npos);
    EXPECT_TRUE(std::isnan(mesh->GetControlPoints()[1][0]));
}

TEST_F(ColladaWriterBadInputTest, LayerElementsThatCannotDescribeTheMeshAreLeftOut) {
    KFbxMesh* mesh = Triangle("Odd");
    KFbxLayerElementUV* uvs = mManager->CreateLayerElementUV("");
    uvs->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
    uvs->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    uvs->GetDirectArray().Add(KFbxVector2(0, 0));
    for (const int index : {0, 7, 0}) {
        uvs->GetIndexArray().Add(index);
    }
    LayerOf(mesh, 0)->SetUVs(uvs);
    KFbxLayerElementNormal* normals = mManager->CreateLayerElementNormal("");
    normals->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
    normals->GetDirectArray().Add(Point(0, 0, 1));
    LayerOf(mesh, 0)->SetNormals(normals);
    KFbxLayerElementVertexColor* colors = mManager->CreateLayerElementColor("");
    colors->SetMappingMode(KFbxLayerElement::eBY_EDGE);
    colors->GetDirectArray().Add(KFbxColor(1, 1, 1, 1));
    LayerOf(mesh, 0)->SetVertexColors(colors);
    KFbxLayerElementMaterial* materials = mManager->CreateLayerElementMaterial("");
    materials->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    materials->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    materials->GetDirectArray().Add(KFbxSurfacePhong::Create(mManager, "M"));
    materials->GetIndexArray().Add(5);
    LayerOf(mesh, 0)->SetMaterials(materials);
    const std::string path = WriteValid();
    EXPECT_TRUE(WriteMessageHas("The UVs of layer 0 of mesh Odd are not written: an index points outside its values."));
    EXPECT_TRUE(WriteMessageHas("The normals of layer 0 of mesh Odd are not written"));
    EXPECT_TRUE(WriteMessageHas("The vertex colors of layer 0 of mesh Odd are not written: mapping mode 4"));
    EXPECT_TRUE(WriteMessageHas("Some polygons of mesh Odd have no usable material"));
    EXPECT_EQ(CountOf(mText, "<input "), 2);
    EXPECT_NE(mText.find("<p>0 1 2</p>"), std::string::npos);
    ReadBack(path);
}

// Polygons of no, one or two corners enclose nothing: they are left out
// with a warning, in both forms, and the document stays one that readers
// open, names of markup, quotes, line ends and control bytes included.
TEST_F(ColladaWriterBadInputTest, PolygonsOfFewerThanThreeCornersAndRawNamesAreLeftOutOrMadeSafe) {
    const char* const name = "q\"'<x>\n\r\t\x01\x7f\xc3\xa9";
    KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), name,
                                 {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0)}, {{0}, {0, 1}, {0, 1, 2}});
    mesh->BeginPolygon();
    mesh->EndPolygon();
    AddMeshNode(mManager, mScene->GetRootNode(), "Hollow", {}, {});
    for (const bool triangulate : {false, true}) {
        SCOPED_TRACE(triangulate);
        const std::string path = WriteValid(triangulate, false, triangulate ? "t.dae" : "p.dae");
        EXPECT_NE(mText.find("<p>0 1 2</p>"), std::string::npos);
        EXPECT_EQ(CountOf(mText, "<p>"), 1);
        EXPECT_TRUE(WriteMessageHas(" have fewer than three corners; they are not written.")) << mWriteMessage.Buffer();
        // No raw control byte or line end leaves the name.
        for (const char raw : {'\x01', '\x7f', '\r', '\t'}) {
            EXPECT_EQ(mText.find(raw), std::string::npos) << static_cast<int>(raw);
        }
        KFbxMesh* read = nullptr;
        KFbxScene* scene = ReadBack(path);
        for (int child = 0; child < scene->GetRootNode()->GetChildCount(); ++child) {
            if (auto* candidate = dynamic_cast<KFbxMesh*>(scene->GetRootNode()->GetChild(child)->GetNodeAttribute());
                candidate != nullptr && candidate->GetPolygonCount() > 0) {
                read = candidate;
            }
        }
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->GetPolygonCount(), 1);
        if (CommandExists("assimp")) {
            const std::string report = CommandOutput("assimp info '" + path + "' 2>&1");
            EXPECT_EQ(ReportedCount(report, "Faces"), 1) << report;
        }
    }
}

TEST_F(ColladaWriterBadInputTest, PolygonsOnMissingPointsAreLeftOut) {
    KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), "Holey",
                                 {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0), Point(0, 1, 1)},
                                 {{0, 1, 2}, {0, 2, 3}});
    // The points shrink under the polygons.
    mesh->InitControlPoints(3);
    ASSERT_EQ(mesh->GetPolygonCount(), 2);
    const std::string path = WriteValid();
    EXPECT_TRUE(WriteMessageHas("1 polygons of mesh Holey refer to points the mesh does not have"));
    EXPECT_EQ(CountOf(mText, "<p>"), 1);
    KFbxScene* read = ReadBack(path);
    ASSERT_NE(MeshOf(read, "Holey"), nullptr);
    EXPECT_EQ(MeshOf(read, "Holey")->GetPolygonCount(), 1);
}

TEST_F(ColladaWriterBadInputTest, ExportLeavesTheScenesEveryValueAlone) {
    KFbxMesh* mesh = Triangle("Quad");
    mesh->BeginPolygon();
    for (const int vertex : {0, 1, 2, 0}) {
        mesh->AddPolygonVertex(vertex);
    }
    KFbxSkin* skin = KFbxSkin::Create(mManager, "");
    mesh->AddDeformer(skin);
    KFbxNode* bone = KFbxNode::Create(mManager, "Bone");
    bone->SetNodeAttribute(KFbxSkeleton::Create(mManager, ""));
    mScene->GetRootNode()->AddChild(bone);
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "");
    cluster->SetLink(bone);
    cluster->AddControlPointIndex(0, 1.0);
    skin->AddCluster(cluster);
    KFbxTexture* texture = KFbxTexture::Create(mManager, "stone");
    texture->SetFileName("stone.tga");
    texture->SetMaterialUse(KFbxTexture::eDEFAULT_MATERIAL);
    KFbxLayerElementTexture* textures = mManager->CreateLayerElementTexture("");
    textures->SetMappingMode(KFbxLayerElement::eALL_SAME);
    textures->GetDirectArray().Add(texture);
    textures->GetIndexArray().Add(0);
    LayerOf(mesh, 0)->SetTextures(textures);
    KFbxNode* named = KFbxNode::Create(mManager, "same name");
    mScene->GetRootNode()->AddChild(named);
    mScene->GetRootNode()->AddChild(KFbxNode::Create(mManager, "same name"));

    const std::string before = Fingerprint(*mManager, *mScene->GetRootNode());
    WriteValid(true, false, "a.dae");
    const std::string first = mText;
    EXPECT_EQ(Fingerprint(*mManager, *mScene->GetRootNode()), before);
    WriteValid(true, true, "b.dae");
    EXPECT_EQ(Fingerprint(*mManager, *mScene->GetRootNode()), before);
}

TEST_F(ColladaWriterBadInputTest, FailedSaveIsAFailedWrite) {
    Triangle("Box");
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full to fill";
    }
    KFbxWriterCollada writer(*mManager);
    ASSERT_TRUE(writer.FileCreate("/dev/full"));
    KFbxStreamOptions* options = writer.GetWriteOptions();
    EXPECT_FALSE(writer.Write(mScene, options));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eOUT_OF_DISK_SPACE);
    EXPECT_EQ(writer.GetLastErrorString(), "Out of disk space (/dev/full: " + std::string(std::strerror(ENOSPC)) + ")");
    options->Destroy();
    writer.FileClose();
}

// COLLADA nests a node's element in its parent's, and a node's pivot in its
// own: a scene is written only as deep as the reader reads it back, and
// one nested deeper fails before a byte is written, however deep it is.
TEST_F(ColladaWriterBadInputTest, NodesNestedPastWhatTheReaderReadsAreRefusedAndThoseAtItReadBack) {
    constexpr int kLimit = KFbxReaderColladaPass::kMaxNodeDepth;
    for (const auto& [levels, pivot] : {std::pair{kLimit, 0}, {kLimit, 1}, {kLimit + 1, 0}, {60000, 0}}) {
        SCOPED_TRACE(levels + pivot);
        KFbxScene* scene = KFbxScene::Create(mManager, "");
        scene->GetGlobalSettings()->SetSystemUnit(KFbxSystemUnit::m);
        KFbxNode* parent = scene->GetRootNode();
        for (int level = 1; level < levels; ++level) {
            KFbxNode* node = KFbxNode::Create(mManager, ("n" + std::to_string(level)).c_str());
            node->SetLclTranslation(Point(1.0, 0.5, -0.25));
            parent->AddChild(node);
            parent = node;
        }
        const std::string leaf = "n" + std::to_string(levels);
        AddMeshNode(mManager, parent, leaf.c_str(), {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0)}, {{0, 1, 2}});
        parent->GetChild(0)->SetGeometricTranslation(KFbxNode::eSOURCE_SET, Point(0, 0, pivot));
        const std::string path = mFolder / "deep.dae";
        if (levels + pivot > kLimit) {
            const std::string earlier = ReadText(path);
            EXPECT_FALSE(WriteScene(scene, path));
            EXPECT_NE(mWriteError.find("nested " + std::to_string(levels + pivot) + " levels deep"), std::string::npos);
            EXPECT_NE(mWriteError.find("at most " + std::to_string(kLimit) + " levels"), std::string::npos);
            // The document written before is left as it was.
            EXPECT_EQ(ReadText(path), earlier);
            EXPECT_FALSE(earlier.empty());
            continue;
        }
        ASSERT_TRUE(WriteScene(scene, path)) << mWriteMessage.Buffer();
        KFbxNode* read = ReadBack(path)->GetRootNode();
        const WorldPoints want = Rounded(ScenePoints(*scene->GetRootNode()));
        EXPECT_EQ(Rounded(ScenePoints(*read)), want);
        for (int level = 1; level <= levels; ++level, read = read->GetChild(0)) {
            ASSERT_EQ(read->GetChildCount(), 1);
            EXPECT_STREQ(read->GetChild(0)->GetName(), ("n" + std::to_string(level)).c_str());
            EXPECT_EQ(read->GetChild(0)->GetParent(), read);
        }
        // pycollada's parser stops at 256 element levels, short of the document's.
        if (CommandExists("assimp")) {
            const std::string obj = mFolder / "deep.obj";
            CommandOutput("assimp export '" + path + "' '" + obj + "' -ptv >/dev/null 2>&1");
            EXPECT_EQ(Rounded(PointsOfLines(ReadText(obj), "v ")), want);
        }
    }
}

TEST_F(ColladaWriterBadInputTest, AnIndependentReaderSeesTheSameMeshesMaterialsAndBones) {
    if (!CommandExists("assimp")) {
        GTEST_SKIP() << "assimp is not installed";
    }
    KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), "Body",
                                 {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0), Point(0, 1, 0)},
                                 {{0, 1, 2}, {0, 2, 3}});
    KFbxLayerElementMaterial* materials = mManager->CreateLayerElementMaterial("");
    materials->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    materials->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    // Distinct colours, so that no reader takes the two for one.
    for (const auto& [name, red] : {std::pair{"Skin", 0.9}, std::pair{"Cloth", 0.1}}) {
        KFbxSurfacePhong* material = KFbxSurfacePhong::Create(mManager, name);
        const fbxDouble3 color{red, 0.5, 0.25};
        material->GetDiffuseColor().Set(&color, eFbxValueDouble3);
        materials->GetDirectArray().Add(material);
    }
    materials->GetIndexArray().Add(0);
    materials->GetIndexArray().Add(1);
    LayerOf(mesh, 0)->SetMaterials(materials);
    KFbxSkin* skin = KFbxSkin::Create(mManager, "");
    mesh->AddDeformer(skin);
    for (const char* name : {"Hip", "Knee"}) {
        KFbxNode* bone = KFbxNode::Create(mManager, name);
        bone->SetNodeAttribute(KFbxSkeleton::Create(mManager, name));
        mScene->GetRootNode()->AddChild(bone);
        KFbxCluster* cluster = KFbxCluster::Create(mManager, "");
        cluster->SetLink(bone);
        for (int point = 0; point < 4; ++point) {
            cluster->AddControlPointIndex(point, 0.5);
        }
        skin->AddCluster(cluster);
    }
    const std::string path = WriteValid();
    const std::string report = CommandOutput("assimp info '" + path + "' 2>&1");
    // The independent reader splits a mesh by material.
    EXPECT_EQ(ReportedCount(report, "Meshes"), 2) << report;
    EXPECT_EQ(ReportedCount(report, "Materials"), 2) << report;
    EXPECT_EQ(ReportedCount(report, "Faces"), 2) << report;
    EXPECT_EQ(ReportedCount(report, "Bones"), 4) << report;
    EXPECT_NE(report.find("'Skin'"), std::string::npos) << report;
    EXPECT_NE(report.find("'Cloth'"), std::string::npos) << report;
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::colladatest
