#include <fbxfilesdk/collada/ColladaTreeBuilder.h>

#include <libxml/SAX2.h>
#include <libxml/parserInternals.h>
#include <libxml/valid.h>

#include <climits>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

unsigned short LineOf(const xmlParserCtxt* parser) {
    if (parser->linenumbers == 0 || parser->input == nullptr) {
        return 0;
    }
    const auto line = static_cast<unsigned>(parser->input->line);
    return static_cast<unsigned short>(line < USHRT_MAX ? line : USHRT_MAX);
}

std::size_t LengthOf(const xmlChar* text) { return std::strlen(reinterpret_cast<const char*>(text)); }

// The namespace of the prefix as seen from the parent, as xmlSearchNs finds
// it. A parent's own namespace of the same prefix is that one already: it
// was found the same way, from the parent up. The prefix "xml" always names
// the document's own declaration, whatever an element declares.
xmlNs* InScopeNamespace(xmlDoc* document, xmlNode* parent, const xmlChar* prefix) {
    if (parent != nullptr && parent->type == XML_ELEMENT_NODE && parent->ns != nullptr &&
        parent->ns->href != nullptr) {
        const xmlChar* held = parent->ns->prefix;
        const bool same = held == nullptr ? prefix == nullptr : prefix != nullptr && xmlStrEqual(held, prefix);
        if (same && !xmlStrEqual(prefix, reinterpret_cast<const xmlChar*>("xml"))) {
            return parent->ns;
        }
    }
    return xmlSearchNs(document, parent, prefix);
}

}  // namespace

ColladaTreeBuilder::ColladaTreeBuilder(ColladaNodeArena& arena) : mArena(arena) {}

void ColladaTreeBuilder::StartElement(xmlParserCtxt* parser, const xmlChar* localName, const xmlChar* prefix,
                                      const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                                      int attributeCount, int defaultedCount, const xmlChar** attributes) {
    xmlDoc* document = parser->myDoc;
    auto* element = document != nullptr ? mArena.New<xmlNode>() : nullptr;
    if (element == nullptr) {
        Fail(parser);
        return;
    }
    // A prefix bound to no namespace stays in the name.
    if (prefix != nullptr && uri == nullptr) {
        if (const xmlChar* qualified = xmlDictQLookup(parser->dict, prefix, localName)) {
            localName = qualified;
        }
    }
    element->type = XML_ELEMENT_NODE;
    element->name = localName;
    element->doc = document;
    element->line = LineOf(parser);
    xmlNs* lastNamespace = nullptr;
    for (int at = 0; at < namespaceCount; ++at) {
        auto* declared = mArena.New<xmlNs>();
        if (declared == nullptr) {
            Fail(parser);
            return;
        }
        declared->type = XML_LOCAL_NAMESPACE;
        declared->prefix = namespaces[2 * at];
        declared->href = namespaces[2 * at + 1];
        (lastNamespace != nullptr ? lastNamespace->next : element->nsDef) = declared;
        lastNamespace = declared;
        if (uri != nullptr && prefix == declared->prefix) {
            element->ns = declared;
        }
    }
    xmlNode* parent = parser->node;
    parser->nodemem = -1;
    if (nodePush(parser, element) < 0) {
        return;
    }
    if (parent != nullptr) {
        Append(parent, element);
    } else {
        element->parent = reinterpret_cast<xmlNode*>(document);
        mRoot = element;
        mRootAfter = document->last;
    }
    if (uri != nullptr && element->ns == nullptr) {
        element->ns = InScopeNamespace(document, parent, prefix);
        if (element->ns == nullptr && xmlStrEqual(prefix, reinterpret_cast<const xmlChar*>("xml"))) {
            element->ns = xmlSearchNs(document, element, prefix);
        }
    }
    // Attributes the DTD adds by default are left out, as libxml2 leaves them.
    if (defaultedCount != 0 && (parser->loadsubset & XML_COMPLETE_ATTRS) == 0) {
        attributeCount -= defaultedCount;
    }
    xmlAttr* last = nullptr;
    for (int at = 0; at < attributeCount; ++at) {
        const xmlChar** attribute = attributes + 5 * at;
        const xmlChar* name = attribute[0];
        const xmlChar* attributePrefix = attribute[1];
        if (attributePrefix != nullptr && attribute[2] == nullptr) {
            if (const xmlChar* qualified = xmlDictQLookup(parser->dict, attributePrefix, name)) {
                name = qualified;
                attributePrefix = nullptr;
            }
        }
        AddAttribute(parser, element, last, name, attributePrefix, attribute[3], attribute[4]);
    }
}

void ColladaTreeBuilder::AddAttribute(xmlParserCtxt* parser, xmlNode* element, xmlAttr*& last,
                                      const xmlChar* localName, const xmlChar* prefix, const xmlChar* value,
                                      const xmlChar* valueEnd) {
    xmlDoc* document = element->doc;
    auto* attribute = mArena.New<xmlAttr>();
    if (attribute == nullptr) {
        Fail(parser);
        return;
    }
    attribute->type = XML_ATTRIBUTE_NODE;
    attribute->name = localName;
    attribute->parent = element;
    attribute->doc = document;
    attribute->ns = prefix != nullptr ? xmlSearchNs(document, element, prefix) : nullptr;
    attribute->prev = last;
    (last != nullptr ? last->next : element->properties) = attribute;
    last = attribute;
    auto* owner = reinterpret_cast<xmlNode*>(attribute);
    if (*valueEnd != 0) {
        // The value as it stands in the input: one text node.
        xmlNode* text = NewText(parser, value, static_cast<std::size_t>(valueEnd - value));
        if (text == nullptr) {
            Fail(parser);
            return;
        }
        attribute->children = attribute->last = text;
        text->parent = owner;
    } else {
        // A value the parser rewrote keeps its references for libxml2 to
        // read back into nodes.
        xmlNode* made = xmlStringLenGetNodeList(document, value, static_cast<int>(valueEnd - value));
        while (made != nullptr) {
            xmlNode* next = made->next;
            made->next = nullptr;
            xmlNode* node = Adopt(made, document);
            if (node == nullptr) {
                xmlFreeNodeList(next);
                Fail(parser);
                return;
            }
            node->parent = owner;
            node->prev = attribute->last;
            (attribute->last != nullptr ? attribute->last->next : attribute->children) = node;
            attribute->last = node;
            made = next;
        }
    }
    // Identifiers are registered with the document as libxml2 registers them.
    const bool xmlId = prefix != nullptr && prefix == parser->str_xml && xmlStrEqual(localName, BAD_CAST "id");
    const bool declared = document->intSubset != nullptr || document->extSubset != nullptr;
    const bool entitiesKept = (parser->replaceEntities == 0 && parser->external != 2) ||
                              (parser->replaceEntities != 0 && parser->inSubset == 0);
    xmlNode* text = attribute->children;
    if ((xmlId || declared) && (parser->loadsubset & XML_SKIP_IDS) == 0 && entitiesKept && text != nullptr &&
        text->type == XML_TEXT_NODE && text->next == nullptr) {
        if (xmlId || xmlIsID(document, element, attribute) != 0) {
            xmlAddID(&parser->vctxt, document, text->content, attribute);
        } else if (xmlIsRef(document, element, attribute) != 0) {
            xmlAddRef(&parser->vctxt, document, text->content, attribute);
        }
    }
}

void ColladaTreeBuilder::EndElement(xmlParserCtxt* parser) {
    parser->nodemem = -1;
    nodePop(parser);
}

void ColladaTreeBuilder::Text(xmlParserCtxt* parser, const xmlChar* text, int length, xmlElementType type) {
    xmlNode* parent = parser->node;
    if (parent == nullptr || length < 0) {
        return;
    }
    const auto size = static_cast<std::size_t>(length);
    xmlNode* last = parent->last;
    // Text joins the text node (or CDATA section) it follows.
    if (last != nullptr && last->type == type && (type != XML_TEXT_NODE || last->name == xmlStringText)) {
        if (last != mOpenText) {
            mOpenText = last;
            mOpenLength = last->content != nullptr ? LengthOf(last->content) : 0;
            mOpenCapacity = mOpenLength + 1;
        }
        xmlChar* grown = mOpenLength <= static_cast<std::size_t>(INT_MAX - length)
                             ? mArena.Grow(last->content, mOpenLength, mOpenCapacity, mOpenLength + size + 1)
                             : nullptr;
        if (grown == nullptr) {
            Fail(parser);
            return;
        }
        if (size != 0) {
            std::memcpy(grown + mOpenLength, text, size);
        }
        mOpenLength += size;
        grown[mOpenLength] = 0;
        last->content = grown;
        return;
    }
    xmlNode* node = type == XML_TEXT_NODE ? NewText(parser, text, size)
                                          : Adopt(xmlNewCDataBlock(parser->myDoc, text, length), parser->myDoc);
    if (node == nullptr) {
        Fail(parser);
        return;
    }
    Append(parent, node);
    mOpenText = node;
    mOpenLength = size;
    mOpenCapacity = size + 1;
}

void ColladaTreeBuilder::Comment(xmlParserCtxt* parser, const xmlChar* value) {
    // Outside the root element and in the DTD, libxml2's own nodes.
    if (parser->inSubset != 0 || parser->node == nullptr) {
        xmlSAX2Comment(parser, value);
        return;
    }
    xmlNode* made = xmlNewDocComment(parser->myDoc, value);
    if (made != nullptr) {
        made->line = LineOf(parser);
    }
    AppendAdopted(parser, made);
}

void ColladaTreeBuilder::Instruction(xmlParserCtxt* parser, const xmlChar* target, const xmlChar* data) {
    if (parser->inSubset != 0 || parser->node == nullptr) {
        xmlSAX2ProcessingInstruction(parser, target, data);
        return;
    }
    xmlNode* made = xmlNewDocPI(parser->myDoc, target, data);
    if (made != nullptr) {
        made->line = LineOf(parser);
    }
    AppendAdopted(parser, made);
}

void ColladaTreeBuilder::Reference(xmlParserCtxt* parser, const xmlChar* name) {
    if (parser->node == nullptr || name == nullptr) {
        return;
    }
    AppendAdopted(parser, name[0] == '#' ? xmlNewCharRef(parser->myDoc, name) : xmlNewReference(parser->myDoc, name));
}

void ColladaTreeBuilder::AppendAdopted(xmlParserCtxt* parser, xmlNode* made) {
    if (xmlNode* node = Adopt(made, parser->myDoc)) {
        Append(parser->node, node);
    } else {
        Fail(parser);
    }
}

void ColladaTreeBuilder::Fail(xmlParserCtxt* parser) {
    // libxml2 would take the tree cut short for a whole one: the parse ends
    // as a failure instead.
    mOutOfMemory = true;
    xmlStopParser(parser);
}

void ColladaTreeBuilder::Append(xmlNode* parent, xmlNode* child) {
    child->parent = parent;
    child->prev = parent->last;
    (parent->last != nullptr ? parent->last->next : parent->children) = child;
    parent->last = child;
}

xmlNode* ColladaTreeBuilder::NewText(xmlParserCtxt* parser, const xmlChar* text, std::size_t length) {
    auto* node = mArena.New<xmlNode>();
    if (node == nullptr || (node->content = mArena.Copy(text, length)) == nullptr) {
        return nullptr;
    }
    node->type = XML_TEXT_NODE;
    node->name = xmlStringText;
    node->doc = parser->myDoc;
    node->line = LineOf(parser);
    return node;
}

xmlNode* ColladaTreeBuilder::Adopt(xmlNode* made, xmlDoc* document) {
    if (made == nullptr) {
        return nullptr;
    }
    auto* node = mArena.New<xmlNode>();
    if (node != nullptr) {
        *node = *made;
        node->parent = node->prev = node->next = nullptr;
        // A reference points at its entity, which the document keeps; other
        // nodes made alone own their text, which is copied.
        if (made->type != XML_ENTITY_REF_NODE) {
            node->children = node->last = nullptr;
            node->properties = nullptr;
            node->nsDef = nullptr;
            node->content = made->content != nullptr ? mArena.Copy(made->content, LengthOf(made->content)) : nullptr;
        }
        const bool fixedName = made->type == XML_TEXT_NODE || made->type == XML_COMMENT_NODE ||
                               made->type == XML_CDATA_SECTION_NODE;
        if (made->name != nullptr && !fixedName &&
            (document == nullptr || document->dict == nullptr || xmlDictOwns(document->dict, made->name) == 0)) {
            node->name = mArena.Copy(made->name, LengthOf(made->name));
        }
    }
    xmlFreeNode(made);
    return node;
}

void ColladaTreeBuilder::Attach(xmlDoc* document) const {
    if (document == nullptr || mRoot == nullptr) {
        return;
    }
    mRoot->prev = mRootAfter;
    mRoot->next = mRootAfter != nullptr ? mRootAfter->next : document->children;
    (mRoot->next != nullptr ? mRoot->next->prev : document->last) = mRoot;
    (mRootAfter != nullptr ? mRootAfter->next : document->children) = mRoot;
}

void ColladaTreeBuilder::Detach(xmlDoc* document) {
    for (xmlNode* child = document->children; child != nullptr;) {
        xmlNode* next = child->next;
        if (child->type == XML_ELEMENT_NODE) {
            xmlUnlinkNode(child);
        }
        child = next;
    }
}

}  // namespace fbxsdk_2006_11_1
