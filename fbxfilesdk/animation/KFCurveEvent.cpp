#include <fbxfilesdk/animation/KFCurveEvent.h>

namespace fbxsdk_2006_11_1 {

void KFCurveEvent::Clear() {
    mEventType = 0;
    mKeyIndexStart = -1;
    mKeyIndexStop = -1;
    mEventCount = 0;
}

void KFCurveEvent::Add(unsigned int bits, int index) {
    mEventType |= bits;
    if (mKeyIndexStart == -1 || mKeyIndexStart > index) mKeyIndexStart = index;
    if (index > mKeyIndexStop) mKeyIndexStop = index;
    ++mEventCount;
}

}  // namespace fbxsdk_2006_11_1
