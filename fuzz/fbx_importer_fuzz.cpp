// libFuzzer target for the importer: the input becomes a file that is opened
// and read into a scene. The first byte picks how: 0 as it is, 1 with a
// trailer that matches (so binary files get past their check), 2 as it is
// with the password option set.
#include <fbxfilesdk/core/KCrcFile.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

namespace {

using namespace fbxsdk_2006_11_1;

KFbxSdkManager& Manager() {
    static KFbxSdkManager* manager = CreateSdkManager();
    return *manager;
}

std::string TemporaryPath() { return "/tmp/qalimor-importer-fuzz-" + std::to_string(getpid()) + ".fbx"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    const int mode = data[0] % 3;
    ++data;
    --size;
    const std::string path = TemporaryPath();
    {
        KCrcFile out;
        if (!out.OpenWithModeString(path.c_str(), "w+b")) return 0;
        out.Write(data, static_cast<int>(size));
        if (mode == 1) {
            out.Close();
        } else {
            out.KChainedFile::Close();
        }
    }
    KFbxSdkManager& manager = Manager();
    KFbxImporter* importer = KFbxImporter::Create(&manager, "");
    KFbxScene* scene = KFbxScene::Create(&manager, "");
    KFbxStreamOptionsFbxReader* options = nullptr;
    if (mode == 2) {
        options = KFbxStreamOptionsFbxReader::Create(&manager, "");
        options->SetOption("PASSWORD", "password");
    }
    if (importer != nullptr && scene != nullptr && importer->Initialize(path.c_str())) {
        importer->Import(scene, options);
    }
    if (options != nullptr) options->Destroy();
    if (scene != nullptr) scene->Destroy(true);
    if (importer != nullptr) importer->Destroy();
    std::remove(path.c_str());
    // What the input's embedded media made beside it, so that runs do not
    // pile up files of mutated names.
    std::error_code error;
    std::filesystem::remove_all(path.substr(0, path.size() - 4) + ".fbm", error);
    return 0;
}
