#include <platform/os/FileAccess.h>

#include <cerrno>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace qalimor::os {

namespace {

// The names of the file's extended attributes, each ended by '\0'; a file
// system that keeps none gives none. False with errno set.
bool AttributeNames(int descriptor, std::string& names) {
    for (;;) {
        const ssize_t size = flistxattr(descriptor, nullptr, 0);
        if (size < 0) {
            names.clear();
            return errno == ENOTSUP;
        }
        names.resize(static_cast<std::size_t>(size));
        if (size == 0) return true;
        const ssize_t got = flistxattr(descriptor, names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            return true;
        }
        // Grown meanwhile.
        if (errno != ERANGE) return false;
    }
}

bool AttributeValue(int descriptor, const char* name, std::string& value) {
    for (;;) {
        const ssize_t size = fgetxattr(descriptor, name, nullptr, 0);
        if (size < 0) return false;
        value.resize(static_cast<std::size_t>(size));
        if (size == 0) return true;
        const ssize_t got = fgetxattr(descriptor, name, value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
}

// Calls take(name) for each name of the list until one returns false.
template <class Take>
bool EachName(const std::string& names, Take take) {
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
        if (!take(names.c_str() + at)) return false;
    }
    return true;
}

bool HasName(const std::string& names, const char* name) {
    return !EachName(names, [name](const char* listed) { return std::strcmp(listed, name) != 0; });
}

}  // namespace

bool TakeAccessOf(int from, int descriptor) {
    struct stat source;
    struct stat made;
    if (fstat(from, &source) != 0 || fstat(descriptor, &made) != 0) return false;
    if ((made.st_uid != source.st_uid || made.st_gid != source.st_gid) &&
        fchown(descriptor, made.st_uid != source.st_uid ? source.st_uid : static_cast<uid_t>(-1),
               made.st_gid != source.st_gid ? source.st_gid : static_cast<gid_t>(-1)) != 0) {
        return false;
    }
    // Listed after the change of owner, which drops some.
    std::string kept;
    std::string own;
    if (!AttributeNames(from, kept) || !AttributeNames(descriptor, own)) return false;
    // What the new file was given of its own (an access list its folder
    // hands down, say) goes.
    const bool cleared = EachName(own, [&](const char* name) {
        return HasName(kept, name) || fremovexattr(descriptor, name) == 0;
    });
    std::string value;
    std::string present;
    const bool copied = cleared && EachName(kept, [&](const char* name) {
        if (!AttributeValue(from, name, value)) return false;
        // One the new file already holds as it is (a security label the
        // system gave it) is not set again: the process may not be let.
        if (HasName(own, name) && AttributeValue(descriptor, name, present) && present == value) return true;
        return fsetxattr(descriptor, name, value.data(), value.size(), 0) == 0;
    });
    // The bits last: an owner changed or an access list set change some.
    if (!copied || fchmod(descriptor, source.st_mode & 07777) != 0 || fstat(descriptor, &made) != 0) return false;
    // Bits the process may not give (a set-group-id bit for a group it is
    // not in) are dropped without a word.
    if (made.st_uid != source.st_uid || made.st_gid != source.st_gid ||
        (made.st_mode & 07777) != (source.st_mode & 07777)) {
        errno = EPERM;
        return false;
    }
    return true;
}

}  // namespace qalimor::os
