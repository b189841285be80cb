#include <game/TgaImage.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

namespace {

bool readU8(std::FILE* file, std::uint8_t& value) {
    int c = std::fgetc(file);
    if (c == EOF) {
        return false;
    }
    value = static_cast<std::uint8_t>(c);
    return true;
}

bool readU16(std::FILE* file, std::uint16_t& value) {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    if (!readU8(file, low) || !readU8(file, high)) {
        return false;
    }
    value = static_cast<std::uint16_t>(low | (high << 8));
    return true;
}

bool readBytes(std::FILE* file, std::uint8_t* out, std::uint64_t count) {
    return std::fread(out, 1, count, file) == count;
}

// Bytes between the read position and the end of the stream, when the
// stream can tell (not for pipes).
std::optional<std::uint64_t> bytesLeft(std::FILE* file) {
    long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) {
        return std::nullopt;
    }
    long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0 || end < here) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(end - here);
}

bool resizeBuffer(std::vector<std::uint8_t>& buffer, std::uint64_t size) {
    try {
        buffer.assign(size, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool acceptedDepth(int depth) {
    return depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

std::uint64_t pixelCount(const TgaImage& image) {
    return static_cast<std::uint64_t>(image.width) * image.height;
}

bool holdsPixels(const TgaImage& image, std::uint64_t bytesPerPixel) {
    return image.pixels.size() >= pixelCount(image) * bytesPerPixel;
}

TgaResult checkFlippable(const TgaImage& image) {
    if (!acceptedDepth(image.pixelDepth)) {
        return tgaBadPixelDepth;
    }
    return holdsPixels(image, image.pixelDepth / 8u) ? tgaOk : tgaReadFailed;
}

TgaResult decodeRle(std::FILE* file, TgaImage& image) {
    const std::uint64_t bytesPerPixel = image.pixelDepth / 8;
    const std::uint64_t total = pixelCount(image);
    std::uint8_t* out = image.pixels.data();
    std::uint64_t count = 0;
    while (count < total) {
        std::uint8_t header = 0;
        // Data that ends before the last pixel is a damaged file, not an
        // image whose remaining pixels happen to be unset.
        if (!readU8(file, header)) {
            return tgaReadFailed;
        }
        const std::uint64_t n = (header & 0x7F) + 1u;
        if (header & 0x80) {
            std::uint8_t pixel[4] = {};
            if (!readBytes(file, pixel, bytesPerPixel)) {
                return tgaReadFailed;
            }
            if (count + n > total) {
                return tgaRleOverrun;
            }
            for (std::uint64_t i = 0; i < n; ++i) {
                std::memcpy(out + (count + i) * bytesPerPixel, pixel, bytesPerPixel);
            }
        } else {
            if (count + n > total) {
                return tgaRleOverrun;
            }
            if (!readBytes(file, out + count * bytesPerPixel, n * bytesPerPixel)) {
                return tgaReadFailed;
            }
        }
        count += n;
    }
    return tgaOk;
}

TgaResult readImage(std::FILE* file, TgaImage& image) {
    if (!readU8(file, image.idLength) || !readU8(file, image.colorMapType)) {
        return tgaReadFailed;
    }
    if (image.colorMapType > 1) {
        return tgaBadColorMapType;
    }
    if (!readU8(file, image.imageType)) {
        return tgaReadFailed;
    }
    switch (image.imageType) {
    case 0:
        return tgaNoImageData;
    case 1: case 2: case 3: case 9: case 10: case 11:
        break;
    default:
        return tgaBadImageType;
    }
    const bool mapped = tgaIsColorMapped(image);
    if (mapped && image.colorMapType == 0) {
        return tgaMissingColorMap;
    }
    if (!mapped && image.colorMapType == 1) {
        return tgaUnexpectedColorMap;
    }
    if (!readU16(file, image.colorMapOrigin) || !readU16(file, image.colorMapLength) ||
        !readU8(file, image.colorMapEntrySize)) {
        return tgaReadFailed;
    }
    if (image.colorMapType == 1) {
        if (image.colorMapLength == 0) {
            return tgaEmptyColorMap;
        }
        const int entry = image.colorMapEntrySize;
        if (entry != 16 && entry != 24 && entry != 32) {
            return tgaBadColorMapEntrySize;
        }
    }
    if (!readU16(file, image.xOrigin) || !readU16(file, image.yOrigin) || !readU16(file, image.width) ||
        !readU16(file, image.height)) {
        return tgaReadFailed;
    }
    if (image.width == 0 || image.height == 0) {
        return tgaZeroSize;
    }
    if (!readU8(file, image.pixelDepth)) {
        return tgaReadFailed;
    }
    if (image.pixelDepth != 8 && (!acceptedDepth(image.pixelDepth) || mapped)) {
        return tgaBadPixelDepth;
    }
    if (!readU8(file, image.descriptor)) {
        return tgaReadFailed;
    }
    if (image.idLength != 0) {
        if (!resizeBuffer(image.imageId, image.idLength)) {
            return tgaOutOfMemory;
        }
        if (!readBytes(file, image.imageId.data(), image.idLength)) {
            return tgaReadFailed;
        }
    }
    if (image.colorMapType == 1) {
        const std::uint64_t entryBytes = image.colorMapEntrySize / 8;
        const std::uint64_t origin = image.colorMapOrigin;
        const std::uint64_t length = image.colorMapLength;
        if (!resizeBuffer(image.colorMap, (origin + length) * entryBytes)) {
            return tgaOutOfMemory;
        }
        if (!readBytes(file, image.colorMap.data() + origin * entryBytes, length * entryBytes)) {
            return tgaReadFailed;
        }
    }

    const std::uint64_t bytesPerPixel = image.pixelDepth / 8;
    const std::uint64_t pixelBytes = pixelCount(image) * bytesPerPixel;
    if (pixelBytes > tgaMaxPixelBytes) {
        return tgaOutOfMemory;
    }
    // A file too short to hold the pixels fails now rather than after a
    // large allocation. Run-length packets give at most 128 pixels each.
    if (auto left = bytesLeft(file)) {
        const std::uint64_t needed =
            tgaIsRle(image) ? (pixelCount(image) + 127) / 128 * (1 + bytesPerPixel) : pixelBytes;
        if (*left < needed) {
            return tgaReadFailed;
        }
    }
    if (!resizeBuffer(image.pixels, pixelBytes)) {
        return tgaOutOfMemory;
    }
    if (tgaIsRle(image)) {
        return decodeRle(file, image);
    }
    return readBytes(file, image.pixels.data(), pixelBytes) ? tgaOk : tgaReadFailed;
}

}  // namespace

TgaResult tgaRead(std::FILE* file, TgaImage& image) {
    image = TgaImage{};
    TgaResult result = readImage(file, image);
    if (result != tgaOk) {
        tgaFreeBuffers(image);
    }
    return result;
}

bool tgaIsColorMapped(const TgaImage& image) {
    return image.imageType == 1 || image.imageType == 9;
}

bool tgaIsRle(const TgaImage& image) {
    return image.imageType == 9 || image.imageType == 10 || image.imageType == 11;
}

TgaResult tgaFlipHorizontal(TgaImage& image) {
    if (TgaResult result = checkFlippable(image); result != tgaOk) {
        return result;
    }
    const std::size_t bytesPerPixel = image.pixelDepth / 8;
    const std::size_t rowBytes = image.width * bytesPerPixel;
    for (std::size_t row = 0; row < image.height; ++row) {
        std::uint8_t* line = image.pixels.data() + row * rowBytes;
        for (std::size_t left = 0, right = image.width; left + 1 < right; ++left) {
            --right;
            std::swap_ranges(line + left * bytesPerPixel, line + (left + 1) * bytesPerPixel,
                             line + right * bytesPerPixel);
        }
    }
    image.descriptor ^= tgaRightToLeft;
    return tgaOk;
}

TgaResult tgaFlipVertical(TgaImage& image) {
    if (TgaResult result = checkFlippable(image); result != tgaOk) {
        return result;
    }
    const std::size_t rowBytes = image.width * (image.pixelDepth / 8u);
    for (std::size_t top = 0, bottom = image.height; top + 1 < bottom; ++top) {
        --bottom;
        std::swap_ranges(image.pixels.begin() + static_cast<std::ptrdiff_t>(top * rowBytes),
                         image.pixels.begin() + static_cast<std::ptrdiff_t>((top + 1) * rowBytes),
                         image.pixels.begin() + static_cast<std::ptrdiff_t>(bottom * rowBytes));
    }
    image.descriptor ^= tgaTopToBottom;
    return tgaOk;
}

TgaResult tgaUnmapColors(TgaImage& image) {
    if (!tgaIsColorMapped(image)) {
        return tgaNotColorMapped;
    }
    if (image.pixelDepth != 8) {
        return tgaBadPixelDepth;
    }
    if (!acceptedDepth(image.colorMapEntrySize)) {
        return tgaBadColorMapEntrySize;
    }
    if (!holdsPixels(image, 1)) {
        return tgaReadFailed;
    }
    const std::size_t entryBytes = image.colorMapEntrySize / 8;
    const std::size_t count = pixelCount(image);
    std::vector<std::uint8_t> unmapped;
    if (!resizeBuffer(unmapped, static_cast<std::uint64_t>(count) * entryBytes)) {
        return tgaOutOfMemory;
    }
    // Entries below the origin are not stored in the file, so an index
    // there is as wrong as one past the end.
    const std::size_t first = image.colorMapOrigin;
    const std::size_t end = std::min<std::size_t>(first + image.colorMapLength, image.colorMap.size() / entryBytes);
    for (std::size_t i = count; i-- > 0;) {
        const std::size_t index = image.pixels[i];
        if (index < first || index >= end) {
            return tgaBadColorIndex;
        }
        std::memcpy(unmapped.data() + i * entryBytes, image.colorMap.data() + index * entryBytes, entryBytes);
    }
    image.pixels = std::move(unmapped);
    image.imageType = 2;
    image.pixelDepth = image.colorMapEntrySize;
    image.colorMap.clear();
    image.colorMap.shrink_to_fit();
    image.colorMapType = 0;
    image.colorMapOrigin = 0;
    image.colorMapLength = 0;
    image.colorMapEntrySize = 0;
    return tgaOk;
}

TgaResult tgaUnpackPixel(const std::uint8_t* bytes, int depth, std::uint8_t* blue, std::uint8_t* green,
                         std::uint8_t* red, std::uint8_t* alpha) {
    std::uint8_t b = 0;
    std::uint8_t g = 0;
    std::uint8_t r = 0;
    std::uint8_t a = 0;
    switch (depth) {
    case 8:
        b = g = r = bytes[0];
        break;
    case 16: {
        const unsigned v = bytes[0] + 256u * bytes[1];
        b = static_cast<std::uint8_t>((v & 0x1F) * 8);
        g = static_cast<std::uint8_t>(((v >> 5) & 0x1F) * 8);
        r = static_cast<std::uint8_t>(((v >> 10) & 0x1F) * 8);
        a = (v & 0x8000) ? 255 : 0;
        break;
    }
    case 24:
        b = bytes[0];
        g = bytes[1];
        r = bytes[2];
        break;
    case 32:
        b = bytes[0];
        g = bytes[1];
        r = bytes[2];
        a = bytes[3];
        break;
    default:
        return tgaBadPixelDepth;
    }
    if (blue) *blue = b;
    if (green) *green = g;
    if (red) *red = r;
    if (alpha) *alpha = a;
    return tgaOk;
}

TgaResult tgaConvertTo24(TgaImage& image) {
    if (!acceptedDepth(image.pixelDepth)) {
        return tgaBadPixelDepth;
    }
    if (tgaIsColorMapped(image)) {
        if (TgaResult result = tgaUnmapColors(image); result != tgaOk) {
            return result;
        }
    }
    if (image.pixelDepth == 24) {
        return tgaOk;
    }
    const std::size_t bytesPerPixel = image.pixelDepth / 8;
    if (!holdsPixels(image, bytesPerPixel)) {
        return tgaReadFailed;
    }
    const std::size_t count = pixelCount(image);
    std::vector<std::uint8_t> converted;
    if (!resizeBuffer(converted, static_cast<std::uint64_t>(count) * 3)) {
        return tgaOutOfMemory;
    }
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* out = converted.data() + i * 3;
        tgaUnpackPixel(image.pixels.data() + i * bytesPerPixel, image.pixelDepth, &out[0], &out[1], &out[2],
                       nullptr);
    }
    image.pixels = std::move(converted);
    image.pixelDepth = 24;
    return tgaOk;
}

void tgaFreeBuffers(TgaImage& image) {
    image.imageId = {};
    image.colorMap = {};
    image.pixels = {};
}
