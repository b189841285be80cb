// The tops of the trees nodes belong to, which tell the writers whether a
// node that an object names (a skin's bone, a pose's node) is among the nodes
// they write. Each node's top is remembered with those of the ancestors
// walked past to find it, so that asking of every node of a deep tree costs
// the tree's size, not its size times its depth. The tree must not change
// while the answers are kept.
#ifndef FBXFILESDK_FBX_KFBXTREETOPS_H
#define FBXFILESDK_FBX_KFBXTREETOPS_H

#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxNode;

class KFbxTreeTops {
public:
    // The node's farthest ancestor (the node itself without a parent); null
    // for a null node.
    const KFbxNode* Of(const KFbxNode* node);
    // Forgets every answer, for a tree that may have changed.
    void Forget() { mTops.clear(); }

private:
    std::unordered_map<const KFbxNode*, const KFbxNode*> mTops;
    // The nodes of one walk up, kept from one question to the next.
    std::vector<const KFbxNode*> mWalk;
};

}  // namespace fbxsdk_2006_11_1

#endif
