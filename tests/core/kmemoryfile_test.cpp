#include <fbxfilesdk/core/KMemoryFile.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace fbxsdk_2006_11_1 {
namespace {

// Can refuse reallocations; installed for the whole test program.
struct HeapProbe {
    static inline bool failRealloc = false;
    static void* Realloc(void* block, std::size_t size) { return failRealloc ? nullptr : std::realloc(block, size); }
};

class KMemoryFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SdkSetAllocators(&std::malloc, &std::calloc, &HeapProbe::Realloc, &std::free));
        HeapProbe::failRealloc = false;
    }
    void TearDown() override { HeapProbe::failRealloc = false; }
};

TEST_F(KMemoryFileTest, FixedBufferTakesOnlyWhatFits) {
    char buffer[10] = {};
    KMemoryFile file;
    ASSERT_TRUE(file.Attach(buffer, 10, false));
    EXPECT_EQ(file.Write("abcdefghijklmno", 15), 10);
    EXPECT_EQ(file.Tell(), 10);
    EXPECT_TRUE(file.Eof());
    EXPECT_EQ(std::string(buffer, 10), "abcdefghij");
    EXPECT_EQ(file.Write("x", 1), 0);
    // A fixed buffer that is full is this stream's full disk.
    EXPECT_EQ(file.GetSystemError(), ENOSPC);
}

TEST_F(KMemoryFileTest, GrowableBufferAtLeastDoublesAndZeroesTheNewPart) {
    void* block = SdkMalloc(8);
    std::memset(block, 'o', 8);
    KMemoryFile file;
    ASSERT_TRUE(file.Attach(block, 8, true));
    file.SetPosition(6);
    EXPECT_EQ(file.Write("12345", 5), 5);  // shortfall 3, growth 8
    std::int64_t size = 0;
    unsigned char* grown = static_cast<unsigned char*>(file.GetMemoryBuffer(&size));
    EXPECT_EQ(size, 16);
    EXPECT_EQ(file.Tell(), 11);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(grown), 11), "oooooo12345");
    for (int i = 11; i < 16; ++i) EXPECT_EQ(grown[i], 0) << i;

    // A shortfall larger than the size grows by exactly shortfall + 1.
    const std::string big(40, 'b');
    file.SetPosition(16);
    EXPECT_EQ(file.Write(big.data(), 40), 40);
    file.GetMemoryBuffer(&size);
    EXPECT_EQ(size, 16 + 41);
    SdkFree(file.GetMemoryBuffer(nullptr));
    file.Close();
}

TEST_F(KMemoryFileTest, FailedGrowthWritesNothingAndKeepsTheBuffer) {
    void* block = SdkMalloc(4);
    std::memcpy(block, "abcd", 4);
    KMemoryFile file;
    ASSERT_TRUE(file.Attach(block, 4, true));
    file.SetPosition(2);
    HeapProbe::failRealloc = true;
    EXPECT_EQ(file.GetSystemError(), 0);
    EXPECT_EQ(file.Write("xyz", 3), 0);
    EXPECT_EQ(file.GetSystemError(), ENOMEM);
    std::int64_t size = 0;
    EXPECT_EQ(file.GetMemoryBuffer(&size), block);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(file.Tell(), 2);
    EXPECT_EQ(std::memcmp(block, "abcd", 4), 0);
    SdkFree(block);
    file.Close();
}

TEST_F(KMemoryFileTest, SeekCountsBackFromTheEndAndClamps) {
    char buffer[10] = {};
    KMemoryFile file;
    ASSERT_TRUE(file.Attach(buffer, 10, false));
    file.Seek(2, 3);
    EXPECT_EQ(file.Tell(), 7);
    file.Seek(1, -20);
    EXPECT_EQ(file.Tell(), 0);
    file.Seek(0, 50);
    EXPECT_EQ(file.Tell(), 10);
    file.Seek(1, -4);
    EXPECT_EQ(file.Tell(), 6);
    file.Seek(9, 5);  // unknown origin: the start
    EXPECT_EQ(file.Tell(), 0);

    file.SetPosition(4);
    file.SetPosition(11);  // past the size: ignored
    file.SetPosition(-1);
    EXPECT_EQ(file.Tell(), 4);
    file.SetPosition(10);
    EXPECT_EQ(file.Tell(), 10);
}

TEST_F(KMemoryFileTest, IntegerReadsAreAllOrNothingAndHonourTheSwapFlag) {
    unsigned char bytes[] = {0x01, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0x80, 0x7F, 0x01};
    KMemoryFile file;
    ASSERT_TRUE(file.Attach(bytes, sizeof bytes, false));

    std::uint32_t u32 = 0;
    EXPECT_EQ(file.ReadInt32(&u32, false), 0x04030201u);
    std::int32_t i32 = 99;
    EXPECT_EQ(file.ReadInt32(&i32, false), 0);
    EXPECT_EQ(i32, 0);  // a stored zero is still stored
    std::int16_t i16 = 0;
    EXPECT_EQ(file.ReadInt16(&i16, false), -2);
    std::uint16_t u16 = 0;
    EXPECT_EQ(file.ReadInt16(&u16, true), 0x807Fu);
    unsigned char byte = 0;
    EXPECT_EQ(file.ReadByte(&byte), 0x01);

    file.SetPosition(0);
    EXPECT_EQ(file.ReadInt32(&u32, true), 0x01020304u);

    file.SetPosition(10);  // three bytes left
    i32 = 55;
    EXPECT_EQ(file.ReadInt32(&i32, false), 0);
    EXPECT_EQ(i32, 55);
    EXPECT_EQ(file.Tell(), 10);
    file.SetPosition(13);
    char c = 'q';
    EXPECT_EQ(file.ReadByte(&c), 0);
    EXPECT_EQ(c, 'q');
}

TEST_F(KMemoryFileTest, ReadStringStopsAfterLineFeedsAndAtTheSizeLimit) {
    char content[] = {'a', 'b', '\n', 'c', 'd'};
    KMemoryFile file;
    ASSERT_TRUE(file.Attach(content, 5, false));
    char line[10];
    EXPECT_STREQ(file.ReadString(line, 10), "ab\n");
    EXPECT_STREQ(file.ReadString(line, 10), "cd");
    EXPECT_STREQ(file.ReadString(line, 10), "");  // the end: empty, not null

    file.SetPosition(0);
    EXPECT_STREQ(file.ReadString(line, 2), "a");
    EXPECT_STREQ(file.ReadString(line, 1), "");
    EXPECT_EQ(file.Tell(), 1);
    line[0] = 'z';
    EXPECT_EQ(file.ReadString(line, 0), nullptr);  // no room even for the terminator
    EXPECT_EQ(line[0], 'z');
    EXPECT_EQ(file.ReadString(nullptr, 5), nullptr);
}

TEST_F(KMemoryFileTest, PrintfWritesTheTextWithoutTerminatorAndCutsLongOutput) {
    KMemoryFile file;
    ASSERT_TRUE(file.Attach(SdkMalloc(4), 4, true));
    file.Printf("%s=%d", "x", 42);
    EXPECT_EQ(file.Tell(), 4);
    const std::string longText(20000, 'L');
    file.Printf("%s", longText.c_str());
    EXPECT_EQ(file.Tell(), 4 + 16383);
    char* buffer = static_cast<char*>(file.GetMemoryBuffer(nullptr));
    EXPECT_EQ(std::string(buffer, 4), "x=42");
    SdkFree(buffer);
    file.Close();
}

TEST_F(KMemoryFileTest, ClosedOrDetachedFileAnswersHarmlessly) {
    KMemoryFile file;
    char out[4] = {'k', 'k', 'k', 0};
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(file.Eof());
    EXPECT_EQ(file.Read(out, 3), 0);
    EXPECT_EQ(file.Write(out, 3), 0);
    EXPECT_EQ(file.ReadString(out, 4), nullptr);
    EXPECT_EQ(file.Tell(), 0);
    file.Seek(0, 2);
    file.Printf("nothing");
    std::int64_t size = 7;
    EXPECT_EQ(file.GetMemoryBuffer(&size), nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(file.Error(), 0);
    EXPECT_EQ(file.SetSize(10), -1);
    EXPECT_STREQ(out, "kkk");

    EXPECT_FALSE(file.Attach(nullptr, 4, false));
    EXPECT_FALSE(file.Attach(out, -1, false));
    EXPECT_FALSE(file.OpenWithModeString("any", "r"));
    EXPECT_FALSE(file.OpenFile("any", 0, false));

    // Closing forgets the caller's buffer without freeing it.
    char mine[4] = {'a', 'b', 'c', 'd'};
    ASSERT_TRUE(file.Attach(mine, 4, false));
    file.SetPosition(2);
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Tell(), 0);
    ASSERT_TRUE(file.Attach(mine, 4, false));
    EXPECT_EQ(file.Tell(), 0);
    EXPECT_EQ(file.Read(out, 3), 3);
    EXPECT_EQ(std::string(out, 3), "abc");
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
