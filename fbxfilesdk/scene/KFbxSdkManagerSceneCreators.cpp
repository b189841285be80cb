// The manager's creators of constraints and camera switchers.
#include <fbxfilesdk/core/KFbxSdkManager.h>

#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxConstraintAim.h>
#include <fbxfilesdk/scene/KFbxConstraintParent.h>
#include <fbxfilesdk/scene/KFbxConstraintPosition.h>
#include <fbxfilesdk/scene/KFbxConstraintRotation.h>
#include <fbxfilesdk/scene/KFbxConstraintScale.h>
#include <fbxfilesdk/scene/KFbxConstraintSingleChainIK.h>

namespace fbxsdk_2006_11_1 {

KFbxConstraint* KFbxSdkManager::CreateConstraint(const char* name, int kind) {
    switch (kind) {
    case KFbxConstraint::ePOSITION:
        return KFbxConstraintPosition::Create(this, name);
    case KFbxConstraint::eROTATION:
        return KFbxConstraintRotation::Create(this, name);
    case KFbxConstraint::eSCALE:
        return KFbxConstraintScale::Create(this, name);
    case KFbxConstraint::ePARENT:
        return KFbxConstraintParent::Create(this, name);
    case KFbxConstraint::eSINGLECHAIN_IK:
        return KFbxConstraintSingleChainIK::Create(this, name);
    case KFbxConstraint::eAIM:
        return KFbxConstraintAim::Create(this, name);
    default:
        return nullptr;
    }
}

KFbxCameraSwitcher* KFbxSdkManager::CreateCameraSwitcher() { return KFbxCameraSwitcher::Create(this, ""); }

}  // namespace fbxsdk_2006_11_1
