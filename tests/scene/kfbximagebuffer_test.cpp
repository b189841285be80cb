// Image records: their defaults, what Init makes of a layout (sizes that do
// not fit 32 bits are refused, never wrapped), and the original-format flag
// under both its names.
#include <fbxfilesdk/scene/KFbxImageBuffer.h>

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;

namespace {

TEST(KFbxImageBufferTest, NewRecordIsAnEmptyRgbImageInItsOriginalFormat) {
    KFbxImageBuffer image;
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    EXPECT_EQ(image.GetFormat(), KFbxImageBuffer::eRGB);
    EXPECT_EQ(image.GetBytesPerPixel(), 3);
    EXPECT_EQ(image.GetData(), nullptr);
    EXPECT_TRUE(image.GetOriginalFormat());
    EXPECT_TRUE(image.GetFileName().IsEmpty());
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(image.IsDataAllocated());
}

TEST(KFbxImageBufferTest, InitAllocatesTheWholeImageAndReplacesEarlierPixels) {
    KFbxImageBuffer image;
    image.Init(5, 3, true, KFbxImageBuffer::eYCBCR, 4);
    ASSERT_NE(image.GetData(), nullptr);
    EXPECT_TRUE(image.IsValid());
    EXPECT_TRUE(image.IsDataAllocated());
    EXPECT_EQ(image.GetFormat(), KFbxImageBuffer::eYCBCR);
    EXPECT_EQ(image.GetBytesPerPixel(), 4);
    image.GetData()[5 * 3 * 4 - 1] = 0xab;  // the last byte belongs to the record

    // The sanitizer build reports the first block if the second Init leaks it.
    image.Init(2, 2, true, KFbxImageBuffer::eRGB, 3);
    ASSERT_NE(image.GetData(), nullptr);
    EXPECT_EQ(image.GetWidth(), 2);
    image.Init(2, 2, false, KFbxImageBuffer::eRGB, 3);
    EXPECT_EQ(image.GetData(), nullptr);
    EXPECT_FALSE(image.IsDataAllocated());
}

TEST(KFbxImageBufferTest, InitWithoutAllocationIsValidForAnyLayout) {
    KFbxImageBuffer image;
    image.Init(0, -4, false, 9, 0);
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(image.GetData(), nullptr);
    EXPECT_EQ(image.GetHeight(), -4);
}

TEST(KFbxImageBufferTest, InitRefusesLayoutsItCannotHold) {
    struct Layout {
        int width, height, format, bytesPerPixel;
    };
    const Layout refused[] = {
        {0, 4, 0, 3},          {4, 0, 0, 3},          {-1, 4, 0, 3},        {4, 4, 2, 3},
        {4, 4, -1, 3},         {4, 4, 0, 0},          {4, 4, 0, 128},
        // 4.8e9 bytes: a 32-bit product would wrap to a 505 MB buffer.
        {40000, 40000, 0, 3},
        // exactly 2^32 bytes: a 32-bit product would wrap to 0.
        {65536, 65536, 0, 1},  {0x7fffffff, 0x7fffffff, 0, 127},
    };
    for (const Layout& layout : refused) {
        KFbxImageBuffer image;
        image.Init(layout.width, layout.height, true, layout.format, layout.bytesPerPixel);
        EXPECT_FALSE(image.IsValid()) << layout.width << "x" << layout.height << " format " << layout.format << " bpp "
                                      << layout.bytesPerPixel;
        EXPECT_EQ(image.GetData(), nullptr);
        EXPECT_TRUE(image.IsDataAllocated());
    }
}

TEST(KFbxImageBufferTest, DataSizeIsExactUpToTheLimitAndZeroBeyondIt) {
    EXPECT_EQ(KFbxImageDataSize(5, 3, 4), 60u);
    EXPECT_EQ(KFbxImageDataSize(0x7fffffff, 1, 1), KFbxImageBuffer::kMaxDataSize);
    EXPECT_EQ(KFbxImageDataSize(0x7fffffff, 1, 2), 0u);
    EXPECT_EQ(KFbxImageDataSize(46341, 46341, 1), 0u);  // just above 2^31
    EXPECT_EQ(KFbxImageDataSize(46340, 46340, 1), 2147395600u);
    EXPECT_EQ(KFbxImageDataSize(1LL << 40, 1LL << 40, 1LL << 40), 0u);
    EXPECT_EQ(KFbxImageDataSize(3, -2, 3), 0u);
}

TEST(KFbxImageBufferTest, OwnsBufferAndOriginalFormatAreOneFlag) {
    KFbxImageBuffer image;
    image.SetOwnsBuffer(false);
    EXPECT_FALSE(image.GetOriginalFormat());
    image.SetOriginalFormat(true);
    EXPECT_TRUE(image.GetOriginalFormat());
    image.SetOriginalFormat(false);
    image.SetOwnsBuffer(true);
    EXPECT_TRUE(image.GetOriginalFormat());
}

TEST(KFbxImageBufferTest, FileNameIsKeptAsACopy) {
    KFbxImageBuffer image;
    KString name("media/photo.tif");
    image.SetFileName(name);
    name = "other";
    EXPECT_STREQ(image.GetFileName().Buffer(), "media/photo.tif");
}

}  // namespace
