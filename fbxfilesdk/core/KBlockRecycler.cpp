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

// Plain data, so that a thread reaches its lists without the guard of a
// thread-local object with a destructor: every block taken and given back
// passes here. The lists are given back to the heap by tCloser, which a
// thread arms when it first keeps a block.
struct ThreadLists {
    FreeBlock* mHeads[kSizes];
    std::size_t mBytes;
    bool mArmed;
    // Set once the lists were given back: blocks freed later on the thread
    // (by its static objects, say) go straight to the heap.
    bool mClosed;
};

constinit thread_local ThreadLists tLists{};

struct Closer {
    bool mArmed = false;

    ~Closer() {
        tLists.mClosed = true;
        if (!mArmed) {
            return;
        }
        for (FreeBlock*& head : tLists.mHeads) {
            while (head != nullptr) {
                FreeBlock* block = head;
                head = block->mNext;
                ::operator delete(block);
            }
        }
        tLists.mBytes = 0;
    }
};

thread_local Closer tCloser;

// Once a thread, out of the way of the hot path.
[[gnu::noinline, gnu::cold]] void Arm(ThreadLists& lists) {
    lists.mArmed = true;
    tCloser.mArmed = true;
}

// Whether blocks of the size are kept at all.
bool Kept(std::size_t size) { return QALIMOR_RECYCLE_BLOCKS && size - 1 < KBlockRecycler::kLargestKept; }

}  // namespace

void* KBlockRecycler::Allocate(std::size_t size) noexcept {
    if (!Kept(size)) {
        return ::operator new(size, std::nothrow);
    }
    // A thread whose lists were given back finds them empty.
    ThreadLists& lists = tLists;
    FreeBlock*& head = lists.mHeads[ClassOf(size)];
    if (FreeBlock* block = head) {
        head = block->mNext;
        lists.mBytes -= Rounded(size);
        return block;
    }
    // Every block of a class has the class's full size, whichever size asked for it first.
    return ::operator new(Rounded(size), std::nothrow);
}

void KBlockRecycler::Free(void* block, std::size_t size) noexcept {
    if (block == nullptr) {
        return;
    }
    ThreadLists& lists = tLists;
    if (!Kept(size) || lists.mClosed || lists.mBytes + Rounded(size) > kKeptBytes) {
        ::operator delete(block);
        return;
    }
    if (!lists.mArmed) {
        Arm(lists);
    }
    auto* waiting = static_cast<FreeBlock*>(block);
    FreeBlock*& head = lists.mHeads[ClassOf(size)];
    waiting->mNext = head;
    head = waiting;
    lists.mBytes += Rounded(size);
}

bool KBlockRecycler::Recycles() noexcept { return QALIMOR_RECYCLE_BLOCKS != 0; }

std::size_t KBlockRecycler::KeptBytes() noexcept { return tLists.mBytes; }

std::size_t KBlockRecycler::KeptCount() noexcept {
    std::size_t count = 0;
    for (const FreeBlock* head : tLists.mHeads) {
        for (const FreeBlock* block = head; block != nullptr; block = block->mNext) {
            ++count;
        }
    }
    return count;
}

}  // namespace fbxsdk_2006_11_1
