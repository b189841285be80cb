// The public base of every scene object. An object has a name with a type
// prefix, a list of public properties, a user word, the manager that made it
// and the class it was made as; it joins a scene through its connections, and
// destroying it destroys the sources it owns. Its working state lives in an
// internal twin made by CreateInternal.
#ifndef FBXFILESDK_CORE_KFBXOBJECT_H
#define FBXFILESDK_CORE_KFBXOBJECT_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxObjectNameRecord.h>
#include <fbxfilesdk/core/KFbxPlug.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KPropertyNameIndex.h>
#include <fbxfilesdk/core/KString.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxObject_internal;
class KProperty;
class KStringList;

// The classes of the scene libraries that the object rules name (scene
// membership, ownership on destroy). Those libraries install their class ids
// here once the classes are registered; a null class id matches nothing.
struct KFbxSceneClassIds {
    KFbxClassId mScene;
    KFbxClassId mNode;
    KFbxClassId mNodeAttribute;
    KFbxClassId mGeometry;
    KFbxClassId mGeometryWeightedMap;
    KFbxClassId mDeformer;
    KFbxClassId mSkin;
    KFbxClassId mCluster;
    KFbxClassId mConstraint;
};
void KFbxSetSceneClassIds(const KFbxSceneClassIds& classIds);
const KFbxSceneClassIds& KFbxGetSceneClassIds();

// The name an object's property index files a registered handle under.
const char* KFbxPropertyNameOf(const KFbxProperty* property);

class KFbxObject : public KFbxPlug {
public:
    // The class id of KFbxObject; null until the SDK classes are registered.
    static KFbxClassId ClassId;

    // No internal twin yet; a null name counts as "".
    KFbxObject(KFbxSdkManager* manager, const char* name);
    // Destroys what Destroy would have left: the properties and the twin.
    ~KFbxObject() override;
    KFbxObject(const KFbxObject&) = delete;
    KFbxObject& operator=(const KFbxObject&) = delete;

    // Constructs an object and its twin; null when memory runs out.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    // ---- plug operations ----
    KFbxClassId GetClassId() const override;
    KFbxSdkManager* GetSdkManager() const override { return mManager; }
    bool SetRuntimeClassId(const KFbxClassId& classId) override;
    // The stored class id, else GetClassId.
    KFbxClassId GetRuntimeClassId() const override;
    void SetUserData(void* data) override { mUserData = data; }
    void* GetUserData() const override { return mUserData; }
    // Never refuses.
    bool ConnectNotify(const KFbxConnectEvent& event) override;
    // The twin, made by NewInternalObject on the first call.
    KPlug* CreateInternal() override;
    // Once: an object met again by the destruction it is going through (a
    // source that holds what holds it) is left to that destruction.
    void Destroy(bool recursive = false, bool dependents = false) override;
    bool IsBeingDestroyed() const { return mBeingDestroyed; }
    // Destroys the owned sources, then the properties (last first), then the twin.
    void DestroyContents(bool recursive, bool dependents) override;
    KPlug* GetInternalPlug() const override;

    // ---- object operations ----
    // 0 (none); subclasses give 1 to 21, which fix their name prefix.
    virtual int GetObjectTypeCode() const;
    // Passed on to the take-node container when that is another object.
    virtual void PropertyChanged(KFbxProperty& property);
    // Subclasses make their properties here; nothing at this level.
    virtual void ConstructProperties();
    // The twin a class works with; a plain KFbxObject_internal at this level.
    virtual KFbxObject_internal* NewInternalObject();
    // Null; take-node containers return themselves.
    virtual KFbxObject* GetTakeNodeContainer();
    // The type name files use; "" at this level.
    virtual const char* GetTypeName() const;
    // Empties the list: no type flags at this level.
    virtual void GetTypeFlags(KStringList& flags) const;
    // Sets the owner and binds the property, or defers binding it until the
    // twin's properties are first looked at; ignores null.
    virtual void AddProperty(KFbxProperty* property);
    // Unbinds the property and clears its owner; ignores null.
    virtual void RemoveProperty(KFbxProperty* property);
    // Nothing at this level.
    virtual void Copy(const KFbxObject& other);
    // Joins the scene with the sources that have none, and with those of
    // another scene that come along (see JoinScene); null leaves the current
    // scene. An object of another scene stays there.
    virtual void SetScene(KFbxObject* scene);
    // Asked by the twin before its plug takes another object's twin as a
    // source, on every route alike (a public connection, or the plugs'
    // own calls that it runs on): false refuses the link. askedOf is the
    // object the call was made on (this one, the source, or null for
    // another), which a refusal leaves its error on; oneWay a link that the
    // source would neither be asked about nor told of. True at this level.
    virtual bool AcceptsSrcObject(KFbxObject& source, KFbxObject* askedOf, bool oneWay);
    // Told by the twin just before its plug gains another object's twin as
    // a destination, once every end has taken the link. Nothing at this level.
    virtual void DstObjectAboutToLink(KFbxObject& destination);
    // Told by the twin once its plug has gained (linked) or lost another
    // object's twin as a destination, on every route alike. Having become a
    // source of a scene, or of an object in a scene, the object joins that
    // scene (SetScene); a node linked under a node of another scene moves
    // there, with its subtree and what they carry, and so does another
    // object that nothing of its own scene holds.
    virtual void DstObjectLinked(KFbxObject& destination, bool linked);

    KFbxObject_internal* GetInternalObject() const { return mInternal; }

    // ---- names ----
    // With the prefix, the name's own prefix is replaced by that of the type code.
    void SetName(const char* name, bool withPrefix = false);
    const char* GetName() const { return mNameRecord.GetCurrentName(); }
    KString GetNameString() const { return KString(mNameRecord.GetCurrentName()); }
    // Sets the initial and the current name.
    void SetInitialName(const char* name);
    const char* GetInitialName() const { return mNameRecord.GetInitialName(); }
    KString GetTypePrefix() const;
    KString GetNameWithTypePrefix() const;
    // Copies the other's initial and current names when both have the same type code.
    void CopyNameIfSameType(const KFbxObject& other);
    void SetNameSpace(const char* nameSpace);
    const char* GetNameSpace() const { return mNameRecord.GetNameSpace(); }
    const KFbxObjectNameRecord& GetNameRecord() const { return mNameRecord; }

    // ---- properties ----
    // Appends the handle unless one already shares its internal property, then AddProperty.
    void RegisterProperty(KFbxProperty* property);
    // Drops the handle sharing its internal property (one at most is registered), then RemoveProperty.
    void UnregisterProperty(KFbxProperty* property);
    // RegisterProperty for a handle whose internal property was just made, so
    // that no registered handle can share it yet.
    void RegisterNewProperty(KFbxProperty* property);
    // Room in this object's lists and its twin's for count properties about
    // to be made in a row; nothing when memory is short.
    void ReserveProperties(int count);
    // Properties a class makes on first need are counted before they are made.
    int GetPropertyCount() const { return static_cast<int>(mProperties.size()) + mDeferredPropertyCount; }
    // The invalid property out of range.
    KFbxProperty GetPropertyAt(int index) const;
    // The first property of the name (byte-wise, or ignoring case); the
    // invalid property when none or for a null name.
    KFbxProperty FindProperty(const char* name, bool caseSensitive = true) const;
    KFbxProperty FindPropertyOfType(const char* name, const KFbxDataType& dataType, bool caseSensitive = true) const;
    // From the start index, wrapping at count back to 0, until the start comes round.
    KFbxProperty FindPropertyFrom(const char* name, int startIndex, int count) const;
    // The registered handle linked to the internal property; null when none.
    KFbxProperty* FindPropertyByInternal(const KProperty* property) const;
    // A handle for each property of the twin that has none.
    void WrapInternalProperties();
    // Whether the class's own properties exist yet (see DeferProperties).
    bool ArePropertiesMade() const { return mDeferredPropertyCount == 0; }
    // Makes the class's deferred properties now, if they are still pending.
    void MakeProperties() const {
        if (mDeferredPropertyCount != 0) {
            const_cast<KFbxObject*>(this)->MakeDeferredPropertiesNow();
        }
    }

    // ---- scene and connections ----
    // The first destination that is a scene; null when none.
    KFbxObject* GetScene() const;
    // A null class id means KFbxObject's.
    int GetSrcObjectCount(const KFbxClassId& classId = KFbxClassId()) const;
    KFbxObject* GetSrcObject(const KFbxClassId& classId = KFbxClassId(), int index = 0) const;
    KFbxObject* FindSrcObject(const KFbxClassId& classId, const char* name, int startIndex = 0) const;
    int GetDstObjectCount(const KFbxClassId& classId = KFbxClassId()) const;
    KFbxObject* GetDstObject(const KFbxClassId& classId = KFbxClassId(), int index = 0) const;
    // Disconnects the sources of the class from the last to the first; true.
    bool DisconnectAllSrcObject(const KFbxClassId& classId = KFbxClassId());

protected:
    // For constructors, after CreateInternal: the class's own count
    // properties are made by MakeDeferredProperties the first time anything
    // could see or add a property of the object or of its twin. They are
    // made all at once, in their order, before any other property, so that
    // the lists are as they would have been had the constructor made them.
    void DeferProperties(int count);
    // Makes the deferred properties; called once, the deferral already
    // lifted. Nothing at this level.
    virtual void MakeDeferredProperties();
    // For destructors and destruction: properties never made are never made.
    void DropDeferredProperties();
    // Binds a registered property now, or marks it to be bound, in its turn,
    // when the twin's properties are first looked at.
    void BindWhenNeeded(KFbxProperty& property);

private:
    friend class KFbxObject_internal;

    KFbxObject* ObjectSelf() override { return this; }

    void MakeDeferredPropertiesNow();
    // Binds, in list order, the properties whose binding was deferred.
    void BindDeferredProperties();
    // The property of the exact name through the index; answered false when
    // the index cannot tell and the list must be searched.
    const KFbxProperty* FindIndexed(const char* name, bool& answered) const;

    // The twin is going away without this object's knowledge.
    void ForgetInternal(const KFbxObject_internal* internal);
    void DestroyProperties();
    void DestroyInternal();
    // The current name is copied to the twin, so lists that search by full name find the object.
    void MirrorNames();
    // Brings this object into the scene, and its sources in no scene,
    // leaving the scene it was in.
    void BringIntoScene(KFbxObject& scene);
    // Joins the scene, leaving any other, and adds to those still to join it
    // the sources in no scene, the child nodes of a node, and the sources
    // that nothing of their own scene holds any more.
    void JoinScene(KFbxObject& scene, std::vector<KFbxObject*>& pending);
    // Whether a destination other than a scene is in the scene.
    bool IsHeldIn(const KFbxObject& scene) const;

    KFbxObject_internal* mInternal = nullptr;
    KFbxObjectNameRecord mNameRecord;
    std::vector<KFbxProperty*> mProperties;
    // Finds a property by exact name without a pass over the list: objects
    // of the larger classes look up each of their properties as they make it.
    mutable KPropertyNameIndex<KFbxProperty, &KFbxPropertyNameOf> mPropertyIndex;
    // The number of properties still to be made; 0 once they are.
    int mDeferredPropertyCount = 0;
    // Some registered property waits for the twin to show its properties
    // before it is bound: most objects never show them.
    bool mBindingsDeferred = false;
    bool mBeingDestroyed = false;
    void* mUserData = nullptr;
    KFbxSdkManager* mManager;
    KFbxClassId mRuntimeClassId;
};

// The name prefix of an object type code ("Model::" for 1, ...); "" for codes without one.
const char* KFbxGetObjectTypePrefix(int typeCode);
// The name without everything up to and including its first "::"; then,
// when that is not empty and the prefix is not, the prefix in front.
KString KFbxReplaceTypePrefix(const KString& prefix, const KString& name);
// The text without everything up to and including its first "::".
KString KFbxStripTypePrefixString(const KString& text);
const char* KFbxStripTypePrefix(const char* text);
// Whether destroying the owner destroys the source: a node owns its
// attributes, constraints and deformers (its child nodes when recursive), a
// geometry its deformers and weighted maps, a skin its clusters, a scene
// every source.
bool KFbxIsOwnedSource(const KFbxObject* owner, const KFbxObject* source, bool recursive);

}  // namespace fbxsdk_2006_11_1

#endif
