// A 3DS file held in memory as a chunk tree: the database. Reading a file
// reads only the chunk headers; each chunk's data record is read from the file
// on first use, so a database read from a file must be released before that
// file is closed. The object, material and keyframer node lists name the
// chunks that the record getters and put routines look for.
#ifndef FBXFILESDK_3DSFTK_DATABASE3DS_H
#define FBXFILESDK_3DSFTK_DATABASE3DS_H

#include <fbxfilesdk/3dsftk/Chunk3ds.h>
#include <fbxfilesdk/3dsftk/File3ds.h>
#include <fbxfilesdk/3dsftk/NameLists3ds.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

class NameListIndex3ds;

// The kind of a database, by the tag of its top chunk.
enum DatabaseType3ds : std::int32_t {
    DatabaseNone3ds = 0,             // any other top tag, or no top chunk
    DatabaseMeshFile3ds = 1,         // M3DMAGIC
    DatabaseProjectFile3ds = 2,      // CMAGIC
    DatabaseMaterialLibrary3ds = 3   // MLIBMAGIC
};

// How deep chunks may nest in a file that is read (the deepest in practice is
// well under 10); deeper nesting is an invalid chunk.
inline constexpr int kMaxChunkDepth3ds = 64;

struct database3ds {
    Chunk3ds* topchunk;  // null before the database is created
    // Each list is rebuilt on its next use while its flag is set.
    std::uint8_t objlistdirty;
    std::uint8_t matlistdirty;
    std::uint8_t nodelistdirty;
    namelist3ds* objlist;   // NAMED_OBJECT chunks under MDATA
    namelist3ds* matlist;   // MAT_ENTRY chunks under MDATA or a material library's top
    namelist3ds* nodelist;  // keyframer nodes under KFDATA ("name.instance" for instanced objects)
    // Kept with each list (owned; null until the list is first used).
    NameListIndex3ds* objindex;
    NameListIndex3ds* matindex;
    NameListIndex3ds* nodeindex;
};

// The lists that put routines add chunks to.
enum class NameList3ds { Objects, Materials, Nodes };

// Allocates the record when *database is null and resets it (no top chunk, no
// lists, all three flagged out of date); a record passed in is reset without
// freeing what it held.
void InitDatabase3ds(database3ds** database);
// Reads the chunk tree of a file opened for reading into the database (whose
// top chunk must not be set yet), then gives each keyframer node the name of
// its parent (ResolveNodeHierarchy3ds). A top tag other than the three magic
// tags leaves a top chunk without children and no error. Failures record the
// reason, then ERR_CREATING_DATABASE.
void CreateDatabase3ds(file3ds* file, database3ds* database);
// A top chunk of the kind (tag 0 for any other kind) with the version chunks of
// release 2. ERR_CREATING_DATABASE when it cannot be made.
void CreateNewDatabase3ds(database3ds* database, DatabaseType3ds kind);
// Stamps the version chunks of release 2, resolves the keyframer node ids
// (PrepareNodeHierarchy3ds) and writes the tree to a file opened for writing,
// patching every chunk length that changed. PARENT_NAME chunks and cleared
// chunks (tag 0) are not written. Failures record the reason, then
// ERR_WRITING_DATABASE.
void WriteDatabase3ds(file3ds* file, database3ds* database);
// Frees the tree, the lists and the record, and nulls *database.
void ReleaseDatabase3ds(database3ds** database);
DatabaseType3ds GetDatabaseType3ds(const database3ds* database);

// Named objects (NAMED_OBJECT chunks under the first MDATA).
void UpdateNamedObjectList3ds(database3ds* database);
// The first object whose name equals name byte for byte, or null.
void FindNamedObject3ds(database3ds* database, const char* name, Chunk3ds** chunk);
void MarkNamedObjectListDirty3ds(database3ds* database);

// Materials (MAT_ENTRY chunks under the first MDATA, or under a material
// library's top chunk). The lookups record ERR_INVALID_DATABASE without a top
// chunk and ERR_WRONG_DATABASE for a top that is none of the three kinds.
void UpdateMaterialList3ds(database3ds* database);
void FindMaterial3ds(database3ds* database, const char* name, Chunk3ds** chunk);
Chunk3ds* GetMaterialChunkByIndex3ds(database3ds* database, std::uint32_t index);
void MarkMaterialListDirty3ds(database3ds* database);

// Keyframer nodes (the node chunks under the first KFDATA).
void UpdateNodeList3ds(database3ds* database);
Chunk3ds* FindNodeTagByName3ds(database3ds* database, const char* name, std::uint32_t tag);
// The index-th (from 0) node of the tag.
Chunk3ds* FindNodeTagByIndex3ds(database3ds* database, std::uint32_t index, std::uint32_t tag);
void MarkNodeListDirty3ds(database3ds* database);

// A new chunk of the tag under the parent, placed by rank as AddChildChunk3ds
// places it, its place sought from where the list's last such chunk went;
// null after an error.
Chunk3ds* AddListedChunk3ds(database3ds* database, NameList3ds list, std::uint32_t tag, Chunk3ds* parent);
// A put routine is done with a chunk it added and named: an up-to-date list
// takes it under the name as its last entry when it stands after every chunk
// the list names, and no error is pending; otherwise the list is marked out
// of date.
void ListAddedChunk3ds(database3ds* database, NameList3ds list, Chunk3ds* chunk, const char* name);

// The steps of reading and writing a tree. ReadChildren3ds reads the headers
// of the chunks below a chunk whose own header was just read (with the
// current file just past it); ReadXDataChildren3ds does so inside an extra-data
// entry, keeping only extra-data sub-chunks. Both check every length against
// the parent (ERR_INVALID_CHUNK).
void ReadChildren3ds(Chunk3ds* chunk);
void ReadXDataChildren3ds(Chunk3ds* chunk);
void WriteChunkTree3ds(Chunk3ds* chunk, std::uint8_t fileindex);

}  // namespace fbxsdk_2006_11_1

#endif
