#include <fbxfilesdk/formats/KFbxDxfPairs.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

namespace fbxsdk_2006_11_1 {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The next line from position on, without its ending; false at the end.
bool NextLine(std::string_view text, std::size_t& position, std::string_view& line) {
    const std::size_t size = text.size();
    if (position >= size) {
        return false;
    }
    // Lines are short: a plain scan beats a search for either ending.
    std::size_t end = position;
    while (end < size && text[end] != '\n' && text[end] != '\r') {
        ++end;
    }
    line = text.substr(position, end - position);
    position = end + 1;
    if (end < size && text[end] == '\r' && position < size && text[position] == '\n') {
        ++position;
    }
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
    // Readers look at a pair before they take it: the second time is free.
    if (position.mOffset == mLastAt && mLastAt != std::string_view::npos) {
        pair = mLastPair;
        position = mLastNext;
        return true;
    }
    const std::size_t at = position.mOffset;
    std::size_t offset = position.mOffset;
    std::string_view codeLine;
    if (!NextLine(mText, offset, codeLine)) {
        return false;
    }
    int code = 0;
    if (!ToInt(codeLine, code)) {
        // Blank lines after the last pair end a drawing harmlessly.
        if (Trimmed(codeLine).empty() &&
            Trimmed(mText.substr(offset)).find_first_not_of("\r\n") == std::string_view::npos) {
            return false;
        }
        if (mError.empty()) {
            mError = LineError(position.mLine + 1, "a group code was expected");
        }
        return false;
    }
    std::string_view valueLine;
    if (!NextLine(mText, offset, valueLine)) {
        if (mError.empty()) {
            mError = LineError(position.mLine + 1, "the group code has no value line");
        }
        return false;
    }
    pair = {code, Trimmed(valueLine), LineNumber(position.mLine + 1)};
    position = {offset, position.mLine + 2};
    mLastAt = at;
    mLastPair = pair;
    mLastNext = position;
    return true;
}

}  // namespace fbxsdk_2006_11_1
