// Operations on points and colours held as three doubles.
#ifndef FBXFILESDK_CORE_KFBXDOUBLE3_H
#define FBXFILESDK_CORE_KFBXDOUBLE3_H

namespace fbxsdk_2006_11_1 {

// With a non-zero tolerance: 1 when any component differs by more than it, else 0.
// With a tolerance of 0: the memory comparison of the 24 bytes, -1, 0 or 1.
int KFbxCompareDouble3(const double* a, const double* b, double tolerance);
// The unit vector of in; the zero vector when in has length 0. out may be in.
void KFbxNormalizeDouble3(double* out, const double* in);
// Always true.
bool CopyDouble3(double* out, const double* in);

}  // namespace fbxsdk_2006_11_1

#endif
