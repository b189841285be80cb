#include <fbxfilesdk/core/KFbxContentDigest.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

using namespace fbxsdk_2006_11_1;

namespace {

std::uint64_t DigestInBlocks(const std::string& bytes, std::size_t block) {
    KFbxContentDigest digest;
    for (std::size_t at = 0; at < bytes.size(); at += block) {
        digest.Add(bytes.data() + at, std::min(block, bytes.size() - at));
    }
    return digest.Value();
}

// A file read in blocks of one size is found again among files read in
// blocks of another; a byte changed or added is another digest.
TEST(KFbxContentDigest, DependsOnTheBytesAloneNotOnTheBlocksTheyCameIn) {
    std::string bytes(1000, '\0');
    for (std::size_t at = 0; at < bytes.size(); ++at) bytes[at] = static_cast<char>((at * 7919) >> 3);
    for (const std::size_t size : {0, 1, 63, 64, 65, 1000}) {
        const std::string some = bytes.substr(0, size);
        const std::uint64_t whole = DigestInBlocks(some, bytes.size());
        for (const std::size_t block : {1, 7, 64, 100}) EXPECT_EQ(DigestInBlocks(some, block), whole) << size;
        std::string other = some + '\0';
        EXPECT_NE(DigestInBlocks(other, bytes.size()), whole) << size;
        other = some;
        if (size > 0) other[size / 2] ^= 1;
        EXPECT_EQ(DigestInBlocks(other, bytes.size()) == whole, size == 0) << size;
    }
}

}  // namespace
