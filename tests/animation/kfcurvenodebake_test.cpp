// The bake of layered channels: sampling, layer combination and inversion,
// the ways of writing the result, and the refinement passes.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveNodeBake.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;
using curvetest::AddKey;
using curvetest::Axis;
using curvetest::KeyTimes;
using curvetest::KeyValues;
using curvetest::MakeRotationNode;
using curvetest::NodePtr;
using curvetest::Sec;

// A scalar channel with its own curve and, after it, layers 1, 2, ... of the
// given constant values and types.
NodePtr MakeLayeredScalar(float base, const std::vector<float>& layers, const std::vector<int>& types = {}) {
    NodePtr node(KFCurveNode::Create("Value", gKDataTypeNumber));
    node->FCurveSet(KFCurve::Create());
    AddKey(*node->FCurveGet(), 0.0, base);
    AddKey(*node->FCurveGet(), 2.0, base);
    for (std::size_t i = 0; i < layers.size(); ++i) {
        KFCurveNode* layer = node->AddLayer(static_cast<int>(i) + 1);
        if (i < types.size()) layer->SetLayerType(types[i]);
        layer->FCurveGet()->SetValue(layers[i]);
    }
    return node;
}

TEST(KFCurveNodeBake, PlainNodeSamplesUpToTheFirstGridTimeAfterStop) {
    for (double stop : {2.0, 2.5}) {
        NodePtr node(KFCurveNode::Create("Value", gKDataTypeNumber));
        node->FCurveSet(KFCurve::Create());
        AddKey(*node->FCurveGet(), 0.0, 0.0f);
        AddKey(*node->FCurveGet(), 4.0, 8.0f);
        ASSERT_TRUE(KFCurveNodeBake(*node, nullptr, 0, KFCURVENODE_BAKE_REPLACE_CURVES, Sec(0.0), Sec(stop), Sec(1.0)));
        EXPECT_EQ(KeyTimes(*node->FCurveGet()), (std::vector<double>{0.0, 1.0, 2.0, 3.0})) << stop;
        EXPECT_EQ(KeyValues(*node->FCurveGet()), (std::vector<float>{0.0f, 2.0f, 4.0f, 6.0f}));
    }
}

TEST(KFCurveNodeBake, LayersCombineByTheirTypeIntoTheBaseLayer) {
    NodePtr additive = MakeLayeredScalar(3.0f, {1.0f, 2.0f});
    ASSERT_TRUE(KFCurveNodeBake(*additive, nullptr, 0, KFCURVENODE_BAKE_REPLACE_CURVES, Sec(0.0), Sec(1.0), Sec(1.0)));
    EXPECT_EQ(KeyValues(*additive->FCurveGet()), (std::vector<float>(3, 6.0f)));

    NodePtr scaled = MakeLayeredScalar(3.0f, {1.0f, 2.0f, 0.5f}, {KFCL_PLAIN, KFCL_PLAIN, KFCL_SCALING});
    ASSERT_TRUE(KFCurveNodeBake(*scaled, nullptr, 0, KFCURVENODE_BAKE_REPLACE_CURVES | KFCURVENODE_BAKE_CLEAR_LAYERS,
                                Sec(0.0), Sec(1.0), Sec(1.0)));
    EXPECT_EQ(KeyValues(*scaled->FCurveGet()), (std::vector<float>(3, 3.0f)));
    // The merged layers are gone.
    EXPECT_EQ(scaled->GetNextLayer(), nullptr);
}

TEST(KFCurveNodeBake, VectorChannelBakesItsLayersIntoItsBaseCurves) {
    NodePtr root(KFCurveNode::Create("Root", nullptr));
    KFCurveNode* t = curvetest::AddVector(*root, "T", gKDataTypeLclTranslation);
    for (int axis = 0; axis < 3; ++axis) {
        AddKey(Axis(*t, axis), 0.0, 1.0f * axis);
        AddKey(Axis(*t, axis), 1.0, 1.0f * axis + 2.0f);
    }
    KFCurveNode* layer = t->AddLayer(1);
    ASSERT_NE(layer, nullptr);
    AddKey(*layer->Get(0)->FCurveGet(), 0.0, 10.0f);
    AddKey(*layer->Get(0)->FCurveGet(), 1.0, 20.0f);
    layer->Get(2)->FCurveGet()->SetValue(-1.0f);
    KTime start, stop;
    ASSERT_TRUE(t->GetAnimationInterval(start, stop));
    ASSERT_TRUE(KFCurveNodeBake(*t, nullptr, 0, KFCURVENODE_BAKE_REPLACE_CURVES, start, stop, Sec(0.5)));
    EXPECT_EQ(KeyTimes(Axis(*t, 0)), (std::vector<double>{0.0, 0.5, 1.0, 1.5}));
    EXPECT_EQ(KeyValues(Axis(*t, 0)), (std::vector<float>{10.0f, 16.0f, 22.0f, 22.0f}));
    EXPECT_EQ(KeyValues(Axis(*t, 1)), (std::vector<float>{1.0f, 2.0f, 3.0f, 3.0f}));
    EXPECT_EQ(KeyValues(Axis(*t, 2)), (std::vector<float>{1.0f, 2.0f, 3.0f, 3.0f}));
}

TEST(KFCurveNodeBake, ResetLayersBecomeNeutralAndTheNodeKeepsItsValue) {
    NodePtr node = MakeLayeredScalar(3.0f, {1.0f, 2.0f});
    AddKey(*node->FindLayer(2)->FCurveGet(), 0.5, 2.0f);
    ASSERT_TRUE(KFCurveNodeBake(*node, nullptr, 0, KFCURVENODE_BAKE_REPLACE_CURVES | KFCURVENODE_BAKE_RESET_LAYERS,
                                Sec(0.0), Sec(2.0), Sec(0.5)));
    KFCurveNode* layer2 = node->FindLayer(2);
    ASSERT_NE(layer2, nullptr);
    EXPECT_EQ(layer2->FCurveGet()->GetValue(), 0.0f);
    for (double t : {0.0, 0.5, 1.0, 2.0}) EXPECT_EQ(layer2->FCurveGet()->Evaluate(Sec(t)), 0.0f) << t;
    double value = 0.0;
    node->Evaluate(&value, Sec(1.0));
    EXPECT_DOUBLE_EQ(value, 6.0);
}

TEST(KFCurveNodeBake, TargetLayerSeenFromTheOthersKeepsTheWhole) {
    NodePtr node = MakeLayeredScalar(3.0f, {1.0f, 2.0f});
    AddKey(*node->FindLayer(1)->FCurveGet(), 0.0, 1.0f);
    AddKey(*node->FindLayer(1)->FCurveGet(), 2.0, 5.0f);
    std::vector<double> before;
    for (int i = 0; i <= 4; ++i) {
        double value = 0.0;
        node->Evaluate(&value, Sec(0.5 * i));
        before.push_back(value);
    }
    // Layer 1 is written so that the layers below and above it, and it, add up
    // to what the node evaluated to.
    ASSERT_TRUE(KFCurveNodeBake(*node, nullptr, 1, KFCURVENODE_BAKE_REPLACE_CURVES, Sec(0.0), Sec(2.0), Sec(0.5),
                                nullptr, nullptr, false));
    const KFCurve& layer = *node->FindLayer(1)->FCurveGet();
    EXPECT_FLOAT_EQ(layer.KeyGetValue(0), 1.0f);
    EXPECT_FLOAT_EQ(layer.KeyGetValue(4), 5.0f);
    node->ClearEvaluationCache(0, true);
    for (int i = 0; i <= 4; ++i) {
        double value = 0.0;
        node->Evaluate(&value, Sec(0.5 * i));
        EXPECT_NEAR(value, before[static_cast<std::size_t>(i)], 1e-5);
    }
}

TEST(KFCurveNodeBake, OutputNodeAndSpanTransferLeaveTheSourceCurves) {
    NodePtr node = MakeLayeredScalar(3.0f, {1.0f});
    NodePtr output(KFCurveNode::Create("Out", gKDataTypeNumber));
    output->FCurveSet(KFCurve::Create());
    ASSERT_TRUE(KFCurveNodeBake(*node, nullptr, 0, 0, Sec(0.0), Sec(1.0), Sec(1.0), output.get()));
    EXPECT_EQ(KeyValues(*output->FCurveGet()), (std::vector<float>(3, 4.0f)));
    EXPECT_EQ(KeyValues(*node->FCurveGet()), (std::vector<float>{3.0f, 3.0f}));

    ASSERT_TRUE(KFCurveNodeBake(*node, nullptr, 0, KFCURVENODE_BAKE_REPLACE_SPAN, Sec(0.0), Sec(1.0), Sec(0.5)));
    EXPECT_FLOAT_EQ(node->FCurveGet()->Evaluate(Sec(0.5)), 4.0f);
    EXPECT_FLOAT_EQ(node->FCurveGet()->Evaluate(Sec(2.0)), 3.0f);
}

TEST(KFCurveNodeBake, EulerLayersComposeRotations) {
    NodePtr node = MakeRotationNode();
    for (int axis = 0; axis < 3; ++axis) AddKey(Axis(*node, axis), 0.0, 0.0f);
    Axis(*node, 2).KeySetValue(0, 90.0f);
    KFCurveNode* layer = node->AddLayer(1);
    ASSERT_NE(layer, nullptr);
    layer->Get(0)->FCurveGet()->SetValue(90.0f);
    ASSERT_TRUE(KFCurveNodeBake(*node, nullptr, 0, KFCURVENODE_BAKE_REPLACE_CURVES, Sec(0.0), Sec(0.0), Sec(1.0)));
    // Turning about Z, then about X, as the node's evaluation combines them
    // (the angles may be any triple of that rotation).
    double baked[3] = {Axis(*node, 0).KeyGetValue(0), Axis(*node, 1).KeyGetValue(0), Axis(*node, 2).KeyGetValue(0)};
    KgeMatrix expected;
    KgeMatrixSetRotationXYZ(expected, 0.0, 0.0, 90.0);
    KgeMatrix turn;
    KgeMatrixSetRotationXYZ(turn, 90.0, 0.0, 0.0);
    KgeMatrixMultAffine(expected, turn, expected);
    KgeMatrix result;
    KgeMatrixSetRotationXYZ(result, baked[0], baked[1], baked[2]);
    EXPECT_EQ(KgeMatrixCompare(result, expected, 1e-5), 0);
}

TEST(KFCurveNodeBake, InverseUndoesCombineForEveryLayerType) {
    for (int type : {KFCL_PLAIN, KFCL_TRANSLATION, KFCL_EULER_ROTATION, KFCL_SCALING, KFCL_QUATERNION}) {
        NodePtr node(KFCurveNode::Create("N", nullptr, KFCL_PLAIN));
        for (const char* axis : {"X", "Y", "Z"}) node->FindOrCreate(axis, true);
        node->SetLayerType(type);
        const double a[4] = {20.0, -30.0, 40.0, 1.0};
        double value[4] = {0.3, 0.2, 0.1, 0.9};
        if (type == KFCL_QUATERNION) {
            const double length = std::sqrt(0.09 + 0.04 + 0.01 + 0.81);
            for (double& v : value) v /= length;
        }
        const double* x = type == KFCL_QUATERNION ? value : a;
        double inverse[4];
        KFCurveNodeInvertLayerValue(*node, inverse, x);
        double result[4];
        KFCurveNodeCombineLayerValues(*node, result, x, inverse);
        double neutral[4] = {0.0, 0.0, 0.0, 0.0};
        node->GetLayerNeutralValues(neutral);
        for (int i = 0; i < KFCurveNodeLayerValueCount(*node); ++i) EXPECT_NEAR(result[i], neutral[i], 1e-9) << type;
    }
    NodePtr scaling(KFCurveNode::Create("S", nullptr, KFCL_SCALING));
    scaling->FCurveSet(KFCurve::Create());
    const double zero = 0.0;
    double inverse = 0.0;
    KFCurveNodeInvertLayerValue(*scaling, &inverse, &zero);
    EXPECT_EQ(inverse, 1.0);
}

TEST(KFCurveNodeBake, KeyAwareSamplingAddsTheSourceKeyTimes) {
    NodePtr node(KFCurveNode::Create("Value", gKDataTypeNumber));
    node->FCurveSet(KFCurve::Create());
    AddKey(*node->FCurveGet(), 0.0, 0.0f);
    AddKey(*node->FCurveGet(), 0.25, 5.0f);
    AddKey(*node->FCurveGet(), 2.0, 1.0f);
    KFCurveNodeBakeOptions options;
    options.mKeyAwareSampling = true;
    ASSERT_TRUE(KFCurveNodeBake(*node, nullptr, 0, KFCURVENODE_BAKE_REPLACE_CURVES, Sec(0.0), Sec(2.0), Sec(1.0),
                                nullptr, nullptr, true, &options));
    EXPECT_EQ(KeyTimes(*node->FCurveGet()), (std::vector<double>{0.0, 0.25, 1.0, 2.0, 3.0}));
    EXPECT_FLOAT_EQ(node->FCurveGet()->KeyGetValue(1), 5.0f);
    EXPECT_EQ(node->FCurveGet()->KeyGetInterpolation(1), KFCURVE_INTERPOLATION_LINEAR);
}

TEST(KFCurveNodeBake, ConstantKeysBakeOneKeyPerKeyTime) {
    NodePtr node = MakeLayeredScalar(3.0f, {1.0f});
    KFCurve& base = *node->FCurveGet();
    base.KeyClear();
    AddKey(base, 0.0, 3.0f, KFCURVE_INTERPOLATION_CONSTANT);
    AddKey(base, 0.7, 4.0f, KFCURVE_INTERPOLATION_CONSTANT);
    AddKey(*node->FindLayer(1)->FCurveGet(), 0.3, 2.0f, KFCURVE_INTERPOLATION_CONSTANT);
    // Each key holds its own value up to the next key.
    base.KeySetConstantMode(0, KFCURVE_CONSTANT_STANDARD);
    base.KeySetConstantMode(1, KFCURVE_CONSTANT_STANDARD);
    node->FindLayer(1)->FCurveGet()->KeySetConstantMode(0, KFCURVE_CONSTANT_STANDARD);
    KFCurveNodeBakeOptions options;
    options.mKeyAwareSampling = true;
    ASSERT_TRUE(KFCurveNodeBake(*node, nullptr, 0, KFCURVENODE_BAKE_REPLACE_CURVES | KFCURVENODE_BAKE_CLEAR_LAYERS,
                                Sec(0.0), Sec(2.0), Sec(1.0), nullptr, nullptr, true, &options));
    const KFCurve& result = *node->FCurveGet();
    ASSERT_EQ(result.KeyGetCount(), 3);
    EXPECT_EQ(result.KeyGetTime(1), Sec(0.3));
    EXPECT_EQ(result.KeyGetTime(2), Sec(0.7));
    EXPECT_EQ(KeyValues(result), (std::vector<float>{5.0f, 5.0f, 6.0f}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(result.KeyGetInterpolation(i), KFCURVE_INTERPOLATION_CONSTANT);
}

TEST(KFCurveNodeBake, RefuseANonPositivePeriodOrAReversedSpan) {
    NodePtr node = MakeLayeredScalar(3.0f, {1.0f});
    EXPECT_FALSE(KFCurveNodeBake(*node, nullptr, 0, KFCURVENODE_BAKE_REPLACE_CURVES, Sec(0.0), Sec(1.0), KTime()));
    EXPECT_FALSE(KFCurveNodeBake(*node, nullptr, 0, KFCURVENODE_BAKE_REPLACE_CURVES, Sec(1.0), Sec(0.0), Sec(1.0)));
    EXPECT_EQ(node->FCurveGet()->KeyGetCount(), 2);
}

TEST(KFCurveNodeBake, SplitLayersBelowAndAboveTheTarget) {
    NodePtr node = MakeLayeredScalar(0.0f, {1.0f, 2.0f, 3.0f});
    std::vector<KFCurveNode*> below, above;
    KFCurveNodeSplitLayers(node.get(), nullptr, 2, below, above);
    ASSERT_EQ(below.size(), 2u);
    EXPECT_EQ(below[1]->GetLayerId(), 1);
    ASSERT_EQ(above.size(), 1u);
    EXPECT_EQ(above[0]->GetLayerId(), 3);
    const std::vector<int> ids{3, 0};
    KFCurveNodeSplitLayers(node.get(), &ids, 2, below, above);
    ASSERT_EQ(below.size(), 1u);
    EXPECT_EQ(below[0]->GetLayerId(), 0);
    ASSERT_EQ(above.size(), 1u);
}

TEST(KFCurveRefine, InsertsReferenceKeysWhereTheCurveStrays) {
    KFCurve reference;
    AddKey(reference, 0.0, 0.0f, KFCURVE_INTERPOLATION_CUBIC);
    AddKey(reference, 0.5, 10.0f, KFCURVE_INTERPOLATION_CUBIC);
    AddKey(reference, 1.0, 0.0f, KFCURVE_INTERPOLATION_CUBIC);
    KFCurve curve;
    AddKey(curve, 0.0, 0.0f);
    AddKey(curve, 1.0, 0.0f);
    KFCurveRefineToReference(Sec(0.0), Sec(1.0), &curve, &reference, 0.1, 4, false, KTime(), 0.0, false, nullptr,
                             nullptr);
    EXPECT_GT(curve.KeyGetCount(), 2);
    for (int i = 0; i < curve.KeyGetCount(); ++i) {
        EXPECT_FLOAT_EQ(curve.KeyGetValue(i), reference.Evaluate(curve.KeyGetTime(i)));
    }

    // Steps of 1/120 s or less are not refined.
    KFCurve flat;
    AddKey(flat, 0.0, 0.0f);
    AddKey(flat, 1.0, 0.0f);
    const KTime shortStop(384884650LL * 4);
    KFCurveRefineToReference(KTime(0), shortStop, &flat, &reference, 0.0, 4, false, KTime(), 0.0, false, nullptr,
                             nullptr);
    EXPECT_EQ(flat.KeyGetCount(), 2);
}

TEST(KFCurveRefine, ChildPairsGetTheSameKeys) {
    NodePtr node = MakeRotationNode();
    NodePtr reference = MakeRotationNode();
    for (int axis = 0; axis < 3; ++axis) {
        AddKey(Axis(*node, axis), 0.0, 0.0f);
        AddKey(Axis(*node, axis), 1.0, 0.0f);
        AddKey(Axis(*reference, axis), 0.0, 0.0f);
        AddKey(Axis(*reference, axis), 1.0, 0.0f);
    }
    AddKey(Axis(*reference, 0), 2.0, 0.0f);
    Axis(*reference, 0).KeySetValue(1, 50.0f);
    KFCurveNodeRefineToReference(*node, *reference, 0.5, 2, false, KTime(), 0.0, true, nullptr, nullptr);
    EXPECT_GT(Axis(*node, 0).KeyGetCount(), 2);
    EXPECT_EQ(KeyTimes(Axis(*node, 1)), KeyTimes(Axis(*node, 0)));
    EXPECT_EQ(KeyTimes(Axis(*node, 2)), KeyTimes(Axis(*node, 0)));
}

TEST(KFCurveFitDerivatives, OnlyKeysOffTheReferenceChange) {
    KFCurve reference;
    AddKey(reference, 0.0, 0.0f);
    AddKey(reference, 1.0, 2.0f);
    AddKey(reference, 2.0, 0.0f);
    KFCurve matched;
    matched.CopyFrom(reference, true);
    KFCurveFitKeyDerivatives(1, &matched, &reference, Sec(0.25), 1e-3);
    EXPECT_EQ(matched.KeyGetTangentMode(1), KFCURVE_TANGENT_AUTO);

    KFCurve cubic;
    AddKey(cubic, 0.0, 0.0f, KFCURVE_INTERPOLATION_CUBIC);
    AddKey(cubic, 1.0, 2.0f, KFCURVE_INTERPOLATION_CUBIC);
    AddKey(cubic, 2.0, 0.0f, KFCURVE_INTERPOLATION_CUBIC);
    KFCurveFitKeyDerivatives(1, &cubic, &reference, Sec(0.25), 1e-3);
    EXPECT_EQ(cubic.KeyGetTangentMode(1), KFCURVE_TANGENT_USER_BREAK);
    EXPECT_NEAR(cubic.KeyGetLeftDerivative(1), 2.0f, 1e-4);
    EXPECT_NEAR(cubic.KeyGetRightDerivative(1), -2.0f, 1e-4);
}

TEST(KFCurveFindNextKeyTimeOfSet, EarliestNextKeyAndItsCurves) {
    KFCurve a, b;
    AddKey(a, 0.0, 0.0f);
    AddKey(a, 1.0, 0.0f);
    AddKey(b, 0.5, 0.0f);
    AddKey(b, 1.0, 0.0f);
    KFCurveKeyCursor cursors[2] = {{&a, 0}, {&b, 0}};
    std::vector<KFCurve*> at;
    KTime next;
    KFCurveFindNextKeyTimeOfSet(next, Sec(0.0), cursors, 2, &at);
    EXPECT_EQ(next, Sec(0.5));
    EXPECT_EQ(at, (std::vector<KFCurve*>{&b}));
    KFCurveFindNextKeyTimeOfSet(next, Sec(0.5), cursors, 2, &at);
    EXPECT_EQ(next, Sec(1.0));
    EXPECT_EQ(at.size(), 2u);
    KFCurveFindNextKeyTimeOfSet(next, Sec(1.0), cursors, 2, &at);
    EXPECT_EQ(next, KTimeInfinite);
    EXPECT_TRUE(at.empty());
}

}  // namespace
