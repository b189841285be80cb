// Imports and exports of every format, run in several threads at once, each
// thread with a manager of its own, write the same bytes as when run alone,
// and the managers may then be deleted all at once. Also built and run under
// ThreadSanitizer.
#include <fbxfilesdk/fbxfilesdk.h>

#include "fbx/RichScene.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <latch>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// Each writer's file, by name.
const std::pair<int, const char*> kWrites[] = {{KFbxFileFormatRegistry::eFBX_BINARY_WRITER, "binary.fbx"},
                                               {KFbxFileFormatRegistry::eFBX_ASCII_WRITER, "ascii.fbx"},
                                               {KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, "fbx5.fbx"},
                                               {KFbxFileFormatRegistry::e3DS_WRITER, "scene.3ds"},
                                               {KFbxFileFormatRegistry::eDXF_WRITER, "scene.dxf"},
                                               {KFbxFileFormatRegistry::eOBJ_WRITER, "scene.obj"},
                                               {KFbxFileFormatRegistry::eCOLLADA_WRITER, "scene.dae"}};

bool Export(KFbxSdkManager& manager, KFbxScene* scene, int writer, const std::string& path, std::string& failures) {
    KFbxExporter* exporter = KFbxExporter::Create(&manager, "");
    exporter->SetFileFormat(writer);
    const bool exported = exporter->Initialize(path.c_str()) && exporter->Export(scene);
    if (!exported) failures += path + ": " + exporter->GetLastErrorString() + "\n";
    exporter->Destroy();
    return exported;
}

// Builds the rich scene, with the textures and the video of the media folder
// instead of the image the build writes into the folder, exports it in every
// format into the folder, imports each file and exports what was read as FBX 6
// text beside it; what went wrong, as text.
std::string ExportAndImportAll(KFbxSdkManager& manager, const std::string& folder, const std::string& media) {
    KFbxScene* scene = richscene::Build(&manager, folder);
    for (int i = 0; i < manager.GetObjectCount(KFbxTexture::ClassId); ++i) {
        auto* texture = static_cast<KFbxTexture*>(manager.GetObject(KFbxTexture::ClassId, i));
        texture->SetFileName((media + std::string(texture->GetFileName()).substr(folder.size())).c_str());
    }
    auto* video = static_cast<KFbxVideo*>(manager.GetObject(KFbxVideo::ClassId, 0));
    video->SetFileName((media + std::string(video->GetFileName()).substr(folder.size())).c_str());
    std::string failures;
    for (const auto& [writer, name] : kWrites) {
        const std::string path = folder + "/" + name;
        if (!Export(manager, scene, writer, path, failures)) continue;
        KFbxScene* read = KFbxScene::Create(&manager, "");
        KFbxImporter* importer = KFbxImporter::Create(&manager, "");
        if (!importer->Initialize(path.c_str()) || !importer->Import(read)) {
            failures += path + " read: " + importer->GetLastErrorString() + "\n";
        }
        Export(manager, read, KFbxFileFormatRegistry::eFBX_ASCII_WRITER, path + "-read.fbx", failures);
        importer->Destroy();
        read->Destroy(true, true);
    }
    scene->Destroy(true, true);
    return failures;
}

// The files of a folder by name, with the folder's path, which files read
// back hold, and the COLLADA documents' dates of writing put aside.
std::map<std::string, std::string> Contents(const std::string& path) {
    static const std::regex dates("<(created|modified)>[^<]*</");
    std::map<std::string, std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        for (std::size_t at = bytes.find(path); at != std::string::npos; at = bytes.find(path, at)) {
            bytes.replace(at, path.size(), "<folder>");
        }
        contents[entry.path().filename().string()] = std::regex_replace(bytes, dates, "<$1></");
    }
    return contents;
}

TEST(ThreadedImportExport, ManagersOfTheirOwnWriteWhatTheyWriteAloneAndGoAtOnce) {
    constexpr int kThreads = 8;
    ScratchFolder scratch;
    // The threads come first, so that they are the first to use everything;
    // then the same is done alone, in a folder of its own.
    std::vector<std::string> folders;
    for (const std::string name : {"media", "alone", "0", "1", "2", "3", "4", "5", "6", "7"}) {
        folders.push_back(scratch / name);
        std::filesystem::create_directory(folders.back());
    }
    const std::string& media = folders[0];
    {
        std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
        richscene::Build(manager.get(), media);
    }
    std::vector<std::unique_ptr<KFbxSdkManager>> managers(kThreads);
    std::vector<std::string> failures(kThreads);
    std::latch started(kThreads);
    std::latch finished(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            started.arrive_and_wait();
            managers[t].reset(CreateSdkManager());
            failures[t] = ExportAndImportAll(*managers[t], folders[2 + t], media);
            finished.arrive_and_wait();
            managers[t].reset();
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(KFbxSdkManager::GetLiveCount(), 0);

    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    ASSERT_EQ(ExportAndImportAll(*manager, folders[1], media), "");
    const std::map<std::string, std::string> alone = Contents(folders[1]);
    ASSERT_GE(alone.size(), 2 * std::size(kWrites));
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(failures[t], "");
        const std::map<std::string, std::string> contents = Contents(folders[2 + t]);
        for (const auto& [name, bytes] : alone) {
            EXPECT_TRUE(contents.contains(name) && contents.at(name) == bytes) << name << " of thread " << t;
        }
    }
}

}  // namespace
