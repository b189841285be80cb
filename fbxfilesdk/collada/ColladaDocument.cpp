#include <fbxfilesdk/collada/ColladaDocument.h>

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOBLANKS | XML_PARSE_COMPACT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

struct ParserFree {
    void operator()(xmlParserCtxt* parser) const { xmlFreeParserCtxt(parser); }
};
using Parser = std::unique_ptr<xmlParserCtxt, ParserFree>;

// What the parse saw besides the tree.
struct ParseWatch {
    bool mEntityDeclared = false;
};

void RefuseEntity(void* context, const xmlChar* /*name*/, int /*type*/, const xmlChar* /*publicId*/,
                  const xmlChar* /*systemId*/, xmlChar* /*content*/) {
    auto* parser = static_cast<xmlParserCtxt*>(context);
    static_cast<ParseWatch*>(parser->_private)->mEntityDeclared = true;
    xmlStopParser(parser);
}

int ReadFromStream(void* context, char* buffer, int length) {
    auto* stream = static_cast<std::FILE*>(context);
    const std::size_t read = std::fread(buffer, 1, static_cast<std::size_t>(length), stream);
    return read == 0 && std::ferror(stream) != 0 ? -1 : static_cast<int>(read);
}

Parser NewParser(ParseWatch& watch) {
    xmlInitParser();
    Parser parser(xmlNewParserCtxt());
    if (parser != nullptr) {
        parser->_private = &watch;
        parser->sax->entityDecl = &RefuseEntity;
    }
    return parser;
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

ColladaDocument ColladaDocument::ParseStream(std::FILE* stream, const char* name, KString& error) {
    ColladaDocument document;
    ParseWatch watch;
    Parser parser = NewParser(watch);
    if (parser != nullptr && stream != nullptr) {
        document.mDocument.reset(
            xmlCtxtReadIO(parser.get(), &ReadFromStream, nullptr, stream, name, nullptr, kParseOptions));
    }
    document.DropIfRefused(watch.mEntityDeclared);
    if (document.IsEmpty()) {
        error = DescribeFailure(parser.get(), watch);
    }
    return document;
}

ColladaDocument ColladaDocument::ParseMemory(const char* bytes, std::size_t size, KString& error) {
    ColladaDocument document;
    ParseWatch watch;
    Parser parser = NewParser(watch);
    if (parser != nullptr && bytes != nullptr && size <= static_cast<std::size_t>(INT_MAX)) {
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
    if (refused) {
        mDocument.reset();
    }
}

xmlNode* ColladaDocument::GetRoot() const { return mDocument != nullptr ? xmlDocGetRootElement(mDocument.get()) : nullptr; }

}  // namespace fbxsdk_2006_11_1
