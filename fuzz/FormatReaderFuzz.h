// What the fuzz targets of the foreign-format readers share: one manager
// and one scene for every input (making them costs more than most reads),
// the input after its first byte written to a file of the format's
// extension and imported with options that the first byte sets.
#ifndef FUZZ_FORMATREADERFUZZ_H
#define FUZZ_FORMATREADERFUZZ_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace fuzzsupport {

using namespace fbxsdk_2006_11_1;

// Registers the formats once; the manager lives as long as the process.
inline KFbxSdkManager& Manager(void (*registerFormats)()) {
    static KFbxSdkManager* manager = [registerFormats] {
        registerFormats();
        return CreateSdkManager();
    }();
    return *manager;
}

// Destroys what one input put in the scene.
inline void Empty(KFbxScene& scene) {
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

// Imports data after its first byte as a file named with the extension;
// makeOptions gives the reader's options for the first byte.
template <class MakeOptions>
int ImportInput(const std::uint8_t* data, std::size_t size, void (*registerFormats)(), const char* extension,
                MakeOptions makeOptions) {
    if (size < 1 || size > (1u << 20)) return 0;
    const std::string path = "/tmp/qalimor-reader-fuzz-" + std::to_string(getpid()) + extension;
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, file);
        std::fclose(file);
    } else {
        return 0;
    }
    KFbxSdkManager& manager = Manager(registerFormats);
    static KFbxScene* scene = KFbxScene::Create(&manager, "");
    KFbxImporter* importer = KFbxImporter::Create(&manager, "");
    KFbxStreamOptions* options = makeOptions(manager, data[0]);
    if (importer != nullptr && options != nullptr && importer->Initialize(path.c_str())) {
        importer->Import(scene, options);
    }
    Empty(*scene);
    if (options != nullptr) options->Destroy();
    if (importer != nullptr) importer->Destroy();
    std::remove(path.c_str());
    return 0;
}

}  // namespace fuzzsupport

#endif
