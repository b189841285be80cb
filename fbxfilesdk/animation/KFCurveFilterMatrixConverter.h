// Re-expresses the transform animation of a node when the pivot setup around
// it changes: it samples the node's "T", "R" and "S" channels, composes each
// sample into a matrix through a chain of source matrices (the differences
// between the old and the new setup) and the source rotation order, splits
// that matrix back into translation, rotation (in the destination rotation
// order) and scaling, and writes the result as new keys. Afterwards it can
// unroll and resample the rotation and strip constant keys.
//
// Source matrices by index, as the chain uses them (points are row vectors;
// in A.B, A applies first; a matrix left at identity is left out):
//   M = M7.inv(M12).M6.S.M5.M12.inv(M11).M4.R.M3.M11.P.M2.T.M1.M0
// where P, present when M8 is loaded, is only the translation of
// M8.A.R.B, with B = M3 or else M9 and A = M4 or else M10. When a shared
// pre- or post-rotation (M9, M10) stands in for M3 or M4, the pivots M11 and
// M12 likewise become translations turned by the whole rotation A.R.B, so
// that they move the node as they did in the old setup. Loading M8, M11 or
// M12 makes the conversion write the translation too.
//
// The new setup itself is the identity: the caller expresses the whole
// difference in the source matrices and the two rotation orders.
#ifndef FBXFILESDK_ANIMATION_KFCURVEFILTERMATRIXCONVERTER_H
#define FBXFILESDK_ANIMATION_KFCURVEFILTERMATRIXCONVERTER_H

#include <fbxfilesdk/animation/KFCurveFilter.h>
#include <fbxfilesdk/core/KgeMatrix.h>

namespace fbxsdk_2006_11_1 {

class KFCurveFilterMatrixConverter : public KFCurveFilter {
public:
    static constexpr int kMatrixCount = 13;

    // Every source matrix the identity, period 0, both rotation orders 0.
    KFCurveFilterMatrixConverter();

    const KPlugClassInfo* GetClassInfo() const override;

    // Only whole transform nodes convert: error 2 and false.
    bool Apply(KFCurve& curve) override;
    bool Apply(KFCurve** curves, int count) override;
    // Converts the node's "T", "R" and "S" curves (the recursive flag is not
    // used), then runs the enabled post steps and clears the node's
    // evaluation cache. False, with error 1, when there is nothing to convert
    // or no positive period, and with error 3 when a transform curve is
    // missing; the post steps run in every case.
    bool Apply(KFCurveNode& node, bool recursive = true) override;
    // Leaves every loaded matrix out of the chain again (their values stay and
    // still count when the setups are compared), turns on resampling on
    // frames, unroll, constant key reduction, last key on stop and translation
    // conversion, and sets the whole time line. The period, the rotation
    // orders and the rotation-setup flag are kept.
    void Reset() override;

    // Copies the affine part of a matrix into source matrix index; it takes
    // part in the chain unless it is the identity (within 1e-6). False for an
    // index outside 0..kMatrixCount-1.
    bool SetSourceMatrix(int index, const KgeMatrix& matrix);
    void SetResamplingPeriod(KTime period) { mPeriod = period; }
    // Last key on stop: the last sample falls exactly on the stop time.
    void SetConversionFlagA(bool lastKeyOnStop) { mLastKeyOnStop = lastKeyOnStop; }
    void SetApplyUnroll(bool apply) { mApplyUnroll = apply; }
    void SetApplyConstantKeyReducer(bool apply) { mApplyConstantKeyReducer = apply; }
    // Convert translation: write the converted translation back to "T".
    void SetConversionFlagB(bool convertTranslation) { mConvertTranslation = convertTranslation; }
    // Rotation-order words (KFbxRotationOrder) of the old and the new setup.
    void SetSourceRotationOrder(int order) { mSourceRotationOrder = order; }
    void SetDestinationRotationOrder(int order) { mDestinationRotationOrder = order; }
    // Forces a conversion even when the matrices and orders agree.
    void SetRotationSetupDiffers(bool differs) { mRotationSetupDiffers = differs; }

private:
    struct MatrixSet {
        KgeMatrix mMatrices[kMatrixCount];
        bool mIdentity[kMatrixCount];
        bool mAllIdentity = true;
    };

    bool Convert(KFCurveNode& node);
    // The values of one sample (translation, angles in the source order,
    // scaling) converted in place.
    void ConvertSample(double* translation, double* rotation, double* scaling);
    void ComposeMatrix(KgeMatrix& result, const KgeMatrix& t, const KgeMatrix& r, const KgeMatrix& s);
    static void DecomposeMatrix(const KgeMatrix& m, double* translation, double* rotation, double* scaling);
    // Source matrix index, or null when it is left out.
    const KgeMatrix* Source(int index) const;
    bool SourceIsIdentity() const;
    void RunPostSteps(KFCurveNode& node);

    MatrixSet mSource;
    KTime mPeriod;
    bool mResampleOnFrame = true;
    bool mApplyUnroll = true;
    bool mApplyConstantKeyReducer = true;
    int mSourceRotationOrder = 0;
    int mDestinationRotationOrder = 0;
    bool mLastKeyOnStop = true;
    bool mConvertTranslation = true;
    bool mRotationSetupDiffers = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
