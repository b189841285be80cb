#include <fbxfilesdk/core/KFbxSystemUtils.h>

#include "support/BoundedRun.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <sys/stat.h>

using namespace fbxsdk_2006_11_1;

namespace {

// A stdio stream over the given bytes, closed with the test.
class ByteStream {
public:
    explicit ByteStream(const std::string& bytes) : mStream(std::tmpfile()) {
        std::fwrite(bytes.data(), 1, bytes.size(), mStream);
        std::rewind(mStream);
    }
    ~ByteStream() { std::fclose(mStream); }
    std::FILE* get() const { return mStream; }

private:
    std::FILE* mStream;
};

}  // namespace

TEST(KFbxReadLine, KeepsEachKindOfLineEnd) {
    ByteStream stream("ab\r\ncd");
    char line[10];
    ASSERT_NE(KFbxReadLine(line, 10, stream.get()), nullptr);
    EXPECT_STREQ(line, "ab\r\n");
    ASSERT_NE(KFbxReadLine(line, 10, stream.get()), nullptr);
    EXPECT_STREQ(line, "cd");
    EXPECT_EQ(KFbxReadLine(line, 10, stream.get()), nullptr);
    EXPECT_STREQ(line, "");

    ByteStream mixed("a\rb\n");
    ASSERT_NE(KFbxReadLine(line, 10, mixed.get()), nullptr);
    EXPECT_STREQ(line, "a\r");
    ASSERT_NE(KFbxReadLine(line, 10, mixed.get()), nullptr);
    EXPECT_STREQ(line, "b\n");
}

TEST(KFbxReadLine, ShortBuffersSplitLinesWithoutLosingBytes) {
    ByteStream stream("ab\r\ncd");
    char line[3];
    ASSERT_NE(KFbxReadLine(line, 3, stream.get()), nullptr);
    EXPECT_STREQ(line, "ab");
    ASSERT_NE(KFbxReadLine(line, 3, stream.get()), nullptr);
    EXPECT_STREQ(line, "\r\n");

    ByteStream crlf("x\r\n");
    char two[2];
    ASSERT_NE(KFbxReadLine(two, 2, crlf.get()), nullptr);
    EXPECT_STREQ(two, "x");
    ASSERT_NE(KFbxReadLine(two, 2, crlf.get()), nullptr);
    EXPECT_STREQ(two, "\r");  // no room for the line feed: it stays for the next call
    ASSERT_NE(KFbxReadLine(two, 2, crlf.get()), nullptr);
    EXPECT_STREQ(two, "\n");
}

TEST(KFbxReadLine, DegenerateSizesAndArguments) {
    ByteStream stream("abc");
    char line[4] = "zzz";
    EXPECT_EQ(KFbxReadLine(line, 0, stream.get()), nullptr);
    EXPECT_EQ(KFbxReadLine(line, 1, stream.get()), line);
    EXPECT_STREQ(line, "");
    EXPECT_EQ(KFbxReadLine(nullptr, 4, stream.get()), nullptr);
    EXPECT_EQ(KFbxReadLine(line, 4, nullptr), nullptr);
    ASSERT_NE(KFbxReadLine(line, 4, stream.get()), nullptr);
    EXPECT_STREQ(line, "abc");  // nothing was consumed by the calls above
}

TEST(KFbxSystemUtils, FileExistsOnlyForReadableFiles) {
    ScratchFolder folder;
    const std::string name = folder.Write("f.fbx", "x");
    EXPECT_TRUE(KFbxFileExists(name.c_str()));
    EXPECT_FALSE(KFbxFileExists((folder / "missing").c_str()));
    EXPECT_FALSE(KFbxFileExists(folder.Path().c_str()));
    // A FIFO is no file to read, and asking must not wait for its writer.
    const std::string fifo = folder / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const boundedrun::Outcome outcome =
        boundedrun::Run([&] { return KFbxFileExists(fifo.c_str()) ? 1 : 0; }, boundedrun::SecondsFor(0));
    EXPECT_TRUE(outcome.mReturned);
    EXPECT_EQ(outcome.mValue, 0);
    EXPECT_FALSE(KFbxFileExists(""));
    EXPECT_FALSE(KFbxFileExists(KString(static_cast<const char*>(nullptr))));
}

TEST(KFbxSystemUtils, CreateDirectoryPathMakesEveryMissingFolder) {
    ScratchFolder folder;
    const std::string target = folder.Path().string() + "\\a/b\\c/file.fbx";
    EXPECT_TRUE(KFbxCreateDirectoryPath(target.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "a/b/c"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "a/b/c/file.fbx"));
    EXPECT_TRUE(KFbxCreateDirectoryPath(target.c_str()));  // already there

    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_TRUE(KFbxCreateDirectoryPath("file-in-the-working-folder.fbx"));
    EXPECT_EQ(std::filesystem::current_path().string(), cwd);
    EXPECT_FALSE(KFbxCreateDirectoryPath("C:\\x\\y\\"));
    EXPECT_FALSE(KFbxCreateDirectoryPath(nullptr));
}

TEST(KFbxSystemUtils, CreateDirectoryPathFailsOverAFile) {
    ScratchFolder folder;
    folder.Write("plain", "x");
    EXPECT_FALSE(KFbxCreateDirectoryPath((folder / "plain/sub/f").c_str()));
}

TEST(KFbxSystemUtils, ComputerNameOrQuestionMark) {
    char name[256];
    ASSERT_TRUE(KFbxGetComputerName(name, sizeof name));
    EXPECT_GT(std::string(name).size(), 0u);
    char tiny[2] = {'x', 'x'};
    EXPECT_FALSE(KFbxGetComputerName(tiny, 2));
    EXPECT_STREQ(tiny, "?");
    EXPECT_FALSE(KFbxGetComputerName(nullptr, 10));
}

