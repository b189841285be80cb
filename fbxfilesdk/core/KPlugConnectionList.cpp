#include <fbxfilesdk/core/KPlugConnectionList.h>

#include <fbxfilesdk/core/KBlockRecycler.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

namespace fbxsdk_2006_11_1 {

// ---- occurrence index -----------------------------------------------------

std::size_t KPlugOccurrenceIndex::Home(const KPlug* plug) const {
    std::uint64_t h = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(plug));
    h *= 0x9E3779B97F4A7C15ULL;
    h ^= h >> 29;
    return static_cast<std::size_t>(h) & mMask;
}

bool KPlugOccurrenceIndex::Grow() {
    const std::size_t oldCount = mSlots ? mMask + 1 : 0;
    const std::size_t newCount = std::max<std::size_t>(16, oldCount * 2);
    std::unique_ptr<Slot[]> slots(new (std::nothrow) Slot[newCount]);
    if (!slots) {
        SdkNoteAllocationFailure();
        return false;
    }
    std::unique_ptr<Slot[]> old = std::move(mSlots);
    mSlots = std::move(slots);
    mMask = newCount - 1;
    for (std::size_t i = 0; i < oldCount; ++i) {
        if (old[i].mKey != nullptr) {
            std::size_t at = Home(old[i].mKey);
            while (mSlots[at].mKey != nullptr) {
                at = (at + 1) & mMask;
            }
            mSlots[at] = old[i];
        }
    }
    return true;
}

bool KPlugOccurrenceIndex::Add(const KPlug* plug) {
    // At most half full: probes stay short.
    if (((mUsed + 1) * 2 > (mSlots ? mMask + 1 : 0)) && !Grow()) {
        return false;
    }
    std::size_t at = Home(plug);
    while (mSlots[at].mKey != nullptr && mSlots[at].mKey != plug) {
        at = (at + 1) & mMask;
    }
    if (mSlots[at].mKey == nullptr) {
        mSlots[at].mKey = plug;
        ++mUsed;
    }
    ++mSlots[at].mCount;
    return true;
}

std::uint32_t KPlugOccurrenceIndex::Count(const KPlug* plug) const {
    if (!mSlots) {
        return 0;
    }
    for (std::size_t at = Home(plug);; at = (at + 1) & mMask) {
        if (mSlots[at].mKey == plug) {
            return mSlots[at].mCount;
        }
        if (mSlots[at].mKey == nullptr) {
            return 0;
        }
    }
}

void KPlugOccurrenceIndex::Remove(const KPlug* plug) {
    if (!mSlots) {
        return;
    }
    std::size_t hole = Home(plug);
    while (mSlots[hole].mKey != plug) {
        if (mSlots[hole].mKey == nullptr) {
            return;
        }
        hole = (hole + 1) & mMask;
    }
    if (--mSlots[hole].mCount > 0) {
        return;
    }
    // Backward shift: every later slot of the run whose home does not lie
    // cyclically in (hole, slot] moves into the hole, so no probe breaks.
    for (std::size_t at = (hole + 1) & mMask; mSlots[at].mKey != nullptr; at = (at + 1) & mMask) {
        const std::size_t home = Home(mSlots[at].mKey);
        const bool staysPut = hole <= at ? (hole < home && home <= at) : (hole < home || home <= at);
        if (!staysPut) {
            mSlots[hole] = mSlots[at];
            hole = at;
        }
    }
    mSlots[hole] = Slot{};
    --mUsed;
}

// ---- connection list ------------------------------------------------------

KPlugConnectionList::~KPlugConnectionList() = default;

void KPlugConnectionList::EntriesDeleter::operator()(Entry* entries) const noexcept {
    KBlockRecycler::Free(entries, mCapacity * sizeof(Entry));
}

int KPlugConnectionList::FindLast(const KPlug* plug) const {
    const Entry* entries = mData.get() + mHead;
    const int size = Size();
    if (!mIndex) {
        // Most searches are for a plug just added or about to go in the
        // order the plugs came: the last entries first.
        const int tail = std::min<int>(size, kIndexedFrom);
        for (int i = size - 1; i >= size - tail; --i) {
            if (entries[i].mPlug == plug) {
                return i;
            }
        }
        if (size == tail || !MakeIndex()) {
            for (int i = size - tail - 1; i >= 0; --i) {
                if (entries[i].mPlug == plug) {
                    return i;
                }
            }
            return -1;
        }
    }
    if (mIndex) {
        const std::uint32_t occurrences = mIndex->Count(plug);
        if (occurrences == 0) {
            return -1;
        }
        if (occurrences == 1) {
            for (int low = 0, high = size - 1; low <= high; ++low, --high) {
                if (entries[high].mPlug == plug) {
                    return high;
                }
                if (entries[low].mPlug == plug) {
                    return low;
                }
            }
            return -1;
        }
    }
    for (int i = size - 1; i >= 0; --i) {
        if (entries[i].mPlug == plug) {
            return i;
        }
    }
    return -1;
}

bool KPlugConnectionList::ReserveOneMore() {
    // A full back with room only in front is worth one move of the whole list
    // when that room is a fair share of it; else the buffer doubles.
    if (mSize < mCapacity && (mHead + mSize < mCapacity || mHead * 4 >= mSize)) {
        return true;
    }
    // Most plugs that have connections have one: room for one at first.
    const std::uint32_t capacity = std::max<std::uint32_t>(1, mSize * 2);
    void* block = KBlockRecycler::Allocate(capacity * sizeof(Entry));
    if (block == nullptr) {
        SdkNoteAllocationFailure();
        return false;
    }
    auto* entries = static_cast<Entry*>(block);
    std::uninitialized_default_construct_n(entries, capacity);
    std::unique_ptr<Entry[], EntriesDeleter> data(entries, EntriesDeleter{capacity});
    if (mSize != 0) {
        std::copy(mData.get() + mHead, mData.get() + mHead + mSize, data.get());
    }
    mData = std::move(data);
    mHead = 0;
    mCapacity = capacity;
    return true;
}

bool KPlugConnectionList::Insert(int index, KPlug* plug, std::uint8_t type) {
    if (!ReserveOneMore()) {
        return false;
    }
    const std::uint32_t at = static_cast<std::uint32_t>(std::clamp(index, 0, Size()));
    Entry* base = mData.get();
    if (mHead > 0 && (at < mSize / 2 || mHead + mSize == mCapacity)) {
        if (at >= mSize / 2) {
            // Back full: the entries move to the buffer's start, leaving the
            // room behind them.
            std::copy(base + mHead, base + mHead + mSize, base);
            mHead = 0;
            std::copy_backward(base + at, base + mSize, base + mSize + 1);
        } else {
            std::copy(base + mHead, base + mHead + at, base + mHead - 1);
            --mHead;
        }
    } else {
        std::copy_backward(base + mHead + at, base + mHead + mSize, base + mHead + mSize + 1);
    }
    base[mHead + at] = Entry{plug, type};
    ++mSize;
    if (mIndex) {
        Index(plug);
    }
    return true;
}

bool KPlugConnectionList::MakeIndex() const {
    mIndex.reset(new (std::nothrow) KPlugOccurrenceIndex());
    for (std::uint32_t i = 0; mIndex && i < mSize; ++i) {
        Index(mData[mHead + i].mPlug);
    }
    return mIndex != nullptr;
}

void KPlugConnectionList::Index(const KPlug* plug) const {
    if (!mIndex->Add(plug)) {
        // An index missing a plug would answer "absent" wrongly: none is better.
        mIndex.reset();
    }
}

void KPlugConnectionList::Erase(int index) {
    const std::uint32_t at = static_cast<std::uint32_t>(index);
    Entry* base = mData.get() + mHead;
    if (mIndex) {
        mIndex->Remove(base[at].mPlug);
    }
    if (at < mSize / 2) {
        std::copy_backward(base, base + at, base + at + 1);
        ++mHead;
    } else {
        std::copy(base + at + 1, base + mSize, base + at);
    }
    --mSize;
    if (mSize == 0) {
        mHead = 0;
    }
    if (mIndex && mSize < kIndexedFrom / 2) {
        mIndex.reset();
    }
}

void KPlugConnectionList::Clear() {
    mData.reset();
    mIndex.reset();
    mHead = 0;
    mSize = 0;
    mCapacity = 0;
}

}  // namespace fbxsdk_2006_11_1
