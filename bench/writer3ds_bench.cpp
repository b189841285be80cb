// Writing 3DS files of many nodes: 1000 nodes with three curves of 500 keys
// each, all under the root, in chains of 10 and in chains of 100 (the
// argument is the depth of a chain); flat scenes of nodes without
// animation, 2800 and 28 000 of them by default; and one node under a still
// group with a long animation: 16 000 keys, two keys 600 s apart, or a last
// key at 1e308 s, past what a keyframer frame number holds; and a still
// camera at the end of a chain of still groups, 1 or 400 deep, aimed at a
// target of 4000 keys. More node counts, such as
// 280 000, are run on demand: QALIMOR_BENCH_3DS_NODES=280000 (a list
// separated by commas). Each scene is built once per process.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/formats/KFbxFormats3ds.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "bench/BenchExport.h"
#include "bench/BenchFiles.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;

constexpr int kAnimatedNodes = 1000;
constexpr int kKeys = 500;

struct SceneOfBenchmark {
    std::unique_ptr<KFbxSdkManager> mManager{CreateSdkManager()};
    KFbxScene* mScene = KFbxScene::Create(mManager.get(), "");
};

void KeyCurve(KFCurve* curve, double phase, double base, double amplitude) {
    curve->KeyModifyBegin();
    for (int frame = 0; frame < kKeys; ++frame) {
        KTime time;
        time.SetTime(0, 0, 0, frame, 0, KTime::eFrames30);
        curve->KeySet(frame, time, static_cast<float>(base + amplitude * std::sin(0.05 * frame + phase)),
                      KFCURVE_INTERPOLATION_LINEAR);
    }
    curve->KeyModifyEnd();
}

// Chains of the depth asked, each node moving, turning and growing in its parent.
SceneOfBenchmark& AnimatedScene(int depth) {
    static std::map<int, std::unique_ptr<SceneOfBenchmark>> scenes;
    std::unique_ptr<SceneOfBenchmark>& scene = scenes[depth];
    if (scene == nullptr) {
        scene = std::make_unique<SceneOfBenchmark>();
        KFbxNode* parent = nullptr;
        for (int index = 0; index < kAnimatedNodes; ++index) {
            KFbxNode* node = KFbxNode::Create(scene->mManager.get(), ("Node" + std::to_string(index)).c_str());
            parent = index % depth == 0 ? scene->mScene->GetRootNode() : parent;
            parent->AddChild(node);
            KFbxTakeNode* take = node->GetCurrentTakeNode();
            KeyCurve(take->GetTranslationX(), index, 1.0, 2.0);
            KeyCurve(take->GetEulerRotationY(), index, 0.0, 30.0);
            KeyCurve(take->GetScaleZ(), index, 1.0, 0.25);
            parent = node;
        }
    }
    return *scene;
}

SceneOfBenchmark& FlatScene(int nodes) {
    static std::map<int, std::unique_ptr<SceneOfBenchmark>> scenes;
    std::unique_ptr<SceneOfBenchmark>& scene = scenes[nodes];
    if (scene == nullptr) {
        scene = std::make_unique<SceneOfBenchmark>();
        for (int index = 0; index < nodes; ++index) {
            KFbxNode* node = KFbxNode::Create(scene->mManager.get(), ("Node" + std::to_string(index)).c_str());
            node->SetLclTranslation(KFbxVector4(index % 100, index / 100, 0.0, 0.0));
            scene->mScene->GetRootNode()->AddChild(node);
        }
    }
    return *scene;
}

// A group that does not move, and under it a node keyed at each time.
SceneOfBenchmark& NodeUnderStillGroup(const std::vector<double>& seconds) {
    static std::map<std::vector<double>, std::unique_ptr<SceneOfBenchmark>> scenes;
    std::unique_ptr<SceneOfBenchmark>& scene = scenes[seconds];
    if (scene == nullptr) {
        scene = std::make_unique<SceneOfBenchmark>();
        KFbxNode* group = KFbxNode::Create(scene->mManager.get(), "Group");
        group->SetLclTranslation(KFbxVector4(1.0, 2.0, 3.0, 0.0));
        scene->mScene->GetRootNode()->AddChild(group);
        KFbxNode* node = KFbxNode::Create(scene->mManager.get(), "Node");
        group->AddChild(node);
        KFCurve* curve = node->GetCurrentTakeNode()->GetTranslationX();
        curve->KeyModifyBegin();
        for (std::size_t key = 0; key < seconds.size(); ++key) {
            KTime time;
            time.SetSecondDouble(seconds[key]);
            curve->KeySet(static_cast<int>(key), time, static_cast<float>(std::sin(0.05 * static_cast<double>(key))),
                          KFCURVE_INTERPOLATION_LINEAR);
        }
        curve->KeyModifyEnd();
    }
    return *scene;
}

// A camera that does not move, under groups that do not move, aimed at a
// node keyed at every frame.
SceneOfBenchmark& StillCameraAimedAtMovingTarget(int depth) {
    static std::map<int, std::unique_ptr<SceneOfBenchmark>> scenes;
    std::unique_ptr<SceneOfBenchmark>& scene = scenes[depth];
    if (scene == nullptr) {
        scene = std::make_unique<SceneOfBenchmark>();
        KFbxNode* parent = scene->mScene->GetRootNode();
        for (int level = 0; level < depth; ++level) {
            KFbxNode* group = KFbxNode::Create(scene->mManager.get(), ("Group" + std::to_string(level)).c_str());
            group->SetLclTranslation(KFbxVector4(1.0, 0.5, 0.0, 0.0));
            parent->AddChild(group);
            parent = group;
        }
        KFbxNode* camera = KFbxNode::Create(scene->mManager.get(), "Camera");
        camera->SetNodeAttribute(KFbxCamera::Create(scene->mManager.get(), ""));
        parent->AddChild(camera);
        KFbxNode* target = KFbxNode::Create(scene->mManager.get(), "Target");
        scene->mScene->GetRootNode()->AddChild(target);
        camera->SetTarget(target);
        KFCurve* curve = target->GetCurrentTakeNode()->GetTranslationZ();
        curve->KeyModifyBegin();
        for (int frame = 0; frame < 4000; ++frame) {
            KTime time;
            time.SetTime(0, 0, 0, frame, 0, KTime::eFrames30);
            curve->KeySet(frame, time, static_cast<float>(10.0 * std::sin(0.01 * frame)),
                          KFCURVE_INTERPOLATION_LINEAR);
        }
        curve->KeyModifyEnd();
    }
    return *scene;
}

std::vector<double> KeyEveryFrame(int keys) {
    std::vector<double> seconds;
    for (int frame = 0; frame < keys; ++frame) {
        seconds.push_back(frame / 30.0);
    }
    return seconds;
}

void Write(benchmark::State& state, SceneOfBenchmark& scene) {
    KFbxRegister3dsFormats();
    benchfiles::ExportAtEachIteration(state, *scene.mManager, scene.mScene,
                                      benchfiles::TemporaryPath("qalimor-write3ds-bench", ".3ds"),
                                      KFbxFileFormatRegistry::e3DS_WRITER);
}

void BM_Write3dsAnimatedNodes(benchmark::State& state) {
    Write(state, AnimatedScene(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_Write3dsAnimatedNodes)
    ->ArgName("depth")
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_Write3dsFlatNodes(benchmark::State& state) { Write(state, FlatScene(static_cast<int>(state.range(0)))); }

void FlatNodeCounts(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgName("nodes")->Arg(2800)->Arg(28000);
    if (const char* more = std::getenv("QALIMOR_BENCH_3DS_NODES")) {
        std::istringstream counts(more);
        std::string count;
        while (std::getline(counts, count, ',')) {
            long nodes = 0;
            const auto read = std::from_chars(count.data(), count.data() + count.size(), nodes);
            if (read.ec == std::errc() && nodes > 0 && nodes <= 10000000) {
                benchmark->Arg(nodes);
            }
        }
    }
}
BENCHMARK(BM_Write3dsFlatNodes)->Apply(FlatNodeCounts)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Write3dsNodeUnderStillGroup(benchmark::State& state, const std::vector<double>& seconds) {
    Write(state, NodeUnderStillGroup(seconds));
}
BENCHMARK_CAPTURE(BM_Write3dsNodeUnderStillGroup, keys_16000, KeyEveryFrame(16000))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_Write3dsNodeUnderStillGroup, keys_600s_apart, std::vector<double>{0.0, 600.0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_Write3dsNodeUnderStillGroup, last_key_at_1e308s, std::vector<double>{0.0, 1.0, 1e308})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_Write3dsStillCameraAimedAtMovingTarget(benchmark::State& state) {
    Write(state, StillCameraAimedAtMovingTarget(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_Write3dsStillCameraAimedAtMovingTarget)
    ->ArgName("depth")
    ->Arg(1)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
