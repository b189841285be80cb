// Statements of Wavefront OBJ and MTL text: a keyword and the rest of its
// line. The stream is read in blocks; the block grows only as far as the
// longest line of the file needs, so a line is read whole and nothing is cut;
// a line of kMaxLine bytes or more (joined continuations counted) is no
// line of such a file and ends the reading (see TooLong), so that an endless
// input without line ends cannot take all memory. LF, CR and CR LF end
// lines; with continuations on, a line whose text ends in a backslash goes
// on with the next one.
#ifndef FBXFILESDK_FORMATS_OBJSTATEMENTREADER_H
#define FBXFILESDK_FORMATS_OBJSTATEMENTREADER_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace fbxsdk_2006_11_1 {

struct ObjStatement {
    // At most kMaxKeyword characters; longer words go on in the rest.
    std::string_view mKeyword;
    // Trimmed at both ends.
    std::string_view mRest;
    // 1-based number of the physical line the keyword is on.
    std::int64_t mLine = 0;
};

class ObjStatementReader {
public:
    static constexpr std::size_t kMaxKeyword = 20;
    // 16 MiB: a face of a million corners fits many times over.
    static constexpr std::size_t kMaxLine = std::size_t(1) << 24;

    // The stream stays the caller's; reading starts where it stands.
    ObjStatementReader(std::FILE* stream, bool joinContinuations);

    // The next statement; its texts stay valid until the next call. False
    // at the end of the stream (a last line without line end is still a
    // statement), when the stream reports an error (see Failed) or at a line
    // that is too long (see TooLong).
    bool Next(ObjStatement& statement);
    // Back to the start of the stream.
    bool Rewind();
    bool Failed() const { return mFailed; }
    bool TooLong() const { return mTooLong; }
    // The 1-based number of the physical line last reached.
    std::int64_t Line() const { return mLine; }
    // The stream offset of the first byte not yet handed out.
    std::int64_t Offset() const { return mBase + static_cast<std::int64_t>(mStart); }

private:
    // The next physical line without its line end; false at the end.
    bool NextLine(std::string_view& line);
    // Reads more of the stream behind what is left of the block; false when
    // nothing more came.
    bool Refill();

    std::FILE* mStream;
    bool mJoin;
    bool mAtEnd = false;
    bool mFailed = false;
    bool mTooLong = false;
    // A CR ended the last line: an LF right behind it belongs to it.
    bool mAfterCr = false;
    std::vector<char> mBlock;
    // The stream offset of the block's first byte.
    std::int64_t mBase = 0;
    std::size_t mStart = 0;
    std::size_t mEnd = 0;
    std::string mJoined;
    std::int64_t mLine = 0;
};

// The text without the C locale's white space at either end.
std::string_view ObjTrim(std::string_view text);
// The token that starts at or after at, at moved behind it; empty when none
// is left. Walks a line of many tokens without keeping them.
std::string_view ObjNextToken(std::string_view text, std::size_t& at);
// Splits at runs of white space; an empty text gives no token.
void ObjSplit(std::string_view text, std::vector<std::string_view>& tokens);
// The first word of the text ("%s").
std::string_view ObjFirstWord(std::string_view text);
bool ObjIsBlank(char c);

}  // namespace fbxsdk_2006_11_1

#endif
