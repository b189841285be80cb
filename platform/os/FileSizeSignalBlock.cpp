#include <platform/os/FileSizeSignalBlock.h>

#include <cerrno>
#include <ctime>

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace qalimor::os {

namespace {

sigset_t FileSizeSignal() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGXFSZ);
    return signals;
}

// Takes a waiting SIGXFSZ, the thread's own before the process's; false
// where none waits. The system call itself, as the C library's wrapper
// gives a thread's own kill (SI_TKILL) the code of a kill (SI_USER), which
// would pass it for the one a write raises.
bool TakeWaiting(siginfo_t& info) {
    const sigset_t signals = FileSizeSignal();
    const timespec now{};
    for (;;) {
        if (syscall(SYS_rt_sigtimedwait, &signals, &info, &now, _NSIG / 8) == SIGXFSZ) return true;
        if (errno != EINTR) return false;
    }
}

// Whether a write of the process raised it: the system sends that one as
// the process to itself (SI_USER with its own id; SI_KERNEL on some
// systems). Another process's kill names that process, sigqueue and a
// thread's own tgkill have codes of their own.
bool RaisedByWrite(const siginfo_t& info) {
    return info.si_code == SI_KERNEL || (info.si_code == SI_USER && info.si_pid == getpid());
}

// Sends it again with its sender and code: to the process, or to this
// thread where it was sent to a thread, or where the system lets only the
// main thread send such a code to its process.
void SendAgain(const siginfo_t& info, bool toThread) {
    siginfo_t copy = info;
    const pid_t process = getpid();
    if (!toThread && syscall(SYS_rt_sigqueueinfo, process, SIGXFSZ, &copy) == 0) return;
    copy = info;
    if (syscall(SYS_rt_tgsigqueueinfo, process, gettid(), SIGXFSZ, &copy) != 0) raise(SIGXFSZ);
}

}  // namespace

FileSizeSignalBlock::FileSizeSignalBlock() {
    const sigset_t signals = FileSizeSignal();
    sigset_t before;
    if (pthread_sigmask(SIG_BLOCK, &signals, &before) == 0) mWasBlocked = sigismember(&before, SIGXFSZ) == 1;
    // Set aside once blocked, so that none comes between unseen and none is
    // taken for one the writes raise.
    const int failure = errno;
    while (mWaitingCount < 2 && TakeWaiting(mWaiting[mWaitingCount])) ++mWaitingCount;
    errno = failure;
}

FileSizeSignalBlock::~FileSizeSignalBlock() {
    const int failure = errno;
    // The writes' own is the thread's, which comes out first; the system
    // merged any more of them, or the writes' own into another sent to the
    // thread, into it.
    siginfo_t arrived[2];
    int count = 0;
    bool first = true;
    for (siginfo_t info; count < 2 && TakeWaiting(info); first = false) {
        if (!first || !RaisedByWrite(info)) arrived[count++] = info;
    }
    // Those waiting before wait here again; a kill goes to the process, so
    // that a thread that lets it in takes it, and a thread's own to it.
    for (int i = 0; i < mWaitingCount; ++i) SendAgain(mWaiting[i], true);
    for (int i = 0; i < count; ++i) SendAgain(arrived[i], arrived[i].si_code == SI_TKILL);
    const sigset_t signals = FileSizeSignal();
    if (!mWasBlocked) pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    errno = failure;
}

}  // namespace qalimor::os
