#include <fbxfilesdk/core/KFbxDouble3.h>

#include <cmath>
#include <cstring>

namespace fbxsdk_2006_11_1 {

int KFbxCompareDouble3(const double* a, const double* b, double tolerance) {
    if (tolerance == 0.0) {
        const int order = std::memcmp(a, b, 3 * sizeof(double));
        return order < 0 ? -1 : (order > 0 ? 1 : 0);
    }
    for (int n = 0; n < 3; ++n)
        if (std::fabs(a[n] - b[n]) > tolerance) return 1;
    return 0;
}

void KFbxNormalizeDouble3(double* out, const double* in) {
    const double length = std::sqrt(in[0] * in[0] + in[1] * in[1] + in[2] * in[2]);
    for (int n = 0; n < 3; ++n) out[n] = length != 0.0 ? in[n] / length : 0.0;
}

bool CopyDouble3(double* out, const double* in) {
    if (out != in) std::memmove(out, in, 3 * sizeof(double));
    return true;
}

}  // namespace fbxsdk_2006_11_1
