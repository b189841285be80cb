// The 3x3 products of the node's transform evaluation, on the rotation and
// scaling blocks of KgeMatrix (points are row vectors, so a product's left
// factor applies first). Each tolerates its output being one of its inputs.
#ifndef FBXFILESDK_SCENE_KFBXNODEMATRIXMATH_H
#define FBXFILESDK_SCENE_KFBXNODEMATRIXMATH_H

#include <fbxfilesdk/core/KgeMatrix.h>

namespace fbxsdk_2006_11_1 {

// out = first · second on the 3x3 blocks; the rest of out is kept.
void Product3(KgeMatrix& out, const KgeMatrix& first, const KgeMatrix& second);
// The transposed 3x3 block.
void Transpose3(KgeMatrix& out, const KgeMatrix& m);
// out = v · m over the 3x3 block, for a row vector of three doubles.
void RowVectorTimes3(double* out, const double* v, const KgeMatrix& m);
// The 3x3 block diag(x, y, z) and a zero translation row; column 3 is kept.
void SetDiagonal3(KgeMatrix& out, double x, double y, double z);

}  // namespace fbxsdk_2006_11_1

#endif
