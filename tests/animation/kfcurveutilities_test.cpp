// Auto-value conversions, chord slopes, TCB parameters and import settings.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveUtilities.h>

#include "CurveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

using namespace fbxsdk_2006_11_1;
using curvetest::Sec;

namespace {

double Left(double p, double l, double r) {
    double d;
    KFCurveAutoToLeftDerivative(&d, p, l, r);
    return d;
}

double Right(double p, double l, double r) {
    double d;
    KFCurveAutoToRightDerivative(&d, p, l, r);
    return d;
}

}  // namespace

TEST(KFCurveUtilities, ImportSettings) {
    EXPECT_EQ(KFCurveGetDefaultResamplePeriod(), KTime(1539538600));
    EXPECT_EQ(KFCurveGetImportRotationFilter(), 2);
    EXPECT_EQ(KFCurveGetUnrollPrecision(), 0.25);
    EXPECT_FALSE(KFCurveGetUnrollOption());
    EXPECT_TRUE(KFCurveGetImportFilterOption());
    EXPECT_FALSE(KFCurveGetAutoTangentOption());
}

TEST(KFCurveUtilities, AutoValuesBlendTheChordSlopes) {
    EXPECT_DOUBLE_EQ(Left(0, 2, 1), 1.5);
    EXPECT_DOUBLE_EQ(Right(0, 2, 1), 1.5);
    EXPECT_DOUBLE_EQ(Left(100, 2, 1), 2.0);
    EXPECT_DOUBLE_EQ(Right(100, 2, 1), 1.0);
    EXPECT_DOUBLE_EQ(Left(-100, 2, 1), 1.0);
    EXPECT_DOUBLE_EQ(Right(-100, 2, 1), 2.0);
    // Beyond 500 a quadratic term joins in the direction the side grows.
    EXPECT_DOUBLE_EQ(Left(600, 2, 1), 44.5);
    EXPECT_DOUBLE_EQ(Right(600, 2, 1), ((-500.0 / 100) * 2 + 7 * 1) * 0.5 - 40);
    EXPECT_DOUBLE_EQ(Left(600, 1, 1), 1 - 40.0);
    EXPECT_DOUBLE_EQ(Right(600, 1, 1), 1 + 40.0);
}

TEST(KFCurveUtilities, InverseConversionUndoesTheForwardOne) {
    for (const auto& [l, r] : {std::pair{2.0, 1.0}, std::pair{-1.0, 3.0}, std::pair{0.5, -4.0}}) {
        for (double p : {-900.0, -600.0, -250.0, 0.0, 40.0, 480.0, 600.0, 1200.0}) {
            double d = Left(p, l, r);
            double back;
            KFCurveLeftDerivativeToAuto(&back, &d, l, r);
            EXPECT_NEAR(back, p, 1e-6 * std::max(1.0, std::fabs(p))) << l << " " << r << " " << p;
            d = Right(p, l, r);
            KFCurveRightDerivativeToAuto(&back, &d, l, r);
            EXPECT_NEAR(back, p, 1e-6 * std::max(1.0, std::fabs(p))) << l << " " << r << " " << p;
        }
    }
    double d = 0.5 * (2.0 + 1.0);
    double p;
    KFCurveLeftDerivativeToAuto(&p, &d, 2.0, 1.0);
    EXPECT_NEAR(p, 0.0, 1e-12);
    // Tiny derivatives count as 0, and the caller hears of it.
    d = 4e-6;
    KFCurveRightDerivativeToAuto(&p, &d, 1.0, -1.0);
    EXPECT_EQ(d, 0.0);
    EXPECT_NEAR(p, 0.0, 1e-12);
    // With equal slopes the linear range is the one derivative they share.
    d = 1.0;
    KFCurveLeftDerivativeToAuto(&p, &d, 1.0, 1.0);
    EXPECT_EQ(p, 0.0);
    double leftAuto;
    double rightAuto;
    KFCurveDerivativesToAuto(&leftAuto, &rightAuto, 2.0, 1.0, 2.0, 1.0);
    EXPECT_NEAR(leftAuto, 100.0, 1e-9);
    EXPECT_NEAR(rightAuto, 100.0, 1e-9);
}

TEST(KFCurveUtilities, KeySlopesAndPerKeyConversions) {
    KFCurve curve;
    double left = 7;
    double right = 7;
    KFCurveGetKeySlopes(&left, &right, &curve, 0);
    EXPECT_EQ(left, 0.0);
    curve.KeySet(0, Sec(0), 1.0f);
    left = right = 7;
    KFCurveGetKeySlopes(&left, &right, &curve, 0);  // one key: no slopes, but defined
    EXPECT_EQ(left, 0.0);
    EXPECT_EQ(right, 0.0);
    curve.KeySet(1, Sec(0.5), 2.0f);
    curve.KeySet(2, Sec(1.5), 0.0f);
    KFCurveGetKeySlopes(&left, &right, &curve, 1);
    EXPECT_DOUBLE_EQ(left, 2.0);
    EXPECT_DOUBLE_EQ(right, -2.0);
    KFCurveGetKeySlopes(&left, &right, &curve, 2);
    EXPECT_DOUBLE_EQ(right, -2.0);
    double d;
    KFCurveKeyAutoToLeftDerivative(&d, 100.0, &curve, 1);
    EXPECT_DOUBLE_EQ(d, 2.0);
    double p;
    KFCurveKeyRightDerivativeToAuto(&p, -2.0, &curve, 1);
    EXPECT_NEAR(p, 100.0, 1e-9);
    KFCurve empty;
    KFCurveKeyAutoToRightDerivative(&d, 50.0, &empty, 0);
    EXPECT_EQ(d, 0.0);
}

TEST(KFCurveUtilities, TcbParametersFromTheirOwnDerivatives) {
    KFCurve curve;
    curve.KeySetTCB(0, Sec(0), 0.0f, 0.0f, 0.0f, 0.0f);
    curve.KeySetTCB(1, Sec(1), 3.0f, 0.0f, 0.3f, -0.2f);
    curve.KeySetTCB(2, Sec(2), 4.0f, 0.0f, 0.0f, 0.0f);
    double tension = 0.0;
    double continuity;
    double bias;
    KFCurveComputeTCBFromDerivatives(&tension, &continuity, &bias, curve.KeyGetLeftDerivative(1),
                                     curve.KeyGetRightDerivative(1), &curve, 1);
    EXPECT_NEAR(tension, 0.0, 1e-9);
    EXPECT_NEAR(continuity, 0.3, 1e-6);
    EXPECT_NEAR(bias, -0.2, 1e-6);
    // A flat neighbourhood with unequal derivatives has no finite tension.
    KFCurve flat;
    flat.KeySet(0, Sec(0), 1.0f);
    flat.KeySet(1, Sec(1), 1.0f);
    flat.KeySet(2, Sec(2), 1.0f);
    tension = 0.5;
    KFCurveComputeTCBFromDerivatives(&tension, &continuity, &bias, 0.0, 2.0, &flat, 1);
    EXPECT_TRUE(std::isfinite(tension));
    EXPECT_TRUE(std::isfinite(continuity));
    EXPECT_EQ(bias, 1.0);
}
