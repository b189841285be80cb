// libFuzzer target for the COLLADA writer: the input is read as a COLLADA
// document into a scene (any scene the reader can make, however odd), the
// scene is written, and a document the writer reports as written must read
// back. One manager and one scene serve every input; after each round the
// scene is cleared and what the round left with the manager is destroyed.
#include <fbxfilesdk/collada/KFbxReaderCollada.h>
#include <fbxfilesdk/collada/KFbxWriterCollada.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

using namespace fbxsdk_2006_11_1;

KFbxSdkManager& Manager() {
    static KFbxSdkManager* const manager = CreateSdkManager();
    return *manager;
}

KFbxScene& Scene() {
    static KFbxScene* const scene = KFbxScene::Create(&Manager(), "");
    return *scene;
}

std::string TemporaryPath(const char* kind) {
    return "/tmp/qalimor-collada-writer-fuzz-" + std::to_string(getpid()) + kind + ".dae";
}

bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// A node with its properties costs tens of kilobytes: the input is held to
// the nodes that fit the run's memory limit. What the writer makes of them
// (a pivot node beside a node, say) is read back under the reader's own
// limit, so a written document is never refused for its size alone.
constexpr int kInputNodeLimit = 1000;

bool Read(const std::string& path, KFbxScene& scene, int nodeLimit) {
    KFbxReaderCollada reader(Manager());
    if (!reader.FileOpen(path.c_str())) {
        return false;
    }
    KFbxStreamOptions* options = reader.GetReadOptions();
    if (options != nullptr && nodeLimit > 0) options->SetOption("NODE LIMIT", nodeLimit);
    const bool read = reader.Read(&scene, options);
    if (options != nullptr) options->Destroy();
    reader.FileClose();
    return read;
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
    if (size < 1 || size > (1u << 20)) return 0;
    const std::string input = TemporaryPath("-in");
    const std::string output = TemporaryPath("-out");
    // The first byte picks the writer's options.
    if (!WriteFile(input, data + 1, size - 1)) return 0;
    KFbxSdkManager& manager = Manager();
    KFbxScene& scene = Scene();
    const int objects = manager.GetObjectCount();
    if (Read(input, scene, kInputNodeLimit)) {
        bool written = false;
        {
            KFbxWriterCollada writer(manager);
            if (writer.FileCreate(output.c_str())) {
                KFbxStreamOptions* options = writer.GetWriteOptions();
                options->SetOption("TRIANGULATE", (data[0] & 1) != 0);
                options->SetOption("SINGLE MATRIX", (data[0] & 2) != 0);
                written = writer.Write(&scene, options);
                options->Destroy();
                writer.FileClose();
            }
        }
        if (written) {
            KFbxScene* again = KFbxScene::Create(&manager, "");
            if (!Read(output, *again, 0)) {
                std::abort();  // the writer reported a document its own reader refuses
            }
            again->Clear();
        }
    }
    scene.Clear();
    DestroyObjectsFrom(manager, objects);
    std::remove(input.c_str());
    std::remove(output.c_str());
    return 0;
}
