#include <fbxfilesdk/animation/KFCurveNodeUtilities.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterGimbleKiller.h>
#include <fbxfilesdk/animation/KFCurveFilterUnroll.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveUtilities.h>
#include <fbxfilesdk/core/KSortedPointerMap.h>

#include <cstdint>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

// Each thread's own: a reader sets it only while it reads takes on its thread.
constinit thread_local KSortedPointerMap* tTimeWarpSet = nullptr;

constexpr int kGimbleKillerFilter = 1;
constexpr int kUnrollFilter = 2;

bool RunRotationFilter(KFCurveFilter& filter, KFCurveNode& node, KTime start, KTime stop) {
    filter.SetStartTime(start);
    filter.SetStopTime(stop);
    return filter.Apply(node, true);
}

template <typename Combine>
void CombineValues(const KFCurveNode* node, double* out, const double* a, const double* b, Combine combine) {
    if (!node) return;
    // One element for the node's own curve, then one per child, as the
    // node's evaluation lays its values out.
    const int count = (node->FCurveGet() ? 1 : 0) + node->GetCount();
    for (int i = 0; i < count; ++i) out[i] = combine(a[i], b[i]);
}

void ScanTree(const KFCurveNode& node, unsigned int mask, bool& anyKey, bool& allMatch) {
    if (const KFCurve* curve = node.FCurveGet()) {
        for (int k = 0; k < curve->KeyGetCount(); ++k) {
            anyKey = true;
            if ((curve->KeyGetInterpolation(k) & mask) == 0) allMatch = false;
        }
    }
    for (int i = 0; i < node.GetCount(); ++i) ScanTree(*node.Get(i), mask, anyKey, allMatch);
}

}  // namespace

KSortedPointerMap* KFCurveSetTimeWarpSet(KSortedPointerMap* set) { return std::exchange(tTimeWarpSet, set); }

KFCurveNode* KFCurveTimeWarpGetById(int id) {
    if (!tTimeWarpSet) return nullptr;
    for (int i = 0; i < tTimeWarpSet->GetCount(); ++i) {
        const void* key = nullptr;
        void* value = tTimeWarpSet->GetAt(i, &key);
        if (reinterpret_cast<std::intptr_t>(key) == id) return static_cast<KFCurveNode*>(value);
    }
    return nullptr;
}

bool KFCurveTimeWarpGetId(int& id, const KFCurveNode* node) {
    if (!tTimeWarpSet || !node) return false;
    for (int i = 0; i < tTimeWarpSet->GetCount(); ++i) {
        const void* key = nullptr;
        if (tTimeWarpSet->GetAt(i, &key) == node) {
            id = static_cast<int>(reinterpret_cast<std::intptr_t>(key));
            return true;
        }
    }
    return false;
}

void KFCurveApplyImportRotationFilter(KFCurveNode* node, KTime start, KTime stop) {
    KFCurveApplyRotationFilter(node, start, stop, KFCurveGetImportRotationFilter());
}

bool KFCurveApplyRotationFilter(KFCurveNode* node, KTime start, KTime stop, int filter) {
    if (!node) return false;
    if (filter == kGimbleKillerFilter) {
        KFCurveFilterGimbleKiller gimbleKiller;
        return RunRotationFilter(gimbleKiller, *node, start, stop);
    }
    if (filter == kUnrollFilter) {
        KFCurveFilterUnroll unroll;
        return RunRotationFilter(unroll, *node, start, stop);
    }
    return false;
}

void KFCurveNodeAddValues(const KFCurveNode* node, double* out, const double* a, const double* b) {
    CombineValues(node, out, a, b, [](double x, double y) { return x + y; });
}

void KFCurveNodeMultiplyValues(const KFCurveNode* node, double* out, const double* a, const double* b) {
    CombineValues(node, out, a, b, [](double x, double y) { return x * y; });
}

void KFCurveNodeScanKeyInterpolation(const KFCurveNode* node, unsigned int mask, bool withLayers, bool& anyKey,
                                     bool& allMatch) {
    for (const KFCurveNode* layer = node; layer; layer = withLayers ? layer->GetNextLayer() : nullptr) {
        ScanTree(*layer, mask, anyKey, allMatch);
    }
}

bool KFCurveNodeAllKeysHaveInterpolation(const KFCurveNode* node, unsigned int mask, bool withLayers) {
    bool anyKey = false;
    bool allMatch = true;
    KFCurveNodeScanKeyInterpolation(node, mask, withLayers, anyKey, allMatch);
    return anyKey && allMatch;
}

}  // namespace fbxsdk_2006_11_1
