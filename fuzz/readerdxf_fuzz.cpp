// libFuzzer target for the DXF reader: the input after its first byte
// becomes a .dxf file that is imported into a scene; the first byte picks
// the way nodes are made (its value modulo 3), welding (bit 0x04) and the
// reference node (bit 0x08).
#include "FormatReaderFuzz.h"

#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/formats/KFbxFormatsDxf.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fbxsdk_2006_11_1;
    return fuzzsupport::ImportInput(data, size, &KFbxRegisterDxfFormats, ".dxf",
                                    [](KFbxSdkManager& manager, std::uint8_t bits) -> KFbxStreamOptions* {
                                        auto* options = KFbxStreamOptionsDxfReader::Create(&manager, "");
                                        if (options != nullptr) {
                                            options->SetOption("OBJECT DERIVATION", bits % 3);
                                            options->SetOption("WELD VERTICES", (bits & 0x04) != 0);
                                            options->SetOption("REFERENCENODE", (bits & 0x08) != 0);
                                        }
                                        return options;
                                    });
}
