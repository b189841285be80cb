// Finding an object's property by exact name in constant time. The index
// sits beside the object's ordered list of properties and answers "the first
// property of that name" as a search of the list would:
// - properties appended to the list are taken in lazily, at the next search,
//   when their names are set (a property is listed before it is named);
// - the owner tells it of each property leaving the list and of each name
//   that changes;
// - when two listed properties share a name the index stands aside and the
//   owner searches the list, until the index is rebuilt.
// NameOf(item) gives the item's name (never null). Each slot keeps the hash
// its item was filed under, so that the table stays whole even if a name
// changes unannounced; a search still compares the current names.
#ifndef FBXFILESDK_CORE_KPROPERTYNAMEINDEX_H
#define FBXFILESDK_CORE_KPROPERTYNAMEINDEX_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace fbxsdk_2006_11_1 {

template <class T, const char* (*NameOf)(const T*)>
class KPropertyNameIndex {
public:
    // The item of that name among list, or null; sets found to false when the
    // index cannot answer and the caller must search the list itself.
    T* Find(const std::vector<T*>& list, const char* name, bool& found) {
        found = false;
        if (!CatchUp(list)) {
            return nullptr;
        }
        found = true;
        if (mSlots.empty()) {
            return nullptr;
        }
        const std::size_t hash = Hash(name);
        const std::size_t mask = mSlots.size() - 1;
        for (std::size_t slot = hash & mask; mSlots[slot].mItem != nullptr; slot = (slot + 1) & mask) {
            if (mSlots[slot].mHash == hash && std::strcmp(NameOf(mSlots[slot].mItem), name) == 0) {
                return mSlots[slot].mItem;
            }
        }
        return nullptr;
    }

    // Before the item at position leaves the list.
    void Removing(std::size_t position, const T* item) {
        if (mShared) {
            Reset();
            return;
        }
        if (position < mTaken) {
            Erase(item);
            --mTaken;
        }
    }

    // After the name of a listed item changed.
    void Renamed(std::size_t position) {
        if (position < mTaken) {
            Reset();
        }
    }

    void Reset() {
        mSlots.clear();
        mSlots.shrink_to_fit();
        mTaken = 0;
        mUsed = 0;
        mShared = false;
    }

private:
    static std::size_t Hash(const char* name) {
        std::uint64_t hash = 14695981039346656037ull;
        for (const unsigned char* c = reinterpret_cast<const unsigned char*>(name); *c != 0; ++c) {
            hash = (hash ^ *c) * 1099511628211ull;
        }
        return static_cast<std::size_t>(hash ^ (hash >> 29));
    }

    // Takes in the items appended since the last search; false when the index
    // cannot answer (a shared name, or no memory).
    bool CatchUp(const std::vector<T*>& list) {
        if (mShared) {
            return false;
        }
        if (mTaken > list.size()) {
            Reset();
        }
        while (mTaken < list.size()) {
            if (!Insert(list[mTaken])) {
                return false;
            }
            ++mTaken;
        }
        return true;
    }

    bool Insert(T* item) {
        const char* name = NameOf(item);
        if ((mUsed + 1) * 4 > mSlots.size() * 3 && !Grow()) {
            Reset();
            mShared = true;
            return false;
        }
        const std::size_t hash = Hash(name);
        const std::size_t mask = mSlots.size() - 1;
        std::size_t slot = hash & mask;
        for (; mSlots[slot].mItem != nullptr; slot = (slot + 1) & mask) {
            if (mSlots[slot].mHash == hash && std::strcmp(NameOf(mSlots[slot].mItem), name) == 0) {
                Reset();
                mShared = true;
                return false;
            }
        }
        mSlots[slot] = Slot{item, hash};
        ++mUsed;
        return true;
    }

    bool Grow() {
        std::vector<Slot> old;
        old.swap(mSlots);
        try {
            mSlots.assign(old.empty() ? 16 : old.size() * 2, Slot{});
        } catch (const std::bad_alloc&) {
            return false;
        }
        const std::size_t mask = mSlots.size() - 1;
        for (const Slot& entry : old) {
            if (entry.mItem != nullptr) {
                std::size_t slot = entry.mHash & mask;
                while (mSlots[slot].mItem != nullptr) {
                    slot = (slot + 1) & mask;
                }
                mSlots[slot] = entry;
            }
        }
        return true;
    }

    // Linear probing: the entries after the freed slot move back where their
    // probe sequence allows, so that no search stops short of them.
    void Erase(const T* item) {
        std::size_t hole = SlotOf(item);
        if (hole == mSlots.size()) {
            return;
        }
        const std::size_t mask = mSlots.size() - 1;
        mSlots[hole] = Slot{};
        --mUsed;
        for (std::size_t slot = (hole + 1) & mask; mSlots[slot].mItem != nullptr; slot = (slot + 1) & mask) {
            const std::size_t home = mSlots[slot].mHash & mask;
            // The entry may fill the hole when its home is not in (hole, slot].
            const bool between = hole <= slot ? (home > hole && home <= slot) : (home > hole || home <= slot);
            if (!between) {
                mSlots[hole] = mSlots[slot];
                mSlots[slot] = Slot{};
                hole = slot;
            }
        }
    }

    // The item's slot, or the slot count when it has none. Its probe sequence
    // from the hash of its current name finds it unless it was renamed
    // unannounced; then every slot is looked at.
    std::size_t SlotOf(const T* item) const {
        if (mSlots.empty()) {
            return 0;
        }
        const std::size_t mask = mSlots.size() - 1;
        for (std::size_t slot = Hash(NameOf(item)) & mask; mSlots[slot].mItem != nullptr; slot = (slot + 1) & mask) {
            if (mSlots[slot].mItem == item) {
                return slot;
            }
        }
        for (std::size_t slot = 0; slot < mSlots.size(); ++slot) {
            if (mSlots[slot].mItem == item) {
                return slot;
            }
        }
        return mSlots.size();
    }

    struct Slot {
        T* mItem = nullptr;
        std::size_t mHash = 0;
    };

    std::vector<Slot> mSlots;
    // Items of the list, from its start, that the index has taken in.
    std::size_t mTaken = 0;
    std::size_t mUsed = 0;
    // Two listed items share a name.
    bool mShared = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
