// What a write past the process's file-size limit does to the thread that
// makes it, while the library writes files of its own: by default the system
// ends the whole process with SIGXFSZ, which a library must not do to its
// caller for what an error can say.
#ifndef PLATFORM_OS_FILESIZESIGNALBLOCK_H
#define PLATFORM_OS_FILESIZESIGNALBLOCK_H

#include <signal.h>

namespace qalimor::os {

// While it lives, a write of the calling thread past the file-size limit
// (RLIMIT_FSIZE) fails with EFBIG and ends nothing: SIGXFSZ is blocked in
// the thread. When it goes, the SIGXFSZ those writes left waiting is taken
// back and the thread's mask is what it was for SIGXFSZ; the caller's
// disposition is never touched. Any other SIGXFSZ, one already waiting or
// one another process or thread sent meanwhile (told apart by its sender),
// is sent again as it was sent, its sender and code kept, so that it still
// waits where the caller blocks it and otherwise reaches the caller's
// handler or ends the process as the caller's disposition says. The system
// keeps one SIGXFSZ waiting of each kind: several sent while a block lives
// are one, as for any thread that blocks it. Blocks may nest.
class FileSizeSignalBlock {
public:
    FileSizeSignalBlock();
    ~FileSizeSignalBlock();
    FileSizeSignalBlock(const FileSizeSignalBlock&) = delete;
    FileSizeSignalBlock& operator=(const FileSizeSignalBlock&) = delete;

private:
    bool mWasBlocked = false;
    // The thread's and the process's SIGXFSZ that waited when it began.
    siginfo_t mWaiting[2] = {};
    int mWaitingCount = 0;
};

}  // namespace qalimor::os

#endif
