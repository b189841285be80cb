#include <platform/os/ReplacementFile.h>

#include <platform/os/File.h>

#include <cerrno>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qalimor::os {

namespace {

// As many links as the system itself follows in one path.
constexpr int kMaxLinks = 40;

// The text of the link at path; false with errno set.
bool ReadLink(const std::string& path, std::string& text) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0) return false;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            text.assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The path of the file that path leads to, link after link; a path that is
// no link leads to itself. False with errno set (ELOOP for a loop).
bool FollowLinks(std::string path, std::string& target) {
    for (int followed = 0; followed <= kMaxLinks; ++followed) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = path;
            return true;
        }
        std::string text;
        if (!ReadLink(path, text)) return false;
        if (text.empty() || text[0] != '/') {
            const std::size_t cut = path.find_last_of('/');
            text.insert(0, cut == std::string::npos ? std::string() : path.substr(0, cut + 1));
        }
        path = text;
    }
    errno = ELOOP;
    return false;
}

}  // namespace

bool ReplacementFile::Open(const char* path, bool readBack) {
    Close(false);
    if (path == nullptr) {
        errno = EINVAL;
        return false;
    }
    std::string target;
    if (!FollowLinks(NativePath(path), target)) return false;
    if (!mFolder.OpenHolderOf(target.c_str(), mName)) return false;
    const NameKind kind = mFolder.KindOf(mName.c_str());
    // A name that is no plain one, a folder, or a link put there meanwhile
    // gets the answer the system gives to opening it.
    if (!Folder::IsPlainName(mName.c_str()) || (kind != NameKind::eNone && kind != NameKind::eRegularFile)) {
        return OpenInPlace(path, readBack);
    }
    FileIdentity replaced;
    const bool replacing = kind == NameKind::eRegularFile && mFolder.IdentityOf(mName.c_str(), replaced);
    // A file the process may not write is not replaced either.
    if (replacing && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        const int failure = errno;
        mFolder.Close();
        errno = failure;
        return false;
    }
    // Made private to the process until it has the replaced file's owner.
    mStream = mFolder.CreateTemporaryFile(mName.c_str(), mTemporary, replacing ? 0600 : 0666, readBack);
    if (mStream == nullptr) {
        const int failure = errno;
        mTemporary.clear();
        mFolder.Close();
        // Where the folder refuses new files, a file the process may write
        // is written as before; one it may not write fails as it would.
        if (replacing && (failure == EACCES || failure == EPERM)) return OpenInPlace(path, readBack);
        errno = failure;
        return false;
    }
    if (replacing) TakeOwnershipOf(replaced);
    return true;
}

bool ReplacementFile::OpenInPlace(const char* path, bool readBack) {
    mFolder.Close();
    mName.clear();
    mTemporary.clear();
    mStream = OpenFile(path, readBack ? "w+b" : "wb");
    return mStream != nullptr;
}

void ReplacementFile::TakeOwnershipOf(const FileIdentity& replaced) {
    const int descriptor = fileno(mStream);
    const auto group = static_cast<gid_t>(replaced.group);
    // The owner only a privileged process may give; the group, one the
    // process is in. Either refused, the file keeps the process's.
    if (fchown(descriptor, static_cast<uid_t>(replaced.owner), group) != 0) {
        [[maybe_unused]] const int grouped = fchown(descriptor, static_cast<uid_t>(-1), group);
    }
    // After the owner: a change of owner may clear some of the bits.
    fchmod(descriptor, static_cast<mode_t>(replaced.permissions));
}

bool ReplacementFile::Close(bool whole) {
    std::FILE* stream = mStream;
    mStream = nullptr;
    if (stream == nullptr) return true;
    bool done = true;
    if (mTemporary.empty()) {
        // Written in place: what was written is there, whole or not.
        const bool flushed = std::fflush(stream) == 0 && std::ferror(stream) == 0;
        const int failure = errno;
        done = std::fclose(stream) == 0 && flushed;
        if (!flushed) errno = failure;
    } else {
        errno = 0;
        // On the disk before it takes the name: a crash after the rename
        // must not leave the name to a file whose bytes were lost.
        const bool synced =
            whole && std::fflush(stream) == 0 && std::ferror(stream) == 0 && fsync(fileno(stream)) == 0;
        if (whole && !synced && errno == 0) errno = EIO;
        done = mFolder.FinishNewFile(stream, mTemporary.c_str(), synced, mName.c_str()) || !whole;
    }
    const int failure = errno;
    mFolder.Close();
    mName.clear();
    mTemporary.clear();
    errno = failure;
    return done;
}

}  // namespace qalimor::os
