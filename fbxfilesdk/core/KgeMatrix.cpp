#include <fbxfilesdk/core/KgeMatrix.h>

#include <fbxfilesdk/core/KgeMath.h>

#include <cassert>
#include <cmath>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

}  // namespace

KgeMatrix::KgeMatrix() { SetIdentity4(); }

KgeMatrix::KgeMatrix(const KgeMatrix& other) {
    SetIdentity4();
    KgeMatrixCopyAffine(mData, other.mData);
}

KgeMatrix::KgeMatrix(const double* values) {
    SetIdentity4();
    if (values) CopyFrom16(values);
}

KgeMatrix& KgeMatrix::operator=(const KgeMatrix& other) {
    KgeMatrixCopyAffine(mData, other.mData);
    return *this;
}

void KgeMatrix::SetIdentity() { KgeMatrixCopyAffine(mData, kIdentity); }
void KgeMatrix::SetIdentity4() { KgeMatrixCopy(mData, kIdentity); }
void KgeMatrix::CopyFrom16(const double* values) { KgeMatrixCopy(mData, values); }

double* KgeMatrix::operator[](int row) {
    assert(row >= 0 && row < 4);
    return mData + row * 4;
}

const double* KgeMatrix::operator[](int row) const {
    assert(row >= 0 && row < 4);
    return mData + row * 4;
}

KgeMatrix::operator double*() { return mData; }
KgeMatrix::operator const double*() const { return mData; }

KFbxVector4 KgeMatrix::GetT() const { return KFbxVector4(mData[12], mData[13], mData[14], 0.0); }

KFbxVector4 KgeMatrix::GetR() const {
    KFbxVector4 rotation;
    KgeMatrixGetEulerXYZ(rotation, mData);
    return rotation;
}

KFbxVector4 KgeMatrix::GetS() const {
    KFbxVector4 scaling;
    KgeMatrixGetScale(scaling, mData);
    return scaling;
}

void KgeMatrix::SetT(const KFbxVector4& translation) { SetTRS(translation, GetR(), GetS()); }
void KgeMatrix::SetR(const KFbxVector4& rotation) { SetTRS(GetT(), rotation, GetS()); }
void KgeMatrix::SetS(const KFbxVector4& scaling) { SetTRS(GetT(), GetR(), scaling); }

void KgeMatrix::SetQ(const KFbxQuaternion& rotation) {
    const KFbxVector4 translation = GetT();
    const KFbxVector4 scaling = GetS();
    KgeMatrixSetTQS(mData, translation, rotation, scaling);
}

void KgeMatrix::SetTRS(const KFbxVector4& translation, const KFbxVector4& rotation, const KFbxVector4& scaling) {
    KgeMatrixSetTRS(mData, translation, rotation, scaling);
}

void KgeMatrix::SetROnly(const KFbxVector4& rotation) {
    SetIdentity4();
    KgeMatrixSetRotationXYZ(mData, rotation[0], rotation[1], rotation[2]);
}

KFbxVector4 KgeMatrix::MultT(const KFbxVector4& point) const {
    KFbxVector4 result;
    KgeMatrixMultPoint(result, mData, point);
    return result;
}

KgeMatrix& KgeMatrix::operator*=(const KgeMatrix& other) {
    KgeMatrixMultAffine(mData, mData, other.mData);
    return *this;
}

// The results are built in plain arrays and returned through the sixteen-double
// constructor: a returned prvalue is never copied, whereas a named local could
// pass through the copy constructor, which drops column 3.
KgeMatrix KgeMatrix::GetProduct(const KgeMatrix& other) const {
    double product[16];
    KgeMatrixCopy(product, kIdentity);
    KgeMatrixMultAffine(product, mData, other.mData);
    return KgeMatrix(product);
}

KgeMatrix KgeMatrix::GetInverseOrthogonal() const {
    double inverse[16];
    KgeMatrixCopy(inverse, kIdentity);
    KgeMatrixInverseOrthogonal(inverse, mData);
    return KgeMatrix(inverse);
}

KgeMatrix KgeMatrix::GetTranspose() const {
    double transpose[16];
    KgeMatrixTranspose(transpose, mData);
    return KgeMatrix(transpose);
}

bool KgeMatrix::operator!=(const KgeMatrix& other) const { return KgeMatrixCompare(mData, other.mData, 1e-6) != 0; }

bool KgeMatrix::IsEqual(const KgeMatrix& other) const { return CompareWithTolerance(*this, other, 1e-6) == 0; }

int KgeMatrix::CompareWithTolerance(const KgeMatrix& a, const KgeMatrix& b, double tolerance) {
    for (int n = 0; n < 16; ++n)
        if (std::fabs(a.mData[n] - b.mData[n]) > tolerance) return 1;
    return 0;
}

}  // namespace fbxsdk_2006_11_1
