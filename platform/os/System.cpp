#include <platform/os/System.h>

#include <platform/os/File.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace qalimor::os {

namespace {

constexpr std::uint64_t kUnknown = UINT64_MAX;

// The number that follows blanks at the start of text; false when none does.
bool ParseNumber(const std::string& text, std::size_t from, std::uint64_t& value) {
    from = text.find_first_not_of(" \t", from);
    if (from == std::string::npos) return false;
    const char* end = text.data() + text.size();
    return std::from_chars(text.data() + from, end, value).ec == std::errc();
}

// The number after key on the line of a file that begins with it, as
// /proc/meminfo ("MemAvailable:") and memory.stat ("inactive_file ") hold
// them; false when there is none.
bool ReadKeyedNumber(const std::string& path, const char* key, std::uint64_t& value) {
    std::ifstream in(path);
    const std::size_t length = std::strlen(key);
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, length, key) == 0) return ParseNumber(line, length, value);
    }
    return false;
}

// The number a file holds alone; false for none ("max": no limit).
bool ReadNumber(const std::string& path, std::uint64_t& value) {
    std::ifstream in(path);
    std::string line;
    return std::getline(in, line) && ParseNumber(line, 0, value);
}

// The page cache a memory.stat or /proc/meminfo counts under the keys of
// its active and inactive file pages: what can be reclaimed for a program
// that asks, without ending one.
std::uint64_t FilePages(const std::string& path, const char* activeKey, const char* inactiveKey) {
    std::uint64_t active = 0;
    std::uint64_t inactive = 0;
    ReadKeyedNumber(path, activeKey, active);
    ReadKeyedNumber(path, inactiveKey, inactive);
    return active > kUnknown - inactive ? kUnknown : active + inactive;
}

// The room below the memory limits of the process's control group and the
// groups above it, in either version's layout; kUnknown where none is set.
// Usage counts the group's page cache, which the group gives back before it
// runs short, so that cache counts as room.
std::uint64_t ControlGroupRoom(const std::string& root) {
    std::ifstream groups(root + "/proc/self/cgroup");
    std::uint64_t room = kUnknown;
    // Each line is "id:controllers:path": version 2 names no controllers,
    // version 1 has a hierarchy of its own for "memory".
    for (std::string line; std::getline(groups, line);) {
        const std::size_t first = line.find(':');
        const std::size_t second = first == std::string::npos ? first : line.find(':', first + 1);
        if (second == std::string::npos) continue;
        const std::string controllers = "," + line.substr(first + 1, second - first - 1) + ",";
        const bool unified = controllers == ",,";
        if (!unified && controllers.find(",memory,") == std::string::npos) continue;
        const std::string base = root + (unified ? "/sys/fs/cgroup" : "/sys/fs/cgroup/memory");
        const char* const limitName = unified ? "/memory.max" : "/memory.limit_in_bytes";
        const char* const usageName = unified ? "/memory.current" : "/memory.usage_in_bytes";
        // Version 1 counts a group's own pages and, with "total_", those of
        // the groups below it too, as its usage does.
        const char* const activeKey = unified ? "active_file " : "total_active_file ";
        const char* const inactiveKey = unified ? "inactive_file " : "total_inactive_file ";
        // The group's own limit and those of the groups above it, up to the root.
        std::string path = line.substr(second + 1);
        if (path == "/") path.clear();
        for (;;) {
            const std::string group = base + path;
            std::uint64_t limit = 0;
            std::uint64_t usage = 0;
            if (ReadNumber(group + limitName, limit) && ReadNumber(group + usageName, usage)) {
                const std::uint64_t cache = FilePages(group + "/memory.stat", activeKey, inactiveKey);
                const std::uint64_t used = usage > cache ? usage - cache : 0;
                room = std::min(room, limit > used ? limit - used : 0);
            }
            if (path.empty()) break;
            const std::size_t slash = path.find_last_of('/');
            path.erase(slash == std::string::npos ? 0 : slash);
        }
    }
    return room;
}

// In bytes; kUnknown beyond what 64 bits hold.
std::uint64_t FromKilobytes(std::uint64_t kilobytes) { return kilobytes < kUnknown / 1024 ? kilobytes * 1024 : kUnknown; }

// What the system has free, with all its page cache: its own estimate of
// what is available keeps part of the cache back.
std::uint64_t SystemRoom(const std::string& root) {
    const std::string meminfo = root + "/proc/meminfo";
    std::uint64_t available = 0;
    std::uint64_t unused = 0;
    const bool estimated = ReadKeyedNumber(meminfo, "MemAvailable:", available);
    if (!ReadKeyedNumber(meminfo, "MemFree:", unused)) return estimated ? FromKilobytes(available) : kUnknown;
    const std::uint64_t cache = FilePages(meminfo, "Active(file):", "Inactive(file):");
    return FromKilobytes(std::max(available, unused > kUnknown - cache ? kUnknown : unused + cache));
}

}  // namespace

bool HostName(std::string& name) {
    char buffer[256];
    if (gethostname(buffer, sizeof buffer) != 0) return false;
    buffer[sizeof buffer - 1] = '\0';
    name = buffer;
    return !name.empty();
}

bool CurrentDirectory(std::string& path) {
    std::vector<char> buffer(256);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size())) {
            path = buffer.data();
            return true;
        }
        if (errno != ERANGE || buffer.size() >= (std::size_t{1} << 20)) return false;
        buffer.resize(buffer.size() * 2);
    }
}

std::string TemporaryDirectory() {
    std::string folder;
    const char* fromEnvironment = std::getenv("TMPDIR");
    if (fromEnvironment && *fromEnvironment && IsDirectory(fromEnvironment)) {
        folder = fromEnvironment;
    } else {
        folder = "/tmp";
    }
    if (folder.back() != '/') folder += '/';
    return folder;
}

bool MakeTemporaryFolder(std::string& path) {
    std::string pattern = TemporaryDirectory() + "qalimor-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return false;
    path = pattern;
    return true;
}

std::uint64_t AvailableMemory() { return AvailableMemoryUnder(std::string()); }

std::uint64_t AvailableMemoryUnder(const std::string& root) { return std::min(SystemRoom(root), ControlGroupRoom(root)); }

}  // namespace qalimor::os
