// A COLLADA document parsed into a libxml2 tree, and owned. Parsing takes
// text nodes of any size (large meshes hold arrays of tens of megabytes in
// one element), never reaches the network, and refuses a document that
// declares entities: COLLADA has no use for them, and a few nested entity
// declarations could otherwise expand into gigabytes of text when their
// references are read.
#ifndef FBXFILESDK_COLLADA_COLLADADOCUMENT_H
#define FBXFILESDK_COLLADA_COLLADADOCUMENT_H

#include <fbxfilesdk/collada/ColladaNodeArena.h>
#include <fbxfilesdk/collada/ColladaParsedArray.h>
#include <fbxfilesdk/core/KString.h>

#include <libxml/tree.h>

#include <cstddef>
#include <cstdio>
#include <deque>
#include <memory>

namespace fbxsdk_2006_11_1 {

// What becomes of the text of number arrays ("float_array", and the index
// lists "p", "vcount" and "v" of primitives and skin weights): kept in the
// tree, or parsed as it is read into numbers the elements point at
// (ColladaParsedArray.h), which the readers of ColladaXml take alike. Parsed,
// a large mesh never holds its arrays as text.
enum class ColladaArrayText { kKeep, kParse };

class ColladaDocument {
public:
    ColladaDocument() = default;
    ColladaDocument(ColladaDocument&&) noexcept = default;
    // The tree this document held goes before the memory of its nodes.
    ColladaDocument& operator=(ColladaDocument&& other) noexcept;

    // The document read from the stream's current position to its end.
    // When it cannot be had, the result is empty and error says why.
    static ColladaDocument ParseStream(std::FILE* stream, const char* name, KString& error,
                                       ColladaArrayText arrays = ColladaArrayText::kKeep);
    static ColladaDocument ParseMemory(const char* bytes, std::size_t size, KString& error,
                                       ColladaArrayText arrays = ColladaArrayText::kKeep);

    bool IsEmpty() const { return mDocument == nullptr; }
    xmlDoc* Get() const { return mDocument.get(); }
    // The root element; null for an empty document.
    xmlNode* GetRoot() const;

private:
    void DropIfRefused(bool refused);

    // Frees what libxml2 made of the document, its elements left out.
    struct Free {
        void operator()(xmlDoc* document) const;
    };

    // Declared before the tree, whose elements point into them and which
    // holds its elements, so that they outlive it.
    std::deque<ColladaParsedArray> mArrays;
    ColladaNodeArena mNodes;
    std::unique_ptr<xmlDoc, Free> mDocument;
};

}  // namespace fbxsdk_2006_11_1

#endif
