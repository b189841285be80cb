// The data record of a chunk: created in memory, loaded from the chunk's file,
// written to the file being written, copied, freed, or skipped while a file is
// read into a tree. The record of each tag is in ChunkRecords3ds.h.
#ifndef FBXFILESDK_3DSFTK_CHUNKDATA3DS_H
#define FBXFILESDK_3DSFTK_CHUNKDATA3DS_H

#include <fbxfilesdk/3dsftk/Chunk3ds.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

// Allocates the zeroed record the chunk's tag calls for, stores it as the
// chunk's data and returns it (the caller fills it). Tags without own data get
// none; a tag without a record of its own gets a block of the chunk's own-data
// length, or none when that is 0.
void* InitChunkData3ds(Chunk3ds* chunk);

// The chunk's record: the one it has, or, for a chunk whose file is open, one
// read from that file at position + 6 (which then stays with the chunk). Null
// for tags without own data, for PARENT_NAME, and for a chunk that has neither
// a record nor a file. Every count and size is checked against the chunk
// before anything is allocated or read (ERR_INVALID_CHUNK); a record that
// fails to read is left partly filled with the chunk.
void* ReadChunkData3ds(Chunk3ds* chunk);

// Writes the record in its file layout to the file named by the chunk's
// writeindex; nothing without a record, for PARENT_NAME and NULL_CHUNK, and
// for XDATA_ENTRY, whose bytes are written by its sub-chunks.
void WriteChunkData3ds(Chunk3ds* chunk);

// Gives the destination a deep copy of the source's record (every text, array
// and block duplicated), when the source has one and the destination none.
void CopyChunkData3ds(Chunk3ds* source, Chunk3ds* destination);

// Frees the record and all it owns; the chunk has no data afterwards.
void FreeChunkData3ds(Chunk3ds* chunk);

// Frees the record only when it can be loaded again from the chunk's file.
void ReleaseChunkDataIfOnFile3ds(Chunk3ds* chunk);

// With the current file just past the chunk's header, moves it to the chunk's
// first sub-chunk. A skip that would leave the chunk records ERR_INVALID_CHUNK.
void SkipChunkData3ds(Chunk3ds* chunk);

}  // namespace fbxsdk_2006_11_1

#endif
