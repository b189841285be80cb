// The standard containers over KRecycledAllocator, for those a reader or an
// object fills and drops with every file.
#ifndef FBXFILESDK_CORE_KRECYCLEDCONTAINERS_H
#define FBXFILESDK_CORE_KRECYCLEDCONTAINERS_H

#include <fbxfilesdk/core/KRecycledAllocator.h>

#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

template <class T>
using KRecycledVector = std::vector<T, KRecycledAllocator<T>>;

template <class Key, class T>
using KRecycledHashMap =
    std::unordered_map<Key, T, std::hash<Key>, std::equal_to<Key>, KRecycledAllocator<std::pair<const Key, T>>>;

template <class Key>
using KRecycledHashSet = std::unordered_set<Key, std::hash<Key>, std::equal_to<Key>, KRecycledAllocator<Key>>;

}  // namespace fbxsdk_2006_11_1

#endif
