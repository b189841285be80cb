// One frame of play on the first level, as the play idle and display run
// it but without the frame cap's sleep and the buffer swap: the world's
// update, the sky, terrain, objects, spells and overlay, at 500 by 500
// under Mesa's software renderer on one core, with the generated resources.
// The GL work is finished inside each measured frame.

#include <game/GameState.h>
#include <game/LevelSetup.h>
#include <game/PlayFrame.h>
#include <tools/ResourceGenerator.h>

#include <tests/game/OffscreenGl.h>
#include <tests/game/TestFiles.h>
#include <tests/game/XvfbServer.h>

#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int size = 500;

// The first level loaded into a 500 by 500 context; false when no display
// or no resources can be had.
bool firstLevelReady() {
    static const bool ready = [] {
        setenv("LP_NUM_THREADS", "1", 0);
        if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
            static auto* server = new testfiles::XvfbServer;
            if (!server->running()) {
                return false;
            }
        }
        static auto* context = new OffscreenGl(size, size);
        if (!context->ready()) {
            return false;
        }
        static const testfiles::TempDir folder;
        if (!generateResources(folder.path() / "Ressources")) {
            return false;
        }
        testfiles::WorkingDirectory here(folder.path());
        windowWidth = windowHeight = size;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1.0, 4.0, -80000.0);
        glMatrixMode(GL_MODELVIEW);
        levelNumber = 1;
        // The loaders' console lines are not part of the figures.
        std::fflush(stdout);
        const int console = dup(STDOUT_FILENO);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        loadLevel();
        std::fflush(stdout);
        dup2(console, STDOUT_FILENO);
        close(quiet);
        close(console);
        return true;
    }();
    return ready;
}

void BM_PlayFrameFirstLevel(benchmark::State& state) {
    if (!firstLevelReady()) {
        state.SkipWithError("no display or resources for the level");
        return;
    }
    std::vector<double> frames;
    for (auto _ : state) {
        // The player stays alive and in play whatever the creatures do.
        playerHealth = playerMaxHealth;
        const auto start = std::chrono::steady_clock::now();
        updatePlayFrame();
        benchmark::DoNotOptimize(drawPlayFrame());
        glFinish();
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(seconds.count());
        frames.push_back(seconds.count() * 1000.0);
    }
    std::sort(frames.begin(), frames.end());
    if (!frames.empty()) {
        state.counters["median_ms"] = frames[frames.size() / 2];
    }
}
BENCHMARK(BM_PlayFrameFirstLevel)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

}  // namespace
