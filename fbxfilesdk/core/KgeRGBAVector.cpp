#include <fbxfilesdk/core/KgeRGBAVector.h>

namespace fbxsdk_2006_11_1 {

KgeRGBAVector::KgeRGBAVector() : mData{0.0, 0.0, 0.0, 0.0} {}

KgeRGBAVector::KgeRGBAVector(double red, double green, double blue, double alpha)
    : mData{red, green, blue, alpha} {}

double& KgeRGBAVector::operator[](int index) { return mData[index]; }

const double& KgeRGBAVector::operator[](int index) const { return mData[index]; }

}  // namespace fbxsdk_2006_11_1
