// libFuzzer target for the 3DS reader: the input after its first byte
// becomes a .3ds file that is imported into a scene; the bits of the first
// byte switch the reader's options (smoothing groups, animation, key
// reducer, reference node, materials, textures, lights and cameras).
#include "FormatReaderFuzz.h"
#include "Reader3dsFuzzOptions.h"

#include <fbxfilesdk/formats/KFbxFormats3ds.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzsupport::ImportInput(data, size, &fbxsdk_2006_11_1::KFbxRegister3dsFormats, ".3ds",
                                    &fuzzsupport::Make3dsReaderOptions);
}
