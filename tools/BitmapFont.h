#pragma once

#include <array>
#include <cstdint>

// A 5-by-7 pixel font for the text in generated images: capital letters,
// digits and the punctuation the screens use.
inline constexpr int glyphWidth = 5;
inline constexpr int glyphHeight = 7;

// Rows from top to bottom; bit 4 of a row is the leftmost pixel. Characters
// the font lacks (lower-case letters are drawn as capitals) come out blank.
std::array<std::uint8_t, glyphHeight> glyphRows(char c);
