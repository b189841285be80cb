#include <fbxfilesdk/fbx/NodeLinkForest.h>

#include <fbxfilesdk/scene/KFbxNode.h>

namespace fbxsdk_2006_11_1 {

bool NodeLinkForest::IsLeftOut(const KFbxNode& node, const KFbxNode& parent) const {
    return &node != &parent && node.GetChildCount() == 0 && mEntryOf.find(&node) == mEntryOf.end();
}

NodeLinkForest::Asked NodeLinkForest::Ask(KFbxNode& node, KFbxNode& parent) {
    const int entry = EntryOf(node);
    const int above = EntryOf(parent);
    if (&node == &parent) {
        // Nothing to settle.
        return Asked{0, 0, 0, true};
    }
    // Cut from its parent, the node is the root of its subtree's tree: the
    // parent lies in that subtree when it is that tree's root.
    const int old = mEntries[entry].mParent;
    if (old != 0) {
        Cut(entry);
    }
    return Asked{entry, above, old, RootOf(above) == entry};
}

void NodeLinkForest::Settle(const Asked& asked, bool linked) {
    const int parent = linked ? asked.mParent : asked.mOldParent;
    if (asked.mEntry != 0 && parent != 0) {
        Link(asked.mEntry, parent);
    }
}

int NodeLinkForest::EntryOf(KFbxNode& node) {
    // The node and those of its ancestors not known yet, the lowest first,
    // then the first known one: each node is walked past once per read.
    std::vector<KFbxNode*> unknown;
    int above = 0;
    for (KFbxNode* walk = &node; walk != nullptr; walk = walk->GetParent()) {
        if (const auto known = mEntryOf.find(walk); known != mEntryOf.end()) {
            above = known->second;
            break;
        }
        unknown.push_back(walk);
    }
    for (auto walk = unknown.rbegin(); walk != unknown.rend(); ++walk) {
        const int entry = static_cast<int>(mEntries.size());
        mEntries.emplace_back();
        mEntryOf.emplace(*walk, entry);
        if (above != 0) {
            Link(entry, above);
        }
        above = entry;
    }
    return above;
}

bool NodeLinkForest::IsPathTop(int entry) const {
    const int up = mEntries[entry].mUp;
    return up == 0 || (mEntries[up].mChild[0] != entry && mEntries[up].mChild[1] != entry);
}

void NodeLinkForest::Rotate(int entry) {
    Entry& node = mEntries[entry];
    const int up = node.mUp;
    Entry& upper = mEntries[up];
    const int above = upper.mUp;
    if (!IsPathTop(up)) {
        Entry& top = mEntries[above];
        top.mChild[top.mChild[1] == up ? 1 : 0] = entry;
    }
    node.mUp = above;
    const int side = upper.mChild[1] == entry ? 1 : 0;
    const int moved = node.mChild[1 - side];
    upper.mChild[side] = moved;
    if (moved != 0) {
        mEntries[moved].mUp = up;
    }
    node.mChild[1 - side] = up;
    upper.mUp = entry;
}

void NodeLinkForest::Splay(int entry) {
    while (!IsPathTop(entry)) {
        const int up = mEntries[entry].mUp;
        if (!IsPathTop(up)) {
            const int above = mEntries[up].mUp;
            const bool sameSide = (mEntries[above].mChild[0] == up) == (mEntries[up].mChild[0] == entry);
            Rotate(sameSide ? up : entry);
        }
        Rotate(entry);
    }
}

void NodeLinkForest::Access(int entry) {
    int below = 0;
    for (int at = entry; at != 0; below = at, at = mEntries[at].mUp) {
        Splay(at);
        mEntries[at].mChild[1] = below;
    }
    Splay(entry);
}

int NodeLinkForest::RootOf(int entry) {
    Access(entry);
    int root = entry;
    while (mEntries[root].mChild[0] != 0) {
        root = mEntries[root].mChild[0];
    }
    // Splayed to the top, so that the next walk down is short.
    Splay(root);
    return root;
}

void NodeLinkForest::Link(int entry, int parent) {
    // A root at the top of its own path, nothing below it on the path: the
    // link to the parent's path is all it needs.
    Access(entry);
    mEntries[entry].mUp = parent;
    mEntries[entry].mParent = parent;
}

void NodeLinkForest::Cut(int entry) {
    Access(entry);
    Entry& node = mEntries[entry];
    mEntries[node.mChild[0]].mUp = 0;
    node.mChild[0] = 0;
    node.mParent = 0;
}

}  // namespace fbxsdk_2006_11_1
