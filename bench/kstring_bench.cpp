#include <fbxfilesdk/core/KString.h>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using fbxsdk_2006_11_1::KString;

// Every append of a longer text allocates an exact-size block, so this grows
// quadratically with the count: the figure shows what callers pay.
void BM_KStringAppendShort(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        KString s;
        for (int i = 0; i < count; ++i) {
            s += "ab";
        }
        benchmark::DoNotOptimize(s.Buffer());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_KStringAppendShort)->Arg(16)->Arg(256);

void BM_KStringAppendLong(benchmark::State& state) {
    const std::string chunk(static_cast<std::size_t>(state.range(0)), 'q');
    for (auto _ : state) {
        KString s("prefix");
        for (int i = 0; i < 8; ++i) {
            s += chunk.c_str();
        }
        benchmark::DoNotOptimize(s.Buffer());
    }
    state.SetBytesProcessed(state.iterations() * 8 * state.range(0));
}
BENCHMARK(BM_KStringAppendLong)->Arg(100)->Arg(4096);

// Up to 62 characters the text stays inside the object: no heap traffic.
void BM_KStringConstructShort(benchmark::State& state) {
    const std::string text(static_cast<std::size_t>(state.range(0)), 'n');
    for (auto _ : state) {
        KString s(text.c_str());
        benchmark::DoNotOptimize(s.Buffer());
    }
}
BENCHMARK(BM_KStringConstructShort)->Arg(8)->Arg(62)->Arg(63);

void BM_KStringFind(benchmark::State& state) {
    const std::string text = std::string(static_cast<std::size_t>(state.range(0)), 'x') + "needle";
    const KString s(text.c_str());
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.Find("needle"));
        benchmark::DoNotOptimize(s.Find('n'));
    }
}
BENCHMARK(BM_KStringFind)->Arg(64)->Arg(4096);

}  // namespace
