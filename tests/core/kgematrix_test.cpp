#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include <gtest/gtest.h>

#include <cmath>

namespace fbxsdk_2006_11_1 {
namespace {

void ExpectVectorNear(const KFbxVector4& expected, const KFbxVector4& actual, double tolerance) {
    for (int n = 0; n < 4; ++n) EXPECT_NEAR(expected[n], actual[n], tolerance) << n;
}

KgeMatrix Sequence() {
    double values[16];
    for (int n = 0; n < 16; ++n) values[n] = n + 1;
    return KgeMatrix(values);
}

KgeMatrix Trs(const KFbxVector4& t, const KFbxVector4& r, const KFbxVector4& s) {
    KgeMatrix m;
    m.SetTRS(t, r, s);
    return m;
}

TEST(KgeMatrixCopies, CopyConstructorTakesOnlyTheAffineElements) {
    const KgeMatrix source = Sequence();
    EXPECT_EQ(source[0][3], 4.0);
    const KgeMatrix copy(source);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(copy[r][c], source[r][c]);
        EXPECT_EQ(copy[r][3], r == 3 ? 1.0 : 0.0);
    }
}

TEST(KgeMatrixCopies, AssignmentKeepsTheTargetsColumn3) {
    KgeMatrix target;
    target[1][3] = -5.0;
    target = Sequence();
    EXPECT_EQ(target[0][0], 1.0);
    EXPECT_EQ(target[3][2], 15.0);
    EXPECT_EQ(target[0][3], 0.0);
    EXPECT_EQ(target[1][3], -5.0);
    EXPECT_EQ(target[3][3], 1.0);

    target.CopyFrom16(Sequence());
    for (int n = 0; n < 16; ++n) EXPECT_EQ(static_cast<const double*>(target)[n], n + 1.0);
}

TEST(KgeMatrixCopies, NullArrayKeepsTheIdentity) {
    const KgeMatrix m(static_cast<const double*>(nullptr));
    EXPECT_TRUE(m.IsEqual(KgeMatrix()));
}

TEST(KgeMatrixCopies, SetIdentityKeepsColumn3AndSetIdentity4DoesNot) {
    KgeMatrix m = Sequence();
    m.SetIdentity();
    EXPECT_EQ(m[0][0], 1.0);
    EXPECT_EQ(m[3][0], 0.0);
    EXPECT_EQ(m[2][3], 12.0);
    m.SetIdentity4();
    EXPECT_EQ(m[2][3], 0.0);
    EXPECT_EQ(m[3][3], 1.0);
}

TEST(KgeMatrixComparisons, NotEqualIgnoresColumn3ButIsEqualDoesNot) {
    const KgeMatrix a;
    KgeMatrix b;
    b[0][3] = 0.5;
    b[3][3] = 2.0;
    EXPECT_FALSE(a != b);
    EXPECT_FALSE(a.IsEqual(b));
    EXPECT_EQ(KgeMatrix::CompareWithTolerance(a, b, 1e-6), 1);
    EXPECT_EQ(KgeMatrix::CompareWithTolerance(a, b, 1.5), 0);

    KgeMatrix c;
    c[3][1] = 1e-6;
    EXPECT_FALSE(a != c);
    EXPECT_TRUE(a.IsEqual(c));
    c[3][1] = 1.1e-6;
    EXPECT_TRUE(a != c);
    EXPECT_FALSE(a.IsEqual(c));
}

TEST(KgeMatrixProducts, OtherTransformAppliesFirst) {
    KgeMatrix move, turn;
    move.SetT(KFbxVector4(1, 0, 0, 0));
    turn.SetROnly(KFbxVector4(0, 0, 90, 0));
    const KFbxVector4 p(1, 0, 0, 1);

    KgeMatrix moveAfterTurn = move;
    moveAfterTurn *= turn;
    ExpectVectorNear(KFbxVector4(1, 1, 0, 0), moveAfterTurn.MultT(p), 1e-12);
    ExpectVectorNear(KFbxVector4(1, 1, 0, 0), move.GetProduct(turn).MultT(p), 1e-12);

    KgeMatrix turnAfterMove = turn;
    turnAfterMove *= move;
    ExpectVectorNear(KFbxVector4(0, 2, 0, 0), turnAfterMove.MultT(p), 1e-12);

    // The two-step application agrees with the product.
    ExpectVectorNear(move.MultT(turn.MultT(p)), moveAfterTurn.MultT(p), 1e-12);
}

TEST(KgeMatrixProducts, ProductIsAffineWithIdentityColumn3) {
    KgeMatrix a = Sequence();
    a.CopyFrom16(Sequence());
    const KgeMatrix product = a.GetProduct(KgeMatrix());
    EXPECT_EQ(product[0][3], 0.0);
    EXPECT_EQ(product[3][3], 1.0);
    EXPECT_EQ(product[2][1], 10.0);
    // operator*= writes the affine elements only.
    a *= KgeMatrix();
    EXPECT_EQ(a[0][3], 4.0);
    EXPECT_EQ(a[3][3], 16.0);
}

TEST(KgeMatrixProducts, MultTIgnoresTheInputW) {
    const KgeMatrix m = Trs(KFbxVector4(1, 2, 3, 0), KFbxVector4(0, 0, 0, 0), KFbxVector4(2, 2, 2, 0));
    const KFbxVector4 moved = m.MultT(KFbxVector4(1, 1, 1, 7));
    ExpectVectorNear(KFbxVector4(3, 4, 5, 0), moved, 0.0);
}

TEST(KgeMatrixInverse, InverseOrthogonalUndoesTheTransform) {
    const KgeMatrix m = Trs(KFbxVector4(5, -6, 7, 0), KFbxVector4(15, 160, -70, 0), KFbxVector4(1.5, -2, 0.25, 0));
    const KgeMatrix inverse = m.GetInverseOrthogonal();
    EXPECT_TRUE(m.GetProduct(inverse).IsEqual(KgeMatrix()));
    EXPECT_TRUE(inverse.GetProduct(m).IsEqual(KgeMatrix()));
    const KFbxVector4 p(0.5, 8, -3, 0);
    ExpectVectorNear(p, inverse.MultT(m.MultT(p)), 1e-12);
}

TEST(KgeMatrixInverse, TransposeIsReturnedWhole) {
    const KgeMatrix t = Sequence().GetTranspose();
    EXPECT_EQ(t[0][1], 5.0);
    EXPECT_EQ(t[0][3], 13.0);  // the translation lands in column 3
    EXPECT_EQ(t[3][3], 16.0);
}

TEST(KgeMatrixTrs, BuildAndDecomposeRoundTrip) {
    for (double x = -170; x <= 170; x += 68)
        for (double y = -80; y <= 80; y += 32)
            for (double z = -170; z <= 170; z += 68) {
                const KFbxVector4 t(x * 3, -y, z + 1, 0), r(x, y, z, 0), s(0.5, 2, 3.5, 0);
                const KgeMatrix m = Trs(t, r, s);
                ExpectVectorNear(t, m.GetT(), 0.0);
                ExpectVectorNear(r, m.GetR(), 1e-9);
                ExpectVectorNear(s, m.GetS(), 1e-12);
                EXPECT_EQ(m[3][3], 1.0);
            }
}

TEST(KgeMatrixTrs, SettersReplaceOnePartAndKeepTheOthers) {
    KgeMatrix m = Trs(KFbxVector4(1, 2, 3, 0), KFbxVector4(10, 20, 30, 0), KFbxVector4(2, 3, 4, 0));
    m.SetR(KFbxVector4(-5, 45, 0, 0));
    ExpectVectorNear(KFbxVector4(1, 2, 3, 0), m.GetT(), 0.0);
    ExpectVectorNear(KFbxVector4(-5, 45, 0, 0), m.GetR(), 1e-9);
    ExpectVectorNear(KFbxVector4(2, 3, 4, 0), m.GetS(), 1e-12);

    m.SetS(KFbxVector4(1, 1, 7, 0));
    ExpectVectorNear(KFbxVector4(-5, 45, 0, 0), m.GetR(), 1e-9);
    ExpectVectorNear(KFbxVector4(1, 1, 7, 0), m.GetS(), 1e-12);

    const double h = std::sqrt(0.5);
    m.SetQ(KFbxQuaternion(h, 0, 0, h));  // 90 about X
    ExpectVectorNear(KFbxVector4(90, 0, 0, 0), m.GetR(), 1e-9);
    ExpectVectorNear(KFbxVector4(1, 1, 7, 0), m.GetS(), 1e-12);
    ExpectVectorNear(KFbxVector4(1, 2, 3, 0), m.GetT(), 0.0);
}

TEST(KgeMatrixTrs, MirroredTransformStaysMirroredThroughSetT) {
    const KgeMatrix mirrored = Trs(KFbxVector4(0, 0, 0, 0), KFbxVector4(20, -30, 40, 0), KFbxVector4(2, 3, -4, 0));
    const KFbxVector4 scaling = mirrored.GetS();
    ExpectVectorNear(KFbxVector4(-2, -3, -4, 0), scaling, 1e-12);

    // The rotation is that of the axes divided by the signed scales.
    KgeMatrix axes = mirrored;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) axes[r][c] /= scaling[r];
    double expected[3];
    KgeMatrixRotationToEulerXYZ(expected, axes);
    ExpectVectorNear(KFbxVector4(expected[0], expected[1], expected[2], 0), mirrored.GetR(), 1e-12);

    KgeMatrix moved = mirrored;
    moved.SetT(KFbxVector4(7, 8, 9, 0));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(moved[r][c], mirrored[r][c], 1e-12) << r << "," << c;
    ExpectVectorNear(KFbxVector4(7, 8, 9, 0), moved.GetT(), 0.0);
    EXPECT_FALSE(KgeMatrixIsRightHanded(moved));
}

TEST(KgeMatrixTrs, SetROnlyStartsFromTheFullIdentity) {
    KgeMatrix m = Sequence();
    m.CopyFrom16(Sequence());
    m.SetROnly(KFbxVector4(0, 90, 0, 0));
    EXPECT_EQ(m[3][0], 0.0);
    EXPECT_EQ(m[1][3], 0.0);
    EXPECT_EQ(m[3][3], 1.0);
    EXPECT_NEAR(m[0][2], -1.0, 1e-15);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
