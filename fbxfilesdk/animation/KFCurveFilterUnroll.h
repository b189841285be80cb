// Removes the wraps of Euler rotation curves: on a rotation node with X, Y
// and Z curves it gives the three curves common key times, then replaces each
// key's triple by the equivalent one nearest the previous key, so that angles
// run on past +-180 degrees. It works on a copy of the tree and copies the
// span back, unless the span's keys would come back as they are.
#ifndef FBXFILESDK_ANIMATION_KFCURVEFILTERUNROLL_H
#define FBXFILESDK_ANIMATION_KFCURVEFILTERUNROLL_H

#include <fbxfilesdk/animation/KFCurveFilter.h>

namespace fbxsdk_2006_11_1 {

class KFCurveFilterUnroll : public KFCurveFilter {
public:
    // Precision and its use come from the import settings.
    KFCurveFilterUnroll();

    const KPlugClassInfo* GetClassInfo() const override;

    // Works only on rotation nodes: error 2 and false.
    bool Apply(KFCurve& curve) override;
    // Three curves, X, Y, Z; any other count: error 2 and false.
    bool Apply(KFCurve** curves, int count) override;
    // A node of layer type KFCL_EULER_ROTATION with three curve children;
    // the recursive flag is not used.
    bool Apply(KFCurveNode& node, bool recursive = true) override;
    void Reset() override;

    void SetPrecision(double precision) { mPrecision = precision; }
    void SetUsePrecision(bool use) { mUsePrecision = use; }

    // The squared rotation angle between two Euler XYZ triples (degrees) over
    // their squared Euclidean distance: near 1 when the Euler step is the real
    // rotation, small when the angles moved much further than the rotation
    // did; 100 for (nearly) equal triples.
    static double EulerStepRatio(const double* a, const double* b);

private:
    bool UnrollNode(KFCurveNode& node);
    // Gives the keys i0 to i1 of the X, Y and Z curves (X leading) their
    // unrolled values; with write false only tells whether any would change.
    bool UnrollKeys(KFCurve* const* curves, int i0, int i1, int order, bool write) const;
    bool NotRotation();

    double mPrecision = 0.0;
    bool mUsePrecision = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
