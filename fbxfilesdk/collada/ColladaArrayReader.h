// Parses the number arrays of a document (ColladaParsedArray.h) while
// libxml2 reads it: the parse calls it for each element the tree builder
// makes, for each piece of text of an element with numbers, and at each
// element's end. An array's text arrives in pieces cut anywhere, a token
// possibly across several; the numbers are exactly those the element's
// whole text holds, as the tree would have given it (text below child
// elements, CDATA sections and character references included).
#ifndef FBXFILESDK_COLLADA_COLLADAARRAYREADER_H
#define FBXFILESDK_COLLADA_COLLADAARRAYREADER_H

#include <fbxfilesdk/collada/ColladaParsedArray.h>

#include <libxml/tree.h>

#include <cstddef>
#include <deque>
#include <string>

namespace fbxsdk_2006_11_1 {

class ColladaArrayReader {
public:
    // arrays: where the parsed arrays go.
    explicit ColladaArrayReader(std::deque<ColladaParsedArray>& arrays);

    // The element the tree builder has just made below parent: an array
    // (float_array, the p, vcount and v index lists), or an element below
    // one, gets numbers in place of text. The new array of an array element,
    // else null.
    ColladaParsedArray* StartElement(xmlNode* element, xmlNode* parent);
    // Room for the values the new array's element announces, no more than
    // the remainingBytes the input holds at most after its start could fill.
    // Apart from StartElement, so that the rest of the input is measured
    // only for arrays.
    static void Reserve(ColladaParsedArray& array, std::size_t remainingBytes);
    // A piece of the text of an element with numbers: whole tokens are
    // stored, the one it ends in waits for the next piece.
    void Feed(ColladaParsedArray& array, const xmlChar* text, int length);
    // The end of an element; an array's last token is stored.
    void EndElement(const xmlNode* element);

private:
    std::deque<ColladaParsedArray>& mArrays;
    // The token the last piece ended in.
    std::string mCarry;
};

}  // namespace fbxsdk_2006_11_1

#endif
