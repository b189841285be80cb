#include <fbxfilesdk/core/KSortedPointerMap.h>

#include <algorithm>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

namespace {
int CompareAddresses(const void* a, const void* b) {
    const auto x = reinterpret_cast<std::uintptr_t>(a);
    const auto y = reinterpret_cast<std::uintptr_t>(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}
}  // namespace

KSortedPointerMap::KSortedPointerMap(int itemsPerBlock) : KSortedPointerMap(itemsPerBlock, &CompareAddresses) {}

KSortedPointerMap::KSortedPointerMap(int itemsPerBlock, Compare compare) : mPairs(itemsPerBlock), mCompare(compare) {}

void KSortedPointerMap::Clear() {
    mPairs.Clear();
    mNeedsSort = false;
}

void KSortedPointerMap::SetCompare(Compare compare) {
    if (compare == mCompare) return;
    mCompare = compare;
    mNeedsSort = mPairs.GetCount() > 1;
}

void KSortedPointerMap::SortIfNeeded() {
    if (!mNeedsSort) return;
    const Compare compare = mCompare;
    Pair* pairs = mPairs.GetArray();
    std::sort(pairs, pairs + mPairs.GetCount(),
              [compare](const Pair& a, const Pair& b) { return compare(a.key, b.key) < 0; });
    mNeedsSort = false;
}

int KSortedPointerMap::Search(const void* key, bool& found) const {
    const Pair* pairs = mPairs.GetArray();
    int low = 0;
    int high = mPairs.GetCount() - 1;
    found = false;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int order = mCompare(pairs[middle].key, key);
        if (order < 0) {
            low = middle + 1;
        } else if (order > 0) {
            high = middle - 1;
        } else {
            found = true;
            return middle;
        }
    }
    return low;
}

KSortedPointerMap::Pair* KSortedPointerMap::PairAt(int index) {
    return static_cast<Pair*>(mPairs.GetItemAt(index));
}

bool KSortedPointerMap::RemovePairAt(int index) { return mPairs.RemoveAt(index); }

bool KSortedPointerMap::Add(const void* key, void* value) {
    SortIfNeeded();
    bool found = false;
    return mPairs.InsertAt(Search(key, found), Pair{key, value}) >= 0;
}

void* KSortedPointerMap::Find(const void* key, int* index) {
    SortIfNeeded();
    bool found = false;
    const int at = Search(key, found);
    if (index) *index = found ? at : -1;
    return found ? PairAt(at)->value : nullptr;
}

void* KSortedPointerMap::GetAt(int index, const void** key) {
    SortIfNeeded();
    const Pair* pair = PairAt(index);
    if (key) *key = pair ? pair->key : nullptr;
    return pair ? pair->value : nullptr;
}

}  // namespace fbxsdk_2006_11_1
