// The objects of one take in the "Takes" section of FBX 6 files: models,
// generic nodes, textures, materials and constraints.
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr char kRule[] = "----------------------------------------------------";

}  // namespace

void KFbxWriterFbx6::WriteTakeObjects(KFbxScene& scene, const char* take) {
    KFbx& file = *mFbx;
    auto banner = [&file](const char* title) {
        file.WriteComment("");
        file.WriteComment(title);
        file.WriteComment(kRule);
    };
    // Every source of the scene of the class, each a step of the pass.
    auto writeSources = [&](const KFbxClassId& classId, const char* kind, bool shininess) {
        // A class the manager does not know (none registered) has no objects.
        const int count = classId == KFbxClassId() ? 0 : scene.GetSrcObjectCount(classId);
        for (int i = 0; i < count; ++i) {
            StepProgress("");
            KFbxObject* object = scene.GetSrcObject(classId, i);
            if (object != nullptr) WriteObjectTake(*object, take, kind, shininess);
        }
    };

    banner("Models animation");
    if (KFbxNode* switcher = scene.GetCameraSwitcherNode()) WriteObjectTake(*switcher, take, "Model", false);
    for (KFbxNode* node : GetModelNodes(scene)) {
        StepProgress("");
        WriteObjectTake(*node, take, "Model", false);
    }
    banner("Generic nodes animation");
    for (int i = 0; i < scene.GetGenericNodeCount(); ++i) {
        if (KFbxGenericNode* node = scene.GetGenericNode(i)) WriteObjectTake(*node, take, "GenericNode", false);
    }
    banner("Textures animation");
    writeSources(KFbxTexture::ClassId, "Texture", false);
    banner("Materials animation");
    file.WriteComment("");
    writeSources(KFbxSurfaceMaterial::ClassId, "Material", true);
    banner("Constraints animation");
    writeSources(KFbxConstraint::ClassId, "Constraint", false);
}

}  // namespace fbxsdk_2006_11_1
