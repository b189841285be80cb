#include <fbxfilesdk/core/KTime.h>

#include <benchmark/benchmark.h>

#include <cstdint>

using namespace fbxsdk_2006_11_1;

namespace {

// A spread of times, negative ones included, so no branch is always taken.
KTime SampleTime(std::int64_t i) { return KTime((i % 4001 - 1000) * 987654321987 + i); }

void BM_KTimeFrameCount(benchmark::State& state) {
    const int mode = int(state.range(0));
    std::int64_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SampleTime(++i).GetFrame(true, mode));
    }
}
BENCHMARK(BM_KTimeFrameCount)->Arg(KTime::eFrames30)->Arg(KTime::eNtscDropFrame);

void BM_KTimeSplitTimeCode(benchmark::State& state) {
    const int mode = int(state.range(0));
    std::int64_t i = 0;
    std::int64_t h, m, s, f, field, residual;
    for (auto _ : state) {
        SampleTime(++i).GetTime(h, m, s, f, field, residual, mode);
        benchmark::DoNotOptimize(h + m + s + f + field + residual);
    }
}
BENCHMARK(BM_KTimeSplitTimeCode)->Arg(KTime::eFrames24)->Arg(KTime::eFrames30)->Arg(KTime::eNtscDropFrame);

void BM_KTimeComposeTimeCode(benchmark::State& state) {
    const int mode = int(state.range(0));
    int i = 0;
    KTime time;
    for (auto _ : state) {
        ++i;
        time.SetTime(i % 24, i % 60, i % 59, i % 24, i & 1, mode);
        benchmark::DoNotOptimize(time);
    }
}
BENCHMARK(BM_KTimeComposeTimeCode)->Arg(KTime::eFrames30)->Arg(KTime::eFrames23976);

void BM_KTimeFormat(benchmark::State& state) {
    const int form = int(state.range(0));
    char buffer[KTime::kTimeStringSize];
    std::int64_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SampleTime(++i).FormatTimeString(buffer, sizeof buffer, 6, KTime::eFrames30, form));
    }
}
BENCHMARK(BM_KTimeFormat)->Arg(KTime::eHmsForm)->Arg(KTime::eFrameCountForm);

void BM_KTimeParse(benchmark::State& state) {
    const int form = int(state.range(0));
    const char* text = form == KTime::eHmsForm ? "001:02:03.04 (50)" : "123456789 (50)";
    KTime time;
    for (auto _ : state) {
        time.ParseTimeString(text, KTime::eFrames30, form);
        benchmark::DoNotOptimize(time);
    }
}
BENCHMARK(BM_KTimeParse)->Arg(KTime::eHmsForm)->Arg(KTime::eFrameCountForm);

}  // namespace
