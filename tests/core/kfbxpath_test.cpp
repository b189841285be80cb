#include <fbxfilesdk/core/KFbxDocumentFileNames.h>
#include <fbxfilesdk/core/KFbxPath.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

using namespace fbxsdk_2006_11_1;

namespace {

std::string S(const KString& text) { return text.IsOK() ? std::string(text.Buffer()) : std::string("<invalid>"); }

// The working folder in the cleaned form: '\' between parts, rooted at "\".
std::string CleanedWorkingFolder() {
    std::string cwd = std::filesystem::current_path().string();
    for (char& c : cwd) {
        if (c == '/') c = '\\';
    }
    return cwd;
}

std::string Backslashed(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace

TEST(KFbxPath, TakingApart) {
    EXPECT_EQ(S(KFbxExtractFileName("C:\\a/b\\c.tar.gz", false)), "c.tar");
    EXPECT_EQ(S(KFbxExtractFileName("C:\\a/b\\c.tar.gz", true)), "c.tar.gz");
    EXPECT_EQ(S(KFbxExtractFileName("plain", false)), "plain");
    EXPECT_EQ(S(KFbxExtractFileName("dir/", true)), "");

    EXPECT_EQ(S(KFbxExtractExtension("dir.v2\\file")), "");
    EXPECT_EQ(S(KFbxExtractExtension("a.FBX")), "FBX");
    EXPECT_EQ(S(KFbxExtractExtension("a.")), "");

    EXPECT_EQ(S(KFbxRemoveFileName("a/b\\c")), "a");  // the last '/' wins even before a '\'
    EXPECT_EQ(S(KFbxRemoveFileName("a\\b\\c")), "a\\b");
    EXPECT_EQ(S(KFbxRemoveFileName("abc")), "abc");
    EXPECT_EQ(S(KFbxExtractDirectory("abc")), "");
    EXPECT_EQ(S(KFbxExtractDirectory("x/y/z.fbx")), "x/y");

    EXPECT_EQ(S(KFbxChangeExtension("d.x/model.fbx", ".fbd")), "d.x/model.fbd");
    EXPECT_EQ(S(KFbxChangeExtension("d.x/model", ".fbd")), "d.x/model.fbd");
}

TEST(KFbxPath, NullAndInvalidTextGiveEmptyResults) {
    const KString invalid(static_cast<const char*>(nullptr));
    EXPECT_EQ(S(KFbxExtractFileName(invalid, true)), "");
    EXPECT_EQ(S(KFbxCleanPath(invalid)), "");
    EXPECT_FALSE(KFbxIsRelativePath(invalid));
    KString broken(static_cast<const char*>(nullptr));
    char* parts[4];
    EXPECT_EQ(KFbxSplitPath(broken, parts, 4), -1);
}

TEST(KFbxPath, ExtensionTests) {
    EXPECT_TRUE(KFbxIsFbxFile("a.FBX"));
    EXPECT_TRUE(KFbxHasExtension("x/y.Tga", "tGA"));
    EXPECT_FALSE(KFbxIsFbxFile("fbx"));
    EXPECT_FALSE(KFbxIsFbxFile("a.fbx/b"));
}

TEST(KFbxPath, RootsOfDrivesAndShares) {
    EXPECT_EQ(S(KFbxExtractRoot("c:\\x")), "C:");
    EXPECT_EQ(S(KFbxExtractRoot("\\\\srv\\share\\dir\\f")), "\\\\SRV\\SHARE");
    EXPECT_EQ(S(KFbxExtractRoot("//srv/share")), "//SRV/SHARE");  // exactly three separators: all of it
    EXPECT_EQ(S(KFbxExtractRoot("\\\\srv")), "");
    EXPECT_EQ(S(KFbxExtractRoot("/a/b")), "");
    EXPECT_EQ(S(KFbxExtractRoot("ab")), "");
}

TEST(KFbxPath, RelativeOrAbsolute) {
    EXPECT_FALSE(KFbxIsRelativePath("\\\\srv\\x"));
    EXPECT_FALSE(KFbxIsRelativePath("C:x"));
    // On this system a leading separator names the root.
    EXPECT_FALSE(KFbxIsRelativePath("/abs"));
    EXPECT_FALSE(KFbxIsRelativePath("\\abs"));
    EXPECT_TRUE(KFbxIsRelativePath("a/b"));
    EXPECT_TRUE(KFbxIsRelativePath(""));
}

TEST(KFbxPath, CleaningNormalisesAndRefusesToClimbAboveTheRoot) {
    EXPECT_EQ(S(KFbxCleanPath("C:/x/./y/../z")), "C:\\x\\z");
    EXPECT_EQ(S(KFbxCleanPath("../../a/b/..")), "..\\..\\a");
    EXPECT_EQ(S(KFbxCleanPath("C:\\..\\a")), "");
    EXPECT_EQ(S(KFbxCleanPath("\\\\srv\\share\\..\\x")), "\\\\srv\\x");
    EXPECT_EQ(S(KFbxCleanPath("C:")), "C:\\");
    EXPECT_EQ(S(KFbxCleanPath("\\\\")), "\\\\");
    EXPECT_EQ(S(KFbxCleanPath("a//b///")), "a\\b");
    EXPECT_EQ(S(KFbxCleanPath("./.")), "");
    EXPECT_EQ(S(KFbxCleanPath("/a/b")), "\\a\\b");
    EXPECT_EQ(S(KFbxCleanPath("/a/../..")), "");
    EXPECT_EQ(S(KFbxCleanPath("/")), "\\");
    // Cleaning is stable.
    for (const char* path : {"C:/x/../y", "../a/./b", "/r/s/../t", "\\\\srv\\s\\x"}) {
        const KString once = KFbxCleanPath(path);
        EXPECT_EQ(S(KFbxCleanPath(once)), S(once)) << path;
    }
}

TEST(KFbxPath, CleaningUtf16FollowsTheSameRulesIntoABoundedBuffer) {
    char16_t out[32];
    ASSERT_TRUE(KFbxCleanPathW(u"C:/x/./y/../z", out, 32));
    EXPECT_EQ(std::u16string(out), u"C:\\x\\z");
    ASSERT_TRUE(KFbxCleanPathW(u"\\\\srv\\share\\..\\x", out, 32));
    EXPECT_EQ(std::u16string(out), u"\\\\srv\\x");
    EXPECT_FALSE(KFbxCleanPathW(u"C:/a/very/long/path/that/does/not/fit", out, 8));
    EXPECT_EQ(out[0], u'\0');

    EXPECT_EQ(KFbxCountTokensW(u"//a/bc//d", u"/"), 3);
    EXPECT_EQ(KFbxCountTokensW(u"", u"/"), 0);
    char16_t token[4];
    EXPECT_TRUE(KFbxGetTokenW(u"//a/bc//d", 1, u"/", token, 4));
    EXPECT_EQ(std::u16string(token), u"bc");
    EXPECT_FALSE(KFbxGetTokenW(u"//a/bc//d", 3, u"/", token, 4));
    EXPECT_FALSE(KFbxGetTokenW(u"abcdef", 0, u"/", token, 4));
    EXPECT_TRUE(KFbxIsCharInSetW(u'/', u"\\/"));
    EXPECT_FALSE(KFbxIsCharInSetW(u'/', nullptr));
}

TEST(KFbxPath, Joining) {
    EXPECT_EQ(S(KFbxJoinPath("C:\\dir", "sub/f.fbx")), "C:\\dir\\sub\\f.fbx");
    EXPECT_EQ(S(KFbxJoinPath("C:\\dir", "D:\\f.fbx")), "D:\\f.fbx");
    EXPECT_EQ(S(KFbxJoinPath("C:\\dir\\", "f.fbx")), "C:\\dir\\f.fbx");
    EXPECT_EQ(S(KFbxJoinPath("", "a/f.fbx")), "a\\f.fbx");
    EXPECT_EQ(S(KFbxJoinPath("/home/u", "../f")), "\\home\\f");
    EXPECT_EQ(S(KFbxJoinPath("/home/u", "/etc/f")), "\\etc\\f");
}

TEST(KFbxPath, MakingAbsoluteUsesTheWorkingFolder) {
    EXPECT_EQ(S(KFbxMakeAbsolutePath("a/./b.fbx")), CleanedWorkingFolder() + "\\a\\b.fbx");
    EXPECT_EQ(S(KFbxMakeAbsolutePath("C:/x/../y")), "C:\\y");
    EXPECT_EQ(S(KFbxMakeAbsolutePath("/srv/f")), "\\srv\\f");
}

TEST(KFbxPath, SplittingCutsInPlaceWithinTheCapacity) {
    KString path("a\\b/c\\d");
    char* parts[8] = {};
    EXPECT_EQ(KFbxSplitPath(path, parts, 8), 2);
    EXPECT_STREQ(parts[0], "b");
    EXPECT_STREQ(parts[1], "c");
    EXPECT_STREQ(parts[2], "d");
    EXPECT_STREQ(path.Buffer(), "a");

    KString many("/1/2/3/4/5/6");
    char* two[2] = {};
    EXPECT_EQ(KFbxSplitPath(many, two, 2), 1);  // no more than the capacity is stored
    EXPECT_STREQ(two[1], "2");
    KString none("abc");
    EXPECT_EQ(KFbxSplitPath(none, parts, 8), -1);
}

TEST(KFbxPath, RelativePaths) {
    EXPECT_EQ(S(KFbxGetRelativePath("C:\\data\\models\\", "c:\\data\\tex\\wood.tga")), "../tex/wood.tga");
    EXPECT_EQ(S(KFbxGetRelativeFilePath("C:\\data\\models\\", "c:\\data\\tex\\wood.tga")), "..\\tex\\wood.tga");
    EXPECT_EQ(S(KFbxGetRelativePath("C:\\a\\", "D:\\a\\f.tga")), "D:\\a\\f.tga");
    EXPECT_EQ(S(KFbxGetRelativePath("/home/u/data/models/", "/home/u/data/tex/w.tga")), "../tex/w.tga");
    EXPECT_EQ(S(KFbxGetRelativePath("/a/b/", "/a/b/c/d/f")), "c/d/f");
    // Relative folders count from their first part.
    EXPECT_EQ(S(KFbxGetRelativePath("data/a/", "other/a/f.tga")), "../../other/a/f.tga");
    // File names are case-sensitive here, and so are folder names.
    EXPECT_EQ(S(KFbxGetRelativePath("/x/Data/m/", "/x/data/t/f")), "../../data/t/f");
    // A rooted and a relative path share no root.
    EXPECT_EQ(S(KFbxGetRelativePath("models/", "/abs/f.tga")), "/abs/f.tga");
    // A file without a folder lies in the working folder.
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(S(KFbxGetRelativeFilePath((cwd + "/").c_str(), "f.tga")), "f.tga");
    EXPECT_EQ(S(KFbxGetRelativeFilePath((cwd + "/sub/").c_str(), "f.tga")), "..\\f.tga");
}

TEST(KFbxPath, DirectoryBelowRoot) {
    EXPECT_EQ(S(KFbxGetDirectoryBelowRoot("C:\\data\\f.fbx")), "\\data/");
    EXPECT_EQ(S(KFbxGetDirectoryBelowRoot("\\\\srv\\share\\dir\\f")), "\\dir/");
    EXPECT_EQ(S(KFbxGetDirectoryBelowRoot("f.fbx")), std::filesystem::current_path().string() + "/");
}

TEST(KFbxPath, DocumentsNameTheirFilesFromTheirFolderAsTheSystemFollowsIt) {
    const ScratchFolder scratch;
    const std::string root = scratch.Path().string();
    std::filesystem::create_directories(scratch.Path() / "models/tex");
    std::filesystem::create_directories(scratch.Path() / "deep/er");
    std::filesystem::create_directory_symlink(scratch.Path() / "models", scratch.Path() / "deep/er/link");
    std::filesystem::create_symlink(scratch.Path() / "deep", scratch.Path() / "models/outside.tga");
    const std::string wood = scratch.Write("models/tex/wood.tga", "tga");
    // ".." out of a link's folder climbs from where the link leads; a link
    // beside the document is named there, wherever it leads; the SDK's clean
    // form separates folders by '\\'.
    EXPECT_EQ(S(KFbxNameFromDocument((root + "/deep/er/link/tex/car.fbx").c_str(), wood.c_str())), "wood.tga");
    EXPECT_EQ(S(KFbxNameFromDocument((root + "/deep/er/car.fbx").c_str(), (root + "/deep/er/link/x.tga").c_str())),
              "../../models/x.tga");
    EXPECT_EQ(S(KFbxNameFromDocument((root + "/models/car.dae").c_str(), (root + "/models/outside.tga").c_str())),
              "outside.tga");
    EXPECT_EQ(S(KFbxNameFromDocument(Backslashed(root + "/deep/car.fbx").c_str(), Backslashed(wood).c_str())),
              "../models/tex/wood.tga");

    EXPECT_EQ(S(KFbxFindBesideDocument(Backslashed(root + "/models/car.fbx").c_str(), "tex\\wood.tga")), wood);
    EXPECT_EQ(S(KFbxFindBesideDocument((root + "/deep/er/link/car.fbx").c_str(), "../models/tex/wood.tga")), wood);
    EXPECT_EQ(S(KFbxFindBesideDocument((root + "/models/car.fbx").c_str(), "tex/missing.tga")), "");
    EXPECT_EQ(S(KFbxFindBesideDocument((root + "/models/car.fbx").c_str(), wood.c_str())), "");
}

// Two leading separators name a network share's file, but where this
// system finds a file by the name, or a folder of its root by the share's
// host, as it reads the name with one separator.
TEST(KFbxPath, TwoLeadingSeparatorsNameAShareOnlyWhereThisMachineHasNoSuchFile) {
    const ScratchFolder scratch;
    const std::string wood = scratch.Write("wood.tga", "tga");
    const std::string top = scratch.Path().begin()->string() == "/" ? std::next(scratch.Path().begin())->string() : "";
    ASSERT_FALSE(top.empty());
    const struct {
        std::string path;
        bool share;
    } rows[] = {
        {"\\\\qalimor-no-such-host\\share\\y.tga", true},
        {"//qalimor-no-such-host/share/y.tga", true},
        {"//qalimor-no-such-host", true},
        {"/" + wood, false},
        {Backslashed("/" + wood), false},
        {"//" + top + "/qalimor-no-such-folder/y.tga", false},
        {"\\\\" + top + "\\qalimor-no-such-folder\\y.tga", false},
        {"///qalimor-no-such-host/y.tga", false},
        {"/qalimor-no-such-host/y.tga", false},
        {"//", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(KFbxIsSharePath(row.path.c_str()), row.share) << row.path;
    }
}
