// Transform arithmetic shared by the COLLADA reader and writer, on the SDK's
// matrix convention: points are row vectors, rows 0 to 2 of a matrix are the
// X, Y and Z axes and row 3 the translation (COLLADA writes the transpose,
// see ColladaXml::ParseMatrix and ColladaXml::FormatMatrix).
//
// Euler angles are degrees in the SDK's "Euler XYZ" order: the rotation
// about X applies first, then Y, then Z, which a COLLADA node writes as
// rotate Z, rotate Y, rotate X (its transforms compose left to right and
// apply to column vectors right to left).
#ifndef FBXFILESDK_COLLADA_COLLADATRANSFORMMATH_H
#define FBXFILESDK_COLLADA_COLLADATRANSFORMMATH_H

#include <fbxfilesdk/core/KFbxQuaternion.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KgeMatrix.h>

namespace fbxsdk_2006_11_1 {

// The inverse of an affine transform (rotation, scaling along any axes,
// shear and translation alike; column 3 taken as 0, 0, 0, 1). A singular
// 3x3 part, which has no inverse, falls back to KgeMatrix::GetInverseOrthogonal,
// which gives zero for the collapsed axes.
KgeMatrix ColladaAffineInverse(const KgeMatrix& matrix);

// Equal but for rounding: the axes to the relative precision of b's axes'
// size, the translation to that of b's translation and axes' size. Values
// that are not finite are never equal.
bool ColladaNearlySameTransform(const KgeMatrix& a, const KgeMatrix& b, double precision = 1e-9);

// The rotation of degrees about the axis, which need not be of unit length;
// the zero axis (or a non-finite one) gives no rotation.
KgeMatrix ColladaAxisAngleMatrix(const KFbxVector4& axis, double degrees);
// The same rotation as Euler XYZ angles (w = 0).
KFbxVector4 ColladaAxisAngleToEuler(const KFbxVector4& axis, double degrees);

// The unit quaternion of Euler XYZ angles: q = qz qy qx, X applied first.
KFbxQuaternion ColladaEulerToQuaternion(const KFbxVector4& degrees);
// The axis (unit length) and angle (degrees, 0 to 360) of a quaternion of
// any length; no rotation gives the X axis and 0. The angle's arc cosine is
// taken of w clamped to [-1, 1], so rounding never makes it NaN.
void ColladaQuaternionToAxisAngle(const KFbxQuaternion& rotation, KFbxVector4& axis, double& degrees);
// The axis and angle of the rotation part of a matrix (rows: the rotated
// axes), as a COLLADA rotate gives that rotation.
void ColladaRotationToAxisAngle(const KgeMatrix& rotation, KFbxVector4& axis, double& degrees);
// The matrix's 3x3 part with each row made of unit length, and no
// translation: the rotation of a transform without its scaling.
KgeMatrix ColladaRotationPart(const KgeMatrix& matrix);

// Where a turn takes an axis (0 X, 1 Y, 2 Z) when it takes it onto another
// axis, which the sign tells the direction of; -1 for a turn that takes the
// axis between axes.
int ColladaTurnedAxis(const KgeMatrix& turn, int axis, double& sign);

// The frame of a camera at eye looking at interest: row 0 the side axis,
// row 1 the up axis made perpendicular to the view, row 2 the axis pointing
// back from interest to eye, row 3 the interest. A degenerate frame (eye on
// interest, or up along the view) keeps the identity's rows.
KgeMatrix ColladaLookAtMatrix(const KFbxVector4& eye, const KFbxVector4& interest, const KFbxVector4& up);

// The SDK rotation order (KFbxNode::ERotationOrder, 0 "Euler XYZ" to 5
// "Euler ZYX") of a node whose rotations about X, Y and Z came at the
// positions given (-1 for none; count rotations in all). Fewer than two
// rotations give XYZ, as do two that keep XYZ's relative order.
int ColladaRotationOrderFromAxes(const int positions[3], int count);
// The other way: the axes (0 X, 1 Y, 2 Z) in the order a node writes its
// rotations for an SDK rotation order, first written first.
void ColladaAxesOfRotationOrder(int order, int axes[3]);

}  // namespace fbxsdk_2006_11_1

#endif
