// The entries of the "Relations" section of FBX 6 files: one empty record per
// exported object, naming it and its type.
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxSubDeformer.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

namespace fbxsdk_2006_11_1 {

namespace {

void WriteEntry(KFbx& file, const char* field, const KString& name, const char* typeName) {
    file.FieldWriteBegin(field);
    file.FieldWriteS(name);
    file.FieldWriteS(typeName);
    file.FieldWriteBlockBegin();
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
}

void WriteObjectEntry(KFbx& file, const char* field, const KFbxObject& object) {
    WriteEntry(file, field, object.GetNameWithTypePrefix(), object.GetTypeName());
}

// The scene's sources of the class; none for a class the manager does not
// know, whose null id would stand for every object.
int SourceCount(const KFbxScene& scene, const KFbxClassId& classId) {
    return classId == KFbxClassId() ? 0 : scene.GetSrcObjectCount(classId);
}

// One entry per source of the scene of the class, in connection order.
void WriteSourceEntries(KFbx& file, const char* field, const KFbxScene& scene, const KFbxClassId& classId) {
    const int count = SourceCount(scene, classId);
    for (int i = 0; i < count; ++i) {
        if (const KFbxObject* object = scene.GetSrcObject(classId, i)) WriteObjectEntry(file, field, *object);
    }
}

}  // namespace

void KFbxWriterFbx6::WriteModelRelation(KFbxNode& node) { WriteObjectEntry(*mFbx, "Model", node); }

void KFbxWriterFbx6::WriteModelRelations(KFbxScene& scene) {
    for (KFbxNode* node : GetModelNodes(scene)) {
        if (node != scene.GetRootNode() && node != scene.GetCameraSwitcherNode()) {
            WriteModelRelation(*node);
        }
    }
}

void KFbxWriterFbx6::WriteMaterialRelations(KFbxScene& scene) {
    WriteSourceEntries(*mFbx, "Material", scene, KFbxSurfaceMaterial::ClassId);
}

void KFbxWriterFbx6::WriteTextureRelations(KFbxScene& scene) {
    const int count = SourceCount(scene, KFbxTexture::ClassId);
    for (int i = 0; i < count; ++i) {
        if (const KFbxObject* texture = scene.GetSrcObject(KFbxTexture::ClassId, i)) {
            WriteEntry(*mFbx, "Texture", KFbxReplaceTypePrefix(KString("Texture::"), texture->GetNameString()),
                       texture->GetTypeName());
        }
    }
}

void KFbxWriterFbx6::WriteVideoRelations(KFbxScene& scene) {
    for (int i = 0; i < scene.GetVideoCount(); ++i) {
        if (const KFbxVideo* video = scene.GetVideo(i)) WriteObjectEntry(*mFbx, "Video", *video);
    }
}

void KFbxWriterFbx6::WriteDeformerRelations(KFbxScene* scene) {
    if (scene == nullptr) return;
    WriteSourceEntries(*mFbx, "Deformer", *scene, KFbxDeformer::ClassId);
    WriteSourceEntries(*mFbx, "Deformer", *scene, KFbxSubDeformer::ClassId);
}

// Character poses are listed nowhere: this file format has no record of the
// scene a character pose holds, and a relation without its object would
// name a pose that no reader finds.
void KFbxWriterFbx6::WritePoseRelations(KFbxScene& scene) {
    for (int i = 0; i < scene.GetPoseCount(); ++i) {
        if (const KFbxPose* pose = scene.GetPose(i)) WriteObjectEntry(*mFbx, "Pose", *pose);
    }
}

void KFbxWriterFbx6::WriteSceneInfoRelation(KFbxScene& scene) {
    if (scene.GetSceneInfo() == nullptr) return;
    WriteEntry(*mFbx, "SceneInfo", KString("SceneInfo::GlobalInfo"), "UserData");
}

void KFbxWriterFbx6::WriteConstraintRelations(KFbxScene& scene) {
    const bool characters = IsOptionOn("CHARACTER");
    const bool constraints = IsOptionOn("CONSTRAINT");
    const int count = SourceCount(scene, KFbxConstraint::ClassId);
    for (int i = 0; i < count; ++i) {
        const auto* constraint = static_cast<const KFbxConstraint*>(scene.GetSrcObject(KFbxConstraint::ClassId, i));
        if (constraint == nullptr) continue;
        const bool isCharacter = constraint->GetConstraintType() == KFbxConstraint::eCHARACTER_CONSTRAINT;
        if (isCharacter ? characters : constraints) WriteObjectEntry(*mFbx, "Constraint", *constraint);
    }
}

}  // namespace fbxsdk_2006_11_1
