#pragma once

// Compares what a window shows with the image file it should show.

#include <game/TgaImage.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace testfiles {

// RGB pixels, row 0 at the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    const std::uint8_t* at(int x, int y) const {
        return rgb.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    }
};

// Reads a TGA file with the game's reader and turns it upright.
inline Picture pictureFromTga(const std::string& path) {
    Picture picture;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return picture;
    }
    TgaImage image;
    const bool ok = tgaRead(file, image) == tgaOk && tgaConvertTo24(image) == tgaOk;
    std::fclose(file);
    if (!ok) {
        return picture;
    }
    if (image.descriptor & tgaRightToLeft) {
        tgaFlipHorizontal(image);
    }
    if (!(image.descriptor & tgaTopToBottom)) {
        tgaFlipVertical(image);
    }
    picture.width = image.width;
    picture.height = image.height;
    picture.rgb.resize(image.pixels.size());
    for (std::size_t i = 0; i + 2 < image.pixels.size(); i += 3) {
        picture.rgb[i] = image.pixels[i + 2];
        picture.rgb[i + 1] = image.pixels[i + 1];
        picture.rgb[i + 2] = image.pixels[i];
    }
    return picture;
}

// Share of probe points, on a 24 by 24 grid, where the shown picture and the
// expected one stretched over it agree within the tolerance in every channel.
inline double matchingShare(const Picture& shown, const Picture& expected, int tolerance = 40) {
    if (shown.width == 0 || expected.width == 0) {
        return 0.0;
    }
    constexpr int grid = 24;
    int matching = 0;
    for (int gy = 0; gy < grid; ++gy) {
        for (int gx = 0; gx < grid; ++gx) {
            const int x = (2 * gx + 1) * shown.width / (2 * grid);
            const int y = (2 * gy + 1) * shown.height / (2 * grid);
            const int ex = std::min(expected.width - 1, (2 * x + 1) * expected.width / (2 * shown.width));
            const int ey = std::min(expected.height - 1, (2 * y + 1) * expected.height / (2 * shown.height));
            const std::uint8_t* a = shown.at(x, y);
            const std::uint8_t* b = expected.at(ex, ey);
            bool close = true;
            for (int c = 0; c < 3; ++c) {
                close = close && std::abs(a[c] - b[c]) <= tolerance;
            }
            matching += close ? 1 : 0;
        }
    }
    return static_cast<double>(matching) / (grid * grid);
}

// Share of probe points at least as bright as the level in every channel.
inline double brightShare(const Picture& shown, int level = 240) {
    if (shown.width == 0) {
        return 0.0;
    }
    constexpr int grid = 24;
    int bright = 0;
    for (int gy = 0; gy < grid; ++gy) {
        for (int gx = 0; gx < grid; ++gx) {
            const std::uint8_t* p =
                shown.at((2 * gx + 1) * shown.width / (2 * grid), (2 * gy + 1) * shown.height / (2 * grid));
            bright += (p[0] >= level && p[1] >= level && p[2] >= level) ? 1 : 0;
        }
    }
    return static_cast<double>(bright) / (grid * grid);
}

}  // namespace testfiles
