// Builds a parsed document's elements, attributes and text in the nodes
// libxml2's own tree builder would make, with the same names, values, text
// and order, but in a ColladaNodeArena: the document's records then cost no
// call to the allocator each, and go with it at once. libxml2 still makes
// the document record, its DTD and what lies outside the root element, and
// frees them; the root is attached to the document only once the parse has
// succeeded, so that a document libxml2 frees itself never reaches it.
#ifndef FBXFILESDK_COLLADA_COLLADATREEBUILDER_H
#define FBXFILESDK_COLLADA_COLLADATREEBUILDER_H

#include <fbxfilesdk/collada/ColladaNodeArena.h>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstddef>

namespace fbxsdk_2006_11_1 {

class ColladaTreeBuilder {
public:
    explicit ColladaTreeBuilder(ColladaNodeArena& arena);

    // What the parser hands over, as its SAX2 handlers of the same names
    // take it; the element begun becomes the parser's current node.
    void StartElement(xmlParserCtxt* parser, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
                      int namespaceCount, const xmlChar** namespaces, int attributeCount, int defaultedCount,
                      const xmlChar** attributes);
    void EndElement(xmlParserCtxt* parser);
    // Text or CDATA (type) of the current element.
    void Text(xmlParserCtxt* parser, const xmlChar* text, int length, xmlElementType type);
    void Comment(xmlParserCtxt* parser, const xmlChar* value);
    void Instruction(xmlParserCtxt* parser, const xmlChar* target, const xmlChar* data);
    void Reference(xmlParserCtxt* parser, const xmlChar* name);

    // Whether memory ran out for a record, which ended the parse.
    bool RanOutOfMemory() const { return mOutOfMemory; }

    // Places the root element among the document's children, where
    // libxml2 would have; after a parse that gave the document.
    void Attach(xmlDoc* document) const;
    // Takes the document's elements out of its children again, before
    // libxml2 frees it.
    static void Detach(xmlDoc* document);

private:
    void Append(xmlNode* parent, xmlNode* child);
    xmlNode* NewText(xmlParserCtxt* parser, const xmlChar* text, std::size_t length);
    // A copy in the arena of a node libxml2 made alone, which is freed.
    xmlNode* Adopt(xmlNode* made, xmlDoc* document);
    // Adopt, appended to the current element; null made or no room ends the parse.
    void AppendAdopted(xmlParserCtxt* parser, xmlNode* made);
    // Ends the parse for want of memory.
    void Fail(xmlParserCtxt* parser);
    void AddAttribute(xmlParserCtxt* parser, xmlNode* element, xmlAttr*& last, const xmlChar* localName,
                      const xmlChar* prefix, const xmlChar* value, const xmlChar* valueEnd);

    ColladaNodeArena& mArena;
    xmlNode* mRoot = nullptr;
    // The document's last child when the root began: the root follows it.
    xmlNode* mRootAfter = nullptr;
    // The text node the next piece of text may join, and its room.
    xmlNode* mOpenText = nullptr;
    std::size_t mOpenLength = 0;
    std::size_t mOpenCapacity = 0;
    bool mOutOfMemory = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
