#include <fbxfilesdk/animation/KFCurveFilterTimeShiftAndScale.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[] = {"No key", "Left unchanged"};
constexpr int kMessageCount = static_cast<int>(sizeof(kMessages) / sizeof(kMessages[0]));

}  // namespace

KFCurveFilterTimeShiftAndScale::KFCurveFilterTimeShiftAndScale()
    : KFCurveFilter("TimeShiftAndScaleFilter", kMessages, kMessageCount) {}

const KPlugClassInfo* KFCurveFilterTimeShiftAndScale::GetClassInfo() const {
    return &gKFCurveFilterTimeShiftAndScaleClassInfo;
}

bool KFCurveFilterTimeShiftAndScale::Apply(KFCurve& curve) {
    // A scale of 0 or below is ignored: only the shift applies.
    const bool scales = mScale > 0.0 && mScale != 1.0;
    if (!scales && mShift == KTime()) {
        GetError().SetErrorWithText(1, "TimeShiftAndScaleFilter, No key were changed by filter.");
        return false;
    }
    if (curve.KeyGetCount() == 0) {
        GetError().SetErrorWithText(0, "TimeShiftAndScaleFilter, No key to be filtered.");
        return false;
    }
    // Both steps keep the order of the times, so the keys stay sorted.
    curve.KeyModifyBegin();
    for (int i = 0; i < curve.KeyGetCount(); ++i) {
        KTime time = curve.KeyGetTime(i) + mShift;
        if (scales) time.SetSecondDouble(time.GetSecondDouble() * mScale);
        curve.KeySetTime(i, time);
    }
    curve.KeyModifyEnd();
    return true;
}

}  // namespace fbxsdk_2006_11_1
