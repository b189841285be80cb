#include <fbxfilesdk/collada/ColladaXmlLookup.h>

#include <charconv>
#include <cstring>

namespace fbxsdk_2006_11_1::ColladaXml {

namespace {

const char* AsText(const xmlChar* text) { return reinterpret_cast<const char*>(text); }
const xmlChar* AsXml(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

// Most names asked about differ from the element's in their first letter,
// which tells without a call.
bool SameText(const xmlChar* a, const char* b) {
    return a != nullptr && b != nullptr && AsText(a)[0] == b[0] && std::strcmp(AsText(a), b) == 0;
}

// The text of the attribute xmlGetProp would read (the first of the name,
// in any namespace) when it is held as one text node; null otherwise
// (absent, or made of several nodes), xmlGetProp then telling what it holds.
const xmlChar* AttributeTextInPlace(const xmlNode* element, const char* name) {
    if (element == nullptr || name == nullptr || element->type != XML_ELEMENT_NODE) {
        return nullptr;
    }
    for (const xmlAttr* attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
        if (SameText(attribute->name, name)) {
            const xmlNode* text = attribute->type == XML_ATTRIBUTE_NODE ? attribute->children : nullptr;
            const bool single = text != nullptr && text->next == nullptr &&
                                (text->type == XML_TEXT_NODE || text->type == XML_CDATA_SECTION_NODE);
            return single ? text->content : nullptr;
        }
    }
    return nullptr;
}

}  // namespace

ChildElements::Iterator& ChildElements::Iterator::operator++() {
    mNode = FirstElementFrom(mNode->next);
    return *this;
}

ChildElements::ChildElements(const xmlNode* parent)
    : mFirst(parent != nullptr ? FirstElementFrom(parent->children) : nullptr) {}

xmlNode* FirstElementFrom(xmlNode* node) {
    while (node != nullptr && node->type != XML_ELEMENT_NODE) {
        node = node->next;
    }
    return node;
}

const char* GetName(const xmlNode* element) {
    return element != nullptr && element->name != nullptr ? AsText(element->name) : "";
}

bool IsNamed(const xmlNode* element, const char* name) {
    return element != nullptr && element->type == XML_ELEMENT_NODE && SameText(element->name, name);
}

KString GetAttribute(const xmlNode* element, const char* name) {
    if (element == nullptr || name == nullptr) {
        return KString();
    }
    if (const xmlChar* plain = AttributeTextInPlace(element, name)) {
        return KString(AsText(plain));
    }
    xmlChar* value = xmlGetProp(element, AsXml(name));
    KString text(value != nullptr ? AsText(value) : "");
    xmlFree(value);
    return text;
}

bool HasAttributeValue(const xmlNode* element, const char* name, const char* value) {
    if (const xmlChar* text = AttributeTextInPlace(element, name)) {
        return SameText(text, value);
    }
    if (element == nullptr || name == nullptr || xmlHasProp(element, AsXml(name)) == nullptr) {
        return false;
    }
    return GetAttribute(element, name) == value;
}

KString GetContent(const xmlNode* element) {
    if (element == nullptr) {
        return KString();
    }
    xmlChar* content = xmlNodeGetContent(element);
    KString text(content != nullptr ? AsText(content) : "");
    xmlFree(content);
    return text;
}

xmlNode* FindChild(const xmlNode* element, const char* name) {
    for (xmlNode* child : ChildElements(element)) {
        if (SameText(child->name, name)) {
            return child;
        }
    }
    return nullptr;
}

void FindChildren(const xmlNode* element, const char* name, std::vector<xmlNode*>& found) {
    for (xmlNode* child : ChildElements(element)) {
        if (SameText(child->name, name)) {
            found.push_back(child);
        }
    }
}

xmlNode* FindChildById(const xmlNode* element, const char* id) {
    if (id == nullptr || id[0] == '\0') {
        return nullptr;
    }
    for (xmlNode* child : ChildElements(element)) {
        if (HasAttributeValue(child, "id", id)) {
            return child;
        }
    }
    return nullptr;
}

xmlNode* FindChildByNames(const xmlNode* element, std::initializer_list<const char*> names) {
    for (xmlNode* child : ChildElements(element)) {
        for (const char* name : names) {
            if (SameText(child->name, name)) {
                return child;
            }
        }
    }
    return nullptr;
}

xmlNode* FindTechnique(const xmlNode* element) { return FindChild(element, "technique"); }

xmlNode* FindTechniqueByProfile(const xmlNode* element, const char* profile) {
    for (xmlNode* child : ChildElements(element)) {
        if (SameText(child->name, "technique") && HasAttributeValue(child, "profile", profile)) {
            return child;
        }
    }
    return nullptr;
}

xmlNode* FindTechniqueCommon(const xmlNode* element) { return FindChild(element, "technique_common"); }

xmlNode* FindAccessor(const xmlNode* source) {
    const xmlNode* common = FindTechniqueCommon(source);
    return common != nullptr ? FindChild(common, "accessor") : nullptr;
}

KString GetArrayElementName(const char* paramType) {
    if (paramType == nullptr) {
        return KString("");
    }
    static const char* const kNames[][2] = {
        {"float", "float_array"}, {"name", "Name_array"}, {"IDREF", "IDREF_array"}, {"int", "int_array"}, {"bool", "bool_array"}};
    for (const auto& pair : kNames) {
        if (std::strcmp(paramType, pair[0]) == 0) {
            return KString(pair[1]);
        }
    }
    return KString("");
}

xmlNode* FindArrayElement(const xmlNode* source, const char* paramType) {
    const KString typed = GetArrayElementName(paramType);
    if (typed == "Name_array") {
        return FindChildByNames(source, {"array", "Name_array", "IDREF_array"});
    }
    return FindChildByNames(source, {"array", typed.Buffer()});
}

int GetInputOffset(const xmlNode* input) {
    const KString offset = GetAttribute(input, "offset");
    int value = 0;
    const char* text = offset.Buffer();
    std::from_chars(text, text + offset.GetLen(), value);
    return value;
}

ColladaUrlReference GetUrlReference(const xmlNode* element) {
    ColladaUrlReference reference{KString(""), KString("")};
    if (element == nullptr || xmlHasProp(element, AsXml("url")) == nullptr) {
        return reference;
    }
    reference.mUrl = GetAttribute(element, "url");
    const int hash = reference.mUrl.Find('#');
    if (hash >= 0) {
        reference.mId = reference.mUrl.Mid(hash + 1);
    }
    return reference;
}

KString GetReferenceId(const xmlNode* element, const char* attribute) {
    const KString value = GetAttribute(element, attribute);
    return value.GetLen() > 1 ? value.Mid(1) : KString("");
}

ElementText::ElementText(const xmlNode* element) : mText(""), mParsed(GetParsedArray(element)) {
    if (element == nullptr || mParsed != nullptr) {
        return;
    }
    const xmlNode* child = element->children;
    if (child == nullptr) {
        return;
    }
    const bool plainText = child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE;
    if (plainText && child->next == nullptr) {
        mText = child->content != nullptr ? AsText(child->content) : "";
        return;
    }
    mOwned = xmlNodeGetContent(element);
    if (mOwned != nullptr) {
        mText = AsText(mOwned);
    }
}

ElementText::~ElementText() { xmlFree(mOwned); }

NumberInput ElementText::Numbers() const {
    if (mParsed == nullptr) {
        return NumberInput(mText);
    }
    return mParsed->mIntegers ? NumberInput(std::span<const int>(mParsed->mInts))
                              : NumberInput(std::span<const float>(mParsed->mFloats));
}

std::size_t ElementText::Length() const { return mParsed != nullptr ? mParsed->mTextLength : std::strlen(mText); }

}  // namespace fbxsdk_2006_11_1::ColladaXml
