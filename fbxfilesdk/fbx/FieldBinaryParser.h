// Reads the record structure of binary field data into a FieldTree, checking
// every offset, length and count against the bytes that are there.
#ifndef FBXFILESDK_FBX_FIELDBINARYPARSER_H
#define FBXFILESDK_FBX_FIELDBINARYPARSER_H

#include <fbxfilesdk/fbx/FieldTree.h>

#include <cstdint>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

// A stretch of the image filled with records, and where its top-level
// records are in the tree once parsed.
struct BinaryRecordRange {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::uint32_t first = 0;
    std::uint32_t count = 0;
};

// Parses the records of each range in turn, offsets being the image's; the
// tree grows once for all of them. On failure, at the first fault in the
// order of the ranges, error names its offset and what it is.
bool ParseBinaryRecords(const unsigned char* image, std::vector<BinaryRecordRange>& ranges, FieldTree& tree,
                        std::string& error);

// Parses the records that fill [begin, end) of image.
bool ParseBinaryRecords(const unsigned char* image, std::uint64_t begin, std::uint64_t end, FieldTree& tree,
                        std::uint32_t& first, std::uint32_t& count, std::string& error);

// Walks size bytes of encoded values; false when one is malformed or does not
// fit. count receives the number of values, array elements counted singly.
bool CountBinaryValues(const unsigned char* values, std::uint64_t size, std::uint64_t& count);

}  // namespace fbxsdk_2006_11_1

#endif
