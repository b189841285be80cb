#include <platform/os/Folder.h>

#include <platform/os/File.h>

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
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

std::FILE* Folder::CreateNewFile(const char* name) const {
    if (!IsPlainName(name)) {
        errno = EINVAL;
        return nullptr;
    }
    return StreamOf(openat(mDescriptor, name, kNewFileFlags, 0666));
}

bool Folder::FinishNewFile(std::FILE* stream, const char* name, bool written) const {
    if (!stream) {
        errno = EINVAL;
        return false;
    }
    int failure = written ? 0 : (errno != 0 ? errno : EIO);
    if (failure == 0 && std::fflush(stream) != 0) failure = errno;
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
