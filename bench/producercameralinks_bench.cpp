// Reading an FBX 6 file whose records name the producer cameras many times
// over, with as many model-to-model links: every link asks whether either
// model is a producer camera, which must not grow with the records read.
// Four times the records should take about four times the time.
#include "bench/BenchFiles.h"
#include "bench/SmallFileImport.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <fstream>
#include <map>
#include <string>

namespace {

// The file of that many producer camera records, null models and links,
// the models in a binary tree; written once per process and count.
const std::string& ProducerCameraFile(int records) {
    static std::map<int, std::string> paths;
    // A removal is never copied: a copy's end would remove the file early.
    static std::deque<benchfiles::RemoveAtExit> removals;
    const auto known = paths.find(records);
    if (known != paths.end()) {
        return known->second;
    }
    const std::string path = benchfiles::TemporaryPath("qalimor-producer-" + std::to_string(records), ".fbx");
    {
        std::ofstream out(path, std::ios::binary);
        out << "; FBX 6.1.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 6100\n}\n"
            << "Objects:  {\n";
        for (int i = 0; i < records; ++i) {
            out << "\tModel: \"Model::Producer Top\", \"Camera\" {\n\t}\n\tModel: \"Model::M" << i
                << "\", \"Null\" {\n\t}\n";
        }
        out << "}\nConnections:  {\n\tConnect: \"OO\", \"Model::M0\", \"Model::Scene\"\n";
        for (int i = 1; i < records; ++i) {
            out << "\tConnect: \"OO\", \"Model::M" << i << "\", \"Model::M" << (i - 1) / 2 << "\"\n";
        }
        out << "}\n";
    }
    removals.emplace_back(path);
    return paths.emplace(records, path).first->second;
}

void BM_ImportProducerCameraRecords(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    qalimor::bench::ImportSmallFile(state, ProducerCameraFile(records));
    state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_ImportProducerCameraRecords)
    ->ArgName("records")
    ->Arg(20000)
    ->Arg(80000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
