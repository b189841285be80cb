#include <fbxfilesdk/scene/KFbxNodeEvaluationState.h>

#include <fbxfilesdk/core/KFbxRotationOrder.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/scene/KFbxNodeMatrixMath.h>

namespace fbxsdk_2006_11_1 {

namespace {

bool IsNonZero(const KFbxVector4& v) { return v[0] != 0.0 || v[1] != 0.0 || v[2] != 0.0; }

// The XYZ rotation over a zero translation row, as setting the identity
// first would leave it, without writing the 3x3 block twice.
void SetXYZ(KgeMatrix& m, const double* angles) {
    double* values = m;
    values[12] = 0.0;
    values[13] = 0.0;
    values[14] = 0.0;
    KgeMatrixSetRotationXYZ(values, angles[0], angles[1], angles[2]);
}

}  // namespace

void KFbxNodePivots::Store(KFbxVector4& to, const KFbxVector4& v, unsigned bit) {
    to.Set(v[0], v[1], v[2], 1.0);
    if (IsNonZero(v)) {
        mFlags |= bit;
    } else {
        mFlags &= ~bit;
    }
}

void KFbxNodePivots::ComputePivotOffset(double* out3, const double* r, const double* s) const {
    double v[3] = {0.0, 0.0, 0.0};
    if ((mFlags & kScalingPivot) != 0) {
        const double* pivot = mScalingPivot;
        for (int i = 0; i < 3; ++i) {
            v[i] = (1.0 - s[i]) * pivot[i];
        }
    }
    if ((mFlags & kScalingOffset) != 0) {
        const double* offset = mScalingOffset;
        for (int i = 0; i < 3; ++i) {
            v[i] += offset[i];
        }
    }
    if ((mFlags & kRotationPivot) != 0) {
        const double* pivot = mRotationPivot;
        for (int i = 0; i < 3; ++i) {
            v[i] -= pivot[i];
        }
        RowVectorTimes3(v, v, r);
        for (int i = 0; i < 3; ++i) {
            v[i] += pivot[i];
        }
    } else if ((mFlags & (kScalingOffset | kScalingPivot)) != 0) {
        RowVectorTimes3(v, v, r);
    }
    if ((mFlags & kRotationOffset) != 0) {
        const double* offset = mRotationOffset;
        for (int i = 0; i < 3; ++i) {
            v[i] += offset[i];
        }
    }
    for (int i = 0; i < 3; ++i) {
        out3[i] = v[i];
    }
}

void KFbxNodePrePostRotation::Store(KgeMatrix& to, const KFbxVector4& angles, unsigned bit) {
    SetXYZ(to, angles);
    if (IsNonZero(angles)) {
        mFlags |= bit;
    } else {
        mFlags &= ~bit;
    }
}

void KFbxNodePrePostRotation::Apply(KgeMatrix& out, const double* angles) const {
    out.SetIdentity();
    KFbxRotationOrder(mOrder).EulerToMatrix(out, angles);
    if ((mFlags & kPre) != 0) {
        Product3(out, out, mPre);
    }
    if ((mFlags & kPost) != 0) {
        KgeMatrix postInverse;
        Transpose3(postInverse, mPost);
        Product3(out, postInverse, out);
    }
}

void KFbxNodePrePostRotation::ApplyInverse(double* angles, const KgeMatrix& m) const {
    KgeMatrix rotation(m);
    if ((mFlags & kPre) != 0) {
        KgeMatrix preInverse;
        Transpose3(preInverse, mPre);
        Product3(rotation, rotation, preInverse);
    }
    if ((mFlags & kPost) != 0) {
        Product3(rotation, mPost, rotation);
    }
    KFbxRotationOrder(mOrder).MatrixToEuler(angles, rotation);
}

void KFbxNodeEvaluationState::LocalRotation(KgeMatrix& out, const double* angles) const {
    if (!IsRotationActive() || mRotationSpaceForLimitOnly) {
        SetXYZ(out, angles);
    } else {
        mPrePostRotation.Apply(out, angles);
    }
}

void KFbxNodeEvaluationState::ClampRotation(double* out, const double* in, bool limitSpaceOfSet0) const {
    const KFbxLimitRecord& limits = mLimits[KFbxLimits::eRotation];
    if (!limitSpaceOfSet0) {
        ClampToLimits(limits, out, in);
        return;
    }
    const bool active = IsRotationActive();
    const bool space = mRotationSpaceForLimitOnly;
    double angles[3] = {in[0], in[1], in[2]};
    KgeMatrix m;
    if (!active || space) {
        SetXYZ(m, angles);
    } else {
        mPrePostRotation.Apply(m, angles);
    }
    if (active) {
        mPrePostRotation.ApplyInverse(angles, m);
    } else {
        KgeMatrixRotationToEulerXYZ(angles, m);
    }
    ClampToLimits(limits, angles, angles);
    if (active) {
        mPrePostRotation.Apply(m, angles);
    } else {
        SetXYZ(m, angles);
    }
    if (active && !space) {
        mPrePostRotation.ApplyInverse(out, m);
    } else {
        KgeMatrixRotationToEulerXYZ(out, m);
    }
}

void KFbxNodeEvaluationState::Load(const KFbxNodePivotSet& set) {
    mPrePostRotation.mOrder = 2 * KFbxCheckedRotationOrder(set.mRotationOrder);
    mRotationSpaceForLimitOnly = set.mRotationSpaceForLimitOnly;
    mPivots.SetRotationOffset(set.mRotationOffset);
    mPivots.SetRotationPivot(set.mRotationPivot);
    mPivots.SetScalingOffset(set.mScalingOffset);
    mPivots.SetScalingPivot(set.mScalingPivot);
    mPrePostRotation.SetPre(set.mPreRotation);
    mPrePostRotation.SetPost(set.mPostRotation);
}

const KFbxNodePivotSets& KFbxNodePivotSets::Neutral() {
    static const KFbxNodePivotSets neutral;
    return neutral;
}

const KFbxNodeMatrixRecord& KFbxNodeEvaluationCaches::UnusedRecord() {
    static const KFbxNodeMatrixRecord unused;
    return unused;
}

void KFbxNodeTransformCache::Reset() {
    for (int channel = 0; channel < 3; ++channel) {
        mHints[channel] = 0;
        mClamped.mValid[channel] = false;
        mUnclamped.mValid[channel] = false;
    }
    mGlobalValid = false;
}

}  // namespace fbxsdk_2006_11_1
