#include <game/TerrainDrawing.h>

#include <GL/glew.h>

#include <array>

namespace {

// Squares of this level and above are never tested against the view cone.
constexpr int firstUntestedLevel = 11;

constexpr GLfloat tileTexelScale = 1.52587890625e-05f;  // 1 / 65536

// A node is drawn as a fan around its centre (vertex 0) over its border
// vertices 1 to 8: east midpoint, north-east corner, north midpoint, and so
// on round to the south-east corner.
void addTriangle(TerrainMesh& mesh, std::uint32_t base, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    mesh.indices.insert(mesh.indices.end(), {base + a, base + b, base + c});
}

}  // namespace

void drawQuadtreeNode(const TerrainQuadtree& node, const TerrainTile& c, int cull, TerrainMesh& mesh) {
    const int half = 1 << c.level;
    const int whole = 2 * half;
    const auto x0 = static_cast<float>(c.originX);
    const auto z0 = static_cast<float>(c.originZ);
    const auto xm = static_cast<float>(c.originX + half);
    const auto zm = static_cast<float>(c.originZ + half);
    const auto x1 = static_cast<float>(c.originX + whole);
    const auto z1 = static_cast<float>(c.originZ + whole);

    if (cull != 0 && c.level < firstUntestedLevel) {
        cull = inViewCone({x0, static_cast<float>(node.minY), z0}, {x1, static_cast<float>(node.maxY), z1});
        if (cull == 2) {
            return;
        }
    }

    int mask = 0;
    for (int i = 0; i < 4; ++i) {
        const TerrainQuadtree* child = node.children[static_cast<std::size_t>(i)].get();
        if ((node.enabledFlags & quadrantFlag(i)) && child) {
            drawQuadtreeNode(*child, childCorners(i, node, c), cull, mesh);
        } else {
            // Also a quadrant whose node could not be allocated: better
            // coarse ground than a hole.
            mask |= 1 << i;
        }
    }
    if (mask == 0) {
        return;
    }

    const auto& v = node.vertexHeight;
    const auto& k = c.corners;
    const auto base = static_cast<std::uint32_t>(mesh.vertices.size() / 3);
    mesh.vertices.insert(mesh.vertices.end(), {
        xm, float(v[0]), zm,  // 0 centre
        x1, float(v[1]), zm,  // 1 east
        x1, float(k[0]), z0,  // 2 corner 0
        xm, float(v[2]), z0,  // 3 north
        x0, float(k[1]), z0,  // 4 corner 1
        x0, float(v[3]), zm,  // 5 west
        x0, float(k[2]), z1,  // 6 corner 2
        xm, float(v[4]), z1,  // 7 south
        x1, float(k[3]), z1,  // 8 corner 3
    });

    // One edge at a time: a side whose midpoint is off is one triangle,
    // a side whose midpoint is on is split in two, each drawn only where
    // its quadrant is drawn here.
    struct Side {
        int edge;
        std::uint32_t first, middle, last;
        int firstQuadrant, lastQuadrant;
    };
    static constexpr std::array<Side, 4> sides = {{
        {edgeEast, 8, 1, 2, 3, 0},
        {edgeNorth, 2, 3, 4, 0, 1},
        {edgeWest, 4, 5, 6, 1, 2},
        {edgeSouth, 6, 7, 8, 2, 3},
    }};
    for (const Side& side : sides) {
        if (!(node.enabledFlags & edgeFlag(side.edge))) {
            addTriangle(mesh, base, 0, side.first, side.last);
            continue;
        }
        if (mask & (1 << side.firstQuadrant)) {
            addTriangle(mesh, base, 0, side.first, side.middle);
        }
        if (mask & (1 << side.lastQuadrant)) {
            addTriangle(mesh, base, 0, side.middle, side.last);
        }
    }
}

void drawTerrainTile(const TerrainQuadtree& root, const TerrainTile& c) {
    // One buffer for every tile and frame: it grows to the largest tile once.
    static TerrainMesh mesh;
    mesh.clear();

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glPushMatrix();

    static constexpr GLfloat sPlane[4] = {tileTexelScale, 0.0f, 0.0f, 0.0f};
    static constexpr GLfloat tPlane[4] = {0.0f, 0.0f, tileTexelScale, 0.0f};
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGenfv(GL_S, GL_OBJECT_PLANE, sPlane);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGenfv(GL_T, GL_OBJECT_PLANE, tPlane);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);

    drawQuadtreeNode(root, c, 1, mesh);
    if (!mesh.indices.empty()) {
        glVertexPointer(3, GL_FLOAT, 0, mesh.vertices.data());
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT, mesh.indices.data());
    }

    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}
