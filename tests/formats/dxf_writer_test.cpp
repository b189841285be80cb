// The DXF writer: its exact text, colour numbers, and drawings that read
// back with the same faces per layer, open in an independent reader, and
// leave the caller's scene as it was.
#include "formats/DxfTestSupport.h"

#include <fbxfilesdk/formats/KFbxReaderDxf.h>
#include <fbxfilesdk/formats/KFbxWriterDxf.h>
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxShape.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>

#include "support/CommandOutput.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <cstdlib>
#include <map>

namespace fbxsdk_2006_11_1::dxftest {
namespace {

class DxfWriterTest : public DxfTest {
protected:
    KFbxSurfaceLambert* Material(const char* name, double r, double g, double b, double factor = 1.0) {
        KFbxSurfaceLambert* material = KFbxSurfaceLambert::Create(mManager, name);
        const fbxDouble3 color(r, g, b);
        material->GetDiffuseColor().Set(&color, eFbxValueDouble3);
        material->GetDiffuseFactor().Set(&factor, eFbxValueDouble);
        return material;
    }

    KFbxMesh* AddMesh(KFbxNode* node, const std::vector<KFbxVector4>& points,
                      const std::vector<std::vector<int>>& polygons) {
        KFbxMesh* mesh = KFbxMesh::Create(mManager, "");
        mesh->InitControlPoints(static_cast<int>(points.size()));
        for (std::size_t i = 0; i < points.size(); ++i) {
            mesh->GetControlPoints()[i] = points[i];
        }
        for (const auto& polygon : polygons) {
            mesh->BeginPolygon();
            for (int index : polygon) {
                mesh->AddPolygonVertex(index);
            }
            mesh->EndPolygon();
        }
        node->SetNodeAttribute(mesh);
        return mesh;
    }

    KFbxStreamOptions* WriteOptions(bool triangulate, bool deformation = true) {
        KFbxStreamOptions* options = KFbxStreamOptionsDxfWriter::Create(mManager, "");
        options->SetOption("TRIANGULATE", triangulate);
        options->SetOption("DEFORMATION", deformation);
        return options;
    }

    std::vector<std::string> Written(bool triangulate, const char* name = "out.dxf") {
        const std::string path = mFolder / name;
        EXPECT_TRUE(Export(path, KFbxFileFormatRegistry::eDXF_WRITER, WriteOptions(triangulate))) << mLastError;
        return ReadLines(path);
    }

    // A red-brown cube moved by (1, 2, 3); under it a hidden pentagon and
    // triangle named with a blank; beside it, under an empty node, two
    // triangles coloured by polygon.
    void BuildScene() {
        KFbxNode* box = AddNode("Box");
        box->SetLclTranslation(KFbxVector4(1, 2, 3, 0));
        KFbxMesh* cube = AddMesh(box,
                                 {{0, 0, 0, 1},
                                  {1, 0, 0, 1},
                                  {1, 1, 0, 1},
                                  {0, 1, 0, 1},
                                  {0, 0, 1, 1},
                                  {1, 0, 1, 1},
                                  {1, 1, 1, 1},
                                  {0, 1, 1, 1}},
                                 {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}});
        cube->AddMaterial(Material("brown", 1, 0, 0, 0.5));

        KFbxNode* part = AddNode("Hidden part", box);
        part->SetVisibility(false);
        KFbxMesh* pentagon = AddMesh(part, {{0, 0, 0, 1}, {2, 0, 0, 1}, {3, 1, 0, 1}, {1, 2, 0, 1}, {-1, 1, 0, 1}},
                                     {{0, 1, 2, 3, 4}, {0, 2, 3}});
        pentagon->AddMaterial(Material("green", 0, 1, 0));

        KFbxNode* empty = AddNode("Empty");
        KFbxNode* tri = AddNode("Tri", empty);
        KFbxMesh* pair = AddMesh(tri, {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}}, {});
        pair->AddMaterial(Material("red", 1, 0, 0));
        pair->AddMaterial(Material("blue", 0, 0, 1));
        pair->BeginPolygon(0);
        for (int i : {0, 1, 2}) {
            pair->AddPolygonVertex(i);
        }
        pair->EndPolygon();
        pair->BeginPolygon(1);
        for (int i : {1, 3, 2}) {
            pair->AddPolygonVertex(i);
        }
        pair->EndPolygon();
    }

    // The scene's polygons in world space, by node name, larger polygons
    // fanned from their first corner.
    static std::map<std::string, std::vector<std::vector<std::vector<double>>>> Faces(KFbxNode* node, bool fan) {
        std::map<std::string, std::vector<std::vector<std::vector<double>>>> faces;
        Collect(node, fan, faces);
        return faces;
    }
    static void Collect(KFbxNode* node, bool fan,
                        std::map<std::string, std::vector<std::vector<std::vector<double>>>>& faces) {
        if (KFbxMesh* mesh = MeshOf(node)) {
            const KgeMatrix global(node->EvaluateDefaultGlobalTransform());
            const auto corner = [&](int p, int k) {
                const KFbxVector4 world = global.MultT(mesh->GetControlPoints()[mesh->GetPolygonVertex(p, k)]);
                return std::vector<double>{world[0], world[1], world[2]};
            };
            auto& list = faces[node->GetName()];
            for (int p = 0; p < mesh->GetPolygonCount(); ++p) {
                const int size = mesh->GetPolygonSize(p);
                if (size <= (fan ? 3 : 4)) {
                    std::vector<std::vector<double>> polygon;
                    for (int k = 0; k < size; ++k) {
                        polygon.push_back(corner(p, k));
                    }
                    list.push_back(polygon);
                    continue;
                }
                for (int k = 1; k + 1 < size; ++k) {
                    list.push_back({corner(p, 0), corner(p, k), corner(p, k + 1)});
                }
            }
        }
        for (int i = 0; i < node->GetChildCount(); ++i) {
            Collect(node->GetChild(i), fan, faces);
        }
    }
};

TEST_F(DxfWriterTest, AnEmptySceneWritesTheFixedSectionsOnly) {
    const std::vector<std::string> expected = {"999", "Rezaziv Dxf writer for FBX",
                                               "  0", "SECTION",
                                               "  2", "HEADER",
                                               "  9", "$ACADVER",
                                               "  1", "AC1008",
                                               "  9", "$UCSORG",
                                               " 10", "0.0",
                                               " 20", "0.0",
                                               " 30", "0.0",
                                               "  9", "$UCSXDIR",
                                               " 10", "1.0",
                                               " 20", "0.0",
                                               " 30", "0.0",
                                               "  9", "$TILEMODE",
                                               " 70", "   1",
                                               "  9", "$UCSYDIR",
                                               " 10", "0.0",
                                               " 20", "1.0",
                                               " 30", "0.0",
                                               "  0", "ENDSEC",
                                               "  0", "SECTION",
                                               "  2", "TABLES",
                                               "  0", "ENDSEC",
                                               "  0", "SECTION",
                                               "  2", "BLOCKS",
                                               "  0", "ENDSEC",
                                               "  0", "SECTION",
                                               "  2", "ENTITIES",
                                               "  0", "ENDSEC",
                                               "  0", "EOF"};
    EXPECT_EQ(Written(false), expected);
}

TEST_F(DxfWriterTest, AQuadIsOnePolyfaceWithItsCornersInTheirOrder) {
    KFbxNode* node = AddNode("Quad");
    AddMesh(node, {{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 0, -1, 1}, {0.1, 0, -1, 1}}, {{0, 1, 2, 3}});
    const std::vector<std::string> lines = Written(false);
    const auto at = std::find(lines.begin(), lines.end(), "POLYLINE");
    ASSERT_NE(at, lines.end());
    const std::vector<std::string> polyline(at, lines.end() - 4);
    const std::vector<std::string> head = {"POLYLINE", "  8", "Quad", " 66",   "   1", " 10",  "0.0", " 20", "0.0",
                                           " 30",      "0.0", " 70",  "   64", " 71",  "   4", " 72", "   1"};
    ASSERT_GE(polyline.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(polyline.begin(), polyline.begin() + head.size()), head);
    // The fourth point: scene (0.1, 0, -1) is drawing (0.1, 1, 0).
    const std::vector<std::string> fourth = {"  0", "VERTEX", "  8", "Quad", " 10", "0.1",
                                             " 20", "1",      " 30", "0",    " 70", "   192"};
    EXPECT_NE(std::search(lines.begin(), lines.end(), fourth.begin(), fourth.end()), lines.end());
    const std::vector<std::string> face = {"  0", "VERTEX", "  8", "Quad",   " 10", "0.0",   " 20", "0.0",
                                           " 30", "0.0",    " 70", "   128", " 71", "   1",  " 72", "   2",
                                           " 73", "   3",   " 74", "   4",   "  0", "SEQEND"};
    EXPECT_NE(std::search(lines.begin(), lines.end(), face.begin(), face.end()), lines.end());
    // The layer table counts every node; the layer has no colour.
    const std::vector<std::string> layer = {"  0",  "LAYER", "  2",  "Quad", " 70",
                                            "   0", " 62",   "   0", "  6",  "CONTINUOUS"};
    EXPECT_NE(std::search(lines.begin(), lines.end(), layer.begin(), layer.end()), lines.end());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), " 74"), 1);
    const std::vector<std::string> triangles = Written(true, "tri.dxf");
    EXPECT_EQ(std::count(triangles.begin(), triangles.end(), " 74"), 0);
}

TEST_F(DxfWriterTest, ColoursMapToTheNearestColourNumber) {
    const auto index = [](double r, double g, double b) {
        const double rgb[3] = {r, g, b};
        return KFbxWriterDxf::RgbToColorIndex(rgb);
    };
    EXPECT_EQ(index(1, 0, 0), 1);
    EXPECT_EQ(index(0.753, 0.753, 0.753), 9);
    EXPECT_EQ(index(0, 0, 0), 250);
    EXPECT_EQ(index(0.5, 0, 0), 14);
    EXPECT_EQ(index(0.3, 0.3, 0.3), 250);
    EXPECT_EQ(index(1, 1, 0.5), 51);
    EXPECT_EQ(index(0, 0.5, 1), 150);
    // Every hue colour the reader makes comes back as itself, the six pure
    // ones as their short numbers.
    for (int color = 10; color < 250; ++color) {
        double rgb[3] = {1, 1, 1};
        KFbxReaderDxf::ColorIndexToRgb(color, rgb);
        const int pure[] = {10, 50, 90, 130, 170, 210};
        const auto at = std::find(std::begin(pure), std::end(pure), color);
        const int expected = at != std::end(pure) ? 1 + static_cast<int>(at - std::begin(pure)) : color;
        EXPECT_EQ(KFbxWriterDxf::RgbToColorIndex(rgb), expected) << color;
    }
}

TEST_F(DxfWriterTest, WrittenDrawingReadsBackWithTheSameFacesPerLayer) {
    BuildScene();
    // A fan closing at a pole names its last point twice: the face comes back.
    AddMesh(AddNode("Pole"), {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}}, {{0, 1, 2}, {0, 2, 2}});
    for (bool triangulate : {false, true}) {
        const auto before = Faces(mScene->GetRootNode(), triangulate);
        const std::string path = mFolder / "round.dxf";
        ASSERT_TRUE(Export(path, KFbxFileFormatRegistry::eDXF_WRITER, WriteOptions(triangulate))) << mLastError;
        KFbxScene* original = mScene;
        mScene = KFbxScene::Create(mManager, "");  // Import destroys it
        ASSERT_TRUE(Import(path, ReadOptions(0, false))) << mLastError;
        auto after = Faces(mScene->GetRootNode(), triangulate);
        EXPECT_EQ(ChildNames(), (std::vector<std::string>{"Box", "Hidden_part", "Pole", "Tri"}));
        ASSERT_EQ(after.count("Hidden_part"), 1u);
        after["Hidden part"] = after["Hidden_part"];
        after.erase("Hidden_part");
        EXPECT_EQ(after, before) << triangulate;
        EXPECT_FALSE(Child("Hidden_part")->GetVisibility());
        EXPECT_TRUE(Child("Box")->GetVisibility());

        const fbxDouble3 brown = MeshOf(Child("Box"))->GetMaterial(0, 0)->FindProperty("DiffuseColor").GetDouble3();
        EXPECT_EQ(brown[0], 0.5);
        KFbxMesh* tri = MeshOf(Child("Tri"));
        ASSERT_EQ(tri->GetMaterialCount(0), 2);
        EXPECT_EQ(
            tri->GetMaterial(tri->GetMaterialIndices()->GetAt(1), 0)->FindProperty("DiffuseColor").GetDouble3()[2],
            1.0);
        mScene->Destroy();
        mScene = original;
    }
}

TEST_F(DxfWriterTest, AnExportLeavesTheScenesNamesGeometryAndDeformersAlone) {
    BuildScene();
    KFbxNode* part = mScene->GetRootNode()->FindChild("Hidden part");
    KFbxMesh* pentagon = MeshOf(part);
    KFbxSurfaceMaterial* green = pentagon->GetMaterial(0, 0);
    const int objects = mManager->GetObjectCount();
    const auto before = Faces(mScene->GetRootNode(), false);
    ASSERT_FALSE(Written(true).empty());
    EXPECT_STREQ(part->GetName(), "Hidden part");
    EXPECT_EQ(part->GetNodeAttribute(), pentagon);
    EXPECT_EQ(pentagon->GetPolygonCount(), 2);
    EXPECT_EQ(pentagon->GetMaterialCount(0), 1);
    EXPECT_EQ(pentagon->GetMaterial(0, 0), green);
    EXPECT_STREQ(green->GetName(), "green");
    EXPECT_EQ(Faces(mScene->GetRootNode(), false), before);
    // The temporaries are gone again (the writer's options stay the manager's).
    EXPECT_LE(mManager->GetObjectCount(), objects + 1);
}

TEST_F(DxfWriterTest, APatchIsWrittenAsTrianglesAndStaysAPatch) {
    KFbxNode* node = AddNode("Lid");
    KFbxPatch* patch = KFbxPatch::Create(mManager, "Lid");
    ASSERT_TRUE(patch->InitControlPoints(2, KFbxPatch::eLINEAR, 2, KFbxPatch::eLINEAR));
    for (int i = 0; i < 4; ++i) {
        patch->GetControlPoints()[i] = KFbxVector4(i % 2, 0, -(i / 2), 1);
    }
    patch->SetStep(1, 1);
    KFbxSurfaceLambert* blue = Material("blue", 0, 0, 1);
    patch->AddMaterial(blue);
    node->SetNodeAttribute(patch);
    const int objects = mManager->GetObjectCount();
    const std::string path = mFolder / "patch.dxf";
    ASSERT_TRUE(Export(path, KFbxFileFormatRegistry::eDXF_WRITER, WriteOptions(false))) << mLastError;
    EXPECT_EQ(node->GetNodeAttribute(), patch);
    ASSERT_EQ(patch->GetMaterialCount(0), 1);
    EXPECT_EQ(patch->GetMaterial(0, 0), blue);
    EXPECT_STREQ(blue->GetName(), "blue");
    EXPECT_LE(mManager->GetObjectCount(), objects + 1);
    KFbxScene* original = mScene;
    mScene = KFbxScene::Create(mManager, "");
    ASSERT_TRUE(Import(path, ReadOptions(1))) << mLastError;
    KFbxMesh* mesh = MeshOf(Child("POLYLINE"));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetControlPointsCount(), 4);
    EXPECT_EQ(mesh->GetPolygonCount(), 2);
    EXPECT_EQ(mesh->GetMaterial(0, 0)->FindProperty("DiffuseColor").GetDouble3()[2], 1.0);
    mScene->Destroy();
    mScene = original;
}

TEST_F(DxfWriterTest, ShapesAreWrittenAtTheirWeightOnEveryExportAndTheMeshKeepsItsPoints) {
    KFbxNode* node = AddNode("Blob");
    KFbxMesh* mesh = AddMesh(node, {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}}, {{0, 1, 2}});
    KFbxShape* shape = KFbxShape::Create(mManager, "Up");
    shape->InitControlPoints(3);
    for (int i = 0; i < 3; ++i) {
        shape->GetControlPoints()[i] = mesh->GetControlPoints()[i] + KFbxVector4(0, 4, 0, 0);
    }
    ASSERT_GE(mesh->AddShape(shape, "Up"), 0);
    KFCurveNode* channel = KFCurveNode::Create("Up", nullptr);
    node->GetCurrentTakeNode()->GetKFCurveNode()->Add(channel);
    KFCurve* curve = KFCurve::Create();
    curve->SetValue(0.5f);
    channel->FCurveSet(curve);

    const std::vector<std::string> first = Written(false, "first.dxf");
    const std::vector<std::string> second = Written(false, "second.dxf");
    EXPECT_EQ(first, second);
    // The first point, lifted by 2, is drawing (0, -0, 2).
    const std::vector<std::string> lifted = {" 10", "0", " 20", "0", " 30", "2", " 70", "   192"};
    EXPECT_NE(std::search(first.begin(), first.end(), lifted.begin(), lifted.end()), first.end());
    EXPECT_EQ(mesh->GetControlPoints()[0][1], 0.0);
}

TEST_F(DxfWriterTest, MaterialIndicesNamingNoMaterialGiveNoColour) {
    KFbxNode* node = AddNode("Odd");
    KFbxMesh* mesh = AddMesh(node, {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 0, 1}}, {});
    mesh->AddMaterial(Material("red", 1, 0, 0));
    mesh->BeginPolygon(0);
    for (int i : {0, 1, 2}) {
        mesh->AddPolygonVertex(i);
    }
    mesh->EndPolygon();
    mesh->BeginPolygon(7);
    for (int i : {1, 3, 2}) {
        mesh->AddPolygonVertex(i);
    }
    mesh->EndPolygon();
    // By control point, with fewer indices than points.
    KFbxNode* other = AddNode("Short");
    KFbxMesh* points = AddMesh(other, {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}}, {{0, 1, 2}});
    points->InitMaterialIndices(KFbxLayerElement::eBY_CONTROL_POINT);
    points->AddMaterial(Material("blue", 0, 0, 1));
    points->GetLayer(0)->GetMaterials()->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    points->GetMaterialIndices()->Add(0);
    const std::vector<std::string> lines = Written(false);
    // Both layers; Odd's polyline and first face, not its second; Short's
    // polyline, its one indexed point and its face.
    EXPECT_EQ(std::count(lines.begin(), lines.end(), " 62"), 2 + 2 + 3);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "   5"), 1 + 3);
}

TEST_F(DxfWriterTest, WriteNeedsItsOwnOptionsAndAFile) {
    KFbxWriterDxf writer(*mManager, nullptr);
    EXPECT_FALSE(writer.Write(mScene, WriteOptions(false)));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eFILE_NOT_OPENED);
    ASSERT_TRUE(writer.FileCreate((mFolder / "x.dxf").c_str()));
    EXPECT_FALSE(writer.Write(mScene, KFbxStreamOptionsObjWriter::Create(mManager, "")));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eSTREAM_OPTIONS_NOT_SET);
    EXPECT_TRUE(writer.FileClose());
    EXPECT_FALSE(writer.IsFileOpen());
    EXPECT_FALSE(writer.FileCreate((mFolder / "no/such/x.dxf").c_str()));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eFILE_NOT_OPENED);
    // Without options of its caller's the exporter asks the writer for its own.
    EXPECT_TRUE(Export(mFolder / "defaults.dxf", KFbxFileFormatRegistry::eDXF_WRITER)) << mLastError;
}

TEST_F(DxfWriterTest, FullDiskIsReportedAsAFailure) {
    if (std::FILE* full = std::fopen("/dev/full", "w")) {
        std::fclose(full);
    } else {
        GTEST_SKIP() << "no /dev/full";
    }
    BuildScene();
    KFbxWriterDxf writer(*mManager, nullptr);
    ASSERT_TRUE(writer.FileCreate("/dev/full"));
    EXPECT_FALSE(writer.Write(mScene, WriteOptions(false)));
    EXPECT_EQ(writer.GetLastErrorID(), KFbxWriter::eOUT_OF_DISK_SPACE);
}

TEST_F(DxfWriterTest, HostileScenesWriteWellFormedPairsAndSayWhatChanged) {
    const double nan = std::nan("");
    const struct {
        const char* mName;
        std::function<void()> mBuild;
        int mFaces;
        std::string mMessage;
    } cases[] = {
        {"names with markup, quotes, line ends, control characters and UTF-8",
         [this] {
             for (const char* name : {"<b class=\"x\">", "line\nend\r\n 0\nEOF", "tab\t\x01\x7f", "\xC3\xBCn"}) {
                 AddMesh(AddNode(name), {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}}, {{0, 1, 2}});
             }
         },
         4, ""},
        {"numbers that are not finite",
         [this, nan] {
             KFbxNode* node = AddNode("Lost");
             node->SetLclTranslation(KFbxVector4(0, 0, 5, 0));
             AddMesh(node, {{nan, 0, 0, 1}, {1, HUGE_VAL, 0, 1}, {0, 1, 0, 1}}, {{0, 1, 2}});
         },
         1, "The mesh \"Lost\" has 6 values that are not finite numbers; they are written as 0.\n"},
        {"an empty mesh and polygons of no, one and two corners",
         [this] {
             AddMesh(AddNode("Empty"), {}, {});
             AddMesh(AddNode("Short"), {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}}, {{}, {0}, {0, 1}, {0, 1, 2}});
         },
         1, ""},
    };
    for (const auto& hostile : cases) {
        SCOPED_TRACE(hostile.mName);
        TearDown();
        SetUp();
        hostile.mBuild();
        const std::vector<std::string> lines = Written(false);
        EXPECT_EQ(std::string(mExportMessage.Buffer()), hostile.mMessage);
        // Code and value lines in pairs, every code a number, every value of a
        // coordinate a number, and the drawing ends where the writer ended it.
        ASSERT_EQ(lines.size() % 2, 0u);
        int faces = 0;
        for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
            const std::size_t digits = lines[i].find_first_not_of(' ');
            ASSERT_NE(digits, std::string::npos) << i;
            int code = -1;
            const auto read = std::from_chars(lines[i].data() + digits, lines[i].data() + lines[i].size(), code);
            ASSERT_EQ(read.ptr, lines[i].data() + lines[i].size()) << i << ": " << lines[i];
            if (code == 10 || code == 20 || code == 30) {
                double value = 0.0;
                const std::string& text = lines[i + 1];
                EXPECT_EQ(std::from_chars(text.data(), text.data() + text.size(), value).ptr, text.data() + text.size())
                    << text;
                EXPECT_TRUE(std::isfinite(value)) << text;
            }
            // A face record is a vertex of flags 128.
            faces += code == 70 && lines[i + 1] == "   128" ? 1 : 0;
            EXPECT_EQ(lines[i + 1] == "EOF", i + 2 == lines.size()) << i;
        }
        EXPECT_EQ(faces, hostile.mFaces);
    }
}

TEST_F(DxfWriterTest, AnIndependentReaderOpensTheWrittenDrawing) {
    if (!ProgramInstalled("assimp")) {
        GTEST_SKIP() << "assimp is not installed (assimp-utils)";
    }
    BuildScene();
    const std::string path = mFolder / "scene.dxf";
    ASSERT_TRUE(Export(path, KFbxFileFormatRegistry::eDXF_WRITER, WriteOptions(true))) << mLastError;
    const std::string output = CommandOutput("assimp info '" + path + "'");
    EXPECT_EQ(output.find("rror"), std::string::npos) << output;
    // Points and triangles per layer: the cube's 6 quads as 12 triangles,
    // the pentagon fanned into 3 beside its triangle, and the pair.
    for (const char* mesh : {"(Box): [8 / 0 / 12 |", "(Hidden_part): [5 / 0 / 4 |", "(Tri): [4 / 0 / 2 |"}) {
        EXPECT_NE(output.find(mesh), std::string::npos) << mesh << "\n" << output;
    }
}

TEST_F(DxfWriterTest, AnIndependentReaderSeesTheWrittenFacesTurnOutwards) {
    if (!ProgramInstalled("assimp")) {
        GTEST_SKIP() << "assimp is not installed (assimp-utils)";
    }
    // A prism on a pentagon of area 5, its faces turned outwards, and the
    // same prism mirrored and stretched to twice the volume.
    std::vector<KFbxVector4> points;
    for (double z : {0.0, 1.0}) {
        for (const auto& [x, y] : {std::pair{0, 0}, {2, 0}, {3, 1}, {1, 2}, {-1, 1}}) {
            points.emplace_back(x, y, z, 1.0);
        }
    }
    std::vector<std::vector<int>> faces = {{4, 3, 2, 1, 0}, {5, 6, 7, 8, 9}};
    for (int i = 0; i < 5; ++i) {
        faces.push_back({i, (i + 1) % 5, (i + 1) % 5 + 5, i + 5});
    }
    AddMesh(AddNode("Prism"), points, faces);
    KFbxNode* mirror = AddNode("Mirror");
    mirror->SetLclScaling(KFbxVector4(-2, 1, 1, 0));
    AddMesh(mirror, points, faces);
    for (bool triangulate : {false, true}) {
        const std::string path = mFolder / "prisms.dxf";
        const std::string obj = mFolder / "prisms.obj";
        ASSERT_TRUE(Export(path, KFbxFileFormatRegistry::eDXF_WRITER, WriteOptions(triangulate))) << mLastError;
        ASSERT_EQ(std::system(("assimp export '" + path + "' '" + obj + "' > /dev/null 2>&1").c_str()), 0);
        EXPECT_NEAR(SignedVolume(ObjFaces(obj)), 15.0, 1e-4) << triangulate;
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::dxftest
