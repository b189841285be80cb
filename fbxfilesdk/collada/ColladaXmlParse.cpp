#include <fbxfilesdk/collada/ColladaXmlParse.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace fbxsdk_2006_11_1::ColladaXml {

namespace {

const char* SkipToken(const char* cursor) {
    while (*cursor != '\0' && !IsBlank(*cursor)) {
        ++cursor;
    }
    return cursor;
}

// The value of a number too large or too small for a float: its sign, and
// whether the exponent was negative (underflow) or not (overflow).
float OutOfRangeFloat(const char* begin, const char* end) {
    const bool negative = *begin == '-';
    const char* exponent = std::find_if(begin, end, [](char c) { return c == 'e' || c == 'E'; });
    const bool underflow = exponent != end && exponent + 1 != end && exponent[1] == '-';
    const float magnitude = underflow ? 0.0f : std::numeric_limits<float>::infinity();
    return negative ? -magnitude : magnitude;
}

// What from_chars made of a token starting at begin: its value, 0 for no
// number, the outOfRange(token begin, number end) value beyond the type's range.
template <class T, class OutOfRange>
T ValueOf(const std::from_chars_result& result, T value, const char* begin, OutOfRange outOfRange) {
    if (result.ec == std::errc::result_out_of_range) {
        return outOfRange(begin, result.ptr);
    }
    return result.ec == std::errc() ? value : T{};
}

// The number of the whole token [begin, end).
template <class T, class OutOfRange>
T TokenValue(const char* begin, const char* end, OutOfRange outOfRange) {
    const char* number = begin != end && *begin == '+' ? begin + 1 : begin;
    T value{};
    const std::from_chars_result result = std::from_chars(number, end, value);
    return ValueOf(result, value, begin, outOfRange);
}

// The number of the token at begin (FloatTokenAt, IntTokenAt): from_chars
// mostly stops at the blank that ends it, so the token is scanned once.
template <class T, class OutOfRange>
T TokenValueAt(const char* begin, const char* end, const char*& tokenEnd, OutOfRange outOfRange) {
    const char* number = *begin == '+' ? begin + 1 : begin;
    T value{};
    const std::from_chars_result result = std::from_chars(number, end, value);
    tokenEnd = result.ptr;
    if (tokenEnd != end && !IsBlank(*tokenEnd)) {
        tokenEnd = std::find_if(tokenEnd, end, [](char c) { return IsBlank(c); });
    }
    return tokenEnd != end ? ValueOf(result, value, begin, outOfRange) : T{};
}

// One number read from the token at the cursor, the text ending at end; a
// token that is no number reads as 0 (and is passed over whole).
template <class T, class OutOfRange>
T ReadNumber(const char*& cursor, const char* end, OutOfRange outOfRange) {
    const char* begin = SkipBlanks(cursor);
    const char* number = *begin == '+' ? begin + 1 : begin;
    T value{};
    const std::from_chars_result result = std::from_chars(number, end, value);
    const char* after = *result.ptr == '\0' || IsBlank(*result.ptr) ? result.ptr : SkipToken(result.ptr);
    cursor = SkipBlanks(after);
    return ValueOf(result, value, begin, outOfRange);
}

bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// The powers of ten a float holds exactly.
constexpr float kExactTens[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr int kMaxExactTen = 10;
// Mantissas below this are exact in a float.
constexpr std::uint64_t kExactMantissas = std::uint64_t{1} << 24;
// Digits that always fit a 64-bit mantissa.
constexpr std::ptrdiff_t kMaxDigits = 19;

// Accumulates the digits from the cursor on into the mantissa.
const char* AddDigits(const char* cursor, const char* end, std::uint64_t& mantissa) {
    for (; cursor != end && IsDigit(*cursor); ++cursor) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*cursor - '0');
    }
    return cursor;
}

// Most numbers of a document are short decimals: with an exact mantissa
// and an exact power of ten, one multiplication or division rounds once,
// which is the correctly rounded value from_chars gives, at a fraction of
// its cost. Only a decimal ([-]digits[.digits][e[sign]digits]) ended by a
// blank before end is read here; false leaves anything else to from_chars.
bool ShortDecimalAt(const char* begin, const char* end, float& value, const char*& tokenEnd) {
    const char* cursor = begin;
    const bool negative = cursor != end && *cursor == '-';
    cursor += negative ? 1 : 0;
    std::uint64_t mantissa = 0;
    const char* digits = cursor;
    cursor = AddDigits(cursor, end, mantissa);
    std::ptrdiff_t count = cursor - digits;
    int scale = 0;
    if (cursor != end && *cursor == '.') {
        const char* fraction = ++cursor;
        cursor = AddDigits(cursor, end, mantissa);
        count += cursor - fraction;
        scale = -static_cast<int>(std::min(cursor - fraction, kMaxDigits + 1));
    }
    // Past kMaxDigits the mantissa may have wrapped.
    if (count == 0 || count > kMaxDigits) {
        return false;
    }
    if (cursor != end && (*cursor == 'e' || *cursor == 'E')) {
        ++cursor;
        const bool negativeExponent = cursor != end && *cursor == '-';
        cursor += cursor != end && (*cursor == '-' || *cursor == '+') ? 1 : 0;
        if (cursor == end || !IsDigit(*cursor)) {
            return false;
        }
        int exponent = 0;
        for (; cursor != end && IsDigit(*cursor); ++cursor) {
            if (exponent >= 10000) {
                return false;
            }
            exponent = exponent * 10 + (*cursor - '0');
        }
        scale += negativeExponent ? -exponent : exponent;
    }
    if (cursor == end || !IsBlank(*cursor)) {
        return false;
    }
    while (mantissa >= kExactMantissas && mantissa % 10 == 0) {
        mantissa /= 10;
        ++scale;
    }
    if (mantissa >= kExactMantissas || scale < -kMaxExactTen || scale > kMaxExactTen) {
        return false;
    }
    const float exact = static_cast<float>(mantissa);
    const float magnitude = scale >= 0 ? exact * kExactTens[scale] : exact / kExactTens[-scale];
    value = negative ? -magnitude : magnitude;
    tokenEnd = cursor;
    return true;
}

int IntOutOfRange(const char* begin, const char*) {
    return *begin == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
}

double ReadFloat(const char*& cursor, const char* end) {
    return static_cast<double>(ReadNumber<float>(cursor, end, &OutOfRangeFloat));
}

int ReadInt(const char*& cursor, const char* end) { return ReadNumber<int>(cursor, end, &IntOutOfRange); }

// The end of the token at the cursor: the end of the text as far as one
// number is concerned.
const char* TokenEnd(const char* cursor) { return SkipToken(SkipBlanks(cursor)); }

// The values of a text, one token after the other.
class TextValues {
public:
    explicit TextValues(const char* text)
        : mCursor(SkipBlanks(text)), mEnd(text + std::strlen(text)), mRoom((static_cast<std::size_t>(mEnd - text) + 1) / 2) {}
    bool AtEnd() const { return *mCursor == '\0'; }
    double Float() { return ReadFloat(mCursor, mEnd); }
    int Int() { return ReadInt(mCursor, mEnd); }
    KString Token() { return ParseToken(mCursor); }
    // How many values the text could hold: each takes two characters at least.
    std::size_t Room() const { return mRoom; }

private:
    const char* mCursor;
    const char* mEnd;
    std::size_t mRoom;
};

// Values parsed already; past the last, 0 as at the end of a text.
template <class V>
class ParsedValues {
public:
    explicit ParsedValues(std::span<const V> values) : mValues(values) {}
    bool AtEnd() const { return mNext == mValues.size(); }
    double Float() { return static_cast<double>(Next()); }
    int Int() { return Next(); }
    std::size_t Room() const { return mValues.size(); }

private:
    V Next() { return mNext < mValues.size() ? mValues[mNext++] : V{}; }

    std::span<const V> mValues;
    std::size_t mNext = 0;
};

// Reads items from the values into the array, overwriting then appending;
// readItem(values) reads one.
template <class T, class Values, class ReadItem>
int ReadItems(Values values, std::vector<T>& items, int limit, ReadItem readItem) {
    // An empty array grows once, to what the values can fill. Pages past the
    // items read are never touched.
    if (items.empty()) {
        items.reserve(std::min(values.Room(), static_cast<std::size_t>(std::max(limit, 0))));
    }
    int count = 0;
    while (!values.AtEnd() && count < limit) {
        T item = readItem(values);
        if (static_cast<std::size_t>(count) < items.size()) {
            items[static_cast<std::size_t>(count)] = item;
        } else {
            items.push_back(item);
        }
        ++count;
    }
    return count;
}

// Reads items from the input, whichever form it has; parsed values of the
// other kind than kInts says are no values.
template <bool kInts, class T, class ReadItem>
int ParseItems(NumberInput input, std::vector<T>& items, int limit, ReadItem readItem) {
    if (!input.IsParsed()) {
        return input.Text() != nullptr ? ReadItems(TextValues(input.Text()), items, limit, readItem) : 0;
    }
    if constexpr (kInts) {
        return ReadItems(ParsedValues<int>(input.Ints()), items, limit, readItem);
    } else {
        return ReadItems(ParsedValues<float>(input.Floats()), items, limit, readItem);
    }
}

// Sixteen values in COLLADA order: number k to row k mod 4, column k div 4.
template <class Next>
void FillMatrix(KgeMatrix& matrix, Next next) {
    for (int k = 0; k < 16; ++k) {
        matrix[k % 4][k / 4] = next();
    }
}

// The next N values.
template <std::size_t N, class Values>
std::array<double, N> ReadGroup(Values& values) {
    std::array<double, N> group;
    for (double& value : group) {
        value = values.Float();
    }
    return group;
}

}  // namespace

const char* SkipBlanks(const char* cursor) {
    while (IsBlank(*cursor)) {
        ++cursor;
    }
    return cursor;
}

double ParseFloat(const char*& cursor) { return cursor != nullptr ? ReadFloat(cursor, TokenEnd(cursor)) : 0.0; }

int ParseInt(const char*& cursor) { return cursor != nullptr ? ReadInt(cursor, TokenEnd(cursor)) : 0; }

KString ParseToken(const char*& cursor) {
    if (cursor == nullptr) {
        return KString("");
    }
    const char* begin = SkipBlanks(cursor);
    const char* end = SkipToken(begin);
    cursor = SkipBlanks(end);
    return KString(begin, static_cast<int>(end - begin));
}

KFbxColor ParseColor(const char* text) {
    KFbxColor color(1.0, 1.0, 1.0, 1.0);
    if (text == nullptr || text[0] == '\0') {
        return color;
    }
    const char* cursor = text;
    color.mRed = ParseFloat(cursor);
    color.mGreen = ParseFloat(cursor);
    color.mBlue = ParseFloat(cursor);
    if (*cursor != '\0') {
        color.mAlpha = ParseFloat(cursor);
    }
    return color;
}

void ParseMatrix(const char*& cursor, KgeMatrix& matrix) {
    FillMatrix(matrix, [&cursor] { return ParseFloat(cursor); });
}

double FloatOfToken(const char* begin, const char* end) {
    return static_cast<double>(TokenValue<float>(begin, end, &OutOfRangeFloat));
}

int IntOfToken(const char* begin, const char* end) { return TokenValue<int>(begin, end, &IntOutOfRange); }

float FloatTokenAt(const char* begin, const char* end, const char*& tokenEnd) {
    float value = 0.0f;
    if (ShortDecimalAt(*begin == '+' ? begin + 1 : begin, end, value, tokenEnd)) {
        return value;
    }
    return TokenValueAt<float>(begin, end, tokenEnd, &OutOfRangeFloat);
}

int IntTokenAt(const char* begin, const char* end, const char*& tokenEnd) {
    return TokenValueAt<int>(begin, end, tokenEnd, &IntOutOfRange);
}

int ParseIntArray(NumberInput text, std::vector<int>& items, int limit) {
    return ParseItems<true>(text, items, limit, [](auto& values) { return values.Int(); });
}

int ParseDoubleArray(NumberInput text, std::vector<double>& items, int limit) {
    return ParseItems<false>(text, items, limit, [](auto& values) { return values.Float(); });
}

int ParseVector2Array(NumberInput text, std::vector<KFbxVector2>& items, int stride, int limit) {
    return ParseItems<false>(text, items, limit, [stride](auto& values) {
        const auto uv = ReadGroup<2>(values);
        for (int extra = 2; extra < stride; ++extra) {
            values.Float();
        }
        return KFbxVector2(uv[0], uv[1]);
    });
}

int ParseVector3Array(NumberInput text, std::vector<KFbxVector4>& items, int limit) {
    return ParseItems<false>(text, items, limit, [](auto& values) {
        const auto xyz = ReadGroup<3>(values);
        return KFbxVector4(xyz[0], xyz[1], xyz[2], 0.0);
    });
}

int ParseColorArrayRGB(NumberInput text, std::vector<KFbxColor>& items, int limit) {
    return ParseItems<false>(text, items, limit, [](auto& values) {
        const auto rgb = ReadGroup<3>(values);
        return KFbxColor(rgb[0], rgb[1], rgb[2], 1.0);
    });
}

int ParseColorArrayRGBA(NumberInput text, std::vector<KFbxColor>& items, int limit) {
    return ParseItems<false>(text, items, limit, [](auto& values) {
        const auto rgba = ReadGroup<4>(values);
        return KFbxColor(rgba[0], rgba[1], rgba[2], rgba[3]);
    });
}

int ParseNameArray(const char* text, std::vector<KString>& items, int limit) {
    return text != nullptr ? ReadItems(TextValues(text), items, limit, [](TextValues& values) { return values.Token(); })
                           : 0;
}

namespace {

template <class Values>
int ReadMatrices(Values values, KgeMatrixArray& matrices, int limit) {
    int count = 0;
    while (!values.AtEnd() && count < limit) {
        KgeMatrix matrix;
        FillMatrix(matrix, [&values] { return values.Float(); });
        matrices.Add(matrix);
        ++count;
    }
    return count;
}

}  // namespace

int ParseMatrixArray(NumberInput text, KgeMatrixArray& matrices, int limit) {
    if (text.IsParsed()) {
        return ReadMatrices(ParsedValues<float>(text.Floats()), matrices, limit);
    }
    return text.Text() != nullptr ? ReadMatrices(TextValues(text.Text()), matrices, limit) : 0;
}

}  // namespace fbxsdk_2006_11_1::ColladaXml
