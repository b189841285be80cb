// Gives a group of curves common key times: inside the span, wherever any
// curve of the group has a key, every curve gets a key there holding the
// value it had at that time. A group holds at most kMaxCurveCount curves;
// larger groups are refused.
#ifndef FBXFILESDK_ANIMATION_KFCURVEFILTERKEYSYNC_H
#define FBXFILESDK_ANIMATION_KFCURVEFILTERKEYSYNC_H

#include <fbxfilesdk/animation/KFCurveFilter.h>

namespace fbxsdk_2006_11_1 {

class KFCurveFilterKeySync : public KFCurveFilter {
public:
    static constexpr int kMaxCurveCount = 20;

    // The span is the whole time line.
    KFCurveFilterKeySync();

    const KPlugClassInfo* GetClassInfo() const override;

    // A single curve cannot be synchronized: error 1 and false.
    bool NeedApply(KFCurve& curve) override;
    // True, with error 2 or 3 telling why, when the curves do not share their
    // key times yet. Null curves are left out of the group.
    bool NeedApply(KFCurve** curves, int count) override;
    // The curves of the node's children (not deeper, not the node's own).
    bool NeedApply(KFCurveNode& node, bool recursive = true) override;
    bool Apply(KFCurve& curve) override;
    // False, with error 1, for fewer than two curves; error 4 for more than
    // kMaxCurveCount.
    bool Apply(KFCurve** curves, int count) override;
    bool Apply(KFCurveNode& node, bool recursive = true) override;

private:
    struct Group {
        KFCurve* mCurves[kMaxCurveCount];
        int mCount = 0;
    };
    // The non-null curves; false (error 4) when there are too many.
    bool GatherCurves(Group& group, KFCurve** curves, int count);
    bool GatherChildCurves(Group& group, const KFCurveNode& node);
    bool SingleCurve();
    bool GroupNeedsSync(const Group& group);
    bool SyncGroup(const Group& group);
};

}  // namespace fbxsdk_2006_11_1

#endif
