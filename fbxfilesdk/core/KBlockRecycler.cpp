#include <fbxfilesdk/core/KBlockRecycler.h>

namespace fbxsdk_2006_11_1 {

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define QALIMOR_RECYCLE_BLOCKS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QALIMOR_RECYCLE_BLOCKS 0
#endif
#endif
#ifndef QALIMOR_RECYCLE_BLOCKS
#define QALIMOR_RECYCLE_BLOCKS 1
#endif

// The heap hands out blocks in steps of 16 bytes that hold 8 bytes fewer
// than the step: sizes are classed the same way, so that a recycled block
// takes no more room than the heap gave the size it was asked for.
constexpr std::size_t kGranule = 16;
constexpr std::size_t kSizes = (KBlockRecycler::kLargestKept + 7) / kGranule + 1;

std::size_t ClassOf(std::size_t size) { return (size + 7) / kGranule; }

// The largest size of the class: every block of a class is made that big.
std::size_t Rounded(std::size_t size) { return ClassOf(size) * kGranule + 8; }

// A waiting block holds the link to the next.
struct FreeBlock {
    FreeBlock* mNext;
};

struct FreeList {
    FreeBlock* mHead;
    std::size_t mCount;
};

// Set once the thread's lists were given back: blocks freed later on the
// thread (by its static objects, say) go straight to the heap.
thread_local bool tClosed = false;

struct ThreadLists {
    FreeList mLists[kSizes] = {};
    std::size_t mBytes = 0;

    ~ThreadLists() {
        tClosed = true;
        for (FreeList& list : mLists) {
            while (list.mHead != nullptr) {
                FreeBlock* block = list.mHead;
                list.mHead = block->mNext;
                ::operator delete(block);
            }
            list.mCount = 0;
        }
        mBytes = 0;
    }
};

thread_local ThreadLists tLists;

// The list of the size's class, or null for sizes that are not kept.
FreeList* ListOf(std::size_t size) {
    if (!QALIMOR_RECYCLE_BLOCKS || size == 0 || size > KBlockRecycler::kLargestKept || tClosed) {
        return nullptr;
    }
    return &tLists.mLists[ClassOf(size)];
}

}  // namespace

void* KBlockRecycler::Allocate(std::size_t size) noexcept {
    FreeList* list = ListOf(size);
    if (list == nullptr) {
        return ::operator new(size, std::nothrow);
    }
    if (FreeBlock* block = list->mHead) {
        list->mHead = block->mNext;
        --list->mCount;
        tLists.mBytes -= Rounded(size);
        return block;
    }
    // Every block of a class has the class's full size, whichever size asked for it first.
    return ::operator new(Rounded(size), std::nothrow);
}

void KBlockRecycler::Free(void* block, std::size_t size) noexcept {
    if (block == nullptr) {
        return;
    }
    FreeList* list = ListOf(size);
    if (list == nullptr || tLists.mBytes + Rounded(size) > kKeptBytes) {
        ::operator delete(block);
        return;
    }
    auto* waiting = static_cast<FreeBlock*>(block);
    waiting->mNext = list->mHead;
    list->mHead = waiting;
    ++list->mCount;
    tLists.mBytes += Rounded(size);
}

bool KBlockRecycler::Recycles() noexcept { return QALIMOR_RECYCLE_BLOCKS != 0; }

std::size_t KBlockRecycler::KeptBytes() noexcept { return tClosed ? 0 : tLists.mBytes; }

std::size_t KBlockRecycler::KeptCount() noexcept {
    if (tClosed) {
        return 0;
    }
    std::size_t count = 0;
    for (const FreeList& list : tLists.mLists) {
        count += list.mCount;
    }
    return count;
}

}  // namespace fbxsdk_2006_11_1
