// The resample filter: keys on a fixed period inside the span, kept keys
// outside it, keys on frame and its refusals.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterResample.h>

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;
using curvetest::AddKey;
using curvetest::KeyTimes;
using curvetest::Sec;

KTime Frames(int frames) {
    KTime time;
    time.SetTime(0, 0, 0, frames, 0, KTime::eDefaultMode);
    return time;
}

TEST(KFCurveFilterResample, OpenSpanSamplesBetweenTheFirstAndLastKeys) {
    KFCurve curve;
    AddKey(curve, 0.0, 0.0f);
    AddKey(curve, 1.0, 4.0f);
    KFCurveFilterResample resample;
    EXPECT_STREQ(resample.GetName(), "FCurve Resample");
    resample.SetPeriodTime(Sec(0.25));
    ASSERT_TRUE(resample.Apply(curve));
    ASSERT_EQ(KeyTimes(curve), (std::vector<double>{0.0, 0.25, 0.5, 0.75, 1.0}));
    for (int i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(curve.KeyGetValue(i), 4.0f * 0.25f * i);
        EXPECT_EQ(curve.KeyGetInterpolation(i), KFCURVE_INTERPOLATION_CUBIC);
        EXPECT_EQ(curve.KeyGetTangentMode(i), KFCURVE_TANGENT_AUTO);
    }
}

TEST(KFCurveFilterResample, KeysOutsideTheSpanStay) {
    KFCurve curve;
    for (int i = 0; i <= 20; ++i) AddKey(curve, 0.05 * i, static_cast<float>(i));
    KFCurveFilterResample resample;
    resample.SetStartTime(Sec(0.4));
    resample.SetStopTime(Sec(0.6));
    resample.SetPeriodTime(Sec(0.1));
    ASSERT_TRUE(resample.Apply(curve));
    const std::vector<double> times = KeyTimes(curve);
    ASSERT_EQ(times.size(), 8u + 3u + 8u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(curve.KeyGetTime(i), Sec(0.05 * i));
    EXPECT_EQ(curve.KeyGetTime(8), Sec(0.4));
    EXPECT_EQ(curve.KeyGetTime(9), Sec(0.4) + Sec(0.1));
    EXPECT_EQ(curve.KeyGetTime(10), Sec(0.6));
    for (int i = 11; i < 19; ++i) EXPECT_EQ(curve.KeyGetTime(i), Sec(0.05 * (i + 2)));
    EXPECT_FLOAT_EQ(curve.KeyGetValue(9), 10.0f);
    EXPECT_EQ(curve.KeyGetInterpolation(0), KFCURVE_INTERPOLATION_LINEAR);
}

TEST(KFCurveFilterResample, KeysOnFrameMoveOnlyAStartPastTheFirstPeriod) {
    const KTime frame = Frames(1);
    KFCurveFilterResample resample;
    resample.SetKeysOnFrame(true);
    {
        KFCurve curve;
        curve.KeySet(0, KTime(frame.Get() * 5 / 2), 1.0f);
        curve.KeySet(1, Frames(6), 2.0f);
        ASSERT_TRUE(resample.Apply(curve));
        EXPECT_EQ(curve.KeyGetCount(), 5);  // 2.5 kept, then 3, 4, 5, 6.
        EXPECT_EQ(curve.KeyGetTime(0), KTime(frame.Get() * 5 / 2));
        EXPECT_EQ(curve.KeyGetTime(1), Frames(3));
        EXPECT_EQ(curve.KeyGetTime(4), Frames(6));
    }
    {
        KFCurve curve;
        curve.KeySet(0, KTime(frame.Get() / 2), 1.0f);
        curve.KeySet(1, Frames(2), 2.0f);
        ASSERT_TRUE(resample.Apply(curve));
        ASSERT_EQ(curve.KeyGetCount(), 3);  // 0.5, 1.5 and the stop at 2.
        EXPECT_EQ(curve.KeyGetTime(0), KTime(frame.Get() / 2));
        EXPECT_EQ(curve.KeyGetTime(1), KTime(frame.Get() / 2) + frame);
        EXPECT_EQ(curve.KeyGetTime(2), Frames(2));
    }
}

TEST(KFCurveFilterResample, CurveWithoutKeysNeedsAnExplicitSpan) {
    KFCurve curve;
    curve.SetValue(7.0f);
    KFCurveFilterResample resample;
    resample.SetPeriodTime(Sec(0.25));
    EXPECT_FALSE(resample.Apply(curve));
    EXPECT_EQ(resample.GetLastErrorID(), 1);
    EXPECT_STREQ(resample.GetLastErrorString(), "Bad Interval");

    resample.SetStartTime(Sec(0.0));
    resample.SetStopTime(Sec(1.0));
    ASSERT_TRUE(resample.Apply(curve));
    EXPECT_EQ(KeyTimes(curve), (std::vector<double>{0.0, 0.25, 0.5, 0.75, 1.0}));
    EXPECT_FLOAT_EQ(curve.KeyGetValue(2), 7.0f);
}

TEST(KFCurveFilterResample, OffGridStopGetsItsOwnKey) {
    KFCurve curve;
    AddKey(curve, 0.0, 0.0f);
    AddKey(curve, 1.0, 1.0f);
    KFCurveFilterResample resample;
    resample.SetPeriodTime(Sec(0.375));
    ASSERT_TRUE(resample.Apply(curve));
    EXPECT_EQ(KeyTimes(curve), (std::vector<double>{0.0, 0.375, 0.75, 1.0}));
}

TEST(KFCurveFilterResample, RefusesABadPeriodOrAnEmptySpan) {
    KFCurve curve;
    AddKey(curve, 0.0, 0.0f);
    AddKey(curve, 1.0, 1.0f);
    KFCurveFilterResample resample;
    resample.SetPeriodTime(KTime(0));
    EXPECT_FALSE(resample.Apply(curve));
    EXPECT_EQ(resample.GetLastErrorID(), 0);
    EXPECT_STREQ(resample.GetLastErrorString(), "Bad Period");

    resample.SetPeriodTime(Sec(0.25));
    resample.SetStartTime(Sec(2.0));
    EXPECT_FALSE(resample.Apply(curve));
    EXPECT_EQ(resample.GetLastErrorID(), 1);
    EXPECT_EQ(KeyTimes(curve), (std::vector<double>{0.0, 1.0}));
}

TEST(KFCurveFilterResample, KeepInterpolationCopiesTheSourceKeyType) {
    KFCurve curve;
    AddKey(curve, 0.0, 0.0f, KFCURVE_INTERPOLATION_LINEAR);
    AddKey(curve, 0.5, 1.0f, KFCURVE_INTERPOLATION_CONSTANT);
    AddKey(curve, 1.0, 3.0f, KFCURVE_INTERPOLATION_LINEAR);
    curve.KeySetConstantMode(1, KFCURVE_CONSTANT_STANDARD);
    KFCurveFilterResample resample;
    resample.SetPeriodTime(Sec(0.25));
    resample.SetKeepInterpolation(true);
    ASSERT_TRUE(resample.Apply(curve));
    ASSERT_EQ(curve.KeyGetCount(), 5);
    EXPECT_EQ(curve.KeyGetInterpolation(1), KFCURVE_INTERPOLATION_LINEAR);
    EXPECT_EQ(curve.KeyGetInterpolation(2), KFCURVE_INTERPOLATION_CONSTANT);
    EXPECT_EQ(curve.KeyGetInterpolation(3), KFCURVE_INTERPOLATION_CONSTANT);
    EXPECT_FLOAT_EQ(curve.KeyGetValue(3), 1.0f);
}

}  // namespace
