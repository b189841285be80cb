// The 3DS reader's options for a fuzz input's first byte, shared by the
// targets that read 3DS input.
#ifndef FUZZ_READER3DSFUZZOPTIONS_H
#define FUZZ_READER3DSFUZZOPTIONS_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>

#include <cstdint>

namespace fuzzsupport {

// Each bit switches one option off (smoothing groups, animation, materials,
// textures, lights, cameras) or on (key reducer, reference node).
inline fbxsdk_2006_11_1::KFbxStreamOptions* Make3dsReaderOptions(fbxsdk_2006_11_1::KFbxSdkManager& manager,
                                                                 std::uint8_t bits) {
    auto* options = fbxsdk_2006_11_1::KFbxStreamOptions3dsReader::Create(&manager, "");
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
}

}  // namespace fuzzsupport

#endif
