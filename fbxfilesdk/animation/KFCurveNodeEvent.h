// The change record of a curve-node tree node and its callbacks. A node has no
// record until a first callback is registered; until then its posts reach
// nobody.
#ifndef FBXFILESDK_ANIMATION_KFCURVENODEEVENT_H
#define FBXFILESDK_ANIMATION_KFCURVENODEEVENT_H

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFCurveNode;
struct KFCurveNodeEvent;

using KFCurveNodeCallback = void (*)(KFCurveNode* node, KFCurveNodeEvent* event, void* userData);

enum KFCurveNodeEventBits : unsigned int {
    KFCURVENODEEVENT_DESTROYED = 0x02,
    KFCURVENODEEVENT_CURVE = 0x04,
    KFCURVENODEEVENT_TIMEWARP = 0x08,
    KFCURVENODEEVENT_LAYERS = 0x10
};

struct KFCurveNodeEvent {
    struct Entry {
        KFCurveNodeCallback mCallback;
        void* mUserData;
    };

    unsigned int mEventType = 0;
    int mEventCount = 0;
    bool mCallbacksEnabled = true;
    std::vector<Entry> mCallbacks;
    // While a delivery runs, unregistered entries are only marked (null
    // callback) so that the loop over the entries stays valid.
    int mDeliveryDepth = 0;

    void Clear() {
        mEventType = 0;
        mEventCount = 0;
    }
};

}  // namespace fbxsdk_2006_11_1

#endif
