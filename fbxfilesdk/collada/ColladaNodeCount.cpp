#include <fbxfilesdk/collada/ColladaNodeCount.h>

#include <fbxfilesdk/collada/ColladaXmlLookup.h>

#include <algorithm>
#include <limits>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

ColladaNodeCount::ColladaNodeCount(const ColladaIdMap<xmlNode*>& nodeElements, std::uint64_t limit, int maxDepth)
    : mNodeElements(nodeElements), mLimit(limit), mMaxDepth(maxDepth) {}

void ColladaNodeCount::Add(std::uint64_t nodes) {
    mTotal = nodes > std::numeric_limits<std::uint64_t>::max() - mTotal ? std::numeric_limits<std::uint64_t>::max()
                                                                        : mTotal + nodes;
}

void ColladaNodeCount::AddUnits(std::uint64_t units) { Add(std::max<std::uint64_t>(units, 1)); }

void ColladaNodeCount::AddVisualScene(const xmlNode* visualScene) {
    Add(1);
    for (xmlNode* child : ChildElements(visualScene)) {
        if (IsOverLimit()) {
            return;
        }
        if (IsNamed(child, "node")) {
            CountNode(child, 0);
        }
    }
}

ColladaNodeCount::Subtree ColladaNodeCount::CountNode(const xmlNode* node, int depth) {
    if (auto counted = mCounted.find(node); counted != mCounted.end()) {
        Add(counted->second);
        return {counted->second, false};
    }
    const std::uint64_t before = mTotal;
    Subtree subtree;
    Add(1);
    // Past the depth the reader refuses the document: nothing more to count.
    if (depth < mMaxDepth) {
        for (xmlNode* child : ChildElements(node)) {
            if (IsOverLimit()) {
                break;
            }
            Subtree part;
            if (IsNamed(child, "node")) {
                part = CountNode(child, depth + 1);
            } else if (IsNamed(child, "instance_node")) {
                const xmlNode* const* target = mNodeElements.Find(GetUrlReference(child).mId);
                if (target == nullptr) {
                    continue;
                }
                if (std::find(mInstancing.begin(), mInstancing.end(), *target) != mInstancing.end()) {
                    subtree.mCut = true;
                    continue;
                }
                mInstancing.push_back(*target);
                part = CountNode(*target, depth + 1);
                mInstancing.pop_back();
            }
            subtree.mCut = subtree.mCut || part.mCut;
        }
    }
    subtree.mNodes = mTotal - before;
    if (!subtree.mCut && !IsOverLimit()) {
        mCounted.emplace(node, subtree.mNodes);
    }
    return subtree;
}

}  // namespace fbxsdk_2006_11_1
