// The scene object that carries images between media files and image
// records: it reads and writes TIFF files, and it hands other files to the
// conversion function registered for their extension. None is registered by
// the SDK itself.
#ifndef FBXFILESDK_SCENE_KFBXIMAGECONVERTER_H
#define FBXFILESDK_SCENE_KFBXIMAGECONVERTER_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KSortedStringTable.h>
#include <fbxfilesdk/core/KString.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

class KFbxImageBuffer;
class KFbxSdkManager;

// Converts the file into (or from) the image; 0 for success. The readers pass
// mode 1, the writers mode 0.
using KFbxImageConvertFn = int (*)(int mode, const KString& fileName, KFbxImageBuffer* image);

class KFbxImageConverter : public KFbxObject {
public:
    // The class id of KFbxImageConverter; null until the class is registered.
    static KFbxClassId ClassId;

    // Through the manager's factory by the class id; null without one.
    static KFbxImageConverter* Create(KFbxSdkManager* manager, const char* name);
    // The class's create function: the converter with its twin.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    // An empty conversion table.
    KFbxImageConverter(KFbxSdkManager* manager, const char* name);
    ~KFbxImageConverter() override;

    KFbxClassId GetClassId() const override;

    // Registers function for files whose extension (as KFbxExtractExtension
    // gives it, without the '.', case ignored) is extension. False for a null
    // function or when memory runs out.
    bool AddConversionFunction(const char* extension, KFbxImageConvertFn function);
    // Runs the function registered for the file's extension; true when there
    // is one and it returns 0.
    bool Convert(int mode, const KString& fileName, KFbxImageBuffer* image);

    // Reads an 8-bit, contiguous, strip-organised RGB or YCbCr (subsampling
    // 1 or 2 across, 1 down) TIFF file into image: Init with the file's size,
    // then the rows. YCbCr stays YCbCr, three bytes per pixel. With
    // removeFile the file is deleted after a successful read. False for a
    // file that cannot be opened, is of another kind or is inconsistent; the
    // image keeps what was read so far. errorText, when given, receives why.
    // An image whose decoded pixels would take more bytes than the limit
    // (GetMaxDecodedSize) is refused before anything is decoded.
    static bool ReadTiffImage(const KString& fileName, KFbxImageBuffer* image, bool removeFile,
                              KString* errorText = nullptr);
    // The most bytes of decoded pixels ReadTiffImage accepts, process-wide;
    // kDefaultMaxDecodedSize until a caller sets another (at most
    // KFbxImageBuffer::kMaxDataSize; 0 gives back the default).
    static constexpr std::uint64_t kDefaultMaxDecodedSize = std::uint64_t{1} << 28;
    static void SetMaxDecodedSize(std::uint64_t bytes);
    static std::uint64_t GetMaxDecodedSize();
    // Writes image as a TIFF file, one row per strip, deflated with compress.
    // Four bytes per pixel are written as RGB with associated alpha. False
    // for an image without pixels (no file is made) or when the file cannot
    // be written; errorText, when given, receives why.
    static bool WriteTiffImage(const KString& fileName, bool compress, const KFbxImageBuffer* image,
                               KString* errorText = nullptr);

private:
    // Extension to KFbxImageConvertFn; the table never owns its values.
    KSortedStringTable mConversions;
};

}  // namespace fbxsdk_2006_11_1

#endif
