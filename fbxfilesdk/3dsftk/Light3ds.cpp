#include <fbxfilesdk/3dsftk/Light3ds.h>

#include <fbxfilesdk/3dsftk/Database3ds.h>
#include <fbxfilesdk/3dsftk/RecordSupport3ds.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

using namespace ftk3ds;

namespace {

bool IsSpotlight(Chunk3ds* object) {
    Chunk3ds* spot = nullptr;
    FindChunk3ds(FindChild(object, N_DIRECT_LIGHT), DL_SPOTLIGHT, &spot);
    return spot != nullptr;
}
bool HoldsOmnilight(Chunk3ds* object) { return FindChild(object, N_DIRECT_LIGHT) != nullptr && !IsSpotlight(object); }
bool HoldsSpotlight(Chunk3ds* object) { return FindChild(object, N_DIRECT_LIGHT) != nullptr && IsSpotlight(object); }

void FreeSpot(light3ds& light) {
    if (light.spot == nullptr) return;
    FtkFree(light.spot->projectorname);
    FtkFree(light.spot);
    light.spot = nullptr;
}

void GetLightByIndex(database3ds* database, std::uint32_t index, light3ds** light, bool (*holds)(Chunk3ds*)) {
    if (database == nullptr || light == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (TopForPut(database, light, PutTarget::MeshOrProject) == nullptr) return;
    if (Chunk3ds* object = NamedObjectAt(database, index, holds)) GetLightEntryChunk3ds(object, light);
}

template <class Field>
void ReadFloat(Chunk3ds* chunk, Field& field) {
    if (const auto* data = DataOf<FloatData3ds>(chunk)) field = data->value;
}

void ReadSpot(Chunk3ds* spotChunk, spotlight3ds& spot) {
    const auto* data = DataOf<SpotlightData3ds>(spotChunk);
    if (data == nullptr) return;
    spot.target = data->target;
    spot.hotspot = data->hotspot;
    spot.falloff = data->falloff;
    for (Chunk3ds* child = spotChunk->children; child != nullptr && !FtkErrorStops(); child = child->sibling) {
        switch (child->tag) {
            case DL_RAYSHAD: spot.rayshadows = 1; break;
            case DL_SHADOWED: case DL_LOCAL_SHADOW: spot.castshadows = 1; break;
            case DL_LOCAL_SHADOW2:
                if (const auto* shadow = DataOf<LocalShadowData3ds>(child)) {
                    spot.localshadow = 1;
                    spot.shadowbias = shadow->bias;
                    spot.shadowfilter = shadow->filter;
                    spot.shadowmapsize = shadow->mapsize;
                }
                break;
            case DL_SEE_CONE: spot.showcone = 1; break;
            case DL_SPOT_RECTANGULAR: spot.rectangular = 1; break;
            case DL_SPOT_OVERSHOOT: spot.overshoot = 1; break;
            case DL_SPOT_PROJECTOR:
                if (auto* name = DataOf<TextData3ds>(child)) {
                    spot.projector = 1;
                    FtkFree(spot.projectorname);
                    spot.projectorname = TakeOver(name->text);
                }
                break;
            case DL_SPOT_ROLL: ReadFloat(child, spot.roll); break;
            case DL_SPOT_ASPECT: ReadFloat(child, spot.aspect); break;
            case DL_RAY_BIAS: ReadFloat(child, spot.raybias); break;
            default: break;
        }
    }
}

bool LightIsWritable(const light3ds& light) {
    if (!NameFits(light.name, 10)) return false;
    for (std::uint32_t i = 0; light.exclude != nullptr && i < light.exclude->count; ++i) {
        if (light.exclude->list[i] != nullptr && !NameFits(light.exclude->list[i], 10)) return false;
    }
    const spotlight3ds* spot = light.spot;
    return spot == nullptr || spot->projector == 0 || spot->projectorname == nullptr ||
           NameFits(spot->projectorname, 12);
}

void PutSpot(const spotlight3ds& spot, Chunk3ds* lightChunk) {
    Chunk3ds* spotChunk = nullptr;
    auto* data = AddRecordChunk<SpotlightData3ds>(DL_SPOTLIGHT, lightChunk, &spotChunk);
    if (data == nullptr) return;
    *data = {spot.target, spot.hotspot, spot.falloff};
    PutChunkValue3ds(spotChunk, DL_SPOT_ROLL, &spot.roll);
    if (spot.aspect != 1.0f) PutChunkValue3ds(spotChunk, DL_SPOT_ASPECT, &spot.aspect);
    if (spot.castshadows == 1) AddFlagChunk(DL_SHADOWED, spotChunk);
    if (spot.rayshadows == 1) AddFlagChunk(DL_RAYSHAD, spotChunk);
    PutChunkValue3ds(spotChunk, DL_RAY_BIAS, &spot.raybias);
    if (spot.localshadow == 1) {
        AddFlagChunk(DL_LOCAL_SHADOW, spotChunk);
        if (auto* shadow = AddRecordChunk<LocalShadowData3ds>(DL_LOCAL_SHADOW2, spotChunk)) {
            shadow->bias = spot.shadowbias;
            shadow->filter = spot.shadowfilter;
            shadow->mapsize = spot.shadowmapsize;
        }
    }
    if (spot.rectangular == 1) AddFlagChunk(DL_SPOT_RECTANGULAR, spotChunk);
    if (spot.showcone == 1) AddFlagChunk(DL_SEE_CONE, spotChunk);
    if (spot.overshoot == 1) AddFlagChunk(DL_SPOT_OVERSHOOT, spotChunk);
    if (spot.projector == 1) AddTextChunk(DL_SPOT_PROJECTOR, spot.projectorname, spotChunk);
}

}  // namespace

void InitLight3ds(light3ds** light) {
    if (light == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (*light == nullptr) {
        *light = NewZeroed<light3ds>();
        if (*light == nullptr) return;
    }
    light3ds& l = **light;
    l.name[0] = '\0';
    l.position = {0, 0, 0};
    l.color = {0.708852f, 0.708852f, 0.708852f};
    l.multiplier = 1.0f;
    l.off = 0;
    l.attenuate = 0;
    l.innerrange = 10.0f;
    l.outerrange = 100.0f;
    ReleaseStringList3ds(&l.exclude);
    InitStringList3ds(&l.exclude, 0);
}

void InitSpotlight3ds(light3ds** light) {
    InitLight3ds(light);
    if (FtkErrorStops() || light == nullptr || *light == nullptr) return;
    FreeSpot(**light);
    spotlight3ds* spot = NewZeroed<spotlight3ds>();
    if (spot == nullptr) return;
    spot->target = {1, 1, 1};
    spot->hotspot = 44.0f;
    spot->falloff = 45.0f;
    spot->aspect = 1.0f;
    spot->shadowbias = 1.0f;
    spot->shadowfilter = 3.0f;
    spot->shadowmapsize = 512;
    spot->raybias = 1.0f;
    (*light)->spot = spot;
}

void ReleaseLight3ds(light3ds** light) {
    if (light == nullptr || *light == nullptr) return;
    ReleaseStringList3ds(&(*light)->exclude);
    FreeSpot(**light);
    FtkFree(*light);
    *light = nullptr;
}

std::uint32_t GetOmnilightCount3ds(database3ds* database) { return CountNamedObjects(database, &HoldsOmnilight); }
std::uint32_t GetSpotlightCount3ds(database3ds* database) { return CountNamedObjects(database, &HoldsSpotlight); }

void GetOmnilightByIndex3ds(database3ds* database, std::uint32_t index, light3ds** light) {
    GetLightByIndex(database, index, light, &HoldsOmnilight);
}

void GetSpotlightByIndex3ds(database3ds* database, std::uint32_t index, light3ds** light) {
    GetLightByIndex(database, index, light, &HoldsSpotlight);
}

void GetLightEntryChunk3ds(Chunk3ds* chunk, light3ds** light) {
    if (chunk == nullptr || light == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (FindChild(chunk, N_DIRECT_LIGHT) == nullptr) {
        PushError3ds(ERR_WRONG_OBJECT);
        return;
    }
    const ReadingTree tree(chunk);
    if (FtkErrorStops()) return;
    if (IsSpotlight(tree.Get())) {
        InitSpotlight3ds(light);
    } else {
        InitLight3ds(light);
        // A record that held a spotlight before holds an omni light now.
        if (!FtkErrorStops() && *light != nullptr) FreeSpot(**light);
    }
    if (FtkErrorStops()) return;
    light3ds& l = **light;
    CopyNameOf(l.name, tree.Get());
    Chunk3ds* lightChunk = FindChild(tree.Get(), N_DIRECT_LIGHT);
    if (const auto* position = DataOf<PointData3ds>(lightChunk)) l.position = position->point;
    for (Chunk3ds* child = lightChunk->children; child != nullptr && !FtkErrorStops(); child = child->sibling) {
        switch (child->tag) {
            case COLOR_F:
                if (const auto* color = DataOf<ColorFData3ds>(child)) l.color = FromColorF(*color);
                break;
            case COLOR_24:
                if (const auto* color = DataOf<Color24Data3ds>(child)) l.color = FromColor24(*color, 255.0f);
                break;
            case DL_OUTER_RANGE: ReadFloat(child, l.outerrange); break;
            case DL_INNER_RANGE: ReadFloat(child, l.innerrange); break;
            case DL_MULTIPLIER: ReadFloat(child, l.multiplier); break;
            case DL_OFF: l.off = 1; break;
            case DL_ATTENUATE: l.attenuate = 1; break;
            case DL_EXCLUDE: AddToStringList3ds(&l.exclude, TextOf(child)); break;
            case DL_SPOTLIGHT:
                if (l.spot != nullptr) ReadSpot(child, *l.spot);
                break;
            default: break;
        }
    }
}

void PutChunkValue3ds(Chunk3ds* parent, std::uint32_t tag, const void* value) {
    if (parent == nullptr || value == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    Chunk3ds* chunk = AddChildChunk3ds(tag, parent);
    if (FtkErrorStops() || chunk == nullptr) return;
    void* record = InitChunkData3ds(chunk);
    if (record == nullptr) return;
    // Only float and dword records have a 32-bit value first.
    std::memcpy(record, value, sizeof(std::uint32_t));
}

void PutLightEntry3ds(database3ds* database, const light3ds* light) {
    Chunk3ds* top = TopForPut(database, light, PutTarget::MeshOrProject);
    if (top == nullptr || !LightIsWritable(*light)) return;
    Chunk3ds* mdata = FindOrAdd(top, MDATA);
    if (FtkErrorStops()) return;
    Chunk3ds* object = ClearNamedObject(database, light->name, nullptr, true);
    if (FtkErrorStops()) return;
    ListedChunk listed(database, NameList3ds::Objects, light->name);
    if (object == nullptr) object = listed.Add(NAMED_OBJECT, mdata);
    auto* name = static_cast<TextData3ds*>(InitChunkData3ds(object));
    if (name == nullptr) return;
    name->text = StrDup3ds(light->name);
    Chunk3ds* lightChunk = nullptr;
    auto* position = AddRecordChunk<PointData3ds>(N_DIRECT_LIGHT, object, &lightChunk);
    if (position == nullptr) return;
    position->point = light->position;
    if (auto* color = AddRecordChunk<ColorFData3ds>(COLOR_F, lightChunk)) *color = ToColorF(light->color);
    PutChunkValue3ds(lightChunk, DL_OUTER_RANGE, &light->outerrange);
    PutChunkValue3ds(lightChunk, DL_INNER_RANGE, &light->innerrange);
    PutChunkValue3ds(lightChunk, DL_MULTIPLIER, &light->multiplier);
    if (light->off == 1) AddFlagChunk(DL_OFF, lightChunk);
    if (light->attenuate == 1) AddFlagChunk(DL_ATTENUATE, lightChunk);
    for (std::uint32_t i = 0; light->exclude != nullptr && i < light->exclude->count; ++i) {
        if (light->exclude->list[i] != nullptr) AddTextChunk(DL_EXCLUDE, light->exclude->list[i], lightChunk);
    }
    if (light->spot != nullptr && !FtkErrorStops()) PutSpot(*light->spot, lightChunk);
}

void PutLight3ds(database3ds* database, const light3ds* light) {
    if (database == nullptr || light == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    PutLightEntry3ds(database, light);
}

}  // namespace fbxsdk_2006_11_1
