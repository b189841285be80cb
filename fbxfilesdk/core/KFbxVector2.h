// Two doubles (u, v): a texture coordinate.
#ifndef FBXFILESDK_CORE_KFBXVECTOR2_H
#define FBXFILESDK_CORE_KFBXVECTOR2_H

namespace fbxsdk_2006_11_1 {

class KFbxVector2 {
public:
    // (0, 0). Inline, as arrays of millions of vectors are built item by item.
    KFbxVector2() : mData{0.0, 0.0} {}
    KFbxVector2(double u, double v) : mData{u, v} {}
    KFbxVector2(const KFbxVector2& other) = default;
    KFbxVector2& operator=(const KFbxVector2& other) = default;

    // 0 is u, 1 is v; the index is the caller's to keep in range.
    double& operator[](int index);
    const double& operator[](int index) const;
    void Set(double u, double v);

    // True when either component differs, compared exactly.
    bool operator!=(const KFbxVector2& other) const;

private:
    double mData[2];
};

}  // namespace fbxsdk_2006_11_1

#endif
