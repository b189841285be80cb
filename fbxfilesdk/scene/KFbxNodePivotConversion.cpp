// The conversion of a node's animation, "Lcl Translation" and geometry pivot
// from one pivot set to the other. The differences between the two sets are
// loaded as source matrices of a matrix converter, which re-keys the
// transform channels by sampling; the rotation offset is a plain translation
// and goes onto the translation curves directly.
#include <fbxfilesdk/scene/KFbxNode.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterMatrixConverter.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxDouble3.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/scene/KFbxGeometryPivotHook.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxNodeWalk.h>

#include <cmath>

namespace fbxsdk_2006_11_1 {

namespace {

const double kZero[3] = {0.0, 0.0, 0.0};

// Source-matrix indexes of the converter's chain.
enum {
    kRelativePreRotation = 3,
    kRelativePostRotation = 4,
    kScalingOffset = 8,
    kCommonPreRotation = 9,
    kCommonPostRotationInverse = 10,
    kRotationPivot = 11,
    kScalingPivot = 12
};

bool AnyNonZero(const double* v) { return v[0] != 0.0 || v[1] != 0.0 || v[2] != 0.0; }

// to - from, each taken as zero when its set does not count.
void Difference(double* out, const KFbxVector4& from, bool fromCounts, const KFbxVector4& to, bool toCounts) {
    for (int axis = 0; axis < 3; ++axis) {
        out[axis] = (fromCounts ? from[axis] : 0.0) - (toCounts ? to[axis] : 0.0);
    }
}

KgeMatrix Translation(const double* d) {
    KgeMatrix m;
    for (int axis = 0; axis < 3; ++axis) {
        m[3][axis] = d[axis];
    }
    return m;
}

KgeMatrix Rotation(const KFbxVector4& angles) {
    KgeMatrix m;
    m.SetROnly(angles);
    return m;
}

KFbxVector4 CountedAngles(const KFbxVector4& angles, bool counts) {
    return counts ? angles : KFbxVector4(0.0, 0.0, 0.0, 1.0);
}

// Whether a relative rotation differs from none once read back through
// its Euler angles.
bool IsTurning(const KgeMatrix& relative) {
    double angles[3];
    KgeMatrixGetEulerXYZ(angles, relative);
    const KgeMatrix readBack = Rotation(KFbxVector4(angles[0], angles[1], angles[2], 1.0));
    return KgeMatrixCompare(readBack, KgeMatrix(), 1e-6) != 0;
}

// With F and G the rotations of the angles first and second, the relative
// rotation F.inv(G) goes in at relativeIndex when it turns (true); else the
// two setups share the rotation, and F (or inv(F)) goes in at commonIndex.
// Nothing when both are zero.
bool LoadRotationDifference(KFCurveFilterMatrixConverter& converter, const KFbxVector4& first,
                            const KFbxVector4& second, int relativeIndex, int commonIndex, bool invertCommon) {
    if (!AnyNonZero(first) && !AnyNonZero(second)) {
        return false;
    }
    const KgeMatrix firstRotation = Rotation(first);
    KgeMatrix relative;
    KgeMatrixMultAffine(relative, Rotation(second).GetInverseOrthogonal(), firstRotation);
    if (IsTurning(relative)) {
        converter.SetSourceMatrix(relativeIndex, relative);
        return true;
    }
    converter.SetSourceMatrix(commonIndex, invertCommon ? firstRotation.GetInverseOrthogonal() : firstRotation);
    return false;
}

}  // namespace

void KFbxNode::ConvertPivotAnimation(EPivotSet target, double frameRate, bool keyReducer) {
    KFbxForEachNodeFrom(*this, [=](KFbxNode& node) {
        node.ConvertPivotAnimationOfNode(target, frameRate, keyReducer);
    });
}

void KFbxNode::ConvertPivotAnimationOfNode(EPivotSet target, double frameRate, bool keyReducer) {
    const EPivotSet other = target == eSOURCE_SET ? eDESTINATION_SET : eSOURCE_SET;
    const KFbxNodePivotSet& from = PivotSet(other);
    const KFbxNodePivotSet& to = PivotSet(target);
    const bool fromCounts = from.mPivotState == 0;
    const bool toCounts = to.mPivotState == 0;
    const bool fromRotationCounts = fromCounts && !from.mRotationSpaceForLimitOnly;
    const bool toRotationCounts = toCounts && !to.mRotationSpaceForLimitOnly;

    KFCurveFilterMatrixConverter converter;
    bool changed = false;

    double rotationPivot[3];
    Difference(rotationPivot, from.mRotationPivot, fromCounts, to.mRotationPivot, toCounts);
    if (AnyNonZero(rotationPivot)) {
        converter.SetSourceMatrix(kRotationPivot, Translation(rotationPivot));
        changed = true;
    }

    if (KFbxNodeAttribute* geometry = GetGeometry()) {
        KgeMatrix geometric[2];
        const KFbxNodePivotSet* sets[2] = {&from, &to};
        const bool counts[2] = {fromCounts, toCounts};
        for (int index = 0; index < 2; ++index) {
            if (!counts[index]) {
                continue;
            }
            const KFbxNodePivotSet& set = *sets[index];
            double scaling[3] = {set.mGeometricScaling[0], set.mGeometricScaling[1], set.mGeometricScaling[2]};
            KgeMatrix& g = geometric[index];
            KgeMatrixMultAffine(g, Translation(set.mGeometricTranslation), Rotation(set.mGeometricRotation));
            KgeMatrixScaleAxes(g, g, scaling);
        }
        // A point of the geometry is drawn at p.pivot.G.global: the old
        // pivot and the old geometric transform, then the new geometric
        // transform undone, keep every drawn point where it was.
        KgeMatrix toInverse;
        KgeMatrixInverseOrthogonal(toInverse, geometric[1]);
        KgeMatrix change;
        KgeMatrixMultAffine(change, toInverse, geometric[0]);
        if (KFbxGeometryPivotTransformFn transform = KFbxGetGeometryPivotTransform()) {
            transform(*geometry, change);
        }
    }

    double scalingPivot[3];
    Difference(scalingPivot, from.mScalingPivot, fromCounts, to.mScalingPivot, toCounts);
    if (KFbxCompareDouble3(scalingPivot, kZero, 1e-6)) {
        converter.SetSourceMatrix(kScalingPivot, Translation(scalingPivot));
        changed = true;
    }

    double rotationOffset[3];
    Difference(rotationOffset, from.mRotationOffset, fromCounts, to.mRotationOffset, toCounts);
    double scalingOffset[3];
    Difference(scalingOffset, from.mScalingOffset, fromCounts, to.mScalingOffset, toCounts);
    if (KFbxCompareDouble3(scalingOffset, kZero, 1e-6)) {
        converter.SetSourceMatrix(kScalingOffset, Translation(scalingOffset));
        changed = true;
    }

    // Evaluation applies the rotation order and the pre- and post-rotation
    // only while rotation is active; otherwise neither set's take part.
    const bool rotationActive = GetRotationActive();
    if (rotationActive) {
        const KFbxVector4 preFrom = CountedAngles(from.mPreRotation, fromRotationCounts);
        const KFbxVector4 preTo = CountedAngles(to.mPreRotation, toRotationCounts);
        if (LoadRotationDifference(converter, preFrom, preTo, kRelativePreRotation, kCommonPreRotation, false)) {
            changed = true;
        }
        // The post-rotation is undone: the new one's is the first rotation.
        const KFbxVector4 postFrom = CountedAngles(from.mPostRotation, fromRotationCounts);
        const KFbxVector4 postTo = CountedAngles(to.mPostRotation, toRotationCounts);
        if (LoadRotationDifference(converter, postTo, postFrom, kRelativePostRotation, kCommonPostRotationInverse,
                                   true)) {
            changed = true;
        }
    }

    // A rate that is not positive and finite, or so high that a frame is
    // shorter than a tick, gives no frame to sample on: the converter is
    // then left out rather than handed a period it cannot step by.
    KTime period;
    if (frameRate > 0.0 && std::isfinite(frameRate)) {
        period.SetSecondDouble(1.0 / frameRate);
    }
    converter.SetResamplingPeriod(period);
    converter.SetConversionFlagA(true);
    converter.SetApplyUnroll(true);
    converter.SetApplyConstantKeyReducer(keyReducer);
    converter.SetConversionFlagB(false);

    const int fromOrder =
        rotationActive && !from.mRotationSpaceForLimitOnly ? KFbxCheckedRotationOrder(from.mRotationOrder) : 0;
    const int toOrder =
        rotationActive && !to.mRotationSpaceForLimitOnly ? KFbxCheckedRotationOrder(to.mRotationOrder) : 0;
    converter.SetSourceRotationOrder(2 * fromOrder);
    converter.SetDestinationRotationOrder(2 * toOrder);
    if (fromOrder != toOrder || from.mQuaternionInterpolate != to.mQuaternionInterpolate) {
        converter.SetRotationSetupDiffers(true);
        changed = true;
    }

    ConvertTakeNodes(rotationOffset, changed && period > KTime() ? &converter : nullptr);
}

void KFbxNode::ConvertTakeNodes(const double* offset, KFCurveFilterMatrixConverter* converter) {
    // A changed default of the "Default" take reaches the transform
    // properties, and a changed property is written into the current take's
    // defaults: with another take current, that take's defaults would take
    // the converted "Default" values and then be converted once more. The
    // "Default" take stays current while the takes are rewritten.
    const int current = GetCurrentTakeNodeIndex();
    KFbxTakeNode* defaultTake = GetDefaultTakeNode();
    if (defaultTake != nullptr) {
        SetCurrentTakeNode(0);
    }
    for (int index = 0; index < GetTakeNodeCount(); ++index) {
        KFbxTakeNode* takeNode = GetTakeNode(index);
        if (takeNode == nullptr) {
            continue;
        }
        KFCurve* curves[3] = {takeNode->GetTranslationX(), takeNode->GetTranslationY(), takeNode->GetTranslationZ()};
        KFCurveNode* root = takeNode->GetKFCurveNode();
        for (int axis = 0; axis < 3; ++axis) {
            KFCurve* curve = curves[axis];
            if (curve == nullptr || offset[axis] == 0.0) {
                continue;
            }
            curve->SetValue(static_cast<float>(static_cast<double>(curve->GetValue()) + offset[axis]));
            const float step = static_cast<float>(offset[axis]);
            for (int key = 0; key < curve->KeyGetCount(); ++key) {
                curve->KeyIncValue(key, step);
            }
            if (root != nullptr) {
                root->ClearEvaluationCache(0, true);
            }
        }
        if (converter != nullptr && root != nullptr) {
            // Its failures (a take without transform channels) leave that take as it was.
            converter->Apply(*root, true);
        }
    }

    if (defaultTake != nullptr) {
        // The "Default" take's translation defaults already carry the offset:
        // copied in, "Lcl Translation" receives it once.
        KFCurve* curves[3] = {defaultTake->GetTranslationX(), defaultTake->GetTranslationY(),
                              defaultTake->GetTranslationZ()};
        KFbxVector4 translation;
        GetLclTranslation(translation);
        for (int axis = 0; axis < 3; ++axis) {
            if (curves[axis] != nullptr) {
                translation[axis] = curves[axis]->GetValue();
            }
        }
        SetLclTranslation(translation);
        // Switching back also empties the transform caches, which hold
        // results of the old animation.
        SetCurrentTakeNode(current >= 0 ? current : 0);
    } else {
        KFbxVector4 translation;
        GetLclTranslation(translation);
        for (int axis = 0; axis < 3; ++axis) {
            translation[axis] += offset[axis];
        }
        SetLclTranslation(translation);
        ResetEvaluationCache();
    }
}

void KFbxNode::ConvertPivotAnimationRecursive(double frameRate, bool keyReducer) {
    ResetPivotSet(eDESTINATION_SET);
    ConvertPivotAnimation(eDESTINATION_SET, frameRate, keyReducer);
    ResetPivotSet(eSOURCE_SET);
}

}  // namespace fbxsdk_2006_11_1
