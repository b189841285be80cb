// Ascii export, import and export again: the two files must be the same.
#ifndef TESTS_FBX_STABLEROUNDTRIP_H
#define TESTS_FBX_STABLEROUNDTRIP_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1::stableroundtrip {

// The first written text and the text written after reading it back; an
// empty first text when a step failed.
using Texts = std::pair<std::string, std::string>;

inline bool ExportAs(KFbxSdkManager& manager, KFbxScene& scene, const std::filesystem::path& path, int format) {
    KFbxExporter* exporter = KFbxExporter::Create(&manager, "");
    const bool exported = exporter != nullptr && exporter->Initialize(path.string().c_str()) &&
                          (exporter->SetFileFormat(format), true) && exporter->Export(&scene);
    if (exporter != nullptr) {
        exporter->Destroy();
    }
    return exported;
}

inline bool ExportAscii(KFbxSdkManager& manager, KFbxScene& scene, const std::filesystem::path& path) {
    return ExportAs(manager, scene, path, KFbxFileFormatRegistry::eFBX_ASCII_WRITER);
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Texts WriteReadWrite(KFbxSdkManager& manager, KFbxScene& scene, const std::filesystem::path& folder) {
    const std::filesystem::path first = folder / "first.fbx";
    const std::filesystem::path second = folder / "second.fbx";
    if (!ExportAscii(manager, scene, first)) {
        return {};
    }
    KFbxScene* read = KFbxScene::Create(&manager, "read");
    KFbxImporter* importer = KFbxImporter::Create(&manager, "");
    const bool imported = importer->Initialize(first.string().c_str()) && importer->Import(read);
    importer->Destroy();
    if (!imported || !ExportAscii(manager, *read, second)) {
        return {};
    }
    return {ReadFile(first), ReadFile(second)};
}

// The files of the given number of writes in the format, each of the scene
// the previous one was read into, which is handed to the caller; fewer when
// a step failed.
inline std::vector<std::string> WriteReadTimes(KFbxSdkManager& manager, KFbxScene& scene,
                                               const std::filesystem::path& folder, int format, int writes,
                                               const std::function<void(KFbxScene&)>& read = {}) {
    std::vector<std::string> files;
    KFbxScene* current = &scene;
    const std::filesystem::path path = folder / "trip.fbx";
    for (int i = 0; i < writes && ExportAs(manager, *current, path, format); ++i) {
        files.push_back(ReadFile(path));
        current = KFbxScene::Create(&manager, "read");
        KFbxImporter* importer = KFbxImporter::Create(&manager, "");
        const bool imported = importer->Initialize(path.string().c_str()) && importer->Import(current);
        importer->Destroy();
        if (!imported) break;
        if (read) read(*current);
    }
    return files;
}

// "" for equal texts, else the first line that differs in each.
inline std::string FirstDifference(const std::string& a, const std::string& b) {
    if (a == b) {
        return "";
    }
    std::istringstream left(a);
    std::istringstream right(b);
    std::string leftLine;
    std::string rightLine;
    for (int line = 1;; ++line) {
        const bool moreLeft = static_cast<bool>(std::getline(left, leftLine));
        const bool moreRight = static_cast<bool>(std::getline(right, rightLine));
        if (!moreLeft && !moreRight) {
            return "the texts differ past their last line";
        }
        if (!moreLeft || !moreRight || leftLine != rightLine) {
            return "line " + std::to_string(line) + ":\n- " + (moreLeft ? leftLine : "(end)") + "\n+ " +
                   (moreRight ? rightLine : "(end)");
        }
    }
}

}  // namespace fbxsdk_2006_11_1::stableroundtrip

#endif
