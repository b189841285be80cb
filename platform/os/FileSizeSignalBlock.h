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
// one another process or thread sent meanwhile (told apart by its sender
// and by where it waits), is sent again as it was sent, its sender and
// code kept, to the thread or to the process as it waited for the one or
// the other: so it still waits where the caller blocks it, one for the
// process reaching whichever of its threads lets it in, and otherwise
// reaches the caller's handler or ends the process as the caller's
// disposition says. Before Linux 6.9 only the main thread may send a
// kill's or the system's SIGXFSZ to its process with that sender; another
// thread sends it there as the process's own kill. The system keeps one
// SIGXFSZ waiting for the thread and one for the process: several sent
// while a block lives are one, as for any thread that blocks it. Blocks
// may nest.
class FileSizeSignalBlock {
public:
    FileSizeSignalBlock();
    ~FileSizeSignalBlock();
    FileSizeSignalBlock(const FileSizeSignalBlock&) = delete;
    FileSizeSignalBlock& operator=(const FileSizeSignalBlock&) = delete;

private:
    bool mWasBlocked = false;
    // The SIGXFSZ that waited for the thread ([0]) and for the process
    // ([1]) when it began, where one did.
    siginfo_t mWaiting[2] = {};
    bool mWasWaiting[2] = {};
};

}  // namespace qalimor::os

#endif
