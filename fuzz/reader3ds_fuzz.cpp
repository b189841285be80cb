// libFuzzer target for the 3DS reader: the input after its first byte
// becomes a .3ds file that is imported into a scene; the bits of the first
// byte switch the reader's options (smoothing groups, animation, key
// reducer, reference node, materials, textures, lights and cameras).
#include "FormatReaderFuzz.h"

#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/formats/KFbxFormats3ds.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fbxsdk_2006_11_1;
    return fuzzsupport::ImportInput(data, size, &KFbxRegister3dsFormats, ".3ds",
                                    [](KFbxSdkManager& manager, std::uint8_t bits) -> KFbxStreamOptions* {
                                        auto* options = KFbxStreamOptions3dsReader::Create(&manager, "");
                                        if (options != nullptr) {
                                            options->SetOption("SMOOTHGROUP", (bits & 0x01) == 0);
                                            options->SetOption("ANIMATION", (bits & 0x02) == 0);
                                            options->SetOption("FILTER", (bits & 0x04) != 0);
                                            options->SetOption("REFERENCENODE", (bits & 0x08) != 0);
                                            options->SetOption("MATERIAL", (bits & 0x10) == 0);
                                            options->SetOption("TEXTURE", (bits & 0x20) == 0);
                                            options->SetOption("LIGHT", (bits & 0x40) == 0);
                                            options->SetOption("CAMERA", (bits & 0x80) == 0);
                                        }
                                        return options;
                                    });
}
