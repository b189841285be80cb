// The chunk tree. A 3DS file is one chunk: a 6-byte header (16-bit tag, 32-bit
// length of the whole chunk, both little-endian), the chunk's own data, then its
// sub-chunks. In memory each chunk is a Chunk3ds; its data record (see
// ChunkRecords3ds.h) is loaded from its file on demand and may be dropped and
// loaded again while that file is open.
#ifndef FBXFILESDK_3DSFTK_CHUNK3DS_H
#define FBXFILESDK_3DSFTK_CHUNK3DS_H

#include <fbxfilesdk/3dsftk/ChunkTags3ds.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

inline constexpr std::uint8_t kNoFile3ds = 255;

struct Chunk3ds {
    std::uint32_t tag;       // a 16-bit value from the file
    std::uint32_t size;      // the whole chunk: header, own data, sub-chunks
    std::uint32_t position;  // offset of the header in the file it came from
    void* data;              // the data record, owned; null until created or loaded
    Chunk3ds* sibling;       // next sibling
    Chunk3ds* children;      // first child
    std::uint8_t readindex;  // open-file slot the data can be loaded from; kNoFile3ds: none
    std::uint8_t writeindex; // open-file slot the chunk is being written to; kNoFile3ds: none
    std::uint16_t blockslot; // 0: a block of its own; n: the n-th chunk of a block shared with others
};

// A new empty chunk (tag, size and position 0, no data, no links, both
// indices kNoFile3ds) into *chunk. ERR_INVALID_ARG for a null pointer.
void InitChunk3ds(Chunk3ds** chunk);
void InitChunkAs3ds(Chunk3ds** chunk, std::uint32_t tag);
// A new chunk with the tag and a fresh data record (InitChunkData3ds), which it
// returns; null after an error or for a tag without a record.
void* InitChunkAndData3ds(Chunk3ds** chunk, std::uint32_t tag);

// Depth-first pre-order search of the subtree at start (start itself first;
// its siblings are not searched): the first chunk with the tag, or null.
void FindChunk3ds(Chunk3ds* start, std::uint32_t tag, Chunk3ds** found);
// The first chunk with the tag along the sibling chain from first (inclusive);
// never looks into children.
void FindNextChunk3ds(Chunk3ds* first, std::uint32_t tag, Chunk3ds** found);

// Appends the child after the parent's last child.
void AddChild3ds(Chunk3ds* parent, Chunk3ds* child);
// Inserts the child before the first child of lower rank (GetChunkOrder3ds),
// else at the end: siblings stand in descending rank, equal ranks in the order
// they were added.
void AddChildOrdered3ds(Chunk3ds* parent, Chunk3ds* child);
// The same, when every child of the parent up to and including start ranks at
// least as high as the new child: the walk for its place begins after start.
void AddChildOrderedAfter3ds(Chunk3ds* parent, Chunk3ds* child, Chunk3ds* start);
// A new chunk with the tag and no data, inserted by rank; null after an error.
Chunk3ds* AddChildChunk3ds(std::uint32_t tag, Chunk3ds* parent);
// The parent's first direct child with the tag, emptied (ClearChunk3ds) and
// given the tag again; or a new chunk of the tag inserted by rank.
void ReplaceChild3ds(Chunk3ds* parent, std::uint32_t tag, Chunk3ds** chunk);

// Releases the children and the data and makes the chunk a NULL_CHUNK in
// place (it keeps its place among its siblings and is never written).
void ClearChunk3ds(Chunk3ds* chunk);
// Frees the chunk, its data, its subtree and its following siblings, and nulls
// *chunk. To free a tree, release its top chunk.
void ReleaseChunk3ds(Chunk3ds** chunk);
// A new tree copied from source and its subtree (not its siblings). A chunk
// whose data can be loaded from its file gives its record to the copy (the
// source loads it again when needed); any other record is deep-copied.
void CopyChunk3ds(Chunk3ds* source, Chunk3ds** copy);

}  // namespace fbxsdk_2006_11_1

#endif
