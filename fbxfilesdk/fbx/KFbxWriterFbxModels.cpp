// The "Model" records of FBX 5 files and their take records: the node tree
// depth first, each model's body and attribute, the camera switcher.
#include <fbxfilesdk/fbx/KFbxWriterFbx.h>

#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxNodeWalk.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr char kRule[] = "----------------------------------------------------";

void WriteSectionComments(KFbx& file, const char* title) {
    file.WriteComment(title);
    file.WriteComment(kRule);
    file.WriteComment("");
}

}  // namespace

void KFbxWriterFbx::WriteModelTree(KFbxNode& node) {
    StepProgress("");
    KFbxForEachNodeBelow(node, [this](KFbxNode& descendant) {
        WriteModel(descendant);
        StepProgress("");
    });
}

void KFbxWriterFbx::WriteModel(KFbxNode& node) {
    mFbx->FieldWriteBegin("Model");
    mFbx->FieldWriteS(node.GetNameWithTypePrefix());
    mFbx->FieldWriteBlockBegin();
    WriteModelBody(node);
    WriteDefaultChannels(node);
    WriteChildren(node);
    WriteModelEnd();
}

void KFbxWriterFbx::WriteModelBody(KFbxNode& node) {
    WriteIntRecord(*mFbx, "Version", 194);
    WriteModelMultiLayer(node);
    WriteModelShading(node);
    WriteModelCulling(node);
    WriteLimits(node);
    WriteLookAtAndUpVector(node);
    WriteAnimatedProperties(node);
    WriteNodeAttribute(node);
    WriteNodeProperties(node);
}

void KFbxWriterFbx::WriteChildren(KFbxNode& node) {
    const int count = node.GetChildCount();
    if (count == 0) {
        return;
    }
    mFbx->FieldWriteBegin("Children");
    for (int i = 0; i < count; ++i) {
        const KFbxNode* child = node.GetChild(i);
        mFbx->FieldWriteS(child != nullptr ? child->GetNameWithTypePrefix() : KString(""));
    }
    mFbx->FieldWriteEnd();
}

void KFbxWriterFbx::WriteCameraSwitcher(KFbxScene& scene) {
    std::vector<KFbxNode*> cameras;
    scene.FillNodeArrayByAttributeType(cameras, KFbxNodeAttribute::eCAMERA, true);
    if (cameras.empty()) {
        return;
    }
    mFbx->FieldWriteBegin("Switcher");
    mFbx->FieldWriteBlockBegin();
    if (KFbxNode* switcher = scene.GetCameraSwitcherNode()) {
        WriteModelBody(*switcher);
    }
    mFbx->FieldWriteBegin("CameraIndexName");
    for (const KFbxNode* camera : cameras) {
        mFbx->FieldWriteS(camera->GetNameWithTypePrefix());
    }
    mFbx->FieldWriteEnd();
    CloseFieldBlock(*mFbx);
}

void KFbxWriterFbx::WriteModelsAnimation(KFbxNode& node, const char* takeName) {
    KFbxForEachNodeBelow(node, [this, takeName](KFbxNode& descendant) {
        StepProgress("");
        WriteTakeObject(descendant, takeName, "Model", false);
    });
}

void KFbxWriterFbx::WriteTakeObjects(KFbxScene& scene, const char* takeName) {
    WriteSectionComments(*mFbx, "Models animation");
    if (KFbxNode* switcher = scene.GetCameraSwitcherNode()) {
        WriteTakeObject(*switcher, takeName, "Model", false);
    }
    if (KFbxNode* root = scene.GetRootNode()) {
        WriteModelsAnimation(*root, takeName);
    }
    WriteSectionComments(*mFbx, "Textures animation");
    for (int i = 0; i < scene.GetTextureCount(); ++i) {
        StepProgress("");
        if (KFbxTexture* texture = scene.GetTexture(i)) {
            WriteTakeObject(*texture, takeName, "Texture", false);
        }
    }
    WriteSectionComments(*mFbx, "Materials animation");
    for (int i = 0; i < scene.GetMaterialCount(); ++i) {
        StepProgress("");
        if (KFbxSurfaceMaterial* material = scene.GetMaterial(i)) {
            WriteTakeObject(*material, takeName, "Material", true);
        }
    }
}

}  // namespace fbxsdk_2006_11_1
