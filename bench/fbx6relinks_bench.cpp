// Reading an FBX 6 file whose connections link one model again and again,
// each link moving it with its whole subtree: two chains of as many models,
// then as many links of the second chain's head (or of its middle) under the
// first chain's last nodes, or of the first chain's head under its own tail,
// which makes a loop and is refused every time. Every link asks whether the
// model would come under itself; four times the models and connections
// should take about four times the time.
#include "bench/BenchFiles.h"
#include "bench/SmallFileImport.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <fstream>
#include <map>
#include <string>

namespace {

// Which model the relinks move, and where.
enum EMoved {
    eHeadUnderDeepNodes,    // the second chain's head, under the first chain's last two nodes in turn
    eMiddleUnderDeepNodes,  // the second chain's middle model, likewise
    eHeadUnderOwnTail,      // the first chain's head under its own tail: a loop, refused
};

// The file of two chains of count models and count relinks, written once per
// process, count and kind.
const std::string& RelinkFile(int count, EMoved moved) {
    static std::map<std::pair<int, int>, std::string> paths;
    // A removal is never copied: a copy's end would remove the file early.
    static std::deque<benchfiles::RemoveAtExit> removals;
    const auto key = std::make_pair(count, static_cast<int>(moved));
    const auto known = paths.find(key);
    if (known != paths.end()) {
        return known->second;
    }
    const std::string path = benchfiles::TemporaryPath(
        "qalimor-relinks-" + std::to_string(count) + "-" + std::to_string(static_cast<int>(moved)), ".fbx");
    {
        std::ofstream out(path, std::ios::binary);
        out << "; FBX 6.1.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 6100\n}\n"
            << "Objects:  {\n";
        for (const char chain : {'A', 'B'}) {
            for (int i = 0; i < count; ++i) {
                out << "\tModel: \"Model::" << chain << i << "\", \"Null\" {\n\t}\n";
            }
        }
        out << "}\nConnections:  {\n";
        const auto link = [&out](const std::string& child, const std::string& parent) {
            out << "\tConnect: \"OO\", \"Model::" << child << "\", \"Model::" << parent << "\"\n";
        };
        for (const char chain : {'A', 'B'}) {
            link(chain + std::string("0"), "Scene");
            for (int i = 1; i < count; ++i) {
                link(chain + std::to_string(i), chain + std::to_string(i - 1));
            }
        }
        const std::string child = moved == eHeadUnderDeepNodes     ? "B0"
                                  : moved == eMiddleUnderDeepNodes ? "B" + std::to_string(count / 2)
                                                                   : "A0";
        for (int i = 0; i < count; ++i) {
            const int parent = moved == eHeadUnderOwnTail ? count - 1 : count - 1 - i % 2;
            link(child, "A" + std::to_string(parent));
        }
        out << "}\n";
    }
    removals.emplace_back(path);
    return paths.emplace(key, path).first->second;
}

void BM_ImportFbx6Relinks(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    qalimor::bench::ImportSmallFile(state, RelinkFile(count, static_cast<EMoved>(state.range(1))));
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ImportFbx6Relinks)
    ->ArgNames({"models", "moved"})
    ->ArgsProduct({{10000, 40000}, {eHeadUnderDeepNodes, eMiddleUnderDeepNodes, eHeadUnderOwnTail}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
