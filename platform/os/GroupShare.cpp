#include <platform/os/GroupShare.h>

#include <cerrno>
#include <charconv>
#include <cstddef>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qalimor::os {

namespace {

// The process's umask, read where the system shows it, near the start of
// the process's status: asking the system for it means setting it, which
// would leave every other thread a moment to make files without it. Where
// it cannot be read, everything is masked.
unsigned ProcessUmask() {
    unsigned mask = 0777;
    const int fd = open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return mask;
    char text[1024];
    std::size_t size = 0;
    while (size < sizeof text) {
        const ssize_t got = read(fd, text + size, sizeof text - size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        size += static_cast<std::size_t>(got);
    }
    close(fd);
    const std::string_view status(text, size);
    constexpr std::string_view kKey = "\nUmask:";
    const std::size_t key = status.find(kKey);
    if (key != std::string_view::npos) {
        const std::size_t digits = status.find_first_not_of(" \t", key + kKey.size());
        unsigned value = 0;
        if (digits != std::string_view::npos &&
            std::from_chars(text + digits, text + size, value, 8).ec == std::errc()) {
            mask = value & 0777;
        }
    }
    return mask;
}

}  // namespace

bool ShareWithGroup(int descriptor, std::uint32_t group, unsigned mode) {
    struct stat info;
    if (fstat(descriptor, &info) != 0) return false;
    if (info.st_gid != static_cast<gid_t>(group)) {
        if (fchown(descriptor, static_cast<uid_t>(-1), static_cast<gid_t>(group)) != 0) return false;
        // A change of group may take the set-id bits away.
        if (fstat(descriptor, &info) != 0) return false;
    }
    const unsigned bits = mode & 070 & ~ProcessUmask();
    return bits == 0 || fchmod(descriptor, static_cast<mode_t>((info.st_mode & 07707) | bits)) == 0;
}

}  // namespace qalimor::os
