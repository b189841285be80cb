// Global transforms of an animated hierarchy, as the game bakes a model: every
// node of 1000 ten-deep chains (10 000 nodes) at 100 times of the take, each
// node with keyed translation, rotation and scaling. And the linking of a
// chain whose nodes each have a child already, by either call: time per link
// should stay flat as the chain grows.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveKey.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

constexpr int kChains = 1000;
constexpr int kDepth = 10;
constexpr int kTimes = 100;
constexpr std::int64_t kSecond = 46186158000;

void EnsureNodeClass(KFbxSdkManager* manager) {
    if (KFbxTakeNodeContainer::ClassId == KFbxClassId()) {
        KFbxTakeNodeContainer::ClassId = RegisterClass(manager, "KFbxTakeNodeContainer", KFbxObject::ClassId,
                                                       &KFbxTakeNodeContainer::CreateFn, nullptr, nullptr);
    }
    if (KFbxNode::ClassId == KFbxClassId()) {
        KFbxNode::ClassId = RegisterClass(manager, "KFbxNode", KFbxTakeNodeContainer::ClassId, &KFbxNode::CreateFn,
                                          nullptr, nullptr);
    }
}

void KeyChannel(KFbxTakeNode* take, const char* channel, const char* component, float from, float to) {
    KFCurve* curve = take->GetKFCurveNode()->Find(channel)->Find(component)->FCurveGet();
    curve->KeySet(0, KTime(0), from, KFCURVE_INTERPOLATION_CUBIC);
    curve->KeySet(1, KTime(2 * kSecond), (from + to) * 0.5f, KFCURVE_INTERPOLATION_CUBIC);
    curve->KeySet(2, KTime(4 * kSecond), to, KFCURVE_INTERPOLATION_CUBIC);
}

void BM_NodeGlobalTransforms(benchmark::State& state) {
    KFbxSdkManager* manager = CreateSdkManager();
    EnsureNodeClass(manager);
    std::vector<KFbxNode*> nodes;
    nodes.reserve(kChains * kDepth);
    for (int chain = 0; chain < kChains; ++chain) {
        KFbxNode* parent = nullptr;
        for (int level = 0; level < kDepth; ++level) {
            KFbxNode* node = KFbxNode::Create(manager, "node");
            node->SetLclTranslation(KFbxVector4(1.0, 0.0, 0.0, 1.0));
            node->SetRotationPivot(KFbxNode::eSOURCE_SET, KFbxVector4(0.5, 0.0, 0.0, 1.0));
            node->SetTransformInheritType(static_cast<KFbxNode::ETransformInheritType>(level % 3));
            node->CreateTakeNode("Take 001");
            node->SetCurrentTakeNode(1);
            KFbxTakeNode* take = node->GetCurrentTakeNode();
            KeyChannel(take, "T", "Y", 0.0f, 2.0f);
            KeyChannel(take, "R", "Z", 0.0f, 90.0f);
            KeyChannel(take, "S", "X", 1.0f, 1.5f);
            if (parent != nullptr) {
                parent->AddChild(node);
            }
            nodes.push_back(node);
            parent = node;
        }
    }
    double sink = 0.0;
    for (auto _ : state) {
        for (int step = 0; step < kTimes; ++step) {
            const KTime time(step * (4 * kSecond / kTimes));
            for (KFbxNode* node : nodes) {
                sink += node->EvaluateGlobalTransform(time)[3][0];
            }
        }
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(state.iterations() * kTimes * static_cast<std::int64_t>(nodes.size()));
    delete manager;
}
BENCHMARK(BM_NodeGlobalTransforms)->Unit(benchmark::kMillisecond);

// A chain of state.range(0) nodes linked from the top down, each node holding
// a leaf of its own before it is linked, so that every link asks whether the
// new parent lies below the node: by ConnectSrc (state.range(1) 0) or by
// AddChild (1). Only the linking is timed.
void BM_LinkChainOfParents(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const bool byAddChild = state.range(1) != 0;
    state.SetLabel(byAddChild ? "AddChild" : "ConnectSrc");
    for (auto _ : state) {
        state.PauseTiming();
        KFbxSdkManager* manager = CreateSdkManager();
        EnsureNodeClass(manager);
        std::vector<KFbxNode*> chain;
        chain.reserve(count);
        for (int i = 0; i < count; ++i) {
            KFbxNode* node = KFbxNode::Create(manager, "link");
            node->AddChild(KFbxNode::Create(manager, "leaf"));
            chain.push_back(node);
        }
        state.ResumeTiming();
        for (int i = 1; i < count; ++i) {
            if (!(byAddChild ? chain[i - 1]->AddChild(chain[i]) : chain[i - 1]->ConnectSrc(chain[i]))) {
                state.SkipWithError("a link was refused");
                break;
            }
        }
        state.PauseTiming();
        delete manager;
        state.ResumeTiming();
    }
    state.counters["us_per_link"] = benchmark::Counter(static_cast<double>(count) * 1e-6,
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}
BENCHMARK(BM_LinkChainOfParents)
    ->Args({10000, 0})
    ->Args({40000, 0})
    ->Args({10000, 1})
    ->Args({40000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
