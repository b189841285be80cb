// The group-code and value pairs of a DXF drawing, read from its text in
// one pass: each pair is two lines (LF, CR LF or CR endings), a group code
// and a value, the value with the blanks around it taken off. A UTF-8 byte
// order mark at the start is passed over. The pairs
// point into the text, which the caller keeps alive.
#ifndef FBXFILESDK_FORMATS_KFBXDXFPAIRS_H
#define FBXFILESDK_FORMATS_KFBXDXFPAIRS_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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
    // Splits the text into pairs. Reading stops at the first line that is
    // no group code and at a group code without a value line; Error then
    // tells which line.
    void Parse(std::string_view text);

    const std::vector<KFbxDxfPair>& Get() const { return mPairs; }
    std::size_t Size() const { return mPairs.size(); }
    const KFbxDxfPair& operator[](std::size_t index) const { return mPairs[index]; }
    // Empty when every line was read.
    const std::string& Error() const { return mError; }

    // A finite number; false for any other text (NaN, infinities and values
    // out of the double range included).
    static bool ToDouble(std::string_view text, double& value);
    static bool ToInt(std::string_view text, int& value);

private:
    std::vector<KFbxDxfPair> mPairs;
    std::string mError;
};

}  // namespace fbxsdk_2006_11_1

#endif
