#include <fbxfilesdk/core/KFbxQuaternion.h>
#include <fbxfilesdk/core/KFbxRotationOrder.h>
#include <fbxfilesdk/core/KgeMath.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace fbxsdk_2006_11_1 {
namespace {

struct Matrix {
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

Matrix AxisRotation(int axis, double degrees) {
    double angles[3] = {0, 0, 0};
    angles[axis] = degrees;
    Matrix r;
    KgeMatrixSetRotationXYZ(r.m, angles[0], angles[1], angles[2]);
    return r;
}

Matrix Then(const Matrix& first, const Matrix& second) {
    Matrix r;
    KgeMatrixMultAffine(r.m, second.m, first.m);
    return r;
}

void Expect3x3Near(const Matrix& expected, const Matrix& actual, double tolerance) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(expected.m[r * 4 + c], actual.m[r * 4 + c], tolerance) << r << "," << c;
}

Matrix ToMatrix(int order, const double* angles) {
    Matrix r;
    KFbxRotationOrder(order).EulerToMatrix(r.m, angles);
    return r;
}

// Angles in the range each order gives back: the middle rotation in (-90, 90)
// without repetition, in (0, 180) with it; odd orders negate all three.
bool InPrincipalRange(int order, const double* angles) {
    if (order == KFbxRotationOrder::kSpheric) return true;
    const double middle = angles[KgeRotationOrderAxes(order)[1]] * ((order & 2) ? -1.0 : 1.0);
    return (order & 1) ? middle > 0.0 : std::fabs(middle) < 90.0;
}

TEST(KFbxRotationOrder, EachOrderAppliesItsAxesInTableOrder) {
    const double angles[3] = {23, -41, 67};
    for (int order = 0; order < 12; ++order) {
        const int* axes = KgeRotationOrderAxes(order);
        const int third = (order & 1) ? axes[0] : axes[2];
        const Matrix expected = Then(Then(AxisRotation(axes[0], angles[axes[0]]), AxisRotation(axes[1], angles[axes[1]])),
                                     AxisRotation(third, angles[axes[2]]));
        SCOPED_TRACE(order);
        Expect3x3Near(expected, ToMatrix(order, angles), 1e-15);
    }
}

TEST(KFbxRotationOrder, RepeatedAxisOrdersTurnTwiceAboutTheFirstAxis) {
    // X, Y, X with no middle turn is one turn about X by the sum.
    const double angles[3] = {25, 0, 40};
    Expect3x3Near(AxisRotation(0, 65), ToMatrix(1, angles), 1e-15);
    // Z, Y, Z (odd, index 11) with no middle turn: angles from Z and X.
    const double zyz[3] = {40, 0, 25};
    Expect3x3Near(AxisRotation(2, 65), ToMatrix(11, zyz), 1e-15);
}

TEST(KFbxRotationOrder, OrderZeroIsExactlyTheXYZRotation) {
    const double angles[3] = {-12.25, 77.5, 190};
    Matrix xyz;
    KgeMatrixSetRotationXYZ(xyz.m, angles[0], angles[1], angles[2]);
    EXPECT_EQ(std::memcmp(xyz.m, ToMatrix(0, angles).m, sizeof xyz.m), 0);
}

TEST(KFbxRotationOrder, EulerRoundTripsInEveryOrderAtManyAngles) {
    for (int order = 0; order <= KFbxRotationOrder::kSpheric; ++order) {
        const KFbxRotationOrder rotationOrder(order);
        int checked = 0;
        for (double a = -170; a <= 170; a += 17)
            for (double b = -170; b <= 170; b += 17)
                for (double c = -170; c <= 170; c += 17) {
                    const double angles[3] = {a, b, c};
                    if (!InPrincipalRange(order, angles)) continue;
                    Matrix m;
                    rotationOrder.EulerToMatrix(m.m, angles);
                    double back[3];
                    rotationOrder.MatrixToEuler(back, m.m);
                    for (int n = 0; n < 3; ++n)
                        ASSERT_NEAR(angles[n], back[n], 1e-9) << "order " << order << " at " << a << " " << b << " " << c;
                    ++checked;
                }
        EXPECT_GT(checked, 1000) << order;
    }
}

TEST(KFbxRotationOrder, AnyRotationRebuildsFromItsAnglesInEveryOrder) {
    // Rotations from quaternions spread over the sphere, singular ones included.
    const double quaternions[][4] = {
        {0.3, -0.5, 0.1, 0.8}, {0.9, 0.1, -0.2, 0.3}, {-0.2, 0.2, 0.9, -0.1}, {0.5, 0.5, 0.5, 0.5},
        {0, 0.7071067811865476, 0, 0.7071067811865476}, {0, 0, 0.7071067811865476, 0.7071067811865476},
        {0.7071067811865476, 0, 0, 0.7071067811865476}, {0, 0, 0, 1}, {1, 0, 0, 0}, {0.1, 0.2, 0.3, 0.0},
    };
    for (int order = 0; order <= KFbxRotationOrder::kSpheric; ++order) {
        const KFbxRotationOrder rotationOrder(order);
        for (const double* q : quaternions) {
            Matrix m;
            KgeMatrixFromQuaternion(m.m, q[0], q[1], q[2], q[3]);
            if (order == KFbxRotationOrder::kSpheric && m.m[0] <= -0.9999999999) continue;
            double angles[3];
            rotationOrder.MatrixToEuler(angles, m.m);
            SCOPED_TRACE(order);
            Expect3x3Near(m, ToMatrix(order, angles), 1e-9);
        }
    }
}

TEST(KFbxRotationOrder, SphericIsTheRotationOfTheSphericQuaternion) {
    const double angles[3] = {30, -50, 70};
    KFbxQuaternion q;
    q.SetFromEulerDegrees(angles[0], angles[1], angles[2]);
    Matrix expected;
    KgeMatrixFromQuaternion(expected.m, q[0], q[1], q[2], q[3]);
    Expect3x3Near(expected, ToMatrix(KFbxRotationOrder::kSpheric, angles), 1e-15);

    // One angle alone is a plain turn about its axis.
    for (int axis = 0; axis < 3; ++axis) {
        double single[3] = {0, 0, 0};
        single[axis] = 75;
        Expect3x3Near(AxisRotation(axis, 75), ToMatrix(KFbxRotationOrder::kSpheric, single), 1e-15);
    }
}

TEST(KFbxRotationOrder, SphericHalfTurnOfTheXAxisGivesOneEighty) {
    Matrix m = AxisRotation(1, 180);
    double angles[3];
    KFbxRotationOrder(KFbxRotationOrder::kSpheric).MatrixToEuler(angles, m.m);
    for (double a : angles) EXPECT_EQ(a, 180.0);
}

TEST(KFbxRotationOrder, SphericNearTheSingularityStaysFinite) {
    // X turned almost onto -X: the swing's sines sit at the edge of their domain.
    const double angles[3] = {10, 179.999, 0.001};
    const Matrix m = ToMatrix(KFbxRotationOrder::kSpheric, angles);
    double back[3];
    KFbxRotationOrder(KFbxRotationOrder::kSpheric).MatrixToEuler(back, m.m);
    for (double a : back) EXPECT_TRUE(std::isfinite(a));
}

TEST(KFbxRotationOrder, WritesOnlyThe3x3PartAndThreeAngles) {
    Matrix m;
    for (double& v : m.m) v = 3.0;
    const double angles[3] = {10, 20, 30};
    for (int order : {0, 5, 12}) {
        KFbxRotationOrder(order).EulerToMatrix(m.m, angles);
        for (int n : {3, 7, 11, 12, 13, 14, 15}) EXPECT_EQ(m.m[n], 3.0) << order;
        double back[4] = {0, 0, 0, 9};
        KFbxRotationOrder(order).MatrixToEuler(back, m.m);
        EXPECT_EQ(back[3], 9.0);
    }
}

TEST(KFbxRotationOrder, WordOutsideTheTableConvertsAsXYZ) {
    const double angles[3] = {10, 20, 30};
    for (int order : {-3, 13, 1000}) {
        const KFbxRotationOrder rotationOrder(order);
        EXPECT_EQ(rotationOrder.GetOrder(), order);
        Expect3x3Near(ToMatrix(0, angles), ToMatrix(order, angles), 0.0);
        double back[3];
        rotationOrder.MatrixToEuler(back, ToMatrix(0, angles).m);
        for (int n = 0; n < 3; ++n) EXPECT_NEAR(back[n], angles[n], 1e-9);
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
