// Materials: the material3ds record with its sixteen texture maps and its
// exchange with MAT_ENTRY chunks (under MDATA, or under a material library's
// top chunk).
#ifndef FBXFILESDK_3DSFTK_MATERIAL3DS_H
#define FBXFILESDK_3DSFTK_MATERIAL3DS_H

#include <fbxfilesdk/3dsftk/Chunk3ds.h>
#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

struct database3ds;

// Map tiling.
enum MapTiling3ds : std::int32_t { MapTile3ds = 1, MapDecal3ds = 2, MapTileAndDecal3ds = 3 };

struct texturemap3ds {
    char name[16];          // the file name (at most 12 characters); empty: the map is not used
    float percent;          // 0 to 1
    std::int32_t tiling;    // a MapTiling3ds
    std::uint8_t ignorealpha;
    std::int32_t filter;    // 0 pyramidal, 1 summed area
    float blur;
    std::uint8_t mirror;
    std::uint8_t negative;
    float uscale, vscale;
    float uoffset, voffset;
    float rotation;
    std::int32_t tint;      // 0 none, 1 alpha tint, 2 and 3 tint between colour 1 and 2, 4 RGB tint
    color3ds tint1, tint2;
    color3ds redtint, greentint, bluetint;
    std::uint32_t procdatasize;
    void* procdata;         // owned, or null
};

struct autoreflect3ds {
    std::uint8_t used;
    std::uint8_t firstoption;   // first frame only
    std::uint8_t secondoption;  // flat mirror
    std::int32_t mapsize;
    std::int32_t nthframe;
};

struct material3ds {
    char name[17];
    color3ds ambient, diffuse, specular;
    // Fractions from 0 to 1; a negative transparency falloff falls off inward.
    float shininess, shinstrength, reflectblur, transparency, transfalloff, selfillum;
    float wiresize;
    std::int32_t shading;
    std::uint8_t useblur;           // MAT_USE_REFBLUR
    std::uint8_t usefalloff;        // MAT_USE_XPFALL
    std::uint8_t twosided;          // MAT_TWO_SIDE
    std::uint8_t selfilluminated;   // MAT_SELF_ILLUM
    std::uint8_t additive;          // MAT_ADDITIVE
    std::uint8_t wireframe;         // MAT_WIRE
    std::uint8_t wireabsolute;      // MAT_WIREABS
    std::uint8_t facemap;           // MAT_FACEMAP
    std::uint8_t softphong;         // MAT_PHONGSOFT
    texturemap3ds texture, texmask;
    texturemap3ds texture2, tex2mask;
    texturemap3ds opacity, opacmask;
    texturemap3ds bump, bumpmask;
    texturemap3ds specmap, specmask;
    texturemap3ds shinmap, shinmask;
    texturemap3ds illummap, illummask;
    texturemap3ds reflect;
    autoreflect3ds autoreflect;
    texturemap3ds reflectmask;
};

// Allocates the record when *material is null and sets the defaults (wire
// size 1, shading 3, every map reset), freeing the maps' old procedural data.
void InitMaterial3ds(material3ds** material);
// The map defaults: no name, tile, scales 1, colour 2 white, the tints red,
// green and blue. Does not free procedural data.
void InitMapParams3ds(texturemap3ds* map);
void ReleaseMaterial3ds(material3ds** material);

std::uint32_t GetMaterialCount3ds(database3ds* database);
// Fills *material (allocated when null) with the index-th material; nothing
// past the last.
void GetMaterialByIndex3ds(database3ds* database, std::uint32_t index, material3ds** material);
// Fills *material from a MAT_ENTRY (ERR_INVALID_CHUNK for another chunk, or
// for a chunk inside it the format does not have).
void GetMaterialEntryChunk3ds(Chunk3ds* chunk, material3ds** material);
// Puts the material into a mesh or project file (under MDATA) or a material
// library, replacing one of the same name. ERR_STRING_TOO_LONG for a name of
// more than 16 characters or a map name of more than 12.
void PutMaterial3ds(database3ds* database, const material3ds* material);
// Reads a map chunk's parameters into map.
void GetMapParams3ds(Chunk3ds* chunk, texturemap3ds* map);
// Adds the map's parameter chunks under parent (nothing for an unused map).
void PutMapParams3ds(const texturemap3ds* map, Chunk3ds* parent);
// The first INT_PERCENTAGE of the chunk's subtree / 100, else the first
// FLOAT_PERCENTAGE, else 0.
float ReadPercentage3ds(Chunk3ds* chunk);

}  // namespace fbxsdk_2006_11_1

#endif
