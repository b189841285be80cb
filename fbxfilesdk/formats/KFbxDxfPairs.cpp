#include <fbxfilesdk/formats/KFbxDxfPairs.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

namespace fbxsdk_2006_11_1 {

namespace {

inline std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Where the line that starts at position ends: its first CR or LF, or the
// text's end. Lines are short: a plain scan beats a search for either.
inline std::size_t LineEnd(const char* text, std::size_t size, std::size_t position) {
    while (position < size && text[position] != '\n' && text[position] != '\r') {
        ++position;
    }
    return position;
}

// Where the next line starts, after the ending at end (CR LF taken as one).
inline std::size_t NextLineStart(const char* text, std::size_t size, std::size_t end) {
    if (end >= size) {
        return size;
    }
    return text[end] == '\r' && end + 1 < size && text[end + 1] == '\n' ? end + 2 : end + 1;
}

// The common form of a group code: blanks, then one to four digits, and
// nothing after them; false for anything else, which ToInt then reads.
bool SmallCode(std::string_view line, int& code) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ') {
        ++i;
    }
    if (i == line.size() || line.size() - i > 4) {
        return false;
    }
    int value = 0;
    for (; i < line.size(); ++i) {
        const unsigned digit = static_cast<unsigned char>(line[i]) - static_cast<unsigned>('0');
        if (digit > 9) {
            return false;
        }
        value = value * 10 + static_cast<int>(digit);
    }
    code = value;
    return true;
}

// Lines past the int range (files of many gigabytes) all count as the last.
int LineNumber(long long line) { return line < INT_MAX ? static_cast<int>(line) : INT_MAX; }

std::string LineError(long long line, const char* what) {
    std::string text = "Line ";
    text += std::to_string(line);
    text += ": ";
    text += what;
    return text;
}

}  // namespace

bool KFbxDxfPairs::ToDouble(std::string_view text, double& value) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double parsed = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

bool KFbxDxfPairs::ToInt(std::string_view text, int& value) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    // Up to nine digits, what vertex numbers and flags are, cannot overflow.
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (!digits.empty() && digits.size() <= 9) {
        int parsed = 0;
        std::size_t i = 0;
        for (; i < digits.size(); ++i) {
            const unsigned digit = static_cast<unsigned char>(digits[i]) - static_cast<unsigned>('0');
            if (digit > 9) {
                break;
            }
            parsed = parsed * 10 + static_cast<int>(digit);
        }
        if (i == digits.size()) {
            value = negative ? -parsed : parsed;
            return true;
        }
    }
    int parsed = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return false;
    }
    value = parsed;
    return true;
}

void KFbxDxfPairs::Reset(std::string_view text, bool forgetError) {
    mText = text;
    mEnd = std::string_view::npos;
    if (forgetError) {
        mError.clear();
    }
    mLastAt = std::string_view::npos;
}

KFbxDxfPairs::Position KFbxDxfPairs::Start() const {
    // A UTF-8 byte order mark before the first pair is no part of it.
    return {mText.substr(0, 3) == "\xEF\xBB\xBF" ? std::size_t{3} : std::size_t{0}, 0};
}

bool KFbxDxfPairs::Next(Position& position, KFbxDxfPair& pair) {
    const std::size_t at = position.mOffset;
    // Readers look at a pair before they take it: the second time is free.
    if (at == mLastAt) {
        pair = mLastPair;
        position = mLastNext;
        return true;
    }
    const char* const text = mText.data();
    const std::size_t size = mText.size();
    // The pairs end where a line is no pair: blocks read again and again
    // find that out once.
    if (at >= size || at >= mEnd) {
        return false;
    }
    const std::size_t codeEnd = LineEnd(text, size, at);
    const std::size_t valueAt = NextLineStart(text, size, codeEnd);
    const std::string_view codeLine(text + at, codeEnd - at);
    int code = 0;
    if (!SmallCode(codeLine, code) && !ToInt(codeLine, code)) {
        // Blank lines after the last pair end a drawing harmlessly.
        if (Trimmed(codeLine).empty() &&
            Trimmed(mText.substr(valueAt)).find_first_not_of("\r\n") == std::string_view::npos) {
            mEnd = at;
            return false;
        }
        if (mError.empty()) {
            mError = LineError(position.mLine + 1, "a group code was expected");
        }
        mEnd = at;
        return false;
    }
    if (valueAt >= size) {
        if (mError.empty()) {
            mError = LineError(position.mLine + 1, "the group code has no value line");
        }
        mEnd = at;
        return false;
    }
    const std::size_t valueEnd = LineEnd(text, size, valueAt);
    const std::size_t next = NextLineStart(text, size, valueEnd);
    // Field by field from the values themselves: a whole pair copied from
    // one just written would wait for the writes.
    const std::string_view value = Trimmed(std::string_view(text + valueAt, valueEnd - valueAt));
    const int line = LineNumber(position.mLine + 1);
    const long long nextLine = position.mLine + 2;
    mLastAt = at;
    mLastPair.mCode = code;
    mLastPair.mValue = value;
    mLastPair.mLine = line;
    mLastNext.mOffset = next;
    mLastNext.mLine = nextLine;
    pair.mCode = code;
    pair.mValue = value;
    pair.mLine = line;
    position.mOffset = next;
    position.mLine = nextLine;
    return true;
}

}  // namespace fbxsdk_2006_11_1
