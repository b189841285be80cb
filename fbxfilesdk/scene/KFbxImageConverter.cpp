#include <fbxfilesdk/scene/KFbxImageConverter.h>

#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KFile.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/scene/KFbxImageBuffer.h>

#include <tiffio.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// What libtiff reported about one file. The SDK never prints, so libtiff's
// errors are kept here, in the order they came, instead of reaching its
// process-wide handlers.
struct TiffReport {
    KString errors;
};

int KeepTiffError(TIFF*, void* userData, const char* module, const char* format, va_list args) {
    auto* report = static_cast<TiffReport*>(userData);
    // A file that fails on every row must not grow the text without bound.
    constexpr int kMaxReportLength = 2048;
    if (report->errors.GetLen() < kMaxReportLength) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        std::size_t length = std::strlen(text);
        while (length > 0 && text[length - 1] == '\n') text[--length] = '\0';
        if (!report->errors.IsEmpty()) report->errors += "; ";
        if (module != nullptr && module[0] != '\0') {
            report->errors += module;
            report->errors += ": ";
        }
        report->errors += text;
    }
    return 1;  // handled: the process-wide handlers are not called
}

int DropTiffWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// An open TIFF file whose messages go to a report; closed with the object.
class TiffFile {
public:
    TiffFile(const KString& fileName, const char* mode, TiffReport& report) {
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        if (options == nullptr) return;
        TIFFOpenOptionsSetErrorHandlerExtR(options, &KeepTiffError, &report);
        TIFFOpenOptionsSetWarningHandlerExtR(options, &DropTiffWarning, nullptr);
        // A hostile header must not make libtiff itself take more than an
        // image may hold.
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(KFbxImageBuffer::kMaxDataSize));
        mTiff = TIFFOpenExt(fileName.Buffer(), mode, options);
        TIFFOpenOptionsFree(options);
    }
    ~TiffFile() {
        if (mTiff != nullptr) TIFFClose(mTiff);
    }
    TiffFile(const TiffFile&) = delete;
    TiffFile& operator=(const TiffFile&) = delete;

    TIFF* Get() const { return mTiff; }

private:
    TIFF* mTiff = nullptr;
};

// A scratch block from the SDK heap, freed with the object.
class Scratch {
public:
    explicit Scratch(std::size_t size) : mData(static_cast<unsigned char*>(SdkMalloc(size))) {}
    ~Scratch() { SdkFree(mData); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    unsigned char* Get() const { return mData; }

private:
    unsigned char* mData;
};

void AppendNumber(KString& text, std::uint64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits - 1, value);
    *result.ptr = '\0';
    text += digits;
}

bool Refuse(KString* errorText, const char* reason) {
    if (errorText != nullptr) *errorText = reason;
    return false;
}

// libtiff's own explanation when it gave one.
bool Refuse(KString* errorText, const TiffReport& report, const char* reason) {
    return Refuse(errorText, report.errors.IsEmpty() ? reason : report.errors.Buffer());
}

// One row of YCbCr blocks (subsampling across, luma first, then both
// chroma) into three bytes per pixel, the chroma repeated for every pixel of
// its block.
void ExpandYCbCrRow(const unsigned char* source, unsigned char* target, std::uint32_t width, std::uint32_t across) {
    for (std::uint32_t x = 0; x < width; x += across) {
        const unsigned char* block = source + static_cast<std::size_t>(x / across) * (across + 2);
        for (std::uint32_t k = 0; k < across && x + k < width; ++k) {
            unsigned char* pixel = target + static_cast<std::size_t>(x + k) * 3;
            pixel[0] = block[k];
            pixel[1] = block[across];
            pixel[2] = block[across + 1];
        }
    }
}

// The read itself; the file is closed when it returns.
bool ReadTiffFile(const KString& fileName, KFbxImageBuffer* image, KString* errorText) {
    TiffReport report;
    TiffFile file(fileName, "r", report);
    TIFF* tiff = file.Get();
    if (tiff == nullptr) return Refuse(errorText, report, "cannot open the file");

    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t photometric = 0;
    std::uint16_t samples = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t planar = 0;
    std::uint32_t rowsPerStrip = 0;
    std::uint16_t across = 1;
    std::uint16_t down = 1;
    if (TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) != 1 || TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height) != 1 ||
        TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) != 1) {
        return Refuse(errorText, "the size or the photometric interpretation is missing");
    }
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    // Absent means full resolution here, whatever libtiff's own default.
    if (TIFFGetField(tiff, TIFFTAG_YCBCRSUBSAMPLING, &across, &down) != 1) {
        across = 1;
        down = 1;
    }

    if (across < 1 || across > 2 || down != 1) return Refuse(errorText, "unsupported YCbCr subsampling");
    if (photometric != PHOTOMETRIC_RGB && photometric != PHOTOMETRIC_YCBCR) {
        return Refuse(errorText, "neither RGB nor YCbCr");
    }
    const bool ycbcr = photometric == PHOTOMETRIC_YCBCR;
    if (!ycbcr) across = 1;
    if (bitsPerSample != 8) return Refuse(errorText, "samples are not 8 bits");
    if (planar != PLANARCONFIG_CONTIG || TIFFIsTiled(tiff)) return Refuse(errorText, "not contiguous strips");
    if (ycbcr ? samples != 3 : (samples < 3 || samples > 127)) {
        return Refuse(errorText, "unsupported samples per pixel");
    }
    if (rowsPerStrip == 0) return Refuse(errorText, "rows per strip is 0");
    if (width > 0x7fffffffu || height > 0x7fffffffu || KFbxImageDataSize(width, height, samples) == 0) {
        return Refuse(errorText, "image size out of range");
    }
    // Strips may all point at one small compressed block: the file's size
    // says nothing of what decoding would take.
    const std::uint64_t decoded = std::uint64_t{width} * height * samples;
    const std::uint64_t limit = KFbxImageConverter::GetMaxDecodedSize();
    if (decoded > limit) {
        KString text("decoded image of ");
        AppendNumber(text, decoded);
        text += " bytes exceeds the limit of ";
        AppendNumber(text, limit);
        text += " bytes";
        return Refuse(errorText, text.Buffer());
    }

    // The rows as libtiff decodes them must be exactly what the layout needs.
    const std::uint64_t rowBytes = ycbcr ? (std::uint64_t{width} + across - 1) / across * (across + 2u)
                                         : std::uint64_t{width} * samples;
    const tmsize_t scanline = TIFFScanlineSize(tiff);
    if (scanline <= 0 || static_cast<std::uint64_t>(scanline) != rowBytes) {
        return Refuse(errorText, report, "scanline size does not match the image layout");
    }
    const std::uint32_t stripRows = std::min(rowsPerStrip, height);
    const std::uint64_t stripBytes = std::uint64_t{stripRows} * rowBytes;
    if (stripBytes > KFbxImageBuffer::kMaxDataSize) return Refuse(errorText, "strips too large");
    Scratch strip(static_cast<std::size_t>(stripBytes));
    if (strip.Get() == nullptr) return Refuse(errorText, "out of memory");

    image->Init(static_cast<int>(width), static_cast<int>(height), true,
                ycbcr ? KFbxImageBuffer::eYCBCR : KFbxImageBuffer::eRGB, samples);
    unsigned char* pixels = image->GetData();
    if (pixels == nullptr) return Refuse(errorText, "out of memory");
    const std::size_t pixelRowBytes = static_cast<std::size_t>(width) * samples;

    const std::uint32_t stripCount = TIFFNumberOfStrips(tiff);
    for (std::uint32_t row = 0; row < height;) {
        const std::uint32_t rows = std::min(stripRows, height - row);
        const std::uint32_t index = TIFFComputeStrip(tiff, row, 0);
        if (index >= stripCount) return Refuse(errorText, "strip out of range");
        const auto wanted = static_cast<tmsize_t>(std::uint64_t{rows} * rowBytes);
        if (TIFFReadEncodedStrip(tiff, index, strip.Get(), wanted) != wanted) {
            return Refuse(errorText, report, "cannot read a strip");
        }
        for (std::uint32_t r = 0; r < rows; ++r) {
            const unsigned char* source = strip.Get() + static_cast<std::size_t>(r) * rowBytes;
            unsigned char* target = pixels + static_cast<std::size_t>(row + r) * pixelRowBytes;
            if (ycbcr) {
                ExpandYCbCrRow(source, target, width, across);
            } else {
                std::memcpy(target, source, pixelRowBytes);
            }
        }
        row += rows;
    }
    return true;
}

std::atomic<std::uint64_t>& MaxDecodedSize() {
    static std::atomic<std::uint64_t> limit{KFbxImageConverter::kDefaultMaxDecodedSize};
    return limit;
}

}  // namespace


KFbxImageConverter* KFbxImageConverter::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxImageConverter*>(plug) : nullptr;
}

KFbxPlug* KFbxImageConverter::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* converter = new (std::nothrow) KFbxImageConverter(manager, name);
    if (converter != nullptr) {
        converter->CreateInternal();
    }
    return converter;
}

KFbxImageConverter::KFbxImageConverter(KFbxSdkManager* manager, const char* name)
    : KFbxObject(manager, name), mConversions(20) {}

KFbxImageConverter::~KFbxImageConverter() { mConversions.Clear(); }

KFbxClassId KFbxImageConverter::GetClassId() const { return ClassId; }

bool KFbxImageConverter::AddConversionFunction(const char* extension, KFbxImageConvertFn function) {
    return function != nullptr && mConversions.Add(extension, reinterpret_cast<void*>(function));
}

bool KFbxImageConverter::Convert(int mode, const KString& fileName, KFbxImageBuffer* image) {
    const KString extension = KFbxExtractExtension(fileName);
    void* value = mConversions.Find(extension.Buffer());
    if (value == nullptr) return false;
    const auto function = reinterpret_cast<KFbxImageConvertFn>(value);
    return function(mode, fileName, image) == 0;
}

bool KFbxImageConverter::ReadTiffImage(const KString& fileName, KFbxImageBuffer* image, bool removeFile,
                                       KString* errorText) {
    if (image == nullptr) return Refuse(errorText, "no image record");
    if (!ReadTiffFile(fileName, image, errorText)) return false;
    if (removeFile) KFile::RemoveFile(fileName);
    return true;
}

void KFbxImageConverter::SetMaxDecodedSize(std::uint64_t bytes) {
    const std::uint64_t ceiling = KFbxImageBuffer::kMaxDataSize;
    MaxDecodedSize().store(bytes == 0 ? kDefaultMaxDecodedSize : std::min(bytes, ceiling));
}

std::uint64_t KFbxImageConverter::GetMaxDecodedSize() { return MaxDecodedSize().load(); }

bool KFbxImageConverter::WriteTiffImage(const KString& fileName, bool compress, const KFbxImageBuffer* image,
                                        KString* errorText) {
    if (image == nullptr || image->GetData() == nullptr) return Refuse(errorText, "no pixels to write");
    const int width = image->GetWidth();
    const int height = image->GetHeight();
    const int samples = image->GetBytesPerPixel();
    const bool ycbcr = image->GetFormat() == KFbxImageBuffer::eYCBCR;
    // TIFF has no RGB of fewer than three samples, nor YCbCr of other than three.
    if (ycbcr ? samples != 3 : (samples < 3 || samples > 127)) return Refuse(errorText, "unsupported bytes per pixel");
    const std::size_t rowBytes = KFbxImageDataSize(width, 1, samples);
    if (rowBytes == 0 || KFbxImageDataSize(width, height, samples) == 0) {
        return Refuse(errorText, "image size out of range");
    }
    // libtiff may encode in place, so it gets a copy of each row.
    Scratch row(rowBytes);
    if (row.Get() == nullptr) return Refuse(errorText, "out of memory");

    TiffReport report;
    TiffFile file(fileName, "w", report);
    TIFF* tiff = file.Get();
    if (tiff == nullptr) return Refuse(errorText, report, "cannot create the file");

    const int compression = compress ? COMPRESSION_ADOBE_DEFLATE : COMPRESSION_NONE;
    bool tagsSet = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(width)) == 1 &&
                   TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(height)) == 1 &&
                   TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples) == 1 &&
                   TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8) == 1 &&
                   TIFFSetField(tiff, TIFFTAG_COMPRESSION, compression) == 1 &&
                   TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, ycbcr ? PHOTOMETRIC_YCBCR : PHOTOMETRIC_RGB) == 1 &&
                   TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) == 1 &&
                   TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, std::uint32_t{1}) == 1 &&
                   TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == 1 &&
                   TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 72.0) == 1 &&
                   TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 72.0) == 1 &&
                   TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, std::uint32_t{0}) == 1 &&
                   TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) == 1;
    // Without the tag, readers take YCbCr as subsampled 2 by 2.
    if (tagsSet && ycbcr) tagsSet = TIFFSetField(tiff, TIFFTAG_YCBCRSUBSAMPLING, 1, 1) == 1;
    if (tagsSet && samples == 4) {
        const std::uint16_t extra = EXTRASAMPLE_ASSOCALPHA;
        tagsSet = TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &extra) == 1;
    }
    if (!tagsSet) return Refuse(errorText, report, "cannot set the tags");

    const unsigned char* pixels = image->GetData();
    bool written = true;
    for (int y = 0; y < height; ++y) {
        std::memcpy(row.Get(), pixels + static_cast<std::size_t>(y) * rowBytes, rowBytes);
        if (TIFFWriteScanline(tiff, row.Get(), static_cast<std::uint32_t>(y), 0) != 1) {
            TIFFErrorExtR(tiff, "WriteFile", "failure in WriteScanline\n");
            written = false;
            break;
        }
    }
    // The directory goes out last; a failure there loses the image too.
    if (written && TIFFFlush(tiff) != 1) written = false;
    return written || Refuse(errorText, report, "cannot write the file");
}

}  // namespace fbxsdk_2006_11_1
