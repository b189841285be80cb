#include <fbxfilesdk/core/KTime.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

using namespace fbxsdk_2006_11_1;

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

struct ModeExpectation {
    int mode;
    std::int64_t ticksPerFrame;
    bool hasFields;
};

constexpr ModeExpectation kModes[] = {
    {1, 384884650, false},  {2, 461861580, false},  {3, 769769300, false},   {4, 923723160, false},
    {5, 962211625, false},  {6, 1539538600, true},  {7, 1539538600, true},   {8, 1541078334, true},
    {9, 1541078334, true},  {10, 1847446320, true}, {11, 1924423250, false}, {12, 46186158, false},
    {13, 1926349600, true},
};
constexpr std::int64_t kFrame30 = 1539538600;

struct Code {
    std::int64_t h, m, s, f, field, residual;
    bool operator==(const Code&) const = default;
};

Code Split(const KTime& time, int mode) {
    Code c{-7, -7, -7, -7, -7, -7};
    EXPECT_TRUE(time.GetTime(c.h, c.m, c.s, c.f, c.field, c.residual, mode));
    return c;
}

KTime Compose(int h, int m, int s, int f, int field, int mode) {
    KTime time;
    time.SetTime(h, m, s, f, field, mode);
    return time;
}

std::string Format(const KTime& time, int elements, int mode, int form) {
    char buffer[KTime::kTimeStringSize];
    return time.FormatTimeString(buffer, sizeof buffer, elements, mode, form);
}

KTime Parse(const char* text, int mode, int form, std::int64_t before = 123) {
    KTime time(before);
    time.ParseTimeString(text, mode, form);
    return time;
}

}  // namespace

// --- Constants and the time-mode table -----------------------------------

TEST(KTimeModes, TicksPerSecondAndInfinities) {
    EXPECT_EQ(KTime::kTicksPerSecond, 46186158000);
    EXPECT_EQ(KTime::kTicksPerMinute, 2771169480000);
    EXPECT_EQ(KTime::kTicksPerHour, 166270168800000);
    EXPECT_EQ(KTimeInfinite.Get(), kMax);
    EXPECT_EQ(KTimeMinusInfinite.Get(), kMin + 1);
    EXPECT_EQ(KTime().Get(), 0);
}

TEST(KTimeModes, EveryModeHasItsFrameAndFieldLength) {
    for (const ModeExpectation& m : kModes) {
        SCOPED_TRACE(m.mode);
        EXPECT_EQ(KTime(m.ticksPerFrame).GetFrame(true, m.mode), 1);
        EXPECT_EQ(KTime(m.ticksPerFrame - 1).GetFrame(true, m.mode), 0);
        EXPECT_EQ(KTime(-m.ticksPerFrame + 1).GetFrame(true, m.mode), 0);  // truncated towards zero
        Code half = Split(KTime(m.ticksPerFrame / 2), m.mode);
        EXPECT_EQ(half.f, 0);
        EXPECT_EQ(half.field, m.hasFields ? 1 : 0);
        EXPECT_EQ(half.residual, m.hasFields || m.ticksPerFrame % 2 == 0 ? 50 : 49);
    }
    EXPECT_EQ(KTime(KTime::kTicksPerSecond).GetFrame(true, KTime::eFrames30), 30);
    EXPECT_EQ(KTime(KTime::kTicksPerSecond).GetFrame(true), 30);  // mode 0 is the default, 30 fps
}

TEST(KTimeModes, TableRowsInFileOrder) {
    const auto table = KTimeModeInfoTable();
    ASSERT_EQ(table.size(), 12u);
    const int modes[] = {1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 7, 13};
    const int codes[] = {8, 7, 6, 5, 3, 3, 4, 9, 2, 1, 10, 10};
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].mTimeMode, modes[i]) << i;
        EXPECT_EQ(table[i].mFileCode, codes[i]) << i;
        EXPECT_EQ(table[i].mUsableForFileCode, i != 4 && i != 11) << i;
    }
    EXPECT_STREQ(table[6].mShortName, "29.97 drop");
    EXPECT_STREQ(table[6].mLongName, "NTSC Drop");
    EXPECT_DOUBLE_EQ(table[7].mFrameRate, 29.97002617);
    EXPECT_STREQ(table[10].mShortName, "30 Drop");
    EXPECT_STREQ(table[11].mLongName, "23.976 fps");
}

TEST(KTimeModes, TableQuirksAreKept) {
    EXPECT_EQ(KTime::FileCodeToTimeMode(3), 6);
    EXPECT_EQ(KTime::FileCodeToTimeMode(10), 7);
    EXPECT_EQ(KTime::FileCodeToTimeMode(0), 6);
    EXPECT_EQ(KTime::FileCodeToTimeMode(4), 8);
    EXPECT_DOUBLE_EQ(KTime::GetFrameRate(12), 30.0);
    EXPECT_DOUBLE_EQ(KTime::GetFrameRate(99), 30.0);
    EXPECT_DOUBLE_EQ(KTime::GetFrameRate(0), 30.0);
    EXPECT_DOUBLE_EQ(KTime::GetFrameRate(13), 23.976);
    EXPECT_EQ(KTime::TimeModeToFileCode(12), 3);
    EXPECT_EQ(KTime::TimeModeToFileCode(-1), 3);
    EXPECT_EQ(KTime::TimeModeToFileCode(13), 10);
    EXPECT_STREQ(KTime::GetTimeModeName(12), "");
    EXPECT_STREQ(KTime::GetTimeModeName(14), "");
    EXPECT_STREQ(KTime::GetTimeModeName(8), "29.97 drop");
    EXPECT_STREQ(KTime::GetTimeModeName(0), "30");
}

TEST(KTimeModes, NamesAndRates) {
    EXPECT_EQ(KTime::GetTimeModeFromName("PAL"), 10);
    EXPECT_EQ(KTime::GetTimeModeFromName("25"), 10);
    EXPECT_EQ(KTime::GetTimeModeFromName("30 Drop"), 7);
    EXPECT_EQ(KTime::GetTimeModeFromName("NTSC Full"), 9);
    EXPECT_EQ(KTime::GetTimeModeFromName("pal"), 6);  // case-sensitive
    EXPECT_EQ(KTime::GetTimeModeFromName(""), 6);
    EXPECT_EQ(KTime::GetTimeModeFromName(nullptr), 6);
    const KTimeModeInfo custom[] = {{10.0, "x", 3, 0, "24 fps", true}, {24.0, "24 fps", 11, 1, "y", true}};
    EXPECT_EQ(KTime::FindTimeModeByName(custom, "24 fps"), 3);  // first row wins

    EXPECT_EQ(KTime::ConvertFrameRateToTimeMode(30.0, 0.001), 6);
    EXPECT_EQ(KTime::ConvertFrameRateToTimeMode(29.97, 0.001), 8);
    EXPECT_EQ(KTime::ConvertFrameRateToTimeMode(23.976, 0.001), 13);
    EXPECT_EQ(KTime::ConvertFrameRateToTimeMode(48.0, 0.001), 5);
    EXPECT_EQ(KTime::ConvertFrameRateToTimeMode(1000.0, 0.001), 0);
    EXPECT_EQ(KTime::ConvertFrameRateToTimeMode(24.5, 0.5), 10);  // both ends included
    EXPECT_EQ(KTime::GetGlobalTimeMode(), 6);
    EXPECT_EQ(KTime::GetGlobalStringForm(), 1);
}

// --- Arithmetic and seconds ----------------------------------------------

TEST(KTimeArithmetic, SixtyFourBitOperationsAndSaturation) {
    const KTime a(5000000000000), b(-3);
    EXPECT_EQ((a + b).Get(), 4999999999997);
    EXPECT_EQ((a - b).Get(), 5000000000003);
    EXPECT_EQ((a * 3).Get(), 15000000000000);
    EXPECT_EQ((a * b).Get(), -15000000000000);
    EXPECT_EQ((KTime(-7) / KTime(2)).Get(), -3);
    EXPECT_TRUE(b < a);
    EXPECT_TRUE(a > b);
    EXPECT_TRUE(a != b);

    EXPECT_EQ(KTimeInfinite + KTime(1), KTimeInfinite);
    EXPECT_EQ(KTimeMinusInfinite - KTime(5), KTimeMinusInfinite);
    EXPECT_EQ(KTime(kMin) - KTime(kMax), KTimeMinusInfinite);
    EXPECT_EQ(KTime(kMax) - KTime(kMin), KTimeInfinite);
    EXPECT_EQ(KTime(kMax) * 2, KTimeInfinite);
    EXPECT_EQ(KTime(kMax) * -2, KTimeMinusInfinite);
    EXPECT_EQ(KTime(kMin) * KTime(kMin), KTimeInfinite);
    EXPECT_EQ(KTime(kMin) / KTime(-1), KTimeInfinite);
    EXPECT_EQ((KTime(42) / KTime(0)).Get(), 0);

    EXPECT_EQ(KTimeAbs(KTime(kMin)).Get(), kMax);
    EXPECT_EQ(KTimeAbs(KTime(-9)).Get(), 9);
    EXPECT_EQ(KTimeAbs(KTime(9)).Get(), 9);
}

TEST(KTimeArithmetic, SecondsTruncateAndOverflowSafely) {
    KTime t;
    t.SetSecondDouble(1.5);
    EXPECT_EQ(t.Get(), 69279237000);
    EXPECT_DOUBLE_EQ(t.GetSecondDouble(), 1.5);
    t.SetSecondDouble(-1e-11);  // -0.46 ticks
    EXPECT_EQ(t.Get(), 0);
    t.SetSecondDouble(1e-10);  // 4.6 ticks
    EXPECT_EQ(t.Get(), 4);

    t.SetSecondDouble(1e300);
    EXPECT_EQ(t, KTimeInfinite);
    t.SetSecondDouble(std::numeric_limits<double>::infinity());
    EXPECT_EQ(t, KTimeInfinite);
    t.SetSecondDouble(-1e300);
    EXPECT_EQ(t.Get(), kMin);
    t.SetSecondDouble(std::nan(""));
    EXPECT_EQ(t.Get(), kMin);
    t.SetSecondDouble(199700000.0);  // just above the 64-bit range of ticks
    EXPECT_EQ(t, KTimeInfinite);
}

// --- Time codes: plain modes ---------------------------------------------

TEST(KTimeCodes, PlainModesCompose) {
    EXPECT_EQ(Compose(1, 0, 0, 0, 0, 1).Get(), KTime::kTicksPerHour);
    EXPECT_EQ(Compose(0, 1, 2, 3, 1, 11).Get(), 62 * KTime::kTicksPerSecond + 3 * std::int64_t{1924423250});  // no field in 11
    EXPECT_EQ(Compose(0, 0, 1, 2, 1, 6).Get(), (32 * 2 + 1) * std::int64_t{769769300});
    EXPECT_EQ(Compose(0, 0, 1, 0, 0, 9).Get(), 30 * std::int64_t{1541078334});  // an NTSC "second" is 30 frames
    EXPECT_EQ(Compose(0, 0, 1, 0, 0, 10).Get(), KTime::kTicksPerSecond);
    EXPECT_EQ(Compose(0, 0, 0, 1000, 0, 12).Get(), KTime::kTicksPerSecond);

    KTime t(77);
    t.SetTime(1, 0, 0, 0, 0, 14);
    t.SetTime(1, 0, 0, 0, 0, -1);
    EXPECT_EQ(t.Get(), 77);
    std::int64_t h = 5, m = 5, s = 5, f = 5, field = 5, r = 5;
    EXPECT_FALSE(t.GetTime(h, m, s, f, field, r, 14));
    EXPECT_EQ(h + m + s + f + field + r, 30);  // nothing written
    EXPECT_EQ(t.GetFrame(true, 14), 0);
    EXPECT_EQ(t.GetFrame(false, 14), 0);
}

TEST(KTimeCodes, NegativeTimesSplitByFloor) {
    EXPECT_EQ(Split(KTime(-kFrame30), 6), (Code{-1, 59, 59, 29, 0, 0}));
    EXPECT_EQ(Split(KTime(-1), 1), (Code{-1, 59, 59, 119, 0, 99}));
    EXPECT_EQ(Split(KTime(-kFrame30 / 2), 6), (Code{-1, 59, 59, 29, 1, 50}));
    EXPECT_EQ(Split(KTime(-KTime::kTicksPerHour), 6), (Code{-1, 0, 0, 0, 0, 0}));
    // The extremes split without overflow.
    for (const ModeExpectation& m : kModes) {
        Code low = Split(KTime(kMin), m.mode);
        Code high = Split(KTime(kMax), m.mode);
        EXPECT_LT(low.h, 0);
        EXPECT_GT(high.h, 0);
    }
}

TEST(KTimeCodes, FramesRoundTripInEveryMode) {
    for (const ModeExpectation& m : kModes) {
        SCOPED_TRACE(m.mode);
        for (std::int64_t n = -200000; n <= 400000; n += 997) {
            const std::int64_t ticks = n * m.ticksPerFrame + (m.hasFields ? m.ticksPerFrame / 2 : 0);
            const Code c = Split(KTime(ticks), m.mode);
            KTime back;
            back.SetTime(int(c.h), int(c.m), int(c.s), int(c.f), int(c.field), m.mode);
            ASSERT_EQ(back.Get(), ticks) << n;
            ASSERT_EQ(KTime(ticks).GetFrame(false, m.mode), c.f);
        }
    }
}

TEST(KTimeCodes, ResidualIsHundredthsOfAFrame) {
    KTime t;
    t.SetTimeWithResidual(0, 0, 0, 1, 0, 50, 6);
    EXPECT_EQ(t.Get(), kFrame30 + kFrame30 / 2);
    EXPECT_EQ(t.GetResidual(6), 50);
    t.SetTimeWithResidual(0, 0, 0, 1, 0, 25, 6);
    EXPECT_EQ(t.Get(), kFrame30 + 384884650);
    EXPECT_EQ(t.GetResidual(6), 25);
    t.SetTimeWithResidual(0, 0, 0, 0, 0, 1, 5);  // rounded up to a whole tick
    EXPECT_EQ(t.Get(), (962211625 + 99) / 100);
    EXPECT_EQ(t.GetResidual(5), 1);
    t.SetTimeWithResidual(0, 0, 0, 0, 0, 0, 99);
    EXPECT_EQ(t.Get(), (962211625 + 99) / 100);  // unknown mode: unchanged
}

TEST(KTimeCodes, HugeTimeCodesAreRefused) {
    for (const ModeExpectation& m : kModes) {
        SCOPED_TRACE(m.mode);
        KTime t(55);
        t.SetTime(std::numeric_limits<int>::max(), 59, 59, 0, 0, m.mode);
        EXPECT_EQ(t.Get(), 55);
        t.SetTime(std::numeric_limits<int>::min(), 0, 0, 0, 0, m.mode);
        EXPECT_EQ(t.Get(), 55);
        t.SetTime(56000, 0, 0, 0, 0, m.mode);
        EXPECT_EQ(t.Get(), 55);
        t.SetTimeWithResidual(55000, 0, 0, 0, 0, std::numeric_limits<int>::max(), m.mode);
        EXPECT_NE(t.Get(), 55);  // large but representable
        t.Set(55);
        t.SetTime(0, 0, 0, std::numeric_limits<int>::min(), 1, m.mode);
        EXPECT_NE(t.Get(), 55);  // large but representable
    }
}

// --- Time codes: drop-frame numbering (modes 7, 8, 13) -------------------

TEST(KTimeDropFrame, MinuteOneFramesZeroAndOneMapToFrameTwo) {
    for (int mode : {7, 8, 13}) {
        SCOPED_TRACE(mode);
        const int fps = mode == 13 ? 24 : 30;
        const KTime lastOfMinute0 = Compose(0, 0, 59, fps - 1, 0, mode);
        const KTime frame2 = Compose(0, 1, 0, 2, 0, mode);
        const std::int64_t frame = mode == 13 ? 1926349600 : (mode == 7 ? kFrame30 : 1541078334);
        EXPECT_EQ(frame2.Get() - lastOfMinute0.Get(), frame);
        EXPECT_EQ(Compose(0, 1, 0, 0, 0, mode), frame2);
        EXPECT_EQ(Compose(0, 1, 0, 1, 0, mode), frame2);
        EXPECT_EQ(Split(frame2, mode), (Code{0, 1, 0, 2, 0, 0}));
        EXPECT_EQ(Split(Compose(0, 1, 0, 0, 1, mode), mode), (Code{0, 1, 0, 2, 1, 50}));
        EXPECT_EQ(Split(Compose(0, 1, 1, 0, 0, mode), mode), (Code{0, 1, 1, 0, 0, 0}));
    }
}

TEST(KTimeDropFrame, MinuteTenFrameZeroExists) {
    for (int mode : {7, 8, 13}) {
        SCOPED_TRACE(mode);
        const int fps = mode == 13 ? 24 : 30;
        const KTime minute10 = Compose(0, 10, 0, 0, 0, mode);
        EXPECT_EQ(Split(minute10, mode), (Code{0, 10, 0, 0, 0, 0}));
        EXPECT_EQ(minute10.GetFrame(true, mode), fps == 30 ? 17982 : 14382);
        EXPECT_EQ(Split(Compose(0, 10, 0, 1, 0, mode), mode), (Code{0, 10, 0, 1, 0, 0}));
        EXPECT_EQ(Split(Compose(0, 9, 59, fps - 1, 0, mode), mode), (Code{0, 9, 59, fps - 1, 0, 0}));
        EXPECT_EQ(Compose(0, 10, 0, 0, 0, mode).Get() - Compose(0, 9, 59, fps - 1, 0, mode).Get(),
                  minute10.Get() / minute10.GetFrame(true, mode));
        EXPECT_EQ(Split(Compose(1, 0, 0, 0, 0, mode), mode), (Code{1, 0, 0, 0, 0, 0}));
        EXPECT_EQ(Split(Compose(0, 11, 0, 0, 0, mode), mode), (Code{0, 11, 0, 2, 0, 0}));
    }
}

TEST(KTimeDropFrame, FrameAndTimeCodeRoundTripAcrossManyMinutes) {
    for (int mode : {7, 8, 13}) {
        SCOPED_TRACE(mode);
        const std::int64_t frame = mode == 13 ? 1926349600 : (mode == 7 ? kFrame30 : 1541078334);
        Code previous{-1, 0, 0, 0, 0, 0};
        // Two and a half hours of frames, both fields, every code checked.
        for (std::int64_t n = -20000; n < 270000; ++n) {
            const KTime t(n * frame);
            const Code c = Split(t, mode);
            ASSERT_FALSE(c.s == 0 && c.f < 2 && c.m % 10 != 0) << n;
            ASSERT_EQ(t.GetFrame(true, mode), n);
            ASSERT_EQ(Compose(int(c.h), int(c.m), int(c.s), int(c.f), 0, mode), t) << n;
            ASSERT_EQ(Compose(int(c.h), int(c.m), int(c.s), int(c.f), 1, mode).Get(), n * frame + frame / 2) << n;
            const auto key = [](const Code& k) { return ((k.h * 60 + k.m) * 60 + k.s) * 100 + k.f; };
            ASSERT_LT(key(previous), key(c)) << n;  // numbering only moves forward
            previous = c;
        }
    }
}

TEST(KTimeDropFrame, NegativeMinutesCountBackFromTheHour) {
    EXPECT_EQ(Compose(0, -1, 0, 2, 0, 7), Compose(-1, 59, 0, 2, 0, 7));
    EXPECT_EQ(Compose(0, -10, 0, 0, 0, 8), Compose(-1, 50, 0, 0, 0, 8));
}

// --- Text: printing -------------------------------------------------------

TEST(KTimeText, FrameCountForm) {
    const KTime oneAndHalf(kFrame30 + kFrame30 / 2);
    EXPECT_EQ(Format(oneAndHalf, 6, 6, 1), "1 (50)");
    EXPECT_EQ(Format(oneAndHalf, 5, 6, 1), "1*");
    EXPECT_EQ(Format(oneAndHalf, 3, 6, 2), "1");
    EXPECT_EQ(Format(KTime(3 * kFrame30), 5, 6, 1), "3");
    EXPECT_EQ(Format(KTime(-3 * kFrame30), 5, 6, 1), "-3");
    EXPECT_EQ(Format(KTime(-3 * kFrame30), 4, 6, 1), "- 3");
    EXPECT_EQ(Format(KTime(-kFrame30 - kFrame30 / 2), 5, 6, 1), "- 1*");
    EXPECT_EQ(Format(KTime(-kFrame30 - kFrame30 / 2), 6, 6, 1), "- 1 (50)");
    EXPECT_EQ(Format(KTimeInfinite, 1, 6, 1), "---");
    EXPECT_EQ(Format(KTimeMinusInfinite, 4, 6, 1), "---");
    EXPECT_EQ(Format(KTimeInfinite, 5, 6, 1), "  ---");
    EXPECT_EQ(Format(KTime(kMin), 5, 6, 1), "- ---");
    EXPECT_EQ(Format(KTimeInfinite, 6, 6, 1), "  --- (--)");
    EXPECT_EQ(Format(KTimeMinusInfinite, 6, 6, 1), "- --- (--)");
    EXPECT_EQ(Format(oneAndHalf, 0, 6, 1), "");
    EXPECT_EQ(Format(oneAndHalf, 7, 6, 1), "");
    // 64-bit counts print in full.
    EXPECT_EQ(Format(KTime(kMax - 1), 1, 12, 1), "199699919548");
    EXPECT_EQ(Format(KTime(kMax - 1), 6, 12, 7), "199699919548 (51)");
    EXPECT_EQ(Format(KTime(-9000000000000000000), 4, 12, 1), "- 194863577957");
}

TEST(KTimeText, HoursMinutesSecondsForm) {
    const KTime oneAndHalf(kFrame30 + kFrame30 / 2);
    EXPECT_EQ(Format(oneAndHalf, 4, 6, 0), "000:00:00.01");
    EXPECT_EQ(Format(oneAndHalf, 5, 6, 0), "000:00:00.01*");
    EXPECT_EQ(Format(oneAndHalf, 6, 6, 0), "000:00:00.01 (50)");
    const KTime code = Compose(1, 2, 3, 4, 0, 6);
    EXPECT_EQ(Format(code, 1, 6, 0), "001");
    EXPECT_EQ(Format(code, 2, 6, 0), "001:02");
    EXPECT_EQ(Format(code, 3, 6, 0), "001:02:03");
    EXPECT_EQ(Format(code, 5, 6, 0), "001:02:03.04");
    EXPECT_EQ(Format(KTime(-kFrame30), 4, 6, 0), "-01:59:59.29");
    EXPECT_EQ(Format(KTime(-KTime::kTicksPerHour * 12), 1, 6, 0), "-12");
    EXPECT_EQ(Format(KTimeInfinite, 5, 6, 0), "---:--:--.--");
    EXPECT_EQ(Format(KTimeMinusInfinite, 5, 6, 0), "- ---:--:--.--");
    EXPECT_EQ(Format(KTimeInfinite, 6, 6, 0), "---:--:--.-- (--)");
    EXPECT_EQ(Format(KTime(kMin), 6, 6, 0), "- ---:--:--.-- (--)");
    EXPECT_EQ(Format(KTimeInfinite, 1, 6, 0), "55472");
    EXPECT_EQ(Format(code, 4, 14, 0), "");  // unknown mode
    EXPECT_EQ(Format(code, 9, 6, 0), "");
    EXPECT_EQ(Format(Compose(0, 1, 0, 2, 0, 8), 4, 8, 0), "000:01:00.02");
}

TEST(KTimeText, PrintingStaysInsideTheBuffer) {
    char small[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    KTime(kMax - 1).FormatTimeString(small, 5, 6, 12, 1);
    EXPECT_STREQ(small, "1996");
    EXPECT_EQ(small[5], 'x');
    EXPECT_EQ(KTime().FormatTimeString(nullptr, 10, 4, 6, 0), nullptr);
    char one = 'x';
    KTime().FormatTimeString(&one, 1, 4, 6, 0);
    EXPECT_EQ(one, '\0');
    // The longest texts fit the advertised size.
    EXPECT_LT(Format(KTime(kMin + 2), 6, 12, 1).size(), KTime::kTimeStringSize);
    EXPECT_LT(Format(KTime(kMin + 2), 6, 12, 0).size(), KTime::kTimeStringSize);
}

// --- Text: parsing ----------------------------------------------------------

TEST(KTimeText, ParseHoursMinutesSeconds) {
    EXPECT_EQ(Parse("12", 6, 0), Compose(0, 0, 12, 0, 0, 6));
    EXPECT_EQ(Parse("1:2", 6, 0), Compose(0, 1, 2, 0, 0, 6));
    EXPECT_EQ(Parse("1:2:3.4", 6, 0), Compose(1, 2, 3, 4, 0, 6));
    EXPECT_EQ(Parse("1;2;3.4", 6, 0), Compose(1, 2, 3, 4, 0, 6));
    EXPECT_EQ(Parse(".4", 6, 0), Compose(0, 0, 0, 4, 0, 6));
    EXPECT_EQ(Parse("3.4", 0, 0), Compose(0, 0, 3, 4, 0, 6));
    EXPECT_EQ(Parse("000:00:00.01 (50)", 6, 0).Get(), kFrame30 + kFrame30 / 2);
    EXPECT_EQ(Parse("1.2.5", 6, 0).Get(), Compose(0, 0, 1, 2, 0, 6).Get() + kFrame30 / 2);  // '5' is 50 hundredths
    EXPECT_EQ(Parse("1.2.05", 6, 0).Get(), Compose(0, 0, 1, 2, 0, 6).Get() + (5 * kFrame30 + 99) / 100);
    EXPECT_EQ(Parse("1.2.123", 6, 0).Get(), Compose(0, 0, 1, 2, 0, 6).Get() + (12 * kFrame30 + 99) / 100);
    EXPECT_EQ(Parse("0:1:0.0", 7, 0), Compose(0, 1, 0, 2, 0, 7));  // drop frame
    EXPECT_EQ(Parse("abc", 6, 0).Get(), 0);                           // as atoi: no digits read 0
    // A printed code reads back.
    const KTime code = Compose(2, 3, 4, 5, 0, 10);
    EXPECT_EQ(Parse(Format(code, 4, 10, 0).c_str(), 10, 0), code);
}

TEST(KTimeText, ParseFrameCount) {
    EXPECT_EQ(Parse("25", 6, 1).Get(), 25 * kFrame30);
    EXPECT_EQ(Parse("25", 6, 2).Get(), 25 * kFrame30);
    EXPECT_EQ(Parse("-25", 6, 1).Get(), -25 * kFrame30);
    EXPECT_EQ(Parse(" +25", 6, 1).Get(), 25 * kFrame30);
    EXPECT_EQ(Parse("1 (50)", 6, 1).Get(), kFrame30 + kFrame30 / 2);
    EXPECT_EQ(Parse("1.5", 6, 1).Get(), kFrame30 + kFrame30 / 2);
    EXPECT_EQ(Parse("1.05", 6, 1).Get(), kFrame30 + (5 * kFrame30 + 99) / 100);
    EXPECT_EQ(Parse(".5", 6, 1).Get(), kFrame30 / 2);
    EXPECT_EQ(Parse("(25)", 6, 1).Get(), (25 * kFrame30 + 99) / 100);
    EXPECT_EQ(Parse("-0.5", 6, 1).Get(), -kFrame30 / 2);  // half a frame before 0
    EXPECT_EQ(Parse("-0", 6, 1).Get(), 0);
    EXPECT_EQ(Parse("10", 12, 1).Get(), 10 * 46186158);
    // 64-bit counts read in full.
    EXPECT_EQ(Parse("199699919548", 12, 1).Get(), std::int64_t{199699919548} * 46186158);
    EXPECT_EQ(Parse("-194863577957", 12, 1).Get(), std::int64_t{-194863577957} * 46186158);
    // Printed counts read back.
    const KTime t(-77 * kFrame30);
    EXPECT_EQ(Parse(Format(t, 5, 6, 1).c_str(), 6, 1), t);
    const KTime u(1234 * std::int64_t{1847446320} + 1847446320 / 4);
    EXPECT_EQ(Parse(Format(u, 6, 10, 1).c_str(), 10, 1).Get(), u.Get());
}

TEST(KTimeText, UnreadableTextsLeaveTheTimeUnchanged) {
    EXPECT_EQ(Parse("", 6, 1).Get(), 123);
    EXPECT_EQ(Parse("", 6, 0).Get(), 123);
    EXPECT_EQ(Parse(nullptr, 6, 1).Get(), 123);
    EXPECT_EQ(Parse("123456789012345678", 6, 1).Get(), 123);  // 18 chars, but too many ticks
    EXPECT_EQ(Parse("000000000000000012", 6, 1).Get(), 12 * kFrame30);               // 18 chars: read
    EXPECT_EQ(Parse("0000000000000000012", 6, 1).Get(), 123);                        // 19 chars
    EXPECT_EQ(Parse("0:0:0:0:0:0:0:0:10", 6, 0).Get(), 0);                           // 18 chars
    EXPECT_EQ(Parse("000:0:0:0:0:0:0:0:1", 6, 0).Get(), 123);                        // 19 chars
    EXPECT_EQ(Parse("abc", 6, 1).Get(), 123);
    EXPECT_EQ(Parse("- 5", 6, 1).Get(), 123);
    EXPECT_EQ(Parse("5", 14, 1).Get(), 123);
    EXPECT_EQ(Parse("5", -1, 0).Get(), 123);
    // Numbers that overflow: refused instead of wrapping.
    EXPECT_EQ(Parse("99999999999999999", 6, 1).Get(), 123);
    EXPECT_EQ(Parse("9999999999999999999", 6, 1).Get(), 123);
    EXPECT_EQ(Parse("99999999999:0:0.0", 6, 0).Get(), 123);
    EXPECT_EQ(Parse("2147483647:0:0.0", 6, 0).Get(), 123);
    EXPECT_EQ(Parse("1 (99999999999)", 6, 1).Get(), 123);
    // The caller's text is read, never written.
    const char text[] = "1:2:3.4 (5)";
    KTime t;
    t.ParseTimeString(text, 6, 0);
    EXPECT_STREQ(text, "1:2:3.4 (5)");
}

TEST(KTimeText, EveryShortTextOfSeparatorsAndDigitsIsHandled) {
    // Exhaustive over a small alphabet: whatever is read, it is read without
    // overflow (the sanitizer build checks) and only well-formed parts count.
    const char alphabet[] = "09-+.:;() ";
    const int n = sizeof alphabet - 1;
    char text[5] = {};
    int changed = 0;
    for (int code = 0; code < n * n * n * n; ++code) {
        int rest = code;
        for (int i = 0; i < 4; ++i, rest /= n) text[i] = alphabet[rest % n];
        for (int form : {0, 1}) {
            for (int mode : {6, 8, 12}) {
                KTime t(kMin);
                t.ParseTimeString(text, mode, form);
                if (t.Get() != kMin) ++changed;
                char out[KTime::kTimeStringSize];
                t.FormatTimeString(out, sizeof out, 6, mode, form);
            }
        }
    }
    EXPECT_GT(changed, 0);
}
