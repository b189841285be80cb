#include <fbxfilesdk/scene/KFbxImageBuffer.h>

#include <fbxfilesdk/core/SdkAlloc.h>

namespace fbxsdk_2006_11_1 {

std::size_t KFbxImageDataSize(long long width, long long height, long long bytesPerPixel) {
    if (width < 1 || height < 1 || bytesPerPixel < 1) return 0;
    const auto limit = static_cast<unsigned long long>(KFbxImageBuffer::kMaxDataSize);
    // Each factor is checked against what is left of the limit, so no
    // product can wrap.
    const auto w = static_cast<unsigned long long>(width);
    const auto h = static_cast<unsigned long long>(height);
    const auto b = static_cast<unsigned long long>(bytesPerPixel);
    if (w > limit || h > limit / w) return 0;
    const unsigned long long pixels = w * h;
    if (b > limit / pixels) return 0;
    return static_cast<std::size_t>(pixels * b);
}

KFbxImageBuffer::KFbxImageBuffer() = default;

KFbxImageBuffer::~KFbxImageBuffer() { SdkFree(mData); }

void KFbxImageBuffer::Init(int width, int height, bool allocate, int format, int bytesPerPixel) {
    mWidth = width;
    mHeight = height;
    mFormat = format;
    mBytesPerPixel = bytesPerPixel;
    // A second Init must not leak the pixels of the first.
    SdkFree(mData);
    mData = nullptr;
    mDataAllocated = allocate;
    if (!allocate) {
        mValid = true;
        return;
    }
    const bool knownFormat = format == eRGB || format == eYCBCR;
    const std::size_t size = knownFormat && bytesPerPixel <= 127 ? KFbxImageDataSize(width, height, bytesPerPixel) : 0;
    if (size != 0) mData = static_cast<unsigned char*>(SdkMalloc(size));
    // A record that promises pixels it does not have is not valid.
    mValid = mData != nullptr;
}

void KFbxImageBuffer::SetOriginalFormat(bool originalFormat) { mOriginalFormat = originalFormat; }

void KFbxImageBuffer::SetOwnsBuffer(bool ownsBuffer) { SetOriginalFormat(ownsBuffer); }

void KFbxImageBuffer::SetFileName(const KString& fileName) { mFileName = fileName; }

KString KFbxImageBuffer::GetFileName() const { return mFileName; }

}  // namespace fbxsdk_2006_11_1
