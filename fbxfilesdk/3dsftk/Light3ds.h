// Lights: the light3ds record, with its spotlight3ds part for a spotlight, and
// its exchange with a NAMED_OBJECT holding an N_DIRECT_LIGHT.
#ifndef FBXFILESDK_3DSFTK_LIGHT3DS_H
#define FBXFILESDK_3DSFTK_LIGHT3DS_H

#include <fbxfilesdk/3dsftk/Chunk3ds.h>
#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>
#include <fbxfilesdk/3dsftk/NameLists3ds.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

struct database3ds;

struct spotlight3ds {
    point3ds target;              // 1
    float hotspot;                // degrees, 44
    float falloff;                // degrees, 45
    float roll;                   // 0
    float aspect;                 // 1
    std::uint8_t castshadows;     // DL_SHADOWED
    std::uint8_t rayshadows;      // DL_RAYSHAD
    std::uint8_t localshadow;     // DL_LOCAL_SHADOW: the three values below are used
    float shadowbias;             // 1
    float shadowfilter;           // 3
    std::uint16_t shadowmapsize;  // 512
    float raybias;                // 1
    std::uint8_t rectangular;     // DL_SPOT_RECTANGULAR
    std::uint8_t showcone;        // DL_SEE_CONE
    std::uint8_t overshoot;       // DL_SPOT_OVERSHOOT
    std::uint8_t projector;       // DL_SPOT_PROJECTOR
    char* projectorname;          // owned, or null
};

struct light3ds {
    char name[11];
    point3ds position;            // 0
    color3ds color;               // 0.708852 each
    float multiplier;             // 1
    std::uint8_t off;             // DL_OFF
    std::uint8_t attenuate;       // DL_ATTENUATE
    float innerrange;             // 10
    float outerrange;             // 100
    stringlist3ds* exclude;       // names of the objects the light leaves out
    spotlight3ds* spot;           // null for an omni light
};

// Allocates the record when *light is null, sets the defaults and gives it a
// new empty exclude list. An existing spotlight part is kept.
void InitLight3ds(light3ds** light);
// InitLight3ds, then a new spotlight part with its defaults.
void InitSpotlight3ds(light3ds** light);
void ReleaseLight3ds(light3ds** light);

// Omni lights: named objects with an N_DIRECT_LIGHT and no DL_SPOTLIGHT;
// spotlights: with one.
std::uint32_t GetOmnilightCount3ds(database3ds* database);
std::uint32_t GetSpotlightCount3ds(database3ds* database);
void GetOmnilightByIndex3ds(database3ds* database, std::uint32_t index, light3ds** light);
void GetSpotlightByIndex3ds(database3ds* database, std::uint32_t index, light3ds** light);
// ERR_WRONG_OBJECT for a chunk without an N_DIRECT_LIGHT.
void GetLightEntryChunk3ds(Chunk3ds* chunk, light3ds** light);
// Puts the light into a mesh or project file, reusing an object of the same
// name. ERR_STRING_TOO_LONG for an exclude name of more than 10 characters or
// a projector map name of more than 12.
void PutLight3ds(database3ds* database, const light3ds* light);
void PutLightEntry3ds(database3ds* database, const light3ds* light);
// A new child of the tag (by rank) whose record's first 32-bit value is *value
// (a float or dword record).
void PutChunkValue3ds(Chunk3ds* parent, std::uint32_t tag, const void* value);

}  // namespace fbxsdk_2006_11_1

#endif
