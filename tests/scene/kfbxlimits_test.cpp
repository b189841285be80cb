// Limits objects of their own and bound to records, and the clamp they drive.
#include <fbxfilesdk/scene/KFbxLimits.h>

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;

namespace {

TEST(KFbxLimitsTest, FlagsAndVectorsPerKind) {
    KFbxLimits limits;
    EXPECT_FALSE(limits.GetRotationActive());
    EXPECT_DOUBLE_EQ(limits.GetLimitMax(KFbxLimits::eScaling)[0], 1.0);
    limits.SetTranslationActive(true);
    limits.SetLimitMinActive(true, false, true, KFbxLimits::eTranslation);
    limits.SetLimitMaxActive(false, true, false);
    EXPECT_TRUE(limits.GetTranslationActive());
    EXPECT_FALSE(limits.GetScalingActive());
    EXPECT_EQ(limits.GetRecord(KFbxLimits::eTranslation).mFlags, 1u | 2u | 8u);
    EXPECT_EQ(limits.GetRecord(KFbxLimits::eRotation).mFlags, 32u);
    bool x = false, y = true, z = false;
    limits.GetLimitMinActive(x, y, z, KFbxLimits::eTranslation);
    EXPECT_TRUE(x);
    EXPECT_FALSE(y);
    EXPECT_TRUE(z);
    limits.SetLimitMinActive(false, false, false, KFbxLimits::eTranslation);
    EXPECT_EQ(limits.GetRecord(KFbxLimits::eTranslation).mFlags, 1u);
}

TEST(KFbxLimitsTest, BoundViewWritesTheRecordsAndAssignmentCopiesValuesOnly) {
    KFbxLimitRecord records[3] = {KFbxLimitRecord(), KFbxLimitRecord(), KFbxLimitRecord(1.0)};
    KFbxLimits view(records);
    view.SetRotationActive(true);
    view.SetLimitMax(KFbxVector4(1, 2, 3, 0));
    EXPECT_EQ(records[KFbxLimits::eRotation].mFlags, 1u);
    EXPECT_DOUBLE_EQ(records[KFbxLimits::eRotation].mMax[2], 3.0);

    KFbxLimits own;
    own = view;
    EXPECT_TRUE(own.GetRotationActive());
    own.SetRotationActive(false);
    EXPECT_TRUE(view.GetRotationActive());
}

TEST(KFbxLimitsTest, ClampRaisesToTheMinimumThenLowersToTheMaximum) {
    KFbxLimitRecord record;
    record.mFlags = KFbxLimitRecord::kMinX | (KFbxLimitRecord::kMinX << 1) | (KFbxLimitRecord::kMaxX << 1);
    record.mMin = KFbxVector4(0, 5, 0, 0);
    record.mMax = KFbxVector4(0, 2, -9, 0);
    const double in[3] = {-1, 0, 7};
    double out[3];
    ClampToLimits(record, out, in);
    EXPECT_DOUBLE_EQ(out[0], 0.0);
    EXPECT_DOUBLE_EQ(out[1], 2.0);
    EXPECT_DOUBLE_EQ(out[2], 7.0);
    // The active bit alone clamps nothing.
    record.mFlags = KFbxLimitRecord::kActive;
    ClampToLimits(record, out, in);
    EXPECT_DOUBLE_EQ(out[0], -1.0);
}

}  // namespace
