// The bake of layered channels: a curve node with animation layers is sampled
// over a span at a fixed period, the values of its layers combined, and the
// result written as plain keys into one layer (the base layer for id 0). Passes
// that add keys where a baked curve strays from a reference curve and fit key
// derivatives to the reference can follow.
//
// Value vectors hold one value per child of a node, or one value for a node
// with its own curve and no children. How two of them combine and how one is
// inverted depends on the layer type: additive types add (and negate), the
// scaling type multiplies (and takes reciprocals, a zero staying neutral),
// the Euler type composes rotations in the node's rotation order (and
// transposes), the quaternion type multiplies quaternions (and conjugates).
#ifndef FBXFILESDK_ANIMATION_KFCURVENODEBAKE_H
#define FBXFILESDK_ANIMATION_KFCURVENODEBAKE_H

#include <fbxfilesdk/core/KTime.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFCurve;
class KFCurveNode;

// Bits of the bake flags.
enum KFCurveNodeBakeFlags : int {
    // Clear the merged layers afterwards: layer 0 loses its keys, other
    // layers are unlinked and deleted (the target layer is spared with
    // KFCURVENODE_BAKE_REPLACE_SPAN).
    KFCURVENODE_BAKE_CLEAR_LAYERS = 2,
    // Reset the merged layers (all but the target layer when writing into
    // it): neutral defaults and no keys inside the span.
    KFCURVENODE_BAKE_RESET_LAYERS = 4,
    // Write the result into the target layer by transferring the span.
    KFCURVENODE_BAKE_REPLACE_SPAN = 8,
    // Write the result into the target layer's own curves.
    KFCURVENODE_BAKE_REPLACE_CURVES = 16
};

struct KFCurveNodeBakeOptions {
    // Sample also at the key times of the source curves.
    bool mKeyAwareSampling = false;
    bool mFitDerivatives = false;
    // Tolerance of the derivative fit and of the fit of inserted keys.
    double mDerivativeTolerance = 0.0;
    // Time step of the finite differences of the derivative fit.
    KTime mFitPeriod;
    bool mRefine = false;
    // Largest allowed difference between baked and reference values.
    double mRefineTolerance = 0.0;
    bool mFitOnInsertion = false;
    // Sub-intervals per refinement step (at least 2).
    int mSubdivisions = 2;
};

// A curve and the index of the key a walk over it has reached.
struct KFCurveKeyCursor {
    KFCurve* mCurve = nullptr;
    int mCursor = 0;
};

// The number of values of a node's value vector.
int KFCurveNodeLayerValueCount(const KFCurveNode& node);

void KFCurveNodeCombineLayerValues(const KFCurveNode& node, double* out, const double* a, const double* b);
void KFCurveNodeInvertLayerValue(const KFCurveNode& node, double* out, const double* a);

// The layers of a chain below and above the target layer id: all layers of
// the chain (up to the next layer of id 0), or only those of the list, in
// its order.
void KFCurveNodeSplitLayers(KFCurveNode* chainStart, const std::vector<int>* layerIds, int targetId,
                            std::vector<KFCurveNode*>& below, std::vector<KFCurveNode*>& above);
// The value the target layer must hold so that with the layers below and
// above it the node evaluates to base; Euler angles are taken nearest the
// reference angles (when given).
void KFCurveNodeEvaluateLayered(KFCurveNode& node, double* out, const double* base, KTime time,
                                const std::vector<KFCurveNode*>& below, const std::vector<KFCurveNode*>& above,
                                int* hint, const double* reference);
// Combines into out, in chain order from layer, the value of every layer of
// the chain (every listed one from position on, with a list), each evaluated
// for its own layer id and combined by its own layer type.
void KFCurveNodeAccumulateLayers(KFCurveNode& layer, double* out, KTime time, const std::vector<int>* layerIds,
                                 int position, int* hint);

// Bakes node over [start, stop] at period. Returns false, changing nothing,
// without a positive period, with stop before start, or out of memory.
bool KFCurveNodeBake(KFCurveNode& node, const std::vector<int>* layerIds, int targetId, int flags, KTime start,
                     KTime stop, KTime period, KFCurveNode* output = nullptr, KFCurveNode* reference = nullptr,
                     bool evaluatePerLayer = true, const KFCurveNodeBakeOptions* options = nullptr);
// The bake of a tree whose keys are all constant: one constant key per key
// time of the layered source inside [start, stop], written into the curves of
// the new tree (of the source's shape).
void KFCurveNodeBakeConstantKeys(KFCurveNode& newNode, KFCurveNode& source, KTime start, KTime stop);

// Makes sure curve has a key at time holding value; with fit, fits its
// derivatives to the reference.
void KFCurveInsertSampleKey(KTime time, double value, KFCurve* curve, KFCurve* reference, bool fit, KTime fitPeriod,
                            double tolerance);
// Gives key index user tangents with the reference's finite-difference
// slopes when its own differ from them by more than the tolerance.
void KFCurveFitKeyDerivatives(int index, KFCurve* curve, KFCurve* reference, KTime fitPeriod, double tolerance);
void KFCurveNodeFitKeyDerivatives(KFCurveNode& node, KFCurveNode& reference, KTime fitPeriod, double tolerance);
// Inserts reference-valued keys wherever the curve strays from the reference
// by more than the tolerance at the subdivision points of [start, stop],
// refining down to 1/120 s; with childPairs, every pair of child curves gets
// the same keys. Always false.
bool KFCurveRefineToReference(KTime start, KTime stop, KFCurve* curve, KFCurve* reference, double tolerance,
                              int subdivisions, bool fit, KTime fitPeriod, double fitTolerance, bool childPairs,
                              const std::vector<KFCurve*>* childCurves,
                              const std::vector<KFCurve*>* referenceChildCurves);
void KFCurveNodeRefineToReference(KFCurveNode& node, KFCurveNode& reference, double tolerance, int subdivisions,
                                  bool fit, KTime fitPeriod, double fitTolerance, bool childPairs,
                                  const std::vector<KFCurve*>* childCurves,
                                  const std::vector<KFCurve*>* referenceChildCurves);

// The earliest key time after current over the cursors (KTimeInfinite when
// none), moving each cursor past the keys not after current; curvesAtResult
// receives the curves whose next key lies at the result.
void KFCurveFindNextKeyTimeOfSet(KTime& result, KTime current, KFCurveKeyCursor* cursors, int count,
                                 std::vector<KFCurve*>* curvesAtResult = nullptr);

}  // namespace fbxsdk_2006_11_1

#endif
