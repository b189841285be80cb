#include <fbxfilesdk/collada/ColladaDocument.h>

#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOBLANKS | XML_PARSE_COMPACT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

struct ParserFree {
    void operator()(xmlParserCtxt* parser) const { xmlFreeParserCtxt(parser); }
};
using Parser = std::unique_ptr<xmlParserCtxt, ParserFree>;

// What the parse saw besides the tree, and the number arrays it parsed.
struct ParseWatch {
    bool mEntityDeclared = false;
    // Null when arrays keep their text.
    std::deque<ColladaParsedArray>* mArrays = nullptr;
    // What the input holds at most, which bounds what a count may reserve.
    std::size_t mInputBytes = 0;
    // The token the last piece of an array's text ended in, which the next
    // piece may go on.
    std::string mCarry;
};

ParseWatch& WatchOf(void* context) {
    return *static_cast<ParseWatch*>(static_cast<xmlParserCtxt*>(context)->_private);
}

void RefuseEntity(void* context, const xmlChar* /*name*/, int /*type*/, const xmlChar* /*publicId*/,
                  const xmlChar* /*systemId*/, xmlChar* /*content*/) {
    WatchOf(context).mEntityDeclared = true;
    xmlStopParser(static_cast<xmlParserCtxt*>(context));
}

int ReadFromStream(void* context, char* buffer, int length) {
    auto* stream = static_cast<std::FILE*>(context);
    const std::size_t read = std::fread(buffer, 1, static_cast<std::size_t>(length), stream);
    return read == 0 && std::ferror(stream) != 0 ? -1 : static_cast<int>(read);
}

// ---- number arrays parsed as they are read ----

bool NameIs(const xmlNode* node, const char* name) {
    return node != nullptr && node->name != nullptr && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

bool NameIsAny(const xmlNode* node, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [node](const char* name) { return NameIs(node, name); });
}

// Whether the element's text is an array the readers take as numbers only:
// 1 for floats, 2 for integers, 0 for text to keep.
int ArrayKind(const xmlNode* element, const xmlNode* parent) {
    if (NameIs(element, "float_array")) {
        return 1;
    }
    const bool indices =
        (NameIs(element, "p") && NameIsAny(parent, {"polygons", "triangles", "polylist", "tristrips", "trifans"})) ||
        (NameIs(element, "vcount") && NameIsAny(parent, {"polylist", "vertex_weights"})) ||
        (NameIs(element, "v") && NameIs(parent, "vertex_weights"));
    return indices ? 2 : 0;
}

long long CountAttribute(const xmlNode* element, const char* name) {
    const KString text = ColladaXml::GetAttribute(element, name);
    long long value = 0;
    const char* begin = ColladaXml::SkipBlanks(text.Buffer());
    return std::from_chars(begin, text.Buffer() + text.GetLen(), value).ec == std::errc() ? value : 0;
}

// The values an array announces: a "float_array" its count, the one index
// list of "triangles" three per triangle and input offset. 0 when unknown.
long long AnnouncedValues(const xmlNode* element, const xmlNode* parent) {
    if (NameIs(element, "float_array")) {
        return CountAttribute(element, "count");
    }
    if (!NameIs(element, "p") || !NameIs(parent, "triangles") || ColladaXml::FindChild(parent, "p") != element) {
        return 0;
    }
    long long stride = 1;
    for (xmlNode* input : ColladaXml::ChildElements(parent)) {
        if (ColladaXml::IsNamed(input, "input")) {
            stride = std::max<long long>(stride, static_cast<long long>(ColladaXml::GetInputOffset(input)) + 1);
        }
    }
    const long long triangles = CountAttribute(parent, "count");
    return triangles > 0 && triangles <= LLONG_MAX / 3 / stride ? triangles * 3 * stride : 0;
}

void StartArray(ParseWatch& watch, xmlNode* element, xmlNode* parent) {
    if (ColladaParsedArray* outer = GetParsedArray(parent)) {
        // Text below an array is part of its text, as the tree would give it.
        element->_private = outer;
        return;
    }
    const int kind = ArrayKind(element, parent);
    if (kind == 0) {
        return;
    }
    ColladaParsedArray& array = watch.mArrays->emplace_back();
    array.mIntegers = kind == 2;
    array.mElement = element;
    element->_private = &array;
    // Every value takes two characters at least: no count reserves more
    // than the input could fill.
    const long long announced = AnnouncedValues(element, parent);
    const std::size_t reserved = std::min(static_cast<std::size_t>(std::max(announced, 0LL)), watch.mInputBytes / 2);
    if (array.mIntegers) {
        array.mInts.reserve(reserved);
    } else {
        array.mFloats.reserve(reserved);
    }
}

void StoreToken(ColladaParsedArray& array, const char* begin, const char* end) {
    if (array.mIntegers) {
        array.mInts.push_back(ColladaXml::IntOfToken(begin, end));
    } else {
        array.mFloats.push_back(static_cast<float>(ColladaXml::FloatOfToken(begin, end)));
    }
}

bool IsBlankChar(char c) { return ColladaXml::IsBlank(c); }

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

// One piece of an array's text: whole tokens are stored, the one it ends
// in waits for the next piece or the end of the element.
void FeedArray(ParseWatch& watch, ColladaParsedArray& array, const xmlChar* text, int length) {
    const char* cursor = reinterpret_cast<const char*>(text);
    const char* end = cursor + std::max(length, 0);
    array.mTextLength += static_cast<std::size_t>(end - cursor);
    std::string& carry = watch.mCarry;
    if (!carry.empty()) {
        const char* tokenEnd = std::find_if(cursor, end, &IsBlankChar);
        carry.append(cursor, tokenEnd);
        if (tokenEnd == end) {
            return;
        }
        StoreToken(array, carry.data(), carry.data() + carry.size());
        carry.clear();
        cursor = tokenEnd;
    }
    const char* rest = array.mIntegers ? StoreTokens(cursor, end, array.mInts, &ColladaXml::IntTokenAt)
                                       : StoreTokens(cursor, end, array.mFloats, &ColladaXml::FloatTokenAt);
    carry.assign(rest, end);
}

void EndArray(ParseWatch& watch, ColladaParsedArray& array) {
    if (!watch.mCarry.empty()) {
        StoreToken(array, watch.mCarry.data(), watch.mCarry.data() + watch.mCarry.size());
        watch.mCarry.clear();
    }
    // A count above what the text held gives its room back.
    if (array.mFloats.capacity() > array.mFloats.size() + array.mFloats.size() / 8) {
        array.mFloats.shrink_to_fit();
    }
    if (array.mInts.capacity() > array.mInts.size() + array.mInts.size() / 8) {
        array.mInts.shrink_to_fit();
    }
}

void OnIgnorableWhitespace(void* context, const xmlChar* text, int length);

void OnStartElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                    int namespaceCount, const xmlChar** namespaces, int attributeCount, int defaultedCount,
                    const xmlChar** attributes) {
    auto* parser = static_cast<xmlParserCtxt*>(context);
    // Set here, once the parse options (which set their own) are in force:
    // blanks that would join a text node join an array's text as well.
    parser->sax->ignorableWhitespace = &OnIgnorableWhitespace;
    xmlNode* parent = parser->node;
    xmlSAX2StartElementNs(context, localName, prefix, uri, namespaceCount, namespaces, attributeCount, defaultedCount,
                          attributes);
    if (parser->node != nullptr && parser->node != parent) {
        StartArray(WatchOf(context), parser->node, parent);
    }
}

void OnEndElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri) {
    const xmlNode* element = static_cast<xmlParserCtxt*>(context)->node;
    ColladaParsedArray* array = GetParsedArray(element);
    if (array != nullptr && array->mElement == element) {
        EndArray(WatchOf(context), *array);
    }
    xmlSAX2EndElementNs(context, localName, prefix, uri);
}

// The text of an array element (or below one) goes to its numbers; other
// text to the tree, as libxml2 would put it.
template <void (*kIntoTree)(void*, const xmlChar*, int)>
void OnText(void* context, const xmlChar* text, int length) {
    if (ColladaParsedArray* array = GetParsedArray(static_cast<xmlParserCtxt*>(context)->node)) {
        FeedArray(WatchOf(context), *array, text, length);
    } else {
        kIntoTree(context, text, length);
    }
}

void OnIgnorableWhitespace(void* context, const xmlChar* text, int length) {
    OnText<&xmlSAX2IgnorableWhitespace>(context, text, length);
}

Parser NewParser(ParseWatch& watch, ColladaArrayText arrays, std::deque<ColladaParsedArray>& parsed) {
    xmlInitParser();
    Parser parser(xmlNewParserCtxt());
    if (parser != nullptr) {
        parser->_private = &watch;
        parser->sax->entityDecl = &RefuseEntity;
        if (arrays == ColladaArrayText::kParse) {
            watch.mArrays = &parsed;
            parser->sax->startElementNs = &OnStartElement;
            parser->sax->endElementNs = &OnEndElement;
            parser->sax->characters = &OnText<&xmlSAX2Characters>;
            parser->sax->cdataBlock = &OnText<&xmlSAX2CDataBlock>;
        }
    }
    return parser;
}

// The bytes from the stream's position to its end; the largest size when
// that cannot be told.
std::size_t RemainingBytes(std::FILE* stream) {
    struct stat status {};
    const off_t position = ftello(stream);
    if (fstat(fileno(stream), &status) != 0 || !S_ISREG(status.st_mode) || position < 0 ||
        status.st_size < position) {
        return SIZE_MAX;
    }
    return static_cast<std::size_t>(status.st_size - position);
}

// Why the parse gave no document.
KString DescribeFailure(xmlParserCtxt* parser, const ParseWatch& watch) {
    if (parser == nullptr) {
        return KString("out of memory");
    }
    if (watch.mEntityDeclared) {
        return KString("the document declares entities, which COLLADA documents do not use");
    }
    const xmlError* error = xmlCtxtGetLastError(parser);
    if (error == nullptr || error->message == nullptr) {
        return KString("not a well-formed XML document");
    }
    std::string text = "line " + std::to_string(error->line) + ": " + error->message;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return KString(text.c_str());
}

}  // namespace

ColladaDocument ColladaDocument::ParseStream(std::FILE* stream, const char* name, KString& error,
                                             ColladaArrayText arrays) {
    ColladaDocument document;
    ParseWatch watch;
    Parser parser = NewParser(watch, arrays, document.mArrays);
    if (parser != nullptr && stream != nullptr) {
        watch.mInputBytes = RemainingBytes(stream);
        document.mDocument.reset(
            xmlCtxtReadIO(parser.get(), &ReadFromStream, nullptr, stream, name, nullptr, kParseOptions));
    }
    document.DropIfRefused(watch.mEntityDeclared);
    if (document.IsEmpty()) {
        error = DescribeFailure(parser.get(), watch);
    }
    return document;
}

ColladaDocument ColladaDocument::ParseMemory(const char* bytes, std::size_t size, KString& error,
                                             ColladaArrayText arrays) {
    ColladaDocument document;
    ParseWatch watch;
    Parser parser = NewParser(watch, arrays, document.mArrays);
    if (parser != nullptr && bytes != nullptr && size <= static_cast<std::size_t>(INT_MAX)) {
        watch.mInputBytes = size;
        document.mDocument.reset(
            xmlCtxtReadMemory(parser.get(), bytes, static_cast<int>(size), nullptr, nullptr, kParseOptions));
    }
    document.DropIfRefused(watch.mEntityDeclared);
    if (document.IsEmpty()) {
        error = DescribeFailure(parser.get(), watch);
    }
    return document;
}

void ColladaDocument::DropIfRefused(bool refused) {
    // A stopped parse still hands over the part of the tree it had built.
    if (refused || mDocument == nullptr) {
        mDocument.reset();
        mArrays.clear();
    }
}

xmlNode* ColladaDocument::GetRoot() const { return mDocument != nullptr ? xmlDocGetRootElement(mDocument.get()) : nullptr; }

}  // namespace fbxsdk_2006_11_1
