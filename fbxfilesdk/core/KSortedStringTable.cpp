#include <fbxfilesdk/core/KSortedStringTable.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {
int CompareBytes(const void* a, const void* b) {
    return std::strcmp(static_cast<const char*>(a), static_cast<const char*>(b));
}

unsigned char FoldCase(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c; }

// ASCII folding only: the order must not depend on the process locale.
int CompareFolded(const void* a, const void* b) {
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    for (;; ++x, ++y) {
        const int order = FoldCase(*x) - FoldCase(*y);
        if (order != 0 || *x == 0) return order;
    }
}
}  // namespace

KSortedStringTable::KSortedStringTable(int itemsPerBlock, bool caseSensitive)
    : KSortedPointerMap(itemsPerBlock, caseSensitive ? &CompareBytes : &CompareFolded), mCaseSensitive(caseSensitive) {}

KSortedStringTable::~KSortedStringTable() { Clear(); }

void KSortedStringTable::Clear() {
    for (int i = 0; i < GetCount(); ++i) SdkFree(const_cast<void*>(PairAt(i)->key));
    KSortedPointerMap::Clear();
}

bool KSortedStringTable::Add(const char* key, void* value) {
    if (!key) return false;
    const std::size_t size = std::strlen(key) + 1;
    char* copy = static_cast<char*>(SdkMalloc(size));
    if (!copy) return false;
    std::memcpy(copy, key, size);
    if (KSortedPointerMap::Add(copy, value)) return true;
    SdkFree(copy);
    return false;
}

void* KSortedStringTable::Find(const char* key, int* index) {
    if (!key) {
        if (index) *index = -1;
        return nullptr;
    }
    return KSortedPointerMap::Find(key, index);
}

void* KSortedStringTable::GetAt(int index, const char** key) {
    const void* word = nullptr;
    void* value = KSortedPointerMap::GetAt(index, &word);
    if (key) *key = static_cast<const char*>(word);
    return value;
}

void** KSortedStringTable::GetValueRefAt(int index) {
    SortIfNeeded();
    Pair* pair = PairAt(index);
    return pair ? &pair->value : nullptr;
}

bool KSortedStringTable::RemoveAt(int index) {
    SortIfNeeded();
    Pair* pair = PairAt(index);
    if (!pair) return false;
    SdkFree(const_cast<void*>(pair->key));
    return RemovePairAt(index);
}

bool KSortedStringTable::Remove(const char* key) {
    int index = -1;
    Find(key, &index);
    return index >= 0 && RemoveAt(index);
}

void KSortedStringTable::SetCaseSensitive(bool caseSensitive) {
    mCaseSensitive = caseSensitive;
    SetCompare(caseSensitive ? &CompareBytes : &CompareFolded);
}

}  // namespace fbxsdk_2006_11_1
