// Loading every model of the first level as the level loader does: each of
// the eighteen slots imported through its own SDK manager, its texture read
// and uploaded, and the animated ones baked. Under Mesa's software renderer,
// with the files the resource generator writes.

#include <game/FbxModel.h>
#include <game/LevelSetup.h>
#include <tools/ModelDesigns.h>
#include <tools/ModelScenes.h>
#include <tools/ResourceGenerator.h>

#include <tests/game/OffscreenGl.h>
#include <tests/game/TestFiles.h>
#include <tests/game/XvfbServer.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// The model files and their textures in a folder of their own; empty when
// there is no display or the files cannot be written.
const testfiles::TempDir* modelFolder() {
    static const testfiles::TempDir* folder = []() -> const testfiles::TempDir* {
        setenv("LP_NUM_THREADS", "1", 0);
        if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
            static auto* server = new testfiles::XvfbServer;
            if (!server->running()) {
                return nullptr;
            }
        }
        static auto* context = new OffscreenGl(64, 64);
        if (!context->ready()) {
            return nullptr;
        }
        auto* made = new testfiles::TempDir;
        std::vector<ResourceFile> files;
        for (const ResourceFile& file : resourceFiles()) {
            if (file.path.ends_with(".fbx") ||
                (file.path.ends_with(".tga") && file.path.find("newlevel") == std::string::npos)) {
                files.push_back(file);
            }
        }
        return generateFiles(made->path() / "Ressources", files) ? made : nullptr;
    }();
    return folder;
}

void BM_LoadFirstLevelModels(benchmark::State& state) {
    const testfiles::TempDir* folder = modelFolder();
    if (folder == nullptr) {
        state.SkipWithError("no display or model files");
        return;
    }
    testfiles::WorkingDirectory here(folder->path());
    // The loader's console lines are not part of the figures.
    std::fflush(stdout);
    const int console = dup(STDOUT_FILENO);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    for (auto _ : state) {
        std::vector<std::unique_ptr<FbxModel>> models;
        const auto start = std::chrono::steady_clock::now();
        for (const ModelEntry& entry : modelTable) {
            models.push_back(std::make_unique<FbxModel>());
            loadModelEntry(entry, *models.back());
        }
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(seconds.count());
        for (const auto& model : models) {
            glDeleteTextures(1, &model->textureId);
        }
    }
    std::fflush(stdout);
    dup2(console, STDOUT_FILENO);
    close(quiet);
    close(console);
}
BENCHMARK(BM_LoadFirstLevelModels)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The baking of the level's nine animated slots alone, from scenes built in
// memory, their clusters linked to their bones.
void BM_BakeFirstLevelCreatures(benchmark::State& state) {
    const ModelKind slots[] = {ModelKind::bird,  ModelKind::aggroBird, ModelKind::teapot,
                               ModelKind::teapot, ModelKind::teapot,   ModelKind::demon,
                               ModelKind::demonLow, ModelKind::wizard, ModelKind::carpet};
    std::vector<std::unique_ptr<FbxModel>> models;
    for (ModelKind kind : slots) {
        models.push_back(std::make_unique<FbxModel>());
        FbxModel& model = *models.back();
        model.scene = buildModelScene(model.manager.get(), designModel(kind), "unused.tga");
        readModelScene(model);
        buildDrawArrays(model);
        model.animated = true;
    }
    for (auto _ : state) {
        for (const auto& model : models) {
            bakeModelFrames(*model);
            benchmark::DoNotOptimize(model->frames.data());
        }
    }
}
BENCHMARK(BM_BakeFirstLevelCreatures)->Unit(benchmark::kMillisecond);

}  // namespace
