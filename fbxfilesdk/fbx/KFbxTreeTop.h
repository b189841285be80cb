// The top of the tree a node belongs to, which tells the writers whether a
// node that an object names is among the nodes they write.
#ifndef FBXFILESDK_FBX_KFBXTREETOP_H
#define FBXFILESDK_FBX_KFBXTREETOP_H

namespace fbxsdk_2006_11_1 {

class KFbxNode;

// The node's farthest ancestor (the node itself without a parent); null for
// a null node.
const KFbxNode* KFbxTreeTop(const KFbxNode* node);

}  // namespace fbxsdk_2006_11_1

#endif
