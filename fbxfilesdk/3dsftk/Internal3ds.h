// Helpers of the toolkit's own sources; not part of its interface.
#ifndef FBXFILESDK_3DSFTK_INTERNAL3DS_H
#define FBXFILESDK_3DSFTK_INTERNAL3DS_H

#include <fbxfilesdk/3dsftk/ChunkData3ds.h>
#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>
#include <fbxfilesdk/3dsftk/Error3ds.h>
#include <fbxfilesdk/3dsftk/Memory3ds.h>

#include <bit>
#include <cstddef>
#include <cstring>
#include <string>
#include <cstdint>

namespace fbxsdk_2006_11_1::ftk3ds {

// count zeroed items of T from the toolkit heap; records ERR_NO_MEM and gives
// null when memory runs out.
// Where an allocation is made: the calling source file and line.
struct SourcePlace {
    const char* file = __builtin_FILE();
    int line = __builtin_LINE();
};

template <class T>
T* NewZeroed(std::size_t count = 1, SourcePlace where = {}) {
    void* block = CAlloc3ds(where.file, where.line, count, sizeof(T));
    if (block == nullptr) PushError3ds(ERR_NO_MEM);
    return static_cast<T*>(block);
}

// A copy of count items (null for none or for a null source); records
// ERR_NO_MEM when memory runs out.
void* DuplicateBlock(const void* source, std::size_t bytes, SourcePlace where = {});

template <class T>
T* DuplicateArray(const T* source, std::size_t count, SourcePlace where = {}) {
    return static_cast<T*>(DuplicateBlock(source, count * sizeof(T), where));
}

// The value of the first N bytes (N at most 4), stored little-endian; where
// this machine stores numbers so too, the bytes are loaded as they stand.
template <std::size_t N>
std::uint32_t FromLittleEndian(const unsigned char* bytes) {
    static_assert(N <= sizeof(std::uint32_t));
    std::uint32_t value = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&value, bytes, N);
    } else {
        for (std::size_t i = 0; i < N; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    }
    return value;
}

// A float, and a point of three, stored little-endian.
inline float FloatAt(const unsigned char* bytes) { return std::bit_cast<float>(FromLittleEndian<4>(bytes)); }
inline point3ds PointAt(const unsigned char* bytes) {
    return {FloatAt(bytes), FloatAt(bytes + 4), FloatAt(bytes + 8)};
}

// Records the error and tells whether the routine must stop.
inline bool Fail(ErrorCode3ds code) {
    PushError3ds(code);
    return !FtkIgnoreErrors;
}

// Replaces an owned text by a copy of another (an empty text for null).
bool ReplaceText(char*& target, const char* text);

// A chunk's record for the time of one use: loaded on construction and, when
// this use loaded it and its file can give it again, dropped afterwards, so
// that a record changed in memory is never thrown away.
class LoadedRecord {
public:
    explicit LoadedRecord(Chunk3ds* chunk)
        : chunk_(chunk), loadedHere_(chunk != nullptr && chunk->data == nullptr),
          record_(chunk != nullptr ? ReadChunkData3ds(chunk) : nullptr) {}
    ~LoadedRecord() {
        if (loadedHere_) ReleaseChunkDataIfOnFile3ds(chunk_);
    }
    LoadedRecord(const LoadedRecord&) = delete;
    LoadedRecord& operator=(const LoadedRecord&) = delete;

    template <class T>
    T* As() const {
        return FtkErrorStops() ? nullptr : static_cast<T*>(record_);
    }

private:
    Chunk3ds* chunk_;
    bool loadedHere_;
    void* record_;
};

// A chunk tree released when the owner goes.
struct ChunkTreeOwner {
    Chunk3ds* chunk = nullptr;
    ChunkTreeOwner() = default;
    ChunkTreeOwner(const ChunkTreeOwner&) = delete;
    ChunkTreeOwner& operator=(const ChunkTreeOwner&) = delete;
    ~ChunkTreeOwner() { ReleaseChunk3ds(&chunk); }
};

// The tree a getter reads a chunk's records from, let go when the getter ends
// as a copy of the chunk would be: records of the file loaded in it are
// freed, and a record put in memory is never taken over. Without such a
// record the chunk's own tree serves, with no copy made; with one it is copied
// (see CopyChunk3ds), and null after the copy failed (the error recorded).
class ReadingTree {
public:
    explicit ReadingTree(Chunk3ds* source);
    ~ReadingTree();
    ReadingTree(const ReadingTree&) = delete;
    ReadingTree& operator=(const ReadingTree&) = delete;
    Chunk3ds* Get() const { return copy_.chunk != nullptr ? copy_.chunk : own_; }

private:
    Chunk3ds* own_ = nullptr;
    ChunkTreeOwner copy_;
};

struct ChunkBlock;

// Chunks made while a tree is read from its file share blocks of the toolkit
// heap, which a file of many small chunks would otherwise ask for one at a
// time; a block goes back when the last of its chunks is released. A block
// holds no more chunks than the bytes left to read could give headers to.
class ChunkBlocks {
public:
    // end: where the bytes read for this tree end.
    explicit ChunkBlocks(std::int64_t end) : end_(end) {}
    ~ChunkBlocks();
    ChunkBlocks(const ChunkBlocks&) = delete;
    ChunkBlocks& operator=(const ChunkBlocks&) = delete;

    // A new chunk as InitChunk3ds makes it, for a header at position; null,
    // with ERR_NO_MEM recorded, when memory runs out.
    Chunk3ds* New(std::int64_t position);

private:
    std::int64_t end_;
    ChunkBlock* block_ = nullptr;
    std::uint16_t used_ = 0;
};

// The zero-terminated string that starts the own data of a chunk of the file
// whose record is not loaded, taken from the read window instead of from a
// record loaded and freed again; trailing more bytes of the record must
// follow it within the chunk, and *after (where given) points at them. The
// file is left where loading the record would leave it; after an error that
// loading would have met the text is empty and *after null. False, nothing
// done that loading would not do again, when the window does not hold them:
// the record must then be loaded.
bool PeekLeadingText(Chunk3ds* chunk, std::size_t trailing, std::string& text,
                     const unsigned char** after = nullptr);

// The first bytes of the own data of a chunk of the file whose record is not
// loaded, for a record of fixed fields each read as it stands: *data points
// at them in the read window, and the file is left where loading the record
// would leave it; after an error that loading would have met *data is null.
// False, nothing done that loading would not do again, when the window does
// not hold them within the chunk: the record must then be loaded.
bool PeekOwnData(Chunk3ds* chunk, std::size_t bytes, const unsigned char** data);

// For each of count tags, the first chunk with it in the subtree at start,
// as FindChunk3ds finds it, all in one walk; null for a tag not there.
void FindEachInSubtree(Chunk3ds* start, const std::uint32_t* tags, Chunk3ds** found, std::size_t count);

// The first direct child of the tag, or null.
Chunk3ds* FindChild(Chunk3ds* parent, std::uint32_t tag);

}  // namespace fbxsdk_2006_11_1::ftk3ds

#endif
