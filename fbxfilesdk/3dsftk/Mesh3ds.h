// Mesh objects: the mesh3ds record and its exchange with a database's
// NAMED_OBJECT chunks (a NAMED_OBJECT holding an N_TRI_OBJECT).
#ifndef FBXFILESDK_3DSFTK_MESH3DS_H
#define FBXFILESDK_3DSFTK_MESH3DS_H

#include <fbxfilesdk/3dsftk/Chunk3ds.h>
#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

struct database3ds;

// The faces of one material.
struct meshmatgroup3ds {
    char name[17];             // the material's name
    std::uint16_t facecount;
    std::uint16_t* faces;      // facecount face indices; null when facecount is 0
};

struct mesh3ds {
    char name[11];
    // 1 when the object carries the flag.
    std::uint8_t hidden;        // OBJ_HIDDEN
    std::uint8_t vislofter;     // OBJ_VIS_LOFTER
    std::uint8_t matte;         // OBJ_MATTE
    std::uint8_t nocast;        // OBJ_DOESNT_CAST
    std::uint8_t fast;          // OBJ_FAST
    std::uint8_t norcvshadow;   // OBJ_DONT_RCVSHADOW
    std::uint8_t frozen;        // OBJ_FROZEN

    std::uint16_t vertexcount;
    point3ds* vertices;
    std::uint16_t vflagcount;
    std::uint16_t* vflags;
    std::uint16_t texvertcount;
    texvertex3ds* texverts;

    // Texture mapping (MESH_TEXTURE_INFO), used when usemapinfo is not 0.
    std::uint8_t usemapinfo;
    std::uint16_t maptype;
    float tilex, tiley;
    float centerx, centery, centerz;
    float scale;
    float mapmatrix[12];
    float planarwidth, planarheight, cylinderheight;

    float localmatrix[12];      // three axis rows, then the origin

    std::uint16_t facecount;
    face3ds* faces;
    std::uint32_t* smoothgroups;  // facecount masks, or null

    std::uint8_t useboxmap;
    char boxmap[6][17];           // six material names

    std::uint8_t meshcolor;

    std::uint16_t matgroupcount;
    meshmatgroup3ds* matgroups;

    std::uint8_t procedural;      // OBJ_PROCEDURAL
    std::uint32_t procdatasize;
    char procname[16];
    void* procdata;

    // How many entries the toolkit gave each array, so that resizing keeps
    // and clears the right parts; kept by the toolkit, not by callers.
    struct {
        std::uint16_t vertices, vflags, texverts, faces, smoothgroups, matgroups;
        std::uint32_t procdata;
    } allocated;
};

// The arrays of a mesh3ds, for InitMeshObjField3ds and ReleaseMeshObjField3ds.
enum MeshField3ds : std::uint8_t {
    MeshFieldVertices3ds = 1,
    MeshFieldTexVerts3ds = 2,
    MeshFieldFaces3ds = 4,
    MeshFieldMatGroups3ds = 8,
    MeshFieldSmoothGroups3ds = 16,
    MeshFieldProcData3ds = 32,
    MeshFieldVFlags3ds = 64
};

// Allocates the record when *mesh is null and resets it: empty name, flags 0,
// the counts given, mapping tiles 1, scale 1, the map matrix 1,0,0,0,1,0 and
// then 0, planar sizes 1, local matrix 0, no material groups, no box map. It
// then allocates vertices and faces (new faces are 0, 1, 2) and, by the bits
// of extras, texture vertices and vertex flags (one per vertex) and smoothing
// groups.
void InitMeshObj3ds(mesh3ds** mesh, std::uint16_t vertexcount, std::uint16_t facecount, std::uint8_t extras);
// For each field of the mask: frees the array when its count is 0, else sizes
// it to its count (contents kept; new faces 0, 1, 2, all else zero).
void InitMeshObjField3ds(mesh3ds* mesh, std::uint8_t mask);
// Gives material group `group` facecount zeroed face indices (the caller sets
// the group's facecount).
void InitMatArrayIndex3ds(mesh3ds* mesh, std::uint16_t group, std::uint16_t facecount);
void ReleaseMeshObjField3ds(mesh3ds* mesh, std::uint8_t mask);
void ReleaseMeshObj3ds(mesh3ds** mesh);

// The number of named objects that hold a mesh.
std::uint32_t GetMeshCount3ds(database3ds* database);
// Fills *mesh (allocated when null) with the index-th (from 0) mesh; an index
// past the last leaves it untouched. Release a record before filling it again.
void GetMeshByIndex3ds(database3ds* database, std::uint32_t index, mesh3ds** mesh);
// Fills *mesh from a NAMED_OBJECT holding an N_TRI_OBJECT (ERR_WRONG_OBJECT
// otherwise). Faces that name missing vertices and material groups that name
// missing faces are ERR_INVALID_DATA; the smoothing groups always have one
// mask per face.
void GetMeshEntryChunk3ds(Chunk3ds* chunk, mesh3ds** mesh);
// Puts the mesh as a named object of a mesh or project file, replacing one of
// the same name (whose extra data it keeps). Names longer than the format
// takes are ERR_STRING_TOO_LONG; faces naming missing vertices, and arrays
// missing for their counts, ERR_INVALID_DATA.
void PutMesh3ds(database3ds* database, const mesh3ds* mesh);
// The number of MSH_MAT_GROUP chunks from chunk along its siblings.
std::uint16_t CountMatGroups3ds(Chunk3ds* chunk);

}  // namespace fbxsdk_2006_11_1

#endif
