#include <platform/os/File.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qalimor::os {

std::string NativePath(std::string_view path) {
    std::string native(path);
    for (char& c : native) {
        if (c == '\\') c = '/';
    }
    return native;
}

namespace {

bool IdentityFrom(const struct stat& info, FileIdentity& identity) {
    identity = FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                            static_cast<unsigned>(info.st_mode & 07777), static_cast<std::uint32_t>(info.st_gid),
                            static_cast<std::uint32_t>(info.st_uid), static_cast<std::uint64_t>(info.st_size)};
    return true;
}

// Reduces a mode to what fopen accepts everywhere; false for anything else.
bool PortableMode(const char* mode, std::string& out) {
    if (!mode || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) return false;
    out.assign(1, mode[0]);
    bool plus = false;
    for (const char* p = mode + 1; *p; ++p) {
        if (*p == '+') {
            plus = true;
        } else if (*p != 'b' && *p != 't') {
            return false;
        }
    }
    if (plus) out += '+';
    out += 'b';
    return true;
}

}  // namespace

std::FILE* OpenFile(const char* path, const char* mode) {
    std::string portable;
    if (!path || !PortableMode(mode, portable)) {
        errno = EINVAL;
        return nullptr;
    }
    std::FILE* stream = std::fopen(NativePath(path).c_str(), portable.c_str());
    if (!stream) return nullptr;
    struct stat info;
    if (fstat(fileno(stream), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(stream);
        errno = EISDIR;
        return nullptr;
    }
    return stream;
}

bool IdentityOf(int descriptor, FileIdentity& identity) {
    struct stat info;
    return fstat(descriptor, &info) == 0 && IdentityFrom(info, identity);
}

bool IdentityOfName(int folder, const char* name, FileIdentity& identity, unsigned* type) {
    struct stat info;
    if (fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (type != nullptr) *type = static_cast<unsigned>(info.st_mode & S_IFMT);
    return IdentityFrom(info, identity);
}

int OpenRegularDescriptor(const char* path, std::uint64_t& size) {
    return OpenRegularDescriptorAt(AT_FDCWD, path, size);
}

int OpenRegularDescriptor(const char* path, FileIdentity& identity) {
    return OpenRegularDescriptorAt(AT_FDCWD, path, identity);
}

std::uint32_t ProcessUser() { return static_cast<std::uint32_t>(geteuid()); }

bool IsProcessOwn(const FileIdentity& identity) { return identity.owner == ProcessUser(); }

int OpenRegularDescriptorAt(int folder, const char* path, std::uint64_t& size, bool followLink) {
    FileIdentity identity;
    const int descriptor = OpenRegularDescriptorAt(folder, path, identity, followLink);
    if (descriptor >= 0) size = identity.size;
    return descriptor;
}

int OpenRegularDescriptorAt(int folder, const char* path, FileIdentity& identity, bool followLink) {
    if (!path) {
        errno = EINVAL;
        return -1;
    }
    // Non-blocking so that opening a FIFO with no writer returns at once.
    const int fd =
        openat(folder, NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0) return -1;
    struct stat info;
    int failure = 0;
    if (fstat(fd, &info) != 0) {
        failure = errno;
    } else if (!S_ISREG(info.st_mode)) {
        failure = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    }
    if (failure != 0) {
        close(fd);
        errno = failure;
        return -1;
    }
    IdentityFrom(info, identity);
    return fd;
}

std::FILE* OpenRegularFile(const char* path) {
    std::uint64_t size = 0;
    const int fd = OpenRegularDescriptor(path, size);
    if (fd < 0) return nullptr;
    // The status flags are known: those it was opened with, less O_NONBLOCK.
    std::FILE* stream = fcntl(fd, F_SETFL, O_RDONLY) == 0 ? fdopen(fd, "rb") : nullptr;
    if (!stream) {
        const int failure = errno;
        close(fd);
        errno = failure;
    }
    return stream;
}

bool ReadRegularFile(const char* path, std::uint64_t limit, std::string& bytes) {
    std::uint64_t size = 0;
    const int fd = OpenRegularDescriptor(path, size);
    if (fd < 0) return false;
    int failure = 0;
    if (size > limit) {
        failure = EFBIG;
    } else {
        bytes.assign(static_cast<std::size_t>(size), '\0');
        std::size_t done = 0;
        // Until the end, which may come sooner or later than the size said
        // when the file changes meanwhile, but never past the limit.
        for (;;) {
            if (done == bytes.size()) {
                if (bytes.size() > limit) {
                    failure = EFBIG;
                    break;
                }
                bytes.resize(std::min<std::uint64_t>(limit + 1, bytes.size() + (bytes.size() >> 1) + 4096));
            }
            const ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                failure = errno;
                break;
            }
            if (got == 0) break;
            done += static_cast<std::size_t>(got);
        }
        bytes.resize(failure == 0 ? done : 0);
    }
    close(fd);
    errno = failure;
    return failure == 0;
}

bool CanReadRegularFile(const char* path) {
    if (!path) {
        errno = EINVAL;
        return false;
    }
    const std::string native = NativePath(path);
    struct stat info;
    if (stat(native.c_str(), &info) != 0) return false;
    if (!S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    return access(native.c_str(), R_OK) == 0;
}

bool OpensAsRegularFile(const char* path) {
    std::uint64_t size = 0;
    const int fd = OpenRegularDescriptor(path, size);
    if (fd < 0) return false;
    close(fd);
    return true;
}

std::string OpenFailureText(int error) {
    if (error == EINVAL) return "not a regular file";
    return std::strerror(error);
}

bool RemoveFile(const char* path) {
    if (!path) {
        errno = EINVAL;
        return false;
    }
    return unlink(NativePath(path).c_str()) == 0;
}

bool RenameFile(const char* from, const char* to) {
    if (!from || !to) {
        errno = EINVAL;
        return false;
    }
    return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool ResizeFile(std::FILE* stream, std::int64_t size) {
    if (!stream || size < 0) {
        errno = EINVAL;
        return false;
    }
    if (std::fflush(stream) != 0) return false;
    return ftruncate(fileno(stream), static_cast<off_t>(size)) == 0;
}

bool IsRegularFile(const char* path) {
    struct stat info;
    return path && stat(NativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsDirectory(const char* path) {
    struct stat info;
    return path && stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const char* path) {
    struct stat info;
    return path && stat(NativePath(path).c_str(), &info) == 0;
}

bool MakeDirectory(const char* path) {
    if (!path) {
        errno = EINVAL;
        return false;
    }
    return mkdir(NativePath(path).c_str(), 0777) == 0;
}

bool RemoveEmptyDirectory(const char* path) {
    if (!path) {
        errno = EINVAL;
        return false;
    }
    return rmdir(NativePath(path).c_str()) == 0;
}

}  // namespace qalimor::os
