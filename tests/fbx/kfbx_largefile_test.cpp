// Field files past 2 GiB: written past that size, and read back with records
// whose offsets lie beyond it. The read test makes the file sparse (the bulk
// is a hole inside a comment), so it needs little disk but the memory to hold
// the file; both tests skip with a message when the machine lacks either.
// Run them alone with: ctest -R LargeFieldFile
#include <fbxfilesdk/core/KChainedFile.h>
#include <fbxfilesdk/fbx/FieldOutput.h>
#include <fbxfilesdk/fbx/KFbx.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fbxsdk_2006_11_1 {
namespace {

constexpr std::uint64_t kPastTwoGiB = (std::uint64_t(1) << 31) + (std::uint64_t(1) << 20);

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
    ASSERT_TRUE(file.FieldReadBegin("Before"));
    EXPECT_EQ(file.FieldReadI(), 1);
    file.FieldReadEnd();
    ASSERT_TRUE(file.FieldReadBegin("After"));
    EXPECT_EQ(file.FieldReadI(), 2);
    EXPECT_STREQ(file.FieldReadS().Buffer(), "far");
    file.FieldReadEnd();
    EXPECT_EQ(file.GetLastErrorCode(), -1) << file.GetLastErrorText();
    file.FileClose();
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
