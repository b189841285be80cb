#include <platform/os/FileSizeSignalBlock.h>

#include <cerrno>
#include <ctime>

#include <pthread.h>

namespace qalimor::os {

namespace {

sigset_t FileSizeSignal() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGXFSZ);
    return signals;
}

bool IsPending() {
    sigset_t pending;
    return sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1;
}

}  // namespace

FileSizeSignalBlock::FileSizeSignalBlock() {
    const sigset_t signals = FileSizeSignal();
    sigset_t before;
    if (pthread_sigmask(SIG_BLOCK, &signals, &before) == 0) mWasBlocked = sigismember(&before, SIGXFSZ) == 1;
    // Looked at once blocked, so that none comes between unseen.
    mWasPending = IsPending();
}

FileSizeSignalBlock::~FileSizeSignalBlock() {
    const int failure = errno;
    const sigset_t signals = FileSizeSignal();
    // Standard signals do not queue: one waiting now that was not before was
    // raised by the writes made meanwhile.
    if (!mWasPending && IsPending()) {
        const timespec now{};
        while (sigtimedwait(&signals, nullptr, &now) < 0 && errno == EINTR) {
        }
    }
    if (!mWasBlocked) pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    errno = failure;
}

}  // namespace qalimor::os
