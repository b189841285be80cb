#include <fbxfilesdk/formats/ObjNumbers.h>

#include <fbxfilesdk/formats/ObjStatementReader.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace fbxsdk_2006_11_1 {

ObjNumber ObjReadDouble(std::string_view& text, double& value) {
    std::size_t at = 0;
    while (at < text.size() && ObjIsBlank(text[at])) ++at;
    const char* first = text.data() + at;
    const char* last = text.data() + text.size();
    // from_chars takes no plus sign.
    if (first < last && *first == '+' && first + 1 < last && *(first + 1) != '-') ++first;
    double read = 0.0;
    const auto [end, error] = std::from_chars(first, last, read);
    if (end == first) return ObjNumber::eNone;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    if (error != std::errc() || !std::isfinite(read)) {
        // Beyond the range, or nan and inf: nothing a coordinate can hold.
        value = 0.0;
        return ObjNumber::eNotFinite;
    }
    value = read;
    return ObjNumber::eRead;
}

int ObjReadDoubles(std::string_view text, double* values, int count, bool& notFinite) {
    int read = 0;
    while (read < count) {
        const ObjNumber number = ObjReadDouble(text, values[read]);
        if (number == ObjNumber::eNone) break;
        if (number == ObjNumber::eNotFinite) notFinite = true;
        ++read;
    }
    return read;
}

bool ObjReadInt(std::string_view text, int& value) {
    // Face corners are most of a file: their numbers are read by hand.
    std::size_t at = 0;
    while (at < text.size() && ObjIsBlank(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    const std::size_t first = at;
    std::int64_t number = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        number = number * 10 + (text[at++] - '0');
        if (number > static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1) return false;
    }
    if (at == first) return false;
    if (negative) number = -number;
    if (number > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(number);
    return true;
}

void ObjAppendNumber(std::string& line, double value, int& notFinite) {
    if (!std::isfinite(value)) {
        ++notFinite;
        value = 0.0;
    }
    if (value == 0.0) value = 0.0;
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    line += ' ';
    line.append(digits, end);
}

}  // namespace fbxsdk_2006_11_1
