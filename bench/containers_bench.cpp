#include <fbxfilesdk/core/DynamicArray.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KSortedPointerMap.h>
#include <fbxfilesdk/core/KSortedStringTable.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

// Appending pointers one at a time.
static void BM_DynamicArrayAppendPointers(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        DynamicArrayOf<void*> array(16);
        for (int i = 0; i < n; ++i) array.AddPointer(&array);
        benchmark::DoNotOptimize(array.GetData());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DynamicArrayAppendPointers)->Arg(1 << 8)->Arg(1 << 12)->Arg(1 << 16);

// A multiplicative hash modulo 2^32 spreads the keys so inserts land all over the table.
static const void* ScatteredKey(int i) {
    const std::uint32_t hashed = static_cast<std::uint32_t>(i) * 2654435761u;
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(hashed));
}

static void BM_SortedPointerMapAddThenFind(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        KSortedPointerMap map(20);
        for (int i = 0; i < n; ++i) map.Add(ScatteredKey(i), nullptr);
        for (int i = 0; i < n; ++i) benchmark::DoNotOptimize(map.Find(ScatteredKey(i)));
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_SortedPointerMapAddThenFind)->Arg(1 << 8)->Arg(1 << 12);

static void BM_SortedStringTableFind(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<std::string> names;
    KSortedStringTable table(20);
    for (int i = 0; i < n; ++i) {
        names.push_back("Material_" + std::to_string(i * 7919 % n));
        table.Add(names.back().c_str(), nullptr);
    }
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table.Find(names[i].c_str()));
        i = (i + 1) % n;
    }
}
BENCHMARK(BM_SortedStringTableFind)->Arg(1 << 8)->Arg(1 << 12);

// Appending ints one at a time, against std::vector's push_back: growth must
// be amortised, so that the time per item stays flat as the count grows.
static void BM_DynamicArrayAddInts(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        DynamicArrayOf<int> array;
        for (int i = 0; i < n; ++i) array.Add(i);
        benchmark::DoNotOptimize(array.GetData());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DynamicArrayAddInts)->Arg(1 << 20)->Arg(1 << 22)->Unit(benchmark::kMillisecond);

static void BM_VectorPushBackInts(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<int> array;
        for (int i = 0; i < n; ++i) array.push_back(i);
        benchmark::DoNotOptimize(array.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_VectorPushBackInts)->Arg(1 << 20)->Arg(1 << 22)->Unit(benchmark::kMillisecond);

// A grid mesh of state.range(0) x state.range(0) quads built through the
// public interface one item at a time, as a program making its own geometry
// does: each control point with its normal, each polygon vertex, each UV
// index and each polygon's material index.
static void BM_MeshBuildOneItemAtATime(benchmark::State& state) {
    const int quads = static_cast<int>(state.range(0));
    const int side = quads + 1;
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    for (auto _ : state) {
        KFbxMesh* mesh = KFbxMesh::Create(manager.get(), "");
        KFbxLayer* layer = mesh->GetLayer(mesh->CreateLayer());
        auto* normals = new KFbxLayerElementNormal("normals");
        normals->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
        auto* uvs = new KFbxLayerElementUV("map1");
        uvs->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
        uvs->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
        auto* materials = new KFbxLayerElementMaterial("materials");
        materials->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
        materials->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
        layer->SetNormals(normals);
        layer->SetUVs(uvs);
        layer->SetMaterials(materials);
        for (int i = 0; i < 4; ++i) uvs->GetDirectArray().Add(KFbxVector2(i & 1, i >> 1));
        for (int i = 0; i < side * side; ++i) {
            mesh->SetControlPointAt(KFbxVector4((i % side) * 0.01, 0.0, (i / side) * 0.01, 1.0),
                                    KFbxVector4(0.0, 1.0, 0.0, 0.0), i);
        }
        for (int row = 0; row < quads; ++row) {
            for (int column = 0; column < quads; ++column) {
                const int corner = row * side + column;
                mesh->BeginPolygon(-1, -1, -1, false);
                int corners = 0;
                for (int v : {corner, corner + 1, corner + side + 1, corner + side}) {
                    mesh->AddPolygonVertex(v);
                    uvs->GetIndexArray().Add(corners++);
                }
                mesh->EndPolygon();
                materials->GetIndexArray().Add(0);
            }
        }
        if (mesh->GetPolygonCount() != quads * quads || normals->GetDirectArray().GetCount() != side * side) {
            state.SkipWithError("the mesh came out short");
        }
        state.PauseTiming();
        mesh->Destroy();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * quads * quads);
}
BENCHMARK(BM_MeshBuildOneItemAtATime)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same arrays filled with push_back: the floor the build above is set against.
static void BM_MeshArraysPushBack(benchmark::State& state) {
    const int quads = static_cast<int>(state.range(0));
    const int side = quads + 1;
    for (auto _ : state) {
        std::vector<KFbxVector4> points;
        std::vector<KFbxVector4> normals;
        std::vector<int> polygonStarts;
        std::vector<int> polygonVertices;
        std::vector<int> uvIndices;
        std::vector<int> materialIndices;
        for (int i = 0; i < side * side; ++i) {
            points.push_back(KFbxVector4((i % side) * 0.01, 0.0, (i / side) * 0.01, 1.0));
            normals.push_back(KFbxVector4(0.0, 1.0, 0.0, 0.0));
        }
        for (int row = 0; row < quads; ++row) {
            for (int column = 0; column < quads; ++column) {
                const int corner = row * side + column;
                polygonStarts.push_back(static_cast<int>(polygonVertices.size()));
                int corners = 0;
                for (int v : {corner, corner + 1, corner + side + 1, corner + side}) {
                    polygonVertices.push_back(v);
                    uvIndices.push_back(corners++);
                }
                materialIndices.push_back(0);
            }
        }
        benchmark::DoNotOptimize(points.data());
        benchmark::DoNotOptimize(normals.data());
        benchmark::DoNotOptimize(polygonStarts.data());
        benchmark::DoNotOptimize(polygonVertices.data());
        benchmark::DoNotOptimize(uvIndices.data());
        benchmark::DoNotOptimize(materialIndices.data());
    }
    state.SetItemsProcessed(state.iterations() * quads * quads);
}
BENCHMARK(BM_MeshArraysPushBack)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Each polygon's material looked up through the material element, as a
// program walking a million polygons does: the index array gives the entry,
// the direct array the material. state.range(0) is 0 for GetAt, 1 for the
// raw pointer array, 2 for GetAt on a plain array of the same pointers (the
// floor: such an array cannot tell a destroyed material).
static void BM_MaterialPerPolygon(benchmark::State& state) {
    const int polygons = 1 << 20;
    const int materialCount = 8;
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    KFbxLayerElementMaterial element("materials");
    for (int m = 0; m < materialCount; ++m) {
        element.GetDirectArray().Add(KFbxSurfaceMaterial::Create(manager.get(), ("m" + std::to_string(m)).c_str()));
    }
    std::vector<int> indices(polygons);
    for (int p = 0; p < polygons; ++p) indices[p] = static_cast<int>((p * 2654435761u) >> 29) % materialCount;
    DynamicArrayOf<KFbxSurfaceMaterial*> plain;
    for (int m = 0; m < materialCount; ++m) plain.Add(element.GetDirectArray().GetAt(m));
    const int64_t way = state.range(0);
    for (auto _ : state) {
        std::uintptr_t sum = 0;
        if (way == 2) {
            for (int p = 0; p < polygons; ++p) sum += reinterpret_cast<std::uintptr_t>(plain.GetAt(indices[p]));
        } else if (way == 1) {
            KFbxSurfaceMaterial** all = element.GetDirectArray().GetArray();
            for (int p = 0; p < polygons; ++p) sum += reinterpret_cast<std::uintptr_t>(all[indices[p]]);
        } else {
            const auto& direct = element.GetDirectArray();
            for (int p = 0; p < polygons; ++p) sum += reinterpret_cast<std::uintptr_t>(direct.GetAt(indices[p]));
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * polygons);
}
BENCHMARK(BM_MaterialPerPolygon)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
