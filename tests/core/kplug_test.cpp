#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// Pseudo-codes for the hooks, logged alongside the connection events.
constexpr int kBeginChange = 100;
constexpr int kEndChange = 101;
constexpr int kCleanUp = 102;
constexpr int kObjectEvent = 200;

struct Event {
    int mCode;
    std::string mSender;
    int mIndex;
    std::string mOther;
    bool operator==(const Event& other) const {
        return mCode == other.mCode && mSender == other.mSender && mIndex == other.mIndex && mOther == other.mOther;
    }
};

std::ostream& operator<<(std::ostream& out, const Event& event) {
    return out << "{" << event.mCode << ", " << event.mSender << ", " << event.mIndex << ", " << event.mOther << "}";
}

struct Recorder {
    std::vector<Event> mEvents;
    // For each "may take" event told, the plug the change was asked of.
    std::vector<std::string> mAskedOf;
    std::map<const KPlug*, std::string> mNames;

    std::string Name(const KPlug* plug) const {
        if (plug == nullptr) {
            return "-";
        }
        const auto found = mNames.find(plug);
        return found != mNames.end() ? found->second : "?";
    }
};

// A plug that logs everything it is told and refuses the codes it is given.
class TestPlug : public KPlug {
public:
    TestPlug(Recorder& recorder, const std::string& name, const KPlugClassInfo* info = &gKPlugClassInfo)
        : mRecorder(recorder), mName(name), mInfo(info) {
        mRecorder.mNames[this] = name;
    }

    const KPlugClassInfo* GetClassInfo() const override { return mInfo; }

    bool EmitConnectionEvent(const KPlugEventChain* chain, int code, KPlug* sender, int index, KPlug* other,
                             std::uint8_t type, KEventWord extra) override {
        // Events passed up from children and views are logged where they start.
        if (chain == nullptr) {
            mRecorder.mEvents.push_back({code, mRecorder.Name(sender), index, mRecorder.Name(other)});
            if (code == eKPlugDstMayTakeSrc || code == eKPlugSrcMayTakeDst) {
                mRecorder.mAskedOf.push_back(mRecorder.Name(reinterpret_cast<const KPlug*>(extra)));
            }
        } else {
            mLastChainPlug = chain->mPlug;
        }
        if (code == eKPlugBeginReplaceSrc || code == eKPlugBeginReplaceDst) {
            mPending = true;
        } else if (code == eKPlugEndReplaceSrc || code == eKPlugEndReplaceDst) {
            mPending = false;
        }
        if (mRefuse.count(code) != 0) {
            return false;
        }
        return KPlug::EmitConnectionEvent(chain, code, sender, index, other, type, extra);
    }
    bool EmitObjectEvent(const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a, KEventWord b,
                         KEventWord c) override {
        mRecorder.mEvents.push_back({kObjectEvent + code, mRecorder.Name(sender), -1, "-"});
        return KPlug::EmitObjectEvent(chain, code, sender, a, b, c);
    }
    void OnBeginConnectionChange() override { Log(kBeginChange); }
    void OnEndConnectionChange() override { Log(kEndChange); }
    void CleanUpAfterDisconnect(KPlug*) override { Log(kCleanUp); }
    bool IsPairPending(KPlug*, KPlug*) override { return mPending; }
    KPlug* NewPlug(const KPlugFilter*) override {
        return new TestPlug(mRecorder, mName + ".view" + std::to_string(++mViewsMade));
    }

    std::set<int> mRefuse;
    KPlug* mLastChainPlug = nullptr;

private:
    void Log(int code) { mRecorder.mEvents.push_back({code, mName, -1, "-"}); }

    Recorder& mRecorder;
    std::string mName;
    const KPlugClassInfo* mInfo;
    bool mPending = false;
    int mViewsMade = 0;
};

std::vector<std::string> Sources(const Recorder& recorder, const KPlug& plug) {
    std::vector<std::string> names;
    for (int i = 0; i < plug.GetSrcCount(); ++i) {
        names.push_back(recorder.Name(plug.GetSrc(i)));
    }
    return names;
}

std::vector<std::string> Destinations(const Recorder& recorder, const KPlug& plug) {
    std::vector<std::string> names;
    for (int i = 0; i < plug.GetDstCount(); ++i) {
        names.push_back(recorder.Name(plug.GetDst(i)));
    }
    return names;
}

using Names = std::vector<std::string>;
using Events = std::vector<Event>;

const KPlugFilter* ObjectFilter() { return gKObjectClassInfo.GetFilter(); }

class PlugTest : public ::testing::Test {
protected:
    Recorder mLog;
    TestPlug mSrc{mLog, "S"};
    TestPlug mDst{mLog, "D"};
};

}  // namespace

TEST(KPlugEventCodes, TheConnectionEventTableIsPinned) {
    EXPECT_EQ(eKPlugDstMayTakeSrc, 0);
    EXPECT_EQ(eKPlugSrcMayTakeDst, 1);
    EXPECT_EQ(eKPlugSrcAboutToBeAdded, 2);
    EXPECT_EQ(eKPlugDstAboutToBeAdded, 3);
    EXPECT_EQ(eKPlugSrcAdded, 4);
    EXPECT_EQ(eKPlugDstAdded, 5);
    EXPECT_EQ(eKPlugSrcAboutToBeRemoved, 6);
    EXPECT_EQ(eKPlugDstAboutToBeRemoved, 7);
    EXPECT_EQ(eKPlugSrcRemoved, 8);
    EXPECT_EQ(eKPlugDstRemoved, 9);
    EXPECT_EQ(eKPlugBeginReplaceSrc, 10);
    EXPECT_EQ(eKPlugEndReplaceSrc, 11);
    EXPECT_EQ(eKPlugBeginReplaceDst, 12);
    EXPECT_EQ(eKPlugEndReplaceDst, 13);
    EXPECT_EQ(eKPlugBeginUpdate, 16);
    EXPECT_EQ(eKPlugEndUpdate, 17);
}

TEST_F(PlugTest, ConnectAndDisconnectAnnounceEveryStepToBothEnds) {
    ASSERT_TRUE(mDst.ConnectSrc(&mSrc));
    EXPECT_EQ(mLog.mEvents, (Events{{0, "D", -1, "S"},
                                    {1, "S", -1, "D"},
                                    {2, "D", -1, "S"},
                                    {3, "S", -1, "D"},
                                    {4, "D", 0, "S"},
                                    {5, "S", 0, "D"}}));
    EXPECT_EQ(Sources(mLog, mDst), Names{"S"});
    EXPECT_EQ(Destinations(mLog, mSrc), Names{"D"});
    EXPECT_TRUE(mDst.HasSrc(&mSrc));
    EXPECT_TRUE(mSrc.HasDst(&mDst));

    mLog.mEvents.clear();
    ASSERT_TRUE(mDst.DisconnectSrc(&mSrc));
    EXPECT_EQ(mLog.mEvents, (Events{{kBeginChange, "D", -1, "-"},
                                    {kBeginChange, "S", -1, "-"},
                                    {6, "D", 0, "S"},
                                    {7, "S", 0, "D"},
                                    {8, "D", 0, "S"},
                                    {9, "S", 0, "D"},
                                    {kEndChange, "D", -1, "-"},
                                    {kEndChange, "S", -1, "-"},
                                    {kCleanUp, "D", -1, "-"},
                                    {kCleanUp, "S", -1, "-"}}));
    EXPECT_EQ(mDst.GetSrcCount(), 0);
    EXPECT_EQ(mSrc.GetDstCount(), 0);
}

TEST_F(PlugTest, ARefusalAtEitherMayTakeStepChangesNothing) {
    mDst.mRefuse = {eKPlugDstMayTakeSrc};
    EXPECT_FALSE(mDst.ConnectSrc(&mSrc));
    EXPECT_EQ(mLog.mEvents, (Events{{0, "D", -1, "S"}}));
    EXPECT_EQ(mDst.GetSrcCount(), 0);
    EXPECT_EQ(mSrc.GetDstCount(), 0);

    mLog.mEvents.clear();
    mDst.mRefuse.clear();
    mSrc.mRefuse = {eKPlugSrcMayTakeDst};
    EXPECT_FALSE(mSrc.ConnectDst(&mDst));
    EXPECT_EQ(mLog.mEvents, (Events{{0, "D", -1, "S"}, {1, "S", -1, "D"}}));
    EXPECT_EQ(mDst.GetSrcCount(), 0);
    EXPECT_EQ(mSrc.GetDstCount(), 0);
    EXPECT_FALSE(mSrc.CanConnectDst(&mDst));
    EXPECT_TRUE(mDst.CanConnectSrc(&mSrc));
    // Each end that may refuse hears which end the caller asked.
    EXPECT_EQ(mLog.mAskedOf, (Names{"D", "S", "S", "S", "D"}));
}

TEST_F(PlugTest, MissingEndsSelfConnectionsAndFlagsRefuse) {
    EXPECT_FALSE(mDst.ConnectSrc(nullptr));
    EXPECT_FALSE(mDst.DisconnectSrc(nullptr));
    EXPECT_TRUE(mLog.mEvents.empty());
    // A plug linked to itself is asked, so that it can say why, and refused
    // though it agrees.
    EXPECT_FALSE(mDst.ConnectSrc(&mDst));
    EXPECT_EQ(mLog.mEvents, (Events{{0, "D", -1, "D"}}));
    EXPECT_EQ(mDst.GetSrcCount(), 0);
    mLog.mEvents.clear();

    mDst.SetFlags(KPlug::kAcceptsDst);
    EXPECT_FALSE(mDst.ConnectSrc(&mSrc));
    EXPECT_FALSE(mDst.AcceptsSrc(&mSrc));
    mDst.SetFlags(KPlug::kInitialFlags);

    // A class filter refuses plugs of other classes.
    mDst.SetClassInfo(ObjectFilter(), 0);
    EXPECT_FALSE(mDst.ConnectSrc(&mSrc));
    TestPlug object(mLog, "O", &gKObjectClassInfo);
    EXPECT_TRUE(mDst.ConnectSrc(&object));
    EXPECT_EQ(mLog.mEvents.size(), 6u);
}

TEST_F(PlugTest, DisconnectingWhatIsNotConnectedSendsNothing) {
    EXPECT_FALSE(mDst.DisconnectSrc(&mSrc));
    EXPECT_FALSE(mDst.DisconnectSrcAt(0));
    EXPECT_FALSE(mDst.DisconnectDstAt(-1));
    EXPECT_TRUE(mLog.mEvents.empty());
}

TEST_F(PlugTest, OneWayConnectionsAreListedOnlyByTheDestination) {
    ASSERT_TRUE(mDst.ConnectSrc(&mSrc, KPlug::kConnectionOneWay));
    EXPECT_EQ(mLog.mEvents, (Events{{0, "D", -1, "S"}, {2, "D", -1, "S"}, {4, "D", 0, "S"}}));
    EXPECT_EQ(Sources(mLog, mDst), Names{"S"});
    EXPECT_EQ(mSrc.GetDstCount(), 0);

    // A one-way source was never asked, so it need not agree to let go.
    mSrc.SetFlags(KPlug::kAcceptsSrc);
    mLog.mEvents.clear();
    ASSERT_TRUE(mDst.DisconnectSrc(&mSrc));
    EXPECT_EQ(mLog.mEvents, (Events{{kBeginChange, "D", -1, "-"},
                                    {kBeginChange, "S", -1, "-"},
                                    {6, "D", 0, "S"},
                                    {8, "D", 0, "S"},
                                    {kEndChange, "D", -1, "-"},
                                    {kEndChange, "S", -1, "-"},
                                    {kCleanUp, "D", -1, "-"},
                                    {kCleanUp, "S", -1, "-"}}));
    EXPECT_EQ(mDst.GetSrcCount(), 0);

    // A destination flagged one-way makes every connection into it one-way.
    mSrc.SetFlags(KPlug::kInitialFlags);
    mDst.SetFlags(KPlug::kInitialFlags | KPlug::kOneWay);
    ASSERT_TRUE(mDst.ConnectSrc(&mSrc));
    EXPECT_EQ(mDst.GetSrcType(0), KPlug::kConnectionOneWay);
    EXPECT_EQ(mSrc.GetDstCount(), 0);

    // Either end going, by Destroy or deleted, takes its one-way links with
    // it, beside a two-way link of the same pair: the other end keeps no
    // freed plug. One unlink takes one link, the last made first.
    for (const int way : {0, 1, 2, 3}) {
        const bool srcGoes = way < 2;
        auto src = std::make_unique<TestPlug>(mLog, "S2");
        auto dst = std::make_unique<TestPlug>(mLog, "D2");
        ASSERT_TRUE(dst->ConnectSrc(src.get(), KPlug::kConnectionOneWay));
        ASSERT_TRUE(dst->ConnectSrc(src.get()));
        ASSERT_TRUE(src->ConnectDst(dst.get(), KPlug::kConnectionOneWay));
        ASSERT_TRUE(dst->DisconnectSrc(src.get()));
        EXPECT_EQ(Sources(mLog, *dst), (Names{"S2", "S2"})) << way;
        EXPECT_EQ(src->GetDstCount(), 1) << way;
        std::unique_ptr<TestPlug>& going = srcGoes ? src : dst;
        if (way % 2 == 0) {
            going->Destroy();
        }
        going.reset();
        EXPECT_EQ((srcGoes ? dst->GetSrcCount() : src->GetDstCount()), 0) << way;
    }
}

TEST_F(PlugTest, IndexedConnectsInsertBeforeAndAppendWhenOutOfRange) {
    TestPlug a(mLog, "A"), b(mLog, "B"), c(mLog, "C"), e(mLog, "E");
    mDst.ConnectSrc(&a);
    mDst.ConnectSrc(&b);
    ASSERT_TRUE(mDst.ConnectSrcAt(1, &c));
    EXPECT_EQ(Sources(mLog, mDst), (Names{"A", "C", "B"}));
    ASSERT_TRUE(mDst.ConnectSrcAt(99, &e));
    EXPECT_EQ(Sources(mLog, mDst), (Names{"A", "C", "B", "E"}));
    ASSERT_TRUE(mDst.ConnectSrcAt(-1, &mSrc));
    EXPECT_EQ(Sources(mLog, mDst), (Names{"A", "C", "B", "E", "S"}));
    EXPECT_EQ(mDst.FindSrcIndex(&e), 3);
    EXPECT_EQ(mDst.FindSrcIndex(&mDst), -1);

    ASSERT_TRUE(mSrc.ConnectDstAt(0, &a));
    EXPECT_EQ(Destinations(mLog, mSrc), (Names{"A", "D"}));
    // Sources come first in one list, destinations after them.
    EXPECT_EQ(mSrc.GetSrcCount(), 0);
    EXPECT_EQ(mSrc.GetDst(2), nullptr);

    ASSERT_TRUE(mDst.DisconnectSrcAt(1));
    EXPECT_EQ(Sources(mLog, mDst), (Names{"A", "B", "E", "S"}));
    EXPECT_EQ(c.GetDstCount(), 0);
}

TEST_F(PlugTest, FilteredViewsMirrorTheirParentInOrder) {
    TestPlug a(mLog, "A", &gKObjectClassInfo), b(mLog, "B"), c(mLog, "C", &gKFbxNode_internalClassInfo);
    mDst.ConnectSrc(&a);
    mDst.ConnectSrc(&b);
    mDst.ConnectSrc(&c);

    KPlug* objects = mDst.GetView(ObjectFilter());
    ASSERT_NE(objects, nullptr);
    EXPECT_EQ(mDst.GetView(ObjectFilter()), objects);
    EXPECT_EQ(mDst.FindView(ObjectFilter()), objects);
    EXPECT_EQ(objects->GetParent(), &mDst);
    EXPECT_EQ(objects->GetFlags() & (KPlug::kIsView | KPlug::kViewOnDemand), KPlug::kIsView | KPlug::kViewOnDemand);
    EXPECT_EQ(Sources(mLog, *objects), (Names{"A", "C"}));
    KPlug* properties = mDst.GetView(gKPropertyClassInfo.GetFilter());
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(properties->GetSrcCount(), 0);
    // The "None" and KPlug filters view the plug itself.
    EXPECT_EQ(mDst.GetView(GetPlugClassFilter(-1)), &mDst);
    EXPECT_EQ(mDst.GetView(gKPlugClassInfo.GetFilter()), &mDst);
    EXPECT_EQ(mDst.GetViewCount(), 2);

    TestPlug e(mLog, "E", &gKObjectClassInfo);
    mLog.mEvents.clear();
    ASSERT_TRUE(mDst.ConnectSrcAt(1, &e));  // before B
    EXPECT_EQ(Sources(mLog, mDst), (Names{"A", "E", "B", "C"}));
    EXPECT_EQ(Sources(mLog, *objects), (Names{"A", "E", "C"}));
    EXPECT_EQ(properties->GetSrcCount(), 0);
    // The view is asked and told too, with its own index.
    EXPECT_EQ(mLog.mEvents, (Events{{0, "D", -1, "E"},
                                    {1, "E", -1, "D"},
                                    {2, "D", -1, "E"},
                                    {3, "E", -1, "D"},
                                    {0, "D.view1", -1, "E"},
                                    {2, "D.view1", -1, "E"},
                                    {4, "D", 1, "E"},
                                    {5, "E", 0, "D"},
                                    {4, "D.view1", 1, "E"}}));

    mLog.mEvents.clear();
    ASSERT_TRUE(mDst.DisconnectSrc(&c));
    EXPECT_EQ(Sources(mLog, *objects), (Names{"A", "E"}));
    const Events expected{{kBeginChange, "D", -1, "-"}, {kBeginChange, "C", -1, "-"}, {6, "D", 3, "C"},
                          {7, "C", 0, "D"},             {6, "D.view1", 2, "C"},       {8, "D", 3, "C"},
                          {9, "C", 0, "D"},             {8, "D.view1", 2, "C"}};
    EXPECT_EQ(Events(mLog.mEvents.begin(), mLog.mEvents.begin() + 8), expected);
    // A view made on demand keeps its events to itself.
    EXPECT_EQ(mDst.mLastChainPlug, nullptr);
}

TEST_F(PlugTest, AViewThatRefusesKeepsItsListAndConnectingAViewReachesItsParent) {
    TestPlug a(mLog, "A", &gKObjectClassInfo);
    auto* view = static_cast<TestPlug*>(mDst.GetView(ObjectFilter()));
    ASSERT_NE(view, nullptr);
    view->mRefuse = {eKPlugDstMayTakeSrc};
    ASSERT_TRUE(mDst.ConnectSrc(&a));
    EXPECT_EQ(Sources(mLog, mDst), Names{"A"});
    EXPECT_EQ(view->GetSrcCount(), 0);

    // Connecting into the view connects its parent; the view sees it mirrored.
    view->mRefuse.clear();
    TestPlug b(mLog, "B", &gKObjectClassInfo);
    mLog.mAskedOf.clear();
    ASSERT_TRUE(view->ConnectSrc(&b));
    // Asked of the view, the change was asked of its parent.
    EXPECT_EQ(mLog.mAskedOf, (Names{"D", "D", "D", "D", "D"}));
    EXPECT_EQ(Sources(mLog, mDst), (Names{"A", "B"}));
    EXPECT_EQ(Sources(mLog, *view), Names{"B"});
    EXPECT_EQ(Destinations(mLog, b), Names{"D"});
    // A view resolved to its own parent is a self-connection.
    EXPECT_FALSE(view->ConnectDst(&mDst));
    // Disconnecting through the view works on the parent as well.
    ASSERT_TRUE(view->DisconnectSrcAt(0));
    EXPECT_EQ(Sources(mLog, mDst), Names{"A"});
}

TEST_F(PlugTest, ViewsLinkedByHandMirrorTheParentAndUnlinkCleanly) {
    TestPlug a(mLog, "A", &gKObjectClassInfo), b(mLog, "B");
    mDst.ConnectSrc(&a);
    mDst.ConnectSrc(&b);
    mDst.ConnectDst(&mSrc);
    auto* view = new TestPlug(mLog, "V");
    view->SetClassInfo(ObjectFilter(), KPlug::kIsView);
    ASSERT_TRUE(view->SetParent(&mDst));
    EXPECT_EQ(Sources(mLog, *view), Names{"A"});
    EXPECT_EQ(view->GetDstCount(), 0);
    EXPECT_EQ(mDst.FindView(ObjectFilter()), view);

    // Not made on demand: its events go on to the parent.
    TestPlug c(mLog, "C", &gKObjectClassInfo);
    mDst.ConnectSrc(&c);
    EXPECT_EQ(mDst.mLastChainPlug, view);

    // Unlinked, it mirrors nothing; linked again, it mirrors afresh.
    ASSERT_TRUE(view->SetParent(nullptr));
    EXPECT_EQ(view->GetSrcCount(), 0);
    EXPECT_EQ(mDst.GetViewCount(), 0);
    ASSERT_TRUE(view->SetParent(&mDst));
    EXPECT_EQ(Sources(mLog, *view), (Names{"A", "C"}));

    // Deleted before its parent, it leaves the parent's list.
    delete view;
    EXPECT_EQ(mDst.GetViewCount(), 0);
    ASSERT_TRUE(mDst.ConnectSrc(&mSrc));

    // A parent deleted first leaves a view it did not make unlinked and empty.
    auto* parent = new TestPlug(mLog, "P");
    parent->ConnectSrc(&a);
    TestPlug kept(mLog, "K");
    kept.SetClassInfo(ObjectFilter(), KPlug::kIsView);
    ASSERT_TRUE(kept.SetParent(parent));
    EXPECT_EQ(kept.GetSrcCount(), 1);
    delete parent;
    EXPECT_EQ(kept.GetParent(), nullptr);
    EXPECT_EQ(kept.GetSrcCount(), 0);
}

TEST_F(PlugTest, ViewsAreCappedAndViewsOfViewsRefused) {
    std::vector<std::unique_ptr<int>> slots;
    std::vector<std::unique_ptr<KPlugFilter>> filters;
    for (int i = 0; i <= KPlug::kMaxViews; ++i) {
        slots.push_back(std::make_unique<int>(1000 + i));
        filters.push_back(std::make_unique<KPlugFilter>(slots.back().get()));
    }
    for (int i = 0; i < KPlug::kMaxViews; ++i) {
        ASSERT_NE(mDst.GetView(filters[i].get()), nullptr) << i;
    }
    EXPECT_EQ(mDst.GetView(filters[KPlug::kMaxViews].get()), nullptr);
    EXPECT_EQ(mDst.GetViewCount(), KPlug::kMaxViews);

    KPlug loose;
    loose.SetClassInfo(filters[KPlug::kMaxViews].get(), KPlug::kIsView);
    EXPECT_FALSE(loose.SetParent(&mDst));
    EXPECT_EQ(loose.GetParent(), nullptr);

    // Connecting still works with every view taking part.
    ASSERT_TRUE(mDst.ConnectSrc(&mSrc));
    EXPECT_EQ(mDst.GetSrcCount(), 1);

    KPlug* view = mDst.GetViewAt(0);
    EXPECT_FALSE(loose.SetParent(view));
    EXPECT_EQ(view->GetView(ObjectFilter()), nullptr);
}

TEST_F(PlugTest, ReplaceKeepsThePlaceAndBracketsTheChange) {
    TestPlug a(mLog, "A"), b(mLog, "B"), c(mLog, "C"), n(mLog, "N"), x(mLog, "X"), y(mLog, "Y");
    mDst.ConnectSrc(&a);
    mDst.ConnectSrc(&b);
    mDst.ConnectSrc(&c);
    n.ConnectDst(&x);
    n.ConnectDst(&y);
    mLog.mEvents.clear();

    ASSERT_TRUE(mDst.ReplaceSrc(&b, &n, 1));
    EXPECT_EQ(Sources(mLog, mDst), (Names{"A", "N", "C"}));
    EXPECT_EQ(Destinations(mLog, n), (Names{"X", "D", "Y"}));
    EXPECT_EQ(b.GetDstCount(), 0);
    const Events expected{
        {10, "D", -1, "B"},
        {12, "B", -1, "D"},
        {kBeginChange, "D", -1, "-"},
        {kBeginChange, "B", -1, "-"},
        {6, "D", 1, "B"},
        {7, "B", 0, "D"},
        {8, "D", 1, "B"},
        {9, "B", 0, "D"},
        {kEndChange, "D", -1, "-"},
        {kEndChange, "B", -1, "-"},
        // The pair is pending: no clean-up until the bracket ends.
        {0, "D", -1, "N"},
        {1, "N", -1, "D"},
        {2, "D", -1, "N"},
        {3, "N", -1, "D"},
        {4, "D", 1, "N"},
        {5, "N", 1, "D"},
        {11, "D", -1, "B"},
        {13, "B", -1, "D"},
        {kCleanUp, "D", -1, "-"},
        {kCleanUp, "B", -1, "-"},
    };
    EXPECT_EQ(mLog.mEvents, expected);

    mLog.mEvents.clear();
    EXPECT_FALSE(mDst.ReplaceSrc(&b, &n));
    EXPECT_TRUE(mLog.mEvents.empty());

    // The mirror: the source's destination is swapped, source side hears 12 / 13.
    ASSERT_TRUE(n.ReplaceDst(&x, &b));
    EXPECT_EQ(Destinations(mLog, n), (Names{"B", "D", "Y"}));
    EXPECT_EQ(mLog.mEvents.front(), (Event{12, "N", -1, "X"}));
    EXPECT_EQ(mLog.mEvents[1], (Event{10, "X", -1, "N"}));
}

TEST_F(PlugTest, ARefusedReplacementKeepsTheOldConnectionAndClosesItsBracket) {
    TestPlug a(mLog, "A"), n(mLog, "N");
    mDst.ConnectSrc(&a);
    n.mRefuse = {eKPlugSrcMayTakeDst};
    mLog.mEvents.clear();
    EXPECT_FALSE(mDst.ReplaceSrc(&a, &n));
    // Nothing changed: the old source is back in its place.
    EXPECT_EQ(Sources(mLog, mDst), Names{"A"});
    EXPECT_EQ(Destinations(mLog, a), Names{"D"});
    EXPECT_EQ(n.GetDstCount(), 0);
    EXPECT_EQ(mLog.mEvents.back(), (Event{kCleanUp, "A", -1, "-"}));
    EXPECT_EQ(mLog.mEvents[mLog.mEvents.size() - 4], (Event{11, "D", -1, "A"}));
}

TEST_F(PlugTest, SetAtConnectsPastTheEndAndReplacesInside) {
    TestPlug a(mLog, "A"), b(mLog, "B");
    ASSERT_TRUE(mDst.SetSrcAt(5, &a));
    ASSERT_TRUE(mDst.SetSrcAt(0, &b));
    EXPECT_EQ(Sources(mLog, mDst), Names{"B"});
    EXPECT_EQ(a.GetDstCount(), 0);
    ASSERT_TRUE(mSrc.SetDstAt(0, &a));
    ASSERT_TRUE(mSrc.SetDstAt(0, &mDst));
    EXPECT_EQ(Destinations(mLog, mSrc), Names{"D"});
    EXPECT_EQ(Sources(mLog, mDst), (Names{"B", "S"}));
}

TEST_F(PlugTest, DestroyAnnouncesFirstThenLeavesNothingBehind) {
    TestPlug a(mLog, "A"), b(mLog, "B");
    auto* plug = new TestPlug(mLog, "P");
    plug->ConnectSrc(&a);
    plug->ConnectDst(&b);
    KPlug* view = plug->GetView(ObjectFilter());
    ASSERT_NE(view, nullptr);
    mLog.mEvents.clear();

    plug->Destroy();
    ASSERT_FALSE(mLog.mEvents.empty());
    EXPECT_EQ(mLog.mEvents.front(), (Event{kObjectEvent + kKPlugObjectEventDestroyed, "P", -1, "-"}));
    EXPECT_NE(plug->GetFlags() & KPlug::kBeingDestroyed, 0u);
    EXPECT_EQ(plug->GetSrcCount(), 0);
    EXPECT_EQ(plug->GetDstCount(), 0);
    EXPECT_EQ(plug->GetViewCount(), 0);
    EXPECT_EQ(a.GetDstCount(), 0);
    EXPECT_EQ(b.GetSrcCount(), 0);
    plug->Release();
}

TEST_F(PlugTest, DeletingAPlugDisconnectsItWhateverItsFilterHasBecome) {
    const int live = KPlug::GetLiveCount();
    auto* plug = new TestPlug(mLog, "P");
    EXPECT_EQ(KPlug::GetLiveCount(), live + 1);
    ASSERT_TRUE(plug->ConnectSrc(&mSrc));
    ASSERT_TRUE(plug->ConnectDst(&mDst));
    plug->SetClassInfo(ObjectFilter(), 0);
    EXPECT_FALSE(plug->DisconnectSrc(&mSrc));
    plug->Release();
    EXPECT_EQ(KPlug::GetLiveCount(), live);
    EXPECT_EQ(mSrc.GetDstCount(), 0);
    EXPECT_EQ(mDst.GetSrcCount(), 0);
}

TEST_F(PlugTest, DisconnectAllEmptiesBothLists) {
    TestPlug a(mLog, "A"), b(mLog, "B"), c(mLog, "C");
    mSrc.ConnectSrc(&a);
    mSrc.ConnectSrc(&b);
    mSrc.ConnectDst(&c);
    mSrc.ConnectDst(&mDst);
    mSrc.DisconnectAll();
    EXPECT_EQ(mSrc.GetSrcCount(), 0);
    EXPECT_EQ(mSrc.GetDstCount(), 0);
    EXPECT_EQ(c.GetSrcCount(), 0);
}

TEST_F(PlugTest, ChildrenPassTheirEventsUpWithTheirChain) {
    TestPlug child(mLog, "child");
    ASSERT_TRUE(mDst.AddChild(&child));
    EXPECT_FALSE(mDst.AddChild(&child));
    EXPECT_TRUE(child.HasParent());
    ASSERT_TRUE(child.ConnectSrc(&mSrc));
    EXPECT_EQ(mDst.mLastChainPlug, &child);

    // The parent's refusal stops a connection of its child.
    TestPlug other(mLog, "other");
    mDst.mRefuse = {eKPlugDstMayTakeSrc};
    EXPECT_FALSE(child.ConnectSrc(&other));
    mDst.mRefuse.clear();

    mLog.mEvents.clear();
    child.BeginUpdate();
    child.EndUpdate();
    EXPECT_EQ(mLog.mEvents, (Events{{16, "child", -1, "-"}, {17, "child", -1, "-"}}));

    EXPECT_FALSE(mSrc.RemoveChild(&child));
    EXPECT_TRUE(mDst.RemoveChild(&child));
    EXPECT_FALSE(child.HasParent());
    EXPECT_FALSE(child.SetParent(nullptr));
}

TEST_F(PlugTest, AParentChainNeverLoopsBackToThePlug) {
    TestPlug a(mLog, "A");
    TestPlug b(mLog, "B");
    TestPlug c(mLog, "C");
    EXPECT_FALSE(a.AddChild(&a));
    EXPECT_FALSE(a.SetParent(&a));
    ASSERT_TRUE(a.AddChild(&b));
    ASSERT_TRUE(b.AddChild(&c));
    // Under its own child or grandchild, A would pass its events round forever.
    EXPECT_FALSE(b.AddChild(&a));
    EXPECT_FALSE(c.AddChild(&a));
    EXPECT_FALSE(a.SetParent(&c));
    EXPECT_FALSE(a.HasParent());
    EXPECT_EQ(c.GetParent(), &b);

    // The refusal leaves the chain as it was, and a connection into A ends.
    ASSERT_TRUE(a.ConnectSrc(&mSrc));
    EXPECT_EQ(a.GetSrcCount(), 1);

    // Moving a plug to a sibling branch is no cycle.
    TestPlug d(mLog, "D");
    ASSERT_TRUE(a.AddChild(&d));
    EXPECT_TRUE(d.AddChild(&c));
    EXPECT_EQ(c.GetParent(), &d);
    a.DisconnectSrc(&mSrc);
}

TEST_F(PlugTest, CallbacksHearEventsAndRemovedOnesAreDroppedAfterTheDelivery) {
    KPlug plain;
    struct Heard {
        std::vector<int> mCodes;
        KPlug* mPlug = nullptr;
    } heard, other;
    auto onConnection = [](void* context, const KPlugEventChain*, int code, KPlug*, int, KPlug*, std::uint8_t,
                           KEventWord) {
        Heard* target = static_cast<Heard*>(context);
        target->mCodes.push_back(code);
        if (code == eKPlugSrcAdded && target->mPlug != nullptr) {
            target->mPlug->RemoveCallbacks(target);
        }
    };
    plain.AddCallbacks(&heard, nullptr, nullptr, onConnection);
    plain.AddCallbacks(&other, nullptr, nullptr, onConnection);
    heard.mPlug = &plain;
    ASSERT_TRUE(plain.ConnectSrc(&mSrc));
    EXPECT_EQ(heard.mCodes, (std::vector<int>{0, 2, 4}));
    plain.DisconnectSrc(&mSrc);
    EXPECT_EQ(heard.mCodes, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(other.mCodes, (std::vector<int>{0, 2, 4, 6, 8}));

    // Value and object events reach only the callbacks of their kind.
    KPlug quiet;
    struct Words {
        std::vector<KEventWord> mValues, mObjects;
    } words;
    quiet.AddCallbacks(
        &words,
        [](void* context, const KPlugEventChain*, int, KPlug*, KEventWord a, KEventWord, KEventWord) {
            static_cast<Words*>(context)->mValues.push_back(a);
        },
        [](void* context, const KPlugEventChain*, int, KPlug*, KEventWord a, KEventWord, KEventWord) {
            static_cast<Words*>(context)->mObjects.push_back(a);
        },
        nullptr);
    EXPECT_TRUE(quiet.EmitValueEvent(nullptr, 20, &quiet, 7, 0, 0));
    EXPECT_TRUE(quiet.EmitObjectEvent(nullptr, 23, &quiet, 9, 0, 0));
    EXPECT_TRUE(quiet.ConnectSrc(&mSrc));
    EXPECT_EQ(words.mValues, (std::vector<KEventWord>{7}));
    EXPECT_EQ(words.mObjects, (std::vector<KEventWord>{9}));
}

TEST_F(PlugTest, AnswersItsInterfaces) {
    KPlug plain;
    EXPECT_EQ(plain.GetInterface(0, nullptr), &plain);
    EXPECT_EQ(plain.GetInterface(2, nullptr), &plain);
    EXPECT_EQ(plain.GetInterface(KPlug::kInterfaceKPlug, nullptr), &plain);
    EXPECT_EQ(plain.GetInterface(1, nullptr), nullptr);
    EXPECT_EQ(plain.GetFlags(), 0x23u);
    EXPECT_EQ(plain.GetFilter(), GetPlugClassFilter(-1));
    KPlug* fresh = plain.NewPlug(nullptr);
    ASSERT_NE(fresh, nullptr);
    fresh->Release();
}

namespace {

// A plug of the given class that takes part in nothing but its connections.
class ClassedPlug : public KPlug {
public:
    explicit ClassedPlug(const KPlugClassInfo* info = &gKPlugClassInfo) : mInfo(info) {}
    const KPlugClassInfo* GetClassInfo() const override { return mInfo; }

private:
    const KPlugClassInfo* mInfo;
};

std::vector<const KPlug*> SourceList(const KPlug& plug) {
    std::vector<const KPlug*> list;
    for (int i = 0; i < plug.GetSrcCount(); ++i) {
        list.push_back(plug.GetSrc(i));
    }
    return list;
}

int LastIndexIn(const std::vector<const KPlug*>& list, const KPlug* plug) {
    for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i) {
        if (list[static_cast<std::size_t>(i)] == plug) {
            return i;
        }
    }
    return -1;
}

}  // namespace

// Long lists are searched and shrunk differently from short ones: checked
// against a plain model through growth, removal at both ends and in the middle,
// repeated plugs, and a view that mirrors a subset.
TEST(KPlugLongLists, KeepTheirOrderAndFindTheLastOccurrenceLikeShortOnes) {
    std::vector<std::unique_ptr<ClassedPlug>> pool;
    for (int i = 0; i < 48; ++i) {
        pool.push_back(std::make_unique<ClassedPlug>(i % 3 == 0 ? &gKObjectClassInfo : &gKPlugClassInfo));
    }
    KPlug hub;
    KPlug* objects = hub.GetView(ObjectFilter());
    ASSERT_NE(objects, nullptr);
    std::vector<const KPlug*> model;

    auto check = [&](int step) {
        ASSERT_EQ(SourceList(hub), model) << "step " << step;
        std::vector<const KPlug*> mirrored;
        for (const KPlug* plug : model) {
            if (plug->IsType(gKObjectClassInfo.GetId())) {
                mirrored.push_back(plug);
            }
        }
        ASSERT_EQ(SourceList(*objects), mirrored) << "step " << step;
        for (const auto& plug : pool) {
            ASSERT_EQ(hub.FindSrcIndex(plug.get()), LastIndexIn(model, plug.get())) << "step " << step;
            ASSERT_EQ(objects->FindSrcIndex(plug.get()), LastIndexIn(mirrored, plug.get())) << "step " << step;
        }
    };

    std::size_t largest = 0;
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % bound;
    };
    for (int step = 0; step < 3000; ++step) {
        const std::uint32_t choice = next(10);
        if (model.size() < 150 && (choice < 6 || model.empty())) {
            // Appends, inserts anywhere, and now and then a plug already listed.
            KPlug* plug = pool[next(static_cast<std::uint32_t>(pool.size()))].get();
            const int at = choice < 2 ? -1 : static_cast<int>(next(static_cast<std::uint32_t>(model.size()) + 1));
            ASSERT_TRUE(hub.ConnectSrcAt(at, plug));
            // The new entry goes before the plug at the index, found from the end.
            const std::size_t position = at < 0 || at >= static_cast<int>(model.size())
                                             ? model.size()
                                             : static_cast<std::size_t>(
                                                   LastIndexIn(model, model[static_cast<std::size_t>(at)]));
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(position), plug);
        } else {
            // The first, the last, or any entry goes; a repeated plug loses its
            // last occurrence.
            const int index = choice < 7   ? 0
                              : choice < 9 ? static_cast<int>(model.size()) - 1
                                           : static_cast<int>(next(static_cast<std::uint32_t>(model.size())));
            const KPlug* plug = model[static_cast<std::size_t>(index)];
            ASSERT_TRUE(hub.DisconnectSrc(const_cast<KPlug*>(plug)));
            model.erase(model.begin() + LastIndexIn(model, plug));
        }
        largest = std::max(largest, model.size());
        if (step % 50 == 0 || model.size() < 3) {
            check(step);
        }
    }
    EXPECT_GT(largest, 100u);
    check(-1);
    while (!model.empty()) {
        ASSERT_TRUE(hub.DisconnectSrcAt(0));
        model.erase(model.begin());
    }
    check(-2);
    hub.DisconnectAll();
}

// What few plugs have lives apart from the plug: it goes when the last
// connection, view or callback goes, and comes back whole when needed again.
TEST_F(PlugTest, ConnectionsViewsAndCallbacksComeBackAfterTheLastOneWent) {
    TestPlug a(mLog, "A", &gKObjectClassInfo);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(mDst.ConnectSrc(&a));
        EXPECT_EQ(Sources(mLog, mDst), (Names{"A"}));
        EXPECT_EQ(Destinations(mLog, a), (Names{"D"}));
        ASSERT_TRUE(mDst.DisconnectSrc(&a));
        EXPECT_EQ(mDst.GetSrcCount(), 0);
        EXPECT_EQ(a.GetDstCount(), 0);
        EXPECT_EQ(mDst.GetSrc(0), nullptr);
        EXPECT_EQ(mDst.FindSrcIndex(&a), -1);
        EXPECT_EQ(mDst.GetSrcType(0), 0);
    }

    // A view outlives the connections it mirrored and mirrors new ones.
    KPlug* view = mDst.GetView(ObjectFilter());
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(mDst.ConnectSrc(&a));
    ASSERT_TRUE(mDst.DisconnectSrc(&a));
    EXPECT_EQ(mDst.GetViewCount(), 1);
    ASSERT_TRUE(mDst.ConnectSrc(&a));
    EXPECT_EQ(Sources(mLog, *view), (Names{"A"}));
    mDst.DisconnectAll();

    // Callbacks removed outside any delivery are gone at once; added again, they hear.
    KPlug plain;
    int heard = 0;
    auto onConnection = [](void* context, const KPlugEventChain*, int, KPlug*, int, KPlug*, std::uint8_t,
                           KEventWord) { ++*static_cast<int*>(context); };
    plain.AddCallbacks(&heard, nullptr, nullptr, onConnection);
    plain.RemoveCallbacks(&heard);
    ASSERT_TRUE(plain.ConnectSrc(&mSrc));
    EXPECT_EQ(heard, 0);
    plain.AddCallbacks(&heard, nullptr, nullptr, onConnection);
    ASSERT_TRUE(plain.DisconnectSrc(&mSrc));
    EXPECT_EQ(heard, 2);  // about to be removed, removed
}
