#include <fbxfilesdk/core/SdkAlloc.h>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace fbxsdk_2006_11_1;

namespace {
int gCalls = 0;
void* countingMalloc(std::size_t n) { ++gCalls; return std::malloc(n); }
void* countingCalloc(std::size_t c, std::size_t n) { ++gCalls; return std::calloc(c, n); }
void* countingRealloc(void* p, std::size_t n) { ++gCalls; return std::realloc(p, n); }
void countingFree(void* p) { ++gCalls; std::free(p); }
}  // namespace

TEST(SdkAlloc, FreeIgnoresNullAndReallocOfNullAllocates) {
    SdkFree(nullptr);
    void* p = SdkRealloc(nullptr, 16);
    ASSERT_NE(p, nullptr);
    SdkFree(p);
}

TEST(SdkAlloc, AllocatorsAreReplacedAllTogetherOrNotAtAll) {
    EXPECT_FALSE(SdkSetAllocators(&countingMalloc, nullptr, nullptr, nullptr));
    gCalls = 0;
    SdkFree(SdkMalloc(8));
    EXPECT_EQ(gCalls, 0);

    ASSERT_TRUE(SdkSetAllocators(&countingMalloc, &countingCalloc, &countingRealloc, &countingFree));
    SdkFree(SdkRealloc(SdkCalloc(2, 4), 32));
    EXPECT_EQ(gCalls, 3);
    ASSERT_TRUE(SdkSetAllocators(&std::malloc, &std::calloc, &std::realloc, &std::free));
}
