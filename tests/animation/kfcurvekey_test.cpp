#include <fbxfilesdk/animation/KFCurveKey.h>

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;

namespace {

KFCurveKey CubicKey() {
    KFCurveKey key;
    key.Set(KTime(10), 2.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 1.5, -2.5, KFCURVE_WEIGHTED_NONE,
            KFCURVE_DEFAULT_WEIGHT, KFCURVE_DEFAULT_WEIGHT, 0.0, 0.0);
    return key;
}

}  // namespace

TEST(KFCurveKey, WeightSlotsAreClampedAndQuantisedTo9999ths) {
    KFCurveKey key = CubicKey();
    key.SetDataDouble(KFCurveKey::kSlotRightWeight, 1.5);
    EXPECT_DOUBLE_EQ(key.GetDataDouble(KFCurveKey::kSlotRightWeight), 9899 / 9999.0);
    key.SetDataDouble(KFCurveKey::kSlotNextLeftWeight, 0.0);
    EXPECT_DOUBLE_EQ(key.GetDataDouble(KFCurveKey::kSlotNextLeftWeight), 1 / 9999.0);
    key.SetDataDouble(KFCurveKey::kSlotRightWeight, KFCURVE_DEFAULT_WEIGHT);
    EXPECT_DOUBLE_EQ(key.GetDataDouble(KFCurveKey::kSlotRightWeight), 3333 / 9999.0);
    // The two weights share one word without disturbing each other.
    EXPECT_DOUBLE_EQ(key.GetDataDouble(KFCurveKey::kSlotNextLeftWeight), 1 / 9999.0);
}

TEST(KFCurveKey, VelocitiesAreNotClampedButSaturateInsteadOfWrapping) {
    KFCurveKey key = CubicKey();
    key.SetDataDouble(KFCurveKey::kSlotRightVelocity, -0.5);
    EXPECT_DOUBLE_EQ(key.GetDataDouble(KFCurveKey::kSlotRightVelocity), -4999 / 9999.0);
    key.SetDataDouble(KFCurveKey::kSlotNextLeftVelocity, 1000.0);
    EXPECT_DOUBLE_EQ(key.GetDataDouble(KFCurveKey::kSlotNextLeftVelocity), 32767 / 9999.0);
    EXPECT_DOUBLE_EQ(key.GetDataDouble(KFCurveKey::kSlotRightVelocity), -4999 / 9999.0);
}

TEST(KFCurveKey, TurningCubicResetsWeightsAndVelocitiesOnlyFromAnotherInterpolation) {
    KFCurveKey key = CubicKey();
    key.SetTangentWeightMode(KFCURVE_WEIGHTED_ALL);
    key.SetDataDouble(KFCurveKey::kSlotRightWeight, 0.5);
    key.SetTangentVelocityMode(KFCURVE_VELOCITY_RIGHT);
    key.SetDataDouble(KFCurveKey::kSlotRightVelocity, 0.25);

    key.SetInterpolation(KFCURVE_INTERPOLATION_CUBIC);
    EXPECT_EQ(key.GetTangentWeightMode(), static_cast<unsigned>(KFCURVE_WEIGHTED_ALL));
    EXPECT_NEAR(key.GetDataDouble(KFCurveKey::kSlotRightWeight), 0.5, 1e-4);

    key.SetInterpolation(KFCURVE_INTERPOLATION_LINEAR);
    key.SetInterpolation(KFCURVE_INTERPOLATION_CUBIC);
    EXPECT_EQ(key.GetTangentWeightMode(), 0u);
    EXPECT_EQ(key.GetTangentVelocityMode(), 0u);
    EXPECT_DOUBLE_EQ(key.GetDataDouble(KFCurveKey::kSlotRightWeight), 3333 / 9999.0);
    EXPECT_DOUBLE_EQ(key.GetDataDouble(KFCurveKey::kSlotNextLeftWeight), 3333 / 9999.0);
    EXPECT_EQ(key.GetDataDouble(KFCurveKey::kSlotRightVelocity), 0.0);
}

TEST(KFCurveKey, TangentModeReportsTheClampBitOnlyWithOverrides) {
    KFCurveKey key = CubicKey();
    key.SetTangentMode(KFCURVE_TANGENT_AUTO | KFCURVE_TANGENT_CLAMP);
    EXPECT_EQ(key.GetTangentMode(), static_cast<unsigned>(KFCURVE_TANGENT_AUTO));
    EXPECT_EQ(key.GetTangentMode(true), static_cast<unsigned>(KFCURVE_TANGENT_AUTO | KFCURVE_TANGENT_CLAMP));
    key.SetBreak(true);
    EXPECT_EQ(key.GetTangentMode(), static_cast<unsigned>(KFCURVE_TANGENT_AUTO_BREAK));
}

TEST(KFCurveKey, TcbParametersShareTheWeightWord) {
    KFCurveKey key;
    key.SetTCB(KTime(5), 1.0f, 0.25f, -0.5f, 0.75f);
    EXPECT_EQ(key.GetInterpolation(), static_cast<unsigned>(KFCURVE_INTERPOLATION_CUBIC));
    EXPECT_EQ(key.GetTangentMode(), static_cast<unsigned>(KFCURVE_TANGENT_TCB));
    EXPECT_EQ(key.GetDataFloat(KFCurveKey::kTension), 0.25f);
    EXPECT_EQ(key.GetDataFloat(KFCurveKey::kContinuity), -0.5f);
    EXPECT_EQ(key.GetDataFloat(KFCurveKey::kBias), 0.75f);
    key.SetDataDouble(KFCurveKey::kSlotRightWeight, 0.5);
    EXPECT_NE(key.GetDataFloat(KFCurveKey::kBias), 0.75f);
}
