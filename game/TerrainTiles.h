#pragma once

#include <game/TerrainQuadtree.h>

#include <array>
#include <memory>

// The landscape: 3 by 3 tiles of 65536 units, in the order x0y0, x0y1,
// x0y2, x1y0, x1y1, x1y2, x2y0, x2y1, x2y2 (tile xIyJ lies I tiles along x
// and J tiles along z). Only the centre tile is playable and answers height
// queries.
inline constexpr int terrainTileCount = 9;
inline constexpr int centreTile = 4;
inline constexpr int tileLevel = 15;

extern std::array<TerrainTile, terrainTileCount> terrainTiles;

// Built by the level set-up from the tile records, one root per tile.
extern std::array<std::unique_ptr<TerrainQuadtree>, terrainTileCount> terrainRoots;

// Refines every tile that has a root from the live camera's position, with
// the centre tile's detail for the centre and the outer detail elsewhere.
void refineAllTiles();
