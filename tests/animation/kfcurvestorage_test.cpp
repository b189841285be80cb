// Key storage, key search and change notification of the function curve.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveAllocator.h>

#include "CurveTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace fbxsdk_2006_11_1;
using curvetest::EventLog;
using curvetest::Sec;

namespace {

// Keys at 0, 1, 2, ... seconds whose values are their indices.
void FillLinear(KFCurve& curve, int count) {
    curve.KeyResize(count);
    for (int i = 0; i < count; ++i) {
        curve.KeySet(i, Sec(i), static_cast<float>(i), KFCURVE_INTERPOLATION_LINEAR);
    }
}

void ExpectKeysInOrder(const KFCurve& curve) {
    for (int i = 1; i < curve.KeyGetCount(); ++i) {
        ASSERT_LT(curve.KeyGetTime(i - 1), curve.KeyGetTime(i)) << "at key " << i;
    }
}

}  // namespace

TEST(KFCurveStorage, KeyFindGivesFractionalIndicesAndMovesTheHint) {
    KFCurve curve;
    EXPECT_EQ(curve.KeyFind(Sec(1)), -1.0);
    FillLinear(curve, 5);
    int hint = 2;
    EXPECT_EQ(curve.KeyFind(Sec(-1), &hint), -0.5);
    EXPECT_EQ(hint, 0);
    EXPECT_EQ(curve.KeyFind(Sec(9), &hint), 4.5);
    EXPECT_EQ(hint, 5);
    EXPECT_EQ(curve.KeyFind(Sec(3), &hint), 3.0);
    EXPECT_EQ(curve.KeyFind(Sec(1.25), &hint), 1.25);
    EXPECT_EQ(hint, 1);
    // Increasing times walk up from the hint.
    EXPECT_EQ(curve.KeyFind(Sec(2.5), &hint), 2.5);
    EXPECT_EQ(hint, 3);
    EXPECT_EQ(curve.KeyFind(Sec(4)), 4.0);
}

TEST(KFCurveStorage, GrowthAllocatesPointerStepsOf64AndBlocksOf25AndReleasesAll) {
    const long long before = KFCurveAllocatedBytes();
    {
        KFCurve curve;
        ASSERT_TRUE(curve.KeyResize(1601));
        // 128 block pointers (room for 3200 keys) and 65 blocks of 1024 bytes.
        EXPECT_EQ(KFCurveAllocatedBytes() - before, 128 * static_cast<long long>(sizeof(void*)) + 65 * 1024);
        ASSERT_TRUE(curve.KeyResize(10));  // never shrinks
        EXPECT_EQ(KFCurveAllocatedBytes() - before, 128 * static_cast<long long>(sizeof(void*)) + 65 * 1024);
        curve.KeyClear();
        EXPECT_EQ(KFCurveAllocatedBytes(), before);
        FillLinear(curve, 80);
    }
    EXPECT_EQ(KFCurveAllocatedBytes(), before);
}

TEST(KFCurveStorage, BlockCrossingInsertsKeepEveryKey) {
    KFCurve curve;
    for (int i = 0; i < 60; ++i) {
        KFCurveKey key;
        key.Set(KTime(0), static_cast<float>(i), KFCURVE_INTERPOLATION_LINEAR, 0, 0, 0, 0, 0.3, 0.3, 0, 0);
        // Always in front, so every insert shifts records across blocks.
        ASSERT_EQ(curve.KeyAdd(Sec(100 - i), key), 0);
    }
    ASSERT_EQ(curve.KeyGetCount(), 60);
    ExpectKeysInOrder(curve);
    for (int i = 0; i < 60; ++i) EXPECT_EQ(curve.KeyGetValue(i), 59 - i);
    // And one in the middle of the second block.
    KFCurveKey key;
    key.Set(KTime(0), -1.0f, KFCURVE_INTERPOLATION_LINEAR, 0, 0, 0, 0, 0.3, 0.3, 0, 0);
    EXPECT_EQ(curve.KeyAdd(Sec(41 + 30.5), key), 31);
    EXPECT_EQ(curve.KeyGetValue(31), -1.0f);
    EXPECT_EQ(curve.KeyGetValue(32), 59 - 31);
    ExpectKeysInOrder(curve);
}

TEST(KFCurveStorage, BlockCrossingRemovalsFreeWholeBlocksAndKeepTheRest) {
    const long long before = KFCurveAllocatedBytes();
    auto curve = std::make_unique<KFCurve>();
    FillLinear(*curve, 130);  // 6 blocks
    const long long full = KFCurveAllocatedBytes();
    // Keys 10..99 contain blocks 1, 2 and 3 (keys 25..99) whole.
    ASSERT_TRUE(curve->KeyRemoveRange(10, 99));
    EXPECT_EQ(KFCurveAllocatedBytes(), full - 3 * 1024);
    ASSERT_EQ(curve->KeyGetCount(), 40);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(curve->KeyGetValue(i), i);
    for (int i = 10; i < 40; ++i) EXPECT_EQ(curve->KeyGetValue(i), i + 90);
    ExpectKeysInOrder(*curve);
    // Storage grows back into the freed room.
    FillLinear(*curve, 130);
    EXPECT_EQ(curve->KeyGetValue(129), 129.0f);
    // A removal that ends inside a block, and one of the last key.
    ASSERT_TRUE(curve->KeyRemoveRange(24, 26));
    EXPECT_EQ(curve->KeyGetValue(24), 27.0f);
    ASSERT_TRUE(curve->KeyRemove(curve->KeyGetCount() - 1));
    EXPECT_EQ(curve->KeyGetCount(), 126);
    EXPECT_EQ(curve->KeyGetValue(125), 128.0f);
    curve.reset();
    EXPECT_EQ(KFCurveAllocatedBytes(), before);
}

TEST(KFCurveStorage, RemoveRangeRejectsBadIndices) {
    KFCurve curve;
    EXPECT_FALSE(curve.KeyRemoveRange(0, 0));
    FillLinear(curve, 5);
    EXPECT_FALSE(curve.KeyRemoveRange(-1, 2));
    EXPECT_FALSE(curve.KeyRemoveRange(3, 5));
    EXPECT_FALSE(curve.KeyRemoveRange(3, 2));
    EXPECT_EQ(curve.KeyGetCount(), 5);
    // Removing all keys keeps the first value as the default.
    ASSERT_TRUE(curve.KeyRemoveRange(0, 4));
    EXPECT_EQ(curve.KeyGetCount(), 0);
    EXPECT_EQ(curve.GetValue(), 0.0f);
}

TEST(KFCurveStorage, KeySetRefusesToLeaveUnwrittenKeys) {
    KFCurve curve;
    curve.KeySet(2, Sec(1), 1.0f);
    EXPECT_EQ(curve.KeyGetCount(), 0);
    curve.KeySet(0, Sec(1), 1.0f);  // storage is made when missing
    EXPECT_EQ(curve.KeyGetCount(), 1);
}

TEST(KFCurveNotification, ABracketDeliversOnceWithTheMergedEvent) {
    EventLog log;  // outlives the curve, which announces its destruction
    KFCurve curve;
    FillLinear(curve, 8);
    log.Attach(curve);
    curve.KeyModifyBegin();
    curve.KeyModifyBegin();
    curve.KeySetValue(2, 5.0f);
    curve.KeySetTime(6, Sec(6.5));
    curve.KeyModifyEnd();
    EXPECT_TRUE(log.events.empty());
    curve.KeyModifyEnd();
    ASSERT_EQ(log.events.size(), 1u);
    const KFCurveEvent& event = log.events[0];
    EXPECT_EQ(event.mEventType, 0x2010u | 0x4010u);
    EXPECT_EQ(event.mKeyIndexStart, 2);
    EXPECT_EQ(event.mKeyIndexStop, 6);
    EXPECT_EQ(event.mEventCount, 2);
}

TEST(KFCurveNotification, PerOperationEventCodes) {
    EventLog log;
    KFCurve curve;
    FillLinear(curve, 4);
    log.Attach(curve);
    const auto bitsOf = [&](auto&& operation) {
        log.events.clear();
        operation();
        unsigned int bits = 0;
        for (const KFCurveEvent& event : log.events) bits |= event.mEventType;
        return std::make_pair(bits, log.events.size());
    };
    using Result = std::pair<unsigned int, std::size_t>;
    EXPECT_EQ(bitsOf([&] { curve.SetValue(3.0f); }), Result(0x1, 1));
    EXPECT_EQ(bitsOf([&] { curve.SetPostExtrapolation(KFCURVE_EXTRAPOLATION_REPETITION); }), Result(0x8010, 1));
    EXPECT_EQ(bitsOf([&] { curve.KeySetValue(1, 2.0f); }), Result(0x2010, 1));
    EXPECT_EQ(bitsOf([&] { curve.KeyIncValue(1, 2.0f); }), Result(0x2010, 1));
    EXPECT_EQ(bitsOf([&] { curve.KeySetTime(1, Sec(1.5)); }), Result(0x4010, 1));
    EXPECT_EQ(bitsOf([&] { curve.KeySetInterpolation(1, KFCURVE_INTERPOLATION_CUBIC); }), Result(0x8010, 1));
    EXPECT_EQ(bitsOf([&] { curve.KeySetTangentBreak(1, true); }), Result(0x8010, 1));
    EXPECT_EQ(bitsOf([&] { curve.KeySetDataDouble(1, 0, 1.0); }), Result(0x8010, 1));
    EXPECT_EQ(bitsOf([&] { curve.KeySet(1, Sec(1), 1.0f); }), Result(0xE010, 1));
    EXPECT_EQ(bitsOf([&] { curve.KeySet(4, Sec(7), 1.0f); }), Result(0x810, 2));
    EXPECT_EQ(bitsOf([&] { curve.KeyRemove(4); }), Result(0x1010, 1));
    // A whole-key replacement through KeyAdd is a rewrite, not an addition.
    EXPECT_EQ(bitsOf([&] { curve.KeyAdd(Sec(2), curve.KeyGet(2)); }), Result(0xE010, 1));
    EXPECT_EQ(bitsOf([&] { curve.KeyAdd(Sec(2.5), curve.KeyGet(2)); }), Result(0x810, 1));
    EXPECT_EQ(bitsOf([&] { curve.KeyAppendFast(Sec(9), 1.0f); }), Result(0, 0));
    EXPECT_EQ(bitsOf([&] { curve.KeyClear(); }), Result(0x1010, 1));
    EXPECT_EQ(log.events.back().mKeyIndexStart, 0);
    EXPECT_EQ(log.events.back().mKeyIndexStop, 6);
}

TEST(KFCurveNotification, UpdateCounterCountsPostsAndFastAppends) {
    KFCurve curve;
    curve.KeyModifyBegin();
    curve.CallbackPostEvent(0x10, 0);
    curve.CallbackPostEvent(0x100, 0);
    curve.KeyModifyEnd();
    curve.KeyAppendFast(Sec(1), 1.0f);
    EXPECT_EQ(curve.GetUpdateCounter(), 1 + 0x10000 + 1);
}

TEST(KFCurveNotification, DisabledCallbacksAccumulateUntilEnabledOrCleared) {
    EventLog log;
    KFCurve curve;
    log.Attach(curve);
    curve.CallbackEnable(false);
    curve.SetValue(1.0f);
    curve.CallbackClearEvent();
    curve.CallbackEnable(true);
    EXPECT_TRUE(log.events.empty());
    curve.CallbackEnable(false);
    curve.SetValue(2.0f);
    curve.CallbackEnable(true);
    ASSERT_EQ(log.events.size(), 1u);
    EXPECT_EQ(log.events[0].mEventType, 0x1u);
}

namespace {

struct SelfRemover {
    int calls = 0;
    static void Callback(KFCurve* curve, KFCurveEvent*, void* self) {
        auto* remover = static_cast<SelfRemover*>(self);
        ++remover->calls;
        curve->CallbackUnregister(&Callback, self);
    }
};

}  // namespace

TEST(KFCurveNotification, ACallbackMayUnregisterItselfDuringDelivery) {
    SelfRemover first;
    SelfRemover second;
    EventLog log;
    {
        KFCurve curve;
        curve.CallbackRegister(&SelfRemover::Callback, &first);
        curve.CallbackRegister(&SelfRemover::Callback, &second);
        log.Attach(curve);
        curve.SetValue(1.0f);
        curve.SetValue(2.0f);
        EXPECT_EQ(first.calls, 1);
        EXPECT_EQ(second.calls, 1);
        EXPECT_EQ(log.events.size(), 2u);
    }
    // Destruction is announced to the callbacks still registered.
    ASSERT_GE(log.events.size(), 3u);
    EXPECT_EQ(log.LastBits(), 0x200u);
}

TEST(KFCurveNotification, DestructionInsideABracketIsStillAnnounced) {
    EventLog log;
    {
        KFCurve curve;
        FillLinear(curve, 3);
        log.Attach(curve);
        curve.KeyModifyBegin();
        curve.KeySetValue(0, 4.0f);
    }
    ASSERT_EQ(log.events.size(), 2u);
    EXPECT_EQ(log.events[0].mEventType, 0x2010u | 0x1010u);
    EXPECT_EQ(log.events[1].mEventType, 0x200u);
    EXPECT_EQ(log.events[1].mKeyIndexStart, -1);
}

TEST(KFCurveStorage, SmallCurvesTakeOnlyTheirKeysAndGrowIntoFullBlocks) {
    const long long before = KFCurveAllocatedBytes();
    {
        KFCurve curve;
        ASSERT_TRUE(curve.KeyResize(3));
        // No block-pointer array and no full block for three keys.
        EXPECT_EQ(KFCurveAllocatedBytes() - before, 3 * static_cast<long long>(sizeof(KFCurveKey)));
        FillLinear(curve, 3);
        EXPECT_EQ(KFCurveAllocatedBytes() - before, 3 * static_cast<long long>(sizeof(KFCurveKey)));
        // Appending key by key crosses the small sizes and then block bounds.
        for (int i = 3; i < 60; ++i) {
            KFCurveKey key;
            key.Set(KTime(0), static_cast<float>(i), KFCURVE_INTERPOLATION_LINEAR, 0, 0, 0, 0, 0.3, 0.3, 0, 0);
            ASSERT_EQ(curve.KeyAdd(Sec(i), key), i);
        }
        ASSERT_EQ(curve.KeyGetCount(), 60);
        for (int i = 0; i < 60; ++i) EXPECT_EQ(curve.KeyGetValue(i), i);
        ExpectKeysInOrder(curve);
        EXPECT_EQ(KFCurveAllocatedBytes() - before, 64 * static_cast<long long>(sizeof(void*)) + 3 * 1024);

        KFCurve copy;
        copy.CopyFrom(curve);
        ASSERT_EQ(copy.KeyGetCount(), 60);
        for (int i = 0; i < 60; ++i) EXPECT_EQ(copy.KeyGetValue(i), i);
        curve.KeyClear();
        FillLinear(curve, 5);
        KFCurve small;
        small.CopyFrom(curve);
        ASSERT_EQ(small.KeyGetCount(), 5);
        EXPECT_EQ(small.KeyGetValue(4), 4.0f);
        // Removing every key of a small curve and adding again.
        ASSERT_TRUE(small.KeyRemoveRange(0, 4));
        FillLinear(small, 24);
        EXPECT_EQ(small.KeyGetValue(23), 23.0f);
        FillLinear(small, 26);
        EXPECT_EQ(small.KeyGetValue(25), 25.0f);
        ExpectKeysInOrder(small);
    }
    EXPECT_EQ(KFCurveAllocatedBytes(), before);
}

// Keys added after the last one, before the first, between two and on one:
// each lands in time order, announces itself once at its index, moves the
// hint there, and a new key takes the value the curve had at its time.
TEST(KFCurveStorage, KeysAddedAtTimeLandInOrderWhereverTheyFall) {
    struct Case {
        const char* what;
        double seconds;
        int index;
        int count;
        unsigned int bits;
    };
    const Case cases[] = {
        {"after the last key", 5.0, 4, 5, 0x810},
        {"far after, with the evaluation cached there", 9.0, 5, 6, 0x810},
        {"on the last key", 9.0, 5, 6, 0xE010},
        {"before the first key", -1.0, 0, 7, 0x810},
        {"between two keys", 1.5, 3, 8, 0x810},
        {"on a middle key", 2.0, 4, 8, 0xE010},
    };
    EventLog log;
    KFCurve curve;
    FillLinear(curve, 4);  // 0..3 s, values 0..3, linear
    log.Attach(curve);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const float before = curve.Evaluate(Sec(c.seconds));  // leaves that time cached
        log.events.clear();
        int hint = 0;
        ASSERT_EQ(curve.KeyAddAtTime(Sec(c.seconds), &hint), c.index);
        EXPECT_EQ(hint, c.index);
        ASSERT_EQ(curve.KeyGetCount(), c.count);
        EXPECT_EQ(curve.KeyGetTime(c.index), Sec(c.seconds));
        EXPECT_EQ(curve.KeyGetValue(c.index), before);
        ExpectKeysInOrder(curve);
        ASSERT_EQ(log.events.size(), 1u);
        EXPECT_EQ(log.events[0].mEventType, c.bits);
        EXPECT_EQ(log.events[0].mKeyIndexStart, c.index);
        // The curve is read afresh: a new value at the key shows at once.
        curve.KeySetValue(c.index, 40.0f);
        EXPECT_EQ(curve.Evaluate(Sec(c.seconds)), 40.0f);
        curve.KeySetValue(c.index, before);
    }
    EXPECT_EQ(curve.KeyGetTime(6), Sec(5));
    EXPECT_EQ(curve.KeyGetValue(6), 3.0f);
}
