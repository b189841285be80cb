// Meshes, materials and textures written by the COLLADA writer: the
// document's form, the read back through the COLLADA reader, and the
// caller's scene left as it was.
#include "collada/ColladaWriterScenes.h"
#include "collada/ColladaWriterSupport.h"

#include <fbxfilesdk/collada/KFbxColladaFormats.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/formats/KFbxFormatsObj.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

namespace fbxsdk_2006_11_1::colladatest {
namespace {

using ColladaXml::FindChild;
using ColladaXml::GetAttribute;

class ColladaWriterGeometryTest : public ColladaWriteTest {
protected:
    // Box: two quads and a triangle over six points, materials A (Lambert)
    // and B (Phong) by polygon (A, B, A), UVs on layers 0 (by polygon
    // vertex, index to direct) and 1 (by control point, direct), colours
    // on layer 0 (by polygon vertex, direct).
    KFbxMesh* BuildBox() {
        KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), "Box",
                                     {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0), Point(0, 1, 0), Point(0, 0, 1),
                                      Point(1, 0, 1)},
                                     {{0, 1, 2, 3}, {0, 1, 5, 4}, {1, 2, 5}});
        KFbxSurfaceLambert* a = KFbxSurfaceLambert::Create(mManager, "A");
        a->GetDiffuseColor().Set(&kRed, eFbxValueDouble3);
        KFbxSurfacePhong* b = KFbxSurfacePhong::Create(mManager, "B");
        KFbxLayer* layer0 = LayerOf(mesh, 0);
        KFbxLayerElementMaterial* materials = mManager->CreateLayerElementMaterial("");
        materials->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
        materials->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
        materials->GetDirectArray().Add(a);
        materials->GetDirectArray().Add(b);
        for (const int index : {0, 1, 0}) {
            materials->GetIndexArray().Add(index);
        }
        layer0->SetMaterials(materials);
        KFbxLayerElementUV* uv0 = mManager->CreateLayerElementUV("map0");
        uv0->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
        uv0->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
        for (int value = 0; value < 4; ++value) {
            uv0->GetDirectArray().Add(KFbxVector2(value * 0.25, 1.0 - value * 0.125));
        }
        for (const int index : {0, 1, 2, 3, 3, 2, 1, 0, 1, 1, 2}) {
            uv0->GetIndexArray().Add(index);
        }
        layer0->SetUVs(uv0);
        KFbxLayerElementVertexColor* colors = mManager->CreateLayerElementColor("");
        colors->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
        colors->SetReferenceMode(KFbxLayerElement::eDIRECT);
        for (int value = 0; value < 11; ++value) {
            colors->GetDirectArray().Add(KFbxColor(value / 10.0, 0.5, 1.0 - value / 20.0, 1.0));
        }
        layer0->SetVertexColors(colors);
        KFbxLayer* layer1 = LayerOf(mesh, 1);
        KFbxLayerElementUV* uv1 = mManager->CreateLayerElementUV("map1");
        uv1->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
        uv1->SetReferenceMode(KFbxLayerElement::eDIRECT);
        for (int value = 0; value < 6; ++value) {
            uv1->GetDirectArray().Add(KFbxVector2(value * 0.5, value * 0.125));
        }
        layer1->SetUVs(uv1);
        return mesh;
    }

    KFbxTexture* AddTexture(KFbxMesh* mesh, const char* name, const char* file, int channel,
                            KFbxLayerElement::EMappingMode mode = KFbxLayerElement::eALL_SAME) {
        KFbxTexture* texture = KFbxTexture::Create(mManager, name);
        texture->SetFileName(file);
        KFbxLayerElementTexture* textures = mManager->CreateLayerElementTexture("");
        textures->SetMappingMode(mode);
        textures->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
        textures->GetDirectArray().Add(texture);
        if (mode == KFbxLayerElement::eBY_POLYGON) {
            for (int polygon = 0; polygon < mesh->GetPolygonCount(); ++polygon) {
                textures->GetIndexArray().Add(0);
            }
        } else {
            textures->GetIndexArray().Add(0);
        }
        LayerOf(mesh, 0)->SetTexturesOfChannel(textures, channel);
        return texture;
    }

    inline static const fbxDouble3 kRed{1.0, 0.0, 0.0};
};

TEST_F(ColladaWriterGeometryTest, MeshWithMaterialsUvSetsAndColoursReadsBackTheSame) {
    KFbxMesh* box = BuildBox();
    const std::string path = WriteValid();
    xmlNode* geometry = FindById("Box-lib");
    ASSERT_NE(geometry, nullptr);
    EXPECT_EQ(GetAttribute(geometry, "name"), KString("BoxMesh"));
    xmlNode* mesh = FindChild(geometry, "mesh");
    EXPECT_EQ(ChildNames(mesh), (std::vector<std::string>{"source", "source", "source", "source", "vertices",
                                                          "polygons", "polygons"}));
    // Each polygon is written once: A holds two, B one.
    EXPECT_EQ(CountOf(mText, "<p>"), 3);
    KFbxScene* read = ReadBack(path);
    KFbxMesh* readBox = MeshOf(read, "Box");
    ASSERT_NE(readBox, nullptr);
    ExpectSamePolygons(*box, *readBox);
    // The shading models and colours come back with the materials.
    ASSERT_EQ(readBox->GetMaterialCount(), 2);
    for (int index = 0; index < 2; ++index) {
        KFbxSurfaceMaterial* material = readBox->GetMaterial(index);
        if (std::string(material->GetName()) == "A") {
            auto* lambert = dynamic_cast<KFbxSurfaceLambert*>(material);
            ASSERT_NE(lambert, nullptr);
            EXPECT_EQ(dynamic_cast<KFbxSurfacePhong*>(material), nullptr);
            EXPECT_NEAR(lambert->GetDiffuseColor().GetDouble3()[0], 1.0, 1e-6);
        } else {
            EXPECT_STREQ(material->GetName(), "B");
            EXPECT_NE(dynamic_cast<KFbxSurfacePhong*>(material), nullptr);
        }
    }
}

// The scene's transparency is the transparent colour times the factor; every
// reader must find the opacity that leaves.
TEST_F(ColladaWriterGeometryTest, TransparencyGivesEveryReaderTheScenesOpacity) {
    struct Case {
        const char* mName;
        bool mPhong;
        fbxDouble3 mColor;
        double mFactor;
        double mOpacity;
    };
    const Case cases[] = {
        {"Opaque", false, {0.0, 0.0, 0.0}, 0.0, 1.0},     {"OpaqueWhite", true, {1.0, 1.0, 1.0}, 0.0, 1.0},
        {"Quarter", true, {1.0, 1.0, 1.0}, 0.25, 0.75}, {"Clear", false, {1.0, 1.0, 1.0}, 1.0, 0.0},
        {"Grey", true, {0.5, 0.5, 0.5}, 0.5, 0.75},
    };
    std::vector<std::vector<int>> polygons;
    KFbxLayerElementMaterial* materials = mManager->CreateLayerElementMaterial("");
    materials->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    materials->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    for (const Case& item : cases) {
        KFbxSurfaceLambert* material = item.mPhong ? KFbxSurfacePhong::Create(mManager, item.mName)
                                                   : KFbxSurfaceLambert::Create(mManager, item.mName);
        material->GetTransparentColor().Set(&item.mColor, eFbxValueDouble3);
        material->GetTransparencyFactor().Set(&item.mFactor, eFbxValueDouble);
        materials->GetIndexArray().Add(materials->GetDirectArray().Add(material));
        polygons.push_back({0, 1, 2});
    }
    KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), "Panes", {Point(0, 0, 0), Point(1, 0, 0), Point(0, 1, 0)},
                                 polygons);
    LayerOf(mesh, 0)->SetMaterials(materials);
    const std::string path = WriteValid();

    std::map<std::string, double> ours;
    KFbxMesh* read = MeshOf(ReadBack(path), "Panes");
    ASSERT_NE(read, nullptr);
    for (int index = 0; index < read->GetMaterialCount(); ++index) {
        const auto* material = dynamic_cast<KFbxSurfaceLambert*>(read->GetMaterial(index));
        ASSERT_NE(material, nullptr);
        const fbxDouble3 color = material->GetTransparentColor().GetDouble3();
        ours[material->GetName()] =
            1.0 - (color[0] + color[1] + color[2]) / 3.0 * material->GetTransparencyFactor().GetDouble();
    }
    const AssimpMaterialMap theirs = CommandExists("assimp") ? AssimpMaterials(path, mFolder / "dump.assxml") : AssimpMaterialMap{};
    std::map<std::string, double> pycollada;
    if (PycolladaInstalled()) {
        // The schema's rules, on what pycollada parsed.
        std::istringstream lines(RunPycollada(
            "import collada, sys\n"
            "for m in collada.Collada(sys.argv[1]).materials:\n"
            "    e = m.effect\n"
            "    t = 1.0 if e.transparency is None else e.transparency\n"
            "    c = e.transparent if isinstance(e.transparent, tuple) else (1.0, 1.0, 1.0, 1.0)\n"
            "    if e.opaque_mode == 'RGB_ZERO':\n"
            "        print(m.id, 1.0 - (c[0] * 0.212671 + c[1] * 0.715160 + c[2] * 0.072169) * t)\n"
            "    else:\n"
            "        print(m.id, c[3] * t)\n",
            path));
        std::string id;
        for (double opacity; lines >> id >> opacity;) {
            pycollada[id] = opacity;
        }
    }
    for (const Case& item : cases) {
        EXPECT_NEAR(ours[item.mName], item.mOpacity, 1e-6) << item.mName;
        if (!theirs.empty()) {
            const auto found = theirs.find(item.mName);
            ASSERT_NE(found, theirs.end()) << item.mName;
            EXPECT_NEAR(std::atof(found->second.at("$mat.opacity").c_str()), item.mOpacity, 1e-5) << item.mName;
        }
        if (!pycollada.empty()) {
            EXPECT_NEAR(pycollada[item.mName], item.mOpacity, 1e-5) << item.mName;
        }
    }
}

TEST_F(ColladaWriterGeometryTest, TriangulationFansEveryPolygonOnceAndLeavesTheSceneMesh) {
    KFbxMesh* box = BuildBox();
    const std::string path = WriteValid(true);
    EXPECT_EQ(CountOf(mText, "<triangles "), 2);
    EXPECT_EQ(CountOf(mText, "<polygons "), 0);
    EXPECT_EQ(box->GetPolygonCount(), 3);
    EXPECT_EQ(box->GetPolygonSize(0), 4);
    KFbxScene* read = ReadBack(path);
    KFbxMesh* readBox = MeshOf(read, "Box");
    ASSERT_NE(readBox, nullptr);
    EXPECT_EQ(readBox->GetPolygonCount(), 5);
    // Every triangle's corners, with their UVs and colours, are corners of
    // one polygon of the same material.
    const std::vector<PolygonView> polygons = ViewPolygons(*box);
    for (const PolygonView& triangle : ViewPolygons(*readBox)) {
        bool found = false;
        for (const PolygonView& polygon : polygons) {
            bool all = polygon.mMaterial == triangle.mMaterial;
            for (const std::vector<double>& corner : triangle.mCorners) {
                bool has = false;
                for (const std::vector<double>& candidate : polygon.mCorners) {
                    bool same = candidate.size() == corner.size();
                    for (std::size_t k = 0; same && k < corner.size(); ++k) {
                        same = std::isnan(corner[k]) ? std::isnan(candidate[k]) : std::fabs(corner[k] - candidate[k]) < 1e-6;
                    }
                    has = has || same;
                }
                all = all && has;
            }
            found = found || all;
        }
        EXPECT_TRUE(found);
    }
}

TEST_F(ColladaWriterGeometryTest, LambertAndPhongEffectsInSchemaOrder) {
    BuildBox();
    WriteValid();
    xmlNode* a = FindById("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(GetAttribute(FindChild(a, "instance_effect"), "url"), KString("#A-fx"));
    xmlNode* lambert = FindChild(FindChild(FindChild(FindById("A-fx"), "profile_COMMON"), "technique"), "lambert");
    EXPECT_EQ(ChildNames(lambert),
              (std::vector<std::string>{"emission", "ambient", "diffuse", "transparent", "transparency"}));
    EXPECT_EQ(ChildText(FindChild(lambert, "diffuse"), "color"), "1.000000 0.000000 0.000000 1.000000");
    xmlNode* phong = FindChild(FindChild(FindChild(FindById("B-fx"), "profile_COMMON"), "technique"), "phong");
    EXPECT_EQ(ChildNames(phong), (std::vector<std::string>{"emission", "ambient", "diffuse", "specular", "shininess",
                                                           "reflective", "reflectivity", "transparent",
                                                           "transparency"}));
    // Both materials are bound on the instance under their ids.
    EXPECT_EQ(CountOf(mText, "<instance_material symbol=\"A\" target=\"#A\"/>"), 1);
    EXPECT_EQ(CountOf(mText, "<instance_material symbol=\"B\" target=\"#B\"/>"), 1);
}

TEST_F(ColladaWriterGeometryTest, TexturesGoIntoTheirMaterialsChannelsAndReadBack) {
    KFbxMesh* box = BuildBox();
    AddTexture(box, "wood", "maps/wood grain.tga", KFbxLayerElement::eDIFFUSE_TEXTURES,
               KFbxLayerElement::eBY_POLYGON);
    KFbxTexture* shine = AddTexture(box, "shine", "/abs/shine.png", KFbxLayerElement::eSPECULAR_TEXTURES);
    shine->SetWrapMode(KFbxTexture::eCLAMP, KFbxTexture::eREPEAT);
    AddTexture(box, "sky", "sky.png", KFbxLayerElement::eREFLECTION_TEXTURES);
    const std::string path = WriteValid();
    EXPECT_EQ(ChildText(FindById("wood-image"), "init_from"), "./maps/wood%20grain.tga");
    EXPECT_EQ(ChildText(FindById("shine-image"), "init_from"), "file:///abs/shine.png");
    // wood replaces both diffuse colours; the specular texture goes only
    // where the shading has a specular channel (B's phong, not A's lambert).
    xmlNode* lambert = FindChild(FindChild(FindChild(FindById("A-fx"), "profile_COMMON"), "technique"), "lambert");
    EXPECT_EQ(ChildNames(FindChild(lambert, "diffuse")), std::vector<std::string>{"texture"});
    // A channel the effect did not have goes to its place in the schema's order.
    EXPECT_EQ(ChildNames(lambert), (std::vector<std::string>{"emission", "ambient", "diffuse", "reflective",
                                                             "transparent", "transparency"}));
    EXPECT_EQ(GetAttribute(FindChild(FindChild(lambert, "diffuse"), "texture"), "texture"), KString("wood-image"));
    xmlNode* phong = FindChild(FindChild(FindChild(FindById("B-fx"), "profile_COMMON"), "technique"), "phong");
    xmlNode* specular = FindChild(FindChild(phong, "specular"), "texture");
    ASSERT_NE(specular, nullptr);
    EXPECT_EQ(GetAttribute(specular, "texcoord"), KString("CHANNEL0"));
    EXPECT_NE(mText.find("<wrapU sid=\"wrapU0\">FALSE</wrapU>"), std::string::npos);
    EXPECT_TRUE(WriteMessageHas("has no channel specular"));
    KFbxScene* read = ReadBack(path);
    std::vector<std::string> files;
    for (KFbxTexture* texture : Objects<KFbxTexture>()) {
        files.emplace_back(texture->GetFileName());
    }
    EXPECT_NE(std::find(files.begin(), files.end(), "maps/wood grain.tga"), files.end());
    EXPECT_NE(std::find(files.begin(), files.end(), "/abs/shine.png"), files.end());
    static_cast<void>(read);
}

TEST_F(ColladaWriterGeometryTest, TextureStandingForAMaterialBindsItsPolygonsOnce) {
    KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), "Tile",
                                 {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0)}, {{0, 1, 2}});
    KFbxTexture* sand = AddTexture(mesh, "sand", "C:\\maps\\sand.tga", KFbxLayerElement::eDIFFUSE_TEXTURES);
    sand->SetMaterialUse(KFbxTexture::eDEFAULT_MATERIAL);
    const int materialsBefore = mManager->GetObjectCount(KFbxSurfaceMaterial::ClassId);
    WriteValid();
    EXPECT_EQ(CountOf(mText, "<polygons "), 1);
    EXPECT_NE(FindById("sand-diffuse-Material"), nullptr);
    EXPECT_EQ(ChildText(FindById("sand-image"), "init_from"), "file:///C:/maps/sand.tga");
    EXPECT_NE(mText.find("symbol=\"sand-diffuse-Material\""), std::string::npos);
    // The stand-in material lived only for the write.
    EXPECT_EQ(mManager->GetObjectCount(KFbxSurfaceMaterial::ClassId), materialsBefore);
}

// A file that lies in the document's folder or below it is named from the
// document, so that it is found wherever the folder goes; the rest keep
// the names they have, without "." steps, and without ".." steps but where
// the folder before one is a link, from which the system climbs elsewhere.
// A share's file stays its host's.
TEST_F(ColladaWriterGeometryTest, ImagesBesideTheDocumentAreNamedFromIt) {
    const std::string root = mFolder.Path().string();
    std::filesystem::create_directories(mFolder.Path() / "models/tex");
    std::filesystem::create_directory_symlink(mFolder.Path() / "models", mFolder.Path() / "link");
    // proj/models leads to data/models, so proj/models/../textures is
    // data/textures; tex leads to models/tex, so tex/../tex is models/tex.
    std::filesystem::create_directories(mFolder.Path() / "data/models");
    std::filesystem::create_directories(mFolder.Path() / "data/textures");
    std::filesystem::create_directories(mFolder.Path() / "proj");
    std::filesystem::create_directory_symlink("../data/models", mFolder.Path() / "proj/models");
    std::filesystem::create_directory_symlink("models/tex", mFolder.Path() / "tex");
    std::filesystem::current_path(mFolder.Path());
    const std::string document = root + "/models/car.dae";
    const auto repeated = [](const char* step, int times) {
        std::string steps;
        for (int i = 0; i < times; ++i) steps += step;
        return steps;
    };
    const struct {
        std::string file, document, uri;
    } rows[] = {
        {root + "/models/tex/wood.tga", document, "./tex/wood.tga"},
        {root + "/models/wood.tga", document, "./wood.tga"},
        {root + "/models/tex/my wood.tga", document, "./tex/my%20wood.tga"},
        {root + "/other/../models/./tex/wood.tga", document, "./tex/wood.tga"},
        {root + "/models/../other/./wood.tga", document, "file://" + root + "/other/wood.tga"},
        // Written through a link to its folder, or naming its file through one.
        {root + "/models/tex/wood.tga", root + "/link/car.dae", "./tex/wood.tga"},
        {root + "/link/tex/wood.tga", document, "./tex/wood.tga"},
        {"tex/./wood.tga", document, "./tex/wood.tga"},
        {"./a/b/../wood.tga", document, "./a/wood.tga"},
        {"../maps/x/../wood.tga", document, "./../maps/wood.tga"},
        {"C|/maps/a b.tga", document, "file:///C:/maps/a%20b.tga"},
        {root + "/proj/./x/../models/../textures/wood.png", document,
         "file://" + root + "/proj/models/../textures/wood.png"},
        {root + "/proj/models/../textures/wood.png", root + "/data/car.dae", "./textures/wood.png"},
        {"./tex/../tex/x/../wood.png", document, "./tex/../tex/wood.png"},
        {"\\\\server\\share\\a b\\..\\y.tga", document, "file://server/share/a%20b/../y.tga"},
        {"//server/share/y.tga", document, "file://server/share/y.tga"},
        // This machine's files, as the system reads two leading separators.
        {"/" + root + "/models/tex/wood.tga", document, "./tex/wood.tga"},
        {"/" + root + "/other/wood.tga", document, "file://" + root + "/other/wood.tga"},
        // Long names: steps through folders that are there, and more steps
        // than the system follows in one name.
        {root + "/models/" + repeated("tex/../", 2000) + "wood.tga", document, "./wood.tga"},
        {root + "/" + repeated("a/", 3000) + repeated("../", 3000) + "models/tex/wood.tga", document, "./tex/wood.tga"},
        {repeated("tex/", 3) + repeated("../", 4) + "tex/wood.png", document, "./tex/../../tex/wood.png"},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(KFbxWriterCollada::MakeImageUri(row.file.c_str(), KFbxDocumentFolder(row.document.c_str())).Buffer(),
                     row.uri.c_str())
            << row.file << " in " << row.document;
    }
    // A document that names its texture through the link: this reader and
    // an independent one read the texture's bytes.
    mFolder.Write("data/textures/wood.png", "wood grain");
    AddTexture(BuildBox(), "wood", (root + "/proj/models/../textures/wood.png").c_str(),
               KFbxLayerElement::eDIFFUSE_TEXTURES);
    const std::string path = WriteValid();
    KFbxScene* read = ReadBack(path);
    ASSERT_GE(read->GetTextureCount(), 1);
    EXPECT_EQ(ReadText(read->GetTexture(0)->GetFileName()), "wood grain");
    if (PycolladaInstalled()) {
        EXPECT_EQ(RunPycollada("import collada, sys\n"
                               "sys.stdout.write(collada.Collada(sys.argv[1]).images[0].data.decode())\n",
                               path),
                  "wood grain");
    }
}

// An OBJ converted from another working folder, to COLLADA beside itself
// and to FBX into a folder beside its own: once the whole tree has moved,
// read from yet another working folder, every file finds the texture (its
// videos too), with this SDK and with the independent COLLADA readers. The
// root as the working folder, whose name ends in its separator, makes no
// name of a share's.
TEST_F(ColladaWriterGeometryTest, AConvertedObjsFilesFindItsTextureAfterTheTreeMoves) {
    KFbxRegisterObjFormats();
    KFbxRegisterColladaFormats();
    for (const bool fromRoot : {false, true}) {
        SCOPED_TRACE(fromRoot ? "from the root" : "from a folder beside the tree");
        const std::filesystem::path root = mFolder.Path() / (fromRoot ? "r" : "w");
        for (const char* folder : {"tree/models/tex", "tree/out", "work", "elsewhere", "later"}) {
            std::filesystem::create_directories(root / folder);
        }
        std::ofstream(root / "tree/models/tex/wood.tga") << "wood grain";
        std::ofstream(root / "tree/models/car.mtl") << "newmtl wood\nmap_Kd tex/wood.tga\n";
        std::ofstream(root / "tree/models/car.obj")
            << "mtllib car.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nusemtl wood\nf 1/1 2/1 3/1\n";
        const std::filesystem::path working = fromRoot ? std::filesystem::path("/") : root / "work";
        std::filesystem::current_path(working);
        const std::string tree = (root / "tree").lexically_relative(working).string();
        KFbxScene* scene = KFbxScene::Create(mManager, "");
        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
        ASSERT_TRUE(importer->Initialize((tree + "/models/car.obj").c_str()) && importer->Import(scene));
        importer->Destroy();
        const std::pair<std::string, int> written[] = {
            {"models/car.dae", -1},
            {"out/car6.fbx", KFbxFileFormatRegistry::eFBX_BINARY_WRITER},
            {"out/car6a.fbx", KFbxFileFormatRegistry::eFBX_ASCII_WRITER},
            {"out/car5.fbx", KFbxFileFormatRegistry::eFBX5_BINARY_WRITER},
            {"out/car5a.fbx", KFbxFileFormatRegistry::eFBX5_ASCII_WRITER}};
        for (const auto& [file, format] : written) {
            KFbxExporter* exporter = KFbxExporter::Create(mManager, "");
            exporter->SetFileFormat(format);
            EXPECT_TRUE(exporter->Initialize((tree + "/" + file).c_str()) && exporter->Export(scene)) << file;
            exporter->Destroy();
        }
        std::filesystem::rename(root / "tree", root / "elsewhere/tree");
        std::filesystem::current_path(root / "later");
        const std::filesystem::path moved = root / "elsewhere/tree";
        for (const auto& [file, format] : written) {
            KFbxScene* read = KFbxScene::Create(mManager, "");
            importer = KFbxImporter::Create(mManager, "");
            EXPECT_TRUE(importer->Initialize(("../elsewhere/tree/" + file).c_str()) && importer->Import(read))
                << file;
            importer->Destroy();
            ASSERT_EQ(read->GetTextureCount(), 1) << file;
            EXPECT_EQ(ReadText(read->GetTexture(0)->GetFileName()), "wood grain") << file;
            // An FBX file names the texture's file in its video too.
            EXPECT_EQ(read->GetSrcObjectCount(KFbxVideo::ClassId), format == -1 ? 0 : 1) << file;
            for (int i = 0; i < read->GetSrcObjectCount(KFbxVideo::ClassId); ++i) {
                const auto* video = static_cast<KFbxVideo*>(read->GetSrcObject(KFbxVideo::ClassId, i));
                EXPECT_EQ(ReadText(video->GetFileName()), "wood grain") << file;
            }
        }
        const std::string document = (moved / "models/car.dae").string();
        if (PycolladaInstalled()) {
            EXPECT_EQ(RunPycollada("import collada, sys\n"
                                   "sys.stdout.write(collada.Collada(sys.argv[1]).images[0].data.decode())\n",
                                   document),
                      "wood grain");
        }
        if (CommandExists("assimp")) {
            const AssimpMaterialMap theirs = AssimpMaterials(document, (root / "dump.assxml").string());
            ASSERT_EQ(theirs.count("wood"), 1u);
            const std::string file = theirs.at("wood").at("$tex.file@diffuse");
            // A relative path is the document's, an absolute one stays as it is.
            EXPECT_EQ(ReadText((moved / "models" / file).string()), "wood grain") << file;
        }
    }
}

// Readers find a texture only through a material that the polygons bind:
// one meant as the material of a mesh that has materials goes into those,
// and every texture of a mesh without materials into the one that stands in.
TEST_F(ColladaWriterGeometryTest, EveryTextureIsReachedFromABoundMaterial) {
    KFbxMesh* mixed = BuildBox();
    AddTexture(mixed, "wood", "wood.png", KFbxLayerElement::eDIFFUSE_TEXTURES)
        ->SetMaterialUse(KFbxTexture::eDEFAULT_MATERIAL);
    KFbxMesh* bare = AddMeshNode(mManager, mScene->GetRootNode(), "Bare",
                                 {Point(0, 0, 2), Point(1, 0, 2), Point(1, 1, 2)}, {{0, 1, 2}});
    AddTexture(bare, "sand", "sand.png", KFbxLayerElement::eDIFFUSE_TEXTURES);
    AddTexture(bare, "shine", "shine.png", KFbxLayerElement::eSPECULAR_TEXTURES);
    const std::string path = WriteValid();
    const std::vector<std::string> want = {
        "A diffuse wood.png", "B diffuse wood.png", "sand-diffuse-Material diffuse sand.png",
        "sand-diffuse-Material specular shine.png"};
    // Every image written is one of those.
    for (const std::string& image : {"wood.png", "sand.png", "shine.png"}) {
        EXPECT_EQ(CountOf(mText, image + "</init_from>"), 1) << image;
    }
    if (PycolladaInstalled()) {
        std::istringstream lines(RunPycollada(
            "import collada, sys, os\n"
            "for g in collada.Collada(sys.argv[1]).scene.objects('geometry'):\n"
            "    for p in g.primitives():\n"
            "        for ch in ('emission', 'ambient', 'diffuse', 'specular', 'reflective', 'transparent'):\n"
            "            v = getattr(p.material.effect, ch, None) if p.material is not None else None\n"
            "            if isinstance(v, collada.material.Map):\n"
            "                print(p.material.id, ch, os.path.basename(v.sampler.surface.image.path))\n",
            path));
        std::vector<std::string> reached;
        for (std::string line; std::getline(lines, line);) {
            reached.push_back(line);
        }
        std::sort(reached.begin(), reached.end());
        reached.erase(std::unique(reached.begin(), reached.end()), reached.end());
        EXPECT_EQ(reached, want);
    }
    if (CommandExists("assimp")) {
        const AssimpMaterialMap theirs = AssimpMaterials(path, mFolder / "dump.assxml");
        for (const std::string& line : want) {
            std::istringstream fields(line);
            std::string material, channel, file;
            fields >> material >> channel >> file;
            const auto found = theirs.find(material);
            ASSERT_NE(found, theirs.end()) << material;
            const auto texture = found->second.find("$tex.file@" + channel);
            ASSERT_NE(texture, found->second.end()) << line;
            EXPECT_NE(texture->second.find(file), std::string::npos) << line;
        }
    }
    // Our reader shows each texture on its mesh again.
    KFbxScene* read = ReadBack(path);
    for (const auto& [mesh, channel, name] : {std::tuple{"Box", KFbxLayerElement::eDIFFUSE_TEXTURES, "wood.png"},
                                              std::tuple{"Bare", KFbxLayerElement::eDIFFUSE_TEXTURES, "sand.png"},
                                              std::tuple{"Bare", KFbxLayerElement::eSPECULAR_TEXTURES, "shine.png"}}) {
        KFbxMesh* readMesh = MeshOf(read, mesh);
        ASSERT_NE(readMesh, nullptr) << mesh;
        const KFbxLayerElementTexture* textures = readMesh->GetLayer(0)->GetTexturesOfChannel(channel);
        ASSERT_NE(textures, nullptr) << mesh << " " << name;
        bool found = false;
        for (int index = 0; index < textures->GetDirectArray().GetCount(); ++index) {
            found = found || std::string(textures->GetDirectArray().GetAt(index)->GetFileName()) == name;
        }
        EXPECT_TRUE(found) << mesh << " " << name;
    }
}

TEST_F(ColladaWriterGeometryTest, SharedMeshGivesOneGeometryPerNode) {
    KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), "Left",
                                 {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0)}, {{0, 1, 2}});
    KFbxNode* right = KFbxNode::Create(mManager, "Right");
    right->SetNodeAttribute(mesh);
    mScene->GetRootNode()->AddChild(right);
    WriteValid();
    EXPECT_NE(FindById("Left-lib"), nullptr);
    EXPECT_NE(FindById("Right-lib"), nullptr);
    EXPECT_NE(FindById("Right-lib-Position"), nullptr);
}

TEST_F(ColladaWriterGeometryTest, NormalsByControlPointRepeatThePointIndex) {
    KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), "Tri",
                                 {Point(0, 0, 0), Point(0, 0, 0), Point(0, 0, 0), Point(0, 0, 0), Point(1, 0, 0),
                                  Point(1, 1, 0), Point(0, 1, 0)},
                                 {{4, 5, 6}});
    KFbxLayerElementNormal* normals = mManager->CreateLayerElementNormal("");
    normals->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    for (int point = 0; point < 7; ++point) {
        normals->GetDirectArray().Add(Point(0, 0, 1));
    }
    LayerOf(mesh, 0)->SetNormals(normals);
    WriteValid();
    EXPECT_NE(mText.find("<p>4 4 5 5 6 6</p>"), std::string::npos);
}

// A normal per polygon and one colour for all are what every corner of the
// polygon, or of the mesh, has: they are written corner by corner.
TEST_F(ColladaWriterGeometryTest, NormalsByPolygonAndAllSameColoursAreWrittenPerCorner) {
    KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), "Folded",
                                 {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0), Point(0, 0, 1)}, {{0, 1, 2}, {0, 3, 1}});
    KFbxLayerElementNormal* normals = mManager->CreateLayerElementNormal("");
    normals->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    normals->GetDirectArray().Add(Point(0, 0, 1));
    normals->GetDirectArray().Add(Point(0, -1, 0));
    LayerOf(mesh, 0)->SetNormals(normals);
    KFbxLayerElementVertexColor* colors = mManager->CreateLayerElementColor("");
    colors->SetMappingMode(KFbxLayerElement::eALL_SAME);
    colors->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    colors->GetDirectArray().Add(KFbxColor(0, 0, 0, 1));
    colors->GetDirectArray().Add(KFbxColor(0.25, 0.5, 0.75, 1));
    colors->GetIndexArray().Add(1);
    LayerOf(mesh, 0)->SetVertexColors(colors);
    const std::string path = WriteValid();
    EXPECT_FALSE(WriteMessageHas("are not written")) << mWriteMessage.Buffer();
    EXPECT_NE(mText.find("<p>0 0 1 1 0 1 2 0 1</p>"), std::string::npos) << mText;
    EXPECT_NE(mText.find("<p>0 1 1 3 1 1 1 1 1</p>"), std::string::npos) << mText;

    KFbxMesh* read = MeshOf(ReadBack(path), "Folded");
    ASSERT_NE(read, nullptr);
    const KFbxLayerElementNormal* readNormals = read->GetLayer(0)->GetNormals();
    const KFbxLayerElementVertexColor* readColors = read->GetLayer(0)->GetVertexColors();
    ASSERT_TRUE(readNormals != nullptr && readColors != nullptr);
    // Value of the element at a corner, whatever the reader's mapping.
    const auto at = [read](const auto& element, int polygon, int corner) {
        const int entry = element.GetMappingMode() == KFbxLayerElement::eBY_CONTROL_POINT
                              ? read->GetPolygonVertex(polygon, corner)
                              : read->GetPolygonVertexIndex(polygon) + corner;
        const int index = element.GetReferenceMode() == KFbxLayerElement::eDIRECT ? entry
                                                                                    : element.GetIndexArray().GetAt(entry);
        return element.GetDirectArray().GetAt(index);
    };
    for (int polygon = 0; polygon < 2; ++polygon) {
        for (int corner = 0; corner < 3; ++corner) {
            const KFbxVector4 normal = at(*readNormals, polygon, corner);
            EXPECT_EQ(normal[2], polygon == 0 ? 1.0 : 0.0) << polygon << " " << corner;
            EXPECT_EQ(normal[1], polygon == 0 ? 0.0 : -1.0) << polygon << " " << corner;
            const KFbxColor color = at(*readColors, polygon, corner);
            EXPECT_EQ(color.mGreen, 0.5) << polygon << " " << corner;
            EXPECT_EQ(color.mBlue, 0.75) << polygon << " " << corner;
        }
    }
}

TEST_F(ColladaWriterGeometryTest, NodeTransformsAndPivotNode) {
    KFbxNode* plain = KFbxNode::Create(mManager, "Plain");
    mScene->GetRootNode()->AddChild(plain);
    KFbxNode* moved = KFbxNode::Create(mManager, "Moved");
    moved->SetLclTranslation(Point(1, 2, 3));
    moved->SetLclRotation(Point(10, 20, 30));
    moved->SetRotationPivot(KFbxNode::eSOURCE_SET, Point(5, 0, 0));
    moved->SetGeometricRotation(KFbxNode::eSOURCE_SET, Point(0, 0, 90));
    moved->SetGeometricScaling(KFbxNode::eSOURCE_SET, Point(1, 1, 1.0000005));
    mScene->GetRootNode()->AddChild(moved);
    WriteValid();
    EXPECT_TRUE(ChildNames(FindById("Plain")).empty());
    xmlNode* node = FindById("Moved");
    EXPECT_EQ(ChildNames(node), (std::vector<std::string>{"translate", "translate", "rotate", "rotate", "rotate",
                                                          "translate", "node"}));
    EXPECT_NE(mText.find("<translate sid=\"rotatePivotInverse\">-5.000000 -0.000000 -0.000000</translate>"),
              std::string::npos);
    EXPECT_NE(mText.find("<rotate sid=\"rotateZ\">0 0 1 30.000000</rotate>"), std::string::npos);
    xmlNode* pivot = FindById("Moved-Pivot");
    ASSERT_NE(pivot, nullptr);
    EXPECT_EQ(ChildText(pivot, "rotate"), "0.000000 0.000000 1.000000 90.000000");
    EXPECT_EQ(FindChild(pivot, "scale"), nullptr);
}

TEST_F(ColladaWriterGeometryTest, SingleMatrixIsColumnOrderedAndReadsBack) {
    KFbxNode* parent = KFbxNode::Create(mManager, "Parent");
    parent->SetLclScaling(Point(2, 2, 2));
    parent->SetLclRotation(Point(0, 0, 45));
    mScene->GetRootNode()->AddChild(parent);
    KFbxNode* child = KFbxNode::Create(mManager, "Child");
    child->SetLclTranslation(Point(1, 2, 3));
    child->SetLclRotation(Point(30, 0, 0));
    parent->AddChild(child);
    KFbxNode* still = KFbxNode::Create(mManager, "Still");
    mScene->GetRootNode()->AddChild(still);
    const std::string path = WriteValid(false, true);
    EXPECT_TRUE(ChildNames(FindById("Still")).empty());
    const std::string matrix = ChildText(FindById("Child"), "matrix");
    EXPECT_EQ(matrix.substr(matrix.size() - 36), "0.000000 0.000000 0.000000 1.000000\n");
    KFbxScene* read = ReadBack(path);
    KFbxNode* readChild = read->GetRootNode()->FindChild("Child");
    ASSERT_NE(readChild, nullptr);
    const KgeMatrix want = child->EvaluateDefaultGlobalTransform();
    const KgeMatrix got = readChild->EvaluateDefaultGlobalTransform();
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            EXPECT_NEAR(got[row][column], want[row][column], 1e-5) << row << "," << column;
        }
    }
}

TEST_F(ColladaWriterGeometryTest, CameraOrientationIsWrittenNotStoredInTheScene) {
    KFbxNode* node = KFbxNode::Create(mManager, "Cam");
    node->SetNodeAttribute(KFbxCamera::Create(mManager, "Cam"));
    mScene->GetRootNode()->AddChild(node);
    KFbxWriterCollada writer(*mManager);
    for (int write = 0; write < 2; ++write) {
        std::unique_ptr<xmlNode, void (*)(xmlNode*)> element(xmlNewNode(nullptr, BAD_CAST "node"), xmlFreeNode);
        ASSERT_TRUE(writer.ExportTransform(element.get(), *node));
        EXPECT_EQ(ChildNames(element.get()), std::vector<std::string>{"rotate"});
        EXPECT_EQ(ChildText(element.get(), "rotate"), "0 1 0 -90.000000");
    }
    EXPECT_EQ(node->GetPostRotation(KFbxNode::eSOURCE_SET)[1], 0.0);
}

TEST_F(ColladaWriterGeometryTest, GenericMaterialsShadeByTheirModelAndFindPropertiesByName) {
    KFbxMesh* mesh = AddMeshNode(mManager, mScene->GetRootNode(), "Tri",
                                 {Point(0, 0, 0), Point(1, 0, 0), Point(1, 1, 0), Point(0, 1, 0)},
                                 {{0, 1, 2}, {0, 2, 3}, {0, 1, 3}});
    KFbxLayerElementMaterial* materials = mManager->CreateLayerElementMaterial("");
    materials->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    materials->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    for (const char* model : {"Blinn", "constant", "blinn"}) {
        KFbxSurfaceMaterial* material = KFbxSurfaceMaterial::Create(mManager, (std::string("M") + model).c_str());
        KString text(model);
        material->GetShadingModel().Set(&text, eFbxValueString);
        materials->GetIndexArray().Add(materials->GetDirectArray().Add(material));
    }
    KFbxSurfaceMaterial* constant = materials->GetDirectArray().GetAt(1);
    KFbxTypedProperty<fbxDouble3>(KFbxProperty::Create(constant, "emissivecolor", gKFbxDataTypeColor, ""))
        .Set(fbxDouble3(0.5, 0.25, 1.0));
    KFbxTypedProperty<double>(KFbxProperty::Create(constant, "TransparencyFactor", gKFbxDataTypeNumber, ""))
        .Set(0.75);
    // A colour of another data type is not the channel's colour.
    KFbxSurfaceMaterial* blinn = materials->GetDirectArray().GetAt(2);
    KFbxTypedProperty<double>(KFbxProperty::Create(blinn, "DiffuseColor", gKFbxDataTypeNumber, "")).Set(0.5);
    LayerOf(mesh, 0)->SetMaterials(materials);
    WriteValid();
    auto shading = [&](const char* effect) {
        return FindChild(FindChild(FindById(effect), "profile_COMMON"), "technique")->children;
    };
    EXPECT_EQ(ColladaXml::GetName(ColladaXml::FirstElementFrom(shading("MBlinn-fx"))), std::string("phong"));
    xmlNode* constantElement = ColladaXml::FirstElementFrom(shading("Mconstant-fx"));
    EXPECT_EQ(ColladaXml::GetName(constantElement), std::string("constant"));
    EXPECT_EQ(ChildNames(constantElement), (std::vector<std::string>{"emission", "transparent", "transparency"}));
    EXPECT_EQ(ChildText(FindChild(constantElement, "emission"), "color"), "0.500000 0.250000 1.000000 1.000000");
    xmlNode* blinnElement = ColladaXml::FirstElementFrom(shading("Mblinn-fx"));
    EXPECT_EQ(ColladaXml::GetName(blinnElement), std::string("blinn"));
    EXPECT_EQ(ChildText(FindChild(blinnElement, "diffuse"), "color"), "0.000000 0.000000 0.000000 1.000000");
}

TEST_F(ColladaWriterGeometryTest, PatchIsWrittenAsTrianglesOfACopy) {
    KFbxPatch* patch = KFbxPatch::Create(mManager, "Sail");
    ASSERT_TRUE(patch->InitControlPoints(4, KFbxPatch::eBEZIER, 4, KFbxPatch::eBEZIER));
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            patch->GetControlPoints()[j * 4 + i] = Point(i, j, (i * j) % 3);
        }
    }
    patch->SetStep(2, 2);
    KFbxSurfaceMaterial* material = KFbxSurfacePhong::Create(mManager, "Canvas");
    ASSERT_NE(patch->AddMaterial(material), -1);
    KFbxNode* node = KFbxNode::Create(mManager, "Sail");
    node->SetNodeAttribute(patch);
    mScene->GetRootNode()->AddChild(node);
    const int objectsBefore = mManager->GetObjectCount();
    const std::string path = WriteValid();
    EXPECT_TRUE(WriteMessageHas("Nurbs and Patches not supported by COLLADA. Node Sail will be triangulated."));
    EXPECT_EQ(node->GetNodeAttribute(), patch);
    EXPECT_EQ(mManager->GetObjectCount(), objectsBefore);
    EXPECT_NE(mText.find("<instance_material symbol=\"Canvas\" target=\"#Canvas\"/>"), std::string::npos);
    KFbxScene* read = ReadBack(path);
    KFbxMesh* mesh = MeshOf(read, "Sail");
    ASSERT_NE(mesh, nullptr);
    // One bicubic span sampled twice each way: a 3 x 3 grid, two triangles per cell.
    EXPECT_EQ(mesh->GetPolygonCount(), 2 * 2 * 2);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::colladatest
