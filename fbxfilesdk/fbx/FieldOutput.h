// The bytes of a field file on their way out: appended to a pending buffer
// that goes to the stream in large writes, with later corrections (record
// ends, counts) made in the buffer when the bytes are still there and through
// the stream when they are not. Without a stream everything stays pending.
#ifndef FBXFILESDK_FBX_FIELDOUTPUT_H
#define FBXFILESDK_FBX_FIELDOUTPUT_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KChainedFile;

class FieldOutput {
public:
    // Pending bytes above this go out at the next FlushIfLarge.
    static constexpr std::size_t kFlushThreshold = 1 << 20;

    void Reset();
    void SetStream(KChainedFile* stream) { mStream = stream; }

    // The file offset of the next byte appended.
    std::uint64_t Position() const { return mFlushed + mPending.size(); }
    std::vector<unsigned char>& Pending() { return mPending; }
    // The pending byte at a file offset that has not gone out yet.
    unsigned char* PendingAt(std::uint64_t offset) { return mPending.data() + (offset - mFlushed); }
    bool IsPending(std::uint64_t offset) const { return offset >= mFlushed; }

    void Append(const void* bytes, std::size_t count);
    void AppendByte(unsigned char byte) { mPending.push_back(byte); }
    void AppendLittleEndian(std::uint64_t value, int byteCount);
    // Room for count more bytes; the pointer lives until the next append.
    unsigned char* Extend(std::size_t count);

    // Overwrites bytes already appended. False when they went out and the
    // stream could not take the correction.
    bool Patch(std::uint64_t offset, const void* bytes, std::size_t count);
    bool PatchLittleEndian(std::uint64_t offset, std::uint64_t value, int byteCount);

    // Sends the first count pending bytes (all of them by default) to the
    // stream; without a stream they stay pending.
    bool Flush(std::size_t count = static_cast<std::size_t>(-1));
    bool FlushIfLarge() { return mPending.size() < kFlushThreshold || Flush(); }
    // Hands the pending bytes over and forgets them.
    std::vector<unsigned char> TakePending();

private:
    std::vector<unsigned char> mPending;
    std::uint64_t mFlushed = 0;
    KChainedFile* mStream = nullptr;
};

}  // namespace fbxsdk_2006_11_1

#endif
