// The objects a file's records made, by the names the records give them: one
// block holding every name's text and one table of slots, so that a file of
// many small objects costs no allocation per object, and a look-up reads a
// slot and a name.
#ifndef FBXFILESDK_FBX_OBJECTNAMETABLE_H
#define FBXFILESDK_FBX_OBJECTNAMETABLE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxObject;

class ObjectNameTable {
public:
    // A later object of a name takes the place of the earlier; a null object
    // is not kept. Throws std::bad_alloc as a standard container would.
    void Set(std::string_view name, KFbxObject* object);
    // Null for a name never set.
    KFbxObject* Find(std::string_view name) const;
    void Clear();

private:
    struct Slot {
        std::uint64_t mTextBegin = 0;
        std::uint32_t mTextLength = 0;
        std::uint32_t mHash = 0;  // the high half of the name's hash
        KFbxObject* mObject = nullptr;  // null: the slot is free
    };
    static std::uint64_t HashOf(std::string_view name);
    // The slot holding the name, or the free slot where it would go.
    std::size_t SlotOf(std::string_view name, std::uint64_t hash) const;
    void Grow();

    std::vector<Slot> mSlots;  // a power of two of them, at most half used
    std::string mText;
    std::size_t mUsed = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
