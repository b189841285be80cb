#include <fbxfilesdk/core/KMemoryReusePool.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// Plain pointers, constant-initialised, so they are valid whatever the order
// in which other files' static initialisers run.
std::vector<KMemoryReusePool*>* gPools = nullptr;
KMemoryReusePool* gGlobalPool = nullptr;

// The pool made when the system starts has the global pool's sizes but no limit.
constexpr std::uint32_t kFirstPoolLimit = 0;
constexpr int kMaxGranularityShift = 16;
// Offset of the alignment byte inside the header; the block size is the first word.
constexpr std::size_t kOffsetByte = 4;

std::uint32_t ReadBlockSize(const void* memory) {
    std::uint32_t size;
    std::memcpy(&size, static_cast<const unsigned char*>(memory) - KMemoryReusePool::kHeaderSize,
                sizeof size);
    return size;
}

unsigned ReadOffset(const void* memory) {
    // Indexed from the header's start: an unsigned index below the caller's
    // memory would wrap before it is added.
    return (static_cast<const unsigned char*>(memory) - KMemoryReusePool::kHeaderSize)[kOffsetByte];
}

void* BlockStart(void* memory) {
    return static_cast<unsigned char*>(memory) - KMemoryReusePool::kHeaderSize - ReadOffset(memory);
}

// Writes the header into a block of blockSize bytes and returns the caller's memory.
void* WriteHeader(void* block, std::uint32_t blockSize, int alignmentShift) {
    const std::uintptr_t alignment = std::uintptr_t(1) << alignmentShift;
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(block) + KMemoryReusePool::kHeaderSize;
    const std::uintptr_t offset = (alignment - first % alignment) % alignment;
    unsigned char* header = static_cast<unsigned char*>(block) + offset;
    std::memcpy(header, &blockSize, sizeof blockSize);
    header[kOffsetByte] = static_cast<unsigned char>(offset);
    return header + KMemoryReusePool::kHeaderSize;
}

// The block size for a request, rounded to the granularity; 0 when it does not
// fit the header's 32-bit size word.
std::uint32_t BlockSizeFor(std::size_t size, int granularityShift, int alignmentShift) {
    const std::uint64_t mask = (std::uint64_t(1) << granularityShift) - 1;
    const std::uint64_t extra = (std::uint64_t(1) << alignmentShift) + 7 + mask;
    if (size > std::numeric_limits<std::uint32_t>::max() - extra) {
        return 0;
    }
    return static_cast<std::uint32_t>(((std::uint64_t(1) << alignmentShift) + size + 7 + mask) & ~mask);
}

void* NextFree(void* block) {
    void* next;
    std::memcpy(&next, block, sizeof next);
    return next;
}

void SetNextFree(void* block, void* next) { std::memcpy(block, &next, sizeof next); }

}  // namespace

void* KMemoryReusePool::KXAllocStd::Alloc(std::size_t size) { return SdkMalloc(size); }

void* KMemoryReusePool::KXAllocStd::Realloc(void* memory, std::size_t size) {
    return SdkRealloc(memory, size);
}

void KMemoryReusePool::KXAllocStd::Free(void* memory) { SdkFree(memory); }

KMemoryReusePool::KMemoryReusePool(std::uint32_t largestPooledSize, int granularityShift,
                                   int alignmentShift, std::uint32_t limit)
    : mFreeLists(largestPooledSize >> granularityShift, nullptr),
      mLargestPooledSize(largestPooledSize),
      mSizeClassCount(largestPooledSize >> granularityShift),
      mGranularityShift(granularityShift),
      mGranularityMask((std::uint32_t(1) << granularityShift) - 1),
      mAlignmentShift(alignmentShift),
      mLimit(limit) {}

KMemoryReusePool::~KMemoryReusePool() { EmptyFreeLists(); }

bool KMemoryReusePool::InitSystem() {
    if (gPools != nullptr) {
        return true;
    }
    gPools = new (std::nothrow) std::vector<KMemoryReusePool*>();
    if (gPools == nullptr) {
        return false;
    }
    CreatePool(kGlobalLargestPooledSize, kGlobalGranularityShift, kGlobalAlignmentShift, kFirstPoolLimit);
    return true;
}

void KMemoryReusePool::TermSystem() {
    if (gPools == nullptr) {
        return;
    }
    for (KMemoryReusePool* pool : *gPools) {
        pool->EmptyFreeLists();
    }
    for (KMemoryReusePool* pool : *gPools) {
        if (pool == gGlobalPool) {
            gGlobalPool = nullptr;
        }
        delete pool;
    }
    delete gPools;
    gPools = nullptr;
}

bool KMemoryReusePool::IsSystemStarted() { return gPools != nullptr; }

KMemoryReusePool* KMemoryReusePool::CreatePool(std::uint32_t largestPooledSize, int granularityShift,
                                               int alignmentShift, std::uint32_t limit) {
    if (gPools == nullptr || granularityShift < 0 || granularityShift > kMaxGranularityShift ||
        alignmentShift < 0 || alignmentShift > kMaxAlignmentShift) {
        return nullptr;
    }
    KMemoryReusePool* pool =
        new (std::nothrow) KMemoryReusePool(largestPooledSize, granularityShift, alignmentShift, limit);
    if (pool == nullptr) {
        return nullptr;
    }
    try {
        gPools->push_back(pool);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        delete pool;
        return nullptr;
    }
    return pool;
}

KMemoryReusePool* KMemoryReusePool::GetGlobalPool() {
    if (gGlobalPool == nullptr) {
        gGlobalPool = CreatePool(kGlobalLargestPooledSize, kGlobalGranularityShift, kGlobalAlignmentShift,
                                 kGlobalLimit);
    }
    return gGlobalPool;
}

void KMemoryReusePool::SetGlobalPool(KMemoryReusePool* pool) { gGlobalPool = pool; }

bool KMemoryReusePool::Pools(std::uint32_t blockSize) const {
    return !mFreeLists.empty() && blockSize >= 8 && blockSize < mLargestPooledSize;
}

void* KMemoryReusePool::PopFree(std::uint32_t blockSize) {
    std::lock_guard<std::mutex> guard(mLock);
    if (!Pools(blockSize)) {
        return nullptr;
    }
    void*& head = mFreeLists[blockSize >> mGranularityShift];
    void* block = head;
    if (block != nullptr) {
        head = NextFree(block);
    }
    return block;
}

bool KMemoryReusePool::PushFree(void* block, std::uint32_t blockSize) {
    std::lock_guard<std::mutex> guard(mLock);
    // A block of another pool's granularity would land in a class whose blocks
    // are of another size.
    if (!Pools(blockSize) || (blockSize & mGranularityMask) != 0 ||
        (mLimit != 0 && mBytesHeld > mLimit)) {
        return false;
    }
    void*& head = mFreeLists[blockSize >> mGranularityShift];
    SetNextFree(block, head);
    head = block;
    return true;
}

void KMemoryReusePool::AddHeld(std::uint32_t blockSize) {
    std::lock_guard<std::mutex> guard(mLock);
    mBytesHeld += blockSize;
    ++mBlocksHeld;
}

void KMemoryReusePool::RemoveHeld(std::uint32_t blockSize) {
    std::lock_guard<std::mutex> guard(mLock);
    // A block taken before a ReleaseAll that emptied the counters must not wrap them.
    mBytesHeld -= std::min<std::size_t>(mBytesHeld, blockSize);
    mBlocksHeld -= std::min<std::uint32_t>(mBlocksHeld, 1);
}

void* KMemoryReusePool::DetachFreeBlocks() {
    std::lock_guard<std::mutex> guard(mLock);
    // Chains every list into one through the blocks' own link words, so taking
    // them needs no memory.
    void* chain = nullptr;
    for (std::size_t sizeClass = 0; sizeClass < mFreeLists.size(); ++sizeClass) {
        void* head = mFreeLists[sizeClass];
        if (head == nullptr) {
            continue;
        }
        const std::uint32_t blockSize = static_cast<std::uint32_t>(sizeClass) << mGranularityShift;
        void* tail = head;
        for (;;) {
            // Only the pooled blocks leave the counters: blocks still in use
            // stay held, and are subtracted when they come back.
            mBytesHeld -= std::min<std::size_t>(mBytesHeld, blockSize);
            mBlocksHeld -= std::min<std::uint32_t>(mBlocksHeld, 1);
            void* next = NextFree(tail);
            if (next == nullptr) {
                break;
            }
            tail = next;
        }
        SetNextFree(tail, chain);
        chain = head;
        mFreeLists[sizeClass] = nullptr;
    }
    return chain;
}

void KMemoryReusePool::EmptyFreeLists() {
    // Heap calls happen outside the lock.
    KXAllocStd heap;
    for (void* block = DetachFreeBlocks(); block != nullptr;) {
        void* next = NextFree(block);
        heap.Free(block);
        block = next;
    }
}

void* KMemoryReusePool::Allocate(KMemoryReusePool* pool, IXAlloc& allocator, std::size_t size) {
    const int granularityShift = pool != nullptr ? pool->mGranularityShift : kGlobalGranularityShift;
    const int alignmentShift = pool != nullptr ? pool->mAlignmentShift : kGlobalAlignmentShift;
    const std::uint32_t blockSize = BlockSizeFor(size, granularityShift, alignmentShift);
    if (blockSize == 0) {
        return nullptr;
    }
    void* block = pool != nullptr ? pool->PopFree(blockSize) : nullptr;
    if (block == nullptr) {
        block = allocator.Alloc(blockSize);
        if (block == nullptr) {
            return nullptr;
        }
        if (pool != nullptr) {
            pool->AddHeld(blockSize);
        }
    }
    return WriteHeader(block, blockSize, alignmentShift);
}

void KMemoryReusePool::FreeBlock(KMemoryReusePool* pool, IXAlloc& allocator, void* memory) {
    if (memory == nullptr) {
        return;
    }
    const std::uint32_t blockSize = ReadBlockSize(memory);
    void* block = BlockStart(memory);
    if (pool != nullptr && pool->PushFree(block, blockSize)) {
        return;
    }
    allocator.Free(block);
    if (pool != nullptr) {
        pool->RemoveHeld(blockSize);
    }
}

void* KMemoryReusePool::ReallocBlock(KMemoryReusePool* pool, IXAlloc& allocator, void* memory,
                                     std::size_t newSize) {
    void* fresh = Allocate(pool, allocator, newSize);
    if (fresh == nullptr || memory == nullptr) {
        return fresh;
    }
    std::memcpy(fresh, memory, std::min(newSize, GetUsableSize(memory)));
    FreeBlock(pool, allocator, memory);
    return fresh;
}

void KMemoryReusePool::ReleaseAll(KMemoryReusePool* pool) {
    if (pool != nullptr) {
        pool->EmptyFreeLists();
    }
}

void* KMemoryReusePool::AllocateBlock(KMemoryReusePool* pool, std::size_t size) {
    KXAllocStd heap;
    return Allocate(pool, heap, size);
}

void KMemoryReusePool::ReleaseBlock(void* memory) {
    KXAllocStd heap;
    FreeBlock(GetGlobalPool(), heap, memory);
}

std::size_t KMemoryReusePool::GetUsableSize(const void* memory) {
    if (memory == nullptr) {
        return 0;
    }
    return ReadBlockSize(memory) - kHeaderSize - ReadOffset(memory);
}

std::size_t KMemoryReusePool::GetBytesHeld() const {
    std::lock_guard<std::mutex> guard(mLock);
    return mBytesHeld;
}

std::uint32_t KMemoryReusePool::GetBlocksHeld() const {
    std::lock_guard<std::mutex> guard(mLock);
    return mBlocksHeld;
}

}  // namespace fbxsdk_2006_11_1
