// libFuzzer target for the TIFF image reader: the input becomes a file that
// is read into an image record. The decoded-size limit is lowered so that a
// run spends its time on the file's structure, not on decoding large images.
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/scene/KFbxImageBuffer.h>
#include <fbxfilesdk/scene/KFbxImageConverter.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace {

using namespace fbxsdk_2006_11_1;

std::string TemporaryPath() { return "/tmp/qalimor-tiff-fuzz-" + std::to_string(getpid()) + ".tif"; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string path = TemporaryPath();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return 0;
    const bool written = std::fwrite(data, 1, size, out) == size;
    std::fclose(out);
    if (!written) return 0;
    KFbxImageConverter::SetMaxDecodedSize(std::uint64_t{1} << 24);
    KFbxImageBuffer image;
    KString error;
    if (KFbxImageConverter::ReadTiffImage(path.c_str(), &image, false, &error) && image.GetData() != nullptr) {
        // Every pixel byte the record claims must be there.
        const std::size_t bytes = KFbxImageDataSize(image.GetWidth(), image.GetHeight(), image.GetBytesPerPixel());
        volatile unsigned char last = bytes > 0 ? image.GetData()[bytes - 1] : 0;
        (void)last;
    }
    std::remove(path.c_str());
    return 0;
}
