#include "support/FolderSwap.h"

#include <cerrno>
#include <cstdarg>
#include <csignal>
#include <cstdio>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace folderswap {
namespace {

struct Armed {
    std::function<void()> mAction;
    // The path whose open runs it; any call that makes a file when empty.
    std::string mPath;
};

Armed& Current() {
    static Armed armed;
    return armed;
}

}  // namespace

std::function<void()> Swap(const std::string& folder, const std::string& movedTo, const std::string& linkTarget) {
    return [folder, movedTo, linkTarget] {
        std::rename(folder.c_str(), movedTo.c_str());
        [[maybe_unused]] const int linked = symlink(linkTarget.c_str(), folder.c_str());
    };
}

void SwapAtNextCreate(const std::string& folder, const std::string& movedTo, const std::string& linkTarget) {
    AtNextCreate(Swap(folder, movedTo, linkTarget));
}

void AtNextCreate(std::function<void()> action) { Current() = Armed{std::move(action), std::string()}; }

void AtOpenOf(const std::string& path, std::function<void()> action) { Current() = Armed{std::move(action), path}; }

void Disarm() { Current() = Armed{}; }

FileSizeLimit::FileSizeLimit(rlim_t bytes, bool killing) {
    if (bytes == 0 || getrlimit(RLIMIT_FSIZE, &mBefore) != 0) return;
    std::signal(SIGXFSZ, killing ? SIG_DFL : SIG_IGN);
    rlimit limited = mBefore;
    limited.rlim_cur = bytes;
    mSet = setrlimit(RLIMIT_FSIZE, &limited) == 0;
}

FileSizeLimit::~FileSizeLimit() {
    if (mSet) setrlimit(RLIMIT_FSIZE, &mBefore);
}

}  // namespace folderswap

namespace {

// Whether the call passes a mode after its flags.
bool TakesMode(int flags) { return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE; }

// Whether the call opens the path armed for: by that path, or by its last
// name in a folder's handle.
bool OpensArmedPath(const std::string& armed, int folder, const char* path) {
    if (path == nullptr) return false;
    if (armed == path) return true;
    const std::string name = std::string("/") + path;
    return folder != AT_FDCWD && name.find('/', 1) == std::string::npos && armed.size() > name.size() &&
           armed.compare(armed.size() - name.size(), name.size(), name) == 0;
}

// The armed action, once a call made a file or opened the path armed for.
int AfterOpen(int made, int folder, const char* path, int flags) {
    folderswap::Armed& armed = folderswap::Current();
    const bool due = armed.mPath.empty() ? (flags & O_CREAT) != 0 : OpensArmedPath(armed.mPath, folder, path);
    if (made >= 0 && armed.mAction && due) {
        const std::function<void()> action = std::move(armed.mAction);
        folderswap::Disarm();
        const int error = errno;
        action();
        errno = error;
    }
    return made;
}

}  // namespace

// Both calls that make files: one through a folder's handle, one by path.
extern "C" int __real_openat(int folder, const char* name, int flags, ...);
extern "C" int __real_open(const char* path, int flags, ...);

extern "C" int __wrap_openat(int folder, const char* name, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int mode = TakesMode(flags) ? va_arg(arguments, int) : 0;
    va_end(arguments);
    return AfterOpen(__real_openat(folder, name, flags, mode), folder, name, flags);
}

extern "C" int __wrap_open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int mode = TakesMode(flags) ? va_arg(arguments, int) : 0;
    va_end(arguments);
    return AfterOpen(__real_open(path, flags, mode), AT_FDCWD, path, flags);
}
