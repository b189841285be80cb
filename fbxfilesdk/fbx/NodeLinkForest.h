// The parents of the nodes a read links, kept beside the nodes' own links so
// that whether a link would put a node under itself is answered in
// logarithmic time (amortized), however deep the new parent lies and however
// large the node's subtree is: a file may move a large subtree under deep
// nodes at every one of its connections. The parent paths are held as
// splay trees of the nodes along them, joined by the links between paths.
// A node enters the forest when a link first needs it, with its ancestors as
// they are then; from there on the forest must hear of every change of its
// parent. Files whose models come each before its children need none.
#ifndef FBXFILESDK_FBX_NODELINKFOREST_H
#define FBXFILESDK_FBX_NODELINKFOREST_H

#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxNode;

class NodeLinkForest {
public:
    // Links the node under the parent by link(underItself), which is told
    // whether the node would come under itself there (the parent is the node
    // or lies in its subtree) and returns whether it linked; the forest then
    // takes the node's new parent or keeps its old one. Returns what link
    // returned. Throws std::bad_alloc as a standard container would, before
    // link is called.
    template <class LinkFunction>
    bool Link(KFbxNode& node, KFbxNode& parent, LinkFunction&& link) {
        if (IsLeftOut(node, parent)) {
            return link(false);
        }
        const Asked asked = Ask(node, parent);
        const bool linked = link(asked.mUnderItself);
        Settle(asked, linked);
        return linked;
    }

private:
    // Entry 0 stands for none.
    struct Entry {
        int mChild[2] = {0, 0};  // the path's nodes above (0) and below (1) in its splay tree
        int mUp = 0;             // the splay tree's parent, or at its top the node above the path
        int mParent = 0;         // the node's parent, as the nodes have it
    };

    // Whether the forest may leave the link out: a node it does not hold
    // has no descendant it holds (a node enters with its ancestors), so
    // while it has no children either, its moves change no answer, and none
    // of them puts it under itself.
    bool IsLeftOut(const KFbxNode& node, const KFbxNode& parent) const;
    struct Asked {
        int mEntry;
        int mParent;
        int mOldParent;
        bool mUnderItself;
    };
    // Answers the question with the node cut from its old parent, as it is
    // left until Settle links it under the parent it has then.
    Asked Ask(KFbxNode& node, KFbxNode& parent);
    void Settle(const Asked& asked, bool linked);
    // The node's entry, made with the entries of its ancestors when new.
    int EntryOf(KFbxNode& node);
    bool IsPathTop(int entry) const;
    void Rotate(int entry);
    void Splay(int entry);
    // Makes the path from the entry's root down to the entry one splay tree,
    // the entry at its top.
    void Access(int entry);
    int RootOf(int entry);
    // Links a root under the parent; cuts an entry from its parent.
    void Link(int entry, int parent);
    void Cut(int entry);

    std::unordered_map<const KFbxNode*, int> mEntryOf;
    std::vector<Entry> mEntries{Entry{}};
};

}  // namespace fbxsdk_2006_11_1

#endif
