#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>

#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/animation/KFbxTakeNodeContainer_internal.h>
#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kDefaultTakeName = "Default";
const char* const kIndexOutOfRange = "Index out of range";
const char* const kUnknownTakeNodeName = "Unknown take node name";
const char* const kTakeNodeDoesNotExist = "Take node does not exist";
const char* const kCannotRemoveDefault = "Cannot remove default take node";
const char* const kTakeNodeAlreadyExists = "Take node already exists";

// A copy that lost its tree to a lack of memory is no copy.
KFbxTakeNode* CopyOf(const KFbxTakeNode& source) {
    auto* copy = new (std::nothrow) KFbxTakeNode(source);
    if (copy != nullptr && copy->GetKFCurveNode() == nullptr && source.GetKFCurveNode() != nullptr) {
        delete copy;
        return nullptr;
    }
    return copy;
}

bool HoldsCurve(const KFCurveNode& node, const KFCurve* curve) {
    if (node.FCurveGet() == curve) {
        return true;
    }
    for (int index = 0; index < node.GetCount(); ++index) {
        if (HoldsCurve(*node.Get(index), curve)) {
            return true;
        }
    }
    return false;
}

}  // namespace

// What a deferred default take is built from: the properties an immediate fill
// would have seen and, in order, what would have been done to it since: the
// properties that would have had channels added, and the steps taken.
// Made and dropped by every object whose default take waits: its blocks are
// recycled.
struct KFbxTakeNodeContainer::DeferredDefaultTake : KRecycledBlocks {
    // A property's channel, a step, or the channels an owner filled ahead.
    struct Added {
        KFbxProperty mProperty;
        TakeNodeStep mStep = nullptr;
        const void* mOwner = nullptr;
        std::unique_ptr<KFbxTakeNode> mChannels;
    };
    // -1 until the object's deferred properties are made.
    int mPropertyCount = 0;
    std::vector<bool, KRecycledAllocator<bool>> mAnimatable;
    std::vector<Added, KRecycledAllocator<Added>> mAdded;
};


KFbxTakeNodeContainer::KFbxTakeNodeContainer(KFbxSdkManager* manager, const char* name, ErrorHolder* errorHolder)
    : KFbxObject(manager, name), mErrorHolder(errorHolder) {}

KFbxTakeNodeContainer::~KFbxTakeNodeContainer() {
    // Before the object part goes: the curves' last callbacks and the
    // properties' removal both come back to this container.
    ClearTakeNodes();
    RemoveAllPropertyLinks();
}

KFbxPlug* KFbxTakeNodeContainer::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* container = new (std::nothrow) KFbxTakeNodeContainer(manager, name, nullptr);
    if (container != nullptr) {
        container->CreateInternal();
    }
    return container;
}

// ---- object operations ------------------------------------------------------

KFbxClassId KFbxTakeNodeContainer::GetClassId() const { return ClassId; }

void KFbxTakeNodeContainer::DestroyContents(bool recursive, bool dependents) {
    ClearTakeNodes();
    RemoveAllPropertyLinks();
    KFbxObject::DestroyContents(recursive, dependents);
}

KFbxObject_internal* KFbxTakeNodeContainer::NewInternalObject() {
    return new (std::nothrow) KFbxTakeNodeContainer_internal(this);
}

void KFbxTakeNodeContainer::CopyFrom(const KFbxTakeNodeContainer& source) {
    if (&source == this) {
        return;
    }
    // The own take nodes are replaced: a template taken later would find them.
    MakeProperties();
    source.MakeDeferredDefaultTake();
    std::vector<KFbxTakeNode*> copies;
    try {
        copies.reserve(source.mTakeNodes.size());
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return;
    }
    for (const KFbxTakeNode* takeNode : source.mTakeNodes) {
        KFbxTakeNode* copy = CopyOf(*takeNode);
        if (copy == nullptr) {
            for (KFbxTakeNode* made : copies) {
                delete made;
            }
            return;
        }
        copies.push_back(copy);
    }
    CopyNameIfSameType(source);
    ClearTakeNodes();
    mTakeNodes.swap(copies);
    mCurrent = source.mCurrent;
}

// ---- take nodes -------------------------------------------------------------

void KFbxTakeNodeContainer::FillTakeNodeTemplate(KFbxTakeNode&) {}

void KFbxTakeNodeContainer::ApplyToTakeNodes(TakeNodeStep step) {
    if (step == nullptr) {
        return;
    }
    // The takes made beside a deferred default take get it now.
    const int first = DeferChannel(KFbxProperty(), step) ? 1 : 0;
    for (int index = first; index < GetTakeNodeCount(); ++index) {
        if (KFbxTakeNode* takeNode = TakeNodeAt(index)) {
            step(*takeNode);
        }
    }
}

KFbxTakeNode* KFbxTakeNodeContainer::CreateDefaultTakeNode() {
    KFbxTakeNode* takeNode = CreateTakeNode(kDefaultTakeName);
    if (takeNode != nullptr) {
        mCurrent = 0;
    }
    return takeNode;
}

void KFbxTakeNodeContainer::DeferDefaultTakeNode() {
    if (GetTakeNodeCount() != 0) {
        CreateDefaultTakeNode();
        return;
    }
    try {
        auto deferred = std::make_unique<DeferredDefaultTake>();
        deferred->mPropertyCount = -1;
        if (ArePropertiesMade()) {
            TakeTemplate(*deferred);
        }
        mDeferred = std::move(deferred);
        mCurrent = 0;
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        mDeferred.reset();
        CreateDefaultTakeNode();
    }
}

void KFbxTakeNodeContainer::TakeTemplate(DeferredDefaultTake& deferred) const {
    const int count = GetPropertyCount();
    deferred.mAnimatable.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        deferred.mAnimatable[static_cast<std::size_t>(i)] = GetPropertyAt(i).GetFlag(KFbxProperty::kAnimatable);
    }
    deferred.mPropertyCount = count;
}

bool KFbxTakeNodeContainer::IsTemplatePending() const {
    return mDeferred != nullptr && mDeferred->mPropertyCount < 0;
}

void KFbxTakeNodeContainer::MakeDeferredProperties() {
    if (!IsTemplatePending()) {
        return;
    }
    try {
        TakeTemplate(*mDeferred);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        mDeferred.reset();
        mCurrent = -1;
        CreateDefaultTakeNode();
    }
}

void KFbxTakeNodeContainer::MakeDeferredDefaultTake() const {
    // Not while a take is built from it: that take makes no links, and
    // what it is built from must stay.
    if (mDeferred == nullptr || mMaking != nullptr) {
        return;
    }
    // Its template is the object's properties (made for want of memory,
    // the take may already be there).
    MakeProperties();
    if (mDeferred == nullptr) {
        return;
    }
    // Logically const: the take is what the container would have held anyway.
    auto* self = const_cast<KFbxTakeNodeContainer*>(this);
    const std::unique_ptr<DeferredDefaultTake> deferred = std::move(self->mDeferred);
    KFbxTakeNode* takeNode = self->FillAsDefault(kDefaultTakeName, *deferred);
    try {
        if (takeNode != nullptr) {
            // Takes made meanwhile follow it, where their indices had them.
            self->mTakeNodes.insert(self->mTakeNodes.begin(), takeNode);
            return;
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        delete takeNode;
    }
    // Without a default take the others go too: no index may move.
    self->ClearTakeNodes();
}

KFbxTakeNode* KFbxTakeNodeContainer::FillAsDefault(const char* name, const DeferredDefaultTake& deferred) {
    mMaking = &deferred;
    const bool isDefault = std::strcmp(name, kDefaultTakeName) == 0;
    KFbxTakeNode* takeNode = NewFilledTakeNode(name);
    if (takeNode != nullptr) {
        for (const DeferredDefaultTake::Added& added : deferred.mAdded) {
            if (added.mChannels != nullptr) {
                JoinDeferredChannels(*added.mChannels, *takeNode, isDefault);
            } else if (added.mStep != nullptr) {
                added.mStep(*takeNode);
            } else if (added.mProperty.IsValid()) {
                KFbxProperty property = added.mProperty;
                AddChannel(property, *takeNode, isDefault);
            }
        }
    }
    mMaking = nullptr;
    return takeNode;
}

bool KFbxTakeNodeContainer::DeferChannel(const KFbxProperty& property, TakeNodeStep step) {
    if (mDeferred == nullptr) {
        return false;
    }
    try {
        mDeferred->mAdded.push_back(DeferredDefaultTake::Added{property, step, nullptr, nullptr});
        return true;
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        MakeDeferredDefaultTake();
        return false;
    }
}

KFbxTakeNode* KFbxTakeNodeContainer::OpenDeferredChannels(const void* owner) {
    if (KFbxTakeNode* channels = FindDeferredChannels(owner)) {
        return channels;
    }
    // Once anything else was done to the deferred take, channels filled
    // ahead could meet channels of the same name where a fill would not.
    if (mDeferred == nullptr || mMaking != nullptr || owner == nullptr || !mDeferred->mAdded.empty()) {
        return nullptr;
    }
    auto channels = std::unique_ptr<KFbxTakeNode>(new (std::nothrow) KFbxTakeNode(kDefaultTakeName));
    if (channels == nullptr || channels->GetKFCurveNode() == nullptr) {
        SdkNoteAllocationFailure();
        return nullptr;
    }
    try {
        mDeferred->mAdded.push_back(DeferredDefaultTake::Added{KFbxProperty(), nullptr, owner, std::move(channels)});
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return nullptr;
    }
    return mDeferred->mAdded.back().mChannels.get();
}

KFbxTakeNode* KFbxTakeNodeContainer::FindDeferredChannels(const void* owner, bool lastOnly) const {
    if (mDeferred == nullptr || owner == nullptr) {
        return nullptr;
    }
    const auto& added = mDeferred->mAdded;
    for (auto it = added.rbegin(); it != added.rend(); ++it) {
        if (it->mOwner == owner) {
            return it->mChannels.get();
        }
        if (lastOnly) {
            return nullptr;
        }
    }
    return nullptr;
}

void KFbxTakeNodeContainer::CloseDeferredChannels(const void* owner) {
    if (mDeferred == nullptr || owner == nullptr) {
        return;
    }
    std::erase_if(mDeferred->mAdded, [owner](const DeferredDefaultTake::Added& added) {
        return added.mOwner == owner && added.mChannels->GetKFCurveNode()->GetCount() == 0;
    });
}

void KFbxTakeNodeContainer::JoinDeferredChannels(KFbxTakeNode& channels, KFbxTakeNode& takeNode, bool isDefault) {
    KFCurveNode* from = channels.GetKFCurveNode();
    KFCurveNode* root = takeNode.GetKFCurveNode();
    if (!isDefault) {
        for (int index = 0; index < from->GetCount(); ++index) {
            KFCurveNode* copy = KFCurveNode::CloneTree(*from->Get(index), false);
            if (copy != nullptr && root->Add(copy) < 0) {
                delete copy;
            }
        }
        return;
    }
    // The links of these curves were made before those of the fill: they
    // move behind them, as a fill after it would have made them.
    std::stable_partition(mLinks.begin(), mLinks.end(),
                          [from](const KFbxPropertyLink* link) { return !HoldsCurve(*from, link->mCurve); });
    while (from->GetCount() > 0) {
        KFCurveNode* channel = from->Get(0);
        from->Remove(0);
        if (root->Add(channel) < 0) {
            delete channel;
        }
    }
}

bool KFbxTakeNodeContainer::IsDeferredChannelCurve(const KFCurve* curve) const {
    return mDeferred != nullptr && std::any_of(mDeferred->mAdded.begin(), mDeferred->mAdded.end(),
                                               [curve](const DeferredDefaultTake::Added& added) {
                                                   return added.mChannels != nullptr &&
                                                          HoldsCurve(*added.mChannels->GetKFCurveNode(), curve);
                                               });
}

bool KFbxTakeNodeContainer::HangsFromDeferredChannels(const KFCurveNode& node) const {
    if (mDeferred == nullptr) {
        return false;
    }
    // Each step up is checked against the parent's children: a parent
    // pointer alone could name a node that no longer holds it. A channel is
    // linked as it is made, mostly the last child: the search starts there.
    const KFCurveNode* top = &node;
    while (const KFCurveNode* parent = top->GetParent()) {
        int index = parent->GetCount() - 1;
        while (index >= 0 && parent->Get(index) != top) {
            --index;
        }
        if (index < 0) {
            return false;
        }
        top = parent;
    }
    const auto& added = mDeferred->mAdded;
    return std::any_of(added.begin(), added.end(), [top](const DeferredDefaultTake::Added& entry) {
        return entry.mChannels != nullptr && entry.mChannels->GetKFCurveNode() == top;
    });
}

int KFbxTakeNodeContainer::TemplatePropertyCount() const {
    return mMaking != nullptr ? std::min(mMaking->mPropertyCount, GetPropertyCount()) : GetPropertyCount();
}

bool KFbxTakeNodeContainer::TemplatePropertyAnimatable(int index) const {
    if (index < 0 || index >= TemplatePropertyCount()) {
        return false;
    }
    if (mMaking != nullptr) {
        return mMaking->mAnimatable[static_cast<std::size_t>(index)];
    }
    return GetPropertyAt(index).GetFlag(KFbxProperty::kAnimatable);
}

KFbxTakeNode* KFbxTakeNodeContainer::CreateTakeNode(const char* name) {
    const char* given = name != nullptr ? name : "";
    for (int index = 0; index < GetTakeNodeCount(); ++index) {
        if (std::strcmp(TakeNodeNameAt(index), given) == 0) {
            SetError(kTakeNodeAlreadyExists);
            return nullptr;
        }
    }
    KFbxTakeNode* takeNode = nullptr;
    if (mDeferred != nullptr) {
        // The copy a made default take would give, built as that take would
        // be, without its links: neither the default take nor the
        // properties need to be made for it. Built unnamed, as a copy is,
        // since fills link the curves of a take named like the default one.
        takeNode = FillAsDefault("", *mDeferred);
        if (takeNode != nullptr) {
            takeNode->SetName(given);
        }
    } else if (const KFbxTakeNode* defaultTake = GetDefaultTakeNode()) {
        takeNode = CopyOf(*defaultTake);
        if (takeNode != nullptr) {
            takeNode->SetName(given);
        }
    } else {
        // A take is filled from the properties.
        MakeProperties();
        takeNode = NewFilledTakeNode(given);
    }
    if (takeNode == nullptr) {
        return nullptr;
    }
    try {
        mTakeNodes.push_back(takeNode);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        delete takeNode;
        return nullptr;
    }
    return takeNode;
}

KFbxTakeNode* KFbxTakeNodeContainer::NewFilledTakeNode(const char* name) {
    auto* takeNode = new (std::nothrow) KFbxTakeNode(name);
    if (takeNode != nullptr && takeNode->GetKFCurveNode() == nullptr) {
        delete takeNode;
        return nullptr;
    }
    if (takeNode != nullptr) {
        FillTakeNodeTemplate(*takeNode);
    }
    return takeNode;
}

bool KFbxTakeNodeContainer::RemoveTakeNode(int index) {
    if (index == 0) {
        SetError(kCannotRemoveDefault);
        return false;
    }
    if (index < 1 || index >= GetTakeNodeCount()) {
        SetError(kIndexOutOfRange);
        return false;
    }
    if (mCurrent >= index) {
        --mCurrent;
    }
    const int stored = StoredIndex(index);
    KFbxTakeNode* takeNode = mTakeNodes[static_cast<std::size_t>(stored)];
    mTakeNodes.erase(mTakeNodes.begin() + stored);
    delete takeNode;
    return true;
}

KFbxTakeNode* KFbxTakeNodeContainer::GetTakeNode(int index) {
    KFbxTakeNode* takeNode = TakeNodeAt(index);
    if (takeNode == nullptr) {
        SetError(kTakeNodeDoesNotExist);
    }
    return takeNode;
}

const char* KFbxTakeNodeContainer::GetTakeNodeName(int index) {
    const char* name = TakeNodeNameAt(index);
    if (name == nullptr) {
        SetError(kTakeNodeDoesNotExist);
    }
    return name;
}

KFbxTakeNode* KFbxTakeNodeContainer::GetDefaultTakeNode() const { return TakeNodeAt(0); }

bool KFbxTakeNodeContainer::SetCurrentTakeNode(int index) {
    if (index >= 0 && index < GetTakeNodeCount()) {
        mCurrent = index;
        return true;
    }
    SetError(kIndexOutOfRange);
    mCurrent = GetTakeNodeCount() == 0 ? -1 : 0;
    return false;
}

bool KFbxTakeNodeContainer::SetCurrentTakeNodeByName(const char* name) {
    for (int i = 0; i < GetTakeNodeCount(); ++i) {
        if (std::strcmp(TakeNodeNameAt(i), name != nullptr ? name : "") == 0) {
            mCurrent = i;
            return true;
        }
    }
    SetError(kUnknownTakeNodeName);
    mCurrent = GetTakeNodeCount() == 0 ? -1 : 0;
    return false;
}

KFbxTakeNode* KFbxTakeNodeContainer::GetCurrentTakeNode() { return GetTakeNode(mCurrent); }

bool KFbxTakeNodeContainer::GetAnimationInterval(KTime& start, KTime& stop) {
    // A default take not made yet holds values, never keys: it has no
    // interval, and need not be made to say so.
    if (mCurrent == 0 && mDeferred != nullptr) {
        return false;
    }
    const KFbxTakeNode* takeNode = TakeNodeAt(mCurrent);
    return takeNode != nullptr && takeNode->GetAnimationInterval(start, stop);
}

bool KFbxTakeNodeContainer::IsChannelAnimated(const char* first, const char* second, const char* third) {
    for (int i = 1; i < GetTakeNodeCount(); ++i) {
        if (TakeNodeAt(i)->IsAnimated(first, second, third)) {
            return true;
        }
    }
    return false;
}

bool KFbxTakeNodeContainer::IsChannelAnimatedByIndex(const char* first, const char* second,
                                                     const KDataType* type) {
    for (int i = 1; i < GetTakeNodeCount(); ++i) {
        if (TakeNodeAt(i)->IsAnimatedByIndex(first, second, type)) {
            return true;
        }
    }
    return false;
}

void KFbxTakeNodeContainer::ClearTakeNodes() {
    mCurrent = -1;
    mDeferred.reset();
    while (!mTakeNodes.empty()) {
        KFbxTakeNode* takeNode = mTakeNodes.back();
        mTakeNodes.pop_back();
        delete takeNode;
    }
}

KFbxTakeNode* KFbxTakeNodeContainer::TakeNodeAt(int index) const {
    if (index < 0 || index >= GetTakeNodeCount()) {
        return nullptr;
    }
    // The takes after a deferred default take are reached without making it.
    if (index == 0) {
        MakeDeferredDefaultTake();
    }
    const int stored = StoredIndex(index);
    return stored >= 0 && stored < static_cast<int>(mTakeNodes.size()) ? mTakeNodes[static_cast<std::size_t>(stored)]
                                                                         : nullptr;
}

int KFbxTakeNodeContainer::StoredIndex(int index) const { return mDeferred != nullptr ? index - 1 : index; }

const char* KFbxTakeNodeContainer::TakeNodeNameAt(int index) const {
    if (index < 0 || index >= GetTakeNodeCount()) {
        return nullptr;
    }
    if (mDeferred != nullptr && index == 0) {
        return kDefaultTakeName;
    }
    return mTakeNodes[static_cast<std::size_t>(StoredIndex(index))]->GetName();
}

void KFbxTakeNodeContainer::SetError(const char* text) {
    if (mErrorHolder != nullptr) {
        mErrorHolder->SetErrorWithText(0, text);
    }
}

}  // namespace fbxsdk_2006_11_1
