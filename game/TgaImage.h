#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

// One TGA image as read from a file. Header fields keep their on-disk order
// and widths; the three buffers are owned by the record.
struct TgaImage {
    std::uint8_t idLength = 0;
    std::uint8_t colorMapType = 0;
    std::uint8_t imageType = 0;
    std::uint16_t colorMapOrigin = 0;
    std::uint16_t colorMapLength = 0;
    std::uint8_t colorMapEntrySize = 0;
    std::uint16_t xOrigin = 0;
    std::uint16_t yOrigin = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t pixelDepth = 0;
    std::uint8_t descriptor = 0;
    std::vector<std::uint8_t> imageId;
    std::vector<std::uint8_t> colorMap;
    std::vector<std::uint8_t> pixels;
};

// Descriptor bits that tell the stored pixel order.
inline constexpr std::uint8_t tgaRightToLeft = 0x10;
inline constexpr std::uint8_t tgaTopToBottom = 0x20;

enum TgaResult : int {
    tgaOk = 0,
    tgaReadFailed = 2,
    tgaBadColorMapType = 4,
    tgaBadImageType = 5,
    tgaNoImageData = 6,
    tgaMissingColorMap = 7,
    tgaUnexpectedColorMap = 8,
    tgaEmptyColorMap = 9,
    tgaBadColorMapEntrySize = 10,
    tgaZeroSize = 11,
    tgaBadPixelDepth = 12,
    tgaOutOfMemory = 13,
    tgaNotColorMapped = 14,
    tgaRleOverrun = 15,
    tgaBadColorIndex = 16,
};

// Pixel data larger than this is refused as if it could not be allocated:
// no image of the game comes near it, and a forged header must not make the
// reader ask for gigabytes.
inline constexpr std::uint64_t tgaMaxPixelBytes = 256ull * 1024 * 1024;

TgaResult tgaRead(std::FILE* file, TgaImage& image);
bool tgaIsColorMapped(const TgaImage& image);
bool tgaIsRle(const TgaImage& image);
TgaResult tgaFlipHorizontal(TgaImage& image);
TgaResult tgaFlipVertical(TgaImage& image);
TgaResult tgaUnmapColors(TgaImage& image);
TgaResult tgaUnpackPixel(const std::uint8_t* bytes, int depth, std::uint8_t* blue, std::uint8_t* green,
                         std::uint8_t* red, std::uint8_t* alpha);
TgaResult tgaConvertTo24(TgaImage& image);
void tgaFreeBuffers(TgaImage& image);
