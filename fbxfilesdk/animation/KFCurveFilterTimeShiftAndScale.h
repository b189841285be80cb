// Moves every key of a curve in time: adds the shift to each key time and
// then, when the scale is positive and not 1, multiplies the shifted time by
// it. The span is not used: every key moves.
#ifndef FBXFILESDK_ANIMATION_KFCURVEFILTERTIMESHIFTANDSCALE_H
#define FBXFILESDK_ANIMATION_KFCURVEFILTERTIMESHIFTANDSCALE_H

#include <fbxfilesdk/animation/KFCurveFilter.h>

namespace fbxsdk_2006_11_1 {

class KFCurveFilterTimeShiftAndScale : public KFCurveFilter {
public:
    // Shift 0, scale 1; the span stays 0 to 0 until set.
    KFCurveFilterTimeShiftAndScale();

    const KPlugClassInfo* GetClassInfo() const override;

    using KFCurveFilter::Apply;
    // False, with error 1, when nothing would move; with error 0 for a curve
    // without keys.
    bool Apply(KFCurve& curve) override;

    virtual KTime& GetShift() { return mShift; }
    virtual void SetShift(KTime shift) { mShift = shift; }
    virtual double GetScale() const { return mScale; }
    virtual void SetScale(double scale) { mScale = scale; }

private:
    KTime mShift;
    double mScale = 1.0;
};

}  // namespace fbxsdk_2006_11_1

#endif
