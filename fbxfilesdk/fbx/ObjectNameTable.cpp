#include <fbxfilesdk/fbx/ObjectNameTable.h>

#include <cstdint>
#include <functional>

namespace fbxsdk_2006_11_1 {

std::uint64_t ObjectNameTable::HashOf(std::string_view name) {
    return static_cast<std::uint64_t>(std::hash<std::string_view>()(name));
}

bool ObjectNameTable::Fits(std::size_t names, std::size_t slots) {
    // Two thirds used at most: a miss still ends within a few slots.
    return names <= slots / 3 * 2;
}

std::string_view ObjectNameTable::NameOf(const Entry& entry) const {
    return std::string_view(mText).substr(entry.mTextBegin, entry.mTextLength);
}

std::size_t ObjectNameTable::SlotOf(std::string_view name, std::uint64_t hash) const {
    const std::size_t mask = mSlots.size() - 1;
    const auto high = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
        const Slot& slot = mSlots[at];
        if (slot.mEntry == 0 || (slot.mHash == high && NameOf(mEntries[slot.mEntry - 1]) == name)) {
            return at;
        }
    }
}

void ObjectNameTable::Rehash(std::size_t slots) {
    mSlots.assign(slots, Slot());
    const std::size_t mask = slots - 1;
    for (std::size_t index = 0; index < mEntries.size(); ++index) {
        const std::uint64_t hash = HashOf(NameOf(mEntries[index]));
        std::size_t at = static_cast<std::size_t>(hash) & mask;
        while (mSlots[at].mEntry != 0) {
            at = (at + 1) & mask;
        }
        mSlots[at] = Slot{static_cast<std::uint32_t>(index + 1), static_cast<std::uint32_t>(hash >> 32)};
    }
}

void ObjectNameTable::Reserve(std::size_t names) {
    const std::size_t wanted = mEntries.size() + names;
    if (wanted < names || wanted >= UINT32_MAX) {
        return;
    }
    mEntries.reserve(wanted);
    if (Fits(wanted, mSlots.size())) {
        return;
    }
    std::size_t slots = kFirstSlots;
    while (!Fits(wanted, slots)) {
        slots *= 2;
    }
    Rehash(slots);
}

void ObjectNameTable::Set(std::string_view name, KFbxObject* object) {
    // A name too long for an entry is no name a connection can give; the
    // entries are counted in 32 bits.
    if (object == nullptr || name.size() > UINT32_MAX || mEntries.size() + 1 >= UINT32_MAX) {
        return;
    }
    if (!Fits(mEntries.size() + 1, mSlots.size())) {
        Rehash(mSlots.empty() ? kFirstSlots : mSlots.size() * 2);
    }
    const std::uint64_t hash = HashOf(name);
    Slot& slot = mSlots[SlotOf(name, hash)];
    if (slot.mEntry != 0) {
        mEntries[slot.mEntry - 1].mObject = object;
        return;
    }
    mEntries.push_back(Entry{mText.size(), static_cast<std::uint32_t>(name.size()), object});
    mText.append(name);
    slot = Slot{static_cast<std::uint32_t>(mEntries.size()), static_cast<std::uint32_t>(hash >> 32)};
}

KFbxObject* ObjectNameTable::Find(std::string_view name) const {
    for (int which : {mLed, 1 - mLed}) {
        const std::size_t next = mNext[which];
        if (next < mEntries.size() && NameOf(mEntries[next]) == name) {
            mNext[which] = next + 1;
            mLed = which;
            return mEntries[next].mObject;
        }
    }
    if (mSlots.empty()) {
        return nullptr;
    }
    const Slot& slot = mSlots[SlotOf(name, HashOf(name))];
    if (slot.mEntry == 0) {
        return nullptr;
    }
    // The name after this one is tried next; the one that led last stays.
    mLed = 1 - mLed;
    mNext[mLed] = slot.mEntry;
    return mEntries[slot.mEntry - 1].mObject;
}

void ObjectNameTable::Clear() {
    std::vector<Entry>().swap(mEntries);
    std::vector<Slot>().swap(mSlots);
    std::string().swap(mText);
    mNext[0] = mNext[1] = 0;
    mLed = 0;
}

}  // namespace fbxsdk_2006_11_1
