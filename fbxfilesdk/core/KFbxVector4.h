// Four doubles x, y, z, w. Products, lengths and comparisons use x, y, z only;
// sums, differences, scaling and negation act on all four.
#ifndef FBXFILESDK_CORE_KFBXVECTOR4_H
#define FBXFILESDK_CORE_KFBXVECTOR4_H

namespace fbxsdk_2006_11_1 {

class KFbxVector4 {
public:
    // (0, 0, 0, 0). Inline, as arrays of millions of vectors are built item by item.
    KFbxVector4() : mData{0.0, 0.0, 0.0, 0.0} {}
    KFbxVector4(double x, double y, double z, double w) : mData{x, y, z, w} {}
    KFbxVector4(const KFbxVector4& other) = default;
    KFbxVector4& operator=(const KFbxVector4& other) = default;

    // Component access by index 0 to 3; the index is the caller's to keep in range.
    double& operator[](int index);
    const double& operator[](int index) const;
    // The address of component index.
    double* ComponentAt(int index);
    const double* ComponentAt(int index) const;
    void SetAt(int index, double value);
    void Set(double x, double y, double z, double w);

    // The four doubles, x first.
    operator double*();
    operator const double*() const;

    KFbxVector4& operator*=(double factor);
    KFbxVector4& operator/=(double divisor);
    KFbxVector4& operator+=(const KFbxVector4& other);
    KFbxVector4 operator*(double factor) const;
    KFbxVector4 operator/(double divisor) const;
    KFbxVector4 operator-() const;
    KFbxVector4 operator+(const KFbxVector4& other) const;
    KFbxVector4 operator-(const KFbxVector4& other) const;

    double DotProduct(const KFbxVector4& other) const;
    // w of the result is 1.0.
    KFbxVector4 CrossProduct(const KFbxVector4& other) const;
    double Length() const;
    // Makes x, y, z a unit vector (w unchanged); the zero vector stays zero.
    void Normalize();

    // True when x, y and z each differ by at most 1e-6; w plays no part.
    bool operator==(const KFbxVector4& other) const;

private:
    double mData[4];
};

}  // namespace fbxsdk_2006_11_1

#endif
