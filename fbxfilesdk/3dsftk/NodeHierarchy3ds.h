// Keyframer node parents. In a file a node (a child of KFDATA) names its
// parent by number: the parent index of its NODE_HDR is the NODE_ID of another
// node. In memory nodes name their parent instead, by a PARENT_NAME chunk under
// their NODE_HDR holding the parent's name ("name.instance" for an instanced
// object). Reading a database resolves ids to names, writing one names to ids.
#ifndef FBXFILESDK_3DSFTK_NODEHIERARCHY3DS_H
#define FBXFILESDK_3DSFTK_NODEHIERARCHY3DS_H

#include <fbxfilesdk/3dsftk/Chunk3ds.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

struct database3ds;

// After a read: gives every node whose parent index names another node a
// PARENT_NAME with that node's full name (replacing the text of one it has).
// ERR_INVALID_ARG for a null database; a database without KFDATA is unchanged.
void ResolveNodeHierarchy3ds(database3ds* database);
// Before a write: numbers the nodes in KFDATA's order (the ambient node gets
// 0xFFFF) and sets each NODE_HDR's parent index to the id of the node its
// PARENT_NAME names (0xFFFF without PARENT_NAME, or when no node has that
// name). The changed records stay loaded so that they are written. More
// nodes than ids push ERR_INVALID_DATABASE and change nothing: numbers
// that wrapped would give nodes the ids and children of others.
void PrepareNodeHierarchy3ds(database3ds* database);

// Ids are words and 0xFFFF stands for none: a file numbers at most 65 535
// keyframer nodes, 0 to 65 534.
inline constexpr std::uint32_t kMaxKeyframerNodes3ds = 0xFFFF;
// The keyframer nodes under KFDATA, the ambient node not counted; 0 without
// database or KFDATA.
std::uint32_t GetKeyframerNodeCount3ds(database3ds* database);

// TARGET, OBJECT, CAMERA, LIGHT, L_TARGET and SPOTLIGHT node tags (not the
// ambient node).
bool IsNodeTag3ds(std::uint32_t tag);
// The id in the first NODE_ID of the node's subtree; 0xFFFF without one.
std::uint16_t GetNodeId3ds(Chunk3ds* node);
// Sets the id of the node's NODE_ID (none: nothing); the record stays loaded.
void SetNodeId3ds(Chunk3ds* node, std::uint16_t id);

}  // namespace fbxsdk_2006_11_1

#endif
