// Replacing the keys of a time span by those of another curve.
#include <fbxfilesdk/animation/KFCurve.h>

#include <fbxfilesdk/animation/KFCurveDetail.h>

#include <algorithm>
#include <cmath>

namespace fbxsdk_2006_11_1 {

using kfcurve_detail::AddTicks;

namespace {

constexpr float kNegligibleOffset = 1e-7f;

bool TouchesAutoOrUser(unsigned int mode) { return (mode & (KFCURVE_TANGENT_USER | KFCURVE_TANGENT_AUTO)) != 0; }

}  // namespace

void KFCurve::ReplaceKeysInSpan(const KFCurve& source, KTime start, KTime stop, bool keepSpan, bool flattenEmpty,
                                KTime timeOffset) {
    ReplaceKeysInSpanWith(source, start, stop, keepSpan, flattenEmpty, timeOffset, SpanValues());
}

void KFCurve::ReplaceKeysInSpanOffset(const KFCurve& source, KTime start, KTime stop, float valueOffset,
                                      float afterOffset, bool keepSpan, bool flattenEmpty, KTime timeOffset) {
    SpanValues values;
    values.mMode = SpanMode::kOffset;
    values.mValueOffset = valueOffset;
    values.mAfterOffset = afterOffset;
    ReplaceKeysInSpanWith(source, start, stop, keepSpan, flattenEmpty, timeOffset, values);
}

void KFCurve::ReplaceKeysInSpanScaled(const KFCurve& source, KTime start, KTime stop, float factorStart,
                                      float factorStop, bool keepSpan, bool flattenEmpty, KTime timeOffset) {
    SpanValues values;
    values.mMode = SpanMode::kScaled;
    values.mFactorStart = factorStart;
    values.mFactorStop = factorStop;
    ReplaceKeysInSpanWith(source, start, stop, keepSpan, flattenEmpty, timeOffset, values);
}

void KFCurve::ReplaceKeysInSpanWith(const KFCurve& source, KTime start, KTime stop, bool keepSpan,
                                    bool flattenEmpty, KTime timeOffset, const SpanValues& values) {
    // A curve cannot take a span of itself: its keys would be removed first.
    if (&source == this) return;
    KeyModifyBegin();
    const int sourceCount = source.KeyGetCount();
    if (sourceCount == 0) {
        // Nothing to take: the span is as given, without the offset.
        if (flattenEmpty) {
            FlattenSpan(source, start, stop);
        } else {
            KeyRemoveTimeRange(AddTicks(start, -1), AddTicks(stop, 1));
        }
        KeyModifyEnd();
        return;
    }

    // The source span (the markers standing for its first and last keys) and
    // the target span [s, e] it goes to.
    const KTime sourceStart = start == KTimeMinusInfinite ? source.KeyGetTime(0) : start;
    const KTime sourceStop = stop == KTimeInfinite ? source.KeyGetTime(sourceCount - 1) : stop;
    const KTime s = AddTicks(sourceStart, timeOffset.Get());
    const KTime e = AddTicks(sourceStop, timeOffset.Get());
    if (!keepSpan) {
        // The span shrinks to the source keys inside it.
        const int a = static_cast<int>(std::ceil(source.KeyFind(sourceStart)));
        const int b = std::min(static_cast<int>(std::floor(source.KeyFind(sourceStop))), sourceCount - 1);
        if (a >= 0 && a < sourceCount) start = source.KeyGetTime(a);
        if (b >= 0) stop = source.KeyGetTime(b);
    }

    // This curve's slopes at the seams, before it changes.
    const int seamKey = std::max(0, static_cast<int>(std::ceil(KeyFind(s))));
    const float seamLeftDerivative = EvaluateDerivative(s);
    const float seamRightDerivative = EvaluateRightDerivative(e);

    // Removing every key makes the first one's value the default: a curve
    // whose keys are only replaced keeps its own (restored below).
    const float defaultValue = GetValue();
    KeyRemoveTimeRange(AddTicks(s, -1), AddTicks(e, 1));
    const bool removedAll = mKeyCount == 0;

    ClearEvaluationCache();
    const double span = double(stop.Get()) - double(start.Get());
    const int firstTaken = static_cast<int>(std::ceil(source.KeyFind(start)));
    // Room for the keys taken, made once rather than key by key; without it
    // each key still finds its own.
    int lastTaken = std::max(firstTaken, 0);
    while (lastTaken < sourceCount && !(source.KeyGetTime(lastTaken) > stop)) ++lastTaken;
    KeyResize(mKeyCount + lastTaken - std::max(firstTaken, 0));
    int hint = 0;
    bool added = false;
    for (int i = firstTaken; i < sourceCount; ++i) {
        KFCurveKey key = source.KeyGet(i);
        if (key.GetTime() > stop) break;
        if (values.mMode == SpanMode::kOffset && std::fabs(values.mValueOffset) > kNegligibleOffset) {
            key.IncValue(values.mValueOffset);
        } else if (values.mMode == SpanMode::kScaled) {
            const float f = span != 0.0 ? static_cast<float>((double(key.GetTime().Get()) - double(start.Get())) / span)
                                        : 0.0f;
            key.MultValue((1.0f - f) * values.mFactorStart + f * values.mFactorStop);
        }
        if (KeyAdd(AddTicks(key.GetTime(), timeOffset.Get()), key, &hint) >= 0) added = true;
    }
    if (removedAll && added) {
        mValue = defaultValue;
    }

    if (start != KTimeMinusInfinite && mKeyCount > 0) {
        int j = seamKey;
        if (j < mKeyCount && !(KeyGetTime(j) > e)) {
            if (KeyGetTime(j) < s) ++j;
            if (j < mKeyCount && TouchesAutoOrUser(KeyGetTangentMode(j))) KeySetLeftDerivative(j, seamLeftDerivative);
        }
    }
    // Without an added key there is no seam at the end to mend.
    if (stop != KTimeInfinite && added && TouchesAutoOrUser(KeyGetTangentMode(hint))) {
        KeySetRightDerivative(hint, seamRightDerivative);
    }
    if (values.mMode == SpanMode::kOffset && std::fabs(values.mAfterOffset) > kNegligibleOffset) {
        const int firstAfter = added ? hint + 1 : static_cast<int>(std::floor(KeyFind(e))) + 1;
        for (int i = firstAfter; i < mKeyCount; ++i) KeyIncValue(i, values.mAfterOffset);
    }
    KeyModifyEnd();
}

void KFCurve::FlattenSpan(const KFCurve& source, KTime start, KTime stop) {
    // The ends of the span that are not ends of the time line.
    const bool closed[2] = {start != KTimeMinusInfinite, stop != KTimeInfinite};
    const KTime ends[2] = {start, stop};
    const KTime outside[2] = {AddTicks(start, -1), AddTicks(stop, 1)};
    if (!closed[0] && !closed[1]) {
        // The whole time line: no key is left and the default value rules.
        KeyRemoveTimeRange(outside[0], outside[1]);
        SetValue(source.GetValue());
        return;
    }
    // Keys one tick outside the span keep the curve's shape there; they are
    // put in before the span's keys go, while that shape is still the old one.
    for (int k = 0; k < 2; ++k) {
        if (!closed[k]) continue;
        EvaluateCached(outside[k]);
        KeyInsertKeepShape(nullptr, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER);
    }
    KeyRemoveTimeRange(outside[0], outside[1]);
    // Keys at the ends of the span hold the source's default value, level.
    for (int k = 0; k < 2; ++k) {
        if (!closed[k]) continue;
        SetEvaluationCache(ends[k], source.GetValue());
        KeyInsertKeepShape(nullptr, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER);
    }
    for (int k = 0; k < 2; ++k) {
        if (!closed[k]) continue;
        const double found = KeyFind(ends[k]);
        const int i = static_cast<int>(found);
        if (found != i) continue;
        KeySetDataDouble(i, KFCurveKey::kSlotRightSlope, 0.0);
        if (i > 0) KeySetDataDouble(i - 1, KFCurveKey::kSlotNextLeftSlope, 0.0);
    }
}

}  // namespace fbxsdk_2006_11_1
