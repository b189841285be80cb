#include <fbxfilesdk/core/KFile.h>

#include <fbxfilesdk/core/KFbxSystemUtils.h>
#include <platform/os/File.h>

#include <cerrno>
#include <cstdarg>
#include <climits>

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

KFile::KFile() : mStream(nullptr), mOpen(false), mFileName() {}

KFile::~KFile() { Close(); }

bool KFile::OpenWithModeString(const char* name, const char* mode) {
    Close();
    if (name && mode && FitsUtf16Buffer(name) && FitsUtf16Buffer(mode)) {
        mStream = qalimor::os::OpenFile(name, mode);
    }
    mOpen = mStream != nullptr;
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

void KFile::Close() {
    if (!mOpen) return;
    mOpen = false;
    std::fclose(mStream);
    mStream = nullptr;
}

int KFile::Read(void* buffer, int count) {
    if (!mOpen || !buffer || count <= 0) return 0;
    return static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(count), mStream));
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

int KFile::Write(const void* buffer, int count) {
    if (!mOpen || !buffer || count <= 0) return 0;
    return static_cast<int>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), mStream));
}

void KFile::Seek(int origin, int offset) {
    if (!mOpen) return;
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    std::fseek(mStream, offset, whence);
}

int KFile::Tell() {
    if (!mOpen) return 0;
    const long position = std::ftell(mStream);
    return position > INT_MAX ? -1 : static_cast<int>(position);
}

void KFile::SetPosition(int offset) {
    if (mOpen) std::fseek(mStream, offset, SEEK_SET);
}

bool KFile::IsOpen() { return mOpen; }

const KString& KFile::GetFileName() { return mFileName; }

int KFile::Error() { return mOpen ? std::ferror(mStream) : 0; }

void KFile::Flush() {
    if (mOpen) std::fflush(mStream);
}

bool KFile::Eof() { return mOpen && std::feof(mStream) != 0; }

void KFile::Printf(const char* format, ...) {
    if (!mOpen || !format) return;
    char text[16384];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length <= 0) return;
    const int written = length < static_cast<int>(sizeof text) ? length : static_cast<int>(sizeof text) - 1;
    std::fwrite(text, 1, static_cast<std::size_t>(written), mStream);
}

int KFile::SetSize(int size) {
    if (!mOpen || size < 0) return -1;
    return qalimor::os::ResizeFile(mStream, size) ? 0 : -1;
}

void* KFile::GetMemoryBuffer(int*) { return nullptr; }

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
