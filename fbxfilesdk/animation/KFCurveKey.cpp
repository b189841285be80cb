#include <fbxfilesdk/animation/KFCurveKey.h>

#include <bit>
#include <cmath>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr double kFixedScale = 9999.0;
constexpr float kWeightMax = 0.99f;
constexpr float kWeightMin = 0.00010001f;

// value x 9999 truncated toward zero; NaN gives 0 and out-of-range values
// saturate rather than wrap.
std::int16_t ToFixed(double value) {
    const double scaled = value * kFixedScale;
    if (std::isnan(scaled)) return 0;
    if (scaled >= 32767.0) return 32767;
    if (scaled <= -32768.0) return -32768;
    return static_cast<std::int16_t>(scaled);
}

std::int16_t LowHalf(std::uint32_t word) { return static_cast<std::int16_t>(word & 0xFFFFu); }
std::int16_t HighHalf(std::uint32_t word) { return static_cast<std::int16_t>(word >> 16); }

std::uint32_t WithLowHalf(std::uint32_t word, std::int16_t half) {
    return (word & 0xFFFF0000u) | static_cast<std::uint16_t>(half);
}
std::uint32_t WithHighHalf(std::uint32_t word, std::int16_t half) {
    return (word & 0x0000FFFFu) | (static_cast<std::uint32_t>(static_cast<std::uint16_t>(half)) << 16);
}

double ClampWeight(double value) {
    float weight = static_cast<float>(value);
    if (weight > kWeightMax) weight = kWeightMax;
    if (!(weight >= kWeightMin)) weight = kWeightMin;  // NaN too
    return weight;
}

}  // namespace

void KFCurveKey::Init() {
    mValue = 0.0f;
    mTime = KTime(0);
    mFlags = 0;
}

void KFCurveKey::Set(KTime time, float value, unsigned int interpolation, unsigned int tangentMode, double data0,
                     double data1, unsigned int weightMode, double weight0, double weight1, double velocity0,
                     double velocity1) {
    mTime = time;
    mValue = value;
    SetInterpolation(interpolation);
    SetTangentMode(tangentMode);
    SetDataDouble(kSlotRightSlope, data0);
    SetDataDouble(kSlotNextLeftSlope, data1);
    SetTangentWeightMode(weightMode, KFCURVE_WEIGHTED_ALL);
    SetDataDouble(kSlotRightWeight, weight0);
    SetDataDouble(kSlotNextLeftWeight, weight1);
    SetDataDouble(kSlotRightVelocity, velocity0);
    SetDataDouble(kSlotNextLeftVelocity, velocity1);
    SetSpareFlags(0);
}

void KFCurveKey::SetTCB(KTime time, float value, float tension, float continuity, float bias) {
    mTime = time;
    mValue = value;
    SetInterpolation(KFCURVE_INTERPOLATION_CUBIC);
    SetTangentMode(KFCURVE_TANGENT_TCB);
    SetDataFloat(kTension, tension);
    SetDataFloat(kContinuity, continuity);
    SetDataFloat(kBias, bias);
    SetSpareFlags(0);
}

void KFCurveKey::SetInterpolation(unsigned int interpolation) {
    const unsigned int wanted = interpolation & KFCURVE_INTERPOLATION_MASK;
    if (wanted == KFCURVE_INTERPOLATION_CUBIC && GetInterpolation() != KFCURVE_INTERPOLATION_CUBIC) {
        // A key turning cubic must not inherit tangent data written for
        // another interpolation.
        SetTangentWeightMode(KFCURVE_WEIGHTED_NONE, KFCURVE_WEIGHTED_ALL);
        SetDataDouble(kSlotRightWeight, KFCURVE_DEFAULT_WEIGHT);
        SetDataDouble(kSlotNextLeftWeight, KFCURVE_DEFAULT_WEIGHT);
        SetTangentVelocityMode(KFCURVE_VELOCITY_NONE, KFCURVE_VELOCITY_ALL);
        SetDataDouble(kSlotRightVelocity, 0.0);
        SetDataDouble(kSlotNextLeftVelocity, 0.0);
    }
    mFlags = (mFlags & ~static_cast<unsigned int>(KFCURVE_INTERPOLATION_MASK)) | wanted;
}

void KFCurveKey::SetConstantMode(unsigned int mode) {
    mFlags = (mFlags & ~static_cast<unsigned int>(KFCURVE_CONSTANT_MASK)) | (mode & KFCURVE_CONSTANT_MASK);
}

void KFCurveKey::SetTangentMode(unsigned int mode) {
    mFlags = (mFlags & ~static_cast<unsigned int>(KFCURVE_TANGENT_MASK_WITH_OVERRIDES)) |
             (mode & KFCURVE_TANGENT_MASK_WITH_OVERRIDES);
}

void KFCurveKey::SetBreak(bool on) {
    if (on) {
        mFlags |= KFCURVE_TANGENT_BREAK;
    } else {
        mFlags &= ~static_cast<unsigned int>(KFCURVE_TANGENT_BREAK);
    }
}

void KFCurveKey::SetTangentWeightMode(unsigned int mode, unsigned int mask) {
    mask &= KFCURVE_WEIGHTED_ALL;
    mFlags = (mFlags & ~mask) | (mode & mask);
}

void KFCurveKey::SetTangentVelocityMode(unsigned int mode, unsigned int mask) {
    mask &= KFCURVE_VELOCITY_ALL;
    mFlags = (mFlags & ~mask) | (mode & mask);
}

void KFCurveKey::SetSpareFlags(unsigned int bits) {
    mFlags = (mFlags & ~static_cast<unsigned int>(KFCURVE_SPARE_MASK)) | (bits & KFCURVE_SPARE_MASK);
}

double KFCurveKey::GetDataDouble(int slot) const {
    switch (slot) {
        case kSlotRightSlope:
        case kSlotNextLeftSlope: return std::bit_cast<float>(mData[slot]);
        case kSlotRightWeight: return LowHalf(mData[2]) / kFixedScale;
        case kSlotNextLeftWeight: return HighHalf(mData[2]) / kFixedScale;
        case kSlotRightVelocity: return LowHalf(mData[3]) / kFixedScale;
        case kSlotNextLeftVelocity: return HighHalf(mData[3]) / kFixedScale;
        default: return 0.0;
    }
}

void KFCurveKey::SetDataDouble(int slot, double value) {
    switch (slot) {
        case kSlotRightSlope:
        case kSlotNextLeftSlope: mData[slot] = std::bit_cast<std::uint32_t>(static_cast<float>(value)); break;
        case kSlotRightWeight: mData[2] = WithLowHalf(mData[2], ToFixed(ClampWeight(value))); break;
        case kSlotNextLeftWeight: mData[2] = WithHighHalf(mData[2], ToFixed(ClampWeight(value))); break;
        case kSlotRightVelocity: mData[3] = WithLowHalf(mData[3], ToFixed(value)); break;
        case kSlotNextLeftVelocity: mData[3] = WithHighHalf(mData[3], ToFixed(value)); break;
        default: break;
    }
}

float KFCurveKey::GetDataFloat(int index) const {
    if (index < 0 || index > 3) return 0.0f;
    return std::bit_cast<float>(mData[index]);
}

void KFCurveKey::SetDataFloat(int index, float value) {
    if (index < 0 || index > 3) return;
    mData[index] = std::bit_cast<std::uint32_t>(value);
}

void KFCurveKey::MultDerivative(float factor) {
    if (GetInterpolation() != KFCURVE_INTERPOLATION_CUBIC) return;
    const unsigned int mode = GetTangentMode();
    if (mode != KFCURVE_TANGENT_USER && mode != KFCURVE_TANGENT_USER_BREAK) return;
    SetDataFloat(kSlotRightSlope, GetDataFloat(kSlotRightSlope) * factor);
    SetDataFloat(kSlotNextLeftSlope, GetDataFloat(kSlotNextLeftSlope) * factor);
}

void KFCurveKey::SetSelected(bool selected) {
    mFlags &= ~static_cast<unsigned int>(selected ? KFCURVE_MARKED_FURTHER : KFCURVE_MARKED_ALL);
    if (selected) mFlags |= KFCURVE_MARKED;
}

}  // namespace fbxsdk_2006_11_1
