// The image converter: the conversion table, TIFF round trips of every layout
// it writes, the tags it writes, the strip walk and YCbCr blocks it reads,
// and malformed or foreign files, which are refused without a crash, an
// undersized buffer or a word on the console.
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/scene/KFbxImageBuffer.h>
#include <fbxfilesdk/scene/KFbxImageConverter.h>

#include "scene/SceneTestSupport.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace fbxsdk_2006_11_1;

namespace {

// An image of the layout whose bytes all differ from their neighbours.
void Fill(KFbxImageBuffer& image, int width, int height, int format, int bytesPerPixel) {
    image.Init(width, height, true, format, bytesPerPixel);
    ASSERT_NE(image.GetData(), nullptr);
    const std::size_t size = KFbxImageDataSize(width, height, bytesPerPixel);
    for (std::size_t i = 0; i < size; ++i) image.GetData()[i] = static_cast<unsigned char>(i * 37 + 11);
}

std::string Pixels(const KFbxImageBuffer& image) {
    const std::size_t size = KFbxImageDataSize(image.GetWidth(), image.GetHeight(), image.GetBytesPerPixel());
    const auto* data = reinterpret_cast<const char*>(image.GetData());
    return data == nullptr ? std::string() : std::string(data, size);
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// The entry of a tag in the first directory of a little-endian classic TIFF
// file; npos when absent.
std::size_t FindEntry(const std::string& bytes, std::uint16_t tag) {
    auto byte = [&](std::size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])); };
    auto u16 = [&](std::size_t at) { return byte(at) | byte(at + 1) << 8; };
    auto u32 = [&](std::size_t at) { return u16(at) | static_cast<std::size_t>(u16(at + 2)) << 16; };
    if (bytes.size() < 8 || bytes.compare(0, 4, "II*\0", 4) != 0) return std::string::npos;
    const std::size_t directory = u32(4);
    const unsigned count = u16(directory);
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = directory + 2 + 12 * i;
        if (u16(entry) == tag) return entry;
    }
    return std::string::npos;
}

void Put(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// Gives the tag one LONG value.
void PatchLong(std::string& bytes, std::uint16_t tag, std::uint32_t value) {
    const std::size_t entry = FindEntry(bytes, tag);
    ASSERT_NE(entry, std::string::npos) << "tag " << tag;
    Put(bytes, entry + 2, TIFF_LONG, 2);
    Put(bytes, entry + 4, 1, 4);
    Put(bytes, entry + 8, value, 4);
}

// Gives the tag two SHORT values.
void PatchShorts(std::string& bytes, std::uint16_t tag, std::uint16_t first, std::uint16_t second) {
    const std::size_t entry = FindEntry(bytes, tag);
    ASSERT_NE(entry, std::string::npos) << "tag " << tag;
    Put(bytes, entry + 8, first, 2);
    Put(bytes, entry + 10, second, 2);
}

// A file libtiff writes with the given tags and one strip per call of strip.
struct RawTiff {
    std::uint32_t width = 4, height = 2, rowsPerStrip = 1;
    std::uint16_t samples = 3, bits = 8, photometric = PHOTOMETRIC_RGB, across = 0, down = 0;
    bool Write(const std::string& path, const std::vector<std::string>& strips) const {
        TIFF* tiff = TIFFOpen(path.c_str(), "w");
        if (tiff == nullptr) return false;
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
        if (across != 0) TIFFSetField(tiff, TIFFTAG_YCBCRSUBSAMPLING, across, down);
        bool written = true;
        for (std::size_t i = 0; i < strips.size(); ++i) {
            std::string copy = strips[i];
            written = written && TIFFWriteEncodedStrip(tiff, static_cast<std::uint32_t>(i), copy.data(),
                                                       static_cast<tmsize_t>(copy.size())) >= 0;
        }
        TIFFClose(tiff);
        return written;
    }
};

// A valid 4 by 2 grey-scale file: a TIFF the converter does not read.
bool WriteGray(const std::string& path) {
    RawTiff gray;
    gray.samples = 1;
    gray.photometric = PHOTOMETRIC_MINISBLACK;
    return gray.Write(path, {"abcd", "efgh"});
}

class KFbxImageConverterTest : public ::testing::Test {
protected:
    ScratchFolder mFolder;
};

TEST_F(KFbxImageConverterTest, RgbAndRgbaRoundTripByteExactWithAndWithoutDeflate) {
    for (int bytesPerPixel : {3, 4}) {
        for (bool compress : {false, true}) {
            SCOPED_TRACE(testing::Message() << bytesPerPixel << " bytes per pixel, compress " << compress);
            KFbxImageBuffer written;
            Fill(written, 13, 7, KFbxImageBuffer::eRGB, bytesPerPixel);
            const std::string path = mFolder / "image.tif";
            KString error;
            ASSERT_TRUE(KFbxImageConverter::WriteTiffImage(path.c_str(), compress, &written, &error)) << error.Buffer();

            KFbxImageBuffer read;
            ASSERT_TRUE(KFbxImageConverter::ReadTiffImage(path.c_str(), &read, false, &error)) << error.Buffer();
            EXPECT_EQ(read.GetWidth(), 13);
            EXPECT_EQ(read.GetHeight(), 7);
            EXPECT_EQ(read.GetFormat(), KFbxImageBuffer::eRGB);
            EXPECT_EQ(read.GetBytesPerPixel(), bytesPerPixel);
            EXPECT_TRUE(read.IsValid());
            EXPECT_EQ(Pixels(read), Pixels(written));
        }
    }
}

TEST_F(KFbxImageConverterTest, YCbCrRoundTripKeepsTheSamplesAndTheFormat) {
    KFbxImageBuffer written;
    Fill(written, 9, 4, KFbxImageBuffer::eYCBCR, 3);
    const std::string path = mFolder / "ycc.tif";
    ASSERT_TRUE(KFbxImageConverter::WriteTiffImage(path.c_str(), true, &written));

    // Other readers must see full-resolution chroma, not the 2 by 2 default.
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    std::uint16_t across = 0, down = 0;
    EXPECT_EQ(TIFFGetField(tiff, TIFFTAG_YCBCRSUBSAMPLING, &across, &down), 1);
    EXPECT_EQ(across, 1);
    EXPECT_EQ(down, 1);
    TIFFClose(tiff);

    KFbxImageBuffer read;
    ASSERT_TRUE(KFbxImageConverter::ReadTiffImage(path.c_str(), &read, false));
    EXPECT_EQ(read.GetFormat(), KFbxImageBuffer::eYCBCR);
    EXPECT_EQ(Pixels(read), Pixels(written));
}

TEST_F(KFbxImageConverterTest, WrittenTagsDescribeTheImage) {
    for (int bytesPerPixel : {3, 4}) {
        for (bool compress : {false, true}) {
            SCOPED_TRACE(testing::Message() << bytesPerPixel << " bytes per pixel, compress " << compress);
            KFbxImageBuffer image;
            Fill(image, 3, 2, KFbxImageBuffer::eRGB, bytesPerPixel);
            const std::string path = mFolder / "tags.tif";
            ASSERT_TRUE(KFbxImageConverter::WriteTiffImage(path.c_str(), compress, &image));

            TIFF* tiff = TIFFOpen(path.c_str(), "r");
            ASSERT_NE(tiff, nullptr);
            std::uint16_t compression = 0, photometric = 0, samples = 0, bits = 0, planar = 0, orientation = 0,
                          unit = 0, extraCount = 0;
            std::uint16_t* extra = nullptr;
            std::uint32_t rowsPerStrip = 0, subfile = 99;
            float xResolution = 0, yResolution = 0;
            EXPECT_EQ(TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression), 1);
            EXPECT_EQ(compression, compress ? 8 : 1);
            TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
            EXPECT_EQ(photometric, 2);
            TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
            EXPECT_EQ(samples, bytesPerPixel);
            TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
            EXPECT_EQ(bits, 8);
            TIFFGetField(tiff, TIFFTAG_PLANARCONFIG, &planar);
            EXPECT_EQ(planar, 1);
            TIFFGetField(tiff, TIFFTAG_ORIENTATION, &orientation);
            EXPECT_EQ(orientation, 1);
            TIFFGetField(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
            EXPECT_EQ(rowsPerStrip, 1u);
            EXPECT_EQ(TIFFGetField(tiff, TIFFTAG_SUBFILETYPE, &subfile), 1);
            EXPECT_EQ(subfile, 0u);
            TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &xResolution);
            TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &yResolution);
            TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
            EXPECT_EQ(xResolution, 72.0f);
            EXPECT_EQ(yResolution, 72.0f);
            EXPECT_EQ(unit, 2);
            const int hasExtra = TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
            if (bytesPerPixel == 4) {
                ASSERT_EQ(hasExtra, 1);
                ASSERT_EQ(extraCount, 1);
                EXPECT_EQ(extra[0], EXTRASAMPLE_ASSOCALPHA);
            } else {
                EXPECT_EQ(hasExtra, 0);
            }
            TIFFClose(tiff);
        }
    }
}

TEST_F(KFbxImageConverterTest, StripsOfSeveralRowsAreWalkedToAShortLastStrip) {
    RawTiff raw;
    raw.width = 5;
    raw.height = 8;
    raw.rowsPerStrip = 3;
    std::string all;
    for (int i = 0; i < 5 * 8 * 3; ++i) all += static_cast<char>(i * 7 + 1);
    const std::string path = mFolder / "strips.tif";
    ASSERT_TRUE(raw.Write(path, {all.substr(0, 45), all.substr(45, 45), all.substr(90, 30)}));

    KFbxImageBuffer image;
    KString error;
    ASSERT_TRUE(KFbxImageConverter::ReadTiffImage(path.c_str(), &image, false, &error)) << error.Buffer();
    EXPECT_EQ(Pixels(image), all);
}

TEST_F(KFbxImageConverterTest, SubsampledYCbCrBlocksSpreadTheirChromaOverEachPixel) {
    // Width 3 in blocks of 2 pixels: each row is two blocks (Y Y Cb Cr), the
    // second with one luma of padding; both rows in one strip.
    RawTiff raw;
    raw.width = 3;
    raw.height = 2;
    raw.rowsPerStrip = 2;
    raw.photometric = PHOTOMETRIC_YCBCR;
    raw.across = 2;
    raw.down = 1;
    const std::string rows("\x10\x11\xa0\xb0\x12\x00\xa1\xb1"
                           "\x20\x21\xc0\xd0\x22\x00\xc1\xd1",
                           16);
    const std::string path = mFolder / "subsampled.tif";
    ASSERT_TRUE(raw.Write(path, {rows}));

    KFbxImageBuffer image;
    KString error;
    ASSERT_TRUE(KFbxImageConverter::ReadTiffImage(path.c_str(), &image, false, &error)) << error.Buffer();
    EXPECT_EQ(image.GetFormat(), KFbxImageBuffer::eYCBCR);
    EXPECT_EQ(image.GetBytesPerPixel(), 3);
    const std::string expected = "\x10\xa0\xb0\x11\xa0\xb0\x12\xa1\xb1"
                                 "\x20\xc0\xd0\x21\xc0\xd0\x22\xc1\xd1";
    EXPECT_EQ(Pixels(image), expected);
}

TEST_F(KFbxImageConverterTest, FileIsRemovedOnlyAfterASuccessfulReadThatAsksForIt) {
    KFbxImageBuffer image;
    Fill(image, 2, 2, KFbxImageBuffer::eRGB, 3);
    const std::string kept = mFolder / "kept.tif";
    const std::string removed = mFolder / "removed.tif";
    ASSERT_TRUE(KFbxImageConverter::WriteTiffImage(kept.c_str(), false, &image));
    ASSERT_TRUE(KFbxImageConverter::WriteTiffImage(removed.c_str(), false, &image));

    KFbxImageBuffer read;
    EXPECT_TRUE(KFbxImageConverter::ReadTiffImage(kept.c_str(), &read, false));
    EXPECT_TRUE(Exists(kept));
    EXPECT_TRUE(KFbxImageConverter::ReadTiffImage(removed.c_str(), &read, true));
    EXPECT_FALSE(Exists(removed));

    const std::string foreign = mFolder / "gray.tif";
    ASSERT_TRUE(WriteGray(foreign));
    EXPECT_FALSE(KFbxImageConverter::ReadTiffImage(foreign.c_str(), &read, true));
    EXPECT_TRUE(Exists(foreign));
}

// Every malformed or foreign file: refused with a reason, nothing printed,
// the file kept although removal was asked for.
class MalformedTiffTest : public KFbxImageConverterTest {
protected:
    // A valid uncompressed RGB file's bytes.
    std::string ValidBytes(int width, int height, bool compress = false) {
        KFbxImageBuffer image;
        Fill(image, width, height, KFbxImageBuffer::eRGB, 3);
        const std::string path = mFolder / "valid.tif";
        EXPECT_TRUE(KFbxImageConverter::WriteTiffImage(path.c_str(), compress, &image));
        return mFolder.Read("valid.tif");
    }
    void ExpectRefused(const std::string& path, const char* reason = nullptr) {
        KFbxImageBuffer image;
        KString error;
        testing::internal::CaptureStderr();
        const bool read = KFbxImageConverter::ReadTiffImage(path.c_str(), &image, true, &error);
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(read);
        EXPECT_FALSE(error.IsEmpty());
        if (reason != nullptr) {
            EXPECT_STREQ(error.Buffer(), reason);
        }
        EXPECT_EQ(printed, "");
        EXPECT_TRUE(Exists(path));
        // Whatever the record holds is whole: no buffer shorter than its size.
        if (image.GetData() != nullptr) {
            const std::size_t size = KFbxImageDataSize(image.GetWidth(), image.GetHeight(), image.GetBytesPerPixel());
            ASSERT_GT(size, 0u);
            volatile unsigned char last = image.GetData()[size - 1];
            (void)last;
        }
    }
};

TEST_F(MalformedTiffTest, RowsPerStripZeroIsRefused) {
    std::string bytes = ValidBytes(4, 3);
    PatchLong(bytes, TIFFTAG_ROWSPERSTRIP, 0);
    ExpectRefused(mFolder.Write("rows0.tif", bytes));
}

TEST_F(MalformedTiffTest, SixteenBitSamplesAreRefused) {
    RawTiff raw;
    raw.bits = 16;
    const std::string path = mFolder / "16bit.tif";
    ASSERT_TRUE(raw.Write(path, {std::string(24, 'x'), std::string(24, 'y')}));
    ExpectRefused(path, "samples are not 8 bits");
}

TEST_F(MalformedTiffTest, DimensionsWhoseByteSizeOverflows32BitsAreRefused) {
    // 40000 x 40000 x 3 wraps to 505 MB in 32 bits; 65536 x 65536 x 1 to 0.
    struct Size {
        std::uint32_t width, height;
    };
    for (const Size size : {Size{40000, 40000}, Size{65536, 65536}, Size{0xffffffffu, 2}}) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        std::string bytes = ValidBytes(1, 1);
        PatchLong(bytes, TIFFTAG_IMAGEWIDTH, size.width);
        PatchLong(bytes, TIFFTAG_IMAGELENGTH, size.height);
        PatchLong(bytes, TIFFTAG_ROWSPERSTRIP, size.height);  // one strip, as the file has
        ExpectRefused(mFolder.Write("huge.tif", bytes), "image size out of range");
    }
}

TEST_F(MalformedTiffTest, ImagesLargerThanTheDecodedLimitAreRefusedBeforeDecoding) {
    // 10000 x 10000 RGB decodes to 300 MB from a file of a few hundred bytes.
    ASSERT_EQ(KFbxImageConverter::GetMaxDecodedSize(), std::uint64_t{1} << 28);
    std::string bytes = ValidBytes(1, 1, true);
    PatchLong(bytes, TIFFTAG_IMAGEWIDTH, 10000);
    PatchLong(bytes, TIFFTAG_IMAGELENGTH, 10000);
    PatchLong(bytes, TIFFTAG_ROWSPERSTRIP, 10000);
    ExpectRefused(mFolder.Write("bomb.tif", bytes),
                  "decoded image of 300000000 bytes exceeds the limit of 268435456 bytes");
}

TEST_F(KFbxImageConverterTest, TheDecodedLimitIsTheCallersToRaise) {
    KFbxImageBuffer image;
    Fill(image, 8, 8, KFbxImageBuffer::eRGB, 3);
    const std::string path = mFolder / "small.tif";
    ASSERT_TRUE(KFbxImageConverter::WriteTiffImage(path.c_str(), true, &image));

    struct RestoreLimit {
        ~RestoreLimit() { KFbxImageConverter::SetMaxDecodedSize(0); }
    } restore;
    KFbxImageConverter::SetMaxDecodedSize(191);
    KFbxImageBuffer read;
    KString error;
    EXPECT_FALSE(KFbxImageConverter::ReadTiffImage(path.c_str(), &read, false, &error));
    EXPECT_STREQ(error.Buffer(), "decoded image of 192 bytes exceeds the limit of 191 bytes");
    EXPECT_EQ(read.GetData(), nullptr);

    KFbxImageConverter::SetMaxDecodedSize(192);
    ASSERT_TRUE(KFbxImageConverter::ReadTiffImage(path.c_str(), &read, false, &error)) << error.Buffer();
    EXPECT_EQ(Pixels(read), Pixels(image));

    // Never beyond what an image record holds; 0 gives back the default.
    KFbxImageConverter::SetMaxDecodedSize(std::uint64_t{1} << 40);
    EXPECT_EQ(KFbxImageConverter::GetMaxDecodedSize(), KFbxImageBuffer::kMaxDataSize);
    KFbxImageConverter::SetMaxDecodedSize(0);
    EXPECT_EQ(KFbxImageConverter::GetMaxDecodedSize(), KFbxImageConverter::kDefaultMaxDecodedSize);
}

TEST_F(MalformedTiffTest, UnsupportedSubsamplingIsRefused) {
    KFbxImageBuffer image;
    Fill(image, 4, 2, KFbxImageBuffer::eYCBCR, 3);
    const std::string path = mFolder / "ycc.tif";
    ASSERT_TRUE(KFbxImageConverter::WriteTiffImage(path.c_str(), false, &image));
    const std::string valid = mFolder.Read("ycc.tif");
    struct Subsampling {
        std::uint16_t across, down;
    };
    for (const Subsampling subsampling : {Subsampling{4, 1}, Subsampling{2, 2}, Subsampling{1, 4}}) {
        SCOPED_TRACE(testing::Message() << subsampling.across << "x" << subsampling.down);
        std::string bytes = valid;
        PatchShorts(bytes, TIFFTAG_YCBCRSUBSAMPLING, subsampling.across, subsampling.down);
        ExpectRefused(mFolder.Write("sub.tif", bytes), "unsupported YCbCr subsampling");
    }
}

TEST_F(MalformedTiffTest, ForeignAndBrokenFilesAreRefused) {
    const std::string grayPath = mFolder / "gray.tif";
    ASSERT_TRUE(WriteGray(grayPath));
    ExpectRefused(grayPath, "neither RGB nor YCbCr");

    RawTiff twoSamples;
    twoSamples.samples = 2;
    const std::string twoPath = mFolder / "two.tif";
    ASSERT_TRUE(twoSamples.Write(twoPath, {std::string(8, 'a'), std::string(8, 'b')}));
    ExpectRefused(twoPath, "unsupported samples per pixel");

    // Deflate data overwritten with noise.
    std::string bytes = ValidBytes(16, 4, true);
    for (int i = 8; i < 20; ++i) bytes[i] = static_cast<char>(0xff - i);
    ExpectRefused(mFolder.Write("noise.tif", bytes));

    // A strip that claims more bytes than the file holds.
    bytes = ValidBytes(4, 2);
    PatchLong(bytes, TIFFTAG_STRIPBYTECOUNTS, 1);
    ExpectRefused(mFolder.Write("short.tif", bytes));

    ExpectRefused(mFolder.Write("text.tif", "not an image at all"));
    ExpectRefused(mFolder.Write("empty.tif", ""));
    ExpectRefused(mFolder.Write("header.tif", std::string("II*\0\xff\xff\xff\x7f", 8)));
}

TEST_F(KFbxImageConverterTest, MissingFileAndMissingRecordAreRefused) {
    KFbxImageBuffer image;
    KString error;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(KFbxImageConverter::ReadTiffImage((mFolder / "absent.tif").c_str(), &image, false, &error));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(error.IsEmpty());
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(KFbxImageConverter::ReadTiffImage((mFolder / "absent.tif").c_str(), nullptr, false));
}

TEST_F(KFbxImageConverterTest, WritingRefusesImagesWithoutPixelsOrWithoutATiffLayout) {
    KFbxImageBuffer empty;
    const std::string path = mFolder / "out.tif";
    EXPECT_FALSE(KFbxImageConverter::WriteTiffImage(path.c_str(), false, &empty));
    EXPECT_FALSE(KFbxImageConverter::WriteTiffImage(path.c_str(), false, nullptr));
    KFbxImageBuffer twoSamples;
    Fill(twoSamples, 2, 2, KFbxImageBuffer::eRGB, 2);
    EXPECT_FALSE(KFbxImageConverter::WriteTiffImage(path.c_str(), false, &twoSamples));
    KFbxImageBuffer ycc4;
    Fill(ycc4, 2, 2, KFbxImageBuffer::eYCBCR, 4);
    EXPECT_FALSE(KFbxImageConverter::WriteTiffImage(path.c_str(), false, &ycc4));
    EXPECT_FALSE(Exists(path));
}

TEST_F(KFbxImageConverterTest, WriteFailuresAreReportedInTheErrorTextNotPrinted) {
    KFbxImageBuffer image;
    Fill(image, 64, 64, KFbxImageBuffer::eRGB, 3);
    KString error;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(KFbxImageConverter::WriteTiffImage((mFolder / "no/such/folder.tif").c_str(), false, &image, &error));
    EXPECT_FALSE(error.IsEmpty());
    error = "";
    if (Exists("/dev/full")) {
        EXPECT_FALSE(KFbxImageConverter::WriteTiffImage("/dev/full", false, &image, &error));
        EXPECT_FALSE(error.IsEmpty());
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(KFbxImageConverterTest, FailingScanlineWriteStopsTheImageAndSaysSo) {
    // A child process whose files may not grow past 4 KB: the header goes
    // out, the rows of a 64 KB image do not.
    KFbxImageBuffer image;
    Fill(image, 128, 128, KFbxImageBuffer::eRGB, 4);
    const std::string path = mFolder / "limited.tif";
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        KString error;
        const bool written = KFbxImageConverter::WriteTiffImage(path.c_str(), false, &image, &error);
        const std::string outcome = std::string(written ? "1" : "0") + error.Buffer();
        const ssize_t sent = write(channel[1], outcome.data(), outcome.size());
        _exit(sent == static_cast<ssize_t>(outcome.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string outcome;
    char buffer[256];
    for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;) outcome.append(buffer, got);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ASSERT_FALSE(outcome.empty());
    EXPECT_EQ(outcome[0], '0');
    EXPECT_NE(outcome.find("WriteFile: failure in WriteScanline"), std::string::npos) << outcome;
}

// ---- the conversion table ----

int gCalls = 0;
int gMode = -1;
std::string gFileName;

int ConvertSevenWide(int mode, const KString& fileName, KFbxImageBuffer* image) {
    ++gCalls;
    gMode = mode;
    gFileName = fileName.Buffer();
    return image != nullptr && image->GetWidth() == 7 ? 0 : 1;
}

class KFbxImageConverterTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        mManager = CreateSdkManager();
        ASSERT_NE(mManager, nullptr);
        scenetest::Enter(mManager, KFbxImageConverter::ClassId, "KFbxImageConverter", KFbxObject::ClassId,
                         &KFbxImageConverter::CreateFn);
        gCalls = 0;
    }
    void TearDown() override { delete mManager; }
    KFbxSdkManager* mManager = nullptr;
};

TEST_F(KFbxImageConverterTableTest, ConverterIsAPlainObjectWithAnEmptyTable) {
    KFbxImageConverter* converter = KFbxImageConverter::Create(mManager, "converter");
    ASSERT_NE(converter, nullptr);
    EXPECT_TRUE(converter->Is(KFbxImageConverter::ClassId));
    EXPECT_EQ(converter->GetObjectTypeCode(), 0);
    EXPECT_STREQ(converter->GetTypeName(), "");
    KFbxImageBuffer image;
    for (const char* name : {"photo.tif", "photo.png", "photo", ""}) {
        EXPECT_FALSE(converter->Convert(1, name, &image)) << name;
    }
    EXPECT_EQ(gCalls, 0);
    converter->Destroy();
}

TEST_F(KFbxImageConverterTableTest, ConvertRunsTheFunctionOfTheExtensionAndReportsItsResult) {
    KFbxImageConverter* converter = KFbxImageConverter::Create(mManager, "converter");
    ASSERT_NE(converter, nullptr);
    EXPECT_FALSE(converter->AddConversionFunction("png", nullptr));
    ASSERT_TRUE(converter->AddConversionFunction("png", &ConvertSevenWide));

    KFbxImageBuffer image;
    image.Init(7, 1, false, KFbxImageBuffer::eRGB, 3);
    EXPECT_TRUE(converter->Convert(1, "media/photo.PNG", &image));
    EXPECT_EQ(gMode, 1);
    EXPECT_EQ(gFileName, "media/photo.PNG");
    image.Init(8, 1, false, KFbxImageBuffer::eRGB, 3);
    EXPECT_FALSE(converter->Convert(0, "photo.png", &image));
    EXPECT_EQ(gMode, 0);
    EXPECT_FALSE(converter->Convert(1, "photo.png.tif", &image));
    EXPECT_EQ(gCalls, 2);
    converter->Destroy();  // frees the table's keys
}

}  // namespace
