// Field files past 2 GiB: written past that size, and read back with records
// whose offsets lie beyond it. The read test makes the file sparse (the bulk
// is a hole inside a comment), so it needs little disk but the memory to hold
// the file; both tests skip with a message when the machine lacks either.
// The binary test writes its file whole (our writer gives the file system no
// hole to keep) and reads it back; it needs the disk and the memory for it.
// Run them alone with: ctest -R LargeFieldFile
#include <fbxfilesdk/core/KChainedFile.h>
#include <fbxfilesdk/fbx/FieldFormat.h>
#include <fbxfilesdk/fbx/FieldOutput.h>
#include <fbxfilesdk/fbx/KFbx.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fbxsdk_2006_11_1 {
namespace {

constexpr std::uint64_t kPastTwoGiB = (std::uint64_t(1) << 31) + (std::uint64_t(1) << 20);
// The binary file's bulk: records of one raw value each, so that what waits
// in memory while writing stays small.
constexpr std::size_t kBulkSize = std::size_t(64) << 20;
constexpr int kBulkCount = static_cast<int>(kPastTwoGiB / kBulkSize) + 1;

std::uint64_t AvailableMemory() {
    std::ifstream info("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (info >> key >> kilobytes >> unit) {
        if (key == "MemAvailable:") {
            return kilobytes * 1024;
        }
    }
    return 0;
}

// The large files hold "Before: 1" first and "After: 2,\"far\"" last, past
// 2 GiB; whatever lies between is checked by the given reader.
template <typename Between>
void ExpectBeforeAndAfter(KFbx& file, Between between) {
    ASSERT_TRUE(file.FieldReadBegin("Before"));
    EXPECT_EQ(file.FieldReadI(), 1);
    file.FieldReadEnd();
    between(file);
    ASSERT_TRUE(file.FieldReadBegin("After"));
    EXPECT_EQ(file.FieldReadI(), 2);
    EXPECT_STREQ(file.FieldReadS().Buffer(), "far");
    file.FieldReadEnd();
    EXPECT_EQ(file.GetLastErrorCode(), -1) << file.GetLastErrorText();
    file.FileClose();
}

TEST(LargeFieldFileTest, WritingGoesOnPastTwoGiB) {
    if (!std::filesystem::exists("/dev/null")) {
        GTEST_SKIP() << "no /dev/null to write to";
    }
    KChainedFile stream;
    ASSERT_TRUE(stream.OpenWithModeString("/dev/null", "wb"));
    FieldOutput output;
    output.SetStream(&stream);
    const std::vector<unsigned char> block(FieldOutput::kFlushThreshold, 'x');
    while (output.Position() < kPastTwoGiB) {
        output.Append(block.data(), block.size());
        ASSERT_TRUE(output.FlushIfLarge()) << "at " << output.Position();
    }
    EXPECT_GT(output.Position(), std::uint64_t(1) << 31);
    output.Reset();
    stream.Close();
}

TEST(LargeFieldFileTest, RecordsPastTwoGiBAreRead) {
    if (AvailableMemory() < kPastTwoGiB + (std::uint64_t(1) << 30)) {
        GTEST_SKIP() << "not enough free memory to hold a file of " << kPastTwoGiB << " bytes";
    }
    ScratchFolder folder;
    const std::string path = folder / "large.fbx";
    {
        KFbx file;
        ASSERT_TRUE(file.FileCreate(path.c_str(), false, false, nullptr)) << file.GetLastErrorText();
        file.FieldWriteBegin("Before");
        file.FieldWriteI(1);
        file.FieldWriteEnd();
        ASSERT_TRUE(file.FileClose()) << file.GetLastErrorText();
    }
    // A comment opened at the end runs over the hole to the line that ends it.
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(::write(descriptor, "\n;", 2), 2);
    ASSERT_EQ(::ftruncate(descriptor, static_cast<off_t>(kPastTwoGiB)), 0);
    const std::string tail = "\nAfter: 2,\"far\"\n";
    ASSERT_EQ(::write(descriptor, tail.data(), tail.size()), static_cast<ssize_t>(tail.size()));
    struct stat status {};
    ASSERT_EQ(::fstat(descriptor, &status), 0);
    ::close(descriptor);
    if (static_cast<std::uint64_t>(status.st_blocks) * 512 > (std::uint64_t(1) << 30) &&
        std::filesystem::space(folder.Path()).available < (std::uint64_t(1) << 30)) {
        GTEST_SKIP() << "the file system does not keep the file sparse and the disk is short";
    }
    ASSERT_GT(std::filesystem::file_size(path), std::uint64_t(1) << 31);

    KFbx file;
    ASSERT_TRUE(file.FileOpen(path.c_str())) << file.GetLastErrorText();
    ExpectBeforeAndAfter(file, [](KFbx&) {});
}

TEST(LargeFieldFileTest, BinaryFilePastTwoGiBIsWrittenAndReadBack) {
    constexpr std::uint64_t kFileSize = std::uint64_t(kBulkCount) * kBulkSize;
    if (AvailableMemory() < kFileSize + (std::uint64_t(1) << 30)) {
        GTEST_SKIP() << "not enough free memory to read a file of " << kFileSize << " bytes";
    }
    ScratchFolder folder;
    if (std::filesystem::space(folder.Path()).available < kFileSize + (std::uint64_t(1) << 29)) {
        GTEST_SKIP() << "not enough free disk to write a file of " << kFileSize << " bytes";
    }
    const std::string path = folder / "large.fbx";
    std::vector<unsigned char> bulk(kBulkSize);
    for (std::size_t i = 0; i < bulk.size(); ++i) bulk[i] = static_cast<unsigned char>(i * 7 + i / 4096);
    {
        KFbx file;
        ASSERT_TRUE(file.FileCreate(path.c_str(), true, false, nullptr)) << file.GetLastErrorText();
        file.FieldWriteBegin("Before");
        file.FieldWriteI(1);
        file.FieldWriteEnd();
        for (int i = 0; i < kBulkCount; ++i) {
            bulk[0] = static_cast<unsigned char>(i);
            file.FieldWriteBegin("Bulk");
            file.FieldWriteR(bulk.data(), static_cast<int>(bulk.size()));
            file.FieldWriteEnd();
        }
        file.FieldWriteBegin("After");
        file.FieldWriteI(2);
        file.FieldWriteS("far");
        file.FieldWriteEnd();
        ASSERT_EQ(file.GetLastErrorCode(), -1) << file.GetLastErrorText();
        ASSERT_TRUE(file.FileClose()) << file.GetLastErrorText();
    }
    ASSERT_GT(std::filesystem::file_size(path), kFileSize);

    KFbx file;
    ASSERT_TRUE(file.FileOpen(path.c_str())) << file.GetLastErrorText();
    ExpectBeforeAndAfter(file, [&bulk](KFbx& between) {
        int bulkRead = 0;
        for (; between.FieldReadBegin("Bulk"); ++bulkRead) {
            int size = 0;
            const auto* bytes = static_cast<const unsigned char*>(between.FieldReadR(&size));
            ASSERT_EQ(size, static_cast<int>(kBulkSize));
            ASSERT_NE(bytes, nullptr);
            EXPECT_EQ(bytes[0], static_cast<unsigned char>(bulkRead));
            EXPECT_EQ(std::memcmp(bytes + 1, bulk.data() + 1, kBulkSize - 1), 0) << bulkRead;
            between.FieldReadEnd();
        }
        EXPECT_EQ(bulkRead, kBulkCount);
    });
}

TEST(LargeFieldFileTest, AValueTheBinaryLayoutCannotHoldFailsByName) {
    // Mapped, not allocated: the pages are only ever looked at, if at all.
    const std::size_t size = std::size_t(kMaxStringLength) + 1;
    void* bytes = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (bytes == MAP_FAILED) {
        GTEST_SKIP() << "no address space for a value of " << size << " bytes";
    }
    ScratchFolder folder;
    const std::string path = folder / "limit.fbx";
    KFbx file;
    ASSERT_TRUE(file.FileCreate(path.c_str(), true, false, nullptr)) << file.GetLastErrorText();
    file.FieldWriteBegin("Big");
    file.FieldWriteR(bytes, static_cast<int>(size));
    file.FieldWriteEnd();
    EXPECT_EQ(file.GetLastErrorCode(), KFbx::eFormatLimit);
    const std::string text = file.GetLastErrorText();
    EXPECT_EQ(text.rfind("Beyond the limits of the file format (", 0), 0u) << text;
    EXPECT_NE(text.find(std::to_string(size)), std::string::npos) << text;
    EXPECT_NE(text.find(std::to_string(kMaxStringLength)), std::string::npos) << text;
    EXPECT_FALSE(file.FileClose());
    ::munmap(bytes, size);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
