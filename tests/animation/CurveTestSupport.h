// Shared helpers of the function-curve tests.
#ifndef QALIMOR_TESTS_ANIMATION_CURVETESTSUPPORT_H
#define QALIMOR_TESTS_ANIMATION_CURVETESTSUPPORT_H

#include <fbxfilesdk/animation/KFCurve.h>

#include <vector>

namespace curvetest {

using fbxsdk_2006_11_1::KFCurve;
using fbxsdk_2006_11_1::KFCurveEvent;
using fbxsdk_2006_11_1::KTime;

// Exact for the quarter seconds the tests use.
inline KTime Sec(double seconds) { return KTime(static_cast<long long>(seconds * 46186158000.0)); }

// Records every delivery of a curve's callback.
struct EventLog {
    std::vector<KFCurveEvent> events;

    static void Callback(KFCurve*, KFCurveEvent* event, void* self) {
        static_cast<EventLog*>(self)->events.push_back(*event);
    }
    void Attach(KFCurve& curve) { curve.CallbackRegister(&Callback, this); }
    void Detach(KFCurve& curve) { curve.CallbackUnregister(&Callback, this); }
    unsigned int LastBits() const { return events.empty() ? 0u : events.back().mEventType; }
};

}  // namespace curvetest

#endif
