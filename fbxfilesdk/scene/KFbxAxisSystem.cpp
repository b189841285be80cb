#include <fbxfilesdk/scene/KFbxAxisSystem.h>

namespace fbxsdk_2006_11_1 {

// constinit: the systems are in the image before any code runs, so no static
// initialiser can observe them unset.
constinit const KFbxAxisSystem KFbxAxisSystem::ZUpRightHandedA(3, -2, 0);
constinit const KFbxAxisSystem KFbxAxisSystem::ZUpRightHandedB(3, -2, 0);
constinit const KFbxAxisSystem KFbxAxisSystem::YUpRightHandedA(2, 2, 0);
constinit const KFbxAxisSystem KFbxAxisSystem::YUpRightHandedB(2, 2, 0);
constinit const KFbxAxisSystem KFbxAxisSystem::YUpRightHandedC(2, 2, 0);
constinit const KFbxAxisSystem KFbxAxisSystem::YUpLeftHandedA(2, 2, 1);
constinit const KFbxAxisSystem KFbxAxisSystem::YUpLeftHandedB(2, 2, 1);

int KFbxAxisSystem::GetUpVector(int& sign) const {
    sign = mUpVector < 0 ? -1 : 1;
    return mUpVector < 0 ? -mUpVector : mUpVector;
}

int KFbxAxisSystem::GetCoordSystem() const { return mCoordSystem; }

}  // namespace fbxsdk_2006_11_1
