// The numbers of an array element parsed while its document was read, kept
// in place of the element's text: "float_array" values, and the index lists
// of primitives and skin weights. A large mesh then never holds its arrays as
// text, and their numbers are read once, while libxml2 hands the text over.
// The element points at them through its _private field; the document that
// parsed them owns them.
#ifndef FBXFILESDK_COLLADA_COLLADAPARSEDARRAY_H
#define FBXFILESDK_COLLADA_COLLADAPARSEDARRAY_H

#include <libxml/tree.h>

#include <cstddef>
#include <vector>

namespace fbxsdk_2006_11_1 {

struct ColladaParsedArray {
    // One value per token of the text: single precision values as
    // ColladaXml::FloatOfToken reads them, or integers as IntOfToken does.
    bool mIntegers = false;
    std::vector<float> mFloats;
    std::vector<int> mInts;
    // The characters of the text they came from, which bound the counts a
    // document may announce for them.
    std::size_t mTextLength = 0;
    // The element whose text they are (elements below it lend theirs too).
    const xmlNode* mElement = nullptr;
};

// The numbers parsed in place of the element's text; null when it has its text.
inline ColladaParsedArray* GetParsedArray(const xmlNode* element) {
    return element != nullptr && element->type == XML_ELEMENT_NODE ? static_cast<ColladaParsedArray*>(element->_private)
                                                                    : nullptr;
}

// Hands the memory of the element's parsed numbers back, once nothing reads them again.
inline void ReleaseParsedArray(const xmlNode* element) {
    if (ColladaParsedArray* array = GetParsedArray(element)) {
        std::vector<float>().swap(array->mFloats);
        std::vector<int>().swap(array->mInts);
        array->mTextLength = 0;
    }
}

}  // namespace fbxsdk_2006_11_1

#endif
