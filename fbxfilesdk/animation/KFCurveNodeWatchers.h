// How the SDK's own parts learn that a curve node goes, apart from the
// callbacks a user registers: a watcher is told by the node's destructor
// whether or not the callbacks are enabled, no user call reaches or removes
// it, and the callbacks never see it. Not part of the SDK's public interface.
#ifndef FBXFILESDK_ANIMATION_KFCURVENODEWATCHERS_H
#define FBXFILESDK_ANIMATION_KFCURVENODEWATCHERS_H

#include <fbxfilesdk/animation/KFCurveNodeEvent.h>

#include <optional>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFCurveNode;

class KFCurveNodeWatchers {
public:
    // Told once, as the node is destroyed: after its callbacks hear of it,
    // before it clears its children and leaves its parent.
    using Watcher = void (*)(KFCurveNode& node, void* data);

    // False, nothing watching, when memory runs out.
    static bool Add(KFCurveNode& node, Watcher watcher, void* data);
    // The last entry of the pair stops watching; nothing when there is none.
    static void Remove(KFCurveNode& node, Watcher watcher, void* data);

    struct Entry {
        Watcher mWatcher;
        void* mData;
    };

private:
    friend class KFCurveNode;
    // For a node with a record: each watcher, the last added first, leaves
    // the node and is told.
    static void Tell(KFCurveNode& node);
};

// A node's record, made for its first callback or watcher. A node whose
// record only holds watchers acts for its callbacks as a node without one.
struct KFCurveNodeEventRecord {
    std::optional<KFCurveNodeEvent> mEvent;
    std::vector<KFCurveNodeWatchers::Entry> mWatchers;
};

}  // namespace fbxsdk_2006_11_1

#endif
