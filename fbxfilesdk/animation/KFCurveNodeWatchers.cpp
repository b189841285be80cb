#include <fbxfilesdk/animation/KFCurveNodeWatchers.h>

#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <iterator>
#include <memory>
#include <new>

namespace fbxsdk_2006_11_1 {

bool KFCurveNodeWatchers::Add(KFCurveNode& node, Watcher watcher, void* data) {
    try {
        if (!node.mEvent) node.mEvent = std::make_unique<KFCurveNodeEventRecord>();
        node.mEvent->mWatchers.push_back(Entry{watcher, data});
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    return true;
}

void KFCurveNodeWatchers::Remove(KFCurveNode& node, Watcher watcher, void* data) {
    if (!node.mEvent) return;
    auto& watchers = node.mEvent->mWatchers;
    for (auto it = watchers.rbegin(); it != watchers.rend(); ++it) {
        if (it->mWatcher == watcher && it->mData == data) {
            watchers.erase(std::next(it).base());
            return;
        }
    }
}

void KFCurveNodeWatchers::Tell(KFCurveNode& node) {
    // One at a time off the list, so that a watcher told may remove others,
    // which are then not told.
    auto& watchers = node.mEvent->mWatchers;
    while (!watchers.empty()) {
        const Entry entry = watchers.back();
        watchers.pop_back();
        entry.mWatcher(node, entry.mData);
    }
}

}  // namespace fbxsdk_2006_11_1
