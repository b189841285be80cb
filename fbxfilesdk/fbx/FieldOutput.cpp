#include <fbxfilesdk/fbx/FieldOutput.h>

#include <fbxfilesdk/fbx/FieldBytes.h>

#include <fbxfilesdk/core/KChainedFile.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

// Full, or out of the user's quota: either way no room is left.
bool IsNoSpace(int error) { return error == ENOSPC || error == EDQUOT; }

}  // namespace

void FieldOutput::Reset() {
    mPending.clear();
    mPending.shrink_to_fit();
    mFlushed = 0;
    mStream = nullptr;
    mFailure = EFailure::eNone;
    mFailureDetail.clear();
}

void FieldOutput::Fail(EFailure failure, std::string detail) {
    if (mFailure != EFailure::eNone) return;
    mFailure = failure;
    mFailureDetail = std::move(detail);
}

void FieldOutput::FailFormatLimit(std::string detail) { Fail(EFailure::eFormatLimit, std::move(detail)); }

void FieldOutput::FailStream(KChainedFile& stream, const std::string& what) {
    const int error = stream.GetSystemError();
    const std::string cause = error != 0 ? std::strerror(error) : "the stream took fewer bytes than it was given";
    Fail(IsNoSpace(error) ? EFailure::eDiskFull : EFailure::eWriteError, what + ": " + cause);
}

bool FieldOutput::WriteAll(const unsigned char* bytes, std::size_t count, std::uint64_t offset) {
    const auto wanted = static_cast<std::int64_t>(count);
    if (count == 0 || mStream->Write(bytes, wanted) == wanted) return true;
    FailStream(*mStream, "writing " + std::to_string(count) + " bytes at offset " + std::to_string(offset));
    return false;
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
    if (HasFailed()) return false;
    const auto* p = static_cast<const unsigned char*>(bytes);
    if (offset + count > mFlushed) {
        // The part that is still pending is corrected in place.
        const std::size_t sent = offset < mFlushed ? static_cast<std::size_t>(mFlushed - offset) : 0;
        std::copy(p + sent, p + count, mPending.begin() + static_cast<std::ptrdiff_t>(offset + sent - mFlushed));
        count = sent;
    }
    if (count == 0) return true;
    if (mStream == nullptr) return false;
    const auto at = static_cast<std::int64_t>(offset);
    const auto end = static_cast<std::int64_t>(mFlushed);
    mStream->SetPosition(at);
    if (mStream->Tell() != at) {
        Fail(EFailure::eWriteError, "the stream cannot go back to offset " + std::to_string(offset));
        return false;
    }
    const bool written = WriteAll(p, count, offset);
    mStream->SetPosition(end);
    if (written && mStream->Tell() != end) {
        Fail(EFailure::eWriteError, "the stream cannot return to offset " + std::to_string(mFlushed));
        return false;
    }
    return written;
}

bool FieldOutput::PatchLittleEndian(std::uint64_t offset, std::uint64_t value, int byteCount) {
    unsigned char bytes[8];
    StoreLittleEndian(bytes, value, byteCount);
    return Patch(offset, bytes, static_cast<std::size_t>(byteCount));
}

bool FieldOutput::Flush(std::size_t count) {
    if (HasFailed()) return false;
    if (count > mPending.size()) count = mPending.size();
    if (count == 0 || mStream == nullptr) return true;
    if (!WriteAll(mPending.data(), count, mFlushed)) return false;
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
