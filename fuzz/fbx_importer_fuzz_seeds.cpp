// Writes FBX 5 seeds for the importer fuzzer into a folder: a small scene
// (a textured triangle skinned to a bone, one animated take, a character
// pose) as binary and ascii files, and as a binary file that embeds two
// media of one file name with different bytes, each behind the mode bytes 0
// and 1 of the fuzz target (1 makes a damaged binary file's trailer match
// again); and, behind mode byte 2 (the target's password), as an FBX 5
// binary and an enciphered FBX 6 file protected by that password.
//   fbx_importer_fuzz_seeds <folder>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "fbx/Fbx5SmallScene.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

using namespace fbxsdk_2006_11_1;

bool WriteSeeds(KFbxSdkManager& manager, KFbxScene& scene, const std::string& folder, const char* name, int format,
                bool embedded = false, const char* password = nullptr) {
    const std::string scratch = folder + "/" + name + ".fbx";
    KFbxExporter* exporter = KFbxExporter::Create(&manager, "");
    KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(&manager, "");
    options->SetOption("GLOBAL SETTINGS", false);
    options->SetOption("EMBEDDED", embedded);
    if (password != nullptr) {
        options->SetOption("PASSWORD ENABLE", true);
        options->SetOption("PASSWORD", password);
    }
    bool written = exporter != nullptr && exporter->Initialize(scratch.c_str());
    if (written) {
        exporter->SetFileFormat(format);
        written = exporter->Export(&scene, options);
    }
    options->Destroy();
    if (exporter != nullptr) {
        exporter->Destroy();
    }
    if (!written) {
        return false;
    }
    std::string bytes;
    {
        std::ifstream in(scratch, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::remove(scratch.c_str());
    for (const char modeByte : password != nullptr ? std::string(1, '\x02') : std::string("\x00\x01", 2)) {
        std::ofstream out(folder + "/" + name + "-" + std::to_string(static_cast<int>(modeByte)), std::ios::binary);
        out << modeByte << bytes;
    }
    return true;
}

// The scene's texture and a second one on its triangle, their files of one
// name in two folders with different bytes, embedded: the media folder's
// choice of names is where their extraction starts.
bool WriteEmbeddedSeeds(KFbxSdkManager& manager, KFbxScene& scene, const std::string& folder) {
    KFbxTexture* sand = scene.GetTexture(0);
    KFbxNode* tri = scene.FindNodeByName(KString("Tri"));
    if (sand == nullptr || tri == nullptr) {
        return false;
    }
    const std::string media[] = {folder + "/a/sand.tga", folder + "/b/sand.tga"};
    for (const std::string& path : media) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << "pixels of " << path;
    }
    sand->SetFileName(media[0].c_str());
    KFbxTexture* dune = KFbxTexture::Create(&manager, "Dune");
    dune->SetFileName(media[1].c_str());
    tri->ConnectSrc(dune);
    const bool written = WriteSeeds(manager, scene, folder, "fbx5-embedded", KFbxFileFormatRegistry::eFBX5_BINARY_WRITER,
                                    true);
    std::filesystem::remove_all(folder + "/a");
    std::filesystem::remove_all(folder + "/b");
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    if (manager == nullptr) {
        return 1;
    }
    KFbxScene* scene = fbx5small::SmallScene(*manager);
    const bool written =
        WriteSeeds(*manager, *scene, argv[1], "fbx5-binary", KFbxFileFormatRegistry::eFBX5_BINARY_WRITER) &&
        WriteSeeds(*manager, *scene, argv[1], "fbx5-ascii", KFbxFileFormatRegistry::eFBX5_ASCII_WRITER) &&
        WriteSeeds(*manager, *scene, argv[1], "fbx5-protected", KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, false,
                   "password") &&
        WriteSeeds(*manager, *scene, argv[1], "fbx6-protected", KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER, false,
                   "password") &&
        // Last: it adds a texture to the scene.
        WriteEmbeddedSeeds(*manager, *scene, argv[1]);
    scene->Destroy(true);
    if (!written) {
        std::fprintf(stderr, "%s: the seeds could not be written\n", argv[0]);
        return 1;
    }
    return 0;
}
