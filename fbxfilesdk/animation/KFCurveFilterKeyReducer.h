// Rebuilds the keys of a curve inside the span as a small set of cubic keys
// that passes within the precision of every old key's value: it starts from
// the keys at the two ends of the span and keeps adding, at the old key where
// the fit is worst, a key with that key's value and slopes. Optionally it then
// gives a group of curves common key times.
#ifndef FBXFILESDK_ANIMATION_KFCURVEFILTERKEYREDUCER_H
#define FBXFILESDK_ANIMATION_KFCURVEFILTERKEYREDUCER_H

#include <fbxfilesdk/animation/KFCurveFilter.h>

namespace fbxsdk_2006_11_1 {

class KFCurveFilterKeyReducer : public KFCurveFilter {
public:
    KFCurveFilterKeyReducer();

    const KPlugClassInfo* GetClassInfo() const override;

    // False, with error 1, for fewer than two keys or an empty span.
    bool Apply(KFCurve& curve) override;
    // The base forms, then, with key sync set, the key synchronizer over the
    // same curves (the array's, or the node's children) and span.
    bool Apply(KFCurve** curves, int count) override;
    bool Apply(KFCurveNode& node, bool recursive = true) override;
    // Precision 1, key sync off, and the whole time line.
    void Reset() override;

    // The largest accepted difference between an old key's value and the fit.
    void SetPrecision(double precision) { mPrecision = precision; }
    void SetKeySync(bool keySync) { mKeySync = keySync; }
    bool GetKeySync() const { return mKeySync; }

private:
    void Fit(const KFCurve& source, KFCurve& fit, KTime start, KTime stop);
    // True when a key was added for the old keys from..to.
    bool Refine(const KFCurve& source, KFCurve& fit, int from, int to);
    // The largest squared error over the old keys from..to-1 and its index,
    // the earliest on ties; -1 when no key is off the fit at all.
    static double MaxSquaredError(const KFCurve& source, const KFCurve& fit, int from, int to, int& worst);

    double mPrecision = 1.0;
    int mDepth = 0;
    bool mKeySync = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
