// A stretch of the time line from a start to a stop time. Nothing orders
// the two: a stop before the start is kept as given.
#ifndef FBXFILESDK_SCENE_KTIMESPAN_H
#define FBXFILESDK_SCENE_KTIMESPAN_H

#include <fbxfilesdk/core/KTime.h>

namespace fbxsdk_2006_11_1 {

class KTimeSpan {
public:
    KTimeSpan() = default;
    KTimeSpan(KTime start, KTime stop) : mStart(start), mStop(stop) {}

    void Set(KTime start, KTime stop) {
        mStart = start;
        mStop = stop;
    }
    void SetStart(KTime start) { mStart = start; }
    void SetStop(KTime stop) { mStop = stop; }
    KTime GetStart() const { return mStart; }
    KTime GetStop() const { return mStop; }
    KTime GetDuration() const { return mStop - mStart; }

private:
    KTime mStart;
    KTime mStop;
};

}  // namespace fbxsdk_2006_11_1

#endif
