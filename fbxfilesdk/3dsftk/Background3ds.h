// The background: the background3ds record and its chunks under MDATA.
#ifndef FBXFILESDK_3DSFTK_BACKGROUND3DS_H
#define FBXFILESDK_3DSFTK_BACKGROUND3DS_H

#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

struct database3ds;

// Which background is used.
enum BackgroundUse3ds : std::int32_t {
    BackgroundNone3ds = 0,
    BackgroundSolid3ds = 1,     // USE_SOLID_BGND
    BackgroundGradient3ds = 2,  // USE_V_GRADIENT
    BackgroundBitmap3ds = 3     // USE_BIT_MAP
};

struct background3ds {
    char* bitmap;              // the bitmap's file name (at most 12 characters), owned, or null
    color3ds solid;            // 0
    float gradientmidpoint;    // 0.5
    color3ds gradient1, gradient2, gradient3;  // top, middle, bottom; 0
    std::int32_t used;         // a BackgroundUse3ds
};

// Allocates the record when *background is null and sets the defaults
// (freeing an earlier bitmap name).
void InitBackground3ds(background3ds** background);
void ReleaseBackground3ds(background3ds** background);
// Reads the background of the first MDATA; without MDATA the record is left as
// it is. A linear colour replaces the plain one.
void GetBackground3ds(database3ds* database, background3ds** background);
// Replaces the background chunks of a mesh or project file; BackgroundNone3ds
// removes the use chunk from the file.
void PutBackground3ds(database3ds* database, const background3ds* background);

}  // namespace fbxsdk_2006_11_1

#endif
