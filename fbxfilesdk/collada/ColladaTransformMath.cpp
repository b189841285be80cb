#include <fbxfilesdk/collada/ColladaTransformMath.h>

#include <fbxfilesdk/core/KgeMath.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace fbxsdk_2006_11_1 {

namespace {

// Determinants this small leave the axes too close to a plane to invert.
constexpr double kSingularDeterminant = 1e-12;
constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kRadiansToDegrees = 57.29577951308232;
// Vectors this short give no direction.
constexpr double kNoLength = 1e-12;

// The document order of the axis rotations (first written first) of each
// SDK rotation order: the order's letters read backwards.
constexpr int kAxesOfOrder[6][3] = {{2, 1, 0}, {1, 2, 0}, {0, 2, 1}, {2, 0, 1}, {1, 0, 2}, {0, 1, 2}};

// The unit vector along v, or false when v has no direction.
bool Direction(const KFbxVector4& v, double out[3]) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!std::isfinite(length) || length < kNoLength) {
        return false;
    }
    for (int axis = 0; axis < 3; ++axis) {
        out[axis] = v[axis] / length;
    }
    return true;
}

void Cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

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

KgeMatrix ColladaAxisAngleMatrix(const KFbxVector4& axis, double degrees) {
    KgeMatrix rotation;
    double k[3];
    if (!Direction(axis, k) || !std::isfinite(degrees)) {
        return rotation;
    }
    const double angle = degrees * kDegreesToRadians;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double t = 1.0 - c;
    // Rodrigues' rotation for column vectors, stored transposed for row vectors.
    const double columnMatrix[3][3] = {{c + k[0] * k[0] * t, k[0] * k[1] * t - k[2] * s, k[0] * k[2] * t + k[1] * s},
                                       {k[1] * k[0] * t + k[2] * s, c + k[1] * k[1] * t, k[1] * k[2] * t - k[0] * s},
                                       {k[2] * k[0] * t - k[1] * s, k[2] * k[1] * t + k[0] * s, c + k[2] * k[2] * t}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            rotation[row][column] = columnMatrix[column][row];
        }
    }
    return rotation;
}

KFbxVector4 ColladaAxisAngleToEuler(const KFbxVector4& axis, double degrees) {
    return ColladaAxisAngleMatrix(axis, degrees).GetR();
}

KFbxQuaternion ColladaEulerToQuaternion(const KFbxVector4& degrees) {
    std::array<KFbxQuaternion, 3> about;
    for (int axis = 0; axis < 3; ++axis) {
        const double half = 0.5 * degrees[axis] * kDegreesToRadians;
        about[static_cast<std::size_t>(axis)][axis] = std::sin(half);
        about[static_cast<std::size_t>(axis)][3] = std::cos(half);
    }
    KFbxQuaternion rotation;
    KgeQuaternionMult(rotation, about[1], about[0]);
    KgeQuaternionMult(rotation, about[2], rotation);
    return rotation;
}

void ColladaQuaternionToAxisAngle(const KFbxQuaternion& rotation, KFbxVector4& axis, double& degrees) {
    KFbxQuaternion unit;
    KgeQuaternionNormalize(unit, rotation);
    const double w = std::clamp(unit[3], -1.0, 1.0);
    const double sine = std::sqrt(1.0 - w * w);
    if (!(sine >= kNoLength)) {
        axis = KFbxVector4(1.0, 0.0, 0.0, 0.0);
        degrees = 0.0;
        return;
    }
    axis = KFbxVector4(unit[0] / sine, unit[1] / sine, unit[2] / sine, 0.0);
    degrees = 2.0 * std::acos(w) * kRadiansToDegrees;
}

void ColladaRotationToAxisAngle(const KgeMatrix& rotation, KFbxVector4& axis, double& degrees) {
    KgeMatrix unit = ColladaRotationPart(rotation);
    KFbxQuaternion quaternion;
    KgeQuaternionFromMatrix(quaternion, unit);
    ColladaQuaternionToAxisAngle(quaternion, axis, degrees);
}

KgeMatrix ColladaRotationPart(const KgeMatrix& matrix) {
    KgeMatrix rotation;
    for (int row = 0; row < 3; ++row) {
        double unit[3];
        if (Direction(KFbxVector4(matrix[row][0], matrix[row][1], matrix[row][2], 0.0), unit)) {
            for (int column = 0; column < 3; ++column) {
                rotation[row][column] = unit[column];
            }
        }
    }
    return rotation;
}

int ColladaTurnedAxis(const KgeMatrix& turn, int axis, double& sign) {
    constexpr double kOff = 1e-5;
    int onto = -1;
    for (int column = 0; column < 3; ++column) {
        const double value = turn[axis][column];
        if (std::fabs(std::fabs(value) - 1.0) < kOff && onto < 0) {
            onto = column;
            sign = value > 0.0 ? 1.0 : -1.0;
        } else if (!(std::fabs(value) < kOff)) {
            return -1;
        }
    }
    return onto;
}

KgeMatrix ColladaLookAtMatrix(const KFbxVector4& eye, const KFbxVector4& interest, const KFbxVector4& up) {
    KgeMatrix frame;
    for (int axis = 0; axis < 3; ++axis) {
        frame[3][axis] = interest[axis];
    }
    double back[3];
    double upward[3];
    double side[3];
    if (!Direction(eye - interest, back) || !Direction(up, upward)) {
        return frame;
    }
    Cross(upward, back, side);
    const double sideLength = std::sqrt(side[0] * side[0] + side[1] * side[1] + side[2] * side[2]);
    if (sideLength < kNoLength) {
        return frame;
    }
    for (double& value : side) {
        value /= sideLength;
    }
    // The up axis made perpendicular to the view, so that the frame is a rotation.
    Cross(back, side, upward);
    for (int axis = 0; axis < 3; ++axis) {
        frame[0][axis] = side[axis];
        frame[1][axis] = upward[axis];
        frame[2][axis] = back[axis];
    }
    return frame;
}

int ColladaRotationOrderFromAxes(const int positions[3], int count) {
    if (count < 2) {
        return 0;
    }
    if (count == 2 && (positions[0] == 1 || (positions[0] == -1 && positions[1] == 1))) {
        return 0;
    }
    std::array<int, 3> position{positions[0], positions[1], positions[2]};
    int next = count;
    for (int& axisPosition : position) {
        if (axisPosition < 0) {
            axisPosition = next++;
        }
    }
    std::array<int, 3> axes{0, 1, 2};
    std::sort(axes.begin(), axes.end(), [&position](int a, int b) { return position[a] < position[b]; });
    for (int order = 0; order < 6; ++order) {
        if (std::equal(axes.begin(), axes.end(), kAxesOfOrder[order])) {
            return order;
        }
    }
    return 0;
}

void ColladaAxesOfRotationOrder(int order, int axes[3]) {
    const int* written = kAxesOfOrder[order >= 0 && order < 6 ? order : 0];
    std::copy(written, written + 3, axes);
}

bool ColladaNearlySameTransform(const KgeMatrix& a, const KgeMatrix& b, double precision) {
    double axes = 0.0;
    double translation = 0.0;
    for (int row = 0; row < 4; ++row) {
        double& size = row < 3 ? axes : translation;
        for (int column = 0; column < 3; ++column) {
            size = std::max(size, std::fabs(b[row][column]));
        }
    }
    for (int row = 0; row < 4; ++row) {
        const double tolerance = precision * (1.0 + axes + (row < 3 ? 0.0 : translation));
        for (int column = 0; column < 3; ++column) {
            if (!(std::fabs(a[row][column] - b[row][column]) <= tolerance)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
