#pragma once

#include <tools/Canvas.h>

#include <cstdint>
#include <vector>

// The landscape is 3 by 3 tiles of 65536 world units; tile (i, j) starts at
// x = (i - 1) * 65536, z = (j - 1) * 65536. Heights and colours come from one
// function of world position, so neighbouring tiles meet without seams.
inline constexpr int tileSize = 65536;
inline constexpr int heightmapSize = 514;  // one sample per 128 units, one past the far border
inline constexpr int terrainTextureSize = 512;
inline constexpr int skyFaceSize = 512;

// Ground level at a world position as a heightmap grey value (0 to 255).
float groundLevel(double x, double z);

// Grey values in stored order: stored row r, column c lies at
// (originX + 128 c, originZ + 128 r).
std::vector<std::uint8_t> heightmapRows(int i, int j);

// Sand coloured by height and slope, lit from the game's light.
Canvas terrainTexture(int i, int j);

enum class SkyFace { front, right, left, back, top };
Canvas skyFace(SkyFace face);
