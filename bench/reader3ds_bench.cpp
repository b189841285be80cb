// Importing a 3DS file of 60 000 triangles (the most one 3DS object could
// hold, shared out over 60 objects of 1000 triangles each), with texture
// vertices, smoothing groups, a material group and a keyframer node per
// object. Reports the file's bytes read per second.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/formats/KFbxFormats3ds.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "bench/BenchFiles.h"
#include "bench/SmallFileImport.h"
#include "tests/formats/Scene3dsFiles.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>


namespace {

using namespace fbxsdk_2006_11_1;

constexpr int kObjects = 60;
// Grid points of an object: 21 x 26 points make 20 x 25 quads, 1000 triangles.
constexpr int kColumns = 21;
constexpr int kRows = 26;

scene3ds::Mesh Grid(int object) {
    scene3ds::Mesh grid;
    grid.mName = "Grid" + std::to_string(object);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            grid.mVertices.push_back({static_cast<float>(column), static_cast<float>(row),
                                      static_cast<float>((row * column + object) % 7)});
            grid.mUVs.push_back({column / float(kColumns - 1), row / float(kRows - 1)});
        }
    }
    std::vector<std::uint16_t> faces;
    for (int row = 0; row + 1 < kRows; ++row) {
        for (int column = 0; column + 1 < kColumns; ++column) {
            const auto corner = static_cast<std::uint16_t>(row * kColumns + column);
            grid.mFaces.push_back({corner, static_cast<std::uint16_t>(corner + 1),
                                   static_cast<std::uint16_t>(corner + kColumns + 1)});
            grid.mFaces.push_back({static_cast<std::uint16_t>(corner + kColumns + 1),
                                   static_cast<std::uint16_t>(corner + kColumns), corner});
            // Two smoothing groups in bands, so that the band edges split.
            const std::uint32_t group = (row / 5) % 2 == 0 ? 1u : 2u;
            grid.mSmoothing.push_back(group);
            grid.mSmoothing.push_back(group);
        }
    }
    for (std::size_t face = 0; face < grid.mFaces.size(); ++face) {
        faces.push_back(static_cast<std::uint16_t>(face));
    }
    grid.mGroups.push_back({"Sand", faces});
    return grid;
}

// Writes the file once per process.
const std::string& SceneFile() {
    static const std::string path = [] {
        const std::string file = benchfiles::TemporaryPath("qalimor-3ds-bench", ".3ds");
        scene3ds::File scene;
        scene.Material("Sand", [](material3ds& material) { scene3ds::SetName(material.texture.name, "sand.tga"); });
        for (int object = 0; object < kObjects; ++object) {
            scene.Add(Grid(object));
            scene.Add(scene3ds::ObjectNode{.mName = "Grid" + std::to_string(object),
                                           .mPosition = {{0, {0, 0, 0}}, {30, {0, 0, 1}}}});
        }
        return scene.Write(file) ? file : std::string();
    }();
    static const benchfiles::RemoveAtExit removal{path};
    return path;
}

void BM_Import3dsSixtyThousandTriangles(benchmark::State& state) {
    const std::string& path = SceneFile();
    if (path.empty()) {
        state.SkipWithError("the file could not be written");
        return;
    }
    KFbxRegister3dsFormats();
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
    for (auto _ : state) {
        state.PauseTiming();
        KFbxScene* scene = KFbxScene::Create(manager.get(), "read");
        state.ResumeTiming();

        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        const bool imported = importer->Initialize(path.c_str()) && importer->Import(scene);
        importer->Destroy();

        state.PauseTiming();
        const int objects = scene->GetRootNode()->GetChildCount();
        scene->Destroy(true);
        if (!imported || objects != kObjects) {
            state.SkipWithError("the import failed");
            break;
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Import3dsSixtyThousandTriangles)->Unit(benchmark::kMillisecond);

// The distribution's small test model, imported as a program converting many
// files would, and by the peer.
constexpr const char* kSmallModel = "/usr/share/assimp/models/3DS/test1.3ds";

void BM_Import3dsSmallModel(benchmark::State& state) {
    KFbxRegister3dsFormats();
    qalimor::bench::ImportSmallFile(state, kSmallModel);
}
BENCHMARK(BM_Import3dsSmallModel)->Unit(benchmark::kMicrosecond);

void BM_Assimp3dsSmallModel(benchmark::State& state) { qalimor::bench::PeerImportSmallFile(state, kSmallModel); }
BENCHMARK(BM_Assimp3dsSmallModel)->Unit(benchmark::kMicrosecond);

}  // namespace
