// The two list records of the toolkit: a list of names with the chunk each
// belongs to (the database's object, material and node lists), and a growable
// list of texts (exclude lists, node name lists). Both own their texts.
#ifndef FBXFILESDK_3DSFTK_NAMELISTS3DS_H
#define FBXFILESDK_3DSFTK_NAMELISTS3DS_H

#include <cstdint>

namespace fbxsdk_2006_11_1 {

struct Chunk3ds;

struct namelistentry3ds {
    char* name;       // owned; null in an entry not filled
    Chunk3ds* chunk;  // not owned
};

struct namelist3ds {
    std::uint32_t count;
    namelistentry3ds* list;  // count entries; null when count is 0
};

struct stringlist3ds {
    std::uint32_t count;
    std::uint32_t capacity;
    char** list;  // capacity texts, owned; null where not filled
};

// Allocates the list when *list is null (an existing one is emptied first) and
// gives it count empty entries. ERR_INVALID_ARG for a null pointer, ERR_NO_MEM.
void InitNameList3ds(namelist3ds** list, std::uint32_t count);
// Frees every name, the entries and the list, and nulls *list; null is ignored.
void ReleaseNameList3ds(namelist3ds** list);

// Allocates the list when *list is null (an existing one is emptied first):
// count field = count, capacity = count (5 when count is 0), all texts null,
// to be filled by the caller.
void InitStringList3ds(stringlist3ds** list, std::uint32_t count);
// Appends a copy of the text (the caller keeps its own), growing the array by
// 5 entries when it is full.
void AddToStringList3ds(stringlist3ds** list, const char* text);
// Frees every text, the array and the list, and nulls *list; null is ignored.
void ReleaseStringList3ds(stringlist3ds** list);

}  // namespace fbxsdk_2006_11_1

#endif
