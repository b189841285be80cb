// libFuzzer target for the OBJ reader: the input is an OBJ file and, after
// the first "\n\f\n" in it, the material library "fuzz.mtl" beside it; the
// OBJ part may name that library. The first input byte's low bit sets the
// reference node option.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/formats/KFbxReaderObj.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include <sys/stat.h>
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

std::string Folder() { return "/tmp/qalimor-obj-fuzz-" + std::to_string(getpid()); }

bool WriteFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
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
    if (size < 1 || size > (1u << 20)) return 0;
    const bool referenceNode = (data[0] & 1) != 0;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t split = input.find("\n\f\n");
    const std::string_view obj = input.substr(0, split);
    const std::string_view mtl = split == std::string_view::npos ? std::string_view() : input.substr(split + 3);
    static const std::string folder = [] {
        const std::string made = Folder();
        mkdir(made.c_str(), 0700);
        return made;
    }();
    const std::string objPath = folder + "/in.obj";
    const std::string mtlPath = folder + "/fuzz.mtl";
    if (!WriteFile(objPath, obj) || !WriteFile(mtlPath, mtl)) return 0;

    KFbxSdkManager& manager = Manager();
    KFbxScene& scene = Scene();
    const int objects = manager.GetObjectCount();
    {
        KFbxReaderObj reader(manager, nullptr);
        if (reader.FileOpen(objPath.c_str())) {
            KFbxStreamOptions* options = reader.GetReadOptions();
            if (options != nullptr) options->SetOption("REFERENCENODE", referenceNode);
            reader.Read(&scene, options);
            if (options != nullptr) options->Destroy();
            reader.FileClose();
        }
    }
    scene.Clear();
    DestroyObjectsFrom(manager, objects);
    return 0;
}
