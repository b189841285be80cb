// Free functions over single curves that the curve, the curve filters and the
// readers share: the process-wide import settings, the chord slopes around a
// key, the conversions between a key's auto value and its derivatives, the TCB
// parameters that give wanted derivatives, and the parameter solve of a
// weighted segment.
//
// An auto value is a percentage p. For the left derivative p = 100 stands for
// the left chord slope and -100 for the right one; for the right derivative
// the reverse; in between the two blend linearly, and beyond +-500 a quadratic
// term is added.
#ifndef FBXFILESDK_ANIMATION_KFCURVEUTILITIES_H
#define FBXFILESDK_ANIMATION_KFCURVEUTILITIES_H

#include <fbxfilesdk/core/KTime.h>

namespace fbxsdk_2006_11_1 {

class KFCurve;

// Import settings (constant for the life of the process).
KTime KFCurveGetDefaultResamplePeriod();
// 1 the gimbal killer, 2 the unroll filter, anything else no filter.
int KFCurveGetImportRotationFilter();
double KFCurveGetUnrollPrecision();
bool KFCurveGetUnrollOption();
bool KFCurveGetImportFilterOption();
// When set, the left derivative of a TCB key is its right derivative.
bool KFCurveGetAutoTangentOption();

// The chord slopes of key i: to the previous and to the next key; at the ends
// the one slope serves both sides. Both 0 with fewer than 2 keys.
void KFCurveGetKeySlopes(double* left, double* right, const KFCurve* curve, int i);

// Auto value p to derivative, given the chord slopes.
void KFCurveAutoToLeftDerivative(double* derivative, double autoValue, double left, double right);
void KFCurveAutoToRightDerivative(double* derivative, double autoValue, double left, double right);
// The same with the slopes of key i (0 for a curve without keys).
void KFCurveKeyAutoToLeftDerivative(double* derivative, double autoValue, const KFCurve* curve, int i);
void KFCurveKeyAutoToRightDerivative(double* derivative, double autoValue, const KFCurve* curve, int i);

// Derivative to auto value, the inverse of the above. A derivative below
// 1e-5 in magnitude is taken as 0 and written back as 0.
void KFCurveLeftDerivativeToAuto(double* autoValue, double* derivative, double left, double right);
void KFCurveRightDerivativeToAuto(double* autoValue, double* derivative, double left, double right);
void KFCurveKeyLeftDerivativeToAuto(double* autoValue, double derivative, const KFCurve* curve, int i);
void KFCurveKeyRightDerivativeToAuto(double* autoValue, double derivative, const KFCurve* curve, int i);
void KFCurveDerivativesToAuto(double* leftAuto, double* rightAuto, double leftDerivative, double rightDerivative,
                              double left, double right);
void KFCurveKeyDerivativesToAuto(double* leftAuto, double* rightAuto, double leftDerivative,
                                 double rightDerivative, const KFCurve* curve, int i);

// Tension (read, and written back when changed), continuity and bias of key i
// that give the wanted left and right derivatives.
void KFCurveComputeTCBFromDerivatives(double* tension, double* continuity, double* bias, double leftDerivative,
                                      double rightDerivative, const KFCurve* curve, int i);

// The parameter of a weighted segment: the segment's time axis is the Bezier
// with control values 0, rightWeight, 1 - leftWeight, 1, and the result r is
// the reversed parameter (the Bezier reaches u at 1 - r), found by at most 15
// secant steps in f32 and kept within [0, 1].
float KFCurveSolveSecant(float u, float rightWeight, float leftWeight);

}  // namespace fbxsdk_2006_11_1

#endif
