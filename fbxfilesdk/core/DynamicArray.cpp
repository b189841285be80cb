#include <fbxfilesdk/core/DynamicArray.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>

namespace fbxsdk_2006_11_1 {

DynamicArray::DynamicArray(int itemsPerBlock, int itemSize)
    : mItemsPerBlock(std::max(1, itemsPerBlock)), mItemSize(std::max(0, itemSize)) {}

DynamicArray::~DynamicArray() { Clear(); }

DynamicArray::DynamicArray(DynamicArray&& other) noexcept
    : mCount(std::exchange(other.mCount, 0)),
      mBlocks(std::exchange(other.mBlocks, 0)),
      mItemsPerBlock(other.mItemsPerBlock),
      mItemSize(other.mItemSize),
      mData(std::exchange(other.mData, nullptr)) {}

DynamicArray& DynamicArray::operator=(DynamicArray&& other) noexcept {
    if (this != &other) {
        Clear();
        mCount = std::exchange(other.mCount, 0);
        mBlocks = std::exchange(other.mBlocks, 0);
        mItemsPerBlock = other.mItemsPerBlock;
        mItemSize = other.mItemSize;
        mData = std::exchange(other.mData, nullptr);
    }
    return *this;
}

long long DynamicArray::BlocksFor(long long n) const {
    const long long blocks = std::max(1LL, (n + mItemsPerBlock - 1) / mItemsPerBlock);
    return blocks > INT_MAX ? -1 : blocks;
}

bool DynamicArray::Reallocate(int blocks) {
    // The capacity in items must stay countable by the 32-bit count, and the
    // byte size must fit before anything is allocated.
    const long long items = static_cast<long long>(blocks) * mItemsPerBlock;
    if (blocks < 1 || items > INT_MAX || mItemSize == 0) return false;
    const std::size_t itemCount = static_cast<std::size_t>(items);
    const std::size_t itemSize = static_cast<std::size_t>(mItemSize);
    if (itemCount > SIZE_MAX / itemSize) return false;
    void* data = SdkRealloc(mData, itemCount * itemSize);
    if (!data) return false;
    mData = static_cast<char*>(data);
    mBlocks = blocks;
    return true;
}

bool DynamicArray::GrowToHold(long long n) {
    const long long needed = BlocksFor(n);
    if (needed < 0) return false;
    if (needed <= mBlocks) return true;
    // The storage at least doubles, so that n appends cost O(n) copying and a
    // few reallocations, never one per block; when the doubled size cannot be
    // had, the blocks needed may still be.
    const long long maxBlocks = INT_MAX / mItemsPerBlock;
    const long long doubled = std::min(std::max(needed, 2LL * mBlocks), maxBlocks);
    return (doubled >= needed && Reallocate(static_cast<int>(doubled))) ||
           (doubled > needed && Reallocate(static_cast<int>(needed)));
}

void DynamicArray::ZeroFromItem(int index) {
    const long long capacity = static_cast<long long>(mBlocks) * mItemsPerBlock;
    if (!mData || index >= capacity) return;
    std::memset(ItemAddress(index), 0, static_cast<std::size_t>(capacity - index) * static_cast<std::size_t>(mItemSize));
}

int DynamicArray::InsertAt(int index, const void* item) {
    if (index < 0 || !item) return -1;
    if (index > mCount) index = mCount;

    // An item taken from this array would move under the reallocation or the
    // shift below, so it is copied out first.
    void* ownCopy = nullptr;
    if (mData) {
        const auto p = reinterpret_cast<std::uintptr_t>(item);
        const auto begin = reinterpret_cast<std::uintptr_t>(mData);
        const auto end = reinterpret_cast<std::uintptr_t>(ItemAddress(mBlocks * mItemsPerBlock));
        if (p >= begin && p < end) {
            ownCopy = SdkMalloc(static_cast<std::size_t>(mItemSize));
            if (!ownCopy) return -1;
            std::memcpy(ownCopy, item, static_cast<std::size_t>(mItemSize));
            item = ownCopy;
        }
    }

    int result = -1;
    const int oldBlocks = mBlocks;
    if (static_cast<long long>(mCount) < static_cast<long long>(mBlocks) * mItemsPerBlock || GrowToHold(mCount + 1LL)) {
        // Fresh storage starts zeroed so that no later count change exposes
        // indeterminate bytes.
        if (mBlocks > oldBlocks) ZeroFromItem(oldBlocks * mItemsPerBlock);
        char* at = ItemAddress(index);
        std::memmove(at + mItemSize, at, static_cast<std::size_t>(mCount - index) * static_cast<std::size_t>(mItemSize));
        std::memcpy(at, item, static_cast<std::size_t>(mItemSize));
        ++mCount;
        result = index;
    }
    SdkFree(ownCopy);
    return result;
}

bool DynamicArray::RemoveAt(int index) {
    if (index < 0 || index >= mCount) return false;
    char* at = ItemAddress(index);
    std::memmove(at, at + mItemSize, static_cast<std::size_t>(mCount - index - 1) * static_cast<std::size_t>(mItemSize));
    --mCount;
    return true;
}

void DynamicArray::Clear() {
    SdkFree(mData);
    mData = nullptr;
    mCount = 0;
    mBlocks = 0;
}

void DynamicArray::RemoveAll() { mCount = 0; }

bool DynamicArray::SetCount(int n) {
    if (n < 0) return false;
    const long long blocks = BlocksFor(n);
    if (blocks < 0) return false;
    const int oldBlocks = mBlocks;
    if (blocks != mBlocks && !Reallocate(static_cast<int>(blocks))) return false;
    if (mBlocks > oldBlocks) {
        ZeroFromItem(mCount);
    } else if (n > mCount) {
        // The kept storage past the count may still hold items that a
        // removal or a shorter count left there.
        std::memset(ItemAddress(mCount), 0, static_cast<std::size_t>(n - mCount) * static_cast<std::size_t>(mItemSize));
    }
    if (n < mCount) ZeroFromItem(n);
    mCount = n;
    return true;
}

bool DynamicArray::SetCountForOverwrite(int n) {
    if (n <= mCount) return SetCount(n);
    const long long blocks = BlocksFor(n);
    if (blocks < 0) return false;
    if (blocks != mBlocks && !Reallocate(static_cast<int>(blocks))) return false;
    // Storage past the count stays zero, as every other count change keeps it.
    ZeroFromItem(n);
    mCount = n;
    return true;
}

bool DynamicArray::Grow(int n) {
    if (n < 0) return false;
    if (n == 0) return true;
    const long long total = static_cast<long long>(mCount) + n;
    const long long oldCapacity = static_cast<long long>(mBlocks) * mItemsPerBlock;
    if (total > INT_MAX || !GrowToHold(total)) return false;
    // Fresh storage is zeroed whole; of the storage kept, only the new items
    // are, so that appending one item at a time stays linear.
    if (oldCapacity < static_cast<long long>(mBlocks) * mItemsPerBlock) ZeroFromItem(static_cast<int>(oldCapacity));
    const long long keptEnd = std::min(total, oldCapacity);
    if (keptEnd > mCount) {
        std::memset(ItemAddress(mCount), 0,
                    static_cast<std::size_t>(keptEnd - mCount) * static_cast<std::size_t>(mItemSize));
    }
    mCount = static_cast<int>(total);
    return true;
}

bool DynamicArray::Resize(int n) {
    if (n < 0) return false;
    if (n <= mCount) {
        mCount = n;
        return true;
    }
    return Grow(n - mCount);
}

void* DynamicArray::Pop() {
    if (mCount == 0) return nullptr;
    void* value = nullptr;
    std::memcpy(&value, ItemAddress(mCount - 1), std::min(sizeof(value), static_cast<std::size_t>(mItemSize)));
    --mCount;
    return value;
}

int DynamicArray::AddPointer(void* p) {
    if (mItemSize != static_cast<int>(sizeof(p))) return -1;
    return InsertAt(mCount, &p);
}

void* DynamicArray::GetItemAt(int index) {
    return index >= 0 && index < mCount ? ItemAddress(index) : nullptr;
}

const void* DynamicArray::GetItemAt(int index) const {
    return index >= 0 && index < mCount ? ItemAddress(index) : nullptr;
}

}  // namespace fbxsdk_2006_11_1
