#include <platform/os/File.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

using namespace qalimor::os;

TEST(OsFile, BackslashesBecomeSlashes) {
    EXPECT_EQ(NativePath("a\\b/c\\"), "a/b/c/");
    EXPECT_EQ(NativePath(""), "");
}

TEST(OsFile, OpensByNameWithEitherSeparator) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.Path() / "sub");
    folder.Write("sub/f.txt", "xyz");
    const std::string windowsStyle = folder.Path().string() + "\\sub\\f.txt";
    std::FILE* stream = OpenFile(windowsStyle.c_str(), "rt");
    ASSERT_NE(stream, nullptr);
    char bytes[4] = {};
    EXPECT_EQ(std::fread(bytes, 1, 3, stream), 3u);
    EXPECT_STREQ(bytes, "xyz");
    std::fclose(stream);
}

TEST(OsFile, RefusesFoldersUnknownModesAndNull) {
    ScratchFolder folder;
    errno = 0;
    EXPECT_EQ(OpenFile(folder.Path().c_str(), "rb"), nullptr);
    EXPECT_EQ(errno, EISDIR);
    const std::string name = folder / "f";
    EXPECT_EQ(OpenFile(name.c_str(), "wx"), nullptr);
    EXPECT_EQ(OpenFile(name.c_str(), "q"), nullptr);
    EXPECT_EQ(OpenFile(name.c_str(), nullptr), nullptr);
    EXPECT_EQ(OpenFile(nullptr, "r"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(name));
}
