#include <fbxfilesdk/scene/KFbxScene.h>

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxControlSetPlug.h>
#include <fbxfilesdk/scene/KFbxGenericNode.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalTimeSettings.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxNodeWalk.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_set>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[KFbxScene::eERROR_COUNT] = {
    "Take error.",
    "KFbx object is null.",
    "KFbx object is already owned by the Scene.",
    "KFbx object does not belong to the Scene.",
    "KFbx object belongs to another Scene.",
};

constexpr const char* kRootNodeName = "RootNode";
constexpr const char* kCameraSwitcherNodeName = "Camera Switcher";
constexpr const char* kGlobalSettingsName = "GlobalSettings";

bool HasAttributeOfType(const KFbxNode* node, int attributeType) {
    for (int index = 0; index < node->GetNodeAttributeCount(); ++index) {
        const KFbxNodeAttribute* attribute = node->GetNodeAttributeByIndex(index);
        if (attribute != nullptr && attribute->GetAttributeType() == attributeType) {
            return true;
        }
    }
    return false;
}

void RemoveTakesButDefault(KFbxNode* node) {
    if (node == nullptr) {
        return;
    }
    for (int index = node->GetTakeNodeCount() - 1; index > 0; --index) {
        node->RemoveTakeNode(index);
    }
}

}  // namespace


KFbxScene::KFbxScene(KFbxSdkManager* manager, const char* name)
    : KFbxObject(manager, name), mManager(manager), mError(kMessages, eERROR_COUNT) {
    // Connections live on the twin, and the scene connects its nodes now.
    CreateInternal();
    mRootNode = KFbxNode::Create(manager, kRootNodeName);
    if (mRootNode != nullptr) {
        mRootNode->SetScene(this);
        UpdateSceneRoles(mRootNode);
    }
    mCameraSwitcherNode = KFbxNode::Create(manager, kCameraSwitcherNodeName);
    if (mCameraSwitcherNode != nullptr) {
        UpdateSceneRoles(mCameraSwitcherNode);
        mCameraSwitcherNode->SetScene(this);
        mCameraSwitcherNode->SetVisibility(false);
        mCameraSwitcherNode->SetShading(1);
        if (KFbxCameraSwitcher* switcher = KFbxCameraSwitcher::Create(manager, "")) {
            mCameraSwitcherNode->SetNodeAttribute(switcher);
        }
    }
    mGlobalLightSettings = new (std::nothrow) KFbxGlobalLightSettings();
    mGlobalCameraSettings = new (std::nothrow) KFbxGlobalCameraSettings(manager, this);
    mGlobalTimeSettings = new (std::nothrow) KFbxGlobalTimeSettings();
    CreateGlobalSettings();
}

KFbxScene::~KFbxScene() {
    // A scene deleted without Destroy still gives back what it owns, and
    // leaves its nodes free to go.
    LetGoOfNodes();
    delete mGlobalLightSettings;
    delete mGlobalCameraSettings;
    delete mGlobalTimeSettings;
    ClearTakeInfos();
}

KFbxScene* KFbxScene::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxScene>(manager, ClassId, name);
}

KFbxPlug* KFbxScene::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxScene>(manager, name);
}

KFbxClassId KFbxScene::GetClassId() const { return ClassId; }

bool KFbxScene::ConnectNotify(const KFbxConnectEvent& event) {
    if (event.mCode == eKFbxDstMayTakeSrc && event.mDst == this && event.mSrc != nullptr &&
        event.mSrc->IsConnectedDst(this)) {
        return false;
    }
    return KFbxObject::ConnectNotify(event);
}

bool KFbxScene::AcceptsSrcObject(KFbxObject& source, KFbxObject* askedOf, bool oneWay) {
    // An object joins and leaves its scene as it is told of its links: one
    // it is not told of would list it here while it named no scene.
    if (oneWay) {
        return false;
    }
    // Listed among the scene's nodes, a producer camera would be written as
    // one of them besides its settings, and once more at each round trip.
    const auto* node = dynamic_cast<const KFbxNode*>(&source);
    if (node != nullptr && (node->GetSceneRoles() & KFbxNode::eSceneProducerCamera) != 0) {
        return false;
    }
    // A node belongs to the scene whose tree holds it: listed here too, it
    // would go with this scene and out of that tree. It comes only with a
    // move under a node of this scene, its parent then being this scene's.
    if (node != nullptr) {
        const KFbxObject* current = node->GetScene();
        const KFbxNode* parent = node->GetParent();
        if (current != nullptr && current != this && (parent == nullptr || parent->GetScene() != this)) {
            mError.SetError(eKFBX_OBJECT_ALREADY_OWNED);
            return false;
        }
    }
    // Each scene destroys what it holds: two that held each other would
    // destroy each other without end.
    if (const auto* scene = dynamic_cast<const KFbxScene*>(&source); scene != nullptr && IsHeldBy(*scene)) {
        mError.SetError(eKFBX_OBJECT_ALREADY_OWNED);
        return false;
    }
    return KFbxObject::AcceptsSrcObject(source, askedOf, oneWay);
}

bool KFbxScene::IsHeldBy(const KFbxScene& scene) const {
    // A scene that holds none holds no scene through others: a chain built
    // from its top links without a walk.
    if (scene.GetSrcObjectCount(ClassId) == 0) {
        return false;
    }
    // Few scenes hold scenes: the walk is short, and ends at a scene seen.
    std::vector<const KFbxObject*> held{this};
    for (std::size_t next = 0; next < held.size(); ++next) {
        if (held[next] == &scene) {
            return true;
        }
        for (int i = 0; i < held[next]->GetDstObjectCount(ClassId); ++i) {
            const KFbxObject* holder = held[next]->GetDstObject(ClassId, i);
            if (std::find(held.begin(), held.end(), holder) == held.end()) {
                held.push_back(holder);
            }
        }
    }
    return false;
}

void KFbxScene::CreateGlobalSettings() {
    if (KFbxGlobalSettings* settings = KFbxGlobalSettings::Create(mManager, kGlobalSettingsName)) {
        ConnectSrc(settings);
    }
}

void KFbxScene::ClearTakeInfos() {
    for (KFbxTakeInfo* info : mTakeInfos) {
        delete info;
    }
    mTakeInfos.clear();
}

void KFbxScene::DestroySceneInfo() {
    if (mSceneInfo != nullptr) {
        KFbxSceneInfo* info = mSceneInfo;
        mSceneInfo = nullptr;
        info->Destroy(false, false);
    }
}

void KFbxScene::DestroySources(bool recursive, bool dependents, bool lastFirst) {
    // Counted once a source: a count sorts every source by class.
    int count = GetSrcObjectCount();
    while (count > 0) {
        KFbxObject* source = GetSrcObject(KFbxClassId(), lastFirst ? count - 1 : 0);
        source->Destroy(recursive, dependents);
        const int left = GetSrcObjectCount();
        // A source that stays connected would be met again and again.
        if (left >= count) {
            break;
        }
        count = left;
    }
}

void KFbxScene::DestroyContents(bool recursive, bool dependents) {
    DestroySceneInfo();
    delete mGlobalLightSettings;
    mGlobalLightSettings = nullptr;
    delete mGlobalCameraSettings;
    mGlobalCameraSettings = nullptr;
    delete mGlobalTimeSettings;
    mGlobalTimeSettings = nullptr;
    ClearTakeInfos();
    LetGoOfNodes();
    DestroyHeldScenes();
    if (recursive) {
        DestroySources(false, false, true);
    }
    KFbxObject::DestroyContents(recursive, dependents);
}

void KFbxScene::DestroyHeldScenes() {
    // Down the first held scene of each to one that holds none, which goes
    // first: each scene goes holding no scene any more, so that a chain of
    // any length takes no call per scene. One met again, or already going,
    // is left to the ordinary way.
    std::vector<KFbxScene*> path;
    std::unordered_set<const KFbxScene*> onPath;
    try {
        path.push_back(this);
        onPath.insert(this);
        while (!path.empty()) {
            KFbxScene* scene = path.back();
            auto* held = scene->GetSrcObjectCount(ClassId) > 0
                             ? static_cast<KFbxScene*>(scene->GetSrcObject(ClassId, 0))
                             : nullptr;
            if (held != nullptr && !held->IsBeingDestroyed() && onPath.insert(held).second) {
                path.push_back(held);
                continue;
            }
            if (held != nullptr || scene == this) {
                break;
            }
            path.pop_back();
            onPath.erase(scene);
            scene->Destroy(false, false);
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
    }
}

void KFbxScene::UpdateSceneRoles(KFbxNode* node) const {
    if (node != nullptr) {
        node->SetSceneRoles((node == mRootNode ? KFbxNode::eSceneRoot : 0) |
                            (node == mCameraSwitcherNode ? KFbxNode::eSceneCameraSwitcher : 0));
    }
}

void KFbxScene::LetGoOfNodes() {
    KFbxNode* held[] = {mRootNode, mCameraSwitcherNode};
    mRootNode = nullptr;
    mCameraSwitcherNode = nullptr;
    for (KFbxNode* node : held) {
        UpdateSceneRoles(node);
    }
}

void KFbxScene::Clear() {
    KFbxNodeAttribute* switcher = mCameraSwitcherNode != nullptr ? mCameraSwitcherNode->GetNodeAttribute() : nullptr;
    KFbxPlug* kept[] = {mRootNode, mCameraSwitcherNode, switcher};
    for (KFbxPlug* plug : kept) {
        if (plug != nullptr) {
            DisconnectSrc(plug);
        }
    }
    DestroySources(true, true, false);
    for (KFbxPlug* plug : kept) {
        if (plug != nullptr) {
            ConnectSrc(plug);
        }
    }
    RemoveTakesButDefault(mRootNode);
    ResetCameraSwitcher();
    RemoveTakesButDefault(mCameraSwitcherNode);
    DestroySceneInfo();
    mGlobalLightSettings->RestoreDefaultSettings();
    mGlobalCameraSettings->RestoreDefaultSettings();
    mGlobalTimeSettings->RestoreDefaultSettings();
    CreateGlobalSettings();
    mCurrentTakeName = "";
    ClearTakeInfos();
}

void KFbxScene::ResetCameraSwitcher() {
    if (mCameraSwitcherNode == nullptr) {
        return;
    }
    mCameraSwitcherNode->SetName(kCameraSwitcherNodeName);
    mCameraSwitcherNode->SetVisibility(false);
    mCameraSwitcherNode->SetShading(1);
    KFbxNodeAttribute* attribute = mCameraSwitcherNode->GetNodeAttribute();
    if (attribute != nullptr && attribute->Is(KFbxCameraSwitcher::ClassId)) {
        static_cast<KFbxCameraSwitcher*>(attribute)->SetDefaultCameraIndex(0);
    }
}

void KFbxScene::SetCameraSwitcherNode(KFbxNode* node) {
    if (node == mCameraSwitcherNode) {
        return;
    }
    // A node has the roles of one scene at most: another scene's hold would
    // be lost, and its destruction would leave this scene a freed node.
    if (node != nullptr && node != mRootNode) {
        const KFbxObject* scene = node->GetScene();
        const bool producer = mGlobalCameraSettings != nullptr && mGlobalCameraSettings->HoldsProducerCamera(node);
        if (!producer && (node->GetSceneRoles() != 0 || (scene != nullptr && scene != this))) {
            mError.SetError(eKFBX_OBJECT_OF_ANOTHER_SCENE);
            return;
        }
        // The switcher stands beside the tree: a node of it is the tree's.
        if (producer || node->GetParent() != nullptr || node->GetChildCount() > 0) {
            mError.SetError(eKFBX_OBJECT_ALREADY_OWNED);
            return;
        }
    }
    KFbxNode* previous = mCameraSwitcherNode;
    mCameraSwitcherNode = node;
    UpdateSceneRoles(node);
    UpdateSceneRoles(previous);
    // The root stays the root, whatever else it was taken for.
    if (previous != nullptr && previous != mRootNode) {
        previous->Destroy(false, false);
    }
}

KFbxGlobalSettings* KFbxScene::GetGlobalSettings() const {
    return static_cast<KFbxGlobalSettings*>(SourceAt(KFbxGlobalSettings::ClassId, 0));
}

void KFbxScene::SetSceneInfo(KFbxSceneInfo* sceneInfo) {
    if (sceneInfo != mSceneInfo) {
        DestroySceneInfo();
        mSceneInfo = sceneInfo;
    }
}

// ---- takes ------------------------------------------------------------------

bool KFbxScene::SetCurrentTake(const char* name) {
    mCurrentTakeName = name != nullptr ? name : "";
    bool all = true;
    const int containers = GetTakeNodeContainerCount();
    for (int index = 0; index < containers; ++index) {
        if (!GetTakeNodeContainer(index)->SetCurrentTakeNodeByName(mCurrentTakeName.Buffer())) {
            all = false;
        }
    }
    if (!all) {
        KString text("Not all nodes have a take node called ");
        text += mCurrentTakeName.Buffer();
        mError.SetErrorWithText(eTAKE_ERROR, text.Buffer());
    }
    return all;
}

void KFbxScene::FillTakeNameArray(std::vector<KString*>& names) const {
    for (KString* name : names) {
        delete name;
    }
    names.clear();
    const int containers = GetTakeNodeContainerCount();
    for (int index = 0; index < containers; ++index) {
        KFbxTakeNodeContainer* container = GetTakeNodeContainer(index);
        for (int take = 0; take < container->GetTakeNodeCount(); ++take) {
            const char* takeName = container->GetTakeNodeName(take);
            const bool known =
                std::any_of(names.begin(), names.end(), [takeName](const KString* name) { return *name == takeName; });
            if (!known) {
                if (auto* copy = new (std::nothrow) KString(takeName)) {
                    names.push_back(copy);
                }
            }
        }
    }
}

bool KFbxScene::HasTakeName(const KString& name) const {
    // Every container is asked, as for the array of the names, without the
    // array.
    bool found = false;
    const int containers = GetTakeNodeContainerCount();
    for (int index = 0; index < containers; ++index) {
        KFbxTakeNodeContainer* container = GetTakeNodeContainer(index);
        for (int take = 0; take < container->GetTakeNodeCount(); ++take) {
            const bool same = name == container->GetTakeNodeName(take);
            found = found || same;
        }
    }
    return found;
}

KFbxTakeInfo* KFbxScene::GetTakeInfo(const KString& name) const {
    for (KFbxTakeInfo* info : mTakeInfos) {
        if (info->mName == name) {
            return info;
        }
    }
    return nullptr;
}

bool KFbxScene::SetTakeInfo(const KFbxTakeInfo& info) {
    if (!HasTakeName(info.mName)) {
        return false;
    }
    if (KFbxTakeInfo* existing = GetTakeInfo(info.mName)) {
        *existing = info;
        return true;
    }
    auto* copy = new (std::nothrow) KFbxTakeInfo(info);
    return AddTakeInfo(copy);
}

bool KFbxScene::AddTakeInfo(KFbxTakeInfo* info) {
    if (info == nullptr) {
        return false;
    }
    mTakeInfos.push_back(info);
    return true;
}

KFbxTakeInfo* KFbxScene::GetTakeInfoAt(int index) const {
    if (index < 0 || index >= GetTakeInfoCount()) {
        return nullptr;
    }
    return mTakeInfos[static_cast<std::size_t>(index)];
}

// ---- objects ----------------------------------------------------------------

int KFbxScene::SourceCount(const KFbxClassId& classId) const {
    // A null class id would stand for every object.
    return classId == KFbxClassId() ? 0 : GetSrcObjectCount(classId);
}

KFbxObject* KFbxScene::SourceAt(const KFbxClassId& classId, int index) const {
    return classId == KFbxClassId() ? nullptr : GetSrcObject(classId, index);
}

int KFbxScene::GetNodeCount() const { return SourceCount(KFbxNode::ClassId); }

KFbxNode* KFbxScene::GetNode(int index) const { return static_cast<KFbxNode*>(SourceAt(KFbxNode::ClassId, index)); }

KFbxNode* KFbxScene::FindNodeByName(const KString& name) const {
    return static_cast<KFbxNode*>(FindSourceByName(KFbxNode::ClassId, name));
}

int KFbxScene::GetTakeNodeContainerCount() const { return SourceCount(KFbxTakeNodeContainer::ClassId); }

KFbxTakeNodeContainer* KFbxScene::GetTakeNodeContainer(int index) const {
    return static_cast<KFbxTakeNodeContainer*>(SourceAt(KFbxTakeNodeContainer::ClassId, index));
}

int KFbxScene::GetGenericNodeCount() const { return SourceCount(KFbxGenericNode::ClassId); }

KFbxGenericNode* KFbxScene::GetGenericNode(int index) const {
    return static_cast<KFbxGenericNode*>(SourceAt(KFbxGenericNode::ClassId, index));
}

KFbxGenericNode* KFbxScene::FindGenericNodeByName(const KString& name) const {
    return static_cast<KFbxGenericNode*>(FindSourceByName(KFbxGenericNode::ClassId, name));
}

int KFbxScene::GetVideoCount() const { return SourceCount(KFbxVideo::ClassId); }

KFbxVideo* KFbxScene::GetVideo(int index) const { return static_cast<KFbxVideo*>(SourceAt(KFbxVideo::ClassId, index)); }

int KFbxScene::GetPoseCount() const { return SourceCount(KFbxPose::ClassId); }

KFbxPose* KFbxScene::GetPose(int index) const { return static_cast<KFbxPose*>(SourceAt(KFbxPose::ClassId, index)); }

int KFbxScene::GetCharacterCount() const { return SourceCount(KFbxCharacter::ClassId); }

KFbxCharacter* KFbxScene::GetCharacter(int index) const {
    return static_cast<KFbxCharacter*>(SourceAt(KFbxCharacter::ClassId, index));
}

int KFbxScene::CreateCharacter(const char* name) {
    return AddCreatedObject(KFbxCharacter::Create(mManager, name), KFbxCharacter::ClassId);
}

int KFbxScene::GetControlSetPlugCount() const { return SourceCount(KFbxControlSetPlug::ClassId); }

KFbxControlSetPlug* KFbxScene::GetControlSetPlug(int index) const {
    return static_cast<KFbxControlSetPlug*>(SourceAt(KFbxControlSetPlug::ClassId, index));
}

int KFbxScene::CreateControlSetPlug(const char* name) {
    return AddCreatedObject(KFbxControlSetPlug::Create(mManager, name), KFbxControlSetPlug::ClassId);
}

int KFbxScene::GetCharacterPoseCount() const { return SourceCount(KFbxCharacterPose::ClassId); }

KFbxCharacterPose* KFbxScene::GetCharacterPose(int index) const {
    return static_cast<KFbxCharacterPose*>(SourceAt(KFbxCharacterPose::ClassId, index));
}

int KFbxScene::CreateCharacterPose(const char* name) {
    return AddCreatedObject(KFbxCharacterPose::Create(mManager, name), KFbxCharacterPose::ClassId);
}

void KFbxScene::DestroyCharacterPose(int index) {
    if (KFbxCharacterPose* pose = GetCharacterPose(index)) {
        pose->Destroy(false, false);
    }
}

int KFbxScene::AddCreatedObject(KFbxObject* object, const KFbxClassId& classId) {
    if (object == nullptr) {
        return -1;
    }
    if (!ConnectObject(object)) {
        object->Destroy();
        return -1;
    }
    return SourceCount(classId) - 1;
}

KFbxObject* KFbxScene::FindSourceByName(const KFbxClassId& classId, const KString& name) const {
    for (int index = 0; index < SourceCount(classId); ++index) {
        KFbxObject* object = SourceAt(classId, index);
        if (object != nullptr && name == object->GetName()) {
            return object;
        }
    }
    return nullptr;
}

bool KFbxScene::ConnectObject(KFbxObject* object) { return object != nullptr && ConnectSrc(object); }

void KFbxScene::FillNodeArrayByAttributeType(std::vector<KFbxNode*>& nodes, int attributeType, bool recursive) const {
    nodes.clear();
    if (recursive) {
        FillNodeArrayByAttributeTypeRecursive(nodes, attributeType, mRootNode);
        return;
    }
    const int count = GetNodeCount();
    for (int index = 0; index < count; ++index) {
        KFbxNode* node = GetNode(index);
        if (node != nullptr && HasAttributeOfType(node, attributeType)) {
            nodes.push_back(node);
        }
    }
}

void KFbxScene::FillNodeArrayByAttributeTypeRecursive(std::vector<KFbxNode*>& nodes, int attributeType,
                                                      KFbxNode* node) const {
    if (node == nullptr) {
        return;
    }
    KFbxForEachNodeFrom(*node, [&nodes, attributeType](KFbxNode& visited) {
        if (HasAttributeOfType(&visited, attributeType)) {
            nodes.push_back(&visited);
        }
    });
}

// ---- layers and connections --------------------------------------------------

void KFbxScene::FixSkeletonInheritTypes(KFbxNode* node) {
    if (node == nullptr) {
        return;
    }
    KFbxForEachNodeBelow(*node, [](KFbxNode& child) {
        KFbxNode::ETransformInheritType type = KFbxNode::eINHERIT_RrSs;
        child.GetTransformInheritType(type);
        KFbxNode* parent = child.GetParent();
        if (child.IsOldFile() && child.GetSkeleton() != nullptr && type == KFbxNode::eINHERIT_Rrs &&
            parent != nullptr && parent->GetSkeleton() == nullptr) {
            child.SetTransformInheritType(KFbxNode::eINHERIT_RSrs);
        }
    });
}

void KFbxScene::CreateVideoForTexture(const char* fileName, const char* relativeFileName, const char* videoName,
                                      const char* fallbackName, KFbxSdkManager* manager) {
    if (fileName == nullptr || fileName[0] == '\0') {
        return;
    }
    // One video per file: a single video for the whole scene would leave
    // every other texture's media out of the file.
    for (int i = 0; i < GetVideoCount(); ++i) {
        const KFbxVideo* video = GetVideo(i);
        const char* shown = video != nullptr ? video->GetFileName() : nullptr;
        if (shown != nullptr && std::strcmp(shown, fileName) == 0) {
            return;
        }
    }
    const char* name = videoName != nullptr && videoName[0] != '\0' ? videoName : fallbackName;
    KFbxVideo* video = KFbxVideo::Create(manager != nullptr ? manager : mManager, name != nullptr ? name : "");
    if (video == nullptr) {
        return;
    }
    video->SetFileName(fileName);
    if (relativeFileName != nullptr && relativeFileName[0] != '\0') {
        video->SetRelativeFileName(relativeFileName);
    }
    if (!ConnectObject(video)) {
        video->Destroy();
    }
}

}  // namespace fbxsdk_2006_11_1
