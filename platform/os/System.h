// What the program asks of the machine it runs on: its name and its folders.
#ifndef PLATFORM_OS_SYSTEM_H
#define PLATFORM_OS_SYSTEM_H

#include <cstdint>
#include <string>

namespace qalimor::os {

// The machine's network name; false when it cannot be read.
bool HostName(std::string& name);

// The process's working folder (no trailing '/' except for the root itself);
// false when it cannot be read.
bool CurrentDirectory(std::string& path);

// The folder for temporary files, ending in '/': TMPDIR when that names a
// folder, else "/tmp/".
std::string TemporaryDirectory();

// Makes a new folder of the process's own (only its user may enter it) in
// the folder for temporary files, and gives its path (no trailing '/');
// false with errno set.
bool MakeTemporaryFolder(std::string& path);

// The memory the system could give the process now without ending a
// program to make room: what it has free with all the page cache it can
// reclaim (active and inactive file pages), or less where the process's
// memory control group (or one above it) leaves less room below its limit,
// that group's page cache counting as room. UINT64_MAX when the system
// tells nothing.
std::uint64_t AvailableMemory();
// The same, read from the files of a tree laid out as the system's
// (root + "/proc/meminfo", root + "/sys/fs/cgroup/..."); "" is the system's.
std::uint64_t AvailableMemoryUnder(const std::string& root);

}  // namespace qalimor::os

#endif
