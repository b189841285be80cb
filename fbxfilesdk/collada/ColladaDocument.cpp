#include <fbxfilesdk/collada/ColladaDocument.h>

#include <fbxfilesdk/collada/ColladaArrayReader.h>
#include <fbxfilesdk/collada/ColladaTreeBuilder.h>
#include <fbxfilesdk/collada/ColladaXmlLibrary.h>

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOBLANKS | XML_PARSE_COMPACT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

struct ParserFree {
    void operator()(xmlParserCtxt* parser) const { xmlFreeParserCtxt(parser); }
};
using Parser = std::unique_ptr<xmlParserCtxt, ParserFree>;

// What builds the tree, what the parse saw besides it, and what parses its
// number arrays (none when arrays keep their text).
struct ParseWatch {
    explicit ParseWatch(ColladaNodeArena& nodes) : mTree(nodes) {}

    ColladaTreeBuilder mTree;
    bool mEntityDeclared = false;
    std::optional<ColladaArrayReader> mArrays;
    // What the input holds at most.
    std::size_t mInputBytes = 0;
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

void OnIgnorableWhitespace(void* context, const xmlChar* text, int length);

xmlParserCtxt* ParserOf(void* context) { return static_cast<xmlParserCtxt*>(context); }

void OnStartElement(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                    int namespaceCount, const xmlChar** namespaces, int attributeCount, int defaultedCount,
                    const xmlChar** attributes) {
    xmlParserCtxt* parser = ParserOf(context);
    ParseWatch& watch = WatchOf(context);
    xmlNode* parent = parser->node;
    watch.mTree.StartElement(parser, localName, prefix, uri, namespaceCount, namespaces, attributeCount,
                             defaultedCount, attributes);
    if (watch.mArrays && parser->node != nullptr && parser->node != parent) {
        // Set here, once the parse options (which set their own) are in
        // force: blanks that would join a text node join an array's text as
        // well.
        parser->sax->ignorableWhitespace = &OnIgnorableWhitespace;
        if (ColladaParsedArray* array = watch.mArrays->StartElement(parser->node, parent)) {
            const long consumed = xmlByteConsumed(parser);
            const std::size_t read =
                consumed > 0 ? std::min(static_cast<std::size_t>(consumed), watch.mInputBytes) : std::size_t{0};
            ColladaArrayReader::Reserve(*array, watch.mInputBytes - read);
        }
    }
}

void OnEndElement(void* context, const xmlChar* /*localName*/, const xmlChar* /*prefix*/, const xmlChar* /*uri*/) {
    ParseWatch& watch = WatchOf(context);
    if (watch.mArrays) {
        watch.mArrays->EndElement(ParserOf(context)->node);
    }
    watch.mTree.EndElement(ParserOf(context));
}

// The text of an array element (or below one) goes to its numbers; other
// text to the tree, as libxml2 would put it.
template <xmlElementType kType>
void OnText(void* context, const xmlChar* text, int length) {
    ParseWatch& watch = WatchOf(context);
    if (ColladaParsedArray* array = watch.mArrays ? GetParsedArray(ParserOf(context)->node) : nullptr) {
        watch.mArrays->Feed(*array, text, length);
    } else {
        watch.mTree.Text(ParserOf(context), text, length, kType);
    }
}

void OnIgnorableWhitespace(void* context, const xmlChar* text, int length) {
    if (ColladaParsedArray* array = GetParsedArray(ParserOf(context)->node)) {
        WatchOf(context).mArrays->Feed(*array, text, length);
    } else {
        xmlSAX2IgnorableWhitespace(context, text, length);
    }
}

void OnComment(void* context, const xmlChar* value) { WatchOf(context).mTree.Comment(ParserOf(context), value); }

void OnInstruction(void* context, const xmlChar* target, const xmlChar* data) {
    WatchOf(context).mTree.Instruction(ParserOf(context), target, data);
}

void OnReference(void* context, const xmlChar* name) { WatchOf(context).mTree.Reference(ParserOf(context), name); }

// A parser context with its dictionary is kept on each thread between
// parses: making them, growing the dictionary to a document's names and
// freeing both again cost about as much as reading a small document. A
// context that saw a failed or stopped parse is not kept, nor one whose
// dictionary has grown past what documents commonly name.
constexpr int kMaxKeptNames = 4096;

struct KeptParser {
    Parser mParser;
    // The handlers of a new context, which each parse starts from.
    xmlSAXHandler mHandlers{};
};

thread_local KeptParser tKeptParser;

KeptParser TakeParser() {
    if (tKeptParser.mParser != nullptr) {
        return std::move(tKeptParser);
    }
    ColladaReadyXml();
    KeptParser kept{Parser(xmlNewParserCtxt())};
    if (kept.mParser != nullptr) {
        kept.mHandlers = *kept.mParser->sax;
    }
    return kept;
}

void KeepParser(KeptParser kept, bool parsed) {
    if (kept.mParser == nullptr || !parsed || xmlDictSize(kept.mParser->dict) > kMaxKeptNames) {
        return;
    }
    // Lets the input (a whole copy of a document read from memory) go now
    // rather than at the next parse.
    xmlCtxtReset(kept.mParser.get());
    kept.mParser->_private = nullptr;
    tKeptParser = std::move(kept);
}

// Readies the parser; with arrays to parse, into parsed, from an input of at
// most inputBytes.
void Prepare(KeptParser& kept, ParseWatch& watch, ColladaArrayText arrays, std::deque<ColladaParsedArray>& parsed,
             std::size_t inputBytes) {
    xmlParserCtxt* parser = kept.mParser.get();
    if (parser == nullptr) {
        return;
    }
    *parser->sax = kept.mHandlers;
    parser->_private = &watch;
    parser->sax->entityDecl = &RefuseEntity;
    parser->sax->startElementNs = &OnStartElement;
    parser->sax->endElementNs = &OnEndElement;
    parser->sax->characters = &OnText<XML_TEXT_NODE>;
    parser->sax->cdataBlock = &OnText<XML_CDATA_SECTION_NODE>;
    parser->sax->comment = &OnComment;
    parser->sax->processingInstruction = &OnInstruction;
    parser->sax->reference = &OnReference;
    if (arrays == ColladaArrayText::kParse) {
        watch.mArrays.emplace(parsed);
        watch.mInputBytes = inputBytes;
    }
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
    if (parser == nullptr || watch.mTree.RanOutOfMemory()) {
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

// Attaches the tree to the document the parse gave, or says why it gave
// none; keeps the parser of a parse that gave one.
void EndParse(KeptParser parser, const ParseWatch& watch, xmlDoc* document, KString& error) {
    const bool parsed = document != nullptr;
    if (parsed) {
        watch.mTree.Attach(document);
    } else {
        error = DescribeFailure(parser.mParser.get(), watch);
    }
    KeepParser(std::move(parser), parsed);
}

}  // namespace

ColladaDocument ColladaDocument::ParseStream(std::FILE* stream, const char* name, KString& error,
                                             ColladaArrayText arrays) {
    ColladaDocument document;
    ParseWatch watch(document.mNodes);
    KeptParser parser = TakeParser();
    Prepare(parser, watch, arrays, document.mArrays, stream != nullptr ? RemainingBytes(stream) : 0);
    if (parser.mParser != nullptr && stream != nullptr) {
        document.mDocument.reset(
            xmlCtxtReadIO(parser.mParser.get(), &ReadFromStream, nullptr, stream, name, nullptr, kParseOptions));
    }
    document.DropIfRefused(watch.mEntityDeclared || watch.mTree.RanOutOfMemory());
    EndParse(std::move(parser), watch, document.Get(), error);
    return document;
}

ColladaDocument ColladaDocument::ParseMemory(const char* bytes, std::size_t size, KString& error,
                                             ColladaArrayText arrays) {
    ColladaDocument document;
    ParseWatch watch(document.mNodes);
    KeptParser parser = TakeParser();
    Prepare(parser, watch, arrays, document.mArrays, size);
    if (parser.mParser != nullptr && bytes != nullptr && size <= static_cast<std::size_t>(INT_MAX)) {
        document.mDocument.reset(xmlCtxtReadMemory(parser.mParser.get(), bytes, static_cast<int>(size), nullptr,
                                                   nullptr, kParseOptions));
    }
    document.DropIfRefused(watch.mEntityDeclared || watch.mTree.RanOutOfMemory());
    EndParse(std::move(parser), watch, document.Get(), error);
    return document;
}

void ColladaDocument::DropIfRefused(bool refused) {
    // A stopped parse still hands over the part of the tree it had built.
    if (refused || mDocument == nullptr) {
        mDocument.reset();
        mNodes.Clear();
        mArrays.clear();
    }
}

ColladaDocument& ColladaDocument::operator=(ColladaDocument&& other) noexcept {
    mDocument = std::move(other.mDocument);
    mNodes = std::move(other.mNodes);
    mArrays = std::move(other.mArrays);
    return *this;
}

void ColladaDocument::Free::operator()(xmlDoc* document) const {
    ColladaTreeBuilder::Detach(document);
    xmlFreeDoc(document);
}

xmlNode* ColladaDocument::GetRoot() const { return mDocument != nullptr ? xmlDocGetRootElement(mDocument.get()) : nullptr; }

}  // namespace fbxsdk_2006_11_1
