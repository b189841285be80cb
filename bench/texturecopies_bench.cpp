// The OBJ writer's copies of texture files beside the file it writes: a
// scene of many triangles, each with a material of its own whose texture is
// a file of its own, all the files of one name in folders of their own
// (src/7/wood.tga: each copy but the first is numbered, wood1.tga, ...) or
// each of a name of its own (src/7/wood-7.tga), exported into a folder that
// holds nothing yet (the folder is emptied before each export, outside the
// time measured) and again into the folder the last export filled, where
// every copy is found among the files already there. 1 000 files of 1 KiB,
// each other bytes, and 50 files of 4 MiB whose bytes differ only near
// their end. Textures of one name should cost about what textures of as
// many names cost. Where the first textures hold the same bytes (one
// texture kept in several models' folders: 20 of 4 MiB, or a pair of
// 8 MiB before six others), their copy is found by comparing, and an
// export again writes nothing. The files are made once per process.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "bench/BenchExport.h"
#include "bench/BenchFiles.h"
#include "bench/BenchTriangle.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <tuple>

namespace {

using namespace fbxsdk_2006_11_1;

// The folder of this process's files, removed whole when it ends.
struct BenchFolder {
    std::filesystem::path mPath = benchfiles::TemporaryPath("texture-copies", "");
    BenchFolder() { std::filesystem::create_directories(mPath); }
    ~BenchFolder() {
        std::error_code error;
        std::filesystem::remove_all(mPath, error);
    }
};

const std::filesystem::path& Folder() {
    static const BenchFolder folder;
    return folder.mPath;
}

// The texture file numbered index of a set of count files of kib KiB: the
// same bytes in every file of the set but its number, in the last bytes.
std::string TextureBytes(int index, std::int64_t kib) {
    std::string bytes(static_cast<std::size_t>(kib) * 1024, '\0');
    for (std::size_t at = 0; at < bytes.size(); ++at) bytes[at] = static_cast<char>((at * 131) >> 7);
    const std::string number = std::to_string(index);
    bytes.replace(bytes.size() - number.size() - 1, number.size(), number);
    return bytes;
}

// The bytes the process handed to the system to write so far (0 where the
// system does not tell), so that an export again shows what it wrote.
double BytesWritten() {
    std::ifstream io("/proc/self/io");
    std::string key;
    double bytes = 0;
    while (io >> key >> bytes) {
        if (key == "wchar:") return bytes;
    }
    return 0;
}

struct SceneOfBenchmark {
    std::unique_ptr<KFbxSdkManager> mManager{CreateSdkManager()};
    KFbxScene* mScene = KFbxScene::Create(mManager.get(), "");
};

// count triangles, each with a material and a texture of its own; the
// texture files of one name, or each of its own. Both sets of names lead
// to the same files, the first repeated of which hold the same bytes.
SceneOfBenchmark& TexturedScene(int count, std::int64_t kib, bool oneName, int repeated) {
    static std::map<std::tuple<int, std::int64_t, bool, int>, std::unique_ptr<SceneOfBenchmark>> scenes;
    std::unique_ptr<SceneOfBenchmark>& scene = scenes[{count, kib, oneName, repeated}];
    if (scene != nullptr) return *scene;
    scene = std::make_unique<SceneOfBenchmark>();
    KFbxSdkManager* manager = scene->mManager.get();
    const std::filesystem::path sources =
        Folder() / ("src-" + std::to_string(count) + "-" + std::to_string(kib) + "-" + std::to_string(repeated));
    for (int index = 0; index < count; ++index) {
        const std::string number = std::to_string(index);
        const std::filesystem::path folder = sources / number;
        const std::filesystem::path file = folder / (oneName ? "wood.tga" : "wood-" + number + ".tga");
        if (!std::filesystem::exists(folder)) {
            std::filesystem::create_directories(folder);
            std::ofstream(folder / "wood.tga", std::ios::binary) << TextureBytes(index < repeated ? 0 : index, kib);
            std::filesystem::create_hard_link(folder / "wood.tga", folder / ("wood-" + number + ".tga"));
        }
        KFbxMesh* mesh = benchfiles::Triangle(*manager, "");
        const std::string name = "Tri" + number;
        mesh->InitMaterialIndices(KFbxLayerElement::eALL_SAME);
        mesh->AddMaterial(KFbxSurfaceLambert::Create(manager, name.c_str()));
        mesh->InitTextureIndices(KFbxLayerElement::eALL_SAME);
        mesh->AddTexture(KFbxTexture::Create(manager, name.c_str()));
        mesh->GetTexture(0)->SetFileName(file.string().c_str());
        KFbxNode* node = KFbxNode::Create(manager, name.c_str());
        node->SetNodeAttribute(mesh);
        scene->mScene->GetRootNode()->AddChild(node);
    }
    return *scene;
}

// state.range(0): the textures; (1): their size in KiB; (2): 1 for one file
// name; (3): 1 to export again into the folder the last export filled; (4):
// how many of the first hold the same bytes (0 or 1: none).
void BM_ObjTextureCopies(benchmark::State& state) {
    const auto count = static_cast<int>(state.range(0));
    const bool oneName = state.range(2) != 0;
    const bool again = state.range(3) != 0;
    const auto repeated = static_cast<int>(state.range(4));
    SceneOfBenchmark& scene = TexturedScene(count, state.range(1), oneName, repeated);
    const std::filesystem::path out =
        Folder() / ("out-" + std::to_string(count) + "-" + std::to_string(state.range(1)) + "-" +
                    std::to_string(repeated) + (oneName ? "-one" : "-own"));
    const std::string path = (out / "scene.obj").string();
    const auto empty = [&out] {
        std::error_code error;
        std::filesystem::remove_all(out, error);
        std::filesystem::create_directories(out);
    };
    empty();
    if (again && !benchfiles::ExportScene(*scene.mManager, scene.mScene, path, KFbxFileFormatRegistry::eOBJ_WRITER)) {
        state.SkipWithError("the export failed");
        return;
    }
    const double writtenBefore = BytesWritten();
    for (auto _ : state) {
        if (!again) {
            state.PauseTiming();
            empty();
            state.ResumeTiming();
        }
        if (!benchfiles::ExportScene(*scene.mManager, scene.mScene, path, KFbxFileFormatRegistry::eOBJ_WRITER)) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    state.counters["written_per_export"] =
        benchmark::Counter((BytesWritten() - writtenBefore) / static_cast<double>(state.iterations()));
    state.counters["files"] = static_cast<double>(std::distance(std::filesystem::directory_iterator(out), {}));
}
BENCHMARK(BM_ObjTextureCopies)
    ->ArgNames({"textures", "kib", "one_name", "again", "repeated"})
    ->ArgsProduct({{1000}, {1}, {0, 1}, {0, 1}, {0}})
    ->ArgsProduct({{50}, {4096}, {0, 1}, {0, 1}, {0}})
    ->ArgsProduct({{50, 100}, {64}, {0}, {1}, {0}})
    ->ArgsProduct({{20}, {4096}, {1}, {0, 1}, {20}})
    ->ArgsProduct({{8}, {8192}, {1}, {0, 1}, {2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
