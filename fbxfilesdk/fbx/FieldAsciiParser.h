// Reads the record structure of ascii field text into a FieldTree. Values are
// only delimited and counted here; they are converted when read.
#ifndef FBXFILESDK_FBX_FIELDASCIIPARSER_H
#define FBXFILESDK_FBX_FIELDASCIIPARSER_H

#include <fbxfilesdk/fbx/FieldTree.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fbxsdk_2006_11_1 {

// At least as many as the records in text, from its line breaks, braces and
// colons alone.
std::size_t AsciiRecordBound(const char* text, std::size_t size);

// Node offsets count from text. On failure error names the line and the fault.
bool ParseAsciiRecords(const char* text, std::size_t size, FieldTree& tree, std::uint32_t& begin,
                       std::uint32_t& count, std::string& error);

// For the first bytes of a longer text: false, with error as the parse of
// the whole text gives it, when they hold a fault that no text after them
// can mend; true when they may begin well-formed text.
bool AsciiRecordsMayFollow(const char* text, std::size_t size, std::string& error);

}  // namespace fbxsdk_2006_11_1

#endif
