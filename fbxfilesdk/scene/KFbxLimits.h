// Limits on a node's translation, rotation and scaling. Each of the three
// kinds is one record: an active flag, per-axis enables of a minimum and a
// maximum, and the two bounding vectors. A node binds its limits object to
// the records its evaluation reads; a limits object of its own (a character
// link's) keeps the records itself. The rotation kind also has a type, a
// clamp type and an axis, which files keep for the programs that use them
// and which evaluation does not read.
#ifndef FBXFILESDK_SCENE_KFBXLIMITS_H
#define FBXFILESDK_SCENE_KFBXLIMITS_H

#include <fbxfilesdk/core/KFbxVector4.h>

namespace fbxsdk_2006_11_1 {

// One kind's limits. Flag bit 0: active; bits 1-3: minimum of X, Y, Z
// enabled; bits 4-6: maximum of X, Y, Z enabled.
struct KFbxLimitRecord {
    static constexpr unsigned kActive = 1u;
    static constexpr unsigned kMinX = 2u;
    static constexpr unsigned kMaxX = 16u;
    static constexpr unsigned kAxisBits = 0x7Eu;

    unsigned mFlags = 0;
    KFbxVector4 mMin;
    KFbxVector4 mMax;
    KFbxVector4 mDefault;

    // Zero vectors, or (1, 1, 1, 1) for the scaling kind's bounds.
    explicit KFbxLimitRecord(double bound = 0.0);
};

// Each axis from X to Z: raised to an enabled minimum, then lowered to an
// enabled maximum, so a maximum below the minimum wins. The active bit is not
// consulted. out may be in.
void ClampToLimits(const KFbxLimitRecord& record, double* out, const double* in);

class KFbxLimits {
public:
    // The order of the three records wherever they are kept together.
    enum ELimitKind { eRotation = 0, eTranslation = 1, eScaling = 2, eLimitKindCount = 3 };

    // Own records: zero bounds, (1, 1, 1) for scaling, nothing active.
    KFbxLimits();
    // A view on three records kept elsewhere (rotation, translation, scaling).
    explicit KFbxLimits(KFbxLimitRecord* records);
    KFbxLimits(const KFbxLimits&) = delete;
    // Copies flags, vectors and the rotation's type, clamp type and axis;
    // each side keeps its own records.
    KFbxLimits& operator=(const KFbxLimits& other);

    bool GetTranslationActive() const { return IsActive(eTranslation); }
    bool GetRotationActive() const { return IsActive(eRotation); }
    bool GetScalingActive() const { return IsActive(eScaling); }
    void SetTranslationActive(bool active) { SetActive(eTranslation, active); }
    void SetRotationActive(bool active) { SetActive(eRotation, active); }
    void SetScalingActive(bool active) { SetActive(eScaling, active); }

    // Per-axis enables and bounds of one kind; rotation unless told.
    void GetLimitMinActive(bool& x, bool& y, bool& z, ELimitKind kind = eRotation) const;
    void GetLimitMaxActive(bool& x, bool& y, bool& z, ELimitKind kind = eRotation) const;
    void SetLimitMinActive(bool x, bool y, bool z, ELimitKind kind = eRotation);
    void SetLimitMaxActive(bool x, bool y, bool z, ELimitKind kind = eRotation);
    KFbxVector4 GetLimitMin(ELimitKind kind = eRotation) const { return mRecords[kind].mMin; }
    KFbxVector4 GetLimitMax(ELimitKind kind = eRotation) const { return mRecords[kind].mMax; }
    void SetLimitMin(const KFbxVector4& min, ELimitKind kind = eRotation) { mRecords[kind].mMin = min; }
    void SetLimitMax(const KFbxVector4& max, ELimitKind kind = eRotation) { mRecords[kind].mMax = max; }

    const KFbxLimitRecord& GetRecord(ELimitKind kind) const { return mRecords[kind]; }

    // 1 unless set.
    int GetRotationType() const { return mRotationType; }
    void SetRotationType(int type) { mRotationType = type; }
    // 0 unless set.
    int GetRotationClampType() const { return mRotationClampType; }
    void SetRotationClampType(int type) { mRotationClampType = type; }
    // (0, 0, 0, 0) unless set.
    KFbxVector4 GetRotationAxis() const { return mRotationAxis; }
    void SetRotationAxis(const KFbxVector4& axis) { mRotationAxis = axis; }

private:
    bool IsActive(ELimitKind kind) const { return (mRecords[kind].mFlags & KFbxLimitRecord::kActive) != 0; }
    void SetActive(ELimitKind kind, bool active);
    void GetAxisBits(unsigned first, bool& x, bool& y, bool& z, ELimitKind kind) const;
    void SetAxisBits(unsigned first, bool x, bool y, bool z, ELimitKind kind);

    KFbxLimitRecord mOwn[eLimitKindCount];
    KFbxLimitRecord* mRecords;
    int mRotationType = 1;
    int mRotationClampType = 0;
    KFbxVector4 mRotationAxis{0.0, 0.0, 0.0, 0.0};
};

}  // namespace fbxsdk_2006_11_1

#endif
