// One key of a function curve: its value, time, flag word and four data words
// of tangent data, and the description of one tangent side of a key.
#ifndef FBXFILESDK_ANIMATION_KFCURVEKEY_H
#define FBXFILESDK_ANIMATION_KFCURVEKEY_H

#include <fbxfilesdk/core/KTime.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

// Bit fields of a key's flag word.
enum KFCurveKeyFlags : unsigned int {
    KFCURVE_INTERPOLATION_CONSTANT = 0x00000002,
    KFCURVE_INTERPOLATION_LINEAR = 0x00000004,
    KFCURVE_INTERPOLATION_CUBIC = 0x00000008,
    KFCURVE_INTERPOLATION_MASK = 0x0000000E,

    // Constant keys: the segment holds the next key's value.
    KFCURVE_CONSTANT_STANDARD = 0x00000000,
    KFCURVE_CONSTANT_NEXT = 0x00000100,
    KFCURVE_CONSTANT_MASK = 0x00000100,

    // Cubic keys. The auto bit shares its place with the constant mode.
    KFCURVE_TANGENT_AUTO = 0x00000100,
    KFCURVE_TANGENT_TCB = 0x00000200,
    KFCURVE_TANGENT_USER = 0x00000400,
    KFCURVE_TANGENT_BREAK = 0x00000800,
    KFCURVE_TANGENT_AUTO_BREAK = KFCURVE_TANGENT_AUTO | KFCURVE_TANGENT_BREAK,
    KFCURVE_TANGENT_USER_BREAK = KFCURVE_TANGENT_USER | KFCURVE_TANGENT_BREAK,
    KFCURVE_TANGENT_MASK = 0x00000F00,
    // An auto tangent flattened next to a neighbour of (nearly) equal value;
    // part of the tangent mode only when overrides are asked for.
    KFCURVE_TANGENT_CLAMP = 0x00001000,
    KFCURVE_TANGENT_MASK_WITH_OVERRIDES = 0x00001F00,

    KFCURVE_MARKED = 0x00010000,
    KFCURVE_MARKED_FURTHER = 0x00060000,
    KFCURVE_MARKED_ALL = 0x00070000,
    KFCURVE_SPARE_MASK = 0x00300000,

    KFCURVE_WEIGHTED_NONE = 0x00000000,
    KFCURVE_WEIGHTED_RIGHT = 0x01000000,
    KFCURVE_WEIGHTED_NEXT_LEFT = 0x02000000,
    KFCURVE_WEIGHTED_ALL = 0x03000000,

    KFCURVE_VELOCITY_NONE = 0x00000000,
    KFCURVE_VELOCITY_RIGHT = 0x10000000,
    KFCURVE_VELOCITY_NEXT_LEFT = 0x20000000,
    KFCURVE_VELOCITY_ALL = 0x30000000
};

// The weight of every tangent side that is not weighted.
inline constexpr float KFCURVE_DEFAULT_WEIGHT = 1.0f / 3.0f;

// Data slots of a key, read and written as doubles:
//   0 right slope (or right auto value), 1 left slope (or left auto value) of
//   the next key, as floats in data words 0 and 1;
//   2 right weight, 3 left weight of the next key, 4 right velocity, 5 left
//   velocity of the next key, as 16-bit fixed point (value x 9999) in the low
//   and high halves of data words 2 and 3.
// TCB keys keep tension, continuity and bias as raw floats in data words 0 to
// 2; the bias shares its word with the two weights.
class KFCurveKey {
public:
    enum { kSlotRightSlope = 0, kSlotNextLeftSlope = 1, kSlotRightWeight = 2, kSlotNextLeftWeight = 3,
           kSlotRightVelocity = 4, kSlotNextLeftVelocity = 5 };
    enum { kTension = 0, kContinuity = 1, kBias = 2 };

    // Value 0, time 0, flags 0 (the data words are left as they are).
    void Init();
    void Set(KTime time, float value, unsigned int interpolation, unsigned int tangentMode, double data0, double data1,
             unsigned int weightMode, double weight0, double weight1, double velocity0, double velocity1);
    void SetTCB(KTime time, float value, float tension, float continuity, float bias);

    unsigned int GetInterpolation() const { return mFlags & KFCURVE_INTERPOLATION_MASK; }
    // Turning a key cubic resets its weights and velocities to the defaults.
    void SetInterpolation(unsigned int interpolation);
    unsigned int GetConstantMode() const { return mFlags & KFCURVE_CONSTANT_MASK; }
    void SetConstantMode(unsigned int mode);
    unsigned int GetTangentMode(bool withOverrides = false) const {
        return mFlags & (withOverrides ? KFCURVE_TANGENT_MASK_WITH_OVERRIDES : KFCURVE_TANGENT_MASK);
    }
    // Writes the mode bits with the clamp bit.
    void SetTangentMode(unsigned int mode);
    void SetBreak(bool on);
    unsigned int GetTangentWeightMode() const { return mFlags & KFCURVE_WEIGHTED_ALL; }
    void SetTangentWeightMode(unsigned int mode, unsigned int mask = KFCURVE_WEIGHTED_ALL);
    unsigned int GetTangentVelocityMode() const { return mFlags & KFCURVE_VELOCITY_ALL; }
    void SetTangentVelocityMode(unsigned int mode, unsigned int mask = KFCURVE_VELOCITY_ALL);
    void SetSpareFlags(unsigned int bits);

    // Slots 0 to 5; any other slot reads 0 and is not written. Weights are
    // clamped to [0.00010001, 0.99] on writing.
    double GetDataDouble(int slot) const;
    void SetDataDouble(int slot, double value);
    // Data words 0 to 3 as raw floats; any other index reads 0 and is not written.
    float GetDataFloat(int index) const;
    void SetDataFloat(int index, float value);

    float GetValue() const { return mValue; }
    void SetValue(float value) { mValue = value; }
    void IncValue(float value) { mValue += value; }
    void MultValue(float factor) { mValue *= factor; }
    // Scales the slopes of cubic user-tangent keys only.
    void MultDerivative(float factor);

    KTime GetTime() const { return mTime; }
    void SetTime(KTime time) { mTime = time; }

    void SetSelected(bool selected);
    bool GetSelected() const { return (mFlags & KFCURVE_MARKED) != 0; }

    unsigned int GetFlags() const { return mFlags; }

private:
    float mValue = 0.0f;
    KTime mTime;
    unsigned int mFlags = 0;
    std::uint32_t mData[4] = {0, 0, 0, 0};
};

// One side of a key as the tangent getters and setters see it.
struct KFCurveTangentInfo {
    float mDerivative = 0.0f;
    float mWeight = KFCURVE_DEFAULT_WEIGHT;
    bool mWeighted = false;
    float mVelocity = 0.0f;
    bool mHasVelocity = false;
    float mAuto = 0.0f;

    void Init() { *this = KFCurveTangentInfo(); }
};

}  // namespace fbxsdk_2006_11_1

#endif
