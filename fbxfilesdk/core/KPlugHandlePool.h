// Process-wide handles of plugs: small numbered entries by which other parts
// hold a plug weakly and can tell whether it still lives. An entry is reused
// after its plug releases it, but under a new id, so a holder that kept the old
// id sees a dead plug. The pool is the one structure of the plug layer that
// several threads may use at once; it is guarded by a mutex.
#ifndef FBXFILESDK_CORE_KPLUGHANDLEPOOL_H
#define FBXFILESDK_CORE_KPLUGHANDLEPOOL_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KPlug;

struct KPlugHandleEntry {
    // KPlugHandlePool::kFreeMarker while the entry is free. Read without the
    // pool's lock by a holder whose plug went, while another thread's plug
    // may take the entry.
    std::atomic<std::uint32_t> mId;
    KPlug* mPlug;
    KPlugHandleEntry* mNextFree;
};

class KPlugHandlePool {
public:
    static constexpr std::uint32_t kFreeMarker = 0x5A5A5A5A;
    static constexpr int kEntriesPerChunk = 10240;

    KPlugHandlePool() = default;
    KPlugHandlePool(const KPlugHandlePool&) = delete;
    KPlugHandlePool& operator=(const KPlugHandlePool&) = delete;

    // An entry for the plug under the next process-wide id (the first is 1;
    // ids never take the free marker or 0). The last released entry is reused
    // first; null when memory runs out.
    KPlugHandleEntry* Acquire(KPlug* plug);
    // Frees the entry when it is live and belongs to the plug; false otherwise.
    bool Release(KPlugHandleEntry* entry, const KPlug* plug);
    int GetChunkCount() const;

private:
    // Adds a chunk of free entries in front of the free list; false when memory runs out.
    bool AddChunk();

    mutable std::mutex mLock;
    std::vector<std::unique_ptr<KPlugHandleEntry[]>> mChunks;
    KPlugHandleEntry* mFreeHead = nullptr;
};

// A weak reference to a plug: the handle id at the time it was taken and the
// entry. The empty handle is {0, null}.
struct HdlKObject {
    std::uint32_t mId = 0;
    KPlugHandleEntry* mEntry = nullptr;

    HdlKObject() = default;
    HdlKObject(std::uint32_t id, KPlugHandleEntry* entry) : mId(id), mEntry(entry) {}
    // The handle of a plug (made on first use); empty for null or without a pool.
    explicit HdlKObject(KPlug* plug);

    // The plug while it lives and the process has a handle pool; else null.
    KPlug* Resolve() const;
    bool IsEmpty() const { return mEntry == nullptr; }
    bool operator==(const HdlKObject& other) const { return mId == other.mId && mEntry == other.mEntry; }
};

}  // namespace fbxsdk_2006_11_1

#endif
