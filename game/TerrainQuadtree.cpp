#include <game/TerrainQuadtree.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

float terrainDetail = 100.0f;
float viewConeCos = 0.65f;
bool viewConeCulling = true;
float viewDistance = 80000.0f;

namespace {

// Deeper than any tile (level 15) can climb.
constexpr int maxPathLength = 32;

// Corners within this distance of the camera are never outside by angle.
constexpr float nearConeDistance = 1500.0f;

std::uint16_t toHeight(int value) {
    return static_cast<std::uint16_t>(std::clamp(value, 0, 0xFFFF));
}

void widen(TerrainQuadtree& node, std::uint16_t height) {
    node.minY = std::min(node.minY, height);
    node.maxY = std::max(node.maxY, height);
}

// Estimated error of quadrant i from the node's own heights: how far the
// quadrant's two diagonals disagree at its centre.
int quadrantEstimate(const TerrainQuadtree& node, const std::array<std::uint16_t, 4>& corners, int i) {
    const auto& v = node.vertexHeight;
    const int diagonal = v[0] + corners[static_cast<std::size_t>(i)];
    const int across = v[static_cast<std::size_t>(i + 1)] + v[static_cast<std::size_t>(((i + 1) & 3) + 1)];
    return std::abs(diagonal - across) / 4;
}

int childOriginX(const TerrainTile& c, int child) {
    return (child == 0 || child == 3) ? c.originX + (1 << c.level) : c.originX;
}

int childOriginZ(const TerrainTile& c, int child) {
    return (child == 2 || child == 3) ? c.originZ + (1 << c.level) : c.originZ;
}

bool vertexNeedsDetail(int x, int y, int z, int error, const Vec3& viewer) {
    const float d = std::max({std::fabs(static_cast<float>(x) - viewer[0]), std::fabs(static_cast<float>(y) - viewer[1]),
                              std::fabs(static_cast<float>(z) - viewer[2])});
    return static_cast<float>(error) * terrainDetail > d;
}

bool boxNeedsDetail(int x, int z, int size, int minY, int maxY, int error, const Vec3& viewer) {
    const int h = size / 2;
    const float dx = std::fabs(static_cast<float>(x + h) - viewer[0]) - static_cast<float>(h);
    const float dy = std::fabs(static_cast<float>((minY + maxY) / 2) - viewer[1]) - static_cast<float>((maxY - minY) / 2);
    const float dz = std::fabs(static_cast<float>(z + h) - viewer[2]) - static_cast<float>(h);
    return static_cast<float>(error) * terrainDetail > std::max({dx, dy, dz});
}

void createChildNode(const TerrainTile& c, int child) {
    TerrainQuadtree& node = *c.node;
    TerrainTile corners = childCorners(child, node, c);
    // A node that cannot be allocated leaves a hole in the tree; every
    // recursion skips null children.
    node.children[static_cast<std::size_t>(child)].reset(new (std::nothrow) TerrainQuadtree(corners));
}

// Walks down the recorded path from the common ancestor, subdividing where
// needed; returns the node reached, the neighbour of the same size.
TerrainQuadtree* enableDescendant(const TerrainTile& c, const std::array<int, maxPathLength>& path, int remaining) {
    if (remaining == 0) {
        return c.node;
    }
    const int child = path[static_cast<std::size_t>(remaining - 1)];
    TerrainQuadtree& node = *c.node;
    if (!(node.enabledFlags & quadrantFlag(child))) {
        enableChildNode(c, child);
    }
    if (!node.children[static_cast<std::size_t>(child)]) {
        return nullptr;
    }
    const TerrainTile corners = childCorners(child, node, c);
    return enableDescendant(corners, path, remaining - 1);
}

void markStaticUpwards(const TerrainTile& c) {
    c.node->isStatic = true;
    for (const TerrainTile* p = c.parent; p && p->node && !p->node->isStatic; p = p->parent) {
        p->node->isStatic = true;
    }
}

void decrementCount(TerrainQuadtree* node, int index) {
    // A count that never went up (its neighbour could not be allocated)
    // must not wrap around and pin the vertex on for good.
    if (node && node->subEnabledCount[static_cast<std::size_t>(index)] > 0) {
        --node->subEnabledCount[static_cast<std::size_t>(index)];
    }
}

// A west or north vertex on the tree's outer border has no neighbour that
// would ever switch it off, and while it is on its node can never be
// released: it goes as soon as neither quadrant along that edge needs it.
void releaseBorderVertex(TerrainQuadtree& node, const TerrainTile& c, int edge, int quadrantA, int quadrantB) {
    const std::uint8_t needed = quadrantFlag(quadrantA) | quadrantFlag(quadrantB);
    if ((node.enabledFlags & edgeFlag(edge)) && !(node.enabledFlags & needed) && !quadtreeNeighbor(edge, c)) {
        node.enabledFlags &= static_cast<std::uint8_t>(~edgeFlag(edge));
    }
}

float clampUnit(float v) {
    // Also maps NaN to 0, so a wild query still lands on the tile.
    return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
}

}  // namespace

TerrainQuadtree::TerrainQuadtree(TerrainTile& c) {
    c.node = this;
    const int c0 = c.corners[0];
    const int c1 = c.corners[1];
    const int c2 = c.corners[2];
    const int c3 = c.corners[3];
    vertexHeight[0] = toHeight((c0 + c1 + c2 + c3) / 4);
    vertexHeight[1] = toHeight((c3 + c0) / 2);
    vertexHeight[2] = toHeight((c0 + c1) / 2);
    vertexHeight[3] = toHeight((c1 + c2) / 2);
    vertexHeight[4] = toHeight((c2 + c3) / 2);
    for (int i = 0; i < 4; ++i) {
        error[static_cast<std::size_t>(i + 2)] = toHeight(quadrantEstimate(*this, c.corners, i));
    }
    minY = maxY = c.corners[0];
    for (std::uint16_t corner : c.corners) {
        widen(*this, corner);
    }
}

void destroyQuadtree(TerrainQuadtree& node) {
    for (auto& child : node.children) {
        child.reset();
    }
}

TerrainTile childCorners(int child, const TerrainQuadtree& parent, const TerrainTile& c) {
    const auto& v = parent.vertexHeight;
    const std::uint16_t centre = v[0];
    const std::uint16_t east = v[1];
    const std::uint16_t north = v[2];
    const std::uint16_t west = v[3];
    const std::uint16_t south = v[4];
    TerrainTile r;
    r.parent = &c;
    r.node = parent.children[static_cast<std::size_t>(child)].get();
    r.childIndex = child;
    r.level = c.level - 1;
    r.originX = childOriginX(c, child);
    r.originZ = childOriginZ(c, child);
    switch (child) {
    case 0:
        r.corners = {c.corners[0], north, centre, east};
        break;
    case 1:
        r.corners = {north, c.corners[1], west, centre};
        break;
    case 2:
        r.corners = {centre, west, c.corners[2], south};
        break;
    default:
        r.corners = {east, centre, south, c.corners[3]};
        break;
    }
    return r;
}

TerrainQuadtree* quadtreeNeighbor(int direction, const TerrainTile& c) {
    if (!c.parent || !c.parent->node) {
        return nullptr;
    }
    const int ci = c.childIndex;
    const auto wanted = static_cast<std::size_t>(ci ^ 1 ^ ((direction & 1) << 1));
    if ((direction - ci) & 2) {
        return c.parent->node->children[wanted].get();
    }
    TerrainQuadtree* parentNeighbour = quadtreeNeighbor(direction, *c.parent);
    return parentNeighbour ? parentNeighbour->children[wanted].get() : nullptr;
}

void enableEdgeVertex(int direction, bool countIt, const TerrainTile& c) {
    TerrainQuadtree& node = *c.node;
    if ((node.enabledFlags & edgeFlag(direction)) && !countIt) {
        return;
    }
    node.enabledFlags |= edgeFlag(direction);
    if (countIt && (direction == edgeEast || direction == edgeSouth)) {
        ++node.subEnabledCount[static_cast<std::size_t>(direction & 1)];
    }

    // Climb to the common ancestor of this square and its neighbour,
    // remembering the neighbour's branch at every level.
    std::array<int, maxPathLength> path{};
    int length = 0;
    const TerrainTile* p = &c;
    for (;;) {
        if (length == maxPathLength) {
            return;
        }
        const int ci = p->childIndex;
        path[static_cast<std::size_t>(length++)] = ci ^ 1 ^ ((direction & 1) << 1);
        if (!p->parent || !p->parent->node) {
            return;  // the vertex lies on the tree's outer border
        }
        const bool sibling = ((direction - ci) & 2) != 0;
        p = p->parent;
        if (sibling) {
            break;
        }
    }

    TerrainQuadtree* neighbour = enableDescendant(*p, path, length);
    if (!neighbour) {
        return;
    }
    const int opposite = direction ^ 2;
    neighbour->enabledFlags |= edgeFlag(opposite);
    if (countIt && (opposite == edgeEast || opposite == edgeSouth)) {
        ++neighbour->subEnabledCount[static_cast<std::size_t>(opposite & 1)];
    }
}

void enableChildNode(const TerrainTile& c, int child) {
    TerrainQuadtree& node = *c.node;
    if (node.enabledFlags & quadrantFlag(child)) {
        return;
    }
    node.enabledFlags |= quadrantFlag(child);
    enableEdgeVertex(child, true, c);
    enableEdgeVertex((child + 1) & 3, true, c);
    if (!node.children[static_cast<std::size_t>(child)]) {
        createChildNode(c, child);
    }
}

void notifyChildDisabled(const TerrainTile& c, int child) {
    TerrainQuadtree& node = *c.node;
    node.enabledFlags &= static_cast<std::uint8_t>(~quadrantFlag(child));
    decrementCount((child & 2) ? &node : quadtreeNeighbor(edgeNorth, c), 1);
    decrementCount((child == 1 || child == 2) ? quadtreeNeighbor(edgeWest, c) : &node, 0);
    auto& slot = node.children[static_cast<std::size_t>(child)];
    if (slot && !slot->isStatic) {
        slot.reset();
    }
}

int recomputeNodeError(TerrainQuadtree& node, const TerrainTile& c) {
    const auto& v = node.vertexHeight;
    const auto& k = c.corners;
    // Errors are whole numbers: every candidate is truncated before it is
    // compared.
    auto halfDifference = [](int height, int a, int b) { return static_cast<int>(std::fabs(height - (a + b) * 0.5)); };

    int largest = (c.childIndex & 1) ? halfDifference(v[0], k[1], k[3]) : halfDifference(v[0], k[0], k[2]);

    node.minY = node.maxY = v[0];
    for (std::uint16_t corner : k) {
        widen(node, corner);
    }

    node.error[0] = toHeight(halfDifference(v[1], k[0], k[3]));
    node.error[1] = toHeight(halfDifference(v[4], k[2], k[3]));
    largest = std::max({largest, static_cast<int>(node.error[0]), static_cast<int>(node.error[1])});
    for (int i = 1; i <= 4; ++i) {
        widen(node, v[static_cast<std::size_t>(i)]);
    }

    for (int i = 0; i < 4; ++i) {
        TerrainQuadtree* child = node.children[static_cast<std::size_t>(i)].get();
        int childError = 0;
        if (child) {
            childError = recomputeNodeError(*child, childCorners(i, node, c));
            widen(node, child->minY);
            widen(node, child->maxY);
        } else {
            childError = quadrantEstimate(node, k, i);
        }
        node.error[static_cast<std::size_t>(i + 2)] = toHeight(childError);
        largest = std::max(largest, childError);
    }

    node.dirty = false;
    return largest;
}

float sampleHeightGrid(const HeightGrid& g, int x, int z) {
    if (g.scaleShift < 0 || g.scaleShift > 30) {
        return 0.0f;
    }
    const std::int64_t dx = static_cast<std::int64_t>(x) - g.originX;
    const std::int64_t dz = static_cast<std::int64_t>(z) - g.originZ;
    const std::int64_t column = dx >> g.scaleShift;
    const std::int64_t row = dz >> g.scaleShift;
    if (column < 0 || column >= g.sizeX - 1 || row < 0 || row >= g.sizeZ - 1 || column + 1 >= g.rowWidth) {
        return 0.0f;
    }
    const auto i00 = static_cast<std::size_t>(column + row * g.rowWidth);
    const auto i10 = i00 + static_cast<std::size_t>(g.rowWidth);
    if (i10 + 1 >= g.samples.size()) {
        return 0.0f;
    }
    const std::int64_t mask = (std::int64_t{1} << g.scaleShift) - 1;
    const auto spacing = static_cast<float>(std::int64_t{1} << g.scaleShift);
    const float fx = static_cast<float>(dx & mask) / spacing;
    const float fz = static_cast<float>(dz & mask) / spacing;
    const float s00 = g.samples[i00];
    const float s01 = g.samples[i00 + 1];
    const float s10 = g.samples[i10];
    const float s11 = g.samples[i10 + 1];
    return (s00 * (1 - fx) + s01 * fx) * (1 - fz) + (s10 * (1 - fx) + s11 * fx) * fz;
}

void buildQuadtree(TerrainQuadtree& node, const TerrainTile& c, const HeightGrid& g) {
    if (g.scaleShift < 0 || g.scaleShift > 30) {
        return;
    }
    const std::int64_t half = std::int64_t{1} << c.level;
    const std::int64_t whole = 2 * half;
    const std::int64_t spacing = std::int64_t{1} << g.scaleShift;
    const std::int64_t gridEndX = g.originX + (static_cast<std::int64_t>(g.sizeX + 2) << g.scaleShift);
    const std::int64_t gridEndZ = g.originZ + (static_cast<std::int64_t>(g.sizeZ + 2) << g.scaleShift);
    if (c.originX > gridEndX || c.originX + whole < g.originX - spacing || c.originZ > gridEndZ ||
        c.originZ + whole < g.originZ - spacing) {
        return;
    }

    if (c.parent && c.parent->node) {
        enableChildNode(*c.parent, c.childIndex);
    }

    for (int i = 0; i < 4; ++i) {
        auto& slot = node.children[static_cast<std::size_t>(i)];
        if (!slot && c.level > g.scaleShift) {
            createChildNode(c, i);
        }
        if (slot) {
            buildQuadtree(*slot, childCorners(i, node, c), g);
        }
    }

    const int h = static_cast<int>(half);
    const int w = static_cast<int>(whole);
    const std::array<std::array<int, 2>, 5> positions = {{
        {c.originX + h, c.originZ + h},  // centre
        {c.originX + w, c.originZ + h},  // east
        {c.originX + h, c.originZ},      // north
        {c.originX, c.originZ + h},      // west
        {c.originX + h, c.originZ + w},  // south
    }};
    for (std::size_t k = 0; k < positions.size(); ++k) {
        const float sample = sampleHeightGrid(g, positions[k][0], positions[k][1]);
        if (sample != 0.0f) {
            node.dirty = true;
            node.vertexHeight[k] = toHeight(static_cast<int>(static_cast<float>(node.vertexHeight[k]) + sample));
        }
    }

    if (!node.dirty) {
        node.dirty = std::any_of(node.children.begin(), node.children.end(),
                                 [](const auto& child) { return child && child->dirty; });
    }
    if (node.dirty && !node.isStatic) {
        markStaticUpwards(c);
    }
}

void refineQuadtree(TerrainQuadtree& node, const TerrainTile& c, const Vec3& viewer, float centreError) {
    if (node.dirty) {
        recomputeNodeError(node, c);
    }
    const int half = 1 << c.level;
    const int whole = 2 * half;
    const auto& v = node.vertexHeight;
    auto eastNeedsDetail = [&] { return vertexNeedsDetail(c.originX + whole, v[1], c.originZ + half, node.error[0], viewer); };
    auto southNeedsDetail = [&] { return vertexNeedsDetail(c.originX + half, v[4], c.originZ + whole, node.error[1], viewer); };

    if (!(node.enabledFlags & edgeFlag(edgeEast)) && eastNeedsDetail()) {
        enableEdgeVertex(edgeEast, false, c);
    }
    if (!(node.enabledFlags & edgeFlag(edgeSouth)) && southNeedsDetail()) {
        enableEdgeVertex(edgeSouth, false, c);
    }

    if (c.level > 0) {
        static constexpr std::array<int, 4> order = {1, 0, 2, 3};
        for (int i : order) {
            if (!(node.enabledFlags & quadrantFlag(i)) &&
                boxNeedsDetail(childOriginX(c, i), childOriginZ(c, i), half, node.minY, node.maxY,
                               node.error[static_cast<std::size_t>(i + 2)], viewer)) {
                enableChildNode(c, i);
            }
        }
        for (int i : order) {
            TerrainQuadtree* child = node.children[static_cast<std::size_t>(i)].get();
            if ((node.enabledFlags & quadrantFlag(i)) && child) {
                refineQuadtree(*child, childCorners(i, node, c), viewer,
                               static_cast<float>(node.error[static_cast<std::size_t>(i + 2)]));
            }
        }
    }

    if ((node.enabledFlags & edgeFlag(edgeEast)) && node.subEnabledCount[0] == 0 && !eastNeedsDetail()) {
        node.enabledFlags &= static_cast<std::uint8_t>(~edgeFlag(edgeEast));
        if (TerrainQuadtree* east = quadtreeNeighbor(edgeEast, c)) {
            east->enabledFlags &= static_cast<std::uint8_t>(~edgeFlag(edgeWest));
        }
    }
    if ((node.enabledFlags & edgeFlag(edgeSouth)) && node.subEnabledCount[1] == 0 && !southNeedsDetail()) {
        node.enabledFlags &= static_cast<std::uint8_t>(~edgeFlag(edgeSouth));
        if (TerrainQuadtree* south = quadtreeNeighbor(edgeSouth, c)) {
            south->enabledFlags &= static_cast<std::uint8_t>(~edgeFlag(edgeNorth));
        }
    }

    releaseBorderVertex(node, c, edgeWest, 1, 2);
    releaseBorderVertex(node, c, edgeNorth, 0, 1);

    if (node.enabledFlags == 0 && c.parent && c.parent->node &&
        !boxNeedsDetail(c.originX, c.originZ, whole, node.minY, node.maxY, static_cast<int>(centreError), viewer)) {
        // May delete this node: nothing may follow.
        notifyChildDisabled(*c.parent, c.childIndex);
    }
}

float terrainHeightAt(const TerrainQuadtree& node, const TerrainTile& c, float x, float z) {
    const auto half = static_cast<float>(1 << c.level);
    float lx = (x - static_cast<float>(c.originX)) / half;
    float lz = (z - static_cast<float>(c.originZ)) / half;
    const int ix = lx >= 1.0f ? 1 : 0;
    const int iz = lz >= 1.0f ? 1 : 0;
    const int quadrant = ((iz ^ 1) + 2 * iz) ^ ix;

    const TerrainQuadtree* child = node.children[static_cast<std::size_t>(quadrant)].get();
    if (child && child->isStatic) {
        return terrainHeightAt(*child, childCorners(quadrant, node, c), x, z);
    }

    lx = clampUnit(lx - static_cast<float>(ix));
    lz = clampUnit(lz - static_cast<float>(iz));
    const float centre = node.vertexHeight[0];
    const float east = node.vertexHeight[1];
    const float north = node.vertexHeight[2];
    const float west = node.vertexHeight[3];
    const float south = node.vertexHeight[4];
    const float c0 = c.corners[0];
    const float c1 = c.corners[1];
    const float c2 = c.corners[2];
    const float c3 = c.corners[3];
    std::array<float, 4> s{};
    switch (quadrant) {
    case 0:
        s = {north, c0, centre, east};
        break;
    case 1:
        s = {c1, north, west, centre};
        break;
    case 2:
        s = {west, centre, c2, south};
        break;
    default:
        s = {centre, east, south, c3};
        break;
    }
    return (s[0] * (1 - lx) + s[1] * lx) * (1 - lz) + (s[2] * (1 - lx) + s[3] * lx) * lz;
}

int inViewCone(const Vec3& boxMin, const Vec3& boxMax) {
    if (!viewConeCulling) {
        return 0;
    }
    const Camera& camera = liveCamera;
    int outside = 0;
    for (int k = 0; k < 8; ++k) {
        Vec3 v = {(k & 1) ? boxMax[0] : boxMin[0], (k & 2) ? boxMax[1] : boxMin[1], (k & 4) ? boxMax[2] : boxMin[2]};
        for (int i = 0; i < 3; ++i) {
            v[static_cast<std::size_t>(i)] -= camera.position[static_cast<std::size_t>(i)];
        }
        const float dist = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (dist != 0.0f) {
            normalize3(v);
        }
        const float facing = v[0] * camera.forward[0] + v[1] * camera.forward[1] + v[2] * camera.forward[2];
        if ((facing < viewConeCos && dist > nearConeDistance) || dist > viewDistance) {
            ++outside;
        }
    }
    if (outside == 0) {
        return 0;
    }
    return outside == 8 ? 2 : 1;
}
