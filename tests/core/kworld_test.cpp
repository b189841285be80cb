#include <fbxfilesdk/core/KMemoryReusePool.h>
#include <fbxfilesdk/core/KWorld.h>

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;

namespace {

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        KMemoryReusePool::InitSystem();
        mWorld = KWorld::Create();
        ASSERT_NE(mWorld, nullptr);
    }
    void TearDown() override {
        KWorld::Delete(mWorld);
        KMemoryReusePool::TermSystem();
    }

    // The world only stores these pointers; stand-ins are enough.
    static KObject* Object(int n) { return reinterpret_cast<KObject*>(&gStandIns[n]); }
    static KProperty* Property(int n) { return reinterpret_cast<KProperty*>(&gStandIns[n]); }

    static long gStandIns[8];
    KWorld* mWorld = nullptr;
};

long WorldTest::gStandIns[8];

}  // namespace

TEST_F(WorldTest, ObjectIdsAreTheLowestFreeAndFreedOnesComeBackFirst) {
    EXPECT_EQ(mWorld->AddObject(Object(0)), 0);
    EXPECT_EQ(mWorld->AddObject(Object(1)), 1);
    EXPECT_EQ(mWorld->AddObject(Object(2)), 2);
    mWorld->RemoveObject(1);
    EXPECT_EQ(mWorld->GetObject(1), nullptr);
    EXPECT_EQ(mWorld->AddObject(Object(3)), 1);
    EXPECT_EQ(mWorld->GetObject(1), Object(3));
    EXPECT_EQ(mWorld->AddObject(Object(4)), 3);
    EXPECT_EQ(mWorld->GetObject(3), Object(4));
    EXPECT_EQ(mWorld->GetObject(99), nullptr);
    EXPECT_EQ(mWorld->GetObject(-1), nullptr);
    mWorld->RemoveObject(-1);
    mWorld->RemoveObject(500);
}

TEST_F(WorldTest, PropertyIdsHaveTheirOwnSetAndStopBeforeTheNoneValue) {
    mWorld->AddObject(Object(0));
    EXPECT_EQ(mWorld->AddProperty(Property(1)), 0);
    EXPECT_EQ(mWorld->AddProperty(Property(2)), 1);
    mWorld->RemoveProperty(0);
    EXPECT_EQ(mWorld->GetProperty(0), nullptr);
    EXPECT_EQ(mWorld->AddProperty(Property(3)), 0);
    EXPECT_EQ(mWorld->GetProperty(1), Property(2));

    // Property ids live in a 16-bit field whose all-ones value means none.
    for (int id = 2; id < KWorld::kNoPropertyId; ++id) {
        ASSERT_EQ(mWorld->AddProperty(Property(4)), id);
    }
    EXPECT_EQ(mWorld->AddProperty(Property(5)), -1);
    EXPECT_FALSE(mWorld->GetPropertyIds().IsSet(KWorld::kNoPropertyId));
    mWorld->RemoveProperty(77);
    EXPECT_EQ(mWorld->AddProperty(Property(6)), 77);
}

TEST_F(WorldTest, ANodeLivesWhileReferencedAndItsIdIsReused) {
    KWorldNode* root0 = mWorld->GetRoot(0);
    ASSERT_NE(root0, nullptr);
    EXPECT_EQ(root0->mId, 0);
    EXPECT_EQ(mWorld->GetRoot(1)->mId, 1);
    EXPECT_EQ(root0->mGroup, 1);

    KWorldNode* parent = KWorld::CreateNode(mWorld, 0, nullptr);
    KWorldNode* child = KWorld::CreateNode(mWorld, 0, parent);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(parent->mId, 2);
    EXPECT_EQ(child->mId, 3);
    EXPECT_EQ(parent->mRefCount, 2);
    ASSERT_EQ(parent->mChildren.size(), 1u);
    EXPECT_EQ(child->mParent, parent);
    EXPECT_GT(child->mSerial, parent->mSerial);

    KWorld::ReleaseNode(parent);  // 2 -> 1: kept
    EXPECT_EQ(parent->mRefCount, 1);
    EXPECT_TRUE(mWorld->GetNodeIds().IsSet(2));
    KWorld::ReleaseNode(child);  // frees the child, which releases the parent
    EXPECT_FALSE(mWorld->GetNodeIds().IsSet(2));
    EXPECT_FALSE(mWorld->GetNodeIds().IsSet(3));

    KWorldNode* next = KWorld::CreateNode(mWorld, 0, nullptr);
    EXPECT_EQ(next->mId, 2);
    KWorld::ReleaseNode(next);
    EXPECT_EQ(KWorld::CreateNode(nullptr, 0, nullptr), nullptr);
}

TEST_F(WorldTest, ATypeOneNodeMakesOnePlainSubNodeAndOneReleaseFreesBoth) {
    KWorldNode* node = KWorld::CreateNode(mWorld, 1, mWorld->GetRoot(0));
    ASSERT_NE(node, nullptr);
    ASSERT_NE(node->mSubNode, nullptr);
    EXPECT_EQ(node->mSubNode->mType, 0);
    EXPECT_EQ(node->mSubNode->mSubNode, nullptr);
    EXPECT_EQ(node->mSubNode->mParent, node);
    EXPECT_EQ(node->mRefCount, 2);
    EXPECT_EQ(mWorld->GetRoot(0)->mRefCount, 2);

    KWorld::ReleaseNode(node);
    EXPECT_EQ(mWorld->GetRoot(0)->mRefCount, 1);
    EXPECT_TRUE(mWorld->GetRoot(0)->mChildren.empty());
    EXPECT_EQ(mWorld->GetNodeIds().GetHighest(), 1);
}

TEST_F(WorldTest, TheGlobalWorldIsClearedWhenDeleted) {
    KWorld* other = KWorld::Create();
    KWorld::SetGlobal(other);
    EXPECT_EQ(KWorld::GetGlobal(), other);
    KWorld::Delete(other);
    EXPECT_EQ(KWorld::GetGlobal(), nullptr);
    KWorld::Delete(nullptr);
}
