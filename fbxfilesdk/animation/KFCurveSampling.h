// Sampling a curve at a fixed period into another curve, and splicing the
// keys of one curve into those of another over its time span.
#ifndef FBXFILESDK_ANIMATION_KFCURVESAMPLING_H
#define FBXFILESDK_ANIMATION_KFCURVESAMPLING_H

#include <fbxfilesdk/core/KTime.h>

namespace fbxsdk_2006_11_1 {

class KFCurve;

// Replaces the keys of destination by samples of source at start, start +
// period, ... up to stop, each a key of the given type with level slopes;
// with addLastKey, a sample at stop when the period does not reach it
// exactly. Nothing changes when stop is not after start, the period is not
// positive, or the two curves are one.
void KFCurveResampleKeys(const KFCurve& source, KFCurve& destination, KTime start, KTime stop, KTime period,
                         unsigned int interpolation, unsigned int tangentMode, bool addLastKey);

// The same, each sample taking the interpolation and tangent mode of the
// source key it falls after (user tangents take the source's slopes, TCB
// becomes auto); samples outside the source's keys are cubic auto.
void KFCurveResampleKeysKeepInterpolation(const KFCurve& source, KFCurve& destination, KTime start, KTime stop,
                                          KTime period, bool addLastKey);

// destination = the keys of base before the replacement's first key, all
// keys of replacement, and the keys of base after its last key, with the user
// tangents at the two seams mended. destination may not be base or
// replacement (nothing changes then).
void KFCurveMergeKeys(const KFCurve& base, const KFCurve& replacement, KFCurve& destination);

}  // namespace fbxsdk_2006_11_1

#endif
