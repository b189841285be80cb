#include <fbxfilesdk/core/KgeMath.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace fbxsdk_2006_11_1 {
namespace {

void Identity(double* m) {
    for (int n = 0; n < 16; ++n) m[n] = n % 5 == 0 ? 1.0 : 0.0;
}

void Translation(double* m, double x, double y, double z) {
    Identity(m);
    m[12] = x;
    m[13] = y;
    m[14] = z;
}

void Rotation(double* m, double x, double y, double z) {
    Identity(m);
    KgeMatrixSetRotationXYZ(m, x, y, z);
}

void ExpectAffineNear(const double* expected, const double* actual, double tolerance) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(expected[r * 4 + c], actual[r * 4 + c], tolerance) << r << "," << c;
}

void ExpectPointNear(double x, double y, double z, const double* p, double tolerance) {
    EXPECT_NEAR(p[0], x, tolerance);
    EXPECT_NEAR(p[1], y, tolerance);
    EXPECT_NEAR(p[2], z, tolerance);
}

// Affine rows chosen so that every product is exact.
const double kA[16] = {1, 2, 0, 0, 0, 1, 3, 0, 2, 0, 1, 0, 5, 6, 7, 1};
const double kB[16] = {0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 2, 0, 1, 1, 1, 1};
// B x A, worked by hand: rows of B pick and weigh the rows of A, plus A's translation.
const double kBThenA[16] = {0, 1, 3, 0, 1, 2, 0, 0, 4, 0, 2, 0, 8, 9, 11, 1};

TEST(KgeMatrixMultAffine, IsTheSecondArgumentAppliedFirst) {
    double product[16];
    Identity(product);
    KgeMatrixMultAffine(product, kA, kB);
    ExpectAffineNear(kBThenA, product, 0.0);

    // The point (1, 0, 0) through B gives (1, 2, 1), then through A (8, 10, 14).
    const double p[3] = {1, 0, 0};
    double viaProduct[3], viaB[3], viaBThenA[3];
    KgeMatrixMultPoint(viaProduct, product, p);
    KgeMatrixMultPoint(viaB, kB, p);
    KgeMatrixMultPoint(viaBThenA, kA, viaB);
    ExpectPointNear(8, 10, 14, viaProduct, 0.0);
    ExpectPointNear(8, 10, 14, viaBThenA, 0.0);
}

TEST(KgeMatrixMultAffine, RotationThenTranslationIsNotTranslationThenRotation) {
    double move[16], turn[16], product[16];
    Translation(move, 1, 0, 0);
    Rotation(turn, 0, 0, 90);
    const double p[3] = {1, 0, 0};
    double q[3];

    KgeMatrixMultAffine(product, move, turn);  // turn first, then move
    KgeMatrixMultPoint(q, product, p);
    ExpectPointNear(1, 1, 0, q, 1e-12);

    KgeMatrixMultAffine(product, turn, move);  // move first, then turn
    KgeMatrixMultPoint(q, product, p);
    ExpectPointNear(0, 2, 0, q, 1e-12);
}

TEST(KgeMatrixMultAffine, OutputMayBeEitherInputAndColumn3IsLeftAlone) {
    double a[16], b[16];
    std::memcpy(a, kA, sizeof a);
    KgeMatrixMultAffine(a, a, kB);
    ExpectAffineNear(kBThenA, a, 0.0);

    std::memcpy(b, kB, sizeof b);
    KgeMatrixMultAffine(b, kA, b);
    ExpectAffineNear(kBThenA, b, 0.0);

    double out[16];
    for (double& v : out) v = 42.0;
    KgeMatrixMultAffine(out, kA, kB);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(out[r * 4 + 3], 42.0);
}

TEST(KgeMatrixMultPoint, AddsRow3AndMayWriteOverThePoint) {
    double p[3] = {1, 1, 1};
    KgeMatrixMultPoint(p, kA, p);
    // (1,2,0) + (0,1,3) + (2,0,1) + (5,6,7)
    ExpectPointNear(8, 9, 11, p, 0.0);
}

// With contraction into fused multiply-adds, a x b + c would be rounded once;
// the build must round the product first, on every machine.
TEST(KgeMatrixMultPoint, RoundsEachProductBeforeTheSum) {
    const double a = 1.0 + std::ldexp(1.0, -30);
    const double c = -(1.0 + std::ldexp(1.0, -29));
    volatile double product = a * a;
    const double separate = product + c;
    ASSERT_NE(separate, std::fma(a, a, c));

    double m[16];
    Identity(m);
    m[0] = a;
    m[12] = c;
    const double p[3] = {a, 0, 0};
    double q[3];
    KgeMatrixMultPoint(q, m, p);
    EXPECT_EQ(q[0], separate);
}

TEST(KgeMatrixCompare, ToleranceZeroIsAMemoryComparisonOfFifteenDoubles) {
    double a[16], b[16];
    Identity(a);
    Identity(b);
    EXPECT_EQ(KgeMatrixCompare(a, b, 0.0), 0);

    // The sixteenth double is not looked at.
    b[15] = 7.0;
    EXPECT_EQ(KgeMatrixCompare(a, b, 0.0), 0);

    // Column 3 of the first rows is, unlike with a tolerance.
    Identity(b);
    b[3] = 1e-300;
    EXPECT_NE(KgeMatrixCompare(a, b, 0.0), 0);
    EXPECT_EQ(KgeMatrixCompare(a, b, 1e-12), 0);

    // Bytes, not numbers: -0.0 differs from 0.0, and the order is that of the
    // first differing byte (the low mantissa byte first on this platform).
    Identity(b);
    b[1] = -0.0;
    EXPECT_NE(KgeMatrixCompare(a, b, 0.0), 0);
    Identity(b);
    a[0] = 2.0;  // bytes 00 .. 00 40 against 1.0's 00 .. F0 3F
    EXPECT_EQ(KgeMatrixCompare(a, b, 0.0), -1);
    EXPECT_EQ(KgeMatrixCompare(b, a, 0.0), 1);
}

TEST(KgeMatrixCompare, NonZeroToleranceLooksAtTheTwelveAffineElements) {
    double a[16], b[16];
    Identity(a);
    Identity(b);
    b[14] = 1e-6;
    EXPECT_EQ(KgeMatrixCompare(a, b, 1e-6), 0);
    b[14] = 2e-6;
    EXPECT_EQ(KgeMatrixCompare(a, b, 1e-6), 1);
    Identity(b);
    b[7] = 5.0;
    b[15] = 5.0;
    EXPECT_EQ(KgeMatrixCompare(a, b, 1e-6), 0);
}

TEST(KgeMatrixTranspose, SwapsAllSixteenAlsoInPlace) {
    double m[16], t[16];
    for (int n = 0; n < 16; ++n) m[n] = n;
    KgeMatrixTranspose(t, m);
    KgeMatrixTranspose(m, m);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(t[r * 4 + c], c * 4 + r);
            EXPECT_EQ(m[r * 4 + c], c * 4 + r);
        }
}

TEST(KgeMatrixInverseOrthogonal, UndoesScaledMirroredTransforms) {
    const double t[3] = {3, -4, 5};
    const double r[3] = {30, -20, 75};
    const double s[3] = {2, -0.5, 4};
    double m[16], inverse[16], product[16], identity[16];
    Identity(m);
    Identity(identity);
    KgeMatrixSetTRS(m, t, r, s);
    for (double& v : inverse) v = 9.0;
    KgeMatrixInverseOrthogonal(inverse, m);
    for (int row = 0; row < 4; ++row) EXPECT_EQ(inverse[row * 4 + 3], 9.0);

    KgeMatrixMultAffine(product, inverse, m);
    ExpectAffineNear(identity, product, 1e-12);
    KgeMatrixMultAffine(product, m, inverse);
    ExpectAffineNear(identity, product, 1e-12);

    KgeMatrixInverseOrthogonal(m, m);
    ExpectAffineNear(inverse, m, 0.0);
}

TEST(KgeMatrixInverseOrthogonal, CollapsedAxisGivesZerosNotNaN) {
    double m[16], inverse[16];
    Translation(m, 1, 2, 3);
    m[5] = 0.0;  // Y axis of length 0
    KgeMatrixInverseOrthogonal(inverse, m);
    for (int n = 0; n < 16; ++n) EXPECT_TRUE(std::isfinite(inverse[n])) << n;
    EXPECT_EQ(inverse[0], 1.0);
    EXPECT_EQ(inverse[5], 0.0);
    EXPECT_EQ(inverse[12], -1.0);
    EXPECT_EQ(inverse[13], 0.0);
    EXPECT_EQ(inverse[14], -3.0);
}

TEST(KgeMatrixGetScale, MirroredTransformGivesThreeNegativeLengths) {
    double m[16];
    const double t[3] = {0, 0, 0};
    const double r[3] = {10, 20, 30};
    const double s[3] = {2, 3, -4};
    Identity(m);
    KgeMatrixSetTRS(m, t, r, s);
    EXPECT_FALSE(KgeMatrixIsRightHanded(m));
    double scale[3];
    KgeMatrixGetScale(scale, m);
    EXPECT_NEAR(scale[0], -2, 1e-12);
    EXPECT_NEAR(scale[1], -3, 1e-12);
    EXPECT_NEAR(scale[2], -4, 1e-12);

    const double positive[3] = {2, 3, 4};
    KgeMatrixSetTRS(m, t, r, positive);
    EXPECT_TRUE(KgeMatrixIsRightHanded(m));
    KgeMatrixGetScale(scale, m);
    EXPECT_NEAR(scale[2], 4, 1e-12);

    // A flat transform counts as right-handed.
    m[8] = m[9] = m[10] = 0.0;
    EXPECT_TRUE(KgeMatrixIsRightHanded(m));
}

TEST(KgeMatrixSetRotationXYZ, AppliesXThenYThenZ) {
    double m[16], rx[16], ry[16], rz[16], xy[16], xyz[16];
    Rotation(m, 20, -35, 110);
    Rotation(rx, 20, 0, 0);
    Rotation(ry, 0, -35, 0);
    Rotation(rz, 0, 0, 110);
    KgeMatrixMultAffine(xy, ry, rx);
    KgeMatrixMultAffine(xyz, rz, xy);
    ExpectAffineNear(xyz, m, 1e-15);

    // About Z by 90: the X axis turns onto Y.
    Rotation(m, 0, 0, 90);
    const double p[3] = {1, 0, 0};
    double q[3];
    KgeMatrixMultPoint(q, m, p);
    ExpectPointNear(0, 1, 0, q, 1e-15);

    // The degree factor is the double nearest pi / 180, used as a factor.
    Rotation(m, 0, 0, 33);
    EXPECT_EQ(m[1], std::sin(33 * 0.017453292519943295));
}

TEST(KgeMatrixRotationToEulerXYZ, RecoversAnglesAwayFromTheSingularity) {
    for (double x = -175; x <= 175; x += 25)
        for (double y = -85; y <= 85; y += 17)
            for (double z = -175; z <= 175; z += 25) {
                double m[16], angles[3];
                Rotation(m, x, y, z);
                KgeMatrixRotationToEulerXYZ(angles, m);
                ExpectPointNear(x, y, z, angles, 1e-9);
            }
}

TEST(KgeMatrixRotationToEulerXYZ, AtNinetyDegreesFoldsZIntoX) {
    double m[16], angles[3];
    Rotation(m, 30, 90, 20);
    KgeMatrixRotationToEulerXYZ(angles, m);
    EXPECT_EQ(angles[1], 90.0);
    EXPECT_EQ(angles[2], 0.0);
    EXPECT_NEAR(angles[0], 10.0, 1e-9);

    Rotation(m, 30, -90, 20);
    KgeMatrixRotationToEulerXYZ(angles, m);
    EXPECT_EQ(angles[1], -90.0);
    EXPECT_EQ(angles[2], 0.0);
    EXPECT_NEAR(angles[0], 50.0, 1e-9);

    // Within 1e-6 of the pole counts as the pole.
    double back[16];
    Rotation(m, 0, 89.95, 40);
    KgeMatrixRotationToEulerXYZ(angles, m);
    EXPECT_EQ(angles[1], 90.0);
    Rotation(back, angles[0], angles[1], angles[2]);
    ExpectAffineNear(m, back, 2e-3);
}

TEST(KgeMatrixGetEulerXYZ, DividesTheScalingOut) {
    double m[16], angles[3];
    const double t[3] = {1, 2, 3};
    const double r[3] = {-40, 25, 160};
    const double s[3] = {0.5, 3, 2};
    Identity(m);
    KgeMatrixSetTRS(m, t, r, s);
    KgeMatrixGetEulerXYZ(angles, m);
    ExpectPointNear(-40, 25, 160, angles, 1e-9);
}

TEST(KgeMatrixGetEulerXYZ, CollapsedAxisGivesFiniteAngles) {
    double m[16], angles[3];
    Rotation(m, 0, 0, 30);
    m[8] = m[9] = m[10] = 0.0;
    KgeMatrixGetEulerXYZ(angles, m);
    for (double a : angles) EXPECT_TRUE(std::isfinite(a));
    EXPECT_NEAR(angles[2], 30.0, 1e-9);
}

TEST(KgeMatrixSetRotationByOrder, OrderZeroIsExactlyTheXYZRotation) {
    double byOrder[16], xyz[16];
    Identity(byOrder);
    Rotation(xyz, 12.5, -71, 143);
    KgeMatrixSetRotationByOrder(byOrder, 12.5, -71, 143, 0);
    EXPECT_EQ(std::memcmp(byOrder, xyz, sizeof xyz), 0);
}

TEST(KgeMatrixSetRotationByOrder, OutOfRangeOrderActsAsOrderZero) {
    double a[16], b[16];
    Identity(a);
    Identity(b);
    KgeMatrixSetRotationByOrder(a, 10, 20, 30, 0);
    KgeMatrixSetRotationByOrder(b, 10, 20, 30, 12);
    EXPECT_EQ(std::memcmp(a, b, sizeof a), 0);
    KgeMatrixSetRotationByOrder(b, 10, 20, 30, -1);
    EXPECT_EQ(std::memcmp(a, b, sizeof a), 0);
    const int* axes = KgeRotationOrderAxes(99);
    EXPECT_EQ(axes[0], 0);
    EXPECT_EQ(axes[1], 1);
    EXPECT_EQ(axes[2], 2);
}

TEST(KgeMatrixGetEulerByOrder, SingularMiddleAnglesStillRebuildTheMatrix) {
    // Middle angle +-90 without repetition, 0 or 180 with it.
    for (int order = 0; order < 12; ++order) {
        const double middles[2] = {(order & 1) ? 0.0 : 90.0, (order & 1) ? 180.0 : -90.0};
        for (double middle : middles) {
            double m[16], back[16], abc[3];
            Identity(m);
            Identity(back);
            KgeMatrixSetRotationByOrder(m, 35, middle, -50, order);
            KgeMatrixGetEulerByOrder(abc, m, order);
            EXPECT_EQ(abc[2], 0.0) << order;
            KgeMatrixSetRotationByOrder(back, abc[0], abc[1], abc[2], order);
            ExpectAffineNear(m, back, 1e-9);
        }
    }
}

TEST(KgeQuaternionNormalize, UnitLengthAndZeroStaysZero) {
    double q[4] = {1, 2, 2, 4};
    KgeQuaternionNormalize(q, q);
    EXPECT_DOUBLE_EQ(q[0], 0.2);
    EXPECT_DOUBLE_EQ(q[3], 0.8);
    double zero[4] = {0, 0, 0, 0};
    KgeQuaternionNormalize(zero, zero);
    for (double v : zero) EXPECT_EQ(v, 0.0);
}

TEST(KgeQuaternionMult, HamiltonProductWithAliasedOutput) {
    const double i[4] = {1, 0, 0, 0}, j[4] = {0, 1, 0, 0};
    double k[4];
    KgeQuaternionMult(k, i, j);
    EXPECT_EQ(k[2], 1.0);
    KgeQuaternionMult(k, j, i);
    EXPECT_EQ(k[2], -1.0);

    const double a[4] = {0.1, -0.7, 0.3, 0.6}, b[4] = {-0.4, 0.2, 0.9, -0.1};
    double separate[4], first[4], second[4];
    KgeQuaternionMult(separate, a, b);
    std::memcpy(first, a, sizeof first);
    KgeQuaternionMult(first, first, b);
    std::memcpy(second, b, sizeof second);
    KgeQuaternionMult(second, a, second);
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(first[n], separate[n]);
        EXPECT_EQ(second[n], separate[n]);
    }
}

TEST(KgeQuaternionFromMatrix, HalfTurnsTakeTheFallbackBranches) {
    double m[16], q[4];
    Rotation(m, 180, 0, 0);
    KgeQuaternionFromMatrix(q, m);
    EXPECT_EQ(q[0], 1.0);
    EXPECT_EQ(q[1], 0.0);
    EXPECT_EQ(q[2], 0.0);
    EXPECT_EQ(q[3], 0.0);

    Rotation(m, 0, 180, 0);
    KgeQuaternionFromMatrix(q, m);
    EXPECT_NEAR(q[0], 0, 1e-12);
    EXPECT_NEAR(q[1], 1, 1e-12);
    EXPECT_NEAR(q[2], 0, 1e-12);

    Rotation(m, 0, 0, 180);
    KgeQuaternionFromMatrix(q, m);
    EXPECT_EQ(q[0], 0.0);
    EXPECT_EQ(q[1], 0.0);
    EXPECT_EQ(q[2], 1.0);
    EXPECT_EQ(q[3], 0.0);

    // Half turn about the diagonal of X and Y.
    const double h = std::sqrt(0.5);
    Identity(m);
    KgeMatrixFromQuaternion(m, h, h, 0, 0);
    KgeQuaternionFromMatrix(q, m);
    EXPECT_NEAR(q[0], h, 1e-12);
    EXPECT_NEAR(q[1], h, 1e-12);
    EXPECT_NEAR(q[2], 0, 1e-12);
}

TEST(KgeQuaternionFromMatrix, RoundTripsThroughTheMatrix) {
    for (double x = -170; x <= 170; x += 34)
        for (double y = -85; y <= 85; y += 17)
            for (double z = -170; z <= 170; z += 34) {
                double m[16], back[16], q[4];
                Rotation(m, x, y, z);
                KgeQuaternionFromMatrix(q, m);
                Identity(back);
                KgeMatrixFromQuaternion(back, q[0], q[1], q[2], q[3]);
                // Near a half turn w is small and divides the rounding of the rest.
                ExpectAffineNear(m, back, 1e-9);
                double yAxis[3];
                KgeQuaternionGetYAxis(yAxis, q);
                ExpectPointNear(m[4], m[5], m[6], yAxis, 1e-9);
            }
}

TEST(KgeMatrixFromQuaternion, ScaleFreeAndWritesOnlyThe3x3Part) {
    double unit[16], scaled[16];
    for (double& v : unit) v = 5.0;
    Identity(scaled);
    const double h = std::sqrt(0.5);
    KgeMatrixFromQuaternion(unit, 0, 0, h, h);  // 90 about Z
    KgeMatrixFromQuaternion(scaled, 0, 0, 3 * h, 3 * h);
    EXPECT_NEAR(unit[1], 1.0, 1e-15);
    EXPECT_NEAR(unit[4], -1.0, 1e-15);
    for (int n : {3, 7, 11, 12, 13, 14, 15}) EXPECT_EQ(unit[n], 5.0) << n;
    for (int r = 0; r < 3; ++r) ExpectPointNear(scaled[r * 4], scaled[r * 4 + 1], scaled[r * 4 + 2], unit + r * 4, 1e-15);

    double zero[16];
    Identity(zero);
    zero[1] = 4.0;
    KgeMatrixFromQuaternion(zero, 0, 0, 0, 0);
    double identity[16];
    Identity(identity);
    ExpectAffineNear(identity, zero, 0.0);
}

TEST(KgeMatrixSetTQS, MatchesTheEulerBuildOfTheSameRotation) {
    const double t[3] = {4, 5, 6};
    const double r[3] = {0, 0, 90};
    const double s[3] = {1, 2, 3};
    const double h = std::sqrt(0.5);
    const double q[4] = {0, 0, h, h};
    double viaEuler[16], viaQuaternion[16];
    Identity(viaEuler);
    Identity(viaQuaternion);
    KgeMatrixSetTRS(viaEuler, t, r, s);
    KgeMatrixSetTQS(viaQuaternion, t, q, s);
    ExpectAffineNear(viaEuler, viaQuaternion, 1e-15);
    EXPECT_EQ(viaQuaternion[12], 4.0);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
