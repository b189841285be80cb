// The filter wrappers: made through the SDK manager by class id, each owns
// its filter and forwards to it; the base wrapper answers neutrally.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterConstantKeyReducer.h>
#include <fbxfilesdk/animation/KFCurveFilterResample.h>
#include <fbxfilesdk/animation/KFCurveFilterUnroll.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxKFCurveFilters.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

using curvetest::AddKey;
using curvetest::KeyTimes;
using curvetest::KeyValues;
using curvetest::NodePtr;

// Registered by the first manager that needs them, merely added to later ones.
void Enter(KFbxSdkManager* manager, KFbxClassId& classId, const char* name, const KFbxClassId& parent,
           KFbxPlugCreateFn createFn) {
    if (classId == KFbxClassId()) {
        classId = RegisterClass(manager, name, parent, createFn, nullptr, nullptr);
    } else {
        manager->AddClassId(classId);
    }
}

class KFbxKFCurveFiltersTest : public ::testing::Test {
protected:
    void SetUp() override {
        mManager = CreateSdkManager();
        ASSERT_NE(mManager, nullptr);
        Enter(mManager, KFbxKFCurveFilters::ClassId, "KFbxKFCurveFilters", KFbxObject::ClassId,
              &KFbxKFCurveFilters::CreateFn);
        const KFbxClassId base = KFbxKFCurveFilters::ClassId;
        Enter(mManager, KFbxKFCurveFilterConstantKeyReducer::ClassId, "KFbxKFCurveFilterConstantKeyReducer", base,
              &KFbxKFCurveFilterConstantKeyReducer::CreateFn);
        Enter(mManager, KFbxKFCurveFilterMatrixConverter::ClassId, "KFbxKFCurveFilterMatrixConverter", base,
              &KFbxKFCurveFilterMatrixConverter::CreateFn);
        Enter(mManager, KFbxKFCurveFilterResample::ClassId, "KFbxKFCurveFilterResample", base,
              &KFbxKFCurveFilterResample::CreateFn);
        Enter(mManager, KFbxKFCurveFilterUnroll::ClassId, "KFbxKFCurveFilterUnroll", base,
              &KFbxKFCurveFilterUnroll::CreateFn);
    }
    void TearDown() override { delete mManager; }

    KFbxSdkManager* mManager = nullptr;
};

// A curve with flat runs, a wrapped angle and keys off the frames.
void FillCurve(KFCurve& curve) {
    const double times[7] = {0.0, 0.1, 0.23, 0.4, 0.55, 0.7, 1.0};
    const float values[7] = {170.0f, 170.0f, 170.0f, -170.0f, -175.0f, -175.0f, -175.0f};
    for (int i = 0; i < 7; ++i) AddKey(curve, times[i], values[i]);
}

NodePtr RotationNode() {
    NodePtr node = curvetest::MakeRotationNode();
    for (int axis = 0; axis < 3; ++axis) FillCurve(curvetest::Axis(*node, axis));
    return node;
}

TEST_F(KFbxKFCurveFiltersTest, EachWrapperIsMadeByItsClassIdAndOwnsItsFilter) {
    const struct {
        KFbxClassId classId;
        const char* filterName;
    } kinds[] = {{KFbxKFCurveFilterConstantKeyReducer::ClassId, "Constant Key Reducer"},
                 {KFbxKFCurveFilterMatrixConverter::ClassId, "FCurve Matrix Converter"},
                 {KFbxKFCurveFilterResample::ClassId, "FCurve Resample"},
                 {KFbxKFCurveFilterUnroll::ClassId, "Unroll Filter"}};
    for (const auto& kind : kinds) {
        KFbxPlug* plug = CreateObjectOfClass(mManager, kind.classId, "wrapper");
        ASSERT_NE(plug, nullptr) << kind.filterName;
        EXPECT_TRUE(plug->Is(KFbxKFCurveFilters::ClassId));
        auto* wrapper = static_cast<KFbxKFCurveFilters*>(plug);
        EXPECT_EQ(wrapper->GetClassId(), kind.classId);
        EXPECT_TRUE(wrapper->HasFilter());
        EXPECT_STREQ(wrapper->GetName(), kind.filterName);
        EXPECT_STREQ(wrapper->KFbxObject::GetName(), "wrapper");
        EXPECT_EQ(wrapper->GetLastErrorID(), -1);
        wrapper->Destroy();
    }
    KFbxKFCurveFilterResample* resample = KFbxKFCurveFilterResample::Create(mManager, "resample");
    ASSERT_NE(resample, nullptr);
    EXPECT_EQ(resample->GetClassId(), KFbxKFCurveFilterResample::ClassId);
    EXPECT_NE(KFbxKFCurveFilterConstantKeyReducer::Create(mManager, "reducer"), nullptr);
    EXPECT_NE(KFbxKFCurveFilterMatrixConverter::Create(mManager, "converter"), nullptr);
    EXPECT_NE(KFbxKFCurveFilterUnroll::Create(mManager, "unroll"), nullptr);
    // The manager destroys the rest with their filters.
}

TEST_F(KFbxKFCurveFiltersTest, TheSpanIsTheFilters) {
    KFbxKFCurveFilterUnroll* wrapper = KFbxKFCurveFilterUnroll::Create(mManager, "unroll");
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->GetStartTime(), KTimeMinusInfinite);
    EXPECT_EQ(wrapper->GetStopTime(), KTimeInfinite);
    wrapper->SetStartTime(curvetest::Sec(0.3));
    wrapper->SetStopTime(curvetest::Sec(0.6));
    EXPECT_EQ(wrapper->GetStartTime(), curvetest::Sec(0.3));
    EXPECT_EQ(wrapper->GetStopTime(), curvetest::Sec(0.6));
    KFCurve curve;
    FillCurve(curve);
    // Key 2 (0.23 s) is at or before the start, key 4 (0.55 s) before the stop.
    EXPECT_EQ(wrapper->GetStartKeyIndex(curve), 2);
    EXPECT_EQ(wrapper->GetStopKeyIndex(curve), 4);
    wrapper->Reset();
    EXPECT_EQ(wrapper->GetStartTime(), KTimeMinusInfinite);
    EXPECT_EQ(wrapper->GetStopKeyIndex(curve), 6);
}

TEST_F(KFbxKFCurveFiltersTest, ApplyingAWrapperDoesWhatItsFilterDoes) {
    // Constant key reducer on an array of curves.
    KFCurve byWrapper, byFilter;
    FillCurve(byWrapper);
    FillCurve(byFilter);
    KFbxKFCurveFilters* reducer = KFbxKFCurveFilterConstantKeyReducer::Create(mManager, "reducer");
    ASSERT_NE(reducer, nullptr);
    KFCurve* curves[1] = {&byWrapper};
    EXPECT_TRUE(reducer->NeedApply(curves, 1));
    EXPECT_TRUE(reducer->Apply(curves, 1));
    KFCurveFilterConstantKeyReducer filter;
    EXPECT_TRUE(filter.Apply(byFilter));
    EXPECT_LT(byWrapper.KeyGetCount(), 7);
    EXPECT_EQ(KeyTimes(byWrapper), KeyTimes(byFilter));
    EXPECT_EQ(KeyValues(byWrapper), KeyValues(byFilter));

    // Unroll on a rotation node.
    NodePtr node = RotationNode();
    NodePtr reference = RotationNode();
    KFbxKFCurveFilters* unroll = KFbxKFCurveFilterUnroll::Create(mManager, "unroll");
    ASSERT_NE(unroll, nullptr);
    EXPECT_TRUE(unroll->NeedApply(*node, true));
    unroll->Apply(*node, true);
    KFCurveFilterUnroll unrollFilter;
    unrollFilter.Apply(*reference, true);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ(KeyValues(*node->Get(axis)->FCurveGet()), KeyValues(*reference->Get(axis)->FCurveGet()));
    }
    EXPECT_NE(node->Get(0)->FCurveGet()->KeyGetValue(3), -170.0f);

    // Resample on one curve.
    KFCurve sampled, sampledReference;
    FillCurve(sampled);
    FillCurve(sampledReference);
    KFbxKFCurveFilters* resample = KFbxKFCurveFilterResample::Create(mManager, "resample");
    ASSERT_NE(resample, nullptr);
    EXPECT_TRUE(resample->NeedApply(sampled));
    EXPECT_EQ(resample->Apply(sampled), KFCurveFilterResample().Apply(sampledReference));
    EXPECT_EQ(KeyTimes(sampled), KeyTimes(sampledReference));
    EXPECT_NE(KeyTimes(sampled).size(), 7u);
}

TEST_F(KFbxKFCurveFiltersTest, ErrorsAreTheFilters) {
    KFbxKFCurveFilters* converter = KFbxKFCurveFilterMatrixConverter::Create(mManager, "converter");
    ASSERT_NE(converter, nullptr);
    KFCurve curve;
    EXPECT_FALSE(converter->Apply(curve));
    EXPECT_EQ(converter->GetLastErrorID(), 2);
    EXPECT_STREQ(converter->GetLastErrorString(), "MatrixConverter, invalid apply method.");
    EXPECT_EQ(converter->GetError().GetLastErrorID(), 2);
}

TEST_F(KFbxKFCurveFiltersTest, TheBaseWrapperAnswersNeutrally) {
    KFbxKFCurveFilters* wrapper = KFbxKFCurveFilters::Create(mManager, "base");
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->GetClassId(), KFbxKFCurveFilters::ClassId);
    EXPECT_FALSE(wrapper->HasFilter());
    EXPECT_EQ(wrapper->GetName(), nullptr);
    EXPECT_STREQ(wrapper->KFbxObject::GetName(), "base");
    EXPECT_EQ(wrapper->GetStartTime(), KTime());
    wrapper->SetStartTime(KTime(5));
    wrapper->SetStopTime(KTime(9));
    EXPECT_EQ(wrapper->GetStartTime(), KTime());
    EXPECT_EQ(wrapper->GetStopTime(), KTime());
    wrapper->Reset();
    EXPECT_EQ(wrapper->GetStopTime(), KTime());
    KFCurve curve;
    FillCurve(curve);
    EXPECT_EQ(wrapper->GetStartKeyIndex(curve), 0);
    EXPECT_EQ(wrapper->GetStopKeyIndex(curve), 0);
    KFCurve* curves[1] = {&curve};
    NodePtr node = RotationNode();
    EXPECT_FALSE(wrapper->NeedApply(curve));
    EXPECT_FALSE(wrapper->NeedApply(curves, 1));
    EXPECT_FALSE(wrapper->NeedApply(*node, true));
    EXPECT_FALSE(wrapper->Apply(curve));
    EXPECT_FALSE(wrapper->Apply(curves, 1));
    EXPECT_FALSE(wrapper->Apply(*node, true));
    EXPECT_EQ(curve.KeyGetCount(), 7);
    EXPECT_EQ(wrapper->GetLastErrorID(), -1);
    EXPECT_EQ(wrapper->GetLastErrorString(), nullptr);
    EXPECT_EQ(wrapper->GetError().GetLastErrorID(), -1);
    wrapper->Destroy();
}

TEST_F(KFbxKFCurveFiltersTest, DestroyingAWrapperDestroysItsFilterOnce) {
    KFbxKFCurveFilters* wrapper = KFbxKFCurveFilterMatrixConverter::Create(mManager, "converter");
    ASSERT_NE(wrapper, nullptr);
    const int before = mManager->GetObjectCount(KFbxKFCurveFilters::ClassId);
    wrapper->Destroy();
    EXPECT_EQ(mManager->GetObjectCount(KFbxKFCurveFilters::ClassId), before - 1);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
