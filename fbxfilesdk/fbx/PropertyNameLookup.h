// Finds an object's properties by name for a reader that sets many of them in
// a row. The object's own search compares the name with every property before
// the one wanted, which makes a block that sets all of a node's properties
// quadratic in their number; this table is built once per block instead.
#ifndef FBXFILESDK_FBX_PROPERTYNAMELOOKUP_H
#define FBXFILESDK_FBX_PROPERTYNAMELOOKUP_H

#include <fbxfilesdk/core/KFbxProperty.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxObject;

class PropertyNameLookup {
public:
    // Forgets the object: the next Find indexes the object it is given.
    void Reset() { mObject = nullptr; }

    // The property that object.FindProperty(name) gives: the first valid one
    // of that exact name. The table follows the object's property count:
    // properties added at the end in between are seen, and fewer properties
    // make it index the object again.
    KFbxProperty Find(const KFbxObject& object, const char* name);

private:
    struct Slot {
        std::uint64_t hash = 0;
        int index = -1;
    };

    void Build(const KFbxObject& object);
    // Adds the property at index unless a property of its name is in already.
    void Insert(const KFbxObject& object, int index);

    const KFbxObject* mObject = nullptr;
    int mCount = 0;
    std::uint64_t mMask = 0;
    std::vector<Slot> mSlots;
};

}  // namespace fbxsdk_2006_11_1

#endif
