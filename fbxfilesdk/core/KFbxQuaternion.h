// A quaternion of four doubles x, y, z, w (w the scalar part, stored last).
#ifndef FBXFILESDK_CORE_KFBXQUATERNION_H
#define FBXFILESDK_CORE_KFBXQUATERNION_H

namespace fbxsdk_2006_11_1 {

class KFbxQuaternion {
public:
    // The identity rotation (0, 0, 0, 1).
    KFbxQuaternion();
    KFbxQuaternion(double x, double y, double z, double w);
    KFbxQuaternion(const KFbxQuaternion& other) = default;
    KFbxQuaternion& operator=(const KFbxQuaternion& other) = default;

    // Component access by index 0 to 3; the index is the caller's to keep in range.
    double& operator[](int index);
    const double& operator[](int index) const;
    void Set(double x, double y, double z, double w);

    // The four doubles, x first.
    operator double*();
    operator const double*() const;

    // The normalised quaternion of the spheric rotation order for three angles in
    // degrees: the twist about X (a) after the swing of b and c.
    void SetFromEulerDegrees(double a, double b, double c);

private:
    double mData[4];
};

}  // namespace fbxsdk_2006_11_1

#endif
