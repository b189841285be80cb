// Throughput of a 100 MB stream through each chain layer, over a memory
// buffer so that the figures are the layers' own and no disk is written.
#include <fbxfilesdk/core/KChainedFile.h>
#include <fbxfilesdk/core/KCrcFile.h>
#include <fbxfilesdk/core/KEncryptedFile.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using fbxsdk_2006_11_1::KChainedFile;
using fbxsdk_2006_11_1::KCrcFile;
using fbxsdk_2006_11_1::KEncryptedFile;

constexpr int kStreamSize = 100 * 1024 * 1024;
constexpr int kChunk = 64 * 1024;
const unsigned char kKey[16] = {7, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9, 3};

// One buffer for every benchmark: room for the stream and a CRC trailer.
std::vector<char>& Storage() {
    static std::vector<char> storage = [] {
        std::vector<char> bytes(kStreamSize + 64);
        std::uint32_t x = 12345;
        for (char& c : bytes) {
            x = x * 1103515245u + 12345u;
            c = static_cast<char>(x >> 24);
        }
        return bytes;
    }();
    return storage;
}

const std::vector<char>& Source() {
    static const std::vector<char> source(Storage().begin(), Storage().begin() + kStreamSize);
    return source;
}

void WriteAll(KChainedFile& layer) {
    const char* data = Source().data();
    for (int done = 0; done < kStreamSize; done += kChunk) benchmark::DoNotOptimize(layer.Write(data + done, kChunk));
}

void ReadAll(KChainedFile& layer) {
    std::vector<char> chunk(kChunk);
    for (int done = 0; done < kStreamSize; done += kChunk) benchmark::DoNotOptimize(layer.Read(chunk.data(), kChunk));
}

// Makes the buffers before the first timing, not inside it.
void Prepare() {
    Storage();
    Source();
}

void Finish(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kStreamSize));
}

void BM_PlainWrite(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        KChainedFile layer;
        layer.OpenMemory(Storage().data(), kStreamSize, false);
        WriteAll(layer);
        layer.Close();
    }
    Finish(state);
}

void BM_PlainRead(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        KChainedFile layer;
        layer.OpenMemory(Storage().data(), kStreamSize, false);
        ReadAll(layer);
        layer.Close();
    }
    Finish(state);
}

// Writing forwards the bytes; closing reads them all back for the trailer.
void BM_CrcWrite(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        KChainedFile bottom;
        bottom.OpenMemory(Storage().data(), kStreamSize + 4, false);
        KCrcFile layer(0, &bottom, KChainedFile::eWRITE, false);
        WriteAll(layer);
        benchmark::DoNotOptimize(layer.Close());
    }
    Finish(state);
}

// The check runs the register over the whole stream.
void BM_CrcCheck(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        KCrcFile layer;
        layer.OpenMemory(Storage().data(), kStreamSize + 4, false);
        benchmark::DoNotOptimize(layer.CheckCrc());
        layer.Close();
    }
    Finish(state);
}

void BM_EncryptedWrite(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        KChainedFile bottom;
        bottom.OpenMemory(Storage().data(), kStreamSize, false);
        KEncryptedFile layer(kKey, 0, &bottom, KChainedFile::eWRITE, false);
        WriteAll(layer);
        benchmark::DoNotOptimize(layer.Close());
    }
    Finish(state);
}

void BM_EncryptedRead(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        KChainedFile bottom;
        bottom.OpenMemory(Storage().data(), kStreamSize, false);
        KEncryptedFile layer(kKey, 0, &bottom, KChainedFile::eREAD, false);
        ReadAll(layer);
        layer.Close();
    }
    Finish(state);
}

BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CrcWrite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CrcCheck)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EncryptedWrite)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_EncryptedRead)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
