// Reading an OBJ file of 1 000 000 triangles with normals and texture
// coordinates: a 1001 x 501 grid of points, each with its own "vt" and "vn",
// and faces in the v/vt/vn form. Reports the file's bytes read per second
// and the peak memory the read adds over the file's size.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/formats/KFbxFormatsObj.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "bench/BenchFiles.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace fbxsdk_2006_11_1;

constexpr int kColumns = 1001;
constexpr int kRows = 501;
constexpr int kTriangles = (kColumns - 1) * (kRows - 1) * 2;

void AppendFixed(std::string& line, double value) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 6).ptr;
    line += ' ';
    line.append(digits, end);
}

void AppendIndex(std::string& line, int index) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
    line += ' ';
    const std::size_t at = line.size();
    line.append(digits, end);
    for (int repeat = 0; repeat < 2; ++repeat) {
        line += '/';
        line.append(line, at, static_cast<std::size_t>(end - digits));
    }
}

// Writes the file once per process.
const std::string& GridFile() {
    static const std::string path = [] {
        const std::string file = benchfiles::TemporaryPath("qalimor-obj-bench", ".obj");
        std::FILE* stream = std::fopen(file.c_str(), "wb");
        if (stream == nullptr) return std::string();
        std::string text;
        const char* const kinds[3] = {"v", "vt", "vn"};
        for (const char* kind : kinds) {
            for (int row = 0; row < kRows; ++row) {
                text.clear();
                for (int column = 0; column < kColumns; ++column) {
                    const double x = column * 0.1;
                    const double z = row * 0.1;
                    text += kind;
                    if (kind[1] == '\0') {
                        AppendFixed(text, x);
                        AppendFixed(text, std::sin(x) * std::cos(z));
                        AppendFixed(text, z);
                    } else if (kind[1] == 't') {
                        AppendFixed(text, column / double(kColumns - 1));
                        AppendFixed(text, row / double(kRows - 1));
                    } else {
                        AppendFixed(text, 0.0);
                        AppendFixed(text, 1.0);
                        AppendFixed(text, 0.0);
                    }
                    text += '\n';
                }
                std::fwrite(text.data(), 1, text.size(), stream);
            }
        }
        text = "g grid\n";
        for (int row = 0; row + 1 < kRows; ++row) {
            for (int column = 0; column + 1 < kColumns; ++column) {
                const int corner = row * kColumns + column + 1;
                const int quad[4] = {corner, corner + 1, corner + kColumns + 1, corner + kColumns};
                const int triangles[2][3] = {{quad[0], quad[1], quad[2]}, {quad[2], quad[3], quad[0]}};
                for (const auto& triangle : triangles) {
                    text += 'f';
                    for (const int index : triangle) AppendIndex(text, index);
                    text += '\n';
                }
            }
            std::fwrite(text.data(), 1, text.size(), stream);
            text.clear();
        }
        return std::fclose(stream) == 0 ? file : std::string();
    }();
    static const benchfiles::RemoveAtExit removal{path};
    return path;
}

void BM_ReadObjMillionTriangles(benchmark::State& state) {
    const std::string& path = GridFile();
    if (path.empty()) {
        state.SkipWithError("the file could not be written");
        return;
    }
    KFbxRegisterObjFormats();
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
    double ratio = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        KFbxScene* scene = KFbxScene::Create(manager.get(), "read");
        const long before = benchfiles::StatusBytes("VmRSS:");
        benchfiles::ResetPeak();
        state.ResumeTiming();

        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        const bool imported = importer->Initialize(path.c_str()) && importer->Import(scene);
        importer->Destroy();

        state.PauseTiming();
        const long peak = benchfiles::StatusBytes("VmHWM:");
        KFbxNode* node = scene->GetRootNode()->GetChildCount() > 0 ? scene->GetRootNode()->GetChild(0) : nullptr;
        auto* mesh = node != nullptr ? dynamic_cast<KFbxMesh*>(node->GetNodeAttribute()) : nullptr;
        if (!imported || mesh == nullptr || mesh->GetPolygonCount() != kTriangles) {
            state.SkipWithError("the import failed");
            break;
        }
        ratio = static_cast<double>(peak - before) / static_cast<double>(bytes);
        scene->Destroy(true);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["file_bytes"] = static_cast<double>(bytes);
    state.counters["peak_over_file"] = ratio;
}
BENCHMARK(BM_ReadObjMillionTriangles)->Unit(benchmark::kMillisecond)->Iterations(3);

// 100 000 groups of one triangle each: the memory the read adds per group
// at its peak, against what making the same nodes and meshes through the API
// adds per node (the reader should add little to that).
constexpr int kGroups = 100000;

const std::string& GroupsFile() {
    static const std::string path = [] {
        const std::string file = benchfiles::TemporaryPath("qalimor-obj-groups-bench", ".obj");
        std::FILE* stream = std::fopen(file.c_str(), "wb");
        if (stream == nullptr) return std::string();
        std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
        for (int group = 0; group < kGroups; ++group) text += "g g" + std::to_string(group) + "\nf 1 2 3\n";
        std::fwrite(text.data(), 1, text.size(), stream);
        return std::fclose(stream) == 0 ? file : std::string();
    }();
    static const benchfiles::RemoveAtExit removal{path};
    return path;
}

void MakeGroupsThroughTheApi(KFbxSdkManager& manager, KFbxScene& scene) {
    for (int group = 0; group < kGroups; ++group) {
        KFbxNode* node = KFbxNode::Create(&manager, ("g" + std::to_string(group)).c_str());
        KFbxMesh* mesh = KFbxMesh::Create(&manager, "");
        mesh->InitControlPoints(3);
        mesh->InitNormals(0);
        mesh->BeginPolygon(-1, -1, -1, true);
        for (int corner = 0; corner < 3; ++corner) mesh->AddPolygonVertex(corner);
        mesh->EndPolygon();
        node->SetNodeAttribute(mesh);
        scene.GetRootNode()->AddChild(node);
    }
}

// range(0): 0 reads the file, 1 makes the nodes through the API.
void BM_ReadObjManyGroups(benchmark::State& state) {
    const bool throughApi = state.range(0) == 1;
    const std::string& path = GroupsFile();
    if (path.empty()) {
        state.SkipWithError("the file could not be written");
        return;
    }
    KFbxRegisterObjFormats();
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    double perGroup = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        KFbxScene* scene = KFbxScene::Create(manager.get(), "read");
        const long before = benchfiles::StatusBytes("VmRSS:");
        benchfiles::ResetPeak();
        state.ResumeTiming();

        bool made = true;
        if (throughApi) {
            MakeGroupsThroughTheApi(*manager, *scene);
        } else {
            KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
            made = importer->Initialize(path.c_str()) && importer->Import(scene);
            importer->Destroy();
        }

        state.PauseTiming();
        perGroup = static_cast<double>(benchfiles::StatusBytes("VmHWM:") - before) / kGroups;
        if (!made || scene->GetRootNode()->GetChildCount() != kGroups) {
            state.SkipWithError("the groups were not made");
            break;
        }
        scene->Destroy(true);
        state.ResumeTiming();
    }
    state.counters["peak_bytes_per_group"] = perGroup;
}
BENCHMARK(BM_ReadObjManyGroups)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
