#include <fbxfilesdk/collada/ColladaXmlSource.h>

#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>

namespace fbxsdk_2006_11_1::ColladaXml {

namespace {

// An accessor attribute read as "%d" would: blanks skipped, then a
// number. Absent or without a number: false.
bool ReadCountAttribute(const xmlNode* accessor, const char* name, long long& value) {
    const KString text = GetAttribute(accessor, name);
    const char* begin = SkipBlanks(text.Buffer());
    const char* end = text.Buffer() + text.GetLen();
    if (*begin == '+') {
        ++begin;
    }
    return std::from_chars(begin, end, value).ec == std::errc();
}

// What a source announces and holds: its accessor's count and stride, and
// the text of its array of the param type.
class SourceShape {
public:
    SourceShape(const xmlNode* source, const char* paramType, int defaultStride)
        : mAccessor(FindAccessor(source)), mText(FindArrayElement(source, paramType)) {
        mHasCount = ReadCountAttribute(mAccessor, "count", mCount);
        if (!mHasCount) {
            mCount = 0;
        }
        if (!ReadCountAttribute(mAccessor, "stride", mStride)) {
            mStride = defaultStride;
        }
    }

    bool HasCount() const { return mHasCount; }
    long long Count() const { return mCount; }
    long long Stride() const { return mStride; }
    const char* Text() const { return mText.Get(); }
    NumberInput Numbers() const { return mText.Numbers(); }

    // True when count items of valuesPerItem values are a shape the text
    // can hold: no negative count, and no more values than it has room for.
    bool Fits(long long valuesPerItem) const {
        if (mCount < 0 || mCount > INT_MAX || valuesPerItem < 0) {
            return false;
        }
        const long long room = (static_cast<long long>(mText.Length()) + 1) / 2;
        return valuesPerItem == 0 || mCount <= room / valuesPerItem;
    }

    // Enough items to tell an exact array from one too long.
    static int LimitFor(long long expected) { return static_cast<int>(std::min<long long>(expected + 1, INT_MAX)); }

private:
    const xmlNode* mAccessor;
    ElementText mText;
    bool mHasCount = false;
    long long mCount = 0;
    long long mStride = 1;
};

template <class T>
void SizeTo(std::vector<T>& items, long long count) {
    items.resize(static_cast<std::size_t>(count));
}

// A source of count x stride single values: the array holds count items at
// least, and all the values it has.
template <class T, class Parse>
bool ReadValuesSource(const xmlNode* source, const char* paramType, std::vector<T>& items, Parse parse) {
    if (source == nullptr) {
        return false;
    }
    const SourceShape shape(source, paramType, 1);
    if (shape.Stride() < 1 || !shape.Fits(shape.Stride())) {
        return false;
    }
    const long long expected = shape.Count() * shape.Stride();
    SizeTo(items, shape.Count());
    return parse(shape, items, SourceShape::LimitFor(expected)) == expected;
}

}  // namespace

bool ReadSourceDoubles(const xmlNode* source, std::vector<double>& values) {
    return ReadValuesSource(source, "float", values,
                            [](const SourceShape& shape, std::vector<double>& items, int limit) {
                                return ParseDoubleArray(shape.Numbers(), items, limit);
                            });
}

bool ReadSourceMatrices(const xmlNode* source, KgeMatrixArray& matrices) {
    if (source == nullptr) {
        return false;
    }
    const SourceShape shape(source, "float", 16);
    if (!shape.Fits(16)) {
        return false;
    }
    return ParseMatrixArray(shape.Numbers(), matrices, SourceShape::LimitFor(shape.Count())) == shape.Count();
}

bool ReadSourceVector2(const xmlNode* source, std::vector<KFbxVector2>& values) {
    if (source == nullptr) {
        return false;
    }
    const SourceShape shape(source, "float", 1);
    if (shape.Stride() <= 1 || !shape.Fits(shape.Stride())) {
        return false;
    }
    SizeTo(values, shape.Count());
    const int stride = static_cast<int>(std::min<long long>(shape.Stride(), INT_MAX));
    return ParseVector2Array(shape.Numbers(), values, stride, SourceShape::LimitFor(shape.Count())) == shape.Count();
}

bool ReadSourceVector3(const xmlNode* source, std::vector<KFbxVector4>& values) {
    if (source == nullptr) {
        return false;
    }
    const SourceShape shape(source, "float", 3);
    if (!shape.Fits(3)) {
        return false;
    }
    SizeTo(values, shape.Count());
    return ParseVector3Array(shape.Numbers(), values, SourceShape::LimitFor(shape.Count())) == shape.Count();
}

bool ReadSourceNames(const xmlNode* source, std::vector<KString>& names) {
    return ReadValuesSource(source, "name", names, [](const SourceShape& shape, std::vector<KString>& items, int limit) {
        return ParseNameArray(shape.Text(), items, limit);
    });
}

bool ReadSourceColors(const xmlNode* source, std::vector<KFbxColor>& colors) {
    if (source == nullptr) {
        return false;
    }
    const SourceShape shape(source, "float", 4);
    if (shape.Stride() != 3 && shape.Stride() != 4) {
        return false;
    }
    if (!shape.HasCount()) {
        return true;
    }
    if (!shape.Fits(shape.Stride())) {
        return false;
    }
    SizeTo(colors, shape.Count());
    const int limit = SourceShape::LimitFor(shape.Count());
    const int read = shape.Stride() == 4 ? ParseColorArrayRGBA(shape.Numbers(), colors, limit)
                                         : ParseColorArrayRGB(shape.Numbers(), colors, limit);
    return read == shape.Count();
}

}  // namespace fbxsdk_2006_11_1::ColladaXml
