// The three-double values of typed properties: KgeTVector for positions,
// rotations and scalings, KgeRGBVector for colours. They share one shape but
// stay distinct types, so a property's value type tells which one it holds.
// Read as four doubles they carry a fourth component of 1.0.
#ifndef FBXFILESDK_CORE_KGETVECTOR_H
#define FBXFILESDK_CORE_KGETVECTOR_H

#include <fbxfilesdk/core/KFbxVector4.h>

namespace fbxsdk_2006_11_1 {

class KgeDouble3Value {
public:
    // (0, 0, 0).
    KgeDouble3Value();
    KgeDouble3Value(double x, double y, double z);
    // x, y and z of the vector; its w is dropped.
    explicit KgeDouble3Value(const KFbxVector4& vector);

    // Component access by index 0 to 2; the index is the caller's to keep in range.
    double& operator[](int index);
    const double& operator[](int index) const;
    // x, y, z and 1.0.
    KFbxVector4 ToVector4() const;

private:
    double mData[3];
};

class KgeTVector : public KgeDouble3Value {
public:
    using KgeDouble3Value::KgeDouble3Value;
};

class KgeRGBVector : public KgeDouble3Value {
public:
    using KgeDouble3Value::KgeDouble3Value;
};

}  // namespace fbxsdk_2006_11_1

#endif
