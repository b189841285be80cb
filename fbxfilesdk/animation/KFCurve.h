// The function curve: one float channel over time, given by a default value
// and keys in strictly increasing time order, with extrapolation before the
// first and after the last key. Keys live in fixed blocks of 25 records so that
// inserting moves records within blocks instead of reallocating the whole set.
//
// Every change is announced to the registered callbacks as a KFCurveEvent.
// Between KeyModifyBegin and KeyModifyEnd the changes accumulate and are
// delivered once, at the outermost end.
//
// Values are f32; time differences are taken in seconds as doubles; slopes are
// in value units per second. The left-side tangent data of key i is kept on
// key i - 1.
//
// A curve, its callbacks and its caches are used from one thread at a time;
// even the const evaluation functions move the curve's own key-find hint.
#ifndef FBXFILESDK_ANIMATION_KFCURVE_H
#define FBXFILESDK_ANIMATION_KFCURVE_H

#include <fbxfilesdk/animation/KFCurveEvent.h>
#include <fbxfilesdk/animation/KFCurveKey.h>
#include <fbxfilesdk/core/KBlockRecycler.h>
#include <fbxfilesdk/core/KRecycledAllocator.h>
#include <fbxfilesdk/core/KTime.h>

#include <cstdint>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFCurve;
class KFbx;

using KFCurveCallback = void (*)(KFCurve* curve, KFCurveEvent* event, void* userData);

// Only these four modes are valid; evaluation holds the end value for others.
enum KFCurveExtrapolationMode : int {
    KFCURVE_EXTRAPOLATION_CONSTANT = 1,
    KFCURVE_EXTRAPOLATION_REPETITION = 2,
    KFCURVE_EXTRAPOLATION_MIRROR_REPETITION = 3,
    KFCURVE_EXTRAPOLATION_KEEP_SLOPE = 4
};

// Made and freed with every channel of a take: its blocks are recycled.
class KFCurve : public KRecycledBlocks {
public:
    static constexpr int kKeysPerBlock = 25;

    // A new empty curve from the heap, or null.
    static KFCurve* Create();

    KFCurve();
    // Clears the keys (announcing it) and tells every callback of the
    // destruction (KFCURVEEVENT_DESTROY), whatever the bracket state.
    virtual ~KFCurve();
    KFCurve(const KFCurve&) = delete;
    KFCurve& operator=(const KFCurve&) = delete;

    // --- Curve members -----------------------------------------------------

    // The value of a curve without keys.
    float GetValue() const { return mValue; }
    void SetValue(float value);
    // Three floats, red, green, blue; null is ignored.
    void GetColor(float* rgb) const;
    void SetColor(const float* rgb);
    KFCurveExtrapolationMode GetPreExtrapolation() const { return mPreExtrapolation; }
    void SetPreExtrapolation(KFCurveExtrapolationMode mode);
    // Count of spans the extrapolation runs for; -1 is unlimited.
    int GetPreExtrapolationCount() const { return mPreExtrapolationCount; }
    void SetPreExtrapolationCount(int count);
    KFCurveExtrapolationMode GetPostExtrapolation() const { return mPostExtrapolation; }
    void SetPostExtrapolation(KFCurveExtrapolationMode mode);
    int GetPostExtrapolationCount() const { return mPostExtrapolationCount; }
    void SetPostExtrapolationCount(int count);
    float GetAuxValue() const { return mAuxValue; }
    void SetAuxValue(float value) { mAuxValue = value; }
    // Raised by every posted event and every fast append.
    int GetUpdateCounter() const { return mUpdateCounter; }

    // --- Key storage -------------------------------------------------------

    // Makes room for n keys (never shrinks) and empties the evaluation cache.
    // False when memory runs out; the keys are kept.
    bool KeyResize(int n);
    bool ResizeKeyBuffer(int n) { return KeyResize(n); }
    // Frees all key storage and announces the removal once.
    void KeyClear();
    int KeyGetCount() const { return mKeyCount; }

    // The key accessors do not check i: callers pass 0 <= i < KeyGetCount().
    // Writes through the pointer are not announced; a write made after
    // evaluating the curve again must be followed by ClearEvaluationCache().
    KFCurveKey* KeyGetPtr(int i) {
        mSegment.mLeft = -1;
        return mBlocks[i / kKeysPerBlock] + i % kKeysPerBlock;
    }
    const KFCurveKey* KeyGetPtr(int i) const { return mBlocks[i / kKeysPerBlock] + i % kKeysPerBlock; }
    KFCurveKey KeyGet(int i) const { return *KeyGetPtr(i); }
    unsigned int KeyGetInterpolation(int i) const { return KeyGetPtr(i)->GetInterpolation(); }
    unsigned int KeyGetConstantMode(int i) const { return KeyGetPtr(i)->GetConstantMode(); }
    unsigned int KeyGetTangentMode(int i, bool withOverrides = false) const {
        return KeyGetPtr(i)->GetTangentMode(withOverrides);
    }
    unsigned int KeyGetTangentWeightMode(int i) const { return KeyGetPtr(i)->GetTangentWeightMode(); }
    unsigned int KeyGetTangentVelocityMode(int i) const { return KeyGetPtr(i)->GetTangentVelocityMode(); }
    double KeyGetDataDouble(int i, int slot) const { return KeyGetPtr(i)->GetDataDouble(slot); }
    float KeyGetDataFloat(int i, int index) const { return KeyGetPtr(i)->GetDataFloat(index); }
    float KeyGetValue(int i) const { return KeyGetPtr(i)->GetValue(); }
    KTime KeyGetTime(int i) const { return KeyGetPtr(i)->GetTime(); }
    bool KeyGetMarked(int i) const { return KeyGetPtr(i)->GetSelected(); }

    // The fractional index of a time among the keys: a whole number on a key
    // time, a fraction between two keys, -0.5 before the first key, count - 0.5
    // after the last, -1 without keys. The search starts from *hint (or the
    // curve's own hint) and leaves the position found there.
    double KeyFind(KTime time, int* hint = nullptr) const;

    // --- Change notification -----------------------------------------------

    void KeyModifyBegin();
    void KeyModifyEnd();
    void CallbackRegister(KFCurveCallback callback, void* userData);
    // Whether any callback is registered.
    bool HasCallbacks() const { return !mCallbacks.empty(); }
    // Removes the last registered pair equal to both; safe from inside a callback.
    void CallbackUnregister(KFCurveCallback callback, void* userData);
    // Enabling delivers what accumulated meanwhile.
    void CallbackEnable(bool enable);
    void CallbackPostEvent(unsigned int bits, int index);
    void CallbackClearEvent() { mPendingEvent.Clear(); }

    // Also forgets what evaluation kept of the last segment it read.
    void ClearEvaluationCache() {
        mCacheTime = KTimeInfinite;
        mSegment.mLeft = -1;
    }
    void SetEvaluationCache(KTime time, float value) {
        mCacheTime = time;
        mCacheValue = value;
    }
    bool HasEvaluationCache() const { return mCacheTime != KTimeInfinite; }

    // --- Evaluation --------------------------------------------------------

    float Evaluate(KTime time, int* hint = nullptr) const;
    // Answers a repeated time from the cache; otherwise evaluates and caches.
    float EvaluateCached(KTime time, int* hint = nullptr);
    // The fractional index at which the curve is read, with repetition and
    // mirror repetition folded in; outside the keys with any other mode, the
    // index of the end key.
    double KeyFindWithExtrapolation(KTime time, int* hint = nullptr) const;
    // The value at a fractional key index (clamped to the keys).
    float EvaluateIndex(double index) const;
    // On a key time the key's left derivative; 0 outside the keys.
    float EvaluateDerivative(KTime time, int* hint = nullptr) const;
    // On a key time the key's right derivative.
    float EvaluateRightDerivative(KTime time, int* hint = nullptr) const;

    float KeyGetLeftDerivative(int i) const;
    float KeyGetRightDerivative(int i) const;
    float KeyGetLeftAuto(int i, bool applyClamp = false) const;
    float KeyGetRightAuto(int i, bool applyClamp = false) const;
    // Values of the inner Bezier control points around key i.
    float KeyGetLeftBezierTangent(int i) const;
    float KeyGetRightBezierTangent(int i) const;
    bool KeyIsLeftTangentWeighted(int i) const;
    bool KeyIsRightTangentWeighted(int i) const;
    float KeyGetLeftTangentWeight(int i) const;
    float KeyGetRightTangentWeight(int i) const;
    bool KeyIsLeftTangentVelocity(int i) const;
    bool KeyIsRightTangentVelocity(int i) const;
    float KeyGetLeftTangentVelocity(int i) const;
    float KeyGetRightTangentVelocity(int i) const;
    KFCurveTangentInfo KeyGetLeftTangentInfo(int i) const;
    KFCurveTangentInfo KeyGetRightTangentInfo(int i) const;
    bool KeyIsAutoFlat(int i) const;

    // --- Whole keys --------------------------------------------------------

    // Writes key i, 0 <= i <= count; i == count appends. Other indices and a
    // failed allocation change nothing. No order check.
    void KeySet(int i, KTime time, float value, unsigned int interpolation = KFCURVE_INTERPOLATION_CUBIC,
                unsigned int tangentMode = KFCURVE_TANGENT_AUTO, double data0 = 0.0, double data1 = 0.0,
                unsigned int weightMode = KFCURVE_WEIGHTED_NONE, double weight0 = KFCURVE_DEFAULT_WEIGHT,
                double weight1 = KFCURVE_DEFAULT_WEIGHT, double velocity0 = 0.0, double velocity1 = 0.0);
    void KeySetTCB(int i, KTime time, float value, float tension = 0.0f, float continuity = 0.0f,
                   float bias = 0.0f);
    // Copies a key into place i (as KeySet); false when its time would break
    // the order of the keys around i or i is outside 0..count.
    bool KeySetFromKey(int i, const KFCurveKey& key);
    bool KeySetFromCurve(int i, const KFCurve& source, int sourceIndex);
    // The same key on three curves; the values are narrowed to f32.
    static void SetThreeCurvesKeys(KFCurve* curves[3], int i, KTime time, const double values[3],
                                   const unsigned int interpolations[3], const unsigned int tangentModes[3]);
    // The interpolations and tangent modes of the keys at (or before) a time
    // of three curves; cubic auto where a curve has no keys.
    static void GetThreeCurvesKeyModes(KFCurve* curves[3], KTime time, unsigned int interpolations[3],
                                       unsigned int tangentModes[3]);

    // --- Single fields of key i (no range check) --------------------------

    void KeySetInterpolation(int i, unsigned int interpolation);
    void KeySetConstantMode(int i, unsigned int mode);
    void KeySetTangentMode(int i, unsigned int mode);
    void KeySetTangentWeightMode(int i, unsigned int mode, unsigned int mask = KFCURVE_WEIGHTED_ALL);
    void KeySetTangentVelocityMode(int i, unsigned int mode, unsigned int mask = KFCURVE_VELOCITY_ALL);
    void KeySetDataDouble(int i, int slot, double value);
    void KeySetDataFloat(int i, int index, float value);
    void KeySetValue(int i, float value);
    void KeyIncValue(int i, float value);
    void KeyMultValue(int i, float factor);
    void KeyMultDerivative(int i, float factor);
    void KeySetTime(int i, KTime time);
    void KeySetTangentBreak(int i, bool on);

    // --- Adding and removing -----------------------------------------------

    // Adds a copy of key at time (replacing the key already there); returns
    // its index, -1 when memory runs out.
    int KeyAdd(KTime time, const KFCurveKey& key, int* hint = nullptr);
    // Appends a cubic auto key without an event or order check.
    int KeyAppendFast(KTime time, float value);
    // Adds a cubic auto key holding the curve's value at time.
    int KeyAddAtTime(KTime time, int* hint = nullptr);
    // Adds a key holding the curve's value at time, keeping the shape of the
    // curve between unweighted user-tangent keys; returns the index of the key
    // at time (an existing one is left alone), -1 when memory runs out.
    int KeyInsert(KTime time, int* hint = nullptr);
    bool KeyRemove(int i);
    // Removes keys first..last inclusive; false for an empty curve or indices
    // outside the keys.
    bool KeyRemoveRange(int first, int last);
    // Removes the keys strictly between start and stop.
    bool KeyRemoveTimeRange(KTime start, KTime stop);
    bool KeyScaleValue(bool markedOnly, float factor);

    void CopyFrom(const KFCurve& source, bool withKeys = true);
    // A new curve: a full copy over the whole time line (KTimeMinusInfinite,
    // KTimeInfinite), otherwise the default and aux values only. Null when
    // memory runs out.
    KFCurve* Copy(KTime start = KTimeMinusInfinite, KTime stop = KTimeInfinite) const;

    // Puts the keys of [start, stop] of source (KTimeMinusInfinite and
    // KTimeInfinite standing for its first and last keys) into this curve,
    // shifted by timeOffset, in place of this curve's keys of that span.
    void ReplaceKeysInSpan(const KFCurve& source, KTime start, KTime stop, bool keepSpan, bool flattenEmpty,
                           KTime timeOffset);
    // The same; the added keys are raised by valueOffset and the keys after
    // them by afterOffset.
    void ReplaceKeysInSpanOffset(const KFCurve& source, KTime start, KTime stop, float valueOffset,
                                 float afterOffset, bool keepSpan, bool flattenEmpty, KTime timeOffset);
    // The same; the added keys are scaled from factorStart at the span's start
    // to factorStop at its stop.
    void ReplaceKeysInSpanScaled(const KFCurve& source, KTime start, KTime stop, float factorStart,
                                 float factorStop, bool keepSpan, bool flattenEmpty, KTime timeOffset);

    // --- Tangents of key i (its left data is kept on key i - 1) ------------

    void KeySetLeftDerivative(int i, float derivative);
    void KeySetRightDerivative(int i, float derivative);
    void KeySetLeftAuto(int i, float autoValue);
    void KeySetRightAuto(int i, float autoValue);
    void KeySetLeftTangentWeightedMode(int i, bool weighted);
    void KeySetRightTangentWeightedMode(int i, bool weighted);
    void KeySetLeftTangentWeight(int i, float weight);
    void KeySetRightTangentWeight(int i, float weight);
    void KeySetLeftTangentVelocityMode(int i, bool hasVelocity);
    void KeySetRightTangentVelocityMode(int i, bool hasVelocity);
    void KeySetLeftTangentVelocity(int i, float velocity);
    void KeySetRightTangentVelocity(int i, float velocity);
    // forceDerivative sets the derivative even on auto keys.
    void KeySetLeftTangentInfo(int i, const KFCurveTangentInfo& info, bool forceDerivative = false);
    void KeySetRightTangentInfo(int i, const KFCurveTangentInfo& info, bool forceDerivative = false);

    // --- Stored form in a field file (defined in the fbx library) ---------

    // Writes the curve's fields into the current block; converted writes auto
    // tangents as slopes. False only without a file.
    bool FbxStore(KFbx* file, bool onlyDefault = false, bool withColor = true, bool converted = false) const;
    // Reads the curve from the open "Default" field on, and closes that field.
    // Callbacks hear nothing of it and keep their enabled state.
    void FbxRetrieve(KFbx* file, bool onlyDefault = false, bool withColor = false);
    // Null, with nothing read, when the block has no further "Default";
    // otherwise the given curve (its keys replaced) or a new one.
    static KFCurve* FbxRetrieveIntoCurve(KFbx* file, KFCurve* curve, bool onlyDefault = false, bool withColor = false);
    static KFCurve* FbxRetrieveNew(KFbx* file, bool onlyDefault = false, bool withColor = false);

private:
    struct CallbackEntry {
        KFCurveCallback mCallback;
        void* mUserData;
    };
    // The segment that starts at key mLeft as evaluation reads it, kept from
    // one evaluation to the next: evaluation at increasing times reads the
    // same segment many times over. mLeft -1: nothing kept.
    struct SegmentShape {
        int mLeft = -1;
        unsigned int mInterpolation = 0;
        bool mConstantNext = false;
        bool mWeighted = false;
        // Cubic: the four Bezier control values; otherwise the two key values
        // in mP[0] and mP[3].
        float mP[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        float mRightWeight = 0.0f;
        float mLeftWeight = 0.0f;
        float mSeconds = 0.0f;
        std::int64_t mStart = 0;
        std::int64_t mStop = 0;
    };
    enum class SpanMode { kPlain, kOffset, kScaled };
    struct SpanValues {
        SpanMode mMode = SpanMode::kPlain;
        float mValueOffset = 0.0f;
        float mAfterOffset = 0.0f;
        float mFactorStart = 1.0f;
        float mFactorStop = 1.0f;
    };

    bool KeyIndexValid(int i) const { return i >= 0 && i < mKeyCount; }
    bool HasStorageFor(int n) const {
        if (n <= 0) return true;
        return mSmallBlockKeys > 0 ? n <= mSmallBlockKeys : (n - 1) / kKeysPerBlock <= mLastBlock;
    }
    // Room for n keys (n < kKeysPerBlock) in a lone first block sized to fit.
    bool ResizeSmallBlock(int n);
    // Makes a lone small first block a full one, so that blocks can be added.
    bool PromoteSmallBlock();
    void FreeStorage();
    // Moves n records from index src to index dst (ranges may overlap).
    void MoveKeys(int dst, int src, int n);
    // Removes keys first..last (valid, first < last) with no tangent repair.
    void DropKeys(int first, int last);
    // Empties the evaluation cache and posts the event.
    void Changed(unsigned int bits, int index);
    void Deliver();
    // Announces that key i was written (a new key when i is the count).
    void KeyWritten(int i);

    // The auto-tangent clamp test of key i: which sides are flattened.
    void ClampTest(int i, bool& flattenLeft, bool& flattenRight) const;
    float IncomingTCBDerivative(int i, float tension, float continuity, float bias) const;
    // The auto value of one side of key i (a valid index with that side).
    float SideAuto(int i, bool rightSide, bool applyClamp) const;
    // The kept shape of the segment that starts at key left, made when missing.
    const SegmentShape& Segment(int left) const;
    static float SegmentValue(const SegmentShape& shape, float u);
    float SegmentDerivative(int left, float u) const;
    float KeepSlopeValue(KTime time) const;

    // Adds or rewrites a key at the cached time and value, keeping the shape
    // of the neighbouring tangents; returns its index or -1.
    int KeyInsertKeepShape(int* hint, unsigned int interpolation, unsigned int tangentMode);
    void ReplaceKeysInSpanWith(const KFCurve& source, KTime start, KTime stop, bool keepSpan, bool flattenEmpty,
                               KTime timeOffset, const SpanValues& values);
    // For a source without keys: [start, stop] becomes flat at the source's
    // default value.
    void FlattenSpan(const KFCurve& source, KTime start, KTime stop);

    float mColor[3] = {1.0f, 1.0f, 1.0f};
    float mValue = 0.0f;
    int mUpdateCounter = 0;
    bool mCallbacksEnabled = true;
    int mModifyNesting = 0;
    // Most curves hold a few keys: until a curve needs more than one block,
    // mBlocks points at mFirstBlock and no block-pointer array is made, and
    // that lone block holds mSmallBlockKeys records (0: a full block).
    KFCurveKey** mBlocks = nullptr;
    KFCurveKey* mFirstBlock = nullptr;
    int mKeyCount = 0;
    int mKeyCapacity = 0;
    int mLastBlock = -1;
    int mSmallBlockKeys = 0;
    KFCurveExtrapolationMode mPreExtrapolation = KFCURVE_EXTRAPOLATION_CONSTANT;
    int mPreExtrapolationCount = 0;
    KFCurveExtrapolationMode mPostExtrapolation = KFCURVE_EXTRAPOLATION_CONSTANT;
    int mPostExtrapolationCount = 0;
    float mAuxValue = 0.0f;
    mutable int mKeyFindHint = 0;
    mutable SegmentShape mSegment;
    KTime mCacheTime = KTimeInfinite;
    float mCacheValue = 0.0f;
    KFCurveEvent mPendingEvent;
    std::vector<CallbackEntry, KRecycledAllocator<CallbackEntry>> mCallbacks;
    // Nesting of deliveries in progress; while above 0, unregistered entries
    // are only marked (null callback) so that the delivery loop stays valid.
    int mDeliveryDepth = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
