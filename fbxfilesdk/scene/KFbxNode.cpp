#include <fbxfilesdk/scene/KFbxNode.h>

#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxNodeWalk.h>
#include <fbxfilesdk/scene/KFbxPose.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kNodeErrors[KFbxNode::eErrorCount] = {
    "Take node error",
    "Node name clash",
    "Material name clash",
    "Texture name clash",
    "Target node is not a child of this object",
    "Operation with a target of the entity would generate a cyclic graph",
    "Node held by its scene",
    "Index out of range",
    "Attribute not connected",
    "Node already has a parent",
    "Node linked one way",
};

bool IsGeometryType(int type) { return (type >= 4 && type <= 6) || (type >= 13 && type <= 16); }

// The answer a caller gives for one link, parent and child, in place of the
// walk that finds whether the child would come under itself.
struct KnownLoop {
    const KFbxNode* mParent;
    const KFbxNode* mChild;
    bool mUnderItself;
};
thread_local const KnownLoop* tKnownLoop = nullptr;

}  // namespace


KFbxNode* KFbxNode::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxNode*>(plug) : nullptr;
}

KFbxPlug* KFbxNode::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* node = new (std::nothrow) KFbxNode(manager, name);
    if (node != nullptr) {
        node->CreateInternal();
    }
    return node;
}

KFbxNode::KFbxNode(KFbxSdkManager* manager, const char* name)
    : KFbxTakeNodeContainer(manager, name, &mError), mError(kNodeErrors, eErrorCount) {
    CreateInternal();
    // Most nodes read from a file keep every property at its default: the
    // properties are made when first needed, and read as their defaults
    // until then.
    DeferProperties(eNodePropertyCount);
    mState.Load(KFbxNodePivotSets::Neutral().mSets[eSOURCE_SET]);
    // Most nodes never reach their default take: it is made on first use.
    DeferDefaultTakeNode();
}

void KFbxNode::MakeDeferredProperties() {
    // Set while the properties were pending (see SetTransformInheritType).
    const int inheritType = mState.mPivots.mInheritType;
    CreateProperties();
    // Pivot sets and limits start neutral without being made, and the
    // properties already hold zero: only the other defaults ("Show" and
    // "Visibility" among them) are written, before the default take copies
    // them into its channels.
    WritePropertyDefaults(true);
    WriteKeptValues();
    if (mUnmadeDefaultAttributeIndex != static_cast<int>(DefaultOf(eDefaultAttributeIndex)[0])) {
        mProperties[eDefaultAttributeIndex].Set(&mUnmadeDefaultAttributeIndex, eFbxValueInteger);
    }
    if (inheritType != static_cast<int>(DefaultOf(eInheritType)[0])) {
        mProperties[eInheritType].Set(&inheritType, eFbxValueInteger);
    }
    mState.mPivots.mInheritType = inheritType;
    KFbxTakeNodeContainer::MakeDeferredProperties();
}

bool KFbxNode::SetDefaultAttributeIndexValue(int index) {
    if (HasHandles()) {
        return mProperties[eDefaultAttributeIndex].Set(&index, eFbxValueInteger);
    }
    mUnmadeDefaultAttributeIndex = index;
    return true;
}

KFbxProperty* KFbxNode::Handles() const {
    MakeProperties();
    if (mProperties == nullptr) {
        // Only a node whose contents were destroyed has none: invalid handles.
        const_cast<KFbxNode*>(this)->mProperties = std::make_unique<KFbxProperty[]>(eNodePropertyCount);
    }
    return mProperties.get();
}

KFbxNode::~KFbxNode() {
    DropDeferredProperties();
    ReleaseCharacterBackLinks();
    // The take nodes go before the properties, so that no channel is
    // rebuilt for a property that is leaving.
    ClearTakeNodes();
}

KFbxClassId KFbxNode::GetClassId() const { return ClassId; }

void KFbxNode::Destroy(bool recursive, bool dependents) {
    // The scene reaches its root and switcher nodes for as long as it lives.
    if (mSceneRoles != 0) {
        mError.SetError(eHeldByScene);
        return;
    }
    KFbxTakeNodeContainer::Destroy(recursive, dependents);
}

void KFbxNode::DestroyContents(bool recursive, bool dependents) {
    if (recursive) {
        // Each node after its children, as a call per level would, but in a
        // loop: a deep subtree would exhaust the stack.
        for (KFbxNode* node : KFbxNodesBelowChildrenFirst(*this)) {
            node->Destroy(true, dependents);
        }
    }
    // No pose may keep pointing at this node.
    KFbxPose::RemoveNodeFromPoses(GetSdkManager(), this);
    // Children that outlive this node (all of them, or those a scene holds)
    // hear of the parting, so that they forget their parent; the twin's own
    // clean-up would not tell them.
    for (int index = GetChildCount() - 1; index >= 0; --index) {
        DisconnectSrc(GetChild(index));
    }
    if (mParent != nullptr) {
        mParent->DisconnectSrc(this);
    }
    // An attribute that other nodes carry too (an instance) stays theirs: it
    // leaves this node, and is not destroyed with it.
    for (int index = GetNodeAttributeCount() - 1; index >= 0; --index) {
        KFbxNodeAttribute* attribute = GetNodeAttributeByIndex(index);
        if (attribute->GetDstObjectCount(ClassId) > 1) {
            DisconnectSrc(attribute);
        }
    }
    mChildNames.clear();
    ReleaseCharacterBackLinks();
    KFbxTakeNodeContainer::DestroyContents(recursive, dependents);
}

int KFbxNode::GetObjectTypeCode() const { return 1; }

const char* KFbxNode::GetTypeName() const {
    const KFbxNodeAttribute* attribute = GetNodeAttribute();
    return attribute != nullptr ? attribute->GetTypeName() : "Null";
}

void KFbxNode::GetTypeFlags(KStringList& flags) const {
    const KFbxNodeAttribute* attribute = GetNodeAttribute();
    if (attribute != nullptr) {
        attribute->GetTypeFlags(flags);
        return;
    }
    flags.Clear();
    flags.Add(KString("Null"));
}

// ---- takes ------------------------------------------------------------------

bool KFbxNode::SetCurrentTakeNode(int index) {
    ResetEvaluationCache();
    return KFbxTakeNodeContainer::SetCurrentTakeNode(index);
}

bool KFbxNode::SetCurrentTakeNodeByName(const char* name) {
    ResetEvaluationCache();
    return KFbxTakeNodeContainer::SetCurrentTakeNodeByName(name);
}

bool KFbxNode::GetAnimationInterval(KTime& start, KTime& stop) {
    KTime foundStart(std::numeric_limits<std::int64_t>::max());
    KTime foundStop(std::numeric_limits<std::int64_t>::min() + 1);
    bool found = KFbxTakeNodeContainer::GetAnimationInterval(foundStart, foundStop);
    KFbxForEachNodeBelow(*this, [&](KFbxNode& node) {
        if (node.KFbxTakeNodeContainer::GetAnimationInterval(foundStart, foundStop)) {
            found = true;
        }
    });
    if (!found) {
        return false;
    }
    if (foundStart < start) {
        start = foundStart;
    }
    if (foundStop > stop) {
        stop = foundStop;
    }
    return true;
}

// ---- hierarchy --------------------------------------------------------------

KFbxNode* KFbxNode::GetParent() const { return mParent; }

bool KFbxNode::AcceptsSrcObject(KFbxObject& source, KFbxObject* askedOf, bool oneWay) {
    // Every route that links a node's source asks here. A source is told of
    // its link, so that it knows its node both ways: the walks follow a link
    // the child is not told of as any other, though it gives the child no
    // parent to leave or to check, and an attribute so linked would name no
    // node while the node destroyed it with itself.
    auto* sourceNode = dynamic_cast<KFbxNode*>(&source);
    // A node under itself, by whatever link, is the smallest cycle.
    if (sourceNode == this) {
        mError.SetError(eCyclicGraph);
        return false;
    }
    if (oneWay) {
        (askedOf == sourceNode && sourceNode != nullptr ? sourceNode : this)->mError.SetError(eOneWayLink);
        return false;
    }
    // An attribute carried once: a second link to it would bind nothing
    // more, and the first unlink would unbind its channels while the node
    // still carried it.
    if (sourceNode == nullptr && dynamic_cast<KFbxNodeAttribute*>(&source) != nullptr && IsConnectedSrc(&source)) {
        return false;
    }
    // So that the tree stays a tree: each node one parent, and none under
    // its own subtree.
    if (KFbxNode* node = sourceNode) {
        int refusal = ChildRefusal(*node);
        if (refusal < 0 && !node->CanLeaveParent()) {
            refusal = eHasParent;
        }
        if (refusal >= 0) {
            (askedOf == node ? node : this)->mError.SetError(refusal);
            return false;
        }
    }
    return KFbxTakeNodeContainer::AcceptsSrcObject(source, askedOf, oneWay);
}

bool KFbxNode::CanLeaveParent() const {
    if (mParent == nullptr) {
        return true;
    }
    KPlug* parentPlug = mParent->GetInternalPlug();
    KPlug* plug = GetInternalPlug();
    return parentPlug != nullptr && plug != nullptr && parentPlug->AcceptsSrc(plug) && plug->AcceptsDst(parentPlug);
}

void KFbxNode::DstObjectAboutToLink(KFbxObject& destination) {
    // Left once the new parent and this node took the link, so that a
    // refused link leaves the node where it was.
    if (mParent != nullptr && dynamic_cast<KFbxNode*>(&destination) != nullptr) {
        mParent->GetInternalPlug()->DisconnectSrc(GetInternalPlug());
    }
    KFbxTakeNodeContainer::DstObjectAboutToLink(destination);
}

void KFbxNode::DstObjectLinked(KFbxObject& destination, bool linked) {
    if (!linked && &destination == mParent) {
        mParent = nullptr;
    } else if (linked && mParent == nullptr) {
        mParent = dynamic_cast<KFbxNode*>(&destination);
    }
    KFbxTakeNodeContainer::DstObjectLinked(destination, linked);
}

void KFbxNode::PropertyChanged(KFbxProperty& property) {
    if (HasHandles() && property == mProperties[eInheritType]) {
        int type = 0;
        property.Get(&type, eFbxValueInteger);
        mState.mPivots.mInheritType = type;
    }
    KFbxTakeNodeContainer::PropertyChanged(property);
}

bool KFbxNode::IsInSubtreeOf(const KFbxNode& node) const {
    if (&node == this) {
        return true;
    }
    // Only a node with children can be an ancestor of another: a childless one
    // (every node of a chain built from the top down) is answered without a
    // walk.
    const int count = node.GetChildCount();
    if (count == 0) {
        return false;
    }
    // This node's ancestors and the node's subtree are walked side by side, a
    // node of each a step, and the first walk to end answers: a link costs the
    // shorter of the new parent's depth and the child's subtree, so that
    // neither a deep chain linked a short subtree at a time nor a large
    // subtree linked under a shallow parent takes time that grows with the
    // whole tree.
    struct Frame {
        const KFbxNode* mNode;
        int mNext;
        int mCount;
    };
    // Kept from one link to the next, so that a walk allocates only when it
    // goes deeper than every walk before it on its thread.
    thread_local std::vector<Frame> below;
    below.clear();
    below.push_back(Frame{&node, 0, count});
    for (const KFbxNode* above = mParent;; above = above->mParent) {
        if (above == nullptr) {
            return false;
        }
        if (above == &node) {
            return true;
        }
        while (below.back().mNext == below.back().mCount) {
            below.pop_back();
            if (below.empty()) {
                return false;
            }
        }
        Frame& frame = below.back();
        const KFbxNode* child = frame.mNode->GetChild(frame.mNext++);
        if (child == this) {
            return true;
        }
        if (const int grandchildren = child != nullptr ? child->GetChildCount() : 0; grandchildren > 0) {
            below.push_back(Frame{child, 0, grandchildren});
        }
    }
}

bool KFbxNode::IsKeptOutOfTree(const KFbxObject& object) {
    const auto* node = dynamic_cast<const KFbxNode*>(&object);
    return node != nullptr && node->IsKeptOutOfTree();
}

int KFbxNode::SceneRoleRefusal(const KFbxNode& node) const {
    // Everything of a scene hangs below its root. The switcher and the
    // producer cameras stand beside the tree: a node under them would be
    // reached by no walk from the root, and they under a node would be
    // written with its subtree as well as by themselves.
    if ((node.mSceneRoles & eSceneRoot) != 0 || node.IsKeptOutOfTree() || IsKeptOutOfTree()) {
        return eHeldByScene;
    }
    return -1;
}

int KFbxNode::ChildRefusal(const KFbxNode& node) const {
    if (const int refusal = SceneRoleRefusal(node); refusal >= 0) {
        return refusal;
    }
    // A node under its own descendant would make every walk of the tree endless.
    const bool known = tKnownLoop != nullptr && tKnownLoop->mParent == this && tKnownLoop->mChild == &node;
    if (known ? tKnownLoop->mUnderItself : IsInSubtreeOf(node)) {
        return eCyclicGraph;
    }
    return -1;
}

bool KFbxNode::AddChild(KFbxNode* node) {
    // The link moves the node, once this node has taken it.
    return node != nullptr && ConnectSrc(node);
}

bool KFbxNode::AddChildKnowingLoop(KFbxNode* node, bool underItself) {
    const KnownLoop known{this, node, underItself};
    // Put back however the link ends.
    struct Scope {
        const KnownLoop* mOuter;
        ~Scope() { tKnownLoop = mOuter; }
    } const scope{std::exchange(tKnownLoop, &known)};
    return AddChild(node);
}

KFbxNode* KFbxNode::RemoveChild(KFbxNode* node) {
    if (node == nullptr || !DisconnectSrc(node)) {
        return nullptr;
    }
    return node;
}

int KFbxNode::GetChildCount(bool recursive) const {
    if (!recursive) {
        return GetSrcObjectCount(ClassId);
    }
    int total = 0;
    KFbxForEachNodeBelow(*this, [&total](KFbxNode&) { ++total; });
    return total;
}

KFbxNode* KFbxNode::GetChild(int index) const { return static_cast<KFbxNode*>(GetSrcObject(ClassId, index)); }

KFbxNode* KFbxNode::FindChild(const char* name, bool recursive, bool initialName) const {
    const char* wanted = name != nullptr ? name : "";
    const auto named = [wanted, initialName](const KFbxNode& node) {
        const char* nodeName = initialName ? node.GetInitialName() : node.GetName();
        return std::strcmp(nodeName != nullptr ? nodeName : "", wanted) == 0;
    };
    if (!recursive) {
        for (int index = 0; index < GetChildCount(); ++index) {
            KFbxNode* child = GetChild(index);
            if (named(*child)) {
                return child;
            }
        }
        return nullptr;
    }
    KFbxNode* found = nullptr;
    KFbxForEachNodeBelow(*this, [&](KFbxNode& node) {
        found = named(node) ? &node : nullptr;
        return found == nullptr;
    });
    return found;
}

void KFbxNode::AddChildName(const char* name) { mChildNames.emplace_back(name != nullptr ? name : ""); }

const char* KFbxNode::GetChildName(int index) const {
    if (index < 0 || index >= GetChildNameCount()) {
        return nullptr;
    }
    return mChildNames[static_cast<std::size_t>(index)].Buffer();
}

bool KFbxNode::IsMarked(bool recursive) const {
    if (mMarked || !recursive) {
        return mMarked;
    }
    return !KFbxForEachNodeBelow(*this, [](KFbxNode& node) { return !node.IsMarked(false); });
}

// ---- attributes -------------------------------------------------------------

int KFbxNode::GetNodeAttributeCount() const { return GetSrcObjectCount(KFbxNodeAttribute::ClassId); }

KFbxNodeAttribute* KFbxNode::GetNodeAttributeByIndex(int index) const {
    return static_cast<KFbxNodeAttribute*>(GetSrcObject(KFbxNodeAttribute::ClassId, index));
}

int KFbxNode::GetNodeAttributeIndex(const KFbxNodeAttribute* attribute) {
    for (int index = 0; attribute != nullptr && index < GetNodeAttributeCount(); ++index) {
        if (GetNodeAttributeByIndex(index) == attribute) {
            return index;
        }
    }
    mError.SetError(eAttributeNotConnected);
    return -1;
}

int KFbxNode::GetDefaultNodeAttributeIndex() const {
    int index = -1;
    if (GetInternalObject() == nullptr) {
        return -1;
    }
    if (!HasHandles()) {
        return mUnmadeDefaultAttributeIndex;
    }
    if (!mProperties[eDefaultAttributeIndex].Get(&index, eFbxValueInteger)) {
        return -1;
    }
    return index;
}

bool KFbxNode::SetDefaultNodeAttributeIndex(int index) {
    if (index < 0 || index >= GetNodeAttributeCount()) {
        mError.SetError(eIndexOutOfRange);
        return false;
    }
    return SetDefaultAttributeIndexValue(index);
}

KFbxNodeAttribute* KFbxNode::GetNodeAttribute() const {
    const int index = GetDefaultNodeAttributeIndex();
    return index >= 0 ? GetNodeAttributeByIndex(index) : nullptr;
}

KFbxNodeAttribute* KFbxNode::SetNodeAttribute(KFbxNodeAttribute* attribute) {
    for (int index = 0; attribute != nullptr && index < GetNodeAttributeCount(); ++index) {
        if (GetNodeAttributeByIndex(index) == attribute) {
            SetDefaultNodeAttributeIndex(index);
            return nullptr;
        }
    }
    KFbxNodeAttribute* oldDefault = GetNodeAttribute();
    for (int index = GetNodeAttributeCount() - 1; index >= 0; --index) {
        KFbxNodeAttribute* current = GetNodeAttributeByIndex(index);
        DisconnectSrc(current);
        // An attribute another node still carries (an instance) stays alive for it.
        if (current != oldDefault && current->GetDstObjectCount() == 0) {
            current->Destroy();
        }
    }
    int defaultIndex = -1;
    if (attribute != nullptr && ConnectSrc(attribute)) {
        defaultIndex = 0;
    }
    SetDefaultAttributeIndexValue(defaultIndex);
    const int type = attribute != nullptr ? attribute->GetAttributeType() : 0;
    mMultiLayer = false;
    mMultiTake = (type == KFbxNodeAttribute::eLIGHT || type == KFbxNodeAttribute::eCAMERA) ? 0 : 1;
    return oldDefault;
}

bool KFbxNode::AddNodeAttribute(KFbxNodeAttribute* attribute) {
    // An attribute the node carries already is refused by the link itself.
    if (attribute == nullptr || !ConnectSrc(attribute)) {
        return false;
    }
    if (GetDefaultNodeAttributeIndex() < 0) {
        SetDefaultAttributeIndexValue(0);
    }
    return true;
}

KFbxNodeAttribute* KFbxNode::DefaultOfType(int type) const {
    KFbxNodeAttribute* attribute = GetNodeAttribute();
    return attribute != nullptr && attribute->GetAttributeType() == type ? attribute : nullptr;
}

KFbxNodeAttribute* KFbxNode::FirstOfType(int type) const {
    if (KFbxNodeAttribute* attribute = DefaultOfType(type)) {
        return attribute;
    }
    for (int index = 0; index < GetNodeAttributeCount(); ++index) {
        KFbxNodeAttribute* attribute = GetNodeAttributeByIndex(index);
        if (attribute->GetAttributeType() == type) {
            return attribute;
        }
    }
    return nullptr;
}

KFbxNodeAttribute* KFbxNode::GetGeometry() const {
    KFbxNodeAttribute* attribute = GetNodeAttribute();
    return attribute != nullptr && IsGeometryType(attribute->GetAttributeType()) ? attribute : nullptr;
}

// ---- targets ----------------------------------------------------------------

void KFbxNode::SetReferenceTarget(ENodeProperty which, KFbxNode* node) {
    KFbxProperty& reference = GetNodeProperty(which);
    for (int index = reference.GetSrcCount(ClassId) - 1; index >= 0; --index) {
        reference.DisconnectSrc(reference.GetSrc(index, ClassId));
    }
    if (node != nullptr && !reference.IsConnectedSrc(node)) {
        reference.ConnectSrc(node);
    }
}

KFbxNode* KFbxNode::GetReferenceTarget(ENodeProperty which) const {
    // A property not made yet has no target.
    if (!HasHandles()) {
        return nullptr;
    }
    return static_cast<KFbxNode*>(mProperties[which].GetSrc(0, ClassId));
}

void KFbxNode::SetTarget(KFbxNode* node) { SetReferenceTarget(eLookAtProperty, node); }

KFbxNode* KFbxNode::GetTarget() const { return GetReferenceTarget(eLookAtProperty); }

void KFbxNode::SetTargetUp(KFbxNode* node) { SetReferenceTarget(eUpVectorProperty, node); }

KFbxNode* KFbxNode::GetTargetUp() const { return GetReferenceTarget(eUpVectorProperty); }

// ---- display ----------------------------------------------------------------

void KFbxNode::SetVisibility(bool visible) {
    const double value = visible ? 1.0 : 0.0;
    if (KeepUnmade(eShow, value) && KeepUnmade(eVisibility, value)) {
        return;
    }
    KFbxProperty* const properties = Handles();
    properties[eShow].Set(&visible, eFbxValueBool);
    if (properties[eVisibility].IsValid()) {
        properties[eVisibility].Set(&value, eFbxValueDouble);
    }
}

bool KFbxNode::GetVisibility() const {
    if (!HasHandles()) {
        return UnmadeOf(eVisibility)[0] != 0.0;
    }
    double value = 0.0;
    return mProperties[eVisibility].IsValid() && mProperties[eVisibility].Get(&value, eFbxValueDouble) &&
           value != 0.0;
}

}  // namespace fbxsdk_2006_11_1
