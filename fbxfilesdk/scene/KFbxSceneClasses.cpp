// The classes of this library: their ids, and their rows in the order in
// which the first SDK manager registers them.
#include <fbxfilesdk/core/KFbxClassRegistration.h>
#include <fbxfilesdk/core/KFbxObject.h>

#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>
#include <fbxfilesdk/scene/KFbxConstraintAim.h>
#include <fbxfilesdk/scene/KFbxConstraintParent.h>
#include <fbxfilesdk/scene/KFbxConstraintPosition.h>
#include <fbxfilesdk/scene/KFbxConstraintRotation.h>
#include <fbxfilesdk/scene/KFbxConstraintScale.h>
#include <fbxfilesdk/scene/KFbxConstraintSingleChainIK.h>
#include <fbxfilesdk/scene/KFbxControlSetPlug.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxImageConverter.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>
#include <fbxfilesdk/scene/KFbxThumbnail.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

namespace fbxsdk_2006_11_1 {

// Defined here rather than with each class, so that a program using any of
// these classes also links their rows below.
KFbxClassId KFbxThumbnail::ClassId;
KFbxClassId KFbxSceneInfo::ClassId;
KFbxClassId KFbxImageConverter::ClassId;
KFbxClassId KFbxScene::ClassId;
KFbxClassId KFbxPose::ClassId;
KFbxClassId KFbxControlSetPlug::ClassId;
KFbxClassId KFbxCharacterPose::ClassId;
KFbxClassId KFbxGlobalSettings::ClassId;
KFbxClassId KFbxNodeAttribute::ClassId;
KFbxClassId KFbxNode::ClassId;
KFbxClassId KFbxGenericNode::ClassId;
KFbxClassId KFbxVideo::ClassId;
KFbxClassId KFbxConstraint::ClassId;
KFbxClassId KFbxConstraintAim::ClassId;
KFbxClassId KFbxConstraintParent::ClassId;
KFbxClassId KFbxConstraintPosition::ClassId;
KFbxClassId KFbxConstraintRotation::ClassId;
KFbxClassId KFbxConstraintScale::ClassId;
KFbxClassId KFbxCharacter::ClassId;
KFbxClassId KFbxConstraintSingleChainIK::ClassId;
KFbxClassId KFbxNull::ClassId;
KFbxClassId KFbxMarker::ClassId;
KFbxClassId KFbxCamera::ClassId;
KFbxClassId KFbxCameraSwitcher::ClassId;
KFbxClassId KFbxLight::ClassId;
KFbxClassId KFbxSkeleton::ClassId;

namespace {

// The object rules of the base library reach these classes through their ids.
void InstallSceneClassIds() {
    KFbxSceneClassIds ids = KFbxGetSceneClassIds();
    ids.mScene = KFbxScene::ClassId;
    ids.mNode = KFbxNode::ClassId;
    ids.mNodeAttribute = KFbxNodeAttribute::ClassId;
    ids.mConstraint = KFbxConstraint::ClassId;
    KFbxSetSceneClassIds(ids);
}

constexpr KFbxClassRegistrationPlace kRows[] = {
    {3, {"KFbxThumbnail", "KFbxObject", &KFbxThumbnail::ClassId, &KFbxThumbnail::CreateFn}},
    {4, {"KFbxSceneInfo", "KFbxObject", &KFbxSceneInfo::ClassId, &KFbxSceneInfo::CreateFn}},
    {6, {"KFbxImageConverter", "KFbxObject", &KFbxImageConverter::ClassId, &KFbxImageConverter::CreateFn}},
    {7, {"KFbxScene", "KFbxObject", &KFbxScene::ClassId, &KFbxScene::CreateFn}},
    {9, {"KFbxPose", "KFbxObject", &KFbxPose::ClassId, &KFbxPose::CreateFn}},
    {10, {"KFbxControlSetPlug", "KFbxObject", &KFbxControlSetPlug::ClassId, &KFbxControlSetPlug::CreateFn}},
    {11, {"KFbxCharacterPose", "KFbxObject", &KFbxCharacterPose::ClassId, &KFbxCharacterPose::CreateFn}},
    {13, {"KFbxGlobalSettings", "KFbxObject", &KFbxGlobalSettings::ClassId, &KFbxGlobalSettings::CreateFn}},
    {16, {"KFbxNodeAttribute", "KFbxObject", &KFbxNodeAttribute::ClassId, &KFbxNodeAttribute::CreateFn}},
    {37, {"KFbxNode", "KFbxTakeNodeContainer", &KFbxNode::ClassId, &KFbxNode::CreateFn}},
    {38, {"KFbxGenericNode", "KFbxTakeNodeContainer", &KFbxGenericNode::ClassId, &KFbxGenericNode::CreateFn}},
    {41, {"KFbxVideo", "KFbxTakeNodeContainer", &KFbxVideo::ClassId, &KFbxVideo::CreateFn}},
    {44, {"KFbxConstraint", "KFbxTakeNodeContainer", &KFbxConstraint::ClassId, &KFbxConstraint::CreateFn}},
    {48, {"KFbxConstraintAim", "KFbxConstraint", &KFbxConstraintAim::ClassId, &KFbxConstraintAim::CreateFn}},
    {49, {"KFbxConstraintParent", "KFbxConstraint", &KFbxConstraintParent::ClassId, &KFbxConstraintParent::CreateFn}},
    {50, {"KFbxConstraintPosition", "KFbxConstraint", &KFbxConstraintPosition::ClassId, &KFbxConstraintPosition::CreateFn}},
    {51, {"KFbxConstraintRotation", "KFbxConstraint", &KFbxConstraintRotation::ClassId, &KFbxConstraintRotation::CreateFn}},
    {52, {"KFbxConstraintScale", "KFbxConstraint", &KFbxConstraintScale::ClassId, &KFbxConstraintScale::CreateFn}},
    {53, {"KFbxCharacter", "KFbxConstraint", &KFbxCharacter::ClassId, &KFbxCharacter::CreateFn}},
    {54, {"KFbxConstraintSingleChainIK", "KFbxConstraint", &KFbxConstraintSingleChainIK::ClassId, &KFbxConstraintSingleChainIK::CreateFn}},
    {55, {"KFbxNull", "KFbxNodeAttribute", &KFbxNull::ClassId, &KFbxNull::CreateFn}},
    {56, {"KFbxMarker", "KFbxNodeAttribute", &KFbxMarker::ClassId, &KFbxMarker::CreateFn}},
    {57, {"KFbxCamera", "KFbxNodeAttribute", &KFbxCamera::ClassId, &KFbxCamera::CreateFn}},
    {58, {"KFbxCameraSwitcher", "KFbxNodeAttribute", &KFbxCameraSwitcher::ClassId, &KFbxCameraSwitcher::CreateFn}},
    {59, {"KFbxLight", "KFbxNodeAttribute", &KFbxLight::ClassId, &KFbxLight::CreateFn}},
    {60, {"KFbxSkeleton", "KFbxNodeAttribute", &KFbxSkeleton::ClassId, &KFbxSkeleton::CreateFn}},
};

const KFbxClassRows kClassRows(kRows, InstallSceneClassIds);

}  // namespace

}  // namespace fbxsdk_2006_11_1
