// Finding an item in an object's list when it is as likely near the start
// as near the end: objects let go of most lists last item first, but of a
// run of items one family added (a geometry's shape weights) first first.
#ifndef FBXFILESDK_CORE_KLISTFIND_H
#define FBXFILESDK_CORE_KLISTFIND_H

#include <cstddef>
#include <vector>

namespace fbxsdk_2006_11_1 {

// The position of the item, looked for from both ends at once; -1 when the
// list does not hold it.
template <class T>
int KFindFromEnds(const std::vector<T*>& list, const T* item) {
    std::size_t front = 0;
    std::size_t back = list.size();
    while (front < back) {
        if (list[--back] == item) {
            return static_cast<int>(back);
        }
        if (list[front] == item) {
            return static_cast<int>(front);
        }
        ++front;
    }
    return -1;
}

}  // namespace fbxsdk_2006_11_1

#endif
