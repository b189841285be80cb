// Builds a FieldTree level by level without recursion, for text whose records
// do not say where they end: the records of an open block wait in a per-depth
// list and move into the tree, side by side, when the block ends. The lists
// keep their storage from one block to the next.
#ifndef FBXFILESDK_FBX_FIELDTREEBUILDER_H
#define FBXFILESDK_FBX_FIELDTREEBUILDER_H

#include <fbxfilesdk/fbx/FieldTree.h>

#include <cstdint>
#include <vector>

namespace fbxsdk_2006_11_1 {

class FieldTreeBuilder {
public:
    explicit FieldTreeBuilder(FieldTree& tree) : mTree(tree) {}

    void Start();
    void Add(const FieldNode& node) { mLevels[mDepth].push_back(node); }
    // Opens the block of the node added last; false when that would nest
    // deeper than a reader accepts.
    bool Descend();
    // Closes the innermost block and gives its records to their parent.
    void Ascend();
    int Depth() const { return mDepth; }
    // Places the top-level records; their range in the tree's nodes.
    void Finish(std::uint32_t& begin, std::uint32_t& count);

private:
    FieldTree& mTree;
    std::vector<std::vector<FieldNode>> mLevels;
    int mDepth = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
