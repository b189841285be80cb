// The objects a file's records made, by the names the records give them: one
// block holding every name's text, the names in the order they were set, and
// a small table of slots leading to them, so that a file of many small
// objects costs no allocation per object. Files name their objects again
// mostly in the order they made them, often each beside one other name (its
// parent): a look-up first tries the names set after the last two found,
// which reads on through the names instead of jumping about the table.
#ifndef FBXFILESDK_FBX_OBJECTNAMETABLE_H
#define FBXFILESDK_FBX_OBJECTNAMETABLE_H

#include <cstddef>
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
    // Room for that many more names, so that setting them moves nothing.
    void Reserve(std::size_t names);
    void Clear();

private:
    struct Entry {
        std::uint64_t mTextBegin = 0;
        std::uint32_t mTextLength = 0;
        KFbxObject* mObject = nullptr;
    };
    struct Slot {
        std::uint32_t mEntry = 0;  // one past the entry's index; 0: free
        std::uint32_t mHash = 0;   // the high half of the name's hash
    };
    static std::uint64_t HashOf(std::string_view name);
    static bool Fits(std::size_t names, std::size_t slots);
    std::string_view NameOf(const Entry& entry) const;
    // The slot leading to the name, or the free slot where it would go.
    std::size_t SlotOf(std::string_view name, std::uint64_t hash) const;
    void Rehash(std::size_t slots);

    static constexpr std::size_t kFirstSlots = 64;
    std::vector<Entry> mEntries;  // in the order the names were first set
    std::vector<Slot> mSlots;     // a power of two of them, at most two thirds used
    std::string mText;
    // The entries after the last two found, and which of them led last.
    mutable std::size_t mNext[2] = {0, 0};
    mutable int mLed = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
