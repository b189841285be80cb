// What a node's transform evaluation reads and keeps: the two pivot sets, the
// evaluation state loaded from one of them (pivots and offsets with their
// presence bits, pre- and post-rotation, limits), and the caches of local
// channels and global matrix.
#ifndef FBXFILESDK_SCENE_KFBXNODEEVALUATIONSTATE_H
#define FBXFILESDK_SCENE_KFBXNODEEVALUATIONSTATE_H

#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/scene/KFbxLimits.h>

namespace fbxsdk_2006_11_1 {

// The rotation order as evaluation uses it: orders index tables of the
// rotation math (twice the order), so one outside the seven known orders
// (0 Euler XYZ to 6 spheric XYZ) evaluates as Euler XYZ.
constexpr int KFbxCheckedRotationOrder(int order) { return order >= 0 && order <= 6 ? order : 0; }

// One set of pivot settings; set 0 drives evaluation, set 1 serves conversions.
struct KFbxNodePivotSet {
    KFbxVector4 mRotationOffset;
    KFbxVector4 mRotationPivot;
    KFbxVector4 mPreRotation;
    KFbxVector4 mPostRotation;
    KFbxVector4 mScalingOffset;
    KFbxVector4 mScalingPivot;
    KFbxVector4 mGeometricTranslation;
    KFbxVector4 mGeometricRotation;
    KFbxVector4 mGeometricScaling{1.0, 1.0, 1.0, 1.0};
    int mRotationOrder = 0;
    bool mRotationSpaceForLimitOnly = false;
    bool mQuaternionInterpolate = false;
    int mPivotState = 1;
};

// The pivots and offsets evaluation applies. A flag bit is set exactly when its
// vector has a non-zero component.
struct KFbxNodePivots {
    static constexpr unsigned kRotationOffset = 1u;
    static constexpr unsigned kRotationPivot = 2u;
    static constexpr unsigned kScalingOffset = 4u;
    static constexpr unsigned kScalingPivot = 8u;

    unsigned mFlags = 0;
    int mInheritType = 0;
    KFbxVector4 mRotationOffset{0.0, 0.0, 0.0, 1.0};
    KFbxVector4 mRotationPivot{0.0, 0.0, 0.0, 1.0};
    KFbxVector4 mScalingOffset{0.0, 0.0, 0.0, 1.0};
    KFbxVector4 mScalingPivot{0.0, 0.0, 0.0, 1.0};

    void SetRotationOffset(const KFbxVector4& v) { Store(mRotationOffset, v, kRotationOffset); }
    void SetRotationPivot(const KFbxVector4& v) { Store(mRotationPivot, v, kRotationPivot); }
    void SetScalingOffset(const KFbxVector4& v) { Store(mScalingOffset, v, kScalingOffset); }
    void SetScalingPivot(const KFbxVector4& v) { Store(mScalingPivot, v, kScalingPivot); }

    // The translation that the pivots and offsets add, given the 3x3 block of
    // the local rotation matrix r (sixteen doubles) and the local scaling s.
    void ComputePivotOffset(double* out3, const double* r, const double* s) const;

private:
    void Store(KFbxVector4& to, const KFbxVector4& v, unsigned bit);
};

// Pre- and post-rotation as matrices, and the rotation order the local
// rotation angles are read in.
struct KFbxNodePrePostRotation {
    static constexpr unsigned kPre = 1u;
    static constexpr unsigned kPost = 2u;

    unsigned mFlags = 0;
    KgeMatrix mPre;
    KgeMatrix mPost;
    double mUnused = 0.0;
    // A KFbxRotationOrder word: twice the node's rotation order.
    int mOrder = 0;

    // The XYZ rotation of the angles; the flag follows whether any is non-zero.
    void SetPre(const KFbxVector4& angles) { Store(mPre, angles, kPre); }
    void SetPost(const KFbxVector4& angles) { Store(mPost, angles, kPost); }
    // The rotation of the angles in the order, with post-rotation undone
    // before it and pre-rotation after it.
    void Apply(KgeMatrix& out, const double* angles) const;
    // The angles in the order of the rotation m once pre- and post-rotation
    // are taken out of it.
    void ApplyInverse(double* angles, const KgeMatrix& m) const;

private:
    void Store(KgeMatrix& to, const KFbxVector4& angles, unsigned bit);
};

struct KFbxNodeEvaluationState {
    KFbxNodePivots mPivots;
    bool mRotationSpaceForLimitOnly = false;
    KFbxNodePrePostRotation mPrePostRotation;
    // Rotation, translation and scaling, in KFbxLimits order.
    KFbxLimitRecord mLimits[KFbxLimits::eLimitKindCount]{KFbxLimitRecord(), KFbxLimitRecord(), KFbxLimitRecord(1.0)};

    // The set's pivots, offsets, pre/post-rotation, order and limit space in
    // force; limits and inherit type stay.
    void Load(const KFbxNodePivotSet& set);
    bool IsRotationActive() const { return (mLimits[KFbxLimits::eRotation].mFlags & KFbxLimitRecord::kActive) != 0; }
    // The local rotation matrix of the angles: their XYZ rotation unless
    // rotation is active with its order and pre/post-rotation in force.
    void LocalRotation(KgeMatrix& out, const double* angles) const;
    // The rotation angles clamped by the rotation limits; with the pivot set's
    // limit-space byte, in the space of the node's order and pre/post-rotation.
    void ClampRotation(double* out, const double* in, bool limitSpaceOfSet0) const;
};

class KFCurveNode;

// Where a channel was found in a take's tree: a child of the root (inner -1)
// or a grandchild. It is trusted only while the live tree still holds the same
// nodes at the same places, so nothing is read through a stale pointer.
struct KFbxNodeChannelLookup {
    KFCurveNode* mRoot = nullptr;
    KFCurveNode* mOuterNode = nullptr;
    KFCurveNode* mChannel = nullptr;
    int mOuter = -1;
    int mInner = -1;
};

// Local channel values of one kind, each for the time it was evaluated at.
struct KFbxNodeLocalChannels {
    KTime mTimes[3];
    bool mValid[3] = {false, false, false};
    KFbxVector4 mValues[3];
};

// The local channels and global matrix of one evaluation, for one time (or
// for the default values) and one pivot set. The channels clamped by the
// limits, which the global matrix is made of, are kept apart from those
// asked for without clamping, so that no answer depends on the order of
// the queries.
struct KFbxNodeTransformCache {
    enum EChannel { eT = 0, eR = 1, eS = 2 };

    int mHints[3] = {0, 0, 0};
    KFbxNodeLocalChannels mClamped;
    KFbxNodeLocalChannels mUnclamped;
    bool mGlobalValid = false;
    KTime mGlobalTime;
    int mGlobalPivotSet = 0;
    KgeMatrix mGlobal;
    KFbxVector4 mGlobalTranslation;
    KgeMatrix mGlobalRotation;
    KgeMatrix mGlobalScaling;
    KFbxNodeChannelLookup mLookups[3];

    KFbxNodeLocalChannels& Local(bool clamped) { return clamped ? mClamped : mUnclamped; }
    void Reset();
};

// What a node's global transform at one time gives its children's: the
// global matrix, its rotation and scaling parts, and the node's own clamped
// local scaling.
struct KFbxNodeGlobalParts {
    KgeMatrix mGlobal;
    KgeMatrix mRotation;
    KgeMatrix mScaling;
    KFbxVector4 mLocalScaling;
};

// A transform kept with its parts; tag -1 when unused.
struct KFbxNodeMatrixRecord {
    int mTag = -1;
    KgeMatrix mMatrix;
    KFbxVector4 mTranslation;
    KgeMatrix mRotation;
    KgeMatrix mScaling;
};

// Both pivot sets of a node, kept once one of them leaves the neutral
// values; nodes read one shared neutral pair until then.
struct KFbxNodePivotSets {
    KFbxNodePivotSet mSets[2];

    static const KFbxNodePivotSets& Neutral();
};

// What evaluation keeps between calls, made on a node's first evaluation:
// the caches of evaluation at a time and from the default values, and the
// matrix records.
struct KFbxNodeEvaluationCaches {
    KFbxNodeTransformCache mTimeCache;
    KFbxNodeTransformCache mDefaultCache;
    KFbxNodeMatrixRecord mMatrixRecords[2];

    // The records unused, as a node that never kept one reads them.
    static const KFbxNodeMatrixRecord& UnusedRecord();
};

}  // namespace fbxsdk_2006_11_1

#endif
