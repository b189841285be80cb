#include <fbxfilesdk/animation/KFCurveFilterKeySync.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveDetail.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

#include <cmath>

namespace fbxsdk_2006_11_1 {

using kfcurve_detail::AddTicks;

namespace {

const char* const kMessages[] = {"No key", "Left unchanged", "Multiple key count", "Unsynched keys",
                                 "Too many curves"};
constexpr int kMessageCount = static_cast<int>(sizeof(kMessages) / sizeof(kMessages[0]));

const char* const kNoChangeText = "KeySyncFilter, No key were changed by filter.";
const char* const kTooManyText = "KeySyncFilter, Curve count is too mush. No support above 20 curves..";

// The first key of curve strictly after t; -1 when none.
int KeyAfter(const KFCurve& curve, KTime t, int* hint) {
    const int count = curve.KeyGetCount();
    if (count == 0) return -1;
    if (t == KTimeMinusInfinite) return 0;
    const double found = curve.KeyFind(t, hint);
    int j = static_cast<int>(std::ceil(found));
    // A key exactly at t is not after it; the next one may be.
    if (found == j) ++j;
    return j < count ? j : -1;
}

}  // namespace

KFCurveFilterKeySync::KFCurveFilterKeySync() : KFCurveFilter("FCurve Key Synchronizer", kMessages, kMessageCount) {
    SetStartTime(KTimeMinusInfinite);
    SetStopTime(KTimeInfinite);
}

const KPlugClassInfo* KFCurveFilterKeySync::GetClassInfo() const { return &gKFCurveFilterKeySyncClassInfo; }

bool KFCurveFilterKeySync::SingleCurve() {
    GetError().SetErrorWithText(1, kNoChangeText);
    return false;
}

bool KFCurveFilterKeySync::NeedApply(KFCurve&) { return SingleCurve(); }

bool KFCurveFilterKeySync::Apply(KFCurve&) { return SingleCurve(); }

bool KFCurveFilterKeySync::GatherCurves(Group& group, KFCurve** curves, int count) {
    group.mCount = 0;
    for (int i = 0; i < count; ++i) {
        if (!curves[i]) continue;
        if (group.mCount == kMaxCurveCount) {
            GetError().SetErrorWithText(4, kTooManyText);
            return false;
        }
        group.mCurves[group.mCount++] = curves[i];
    }
    return true;
}

bool KFCurveFilterKeySync::GatherChildCurves(Group& group, const KFCurveNode& node) {
    group.mCount = 0;
    if (node.GetCount() > kMaxCurveCount) {
        GetError().SetErrorWithText(4, kTooManyText);
        return false;
    }
    for (int i = 0; i < node.GetCount(); ++i) {
        if (KFCurve* curve = node.Get(i)->FCurveGet()) group.mCurves[group.mCount++] = curve;
    }
    return true;
}

bool KFCurveFilterKeySync::NeedApply(KFCurve** curves, int count) {
    Group group;
    if (!GatherCurves(group, curves, count)) return false;
    return GroupNeedsSync(group);
}

bool KFCurveFilterKeySync::NeedApply(KFCurveNode& node, bool) {
    Group group;
    if (!GatherChildCurves(group, node)) return false;
    return GroupNeedsSync(group);
}

bool KFCurveFilterKeySync::Apply(KFCurveNode& node, bool) {
    Group group;
    if (!GatherChildCurves(group, node)) return false;
    return SyncGroup(group);
}

bool KFCurveFilterKeySync::Apply(KFCurve** curves, int count) {
    Group group;
    if (!GatherCurves(group, curves, count)) return false;
    return SyncGroup(group);
}

bool KFCurveFilterKeySync::GroupNeedsSync(const Group& group) {
    if (group.mCount == 0) return false;
    const KFCurve& reference = *group.mCurves[0];
    const int count = reference.KeyGetCount();
    for (int c = 1; c < group.mCount; ++c) {
        if (group.mCurves[c]->KeyGetCount() != count) {
            GetError().SetErrorWithText(2, "KeySyncFilter, Key count is different in the Curves to be filtered.");
            return true;
        }
    }
    for (int k = 0; k < count; ++k) {
        for (int c = 1; c < group.mCount; ++c) {
            if (group.mCurves[c]->KeyGetTime(k) != reference.KeyGetTime(k)) {
                GetError().SetErrorWithText(3, "KeySyncFilter, keys are not synchronized.");
                return true;
            }
        }
    }
    return false;
}

bool KFCurveFilterKeySync::SyncGroup(const Group& group) {
    if (group.mCount < 2) return SingleCurve();
    const int n = group.mCount;
    int insertHints[kMaxCurveCount];
    int evaluateHints[kMaxCurveCount];
    KFCurve* before[kMaxCurveCount] = {};
    int maxCount = 0;
    for (int c = 0; c < n; ++c) {
        insertHints[c] = -1;
        evaluateHints[c] = -1;
        if (group.mCurves[c]->KeyGetCount() > maxCount) maxCount = group.mCurves[c]->KeyGetCount();
    }
    // The new keys take the values the curves had before any key was added.
    for (int c = 0; c < n; ++c) {
        before[c] = group.mCurves[c]->Copy();
        if (!before[c]) {
            for (int k = 0; k < c; ++k) delete before[k];
            GetError().SetErrorWithText(1, kNoChangeText);
            return false;
        }
    }
    for (int c = 0; c < n; ++c) {
        group.mCurves[c]->KeyResize(maxCount);
        group.mCurves[c]->KeyModifyBegin();
    }

    const KTime start = GetStartTime();
    const KTime stop = GetStopTime();
    KTime t = start == KTimeMinusInfinite ? start : AddTicks(start, -1);
    while (t < stop) {
        KTime next = KTimeInfinite;
        for (int c = 0; c < n; ++c) {
            const KFCurve& curve = *group.mCurves[c];
            const int j = KeyAfter(curve, t, &insertHints[c]);
            if (j >= 0 && curve.KeyGetTime(j) < next) next = curve.KeyGetTime(j);
        }
        if (next == KTimeInfinite || next > stop) break;
        t = next;
        for (int c = 0; c < n; ++c) {
            KFCurve& curve = *group.mCurves[c];
            const int k = curve.KeyInsert(t, &insertHints[c]);
            if (k >= 0) curve.KeySetValue(k, before[c]->Evaluate(t, &evaluateHints[c]));
        }
        t = AddTicks(t, 1);
    }

    for (int c = 0; c < n; ++c) {
        group.mCurves[c]->KeyModifyEnd();
        delete before[c];
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
