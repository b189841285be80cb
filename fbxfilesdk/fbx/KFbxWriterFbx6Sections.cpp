// The top-level sections of an FBX 6 file around the object records:
// "Definitions", "Objects", "Relations" and "Connections".
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxPlug.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KProgress.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxCache.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSubDeformer.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>
#include <fbxfilesdk/scene/KFbxControlSetPlug.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include <filesystem>
#include <set>
#include <system_error>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

// The cameras every file carries for the viewer.
constexpr int kProducerCameraCount = KFbxGlobalCameraSettings::ePRODUCER_CAMERA_COUNT;

int SourceCount(const KFbxScene* scene, const KFbxClassId& classId) {
    // A class that is not registered has a null id, which would match every object.
    if (scene == nullptr || classId == KFbxClassId()) {
        return 0;
    }
    return scene->GetSrcObjectCount(classId);
}

KFbxObject* SourceAt(const KFbxScene& scene, const KFbxClassId& classId, int index) {
    return classId == KFbxClassId() ? nullptr : scene.GetSrcObject(classId, index);
}

void WriteObjectType(KFbx& fbx, const char* kind, int count) {
    fbx.FieldWriteBegin("ObjectType");
    fbx.FieldWriteS(kind);
    fbx.FieldWriteBlockBegin();
    WriteIntRecord(fbx, "Count", count);
    fbx.FieldWriteBlockEnd();
    fbx.FieldWriteEnd();
}

// The record head shared by every object kind: kind, prefixed name, type name.
void BeginObjectRecord(KFbx& fbx, const char* kind, const KFbxObject& object) {
    fbx.FieldWriteBegin(kind);
    fbx.FieldWriteS(object.GetNameWithTypePrefix());
    fbx.FieldWriteS(object.GetTypeName());
    fbx.FieldWriteBlockBegin();
}

void EndRecord(KFbx& fbx) {
    fbx.FieldWriteBlockEnd();
    fbx.FieldWriteEnd();
}

}  // namespace

void KFbxWriterFbx6::BeginSection(const char* title, const char* name) {
    mFbx->WriteComment("");
    mFbx->WriteComment(title);
    mFbx->WriteComment(std::string(66, '-').c_str());
    mFbx->WriteComment("");
    mFbx->FieldWriteBegin(name);
    mFbx->FieldWriteBlockBegin();
}

bool KFbxWriterFbx6::IsStandaloneGeometry(const KFbxObject* object) {
    if (object == nullptr || !object->Is(KFbxNodeAttribute::ClassId) || !object->Is(KFbxGeometry::ClassId) ||
        object->Is(KFbxMesh::ClassId)) {
        return false;
    }
    // Patches and NURBS surfaces are written inside their models; they are
    // told by their attribute type.
    const int type = static_cast<const KFbxNodeAttribute*>(object)->GetAttributeType();
    return type != KFbxNodeAttribute::eNURB && type != KFbxNodeAttribute::ePATCH;
}

int KFbxWriterFbx6::ConstraintDefinitionCount(KFbxScene& scene) const {
    if (!IsOptionOn("CHARACTER") && !IsOptionOn("CONSTRAINT")) {
        return -1;
    }
    return GetWrittenConstraintCount(scene);
}

void KFbxWriterFbx6::WriteDefinitions(KFbxScene* scene) {
    const bool modelOn = IsOptionOn("MODEL");
    const bool characterOn = IsOptionOn("CHARACTER");
    const int nodeCount = scene != nullptr ? static_cast<int>(GetModelNodes(*scene).size()) : 0;
    const int models = scene != nullptr ? nodeCount - 1 + kProducerCameraCount : 0;
    const int geometries = modelOn ? SourceCount(scene, KFbxGeometry::ClassId) : 0;
    const int weightedMaps = modelOn ? SourceCount(scene, KFbxGeometryWeightedMap::ClassId) : 0;
    const int materials = IsOptionOn("MATERIAL") ? SourceCount(scene, KFbxSurfaceMaterial::ClassId) : 0;
    const int textures = IsOptionOn("TEXTURE") ? SourceCount(scene, KFbxTexture::ClassId) : 0;
    const int videos = IsOptionOn("MEDIA") && scene != nullptr ? scene->GetVideoCount() : 0;
    const bool linkOn = IsOptionOn("LINK");
    const int deformers =
        linkOn ? SourceCount(scene, KFbxDeformer::ClassId) + SourceCount(scene, KFbxSubDeformer::ClassId) : 0;
    const int caches = linkOn ? SourceCount(scene, KFbxCache::ClassId) : 0;
    const int poses = scene != nullptr ? scene->GetPoseCount() : 0;
    // Character poses have no record in this format (see WritePoseRelations).
    const int characterPoses = 0;
    const int controlSetPlugs = scene != nullptr ? scene->GetControlSetPlugCount() : 0;
    const int characters = scene != nullptr ? scene->GetCharacterCount() : 0;
    const int genericNodes = scene != nullptr ? scene->GetGenericNodeCount() : 0;
    const int sceneInfo = scene != nullptr && scene->GetSceneInfo() != nullptr ? 1 : 0;
    int total = models + genericNodes + geometries + weightedMaps + materials + textures + videos + deformers +
                caches + sceneInfo + poses;
    if (characterOn) {
        total += characterPoses + characters + controlSetPlugs;
    }

    BeginSection(" Object definitions", "Definitions");
    WriteIntRecord(*mFbx, "Version", 100);
    WriteIntRecord(*mFbx, "Count", total);
    if (models > 0) {
        WriteObjectType(*mFbx, "Model", models);
    }
    if (geometries > 0) {
        WriteObjectType(*mFbx, "Geometry", geometries);
    }
    if (weightedMaps > 0) {
        WriteObjectType(*mFbx, "GeometryWeightedMap", weightedMaps);
    }
    if (genericNodes != 0) {
        WriteObjectType(*mFbx, "GenericNode", genericNodes);
    }
    if (materials != 0) {
        WriteObjectType(*mFbx, "Material", materials);
    }
    if (textures != 0) {
        WriteObjectType(*mFbx, "Texture", textures);
    }
    if (videos != 0) {
        WriteObjectType(*mFbx, "Video", videos);
    }
    if (sceneInfo != 0) {
        WriteObjectType(*mFbx, "SceneInfo", 1);
    }
    if (deformers != 0) {
        WriteObjectType(*mFbx, "Deformer", deformers);
    }
    if (caches != 0) {
        WriteObjectType(*mFbx, "Cache", caches);
    }
    if (poses != 0 || (characterOn && characterPoses != 0)) {
        WriteObjectType(*mFbx, "Pose", poses + (characterOn ? characterPoses : 0));
    }
    if (characterOn && controlSetPlugs > 0) {
        WriteObjectType(*mFbx, "ControlSetPlug", controlSetPlugs);
    }
    if (scene != nullptr) {
        const int constraints = ConstraintDefinitionCount(*scene);
        if (constraints > 0) {
            WriteObjectType(*mFbx, "Constraint", constraints);
        }
    }
    WriteObjectType(*mFbx, "GlobalSettings", 1);
    EndRecord(*mFbx);
}

void KFbxWriterFbx6::WriteObjects(KFbxScene* scene) {
    BeginSection(" Object properties", "Objects");
    if (scene != nullptr) {
        StartProgress("Storing models", SourceCount(scene, KFbxGeometry::ClassId) +
                                            SourceCount(scene, KFbxGeometryWeightedMap::ClassId) +
                                            SourceCount(scene, KFbxCache::ClassId) +
                                            static_cast<int>(GetModelNodes(*scene).size()) +
                                            scene->GetGenericNodeCount() + 6);
        if (scene->GetRootNode() != nullptr) {
            WriteModels(*scene);
        }
        if (IsOptionOn("MODEL")) {
            WriteStandaloneGeometries(*scene);
            WriteWeightedMaps(*scene);
        }
        WriteProducerCameras(*scene);
        WriteGenericNodes(*scene);
        WriteSceneInfo(scene->GetSceneInfo());
        WritePoses(*scene);
        WriteMaterials(*scene);
        WriteDeformers(*scene);
        WriteVideos(*scene);
        WriteTextures(*scene);
        WriteCaches(*scene);
        if (IsOptionOn("CHARACTER")) {
            WriteControlSetPlugs(*scene);
        }
        if (IsOptionOn("CONSTRAINT") || IsOptionOn("CHARACTER")) {
            WriteConstraints(*scene);
        }
        if (KFbxGlobalSettings* settings = scene->GetGlobalSettings()) {
            WriteGlobalSettings(*settings);
        }
        if (IProgress* progress = KProgress::GetGlobal()) {
            progress->Step();
        }
    }
    EndRecord(*mFbx);
}

const std::vector<KFbxNode*>& KFbxWriterFbx6::GetModelNodes(KFbxScene& scene) {
    if (&scene != mModelScene) {
        GatherModels(scene);
    }
    return mModels;
}

void KFbxWriterFbx6::GatherModels(KFbxScene& scene) {
    mModels.clear();
    mHeldModels.clear();
    const int count = scene.GetNodeCount();
    mModels.reserve(static_cast<std::size_t>(count));
    mHeldModels.reserve(static_cast<std::size_t>(count + kProducerCameraCount));
    for (int i = 0; i < count; ++i) {
        if (KFbxNode* node = scene.GetNode(i); node != nullptr && mHeldModels.insert(node).second) {
            mModels.push_back(node);
        }
    }
    // A node linked under this scene's tree while another scene lists it is
    // written here too: the link alone would leave it and its subtree out.
    std::vector<KFbxNode*> pending;
    if (KFbxNode* root = scene.GetRootNode()) {
        pending.push_back(root);
    }
    while (!pending.empty()) {
        KFbxNode* node = pending.back();
        pending.pop_back();
        if (mHeldModels.insert(node).second) {
            mModels.push_back(node);
        }
        for (int i = node->GetChildCount() - 1; i >= 0; --i) {
            if (KFbxNode* child = node->GetChild(i)) {
                pending.push_back(child);
            }
        }
    }
    const KFbxGlobalCameraSettings& cameras = scene.GetGlobalCameraSettings();
    for (int which = 0; which < kProducerCameraCount; ++which) {
        if (const KFbxNode* camera = cameras.GetProducerCameraNode(which)) {
            mHeldModels.insert(camera);
        }
    }
}

void KFbxWriterFbx6::WriteModels(KFbxScene& scene) {
    KFbxNode* root = scene.GetRootNode();
    for (KFbxNode* node : GetModelNodes(scene)) {
        if (node == root) {
            continue;
        }
        StepProgress("Storing models");
        WriteModel(*node);
    }
}

void KFbxWriterFbx6::WriteStandaloneGeometries(KFbxScene& scene) {
    const int count = SourceCount(&scene, KFbxGeometry::ClassId);
    for (int i = 0; i < count; ++i) {
        KFbxObject* geometry = SourceAt(scene, KFbxGeometry::ClassId, i);
        if (!IsStandaloneGeometry(geometry)) {
            continue;
        }
        BeginObjectRecord(*mFbx, "Geometry", *geometry);
        WriteStandaloneGeometryContents(*static_cast<KFbxGeometry*>(geometry));
        EndRecord(*mFbx);
    }
}

void KFbxWriterFbx6::WriteProducerCameras(KFbxScene& scene) {
    const KFbxGlobalCameraSettings& settings = scene.GetGlobalCameraSettings();
    for (int which = 0; which < KFbxGlobalCameraSettings::ePRODUCER_CAMERA_COUNT; ++which) {
        if (KFbxNode* node = settings.GetProducerCameraNode(which)) {
            WriteModel(*node);
        }
    }
}

void KFbxWriterFbx6::WriteGenericNodes(KFbxScene& scene) {
    for (int i = 0; i < scene.GetGenericNodeCount(); ++i) {
        KFbxGenericNode* node = scene.GetGenericNode(i);
        if (node == nullptr) {
            continue;
        }
        BeginObjectRecord(*mFbx, "GenericNode", *node);
        WriteIntRecord(*mFbx, "Version", 100);
        WriteProperties(*node);
        EndRecord(*mFbx);
    }
}

void KFbxWriterFbx6::WriteMaterials(KFbxScene& scene) {
    const int count = SourceCount(&scene, KFbxSurfaceMaterial::ClassId);
    for (int i = 0; i < count; ++i) {
        auto* material = static_cast<KFbxSurfaceMaterial*>(SourceAt(scene, KFbxSurfaceMaterial::ClassId, i));
        if (material == nullptr) {
            continue;
        }
        BeginObjectRecord(*mFbx, "Material", *material);
        WriteMaterial(*material);
        EndRecord(*mFbx);
    }
}

void KFbxWriterFbx6::WriteDeformers(KFbxScene& scene) {
    for (int i = 0; i < SourceCount(&scene, KFbxSkin::ClassId); ++i) {
        if (auto* skin = static_cast<KFbxSkin*>(SourceAt(scene, KFbxSkin::ClassId, i))) {
            BeginObjectRecord(*mFbx, "Deformer", *skin);
            WriteSkin(*skin);
            EndRecord(*mFbx);
        }
    }
    for (int i = 0; i < SourceCount(&scene, KFbxCluster::ClassId); ++i) {
        if (auto* cluster = static_cast<KFbxCluster*>(SourceAt(scene, KFbxCluster::ClassId, i))) {
            BeginObjectRecord(*mFbx, "Deformer", *cluster);
            WriteCluster(*cluster);
            EndRecord(*mFbx);
        }
    }
    for (int i = 0; i < SourceCount(&scene, KFbxVertexCacheDeformer::ClassId); ++i) {
        if (auto* deformer =
                static_cast<KFbxVertexCacheDeformer*>(SourceAt(scene, KFbxVertexCacheDeformer::ClassId, i))) {
            BeginObjectRecord(*mFbx, "Deformer", *deformer);
            WriteVertexCacheDeformer(*deformer);
            EndRecord(*mFbx);
        }
    }
}

void KFbxWriterFbx6::WriteVideos(KFbxScene& scene) {
    const int count = scene.GetVideoCount();
    if (count == 0) {
        return;
    }
    const bool embed = IsOptionOn("EMBEDDED") && mFbx->IsBinary();
    // Only files the video writer made for this write are removed: a
    // user's image is never touched.
    std::vector<KString> temporaryFiles;
    for (int i = 0; i < count; ++i) {
        KFbxVideo* video = scene.GetVideo(i);
        if (video == nullptr) {
            continue;
        }
        KString fileName(video->GetFileName());
        bool temporary = false;
        BeginObjectRecord(*mFbx, "Video", *video);
        WriteVideo(*video, fileName, temporary, embed);
        EndRecord(*mFbx);
        if (temporary) {
            temporaryFiles.push_back(fileName);
        }
    }
    for (const KString& file : temporaryFiles) {
        std::error_code ignored;
        std::filesystem::remove(file.Buffer(), ignored);
    }
}

void KFbxWriterFbx6::WriteTextures(KFbxScene& scene) {
    const int count = SourceCount(&scene, KFbxTexture::ClassId);
    for (int i = 0; i < count; ++i) {
        if (auto* texture = static_cast<KFbxTexture*>(SourceAt(scene, KFbxTexture::ClassId, i))) {
            WriteTexture(*texture);
        }
    }
}

void KFbxWriterFbx6::WriteCaches(KFbxScene& scene) {
    const int count = SourceCount(&scene, KFbxCache::ClassId);
    for (int i = 0; i < count; ++i) {
        if (auto* cache = static_cast<KFbxCache*>(SourceAt(scene, KFbxCache::ClassId, i))) {
            WriteCache(*cache);
        }
    }
}

void KFbxWriterFbx6::WriteGlobalSettings(KFbxGlobalSettings& settings) {
    mFbx->FieldWriteBegin("GlobalSettings");
    mFbx->FieldWriteBlockBegin();
    WriteIntRecord(*mFbx, "Version", 1000);
    WriteProperties(settings);
    EndRecord(*mFbx);
}

void KFbxWriterFbx6::WriteRelations(KFbxScene* scene) {
    BeginSection(" Object relations", "Relations");
    if (scene != nullptr) {
        WriteModelRelations(*scene);
        const KFbxGlobalCameraSettings& cameras = scene->GetGlobalCameraSettings();
        for (int which = 0; which < KFbxGlobalCameraSettings::ePRODUCER_CAMERA_COUNT; ++which) {
            if (KFbxNode* node = cameras.GetProducerCameraNode(which)) {
                WriteModelRelation(*node);
            }
        }
        if (KFbxNode* switcher = scene->GetCameraSwitcherNode()) {
            WriteModelRelation(*switcher);
        }
        if (IsOptionOn("MATERIAL")) {
            WriteMaterialRelations(*scene);
        }
        if (IsOptionOn("TEXTURE")) {
            WriteTextureRelations(*scene);
        }
        if (IsOptionOn("MEDIA")) {
            WriteVideoRelations(*scene);
        }
        if (IsOptionOn("LINK")) {
            WriteDeformerRelations(scene);
        }
        WritePoseRelations(*scene);
        WriteSceneInfoRelation(*scene);
        if (IsOptionOn("CONSTRAINT") || IsOptionOn("CHARACTER")) {
            WriteConstraintRelations(*scene);
        }
    }
    EndRecord(*mFbx);
}

void KFbxWriterFbx6::WriteConnections(KFbxScene* scene) {
    BeginSection(" Object connections", "Connections");
    mConnectionsWritten.clear();
    if (scene != nullptr) {
        mConnectionScene = scene;
        const std::vector<KFbxNode*>& models = GetModelNodes(*scene);
        KFbxNode* root = scene->GetRootNode();
        if (root != nullptr) {
            // The root is known to every file as "Model::Scene".
            const KString rootName(root->GetName());
            root->SetName("Scene");
            WriteObjectConnections(*root, true);
            root->SetName(rootName.Buffer());
        }
        // A node the scene lists outside its tree (linked under another
        // scene's) still keeps its subtree and what hangs on it.
        for (KFbxNode* node : models) {
            if (node != root && !node->IsKeptOutOfTree() && mConnectionsWritten.count({node, nullptr}) == 0) {
                WriteObjectConnections(*node, true);
            }
        }
        WriteCharacterAndConstraintConnections(*scene);
    }
    mConnectionScene = nullptr;
    mConnectionsWritten.clear();
    EndRecord(*mFbx);
}

bool KFbxWriterFbx6::IsWrittenObject(const KFbxObject* object) const {
    if (object == nullptr || mConnectionScene == nullptr) {
        return object != nullptr;
    }
    if (object->Is(KFbxNode::ClassId)) {
        return mHeldModels.count(object) > 0;
    }
    if (object->GetScene() != mConnectionScene) {
        return false;
    }
    // The kinds an option leaves out have no records either.
    if (KFbxConstraint::ClassId != KFbxClassId() && object->Is(KFbxConstraint::ClassId)) {
        return IsConstraintWritten(*static_cast<const KFbxConstraint*>(object));
    }
    static const std::pair<const KFbxClassId*, const char*> kOptions[] = {
        {&KFbxSurfaceMaterial::ClassId, "MATERIAL"}, {&KFbxTexture::ClassId, "TEXTURE"},
        {&KFbxVideo::ClassId, "MEDIA"},              {&KFbxDeformer::ClassId, "LINK"},
        {&KFbxSubDeformer::ClassId, "LINK"},         {&KFbxCache::ClassId, "LINK"},
        {&KFbxGeometryWeightedMap::ClassId, "MODEL"}, {&KFbxControlSetPlug::ClassId, "CHARACTER"}};
    for (const auto& [classId, option] : kOptions) {
        if (*classId != KFbxClassId() && object->Is(*classId)) {
            return IsOptionOn(option);
        }
    }
    return !IsStandaloneGeometry(object) || IsOptionOn("MODEL");
}

void KFbxWriterFbx6::WriteObjectConnections(KFbxObject& top, bool recursive) {
    // Each object with whether the walk goes on through its sources and the
    // node it was reached from, on a stack of the walk's own: a call per
    // level of a deep hierarchy would exhaust the call stack. A source's
    // connections, and those of the sources it leads to, come before the
    // next source's.
    struct Step {
        KFbxObject* mObject;
        bool mThroughSources;
        KFbxNode* mNode;
    };
    // An object reached twice (a mesh two nodes share, the skin of that
    // mesh, a constraint both under a model and among the scene's own) has
    // its connections written once, except an attribute stored in the model
    // records: each of its models carries what hangs on it.
    std::vector<Step> pending{{&top, recursive, nullptr}};
    while (!pending.empty()) {
        const Step step = pending.back();
        pending.pop_back();
        KFbxNode* model = step.mNode != nullptr && step.mObject->Is(KFbxNodeAttribute::ClassId) &&
                                  !IsStandaloneGeometry(step.mObject)
                              ? step.mNode
                              : nullptr;
        if (!mConnectionsWritten.emplace(step.mObject, model).second) {
            continue;
        }
        WriteOwnConnections(*step.mObject, model);
        if (!step.mThroughSources) {
            continue;
        }
        KFbxNode* node = step.mObject->Is(KFbxNode::ClassId) ? static_cast<KFbxNode*>(step.mObject) : nullptr;
        for (int i = step.mObject->GetSrcObjectCount(KFbxObject::ClassId) - 1; i >= 0; --i) {
            KFbxObject* source = step.mObject->GetSrcObject(KFbxObject::ClassId, i);
            if (source == nullptr) {
                continue;
            }
            // Through deformers too: a skin's clusters hold the links to their
            // bones and associate models, which are lost when the walk stops at
            // the skin.
            const bool throughSource = source->Is(KFbxNode::ClassId) || source->Is(KFbxNodeAttribute::ClassId) ||
                                       source->Is(KFbxDeformer::ClassId);
            pending.push_back({source, throughSource, node});
        }
    }
}

void KFbxWriterFbx6::WriteOwnConnections(KFbxObject& object, KFbxNode* model) {
    KFbxPlug* destination = model != nullptr ? static_cast<KFbxPlug*>(model) : &object;
    for (int i = 0; i < object.GetSrcCount(KFbxPlug::ClassId); ++i) {
        WriteConnection(object.GetSrc(i, KFbxPlug::ClassId), destination);
    }
    for (int p = 0; p < object.GetPropertyCount(); ++p) {
        KFbxProperty property = object.GetPropertyAt(p);
        if (!property.IsValid()) {
            continue;
        }
        for (int i = 0; i < property.GetSrcCount(KFbxPlug::ClassId); ++i) {
            WriteConnection(property.GetSrc(i, KFbxPlug::ClassId), &property);
        }
    }
}

KFbxObject* KFbxWriterFbx6::GetConnectableObject(KFbxObject* object) {
    if (object != nullptr && object->Is(KFbxNodeAttribute::ClassId) && !IsStandaloneGeometry(object)) {
        return object->GetDstObject(KFbxNode::ClassId, 0);
    }
    return object;
}

void KFbxWriterFbx6::WriteConnection(KFbxPlug* source, KFbxPlug* destination) {
    auto* sourceObject = KFbxCastToObject(source);
    auto* sourceProperty = dynamic_cast<KFbxProperty*>(source);
    auto* destinationObject = KFbxCastToObject(destination);
    auto* destinationProperty = dynamic_cast<KFbxProperty*>(destination);
    if (sourceObject != nullptr) {
        // An attribute that lives in the model records of its nodes links to
        // each of them through that record: a mesh shared by two nodes must
        // not become a link from the one model to the other.
        if (destinationObject != nullptr && destinationObject->Is(KFbxNode::ClassId) &&
            sourceObject->Is(KFbxNodeAttribute::ClassId) && !IsStandaloneGeometry(sourceObject)) {
            return;
        }
        sourceObject = GetConnectableObject(sourceObject);
        if (sourceObject == nullptr) {
            return;
        }
    }
    if (destinationObject != nullptr) {
        destinationObject = GetConnectableObject(destinationObject);
        if (destinationObject == nullptr) {
            return;
        }
    }
    // A file names in its connections only objects it holds: a link to any
    // other would be read as a link to nothing, or to another object that
    // bears the name.
    const auto ownerWritten = [this](const KFbxProperty* property) {
        KFbxObject* owner = property != nullptr ? property->GetObject() : nullptr;
        return property == nullptr || IsWrittenObject(owner) || IsWrittenObject(GetConnectableObject(owner));
    };
    if ((sourceObject != nullptr && !IsWrittenObject(sourceObject)) ||
        (destinationObject != nullptr && !IsWrittenObject(destinationObject)) || !ownerWritten(sourceProperty) ||
        !ownerWritten(destinationProperty)) {
        return;
    }
    auto ownerName = [](const KFbxProperty& property) {
        KFbxObject* owner = property.GetObject();
        return owner != nullptr ? owner->GetNameWithTypePrefix() : KString("");
    };

    if (sourceObject != nullptr && destinationObject != nullptr) {
        if (sourceObject == destinationObject) {
            return;
        }
        if (sourceObject->GetObjectTypeCode() == 14 && destinationObject->GetObjectTypeCode() == 1 &&
            (!IsOptionOn("MODEL") || !IsStandaloneGeometry(sourceObject))) {
            return;
        }
        mFbx->FieldWriteBegin("Connect");
        mFbx->FieldWriteS("OO");
        mFbx->FieldWriteS(sourceObject->GetNameWithTypePrefix());
        mFbx->FieldWriteS(destinationObject->GetNameWithTypePrefix());
        mFbx->FieldWriteEnd();
    } else if (sourceObject != nullptr && destinationProperty != nullptr) {
        mFbx->FieldWriteBegin("Connect");
        mFbx->FieldWriteS("OP");
        mFbx->FieldWriteS(sourceObject->GetNameWithTypePrefix());
        mFbx->FieldWriteS(ownerName(*destinationProperty));
        mFbx->FieldWriteS(destinationProperty->GetName());
        mFbx->FieldWriteEnd();
    } else if (sourceProperty != nullptr && destinationObject != nullptr) {
        mFbx->FieldWriteBegin("Connect");
        mFbx->FieldWriteS("PO");
        mFbx->FieldWriteS(ownerName(*sourceProperty));
        mFbx->FieldWriteS(sourceProperty->GetName());
        mFbx->FieldWriteS(destinationObject->GetNameWithTypePrefix());
        mFbx->FieldWriteEnd();
    } else if (sourceProperty != nullptr && destinationProperty != nullptr) {
        mFbx->FieldWriteBegin("Connect");
        mFbx->FieldWriteS("PP");
        mFbx->FieldWriteS(ownerName(*sourceProperty));
        mFbx->FieldWriteS(sourceProperty->GetName());
        mFbx->FieldWriteS(ownerName(*destinationProperty));
        mFbx->FieldWriteS(destinationProperty->GetName());
        mFbx->FieldWriteEnd();
    }
}

int KFbxWriterFbx6::GetSummaryConstraintCount(const KFbxScene& scene) const {
    return SourceCount(&scene, KFbxConstraint::ClassId);
}

}  // namespace fbxsdk_2006_11_1
