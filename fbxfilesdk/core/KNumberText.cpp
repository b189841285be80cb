#include <fbxfilesdk/core/KNumberText.h>

#include <charconv>
#include <climits>
#include <cstring>
#include <limits>
#include <system_error>

namespace fbxsdk_2006_11_1 {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Past any blanks and one sign; tells whether the sign was '-'.
const char* SkipBlanksAndSign(const char* text, bool& negative) {
    while (IsBlank(*text)) {
        ++text;
    }
    negative = *text == '-';
    if (*text == '+' || *text == '-') {
        ++text;
    }
    return text;
}

// Room for any double printed in fixed notation with up to kMaxDecimals decimals.
constexpr int kMaxDecimals = 40;
constexpr int kFixedTextSize = 310 + kMaxDecimals + 8;

}  // namespace

bool ReadLeadingDouble(const char* text, double& value, const char** end) {
    value = 0.0;
    if (end != nullptr) {
        *end = text;
    }
    if (text == nullptr) {
        return false;
    }
    bool negative = false;
    const char* p = SkipBlanksAndSign(text, negative);
    // from_chars takes no sign of its own here: the sign was read above.
    if (*p == '+' || *p == '-') {
        return false;
    }
    const char* last = p + std::strlen(p);
    double magnitude = 0.0;
    const std::from_chars_result result = std::from_chars(p, last, magnitude, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument) {
        return false;
    }
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: tell which by the exponent's sign.
        bool tiny = false;
        for (const char* q = p; q < result.ptr; ++q) {
            if ((*q == 'e' || *q == 'E') && q + 1 < result.ptr && q[1] == '-') {
                tiny = true;
            }
        }
        magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    value = negative ? -magnitude : magnitude;
    if (end != nullptr) {
        *end = result.ptr;
    }
    return true;
}

bool ReadLeadingInt(const char* text, int& value) {
    value = 0;
    if (text == nullptr) {
        return false;
    }
    bool negative = false;
    const char* p = SkipBlanksAndSign(text, negative);
    if (*p < '0' || *p > '9') {
        return false;
    }
    long long magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude <= static_cast<long long>(INT_MAX) + 1) {
            magnitude = magnitude * 10 + (*p - '0');
        }
    }
    const long long signedValue = negative ? -magnitude : magnitude;
    value = signedValue > INT_MAX ? INT_MAX : signedValue < INT_MIN ? INT_MIN : static_cast<int>(signedValue);
    return true;
}

int FormatFixed(char* buffer, int size, double value, int decimals) {
    if (buffer == nullptr || size < 1) {
        return 0;
    }
    decimals = decimals < 0 ? 0 : decimals > kMaxDecimals ? kMaxDecimals : decimals;
    char text[kFixedTextSize];
    const std::to_chars_result result =
        std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed, decimals);
    int length = result.ec == std::errc() ? static_cast<int>(result.ptr - text) : 0;
    if (length > size - 1) {
        length = size - 1;
    }
    std::memcpy(buffer, text, static_cast<std::size_t>(length));
    buffer[length] = '\0';
    return length;
}

}  // namespace fbxsdk_2006_11_1
