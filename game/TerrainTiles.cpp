#include <game/TerrainTiles.h>

#include <game/Camera.h>

namespace {

std::array<TerrainTile, terrainTileCount> startTiles() {
    std::array<TerrainTile, terrainTileCount> tiles{};
    for (TerrainTile& tile : tiles) {
        tile.level = tileLevel;
    }
    return tiles;
}

}  // namespace

std::array<TerrainTile, terrainTileCount> terrainTiles = startTiles();
std::array<std::unique_ptr<TerrainQuadtree>, terrainTileCount> terrainRoots;

void refineAllTiles() {
    for (int i = 0; i < terrainTileCount; ++i) {
        auto& root = terrainRoots[static_cast<std::size_t>(i)];
        if (!root) {
            continue;
        }
        terrainDetail = (i == centreTile) ? centreTileDetail : outerTileDetail;
        refineQuadtree(*root, terrainTiles[static_cast<std::size_t>(i)], liveCamera.position, 0.0f);
    }
}
