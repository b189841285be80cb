// The toolkit's heap and strings. Every block the toolkit hands out or takes
// over (records, their texts and arrays) comes from here and goes back through
// FtkFree; the calls pass their source file and line, which are kept for a
// debugging heap and not used otherwise.
#ifndef FBXFILESDK_3DSFTK_MEMORY3DS_H
#define FBXFILESDK_3DSFTK_MEMORY3DS_H

#include <cstddef>

namespace fbxsdk_2006_11_1 {

// Null when memory runs out; the caller records ERR_NO_MEM.
void* Alloc3ds(const char* file, int line, std::size_t size);
// Zeroed; null when memory runs out or count × size overflows.
void* CAlloc3ds(const char* file, int line, std::size_t count, std::size_t size);
// Keeps the contents; null (the block untouched) when memory runs out.
void* ReAlloc3ds(const char* file, int line, void* block, std::size_t size);
// Ignores null.
void FtkFree(void* block);

// A new copy of the text; null when memory runs out (ERR_NO_MEM recorded) or
// for a null text.
char* StrDup3ds(const char* text);

// The length of the text when it has at most maximum characters; otherwise
// records ERR_STRING_TOO_LONG and returns 0. Reads at most maximum + 1 bytes.
// A null text records ERR_INVALID_ARG and returns 0.
std::size_t CheckStringLength3ds(const char* text, std::size_t maximum);

}  // namespace fbxsdk_2006_11_1

#endif
