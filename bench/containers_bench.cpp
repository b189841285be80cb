#include <fbxfilesdk/core/DynamicArray.h>
#include <fbxfilesdk/core/KSortedPointerMap.h>
#include <fbxfilesdk/core/KSortedStringTable.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

// Linear growth: one reallocation per 16 appended pointers.
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
