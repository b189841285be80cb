#include <fbxfilesdk/core/KFbxQuaternion.h>

#include <fbxfilesdk/core/KgeMath.h>

#include <cmath>

namespace fbxsdk_2006_11_1 {

KFbxQuaternion::KFbxQuaternion() : mData{0.0, 0.0, 0.0, 1.0} {}

KFbxQuaternion::KFbxQuaternion(double x, double y, double z, double w) : mData{x, y, z, w} {}

double& KFbxQuaternion::operator[](int index) { return mData[index]; }
const double& KFbxQuaternion::operator[](int index) const { return mData[index]; }

void KFbxQuaternion::Set(double x, double y, double z, double w) { *this = KFbxQuaternion(x, y, z, w); }

KFbxQuaternion::operator double*() { return mData; }
KFbxQuaternion::operator const double*() const { return mData; }

void KFbxQuaternion::SetFromEulerDegrees(double a, double b, double c) {
    constexpr double kHalfDegToRad = 0.008726646259971648;
    const double ha = a * kHalfDegToRad, hb = b * kHalfDegToRad, hc = c * kHalfDegToRad;
    const double sa = std::sin(ha), ca = std::cos(ha);
    const double sb = std::sin(hb), cb = std::cos(hb);
    const double sc = std::sin(hc), cc = std::cos(hc);
    mData[0] = sa * cb * cc;
    mData[1] = sb * ca + sc * sa;
    mData[2] = sc * ca - sa * sb;
    mData[3] = ca * cb * cc;
    KgeQuaternionNormalize(mData, mData);
}

}  // namespace fbxsdk_2006_11_1
