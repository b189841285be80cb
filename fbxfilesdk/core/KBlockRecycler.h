// Blocks for the objects that come and go by the thousand with every scene:
// the SDK's objects, their internal twins and their properties. A freed
// block waits on a free list of its size on the freeing thread, and the next
// block of that size asked for on the thread takes it back, which spares the
// heap's slower paths when a whole scene's objects are freed and the next
// scene's made. The lists are short (KBlockRecycler::kKeptBytes a thread),
// and a thread gives its blocks back to the heap when it ends. A class uses
// it through KRecycledBlocks.
#ifndef FBXFILESDK_CORE_KBLOCKRECYCLER_H
#define FBXFILESDK_CORE_KBLOCKRECYCLER_H

#include <cstddef>
#include <new>

namespace fbxsdk_2006_11_1 {

class KBlockRecycler {
public:
    // Blocks up to this size are kept (a node, a camera); larger ones go to
    // the heap at once.
    static constexpr std::size_t kLargestKept = 4096;
    // What a thread keeps at most, all sizes together: a small scene's worth.
    // Past it freed blocks go to the heap.
    static constexpr std::size_t kKeptBytes = std::size_t{2} << 20;

    // Null when memory runs out.
    static void* Allocate(std::size_t size) noexcept;
    // The size given must be the one the block was taken with; null is ignored.
    static void Free(void* block, std::size_t size) noexcept;
    // Blocks waiting on this thread's lists, and their bytes.
    static std::size_t KeptCount() noexcept;
    static std::size_t KeptBytes() noexcept;
    // False in builds that check memory accesses: every block goes back to
    // the heap there, so that a use after free is still caught.
    static bool Recycles() noexcept;
};

// The allocation functions of a class whose objects take recycled blocks.
// Deleting through a virtual destructor passes the size of the object's own
// class, so one base serves every class derived from it.
struct KRecycledBlocks {
    static void* operator new(std::size_t size) {
        void* block = KBlockRecycler::Allocate(size);
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        return block;
    }
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
        return KBlockRecycler::Allocate(size);
    }
    static void operator delete(void* block, std::size_t size) noexcept { KBlockRecycler::Free(block, size); }
    // Placement forms, and those a failed constructor calls.
    static void* operator new(std::size_t, void* where) noexcept { return where; }
    static void operator delete(void*, void*) noexcept {}
    // Every kept block came from the heap whole, so the heap takes it back
    // without its size.
    static void operator delete(void* block, const std::nothrow_t&) noexcept { ::operator delete(block); }
};

}  // namespace fbxsdk_2006_11_1

#endif
