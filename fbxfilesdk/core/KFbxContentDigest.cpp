#include <fbxfilesdk/core/KFbxContentDigest.h>

#include <bit>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr std::uint64_t kOdd = 0x9FB21C651E98DF25u;

std::uint64_t Word(const unsigned char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Every bit of the result hangs on every bit of value.
std::uint64_t Spread(std::uint64_t value) {
    value ^= value >> 30;
    value *= 0xBF58476D1CE4E5B9u;
    value ^= value >> 27;
    value *= 0x94D049BB133111EBu;
    return value ^ (value >> 31);
}

}  // namespace

// Each step is one to one, so that words that differ in one place leave
// their lane different.
void KFbxContentDigest::Mix(const unsigned char* stripe) {
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        mLanes[lane] = std::rotl((mLanes[lane] ^ Word(stripe + 8 * lane)) * kOdd, 29);
    }
}

void KFbxContentDigest::Add(const void* bytes, std::size_t size) {
    const auto* next = static_cast<const unsigned char*>(bytes);
    mLength += size;
    if (mPendingSize > 0) {
        const std::size_t taken = size < kStripe - mPendingSize ? size : kStripe - mPendingSize;
        std::memcpy(mPending + mPendingSize, next, taken);
        mPendingSize += taken;
        next += taken;
        size -= taken;
        if (mPendingSize < kStripe) return;
        Mix(mPending);
        mPendingSize = 0;
    }
    for (; size >= kStripe; next += kStripe, size -= kStripe) Mix(next);
    if (size > 0) std::memcpy(mPending, next, size);
    mPendingSize = size;
}

std::uint64_t KFbxContentDigest::Value() const {
    std::uint64_t value = mLength;
    for (const std::uint64_t lane : mLanes) value = Spread(value ^ lane);
    for (std::size_t at = 0; at < mPendingSize; ++at) value = (value ^ mPending[at]) * kOdd;
    return Spread(value);
}

}  // namespace fbxsdk_2006_11_1
