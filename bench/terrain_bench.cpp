// The terrain of the nine tiles from the start camera: refining the nine
// quadtrees, and a whole terrain frame (refine and draw) at 500 by 500 under
// Mesa's software renderer on one core, with the generated heightmaps and
// the centre tile's texture.

#include <game/Camera.h>
#include <game/Heightmap.h>
#include <game/TerrainDrawing.h>
#include <game/TerrainTiles.h>
#include <game/Texture.h>
#include <tools/ResourceGenerator.h>

#include <tests/game/OffscreenGl.h>
#include <tests/game/TestFiles.h>
#include <tests/game/XvfbServer.h>

#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr float startX = 22700.0f;
constexpr float startZ = 23800.0f;

// The nine tiles built once from freshly generated heightmaps, and the
// camera where the first level starts.
class TerrainScene {
public:
    static TerrainScene& get() {
        static TerrainScene scene;
        return scene;
    }

    bool ready() const { return mReady; }

    void rebuild() {
        for (int t = 0; t < terrainTileCount; ++t) {
            terrainTiles[static_cast<std::size_t>(t)] = TerrainTile{};
            terrainRoots[static_cast<std::size_t>(t)] =
                std::make_unique<TerrainQuadtree>(terrainTiles[static_cast<std::size_t>(t)]);
        }
        testfiles::WorkingDirectory here(mFolder.path());
        loadHeightmaps();
    }

    void placeStartCamera() {
        const float ground =
            terrainHeightAt(*terrainRoots[centreTile], terrainTiles[centreTile], startX, startZ);
        liveCamera.init(startX, ground + 500.0f, startZ);
    }

    const std::filesystem::path& folder() const { return mFolder.path(); }

private:
    TerrainScene() {
        std::vector<ResourceFile> files;
        for (ResourceFile& file : resourceFiles()) {
            if (file.path.starts_with("newlevel/height_") || file.path == "newlevel/texture_x1y1.tga") {
                files.push_back(std::move(file));
            }
        }
        if (!generateFiles(mFolder.path() / "Ressources", files)) {
            return;
        }
        rebuild();
        placeStartCamera();
        refineAllTiles();
        mReady = true;
    }

    testfiles::TempDir mFolder;
    bool mReady = false;
};

// A 500 by 500 context with the game's projection and fog, and the centre
// tile's texture; null when no display can be had.
OffscreenGl* frameContext() {
    static OffscreenGl* gl = [] () -> OffscreenGl* {
        // Measured on one core, as the game's frame budget is.
        setenv("LP_NUM_THREADS", "1", 0);
        if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
            // Ends with this process.
            static auto* server = new testfiles::XvfbServer;
            if (!server->running()) {
                return nullptr;
            }
        }
        auto* context = new OffscreenGl(500, 500);
        if (!context->ready()) {
            return nullptr;
        }
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1.0, 4.0, -80000.0);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_DEPTH_TEST);
        const GLfloat black[4] = {0, 0, 0, 0};
        glFogfv(GL_FOG_COLOR, black);
        glFogf(GL_FOG_START, 80000.0f);
        glFogf(GL_FOG_END, 120000.0f);
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glEnable(GL_FOG);
        glEnable(GL_TEXTURE_2D);
        glColor3f(1.0f, 1.0f, 1.0f);
        testfiles::WorkingDirectory here(TerrainScene::get().folder());
        GLuint texture = 0;
        loadTextureImage(0, "Ressources/newlevel/texture_x1y1.tga", texture);
        return context;
    }();
    return gl;
}

// The scene, or a skipped benchmark when the heightmaps could not be made.
TerrainScene* sceneFor(benchmark::State& state) {
    TerrainScene& scene = TerrainScene::get();
    if (!scene.ready()) {
        state.SkipWithError("the heightmaps could not be generated");
        return nullptr;
    }
    return &scene;
}

// The play display's terrain pass: centre tile first, then the outer ones
// pulled 257 units towards the centre to hide the seams.
void drawTerrainFrame() {
    static constexpr int order[] = {4, 0, 1, 2, 5, 8, 7, 6, 3};
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyCamera(liveCamera);
    for (int t : order) {
        TerrainQuadtree* root = terrainRoots[static_cast<std::size_t>(t)].get();
        if (!root) {
            continue;
        }
        const bool outer = t != centreTile;
        if (outer) {
            glPushMatrix();
            glTranslatef(257.0f * (1 - t / 3), 0.0f, 257.0f * (1 - t % 3));
        }
        terrainDetail = outer ? outerTileDetail : centreTileDetail;
        refineQuadtree(*root, terrainTiles[static_cast<std::size_t>(t)], liveCamera.position, 0.0f);
        drawTerrainTile(*root, terrainTiles[static_cast<std::size_t>(t)]);
        if (outer) {
            glPopMatrix();
        }
    }
    glFinish();
}

void BM_RefineNineTilesFromStart(benchmark::State& state) {
    TerrainScene* scene = sceneFor(state);
    if (!scene) {
        return;
    }
    scene->placeStartCamera();
    for (auto _ : state) {
        refineAllTiles();
    }
}
BENCHMARK(BM_RefineNineTilesFromStart)->Unit(benchmark::kMicrosecond);

// Walking north at the normal speed, turning back every 300 steps.
void BM_RefineNineTilesWalking(benchmark::State& state) {
    TerrainScene* scene = sceneFor(state);
    if (!scene) {
        return;
    }
    scene->placeStartCamera();
    int step = 0;
    for (auto _ : state) {
        liveCamera.position[2] += ((step++ / 300) % 2 == 0) ? -80.0f : 80.0f;
        refineAllTiles();
    }
    scene->placeStartCamera();
    refineAllTiles();
}
BENCHMARK(BM_RefineNineTilesWalking)->Unit(benchmark::kMicrosecond);

// The first refinement after loading, which measures every node.
void BM_FirstRefinementAfterLoading(benchmark::State& state) {
    TerrainScene* scene = sceneFor(state);
    if (!scene) {
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        scene->rebuild();
        scene->placeStartCamera();
        state.ResumeTiming();
        refineAllTiles();
    }
}
BENCHMARK(BM_FirstRefinementAfterLoading)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TerrainFrameFromStart(benchmark::State& state) {
    TerrainScene* scene = sceneFor(state);
    if (!scene) {
        return;
    }
    if (!frameContext()) {
        state.SkipWithError("no display for GL");
        return;
    }
    scene->placeStartCamera();
    refineAllTiles();
    for (auto _ : state) {
        drawTerrainFrame();
    }
    state.counters["triangles"] = [] {
        std::size_t triangles = 0;
        TerrainMesh mesh;
        for (int t = 0; t < terrainTileCount; ++t) {
            mesh.clear();
            drawQuadtreeNode(*terrainRoots[static_cast<std::size_t>(t)], terrainTiles[static_cast<std::size_t>(t)], 1,
                             mesh);
            triangles += mesh.indices.size() / 3;
        }
        return static_cast<double>(triangles);
    }();
}
BENCHMARK(BM_TerrainFrameFromStart)->Unit(benchmark::kMillisecond);

}  // namespace
