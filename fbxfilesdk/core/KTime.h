// The SDK's time value: a signed 64-bit count of ticks, 46186158000 to the
// second, so that every supported frame rate and each of its fields is a whole
// number of ticks. Around it: the time modes (frame rates), time codes in each
// mode (drop-frame numbering included), and the two text forms that the SDK
// writes and reads.
//
// Mode arguments are plain ints so that values read from files can be passed
// as they are: 0 means the process-wide default mode, and anything outside 1
// to 13 is refused (the time is left unchanged, or a neutral result comes
// back). Nothing here allocates.
#ifndef FBXFILESDK_CORE_KTIME_H
#define FBXFILESDK_CORE_KTIME_H

#include <fbxfilesdk/core/KTimeModeInfo.h>

#include <compare>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>

namespace fbxsdk_2006_11_1 {

class KTime {
public:
    enum ETimeMode {
        eDefaultMode = 0,
        eFrames120 = 1,
        eFrames100 = 2,
        eFrames60 = 3,
        eFrames50 = 4,
        eFrames48 = 5,
        eFrames30 = 6,
        eFrames30Drop = 7,
        eNtscDropFrame = 8,
        eNtscFullFrame = 9,
        ePal = 10,
        eFrames24 = 11,
        eFrames1000 = 12,
        eFrames23976 = 13,
        eTimeModeCount = 14
    };

    // String forms: hours:minutes:seconds.frames, or a frame count; any value
    // other than these three counts as the frame-count form.
    enum EStringForm { eHmsForm = 0, eFrameCountForm = 1, eDefaultForm = 2 };

    static constexpr std::int64_t kTicksPerSecond = 46186158000;
    static constexpr std::int64_t kTicksPerMinute = kTicksPerSecond * 60;
    static constexpr std::int64_t kTicksPerHour = kTicksPerMinute * 60;

    // Texts longer than this are refused by ParseTimeString.
    static constexpr std::size_t kMaxParseLength = 18;
    // Room for every text FormatTimeString writes, terminator included.
    static constexpr std::size_t kTimeStringSize = 64;

    constexpr KTime() : mTicks(0) {}
    constexpr explicit KTime(std::int64_t ticks) : mTicks(ticks) {}

    constexpr std::int64_t Get() const { return mTicks; }
    constexpr void Set(std::int64_t ticks) { mTicks = ticks; }

    // Sums, differences and products that leave the 64-bit range saturate to
    // the infinite or minus-infinite time.
    KTime operator+(const KTime& other) const;
    KTime operator-(const KTime& other) const;
    KTime operator*(int factor) const;
    // The product of the two tick counts.
    KTime operator*(const KTime& other) const;
    // Tick count by tick count, truncated towards zero. A zero divisor gives 0.
    KTime operator/(const KTime& other) const;

    bool operator==(const KTime& other) const = default;
    std::strong_ordering operator<=>(const KTime& other) const = default;

    double GetSecondDouble() const;
    // Truncates towards zero. Above the 64-bit range the result is the
    // infinite time; below it, or for NaN, the most negative tick count.
    void SetSecondDouble(double seconds);

    // Sets the time from a time code of the mode. A mode outside the table,
    // or a code whose time does not fit in 64 bits, leaves the time unchanged.
    // Modes without fields ignore the field.
    void SetTime(int hours, int minutes, int seconds, int frame, int field = 0, int mode = eDefaultMode);
    // As SetTime, plus a part of a frame in hundredths (rounded up to a tick).
    void SetTimeWithResidual(int hours, int minutes, int seconds, int frame, int field, int residual,
                             int mode = eDefaultMode);

    // Splits the time into a time code of the mode. Negative times give
    // negative hours and non-negative other parts. The residual is in
    // hundredths of a frame; the second field of a frame shows as 50 or more.
    // False, writing nothing, for a mode outside the table.
    bool GetTime(std::int64_t& hours, std::int64_t& minutes, std::int64_t& seconds, std::int64_t& frame,
                 std::int64_t& field, std::int64_t& residual, int mode = eDefaultMode) const;

    // Cumulative: whole frames since time 0, truncated towards zero.
    // Otherwise the frame part of the time code. 0 for a mode outside the table.
    std::int64_t GetFrame(bool cumulative, int mode = eDefaultMode) const;
    std::int64_t GetResidual(int mode = eDefaultMode) const;

    // The rate of the mode's row; 30.0 when it has none (the 1000 fps mode too).
    static double GetFrameRate(int mode);
    // The first mode from 1 to 13 whose rate is within rate +/- tolerance; 0 when none.
    static int ConvertFrameRateToTimeMode(double rate, double tolerance);
    // The mode of the first row whose short or long name equals the text
    // exactly; eFrames30 when none.
    static int FindTimeModeByName(std::span<const KTimeModeInfo> table, const char* name);
    static int GetTimeModeFromName(const char* name);
    // The short name; "" when the mode has no row.
    static const char* GetTimeModeName(int mode);
    // 3 when the mode has no row.
    static int TimeModeToFileCode(int mode);
    // The first usable row with that code; eFrames30 when none.
    static int FileCodeToTimeMode(int code);

    static int GetGlobalTimeMode();
    static int GetGlobalStringForm();

    // Writes the time as text of 1 to 6 elements into buffer (always
    // terminated, cut at bufferSize - 1 characters) and returns buffer. Other
    // element counts, and a mode outside the table in the hours form, give "".
    char* FormatTimeString(char* buffer, std::size_t bufferSize, int elementCount, int mode, int form) const;
    // Sets the time from a text of either form. An empty text, one longer
    // than kMaxParseLength, or one that cannot be read leaves it unchanged.
    void ParseTimeString(const char* text, int mode, int form);

private:
    std::int64_t mTicks;
};

static_assert(sizeof(KTime) == 8, "a time is stored as exactly one 64-bit tick count");

inline constexpr KTime KTimeInfinite{std::numeric_limits<std::int64_t>::max()};
inline constexpr KTime KTimeMinusInfinite{std::numeric_limits<std::int64_t>::min() + 1};

// The most negative tick count gives the infinite time.
KTime KTimeAbs(const KTime& time);

}  // namespace fbxsdk_2006_11_1

#endif
