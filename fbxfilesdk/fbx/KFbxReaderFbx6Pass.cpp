#include <fbxfilesdk/fbx/KFbxReaderFbx6Pass.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterConstantKeyReducer.h>
#include <fbxfilesdk/animation/KFCurveFilterTimeShiftAndScale.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveNodeBake.h>
#include <fbxfilesdk/animation/KFCurveNodeUtilities.h>
#include <fbxfilesdk/animation/KFCurveUtilities.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxClassRegistration.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KSortedPointerMap.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/fbx/NodeLinkForest.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSubDeformer.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace fbxsdk_2006_11_1 {

using namespace fbx6read;

namespace {

constexpr int kSummarySection = 1;

constexpr char kRootName[] = "Model::Scene";
// The name the writers give the scene's camera switcher.
constexpr char kSwitcherName[] = "Model::Camera Switcher";
// The most samples one layered channel is baked into (about a day and a half
// at 30 frames per second): a damaged file whose keys lie far apart must not
// make the bake allocate without bound.
constexpr std::int64_t kMaxBakeSamples = std::int64_t{1} << 22;

// The records of a take that carry object animation, with the class their
// objects belong to.
const char* const kTakeBlockRecords[] = {"Model", "GenericNode", "Texture", "Material", "Constraint"};

// The comment and spans of a "Take" block, in the summary or the takes section.
void ReadTakeFields(KFbx& file, KFbxTakeInfo& take) {
    take.mDescription = file.FieldReadSDefault("Comments", "");
    KTime start;
    KTime stop;
    if (ReadTimeSpan(file, "LocalTime", start, stop)) {
        take.mLocalTimeSpan.Set(start, stop);
    }
    if (ReadTimeSpan(file, "ReferenceTime", start, stop)) {
        take.mReferenceTimeSpan.Set(start, stop);
    }
}

// Every node of the tree that carries further layers, children first so a
// parent bakes over its children's base curves.
void CollectLayered(KFCurveNode& node, std::vector<KFCurveNode*>& layered) {
    for (int i = 0; i < node.GetCount(); ++i) {
        if (KFCurveNode* child = node.Get(i)) {
            CollectLayered(*child, layered);
        }
    }
    if (node.GetNextLayer() != nullptr) {
        layered.push_back(&node);
    }
}

// The thread's time-warp set is the reader's own (empty) set only while takes
// are read, never a set that is gone; the set it replaced comes back after.
class TimeWarpSetScope {
public:
    TimeWarpSetScope() : mSet(16), mOuter(KFCurveSetTimeWarpSet(&mSet)) {}
    ~TimeWarpSetScope() { KFCurveSetTimeWarpSet(mOuter); }
    TimeWarpSetScope(const TimeWarpSetScope&) = delete;
    TimeWarpSetScope& operator=(const TimeWarpSetScope&) = delete;

private:
    KSortedPointerMap mSet;
    KSortedPointerMap* mOuter;
};

template <class T>
T* As(KFbxObject* object) {
    return object != nullptr && object->Is(T::ClassId) ? static_cast<T*>(object) : nullptr;
}

bool IsDeformerPart(KFbxObject& object) {
    return As<KFbxDeformer>(&object) != nullptr || As<KFbxSubDeformer>(&object) != nullptr;
}

// How a node the scene keeps beside its tree would be linked.
enum EKeptLink { eKeptAsChild, eKeptAsParent, eKeptInDeformer };

const char* KeptOutOfTreeRefusal(const KFbxNode& node, EKeptLink link) {
    static const char* const kWhy[2][3] = {
        {"a producer camera stays out of the scene's tree", "a producer camera has no children",
         "a producer camera takes no part in deformers"},
        {"the camera switcher stays out of the scene's tree", "the camera switcher has no children",
         "the camera switcher takes no part in deformers"},
    };
    return kWhy[(node.GetSceneRoles() & KFbxNode::eSceneProducerCamera) != 0 ? 0 : 1][link];
}

}  // namespace

KFbxReaderFbx6Pass::KFbxReaderFbx6Pass(KFbxSdkManager& manager, KFbx& file, KFbxScene& scene,
                                       KFbxStreamOptionsFbxReader& options)
    : mManager(manager), mFile(file), mScene(scene), mOptions(options) {}

bool KFbxReaderFbx6Pass::Option(const char* name) const { return mOptions.GetBoolOption(name, true); }

KFbxClassId KFbxReaderFbx6Pass::ClassIdOf(const char* className) const { return KFbxFindRegisteredClass(className); }

KFbxObject* KFbxReaderFbx6Pass::CreateObject(const char* className, const char* name) {
    const KFbxClassId classId = ClassIdOf(className);
    if (classId == KFbxClassId()) {
        return nullptr;
    }
    return KFbxCastToObject(CreateObjectOfClass(&mManager, classId, name));
}

void KFbxReaderFbx6Pass::Remember(const KString& prefixedName, KFbxObject* object) {
    if (object != nullptr) {
        // A later object of the same name wins, as a later record overwrites.
        mObjects.Set(prefixedName.Buffer(), object);
    }
}

KFbxObject* KFbxReaderFbx6Pass::Find(const KString& prefixedName) const { return mObjects.Find(prefixedName.Buffer()); }

void KFbxReaderFbx6Pass::ReadSummaryTakes(KFbx& file, std::vector<KFbxTakeInfo>& takes, KString& current) {
    if (!file.FieldReadBegin("Summary") || !file.FieldReadBlockBegin()) {
        return;
    }
    if (file.FieldReadBegin("Takes") && file.FieldReadBlockBegin()) {
        current = file.FieldReadSDefault("Current", "");
        while (file.FieldReadBegin("Take")) {
            KFbxTakeInfo take;
            take.mName = NextS(file);
            take.mSelect = true;
            if (file.FieldReadBlockBegin()) {
                ReadTakeFields(file, take);
                file.FieldReadBlockEnd();
            }
            file.FieldReadEnd();
            takes.push_back(take);
        }
        file.FieldReadBlockEnd();
    }
    file.FieldReadEnd();
    file.FieldReadBlockEnd();
    file.FieldReadEnd();
}

void KFbxReaderFbx6Pass::Run() {
    // The summary's take records are the reference for the takes' spans.
    std::vector<KFbxTakeInfo> summaryTakes;
    KString summaryCurrent;
    if (mFile.SelectSection(kSummarySection)) {
        ReadSummaryTakes(mFile, summaryTakes, summaryCurrent);
    }
    mFile.SelectSection(0);

    KFbxNode* root = mScene.GetRootNode();
    if (root != nullptr) {
        Remember(KString(kRootName), root);
    }
    ReadSceneRecords();
    FinishObjects();
    if (Option("ANIMATION")) {
        ReadTakes();
    }
    for (const KFbxTakeInfo& take : summaryTakes) {
        KFbxTakeInfo* known = mScene.GetTakeInfo(take.mName);
        if (known != nullptr) {
            known->mLocalTimeSpan = take.mLocalTimeSpan;
            known->mReferenceTimeSpan = take.mReferenceTimeSpan;
            if (take.mDescription.GetLen() > 0) {
                known->mDescription = take.mDescription;
            }
        } else if (Option("ANIMATION")) {
            StoreTakeInfo(take);
        }
    }
    if (Option("GLOBAL SETTINGS")) {
        ReadSettingsRecords();
    }
    // The take the caller asks for, when the file has it; else the file's own.
    const KString wanted = mOptions.GetStringOption("CURRENT TAKE NAME", "");
    if (wanted.GetLen() > 0 && mScene.GetTakeInfo(wanted) != nullptr) {
        mScene.SetCurrentTake(wanted.Buffer());
    } else if (summaryCurrent.GetLen() > 0 && mScene.GetTakeInfo(summaryCurrent) != nullptr) {
        mScene.SetCurrentTake(summaryCurrent.Buffer());
    }
}

void KFbxReaderFbx6Pass::ReadSceneRecords() {
    FindSwitcherRecord();
    ReadObjects();
    ReadConnections();
}

void KFbxReaderFbx6Pass::ReadSettingsRecords() { ReadVersion5(); }

void KFbxReaderFbx6Pass::FinishObjects() {
    KFbxNode* root = mScene.GetRootNode();
    // A model that nothing places (a damaged file) still belongs to the
    // scene: under the root.
    for (KFbxNode* node : mCreatedNodes) {
        if (node->GetParent() == nullptr && root != nullptr && node != root) {
            root->AddChild(node);
        }
    }
    GiveLostTexturesTheirMedia();
    // Skeletons of old files inherited differently below non-skeletons.
    mScene.FixSkeletonInheritTypes(root);
    // Material and texture elements name the node's objects by position.
    mScene.FillMaterialLayersFromConnections();
    mScene.FillTextureLayersFromConnections();
    ResolvePoses();
    ResolveTrimSurfaces();
    ResolveParentOffsets();
    for (KFbxNode* node : mNodes) {
        node->UpdatePivotsAndLimitsFromProperties();
    }
}

void KFbxReaderFbx6Pass::FindSwitcherRecord() {
    mSwitcherRecord.reset();
    if (!Option("MODEL")) {
        return;
    }
    // Calls read at each record of the name in the section's block, its
    // values still to be read; the main section is selected afresh
    // afterwards, so that the read proper finds every record again.
    const auto eachRecord = [this](const char* section, const char* record, const auto& read) {
        if (mFile.FieldReadBegin(section)) {
            if (mFile.FieldReadBlockBegin()) {
                while (mFile.FieldReadBegin(record)) {
                    read();
                    mFile.FieldReadEnd();
                }
                mFile.FieldReadBlockEnd();
            }
            mFile.FieldReadEnd();
        }
        mFile.SelectSection(0);
    };
    // The switcher models read in the file's order (but those of a
    // producer camera's name, which are left out), with whether a
    // connection puts them under a model of the tree.
    std::vector<std::string> candidates;
    std::unordered_map<std::string, bool> underModel;
    std::string name;
    std::string type;
    // Whether the record read makes a node: a record without a block makes
    // nothing, and a camera or switcher of a producer camera's name is no
    // node of the tree.
    const auto makesNode = [&] {
        NextS(mFile, name);
        NextS(mFile, type);
        if ((type == "Camera" || type == "CameraSwitcher") &&
            ProducerCameraOf(WithoutPrefix(KString(name.c_str())), KString("Camera")) >= 0) {
            return false;
        }
        const bool block = mFile.FieldReadBlockBegin();
        if (block) {
            mFile.FieldReadBlockEnd();
        }
        return block;
    };
    eachRecord("Objects", "Model", [&] {
        if (makesNode() && type == "CameraSwitcher") {
            candidates.push_back(name);
            underModel.emplace(name, false);
        }
    });
    if (candidates.empty()) {
        return;
    }
    // The parents each link names for a candidate, whatever they are; the
    // models of the tree among them are known from the records afterwards.
    // Under the root, a switcher model is where the scene keeps its own, and
    // models linked under it are the tree's all the same: neither tells that
    // it is a node. A switcher model that no connection names, as child or
    // as parent, is what writers leave of the scene's own: one that the file
    // links is more likely a node of its tree.
    std::unordered_multimap<std::string, std::string> parents;
    std::unordered_set<std::string> linked;
    std::string kind;
    std::string source;
    std::string destination;
    eachRecord("Connections", "Connect", [&] {
        NextS(mFile, kind);
        if (mFile.FieldGetRemainingValueCount() < 2) {
            return;
        }
        NextS(mFile, source);
        NextS(mFile, destination);
        for (const std::string* end : {&source, &destination}) {
            if (underModel.count(*end) > 0) {
                linked.insert(*end);
            }
        }
        if (kind == "OO" && source != destination && destination != kRootName && underModel.count(source) > 0) {
            parents.emplace(destination, source);
        }
    });
    if (!parents.empty()) {
        eachRecord("Objects", "Model", [&] {
            if (!makesNode()) {
                return;
            }
            for (auto [at, end] = parents.equal_range(name); at != end; ++at) {
                underModel[at->second] = true;
            }
        });
    }
    // The writers' name first, then the first linked nowhere, then the first.
    int best = 3;
    for (const std::string& candidate : candidates) {
        const int rank = underModel[candidate]          ? 3
                         : candidate == kSwitcherName   ? 0
                         : linked.count(candidate) == 0 ? 1
                                                        : 2;
        if (rank < best) {
            best = rank;
            mSwitcherRecord = candidate;
        }
    }
}

void KFbxReaderFbx6Pass::ReadObjects() {
    if (!mFile.FieldReadBegin("Objects") || !mFile.FieldReadBlockBegin()) {
        return;
    }
    struct Kind {
        const char* mRecord;
        const char* mOption;
        void (KFbxReaderFbx6Pass::*mRead)(const KString&, const KString&);
    };
    // Models first: every other kind may name them.
    const Kind kinds[] = {
        {"Model", "MODEL", &KFbxReaderFbx6Pass::ReadModel},
        {"Geometry", "MODEL", &KFbxReaderFbx6Pass::ReadGeometry},
        {"GeometryWeightedMap", "MODEL", &KFbxReaderFbx6Pass::ReadWeightedMap},
        {"Material", "MATERIAL", &KFbxReaderFbx6Pass::ReadMaterial},
        {"Video", "MEDIA", &KFbxReaderFbx6Pass::ReadVideo},
        {"Texture", "TEXTURE", &KFbxReaderFbx6Pass::ReadTexture},
        {"Deformer", "LINK", &KFbxReaderFbx6Pass::ReadDeformer},
        {"Cache", "LINK", &KFbxReaderFbx6Pass::ReadCache},
        {"Pose", "MODEL", &KFbxReaderFbx6Pass::ReadPose},
        {"ControlSetPlug", "CHARACTER", &KFbxReaderFbx6Pass::ReadControlSetPlug},
    };
    // A file of many objects fills the table of names at once: room for
    // them all now, so that it is not rebuilt as it fills.
    mObjects.Reserve(mFile.FieldReadBlockFieldCount());
    for (const Kind& kind : kinds) {
        if (!Option(kind.mOption)) {
            continue;
        }
        while (mFile.FieldReadBegin(kind.mRecord)) {
            const KString name = NextS(mFile);
            const KString typeName = NextS(mFile);
            if (mFile.FieldReadBlockBegin()) {
                (this->*kind.mRead)(name, typeName);
                mFile.FieldReadBlockEnd();
            }
            mFile.FieldReadEnd();
        }
    }
    ReadConstraints();
    while (mFile.FieldReadBegin("GenericNode")) {
        const KString name = NextS(mFile);
        if (mFile.FieldReadBlockBegin()) {
            ReadGenericNode(name);
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
    if (mFile.FieldReadBegin("SceneInfo")) {
        if (mFile.FieldReadBlockBegin()) {
            ReadSceneInfo();
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
    if (Option("GLOBAL SETTINGS") && mFile.FieldReadBegin("GlobalSettings")) {
        if (mFile.FieldReadBlockBegin()) {
            ReadGlobalSettings();
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
    mFile.FieldReadBlockEnd();
    mFile.FieldReadEnd();
}

void KFbxReaderFbx6Pass::ReadConnections() {
    if (!mFile.FieldReadBegin("Connections") || !mFile.FieldReadBlockBegin()) {
        return;
    }
    // Only the connections below change the parents of nodes while the
    // forest is kept: it is dropped with them.
    NodeLinkForest treeLinks;
    mTreeLinks = &treeLinks;
    struct Scope {
        NodeLinkForest*& mLinks;
        ~Scope() { mLinks = nullptr; }
    } const scope{mTreeLinks};
    while (mFile.FieldReadBegin("Connect")) {
        const KString kind = NextS(mFile);
        const std::vector<KString> names = RestS(mFile);
        mFile.FieldReadEnd();
        Connect(kind, names);
    }
    mFile.FieldReadBlockEnd();
    mFile.FieldReadEnd();
}

void KFbxReaderFbx6Pass::Connect(const KString& kind, const std::vector<KString>& names) {
    if (kind == "OO" && names.size() >= 2) {
        ConnectObjects(Find(names[0]), Find(names[1]));
    } else if (kind == "OP" && names.size() >= 3) {
        KFbxObject* source = Find(names[0]);
        KFbxObject* owner = Find(names[1]);
        if (source == nullptr || owner == nullptr) {
            return;
        }
        auto* cluster = As<KFbxCluster>(owner);
        auto* node = As<KFbxNode>(source);
        if (cluster != nullptr && node != nullptr && names[2] == "SrcModelReference") {
            cluster->SetAssociateModel(node);
            return;
        }
        KFbxProperty property = owner->FindProperty(names[2].Buffer());
        if (property.IsValid()) {
            property.ConnectSrc(source);
        }
    } else if (kind == "PO" && names.size() >= 3) {
        KFbxObject* owner = Find(names[0]);
        KFbxObject* destination = Find(names[2]);
        if (owner == nullptr || destination == nullptr) {
            return;
        }
        KFbxProperty property = owner->FindProperty(names[1].Buffer());
        if (property.IsValid()) {
            destination->ConnectSrc(&property);
        }
    } else if (kind == "PP" && names.size() >= 4) {
        KFbxObject* sourceOwner = Find(names[0]);
        KFbxObject* destinationOwner = Find(names[2]);
        if (sourceOwner == nullptr || destinationOwner == nullptr) {
            return;
        }
        KFbxProperty source = sourceOwner->FindProperty(names[1].Buffer());
        KFbxProperty destination = destinationOwner->FindProperty(names[3].Buffer());
        if (source.IsValid() && destination.IsValid()) {
            destination.ConnectSrc(&source);
        }
    }
}

const char* KFbxReaderFbx6Pass::LinkRefusal(KFbxObject& source, KFbxObject& destination) const {
    const KFbxNode* sourceNode = As<KFbxNode>(&source);
    const KFbxNode* destinationNode = As<KFbxNode>(&destination);
    if (sourceNode != nullptr && destinationNode != nullptr) {
        // Under a node of its own tree the root would take that node's
        // subtree out of the scene with it.
        if (sourceNode == mScene.GetRootNode()) {
            return "the scene's root has no parent";
        }
        // The scene keeps its cameras and switcher itself, apart from the
        // tree: in it, they would be written twice, and models under them
        // never.
        if (sourceNode->IsKeptOutOfTree()) {
            return KeptOutOfTreeRefusal(*sourceNode, eKeptAsChild);
        }
        if (destinationNode->IsKeptOutOfTree()) {
            return KeptOutOfTreeRefusal(*destinationNode, eKeptAsParent);
        }
        return nullptr;
    }
    // Nor is either a bone or a skinned object: a deformer would take it
    // among the scene's nodes, to be written as a model of its own.
    if (sourceNode != nullptr && sourceNode->IsKeptOutOfTree() && IsDeformerPart(destination)) {
        return KeptOutOfTreeRefusal(*sourceNode, eKeptInDeformer);
    }
    if (destinationNode != nullptr && destinationNode->IsKeptOutOfTree() && IsDeformerPart(source)) {
        return KeptOutOfTreeRefusal(*destinationNode, eKeptInDeformer);
    }
    return nullptr;
}

bool KFbxReaderFbx6Pass::RefusesLink(KFbxObject& source, KFbxObject& destination) {
    const char* why = LinkRefusal(source, destination);
    if (why == nullptr) {
        return false;
    }
    if (mMessages != nullptr) {
        const bool tree = As<KFbxNode>(&source) != nullptr && As<KFbxNode>(&destination) != nullptr;
        const auto nameOf = [this](const KFbxObject& object) {
            return &object == mScene.GetRootNode() ? KString(kRootName) : object.GetNameWithTypePrefix();
        };
        *mMessages += KString("The connection of \"") + nameOf(source) + (tree ? "\" under \"" : "\" to \"") +
                      nameOf(destination) + "\" is refused: " + why + "\n";
    }
    return true;
}

void KFbxReaderFbx6Pass::ConnectObjects(KFbxObject* source, KFbxObject* destination) {
    if (source == nullptr || destination == nullptr || source == destination || RefusesLink(*source, *destination)) {
        return;
    }
    auto* sourceNode = As<KFbxNode>(source);
    auto* destinationNode = As<KFbxNode>(destination);
    if (sourceNode != nullptr && destinationNode != nullptr) {
        if (mTreeLinks == nullptr) {
            destinationNode->AddChild(sourceNode);
            return;
        }
        // The forest answers whether the model would come under itself, so
        // that a link costs no walk of the new parent's ancestors or of the
        // model's subtree, which a file that moves a large subtree under
        // deep models pays at every link; a refused link leaves the model
        // where it was.
        mTreeLinks->Link(*sourceNode, *destinationNode, [sourceNode, destinationNode](bool underItself) {
            return destinationNode->AddChildKnowingLoop(sourceNode, underItself);
        });
        return;
    }
    if (sourceNode != nullptr) {
        // A node that a cluster names is the bone it follows.
        if (auto* cluster = As<KFbxCluster>(destination)) {
            cluster->SetLink(sourceNode);
            return;
        }
    }
    if (destinationNode != nullptr) {
        // Connections name a node for its geometry.
        auto* geometry = As<KFbxGeometry>(destinationNode->GetNodeAttribute());
        if (auto* deformer = As<KFbxDeformer>(source)) {
            if (geometry != nullptr) {
                geometry->AddDeformer(deformer);
            }
            return;
        }
        if (auto* attribute = As<KFbxNodeAttribute>(source)) {
            if (destinationNode->GetNodeAttribute() == nullptr) {
                destinationNode->SetNodeAttribute(attribute);
            } else {
                destinationNode->AddNodeAttribute(attribute);
            }
            return;
        }
    }
    if (auto* skin = As<KFbxSkin>(destination)) {
        if (auto* cluster = As<KFbxCluster>(source)) {
            skin->AddCluster(cluster);
            return;
        }
    }
    if (!destination->IsConnectedSrc(source)) {
        destination->ConnectSrc(source);
    }
}

void KFbxReaderFbx6Pass::ResolvePoses() {
    for (const PendingPoseEntry& entry : mPoseEntries) {
        auto* pose = As<KFbxPose>(entry.mPose);
        auto* node = As<KFbxNode>(Find(entry.mNodeName));
        if (pose == nullptr || node == nullptr) {
            continue;
        }
        KgeMatrix matrix;
        if (entry.mMatrix.size() >= 16) {
            matrix.CopyFrom16(entry.mMatrix.data());
        }
        pose->Add(node, matrix, entry.mLocal);
    }
}

void KFbxReaderFbx6Pass::StoreTakeInfo(const KFbxTakeInfo& take) {
    if (KFbxTakeInfo* known = mScene.GetTakeInfo(take.mName)) {
        *known = take;
        return;
    }
    // The scene takes the record whether or not an object has the take yet.
    auto* copy = new (std::nothrow) KFbxTakeInfo(take);
    if (copy != nullptr && !mScene.AddTakeInfo(copy)) {
        delete copy;
    }
}

void KFbxReaderFbx6Pass::ReadTakes() {
    if (!mFile.FieldReadBegin("Takes") || !mFile.FieldReadBlockBegin()) {
        return;
    }
    const TimeWarpSetScope timeWarps;
    const KString current = mFile.FieldReadSDefault("Current", "");
    while (mFile.FieldReadBegin("Take")) {
        const KString takeName = NextS(mFile);
        if (takeName.GetLen() == 0 || !mFile.FieldReadBlockBegin()) {
            mFile.FieldReadEnd();
            continue;
        }
        KFbxTakeInfo take;
        take.mName = takeName;
        ReadTakeFields(mFile, take);
        take.mTakeThumbnail = ReadThumbnail();
        StoreTakeInfo(take);
        for (const char* record : kTakeBlockRecords) {
            ReadTakeBlocks(takeName, record);
        }
        mFile.FieldReadBlockEnd();
        mFile.FieldReadEnd();
    }
    mFile.FieldReadBlockEnd();
    mFile.FieldReadEnd();
    if (current.GetLen() > 0 && mScene.GetTakeInfo(current) != nullptr) {
        mScene.SetCurrentTake(current.Buffer());
    }
}

void KFbxReaderFbx6Pass::ReadTakeBlocks(const KString& takeName, const char* recordName) {
    while (mFile.FieldReadBegin(recordName)) {
        const KString name = NextS(mFile);
        KFbxObject* object = Find(name);
        // The root keeps its real name in take blocks.
        if (object == nullptr && mScene.GetRootNode() != nullptr &&
            WithoutPrefix(name) == mScene.GetRootNode()->GetName()) {
            object = mScene.GetRootNode();
        }
        auto* container = dynamic_cast<KFbxTakeNodeContainer*>(object);
        if (container != nullptr && mFile.FieldReadBlockBegin()) {
            KFbxTakeNode* takeNode = nullptr;
            for (int i = 0; i < container->GetTakeNodeCount(); ++i) {
                if (takeName == container->GetTakeNodeName(i)) {
                    takeNode = container->GetTakeNode(i);
                }
            }
            if (takeNode == nullptr) {
                takeNode = container->CreateTakeNode(takeName.Buffer());
            }
            KFCurveNode* root = takeNode != nullptr ? takeNode->GetKFCurveNode() : nullptr;
            if (root != nullptr) {
                while (KFCurveNode::FbxRetrieve(&mFile, root, false, true, false) != nullptr) {
                }
                // Shininess is stored a hundred times larger.
                if (std::strcmp(recordName, "Material") == 0) {
                    if (KFCurve* shininess = takeNode->GetMaterialShininess()) {
                        shininess->KeyScaleValue(false, 0.01f);
                    }
                }
                FilterTakeCurves(*root, std::strcmp(recordName, "Model") == 0 ? dynamic_cast<KFbxNode*>(object) : nullptr,
                                 takeName);
            }
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

void KFbxReaderFbx6Pass::FilterTakeCurves(KFCurveNode& root, KFbxNode* model, const KString& takeName) {
    std::vector<KFCurveNode*> layered;
    CollectLayered(root, layered);
    for (KFCurveNode* node : layered) {
        KTime start;
        KTime stop;
        const KFCurveNode* spanOf = node->GetTimeWarp() != nullptr ? node->GetTimeWarp() : node;
        const std::int64_t period = KFCurveGetDefaultResamplePeriod().Get();
        // Compared as a quotient so that no difference of times can overflow.
        if (spanOf->GetAnimationInterval(start, stop) && period > 0 && stop.Get() >= start.Get() &&
            stop.Get() / period - start.Get() / period < kMaxBakeSamples) {
            KFCurveNodeBake(*node, nullptr, 0, KFCURVENODE_BAKE_REPLACE_CURVES, start, stop,
                            KFCurveGetDefaultResamplePeriod());
        }
    }
    if (model != nullptr) {
        if (KFCurveNode* rotation = root.Find("R")) {
            KTime start;
            KTime stop;
            if (rotation->GetAnimationInterval(start, stop)) {
                // The filter's equivalent angles must be those of the order
                // the model turns by, or the pose at the keys changes.
                const int order = rotation->GetRotationOrder();
                rotation->SetRotationOrder(EvaluationRotationOrder(*model));
                KFCurveApplyImportRotationFilter(rotation, start, stop);
                rotation->SetRotationOrder(order);
            }
        }
    }
    if (KFCurveGetImportFilterOption()) {
        KFCurveFilterConstantKeyReducer reducer;
        reducer.Apply(root, true);
    }
    const KTime shift = TakeShift(takeName);
    if (shift.Get() != 0) {
        KFCurveFilterTimeShiftAndScale shifter;
        shifter.SetShift(shift);
        shifter.Apply(root, true);
    }
}

int EvaluationRotationOrder(const KFbxNode& node) {
    if (!node.GetRotationActive() || node.GetRotationSpaceForLimitOnly(KFbxNode::eSOURCE_SET)) {
        return 0;
    }
    KFbxNode::ERotationOrder order = KFbxNode::eEULER_XYZ;
    node.GetRotationOrder(KFbxNode::eSOURCE_SET, order);
    return 2 * order;
}

KTime KFbxReaderFbx6Pass::TakeShift(const KString& takeName) const {
    const KFbxStreamOptionsTakeList& takes = mOptions.GetTakeList();
    for (int i = 0; i < takes.GetTakeInfoCount(); ++i) {
        const KFbxTakeInfo* wanted = takes.GetTakeInfo(i);
        if (wanted == nullptr || wanted->mName != takeName) {
            continue;
        }
        if (wanted->mImportOffsetType == KFbxTakeInfo::eRELATIVE) {
            return wanted->mImportOffset;
        }
        // An absolute offset is where the take is to start.
        const KFbxTakeInfo* known = mScene.GetTakeInfo(takeName);
        const KTime start = known != nullptr ? known->mLocalTimeSpan.GetStart() : KTime();
        return KTime(wanted->mImportOffset.Get() - start.Get());
    }
    return KTime();
}

}  // namespace fbxsdk_2006_11_1
