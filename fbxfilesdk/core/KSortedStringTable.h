// A table of (text key, pointer-sized value) pairs kept in key order. Each key
// is the table's own copy of the text. Keys compare with ASCII case folding
// unless the table is made case-sensitive; duplicates are allowed. The table
// never owns its values.
#ifndef FBXFILESDK_CORE_KSORTEDSTRINGTABLE_H
#define FBXFILESDK_CORE_KSORTEDSTRINGTABLE_H

#include <fbxfilesdk/core/KSortedPointerMap.h>

namespace fbxsdk_2006_11_1 {

class KSortedStringTable : private KSortedPointerMap {
public:
    // The pair storage grows by itemsPerBlock pairs at a time.
    explicit KSortedStringTable(int itemsPerBlock, bool caseSensitive = false);
    ~KSortedStringTable();

    KSortedStringTable(const KSortedStringTable&) = delete;
    KSortedStringTable& operator=(const KSortedStringTable&) = delete;

    // Frees every key and the pairs.
    void Clear();
    // Inserts a copy of key at its sorted place (before the first equal key
    // that the binary search meets). False for a null key or when memory runs
    // out (table unchanged).
    bool Add(const char* key, void* value);
    // The value of a pair with that key (any one of equal keys), null when
    // absent or for a null key; index receives the pair's index or -1.
    void* Find(const char* key, int* index = nullptr);
    // The value at index (null outside [0, count)), and its key.
    void* GetAt(int index, const char** key = nullptr);
    // Address of the value at index, null outside [0, count); valid until the
    // table next changes.
    void** GetValueRefAt(int index);
    // Frees the key and moves the later pairs down; false outside [0, count).
    bool RemoveAt(int index);
    // Removes one pair of that key; true when there was one.
    bool Remove(const char* key);

    // Switching the comparison reorders the pairs before the next lookup.
    void SetCaseSensitive(bool caseSensitive);
    bool IsCaseSensitive() const { return mCaseSensitive; }
    using KSortedPointerMap::GetCount;

private:
    bool mCaseSensitive;
};

}  // namespace fbxsdk_2006_11_1

#endif
