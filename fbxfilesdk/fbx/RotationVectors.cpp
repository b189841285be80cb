#include <fbxfilesdk/fbx/RotationVectors.h>

#include <cmath>

namespace fbxsdk_2006_11_1 {

namespace {

// The difference of two angles brought into [-180, 180].
double AngleDifference(double a, double b) {
    double difference = std::fmod(a - b, 360.0);
    if (difference > 180.0) {
        difference -= 360.0;
    } else if (difference < -180.0) {
        difference += 360.0;
    }
    return difference;
}

bool SameAngles(const double* a, const double* b, double tolerance) {
    for (int axis = 0; axis < 3; ++axis) {
        // A NaN difference is no match either.
        if (!(std::fabs(AngleDifference(a[axis], b[axis])) <= tolerance)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool RotationVectorsDiffer(const double* a, const double* b, double tolerance) {
    const double flipped[3] = {b[0] + 180.0, 180.0 - b[1], b[2] + 180.0};
    return !SameAngles(a, b, tolerance) && !SameAngles(a, flipped, tolerance);
}

}  // namespace fbxsdk_2006_11_1
