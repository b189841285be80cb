// The filter base: span, key indices, the shared array and node forms.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilter.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;
using curvetest::AddKey;
using curvetest::NodePtr;
using curvetest::Sec;

const char* const kMessages[] = {"No key", "Left unchanged"};

// Records the curves it is applied to; fails on curves without keys.
class RecordingFilter : public KFCurveFilter {
public:
    RecordingFilter() : KFCurveFilter("Recorder", kMessages, 2) {}
    bool Apply(KFCurve& curve) override {
        seen.push_back(&curve);
        if (curve.KeyGetCount() == 0) {
            GetError().SetError(0);
            return false;
        }
        return true;
    }
    using KFCurveFilter::Apply;
    std::vector<KFCurve*> seen;
};

TEST(KFCurveFilter, SpanStartsAtZeroAndResetOpensIt) {
    RecordingFilter filter;
    EXPECT_EQ(filter.GetStartTime().Get(), 0);
    EXPECT_EQ(filter.GetStopTime().Get(), 0);
    filter.Reset();
    EXPECT_EQ(filter.GetStartTime().Get(), -9223372036854775807LL);
    EXPECT_EQ(filter.GetStopTime().Get(), 9223372036854775807LL);
    EXPECT_STREQ(filter.GetName(), "Recorder");
    EXPECT_EQ(filter.GetLastErrorID(), -1);
}

TEST(KFCurveFilter, KeyIndicesFollowTheSpan) {
    RecordingFilter filter;
    filter.Reset();
    KFCurve curve;
    EXPECT_EQ(filter.GetStartKeyIndex(curve), -1);
    EXPECT_EQ(filter.GetStopKeyIndex(curve), -1);
    for (int i = 0; i < 6; ++i) AddKey(curve, i, 0.0f);
    EXPECT_EQ(filter.GetStartKeyIndex(curve), 0);
    EXPECT_EQ(filter.GetStopKeyIndex(curve), 5);
    filter.SetStartTime(Sec(2.5));
    filter.SetStopTime(Sec(4.0));
    EXPECT_EQ(filter.GetStartKeyIndex(curve), 2);
    EXPECT_EQ(filter.GetStopKeyIndex(curve), 4);
}

TEST(KFCurveFilter, ArrayFormVisitsEveryCurveAndReportsWhetherAnyWasFiltered) {
    RecordingFilter filter;
    KFCurve empty, keyed, other;
    AddKey(keyed, 0.0, 1.0f);
    KFCurve* curves[3] = {&empty, &keyed, &other};
    EXPECT_TRUE(filter.Apply(curves, 3));
    EXPECT_EQ(filter.seen, (std::vector<KFCurve*>{&empty, &keyed, &other}));
    EXPECT_EQ(filter.GetLastErrorID(), 0);

    // Nothing filtered is failure, not success.
    KFCurve* failing[2] = {&empty, &other};
    EXPECT_FALSE(filter.Apply(failing, 2));
    EXPECT_FALSE(filter.Apply(curves, 0));
    EXPECT_TRUE(filter.NeedApply(curves, 3));
    EXPECT_FALSE(filter.NeedApply(curves, 0));
}

TEST(KFCurveFilter, NodeFormFiltersChildrenBeforeTheNodeCurve) {
    RecordingFilter filter;
    NodePtr root(KFCurveNode::Create("Root", nullptr));
    root->FCurveSet(KFCurve::Create());
    KFCurveNode* child = root->FindOrCreate("A", true);
    KFCurveNode* grandChild = child->FindOrCreate("B", true);
    AddKey(*grandChild->FCurveGet(), 0.0, 1.0f);

    EXPECT_FALSE(filter.Apply(*root, false));
    EXPECT_EQ(filter.seen, (std::vector<KFCurve*>{root->FCurveGet()}));

    filter.seen.clear();
    EXPECT_TRUE(filter.Apply(*root, true));
    EXPECT_EQ(filter.seen,
              (std::vector<KFCurve*>{grandChild->FCurveGet(), child->FCurveGet(), root->FCurveGet()}));
}

TEST(KFCurveFilter, TypeRecordChainsToKObject) {
    RecordingFilter filter;
    EXPECT_STREQ(filter.GetClassName(), "KFCurveFilter");
    EXPECT_TRUE(filter.IsType(gKFCurveFilterClassInfo.GetId()));
    EXPECT_TRUE(filter.IsType(gKObjectClassInfo.GetId()));
    EXPECT_TRUE(filter.IsType(gKPlugClassInfo.GetId()));
    EXPECT_FALSE(filter.IsType(gKFCurveFilterUnrollClassInfo.GetId()));
}

}  // namespace
