// A table of (pointer-sized key, pointer-sized value) pairs kept in key order,
// so that lookups are binary searches. Keys compare as unsigned addresses;
// duplicates are allowed. The table never owns its values.
#ifndef FBXFILESDK_CORE_KSORTEDPOINTERMAP_H
#define FBXFILESDK_CORE_KSORTEDPOINTERMAP_H

#include <fbxfilesdk/core/DynamicArray.h>

namespace fbxsdk_2006_11_1 {

class KSortedPointerMap {
public:
    // The pair storage grows by itemsPerBlock pairs at a time.
    explicit KSortedPointerMap(int itemsPerBlock);
    ~KSortedPointerMap() = default;

    KSortedPointerMap(const KSortedPointerMap&) = delete;
    KSortedPointerMap& operator=(const KSortedPointerMap&) = delete;

    void Clear();
    // Inserts the pair at its sorted place; a key equal to existing keys goes
    // before the first equal pair that the binary search meets. False when
    // memory runs out (table unchanged).
    bool Add(const void* key, void* value);
    // The value of a pair with that key (any one of equal keys), null when
    // absent; index receives the pair's index or -1.
    void* Find(const void* key, int* index = nullptr);
    // The value at index (null outside [0, count)), and its key.
    void* GetAt(int index, const void** key = nullptr);
    int GetCount() const { return mPairs.GetCount(); }

protected:
    // Negative, zero or positive as a orders before, with or after b.
    using Compare = int (*)(const void* a, const void* b);
    struct Pair {
        const void* key;
        void* value;
    };

    KSortedPointerMap(int itemsPerBlock, Compare compare);

    // A new order invalidates the current one; the pairs are sorted again
    // before the next lookup.
    void SetCompare(Compare compare);
    // Sorts the pairs when the needs-sorting flag is set, and clears it.
    void SortIfNeeded();
    // Where key belongs: the first equal pair met, else the insertion index.
    int Search(const void* key, bool& found) const;
    // Null outside [0, count).
    Pair* PairAt(int index);
    bool RemovePairAt(int index);

private:
    DynamicArrayOf<Pair> mPairs;
    Compare mCompare;
    bool mNeedsSort = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
