#include <fbxfilesdk/animation/KFCurveFilterConstantKeyReducer.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveNodeUtilities.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[] = {"No key", "Left unchanged"};
constexpr int kMessageCount = static_cast<int>(sizeof(kMessages) / sizeof(kMessages[0]));

bool IsChannel(const char* name, const char* parentName, const char* shortName, const char* longName) {
    return std::strcmp(name, shortName) == 0 || std::strcmp(name, longName) == 0 ||
           std::strcmp(parentName, shortName) == 0 || std::strcmp(parentName, longName) == 0;
}

}  // namespace

KFCurveFilterConstantKeyReducer::KFCurveFilterConstantKeyReducer()
    : KFCurveFilter("Constant Key Reducer", kMessages, kMessageCount) {
    KFCurveFilterConstantKeyReducer::Reset();
}

const KPlugClassInfo* KFCurveFilterConstantKeyReducer::GetClassInfo() const {
    return &gKFCurveFilterConstantKeyReducerClassInfo;
}

void KFCurveFilterConstantKeyReducer::Reset() {
    mValueTolerance = 0.009;
    mTranslationTolerance = 0.00009;
    mRotationTolerance = 0.009;
    mScalingTolerance = 0.004;
    mOtherTolerance = 0.009;
    mKeepFirstAndLastKeys = false;
    mKeepOneKey = false;
    KFCurveFilter::Reset();
}

bool KFCurveFilterConstantKeyReducer::IsRunConstant(const KFCurve& curve, int index, int first, int last, float low,
                                                    float high) {
    for (int j = index + 2; j >= index - 2; --j) {
        if (j < first || j > last) continue;
        if (curve.KeyGetInterpolation(j) == KFCURVE_INTERPOLATION_CUBIC && !curve.KeyIsAutoFlat(j)) return false;
        const float value = curve.KeyGetValue(j);
        // Written so that a NaN value fails too.
        if (!(value >= low && value <= high)) return false;
    }
    return true;
}

bool KFCurveFilterConstantKeyReducer::Apply(KFCurve& curve) {
    if (curve.KeyGetCount() == 0) {
        GetError().SetErrorWithText(0, "ConstantKeyReducer, No key to be filtered.");
        return false;
    }
    const int first = GetStartKeyIndex(curve);
    int last = GetStopKeyIndex(curve);
    int floor = first;
    int i = last;
    if (mKeepFirstAndLastKeys) {
        floor = first + 1;
        i = last - 1;
        if (i < 0) return true;
    }
    // Runs are measured against their highest key and removed one by one, so
    // the indices below the walk never move.
    while (i >= floor) {
        const float reference = curve.KeyGetValue(i);
        const float low = static_cast<float>(reference - mValueTolerance);
        const float high = static_cast<float>(reference + mValueTolerance);
        int lowest = i;
        int n = 0;
        while (i >= floor) {
            const bool constant = IsRunConstant(curve, i, first, last, low, high);
            --i;
            if (!constant) break;
            lowest = i + 1;
            ++n;
        }
        if (n == 0) continue;
        if (n < curve.KeyGetCount()) {
            curve.KeyRemoveRange(lowest, lowest + n - 1);
        } else if (mKeepOneKey) {
            curve.KeyRemoveRange(first + 1, last);
        } else {
            const float value = curve.KeyGetValue(0);
            curve.KeyClear();
            curve.SetValue(value);
        }
        last -= n;
    }
    return true;
}

double KFCurveFilterConstantKeyReducer::ToleranceFor(const KFCurveNode& node) const {
    const char* name = node.GetName();
    const char* parentName = node.GetParent() ? node.GetParent()->GetName() : "";
    if (IsChannel(name, parentName, "R", "Lcl Rotation")) return mRotationTolerance;
    if (IsChannel(name, parentName, "S", "Lcl Scaling")) return mScalingTolerance;
    if (IsChannel(name, parentName, "T", "Lcl Translation")) return mTranslationTolerance;
    return mOtherTolerance;
}

bool KFCurveFilterConstantKeyReducer::Apply(KFCurveNode& node, bool recursive) {
    if (node.GetQuaternionInterpolation()) return false;
    if (KFCurveNodeAllKeysHaveInterpolation(&node, KFCURVE_INTERPOLATION_CONSTANT, false)) return false;
    const double saved = mValueTolerance;
    // Only the node's own keys are measured with its tolerance; the names
    // that tell it need not be compared for a node without any.
    const KFCurve* own = node.FCurveGet();
    if (own != nullptr && own->KeyGetCount() > 0) mValueTolerance = ToleranceFor(node);
    const bool result = KFCurveFilter::Apply(node, recursive);
    mValueTolerance = saved;
    return result;
}

}  // namespace fbxsdk_2006_11_1
