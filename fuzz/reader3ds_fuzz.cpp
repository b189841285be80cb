// libFuzzer target for the 3DS reader: the input after its first byte
// becomes a .3ds file that is imported into a scene; the bits of the first
// byte switch the reader's options (smoothing groups, animation, key
// reducer, reference node, materials, textures, lights and cameras).
#include <fbxfilesdk/core/KFbxSdkManager.h>
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

std::string TemporaryPath() { return "/tmp/qalimor-reader3ds-fuzz-" + std::to_string(getpid()) + ".3ds"; }

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    const std::uint8_t bits = data[0];
    const std::string path = TemporaryPath();
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, file);
        std::fclose(file);
    } else {
        return 0;
    }
    KFbxSdkManager& manager = Manager();
    KFbxImporter* importer = KFbxImporter::Create(&manager, "");
    KFbxStreamOptions3dsReader* options = KFbxStreamOptions3dsReader::Create(&manager, "");
    if (importer != nullptr && options != nullptr && importer->Initialize(path.c_str())) {
        SetOptions(*options, bits);
        importer->Import(&Scene(), options);
    }
    Empty(Scene());
    if (options != nullptr) options->Destroy();
    if (importer != nullptr) importer->Destroy();
    std::remove(path.c_str());
    return 0;
}
