// The stored form of a function curve: "Default", "KeyVer", "KeyCount", one
// "Key" field holding every key, the extrapolation blocks and "Color".
// Writing always uses key version 4005; reading accepts every older version,
// including the legacy cubic letters and the repair of files below 4000.
#include <fbxfilesdk/animation/KFCurve.h>

#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/fbx/KFbx.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kWrittenKeyVersion = 4005;
// The smallest number of values a key record takes: time, value, letter.
constexpr int kMinValuesPerKey = 3;
constexpr double kOneThird = 1.0 / 3.0;
constexpr double kWeightNudge = 1e-6;

bool IsCubic(const KFCurveKey* key) { return key->GetInterpolation() == KFCURVE_INTERPOLATION_CUBIC; }

bool HasTangentMode(const KFCurveKey* key, unsigned int mode) {
    return IsCubic(key) && key->GetTangentMode() == mode;
}

bool IsUserOrBreak(const KFCurveKey* key) {
    return HasTangentMode(key, KFCURVE_TANGENT_USER) || HasTangentMode(key, KFCURVE_TANGENT_USER_BREAK);
}

char ExtrapolationLetter(int mode) {
    switch (mode) {
        case KFCURVE_EXTRAPOLATION_CONSTANT: return 'C';
        case KFCURVE_EXTRAPOLATION_REPETITION: return 'R';
        case KFCURVE_EXTRAPOLATION_MIRROR_REPETITION: return 'M';
        case KFCURVE_EXTRAPOLATION_KEEP_SLOPE: return 'K';
        default: return '0';
    }
}

// An unknown letter would leave the curve with a mode evaluation does not
// know; it reads as constant instead.
KFCurveExtrapolationMode ExtrapolationFromLetter(char letter) {
    switch (letter) {
        case 'R': return KFCURVE_EXTRAPOLATION_REPETITION;
        case 'M': return KFCURVE_EXTRAPOLATION_MIRROR_REPETITION;
        case 'K': return KFCURVE_EXTRAPOLATION_KEEP_SLOPE;
        default: return KFCURVE_EXTRAPOLATION_CONSTANT;
    }
}

void WriteExtrapolation(KFbx& file, const char* name, int mode, int count) {
    if (mode == 0 || (mode == KFCURVE_EXTRAPOLATION_CONSTANT && count == 0)) return;
    file.FieldWriteBegin(name);
    file.FieldWriteBlockBegin();
    file.FieldWriteBegin("Type");
    file.FieldWriteC(ExtrapolationLetter(mode));
    file.FieldWriteEnd();
    file.FieldWriteBegin("Repetition");
    file.FieldWriteI(count);
    file.FieldWriteEnd();
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
}

bool ReadExtrapolation(KFbx& file, const char* name, KFCurveExtrapolationMode& mode, int& count) {
    if (!file.FieldReadBegin(name)) return false;
    mode = KFCURVE_EXTRAPOLATION_CONSTANT;
    count = 0;
    if (file.FieldReadBlockBegin()) {
        mode = ExtrapolationFromLetter(file.FieldReadCDefault("Type", '0'));
        count = file.FieldReadIDefault("Repetition", 0);
        file.FieldReadBlockEnd();
    }
    file.FieldReadEnd();
    return true;
}

void WriteWeights(KFbx& file, const KFCurveKey& key) {
    const unsigned int weights = key.GetTangentWeightMode();
    const char letter = weights == KFCURVE_WEIGHTED_ALL         ? 'a'
                        : weights == KFCURVE_WEIGHTED_RIGHT     ? 'r'
                        : weights == KFCURVE_WEIGHTED_NEXT_LEFT ? 'l'
                                                                : 'n';
    file.FieldWriteC(letter);
    if (weights & KFCURVE_WEIGHTED_RIGHT) file.FieldWriteD(key.GetDataDouble(KFCurveKey::kSlotRightWeight));
    if (weights & KFCURVE_WEIGHTED_NEXT_LEFT) file.FieldWriteD(key.GetDataDouble(KFCurveKey::kSlotNextLeftWeight));
}

void WriteClamp(KFbx& file, const KFCurveKey& key) {
    file.FieldWriteC((key.GetTangentMode(true) & KFCURVE_TANGENT_CLAMP) ? 'c' : 'n');
}

void WriteAutoKey(KFbx& file, const KFCurve& curve, int i, bool converted) {
    const KFCurveKey& key = *curve.KeyGetPtr(i);
    const double right = key.GetDataDouble(KFCurveKey::kSlotRightSlope);
    const double nextLeft = key.GetDataDouble(KFCurveKey::kSlotNextLeftSlope);
    const bool isBreak = key.GetTangentMode() == KFCURVE_TANGENT_AUTO_BREAK;
    if (!converted) {
        if (right == 0.0 && nextLeft == 0.0) {
            file.FieldWriteC('a');
        } else {
            file.FieldWriteC(isBreak ? 'q' : 'p');
            file.FieldWriteD(right);
            file.FieldWriteD(nextLeft);
            WriteWeights(file, key);
        }
        WriteClamp(file, key);
        return;
    }
    const int count = curve.KeyGetCount();
    const bool hasNext = i + 1 < count;
    // The slopes stand for both sides the record holds: this key's right side
    // and the next key's left side, besides this key's left side (the previous
    // record's); a next-left side left out would read back as 0.
    if (right != 0.0 || nextLeft != 0.0 ||
        (i > 0 && curve.KeyGetPtr(i - 1)->GetDataDouble(KFCurveKey::kSlotNextLeftSlope) != 0.0)) {
        file.FieldWriteC(isBreak ? 'b' : 's');
        file.FieldWriteD(curve.KeyGetRightDerivative(i));
        file.FieldWriteD(hasNext ? curve.KeyGetLeftDerivative(i + 1) : 0.0);
        WriteWeights(file, key);
        return;
    }
    const KFCurveKey* next = hasNext ? curve.KeyGetPtr(i + 1) : nullptr;
    if (next != nullptr && IsCubic(next) && (next->GetTangentMode() & KFCURVE_TANGENT_USER)) {
        file.FieldWriteC('d');
        file.FieldWriteD(curve.KeyGetLeftDerivative(i + 1));
        WriteWeights(file, key);
    } else {
        file.FieldWriteC('a');
    }
    WriteClamp(file, key);
}

void WriteKey(KFbx& file, const KFCurve& curve, int i, bool converted) {
    const KFCurveKey& key = *curve.KeyGetPtr(i);
    file.FieldWriteT(key.GetTime());
    file.FieldWriteD(key.GetValue());
    const unsigned int interpolation = key.GetInterpolation();
    if (interpolation == KFCURVE_INTERPOLATION_LINEAR) {
        file.FieldWriteC('L');
        return;
    }
    if (interpolation != KFCURVE_INTERPOLATION_CUBIC) {
        file.FieldWriteC('C');
        file.FieldWriteC(key.GetConstantMode() == KFCURVE_CONSTANT_NEXT ? 'n' : 's');
        return;
    }
    file.FieldWriteC('U');
    switch (key.GetTangentMode()) {
        case KFCURVE_TANGENT_USER:
        case KFCURVE_TANGENT_USER_BREAK:
            file.FieldWriteC(key.GetTangentMode() == KFCURVE_TANGENT_USER_BREAK ? 'b' : 's');
            file.FieldWriteD(key.GetDataDouble(KFCurveKey::kSlotRightSlope));
            file.FieldWriteD(key.GetDataDouble(KFCurveKey::kSlotNextLeftSlope));
            WriteWeights(file, key);
            break;
        case KFCURVE_TANGENT_TCB:
            file.FieldWriteC('t');
            file.FieldWriteD(key.GetDataFloat(KFCurveKey::kTension));
            file.FieldWriteD(key.GetDataFloat(KFCurveKey::kContinuity));
            file.FieldWriteD(key.GetDataFloat(KFCurveKey::kBias));
            break;
        case KFCURVE_TANGENT_AUTO:
        case KFCURVE_TANGENT_AUTO_BREAK:
            WriteAutoKey(file, curve, i, converted);
            break;
        default: {
            // A tangent mode that is none of the four: a bare "U" would be no
            // key to any reader. The curve evaluates the key with the slopes
            // it reports, so it is written as a user key of those slopes and
            // reads back with the curve's shape.
            file.FieldWriteC('s');
            file.FieldWriteD(curve.KeyGetRightDerivative(i));
            file.FieldWriteD(i + 1 < curve.KeyGetCount() ? curve.KeyGetLeftDerivative(i + 1) : 0.0);
            WriteWeights(file, key);
            break;
        }
    }
}

// Reads the key records of one "Key" field into a curve that already holds
// the keys before the one being read.
class KeyRecordReader {
public:
    enum class Result { kValid, kInvalid, kEnd };

    KeyRecordReader(KFbx& file, KFCurve& curve, int version)
        : mFile(file), mCurve(curve), mVersion(version), mBinary(file.IsBinary()),
          mTimeType(file.FieldGetValueType()) {}

    // Reads key i (the last of the curve); kEnd when the values ran out or a
    // letter made no sense, after which nothing more can be trusted.
    Result Read(int i);

private:
    bool HasValue() const { return mFile.FieldGetRemainingValueCount() > 0; }
    bool ReadDouble(double& out) {
        if (!HasValue()) return false;
        out = mFile.FieldReadD();
        return true;
    }
    bool ReadFloatInto(KFCurveKey* key, int slot) {
        double value = 0.0;
        if (!ReadDouble(value)) return false;
        key->SetDataDouble(slot, value);
        return true;
    }
    // A letter, or 0 when none is left (or, in a binary file, the next value
    // is no letter and nothing is read).
    char ReadLetter() {
        if (!HasValue() || (mBinary && mFile.FieldGetValueType() != 'C')) return 0;
        return mFile.FieldReadC();
    }
    bool ReadWeight(KFCurveKey* key, int slot);
    bool ReadWeights(KFCurveKey* key);
    bool ReadClamp(KFCurveKey* key);
    Result ReadTangent(int i, KFCurveKey* key, bool& clampDue);
    Result ReadLegacyCubic(int i, KFCurveKey* key, char letter);
    // The previous key's next-left side is an auto key's left side: never weighted.
    void ResetPreviousLeftWeight(int i);

    KFbx& mFile;
    KFCurve& mCurve;
    int mVersion;
    bool mBinary;
    char mTimeType;
    char mPreviousLetter = 0;
};

// Weights are kept in steps of 1/9999, truncated; a weight written from a
// step reads back a hair below it, so reading nudges it up by far less than a
// step to land on the step it came from instead of the one below.
bool KeyRecordReader::ReadWeight(KFCurveKey* key, int slot) {
    double weight = 0.0;
    if (!ReadDouble(weight)) return false;
    key->SetDataDouble(slot, weight + kWeightNudge);
    return true;
}

bool KeyRecordReader::ReadWeights(KFCurveKey* key) {
    const char letter = ReadLetter();
    if (letter == 0) return false;
    const unsigned int weights = letter == 'a'   ? KFCURVE_WEIGHTED_ALL
                                 : letter == 'l' ? KFCURVE_WEIGHTED_NEXT_LEFT
                                 : letter == 'r' ? KFCURVE_WEIGHTED_RIGHT
                                                 : KFCURVE_WEIGHTED_NONE;
    key->SetTangentWeightMode(weights);
    if ((weights & KFCURVE_WEIGHTED_RIGHT) && !ReadWeight(key, KFCurveKey::kSlotRightWeight)) return false;
    if ((weights & KFCURVE_WEIGHTED_NEXT_LEFT) && !ReadWeight(key, KFCurveKey::kSlotNextLeftWeight)) return false;
    return true;
}

bool KeyRecordReader::ReadClamp(KFCurveKey* key) {
    const char letter = ReadLetter();
    if (letter == 0) return false;
    if (letter == 'c') key->SetTangentMode(key->GetTangentMode() | KFCURVE_TANGENT_CLAMP);
    return true;
}

void KeyRecordReader::ResetPreviousLeftWeight(int i) {
    if (mVersion < 4002 || i < 1) return;
    KFCurveKey* previous = mCurve.KeyGetPtr(i - 1);
    previous->SetTangentWeightMode(KFCURVE_WEIGHTED_NONE, KFCURVE_WEIGHTED_NEXT_LEFT);
    // A TCB key keeps its bias in the word of the weights.
    if (!HasTangentMode(previous, KFCURVE_TANGENT_TCB)) {
        previous->SetDataDouble(KFCurveKey::kSlotNextLeftWeight, kOneThird);
    }
}

KeyRecordReader::Result KeyRecordReader::ReadTangent(int i, KFCurveKey* key, bool& clampDue) {
    KFCurveKey* previous = i > 0 ? mCurve.KeyGetPtr(i - 1) : nullptr;
    char letter = 'a';
    if (!HasValue()) return Result::kEnd;
    if (!mBinary || mFile.FieldGetValueType() == 'C') letter = mFile.FieldReadC();
    bool weightsDue = false;
    switch (letter) {
        case 'a':
        case 'A':
            key->SetTangentMode(KFCURVE_TANGENT_AUTO);
            ResetPreviousLeftWeight(i);
            key->SetDataDouble(KFCurveKey::kSlotNextLeftSlope, 0.0);
            key->SetDataDouble(KFCurveKey::kSlotRightSlope,
                               mVersion < 4004 && previous != nullptr &&
                                       previous->GetInterpolation() == KFCURVE_INTERPOLATION_LINEAR
                                   ? -100.0
                                   : 0.0);
            if (mVersion < 4004 && previous != nullptr && IsCubic(previous) &&
                (previous->GetTangentMode() & KFCURVE_TANGENT_USER)) {
                previous->SetDataDouble(KFCurveKey::kSlotNextLeftSlope, 0.0);
            }
            if (mVersion == 4000 && !ReadFloatInto(key, KFCurveKey::kSlotNextLeftSlope)) return Result::kEnd;
            clampDue = mVersion >= 4005;
            break;
        case 's':
        case 'S':
        case 'b':
        case 'B':
            key->SetTangentMode(letter == 'b' || letter == 'B' ? KFCURVE_TANGENT_USER_BREAK : KFCURVE_TANGENT_USER);
            if (!ReadFloatInto(key, KFCurveKey::kSlotRightSlope) || !ReadFloatInto(key, KFCurveKey::kSlotNextLeftSlope)) {
                return Result::kEnd;
            }
            if (mVersion < 4000 && previous != nullptr && HasTangentMode(previous, KFCURVE_TANGENT_AUTO)) {
                previous->SetDataDouble(KFCurveKey::kSlotNextLeftSlope,
                                        key->GetDataDouble(KFCurveKey::kSlotRightSlope));
            }
            weightsDue = mVersion >= 4002;
            break;
        case 'd':
        case 'D':
            key->SetTangentMode(KFCURVE_TANGENT_AUTO);
            if (!ReadFloatInto(key, KFCurveKey::kSlotNextLeftSlope)) return Result::kEnd;
            key->SetDataDouble(KFCurveKey::kSlotRightSlope, 0.0);
            ResetPreviousLeftWeight(i);
            weightsDue = mVersion >= 4002;
            clampDue = mVersion >= 4005;
            break;
        case 'p':
        case 'P':
        case 'q':
        case 'Q': {
            const bool isBreak = letter == 'q' || letter == 'Q';
            key->SetTangentMode(isBreak ? KFCURVE_TANGENT_AUTO_BREAK : KFCURVE_TANGENT_AUTO);
            if (!ReadFloatInto(key, KFCurveKey::kSlotRightSlope) || !ReadFloatInto(key, KFCurveKey::kSlotNextLeftSlope)) {
                return Result::kEnd;
            }
            if (!isBreak && previous != nullptr &&
                std::fabs(mCurve.KeyGetLeftAuto(i) + mCurve.KeyGetRightAuto(i)) > 0.001f) {
                key->SetTangentMode(KFCURVE_TANGENT_AUTO_BREAK);
            }
            weightsDue = true;
            clampDue = mVersion >= 4005;
            break;
        }
        case 't':
        case 'T': {
            key->SetTangentMode(KFCURVE_TANGENT_TCB);
            double tcb[3] = {0.0, 0.0, 0.0};
            if (!ReadDouble(tcb[0]) || !ReadDouble(tcb[1]) || !ReadDouble(tcb[2])) return Result::kEnd;
            for (int k = 0; k < 3; ++k) key->SetDataFloat(k, static_cast<float>(tcb[k]));
            break;
        }
        default:
            return Result::kEnd;
    }
    if (weightsDue && !ReadWeights(key)) return Result::kEnd;
    return Result::kValid;
}

KeyRecordReader::Result KeyRecordReader::ReadLegacyCubic(int i, KFCurveKey* key, char letter) {
    KFCurveKey* previous = i > 0 ? mCurve.KeyGetPtr(i - 1) : nullptr;
    const bool previousTakesSlope = previous != nullptr && !HasTangentMode(previous, KFCURVE_TANGENT_TCB);
    key->SetInterpolation(KFCURVE_INTERPOLATION_CUBIC);
    if (letter == 'T') {
        key->SetTangentMode(KFCURVE_TANGENT_TCB);
        double tcb[3] = {0.0, 0.0, 0.0};
        if (!ReadDouble(tcb[0]) || !ReadDouble(tcb[1]) || !ReadDouble(tcb[2])) return Result::kEnd;
        for (int k = 0; k < 3; ++k) key->SetDataFloat(k, static_cast<float>(tcb[k]));
    } else {
        if (!HasValue()) return Result::kEnd;
        const char second = mFile.FieldReadC();
        if (second == 'A' || second == 'a') {
            key->SetTangentMode(KFCURVE_TANGENT_AUTO);
        } else if (second == 'B' || second == 'b') {
            key->SetTangentMode(KFCURVE_TANGENT_USER_BREAK);
            double left = 0.0;
            if (!ReadDouble(left) || !ReadFloatInto(key, KFCurveKey::kSlotRightSlope)) return Result::kEnd;
            if (previousTakesSlope) previous->SetDataDouble(KFCurveKey::kSlotNextLeftSlope, left);
        } else {
            key->SetTangentMode(KFCURVE_TANGENT_USER);
            double slope = 0.0;
            if (!ReadDouble(slope)) return Result::kEnd;
            if (previousTakesSlope) previous->SetDataDouble(KFCurveKey::kSlotNextLeftSlope, slope);
            key->SetDataDouble(KFCurveKey::kSlotRightSlope, slope);
        }
    }
    // A previous "B" key held Bezier control values; they become slopes now
    // that the end of its segment is known.
    if (mPreviousLetter == 'B' && previous != nullptr) {
        const double seconds = (key->GetTime() - previous->GetTime()).GetSecondDouble();
        if (seconds > 0.0) {
            const double right = previous->GetDataDouble(KFCurveKey::kSlotRightSlope);
            const double left = previous->GetDataDouble(KFCurveKey::kSlotNextLeftSlope);
            previous->SetDataDouble(KFCurveKey::kSlotRightSlope, (right - previous->GetValue()) * 3.0 / seconds);
            previous->SetDataDouble(KFCurveKey::kSlotNextLeftSlope,
                                    letter == 'B' ? (left - key->GetValue()) * -3.0 / seconds : 0.0);
        }
    }
    return Result::kValid;
}

KeyRecordReader::Result KeyRecordReader::Read(int i) {
    KFCurveKey* key = mCurve.KeyGetPtr(i);
    *key = KFCurveKey();
    bool valid = true;

    // Time. A binary file may hold values of other types before it.
    if (mBinary) {
        while (HasValue() && mFile.FieldGetValueType() != mTimeType) mFile.FieldSkipValue();
    }
    if (!HasValue()) return Result::kEnd;
    const KTime time = mFile.FieldReadT();
    key->SetTime(time);
    if (time.Get() == std::numeric_limits<std::int64_t>::min()) valid = false;

    key->SetDataDouble(KFCurveKey::kSlotRightWeight, kOneThird);
    key->SetDataDouble(KFCurveKey::kSlotNextLeftWeight, kOneThird);
    key->SetDataDouble(KFCurveKey::kSlotRightVelocity, 0.0);
    key->SetDataDouble(KFCurveKey::kSlotNextLeftVelocity, 0.0);

    if (!HasValue()) return Result::kEnd;
    const char valueType = mFile.FieldGetValueType();
    if (mBinary && valueType != 'D' && valueType != 'F') {
        // Nothing more of this key can be trusted; the next time value
        // resynchronises.
        mPreviousLetter = 0;
        return Result::kInvalid;
    }
    key->SetValue(static_cast<float>(mFile.FieldReadD()));

    if (!HasValue()) return Result::kEnd;
    if (mBinary && mFile.FieldGetValueType() != 'C') {
        mPreviousLetter = 0;
        return Result::kInvalid;
    }
    const char letter = mFile.FieldReadC();
    KFCurveKey* previous = i > 0 ? mCurve.KeyGetPtr(i - 1) : nullptr;
    bool clampDue = false;
    switch (letter) {
        case 'C':
        case 'A':
        case 'Z':
        case 'L':
            key->SetInterpolation(letter == 'L' ? KFCURVE_INTERPOLATION_LINEAR : KFCURVE_INTERPOLATION_CONSTANT);
            if (letter != 'L' && mVersion >= 4004 && HasValue() && (!mBinary || mFile.FieldGetValueType() == 'C')) {
                key->SetConstantMode(mFile.FieldReadC() == 'n' ? KFCURVE_CONSTANT_NEXT : KFCURVE_CONSTANT_STANDARD);
            }
            if (mVersion < 4004 && previous != nullptr && IsCubic(previous) &&
                (previous->GetTangentMode() & KFCURVE_TANGENT_AUTO)) {
                mCurve.KeySetLeftAuto(i, 100.0f);
            }
            break;
        case 'U': {
            key->SetInterpolation(KFCURVE_INTERPOLATION_CUBIC);
            const Result tangent = ReadTangent(i, key, clampDue);
            if (tangent != Result::kValid) return tangent;
            break;
        }
        case 'B':
        case 'H':
        case 'I':
        case 'O':
        case 'R':
        case 'T':
            if (ReadLegacyCubic(i, key, letter) != Result::kValid) return Result::kEnd;
            break;
        default:
            return Result::kEnd;
    }
    mPreviousLetter = letter;
    if (previous != nullptr && key->GetTime() <= previous->GetTime()) valid = false;
    if (clampDue && !ReadClamp(key)) return Result::kEnd;
    return valid ? Result::kValid : Result::kInvalid;
}

float SecondsQuotient(float dv, KTime t0, KTime t1) {
    return static_cast<float>(dv / (t1 - t0).GetSecondDouble());
}

// Turns the key combinations of files below version 4000 into current
// tangent modes.
void RepairLegacyKeys(KFCurve& curve) {
    const int count = curve.KeyGetCount();
    if (count == 0) return;
    const int last = count - 1;
    curve.KeyGetPtr(last)->SetInterpolation(KFCURVE_INTERPOLATION_CUBIC);
    curve.KeyGetPtr(last)->SetTangentMode(KFCURVE_TANGENT_AUTO);

    for (int k = last; k >= 0; --k) {
        KFCurveKey* key = curve.KeyGetPtr(k);
        const KFCurveKey* p = k > 0 ? curve.KeyGetPtr(k - 1) : nullptr;
        const bool hasNext = k < last;
        if (p == nullptr) continue;
        const bool afterTcb = HasTangentMode(p, KFCURVE_TANGENT_TCB);
        if (HasTangentMode(key, KFCURVE_TANGENT_USER) && afterTcb) {
            key->SetTangentMode(KFCURVE_TANGENT_USER_BREAK);
        } else if (key->GetInterpolation() == KFCURVE_INTERPOLATION_LINEAR && afterTcb) {
            const float slope = curve.KeyGetRightDerivative(k);
            key = curve.KeyGetPtr(k);
            key->SetInterpolation(KFCURVE_INTERPOLATION_CUBIC);
            key->SetTangentMode(KFCURVE_TANGENT_USER_BREAK);
            key->SetDataDouble(KFCurveKey::kSlotRightSlope, slope);
            key->SetDataDouble(KFCurveKey::kSlotNextLeftSlope, slope);
        } else if (HasTangentMode(key, KFCURVE_TANGENT_AUTO)) {
            float d = 0.0f;
            if (hasNext) {
                d = k + 1 == last ? SecondsQuotient(curve.KeyGetValue(k + 1) - curve.KeyGetValue(k), curve.KeyGetTime(k),
                                                    curve.KeyGetTime(k + 1))
                                  : curve.KeyGetRightDerivative(k + 1);
            }
            key = curve.KeyGetPtr(k);
            if (IsUserOrBreak(p)) {
                const double slope = p->GetDataDouble(KFCurveKey::kSlotNextLeftSlope);
                key->SetTangentMode(KFCURVE_TANGENT_USER);
                key->SetDataDouble(KFCurveKey::kSlotRightSlope, slope);
                key->SetDataDouble(KFCurveKey::kSlotNextLeftSlope, d);
            } else if (afterTcb) {
                key->SetTangentMode(KFCURVE_TANGENT_TCB);
                for (int c = 0; c < 3; ++c) key->SetDataFloat(c, p->GetDataFloat(c));
                if (hasNext) {
                    const float left = curve.KeyGetLeftDerivative(k);
                    key = curve.KeyGetPtr(k);
                    key->SetTangentMode(KFCURVE_TANGENT_USER);
                    key->SetDataDouble(KFCurveKey::kSlotRightSlope, left);
                    key->SetDataDouble(KFCurveKey::kSlotNextLeftSlope, d);
                }
            } else if (p->GetInterpolation() == KFCURVE_INTERPOLATION_CONSTANT) {
                key->SetTangentMode(KFCURVE_TANGENT_USER);
                key->SetDataDouble(KFCurveKey::kSlotRightSlope, 0.0);
                key->SetDataDouble(KFCurveKey::kSlotNextLeftSlope, d);
            }
        }
    }

    for (int k = 1; k + 1 < count; ++k) {
        if (!HasTangentMode(curve.KeyGetPtr(k), KFCURVE_TANGENT_AUTO) ||
            HasTangentMode(curve.KeyGetPtr(k + 1), KFCURVE_TANGENT_AUTO)) {
            continue;
        }
        const float right = curve.KeyGetRightDerivative(k);
        const float following = curve.KeyGetRightDerivative(k + 1);
        KFCurveKey* key = curve.KeyGetPtr(k);
        key->SetTangentMode(KFCURVE_TANGENT_USER);
        key->SetDataDouble(KFCurveKey::kSlotRightSlope, right);
        key->SetDataDouble(KFCurveKey::kSlotNextLeftSlope, following);
    }

    for (int i = last; i >= 1; --i) {
        if (!HasTangentMode(curve.KeyGetPtr(i), KFCURVE_TANGENT_TCB) || !IsUserOrBreak(curve.KeyGetPtr(i - 1))) {
            continue;
        }
        const float right = curve.KeyGetRightDerivative(i);
        float s = 0.0f;
        if (i + 1 <= last && HasTangentMode(curve.KeyGetPtr(i + 1), KFCURVE_TANGENT_TCB)) {
            s = curve.KeyGetLeftDerivative(i + 1);
        } else if (i + 1 <= last) {
            const KFCurveKey* key = curve.KeyGetPtr(i);
            const float t = key->GetDataFloat(KFCurveKey::kTension);
            const float c = key->GetDataFloat(KFCurveKey::kContinuity);
            const float b = key->GetDataFloat(KFCurveKey::kBias);
            const float first =
                SecondsQuotient(curve.KeyGetValue(i + 1) - curve.KeyGetValue(i), curve.KeyGetTime(i), curve.KeyGetTime(i + 1));
            if (i + 2 <= last) {
                const float second = SecondsQuotient(curve.KeyGetValue(i + 2) - curve.KeyGetValue(i + 1),
                                                     curve.KeyGetTime(i + 1), curve.KeyGetTime(i + 2));
                s = static_cast<float>((1.0f - t) / 2.0f *
                                       ((1.0f + b) * (1.0f - c) * first + (1.0f - b) * (1.0f + c) * second));
            } else {
                s = (1.0f - t) * (1.0f + b) * (1.0f - c) * first;
            }
        }
        KFCurveKey* key = curve.KeyGetPtr(i);
        key->SetTangentMode(KFCURVE_TANGENT_USER_BREAK);
        key->SetDataDouble(KFCurveKey::kSlotRightSlope, right);
        key->SetDataDouble(KFCurveKey::kSlotNextLeftSlope, s);
    }
}

}  // namespace

bool KFCurve::FbxStore(KFbx* file, bool onlyDefault, bool withColor, bool converted) const {
    if (file == nullptr) return false;
    file->FieldWriteBegin("Default");
    file->FieldWriteD(mValue);
    file->FieldWriteEnd();
    if (onlyDefault) return true;
    if (mKeyCount > 0) {
        file->FieldWriteBegin("KeyVer");
        file->FieldWriteI(kWrittenKeyVersion);
        file->FieldWriteEnd();
        file->FieldWriteBegin("KeyCount");
        file->FieldWriteI(mKeyCount);
        file->FieldWriteEnd();
        file->FieldWriteBegin("Key");
        for (int i = 0; i < mKeyCount; ++i) WriteKey(*file, *this, i, converted);
        file->FieldWriteEnd();
        WriteExtrapolation(*file, "Pre-Extrapolation", mPreExtrapolation, mPreExtrapolationCount);
        WriteExtrapolation(*file, "Post-Extrapolation", mPostExtrapolation, mPostExtrapolationCount);
    }
    if (withColor) {
        file->FieldWriteBegin("Color");
        for (float component : mColor) file->FieldWriteD(component);
        file->FieldWriteEnd();
    }
    return true;
}

void KFCurve::FbxRetrieve(KFbx* file, bool onlyDefault, bool withColor) {
    if (file == nullptr) return;
    // One outer bracket keeps the inner ones from delivering; what piles up
    // is dropped at the end, and the caller's enabled state comes back.
    const bool callbacksWere = mCallbacksEnabled;
    KeyModifyBegin();
    KeyClear();
    SetValue(file->FieldGetRemainingValueCount() > 0 ? static_cast<float>(file->FieldReadD()) : 0.0f);
    file->FieldReadEnd();
    mPreExtrapolation = KFCURVE_EXTRAPOLATION_CONSTANT;
    mPreExtrapolationCount = 0;
    mPostExtrapolation = KFCURVE_EXTRAPOLATION_CONSTANT;
    mPostExtrapolationCount = 0;

    int version = 0;
    std::vector<int> invalid;
    if (!onlyDefault) {
        version = file->FieldReadIDefault("KeyVer", 0);
        const int keyCount = file->FieldReadIDefault("KeyCount", 0);
        if (keyCount > 0 && file->FieldReadBegin("Key")) {
            // The count is the file's word only: the values must be there too.
            const int room = file->FieldGetRemainingValueCount() / kMinValuesPerKey;
            const int wanted = keyCount < room ? keyCount : room;
            if (wanted > 0 && KeyResize(wanted)) {
                KeyRecordReader reader(*file, *this, version);
                for (int i = 0; i < wanted; ++i) {
                    ++mKeyCount;
                    const KeyRecordReader::Result result = reader.Read(i);
                    if (result == KeyRecordReader::Result::kEnd) {
                        --mKeyCount;
                        break;
                    }
                    if (result == KeyRecordReader::Result::kInvalid) {
                        try {
                            invalid.push_back(i);
                        } catch (const std::bad_alloc&) {
                            SdkNoteAllocationFailure();
                            --mKeyCount;
                            break;
                        }
                    }
                }
            }
            file->FieldReadEnd();
        }
        ReadExtrapolation(*file, "Pre-Extrapolation", mPreExtrapolation, mPreExtrapolationCount);
        ReadExtrapolation(*file, "Post-Extrapolation", mPostExtrapolation, mPostExtrapolationCount);
    }
    if (withColor && file->FieldReadBegin("Color")) {
        if (file->FieldGetRemainingValueCount() >= 3) {
            float rgb[3];
            for (float& component : rgb) component = static_cast<float>(file->FieldReadD());
            SetColor(rgb);
        }
        file->FieldReadEnd();
    }
    for (auto it = invalid.rbegin(); it != invalid.rend(); ++it) KeyRemove(*it);
    if (version < 4000 && mKeyCount > 0) RepairLegacyKeys(*this);

    ClearEvaluationCache();
    mPendingEvent.Clear();
    if (mModifyNesting > 0) --mModifyNesting;
    mCallbacksEnabled = callbacksWere;
}

KFCurve* KFCurve::FbxRetrieveIntoCurve(KFbx* file, KFCurve* curve, bool onlyDefault, bool withColor) {
    if (file == nullptr || !file->FieldReadBegin("Default")) return nullptr;
    if (curve == nullptr) curve = Create();
    if (curve == nullptr) {
        file->FieldReadEnd();
        return nullptr;
    }
    curve->FbxRetrieve(file, onlyDefault, withColor);
    return curve;
}

KFCurve* KFCurve::FbxRetrieveNew(KFbx* file, bool onlyDefault, bool withColor) {
    return FbxRetrieveIntoCurve(file, nullptr, onlyDefault, withColor);
}

}  // namespace fbxsdk_2006_11_1
