#include <fbxfilesdk/scene/KFbxNodeMatrixMath.h>

namespace fbxsdk_2006_11_1 {

// Element access goes through the raw sixteen doubles: these run for every
// node evaluation.

void Product3(KgeMatrix& out, const KgeMatrix& first, const KgeMatrix& second) {
    const double* a = first;
    const double* b = second;
    double result[9];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            result[row * 3 + column] =
                a[row * 4] * b[column] + a[row * 4 + 1] * b[4 + column] + a[row * 4 + 2] * b[8 + column];
        }
    }
    double* o = out;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            o[row * 4 + column] = result[row * 3 + column];
        }
    }
}

void Transpose3(KgeMatrix& out, const KgeMatrix& m) {
    const double* in = m;
    double result[9];
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            result[row * 3 + column] = in[column * 4 + row];
        }
    }
    double* o = out;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            o[row * 4 + column] = result[row * 3 + column];
        }
    }
}

void RowVectorTimes3(double* out, const double* v, const KgeMatrix& m) {
    const double* in = m;
    const double x = v[0];
    const double y = v[1];
    const double z = v[2];
    for (int column = 0; column < 3; ++column) {
        out[column] = x * in[column] + y * in[4 + column] + z * in[8 + column];
    }
}

void SetDiagonal3(KgeMatrix& out, double x, double y, double z) {
    double* o = out;
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

}  // namespace fbxsdk_2006_11_1
