#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxShape.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// Meshes of a few points, each holding shapes of its own.
std::vector<KFbxShape*> MakeMeshesWithShapes(KFbxSdkManager& manager, int meshes, int shapesEach,
                                             std::vector<KFbxMesh*>& made) {
    std::vector<KFbxShape*> shapes;
    for (int m = 0; m < meshes; ++m) {
        KFbxMesh* mesh = KFbxMesh::Create(&manager, ("mesh" + std::to_string(m)).c_str());
        mesh->InitControlPoints(4);
        made.push_back(mesh);
        for (int s = 0; s < shapesEach; ++s) {
            KFbxShape* shape = KFbxShape::Create(&manager, "");
            shape->InitControlPoints(4);
            mesh->AddShape(shape, ("shape" + std::to_string(s)).c_str());
            shapes.push_back(shape);
        }
    }
    return shapes;
}

}  // namespace

// Every shape destroyed one by one, first added first, each mesh asked for
// its shape count after each: state.range(0) meshes of state.range(1)
// shapes.
static void BM_DestroyShapesOneByOne(benchmark::State& state) {
    const int meshes = static_cast<int>(state.range(0));
    const int shapesEach = static_cast<int>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
        std::vector<KFbxMesh*> made;
        std::vector<KFbxShape*> shapes = MakeMeshesWithShapes(*manager, meshes, shapesEach, made);
        state.ResumeTiming();
        for (std::size_t s = 0; s < shapes.size(); ++s) {
            shapes[s]->Destroy();
            benchmark::DoNotOptimize(made[s / static_cast<std::size_t>(shapesEach)]->GetShapeCount());
        }
        state.PauseTiming();
        manager.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * meshes * shapesEach);
}
BENCHMARK(BM_DestroyShapesOneByOne)
    ->Args({1, 1000})
    ->Args({1, 4000})
    ->Args({1, 16000})
    ->Args({20, 1000})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// Shape calls on a mesh of state.range(0) shapes, each after another mesh's
// shape was destroyed.
static void BM_ShapeCallAfterAnUnrelatedDestruction(benchmark::State& state) {
    const int shapesEach = static_cast<int>(state.range(0));
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    std::vector<KFbxMesh*> made;
    std::vector<KFbxShape*> shapes = MakeMeshesWithShapes(*manager, 1, shapesEach, made);
    KFbxMesh* other = KFbxMesh::Create(manager.get(), "other");
    other->InitControlPoints(4);
    for (auto _ : state) {
        state.PauseTiming();
        KFbxShape* unrelated = KFbxShape::Create(manager.get(), "");
        unrelated->InitControlPoints(4);
        other->AddShape(unrelated, "unrelated");
        state.ResumeTiming();
        unrelated->Destroy();
        benchmark::DoNotOptimize(made[0]->GetShape(shapesEach / 2));
    }
}
BENCHMARK(BM_ShapeCallAfterAnUnrelatedDestruction)->Arg(16000)->Unit(benchmark::kMicrosecond);
