// Keyframe motion: one record per kind of keyframer node (object, camera,
// spotlight, omni light) and its exchange with the node chunks under KFDATA.
// Parents are named (the node list's "name" or "name.instance"); ids are given
// when the database is written.
#ifndef FBXFILESDK_3DSFTK_MOTION3DS_H
#define FBXFILESDK_3DSFTK_MOTION3DS_H

#include <fbxfilesdk/3dsftk/Chunk3ds.h>
#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>
#include <fbxfilesdk/3dsftk/NameLists3ds.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

struct database3ds;

// A key track: keycount key headers and as many values, both owned.
template <class Value>
struct kftrack3ds {
    std::uint32_t keycount;
    std::uint16_t flags;      // the track's flags
    keyheader3ds* keys;
    Value* values;
};

// The hide track has keys only.
struct kfhidetrack3ds {
    std::uint32_t keycount;
    std::uint16_t flags;
    keyheader3ds* keys;
};

// Object motion (OBJECT_NODE_TAG).
struct kfmesh3ds {
    char name[11];           // the object's name ("$$$DUMMY" for a dummy)
    char parent[23];         // the parent's full name; empty: none
    std::uint16_t flags1, flags2;
    point3ds pivot;
    char instance[12];       // the instance name; empty: none
    point3ds boundmin, boundmax;  // written for "$$$DUMMY" only
    kftrack3ds<point3ds> position;
    kftrack3ds<rotkey3ds> rotation;
    kftrack3ds<point3ds> scale;   // new values 1
    kftrack3ds<morphname3ds> morph;
    kfhidetrack3ds hide;
    float morphsmooth;       // degrees; 24 in a new record; written when flags2 bit 0x0001 is set
};

// Camera motion (CAMERA_NODE_TAG, target TARGET_NODE_TAG).
struct kfcamera3ds {
    char name[11];
    char parent[23];
    std::uint16_t flags1, flags2;
    kftrack3ds<point3ds> position;
    kftrack3ds<float> fov;        // new values 60
    kftrack3ds<float> roll;
    char targetparent[23];
    kftrack3ds<point3ds> targetposition;
    std::uint16_t targetflags1, targetflags2;
};

// Spotlight motion (SPOTLIGHT_NODE_TAG, target L_TARGET_NODE_TAG).
struct kfspot3ds {
    char name[11];
    char parent[23];
    std::uint16_t flags1, flags2;
    kftrack3ds<point3ds> position;
    kftrack3ds<point3ds> color;   // red, green, blue
    kftrack3ds<float> hotspot;    // new values 90
    kftrack3ds<float> falloff;    // new values 90
    kftrack3ds<float> roll;
    char targetparent[23];
    kftrack3ds<point3ds> targetposition;
    std::uint16_t targetflags1, targetflags2;
};

// Omni light motion (LIGHT_NODE_TAG).
struct kfomni3ds {
    char name[11];
    char parent[23];
    std::uint16_t flags1, flags2;
    kftrack3ds<point3ds> position;
    kftrack3ds<point3ds> color;   // new values 1
};

// The create routines allocate the record when *motion is null (empty texts,
// flags 0, no keys) and give each track whose count is not 0 that many cleared
// keys and default values; a count of 0 leaves the track as it is. The get
// routines fill a record (allocated when null) from a node and, for cameras and
// spotlights, its target (which may be null); the by-index routines take the
// index-th node of the kind and do nothing past the last. The put routines
// replace a node of the same name (keeping its extra data) and write each
// track whose count is not 0 and whose arrays are given; names longer than
// the format takes are ERR_STRING_TOO_LONG.

void InitObjectMotion3ds(kfmesh3ds** motion, std::uint32_t positionkeys, std::uint32_t rotationkeys,
                         std::uint32_t scalekeys, std::uint32_t morphkeys, std::uint32_t hidekeys);
void ReleaseObjectMotion3ds(kfmesh3ds** motion);
std::uint32_t GetObjectNodeCount3ds(database3ds* database);
void GetObjectMotion3ds(Chunk3ds* node, kfmesh3ds** motion);
void GetObjectMotionByIndex3ds(database3ds* database, std::uint32_t index, kfmesh3ds** motion);
// A mesh or project file. An object node is found again by its full name.
void PutObjectMotion3ds(database3ds* database, const kfmesh3ds* motion);

void InitCameraMotion3ds(kfcamera3ds** motion, std::uint32_t positionkeys, std::uint32_t fovkeys,
                         std::uint32_t rollkeys, std::uint32_t targetkeys);
void ReleaseCameraMotion3ds(kfcamera3ds** motion);
std::uint32_t GetCameraNodeCount3ds(database3ds* database);
void GetCameraNodeNameList3ds(database3ds* database, stringlist3ds** list);
void GetCameraMotion3ds(Chunk3ds* node, Chunk3ds* target, kfcamera3ds** motion);
void GetCameraMotionByIndex3ds(database3ds* database, std::uint32_t index, kfcamera3ds** motion);
// A mesh file only (ERR_WRONG_DATABASE otherwise). The target node is written
// when its position track has keys.
void PutCameraMotion3ds(database3ds* database, const kfcamera3ds* motion);

void InitSpotlightMotion3ds(kfspot3ds** motion, std::uint32_t positionkeys, std::uint32_t colorkeys,
                            std::uint32_t hotspotkeys, std::uint32_t falloffkeys, std::uint32_t rollkeys,
                            std::uint32_t targetkeys);
void ReleaseSpotlightMotion3ds(kfspot3ds** motion);
std::uint32_t GetSpotlightNodeCount3ds(database3ds* database);
void GetSpotlightNodeNameList3ds(database3ds* database, stringlist3ds** list);
void GetSpotlightMotion3ds(Chunk3ds* node, Chunk3ds* target, kfspot3ds** motion);
void GetSpotlightMotionByIndex3ds(database3ds* database, std::uint32_t index, kfspot3ds** motion);
void PutSpotlightMotion3ds(database3ds* database, const kfspot3ds* motion);

void InitOmnilightMotion3ds(kfomni3ds** motion, std::uint32_t positionkeys, std::uint32_t colorkeys);
void ReleaseOmnilightMotion3ds(kfomni3ds** motion);
std::uint32_t GetOmnilightNodeCount3ds(database3ds* database);
void GetOmnilightNodeNameList3ds(database3ds* database, stringlist3ds** list);
void GetOmnilightMotion3ds(Chunk3ds* node, kfomni3ds** motion);
void GetOmnilightMotionByIndex3ds(database3ds* database, std::uint32_t index, kfomni3ds** motion);
void PutOmnilightMotion3ds(database3ds* database, const kfomni3ds* motion);

}  // namespace fbxsdk_2006_11_1

#endif
