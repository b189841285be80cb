#include <fbxfilesdk/scene/KFbxLimits.h>

namespace fbxsdk_2006_11_1 {

KFbxLimitRecord::KFbxLimitRecord(double bound) : mMin(bound, bound, bound, bound), mMax(bound, bound, bound, bound) {}

void ClampToLimits(const KFbxLimitRecord& record, double* out, const double* in) {
    for (int axis = 0; axis < 3; ++axis) {
        out[axis] = in[axis];
    }
    if ((record.mFlags & KFbxLimitRecord::kAxisBits) == 0) {
        return;
    }
    for (int axis = 0; axis < 3; ++axis) {
        if ((record.mFlags & (KFbxLimitRecord::kMinX << axis)) != 0 && out[axis] < record.mMin[axis]) {
            out[axis] = record.mMin[axis];
        }
        if ((record.mFlags & (KFbxLimitRecord::kMaxX << axis)) != 0 && out[axis] > record.mMax[axis]) {
            out[axis] = record.mMax[axis];
        }
    }
}

KFbxLimits::KFbxLimits() : mOwn{KFbxLimitRecord(), KFbxLimitRecord(), KFbxLimitRecord(1.0)}, mRecords(mOwn) {}

KFbxLimits::KFbxLimits(KFbxLimitRecord* records) : KFbxLimits() {
    if (records != nullptr) {
        mRecords = records;
    }
}

KFbxLimits& KFbxLimits::operator=(const KFbxLimits& other) {
    for (int kind = 0; kind < eLimitKindCount; ++kind) {
        mRecords[kind].mFlags = other.mRecords[kind].mFlags;
        mRecords[kind].mMin = other.mRecords[kind].mMin;
        mRecords[kind].mMax = other.mRecords[kind].mMax;
        mRecords[kind].mDefault = other.mRecords[kind].mDefault;
    }
    mRotationType = other.mRotationType;
    mRotationClampType = other.mRotationClampType;
    mRotationAxis = other.mRotationAxis;
    return *this;
}

void KFbxLimits::SetActive(ELimitKind kind, bool active) {
    if (active) {
        mRecords[kind].mFlags |= KFbxLimitRecord::kActive;
    } else {
        mRecords[kind].mFlags &= ~KFbxLimitRecord::kActive;
    }
}

void KFbxLimits::GetAxisBits(unsigned first, bool& x, bool& y, bool& z, ELimitKind kind) const {
    const unsigned flags = mRecords[kind].mFlags;
    x = (flags & first) != 0;
    y = (flags & (first << 1)) != 0;
    z = (flags & (first << 2)) != 0;
}

void KFbxLimits::SetAxisBits(unsigned first, bool x, bool y, bool z, ELimitKind kind) {
    unsigned& flags = mRecords[kind].mFlags;
    flags &= ~(first | (first << 1) | (first << 2));
    flags |= (x ? first : 0u) | (y ? first << 1 : 0u) | (z ? first << 2 : 0u);
}

void KFbxLimits::GetLimitMinActive(bool& x, bool& y, bool& z, ELimitKind kind) const {
    GetAxisBits(KFbxLimitRecord::kMinX, x, y, z, kind);
}

void KFbxLimits::GetLimitMaxActive(bool& x, bool& y, bool& z, ELimitKind kind) const {
    GetAxisBits(KFbxLimitRecord::kMaxX, x, y, z, kind);
}

void KFbxLimits::SetLimitMinActive(bool x, bool y, bool z, ELimitKind kind) {
    SetAxisBits(KFbxLimitRecord::kMinX, x, y, z, kind);
}

void KFbxLimits::SetLimitMaxActive(bool x, bool y, bool z, ELimitKind kind) {
    SetAxisBits(KFbxLimitRecord::kMaxX, x, y, z, kind);
}

}  // namespace fbxsdk_2006_11_1
