// Repairs Euler rotation curves that swing wildly between keys: on a rotation
// node with X, Y and Z curves it gives the curves common key times, moves each
// key's triple to the equivalent one nearest the previous key, and where two
// neighbouring keys are still far apart in Euler space adds in-between keys on
// the real rotation path. Every key it writes is cubic with auto tangents.
#ifndef FBXFILESDK_ANIMATION_KFCURVEFILTERGIMBLEKILLER_H
#define FBXFILESDK_ANIMATION_KFCURVEFILTERGIMBLEKILLER_H

#include <fbxfilesdk/animation/KFCurveFilter.h>

namespace fbxsdk_2006_11_1 {

class KFCurveFilterGimbleKiller : public KFCurveFilter {
public:
    KFCurveFilterGimbleKiller();

    const KPlugClassInfo* GetClassInfo() const override;

    // Error 2 and false: a single curve is not a rotation.
    bool Apply(KFCurve& curve) override;
    // Three curves, X, Y, Z; any other count: error 2 and false.
    bool Apply(KFCurve** curves, int count) override;
    // A node of layer type KFCL_EULER_ROTATION with three children; the
    // recursive flag is not used.
    bool Apply(KFCurveNode& node, bool recursive = true) override;
    // Key synchronisation on, whole time line.
    void Reset() override;

private:
    bool mSynchronizeKeys = true;
};

}  // namespace fbxsdk_2006_11_1

#endif
