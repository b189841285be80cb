// The OBJ reader on broken files: what cannot be used is dropped with a
// warning and the rest read, or the read ends with a clear error; nothing is
// read out of bounds.
#include "formats/ObjTestSupport.h"

#include <fbxfilesdk/formats/KFbxReaderObj.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>

#include "support/BoundedRun.h"
#include "support/ImportLeftovers.h"

#include <cstdint>
#include <functional>

#include <sys/stat.h>

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

// What a file's content makes on its own: its objects, which take
// processor time, and the memory they fill.
struct Made {
    std::int64_t mObjects = 0;
    std::int64_t mBytes = 0;
};

// Hostile inputs: each read ends within the time its content's bytes and
// the objects it makes allow, adds no more memory than 64 MB and what the
// content makes, never aborts, and ends as the case says.
struct HostileCase {
    using Make = std::function<std::string(const ScratchFolder&, std::int64_t&)>;
    HostileCase(const char* what, Make make, bool read, std::string text, Made made = {},
                std::function<bool()> limit = nullptr, std::string material = "")
        : mWhat(what), mMake(std::move(make)), mRead(read), mText(std::move(text)), mMade(made),
          mLimit(std::move(limit)), mMaterial(std::move(material)) {}

    const char* mWhat;
    // Writes the input into the folder: the path to import and the bytes of
    // content written for it.
    Make mMake;
    bool mRead;
    // In the importer's error text when refused, in the message text when read.
    std::string mText;
    Made mMade;
    // Limits the child puts on itself before the read.
    std::function<bool()> mLimit;
    // The one material the mesh "default" shows, when the case names one.
    std::string mMaterial;
};

std::string Repeated(const std::string& part, std::int64_t bytes) {
    std::string text;
    text.reserve(static_cast<std::size_t>(bytes) + part.size());
    while (static_cast<std::int64_t>(text.size()) < bytes) text += part;
    return text;
}

std::string Numbered(const char* format, int count) {
    std::string text;
    char line[128];
    for (int i = 0; i < count; ++i) {
        const int length = std::snprintf(line, sizeof line, format, i, i);
        text.append(line, static_cast<std::size_t>(length));
    }
    return text;
}

HostileCase::Make File(std::string bytes) {
    return [bytes](const ScratchFolder& folder, std::int64_t& content) {
        content = static_cast<std::int64_t>(bytes.size());
        return folder.Write("in.obj", bytes);
    };
}

// An OBJ file of one triangle that names the library.
HostileCase::Make WithLibrary(std::string library) {
    return [library](const ScratchFolder& folder, std::int64_t& content) {
        const std::string bytes = "mtllib " + library + "\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl m\nf 1 2 3\n";
        content = static_cast<std::int64_t>(bytes.size());
        return folder.Write("in.obj", bytes);
    };
}

std::string RandomBytes(std::size_t count) {
    std::string bytes(count, '\0');
    std::uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

// The objects that many one-triangle nodes are, and the memory they take
// when made through the API.
Made NodesCost(KFbxSdkManager& manager, KFbxScene& scene, int count) {
    const std::int64_t objects = 2 * std::int64_t{count};
    const boundedrun::Outcome outcome = boundedrun::Run(
        [&] {
            for (int i = 0; i < count; ++i) {
                KFbxNode* node = KFbxNode::Create(&manager, ("g" + std::to_string(i)).c_str());
                KFbxMesh* mesh = KFbxMesh::Create(&manager, "");
                mesh->InitControlPoints(3);
                mesh->InitNormals(0);
                mesh->BeginPolygon(-1, -1, -1, true);
                for (int k = 0; k < 3; ++k) mesh->AddPolygonVertex(k);
                mesh->EndPolygon();
                node->SetNodeAttribute(mesh);
                scene.GetRootNode()->AddChild(node);
            }
            return 0;
        },
        boundedrun::SecondsFor(0, objects));
    return {objects, outcome.mAddedBytes};
}

// Too little memory ends the read with a clear error, never in an abort.
TEST_F(ObjBadInputTest, TooLittleMemoryEndsTheReadWithOutOfMemory) {
    if (boundedrun::kSanitized) GTEST_SKIP() << "sanitizers reserve more address space than any limit allows";
    const std::string path = Write("groups.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\n" + Numbered("g g%d\nf 1 2 3\n", 50000));
    const boundedrun::Outcome outcome = boundedrun::Run(
        [&] {
            if (!boundedrun::LimitAddressSpace(96 * boundedrun::kMegabyte)) return 8;
            const bool read = Import(path);
            return (read ? 1 : 0) | (mErrorText == "Out of memory" ? 0 : 2);
        },
        boundedrun::SecondsFor(1 << 20, 2 * 50000));
    ASSERT_TRUE(outcome.mReturned) << "signal " << outcome.mSignal;
    EXPECT_EQ(outcome.mValue, 0);
}

TEST_F(ObjBadInputTest, HostileInputsEndWithinTheirBounds) {
    constexpr int kGroups = 30000;
    constexpr int kLibraries = 300;
    const std::int64_t bigLine = 17 * boundedrun::kMegabyte;
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    const std::vector<HostileCase> cases = {
        {"an empty file", File(""), false, "Not an OBJ file"},
        {"blank lines", File("\n \r\n\t\n"), false, "Not an OBJ file"},
        {"text", File("# Models\n\nThis folder holds the game's models.\nSee the manual.\n"), false,
         "Not an OBJ file"},
        {"a picture", File(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20) + RandomBytes(2000)), false,
         "Not an OBJ file"},
        {"random bytes", File(RandomBytes(65536)), false, "Not an OBJ file"},
        {"comments alone: an empty scene", File("# \n# Wavefront OBJ file\n# \n"), true, ""},
        {"a FIFO as the file",
         [](const ScratchFolder& folder, std::int64_t& content) {
             content = 0;
             mkfifo((folder / "fifo.obj").c_str(), 0600);
             return folder / "fifo.obj";
         },
         false, "fifo.obj: not a regular file"},
        {"a folder as the file",
         [](const ScratchFolder& folder, std::int64_t& content) {
             content = 0;
             std::filesystem::create_directory(folder / "folder.obj");
             return folder / "folder.obj";
         },
         false, "folder.obj: "},
        {"a link to an endless device as the file",
         [](const ScratchFolder& folder, std::int64_t& content) {
             content = 0;
             std::filesystem::create_symlink("/dev/zero", folder / "zero.obj");
             return folder / "zero.obj";
         },
         false, "zero.obj: not a regular file"},
        {"a library of endless zeros", WithLibrary("/dev/zero"), true,
         "Unable to load material library \"/dev/zero\" (not a regular file)\n"},
        {"a library of endless random bytes", WithLibrary("/dev/urandom"), true,
         "Unable to load material library \"/dev/urandom\" (not a regular file)\n"},
        {"a FIFO as the library",
         [&](const ScratchFolder& folder, std::int64_t& content) {
             mkfifo((folder / "fifo.mtl").c_str(), 0600);
             return WithLibrary("fifo.mtl")(folder, content);
         },
         true, "Unable to load material library \"fifo.mtl\" (not a regular file)\n"},
        {"a folder as the library",
         [&](const ScratchFolder& folder, std::int64_t& content) {
             std::filesystem::create_directory(folder / "folder.mtl");
             return WithLibrary("folder.mtl")(folder, content);
         },
         true, "Unable to load material library \"folder.mtl\" ("},
        {"a line longer than any OBJ line", File(triangle + "f" + std::string(bigLine, ' ') + "1 2 3\n"), false,
         "A line is longer than 16 MB on line 4"},
        {"a continued line longer than any OBJ line", File(triangle + Repeated("f 1 2 3 \\\n", bigLine + bigLine / 4)), false,
         "A line is longer than 16 MB"},
        {"a library with a line longer than any",
         [&](const ScratchFolder& folder, std::int64_t& content) {
             folder.Write("long.mtl", "newmtl m\nKd" + std::string(bigLine, ' ') + "1 1 1\n");
             const std::string path = WithLibrary("long.mtl")(folder, content);
             content += bigLine;
             return path;
         },
         true, "Unable to load material library \"long.mtl\" (a line longer than 16 MB)\n"},
        {"a face of 8 million corners", File(triangle + "f" + Repeated(" 1 2 3", 16200000) + "\n"), true, "",
         // The corners the reader keeps and the mesh's polygon vertices.
         Made{0, 8100000 * std::int64_t{12 + 4}}},
        {"30 000 material names no library defines",
         File("mtllib none.mtl\n" + triangle + Numbered("usemtl missing%d_%d\nf 1 2 3\n", 30000)), true,
         "29936 more material name(s) found in no library\n"},
        {"one-face groups, each with a material name no library defines",
         File("mtllib none.mtl\n" + triangle + Numbered("g g%d\nusemtl m%d\nf 1 2 3\n", kGroups)), true,
         "more material name(s) found in no library\n", NodesCost(*mManager, *mScene, kGroups)},
        {"15 000 library names on one line",
         [&](const ScratchFolder& folder, std::int64_t& content) {
             folder.Write("lib.mtl", "newmtl m\nKd 1 0 0\n");
             return WithLibrary(Repeated("lib.mtl ", 15000 * 8))(folder, content);
         },
         true, "", {}, nullptr, "m"},
        {"more libraries than files a process may open",
         [&](const ScratchFolder& folder, std::int64_t& content) {
             std::string names;
             for (int i = 0; i < kLibraries; ++i) {
                 const std::string name = "l" + std::to_string(i) + ".mtl";
                 folder.Write(name, "newmtl n" + std::to_string(i) + "\nKd 1 0 0\n");
                 names += name + " ";
             }
             const std::string bytes =
                 "mtllib " + names + "\n" + triangle + "usemtl n" + std::to_string(kLibraries - 1) + "\nf 1 2 3\n";
             content = static_cast<std::int64_t>(bytes.size());
             return folder.Write("in.obj", bytes);
         },
         true, "", {}, [] { return boundedrun::LimitOpenFiles(64); }, "n" + std::to_string(kLibraries - 1)},
    };
    for (const HostileCase& hostile : cases) {
        ScratchFolder folder;
        std::int64_t content = 0;
        const std::string path = hostile.mMake(folder, content);
        const boundedrun::Outcome outcome = boundedrun::Run(
            [&] {
                if (hostile.mLimit && !hostile.mLimit()) return 8;
                const bool read = Import(path) == hostile.mRead;
                const std::string text = hostile.mRead ? Message() : mErrorText;
                const bool told = text.find(hostile.mText) != std::string::npos;
                bool material = hostile.mMaterial.empty();
                if (KFbxMesh* mesh = Mesh("default"); mesh != nullptr && mesh->GetMaterialCount() == 1) {
                    material = material || hostile.mMaterial == mesh->GetMaterial(0)->GetName();
                }
                return (read ? 0 : 1) | (told ? 0 : 2) | (material ? 0 : 4);
            },
            boundedrun::SecondsFor(content, hostile.mMade.mObjects));
        EXPECT_TRUE(outcome.mReturned) << hostile.mWhat << ": signal " << outcome.mSignal;
        if (!outcome.mReturned) continue;
        EXPECT_EQ(outcome.mValue & 1, 0) << hostile.mWhat << (hostile.mRead ? ": refused" : ": read");
        EXPECT_EQ(outcome.mValue & 2, 0) << hostile.mWhat << ": does not say \"" << hostile.mText << "\"";
        EXPECT_EQ(outcome.mValue & 4, 0) << hostile.mWhat << ": lost material " << hostile.mMaterial;
        EXPECT_EQ(outcome.mValue & ~7, 0) << hostile.mWhat;
        if (!boundedrun::kSanitized) {
            EXPECT_LE(outcome.mAddedBytes, 64 * boundedrun::kMegabyte + content + hostile.mMade.mBytes)
                << hostile.mWhat;
        }
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::objtest
