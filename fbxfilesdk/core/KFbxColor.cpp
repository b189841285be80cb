#include <fbxfilesdk/core/KFbxColor.h>

#include <cmath>

namespace fbxsdk_2006_11_1 {

namespace {

// The NaN test matters: a NaN read from a file must not survive as a colour.
double ClampUnit(double value) { return std::isnan(value) ? 0.0 : ClampValue(value, 0.0, 1.0); }

}  // namespace

KFbxColor::KFbxColor() : mRed(0.0), mGreen(0.0), mBlue(0.0), mAlpha(1.0) {}

KFbxColor::KFbxColor(double red, double green, double blue, double alpha) { Set(red, green, blue, alpha); }

void KFbxColor::Set(double red, double green, double blue, double alpha) {
    mRed = ClampUnit(red);
    mGreen = ClampUnit(green);
    mBlue = ClampUnit(blue);
    mAlpha = ClampUnit(alpha);
}

KFbxColor KFbxColor::ConstructFromArray(const double* values) {
    return KFbxColor(values[0], values[1], values[2], values[3]);
}

void SetDouble4ToOne(double* values) {
    for (int n = 0; n < 4; ++n) values[n] = 1.0;
}

double ClampValue(double value, double min, double max) {
    if (value < min) return min;
    if (value > max) return max;
    return value;
}

}  // namespace fbxsdk_2006_11_1
