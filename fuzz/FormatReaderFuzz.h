// What the fuzz targets of the foreign-format readers share: one manager
// and one scene for every input (making them costs more than most reads),
// the input written to a file the reader opens, and after each read the
// scene emptied so that nothing reaches the next input. ImportInput is the
// whole frame of the targets that import through the importer: the input
// after its first byte, with options that the first byte sets.
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
#include <string_view>

#include <unistd.h>

namespace fuzzsupport {

using namespace fbxsdk_2006_11_1;

// The largest input a target reads.
inline constexpr std::size_t kMaxInput = 1u << 20;

// The manager lives as long as the process; registerFormats, when given,
// registers the formats once before it is made.
inline KFbxSdkManager& Manager(void (*registerFormats)() = nullptr) {
    static KFbxSdkManager* const manager = [registerFormats] {
        if (registerFormats != nullptr) {
            registerFormats();
        }
        return CreateSdkManager();
    }();
    return *manager;
}

inline KFbxScene& Scene() {
    static KFbxScene* const scene = KFbxScene::Create(&Manager(), "");
    return *scene;
}

// A file of the process's own under /tmp: the target's name, then the suffix.
inline std::string TemporaryPath(const char* target, const std::string& suffix) {
    return "/tmp/qalimor-" + std::string(target) + "-fuzz-" + std::to_string(getpid()) + suffix;
}

// Whether the file was made with all the bytes.
inline bool WriteFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// The input after its first byte.
inline std::string_view AfterFirstByte(const std::uint8_t* data, std::size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data + 1), size - 1);
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

// Destroys, newest first, the manager's objects from the first'th on.
inline void DestroyObjectsFrom(KFbxSdkManager& manager, int first) {
    for (int count = manager.GetObjectCount(); count > first; count = manager.GetObjectCount()) {
        manager.GetObject(KFbxClassId(), count - 1)->Destroy(true, false);
        if (manager.GetObjectCount() >= count) {
            break;  // an object that will not go would be met again and again
        }
    }
}

// Reads the file with the reader makeReader(manager) gives into the scene,
// setOptions(options) changing the reader's options first; then the scene
// lets go of what the read gave it, and all else the read left with the
// manager is destroyed.
template <class MakeReader, class SetOptions>
void ReadAndForget(const std::string& path, MakeReader makeReader, SetOptions setOptions) {
    KFbxSdkManager& manager = Manager();
    KFbxScene& scene = Scene();
    const int objects = manager.GetObjectCount();
    {
        auto reader = makeReader(manager);
        if (reader.FileOpen(path.c_str())) {
            KFbxStreamOptions* options = reader.GetReadOptions();
            if (options != nullptr) setOptions(*options);
            reader.Read(&scene, options);
            if (options != nullptr) options->Destroy();
            reader.FileClose();
        }
    }
    scene.Clear();
    DestroyObjectsFrom(manager, objects);
}

// Imports data after its first byte as a file named with the extension;
// makeOptions gives the reader's options for the first byte.
template <class MakeOptions>
int ImportInput(const std::uint8_t* data, std::size_t size, void (*registerFormats)(), const char* extension,
                MakeOptions makeOptions) {
    if (size < 1 || size > kMaxInput) return 0;
    const std::string path = TemporaryPath("reader", extension);
    if (!WriteFile(path, AfterFirstByte(data, size))) return 0;
    KFbxSdkManager& manager = Manager(registerFormats);
    KFbxScene& scene = Scene();
    KFbxImporter* importer = KFbxImporter::Create(&manager, "");
    KFbxStreamOptions* options = makeOptions(manager, data[0]);
    if (importer != nullptr && options != nullptr && importer->Initialize(path.c_str())) {
        importer->Import(&scene, options);
    }
    Empty(scene);
    if (options != nullptr) options->Destroy();
    if (importer != nullptr) importer->Destroy();
    std::remove(path.c_str());
    return 0;
}

}  // namespace fuzzsupport

#endif
