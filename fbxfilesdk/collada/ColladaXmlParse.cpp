#include <fbxfilesdk/collada/ColladaXmlParse.h>

#include <algorithm>
#include <array>
#include <charconv>
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

// One number read from the token at the cursor, the text ending at end; a
// token that is no number reads as 0 (and is passed over whole), one beyond
// the type's range as outOfRange(token begin, number end) says.
template <class T, class OutOfRange>
T ReadNumber(const char*& cursor, const char* end, OutOfRange outOfRange) {
    const char* begin = SkipBlanks(cursor);
    const char* number = *begin == '+' ? begin + 1 : begin;
    T value{};
    const std::from_chars_result result = std::from_chars(number, end, value);
    const char* after = *result.ptr == '\0' || IsBlank(*result.ptr) ? result.ptr : SkipToken(result.ptr);
    cursor = SkipBlanks(after);
    if (result.ec == std::errc::result_out_of_range) {
        return outOfRange(begin, result.ptr);
    }
    return result.ec == std::errc() ? value : T{};
}

double ReadFloat(const char*& cursor, const char* end) {
    return static_cast<double>(ReadNumber<float>(cursor, end, &OutOfRangeFloat));
}

int ReadInt(const char*& cursor, const char* end) {
    return ReadNumber<int>(cursor, end, [](const char* begin, const char*) {
        return *begin == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    });
}

// The end of the token at the cursor: the end of the text as far as one
// number is concerned.
const char* TokenEnd(const char* cursor) { return SkipToken(SkipBlanks(cursor)); }

// Reads items from the text into the array, overwriting then appending;
// readItem(cursor, end of text) reads one.
template <class T, class ReadItem>
int ParseItems(const char* text, std::vector<T>& items, int limit, ReadItem readItem) {
    if (text == nullptr) {
        return 0;
    }
    const char* end = text + std::strlen(text);
    const char* cursor = SkipBlanks(text);
    // Every item takes two characters at least: an empty array grows once,
    // to what the text can hold. Pages past the items read are never touched.
    if (items.empty()) {
        const std::size_t room = (static_cast<std::size_t>(end - text) + 1) / 2;
        items.reserve(std::min(room, static_cast<std::size_t>(std::max(limit, 0))));
    }
    int count = 0;
    while (*cursor != '\0' && count < limit) {
        T item = readItem(cursor, end);
        if (static_cast<std::size_t>(count) < items.size()) {
            items[static_cast<std::size_t>(count)] = item;
        } else {
            items.push_back(item);
        }
        ++count;
    }
    return count;
}

// The next N values of the text.
template <std::size_t N>
std::array<double, N> ReadGroup(const char*& cursor, const char* end) {
    std::array<double, N> values;
    for (double& value : values) {
        value = ReadFloat(cursor, end);
    }
    return values;
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
    for (int k = 0; k < 16; ++k) {
        matrix[k % 4][k / 4] = ParseFloat(cursor);
    }
}

int ParseIntArray(const char* text, std::vector<int>& items, int limit) {
    return ParseItems(text, items, limit, &ReadInt);
}

int ParseDoubleArray(const char* text, std::vector<double>& items, int limit) {
    return ParseItems(text, items, limit, &ReadFloat);
}

int ParseVector2Array(const char* text, std::vector<KFbxVector2>& items, int stride, int limit) {
    return ParseItems(text, items, limit, [stride](const char*& cursor, const char* end) {
        const auto uv = ReadGroup<2>(cursor, end);
        for (int extra = 2; extra < stride; ++extra) {
            ReadFloat(cursor, end);
        }
        return KFbxVector2(uv[0], uv[1]);
    });
}

int ParseVector3Array(const char* text, std::vector<KFbxVector4>& items, int limit) {
    return ParseItems(text, items, limit, [](const char*& cursor, const char* end) {
        const auto xyz = ReadGroup<3>(cursor, end);
        return KFbxVector4(xyz[0], xyz[1], xyz[2], 0.0);
    });
}

int ParseColorArrayRGB(const char* text, std::vector<KFbxColor>& items, int limit) {
    return ParseItems(text, items, limit, [](const char*& cursor, const char* end) {
        const auto rgb = ReadGroup<3>(cursor, end);
        return KFbxColor(rgb[0], rgb[1], rgb[2], 1.0);
    });
}

int ParseColorArrayRGBA(const char* text, std::vector<KFbxColor>& items, int limit) {
    return ParseItems(text, items, limit, [](const char*& cursor, const char* end) {
        const auto rgba = ReadGroup<4>(cursor, end);
        return KFbxColor(rgba[0], rgba[1], rgba[2], rgba[3]);
    });
}

int ParseNameArray(const char* text, std::vector<KString>& items, int limit) {
    return ParseItems(text, items, limit, [](const char*& cursor, const char*) { return ParseToken(cursor); });
}

int ParseMatrixArray(const char* text, KgeMatrixArray& matrices, int limit) {
    if (text == nullptr) {
        return 0;
    }
    const char* cursor = SkipBlanks(text);
    int count = 0;
    while (*cursor != '\0' && count < limit) {
        KgeMatrix matrix;
        ParseMatrix(cursor, matrix);
        matrices.Add(matrix);
        ++count;
    }
    return count;
}

}  // namespace fbxsdk_2006_11_1::ColladaXml
