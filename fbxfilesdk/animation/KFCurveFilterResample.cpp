#include <fbxfilesdk/animation/KFCurveFilterResample.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveSampling.h>
#include <fbxfilesdk/core/KPlugClassTable.h>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[] = {"Bad Period", "Bad Interval"};
constexpr int kMessageCount = static_cast<int>(sizeof(kMessages) / sizeof(kMessages[0]));

}  // namespace

KFCurveFilterResample::KFCurveFilterResample() : KFCurveFilter("FCurve Resample", kMessages, kMessageCount) {
    KFCurveFilterResample::Reset();
}

const KPlugClassInfo* KFCurveFilterResample::GetClassInfo() const { return &gKFCurveFilterResampleClassInfo; }

void KFCurveFilterResample::Reset() {
    mKeysOnFrame = false;
    mPeriod = KTime();
    mPeriod.SetTime(0, 0, 0, 1, 0, KTime::eDefaultMode);
    mKeepInterpolation = false;
    KFCurveFilter::Reset();
}

bool KFCurveFilterResample::Apply(KFCurve& curve) {
    if (!(mPeriod > KTime())) {
        GetError().SetError(0);
        return false;
    }
    const int count = curve.KeyGetCount();
    const KTime first = count > 0 ? curve.KeyGetTime(0) : KTimeMinusInfinite;
    const KTime last = count > 0 ? curve.KeyGetTime(count - 1) : KTimeInfinite;
    KTime start = GetStartTime() == KTimeMinusInfinite ? first : GetStartTime();
    const KTime stop = GetStopTime() == KTimeInfinite ? last : GetStopTime();
    if (start == KTimeMinusInfinite || stop == KTimeInfinite) {
        GetError().SetError(1);
        return false;
    }
    if (mKeysOnFrame && start.Get() % mPeriod.Get() != 0) {
        // Only a start past the first period moves; the stop never does.
        const std::int64_t onGrid = start.Get() / mPeriod.Get() * mPeriod.Get();
        if (onGrid > 0) start = KTime(onGrid) + mPeriod;
    }
    if (!(stop > start)) {
        GetError().SetError(1);
        return false;
    }

    KFCurve* source = KFCurve::Create();
    KFCurve* samples = KFCurve::Create();
    if (!source || !samples) {
        delete source;
        delete samples;
        GetError().SetError(1);
        return false;
    }
    source->CopyFrom(curve, true);
    samples->CopyFrom(curve, false);
    if (mKeepInterpolation) {
        KFCurveResampleKeysKeepInterpolation(*source, *samples, start, stop, mPeriod, true);
    } else {
        KFCurveResampleKeys(*source, *samples, start, stop, mPeriod, KFCURVE_INTERPOLATION_CUBIC,
                            KFCURVE_TANGENT_AUTO, true);
    }
    KFCurveMergeKeys(*source, *samples, curve);
    delete source;
    delete samples;
    return true;
}

}  // namespace fbxsdk_2006_11_1
