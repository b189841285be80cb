#include <fbxfilesdk/core/KFbxRotationOrder.h>

#include <fbxfilesdk/core/KFbxQuaternion.h>
#include <fbxfilesdk/core/KgeMath.h>

#include <algorithm>
#include <cmath>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr double kRadToDeg = 57.29577951308232;
constexpr double kTwiceRadToDeg = 114.59155902616465;

double ClampedAsin(double value) { return std::asin(std::clamp(value, -1.0, 1.0)); }

// The spheric order splits a rotation into a swing that turns the X axis onto
// row 0 by the shortest way (angles b and c) and a twist about X (angle a).
void SphericMatrixToEuler(double* angles, const double* m) {
    if (m[0] <= -0.9999999999) {
        // X turned onto -X: the swing has no unique axis.
        angles[0] = angles[1] = angles[2] = 180.0;
        return;
    }
    double swing[4] = {0.0, -m[2], m[1], m[0] + 1.0};
    KgeQuaternionNormalize(swing, swing);
    // The swing of (b, c) is (0, sin(b/2), sin(c/2), cos(b/2) cos(c/2)) divided by
    // sqrt(1 + p'), p' = sin^2(b/2) sin^2(c/2); f undoes that division. Rounding
    // may push 1 - 4p or the sines just past their domain, hence the clamps.
    const double p = swing[1] * swing[1] * swing[2] * swing[2];
    double f = 1.0;
    if (p > 1e-10) f = std::sqrt((1.0 - std::sqrt(std::max(0.0, 1.0 - 4.0 * p))) * 0.5 / p);
    angles[2] = ClampedAsin(f * swing[2]) * kTwiceRadToDeg;
    angles[1] = ClampedAsin(f * swing[1]) * kTwiceRadToDeg;

    const double unswing[4] = {-swing[0], -swing[1], -swing[2], swing[3]};
    double whole[4];
    KgeQuaternionFromMatrix(whole, m);
    double twist[4];
    KgeQuaternionMult(twist, unswing, whole);
    KgeQuaternionNormalize(twist, twist);
    double yAxis[3];
    KgeQuaternionGetYAxis(yAxis, twist);
    angles[0] = std::atan2(yAxis[2], yAxis[1]) * kRadToDeg;
}

}  // namespace

KFbxRotationOrder::KFbxRotationOrder(int order) : mOrder(order) {}
int KFbxRotationOrder::GetOrder() const { return mOrder; }
void KFbxRotationOrder::SetOrder(int order) { mOrder = order; }

void KFbxRotationOrder::EulerToMatrix(double* matrix, const double* angles) const {
    if (mOrder == kSpheric) {
        KFbxQuaternion q;
        q.SetFromEulerDegrees(angles[0], angles[1], angles[2]);
        KgeMatrixFromQuaternion(matrix, q[0], q[1], q[2], q[3]);
    } else if (mOrder > 0 && mOrder < kSpheric) {
        const int* axes = KgeRotationOrderAxes(mOrder);
        KgeMatrixSetRotationByOrder(matrix, angles[axes[0]], angles[axes[1]], angles[axes[2]], mOrder);
    } else {
        KgeMatrixSetRotationXYZ(matrix, angles[0], angles[1], angles[2]);
    }
}

void KFbxRotationOrder::MatrixToEuler(double* angles, const double* matrix) const {
    if (mOrder == kSpheric) {
        SphericMatrixToEuler(angles, matrix);
    } else if (mOrder > 0 && mOrder < kSpheric) {
        const int* axes = KgeRotationOrderAxes(mOrder);
        double abc[3];
        KgeMatrixGetEulerByOrder(abc, matrix, mOrder);
        for (int n = 0; n < 3; ++n) angles[axes[n]] = abc[n];
    } else {
        KgeMatrixRotationToEulerXYZ(angles, matrix);
    }
}

}  // namespace fbxsdk_2006_11_1
