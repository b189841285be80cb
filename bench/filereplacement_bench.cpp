// The cost per file of an export that replaces the file it writes (a hidden
// file made, given the old one's owner, group, bits and attributes, written,
// put on the disk and renamed over it) against one written in place (the
// new content held until whole, the old file locked, room for it reserved
// there, the old bytes kept in a copy beside it until the new ones are on
// the disk): 2 000 small exports of a triangle with a material, in the DXF,
// OBJ (with its library) and ascii FBX formats, each to the same path, five
// times over (the median of the five is the figure to read). The files
// written in place (and the OBJ file's library) have a second name, which
// is what keeps the writers from replacing them in a folder of the
// process's own. Then many exports of one OBJ pair at once: eight threads,
// each with a manager of its own, export the triangle and its library to
// the same two names 250 times each, every export setting aside the
// library the others just wrote and looking for hidden files left behind
// (the figure is the wall time of all 2 000 over 2 000; "failed" counts the
// exports that did not succeed). Last, 50 exports of an OBJ pair, each to a
// name of its own, into a folder that holds 0, 10 000 or 60 000 other files
// (a program that writes many files into one folder): an export's cost
// should not grow with them.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "bench/BenchExport.h"
#include "bench/BenchFiles.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>

namespace {

using namespace fbxsdk_2006_11_1;

constexpr int kExports = 2000;

struct TriangleScene {
    std::unique_ptr<KFbxSdkManager> mManager{CreateSdkManager()};
    KFbxScene* mScene = KFbxScene::Create(mManager.get(), "");

    TriangleScene() {
        const KFbxVector4 corners[] = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}};
        KFbxMesh* mesh = KFbxMesh::Create(mManager.get(), "");
        mesh->InitControlPoints(3);
        mesh->BeginPolygon();
        for (int k = 0; k < 3; ++k) {
            mesh->GetControlPoints()[k] = corners[k];
            mesh->AddPolygonVertex(k);
        }
        mesh->EndPolygon();
        mesh->AddMaterial(KFbxSurfacePhong::Create(mManager.get(), "Red"));
        KFbxNode* node = KFbxNode::Create(mManager.get(), "Tri");
        node->SetNodeAttribute(mesh);
        mScene->GetRootNode()->AddChild(node);
    }
};

// state.range(0): the writer format; state.range(1): 1 to write in place.
void BM_ExportSmallFile(benchmark::State& state) {
    static TriangleScene scene;
    const auto format = static_cast<int>(state.range(0));
    const bool inPlace = state.range(1) != 0;
    const std::string extension = format == KFbxFileFormatRegistry::eDXF_WRITER   ? ".dxf"
                                  : format == KFbxFileFormatRegistry::eOBJ_WRITER ? ".obj"
                                                                                   : ".fbx";
    // Not the temporary folder itself: in a sticky folder open to all, a
    // file of two names is replaced rather than written through.
    const std::filesystem::path folder = benchfiles::TemporaryPath("file-replacement", "");
    std::error_code error;
    std::filesystem::create_directory(folder, error);
    const std::string path = folder / ((inPlace ? "in-place" : "replaced") + extension);
    const std::string library = path.substr(0, path.size() - extension.size()) + ".mtl";
    if (!benchfiles::ExportScene(*scene.mManager, scene.mScene, path, format)) {
        state.SkipWithError("the first export failed");
        return;
    }
    for (const std::string& file : {path, library}) {
        if (inPlace && std::filesystem::exists(file)) std::filesystem::create_hard_link(file, file + ".second", error);
    }
    for (auto _ : state) {
        if (!benchfiles::ExportScene(*scene.mManager, scene.mScene, path, format)) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    // Still one file of two names: it was written in place every time.
    state.counters["links"] = static_cast<double>(std::filesystem::hard_link_count(path, error));
    std::filesystem::remove_all(folder, error);
}

BENCHMARK(BM_ExportSmallFile)
    ->ArgNames({"format", "in_place"})
    ->ArgsProduct({{KFbxFileFormatRegistry::eDXF_WRITER, KFbxFileFormatRegistry::eOBJ_WRITER,
                    KFbxFileFormatRegistry::eFBX_ASCII_WRITER},
                   {0, 1}})
    ->Iterations(kExports)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMicrosecond);

void BM_ExportOnePairAtOnce(benchmark::State& state) {
    thread_local TriangleScene scene;
    const std::filesystem::path folder = benchfiles::TemporaryPath("file-replacement-at-once", "");
    std::error_code error;
    // The others wait for this one at the loop's start.
    if (state.thread_index() == 0) std::filesystem::create_directory(folder, error);
    const std::string path = folder / "pair.obj";
    double failed = 0;
    for (auto _ : state) {
        failed += benchfiles::ExportScene(*scene.mManager, scene.mScene, path, KFbxFileFormatRegistry::eOBJ_WRITER) ? 0 : 1;
    }
    // Summed over the threads.
    state.counters["failed"] = failed;
    // Every thread is past its loop here.
    if (state.thread_index() == 0) std::filesystem::remove_all(folder, error);
}

BENCHMARK(BM_ExportOnePairAtOnce)
    ->Threads(8)
    ->Iterations(kExports / 8)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// state.range(0): how many other files the folder holds.
void BM_ExportIntoAFullFolder(benchmark::State& state) {
    static TriangleScene scene;
    const std::filesystem::path folder = benchfiles::TemporaryPath("file-replacement-full", "");
    std::error_code error;
    std::filesystem::create_directory(folder, error);
    for (std::int64_t file = 0; file < state.range(0); ++file) {
        std::ofstream(folder / ("other" + std::to_string(file) + ".obj")) << "o\n";
    }
    int exported = 0;
    for (auto _ : state) {
        const std::string path = folder / ("scene" + std::to_string(exported++) + ".obj");
        if (!benchfiles::ExportScene(*scene.mManager, scene.mScene, path, KFbxFileFormatRegistry::eOBJ_WRITER)) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    std::filesystem::remove_all(folder, error);
}

BENCHMARK(BM_ExportIntoAFullFolder)
    ->ArgName("other_files")
    ->Arg(0)
    ->Arg(10000)
    ->Arg(60000)
    ->Iterations(50)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace
