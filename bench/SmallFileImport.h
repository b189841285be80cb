// What a program that converts many small files pays per file, ours and the
// peer's in the same run: the manager is made once; per file a new scene and
// importer, the import, both destroyed, all timed. The peer (assimp's import
// and release, no post-processing) is timed the same way where installed.
#ifndef QALIMOR_BENCH_SMALLFILEIMPORT_H
#define QALIMOR_BENCH_SMALLFILEIMPORT_H

#include "bench/AssimpPeer.h"

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace qalimor::bench {

inline void NameSmallFile(benchmark::State& state, const std::string& path) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    state.counters["file_kb"] = error ? 0.0 : static_cast<double>(bytes) / 1024.0;
}

// The formats of the file must be registered by the caller.
inline void ImportSmallFile(benchmark::State& state, const std::string& path) {
    using namespace fbxsdk_2006_11_1;
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("the file is not installed");
        return;
    }
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    for (auto _ : state) {
        KFbxScene* scene = KFbxScene::Create(manager.get(), "");
        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        const bool imported = importer->Initialize(path.c_str()) && importer->Import(scene);
        importer->Destroy();
        scene->Destroy(true);
        if (!imported) {
            state.SkipWithError("the file did not import");
            break;
        }
    }
    NameSmallFile(state, path);
}

inline void PeerImportSmallFile(benchmark::State& state, const std::string& path) {
    const AssimpPeer* peer = AssimpPeer::Get();
    if (peer == nullptr || !std::filesystem::exists(path)) {
        state.SkipWithError("the peer or the file is not installed");
        return;
    }
    for (auto _ : state) {
        if (!peer->ImportAndRelease(path)) {
            state.SkipWithError("the peer did not import the file");
            break;
        }
    }
    NameSmallFile(state, path);
}

}  // namespace qalimor::bench

#endif
