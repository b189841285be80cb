// Time-warp set, import rotation filter, value combination and the
// interpolation scan.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveNodeUtilities.h>
#include <fbxfilesdk/animation/KFCurveUtilities.h>
#include <fbxfilesdk/core/KSortedPointerMap.h>

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;
using curvetest::AddKey;
using curvetest::AddRotationKey;
using curvetest::Axis;
using curvetest::KeyValues;
using curvetest::MakeRotationNode;
using curvetest::NodePtr;

const void* IdKey(int id) { return reinterpret_cast<const void*>(static_cast<std::intptr_t>(id)); }

TEST(KFCurveNodeUtilities, TimeWarpSetResolvesIdsBothWays) {
    NodePtr warp(KFCurveNode::Create("Warp", nullptr));
    NodePtr other(KFCurveNode::Create("Other", nullptr));
    int id = -7;
    EXPECT_EQ(KFCurveTimeWarpGetById(3), nullptr);
    EXPECT_FALSE(KFCurveTimeWarpGetId(id, warp.get()));

    KSortedPointerMap set(4);
    EXPECT_EQ(KFCurveSetTimeWarpSet(&set), nullptr);
    EXPECT_EQ(KFCurveTimeWarpGetById(3), nullptr);
    set.Add(IdKey(3), warp.get());
    EXPECT_EQ(KFCurveTimeWarpGetById(3), warp.get());
    // Another thread's lookups go through its own set (a reader reading
    // takes there), never this one.
    std::thread([&] {
        EXPECT_EQ(KFCurveTimeWarpGetById(3), nullptr);
        EXPECT_FALSE(KFCurveTimeWarpGetId(id, warp.get()));
    }).join();
    EXPECT_EQ(KFCurveTimeWarpGetById(4), nullptr);
    EXPECT_TRUE(KFCurveTimeWarpGetId(id, warp.get()));
    EXPECT_EQ(id, 3);
    id = -7;
    EXPECT_FALSE(KFCurveTimeWarpGetId(id, other.get()));
    EXPECT_FALSE(KFCurveTimeWarpGetId(id, nullptr));
    EXPECT_EQ(id, -7);
    EXPECT_EQ(KFCurveSetTimeWarpSet(nullptr), &set);
    EXPECT_EQ(KFCurveTimeWarpGetById(3), nullptr);
}

TEST(KFCurveNodeUtilities, ImportRotationFilterFollowsItsSetting) {
    ASSERT_EQ(KFCurveGetImportRotationFilter(), 2);
    NodePtr unrolled = MakeRotationNode();
    AddRotationKey(*unrolled, 0.0, 0.0f, 0.0f, 0.0f);
    AddRotationKey(*unrolled, 1.0, 170.0f, 0.0f, 0.0f);
    AddRotationKey(*unrolled, 2.0, -170.0f, 0.0f, 0.0f);
    KFCurveApplyImportRotationFilter(unrolled.get(), KTimeMinusInfinite, KTimeInfinite);
    EXPECT_EQ(KeyValues(Axis(*unrolled, 0)), (std::vector<float>{0.0f, 170.0f, 190.0f}));

    NodePtr killed = MakeRotationNode();
    AddRotationKey(*killed, 0.0, 0.0f, 0.0f, 0.0f);
    AddRotationKey(*killed, 1.0, 170.0f, 0.0f, 0.0f);
    EXPECT_TRUE(KFCurveApplyRotationFilter(killed.get(), KTimeMinusInfinite, KTimeInfinite, 1));
    EXPECT_GT(Axis(*killed, 0).KeyGetCount(), 2);

    NodePtr untouched = MakeRotationNode();
    AddRotationKey(*untouched, 0.0, 0.0f, 0.0f, 0.0f);
    AddRotationKey(*untouched, 1.0, 350.0f, 0.0f, 0.0f);
    EXPECT_FALSE(KFCurveApplyRotationFilter(untouched.get(), KTimeMinusInfinite, KTimeInfinite, 0));
    EXPECT_EQ(KeyValues(Axis(*untouched, 0)), (std::vector<float>{0.0f, 350.0f}));
}

TEST(KFCurveNodeUtilities, ValuesCombineOnePerNodeValue) {
    const double a[4] = {1.0, 2.0, 3.0, 4.0};
    const double b[4] = {10.0, 20.0, 30.0, 40.0};
    NodePtr scalar(KFCurveNode::Create("Scalar", nullptr));
    scalar->FCurveSet(KFCurve::Create());
    double out[4] = {0.0, 0.0, 0.0, 0.0};
    KFCurveNodeAddValues(scalar.get(), out, a, b);
    EXPECT_EQ(std::vector<double>(out, out + 4), (std::vector<double>{11.0, 0.0, 0.0, 0.0}));

    NodePtr vector(KFCurveNode::Create("T", nullptr));
    curvetest::AddVector(*vector, "V", nullptr);
    KFCurveNode* v = vector->Get(0);
    KFCurveNodeMultiplyValues(v, out, a, b);
    EXPECT_EQ(std::vector<double>(out, out + 4), (std::vector<double>{10.0, 40.0, 90.0, 0.0}));

    // Its own curve first, then every child: no element is left out.
    v->FCurveSet(KFCurve::Create());
    KFCurveNodeAddValues(v, out, a, b);
    EXPECT_EQ(std::vector<double>(out, out + 4), (std::vector<double>{11.0, 22.0, 33.0, 44.0}));
}

TEST(KFCurveNodeUtilities, InterpolationScan) {
    NodePtr node = MakeRotationNode();
    EXPECT_FALSE(KFCurveNodeAllKeysHaveInterpolation(node.get(), KFCURVE_INTERPOLATION_MASK, false));
    for (int axis = 0; axis < 3; ++axis) {
        Axis(*node, axis).KeySet(0, curvetest::Sec(0.0), 1.0f, KFCURVE_INTERPOLATION_CONSTANT);
    }
    EXPECT_TRUE(KFCurveNodeAllKeysHaveInterpolation(node.get(), KFCURVE_INTERPOLATION_CONSTANT, false));
    AddKey(Axis(*node, 2), 1.0, 1.0f, KFCURVE_INTERPOLATION_LINEAR);
    EXPECT_FALSE(KFCurveNodeAllKeysHaveInterpolation(node.get(), KFCURVE_INTERPOLATION_CONSTANT, false));
    EXPECT_TRUE(KFCurveNodeAllKeysHaveInterpolation(
        node.get(), KFCURVE_INTERPOLATION_CONSTANT | KFCURVE_INTERPOLATION_LINEAR, false));

    // A layer's keys count only when the layers are asked for.
    KFCurveNode* layer = node->CreateLayer(1);
    ASSERT_NE(layer, nullptr);
    AddKey(*layer->Get(0)->FCurveGet(), 0.0, 0.0f, KFCURVE_INTERPOLATION_CUBIC);
    const unsigned int mask = KFCURVE_INTERPOLATION_CONSTANT | KFCURVE_INTERPOLATION_LINEAR;
    EXPECT_TRUE(KFCurveNodeAllKeysHaveInterpolation(node.get(), mask, false));
    EXPECT_FALSE(KFCurveNodeAllKeysHaveInterpolation(node.get(), mask, true));
    bool anyKey = false;
    bool allMatch = true;
    KFCurveNodeScanKeyInterpolation(nullptr, mask, true, anyKey, allMatch);
    EXPECT_FALSE(anyKey);
    EXPECT_TRUE(allMatch);
}

}  // namespace
