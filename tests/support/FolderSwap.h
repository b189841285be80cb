// A folder swapped for a link at the very moment a file is made in it, made
// at will instead of left to chance. A test linked with support/FolderSwap.cpp
// and -Wl,--wrap=openat,--wrap=open gets an openat and an open of its own:
// once armed, the first call that makes a file (or opens the path armed for),
// right after the real call made or opened it and before anything is written
// to it or read from it, does what it was armed with: moves the folder away
// and puts a link to another folder in its place, say.
#ifndef TESTS_SUPPORT_FOLDERSWAP_H
#define TESTS_SUPPORT_FOLDERSWAP_H

#include <sys/resource.h>

#include <functional>
#include <string>

namespace folderswap {

// While it lives, files this process writes stay below bytes (no limit for
// 0): a write past it fails, as on a full disk, instead of ending the
// process with SIGXFSZ; or, killing, ends it so, as the system does by
// default.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes, bool killing = false);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit mBefore{};
    bool mSet = false;
};

// The folder goes to movedTo and a link to linkTarget takes its name.
std::function<void()> Swap(const std::string& folder, const std::string& movedTo, const std::string& linkTarget);
void SwapAtNextCreate(const std::string& folder, const std::string& movedTo, const std::string& linkTarget);
// Runs the action right after the next call that makes a file made it.
void AtNextCreate(std::function<void()> action);
// Runs the action right after the next call that opens the path (as given
// to the call, or as its last name in a folder's handle) opened it.
void AtOpenOf(const std::string& path, std::function<void()> action);
// Forgets what is armed in this process (one that happened in a child).
void Disarm();

}  // namespace folderswap

#endif
