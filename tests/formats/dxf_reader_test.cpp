// The DXF reader: the three ways of making nodes, polyface meshes, 3D faces,
// layer colours, blocks and inserts, and drawings it must refuse or read in
// part.
#include "formats/DxfTestSupport.h"

#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/formats/KFbxReaderDxf.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>

#include "support/CommandOutput.h"
#include "support/BoundedRun.h"
#include "support/ImportLeftovers.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>

namespace fbxsdk_2006_11_1::dxftest {
namespace {

// Layers Walls (red) and Hidden (green, switched off); a block Crate of one
// quad, inserted twice, the second time moved, scaled and turned.
Drawing Scene() {
    Drawing d;
    d.Section("HEADER").Add({{9, "$ACADVER"}, {1, "AC1008"}}).EndSection();
    d.Section("TABLES").Add({{0, "TABLE"}, {2, "LTYPE"}, {70, "1"}, {0, "LTYPE"}, {2, "CONTINUOUS"}, {0, "ENDTAB"}});
    d.Add({{0, "TABLE"}, {2, "LAYER"}, {70, "2"}});
    d.Add({{0, "LAYER"}, {2, "Walls"}, {70, "0"}, {62, "1"}, {6, "CONTINUOUS"}});
    d.Add({{0, "LAYER"}, {2, "Hidden"}, {70, "0"}, {62, "-3"}, {6, "CONTINUOUS"}});
    d.Add({{0, "ENDTAB"}}).EndSection();
    d.Section("BLOCKS").Block("Crate");
    d.Face("0", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    d.EndBlock().EndSection();
    d.Section("ENTITIES");
    d.Polyface("Walls", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{1, 2, 3}, {1, 3, 4}}, {-1, 5});
    d.Face("Hidden", {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}}, 0);
    d.Face("Walls", {{5, 5, 5}, {6, 5, 5}, {6, 6, 5}, {5, 6, 5}});
    d.Insert("Crate", 5, 0, 0);
    d.Insert("Crate", 0, 5, 0, {{41, "2"}, {42, "3"}, {43, "4"}, {50, "90"}});
    d.Add({{0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {21, "1"}, {31, "1"}});
    d.Add({{0, "CIRCLE"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "1"}});
    return d.EndSection().End();
}

void ExpectCrates(const KFbxScene& scene) {
    const auto child = [&scene](const char* name) { return scene.GetRootNode()->FindChild(name, true); };
    KFbxNode* first = child("Crate");
    KFbxNode* second = child("Crate1");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(MeshOf(first), nullptr);
    EXPECT_EQ(MeshOf(first)->GetPolygonCount(), 1);
    EXPECT_EQ(MeshOf(first)->GetPolygonSize(0), 4);
    KFbxVector4 t;
    KFbxVector4 r;
    KFbxVector4 s;
    first->GetLclTranslation(t);
    EXPECT_EQ(t[0], 5.0);
    second->GetLclTranslation(t);
    second->GetLclRotation(r);
    second->GetLclScaling(s);
    EXPECT_EQ(t[0], 0.0);
    EXPECT_EQ(t[2], -5.0);
    EXPECT_EQ(r[1], 90.0);
    // Lengths along the axes keep their sign: drawing (x, y, z) is scene (x, z, y).
    EXPECT_EQ(s[0], 2.0);
    EXPECT_EQ(s[1], 4.0);
    EXPECT_EQ(s[2], 3.0);
}

TEST_F(DxfTest, IsReaderOneAndWriterFiveOfTheRegistry) {
    const KFbxFileFormatRegistry& registry = KFbxFileFormatRegistry::Get();
    EXPECT_EQ(registry.FindReaderByExtension("a.DXF"), KFbxFileFormatRegistry::eDXF_READER);
    EXPECT_EQ(registry.FindWriterByExtension("a.dxf"), KFbxFileFormatRegistry::eDXF_WRITER);
    EXPECT_STREQ(registry.GetReaderDescription(KFbxFileFormatRegistry::eDXF_READER).Buffer(),
                 "Drawing Exchange DXF (*.dxf)");
    std::unique_ptr<KFbxReader> reader(registry.CreateReader(KFbxFileFormatRegistry::eDXF_READER, *mManager, nullptr));
    EXPECT_NE(dynamic_cast<KFbxReaderDxf*>(reader.get()), nullptr);
}

TEST_F(DxfTest, ByLayerGivesANodePerLayerAfterTheInserts) {
    ASSERT_TRUE(ImportDrawing(Scene(), 0)) << mLastError;
    EXPECT_EQ(ChildNames(), (std::vector<std::string>{"Crate", "Crate1", "Hidden", "Walls"}));
    ExpectCrates(*mScene);

    KFbxMesh* walls = MeshOf(Child("Walls"));
    ASSERT_NE(walls, nullptr);
    EXPECT_EQ(walls->GetControlPointsCount(), 8);
    ASSERT_EQ(walls->GetPolygonCount(), 3);
    // Drawing (1, 1, 0) is scene (1, 0, -1); corners come in the drawing's order.
    EXPECT_EQ(walls->GetPolygonVertex(0, 2), 2);
    EXPECT_EQ(walls->GetControlPoints()[2][2], -1.0);
    // Red from the layer for the uncoloured face and the quad, blue for the other.
    ASSERT_EQ(walls->GetMaterialCount(0), 2);
    const fbxDouble3 red = walls->GetMaterial(0, 0)->FindProperty("DiffuseColor").GetDouble3();
    EXPECT_EQ(red[0], 1.0);
    EXPECT_EQ(red[2], 0.0);
    EXPECT_EQ(walls->GetMaterialIndices()->GetAt(0), 0);
    EXPECT_EQ(walls->GetMaterialIndices()->GetAt(1), 1);
    EXPECT_EQ(walls->GetMaterialIndices()->GetAt(2), 0);

    KFbxNode* hidden = Child("Hidden");
    EXPECT_FALSE(hidden->GetVisibility());
    ASSERT_EQ(MeshOf(hidden)->GetPolygonSize(0), 3);
    const fbxDouble3 green = MeshOf(hidden)->GetMaterial(0, 0)->FindProperty("DiffuseColor").GetDouble3();
    EXPECT_EQ(green[1], 1.0);
    EXPECT_EQ(green[0], 0.0);
}

TEST_F(DxfTest, ByEntityGivesANodePerEntity) {
    ASSERT_TRUE(ImportDrawing(Scene(), 1)) << mLastError;
    EXPECT_EQ(ChildNames(), (std::vector<std::string>{"POLYLINE", "3DFACE", "3DFACE1", "Crate", "Crate1"}));
    ExpectCrates(*mScene);
    EXPECT_EQ(MeshOf(Child("POLYLINE"))->GetPolygonCount(), 2);
    EXPECT_EQ(MeshOf(Child("3DFACE1"))->GetControlPointsCount(), 4);
    EXPECT_TRUE(Child("3DFACE")->GetVisibility());
}

TEST_F(DxfTest, AsOneGivesOneNodeForAllEntities) {
    ASSERT_TRUE(ImportDrawing(Scene(), 2)) << mLastError;
    EXPECT_EQ(ChildNames(), (std::vector<std::string>{"Crate", "Crate1", "ENTITIES"}));
    ExpectCrates(*mScene);
    KFbxMesh* all = MeshOf(Child("ENTITIES"));
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->GetPolygonCount(), 4);
    EXPECT_EQ(all->GetControlPointsCount(), 11);
}

TEST_F(DxfTest, ReferenceNodeTurnsTheSceneBackToZUp) {
    const std::string path = mFolder / "in.dxf";
    ASSERT_TRUE(Scene().Save(path));
    ASSERT_TRUE(Import(path, ReadOptions(0, true, true))) << mLastError;
    ASSERT_EQ(ChildNames(), (std::vector<std::string>{"Fbx_Root"}));
    KFbxVector4 rotation;
    Child("Fbx_Root")->GetLclRotation(rotation);
    EXPECT_EQ(rotation[0], 90.0);
    EXPECT_EQ(Child("Fbx_Root")->GetChildCount(), 4);
}

TEST_F(DxfTest, WeldingMergesSharedCornersOfFaces) {
    Drawing d;
    d.Section("ENTITIES");
    d.Face("L", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    d.Face("L", {{0, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    d.EndSection().End();
    ASSERT_TRUE(ImportDrawing(d, 0, true)) << mLastError;
    EXPECT_EQ(MeshOf(Child("L"))->GetControlPointsCount(), 4);
    ASSERT_TRUE(ImportDrawing(d, 0, false)) << mLastError;
    EXPECT_EQ(MeshOf(Child("L"))->GetControlPointsCount(), 6);

    // Corners a billionth apart, on either side of a whole micrometre.
    Drawing near;
    near.Section("ENTITIES");
    for (const char* x : {"0.0000009995", "0.0000010004"}) {
        near.Add({{0, "3DFACE"},
                  {8, "N"},
                  {10, x},
                  {20, "0"},
                  {30, "0"},
                  {11, "1"},
                  {21, "0"},
                  {31, "0"},
                  {12, "1"},
                  {22, "1"},
                  {32, "0"},
                  {13, "1"},
                  {23, "1"},
                  {33, "0"}});
    }
    near.EndSection().End();
    ASSERT_TRUE(ImportDrawing(near, 0, true)) << mLastError;
    EXPECT_EQ(MeshOf(Child("N"))->GetControlPointsCount(), 3);
}

TEST_F(DxfTest, FacesKeepEveryDistinctCornerAndDropLinesAndPoints) {
    // Corners a, b, c, d in drawing axes; the scene's corners come in the
    // drawing's order and a drawing point (x, y, z) is the scene point (x, z, -y).
    const std::vector<double> a{0, 0, 0}, b{1, 0, 0}, c{1, 1, 0}, d{0, 1, 2};
    const struct {
        const char* what;
        std::vector<std::vector<double>> corners;
        std::vector<std::vector<double>> scene;  // none when dropped
    } cases[] = {
        {"first two equal", {a, a, c, d}, {{0, 0, 0}, {1, 0, -1}, {0, 2, -1}}},
        {"middle two equal", {a, b, b, d}, {{0, 0, 0}, {1, 0, 0}, {0, 2, -1}}},
        {"last equal to first", {a, b, c, a}, {{0, 0, 0}, {1, 0, 0}, {1, 0, -1}}},
        {"last two equal", {a, b, c, c}, {{0, 0, 0}, {1, 0, 0}, {1, 0, -1}}},
        {"four corners", {a, b, c, d}, {{0, 0, 0}, {1, 0, 0}, {1, 0, -1}, {0, 2, -1}}},
        {"two pairs equal", {a, a, c, c}, {}},
        {"all equal", {b, b, b, b}, {}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        Drawing drawing;
        drawing.Section("ENTITIES").Face("L", test.corners).Face("Other", {a, b, c}).EndSection().End();
        ASSERT_TRUE(ImportDrawing(drawing, 0)) << mLastError;
        KFbxMesh* mesh = MeshOf(Child("L"));
        if (test.scene.empty()) {
            EXPECT_EQ(mesh, nullptr);
            continue;
        }
        ASSERT_NE(mesh, nullptr);
        ASSERT_EQ(mesh->GetPolygonCount(), 1);
        ASSERT_EQ(mesh->GetPolygonSize(0), static_cast<int>(test.scene.size()));
        for (int k = 0; k < mesh->GetPolygonSize(0); ++k) {
            const KFbxVector4 point = mesh->GetControlPoints()[mesh->GetPolygonVertex(0, k)];
            EXPECT_EQ((std::vector<double>{point[0], point[1], point[2]}), test.scene[static_cast<std::size_t>(k)])
                << "corner " << k;
        }
    }

    // Polyface faces stay as written, a vertex named twice included.
    Drawing polyface;
    polyface.Section("ENTITIES");
    polyface.Polyface("P", {a, b, c, d}, {{1, 2, 2}, {1, 2, 3}, {1, 1, 3, 4}});
    polyface.EndSection().End();
    ASSERT_TRUE(ImportDrawing(polyface, 0)) << mLastError;
    KFbxMesh* mesh = MeshOf(Child("P"));
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetPolygonCount(), 3);
    const std::vector<int> written = {0, 1, 1, 0, 1, 2, 0, 0, 2, 3};
    EXPECT_EQ(std::vector<int>(mesh->GetPolygonVertices(), mesh->GetPolygonVertices() + mesh->GetPolygonVertexCount()),
              written);
}

// How many faces of one list have no face of the other with the same
// corners (each face matched once).
std::size_t Unmatched(const std::vector<Corners>& ours, std::vector<Corners> theirs) {
    std::size_t unmatched = 0;
    for (const Corners& face : ours) {
        const auto same = std::find_if(theirs.begin(), theirs.end(), [&](const Corners& other) {
            return other.size() == face.size() && std::all_of(face.begin(), face.end(), [&](const auto& corner) {
                       return std::any_of(other.begin(), other.end(),
                                          [&](const auto& near) { return Near(corner, near); });
                   });
        });
        if (same == theirs.end()) {
            ++unmatched;
        } else {
            theirs.erase(same);
        }
    }
    return unmatched + theirs.size();
}

TEST_F(DxfTest, TheDistributionsDrawingsReadWithTheFacesAndTurnsAssimpReads) {
    if (!ProgramInstalled("assimp")) {
        GTEST_SKIP() << "assimp is not installed";
    }
    const struct {
        const char* file;
        std::size_t faces;  // 0: as many as assimp's triangles, not compared
    } drawings[] = {{"PinkEggFromLW.dxf", 288}, {"wuson.dxf", 0}};
    for (const auto& drawing : drawings) {
        SCOPED_TRACE(drawing.file);
        const std::string path = std::string("/usr/share/assimp/models/DXF/") + drawing.file;
        if (!std::filesystem::exists(path)) {
            GTEST_SKIP() << "assimp's test models are not installed";
        }
        const std::string obj = mFolder / "theirs.obj";
        ASSERT_EQ(std::system(("assimp export '" + path + "' '" + obj + "' > /dev/null 2>&1").c_str()), 0);
        // Both turn the drawing's Z up into Y up the same way.
        const std::vector<Corners> theirs = ObjFaces(obj);

        ASSERT_TRUE(Import(path, ReadOptions(0))) << mLastError;
        std::vector<Corners> ours;
        for (int n = 0; n < mScene->GetNodeCount(); ++n) {
            KFbxMesh* mesh = MeshOf(mScene->GetNode(n));
            const KgeMatrix global(mScene->GetNode(n)->EvaluateDefaultGlobalTransform());
            for (int p = 0; mesh != nullptr && p < mesh->GetPolygonCount(); ++p) {
                Corners face;
                for (int k = 0; k < mesh->GetPolygonSize(p); ++k) {
                    const KFbxVector4 point = global.MultT(mesh->GetControlPoints()[mesh->GetPolygonVertex(p, k)]);
                    AddCorner(face, {point[0], point[1], point[2]});
                }
                ours.push_back(face);
            }
        }
        if (drawing.faces > 0) {
            EXPECT_EQ(theirs.size(), drawing.faces);
            EXPECT_EQ(ours.size(), drawing.faces);
            EXPECT_EQ(Unmatched(ours, theirs), 0u);
        }
        // The faces turn the way the drawing turns them, as assimp's do.
        const double volume = SignedVolume(theirs);
        EXPECT_GT(std::fabs(volume), 1e-3);
        EXPECT_NEAR(SignedVolume(ours), volume, 1e-6 * std::fabs(volume));
    }
}

TEST_F(DxfTest, ColourByLayerTakesTheLayersColour) {
    // Layer Red is colour 1 and Off colour -5 (blue, switched off). Entities
    // of colour 256 follow their layer, whatever came before them.
    Drawing d;
    d.Section("TABLES").Add({{0, "TABLE"}, {2, "LAYER"}});
    d.Add({{0, "LAYER"}, {2, "Red"}, {62, "1"}}).Add({{0, "LAYER"}, {2, "Off"}, {62, "-5"}});
    d.Add({{0, "ENDTAB"}}).EndSection().Section("ENTITIES");
    d.Face("Red", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, 3);
    d.Face("Red", {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}}, 256);
    d.Face("Off", {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}}, 256);
    d.Polyface("Off", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, {{1, 2, 3}, {1, 2, 3}}, {3, 256});
    d.EndSection().End();
    const auto colourOf = [](KFbxMesh* mesh, int polygon) {
        const int index = mesh->GetMaterialIndices()->GetAt(polygon);
        const fbxDouble3 rgb = mesh->GetMaterial(index, 0)->FindProperty("DiffuseColor").GetDouble3();
        return std::vector<double>{rgb[0], rgb[1], rgb[2]};
    };
    for (int derivation : {0, 2}) {
        SCOPED_TRACE(derivation);
        ASSERT_TRUE(ImportDrawing(d, derivation)) << mLastError;
        KFbxMesh* red = MeshOf(Child(derivation == 0 ? "Red" : "ENTITIES"));
        ASSERT_NE(red, nullptr);
        EXPECT_EQ(colourOf(red, 0), (std::vector<double>{0, 1, 0}));
        EXPECT_EQ(colourOf(red, 1), (std::vector<double>{1, 0, 0}));
        KFbxMesh* off = derivation == 0 ? MeshOf(Child("Off")) : red;
        const int first = derivation == 0 ? 0 : 2;
        EXPECT_EQ(colourOf(off, first), (std::vector<double>{0, 0, 1}));
        EXPECT_EQ(colourOf(off, first + 1), (std::vector<double>{0, 1, 0}));
        EXPECT_EQ(colourOf(off, first + 2), (std::vector<double>{0, 0, 1}));
    }
}

TEST_F(DxfTest, OnlyRegularFilesAreOpened) {
    const std::string fifo = mFolder / "pipe.dxf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Opening a FIFO for reading would wait for a writer that never comes.
    EXPECT_FALSE(Import(fifo, ReadOptions(0)));
    EXPECT_NE(mLastError.find("not a regular file"), std::string::npos) << mLastError;
    KFbxReaderDxf reader(*mManager, nullptr);
    EXPECT_FALSE(reader.FileOpen(mFolder.Path().c_str()));
    EXPECT_EQ(reader.GetError().GetLastErrorID(), KFbxReader::eFILE_NOT_OPENED);
    EXPECT_FALSE(reader.FileOpen(fifo.c_str()));
    EXPECT_NE(std::string(reader.GetError().GetLastErrorString()).find(fifo), std::string::npos);
}

TEST_F(DxfTest, APlain3DPolylineGivesAnEmptyMeshByEntity) {
    Drawing d;
    d.Section("ENTITIES").Add({{0, "POLYLINE"}, {8, "0"}, {66, "1"}, {70, "8"}});
    for (int i = 0; i < 3; ++i) {
        d.Add({{0, "VERTEX"}, {8, "0"}, {10, std::to_string(i)}, {20, "0"}, {30, "0"}, {70, "32"}});
    }
    d.Add({{0, "SEQEND"}, {8, "0"}}).Face("F", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}).EndSection().End();
    ASSERT_TRUE(ImportDrawing(d, 1)) << mLastError;
    EXPECT_EQ(ChildNames(), (std::vector<std::string>{"POLYLINE", "3DFACE"}));
    ASSERT_NE(MeshOf(Child("POLYLINE")), nullptr);
    EXPECT_EQ(MeshOf(Child("POLYLINE"))->GetControlPointsCount(), 0);
}

TEST_F(DxfTest, CrLfAndCrLineEndsAndAByteOrderMarkReadAlike) {
    Drawing d;
    d.Section("ENTITIES").Face("F", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}).EndSection().End();
    std::string crlf;
    std::string cr;
    for (char c : d.Text()) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    for (const std::string& text : {crlf, cr, "\xEF\xBB\xBF" + d.Text()}) {
        Drawing other;
        other.Raw(text);
        ASSERT_TRUE(ImportDrawing(other, 0)) << mLastError;
        ASSERT_NE(MeshOf(Child("F")), nullptr);
        EXPECT_EQ(MeshOf(Child("F"))->GetControlPointsCount(), 3);
    }
}

TEST_F(DxfTest, ColourNumbersFollowThePalette) {
    const auto rgb = [](int color) {
        double value[3] = {1.0, 1.0, 1.0};
        KFbxReaderDxf::ColorIndexToRgb(color, value);
        return std::vector<double>(value, value + 3);
    };
    EXPECT_EQ(rgb(1), (std::vector<double>{1, 0, 0}));
    EXPECT_EQ(rgb(11), (std::vector<double>{1, 0.5, 0.5}));
    EXPECT_EQ(rgb(14), (std::vector<double>{0.5, 0, 0}));
    EXPECT_EQ(rgb(50), (std::vector<double>{1, 1, 0}));
    EXPECT_EQ(rgb(130), (std::vector<double>{0, 1, 1}));
    EXPECT_EQ(rgb(170), (std::vector<double>{0, 0, 1}));
    EXPECT_EQ(rgb(210), (std::vector<double>{1, 0, 1}));
    EXPECT_NEAR(rgb(250)[0], 0.33, 1e-12);
    EXPECT_NEAR(rgb(255)[2], 1.0, 1e-12);
    EXPECT_EQ(rgb(256), (std::vector<double>{1, 1, 1}));
    EXPECT_EQ(rgb(0), (std::vector<double>{1, 1, 1}));
}

TEST(DxfPairs, IntegersAreWholeNumbersInTheIntRangeWithBlanksAround) {
    const struct {
        const char* text;
        bool read;
        int value;
    } cases[] = {
        {"   128", true, 128},     {"+7 ", true, 7},          {"-12", true, -12},
        {"007", true, 7},          {"2147483647", true, 2147483647},
        {"-2147483648", true, std::numeric_limits<int>::min()},
        {"2147483648", false, 0},  {"-", false, 0},           {"+", false, 0},
        {"", false, 0},            {"1 2", false, 0},         {"12a", false, 0},
        {"1.0", false, 0},         {"999999999", true, 999999999},
    };
    for (const auto& test : cases) {
        int value = 0;
        EXPECT_EQ(KFbxDxfPairs::ToInt(test.text, value), test.read) << test.text;
        if (test.read) {
            EXPECT_EQ(value, test.value) << test.text;
        }
    }
}

TEST_F(DxfTest, MaterialsComeOnePerColourAndAnotherReadStartsAfresh) {
    Drawing d;
    d.Section("ENTITIES");
    d.Face("A", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, 3);
    d.Face("B", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, 3);
    d.Face("B", {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}}, 256);
    d.EndSection().End();
    const std::string path = mFolder / "in.dxf";
    ASSERT_TRUE(d.Save(path));
    KFbxImporter* importer = KFbxImporter::Create(mManager, "");
    ASSERT_TRUE(importer->Initialize(path.c_str()));
    ASSERT_TRUE(importer->Import(mScene, ReadOptions(0)));
    KFbxMesh* a = MeshOf(mScene->GetRootNode()->FindChild("A"));
    KFbxMesh* b = MeshOf(mScene->GetRootNode()->FindChild("B"));
    ASSERT_EQ(b->GetMaterialCount(0), 1);
    EXPECT_EQ(a->GetMaterial(0, 0), b->GetMaterial(0, 0));
    EXPECT_STREQ(a->GetMaterial(0, 0)->GetName(), "Material0");
    EXPECT_EQ(mScene->GetMaterialCount(), 1);
    // Colour 256 takes no material: index 0.
    EXPECT_EQ(b->GetMaterialIndices()->GetAt(1), 0);
    importer->Destroy();

    KFbxScene* other = KFbxScene::Create(mManager, "other");
    importer = KFbxImporter::Create(mManager, "");
    ASSERT_TRUE(importer->Initialize(path.c_str()));
    ASSERT_TRUE(importer->Import(other, ReadOptions(0)));
    KFbxMesh* again = MeshOf(other->GetRootNode()->FindChild("A"));
    EXPECT_NE(again->GetMaterial(0, 0), a->GetMaterial(0, 0));
    EXPECT_STREQ(again->GetMaterial(0, 0)->GetName(), "Material0");
    importer->Destroy();
}

TEST_F(DxfTest, NestedInsertKeepsAnEmptyNodeWithTheInnerBlockUnderIt) {
    Drawing d;
    d.Section("BLOCKS").Block("Inner");
    d.Face("0", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    d.EndBlock().Block("Outer").Insert("Inner", 1, 2, 3).EndBlock().EndSection();
    d.Section("ENTITIES").Insert("Outer", 10, 0, 0).EndSection().End();
    ASSERT_TRUE(ImportDrawing(d, 0)) << mLastError;
    ASSERT_EQ(ChildNames(), (std::vector<std::string>{"Outer"}));
    KFbxNode* outer = Child("Outer");
    EXPECT_EQ(outer->GetNodeAttribute(), nullptr);
    ASSERT_EQ(ChildNames(outer), (std::vector<std::string>{"Inner"}));
    KFbxVector4 t;
    Child("Inner")->GetLclTranslation(t);
    EXPECT_EQ(t[0], 1.0);
    EXPECT_EQ(t[1], 3.0);
    EXPECT_EQ(t[2], -2.0);
}

TEST_F(DxfTest, BlockPointsAreTakenFromTheBaseAndEOFNeedsNoLineEnd) {
    Drawing d;
    d.Section("BLOCKS").Add({{0, "BLOCK"}, {2, "B"}, {10, "1"}, {20, "0"}, {30, "0"}});
    d.Face("0", {{1, 0, 0}, {2, 0, 0}, {2, 1, 0}});
    d.EndBlock().EndSection().Section("ENTITIES").Insert("B", 0, 0, 0).EndSection().Raw("0\nEOF");
    ASSERT_TRUE(ImportDrawing(d, 0)) << mLastError;
    EXPECT_EQ(MeshOf(Child("B"))->GetControlPoints()[0][0], 0.0);
}

TEST_F(DxfTest, InsertedBlockLandsWhereTheDrawingPutsIt) {
    // A point 1 east of the base, scaled by 2 and turned a quarter left
    // about the drawing's up axis, inserted at (10, 20, 30): (10, 22, 30).
    Drawing d;
    d.Section("BLOCKS").Add({{0, "BLOCK"}, {2, "B"}, {10, "5"}, {20, "0"}, {30, "0"}});
    d.Face("0", {{6, 0, 0}, {7, 0, 0}, {7, 1, 0}});
    d.EndBlock().EndSection();
    d.Section("ENTITIES").Insert("B", 10, 20, 30, {{41, "2"}, {42, "2"}, {43, "2"}, {50, "90"}}).EndSection().End();
    ASSERT_TRUE(ImportDrawing(d, 0)) << mLastError;
    KFbxNode* node = Child("B");
    KFbxMesh* mesh = MeshOf(node);
    ASSERT_NE(mesh, nullptr);
    // The face's corners come in the drawing's order: (6, 0, 0) is the first point.
    const KFbxVector4 world = KgeMatrix(node->EvaluateDefaultGlobalTransform()).MultT(mesh->GetControlPoints()[0]);
    // Drawing (10, 22, 30) is scene (10, 30, -22).
    EXPECT_NEAR(world[0], 10.0, 1e-9);
    EXPECT_NEAR(world[1], 30.0, 1e-9);
    EXPECT_NEAR(world[2], -22.0, 1e-9);
}

// ---- bad input -------------------------------------------------------------

TEST_F(DxfTest, TruncatedDrawingIsCorruptAndKeepsWhatWasRead) {
    Drawing d;
    d.Section("ENTITIES");
    d.Face("A", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    d.Face("B", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    d.Raw("  0\n3DFACE\n 10\n");  // a group code without its value line
    EXPECT_FALSE(ImportDrawing(d, 1));
    EXPECT_EQ(mLastErrorId, KFbxReader::eFILE_CORRUPTED);
    EXPECT_EQ(ChildNames(), (std::vector<std::string>{"3DFACE", "3DFACE1"}));
}

TEST_F(DxfTest, ImportsLeaveNothingBehind) {
    const std::filesystem::path seeds = std::filesystem::path(__FILE__).parent_path() / "../../fuzz/dxf_seeds";
    auto files = importleftovers::FilesWholeAndCut(seeds);
    files.emplace_back("a line that is no pair", "  0\nSECTION\n  2\nENTITIES\nabc\nvalue\n");
    for (const auto& [what, bytes] : files) {
        EXPECT_EQ(importleftovers::LeftByTwoImports(*mManager, mFolder.Write("leftovers.dxf", bytes)), "") << what;
    }
}

TEST_F(DxfTest, LinesThatAreNoPairsAreReportedWithTheirLine) {
    Drawing d;
    d.Section("ENTITIES").Raw("abc\nvalue\n").EndSection().End();
    EXPECT_FALSE(ImportDrawing(d, 0));
    EXPECT_EQ(mLastErrorId, KFbxReader::eFILE_CORRUPTED);

    Drawing empty;
    EXPECT_FALSE(ImportDrawing(empty, 0));
    Drawing noEntities;
    noEntities.Section("HEADER").EndSection().End();
    EXPECT_TRUE(ImportDrawing(noEntities, 0)) << mLastError;
    EXPECT_TRUE(ChildNames().empty());
}

TEST_F(DxfTest, LongNamesAreKeptWhole) {
    const std::string name(5000, 'n');
    Drawing d;
    d.Section("ENTITIES").Face(name + " two", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}).EndSection().End();
    ASSERT_TRUE(ImportDrawing(d, 0)) << mLastError;
    ASSERT_EQ(ChildNames().size(), 1u);
    EXPECT_EQ(ChildNames()[0].size(), name.size() + 4);
}

TEST_F(DxfTest, BadNumbersAndVertexNumbersLeaveOutTheirEntityOnly) {
    Drawing d;
    d.Section("ENTITIES");
    d.Add({{0, "3DFACE"}, {8, "A"}, {10, "nan"}, {11, "1"}, {12, "1"}, {22, "1"}});
    d.Add({{0, "3DFACE"}, {8, "A"}, {10, "1e999"}, {11, "1"}, {12, "1"}, {22, "1"}});
    d.Polyface("P", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, {{1, 2, 4}, {0, 1, 2}, {-1, 2, 3}, {1, 2}, {1, 2, 3, 99999}});
    d.Add({{0, "SPLINE"}, {8, "0"}, {70, "8"}});
    // Group codes at the ends of the int range are no corner's.
    d.Face("A", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}).Add({{std::numeric_limits<int>::min(), "5"}, {std::numeric_limits<int>::max(), "5"}});
    d.EndSection().End();
    ASSERT_TRUE(ImportDrawing(d, 0)) << mLastError;
    EXPECT_EQ(MeshOf(Child("A"))->GetPolygonCount(), 1);
    // Only the face with a negative (hidden edge) number is whole.
    EXPECT_EQ(MeshOf(Child("P"))->GetPolygonCount(), 1);
    EXPECT_NE(mMessage.find("no number"), std::string::npos) << mMessage;
    EXPECT_NE(mMessage.find("does not have"), std::string::npos) << mMessage;
    EXPECT_NE(mMessage.find("fewer than three"), std::string::npos) << mMessage;
    // The first bad face starts on line 5, after the section's two pairs.
    EXPECT_EQ(mMessage.rfind("Line 5: ", 0), 0u) << mMessage;
}

TEST_F(DxfTest, MissingAndSelfInsertingBlocksAreLeftOutWithAWarning) {
    Drawing d;
    d.Section("BLOCKS");
    d.Block("Self").Face("0", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}).Insert("Self", 1, 0, 0).EndBlock();
    d.Block("A").Insert("B", 0, 0, 0).EndBlock().Block("B").Insert("A", 0, 0, 0).EndBlock();
    d.EndSection().Section("ENTITIES");
    d.Insert("Nowhere", 0, 0, 0).Insert("Self", 0, 0, 0).Insert("A", 0, 0, 0);
    d.Face("F", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    d.EndSection().End();
    ASSERT_TRUE(ImportDrawing(d, 0)) << mLastError;
    EXPECT_EQ(ChildNames(), (std::vector<std::string>{"Self", "F"}));
    EXPECT_EQ(Child("Self")->GetChildCount(), 0);
    EXPECT_NE(mMessage.find("does not exist"), std::string::npos) << mMessage;
    EXPECT_NE(mMessage.find("inserts itself"), std::string::npos) << mMessage;
}

TEST_F(DxfTest, BlocksInsertingEachOtherManyTimesStayWithinTheDrawingsSize) {
    Drawing d;
    d.Section("BLOCKS").Block("B0").Face("0", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}).EndBlock();
    for (int level = 1; level < 40; ++level) {
        d.Block("B" + std::to_string(level));
        d.Insert("B" + std::to_string(level - 1), 0, 0, 0).Insert("B" + std::to_string(level - 1), 1, 0, 0);
        d.EndBlock();
    }
    d.EndSection().Section("ENTITIES").Insert("B39", 0, 0, 0).EndSection().End();
    ASSERT_TRUE(ImportDrawing(d, 0)) << mLastError;
    EXPECT_LT(mScene->GetNodeCount(), 200000);
    EXPECT_NE(mMessage.find("more than the drawing can hold"), std::string::npos) << mMessage;
}


// Ten blocks, each inserting the one before ten times: 10^10 copies of a face.
Drawing TenfoldInserts() {
    Drawing d;
    d.Section("BLOCKS").Block("B0").Face("0", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}).EndBlock();
    for (int level = 1; level <= 10; ++level) {
        d.Block("B" + std::to_string(level));
        for (int copy = 0; copy < 10; ++copy) {
            d.Insert("B" + std::to_string(level - 1), copy, 0, 0);
        }
        d.EndBlock();
    }
    return d.EndSection().Section("ENTITIES").Insert("B10", 0, 0, 0).EndSection().End();
}

// A block of a face and many inserts of itself, inserted as many times.
Drawing SelfInserts(int count) {
    Drawing d;
    d.Section("BLOCKS").Block("Self").Face("0", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    for (int i = 0; i < count; ++i) {
        d.Insert("Self", i, 0, 0);
    }
    d.EndBlock().EndSection().Section("ENTITIES");
    for (int i = 0; i < count; ++i) {
        d.Insert("Self", 0, i, 0);
    }
    return d.EndSection().End();
}

// Inserts of a block whose text runs into a long stretch of blank lines, and
// no pair after them.
Drawing InsertsOfABlockCutShort(int count) {
    Drawing d;
    d.Section("ENTITIES");
    for (int i = 0; i < count; ++i) {
        d.Insert("B", i, 0, 0);
    }
    d.EndSection().Section("BLOCKS").Block("B").Face("0", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    return d.Raw(std::string(4 << 20, '\n')).Raw("  0\nENDBLK\n").EndSection().End();
}

Drawing BadFaces(int count) {
    Drawing d;
    d.Section("ENTITIES");
    for (int i = 0; i < count; ++i) {
        d.Add({{0, "3DFACE"}, {8, "A"}, {10, "nan"}, {11, "1"}, {12, "1"}, {22, "1"}});
    }
    return d.Face("A", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}).EndSection().End();
}

// The scene with the word of the SECTION that opens its entities damaged.
Drawing EntitiesSectionWordDamaged() {
    std::string text = Scene().Text();
    return Drawing().Raw(text.replace(text.rfind("SECTION", text.find("ENTITIES")), 7, "SECTIOM"));
}

// The drawing with the ENDSEC word of the section named damaged, and what
// the read must say of the SECTION that then stands inside that section.
std::pair<Drawing, std::string> SectionEndDamaged(const Drawing& whole, const std::string& section) {
    std::string text = whole.Text();
    const std::size_t end = text.find("\n0\nENDSEC\n", text.find("\n2\n" + section + "\n")) + 3;
    text.replace(end, 6, "ENDSEX");
    const std::size_t next = text.find("\n0\nSECTION\n", end) + 1;
    const auto line = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(next), '\n') + 1;
    return {Drawing().Raw(text), "Line " + std::to_string(line) + ": SECTION inside the " + section + " section"};
}

TEST_F(DxfTest, HostileDrawingsStayWithinTheirBounds) {
    const auto [headerEnd, inHeader] = SectionEndDamaged(Scene(), "HEADER");
    const auto [tablesEnd, inTables] = SectionEndDamaged(Scene(), "TABLES");
    const auto [blocksEnd, inBlocks] = SectionEndDamaged(Scene(), "BLOCKS");
    Drawing entitiesFirst;
    entitiesFirst.Section("ENTITIES").Insert("B", 0, 0, 0).EndSection();
    entitiesFirst.Section("BLOCKS").Block("B").Face("0", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}).EndBlock().EndSection();
    const auto [entitiesEnd, inEntities] = SectionEndDamaged(entitiesFirst.End(), "ENTITIES");
    const struct {
        const char* what;
        Drawing drawing;
        // What must be in the scene and the message afterwards; for a
        // drawing that fails, what the error must say.
        int minimumNodes;
        std::string warning;
        bool fails = false;
    } cases[] = {
        {"inserts that multiply tenfold ten times", TenfoldInserts(), 100, "more than the drawing can hold"},
        {"a block inserting itself, inserted as often", SelfInserts(1500), 50, "inserts itself"},
        {"faces that warn", BadFaces(2000), 1, "no number"},
        {"inserts of a block cut short by blank lines", InsertsOfABlockCutShort(2000), 50, "does not end"},
        {"a damaged SECTION word", EntitiesSectionWordDamaged(), 0, "pair outside any SECTION: \"SECTIOM\"", true},
        {"ENDSEC damaged after HEADER", headerEnd, 0, inHeader, true},
        {"ENDSEC damaged after TABLES", tablesEnd, 0, inTables, true},
        {"ENDSEC damaged after BLOCKS", blocksEnd, 0, inBlocks, true},
        {"ENDSEC damaged after ENTITIES", entitiesEnd, 0, inEntities, true},
        {"no ENTITIES section", Drawing().Section("HEADER").EndSection().End(), 0,
         "holds no scene content: it has no ENTITIES"},
        {"entities of lines only", Drawing().Section("ENTITIES").Add({{0, "LINE"}, {8, "0"}}).EndSection().End(), 0,
         "holds no scene content: no 3DFACE"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const std::string path = mFolder / "hostile.dxf";
        ASSERT_TRUE(test.drawing.Save(path));
        const std::int64_t bytes = static_cast<std::int64_t>(test.drawing.Text().size());
        const boundedrun::Outcome outcome = boundedrun::Run(
            [&] {
                if (test.fails) {
                    const bool refused = !Import(path, ReadOptions(0)) && mLastErrorId == KFbxReader::eFILE_CORRUPTED;
                    return refused && mLastError.find(test.warning) != std::string::npos ? 1 : 0;
                }
                const bool kept =
                    Import(path, ReadOptions(0)) && mScene->GetNodeCount() > test.minimumNodes &&
                    mMessage.find(test.warning) != std::string::npos &&
                    // Each line of the drawing warns at most once.
                    static_cast<std::size_t>(std::count(mMessage.begin(), mMessage.end(), '\n')) <=
                        test.drawing.Text().size() / 4;
                return kept ? 1 : 0;
            },
            boundedrun::SecondsFor(bytes));
        ASSERT_TRUE(outcome.mReturned) << "signal " << outcome.mSignal;
        EXPECT_EQ(outcome.mValue, 1) << "the import failed or missed what it must keep";
        if (!boundedrun::kSanitized) {
            // 64 MB, and what the drawing's own content may fill.
            EXPECT_LT(outcome.mAddedBytes, 64 * boundedrun::kMegabyte + 32 * bytes);
        }
    }
}

TEST_F(DxfTest, ADrawingFullOfFaultsKeepsTheFirstWarningsAndCountsTheRest) {
    Drawing d = BadFaces(KFbxReader::kKeptWarnings + 500);
    ASSERT_TRUE(ImportDrawing(d, 0)) << mLastError;
    EXPECT_EQ(std::count(mMessage.begin(), mMessage.end(), '\n'), KFbxReader::kKeptWarnings + 1);
    EXPECT_NE(mMessage.find("\n(500 more warnings not shown)\n"), std::string::npos);
    // Another read starts its count afresh.
    Drawing few = BadFaces(2);
    ASSERT_TRUE(ImportDrawing(few, 0)) << mLastError;
    EXPECT_EQ(mMessage.find("more warnings"), std::string::npos) << mMessage;
}

TEST_F(DxfTest, ReadNeedsAnOpenFileAndItsOwnOptions) {
    KFbxReaderDxf reader(*mManager, nullptr);
    EXPECT_FALSE(reader.Read(mScene, ReadOptions(0)));
    EXPECT_EQ(reader.GetError().GetLastErrorID(), KFbxReader::eFILE_NOT_OPENED);
    EXPECT_EQ(reader.GetReadOptions(), nullptr);
    EXPECT_FALSE(reader.FileOpen((mFolder / "missing.dxf").c_str()));
    const std::string path = mFolder / "in.dxf";
    ASSERT_TRUE(Scene().Save(path));
    ASSERT_TRUE(reader.FileOpen(path.c_str()));
    KFbxStreamOptions* defaults = reader.GetReadOptions();
    ASSERT_NE(dynamic_cast<KFbxStreamOptionsDxfReader*>(defaults), nullptr);
    EXPECT_EQ(defaults->GetIntOption("OBJECT DERIVATION", -1), 0);
    EXPECT_TRUE(defaults->GetBoolOption("WELD VERTICES", false));
    // Without options of its caller's the importer asks the reader for its own.
    EXPECT_TRUE(Import(path, nullptr)) << mLastError;
    EXPECT_EQ(ChildNames(), (std::vector<std::string>{"Crate", "Crate1", "Hidden", "Walls"}));
    KFbxStreamOptions* foreign = KFbxStreamOptionsObjReader::Create(mManager, "");
    EXPECT_FALSE(reader.Read(mScene, foreign));
    EXPECT_EQ(reader.GetError().GetLastErrorID(), KFbxReader::eSTREAM_OPTIONS_NOT_SET);
    EXPECT_TRUE(reader.FileClose());
    EXPECT_FALSE(reader.IsFileOpen());
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::dxftest
