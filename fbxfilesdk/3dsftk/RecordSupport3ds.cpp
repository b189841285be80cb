#include <fbxfilesdk/3dsftk/RecordSupport3ds.h>

#include <fbxfilesdk/3dsftk/Database3ds.h>

#include <cstring>

namespace fbxsdk_2006_11_1::ftk3ds {

Chunk3ds* TopForPut(database3ds* database, const void* record, PutTarget target) {
    if (database == nullptr || record == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    Chunk3ds* top = database->topchunk;
    if (top == nullptr) {
        PushError3ds(ERR_INVALID_DATABASE);
        return nullptr;
    }
    const bool accepted = top->tag == M3DMAGIC || (target != PutTarget::MeshFile && top->tag == CMAGIC) ||
                          (target == PutTarget::AnyKind && top->tag == MLIBMAGIC);
    if (!accepted) {
        PushError3ds(ERR_WRONG_DATABASE);
        return nullptr;
    }
    return top;
}

Chunk3ds* FindOrAdd(Chunk3ds* parent, std::uint32_t tag) {
    Chunk3ds* found = nullptr;
    FindChunk3ds(parent, tag, &found);
    return found != nullptr ? found : AddChildChunk3ds(tag, parent);
}

void AddFlagChunk(std::uint32_t tag, Chunk3ds* parent) { AddChildChunk3ds(tag, parent); }

void AddTextChunk(std::uint32_t tag, const char* text, Chunk3ds* parent) {
    if (auto* record = AddRecordChunk<TextData3ds>(tag, parent)) record->text = StrDup3ds(text != nullptr ? text : "");
}

bool NameFits(const char* text, std::size_t limit) {
    CheckStringLength3ds(text, limit);
    return !FtkErrorStops();
}

void CopyName(char* field, std::size_t size, const char* text) {
    if (size == 0) return;
    field[0] = '\0';
    if (text != nullptr) std::strncat(field, text, size - 1);
}

const char* TextOf(Chunk3ds* chunk) {
    const auto* record = DataOf<TextData3ds>(chunk);
    return record != nullptr && record->text != nullptr ? record->text : "";
}

void CopyNameOf(char* field, std::size_t size, Chunk3ds* chunk) {
    if (std::string text; PeekLeadingText(chunk, 0, text)) {
        CopyName(field, size, text.c_str());
        return;
    }
    CopyName(field, size, TextOf(chunk));
}

float FloatOf(Chunk3ds* chunk, float fallback) {
    if (const unsigned char* own = nullptr; PeekOwnData(chunk, 4, &own)) return own != nullptr ? FloatAt(own) : fallback;
    const auto* data = DataOf<FloatData3ds>(chunk);
    return data != nullptr ? data->value : fallback;
}

point3ds PointOf(Chunk3ds* chunk, const point3ds& fallback) {
    if (const unsigned char* own = nullptr; PeekOwnData(chunk, 12, &own)) return own != nullptr ? PointAt(own) : fallback;
    const auto* data = DataOf<PointData3ds>(chunk);
    return data != nullptr ? data->point : fallback;
}

ColorFData3ds ToColorF(const color3ds& color) { return {color.red, color.green, color.blue}; }
color3ds FromColorF(const ColorFData3ds& color) { return {color.red, color.green, color.blue}; }
color3ds FromColor24(const Color24Data3ds& color, float scale) {
    return {static_cast<float>(color.red) / scale, static_cast<float>(color.green) / scale,
            static_cast<float>(color.blue) / scale};
}

Chunk3ds* NextChild(Chunk3ds* parent, Chunk3ds* after, std::uint32_t tag) {
    Chunk3ds* found = nullptr;
    FindNextChunk3ds(after != nullptr ? after->sibling : (parent != nullptr ? parent->children : nullptr), tag, &found);
    return found;
}

std::uint32_t CountNamedObjects(database3ds* database, bool (*holds)(Chunk3ds* object)) {
    if (database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return 0;
    }
    UpdateNamedObjectList3ds(database);
    if (FtkErrorStops() || database->objlist == nullptr) return 0;
    std::uint32_t count = 0;
    for (std::uint32_t i = 0; i < database->objlist->count; ++i) {
        if (holds(database->objlist->list[i].chunk)) ++count;
    }
    return count;
}

Chunk3ds* NamedObjectAt(database3ds* database, std::uint32_t index, bool (*holds)(Chunk3ds* object)) {
    UpdateNamedObjectList3ds(database);
    if (FtkErrorStops() || database->objlist == nullptr) return nullptr;
    for (std::uint32_t i = 0; i < database->objlist->count; ++i) {
        Chunk3ds* object = database->objlist->list[i].chunk;
        if (holds(object) && index-- == 0) return object;
    }
    return nullptr;
}

Chunk3ds* ClearNamedObject(database3ds* database, const char* name, Chunk3ds** xdata, bool reuse) {
    Chunk3ds* object = nullptr;
    FindNamedObject3ds(database, name, &object);
    if (FtkErrorStops() || object == nullptr) return nullptr;
    Chunk3ds* section = nullptr;
    FindChunk3ds(object, XDATA_SECTION, &section);
    if (section != nullptr && xdata != nullptr) CopyChunk3ds(section, xdata);
    ClearChunk3ds(object);
    if (reuse) object->tag = NAMED_OBJECT;
    MarkNamedObjectListDirty3ds(database);
    return object;
}

ListedChunk::~ListedChunk() {
    if (chunk_ != nullptr) ListAddedChunk3ds(database_, list_, chunk_, name_.c_str());
}

Chunk3ds* ListedChunk::Add(std::uint32_t tag, Chunk3ds* parent) {
    Chunk3ds* chunk = AddListedChunk3ds(database_, list_, tag, parent);
    if (chunk != nullptr) chunk_ = chunk;
    return chunk;
}

}  // namespace fbxsdk_2006_11_1::ftk3ds
