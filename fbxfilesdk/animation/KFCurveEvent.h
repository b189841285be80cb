// The change record that a function curve hands to its callbacks, and the
// event bits it carries.
#ifndef FBXFILESDK_ANIMATION_KFCURVEEVENT_H
#define FBXFILESDK_ANIMATION_KFCURVEEVENT_H

namespace fbxsdk_2006_11_1 {

enum KFCurveEventBits : unsigned int {
    KFCURVEEVENT_DEFAULT_VALUE = 0x00000001,
    // Set with every key event.
    KFCURVEEVENT_KEYS = 0x00000010,
    // Raises the update counter by 0x10000 instead of 1.
    KFCURVEEVENT_MAJOR = 0x00000100,
    KFCURVEEVENT_DESTROY = 0x00000200,
    KFCURVEEVENT_KEY_ADDED = 0x00000800,
    KFCURVEEVENT_KEYS_REMOVED = 0x00001000,
    KFCURVEEVENT_KEY_VALUE = 0x00002000,
    KFCURVEEVENT_KEY_TIME = 0x00004000,
    KFCURVEEVENT_KEY_FLAGS = 0x00008000,

    // What the curve posts.
    KFCURVEEVENT_POST_KEY_ADDED = KFCURVEEVENT_KEY_ADDED | KFCURVEEVENT_KEYS,
    KFCURVEEVENT_POST_KEYS_REMOVED = KFCURVEEVENT_KEYS_REMOVED | KFCURVEEVENT_KEYS,
    KFCURVEEVENT_POST_KEY_VALUE = KFCURVEEVENT_KEY_VALUE | KFCURVEEVENT_KEYS,
    KFCURVEEVENT_POST_KEY_TIME = KFCURVEEVENT_KEY_TIME | KFCURVEEVENT_KEYS,
    KFCURVEEVENT_POST_KEY_FLAGS = KFCURVEEVENT_KEY_FLAGS | KFCURVEEVENT_KEYS,
    KFCURVEEVENT_POST_KEY_REWRITTEN =
        KFCURVEEVENT_KEY_VALUE | KFCURVEEVENT_KEY_TIME | KFCURVEEVENT_KEY_FLAGS | KFCURVEEVENT_KEYS
};

// Changes accumulate into one record until it is delivered: the bits are
// ORed, the key indices widen to span every change, and the count grows.
struct KFCurveEvent {
    unsigned int mEventType = 0;
    int mReserved = 0;
    int mKeyIndexStart = -1;
    int mKeyIndexStop = -1;
    int mEventCount = 0;

    void Clear();
    void Add(unsigned int bits, int index);
};

}  // namespace fbxsdk_2006_11_1

#endif
