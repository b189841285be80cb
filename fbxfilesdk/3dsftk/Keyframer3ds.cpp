#include <fbxfilesdk/3dsftk/Keyframer3ds.h>

#include <fbxfilesdk/3dsftk/ChunkData3ds.h>
#include <fbxfilesdk/3dsftk/Database3ds.h>
#include <fbxfilesdk/3dsftk/Internal3ds.h>
#include <fbxfilesdk/3dsftk/RecordSupport3ds.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

using ftk3ds::FindChild;
using ftk3ds::AddRecordChunk;
using ftk3ds::FindOrAdd;
using ftk3ds::LoadedRecord;

namespace {

struct ReleaseVersions {
    std::uint32_t m3dVersion;
    std::uint32_t meshVersion;
    std::uint16_t kfRevision;
};

constexpr ReleaseVersions kReleases[] = {{1, 1, 1}, {2, 2, 2}, {3, 3, 5}, {4, 4, 6}};
constexpr std::uint32_t kReleaseCount = sizeof(kReleases) / sizeof(kReleases[0]);

// The chunk's record, loaded and kept (the caller changes it), or a new one.
template <class Record>
Record* RecordToChange(Chunk3ds* chunk) {
    void* record = ReadChunkData3ds(chunk);
    if (FtkErrorStops()) return nullptr;
    return static_cast<Record*>(record != nullptr ? record : InitChunkData3ds(chunk));
}

// The first chunk of the tag below parent, with its record to change, or a
// new chunk with a fresh record; isNew tells which.
template <class Record>
Record* FindOrAddRecord(Chunk3ds* parent, std::uint32_t tag, bool& isNew) {
    Chunk3ds* found = nullptr;
    FindChunk3ds(parent, tag, &found);
    isNew = found == nullptr;
    return isNew ? AddRecordChunk<Record>(tag, parent) : RecordToChange<Record>(found);
}

void PutDwordChild(Chunk3ds* parent, std::uint32_t tag, std::uint32_t value) {
    Chunk3ds* chunk = nullptr;
    ReplaceChild3ds(parent, tag, &chunk);
    if (FtkErrorStops() || chunk == nullptr) return;
    if (auto* data = static_cast<DwordData3ds*>(InitChunkData3ds(chunk))) data->value = value;
}

Chunk3ds* CheckedTop(database3ds* database, ErrorCode3ds missing) {
    if (database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    if (database->topchunk == nullptr) PushError3ds(missing);
    return database->topchunk;
}

bool IsMeshOrProject(const Chunk3ds* top) { return top->tag == M3DMAGIC || top->tag == CMAGIC; }

bool CheckRelease(std::uint32_t release) {
    if (release < kReleaseCount) return true;
    PushError3ds(ERR_INVALID_ARG);
    return false;
}

template <class Track, class Value>
void PutTrack(std::uint32_t tag, std::uint32_t keycount, std::uint16_t flags, const keyheader3ds* keys,
              const Value* values, Chunk3ds* node) {
    if (keycount == 0 || keys == nullptr || values == nullptr) return;
    auto* track = AddRecordChunk<Track>(tag, node);
    if (track == nullptr) return;
    track->header = {flags, 0, 0, keycount};
    track->keys = ftk3ds::DuplicateArray(keys, keycount);
    if (track->keys == nullptr) return;
    track->values = ftk3ds::DuplicateArray(values, keycount);
}

}  // namespace

void PutM3dVersion3ds(database3ds* database, std::uint32_t release) {
    Chunk3ds* top = CheckedTop(database, ERR_INVALID_DATA);
    if (top == nullptr || !CheckRelease(release) || top->tag != M3DMAGIC) return;
    PutDwordChild(top, M3D_VERSION, kReleases[release].m3dVersion);
}

void PutMeshVersion3ds(database3ds* database, std::uint32_t release) {
    Chunk3ds* top = CheckedTop(database, ERR_INVALID_DATA);
    if (top == nullptr || !CheckRelease(release) || !IsMeshOrProject(top)) return;
    Chunk3ds* mdata = FindOrAdd(top, MDATA);
    if (FtkErrorStops() || mdata == nullptr) return;
    PutDwordChild(mdata, MESH_VERSION, kReleases[release].meshVersion);
}

void PutKfRevision3ds(database3ds* database, std::uint32_t release) {
    Chunk3ds* top = CheckedTop(database, ERR_INVALID_DATABASE);
    if (top == nullptr || !CheckRelease(release) || !IsMeshOrProject(top)) return;
    Chunk3ds* kfdata = FindOrAdd(top, KFDATA);
    if (FtkErrorStops() || kfdata == nullptr) return;
    bool isNew = false;
    auto* header = FindOrAddRecord<KfHeaderData3ds>(kfdata, KFHDR, isNew);
    if (header == nullptr) return;
    if (isNew) {
        header->name = StrDup3ds("");
        header->animlength = 30;
    }
    header->revision = kReleases[release].kfRevision;
}

void SetDatabaseRelease3ds(database3ds* database, std::uint32_t release) {
    if (database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (!CheckRelease(release)) return;
    switch (GetDatabaseType3ds(database)) {
        case DatabaseMeshFile3ds:
            PutM3dVersion3ds(database, release);
            if (FtkErrorStops()) return;
            [[fallthrough]];
        case DatabaseProjectFile3ds:
            PutMeshVersion3ds(database, release);
            if (FtkErrorStops()) return;
            PutKfRevision3ds(database, release);
            break;
        default:
            break;
    }
}

void FindOrCreateKfData3ds(Chunk3ds* top, Chunk3ds** kfdata) {
    if (top == nullptr || kfdata == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *kfdata = FindChild(top, KFDATA);
    if (*kfdata == nullptr) *kfdata = AddChildChunk3ds(KFDATA, top);
}

void PutNodeId3ds(Chunk3ds* node) {
    if (node == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (auto* id = AddRecordChunk<WordData3ds>(NODE_ID, node)) id->value = 0xFFFF;
}

void PutParentName3ds(Chunk3ds* chunk, const char* name) {
    if (chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (name == nullptr || name[0] == '\0') return;
    if (auto* parent = AddRecordChunk<TextData3ds>(PARENT_NAME, chunk)) parent->text = StrDup3ds(name);
}

void PutNodeHeader3ds(const char* name, std::uint16_t flags1, std::uint16_t flags2, const char* parentname,
                      Chunk3ds* node) {
    if (name == nullptr || node == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    Chunk3ds* headerChunk = nullptr;
    auto* header = AddRecordChunk<NodeHeaderData3ds>(NODE_HDR, node, &headerChunk);
    if (header == nullptr) return;
    header->name = StrDup3ds(name);
    header->flags1 = flags1;
    header->flags2 = flags2;
    header->parentindex = 0xFFFF;
    if (FtkErrorStops()) return;
    PutParentName3ds(headerChunk, parentname);
}

void PutPosTrack3ds(std::uint32_t keycount, std::uint16_t flags, const keyheader3ds* keys, const point3ds* points,
                    Chunk3ds* node) {
    PutTrack<PointTrackData3ds>(POS_TRACK_TAG, keycount, flags, keys, points, node);
}

void PutColTrack3ds(std::uint32_t keycount, std::uint16_t flags, const keyheader3ds* keys, const point3ds* colors,
                    Chunk3ds* node) {
    PutTrack<PointTrackData3ds>(COL_TRACK_TAG, keycount, flags, keys, colors, node);
}

void PutRollTrack3ds(std::uint32_t keycount, std::uint16_t flags, const keyheader3ds* keys, const float* angles,
                     Chunk3ds* node) {
    PutTrack<FloatTrackData3ds>(ROLL_TRACK_TAG, keycount, flags, keys, angles, node);
}

Chunk3ds* PutTargetNode3ds(const char* parentname, std::uint32_t keycount, std::uint16_t trackflags,
                           const keyheader3ds* keys, const point3ds* points, const char* name,
                           std::uint16_t flags1, std::uint16_t flags2, bool cameratarget, Chunk3ds* kfdata,
                           database3ds* database) {
    if (kfdata == nullptr || name == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    const std::uint32_t tag = cameratarget ? TARGET_NODE_TAG : L_TARGET_NODE_TAG;
    ftk3ds::ListedChunk listed(database, NameList3ds::Nodes, name);
    Chunk3ds* node = database != nullptr ? listed.Add(tag, kfdata) : AddChildChunk3ds(tag, kfdata);
    if (FtkErrorStops() || node == nullptr) return nullptr;
    PutNodeId3ds(node);
    if (FtkErrorStops()) return nullptr;
    PutNodeHeader3ds(name, flags1, flags2, parentname, node);
    if (FtkErrorStops()) return nullptr;
    PutPosTrack3ds(keycount, trackflags, keys, points, node);
    return FtkErrorStops() ? nullptr : node;
}

void GetParentName3ds(Chunk3ds* node, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    buffer[0] = '\0';
    Chunk3ds* parentName = nullptr;
    FindChunk3ds(node, PARENT_NAME, &parentName);
    LoadedRecord record(parentName);
    const auto* data = record.As<TextData3ds>();
    if (data == nullptr || data->text == nullptr) return;
    std::strncat(buffer, data->text, size - 1);
}

void FindNodeByNameAndTag3ds(database3ds* database, const char* name, std::uint32_t tag, Chunk3ds** node) {
    if (database == nullptr || name == nullptr || node == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *node = nullptr;
    Chunk3ds* kfdata = nullptr;
    FindChunk3ds(database->topchunk, KFDATA, &kfdata);
    Chunk3ds* candidate = nullptr;
    FindChunk3ds(kfdata, tag, &candidate);
    while (candidate != nullptr) {
        LoadedRecord record(FindChild(candidate, NODE_HDR));
        if (FtkErrorStops()) return;
        const auto* header = record.As<NodeHeaderData3ds>();
        if (header != nullptr && header->name != nullptr && std::strcmp(header->name, name) == 0) {
            *node = candidate;
            return;
        }
        FindNextChunk3ds(candidate->sibling, tag, &candidate);
    }
}

void ClearNodeForReuse3ds(database3ds* database, const char* name, std::uint32_t tag, Chunk3ds** xdata) {
    if (database == nullptr || name == nullptr || xdata == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    Chunk3ds* node = FindNodeTagByName3ds(database, name, tag);
    if (FtkErrorStops() || node == nullptr) return;
    Chunk3ds* section = nullptr;
    FindChunk3ds(node, XDATA_SECTION, &section);
    *xdata = nullptr;
    if (section != nullptr) {
        CopyChunk3ds(section, xdata);
        if (FtkErrorStops()) return;
    }
    ClearChunk3ds(node);
    MarkNodeListDirty3ds(database);
}

std::uint32_t GetNodeCountOfTag3ds(database3ds* database, std::uint32_t tag) {
    if (database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return 0;
    }
    UpdateNodeList3ds(database);
    if (FtkErrorStops() || database->nodelist == nullptr) return 0;
    std::uint32_t count = 0;
    for (std::uint32_t i = 0; i < database->nodelist->count; ++i) {
        const Chunk3ds* node = database->nodelist->list[i].chunk;
        if (node != nullptr && node->tag == tag) ++count;
    }
    return count;
}

void GetNodeNameListOfTag3ds(database3ds* database, std::uint32_t tag, stringlist3ds** list) {
    if (database == nullptr || list == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    const std::uint32_t count = GetNodeCountOfTag3ds(database, tag);
    if (FtkErrorStops()) return;
    InitStringList3ds(list, count);
    if (FtkErrorStops() || *list == nullptr) return;
    std::uint32_t filled = 0;
    for (std::uint32_t i = 0; i < database->nodelist->count && filled < count; ++i) {
        const namelistentry3ds& entry = database->nodelist->list[i];
        if (entry.chunk == nullptr || entry.chunk->tag != tag) continue;
        (*list)->list[filled] = StrDup3ds(entry.name != nullptr ? entry.name : "");
        if ((*list)->list[filled] == nullptr) return;
        ++filled;
    }
}

void InitKfSets3ds(KfSets3ds** settings) {
    if (settings == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (*settings == nullptr) {
        *settings = ftk3ds::NewZeroed<KfSets3ds>();
        if (*settings == nullptr) return;
    }
    **settings = {30, 0, 0, 0, 30};
}

void ReleaseKfSets3ds(KfSets3ds** settings) {
    if (settings == nullptr || *settings == nullptr) return;
    FtkFree(*settings);
    *settings = nullptr;
}

namespace {

// The KFDATA the settings go to, created when missing; null after an error.
Chunk3ds* KfDataForSettings(database3ds* database, const KfSets3ds* settings) {
    Chunk3ds* top = CheckedTop(database, ERR_INVALID_DATABASE);
    if (top == nullptr || settings == nullptr) {
        if (settings == nullptr) PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    Chunk3ds* kfdata = nullptr;
    FindOrCreateKfData3ds(top, &kfdata);
    return FtkErrorStops() ? nullptr : kfdata;
}

}  // namespace

void PutKfHeader3ds(database3ds* database, const KfSets3ds* settings) {
    Chunk3ds* kfdata = KfDataForSettings(database, settings);
    if (kfdata == nullptr) return;
    bool isNew = false;
    auto* header = FindOrAddRecord<KfHeaderData3ds>(kfdata, KFHDR, isNew);
    if (header == nullptr) return;
    if (isNew) {
        header->revision = 5;
        header->name = StrDup3ds("");
        if (FtkErrorStops()) return;
    }
    header->animlength = settings->animlength;
    auto* current = FindOrAddRecord<DwordData3ds>(kfdata, KFCURTIME, isNew);
    if (current != nullptr) current->value = settings->curframe;
}

void PutKfSegment3ds(database3ds* database, const KfSets3ds* settings) {
    Chunk3ds* kfdata = KfDataForSettings(database, settings);
    if (kfdata == nullptr) return;
    if (settings->segmentused == 0) {
        // A cleared chunk is never written.
        if (Chunk3ds* segment = FindChild(kfdata, KFSEG)) ClearChunk3ds(segment);
        return;
    }
    Chunk3ds* segment = nullptr;
    ReplaceChild3ds(kfdata, KFSEG, &segment);
    if (FtkErrorStops() || segment == nullptr) return;
    if (auto* data = static_cast<KfSegData3ds*>(InitChunkData3ds(segment))) {
        data->begin = settings->segbegin;
        data->end = settings->segend;
    }
}

void PutKfSets3ds(database3ds* database, const KfSets3ds* settings) {
    if (database == nullptr || settings == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (database->topchunk == nullptr) {
        PushError3ds(ERR_INVALID_DATABASE);
        return;
    }
    if (!IsMeshOrProject(database->topchunk)) {
        PushError3ds(ERR_WRONG_DATABASE);
        return;
    }
    PutKfHeader3ds(database, settings);
    if (FtkErrorStops()) return;
    PutKfSegment3ds(database, settings);
}

}  // namespace fbxsdk_2006_11_1
