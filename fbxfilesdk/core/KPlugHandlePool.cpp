#include <fbxfilesdk/core/KPlugHandlePool.h>

#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <atomic>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// Process-wide, so ids stay unique across pools.
std::atomic<std::uint32_t> gLastHandleId{0};

std::uint32_t NextHandleId() {
    for (;;) {
        const std::uint32_t id = gLastHandleId.fetch_add(1, std::memory_order_relaxed) + 1;
        // A live entry carrying the free marker would look free; 0 is the empty handle's.
        if (id != KPlugHandlePool::kFreeMarker && id != 0) {
            return id;
        }
    }
}

}  // namespace

bool KPlugHandlePool::AddChunk() {
    std::unique_ptr<KPlugHandleEntry[]> chunk(new (std::nothrow) KPlugHandleEntry[kEntriesPerChunk]);
    if (!chunk) {
        return false;
    }
    try {
        mChunks.reserve(mChunks.size() + 1);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    for (int i = 0; i < kEntriesPerChunk; ++i) {
        chunk[i].mId = kFreeMarker;
        chunk[i].mPlug = nullptr;
        chunk[i].mNextFree = i + 1 < kEntriesPerChunk ? &chunk[i + 1] : mFreeHead;
    }
    mFreeHead = &chunk[0];
    mChunks.push_back(std::move(chunk));
    return true;
}

KPlugHandleEntry* KPlugHandlePool::Acquire(KPlug* plug) {
    std::lock_guard<std::mutex> guard(mLock);
    if (mFreeHead == nullptr && !AddChunk()) {
        return nullptr;
    }
    KPlugHandleEntry* entry = mFreeHead;
    mFreeHead = entry->mNextFree;
    entry->mId = NextHandleId();
    entry->mPlug = plug;
    entry->mNextFree = nullptr;
    return entry;
}

bool KPlugHandlePool::Release(KPlugHandleEntry* entry, const KPlug* plug) {
    if (entry == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> guard(mLock);
    if (entry->mId == kFreeMarker || entry->mPlug != plug) {
        return false;
    }
    entry->mId = kFreeMarker;
    entry->mPlug = nullptr;
    entry->mNextFree = mFreeHead;
    mFreeHead = entry;
    return true;
}

int KPlugHandlePool::GetChunkCount() const {
    std::lock_guard<std::mutex> guard(mLock);
    return static_cast<int>(mChunks.size());
}

HdlKObject::HdlKObject(KPlug* plug) {
    KPlugHandleEntry* entry = plug != nullptr ? plug->GetHandle() : nullptr;
    if (entry != nullptr) {
        mId = entry->mId;
        mEntry = entry;
    }
}

KPlug* HdlKObject::Resolve() const {
    if (KPlugClassRegistry::GetHandlePool() == nullptr || mEntry == nullptr || mEntry->mId != mId) {
        return nullptr;
    }
    return mEntry->mPlug;
}

}  // namespace fbxsdk_2006_11_1
