// libFuzzer target for the COLLADA reader: the input becomes a file that is
// read into a scene. One manager and one scene serve every input (making
// them is what costs most); after each read the scene is cleared and what
// the read left with the manager is destroyed, newest first, so that
// nothing reaches the next input.
#include <fbxfilesdk/collada/KFbxReaderCollada.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace {

using namespace fbxsdk_2006_11_1;

constexpr int kNodeLimit = 1000;

KFbxSdkManager& Manager() {
    static KFbxSdkManager* const manager = CreateSdkManager();
    return *manager;
}

KFbxScene& Scene() {
    static KFbxScene* const scene = KFbxScene::Create(&Manager(), "");
    return *scene;
}

std::string TemporaryPath() { return "/tmp/qalimor-collada-fuzz-" + std::to_string(getpid()) + ".dae"; }

bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

void DestroyObjectsFrom(KFbxSdkManager& manager, int first) {
    for (int count = manager.GetObjectCount(); count > first; count = manager.GetObjectCount()) {
        manager.GetObject(KFbxClassId(), count - 1)->Destroy(true, false);
        if (manager.GetObjectCount() >= count) {
            break;  // an object that will not go would be met again and again
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string path = TemporaryPath();
    if (!WriteFile(path, data, size)) return 0;
    KFbxSdkManager& manager = Manager();
    KFbxScene& scene = Scene();
    const int objects = manager.GetObjectCount();
    {
        KFbxReaderCollada reader(manager);
        if (reader.FileOpen(path.c_str())) {
            KFbxStreamOptions* options = reader.GetReadOptions();
            // A node with its properties costs tens of kilobytes: inputs are
            // held to the nodes that fit the run's memory limit, which is
            // how a caller would set the limit for its own memory.
            if (options != nullptr) options->SetOption("NODE LIMIT", kNodeLimit);
            reader.Read(&scene, options);
            if (options != nullptr) options->Destroy();
            reader.FileClose();
        }
    }
    // The scene lets go of what the read gave it before the rest goes.
    scene.Clear();
    DestroyObjectsFrom(manager, objects);
    std::remove(path.c_str());
    return 0;
}
