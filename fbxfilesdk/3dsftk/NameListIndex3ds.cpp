#include <fbxfilesdk/3dsftk/NameListIndex3ds.h>

namespace fbxsdk_2006_11_1 {

void NameListIndex3ds::Restart(Chunk3ds* parent, std::uint32_t capacity) {
    mPositions.clear();
    mParent = parent;
    mLast = nullptr;
    mCapacity = capacity;
}

void NameListIndex3ds::Add(const char* name, std::uint32_t position) { mPositions[name].push_back(position); }

const std::vector<std::uint32_t>* NameListIndex3ds::Find(const char* name) const {
    const auto found = mPositions.find(name);
    return found != mPositions.end() ? &found->second : nullptr;
}

void NameListIndex3ds::SetInsertion(Chunk3ds* parent, Chunk3ds* child, int rank) {
    mInsertionParent = parent;
    mInsertionChild = child;
    mInsertionRank = rank;
}

Chunk3ds* NameListIndex3ds::InsertionAfter(const Chunk3ds* parent, int rank) const {
    return parent != nullptr && parent == mInsertionParent && rank <= mInsertionRank ? mInsertionChild : nullptr;
}

}  // namespace fbxsdk_2006_11_1
