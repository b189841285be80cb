#include <fbxfilesdk/core/KMemoryFile.h>

#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/core/StreamText.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

// Positions are told as signed 64-bit values.
constexpr std::uint64_t kMaxSize = static_cast<std::uint64_t>(INT64_MAX);

std::uint32_t FromBytes(const unsigned char* bytes, int count, bool bigEndian) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        const int shift = 8 * (bigEndian ? count - 1 - i : i);
        value |= static_cast<std::uint32_t>(bytes[i]) << shift;
    }
    return value;
}

}  // namespace

KMemoryFile::KMemoryFile() : mBuffer(nullptr), mSize(0), mPosition(0), mGrowable(false), mSystemError(0) {}

KMemoryFile::~KMemoryFile() { KMemoryFile::Close(); }

bool KMemoryFile::Attach(void* buffer, std::int64_t size, bool growable) {
    if (buffer == nullptr || size < 0) return false;
    mBuffer = static_cast<unsigned char*>(buffer);
    mSize = static_cast<std::uint64_t>(size);
    mPosition = 0;
    mGrowable = growable;
    mSystemError = 0;
    return true;
}

void KMemoryFile::Close() {
    mBuffer = nullptr;
    mSize = 0;
    mPosition = 0;
}

bool KMemoryFile::OpenWithModeString(KString, KString) { return false; }

bool KMemoryFile::OpenFile(KString, int, bool) { return false; }

std::int64_t KMemoryFile::ReadBytes(void* destination, std::int64_t count, bool allOrNothing) {
    if (destination == nullptr || mBuffer == nullptr || count <= 0) return 0;
    const std::uint64_t left = mSize - mPosition;
    std::uint64_t n = static_cast<std::uint64_t>(count);
    if (n > left) {
        if (allOrNothing) return 0;
        n = left;
    }
    std::memcpy(destination, mBuffer + mPosition, n);
    mPosition += n;
    return static_cast<std::int64_t>(n);
}

std::int64_t KMemoryFile::Read(void* buffer, std::int64_t count) { return ReadBytes(buffer, count, false); }

char* KMemoryFile::ReadString(char* buffer, int size) {
    if (buffer == nullptr || mBuffer == nullptr || size < 1) return nullptr;
    int copied = 0;
    while (copied < size - 1 && mPosition < mSize) {
        const unsigned char c = mBuffer[mPosition++];
        buffer[copied++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[copied] = '\0';
    return buffer;
}

bool KMemoryFile::ReadInteger(int byteCount, bool swap, std::uint32_t& value) {
    unsigned char bytes[4];
    if (ReadBytes(bytes, byteCount, true) != byteCount) return false;
    value = FromBytes(bytes, byteCount, swap);
    return true;
}

std::int32_t KMemoryFile::ReadInt32(std::int32_t* value, bool swap) {
    std::uint32_t raw = 0;
    if (value == nullptr || !ReadInteger(4, swap, raw)) return 0;
    return *value = static_cast<std::int32_t>(raw);
}

std::uint32_t KMemoryFile::ReadInt32(std::uint32_t* value, bool swap) {
    std::uint32_t raw = 0;
    if (value == nullptr || !ReadInteger(4, swap, raw)) return 0;
    return *value = raw;
}

std::int16_t KMemoryFile::ReadInt16(std::int16_t* value, bool swap) {
    std::uint32_t raw = 0;
    if (value == nullptr || !ReadInteger(2, swap, raw)) return 0;
    return *value = static_cast<std::int16_t>(raw);
}

std::uint16_t KMemoryFile::ReadInt16(std::uint16_t* value, bool swap) {
    std::uint32_t raw = 0;
    if (value == nullptr || !ReadInteger(2, swap, raw)) return 0;
    return *value = static_cast<std::uint16_t>(raw);
}

char KMemoryFile::ReadByte(char* value) {
    if (value == nullptr || ReadBytes(value, 1, true) != 1) return 0;
    return *value;
}

unsigned char KMemoryFile::ReadByte(unsigned char* value) {
    if (value == nullptr || ReadBytes(value, 1, true) != 1) return 0;
    return *value;
}

bool KMemoryFile::Grow(std::uint64_t needed) {
    // At least double, so that a writer going byte by byte reallocates rarely.
    // Both sizes are at most kMaxSize, so neither sum can wrap.
    const std::uint64_t shortfall = needed - mSize;
    std::uint64_t newSize = mSize + (shortfall + 1 < mSize ? mSize : shortfall + 1);
    if (newSize > kMaxSize) newSize = kMaxSize;
    void* grown = newSize < needed ? nullptr : SdkRealloc(mBuffer, static_cast<std::size_t>(newSize));
    if (grown == nullptr) {
        mSystemError = ENOMEM;
        return false;
    }
    mBuffer = static_cast<unsigned char*>(grown);
    // The grown part counts as content, so it must not hand out old heap bytes.
    std::memset(mBuffer + mSize, 0, static_cast<std::size_t>(newSize - mSize));
    mSize = newSize;
    return true;
}

std::int64_t KMemoryFile::Write(const void* buffer, std::int64_t count) {
    if (buffer == nullptr || mBuffer == nullptr || count <= 0) return 0;
    std::uint64_t n = static_cast<std::uint64_t>(count);
    if (n > mSize - mPosition) {
        if (mGrowable) {
            // Both terms are at most kMaxSize, so the sum cannot wrap.
            if (!Grow(mPosition + n)) return 0;
        } else {
            n = mSize - mPosition;
            mSystemError = ENOSPC;
        }
    }
    std::memcpy(mBuffer + mPosition, buffer, n);
    mPosition += n;
    return static_cast<std::int64_t>(n);
}

void KMemoryFile::Seek(int origin, std::int64_t offset) {
    if (mBuffer == nullptr) return;
    std::int64_t target = 0;
    switch (origin) {
        case 0: target = offset; break;
        // Targets beyond what 64 bits hold are clamped like any other.
        case 1:
            if (__builtin_add_overflow(static_cast<std::int64_t>(mPosition), offset, &target)) target = INT64_MAX;
            break;
        case 2:
            if (__builtin_sub_overflow(static_cast<std::int64_t>(mSize), offset, &target)) target = INT64_MAX;
            break;
        default: target = 0; break;
    }
    if (target < 0) target = 0;
    if (static_cast<std::uint64_t>(target) > mSize) target = static_cast<std::int64_t>(mSize);
    mPosition = static_cast<std::uint64_t>(target);
}

std::int64_t KMemoryFile::Tell() { return mBuffer == nullptr ? 0 : static_cast<std::int64_t>(mPosition); }

void KMemoryFile::SetPosition(std::int64_t offset) {
    if (mBuffer == nullptr || offset < 0 || static_cast<std::uint64_t>(offset) > mSize) return;
    mPosition = static_cast<std::uint64_t>(offset);
}

bool KMemoryFile::IsOpen() { return mBuffer != nullptr; }

int KMemoryFile::Error() { return 0; }

int KMemoryFile::GetSystemError() { return mSystemError; }

void KMemoryFile::Flush() {}

bool KMemoryFile::Eof() { return mBuffer == nullptr || mPosition >= mSize; }

void KMemoryFile::Printf(const char* format, ...) {
    if (mBuffer == nullptr) return;
    char text[kStreamTextBufferSize];
    va_list args;
    va_start(args, format);
    const int length = FormatStreamText(text, format, args);
    va_end(args);
    Write(text, length);
}

void* KMemoryFile::GetMemoryBuffer(std::int64_t* size) {
    if (size != nullptr) *size = static_cast<std::int64_t>(mSize);
    return mBuffer;
}

}  // namespace fbxsdk_2006_11_1
