#include <fbxfilesdk/core/KIdRangeSet.h>

#include <fbxfilesdk/core/KMemoryReusePool.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kBitsPerWord = 1 << KIdRangeSet::kWordShift;
// A new run is merged with blocks within this many words of it: (256 >> 5) + 1.
constexpr int kMergeMargin = (256 >> KIdRangeSet::kWordShift) + 1;
// ... and the widened run is at least (64 >> 5) + 1 words long.
constexpr int kMinMergeWords = (64 >> KIdRangeSet::kWordShift) + 1;

}  // namespace

struct KIdRangeSet::Block {
    std::int32_t mFirstWord;
    std::int32_t mWordCount;
    std::int32_t mRefCount;
    std::int32_t mPad;

    std::uint32_t* Words() { return reinterpret_cast<std::uint32_t*>(this + 1); }
    const std::uint32_t* Words() const { return reinterpret_cast<const std::uint32_t*>(this + 1); }
    KRange Range() const { return KRange{mFirstWord, mWordCount}; }

    // A zeroed block covering the run; null when memory runs out.
    static Block* Create(const KRange& words) {
        const std::size_t bytes = sizeof(Block) + sizeof(std::uint32_t) * static_cast<std::size_t>(words.mCount);
        void* memory = KMemoryReusePool::AllocateBlock(KMemoryReusePool::GetGlobalPool(), bytes);
        if (memory == nullptr) {
            return nullptr;
        }
        std::memset(memory, 0, bytes);
        Block* block = static_cast<Block*>(memory);
        block->mFirstWord = words.mStart;
        block->mWordCount = words.mCount;
        block->mRefCount = 1;
        return block;
    }

    static void Unref(Block* block) {
        if (--block->mRefCount == 0) {
            KMemoryReusePool::ReleaseBlock(block);
        }
    }
};

struct KIdRangeSet::BlockArray {
    std::int32_t mCapacity;
    std::int32_t mCount;
    std::int32_t mRefCount;
    std::int32_t mPad;

    Block** Blocks() { return reinterpret_cast<Block**>(this + 1); }
    Block* const* Blocks() const { return reinterpret_cast<Block* const*>(this + 1); }

    static BlockArray* Create(int capacity) {
        void* memory = KMemoryReusePool::AllocateBlock(KMemoryReusePool::GetGlobalPool(),
                                                       sizeof(BlockArray) + sizeof(Block*) * capacity);
        if (memory == nullptr) {
            return nullptr;
        }
        BlockArray* array = static_cast<BlockArray*>(memory);
        array->mCapacity = capacity;
        array->mCount = 0;
        array->mRefCount = 1;
        return array;
    }

    // A private copy of capacity entries; the blocks are shared with the original.
    static BlockArray* CopyOf(const BlockArray* source, int capacity) {
        BlockArray* copy = Create(capacity);
        if (copy == nullptr) {
            return nullptr;
        }
        copy->mCount = source->mCount;
        for (int i = 0; i < source->mCount; ++i) {
            copy->Blocks()[i] = source->Blocks()[i];
            ++copy->Blocks()[i]->mRefCount;
        }
        return copy;
    }

    static void Unref(BlockArray* array) {
        if (--array->mRefCount == 0) {
            for (int i = 0; i < array->mCount; ++i) {
                Block::Unref(array->Blocks()[i]);
            }
            KMemoryReusePool::ReleaseBlock(array);
        }
    }
};

bool KRange::Intersect(const KRange& a, const KRange& b, KRange& out) {
    if (a.mStart == b.mStart && a.mCount == b.mCount) {
        out = a;
        return true;
    }
    out.mStart = std::max(a.mStart, b.mStart);
    out.mCount = std::min(a.mStart + a.mCount - 1, b.mStart + b.mCount - 1) - out.mStart + 1;
    return false;
}

void RangeUnion(KRange& range, const KRange& other) {
    if (other.mCount <= 0) {
        return;
    }
    if (range.mCount <= 0) {
        range = other;
        return;
    }
    const std::int32_t start = std::min(range.mStart, other.mStart);
    const std::int32_t end = std::max(range.mStart + range.mCount, other.mStart + other.mCount);
    range.mStart = start;
    range.mCount = end - start;
}

KIdRangeSet::~KIdRangeSet() { Release(); }

KIdRangeSet::KIdRangeSet(const KIdRangeSet& other) : mArray(other.mArray) {
    if (mArray != nullptr) {
        ++mArray->mRefCount;
    }
}

KIdRangeSet& KIdRangeSet::operator=(const KIdRangeSet& other) {
    // Taken first: other may be this set.
    BlockArray* shared = other.mArray;
    if (shared != nullptr) {
        ++shared->mRefCount;
    }
    Release();
    mArray = shared;
    return *this;
}

void KIdRangeSet::Release() {
    if (mArray != nullptr) {
        BlockArray::Unref(mArray);
        mArray = nullptr;
    }
}

int KIdRangeSet::GetBlockCount() const { return mArray != nullptr ? mArray->mCount : 0; }

KRange KIdRangeSet::GetBlockRange(int index) const {
    if (index < 0 || index >= GetBlockCount()) {
        return KRange{0, 0};
    }
    return mArray->Blocks()[index]->Range();
}

int KIdRangeSet::FindBlock(int wordNumber) const {
    for (int i = 0; i < GetBlockCount(); ++i) {
        const Block* block = mArray->Blocks()[i];
        if (wordNumber < block->mFirstWord) {
            break;
        }
        if (wordNumber < block->mFirstWord + block->mWordCount) {
            return i;
        }
    }
    return -1;
}

std::uint32_t KIdRangeSet::GetWord(int wordNumber) const {
    const int index = FindBlock(wordNumber);
    if (index == -1) {
        return 0;
    }
    const Block* block = mArray->Blocks()[index];
    return block->Words()[wordNumber - block->mFirstWord];
}

bool KIdRangeSet::IsSet(int id) const {
    return id >= 0 && (GetWord(id >> kWordShift) >> (id & (kBitsPerWord - 1)) & 1u) != 0;
}

int KIdRangeSet::FindFirstClear(int start) const {
    int id = std::max(start, 0);
    for (int i = 0; i < GetBlockCount(); ++i) {
        const Block* block = mArray->Blocks()[i];
        const int firstId = block->mFirstWord * kBitsPerWord;
        const int endId = (block->mFirstWord + block->mWordCount) * kBitsPerWord;
        if (id < firstId) {
            return id;
        }
        if (id >= endId) {
            continue;
        }
        for (int word = (id >> kWordShift) - block->mFirstWord; word < block->mWordCount; ++word) {
            std::uint32_t clear = ~block->Words()[word];
            if (word == (id >> kWordShift) - block->mFirstWord) {
                clear &= ~0u << (id & (kBitsPerWord - 1));
            }
            if (clear != 0) {
                return (block->mFirstWord + word) * kBitsPerWord + std::countr_zero(clear);
            }
        }
        id = endId;
    }
    return -1;
}

int KIdRangeSet::GetHighest() const {
    for (int i = GetBlockCount() - 1; i >= 0; --i) {
        const Block* block = mArray->Blocks()[i];
        for (int word = block->mWordCount - 1; word >= 0; --word) {
            const std::uint32_t bits = block->Words()[word];
            if (bits != 0) {
                return (block->mFirstWord + word) * kBitsPerWord + (kBitsPerWord - 1 - std::countl_zero(bits));
            }
        }
    }
    return -1;
}

bool KIdRangeSet::DetachArray() {
    if (mArray == nullptr) {
        mArray = BlockArray::Create(1);
        return mArray != nullptr;
    }
    if (mArray->mRefCount > 1) {
        BlockArray* copy = BlockArray::CopyOf(mArray, mArray->mCapacity);
        if (copy == nullptr) {
            return false;
        }
        --mArray->mRefCount;
        mArray = copy;
    }
    return true;
}

bool KIdRangeSet::DetachBlock(int index) {
    if (!DetachArray()) {
        return false;
    }
    Block*& block = mArray->Blocks()[index];
    if (block->mRefCount > 1) {
        Block* copy = Block::Create(block->Range());
        if (copy == nullptr) {
            return false;
        }
        std::memcpy(copy->Words(), block->Words(), sizeof(std::uint32_t) * block->mWordCount);
        --block->mRefCount;
        block = copy;
    }
    return true;
}

bool KIdRangeSet::InsertBlock(int index, Block* block) {
    if (mArray->mCount == mArray->mCapacity) {
        BlockArray* grown = BlockArray::CopyOf(mArray, mArray->mCapacity * 2);
        if (grown == nullptr) {
            return false;
        }
        BlockArray::Unref(mArray);
        mArray = grown;
    }
    Block** blocks = mArray->Blocks();
    std::memmove(blocks + index + 1, blocks + index, sizeof(Block*) * (mArray->mCount - index));
    blocks[index] = block;
    ++mArray->mCount;
    return true;
}

int KIdRangeSet::FindOrInsert(const KRange& words) {
    for (int i = 0; i < GetBlockCount(); ++i) {
        const Block* block = mArray->Blocks()[i];
        if (block->mFirstWord <= words.mStart &&
            words.mStart + words.mCount <= block->mFirstWord + block->mWordCount) {
            return i;
        }
    }
    if (!DetachArray()) {
        return -1;
    }
    KRange widened{std::max(0, words.mStart - kMergeMargin), 0};
    widened.mCount = std::max(words.mStart + words.mCount + kMergeMargin - widened.mStart, kMinMergeWords);

    // Blocks are sorted and disjoint, so those near the run are consecutive.
    int first = -1;
    int last = -1;
    KRange merged = words;
    for (int i = 0; i < mArray->mCount; ++i) {
        KRange overlap;
        KRange::Intersect(widened, mArray->Blocks()[i]->Range(), overlap);
        if (overlap.mCount > 0) {
            if (first == -1) {
                first = i;
            }
            last = i;
            RangeUnion(merged, mArray->Blocks()[i]->Range());
        }
    }
    if (first == -1) {
        int at = 0;
        while (at < mArray->mCount && mArray->Blocks()[at]->mFirstWord < words.mStart) {
            ++at;
        }
        Block* block = Block::Create(words);
        if (block == nullptr) {
            return -1;
        }
        if (!InsertBlock(at, block)) {
            Block::Unref(block);
            return -1;
        }
        return at;
    }
    Block* block = Block::Create(merged);
    if (block == nullptr) {
        return -1;
    }
    Block** blocks = mArray->Blocks();
    for (int i = first; i <= last; ++i) {
        std::memcpy(block->Words() + (blocks[i]->mFirstWord - merged.mStart), blocks[i]->Words(),
                    sizeof(std::uint32_t) * blocks[i]->mWordCount);
        Block::Unref(blocks[i]);
    }
    blocks[first] = block;
    std::memmove(blocks + first + 1, blocks + last + 1, sizeof(Block*) * (mArray->mCount - last - 1));
    mArray->mCount -= last - first;
    return first;
}

bool KIdRangeSet::SetBit(int id) {
    if (id < 0) {
        return false;
    }
    if (IsSet(id)) {
        return true;
    }
    const int word = id >> kWordShift;
    const int index = FindOrInsert(KRange{word, 1});
    if (index == -1 || !DetachBlock(index)) {
        return false;
    }
    Block* block = mArray->Blocks()[index];
    block->Words()[word - block->mFirstWord] |= 1u << (id & (kBitsPerWord - 1));
    return true;
}

void KIdRangeSet::ClearBit(int id) {
    if (!IsSet(id)) {
        return;
    }
    const int word = id >> kWordShift;
    const int index = FindBlock(word);
    if (!DetachBlock(index)) {
        return;
    }
    Block* block = mArray->Blocks()[index];
    block->Words()[word - block->mFirstWord] &= ~(1u << (id & (kBitsPerWord - 1)));
}

int KIdRangeSet::TakeLowestFree() {
    int id = FindFirstClear(0);
    if (id == -1) {
        id = GetHighest() + 1;
    }
    return SetBit(id) ? id : -1;
}

}  // namespace fbxsdk_2006_11_1
