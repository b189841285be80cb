#include <fbxfilesdk/core/KFbxDateTime.h>

#include <platform/os/LocalTime.h>

#include <gtest/gtest.h>

using namespace fbxsdk_2006_11_1;

TEST(KFbxDateTime, ClearZeroesEveryField) {
    KFbxDateTime stamp;
    stamp.SetToNow();
    stamp.Clear();
    EXPECT_EQ(stamp.mYear, 0);
    EXPECT_EQ(stamp.mMonth, 0);
    EXPECT_EQ(stamp.mDay, 0);
    EXPECT_EQ(stamp.mHour, 0);
    EXPECT_EQ(stamp.mMinute, 0);
    EXPECT_EQ(stamp.mSecond, 0);
    EXPECT_EQ(stamp.mMillisecond, 0);
}

TEST(KFbxDateTime, NowComesFromThePlatformClock) {
    // Taken between two readings of the platform's clock, in the same minute
    // (retried when a minute boundary falls between them).
    for (int attempt = 0; attempt < 3; ++attempt) {
        const qalimor::os::LocalDateTime before = qalimor::os::LocalTimeNow();
        KFbxDateTime stamp;
        stamp.SetToNow();
        const qalimor::os::LocalDateTime after = qalimor::os::LocalTimeNow();
        if (before.minute != after.minute) continue;
        EXPECT_EQ(stamp.mYear, before.year);
        EXPECT_EQ(stamp.mMonth, before.month);
        EXPECT_EQ(stamp.mDay, before.day);
        EXPECT_EQ(stamp.mHour, before.hour);
        EXPECT_EQ(stamp.mMinute, before.minute);
        EXPECT_GE(stamp.mSecond * 1000 + stamp.mMillisecond, before.second * 1000 + before.millisecond);
        EXPECT_LE(stamp.mSecond * 1000 + stamp.mMillisecond, after.second * 1000 + after.millisecond);
        return;
    }
    FAIL() << "the clock kept crossing minute boundaries";
}
