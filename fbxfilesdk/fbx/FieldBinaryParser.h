// Reads the record structure of binary field data into a FieldTree, checking
// every offset, length and count against the bytes that are there.
#ifndef FBXFILESDK_FBX_FIELDBINARYPARSER_H
#define FBXFILESDK_FBX_FIELDBINARYPARSER_H

#include <fbxfilesdk/fbx/FieldTree.h>

#include <cstdint>
#include <string>

namespace fbxsdk_2006_11_1 {

// Parses the records that fill [begin, end) of image; offsets are the image's.
// On failure error names the offset and the fault.
bool ParseBinaryRecords(const unsigned char* image, std::uint64_t begin, std::uint64_t end, FieldTree& tree,
                        std::uint32_t& first, std::uint32_t& count, std::string& error);

// Walks size bytes of encoded values; false when one is malformed or does not
// fit. count receives the number of values, array elements counted singly.
bool CountBinaryValues(const unsigned char* values, std::uint64_t size, std::uint64_t& count);

}  // namespace fbxsdk_2006_11_1

#endif
