#include <fbxfilesdk/core/KGenericObjectList.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

struct Change {
    int mCode;
    KObject* mObject;
    int mIndex;
    bool operator==(const Change&) const = default;
};

// Records the changes offered and announced, and refuses one code on request.
class RecordingList : public KObjectList {
public:
    std::vector<Change> mChanges;
    int mRefuse = -1;
    bool OnListChange(int code, KObject* object, int index) override {
        mChanges.push_back({code, object, index});
        return code != mRefuse;
    }
};

// Counts the objects released (deleted).
std::vector<std::string> gReleased;
class Counted : public KObject {
public:
    explicit Counted(const char* name) { SetName(name); }
    ~Counted() override { gReleased.emplace_back(GetName()); }
};

class ObjectListTest : public ::testing::Test {
protected:
    void SetUp() override {
        KPlugClassRegistry::AddRef();
        gReleased.clear();
        mList = new RecordingList();
    }
    void TearDown() override {
        mList->Release();
        KPlugClassRegistry::Release();
    }
    RecordingList* mList = nullptr;
};

TEST_F(ObjectListTest, TypeIdentity) {
    EXPECT_TRUE(mList->IsType(gKObjectListClassInfo.GetId()));
    EXPECT_TRUE(mList->IsType(gKGenericObjectListClassInfo.GetId()));
    EXPECT_TRUE(mList->IsType(gKObjectClassInfo.GetId()));
    KGenericObjectList generic;
    EXPECT_FALSE(generic.IsType(gKObjectListClassInfo.GetId()));
    EXPECT_STREQ(generic.GetClassName(), "KGenericObjectList");
}

TEST_F(ObjectListTest, ChangesAreOfferedThenAnnounced) {
    auto* a = new Counted("a");
    auto* b = new Counted("b");
    const HdlKObject ha(a);
    const HdlKObject hb(b);
    EXPECT_EQ(mList->Add(ha), 0);
    EXPECT_EQ(mList->InsertAt(0, hb), 0);
    EXPECT_EQ(mList->InsertAt(99, ha), 2);
    EXPECT_EQ(mList->GetCount(), 3);
    EXPECT_EQ(mList->GetAt(0), hb);
    EXPECT_EQ(mList->GetAt(3), HdlKObject());
    EXPECT_EQ(mList->mChanges, (std::vector<Change>{{1, a, 0}, {4, a, 0}, {1, b, 0}, {4, b, 0}, {1, a, 99}, {4, a, 0}}));

    mList->mChanges.clear();
    EXPECT_TRUE(mList->Remove(ha));
    // The last equal entry goes.
    EXPECT_EQ(mList->GetCount(), 2);
    EXPECT_EQ(mList->GetAt(1), ha);
    EXPECT_EQ(mList->mChanges, (std::vector<Change>{{2, a, 2}, {5, a, 2}}));

    mList->mChanges.clear();
    EXPECT_EQ(mList->SetAt(0, ha), 0);
    EXPECT_EQ(mList->mChanges, (std::vector<Change>{{1, a, 0}, {4, a, 0}}));
    EXPECT_EQ(mList->SetAt(2, ha), -1);

    mList->mRefuse = 1;
    EXPECT_EQ(mList->Add(hb), -1);
    EXPECT_EQ(mList->SetAt(0, hb), -1);
    EXPECT_EQ(mList->GetAt(0), ha);
    mList->mRefuse = 2;
    EXPECT_FALSE(mList->RemoveAt(0));
    EXPECT_EQ(mList->GetCount(), 2);
    mList->mRefuse = -1;

    mList->mChanges.clear();
    EXPECT_FALSE(mList->Remove(hb));
    EXPECT_TRUE(mList->mChanges.empty());
    EXPECT_FALSE(mList->RemoveAt(5));

    const HdlKObject both[] = {hb, HdlKObject(), ha};
    mList->mRefuse = -1;
    EXPECT_EQ(mList->AddAll(both, 3), 3);
    EXPECT_EQ(mList->GetCount(), 5);
    delete a;
    delete b;
}

TEST_F(ObjectListTest, DeadEntriesStayAndResolveToNothing) {
    auto* a = new Counted("a");
    const HdlKObject ha(a);
    delete a;
    mList->mChanges.clear();
    EXPECT_EQ(mList->Add(ha), 0);
    EXPECT_EQ(mList->mChanges, (std::vector<Change>{{1, nullptr, 0}, {4, nullptr, 0}}));
    EXPECT_EQ(mList->GetAt(0).Resolve(), nullptr);
    EXPECT_TRUE(mList->FindByName("a").IsEmpty());
}

TEST_F(ObjectListTest, FindByFullName) {
    EXPECT_TRUE(mList->FindByName("x").IsEmpty());
    auto* a = new Counted("a");
    auto* b = new Counted("b");
    mList->Add(HdlKObject(a));
    mList->Add(HdlKObject(b));
    EXPECT_EQ(mList->FindByName("b"), HdlKObject(b));
    EXPECT_TRUE(mList->FindByName(nullptr).IsEmpty());
    EXPECT_TRUE(mList->HoldsObjectNamed("a"));
    b->SetNameSpace("ns");
    EXPECT_TRUE(mList->FindByName("b").IsEmpty());
    EXPECT_EQ(mList->FindByName("ns:b"), HdlKObject(b));
    delete a;
    delete b;
}

TEST_F(ObjectListTest, ClearAsksOnceAndMayReleaseTheLiveObjectsFromTheLast) {
    mList->Clear(true);
    EXPECT_TRUE(mList->mChanges.empty());

    auto* a = new Counted("a");
    auto* b = new Counted("b");
    auto* dead = new Counted("dead");
    const HdlKObject hdead(dead);
    delete dead;
    gReleased.clear();
    mList->Add(HdlKObject(a));
    mList->Add(hdead);
    mList->Add(HdlKObject(b));
    mList->mChanges.clear();

    mList->mRefuse = 0;
    mList->Clear(true);
    EXPECT_EQ(mList->GetCount(), 3);
    EXPECT_TRUE(gReleased.empty());

    mList->mRefuse = -1;
    mList->mChanges.clear();
    mList->Clear(true);
    EXPECT_EQ(mList->GetCount(), 0);
    EXPECT_EQ(gReleased, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(mList->mChanges, (std::vector<Change>{{0, nullptr, -1}}));
}

TEST_F(ObjectListTest, DestroyingTheListKeepsItsObjects) {
    auto* a = new Counted("a");
    mList->Add(HdlKObject(a));
    mList->Destroy();
    EXPECT_EQ(mList->GetCount(), 0);
    EXPECT_TRUE(gReleased.empty());
    delete a;
}

}  // namespace
