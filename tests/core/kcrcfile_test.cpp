#include <fbxfilesdk/core/KCrcFile.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

// The register one byte and one bit at a time, straight from the polynomial.
std::uint32_t SlowCrc(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char b : bytes) {
        crc ^= static_cast<std::uint32_t>(b) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

std::string RandomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

// Reads whatever is asked for at most `limit` bytes into the stream, then fails.
class TruncatingLayer : public KChainedFile {
public:
    explicit TruncatingLayer(std::int64_t limit) : mLimit(limit) {}
    std::int64_t Read(void* buffer, std::int64_t count) override {
        const std::int64_t left = mLimit - Tell();
        return KChainedFile::Read(buffer, count < left ? count : (left > 0 ? left : 0));
    }

private:
    std::int64_t mLimit;
};

TEST(KCrcFile, RegisterMatchesTheNonReflectedCrcOverTheWholeStream) {
    std::string check = "123456789";
    KCrcFile crc;
    ASSERT_TRUE(crc.OpenMemory(check.data(), 9, false));
    EXPECT_EQ(crc.ComputeCrc(), 0x0376E6E7u);  // the standard check value, no final inversion
    crc.Close();

    // Sizes around the eight-byte stride, the 16-, 64- and 256-byte folding
    // strides and the sizes where narrow and wide folding start, and the read
    // chunk.
    for (std::size_t size : {0u, 1u, 3u, 4u, 7u, 8u, 9u, 15u, 255u, 256u, 257u, 271u, 319u, 320u, 335u, 1023u, 1024u,
                             1025u, 1039u, 1087u, 1279u, 1280u, 1343u, 4111u, 32767u, 32768u, 32769u, 100003u}) {
        std::string bytes = RandomBytes(size, static_cast<unsigned>(size));
        KCrcFile layer;
        ASSERT_TRUE(layer.OpenMemory(bytes.data(), static_cast<int>(size), false) || size == 0);
        if (size == 0) continue;
        EXPECT_EQ(layer.ComputeCrc(), SlowCrc(bytes)) << size;
        layer.Close();
    }
}

TEST(KCrcFile, TrailerWrittenOnCloseMakesTheCheckPassAndAnyChangedByteFails) {
    ScratchFolder folder;
    const std::string path = folder / "checked.bin";
    KCrcFile writer;
    ASSERT_TRUE(writer.Open(path.c_str(), 2, false));  // "w+b": readable while written
    ASSERT_EQ(writer.Write("abcd", 4), 4);
    EXPECT_TRUE(writer.Close());

    const std::string written = folder.Read("checked.bin");
    ASSERT_EQ(written.size(), 8u);
    const std::uint32_t c = ~SlowCrc("abcd");
    EXPECT_EQ(static_cast<unsigned char>(written[4]), c >> 24);
    EXPECT_EQ(static_cast<unsigned char>(written[7]), c & 0xFF);

    KCrcFile reader;
    ASSERT_TRUE(reader.OpenWithModeString(path.c_str(), "rb"));
    EXPECT_EQ(reader.ComputeCrc(), KCrcFile::kResidue);
    EXPECT_TRUE(reader.CheckCrc());
    reader.Close();

    for (std::size_t i = 0; i < written.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            std::string damaged = written;
            damaged[i] = static_cast<char>(damaged[i] ^ (1 << bit));
            KCrcFile check;
            ASSERT_TRUE(check.OpenMemory(damaged.data(), 8, false));
            EXPECT_FALSE(check.CheckCrc()) << "byte " << i << " bit " << bit;
        }
    }
}

TEST(KCrcFile, CheckOverAnOpenChainLeavesItsPositionAndStaysOpen) {
    std::string bytes = RandomBytes(5000, 1);
    const std::uint32_t c = ~SlowCrc(bytes);
    bytes += {static_cast<char>(c >> 24), static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)};

    KChainedFile chain;
    ASSERT_TRUE(chain.OpenMemory(bytes.data(), static_cast<int>(bytes.size()), false));
    chain.SetPosition(1234);
    {
        KCrcFile check(0, &chain, chain.GetMode(), false);
        EXPECT_TRUE(check.CheckCrc());
        EXPECT_EQ(check.Tell(), 1234);
    }
    EXPECT_TRUE(chain.IsOpen());
    EXPECT_EQ(chain.Tell(), 1234);
}

TEST(KCrcFile, CheckFailsOutsideReadModeAndOnStreamsWithoutRoomForATrailer) {
    std::string tiny = "abc";
    KCrcFile layer;
    ASSERT_TRUE(layer.OpenMemory(tiny.data(), 3, false));
    EXPECT_FALSE(layer.CheckCrc());
    layer.Close();
    EXPECT_FALSE(layer.CheckCrc());

    // A valid stream, but the layer says it writes.
    std::string bytes = "abcd";
    const std::uint32_t c = ~SlowCrc(bytes);
    bytes += {static_cast<char>(c >> 24), static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)};
    KChainedFile chain;
    ASSERT_TRUE(chain.OpenMemory(bytes.data(), 8, false));
    KCrcFile writing(0, &chain, KChainedFile::eWRITE, false);
    EXPECT_FALSE(writing.CheckCrc());
    KCrcFile reading(0, &chain, KChainedFile::eREAD, false);
    EXPECT_TRUE(reading.CheckCrc());
}

TEST(KCrcFile, CheckFailsWhenTheStreamCannotBeReadWhole) {
    std::string bytes = RandomBytes(100, 2);
    const std::uint32_t c = ~SlowCrc(bytes);
    bytes += {static_cast<char>(c >> 24), static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)};
    TruncatingLayer failing(50);
    ASSERT_TRUE(failing.OpenMemory(bytes.data(), static_cast<int>(bytes.size()), false));
    KCrcFile check(0, &failing, KChainedFile::eREAD, false);
    EXPECT_FALSE(check.CheckCrc());
}

// A memory buffer counts as content whole, past the bytes written: the
// trailer belongs after the last of those, not after the buffer's end.
TEST(KCrcFile, TrailerOverALargerBufferFollowsTheLastByteWritten) {
    std::vector<char> buffer(2000, 'z');
    KChainedFile chain;
    ASSERT_TRUE(chain.OpenMemory(buffer.data(), 2000, false));
    KCrcFile layer(0, &chain, KChainedFile::eWRITE, false);
    const std::string body = RandomBytes(1000, 3);
    ASSERT_EQ(layer.Write(body.data(), 1000), 1000);
    EXPECT_TRUE(layer.Close());
    EXPECT_EQ(buffer[1004], 'z');

    KCrcFile reader;
    ASSERT_TRUE(reader.OpenMemory(buffer.data(), 1004, false));
    EXPECT_TRUE(reader.CheckCrc());
}

TEST(KCrcFile, FailedTrailerWriteIsReportedAndTheLayerStillCloses) {
    char exact[4];
    KChainedFile chain;
    ASSERT_TRUE(chain.OpenMemory(exact, 4, false));  // no room for the trailer
    KCrcFile layer(0, &chain, KChainedFile::eWRITE, false);
    ASSERT_EQ(layer.Write("abcd", 4), 4);
    EXPECT_FALSE(layer.Close());
    EXPECT_EQ(layer.GetMode(), KChainedFile::eCLOSED);
    EXPECT_FALSE(chain.IsOpen());
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
