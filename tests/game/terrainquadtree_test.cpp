#include <game/TerrainQuadtree.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr int tileLevel = 15;
constexpr int tileSize = 2 << tileLevel;

// A height grid over one tile with one sample past its far borders, as the
// game's heightmaps have.
struct TestGrid {
    std::vector<std::int16_t> samples;
    HeightGrid grid;

    TestGrid(int originX, int originZ, int shift, const std::function<int(int, int)>& height) {
        const int size = (tileSize >> shift) + 2;
        samples.resize(static_cast<std::size_t>(size) * size);
        for (int r = 0; r < size; ++r) {
            for (int c = 0; c < size; ++c) {
                samples[static_cast<std::size_t>(c + r * size)] = static_cast<std::int16_t>(height(c, r));
            }
        }
        grid = HeightGrid{samples, originX, originZ, size, size, size, shift};
    }
};

// A tile with its root; the record must stay where it is while the root
// lives, as refinement keeps pointers to it.
struct TestTile {
    TerrainTile record;
    std::unique_ptr<TerrainQuadtree> root;

    explicit TestTile(int originX = 0, int originZ = 0) {
        record.level = tileLevel;
        record.originX = originX;
        record.originZ = originZ;
        root = std::make_unique<TerrainQuadtree>(record);
    }
    TestTile(const TestTile&) = delete;
    TestTile& operator=(const TestTile&) = delete;

    void refine(const Vec3& viewer, float detail = 160.0f) {
        terrainDetail = detail;
        refineQuadtree(*root, record, viewer, 0.0f);
    }
};

// Every existing node with its record; `active` tells whether it is reached
// through enabled quadrants only.
using NodeVisitor = std::function<void(TerrainQuadtree&, const TerrainTile&, bool active)>;

void visitAll(TerrainQuadtree& node, const TerrainTile& c, bool active, const NodeVisitor& visit) {
    visit(node, c, active);
    for (int i = 0; i < 4; ++i) {
        if (node.children[static_cast<std::size_t>(i)]) {
            const bool childActive = active && (node.enabledFlags & quadrantFlag(i));
            visitAll(*node.children[static_cast<std::size_t>(i)], childCorners(i, node, c), childActive, visit);
        }
    }
}

void visitAll(TestTile& tile, const NodeVisitor& visit) {
    visitAll(*tile.root, tile.record, true, visit);
}

struct TreeCounts {
    int nodes = 0;
    int staticNodes = 0;
    int dirtyNodes = 0;
    int flaggedNodes = 0;
};

TreeCounts countTree(TestTile& tile) {
    TreeCounts counts;
    visitAll(tile, [&](TerrainQuadtree& node, const TerrainTile&, bool) {
        ++counts.nodes;
        counts.staticNodes += node.isStatic;
        counts.dirtyNodes += node.dirty;
        counts.flaggedNodes += node.enabledFlags != 0;
    });
    return counts;
}

int enabledQuadrants(const TerrainQuadtree* node, int a, int b) {
    if (!node) {
        return 0;
    }
    return ((node->enabledFlags & quadrantFlag(a)) ? 1 : 0) + ((node->enabledFlags & quadrantFlag(b)) ? 1 : 0);
}

bool onTileBorder(const TerrainTile& c, int direction, const TerrainTile& tile) {
    const int size = 2 << c.level;
    switch (direction) {
    case edgeEast:
        return c.originX + size == tile.originX + tileSize;
    case edgeNorth:
        return c.originZ == tile.originZ;
    case edgeWest:
        return c.originX == tile.originX;
    default:
        return c.originZ + size == tile.originZ + tileSize;
    }
}

// The rules that keep the mesh crack-free and the bookkeeping exact.
void expectConsistent(TestTile& tile) {
    int failures = 0;
    visitAll(tile, [&](TerrainQuadtree& node, const TerrainTile& c, bool active) {
        if (failures > 5) {
            return;
        }
        auto fail = [&](const char* what) {
            ADD_FAILURE() << what << " at level " << c.level << " origin (" << c.originX << ", " << c.originZ
                          << ") flags " << int(node.enabledFlags);
            ++failures;
        };
        if (!active && !node.isStatic) {
            fail("non-static node outside the enabled tree");
        }
        if (!active && node.enabledFlags != 0) {
            fail("flags on a node outside the enabled tree");
        }
        for (int i = 0; i < 4; ++i) {
            if ((node.enabledFlags & quadrantFlag(i)) &&
                (!(node.enabledFlags & edgeFlag(i)) || !(node.enabledFlags & edgeFlag((i + 1) & 3)))) {
                fail("subdivided quadrant without its edge vertices");
            }
        }
        for (int d = 0; d < 4; ++d) {
            if (!(node.enabledFlags & edgeFlag(d))) {
                continue;
            }
            TerrainQuadtree* neighbour = quadtreeNeighbor(d, c);
            if (onTileBorder(c, d, tile.record)) {
                if (neighbour) {
                    fail("neighbour found beyond the tile border");
                }
            } else if (!neighbour || !(neighbour->enabledFlags & edgeFlag(d ^ 2))) {
                fail("enabled edge vertex without its twin");
            }
        }
        const TerrainQuadtree* east = quadtreeNeighbor(edgeEast, c);
        const TerrainQuadtree* south = quadtreeNeighbor(edgeSouth, c);
        if (node.subEnabledCount[0] != enabledQuadrants(&node, 0, 3) + enabledQuadrants(east, 1, 2)) {
            fail("east vertex count");
        }
        if (node.subEnabledCount[1] != enabledQuadrants(&node, 2, 3) + enabledQuadrants(south, 0, 1)) {
            fail("south vertex count");
        }
    });
}

int randomHeight(std::mt19937& random) {
    return std::uniform_int_distribution<int>(1, 7650)(random);
}

// Rolling hills with a little noise: coarse squares have large errors and
// fine ones small, so refinement keeps changing as the viewer moves.
int hillHeight(int c, int r, std::mt19937& random) {
    const double hills = 3000.0 + 1500.0 * std::sin(c / 7.0) * std::cos(r / 5.0);
    return static_cast<int>(hills) + std::uniform_int_distribution<int>(0, 40)(random);
}

TEST(HeightGridSampling, InterpolatesInsideAndGivesZeroOutside) {
    const std::vector<std::int16_t> samples = {0, 100, 200,  //
                                               300, 400, 500,  //
                                               600, 700, 800};
    const HeightGrid grid{samples, 1000, 2000, 3, 3, 3, 4};
    EXPECT_FLOAT_EQ(sampleHeightGrid(grid, 1000, 2000), 0.0f);
    EXPECT_FLOAT_EQ(sampleHeightGrid(grid, 1016, 2016), 400.0f);
    EXPECT_FLOAT_EQ(sampleHeightGrid(grid, 1008, 2008), 200.0f);
    EXPECT_FLOAT_EQ(sampleHeightGrid(grid, 1020, 2000), 125.0f);
    // Before the first and on the last column or row: nothing.
    EXPECT_EQ(sampleHeightGrid(grid, 999, 2000), 0.0f);
    EXPECT_EQ(sampleHeightGrid(grid, 1032, 2000), 0.0f);
    EXPECT_EQ(sampleHeightGrid(grid, 1000, 2032), 0.0f);
}

TEST(HeightGridSampling, ShortSampleBufferReadsNothing) {
    const std::vector<std::int16_t> samples = {5, 5, 5};
    const HeightGrid grid{samples, 0, 0, 3, 3, 3, 4};  // claims 9 samples
    EXPECT_EQ(sampleHeightGrid(grid, 16, 16), 0.0f);
}

TEST(TerrainBuild, FlatGridAddsNothingAndRefinementPrunesTheBuild) {
    TestTile tile;
    TestGrid flat(0, 0, 12, [](int, int) { return 0; });
    buildQuadtree(*tile.root, tile.record, flat.grid);
    TreeCounts built = countTree(tile);
    EXPECT_GT(built.nodes, 1 + 4 + 16);
    EXPECT_EQ(built.staticNodes, 0);
    EXPECT_EQ(built.dirtyNodes, 0);
    // The build enables every node it makes.
    visitAll(tile, [](TerrainQuadtree&, const TerrainTile&, bool active) { EXPECT_TRUE(active); });

    for (int pass = 0; pass < 20; ++pass) {
        tile.refine({1e7f, 0.0f, 1e7f});
    }
    TreeCounts pruned = countTree(tile);
    EXPECT_EQ(pruned.nodes, 1);
    EXPECT_EQ(tile.root->enabledFlags, 0);
}

TEST(TerrainBuild, OneSampleMakesExactlyItsAncestorsStatic) {
    TestTile tile;
    constexpr int shift = 11;
    constexpr int column = 7;
    constexpr int row = 12;
    TestGrid grid(0, 0, shift, [](int c, int r) { return (c == column && r == row) ? 3000 : 0; });
    buildQuadtree(*tile.root, tile.record, grid.grid);

    const int px = column << shift;
    const int pz = row << shift;
    // Which nodes have the sample's point among their five vertices or in
    // a descendant: exactly those must be static.
    std::function<bool(TerrainQuadtree&, const TerrainTile&)> holdsPoint = [&](TerrainQuadtree& node,
                                                                               const TerrainTile& c) {
        const int h = 1 << c.level;
        const int vx[5] = {c.originX + h, c.originX + 2 * h, c.originX + h, c.originX, c.originX + h};
        const int vz[5] = {c.originZ + h, c.originZ + h, c.originZ, c.originZ + h, c.originZ + 2 * h};
        bool found = false;
        for (int k = 0; k < 5; ++k) {
            found = found || (vx[k] == px && vz[k] == pz);
        }
        for (int i = 0; i < 4; ++i) {
            if (node.children[static_cast<std::size_t>(i)]) {
                found = holdsPoint(*node.children[static_cast<std::size_t>(i)], childCorners(i, node, c)) || found;
            }
        }
        EXPECT_EQ(node.isStatic, found) << "level " << c.level << " at " << c.originX << ", " << c.originZ;
        return found;
    };
    EXPECT_TRUE(holdsPoint(*tile.root, tile.record));

    const int staticNodes = countTree(tile).staticNodes;
    EXPECT_GT(staticNodes, tileLevel - shift);
    for (int pass = 0; pass < 30; ++pass) {
        tile.refine({-1e7f, 0.0f, -1e7f});
    }
    const TreeCounts after = countTree(tile);
    EXPECT_EQ(after.nodes, staticNodes);
    EXPECT_EQ(after.staticNodes, staticNodes);
    EXPECT_FLOAT_EQ(terrainHeightAt(*tile.root, tile.record, float(px), float(pz)), 3000.0f);
}

TEST(TerrainBuild, GridOutsideTheSquareAddsNothing) {
    TestTile tile;
    TestGrid far(3 * tileSize, 0, 12, [](int, int) { return 500; });
    buildQuadtree(*tile.root, tile.record, far.grid);
    EXPECT_EQ(countTree(tile).nodes, 1);
    EXPECT_FALSE(tile.root->isStatic);
}

TEST(TerrainNeighbours, EnablingAVertexCreatesTheTwinAcrossQuadrants) {
    TestTile tile;
    // North-west quadrant, then its north-east quadrant: that needs the
    // north-west square's east vertex, whose twin lies in the root's
    // north-east quadrant.
    enableChildNode(tile.record, 1);
    const TerrainTile northWest = childCorners(1, *tile.root, tile.record);
    enableChildNode(northWest, 0);
    ASSERT_TRUE(tile.root->children[0]);
    EXPECT_TRUE(tile.root->enabledFlags & quadrantFlag(0));
    EXPECT_TRUE(tile.root->children[0]->enabledFlags & edgeFlag(edgeWest));
    EXPECT_EQ(tile.root->children[1]->subEnabledCount[0], 1);
    EXPECT_EQ(quadtreeNeighbor(edgeEast, northWest), tile.root->children[0].get());
    expectConsistent(tile);
}

TEST(TerrainNeighbours, ATileBorderVertexReachesNoOtherTile) {
    TestTile west(0, 0);
    TestTile east(tileSize, 0);
    enableChildNode(west.record, 0);
    const TerrainTile northEast = childCorners(0, *west.root, west.record);
    enableChildNode(northEast, 0);
    enableChildNode(northEast, 3);
    EXPECT_EQ(quadtreeNeighbor(edgeEast, northEast), nullptr);
    EXPECT_EQ(countTree(east).nodes, 1);
    EXPECT_EQ(east.root->enabledFlags, 0);
    expectConsistent(west);
}

TEST(TerrainRefinement, StaysCrackFreeOverRandomCamerasAndReturnsToStaticNodes) {
    std::mt19937 random(1234);
    TestTile tile;
    TestGrid grid(0, 0, 10, [&](int c, int r) { return hillHeight(c, r, random); });
    buildQuadtree(*tile.root, tile.record, grid.grid);
    const int staticNodes = countTree(tile).staticNodes;
    expectConsistent(tile);

    std::uniform_real_distribution<float> across(-20000.0f, tileSize + 20000.0f);
    std::uniform_real_distribution<float> above(1000.0f, 12000.0f);
    Vec3 viewer{};
    for (int step = 0; step < 300 && !HasFailure(); ++step) {
        // Mostly short walks, now and then a jump.
        if (step % 10 == 0) {
            viewer = {across(random), above(random), across(random)};
        } else {
            viewer[0] += std::uniform_real_distribution<float>(-3000.0f, 3000.0f)(random);
            viewer[2] += std::uniform_real_distribution<float>(-3000.0f, 3000.0f)(random);
        }
        tile.refine(viewer, (step & 1) ? 80.0f : 160.0f);
        expectConsistent(tile);
    }

    // Each pass releases what the last one left without needs; a tree this
    // deep settles in far fewer passes.
    for (int pass = 0; pass < 40; ++pass) {
        tile.refine({5e6f, 0.0f, 5e6f});
    }
    const TreeCounts after = countTree(tile);
    EXPECT_EQ(after.nodes, staticNodes);
    EXPECT_EQ(after.staticNodes, staticNodes);
    EXPECT_EQ(after.flaggedNodes, 0);
    expectConsistent(tile);
}

TEST(TerrainRefinement, NearbyViewerGetsFinerSquaresThanADistantOne) {
    TestTile tile;
    TestGrid grid(0, 0, 10, [](int c, int r) { return 2000 + ((c * 7 + r * 13) % 5) * 10; });
    buildQuadtree(*tile.root, tile.record, grid.grid);
    for (int pass = 0; pass < 10; ++pass) {
        tile.refine({30000.0f, 2100.0f, 30000.0f});
    }
    auto deepestActiveLevelAt = [&](int x, int z) {
        int level = tileLevel;
        visitAll(tile, [&](TerrainQuadtree&, const TerrainTile& c, bool active) {
            const int size = 2 << c.level;
            if (active && x >= c.originX && x < c.originX + size && z >= c.originZ && z < c.originZ + size) {
                level = std::min(level, c.level);
            }
        });
        return level;
    };
    EXPECT_LT(deepestActiveLevelAt(30000, 30000), deepestActiveLevelAt(1000, 64000));
    expectConsistent(tile);
}

TEST(TerrainHeight, AgreesWithTheGridsBilinearHeight) {
    std::mt19937 random(7);
    TestTile tile;
    TestGrid grid(0, 0, 9, [&](int, int) { return randomHeight(random); });
    buildQuadtree(*tile.root, tile.record, grid.grid);
    tile.refine({30000.0f, 5000.0f, 30000.0f});  // the lookup must not depend on refinement
    std::uniform_int_distribution<int> inside(0, tileSize - 1);
    for (int i = 0; i < 2000; ++i) {
        const int x = inside(random);
        const int z = inside(random);
        ASSERT_NEAR(terrainHeightAt(*tile.root, tile.record, float(x), float(z)), sampleHeightGrid(grid.grid, x, z),
                    0.05f)
            << x << ", " << z;
    }
}

TEST(TerrainHeight, LeafCornerGivesItsStoredHeightAndOutsideClampsToTheBorder) {
    std::mt19937 random(8);
    TestTile tile(tileSize, -tileSize);
    TestGrid grid(tileSize, -tileSize, 11, [&](int, int) { return randomHeight(random); });
    buildQuadtree(*tile.root, tile.record, grid.grid);
    const float x = tileSize + (5 << 11);
    const float z = -tileSize + (9 << 11);
    const std::int16_t stored = grid.samples[static_cast<std::size_t>(5 + 9 * grid.grid.rowWidth)];
    EXPECT_FLOAT_EQ(terrainHeightAt(*tile.root, tile.record, x, z), stored);

    const float borderX = tileSize;
    EXPECT_FLOAT_EQ(terrainHeightAt(*tile.root, tile.record, borderX - 5000.0f, z),
                    terrainHeightAt(*tile.root, tile.record, borderX, z));
    const float farZ = 0.0f + 123456.0f;
    EXPECT_FLOAT_EQ(terrainHeightAt(*tile.root, tile.record, x, farZ),
                    terrainHeightAt(*tile.root, tile.record, x, 0.0f));
}

TEST(TerrainHeight, WildQueriesStayOnTheTile) {
    TestTile tile;
    TestGrid grid(0, 0, 12, [](int c, int r) { return 100 + c + r; });
    buildQuadtree(*tile.root, tile.record, grid.grid);
    for (float wild : {1e30f, -1e30f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        const float h = terrainHeightAt(*tile.root, tile.record, wild, wild);
        EXPECT_GE(h, 0.0f);
        EXPECT_LE(h, 7650.0f);
    }
}

class ViewCone : public ::testing::Test {
protected:
    void SetUp() override {
        saved = liveCamera;
        savedCulling = viewConeCulling;
        liveCamera.init(0.0f, 0.0f, 0.0f);  // looking along -z
        viewConeCulling = true;
    }
    void TearDown() override {
        liveCamera = saved;
        viewConeCulling = savedCulling;
    }
    Camera saved;
    bool savedCulling = true;
};

TEST_F(ViewCone, BoxAheadIsInsideAndBehindIsOutside) {
    EXPECT_EQ(inViewCone({-100, -100, -5000}, {100, 100, -4000}), 0);
    EXPECT_EQ(inViewCone({-100, -100, 4000}, {100, 100, 5000}), 2);
    EXPECT_EQ(inViewCone({-100, -100, -5000}, {100, 100, 5000}), 1);
}

TEST_F(ViewCone, NearCornersAreNeverOutsideByAngle) {
    EXPECT_EQ(inViewCone({-100, -100, 100}, {100, 100, 300}), 0);
}

TEST_F(ViewCone, FarCornersAreOutsideEvenStraightAhead) {
    EXPECT_EQ(inViewCone({-100, -100, -90000}, {100, 100, -85000}), 2);
}

TEST_F(ViewCone, CullingOffPutsEverythingInside) {
    viewConeCulling = false;
    EXPECT_EQ(inViewCone({-100, -100, 4000}, {100, 100, 5000}), 0);
}

}  // namespace
