// The walks over a node hierarchy that every pass over one uses: depth
// first, a parent before its children and siblings in child order, with a
// stack of their own, so that a hierarchy of any depth is walked where a
// call per level would exhaust the call stack.
#ifndef FBXFILESDK_SCENE_KFBXNODEWALK_H
#define FBXFILESDK_SCENE_KFBXNODEWALK_H

#include <fbxfilesdk/scene/KFbxNode.h>

#include <type_traits>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

// Pushes the node's children on the stack: with firstOnTop, the first child
// is taken next.
void KFbxPushChildren(std::vector<KFbxNode*>& pending, const KFbxNode& parent, bool firstOnTop);

// Calls visit(node) for each node of the stack and below it, the top first.
// A visit that returns a bool ends the walk by returning false, and the walk
// then returns false. The visit must leave alone the children of the nodes
// it has not been given yet.
template <class Visit>
bool KFbxWalkNodes(std::vector<KFbxNode*> pending, Visit& visit) {
    while (!pending.empty()) {
        KFbxNode* current = pending.back();
        pending.pop_back();
        if constexpr (std::is_same_v<std::invoke_result_t<Visit&, KFbxNode&>, bool>) {
            if (!visit(*current)) {
                return false;
            }
        } else {
            visit(*current);
        }
        KFbxPushChildren(pending, *current, true);
    }
    return true;
}

// The walk of the nodes below the node.
template <class Visit>
bool KFbxForEachNodeBelow(const KFbxNode& node, Visit&& visit) {
    std::vector<KFbxNode*> pending;
    KFbxPushChildren(pending, node, true);
    return KFbxWalkNodes(std::move(pending), visit);
}

// The walk of the node and the nodes below it.
template <class Visit>
bool KFbxForEachNodeFrom(KFbxNode& node, Visit&& visit) {
    return KFbxWalkNodes(std::vector<KFbxNode*>{&node}, visit);
}

// The nodes below the node with each node after its children, siblings in
// child order: the order in which a call per level would finish them.
std::vector<KFbxNode*> KFbxNodesBelowChildrenFirst(const KFbxNode& node);

}  // namespace fbxsdk_2006_11_1

#endif
