// Function-curve evaluation on the road every animated channel takes: a long
// cubic curve read at increasing times, the caller's hint carried along.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>

using namespace fbxsdk_2006_11_1;

namespace {

constexpr int kKeys = 1000;
constexpr int kSamples = 10'000'000;
constexpr std::int64_t kFrame = 1539538600;  // one frame at 30 frames a second

long long gSdkAllocations = 0;
void* CountingMalloc(std::size_t n) { ++gSdkAllocations; return std::malloc(n); }
void* CountingCalloc(std::size_t c, std::size_t n) { ++gSdkAllocations; return std::calloc(c, n); }
void* CountingRealloc(void* p, std::size_t n) { ++gSdkAllocations; return std::realloc(p, n); }

void BuildCubicCurve(KFCurve& curve, unsigned int tangentMode) {
    std::uint32_t seed = 12345;
    curve.KeyResize(kKeys);
    for (int i = 0; i < kKeys; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float value = static_cast<float>(seed >> 8) / static_cast<float>(1 << 24) * 20.0f - 10.0f;
        const double slope = static_cast<double>(seed % 1000) / 100.0 - 5.0;
        curve.KeySet(i, KTime(i * kFrame), value, KFCURVE_INTERPOLATION_CUBIC, tangentMode, slope, slope);
    }
}

// Argument: the tangent mode of every key (auto or user).
void BM_FCurveEvaluateIncreasingTimes(benchmark::State& state) {
    KFCurve curve;
    BuildCubicCurve(curve, static_cast<unsigned int>(state.range(0)));
    const std::int64_t first = curve.KeyGetTime(0).Get();
    const std::int64_t step = (curve.KeyGetTime(kKeys - 1).Get() - first) / kSamples;

    SdkSetAllocators(&CountingMalloc, &CountingCalloc, &CountingRealloc, &std::free);
    gSdkAllocations = 0;
    for (auto _ : state) {
        int hint = 0;
        float sum = 0.0f;
        std::int64_t t = first;
        for (int i = 0; i < kSamples; ++i, t += step) sum += curve.Evaluate(KTime(t), &hint);
        benchmark::DoNotOptimize(sum);
    }
    const long long allocations = gSdkAllocations;
    SdkSetAllocators(&std::malloc, &std::calloc, &std::realloc, &std::free);

    state.counters["per_eval"] = benchmark::Counter(static_cast<double>(state.iterations()) * kSamples,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["sdk_allocations"] = static_cast<double>(allocations);
}

}  // namespace

BENCHMARK(BM_FCurveEvaluateIncreasingTimes)
    ->ArgName("tangent_mode")
    ->Arg(KFCURVE_TANGENT_AUTO)
    ->Arg(KFCURVE_TANGENT_USER)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
