#include <platform/os/Folder.h>

#include <platform/os/File.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qalimor::os {

namespace {

constexpr int kNewFileFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
// A handle for the names of a folder only: its own permissions need not let
// us list it.
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// The stream of a descriptor; the descriptor is closed when that fails.
std::FILE* StreamOf(int fd) {
    if (fd < 0) return nullptr;
    std::FILE* stream = fdopen(fd, "wb");
    if (!stream) {
        const int failure = errno;
        close(fd);
        errno = failure;
    }
    return stream;
}

// Letters that differ from one call to the next and from one process to
// another, for names no other file is likely to have.
std::string UniqueLetters() {
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t value = 0;
    if (getrandom(&value, sizeof value, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof value)) value = 0;
    value ^= (static_cast<std::uint64_t>(getpid()) << 32) ^ counter.fetch_add(1);
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string letters;
    for (int i = 0; i < 10; ++i, value /= 36) letters += kLetters[value % 36];
    return letters;
}

}  // namespace

bool Folder::IsPlainName(const char* name) {
    return name && name[0] != '\0' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0 &&
           std::strpbrk(name, "/\\") == nullptr;
}

bool Folder::Open(const char* path) {
    Close();
    if (!path) {
        errno = EINVAL;
        return false;
    }
    mDescriptor = open(NativePath(path).c_str(), kFolderFlags);
    return mDescriptor >= 0;
}

bool Folder::OpenOrMake(const char* path) {
    Close();
    if (!path) {
        errno = EINVAL;
        return false;
    }
    const std::string native = NativePath(path);
    if (mkdir(native.c_str(), 0777) != 0 && errno != EEXIST) return false;
    mDescriptor = open(native.c_str(), kFolderFlags | O_NOFOLLOW);
    return mDescriptor >= 0;
}

void Folder::Close() {
    if (mDescriptor >= 0) close(mDescriptor);
    mDescriptor = -1;
}

NameKind Folder::KindOf(const char* name) const {
    struct stat info;
    if (!IsPlainName(name) || fstatat(mDescriptor, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return NameKind::eNone;
    return S_ISREG(info.st_mode) ? NameKind::eRegularFile : NameKind::eOther;
}

bool Folder::HoldsExactly(const char* name, const void* bytes, std::size_t size) const {
    if (!IsPlainName(name) || (bytes == nullptr && size > 0)) return false;
    // Non-blocking, so that a FIFO swapped in meanwhile is not waited on.
    const int fd = openat(mDescriptor, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    bool same = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) == size;
    const auto* expected = static_cast<const char*>(bytes);
    // One byte more than is left, so that a file grown meanwhile shows.
    std::vector<char> block(std::min<std::size_t>(size + 1, std::size_t{1} << 16));
    for (std::size_t done = 0; same;) {
        const ssize_t got = read(fd, block.data(), std::min(block.size(), size - done + 1));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            same = got == 0 && done == size;
            break;
        }
        const auto length = static_cast<std::size_t>(got);
        same = length <= size - done && std::memcmp(block.data(), expected + done, length) == 0;
        done += length;
    }
    close(fd);
    return same;
}

std::FILE* Folder::CreateNewFile(const char* name) const {
    if (!IsPlainName(name)) {
        errno = EINVAL;
        return nullptr;
    }
    return StreamOf(openat(mDescriptor, name, kNewFileFlags, 0666));
}

std::FILE* Folder::CreateTemporaryFile(const char* like, std::string& name) const {
    const std::string stem = like != nullptr ? std::string(like).substr(0, 64) : std::string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = "." + stem + "." + UniqueLetters();
        std::FILE* stream = CreateNewFile(name.c_str());
        if (stream != nullptr || errno != EEXIST) return stream;
    }
    return nullptr;
}

bool Folder::FinishNewFile(std::FILE* stream, const char* name, bool written, const char* replace) const {
    if (!stream) {
        errno = EINVAL;
        return false;
    }
    int failure = written ? 0 : (errno != 0 ? errno : EIO);
    if (failure == 0 && std::fflush(stream) != 0) failure = errno;
    if (failure == 0 && replace != nullptr) {
        if (!IsPlainName(replace)) {
            failure = EINVAL;
        } else if (renameat(mDescriptor, name, mDescriptor, replace) != 0) {
            failure = errno;
        }
    }
    // Looked at while the file is still open, so that no other file can
    // have come to be where it was.
    if (failure != 0) RemoveIfStill(name, fileno(stream));
    if (std::fclose(stream) != 0 && failure == 0) failure = errno;
    errno = failure;
    return failure == 0;
}

void Folder::RemoveIfStill(const char* name, int descriptor) const {
    struct stat mine;
    struct stat there;
    if (IsPlainName(name) && fstat(descriptor, &mine) == 0 &&
        fstatat(mDescriptor, name, &there, AT_SYMLINK_NOFOLLOW) == 0 && mine.st_dev == there.st_dev &&
        mine.st_ino == there.st_ino) {
        unlinkat(mDescriptor, name, 0);
    }
}

}  // namespace qalimor::os
