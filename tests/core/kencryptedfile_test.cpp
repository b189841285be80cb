#include <fbxfilesdk/core/KEncryptedFile.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/core/Twofish.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>

namespace fbxsdk_2006_11_1 {
namespace {

const unsigned char kKey[16] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};

// The bottom of a chain: a byte string that behaves like a file opened "w+b"
// (its end is the last byte written), counts its transfers and can be told to
// take no more than a given number of bytes.
class StringLayer : public KChainedFile {
public:
    explicit StringLayer(std::string bytes = std::string()) : data(std::move(bytes)) {}

    bool Close() override {
        open = false;
        return true;
    }
    std::int64_t Read(void* buffer, std::int64_t count) override {
        ++reads;
        const std::int64_t n = open ? std::max<std::int64_t>(0, std::min(count, Size() - position)) : 0;
        if (n > 0) std::memcpy(buffer, data.data() + position, static_cast<std::size_t>(n));
        position += n;
        return n;
    }
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        ++writes;
        const std::int64_t n = open ? std::max<std::int64_t>(0, std::min(count, writeLimit - position)) : 0;
        if (n == 0) return 0;
        if (position + n > Size()) data.resize(static_cast<std::size_t>(position + n));
        std::memcpy(data.data() + position, buffer, static_cast<std::size_t>(n));
        position += n;
        return n;
    }
    void Seek(int origin, std::int64_t offset) override {
        const std::int64_t from = origin == 1 ? position : (origin == 2 ? Size() : 0);
        position = std::max<std::int64_t>(0, from + offset);
    }
    std::int64_t Tell() override { return open ? position : 0; }
    void SetPosition(std::int64_t offset) override {
        if (offset >= 0) position = offset;
    }
    bool IsOpen() override { return open; }
    bool Eof() override { return position >= Size(); }
    int Error() override { return 0; }
    void Flush() override {}

    std::int64_t Size() const { return static_cast<std::int64_t>(data.size()); }

    std::string data;
    std::int64_t position = 0;
    bool open = true;
    std::int64_t writeLimit = INT64_MAX;
    int reads = 0;
    int writes = 0;
};

std::string RandomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

// The plain text of one stored block, deciphered apart from the layer.
std::string Decipher(const std::string& cipherBlock) {
    TwofishKey key;
    TwofishCipher cipher;
    EXPECT_EQ(TwofishMakeKey(&key, eTWOFISH_DECRYPT, 128, "000102030405060708090A0B0C0D0E0F"), eTWOFISH_OK);
    EXPECT_EQ(TwofishCipherInit(&cipher, eTWOFISH_ECB, nullptr), eTWOFISH_OK);
    unsigned char plain[16];
    TwofishBlockDecrypt(&cipher, &key, reinterpret_cast<const unsigned char*>(cipherBlock.data()), 128, plain);
    return std::string(reinterpret_cast<char*>(plain), 16);
}

// The stream that writing `plain` after a plain header through an encrypted
// layer leaves behind.
std::string EncryptedBytes(const std::string& header, const std::string& plain) {
    StringLayer bottom(header);
    bottom.position = static_cast<std::int64_t>(header.size());
    KEncryptedFile layer(kKey, static_cast<std::uint32_t>(header.size()), &bottom, KChainedFile::eWRITE, false);
    EXPECT_EQ(layer.Write(plain.data(), static_cast<int>(plain.size())), static_cast<int>(plain.size()));
    EXPECT_TRUE(layer.Close());
    return bottom.data;
}

TEST(KEncryptedFile, BytesReadBackAcrossBlocksWithSeeksAndAPartialLastBlock) {
    const std::string header = "HDR1234";
    const std::string plain = RandomBytes(1000, 7);
    StringLayer bottom(header);
    bottom.position = 7;
    {
        KEncryptedFile writer(kKey, 7, &bottom, KChainedFile::eWRITE, false);
        std::mt19937 random(1);
        for (std::size_t done = 0; done < plain.size();) {
            const std::size_t n = std::min<std::size_t>(1 + random() % 40, plain.size() - done);
            ASSERT_EQ(writer.Write(plain.data() + done, static_cast<int>(n)), static_cast<int>(n));
            done += n;
        }
        EXPECT_EQ(writer.Tell(), 1007);
        EXPECT_TRUE(writer.Close());
    }
    ASSERT_EQ(bottom.Size(), 7 + 1008);
    EXPECT_EQ(bottom.data.substr(0, 7), header);

    bottom.open = true;
    bottom.position = 7;
    KEncryptedFile reader(kKey, 7, &bottom, KChainedFile::eREAD, false);
    std::string back;
    std::mt19937 random(2);
    char chunk[64];
    for (int got; (got = reader.Read(chunk, 1 + static_cast<int>(random() % 64))) > 0;) back.append(chunk, got);
    ASSERT_EQ(back.size(), 1008u);
    EXPECT_EQ(back.substr(0, 1000), plain);
    EXPECT_EQ(back.substr(1000), std::string(8, '\0'));

    reader.Seek(0, 7 + 500);
    ASSERT_EQ(reader.Read(chunk, 40), 40);
    EXPECT_EQ(std::string(chunk, 40), plain.substr(500, 40));
    reader.Seek(1, -60);
    EXPECT_EQ(reader.Tell(), 7 + 480);
    ASSERT_EQ(reader.Read(chunk, 33), 33);
    EXPECT_EQ(std::string(chunk, 33), plain.substr(480, 33));
    reader.Seek(2, -12);
    ASSERT_EQ(reader.Read(chunk, 64), 12);
    EXPECT_EQ(std::string(chunk, 4), plain.substr(996, 4));
}

TEST(KEncryptedFile, SequentialTransfersNeitherSeekNorReadTwice) {
    const std::string plain = RandomBytes(16 * 50, 3);
    StringLayer bottom(EncryptedBytes("", plain));
    bottom.reads = 0;
    KEncryptedFile reader(kKey, 0, &bottom, KChainedFile::eREAD, false);
    std::string back(plain.size(), '\0');
    for (std::size_t i = 0; i < plain.size(); i += 5) {
        reader.Read(back.data() + i, static_cast<int>(std::min<std::size_t>(5, plain.size() - i)));
    }
    EXPECT_EQ(back, plain);
    EXPECT_EQ(bottom.reads, 50);
}

TEST(KEncryptedFile, TwentyBytesBecomeTwoBlocksWithAZeroTail) {
    const std::string plain = "twenty bytes of text";
    StringLayer bottom(EncryptedBytes("", plain));
    ASSERT_EQ(bottom.Size(), 32);
    EXPECT_EQ(Decipher(bottom.data.substr(0, 16)), plain.substr(0, 16));
    EXPECT_EQ(Decipher(bottom.data.substr(16, 16)), plain.substr(16) + std::string(12, '\0'));

    KEncryptedFile reader(kKey, 0, &bottom, KChainedFile::eREAD, false);
    char back[40];
    ASSERT_EQ(reader.Read(back, 40), 32);
    EXPECT_EQ(std::string(back, 20), plain);
}

TEST(KEncryptedFile, UsesTwofishWithTheKeyBytesInOrderAndIndependentBlocks) {
    const unsigned char zeroKey[16] = {};
    StringLayer bottom;
    {
        KEncryptedFile layer(zeroKey, 0, &bottom, KChainedFile::eWRITE, false);
        const std::string zeros(16, '\0');
        layer.Write(zeros.data(), 16);
        layer.Close();
    }
    const unsigned char expected[16] = {0x9F, 0x58, 0x9F, 0x5C, 0xF6, 0x12, 0x2C, 0x32,
                                        0xB6, 0xBF, 0xEC, 0x2F, 0x2A, 0xE8, 0xC3, 0x5A};
    ASSERT_EQ(bottom.Size(), 16);
    EXPECT_EQ(std::memcmp(bottom.data.data(), expected, 16), 0);

    // The same plain block at two places enciphers the same way; the key
    // bytes 00..0F decipher it as the text key "0001..0F" does.
    const std::string block = "sixteen byte blk";
    StringLayer twice(EncryptedBytes("", block + RandomBytes(16, 4) + block));
    EXPECT_EQ(twice.data.substr(0, 16), twice.data.substr(32, 16));
    EXPECT_EQ(Decipher(twice.data.substr(0, 16)), block);
}

TEST(KEncryptedFile, HoldsNoneOfThePlainTextWrittenIntoIt) {
    std::string plain;
    for (int i = 0; i < 100; ++i) plain += "The secret recipe is sand and sun. ";
    const std::string stream = EncryptedBytes("PLAIN", plain);
    std::set<std::string> windows;
    for (std::size_t i = 0; i + 6 <= plain.size(); ++i) windows.insert(plain.substr(i, 6));
    const std::string body = stream.substr(5);
    for (std::size_t i = 0; i + 6 <= body.size(); ++i) {
        ASSERT_EQ(windows.count(body.substr(i, 6)), 0u) << "at " << i;
    }
}

TEST(KEncryptedFile, RewritingPartOfABlockKeepsItsOtherBytes) {
    const std::string plain = RandomBytes(48, 5);
    StringLayer bottom(EncryptedBytes("hd", plain));
    bottom.reads = 0;
    {
        KEncryptedFile layer(kKey, 2, &bottom, KChainedFile::eWRITE, false);
        layer.Seek(0, 2 + 16 + 3);
        ASSERT_EQ(layer.Write("XYZ", 3), 3);
        EXPECT_EQ(bottom.reads, 1);  // the block was loaded to keep its other bytes
        layer.Seek(0, 2 + 32);
        ASSERT_EQ(layer.Write(std::string(16, 'F').data(), 16), 16);
        EXPECT_EQ(bottom.reads, 1);  // a whole block is not read first
        EXPECT_TRUE(layer.Close());
    }
    std::string expected = plain;
    expected.replace(19, 3, "XYZ");
    expected.replace(32, 16, std::string(16, 'F'));
    ASSERT_EQ(bottom.Size(), 2 + 48);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(Decipher(bottom.data.substr(2 + 16 * k, 16)), expected.substr(16 * k, 16)) << k;
    }
}

TEST(KEncryptedFile, ReadingAnotherBlockInWriteModeStoresTheHeldOneFirst) {
    const std::string plain = RandomBytes(32, 6);
    StringLayer bottom(EncryptedBytes("", plain));
    KEncryptedFile layer(kKey, 0, &bottom, KChainedFile::eWRITE, false);
    ASSERT_EQ(layer.Write("abcd", 4), 4);  // into block 0
    layer.SetPosition(16);
    char back[16];
    ASSERT_EQ(layer.Read(back, 16), 16);
    EXPECT_EQ(std::string(back, 16), plain.substr(16));
    layer.SetPosition(0);
    ASSERT_EQ(layer.Read(back, 16), 16);
    EXPECT_EQ(std::string(back, 16), "abcd" + plain.substr(4, 12));
    // A block written but not stored yet reads back from the layer itself.
    layer.SetPosition(40);
    ASSERT_EQ(layer.Write("new", 3), 3);
    layer.SetPosition(40);
    ASSERT_EQ(layer.Read(back, 3), 3);
    EXPECT_EQ(std::string(back, 3), "new");
}

TEST(KEncryptedFile, StreamEndingAtTheBaseOffsetHasNoBlocks) {
    StringLayer bottom("header");
    bottom.position = 6;
    KEncryptedFile layer(kKey, 6, &bottom, KChainedFile::eREAD, false);
    char back[8];
    EXPECT_EQ(layer.Read(back, 8), 0);
    EXPECT_EQ(bottom.reads, 0);
}

TEST(KEncryptedFile, PositionsCountInTheUnderlyingStream) {
    const std::string plain = RandomBytes(40, 8);
    StringLayer bottom(EncryptedBytes("0123456789", plain));
    bottom.position = 10;
    KEncryptedFile layer(kKey, 10, &bottom, KChainedFile::eWRITE, false);
    EXPECT_EQ(layer.Tell(), 10);
    layer.Seek(0, 10);
    char back[8];
    ASSERT_EQ(layer.Read(back, 8), 8);
    EXPECT_EQ(std::string(back, 8), plain.substr(0, 8));

    // Before the base offset lies the plain header: neither read nor written here.
    layer.Seek(0, 0);
    EXPECT_EQ(layer.Tell(), 0);
    EXPECT_EQ(layer.Read(back, 8), 0);
    EXPECT_EQ(layer.Write("oops", 4), 0);
    EXPECT_TRUE(layer.Close());
    EXPECT_EQ(bottom.data.substr(0, 10), "0123456789");
}

TEST(KEncryptedFile, PrintfWritesItsTerminatorAndAPlainLayerAboveEnciphersToo) {
    StringLayer bottom;
    KEncryptedFile layer(kKey, 0, &bottom, KChainedFile::eWRITE, false);
    layer.Printf("%s", "abc");
    EXPECT_EQ(layer.Tell(), 4);
    KChainedFile top(0, &layer, KChainedFile::eWRITE, false);
    top.Printf("%d", 12);  // no terminator from the plain layer
    EXPECT_EQ(layer.Tell(), 6);
    EXPECT_TRUE(layer.Close());
    ASSERT_EQ(bottom.Size(), 16);
    EXPECT_EQ(Decipher(bottom.data), std::string("abc\0" "12", 6) + std::string(10, '\0'));
}

TEST(KEncryptedFile, ShortBlockUnderneathIsAnErrorNotDecipheredGarbage) {
    StringLayer bottom(EncryptedBytes("", RandomBytes(32, 9)));
    bottom.data.resize(16 + 4);  // the second block lost 12 bytes
    KEncryptedFile layer(kKey, 0, &bottom, KChainedFile::eWRITE, false);
    char back[32];
    EXPECT_EQ(layer.Read(back, 32), 16);
    layer.SetPosition(18);
    EXPECT_EQ(layer.Write("zz", 2), 0);  // the block cannot be loaded to merge into
    EXPECT_EQ(bottom.Size(), 20);
}

TEST(KEncryptedFile, FailedBlockWriteIsReportedAndTheBlockKeptForLater) {
    const std::string plain = RandomBytes(48, 10);
    StringLayer full;
    full.writeLimit = 16;
    KEncryptedFile layer(kKey, 0, &full, KChainedFile::eWRITE, false);
    EXPECT_EQ(layer.Write(plain.data(), 20), 20);
    EXPECT_FALSE(layer.Close());  // block 1 had no room

    StringLayer bottom;
    bottom.writeLimit = 16;
    KEncryptedFile again(kKey, 0, &bottom, KChainedFile::eWRITE, false);
    EXPECT_EQ(again.Write(plain.data(), 48), 32);  // block 1 could not be stored to start block 2
    bottom.writeLimit = INT64_MAX;
    EXPECT_EQ(again.Write(plain.data() + 32, 16), 16);  // block 1 was still held
    EXPECT_TRUE(again.Close());
    ASSERT_EQ(bottom.Size(), 48);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(Decipher(bottom.data.substr(16 * k, 16)), plain.substr(16 * k, 16));
}

TEST(KEncryptedFile, BlockThatCannotBeReachedIsNotWrittenElsewhere) {
    KChainedFile bottom;
    ASSERT_TRUE(bottom.OpenMemory(SdkMalloc(48), 48, true));
    KEncryptedFile layer(kKey, 0, &bottom, KChainedFile::eWRITE, false);
    const std::string plain = RandomBytes(48, 11);
    ASSERT_EQ(layer.Write(plain.data(), 48), 48);
    layer.SetPosition(16 * 100);  // beyond the buffer: the memory stream stays put
    ASSERT_EQ(layer.Write(std::string(16, 'W').data(), 16), 16);
    std::int64_t size = 0;
    char* buffer = static_cast<char*>(bottom.GetMemoryBuffer(&size));
    ASSERT_EQ(size, 48);
    const std::string stored(buffer, 48);
    EXPECT_FALSE(layer.Close());
    for (int k = 0; k < 3; ++k) EXPECT_EQ(Decipher(stored.substr(16 * k, 16)), plain.substr(16 * k, 16));
    EXPECT_EQ(std::string(buffer, 48), stored);
    SdkFree(buffer);
}

TEST(KEncryptedFile, OpensNamedFilesForWritingAndReading) {
    ScratchFolder folder;
    const std::string path = folder / "secret.bin";
    const std::string plain = RandomBytes(100, 12);
    {
        KEncryptedFile writer(kKey);
        ASSERT_TRUE(writer.OpenFile(path.c_str(), 1, false));
        EXPECT_EQ(writer.GetMode(), KChainedFile::eWRITE);
        ASSERT_EQ(writer.Write(plain.data(), 100), 100);
        EXPECT_TRUE(writer.Close());
    }
    EXPECT_EQ(folder.Read("secret.bin").size(), 112u);
    {
        KEncryptedFile reader(kKey);
        ASSERT_TRUE(reader.OpenWithModeString(path.c_str(), "rb"));
        EXPECT_EQ(reader.GetMode(), KChainedFile::eREAD);
        std::string back(112, '\0');
        ASSERT_EQ(reader.Read(back.data(), 112), 112);
        EXPECT_EQ(back.substr(0, 100), plain);
        EXPECT_TRUE(reader.Close());
        EXPECT_EQ(reader.Tell(), 0);
    }
    KEncryptedFile missing(kKey);
    EXPECT_FALSE(missing.OpenWithModeString((folder / "none.bin").c_str(), "rb"));
    EXPECT_EQ(missing.GetMode(), KChainedFile::eCLOSED);
    char byte;
    EXPECT_EQ(missing.Read(&byte, 1), 0);
}

TEST(KEncryptedFile, BlocksPastFourGiBAreWrittenAndReadInPlace) {
    ScratchFolder folder;
    const std::string path = folder / "far.bin";
    // The stream below is sparse up to the base offset.
    constexpr std::uint64_t kBase = (std::uint64_t(4) << 30) + 7;
    const std::string plain = RandomBytes(40, 3);
    {
        KChainedFile bottom;
        ASSERT_TRUE(bottom.OpenWithModeString(path.c_str(), "w+b"));
        bottom.SetPosition(static_cast<std::int64_t>(kBase));
        KEncryptedFile writer(kKey, kBase, &bottom, KChainedFile::eWRITE, false);
        EXPECT_EQ(writer.Tell(), static_cast<std::int64_t>(kBase));
        ASSERT_EQ(writer.Write(plain.data(), 40), 40);
        EXPECT_EQ(writer.Tell(), static_cast<std::int64_t>(kBase + 40));
        EXPECT_TRUE(writer.Close());
    }
    ASSERT_EQ(std::filesystem::file_size(path), kBase + 48);
    KChainedFile bottom;
    ASSERT_TRUE(bottom.OpenWithModeString(path.c_str(), "rb"));
    KEncryptedFile reader(kKey, kBase, &bottom, KChainedFile::eREAD, false);
    reader.Seek(0, static_cast<std::int64_t>(kBase + 17));
    std::string back(23, '\0');
    ASSERT_EQ(reader.Read(back.data(), 23), 23);
    EXPECT_EQ(back, plain.substr(17));
    reader.Seek(2, -48);
    EXPECT_EQ(reader.Tell(), static_cast<std::int64_t>(kBase));
    ASSERT_EQ(reader.Read(back.data(), 17), 17);
    EXPECT_EQ(back.substr(0, 17), plain.substr(0, 17));
    reader.Close();
}

TEST(KEncryptedFile, ReadLineKeepsLineFeedsAndFailsAtTheEnd) {
    StringLayer bottom(EncryptedBytes("", "ab\ncdefgh"));
    KEncryptedFile layer(kKey, 0, &bottom, KChainedFile::eREAD, false);
    char line[64];
    EXPECT_STREQ(layer.ReadLine(line, 64), "ab\n");
    EXPECT_STREQ(layer.ReadLine(line, 3), "cd");
    EXPECT_STREQ(layer.ReadLine(line, 1), "");
    EXPECT_EQ(layer.ReadLine(line, 0), nullptr);
    EXPECT_EQ(layer.ReadLine(line, 64), nullptr);  // the zero tail, then the end
    EXPECT_STREQ(line, "efgh");
}

TEST(KEncryptedFile, WithoutAKeyOrAStreamNothingMoves) {
    StringLayer bottom;
    KEncryptedFile keyless(nullptr, 0, &bottom, KChainedFile::eWRITE, false);
    EXPECT_EQ(keyless.Write("abc", 3), 0);
    EXPECT_EQ(bottom.Size(), 0);

    KEncryptedFile closed(kKey);
    char byte = 0;
    EXPECT_EQ(closed.Write("abc", 3), 0);
    EXPECT_EQ(closed.Read(&byte, 1), 0);
    EXPECT_EQ(closed.Tell(), 0);
    EXPECT_FALSE(closed.Close());
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
