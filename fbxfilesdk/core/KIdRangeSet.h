// Sparse sets of small non-negative ids, as used by the object-id registry.
// Ids are bits in 32-bit words; words are kept in blocks that each cover a run
// of word numbers, so a set of ids that are dense in a few places stays small.
// Blocks and the array of blocks come from the global memory pool and are
// shared copy-on-write between copies of a set.
#ifndef FBXFILESDK_CORE_KIDRANGESET_H
#define FBXFILESDK_CORE_KIDRANGESET_H

#include <cstdint>

namespace fbxsdk_2006_11_1 {

// A run of integers: mStart, mStart + 1, ..., mStart + mCount - 1.
struct KRange {
    std::int32_t mStart;
    std::int32_t mCount;

    // True only when a equals b (then out = a). Otherwise out is the overlap,
    // with a count of zero or less when there is none, and the result is false.
    static bool Intersect(const KRange& a, const KRange& b, KRange& out);
};

// Widens range to cover other as well (a range of no elements is ignored).
void RangeUnion(KRange& range, const KRange& other);

class KIdRangeSet {
public:
    // log2 of the bits in a word.
    static constexpr int kWordShift = 5;

    KIdRangeSet() = default;
    ~KIdRangeSet();
    // Copies share their blocks until one of them changes.
    KIdRangeSet(const KIdRangeSet& other);
    KIdRangeSet& operator=(const KIdRangeSet& other);

    // The lowest id at or above start whose bit is clear, ids in gaps between
    // blocks included; -1 when every id from start to the end of the last block is set.
    int FindFirstClear(int start) const;
    // The highest set id, -1 for an empty set.
    int GetHighest() const;
    // The index of the block covering the whole run of words, inserting or
    // merging blocks as needed; -1 when memory runs out.
    int FindOrInsert(const KRange& words);
    // False (set unchanged) for a negative id or when memory runs out.
    bool SetBit(int id);
    // Ids in no block are ignored.
    void ClearBit(int id);
    bool IsSet(int id) const;

    // The lowest id not in the set, added to it: freed ids are taken again
    // first, so ids stay dense. -1 when memory runs out.
    int TakeLowestFree();

    // For inspection: the word with the given number (0 when in no block),
    // and the blocks' ranges of word numbers.
    std::uint32_t GetWord(int wordNumber) const;
    int GetBlockCount() const;
    KRange GetBlockRange(int index) const;

private:
    struct Block;
    struct BlockArray;

    int FindBlock(int wordNumber) const;
    // Make the array, or one block, private to this set before a change.
    bool DetachArray();
    bool DetachBlock(int index);
    bool InsertBlock(int index, Block* block);
    void Release();

    BlockArray* mArray = nullptr;
};

}  // namespace fbxsdk_2006_11_1

#endif
