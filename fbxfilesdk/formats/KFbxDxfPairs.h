// The group-code and value pairs of a DXF drawing, read one at a time from
// its text: each pair is two lines (LF, CR LF or CR endings), a group code
// and a value, the value with the blanks around it taken off. A UTF-8 byte
// order mark at the start is passed over. Nothing is stored per pair: a
// position in the text is all a reader keeps to come back to a pair, and the
// pairs point into the text, which the caller keeps alive.
#ifndef FBXFILESDK_FORMATS_KFBXDXFPAIRS_H
#define FBXFILESDK_FORMATS_KFBXDXFPAIRS_H

#include <cstddef>
#include <string>
#include <string_view>

namespace fbxsdk_2006_11_1 {

struct KFbxDxfPair {
    int mCode;
    std::string_view mValue;
    // The line of the group code, from 1.
    int mLine;

    bool Is(int code, std::string_view value) const { return mCode == code && mValue == value; }
};

class KFbxDxfPairs {
public:
    // Where a pair starts: the offset of its group-code line and the number
    // of lines before it.
    struct Position {
        std::size_t mOffset = 0;
        long long mLine = 0;
    };

    // Reads from the text's first pair on; forgets an earlier error unless
    // told to keep it.
    void Reset(std::string_view text, bool forgetError = true);
    Position Start() const;
    // The pair at position, and position moved past it. False at the end of
    // the pairs: the end of the text, a line that is no group code or a
    // group code without a value line (Error then tells which line).
    bool Next(Position& position, KFbxDxfPair& pair);
    // The pair at position, leaving position as it is.
    bool Peek(Position position, KFbxDxfPair& pair) { return Next(position, pair); }
    // Empty while every line met was a pair.
    const std::string& Error() const { return mError; }

    // A finite number; false for any other text (NaN, infinities and values
    // out of the double range included).
    static bool ToDouble(std::string_view text, double& value);
    static bool ToInt(std::string_view text, int& value);

private:
    std::string_view mText;
    std::string mError;
    // Where the pairs end: the first line met that is no pair.
    std::size_t mEnd = std::string_view::npos;
    // The pair read last: where it starts, it, and where the next starts.
    std::size_t mLastAt = std::string_view::npos;
    KFbxDxfPair mLastPair{};
    Position mLastNext;
};

}  // namespace fbxsdk_2006_11_1

#endif
