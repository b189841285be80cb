// The attribute contents of camera, light and skeleton models.
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>

namespace fbxsdk_2006_11_1 {

namespace {

void WriteVector3Field(KFbx& fbx, const char* name, const KFbxVector4& vector) {
    const double xyz[3] = {vector[0], vector[1], vector[2]};
    fbx.FieldWriteBegin(name);
    fbx.FieldWriteVector3(xyz);
    fbx.FieldWriteEnd();
}

}  // namespace

bool KFbxWriterFbx6::WriteCamera(KFbxCamera& camera) {
    KFbxNode* node = camera.GetNode();
    if (node == nullptr) {
        return false;
    }
    WriteTypeFlags(*node);
    WriteIntRecord(*mFbx, "GeometryVersion", 124);
    WriteVector3Field(*mFbx, "Position", camera.GetPosition());
    WriteVector3Field(*mFbx, "Up", camera.GetUpVector());
    WriteVector3Field(*mFbx, "LookAt", camera.GetLookAt());
    WriteIntRecord(*mFbx, "ShowInfoOnMoving", camera.GetShowInfoOnMoving() ? 1 : 0);
    WriteIntRecord(*mFbx, "ShowAudio", camera.GetShowAudio() ? 1 : 0);
    const KFbxColor audio = camera.GetAudioColor();
    const double rgb[3] = {audio.mRed, audio.mGreen, audio.mBlue};
    mFbx->FieldWriteBegin("AudioColor");
    mFbx->FieldWriteVector3(rgb);
    mFbx->FieldWriteEnd();
    mFbx->FieldWriteBegin("CameraOrthoZoom");
    mFbx->FieldWriteD(camera.GetOrthoZoom());
    mFbx->FieldWriteEnd();
    return true;
}

bool KFbxWriterFbx6::WriteLight(KFbxLight& /*light*/) {
    // Every other light value travels in the model's property block.
    mFbx->FieldWriteBegin("TypeFlags");
    mFbx->FieldWriteS("Light");
    mFbx->FieldWriteEnd();
    WriteIntRecord(*mFbx, "GeometryVersion", 124);
    return true;
}

bool KFbxWriterFbx6::WriteSkeletonAttribute(KFbxSkeleton& skeleton) {
    KFbxNode* node = skeleton.GetNode();
    const int type = skeleton.GetSkeletonType();
    if (node == nullptr || type < KFbxSkeleton::eROOT || type > KFbxSkeleton::eEFFECTOR) {
        return false;
    }
    WriteTypeFlags(*node);
    return true;
}

}  // namespace fbxsdk_2006_11_1
