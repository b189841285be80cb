#include <fbxfilesdk/fbx/FieldOutput.h>

#include <fbxfilesdk/fbx/FieldBytes.h>

#include <fbxfilesdk/core/KChainedFile.h>

#include <algorithm>
#include <climits>

namespace fbxsdk_2006_11_1 {

namespace {

// Streams place bytes at int positions: only going back to patch is bound
// by it; writing on goes as far as the file system allows.
constexpr std::uint64_t kMaxStreamOffset = INT_MAX;

bool WriteAll(KChainedFile& stream, const unsigned char* bytes, std::size_t count) {
    while (count > 0) {
        const int chunk = count > (1u << 30) ? (1 << 30) : static_cast<int>(count);
        if (stream.Write(bytes, chunk) != chunk) return false;
        bytes += chunk;
        count -= static_cast<std::size_t>(chunk);
    }
    return true;
}

}  // namespace

void FieldOutput::Reset() {
    mPending.clear();
    mPending.shrink_to_fit();
    mFlushed = 0;
    mStream = nullptr;
}

void FieldOutput::Append(const void* bytes, std::size_t count) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    mPending.insert(mPending.end(), p, p + count);
}

void FieldOutput::AppendLittleEndian(std::uint64_t value, int byteCount) {
    StoreLittleEndian(Extend(static_cast<std::size_t>(byteCount)), value, byteCount);
}

unsigned char* FieldOutput::Extend(std::size_t count) {
    const std::size_t size = mPending.size();
    mPending.resize(size + count);
    return mPending.data() + size;
}

bool FieldOutput::Patch(std::uint64_t offset, const void* bytes, std::size_t count) {
    if (offset >= mFlushed) {
        const auto* p = static_cast<const unsigned char*>(bytes);
        std::copy(p, p + count, mPending.begin() + static_cast<std::ptrdiff_t>(offset - mFlushed));
        return true;
    }
    if (mStream == nullptr || offset + count > mFlushed || mFlushed > kMaxStreamOffset) return false;
    mStream->SetPosition(static_cast<int>(offset));
    const bool written = mStream->Tell() == static_cast<int>(offset) &&
                         WriteAll(*mStream, static_cast<const unsigned char*>(bytes), count);
    mStream->SetPosition(static_cast<int>(mFlushed));
    return written && mStream->Tell() == static_cast<int>(mFlushed);
}

bool FieldOutput::PatchLittleEndian(std::uint64_t offset, std::uint64_t value, int byteCount) {
    unsigned char bytes[8];
    StoreLittleEndian(bytes, value, byteCount);
    return Patch(offset, bytes, static_cast<std::size_t>(byteCount));
}

bool FieldOutput::Flush(std::size_t count) {
    if (count > mPending.size()) count = mPending.size();
    if (count == 0 || mStream == nullptr) return true;
    if (!WriteAll(*mStream, mPending.data(), count)) return false;
    mPending.erase(mPending.begin(), mPending.begin() + static_cast<std::ptrdiff_t>(count));
    mFlushed += count;
    return true;
}

std::vector<unsigned char> FieldOutput::TakePending() {
    std::vector<unsigned char> bytes;
    bytes.swap(mPending);
    return bytes;
}

}  // namespace fbxsdk_2006_11_1
