// Room in the large arrays that a read fills (a mesh's points and polygons,
// the records of a file): the new block is given the system's large-page
// advice before anything is written to it, so that the whole block, not only
// the part past the old items, fills with few page faults.
#ifndef FBXFILESDK_CORE_KLARGEARRAYGROWTH_H
#define FBXFILESDK_CORE_KLARGEARRAYGROWTH_H

#include <fbxfilesdk/core/SdkAlloc.h>

#include <cstddef>
#include <iterator>
#include <vector>

namespace fbxsdk_2006_11_1 {

// Room for capacity items in all; throws std::bad_alloc as reserve would,
// leaving the items as they were.
template <class T>
void KReserveLarge(std::vector<T>& items, std::size_t capacity) {
    if (capacity <= items.capacity()) {
        return;
    }
    std::vector<T> larger;
    larger.reserve(capacity);
    SdkAdviseLargeBlock(larger.data(), larger.capacity() * sizeof(T));
    larger.insert(larger.end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
    items.swap(larger);
}

// Room for more items, doubling at least, as push_back grows.
template <class T>
void KReserveLargeForMore(std::vector<T>& items, std::size_t more) {
    const std::size_t needed = items.size() + more;
    if (needed > items.capacity()) {
        KReserveLarge(items, needed > 2 * items.capacity() ? needed : 2 * items.capacity());
    }
}

}  // namespace fbxsdk_2006_11_1

#endif
