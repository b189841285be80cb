// The scale of the scene graph: creating nodes, many children under one
// parent, and importing long parent chains (their connections in the
// writers' order or in another) and files of many empty nodes,
// each followed by the scene's destruction. Time per node should stay flat as
// the count grows; memory per imported node is reported as "bytes_per_node".
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include "bench/BenchExport.h"
#include "bench/BenchFiles.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;

// Heap bytes in use: unlike the resident size, not hidden by memory that an
// earlier benchmark freed and the allocator kept.
// Not timed: the count walks every free block of the heap, which a large
// import leaves many of.
double HeapBytesInUse(benchmark::State& state) {
    state.PauseTiming();
    const struct mallinfo2 heap = mallinfo2();
    state.ResumeTiming();
    return static_cast<double>(heap.uordblks + heap.hblkhd);
}

void BM_NodeCreate(benchmark::State& state) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    std::vector<KFbxNode*> nodes;
    nodes.reserve(1 << 20);
    for (auto _ : state) {
        nodes.push_back(KFbxNode::Create(manager.get(), "node"));
    }
    for (KFbxNode* node : nodes) {
        node->Destroy();
    }
}
BENCHMARK(BM_NodeCreate)->Unit(benchmark::kMicrosecond)->Iterations(20000);

// The fixed cost every import pays before its first node: an empty scene made
// and destroyed.
void BM_SceneCreate(benchmark::State& state) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    for (auto _ : state) {
        KFbxScene* scene = KFbxScene::Create(manager.get(), "empty");
        benchmark::DoNotOptimize(scene);
        scene->Destroy(true);
    }
}
BENCHMARK(BM_SceneCreate)->Unit(benchmark::kMicrosecond);

// Children added under one parent, then the whole scene destroyed.
void BM_ChildrenUnderOneParent(benchmark::State& state) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        KFbxScene* scene = KFbxScene::Create(manager.get(), "bench");
        KFbxNode* parent = KFbxNode::Create(manager.get(), "parent");
        scene->GetRootNode()->AddChild(parent);
        for (int i = 0; i < count; ++i) {
            parent->AddChild(KFbxNode::Create(manager.get(), "child"));
        }
        scene->Destroy(true);
    }
    state.counters["children_per_second"] =
        benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ChildrenUnderOneParent)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Imports the file into a fresh scene and destroys it, counting the memory
// the imported scene holds per node.
void ImportAndDestroy(benchmark::State& state, const std::string& path, int nodes) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    double perNode = 0.0;
    for (auto _ : state) {
        KFbxScene* scene = KFbxScene::Create(manager.get(), "read");
        const double before = HeapBytesInUse(state);
        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        const bool imported = importer->Initialize(path.c_str()) && importer->Import(scene);
        importer->Destroy();
        const double after = HeapBytesInUse(state);
        if (!imported || scene->GetRootNode()->GetChildCount(true) < nodes) {
            state.SkipWithError("the import failed");
            break;
        }
        perNode = (after - before) / nodes;
        scene->Destroy(true);
    }
    state.counters["bytes_per_node"] = perNode;
}

// A parent chain of state.range(0) nodes, written once as ascii.
void BM_ImportNodeChain(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string path = benchfiles::TemporaryPath("qalimor-chain-" + std::to_string(count), ".fbx");
    const benchfiles::RemoveAtExit removal{path};
    {
        std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
        KFbxScene* scene = KFbxScene::Create(manager.get(), "chain");
        KFbxNode* parent = scene->GetRootNode();
        for (int i = 0; i < count; ++i) {
            KFbxNode* node = KFbxNode::Create(manager.get(), ("n" + std::to_string(i)).c_str());
            parent->AddChild(node);
            parent = node;
        }
        benchfiles::ExportScene(*manager, scene, path,
                                state.range(1) == 5 ? KFbxFileFormatRegistry::eFBX5_ASCII_WRITER
                                                    : KFbxFileFormatRegistry::eFBX_ASCII_WRITER);
    }
    ImportAndDestroy(state, path, count);
}
// The second argument is the file's major version.
BENCHMARK(BM_ImportNodeChain)
    ->Args({12500, 6})
    ->Args({50000, 6})
    ->Args({12500, 5})
    ->Args({50000, 5})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// An FBX 6 file's header and count minimal models, one line each, as
// hand-written files have them; the connections follow.
void WriteMinimalModels(std::ofstream& file, int count) {
    file << "; FBX 6.1.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: "
            "6100\n}\nObjects:  {\n";
    for (int i = 0; i < count; ++i) {
        file << "\tModel: \"Model::" << i << "\",\"Null\" { }\n";
    }
    file << "}\nConnections:  {\n";
}

// A parent chain of state.range(0) models whose connections come in another
// order than the writers': every second link first, then the others from the
// top down, so that each of those links a model that has a child under a
// parent ever deeper in the chain.
void BM_ImportChainLinkedOutOfOrder(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string path = benchfiles::TemporaryPath("qalimor-chain-order-" + std::to_string(count), ".fbx");
    const benchfiles::RemoveAtExit removal{path};
    {
        std::ofstream file(path, std::ios::binary);
        WriteMinimalModels(file, count);
        const auto link = [&file](int child) {
            file << "\tConnect: \"OO\", \"Model::" << child << "\", \"Model::"
                 << (child == 0 ? std::string("Scene") : std::to_string(child - 1)) << "\"\n";
        };
        for (int child = 1; child < count; child += 2) {
            link(child);
        }
        for (int child = 0; child < count; child += 2) {
            link(child);
        }
        file << "}\n";
    }
    ImportAndDestroy(state, path, count);
}
BENCHMARK(BM_ImportChainLinkedOutOfOrder)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(1);

// A file of state.range(0) minimal models, each under the root.
void BM_ImportMinimalNodes(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string path = benchfiles::TemporaryPath("qalimor-minimal", ".fbx");
    const benchfiles::RemoveAtExit removal{path};
    {
        std::ofstream file(path, std::ios::binary);
        WriteMinimalModels(file, count);
        for (int i = 0; i < count; ++i) {
            file << "\tConnect: \"OO\", \"Model::" << i << "\", \"Model::Scene\"\n";
        }
        file << "}\n";
    }
    ImportAndDestroy(state, path, count);
    // Per node and per byte, to set beside readers measured elsewhere.
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    state.SetBytesProcessed(error ? 0 : static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["us_per_node"] = benchmark::Counter(static_cast<double>(count) * 1e-6,
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}
BENCHMARK(BM_ImportMinimalNodes)->Arg(2000)->Arg(28000)->Arg(280000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same in the older files: one model record each, then the summary.
void BM_ImportMinimalFbx5Nodes(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string path = benchfiles::TemporaryPath("qalimor-minimal5", ".fbx");
    const benchfiles::RemoveAtExit removal{path};
    {
        std::ofstream file(path, std::ios::binary);
        file << "; FBX 5.8.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: "
                "5800\n}\n";
        for (int i = 0; i < count; ++i) {
            file << "Model: \"Model::" << i << "\" { }\n";
        }
        file << "Section: 5800\nSummary:  {\n\tVersion: 101\n}\n";
    }
    ImportAndDestroy(state, path, count);
}
BENCHMARK(BM_ImportMinimalFbx5Nodes)->Arg(2000)->Arg(28000)->Unit(benchmark::kMillisecond)->Iterations(1);

// state.range(0) nodes in chains of ten, each with translation, rotation and
// scaling keyed in one take, written once as ascii.
void BM_ImportAnimatedNodes(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string path = benchfiles::TemporaryPath("qalimor-animated", ".fbx");
    const benchfiles::RemoveAtExit removal{path};
    {
        std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
        KFbxScene* scene = KFbxScene::Create(manager.get(), "animated");
        KFbxNode* parent = scene->GetRootNode();
        for (int i = 0; i < count; ++i) {
            KFbxNode* node = KFbxNode::Create(manager.get(), ("n" + std::to_string(i)).c_str());
            node->CreateTakeNode("Take 001");
            node->SetCurrentTakeNode(1);
            KFCurveNode* channels = node->GetCurrentTakeNode()->GetKFCurveNode();
            for (const char* channel : {"T", "R", "S"}) {
                KFCurve* curve = channels->Find(channel)->Find("X")->FCurveGet();
                for (int key = 0; key < 3; ++key) {
                    curve->KeySet(key, KTime(key * 46186158000LL), static_cast<float>(key + i % 7),
                                  KFCURVE_INTERPOLATION_CUBIC);
                }
            }
            (i % 10 == 0 ? scene->GetRootNode() : parent)->AddChild(node);
            parent = node;
        }
        KFbxTakeInfo take;
        take.mName = "Take 001";
        scene->SetTakeInfo(take);
        benchfiles::ExportScene(*manager, scene, path, KFbxFileFormatRegistry::eFBX_ASCII_WRITER);
    }
    ImportAndDestroy(state, path, count);
}
BENCHMARK(BM_ImportAnimatedNodes)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
