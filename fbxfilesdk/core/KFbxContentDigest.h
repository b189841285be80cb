// A 64-bit digest of a sequence of bytes, however it is cut into blocks: a
// fast filter for files that may hold the same bytes. Equal bytes give equal
// digests; unequal ones rarely do, so bytes whose digests agree are still to
// be compared before they are taken for the same.
#ifndef FBXFILESDK_CORE_KFBXCONTENTDIGEST_H
#define FBXFILESDK_CORE_KFBXCONTENTDIGEST_H

#include <cstddef>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

class KFbxContentDigest {
public:
    // Adds the bytes after those added before.
    void Add(const void* bytes, std::size_t size);
    // The digest of all the bytes added.
    std::uint64_t Value() const;

private:
    static constexpr std::size_t kLanes = 8;
    static constexpr std::size_t kStripe = 8 * kLanes;

    void Mix(const unsigned char* stripe);

    // Each lane takes one word of every stripe, so that their
    // multiplications run side by side.
    std::uint64_t mLanes[kLanes] = {1, 2, 3, 4, 5, 6, 7, 8};
    unsigned char mPending[kStripe] = {};
    std::size_t mPendingSize = 0;
    std::uint64_t mLength = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
