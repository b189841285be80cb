// A parsed field file: every record as a node whose children lie side by side
// in one array, so that a block is a range and look-up by name is a scan of
// that range. Names and values stay in the file image; a node only points at
// them, and values are decoded when they are read.
#ifndef FBXFILESDK_FBX_FIELDTREE_H
#define FBXFILESDK_FBX_FIELDTREE_H

#include <cstdint>
#include <vector>

namespace fbxsdk_2006_11_1 {

struct FieldNode {
    std::uint64_t nameBegin = 0;
    // Binary: the encoded values. Ascii: the text of the value list.
    std::uint64_t valuesBegin = 0;
    std::uint64_t valuesEnd = 0;
    std::uint32_t valueCount = 0;
    std::uint32_t childBegin = 0;
    std::uint32_t childCount = 0;
    // Ascii only: where the value text starts, for error messages.
    std::uint32_t line = 0;
    std::uint8_t nameLength = 0;
    bool hasBlock = false;
};

struct FieldSection {
    int version = 0;
    std::uint32_t childBegin = 0;
    std::uint32_t childCount = 0;
};

struct FieldTree {
    std::vector<FieldNode> nodes;
    std::vector<FieldSection> sections;

    void Clear() {
        nodes.clear();
        sections.clear();
    }
};

}  // namespace fbxsdk_2006_11_1

#endif
