// Counts the nodes a read of a document would create, before any is made.
// A chain of nodes that each instance the next twice doubles at every link:
// a document of a few kilobytes would ask for billions of nodes. The count
// walks the instance graph as the reader does (nested nodes, instance_node
// targets, an instance of a node being instanced already left out), keeps
// the count of every node whose subtree meets no such cycle, and stops as
// soon as the total passes the limit, so it costs at most a walk of the
// limit's number of nodes.
#ifndef FBXFILESDK_COLLADA_COLLADANODECOUNT_H
#define FBXFILESDK_COLLADA_COLLADANODECOUNT_H

#include <fbxfilesdk/collada/ColladaIdMap.h>

#include <libxml/tree.h>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

class ColladaNodeCount {
public:
    // nodeElements: every node element of the document by id, as
    // instance_node finds them; maxDepth: the deepest nesting the reader
    // reads (deeper documents are refused by the read itself).
    ColladaNodeCount(const ColladaIdMap<xmlNode*>& nodeElements, std::uint64_t limit, int maxDepth);

    // Adds the nodes of one copy of the visual scene, and one for the root
    // that gathers them.
    void AddVisualScene(const xmlNode* visualScene);
    // Adds the nodes that many (each at least one) copies of a mesh cost.
    void AddUnits(std::uint64_t units);
    std::uint64_t GetTotal() const { return mTotal; }
    bool IsOverLimit() const { return mTotal > mLimit; }

private:
    struct Subtree {
        std::uint64_t mNodes = 0;
        // An instance_node in it was left out because its target was being
        // instanced already: the count holds only on this path.
        bool mCut = false;
    };
    Subtree CountNode(const xmlNode* node, int depth);
    void Add(std::uint64_t nodes);

    const ColladaIdMap<xmlNode*>& mNodeElements;
    const std::uint64_t mLimit;
    const int mMaxDepth;
    std::uint64_t mTotal = 0;
    std::unordered_map<const xmlNode*, std::uint64_t> mCounted;
    std::vector<const xmlNode*> mInstancing;
};

}  // namespace fbxsdk_2006_11_1

#endif
