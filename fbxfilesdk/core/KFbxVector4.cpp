#include <fbxfilesdk/core/KFbxVector4.h>

#include <fbxfilesdk/core/KFbxDouble3.h>

#include <cmath>

namespace fbxsdk_2006_11_1 {

static_assert(sizeof(KFbxVector4) == 32, "vector arrays store 32-byte items");

double& KFbxVector4::operator[](int index) { return mData[index]; }
const double& KFbxVector4::operator[](int index) const { return mData[index]; }

double* KFbxVector4::ComponentAt(int index) { return &(*this)[index]; }
const double* KFbxVector4::ComponentAt(int index) const { return &(*this)[index]; }
void KFbxVector4::SetAt(int index, double value) { (*this)[index] = value; }

void KFbxVector4::Set(double x, double y, double z, double w) { *this = KFbxVector4(x, y, z, w); }

KFbxVector4::operator double*() { return mData; }
KFbxVector4::operator const double*() const { return mData; }

KFbxVector4& KFbxVector4::operator*=(double factor) {
    for (double& value : mData) value *= factor;
    return *this;
}

KFbxVector4& KFbxVector4::operator/=(double divisor) {
    for (double& value : mData) value /= divisor;
    return *this;
}

KFbxVector4& KFbxVector4::operator+=(const KFbxVector4& other) {
    for (int n = 0; n < 4; ++n) mData[n] += other.mData[n];
    return *this;
}

KFbxVector4 KFbxVector4::operator*(double factor) const { return KFbxVector4(*this) *= factor; }
KFbxVector4 KFbxVector4::operator/(double divisor) const { return KFbxVector4(*this) /= divisor; }
KFbxVector4 KFbxVector4::operator-() const { return KFbxVector4(-mData[0], -mData[1], -mData[2], -mData[3]); }
KFbxVector4 KFbxVector4::operator+(const KFbxVector4& other) const { return KFbxVector4(*this) += other; }

KFbxVector4 KFbxVector4::operator-(const KFbxVector4& other) const {
    return KFbxVector4(mData[0] - other.mData[0], mData[1] - other.mData[1], mData[2] - other.mData[2],
                       mData[3] - other.mData[3]);
}

double KFbxVector4::DotProduct(const KFbxVector4& other) const {
    return mData[0] * other.mData[0] + mData[1] * other.mData[1] + mData[2] * other.mData[2];
}

KFbxVector4 KFbxVector4::CrossProduct(const KFbxVector4& other) const {
    const double* a = mData;
    const double* b = other.mData;
    return KFbxVector4(a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0], 1.0);
}

double KFbxVector4::Length() const { return std::sqrt(DotProduct(*this)); }

void KFbxVector4::Normalize() { KFbxNormalizeDouble3(mData, mData); }

bool KFbxVector4::operator==(const KFbxVector4& other) const {
    return KFbxCompareDouble3(mData, other.mData, 1e-6) == 0;
}

}  // namespace fbxsdk_2006_11_1
