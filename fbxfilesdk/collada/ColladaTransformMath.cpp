#include <fbxfilesdk/collada/ColladaTransformMath.h>

#include <cmath>

namespace fbxsdk_2006_11_1 {

namespace {

// Determinants this small leave the axes too close to a plane to invert.
constexpr double kSingularDeterminant = 1e-12;

}  // namespace

KgeMatrix ColladaAffineInverse(const KgeMatrix& matrix) {
    const KgeMatrix& m = matrix;
    // Cofactors of the 3x3 part, laid out as the adjugate.
    const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    const double c01 = m[0][2] * m[2][1] - m[0][1] * m[2][2];
    const double c02 = m[0][1] * m[1][2] - m[0][2] * m[1][1];
    const double c10 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    const double c11 = m[0][0] * m[2][2] - m[0][2] * m[2][0];
    const double c12 = m[0][2] * m[1][0] - m[0][0] * m[1][2];
    const double c20 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    const double c21 = m[0][1] * m[2][0] - m[0][0] * m[2][1];
    const double c22 = m[0][0] * m[1][1] - m[0][1] * m[1][0];
    const double determinant = m[0][0] * c00 + m[0][1] * c10 + m[0][2] * c20;
    if (!std::isfinite(determinant) || std::fabs(determinant) < kSingularDeterminant) {
        return matrix.GetInverseOrthogonal();
    }
    const double scale = 1.0 / determinant;
    KgeMatrix inverse;
    const double rows[3][3] = {{c00, c01, c02}, {c10, c11, c12}, {c20, c21, c22}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            inverse[row][column] = rows[row][column] * scale;
        }
    }
    // A point p maps to p A + t, so back again through (p - t) A^-1.
    for (int column = 0; column < 3; ++column) {
        inverse[3][column] = -(m[3][0] * inverse[0][column] + m[3][1] * inverse[1][column] + m[3][2] * inverse[2][column]);
    }
    return inverse;
}

}  // namespace fbxsdk_2006_11_1
