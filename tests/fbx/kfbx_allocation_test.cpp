// Files that claim more than they hold must not make the reader allocate it:
// every allocation is watched through a replaced global operator new.
#include <fbxfilesdk/fbx/KFbx.h>

#include <fbxfilesdk/core/KCrcFile.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

std::atomic<bool> gWatching{false};
std::atomic<std::size_t> gLargest{0};

}  // namespace

void* operator new(std::size_t size) {
    if (gWatching.load(std::memory_order_relaxed)) {
        std::size_t largest = gLargest.load(std::memory_order_relaxed);
        while (size > largest && !gLargest.compare_exchange_weak(largest, size)) {
        }
    }
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

// The pair allocates with malloc and frees with free, which the compiler
// cannot see across the replacement.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
#pragma GCC diagnostic pop

namespace fbxsdk_2006_11_1 {
namespace {

void PutLittleEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

std::string RecordClaiming(char type, std::uint32_t claimedCount, std::uint64_t end = 0) {
    std::string values(1, type);
    PutLittleEndian(values, claimedCount, 4);
    values += std::string(8, '\x7f');
    std::string record;
    PutLittleEndian(record, end != 0 ? end : 22 + 1 + values.size(), 8);
    PutLittleEndian(record, claimedCount, 4);
    PutLittleEndian(record, values.size(), 8);
    record.push_back(0);
    record.push_back(1);
    return record + "a" + values;
}

// The largest single allocation made while opening the bytes.
std::size_t LargestAllocationOpening(const std::string& bytes, bool binary) {
    gLargest = 0;
    gWatching = true;
    {
        KFbx file;
        EXPECT_FALSE(file.FileOpen(bytes.data(), static_cast<int>(bytes.size()), binary));
    }
    gWatching = false;
    return gLargest;
}

TEST(FieldFileAllocationTest, ClaimedSizesAreCheckedBeforeAnythingIsAllocated) {
    const std::vector<std::string> lies = {
        RecordClaiming('d', 1u << 27),
        RecordClaiming('i', 0xFFFFFFFFu),
        RecordClaiming('S', 1u << 30),
        RecordClaiming('R', 0xFFFFFFF0u),
        RecordClaiming('I', 1, std::uint64_t(1) << 62),
    };
    for (const std::string& bytes : lies) EXPECT_LT(LargestAllocationOpening(bytes, true), 4096u);

    std::string text = "A: \"" + std::string(1000, 'x');  // a string that never ends
    EXPECT_LT(LargestAllocationOpening(text, false), 8 * text.size());
}

TEST(FieldFileAllocationTest, AFileWithASoundTrailerStillHasItsClaimsChecked) {
    // A binary file whose trailer is right but whose section claims to run
    // far past the end: only the file's own size is ever allocated.
    std::string bytes("FieldTree-B\r\n\x1a\n", 15);
    bytes.push_back('\0');
    PutLittleEndian(bytes, 1, 4);      // header layout
    PutLittleEndian(bytes, 6100, 4);   // file version
    PutLittleEndian(bytes, 0, 4);      // flags
    bytes += std::string(72 - bytes.size(), '\0');
    bytes += std::string(16, 's');     // salt
    PutLittleEndian(bytes, 20000, 4);  // rounds
    bytes += std::string(32, '\0');    // check
    PutLittleEndian(bytes, 0, 4);      // creator
    PutLittleEndian(bytes, std::uint64_t(1) << 40, 8);
    PutLittleEndian(bytes, 6100, 4);
    bytes += RecordClaiming('d', 1u << 27);
    ScratchFolder folder;
    const std::string path = folder / "lie.fbx";
    KCrcFile writer;
    ASSERT_TRUE(writer.OpenWithModeString(path.c_str(), "w+b"));
    ASSERT_EQ(writer.Write(bytes.data(), static_cast<int>(bytes.size())), static_cast<int>(bytes.size()));
    ASSERT_TRUE(writer.Close());

    gLargest = 0;
    gWatching = true;
    {
        KFbx file;
        EXPECT_FALSE(file.FileOpen(path.c_str()));
        EXPECT_EQ(file.GetLastErrorCode(), KFbx::eFileCorrupted) << file.GetLastErrorText();
    }
    gWatching = false;
    EXPECT_LT(gLargest.load(), 4096u);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
