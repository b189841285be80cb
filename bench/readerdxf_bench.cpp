// Reading a DXF drawing of 500 000 triangles in 50 polyface meshes (a grid
// of 101 x 51 points each, one layer and one colour per mesh, written the way
// the DXF writer writes), ours beside assimp's in the same run. Each reader's
// peak memory is what its import adds, taken in a child process of its own,
// forked before either has imported anything.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/formats/KFbxFormatsDxf.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "bench/AssimpPeer.h"
#include "bench/BenchFiles.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

using namespace fbxsdk_2006_11_1;

constexpr int kMeshes = 50;
constexpr int kColumns = 101;
constexpr int kRows = 51;
constexpr int kTrianglesPerMesh = (kColumns - 1) * (kRows - 1) * 2;

void Group(std::string& text, int code, std::string_view value) {
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, code).ptr;
    text.append(static_cast<std::size_t>(3 - (end - digits)), ' ');
    text.append(digits, end);
    text += '\n';
    text += value;
    text += '\n';
}

void Group(std::string& text, int code, int value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    Group(text, code, "   " + std::string(digits, end));
}

void Group(std::string& text, int code, double value) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 6).ptr;
    Group(text, code, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

// Writes the file once per process.
const std::string& PolyfaceFile() {
    static const std::string path = [] {
        const std::string file = benchfiles::TemporaryPath("qalimor-dxf-bench", ".dxf");
        std::FILE* stream = std::fopen(file.c_str(), "wb");
        if (stream == nullptr) return std::string();
        std::string text;
        Group(text, 0, "SECTION");
        Group(text, 2, "TABLES");
        Group(text, 0, "TABLE");
        Group(text, 2, "LAYER");
        for (int m = 0; m < kMeshes; ++m) {
            Group(text, 0, "LAYER");
            Group(text, 2, "Mesh" + std::to_string(m));
            Group(text, 62, 10 + m);
        }
        Group(text, 0, "ENDTAB");
        Group(text, 0, "ENDSEC");
        Group(text, 0, "SECTION");
        Group(text, 2, "ENTITIES");
        for (int m = 0; m < kMeshes; ++m) {
            const std::string layer = "Mesh" + std::to_string(m);
            Group(text, 0, "POLYLINE");
            Group(text, 8, layer);
            Group(text, 62, 10 + m);
            Group(text, 66, 1);
            Group(text, 70, 64);
            Group(text, 71, kColumns * kRows);
            Group(text, 72, kTrianglesPerMesh);
            for (int row = 0; row < kRows; ++row) {
                for (int column = 0; column < kColumns; ++column) {
                    const double x = column * 0.1 + m * 11.0;
                    const double y = row * 0.1;
                    Group(text, 0, "VERTEX");
                    Group(text, 8, layer);
                    Group(text, 10, x);
                    Group(text, 20, y);
                    Group(text, 30, std::sin(x) * std::cos(y));
                    Group(text, 70, 192);
                }
            }
            for (int row = 0; row + 1 < kRows; ++row) {
                for (int column = 0; column + 1 < kColumns; ++column) {
                    const int corner = row * kColumns + column + 1;
                    const int triangles[2][3] = {{corner, corner + 1, corner + kColumns + 1},
                                                 {corner + kColumns + 1, corner + kColumns, corner}};
                    for (const auto& triangle : triangles) {
                        Group(text, 0, "VERTEX");
                        Group(text, 8, layer);
                        Group(text, 10, "0.0");
                        Group(text, 20, "0.0");
                        Group(text, 30, "0.0");
                        Group(text, 70, 128);
                        for (int k = 0; k < 3; ++k) Group(text, 71 + k, triangle[k]);
                    }
                }
                std::fwrite(text.data(), 1, text.size(), stream);
                text.clear();
            }
            Group(text, 0, "SEQEND");
            Group(text, 8, layer);
        }
        Group(text, 0, "ENDSEC");
        Group(text, 0, "EOF");
        std::fwrite(text.data(), 1, text.size(), stream);
        return std::fclose(stream) == 0 ? file : std::string();
    }();
    static const benchfiles::RemoveAtExit removal{path};
    return path;
}

bool ImportOurs(KFbxSdkManager& manager, const std::string& path) {
    KFbxScene* scene = KFbxScene::Create(&manager, "read");
    KFbxImporter* importer = KFbxImporter::Create(&manager, "");
    bool imported = importer->Initialize(path.c_str()) && importer->Import(scene);
    importer->Destroy();
    int triangles = 0;
    for (int i = 0; i < scene->GetRootNode()->GetChildCount(); ++i) {
        if (auto* mesh = dynamic_cast<KFbxMesh*>(scene->GetRootNode()->GetChild(i)->GetNodeAttribute())) {
            triangles += mesh->GetPolygonCount();
        }
    }
    scene->Destroy(true);
    return imported && triangles == kMeshes * kTrianglesPerMesh;
}

// What the import adds to the resident memory at its peak, measured in a
// child process; -1 when the child failed.
double PeakBytesOf(const std::function<bool()>& import) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1.0;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const long before = benchfiles::StatusBytes("VmRSS:");
        benchfiles::ResetPeak();
        const bool imported = import();
        const long peak = benchfiles::StatusBytes("VmHWM:");
        const double added = imported ? static_cast<double>(peak - before) : -1.0;
        const bool sent = write(pipeEnds[1], &added, sizeof added) == static_cast<ssize_t>(sizeof added);
        _exit(sent ? 0 : 1);
    }
    close(pipeEnds[1]);
    double added = -1.0;
    if (child < 0 || read(pipeEnds[0], &added, sizeof added) != static_cast<ssize_t>(sizeof added)) added = -1.0;
    close(pipeEnds[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    return added;
}

// Both readers' peaks, each taken in a child of a process that has imported
// nothing yet: what one reader freed is not there for the other to reuse.
struct Peaks {
    double mOurs = -1.0;
    double mAssimp = -1.0;
};

const Peaks& PeaksOfBoth(const std::string& path) {
    static const Peaks peaks = [&path] {
        Peaks both;
        both.mOurs = PeakBytesOf([&path] {
            std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
            return ImportOurs(*manager, path);
        });
        if (const qalimor::bench::AssimpPeer* peer = qalimor::bench::AssimpPeer::Get()) {
            both.mAssimp = PeakBytesOf([&] { return peer->ImportAndRelease(path); });
        }
        return both;
    }();
    return peaks;
}

void Report(benchmark::State& state, const std::string& path, const std::function<bool()>& import, double peak) {
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
    for (auto _ : state) {
        if (!import()) {
            state.SkipWithError("the import failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["file_bytes"] = static_cast<double>(bytes);
    state.counters["peak_bytes"] = peak;
}

void BM_ReadDxfPolyfaces(benchmark::State& state) {
    const std::string& path = PolyfaceFile();
    if (path.empty()) {
        state.SkipWithError("the file could not be written");
        return;
    }
    KFbxRegisterDxfFormats();
    const double peak = PeaksOfBoth(path).mOurs;
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    Report(state, path, [&] { return ImportOurs(*manager, path); }, peak);
}
BENCHMARK(BM_ReadDxfPolyfaces)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReadDxfPolyfacesAssimp(benchmark::State& state) {
    const std::string& path = PolyfaceFile();
    const qalimor::bench::AssimpPeer* peer = qalimor::bench::AssimpPeer::Get();
    if (path.empty() || peer == nullptr) {
        state.SkipWithError(path.empty() ? "the file could not be written" : "assimp is not installed");
        return;
    }
    KFbxRegisterDxfFormats();
    Report(state, path, [&] { return peer->ImportAndRelease(path); }, PeaksOfBoth(path).mAssimp);
}
BENCHMARK(BM_ReadDxfPolyfacesAssimp)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
