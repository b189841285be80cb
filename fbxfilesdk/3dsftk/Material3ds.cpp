#include <fbxfilesdk/3dsftk/Material3ds.h>

#include <fbxfilesdk/3dsftk/Database3ds.h>
#include <fbxfilesdk/3dsftk/RecordSupport3ds.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <limits>

namespace fbxsdk_2006_11_1 {

using namespace ftk3ds;

namespace {

struct MapSlot {
    texturemap3ds material3ds::*map;
    std::uint32_t mapTag;
    std::uint32_t procTag;  // 0: the map has no procedural data
};

// The maps in the order they are written.
constexpr MapSlot kMaps[] = {
    {&material3ds::texture, MAT_TEXMAP, MAT_SXP_TEXT_DATA},
    {&material3ds::texmask, MAT_TEXMASK, MAT_SXP_TEXT_MASKDATA},
    {&material3ds::texture2, MAT_TEX2MAP, MAT_SXP_TEXT2_DATA},
    {&material3ds::tex2mask, MAT_TEX2MASK, MAT_SXP_TEXT2_MASKDATA},
    {&material3ds::opacity, MAT_OPACMAP, MAT_SXP_OPAC_DATA},
    {&material3ds::opacmask, MAT_OPACMASK, MAT_SXP_OPAC_MASKDATA},
    {&material3ds::bump, MAT_BUMPMAP, MAT_SXP_BUMP_DATA},
    {&material3ds::bumpmask, MAT_BUMPMASK, MAT_SXP_BUMP_MASKDATA},
    {&material3ds::specmap, MAT_SPECMAP, MAT_SXP_SPEC_DATA},
    {&material3ds::specmask, MAT_SPECMASK, MAT_SXP_SPEC_MASKDATA},
    {&material3ds::shinmap, MAT_SHINMAP, MAT_SXP_SHIN_DATA},
    {&material3ds::shinmask, MAT_SHINMASK, MAT_SXP_SHIN_MASKDATA},
    {&material3ds::illummap, MAT_SELFIMAP, MAT_SXP_SELFI_DATA},
    {&material3ds::illummask, MAT_SELFIMASK, MAT_SXP_SELFI_MASKDATA},
    {&material3ds::reflect, MAT_REFLMAP, 0},
    {&material3ds::reflectmask, MAT_REFLMASK, MAT_SXP_REFL_MASKDATA},
};

struct FlagSlot {
    std::uint8_t material3ds::*flag;
    std::uint32_t tag;
};

// The flags in the order they are written.
constexpr FlagSlot kFlags[] = {
    {&material3ds::useblur, MAT_USE_REFBLUR},   {&material3ds::usefalloff, MAT_USE_XPFALL},
    {&material3ds::selfilluminated, MAT_SELF_ILLUM}, {&material3ds::additive, MAT_ADDITIVE},
    {&material3ds::wireframe, MAT_WIRE},        {&material3ds::wireabsolute, MAT_WIREABS},
    {&material3ds::facemap, MAT_FACEMAP},       {&material3ds::softphong, MAT_PHONGSOFT},
    {&material3ds::twosided, MAT_TWO_SIDE},
};

struct PercentSlot {
    float material3ds::*field;
    std::uint32_t tag;
};

constexpr PercentSlot kPercents[] = {
    {&material3ds::shininess, MAT_SHININESS},       {&material3ds::shinstrength, MAT_SHIN2PCT},
    {&material3ds::transparency, MAT_TRANSPARENCY}, {&material3ds::transfalloff, MAT_XPFALL},
    {&material3ds::reflectblur, MAT_REFBLUR},       {&material3ds::selfillum, MAT_SELF_ILPCT},
};

constexpr float kColor24Scale = 255.0f;

// A fraction a byte or word cannot hold (an extreme or damaged material) is
// clamped to its range, and NaN written as 0, rather than converted with
// undefined result; values in range are truncated.
template <class Integer>
Integer Saturated(float value) {
    constexpr float kLowest = static_cast<float>(std::numeric_limits<Integer>::min());
    constexpr float kHighest = static_cast<float>(std::numeric_limits<Integer>::max());
    if (std::isnan(value)) return 0;
    if (value <= kLowest) return std::numeric_limits<Integer>::min();
    if (value >= kHighest) return std::numeric_limits<Integer>::max();
    return static_cast<Integer>(value);
}

// The nearest byte, so that a colour read back as byte / 255 is the one written.
std::uint8_t ColorByte(float value) { return Saturated<std::uint8_t>(std::round(value * 255.0f)); }

std::int16_t PercentWord(float percent) { return Saturated<std::int16_t>(percent); }

Color24Data3ds ToColor24(const color3ds& color) {
    return {ColorByte(color.red), ColorByte(color.green), ColorByte(color.blue)};
}

std::uint16_t TilingWord(const texturemap3ds& map) {
    std::uint16_t word = 0;
    if (map.tiling == MapDecal3ds) word |= 0x0011;
    if (map.tiling == MapTileAndDecal3ds) word |= 0x0001;
    if (map.ignorealpha != 0) word |= 0x0100;
    if (map.filter == 1) word |= 0x0020;
    if (map.mirror != 0) word |= 0x0002;
    if (map.negative != 0) word |= 0x0008;
    switch (map.tint) {
        case 1: word |= 0x0040; break;
        case 2: word |= 0x0080; break;
        case 3: word |= 0x00C0; break;
        case 4: word |= 0x0200; break;
        default: break;
    }
    return word;
}

void DecodeTiling(std::uint16_t word, texturemap3ds& map) {
    map.tiling = (word & 0x0010) != 0 ? MapDecal3ds : (word & 0x0001) != 0 ? MapTileAndDecal3ds : MapTile3ds;
    map.ignorealpha = (word & 0x0100) != 0 ? 1 : 0;
    map.filter = (word & 0x0020) != 0 ? 1 : 0;
    map.mirror = (word & 0x0002) != 0 ? 1 : 0;
    map.negative = (word & 0x0008) != 0 ? 1 : 0;
    if ((word & 0x00C0) == 0x00C0) {
        map.tint = 3;
    } else if ((word & 0x0080) != 0) {
        map.tint = 2;
    } else if ((word & 0x0200) != 0) {
        map.tint = 4;
    } else {
        map.tint = (word & 0x0040) != 0 ? 1 : 0;
    }
}

void FreeProcData(material3ds& material) {
    for (const MapSlot& slot : kMaps) {
        texturemap3ds& map = material.*slot.map;
        FtkFree(map.procdata);
        map.procdata = nullptr;
        map.procdatasize = 0;
    }
}

// The colour of a COLOR_24 or LIN_COLOR_24, a COLOR_F or LIN_COLOR_F, and
// the value of a float record, of a tree being read: from the read window in
// place where it holds them, else from the loaded record; target is left as
// it is without a record.
void ReadColor24(Chunk3ds* chunk, color3ds& target) {
    if (const unsigned char* own = nullptr; PeekOwnData(chunk, 3, &own)) {
        if (own != nullptr) target = FromColor24(Color24Data3ds{own[0], own[1], own[2]}, kColor24Scale);
        return;
    }
    if (const auto* bytes = DataOf<Color24Data3ds>(chunk)) target = FromColor24(*bytes, kColor24Scale);
}

void ReadColorF(Chunk3ds* chunk, color3ds& target) {
    if (const unsigned char* own = nullptr; PeekOwnData(chunk, 12, &own)) {
        if (own != nullptr) target = {FloatAt(own), FloatAt(own + 4), FloatAt(own + 8)};
        return;
    }
    if (const auto* floats = DataOf<ColorFData3ds>(chunk)) target = FromColorF(*floats);
}

void ReadFloat(Chunk3ds* chunk, float& target) { target = FloatOf(chunk, target); }

float SignedPercent(Chunk3ds* chunk) {
    if (const unsigned char* own = nullptr; PeekOwnData(chunk, 2, &own)) {
        return own != nullptr ? static_cast<float>(static_cast<std::int16_t>(FromLittleEndian<2>(own))) / 100.0f : 0.0f;
    }
    const auto* word = DataOf<WordData3ds>(chunk);
    return word != nullptr ? static_cast<float>(static_cast<std::int16_t>(word->value)) / 100.0f : 0.0f;
}

void AddPercent(std::int16_t percent, Chunk3ds* parent) {
    if (auto* data = AddRecordChunk<WordData3ds>(INT_PERCENTAGE, parent)) {
        data->value = static_cast<std::uint16_t>(percent);
    }
}

void AddColorHolder(std::uint32_t tag, const color3ds& color, Chunk3ds* entry) {
    Chunk3ds* holder = AddChildChunk3ds(tag, entry);
    if (FtkErrorStops()) return;
    for (std::uint32_t colorTag : {COLOR_24, LIN_COLOR_24}) {
        if (auto* data = AddRecordChunk<Color24Data3ds>(colorTag, holder)) *data = ToColor24(color);
    }
}

void AddPercentHolder(std::uint32_t tag, std::int16_t percent, Chunk3ds* entry) {
    Chunk3ds* holder = AddChildChunk3ds(tag, entry);
    if (!FtkErrorStops()) AddPercent(percent, holder);
}

const MapSlot* MapSlotOf(std::uint32_t tag) {
    for (const MapSlot& slot : kMaps) {
        if (slot.mapTag == tag) return &slot;
    }
    return nullptr;
}

const MapSlot* ProcSlotOf(std::uint32_t tag) {
    for (const MapSlot& slot : kMaps) {
        if (slot.procTag != 0 && slot.procTag == tag) return &slot;
    }
    return nullptr;
}

// The colour of a MAT_AMBIENT, MAT_DIFFUSE or MAT_SPECULAR holder: its
// COLOR_24, or the COLOR_F other programs store instead, then replaced by its
// LIN_COLOR_24 or LIN_COLOR_F when present. False when it holds no colour.
bool ReadMaterialColor(Chunk3ds* holder, color3ds& color) {
    auto read = [&](std::uint32_t byteTag, std::uint32_t floatTag) {
        Chunk3ds* found = nullptr;
        FindChunk3ds(holder, byteTag, &found);
        if (found != nullptr) {
            ReadColor24(found, color);
            return true;
        }
        FindChunk3ds(holder, floatTag, &found);
        if (found == nullptr) return false;
        ReadColorF(found, color);
        return true;
    };
    const bool plain = read(COLOR_24, COLOR_F);
    const bool linear = read(LIN_COLOR_24, LIN_COLOR_F);
    return plain || linear;
}

// Reads one child of a MAT_ENTRY (a copy) into the material; a chunk the
// record does not hold changes nothing.
void ReadMaterialChild(Chunk3ds* child, material3ds& m, bool& falloffInward) {
    const std::uint32_t tag = child->tag;
    if ((tag & 0xFF00) == 0x8000) return;
    for (const PercentSlot& slot : kPercents) {
        if (slot.tag == tag) {
            m.*slot.field = ReadPercentage3ds(child);
            return;
        }
    }
    for (const FlagSlot& slot : kFlags) {
        if (slot.tag == tag) {
            m.*slot.flag = 1;
            if (tag == MAT_WIRE) m.shading = 0;
            return;
        }
    }
    if (const MapSlot* slot = MapSlotOf(tag)) {
        texturemap3ds& map = m.*slot->map;
        GetMapParams3ds(child, &map);
        if (tag == MAT_BUMPMAP) {
            if (Chunk3ds* bumpPercent = FindChild(child, MAT_BUMP_PERCENT)) map.percent = SignedPercent(bumpPercent);
        }
        return;
    }
    if (const MapSlot* slot = ProcSlotOf(tag)) {
        if (auto* block = DataOf<BlockData3ds>(child)) {
            texturemap3ds& map = m.*slot->map;
            FtkFree(map.procdata);
            map.procdatasize = block->size;
            map.procdata = TakeOver(block->data);
        }
        return;
    }
    switch (tag) {
        case MAT_NAME:
            CopyNameOf(m.name, child);
            return;
        case MAT_AMBIENT:
        case MAT_DIFFUSE:
        case MAT_SPECULAR: {
            color3ds& color = tag == MAT_AMBIENT ? m.ambient : tag == MAT_DIFFUSE ? m.diffuse : m.specular;
            if (!ReadMaterialColor(child, color)) PushError3ds(ERR_UNFOUND_CHUNK);
            return;
        }
        case MAT_XPFALLIN:
            falloffInward = true;
            return;
        case MAT_SHADING:
            if (const auto* shading = DataOf<WordData3ds>(child)) {
                m.shading = static_cast<std::int16_t>(shading->value);
            }
            return;
        case MAT_WIRESIZE:
            ReadFloat(child, m.wiresize);
            return;
        case MAT_ACUBIC:
            if (const auto* acubic = DataOf<AutoReflectData3ds>(child)) {
                m.autoreflect.used = 1;
                m.autoreflect.firstoption = (acubic->flags & 0x0009) == 0x0009 ? 1 : 0;
                m.autoreflect.secondoption = (acubic->flags & 0x0011) == 0x0011 ? 1 : 0;
                m.autoreflect.mapsize = static_cast<std::int32_t>(acubic->mapsize);
                m.autoreflect.nthframe = static_cast<std::int32_t>(acubic->nthframe);
            }
            return;
        case MAT_SHIN3PCT:
            return;
        default:
            return;
    }
}

bool MaterialIsWritable(const material3ds& m) {
    if (!NameFits(m.name, 16)) return false;
    for (const MapSlot& slot : kMaps) {
        if (!NameFits((m.*slot.map).name, 15)) return false;
    }
    return true;
}

void PutMaterialChildren(const material3ds& m, Chunk3ds* entry) {
    AddTextChunk(MAT_NAME, m.name, entry);
    AddColorHolder(MAT_AMBIENT, m.ambient, entry);
    AddColorHolder(MAT_DIFFUSE, m.diffuse, entry);
    AddColorHolder(MAT_SPECULAR, m.specular, entry);
    AddPercentHolder(MAT_SHININESS, PercentWord(m.shininess * 100.0f), entry);
    AddPercentHolder(MAT_SHIN2PCT, PercentWord(m.shinstrength * 100.0f), entry);
    AddPercentHolder(MAT_TRANSPARENCY, PercentWord(m.transparency * 100.0f), entry);
    if (m.transfalloff != 0.0f) {
        AddPercentHolder(MAT_XPFALL, PercentWord(std::round(std::fabs(m.transfalloff) * 100.0f)),
                         entry);
        if (m.transfalloff < 0.0f) AddFlagChunk(MAT_XPFALLIN, entry);
    }
    AddPercentHolder(MAT_REFBLUR, PercentWord(m.reflectblur * 100.0f), entry);
    if (auto* shading = AddRecordChunk<WordData3ds>(MAT_SHADING, entry)) {
        shading->value = static_cast<std::uint16_t>(m.shading);
    }
    AddPercentHolder(MAT_SELF_ILPCT, PercentWord(m.selfillum * 100.0f), entry);
    if (m.twosided != 0) AddFlagChunk(MAT_TWO_SIDE, entry);
    if (auto* wire = AddRecordChunk<FloatData3ds>(MAT_WIRESIZE, entry)) wire->value = m.wiresize;
    for (const FlagSlot& slot : kFlags) {
        if (slot.tag != MAT_TWO_SIDE && m.*slot.flag != 0) AddFlagChunk(slot.tag, entry);
    }
    if (FtkErrorStops()) return;
    for (const MapSlot& slot : kMaps) {
        const texturemap3ds& map = m.*slot.map;
        if (slot.mapTag == MAT_REFLMAP) {
            // The reflection map keeps only its strength and name.
            if (map.name[0] == '\0' && m.autoreflect.used == 0) continue;
            Chunk3ds* holder = AddChildChunk3ds(MAT_REFLMAP, entry);
            if (FtkErrorStops()) return;
            AddPercent(PercentWord(map.percent * 100.0f), holder);
            AddTextChunk(MAT_MAPNAME, map.name, holder);
            continue;
        }
        if (map.name[0] != '\0') {
            Chunk3ds* holder = AddChildChunk3ds(slot.mapTag, entry);
            if (FtkErrorStops()) return;
            PutMapParams3ds(&map, holder);
            if (slot.mapTag == MAT_BUMPMAP) {
                if (auto* bump = AddRecordChunk<WordData3ds>(MAT_BUMP_PERCENT, holder)) {
                    bump->value = static_cast<std::uint16_t>(PercentWord(map.percent * 100.0f));
                }
            }
        }
        if (slot.procTag != 0 && map.procdatasize != 0 && map.procdata != nullptr) {
            if (auto* block = AddRecordChunk<BlockData3ds>(slot.procTag, entry)) {
                block->size = map.procdatasize;
                block->data = DuplicateBlock(map.procdata, map.procdatasize);
            }
        }
        if (FtkErrorStops()) return;
    }
    if (m.autoreflect.used != 0) {
        if (auto* acubic = AddRecordChunk<AutoReflectData3ds>(MAT_ACUBIC, entry)) {
            acubic->flags = static_cast<std::uint16_t>((m.autoreflect.firstoption != 0 ? 0x0009 : 0x0001) |
                                                       (m.autoreflect.secondoption != 0 ? 0x0011 : 0));
            acubic->mapsize = static_cast<std::uint32_t>(m.autoreflect.mapsize);
            acubic->nthframe = static_cast<std::uint32_t>(m.autoreflect.nthframe);
        }
    }
}

}  // namespace

void InitMapParams3ds(texturemap3ds* map) {
    if (map == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    map->name[0] = '\0';
    map->percent = 0.0f;
    map->tiling = MapTile3ds;
    map->ignorealpha = 0;
    map->filter = 0;
    map->blur = 0.0f;
    map->mirror = 0;
    map->negative = 0;
    map->uscale = map->vscale = 1.0f;
    map->uoffset = map->voffset = 0.0f;
    map->rotation = 0.0f;
    map->tint = 0;
    map->tint1 = {0, 0, 0};
    map->tint2 = {1, 1, 1};
    map->redtint = {1, 0, 0};
    map->greentint = {0, 1, 0};
    map->bluetint = {0, 0, 1};
    map->procdatasize = 0;
    map->procdata = nullptr;
}

void InitMaterial3ds(material3ds** material) {
    if (material == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (*material == nullptr) {
        *material = NewZeroed<material3ds>();
        if (*material == nullptr) return;
    }
    material3ds& m = **material;
    FreeProcData(m);
    m.name[0] = '\0';
    m.ambient = m.diffuse = m.specular = {0, 0, 0};
    m.shininess = m.shinstrength = m.reflectblur = m.transparency = m.transfalloff = m.selfillum = 0.0f;
    m.wiresize = 1.0f;
    m.shading = 3;
    for (const FlagSlot& slot : kFlags) m.*slot.flag = 0;
    for (const MapSlot& slot : kMaps) InitMapParams3ds(&(m.*slot.map));
    m.autoreflect = {0, 0, 0, 100, 1};
}

void ReleaseMaterial3ds(material3ds** material) {
    if (material == nullptr || *material == nullptr) return;
    FreeProcData(**material);
    FtkFree(*material);
    *material = nullptr;
}

float ReadPercentage3ds(Chunk3ds* chunk) {
    Chunk3ds* found = nullptr;
    FindChunk3ds(chunk, INT_PERCENTAGE, &found);
    if (found != nullptr) return SignedPercent(found);
    FindChunk3ds(chunk, FLOAT_PERCENTAGE, &found);
    return FloatOf(found, 0.0f);
}

void GetMapParams3ds(Chunk3ds* chunk, texturemap3ds* map) {
    if (chunk == nullptr || map == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    const auto color = &ReadColor24;
    const auto value = &ReadFloat;
    for (Chunk3ds* child = chunk->children; child != nullptr && !FtkErrorStops(); child = child->sibling) {
        switch (child->tag) {
            case MAT_MAPNAME: CopyNameOf(map->name, child); break;
            case INT_PERCENTAGE: map->percent = SignedPercent(child); break;
            case FLOAT_PERCENTAGE: value(child, map->percent); break;
            case MAT_MAP_TILING:
                if (const auto* word = DataOf<WordData3ds>(child)) DecodeTiling(word->value, *map);
                break;
            case MAT_MAP_TEXBLUR: value(child, map->blur); break;
            case MAT_MAP_USCALE: value(child, map->uscale); break;
            case MAT_MAP_VSCALE: value(child, map->vscale); break;
            case MAT_MAP_UOFFSET: value(child, map->uoffset); break;
            case MAT_MAP_VOFFSET: value(child, map->voffset); break;
            case MAT_MAP_ANG: value(child, map->rotation); break;
            case MAT_MAP_COL1: color(child, map->tint1); break;
            case MAT_MAP_COL2: color(child, map->tint2); break;
            case MAT_MAP_RCOL: color(child, map->redtint); break;
            case MAT_MAP_GCOL: color(child, map->greentint); break;
            case MAT_MAP_BCOL: color(child, map->bluetint); break;
            default: break;
        }
    }
}

void PutMapParams3ds(const texturemap3ds* map, Chunk3ds* parent) {
    if (map == nullptr || parent == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (map->name[0] == '\0') return;
    AddPercent(PercentWord(map->percent * 100.0f + 0.5f), parent);
    AddTextChunk(MAT_MAPNAME, map->name, parent);
    if (auto* tiling = AddRecordChunk<WordData3ds>(MAT_MAP_TILING, parent)) tiling->value = TilingWord(*map);
    auto putFloat = [parent](std::uint32_t tag, float value) {
        if (auto* data = AddRecordChunk<FloatData3ds>(tag, parent)) data->value = value;
    };
    if (map->uscale != 1.0f || map->vscale != 1.0f) {
        putFloat(MAT_MAP_USCALE, map->uscale);
        putFloat(MAT_MAP_VSCALE, map->vscale);
    }
    if (map->uoffset != 0.0f || map->voffset != 0.0f) {
        putFloat(MAT_MAP_UOFFSET, map->uoffset);
        putFloat(MAT_MAP_VOFFSET, map->voffset);
    }
    if (map->rotation != 0.0f) putFloat(MAT_MAP_ANG, map->rotation);
    if (map->blur != 0.0f) putFloat(MAT_MAP_TEXBLUR, map->blur);
    auto putColor = [parent](std::uint32_t tag, const color3ds& color) {
        if (auto* data = AddRecordChunk<Color24Data3ds>(tag, parent)) *data = ToColor24(color);
    };
    if (map->tint == 4) {
        putColor(MAT_MAP_RCOL, map->redtint);
        putColor(MAT_MAP_GCOL, map->greentint);
        putColor(MAT_MAP_BCOL, map->bluetint);
    } else if (map->tint == 2 || map->tint == 3) {
        putColor(MAT_MAP_COL1, map->tint1);
        putColor(MAT_MAP_COL2, map->tint2);
    }
}

void GetMaterialEntryChunk3ds(Chunk3ds* chunk, material3ds** material) {
    if (chunk == nullptr || material == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (chunk->tag != MAT_ENTRY) {
        PushError3ds(ERR_INVALID_CHUNK);
        return;
    }
    InitMaterial3ds(material);
    if (FtkErrorStops()) return;
    material3ds& m = **material;
    bool falloffInward = false;
    // The records of the whole entry are read from one tree, let go at the end.
    const ReadingTree tree(chunk);
    if (FtkErrorStops()) return;
    for (Chunk3ds* child = tree.Get()->children; child != nullptr; child = child->sibling) {
        ErrorChunkScope3ds scope(child->tag, child->position);
        // Other programs store chunks of their own in materials: like unknown
        // chunks anywhere else in a file, what the record does not hold is
        // passed over, so the material and the rest of the file still read.
        ReadMaterialChild(child, m, falloffInward);
        if (FtkErrorStops()) return;
    }
    if (falloffInward) m.transfalloff = -std::fabs(m.transfalloff);
}

std::uint32_t GetMaterialCount3ds(database3ds* database) {
    if (database == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return 0;
    }
    UpdateMaterialList3ds(database);
    return FtkErrorStops() || database->matlist == nullptr ? 0 : database->matlist->count;
}

void GetMaterialByIndex3ds(database3ds* database, std::uint32_t index, material3ds** material) {
    if (material == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    Chunk3ds* entry = GetMaterialChunkByIndex3ds(database, index);
    if (entry != nullptr && !FtkErrorStops()) GetMaterialEntryChunk3ds(entry, material);
}

void PutMaterial3ds(database3ds* database, const material3ds* material) {
    Chunk3ds* top = TopForPut(database, material, PutTarget::AnyKind);
    if (top == nullptr || !MaterialIsWritable(*material)) return;
    Chunk3ds* parent = top->tag == MLIBMAGIC ? top : FindOrAdd(top, MDATA);
    if (FtkErrorStops()) return;
    Chunk3ds* entry = nullptr;
    FindMaterial3ds(database, material->name, &entry);
    if (FtkErrorStops()) return;
    ListedChunk listed(database, NameList3ds::Materials, material->name);
    if (entry != nullptr) {
        ClearChunk3ds(entry);
        entry->tag = MAT_ENTRY;
        MarkMaterialListDirty3ds(database);
    } else {
        entry = listed.Add(MAT_ENTRY, parent);
    }
    if (FtkErrorStops() || entry == nullptr) return;
    PutMaterialChildren(*material, entry);
}

}  // namespace fbxsdk_2006_11_1
