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
// the thread. When it goes, a SIGXFSZ those writes left waiting is taken back
// and the thread's mask is what it was for SIGXFSZ; the caller's disposition
// is never touched, and a SIGXFSZ that was already waiting stays so. Blocks
// may nest.
class FileSizeSignalBlock {
public:
    FileSizeSignalBlock();
    ~FileSizeSignalBlock();
    FileSizeSignalBlock(const FileSizeSignalBlock&) = delete;
    FileSizeSignalBlock& operator=(const FileSizeSignalBlock&) = delete;

private:
    bool mWasBlocked = false;
    bool mWasPending = false;
};

}  // namespace qalimor::os

#endif
