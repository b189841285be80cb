#include <fbxfilesdk/fbx/FieldFileImage.h>
#include <fbxfilesdk/fbx/KFbx.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fbxsdk_2006_11_1 {
namespace {

std::string TestPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("qalimor-image-" + std::to_string(getpid()) + "-" + name)).string();
}

struct RemovedFile {
    std::string path;
    ~RemovedFile() {
        std::error_code error;
        std::filesystem::remove(path, error);
    }
};

TEST(FieldFileImageTest, PagesGivenBackAreReadAgainOnlyAsTheyWere) {
    const RemovedFile file{TestPath("bytes.bin")};
    std::vector<unsigned char> bytes(3 * 1024 * 1024 + 123);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 2654435761u >> 24);
    const auto save = [&](std::size_t size, unsigned char flip) {
        std::ofstream out(file.path, std::ios::binary | std::ios::trunc);
        for (std::size_t i = 0; i < size; ++i) out.put(static_cast<char>(bytes[i] ^ (i > size / 2 ? flip : 0)));
    };
    save(bytes.size(), 0);

    FieldFileImage image;
    ASSERT_TRUE(image.Load(file.path.c_str()));
    ASSERT_EQ(image.Size(), bytes.size());
    EXPECT_EQ(std::memcmp(image.Data(), bytes.data(), bytes.size()), 0);
    // Ranges that do not fall on pages, and ranges too small to bother with.
    const std::uint64_t begin = 1001;
    image.Release(begin, bytes.size() - 77);
    image.Release(5, 17);
    image.Release(bytes.size(), bytes.size() + (1u << 21));
    EXPECT_EQ(image.Fetch(5), FieldFileImage::EFetch::eHeld);
    EXPECT_EQ(image.Fetch(begin), FieldFileImage::EFetch::eReadAgain);
    EXPECT_EQ(std::memcmp(image.Data(), bytes.data(), bytes.size()), 0);
    EXPECT_EQ(image.Fetch(begin), FieldFileImage::EFetch::eHeld);

    // Saved anew meanwhile: cut, changed, then as it was.
    image.Release(begin, bytes.size() - 77);
    save(bytes.size() / 2, 0);
    EXPECT_EQ(image.Fetch(begin), FieldFileImage::EFetch::eCutShort);
    save(bytes.size(), 0x40);
    EXPECT_EQ(image.Fetch(begin), FieldFileImage::EFetch::eChanged);
    save(bytes.size(), 0);
    EXPECT_EQ(image.Fetch(begin), FieldFileImage::EFetch::eReadAgain);
    EXPECT_EQ(std::memcmp(image.Data(), bytes.data(), bytes.size()), 0);

    // Bytes changed in place stay changed: such an image gives nothing back.
    image.MutableData()[4096 * 10] ^= 0xFF;
    image.Release(begin, bytes.size() - 77);
    EXPECT_EQ(image.Data()[4096 * 10], static_cast<unsigned char>(bytes[4096 * 10] ^ 0xFF));
    image.Truncate(100);
    EXPECT_EQ(image.Size(), 100u);
}

TEST(FieldFileImageTest, MissingAndEmptyFilesAndCopies) {
    FieldFileImage image;
    EXPECT_FALSE(image.Load(TestPath("missing.bin").c_str()));
    EXPECT_EQ(image.Size(), 0u);
    const RemovedFile empty{TestPath("empty.bin")};
    std::ofstream(empty.path, std::ios::binary).flush();
    EXPECT_TRUE(image.Load(empty.path.c_str()));
    EXPECT_EQ(image.Size(), 0u);

    const char text[] = "Name: 1";
    ASSERT_TRUE(image.Assign(text, sizeof text - 1));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.Data()), image.Size()), "Name: 1");
    image.Release(0, image.Size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.Data()), image.Size()), "Name: 1");
}

// Large arrays are given back after the parse and after each read; reading
// them again, in either syntax, gives the same values.
TEST(FieldFileImageTest, LargeArraysReadTwiceGiveTheSameValues) {
    std::vector<double> values(400000);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<double>(i) * 0.37 - 1234.5;
    for (const bool binary : {false, true}) {
        const RemovedFile file{TestPath(binary ? "large.fbx" : "large-ascii.fbx")};
        {
            KFbx writer;
            ASSERT_TRUE(writer.FileCreate(file.path.c_str(), binary, false, nullptr));
            writer.FieldWriteBegin("Values");
            writer.FieldWriteArrayD(values.data(), static_cast<int>(values.size()));
            writer.FieldWriteEnd();
            writer.FieldWriteBegin("After");
            writer.FieldWriteI(7);
            writer.FieldWriteEnd();
            ASSERT_TRUE(writer.FileClose());
        }
        KFbx reader;
        ASSERT_TRUE(reader.FileOpen(file.path.c_str())) << reader.GetLastErrorText();
        for (int pass = 0; pass < 2; ++pass) {
            ASSERT_TRUE(reader.SelectSection(0));
            ASSERT_TRUE(reader.FieldReadBegin("Values"));
            ASSERT_EQ(reader.FieldGetRemainingValueCount(), static_cast<int>(values.size()));
            std::vector<double> read(values.size());
            EXPECT_EQ(reader.FieldReadArrayD(read.data(), static_cast<int>(read.size())), static_cast<int>(read.size()));
            reader.FieldReadEnd();
            EXPECT_EQ(read, values) << (binary ? "binary" : "ascii") << " pass " << pass;
            EXPECT_EQ(reader.FieldReadIDefault("After", 0), 7);
        }
        EXPECT_LT(reader.GetLastErrorCode(), 0) << reader.GetLastErrorText();
        EXPECT_EQ(reader.GetContentLoss(), nullptr);
        // Cut while it is read: the array is lost by name, the rest still read.
        std::filesystem::resize_file(file.path, std::filesystem::file_size(file.path) / 2);
        ASSERT_TRUE(reader.SelectSection(0));
        std::vector<double> read(values.size());
        EXPECT_EQ(reader.FieldReadBegin("Values") ? reader.FieldReadArrayD(read.data(), static_cast<int>(read.size())) : 0,
                  0);
        reader.FieldReadEnd();
        ASSERT_NE(reader.GetContentLoss(), nullptr);
        EXPECT_NE(std::string(reader.GetLastErrorText()).find("cut short"), std::string::npos);
        EXPECT_EQ(reader.FieldReadIDefault("After", 0), 7);
        EXPECT_TRUE(reader.FileClose());
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
