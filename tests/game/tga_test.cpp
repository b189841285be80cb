#include <game/TgaImage.h>

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <thread>

using testfiles::TgaHeader;
using testfiles::tgaFile;
using Bytes = std::vector<std::uint8_t>;

namespace {

class TgaTest : public ::testing::Test {
protected:
    // Reads the bytes through a real file, as the game does.
    TgaResult read(const Bytes& bytes, TgaImage& image) {
        const auto path = dir_.path() / ("image" + std::to_string(count_++) + ".tga");
        testfiles::writeBytes(path, bytes);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        EXPECT_NE(file, nullptr);
        TgaResult result = tgaRead(file, image);
        std::fclose(file);
        return result;
    }

    TgaResult read(const Bytes& bytes) {
        TgaImage image;
        TgaResult result = read(bytes, image);
        if (result != tgaOk) {
            EXPECT_TRUE(image.imageId.empty() && image.colorMap.empty() && image.pixels.empty())
                << "a failed read keeps no buffer";
        }
        return result;
    }

private:
    testfiles::TempDir dir_;
    int count_ = 0;
};

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// Three pixels per row, two rows, blue-green-red.
const Bytes pixels3x2 = {
    1, 2, 3, 4, 5, 6, 7, 8, 9,
    10, 11, 12, 13, 14, 15, 16, 17, 18,
};

TgaHeader trueColour(std::uint16_t width, std::uint16_t height, std::uint8_t depth) {
    TgaHeader h;
    h.imageType = 2;
    h.width = width;
    h.height = height;
    h.pixelDepth = depth;
    return h;
}

TgaHeader mapped(std::uint16_t origin, std::uint16_t length, std::uint8_t entrySize, std::uint16_t width,
                 std::uint16_t height) {
    TgaHeader h;
    h.colorMapType = 1;
    h.imageType = 1;
    h.colorMapOrigin = origin;
    h.colorMapLength = length;
    h.colorMapEntrySize = entrySize;
    h.width = width;
    h.height = height;
    h.pixelDepth = 8;
    return h;
}

}  // namespace

TEST_F(TgaTest, ReadsEveryHeaderFieldAndUncompressedPixels) {
    TgaHeader h = trueColour(3, 2, 24);
    h.xOrigin = 0x1234;
    h.yOrigin = 0xABCD;
    h.descriptor = 0x20;
    h.idLength = 4;
    TgaImage image;
    ASSERT_EQ(read(tgaFile(h, concat({{'n', 'a', 'm', 'e'}, pixels3x2})), image), tgaOk);
    EXPECT_EQ(image.imageType, 2);
    EXPECT_EQ(image.xOrigin, 0x1234);
    EXPECT_EQ(image.yOrigin, 0xABCD);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixelDepth, 24);
    EXPECT_EQ(image.descriptor, 0x20);
    EXPECT_EQ(image.imageId, (Bytes{'n', 'a', 'm', 'e'}));
    EXPECT_EQ(image.pixels, pixels3x2);
    EXPECT_FALSE(tgaIsRle(image));
    EXPECT_FALSE(tgaIsColorMapped(image));
}

TEST_F(TgaTest, ConvertsEveryTrueColourAndGreyDepthTo24Bits) {
    {
        TgaImage image;  // 16 bits: 5-5-5 with the alpha bit on top
        ASSERT_EQ(read(tgaFile(trueColour(2, 1, 16), {0xFF, 0xFF, 0x00, 0x7C}), image), tgaOk);
        ASSERT_EQ(tgaConvertTo24(image), tgaOk);
        EXPECT_EQ(image.pixelDepth, 24);
        EXPECT_EQ(image.pixels, (Bytes{248, 248, 248, 0, 0, 248}));
    }
    {
        TgaImage image;  // 32 bits: alpha dropped
        ASSERT_EQ(read(tgaFile(trueColour(2, 1, 32), {1, 2, 3, 4, 5, 6, 7, 8}), image), tgaOk);
        ASSERT_EQ(tgaConvertTo24(image), tgaOk);
        EXPECT_EQ(image.pixels, (Bytes{1, 2, 3, 5, 6, 7}));
    }
    {
        TgaHeader grey = trueColour(3, 1, 8);
        grey.imageType = 3;
        TgaImage image;
        ASSERT_EQ(read(tgaFile(grey, {0, 128, 255}), image), tgaOk);
        ASSERT_EQ(tgaConvertTo24(image), tgaOk);
        EXPECT_EQ(image.pixels, (Bytes{0, 0, 0, 128, 128, 128, 255, 255, 255}));
    }
    {
        TgaImage image;  // 24 bits stay as they are
        ASSERT_EQ(read(tgaFile(trueColour(3, 2, 24), pixels3x2), image), tgaOk);
        ASSERT_EQ(tgaConvertTo24(image), tgaOk);
        EXPECT_EQ(image.pixels, pixels3x2);
    }
}

TEST_F(TgaTest, UnmapsEveryEntrySizeFromTheMapOrigin) {
    // Entries are stored from the origin (2) on; indexes name entries.
    {
        TgaImage image;
        const Bytes map = {10, 11, 12, 20, 21, 22, 30, 31, 32};
        ASSERT_EQ(read(tgaFile(mapped(2, 3, 24, 3, 1), concat({map, {4, 2, 3}})), image), tgaOk);
        EXPECT_EQ(image.colorMap.size(), 5u * 3u);
        ASSERT_EQ(tgaConvertTo24(image), tgaOk);
        EXPECT_EQ(image.pixels, (Bytes{30, 31, 32, 10, 11, 12, 20, 21, 22}));
        EXPECT_EQ(image.imageType, 2);
        EXPECT_EQ(image.colorMapType, 0);
        EXPECT_EQ(image.colorMapLength, 0);
        EXPECT_EQ(image.colorMapEntrySize, 0);
        EXPECT_TRUE(image.colorMap.empty());
    }
    {
        TgaImage image;
        const Bytes map = {1, 2, 3, 4, 5, 6, 7, 8};
        ASSERT_EQ(read(tgaFile(mapped(0, 2, 32, 2, 1), concat({map, {1, 0}})), image), tgaOk);
        ASSERT_EQ(tgaUnmapColors(image), tgaOk);
        EXPECT_EQ(image.pixelDepth, 32);
        EXPECT_EQ(image.pixels, (Bytes{5, 6, 7, 8, 1, 2, 3, 4}));
    }
    {
        TgaImage image;
        ASSERT_EQ(read(tgaFile(mapped(0, 1, 16, 1, 1), {0xFF, 0xFF, 0}), image), tgaOk);
        ASSERT_EQ(tgaConvertTo24(image), tgaOk);
        EXPECT_EQ(image.pixels, (Bytes{248, 248, 248}));
    }
}

TEST_F(TgaTest, ColourIndexOutsideTheStoredMapFailsConversion) {
    const Bytes map = {10, 11, 12, 20, 21, 22};
    {
        TgaImage image;  // index equal to origin + length
        ASSERT_EQ(read(tgaFile(mapped(1, 2, 24, 2, 1), concat({map, {1, 3}})), image), tgaOk);
        EXPECT_EQ(tgaConvertTo24(image), tgaBadColorIndex);
    }
    {
        TgaImage image;  // index below the origin names an entry the file never stored
        ASSERT_EQ(read(tgaFile(mapped(1, 2, 24, 2, 1), concat({map, {0, 1}})), image), tgaOk);
        EXPECT_EQ(tgaUnmapColors(image), tgaBadColorIndex);
        EXPECT_EQ(image.pixelDepth, 8) << "a failed unmapping leaves the image as it was";
    }
    {
        TgaImage image;
        ASSERT_EQ(read(tgaFile(trueColour(3, 2, 24), pixels3x2), image), tgaOk);
        EXPECT_EQ(tgaUnmapColors(image), tgaNotColorMapped);
    }
}

TEST_F(TgaTest, RunLengthImagesDecodeToTheSamePixelsAsRawOnes) {
    // 3 by 2 at 24 bits: a run of 4 crossing the row end, then 2 raw pixels.
    const Bytes rle = {0x83, 9, 8, 7, 0x01, 1, 2, 3, 4, 5, 6};
    const Bytes expected = {9, 8, 7, 9, 8, 7, 9, 8, 7, 9, 8, 7, 1, 2, 3, 4, 5, 6};
    TgaHeader h = trueColour(3, 2, 24);
    h.imageType = 10;
    TgaImage image;
    ASSERT_EQ(read(tgaFile(h, rle), image), tgaOk);
    EXPECT_TRUE(tgaIsRle(image));
    EXPECT_EQ(image.pixels, expected);

    TgaHeader grey = trueColour(4, 1, 8);
    grey.imageType = 11;
    ASSERT_EQ(read(tgaFile(grey, {0x01, 5, 6, 0x81, 200}), image), tgaOk);
    EXPECT_EQ(image.pixels, (Bytes{5, 6, 200, 200}));

    TgaHeader mappedRle = mapped(0, 2, 24, 3, 1);
    mappedRle.imageType = 9;
    ASSERT_EQ(read(tgaFile(mappedRle, {1, 2, 3, 4, 5, 6, 0x82, 1}), image), tgaOk);
    EXPECT_TRUE(tgaIsColorMapped(image));
    ASSERT_EQ(tgaConvertTo24(image), tgaOk);
    EXPECT_EQ(image.pixels, (Bytes{4, 5, 6, 4, 5, 6, 4, 5, 6}));

    TgaHeader wide = trueColour(2, 1, 32);
    wide.imageType = 10;
    ASSERT_EQ(read(tgaFile(wide, {0x81, 1, 2, 3, 4}), image), tgaOk);
    EXPECT_EQ(image.pixels, (Bytes{1, 2, 3, 4, 1, 2, 3, 4}));
}

TEST_F(TgaTest, RunLengthOverrunFailsAndFreesEverything) {
    TgaHeader h = trueColour(2, 2, 32);
    h.imageType = 10;
    h.idLength = 2;
    // A run of 3 and then a run of 2: one pixel more than the image holds.
    EXPECT_EQ(read(tgaFile(h, {'i', 'd', 0x82, 1, 2, 3, 4, 0x81, 5, 6, 7, 8})), tgaRleOverrun);
    // A raw packet that would run past the end is refused before it is read.
    EXPECT_EQ(read(tgaFile(h, {'i', 'd', 0x04, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4})),
              tgaRleOverrun);
}

TEST_F(TgaTest, TruncatedDataIsAReadFailure) {
    const Bytes whole = tgaFile(trueColour(3, 2, 24), pixels3x2);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        EXPECT_EQ(read(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size))), tgaReadFailed)
            << "cut after " << size << " bytes";
    }
    // Run-length data that ends before the last pixel is damaged, not an
    // image with pixels left unset.
    TgaHeader h = trueColour(4, 4, 24);
    h.imageType = 10;
    EXPECT_EQ(read(tgaFile(h, {0x87, 1, 2, 3})), tgaReadFailed);
    EXPECT_EQ(read(tgaFile(h, {0x8F, 1, 2})), tgaReadFailed);
    // A colour map cut short.
    EXPECT_EQ(read(tgaFile(mapped(0, 4, 24, 1, 1), {1, 2, 3, 4, 5, 6})), tgaReadFailed);
}

TEST_F(TgaTest, HeaderFaultsGiveTheirCodes) {
    struct Case {
        const char* what;
        TgaHeader header;
        TgaResult expected;
    };
    auto with = [](auto change) {
        TgaHeader h = trueColour(1, 1, 24);
        change(h);
        return h;
    };
    const Case cases[] = {
        {"colour-map type 2", with([](TgaHeader& h) { h.colorMapType = 2; }), tgaBadColorMapType},
        {"image type 4", with([](TgaHeader& h) { h.imageType = 4; }), tgaBadImageType},
        {"image type 12", with([](TgaHeader& h) { h.imageType = 12; }), tgaBadImageType},
        {"image type 0", with([](TgaHeader& h) { h.imageType = 0; }), tgaNoImageData},
        {"mapped type without map", with([](TgaHeader& h) { h.imageType = 1; h.pixelDepth = 8; }),
         tgaMissingColorMap},
        {"map on a true-colour image", with([](TgaHeader& h) { h.colorMapType = 1; }), tgaUnexpectedColorMap},
        {"map of length 0", mapped(0, 0, 24, 1, 1), tgaEmptyColorMap},
        {"15-bit map entries", mapped(0, 1, 15, 1, 1), tgaBadColorMapEntrySize},
        {"8-bit map entries", mapped(0, 1, 8, 1, 1), tgaBadColorMapEntrySize},
        {"width 0", with([](TgaHeader& h) { h.width = 0; }), tgaZeroSize},
        {"height 0", with([](TgaHeader& h) { h.height = 0; }), tgaZeroSize},
        {"15-bit pixels", with([](TgaHeader& h) { h.pixelDepth = 15; }), tgaBadPixelDepth},
        {"40-bit pixels", with([](TgaHeader& h) { h.pixelDepth = 40; }), tgaBadPixelDepth},
        {"24-bit mapped pixels", with([](TgaHeader& h) {
             h = mapped(0, 1, 24, 1, 1);
             h.pixelDepth = 24;
         }),
         tgaBadPixelDepth},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read(tgaFile(c.header, Bytes(64, 0))), c.expected) << c.what;
    }
}

TEST_F(TgaTest, HugeDimensionsFailWithoutAllocatingOrReadingPastTheData) {
    // 65535 by 65535 at 32 bits would be 17 GB.
    EXPECT_EQ(read(tgaFile(trueColour(65535, 65535, 32), Bytes(16, 1))), tgaOutOfMemory);
    TgaHeader rle = trueColour(65535, 65535, 32);
    rle.imageType = 10;
    EXPECT_EQ(read(tgaFile(rle, {0xFF, 1, 2, 3, 4})), tgaOutOfMemory);
    // Within the limit, but the file is far too short for what it claims.
    EXPECT_EQ(read(tgaFile(trueColour(4000, 4000, 24), Bytes(100, 1))), tgaReadFailed);
    TgaHeader shortRle = trueColour(4000, 4000, 24);
    shortRle.imageType = 10;
    EXPECT_EQ(read(tgaFile(shortRle, {0xFF, 1, 2, 3})), tgaReadFailed);
}

TEST_F(TgaTest, ReadsFromAStreamThatCannotSeek) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const Bytes bytes = tgaFile(trueColour(3, 2, 24), pixels3x2);
    ASSERT_EQ(write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fds[1]);
    std::FILE* stream = fdopen(fds[0], "rb");
    ASSERT_NE(stream, nullptr);
    TgaImage image;
    EXPECT_EQ(tgaRead(stream, image), tgaOk);
    std::fclose(stream);
    EXPECT_EQ(image.pixels, pixels3x2);
}

TEST(TgaFlip, FlipsReverseRowsOrColumnsAndToggleTheDescriptor) {
    TgaImage image;
    image.imageType = 2;
    image.width = 3;
    image.height = 2;
    image.pixelDepth = 24;
    image.pixels = pixels3x2;

    ASSERT_EQ(tgaFlipHorizontal(image), tgaOk);
    EXPECT_EQ(image.pixels, (Bytes{7, 8, 9, 4, 5, 6, 1, 2, 3, 16, 17, 18, 13, 14, 15, 10, 11, 12}));
    EXPECT_EQ(image.descriptor, tgaRightToLeft);

    ASSERT_EQ(tgaFlipVertical(image), tgaOk);
    EXPECT_EQ(image.pixels, (Bytes{16, 17, 18, 13, 14, 15, 10, 11, 12, 7, 8, 9, 4, 5, 6, 1, 2, 3}));
    EXPECT_EQ(image.descriptor, tgaRightToLeft | tgaTopToBottom);

    ASSERT_EQ(tgaFlipHorizontal(image), tgaOk);
    ASSERT_EQ(tgaFlipVertical(image), tgaOk);
    EXPECT_EQ(image.pixels, pixels3x2);
    EXPECT_EQ(image.descriptor, 0);

    image.pixelDepth = 12;
    EXPECT_EQ(tgaFlipHorizontal(image), tgaBadPixelDepth);
    EXPECT_EQ(tgaFlipVertical(image), tgaBadPixelDepth);
    EXPECT_EQ(tgaConvertTo24(image), tgaBadPixelDepth);
}

TEST(TgaFlip, OperationsOnARecordWithoutPixelsNeverTouchMemory) {
    TgaImage image;
    image.imageType = 2;
    image.width = 100;
    image.height = 100;
    image.pixelDepth = 32;
    EXPECT_NE(tgaFlipHorizontal(image), tgaOk);
    EXPECT_NE(tgaFlipVertical(image), tgaOk);
    EXPECT_NE(tgaConvertTo24(image), tgaOk);
}

TEST(TgaUnpack, UnpacksEachDepth) {
    std::uint8_t b = 1, g = 1, r = 1, a = 1;
    const std::uint8_t white16[] = {0xFF, 0xFF};
    ASSERT_EQ(tgaUnpackPixel(white16, 16, &b, &g, &r, &a), tgaOk);
    EXPECT_EQ((Bytes{b, g, r, a}), (Bytes{248, 248, 248, 255}));
    const std::uint8_t red16[] = {0x00, 0x7C};
    ASSERT_EQ(tgaUnpackPixel(red16, 16, &b, &g, &r, &a), tgaOk);
    EXPECT_EQ((Bytes{b, g, r, a}), (Bytes{0, 0, 248, 0}));
    const std::uint8_t grey[] = {77};
    ASSERT_EQ(tgaUnpackPixel(grey, 8, &b, &g, &r, &a), tgaOk);
    EXPECT_EQ((Bytes{b, g, r, a}), (Bytes{77, 77, 77, 0}));
    const std::uint8_t rgba[] = {1, 2, 3, 4};
    ASSERT_EQ(tgaUnpackPixel(rgba, 24, &b, &g, &r, &a), tgaOk);
    EXPECT_EQ((Bytes{b, g, r, a}), (Bytes{1, 2, 3, 0}));
    ASSERT_EQ(tgaUnpackPixel(rgba, 32, &b, &g, &r, &a), tgaOk);
    EXPECT_EQ((Bytes{b, g, r, a}), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(tgaUnpackPixel(rgba, 32, nullptr, nullptr, &r, nullptr), tgaOk) << "every output may be absent";
    for (int depth : {0, 7, 12, 31, 33, 64}) {
        EXPECT_EQ(tgaUnpackPixel(rgba, depth, &b, &g, &r, &a), tgaBadPixelDepth) << depth;
    }
}
