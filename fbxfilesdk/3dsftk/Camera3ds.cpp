#include <fbxfilesdk/3dsftk/Camera3ds.h>

#include <fbxfilesdk/3dsftk/Database3ds.h>
#include <fbxfilesdk/3dsftk/RecordSupport3ds.h>

namespace fbxsdk_2006_11_1 {

using namespace ftk3ds;

namespace {

// A lens of that many millimetres gives a field of view of 2400 / lens degrees.
constexpr float kLensTimesFov = 2400.0f;

bool HoldsCamera(Chunk3ds* object) { return FindChild(object, N_CAMERA) != nullptr; }

}  // namespace

void InitCamera3ds(camera3ds** camera) {
    if (camera == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (*camera == nullptr) {
        *camera = NewZeroed<camera3ds>();
        if (*camera == nullptr) return;
    }
    **camera = {};
    (*camera)->target = {1, 1, 1};
    (*camera)->fov = 45.0f;
    (*camera)->nearrange = 10.0f;
    (*camera)->farrange = 1000.0f;
}

void ReleaseCamera3ds(camera3ds** camera) {
    if (camera == nullptr || *camera == nullptr) return;
    FtkFree(*camera);
    *camera = nullptr;
}

std::uint32_t GetCameraCount3ds(database3ds* database) { return CountNamedObjects(database, &HoldsCamera); }

void GetCameraByIndex3ds(database3ds* database, std::uint32_t index, camera3ds** camera) {
    if (database == nullptr || camera == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (Chunk3ds* object = NamedObjectAt(database, index, &HoldsCamera)) GetCameraEntryChunk3ds(object, camera);
}

void GetCameraEntryChunk3ds(Chunk3ds* chunk, camera3ds** camera) {
    if (chunk == nullptr || camera == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (chunk->tag != NAMED_OBJECT || !HoldsCamera(chunk)) {
        PushError3ds(ERR_WRONG_OBJECT);
        return;
    }
    InitCamera3ds(camera);
    if (FtkErrorStops()) return;
    camera3ds& c = **camera;
    const ReadingTree tree(chunk);
    if (FtkErrorStops()) return;
    CopyNameOf(c.name, tree.Get());
    Chunk3ds* cameraChunk = FindChild(tree.Get(), N_CAMERA);
    const auto* data = DataOf<CameraData3ds>(cameraChunk);
    if (data == nullptr) return;
    c.position = data->position;
    c.target = data->target;
    c.roll = data->roll;
    // A lens of 0 says nothing of the field of view: the default stays.
    if (data->lens != 0.0f) c.fov = kLensTimesFov / data->lens;
    c.showcone = FindChild(cameraChunk, CAM_SEE_CONE) != nullptr ? 1 : 0;
    if (const auto* ranges = DataOf<CameraRangesData3ds>(FindChild(cameraChunk, CAM_RANGES))) {
        c.nearrange = ranges->nearrange;
        c.farrange = ranges->farrange;
    }
}

void PutCamera3ds(database3ds* database, const camera3ds* camera) {
    Chunk3ds* top = TopForPut(database, camera, PutTarget::MeshFile);
    if (top == nullptr || !NameFits(camera->name, 10)) return;
    if (camera->fov == 0.0f) {
        PushError3ds(ERR_INVALID_DATA);
        return;
    }
    Chunk3ds* mdata = FindOrAdd(top, MDATA);
    if (FtkErrorStops()) return;
    ChunkTreeOwner xdata;
    ClearNamedObject(database, camera->name, &xdata.chunk, false);
    if (FtkErrorStops()) return;
    ListedChunk listed(database, NameList3ds::Objects, camera->name);
    Chunk3ds* object = listed.Add(NAMED_OBJECT, mdata);
    auto* name = FtkErrorStops() || object == nullptr ? nullptr : static_cast<TextData3ds*>(InitChunkData3ds(object));
    if (name == nullptr) return;
    name->text = StrDup3ds(camera->name);
    Chunk3ds* cameraChunk = nullptr;
    auto* data = AddRecordChunk<CameraData3ds>(N_CAMERA, object, &cameraChunk);
    if (data == nullptr) return;
    *data = {camera->position, camera->target, camera->roll, kLensTimesFov / camera->fov};
    auto append = [cameraChunk](std::uint32_t tag) {
        Chunk3ds* child = nullptr;
        InitChunkAs3ds(&child, tag);
        if (child != nullptr) AddChild3ds(cameraChunk, child);
        return child;
    };
    if (camera->showcone != 0) append(CAM_SEE_CONE);
    Chunk3ds* rangesChunk = append(CAM_RANGES);
    if (auto* ranges = static_cast<CameraRangesData3ds*>(InitChunkData3ds(rangesChunk))) {
        *ranges = {camera->nearrange, camera->farrange};
    }
    if (xdata.chunk != nullptr && !FtkErrorStops()) {
        AddChild3ds(cameraChunk, xdata.chunk);
        xdata.chunk = nullptr;
    }
}

}  // namespace fbxsdk_2006_11_1
