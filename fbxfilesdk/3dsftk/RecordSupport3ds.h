// Helpers shared by the record getters and put routines; not part of the
// toolkit's interface.
#ifndef FBXFILESDK_3DSFTK_RECORDSUPPORT3DS_H
#define FBXFILESDK_3DSFTK_RECORDSUPPORT3DS_H

#include <fbxfilesdk/3dsftk/Chunk3ds.h>
#include <fbxfilesdk/3dsftk/ChunkData3ds.h>
#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>
#include <fbxfilesdk/3dsftk/Internal3ds.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace fbxsdk_2006_11_1 {
struct database3ds;
enum class NameList3ds;
}

namespace fbxsdk_2006_11_1::ftk3ds {

// Which top chunks a put routine accepts.
enum class PutTarget { MeshFile, MeshOrProject, AnyKind };

// The top chunk a put may change: ERR_INVALID_ARG for a null database or
// record, ERR_INVALID_DATABASE without a top chunk, ERR_WRONG_DATABASE for a
// top the put does not accept; null after any of them.
Chunk3ds* TopForPut(database3ds* database, const void* record, PutTarget target);

// The first chunk of the tag below parent (depth-first), or a new one under it.
Chunk3ds* FindOrAdd(Chunk3ds* parent, std::uint32_t tag);

// A new chunk of the tag under parent, inserted by rank, with a fresh record;
// the put routines' error when either cannot be made.
template <class Record>
Record* AddRecordChunk(std::uint32_t tag, Chunk3ds* parent, Chunk3ds** added = nullptr) {
    Chunk3ds* chunk = AddChildChunk3ds(tag, parent);
    if (FtkErrorStops() || chunk == nullptr) return nullptr;
    if (added != nullptr) *added = chunk;
    return static_cast<Record*>(InitChunkData3ds(chunk));
}

// The parent's direct child of the tag emptied and reused, or a new one, with
// a fresh record.
template <class Record>
Record* ReplaceRecordChunk(std::uint32_t tag, Chunk3ds* parent) {
    Chunk3ds* chunk = nullptr;
    ReplaceChild3ds(parent, tag, &chunk);
    if (FtkErrorStops() || chunk == nullptr) return nullptr;
    return static_cast<Record*>(InitChunkData3ds(chunk));
}

// An empty flag chunk (no data) under parent.
void AddFlagChunk(std::uint32_t tag, Chunk3ds* parent);

// A new text chunk under parent holding a copy of text.
void AddTextChunk(std::uint32_t tag, const char* text, Chunk3ds* parent);

// True when the text has at most limit characters; records
// ERR_STRING_TOO_LONG (ERR_INVALID_ARG for null) otherwise.
bool NameFits(const char* text, std::size_t limit);

// Copies text into a fixed field of size bytes, cut to fit and terminated.
void CopyName(char* field, std::size_t size, const char* text);
template <std::size_t N>
void CopyName(char (&field)[N], const char* text) {
    CopyName(field, N, text);
}

// The record of a chunk of a tree being read (a ReadingTree, let go whole):
// loaded when needed, null after an error.
template <class Record>
Record* DataOf(Chunk3ds* chunk) {
    if (chunk == nullptr) return nullptr;
    void* record = ReadChunkData3ds(chunk);
    return FtkErrorStops() ? nullptr : static_cast<Record*>(record);
}

// The text of a name chunk of a tree being read, or "".
const char* TextOf(Chunk3ds* chunk);
// That text copied into a fixed field, cut to fit and terminated; taken from
// the read window in place where it holds the text.
void CopyNameOf(char* field, std::size_t size, Chunk3ds* chunk);
template <std::size_t N>
void CopyNameOf(char (&field)[N], Chunk3ds* chunk) {
    CopyNameOf(field, N, chunk);
}

// Takes an array over from a record (which gives it up).
template <class T>
T* TakeOver(T*& owned) {
    T* taken = owned;
    owned = nullptr;
    return taken;
}

// A colour as the three floats of a COLOR_F or LIN_COLOR_F.
// The value of a float or point record of a tree being read: from the read
// window in place where it holds it, else from the loaded record; fallback
// without a record.
float FloatOf(Chunk3ds* chunk, float fallback);
point3ds PointOf(Chunk3ds* chunk, const point3ds& fallback);

ColorFData3ds ToColorF(const color3ds& color);
color3ds FromColorF(const ColorFData3ds& color);
// Bytes of a COLOR_24 or LIN_COLOR_24 divided by the scale (255 or 256).
color3ds FromColor24(const Color24Data3ds& color, float scale);

// The first direct child of parent whose tag is tag, after the given one
// (all children when after is null).
Chunk3ds* NextChild(Chunk3ds* parent, Chunk3ds* after, std::uint32_t tag);

// The named objects of the database for which holds() is true: how many, and
// the index-th (null past the last). Both refresh the object list.
std::uint32_t CountNamedObjects(database3ds* database, bool (*holds)(Chunk3ds* object));
Chunk3ds* NamedObjectAt(database3ds* database, std::uint32_t index, bool (*holds)(Chunk3ds* object));

// Empties the named object of that name for a put: its first extra-data
// section is copied into *xdata first. With reuse the chunk is a NAMED_OBJECT
// again, to be filled; otherwise it stays empty and is not written. Null when
// there is no such object.
Chunk3ds* ClearNamedObject(database3ds* database, const char* name, Chunk3ds** xdata, bool reuse);

// A chunk a put routine adds under one of the database's lists, listed under
// its name (ListAddedChunk3ds) when the routine is done with it, however it
// ends.
class ListedChunk {
public:
    ListedChunk(database3ds* database, NameList3ds list, std::string name)
        : database_(database), list_(list), name_(std::move(name)) {}
    ~ListedChunk();
    ListedChunk(const ListedChunk&) = delete;
    ListedChunk& operator=(const ListedChunk&) = delete;
    // A new chunk of the tag under parent (AddListedChunk3ds); null after an error.
    Chunk3ds* Add(std::uint32_t tag, Chunk3ds* parent);

private:
    database3ds* database_;
    NameList3ds list_;
    std::string name_;
    Chunk3ds* chunk_ = nullptr;
};

}  // namespace fbxsdk_2006_11_1::ftk3ds

#endif
