// The four-double colour value of typed properties: red, green, blue and alpha.
#ifndef FBXFILESDK_CORE_KGERGBAVECTOR_H
#define FBXFILESDK_CORE_KGERGBAVECTOR_H

namespace fbxsdk_2006_11_1 {

class KgeRGBAVector {
public:
    // (0, 0, 0, 0).
    KgeRGBAVector();
    KgeRGBAVector(double red, double green, double blue, double alpha);

    // Component access by index 0 to 3; the index is the caller's to keep in range.
    double& operator[](int index);
    const double& operator[](int index) const;

private:
    double mData[4];
};

}  // namespace fbxsdk_2006_11_1

#endif
