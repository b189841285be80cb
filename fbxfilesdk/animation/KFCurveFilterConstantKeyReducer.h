// Removes the keys that lie on flat stretches of a curve: a key goes when the
// two keys on each side of it (inside the span) hold their values within the
// tolerance of the run it belongs to and carry no shaped cubic tangents. Two
// flat keys stay on each side of every change; a curve flat from end to end
// loses all its keys and keeps the value as its default. The node form picks
// the tolerance by channel: translation, rotation, scaling or other.
#ifndef FBXFILESDK_ANIMATION_KFCURVEFILTERCONSTANTKEYREDUCER_H
#define FBXFILESDK_ANIMATION_KFCURVEFILTERCONSTANTKEYREDUCER_H

#include <fbxfilesdk/animation/KFCurveFilter.h>

namespace fbxsdk_2006_11_1 {

class KFCurveFilterConstantKeyReducer : public KFCurveFilter {
public:
    KFCurveFilterConstantKeyReducer();

    const KPlugClassInfo* GetClassInfo() const override;

    using KFCurveFilter::Apply;
    // False, with error 0, only for a curve without keys.
    bool Apply(KFCurve& curve) override;
    // False, changing nothing, for a node with quaternion interpolation or a
    // tree whose keys are all constant; otherwise the base node form with the
    // tolerance of the node's channel. Every node of the tree chooses again.
    bool Apply(KFCurveNode& node, bool recursive = true) override;
    // The default tolerances and flags, and the whole time line.
    void Reset() override;

    bool GetKeepFirstAndLastKeys() const { return mKeepFirstAndLastKeys; }
    // Never remove the keys at the two ends of the span.
    void SetKeepFirstAndLastKeys(bool keep) { mKeepFirstAndLastKeys = keep; }
    // When every key is flat, keep the first one instead of emptying the curve.
    void SetKeepOneKey(bool keep) { mKeepOneKey = keep; }

private:
    // Whether the keys from index - 2 to index + 2 that lie in [first, last]
    // hold values in [low, high] and none is a shaped cubic key.
    static bool IsRunConstant(const KFCurve& curve, int index, int first, int last, float low, float high);
    double ToleranceFor(const KFCurveNode& node) const;

    // Half-width of the band a run's values must stay in; the node form
    // replaces it for the call.
    double mValueTolerance = 0.0;
    double mTranslationTolerance = 0.0;
    double mRotationTolerance = 0.0;
    double mScalingTolerance = 0.0;
    double mOtherTolerance = 0.0;
    bool mKeepFirstAndLastKeys = false;
    bool mKeepOneKey = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
