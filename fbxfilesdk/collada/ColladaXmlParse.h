// Numbers, tokens, colours and matrices out of COLLADA element text. The
// parsers read through a cursor into a NUL-terminated text, without copying
// it: each takes one blank-separated token (blanks are space, tab, carriage
// return and line feed), and leaves the cursor on the next token or at the
// end. A token that is not a number reads as 0 and is passed over whole, so
// one bad value never shifts the ones after it. Numbers go through
// std::from_chars: the decimal mark is always '.', whatever the locale.
#ifndef FBXFILESDK_COLLADA_COLLADAXMLPARSE_H
#define FBXFILESDK_COLLADA_COLLADAXMLPARSE_H

#include <fbxfilesdk/collada/KgeMatrixArray.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxVector2.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include <climits>
#include <span>
#include <vector>

namespace fbxsdk_2006_11_1::ColladaXml {

// True for the four blank characters.
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
// The cursor moved past blanks.
const char* SkipBlanks(const char* cursor);

// One number, rounded to single precision (the precision of COLLADA's
// float values) and widened back. A leading "+" is a sign; "INF", "-INF"
// and "NaN" read as such. Null cursor, or none left: 0, the cursor stays.
double ParseFloat(const char*& cursor);
// One 32-bit integer; values beyond the range saturate at its ends.
int ParseInt(const char*& cursor);
// One token; empty at the end of the text.
KString ParseToken(const char*& cursor);
// Red, green, blue and, when text remains after blue, alpha, as read (no
// clamping). Components absent from the text stay 1.
KFbxColor ParseColor(const char* text);
// Sixteen numbers in COLLADA order (row by row, column vectors); number k
// goes to row k mod 4, column k div 4, so the SDK matrix is the transpose,
// with the translation in its last row. Missing numbers read as 0.
void ParseMatrix(const char*& cursor, KgeMatrix& matrix);

// The value of one whole token [begin, end) as ParseFloat and ParseInt read
// it, for text that arrives in pieces.
double FloatOfToken(const char* begin, const char* end);
int IntOfToken(const char* begin, const char* end);
// The same for the token that starts at begin (not a blank) and ends at
// the first blank before end; tokenEnd is set to where it ends, or to end
// when the text ends first and the token may go on (the value is then not
// yet known).
float FloatTokenAt(const char* begin, const char* end, const char*& tokenEnd);
int IntTokenAt(const char* begin, const char* end, const char*& tokenEnd);

// Numbers for the array parsers: a NUL-terminated text, or the values parsed
// from one already, each as FloatOfToken or IntOfToken gave it. Parsed values
// are read only by the parsers of their kind (float values by those of
// floats, ints by ParseIntArray); to the others they are no values at all.
class NumberInput {
public:
    NumberInput(const char* text) : mText(text) {}  // NOLINT: texts are the usual input
    explicit NumberInput(std::span<const float> values) : mFloats(values), mParsed(true) {}
    explicit NumberInput(std::span<const int> values) : mInts(values), mParsed(true) {}

    bool IsParsed() const { return mParsed; }
    const char* Text() const { return mText; }
    std::span<const float> Floats() const { return mFloats; }
    std::span<const int> Ints() const { return mInts; }

private:
    const char* mText = nullptr;
    std::span<const float> mFloats;
    std::span<const int> mInts;
    bool mParsed = false;
};

// The array parsers read items (groups of values) from the text. The
// array's existing items are overwritten in order, then further items
// appended; the result is the number of items written and appended, at
// most limit (reading stops there). A group once started is read whole;
// values missing at the end read as 0. Null, empty or blank text gives 0.
int ParseIntArray(NumberInput text, std::vector<int>& items, int limit = INT_MAX);
int ParseDoubleArray(NumberInput text, std::vector<double>& items, int limit = INT_MAX);
// Two values per item, then stride - 2 more dropped when the stride is above 2.
int ParseVector2Array(NumberInput text, std::vector<KFbxVector2>& items, int stride, int limit = INT_MAX);
// (x, y, z, 0) from three values.
int ParseVector3Array(NumberInput text, std::vector<KFbxVector4>& items, int limit = INT_MAX);
// (r, g, b, 1) or (r, g, b, a), each clamped to [0, 1].
int ParseColorArrayRGB(NumberInput text, std::vector<KFbxColor>& items, int limit = INT_MAX);
int ParseColorArrayRGBA(NumberInput text, std::vector<KFbxColor>& items, int limit = INT_MAX);
// One token per item.
int ParseNameArray(const char* text, std::vector<KString>& items, int limit = INT_MAX);
// Sixteen values per matrix (ParseMatrix), always appended; each is kept as
// a transform: the 3x3 part and the translation row from the text, the last
// column 0, 0, 0, 1.
int ParseMatrixArray(NumberInput text, KgeMatrixArray& matrices, int limit = INT_MAX);

}  // namespace fbxsdk_2006_11_1::ColladaXml

#endif
