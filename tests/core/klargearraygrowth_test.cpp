#include <fbxfilesdk/core/KLargeArrayGrowth.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace fbxsdk_2006_11_1;

TEST(KLargeArrayGrowth, ItemsMoveIntoTheLargerBlockUnchanged) {
    std::vector<std::unique_ptr<int>> items;
    for (int i = 0; i < 5; ++i) items.push_back(std::make_unique<int>(i));
    // Large enough for the block to be advised.
    KReserveLarge(items, (std::size_t(8) << 20) / sizeof(items[0]));
    ASSERT_EQ(items.size(), 5u);
    EXPECT_GE(items.capacity() * sizeof(items[0]), std::size_t(8) << 20);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(*items[static_cast<std::size_t>(i)], i);
    // A smaller capacity than the one held changes nothing.
    const auto* data = items.data();
    KReserveLarge(items, 3);
    EXPECT_EQ(items.data(), data);
}

TEST(KLargeArrayGrowth, GrowingForMoreDoublesAtLeast) {
    std::vector<int> items(10, 7);
    items.shrink_to_fit();
    KReserveLargeForMore(items, 1);
    EXPECT_GE(items.capacity(), 20u);
    KReserveLargeForMore(items, 1000);
    EXPECT_GE(items.capacity(), 1010u);
    const std::size_t held = items.capacity();
    KReserveLargeForMore(items, held - items.size());
    EXPECT_EQ(items.capacity(), held);
    EXPECT_EQ(items, std::vector<int>(10, 7));
}
