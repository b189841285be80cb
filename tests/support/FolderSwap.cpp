#include "support/FolderSwap.h"

#include <cerrno>
#include <cstdarg>
#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace folderswap {
namespace {

struct Swap {
    bool mArmed = false;
    std::string mFolder;
    std::string mMovedTo;
    std::string mLinkTarget;
};

Swap& Armed() {
    static Swap swap;
    return swap;
}

}  // namespace

void SwapAtNextCreate(const std::string& folder, const std::string& movedTo, const std::string& linkTarget) {
    Armed() = Swap{true, folder, movedTo, linkTarget};
}

void Disarm() { Armed().mArmed = false; }

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    if (bytes == 0 || getrlimit(RLIMIT_FSIZE, &mBefore) != 0) return;
    std::signal(SIGXFSZ, SIG_IGN);
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

// The swap, when armed, once a call made a file.
int AfterOpen(int made, int flags) {
    folderswap::Swap& swap = folderswap::Armed();
    if (made >= 0 && (flags & O_CREAT) != 0 && swap.mArmed) {
        swap.mArmed = false;
        const int error = errno;
        std::rename(swap.mFolder.c_str(), swap.mMovedTo.c_str());
        [[maybe_unused]] const int linked = symlink(swap.mLinkTarget.c_str(), swap.mFolder.c_str());
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
    return AfterOpen(__real_openat(folder, name, flags, mode), flags);
}

extern "C" int __wrap_open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int mode = TakesMode(flags) ? va_arg(arguments, int) : 0;
    va_end(arguments);
    return AfterOpen(__real_open(path, flags, mode), flags);
}
