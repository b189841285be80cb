#include <platform/os/Folder.h>

#include <platform/os/DirectoryReader.h>
#include <platform/os/File.h>
#include <platform/os/GroupShare.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qalimor::os {

namespace {

constexpr int kNewFileFlags = O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
// A handle for the names of a folder only: its own permissions need not let
// us list it.
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// The stream of a descriptor; the descriptor is closed when that fails.
std::FILE* StreamOf(int fd, bool readBack) {
    if (fd < 0) return nullptr;
    std::FILE* stream = fdopen(fd, readBack ? "w+b" : "wb");
    if (!stream) {
        const int failure = errno;
        close(fd);
        errno = failure;
    }
    return stream;
}

// As many links as the system itself follows in one path.
constexpr int kMaxLinks = 40;

// The text of the link open as descriptor (O_PATH, not followed); false
// with errno set.
bool ReadLinkOf(int descriptor, std::string& text) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlinkat(descriptor, "", buffer.data(), buffer.size());
        if (length < 0) return false;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            text.assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Pushes the names of the path so that its first comes out first; the
// names of a path ending in '/' end with "", which only a folder can be.
void PushNames(const std::string& path, std::vector<std::string>& names) {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t cut = path.find('/', start);
        parts.push_back(path.substr(start, cut == std::string::npos ? std::string::npos : cut - start));
        if (cut == std::string::npos) break;
        start = cut + 1;
    }
    names.insert(names.end(), parts.rbegin(), parts.rend());
}

constexpr std::size_t kStemBytes = 64;
// A hidden name's ten letters: five of a key, five that tie the key to the
// whole name of the file (which the stem may cut), so that neither another
// file's hidden name nor a name a user gave passes for one of the file's.
constexpr std::size_t kKeyLetters = 5;
constexpr std::uint64_t kKeys = 60466176;
constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
// The keys tried first, which an export finds again without reading the
// folder; past them, random ones.
constexpr std::uint64_t kKnownKeys = 16;

// A hash of the seed and the name, the same in every process.
std::uint64_t HashOf(std::string_view name, std::uint64_t seed) {
    std::uint64_t hash = 14695981039346656037u;
    const auto add = [&hash](unsigned char byte) { hash = (hash ^ byte) * 1099511628211u; };
    for (int shift = 0; shift < 64; shift += 8) add(static_cast<unsigned char>(seed >> shift));
    for (const char letter : name) add(static_cast<unsigned char>(letter));
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdu;
    return hash ^ (hash >> 33);
}

void AppendLetters(std::string& letters, std::uint64_t value) {
    for (std::size_t i = 0; i < kKeyLetters; ++i, value /= 36) letters += kLetters[value % 36];
}

// The key numbered so for the name: a known one, or past them one that
// differs from one call to the next and from one process to another.
std::uint64_t KeyOf(std::string_view like, std::uint64_t number) {
    if (number < kKnownKeys) return HashOf(like, number) % kKeys;
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t value = 0;
    if (getrandom(&value, sizeof value, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof value)) value = 0;
    return (value ^ (static_cast<std::uint64_t>(getpid()) << 32) ^ counter.fetch_add(1)) % kKeys;
}

// The start of every name made from like: ".<like>." (like cut to 64 bytes).
std::string StemOf(const char* like) {
    return "." + (like != nullptr ? std::string(like).substr(0, kStemBytes) : std::string()) + ".";
}

// The hidden name of the key for like: ".<like>.<ten letters><suffix>".
std::string HiddenName(const char* like, std::uint64_t key, std::string_view suffix) {
    std::string name = StemOf(like);
    AppendLetters(name, key);
    AppendLetters(name, HashOf(like, kKeys + key) % kKeys);
    return name.append(suffix);
}

// Tries names made from like, the known ones first, until take takes one
// or fails for another cause than a name taken (EEXIST); whether it took
// one, errno set when not.
bool TakeFreshName(const char* like, const char* suffix, std::string& name,
                   const std::function<bool(const char*)>& take) {
    for (std::uint64_t attempt = 0; attempt < 100; ++attempt) {
        name = HiddenName(like, KeyOf(like, attempt), suffix);
        if (take(name.c_str())) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

// Whether the name is one TakeFreshName makes from like, with no suffix or
// the one given.
bool IsFreshName(std::string_view name, const char* like, std::string_view suffix) {
    const std::string stem = StemOf(like);
    if (!name.starts_with(stem) || name.size() < stem.size() + 2 * kKeyLetters) return false;
    const std::string_view rest = name.substr(stem.size() + 2 * kKeyLetters);
    std::uint64_t key = 0;
    for (std::size_t i = kKeyLetters; i-- > 0;) {
        const char* letter = std::strchr(kLetters, name[stem.size() + i]);
        if (letter == nullptr || *letter == '\0') return false;
        key = key * 36 + static_cast<std::uint64_t>(letter - kLetters);
    }
    return (rest.empty() || rest == suffix) && name.substr(0, name.size() - rest.size()) == HiddenName(like, key, "");
}

// Opens the file of the name so that it can be held: for reading, or for
// writing where it may not be read; never waiting on a FIFO. -1 with errno
// set.
int OpenToHold(int folder, const char* name) {
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    const int descriptor = openat(folder, name, O_RDONLY | flags);
    return descriptor >= 0 || errno != EACCES ? descriptor : openat(folder, name, O_WRONLY | flags);
}

// Holds the open file where no one else does; false only where another
// does (a file system that holds no file leaves it unheld).
bool Hold(int descriptor) { return flock(descriptor, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK; }

// What has a hidden name: nothing (any more), a file of the process's own
// that an export still holds or that has other names, or what is none of
// its own.
enum class LeftOver { eNone, eOurs, eNotOurs };

// Removes the hidden file of the name where it is the process's own regular
// file of one name that no export holds.
LeftOver RemoveIfLeftOver(int folder, const char* name) {
    const auto process = static_cast<uid_t>(geteuid());
    struct stat seen;
    if (fstatat(folder, name, &seen, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? LeftOver::eNone : LeftOver::eNotOurs;
    }
    if (!S_ISREG(seen.st_mode) || seen.st_uid != process) return LeftOver::eNotOurs;
    const int held = OpenToHold(folder, name);
    if (held < 0) return LeftOver::eOurs;
    struct stat file;
    struct stat there;
    const bool removed = flock(held, LOCK_EX | LOCK_NB) == 0 && fstat(held, &file) == 0 && file.st_ino == seen.st_ino &&
                         file.st_dev == seen.st_dev && file.st_nlink == 1 && file.st_uid == process &&
                         fstatat(folder, name, &there, AT_SYMLINK_NOFOLLOW) == 0 && there.st_ino == file.st_ino &&
                         there.st_dev == file.st_dev && unlinkat(folder, name, 0) == 0;
    close(held);
    return removed ? LeftOver::eNone : LeftOver::eOurs;
}

}  // namespace

Folder::Folder(Folder&& other) noexcept : mDescriptor(std::exchange(other.mDescriptor, -1)) {}

Folder& Folder::operator=(Folder&& other) noexcept {
    if (&other != this) {
        Close();
        mDescriptor = std::exchange(other.mDescriptor, -1);
    }
    return *this;
}

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

bool Folder::OpenHolderOf(const char* path, std::string& name) {
    Close();
    if (!path) {
        errno = EINVAL;
        return false;
    }
    const std::string native = NativePath(path);
    const std::size_t cut = native.find_last_of('/');
    name = cut == std::string::npos ? native : native.substr(cut + 1);
    return Open(cut == std::string::npos ? "." : cut == 0 ? "/" : native.substr(0, cut).c_str());
}

bool StickyFolderAllows(const FileIdentity& folder, std::uint32_t owner) {
    const bool shared = (folder.permissions & S_ISVTX) != 0 && (folder.permissions & S_IWOTH) != 0;
    return !shared || owner == static_cast<std::uint32_t>(geteuid()) || owner == folder.owner;
}

bool Folder::OpenHolderOfTarget(const char* path, std::string& name) {
    Close();
    if (path == nullptr || path[0] == '\0') {
        errno = path == nullptr ? EINVAL : ENOENT;
        return false;
    }
    const std::string native = NativePath(path);
    mDescriptor = open(native[0] == '/' ? "/" : ".", kFolderFlags);
    std::vector<std::string> names;
    PushNames(native[0] == '/' ? native.substr(1) : native, names);
    int failure = 0;
    for (int links = 0; mDescriptor >= 0 && failure == 0;) {
        const std::string part = std::move(names.back());
        names.pop_back();
        const bool last = names.empty();
        if (last && (part.empty() || part == "." || part == "..")) {
            failure = EISDIR;
            break;
        }
        if (part.empty() || part == ".") continue;
        // Looked at as it is, never followed by the system.
        const int next = openat(mDescriptor, part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        struct stat info;
        if (next < 0 || fstat(next, &info) != 0) {
            failure = errno;
            if (next >= 0) close(next);
            // A free last name is the file to make.
            if (last && failure == ENOENT) {
                name = part;
                return true;
            }
            break;
        }
        if (!S_ISLNK(info.st_mode)) {
            if (last) {
                close(next);
                name = part;
                return true;
            }
            if (!S_ISDIR(info.st_mode)) {
                close(next);
                failure = ENOTDIR;
                break;
            }
            close(mDescriptor);
            mDescriptor = next;
            continue;
        }
        FileIdentity folder;
        std::string text;
        if (++links > kMaxLinks) {
            failure = ELOOP;
        } else if (!qalimor::os::IdentityOf(mDescriptor, folder) || !ReadLinkOf(next, text)) {
            failure = errno;
        } else if (!StickyFolderAllows(folder, static_cast<std::uint32_t>(info.st_uid))) {
            failure = EACCES;
        } else if (text.empty()) {
            failure = ENOENT;
        }
        close(next);
        if (failure != 0) break;
        // The link's names come before the rest, from the root for a link
        // that starts there, else from the link's own folder.
        if (text[0] == '/') {
            close(mDescriptor);
            mDescriptor = open("/", kFolderFlags);
            text.erase(0, 1);
        }
        PushNames(text, names);
    }
    if (failure == 0) failure = errno;
    Close();
    errno = failure;
    return false;
}

bool Folder::OpenOrMakeIn(const Folder& parent, const char* name, unsigned mode, std::uint32_t group) {
    Close();
    if (!IsPlainName(name)) {
        errno = EINVAL;
        return false;
    }
    const bool made = mkdirat(parent.mDescriptor, name, static_cast<mode_t>(WithoutGroupBits(mode))) == 0;
    if (!made && errno != EEXIST) return false;
    mDescriptor = openat(parent.mDescriptor, name, kFolderFlags | O_NOFOLLOW);
    if (mDescriptor < 0) return false;
    if (made) {
        // Our own handle only names the folder; one that may change it is
        // had through it, never through the name again.
        const int folder = openat(mDescriptor, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        // A folder that cannot be given its group's bits keeps none.
        if (folder >= 0) {
            ShareWithGroup(folder, group, mode);
            close(folder);
        }
    }
    return true;
}

bool Folder::OpenSame(const Folder& other) {
    Close();
    mDescriptor = fcntl(other.mDescriptor, F_DUPFD_CLOEXEC, 0);
    return mDescriptor >= 0;
}

void Folder::Close() {
    if (mDescriptor >= 0) close(mDescriptor);
    mDescriptor = -1;
}

NameKind Folder::KindOf(const char* name) const {
    FileIdentity identity;
    return KindOf(name, identity);
}

NameKind Folder::KindOf(const char* name, FileIdentity& identity) const {
    unsigned type = 0;
    if (!IsPlainName(name) || !IdentityOfName(mDescriptor, name, identity, &type)) return NameKind::eNone;
    if (S_ISREG(type)) return NameKind::eRegularFile;
    if (S_ISLNK(type)) return NameKind::eLink;
    if (S_ISFIFO(type)) return NameKind::eFifo;
    if (S_ISDIR(type)) return NameKind::eFolder;
    if (S_ISCHR(type) || S_ISBLK(type)) return NameKind::eDevice;
    if (S_ISSOCK(type)) return NameKind::eSocket;
    return NameKind::eOther;
}

bool Folder::IdentityOf(const char* name, FileIdentity& identity) const {
    if (!IsPlainName(name)) {
        errno = EINVAL;
        return false;
    }
    return IdentityOfName(mDescriptor, name, identity);
}

int Folder::OpenRegularDescriptor(const char* name, std::uint64_t& size) const {
    if (name == nullptr || std::strpbrk(name, "/\\") != nullptr) {
        errno = EINVAL;
        return -1;
    }
    return OpenRegularDescriptorAt(mDescriptor, name[0] == '\0' ? "." : name, size);
}

bool Folder::HoldsExactly(const char* name, const void* bytes, std::size_t size) const {
    if (bytes == nullptr && size > 0) return false;
    const auto* expected = static_cast<const char*>(bytes);
    return Holds(name, size, [expected](std::uint64_t offset, std::size_t) { return expected + offset; });
}

bool Folder::HoldsSameAs(const char* name, int descriptor) const {
    struct stat source;
    if (fstat(descriptor, &source) != 0 || !S_ISREG(source.st_mode)) return false;
    std::vector<char> block;
    return Holds(name, static_cast<std::uint64_t>(source.st_size),
                 [&](std::uint64_t offset, std::size_t length) -> const char* {
                     block.resize(length);
                     for (std::size_t done = 0; done < length;) {
                         const ssize_t got = pread(descriptor, block.data() + done, length - done,
                                                   static_cast<off_t>(offset + done));
                         if (got < 0 && errno == EINTR) continue;
                         if (got <= 0) return nullptr;
                         done += static_cast<std::size_t>(got);
                     }
                     return block.data();
                 });
}

bool Folder::Holds(const char* name, std::uint64_t size,
                   const std::function<const char*(std::uint64_t, std::size_t)>& expected) const {
    if (!IsPlainName(name)) return false;
    // Non-blocking, so that a FIFO swapped in meanwhile is not waited on.
    const int fd = openat(mDescriptor, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    bool same = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) == size;
    // One byte more than is left, so that a file grown meanwhile shows.
    std::vector<char> block(static_cast<std::size_t>(std::min<std::uint64_t>(size + 1, std::uint64_t{1} << 16)));
    for (std::uint64_t done = 0; same;) {
        const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - done + 1));
        const ssize_t got = read(fd, block.data(), wanted);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            same = got == 0 && done == size;
            break;
        }
        const auto length = static_cast<std::size_t>(got);
        const char* want = length <= size - done ? expected(done, length) : nullptr;
        same = want != nullptr && std::memcmp(block.data(), want, length) == 0;
        done += length;
    }
    close(fd);
    return same;
}

std::FILE* Folder::CreateNewFile(const char* name, unsigned mode, bool readBack) const {
    if (!IsPlainName(name)) {
        errno = EINVAL;
        return nullptr;
    }
    const int access = readBack ? O_RDWR : O_WRONLY;
    return StreamOf(openat(mDescriptor, name, kNewFileFlags | access, static_cast<mode_t>(mode)), readBack);
}

std::FILE* Folder::CreateTemporaryFile(const char* like, std::string& name, unsigned mode, bool readBack) const {
    std::FILE* stream = nullptr;
    TakeFreshName(like, "", name, [&](const char* fresh) {
        stream = CreateNewFile(fresh, mode, readBack);
        // Named before it is held, it may have been taken for a left-over
        // meanwhile: kept only where held and still named so. The name is
        // left to whoever took it: removed by name here, it could be another
        // export's new file of the same name by then.
        if (stream == nullptr || (Hold(fileno(stream)) && IsStill(fresh, fileno(stream)))) return stream != nullptr;
        std::fclose(stream);
        stream = nullptr;
        // Another name is tried.
        errno = EEXIST;
        return false;
    });
    return stream;
}

int Folder::CreateUnnamedFile(unsigned mode) const {
    return openat(mDescriptor, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, static_cast<mode_t>(mode));
}

bool Folder::LinkUnnamed(int descriptor, const char* like, const char* suffix, std::string& name) const {
    Hold(descriptor);
    return TakeFreshName(like, suffix, name, [&](const char* fresh) { return LinkUnnamedAs(descriptor, fresh); });
}

bool Folder::LinkUnnamedAs(int descriptor, const char* name) const {
    if (!IsPlainName(name)) {
        errno = EINVAL;
        return false;
    }
    if (linkat(descriptor, "", mDescriptor, name, AT_EMPTY_PATH) == 0) return true;
    // A process that may not link by handle links through its own view of
    // its files.
    char path[32] = "/proc/self/fd/";
    *std::to_chars(path + 14, path + sizeof path - 1, descriptor).ptr = '\0';
    return errno != EEXIST && linkat(AT_FDCWD, path, mDescriptor, name, AT_SYMLINK_FOLLOW) == 0;
}

int Folder::SetAside(const char* name, const char* suffix, std::string& aside) const {
    if (!IsPlainName(name)) {
        errno = EINVAL;
        return -1;
    }
    for (;;) {
        int held = OpenToHold(mDescriptor, name);
        // One the process may neither read nor write, or a link, stays
        // unheld.
        if (held < 0 && errno != ENOENT) held = openat(mDescriptor, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (held < 0) return -1;
        Hold(held);
        bool linked = false;
        const bool set = TakeFreshName(name, suffix, aside, [&](const char* fresh) {
            linked = linkat(mDescriptor, name, mDescriptor, fresh, 0) == 0;
            if (linked) return true;
            return errno != EEXIST && errno != ENOENT &&
                   renameat2(mDescriptor, name, mDescriptor, fresh, RENAME_NOREPLACE) == 0;
        });
        if (set && IsStill(aside.c_str(), held)) return held;
        const int failure = errno;
        close(held);
        if (!set) {
            errno = failure;
            return -1;
        }
        // Another file took the name between the two, and is set aside
        // held in its turn. The hidden name goes where it was only a second
        // link: that file may have lost the name again meanwhile, and a
        // name given back over a newer file would fail and leave the link
        // for good. A file renamed to it gets its own name back.
        const int other = openat(mDescriptor, aside.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (other >= 0 && (linked || IsStill(name, other))) {
            RemoveIfStill(aside.c_str(), other);
        } else {
            renameat2(mDescriptor, aside.c_str(), mDescriptor, name, RENAME_NOREPLACE);
        }
        if (other >= 0) close(other);
    }
}

void Folder::RemoveLeftOvers(const char* like) const {
    if (!IsPlainName(like)) return;
    // An export took a name past the known ones only where each was taken,
    // by another user's file, say: the folder is read only then.
    bool read = false;
    for (const char* suffix : {"", ".earlier"}) {
        bool allTaken = true;
        for (std::uint64_t number = 0; number < kKnownKeys; ++number) {
            const LeftOver found = RemoveIfLeftOver(mDescriptor, HiddenName(like, KeyOf(like, number), suffix).c_str());
            allTaken = allTaken && found != LeftOver::eNone;
            read = read || found == LeftOver::eNotOurs;
        }
        read = read || allTaken;
    }
    DirectoryReader names;
    if (!read || !names.OpenAt(mDescriptor)) return;
    std::vector<std::string> hidden;
    for (std::string name; names.Next(name);) {
        if (IsFreshName(name, like, ".earlier")) hidden.push_back(name);
    }
    for (const std::string& name : hidden) RemoveIfLeftOver(mDescriptor, name.c_str());
}

bool Folder::KeepsEveryName() const {
    struct statx info;
    return statx(mDescriptor, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, 0, &info) == 0 &&
           (info.stx_attributes_mask & info.stx_attributes & STATX_ATTR_APPEND) != 0;
}

bool Folder::FinishNewFile(std::FILE* stream, const char* name, bool written, const char* target,
                           Takeover takeover) const {
    if (!stream) {
        errno = EINVAL;
        return false;
    }
    int failure = written ? 0 : (errno != 0 ? errno : EIO);
    if (failure == 0 && std::fflush(stream) != 0) failure = errno;
    if (failure == 0 && target != nullptr) {
        if (!IsPlainName(target)) {
            failure = EINVAL;
        } else if (!Rename(name, target, takeover)) {
            failure = errno;
        } else if (takeover == Takeover::eOnlyWhereFree) {
            // Where the file took the target as a second name, the first goes.
            RemoveIfStill(name, fileno(stream));
        }
    }
    // Looked at while the file is still open, so that no other file can
    // have come to be where it was.
    if (failure != 0) RemoveIfStill(name, fileno(stream));
    if (std::fclose(stream) != 0 && failure == 0) failure = errno;
    errno = failure;
    return failure == 0;
}

bool Folder::Rename(const char* name, const char* target, Takeover takeover) const {
    if (takeover == Takeover::eReplace) return renameat(mDescriptor, name, mDescriptor, target) == 0;
    if (renameat2(mDescriptor, name, mDescriptor, target, RENAME_NOREPLACE) == 0) return true;
    // A file system without that rename: a second name, which only a free
    // name can become, then the first one given up by the caller.
    if (errno != EINVAL && errno != ENOSYS) return false;
    return linkat(mDescriptor, name, mDescriptor, target, 0) == 0;
}

bool Folder::IsStill(const char* name, int descriptor) const {
    struct stat mine;
    struct stat there;
    return IsPlainName(name) && fstat(descriptor, &mine) == 0 &&
           fstatat(mDescriptor, name, &there, AT_SYMLINK_NOFOLLOW) == 0 && mine.st_dev == there.st_dev &&
           mine.st_ino == there.st_ino;
}

void Folder::RemoveIfStill(const char* name, int descriptor) const {
    if (IsStill(name, descriptor)) unlinkat(mDescriptor, name, 0);
}

}  // namespace qalimor::os
