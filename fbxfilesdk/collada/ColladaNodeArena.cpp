#include <fbxfilesdk/collada/ColladaNodeArena.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

// Blocks double from the first to the last size: a small document takes
// one or two, and a large one wastes at most the end of its last block.
constexpr std::size_t kFirstBlock = 8 * 1024;
constexpr std::size_t kLastBlock = 64 * 1024;
// Text that grows past this is held apart.
constexpr std::size_t kLargeText = 16 * 1024;
constexpr std::size_t kAlign = alignof(std::max_align_t);

// Room for one more, made before the memory it will hold is taken, so that
// the memory is never left unrecorded; false when memory runs out. Nothing
// may throw here: the arena is filled from the parser's callbacks.
bool ReserveOneMore(std::vector<void*>& held) {
    try {
        if (held.size() == held.capacity()) {
            held.reserve(std::max<std::size_t>(8, held.size() * 2));
        }
        return true;
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
}

}  // namespace

ColladaNodeArena::ColladaNodeArena(ColladaNodeArena&& other) noexcept
    : mBlocks(std::move(other.mBlocks)),
      mLarge(std::move(other.mLarge)),
      mCursor(std::exchange(other.mCursor, nullptr)),
      mEnd(std::exchange(other.mEnd, nullptr)),
      mNextBlock(std::exchange(other.mNextBlock, 0)) {
    other.mBlocks.clear();
    other.mLarge.clear();
}

ColladaNodeArena& ColladaNodeArena::operator=(ColladaNodeArena&& other) noexcept {
    if (this != &other) {
        Clear();
        std::swap(mBlocks, other.mBlocks);
        std::swap(mLarge, other.mLarge);
        std::swap(mCursor, other.mCursor);
        std::swap(mEnd, other.mEnd);
        std::swap(mNextBlock, other.mNextBlock);
    }
    return *this;
}

ColladaNodeArena::~ColladaNodeArena() { Clear(); }

void ColladaNodeArena::Clear() {
    for (void* block : mBlocks) {
        SdkFree(block);
    }
    for (void* text : mLarge) {
        SdkFree(text);
    }
    mBlocks.clear();
    mLarge.clear();
    mCursor = mEnd = nullptr;
    mNextBlock = 0;
}

void* ColladaNodeArena::Allocate(std::size_t size) {
    size = (size + kAlign - 1) & ~(kAlign - 1);
    if (static_cast<std::size_t>(mEnd - mCursor) < size) {
        const std::size_t blockSize = std::max(size, mNextBlock == 0 ? kFirstBlock : mNextBlock);
        void* block = ReserveOneMore(mBlocks) ? SdkMalloc(blockSize) : nullptr;
        if (block == nullptr) {
            return nullptr;
        }
        mBlocks.push_back(block);
        mCursor = static_cast<char*>(block);
        mEnd = mCursor + blockSize;
        mNextBlock = std::min(blockSize * 2, kLastBlock);
    }
    void* room = mCursor;
    mCursor += size;
    std::memset(room, 0, size);
    return room;
}

xmlChar* ColladaNodeArena::Copy(const xmlChar* text, std::size_t length) {
    auto* copy = static_cast<xmlChar*>(Allocate(length + 1));
    if (copy != nullptr && length != 0) {
        std::memcpy(copy, text, length);
    }
    return copy;
}

xmlChar* ColladaNodeArena::Grow(xmlChar* text, std::size_t length, std::size_t& capacity, std::size_t wanted) {
    if (wanted <= capacity) {
        return text;
    }
    const std::size_t room = std::max(wanted, capacity * 2);
    if (room > kLargeText) {
        // Text held apart grows where it is; text in a block moves out.
        const auto held = std::find(mLarge.rbegin(), mLarge.rend(), static_cast<void*>(text));
        if (held != mLarge.rend()) {
            void* grown = SdkRealloc(text, room);
            if (grown == nullptr) {
                return nullptr;
            }
            *held = grown;
            capacity = room;
            return static_cast<xmlChar*>(grown);
        }
        void* grown = ReserveOneMore(mLarge) ? SdkMalloc(room) : nullptr;
        if (grown == nullptr) {
            return nullptr;
        }
        if (length != 0) {
            std::memcpy(grown, text, length);
        }
        mLarge.push_back(grown);
        capacity = room;
        return static_cast<xmlChar*>(grown);
    }
    auto* grown = static_cast<xmlChar*>(Allocate(room));
    if (grown == nullptr) {
        return nullptr;
    }
    if (length != 0) {
        std::memcpy(grown, text, length);
    }
    capacity = room;
    return grown;
}

}  // namespace fbxsdk_2006_11_1
