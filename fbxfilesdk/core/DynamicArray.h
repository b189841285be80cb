// The SDK's growable array of fixed-size items. Storage is a whole number of
// blocks of items, taken through the SDK's allocation functions; inserting
// doubles it when full, a count set outright takes just the blocks it needs.
// Nothing throws: an operation that cannot get its memory reports it and
// leaves the array exactly as it was.
#ifndef FBXFILESDK_CORE_DYNAMICARRAY_H
#define FBXFILESDK_CORE_DYNAMICARRAY_H

#include <cstddef>
#include <cstring>
#include <type_traits>

namespace fbxsdk_2006_11_1 {

class DynamicArray {
public:
    // An items-per-block value below 1 becomes 1; a negative item size becomes 0
    // (such an array can hold nothing).
    DynamicArray(int itemsPerBlock, int itemSize);
    ~DynamicArray();

    DynamicArray(const DynamicArray&) = delete;
    DynamicArray& operator=(const DynamicArray&) = delete;
    // The source keeps its shape (items per block, item size) and ends empty.
    DynamicArray(DynamicArray&& other) noexcept;
    DynamicArray& operator=(DynamicArray&& other) noexcept;

    // Copies itemSize bytes from item in at index; an index past the count
    // appends. The item may lie inside this array. Returns the index used, or -1
    // (array unchanged) for a negative index, a null item or a failed allocation.
    int InsertAt(int index, const void* item);
    // Moves the later items down; the storage is kept. False for an index
    // outside [0, count).
    bool RemoveAt(int index);
    // Frees the storage.
    void Clear();
    // Count 0, storage kept.
    void RemoveAll();
    // The count becomes n, the storage max(1, ceil(n / items per block)) blocks.
    // The items from the old count up to n are zero, and so are the bytes
    // past n where the storage grew or the count shrank.
    bool SetCount(int n);
    // As SetCount, but the items from the old count up to n are left unwritten,
    // for a caller that writes every one of them before anything reads them:
    // a large array then costs no pass that zeroes what is overwritten next.
    bool SetCountForOverwrite(int n);
    // Appends n zero-filled items; storage grows as for an insert.
    bool Grow(int n);
    // Shrinks the count (items kept in storage, not cleared) or grows it as Grow.
    bool Resize(int n);

    // For arrays of pointers: removes the last item and returns it; null when
    // the array is empty.
    void* Pop();
    // For arrays of pointers: appends p. Returns its index, or -1 when the item
    // size is not that of a pointer or memory runs out.
    int AddPointer(void* p);

    // Counts one more item at the end and returns its address when the
    // storage has room for it, leaving the bytes there to the caller; null,
    // changing nothing, when it has none.
    void* TakeRoomAtEnd() {
        if (static_cast<long long>(mCount) >= static_cast<long long>(mBlocks) * mItemsPerBlock) return nullptr;
        return ItemAddress(mCount++);
    }

    // Address of item index, null outside [0, count).
    void* GetItemAt(int index);
    const void* GetItemAt(int index) const;

    int GetCount() const { return mCount; }
    int GetBlockCount() const { return mBlocks; }
    int GetItemsPerBlock() const { return mItemsPerBlock; }
    int GetItemSize() const { return mItemSize; }
    // Item i lies at GetData() + i * item size; null when nothing is allocated.
    void* GetData() { return mData; }
    const void* GetData() const { return mData; }

private:
    // Resizes the storage to blocks blocks; false, changing nothing, when the
    // byte size does not fit or the allocation fails.
    bool Reallocate(int blocks);
    // Storage for n items, doubling it when it grows; false, changing
    // nothing, when it cannot be had.
    bool GrowToHold(long long n);
    // Smallest block count that holds n items, at least 1; -1 when too large.
    long long BlocksFor(long long n) const;
    void ZeroFromItem(int index);
    char* ItemAddress(int index) const {
        return mData + static_cast<std::size_t>(index) * static_cast<std::size_t>(mItemSize);
    }

    int mCount = 0;
    int mBlocks = 0;
    int mItemsPerBlock;
    int mItemSize;
    char* mData = nullptr;
};

// A DynamicArray whose items are values of T (plain data: copied bytewise).
template <class T>
class DynamicArrayOf : public DynamicArray {
    static_assert(std::is_trivially_copyable_v<T>, "items are moved as raw bytes");

public:
    explicit DynamicArrayOf(int itemsPerBlock = 16) : DynamicArray(itemsPerBlock, static_cast<int>(sizeof(T))) {}

    int InsertAt(int index, const T& item) { return DynamicArray::InsertAt(index, &item); }
    // In line while the storage has room: appending item by item is the
    // common way to fill an array.
    int Add(const T& item) {
        const int index = GetCount();
        const T copy = item;  // the item may lie in this array's storage
        if (void* slot = TakeRoomAtEnd()) {
            std::memcpy(slot, &copy, sizeof(T));
            return index;
        }
        return DynamicArray::InsertAt(index, &copy);
    }

    // A value-initialised T outside [0, count).
    T GetAt(int index) const {
        const void* p = GetItemAt(index);
        T value{};
        if (p) std::memcpy(&value, p, sizeof(T));
        return value;
    }
    // False outside [0, count).
    bool SetAt(int index, const T& item) {
        void* p = GetItemAt(index);
        if (!p) return false;
        std::memcpy(p, &item, sizeof(T));
        return true;
    }
    // Removes and returns the last item; a value-initialised T when empty.
    T Pop() {
        T value = GetAt(GetCount() - 1);
        if (GetCount() > 0) Resize(GetCount() - 1);
        return value;
    }

    T* GetArray() { return static_cast<T*>(GetData()); }
    const T* GetArray() const { return static_cast<const T*>(GetData()); }
};

// Element-destroy helper of arrays of SDK object pointers: destroys the object
// through its own destroy operation. Null is allowed; always true.
template <class Object>
bool DestroyObjectItem(Object* object) {
    if (object) object->Destroy(false);
    return true;
}

}  // namespace fbxsdk_2006_11_1

#endif
