// Growth of the per-object lists that every object fills once with a few
// dozen entries: by half rather than double, so that the room left unused
// once the list is full stays small.
#ifndef FBXFILESDK_CORE_KLISTGROWTH_H
#define FBXFILESDK_CORE_KLISTGROWTH_H

#include <vector>

namespace fbxsdk_2006_11_1 {

// Makes room for one more entry; throws std::bad_alloc as push_back would.
template <class T>
void KReserveOneMore(std::vector<T>& list) {
    if (list.size() == list.capacity()) {
        list.reserve(list.size() + list.size() / 2 + 1);
    }
}

}  // namespace fbxsdk_2006_11_1

#endif
