// Key editing, insertion, removal, copies and span replacement.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveAllocator.h>

#include "CurveTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>

using namespace fbxsdk_2006_11_1;
using curvetest::EventLog;
using curvetest::Sec;

namespace {

void AddUser(KFCurve& curve, double seconds, float value, double rightSlope, double nextLeftSlope,
             unsigned int mode = KFCURVE_TANGENT_USER) {
    curve.KeySet(curve.KeyGetCount(), Sec(seconds), value, KFCURVE_INTERPOLATION_CUBIC, mode, rightSlope, nextLeftSlope);
}

void AddAuto(KFCurve& curve, double seconds, float value, unsigned int mode = KFCURVE_TANGENT_AUTO) {
    curve.KeySet(curve.KeyGetCount(), Sec(seconds), value, KFCURVE_INTERPOLATION_CUBIC, mode);
}

// Keys at 0, 1, 2, ... seconds.
void FillLinear(KFCurve& curve, int count) {
    for (int i = 0; i < count; ++i) {
        curve.KeySet(i, Sec(i), static_cast<float>(i * i), KFCURVE_INTERPOLATION_LINEAR, 0);
    }
}

// Without break a user key has one slope for both sides (the left one kept
// on the key before); with break the two sides differ.
void MakeUserCurve(KFCurve& curve, unsigned int mode) {
    const bool broken = mode == KFCURVE_TANGENT_USER_BREAK;
    AddUser(curve, 0.0, 0.0f, 1.5, broken ? -0.5 : 0.25, mode);
    AddUser(curve, 1.0, 1.0f, 0.25, broken ? 2.0 : -1.0, mode);
    AddUser(curve, 2.5, -0.5f, -1.0, broken ? 0.5 : 0.0, mode);
    AddUser(curve, 3.0, 0.5f, 0.0, 0.0, mode);
}

void ExpectSameShape(KFCurve& before, KFCurve& after, double from, double to) {
    for (int step = 0; step < 50; ++step) {
        const KTime t = Sec(from + (to - from) * (step + 0.37) / 50.0);
        EXPECT_NEAR(after.Evaluate(t), before.Evaluate(t), 1e-5) << "at step " << step;
    }
}

}  // namespace

TEST(KFCurveEditing, KeyInsertKeepsTheShapeBetweenUserKeys) {
    for (unsigned int mode : {static_cast<unsigned>(KFCURVE_TANGENT_USER), static_cast<unsigned>(KFCURVE_TANGENT_USER_BREAK)}) {
        KFCurve original;
        MakeUserCurve(original, mode);
        KFCurve edited;
        edited.CopyFrom(original);
        for (double t : {0.4, 0.7, 1.9, 2.75, 1.3}) {
            const float slope = edited.EvaluateDerivative(Sec(t));
            const int index = edited.KeyInsert(Sec(t));
            ASSERT_GE(index, 0);
            EXPECT_EQ(edited.KeyGetTime(index), Sec(t));
            EXPECT_NEAR(edited.KeyGetLeftDerivative(index), slope, 1e-5);
            EXPECT_NEAR(edited.KeyGetRightDerivative(index), slope, 1e-5);
            EXPECT_EQ(edited.KeyGetTangentMode(index), mode);
        }
        EXPECT_EQ(edited.KeyGetCount(), 9);
        ExpectSameShape(original, edited, 0.0, 3.0);
        for (int step = 1; step < 30; ++step) {
            const KTime t = Sec(step / 10.0 + 0.013);
            EXPECT_NEAR(edited.EvaluateDerivative(t), original.EvaluateDerivative(t), 1e-3) << step;
        }
    }
}

TEST(KFCurveEditing, KeyInsertOnAnExistingKeyChangesNothing) {
    EventLog log;
    KFCurve curve;
    MakeUserCurve(curve, KFCURVE_TANGENT_USER);
    log.Attach(curve);
    EXPECT_EQ(curve.KeyInsert(Sec(2.5)), 2);
    EXPECT_EQ(curve.KeyGetCount(), 4);
    EXPECT_TRUE(log.events.empty());
}

TEST(KFCurveEditing, KeyInsertAfterTheLastKeyReturnsTheNewKey) {
    KFCurve curve;
    curve.KeySet(0, Sec(0), 0.0f, KFCURVE_INTERPOLATION_CONSTANT, 0);
    curve.KeySet(1, Sec(1), 10.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    curve.KeySet(2, Sec(2), 20.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    curve.SetPostExtrapolation(KFCURVE_EXTRAPOLATION_REPETITION);
    curve.SetPostExtrapolationCount(-1);
    const float expected = curve.Evaluate(Sec(3.5));
    const int index = curve.KeyInsert(Sec(3.5));
    ASSERT_EQ(index, 3);
    EXPECT_EQ(curve.KeyGetValue(3), expected);
    EXPECT_EQ(curve.KeyGetTime(3), Sec(3.5));
    EXPECT_EQ(curve.KeyGetValue(2), 20.0f);  // the old last key is untouched
    // The new key takes the type of the key before it, the old last key.
    EXPECT_EQ(curve.KeyGetInterpolation(3), static_cast<unsigned>(KFCURVE_INTERPOLATION_LINEAR));
    // Before the first key it is the first key's type, and index 0.
    EXPECT_EQ(curve.KeyInsert(Sec(-1)), 0);
    EXPECT_EQ(curve.KeyGetInterpolation(0), static_cast<unsigned>(KFCURVE_INTERPOLATION_CONSTANT));
    // On an empty curve: a cubic auto key holding the default value.
    KFCurve empty;
    empty.SetValue(6.0f);
    EXPECT_EQ(empty.KeyInsert(Sec(1)), 0);
    EXPECT_EQ(empty.KeyGetValue(0), 6.0f);
    EXPECT_EQ(empty.KeyGetTangentMode(0), static_cast<unsigned>(KFCURVE_TANGENT_AUTO));
}

TEST(KFCurveEditing, KeyInsertBesideABrokenAutoKeyGivesItAutoValue100) {
    KFCurve curve;
    AddAuto(curve, 0.0, 0.0f, KFCURVE_TANGENT_AUTO_BREAK);
    AddAuto(curve, 1.0, 4.0f);
    AddAuto(curve, 2.0, 1.0f, KFCURVE_TANGENT_AUTO_BREAK);
    ASSERT_EQ(curve.KeyInsert(Sec(3)), 3);
    EXPECT_FLOAT_EQ(curve.KeyGetRightAuto(2), 100.0f);
    ASSERT_EQ(curve.KeyInsert(Sec(-1)), 0);
    EXPECT_FLOAT_EQ(curve.KeyGetLeftAuto(1), 100.0f);
    // A new auto key between keys is flat on both sides.
    ASSERT_EQ(curve.KeyInsert(Sec(0.5)), 2);
    EXPECT_EQ(curve.KeyGetRightAuto(2), 0.0f);
    EXPECT_EQ(curve.KeyGetLeftAuto(2), 0.0f);
}

TEST(KFCurveEditing, KeyAddAtTimeAndFastAppend) {
    KFCurve curve;
    FillLinear(curve, 3);
    const int index = curve.KeyAddAtTime(Sec(1.5));
    ASSERT_EQ(index, 2);
    EXPECT_FLOAT_EQ(curve.KeyGetValue(2), 2.5f);
    EXPECT_EQ(curve.KeyGetTangentMode(2), static_cast<unsigned>(KFCURVE_TANGENT_AUTO));
    EXPECT_EQ(curve.KeyAppendFast(Sec(9), 7.0f), 4);
    EXPECT_EQ(curve.KeyGetInterpolation(4), static_cast<unsigned>(KFCURVE_INTERPOLATION_CUBIC));
    EXPECT_EQ(curve.KeyGetDataDouble(4, KFCurveKey::kSlotRightWeight), 3333 / 9999.0);
}

TEST(KFCurveEditing, RemovalKeepsTheIncomingTangentAndTheLastValue) {
    KFCurve curve;
    MakeUserCurve(curve, KFCURVE_TANGENT_USER_BREAK);
    const float incoming = curve.KeyGetLeftDerivative(2);
    ASSERT_TRUE(curve.KeyRemove(1));
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(1), incoming);
    EXPECT_FALSE(curve.KeyRemove(3));
    EXPECT_FALSE(curve.KeyRemove(-1));

    KFCurve single;
    single.KeySet(0, Sec(1), 8.0f);
    ASSERT_TRUE(single.KeyRemove(0));
    EXPECT_EQ(single.GetValue(), 8.0f);
    EXPECT_EQ(single.Evaluate(Sec(0)), 8.0f);
}

TEST(KFCurveEditing, RemoveTimeRangeKeepsKeysOnTheBounds) {
    KFCurve curve;
    FillLinear(curve, 5);
    ASSERT_TRUE(curve.KeyRemoveTimeRange(Sec(1), Sec(3)));
    ASSERT_EQ(curve.KeyGetCount(), 4);
    EXPECT_EQ(curve.KeyGetTime(2), Sec(3));
    // Nothing strictly inside: nothing removed.
    EXPECT_TRUE(curve.KeyRemoveTimeRange(Sec(1), Sec(3)));
    EXPECT_TRUE(curve.KeyRemoveTimeRange(Sec(3.5), Sec(3.2)));
    EXPECT_EQ(curve.KeyGetCount(), 4);
    ASSERT_TRUE(curve.KeyRemoveTimeRange(Sec(-5), Sec(50)));
    EXPECT_EQ(curve.KeyGetCount(), 0);
    EXPECT_FALSE(curve.KeyRemoveTimeRange(Sec(0), Sec(1)));
}

TEST(KFCurveEditing, ScaleValues) {
    KFCurve empty;
    empty.SetValue(3.0f);
    EXPECT_TRUE(empty.KeyScaleValue(true, 2.0f));
    EXPECT_EQ(empty.GetValue(), 3.0f);
    EXPECT_TRUE(empty.KeyScaleValue(false, 2.0f));
    EXPECT_EQ(empty.GetValue(), 6.0f);

    KFCurve curve;
    MakeUserCurve(curve, KFCURVE_TANGENT_USER);
    curve.KeyGetPtr(1)->SetSelected(true);
    ASSERT_TRUE(curve.KeyScaleValue(true, -2.0f));
    EXPECT_EQ(curve.KeyGetValue(0), 0.0f);
    EXPECT_EQ(curve.KeyGetValue(1), -2.0f);
    EXPECT_EQ(curve.KeyGetDataDouble(1, KFCurveKey::kSlotRightSlope), -0.5);
    EXPECT_EQ(curve.KeyGetValue(2), -0.5f);
}

TEST(KFCurveEditing, CopiesOverTheWholeTimeLineOrNone) {
    KFCurve curve;
    MakeUserCurve(curve, KFCURVE_TANGENT_USER);
    curve.SetValue(2.0f);
    curve.SetAuxValue(5.0f);
    const float red[3] = {0.5f, 0.0f, 0.25f};
    curve.SetColor(red);
    curve.SetPreExtrapolation(KFCURVE_EXTRAPOLATION_MIRROR_REPETITION);
    curve.SetPostExtrapolationCount(3);
    std::unique_ptr<KFCurve> whole(curve.Copy());
    ASSERT_TRUE(whole);
    ASSERT_EQ(whole->KeyGetCount(), curve.KeyGetCount());
    for (int i = 0; i < curve.KeyGetCount(); ++i) {
        EXPECT_EQ(std::memcmp(whole->KeyGetPtr(i), curve.KeyGetPtr(i), sizeof(KFCurveKey)), 0);
    }
    float color[3];
    whole->GetColor(color);
    EXPECT_EQ(color[2], 0.25f);
    EXPECT_EQ(whole->GetPreExtrapolation(), KFCURVE_EXTRAPOLATION_MIRROR_REPETITION);
    EXPECT_EQ(whole->GetPostExtrapolationCount(), 3);
    EXPECT_EQ(whole->GetAuxValue(), 5.0f);
    EXPECT_EQ(whole->GetValue(), 2.0f);

    curve.EvaluateCached(Sec(0.5));
    std::unique_ptr<KFCurve> part(curve.Copy(Sec(0), Sec(1)));
    ASSERT_TRUE(part);
    EXPECT_EQ(part->KeyGetCount(), 0);
    EXPECT_FALSE(part->HasEvaluationCache());  // a keyed value would not be the copy's
    EXPECT_EQ(part->GetValue(), 2.0f);
    EXPECT_EQ(part->GetAuxValue(), 5.0f);

    // Copying without keys clears the keys and takes the default value.
    whole->SetValue(9.0f);
    curve.CopyFrom(*whole, false);
    EXPECT_EQ(curve.KeyGetCount(), 0);
    EXPECT_EQ(curve.GetValue(), 9.0f);
}

TEST(KFCurveEditing, TangentSettersReadBackThroughTheGetters) {
    KFCurve curve;
    AddUser(curve, 0.0, 0.0f, 1.0, 1.0);
    AddAuto(curve, 1.0, 2.0f);
    AddUser(curve, 2.0, 1.0f, 0.0, 0.0, KFCURVE_TANGENT_USER_BREAK);
    curve.KeySet(3, Sec(3), 3.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    curve.KeySetLeftDerivative(1, 0.75f);  // an auto key after a user key
    EXPECT_NEAR(curve.KeyGetLeftDerivative(1), 0.75f, 1e-5);
    curve.KeySetRightDerivative(1, -0.5f);
    EXPECT_NEAR(curve.KeyGetRightDerivative(1), -0.5f, 1e-5);
    curve.KeySetRightAuto(2, 100.0f);  // a user key stores the derivative
    EXPECT_FLOAT_EQ(curve.KeyGetRightDerivative(2), 2.0f);
    curve.KeySetLeftDerivative(3, 4.0f);  // a linear key after a user key
    EXPECT_FLOAT_EQ(curve.KeyGetLeftDerivative(3), 4.0f);
    // A user key without break keeps one tangent.
    curve.KeySetTangentMode(2, KFCURVE_TANGENT_USER);
    curve.KeySetLeftDerivative(2, 1.25f);
    EXPECT_FLOAT_EQ(curve.KeyGetRightDerivative(2), 1.25f);

    KFCurveTangentInfo info;
    info.mDerivative = -3.0f;
    info.mWeighted = true;
    info.mWeight = 0.6f;
    info.mHasVelocity = true;
    info.mVelocity = 0.2f;
    curve.KeySetRightTangentInfo(0, info);
    const KFCurveTangentInfo back = curve.KeyGetRightTangentInfo(0);
    EXPECT_FLOAT_EQ(back.mDerivative, -3.0f);
    EXPECT_TRUE(back.mWeighted);
    EXPECT_NEAR(back.mWeight, 0.6f, 1e-4);
    EXPECT_TRUE(back.mHasVelocity);
    EXPECT_NEAR(back.mVelocity, 0.2f, 1e-4);
    curve.KeySetLeftTangentInfo(1, info, true);
    EXPECT_NEAR(curve.KeyGetLeftDerivative(1), -3.0f, 1e-5);
    EXPECT_TRUE(curve.KeyIsLeftTangentWeighted(1));
}

TEST(KFCurveSpanReplacement, KeysOfTheSourceSpanReplaceTheTargetSpan) {
    KFCurve target;
    FillLinear(target, 6);
    KFCurve source;
    source.KeySet(0, Sec(0), 100.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    source.KeySet(1, Sec(0.5), 200.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    source.KeySet(2, Sec(1), 300.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    source.KeySet(3, Sec(9), 900.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    target.ReplaceKeysInSpan(source, Sec(0), Sec(1), false, false, Sec(2));
    // Target keys 0, 1, [2, 2.5, 3], 4, 5.
    ASSERT_EQ(target.KeyGetCount(), 7);
    EXPECT_EQ(target.KeyGetValue(2), 100.0f);
    EXPECT_EQ(target.KeyGetTime(3), Sec(2.5));
    EXPECT_EQ(target.KeyGetValue(4), 300.0f);
    EXPECT_EQ(target.KeyGetValue(5), 16.0f);

    KFCurve offset;
    FillLinear(offset, 6);
    offset.ReplaceKeysInSpanOffset(source, Sec(0), Sec(1), 1.0f, -1.0f, false, false, Sec(2));
    EXPECT_EQ(offset.KeyGetValue(2), 101.0f);
    EXPECT_EQ(offset.KeyGetValue(4), 301.0f);
    EXPECT_EQ(offset.KeyGetValue(5), 15.0f);
    EXPECT_EQ(offset.KeyGetValue(1), 1.0f);

    for (const auto& [a, b] : {std::pair{1.0f, 1.0f}, std::pair{0.0f, 2.0f}}) {
        KFCurve scaled;
        FillLinear(scaled, 6);
        scaled.ReplaceKeysInSpanScaled(source, Sec(0), Sec(1), a, b, false, false, Sec(2));
        EXPECT_EQ(scaled.KeyGetValue(2), 100.0f * a);
        EXPECT_FLOAT_EQ(scaled.KeyGetValue(3), 200.0f * (a + b) / 2);
        EXPECT_EQ(scaled.KeyGetValue(4), 300.0f * b);
    }
}

TEST(KFCurveSpanReplacement, ReplacingEveryKeyKeepsTheCurvesDefaultValue) {
    KFCurve target;
    target.SetValue(7.0f);
    target.KeySet(0, Sec(0), 10.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    target.KeySet(1, Sec(1), 20.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    KFCurve source;
    source.KeySet(0, Sec(0), 30.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    source.KeySet(1, Sec(1), 40.0f, KFCURVE_INTERPOLATION_LINEAR, 0);
    target.ReplaceKeysInSpan(source, KTimeMinusInfinite, KTimeInfinite, false, true, KTime());
    ASSERT_EQ(target.KeyGetCount(), 2);
    EXPECT_EQ(target.KeyGetValue(0), 30.0f);
    EXPECT_EQ(target.GetValue(), 7.0f);
}

TEST(KFCurveSpanReplacement, AnEmptySourceFlattensTheSpan) {
    KFCurve original;
    MakeUserCurve(original, KFCURVE_TANGENT_USER);
    KFCurve source;
    source.SetValue(0.75f);

    KFCurve flattened;
    flattened.CopyFrom(original);
    flattened.ReplaceKeysInSpan(source, Sec(0.5), Sec(2.75), false, true, KTime(0));
    for (double t : {0.5, 1.0, 1.7, 2.5, 2.75}) EXPECT_FLOAT_EQ(flattened.Evaluate(Sec(t)), 0.75f) << t;
    const int start = static_cast<int>(flattened.KeyFind(Sec(0.5)));
    EXPECT_EQ(flattened.KeyGetLeftDerivative(start), 0.0f);
    EXPECT_EQ(flattened.KeyGetRightDerivative(start), 0.0f);
    // One tick outside, the old shape.
    const KTime before = KTime(Sec(0.5).Get() - 1);
    const KTime after = KTime(Sec(2.75).Get() + 1);
    EXPECT_NEAR(flattened.Evaluate(before), original.Evaluate(before), 1e-5);
    EXPECT_NEAR(flattened.Evaluate(after), original.Evaluate(after), 1e-5);
    for (double t : {0.1, 0.3, 2.9}) EXPECT_NEAR(flattened.Evaluate(Sec(t)), original.Evaluate(Sec(t)), 1e-5) << t;

    KFCurve removed;
    removed.CopyFrom(original);
    removed.ReplaceKeysInSpan(source, Sec(0.5), Sec(2.75), false, false, KTime(0));
    EXPECT_EQ(removed.KeyGetCount(), 2);
}

TEST(KFCurveEditing, AccountingReturnsToItsStartAfterEveryCurve) {
    const long long before = KFCurveAllocatedBytes();
    {
        KFCurve a;
        KFCurve b;
        FillLinear(a, 120);
        b.CopyFrom(a);
        for (int i = 0; i < 40; ++i) b.KeyInsert(Sec(i + 0.5));
        b.KeyRemoveRange(3, 110);
        a.ReplaceKeysInSpan(b, KTimeMinusInfinite, KTimeInfinite, true, false, Sec(1000));
        std::unique_ptr<KFCurve> c(a.Copy());
        EXPECT_GT(KFCurveAllocatedBytes(), before);
    }
    EXPECT_EQ(KFCurveAllocatedBytes(), before);
}
