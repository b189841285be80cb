// A 4x4 transform of doubles for row-vector points: rows 0 to 2 are the X, Y
// and Z axes (each scaled by its scaling), row 3 the translation, column 3 is
// 0, 0, 0, 1 for a transform. Copies and assignments carry the twelve affine
// elements only (column 3 of a copy is the identity's, an assignment keeps the
// target's); CopyFrom16 and KgeMatrixCopy carry all sixteen.
#ifndef FBXFILESDK_CORE_KGEMATRIX_H
#define FBXFILESDK_CORE_KGEMATRIX_H

#include <fbxfilesdk/core/KFbxQuaternion.h>
#include <fbxfilesdk/core/KFbxVector4.h>

namespace fbxsdk_2006_11_1 {

class KgeMatrix {
public:
    // The identity.
    KgeMatrix();
    // The identity, then the twelve affine elements of other.
    KgeMatrix(const KgeMatrix& other);
    // The identity, then all sixteen doubles (row by row); null keeps the identity.
    explicit KgeMatrix(const double* values);
    // The twelve affine elements only; column 3 keeps its values.
    KgeMatrix& operator=(const KgeMatrix& other);

    // The affine elements become the identity's; column 3 is kept.
    void SetIdentity();
    // All sixteen elements become the identity's.
    void SetIdentity4();
    void CopyFrom16(const double* values);

    // Row access: m[row][column].
    double* operator[](int row);
    const double* operator[](int row) const;
    // The sixteen doubles, row by row, for the KgeMatrix... functions.
    operator double*();
    operator const double*() const;

    // Row 3, with w = 0.
    KFbxVector4 GetT() const;
    // The Euler XYZ angles of the rotation, scaling divided out; w = 0.
    KFbxVector4 GetR() const;
    // The signed axis lengths (KgeMatrixGetScale), with w = 0.
    KFbxVector4 GetS() const;

    // Each rebuilds the transform with one part replaced and the other two as
    // GetT, GetR and GetS give them, so a mirrored transform stays mirrored.
    void SetT(const KFbxVector4& translation);
    void SetR(const KFbxVector4& rotation);
    void SetQ(const KFbxQuaternion& rotation);
    void SetS(const KFbxVector4& scaling);
    void SetTRS(const KFbxVector4& translation, const KFbxVector4& rotation, const KFbxVector4& scaling);
    // The full identity with the rotation of Euler XYZ angles.
    void SetROnly(const KFbxVector4& rotation);

    // The point transformed (x, y, z used), with w = 0.
    KFbxVector4 MultT(const KFbxVector4& point) const;
    // This becomes other x this: the other transform applies first.
    KgeMatrix& operator*=(const KgeMatrix& other);
    // other x this as a new matrix (column 3 the identity's).
    KgeMatrix GetProduct(const KgeMatrix& other) const;
    // New matrices, starting from the identity.
    KgeMatrix GetInverseOrthogonal() const;
    KgeMatrix GetTranspose() const;

    // True when any of the twelve affine elements differ by more than 1e-6.
    bool operator!=(const KgeMatrix& other) const;
    // Addresses are never what a matrix comparison means; use IsEqual or !=.
    bool operator==(const KgeMatrix& other) const = delete;
    // True when all sixteen elements are within 1e-6.
    bool IsEqual(const KgeMatrix& other) const;
    // 1 when any of the sixteen elements differs by more than the tolerance, else 0.
    static int CompareWithTolerance(const KgeMatrix& a, const KgeMatrix& b, double tolerance);

private:
    double mData[16];
};

}  // namespace fbxsdk_2006_11_1

#endif
