#include <fbxfilesdk/3dsftk/Database3ds.h>

#include <fbxfilesdk/3dsftk/ChunkData3ds.h>
#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>
#include <fbxfilesdk/3dsftk/Internal3ds.h>
#include <fbxfilesdk/3dsftk/Keyframer3ds.h>
#include <fbxfilesdk/3dsftk/NameListIndex3ds.h>
#include <fbxfilesdk/3dsftk/NodeHierarchy3ds.h>
#include <fbxfilesdk/3dsftk/Primitives3ds.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

using ftk3ds::FindChild;
using ftk3ds::LoadedRecord;

namespace {

bool IsMagic(std::uint32_t tag) { return tag == M3DMAGIC || tag == CMAGIC || tag == MLIBMAGIC; }

bool IsXDataSubTag(std::uint32_t tag) { return tag >= XDATA_APPNAME && tag <= XDATA_RFU1; }

// Reads the headers of the chunks below parent, whose header was just read.
// Returns false after a failure, having recorded ERR_READING_DATABASE once.
bool ReadChildrenAt(Chunk3ds* parent, int depth, bool extraData, ftk3ds::ChunkBlocks& blocks) {
    auto failed = [] {
        PushError3ds(ERR_READING_DATABASE);
        return false;
    };
    ErrorChunkScope3ds parentScope(parent->tag, parent->position);
    if (depth > kMaxChunkDepth3ds) {
        PushError3ds(ERR_INVALID_CHUNK);
        return failed();
    }
    SetCurrentFileByIndex3ds(parent->readindex);
    SkipChunkData3ds(parent);
    if (FtkErrorStops()) return failed();
    const std::int64_t end = static_cast<std::int64_t>(parent->position) + parent->size;
    std::int64_t position = GetFilePosition3ds();
    Chunk3ds** tail = &parent->children;
    while (*tail != nullptr) tail = &(*tail)->sibling;
    while (position < end) {
        if (end - position < 6) {
            PushError3ds(ERR_INVALID_CHUNK);
            return failed();
        }
        Chunk3ds* child = blocks.New(position);
        if (FtkErrorStops() || child == nullptr) return failed();
        child->position = static_cast<std::uint32_t>(position);
        child->readindex = GetCurrentFileIndex3ds();
        ReadHeader3ds(child, &child->size);
        if (FtkErrorStops()) {
            ReleaseChunk3ds(&child);
            return failed();
        }
        ErrorChunkScope3ds childScope(child->tag, position);
        const bool fits = child->size >= 6 && position + child->size <= end;
        if (extraData) {
            // Inside an extra-data entry a foreign sub-chunk ends the entry, and
            // one that does not fit is passed over.
            if (!IsXDataSubTag(child->tag)) {
                ReleaseChunk3ds(&child);
                SetFilePosition3ds(end);
                return !FtkErrorStops() || failed();
            }
            if (!fits) {
                ReleaseChunk3ds(&child);
                position += 6;
                continue;
            }
        } else if (!fits) {
            ReleaseChunk3ds(&child);
            PushError3ds(ERR_INVALID_CHUNK);
            return failed();
        }
        *tail = child;
        tail = &child->sibling;
        if (!ReadChildrenAt(child, depth + 1, extraData || child->tag == XDATA_ENTRY, blocks)) return false;
        position += child->size;
        SetCurrentFileByIndex3ds(parent->readindex);
        SetFilePosition3ds(position);
        if (FtkErrorStops()) return failed();
    }
    return true;
}

void ResetDatabase(database3ds& database) {
    database.topchunk = nullptr;
    database.objlistdirty = database.matlistdirty = database.nodelistdirty = 1;
    database.objlist = database.matlist = database.nodelist = nullptr;
    database.objindex = database.matindex = database.nodeindex = nullptr;
}

void ReleaseContents(database3ds& database) {
    ReleaseChunk3ds(&database.topchunk);
    ReleaseNameList3ds(&database.objlist);
    ReleaseNameList3ds(&database.matlist);
    ReleaseNameList3ds(&database.nodelist);
    delete database.objindex;
    delete database.matindex;
    delete database.nodeindex;
    ResetDatabase(database);
}

// One of the database's lists with its out-of-date flag and index.
struct ListParts {
    namelist3ds*& list;
    std::uint8_t& dirty;
    NameListIndex3ds*& index;
};

ListParts PartsOf(database3ds& database, NameList3ds which) {
    switch (which) {
        case NameList3ds::Objects: return {database.objlist, database.objlistdirty, database.objindex};
        case NameList3ds::Materials: return {database.matlist, database.matlistdirty, database.matindex};
        default: return {database.nodelist, database.nodelistdirty, database.nodeindex};
    }
}

bool IsListedTag(NameList3ds which, std::uint32_t tag) {
    switch (which) {
        case NameList3ds::Objects: return tag == NAMED_OBJECT;
        case NameList3ds::Materials: return tag == MAT_ENTRY;
        default: return tag >= AMBIENT_NODE_TAG && tag <= SPOTLIGHT_NODE_TAG;
    }
}

// The list's index, made on first use; null when memory ran out (the list is
// then searched entry by entry, and rebuilt after every put).
NameListIndex3ds* IndexOf(database3ds& database, NameList3ds which) {
    NameListIndex3ds*& index = PartsOf(database, which).index;
    if (index == nullptr) index = new (std::nothrow) NameListIndex3ds();
    return index;
}

// The text of a name chunk's record, or null.
std::string TextOf(Chunk3ds* chunk) {
    if (std::string text; ftk3ds::PeekLeadingText(chunk, 0, text)) return text;
    LoadedRecord record(chunk);
    const auto* text = record.As<TextData3ds>();
    return text != nullptr && text->text != nullptr ? std::string(text->text) : std::string();
}

struct Named {
    std::string name;
    bool hasName;
    Chunk3ds* chunk;
};

// Replaces the list by one entry per item, and its index by their names: the
// items are the children of parent that the list names, last the last of
// them.
void FillNameList(database3ds& database, NameList3ds which, const std::vector<Named>& items, Chunk3ds* parent,
                  Chunk3ds* last) {
    namelist3ds*& list = PartsOf(database, which).list;
    ReleaseNameList3ds(&list);
    InitNameList3ds(&list, static_cast<std::uint32_t>(items.size()));
    if (FtkErrorStops() || list == nullptr) return;
    for (std::size_t i = 0; i < items.size(); ++i) {
        list->list[i].chunk = items[i].chunk;
        if (!items[i].hasName) continue;
        list->list[i].name = StrDup3ds(items[i].name.c_str());
        if (list->list[i].name == nullptr) return;
    }
    NameListIndex3ds* index = IndexOf(database, which);
    if (index == nullptr) return;
    index->Restart(parent, list->count);
    index->SetLast(last);
    for (std::uint32_t i = 0; i < list->count; ++i) {
        if (list->list[i].name != nullptr) index->Add(list->list[i].name, i);
    }
}

// The first entry of the name whose chunk has the tag (any tag for anyTag).
const namelistentry3ds* FindEntry(const namelist3ds* list, const NameListIndex3ds* index, const char* name,
                                  std::uint32_t tag, bool anyTag) {
    if (list == nullptr || name == nullptr) return nullptr;
    const auto matches = [&](const namelistentry3ds& entry) {
        return entry.name != nullptr && entry.chunk != nullptr && (anyTag || entry.chunk->tag == tag) &&
               std::strcmp(entry.name, name) == 0;
    };
    if (index != nullptr) {
        const std::vector<std::uint32_t>* positions = index->Find(name);
        for (std::size_t i = 0; positions != nullptr && i < positions->size(); ++i) {
            const std::uint32_t at = (*positions)[i];
            if (at < list->count && matches(list->list[at])) return &list->list[at];
        }
        return nullptr;
    }
    for (std::uint32_t i = 0; i < list->count; ++i) {
        if (matches(list->list[i])) return &list->list[i];
    }
    return nullptr;
}

// The list's entries with room for one more; false when memory ran out.
bool RoomForOneMore(namelist3ds& list, NameListIndex3ds& index) {
    if (list.count < index.Capacity()) return true;
    const std::uint32_t capacity = list.count < 8 ? 16 : list.count * 2;
    if (capacity <= list.count) return false;
    void* grown = ReAlloc3ds(__FILE__, __LINE__, list.list, sizeof(namelistentry3ds) * capacity);
    if (grown == nullptr) return false;
    list.list = static_cast<namelistentry3ds*>(grown);
    index.SetCapacity(capacity);
    return true;
}

// Whether the list must be rebuilt; clears its flag when it must.
bool StartRebuild(database3ds* database, std::uint8_t database3ds::*dirty, namelist3ds* database3ds::*list) {
    if (database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return false;
    }
    if (database->*dirty == 0 && database->*list != nullptr) return false;
    database->*dirty = 0;
    return true;
}

bool CheckMaterialDatabase(const database3ds* database) {
    if (database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return false;
    }
    if (database->topchunk == nullptr) {
        PushError3ds(ERR_INVALID_DATABASE);
        return false;
    }
    if (!IsMagic(database->topchunk->tag)) {
        PushError3ds(ERR_WRONG_DATABASE);
        return false;
    }
    return true;
}

}  // namespace

void InitDatabase3ds(database3ds** database) {
    if (database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (*database == nullptr) {
        *database = ftk3ds::NewZeroed<database3ds>();
        if (*database == nullptr) return;
    }
    ResetDatabase(**database);
}

void ReleaseDatabase3ds(database3ds** database) {
    if (database == nullptr || *database == nullptr) return;
    ReleaseContents(**database);
    FtkFree(*database);
    *database = nullptr;
}

DatabaseType3ds GetDatabaseType3ds(const database3ds* database) {
    if (database == nullptr || database->topchunk == nullptr) return DatabaseNone3ds;
    switch (database->topchunk->tag) {
        case M3DMAGIC: return DatabaseMeshFile3ds;
        case CMAGIC: return DatabaseProjectFile3ds;
        case MLIBMAGIC: return DatabaseMaterialLibrary3ds;
        default: return DatabaseNone3ds;
    }
}

void ReadChildren3ds(Chunk3ds* chunk) {
    if (chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    ftk3ds::ChunkBlocks blocks(static_cast<std::int64_t>(chunk->position) + chunk->size);
    ReadChildrenAt(chunk, 0, false, blocks);
}

void ReadXDataChildren3ds(Chunk3ds* chunk) {
    if (chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    ftk3ds::ChunkBlocks blocks(static_cast<std::int64_t>(chunk->position) + chunk->size);
    ReadChildrenAt(chunk, 0, true, blocks);
}

void CreateDatabase3ds(file3ds* file, database3ds* database) {
    if (file == nullptr || database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (file->state != FileStateRead3ds && file->state != FileStateReadWrite3ds) return;
    auto failed = [] { PushError3ds(ERR_CREATING_DATABASE); };
    ReleaseContents(*database);
    InitChunk3ds(&database->topchunk);
    if (FtkErrorStops()) return failed();
    Chunk3ds* top = database->topchunk;
    top->readindex = file->index;
    SetCurrentFile3ds(file);
    SetFilePosition3ds(0);
    if (FtkErrorStops()) return failed();
    ReadHeader3ds(top, &top->size);
    if (FtkErrorStops()) return failed();
    // A file of another kind is kept as its bare top chunk, whose length was
    // not checked: nothing is ever loaded from it.
    if (!IsMagic(top->tag)) {
        top->readindex = kNoFile3ds;
        return;
    }
    // Every length below is checked against its parent, so checking the top
    // chunk against the file keeps every read inside the file.
    const std::int64_t length = GetFileLength3ds();
    if (top->size < 6 || length < 0 || top->size > length) {
        PushError3ds(ERR_INVALID_CHUNK);
        return failed();
    }
    ReadChildren3ds(top);
    if (FtkErrorStops()) return failed();
    ResolveNodeHierarchy3ds(database);
    if (FtkErrorStops()) return failed();
}

void CreateNewDatabase3ds(database3ds* database, DatabaseType3ds kind) {
    if (database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    ReleaseContents(*database);
    InitChunk3ds(&database->topchunk);
    if (FtkErrorStops() || database->topchunk == nullptr) {
        PushError3ds(ERR_CREATING_DATABASE);
        return;
    }
    switch (kind) {
        case DatabaseMeshFile3ds: database->topchunk->tag = M3DMAGIC; break;
        case DatabaseProjectFile3ds: database->topchunk->tag = CMAGIC; break;
        case DatabaseMaterialLibrary3ds: database->topchunk->tag = MLIBMAGIC; break;
        default: break;
    }
    SetDatabaseRelease3ds(database, 2);
}

void WriteChunkTree3ds(Chunk3ds* chunk, std::uint8_t fileindex) {
    if (chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (chunk->tag == NULL_CHUNK || chunk->tag == PARENT_NAME) return;
    SetCurrentFileByIndex3ds(fileindex);
    chunk->writeindex = fileindex;
    const std::int64_t start = GetFilePosition3ds();
    ReadChunkData3ds(chunk);
    if (FtkErrorStops()) return;
    SetCurrentFileByIndex3ds(fileindex);
    // Loading may have moved another file, never this one: no seek (which
    // would flush the stream) is needed.
    if (GetFilePosition3ds() != start) SetFilePosition3ds(start);
    WriteHeader3ds(chunk->tag, chunk->size);
    if (FtkErrorStops()) return;
    WriteChunkData3ds(chunk);
    if (FtkErrorStops()) return;
    for (Chunk3ds* child = chunk->children; child != nullptr; child = child->sibling) {
        WriteChunkTree3ds(child, fileindex);
        if (FtkErrorStops()) return;
    }
    SetCurrentFileByIndex3ds(fileindex);
    const std::int64_t end = GetFilePosition3ds();
    const std::int64_t length = end - start;
    if (start < 0 || length > std::numeric_limits<std::uint32_t>::max()) {
        // A size field of 32 bits holds no more.
        errno = EFBIG;
        PushError3ds(ERR_WRITING_FILE);
        return;
    }
    if (length != chunk->size) {
        FinishHeader3ds(start, end);
        if (FtkErrorStops()) return;
        chunk->size = static_cast<std::uint32_t>(length);
    }
    const file3ds* file = GetFileByIndex3ds(fileindex);
    if (file != nullptr && file->state == FileStateReadWrite3ds) {
        chunk->readindex = fileindex;
        chunk->position = static_cast<std::uint32_t>(start);
    }
    if (IsValidFileIndex3ds(chunk->readindex)) FreeChunkData3ds(chunk);
}

void WriteDatabase3ds(file3ds* file, database3ds* database) {
    if (file == nullptr || database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    auto failed = [] { PushError3ds(ERR_WRITING_DATABASE); };
    SetDatabaseRelease3ds(database, 2);
    if (FtkErrorStops()) return failed();
    if (file->state != FileStateWrite3ds) return;
    PrepareNodeHierarchy3ds(database);
    if (FtkErrorStops()) return failed();
    SetCurrentFile3ds(file);
    SetFilePosition3ds(0);
    if (FtkErrorStops()) return failed();
    if (database->topchunk != nullptr) database->topchunk->writeindex = file->index;
    WriteChunkTree3ds(database->topchunk, file->index);
    if (FtkErrorStops()) return failed();
    // A write error the stream still holds would otherwise show only on close.
    if (std::fflush(file->stream) != 0) {
        PushError3ds(ERR_WRITING_FILE);
        return failed();
    }
}

void MarkNamedObjectListDirty3ds(database3ds* database) {
    if (database != nullptr) database->objlistdirty = 1;
}
void MarkMaterialListDirty3ds(database3ds* database) {
    if (database != nullptr) database->matlistdirty = 1;
}
void MarkNodeListDirty3ds(database3ds* database) {
    if (database != nullptr) database->nodelistdirty = 1;
}

void UpdateNamedObjectList3ds(database3ds* database) {
    if (!StartRebuild(database, &database3ds::objlistdirty, &database3ds::objlist)) return;
    std::vector<Named> items;
    Chunk3ds* mdata = nullptr;
    FindChunk3ds(database->topchunk, MDATA, &mdata);
    for (Chunk3ds* object = FindChild(mdata, NAMED_OBJECT); object != nullptr;) {
        std::string name = TextOf(object);
        if (FtkErrorStops()) return;
        items.push_back({std::move(name), true, object});
        FindNextChunk3ds(object->sibling, NAMED_OBJECT, &object);
    }
    FillNameList(*database, NameList3ds::Objects, items, mdata, items.empty() ? nullptr : items.back().chunk);
}

void UpdateMaterialList3ds(database3ds* database) {
    if (!StartRebuild(database, &database3ds::matlistdirty, &database3ds::matlist)) return;
    std::vector<Named> items;
    Chunk3ds* parent = nullptr;
    FindChunk3ds(database->topchunk, MDATA, &parent);
    if (parent == nullptr) FindChunk3ds(database->topchunk, MLIBMAGIC, &parent);
    for (Chunk3ds* entry = FindChild(parent, MAT_ENTRY); entry != nullptr;) {
        Chunk3ds* nameChunk = nullptr;
        FindChunk3ds(entry, MAT_NAME, &nameChunk);
        std::string name = nameChunk != nullptr ? TextOf(nameChunk) : std::string();
        if (FtkErrorStops()) return;
        items.push_back({std::move(name), nameChunk != nullptr, entry});
        FindNextChunk3ds(entry->sibling, MAT_ENTRY, &entry);
    }
    FillNameList(*database, NameList3ds::Materials, items, parent, items.empty() ? nullptr : items.back().chunk);
}

void UpdateNodeList3ds(database3ds* database) {
    if (!StartRebuild(database, &database3ds::nodelistdirty, &database3ds::nodelist)) return;
    std::vector<Named> items;
    Chunk3ds* kfdata = nullptr;
    FindChunk3ds(database->topchunk, KFDATA, &kfdata);
    Chunk3ds* last = nullptr;
    for (Chunk3ds* node = kfdata != nullptr ? kfdata->children : nullptr; node != nullptr; node = node->sibling) {
        if (!IsListedTag(NameList3ds::Nodes, node->tag)) continue;
        last = node;
        Chunk3ds* header = FindChild(node, NODE_HDR);
        if (header == nullptr) {
            items.push_back({std::string(), false, nullptr});
            continue;
        }
        std::string name;
        // The name is followed by the header's flags and parent index.
        if (!ftk3ds::PeekLeadingText(header, 6, name)) {
            LoadedRecord record(header);
            const auto* data = record.As<NodeHeaderData3ds>();
            if (FtkErrorStops()) return;
            if (data != nullptr && data->name != nullptr) name = data->name;
        }
        if (FtkErrorStops()) return;
        if (node->tag == OBJECT_NODE_TAG) {
            if (Chunk3ds* instance = FindChild(node, INSTANCE_NAME)) {
                const std::string instanceName = TextOf(instance);
                if (FtkErrorStops()) return;
                if (!instanceName.empty()) name += "." + instanceName;
            }
        }
        items.push_back({std::move(name), true, node});
    }
    FillNameList(*database, NameList3ds::Nodes, items, kfdata, last);
}

void FindNamedObject3ds(database3ds* database, const char* name, Chunk3ds** chunk) {
    if (database == nullptr || name == nullptr || chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *chunk = nullptr;
    UpdateNamedObjectList3ds(database);
    if (FtkErrorStops()) return;
    if (const namelistentry3ds* entry = FindEntry(database->objlist, database->objindex, name, 0, true)) {
        *chunk = entry->chunk;
    }
}

void FindMaterial3ds(database3ds* database, const char* name, Chunk3ds** chunk) {
    if (name == nullptr || chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *chunk = nullptr;
    if (!CheckMaterialDatabase(database)) return;
    UpdateMaterialList3ds(database);
    if (FtkErrorStops()) return;
    if (const namelistentry3ds* entry = FindEntry(database->matlist, database->matindex, name, 0, true)) {
        *chunk = entry->chunk;
    }
}

Chunk3ds* GetMaterialChunkByIndex3ds(database3ds* database, std::uint32_t index) {
    if (!CheckMaterialDatabase(database)) return nullptr;
    UpdateMaterialList3ds(database);
    if (FtkErrorStops() || database->matlist == nullptr || index >= database->matlist->count) return nullptr;
    return database->matlist->list[index].chunk;
}

Chunk3ds* FindNodeTagByName3ds(database3ds* database, const char* name, std::uint32_t tag) {
    if (database == nullptr || name == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    UpdateNodeList3ds(database);
    if (FtkErrorStops()) return nullptr;
    const namelistentry3ds* entry = FindEntry(database->nodelist, database->nodeindex, name, tag, false);
    return entry != nullptr ? entry->chunk : nullptr;
}

Chunk3ds* AddListedChunk3ds(database3ds* database, NameList3ds list, std::uint32_t tag, Chunk3ds* parent) {
    if (database == nullptr || parent == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    Chunk3ds* child = nullptr;
    InitChunkAs3ds(&child, tag);
    if (FtkErrorStops() || child == nullptr) return nullptr;
    const int rank = GetChunkOrder3ds(tag);
    NameListIndex3ds* index = IndexOf(*database, list);
    Chunk3ds* start = index != nullptr ? index->InsertionAfter(parent, rank) : nullptr;
    if (start != nullptr) {
        AddChildOrderedAfter3ds(parent, child, start);
    } else {
        AddChildOrdered3ds(parent, child);
    }
    if (index != nullptr) index->SetInsertion(parent, child, rank);
    return child;
}

void ListAddedChunk3ds(database3ds* database, NameList3ds which, Chunk3ds* chunk, const char* name) {
    if (database == nullptr) return;
    const ListParts parts = PartsOf(*database, which);
    namelist3ds* list = parts.list;
    NameListIndex3ds* index = parts.index;
    if (FtkErrorPending || chunk == nullptr || name == nullptr || parts.dirty != 0 || list == nullptr ||
        index == nullptr) {
        parts.dirty = 1;
        return;
    }
    // The chunk is the list's next entry when it comes after the last one
    // with no other chunk of the list between them.
    Chunk3ds* next = index->Last() != nullptr ? index->Last()->sibling
                     : index->Parent() != nullptr ? index->Parent()->children
                                                  : nullptr;
    while (next != nullptr && next != chunk && !IsListedTag(which, next->tag)) next = next->sibling;
    char* copy = next == chunk && RoomForOneMore(*list, *index) ? StrDup3ds(name) : nullptr;
    if (copy == nullptr) {
        parts.dirty = 1;
        return;
    }
    list->list[list->count] = {copy, chunk};
    index->Add(name, list->count);
    index->SetLast(chunk);
    ++list->count;
}

Chunk3ds* FindNodeTagByIndex3ds(database3ds* database, std::uint32_t index, std::uint32_t tag) {
    if (database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    UpdateNodeList3ds(database);
    if (FtkErrorStops() || database->nodelist == nullptr) return nullptr;
    for (std::uint32_t i = 0; i < database->nodelist->count; ++i) {
        Chunk3ds* node = database->nodelist->list[i].chunk;
        if (node == nullptr || node->tag != tag) continue;
        if (index == 0) return node;
        --index;
    }
    return nullptr;
}

}  // namespace fbxsdk_2006_11_1
