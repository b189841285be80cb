#include <fbxfilesdk/scene/KFbxThumbnail.h>

#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxThumbnail::KFbxThumbnail(KFbxSdkManager* manager, const char* name) : KFbxObject(manager, name) {}

KFbxThumbnail::~KFbxThumbnail() = default;

KFbxThumbnail* KFbxThumbnail::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxThumbnail>(manager, ClassId, name);
}

KFbxPlug* KFbxThumbnail::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxThumbnail>(manager, name);
}

KFbxClassId KFbxThumbnail::GetClassId() const { return ClassId; }

void KFbxThumbnail::SetSize(int size) {
    mImage.reset();
    mSize = size;
    const std::uint32_t bytes = GetSizeInBytes();
    if (bytes > 0) {
        mImage.reset(new (std::nothrow) std::uint8_t[bytes]);
    }
}

std::uint32_t KFbxThumbnail::GetSizeInBytes() const {
    if (mSize != e64x64 && mSize != e128x128) {
        return 0;
    }
    const std::uint32_t bytesPerPixel = mDataFormat == eRGB_24 ? 3 : 4;
    const auto side = static_cast<std::uint32_t>(mSize);
    return bytesPerPixel * side * side;
}

}  // namespace fbxsdk_2006_11_1
