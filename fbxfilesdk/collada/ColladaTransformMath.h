// Transform arithmetic shared by the COLLADA reader and writer, on the SDK's
// matrix convention: points are row vectors, rows 0 to 2 of a matrix are the
// X, Y and Z axes and row 3 the translation (COLLADA writes the transpose,
// see ColladaXml::ParseMatrix and ColladaXml::FormatMatrix).
#ifndef FBXFILESDK_COLLADA_COLLADATRANSFORMMATH_H
#define FBXFILESDK_COLLADA_COLLADATRANSFORMMATH_H

#include <fbxfilesdk/core/KgeMatrix.h>

namespace fbxsdk_2006_11_1 {

// The inverse of an affine transform (rotation, scaling along any axes,
// shear and translation alike; column 3 taken as 0, 0, 0, 1). A singular
// 3x3 part, which has no inverse, falls back to KgeMatrix::GetInverseOrthogonal,
// which gives zero for the collapsed axes.
KgeMatrix ColladaAffineInverse(const KgeMatrix& matrix);

}  // namespace fbxsdk_2006_11_1

#endif
