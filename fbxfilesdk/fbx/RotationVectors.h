// Comparing two rotations given as Euler XYZ angles in degrees.
#ifndef FBXFILESDK_FBX_ROTATIONVECTORS_H
#define FBXFILESDK_FBX_ROTATIONVECTORS_H

namespace fbxsdk_2006_11_1 {

// True when the rotations differ by more than the tolerance on some axis.
// Angles a whole turn apart count as equal, and so do the two angle triples
// of one rotation, (x, y, z) and (x + 180, 180 - y, z + 180).
bool RotationVectorsDiffer(const double* a, const double* b, double tolerance);

}  // namespace fbxsdk_2006_11_1

#endif
