// The element of the scene graph. A node has one parent and ordered children,
// carries node attributes of which one is the default, looks at a target and
// an up-vector target, and holds the transform properties, two pivot sets and
// the limits that place it. Its global transform, at a time or from the
// default values, is computed from the current take's "T", "R" and "S"
// channels and its ancestors', and cached per node. Children, parent and
// attributes are connections: a child and an attribute are sources of the
// node, the parent its destination.
//
// A node is used from one thread at a time; evaluation writes its caches.
#ifndef FBXFILESDK_SCENE_KFBXNODE_H
#define FBXFILESDK_SCENE_KFBXNODE_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/scene/KFbxCharacterBackLink.h>
#include <fbxfilesdk/scene/KFbxLimits.h>
#include <fbxfilesdk/scene/KFbxNodeEvaluationState.h>
#include <fbxfilesdk/scene/KFbxNodeProperties.h>

#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFCurveFilterMatrixConverter;
class KFCurveNode;
class KFbxNodeAttribute;
class KFbxReaderFbx6Pass;
class KFbxTakeNode;
class KStringList;

class KFbxNode : public KFbxTakeNodeContainer {
public:
    // Codes of the node's error holder.
    enum EError {
        eTakeNodeError = 0,
        eNodeNameClash = 1,
        eMaterialNameClash = 2,
        eTextureNameClash = 3,
        eTargetNotChild = 4,
        eCyclicGraph = 5,
        eHeldByScene = 6,
        eIndexOutOfRange = 7,
        eAttributeNotConnected = 8,
        // A node linked under a second parent moves there: only one whose
        // link to its parent its plugs no longer let go of is refused.
        eHasParent = 9,
        eOneWayLink = 10,
        eErrorCount = 11
    };
    enum EPivotSet { eSOURCE_SET = 0, eDESTINATION_SET = 1 };
    enum ERotationOrder {
        eEULER_XYZ = 0,
        eEULER_XZY = 1,
        eEULER_YZX = 2,
        eEULER_YXZ = 3,
        eEULER_ZXY = 4,
        eEULER_ZYX = 5,
        eSPHERIC_XYZ = 6
    };
    enum ETransformInheritType { eINHERIT_RrSs = 0, eINHERIT_RSrs = 1, eINHERIT_Rrs = 2 };
    // What a scene holds a node as, a set of bits.
    enum ESceneRole { eSceneRoot = 1, eSceneCameraSwitcher = 2, eSceneProducerCamera = 4 };

    // The class id of KFbxNode; null until the class is registered.
    static KFbxClassId ClassId;

    // Through the manager's factory by the class id; null without one.
    static KFbxNode* Create(KFbxSdkManager* manager, const char* name);
    // The class's create function: the node with its twin.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    // Properties at their defaults, both pivot sets neutral, the take
    // "Default" with the node's channels, visible, shading 3.
    KFbxNode(KFbxSdkManager* manager, const char* name);
    ~KFbxNode() override;

    // ---- object operations ----
    KFbxClassId GetClassId() const override;
    // A node that a scene holds stays until the scene lets it go: refused
    // with eHeldByScene, the node is left as it was.
    void Destroy(bool recursive = false, bool dependents = false) override;
    // A link that would put a scene's root under this node, a scene's
    // switcher or producer camera under it or anything under either
    // (eHeldByScene), this node under itself or one of its descendants
    // (eCyclicGraph), or any object under this one by a link it would not
    // know of (eOneWayLink), or a node that cannot leave its parent (eHasParent)
    // is refused, whatever call makes it, with the error on the node the
    // call was made on.
    bool AcceptsSrcObject(KFbxObject& source, KFbxObject* askedOf, bool oneWay) override;
    // A node linked under a new parent leaves the one it has, whatever call
    // links it, as AddChild moves it.
    void DstObjectAboutToLink(KFbxObject& destination) override;
    // Keeps track of the parent node as links to nodes come and go.
    void DstObjectLinked(KFbxObject& destination, bool linked) override;
    // Keeps the evaluation's copy of "InheritType" current.
    void PropertyChanged(KFbxProperty& property) override;
    void DestroyContents(bool recursive, bool dependents) override;
    // 1: files name nodes "Model::".
    int GetObjectTypeCode() const override;
    // The default attribute's, "Null" without one.
    const char* GetTypeName() const override;
    void GetTypeFlags(KStringList& flags) const override;
    // Mode 2: a node of the same name in the same manager with this node's
    // settings copied in; null for other modes.
    virtual KFbxNode* Clone(int mode) const;
    // The settings of another node; returns this node.
    KFbxNode& CopyFrom(const KFbxNode& other);

    // ---- takes ----
    // "Transform" with "T", "R", "S", then "Visibility", then a channel per
    // other animatable property, then the default attribute's channels.
    void FillTakeNodeTemplate(KFbxTakeNode& takeNode) override;
    // Both transform caches are emptied first.
    bool SetCurrentTakeNode(int index) override;
    bool SetCurrentTakeNodeByName(const char* name) override;
    // Widened by the key spans of this node and its whole subtree; false,
    // leaving both untouched, when no curve has keys.
    bool GetAnimationInterval(KTime& start, KTime& stop) override;

    // ---- hierarchy ----
    KFbxNode* GetParent() const;
    // Moves the node here from its parent (to the last place, when this is
    // its parent already). False for null, for this node and for one of its
    // ancestors (error eCyclicGraph), and for a scene's root, switcher or
    // producer camera, or when this node is one of the last two (error
    // eHeldByScene), the node staying where it was.
    bool AddChild(KFbxNode* node);
    // The node when it was a child; null otherwise.
    KFbxNode* RemoveChild(KFbxNode* node);
    int GetChildCount(bool recursive = false) const;
    KFbxNode* GetChild(int index) const;
    // Children in order; with recursive, a child's subtree before the next child.
    KFbxNode* FindChild(const char* name, bool recursive = true, bool initialName = false) const;
    // Names of the FBX 5 "Children" field.
    void AddChildName(const char* name);
    const char* GetChildName(int index) const;
    int GetChildNameCount() const { return static_cast<int>(mChildNames.size()); }

    // ---- attributes ----
    int GetNodeAttributeCount() const;
    KFbxNodeAttribute* GetNodeAttributeByIndex(int index) const;
    // -1 and eAttributeNotConnected when absent or null.
    int GetNodeAttributeIndex(const KFbxNodeAttribute* attribute);
    int GetDefaultNodeAttributeIndex() const;
    // False and eIndexOutOfRange unless 0 <= index < count.
    bool SetDefaultNodeAttributeIndex(int index);
    KFbxNodeAttribute* GetNodeAttribute() const;
    // Makes an attribute the node already carries the default (null result).
    // Otherwise every attribute leaves; the old default survives and is
    // returned, the others are destroyed unless another object holds them.
    KFbxNodeAttribute* SetNodeAttribute(KFbxNodeAttribute* attribute);
    // False for null or an attribute already carried.
    bool AddNodeAttribute(KFbxNodeAttribute* attribute);
    // The default attribute when of the kind, else null.
    KFbxNodeAttribute* GetNull() const { return DefaultOfType(1); }
    KFbxNodeAttribute* GetMarker() const { return DefaultOfType(2); }
    KFbxNodeAttribute* GetSkeleton() const { return DefaultOfType(3); }
    KFbxNodeAttribute* GetCamera() const { return DefaultOfType(7); }
    KFbxNodeAttribute* GetCameraSwitcher() const { return DefaultOfType(8); }
    KFbxNodeAttribute* GetLight() const { return DefaultOfType(9); }
    // The default attribute when it is a geometry.
    KFbxNodeAttribute* GetGeometry() const;
    // The default attribute when of the kind, else the first of the kind.
    KFbxNodeAttribute* GetMesh() const { return FirstOfType(4); }
    KFbxNodeAttribute* GetNurb() const { return FirstOfType(5); }
    KFbxNodeAttribute* GetPatch() const { return FirstOfType(6); }
    KFbxNodeAttribute* GetNurbsCurve() const { return FirstOfType(13); }
    KFbxNodeAttribute* GetNurbsSurface() const { return FirstOfType(16); }

    // ---- targets ----
    void SetTarget(KFbxNode* node);
    KFbxNode* GetTarget() const;
    void SetTargetUp(KFbxNode* node);
    KFbxNode* GetTargetUp() const;
    void SetPostTargetRotation(const KFbxVector4& rotation) { mPostTargetRotation = rotation; }
    KFbxVector4 GetPostTargetRotation() const { return mPostTargetRotation; }
    void SetUpTargetRotation(const KFbxVector4& rotation) { mUpTargetRotation = rotation; }
    KFbxVector4 GetUpTargetRotation() const { return mUpTargetRotation; }

    // ---- display ----
    // "Show", then "Visibility" 1.0 or 0.0.
    void SetVisibility(bool visible);
    bool GetVisibility() const;
    void SetShading(int shading) { mShading = shading; }
    int GetShading() const { return mShading; }
    void SetMultiLayer(bool multiLayer) { mMultiLayer = multiLayer; }
    bool GetMultiLayer() const { return mMultiLayer; }
    void SetMultiTake(int multiTake) { mMultiTake = multiTake; }
    int GetMultiTake() const { return mMultiTake; }
    // Which faces are culled: 0 none, 1 counter-clockwise, 2 clockwise.
    void SetCulling(int culling) { mCulling = culling; }
    int GetCulling() const { return mCulling; }
    void SetOldFile(bool oldFile) { mOldFile = oldFile; }
    bool IsOldFile() const { return mOldFile; }
    // Whether the node (or, recursive, a descendant) is marked.
    bool IsMarked(bool recursive = false) const;
    void SetMarked(bool marked) { mMarked = marked; }

    // ---- properties ----
    // Makes the node's properties when they are not made yet.
    KFbxProperty& GetNodeProperty(ENodeProperty which) { return Handles()[which]; }
    const KFbxProperty& GetNodeProperty(ENodeProperty which) const { return Handles()[which]; }
    // "Euler XYZ" ... "Spheric XYZ"; null beyond.
    static const char* GetRotationOrderName(int order);
    // "RrSs" for 0 and 1, "Rrs" for 2; null beyond.
    static const char* GetTransformInheritTypeName(int type);
    // False when the property is missing.
    bool SetLclTranslation(const KFbxVector4& value) { return SetDouble3(eLclTranslation, value); }
    bool SetLclRotation(const KFbxVector4& value) { return SetDouble3(eLclRotation, value); }
    bool SetLclScaling(const KFbxVector4& value) { return SetDouble3(eLclScaling, value); }
    // The out vector is left alone when the property is missing.
    void GetLclTranslation(KFbxVector4& out) const { GetDouble3(eLclTranslation, out); }
    void GetLclRotation(KFbxVector4& out) const { GetDouble3(eLclRotation, out); }
    void GetLclScaling(KFbxVector4& out) const { GetDouble3(eLclScaling, out); }
    // Any three-double property by name; zero when missing.
    KFbxVector4 GetPropertyDouble3(const char* name) const;

    // ---- pivot sets ----
    // Set 0 also updates the evaluation state.
    void SetRotationOffset(EPivotSet set, const KFbxVector4& v);
    void SetRotationPivot(EPivotSet set, const KFbxVector4& v);
    void SetScalingOffset(EPivotSet set, const KFbxVector4& v);
    void SetScalingPivot(EPivotSet set, const KFbxVector4& v);
    void SetPreRotation(EPivotSet set, const KFbxVector4& v);
    void SetPostRotation(EPivotSet set, const KFbxVector4& v);
    void SetRotationOrder(EPivotSet set, ERotationOrder order);
    void SetRotationSpaceForLimitOnly(EPivotSet set, bool on);
    // Only the set.
    void SetGeometricTranslation(EPivotSet set, const KFbxVector4& v) { EditPivotSet(set).mGeometricTranslation = v; }
    void SetGeometricRotation(EPivotSet set, const KFbxVector4& v) { EditPivotSet(set).mGeometricRotation = v; }
    void SetGeometricScaling(EPivotSet set, const KFbxVector4& v) { EditPivotSet(set).mGeometricScaling = v; }
    void SetQuaternionInterpolate(EPivotSet set, bool on) { EditPivotSet(set).mQuaternionInterpolate = on; }
    void SetPivotState(EPivotSet set, int state) { EditPivotSet(set).mPivotState = state; }
    const KFbxVector4& GetRotationOffset(EPivotSet set) const { return PivotSet(set).mRotationOffset; }
    const KFbxVector4& GetRotationPivot(EPivotSet set) const { return PivotSet(set).mRotationPivot; }
    const KFbxVector4& GetScalingOffset(EPivotSet set) const { return PivotSet(set).mScalingOffset; }
    const KFbxVector4& GetScalingPivot(EPivotSet set) const { return PivotSet(set).mScalingPivot; }
    const KFbxVector4& GetPreRotation(EPivotSet set) const { return PivotSet(set).mPreRotation; }
    const KFbxVector4& GetPostRotation(EPivotSet set) const { return PivotSet(set).mPostRotation; }
    void GetRotationOrder(EPivotSet set, ERotationOrder& order) const;
    bool GetRotationSpaceForLimitOnly(EPivotSet set) const { return PivotSet(set).mRotationSpaceForLimitOnly; }
    void GetGeometricTranslation(EPivotSet set, KFbxVector4& out) const { out = PivotSet(set).mGeometricTranslation; }
    void GetGeometricRotation(EPivotSet set, KFbxVector4& out) const { out = PivotSet(set).mGeometricRotation; }
    void GetGeometricScaling(EPivotSet set, KFbxVector4& out) const { out = PivotSet(set).mGeometricScaling; }
    bool GetQuaternionInterpolate(EPivotSet set) const { return PivotSet(set).mQuaternionInterpolate; }
    int GetPivotState(EPivotSet set) const { return PivotSet(set).mPivotState; }
    // Loads the set into the evaluation state.
    void SelectPivotSet(EPivotSet set);
    // The set neutral (pivot state kept), in this node and every descendant.
    void ResetPivotSet(EPivotSet set);
    // Rewrites the "T", "R" and "S" curves of every take, "Lcl Translation"
    // and the geometry's pivot so that the node, evaluated with the target
    // set, moves as it did with the other set; then every child likewise.
    // The curves are resampled on frames of the rate (which must be
    // positive), and constant keys are dropped when keyReducer is on.
    void ConvertPivotAnimation(EPivotSet target, double frameRate, bool keyReducer);
    // Set 1 neutral over the subtree, the subtree converted to it, then set 0
    // neutral: the motion stays while both sets end neutral.
    void ConvertPivotAnimationRecursive(double frameRate, bool keyReducer);

    void SetTransformInheritType(ETransformInheritType type);
    void GetTransformInheritType(ETransformInheritType& type) const;
    void SetRotationActive(bool active);
    bool GetRotationActive() const;
    // The limits, made (bound to the evaluation state) on the first call;
    // the const form reads shared limits equal to the node's until then.
    KFbxLimits& GetLimits() { return mLimits != nullptr ? *mLimits : MakeLimits(); }
    const KFbxLimits& GetLimits() const { return mLimits != nullptr ? *mLimits : UnmadeLimits(); }
    const KFbxNodeEvaluationState& GetEvaluationState() const { return mState; }

    // Property defaults into the properties; both pivot sets neutral.
    void InitTransformDefaults();
    // Pivot set 0 and the limits into the properties, for writers.
    void UpdatePropertiesFromPivotsAndLimits();
    // The reverse, for readers: pivot set 0 follows the properties only when
    // one of them is not neutral (beyond 1e-6); the limits only when one differs.
    void UpdatePivotsAndLimitsFromProperties();

    // ---- evaluation ----
    // The global matrix at a time with a pivot set, valid until this node is
    // evaluated again.
    KgeMatrix& EvaluateGlobalTransform(KTime time, EPivotSet set = eSOURCE_SET);
    KgeMatrix& EvaluateDefaultGlobalTransform(EPivotSet set = eSOURCE_SET);
    // The same at a time, from the parent's parts at that time as the caller
    // kept them (null only for a node without parent) instead of the
    // parent's own evaluation, and the node's parts at that time for its
    // children: a walk that keeps the parts of a node's ancestors pays for
    // each once per time, however deep the node.
    void EvaluateGlobalTransformUnder(KTime time, const KFbxNodeGlobalParts* parent, KFbxNodeGlobalParts& parts,
                                      EPivotSet set = eSOURCE_SET);
    KFbxVector4& EvaluateLocalTranslation(KTime time, bool clamp = true) { return EvaluateLocalT(time, clamp); }
    KFbxVector4& EvaluateLocalT(KTime time, bool clamp);
    KFbxVector4& EvaluateLocalR(KTime time, bool clamp);
    KFbxVector4& EvaluateLocalS(KTime time, bool clamp);
    void EvaluateLocalTRS(KTime time, bool clamp);
    KFbxVector4& EvaluateDefaultLocalT(bool clamp);
    KFbxVector4& EvaluateDefaultLocalR(bool clamp);
    KFbxVector4& EvaluateDefaultLocalS(bool clamp);
    void EvaluateDefaultLocalTRS(bool clamp);
    // Both caches empty.
    void ResetEvaluationCache();
    // The COLLADA reader's transform, kept with its parts.
    void SetCachedTransformFromMatrix(const KgeMatrix& matrix);
    const KFbxNodeMatrixRecord& GetMatrixRecord(int index) const {
        return mCaches != nullptr ? mCaches->mMatrixRecords[index] : KFbxNodeEvaluationCaches::UnusedRecord();
    }

    ErrorHolder& GetError() { return mError; }
    int GetErrorCode() const { return mError.GetLastErrorID(); }

    // The scene's own: what it holds the node as (ESceneRole bits, 0 for
    // nothing), set as it (or its camera settings) takes and lets go of its
    // root, switcher and producer camera nodes.
    void SetSceneRoles(int roles) { mSceneRoles = roles; }
    int GetSceneRoles() const { return mSceneRoles; }
    // Whether a scene keeps the node beside its tree, as its switcher or a
    // producer camera (and not its root): such a node has neither parent
    // nor children and takes no part in deformers.
    bool IsKeptOutOfTree() const {
        return (mSceneRoles & eSceneRoot) == 0 && (mSceneRoles & (eSceneCameraSwitcher | eSceneProducerCamera)) != 0;
    }
    // The same for any object: false for one that is not a node.
    static bool IsKeptOutOfTree(const KFbxObject& object);

    // ---- character back-links ----
    // The slots of characters and control sets that hold this node; the
    // owners keep them, and destroying the node empties each slot.
    void AddCharacterBackLink(const KFbxCharacterBackLink& backLink);
    // The index of an equal record; -1 when none or for a null owner.
    int FindCharacterBackLink(const KFbxCharacterBackLink& backLink) const;
    // False when there is no equal record.
    bool RemoveCharacterBackLink(const KFbxCharacterBackLink& backLink);
    int GetCharacterBackLinkCount() const { return static_cast<int>(mCharacterBackLinks.size()); }
    const KFbxCharacterBackLink& GetCharacterBackLink(int index) const { return mCharacterBackLinks[index]; }

protected:
    // The properties, the defaults that differ from zero, then the values
    // written before.
    void MakeDeferredProperties() override;

private:
    // The FBX 6 reader keeps a forest of the links it makes, so that it knows
    // whether a link would put a node under itself without walking the tree:
    // a file may move a large subtree under deep nodes at every connection.
    friend class KFbxReaderFbx6Pass;
    // AddChild with that answer given in place of the walk.
    bool AddChildKnowingLoop(KFbxNode* node, bool underItself);

    // The node's own pivot set, else the shared neutral one.
    const KFbxNodePivotSet& PivotSet(EPivotSet set) const {
        return (mPivotSets != nullptr ? *mPivotSets : KFbxNodePivotSets::Neutral()).mSets[set];
    }
    // The node's own pivot set, both made neutral first when it has none.
    KFbxNodePivotSet& EditPivotSet(EPivotSet set) {
        return (mPivotSets != nullptr ? *mPivotSets : MakePivotSets()).mSets[set];
    }
    KFbxNodePivotSets& MakePivotSets();
    KFbxLimits& MakeLimits();
    // Shared limits equal to those of the evaluation state, for a node
    // without limits of its own.
    const KFbxLimits& UnmadeLimits() const;
    KFbxNodeEvaluationCaches& Caches() { return mCaches != nullptr ? *mCaches : MakeCaches(); }
    KFbxNodeEvaluationCaches& MakeCaches();
    // The cache of evaluations at a time, or of the default values.
    KFbxNodeTransformCache& TransformCache(bool atTime) {
        return atTime ? Caches().mTimeCache : Caches().mDefaultCache;
    }
    // Both matrix records unused (tag -1).
    void ForgetMatrixRecords();
    // The defaults into the properties; with onlyNonZero, those that differ
    // from the zero value a property is made with.
    void WritePropertyDefaults(bool onlyNonZero);

    // Every slot that holds this node lets go of it; the records go.
    void ReleaseCharacterBackLinks();

    KFbxNodeAttribute* DefaultOfType(int type) const;
    KFbxNodeAttribute* FirstOfType(int type) const;
    // The handles of the properties, made first.
    KFbxProperty* Handles() const;
    bool HasHandles() const { return mProperties != nullptr; }
    // A property's value, while the properties are not made the one they
    // would be made with.
    bool NodeBool(int which) const;
    int NodeInt(int which) const;
    KFbxVector4 NodeVector(int which) const;
    static const double* DefaultOf(int which);
    // The value written meanwhile to a property not made yet, else its default.
    const double* UnmadeOf(int which) const;
    // Keeps the value for a property not made yet; false when it must be
    // written into the property (made, or no memory to keep it).
    bool KeepUnmade(int which, double x, double y = 0.0, double z = 0.0);
    // The values kept by KeepUnmade into the properties just made.
    void WriteKeptValues();
    // What a change of the property would have written into a take made
    // meanwhile, for the value just kept.
    void WroteUnmade(int which);
    // Into the property, or kept for it until it is made.
    bool SetDefaultAttributeIndexValue(int index);
    bool SetDouble3(ENodeProperty which, const KFbxVector4& value);
    void GetDouble3(ENodeProperty which, KFbxVector4& out) const;
    // Whether this node is the node or lies below it.
    bool IsInSubtreeOf(const KFbxNode& node) const;
    // Whether the twins would undo the link to the parent (true without one).
    bool CanLeaveParent() const;
    // eHeldByScene when what the scenes hold the node and this one as
    // forbids the node as a child of this one; -1 when it allows it.
    int SceneRoleRefusal(const KFbxNode& node) const;
    // The error that refuses the node as a child of this one, wherever it
    // is now; -1 when it may be.
    int ChildRefusal(const KFbxNode& node) const;
    void SetReferenceTarget(ENodeProperty which, KFbxNode* node);
    KFbxNode* GetReferenceTarget(ENodeProperty which) const;
    void CreateProperties();
    // Whether the take read (the current one at a time, else the default
    // one) is the default take not made yet.
    bool ReadsDeferredDefaultTake(bool atTime) const;
    // The root curve node of the current take (at a time) or of the default take.
    KFCurveNode* ChannelRoot(bool atTime);
    // The channel's cached value of the kind asked for, evaluated first when
    // the cache does not hold it.
    KFbxVector4& EvaluateChannel(KFbxNodeTransformCache& cache, int channel, KTime time, bool atTime, bool clamp);
    // The three clamped channels the global matrix is made of, those the
    // cache does not hold evaluated from one look-up of the take.
    void EvaluateChannelsForGlobal(KFbxNodeTransformCache& cache, KTime time, bool atTime);
    // Evaluates the channel from its curve node (null: the neutral value)
    // into the cache.
    void EvaluateChannelIn(KFCurveNode* curveNode, KFbxNodeTransformCache& cache, int channel, KTime time,
                           bool atTime, bool clamp);
    KgeMatrix& EvaluateGlobal(KFbxNodeTransformCache& cache, KTime time, bool atTime, EPivotSet set);
    // The global matrix into the cache, from the node's channels and its
    // parent's cache of the same kind, which must hold the parent's matrix.
    KgeMatrix& ComposeUnderParent(KFbxNodeTransformCache& cache, KTime time, bool atTime, EPivotSet set);
    // What a child reads of its parent's global evaluation.
    struct ParentGlobal {
        const double* mGlobal;
        const double* mRotation;
        const double* mScaling;
        const double* mLocalScaling;
    };
    // The global matrix into the cache, from the node's channels and the
    // parent's global evaluation at the same time (null for none).
    KgeMatrix& ComposeGlobal(KFbxNodeTransformCache& cache, KTime time, bool atTime, EPivotSet set,
                             const ParentGlobal* parent);
    void ResetPivotSetOfNode(EPivotSet set);
    // ConvertPivotAnimation for this node alone.
    void ConvertPivotAnimationOfNode(EPivotSet target, double frameRate, bool keyReducer);
    // The take-node part of the conversion: the rotation-offset difference
    // added to the translation curves, then the converter on every take.
    void ConvertTakeNodes(const double* offset, KFCurveFilterMatrixConverter* converter);

    // The destination node, followed through the twin's links.
    KFbxNode* mParent = nullptr;
    bool mOldFile = false;
    std::vector<KString> mChildNames;
    KFbxVector4 mPostTargetRotation;
    KFbxVector4 mUpTargetRotation;
    int mShading = 3;
    bool mMultiLayer = false;
    int mMultiTake = 1;
    int mCulling = 0;
    // What evaluation reads, loaded from pivot set 0.
    KFbxNodeEvaluationState mState;
    // Most nodes are never evaluated and keep neutral pivot sets and limits:
    // these are made on first use; until then the node reads neutral ones
    // and holds no caches.
    std::unique_ptr<KFbxNodePivotSets> mPivotSets;
    std::unique_ptr<KFbxLimits> mLimits;
    std::unique_ptr<KFbxNodeEvaluationCaches> mCaches;
    bool mMarked = false;
    int mSceneRoles = 0;
    ErrorHolder mError;
    // "DefaultAttributeIndex" until the properties are made.
    int mUnmadeDefaultAttributeIndex = -1;
    // A value written to a property before the properties are made: readers
    // that only place a node make none of the others.
    struct UnmadeValue {
        int mWhich;
        double mValue[3];
    };
    // The last value written to each such property, in the order first
    // written; written into the properties when they are made. Made on the
    // first such write, as most nodes have none; the few properties written
    // this way fit.
    struct UnmadeValues {
        static constexpr int kCapacity = 8;
        UnmadeValue mValues[kCapacity];
        int mCount = 0;
    };
    std::unique_ptr<UnmadeValues> mUnmadeValues;
    // The handles that made the properties, one per ENodeProperty; none
    // until the properties are made.
    std::unique_ptr<KFbxProperty[]> mProperties;
    std::vector<KFbxCharacterBackLink> mCharacterBackLinks;
};

}  // namespace fbxsdk_2006_11_1

#endif
