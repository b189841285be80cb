#include <fbxfilesdk/core/KFile.h>

#include <fbxfilesdk/core/KFbxSystemUtils.h>
#include <fbxfilesdk/core/StreamText.h>
#include <platform/os/File.h>
#include <platform/os/ReplacementFile.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>

#include <sys/types.h>

namespace fbxsdk_2006_11_1 {

namespace {

// Names and modes were once converted into 1024-unit UTF-16 buffers; the same
// limit keeps the set of names that open the same on every platform.
constexpr std::size_t kMaxUtf16Units = 1024;

// UTF-16 units that the UTF-8 text converts to, each malformed byte counted as
// one replacement character.
std::size_t Utf16Units(const char* text) {
    std::size_t units = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        int length = 1;
        if (*p >= 0xF0 && *p <= 0xF4) {
            length = 4;
        } else if (*p >= 0xE0) {
            length = 3;
        } else if (*p >= 0xC2 && *p <= 0xDF) {
            length = 2;
        }
        if (*p >= 0xF5) length = 1;
        int i = 1;
        while (i < length && (p[i] & 0xC0) == 0x80) ++i;
        if (i < length) length = 1;
        units += length == 4 ? 2 : 1;
        p += length;
    }
    return units;
}

bool FitsUtf16Buffer(const char* text) { return Utf16Units(text) < kMaxUtf16Units; }

}  // namespace

KFile::KFile() : mStream(nullptr), mOpen(false), mSystemError(0), mFileName() {}

KFile::~KFile() { Close(); }

bool KFile::OpenWithModeString(const char* name, const char* mode) {
    Close();
    mSystemError = !name || !mode ? EINVAL : ENAMETOOLONG;
    if (name && mode && FitsUtf16Buffer(name) && FitsUtf16Buffer(mode)) {
        errno = 0;
        mStream = qalimor::os::OpenFile(name, mode);
        mSystemError = errno;
    }
    mOpen = mStream != nullptr;
    if (mOpen) mSystemError = 0;
    mFileName = name ? name : "";
    return mOpen;
}

bool KFile::Open(const char* name, int mode, bool text) {
    static const char* const kModes[] = {"r", "w", "w+", "a"};
    if (mode < 0 || mode > 3) return false;
    KString modeString(kModes[mode]);
    modeString += text ? 't' : 'b';
    return OpenWithModeString(name, modeString.Buffer());
}

bool KFile::OpenReplacing(const char* name, bool readBack) {
    Close();
    mSystemError = !name ? EINVAL : ENAMETOOLONG;
    if (name && FitsUtf16Buffer(name)) {
        auto replacement = std::make_unique<qalimor::os::ReplacementFile>();
        errno = 0;
        if (replacement->Open(name, readBack)) {
            mStream = replacement->Stream();
            mReplacement = std::move(replacement);
        }
        mSystemError = errno;
    }
    mOpen = mStream != nullptr;
    if (mOpen) mSystemError = 0;
    mDiscarded = false;
    mFileName = name ? name : "";
    return mOpen;
}

void KFile::Discard() { mDiscarded = true; }

void KFile::Close() {
    if (!mOpen) return;
    mOpen = false;
    errno = 0;
    const bool closed = mReplacement != nullptr ? mReplacement->Close(!mDiscarded && std::ferror(mStream) == 0)
                                                : std::fclose(mStream) == 0;
    if (!closed) {
        NoteSystemError();
        mCloseFailed = true;
    }
    mReplacement.reset();
    mStream = nullptr;
    mDiscarded = false;
}

bool KFile::Finish() {
    if (!IsOpen()) return true;
    // The close alone cannot tell that buffered bytes were lost.
    Flush();
    const bool written = Error() == 0;
    mCloseFailed = false;
    Close();
    return written && !mCloseFailed;
}

std::int64_t KFile::Read(void* buffer, std::int64_t count) {
    if (!mOpen || !buffer || count <= 0) return 0;
    return static_cast<std::int64_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), mStream));
}

char* KFile::ReadString(char* buffer, int size) {
    if (!mOpen) return nullptr;
    return KFbxReadLine(buffer, size, mStream);
}

namespace {

// Reads sizeof(T) bytes into *value, little-endian or (swap) big-endian. The
// variable changes only when every byte was read.
template <class T>
T ReadNumber(std::FILE* stream, T* value, bool swap) {
    unsigned char bytes[sizeof(T)];
    if (std::fread(bytes, 1, sizeof(T), stream) == sizeof(T)) {
        std::uint32_t result = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            const std::size_t shift = 8 * (swap ? sizeof(T) - 1 - i : i);
            result |= static_cast<std::uint32_t>(bytes[i]) << shift;
        }
        *value = static_cast<T>(result);
    }
    return *value;
}

}  // namespace

std::int32_t KFile::ReadInt32(std::int32_t* value, bool swap) {
    return mOpen && value ? ReadNumber(mStream, value, swap) : 0;
}

std::uint32_t KFile::ReadInt32(std::uint32_t* value, bool swap) {
    return mOpen && value ? ReadNumber(mStream, value, swap) : 0;
}

std::int16_t KFile::ReadInt16(std::int16_t* value, bool swap) {
    return mOpen && value ? ReadNumber(mStream, value, swap) : 0;
}

std::uint16_t KFile::ReadInt16(std::uint16_t* value, bool swap) {
    return mOpen && value ? ReadNumber(mStream, value, swap) : 0;
}

char KFile::ReadByte(char* value) { return mOpen && value ? ReadNumber(mStream, value, false) : 0; }

unsigned char KFile::ReadByte(unsigned char* value) { return mOpen && value ? ReadNumber(mStream, value, false) : 0; }

void KFile::NoteSystemError() {
    // A failure the system gave no reason for is still not a full disk.
    mSystemError = errno;
}

std::int64_t KFile::Write(const void* buffer, std::int64_t count) {
    if (!mOpen || !buffer || count <= 0) return 0;
    errno = 0;
    const std::size_t written = std::fwrite(buffer, 1, static_cast<std::size_t>(count), mStream);
    if (written != static_cast<std::size_t>(count)) NoteSystemError();
    return static_cast<std::int64_t>(written);
}

void KFile::Seek(int origin, std::int64_t offset) {
    if (!mOpen) return;
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    errno = 0;
    // A seek first writes out what the stream holds: that may fail as any write.
    if (::fseeko(mStream, static_cast<off_t>(offset), whence) != 0 && std::ferror(mStream)) NoteSystemError();
}

std::int64_t KFile::Tell() {
    if (!mOpen) return 0;
    return static_cast<std::int64_t>(::ftello(mStream));
}

void KFile::SetPosition(std::int64_t offset) { KFile::Seek(0, offset); }

bool KFile::IsOpen() { return mOpen; }

const KString& KFile::GetFileName() { return mFileName; }

int KFile::Error() { return mOpen ? std::ferror(mStream) : 0; }

int KFile::GetSystemError() { return mSystemError; }

void KFile::Flush() {
    if (!mOpen) return;
    errno = 0;
    if (std::fflush(mStream) != 0) NoteSystemError();
}

bool KFile::Eof() { return mOpen && std::feof(mStream) != 0; }

void KFile::Printf(const char* format, ...) {
    if (!mOpen || !format) return;
    char text[kStreamTextBufferSize];
    va_list arguments;
    va_start(arguments, format);
    const int length = FormatStreamText(text, format, arguments);
    va_end(arguments);
    KFile::Write(text, length);
}

int KFile::SetSize(std::int64_t size) {
    if (!mOpen || size < 0) return -1;
    errno = 0;
    if (qalimor::os::ResizeFile(mStream, size)) return 0;
    NoteSystemError();
    return -1;
}

void* KFile::GetMemoryBuffer(std::int64_t*) { return nullptr; }

int KFile::RemoveFile(KString name) {
    if (!name.IsOK()) {
        errno = EINVAL;
        return -1;
    }
    if (!FitsUtf16Buffer(name.Buffer())) {
        errno = ENAMETOOLONG;
        return -1;
    }
    return qalimor::os::RemoveFile(name.Buffer()) ? 0 : -1;
}

}  // namespace fbxsdk_2006_11_1
