#include <fbxfilesdk/collada/ColladaArrayReader.h>

#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <initializer_list>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

bool IsNamedAny(const xmlNode* node, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [node](const char* name) { return IsNamed(node, name); });
}

// What the readers take the element's text as.
enum class TextKind { kText, kFloats, kIntegers };

TextKind KindOf(const xmlNode* element, const xmlNode* parent) {
    // The elements with numbers are all named from these letters: the others,
    // nearly all, are passed by on the first one.
    const char first = element->name != nullptr ? static_cast<char>(element->name[0]) : '\0';
    if (first != 'f' && first != 'p' && first != 'v') {
        return TextKind::kText;
    }
    if (IsNamed(element, "float_array")) {
        return TextKind::kFloats;
    }
    const bool indices =
        (IsNamed(element, "p") && IsNamedAny(parent, {"polygons", "triangles", "polylist", "tristrips", "trifans"})) ||
        (IsNamed(element, "vcount") && IsNamedAny(parent, {"polylist", "vertex_weights"})) ||
        (IsNamed(element, "v") && IsNamed(parent, "vertex_weights"));
    return indices ? TextKind::kIntegers : TextKind::kText;
}

long long CountAttribute(const xmlNode* element, const char* name) {
    const KString text = GetAttribute(element, name);
    long long value = 0;
    const char* begin = SkipBlanks(text.Buffer());
    return std::from_chars(begin, text.Buffer() + text.GetLen(), value).ec == std::errc() ? value : 0;
}

// The values an array announces: a "float_array" its count, the one index
// list of "triangles" three per triangle and input offset. 0 when unknown.
long long AnnouncedValues(const xmlNode* element, const xmlNode* parent) {
    if (IsNamed(element, "float_array")) {
        return CountAttribute(element, "count");
    }
    if (!IsNamed(element, "p") || !IsNamed(parent, "triangles") || FindChild(parent, "p") != element) {
        return 0;
    }
    long long stride = 1;
    for (xmlNode* input : ChildElements(parent)) {
        if (IsNamed(input, "input")) {
            stride = std::max<long long>(stride, static_cast<long long>(GetInputOffset(input)) + 1);
        }
    }
    const long long triangles = CountAttribute(parent, "count");
    return triangles > 0 && triangles <= LLONG_MAX / 3 / stride ? triangles * 3 * stride : 0;
}

void StoreToken(ColladaParsedArray& array, const char* begin, const char* end) {
    if (array.mIntegers) {
        array.mInts.push_back(IntOfToken(begin, end));
    } else {
        array.mFloats.push_back(static_cast<float>(FloatOfToken(begin, end)));
    }
}

bool IsBlankChar(char c) { return IsBlank(c); }

// Stores the whole tokens of [cursor, end) and returns where the last one
// begins when the text ends in it (end when it ends in blanks).
template <class T, class Values>
const char* StoreTokens(const char* cursor, const char* end, std::vector<T>& values, Values tokenAt) {
    for (;;) {
        while (cursor != end && IsBlankChar(*cursor)) {
            ++cursor;
        }
        if (cursor == end) {
            return end;
        }
        const char* tokenEnd = end;
        const T value = tokenAt(cursor, end, tokenEnd);
        if (tokenEnd == end) {
            return cursor;
        }
        values.push_back(value);
        cursor = tokenEnd;
    }
}

}  // namespace

ColladaArrayReader::ColladaArrayReader(std::deque<ColladaParsedArray>& arrays) : mArrays(arrays) {}

ColladaParsedArray* ColladaArrayReader::StartElement(xmlNode* element, xmlNode* parent) {
    if (ColladaParsedArray* outer = GetParsedArray(parent)) {
        // Text below an array is part of its text, as the tree would give it.
        element->_private = outer;
        return nullptr;
    }
    const TextKind kind = KindOf(element, parent);
    if (kind == TextKind::kText) {
        return nullptr;
    }
    ColladaParsedArray& array = mArrays.emplace_back();
    array.mIntegers = kind == TextKind::kIntegers;
    array.mElement = element;
    element->_private = &array;
    return &array;
}

void ColladaArrayReader::Reserve(ColladaParsedArray& array, std::size_t remainingBytes) {
    // Every value takes two characters at least: no count reserves more
    // than the rest of the input could fill.
    const long long announced = AnnouncedValues(array.mElement, array.mElement->parent);
    const std::size_t reserved = std::min(static_cast<std::size_t>(std::max(announced, 0LL)), remainingBytes / 2);
    if (array.mIntegers) {
        array.mInts.reserve(reserved);
    } else {
        array.mFloats.reserve(reserved);
    }
}

void ColladaArrayReader::Feed(ColladaParsedArray& array, const xmlChar* text, int length) {
    const char* cursor = reinterpret_cast<const char*>(text);
    const char* end = cursor + std::max(length, 0);
    array.mTextLength += static_cast<std::size_t>(end - cursor);
    if (!mCarry.empty()) {
        const char* tokenEnd = std::find_if(cursor, end, &IsBlankChar);
        mCarry.append(cursor, tokenEnd);
        if (tokenEnd == end) {
            return;
        }
        StoreToken(array, mCarry.data(), mCarry.data() + mCarry.size());
        mCarry.clear();
        cursor = tokenEnd;
    }
    const char* rest = array.mIntegers ? StoreTokens(cursor, end, array.mInts, &IntTokenAt)
                                       : StoreTokens(cursor, end, array.mFloats, &FloatTokenAt);
    mCarry.assign(rest, end);
}

void ColladaArrayReader::EndElement(const xmlNode* element) {
    ColladaParsedArray* array = GetParsedArray(element);
    if (array == nullptr || array->mElement != element) {
        return;
    }
    if (!mCarry.empty()) {
        StoreToken(*array, mCarry.data(), mCarry.data() + mCarry.size());
        mCarry.clear();
    }
    // A count above what the text held gives its room back.
    if (array->mFloats.capacity() > array->mFloats.size() + array->mFloats.size() / 8) {
        array->mFloats.shrink_to_fit();
    }
    if (array->mInts.capacity() > array->mInts.size() + array->mInts.size() / 8) {
        array->mInts.shrink_to_fit();
    }
}


}  // namespace fbxsdk_2006_11_1
