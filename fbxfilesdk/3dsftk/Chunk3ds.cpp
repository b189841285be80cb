#include <fbxfilesdk/3dsftk/Chunk3ds.h>

#include <fbxfilesdk/3dsftk/ChunkData3ds.h>
#include <fbxfilesdk/3dsftk/Internal3ds.h>

#include <algorithm>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace ftk3ds {

// Its chunks follow it in the same heap block.
struct alignas(Chunk3ds) ChunkBlock {
    // Chunks not yet released, and one more while chunks are still made in it.
    std::uint32_t holders;
    std::uint16_t capacity;

    Chunk3ds* Chunks() { return reinterpret_cast<Chunk3ds*>(this + 1); }
};

namespace {

constexpr std::uint16_t kChunksPerBlock = 64;
constexpr std::int64_t kHeaderBytes = 6;

void Unhold(ChunkBlock* block) {
    if (block != nullptr && --block->holders == 0) FtkFree(block);
}

// A chunk's memory goes back to the heap, or to the block it shares.
void FreeChunkMemory(Chunk3ds* chunk) {
    if (chunk->blockslot == 0) {
        FtkFree(chunk);
        return;
    }
    Unhold(reinterpret_cast<ChunkBlock*>(chunk - (chunk->blockslot - 1)) - 1);
}

}  // namespace

ChunkBlocks::~ChunkBlocks() { Unhold(block_); }

Chunk3ds* ChunkBlocks::New(std::int64_t position) {
    if (block_ == nullptr || used_ == block_->capacity) {
        Unhold(block_);
        block_ = nullptr;
        const std::int64_t headers = std::max<std::int64_t>(1, (end_ - position) / kHeaderBytes);
        const auto capacity = static_cast<std::uint16_t>(std::min<std::int64_t>(kChunksPerBlock, headers));
        void* memory = Alloc3ds(__FILE__, __LINE__, sizeof(ChunkBlock) + capacity * sizeof(Chunk3ds));
        if (memory == nullptr) {
            PushError3ds(ERR_NO_MEM);
            return nullptr;
        }
        block_ = new (memory) ChunkBlock{1, capacity};
        used_ = 0;
    }
    auto* chunk = new (block_->Chunks() + used_) Chunk3ds{};
    chunk->readindex = kNoFile3ds;
    chunk->writeindex = kNoFile3ds;
    chunk->blockslot = ++used_;
    ++block_->holders;
    return chunk;
}

}  // namespace ftk3ds

void InitChunk3ds(Chunk3ds** chunk) {
    if (chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *chunk = ftk3ds::NewZeroed<Chunk3ds>();
    if (*chunk == nullptr) return;
    (*chunk)->readindex = kNoFile3ds;
    (*chunk)->writeindex = kNoFile3ds;
}

void InitChunkAs3ds(Chunk3ds** chunk, std::uint32_t tag) {
    InitChunk3ds(chunk);
    if (FtkErrorStops() || chunk == nullptr || *chunk == nullptr) return;
    (*chunk)->tag = tag;
}

void* InitChunkAndData3ds(Chunk3ds** chunk, std::uint32_t tag) {
    InitChunkAs3ds(chunk, tag);
    if (FtkErrorStops() || chunk == nullptr || *chunk == nullptr) return nullptr;
    return InitChunkData3ds(*chunk);
}

namespace {

Chunk3ds* FindInSubtree(Chunk3ds* start, std::uint32_t tag) {
    if (start->tag == tag) return start;
    for (Chunk3ds* child = start->children; child != nullptr; child = child->sibling) {
        if (Chunk3ds* found = FindInSubtree(child, tag)) return found;
    }
    return nullptr;
}

}  // namespace

namespace ftk3ds {

namespace {

void FindEachBelow(Chunk3ds* chunk, const std::uint32_t* tags, Chunk3ds** found, std::size_t count,
                   std::size_t& left) {
    for (std::size_t i = 0; i < count; ++i) {
        if (found[i] == nullptr && chunk->tag == tags[i]) {
            found[i] = chunk;
            --left;
        }
    }
    for (Chunk3ds* child = chunk->children; child != nullptr && left > 0; child = child->sibling) {
        FindEachBelow(child, tags, found, count, left);
    }
}

}  // namespace

void FindEachInSubtree(Chunk3ds* start, const std::uint32_t* tags, Chunk3ds** found, std::size_t count) {
    std::fill(found, found + count, nullptr);
    std::size_t left = count;
    if (start != nullptr) FindEachBelow(start, tags, found, count, left);
}

}  // namespace ftk3ds

void FindChunk3ds(Chunk3ds* start, std::uint32_t tag, Chunk3ds** found) {
    if (found == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *found = start != nullptr ? FindInSubtree(start, tag) : nullptr;
}

void FindNextChunk3ds(Chunk3ds* first, std::uint32_t tag, Chunk3ds** found) {
    if (found == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    Chunk3ds* chunk = first;
    while (chunk != nullptr && chunk->tag != tag) chunk = chunk->sibling;
    *found = chunk;
}

void AddChild3ds(Chunk3ds* parent, Chunk3ds* child) {
    if (parent == nullptr || child == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    Chunk3ds** link = &parent->children;
    while (*link != nullptr) link = &(*link)->sibling;
    *link = child;
}

namespace {

void InsertByRank(Chunk3ds** link, Chunk3ds* child) {
    const int rank = GetChunkOrder3ds(child->tag);
    while (*link != nullptr && GetChunkOrder3ds((*link)->tag) >= rank) link = &(*link)->sibling;
    child->sibling = *link;
    *link = child;
}

}  // namespace

void AddChildOrdered3ds(Chunk3ds* parent, Chunk3ds* child) {
    if (parent == nullptr || child == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    InsertByRank(&parent->children, child);
}

void AddChildOrderedAfter3ds(Chunk3ds* parent, Chunk3ds* child, Chunk3ds* start) {
    if (parent == nullptr || child == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    InsertByRank(start != nullptr ? &start->sibling : &parent->children, child);
}

Chunk3ds* AddChildChunk3ds(std::uint32_t tag, Chunk3ds* parent) {
    if (parent == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return nullptr;
    }
    Chunk3ds* child = nullptr;
    InitChunkAs3ds(&child, tag);
    if (FtkErrorStops() || child == nullptr) return nullptr;
    AddChildOrdered3ds(parent, child);
    return child;
}

void ReplaceChild3ds(Chunk3ds* parent, std::uint32_t tag, Chunk3ds** chunk) {
    if (parent == nullptr || chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    Chunk3ds* existing = nullptr;
    FindNextChunk3ds(parent->children, tag, &existing);
    if (existing != nullptr) {
        ClearChunk3ds(existing);
        existing->tag = tag;
        *chunk = existing;
        return;
    }
    *chunk = AddChildChunk3ds(tag, parent);
}

void ClearChunk3ds(Chunk3ds* chunk) {
    if (chunk == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    ReleaseChunk3ds(&chunk->children);
    FreeChunkData3ds(chunk);
    chunk->tag = NULL_CHUNK;
    chunk->size = 0;
    chunk->position = 0;
    chunk->readindex = kNoFile3ds;
    chunk->writeindex = kNoFile3ds;
}

void ReleaseChunk3ds(Chunk3ds** chunk) {
    if (chunk == nullptr) return;
    // Siblings are walked, not recursed into, so a long chain costs no stack;
    // depth is bounded by how deep a tree may nest.
    Chunk3ds* current = *chunk;
    *chunk = nullptr;
    while (current != nullptr) {
        Chunk3ds* next = current->sibling;
        // Most chunks of a tree read from a file hold no record and no children.
        if (current->data != nullptr) FreeChunkData3ds(current);
        if (current->children != nullptr) ReleaseChunk3ds(&current->children);
        ftk3ds::FreeChunkMemory(current);
        current = next;
    }
}

void CopyChunk3ds(Chunk3ds* source, Chunk3ds** copy) {
    if (source == nullptr || copy == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *copy = nullptr;
    InitChunk3ds(copy);
    if (FtkErrorStops() || *copy == nullptr) return;
    Chunk3ds* target = *copy;
    target->tag = source->tag;
    target->size = source->size;
    target->position = source->position;
    target->readindex = source->readindex;
    target->writeindex = source->writeindex;
    if (source->data != nullptr) {
        if (source->readindex != kNoFile3ds) {
            target->data = source->data;
            source->data = nullptr;
        } else {
            CopyChunkData3ds(source, target);
            if (FtkErrorStops()) return;
        }
    }
    Chunk3ds** tail = &target->children;
    for (Chunk3ds* child = source->children; child != nullptr; child = child->sibling) {
        CopyChunk3ds(child, tail);
        if (*tail != nullptr) tail = &(*tail)->sibling;
        if (FtkErrorStops()) return;
    }
}

}  // namespace fbxsdk_2006_11_1

namespace fbxsdk_2006_11_1::ftk3ds {

namespace {

// Whether a copy of the tree would duplicate a record: one put in memory.
bool HoldsMemoryRecord(const Chunk3ds& chunk) {
    if (chunk.data != nullptr && chunk.readindex == kNoFile3ds) return true;
    for (const Chunk3ds* child = chunk.children; child != nullptr; child = child->sibling) {
        if (HoldsMemoryRecord(*child)) return true;
    }
    return false;
}

// What copying the tree and releasing the copy leaves of its file records.
void DropFileRecords(Chunk3ds& chunk) {
    if (chunk.data != nullptr && chunk.readindex != kNoFile3ds) FreeChunkData3ds(&chunk);
    for (Chunk3ds* child = chunk.children; child != nullptr; child = child->sibling) DropFileRecords(*child);
}

}  // namespace

ReadingTree::ReadingTree(Chunk3ds* source) {
    if (source == nullptr || HoldsMemoryRecord(*source)) {
        CopyChunk3ds(source, &copy_.chunk);
        return;
    }
    own_ = source;
}

ReadingTree::~ReadingTree() {
    if (own_ != nullptr) DropFileRecords(*own_);
}

Chunk3ds* FindChild(Chunk3ds* parent, std::uint32_t tag) {
    if (parent == nullptr) return nullptr;
    Chunk3ds* found = nullptr;
    FindNextChunk3ds(parent->children, tag, &found);
    return found;
}

}  // namespace fbxsdk_2006_11_1::ftk3ds
