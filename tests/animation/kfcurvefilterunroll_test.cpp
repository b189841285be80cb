// The unroll filter: continuous Euler curves, its refusals and its span.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterUnroll.h>
#include <fbxfilesdk/animation/KFCurveNode.h>

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;
using curvetest::AddKey;
using curvetest::AddRotationKey;
using curvetest::Axis;
using curvetest::KeyTimes;
using curvetest::KeyValues;
using curvetest::MakeRotationNode;
using curvetest::NodePtr;
using curvetest::Sec;

TEST(KFCurveFilterUnroll, WrappedAnglesBecomeContinuous) {
    NodePtr node = MakeRotationNode();
    const float wrapped[] = {0.0f, 170.0f, -170.0f, -10.0f, 100.0f, -100.0f};
    for (int i = 0; i < 6; ++i) AddRotationKey(*node, i, wrapped[i], 0.0f, 0.0f);
    KFCurveFilterUnroll unroll;
    ASSERT_TRUE(unroll.Apply(*node, true));
    EXPECT_EQ(KeyValues(Axis(*node, 0)), (std::vector<float>{0.0f, 170.0f, 190.0f, 350.0f, 460.0f, 620.0f}));
    EXPECT_EQ(KeyValues(Axis(*node, 1)), (std::vector<float>(6, 0.0f)));
    EXPECT_EQ(KeyValues(Axis(*node, 2)), (std::vector<float>(6, 0.0f)));
    for (int i = 1; i < 6; ++i) {
        EXPECT_LE(std::fabs(Axis(*node, 0).KeyGetValue(i) - Axis(*node, 0).KeyGetValue(i - 1)), 180.0f);
    }
}

TEST(KFCurveFilterUnroll, CurvesWithDifferentKeyTimesAreSynchronizedFirst) {
    NodePtr node = MakeRotationNode();
    AddKey(Axis(*node, 0), 0.0, 0.0f);
    AddKey(Axis(*node, 0), 2.0, 20.0f);
    AddKey(Axis(*node, 1), 1.0, 0.0f);
    AddKey(Axis(*node, 2), 2.0, 350.0f);
    KFCurve* curves[3] = {&Axis(*node, 0), &Axis(*node, 1), &Axis(*node, 2)};
    KFCurveFilterUnroll unroll;
    ASSERT_TRUE(unroll.Apply(curves, 3));
    for (int c = 0; c < 3; ++c) EXPECT_EQ(KeyTimes(Axis(*node, c)), (std::vector<double>{0.0, 1.0, 2.0}));
    EXPECT_EQ(KeyValues(Axis(*node, 0)), (std::vector<float>{0.0f, 10.0f, 20.0f}));
    // Z held 350 before its key: it continues from 0 as -10.
    EXPECT_EQ(KeyValues(Axis(*node, 2)), (std::vector<float>{-10.0f, -10.0f, -10.0f}));
}

TEST(KFCurveFilterUnroll, RefusesWhatIsNotARotationNode) {
    KFCurveFilterUnroll unroll;
    KFCurve a, b;
    AddKey(a, 0.0, 1.0f);
    EXPECT_FALSE(unroll.Apply(a));
    EXPECT_EQ(unroll.GetLastErrorID(), 2);
    EXPECT_STREQ(unroll.GetLastErrorString(), "Unroll Filter, Works only on rotation CurveNodes.");
    KFCurve* two[2] = {&a, &b};
    EXPECT_FALSE(unroll.Apply(two, 2));
    EXPECT_EQ(unroll.GetLastErrorID(), 2);

    NodePtr translation(KFCurveNode::Create("T", nullptr, KFCL_TRANSLATION));
    for (const char* axis : {"X", "Y", "Z"}) translation->FindOrCreate(axis, true);
    EXPECT_FALSE(unroll.Apply(*translation, true));
    EXPECT_EQ(unroll.GetLastErrorID(), 2);

    NodePtr empty = MakeRotationNode();
    EXPECT_FALSE(unroll.Apply(*empty, true));
    EXPECT_EQ(unroll.GetLastErrorID(), 0);
    EXPECT_STREQ(unroll.GetLastErrorString(), "Unroll Filter, No key to be filtered.");
}

TEST(KFCurveFilterUnroll, OnlyKeysInsideTheSpanChange) {
    const float wrapped[] = {350.0f, -170.0f, 170.0f, -170.0f};
    KFCurveFilterUnroll unroll;
    {
        // A span holding a single key changes nothing.
        NodePtr node = MakeRotationNode();
        for (int i = 0; i < 4; ++i) AddRotationKey(*node, i, wrapped[i], 0.0f, 0.0f);
        unroll.SetStartTime(Sec(-1.0));
        unroll.SetStopTime(Sec(0.5));
        ASSERT_TRUE(unroll.Apply(*node, true));
        EXPECT_EQ(KeyValues(Axis(*node, 0)), (std::vector<float>(wrapped, wrapped + 4)));
    }
    NodePtr node = MakeRotationNode();
    for (int i = 0; i < 4; ++i) AddRotationKey(*node, i, wrapped[i], 0.0f, 0.0f);
    unroll.SetStartTime(Sec(1.0));
    unroll.SetStopTime(Sec(2.0));
    ASSERT_TRUE(unroll.Apply(*node, true));
    EXPECT_FLOAT_EQ(Axis(*node, 0).KeyGetValue(0), 350.0f);
    EXPECT_FLOAT_EQ(Axis(*node, 0).KeyGetValue(1), -170.0f);
    EXPECT_FLOAT_EQ(Axis(*node, 0).KeyGetValue(2), -190.0f);
    // The key after the span keeps its rotation (whole turns may shift it).
    EXPECT_FLOAT_EQ(std::fmod(Axis(*node, 0).KeyGetValue(3) + 170.0f, 360.0f), 0.0f);
}

TEST(KFCurveFilterUnroll, SphericOrderKeepsTheValues) {
    NodePtr node = MakeRotationNode();
    node->SetRotationOrder(12);
    AddRotationKey(*node, 0.0, 170.0f, 0.0f, 0.0f);
    AddRotationKey(*node, 1.0, -170.0f, 0.0f, 0.0f);
    KFCurveFilterUnroll unroll;
    ASSERT_TRUE(unroll.Apply(*node, true));
    EXPECT_EQ(KeyValues(Axis(*node, 0)), (std::vector<float>{170.0f, -170.0f}));
}

TEST(KFCurveFilterUnroll, StepRatioComparesTheRotationWithTheEulerStep) {
    const double a[3] = {0.0, 0.0, 0.0};
    const double b[3] = {30.0, 0.0, 0.0};
    EXPECT_NEAR(KFCurveFilterUnroll::EulerStepRatio(a, b), 1.0, 1e-9);
    EXPECT_DOUBLE_EQ(KFCurveFilterUnroll::EulerStepRatio(a, a), 100.0);
    // A full turn moves the angles but not the rotation.
    const double c[3] = {360.0, 0.0, 0.0};
    EXPECT_LT(KFCurveFilterUnroll::EulerStepRatio(a, c), 1e-6);
    // Beyond half a turn the rotation is the short way round, never NaN.
    const double d[3] = {190.0, 0.0, 0.0};
    const double ratio = KFCurveFilterUnroll::EulerStepRatio(a, d);
    EXPECT_FALSE(std::isnan(ratio));
    EXPECT_NEAR(ratio, 170.0 * 170.0 / (190.0 * 190.0), 1e-6);
}

namespace unrollshortcut {

void Ignore(KFCurve*, KFCurveEvent*, void*) {}

std::uint32_t Bits(float value) { return std::bit_cast<std::uint32_t>(value); }

// Every word of every key, the default and the extrapolation of each axis.
void ExpectSameCurves(KFCurveNode& a, KFCurveNode& b, const std::string& what) {
    for (int c = 0; c < 3; ++c) {
        const KFCurve& x = Axis(a, c);
        const KFCurve& y = Axis(b, c);
        ASSERT_EQ(x.KeyGetCount(), y.KeyGetCount()) << what << " axis " << c;
        EXPECT_EQ(Bits(x.GetValue()), Bits(y.GetValue())) << what << " axis " << c;
        EXPECT_EQ(x.GetPreExtrapolation(), y.GetPreExtrapolation()) << what;
        EXPECT_EQ(x.GetPostExtrapolation(), y.GetPostExtrapolation()) << what;
        EXPECT_EQ(x.GetPreExtrapolationCount(), y.GetPreExtrapolationCount()) << what;
        EXPECT_EQ(x.GetPostExtrapolationCount(), y.GetPostExtrapolationCount()) << what;
        for (int k = 0; k < x.KeyGetCount(); ++k) {
            const KFCurveKey& p = *x.KeyGetPtr(k);
            const KFCurveKey& q = *y.KeyGetPtr(k);
            EXPECT_EQ(p.GetTime(), q.GetTime()) << what << " axis " << c << " key " << k;
            EXPECT_EQ(Bits(p.GetValue()), Bits(q.GetValue())) << what << " axis " << c << " key " << k;
            EXPECT_EQ(p.GetFlags(), q.GetFlags()) << what << " axis " << c << " key " << k;
            for (int word = 0; word < 4; ++word) {
                EXPECT_EQ(Bits(p.GetDataFloat(word)), Bits(q.GetDataFloat(word))) << what << " axis " << c << " key " << k;
            }
        }
    }
}

struct Case {
    const char* what;
    // Keys per axis: seconds and X, Y, Z values.
    std::vector<std::array<float, 4>> keys;
    int order = 0;
    unsigned int interpolation = KFCURVE_INTERPOLATION_LINEAR;
    unsigned int tangent = KFCURVE_TANGENT_AUTO;
    // A span of the filter's own; none: from before the first key to after the last.
    bool narrow = false;
    // Y has a key of its own between the others.
    bool unsynced = false;
};

NodePtr Build(const Case& c) {
    NodePtr node = MakeRotationNode();
    node->SetRotationOrder(c.order);
    for (const auto& key : c.keys) {
        for (int axis = 0; axis < 3; ++axis) {
            KFCurve& curve = Axis(*node, axis);
            curve.KeySet(curve.KeyGetCount(), Sec(key[0]), key[1 + axis], c.interpolation, c.tangent);
        }
    }
    if (c.tangent == KFCURVE_TANGENT_USER) {
        for (int axis = 0; axis < 3; ++axis) {
            for (int k = 0; k < Axis(*node, axis).KeyGetCount(); ++k) {
                Axis(*node, axis).KeyGetPtr(k)->SetDataDouble(KFCurveKey::kSlotRightSlope, 10.0 * k - axis);
                Axis(*node, axis).KeyGetPtr(k)->SetDataDouble(KFCurveKey::kSlotNextLeftSlope, 3.0 * axis - k);
            }
        }
    }
    if (c.unsynced) AddKey(Axis(*node, 1), 0.25, 45.0f);
    for (int axis = 0; axis < 3; ++axis) {
        Axis(*node, axis).SetValue(7.0f + axis);
        Axis(*node, axis).SetPostExtrapolation(KFCURVE_EXTRAPOLATION_REPETITION);
        Axis(*node, axis).SetPreExtrapolationCount(2);
    }
    return node;
}

}  // namespace unrollshortcut

// Curves the unroll would leave as they are are not copied and replaced; a
// curve that is listened to always is. Both ways must end in the same keys.
TEST(KFCurveFilterUnroll, CurvesLeftAsTheyAreEndAsAFullReplacementLeavesThem) {
    using namespace unrollshortcut;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Case> cases = {
        {"already unrolled", {{0, 0, 10, 20}, {1, 170, 15, 25}, {2, 190, 20, 30}, {3, 350, 25, 35}}},
        {"180-degree jumps", {{0, 0, 0, 0}, {1, 170, 0, 0}, {2, -170, 0, 0}, {3, -10, 0, 0}}},
        {"constant keys", {{0, 5, 5, 5}, {1, 5, 5, 5}, {2, 5, 5, 5}}},
        {"single key", {{1, 350, -170, 720}}},
        {"single key wrapped", {{1, 350, 0, 0}}},
        {"cubic auto", {{0, 0, 1, 2}, {1, 30, 31, 32}, {2, 60, 61, 62}}, 0, KFCURVE_INTERPOLATION_CUBIC},
        {"cubic user", {{0, 0, 1, 2}, {1, 30, 31, 32}, {2, 60, 61, 62}}, 0, KFCURVE_INTERPOLATION_CUBIC,
         KFCURVE_TANGENT_USER},
        {"cubic user with jumps", {{0, 0, 1, 2}, {1, 170, 31, 32}, {2, -170, 61, 62}}, 0, KFCURVE_INTERPOLATION_CUBIC,
         KFCURVE_TANGENT_USER},
        {"gimbal", {{0, 10, 90, 20}, {1, 40, 90, -30}, {2, 80, 90, 0}}},
        {"negative zeros", {{0, -0.0f, 0.0f, -0.0f}, {1, -0.0f, -0.0f, 0.0f}}},
        {"other order", {{0, 0, 10, 20}, {1, 170, 100, 25}, {2, 190, 170, 30}}, 4},
        {"other order with jumps", {{0, 0, 10, 20}, {1, 170, 100, 25}, {2, -170, -170, 30}}, 10},
        {"spheric", {{0, 170, 0, 0}, {1, -170, 0, 0}}, 12},
        {"huge values", {{0, 1e20f, 0, 0}, {1, 1e20f, 0, 0}, {2, -1e20f, 0, 0}}},
        {"not a number", {{0, nan, 0, 0}, {1, 10, 0, 0}}},
        {"narrow span", {{0, 0, 10, 20}, {1, 170, 15, 25}, {2, 190, 20, 30}, {3, 350, 25, 35}}, 0,
         KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO, true},
        {"unsynced", {{0, 0, 10, 20}, {1, 170, 15, 25}}, 0, KFCURVE_INTERPOLATION_LINEAR, KFCURVE_TANGENT_AUTO, false,
         true},
    };
    for (const Case& c : cases) {
        for (bool precision : {false, true}) {
            NodePtr quiet = Build(c);
            NodePtr listened = Build(c);
            for (int axis = 0; axis < 3; ++axis) Axis(*listened, axis).CallbackRegister(&Ignore, nullptr);
            const int counter = Axis(*quiet, 0).GetUpdateCounter();
            bool results[2];
            KFCurveNode* nodes[2] = {quiet.get(), listened.get()};
            for (int n = 0; n < 2; ++n) {
                KFCurveFilterUnroll unroll;
                unroll.SetUsePrecision(precision);
                unroll.SetPrecision(0.5);
                KTime start;
                KTime stop;
                ASSERT_TRUE(nodes[n]->GetAnimationInterval(start, stop)) << c.what;
                unroll.SetStartTime(c.narrow ? Sec(0.5) : start);
                unroll.SetStopTime(c.narrow ? Sec(2.5) : stop);
                results[n] = unroll.Apply(*nodes[n], true);
            }
            EXPECT_EQ(results[0], results[1]) << c.what;
            ExpectSameCurves(*quiet, *listened, c.what);
            if (std::string(c.what) == "already unrolled" || std::string(c.what) == "constant keys") {
                // The shortcut was taken: nothing was replaced.
                EXPECT_EQ(Axis(*quiet, 0).GetUpdateCounter(), counter) << c.what;
            }
        }
    }
}

}  // namespace
