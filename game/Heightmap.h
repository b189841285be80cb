#pragma once

#include <game/TgaImage.h>

#include <array>
#include <cstdint>
#include <vector>

// Heightmap files of the nine tiles, in tile record order.
extern const std::array<const char*, 9> heightmapFiles;

// One sample every 128 world units.
inline constexpr int heightmapScaleShift = 7;

// The height of a 24-bit pixel from its bytes in file order (blue, green,
// red): 0 for black, 7650 for white.
std::int16_t heightFromPixel(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2);

// Heights of a 24-bit image, row by row in the order the reader delivers
// them; empty when the pixel data is short.
std::vector<std::int16_t> heightSamples(const TgaImage& image);

// Adds each tile's heightmap to its root and sets the tile records' origins.
// A heightmap that cannot be read prints one line and leaves its tile flat.
void loadHeightmaps();
