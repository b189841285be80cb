// The base of every animatable object: one take node per take, in order, the
// first being the default take "Default". Each animatable property gets a
// channel in every take; a property change is written into the channel
// defaults of the current and the default take, and the default take's curves
// are linked back to the properties, so that a changed curve default updates
// its property. A link lives as long as both its curve and its property: the
// curve's destruction and the property's removal each take it away.
//
// A derived class may ask for its default take to be made on first use
// (DeferDefaultTakeNode): until something reaches that take, its channels or
// the links, the container keeps only what is needed to build them later
// exactly as they would have been built at once, in the same order and with
// the property values the changes since would have left in them. Another take
// made meanwhile is built as the copy of that take would be, without it.
//
// Errors are recorded, code 0 with a text, in the error holder the derived
// class hands over; without one they are only answered by false or null.
//
// A container is used from one thread at a time.
#ifndef FBXFILESDK_ANIMATION_KFBXTAKENODECONTAINER_H
#define FBXFILESDK_ANIMATION_KFBXTAKENODECONTAINER_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KRecycledAllocator.h>
#include <fbxfilesdk/core/KTime.h>

#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

class ErrorHolder;
class KDataType;
class KFbxTakeNode;
class KFbxTakeNodeContainer;
class KFCurve;
class KFCurveNode;
struct KFCurveEvent;

// One curve of the default take tied to one component of a property: 0 for a
// scalar, 0 to 3 for vector components, 0 to 15 for matrix elements (row by row).
struct KFbxPropertyLink {
    KFbxProperty mProperty;
    int mComponent = 0;
    KFCurve* mCurve = nullptr;
    KFbxTakeNodeContainer* mContainer = nullptr;

    // A link comes and goes with every curve of an animatable object: its
    // block is recycled. Members rather than a base keep the braced form.
    static void* operator new(std::size_t size) { return KRecycledBlocks::operator new(size); }
    static void* operator new(std::size_t size, const std::nothrow_t& nothrow) noexcept {
        return KRecycledBlocks::operator new(size, nothrow);
    }
    static void operator delete(void* block, std::size_t size) noexcept { KBlockRecycler::Free(block, size); }
    static void operator delete(void* block, const std::nothrow_t&) noexcept {
        KBlockRecycler::Free(block, sizeof(KFbxPropertyLink));
    }
};

class KFbxTakeNodeContainer : public KFbxObject {
public:
    // The class id of KFbxTakeNodeContainer; null until the SDK classes are registered.
    static KFbxClassId ClassId;

    // No take node yet (current -1); derived classes call CreateDefaultTakeNode.
    // The error holder stays the caller's and may be null.
    KFbxTakeNodeContainer(KFbxSdkManager* manager, const char* name, ErrorHolder* errorHolder = nullptr);
    // Unlinks and destroys what DestroyContents would have.
    ~KFbxTakeNodeContainer() override;

    // A plain container (no error holder) with its twin; null when memory runs out.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    // ---- object operations ----
    KFbxClassId GetClassId() const override;
    // Take nodes (last first), links, then the object's own contents.
    void DestroyContents(bool recursive, bool dependents) override;
    KFbxObject_internal* NewInternalObject() override;
    KFbxObject* GetTakeNodeContainer() override { return this; }
    // An animatable property's value goes into its channel defaults in the
    // current and the default take.
    void PropertyChanged(KFbxProperty& property) override;
    // The object's step, then channels in every take.
    void AddProperty(KFbxProperty* property) override;
    // The property's channels are destroyed in every take and its links
    // removed, then the object's step.
    void RemoveProperty(KFbxProperty* property) override;

    // The name, when of the same type, and copies of the source's take nodes
    // and current index. Links are not copied: the own default take's curves
    // go, and with them the own links. Nothing changes when memory runs out.
    void CopyFrom(const KFbxTakeNodeContainer& source);

    // ---- take nodes ----
    // Derived classes add their channels to a fresh take node; nothing here.
    virtual void FillTakeNodeTemplate(KFbxTakeNode& takeNode);
    // A change of the channels that reads nothing but the take node.
    using TakeNodeStep = void (*)(KFbxTakeNode& takeNode);
    // The step on every take node now; a deferred default take keeps it, in
    // order with the channels of the properties added meanwhile, and takes
    // it when made. Made at once when memory runs out.
    void ApplyToTakeNodes(TakeNodeStep step);
    // For a part of the object that fills the default take with channels of
    // its own (a node attribute, by owner): while the default take waits to
    // be made and nothing else was done to it, a take of the default take's
    // name to fill instead. Its channels, and the links the filler makes for
    // them, join the default take where an immediate fill would have put them
    // when it is made. The owner's take if it has one; null otherwise, when
    // the default take is made or memory runs out: fill the default take.
    KFbxTakeNode* OpenDeferredChannels(const void* owner);
    // The owner's take of channels, null without; with lastOnly, only when
    // nothing was done to the deferred default take since it was filled.
    KFbxTakeNode* FindDeferredChannels(const void* owner, bool lastOnly = false) const;
    // Forgets the owner's take once it holds no channel.
    void CloseDeferredChannels(const void* owner);
    // The take "Default", which becomes current; null when refused.
    KFbxTakeNode* CreateDefaultTakeNode();
    // A copy of the default take under the name, or a fresh, filled take
    // when there is none; appended. Null for a name in use or out of memory.
    KFbxTakeNode* CreateTakeNode(const char* name);
    // The default take (0) cannot go. A current take above the removed one
    // moves down with it, and the current take itself gives way to the one
    // before it, so the current index stays valid.
    bool RemoveTakeNode(int index);
    int GetTakeNodeCount() const { return static_cast<int>(mTakeNodes.size()) + (mDeferred != nullptr ? 1 : 0); }
    KFbxTakeNode* GetTakeNode(int index);
    const char* GetTakeNodeName(int index);
    // Null without take nodes; records no error.
    KFbxTakeNode* GetDefaultTakeNode() const;
    // A bad index or an unknown name (case-sensitive) makes the default take
    // current and answers false.
    virtual bool SetCurrentTakeNode(int index);
    virtual bool SetCurrentTakeNodeByName(const char* name);
    KFbxTakeNode* GetCurrentTakeNode();
    // The same, but null while the current take is the default take not
    // made yet, which has no keys: what only looks for keys makes nothing.
    KFbxTakeNode* GetCurrentTakeNodeIfMade() {
        return mCurrent == 0 && IsDefaultTakeDeferred() ? nullptr : GetCurrentTakeNode();
    }
    int GetCurrentTakeNodeIndex() const { return mCurrent; }
    // Widens start and stop by the key span of the current take; false
    // without current take or keys.
    virtual bool GetAnimationInterval(KTime& start, KTime& stop);
    // Whether any take after the default one has keys on that channel.
    bool IsChannelAnimated(const char* first, const char* second, const char* third);
    bool IsChannelAnimatedByIndex(const char* first, const char* second, const KDataType* type);

    // ---- properties and channels ----
    // "T", "R" and "S" for "Lcl Translation", "Lcl Rotation" and "Lcl
    // Scaling"; any other name is its own channel name.
    static const char* GetChannelName(const char* propertyName);
    // For animatable properties only: a channel in each take of that name (in
    // all takes for null), the default take's curves linked, and the value
    // written into the channel defaults. Translation, rotation and scaling
    // channels are the derived classes' to make.
    void PropertyAddToTakeNodes(KFbxProperty& property, const char* takeName = nullptr);
    // For a take template: a channel with one curve per component, linked in
    // the take named "Default" (any case). Nothing when the channel exists.
    void CreateChannelForProperty(KFbxProperty& property, KFbxTakeNode& takeNode);
    void PropertySetDefaultValuesOnChannel(KFbxProperty& property, KFbxTakeNode& takeNode);
    // The value into the channel's curve defaults, making the component
    // children and curves that are missing.
    void PropertyToDefaultValues(KFbxProperty& property, KFCurveNode& channel);
    // The same into the children and curves that exist, up to four components.
    void PropertyToChannelDefaults(KFbxProperty& property, KFCurveNode& channel);
    // Zeros, then the property's matrix value row by row.
    static void GetMatrixPropertyValue(const KFbxProperty& property, double out[16]);

    // ---- property links ----
    // Null for an invalid property, a null curve or a component outside 0 to
    // 15, and when memory runs out.
    KFbxPropertyLink* AddPropertyLink(KFbxProperty& property, int component, KFCurve* curve);
    // Only a link of this container; clears the caller's pointer.
    void RemovePropertyLink(KFbxPropertyLink*& link);
    void RemoveAllPropertyLinks();
    int GetPropertyLinkCount() const;
    KFbxPropertyLink* GetPropertyLink(int index) const;
    // AddPropertyLink for the curve of a channel, unless that link exists:
    // where the channel hangs tells whether it was filled ahead without a
    // search for its curve. Null when nothing is linked.
    KFbxPropertyLink* LinkChannelCurve(KFbxProperty& property, int component, const KFCurveNode& channel);
    // Whether that link exists, without making a deferred default take: a
    // curve of it is linked by nothing yet.
    bool HasPropertyLink(const KFbxProperty& property, int component, const KFCurve* curve) const;
    // Registered on every linked curve with its link as user data.
    static void OnCurveChanged(KFCurve* curve, KFCurveEvent* event, void* link);

protected:
    // From the last take node to the first; no current take afterwards.
    void ClearTakeNodes();
    // As CreateDefaultTakeNode, the take made and filled when first reached.
    // The object's properties and their animatable flags are taken now, as an
    // immediate fill would have seen them; the fill that comes later sees no
    // node attribute, so this is for constructors. The values are read when
    // the take is made: they are those an immediate take would hold for the
    // channels of animatable properties, whose changes reach their channels,
    // not for a channel the fill gives a property that is not animatable (or
    // no longer). Made at once when the container already has take nodes or
    // memory runs out. While the object's properties are deferred, the
    // properties and flags are those they are made with.
    void DeferDefaultTakeNode();
    // Takes the template of a default take deferred while the properties
    // were: the properties just made, with their flags.
    void MakeDeferredProperties() override;
    // For FillTakeNodeTemplate: the properties and flags an immediate fill of
    // a deferred default take would have seen, the current ones otherwise.
    int TemplatePropertyCount() const;
    bool TemplatePropertyAnimatable(int index) const;
    bool IsMakingDeferredDefaultTake() const { return mMaking != nullptr; }
    // The default take waits to be made: it would hold the values of the
    // object's template channels, and no keys.
    bool IsDefaultTakeDeferred() const { return mDeferred != nullptr; }
    // For a derived class that keeps the value of a property not made yet
    // while a take made beside a deferred default take is current: what
    // PropertyChanged would write into that take, count components (1 or 3).
    void WriteUnmadeChannelDefaults(const char* propertyName, const double* values, int count);

private:
    struct DeferredDefaultTake;

    // The take node at the index without recording an error; null out of
    // range. A deferred default take is made first.
    KFbxTakeNode* TakeNodeAt(int index) const;
    // Builds the deferred default take, if any: the fill, then the channels
    // of the properties added since, in order.
    void MakeDeferredDefaultTake() const;
    // The object's properties and their animatable flags as they are now.
    void TakeTemplate(DeferredDefaultTake& deferred) const;
    // Whether a deferred default take waits for the properties being made.
    bool IsTemplatePending() const;
    const char* TakeNodeNameAt(int index) const;
    // Keeps the property for a deferred default take's channels, or the
    // step for it; false when there is none (or it had to be made for want
    // of memory).
    bool DeferChannel(const KFbxProperty& property, TakeNodeStep step = nullptr);
    // A channel for the property in the take, its curves linked when asked.
    void AddChannel(KFbxProperty& property, KFbxTakeNode& takeNode, bool link);
    // A take of the name built as the deferred default take would be: the
    // fill, then what was done since, in order; linked when it is "Default".
    KFbxTakeNode* FillAsDefault(const char* name, const DeferredDefaultTake& deferred);
    // Channels filled ahead go into the made default take, their links after
    // those made before; a copy of them into any other take.
    void JoinDeferredChannels(KFbxTakeNode& channels, KFbxTakeNode& takeNode, bool isDefault);
    // Whether the curve is one of the channels filled ahead.
    bool IsDeferredChannelCurve(const KFCurve* curve) const;
    // Whether the node hangs, child by child, from the root of channels
    // filled ahead; false tells nothing.
    bool HangsFromDeferredChannels(const KFCurveNode& node) const;
    // AddPropertyLink, told already whether the curve was filled ahead.
    KFbxPropertyLink* AddPropertyLink(KFbxProperty& property, int component, KFCurve* curve, bool filledAhead);
    // A new take of the name with the class's template; null when refused.
    KFbxTakeNode* NewFilledTakeNode(const char* name);
    // Where the take of that index is kept: a deferred default take is not.
    int StoredIndex(int index) const;
    // The current take, unless it is a deferred default take.
    KFbxTakeNode* MadeCurrentTakeNode() const;
    void SetError(const char* text);
    void RemoveLinksOf(const KFbxProperty& property);
    // Writes the value into the channel; create makes missing children and
    // curves, fourComponents lets four-component values fill a fourth child.
    void WriteChannelDefaults(const KFbxProperty& property, KFCurveNode& channel, bool create, bool fourComponents);
    // The first read values into the channel's curve or its componentCount children.
    static void WriteValuesToChannel(const double* values, int read, int componentCount, KFCurveNode& channel,
                                     bool create);
    // Gives the channel its curve (one component) or its component children
    // with curves, linking each curve to the property when asked.
    void BuildChannel(KFbxProperty& property, KFCurveNode& channel, int componentCount, bool link);

    std::vector<KFbxTakeNode*> mTakeNodes;
    std::vector<KFbxPropertyLink*, KRecycledAllocator<KFbxPropertyLink*>> mLinks;
    std::unique_ptr<DeferredDefaultTake> mDeferred;
    // Set while a deferred default take is being made.
    const DeferredDefaultTake* mMaking = nullptr;
    int mCurrent = -1;
    ErrorHolder* mErrorHolder;
};

}  // namespace fbxsdk_2006_11_1

#endif
