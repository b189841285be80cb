// Importing FBX files. A mesh of a million quads with its layers (normals by
// control point, UVs by polygon vertex through an index, one material per
// polygon), written as FBX 6 and FBX 5, binary and ascii, reports the peak
// memory the import adds as a multiple of the mesh data the scene then holds;
// the big scene below reports throughput and peak memory over the file size.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include "bench/BenchExport.h"
#include "bench/BenchFiles.h"
#include "bench/MillionPolygonScene.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <system_error>

namespace {

using namespace fbxsdk_2006_11_1;

using benchfiles::ResetPeak;
using benchfiles::StatusBytes;

// Writes the scene that make builds into a temporary file named after name,
// once per process and writer format; the file goes when the process ends.
const std::string& ExportOnce(const std::string& name, int format,
                              const std::function<KFbxScene*(KFbxSdkManager&)>& make) {
    static std::map<std::pair<std::string, int>, std::string> paths;
    // A removal is never copied: a copy's end would remove the file early.
    static std::deque<benchfiles::RemoveAtExit> removals;
    const auto key = std::make_pair(name, format);
    const auto known = paths.find(key);
    if (known != paths.end()) {
        return known->second;
    }
    const std::string file = benchfiles::TemporaryPath(name + "-" + std::to_string(format), ".fbx");
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    KFbxScene* scene = make(*manager);
    benchfiles::ExportScene(*manager, scene, file, format);
    removals.emplace_back(file);
    return paths.emplace(key, file).first->second;
}

// Writes the file of each writer format once per process.
const std::string& MeshFile(int format) {
    return ExportOnce("qalimor-import-bench", format, &benchscene::MillionPolygonScene);
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

// The big scene: a terrain of 1000 x 1000 control points (heights, normals
// and UVs by control point, all in full precision, as exporters write them)
// with its quads, 1 000 animated nodes (translation, rotation and scaling
// keyed on every axis in one take, in chains of ten), or both.
enum BigScenePart { eMeshAndNodes, eMeshOnly, eNodesOnly };

constexpr int kTerrainSide = 1000;
constexpr int kAnimatedNodes = 1000;

void AddTerrain(KFbxSdkManager& manager, KFbxScene& scene) {
    KFbxMesh* mesh = KFbxMesh::Create(&manager, "");
    mesh->InitControlPoints(kTerrainSide * kTerrainSide);
    KFbxVector4* points = mesh->GetControlPoints();
    auto* normals = new KFbxLayerElementNormal("normals");
    normals->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    normals->GetDirectArray().SetCount(kTerrainSide * kTerrainSide);
    auto* uvs = new KFbxLayerElementUV("map1");
    uvs->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    uvs->GetDirectArray().SetCount(kTerrainSide * kTerrainSide);
    for (int i = 0; i < kTerrainSide * kTerrainSide; ++i) {
        const double x = (i % kTerrainSide) * 0.1373;
        const double z = (i / kTerrainSide) * 0.1291;
        const double y = 3.7 * std::sin(x * 0.31) * std::cos(z * 0.27);
        points[i] = KFbxVector4(x, y, z, 0.0);
        const double dx = -3.7 * 0.31 * std::cos(x * 0.31) * std::cos(z * 0.27);
        const double dz = 3.7 * 0.27 * std::sin(x * 0.31) * std::sin(z * 0.27);
        const double length = std::sqrt(dx * dx + 1.0 + dz * dz);
        normals->GetDirectArray().GetArray()[i] = KFbxVector4(dx / length, 1.0 / length, dz / length, 0.0);
        uvs->GetDirectArray().GetArray()[i] =
            KFbxVector2((i % kTerrainSide) / (kTerrainSide - 1.0), (i / kTerrainSide) / (kTerrainSide - 1.0));
    }
    mesh->ReservePolygons((kTerrainSide - 1) * (kTerrainSide - 1), 4 * (kTerrainSide - 1) * (kTerrainSide - 1));
    for (int row = 0; row + 1 < kTerrainSide; ++row) {
        for (int column = 0; column + 1 < kTerrainSide; ++column) {
            const int corner = row * kTerrainSide + column;
            mesh->BeginPolygon(-1, -1, -1, false);
            for (int v : {corner, corner + 1, corner + kTerrainSide + 1, corner + kTerrainSide}) {
                mesh->AddPolygonVertex(v);
            }
            mesh->EndPolygon();
        }
    }
    KFbxLayer* layer = mesh->GetLayer(mesh->GetLayerCount() > 0 ? 0 : mesh->CreateLayer());
    layer->SetNormals(normals);
    layer->SetUVs(uvs);
    KFbxNode* node = KFbxNode::Create(&manager, "Terrain");
    node->SetNodeAttribute(mesh);
    scene.GetRootNode()->AddChild(node);
}

void AddAnimatedNodes(KFbxSdkManager& manager, KFbxScene& scene) {
    KFbxNode* parent = scene.GetRootNode();
    for (int i = 0; i < kAnimatedNodes; ++i) {
        KFbxNode* node = KFbxNode::Create(&manager, ("Animated" + std::to_string(i)).c_str());
        node->CreateTakeNode("Take 001");
        node->SetCurrentTakeNode(1);
        KFCurveNode* channels = node->GetCurrentTakeNode()->GetKFCurveNode();
        for (const char* channel : {"T", "R", "S"}) {
            for (const char* axis : {"X", "Y", "Z"}) {
                KFCurve* curve = channels->Find(channel)->Find(axis)->FCurveGet();
                for (int key = 0; key < 4; ++key) {
                    curve->KeySet(key, KTime(key * 46186158000LL), static_cast<float>(key + i % 7),
                                  KFCURVE_INTERPOLATION_CUBIC);
                }
            }
        }
        (i % 10 == 0 ? scene.GetRootNode() : parent)->AddChild(node);
        parent = node;
    }
    KFbxTakeInfo take;
    take.mName = "Take 001";
    scene.SetTakeInfo(take);
}

const std::string& BigSceneFile(int format, int part) {
    return ExportOnce("qalimor-bigscene-" + std::to_string(part), format,
                      [part](KFbxSdkManager& manager) {
                          KFbxScene* scene = KFbxScene::Create(&manager, "bench");
                          if (part != eNodesOnly) {
                              AddTerrain(manager, *scene);
                          }
                          if (part != eMeshOnly) {
                              AddAnimatedNodes(manager, *scene);
                          }
                          return scene;
                      });
}

// Whole imports of the big scene, FBX 6: throughput counts the file's bytes,
// and the peak resident memory the import adds is given as a multiple of the
// file's size.
void BM_ImportBigScene(benchmark::State& state) {
    const int format = static_cast<int>(state.range(0));
    const int part = static_cast<int>(state.range(1));
    const std::string& path = BigSceneFile(format, part);
    std::error_code sizeError;
    const auto fileBytes = static_cast<double>(std::filesystem::file_size(path, sizeError));
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    // One import first, untimed: right after the file is written, the first
    // read of it runs slower for reasons of the system's, not the reader's.
    {
        KFbxScene* scene = KFbxScene::Create(manager.get(), "warm-up");
        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        importer->Initialize(path.c_str()) && importer->Import(scene);
        importer->Destroy();
        scene->Destroy(true);
    }
    double ratio = 0.0;
    double seconds = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        KFbxScene* scene = KFbxScene::Create(manager.get(), "read");
        // Memory freed earlier goes back to the system first, so that the
        // import's growth shows in the resident size.
        malloc_trim(0);
        const long before = StatusBytes("VmRSS:");
        ResetPeak();
        const auto start = std::chrono::steady_clock::now();
        state.ResumeTiming();

        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        const bool imported = importer->Initialize(path.c_str()) && importer->Import(scene);
        importer->Destroy();

        state.PauseTiming();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long peak = StatusBytes("VmHWM:");
        const int expected = (part == eMeshOnly ? 0 : kAnimatedNodes) + (part == eNodesOnly ? 0 : 1);
        if (!imported || scene->GetRootNode()->GetChildCount(true) != expected) {
            state.SkipWithError("the import failed");
            break;
        }
        ratio = std::max(ratio, static_cast<double>(peak - before) / fileBytes);
        scene->Destroy(true);
        state.ResumeTiming();
    }
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["MB_per_s"] = seconds > 0.0 ? fileBytes * static_cast<double>(state.iterations()) / 1e6 / seconds : 0.0;
    state.counters["peak_over_file"] = ratio;
}
BENCHMARK(BM_ImportBigScene)
    ->ArgNames({"writer", "part"})
    ->ArgsProduct({{KFbxFileFormatRegistry::eFBX_ASCII_WRITER, KFbxFileFormatRegistry::eFBX_BINARY_WRITER},
                   {eMeshAndNodes, eMeshOnly, eNodesOnly}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
