// Cameras: the camera3ds record and its exchange with a NAMED_OBJECT holding
// an N_CAMERA.
#ifndef FBXFILESDK_3DSFTK_CAMERA3DS_H
#define FBXFILESDK_3DSFTK_CAMERA3DS_H

#include <fbxfilesdk/3dsftk/Chunk3ds.h>
#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

struct database3ds;

struct camera3ds {
    char name[11];
    point3ds position;     // 0
    point3ds target;       // 1
    float roll;            // degrees, 0
    float fov;             // degrees, 45 (stored as the lens 2400 / fov)
    std::uint8_t showcone; // 0
    float nearrange;       // 10
    float farrange;        // 1000
};

// Allocates the record when *camera is null and sets the defaults.
void InitCamera3ds(camera3ds** camera);
void ReleaseCamera3ds(camera3ds** camera);
std::uint32_t GetCameraCount3ds(database3ds* database);
// Fills *camera with the index-th camera; nothing past the last.
void GetCameraByIndex3ds(database3ds* database, std::uint32_t index, camera3ds** camera);
// ERR_WRONG_OBJECT for a chunk that is no NAMED_OBJECT holding an N_CAMERA.
void GetCameraEntryChunk3ds(Chunk3ds* chunk, camera3ds** camera);
// Cameras go into mesh files only (ERR_WRONG_DATABASE otherwise). An object of
// the same name is emptied and a new one added; its extra data moves over.
void PutCamera3ds(database3ds* database, const camera3ds* camera);

}  // namespace fbxsdk_2006_11_1

#endif
