#include <fbxfilesdk/fbx/FieldNumberText.h>

#include <charconv>
#include <system_error>

namespace fbxsdk_2006_11_1 {

namespace {

template <typename Number>
int Format(char* out, Number value) {
    const auto result = std::to_chars(out, out + kNumberTextSize, value);
    return result.ec == std::errc() ? static_cast<int>(result.ptr - out) : 0;
}

template <typename Number>
bool Parse(const char* begin, const char* end, Number& value) {
    // from_chars refuses an explicit '+', which other writers may emit.
    if (begin < end && *begin == '+' && end - begin > 1 && begin[1] != '-') ++begin;
    if (begin >= end) return false;
    const auto result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

int FormatFieldInteger(char* out, std::int64_t value) { return Format(out, value); }
int FormatFieldDouble(char* out, double value) { return Format(out, value); }
int FormatFieldFloat(char* out, float value) { return Format(out, value); }

bool ParseFieldInteger(const char* begin, const char* end, std::int64_t& value) { return Parse(begin, end, value); }
bool ParseFieldDouble(const char* begin, const char* end, double& value) { return Parse(begin, end, value); }
bool ParseFieldFloat(const char* begin, const char* end, float& value) { return Parse(begin, end, value); }

}  // namespace fbxsdk_2006_11_1
