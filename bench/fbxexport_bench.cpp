// Exporting the million-quad scene in each FBX writer format: FBX 6 binary
// and ascii, FBX 5 binary and ascii. The scene is built once per process.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "bench/BenchExport.h"
#include "bench/MillionPolygonScene.h"

namespace {

using namespace fbxsdk_2006_11_1;

struct SceneOfBenchmark {
    std::unique_ptr<KFbxSdkManager> mManager{CreateSdkManager()};
    KFbxScene* mScene = benchscene::MillionPolygonScene(*mManager);
};

SceneOfBenchmark& Scene() {
    static SceneOfBenchmark scene;
    return scene;
}

void BM_ExportMillionPolygons(benchmark::State& state, int format) {
    SceneOfBenchmark& scene = Scene();
    const std::string path =
        (std::filesystem::temp_directory_path() / ("qalimor-export-bench-" + std::to_string(getpid()) + ".fbx"))
            .string();
    benchfiles::ExportAtEachIteration(state, *scene.mManager, scene.mScene, path, format);
}
BENCHMARK_CAPTURE(BM_ExportMillionPolygons, Fbx6Binary, KFbxFileFormatRegistry::eFBX_BINARY_WRITER)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ExportMillionPolygons, Fbx6Ascii, KFbxFileFormatRegistry::eFBX_ASCII_WRITER)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ExportMillionPolygons, Fbx5Binary, KFbxFileFormatRegistry::eFBX5_BINARY_WRITER)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ExportMillionPolygons, Fbx5Ascii, KFbxFileFormatRegistry::eFBX5_ASCII_WRITER)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
