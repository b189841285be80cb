#include <fbxfilesdk/fbx/PropertyNameLookup.h>

#include <fbxfilesdk/core/KFbxObject.h>


namespace fbxsdk_2006_11_1 {

namespace {

std::uint64_t HashOf(std::string_view name) {
    // FNV-1a: names are short and this runs once per property record.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash;
}

bool HasName(const KFbxProperty& property, std::string_view name) {
    return property.IsValid() && name == property.GetName();
}

}  // namespace

void PropertyNameLookup::Build(const KFbxObject& object) {
    mObject = &object;
    mCount = object.GetPropertyCount();
    // At most half full, so that a miss ends after a probe or two.
    std::size_t size = 16;
    while (size < static_cast<std::size_t>(mCount) * 2) size *= 2;
    mSlots.assign(size, Slot());
    mMask = size - 1;
    for (int i = 0; i < mCount; ++i) Insert(object, i);
}

void PropertyNameLookup::Insert(const KFbxObject& object, int index) {
    const KFbxProperty property = object.GetPropertyAt(index);
    if (!property.IsValid()) return;
    const std::string_view name = property.GetName();
    const std::uint64_t hash = HashOf(name);
    for (std::uint64_t s = hash & mMask;; s = (s + 1) & mMask) {
        Slot& slot = mSlots[s];
        if (slot.index < 0) {
            slot.hash = hash;
            slot.index = index;
            return;
        }
        // The first property of a name is the one found.
        if (slot.hash == hash && HasName(object.GetPropertyAt(slot.index), name)) return;
    }
}

KFbxProperty PropertyNameLookup::Find(const KFbxObject& object, const char* text) {
    const int count = object.GetPropertyCount();
    if (mObject != &object || count < mCount || mMask + 1 < static_cast<std::size_t>(count) * 2) {
        Build(object);
    } else {
        // Properties are added at the end.
        for (; mCount < count; ++mCount) Insert(object, mCount);
    }
    const std::string_view name = text;
    const std::uint64_t hash = HashOf(name);
    for (std::uint64_t s = hash & mMask;; s = (s + 1) & mMask) {
        const Slot& slot = mSlots[s];
        if (slot.index < 0) return KFbxProperty();
        if (slot.hash == hash) {
            KFbxProperty property = object.GetPropertyAt(slot.index);
            if (HasName(property, name)) return property;
        }
    }
}

}  // namespace fbxsdk_2006_11_1
