// The scene-wide settings kept under MDATA.
#ifndef FBXFILESDK_3DSFTK_MESHSETTINGS3DS_H
#define FBXFILESDK_3DSFTK_MESHSETTINGS3DS_H

#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

struct database3ds;

struct meshsettings3ds {
    float masterscale;            // MASTER_SCALE, 1
    float shadowbias;             // LO_SHADOW_BIAS, 1
    float raybias;                // RAY_BIAS, 1
    std::uint16_t shadowmapsize;  // SHADOW_MAP_SIZE, 512
    float shadowfilter;           // SHADOW_FILTER, 3
    color3ds ambientlight;        // AMBIENT_LIGHT, 0.39216 each
    point3ds oconsts;             // O_CONSTS, 0
};

// Allocates the record when *settings is null and sets the defaults.
void InitMeshSet3ds(meshsettings3ds** settings);
void ReleaseMeshSet3ds(meshsettings3ds** settings);
// Reads the settings of the first MDATA (a database without one leaves the
// record as it is). A 24-bit ambient colour reads as bytes / 256; a linear
// colour replaces the plain one.
void GetMeshSet3ds(database3ds* database, meshsettings3ds** settings);
// Replaces the settings chunks (and MESH_VERSION) under MDATA.
void PutMeshSet3ds(database3ds* database, const meshsettings3ds* settings);

}  // namespace fbxsdk_2006_11_1

#endif
