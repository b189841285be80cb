#include <platform/os/LargeBlocks.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/mman.h>

using namespace qalimor::os;

namespace {

constexpr std::uintptr_t kLargePage = std::uintptr_t(2) << 20;

// The flags the system keeps for the mapping that holds the address.
std::string FlagsOfMappingAt(const void* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t begin = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> begin >> dash >> end && dash == '-' && line.find(':') > line.find(' ')) {
            inside = begin <= at && at < end;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return line;
        }
    }
    return {};
}

bool LargePagesOnRequest() {
    std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(mode, text);
    return text.find("[madvise]") != std::string::npos || text.find("[always]") != std::string::npos;
}

struct Mapping {
    explicit Mapping(std::size_t size) : size(size) {
        void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base = p == MAP_FAILED ? nullptr : static_cast<unsigned char*>(p);
    }
    ~Mapping() {
        if (base != nullptr) munmap(base, size);
    }
    unsigned char* base;
    std::size_t size;
};

}  // namespace

TEST(OsLargeBlocks, OnlyTheWholeLargePagesInsideTheBlockAreAdvised) {
    if (!LargePagesOnRequest()) GTEST_SKIP() << "this system gives no large pages on request";
    Mapping mapping(5 * kLargePage);
    ASSERT_NE(mapping.base, nullptr);
    const auto start = reinterpret_cast<std::uintptr_t>(mapping.base);
    const std::uintptr_t firstLarge = (start + kLargePage - 1) & ~(kLargePage - 1);
    // A block that starts a page past a large-page boundary covers whole large
    // pages only from the next boundary on.
    unsigned char* block = reinterpret_cast<unsigned char*>(firstLarge) + 4096;
    AdviseLargePages(block, 3 * kLargePage);
    EXPECT_EQ(FlagsOfMappingAt(block).find(" hg"), std::string::npos);
    EXPECT_NE(FlagsOfMappingAt(block + kLargePage).find(" hg"), std::string::npos);
    EXPECT_NE(FlagsOfMappingAt(block + 2 * kLargePage).find(" hg"), std::string::npos);
    EXPECT_EQ(FlagsOfMappingAt(block + 3 * kLargePage).find(" hg"), std::string::npos);
    // The advice changes nothing that the block holds.
    block[0] = 7;
    block[3 * kLargePage - 1] = 9;
    EXPECT_EQ(block[0] + block[3 * kLargePage - 1], 16);
}

TEST(OsLargeBlocks, ABlockWithoutAWholeLargePageIsLeftAlone) {
    Mapping mapping(3 * kLargePage);
    ASSERT_NE(mapping.base, nullptr);
    const auto start = reinterpret_cast<std::uintptr_t>(mapping.base);
    unsigned char* block = reinterpret_cast<unsigned char*>(((start + kLargePage - 1) & ~(kLargePage - 1)) + 4096);
    AdviseLargePages(block, kLargePage);
    AdviseLargePages(nullptr, 0);
    EXPECT_EQ(FlagsOfMappingAt(block).find(" hg"), std::string::npos);
}
