// Curve-node evaluation: cache, time warp, layers, Euler and quaternion
// rotation channels, nearest Euler triples and span transfer.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveNodeMath.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFbxRotationOrder.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include "CurveNodeTestSupport.h"
#include "CurveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

using namespace fbxsdk_2006_11_1;
using curvetest::NodePtr;
using curvetest::Sec;

namespace {

NodePtr MakeVector(const char* name, KDataType* type, int layerType) {
    NodePtr node(KFCurveNode::Create(name, type, layerType));
    for (const char* axis : {"X", "Y", "Z"}) node->FindOrCreate(axis, true);
    return node;
}

KFCurve* Axis(KFCurveNode& node, int i) { return node.Get(i)->FCurveGet(); }

void SetDefaults(KFCurveNode& node, double x, double y, double z) {
    Axis(node, 0)->SetValue(static_cast<float>(x));
    Axis(node, 1)->SetValue(static_cast<float>(y));
    Axis(node, 2)->SetValue(static_cast<float>(z));
}

void AddKey(KFCurve* curve, double seconds, float value, unsigned int interpolation,
            unsigned int tangentMode = KFCURVE_TANGENT_AUTO, double rightSlope = 0.0, double nextLeftSlope = 0.0) {
    curve->KeySet(curve->KeyGetCount(), Sec(seconds), value, interpolation, tangentMode, rightSlope, nextLeftSlope);
}

// A rotation channel with the quaternion flag and the same keys on all three
// axes' times.
NodePtr MakeRotation(const std::vector<double>& seconds, const std::vector<float>& x, const std::vector<float>& z,
                     unsigned int interpolation) {
    NodePtr r = MakeVector("R", gKDataTypeLclRotation, KFCL_EULER_ROTATION);
    for (std::size_t k = 0; k < seconds.size(); ++k) {
        AddKey(Axis(*r, 0), seconds[k], x[k], interpolation);
        AddKey(Axis(*r, 1), seconds[k], 0.0f, interpolation);
        AddKey(Axis(*r, 2), seconds[k], z[k], interpolation);
    }
    r->SetQuaternionInterpolation(true);
    return r;
}

// The angle in degrees of the rotation that takes frame a to frame b.
double AngleBetween(const double* a, const double* b) {
    KgeMatrix ma;
    KgeMatrix mb;
    KgeMatrixSetRotationXYZ(ma, a[0], a[1], a[2]);
    KgeMatrixSetRotationXYZ(mb, b[0], b[1], b[2]);
    double trace = 0.0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) trace += ma[i][j] * mb[i][j];
    return std::acos(std::clamp((trace - 1.0) / 2.0, -1.0, 1.0)) * 180.0 / std::numbers::pi;
}

}  // namespace

TEST(KFCurveNodeEvaluation, CacheServesRepeatedTimesUntilCleared) {
    NodePtr t = MakeVector("T", gKDataTypeLclTranslation, KFCL_TRANSLATION);
    SetDefaults(*t, 1, 2, 3);
    double out[3];
    EXPECT_EQ(t->EvaluateCached(out, Sec(1)), out + 3);
    EXPECT_TRUE(t->IsCacheValid());
    SetDefaults(*t, 4, 5, 6);
    t->EvaluateCached(out, Sec(1));
    EXPECT_EQ(out[0], 1.0);  // from the cache, not the curves
    t->Evaluate(out, Sec(1));
    EXPECT_EQ(out[0], 4.0);  // without the cache the curves answer
    t->EvaluateCached(out, Sec(2));
    EXPECT_EQ(out[2], 6.0);  // another time refills the cache
    SetDefaults(*t, 7, 8, 9);
    t->SetFlag(KFCN_CACHE_ALWAYS_VALID, true);
    t->EvaluateCached(out, Sec(5));
    EXPECT_EQ(out[1], 5.0);
    t->ClearEvaluationCache();
    EXPECT_FALSE(t->IsCacheValid());
    t->EvaluateCached(out, Sec(5));
    EXPECT_EQ(out[1], 8.0);
}

TEST(KFCurveNodeEvaluation, WideNodesEvaluateWithoutTheCache) {
    NodePtr matrix(KFCurveNode::Create("M", gKDataTypeMatrix));
    for (int i = 0; i < 16; ++i) {
        const char name[2] = {static_cast<char>(i < 10 ? '0' + i : 'A' + i - 10), '\0'};
        matrix->FindOrCreate(name, true)->FCurveGet()->SetValue(static_cast<float>(i));
    }
    std::vector<double> out(16, -1.0);
    EXPECT_EQ(matrix->EvaluateCached(out.data(), Sec(0)), out.data() + 16);
    EXPECT_EQ(out[15], 15.0);
    EXPECT_FALSE(matrix->IsCacheValid());
}

TEST(KFCurveNodeEvaluation, TimeWarpRemapsTimeAndIsShared) {
    NodePtr value(KFCurveNode::Create("Intensity", gKDataTypeIntensity));
    value->FCurveSet(KFCurve::Create());
    AddKey(value->FCurveGet(), 0.0, 0.0f, KFCURVE_INTERPOLATION_LINEAR);
    AddKey(value->FCurveGet(), 1.0, 10.0f, KFCURVE_INTERPOLATION_LINEAR);
    NodePtr other(KFCurveNode::Create("Other", gKDataTypeNumber));

    KFCurveNode* warp = KFCurveNode::Create("Warp", gKDataTypeTimeWarp);
    warp->FCurveSet(KFCurve::Create());
    // Twice as slow: 2 s of the scene read the channel at 1 s.
    AddKey(warp->FCurveGet(), 0.0, 0.0f, KFCURVE_INTERPOLATION_LINEAR);
    AddKey(warp->FCurveGet(), 2.0, 1.0f, KFCURVE_INTERPOLATION_LINEAR);
    value->SetTimeWarp(warp);
    other->SetTimeWarp(warp);
    EXPECT_EQ(warp->GetUseCount(), 2);

    double out = 0.0;
    value->Evaluate(&out, Sec(1));
    EXPECT_NEAR(out, 5.0, 1e-5);
    value->EvaluateCached(&out, Sec(2));
    EXPECT_NEAR(out, 10.0, 1e-5);
    value->SetTimeWarp(nullptr);
    EXPECT_EQ(warp->GetUseCount(), 1);
    value->Evaluate(&out, Sec(0.5));
    EXPECT_NEAR(out, 5.0, 1e-5);
    other.reset();  // the last holder destroys the warp (AddressSanitizer checks)
}

TEST(KFCurveNodeEvaluation, LayerChainKeepsIdOrderAndAnnouncesInsertions) {
    struct Count {
        int layers = 0;
        static void Callback(KFCurveNode*, KFCurveNodeEvent* event, void* self) {
            if (event->mEventType & KFCURVENODEEVENT_LAYERS) ++static_cast<Count*>(self)->layers;
        }
    } count;
    NodePtr base(KFCurveNode::Create("Weight", gKDataTypeNumber));
    base->FCurveSet(KFCurve::Create());
    base->CallbackRegister(&Count::Callback, &count);

    EXPECT_EQ(base->AddLayer(0), nullptr);
    KFCurveNode* five = base->AddLayer(5);
    KFCurveNode* two = base->AddLayer(2);
    KFCurveNode* three = base->AddLayer(3);
    EXPECT_EQ(base->AddLayer(3), three);  // already there: nothing happens
    EXPECT_EQ(count.layers, 3);
    EXPECT_EQ(base->GetNextLayer(), two);
    EXPECT_EQ(two->GetNextLayer(), three);
    EXPECT_EQ(three->GetNextLayer(), five);
    EXPECT_EQ(five->GetNextLayer(), nullptr);
    EXPECT_EQ(three->GetLayerRoot(), base.get());
    EXPECT_EQ(base->FindLayer(3), three);
    EXPECT_EQ(base->FindLayer(4), nullptr);
    EXPECT_EQ(three->FindLayer(2), nullptr);
    EXPECT_EQ(two->AddLayer(1), nullptr);  // would break the order

    // Additive layers: 3 + 1 + 2 (+ 0 from the fresh fifth) = 6.
    base->FCurveGet()->SetValue(3.0f);
    EXPECT_EQ(two->FCurveGet()->GetValue(), 0.0f);
    two->FCurveGet()->SetValue(1.0f);
    three->FCurveGet()->SetValue(2.0f);
    double out = 0.0;
    base->Evaluate(&out, Sec(0));
    EXPECT_EQ(out, 6.0);
    base->EvaluateLayerOnly(&out, Sec(0), 3);
    EXPECT_EQ(out, 2.0);
    out = -1.0;
    EXPECT_EQ(base->EvaluateLayerOnly(&out, Sec(0), 4), &out);  // no such layer: nothing written
    base->SetFlag(KFCN_LAYERED, false);
    base->EvaluateLayerOnly(&out, Sec(0), 3);
    EXPECT_EQ(out, 3.0);  // a node without layers answers for layer 0
}

TEST(KFCurveNodeEvaluation, ScalingLayersMultiplyAndHaveNeutralOnes) {
    NodePtr s = MakeVector("S", gKDataTypeLclScaling, KFCL_SCALING);
    SetDefaults(*s, 2, 2, 2);
    KFCurveNode* layer = s->AddLayer(1);
    double neutral[3];
    EXPECT_EQ(layer->GetLayerNeutralValues(neutral), neutral + 3);
    EXPECT_EQ(neutral[0], 1.0);
    EXPECT_EQ(neutral[2], 1.0);
    double out[3];
    s->Evaluate(out, Sec(0));
    EXPECT_EQ(out[1], 2.0);
    SetDefaults(*layer, 3, 1, 0.5);
    s->Evaluate(out, Sec(0));
    EXPECT_EQ(out[0], 6.0);
    EXPECT_EQ(out[1], 2.0);
    EXPECT_EQ(out[2], 1.0);
}

TEST(KFCurveNodeEvaluation, EulerLayersComposeRotations) {
    NodePtr r = MakeVector("R", gKDataTypeLclRotation, KFCL_EULER_ROTATION);
    SetDefaults(*r, 0, 0, 30);
    KFCurveNode* layer = r->AddLayer(1);
    SetDefaults(*layer, 0, 0, 60);
    double out[3];
    r->Evaluate(out, Sec(0));
    EXPECT_NEAR(out[0], 0.0, 1e-9);
    EXPECT_NEAR(out[2], 90.0, 1e-9);

    // Two axes: the base rotation applies first, then the layer's.
    SetDefaults(*r, 90, 0, 0);
    SetDefaults(*layer, 0, 0, 90);
    r->Evaluate(out, Sec(0));
    KgeMatrix expected;
    KgeMatrix base;
    KgeMatrix added;
    KgeMatrixSetRotationXYZ(base, 90, 0, 0);
    KgeMatrixSetRotationXYZ(added, 0, 0, 90);
    KgeMatrixMultAffine(expected, added, base);
    double expectedAngles[3];
    KgeMatrixRotationToEulerXYZ(expectedAngles, expected);
    EXPECT_LT(AngleBetween(out, expectedAngles), 1e-6);
}

TEST(KFCurveNodeEvaluation, QuaternionNodesGainAndLoseW) {
    NodePtr q = MakeVector("Q", gKDataTypeQuaternion, KFCL_PLAIN);
    q->SetLayerType(KFCL_QUATERNION);
    ASSERT_EQ(q->GetCount(), 4);
    EXPECT_STREQ(q->Get(3)->GetName(), "W");
    EXPECT_EQ(q->Get(3)->GetDataType(), gKDataTypeNumber);
    ASSERT_NE(Axis(*q, 3), nullptr);
    double neutral[4];
    q->GetLayerNeutralValues(neutral);
    EXPECT_EQ(neutral[2], 0.0);
    EXPECT_EQ(neutral[3], 1.0);

    // A quarter turn about X, written as angles.
    Axis(*q, 0)->SetValue(static_cast<float>(std::sqrt(0.5)));
    Axis(*q, 3)->SetValue(static_cast<float>(std::sqrt(0.5)));
    double out[4];
    EXPECT_EQ(q->Evaluate(out, Sec(0)), out + 3);
    EXPECT_NEAR(out[0], 90.0, 1e-4);
    EXPECT_NEAR(out[1], 0.0, 1e-4);

    // A quaternion layer multiplies in another quarter turn.
    KFCurveNode* layer = q->AddLayer(1);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->GetValueCount(), 4);
    Axis(*layer, 0)->SetValue(static_cast<float>(std::sqrt(0.5)));
    Axis(*layer, 3)->SetValue(static_cast<float>(std::sqrt(0.5)));
    q->Evaluate(out, Sec(0));
    EXPECT_NEAR(std::fabs(out[0]), 180.0, 1e-3);

    q->SetLayerType(KFCL_EULER_ROTATION);
    EXPECT_EQ(q->GetCount(), 3);
}

TEST(KFCurveNodeEvaluation, QuaternionInterpolationOfLinearKeys) {
    NodePtr r = MakeRotation({0.0, 1.0}, {0.0f, 90.0f}, {0.0f, 0.0f}, KFCURVE_INTERPOLATION_LINEAR);
    double out[3];
    r->Evaluate(out, Sec(0.5));
    EXPECT_NEAR(out[0], 45.0, 1e-9);
    EXPECT_NEAR(out[1], 0.0, 1e-9);
    EXPECT_NEAR(out[2], 0.0, 1e-9);
    r->Evaluate(out, Sec(1));
    EXPECT_EQ(out[0], 90.0);  // on a key: the curves as they are

    // Two axes at once: the quaternion path turns at an even rate, which the
    // plain curves do not.
    NodePtr both = MakeRotation({0.0, 1.0}, {0.0f, 90.0f}, {0.0f, 90.0f}, KFCURVE_INTERPOLATION_LINEAR);
    double mid[3];
    both->Evaluate(mid, Sec(0.5));
    const double start[3] = {0.0, 0.0, 0.0};
    const double end[3] = {90.0, 0.0, 90.0};
    EXPECT_NEAR(AngleBetween(start, mid), AngleBetween(mid, end), 1e-9);
    both->SetQuaternionInterpolation(false);
    both->Evaluate(mid, Sec(0.5));
    EXPECT_EQ(mid[0], 45.0);
    EXPECT_EQ(mid[2], 45.0);

    // The cache holds the interpolated angles on the children too.
    r->EvaluateCached(out, Sec(0.25));
    EXPECT_TRUE(r->Get(0)->IsCacheValid());
    double x = 0.0;
    r->Get(0)->EvaluateCached(&x, Sec(0.25));
    EXPECT_EQ(x, out[0]);
}

TEST(KFCurveNodeEvaluation, CubicKeysThroughControlQuaternionsAreSymmetric) {
    // Keys 0, 45, 90, 135 degrees about X one second apart: by symmetry the
    // middle of the middle segment is 67.5 whatever the tangent kind.
    const std::vector<double> seconds = {0.0, 1.0, 2.0, 3.0};
    const std::vector<float> x = {0.0f, 45.0f, 90.0f, 135.0f};
    const std::vector<float> zero = {0.0f, 0.0f, 0.0f, 0.0f};
    for (unsigned int mode : {KFCURVE_TANGENT_AUTO, KFCURVE_TANGENT_TCB, KFCURVE_TANGENT_USER}) {
        NodePtr r = MakeRotation(seconds, x, zero, KFCURVE_INTERPOLATION_CUBIC);
        for (int k = 0; k < 4; ++k) {
            for (int axis = 0; axis < 3; ++axis) {
                KFCurve* curve = Axis(*r, axis);
                if (mode == KFCURVE_TANGENT_TCB) {
                    curve->KeySetTCB(k, Sec(seconds[k]), curve->KeyGetValue(k), 0.0f, 0.0f, 0.0f);
                } else if (mode == KFCURVE_TANGENT_USER) {
                    const double slope = axis == 0 ? 45.0 : 0.0;
                    curve->KeySet(k, Sec(seconds[k]), curve->KeyGetValue(k), KFCURVE_INTERPOLATION_CUBIC,
                                  KFCURVE_TANGENT_USER, slope, slope);
                }
            }
        }
        r->ClearEvaluationCache();
        double out[3];
        r->Evaluate(out, Sec(1.5));
        EXPECT_NEAR(out[0], 67.5, 1e-6) << "tangent mode " << mode;
        EXPECT_NEAR(out[1], 0.0, 1e-6);
        EXPECT_NEAR(out[2], 0.0, 1e-6);
        // Close to a key the interpolation meets the key's value.
        r->Evaluate(out, KTime(Sec(1).Get() + 1000));
        EXPECT_NEAR(out[0], 45.0, 1e-3);
    }
}

TEST(KFCurveNodeEvaluation, FlatControlQuaternionsGiveASmoothStep) {
    // Tension 1 and flat user tangents put the control quaternions on the
    // keys: the blend weight of the second key is 3u^2 - 2u^3.
    const double u = 0.25;
    const double w = 3 * u * u - 2 * u * u * u;
    const double half = std::numbers::pi / 4;
    const double expected = 2 * std::atan2(w * std::sin(half), 1 - w + w * std::cos(half)) * 180 / std::numbers::pi;
    for (bool tcb : {true, false}) {
        NodePtr r = MakeRotation({0.0, 1.0}, {0.0f, 90.0f}, {0.0f, 0.0f}, KFCURVE_INTERPOLATION_CUBIC);
        for (int axis = 0; axis < 3; ++axis) {
            KFCurve* curve = Axis(*r, axis);
            for (int k = 0; k < 2; ++k) {
                if (tcb) {
                    curve->KeySetTCB(k, curve->KeyGetTime(k), curve->KeyGetValue(k), 1.0f, 0.0f, 0.0f);
                } else {
                    curve->KeySet(k, curve->KeyGetTime(k), curve->KeyGetValue(k), KFCURVE_INTERPOLATION_CUBIC,
                                  KFCURVE_TANGENT_USER, 0.0, 0.0);
                }
            }
        }
        r->ClearEvaluationCache();
        double out[3];
        r->Evaluate(out, Sec(u));
        EXPECT_NEAR(out[0], expected, 1e-9) << (tcb ? "TCB" : "user");
        EXPECT_NEAR(out[2], 0.0, 1e-9);
    }
}

TEST(KFCurveNodeEvaluation, QuaternionInterpolationTakesTheShorterWay) {
    // 0 to 270 degrees: the second key's quaternion is brought into the first
    // one's hemisphere, so the channel turns -90 degrees instead.
    NodePtr r = MakeRotation({0.0, 1.0}, {0.0f, 270.0f}, {0.0f, 0.0f}, KFCURVE_INTERPOLATION_LINEAR);
    double out[3];
    r->Evaluate(out, Sec(0.5));
    EXPECT_NEAR(out[0], -45.0, 1e-9);
}

TEST(KFCurveNodeEvaluation, NearestEulerSpreadingTieRuleAndTurns) {
    EXPECT_EQ(ClosestEquivalentAngle(10, 365), 370.0);
    EXPECT_EQ(ClosestEquivalentAngle(10, 190), 10.0);  // half a turn adds none
    EXPECT_EQ(ClosestEquivalentAngle(10, -170), 10.0);
    EXPECT_EQ(ClosestEquivalentAngle(10, -171), -350.0);
    // No turn added: the angle as it is, a negative zero included.
    EXPECT_TRUE(std::signbit(ClosestEquivalentAngle(-0.0, 0.0)));

    const int xyz[3] = {0, 1, 2};
    double out[3];
    // Gimbal: the reference's share is spread over X and Z.
    const double gimbal[3] = {0, 90, 0};
    const double reference[3] = {10, 90, 30};
    EXPECT_FALSE(EulerNearestTriple(out, gimbal, reference, xyz));
    EXPECT_DOUBLE_EQ(out[0], 20.0);
    EXPECT_DOUBLE_EQ(out[1], 90.0);
    EXPECT_DOUBLE_EQ(out[2], 20.0);
    const double gimbal270[3] = {0, 270, 0};
    EulerNearestTriple(out, gimbal270, reference, xyz);
    EXPECT_DOUBLE_EQ(out[0], -10.0);
    EXPECT_DOUBLE_EQ(out[2], 10.0);
    // The flipped triple wins when nearer, and on a tie.
    const double angles[3] = {0, 170, 0};
    const double nearFlip[3] = {180, 10, 180};
    EXPECT_TRUE(EulerNearestTriple(out, angles, nearFlip, xyz));
    EXPECT_DOUBLE_EQ(out[1], 10.0);
    const double zero[3] = {0, 0, 0};
    const double tieReference[3] = {90, 90, 90};
    EXPECT_TRUE(EulerNearestTriple(out, zero, tieReference, xyz));
    EXPECT_FALSE(EulerNearestTripleByOrder(out, angles, nearFlip, KFbxRotationOrder::kSpheric));
    EXPECT_EQ(out[1], 170.0);

    NodePtr r = MakeVector("R", gKDataTypeLclRotation, KFCL_EULER_ROTATION);
    const double target[3] = {720, 10, -350};
    EXPECT_FALSE(r->GetEulerTurnOffsets(out, zero, target));
    EXPECT_EQ(out[0], 720.0);
    EXPECT_EQ(out[1], 0.0);
    EXPECT_EQ(out[2], -360.0);
}

TEST(KFCurveNodeEvaluation, CopyLayersFollowsTheOtherChain) {
    NodePtr mine(KFCurveNode::Create("W", gKDataTypeNumber));
    mine->FCurveSet(KFCurve::Create());
    mine->AddLayer(2);
    NodePtr theirs(KFCurveNode::Create("W", gKDataTypeNumber));
    theirs->FCurveSet(KFCurve::Create());
    theirs->AddLayer(1)->FCurveGet()->SetValue(4.0f);
    theirs->AddLayer(3)->FCurveGet()->SetValue(5.0f);
    theirs->FCurveGet()->SetValue(1.0f);
    mine->CopyFrom(*theirs);
    ASSERT_NE(mine->GetNextLayer(), nullptr);
    EXPECT_EQ(mine->GetNextLayer()->GetLayerId(), 1);
    EXPECT_EQ(mine->GetNextLayer()->GetNextLayer()->GetLayerId(), 3);
    EXPECT_EQ(mine->GetNextLayer()->GetNextLayer()->GetNextLayer(), nullptr);
    double out = 0.0;
    mine->Evaluate(&out, Sec(0));
    EXPECT_EQ(out, 10.0);
}

TEST(KFCurveNodeEvaluation, EulerSpanTransferKeepsTurns) {
    NodePtr mine = MakeVector("R", gKDataTypeLclRotation, KFCL_EULER_ROTATION);
    NodePtr source = MakeVector("R", gKDataTypeLclRotation, KFCL_EULER_ROTATION);
    for (double s : {0.0, 1.0, 4.0}) AddKey(Axis(*mine, 0), s, 360.0f, KFCURVE_INTERPOLATION_LINEAR);
    AddKey(Axis(*source, 0), 1.0, 0.0f, KFCURVE_INTERPOLATION_LINEAR);
    AddKey(Axis(*source, 0), 2.0, 10.0f, KFCURVE_INTERPOLATION_LINEAR);
    AddKey(Axis(*source, 0), 3.0, 20.0f, KFCURVE_INTERPOLATION_LINEAR);
    mine->ReplaceSpan(*source, Sec(1), Sec(3));
    KFCurve* x = Axis(*mine, 0);
    EXPECT_NEAR(x->Evaluate(Sec(2)), 370.0f, 1e-3);
    EXPECT_NEAR(x->Evaluate(Sec(3)), 380.0f, 1e-3);
    EXPECT_NEAR(x->Evaluate(Sec(0)), 360.0f, 1e-3);

    // A plain vector channel takes the keys as they are.
    NodePtr t = MakeVector("T", gKDataTypeLclTranslation, KFCL_TRANSLATION);
    NodePtr u = MakeVector("T", gKDataTypeLclTranslation, KFCL_TRANSLATION);
    AddKey(Axis(*u, 1), 1.0, 5.0f, KFCURVE_INTERPOLATION_LINEAR);
    AddKey(Axis(*u, 1), 2.0, 6.0f, KFCURVE_INTERPOLATION_LINEAR);
    t->ReplaceSpan(*u, Sec(1), Sec(2));
    EXPECT_EQ(Axis(*t, 1)->KeyGetCount(), 2);
    EXPECT_EQ(Axis(*t, 1)->KeyGetValue(1), 6.0f);
}

TEST(KFCurveNodeMath, AffineHelpers) {
    KgeMatrix m;
    KgeMatrixSetRotationXYZ(m, 0, 0, 90);
    const double scale[3] = {2, 3, 4};
    KgeMatrixScaleAxes(m, m, scale);
    m[3][0] = 5;
    double t[3];
    double s[3];
    KgeMatrix r;
    AffineMatrixDecompose(t, r, s, m);
    EXPECT_EQ(t[0], 5.0);
    EXPECT_NEAR(s[1], 3.0, 1e-12);
    EXPECT_NEAR(r[0][1], 1.0, 1e-12);

    KgeMatrix identity;
    AffineMatrixMultiply(identity, m, m);  // inverse(m) m
    EXPECT_TRUE(identity.IsEqual(KgeMatrix()));
    AffineMatrixMultiply(m, m, m);  // in place
    EXPECT_TRUE(m.IsEqual(KgeMatrix()));

    const double p0[2] = {0, 0}, p1[2] = {1, 0}, p2[2] = {1, 1}, p3[2] = {2, 1};
    double b[2];
    DoubleArrayBezier(b, p0, p1, p2, p3, 0.5, 2);
    EXPECT_DOUBLE_EQ(b[0], 1.0);
    EXPECT_DOUBLE_EQ(b[1], 0.5);
}
