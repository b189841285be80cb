#include <tools/ModelFiles.h>

#include <tools/ModelScenes.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>

using namespace fbxsdk_2006_11_1;

namespace fs = std::filesystem;

const std::vector<ModelFile>& modelFiles() {
    static const std::vector<ModelFile> files = {
        {ModelKind::cactusHigh, "plants/cactus/kaktusHigh.fbx", "cactus_texture.tga", true},
        {ModelKind::cactusMid, "plants/cactus/kaktusMid.fbx", "cactus_texture.tga", true},
        {ModelKind::cactusLow, "plants/cactus/kaktusLow.fbx", "cactus_texture.tga", false},
        {ModelKind::bird, "bird.fbx", "birdUVTex.tga", false},
        {ModelKind::aggroBird, "aggroBird.fbx", "birdAggroTex.tga", true},
        {ModelKind::teapot, "teapot.fbx", "teapot.tga", false},
        {ModelKind::palmCrown0, "palmeKroneLOD0.fbx", "palmeKroneTexture.tga", true},
        {ModelKind::palmCrown1, "palmeKroneLOD1.fbx", "palmeKroneTexture.tga", true},
        {ModelKind::palmCrown2, "palmeKroneLOD2.fbx", "palmeKroneTexture.tga", false},
        {ModelKind::palmTrunk, "palmeStammLOD012.fbx", "palmeStammTexture.tga", true},
        {ModelKind::demon, "demonTextured.fbx", "demonTexture.tga", true},
        {ModelKind::demonLow, "demonTexturedLOD1.fbx", "demonTexture.tga", false},
        {ModelKind::sandstone, "sandstone.fbx", "sandstone.tga", true},
        {ModelKind::wizard, "wizard.fbx", "wizardTexture.tga", true},
        {ModelKind::carpet, "carpet.fbx", "carpetTexture.tga", false},
        {ModelKind::wall, "wallNormal.fbx", "sandstein.tga", true},
    };
    return files;
}

bool writeModelFile(const ModelFile& model, const fs::path& file) {
    // One file at a time: the SDK's process-wide tables are not meant for
    // several writers at once.
    static std::mutex sdk;
    const std::lock_guard<std::mutex> lock(sdk);
    const std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    if (!manager) {
        return false;
    }
    KFbxScene* scene = buildModelScene(manager.get(), designModel(model.kind), model.textureName);
    KFbxExporter* exporter = KFbxExporter::Create(manager.get(), "");
    if (scene == nullptr || exporter == nullptr || !exporter->Initialize(file.string().c_str())) {
        return false;
    }
    exporter->SetFileFormat(model.binary ? KFbxFileFormatRegistry::eFBX_BINARY_WRITER
                                         : KFbxFileFormatRegistry::eFBX_ASCII_WRITER);
    return exporter->Export(scene);
}

std::vector<std::uint8_t> modelFileBytes(const ModelFile& model) {
    static std::atomic<int> counter{0};
    const fs::path file = fs::temp_directory_path() / ("qalimor-model-" + std::to_string(getpid()) + "-" +
                                                       std::to_string(counter++) + ".fbx");
    std::vector<std::uint8_t> bytes;
    if (writeModelFile(model, file)) {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::error_code ignored;
    fs::remove(file, ignored);
    return bytes;
}
