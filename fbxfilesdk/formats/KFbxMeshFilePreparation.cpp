#include <fbxfilesdk/formats/KFbxMeshFilePreparation.h>

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/fbx/KFbxWriter.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneRenamer.h>

#include <charconv>

namespace fbxsdk_2006_11_1 {

bool KFbxMeshFilePreparation::PreprocessScene(KFbxScene& scene, KFbxSceneNameSnapshot& names) {
    names.Remember(scene);
    KFbxSceneRenamer(&scene).RenameFor(KFbxSceneRenamer::eDXF_3DS_OBJ);
    return true;
}

void KFbxMeshFilePreparation::RestoreScene(KFbxScene& scene, KFbxSceneNameSnapshot& names) { names.Restore(scene); }

KFbxMeshFilePreparation::RenamedScene::RenamedScene(KFbxScene& scene) : mScene(&scene) {
    PreprocessScene(scene, mNames);
}

void KFbxMeshFilePreparation::RenamedScene::Restore() {
    if (mScene != nullptr) {
        RestoreScene(*mScene, mNames);
        mScene = nullptr;
    }
}

KFbxNode* KFbxMeshFilePreparation::BeginWrite(ErrorHolder& error, KFbxStreamOptions* own, bool fileOpen,
                                              KFbxScene* scene, bool& triangulate, bool& deformation) {
    error.ClearError();
    if (own == nullptr) {
        error.SetError(KFbxWriter::eSTREAM_OPTIONS_NOT_SET);
        return nullptr;
    }
    if (!fileOpen) {
        error.SetError(KFbxWriter::eFILE_NOT_OPENED);
        return nullptr;
    }
    KFbxNode* root = scene != nullptr ? scene->GetRootNode() : nullptr;
    if (root == nullptr) {
        error.SetErrorWithText(KFbxWriter::eUNIDENTIFIED_ERROR, "No scene to write");
        return nullptr;
    }
    triangulate = own->GetBoolOption("TRIANGULATE", true);
    deformation = own->GetBoolOption("DEFORMATION", true);
    return root;
}

void KFbxMeshFilePreparation::TellNotFinite(KString& message, const char* what, const char* name, int count) {
    if (count <= 0) return;
    char digits[16];
    *std::to_chars(digits, digits + sizeof digits - 1, count).ptr = '\0';
    message += "The ";
    message += what;
    message += " \"";
    message += name;
    message += "\" has ";
    message += digits;
    message += " values that are not finite numbers; they are written as 0.\n";
}

}  // namespace fbxsdk_2006_11_1
