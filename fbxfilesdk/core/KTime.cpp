#include <fbxfilesdk/core/KTime.h>

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace fbxsdk_2006_11_1 {

namespace {

// Time codes are composed in 128 bits so that no 32-bit part, however large,
// can overflow on the way; only the final tick count has to fit.
__extension__ typedef __int128 Wide;

constexpr std::int64_t kMaxTicks = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMinTicks = std::numeric_limits<std::int64_t>::min();

// How a mode counts: the length of one frame, the frames numbered in one
// second of its time code, whether frames split into two fields, and whether
// the numbering drops frames 0 and 1 at the start of most minutes.
struct ModeCounting {
    std::int64_t ticksPerFrame;
    int framesPerSecond;
    bool hasFields;
    bool dropFrame;
};

constexpr ModeCounting kCounting[KTime::eTimeModeCount] = {
    {0, 0, false, false},  // the default mode is resolved before any lookup
    {384884650, 120, false, false},
    {461861580, 100, false, false},
    {769769300, 60, false, false},
    {923723160, 50, false, false},
    {962211625, 48, false, false},
    {1539538600, 30, true, false},
    {1539538600, 30, true, true},
    {1541078334, 30, true, true},
    {1541078334, 30, true, false},
    {1847446320, 25, true, false},
    {1924423250, 24, false, false},
    {46186158, 1000, false, false},
    {1926349600, 24, true, true},
};

constexpr int kDefaultTimeMode = KTime::eFrames30;
constexpr int kDefaultStringForm = KTime::eFrameCountForm;

const ModeCounting* FindCounting(int mode) {
    if (mode == KTime::eDefaultMode) mode = kDefaultTimeMode;
    if (mode < 1 || mode >= KTime::eTimeModeCount) return nullptr;
    return &kCounting[mode];
}

const KTimeModeInfo* FindRow(int mode) {
    if (mode == KTime::eDefaultMode) mode = kDefaultTimeMode;
    for (const KTimeModeInfo& row : KTimeModeInfoTable()) {
        if (row.mTimeMode == mode) return &row;
    }
    return nullptr;
}

// Frame counts of the drop-frame numbering: a minute numbered with all its
// frames, a minute that skips two numbers, and ten minutes (one whole minute
// and nine short ones).
struct DropFrameCounts {
    std::int64_t wholeMinute;
    std::int64_t shortMinute;
    std::int64_t block;
};

constexpr DropFrameCounts DropCounts(const ModeCounting& counting) {
    const std::int64_t whole = 60 * std::int64_t{counting.framesPerSecond};
    return {whole, whole - 2, 10 * whole - 18};
}

Wide FloorDiv(Wide a, Wide b) {
    Wide q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

bool FitsTicks(Wide value) { return value >= kMinTicks && value <= kMaxTicks; }

Wide ComposeTicks(const ModeCounting& c, std::int64_t hours, std::int64_t minutes, std::int64_t seconds,
                  std::int64_t frame, std::int64_t field) {
    const Wide perFrame = c.ticksPerFrame;
    const Wide perField = c.ticksPerFrame / 2;
    const Wide fps = c.framesPerSecond;
    if (c.dropFrame) {
        const DropFrameCounts d = DropCounts(c);
        // Floor, so that negative minutes count back from the hour as split times do.
        const Wide tens = FloorDiv(minutes, 10);
        const Wide minuteInBlock = Wide(minutes) - tens * 10;
        Wide framesInBlock;
        if (minuteInBlock == 0) {
            framesInBlock = Wide(seconds) * fps + frame;
        } else {
            // Numbers 0 and 1 of second 0 do not exist in this minute: they
            // stand for the minute's first real frame, number 2.
            const Wide inMinute = seconds == 0 ? (frame > 2 ? Wide(frame) - 2 : Wide(0))
                                               : fps * seconds + frame - 2;
            framesInBlock = d.wholeMinute + (minuteInBlock - 1) * d.shortMinute + inMinute;
        }
        return ((Wide(hours) * 6 + tens) * (2 * d.block) + field) * perField + framesInBlock * perFrame;
    }
    const Wide totalSeconds = (Wide(hours) * 60 + minutes) * 60 + seconds;
    if (c.hasFields) return ((totalSeconds * fps + frame) * 2 + field) * perField;
    return totalSeconds * KTime::kTicksPerSecond + Wide(frame) * perFrame;
}

// A part of a frame in hundredths, rounded up to whole ticks.
Wide ResidualTicks(const ModeCounting& c, std::int64_t residual) {
    if (residual == 0) return 0;
    return (Wide(residual) * c.ticksPerFrame + 99) / 100;
}

struct TimeCode {
    std::int64_t hours, minutes, seconds, frame, field, residual;
};

TimeCode SplitTicks(const ModeCounting& c, std::int64_t ticks) {
    const std::int64_t perFrame = c.ticksPerFrame;
    const std::int64_t fps = c.framesPerSecond;
    const DropFrameCounts d = DropCounts(c);
    const std::int64_t hourFrames = c.dropFrame ? 6 * d.block : 3600 * fps;
    const std::int64_t hourTicks = hourFrames * perFrame;

    // Floor division without forming hours * hourTicks, which can lie below
    // the 64-bit range for the most negative times.
    TimeCode code{};
    code.hours = ticks / hourTicks;
    std::int64_t rest = ticks % hourTicks;
    if (rest < 0) {
        rest += hourTicks;
        --code.hours;
    }

    const std::int64_t unit = c.hasFields ? perFrame / 2 : perFrame;
    const std::int64_t units = rest / unit;
    const std::int64_t below = rest % unit;
    std::int64_t frames = units;
    if (c.hasFields) {
        frames = units / 2;
        code.field = units % 2;
    }

    if (c.dropFrame) {
        const std::int64_t tens = frames / d.block;
        const std::int64_t inBlock = frames % d.block;
        const std::int64_t skipped = inBlock >= 2 ? (inBlock - 2) / d.shortMinute : 0;
        const std::int64_t numbered = inBlock + 2 * skipped;
        code.minutes = tens * 10 + numbered / d.wholeMinute;
        frames = numbered % d.wholeMinute;
    } else {
        code.minutes = frames / (60 * fps);
        frames %= 60 * fps;
    }
    code.seconds = frames / fps;
    code.frame = frames % fps;
    code.residual = below * 100 / perFrame + 50 * code.field;
    return code;
}

// --- Number reading ------------------------------------------------------

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

struct LeadingNumber {
    std::int64_t value = 0;
    bool hasDigits = false;
    bool negative = false;
    bool outOfRange = false;
};

// Reads the decimal number at the start of the text as the C library does
// (leading blanks, an optional sign, then digits), never past the text's end.
LeadingNumber ReadLeadingNumber(std::string_view text) {
    LeadingNumber number;
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    std::size_t end = i;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    if (end == i) return number;
    number.hasDigits = true;

    std::uint64_t magnitude = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + end, magnitude);
    const std::uint64_t limit = number.negative ? std::uint64_t{1} << 63 : std::uint64_t(kMaxTicks);
    if (result.ec != std::errc() || magnitude > limit) {
        number.outOfRange = true;
        return number;
    }
    number.value = number.negative ? std::int64_t(0 - magnitude) : std::int64_t(magnitude);
    return number;
}

// As atoi: no digits read as 0. A number beyond the int range is refused.
bool ReadInt(std::string_view text, std::int64_t& value) {
    const LeadingNumber number = ReadLeadingNumber(text);
    if (number.outOfRange || number.value < std::numeric_limits<int>::min() ||
        number.value > std::numeric_limits<int>::max()) {
        return false;
    }
    value = number.value;
    return true;
}

// Digits after a decimal point are hundredths: '5' is 50, '123' is 12.
std::int64_t AsHundredths(std::int64_t value, std::size_t textLength) {
    while (value >= 100 || value <= -100) value /= 10;
    if (textLength < 2) value *= 10;
    return value;
}

// The time code's ticks plus the residual's; false when they leave the 64-bit range.
bool ComposeTime(const ModeCounting& c, std::int64_t hours, std::int64_t minutes, std::int64_t seconds,
                 std::int64_t frame, std::int64_t field, std::int64_t residual, std::int64_t& ticks) {
    const Wide total =
        ComposeTicks(c, hours, minutes, seconds, frame, c.hasFields ? field : 0) + ResidualTicks(c, residual);
    if (!FitsTicks(total)) return false;
    ticks = std::int64_t(total);
    return true;
}

// hours:minutes:seconds.frames, every part optional, ':' or ';' between the
// first three; an extra '.part' and a '(residual)' add hundredths of a frame.
bool ParseHms(std::string_view text, const ModeCounting& c, std::int64_t& ticks) {
    std::int64_t residual = 0;
    const std::size_t paren = text.find('(');
    if (paren != std::string_view::npos) {
        if (!ReadInt(text.substr(paren + 1), residual)) return false;
        text = text.substr(0, paren);
    }

    char copy[KTime::kMaxParseLength + 2];
    std::memcpy(copy, text.data(), text.size());
    std::size_t length = text.size();
    copy[length++] = '.';
    int colons = 0;
    int dots = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (copy[i] == ':' || copy[i] == ';') ++colons;
        if (copy[i] == '.') {
            ++dots;
            copy[i] = ':';
        }
    }
    const std::string_view parts(copy, length);
    const bool startsWithSeparator = copy[0] == ':' || copy[0] == ';';

    // Empty parts between separators are skipped, so '.4' reads one number.
    std::size_t position = 0;
    auto nextPart = [&]() {
        const std::size_t start = parts.find_first_not_of(":;", position);
        if (start == std::string_view::npos) {
            position = parts.size();
            return std::string_view();
        }
        std::size_t end = parts.find_first_of(":;", start);
        if (end == std::string_view::npos) end = parts.size();
        position = end;
        return parts.substr(start, end - start);
    };
    bool readable = true;
    auto nextNumber = [&]() {
        std::int64_t value = 0;
        if (!ReadInt(nextPart(), value)) readable = false;
        return value;
    };

    std::int64_t hours = 0, minutes = 0, seconds = 0, frames = 0;
    if (colons > 1) hours = nextNumber();
    if (colons > 0) minutes = nextNumber();
    if (dots > 0 && !(startsWithSeparator && colons == 0)) seconds = nextNumber();
    if (dots > 1) frames = nextNumber();
    if (dots > 2) {
        const std::string_view part = nextPart();
        std::int64_t hundredths = 0;
        if (!ReadInt(part, hundredths)) return false;
        residual += AsHundredths(hundredths, part.size());
    }
    return readable && ComposeTime(c, hours, minutes, seconds, frames, 0, residual, ticks);
}

// A frame count, optionally followed by '.hundredths' or ' (hundredths)'.
bool ParseFrameCount(std::string_view text, const ModeCounting& c, std::int64_t& ticks) {
    std::size_t mark = text.find('(');
    const bool paren = mark != std::string_view::npos;
    if (!paren) mark = text.find('.');

    std::int64_t residual = 0;
    if (mark != std::string_view::npos) {
        const std::string_view after = text.substr(mark + 1);
        if (!ReadInt(after, residual)) return false;
        if (!paren) residual = AsHundredths(residual, after.size());
    }

    LeadingNumber count;
    if (mark != 0) {
        count = ReadLeadingNumber(text.substr(0, mark));
        if (!count.hasDigits || count.outOfRange) return false;
    }

    Wide total = Wide(count.value) * c.ticksPerFrame;
    // '-0.5' has lost its sign on the count: it means half a frame before 0.
    if (count.negative && count.value == 0) {
        total = -ResidualTicks(c, residual);
    } else {
        total += ResidualTicks(c, residual);
    }
    if (!FitsTicks(total)) return false;
    ticks = std::int64_t(total);
    return true;
}

// --- Printing ------------------------------------------------------------

bool IsMinusInfinite(std::int64_t ticks) { return ticks == kMinTicks || ticks == kMinTicks + 1; }

void FormatFrameCount(char* buffer, std::size_t size, int elements, std::int64_t ticks, std::int64_t count,
                      std::int64_t residual) {
    const bool infinite = ticks == kMaxTicks;
    const bool minusInfinite = IsMinusInfinite(ticks);
    const bool negative = ticks < 0;
    const std::int64_t n = count < 0 ? -count : count;
    if (elements >= 1 && elements <= 4) {
        if (infinite || minusInfinite) {
            std::snprintf(buffer, size, "---");
        } else {
            std::snprintf(buffer, size, negative ? "- %" PRId64 : "%" PRId64, n);
        }
    } else if (elements == 5) {
        if (infinite) {
            std::snprintf(buffer, size, "  ---");
        } else if (minusInfinite) {
            std::snprintf(buffer, size, "- ---");
        } else if (negative) {
            std::snprintf(buffer, size, residual != 0 ? "- %" PRId64 "*" : "-%" PRId64, n);
        } else {
            std::snprintf(buffer, size, residual != 0 ? "%" PRId64 "*" : "%" PRId64, n);
        }
    } else if (elements == 6) {
        if (infinite) {
            std::snprintf(buffer, size, "  --- (--)");
        } else if (minusInfinite) {
            std::snprintf(buffer, size, "- --- (--)");
        } else {
            std::snprintf(buffer, size, negative ? "- %" PRId64 " (%02" PRId64 ")" : "%" PRId64 " (%02" PRId64 ")",
                          n, residual);
        }
    }
}

void FormatHms(char* buffer, std::size_t size, int elements, std::int64_t ticks, const TimeCode& t) {
    const bool infinite = ticks == kMaxTicks;
    const bool minusInfinite = IsMinusInfinite(ticks);
    switch (elements) {
        case 1:
            std::snprintf(buffer, size, "%03" PRId64, t.hours);
            break;
        case 2:
            std::snprintf(buffer, size, "%03" PRId64 ":%02" PRId64, t.hours, t.minutes);
            break;
        case 3:
            std::snprintf(buffer, size, "%03" PRId64 ":%02" PRId64 ":%02" PRId64, t.hours, t.minutes, t.seconds);
            break;
        case 4:
        case 5:
            if (elements == 5 && infinite) {
                std::snprintf(buffer, size, "---:--:--.--");
            } else if (elements == 5 && minusInfinite) {
                std::snprintf(buffer, size, "- ---:--:--.--");
            } else {
                const bool marked = elements == 5 && t.residual != 0;
                std::snprintf(buffer, size,
                              marked ? "%03" PRId64 ":%02" PRId64 ":%02" PRId64 ".%02" PRId64 "*"
                                     : "%03" PRId64 ":%02" PRId64 ":%02" PRId64 ".%02" PRId64,
                              t.hours, t.minutes, t.seconds, t.frame);
            }
            break;
        case 6:
            if (infinite) {
                std::snprintf(buffer, size, "---:--:--.-- (--)");
            } else if (minusInfinite) {
                std::snprintf(buffer, size, "- ---:--:--.-- (--)");
            } else {
                std::snprintf(buffer, size, "%03" PRId64 ":%02" PRId64 ":%02" PRId64 ".%02" PRId64 " (%02" PRId64 ")",
                              t.hours, t.minutes, t.seconds, t.frame, t.residual);
            }
            break;
        default:
            break;
    }
    if (buffer[0] != '\0' && ticks < 0) buffer[0] = '-';
}

KTime Saturated(bool positive) { return positive ? KTimeInfinite : KTimeMinusInfinite; }

}  // namespace

// --- Arithmetic ----------------------------------------------------------

KTime KTime::operator+(const KTime& other) const {
    std::int64_t sum;
    if (__builtin_add_overflow(mTicks, other.mTicks, &sum)) return Saturated(other.mTicks > 0);
    return KTime(sum);
}

KTime KTime::operator-(const KTime& other) const {
    std::int64_t difference;
    if (__builtin_sub_overflow(mTicks, other.mTicks, &difference)) return Saturated(other.mTicks < 0);
    return KTime(difference);
}

KTime KTime::operator*(int factor) const { return *this * KTime(factor); }

KTime KTime::operator*(const KTime& other) const {
    std::int64_t product;
    if (__builtin_mul_overflow(mTicks, other.mTicks, &product)) return Saturated((mTicks < 0) == (other.mTicks < 0));
    return KTime(product);
}

KTime KTime::operator/(const KTime& other) const {
    if (other.mTicks == 0) return KTime(0);
    if (mTicks == kMinTicks && other.mTicks == -1) return KTimeInfinite;
    return KTime(mTicks / other.mTicks);
}

KTime KTimeAbs(const KTime& time) {
    const std::int64_t ticks = time.Get();
    if (ticks == kMinTicks) return KTimeInfinite;
    return KTime(ticks < 0 ? -ticks : ticks);
}

// --- Seconds -------------------------------------------------------------

double KTime::GetSecondDouble() const { return double(mTicks) / double(kTicksPerSecond); }

void KTime::SetSecondDouble(double seconds) {
    const double ticks = seconds * double(kTicksPerSecond);
    // 2^63 is exact in a double; every double below it converts safely.
    constexpr double kTwoTo63 = 9223372036854775808.0;
    if (ticks >= kTwoTo63) {
        mTicks = kMaxTicks;
    } else if (std::isnan(ticks) || ticks < -kTwoTo63) {
        mTicks = kMinTicks;
    } else {
        mTicks = std::int64_t(ticks);
    }
}

// --- Time codes ----------------------------------------------------------

void KTime::SetTime(int hours, int minutes, int seconds, int frame, int field, int mode) {
    SetTimeWithResidual(hours, minutes, seconds, frame, field, 0, mode);
}

void KTime::SetTimeWithResidual(int hours, int minutes, int seconds, int frame, int field, int residual, int mode) {
    const ModeCounting* counting = FindCounting(mode);
    if (counting) ComposeTime(*counting, hours, minutes, seconds, frame, field, residual, mTicks);
}

bool KTime::GetTime(std::int64_t& hours, std::int64_t& minutes, std::int64_t& seconds, std::int64_t& frame,
                    std::int64_t& field, std::int64_t& residual, int mode) const {
    const ModeCounting* counting = FindCounting(mode);
    if (!counting) return false;
    const TimeCode code = SplitTicks(*counting, mTicks);
    hours = code.hours;
    minutes = code.minutes;
    seconds = code.seconds;
    frame = code.frame;
    field = code.field;
    residual = code.residual;
    return true;
}

std::int64_t KTime::GetFrame(bool cumulative, int mode) const {
    const ModeCounting* counting = FindCounting(mode);
    if (!counting) return 0;
    if (cumulative) return mTicks / counting->ticksPerFrame;
    return SplitTicks(*counting, mTicks).frame;
}

std::int64_t KTime::GetResidual(int mode) const {
    const ModeCounting* counting = FindCounting(mode);
    if (!counting) return 0;
    return SplitTicks(*counting, mTicks).residual;
}

// --- Time modes ----------------------------------------------------------

double KTime::GetFrameRate(int mode) {
    const KTimeModeInfo* row = FindRow(mode);
    return row ? row->mFrameRate : 30.0;
}

int KTime::ConvertFrameRateToTimeMode(double rate, double tolerance) {
    for (int mode = 1; mode < eTimeModeCount; ++mode) {
        const double modeRate = GetFrameRate(mode);
        if (modeRate >= rate - tolerance && modeRate <= rate + tolerance) return mode;
    }
    return eDefaultMode;
}

int KTime::FindTimeModeByName(std::span<const KTimeModeInfo> table, const char* name) {
    if (!name) return eFrames30;
    for (const KTimeModeInfo& row : table) {
        if ((row.mShortName && std::strcmp(row.mShortName, name) == 0) ||
            (row.mLongName && std::strcmp(row.mLongName, name) == 0)) {
            return row.mTimeMode;
        }
    }
    return eFrames30;
}

int KTime::GetTimeModeFromName(const char* name) { return FindTimeModeByName(KTimeModeInfoTable(), name); }

const char* KTime::GetTimeModeName(int mode) {
    const KTimeModeInfo* row = FindRow(mode);
    return row ? row->mShortName : "";
}

int KTime::TimeModeToFileCode(int mode) {
    const KTimeModeInfo* row = FindRow(mode);
    return row ? row->mFileCode : 3;
}

int KTime::FileCodeToTimeMode(int code) {
    for (const KTimeModeInfo& row : KTimeModeInfoTable()) {
        if (row.mFileCode == code && row.mUsableForFileCode) return row.mTimeMode;
    }
    return eFrames30;
}

int KTime::GetGlobalTimeMode() { return kDefaultTimeMode; }

int KTime::GetGlobalStringForm() { return kDefaultStringForm; }

// --- Text ----------------------------------------------------------------

char* KTime::FormatTimeString(char* buffer, std::size_t bufferSize, int elementCount, int mode, int form) const {
    if (!buffer || bufferSize == 0) return buffer;
    buffer[0] = '\0';
    if (form == eDefaultForm) form = GetGlobalStringForm();
    if (form != eHmsForm) {
        FormatFrameCount(buffer, bufferSize, elementCount, mTicks, GetFrame(true, mode), GetResidual(mode));
        return buffer;
    }
    const ModeCounting* counting = FindCounting(mode);
    if (counting) FormatHms(buffer, bufferSize, elementCount, mTicks, SplitTicks(*counting, mTicks));
    return buffer;
}

void KTime::ParseTimeString(const char* text, int mode, int form) {
    if (!text) return;
    const std::size_t length = strnlen(text, kMaxParseLength + 1);
    if (length == 0 || length > kMaxParseLength) return;
    const ModeCounting* counting = FindCounting(mode);
    if (!counting) return;
    if (form == eDefaultForm) form = GetGlobalStringForm();

    const std::string_view view(text, length);
    std::int64_t ticks = 0;
    const bool read = form == eHmsForm ? ParseHms(view, *counting, ticks) : ParseFrameCount(view, *counting, ticks);
    if (read) mTicks = ticks;
}

}  // namespace fbxsdk_2006_11_1
