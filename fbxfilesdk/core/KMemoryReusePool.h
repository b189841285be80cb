// Recycles small heap blocks by size: a freed block goes to the free list of
// its size class and the next request of that class takes it back, so the
// sparse id sets of the object registry do not hit the heap on every change.
// Each pool has its own lock around its free lists and counters; the pool list
// and the global pool pointer are process-wide and unlocked (they change only
// while the first SDK manager starts or the last one stops).
#ifndef FBXFILESDK_CORE_KMEMORYREUSEPOOL_H
#define FBXFILESDK_CORE_KMEMORYREUSEPOOL_H

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KMemoryReusePool {
public:
    // Where pools take blocks from and give them back to.
    class IXAlloc {
    public:
        virtual ~IXAlloc() = default;
        virtual void* Alloc(std::size_t size) = 0;
        virtual void* Realloc(void* memory, std::size_t size) = 0;
        virtual void Free(void* memory) = 0;
    };

    // The SDK heap (SdkMalloc, SdkRealloc, SdkFree).
    class KXAllocStd : public IXAlloc {
    public:
        void* Alloc(std::size_t size) override;
        void* Realloc(void* memory, std::size_t size) override;
        void Free(void* memory) override;
    };

    // Every block starts with this many bytes of header before the caller's memory.
    static constexpr std::size_t kHeaderSize = 8;
    // The alignment offset is kept in one byte, so returned memory can be
    // aligned to at most 1 << kMaxAlignmentShift.
    static constexpr int kMaxAlignmentShift = 8;
    // Sizes of the global pool, made on first use.
    static constexpr std::uint32_t kGlobalLargestPooledSize = 0x20000;
    static constexpr int kGlobalGranularityShift = 2;
    static constexpr int kGlobalAlignmentShift = 0;
    static constexpr std::uint32_t kGlobalLimit = 0x200000;

    // Starts the pool system: the pool list and a first pool without limit.
    // Calling it again while started changes nothing. Returns true.
    static bool InitSystem();
    // Gives every free block back to the heap and destroys every pool; the
    // global pool pointer becomes null. Blocks still in use stay valid heap
    // blocks: freeing them later through ReleaseBlock sends them to the heap.
    static void TermSystem();
    static bool IsSystemStarted();

    // A new pool in the pool list; null when the system was not started, when
    // the granularity shift is outside [0, 16] or the alignment shift outside
    // [0, kMaxAlignmentShift]. Blocks of largestPooledSize bytes or more are
    // never pooled; limit 0 means no limit on the bytes held.
    static KMemoryReusePool* CreatePool(std::uint32_t largestPooledSize, int granularityShift,
                                        int alignmentShift, std::uint32_t limit);

    // The global pool, made on first use (null when the system is not started).
    static KMemoryReusePool* GetGlobalPool();
    static void SetGlobalPool(KMemoryReusePool* pool);

    // Memory of at least size bytes, or null. A null pool takes the block
    // straight from the allocator (with the same header).
    static void* Allocate(KMemoryReusePool* pool, IXAlloc& allocator, std::size_t size);
    // Ignores null memory.
    static void FreeBlock(KMemoryReusePool* pool, IXAlloc& allocator, void* memory);
    // A new block of newSize bytes holding the old content (as much as fits);
    // the old block is freed once the new one exists. On failure, null and the
    // old block is left as it was. Null memory is a plain allocation.
    static void* ReallocBlock(KMemoryReusePool* pool, IXAlloc& allocator, void* memory,
                              std::size_t newSize);
    // Gives every block on the free lists back to the SDK heap; the counters
    // drop by those blocks (blocks in use stay counted until they are freed).
    static void ReleaseAll(KMemoryReusePool* pool);

    // The forms used by the id sets: SDK heap behind the given pool, and
    // release to the global pool (made first when needed).
    static void* AllocateBlock(KMemoryReusePool* pool, std::size_t size);
    static void ReleaseBlock(void* memory);

    // Bytes the caller may use in a block returned by Allocate.
    static std::size_t GetUsableSize(const void* memory);

    // Bytes and blocks taken from the heap and not given back (in use or pooled).
    std::size_t GetBytesHeld() const;
    std::uint32_t GetBlocksHeld() const;

    KMemoryReusePool(const KMemoryReusePool&) = delete;
    KMemoryReusePool& operator=(const KMemoryReusePool&) = delete;

private:
    KMemoryReusePool(std::uint32_t largestPooledSize, int granularityShift, int alignmentShift,
                     std::uint32_t limit);
    ~KMemoryReusePool();

    // Pops a block of the given size from its free list; null when none.
    void* PopFree(std::uint32_t blockSize);
    // Pushes a freed block when the pool keeps it; false when it must go to the heap.
    bool PushFree(void* block, std::uint32_t blockSize);
    void AddHeld(std::uint32_t blockSize);
    void RemoveHeld(std::uint32_t blockSize);
    // Empties the free lists into one chain (linked like a free list) and
    // takes the blocks out of the counters.
    void* DetachFreeBlocks();
    // Gives every pooled block back to the SDK heap.
    void EmptyFreeLists();
    bool Pools(std::uint32_t blockSize) const;

    mutable std::mutex mLock;
    // One head per size class; each free block's first pointer-sized word links
    // to the next.
    std::vector<void*> mFreeLists;
    std::uint32_t mLargestPooledSize;
    std::uint32_t mSizeClassCount;
    int mGranularityShift;
    std::uint32_t mGranularityMask;
    int mAlignmentShift;
    std::uint32_t mLimit;
    std::size_t mBytesHeld = 0;
    std::uint32_t mBlocksHeld = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
