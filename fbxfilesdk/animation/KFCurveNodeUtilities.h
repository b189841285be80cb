// Free functions over curve-node trees that the stored form, the filters, the
// bake and the readers share: the calling thread's time-warp set that
// resolves the time-warp ids of stored nodes, the import rotation filter, the
// element-wise combination of node value vectors and the scan of a tree's key
// interpolations.
#ifndef FBXFILESDK_ANIMATION_KFCURVENODEUTILITIES_H
#define FBXFILESDK_ANIMATION_KFCURVENODEUTILITIES_H

#include <fbxfilesdk/core/KTime.h>

namespace fbxsdk_2006_11_1 {

class KFCurveNode;
class KSortedPointerMap;

// The time-warp set maps ids (the pair keys, as pointer-sized integers) to
// time-warp nodes (the values). Each thread has its own: the set given serves
// the calling thread's lookups until it sets another. The caller owns it and
// keeps it alive while it is set; null clears it. Returns the set it replaces.
KSortedPointerMap* KFCurveSetTimeWarpSet(KSortedPointerMap* set);
// Null without a set or a pair of that id.
KFCurveNode* KFCurveTimeWarpGetById(int id);
// The id of the first pair holding the node; false, leaving id as it was,
// without a set, for a null node or when no pair holds it.
bool KFCurveTimeWarpGetId(int& id, const KFCurveNode* node);

// Runs the rotation filter the import settings select
// (KFCurveGetImportRotationFilter) on a rotation node over [start, stop].
void KFCurveApplyImportRotationFilter(KFCurveNode* node, KTime start, KTime stop);
// The same with the filter given: 1 the gimbal killer, 2 the unroll filter,
// anything else none. True when the filter ran and succeeded.
bool KFCurveApplyRotationFilter(KFCurveNode* node, KTime start, KTime stop, int filter);

// out = a + b (a * b) element-wise over the node's values: one for its own
// curve, when it has one, then one per child.
void KFCurveNodeAddValues(const KFCurveNode* node, double* out, const double* a, const double* b);
void KFCurveNodeMultiplyValues(const KFCurveNode* node, double* out, const double* a, const double* b);

// Over every key of the tree (and of the layers after the node when asked):
// any key sets anyKey; a key whose interpolation has no bit in mask clears
// allMatch. Neither flag is otherwise touched.
void KFCurveNodeScanKeyInterpolation(const KFCurveNode* node, unsigned int mask, bool withLayers, bool& anyKey,
                                     bool& allMatch);
// Whether the tree has keys and all of them have an interpolation in mask.
bool KFCurveNodeAllKeysHaveInterpolation(const KFCurveNode* node, unsigned int mask, bool withLayers);

}  // namespace fbxsdk_2006_11_1

#endif
