// Building and reading the keyframer part of a database: the version chunks
// of a release, keyframer nodes with their ids, headers, parent names and
// tracks, node lookups, and the keyframer settings (animation length, current
// frame, segment).
#ifndef FBXFILESDK_3DSFTK_KEYFRAMER3DS_H
#define FBXFILESDK_3DSFTK_KEYFRAMER3DS_H

#include <fbxfilesdk/3dsftk/Chunk3ds.h>
#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>
#include <fbxfilesdk/3dsftk/NameLists3ds.h>

#include <cstddef>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

struct database3ds;

// ---- Versions ------------------------------------------------------------

// Releases 0 to 3 give M3D_VERSION and MESH_VERSION 1 to 4 and the KFHDR
// revision 1, 2, 5, 6. A mesh file gets all three, a project file the mesh
// version and the revision, any other database nothing. Missing MDATA, KFDATA
// and KFHDR (empty name, length 30) are created. A release above 3 is refused
// (ERR_INVALID_ARG).
void SetDatabaseRelease3ds(database3ds* database, std::uint32_t release);
void PutM3dVersion3ds(database3ds* database, std::uint32_t release);
void PutMeshVersion3ds(database3ds* database, std::uint32_t release);
void PutKfRevision3ds(database3ds* database, std::uint32_t release);

// ---- Nodes and tracks ----------------------------------------------------

// The top chunk's first direct KFDATA child, created by rank when missing.
void FindOrCreateKfData3ds(Chunk3ds* top, Chunk3ds** kfdata);
// Adds a NODE_ID whose id is 0xFFFF (ids are given when the database is written).
void PutNodeId3ds(Chunk3ds* node);
// Adds a NODE_HDR (a copy of the name, the flags, parent index 0xFFFF) and, for
// a parent name that is not empty, a PARENT_NAME under it.
void PutNodeHeader3ds(const char* name, std::uint16_t flags1, std::uint16_t flags2, const char* parentname,
                      Chunk3ds* node);
// Adds under the chunk a PARENT_NAME holding a copy of the name; nothing for a
// null or empty name.
void PutParentName3ds(Chunk3ds* chunk, const char* name);
// Add a track (header: the flags, the key count; copies of the keys and
// values) when keycount is above 0 and both arrays are given; else nothing.
void PutPosTrack3ds(std::uint32_t keycount, std::uint16_t flags, const keyheader3ds* keys, const point3ds* points,
                    Chunk3ds* node);
void PutColTrack3ds(std::uint32_t keycount, std::uint16_t flags, const keyheader3ds* keys, const point3ds* colors,
                    Chunk3ds* node);
void PutRollTrack3ds(std::uint32_t keycount, std::uint16_t flags, const keyheader3ds* keys, const float* angles,
                     Chunk3ds* node);
// Adds under KFDATA a TARGET_NODE_TAG node (camera target) or an
// L_TARGET_NODE_TAG node (spotlight target) with its NODE_ID, NODE_HDR (and
// PARENT_NAME) and position track; returns it, or null after an error. Given
// the database the KFDATA belongs to, the node is added and listed as its
// node list's put routines add theirs.
Chunk3ds* PutTargetNode3ds(const char* parentname, std::uint32_t keycount, std::uint16_t trackflags,
                           const keyheader3ds* keys, const point3ds* points, const char* name,
                           std::uint16_t flags1, std::uint16_t flags2, bool cameratarget, Chunk3ds* kfdata,
                           database3ds* database = nullptr);

// The text of the first PARENT_NAME in the node's subtree, at most size - 1
// characters, into buffer; an empty text without one.
void GetParentName3ds(Chunk3ds* node, char* buffer, std::size_t size);
// The first node of the tag under KFDATA whose NODE_HDR name equals name, or null.
void FindNodeByNameAndTag3ds(database3ds* database, const char* name, std::uint32_t tag, Chunk3ds** node);
// When the node list has a node of that name and tag: a copy of its first
// XDATA_SECTION (or null) into *xdata, and the node cleared (ClearChunk3ds)
// for reuse. Otherwise *xdata is left alone.
void ClearNodeForReuse3ds(database3ds* database, const char* name, std::uint32_t tag, Chunk3ds** xdata);

// The number of keyframer nodes of the tag, and a new string list with a copy
// of each one's name, in node order.
std::uint32_t GetNodeCountOfTag3ds(database3ds* database, std::uint32_t tag);
void GetNodeNameListOfTag3ds(database3ds* database, std::uint32_t tag, stringlist3ds** list);

// ---- Keyframer settings --------------------------------------------------

struct KfSets3ds {
    std::uint32_t animlength;
    std::uint32_t curframe;
    std::uint32_t segmentused;  // 0: no segment
    std::uint32_t segbegin;
    std::uint32_t segend;
};

// Allocates the record when *settings is null and sets 30, 0, 0, 0, 30.
void InitKfSets3ds(KfSets3ds** settings);
void ReleaseKfSets3ds(KfSets3ds** settings);
// Stores the animation length (KFHDR), the current frame (KFCURTIME) and the
// segment (KFSEG, removed when the segment is not in use) of a mesh or project
// file.
void PutKfSets3ds(database3ds* database, const KfSets3ds* settings);
void PutKfHeader3ds(database3ds* database, const KfSets3ds* settings);
void PutKfSegment3ds(database3ds* database, const KfSets3ds* settings);

}  // namespace fbxsdk_2006_11_1

#endif
