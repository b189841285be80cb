#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugHandlePool.h>

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

class HandleTest : public ::testing::Test {
protected:
    void SetUp() override { KPlugClassRegistry::AddRef(); }
    void TearDown() override { KPlugClassRegistry::Release(); }
};

}  // namespace

// Kept first: handle ids are process-wide and this is the process's first handle.
TEST_F(HandleTest, TheFirstHandleHasIdOneAndIsMadeOnce) {
    KPlug plug;
    KPlugHandleEntry* entry = plug.GetHandle();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->mId, 1u);
    EXPECT_EQ(entry->mPlug, &plug);
    EXPECT_EQ(plug.GetHandle(), entry);
}

TEST_F(HandleTest, ADestroyedPlugNoLongerResolvesAndItsEntryIsReusedLastInFirstOut) {
    auto* a = new KPlug();
    auto* b = new KPlug();
    const HdlKObject handleA(a);
    const HdlKObject handleB(b);
    ASSERT_FALSE(handleA.IsEmpty());
    EXPECT_EQ(handleA.Resolve(), a);
    EXPECT_EQ(handleB.Resolve(), b);
    EXPECT_GT(handleB.mId, handleA.mId);

    KPlugHandleEntry* entryA = handleA.mEntry;
    KPlugHandleEntry* entryB = handleB.mEntry;
    a->Release();
    b->Release();
    EXPECT_EQ(handleA.Resolve(), nullptr);
    EXPECT_EQ(handleB.Resolve(), nullptr);
    // The free-entry marker.
    EXPECT_EQ(entryA->mId, KPlugHandlePool::kFreeMarker);
    EXPECT_EQ(entryB->mId, KPlugHandlePool::kFreeMarker);

    KPlug c;
    KPlug d;
    EXPECT_EQ(c.GetHandle(), entryB);
    EXPECT_EQ(d.GetHandle(), entryA);
    // Same entry, new id: the old holder still sees a dead plug.
    EXPECT_EQ(handleB.Resolve(), nullptr);
    EXPECT_EQ(HdlKObject(&c).Resolve(), &c);
    EXPECT_EQ(HdlKObject().Resolve(), nullptr);
    EXPECT_TRUE(HdlKObject(nullptr).IsEmpty());
}

// The handle lives beside the connections: it outlasts their coming and going,
// and a plug that had connections before its handle still lets it go.
TEST_F(HandleTest, AHandleOutlastsTheConnectionsOfItsPlug) {
    KPlug other;
    auto* plug = new KPlug();
    ASSERT_TRUE(plug->ConnectSrc(&other));
    const HdlKObject handle(plug);
    ASSERT_FALSE(handle.IsEmpty());
    ASSERT_TRUE(plug->DisconnectSrc(&other));
    EXPECT_EQ(plug->GetHandle(), handle.mEntry);
    EXPECT_EQ(handle.Resolve(), plug);
    ASSERT_TRUE(plug->ConnectDst(&other));
    plug->Release();
    EXPECT_EQ(handle.Resolve(), nullptr);
    EXPECT_EQ(handle.mEntry->mId, KPlugHandlePool::kFreeMarker);
    EXPECT_EQ(other.GetSrcCount(), 0);
}

TEST_F(HandleTest, ReleaseIgnoresFreeEntriesAndEntriesOfOtherPlugs) {
    KPlugHandlePool pool;
    KPlug owner;
    KPlug stranger;
    KPlugHandleEntry* entry = pool.Acquire(&owner);
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(pool.Release(entry, &stranger));
    EXPECT_EQ(entry->mPlug, &owner);
    EXPECT_TRUE(pool.Release(entry, &owner));
    EXPECT_FALSE(pool.Release(entry, &owner));
    EXPECT_FALSE(pool.Release(nullptr, &owner));
    EXPECT_EQ(pool.Acquire(&stranger), entry);
}

TEST_F(HandleTest, AChunkHoldsTenThousandTwoHundredFortyEntries) {
    KPlugHandlePool pool;
    KPlug plug;
    std::set<KPlugHandleEntry*> entries;
    for (int i = 0; i < KPlugHandlePool::kEntriesPerChunk; ++i) {
        entries.insert(pool.Acquire(&plug));
    }
    EXPECT_EQ(pool.GetChunkCount(), 1);
    EXPECT_EQ(entries.size(), static_cast<std::size_t>(KPlugHandlePool::kEntriesPerChunk));
    EXPECT_EQ(entries.count(nullptr), 0u);
    pool.Acquire(&plug);
    EXPECT_EQ(pool.GetChunkCount(), 2);
}

TEST(HandleWithoutPool, NoPoolGivesNoHandleAndNothingResolves) {
    ASSERT_EQ(KPlugClassRegistry::GetHandlePool(), nullptr);
    KPlug plug;
    EXPECT_EQ(plug.GetHandle(), nullptr);
    EXPECT_TRUE(HdlKObject(&plug).IsEmpty());

    KPlugClassRegistry::AddRef();
    const HdlKObject handle(&plug);
    EXPECT_EQ(handle.Resolve(), &plug);
    KPlugClassRegistry::Release();
    // Without the pool a kept handle resolves to nothing.
    EXPECT_EQ(handle.Resolve(), nullptr);
}

// Also built and run under ThreadSanitizer.
TEST_F(HandleTest, ThreadsTakeAndGiveBackHandlesConcurrently) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 3000;
    std::vector<std::vector<std::uint32_t>> ids(kThreads);
    std::vector<int> failures(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &ids, &failures] {
            std::vector<KPlug*> live;
            for (int round = 0; round < kRounds; ++round) {
                auto* plug = new KPlug();
                KPlugHandleEntry* entry = plug->GetHandle();
                if (entry == nullptr || entry->mPlug != plug) {
                    ++failures[t];
                } else {
                    ids[t].push_back(entry->mId);
                }
                live.push_back(plug);
                if (round % 3 == 2) {
                    for (KPlug* old : live) {
                        old->Release();
                    }
                    live.clear();
                }
            }
            for (KPlug* old : live) {
                old->Release();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::set<std::uint32_t> unique;
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(failures[t], 0);
        unique.insert(ids[t].begin(), ids[t].end());
    }
    // Every handle got its own id.
    EXPECT_EQ(unique.size(), static_cast<std::size_t>(kThreads * kRounds));
    EXPECT_EQ(KPlugClassRegistry::GetHandlePool()->GetChunkCount(), 1);
}
