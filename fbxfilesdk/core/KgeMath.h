// Plain functions on matrices, points and quaternions held as arrays of doubles.
//
// A matrix is sixteen doubles, four rows of four: rows 0 to 2 are the X, Y and Z
// axes of the transform (each scaled by its scaling), row 3 the translation, and
// column 3 is 0, 0, 0, 1 for a transform. Points are row vectors (p' = p x M), so
// in a product A x B the transform A applies first. Most functions read and write
// only the twelve affine elements (columns 0 to 2) and leave column 3 alone.
// A quaternion is four doubles x, y, z, w (w the scalar part, stored last).
// Angles are in degrees.
//
// Rotation orders index a table of axis triples (0 = X, 1 = Y, 2 = Z): 0 and 1
// XYZ, 2 and 3 XZY, 4 and 5 YZX, 6 and 7 YXZ, 8 and 9 ZXY, 10 and 11 ZYX. Bit 0
// of the index repeats the first axis as the third rotation (X, Y, X); bit 1
// marks an odd permutation. An index outside 0 to 11 is taken as 0.
#ifndef FBXFILESDK_CORE_KGEMATH_H
#define FBXFILESDK_CORE_KGEMATH_H

namespace fbxsdk_2006_11_1 {

// The axis triple (i, j, k) of a rotation order.
const int* KgeRotationOrderAxes(int order);

// out = p x M for a point of three doubles (out may be p).
void KgeMatrixMultPoint(double* out, const double* m, const double* p);

// With a non-zero tolerance: 1 when any of the twelve affine elements differs by
// more than it, else 0. With a tolerance of 0: the memory comparison of the
// first fifteen doubles, -1, 0 or 1.
int KgeMatrixCompare(const double* a, const double* b, double tolerance);

void KgeMatrixCopy(double* out, const double* m);
void KgeMatrixCopyAffine(double* out, const double* m);
// All sixteen elements; out may be m.
void KgeMatrixTranspose(double* out, const double* m);

// Inverse of a transform whose axes are mutually orthogonal (scaled and mirrored
// axes included); column 3 of out is not written. An axis of length 0 gives a
// zero column instead of a division by zero. out may be m.
void KgeMatrixInverseOrthogonal(double* out, const double* m);

// out = B x A on the twelve affine elements (column 3 taken as 0, 0, 0, 1):
// B applies first, then A. out may be either input.
void KgeMatrixMultAffine(double* out, const double* a, const double* b);

// True when the determinant of the 3x3 part is at or above 0.
bool KgeMatrixIsRightHanded(const double* m);
// The lengths of rows 0 to 2, all three negated when the 3x3 determinant is negative.
void KgeMatrixGetScale(double* out3, const double* m);
// The 3x3 part of out = that of m with row i multiplied by s[i].
void KgeMatrixScaleAxes(double* out, const double* m, const double* s);

// The 3x3 part: rotation about X first, then Y, then Z (Rx x Ry x Rz).
void KgeMatrixSetRotationXYZ(double* m, double x, double y, double z);
// The 3x3 part for a rotation order of the table; a, b and c are the angles
// about the order's first, second and third rotation axes.
void KgeMatrixSetRotationByOrder(double* m, double a, double b, double c, int order);

// The 3x3 part from the rotation r (Euler XYZ) with row i scaled by s[i], row 3 = t.
void KgeMatrixSetTRS(double* m, const double* t, const double* r, const double* s);
// The same with the rotation of the quaternion q.
void KgeMatrixSetTQS(double* m, const double* t, const double* q, const double* s);

// Euler XYZ angles of m once its scaling (KgeMatrixGetScale) is divided out.
void KgeMatrixGetEulerXYZ(double* out3, const double* m);
// Euler XYZ angles of a pure rotation; y is in [-90, 90], and at y = +-90 the
// whole rotation about X and Z goes into x with z = 0.
void KgeMatrixRotationToEulerXYZ(double* out3, const double* r);
// The angles a, b, c of KgeMatrixSetRotationByOrder for a pure rotation.
void KgeMatrixGetEulerByOrder(double* out3, const double* r, int order);

// q divided by its four-component length; the zero quaternion stays zero.
void KgeQuaternionNormalize(double* out, const double* q);
// The Hamilton product a b; out may be either input.
void KgeQuaternionMult(double* out, const double* a, const double* b);
void KgeQuaternionFromMatrix(double* out, const double* m);
// The image of the Y axis under q's rotation.
void KgeQuaternionGetYAxis(double* out3, const double* q);
// Writes the 3x3 part only; the zero quaternion gives the identity.
void KgeMatrixFromQuaternion(double* m, double x, double y, double z, double w);

}  // namespace fbxsdk_2006_11_1

#endif
