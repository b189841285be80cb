// libFuzzer target for the 3DS reader: the input after its first byte
// becomes a .3ds file that is imported into a scene; the bits of the first
// byte switch the reader's options (smoothing groups, animation, key
// reducer, reference node, materials, textures, lights and cameras). What
// was read is written again by the 3DS writer and read back, so that the
// writer meets every odd scene the reader makes.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/formats/KFbxFormats3ds.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace {

using namespace fbxsdk_2006_11_1;

KFbxSdkManager& Manager() {
    static KFbxSdkManager* manager = [] {
        KFbxRegister3dsFormats();
        return CreateSdkManager();
    }();
    return *manager;
}

// One scene for every input: making a scene costs more than most reads, so
// each input's nodes, materials and textures are destroyed instead.
KFbxScene& Scene() {
    static KFbxScene* scene = KFbxScene::Create(&Manager(), "");
    return *scene;
}

void Empty(KFbxScene& scene) {
    KFbxNode* root = scene.GetRootNode();
    while (root->GetChildCount() > 0) {
        root->GetChild(0)->Destroy(true);
    }
    while (scene.GetMaterialCount() > 0) {
        scene.GetMaterial(0)->Destroy();
    }
    while (scene.GetTextureCount() > 0) {
        scene.GetTexture(0)->Destroy();
    }
}

std::string TemporaryPath(const char* suffix) {
    return "/tmp/qalimor-reader3ds-fuzz-" + std::to_string(getpid()) + suffix + ".3ds";
}

void SetOptions(KFbxStreamOptions3dsReader& options, std::uint8_t bits) {
    options.SetOption("SMOOTHGROUP", (bits & 0x01) == 0);
    options.SetOption("ANIMATION", (bits & 0x02) == 0);
    options.SetOption("FILTER", (bits & 0x04) != 0);
    options.SetOption("REFERENCENODE", (bits & 0x08) != 0);
    options.SetOption("MATERIAL", (bits & 0x10) == 0);
    options.SetOption("TEXTURE", (bits & 0x20) == 0);
    options.SetOption("LIGHT", (bits & 0x40) == 0);
    options.SetOption("CAMERA", (bits & 0x80) == 0);
}

bool Import(KFbxSdkManager& manager, const std::string& path, std::uint8_t bits) {
    KFbxImporter* importer = KFbxImporter::Create(&manager, "");
    KFbxStreamOptions3dsReader* options = KFbxStreamOptions3dsReader::Create(&manager, "");
    bool imported = false;
    if (importer != nullptr && options != nullptr && importer->Initialize(path.c_str())) {
        SetOptions(*options, bits);
        imported = importer->Import(&Scene(), options);
    }
    if (options != nullptr) options->Destroy();
    if (importer != nullptr) importer->Destroy();
    return imported;
}

// The writer samples every frame: a long take (a key far out in a small
// input) is written still, so that the file written stays as small as the
// input it came from.
constexpr std::int64_t kMaxWrittenFrames = 300;

bool ShortTake(KFbxScene& scene) {
    KTime start;
    KTime stop;
    return !scene.GetRootNode()->GetAnimationInterval(start, stop) ||
           stop.GetFrame(true, KTime::eFrames30) <= kMaxWrittenFrames;
}

// Texture files are not copied: the names come from the input.
void Export(KFbxSdkManager& manager, const std::string& path) {
    KFbxExporter* exporter = KFbxExporter::Create(&manager, "");
    KFbxStreamOptions3dsWriter* options = KFbxStreamOptions3dsWriter::Create(&manager, "");
    if (exporter != nullptr && options != nullptr) {
        options->Reset();
        options->SetOption("TEXTURE", false);
        options->SetOption("ANIMATION", ShortTake(Scene()));
        exporter->SetFileFormat(KFbxFileFormatRegistry::e3DS_WRITER);
        if (exporter->Initialize(path.c_str())) {
            exporter->Export(&Scene(), options);
        }
    }
    if (options != nullptr) options->Destroy();
    if (exporter != nullptr) exporter->Destroy();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    const std::uint8_t bits = data[0];
    const std::string path = TemporaryPath("");
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, file);
        std::fclose(file);
    } else {
        return 0;
    }
    KFbxSdkManager& manager = Manager();
    if (Import(manager, path, bits)) {
        const std::string written = TemporaryPath("-written");
        Export(manager, written);
        Empty(Scene());
        Import(manager, written, bits);
        std::remove(written.c_str());
    }
    Empty(Scene());
    std::remove(path.c_str());
    return 0;
}
