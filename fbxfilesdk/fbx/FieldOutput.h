// The bytes of a field file on their way out: appended to a pending buffer
// that goes to the stream in large writes, with later corrections (record
// ends, counts) made in the buffer when the bytes are still there and through
// the stream when they are not. Without a stream everything stays pending.
// Offsets are 64-bit throughout.
//
// The first failure is kept with its cause (a full disk, another write
// error, or a value the file format cannot hold); after it every flush and
// patch fails, so the writer above stops at its next check.
#ifndef FBXFILESDK_FBX_FIELDOUTPUT_H
#define FBXFILESDK_FBX_FIELDOUTPUT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KChainedFile;

class FieldOutput {
public:
    // Pending bytes above this go out at the next FlushIfLarge.
    static constexpr std::size_t kFlushThreshold = 1 << 20;

    enum class EFailure { eNone, eDiskFull, eWriteError, eFormatLimit };

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

    EFailure GetFailure() const { return mFailure; }
    bool HasFailed() const { return mFailure != EFailure::eNone; }
    // What failed and why, in words.
    const std::string& GetFailureDetail() const { return mFailureDetail; }
    // A value or size the file format has no room for.
    void FailFormatLimit(std::string detail);
    // A stream operation (what) that failed: the stream's system error tells
    // a full disk from any other failure.
    void FailStream(KChainedFile& stream, const std::string& what);

private:
    bool WriteAll(const unsigned char* bytes, std::size_t count, std::uint64_t offset);
    void Fail(EFailure failure, std::string detail);

    std::vector<unsigned char> mPending;
    std::uint64_t mFlushed = 0;
    KChainedFile* mStream = nullptr;
    EFailure mFailure = EFailure::eNone;
    std::string mFailureDetail;
};

}  // namespace fbxsdk_2006_11_1

#endif
