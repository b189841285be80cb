#include <game/TerrainDrawing.h>

#include "GlTestSupport.h"
#include "OffscreenGl.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <vector>

namespace {

constexpr int tileSize = 65536;

// One tile over rolling hills, refined from a few viewers.
class TerrainDrawTest : public ::testing::Test {
protected:
    static void TearDownTestSuite() { testfiles::expectNoLeaks(); }

    void SetUp() override {
        savedCamera = liveCamera;
        savedCulling = viewConeCulling;
        record.level = 15;
        root = std::make_unique<TerrainQuadtree>(record);
        const int size = (tileSize >> 10) + 2;
        samples.resize(static_cast<std::size_t>(size * size));
        std::mt19937 random(5);
        for (int r = 0; r < size; ++r) {
            for (int c = 0; c < size; ++c) {
                samples[static_cast<std::size_t>(c + r * size)] = static_cast<std::int16_t>(
                    3000.0 + 1500.0 * std::sin(c / 6.0) * std::cos(r / 4.0) + random() % 30);
            }
        }
        buildQuadtree(*root, record, HeightGrid{samples, 0, 0, size, size, size, 10});
    }

    void TearDown() override {
        liveCamera = savedCamera;
        viewConeCulling = savedCulling;
    }

    void refine(const Vec3& viewer) {
        terrainDetail = 160.0f;
        refineQuadtree(*root, record, viewer, 0.0f);
    }

    TerrainMesh gather() {
        TerrainMesh mesh;
        drawQuadtreeNode(*root, record, 1, mesh);
        return mesh;
    }

    Camera savedCamera;
    bool savedCulling = true;
    TerrainTile record;
    std::unique_ptr<TerrainQuadtree> root;
    std::vector<std::int16_t> samples;
};

struct Point {
    float x;
    float z;
};

Point corner(const TerrainMesh& mesh, std::uint32_t index) {
    return {mesh.vertices[3 * index], mesh.vertices[3 * index + 2]};
}

// Area of the triangle seen from above; the sign tells its winding.
double signedArea(Point a, Point b, Point c) {
    return 0.5 * ((double(b.x) - a.x) * (double(c.z) - a.z) - (double(c.x) - a.x) * (double(b.z) - a.z));
}

// A vertex that lies inside another triangle's straight side is a crack:
// the side does not follow that vertex's height.
int countTJunctions(const TerrainMesh& mesh) {
    std::map<float, std::set<float>> byX;
    std::map<float, std::set<float>> byZ;
    for (std::uint32_t index : mesh.indices) {
        const Point p = corner(mesh, index);
        byX[p.x].insert(p.z);
        byZ[p.z].insert(p.x);
    }
    auto strictlyBetween = [](const std::set<float>& values, float a, float b) {
        auto it = values.upper_bound(std::min(a, b));
        return it != values.end() && *it < std::max(a, b);
    };
    int found = 0;
    for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
        for (int e = 0; e < 3; ++e) {
            const Point a = corner(mesh, mesh.indices[t + static_cast<std::size_t>(e)]);
            const Point b = corner(mesh, mesh.indices[t + static_cast<std::size_t>((e + 1) % 3)]);
            if (a.x == b.x && strictlyBetween(byX[a.x], a.z, b.z)) {
                ++found;
            } else if (a.z == b.z && strictlyBetween(byZ[a.z], a.x, b.x)) {
                ++found;
            }
        }
    }
    return found;
}

TEST_F(TerrainDrawTest, UnrefinedRootIsAFanOfFourTriangles) {
    TerrainTile flatRecord;
    flatRecord.level = 15;
    TerrainQuadtree flat(flatRecord);
    TerrainMesh mesh;
    drawQuadtreeNode(flat, flatRecord, 1, mesh);
    EXPECT_EQ(mesh.vertices.size(), 27u);
    EXPECT_EQ(mesh.indices, (std::vector<std::uint32_t>{0, 8, 2, 0, 2, 4, 0, 4, 6, 0, 6, 8}));
    flat.enabledFlags = edgeFlag(edgeEast);
    mesh.clear();
    drawQuadtreeNode(flat, flatRecord, 1, mesh);
    EXPECT_EQ(mesh.indices, (std::vector<std::uint32_t>{0, 8, 1, 0, 1, 2, 0, 2, 4, 0, 4, 6, 0, 6, 8}));
}

TEST_F(TerrainDrawTest, WithoutCullingTheTileIsCoveredOnceAndWithoutCracks) {
    viewConeCulling = false;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> across(0.0f, float(tileSize));
    for (int step = 0; step < 25; ++step) {
        refine({across(random), 4000.0f, across(random)});
        const TerrainMesh mesh = gather();
        ASSERT_FALSE(mesh.indices.empty());
        double area = 0.0;
        for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
            const double a = signedArea(corner(mesh, mesh.indices[t]), corner(mesh, mesh.indices[t + 1]),
                                        corner(mesh, mesh.indices[t + 2]));
            ASSERT_LT(a, 0.0) << "every triangle turns the same way";
            area -= a;
        }
        EXPECT_DOUBLE_EQ(area, double(tileSize) * tileSize);
        EXPECT_EQ(countTJunctions(mesh), 0);
    }
}

TEST_F(TerrainDrawTest, DistantCameraSkipsSmallSquaresButVisitsLargeOnes) {
    refine({32768.0f, 4000.0f, 32768.0f});
    viewConeCulling = false;
    const std::size_t everything = gather().indices.size();

    viewConeCulling = true;
    liveCamera.init(400000.0f, 0.0f, 400000.0f);
    const TerrainMesh culled = gather();
    EXPECT_LT(culled.indices.size(), everything);
    ASSERT_FALSE(culled.indices.empty()) << "squares above 2048 units are never culled";
    // Every triangle left belongs to a square larger than 2048 units: its
    // centre lies at least 2048 units from its other corners on both axes.
    for (std::size_t t = 0; t < culled.indices.size(); t += 3) {
        const Point centre = corner(culled, culled.indices[t]);
        const Point other = corner(culled, culled.indices[t + 1]);
        EXPECT_GE(std::max(std::fabs(centre.x - other.x), std::fabs(centre.z - other.z)), 2048.0f);
    }
}

TEST_F(TerrainDrawTest, CameraInsideTheTileDrawsTheSmallSquaresItFaces) {
    refine({32768.0f, 4000.0f, 32768.0f});
    viewConeCulling = true;
    liveCamera.init(32768.0f, 4000.0f, 32768.0f);  // looking north (-z)
    const TerrainMesh mesh = gather();
    int smallNorth = 0;
    for (std::size_t t = 0; t < mesh.indices.size(); t += 3) {
        const Point centre = corner(mesh, mesh.indices[t]);
        const Point other = corner(mesh, mesh.indices[t + 1]);
        const bool small = std::max(std::fabs(centre.x - other.x), std::fabs(centre.z - other.z)) < 2048.0f;
        if (centre.z < 32768.0f - 2048.0f) {
            smallNorth += small;
        } else if (centre.z > 32768.0f + 2048.0f) {
            // Behind the camera only the squares too large to be tested.
            EXPECT_FALSE(small) << centre.x << ", " << centre.z;
        }
    }
    EXPECT_GT(smallNorth, 100);
}

TEST_F(TerrainDrawTest, DrawingShowsTheGroundAndRestoresGlState) {
    if (!testfiles::startTestDisplay()) {
        GTEST_SKIP() << "no X display for GL";
    }
    OffscreenGl gl(64, 64);
    ASSERT_TRUE(gl.ready());
    viewConeCulling = false;
    refine({32768.0f, 4000.0f, 32768.0f});

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-32768.0, 32768.0, -32768.0, 32768.0, 1.0, 300000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(32768.0, 100000.0, 32768.0, 32768.0, 0.0, 32768.0, 0.0, 0.0, -1.0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);

    drawTerrainTile(*root, record);

    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    for (auto [x, y] : {std::pair{2, 2}, std::pair{32, 32}, std::pair{61, 61}}) {
        EXPECT_EQ(gl.pixel(x, y), (std::array<std::uint8_t, 3>{255, 255, 255})) << x << ", " << y;
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    GLint wrapS = 0;
    GLint wrapT = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    EXPECT_EQ(wrapS, GL_CLAMP_TO_EDGE);
    EXPECT_EQ(wrapT, GL_CLAMP_TO_EDGE);
    glDeleteTextures(1, &texture);
}

}  // namespace
