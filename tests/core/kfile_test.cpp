#include <fbxfilesdk/core/KFile.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

using namespace fbxsdk_2006_11_1;

namespace {

// Records the mode strings that Open builds, without opening anything.
class ModeRecorder : public KFile {
public:
    bool OpenWithModeString(const char*, const char* mode) override {
        mMode = mode;
        return false;
    }
    std::string mMode;
};

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

}  // namespace

TEST(KFile, OpenBuildsModeStringsThroughTheVirtualOperation) {
    ModeRecorder file;
    file.Open("x", 2, false);
    EXPECT_EQ(file.mMode, "w+b");
    file.Open("x", 3, true);
    EXPECT_EQ(file.mMode, "at");
    file.Open("x", 0, true);
    EXPECT_EQ(file.mMode, "rt");
    file.mMode.clear();
    EXPECT_FALSE(file.Open("x", 4, false));
    EXPECT_FALSE(file.Open("x", -1, false));
    EXPECT_EQ(file.mMode, "");
}

TEST(KFile, WriteThenReadBackWithReadWriteMode) {
    ScratchFolder folder;
    const std::string name = folder / "f.bin";
    KFile file;
    ASSERT_TRUE(file.Open(name.c_str(), KFile::eREAD_WRITE, false));
    EXPECT_EQ(file.Write("hello", 5), 5);
    EXPECT_EQ(file.Tell(), 5);
    file.SetPosition(1);
    char bytes[8] = {};
    EXPECT_EQ(file.Read(bytes, 8), 4);
    EXPECT_STREQ(bytes, "ello");
    EXPECT_TRUE(file.Eof());
    file.Close();
    EXPECT_FALSE(file.IsOpen());

    ASSERT_TRUE(file.Open(name.c_str(), KFile::eAPPEND, false));
    file.Write("!", 1);
    file.Close();
    EXPECT_EQ(folder.Read("f.bin"), "hello!");
}

TEST(KFile, NonAsciiUtf8NameNamesThatFile) {
    ScratchFolder folder;
    const std::string name = folder / "donn\xC3\xA9" "es-\xE2\x82\xAC-\xF0\x9F\x98\x80.fbx";
    KFile file;
    ASSERT_TRUE(file.Open(name.c_str(), KFile::eWRITE, false));
    file.Write("z", 1);
    file.Close();
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(name)));
    ASSERT_TRUE(file.Open(name.c_str(), KFile::eREAD, false));
    unsigned char byte = 0;
    EXPECT_EQ(file.ReadByte(&byte), 'z');
    EXPECT_EQ(std::string(file.GetFileName().Buffer()), name);
}

TEST(KFile, NamesBeyondTheUtf16LimitDoNotOpen) {
    ScratchFolder folder;
    const std::string prefix = folder.Path().string() + "/";
    const std::size_t room = 1023 - prefix.size();
    const std::string tail = room % 2 ? "f" : "ff";
    std::string name = prefix;
    for (std::size_t i = 0; i < (room - tail.size()) / 2; ++i) name += "./";
    name += tail;
    ASSERT_EQ(name.size(), 1023u);
    KFile file;
    EXPECT_TRUE(file.Open(name.c_str(), KFile::eWRITE, false));
    file.Close();
    // A four-byte character counts two units: 1024 units and the terminator do not fit.
    const std::string tooLong = name.substr(0, 1022) + "\xF0\x9F\x98\x80";
    EXPECT_FALSE(file.Open(tooLong.c_str(), KFile::eWRITE, false));
    EXPECT_EQ(std::string(file.GetFileName().Buffer()), tooLong);
}

TEST(KFile, ClosedFileAnswersHarmlessly) {
    KFile file;
    char buffer[4] = {'x', 0, 0, 0};
    std::int32_t value = 77;
    EXPECT_EQ(file.Read(buffer, 4), 0);
    EXPECT_FALSE(file.Eof());
    EXPECT_EQ(file.ReadString(buffer, 4), nullptr);
    EXPECT_EQ(file.ReadInt32(&value, false), 0);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(file.Write("a", 1), 0);
    EXPECT_EQ(file.Tell(), 0);
    EXPECT_EQ(file.Error(), 0);
    EXPECT_EQ(file.SetSize(0), -1);
    file.Printf("%d", 5);
    file.Seek(0, 0);
    file.Flush();
    file.Close();
    std::int64_t size = 9;
    EXPECT_EQ(file.GetMemoryBuffer(&size), nullptr);
    EXPECT_EQ(size, 9);
    EXPECT_TRUE(file.GetFileName().IsEmpty());
}

TEST(KFile, FailedOpenRecordsTheTriedNameAndWhy) {
    ScratchFolder folder;
    const std::string name = folder / "missing.fbx";
    KFile file;
    EXPECT_FALSE(file.Open(name.c_str(), KFile::eREAD, false));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(std::string(file.GetFileName().Buffer()), name);
    EXPECT_EQ(file.GetSystemError(), ENOENT);
    ASSERT_TRUE(file.Open(folder.Write("there.fbx", "x").c_str(), KFile::eREAD, false));
    EXPECT_EQ(file.GetSystemError(), 0);
}

TEST(KFile, IntegerReadsAreLittleEndianAndSwapToBigEndian) {
    ScratchFolder folder;
    const std::string name = folder.Write("n", std::string("\x01\x02\x03\x04\x01\x02\x03\x04\x05\x06\x07\x08\xFF\x01\x02", 15));
    KFile file;
    ASSERT_TRUE(file.Open(name.c_str(), KFile::eREAD, false));
    std::int32_t plain = 0;
    EXPECT_EQ(file.ReadInt32(&plain, false), 0x04030201);
    std::uint32_t swapped = 0;
    EXPECT_EQ(file.ReadInt32(&swapped, true), 0x01020304u);
    unsigned char inMemory[4];
    std::memcpy(inMemory, &swapped, 4);
    EXPECT_EQ(inMemory[0], 0x04);  // the variable holds the reversed bytes
    std::int16_t shortValue = 0;
    EXPECT_EQ(file.ReadInt16(&shortValue, false), 0x0605);
    std::uint16_t shortSwapped = 0;
    EXPECT_EQ(file.ReadInt16(&shortSwapped, true), 0x0708);
    char signedByte = 0;
    EXPECT_EQ(file.ReadByte(&signedByte), static_cast<char>(0xFF));
    // Two bytes left: a short read leaves the variable whole.
    std::int32_t kept = 1234;
    EXPECT_EQ(file.ReadInt32(&kept, false), 1234);
    EXPECT_TRUE(file.Eof());
}

TEST(KFile, SeekOriginsAndUnknownOriginMeansStart) {
    ScratchFolder folder;
    const std::string name = folder.Write("s", "0123456789");
    KFile file;
    ASSERT_TRUE(file.Open(name.c_str(), KFile::eREAD, false));
    file.Seek(0, 4);
    file.Seek(1, 2);
    EXPECT_EQ(file.Tell(), 6);
    file.Seek(2, -3);
    EXPECT_EQ(file.Tell(), 7);
    file.Seek(7, 1);
    EXPECT_EQ(file.Tell(), 1);
}

TEST(KFile, PrintfWritesAtMost16383Characters) {
    ScratchFolder folder;
    const std::string name = folder / "p";
    KFile file;
    ASSERT_TRUE(file.Open(name.c_str(), KFile::eWRITE, true));
    file.Printf("%s=%d;", "k", 42);
    const std::string big(20000, 'x');
    file.Printf("%s", big.c_str());
    file.Close();
    const std::string written = folder.Read("p");
    EXPECT_EQ(written.size(), 5u + 16383u);
    EXPECT_EQ(written.substr(0, 5), "k=42;");
}

TEST(KFile, SetSizeTruncatesAndExtendsWithZeros) {
    ScratchFolder folder;
    const std::string name = folder.Write("z", "abcdef");
    KFile file;
    ASSERT_TRUE(file.OpenWithModeString(name.c_str(), "r+b"));
    file.SetPosition(6);
    file.Write("gh", 2);  // still buffered: SetSize must see it
    EXPECT_EQ(file.SetSize(3), 0);
    EXPECT_EQ(file.SetSize(5), 0);
    EXPECT_EQ(file.SetSize(-1), -1);
    file.Close();
    EXPECT_EQ(folder.Read("z"), std::string("abc\0\0", 5));
}

TEST(KFile, OpeningAnOpenFileClosesTheOldStreamFirst) {
    ScratchFolder folder;
    const std::string first = folder / "a";
    const std::string second = folder.Write("b", "b");
    const int before = OpenDescriptors();
    KFile file;
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(file.Open(first.c_str(), KFile::eWRITE, false));
        file.Write("data", 4);  // buffered until the stream is closed
        ASSERT_TRUE(file.Open(second.c_str(), KFile::eREAD, false));
    }
    EXPECT_EQ(folder.Read("a"), "data");
    EXPECT_EQ(OpenDescriptors(), before + 1);
    file.Close();
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(KFile, RemoveFileDeletesFilesOnly) {
    ScratchFolder folder;
    const std::string name = folder.Write("r", "x");
    EXPECT_EQ(KFile::RemoveFile(name.c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(name));
    EXPECT_EQ(KFile::RemoveFile(name.c_str()), -1);
    EXPECT_EQ(KFile::RemoveFile(folder.Path().c_str()), -1);
    EXPECT_TRUE(std::filesystem::exists(folder.Path()));
}

TEST(KFile, PositionsAndSizesPastFourGiBAreTold) {
    ScratchFolder folder;
    const std::string path = folder / "far.bin";
    constexpr std::int64_t kFar = (std::int64_t(5) << 30) + 3;
    KFile file;
    ASSERT_TRUE(file.Open(path.c_str(), 2, false));
    // Sparse: the bytes before the end take no room on the disk.
    file.SetPosition(kFar);
    ASSERT_EQ(file.Tell(), kFar);
    ASSERT_EQ(file.Write("abc", 3), 3) << std::strerror(file.GetSystemError());
    EXPECT_EQ(file.Tell(), kFar + 3);
    file.Seek(1, -3);
    char back[3] = {};
    EXPECT_EQ(file.Read(back, 3), 3);
    EXPECT_EQ(std::string(back, 3), "abc");
    file.Seek(2, 0);
    EXPECT_EQ(file.Tell(), kFar + 3);
    file.Seek(2, -1);
    EXPECT_EQ(file.Tell(), kFar + 2);
    EXPECT_EQ(file.SetSize(kFar + 100), 0);
    file.Close();
    EXPECT_EQ(std::filesystem::file_size(path), static_cast<std::uintmax_t>(kFar + 100));
    EXPECT_EQ(file.GetSystemError(), 0);
}

TEST(KFile, AFailedWriteKeepsItsCauseAndOnlyAFullDiskIsENOSPC) {
    if (std::filesystem::exists("/dev/full")) {
        KFile full;
        ASSERT_TRUE(full.Open("/dev/full", 1, false));
        // Larger than any stream buffer: the system is asked at once.
        const std::string big(1 << 20, 'x');
        EXPECT_LT(full.Write(big.data(), static_cast<std::int64_t>(big.size())), static_cast<std::int64_t>(big.size()));
        EXPECT_EQ(full.GetSystemError(), ENOSPC);
        full.Close();
        // A small write waits in the buffer and fails when flushed.
        ASSERT_TRUE(full.Open("/dev/full", 1, false));
        EXPECT_EQ(full.GetSystemError(), 0);
        EXPECT_EQ(full.Write("x", 1), 1);
        full.Flush();
        EXPECT_EQ(full.GetSystemError(), ENOSPC);
        full.Close();
    }
    ScratchFolder folder;
    const std::string path = folder / "readonly.bin";
    folder.Write("readonly.bin", "content");
    KFile reading;
    ASSERT_TRUE(reading.Open(path.c_str(), 0, false));
    const std::string big(1 << 20, 'y');
    EXPECT_EQ(reading.Write(big.data(), static_cast<std::int64_t>(big.size())), 0);
    EXPECT_NE(reading.GetSystemError(), 0);
    EXPECT_NE(reading.GetSystemError(), ENOSPC);
}
