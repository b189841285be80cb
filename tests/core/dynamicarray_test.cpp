#include <fbxfilesdk/core/DynamicArray.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

using namespace fbxsdk_2006_11_1;

namespace {
void FillWithIndexes(DynamicArrayOf<std::int32_t>& array, int n) {
    for (int i = 0; i < n; ++i) ASSERT_EQ(array.Add(i), i);
}
}  // namespace

TEST(DynamicArray, AllocatesNothingUntilFirstInsertThenDoublesWhenFull) {
    DynamicArrayOf<std::int32_t> array(16);
    EXPECT_EQ(array.GetData(), nullptr);
    EXPECT_EQ(array.GetBlockCount(), 0);
    array.Add(0);
    EXPECT_NE(array.GetData(), nullptr);
    EXPECT_EQ(array.GetBlockCount(), 1);
    for (int i = 1; i < 16; ++i) array.Add(i);
    EXPECT_EQ(array.GetBlockCount(), 1);
    array.Add(16);  // the 17th item
    EXPECT_EQ(array.GetBlockCount(), 2);
    EXPECT_EQ(array.GetCount(), 17);
    for (int i = 17; i < 33; ++i) array.Add(i);
    EXPECT_EQ(array.GetBlockCount(), 4);
    for (int i = 0; i < 33; ++i) EXPECT_EQ(array.GetAt(i), i);
}

TEST(DynamicArray, InsertAtClampsPastCountShiftsAndRefusesNegativeIndex) {
    DynamicArrayOf<std::int32_t> array(4);
    FillWithIndexes(array, 3);  // 0 1 2
    EXPECT_EQ(array.InsertAt(99, 30), 3);
    EXPECT_EQ(array.InsertAt(1, 10), 1);
    EXPECT_EQ(array.InsertAt(-1, 5), -1);
    EXPECT_EQ(array.DynamicArray::InsertAt(0, nullptr), -1);
    const std::int32_t expected[] = {0, 10, 1, 2, 30};
    ASSERT_EQ(array.GetCount(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(array.GetAt(i), expected[i]);
}

TEST(DynamicArray, InsertingAnItemOfTheSameArrayWhileItGrowsCopiesTheRightValue) {
    DynamicArrayOf<std::int32_t> array(4);
    FillWithIndexes(array, 4);  // full: the insert reallocates, the shift moves item 3
    ASSERT_EQ(array.DynamicArray::InsertAt(0, array.GetItemAt(3)), 0);
    EXPECT_EQ(array.GetAt(0), 3);
    EXPECT_EQ(array.GetAt(4), 3);
    // 3 0 1 2 3: no growth now, but the shift moves the source item
    ASSERT_EQ(array.DynamicArray::InsertAt(1, array.GetItemAt(3)), 1);
    EXPECT_EQ(array.GetAt(1), 2);
    EXPECT_EQ(array.GetAt(4), 2);
}

TEST(DynamicArray, RemoveKeepsStorageAndAccessOutsideTheCountIsRefused) {
    DynamicArrayOf<std::int32_t> array(4);
    FillWithIndexes(array, 6);
    EXPECT_TRUE(array.RemoveAt(1));
    EXPECT_FALSE(array.RemoveAt(5));
    EXPECT_FALSE(array.RemoveAt(-1));
    EXPECT_EQ(array.GetCount(), 5);
    EXPECT_EQ(array.GetBlockCount(), 2);
    const std::int32_t expected[] = {0, 2, 3, 4, 5};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(array.GetAt(i), expected[i]);
    EXPECT_EQ(array.GetItemAt(5), nullptr);
    EXPECT_EQ(array.GetAt(5), 0);
    EXPECT_FALSE(array.SetAt(5, 1));
    // What a removal leaves in the storage does not come back with the count.
    ASSERT_TRUE(array.SetCount(6));
    EXPECT_EQ(array.GetAt(5), 0);
    array.RemoveAll();
    EXPECT_EQ(array.GetBlockCount(), 2);
    ASSERT_TRUE(array.SetCount(1));
    EXPECT_EQ(array.GetAt(0), 0);
    array.Clear();
    EXPECT_EQ(array.GetData(), nullptr);
}

TEST(DynamicArray, SetCountSizesStorageExactlyAndZeroesWhatItExposes) {
    DynamicArrayOf<std::int32_t> array(4);
    ASSERT_TRUE(array.SetCount(0));
    EXPECT_EQ(array.GetBlockCount(), 1);  // zero items still keep one block

    FillWithIndexes(array, 10);
    EXPECT_EQ(array.GetBlockCount(), 4);  // appends double the storage: 1, 2, 4 blocks
    ASSERT_TRUE(array.SetCount(2));  // shrinks the storage to one block, zeroes items 2..3
    EXPECT_EQ(array.GetBlockCount(), 1);
    ASSERT_TRUE(array.SetCount(4));
    EXPECT_EQ(array.GetAt(1), 1);
    EXPECT_EQ(array.GetAt(2), 0);
    EXPECT_EQ(array.GetAt(3), 0);
    ASSERT_TRUE(array.SetCount(9));  // grows to three blocks, zero-filled
    EXPECT_EQ(array.GetBlockCount(), 3);
    for (int i = 4; i < 9; ++i) EXPECT_EQ(array.GetAt(i), 0);
    EXPECT_FALSE(array.SetCount(-1));
    EXPECT_EQ(array.GetCount(), 9);
}

TEST(DynamicArray, SetCountWithinFreshInsertStorageReadsZeros) {
    DynamicArrayOf<std::int32_t> array(8);
    array.Add(42);  // one block, seven never-written items behind the count
    ASSERT_TRUE(array.SetCount(8));
    for (int i = 1; i < 8; ++i) EXPECT_EQ(array.GetAt(i), 0);
}

TEST(DynamicArray, SetCountForOverwriteKeepsTheItemsBelowTheOldCountAndZeroesPastTheNewOne) {
    DynamicArrayOf<std::int32_t> array(4);
    FillWithIndexes(array, 3);
    ASSERT_TRUE(array.SetCountForOverwrite(6));  // two blocks: items 3..5 are the caller's to write
    EXPECT_EQ(array.GetCount(), 6);
    EXPECT_EQ(array.GetBlockCount(), 2);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(array.GetAt(i), i);
    for (int i = 3; i < 6; ++i) array.SetAt(i, 10 + i);
    // Storage past the count stays zero: a later SetCount exposes zeros only.
    ASSERT_TRUE(array.SetCount(8));
    EXPECT_EQ(array.GetAt(5), 15);
    EXPECT_EQ(array.GetAt(6), 0);
    EXPECT_EQ(array.GetAt(7), 0);

    // Shrinking is SetCount's.
    ASSERT_TRUE(array.SetCountForOverwrite(2));
    EXPECT_EQ(array.GetBlockCount(), 1);
    ASSERT_TRUE(array.SetCount(4));
    EXPECT_EQ(array.GetAt(1), 1);
    EXPECT_EQ(array.GetAt(2), 0);

    EXPECT_FALSE(array.SetCountForOverwrite(-1));
    // A capacity past what the count can hold is refused before allocating.
    DynamicArrayOf<std::int32_t> wide(1 << 30);
    EXPECT_FALSE(wide.SetCountForOverwrite((1 << 30) + 1));
    EXPECT_EQ(wide.GetCount(), 0);
    EXPECT_EQ(wide.GetData(), nullptr);
    EXPECT_EQ(array.GetCount(), 4);
}

TEST(DynamicArray, ResizeDownThenGrowYieldsZeroedItemsAtTheEnd) {
    DynamicArrayOf<std::int32_t> array(16);
    for (int i = 1; i <= 5; ++i) array.Add(i);
    ASSERT_TRUE(array.Resize(2));
    EXPECT_EQ(array.GetArray()[3], 4);  // shrinking keeps the bytes
    ASSERT_TRUE(array.Grow(3));
    ASSERT_EQ(array.GetCount(), 5);
    EXPECT_EQ(array.GetAt(1), 2);
    for (int i = 2; i < 5; ++i) EXPECT_EQ(array.GetAt(i), 0);
    ASSERT_TRUE(array.Resize(40));
    EXPECT_EQ(array.GetBlockCount(), 3);
    EXPECT_EQ(array.GetAt(39), 0);
    EXPECT_TRUE(array.Grow(0));
    EXPECT_FALSE(array.Grow(-1));
    EXPECT_FALSE(array.Resize(-1));
    EXPECT_EQ(array.GetCount(), 40);
}

TEST(DynamicArray, PointerArraysHoldFull64BitAddresses) {
    auto first = std::make_unique<double>(1.0);
    auto second = std::make_unique<double>(2.0);
    int onStack = 0;
    // Heap and stack addresses on x86-64 Linux lie above 4 GiB.
    ASSERT_NE(reinterpret_cast<std::uintptr_t>(second.get()) >> 32, 0u);
    ASSERT_NE(reinterpret_cast<std::uintptr_t>(&onStack) >> 32, 0u);

    DynamicArrayOf<void*> array(16);
    EXPECT_EQ(array.GetItemSize(), static_cast<int>(sizeof(void*)));
    EXPECT_EQ(array.AddPointer(first.get()), 0);
    EXPECT_EQ(array.AddPointer(second.get()), 1);
    EXPECT_EQ(array.Add(&onStack), 2);
    EXPECT_EQ(array.GetAt(1), second.get());
    EXPECT_EQ(*static_cast<double*>(array.GetAt(1)), 2.0);
    EXPECT_EQ(array.DynamicArray::Pop(), &onStack);
    EXPECT_EQ(array.Pop(), second.get());
    EXPECT_EQ(array.Pop(), first.get());
    EXPECT_EQ(array.Pop(), nullptr);
    EXPECT_EQ(array.DynamicArray::Pop(), nullptr);
    EXPECT_EQ(array.GetCount(), 0);
}

TEST(DynamicArray, MoveLeavesTheSourceEmptyWithItsShape) {
    DynamicArrayOf<std::int32_t> source(4);
    FillWithIndexes(source, 5);
    DynamicArrayOf<std::int32_t> target(1);
    target.Add(9);
    target = std::move(source);
    EXPECT_EQ(target.GetCount(), 5);
    EXPECT_EQ(target.GetItemsPerBlock(), 4);
    EXPECT_EQ(target.GetAt(4), 4);
    EXPECT_EQ(source.GetCount(), 0);
    EXPECT_EQ(source.GetData(), nullptr);
    EXPECT_EQ(source.GetItemSize(), 4);
}

namespace {
struct FakeObject {
    int destroyCalls = 0;
    bool lastFlag = true;
    void Destroy(bool flag, bool = false) {
        ++destroyCalls;
        lastFlag = flag;
    }
};
}  // namespace

TEST(DynamicArray, DestroyObjectItemDestroysWithFalseAndAcceptsNull) {
    FakeObject object;
    EXPECT_TRUE(DestroyObjectItem(&object));
    EXPECT_EQ(object.destroyCalls, 1);
    EXPECT_FALSE(object.lastFlag);
    EXPECT_TRUE(DestroyObjectItem(static_cast<FakeObject*>(nullptr)));
}
