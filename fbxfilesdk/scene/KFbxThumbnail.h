// A small square preview image of a document: 64 or 128 pixels a side, RGB
// or RGBA. The pixel buffer is sized by SetSize from the format then in
// force, so the format is set first.
#ifndef FBXFILESDK_SCENE_KFBXTHUMBNAIL_H
#define FBXFILESDK_SCENE_KFBXTHUMBNAIL_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>

#include <cstdint>
#include <memory>

namespace fbxsdk_2006_11_1 {

class KFbxThumbnail : public KFbxObject {
public:
    enum EDataFormat { eRGB_24 = 0, eRGBA_32 = 1 };
    enum EImageSize { eNOT_SET = 0, e64x64 = 64, e128x128 = 128 };

    // The class id of KFbxThumbnail; null until the class is registered.
    static KFbxClassId ClassId;

    // RGB, no image.
    KFbxThumbnail(KFbxSdkManager* manager, const char* name);
    ~KFbxThumbnail() override;

    static KFbxThumbnail* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;

    // Any format but RGB counts as RGBA.
    void SetDataFormat(int format) { mDataFormat = format; }
    int GetDataFormat() const { return mDataFormat; }
    // Frees the pixels, then allocates a buffer (contents undefined) for a
    // side of 64 or 128; any other size leaves none.
    void SetSize(int size);
    int GetSize() const { return mSize; }
    // 0 for a size without image.
    std::uint32_t GetSizeInBytes() const;
    // Null when there is no image.
    std::uint8_t* GetThumbnailImage() const { return mImage.get(); }

private:
    int mDataFormat = eRGB_24;
    int mSize = eNOT_SET;
    std::unique_ptr<std::uint8_t[]> mImage;
};

}  // namespace fbxsdk_2006_11_1

#endif
