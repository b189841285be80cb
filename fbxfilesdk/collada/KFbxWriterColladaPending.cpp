// Cameras, lights and animation are not written yet: cameras and lights
// keep their node and transform without an instance, and no animation is
// written. This file goes when their export arrives.
#include <fbxfilesdk/collada/KFbxWriterCollada.h>

#include <fbxfilesdk/scene/KFbxNode.h>

namespace fbxsdk_2006_11_1 {

xmlNode* KFbxWriterCollada::ExportLibraryCameras(KFbxNode& node) { return ExportCamera(node); }

xmlNode* KFbxWriterCollada::ExportLibraryLights(KFbxNode& node) { return ExportLight(&node); }

xmlNode* KFbxWriterCollada::ExportCamera(KFbxNode& node) {
    AddNotificationWarning(KString("Camera of node ") + node.GetNameString() + " not written.");
    return nullptr;
}

xmlNode* KFbxWriterCollada::ExportLight(KFbxNode* node) {
    AddNotificationWarning(KString("Light of node ") + (node != nullptr ? node->GetNameString() : KString()) +
                           " not written.");
    return nullptr;
}

bool KFbxWriterCollada::ExportSceneAmbientLight() { return true; }

bool KFbxWriterCollada::ExportLibraryAnimations(KFbxNode& /*node*/) { return true; }

}  // namespace fbxsdk_2006_11_1
