// A curve-node tree hangs function curves under an animatable property: a
// vector property is one node with "X", "Y", "Z" children that own a curve
// each, a scalar property one node with its own curve. A node may also carry a
// chain of animation layers (further nodes of the same shape, by rising layer
// id, whose values combine with its own by the layer type), a time-warp node
// that remaps time before evaluation, a rotation order for Euler-rotation
// channels, and a small evaluation cache.
//
// Children are owned by their parent unless the parent is a reference node,
// which only lists nodes that live elsewhere. Next layers and time warps are
// shared through a use count and destroyed by the last holder. A node and the
// copies made from it by the copy constructor share one name record.
//
// A tree, its caches and its callbacks are used from one thread at a time;
// evaluation with the cache allowed writes the caches of the nodes it passes.
#ifndef FBXFILESDK_ANIMATION_KFCURVENODE_H
#define FBXFILESDK_ANIMATION_KFCURVENODE_H

#include <fbxfilesdk/animation/KFCurveNodeEvent.h>
#include <fbxfilesdk/core/KBlockRecycler.h>
#include <fbxfilesdk/core/KRecycledAllocator.h>
#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/KTime.h>

#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KDataType;
class KFCurve;
class KFbx;
class KProperty;
class KFCurveNodeWatchers;
struct KFCurveNodeEventRecord;

enum KFCurveNodeLayerType : int {
    KFCL_PLAIN = 0,
    KFCL_TRANSLATION = 1,
    KFCL_EULER_ROTATION = 2,
    KFCL_SCALING = 3,
    KFCL_QUATERNION = 4
};

enum KFCurveNodeFlags : unsigned int {
    KFCN_REFERENCE = 0x08,
    KFCN_CREATED = 0x20,
    KFCN_LAYERED = 0x40,
    KFCN_CACHE_ALWAYS_VALID = 0x80
};

// Every node's take makes and frees some fifteen of these: their blocks are
// recycled.
class KFCurveNode : public KRecycledBlocks {
public:
    static constexpr int kCachedValueCapacity = 4;

    // A new node: both names given, no curve, children or layers, flags
    // KFCN_LAYERED | KFCN_CREATED, rotation order 0.
    KFCurveNode(const char* name, const char* userName, KDataType* dataType, int layerType = KFCL_PLAIN,
                int layerId = 0);
    // Shares the source's name record and copies its layer type, rotation
    // order, quaternion flag and cache; no curve, no children, layer id 0.
    KFCurveNode(const KFCurveNode& source);
    KFCurveNode& operator=(const KFCurveNode&) = delete;
    // Posts KFCURVENODEEVENT_DESTROYED, clears the node and leaves its
    // parent's children.
    virtual ~KFCurveNode();

    // From the heap, or null. The user name is the name, or empty for a node
    // of the "TimeWarp" data type.
    static KFCurveNode* Create(const char* name, KDataType* dataType, int layerType = KFCL_PLAIN, int layerId = 0);
    static KFCurveNode* CreateCopy(const KFCurveNode& source);

    // --- Children (indices are 0-based) ------------------------------------

    // Deletes (or, for a reference node, removes) every child, destroys the
    // curve and releases the next layer and the time warp.
    virtual void Clear();
    // Appends; sets the child's parent unless this is a reference node.
    // Returns the child's index, -1 when memory runs out.
    virtual int Add(KFCurveNode* child);
    // Before the first child whose name is not below the child's,
    // case-insensitively.
    virtual int AddSorted(KFCurveNode* child);
    // Takes the child out without destroying it.
    virtual void Remove(int index);
    virtual void Delete(int index);
    // Destroys the node only when it is one of the children.
    void DeleteChild(KFCurveNode* child);
    virtual int GetCount() const;
    // Null for an index outside [0, count).
    virtual KFCurveNode* Get(int index) const;
    virtual bool IsChild(const KFCurveNode* node, bool recursive = false) const;
    virtual void SetParent(KFCurveNode* parent) { mParent = parent; }
    virtual KFCurveNode* GetParent() const { return mParent; }

    unsigned int GetFlags() const { return mFlags; }
    void SetFlag(unsigned int bits, bool on) { mFlags = on ? mFlags | bits : mFlags & ~bits; }
    bool IsReference() const { return (mFlags & KFCN_REFERENCE) != 0; }
    bool IsLayered() const { return (mFlags & KFCN_LAYERED) != 0; }

    // --- Names and finding ---------------------------------------------------

    // The owner property's name when one is set, else the node's own name.
    const char* GetName() const;
    const char* GetUserName() const;
    KDataType* GetDataType() const;
    // Ties the node's name to a property; null unties it.
    void SetOwnerProperty(const KProperty* property);

    virtual int FindChildByName(const char* name) const;
    virtual int FindChild(const KFCurveNode* node) const;
    virtual KFCurveNode* FindChildByDataType(const KDataType* type) const;
    // A "/"-separated path of names, each found depth-first among the
    // descendants; "T", "R" and "S" also match the Lcl data types.
    KFCurveNode* Find(const char* path) const;
    // For each of count single names, what Find gives for it, all found in
    // one walk of the descendants; null for a name not there.
    void FindEach(const char* const* names, KFCurveNode** found, int count) const;
    KFCurveNode* FindByDataType(const KDataType* type) const;
    // The child a stored channel of this name belongs to: the Lcl data type
    // of "T", "R" and "S", then the name, then the name cut before a "(" and
    // up to two spaces. Null when none.
    KFCurveNode* FindChildForChannel(const char* name) const;
    // Null when memory runs out.
    KFCurveNode* FindOrCreate(const char* name, bool withCurve = true);
    // The same for a name interned already, which a new child shares.
    KFCurveNode* FindOrCreate(const KInternedText& name, bool withCurve = true);
    bool GetTransformCurves(KFCurve* t[3], KFCurve* r[3], KFCurve* s[3]) const;

    // --- Curves and keys -----------------------------------------------------

    KFCurve* FCurveGet() const { return mCurve; }
    // Returns the previous curve when it is kept, else null.
    KFCurve* FCurveSet(KFCurve* curve, bool destroyPrevious = false);
    void FCurveSetAndDestroy(KFCurve* curve) { FCurveSet(curve, true); }
    void CreateMissingCurves();
    double* GetDefaultValues(double* out) const;
    int KeyGetCount(bool withLayers = false) const;
    // values: one per curve of the tree, depth-first. unroll moves the three
    // angles of an Euler node to continue those of the previous key. Returns
    // the position after the values used.
    const double* KeyAppendFast(KTime time, const double* values, bool unroll = false);
    bool GetKeySpan(KTime& start, KTime& stop) const;
    bool GetAnimationInterval(KTime& start, KTime& stop) const;
    // The key time nearest before (after) time over the own curve and the
    // children whose flag is set (all without flags); time itself when none.
    void KeyFindPrevious(KTime& result, KTime time, const bool* componentMask = nullptr) const;
    void KeyFindNext(KTime& result, KTime time, const bool* componentMask = nullptr, bool withLayers = false) const;

    // --- Copying -------------------------------------------------------------

    // A deep copy of the tree (null when memory runs out): each node by the
    // copy constructor or rebuilt; each curve copied with its keys, replaced by
    // an empty curve, or left out; layerId -1 keeps each node's id. Layers and
    // time warps are not copied.
    static KFCurveNode* Clone(const KFCurveNode& source, bool byCopyConstructor, bool withKeys, bool withCurves,
                              int layerId = -1);
    static KFCurveNode* CloneTree(const KFCurveNode& source, bool byCopyConstructor = false);
    // takeOver moves the source's curves into this tree.
    void CopyCurvesFrom(KFCurveNode& source, bool takeOver = false);
    void CopyFrom(KFCurveNode& source, bool takeOver = false);

    // --- Evaluation ----------------------------------------------------------

    // Writes the node's values at time: its own curve's, then its components'
    // (three angles for rotation nodes). out must hold GetValueCount() values.
    // Returns the position after the last value written.
    double* Evaluate(double* out, KTime time, int* index = nullptr, bool useCache = false);
    double* EvaluateCached(double* out, KTime time, int* index = nullptr) { return Evaluate(out, time, index, true); }
    // The curves alone: no cache, time warp or layers.
    double* EvaluateCurves(double* out, KTime time, int* index = nullptr) const;
    double* EvaluateLayerOnly(double* out, KTime time, int layerId, int* index = nullptr);
    double* EvaluateEulerRotation(double* out, KTime time, int* index = nullptr, bool useCache = false);
    // The number of values Evaluate writes.
    int GetValueCount() const;
    void ClearEvaluationCache(int layerId = 0, bool alsoLaterLayers = true);
    bool IsCacheValid() const { return mCacheState == kCacheValid; }

    // --- Layers and time warp ------------------------------------------------

    KFCurveNode* FindLayer(int layerId);
    int GetLayerIdIfLayered(int layerId) const { return IsLayered() ? layerId : 0; }
    int GetLayerId() const { return mLayerId; }
    int GetLayerType() const { return mLayerType; }
    // out = a combined with b by this node's layer type, a applying first;
    // count values (three Euler angles, four quaternion components). out may
    // be a or b. A layer type this node does not know leaves a as it is.
    void CombineLayerValues(double* out, const double* a, const double* b, int count) const;
    // Adds or removes the "W" child as the type needs.
    void SetLayerType(int type, KFCurveNode* layerRoot = nullptr);
    // The layer type the node's name and data type tell, the one a reader
    // gives a stored channel: a rotation of three components 2 (a rotation
    // of other counts loses a type of 2), a translation 1, a scaling 3;
    // other nodes keep theirs.
    void SetLayerTypeOfKind();
    // Inserts a layer of that id at its place in the chain; the layer, or
    // null when refused (not layered, an id below this node's, or memory).
    KFCurveNode* AddLayer(int layerId);
    // A copy of this node's structure with empty curves at their neutral
    // values becomes the next layer.
    KFCurveNode* CreateLayer(int layerId, bool destroyOld = false);
    // Returns the position after the last value written.
    double* GetLayerNeutralValues(double* out) const;
    void SetNextLayer(KFCurveNode* layer, bool destroyOld = false);
    KFCurveNode* GetNextLayer() const { return mNextLayer; }
    KFCurveNode* GetLayerRoot() const { return mLayerRoot; }
    void SetLayerRoot(KFCurveNode* root) { mLayerRoot = root; }
    void CopyLayersFrom(KFCurveNode& other, bool takeOver = false);
    void SetTimeWarp(KFCurveNode* timeWarp);
    KFCurveNode* GetTimeWarp() const { return mTimeWarp; }
    void SetRotationOrder(int order);
    int GetRotationOrder() const { return mRotationOrder; }
    void SetQuaternionInterpolation(bool on);
    bool GetQuaternionInterpolation() const { return mQuaternionInterpolation; }
    int GetUseCount() const { return mUseCount; }

    // --- Rotation ------------------------------------------------------------

    // On an Euler node (no own curve, three children): out becomes the
    // equivalent of angles nearest the values at the previous key. Other nodes
    // leave out alone.
    void EulerMatchPreviousKey(double* out, const double* angles, KTime time) const;
    // Whole turns (plus 180 per axis when the flipped triple is nearer) that
    // bring angles to reference; true when flipped.
    bool GetEulerTurnOffsets(double* out, const double* angles, const double* reference) const;
    // Puts the keys of [start, stop] of a source tree of the same shape into
    // this one, shifted by timeOffset.
    void ReplaceSpan(KFCurveNode& source, KTime start, KTime stop, bool keepSpan = false, bool flattenEmpty = false,
                     KTime timeOffset = KTime());

    // --- Events --------------------------------------------------------------

    // Nothing is registered for a null callback or when memory runs out.
    void CallbackRegister(KFCurveNodeCallback callback, void* userData);
    void CallbackUnregister(KFCurveNodeCallback callback, void* userData);
    void CallbackEnable(bool enable);
    void PostEvent(unsigned int bits);
    void ClearEvent();
    int GetUpdateCounter() const { return mUpdateCounter; }

    // --- Stored form in a field file (defined in the fbx library) -----------

    // Writes the node as a field named blockName holding its name, with its
    // curve, children and (unless onlyDefault) layers in the field's block.
    // shortNames writes "T", "R", "S" for the Lcl data types. False only
    // without a file.
    bool FbxStore(KFbx* file, bool onlyDefault = false, bool shortNames = true, bool noUserName = true,
                  const char* blockName = "Channel", bool withColor = true, bool converted = false) const;
    // Reads the next "Channel" of the current block into the matching child
    // of parent (or a new node with createMissing); channels that match
    // nothing are skipped. Null when no further channel is read.
    static KFCurveNode* FbxRetrieve(KFbx* file, KFCurveNode* parent, bool onlyDefault = false,
                                    bool createMissing = true, bool withColor = false);
    static KFCurveNode* FbxRetrieveNew(KFbx* file, bool onlyDefault = false, bool withColor = false);
    // Reads the block of the open channel field into this node.
    void FbxRetrieveChannel(KFbx* file, bool onlyDefault, bool createMissing, bool withColor);
    // Reads the next "LayerChannel" into a new next layer of node; the layer,
    // or null when there is none.
    static KFCurveNode* FbxRetrieveLayer(KFbx* file, KFCurveNode* node, bool onlyDefault);

private:
    friend class KFCurveNodeWatchers;

    struct NameRecord {
        // Shared with every curve node and property of the same names.
        KInternedText mName;
        KInternedText mUserName;
        KDataType* mDataType = nullptr;
        const KProperty* mOwnerProperty = nullptr;
    };
    KFCurveNode(KInternedText name, KInternedText userName, KDataType* dataType, int layerType, int layerId);
    // As Create, the name interned already; null when memory runs out.
    static KFCurveNode* CreateInterned(KInternedText name, KDataType* dataType, int layerType, int layerId);
    // The new child added, or deleted and null when it cannot be; null stays null.
    KFCurveNode* AddNew(KFCurveNode* child);
    // The node, given a curve if asked and it has none.
    static KFCurveNode* WithCurveIfAsked(KFCurveNode* node, bool withCurve);
    // A plain node with source's names, data type and layer type, or null.
    static KFCurveNode* CreateNamedLike(const KFCurveNode& source, int layerId);
    // A node's names are its own until a layer is made of it: the chain of
    // layers then shares one record, so that a change shows in all of them.
    const NameRecord& Names() const { return mSharedNames ? *mSharedNames : mNames; }
    NameRecord& Names() { return mSharedNames ? *mSharedNames : mNames; }
    const std::shared_ptr<NameRecord>& SharedNames() const;
    void ShareNamesOf(const KFCurveNode& model);
    static constexpr int kCacheInvalid = 1;
    static constexpr int kCacheValid = 2;

    // Use count - 1; destroyed below 1.
    static void Release(KFCurveNode* node);
    void LinkNextLayer(KFCurveNode* layer);
    KFCurveNode* InsertLayerAfter(KFCurveNode* previous, int layerId);
    void ClearOwnCache();
    void StoreCache(KTime time, const double* values, int count);
    bool EvaluateComponentCurves(double* out, KTime time, int count) const;
    bool InterpolateThroughQuaternions(double* out, KTime time, int lo, int hi);
    // The record's event once a callback was registered, else null.
    KFCurveNodeEvent* Event() const;
    void Deliver(KFCurveNodeEvent& event);

    bool mQuaternionInterpolation = false;
    mutable NameRecord mNames;
    mutable std::shared_ptr<NameRecord> mSharedNames;
    unsigned int mFlags = KFCN_LAYERED | KFCN_CREATED;
    int mUseCount = 0;
    std::vector<KFCurveNode*, KRecycledAllocator<KFCurveNode*>> mChildren;
    KFCurve* mCurve = nullptr;
    KFCurveNode* mTimeWarp = nullptr;
    KFCurveNode* mNextLayer = nullptr;
    KFCurveNode* mLayerRoot = nullptr;
    const KFCurveNode* mSource = nullptr;
    KFCurveNode* mParent = nullptr;
    int mLayerType = KFCL_PLAIN;
    int mLayerId = 0;
    int mUpdateCounter = 0;
    int mRotationOrder = 0;
    int mChanged = 1;
    int mCacheState = kCacheInvalid;
    // Only valid while mCacheState is kCacheValid; a node whose values do not
    // fit is never cached.
    double mCachedValues[kCachedValueCapacity] = {0.0, 0.0, 0.0, 0.0};
    int mCachedCount = 0;
    KTime mCachedTime = KTimeInfinite;
    // The callbacks' event and the SDK's own watchers of the node's end;
    // null for a node that has had neither.
    std::unique_ptr<KFCurveNodeEventRecord> mEvent;
};

// Destroys a non-null node.
void DeleteObjectVirtual(KFCurveNode* node);

}  // namespace fbxsdk_2006_11_1

#endif
