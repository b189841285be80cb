// The containers under an allocator that fails on demand: every refused
// allocation must leave the container exactly as it was.
#include <fbxfilesdk/core/DynamicArray.h>
#include <fbxfilesdk/core/KSortedPointerMap.h>
#include <fbxfilesdk/core/KSortedStringTable.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace fbxsdk_2006_11_1;

namespace {
int gAllowed = -1;  // allocations that may still succeed; -1 for no limit
int gCalls = 0;
std::size_t gLargest = SIZE_MAX;  // larger blocks are refused

bool Permit() {
    ++gCalls;
    if (gAllowed == 0) return false;
    if (gAllowed > 0) --gAllowed;
    return true;
}
void* LimitedMalloc(std::size_t n) { return Permit() ? std::malloc(n) : nullptr; }
void* LimitedCalloc(std::size_t c, std::size_t n) { return Permit() ? std::calloc(c, n) : nullptr; }
void* LimitedRealloc(void* p, std::size_t n) { return Permit() && n <= gLargest ? std::realloc(p, n) : nullptr; }

class ContainersUnderFailingAllocator : public ::testing::Test {
protected:
    void SetUp() override {
        gAllowed = -1;
        gCalls = 0;
        gLargest = SIZE_MAX;
        ASSERT_TRUE(SdkSetAllocators(&LimitedMalloc, &LimitedCalloc, &LimitedRealloc, &std::free));
    }
    void TearDown() override { SdkSetAllocators(&std::malloc, &std::calloc, &std::realloc, &std::free); }
    static void FailFromNow() { gAllowed = 0; }
    static void Succeed() { gAllowed = -1; }
};
}  // namespace

TEST_F(ContainersUnderFailingAllocator, FailedInsertLeavesTheArrayUnchanged) {
    DynamicArrayOf<std::int32_t> array(4);
    FailFromNow();
    EXPECT_EQ(array.Add(1), -1);
    EXPECT_EQ(array.GetData(), nullptr);
    EXPECT_EQ(array.GetBlockCount(), 0);

    Succeed();
    for (int i = 0; i < 4; ++i) array.Add(i);
    void* const data = array.GetData();
    FailFromNow();
    EXPECT_EQ(array.InsertAt(0, 99), -1);
    EXPECT_EQ(array.AddPointer(nullptr), -1);
    EXPECT_EQ(array.GetCount(), 4);
    EXPECT_EQ(array.GetBlockCount(), 1);
    EXPECT_EQ(array.GetData(), data);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(array.GetAt(i), i);
}

TEST_F(ContainersUnderFailingAllocator, FailedGrowthReportsFalseAndChangesNothing) {
    DynamicArrayOf<std::int32_t> array(4);
    for (int i = 0; i < 3; ++i) array.Add(i + 1);
    FailFromNow();
    EXPECT_FALSE(array.SetCount(5));
    EXPECT_FALSE(array.Grow(2));
    EXPECT_FALSE(array.Resize(9));
    EXPECT_EQ(array.GetCount(), 3);
    EXPECT_EQ(array.GetBlockCount(), 1);
    EXPECT_EQ(array.GetAt(2), 3);
    EXPECT_TRUE(array.Grow(1));  // fits the block: no allocation needed
    EXPECT_EQ(array.GetAt(3), 0);
}

TEST_F(ContainersUnderFailingAllocator, AppendingOneAtATimeReallocatesLogarithmicallyOften) {
    constexpr int kItems = 1 << 16;  // 4096 blocks of 16
    DynamicArrayOf<std::int32_t> added;
    for (int i = 0; i < kItems; ++i) ASSERT_EQ(added.Add(i), i);
    EXPECT_LE(gCalls, 14);
    EXPECT_LE(added.GetBlockCount(), 2 * kItems / 16);

    gCalls = 0;
    DynamicArrayOf<std::int32_t> grown;
    for (int i = 0; i < kItems; ++i) {
        ASSERT_TRUE(grown.Grow(1));
        grown.SetAt(i, i + 1);
    }
    EXPECT_LE(gCalls, 14);
    for (int i : {0, 4095, kItems - 1}) {
        EXPECT_EQ(added.GetAt(i), i);
        EXPECT_EQ(grown.GetAt(i), i + 1);
    }
    // Shrunk, then grown again within its storage: the new items read zero.
    ASSERT_TRUE(grown.Resize(10));
    ASSERT_TRUE(grown.Grow(3));
    EXPECT_EQ(grown.GetAt(9), 10);
    for (int i = 10; i < 13; ++i) EXPECT_EQ(grown.GetAt(i), 0);
}

TEST_F(ContainersUnderFailingAllocator, WhenTheDoubledStorageIsRefusedOneMoreBlockStillIs) {
    DynamicArrayOf<std::int32_t> array(4);
    for (int i = 0; i < 16; ++i) array.Add(i);  // 4 blocks, full
    ASSERT_EQ(array.GetBlockCount(), 4);
    gLargest = 5 * 4 * sizeof(std::int32_t);
    EXPECT_EQ(array.Add(16), 16);
    EXPECT_EQ(array.GetBlockCount(), 5);
    EXPECT_TRUE(array.Grow(3));  // fills the five blocks
    EXPECT_EQ(array.GetBlockCount(), 5);
    EXPECT_FALSE(array.Grow(1));  // neither 10 blocks nor 6 fit
    EXPECT_EQ(array.GetCount(), 20);
    for (int i = 0; i < 17; ++i) EXPECT_EQ(array.GetAt(i), i);
    for (int i = 17; i < 20; ++i) EXPECT_EQ(array.GetAt(i), 0);
}

TEST_F(ContainersUnderFailingAllocator, SizesBeyondTheCountRangeAreRefusedBeforeAllocating) {
    DynamicArray array(1 << 30, 8);
    EXPECT_FALSE(array.SetCount((1 << 30) + 1));  // two blocks: 2^31 items
    DynamicArrayOf<std::int32_t> small(4);
    small.Add(1);
    gCalls = 0;
    EXPECT_FALSE(small.Grow(INT_MAX));
    EXPECT_FALSE(small.SetCount(INT_MAX));  // 2^29 blocks of 4 = 2^31 items
    EXPECT_EQ(gCalls, 0);
    EXPECT_EQ(array.GetBlockCount(), 0);
    EXPECT_EQ(small.GetCount(), 1);
}

TEST_F(ContainersUnderFailingAllocator, SortedTablesGrowOneBlockPerFullAllocation) {
    KSortedPointerMap map(2);
    for (std::uintptr_t k = 1; k <= 5; ++k) map.Add(reinterpret_cast<const void*>(k), nullptr);
    EXPECT_EQ(gCalls, 3);
}

TEST_F(ContainersUnderFailingAllocator, FailedTableAddsLeaveTheTablesUsable) {
    KSortedPointerMap map(1);
    int value = 0;
    map.Add(&value, &value);
    FailFromNow();
    EXPECT_FALSE(map.Add(&gCalls, &gCalls));
    EXPECT_EQ(map.GetCount(), 1);
    EXPECT_EQ(map.Find(&value), &value);

    Succeed();
    KSortedStringTable table(1);
    table.Add("kept", &value);
    FailFromNow();
    EXPECT_FALSE(table.Add("lost", &value));  // the key copy fails
    gAllowed = 1;
    EXPECT_FALSE(table.Add("lost", &value));  // the key copy succeeds, the pairs cannot grow
    EXPECT_EQ(table.GetCount(), 1);
    EXPECT_EQ(table.Find("KEPT"), &value);
    EXPECT_EQ(table.Find("lost"), nullptr);
}

TEST_F(ContainersUnderFailingAllocator, FailedStringListOperationsLeaveTheListAsItWas) {
    const std::string longText(80, 'n');
    const KString heapText(longText.c_str());  // long enough to need a heap block of its own
    KStringList list;
    list.Add("a");
    FailFromNow();
    EXPECT_EQ(list.Add("b"), -1);  // no item block
    gAllowed = 1;
    EXPECT_EQ(list.Add(heapText), -1);  // item made, its text cannot be copied
    EXPECT_EQ(list.GetCount(), 1);

    Succeed();
    KStringList source;
    for (int i = 0; i < 20; ++i) source.Add(heapText);
    gAllowed = 10;
    EXPECT_FALSE(list.CopyFrom(source));
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_STREQ(list.GetStringAt(0), "a");
}
