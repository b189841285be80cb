// An image held in memory while it travels between a media file and the
// readers and writers: its size, its pixel layout, its pixels (rows top to
// bottom, samples interleaved) and the file it came from or goes to. The
// record owns its pixels and frees them with itself.
#ifndef FBXFILESDK_SCENE_KFBXIMAGEBUFFER_H
#define FBXFILESDK_SCENE_KFBXIMAGEBUFFER_H

#include <fbxfilesdk/core/KString.h>

#include <cstddef>

namespace fbxsdk_2006_11_1 {

class KFbxImageBuffer {
public:
    // The pixel layouts.
    enum EFormat { eRGB = 0, eYCBCR = 1 };
    // The most pixel bytes one record holds: consumers size, store and embed
    // images with signed 32-bit counts.
    static constexpr std::size_t kMaxDataSize = 0x7fffffff;

    // Empty: no size, RGB, 3 bytes per pixel, no pixels, original format,
    // no file name, not valid.
    KFbxImageBuffer();
    ~KFbxImageBuffer();
    KFbxImageBuffer(const KFbxImageBuffer&) = delete;
    KFbxImageBuffer& operator=(const KFbxImageBuffer&) = delete;

    // Stores the layout and drops the pixels held so far. Without allocate
    // the record is valid whatever the layout. With it, the layout must be
    // at least one pixel, a known format and 1 to 127 bytes per pixel whose
    // pixel bytes are at most kMaxDataSize; then the pixels are allocated
    // (contents undefined). The record is valid when that succeeded.
    void Init(int width, int height, bool allocate, int format, int bytesPerPixel);

    void SetOriginalFormat(bool originalFormat);
    // The same flag under the name the writers use.
    void SetOwnsBuffer(bool ownsBuffer);
    bool GetOriginalFormat() const { return mOriginalFormat; }

    void SetFileName(const KString& fileName);
    KString GetFileName() const;

    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    int GetFormat() const { return mFormat; }
    int GetBytesPerPixel() const { return mBytesPerPixel; }
    // Null when the record holds no pixels.
    unsigned char* GetData() { return mData; }
    const unsigned char* GetData() const { return mData; }
    bool IsValid() const { return mValid; }
    // Whether the last Init asked for pixels.
    bool IsDataAllocated() const { return mDataAllocated; }

private:
    int mWidth = 0;
    int mHeight = 0;
    int mFormat = eRGB;
    int mBytesPerPixel = 3;
    unsigned char* mData = nullptr;
    bool mOriginalFormat = true;
    KString mFileName;
    bool mValid = false;
    bool mDataAllocated = false;
};

// The pixel bytes of a layout, 0 when a dimension is not positive or the
// total exceeds KFbxImageBuffer::kMaxDataSize. Computed without overflow.
std::size_t KFbxImageDataSize(long long width, long long height, long long bytesPerPixel);

}  // namespace fbxsdk_2006_11_1

#endif
