// A rotation order as one word: an index of the rotation-order table of
// KgeMath.h (twice an Euler order: XYZ 0, XZY 2, YZX 4, YXZ 6, ZXY 8, ZYX 10;
// odd indexes repeat the first axis), or 12 for the spheric order. The word is
// kept as given; a value outside 0 to 12 converts as the XYZ order.
#ifndef FBXFILESDK_CORE_KFBXROTATIONORDER_H
#define FBXFILESDK_CORE_KFBXROTATIONORDER_H

namespace fbxsdk_2006_11_1 {

class KFbxRotationOrder {
public:
    static constexpr int kSpheric = 12;

    explicit KFbxRotationOrder(int order = 0);
    int GetOrder() const;
    void SetOrder(int order);

    // Writes the 3x3 part of matrix (sixteen doubles) for angles in degrees held
    // as components 0 (X), 1 (Y) and 2 (Z).
    void EulerToMatrix(double* matrix, const double* angles) const;
    // The inverse: writes components 0 to 2 of angles from the 3x3 part of a
    // pure rotation.
    void MatrixToEuler(double* angles, const double* matrix) const;

private:
    int mOrder;
};

}  // namespace fbxsdk_2006_11_1

#endif
