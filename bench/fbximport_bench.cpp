// Importing an FBX file holding a mesh of a million quads with its layers
// (normals by control point, UVs by polygon vertex through an index, one
// material per polygon), written as FBX 6 and FBX 5, binary and ascii: the
// argument is the writer format. Reports the peak memory the import adds,
// as a multiple of the mesh data the scene holds afterwards.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "bench/BenchFiles.h"
#include "bench/MillionPolygonScene.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

using namespace fbxsdk_2006_11_1;

using benchfiles::ResetPeak;
using benchfiles::StatusBytes;

// Writes the file of each writer format once per process.
const std::string& MeshFile(int format) {
    static std::map<int, std::string> paths;
    // A removal is never copied: a copy's end would remove the file early.
    static std::deque<benchfiles::RemoveAtExit> removals;
    const auto known = paths.find(format);
    if (known != paths.end()) {
        return known->second;
    }
    const std::string file =
        benchfiles::TemporaryPath("qalimor-import-bench-" + std::to_string(format), ".fbx");
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    KFbxScene* scene = benchscene::MillionPolygonScene(*manager);
    KFbxExporter* exporter = KFbxExporter::Create(manager.get(), "");
    exporter->Initialize(file.c_str());
    exporter->SetFileFormat(format);
    exporter->Export(scene);
    exporter->Destroy();
    removals.emplace_back(file);
    return paths.emplace(format, file).first->second;
}

// The bytes of mesh data the scene holds.
double MeshBytes(const KFbxMesh& mesh) {
    const KFbxLayer* layer = mesh.GetLayer(0);
    double bytes = mesh.GetControlPointsCount() * sizeof(KFbxVector4) + mesh.GetPolygonVertexCount() * sizeof(int) +
                   mesh.GetPolygonCount() * 3.0 * sizeof(int);
    if (layer != nullptr) {
        if (layer->GetNormals() != nullptr) {
            bytes += layer->GetNormals()->GetDirectArray().GetCount() * sizeof(KFbxVector4);
        }
        if (layer->GetUVs() != nullptr) {
            bytes += layer->GetUVs()->GetIndexArray().GetCount() * sizeof(int);
        }
        if (layer->GetMaterials() != nullptr) {
            bytes += layer->GetMaterials()->GetIndexArray().GetCount() * sizeof(int);
        }
    }
    return bytes;
}

void BM_ImportMillionPolygons(benchmark::State& state) {
    const std::string& path = MeshFile(static_cast<int>(state.range(0)));
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    double ratio = 0.0;
    double polygons = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        KFbxScene* scene = KFbxScene::Create(manager.get(), "read");
        const long before = StatusBytes("VmRSS:");
        ResetPeak();
        state.ResumeTiming();

        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        const bool imported = importer->Initialize(path.c_str()) && importer->Import(scene);
        importer->Destroy();

        state.PauseTiming();
        const long peak = StatusBytes("VmHWM:");
        KFbxNode* node = scene->GetRootNode()->GetChildCount() > 0 ? scene->GetRootNode()->GetChild(0) : nullptr;
        auto* mesh = node != nullptr ? dynamic_cast<KFbxMesh*>(node->GetNodeAttribute()) : nullptr;
        if (!imported || mesh == nullptr) {
            state.SkipWithError("the import failed");
            break;
        }
        polygons = mesh->GetPolygonCount();
        ratio = static_cast<double>(peak - before) / MeshBytes(*mesh);
        scene->Destroy(true);
        state.ResumeTiming();
    }
    state.counters["polygons"] = polygons;
    state.counters["peak_over_mesh_data"] = ratio;
}
BENCHMARK(BM_ImportMillionPolygons)
    ->ArgName("writer")
    ->Arg(KFbxFileFormatRegistry::eFBX_BINARY_WRITER)
    ->Arg(KFbxFileFormatRegistry::eFBX5_BINARY_WRITER)
    ->Arg(KFbxFileFormatRegistry::eFBX_ASCII_WRITER)
    ->Arg(KFbxFileFormatRegistry::eFBX5_ASCII_WRITER)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
