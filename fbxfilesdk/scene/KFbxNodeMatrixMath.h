// The 3x3 products of the node's transform evaluation, on the rotation and
// scaling blocks of KgeMatrix (points are row vectors, so a product's left
// factor applies first). Each tolerates its output being one of its inputs.
// They run several times for every node evaluation, so they are inline and
// reach the sixteen doubles once.
#ifndef FBXFILESDK_SCENE_KFBXNODEMATRIXMATH_H
#define FBXFILESDK_SCENE_KFBXNODEMATRIXMATH_H

#include <fbxfilesdk/core/KgeMatrix.h>

namespace fbxsdk_2006_11_1 {

// out = v · m over the 3x3 block, for a row vector of three doubles; out may
// be v.
inline void RowVectorTimes3(double* out, const double* v, const double* m) {
    const double x = v[0];
    const double y = v[1];
    const double z = v[2];
    out[0] = x * m[0] + y * m[4] + z * m[8];
    out[1] = x * m[1] + y * m[5] + z * m[9];
    out[2] = x * m[2] + y * m[6] + z * m[10];
}

// out = first · second on the 3x3 blocks of sixteen-double matrices; the rest
// of out is kept.
inline void Product3(double* o, const double* a, const double* b) {
    double result[9];
    RowVectorTimes3(result, a, b);
    RowVectorTimes3(result + 3, a + 4, b);
    RowVectorTimes3(result + 6, a + 8, b);
    for (int row = 0; row < 3; ++row) {
        o[row * 4] = result[row * 3];
        o[row * 4 + 1] = result[row * 3 + 1];
        o[row * 4 + 2] = result[row * 3 + 2];
    }
}

inline void Product3(KgeMatrix& out, const KgeMatrix& first, const KgeMatrix& second) {
    Product3(static_cast<double*>(out), static_cast<const double*>(first), static_cast<const double*>(second));
}

// The transposed 3x3 block.
inline void Transpose3(double* o, const double* in) {
    double result[9];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            result[row * 3 + column] = in[column * 4 + row];
        }
    }
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            o[row * 4 + column] = result[row * 3 + column];
        }
    }
}

inline void Transpose3(KgeMatrix& out, const KgeMatrix& m) {
    Transpose3(static_cast<double*>(out), static_cast<const double*>(m));
}

// The 3x3 block diag(x, y, z) and a zero translation row; column 3 is kept.
inline void SetDiagonal3(double* o, double x, double y, double z) {
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            o[row * 4 + column] = 0.0;
        }
    }
    o[12] = 0.0;
    o[13] = 0.0;
    o[14] = 0.0;
    o[0] = x;
    o[5] = y;
    o[10] = z;
}

inline void SetDiagonal3(KgeMatrix& out, double x, double y, double z) {
    SetDiagonal3(static_cast<double*>(out), x, y, z);
}

}  // namespace fbxsdk_2006_11_1

#endif
