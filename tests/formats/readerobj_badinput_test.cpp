// The OBJ reader on broken files: what cannot be used is dropped with a
// warning and the rest read, or the read ends with a clear error; nothing is
// read out of bounds.
#include "formats/ObjTestSupport.h"

#include <fbxfilesdk/formats/KFbxReaderObj.h>

#include "support/ImportLeftovers.h"

namespace fbxsdk_2006_11_1::objtest {
namespace {

using ObjBadInputTest = ObjTest;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(ObjBadInputTest, CornersNamingNoVertexAndShortFacesAreDroppedWithACountedWarning) {
    ASSERT_TRUE(ImportText("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                           "f 0 1 2\n"          // 0 names nothing: an unreadable corner
                           "f 1 2 9\n"          // two usable corners left
                           "f 1 2 3 -9\n"       // a triangle is left
                           "f 1 2\n"            // two corners
                           "f 1/x/ 2 3\n"       // a texture coordinate that is no number reads as none
                           "f 1/7/9 2 4\n"));  // numbers past the lists
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetPolygonCount(), 3);
    EXPECT_EQ(mesh->GetPolygonSize(0), 3);
    EXPECT_EQ(mesh->GetTextureUVArray(), nullptr);
    const std::string message = Message();
    EXPECT_TRUE(Contains(message, "1 face(s) with an unreadable corner dropped (first on line 5)\n")) << message;
    EXPECT_TRUE(Contains(message, "2 face(s) with fewer than three usable corners dropped (first on line 6)\n"))
        << message;
    EXPECT_TRUE(Contains(message, "2 face corner(s) naming a vertex that does not exist dropped (first on line 6)"))
        << message;
    EXPECT_TRUE(Contains(message, "1 texture coordinate number(s) that do not exist ignored (first on line 10)"));
    EXPECT_TRUE(Contains(message, "1 normal number(s) that do not exist ignored (first on line 10)"));
}

TEST_F(ObjBadInputTest, NumbersThatAreNotFiniteAreReadAsZeroWithAWarning) {
    ASSERT_TRUE(ImportText("v nan 1 2\nv 1e999 0 0\nv 0 -inf 1\nvn 0 0 1e400\nf 1//1 2//1 3//1\n"));
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    EXPECT_TRUE(Near(mesh->GetControlPoints()[0], 0, 1, 2));
    EXPECT_TRUE(Near(mesh->GetControlPoints()[1], 0, 0, 0));
    EXPECT_TRUE(Near(mesh->GetControlPoints()[2], 0, 0, 1));
    EXPECT_TRUE(Contains(Message(), "4 number(s) that are not finite read as 0 (first on line 1)\n")) << Message();
}

TEST_F(ObjBadInputTest, AVertexWithTooFewNumbersEndsTheReadWithItsLine) {
    EXPECT_FALSE(ImportText("v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\nv 1 2\n"));
    EXPECT_EQ(mScene->GetRootNode()->GetChildCount(), 0);
    EXPECT_TRUE(Contains(Message(), "A vertex needs three numbers on line 5\n")) << Message();
}

TEST_F(ObjBadInputTest, ASurfaceBeforeAnyCurveTypeEndsTheRead) {
    EXPECT_FALSE(ImportText("v 0 0 0\nsurf 0 1 0 1 1\nend\n"));
    EXPECT_TRUE(Contains(Message(), "on line 2")) << Message();
}

TEST_F(ObjBadInputTest, BlocksWithoutEndStopAtTheEndOfTheFile) {
    ASSERT_TRUE(ImportText("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\ncstype rat bspline\ndeg 1 1\n"
                           "surf 0 1 0 1 1 2 3 1\nparm u 0 0 1 1\n"));
    EXPECT_NE(Mesh("default"), nullptr);
    EXPECT_TRUE(Contains(Message(), "surface(s)")) << Message();
    ASSERT_TRUE(ImportText("curv 0 1 1 2\nparm u 0 1\n"));
}

TEST_F(ObjBadInputTest, CornersWithAndWithoutTextureCoordinatesInOneGroupKeepTheirOwn) {
    ASSERT_TRUE(ImportText("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0.5 0.5\n"
                           "f 1 2 3\nf 1/1 3/1 4/1\n"));
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetTextureUVIndex(0, 0), -1);
    EXPECT_EQ(mesh->GetTextureUVIndex(1, 0), 0);
    EXPECT_EQ(PolygonUVs(*mesh, 1).size(), 3u);
}

TEST_F(ObjBadInputTest, BytesThatAreNoTextReadWithoutHarm) {
    std::string bytes = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (int i = 0; i < 4096; ++i) bytes.push_back(static_cast<char>((i * 131 + 7) % 256));
    bytes += "\nf 1 2 3\n\\";
    EXPECT_TRUE(ImportText(bytes));
}

TEST_F(ObjBadInputTest, AReadWithoutFileOrWithForeignOptionsFails) {
    KFbxReaderObj reader(*mManager, nullptr);
    KFbxStreamOptions* options = reader.GetReadOptions();
    EXPECT_FALSE(reader.Read(mScene, options));
    EXPECT_EQ(reader.GetError().GetLastErrorID(), KFbxReader::eFILE_NOT_OPENED);
    ASSERT_TRUE(reader.FileOpen(Write("a.obj", "v 0 0 0\n").c_str()));
    EXPECT_FALSE(reader.Read(mScene, KFbxStreamOptionsObjWriter::Create(mManager, "")));
    EXPECT_EQ(reader.GetError().GetLastErrorID(), KFbxReader::eSTREAM_OPTIONS_NOT_SET);
    EXPECT_TRUE(reader.Read(mScene, options));
    EXPECT_FALSE(reader.FileOpen(Path("missing.obj").c_str()));
    EXPECT_FALSE(reader.IsFileOpen());
    options->Destroy();
}

TEST_F(ObjBadInputTest, ImportsLeaveNothingBehind) {
    const std::filesystem::path seeds = std::filesystem::path(__FILE__).parent_path() / "../../fuzz/obj_seeds";
    auto files = importleftovers::FilesWholeAndCut(seeds);
    files.emplace_back("a vertex of too few numbers", "v 0 0 0\nv 1 0 0\nv 0 1\nf 1 2 3\n");
    files.emplace_back("a surface before any curve type", "v 0 0 0\nsurf 0 1 0 1 1\n");
    for (const auto& [what, bytes] : files) {
        EXPECT_EQ(importleftovers::LeftByTwoImports(*mManager, Write("leftovers.obj", bytes)), "") << what;
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::objtest
