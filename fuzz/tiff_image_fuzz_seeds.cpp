// Writes the TIFF reader fuzzer's seeds into a folder: small RGB, RGBA and
// YCbCr images, plain and deflated, as the image converter writes them.
//   tiff_image_fuzz_seeds <folder>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/scene/KFbxImageBuffer.h>
#include <fbxfilesdk/scene/KFbxImageConverter.h>

#include <cstdio>
#include <string>

namespace {

using namespace fbxsdk_2006_11_1;

bool WriteSeed(const std::string& path, int width, int height, int format, int bytesPerPixel, bool compress) {
    KFbxImageBuffer image;
    image.Init(width, height, true, format, bytesPerPixel);
    unsigned char* pixels = image.GetData();
    if (pixels == nullptr) return false;
    const int bytes = width * height * bytesPerPixel;
    for (int i = 0; i < bytes; ++i) pixels[i] = static_cast<unsigned char>(i * 37 + 11);
    return KFbxImageConverter::WriteTiffImage(path.c_str(), compress, &image);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tiff_image_fuzz_seeds <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool written = WriteSeed(folder + "/rgb.tif", 4, 3, KFbxImageBuffer::eRGB, 3, false) &&
                         WriteSeed(folder + "/rgb-deflate.tif", 5, 4, KFbxImageBuffer::eRGB, 3, true) &&
                         WriteSeed(folder + "/rgba-deflate.tif", 3, 3, KFbxImageBuffer::eRGB, 4, true) &&
                         WriteSeed(folder + "/ycbcr.tif", 4, 2, KFbxImageBuffer::eYCBCR, 3, false);
    return written ? 0 : 1;
}
