#include <fbxfilesdk/core/KgeTVector.h>

namespace fbxsdk_2006_11_1 {

KgeDouble3Value::KgeDouble3Value() : mData{0.0, 0.0, 0.0} {}

KgeDouble3Value::KgeDouble3Value(double x, double y, double z) : mData{x, y, z} {}

KgeDouble3Value::KgeDouble3Value(const KFbxVector4& vector) : mData{vector[0], vector[1], vector[2]} {}

double& KgeDouble3Value::operator[](int index) { return mData[index]; }
const double& KgeDouble3Value::operator[](int index) const { return mData[index]; }

KFbxVector4 KgeDouble3Value::ToVector4() const { return KFbxVector4(mData[0], mData[1], mData[2], 1.0); }

}  // namespace fbxsdk_2006_11_1
