#include <fbxfilesdk/core/KBlockRecycler.h>
#include <fbxfilesdk/core/KRecycledContainers.h>

#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/KProperty.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// Blocks taken back from the lists are handed out again: fill them all to
// catch one handed out twice or too small.
std::vector<void*> TakeFilled(std::size_t size, int count, unsigned char fill) {
    std::vector<void*> blocks;
    for (int i = 0; i < count; ++i) {
        void* block = KBlockRecycler::Allocate(size);
        EXPECT_NE(block, nullptr);
        std::memset(block, fill, size);
        blocks.push_back(block);
    }
    return blocks;
}

void GiveBack(const std::vector<void*>& blocks, std::size_t size) {
    for (void* block : blocks) {
        KBlockRecycler::Free(block, size);
    }
}

}  // namespace

TEST(KBlockRecyclerTest, FreedBlocksServeTheNextRequestsOfTheirSizeOnly) {
    if (!KBlockRecycler::Recycles()) {
        GTEST_SKIP() << "blocks go straight back to the heap in this build";
    }
    struct Case {
        std::size_t mFreedSize;
        std::size_t mAskedSize;
        // Whether the freed block waits on a list, and whether the request takes it.
        bool mKept;
        bool mReused;
    };
    const Case cases[] = {
        {24, 24, true, true},     // the same size
        {17, 24, true, true},     // sizes of one class share it
        {24, 25, true, false},    // the next class up
        {40, 33, true, true},
        {200, 100, true, false},  // a smaller class never takes a larger block
        {KBlockRecycler::kLargestKept, KBlockRecycler::kLargestKept, true, true},
        {KBlockRecycler::kLargestKept + 1, KBlockRecycler::kLargestKept + 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mFreedSize << " then " << c.mAskedSize);
        const std::size_t keptBefore = KBlockRecycler::KeptCount();
        void* freed = KBlockRecycler::Allocate(c.mFreedSize);
        ASSERT_NE(freed, nullptr);
        std::memset(freed, 0x5A, c.mFreedSize);
        const std::size_t keptTaking = KBlockRecycler::KeptCount();
        KBlockRecycler::Free(freed, c.mFreedSize);
        EXPECT_EQ(KBlockRecycler::KeptCount(), keptTaking + (c.mKept ? 1 : 0));
        void* next = KBlockRecycler::Allocate(c.mAskedSize);
        ASSERT_NE(next, nullptr);
        std::memset(next, 0xA5, c.mAskedSize);
        if (c.mKept) {
            // The heap never hands out a block that waits on a list.
            EXPECT_EQ(next == freed, c.mReused);
        }
        KBlockRecycler::Free(next, c.mAskedSize);
        EXPECT_LE(KBlockRecycler::KeptCount(), keptBefore + 2);
    }
}

TEST(KBlockRecyclerTest, ListsKeepABoundedNumberOfBytesAndHandEachBlockOutOnce) {
    const std::size_t size = 3000;
    const int many = static_cast<int>(KBlockRecycler::kKeptBytes / size) + 100;
    std::vector<void*> blocks = TakeFilled(size, many, 0x11);
    GiveBack(blocks, size);
    // Past the bound the heap takes the blocks back.
    EXPECT_LE(KBlockRecycler::KeptBytes(), KBlockRecycler::kKeptBytes);
    if (KBlockRecycler::Recycles()) {
        EXPECT_GT(KBlockRecycler::KeptBytes(), KBlockRecycler::kKeptBytes - 2 * size);
    }
    std::vector<void*> again = TakeFilled(size, many, 0x22);
    std::vector<void*> sorted = again;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
    for (void* block : again) {
        const auto* bytes = static_cast<const unsigned char*>(block);
        ASSERT_EQ(bytes[0], 0x22);
        ASSERT_EQ(bytes[size - 1], 0x22);
    }
    GiveBack(again, size);
}

TEST(KBlockRecyclerTest, APropertyFreedThroughItsBaseReturnsAWholeBlockOfItsOwnClass) {
    if (!KBlockRecycler::Recycles()) {
        GTEST_SKIP() << "blocks go straight back to the heap in this build";
    }
    KObject owner;
    const auto make = [&](const char* name, int type) {
        return owner.CreateDynamicProperty(name, type, nullptr, false, false, nullptr, false);
    };
    KProperty* matrix = make("m", eKPropertyMatrix4x4);
    KProperty* flag = make("b", eKPropertyBool);
    ASSERT_NE(matrix, nullptr);
    ASSERT_NE(flag, nullptr);
    void* matrixBlock = matrix;
    ASSERT_TRUE(owner.DestroyPropertyAt(owner.IndexOfProperty(matrix)));
    // A smaller property never lands in the matrix's block, a matrix does,
    // and its whole value is usable there.
    KProperty* smaller = make("b2", eKPropertyBool);
    KProperty* again = make("m2", eKPropertyMatrix4x4);
    ASSERT_NE(smaller, nullptr);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(static_cast<void*>(smaller), matrixBlock);
    EXPECT_EQ(static_cast<void*>(again), matrixBlock);
    double values[16];
    for (int i = 0; i < 16; ++i) {
        values[i] = i + 0.5;
    }
    ASSERT_TRUE(again->SetValue(values));
    double read[16] = {};
    ASSERT_TRUE(again->GetValue(read));
    EXPECT_EQ(std::memcmp(values, read, sizeof(values)), 0);
    EXPECT_STREQ(flag->GetName(), "b");
}

TEST(KBlockRecyclerTest, AThreadStartsWithEmptyListsAndItsBlocksDoNotReachOthers) {
    const std::size_t size = 64;
    void* here = KBlockRecycler::Allocate(size);
    KBlockRecycler::Free(here, size);
    std::size_t keptThere = 1;
    void* there = nullptr;
    std::thread worker([&] {
        keptThere = KBlockRecycler::KeptCount();
        there = KBlockRecycler::Allocate(size);
        KBlockRecycler::Free(there, size);
    });
    worker.join();
    EXPECT_EQ(keptThere, 0u);
    // The worker's block went back to the heap with the worker, not to this thread.
    void* next = KBlockRecycler::Allocate(size);
    if (KBlockRecycler::Recycles()) {
        EXPECT_EQ(next, here);
    }
    KBlockRecycler::Free(next, size);
}

TEST(KBlockRecyclerTest, ContainersUnderTheRecycledAllocatorBehaveAsUnderTheHeapsOwn) {
    // A reader's maps are visited in their order: it must not depend on
    // where the nodes come from.
    std::unordered_map<std::string, int> heap;
    KRecycledHashMap<std::string, int> recycled;
    for (int i = 0; i < 300; ++i) {
        const std::string id = "geometry-" + std::to_string(i * 7919 % 1000);
        heap.try_emplace(id, i);
        recycled.try_emplace(id, i);
    }
    ASSERT_EQ(heap.size(), recycled.size());
    auto other = recycled.begin();
    for (const auto& [id, value] : heap) {
        EXPECT_EQ(other->first, id);
        EXPECT_EQ(other->second, value);
        ++other;
    }
    KRecycledVector<int> values;
    for (int i = 0; i < 5000; ++i) {
        values.push_back(i);
    }
    EXPECT_EQ(values[4999], 4999);
    // Every value survives the moves from kept blocks to the heap's.
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(values[static_cast<std::size_t>(i)], i);
    }
    // Failing as the heap's allocator does, which the callers catch.
    EXPECT_THROW(values.get_allocator().allocate(static_cast<std::size_t>(-1) / 2), std::bad_alloc);
    if (KBlockRecycler::Recycles()) {
        // A container gives its block back under the size it took it with:
        // the next request of that size takes the very block, and no other
        // size's list holds it.
        const void* given = nullptr;
        {
            KRecycledVector<std::int64_t> ten;
            ten.reserve(10);
            given = ten.data();
        }
        void* other = KBlockRecycler::Allocate(200);
        void* again = KBlockRecycler::Allocate(10 * sizeof(std::int64_t));
        EXPECT_NE(other, given);
        EXPECT_EQ(again, given);
        KBlockRecycler::Free(again, 10 * sizeof(std::int64_t));
        KBlockRecycler::Free(other, 200);
    }
}
