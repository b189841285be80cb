// A block of memory of whole pages taken straight from the system, whose
// pages can be handed back one range at a time while the block stays.
#ifndef PLATFORM_OS_ANONYMOUSPAGES_H
#define PLATFORM_OS_ANONYMOUSPAGES_H

#include <cstdint>

namespace qalimor::os {

class AnonymousPages {
public:
    AnonymousPages() = default;
    ~AnonymousPages() { Free(); }
    AnonymousPages(const AnonymousPages&) = delete;
    AnonymousPages& operator=(const AnonymousPages&) = delete;

    // Pages for size bytes, zero until written; false (errno set) when the
    // system has none. The block held before is freed first.
    bool Allocate(std::uint64_t size);
    void Free();
    unsigned char* Data() const { return mData; }
    std::uint64_t Size() const { return mSize; }

    // Hands back the whole pages inside [offset, offset + size); they read
    // as zero until written again.
    void Discard(std::uint64_t offset, std::uint64_t size);

private:
    unsigned char* mData = nullptr;
    std::uint64_t mSize = 0;
};

}  // namespace qalimor::os

#endif
