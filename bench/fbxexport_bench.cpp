// Exporting the million-quad scene in each FBX writer format: FBX 6 binary
// and ascii, FBX 5 binary and ascii. The scene is built once per process.
// And an FBX 5 export of many nodes whose attributes have no name, as the
// FBX 5 reader gives them: each attribute is numbered for the file. And FBX 6
// exports of many deep chains of nulls, where every section of the file goes
// through the list of the models it writes.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNull.h>
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

std::string ExportPath() {
    return (std::filesystem::temp_directory_path() / ("qalimor-export-bench-" + std::to_string(getpid()) + ".fbx"))
        .string();
}

void BM_ExportMillionPolygons(benchmark::State& state, int format) {
    SceneOfBenchmark& scene = Scene();
    benchfiles::ExportAtEachIteration(state, *scene.mManager, scene.mScene, ExportPath(), format);
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

void BM_ExportUnnamedAttributesFbx5(benchmark::State& state) {
    std::unique_ptr<KFbxSdkManager> manager{CreateSdkManager()};
    KFbxScene* scene = KFbxScene::Create(manager.get(), "bench");
    for (int index = 0; index < state.range(0); ++index) {
        KFbxNode* node = KFbxNode::Create(manager.get(), ("Node" + std::to_string(index)).c_str());
        node->SetNodeAttribute(KFbxNull::Create(manager.get(), ""));
        scene->GetRootNode()->AddChild(node);
    }
    benchfiles::ExportAtEachIteration(state, *manager, scene, ExportPath(),
                                      KFbxFileFormatRegistry::eFBX5_BINARY_WRITER);
}
BENCHMARK(BM_ExportUnnamedAttributesFbx5)
    ->Arg(4000)
    ->Arg(16000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_ExportNullChainsFbx6(benchmark::State& state, int format) {
    std::unique_ptr<KFbxSdkManager> manager{CreateSdkManager()};
    KFbxScene* scene = KFbxScene::Create(manager.get(), "bench");
    for (int chain = 0; chain < 500; ++chain) {
        KFbxNode* parent = scene->GetRootNode();
        for (int link = 0; link < 100; ++link) {
            const std::string name = "Chain" + std::to_string(chain) + "_" + std::to_string(link);
            KFbxNode* node = KFbxNode::Create(manager.get(), name.c_str());
            node->SetNodeAttribute(KFbxNull::Create(manager.get(), name.c_str()));
            parent->AddChild(node);
            parent = node;
        }
    }
    benchfiles::ExportAtEachIteration(state, *manager, scene, ExportPath(), format);
}
BENCHMARK_CAPTURE(BM_ExportNullChainsFbx6, Binary, KFbxFileFormatRegistry::eFBX_BINARY_WRITER)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_ExportNullChainsFbx6, Ascii, KFbxFileFormatRegistry::eFBX_ASCII_WRITER)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
