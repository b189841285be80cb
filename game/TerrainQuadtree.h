#pragma once

#include <game/Camera.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>

struct TerrainQuadtree;

// The corner record of one square of a terrain tile. The tile records are
// the records of the roots; a child's record is built on the stack from its
// parent's during every recursion, so the parent chain is valid only while
// the recursion runs.
struct TerrainTile {
    const TerrainTile* parent = nullptr;  // null for a root
    TerrainQuadtree* node = nullptr;      // set by the node's constructor
    int childIndex = 0;                   // which child of the parent, 0 to 3
    int level = 15;                       // the square measures 2 << level units
    int originX = 0;                      // minimum x corner
    int originZ = 0;                      // minimum z corner
    // Heights of the corners: 0 north-east, 1 north-west, 2 south-west,
    // 3 south-east (north is -z, east is +x).
    std::array<std::uint16_t, 4> corners{};
};

// Edge vertices and quadrants, as directions and child indices count them.
enum QuadtreeEdge : int { edgeEast = 0, edgeNorth = 1, edgeWest = 2, edgeSouth = 3 };

inline constexpr std::uint8_t edgeFlag(int edge) {
    return static_cast<std::uint8_t>(1u << edge);
}
inline constexpr std::uint8_t quadrantFlag(int child) {
    return static_cast<std::uint8_t>(16u << child);
}

// One node of a tile's adaptive quadtree of heights.
struct TerrainQuadtree {
    // Constructs the node for the square of the record, interpolating its
    // vertices from the corners, and stores its address in the record.
    explicit TerrainQuadtree(TerrainTile& corners);
    TerrainQuadtree(const TerrainQuadtree&) = delete;
    TerrainQuadtree& operator=(const TerrainQuadtree&) = delete;

    // 0 north-east, 1 north-west, 2 south-west, 3 south-east quadrant.
    std::array<std::unique_ptr<TerrainQuadtree>, 4> children;
    // Centre, then the east, north, west and south edge midpoints.
    std::array<std::uint16_t, 5> vertexHeight{};
    // East vertex, south vertex, then the four quadrants.
    std::array<std::uint16_t, 6> error{};
    std::uint16_t minY = 0;
    std::uint16_t maxY = 0;
    // Bits 0 to 3: edge vertex enabled; bits 4 to 7: quadrant subdivided.
    std::uint8_t enabledFlags = 0;
    // Enabled quadrants, here or in the neighbour, that need the east (0)
    // and the south (1) vertex.
    std::array<std::uint8_t, 2> subEnabledCount{};
    bool isStatic = false;  // carries height data: refinement never deletes it
    bool dirty = false;     // errors and height range need recomputing
};

// Height samples laid over world space: sample (c, r) is
// samples[c + r * rowWidth] at (originX + (c << scaleShift),
// originZ + (r << scaleShift)).
struct HeightGrid {
    std::span<const std::int16_t> samples;
    int originX = 0;
    int originZ = 0;
    int sizeX = 0;
    int sizeZ = 0;
    int rowWidth = 0;
    int scaleShift = 0;
};

// The detail threshold of the refinement tests; callers set it before each
// refinement.
extern float terrainDetail;
inline constexpr float outerTileDetail = 80.0f;
inline constexpr float centreTileDetail = 160.0f;

// Cosine of the view cone's half angle (0.65 wide, 0.83 narrow).
extern float viewConeCos;
extern bool viewConeCulling;
// Beyond this distance from the camera a point is outside the view cone.
extern float viewDistance;

// Deletes the node's subtree and clears its child pointers.
void destroyQuadtree(TerrainQuadtree& node);

// Adds the grid's heights to the subtree, creating nodes down to the grid's
// resolution.
void buildQuadtree(TerrainQuadtree& node, const TerrainTile& corners, const HeightGrid& grid);

// Bilinear height of the grid at a point; 0 outside the grid and on its
// last column and row.
float sampleHeightGrid(const HeightGrid& grid, int x, int z);

// One refinement pass from the viewer; pass 0 as the centre error of a root.
// It may delete the node itself (never a root), so the caller must not touch
// the node afterwards.
void refineQuadtree(TerrainQuadtree& node, const TerrainTile& corners, const Vec3& viewer, float centreError);

// Ground height at (x, z); outside the square the nearest border quadrant's
// surface.
float terrainHeightAt(const TerrainQuadtree& node, const TerrainTile& corners, float x, float z);

// Where a box lies against the live camera's view cone: 0 inside (or culling
// off), 1 partly outside, 2 wholly outside.
int inViewCone(const Vec3& boxMin, const Vec3& boxMax);

// The operations below keep neighbouring squares crack-free; records passed
// in must belong to a live recursion chain.
TerrainTile childCorners(int child, const TerrainQuadtree& parent, const TerrainTile& parentCorners);
TerrainQuadtree* quadtreeNeighbor(int direction, const TerrainTile& corners);
void enableEdgeVertex(int direction, bool countIt, const TerrainTile& corners);
void enableChildNode(const TerrainTile& corners, int child);
void notifyChildDisabled(const TerrainTile& corners, int child);
int recomputeNodeError(TerrainQuadtree& node, const TerrainTile& corners);
