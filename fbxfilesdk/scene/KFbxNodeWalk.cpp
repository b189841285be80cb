#include <fbxfilesdk/scene/KFbxNodeWalk.h>

#include <algorithm>

namespace fbxsdk_2006_11_1 {

void KFbxPushChildren(std::vector<KFbxNode*>& pending, const KFbxNode& parent, bool firstOnTop) {
    const int count = parent.GetChildCount();
    for (int step = 0; step < count; ++step) {
        if (KFbxNode* child = parent.GetChild(firstOnTop ? count - 1 - step : step)) {
            pending.push_back(child);
        }
    }
}

std::vector<KFbxNode*> KFbxNodesBelowChildrenFirst(const KFbxNode& node) {
    // The reverse of a walk that takes a parent before its children and the
    // last child first.
    std::vector<KFbxNode*> nodes;
    std::vector<KFbxNode*> pending;
    KFbxPushChildren(pending, node, false);
    while (!pending.empty()) {
        KFbxNode* current = pending.back();
        pending.pop_back();
        nodes.push_back(current);
        KFbxPushChildren(pending, *current, false);
    }
    std::reverse(nodes.begin(), nodes.end());
    return nodes;
}

}  // namespace fbxsdk_2006_11_1
