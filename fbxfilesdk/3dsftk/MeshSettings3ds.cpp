#include <fbxfilesdk/3dsftk/MeshSettings3ds.h>

#include <fbxfilesdk/3dsftk/Database3ds.h>
#include <fbxfilesdk/3dsftk/RecordSupport3ds.h>

#include <initializer_list>

namespace fbxsdk_2006_11_1 {

using namespace ftk3ds;

namespace {

// A 24-bit colour here is read as bytes / 256, as files written so expect.
constexpr float kColor24Scale = 256.0f;

// The colour of a holder chunk: COLOR_F, else COLOR_24; then replaced by
// LIN_COLOR_F, else LIN_COLOR_24, when present.
void ReadHolderColor(Chunk3ds* holder, color3ds& color, float scale) {
    auto read = [&](std::uint32_t floatTag, std::uint32_t byteTag) {
        if (Chunk3ds* chunk = FindChild(holder, floatTag)) {
            LoadedRecord record(chunk);
            if (const auto* data = record.As<ColorFData3ds>()) color = FromColorF(*data);
        } else if (Chunk3ds* bytes = FindChild(holder, byteTag)) {
            LoadedRecord record(bytes);
            if (const auto* data = record.As<Color24Data3ds>()) color = FromColor24(*data, scale);
        }
    };
    read(COLOR_F, COLOR_24);
    read(LIN_COLOR_F, LIN_COLOR_24);
}

template <class Record, class Field>
void ReadValue(Chunk3ds* chunk, Field& field) {
    LoadedRecord record(chunk);
    if (const auto* data = record.As<Record>()) field = data->value;
}

}  // namespace

void InitMeshSet3ds(meshsettings3ds** settings) {
    if (settings == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (*settings == nullptr) {
        *settings = NewZeroed<meshsettings3ds>();
        if (*settings == nullptr) return;
    }
    **settings = {1.0f, 1.0f, 1.0f, 512, 3.0f, {0.39216f, 0.39216f, 0.39216f}, {0.0f, 0.0f, 0.0f}};
}

void ReleaseMeshSet3ds(meshsettings3ds** settings) {
    if (settings == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    FtkFree(*settings);
    *settings = nullptr;
}

void GetMeshSet3ds(database3ds* database, meshsettings3ds** settings) {
    if (database == nullptr || settings == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    Chunk3ds* mdata = nullptr;
    FindChunk3ds(database->topchunk, MDATA, &mdata);
    if (mdata == nullptr) return;
    InitMeshSet3ds(settings);
    if (FtkErrorStops()) return;
    meshsettings3ds& s = **settings;
    for (Chunk3ds* child = mdata->children; child != nullptr && !FtkErrorStops(); child = child->sibling) {
        switch (child->tag) {
            case MASTER_SCALE: ReadValue<FloatData3ds>(child, s.masterscale); break;
            case LO_SHADOW_BIAS: ReadValue<FloatData3ds>(child, s.shadowbias); break;
            case RAY_BIAS: ReadValue<FloatData3ds>(child, s.raybias); break;
            case SHADOW_MAP_SIZE: ReadValue<WordData3ds>(child, s.shadowmapsize); break;
            case SHADOW_FILTER: ReadValue<FloatData3ds>(child, s.shadowfilter); break;
            case O_CONSTS: {
                LoadedRecord record(child);
                if (const auto* data = record.As<PointData3ds>()) s.oconsts = data->point;
                break;
            }
            case AMBIENT_LIGHT: ReadHolderColor(child, s.ambientlight, kColor24Scale); break;
            default: break;
        }
    }
}

void PutMeshSet3ds(database3ds* database, const meshsettings3ds* settings) {
    Chunk3ds* top = TopForPut(database, settings, PutTarget::MeshOrProject);
    if (top == nullptr) return;
    Chunk3ds* mdata = FindOrAdd(top, MDATA);
    if (FtkErrorStops()) return;
    auto putFloat = [&](std::uint32_t tag, float value) {
        if (auto* data = ReplaceRecordChunk<FloatData3ds>(tag, mdata)) data->value = value;
    };
    // The version the database is written with.
    if (auto* version = ReplaceRecordChunk<DwordData3ds>(MESH_VERSION, mdata)) version->value = 3;
    putFloat(MASTER_SCALE, settings->masterscale);
    putFloat(LO_SHADOW_BIAS, settings->shadowbias);
    if (auto* size = ReplaceRecordChunk<WordData3ds>(SHADOW_MAP_SIZE, mdata)) size->value = settings->shadowmapsize;
    putFloat(SHADOW_FILTER, settings->shadowfilter);
    putFloat(RAY_BIAS, settings->raybias);
    if (FtkErrorStops()) return;
    Chunk3ds* ambient = nullptr;
    ReplaceChild3ds(mdata, AMBIENT_LIGHT, &ambient);
    if (FtkErrorStops()) return;
    for (std::uint32_t tag : {COLOR_F, LIN_COLOR_F}) {
        if (auto* color = AddRecordChunk<ColorFData3ds>(tag, ambient)) *color = ToColorF(settings->ambientlight);
    }
    if (auto* constants = ReplaceRecordChunk<PointData3ds>(O_CONSTS, mdata)) constants->point = settings->oconsts;
}

}  // namespace fbxsdk_2006_11_1
