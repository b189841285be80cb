#include <fbxfilesdk/fbx/ObjectNameTable.h>

#include <cstdint>
#include <functional>
#include <utility>

namespace fbxsdk_2006_11_1 {

std::uint64_t ObjectNameTable::HashOf(std::string_view name) {
    return static_cast<std::uint64_t>(std::hash<std::string_view>()(name));
}

std::size_t ObjectNameTable::SlotOf(std::string_view name, std::uint64_t hash) const {
    const std::size_t mask = mSlots.size() - 1;
    const auto high = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
        const Slot& slot = mSlots[at];
        if (slot.mObject == nullptr ||
            (slot.mHash == high && slot.mTextLength == name.size() &&
             std::string_view(mText).substr(slot.mTextBegin, slot.mTextLength) == name)) {
            return at;
        }
    }
}

void ObjectNameTable::Grow() {
    std::vector<Slot> old(mSlots.empty() ? 64 : mSlots.size() * 2);
    old.swap(mSlots);
    const std::size_t mask = mSlots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.mObject == nullptr) {
            continue;
        }
        const std::uint64_t hash = HashOf(std::string_view(mText).substr(slot.mTextBegin, slot.mTextLength));
        std::size_t at = static_cast<std::size_t>(hash) & mask;
        while (mSlots[at].mObject != nullptr) {
            at = (at + 1) & mask;
        }
        mSlots[at] = slot;
    }
}

void ObjectNameTable::Set(std::string_view name, KFbxObject* object) {
    // A name too long for a slot is no name a connection can give.
    if (object == nullptr || name.size() > UINT32_MAX) {
        return;
    }
    if ((mUsed + 1) * 2 > mSlots.size()) {
        Grow();
    }
    const std::uint64_t hash = HashOf(name);
    Slot& slot = mSlots[SlotOf(name, hash)];
    if (slot.mObject == nullptr) {
        slot.mTextBegin = mText.size();
        slot.mTextLength = static_cast<std::uint32_t>(name.size());
        slot.mHash = static_cast<std::uint32_t>(hash >> 32);
        mText.append(name);
        ++mUsed;
    }
    slot.mObject = object;
}

KFbxObject* ObjectNameTable::Find(std::string_view name) const {
    return mSlots.empty() ? nullptr : mSlots[SlotOf(name, HashOf(name))].mObject;
}

void ObjectNameTable::Clear() {
    std::vector<Slot>().swap(mSlots);
    std::string().swap(mText);
    mUsed = 0;
}

}  // namespace fbxsdk_2006_11_1
