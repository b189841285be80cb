#include <fbxfilesdk/animation/KFCurveNodeMath.h>

#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include <cmath>
#include <cstring>

namespace fbxsdk_2006_11_1 {

double Double4Length(const double* a) { return std::sqrt(Double4Dot(a, a)); }

double Double4Dot(const double* a, const double* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
}

void Double4Scale(double* out, const double* a, double factor) { DoubleArrayScale(out, a, factor, 4); }

void Double4Add(double* out, const double* a, const double* b) { DoubleArrayAdd(out, a, b, 4); }

void DoubleArrayAdd(double* out, const double* a, const double* b, int n) {
    for (int i = 0; i < n; ++i) out[i] = a[i] + b[i];
}

void DoubleArrayScale(double* out, const double* a, double factor, int n) {
    for (int i = 0; i < n; ++i) out[i] = a[i] * factor;
}

void DoubleArrayLerp(double* out, const double* a, const double* b, double t, int n) {
    for (int i = 0; i < n; ++i) out[i] = a[i] * (1.0 - t) + b[i] * t;
}

void DoubleArrayBezier(double* out, const double* p0, const double* p1, const double* p2, const double* p3,
                       double t, int n) {
    // De Casteljau, one component at a time so that out may alias a point.
    for (int i = 0; i < n; ++i) {
        const double a = p0[i] * (1.0 - t) + p1[i] * t;
        const double b = p1[i] * (1.0 - t) + p2[i] * t;
        const double c = p2[i] * (1.0 - t) + p3[i] * t;
        const double d = a * (1.0 - t) + b * t;
        const double e = b * (1.0 - t) + c * t;
        out[i] = d * (1.0 - t) + e * t;
    }
}

void RotationMatrixFromQuaternion(KgeMatrix& out, const double* q) {
    out.SetIdentity4();
    KgeMatrixFromQuaternion(out, q[0], q[1], q[2], q[3]);
}

void RotationMatrixFromEuler(KgeMatrix& out, const double* angles) {
    out.SetIdentity4();
    KgeMatrixSetRotationXYZ(out, angles[0], angles[1], angles[2]);
}

double ClosestEquivalentAngle(double a, double b) {
    const double turns = (b - a) / 360.0;
    double whole = std::trunc(turns);
    const double fraction = turns - whole;
    if (fraction > 0.5) {
        whole += 1.0;
    } else if (fraction < -0.5) {
        whole -= 1.0;
    }
    // No turn to add: the angle as given, its sign of zero included.
    return whole == 0.0 ? a : a + 360.0 * whole;
}

bool EulerNearestTriple(double* out, const double* angles, const double* reference, const int* axes) {
    const int i = axes[0], j = axes[1], k = axes[2];
    double plain[3];
    double flipped[3];
    flipped[i] = angles[i] + 180.0;
    flipped[j] = 180.0 - angles[j];
    flipped[k] = angles[k] + 180.0;
    double plainDistance = 0.0;
    double flippedDistance = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        plain[axis] = ClosestEquivalentAngle(angles[axis], reference[axis]);
        flipped[axis] = ClosestEquivalentAngle(flipped[axis], reference[axis]);
        plainDistance += (plain[axis] - reference[axis]) * (plain[axis] - reference[axis]);
        flippedDistance += (flipped[axis] - reference[axis]) * (flipped[axis] - reference[axis]);
    }
    const bool flip = flippedDistance <= plainDistance;
    std::memcpy(out, flip ? flipped : plain, sizeof(plain));

    // At the gimbal the outer axes turn about one line: only their sum (90) or
    // difference (270) is fixed, so the reference's share is spread over both.
    double middle = std::fmod(out[j], 360.0);
    middle = std::fmod(middle + 360.0, 360.0);
    if (std::fabs(middle - 90.0) <= 1e-6) {
        const double d = ((reference[i] - out[i]) + (reference[k] - out[k])) / 2.0;
        out[i] += d;
        out[k] += d;
    } else if (std::fabs(middle - 270.0) <= 1e-6) {
        const double d = ((reference[i] - out[i]) - (reference[k] - out[k])) / 2.0;
        out[i] += d;
        out[k] -= d;
    }
    return flip;
}

bool EulerNearestTripleByOrder(double* out, const double* angles, const double* reference, int order) {
    if (order == 12) {
        std::memmove(out, angles, 3 * sizeof(double));
        return false;
    }
    return EulerNearestTriple(out, angles, reference, KgeRotationOrderAxes(order));
}

void AffineMatrixMultiply(KgeMatrix& out, const KgeMatrix& a, const KgeMatrix& b) {
    KgeMatrix inverse;
    KgeMatrixInverseOrthogonal(inverse, a);
    // The helper's product applies its second argument first.
    KgeMatrixMultAffine(out, b, inverse);
}

void AffineMatrixDecompose(double* translation, KgeMatrix& rotation, double* scale, const KgeMatrix& m) {
    rotation.SetIdentity4();
    for (int row = 0; row < 3; ++row) {
        const double length = std::sqrt(m[row][0] * m[row][0] + m[row][1] * m[row][1] + m[row][2] * m[row][2]);
        scale[row] = length;
        for (int column = 0; column < 3; ++column) {
            rotation[row][column] = length != 0.0 ? m[row][column] / length : 0.0;
        }
        translation[row] = m[3][row];
    }
}

}  // namespace fbxsdk_2006_11_1
