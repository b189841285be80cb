#include <fbxfilesdk/core/KIdRangeSet.h>
#include <fbxfilesdk/core/KMemoryReusePool.h>

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace fbxsdk_2006_11_1;

namespace {

class IdRangeSetTest : public ::testing::Test {
protected:
    void SetUp() override { KMemoryReusePool::InitSystem(); }
    void TearDown() override { KMemoryReusePool::TermSystem(); }
};

void ExpectBlock(const KIdRangeSet& set, int index, int firstWord, int wordCount) {
    const KRange range = set.GetBlockRange(index);
    EXPECT_EQ(range.mStart, firstWord) << "block " << index;
    EXPECT_EQ(range.mCount, wordCount) << "block " << index;
}

}  // namespace

TEST(KRange, IntersectIsTrueOnlyForEqualRangesAndGivesTheOverlap) {
    KRange out{};
    EXPECT_TRUE(KRange::Intersect({3, 4}, {3, 4}, out));
    EXPECT_EQ(out.mStart, 3);
    EXPECT_EQ(out.mCount, 4);
    EXPECT_FALSE(KRange::Intersect({0, 10}, {5, 10}, out));
    EXPECT_EQ(out.mStart, 5);
    EXPECT_EQ(out.mCount, 5);
    EXPECT_FALSE(KRange::Intersect({0, 2}, {5, 2}, out));
    EXPECT_LE(out.mCount, 0);

    KRange range{5, 2};
    RangeUnion(range, {1, 1});
    EXPECT_EQ(range.mStart, 1);
    EXPECT_EQ(range.mCount, 6);
    RangeUnion(range, {0, 0});
    EXPECT_EQ(range.mCount, 6);
}

TEST_F(IdRangeSetTest, IdFortyLivesInWordOneBitEight) {
    KIdRangeSet set;
    ASSERT_TRUE(set.SetBit(40));
    EXPECT_EQ(set.GetWord(1), 1u << 8);
    EXPECT_EQ(set.GetWord(0), 0u);
    EXPECT_TRUE(set.IsSet(40));
    EXPECT_FALSE(set.IsSet(41));
    EXPECT_EQ(set.GetHighest(), 40);
    EXPECT_FALSE(set.SetBit(-1));
}

TEST_F(IdRangeSetTest, LowestFreeIdsAreDenseAndFreedIdsComeBackFirst) {
    KIdRangeSet set;
    EXPECT_EQ(set.GetHighest(), -1);
    EXPECT_EQ(set.TakeLowestFree(), 0);
    EXPECT_EQ(set.TakeLowestFree(), 1);
    EXPECT_EQ(set.TakeLowestFree(), 2);
    set.ClearBit(1);
    EXPECT_EQ(set.TakeLowestFree(), 1);
    EXPECT_EQ(set.TakeLowestFree(), 3);
    // Past a full block the next id follows the highest.
    for (int id = 4; id < 40; ++id) {
        EXPECT_EQ(set.TakeLowestFree(), id);
    }
}

TEST_F(IdRangeSetTest, GapsBeforeAndBetweenBlocksCountAsClear) {
    KIdRangeSet set;
    for (int id = 64; id < 96; ++id) {
        set.SetBit(id);
    }
    ASSERT_EQ(set.GetBlockCount(), 1);
    ExpectBlock(set, 0, 2, 1);
    EXPECT_EQ(set.FindFirstClear(0), 0);
    EXPECT_EQ(set.FindFirstClear(70), -1);
    EXPECT_EQ(set.GetHighest(), 95);
    set.ClearBit(1000);  // in no block: ignored
    EXPECT_EQ(set.GetBlockCount(), 1);
}

TEST_F(IdRangeSetTest, NearbyWordsMergeIntoOneBlockAndFarOnesStaySeparate) {
    KIdRangeSet set;
    set.SetBit(0);
    set.SetBit(18 * 32 + 7);
    // Word 18 lies beyond the 9 words by which a new run reaches out.
    ASSERT_EQ(set.GetBlockCount(), 2);
    ExpectBlock(set, 0, 0, 1);
    ExpectBlock(set, 1, 18, 1);

    // Word 9, widened to words 0..18, reaches both blocks: one block of their union.
    set.SetBit(9 * 32 + 1);
    ASSERT_EQ(set.GetBlockCount(), 1);
    ExpectBlock(set, 0, 0, 19);
    EXPECT_TRUE(set.IsSet(0));
    EXPECT_TRUE(set.IsSet(18 * 32 + 7));
    EXPECT_TRUE(set.IsSet(9 * 32 + 1));

    set.SetBit(100 * 32);
    set.SetBit(50 * 32);
    ASSERT_EQ(set.GetBlockCount(), 3);
    ExpectBlock(set, 1, 50, 1);
    ExpectBlock(set, 2, 100, 1);
    EXPECT_EQ(set.GetHighest(), 100 * 32);
}

TEST_F(IdRangeSetTest, CopiesShareUntilOneOfThemChanges) {
    KIdRangeSet original;
    for (int id = 0; id < 70; id += 3) {
        original.SetBit(id);
    }
    KIdRangeSet copy(original);
    copy.ClearBit(3);
    copy.SetBit(5000);
    EXPECT_TRUE(original.IsSet(3));
    EXPECT_FALSE(original.IsSet(5000));
    EXPECT_FALSE(copy.IsSet(3));

    KIdRangeSet assigned;
    assigned = original;
    original.SetBit(1);
    EXPECT_FALSE(assigned.IsSet(1));
    EXPECT_TRUE(assigned.IsSet(69));
    assigned = assigned;
    EXPECT_TRUE(assigned.IsSet(69));
}

TEST_F(IdRangeSetTest, BlocksComeFromTheGlobalPool) {
    KMemoryReusePool* global = KMemoryReusePool::GetGlobalPool();
    ASSERT_NE(global, nullptr);
    const std::size_t before = global->GetBytesHeld();
    {
        KIdRangeSet set;
        set.SetBit(3);
        EXPECT_GT(global->GetBytesHeld(), before);
    }
    // Freed blocks stay pooled for the next set.
    const std::size_t pooled = global->GetBytesHeld();
    KIdRangeSet again;
    again.SetBit(3);
    EXPECT_EQ(global->GetBytesHeld(), pooled);
}

TEST_F(IdRangeSetTest, AgreesWithAPlainSetUnderRandomChanges) {
    std::mt19937 random(7);
    KIdRangeSet set;
    std::set<int> reference;
    for (int step = 0; step < 4000; ++step) {
        const int choice = static_cast<int>(random() % 10);
        const int id = static_cast<int>(random() % (step % 500 < 250 ? 200 : 5000));
        if (choice < 5) {
            ASSERT_TRUE(set.SetBit(id));
            reference.insert(id);
        } else if (choice < 8) {
            set.ClearBit(id);
            reference.erase(id);
        } else if (choice == 8) {
            const int taken = set.TakeLowestFree();
            int expected = 0;
            while (reference.count(expected) != 0) {
                ++expected;
            }
            ASSERT_EQ(taken, expected);
            reference.insert(taken);
        } else {
            // A copy that outlives later changes of the original.
            const KIdRangeSet copy(set);
            const bool wasSet = set.IsSet(id);
            set.SetBit(id);
            reference.insert(id);
            ASSERT_EQ(copy.IsSet(id), wasSet);
        }
        ASSERT_EQ(set.GetHighest(), reference.empty() ? -1 : *reference.rbegin()) << "step " << step;
    }
    for (int id = 0; id < 5100; ++id) {
        ASSERT_EQ(set.IsSet(id), reference.count(id) != 0) << id;
    }
    // Blocks stay sorted and disjoint.
    for (int i = 1; i < set.GetBlockCount(); ++i) {
        const KRange previous = set.GetBlockRange(i - 1);
        EXPECT_LE(previous.mStart + previous.mCount, set.GetBlockRange(i).mStart);
    }
}
