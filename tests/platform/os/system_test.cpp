#include <platform/os/System.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using namespace qalimor::os;

TEST(OsSystem, TemporaryDirectoryFollowsTmpdirAndEndsInSlash) {
    const char* saved = std::getenv("TMPDIR");
    const std::string previous = saved ? saved : "";
    setenv("TMPDIR", "/", 1);
    EXPECT_EQ(TemporaryDirectory(), "/");
    setenv("TMPDIR", "/no/such/folder/at/all", 1);
    EXPECT_EQ(TemporaryDirectory(), "/tmp/");
    if (saved) {
        setenv("TMPDIR", previous.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

// A system's files as a tree of its own: (path under the root, content).
struct MemoryFiles {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;
    std::uint64_t room;
};

std::string Kilobytes(std::uint64_t mebibytes) { return std::to_string(mebibytes * 1024) + " kB\n"; }
std::string Bytes(std::uint64_t mebibytes) { return std::to_string(mebibytes * kMiB) + "\n"; }

// A machine of 8 GiB with 7 GiB free: its own figure is never the smaller.
const std::pair<std::string, std::string> kRoomyMachine{
    "proc/meminfo", "MemTotal: " + Kilobytes(8192) + "MemFree: " + Kilobytes(7168) + "MemAvailable: " +
                        Kilobytes(7400) + "Active(file): " + Kilobytes(100) + "Inactive(file): " + Kilobytes(100)};

}  // namespace

// The page cache of a file just copied fills a group's room; it is given
// back before the group runs short, so it counts as room, active or not.
TEST(OsSystem, AvailableMemoryCountsThePageCacheTheSystemAndItsGroupsReclaim) {
    const std::vector<MemoryFiles> cases = {
        {"a version 2 group of 560 MiB filled by the cache of a copied file",
         {kRoomyMachine,
          {"proc/self/cgroup", "0::/job\n"},
          {"sys/fs/cgroup/job/memory.max", Bytes(560)},
          {"sys/fs/cgroup/job/memory.current", Bytes(550)},
          {"sys/fs/cgroup/job/memory.stat", "anon " + Bytes(40) + "active_file " + Bytes(260) + "inactive_file " +
                                                Bytes(240)}},
         560 - 50},
        {"a version 1 group, its cache counted with the groups below it",
         {kRoomyMachine,
          {"proc/self/cgroup", "5:cpu,cpuacct:/job\n4:memory:/job\n"},
          {"sys/fs/cgroup/memory/job/memory.limit_in_bytes", Bytes(560)},
          {"sys/fs/cgroup/memory/job/memory.usage_in_bytes", Bytes(550)},
          {"sys/fs/cgroup/memory/job/memory.stat", "active_file " + Bytes(1) + "inactive_file " + Bytes(1) +
                                                       "total_active_file " + Bytes(300) +
                                                       "total_inactive_file " + Bytes(100)}},
         560 - 150},
        {"a machine whose estimate keeps part of its cache back",
         {{"proc/meminfo", "MemFree: " + Kilobytes(100) + "MemAvailable: " + Kilobytes(300) + "Active(file): " +
                               Kilobytes(250) + "Inactive(file): " + Kilobytes(150)},
          {"proc/self/cgroup", "0::/\n"}},
         500},
    };
    for (const MemoryFiles& machine : cases) {
        ScratchFolder root;
        for (const auto& [path, content] : machine.files) {
            std::filesystem::create_directories((root.Path() / path).parent_path());
            root.Write(path, content);
        }
        EXPECT_EQ(AvailableMemoryUnder(root.Path().string()) / kMiB, machine.room) << machine.what;
    }
    ScratchFolder nothing;
    EXPECT_EQ(AvailableMemoryUnder(nothing.Path().string()), UINT64_MAX);
}
