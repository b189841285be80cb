// One side (sources or destinations) of a plug's connections: an ordered list
// that a plug with many connections (an object list, a scene, a class root)
// must keep cheap to search and to shrink at either end, because objects are
// taken out of it in the order they came or in the reverse one.
//
// The entries sit in one buffer with free room before and after them, so that
// removing or inserting near either end moves only the entries on that side.
// A long list searched for a plug that is not among its last entries also
// counts, from then on, how often each plug occurs in it: a plug that is
// absent is known absent at once, and one that occurs once is searched for
// from both ends together, which finds the same entry as a search from the
// end alone. A list that is only filled, or emptied from its end, never
// pays for the count.
#ifndef FBXFILESDK_CORE_KPLUGCONNECTIONLIST_H
#define FBXFILESDK_CORE_KPLUGCONNECTIONLIST_H

#include <cstdint>
#include <memory>

namespace fbxsdk_2006_11_1 {

class KPlug;

// How often each plug occurs in a list: open addressing, linear probing.
class KPlugOccurrenceIndex {
public:
    // False when memory is short; the index is then incomplete and must go.
    bool Add(const KPlug* plug);
    void Remove(const KPlug* plug);
    std::uint32_t Count(const KPlug* plug) const;

private:
    struct Slot {
        const KPlug* mKey = nullptr;
        std::uint32_t mCount = 0;
    };
    std::size_t Home(const KPlug* plug) const;
    bool Grow();

    std::unique_ptr<Slot[]> mSlots;
    std::size_t mMask = 0;  // slot count - 1; the count is a power of two
    std::size_t mUsed = 0;
};

class KPlugConnectionList {
public:
    struct Entry {
        KPlug* mPlug;
        std::uint8_t mType;
    };

    KPlugConnectionList() = default;
    ~KPlugConnectionList();
    KPlugConnectionList(const KPlugConnectionList&) = delete;
    KPlugConnectionList& operator=(const KPlugConnectionList&) = delete;

    int Size() const { return static_cast<int>(mSize); }
    bool Empty() const { return mSize == 0; }
    const Entry& operator[](int index) const { return mData[mHead + static_cast<std::uint32_t>(index)]; }

    // Index of the last entry holding the plug, or -1.
    int FindLast(const KPlug* plug) const;
    // Room for one more entry, so that the Insert that follows cannot fail;
    // false when memory is short.
    bool ReserveOneMore();
    // Index clamped into [0, Size()]; false when memory is short.
    bool Insert(int index, KPlug* plug, std::uint8_t type);
    void Erase(int index);
    // Empties the list and gives its memory back.
    void Clear();

private:
    // A search of a list this long that misses its last this many entries
    // makes the occurrence index; a list half as long drops it.
    static constexpr std::uint32_t kIndexedFrom = 32;

    void Index(const KPlug* plug) const;
    // False when memory is short.
    bool MakeIndex() const;

    // Recycled blocks, like the plugs that hold them: a scene's lists are
    // made and freed with its objects.
    struct EntriesDeleter {
        std::uint32_t mCapacity;
        void operator()(Entry* entries) const noexcept;
    };

    std::unique_ptr<Entry[], EntriesDeleter> mData{nullptr, EntriesDeleter{0}};
    std::uint32_t mHead = 0;  // free entries before the first
    std::uint32_t mSize = 0;
    std::uint32_t mCapacity = 0;
    // Made by the first search that needs it, then kept up to date.
    mutable std::unique_ptr<KPlugOccurrenceIndex> mIndex;
};

}  // namespace fbxsdk_2006_11_1

#endif
