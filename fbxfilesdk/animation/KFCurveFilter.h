// The base of the curve filters: short-lived work objects that rewrite the
// keys of one curve, of an array of curves or of a curve-node tree inside a
// time span, and keep what went wrong in their own error holder.
//
// The array and node forms visit every element whatever the earlier answers
// were; a failure on one element leaves the others to be filtered. Their
// result tells whether any element was filtered (or, for NeedApply, needs
// it); the error holder keeps the last failure's code and text.
#ifndef FBXFILESDK_ANIMATION_KFCURVEFILTER_H
#define FBXFILESDK_ANIMATION_KFCURVEFILTER_H

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/KTime.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

class KFCurve;
class KFCurveNode;

class KFCurveFilter : public KObject {
public:
    // The name and the message table are static texts that the filter only
    // points at. The span starts as 0 to 0 until Reset.
    KFCurveFilter(const char* name, const char* const* messages, int messageCount);
    ~KFCurveFilter() override;

    const KPlugClassInfo* GetClassInfo() const override;
    // The filter's display name.
    const char* GetName() const override;

    // True at this level.
    virtual bool NeedApply(KFCurve& curve);
    virtual bool NeedApply(KFCurve** curves, int count);
    // When recursive, the children first (each through this node form), then
    // the node's own curve.
    virtual bool NeedApply(KFCurveNode& node, bool recursive = true);
    virtual bool Apply(KFCurve& curve) = 0;
    virtual bool Apply(KFCurve** curves, int count);
    virtual bool Apply(KFCurveNode& node, bool recursive = true);
    // The span becomes the whole time line (KTimeMinusInfinite, KTimeInfinite).
    virtual void Reset();
    // Told of each key range a filter has finished; nothing at this level.
    virtual void OnRangeDone(std::int64_t from, std::int64_t to);

    KTime& GetStartTime() { return mStart; }
    void SetStartTime(KTime start) { mStart = start; }
    KTime& GetStopTime() { return mStop; }
    void SetStopTime(KTime stop) { mStop = stop; }
    // The key at or before the span's start (at least 0); -1 without keys.
    int GetStartKeyIndex(const KFCurve& curve) const;
    // The key at or before the span's stop (at most the last); -1 without keys.
    int GetStopKeyIndex(const KFCurve& curve) const;

    ErrorHolder& GetError() { return mError; }
    int GetLastErrorID() const { return mError.GetLastErrorID(); }
    const char* GetLastErrorString() const { return mError.GetLastErrorString(); }

protected:
    // Hangs three curves (X, Y, Z) without ownership on a temporary Euler
    // rotation node "R" and applies this filter's node form to it.
    bool ApplyToRotationCurves(KFCurve** curves);
    // The index of the curve's key exactly at time; -1 when none.
    static int KeyIndexAt(const KFCurve& curve, KTime time);
    // The value of the curve's key at time, or the curve's value there.
    static double ValueAt(const KFCurve& curve, KTime time);

private:
    const char* mName;
    KTime mStart;
    KTime mStop;
    ErrorHolder mError;
};

}  // namespace fbxsdk_2006_11_1

#endif
