// Growth of the per-object lists that every object fills once with a few
// dozen entries: by half rather than double, so that the room left unused
// once the list is full stays small.
#ifndef FBXFILESDK_CORE_KLISTGROWTH_H
#define FBXFILESDK_CORE_KLISTGROWTH_H

#include <cstddef>
#include <new>
#include <vector>

namespace fbxsdk_2006_11_1 {

// Makes room for one more entry; throws std::bad_alloc as push_back would.
template <class T>
void KReserveOneMore(std::vector<T>& list) {
    if (list.size() == list.capacity()) {
        list.reserve(list.size() + list.size() / 2 + 1);
    }
}

// Room for count more entries when a caller knows it is about to add them
// all: one block of the exact size. Without the memory the list stays as it
// is and grows entry by entry, so a failure here is no error.
template <class T>
void KReserveMore(std::vector<T>& list, std::size_t count) noexcept {
    if (list.capacity() - list.size() < count) {
        try {
            list.reserve(list.size() + count);
        } catch (const std::bad_alloc&) {
        }
    }
}

}  // namespace fbxsdk_2006_11_1

#endif
