// Key editing: whole keys, single fields, adding, inserting and removing keys,
// copies, and the two tangents of a key.
#include <fbxfilesdk/animation/KFCurve.h>

#include <fbxfilesdk/animation/KFCurveUtilities.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr float kBrokenAutoValue = 100.0f;

bool IsCubic(const KFCurveKey* key) { return key->GetInterpolation() == KFCURVE_INTERPOLATION_CUBIC; }
bool IsAutoMode(unsigned int mode) { return mode == KFCURVE_TANGENT_AUTO || mode == KFCURVE_TANGENT_AUTO_BREAK; }
bool IsUserMode(unsigned int mode) { return mode == KFCURVE_TANGENT_USER || mode == KFCURVE_TANGENT_USER_BREAK; }
bool HasAutoBit(const KFCurveKey* key) { return (key->GetTangentMode() & KFCURVE_TANGENT_AUTO) != 0; }
bool HasTcbBit(const KFCurveKey* key) { return (key->GetTangentMode() & KFCURVE_TANGENT_TCB) != 0; }

KFCurveKey DefaultKey(KTime time, float value, unsigned int interpolation, unsigned int tangentMode) {
    KFCurveKey key;
    key.Set(time, value, interpolation, tangentMode, 0.0, 0.0, KFCURVE_WEIGHTED_NONE, KFCURVE_DEFAULT_WEIGHT,
            KFCURVE_DEFAULT_WEIGHT, 0.0, 0.0);
    return key;
}

}  // namespace

// --- Whole keys ---------------------------------------------------------------

void KFCurve::KeyWritten(int i) {
    ClearEvaluationCache();
    if (i < mKeyCount) {
        CallbackPostEvent(KFCURVEEVENT_POST_KEY_REWRITTEN, i);
        return;
    }
    const int oldCount = mKeyCount;
    mKeyCount = i + 1;
    CallbackPostEvent(KFCURVEEVENT_POST_KEY_ADDED, oldCount);
    CallbackPostEvent(KFCURVEEVENT_POST_KEY_ADDED, i);
}

void KFCurve::KeySet(int i, KTime time, float value, unsigned int interpolation, unsigned int tangentMode,
                     double data0, double data1, unsigned int weightMode, double weight0, double weight1,
                     double velocity0, double velocity1) {
    // Writing past the count would make keys of records never written.
    if (i < 0 || i > mKeyCount) return;
    if (!HasStorageFor(i + 1) && !KeyResize(i + 1)) return;
    KFCurveKey* key = KeyGetPtr(i);
    if (i == mKeyCount) *key = KFCurveKey();
    key->Set(time, value, interpolation, tangentMode, data0, data1, weightMode, weight0, weight1, velocity0, velocity1);
    KeyWritten(i);
}

void KFCurve::KeySetTCB(int i, KTime time, float value, float tension, float continuity, float bias) {
    if (i < 0 || i > mKeyCount) return;
    if (!HasStorageFor(i + 1) && !KeyResize(i + 1)) return;
    KFCurveKey* key = KeyGetPtr(i);
    if (i == mKeyCount) *key = KFCurveKey();
    key->SetTCB(time, value, tension, continuity, bias);
    KeyWritten(i);
}

bool KFCurve::KeySetFromKey(int i, const KFCurveKey& key) {
    ClearEvaluationCache();
    if (i < 0 || i > mKeyCount) return false;
    if (i > 0 && !(key.GetTime() > KeyGetTime(i - 1))) return false;
    if (i < mKeyCount - 1 && !(key.GetTime() < KeyGetTime(i + 1))) return false;
    const KFCurveKey copy = key;  // the key may be one of this curve's own
    if (!HasStorageFor(i + 1) && !KeyResize(i + 1)) return false;
    *KeyGetPtr(i) = copy;
    KeyWritten(i);
    return true;
}

bool KFCurve::KeySetFromCurve(int i, const KFCurve& source, int sourceIndex) {
    if (sourceIndex < 0 || sourceIndex >= source.KeyGetCount()) return false;
    return KeySetFromKey(i, source.KeyGet(sourceIndex));
}

void KFCurve::SetThreeCurvesKeys(KFCurve* curves[3], int i, KTime time, const double values[3],
                                 const unsigned int interpolations[3], const unsigned int tangentModes[3]) {
    for (int c = 0; c < 3; ++c) {
        if (!curves[c]) continue;
        curves[c]->KeySet(i, time, static_cast<float>(values[c]), interpolations[c], tangentModes[c], 0.0, 0.0,
                          KFCURVE_WEIGHTED_NONE, KFCURVE_DEFAULT_WEIGHT, KFCURVE_DEFAULT_WEIGHT, 0.0, 0.0);
    }
}

void KFCurve::GetThreeCurvesKeyModes(KFCurve* curves[3], KTime time, unsigned int interpolations[3],
                                     unsigned int tangentModes[3]) {
    for (int c = 0; c < 3; ++c) {
        interpolations[c] = KFCURVE_INTERPOLATION_CUBIC;
        tangentModes[c] = KFCURVE_TANGENT_AUTO;
        if (!curves[c]) continue;
        const int i = static_cast<int>(curves[c]->KeyFind(time));
        if (i < 0 || i >= curves[c]->KeyGetCount()) continue;
        interpolations[c] = curves[c]->KeyGetInterpolation(i);
        const unsigned int mode = curves[c]->KeyGetTangentMode(i);
        const bool known = IsAutoMode(mode) || IsUserMode(mode) || mode == KFCURVE_TANGENT_TCB;
        tangentModes[c] = known ? mode : static_cast<unsigned int>(KFCURVE_TANGENT_AUTO);
    }
}

// --- Single fields --------------------------------------------------------------

void KFCurve::KeySetInterpolation(int i, unsigned int interpolation) {
    KeyGetPtr(i)->SetInterpolation(interpolation);
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, i);
}

void KFCurve::KeySetConstantMode(int i, unsigned int mode) {
    KeyGetPtr(i)->SetConstantMode(mode);
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, i);
}

void KFCurve::KeySetTangentMode(int i, unsigned int mode) {
    KeyGetPtr(i)->SetTangentMode(mode);
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, i);
}

void KFCurve::KeySetTangentWeightMode(int i, unsigned int mode, unsigned int mask) {
    KeyGetPtr(i)->SetTangentWeightMode(mode, mask);
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, i);
}

void KFCurve::KeySetTangentVelocityMode(int i, unsigned int mode, unsigned int mask) {
    KeyGetPtr(i)->SetTangentVelocityMode(mode, mask);
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, i);
}

void KFCurve::KeySetDataDouble(int i, int slot, double value) {
    KeyGetPtr(i)->SetDataDouble(slot, value);
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, i);
}

void KFCurve::KeySetDataFloat(int i, int index, float value) {
    KeyGetPtr(i)->SetDataFloat(index, value);
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, i);
}

void KFCurve::KeySetValue(int i, float value) {
    KeyGetPtr(i)->SetValue(value);
    Changed(KFCURVEEVENT_POST_KEY_VALUE, i);
}

void KFCurve::KeyIncValue(int i, float value) {
    KeyGetPtr(i)->IncValue(value);
    Changed(KFCURVEEVENT_POST_KEY_VALUE, i);
}

void KFCurve::KeyMultValue(int i, float factor) {
    KeyGetPtr(i)->MultValue(factor);
    Changed(KFCURVEEVENT_POST_KEY_VALUE, i);
}

void KFCurve::KeyMultDerivative(int i, float factor) {
    KeyGetPtr(i)->MultDerivative(factor);
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, i);
}

void KFCurve::KeySetTime(int i, KTime time) {
    KeyGetPtr(i)->SetTime(time);
    Changed(KFCURVEEVENT_POST_KEY_TIME, i);
}

void KFCurve::KeySetTangentBreak(int i, bool on) {
    KeyGetPtr(i)->SetBreak(on);
    Changed(KFCURVEEVENT_POST_KEY_FLAGS, i);
}

// --- Adding and removing ----------------------------------------------------------

int KFCurve::KeyAdd(KTime time, const KFCurveKey& key, int* hint) {
    KFCurveKey record = key;  // the key may be one of this curve's own, about to move
    record.SetTime(time);
    int position = mKeyCount;
    // Keys read in time order land after the last one: nothing to search or
    // move, and storage grows only when its room is used up.
    if (mKeyCount == 0 || time > KeyGetTime(mKeyCount - 1)) {
        if (!HasStorageFor(mKeyCount + 1) && !KeyResize(mKeyCount + 1)) return -1;
        ClearEvaluationCache();
    } else {
        if (!KeyResize(mKeyCount + 1)) return -1;
        const double found = KeyFind(time, hint);
        position = static_cast<int>(std::ceil(found));
        if (found == position) return KeySetFromKey(position, record) ? position : -1;
        MoveKeys(position + 1, position, mKeyCount - position);
    }
    ++mKeyCount;
    *KeyGetPtr(position) = record;
    if (hint) *hint = position;
    CallbackPostEvent(KFCURVEEVENT_POST_KEY_ADDED, position);
    return position;
}

int KFCurve::KeyAppendFast(KTime time, float value) {
    if (!KeyResize(mKeyCount + 1)) return -1;
    *KeyGetPtr(mKeyCount) = DefaultKey(time, value, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO);
    ++mKeyCount;
    ClearEvaluationCache();
    mUpdateCounter = static_cast<int>(static_cast<unsigned int>(mUpdateCounter) + 1u);
    return mKeyCount - 1;
}

int KFCurve::KeyAddAtTime(KTime time, int* hint) {
    ClearEvaluationCache();
    const float value = Evaluate(time, hint);
    return KeyAdd(time, DefaultKey(time, value, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO), hint);
}

int KFCurve::KeyInsert(KTime time, int* hint) {
    if (mKeyCount == 0) return KeyAddAtTime(time, hint);
    const double found = KeyFind(time, hint);
    const int position = static_cast<int>(std::ceil(found));
    if (found == position) return position;
    // The new key takes the type of the key before it (after the last key,
    // the last key; before the first, the first).
    const int model = position > 0 ? position - 1 : 0;
    const unsigned int interpolation = KeyGetInterpolation(model);
    const unsigned int tangentMode = KeyGetTangentMode(model);
    EvaluateCached(time, hint);
    return KeyInsertKeepShape(hint, interpolation, tangentMode);
}

int KFCurve::KeyInsertKeepShape(int* hint, unsigned int interpolation, unsigned int tangentMode) {
    const KTime time = mCacheTime;
    const float value = mCacheValue;
    const bool tcb = interpolation == KFCURVE_INTERPOLATION_CUBIC &&
                     (tangentMode & KFCURVE_TANGENT_MASK) == KFCURVE_TANGENT_TCB;
    KFCurveKey key;
    if (tcb) {
        key.SetTCB(time, value, 0.0f, 0.0f, 0.0f);
    } else {
        key = DefaultKey(time, value, interpolation, tangentMode);
    }

    KeyModifyBegin();
    if (mKeyCount == 0) {
        const int index = KeyAdd(time, key, hint);
        KeyModifyEnd();
        return index;
    }
    const double found = KeyFind(time);
    const int previous = static_cast<int>(std::floor(found));
    const int next = static_cast<int>(std::ceil(found));

    if (previous == next) {
        // A key already at the time is rewritten, keeping both its sides.
        const KFCurveTangentInfo left = KeyGetLeftTangentInfo(previous);
        const KFCurveTangentInfo right = KeyGetRightTangentInfo(previous);
        if (tcb) {
            KeySetTCB(previous, time, value, 0.0f, 0.0f, 0.0f);
        } else {
            KeySet(previous, time, value, interpolation, tangentMode, 0.0, 0.0, KFCURVE_WEIGHTED_NONE,
                   KFCURVE_DEFAULT_WEIGHT, KFCURVE_DEFAULT_WEIGHT, 0.0, 0.0);
        }
        KeySetLeftTangentInfo(previous, left, false);
        KeySetRightTangentInfo(previous, right, false);
        KeyModifyEnd();
        return previous;
    }

    const bool hasPrevious = previous >= 0;
    const bool hasNext = next < mKeyCount;
    // The neighbours' sides, read before anything moves: the last key's left
    // side becomes its right side; the next key's left side (or, for a new
    // first key, its right side) moves to the new key.
    KFCurveTangentInfo previousSide;
    KFCurveTangentInfo nextSide;
    if (!hasNext) previousSide = KeyGetLeftTangentInfo(previous);
    if (hasNext) nextSide = hasPrevious ? KeyGetLeftTangentInfo(next) : KeyGetRightTangentInfo(next);
    KFCurveTangentInfo fresh;
    fresh.mDerivative = EvaluateDerivative(time);

    const int index = KeyAdd(time, key, hint);
    if (index < 0) {
        KeyModifyEnd();
        return -1;
    }
    KeySetLeftTangentInfo(index, fresh, false);
    KeySetRightTangentInfo(index, fresh, false);
    if (hasNext) KeySetLeftTangentInfo(index + 1, nextSide, false);

    if (!hasNext) {
        const int last = index - 1;
        const unsigned int mode = KeyGetTangentMode(last);
        const bool force = (mode & KFCURVE_TANGENT_USER) ||
                           ((mode & KFCURVE_TANGENT_AUTO) && KeyGetLeftAuto(last, false) != 0.0f);
        KeySetRightTangentInfo(last, previousSide, force);
        if ((mode & KFCURVE_TANGENT_AUTO) && (mode & KFCURVE_TANGENT_BREAK)) KeySetRightAuto(last, kBrokenAutoValue);
        if (force && !(mode & KFCURVE_TANGENT_BREAK)) KeySetLeftTangentInfo(last, previousSide, true);
    }
    if (!hasPrevious) {
        const int first = index + 1;
        const unsigned int mode = KeyGetTangentMode(first);
        const bool force = (mode & KFCURVE_TANGENT_USER) ||
                           ((mode & KFCURVE_TANGENT_AUTO) && KeyGetRightAuto(first, false) != 0.0f);
        KeySetLeftTangentInfo(first, nextSide, force);
        if ((mode & KFCURVE_TANGENT_AUTO) && (mode & KFCURVE_TANGENT_BREAK)) KeySetLeftAuto(first, kBrokenAutoValue);
        if (force && !(mode & KFCURVE_TANGENT_BREAK)) KeySetRightTangentInfo(first, nextSide, true);
    }
    KeyModifyEnd();
    return index;
}

bool KFCurve::KeyRemove(int i) {
    if (!KeyIndexValid(i)) return false;
    KeyModifyBegin();
    if (mKeyCount == 1) SetValue(KeyGetValue(0));
    if (i < mKeyCount - 1) {
        // The key after the gap keeps its incoming tangent.
        const KFCurveTangentInfo incoming = KeyGetLeftTangentInfo(i + 1);
        MoveKeys(i, i + 1, mKeyCount - i - 1);
        --mKeyCount;
        KeySetLeftTangentInfo(i, incoming, false);
    } else {
        --mKeyCount;
    }
    Changed(KFCURVEEVENT_POST_KEYS_REMOVED, i);
    KeyModifyEnd();
    return true;
}

bool KFCurve::KeyRemoveRange(int first, int last) {
    if (mKeyCount == 0) return false;
    if (first < 0 || last >= mKeyCount || first > last) return false;
    ClearEvaluationCache();
    const float firstValue = KeyGetValue(first);
    KeyModifyBegin();
    if (first == last) {
        KeyRemove(first);
    } else if (first == 0 && last == mKeyCount - 1) {
        KeyClear();
        SetValue(firstValue);
    } else {
        const bool hasAfter = last + 1 < mKeyCount;
        KFCurveTangentInfo incoming;
        if (hasAfter) incoming = KeyGetLeftTangentInfo(last + 1);
        DropKeys(first, last);
        if (hasAfter) KeySetLeftTangentInfo(first, incoming, false);
        Changed(KFCURVEEVENT_POST_KEYS_REMOVED, first);
        Changed(KFCURVEEVENT_POST_KEYS_REMOVED, last);
    }
    KeyModifyEnd();
    return true;
}

bool KFCurve::KeyRemoveTimeRange(KTime start, KTime stop) {
    if (mKeyCount == 0) return false;
    const double from = KeyFind(start);
    int first = static_cast<int>(std::ceil(from));
    if (from == first) ++first;
    int hint = mKeyCount - 1;
    const double to = KeyFind(stop, &hint);
    int last = static_cast<int>(std::floor(to));
    if (to == last) --last;
    // No key strictly inside the span: nothing to remove.
    if (first < 0) first = 0;
    if (last > mKeyCount - 1) last = mKeyCount - 1;
    if (first > last) return true;
    return KeyRemoveRange(first, last);
}

bool KFCurve::KeyScaleValue(bool markedOnly, float factor) {
    KeyModifyBegin();
    ClearEvaluationCache();
    if (!markedOnly) SetValue(mValue * factor);
    for (int i = 0; i < mKeyCount; ++i) {
        if (markedOnly && !KeyGetMarked(i)) continue;
        KeyMultValue(i, factor);
        KeyMultDerivative(i, factor);
    }
    KeyModifyEnd();
    return true;
}

void KFCurve::CopyFrom(const KFCurve& source, bool withKeys) {
    if (&source == this) return;
    const int sourceCount = source.mKeyCount;
    // Without room for the keys the curve stays as it was.
    if (withKeys && !KeyResize(sourceCount)) return;
    KeyModifyBegin();
    if (withKeys) {
        if (sourceCount > 0) {
            mValue = source.mValue;
        } else {
            SetValue(source.mValue);
        }
        const int oldCount = mKeyCount;
        CallbackPostEvent(KFCURVEEVENT_POST_KEYS_REMOVED, 0);
        CallbackPostEvent(KFCURVEEVENT_POST_KEYS_REMOVED, oldCount - 1);
        mKeyCount = sourceCount;
        if (sourceCount > 0) {
            for (int b = 0; b <= (sourceCount - 1) / kKeysPerBlock; ++b) {
                const int records = std::min(kKeysPerBlock, sourceCount - b * kKeysPerBlock);
                std::memcpy(mBlocks[b], source.mBlocks[b], sizeof(KFCurveKey) * static_cast<std::size_t>(records));
            }
        }
        mSegment.mLeft = -1;
        CallbackPostEvent(KFCURVEEVENT_POST_KEY_ADDED, 0);
        CallbackPostEvent(KFCURVEEVENT_POST_KEY_ADDED, sourceCount - 1);
    } else {
        KeyClear();
        SetValue(source.mValue);
    }
    std::memcpy(mColor, source.mColor, sizeof(mColor));
    mAuxValue = source.mAuxValue;
    // The source's cached value holds only for a curve with the same keys.
    if (withKeys) SetEvaluationCache(source.mCacheTime, source.mCacheValue);
    mPreExtrapolation = source.mPreExtrapolation;
    mPreExtrapolationCount = source.mPreExtrapolationCount;
    mPostExtrapolation = source.mPostExtrapolation;
    mPostExtrapolationCount = source.mPostExtrapolationCount;
    CallbackPostEvent(KFCURVEEVENT_POST_KEY_FLAGS, -1);
    KeyModifyEnd();
}

KFCurve* KFCurve::Copy(KTime start, KTime stop) const {
    KFCurve* curve = Create();
    if (!curve) return nullptr;
    if (start == KTimeMinusInfinite && stop == KTimeInfinite) {
        curve->CopyFrom(*this, true);
    } else {
        // No keys: this curve's cached value would not be the copy's.
        curve->mValue = mValue;
        curve->mAuxValue = mAuxValue;
        curve->mUpdateCounter = mUpdateCounter;
    }
    return curve;
}

// --- Tangents -------------------------------------------------------------------

void KFCurve::KeySetRightDerivative(int i, float derivative) {
    if (i < 0 || i >= mKeyCount - 1) return;
    const KFCurveKey* key = KeyGetPtr(i);
    if (!IsCubic(key)) return;
    ClearEvaluationCache();
    const unsigned int mode = key->GetTangentMode();
    if (IsAutoMode(mode)) {
        double autoValue;
        KFCurveKeyRightDerivativeToAuto(&autoValue, derivative, this, i);
        KeySetDataDouble(i, KFCurveKey::kSlotRightSlope, autoValue);
    } else if (IsUserMode(mode)) {
        KeySetDataDouble(i, KFCurveKey::kSlotRightSlope, derivative);
    }
}

void KFCurve::KeySetLeftDerivative(int i, float derivative) {
    if (i < 1 || i >= mKeyCount) return;
    ClearEvaluationCache();
    const KFCurveKey* previous = KeyGetPtr(i - 1);
    const KFCurveKey* key = KeyGetPtr(i);
    const bool keyCubic = IsCubic(key);
    const unsigned int keyMode = key->GetTangentMode();
    const unsigned int previousMode = previous->GetTangentMode();
    const bool previousCubic = IsCubic(previous);
    // The left slot is read as a slope or as an auto value by the same rules
    // as the left derivative: by key i's mode when both keys are cubic, by
    // the previous key's mode otherwise.
    const bool asSlope = !previousCubic || (keyCubic && (keyMode & KFCURVE_TANGENT_USER)) ||
                         (!keyCubic && IsUserMode(previousMode));
    const bool asAuto = !asSlope && previousCubic &&
                        (IsAutoMode(previousMode) || (keyCubic && IsAutoMode(keyMode) && previousMode != KFCURVE_TANGENT_TCB));
    if (asSlope) {
        KeySetDataDouble(i - 1, KFCurveKey::kSlotNextLeftSlope, derivative);
    } else if (asAuto) {
        double autoValue;
        KFCurveKeyLeftDerivativeToAuto(&autoValue, derivative, this, i);
        KeySetDataDouble(i - 1, KFCurveKey::kSlotNextLeftSlope, autoValue);
    }
    // A user key without break keeps one tangent on both sides.
    if (keyCubic && keyMode == KFCURVE_TANGENT_USER) KeySetDataDouble(i, KFCurveKey::kSlotRightSlope, derivative);
}

void KFCurve::KeySetRightAuto(int i, float autoValue) {
    if (i < 0 || i >= mKeyCount) return;
    KeyModifyBegin();
    ClearEvaluationCache();
    const KFCurveKey* key = KeyGetPtr(i);
    if (IsCubic(key)) {
        const unsigned int mode = key->GetTangentMode();
        if (IsAutoMode(mode)) {
            KeySetDataDouble(i, KFCurveKey::kSlotRightSlope, autoValue);
        } else if (IsUserMode(mode) && i < mKeyCount - 1) {
            double derivative;
            KFCurveKeyAutoToRightDerivative(&derivative, autoValue, this, i);
            KeySetDataDouble(i, KFCurveKey::kSlotRightSlope, derivative);
        }
    }
    KeyModifyEnd();
}

void KFCurve::KeySetLeftAuto(int i, float autoValue) {
    if (i < 1 || i >= mKeyCount) return;
    KeyModifyBegin();
    ClearEvaluationCache();
    const KFCurveKey* previous = KeyGetPtr(i - 1);
    const KFCurveKey* key = KeyGetPtr(i);
    // The side is decided by key i when it is cubic, by the previous key otherwise.
    const unsigned int mode = IsCubic(key) ? key->GetTangentMode() : previous->GetTangentMode();
    const bool decides = IsCubic(key) || IsCubic(previous);
    if (decides && IsAutoMode(mode)) {
        KeySetDataDouble(i - 1, KFCurveKey::kSlotNextLeftSlope, autoValue);
    } else if (decides && IsUserMode(mode)) {
        double derivative;
        KFCurveKeyAutoToLeftDerivative(&derivative, autoValue, this, i);
        KeySetDataDouble(i - 1, KFCurveKey::kSlotNextLeftSlope, derivative);
    }
    KeyModifyEnd();
}

void KFCurve::KeySetRightTangentWeightedMode(int i, bool weighted) {
    if (i < 0 || i >= mKeyCount - 1 || !IsCubic(KeyGetPtr(i))) return;
    KeySetTangentWeightMode(i, weighted ? KFCURVE_WEIGHTED_RIGHT : KFCURVE_WEIGHTED_NONE, KFCURVE_WEIGHTED_RIGHT);
}

void KFCurve::KeySetLeftTangentWeightedMode(int i, bool weighted) {
    if (i < 1 || i >= mKeyCount || !IsCubic(KeyGetPtr(i - 1))) return;
    KeySetTangentWeightMode(i - 1, weighted ? KFCURVE_WEIGHTED_NEXT_LEFT : KFCURVE_WEIGHTED_NONE,
                            KFCURVE_WEIGHTED_NEXT_LEFT);
}

void KFCurve::KeySetRightTangentVelocityMode(int i, bool hasVelocity) {
    if (i < 0 || i >= mKeyCount - 1 || !IsCubic(KeyGetPtr(i))) return;
    KeySetTangentVelocityMode(i, hasVelocity ? KFCURVE_VELOCITY_RIGHT : KFCURVE_VELOCITY_NONE, KFCURVE_VELOCITY_RIGHT);
}

void KFCurve::KeySetLeftTangentVelocityMode(int i, bool hasVelocity) {
    if (i < 1 || i >= mKeyCount || !IsCubic(KeyGetPtr(i - 1))) return;
    KeySetTangentVelocityMode(i - 1, hasVelocity ? KFCURVE_VELOCITY_NEXT_LEFT : KFCURVE_VELOCITY_NONE,
                              KFCURVE_VELOCITY_NEXT_LEFT);
}

void KFCurve::KeySetRightTangentWeight(int i, float weight) {
    if (i < 0 || i >= mKeyCount - 1 || !IsCubic(KeyGetPtr(i))) return;
    KeyModifyBegin();
    KeySetTangentWeightMode(i, KFCURVE_WEIGHTED_RIGHT, KFCURVE_WEIGHTED_RIGHT);
    KeySetDataDouble(i, KFCurveKey::kSlotRightWeight, weight);
    KeyModifyEnd();
}

void KFCurve::KeySetLeftTangentWeight(int i, float weight) {
    if (i < 1 || i >= mKeyCount) return;
    const KFCurveKey* previous = KeyGetPtr(i - 1);
    if (!IsCubic(previous) || previous->GetTangentMode() == KFCURVE_TANGENT_TCB) return;
    KeyModifyBegin();
    KeySetTangentWeightMode(i - 1, KFCURVE_WEIGHTED_NEXT_LEFT, KFCURVE_WEIGHTED_NEXT_LEFT);
    KeySetDataDouble(i - 1, KFCurveKey::kSlotNextLeftWeight, weight);
    KeyModifyEnd();
}

void KFCurve::KeySetRightTangentVelocity(int i, float velocity) {
    if (i < 0 || i >= mKeyCount - 1 || !IsCubic(KeyGetPtr(i))) return;
    KeyModifyBegin();
    KeySetTangentVelocityMode(i, KFCURVE_VELOCITY_RIGHT, KFCURVE_VELOCITY_RIGHT);
    KeySetDataDouble(i, KFCurveKey::kSlotRightVelocity, velocity);
    KeyModifyEnd();
}

void KFCurve::KeySetLeftTangentVelocity(int i, float velocity) {
    if (i < 1 || i >= mKeyCount) return;
    const KFCurveKey* previous = KeyGetPtr(i - 1);
    if (!IsCubic(previous) || previous->GetTangentMode() == KFCURVE_TANGENT_TCB) return;
    KeyModifyBegin();
    KeySetTangentVelocityMode(i - 1, KFCURVE_VELOCITY_NEXT_LEFT, KFCURVE_VELOCITY_NEXT_LEFT);
    KeySetDataDouble(i - 1, KFCurveKey::kSlotNextLeftVelocity, velocity);
    KeyModifyEnd();
}

void KFCurve::KeySetRightTangentInfo(int i, const KFCurveTangentInfo& info, bool forceDerivative) {
    if (!KeyIndexValid(i) || HasTcbBit(KeyGetPtr(i))) return;
    KeyModifyBegin();
    ClearEvaluationCache();
    const KFCurveKey* key = KeyGetPtr(i);
    const bool cubicAuto = IsCubic(key) && HasAutoBit(key);
    if (i < mKeyCount - 1) {
        KeySetRightTangentWeight(i, info.mWeight);
        KeySetRightTangentWeightedMode(i, info.mWeighted);
        KeySetRightTangentVelocity(i, info.mVelocity);
        KeySetRightTangentVelocityMode(i, info.mHasVelocity);
        if (!forceDerivative && cubicAuto) {
            KeySetRightAuto(i, info.mAuto);
        } else {
            KeySetRightDerivative(i, info.mDerivative);
        }
    } else if (cubicAuto) {
        KeySetDataDouble(i, KFCurveKey::kSlotRightSlope, info.mAuto);
    }
    KeyModifyEnd();
}

void KFCurve::KeySetLeftTangentInfo(int i, const KFCurveTangentInfo& info, bool forceDerivative) {
    if (i < 1 || i >= mKeyCount || HasTcbBit(KeyGetPtr(i))) return;
    KeyModifyBegin();
    ClearEvaluationCache();
    KeySetLeftTangentWeight(i, info.mWeight);
    KeySetLeftTangentWeightedMode(i, info.mWeighted);
    KeySetLeftTangentVelocity(i, info.mVelocity);
    KeySetLeftTangentVelocityMode(i, info.mHasVelocity);
    const KFCurveKey* previous = KeyGetPtr(i - 1);
    const KFCurveKey* key = KeyGetPtr(i);
    const bool autoSide = IsCubic(key) ? HasAutoBit(key) : (IsCubic(previous) && HasAutoBit(previous));
    if (!forceDerivative && autoSide) {
        KeySetLeftAuto(i, info.mAuto);
    } else {
        KeySetLeftDerivative(i, info.mDerivative);
    }
    KeyModifyEnd();
}

}  // namespace fbxsdk_2006_11_1
