#pragma once

#include <game/TerrainQuadtree.h>

#include <cstdint>
#include <vector>

// The triangles of one tile, gathered node by node in drawing order and sent
// to GL in one call.
struct TerrainMesh {
    std::vector<float> vertices;          // x, y, z per vertex
    std::vector<std::uint32_t> indices;   // three per triangle

    void clear() {
        vertices.clear();
        indices.clear();
    }
};

// Draws the tile with the texture that the caller has bound; one texture
// spans one tile.
void drawTerrainTile(const TerrainQuadtree& root, const TerrainTile& corners);

// Gathers the triangles of a node and its enabled quadrants, culled by the
// view cone: cull 0 draws everything below, 1 tests small squares, 2 is
// never passed in.
void drawQuadtreeNode(const TerrainQuadtree& node, const TerrainTile& corners, int cull, TerrainMesh& mesh);
