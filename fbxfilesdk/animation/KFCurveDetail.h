// Small helpers shared by the function-curve sources; not part of the SDK's
// public interface.
#ifndef FBXFILESDK_ANIMATION_KFCURVEDETAIL_H
#define FBXFILESDK_ANIMATION_KFCURVEDETAIL_H

#include <fbxfilesdk/core/KTime.h>

#include <cstdint>
#include <limits>

namespace fbxsdk_2006_11_1::kfcurve_detail {

// (to - from) in ticks as a double, saturating as KTime subtraction does.
inline double TicksBetween(KTime from, KTime to) {
    std::int64_t difference;
    if (__builtin_sub_overflow(to.Get(), from.Get(), &difference)) {
        difference = to.Get() > from.Get() ? std::numeric_limits<std::int64_t>::max()
                                           : std::numeric_limits<std::int64_t>::min() + 1;
    }
    return double(difference);
}

// (to - from) in seconds, as KTime subtraction and GetSecondDouble give it,
// kept inline because evaluation runs it for every segment it reads.
inline double SecondsBetween(KTime from, KTime to) {
    return TicksBetween(from, to) / double(KTime::kTicksPerSecond);
}

// time + ticks, saturating at the ends of the time line.
inline KTime AddTicks(KTime time, std::int64_t ticks) {
    std::int64_t sum;
    if (__builtin_add_overflow(time.Get(), ticks, &sum)) {
        return ticks > 0 ? KTimeInfinite : KTimeMinusInfinite;
    }
    return KTime(sum);
}

}  // namespace fbxsdk_2006_11_1::kfcurve_detail

#endif
