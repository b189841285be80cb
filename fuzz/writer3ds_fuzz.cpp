// libFuzzer target for the 3DS writer: the input after its first byte is
// read as a .3ds file (the first byte's bits switch the reader's options as
// for the reader's target), the scene read is written by the 3DS writer, and
// the written file is read back; the writer meets every odd scene the
// reader makes.
#include "FormatReaderFuzz.h"
#include "Reader3dsFuzzOptions.h"

#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/formats/KFbxFormats3ds.h>

namespace {

using namespace fbxsdk_2006_11_1;

// The writer samples every frame: a long take (a key far out in a small
// input) is written still, so that the file written stays as small as the
// input it came from.
constexpr std::int64_t kMaxWrittenFrames = 300;

std::string TemporaryPath(const char* name) {
    return "/tmp/qalimor-writer3ds-fuzz-" + std::to_string(getpid()) + name + ".3ds";
}

bool Import(KFbxSdkManager& manager, KFbxScene& scene, const std::string& path, std::uint8_t bits) {
    KFbxImporter* importer = KFbxImporter::Create(&manager, "");
    KFbxStreamOptions* options = fuzzsupport::Make3dsReaderOptions(manager, bits);
    bool imported = false;
    if (importer != nullptr && options != nullptr && importer->Initialize(path.c_str())) {
        imported = importer->Import(&scene, options);
    }
    if (options != nullptr) options->Destroy();
    if (importer != nullptr) importer->Destroy();
    return imported;
}

bool ShortTake(KFbxScene& scene) {
    KTime start;
    KTime stop;
    return !scene.GetRootNode()->GetAnimationInterval(start, stop) ||
           stop.GetFrame(true, KTime::eFrames30) <= kMaxWrittenFrames;
}

// Texture files are not copied: their names come from the input.
void Export(KFbxSdkManager& manager, KFbxScene& scene, const std::string& path) {
    KFbxExporter* exporter = KFbxExporter::Create(&manager, "");
    KFbxStreamOptions3dsWriter* options = KFbxStreamOptions3dsWriter::Create(&manager, "");
    if (exporter != nullptr && options != nullptr) {
        options->Reset();
        options->SetOption("TEXTURE", false);
        options->SetOption("ANIMATION", ShortTake(scene));
        exporter->SetFileFormat(KFbxFileFormatRegistry::e3DS_WRITER);
        if (exporter->Initialize(path.c_str())) {
            exporter->Export(&scene, options);
        }
    }
    if (options != nullptr) options->Destroy();
    if (exporter != nullptr) exporter->Destroy();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    const std::string input = TemporaryPath("");
    if (std::FILE* file = std::fopen(input.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, file);
        std::fclose(file);
    } else {
        return 0;
    }
    KFbxSdkManager& manager = fuzzsupport::Manager(&KFbxRegister3dsFormats);
    static KFbxScene* scene = KFbxScene::Create(&manager, "");
    if (Import(manager, *scene, input, data[0])) {
        const std::string written = TemporaryPath("-written");
        Export(manager, *scene, written);
        fuzzsupport::Empty(*scene);
        Import(manager, *scene, written, data[0]);
        std::remove(written.c_str());
    }
    fuzzsupport::Empty(*scene);
    std::remove(input.c_str());
    return 0;
}
