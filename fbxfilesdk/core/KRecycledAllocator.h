// The allocator of the small containers that objects, curves and a reader's
// pass fill and drop with every file: their blocks come from the thread's
// KBlockRecycler lists instead of the heap. It fails as the standard
// allocator does, with std::bad_alloc, so the callers' handling of a failed
// allocation stays as it is. Blocks of one allocator may be freed by any
// other: they are all alike.
#ifndef FBXFILESDK_CORE_KRECYCLEDALLOCATOR_H
#define FBXFILESDK_CORE_KRECYCLEDALLOCATOR_H

#include <fbxfilesdk/core/KBlockRecycler.h>

#include <cstddef>
#include <new>

namespace fbxsdk_2006_11_1 {

template <class T>
class KRecycledAllocator {
public:
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "recycled blocks have the heap's alignment only");

    using value_type = T;

    KRecycledAllocator() noexcept = default;
    template <class U>
    KRecycledAllocator(const KRecycledAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        void* block = KBlockRecycler::Allocate(count * sizeof(T));
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t count) noexcept { KBlockRecycler::Free(block, count * sizeof(T)); }

    template <class U>
    bool operator==(const KRecycledAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace fbxsdk_2006_11_1

#endif
