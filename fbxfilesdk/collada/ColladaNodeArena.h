// The memory of a parsed document's nodes, attributes and text: taken in
// large blocks and given back all at once with the document, rather than a
// call to the allocator for each record and each again to free it. Text
// that grows past a block's worth is held apart, so that a long text never
// leaves a block-sized hole behind it.
#ifndef FBXFILESDK_COLLADA_COLLADANODEARENA_H
#define FBXFILESDK_COLLADA_COLLADANODEARENA_H

#include <libxml/xmlstring.h>

#include <cstddef>
#include <vector>

namespace fbxsdk_2006_11_1 {

class ColladaNodeArena {
public:
    ColladaNodeArena() = default;
    ColladaNodeArena(ColladaNodeArena&& other) noexcept;
    ColladaNodeArena& operator=(ColladaNodeArena&& other) noexcept;
    ColladaNodeArena(const ColladaNodeArena&) = delete;
    ColladaNodeArena& operator=(const ColladaNodeArena&) = delete;
    ~ColladaNodeArena();

    // Zeroed room for a record; null when memory runs out.
    template <class T>
    T* New() {
        return static_cast<T*>(Allocate(sizeof(T)));
    }
    // The text, ended by a zero.
    xmlChar* Copy(const xmlChar* text, std::size_t length);
    // Room for at least wanted characters holding the first length of
    // text, whose room is capacity; capacity is updated. Null when memory
    // runs out (text then stays as it was).
    xmlChar* Grow(xmlChar* text, std::size_t length, std::size_t& capacity, std::size_t wanted);
    // Gives everything back.
    void Clear();

private:
    void* Allocate(std::size_t size);

    std::vector<void*> mBlocks;
    // Texts held apart, each in memory of its own.
    std::vector<void*> mLarge;
    char* mCursor = nullptr;
    char* mEnd = nullptr;
    std::size_t mNextBlock = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
