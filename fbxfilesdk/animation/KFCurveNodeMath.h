// Small vector, quaternion and angle operations behind the evaluation of
// rotation channels and layers, and the affine helpers that the writers and
// the node's transform code share. Angles are in degrees, quaternions four
// doubles x, y, z, w, matrices sixteen doubles row by row (row-vector points).
#ifndef FBXFILESDK_ANIMATION_KFCURVENODEMATH_H
#define FBXFILESDK_ANIMATION_KFCURVENODEMATH_H

namespace fbxsdk_2006_11_1 {

class KgeMatrix;

double Double4Length(const double* a);
double Double4Dot(const double* a, const double* b);
void Double4Scale(double* out, const double* a, double factor);
void Double4Add(double* out, const double* a, const double* b);

void DoubleArrayAdd(double* out, const double* a, const double* b, int n);
void DoubleArrayScale(double* out, const double* a, double factor, int n);
// a (1 - t) + b t.
void DoubleArrayLerp(double* out, const double* a, const double* b, double t, int n);
// The point at t of the cubic Bezier over p0 to p3.
void DoubleArrayBezier(double* out, const double* p0, const double* p1, const double* p2, const double* p3,
                       double t, int n);

// Rotation part from the quaternion or from X, Y, Z angles (X applied first);
// the rest of the matrix is the identity's.
void RotationMatrixFromQuaternion(KgeMatrix& out, const double* q);
void RotationMatrixFromEuler(KgeMatrix& out, const double* angles);

// a plus the whole turns nearest to b - a; half a turn adds none.
double ClosestEquivalentAngle(double a, double b);

// Among angles and its flipped equivalent (a[i] + 180, 180 - a[j], a[k] + 180)
// for the axis triple (i, j, k), each angle moved to its turn nearest the
// reference, the nearer triple (the flipped one on a tie), with a gimbal
// difference spread over the outer axes when the middle angle is at 90 or
// 270. True when the flipped triple was taken.
bool EulerNearestTriple(double* out, const double* angles, const double* reference, const int* axes);
// The same by a rotation-order word (KFbxRotationOrder); the spheric order 12
// copies the angles and answers false.
bool EulerNearestTripleByOrder(double* out, const double* angles, const double* reference, int order);

// out = inverse(a) b for an a whose axes are orthogonal; out may be a.
void AffineMatrixMultiply(KgeMatrix& out, const KgeMatrix& a, const KgeMatrix& b);
// Row 3 as translation, the row lengths as scale and the rows divided by
// their lengths as rotation (a row of length 0 stays zero).
void AffineMatrixDecompose(double* translation, KgeMatrix& rotation, double* scale, const KgeMatrix& m);

}  // namespace fbxsdk_2006_11_1

#endif
