// Normals computed for a mesh that has none, as a reader does for a
// document without them: a rippled grid of 1000 x 1000 quads, each split
// into two triangles (two million polygons, six million corners).
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;

constexpr int kSide = 1001;

struct GridOfBenchmark {
    std::unique_ptr<KFbxSdkManager> mManager{CreateSdkManager()};
    KFbxMesh* mMesh = MakeGrid(*mManager);

    static KFbxMesh* MakeGrid(KFbxSdkManager& manager) {
        KFbxMesh* mesh = KFbxMesh::Create(&manager, "grid");
        mesh->InitControlPoints(kSide * kSide);
        KFbxVector4* points = mesh->GetControlPoints();
        for (int i = 0; i < kSide * kSide; ++i) {
            const double x = (i % kSide) * 0.01;
            const double z = (i / kSide) * 0.01;
            points[i] = KFbxVector4(x, 0.1 * std::sin(7.0 * x) * std::cos(5.0 * z), z, 1.0);
        }
        std::vector<int> stored;
        stored.reserve(static_cast<std::size_t>(kSide - 1) * (kSide - 1) * 6);
        for (int row = 0; row + 1 < kSide; ++row) {
            for (int column = 0; column + 1 < kSide; ++column) {
                const int corner = row * kSide + column;
                stored.insert(stored.end(), {corner, corner + 1, ~(corner + kSide + 1), corner,
                                             corner + kSide + 1, ~(corner + kSide)});
            }
        }
        mesh->AddPolygons(stored.data(), static_cast<int>(stored.size()));
        return mesh;
    }
};

void BM_MeshComputeVertexNormals(benchmark::State& state) {
    static GridOfBenchmark grid;
    for (auto _ : state) {
        grid.mMesh->ComputeVertexNormals(false);
        benchmark::DoNotOptimize(grid.mMesh->GetNormals());
    }
    state.SetItemsProcessed(state.iterations() * grid.mMesh->GetPolygonVertexCount());
}
BENCHMARK(BM_MeshComputeVertexNormals)->Unit(benchmark::kMillisecond);

}  // namespace
