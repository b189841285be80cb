// The internal object: the base of every internal twin of a public class, of
// the object lists and of the curve filters. To a plug it adds a place in a
// world, a weak link to an owner that hears its events, names, a state word
// with change stamps, its list of internal properties (static ones it makes
// itself and dynamic ones made at run time under unique names), connection
// queries filtered by class, and the translation of low-level connection
// events into notifications that its subclasses, its owner and the objects it
// feeds hear.
#ifndef FBXFILESDK_CORE_KOBJECT_H
#define FBXFILESDK_CORE_KOBJECT_H

#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KPlugHandlePool.h>
#include <fbxfilesdk/core/KPropertyNameIndex.h>
#include <fbxfilesdk/core/KString.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KDataType;
class KFbxObject_internal;
class KInternedText;
class KObjectNotifier;
class KProperty;
class KWorld;

// A property's name, for the name index of its object.
const char* KPropertyNameOf(const KProperty* property);

// Kinds sent through KObject::Notify.
enum EKObjectNotify {
    eKObjectNotifyDestroying = 1,
    eKObjectNotifySrcAdded = 4,
    eKObjectNotifySrcRemoved = 5,
    eKObjectNotifySelected = 6,
    eKObjectNotifyUnselected = 7,
    eKObjectNotifyRenaming = 8,
    eKObjectNotifyAbsoluteNameSpaceChanging = 9,
    eKObjectNotifyRawRenaming = 10,
    eKObjectNotifyNameSpaceChanging = 11,
    eKObjectNotifyRenamed = 12,
    eKObjectNotifyAbsoluteNameSpaceChanged = 13,
    eKObjectNotifyRawRenamed = 14,
    eKObjectNotifyNameSpaceChanged = 15,
    eKObjectNotifyStateBit2Set = 16,
    eKObjectNotifyStateBit2Cleared = 17,
    eKObjectNotifyBatchBegin = 25,
    eKObjectNotifyBatchEnd = 26,
    eKObjectNotifySelectionRefreshed = 27,
    eKObjectNotifySrcAboutToBeAdded = 30,
    eKObjectNotifySrcAboutToBeRemoved = 31,
    eKObjectNotifySrcListChanged = 33,
    eKObjectNotifyConnection14 = 34,
    eKObjectNotifyConnection15 = 35
};

// Kinds of KObject::OnSrcConnectionChange, OnDstConnectionChange and ConnectionNotify.
enum EKObjectConnectionChange {
    eKObjectAboutToConnect = 1,
    eKObjectAboutToDisconnect = 2,
    eKObjectConnected = 4,
    eKObjectDisconnected = 5,
    eKObjectBeginUpdate = 6,
    eKObjectEndUpdate = 7,
    eKObjectConnectionCode14 = 14,
    eKObjectConnectionCode15 = 15
};

// Kinds of KObject::OnPropertyListChange.
enum EKObjectPropertyListChange {
    eKObjectPropertyAdding = 8,
    eKObjectPropertyRemoving = 9,
    eKObjectPropertyAdded = 11,
    eKObjectPropertyRemoved = 12
};

// Object events an object sends (KPlug::EmitObjectEvent).
constexpr int kKObjectEventDestroyed = 23;
constexpr int kKObjectEventSelected = 24;
constexpr int kKObjectEventUnselected = 25;
constexpr int kKObjectEventSelectionRefreshed = 26;
constexpr int kKObjectEventRenaming = 27;  // words: new text, old text
constexpr int kKObjectEventRenamed = 28;
constexpr int kKObjectEventNameSpaceChanging = 29;  // words: new text, old segment
constexpr int kKObjectEventNameSpaceChanged = 30;

class KObject : public KPlug {
public:
    static constexpr std::uint32_t kInterfaceKObject = 0x98ABD146;

    static constexpr std::uint32_t kInitialObjectFlags = 0x2B3DF;
    // With it set, only reference properties may be made as user properties.
    static constexpr std::uint32_t kObjectFlagNoUserProperties = 0x20;
    static constexpr std::uint32_t kLifeBeingDestroyed = 0x08;
    static constexpr std::uint32_t kStateSelected = 0x01;
    static constexpr std::uint32_t kStateBit2 = 0x02;

    // World index before the first attachment, and after leaving.
    static constexpr int kNeverAttached = -2;
    static constexpr int kDetached = -1;

    // Parts of CopyFrom.
    static constexpr std::uint32_t kCopyValues = 0x01;
    static constexpr std::uint32_t kCopyCloneUserProperties = 0x04;
    static constexpr std::uint32_t kCopyUserValues = 0x08;
    static constexpr std::uint32_t kCopyData = 0x10;
    // Flags of MergeInto.
    static constexpr std::uint32_t kMergeValues = 0x02;
    static constexpr std::uint32_t kMergeDsts = 0x04;
    static constexpr std::uint32_t kMergeSrcs = 0x08;
    static constexpr std::uint32_t kMergeClearState = 0x10;
    // Modes of MoveConnectionsTo.
    static constexpr int kMoveSrcs = 1;
    static constexpr int kMoveDsts = 2;

    KObject();
    ~KObject() override;

    // ---- plug operations ----
    // This object (as KObject*) for kInterfaceKObject, else as KPlug.
    void* GetInterface(std::uint32_t id, void* argument) override;
    // Enters the world (leaving any other first): the object takes an id and
    // each property flagged KPropertyInfo::kWorldIndexed a property id.
    void AttachToWorld(KWorld* world) override;
    // The orderly end: life flag 0x08, notification 1 to a live owner, every
    // connection and property gone, the world left, then KPlug::Destroy.
    void Destroy() override;
    // Clears state bit 0x01 when the owner is alive.
    void Finalize() override;
    const KPlugClassInfo* GetClassInfo() const override;
    KObject* AsObject() override { return this; }
    // This object as the twin of a public object, or null.
    virtual KFbxObject_internal* AsObjectInternal() { return nullptr; }
    // True when (a, b) or (b, a) is a connection being replaced.
    bool IsPairPending(KPlug* a, KPlug* b) override;
    // The owner hears value and object events first, then they go on as in KPlug.
    bool EmitValueEvent(const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a, KEventWord b,
                        KEventWord c) override;
    bool EmitObjectEvent(const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a, KEventWord b,
                         KEventWord c) override;
    // Records pending pairs, turns the event into notifications, lets a live
    // owner refuse it, then goes on as in KPlug.
    bool EmitConnectionEvent(const KPlugEventChain* chain, int code, KPlug* sender, int index, KPlug* other,
                             std::uint8_t type, KEventWord extra) override;
    // Removes and destroys a reference property that lost its last target.
    void CleanUpAfterDisconnect(KPlug* plug) override;

    // ---- object operations ----
    // False when the flag is set, or the object is connected in any way other
    // than to its live owner alone, or any property is connected.
    virtual bool IsUnused(int flag);
    virtual int GetPropertyCount() const;
    // No range check.
    virtual KProperty* GetPropertyAt(int index) const;
    // -1 when the property is not in the list.
    int IndexOfProperty(const KProperty* property) const;
    virtual void RemoveAllProperties();
    virtual void DisconnectAllConnections();
    virtual void ClearSelection();
    // The weak owner link (null clears it).
    virtual void SetOwner(KObject* owner);

    // Names. An empty or all-blank name becomes "1"; renaming to the current
    // name sends nothing.
    virtual bool SetName(const char* name);
    virtual const char* GetName() const;
    // As SetName without the blank rule, and the given name stays.
    virtual bool SetNameRaw(const char* name);
    // Marks the full name for rebuilding; recursively also every KObject
    // source of the owner class.
    virtual void SetFullNameDirty(bool recursive);
    // The name given by the last SetName ("" when none).
    const char* GetGivenName() const;
    // The own namespace segment ("" when none).
    const char* GetNameSpace() const;
    // The namespace path through the first destination of the owner class.
    KString GetNameSpacePath();
    // Type name and "::", namespace path and ":", then the name; cached.
    const char* GetFullName();
    bool IsFullNameDirty() const { return mFullNameDirty; }
    // The class whose objects enclose this one's namespace; -1 at this level.
    virtual int GetOwnerClassId() const;
    // Replaces the own namespace segment; the full names of this object and
    // of the objects it encloses are rebuilt.
    void SetNameSpace(const char* nameSpace);
    // The namespace given whole; the own segment is what follows the
    // enclosing object's path in it. Nothing when the text already is both.
    void SetAbsoluteNameSpace(const char* nameSpace);
    const char* GetAbsoluteNameSpace() const { return mAbsoluteNameSpace.Buffer(); }
    // Splits a composed name: the namespace before the last ":" and the name
    // after it; a type name in front ("Type::") is dropped.
    void SetFullName(const char* fullName);
    // The namespace (the whole path, or the own segment) and ":", then the name.
    KString GetNameWithNameSpace(bool withPath);

    // ---- notifications ----
    // Kind 1 first sends object event 23. A live owner hears it, then every
    // KObject destination (OnNotify).
    virtual void Notify(int kind, KEventWord a, KEventWord b, int index);
    virtual bool OnNotify(int kind, KObject* sender, KEventWord a, KEventWord b);
    virtual void BeginNotifyBatch();
    virtual void EndNotifyBatch();
    // False (sending kind 27 and event 26 when bit 0x01 is set) when the state
    // is unchanged; else stores it with the notifications of its bits.
    virtual bool SetState(std::uint32_t state);
    // Passes a record to the notifier when the sender is this object; true.
    virtual bool ConnectionNotify(KPlug* sender, int kind, KObject* other, int index);
    virtual bool OnSrcConnectionChange(int kind, KObject* other, int index);
    virtual bool OnDstConnectionChange(int kind, KObject* other, int index);
    virtual bool OnPropertyListChange(int kind, KProperty* property, bool dynamic);
    // Told of each owned block just before it is freed; true.
    virtual bool OnBlockReleased(void* block);

    // Hooks of an owner: it hears the events and notifications of the objects
    // it owns; returning false from the connection hook refuses the event.
    virtual void OnOwnedValueEvent(KObject* owned, const KPlugEventChain* chain, int code, KPlug* sender,
                                   KEventWord a, KEventWord b, KEventWord c);
    virtual void OnOwnedObjectEvent(KObject* owned, const KPlugEventChain* chain, int code, KPlug* sender,
                                    KEventWord a, KEventWord b, KEventWord c);
    virtual void OnOwnedNotify(KObject* owned, int kind, KEventWord a, KEventWord b, int index);
    virtual bool OnOwnedConnectionEvent(KObject* owned, const KPlugEventChain* chain, int code, KPlug* sender,
                                        int index, KPlug* other, std::uint8_t type, KEventWord extra);

    // ---- properties ----
    // Type codes 1, 2, 4, 6 to 9 and 12 to 18; null for others, for a
    // non-reference user property while kObjectFlagNoUserProperties is set,
    // or when memory runs out. A taken name gets " 0", " 1", ... unless
    // returnExisting, which returns the property already of that name.
    virtual KProperty* CreateDynamicProperty(const char* name, int type, KDataType* dataType, bool animatable,
                                             bool user, KProperty* referenced, bool returnExisting);
    // The same for a name already interned, which a free name keeps.
    KProperty* CreateDynamicProperty(const KInternedText& name, int type, KDataType* dataType, bool animatable,
                                     bool user, KProperty* referenced, bool returnExisting);
    // Room for count properties about to be added in a row; nothing when
    // memory is short.
    void ReserveProperties(int count);
    // Appends (told as kinds 8 and 11); -1.
    virtual int AddProperty(KProperty* property);
    // Leaves the list (kinds 9 and 12), taking with it the reference
    // properties that point at it; false for an index out of range.
    virtual bool RemovePropertyAt(int index);
    // RemovePropertyAt, then a dynamic property is deleted and a static one
    // disconnected and released from the object.
    virtual bool DestroyPropertyAt(int index);
    virtual bool DestroyReferencesTo(KProperty* property);
    // A type-17 property with the property as its source, named by the text
    // or "<its object's name>.<its name>"; null when it cannot be connected.
    virtual KProperty* CreateReferenceProperty(KProperty* property, const char* name);
    virtual KProperty* CloneProperty(KProperty* property);
    virtual void CopyFrom(KObject* source, std::uint32_t parts);
    virtual void CopyPropertyValues(KObject* source);
    virtual void CopyPropertyData(KObject* source);
    virtual void CopyUserPropertyValues(KObject* source);

    // ---- merging and moving ----
    // Exclusion lists are object lists; the connections of objects whose full
    // name one of them holds are broken rather than moved.
    virtual bool MergeInto(KObject* target, std::uint32_t flags, KEventWord second, KObject* excluded1,
                           KObject* excluded2);
    virtual bool IsNotEntity(KPlug* plug);
    virtual bool MoveConnectionsTo(int mode, KEventWord second, KObject* target, KObject* excluded1,
                                   KObject* excluded2);
    virtual bool CanBeMovedTo(KObject* target);
    // Whether the plug's connection may be moved to or kept by this object; true.
    virtual bool AcceptsMovedConnection(KPlug* plug);
    // Asked of the objects this one feeds before it is moved to the target; true.
    virtual bool AllowsMoveOf(KObject* object, KObject* target);
    // For object lists: whether an entry has this full name; false at this level.
    virtual bool HoldsObjectNamed(const char* fullName);

    // ---- queries ----
    // The first property of exactly that name, or null.
    KProperty* FindProperty(const char* name) const;
    // To be called after a listed property's name changed.
    void PropertyRenamed(const KProperty* property);
    // Before the properties leave the list one after the other (their object
    // is going): the name index lets go of them all at once, rather than of
    // each in turn, and the next search builds it again.
    void ForgetPropertyNames() { mPropertyIndex.Reset(); }
    using KPlug::GetDst;
    using KPlug::GetDstCount;
    using KPlug::GetSrc;
    using KPlug::GetSrcCount;
    // Class id -1 or KPlug's 2: the own lists; another: the class's filtered
    // view (made on first use); 0 / null for a class id with no record.
    int GetSrcCount(int classId);
    KPlug* GetSrc(int index, int classId);
    int GetDstCount(int classId);
    KPlug* GetDst(int index, int classId);
    KObject* GetSrcObject(int index, int classId);
    KObject* GetDstObject(int index, int classId);
    KObject* GetRootObject();
    // The owner while it lives, else null.
    KObject* GetOwner() const;
    int GetUserPropertyCount() const;
    KProperty* GetUserPropertyAt(int index) const;

    KWorld* GetWorld() const { return mWorld; }
    int GetWorldIndex() const { return mWorldIndex; }
    std::uint32_t GetObjectFlags() const { return mObjectFlags; }
    void SetObjectFlags(std::uint32_t flags) { mObjectFlags = flags; }
    std::uint32_t GetLifeFlags() const { return mLifeFlags; }
    void SetLifeFlags(std::uint32_t flags) { mLifeFlags = flags; }
    bool IsBeingDestroyed() const { return (mLifeFlags & kLifeBeingDestroyed) != 0; }
    std::uint32_t GetState() const { return mState; }
    std::uint32_t GetStateStamp() const { return mStateStamp; }
    // The object owns the notifier (null removes it).
    void SetNotifier(std::unique_ptr<KObjectNotifier> notifier);
    KObjectNotifier* GetNotifier() const { return mNotifier.get(); }
    // A block from SdkMalloc that the object frees at its end; false when memory runs out.
    bool AddOwnedBlock(void* block);
    int GetPendingPairCount() const { return static_cast<int>(mPendingPairs.size()); }

    // Properties that a class makes on first need rather than in its
    // constructor. While they are pending the list is empty, and every
    // operation that could see or add a property makes them first.
    void SetPropertiesPending(bool pending) { mPropertiesPending = pending; }
    bool ArePropertiesPending() const { return mPropertiesPending; }
    void MakePendingProperties() const {
        if (mPropertiesPending) {
            const_cast<KObject*>(this)->MakePendingPropertiesNow();
        }
    }

    // The plug's root object: parents followed to the top, when it is a KObject.
    static KObject* RootObjectOf(KPlug* plug);
    // The plug as a KObject, or null.
    static KObject* AsKObject(KPlug* plug);

protected:
    // Called once, with the pending mark already cleared, so that the making
    // itself sees an ordinary list; nothing to make at this level.
    virtual void MakePendingPropertiesNow();

private:
    friend class KProperty;

    struct PendingPair {
        KPlug* mA;
        KPlug* mB;
        KEventWord mExtra;
        // 1 when recorded for a source replacement, 0 for a destination one.
        std::uint8_t mSide;
    };

    // This object for class id -1 or KPlug's, else its view of the class
    // (null for a class id with no record).
    KPlug* PlugForClass(int classId);
    // A property being deleted without its object's knowledge leaves the list
    // quietly (and its world id goes back).
    void ForgetProperty(KProperty* property);
    // The dynamic property of a free stored name, with the defaults of CreateDynamicProperty.
    KProperty* NewListedProperty(const KInternedText& name, int type, KDataType* dataType, bool animatable,
                                 bool user, KProperty* referenced);
    void EnterWorldIndex(KProperty* property);
    void LeaveWorldIndex(KProperty* property);
    void LeaveWorld();
    // Disconnects the property's connections one by one, stopping should a
    // clean-up take the property away.
    void DisconnectProperty(KProperty* property);
    void ReleaseRemainingProperties();
    bool RenameTo(const char* name, bool given, int beginKind, int endKind);
    // This object and, recursively, every KObject source of its owner class;
    // each once.
    std::vector<KObject*> CollectNameSpaceTree();
    // The own segment of an absolute namespace under an enclosing path.
    static KString SegmentUnder(const KString& absolute, const KString& path);
    void ChangeNameSpace(const KString& given, const KString& absolute, const KString& segment, int beginKind,
                         int endKind);
    // A new source whose namespace this object encloses takes its segment
    // from its absolute namespace again.
    void RederiveNameSpaceOf(KObject* source);
    // Moves or breaks the connections of one plug of this object (itself or
    // one of its properties) for MoveConnectionsTo.
    void MovePlugConnections(int mode, KPlug* from, KPlug* to, KObject* target, KObject* excluded1,
                             KObject* excluded2);
    bool IsExcluded(KPlug* plug, KObject* excluded1, KObject* excluded2);
    void RemovePendingPair(KPlug* a, KPlug* b, std::uint8_t side);
    // Records or closes the pair of a replacement event (codes 10 to 13).
    void TrackPendingPair(int code, KPlug* sender, KPlug* other, KEventWord extra);
    // Walks the common properties for CopyPropertyValues and CopyPropertyData.
    void CopyCommonProperties(KObject* source, bool data);

    KWorld* mWorld = nullptr;
    int mWorldIndex = kNeverAttached;
    HdlKObject mOwner;
    KString mName;
    KString mGivenName;
    KString mNameSpace;
    KString mAbsoluteNameSpace;
    KString mFullName;
    bool mFullNameDirty = true;
    bool mPropertiesPending = false;
    std::unique_ptr<KObjectNotifier> mNotifier;
    std::uint32_t mObjectFlags = kInitialObjectFlags;
    std::uint32_t mLifeFlags = 0;
    std::uint32_t mState = 0;
    std::uint32_t mStateStamp = 0;
    std::vector<PendingPair> mPendingPairs;
    std::vector<void*> mOwnedBlocks;
    std::vector<KProperty*> mProperties;
    mutable KPropertyNameIndex<KProperty, &KPropertyNameOf> mPropertyIndex;
};

}  // namespace fbxsdk_2006_11_1

#endif
