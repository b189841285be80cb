#pragma once

#include <tools/Canvas.h>

#include <cstdint>
#include <vector>

// Uncompressed true-colour TGA, 24 bits, first stored row at the bottom, so
// that the picture appears upright both in viewers and in the game.
std::vector<std::uint8_t> encodeTga(const Canvas& canvas);

// Uncompressed 8-bit grey TGA; values are given in the order the rows are
// stored in the file.
std::vector<std::uint8_t> encodeGreyTga(int width, int height, const std::vector<std::uint8_t>& storedRows);
