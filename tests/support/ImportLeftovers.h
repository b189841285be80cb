// What imports leave with the manager: a file read twice, each time into a
// scene destroyed afterwards, must leave no object behind, whether the read
// succeeds or fails; else a program that reads many files grows without
// limit.
#ifndef TESTS_SUPPORT_IMPORTLEFTOVERS_H
#define TESTS_SUPPORT_IMPORTLEFTOVERS_H

#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1::importleftovers {

inline std::set<const KFbxObject*> LiveObjects(const KFbxSdkManager& manager) {
    std::set<const KFbxObject*> objects;
    for (int index = 0; index < manager.GetObjectCount(); ++index) {
        objects.insert(manager.GetObject(KFbxClassId(), index));
    }
    return objects;
}

// The objects made since the set was taken, counted by class ("" when none).
inline std::string NewObjects(const KFbxSdkManager& manager, const std::set<const KFbxObject*>& before) {
    std::map<std::string, int> counts;
    for (int index = 0; index < manager.GetObjectCount(); ++index) {
        const KFbxObject* object = manager.GetObject(KFbxClassId(), index);
        if (before.count(object) == 0) {
            ++counts[object->GetClassId().GetName()];
        }
    }
    std::string text;
    for (const auto& [name, count] : counts) {
        text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + name;
    }
    return text;
}

// Imports the file twice with the importer, each time into a new scene that
// is destroyed afterwards; returns what the manager holds beyond what it
// held before ("" when nothing).
template <class Import>
std::string LeftByTwoImports(KFbxSdkManager& manager, Import import) {
    const std::set<const KFbxObject*> before = LiveObjects(manager);
    for (int pass = 0; pass < 2; ++pass) {
        KFbxScene* scene = KFbxScene::Create(&manager, "");
        import(*scene);
        scene->Destroy(true);
    }
    return NewObjects(manager, before);
}

inline std::string LeftByTwoImports(KFbxSdkManager& manager, const std::string& path) {
    return LeftByTwoImports(manager, [&](KFbxScene& scene) {
        KFbxImporter* importer = KFbxImporter::Create(&manager, "");
        if (importer != nullptr) {
            if (importer->Initialize(path.c_str())) {
                importer->Import(&scene);
            }
            importer->Destroy();
        }
    });
}

// Every file of the folder, whole and cut in half, each with a name that
// says which: a read that succeeds and one that fails part-way.
inline std::vector<std::pair<std::string, std::string>> FilesWholeAndCut(const std::filesystem::path& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string name = entry.path().filename().string();
        files.emplace_back(name, bytes);
        files.emplace_back(name + " cut in half", bytes.substr(0, bytes.size() / 2));
    }
    return files;
}

}  // namespace fbxsdk_2006_11_1::importleftovers

#endif
