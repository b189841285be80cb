// Writes a benchmark's scene to a file in one writer format, once or at each
// iteration of a benchmark.
#ifndef QALIMOR_BENCH_BENCHEXPORT_H
#define QALIMOR_BENCH_BENCHEXPORT_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace benchfiles {

inline bool ExportScene(fbxsdk_2006_11_1::KFbxSdkManager& manager, fbxsdk_2006_11_1::KFbxScene* scene,
                        const std::string& path, int format) {
    auto* exporter = fbxsdk_2006_11_1::KFbxExporter::Create(&manager, "");
    exporter->SetFileFormat(format);
    const bool exported = exporter->Initialize(path.c_str()) && exporter->Export(scene);
    exporter->Destroy();
    return exported;
}

// Exports the scene at each iteration of the benchmark and reports the size
// of the file written ("file_mb"), which is removed at the end.
inline void ExportAtEachIteration(benchmark::State& state, fbxsdk_2006_11_1::KFbxSdkManager& manager,
                                  fbxsdk_2006_11_1::KFbxScene* scene, const std::string& path, int format) {
    double bytes = 0.0;
    for (auto _ : state) {
        if (!ExportScene(manager, scene, path, format)) {
            state.SkipWithError("the export failed");
            break;
        }
        std::error_code error;
        bytes = static_cast<double>(std::filesystem::file_size(path, error));
    }
    state.counters["file_mb"] = bytes / (1024.0 * 1024.0);
    std::error_code error;
    std::filesystem::remove(path, error);
}

}  // namespace benchfiles

#endif
