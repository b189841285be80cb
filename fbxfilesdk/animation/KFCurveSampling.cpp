#include <fbxfilesdk/animation/KFCurveSampling.h>

#include <fbxfilesdk/animation/KFCurve.h>

#include <cmath>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

namespace {

bool IsUserMode(unsigned int mode) { return mode == KFCURVE_TANGENT_USER || mode == KFCURVE_TANGENT_USER_BREAK; }

// The sample grid start, start + period, ... up to stop: samples 0..last, and
// one more at stop when asked for and the grid misses it. False when there is
// no grid or it has more samples than a curve can hold.
bool PlanSamples(KTime start, KTime stop, KTime period, bool addLastKey, int& last, bool& extra) {
    if (!(stop > start) || !(period > KTime(0))) return false;
    const std::uint64_t length = static_cast<std::uint64_t>(stop.Get()) - static_cast<std::uint64_t>(start.Get());
    const std::uint64_t steps = length / static_cast<std::uint64_t>(period.Get());
    const std::uint64_t rest = length % static_cast<std::uint64_t>(period.Get());
    if (steps > 0x7FFFFFFDull) return false;
    last = static_cast<int>(steps);
    extra = addLastKey && rest > 0;
    return true;
}

void WriteSample(KFCurve& destination, int i, KTime time, float value, unsigned int interpolation,
                 unsigned int tangentMode, float rightSlope, float nextLeftSlope) {
    destination.KeySet(i, time, value, interpolation, tangentMode, rightSlope, nextLeftSlope, KFCURVE_WEIGHTED_NONE,
                       KFCURVE_DEFAULT_WEIGHT, KFCURVE_DEFAULT_WEIGHT, 0.0, 0.0);
}

// A sample that takes the type of the source key it falls after. Its left
// slot holds the left slope of the next sample, so it is the source's
// derivative where that sample lies (next), not where this one does.
void WriteTypedSample(const KFCurve& source, KFCurve& destination, int i, KTime time, KTime next, int& hint) {
    const double found = source.KeyFind(time, &hint);
    const float value = source.Evaluate(time, &hint);
    unsigned int interpolation = KFCURVE_INTERPOLATION_CUBIC;
    unsigned int tangentMode = KFCURVE_TANGENT_AUTO;
    float rightSlope = 0.0f;
    float nextLeftSlope = 0.0f;
    if (found >= 0.0 && found <= source.KeyGetCount() - 1) {
        const int j = static_cast<int>(found);
        interpolation = source.KeyGetInterpolation(j);
        tangentMode = source.KeyGetTangentMode(j);
        if (interpolation == KFCURVE_INTERPOLATION_CUBIC) {
            if (IsUserMode(tangentMode)) {
                rightSlope = source.EvaluateRightDerivative(time);
                nextLeftSlope = source.EvaluateDerivative(next);
            } else if (tangentMode == KFCURVE_TANGENT_TCB) {
                tangentMode = KFCURVE_TANGENT_AUTO;
            }
        }
    }
    WriteSample(destination, i, time, value, interpolation, tangentMode, rightSlope, nextLeftSlope);
}

// Writes the samples of the grid, each by write (index, time, time of the
// next sample, hint), into the emptied destination in one modification.
template <class Write>
void Resample(const KFCurve& source, KFCurve& destination, KTime start, KTime stop, KTime period, bool addLastKey,
              Write write) {
    int last;
    bool extra;
    if (&source == &destination || !PlanSamples(start, stop, period, addLastKey, last, extra)) return;
    destination.KeyClear();
    destination.KeyResize(last + 1 + (extra ? 1 : 0));
    destination.KeyModifyBegin();
    int hint = 0;
    KTime time = start;
    for (int i = 0; i <= last; ++i) {
        const KTime next = i < last ? time + period : (extra ? stop : time);
        write(i, time, next, hint);
        time = time + period;
    }
    if (extra) write(last + 1, stop, stop, hint);
    destination.KeyModifyEnd();
}

}  // namespace

void KFCurveResampleKeys(const KFCurve& source, KFCurve& destination, KTime start, KTime stop, KTime period,
                         unsigned int interpolation, unsigned int tangentMode, bool addLastKey) {
    Resample(source, destination, start, stop, period, addLastKey, [&](int i, KTime time, KTime, int& hint) {
        WriteSample(destination, i, time, source.Evaluate(time, &hint), interpolation, tangentMode, 0.0f, 0.0f);
    });
}

void KFCurveResampleKeysKeepInterpolation(const KFCurve& source, KFCurve& destination, KTime start, KTime stop,
                                          KTime period, bool addLastKey) {
    Resample(source, destination, start, stop, period, addLastKey, [&](int i, KTime time, KTime next, int& hint) {
        WriteTypedSample(source, destination, i, time, next, hint);
    });
}

void KFCurveMergeKeys(const KFCurve& base, const KFCurve& replacement, KFCurve& destination) {
    if (&destination == &base || &destination == &replacement) return;
    const int baseCount = base.KeyGetCount();
    const int replacementCount = replacement.KeyGetCount();
    if (baseCount == 0) {
        if (replacementCount > 0) destination.CopyFrom(replacement, true);
        return;
    }
    if (replacementCount == 0) {
        destination.CopyFrom(base, true);
        return;
    }
    const KTime replacementStart = replacement.KeyGetTime(0);
    const KTime replacementStop = replacement.KeyGetTime(replacementCount - 1);
    if (replacementStart <= base.KeyGetTime(0) && replacementStop >= base.KeyGetTime(baseCount - 1)) {
        destination.CopyFrom(replacement, true);
        return;
    }
    // Base keys 0..before-1 lie before the replacement, after+1.. after it; a
    // base key exactly at either end is replaced.
    const int before = static_cast<int>(std::ceil(base.KeyFind(replacementStart)));
    const int after = static_cast<int>(std::floor(base.KeyFind(replacementStop)));

    destination.KeyClear();
    destination.KeyResize(before - after + replacementCount + baseCount - 1);
    destination.KeyModifyBegin();
    int index = 0;
    for (int j = 0; j < before; ++j) destination.KeySetFromCurve(index++, base, j);
    for (int j = 0; j < replacementCount; ++j) destination.KeySetFromCurve(index++, replacement, j);
    for (int j = after + 1; j < baseCount; ++j) destination.KeySetFromCurve(index++, base, j);

    const auto userCubic = [&base](int j) {
        return base.KeyGetInterpolation(j) == KFCURVE_INTERPOLATION_CUBIC && IsUserMode(base.KeyGetTangentMode(j));
    };
    if (before - 1 >= 0 && before < baseCount && userCubic(before - 1)) {
        destination.KeySetDataDouble(before - 1, KFCurveKey::kSlotNextLeftSlope,
                                     base.EvaluateRightDerivative(replacementStart));
    }
    if (after >= 0 && after < baseCount - 1 && userCubic(after)) {
        const int lastReplaced = before + replacementCount - 1;
        destination.KeySetInterpolation(lastReplaced, KFCURVE_INTERPOLATION_CUBIC);
        destination.KeySetTangentMode(lastReplaced, KFCURVE_TANGENT_USER_BREAK);
        destination.KeySetDataDouble(lastReplaced, KFCurveKey::kSlotRightSlope,
                                     base.EvaluateDerivative(replacementStop));
        destination.KeySetDataDouble(lastReplaced, KFCurveKey::kSlotNextLeftSlope,
                                     base.KeyGetDataDouble(after, KFCurveKey::kSlotNextLeftSlope));
    }
    destination.KeyModifyEnd();
}

}  // namespace fbxsdk_2006_11_1
