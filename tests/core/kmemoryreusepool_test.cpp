#include <fbxfilesdk/core/KMemoryReusePool.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// Counts heap calls so tests can tell pooled blocks from heap blocks.
class CountingAlloc : public KMemoryReusePool::IXAlloc {
public:
    void* Alloc(std::size_t size) override {
        ++mAllocs;
        return std::malloc(size);
    }
    void* Realloc(void* memory, std::size_t size) override { return std::realloc(memory, size); }
    void Free(void* memory) override {
        ++mFrees;
        std::free(memory);
    }
    int mAllocs = 0;
    int mFrees = 0;
};

class MemoryPoolTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(KMemoryReusePool::InitSystem()); }
    void TearDown() override { KMemoryReusePool::TermSystem(); }
    CountingAlloc mHeap;
};

}  // namespace

TEST(MemoryPoolSystem, PoolsNeedTheSystemAndTermSystemClearsTheGlobalPool) {
    KMemoryReusePool::TermSystem();
    EXPECT_EQ(KMemoryReusePool::CreatePool(0x20000, 2, 0, 0), nullptr);
    EXPECT_EQ(KMemoryReusePool::GetGlobalPool(), nullptr);

    // Without a pool system the id-set forms still work, straight on the heap.
    void* early = KMemoryReusePool::AllocateBlock(nullptr, 40);
    ASSERT_NE(early, nullptr);
    EXPECT_GE(KMemoryReusePool::GetUsableSize(early), 40u);

    ASSERT_TRUE(KMemoryReusePool::InitSystem());
    KMemoryReusePool* global = KMemoryReusePool::GetGlobalPool();
    ASSERT_NE(global, nullptr);
    EXPECT_EQ(KMemoryReusePool::GetGlobalPool(), global);
    // A block taken before the system started goes back through the global pool.
    KMemoryReusePool::ReleaseBlock(early);

    void* live = KMemoryReusePool::AllocateBlock(global, 16);
    KMemoryReusePool::TermSystem();
    EXPECT_FALSE(KMemoryReusePool::IsSystemStarted());
    EXPECT_EQ(KMemoryReusePool::GetGlobalPool(), nullptr);
    // A block still in use when the system stopped is a plain heap block.
    KMemoryReusePool::ReleaseBlock(live);
}

TEST_F(MemoryPoolTest, OneByteTakesATwelveByteBlockAndComesBackFromItsFreeList) {
    KMemoryReusePool* pool = KMemoryReusePool::CreatePool(0x20000, 2, 0, 0);
    ASSERT_NE(pool, nullptr);
    void* first = KMemoryReusePool::Allocate(pool, mHeap, 1);
    ASSERT_NE(first, nullptr);
    // 1 + 1 + 7 = 9, rounded to 12; 8 bytes of header.
    EXPECT_EQ(pool->GetBytesHeld(), 12u);
    EXPECT_EQ(pool->GetBlocksHeld(), 1u);
    EXPECT_EQ(KMemoryReusePool::GetUsableSize(first), 4u);

    KMemoryReusePool::FreeBlock(pool, mHeap, first);
    EXPECT_EQ(mHeap.mFrees, 0);
    EXPECT_EQ(pool->GetBytesHeld(), 12u);
    void* again = KMemoryReusePool::Allocate(pool, mHeap, 3);
    EXPECT_EQ(again, first);
    EXPECT_EQ(mHeap.mAllocs, 1);
    KMemoryReusePool::FreeBlock(pool, mHeap, again);
}

TEST_F(MemoryPoolTest, BlocksOfTheLargestPooledSizeGoBackToTheHeap) {
    KMemoryReusePool* pool = KMemoryReusePool::CreatePool(0x20000, 2, 0, 0);
    void* big = KMemoryReusePool::Allocate(pool, mHeap, 0x20000);
    ASSERT_NE(big, nullptr);
    std::memset(big, 0xAB, 0x20000);
    KMemoryReusePool::FreeBlock(pool, mHeap, big);
    EXPECT_EQ(mHeap.mFrees, 1);
    EXPECT_EQ(pool->GetBytesHeld(), 0u);
    EXPECT_EQ(pool->GetBlocksHeld(), 0u);
}

TEST_F(MemoryPoolTest, OverTheLimitFreedBlocksGoBackToTheHeap) {
    KMemoryReusePool* pool = KMemoryReusePool::CreatePool(0x20000, 2, 0, 16);
    void* a = KMemoryReusePool::Allocate(pool, mHeap, 1);
    void* b = KMemoryReusePool::Allocate(pool, mHeap, 1);
    ASSERT_EQ(pool->GetBytesHeld(), 24u);
    KMemoryReusePool::FreeBlock(pool, mHeap, a);  // 24 > 16: to the heap
    EXPECT_EQ(mHeap.mFrees, 1);
    EXPECT_EQ(pool->GetBytesHeld(), 12u);
    KMemoryReusePool::FreeBlock(pool, mHeap, b);  // 12 <= 16: pooled
    EXPECT_EQ(mHeap.mFrees, 1);
    EXPECT_EQ(pool->GetBytesHeld(), 12u);
}

TEST_F(MemoryPoolTest, ReallocCopiesWhatFitsAndNullIsAnAllocation) {
    KMemoryReusePool* pool = KMemoryReusePool::CreatePool(0x20000, 2, 0, 0);
    char* text = static_cast<char*>(KMemoryReusePool::ReallocBlock(pool, mHeap, nullptr, 10));
    ASSERT_NE(text, nullptr);
    std::memcpy(text, "abcdefghi", 10);
    char* grown = static_cast<char*>(KMemoryReusePool::ReallocBlock(pool, mHeap, text, 100));
    ASSERT_NE(grown, nullptr);
    EXPECT_STREQ(grown, "abcdefghi");
    // 12 bytes take the same 20-byte block size as 10.
    char* shrunk = static_cast<char*>(KMemoryReusePool::ReallocBlock(pool, mHeap, grown, 12));
    EXPECT_STREQ(shrunk, "abcdefghi");
    // The first block was pooled by the first realloc and is taken again.
    EXPECT_EQ(static_cast<void*>(shrunk), static_cast<void*>(text));
    KMemoryReusePool::FreeBlock(pool, mHeap, shrunk);
}

TEST_F(MemoryPoolTest, ReleaseAllFreesOnlyPooledBlocksAndKeepsTheRestCounted) {
    KMemoryReusePool* pool = KMemoryReusePool::CreatePool(0x20000, 2, 0, 0);
    void* kept = KMemoryReusePool::Allocate(pool, mHeap, 20);
    void* pooled1 = KMemoryReusePool::Allocate(pool, mHeap, 20);
    void* pooled2 = KMemoryReusePool::Allocate(pool, mHeap, 100);
    KMemoryReusePool::FreeBlock(pool, mHeap, pooled1);
    KMemoryReusePool::FreeBlock(pool, mHeap, pooled2);
    const std::size_t keptSize = pool->GetBytesHeld() - 28 - 108;
    KMemoryReusePool::ReleaseAll(pool);
    EXPECT_EQ(pool->GetBytesHeld(), keptSize);
    EXPECT_EQ(pool->GetBlocksHeld(), 1u);
    KMemoryReusePool::FreeBlock(pool, mHeap, kept);
    KMemoryReusePool::ReleaseAll(pool);
    EXPECT_EQ(pool->GetBytesHeld(), 0u);
    EXPECT_EQ(pool->GetBlocksHeld(), 0u);
}

TEST_F(MemoryPoolTest, AlignedPoolsReturnAlignedMemoryAndRefuseAnOffsetTheHeaderCannotHold) {
    KMemoryReusePool* pool = KMemoryReusePool::CreatePool(0x20000, 3, 6, 0);
    ASSERT_NE(pool, nullptr);
    std::vector<void*> blocks;
    for (int i = 1; i < 50; ++i) {
        void* memory = KMemoryReusePool::Allocate(pool, mHeap, static_cast<std::size_t>(i));
        ASSERT_NE(memory, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(memory) % 64, 0u);
        EXPECT_GE(KMemoryReusePool::GetUsableSize(memory), static_cast<std::size_t>(i));
        std::memset(memory, 0x5C, static_cast<std::size_t>(i));
        blocks.push_back(memory);
    }
    for (void* memory : blocks) {
        KMemoryReusePool::FreeBlock(pool, mHeap, memory);
    }
    // The offset byte holds at most 255: alignments beyond 256 are refused.
    EXPECT_EQ(KMemoryReusePool::CreatePool(0x20000, 2, 9, 0), nullptr);
    EXPECT_NE(KMemoryReusePool::CreatePool(0x20000, 2, 8, 0), nullptr);
}

TEST_F(MemoryPoolTest, RequestsBeyondTheHeaderSizeWordAreRefused) {
    KMemoryReusePool* pool = KMemoryReusePool::CreatePool(0x20000, 2, 0, 0);
    EXPECT_EQ(KMemoryReusePool::Allocate(pool, mHeap, std::size_t(0xFFFFFFFF)), nullptr);
    EXPECT_EQ(mHeap.mAllocs, 0);
    KMemoryReusePool::FreeBlock(pool, mHeap, nullptr);
}

TEST_F(MemoryPoolTest, PooledBlocksHoldRealPointers) {
    // Free blocks link through their first pointer-sized word: the smallest
    // block must hold a whole 64-bit pointer.
    KMemoryReusePool* pool = KMemoryReusePool::CreatePool(0x20000, 2, 0, 0);
    std::vector<void*> blocks;
    for (int i = 0; i < 8; ++i) {
        blocks.push_back(KMemoryReusePool::Allocate(pool, mHeap, 0));
    }
    for (void* memory : blocks) {
        KMemoryReusePool::FreeBlock(pool, mHeap, memory);
    }
    for (std::size_t i = blocks.size(); i-- > 0;) {
        EXPECT_EQ(KMemoryReusePool::Allocate(pool, mHeap, 0), blocks[i]);
    }
    for (void* memory : blocks) {
        KMemoryReusePool::FreeBlock(pool, mHeap, memory);
    }
}

// Also built and run under ThreadSanitizer.
TEST_F(MemoryPoolTest, ManyThreadsShareOnePool) {
    KMemoryReusePool* pool = KMemoryReusePool::CreatePool(0x20000, 2, 0, 0);
    KMemoryReusePool::KXAllocStd heap;
    constexpr int kThreads = 8;
    constexpr int kRounds = 4000;
    std::vector<std::thread> threads;
    std::vector<int> corrupt(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([pool, &heap, &corrupt, t] {
            std::mt19937 random(static_cast<unsigned>(t));
            std::vector<std::pair<unsigned char*, std::size_t>> live;
            for (int round = 0; round < kRounds; ++round) {
                if (live.size() < 32 && (live.empty() || random() % 3 != 0)) {
                    const std::size_t size = 1 + random() % 300;
                    auto* memory = static_cast<unsigned char*>(KMemoryReusePool::Allocate(pool, heap, size));
                    if (memory == nullptr) {
                        ++corrupt[t];
                        continue;
                    }
                    std::memset(memory, t + 1, size);
                    live.emplace_back(memory, size);
                } else {
                    const std::size_t pick = random() % live.size();
                    auto [memory, size] = live[pick];
                    for (std::size_t i = 0; i < size; ++i) {
                        corrupt[t] += memory[i] != t + 1;
                    }
                    KMemoryReusePool::FreeBlock(pool, heap, memory);
                    live[pick] = live.back();
                    live.pop_back();
                }
            }
            for (auto [memory, size] : live) {
                KMemoryReusePool::FreeBlock(pool, heap, memory);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(corrupt[t], 0) << "thread " << t;
    }
    EXPECT_GT(pool->GetBlocksHeld(), 0u);
    KMemoryReusePool::ReleaseAll(pool);
    EXPECT_EQ(pool->GetBytesHeld(), 0u);
    EXPECT_EQ(pool->GetBlocksHeld(), 0u);
}
