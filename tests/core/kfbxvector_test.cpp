#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxDouble3.h>
#include <fbxfilesdk/core/KFbxQuaternion.h>
#include <fbxfilesdk/core/KFbxVector2.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KgeTVector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <type_traits>

namespace fbxsdk_2006_11_1 {
namespace {

void ExpectVector(const KFbxVector4& v, double x, double y, double z, double w) {
    EXPECT_EQ(v[0], x);
    EXPECT_EQ(v[1], y);
    EXPECT_EQ(v[2], z);
    EXPECT_EQ(v[3], w);
}

TEST(KFbxVector4, ArithmeticActsOnAllFourComponents) {
    const KFbxVector4 a(1, 2, 3, 4), b(10, 20, 30, 40);
    ExpectVector(KFbxVector4(), 0, 0, 0, 0);
    ExpectVector(a + b, 11, 22, 33, 44);
    ExpectVector(b - a, 9, 18, 27, 36);
    ExpectVector(-a, -1, -2, -3, -4);
    ExpectVector(a * 2.0, 2, 4, 6, 8);
    ExpectVector(b / 10.0, 1, 2, 3, 4);
    KFbxVector4 c = a;
    c += b;
    c *= 0.5;
    c /= 0.5;
    ExpectVector(c, 11, 22, 33, 44);
}

TEST(KFbxVector4, ProductsAndLengthUseXYZOnly) {
    const KFbxVector4 x(1, 0, 0, 9), y(0, 1, 0, 9);
    EXPECT_EQ(KFbxVector4(1, 2, 3, 100).DotProduct(KFbxVector4(4, 5, 6, 100)), 32.0);
    ExpectVector(x.CrossProduct(y), 0, 0, 1, 1);
    ExpectVector(y.CrossProduct(x), 0, 0, -1, 1);
    EXPECT_EQ(KFbxVector4(3, 4, 12, 50).Length(), 13.0);

    KFbxVector4 v(3, 4, 0, 7);
    v.Normalize();
    ExpectVector(v, 0.6, 0.8, 0, 7);
    KFbxVector4 zero(0, 0, 0, 5);
    zero.Normalize();
    ExpectVector(zero, 0, 0, 0, 5);
}

TEST(KFbxVector4, EqualityIsWithinOneMillionthOnXYZ) {
    const KFbxVector4 a(1, 2, 3, 0);
    EXPECT_TRUE(a == KFbxVector4(1 + 1e-7, 2, 3, 12345));
    EXPECT_TRUE(a == KFbxVector4(1, 2 - 1e-6, 3, 0));
    EXPECT_FALSE(a == KFbxVector4(1, 2, 3 + 2e-6, 0));
    EXPECT_TRUE(a != KFbxVector4(1, 2, 3 + 2e-6, 0));
}

TEST(KFbxVector4, ComponentAccessAndRawDoubles) {
    KFbxVector4 v;
    v.Set(1, 2, 3, 4);
    v.SetAt(2, 7);
    *v.ComponentAt(0) = 5;
    v[3] = 8;
    const double* raw = v;
    EXPECT_EQ(raw, v.ComponentAt(0));
    EXPECT_EQ(raw[0], 5.0);
    EXPECT_EQ(raw[1], 2.0);
    EXPECT_EQ(raw[2], 7.0);
    EXPECT_EQ(raw[3], 8.0);
    EXPECT_EQ(sizeof(KFbxVector4), 32u);
}

TEST(KFbxVector2, NotEqualIsExact) {
    const KFbxVector2 a(0.25, 0.5);
    KFbxVector2 b;
    EXPECT_EQ(b[0], 0.0);
    EXPECT_EQ(b[1], 0.0);
    b.Set(0.25, 0.5);
    EXPECT_FALSE(a != b);
    b[1] = 0.5 + 1e-12;
    EXPECT_TRUE(a != b);
    EXPECT_EQ(sizeof(KFbxVector2), 16u);
}

TEST(KFbxDouble3, ToleranceZeroIsAMemoryComparisonOfTwentyFourBytes) {
    const double a[3] = {1, 2, 3};
    double b[3] = {1, 2, 3};
    EXPECT_EQ(KFbxCompareDouble3(a, b, 0.0), 0);
    b[2] = -0.0;
    const double zero[3] = {1, 2, 0.0};
    EXPECT_NE(KFbxCompareDouble3(zero, b, 0.0), 0);
    EXPECT_EQ(KFbxCompareDouble3(zero, b, 1e-9), 0);
    // 2.0 orders below 1.0 byte by byte (00 .. 00 40 against 00 .. F0 3F).
    const double one[3] = {1, 0, 0}, two[3] = {2, 0, 0};
    EXPECT_EQ(KFbxCompareDouble3(two, one, 0.0), -1);
    EXPECT_EQ(KFbxCompareDouble3(one, two, 0.0), 1);
    // With a tolerance the answer is only 0 or 1.
    EXPECT_EQ(KFbxCompareDouble3(two, one, 0.5), 1);
    EXPECT_EQ(KFbxCompareDouble3(two, one, 1.0), 0);
}

TEST(KFbxDouble3, NormalizeAndCopy) {
    double v[3] = {0, 0, -2};
    KFbxNormalizeDouble3(v, v);
    EXPECT_EQ(v[2], -1.0);
    const double zero[3] = {0, 0, 0};
    double out[3] = {5, 5, 5};
    KFbxNormalizeDouble3(out, zero);
    for (double c : out) EXPECT_EQ(c, 0.0);
    EXPECT_TRUE(CopyDouble3(out, v));
    EXPECT_EQ(out[2], -1.0);
}

TEST(KFbxColor, ComponentsAreClampedToTheUnitRange) {
    const KFbxColor c(-1, 0.5, 2, 0.5);
    EXPECT_EQ(c.mRed, 0.0);
    EXPECT_EQ(c.mGreen, 0.5);
    EXPECT_EQ(c.mBlue, 1.0);
    EXPECT_EQ(c.mAlpha, 0.5);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double values[4] = {nan, 0.25, -0.0, 7};
    const KFbxColor fromArray = KFbxColor::ConstructFromArray(values);
    EXPECT_EQ(fromArray.mRed, 0.0);
    EXPECT_EQ(fromArray.mGreen, 0.25);
    EXPECT_EQ(fromArray.mAlpha, 1.0);

    KFbxColor set;
    EXPECT_EQ(set.mAlpha, 1.0);
    set.Set(0.1, 1.5, -3, nan);
    EXPECT_EQ(set.mGreen, 1.0);
    EXPECT_EQ(set.mBlue, 0.0);
    EXPECT_EQ(set.mAlpha, 0.0);
}

TEST(KgeTVector, ReadsAsFourDoublesWithWOne) {
    const KgeTVector zero;
    ExpectVector(zero.ToVector4(), 0, 0, 0, 1);
    const KgeRGBVector colour(0.1, 0.2, 0.3);
    ExpectVector(colour.ToVector4(), 0.1, 0.2, 0.3, 1);
    const KgeTVector fromVector(KFbxVector4(4, 5, 6, 0));
    EXPECT_EQ(fromVector[2], 6.0);
    ExpectVector(fromVector.ToVector4(), 4, 5, 6, 1);
    static_assert(!std::is_same_v<KgeTVector, KgeRGBVector>);
    static_assert(!std::is_convertible_v<KgeTVector, KgeRGBVector>);
}

TEST(KFbxQuaternion, SphericQuaternionOfOneAngleIsTheHalfAngleOnThatAxis) {
    KFbxQuaternion q;
    EXPECT_EQ(q[3], 1.0);
    for (int axis = 0; axis < 3; ++axis) {
        double angles[3] = {0, 0, 0};
        angles[axis] = 60;
        q.SetFromEulerDegrees(angles[0], angles[1], angles[2]);
        for (int n = 0; n < 3; ++n) EXPECT_NEAR(q[n], n == axis ? 0.5 : 0.0, 1e-15);
        EXPECT_NEAR(q[3], std::sqrt(0.75), 1e-15);
    }
    // Several angles give a normalised result.
    q.SetFromEulerDegrees(100, -70, 130);
    EXPECT_NEAR(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3], 1.0, 1e-15);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
