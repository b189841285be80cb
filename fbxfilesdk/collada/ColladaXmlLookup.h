// Finding elements and reading attributes and text in a COLLADA document
// tree. Only element nodes count as children here: text, comments and the
// like are passed over. Names, ids and profiles are compared exactly (case
// matters, the whole text). Every routine takes null for "no element" and
// then finds nothing or gives empty text.
#ifndef FBXFILESDK_COLLADA_COLLADAXMLLOOKUP_H
#define FBXFILESDK_COLLADA_COLLADAXMLLOOKUP_H

#include <fbxfilesdk/collada/ColladaParsedArray.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/core/KString.h>

#include <libxml/tree.h>

#include <cstddef>
#include <initializer_list>
#include <vector>

namespace fbxsdk_2006_11_1 {

// An instance's "url" taken apart: the whole attribute, and the id after its
// first "#" (empty without "#"). What stands before the "#" names another
// document, which is never followed.
struct ColladaUrlReference {
    KString mUrl;
    KString mId;
};

namespace ColladaXml {

// The element children of a node in document order, for range-for loops.
class ChildElements {
public:
    class Iterator {
    public:
        explicit Iterator(xmlNode* node) : mNode(node) {}
        xmlNode* operator*() const { return mNode; }
        Iterator& operator++();
        bool operator!=(const Iterator& other) const { return mNode != other.mNode; }

    private:
        xmlNode* mNode;
    };

    explicit ChildElements(const xmlNode* parent);
    Iterator begin() const { return Iterator(mFirst); }
    Iterator end() const { return Iterator(nullptr); }

private:
    xmlNode* mFirst;
};

// The first element at or after node among its siblings; null when none.
xmlNode* FirstElementFrom(xmlNode* node);
// The element's own name ("" for null).
const char* GetName(const xmlNode* element);
bool IsNamed(const xmlNode* element, const char* name);

// The attribute's value; empty for a null element or name and for an
// absent attribute (so that messages quoting it keep their text).
KString GetAttribute(const xmlNode* element, const char* name);
// True when the attribute is there with exactly that value; reads the value
// in place, without a copy.
bool HasAttributeValue(const xmlNode* element, const char* name, const char* value);
// The element's whole text (all text below it); empty for null.
KString GetContent(const xmlNode* element);

// The first child element of that name; null when none.
xmlNode* FindChild(const xmlNode* element, const char* name);
// Appends every child element of that name, in order.
void FindChildren(const xmlNode* element, const char* name, std::vector<xmlNode*>& found);
// The first child element whose "id" is not empty and equals id.
xmlNode* FindChildById(const xmlNode* element, const char* id);
// The first child element whose name is any of the names.
xmlNode* FindChildByNames(const xmlNode* element, std::initializer_list<const char*> names);
// The first child "technique", whatever its profile.
xmlNode* FindTechnique(const xmlNode* element);
// The first child "technique" whose "profile" equals profile.
xmlNode* FindTechniqueByProfile(const xmlNode* element, const char* profile);
// The first child "technique_common".
xmlNode* FindTechniqueCommon(const xmlNode* element);
// The "accessor" of a source's "technique_common"; null when either is missing.
xmlNode* FindAccessor(const xmlNode* source);
// The array element a param type is stored in: "float" "float_array",
// "name" "Name_array", "int" "int_array", "bool" "bool_array"; empty for
// any other type.
KString GetArrayElementName(const char* paramType);
// A source's first child that is either a generic "array" or the typed array
// of the param type. Names are also found in an "IDREF_array", the form in
// which skins often list their joints.
xmlNode* FindArrayElement(const xmlNode* source, const char* paramType);
// The input's "offset"; 0 when absent.
int GetInputOffset(const xmlNode* input);
// The element's "url"; both fields empty for null or a missing "url".
ColladaUrlReference GetUrlReference(const xmlNode* element);
// A reference attribute ("source", "target", "url") without its first
// character, which is the "#" of a reference into this document. Empty when
// the attribute is absent or empty.
KString GetReferenceId(const xmlNode* element, const char* attribute);

// The text of an element, read in place when it is one text node (the usual
// case, and the one that matters for large arrays), else gathered into a
// copy. Never null. An element whose numbers the document parsed as it was
// read (ColladaParsedArray.h) has them instead of its text.
class ElementText {
public:
    explicit ElementText(const xmlNode* element);
    ~ElementText();
    ElementText(const ElementText&) = delete;
    ElementText& operator=(const ElementText&) = delete;

    // The text; empty when the numbers were parsed.
    const char* Get() const { return mText; }
    // The numbers for the array parsers: the parsed ones, or the text.
    NumberInput Numbers() const;
    // The characters of the text, parsed or not.
    std::size_t Length() const;

private:
    const char* mText;
    xmlChar* mOwned = nullptr;
    const ColladaParsedArray* mParsed = nullptr;
};

}  // namespace ColladaXml
}  // namespace fbxsdk_2006_11_1

#endif
