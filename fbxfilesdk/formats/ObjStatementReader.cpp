#include <fbxfilesdk/formats/ObjStatementReader.h>

#include <algorithm>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr std::size_t kBlockSize = 1 << 16;

}  // namespace

bool ObjIsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view ObjTrim(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && ObjIsBlank(text[begin])) ++begin;
    std::size_t end = text.size();
    while (end > begin && ObjIsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string_view ObjNextToken(std::string_view text, std::size_t& at) {
    while (at < text.size() && ObjIsBlank(text[at])) ++at;
    const std::size_t begin = at;
    while (at < text.size() && !ObjIsBlank(text[at])) ++at;
    return text.substr(begin, at - begin);
}

void ObjSplit(std::string_view text, std::vector<std::string_view>& tokens) {
    tokens.clear();
    std::size_t at = 0;
    for (std::string_view token; !(token = ObjNextToken(text, at)).empty();) tokens.push_back(token);
}

std::string_view ObjFirstWord(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && ObjIsBlank(text[begin])) ++begin;
    std::size_t end = begin;
    while (end < text.size() && !ObjIsBlank(text[end])) ++end;
    return text.substr(begin, end - begin);
}

ObjStatementReader::ObjStatementReader(std::FILE* stream, bool joinContinuations)
    : mStream(stream), mJoin(joinContinuations), mBlock(kBlockSize) {
    const long at = stream != nullptr ? std::ftell(stream) : -1;
    mBase = at > 0 ? at : 0;
}

bool ObjStatementReader::Rewind() {
    mStart = mEnd = 0;
    mAtEnd = mFailed = mTooLong = mAfterCr = false;
    mLine = 0;
    mBase = 0;
    if (mStream == nullptr) return false;
    std::rewind(mStream);
    return true;
}

bool ObjStatementReader::Refill() {
    if (mAtEnd || mTooLong || mStream == nullptr) return false;
    if (mStart > 0) {
        std::memmove(mBlock.data(), mBlock.data() + mStart, mEnd - mStart);
        mBase += static_cast<std::int64_t>(mStart);
        mEnd -= mStart;
        mStart = 0;
    }
    if (mEnd == mBlock.size()) {
        // The line is longer than the block: the block grows with it, as the
        // data asks and no further than the longest line allowed.
        if (mBlock.size() >= kMaxLine) {
            mTooLong = true;
            return false;
        }
        mBlock.resize(std::min(mBlock.size() * 2, kMaxLine));
    }
    const std::size_t got = std::fread(mBlock.data() + mEnd, 1, mBlock.size() - mEnd, mStream);
    mEnd += got;
    if (got == 0) {
        mAtEnd = true;
        mFailed = std::ferror(mStream) != 0;
        return false;
    }
    return true;
}

bool ObjStatementReader::NextLine(std::string_view& line) {
    std::size_t scanned = 0;
    for (;;) {
        if (mAfterCr && mStart < mEnd) {
            if (mBlock[mStart] == '\n') ++mStart;
            mAfterCr = false;
        }
        const char* data = mBlock.data();
        std::size_t at = mStart + scanned;
        while (at < mEnd && data[at] != '\n' && data[at] != '\r') ++at;
        if (at < mEnd) {
            line = std::string_view(data + mStart, at - mStart);
            mAfterCr = data[at] == '\r';
            mStart = at + 1;
            ++mLine;
            return true;
        }
        scanned = mEnd - mStart;
        const bool crPending = mAfterCr;
        if (!Refill()) {
            if (crPending) mAfterCr = false;
            if (mStart == mEnd || mTooLong) return false;
            // A last line without line end.
            line = std::string_view(mBlock.data() + mStart, mEnd - mStart);
            mStart = mEnd;
            ++mLine;
            return true;
        }
    }
}

bool ObjStatementReader::Next(ObjStatement& statement) {
    std::string_view line;
    for (;;) {
        if (!NextLine(line)) return false;
        line = ObjTrim(line);
        if (!line.empty()) break;
    }
    statement.mLine = mLine;
    std::size_t keywordEnd = 0;
    while (keywordEnd < line.size() && keywordEnd < kMaxKeyword && !ObjIsBlank(line[keywordEnd])) ++keywordEnd;
    std::string_view rest = ObjTrim(line.substr(keywordEnd));
    if (mJoin && !rest.empty() && rest.back() == '\\') {
        // The joined text lives apart from the block, which the next lines
        // may move; the keyword goes with it.
        mJoined.assign(line.data(), keywordEnd);
        mJoined.push_back(' ');
        const std::size_t restAt = mJoined.size();
        mJoined.append(rest);
        while (!mJoined.empty() && mJoined.back() == '\\') {
            mJoined.back() = ' ';
            std::string_view next;
            if (NextLine(next)) {
                if (next.size() >= kMaxLine - mJoined.size()) {
                    mTooLong = true;
                    return false;
                }
                mJoined.append(next);
            }
            if (mTooLong) return false;
            while (mJoined.size() > restAt && ObjIsBlank(mJoined.back())) mJoined.pop_back();
        }
        statement.mKeyword = std::string_view(mJoined.data(), keywordEnd);
        statement.mRest = ObjTrim(std::string_view(mJoined).substr(restAt));
        return true;
    }
    statement.mKeyword = line.substr(0, keywordEnd);
    statement.mRest = rest;
    return true;
}

}  // namespace fbxsdk_2006_11_1
