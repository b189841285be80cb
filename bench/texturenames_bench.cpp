// Naming the files of many textures: a mesh whose layer holds 10 000
// textures, each naming its own file in one folder beside the written file
// by an absolute path, written as FBX 6 ascii and as COLLADA, and an FBX 6
// binary file of it read back: where the textures' files still are, after
// the whole tree has moved, so that each record's file is found by its
// relative name, and once the files are gone. And an OBJ whose library
// names its texture by a long name of ".." steps, converted to COLLADA.
#include "BenchExport.h"
#include "BenchFiles.h"
#include "BenchTriangle.h"

#include <fbxfilesdk/collada/KFbxColladaFormats.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/formats/KFbxFormatsObj.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <benchmark/benchmark.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>

namespace {

using namespace fbxsdk_2006_11_1;

constexpr int kTextures = 10000;

// The folder the files go in, made once per process and removed at its end:
// each tree in it has its textures in "tex/" and the written files in "out/".
const std::filesystem::path& Folder() {
    struct Owned {
        std::filesystem::path path;
        ~Owned() {
            std::error_code error;
            std::filesystem::remove_all(path, error);
        }
    };
    static const Owned folder = [] {
        Owned made{benchfiles::TemporaryPath("qalimor-texture-names", "")};
        std::filesystem::create_directories(made.path / "tree/tex");
        std::filesystem::create_directories(made.path / "tree/out");
        return made;
    }();
    return folder.path;
}

std::string TextureFile(const std::filesystem::path& tree, int index) {
    char digits[16];
    const std::string number(digits, std::to_chars(digits, digits + sizeof digits, index).ptr);
    return (tree / "tex" / ("t" + number + ".tga")).string();
}

// One triangle whose first layer holds every texture, all over the mesh,
// each naming a file of the tree's "tex/" folder, which is made.
KFbxScene* TexturedScene(KFbxSdkManager& manager, const std::filesystem::path& tree) {
    KFbxScene* scene = KFbxScene::Create(&manager, "");
    KFbxNode* node = KFbxNode::Create(&manager, "plate");
    KFbxMesh* mesh = benchfiles::Triangle(manager, "plate");
    node->SetNodeAttribute(mesh);
    scene->GetRootNode()->AddChild(node);
    mesh->InitMaterialIndices(KFbxLayerElement::eALL_SAME);
    mesh->AddMaterial(KFbxSurfaceLambert::Create(&manager, "paint"));
    KFbxLayerElementTexture* textures = manager.CreateLayerElementTexture("");
    textures->SetMappingMode(KFbxLayerElement::eALL_SAME);
    textures->SetReferenceMode(KFbxLayerElement::eDIRECT);
    for (int i = 0; i < kTextures; ++i) {
        const std::string file = TextureFile(tree, i);
        std::ofstream(file) << "tga";
        KFbxTexture* texture = KFbxTexture::Create(&manager, ("t" + std::to_string(i)).c_str());
        texture->SetFileName(file.c_str());
        textures->GetDirectArray().Add(texture);
    }
    mesh->GetLayer(0)->SetTextures(textures);
    return scene;
}

void WriteTextures(benchmark::State& state, int format, const char* name) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    KFbxScene* scene = TexturedScene(*manager, Folder() / "tree");
    benchfiles::ExportAtEachIteration(state, *manager, scene, (Folder() / "tree/out" / name).string(), format);
    state.counters["textures"] = kTextures;
}

void BM_TextureNamesWriteFbx6Ascii(benchmark::State& state) {
    WriteTextures(state, KFbxFileFormatRegistry::eFBX_ASCII_WRITER, "scene.fbx");
}
BENCHMARK(BM_TextureNamesWriteFbx6Ascii)->Unit(benchmark::kMillisecond);

void BM_TextureNamesWriteCollada(benchmark::State& state) { WriteTextures(state, -1, "scene.dae"); }
BENCHMARK(BM_TextureNamesWriteCollada)->Unit(benchmark::kMillisecond);

// Arg 0: read where it was written; 1: read once the tree has moved, so that
// no texture's file name names a file any more, but its relative name finds
// it; 2: read where the textures' files are gone.
void BM_TextureNamesReadFbx6(benchmark::State& state) {
    static const bool written = [] {
        for (const char* tree : {"here", "gone", "bare"}) {
            std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
            std::filesystem::create_directories(Folder() / tree / "tex");
            std::filesystem::create_directories(Folder() / tree / "out");
            benchfiles::ExportScene(*manager, TexturedScene(*manager, Folder() / tree),
                                    (Folder() / tree / "out/scene.fbx").string(),
                                    KFbxFileFormatRegistry::eFBX_BINARY_WRITER);
        }
        std::filesystem::rename(Folder() / "gone", Folder() / "moved");
        std::filesystem::remove_all(Folder() / "bare/tex");
        return true;
    }();
    static_cast<void>(written);
    const char* const trees[] = {"here", "moved", "bare"};
    const std::filesystem::path file = Folder() / trees[state.range(0)] / "out/scene.fbx";
    int read = 0;
    for (auto _ : state) {
        std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
        KFbxScene* scene = KFbxScene::Create(manager.get(), "");
        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        if (!importer->Initialize(file.string().c_str()) || !importer->Import(scene)) {
            state.SkipWithError("the import failed");
            break;
        }
        read = scene->GetTextureCount();
    }
    state.counters["textures"] = read;
}
BENCHMARK(BM_TextureNamesReadFbx6)->ArgName("files")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// An OBJ whose library names its texture "a/" as many times as the
// argument, then "../" as many times (80 KB at 16 000), read and written as
// COLLADA: a name's steps should cost their length, not its square.
void BM_TextureNamesDotStepsObjToCollada(benchmark::State& state) {
    const auto steps = static_cast<int>(state.range(0));
    const std::filesystem::path folder = Folder() / ("steps" + std::to_string(steps));
    std::filesystem::create_directories(folder);
    std::string name;
    for (int i = 0; i < steps; ++i) name += "a/";
    for (int i = 0; i < steps; ++i) name += "../";
    std::ofstream(folder / "wood.tga") << "tga";
    std::ofstream(folder / "car.mtl") << "newmtl wood\nmap_Kd " << name << "wood.tga\n";
    std::ofstream(folder / "car.obj") << "mtllib car.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nusemtl wood\nf 1/1 2/1 3/1\n";
    KFbxRegisterObjFormats();
    KFbxRegisterColladaFormats();
    for (auto _ : state) {
        std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
        KFbxScene* scene = KFbxScene::Create(manager.get(), "");
        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        if (!importer->Initialize((folder / "car.obj").string().c_str()) || !importer->Import(scene) ||
            !benchfiles::ExportScene(*manager, scene, (folder / "car.dae").string(), -1)) {
            state.SkipWithError("the conversion failed");
            break;
        }
    }
}
BENCHMARK(BM_TextureNamesDotStepsObjToCollada)->ArgName("steps")->Arg(16000)->Arg(32000)->Unit(benchmark::kMillisecond);

}  // namespace
