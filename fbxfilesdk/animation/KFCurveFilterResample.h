// Replaces the keys of a curve inside the span by keys at a fixed period,
// sampled from the curve itself, and keeps the keys outside the span. New keys
// are cubic with auto tangents, or, in the keep-interpolation mode, copy the
// type of the source key each falls after. An open end of the span stands for
// the curve's first or last key.
#ifndef FBXFILESDK_ANIMATION_KFCURVEFILTERRESAMPLE_H
#define FBXFILESDK_ANIMATION_KFCURVEFILTERRESAMPLE_H

#include <fbxfilesdk/animation/KFCurveFilter.h>

namespace fbxsdk_2006_11_1 {

class KFCurveFilterResample : public KFCurveFilter {
public:
    KFCurveFilterResample();

    const KPlugClassInfo* GetClassInfo() const override;

    using KFCurveFilter::Apply;
    // False, with error 0, for a period that is not positive; with error 1 when
    // the span is empty or stays open (a curve without keys and an open span).
    bool Apply(KFCurve& curve) override;
    // Keys on frame off, keep interpolation off, a period of one frame of the
    // default time mode, and the whole time line.
    void Reset() override;

    // Keys on frame moves the start of the sampling up to the next multiple of
    // the period (a start below one period stays).
    virtual void SetKeysOnFrame(bool keysOnFrame) { mKeysOnFrame = keysOnFrame; }
    virtual bool GetKeysOnFrame() const { return mKeysOnFrame; }
    virtual KTime GetPeriodTime() const { return mPeriod; }
    virtual void SetPeriodTime(KTime period) { mPeriod = period; }
    void SetKeepInterpolation(bool keep) { mKeepInterpolation = keep; }

private:
    bool mKeysOnFrame = false;
    KTime mPeriod;
    bool mKeepInterpolation = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
