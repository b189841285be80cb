// What a database keeps beside one of its name lists, so that neither a
// lookup by name nor a put routine walks the whole list or every chunk it
// names: where each name stands in the list, the last chunk the list names,
// and the place of the last chunk a put routine added, from which the walk
// for the next one's place by rank may start.
#ifndef FBXFILESDK_3DSFTK_NAMELISTINDEX3DS_H
#define FBXFILESDK_3DSFTK_NAMELISTINDEX3DS_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

struct Chunk3ds;

class NameListIndex3ds {
public:
    // Forgets the names, for a list rebuilt from the chunks under parent
    // (null when the database has none) with room for capacity entries.
    void Restart(Chunk3ds* parent, std::uint32_t capacity);
    // The entry at the position has the name.
    void Add(const char* name, std::uint32_t position);
    // The positions, ascending, of the entries of the name; null for none.
    const std::vector<std::uint32_t>* Find(const char* name) const;

    // The chunk whose children the list names; null when it has none.
    Chunk3ds* Parent() const { return mParent; }
    // The last of those children the list names; null when none.
    Chunk3ds* Last() const { return mLast; }
    void SetLast(Chunk3ds* last) { mLast = last; }
    // Entries the list's array has room for.
    std::uint32_t Capacity() const { return mCapacity; }
    void SetCapacity(std::uint32_t capacity) { mCapacity = capacity; }

    // The last chunk added by rank under parent, with its rank: every child
    // before it ranks at least as high, as long as the tree lives (chunks
    // are inserted by rank, cleared in place and never taken out), so the
    // place of a new chunk of that rank or lower is found from there on.
    void SetInsertion(Chunk3ds* parent, Chunk3ds* child, int rank);
    // That chunk, when the new chunk of the rank goes under the same parent;
    // else null.
    Chunk3ds* InsertionAfter(const Chunk3ds* parent, int rank) const;

private:
    std::unordered_map<std::string, std::vector<std::uint32_t>> mPositions;
    Chunk3ds* mParent = nullptr;
    Chunk3ds* mLast = nullptr;
    std::uint32_t mCapacity = 0;
    Chunk3ds* mInsertionParent = nullptr;
    Chunk3ds* mInsertionChild = nullptr;
    int mInsertionRank = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
